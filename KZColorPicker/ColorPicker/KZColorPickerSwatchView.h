#pragma once

#include "QuartzCore/CAShapeLayer.h"
#include "UIKit/UIControl.h"

#include <memory>

// Width and height of the selection mark.
inline constexpr CGFloat kCheckmarkWidth = 22.0;

// A closed rounded rectangle 1 point inside rect on every side, clockwise on
// screen from the middle of the left edge, its corners made by arct with the
// radius as given: a radius too large for the sides is not shrunk, and a
// negative one leaves the corners square. The caller owns the path.
[[nodiscard]] CGMutablePathRef newRoundRectPathForBoundingRect(CGRect rect, CGFloat radius);

// A tappable rounded swatch of one colour: a checkerboard under a translucent
// colour, an etched or white border, a dark veil while a finger is down, and a
// checkmark in the bottom-right corner while selected. Owners act on it at
// touch-up-inside.
class KZColorPickerSwatchView : public UIControl {
    OBJC_CLASS(KZColorPickerSwatchView, UIControl)
    [[nodiscard]] static std::shared_ptr<KZColorPickerSwatchView> initWithFrame(CGRect frame);
    [[nodiscard]] static CGMutablePathRef newRoundRectPathForBoundingRect(CGRect rect, CGFloat radius)
    {
        return ::newRoundRectPathForBoundingRect(rect, radius);
    }

    [[nodiscard]] const UIColorRef& color() const { return m_color; }
    void setColor(UIColorRef);
    // Border, radius, shadow and checkerboard changes show at the next redraw.
    [[nodiscard]] CGFloat borderWidth() const { return m_borderWidth; }
    void setBorderWidth(CGFloat width) { m_borderWidth = width; }
    [[nodiscard]] CGFloat cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(CGFloat radius) { m_cornerRadius = radius; }
    [[nodiscard]] bool hasShadow() const { return m_hasShadow; }
    void setHasShadow(bool hasShadow) { m_hasShadow = hasShadow; }
    // The decoration layers belong to the layer tree.
    [[nodiscard]] CAShapeLayerRef touchDownLayer() const { return m_touchDownLayer.lock(); }
    void setTouchDownLayer(const CAShapeLayerRef& layer) { m_touchDownLayer = layer; }
    [[nodiscard]] CALayerRef checkmarkLayer() const { return m_checkmarkLayer.lock(); }
    void setCheckmarkLayer(const CALayerRef& layer) { m_checkmarkLayer = layer; }
    // The bundle's checkerboard picture as a pattern, made on first use; nil when the bundle has none.
    [[nodiscard]] const UIColorRef& checkerboardColor();
    void setCheckerboardColor(UIColorRef color) { m_checkerboardColor = std::move(color); }

    void setSelected(bool selected) override;
    // Without animation the mark appears or goes at once; with it, it fades.
    void setSelected(bool selected, bool animated);

    void drawRect(CGRect) override;
    void layoutSublayersOfLayer(CALayer&) override;

    bool beginTrackingWithTouch(const UITouch&, const UIEvent&) override;
    void endTrackingWithTouch(const UITouch*, const UIEvent*) override;
    void cancelTrackingWithEvent(const UIEvent*) override;

private:
    UIColorRef m_color;
    UIColorRef m_checkerboardColor;
    CGFloat m_borderWidth = 1;
    CGFloat m_cornerRadius = 6;
    bool m_hasShadow = true;
    std::weak_ptr<CAShapeLayer> m_touchDownLayer;
    std::weak_ptr<CALayer> m_checkmarkLayer;
};
