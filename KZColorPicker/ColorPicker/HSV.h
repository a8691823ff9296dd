#pragma once

// The picker's colour values. Hue is a fraction of a full turn (0 and 1 are
// both red), the unit UIColor::colorWithHue takes, which is the only way back
// from HSV to a colour.

struct RGBType {
    float r;
    float g;
    float b;
};

struct HSVType {
    float h;
    float s;
    float v;
};

[[nodiscard]] RGBType RGBTypeMake(float r, float g, float b);
[[nodiscard]] HSVType HSVTypeMake(float h, float s, float v);

// In single precision. A grey has hue 0 and saturation 0. Where two components
// share the minimum the lower one in the order red, green wins, so pure red
// comes out with hue 1, not 0. Inputs are not clamped.
[[nodiscard]] HSVType RGB_to_HSV(RGBType);
