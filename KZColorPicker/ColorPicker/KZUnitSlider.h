#pragma once

#include "UIKit/UIControl.h"
#include "UIKit/UIImageView.h"

#include <memory>

// A control holding one value in 0..1, shown as a knob dragged along one axis.
// The value runs against the coordinate: 1 at the start of the axis (left or
// top), 0 at the far end, with a margin at each end. Whether the slider runs
// across or down is decided once, from the frame it is made with.
class KZUnitSlider : public UIControl {
    OBJC_CLASS(KZUnitSlider, UIControl)
    [[nodiscard]] static std::shared_ptr<KZUnitSlider> initWithFrame(CGRect frame);

    // Room at each end of the track: the knob's centre runs between these points.
    static constexpr CGFloat trackMargin = 20;

    [[nodiscard]] const std::shared_ptr<UIImageView>& sliderKnobView() const { return m_sliderKnobView; }
    void setSliderKnobView(std::shared_ptr<UIImageView> view) { m_sliderKnobView = std::move(view); }
    [[nodiscard]] bool isHorizontal() const { return m_horizontal; }

    [[nodiscard]] float value() const { return m_value; }
    // Clamps to 0..1 (not a number reads as 1) and places the knob for the current
    // size; the current value places it anew after a resize. Sends no event.
    void setValue(float);

    // Takes the value at a point of the slider's coordinates and sends value-changed,
    // whether or not the value changed.
    void mapPointToValue(CGPoint);

    bool beginTrackingWithTouch(const UITouch&, const UIEvent&) override;
    bool continueTrackingWithTouch(const UITouch&, const UIEvent&) override;
    void endTrackingWithTouch(const UITouch*, const UIEvent*) override;
    // Keeps the knob above whatever is added later, such as a subclass's ramp.
    void didAddSubview(const UIViewRef&) override;

protected:
    // The work of initWithFrame on a freshly allocated slider of any subclass.
    void setUpWithFrame(CGRect frame);
    // Where a subclass lays a band under the knob in a slider of this size: 2 points past
    // the knob's travel at each end, 6 points inside each long side.
    [[nodiscard]] CGRect rampRectForSize(CGSize) const;

private:
    std::shared_ptr<UIImageView> m_sliderKnobView;
    bool m_horizontal = false;
    float m_value = 0;
};
