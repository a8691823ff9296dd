#include "QuartzCore/CAShapeLayer.h"

#include "CoreGraphics/cairo/CairoContext.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"

#include <cmath>

CAShapeLayerRef CAShapeLayer::layer()
{
    return objc::alloc<CAShapeLayer>();
}

CAShapeLayer::CAShapeLayer(objc::AllocationKey key)
    : CALayer(key)
    , m_fillColor(CGColorCreate(CGColorSpaceCreateDeviceGray(), { 0, 1 }))
{
}

void CAShapeLayer::setPath(CGPathRef path)
{
    changeValue("path", CAPropertyValue(std::move(path)));
}

void CAShapeLayer::setFillColor(CGColorRef color)
{
    changeValue("fillColor", CAPropertyValue(std::move(color)));
}

void CAShapeLayer::setStrokeColor(CGColorRef color)
{
    changeValue("strokeColor", CAPropertyValue(std::move(color)));
}

void CAShapeLayer::setLineWidth(CGFloat width)
{
    if (std::isfinite(width) && width >= 0)
        changeValue("lineWidth", width);
}

void CAShapeLayer::setFillRule(CAShapeLayerFillRule rule)
{
    if (rule == kCAFillRuleNonZero || rule == kCAFillRuleEvenOdd)
        changeValue("fillRule", static_cast<double>(rule));
}

bool CAShapeLayer::isAnimatableKey(std::string_view key) const
{
    return key == "path" || key == "fillColor" || key == "strokeColor" || key == "lineWidth" || CALayer::isAnimatableKey(key);
}

std::optional<CAPropertyValue> CAShapeLayer::modelValueForKey(std::string_view key) const
{
    if (key == "path")
        return CAPropertyValue(m_path);
    if (key == "fillColor")
        return CAPropertyValue(m_fillColor);
    if (key == "strokeColor")
        return CAPropertyValue(m_strokeColor);
    if (key == "lineWidth")
        return CAPropertyValue(m_lineWidth);
    if (key == "fillRule")
        return CAPropertyValue(static_cast<double>(m_fillRule));
    return CALayer::modelValueForKey(key);
}

bool CAShapeLayer::storeValueForKey(std::string_view key, const CAPropertyValue& value)
{
    auto storeObject = [&value](auto& member) {
        using Ref = std::decay_t<decltype(member)>;
        if (value.isNil()) {
            member = nullptr;
            return true;
        }
        auto* object = value.get<Ref>();
        if (!object)
            return false;
        member = *object;
        return true;
    };
    if (key == "path")
        return storeObject(m_path);
    if (key == "fillColor")
        return storeObject(m_fillColor);
    if (key == "strokeColor")
        return storeObject(m_strokeColor);
    if (key == "lineWidth") {
        auto* width = value.get<double>();
        if (!width || !std::isfinite(*width) || *width < 0)
            return false;
        m_lineWidth = static_cast<CGFloat>(*width);
        return true;
    }
    if (key == "fillRule") {
        auto* rule = value.get<double>();
        if (!rule || (*rule != static_cast<double>(kCAFillRuleNonZero) && *rule != static_cast<double>(kCAFillRuleEvenOdd)))
            return false;
        m_fillRule = static_cast<CAShapeLayerFillRule>(static_cast<int>(*rule));
        return true;
    }
    return CALayer::storeValueForKey(key, value);
}

CALayerRef CAShapeLayer::copyForPresentation() const
{
    auto copy = objc::alloc<CAShapeLayer>();
    copy->copyLayerValuesFrom(*this);
    copy->m_path = m_path;
    copy->m_fillColor = m_fillColor;
    copy->m_strokeColor = m_strokeColor;
    copy->m_lineWidth = m_lineWidth;
    copy->m_fillRule = m_fillRule;
    return copy;
}

void CAShapeLayer::renderContents(const CGContextRef& context) const
{
    CALayer::renderContents(context);
    cairo_t* cr = CGContextGetCairo(context);
    if (!cr || !m_path || m_path->isEmpty())
        return;
    CGPoint origin = CGRectStandardize(bounds()).origin;
    // A path past the range Cairo can hold (see addRoundedRect) is not drawn.
    CGRect box = CGRectNull;
    for (const auto& element : m_path->elements()) {
        for (const auto& point : element.points)
            box = CGRectUnion(box, CGRect { point, {} });
    }
    if (!CairoLayerDrawing::isWithinDeviceRange(cr, box))
        return;
    if (m_fillColor) {
        cairo_new_path(cr);
        if (CairoLayerDrawing::addPath(cr, *m_path))
            CairoLayerDrawing::fillPath(cr, m_fillColor, origin, m_fillRule == kCAFillRuleEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    }
    CGFloat halfWidth = m_lineWidth / 2;
    if (m_strokeColor && m_lineWidth > 0 && CairoLayerDrawing::isWithinDeviceRange(cr, CGRectInset(box, -halfWidth, -halfWidth))) {
        cairo_new_path(cr);
        if (CairoLayerDrawing::addPath(cr, *m_path)) {
            cairo_save(cr);
            cairo_set_line_width(cr, m_lineWidth);
            CairoLayerDrawing::setSourceColor(cr, m_strokeColor, origin);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
    }
    cairo_new_path(cr);
}
