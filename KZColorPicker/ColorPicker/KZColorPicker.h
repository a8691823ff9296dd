#pragma once

#include "KZColorPicker/ColorPicker/HSV.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIControl.h"

#include <memory>
#include <vector>

class KZColorPickerHSWheel;
class KZColorPickerBrightnessSlider;
class KZColorPickerAlphaSlider;
class KZColorPickerSwatchView;
class KZColorCompareView;

// Red, green and blue of an RGB colour, the white level thrice for a Monochrome one, black for anything else.
[[nodiscard]] RGBType rgbWithUIColor(const UIColorRef&);

// The composite colour chooser: a blue gradient backdrop, the hue–saturation
// wheel, the compare view and six swatches, kept in step with one selected
// colour. Every change of that colour ends in a value-changed event. It can
// drive a brightness and an alpha slider when they are assigned; it makes none.
class KZColorPicker : public UIControl {
    OBJC_CLASS(KZColorPicker, UIControl)
    [[nodiscard]] static std::shared_ptr<KZColorPicker> initWithFrame(CGRect frame);

    // A picker loaded from an interface file is set up the same way.
    void awakeFromNib() { setup(); }

    [[nodiscard]] const UIColorRef& selectedColor() const { return m_selectedColor; }
    void setSelectedColor(UIColorRef);
    // Animated: inside a view animation block, so the knob and the sliders move.
    void setSelectedColor(UIColorRef, bool animated);
    [[nodiscard]] const UIColorRef& oldColor() const { return m_oldColor; }
    void setOldColor(UIColorRef);

    // Actions of the parts' control events; the sender is the part.
    void colorWheelColorChanged(const std::shared_ptr<UIControl>& wheel);
    void swatchAction(const std::shared_ptr<UIControl>& swatch);
    void oldColor(const std::shared_ptr<UIControl>& compareView);
    void brightnessChanged(const std::shared_ptr<UIControl>& slider);
    void alphaChanged(const std::shared_ptr<UIControl>& slider);

    void fixLocations();
    void layoutSubviews() override;

    [[nodiscard]] const std::shared_ptr<KZColorPickerHSWheel>& colorWheel() const { return m_colorWheel; }
    void setColorWheel(std::shared_ptr<KZColorPickerHSWheel> wheel) { m_colorWheel = std::move(wheel); }
    [[nodiscard]] const std::shared_ptr<KZColorPickerBrightnessSlider>& brightnessSlider() const { return m_brightnessSlider; }
    void setBrightnessSlider(std::shared_ptr<KZColorPickerBrightnessSlider> slider) { m_brightnessSlider = std::move(slider); }
    [[nodiscard]] const std::shared_ptr<KZColorPickerAlphaSlider>& alphaSlider() const { return m_alphaSlider; }
    void setAlphaSlider(std::shared_ptr<KZColorPickerAlphaSlider> slider) { m_alphaSlider = std::move(slider); }
    [[nodiscard]] const std::vector<std::shared_ptr<KZColorPickerSwatchView>>& swatches() const { return m_swatches; }
    void setSwatches(std::vector<std::shared_ptr<KZColorPickerSwatchView>> swatches) { m_swatches = std::move(swatches); }
    [[nodiscard]] const std::shared_ptr<KZColorCompareView>& currentColorView() const { return m_currentColorView; }
    void setCurrentColorView(std::shared_ptr<KZColorCompareView> view) { m_currentColorView = std::move(view); }

    // The backdrop's two colours, top then bottom.
    [[nodiscard]] static UIColorRef backdropTopColor();
    [[nodiscard]] static UIColorRef backdropBottomColor();

private:
    void setup();
    void selectFromWheel(float brightness, float alpha);

    std::shared_ptr<KZColorPickerHSWheel> m_colorWheel;
    std::shared_ptr<KZColorPickerBrightnessSlider> m_brightnessSlider;
    std::shared_ptr<KZColorPickerAlphaSlider> m_alphaSlider;
    std::vector<std::shared_ptr<KZColorPickerSwatchView>> m_swatches;
    UIColorRef m_selectedColor;
    UIColorRef m_oldColor;
    std::shared_ptr<KZColorCompareView> m_currentColorView;
};
