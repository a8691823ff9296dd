#include "KZColorPicker/ColorPicker/HSV.h"

namespace {

float smaller(float a, float b)
{
    return a < b ? a : b;
}

float larger(float a, float b)
{
    return a > b ? a : b;
}

}

RGBType RGBTypeMake(float r, float g, float b)
{
    return { r, g, b };
}

HSVType HSVTypeMake(float h, float s, float v)
{
    return { h, s, v };
}

HSVType RGB_to_HSV(RGBType rgb)
{
    float x = smaller(smaller(rgb.r, rgb.g), rgb.b);
    float v = larger(larger(rgb.r, rgb.g), rgb.b);
    if (v == x)
        return { 0, 0, v };
    // The sector is picked by the minimum component; f is the distance from its far edge.
    float f;
    int i;
    if (rgb.r == x) {
        f = rgb.g - rgb.b;
        i = 3;
    } else if (rgb.g == x) {
        f = rgb.b - rgb.r;
        i = 5;
    } else {
        f = rgb.r - rgb.g;
        i = 1;
    }
    return { (static_cast<float>(i) - f / (v - x)) / 6.0f, (v - x) / v, v };
}
