#pragma once

#include "CoreGraphics/CGContext.h"
#include "UIKit/UIStringDrawing.h"

#include <optional>
#include <string>
#include <string_view>

// UIKit's text over Pango; the one unit of UIKit that includes Pango. Text is laid out in
// points with unhinted metrics and unrounded glyph positions, so what is measured is what
// is drawn, at any scale.
namespace PangoText {

// The name as a Pango font description without a size; empty when it names no family.
[[nodiscard]] std::string fontDescription(std::string_view name);
// The system family at the weight.
[[nodiscard]] std::string systemFontDescription(int weight);

struct Face {
    std::string fontName;
    std::string familyName;
    CGFloat ascender = 0;
    CGFloat descender = 0;
    CGFloat lineHeight = 0;
};
// The face Pango picks for the description at the size, and its measures.
[[nodiscard]] Face face(const std::string& description, CGFloat pointSize);

// Text to lay out (any bytes) and its limits; without a width, lines break only where the
// text does. The font's size is positive and finite, the limits too.
struct Block {
    std::string_view text;
    std::optional<CGFloat> width {};
    std::optional<CGFloat> height {};
    NSLineBreakMode lineBreakMode = NSLineBreakByWordWrapping;
    NSTextAlignment alignment = NSTextAlignmentLeft;
};

[[nodiscard]] CGSize size(const Block&, const UIFont&);
// Draws the block with its top left at the origin as the context fills; answers the size drawn.
CGSize draw(const CGContextRef&, CGPoint origin, const Block&, const UIFont&);

}
