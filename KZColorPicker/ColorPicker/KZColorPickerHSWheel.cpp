#include "KZColorPicker/ColorPicker/KZColorPickerHSWheel.h"

#include "KZColorPicker/ColorPicker/KZWheelMapping.h"
#include "UIKit/UITouch.h"

#include <cmath>
#include <numbers>

std::shared_ptr<KZColorPickerHSWheel> KZColorPickerHSWheel::initAtOrigin(CGPoint origin)
{
    auto wheel = objc::alloc<KZColorPickerHSWheel>();
    wheel->setFrame(CGRectMake(origin.x, origin.y, side, side));

    auto wheelImageView = UIImageView::initWithImage(UIImage::imageNamed("pickerColorWheel.png"));
    wheelImageView->setContentMode(UIViewContentModeTopLeft);
    wheelImageView->setFrame(CGRectMake(0, 0, side, side));
    wheel->addSubview(wheelImageView);
    wheel->setWheelImageView(std::move(wheelImageView));

    auto knobView = UIImageView::initWithImage(UIImage::imageNamed("colorPickerKnob.png"));
    wheel->addSubview(knobView);
    wheel->setWheelKnobView(std::move(knobView));

    wheel->setUserInteractionEnabled(true);
    wheel->setCurrentHSV(HSVTypeMake(0, 0, 1));
    return wheel;
}

namespace {

// Puts an origin of size k about p on a whole point, halves away from zero, and answers the centre.
CGFloat alignedCentre(CGFloat p, CGFloat k)
{
    return std::round(p - k / 2) + k / 2;
}

}

void KZColorPickerHSWheel::setCurrentHSV(HSVType hsv)
{
    m_currentHSV = hsv;
    m_currentHSV.v = 1.0f;
    if (!m_wheelImageView || !m_wheelKnobView)
        return;

    CGRect wheelBounds = m_wheelImageView->bounds();
    double angle = static_cast<double>(m_currentHSV.h) * 2 * std::numbers::pi;
    CGFloat cx = wheelBounds.size.width / 2;
    CGFloat cy = wheelBounds.size.height / 2;
    CGFloat radius = (wheelBounds.size.width / 2 - knobInset) * static_cast<CGFloat>(m_currentHSV.s);
    auto singleAngle = static_cast<float>(angle);
    CGFloat x = cx + static_cast<CGFloat>(std::cos(singleAngle)) * radius;
    // The screen's y runs down while the hue turns counter-clockwise.
    CGFloat y = cy - static_cast<CGFloat>(std::sin(singleAngle)) * radius;

    // A hue or saturation that is not a number leaves the knob at the centre rather than nowhere.
    if (!std::isfinite(x) || !std::isfinite(y)) {
        x = cx;
        y = cy;
    }
    CGSize knob = m_wheelKnobView->bounds().size;
    CGPoint wheelOrigin = m_wheelImageView->frame().origin;
    m_wheelKnobView->setCenter(CGPointMake(alignedCentre(x, knob.width) + wheelOrigin.x, alignedCentre(y, knob.height) + wheelOrigin.y));
}

void KZColorPickerHSWheel::mapPointToColor(CGPoint point)
{
    CGRect wheelBounds = m_wheelImageView ? m_wheelImageView->bounds() : bounds();
    auto picked = KZWheelMapping::hueSaturationAt(static_cast<float>(point.x), static_cast<float>(point.y),
        static_cast<float>(wheelBounds.size.width / 2), static_cast<float>(wheelBounds.size.height / 2), static_cast<float>(wheelBounds.size.width / 2));
    setCurrentHSV(HSVTypeMake(picked.hue, picked.saturation, 1.0f));
    sendActionsForControlEvents(UIControlEventValueChanged);
}

const UIView* KZColorPickerHSWheel::pictureView() const
{
    if (m_wheelImageView)
        return m_wheelImageView.get();
    return this;
}

bool KZColorPickerHSWheel::beginTrackingWithTouch(const UITouch& touch, const UIEvent&)
{
    if (!m_wheelImageView || !CGRectContainsPoint(m_wheelImageView->frame(), touch.locationInView(this)))
        return false;
    mapPointToColor(touch.locationInView(m_wheelImageView.get()));
    return true;
}

bool KZColorPickerHSWheel::continueTrackingWithTouch(const UITouch& touch, const UIEvent&)
{
    // No test of where the finger is: a drag off the wheel keeps following the angle at full saturation.
    mapPointToColor(touch.locationInView(pictureView()));
    return true;
}

void KZColorPickerHSWheel::endTrackingWithTouch(const UITouch* touch, const UIEvent* event)
{
    if (touch && event)
        continueTrackingWithTouch(*touch, *event);
    else if (touch)
        mapPointToColor(touch->locationInView(pictureView()));
}
