#pragma once

#include "CoreGraphics/CGPath.h"
#include "QuartzCore/CALayer.h"

class CAShapeLayer;
using CAShapeLayerRef = std::shared_ptr<CAShapeLayer>;

enum CAShapeLayerFillRule : int {
    kCAFillRuleNonZero = 0,
    kCAFillRuleEvenOdd = 1,
};

// A layer that fills and strokes a path given in its bounds coordinates, above
// its contents and not clipped to its bounds (unless masksToBounds). The fill
// is opaque black and there is no stroke until set otherwise, as on the platform.
class CAShapeLayer : public CALayer {
    OBJC_CLASS(CAShapeLayer, CALayer)
    [[nodiscard]] static CAShapeLayerRef layer();

    explicit CAShapeLayer(objc::AllocationKey);

    [[nodiscard]] const CGPathRef& path() const { return m_path; }
    void setPath(CGPathRef);
    // nil fills nothing.
    [[nodiscard]] const CGColorRef& fillColor() const { return m_fillColor; }
    void setFillColor(CGColorRef);
    // nil strokes nothing.
    [[nodiscard]] const CGColorRef& strokeColor() const { return m_strokeColor; }
    void setStrokeColor(CGColorRef);
    // Negative and non-finite widths are refused.
    [[nodiscard]] CGFloat lineWidth() const { return m_lineWidth; }
    void setLineWidth(CGFloat);
    [[nodiscard]] CAShapeLayerFillRule fillRule() const { return m_fillRule; }
    void setFillRule(CAShapeLayerFillRule);

protected:
    [[nodiscard]] const CALayerProperty* propertyForKey(std::string_view) const override;
    [[nodiscard]] CALayerRef copyForPresentation() const override;

private:
    CGPathRef m_path;
    CGColorRef m_fillColor;
    CGColorRef m_strokeColor;
    CGFloat m_lineWidth = 1;
    CAShapeLayerFillRule m_fillRule = kCAFillRuleNonZero;
};
