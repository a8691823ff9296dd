#pragma once

#include "CoreGraphics/CGGeometry.h"
#include "UIKit/UIFont.h"

#include <cstddef>
#include <string_view>

enum NSLineBreakMode : int {
    NSLineBreakByWordWrapping = 0,
    NSLineBreakByCharWrapping = 1,
    NSLineBreakByClipping = 2,
    NSLineBreakByTruncatingHead = 3,
    NSLineBreakByTruncatingTail = 4,
    NSLineBreakByTruncatingMiddle = 5,
};

enum NSTextAlignment : int {
    NSTextAlignmentLeft = 0,
    NSTextAlignmentCenter = 1,
    NSTextAlignmentRight = 2,
};

// The platform's string drawing category on strings, as free functions. Text is UTF-8;
// invalid sequences are drawn as U+FFFD. Only the first maximumTextLength bytes are laid
// out (fewer in fonts over 16 points, whose lines would outgrow what Pango can measure),
// and of those the first maximumParagraphCount paragraphs. Drawing goes into
// UIGraphicsGetCurrentContext() in its fill colour (black until set), alpha, blend mode and
// shadow, with the top left of the text at the point or rectangle's origin; the context is
// expected to run y down, as UIKit's do.
//
// A nil font, empty text, or a point, size or rectangle with a coordinate that is not a
// finite number, a negative or a zero extent, draws nothing and answers a zero size. A
// width or height past maximumExtent counts as no limit (callers pass CGFLOAT_MAX).
namespace UIStringDrawing {

inline constexpr size_t maximumTextLength = 64 * 1024;
inline constexpr int maximumParagraphCount = 1024;
inline constexpr CGFloat maximumExtent = 1 << 20;

// One line per line break of the text; nothing wraps.
[[nodiscard]] CGSize sizeWithFont(std::string_view text, const UIFontRef&);

// Lines wrap at words to the width (a word wider than a line breaks at characters, as every
// word does with NSLineBreakByCharWrapping), and as many whole lines as fit the height are
// kept, at least one. When text is left over, the truncating modes end the last line kept
// with an ellipsis where they say; clipping keeps the line that crosses the bottom, cut
// there, and cuts ink that reaches past the sides.
[[nodiscard]] CGSize sizeWithFont(std::string_view text, const UIFontRef&, CGSize constrainedToSize, NSLineBreakMode = NSLineBreakByWordWrapping);

// As sizeWithFont(text, font), drawn; answers the size drawn.
CGSize drawAtPoint(std::string_view text, CGPoint, const UIFontRef&);

// As sizeWithFont(text, font, rect.size, lineBreakMode), drawn in the rectangle with each
// line aligned between its sides; answers the size drawn.
CGSize drawInRect(std::string_view text, CGRect, const UIFontRef&, NSLineBreakMode = NSLineBreakByWordWrapping,
    NSTextAlignment = NSTextAlignmentLeft);

}
