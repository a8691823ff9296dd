#include "QuartzCore/CAGradientLayer.h"

#include "CoreGraphics/cairo/CairoContext.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"

#include <algorithm>
#include <cmath>

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

bool CAGradientLayer::isAnimatableKey(std::string_view key) const
{
    return key == "colors" || key == "locations" || key == "startPoint" || key == "endPoint" || CALayer::isAnimatableKey(key);
}

std::optional<CAPropertyValue> CAGradientLayer::modelValueForKey(std::string_view key) const
{
    if (key == "colors")
        return CAPropertyValue(m_colors);
    if (key == "locations")
        return m_locations ? CAPropertyValue(*m_locations) : CAPropertyValue();
    if (key == "startPoint")
        return CAPropertyValue(m_startPoint);
    if (key == "endPoint")
        return CAPropertyValue(m_endPoint);
    return CALayer::modelValueForKey(key);
}

bool CAGradientLayer::storeValueForKey(std::string_view key, const CAPropertyValue& value)
{
    if (key == "colors") {
        if (value.isNil()) {
            m_colors.clear();
            return true;
        }
        auto* colors = value.get<CAPropertyValue::Colors>();
        if (!colors)
            return false;
        m_colors = *colors;
        return true;
    }
    if (key == "locations") {
        if (value.isNil()) {
            m_locations.reset();
            return true;
        }
        auto* numbers = value.get<CAPropertyValue::Numbers>();
        if (!numbers)
            return false;
        m_locations = *numbers;
        return true;
    }
    if (key == "startPoint" || key == "endPoint") {
        auto* point = value.get<CGPoint>();
        if (!point || !std::isfinite(point->x) || !std::isfinite(point->y))
            return false;
        (key == "startPoint" ? m_startPoint : m_endPoint) = *point;
        return true;
    }
    return CALayer::storeValueForKey(key, value);
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

void CAGradientLayer::renderContents(const CGContextRef& context) const
{
    CALayer::renderContents(context);
    cairo_t* cr = CGContextGetCairo(context);
    if (!cr || m_colors.empty())
        return;
    CGRect bounds = CGRectStandardize(this->bounds());
    double radius = CairoLayerDrawing::effectiveCornerRadius(cornerRadius(), bounds);
    auto at = [&bounds](CGPoint unit) {
        return std::pair<double, double> { bounds.origin.x + static_cast<double>(unit.x) * bounds.size.width,
            bounds.origin.y + static_cast<double>(unit.y) * bounds.size.height };
    };
    auto [x0, y0] = at(m_startPoint);
    auto [x1, y1] = at(m_endPoint);
    if (x0 == x1 && y0 == y1) {
        // No axis to run along: the last colour covers everything, as past the end point.
        CairoLayerDrawing::addRoundedRect(cr, bounds, radius);
        CairoLayerDrawing::fillPath(cr, m_colors.back(), bounds.origin);
        return;
    }
    bool useLocations = m_locations && m_locations->size() == m_colors.size()
        && std::none_of(m_locations->begin(), m_locations->end(), [](CGFloat location) { return std::isnan(location); });
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, y0, x1, y1);
    size_t count = m_colors.size();
    for (size_t i = 0; i < count; ++i) {
        double offset = useLocations ? std::clamp(static_cast<double>((*m_locations)[i]), 0.0, 1.0)
            : count == 1                 ? 0.0
                                         : static_cast<double>(i) / static_cast<double>(count - 1);
        auto rgba = m_colors[i] ? m_colors[i]->deviceRGBA() : std::array<double, 4> {};
        cairo_pattern_add_color_stop_rgba(gradient, offset, rgba[0], rgba[1], rgba[2], rgba[3]);
    }
    cairo_pattern_set_extend(gradient, CAIRO_EXTEND_PAD);
    cairo_save(cr);
    CairoLayerDrawing::addRoundedRect(cr, bounds, radius);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(gradient);
}
