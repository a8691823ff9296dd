#pragma once

#include "QuartzCore/CALayer.h"

#include <optional>
#include <vector>

class CAGradientLayer;
using CAGradientLayerRef = std::shared_ptr<CAGradientLayer>;

// A layer that shows an axial gradient over its bounds, rounded like its
// background. The points are in the unit square of the bounds, (0, 0) the top
// left on this y-down platform: by default the first colour is at the top and
// the last at the bottom. Past the end points the end colours go on.
class CAGradientLayer : public CALayer {
    OBJC_CLASS(CAGradientLayer, CALayer)
    [[nodiscard]] static CAGradientLayerRef layer();


    // A nil entry is transparent.
    [[nodiscard]] const std::vector<CGColorRef>& colors() const { return m_colors; }
    void setColors(std::vector<CGColorRef>);
    // nil spreads the colours evenly; so does a list whose count is not the colours' count
    // or that holds a NaN. Locations are clamped to 0..1.
    [[nodiscard]] const std::optional<std::vector<CGFloat>>& locations() const { return m_locations; }
    void setLocations(std::optional<std::vector<CGFloat>>);
    [[nodiscard]] CGPoint startPoint() const { return m_startPoint; }
    void setStartPoint(CGPoint);
    [[nodiscard]] CGPoint endPoint() const { return m_endPoint; }
    void setEndPoint(CGPoint);

protected:
    [[nodiscard]] const CALayerProperty* propertyForKey(std::string_view) const override;
    [[nodiscard]] CALayerRef copyForPresentation() const override;

private:
    friend class CALayerPainter;

    std::vector<CGColorRef> m_colors;
    std::optional<std::vector<CGFloat>> m_locations;
    CGPoint m_startPoint { 0.5, 0 };
    CGPoint m_endPoint { 0.5, 1 };
    // The gradient's pixels as the compositor last drew them, with what they were drawn
    // from; its own to keep and compare (CALayerPainter).
    mutable std::shared_ptr<const void> m_drawnGradient;
};
