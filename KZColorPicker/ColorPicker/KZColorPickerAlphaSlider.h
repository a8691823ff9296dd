#pragma once

#include "KZColorPicker/ColorPicker/KZUnitSlider.h"
#include "QuartzCore/CAGradientLayer.h"

#include <memory>

// A unit slider over a checkerboard and a ramp from a key colour (at value 1) to
// the same colour fully transparent (at 0). The ramp turns with the slider.
class KZColorPickerAlphaSlider : public KZUnitSlider {
    OBJC_CLASS(KZColorPickerAlphaSlider, KZUnitSlider)
    [[nodiscard]] static std::shared_ptr<KZColorPickerAlphaSlider> initWithFrame(CGRect frame);

    // Repaints the ramp at once, without the layer's fade. The colour is not kept.
    void setKeyColor(const UIColorRef&);
    // Lays the checkerboard and the ramp out for the new size and places the knob for
    // the unchanged value; the orientation stays what it was at creation.
    void setFrame(CGRect) override;

    [[nodiscard]] UIViewRef checkerboard() const { return m_checkerboard.lock(); }
    [[nodiscard]] CAGradientLayerRef gradientLayer() const { return m_gradientLayer.lock(); }

private:
    // Owned by the view tree and by the checkerboard's layer.
    std::weak_ptr<UIView> m_checkerboard;
    std::weak_ptr<CAGradientLayer> m_gradientLayer;
};
