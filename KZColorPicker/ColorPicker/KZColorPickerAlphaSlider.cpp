#include "KZColorPicker/ColorPicker/KZColorPickerAlphaSlider.h"

#include "QuartzCore/CATransaction.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIScreen.h"

std::shared_ptr<KZColorPickerAlphaSlider> KZColorPickerAlphaSlider::initWithFrame(CGRect frame)
{
    auto slider = objc::alloc<KZColorPickerAlphaSlider>();
    slider->setUpWithFrame(frame);

    CGRect ramp = slider->rampRectForSize(slider->frame().size);
    auto checkerboard = UIView::initWithFrame(ramp);
    // Transparency shows against the checker pattern.
    checkerboard->setBackgroundColor(UIColor::colorWithPatternImage(UIImage::imageNamed("checkerboard.png")));
    checkerboard->layer()->setCornerRadius(6);
    checkerboard->setClipsToBounds(true);
    checkerboard->setUserInteractionEnabled(false);
    slider->addSubview(checkerboard);
    slider->m_checkerboard = checkerboard;

    CGSize checkerSize = checkerboard->bounds().size;
    auto gradient = CAGradientLayer::layer();
    gradient->setBounds(ramp);
    gradient->setPosition(CGPointMake(checkerSize.width / 2, checkerSize.height / 2));
    gradient->setCornerRadius(4);
    gradient->setBorderWidth(2);
    gradient->setBorderColor(UIColor::whiteColor()->CGColor());
    slider->setContentScaleFactor(UIScreen::mainScreen()->scale());
    // A vertical slider keeps the layer's own top-to-bottom axis.
    if (slider->isHorizontal()) {
        gradient->setStartPoint(CGPointMake(0, 0.5f));
        gradient->setEndPoint(CGPointMake(1, 0.5f));
    }
    checkerboard->layer()->addSublayer(gradient);
    slider->m_gradientLayer = gradient;

    slider->setKeyColor(UIColor::whiteColor());
    return slider;
}

void KZColorPickerAlphaSlider::setKeyColor(const UIColorRef& color)
{
    auto gradient = m_gradientLayer.lock();
    if (!gradient)
        return;
    UIColorRef transparent = color ? color->colorWithAlphaComponent(0) : nullptr;
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    gradient->setColors({ color ? color->CGColor() : nullptr, transparent ? transparent->CGColor() : nullptr });
    CATransaction::commit();
}

void KZColorPickerAlphaSlider::setFrame(CGRect frame)
{
    UIView::setFrame(frame);
    auto gradient = m_gradientLayer.lock();
    auto checkerboard = m_checkerboard.lock();
    // No transaction of our own: the ramp moves with the layer's implicit animation.
    if (gradient && checkerboard) {
        gradient->setBounds(rampRectForSize(this->frame().size));
        checkerboard->setFrame(gradient->bounds());
        CGSize checkerSize = checkerboard->bounds().size;
        gradient->setPosition(CGPointMake(checkerSize.width / 2, checkerSize.height / 2));
    }
    setValue(value());
}
