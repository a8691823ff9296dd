#pragma once

// How a point on the hue–saturation wheel reads as a colour. The wheel control picks by
// it and the picture program draws the wheel from it, so the colour under a finger is the
// colour the wheel picks. Header only and free of UIKit, so that the picture program can
// use it without the application's libraries.

#include <algorithm>
#include <cmath>
#include <numbers>

namespace KZWheelMapping {

struct HueSaturation {
    float hue;
    float saturation;
};

// Nearer the centre than this the wheel picks white: the hue swings too fast there to aim at.
inline constexpr float deadZoneRadius = 10;

// (x, y) in points, in the coordinates the centre is given in. Hue 0 lies to the right of
// the centre and grows counter-clockwise on screen; saturation is the distance from the
// centre over the radius, 1 on the rim and beyond. The centre itself is hue 0.
[[nodiscard]] inline HueSaturation hueSaturationAt(float x, float y, float centreX, float centreY, float radius)
{
    const float dx = std::fabs(x - centreX);
    const float dy = std::fabs(y - centreY);
    // A single-precision quotient: straight above or below gives +inf and so a right
    // angle; the centre gives 0/0, read as hue 0.
    double angle = std::atan(dy / dx);
    if (std::isnan(angle))
        angle = 0;
    const float distance = std::sqrt(dx * dx + dy * dy);
    float saturation = radius > 0 ? std::min(distance / radius, 1.0f) : 1.0f;
    if (distance < deadZoneRadius)
        saturation = 0;
    if (x < centreX)
        angle = std::numbers::pi - angle;
    if (y > centreY)
        angle = 2 * std::numbers::pi - angle;
    return { static_cast<float>(angle / (2 * std::numbers::pi)), saturation };
}

}
