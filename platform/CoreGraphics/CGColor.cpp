#include "CoreGraphics/CGColor.h"

#include <algorithm>
#include <cmath>

namespace {

// NaN (from a settings file, say) would reach Cairo unclamped: it counts as 0.
double clampUnit(double value)
{
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

}

std::array<double, 4> CGColor::deviceRGBA() const
{
    auto component = [this](size_t index) { return index < m_components.size() ? static_cast<double>(m_components[index]) : 0.0; };
    double a = clampUnit(alpha());
    switch (CGColorSpaceGetModel(m_space)) {
    case kCGColorSpaceModelMonochrome:
        return { clampUnit(component(0)), clampUnit(component(0)), clampUnit(component(0)), a };
    case kCGColorSpaceModelRGB:
        return { clampUnit(component(0)), clampUnit(component(1)), clampUnit(component(2)), a };
    case kCGColorSpaceModelCMYK: {
        double black = 1 - clampUnit(component(3));
        return { (1 - clampUnit(component(0))) * black, (1 - clampUnit(component(1))) * black, (1 - clampUnit(component(2))) * black, a };
    }
    case kCGColorSpaceModelLab: {
        // Lightness only: enough to show something sensible for a colour nothing here draws.
        double lightness = std::clamp(component(0) / 100.0, 0.0, 1.0);
        return { lightness, lightness, lightness, a };
    }
    default:
        return { 0, 0, 0, a };
    }
}

CGColorRef CGColorCreate(const CGColorSpaceRef& space, const std::vector<CGFloat>& components)
{
    if (!space || space->model() == kCGColorSpaceModelPattern || components.size() != space->numberOfComponents() + 1)
        return nullptr;
    return std::make_shared<const CGColor>(space, components);
}

CGColorRef CGColorCreateWithPattern(const CGImageRef& image, CGFloat alpha, CGFloat pixelsPerPoint)
{
    if (!image)
        return nullptr;
    return std::make_shared<const CGColor>(CGColorSpaceCreatePattern(nullptr), std::vector<CGFloat> { alpha }, image, pixelsPerPoint);
}

const CGFloat* CGColorGetComponents(const CGColorRef& color)
{
    return color ? color->components().data() : nullptr;
}

size_t CGColorGetNumberOfComponents(const CGColorRef& color)
{
    return color ? color->components().size() : 0;
}

CGFloat CGColorGetAlpha(const CGColorRef& color)
{
    return color ? color->alpha() : 0;
}

CGColorSpaceRef CGColorGetColorSpace(const CGColorRef& color)
{
    return color ? color->colorSpace() : nullptr;
}

CGColorRef CGColorCreateCopyWithAlpha(const CGColorRef& color, CGFloat alpha)
{
    if (!color)
        return nullptr;
    auto components = color->components();
    if (components.empty())
        components.push_back(alpha);
    else
        components.back() = alpha;
    return std::make_shared<const CGColor>(color->colorSpace(), std::move(components), color->patternImage(), color->patternScale());
}

bool CGColorEqualToColor(const CGColorRef& a, const CGColorRef& b)
{
    if (!a || !b)
        return a == b;
    return CGColorSpaceGetModel(a->colorSpace()) == CGColorSpaceGetModel(b->colorSpace()) && a->components() == b->components()
        && a->patternImage() == b->patternImage();
}
