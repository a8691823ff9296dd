#include "UIKit/UIStringDrawing.h"

#include "UIKit/UIGraphics.h"
#include "UIKit/pango/PangoText.h"

#include <cmath>
#include <optional>

namespace UIStringDrawing {

namespace {

bool canHoldText(CGSize size)
{
    return std::isfinite(size.width) && std::isfinite(size.height) && size.width > 0 && size.height > 0;
}

std::optional<CGFloat> limit(CGFloat extent)
{
    return extent < maximumExtent ? std::optional(extent) : std::nullopt;
}

PangoText::Block boxed(std::string_view text, CGSize size, NSLineBreakMode mode, NSTextAlignment alignment)
{
    if (mode < NSLineBreakByWordWrapping || mode > NSLineBreakByTruncatingMiddle)
        mode = NSLineBreakByWordWrapping;
    if (alignment < NSTextAlignmentLeft || alignment > NSTextAlignmentRight)
        alignment = NSTextAlignmentLeft;
    return { text, limit(size.width), limit(size.height), mode, alignment };
}

}

CGSize sizeWithFont(std::string_view text, const UIFontRef& font)
{
    if (!font || text.empty())
        return CGSizeZero;
    return PangoText::size({ .text = text }, *font);
}

CGSize sizeWithFont(std::string_view text, const UIFontRef& font, CGSize constrainedToSize, NSLineBreakMode lineBreakMode)
{
    if (!font || text.empty() || !canHoldText(constrainedToSize))
        return CGSizeZero;
    return PangoText::size(boxed(text, constrainedToSize, lineBreakMode, NSTextAlignmentLeft), *font);
}

CGSize drawAtPoint(std::string_view text, CGPoint point, const UIFontRef& font)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !font || text.empty() || !std::isfinite(point.x) || !std::isfinite(point.y))
        return CGSizeZero;
    return PangoText::draw(context, point, { .text = text }, *font);
}

CGSize drawInRect(std::string_view text, CGRect rect, const UIFontRef& font, NSLineBreakMode lineBreakMode, NSTextAlignment alignment)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !font || text.empty() || !std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y) || !canHoldText(rect.size))
        return CGSizeZero;
    return PangoText::draw(context, rect.origin, boxed(text, rect.size, lineBreakMode, alignment), *font);
}

}
