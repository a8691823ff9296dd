#pragma once

#include "KZColorPicker/ColorPicker/HSV.h"
#include "KZColorPicker/ColorPicker/KZWheelMapping.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIImageView.h"

#include <memory>

// The picker's round colour field: a fixed 240-point wheel picture with a knob.
// A touch picks the hue by its angle around the centre (0 at three o'clock,
// growing counter-clockwise) and the saturation by its distance from it; the
// brightness it reports is always full.
class KZColorPickerHSWheel : public UIControl {
    OBJC_CLASS(KZColorPickerHSWheel, UIControl)
    [[nodiscard]] static std::shared_ptr<KZColorPickerHSWheel> initAtOrigin(CGPoint origin);

    static constexpr CGFloat side = 240;
    // Nearer the centre than this a touch picks saturation 0.
    static constexpr CGFloat deadZoneRadius = KZWheelMapping::deadZoneRadius;
    // How far inside the rim the knob stays at full saturation.
    static constexpr CGFloat knobInset = 3;

    [[nodiscard]] const std::shared_ptr<UIImageView>& wheelImageView() const { return m_wheelImageView; }
    void setWheelImageView(std::shared_ptr<UIImageView> view) { m_wheelImageView = std::move(view); }
    [[nodiscard]] const std::shared_ptr<UIImageView>& wheelKnobView() const { return m_wheelKnobView; }
    void setWheelKnobView(std::shared_ptr<UIImageView> view) { m_wheelKnobView = std::move(view); }

    // Places the knob; the brightness is stored as 1 whatever is passed. Sends no event.
    void setCurrentHSV(HSVType);
    [[nodiscard]] HSVType currentHSV() const { return m_currentHSV; }
    [[nodiscard]] float hue() const { return m_currentHSV.h; }
    [[nodiscard]] float saturation() const { return m_currentHSV.s; }
    [[nodiscard]] float brightness() const { return m_currentHSV.v; }

    // Takes the hue and saturation under a point of the wheel picture's coordinates and
    // sends value-changed, whether or not they changed.
    void mapPointToColor(CGPoint);

    bool beginTrackingWithTouch(const UITouch&, const UIEvent&) override;
    bool continueTrackingWithTouch(const UITouch&, const UIEvent&) override;
    void endTrackingWithTouch(const UITouch*, const UIEvent*) override;

private:
    // The view whose coordinates touches are mapped in.
    [[nodiscard]] const UIView* pictureView() const;

    std::shared_ptr<UIImageView> m_wheelImageView;
    std::shared_ptr<UIImageView> m_wheelKnobView;
    HSVType m_currentHSV { 0, 0, 1 };
};
