#pragma once

// How a point on the colour wheel reads as a colour. The wheel picture is drawn
// from this, so that the colour under a finger is the colour the wheel picks.

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Pictures {

struct HueSaturation {
    float hue;
    float saturation;
};

struct RGBColor {
    float red;
    float green;
    float blue;
};

// Nearer the centre than this the wheel picks white: the hue swings too fast there to aim at.
inline constexpr float wheelDeadZoneRadius = 10;

// (x, y) in points from the top-left corner of a side × side wheel. Hue 0 lies to the
// right of the centre and grows counter-clockwise on screen; saturation is the distance
// from the centre over the radius, 1 on the rim and beyond. The centre itself is hue 0.
[[nodiscard]] inline HueSaturation wheelColorAt(float x, float y, float side)
{
    const float centre = side / 2;
    const float radius = side / 2;
    const float dx = std::fabs(x - centre);
    const float dy = std::fabs(y - centre);
    // The single-precision quotient is what the control divides: straight above or
    // below gives +inf and so a right angle, the centre 0/0.
    double angle = std::atan(dy / dx);
    if (std::isnan(angle))
        angle = 0;
    const float distance = std::sqrt(dx * dx + dy * dy);
    float saturation = radius > 0 ? std::min(distance / radius, 1.0f) : 1.0f;
    if (distance < wheelDeadZoneRadius)
        saturation = 0;
    if (x < centre)
        angle = std::numbers::pi - angle;
    if (y > centre)
        angle = 2 * std::numbers::pi - angle;
    return { static_cast<float>(angle / (2 * std::numbers::pi)), saturation };
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
