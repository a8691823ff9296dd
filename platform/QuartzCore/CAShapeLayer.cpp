#include "QuartzCore/CAShapeLayer.h"

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

const CALayerProperty* CAShapeLayer::propertyForKey(std::string_view key) const
{
    using namespace CALayerProperties;
    static constexpr CALayerProperty table[] = {
        { "path", true, [](const CALayer& l) { return CAPropertyValue(static_cast<const CAShapeLayer&>(l).m_path); },
            [](CALayer& l, const CAPropertyValue& v) { return storeObject(static_cast<CAShapeLayer&>(l).m_path, v); } },
        { "fillColor", true, [](const CALayer& l) { return CAPropertyValue(static_cast<const CAShapeLayer&>(l).m_fillColor); },
            [](CALayer& l, const CAPropertyValue& v) { return storeObject(static_cast<CAShapeLayer&>(l).m_fillColor, v); } },
        { "strokeColor", true, [](const CALayer& l) { return CAPropertyValue(static_cast<const CAShapeLayer&>(l).m_strokeColor); },
            [](CALayer& l, const CAPropertyValue& v) { return storeObject(static_cast<CAShapeLayer&>(l).m_strokeColor, v); } },
        { "lineWidth", true, [](const CALayer& l) { return CAPropertyValue(static_cast<const CAShapeLayer&>(l).m_lineWidth); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto* width = v.get<double>();
                if (!width || !std::isfinite(*width) || *width < 0)
                    return false;
                static_cast<CAShapeLayer&>(l).m_lineWidth = static_cast<CGFloat>(*width);
                return true;
            } },
        { "fillRule", false, [](const CALayer& l) { return CAPropertyValue(static_cast<double>(static_cast<const CAShapeLayer&>(l).m_fillRule)); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto* rule = v.get<double>();
                if (!rule || (*rule != static_cast<double>(kCAFillRuleNonZero) && *rule != static_cast<double>(kCAFillRuleEvenOdd)))
                    return false;
                static_cast<CAShapeLayer&>(l).m_fillRule = static_cast<CAShapeLayerFillRule>(static_cast<int>(*rule));
                return true;
            } },
    };
    if (auto* property = find(table, key))
        return property;
    return CALayer::propertyForKey(key);
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

