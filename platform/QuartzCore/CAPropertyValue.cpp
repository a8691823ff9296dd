#include "QuartzCore/CAPropertyValue.h"

#include "QuartzCore/CAMediaTimingFunction.h"

#include <cmath>

namespace {

template<class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
// Clang 14 does not deduce aggregate bases by itself.
template<class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

CGFloat mix(CGFloat a, CGFloat b, double fraction)
{
    return static_cast<CGFloat>(a + (static_cast<double>(b) - a) * fraction);
}

CGPoint mix(CGPoint a, CGPoint b, double fraction) { return { mix(a.x, b.x, fraction), mix(a.y, b.y, fraction) }; }
CGSize mix(CGSize a, CGSize b, double fraction) { return { mix(a.width, b.width, fraction), mix(a.height, b.height, fraction) }; }

CGColorRef mix(const CGColorRef& a, const CGColorRef& b, double fraction)
{
    // nil is transparent black, as the compositor draws it.
    std::array<double, 4> from = a ? a->deviceRGBA() : std::array<double, 4> {};
    std::array<double, 4> to = b ? b->deviceRGBA() : std::array<double, 4> {};
    std::vector<CGFloat> components;
    for (size_t i = 0; i < 4; ++i)
        components.push_back(static_cast<CGFloat>(from[i] + (to[i] - from[i]) * fraction));
    return CGColorCreate(CGColorSpaceCreateDeviceRGB(), components);
}

bool isPattern(const CGColorRef& color) { return color && color->patternImage(); }

bool samePathShape(const CGPath& a, const CGPath& b)
{
    const auto& ea = a.elements();
    const auto& eb = b.elements();
    if (ea.size() != eb.size())
        return false;
    for (size_t i = 0; i < ea.size(); ++i) {
        if (ea[i].type != eb[i].type || ea[i].points.size() != eb[i].points.size())
            return false;
    }
    return true;
}

CGPathRef mix(const CGPath& a, const CGPath& b, double fraction)
{
    auto path = std::make_shared<CGPath>();
    for (size_t i = 0; i < a.elements().size(); ++i) {
        CGPathElement element = a.elements()[i];
        for (size_t p = 0; p < element.points.size(); ++p)
            element.points[p] = mix(element.points[p], b.elements()[i].points[p], fraction);
        path->append(std::move(element));
    }
    return path;
}

// Splits "size.width" into "size" and "width"; a name without a dot has an empty rest.
std::pair<std::string_view, std::string_view> splitFirst(std::string_view path)
{
    size_t dot = path.find('.');
    if (dot == std::string_view::npos)
        return { path, {} };
    return { path.substr(0, dot), path.substr(dot + 1) };
}

std::optional<CGFloat> number(const CAPropertyValue& value)
{
    if (auto* d = value.get<double>())
        return static_cast<CGFloat>(*d);
    return std::nullopt;
}

}

double CAPropertyValue::doubleValue() const
{
    if (auto* d = get<double>())
        return *d;
    if (auto* b = get<bool>())
        return *b ? 1 : 0;
    return 0;
}

bool CAPropertyValue::isEqual(const CAPropertyValue& other) const
{
    if (m_storage.index() != other.m_storage.index())
        return false;
    return std::visit(Overloaded {
                          [&](const CGColorRef& color) { return CGColorEqualToColor(color, *other.get<CGColorRef>()); },
                          [&](const Colors& colors) {
                              const auto& others = *other.get<Colors>();
                              if (colors.size() != others.size())
                                  return false;
                              for (size_t i = 0; i < colors.size(); ++i) {
                                  if (!CGColorEqualToColor(colors[i], others[i]))
                                      return false;
                              }
                              return true;
                          },
                          [&](const auto& value) { return value == *other.get<std::decay_t<decltype(value)>>(); },
                      },
        m_storage);
}

std::optional<CAPropertyValue> CAPropertyValue::valueForField(std::string_view path) const
{
    if (path.empty())
        return *this;
    auto [field, rest] = splitFirst(path);
    if (auto* point = get<CGPoint>()) {
        if (rest.empty() && (field == "x" || field == "y"))
            return CAPropertyValue(field == "x" ? point->x : point->y);
    } else if (auto* size = get<CGSize>()) {
        if (rest.empty() && (field == "width" || field == "height"))
            return CAPropertyValue(field == "width" ? size->width : size->height);
    } else if (auto* rect = get<CGRect>()) {
        if (field == "origin")
            return CAPropertyValue(rect->origin).valueForField(rest);
        if (field == "size")
            return CAPropertyValue(rect->size).valueForField(rest);
    } else if (auto* transform = get<CATransform3D>()) {
        if (path == "translation") {
            return CAPropertyValue(CGSizeMake(*CATransform3DGetComponent(*transform, "translation.x"),
                *CATransform3DGetComponent(*transform, "translation.y")));
        }
        if (auto component = CATransform3DGetComponent(*transform, path))
            return CAPropertyValue(*component);
    }
    return std::nullopt;
}

std::optional<CAPropertyValue> CAPropertyValue::settingField(std::string_view path, const CAPropertyValue& value) const
{
    if (path.empty())
        return value;
    auto [field, rest] = splitFirst(path);
    if (auto* point = get<CGPoint>()) {
        auto n = number(value);
        if (!rest.empty() || !n || (field != "x" && field != "y"))
            return std::nullopt;
        CGPoint result = *point;
        (field == "x" ? result.x : result.y) = *n;
        return CAPropertyValue(result);
    }
    if (auto* size = get<CGSize>()) {
        auto n = number(value);
        if (!rest.empty() || !n || (field != "width" && field != "height"))
            return std::nullopt;
        CGSize result = *size;
        (field == "width" ? result.width : result.height) = *n;
        return CAPropertyValue(result);
    }
    if (auto* rect = get<CGRect>()) {
        CGRect result = *rect;
        if (field == "origin") {
            auto origin = CAPropertyValue(rect->origin).settingField(rest, value);
            if (!origin || !origin->get<CGPoint>())
                return std::nullopt;
            result.origin = *origin->get<CGPoint>();
            return CAPropertyValue(result);
        }
        if (field == "size") {
            auto size = CAPropertyValue(rect->size).settingField(rest, value);
            if (!size || !size->get<CGSize>())
                return std::nullopt;
            result.size = *size->get<CGSize>();
            return CAPropertyValue(result);
        }
        return std::nullopt;
    }
    if (auto* transform = get<CATransform3D>()) {
        CATransform3D result = *transform;
        if (path == "translation") {
            auto* size = value.get<CGSize>();
            if (!size)
                return std::nullopt;
            result.m41 = size->width;
            result.m42 = size->height;
            return CAPropertyValue(result);
        }
        auto n = number(value);
        if (!n || !CATransform3DSetComponent(result, path, *n))
            return std::nullopt;
        return CAPropertyValue(result);
    }
    return std::nullopt;
}

bool CAPropertyValueCanInterpolate(const CAPropertyValue& from, const CAPropertyValue& to)
{
    // nil colours mix as transparent black.
    bool fromColor = from.isNil() || from.get<CGColorRef>();
    bool toColor = to.isNil() || to.get<CGColorRef>();
    if (fromColor && toColor && !(from.isNil() && to.isNil()))
        return !isPattern(from.get<CGColorRef>() ? *from.get<CGColorRef>() : nullptr)
            && !isPattern(to.get<CGColorRef>() ? *to.get<CGColorRef>() : nullptr);
    if (from.storage().index() != to.storage().index())
        return false;
    if (from.get<double>() || from.get<CGPoint>() || from.get<CGSize>() || from.get<CGRect>() || from.get<CATransform3D>())
        return true;
    if (auto* colors = from.get<CAPropertyValue::Colors>()) {
        const auto& others = *to.get<CAPropertyValue::Colors>();
        if (colors->size() != others.size())
            return false;
        for (size_t i = 0; i < colors->size(); ++i) {
            if (isPattern((*colors)[i]) || isPattern(others[i]))
                return false;
        }
        return true;
    }
    if (auto* numbers = from.get<CAPropertyValue::Numbers>())
        return numbers->size() == to.get<CAPropertyValue::Numbers>()->size();
    if (auto* path = from.get<CGPathRef>())
        return samePathShape(**path, **to.get<CGPathRef>());
    return false;
}

CAPropertyValue CAPropertyValueInterpolate(const CAPropertyValue& from, const CAPropertyValue& to, double fraction)
{
    if (!std::isfinite(fraction))
        fraction = 1;
    if (!CAPropertyValueCanInterpolate(from, to))
        return fraction < 0.5 ? from : to;
    if (from.isNil() || to.isNil() || from.get<CGColorRef>()) {
        auto color = [](const CAPropertyValue& value) { return value.get<CGColorRef>() ? *value.get<CGColorRef>() : CGColorRef(); };
        return CAPropertyValue(mix(color(from), color(to), fraction));
    }
    if (auto* d = from.get<double>())
        return CAPropertyValue(*d + (*to.get<double>() - *d) * fraction);
    if (auto* p = from.get<CGPoint>())
        return CAPropertyValue(mix(*p, *to.get<CGPoint>(), fraction));
    if (auto* s = from.get<CGSize>())
        return CAPropertyValue(mix(*s, *to.get<CGSize>(), fraction));
    if (auto* r = from.get<CGRect>()) {
        const CGRect& b = *to.get<CGRect>();
        return CAPropertyValue(CGRect { mix(r->origin, b.origin, fraction), mix(r->size, b.size, fraction) });
    }
    if (auto* t = from.get<CATransform3D>())
        return CAPropertyValue(CATransform3DInterpolate(*t, *to.get<CATransform3D>(), fraction));
    if (auto* colors = from.get<CAPropertyValue::Colors>()) {
        CAPropertyValue::Colors mixed;
        for (size_t i = 0; i < colors->size(); ++i)
            mixed.push_back(mix((*colors)[i], (*to.get<CAPropertyValue::Colors>())[i], fraction));
        return CAPropertyValue(std::move(mixed));
    }
    if (auto* numbers = from.get<CAPropertyValue::Numbers>()) {
        CAPropertyValue::Numbers mixed;
        for (size_t i = 0; i < numbers->size(); ++i)
            mixed.push_back(mix((*numbers)[i], (*to.get<CAPropertyValue::Numbers>())[i], fraction));
        return CAPropertyValue(std::move(mixed));
    }
    if (auto* path = from.get<CGPathRef>())
        return CAPropertyValue(mix(**path, **to.get<CGPathRef>(), fraction));
    return fraction < 0.5 ? from : to;
}
