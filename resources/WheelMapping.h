#pragma once

// What the picture program draws the colour wheel with: the control's own mapping on a
// square picture, and the platform's colour conversion.

#include "KZColorPicker/ColorPicker/KZWheelMapping.h"

#include <algorithm>
#include <cmath>

namespace Pictures {

using HueSaturation = KZWheelMapping::HueSaturation;

struct RGBColor {
    float red;
    float green;
    float blue;
};

inline constexpr float wheelDeadZoneRadius = KZWheelMapping::deadZoneRadius;

// (x, y) in points from the top-left corner of a side × side wheel.
[[nodiscard]] inline HueSaturation wheelColorAt(float x, float y, float side)
{
    const float centre = side / 2;
    return KZWheelMapping::hueSaturationAt(x, y, centre, centre, centre);
}

// The platform's hue–saturation–brightness colour: hue taken modulo 1, the others clamped
// to 0..1. Kept here so the picture program needs no UIKit; a test holds it to UIColor.
[[nodiscard]] inline RGBColor colorFromHSB(float hue, float saturation, float brightness)
{
    float h = hue - std::floor(hue);
    if (!std::isfinite(h))
        h = 0;
    const float s = std::clamp(saturation, 0.0f, 1.0f);
    const float v = std::clamp(brightness, 0.0f, 1.0f);
    const float sector = h * 6;
    const float f = sector - std::floor(sector);
    const float p = v * (1 - s);
    const float q = v * (1 - s * f);
    const float t = v * (1 - s * (1 - f));
    switch (static_cast<int>(std::floor(sector)) % 6) {
    case 0: return { v, t, p };
    case 1: return { q, v, p };
    case 2: return { p, v, t };
    case 3: return { p, q, v };
    case 4: return { t, p, v };
    default: return { v, p, q };
    }
}

}
