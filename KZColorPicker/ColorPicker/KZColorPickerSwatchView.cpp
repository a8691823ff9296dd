#include "KZColorPicker/ColorPicker/KZColorPickerSwatchView.h"

#include "KZColorPicker/ColorPicker/KZTouchDownVeil.h"

#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"

#include <cmath>

namespace {

// Veil opacity while a finger is down.
// Long enough to count as an animation, short enough to look instant.
// Distance of the checkmark's edges from the bottom-right corner.
constexpr CGFloat checkmarkInset = 3.0;

bool isFiniteRect(CGRect rect)
{
    return std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) && std::isfinite(rect.size.width) && std::isfinite(rect.size.height);
}

}

CGMutablePathRef newRoundRectPathForBoundingRect(CGRect rect, CGFloat radius)
{
    CGMutablePathRef path = CGPathCreateMutable();
    // An inset past the middle gives the null rectangle: nothing to outline.
    if (!isFiniteRect(rect))
        return path;
    CGFloat left = CGRectGetMinX(rect) + 1;
    CGFloat top = CGRectGetMinY(rect) + 1;
    CGFloat right = CGRectGetMaxX(rect) - 1;
    CGFloat bottom = CGRectGetMaxY(rect) - 1;
    CGFloat midX = CGRectGetMidX(rect);
    CGFloat midY = CGRectGetMidY(rect);
    CGPathMoveToPoint(path, nullptr, left, midY);
    CGPathAddArcToPoint(path, nullptr, left, top, midX, top, radius);
    CGPathAddArcToPoint(path, nullptr, right, top, right, midY, radius);
    CGPathAddArcToPoint(path, nullptr, right, bottom, midX, bottom, radius);
    CGPathAddArcToPoint(path, nullptr, left, bottom, left, midY, radius);
    CGPathCloseSubpath(path);
    return path;
}

std::shared_ptr<KZColorPickerSwatchView> KZColorPickerSwatchView::initWithFrame(CGRect frame)
{
    auto swatch = objc::alloc<KZColorPickerSwatchView>();
    swatch->setFrame(frame);
    swatch->setOpaque(true);
    swatch->setBackgroundColor(UIColor::clearColor());
    swatch->setColor(UIColor::colorWithRed(0, 0, 1, 0.5));
    swatch->setBorderWidth(1.0);

    swatch->setTouchDownLayer(KZTouchDownVeil::addTo(*swatch->layer()));

    auto checkmarkLayer = CALayer::layer();
    checkmarkLayer->setHidden(true);
    if (auto checkmark = UIImage::imageNamed("MNColorViewCheckmark.png"))
        checkmarkLayer->setContents(checkmark->CGImage());
    checkmarkLayer->setBounds(CGRectMake(0, 0, kCheckmarkWidth, kCheckmarkWidth));
    swatch->layer()->addSublayer(checkmarkLayer);
    swatch->setCheckmarkLayer(checkmarkLayer);

    swatch->setCornerRadius(6.0);
    swatch->setHasShadow(true);
    return swatch;
}

void KZColorPickerSwatchView::setColor(UIColorRef color)
{
    m_color = std::move(color);
    setNeedsDisplay();
}

const UIColorRef& KZColorPickerSwatchView::checkerboardColor()
{
    if (!m_checkerboardColor)
        setCheckerboardColor(UIColor::colorWithPatternImage(UIImage::imageNamed("checkerboard.png")));
    return m_checkerboardColor;
}

void KZColorPickerSwatchView::setSelected(bool selected)
{
    UIControl::setSelected(selected);
    if (auto checkmark = checkmarkLayer())
        checkmark->setHidden(!selected);
}

void KZColorPickerSwatchView::setSelected(bool selected, bool animated)
{
    if (animated) {
        setSelected(selected);
        return;
    }
    CATransaction::begin();
    CATransaction::setValueForKey(CAPropertyValue(CFTimeInterval(0)), kCATransactionAnimationDuration);
    setSelected(selected);
    CATransaction::commit();
}

void KZColorPickerSwatchView::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGRect bounds = this->bounds();

    // A nil colour reads as alpha 0: the checkerboard shows and nothing covers it.
    if (UIColor_Expanded::alpha(m_color) < 1.0) {
        if (const UIColorRef& checkerboard = checkerboardColor()) {
            CGMutablePathRef path = newRoundRectPathForBoundingRect(CGRectInset(bounds, m_borderWidth, m_borderWidth), m_cornerRadius - 1.0f);
            CGContextAddPath(context, path);
            CGContextSetFillColorWithColor(context, checkerboard->CGColor());
            CGContextFillPath(context);
            CGPathRelease(path);
        }
    }

    if (m_color) {
        CGMutablePathRef path = newRoundRectPathForBoundingRect(bounds, m_cornerRadius + 1.0f);
        CGContextAddPath(context, path);
        CGContextSetFillColorWithColor(context, m_color->CGColor());
        CGContextFillPath(context);
        CGPathRelease(path);
    }

    CGContextSetLineWidth(context, m_borderWidth);
    CGFloat halfBorder = m_borderWidth * 0.5f;
    CGMutablePathRef border = newRoundRectPathForBoundingRect(CGRectInset(bounds, halfBorder, halfBorder), m_cornerRadius);
    CGContextAddPath(context, border);
    if (m_hasShadow) {
        // A grey line multiplied into the colour, lit from below by a white edge: the etched look.
        CGContextSetStrokeColorWithColor(context, UIColor::colorWithWhite(0.6f, 1.0f)->CGColor());
        CGContextSetBlendMode(context, kCGBlendModeMultiply);
        CGContextSetShadowWithColor(context, CGSizeMake(0, 1.0f), 0, UIColor::colorWithWhite(1.0f, 0.8f)->CGColor());
    } else {
        CGContextSetStrokeColorWithColor(context, UIColor::whiteColor()->CGColor());
        CGContextSetBlendMode(context, kCGBlendModeNormal);
        CGContextSetShadowWithColor(context, CGSizeMake(0, 0), 0, nullptr);
    }
    CGContextStrokePath(context);
    CGPathRelease(border);
    CGContextSetBlendMode(context, kCGBlendModeNormal);
}

void KZColorPickerSwatchView::layoutSublayersOfLayer(CALayer&)
{
    CGRect bounds = this->bounds();
    if (auto veil = touchDownLayer()) {
        CGMutablePathRef path = newRoundRectPathForBoundingRect(bounds, m_cornerRadius);
        veil->setPath(path);
        CGPathRelease(path);
    }
    if (auto checkmark = checkmarkLayer()) {
        CGFloat fromEdge = kCheckmarkWidth / 2 + checkmarkInset;
        checkmark->setPosition(CGPointMake(CGRectGetMaxX(bounds) - fromEdge, CGRectGetMaxY(bounds) - fromEdge));
    }
}

bool KZColorPickerSwatchView::beginTrackingWithTouch(const UITouch& touch, const UIEvent& event)
{
    bool tracking = UIControl::beginTrackingWithTouch(touch, event);
    KZTouchDownVeil::show(touchDownLayer());
    return tracking;
}

void KZColorPickerSwatchView::endTrackingWithTouch(const UITouch* touch, const UIEvent* event)
{
    KZTouchDownVeil::hide(touchDownLayer());
    UIControl::endTrackingWithTouch(touch, event);
}

void KZColorPickerSwatchView::cancelTrackingWithEvent(const UIEvent* event)
{
    KZTouchDownVeil::hide(touchDownLayer());
    UIControl::cancelTrackingWithEvent(event);
}
