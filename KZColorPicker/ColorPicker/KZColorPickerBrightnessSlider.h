#pragma once

#include "KZColorPicker/ColorPicker/KZUnitSlider.h"
#include "QuartzCore/CAGradientLayer.h"

#include <memory>

// A unit slider over a ramp from a key colour (at value 1) to opaque black (at 0).
// The ramp runs left to right whichever way the slider runs.
class KZColorPickerBrightnessSlider : public KZUnitSlider {
    OBJC_CLASS(KZColorPickerBrightnessSlider, KZUnitSlider)
    [[nodiscard]] static std::shared_ptr<KZColorPickerBrightnessSlider> initWithFrame(CGRect frame);

    // Repaints the ramp at once, without the layer's fade. The colour is not kept.
    void setKeyColor(const UIColorRef&);
    // Lays the ramp out for the new size and places the knob for the unchanged value;
    // the orientation stays what it was at creation.
    void setFrame(CGRect) override;

    [[nodiscard]] CAGradientLayerRef gradientLayer() const { return m_gradientLayer.lock(); }

private:
    // Owned by the slider's layer.
    std::weak_ptr<CAGradientLayer> m_gradientLayer;
};
