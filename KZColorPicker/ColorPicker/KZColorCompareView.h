#pragma once

#include "QuartzCore/CAShapeLayer.h"
#include "UIKit/UIControl.h"

#include <memory>

// Half rectangles 1 point inside rect, rounded on one side only and left open
// on the other: a fill closes them with a straight edge, a stroke leaves that
// edge out. Radii are used as given, as by the closed rounded rectangle. The
// caller owns the path.
[[nodiscard]] CGMutablePathRef newLeftRoundRectPathForBoundingRect(CGRect rect, CGFloat radius);
[[nodiscard]] CGMutablePathRef newRightRoundRectPathForBoundingRect(CGRect rect, CGFloat radius);

// The old colour (left) beside the current one (right) in one rounded
// rectangle with a white frame. A finger darkens the old half; a tap anywhere
// on it ends in touch-up-inside, so that the owner can go back to the old colour.
class KZColorCompareView : public UIControl {
    OBJC_CLASS(KZColorCompareView, UIControl)
    [[nodiscard]] static std::shared_ptr<KZColorCompareView> initWithFrame(CGRect frame);
    [[nodiscard]] static CGMutablePathRef newRoundRectPathForBoundingRect(CGRect rect, CGFloat radius);
    [[nodiscard]] static CGMutablePathRef newLeftRoundRectPathForBoundingRect(CGRect rect, CGFloat radius)
    {
        return ::newLeftRoundRectPathForBoundingRect(rect, radius);
    }
    [[nodiscard]] static CGMutablePathRef newRightRoundRectPathForBoundingRect(CGRect rect, CGFloat radius)
    {
        return ::newRightRoundRectPathForBoundingRect(rect, radius);
    }

    [[nodiscard]] const UIColorRef& oldColor() const { return m_oldColor; }
    void setOldColor(UIColorRef);
    [[nodiscard]] const UIColorRef& currentColor() const { return m_currentColor; }
    void setCurrentColor(UIColorRef);
    // Belongs to the layer tree.
    [[nodiscard]] CAShapeLayerRef touchDownLayer() const { return m_touchDownLayer.lock(); }
    void setTouchDownLayer(const CAShapeLayerRef& layer) { m_touchDownLayer = layer; }
    // The bundle's checkerboard picture as a pattern, made on first use; nil when the bundle has none.
    [[nodiscard]] const UIColorRef& checkerboardColor();
    void setCheckerboardColor(UIColorRef color) { m_checkerboardColor = std::move(color); }

    void drawRect(CGRect) override;
    void layoutSublayersOfLayer(CALayer&) override;

    bool beginTrackingWithTouch(const UITouch&, const UIEvent&) override;
    void endTrackingWithTouch(const UITouch*, const UIEvent*) override;
    void cancelTrackingWithEvent(const UIEvent*) override;

private:
    UIColorRef m_oldColor;
    UIColorRef m_currentColor;
    UIColorRef m_checkerboardColor;
    std::weak_ptr<CAShapeLayer> m_touchDownLayer;
};
