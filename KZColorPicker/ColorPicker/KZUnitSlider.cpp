#include "KZColorPicker/ColorPicker/KZUnitSlider.h"

#include "UIKit/UITouch.h"

#include <cmath>

std::shared_ptr<KZUnitSlider> KZUnitSlider::initWithFrame(CGRect frame)
{
    auto slider = objc::alloc<KZUnitSlider>();
    slider->setUpWithFrame(frame);
    return slider;
}

void KZUnitSlider::setUpWithFrame(CGRect frame)
{
    UIView::setFrame(frame);
    // A square slider runs down; the orientation never changes afterwards.
    m_horizontal = frame.size.width > frame.size.height;

    auto knobView = UIImageView::initWithImage(UIImage::imageNamed("colorPickerKnob.png"));
    m_sliderKnobView = knobView;
    addSubview(knobView);

    setBackgroundColor(UIColor::clearColor());
    setUserInteractionEnabled(true);
    setValue(0);
}

void KZUnitSlider::setValue(float value)
{
    // Written so that a value that is not a number ends up as 1.
    double clamped = static_cast<double>(value) < 1.0 ? static_cast<double>(value) : 1.0;
    clamped = clamped > 0.0 ? clamped : 0.0;
    m_value = static_cast<float>(clamped);
    if (!m_sliderKnobView)
        return;

    CGRect frame = this->frame();
    CGRect bounds = this->bounds();
    CGSize knob = m_sliderKnobView->bounds().size;
    CGFloat length = m_horizontal ? frame.size.width : frame.size.height;
    CGFloat across = m_horizontal ? bounds.size.height : bounds.size.width;
    CGFloat knobAlong = m_horizontal ? knob.width : knob.height;
    CGFloat knobAcross = m_horizontal ? knob.height : knob.width;

    // Rounding before adding back half the knob puts its frame origin on a whole point.
    CGFloat travel = (1 - static_cast<CGFloat>(m_value)) * (length - 2 * trackMargin);
    CGFloat a = std::round(travel - knobAlong / 2) + knobAlong / 2 + trackMargin;
    CGFloat c = std::round((across - knobAcross) / 2) + knobAcross / 2;
    m_sliderKnobView->setCenter(m_horizontal ? CGPointMake(a, c) : CGPointMake(c, a));
}

CGRect KZUnitSlider::rampRectForSize(CGSize size) const
{
    constexpr CGFloat alongInset = 18;
    constexpr CGFloat acrossInset = 6;
    if (m_horizontal)
        return CGRectMake(alongInset, acrossInset, size.width - 2 * alongInset, size.height - 2 * acrossInset);
    return CGRectMake(acrossInset, alongInset, size.width - 2 * acrossInset, size.height - 2 * alongInset);
}

void KZUnitSlider::mapPointToValue(CGPoint point)
{
    CGRect frame = this->frame();
    CGFloat p = m_horizontal ? point.x : point.y;
    CGFloat length = m_horizontal ? frame.size.width : frame.size.height;
    // Not clamped here: setValue does that.
    setValue(static_cast<float>(1 - (p - trackMargin) / (length - 2 * trackMargin)));
    sendActionsForControlEvents(UIControlEventValueChanged);
}

bool KZUnitSlider::beginTrackingWithTouch(const UITouch& touch, const UIEvent&)
{
    mapPointToValue(touch.locationInView(this));
    return true;
}

bool KZUnitSlider::continueTrackingWithTouch(const UITouch& touch, const UIEvent&)
{
    mapPointToValue(touch.locationInView(this));
    return true;
}

void KZUnitSlider::endTrackingWithTouch(const UITouch* touch, const UIEvent* event)
{
    if (touch && event)
        continueTrackingWithTouch(*touch, *event);
    else if (touch)
        mapPointToValue(touch->locationInView(this));
}

void KZUnitSlider::didAddSubview(const UIViewRef& subview)
{
    UIControl::didAddSubview(subview);
    // Re-adding moves the knob to the top; it reports here once more, already on top, and stops.
    if (m_sliderKnobView && m_sliderKnobView->superview().get() == this && subviews().back() != m_sliderKnobView)
        addSubview(m_sliderKnobView);
}
