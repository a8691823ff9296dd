#include "KZColorPicker/ColorPicker/KZColorPicker.h"

#include "KZColorPicker/ColorPicker/KZColorCompareView.h"
#include "KZColorPicker/ColorPicker/KZColorPickerAlphaSlider.h"
#include "KZColorPicker/ColorPicker/KZColorPickerBrightnessSlider.h"
#include "KZColorPicker/ColorPicker/KZColorPickerHSWheel.h"
#include "KZColorPicker/ColorPicker/KZColorPickerSwatchView.h"
#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"
#include "QuartzCore/CAGradientLayer.h"
#include "UIKit/UIDevice.h"

#include <cmath>

RGBType rgbWithUIColor(const UIColorRef& color)
{
    CGColorRef cgColor = color ? color->CGColor() : nullptr;
    const CGFloat* components = CGColorGetComponents(cgColor);
    size_t count = CGColorGetNumberOfComponents(cgColor);
    // A colour built with fewer components than its space has reads as black rather than past its end.
    switch (CGColorSpaceGetModel(CGColorGetColorSpace(cgColor))) {
    case kCGColorSpaceModelRGB:
        if (count >= 3)
            return RGBTypeMake(static_cast<float>(components[0]), static_cast<float>(components[1]), static_cast<float>(components[2]));
        break;
    case kCGColorSpaceModelMonochrome:
        if (count >= 1)
            return RGBTypeMake(static_cast<float>(components[0]), static_cast<float>(components[0]), static_cast<float>(components[0]));
        break;
    default:
        break;
    }
    return RGBTypeMake(0, 0, 0);
}

namespace {

constexpr CGFloat swatchSide = 36;

UIColorRef hsbColor(float hue, float saturation, float brightness, float alpha)
{
    return UIColor::colorWithHue(hue, saturation, brightness, alpha);
}

}

std::shared_ptr<KZColorPicker> KZColorPicker::initWithFrame(CGRect frame)
{
    auto picker = objc::alloc<KZColorPicker>();
    picker->setFrame(frame);
    picker->setup();
    return picker;
}

UIColorRef KZColorPicker::backdropTopColor()
{
    return UIColor::colorWithRed(29.0f / 255, 98.0f / 255, 240.0f / 255, 1);
}

UIColorRef KZColorPicker::backdropBottomColor()
{
    return UIColor::colorWithRed(0, 140.0f / 255, 1, 1);
}

void KZColorPicker::setup()
{
    auto self = std::static_pointer_cast<KZColorPicker>(shared_from_this());

    auto gradient = CAGradientLayer::layer();
    gradient->setColors({ backdropTopColor()->CGColor(), backdropBottomColor()->CGColor() });
    gradient->setFrame(bounds());
    layer()->insertSublayer(gradient, 0);

    auto& device = UIDevice::currentDevice();
    bool tablet = device->respondsToSelector(sel_registerName("userInterfaceIdiom")) && device->userInterfaceIdiom() == UIUserInterfaceIdiomPad;
    setBackgroundColor(tablet ? UIColor::clearColor() : UIColor::colorWithRed(0.225f, 0.225f, 0.225f, 1));

    auto wheel = KZColorPickerHSWheel::initAtOrigin(CGPointMake(40, 15));
    wheel->addTarget(self, &KZColorPicker::colorWheelColorChanged, UIControlEventValueChanged);
    addSubview(wheel);
    m_colorWheel = wheel;

    auto compareView = KZColorCompareView::initWithFrame(CGRectMake(10, 10, 44, 44));
    compareView->addTarget(self, static_cast<void (KZColorPicker::*)(const std::shared_ptr<UIControl>&)>(&KZColorPicker::oldColor),
        UIControlEventTouchUpInside);
    compareView->setOldColor(m_oldColor);
    m_currentColorView = compareView;
    addSubview(compareView);

    // Six hues a sixth of a turn apart, from the angle in degrees as the original counter ran.
    std::vector<UIColorRef> colors;
    for (float degrees = 0; degrees < 360; degrees += 60) {
        auto hue = static_cast<float>((degrees * M_PI / 180) / (2 * M_PI));
        colors.push_back(hsbColor(hue, 1, 1, 1));
    }

    m_swatches.clear();
    for (auto& color : colors) {
        auto swatch = KZColorPickerSwatchView::initWithFrame(CGRectZero);
        swatch->setColor(color);
        swatch->addTarget(self, &KZColorPicker::swatchAction, UIControlEventTouchUpInside);
        addSubview(swatch);
        m_swatches.push_back(swatch);
    }

    setSelectedColor(UIColor::whiteColor());
    fixLocations();
}

void KZColorPicker::setSelectedColor(UIColorRef color)
{
    m_selectedColor = std::move(color);
    HSVType hsv = RGB_to_HSV(rgbWithUIColor(m_selectedColor));
    if (m_colorWheel)
        m_colorWheel->setCurrentHSV(hsv);
    if (m_brightnessSlider)
        m_brightnessSlider->setValue(hsv.v);
    if (m_alphaSlider)
        m_alphaSlider->setValue(static_cast<float>(UIColor_Expanded::alpha(m_selectedColor)));
    if (m_brightnessSlider)
        m_brightnessSlider->setKeyColor(hsbColor(hsv.h, hsv.s, 1, 1));
    if (m_alphaSlider)
        m_alphaSlider->setKeyColor(hsbColor(hsv.h, hsv.s, hsv.v, 1));
    if (m_currentColorView)
        m_currentColorView->setCurrentColor(m_selectedColor);
    sendActionsForControlEvents(UIControlEventValueChanged);
}

void KZColorPicker::setSelectedColor(UIColorRef color, bool animated)
{
    if (!animated) {
        setSelectedColor(std::move(color));
        return;
    }
    UIView::beginAnimations();
    setSelectedColor(std::move(color));
    UIView::commitAnimations();
}

void KZColorPicker::setOldColor(UIColorRef color)
{
    m_oldColor = std::move(color);
    if (m_currentColorView)
        m_currentColorView->setOldColor(m_oldColor);
}

void KZColorPicker::selectFromWheel(float brightness, float alpha)
{
    HSVType hsv = m_colorWheel ? m_colorWheel->currentHSV() : HSVTypeMake(0, 0, 0);
    setSelectedColor(hsbColor(hsv.h, hsv.s, brightness, alpha));
}

void KZColorPicker::colorWheelColorChanged(const std::shared_ptr<UIControl>&)
{
    // Without sliders the colour is at full brightness and opaque, as the keyboard then shows it.
    selectFromWheel(m_brightnessSlider ? m_brightnessSlider->value() : 1.0f, m_alphaSlider ? m_alphaSlider->value() : 1.0f);
}

void KZColorPicker::brightnessChanged(const std::shared_ptr<UIControl>&)
{
    // An absent slider reads as 0, as a message to nil answers.
    selectFromWheel(m_brightnessSlider ? m_brightnessSlider->value() : 0.0f, m_alphaSlider ? m_alphaSlider->value() : 0.0f);
}

void KZColorPicker::alphaChanged(const std::shared_ptr<UIControl>& slider)
{
    brightnessChanged(slider);
}

void KZColorPicker::swatchAction(const std::shared_ptr<UIControl>& sender)
{
    if (auto swatch = std::dynamic_pointer_cast<KZColorPickerSwatchView>(sender))
        setSelectedColor(swatch->color(), true);
}

void KZColorPicker::oldColor(const std::shared_ptr<UIControl>& sender)
{
    if (auto compareView = std::dynamic_pointer_cast<KZColorCompareView>(sender))
        setSelectedColor(compareView->oldColor(), true);
}

void KZColorPicker::fixLocations()
{
    CGFloat width = bounds().size.width;
    CGFloat height = bounds().size.height;
    if (width < height) {
        float step = static_cast<float>(width - 40) / 6;
        int x = 20;
        for (auto& swatch : m_swatches) {
            swatch->setFrame(CGRectMake(static_cast<CGFloat>(x + step / 2 - 18), 300, swatchSide, swatchSide));
            x = static_cast<int>(static_cast<float>(x) + step);
        }
        if (m_brightnessSlider)
            m_brightnessSlider->setFrame(CGRectMake(24, 277, 272, 38));
        if (m_alphaSlider)
            m_alphaSlider->setFrame(CGRectMake(24, 321, 272, 38));
        return;
    }
    float step = 160.0f / 3;
    int x = 302;
    int y = 140;
    int placed = 0;
    for (auto& swatch : m_swatches) {
        swatch->setFrame(CGRectMake(static_cast<CGFloat>(x + step / 2 - 18), static_cast<CGFloat>(y), swatchSide, swatchSide));
        x = static_cast<int>(static_cast<float>(x) + step);
        if (++placed % 3 == 0) {
            // Later rows start two points further left than the first.
            x = 300;
            y = static_cast<int>(static_cast<float>(y) + step);
        }
    }
    if (m_brightnessSlider)
        m_brightnessSlider->setFrame(CGRectMake(300, height / 2 - 88, 165, 38));
    if (m_alphaSlider)
        m_alphaSlider->setFrame(CGRectMake(300, height / 2 - 45, 165, 38));
}

void KZColorPicker::layoutSubviews()
{
    UIView::beginAnimations();
    fixLocations();
    UIView::commitAnimations();
}
