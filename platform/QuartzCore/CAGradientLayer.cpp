#include "QuartzCore/CAGradientLayer.h"

#include <algorithm>
#include <cmath>

namespace {

bool storeUnitPoint(CGPoint& member, const CAPropertyValue& value)
{
    auto* point = value.get<CGPoint>();
    if (!point || !std::isfinite(point->x) || !std::isfinite(point->y))
        return false;
    member = *point;
    return true;
}

}

CAGradientLayerRef CAGradientLayer::layer()
{
    return objc::alloc<CAGradientLayer>();
}

void CAGradientLayer::setColors(std::vector<CGColorRef> colors)
{
    changeValue("colors", CAPropertyValue(std::move(colors)));
}

void CAGradientLayer::setLocations(std::optional<std::vector<CGFloat>> locations)
{
    changeValue("locations", locations ? CAPropertyValue(std::move(*locations)) : CAPropertyValue());
}

void CAGradientLayer::setStartPoint(CGPoint point)
{
    if (std::isfinite(point.x) && std::isfinite(point.y))
        changeValue("startPoint", point);
}

void CAGradientLayer::setEndPoint(CGPoint point)
{
    if (std::isfinite(point.x) && std::isfinite(point.y))
        changeValue("endPoint", point);
}

const CALayerProperty* CAGradientLayer::propertyForKey(std::string_view key) const
{
    static constexpr CALayerProperty table[] = {
        { "colors", true, [](const CALayer& l) { return CAPropertyValue(static_cast<const CAGradientLayer&>(l).m_colors); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto& colors = static_cast<CAGradientLayer&>(l).m_colors;
                if (v.isNil()) {
                    colors.clear();
                    return true;
                }
                auto* given = v.get<CAPropertyValue::Colors>();
                return given && (colors = *given, true);
            } },
        { "locations", true,
            [](const CALayer& l) {
                auto& locations = static_cast<const CAGradientLayer&>(l).m_locations;
                return locations ? CAPropertyValue(*locations) : CAPropertyValue();
            },
            [](CALayer& l, const CAPropertyValue& v) {
                auto& locations = static_cast<CAGradientLayer&>(l).m_locations;
                if (v.isNil()) {
                    locations.reset();
                    return true;
                }
                auto* given = v.get<CAPropertyValue::Numbers>();
                return given && (locations = *given, true);
            } },
        { "startPoint", true, [](const CALayer& l) { return CAPropertyValue(static_cast<const CAGradientLayer&>(l).m_startPoint); },
            [](CALayer& l, const CAPropertyValue& v) { return storeUnitPoint(static_cast<CAGradientLayer&>(l).m_startPoint, v); } },
        { "endPoint", true, [](const CALayer& l) { return CAPropertyValue(static_cast<const CAGradientLayer&>(l).m_endPoint); },
            [](CALayer& l, const CAPropertyValue& v) { return storeUnitPoint(static_cast<CAGradientLayer&>(l).m_endPoint, v); } },
    };
    if (auto* property = CALayerProperties::find(table, key))
        return property;
    return CALayer::propertyForKey(key);
}

CALayerRef CAGradientLayer::copyForPresentation() const
{
    auto copy = objc::alloc<CAGradientLayer>();
    copy->copyLayerValuesFrom(*this);
    copy->m_colors = m_colors;
    copy->m_locations = m_locations;
    copy->m_startPoint = m_startPoint;
    copy->m_endPoint = m_endPoint;
    return copy;
}

