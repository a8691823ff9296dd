#pragma once

#include "QuartzCore/CAPropertyValue.h"

#include <cmath>
#include <optional>
#include <span>
#include <string_view>

class CALayer;

// One key-value-coded property of a layer class, described once: its key, whether
// a change of it animates, how it reads, and how it stores a value without any
// action (false, storing nothing, for a value of the wrong kind or out of range).
// A class's table is consulted only for layers of that class or a subclass, so its
// functions may cast the layer to the class.
struct CALayerProperty {
    std::string_view key;
    bool animatable;
    CAPropertyValue (*read)(const CALayer&);
    bool (*store)(CALayer&, const CAPropertyValue&);
};

namespace CALayerProperties {

[[nodiscard]] inline const CALayerProperty* find(std::span<const CALayerProperty> table, std::string_view key)
{
    for (const auto& property : table) {
        if (property.key == key)
            return &property;
    }
    return nullptr;
}

// A number or boolean as a CGFloat; nullopt for any other kind and for NaN.
[[nodiscard]] inline std::optional<CGFloat> number(const CAPropertyValue& value)
{
    if (!value.get<double>() && !value.get<bool>())
        return std::nullopt;
    double number = value.doubleValue();
    if (std::isnan(number))
        return std::nullopt;
    return static_cast<CGFloat>(number);
}

[[nodiscard]] inline std::optional<CGFloat> finiteNumber(const CAPropertyValue& value)
{
    auto result = number(value);
    return result && std::isfinite(*result) ? result : std::nullopt;
}

// Colour, image and path properties take nil or their own kind.
template<class Ref>
bool storeObject(Ref& member, const CAPropertyValue& value)
{
    if (value.isNil()) {
        member = nullptr;
        return true;
    }
    if (auto* object = value.get<Ref>()) {
        member = *object;
        return true;
    }
    return false;
}

}
