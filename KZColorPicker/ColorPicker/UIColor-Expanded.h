#pragma once

// Component access, packed hexadecimal values, text forms, per-component
// arithmetic and lookup by CSS colour keyword, for UIColor.
//
// Operations that need red, green and blue accept Monochrome and RGB colours
// only. Given any other colour (or none) they report the violated condition to
// the calling thread's NSAssertionHandler and answer nil, 0 or false.

#include "Foundation/NSString.h"
#include "UIKit/UIColor.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace UIColor_Expanded {

// Unknown for a colour without a colour space.
[[nodiscard]] CGColorSpaceModel colorSpaceModel(const UIColorRef&);
// "kCGColorSpaceModelRGB" and so on; "Not a valid color space" for a code outside the platform's.
[[nodiscard]] NSString colorSpaceString(const UIColorRef&);
[[nodiscard]] bool canProvideRGBComponents(const UIColorRef&);

// Fills whichever outputs are given: an RGB colour's four components, or a
// Monochrome colour's white thrice and its alpha. Answers false and touches no
// output for any other colour, without reporting it.
[[nodiscard]] bool red(const UIColorRef&, CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha);
[[nodiscard]] std::optional<std::array<CGFloat, 4>> arrayFromRGBAComponents(const UIColorRef&);

[[nodiscard]] CGFloat red(const UIColorRef&);
[[nodiscard]] CGFloat green(const UIColorRef&);
[[nodiscard]] CGFloat blue(const UIColorRef&);
[[nodiscard]] CGFloat white(const UIColorRef&);  // Monochrome only
[[nodiscard]] CGFloat alpha(const UIColorRef&);  // any colour

// 0xRRGGBB and 0xRRGGBBAA, each component clamped to 0..1 and rounded to the nearest of 0..255.
[[nodiscard]] std::uint32_t rgbHex(const UIColorRef&);
[[nodiscard]] std::uint32_t rgbaHex(const UIColorRef&);

// A grey of the colour's Rec. 709 luminance, with its alpha.
[[nodiscard]] UIColorRef colorByLuminanceMapping(const UIColorRef&);

// New RGB colours, component by component over red, green, blue and alpha.
// Multiplying and adding clamp to 0..1; lightening and darkening take the
// larger or the smaller value and do not clamp.
[[nodiscard]] UIColorRef colorByMultiplyingByRed(const UIColorRef&, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
[[nodiscard]] UIColorRef colorByAddingRed(const UIColorRef&, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
[[nodiscard]] UIColorRef colorByLighteningToRed(const UIColorRef&, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
[[nodiscard]] UIColorRef colorByDarkeningToRed(const UIColorRef&, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);

// The same with one value for red, green and blue; alpha is kept.
[[nodiscard]] UIColorRef colorByMultiplyingBy(const UIColorRef&, CGFloat);
[[nodiscard]] UIColorRef colorByAdding(const UIColorRef&, CGFloat);
[[nodiscard]] UIColorRef colorByLighteningTo(const UIColorRef&, CGFloat);
[[nodiscard]] UIColorRef colorByDarkeningTo(const UIColorRef&, CGFloat);

// The same with another colour's red, green and blue; alpha is kept. nil when
// either colour has no red, green and blue.
[[nodiscard]] UIColorRef colorByMultiplyingByColor(const UIColorRef&, const UIColorRef&);
[[nodiscard]] UIColorRef colorByAddingColor(const UIColorRef&, const UIColorRef&);
[[nodiscard]] UIColorRef colorByLighteningToColor(const UIColorRef&, const UIColorRef&);
[[nodiscard]] UIColorRef colorByDarkeningToColor(const UIColorRef&, const UIColorRef&);

// "{r, g, b, a}" or "{white, alpha}", three decimals each.
[[nodiscard]] std::optional<NSString> stringFromColor(const UIColorRef&);
// "RRGGBB" for an opaque colour, else "RRGGBBAA"; upper-case digits.
[[nodiscard]] NSString hexStringFromColor(const UIColorRef&);

// The reverse of stringFromColor: white space may surround every part; exactly
// two or four numbers; nothing but white space after the closing brace.
[[nodiscard]] UIColorRef colorWithString(std::string_view);
// Opaque, each of red, green and blue drawn independently from arc4random.
[[nodiscard]] UIColorRef randomColor();
[[nodiscard]] UIColorRef colorWithRGBHex(std::uint32_t);
[[nodiscard]] UIColorRef colorWithRGBAHex(std::uint32_t);
// One hexadecimal number from the start of the text ("0x" allowed, "#" not):
// 0xRRGGBB when the whole text is six characters long, else 0xRRGGBBAA.
[[nodiscard]] UIColorRef colorWithHexString(std::string_view);
// A CSS colour keyword, lower case as the keywords are; nil for anything else.
// A keyword answers the same colour for the life of the process; absent names are not
// cached, so the cache holds at most the 147 keywords. Safe from any thread.
[[nodiscard]] UIColorRef colorWithName(std::string_view);

}

namespace UIColor_Expanded_Support {

// The uncached keyword lookup behind colorWithName.
[[nodiscard]] UIColorRef searchForColorByName(std::string_view);
// How many keywords colorWithName holds a colour for.
[[nodiscard]] size_t cachedNameCount();

// The keyword table: ",name#rrggbb" for each of the 147 CSS colour keywords, in
// alphabetical order, both spellings of gray and grey included.
[[nodiscard]] std::string_view colorNameTable();

}
