#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"

#include "Foundation/NSAssertionHandler.h"
#include "Foundation/NSCharacterSet.h"
#include "Foundation/NSScanner.h"
#include "Foundation/Random.h"

#include <charconv>
#include <cmath>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

constexpr const char* arithmeticMessage = "Must be a RGB color to use arithmatic operations";

// One text, so that a lookup is a single search for ",name#".
constexpr std::string_view nameTable =
    ",aliceblue#f0f8ff,antiquewhite#faebd7,aqua#00ffff,aquamarine#7fffd4,azure#f0ffff,beige#f5f5dc,bisque#ffe4c4"
    ",black#000000,blanchedalmond#ffebcd,blue#0000ff,blueviolet#8a2be2,brown#a52a2a,burlywood#deb887,cadetblue#5f9ea0"
    ",chartreuse#7fff00,chocolate#d2691e,coral#ff7f50,cornflowerblue#6495ed,cornsilk#fff8dc,crimson#dc143c,cyan#00ffff"
    ",darkblue#00008b,darkcyan#008b8b,darkgoldenrod#b8860b,darkgray#a9a9a9,darkgreen#006400,darkgrey#a9a9a9"
    ",darkkhaki#bdb76b,darkmagenta#8b008b,darkolivegreen#556b2f,darkorange#ff8c00,darkorchid#9932cc,darkred#8b0000"
    ",darksalmon#e9967a,darkseagreen#8fbc8f,darkslateblue#483d8b,darkslategray#2f4f4f,darkslategrey#2f4f4f"
    ",darkturquoise#00ced1,darkviolet#9400d3,deeppink#ff1493,deepskyblue#00bfff,dimgray#696969,dimgrey#696969"
    ",dodgerblue#1e90ff,firebrick#b22222,floralwhite#fffaf0,forestgreen#228b22,fuchsia#ff00ff,gainsboro#dcdcdc"
    ",ghostwhite#f8f8ff,gold#ffd700,goldenrod#daa520,gray#808080,green#008000,greenyellow#adff2f,grey#808080"
    ",honeydew#f0fff0,hotpink#ff69b4,indianred#cd5c5c,indigo#4b0082,ivory#fffff0,khaki#f0e68c,lavender#e6e6fa"
    ",lavenderblush#fff0f5,lawngreen#7cfc00,lemonchiffon#fffacd,lightblue#add8e6,lightcoral#f08080,lightcyan#e0ffff"
    ",lightgoldenrodyellow#fafad2,lightgray#d3d3d3,lightgreen#90ee90,lightgrey#d3d3d3,lightpink#ffb6c1"
    ",lightsalmon#ffa07a,lightseagreen#20b2aa,lightskyblue#87cefa,lightslategray#778899,lightslategrey#778899"
    ",lightsteelblue#b0c4de,lightyellow#ffffe0,lime#00ff00,limegreen#32cd32,linen#faf0e6,magenta#ff00ff,maroon#800000"
    ",mediumaquamarine#66cdaa,mediumblue#0000cd,mediumorchid#ba55d3,mediumpurple#9370db,mediumseagreen#3cb371"
    ",mediumslateblue#7b68ee,mediumspringgreen#00fa9a,mediumturquoise#48d1cc,mediumvioletred#c71585"
    ",midnightblue#191970,mintcream#f5fffa,mistyrose#ffe4e1,moccasin#ffe4b5,navajowhite#ffdead,navy#000080"
    ",oldlace#fdf5e6,olive#808000,olivedrab#6b8e23,orange#ffa500,orangered#ff4500,orchid#da70d6,palegoldenrod#eee8aa"
    ",palegreen#98fb98,paleturquoise#afeeee,palevioletred#db7093,papayawhip#ffefd5,peachpuff#ffdab9,peru#cd853f"
    ",pink#ffc0cb,plum#dda0dd,powderblue#b0e0e6,purple#800080,red#ff0000,rosybrown#bc8f8f,royalblue#4169e1"
    ",saddlebrown#8b4513,salmon#fa8072,sandybrown#f4a460,seagreen#2e8b57,seashell#fff5ee,sienna#a0522d,silver#c0c0c0"
    ",skyblue#87ceeb,slateblue#6a5acd,slategray#708090,slategrey#708090,snow#fffafa,springgreen#00ff7f"
    ",steelblue#4682b4,tan#d2b48c,teal#008080,thistle#d8bfd8,tomato#ff6347,turquoise#40e0d0,violet#ee82ee"
    ",wheat#f5deb3,white#ffffff,whitesmoke#f5f5f5,yellow#ffff00,yellowgreen#9acd32";

struct Keyword {
    std::string_view name;  // within the table
    std::uint32_t rgb;
};

std::optional<Keyword> findKeyword(std::string_view name)
{
    // The separators would let a name span entries: "red#ff0000,blue" must not find blue.
    if (name.find_first_of(",#") != std::string_view::npos)
        return std::nullopt;
    std::string key = stringWithFormat(",%@#", name);
    size_t at = nameTable.find(key);
    if (at == std::string_view::npos)
        return std::nullopt;
    std::string_view digits = nameTable.substr(at + key.size());
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc() || end == digits.data())
        return std::nullopt;
    return Keyword { nameTable.substr(at + 1, name.size()), value };
}

// Colours found so far, keyed by the table's own text of the keyword, so that only the
// table's names can enter and nothing a caller makes up can grow it. Absent names are not
// kept: answering one again is a single search of a short text.
// Never destroyed, so a lookup on another thread while the process exits stays safe.
struct NameCache {
    std::mutex lock;
    std::unordered_map<std::string_view, UIColorRef> colors;
};

NameCache& nameCache()
{
    static NameCache* cache = new NameCache;
    return *cache;
}

SEL selector(const char* name)
{
    return sel_registerName(name);
}

bool require(bool condition, const UIColorRef& color, const char* method, const char* message,
    Foundation::SourceLocation where = Foundation::SourceLocation::current())
{
    return Foundation::assertInMethod(condition, selector(method), color.get(), message, where);
}

const CGColorRef& cgColorOf(const UIColorRef& color)
{
    static const CGColorRef none;
    return color ? color->CGColor() : none;
}

// Component index of the colour, or 0 when the colour has fewer: a colour built
// straight from a CGColor need not hold as many components as its space names.
CGFloat component(const UIColorRef& color, size_t index)
{
    const CGColorRef& cgColor = cgColorOf(color);
    if (index >= CGColorGetNumberOfComponents(cgColor))
        return 0;
    return CGColorGetComponents(cgColor)[index];
}

CGFloat clampUnit(CGFloat value)
{
    if (value < 0)
        return 0;
    if (value > 1)
        return 1;
    return value;
}

std::uint32_t toByte(CGFloat component)
{
    float value = static_cast<float>(component);
    // NaN clamps to 0 as well: converting it to an integer is undefined.
    if (!(value >= 0))
        value = 0;
    if (value >= 1)
        value = 1;
    return static_cast<std::uint32_t>(std::roundf(value * 255.0f));
}

CGFloat byteComponent(std::uint32_t value, int shift)
{
    return static_cast<CGFloat>(static_cast<float>((value >> shift) & 0xFF) / 255.0f);
}

// Length as the platform counts it, in UTF-16 code units.
size_t utf16Length(std::string_view text)
{
    size_t length = 0;
    for (size_t at = 0; at < text.size();) {
        auto [character, bytes] = Foundation::decodeUTF8(text, at);
        length += character > 0xFFFF ? 2 : 1;
        at += bytes;
    }
    return length;
}

using Arithmetic = CGFloat (*)(CGFloat component, CGFloat argument);

UIColorRef applyArithmetic(const UIColorRef& color, const char* method, Arithmetic operation, CGFloat red, CGFloat green,
    CGFloat blue, CGFloat alpha, Foundation::SourceLocation where = Foundation::SourceLocation::current())
{
    if (!require(UIColor_Expanded::canProvideRGBComponents(color), color, method, arithmeticMessage, where))
        return nullptr;
    CGFloat r, g, b, a;
    if (!UIColor_Expanded::red(color, &r, &g, &b, &a))
        return nullptr;
    return UIColor::colorWithRed(operation(r, red), operation(g, green), operation(b, blue), operation(a, alpha));
}

CGFloat multiply(CGFloat component, CGFloat argument)
{
    return clampUnit(component * argument);
}

CGFloat add(CGFloat component, CGFloat argument)
{
    return clampUnit(component + argument);
}

CGFloat lighten(CGFloat component, CGFloat argument)
{
    return component > argument ? component : argument;
}

CGFloat darken(CGFloat component, CGFloat argument)
{
    return component < argument ? component : argument;
}

UIColorRef applyColor(const UIColorRef& color, const UIColorRef& other, const char* method, Arithmetic operation, CGFloat alphaIdentity,
    Foundation::SourceLocation where = Foundation::SourceLocation::current())
{
    if (!require(UIColor_Expanded::canProvideRGBComponents(color), color, method, arithmeticMessage, where))
        return nullptr;
    CGFloat r, g, b;
    if (!UIColor_Expanded::red(other, &r, &g, &b, nullptr))
        return nullptr;
    return applyArithmetic(color, method, operation, r, g, b, alphaIdentity, where);
}

}

namespace UIColor_Expanded {

CGColorSpaceModel colorSpaceModel(const UIColorRef& color)
{
    return CGColorSpaceGetModel(CGColorGetColorSpace(cgColorOf(color)));
}

NSString colorSpaceString(const UIColorRef& color)
{
    switch (colorSpaceModel(color)) {
    case kCGColorSpaceModelUnknown: return "kCGColorSpaceModelUnknown";
    case kCGColorSpaceModelMonochrome: return "kCGColorSpaceModelMonochrome";
    case kCGColorSpaceModelRGB: return "kCGColorSpaceModelRGB";
    case kCGColorSpaceModelCMYK: return "kCGColorSpaceModelCMYK";
    case kCGColorSpaceModelLab: return "kCGColorSpaceModelLab";
    case kCGColorSpaceModelDeviceN: return "kCGColorSpaceModelDeviceN";
    case kCGColorSpaceModelIndexed: return "kCGColorSpaceModelIndexed";
    case kCGColorSpaceModelPattern: return "kCGColorSpaceModelPattern";
    }
    return "Not a valid color space";
}

bool canProvideRGBComponents(const UIColorRef& color)
{
    auto model = colorSpaceModel(color);
    return model == kCGColorSpaceModelRGB || model == kCGColorSpaceModelMonochrome;
}

bool red(const UIColorRef& color, CGFloat* red, CGFloat* green, CGFloat* blue, CGFloat* alpha)
{
    const CGColorRef& cgColor = cgColorOf(color);
    const CGFloat* components = CGColorGetComponents(cgColor);
    size_t count = CGColorGetNumberOfComponents(cgColor);
    CGFloat r, g, b, a;
    switch (colorSpaceModel(color)) {
    case kCGColorSpaceModelMonochrome:
        if (count < 2)
            return false;
        r = g = b = components[0];
        a = components[1];
        break;
    case kCGColorSpaceModelRGB:
        if (count < 4)
            return false;
        r = components[0];
        g = components[1];
        b = components[2];
        a = components[3];
        break;
    default:
        return false;
    }
    if (red)
        *red = r;
    if (green)
        *green = g;
    if (blue)
        *blue = b;
    if (alpha)
        *alpha = a;
    return true;
}

std::optional<std::array<CGFloat, 4>> arrayFromRGBAComponents(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "arrayFromRGBAComponents", "Must be an RGB color to use -arrayFromRGBAComponents"))
        return std::nullopt;
    std::array<CGFloat, 4> components;
    if (!red(color, &components[0], &components[1], &components[2], &components[3]))
        return std::nullopt;
    return components;
}

CGFloat red(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "red", "Must be an RGB color to use -red"))
        return 0;
    return component(color, 0);
}

CGFloat green(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "green", "Must be an RGB color to use -green"))
        return 0;
    return component(color, colorSpaceModel(color) == kCGColorSpaceModelMonochrome ? 0 : 1);
}

CGFloat blue(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "blue", "Must be an RGB color to use -blue"))
        return 0;
    return component(color, colorSpaceModel(color) == kCGColorSpaceModelMonochrome ? 0 : 2);
}

CGFloat white(const UIColorRef& color)
{
    if (!require(colorSpaceModel(color) == kCGColorSpaceModelMonochrome, color, "white", "Must be a Monochrome color to use -white"))
        return 0;
    return component(color, 0);
}

CGFloat alpha(const UIColorRef& color)
{
    return CGColorGetAlpha(cgColorOf(color));
}

std::uint32_t rgbHex(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "rgbHex", "Must be a RGB color to use rgbHex"))
        return 0;
    CGFloat r, g, b;
    if (!red(color, &r, &g, &b, nullptr))
        return 0;
    return toByte(r) << 16 | toByte(g) << 8 | toByte(b);
}

std::uint32_t rgbaHex(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "rgbaHex", "Must be a RGB color to use rgbaHex"))
        return 0;
    CGFloat r, g, b, a;
    if (!red(color, &r, &g, &b, &a))
        return 0;
    return toByte(r) << 24 | toByte(g) << 16 | toByte(b) << 8 | toByte(a);
}

UIColorRef colorByLuminanceMapping(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "colorByLuminanceMapping", arithmeticMessage))
        return nullptr;
    CGFloat r, g, b;
    if (!red(color, &r, &g, &b, nullptr))
        return nullptr;
    float luminance = 0.2126f * static_cast<float>(r) + 0.7152f * static_cast<float>(g) + 0.0722f * static_cast<float>(b);
    return UIColor::colorWithWhite(luminance, alpha(color));
}

UIColorRef colorByMultiplyingByRed(const UIColorRef& color, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return applyArithmetic(color, "colorByMultiplyingByRed:green:blue:alpha:", multiply, red, green, blue, alpha);
}

UIColorRef colorByAddingRed(const UIColorRef& color, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return applyArithmetic(color, "colorByAddingRed:green:blue:alpha:", add, red, green, blue, alpha);
}

UIColorRef colorByLighteningToRed(const UIColorRef& color, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return applyArithmetic(color, "colorByLighteningToRed:green:blue:alpha:", lighten, red, green, blue, alpha);
}

UIColorRef colorByDarkeningToRed(const UIColorRef& color, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return applyArithmetic(color, "colorByDarkeningToRed:green:blue:alpha:", darken, red, green, blue, alpha);
}

// Alpha gets each operation's identity, so it passes through unchanged.
UIColorRef colorByMultiplyingBy(const UIColorRef& color, CGFloat f)
{
    return colorByMultiplyingByRed(color, f, f, f, 1.0f);
}

UIColorRef colorByAdding(const UIColorRef& color, CGFloat f)
{
    return colorByAddingRed(color, f, f, f, 0.0f);
}

UIColorRef colorByLighteningTo(const UIColorRef& color, CGFloat f)
{
    return colorByLighteningToRed(color, f, f, f, 0.0f);
}

UIColorRef colorByDarkeningTo(const UIColorRef& color, CGFloat f)
{
    return colorByDarkeningToRed(color, f, f, f, 1.0f);
}

UIColorRef colorByMultiplyingByColor(const UIColorRef& color, const UIColorRef& other)
{
    return applyColor(color, other, "colorByMultiplyingByColor:", multiply, 1.0f);
}

UIColorRef colorByAddingColor(const UIColorRef& color, const UIColorRef& other)
{
    return applyColor(color, other, "colorByAddingColor:", add, 0.0f);
}

UIColorRef colorByLighteningToColor(const UIColorRef& color, const UIColorRef& other)
{
    return applyColor(color, other, "colorByLighteningToColor:", lighten, 0.0f);
}

UIColorRef colorByDarkeningToColor(const UIColorRef& color, const UIColorRef& other)
{
    return applyColor(color, other, "colorByDarkeningToColor:", darken, 1.0f);
}

std::optional<NSString> stringFromColor(const UIColorRef& color)
{
    if (!require(canProvideRGBComponents(color), color, "stringFromColor", "Must be an RGB color to use -stringFromColor"))
        return std::nullopt;
    CGFloat r, g, b, a;
    if (!red(color, &r, &g, &b, &a))
        return std::nullopt;
    if (colorSpaceModel(color) == kCGColorSpaceModelMonochrome)
        return stringWithFormat("{%0.3f, %0.3f}", r, a);
    return stringWithFormat("{%0.3f, %0.3f, %0.3f, %0.3f}", r, g, b, a);
}

NSString hexStringFromColor(const UIColorRef& color)
{
    if (alpha(color) == 1.0f)
        return stringWithFormat("%0.6X", rgbHex(color));
    return stringWithFormat("%0.8X", rgbaHex(color));
}

UIColorRef colorWithString(std::string_view text)
{
    NSScanner scanner { NSString(text) };
    if (!scanner.scanString("{", nullptr))
        return nullptr;
    constexpr size_t maximumComponents = 4;
    float components[maximumComponents];
    size_t count = 0;
    if (!scanner.scanFloat(&components[count++]))
        return nullptr;
    while (!scanner.scanString("}", nullptr)) {
        if (count >= maximumComponents || !scanner.scanString(",", nullptr) || !scanner.scanFloat(&components[count++]))
            return nullptr;
    }
    if (!scanner.isAtEnd())
        return nullptr;
    if (count == 4)
        return UIColor::colorWithRed(components[0], components[1], components[2], components[3]);
    if (count == 2)
        return UIColor::colorWithWhite(components[0], components[1]);
    return nullptr;
}

UIColorRef randomColor()
{
    auto next = [] { return static_cast<CGFloat>(static_cast<float>(arc4random() / 4294967296.0)); };
    CGFloat r = next();
    CGFloat g = next();
    CGFloat b = next();
    return UIColor::colorWithRed(r, g, b, 1.0f);
}

UIColorRef colorWithRGBHex(std::uint32_t value)
{
    return UIColor::colorWithRed(byteComponent(value, 16), byteComponent(value, 8), byteComponent(value, 0), 1.0f);
}

UIColorRef colorWithRGBAHex(std::uint32_t value)
{
    return UIColor::colorWithRed(byteComponent(value, 24), byteComponent(value, 16), byteComponent(value, 8), byteComponent(value, 0));
}

UIColorRef colorWithHexString(std::string_view text)
{
    NSScanner scanner { NSString(text) };
    unsigned value = 0;
    if (!scanner.scanHexInt(&value))
        return nullptr;
    if (utf16Length(text) == 6)
        return colorWithRGBHex(value);
    return colorWithRGBAHex(value);
}

UIColorRef colorWithName(std::string_view name)
{
    auto& cache = nameCache();
    std::lock_guard guard(cache.lock);
    if (auto found = cache.colors.find(name); found != cache.colors.end())
        return found->second;
    auto keyword = findKeyword(name);
    if (!keyword)
        return nullptr;
    auto color = colorWithRGBHex(keyword->rgb);
    cache.colors.emplace(keyword->name, color);
    return color;
}

}

namespace UIColor_Expanded_Support {

UIColorRef searchForColorByName(std::string_view name)
{
    auto keyword = findKeyword(name);
    return keyword ? UIColor_Expanded::colorWithRGBHex(keyword->rgb) : nullptr;
}

size_t cachedNameCount()
{
    auto& cache = nameCache();
    std::lock_guard guard(cache.lock);
    return cache.colors.size();
}

std::string_view colorNameTable()
{
    return nameTable;
}

}
