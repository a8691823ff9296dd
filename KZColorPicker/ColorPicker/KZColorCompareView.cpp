#include "KZColorPicker/ColorPicker/KZColorCompareView.h"

#include "KZColorPicker/ColorPicker/KZTouchDownVeil.h"

#include "KZColorPicker/ColorPicker/KZColorPickerSwatchView.h"
#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"

#include <cmath>

namespace {

// Every outline's corner arcs are centred 8 points in from the bounds.
constexpr CGFloat halfRadius = 7.0;
constexpr CGFloat checkerboardInset = 2.0;
constexpr CGFloat checkerboardRadius = 5.0;
constexpr CGFloat frameInset = 1.0;
constexpr CGFloat frameRadius = 6.0;
constexpr CGFloat frameWidth = 2.0;

bool isFiniteRect(CGRect rect)
{
    return std::isfinite(rect.origin.x) && std::isfinite(rect.origin.y) && std::isfinite(rect.size.width) && std::isfinite(rect.size.height);
}

// The halves start at the origin whatever the bounds' origin, and overlap by 2 points so that
// their outlines, each 1 point inside, meet on the centre line.
CGRect oldHalf(CGSize size)
{
    return CGRectMake(0, 0, size.width / 2 + 1, size.height);
}

CGRect currentHalf(CGSize size)
{
    return CGRectMake(size.width / 2 - 1, 0, size.width / 2 + 1, size.height);
}

void fillPath(const CGContextRef& context, const CGPathRef& path, const UIColorRef& color)
{
    CGContextAddPath(context, path);
    CGContextSetFillColorWithColor(context, color->CGColor());
    CGContextFillPath(context);
}

}

namespace {

// An open outline round the two corners of one side, from the far top to the far bottom.
CGMutablePathRef newHalfRoundRectPath(CGRect rect, CGFloat radius, bool roundLeft)
{
    CGMutablePathRef path = CGPathCreateMutable();
    if (!isFiniteRect(rect))
        return path;
    CGFloat rounded = roundLeft ? CGRectGetMinX(rect) + 1 : CGRectGetMaxX(rect) - 1;
    CGFloat open = roundLeft ? CGRectGetMaxX(rect) - 1 : CGRectGetMinX(rect) + 1;
    CGFloat top = CGRectGetMinY(rect) + 1;
    CGFloat bottom = CGRectGetMaxY(rect) - 1;
    CGPathMoveToPoint(path, nullptr, open, top);
    CGPathAddArcToPoint(path, nullptr, rounded, top, rounded, CGRectGetMidY(rect), radius);
    CGPathAddArcToPoint(path, nullptr, rounded, bottom, open, bottom, radius);
    CGPathAddLineToPoint(path, nullptr, open, bottom);
    return path;
}

}

CGMutablePathRef newLeftRoundRectPathForBoundingRect(CGRect rect, CGFloat radius)
{
    return newHalfRoundRectPath(rect, radius, true);
}

CGMutablePathRef newRightRoundRectPathForBoundingRect(CGRect rect, CGFloat radius)
{
    return newHalfRoundRectPath(rect, radius, false);
}

CGMutablePathRef KZColorCompareView::newRoundRectPathForBoundingRect(CGRect rect, CGFloat radius)
{
    return ::newRoundRectPathForBoundingRect(rect, radius);
}

std::shared_ptr<KZColorCompareView> KZColorCompareView::initWithFrame(CGRect frame)
{
    auto view = objc::alloc<KZColorCompareView>();
    view->setFrame(frame);
    view->setOpaque(true);
    view->setBackgroundColor(UIColor::clearColor());
    view->setOldColor(UIColor::colorWithRed(0, 0, 1, 0.6f));
    view->setCurrentColor(UIColor::grayColor()->colorWithAlphaComponent(0.8f));

    view->setTouchDownLayer(KZTouchDownVeil::addTo(*view->layer()));
    return view;
}

void KZColorCompareView::setOldColor(UIColorRef color)
{
    m_oldColor = std::move(color);
    setNeedsDisplay();
}

void KZColorCompareView::setCurrentColor(UIColorRef color)
{
    m_currentColor = std::move(color);
    setNeedsDisplay();
}

const UIColorRef& KZColorCompareView::checkerboardColor()
{
    if (!m_checkerboardColor)
        setCheckerboardColor(UIColor::colorWithPatternImage(UIImage::imageNamed("checkerboard.png")));
    return m_checkerboardColor;
}

void KZColorCompareView::drawRect(CGRect)
{
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context)
        return;
    CGRect bounds = this->bounds();

    // A nil colour reads as alpha 0: the checkerboard shows through its half.
    if (UIColor_Expanded::alpha(m_oldColor) < 1.0 || UIColor_Expanded::alpha(m_currentColor) < 1.0) {
        if (const UIColorRef& checkerboard = checkerboardColor()) {
            CGMutablePathRef path = newRoundRectPathForBoundingRect(CGRectInset(bounds, checkerboardInset, checkerboardInset), checkerboardRadius);
            fillPath(context, path, checkerboard);
            CGPathRelease(path);
        }
    }

    if (m_oldColor) {
        CGMutablePathRef path = newLeftRoundRectPathForBoundingRect(oldHalf(bounds.size), halfRadius);
        fillPath(context, path, m_oldColor);
        CGPathRelease(path);
    }
    if (m_currentColor) {
        CGMutablePathRef path = newRightRoundRectPathForBoundingRect(currentHalf(bounds.size), halfRadius);
        fillPath(context, path, m_currentColor);
        CGPathRelease(path);
    }

    CGContextSetLineWidth(context, frameWidth);
    CGMutablePathRef frame = newRoundRectPathForBoundingRect(CGRectInset(bounds, frameInset, frameInset), frameRadius);
    CGContextAddPath(context, frame);
    CGContextSetStrokeColorWithColor(context, UIColor::whiteColor()->CGColor());
    CGContextStrokePath(context);
    CGPathRelease(frame);
}

void KZColorCompareView::layoutSublayersOfLayer(CALayer&)
{
    if (auto veil = touchDownLayer()) {
        CGMutablePathRef path = newLeftRoundRectPathForBoundingRect(oldHalf(bounds().size), halfRadius);
        veil->setPath(path);
        CGPathRelease(path);
    }
}

bool KZColorCompareView::beginTrackingWithTouch(const UITouch& touch, const UIEvent& event)
{
    bool tracking = UIControl::beginTrackingWithTouch(touch, event);
    KZTouchDownVeil::show(touchDownLayer());
    return tracking;
}

void KZColorCompareView::endTrackingWithTouch(const UITouch* touch, const UIEvent* event)
{
    KZTouchDownVeil::hide(touchDownLayer());
    UIControl::endTrackingWithTouch(touch, event);
}

void KZColorCompareView::cancelTrackingWithEvent(const UIEvent* event)
{
    KZTouchDownVeil::hide(touchDownLayer());
    UIControl::cancelTrackingWithEvent(event);
}
