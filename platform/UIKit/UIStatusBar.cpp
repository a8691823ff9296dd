#include "UIKit/UIStatusBar.h"

#include "UIKit/UIGraphics.h"
#include "UIKit/UIStringDrawing.h"

namespace {

constexpr CGFloat dotSide = 5.5f;
constexpr CGFloat dotGap = 1.5f;
constexpr int signalDots = 5;
constexpr CGFloat edgeMargin = 6;

}

void UIStatusBar::didAllocate()
{
    super::didAllocate();
    setOpaque(false);
    setUserInteractionEnabled(false);
    setContentMode(UIViewContentModeRedraw);
    setNeedsDisplay();
}

void UIStatusBar::setTimeText(std::string text)
{
    if (text == m_timeText)
        return;
    m_timeText = std::move(text);
    setNeedsDisplay();
}

void UIStatusBar::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGRect bounds = this->bounds();
    CGFloat middle = bounds.size.height / 2;
    CGContextSetFillColorWithColor(context, UIColor::blackColor()->CGColor());
    CGContextSetStrokeColorWithColor(context, UIColor::blackColor()->CGColor());
    CGContextSetLineWidth(context, 1);

    CGFloat x = edgeMargin;
    for (int dot = 0; dot < signalDots; ++dot) {
        CGContextFillEllipseInRect(context, CGRectMake(x, middle - dotSide / 2, dotSide, dotSide));
        x += dotSide + dotGap;
    }
    auto small = UIFont::systemFontOfSize(12);
    auto bold = UIFont::systemFontOfSizeWeight(12, UIFontWeightSemibold);
    if (small) {
        CGFloat line = small->lineHeight();
        UIStringDrawing::drawInRect("Carrier", CGRectMake(x + 4, middle - line / 2, 80, line), small, NSLineBreakByClipping);
    }
    if (bold) {
        CGFloat line = bold->lineHeight();
        UIStringDrawing::drawInRect(m_timeText, CGRectMake(0, middle - line / 2, bounds.size.width, line), bold, NSLineBreakByClipping,
            NSTextAlignmentCenter);
    }
    // A full battery: an outline with its nub, filled.
    CGRect battery = CGRectMake(bounds.size.width - edgeMargin - 2 - 24, middle - 5, 24, 10);
    CGContextStrokeRect(context, CGRectInset(battery, 0.5f, 0.5f));
    CGContextFillRect(context, CGRectInset(battery, 2, 2));
    CGContextFillRect(context, CGRectMake(CGRectGetMaxX(battery), middle - 2, 2, 4));
    if (small) {
        CGFloat line = small->lineHeight();
        UIStringDrawing::drawInRect("100%", CGRectMake(battery.origin.x - 44, middle - line / 2, 40, line), small, NSLineBreakByClipping,
            NSTextAlignmentRight);
    }
}
