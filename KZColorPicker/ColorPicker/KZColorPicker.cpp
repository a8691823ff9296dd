#include "KZColorPicker/ColorPicker/KZColorPicker.h"

RGBType rgbWithUIColor(const UIColorRef& color)
{
    CGColorRef cgColor = color ? color->CGColor() : nullptr;
    const CGFloat* components = CGColorGetComponents(cgColor);
    size_t count = CGColorGetNumberOfComponents(cgColor);
    // A colour built with fewer components than its space has reads as black rather than past its end.
    switch (CGColorSpaceGetModel(CGColorGetColorSpace(cgColor))) {
    case kCGColorSpaceModelRGB:
        if (count >= 3)
            return RGBTypeMake(static_cast<float>(components[0]), static_cast<float>(components[1]), static_cast<float>(components[2]));
        break;
    case kCGColorSpaceModelMonochrome:
        if (count >= 1)
            return RGBTypeMake(static_cast<float>(components[0]), static_cast<float>(components[0]), static_cast<float>(components[0]));
        break;
    default:
        break;
    }
    return RGBTypeMake(0, 0, 0);
}
