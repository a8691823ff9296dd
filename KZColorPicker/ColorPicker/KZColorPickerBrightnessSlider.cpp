#include "KZColorPicker/ColorPicker/KZColorPickerBrightnessSlider.h"

#include "QuartzCore/CATransaction.h"
#include "UIKit/UIScreen.h"

std::shared_ptr<KZColorPickerBrightnessSlider> KZColorPickerBrightnessSlider::initWithFrame(CGRect frame)
{
    auto slider = objc::alloc<KZColorPickerBrightnessSlider>();
    slider->setUpWithFrame(frame);

    CGSize size = slider->frame().size;
    auto gradient = CAGradientLayer::layer();
    gradient->setBounds(slider->rampRectForSize(size));
    gradient->setPosition(CGPointMake(size.width * 0.5f, size.height * 0.5f));
    gradient->setStartPoint(CGPointMake(0, 0.5f));
    gradient->setEndPoint(CGPointMake(1, 0.5f));
    gradient->setCornerRadius(6);
    gradient->setBorderWidth(2);
    gradient->setBorderColor(UIColor::whiteColor()->CGColor());
    slider->setContentScaleFactor(UIScreen::mainScreen()->scale());
    // Below the knob view's layer.
    slider->layer()->insertSublayer(gradient, 0);
    slider->m_gradientLayer = gradient;

    slider->setKeyColor(UIColor::whiteColor());
    return slider;
}

void KZColorPickerBrightnessSlider::setKeyColor(const UIColorRef& color)
{
    auto gradient = m_gradientLayer.lock();
    if (!gradient)
        return;
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    gradient->setColors({ color ? color->CGColor() : nullptr, UIColor::colorWithRed(0, 0, 0, 1)->CGColor() });
    CATransaction::commit();
}

void KZColorPickerBrightnessSlider::setFrame(CGRect frame)
{
    UIView::setFrame(frame);
    // No transaction of our own: the ramp moves with the layer's implicit animation.
    if (auto gradient = m_gradientLayer.lock()) {
        CGSize size = this->frame().size;
        gradient->setBounds(rampRectForSize(size));
        gradient->setPosition(CGPointMake(size.width * 0.5f, size.height * 0.5f));
    }
    setValue(value());
}
