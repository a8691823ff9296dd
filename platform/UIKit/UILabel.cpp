#include "UIKit/UILabel.h"

#include "UIKit/UIGraphics.h"

#include <cmath>
#include <limits>

namespace {

constexpr CGFloat defaultFontSize = 17;

// Line heights are whole Pango units, but a sum of them in a CGFloat may land a hair below
// the exact figure, which would drop the last line.
constexpr CGFloat lineSlack = 1.0f / 64;

constexpr CGFloat unlimited = std::numeric_limits<CGFloat>::max();

}

UILabelRef UILabel::initWithFrame(CGRect frame)
{
    auto label = objc::alloc<UILabel>();
    label->setFrame(frame);
    return label;
}

void UILabel::didAllocate()
{
    super::didAllocate();
    m_textColor = UIColor::blackColor();
    m_font = UIFont::systemFontOfSize(defaultFontSize);
    setOpaque(false);
    setUserInteractionEnabled(false);
    setContentMode(UIViewContentModeRedraw);
    setNeedsDisplay();
}

void UILabel::setText(std::string text)
{
    if (text == m_text)
        return;
    m_text = std::move(text);
    setNeedsDisplay();
}

void UILabel::setTextColor(UIColorRef color)
{
    m_textColor = color ? std::move(color) : UIColor::blackColor();
    setNeedsDisplay();
}

void UILabel::setFont(UIFontRef font)
{
    m_font = font ? std::move(font) : UIFont::systemFontOfSize(defaultFontSize);
    setNeedsDisplay();
}

void UILabel::setTextAlignment(NSTextAlignment alignment)
{
    m_textAlignment = alignment >= NSTextAlignmentLeft && alignment <= NSTextAlignmentRight ? alignment : NSTextAlignmentLeft;
    setNeedsDisplay();
}

void UILabel::setNumberOfLines(int lines)
{
    m_numberOfLines = std::max(lines, 0);
    setNeedsDisplay();
}

void UILabel::setLineBreakMode(NSLineBreakMode mode)
{
    m_lineBreakMode = mode >= NSLineBreakByWordWrapping && mode <= NSLineBreakByTruncatingMiddle ? mode : NSLineBreakByTruncatingTail;
    setNeedsDisplay();
}

CGFloat UILabel::heightLimit(CGFloat boundsHeight) const
{
    if (!m_numberOfLines)
        return boundsHeight;
    return std::min(boundsHeight, static_cast<CGFloat>(m_numberOfLines) * m_font->lineHeight() + lineSlack);
}

CGSize UILabel::layoutBox(CGSize bounds) const
{
    // Text that fits is laid out without a height: Pango, told a height, decides where to
    // end from the previous line's height, and a line taller than the rest (a character
    // from a fallback font) would end the text a line early. No line is lower than the
    // font's own, so text under one line more than the count has no more lines than it.
    CGSize whole = UIStringDrawing::sizeWithFont(m_text, m_font, CGSizeMake(bounds.width, unlimited), m_lineBreakMode);
    bool fitsCount = !m_numberOfLines || whole.height < (static_cast<CGFloat>(m_numberOfLines) + 1) * m_font->lineHeight();
    bool fits = fitsCount && whole.height <= bounds.height + lineSlack;
    return CGSizeMake(bounds.width, fits ? unlimited : heightLimit(bounds.height));
}

CGSize UILabel::sizeThatFits(CGSize size) const
{
    // A single line is measured whole: the platform's labels grow to their text's width.
    bool limitsWidth = m_numberOfLines != 1 && size.width > 0 && std::isfinite(size.width);
    CGSize box = layoutBox(CGSizeMake(limitsWidth ? size.width : unlimited, unlimited));
    CGSize fitting = UIStringDrawing::sizeWithFont(m_text, m_font, box, m_lineBreakMode);
    return CGSizeMake(std::ceil(fitting.width), std::ceil(fitting.height));
}

void UILabel::sizeToFit()
{
    CGRect frame = this->frame();
    frame.size = sizeThatFits(frame.size);
    setFrame(frame);
}

CGRect UILabel::textRectForBounds(CGRect bounds) const
{
    CGSize text = UIStringDrawing::sizeWithFont(m_text, m_font, layoutBox(bounds.size), m_lineBreakMode);
    CGFloat scale = contentScaleFactor();
    CGFloat top = bounds.origin.y + std::round((bounds.size.height - text.height) / 2 * scale) / scale;
    return CGRectMake(bounds.origin.x, top, bounds.size.width, text.height);
}

void UILabel::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || m_text.empty())
        return;
    CGRect bounds = this->bounds();
    CGRect textRect = textRectForBounds(bounds);
    CGContextSetFillColorWithColor(context, m_textColor->CGColor());
    // Laid out in the same box as measured, so that the same lines come out.
    UIStringDrawing::drawInRect(m_text, { textRect.origin, layoutBox(bounds.size) }, m_font, m_lineBreakMode, m_textAlignment);
}
