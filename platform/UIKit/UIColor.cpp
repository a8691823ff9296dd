#include "UIKit/UIColor.h"

#include "UIKit/UIImage.h"

#include <cmath>

UIColorRef UIColor::colorWithCGColor(CGColorRef color)
{
    return objc::alloc<UIColor>(std::move(color));
}

UIColorRef UIColor::colorWithRed(CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha)
{
    return colorWithCGColor(CGColorCreate(CGColorSpaceCreateDeviceRGB(), { red, green, blue, alpha }));
}

UIColorRef UIColor::colorWithWhite(CGFloat white, CGFloat alpha)
{
    return colorWithCGColor(CGColorCreate(CGColorSpaceCreateDeviceGray(), { white, alpha }));
}

UIColorRef UIColor::colorWithHue(CGFloat hue, CGFloat saturation, CGFloat brightness, CGFloat alpha)
{
    CGFloat h = hue - std::floor(hue);
    if (!std::isfinite(h))
        h = 0;
    CGFloat s = std::clamp<CGFloat>(saturation, 0, 1);
    CGFloat v = std::clamp<CGFloat>(brightness, 0, 1);
    CGFloat sector = h * 6;
    int index = static_cast<int>(std::floor(sector)) % 6;
    CGFloat f = sector - std::floor(sector);
    CGFloat p = v * (1 - s);
    CGFloat q = v * (1 - s * f);
    CGFloat t = v * (1 - s * (1 - f));
    CGFloat r = v, g = t, b = p;
    switch (index) {
    case 0: r = v; g = t; b = p; break;
    case 1: r = q; g = v; b = p; break;
    case 2: r = p; g = v; b = t; break;
    case 3: r = p; g = q; b = v; break;
    case 4: r = t; g = p; b = v; break;
    default: r = v; g = p; b = q; break;
    }
    return colorWithRed(r, g, b, alpha);
}

UIColorRef UIColor::colorWithPatternImage(const std::shared_ptr<UIImage>& image)
{
    if (!image)
        return nullptr;
    return colorWithCGColor(CGColorCreateWithPattern(image->CGImage(), 1, image->scale()));
}

UIColorRef UIColor::whiteColor() { return colorWithWhite(1, 1); }
UIColorRef UIColor::blackColor() { return colorWithWhite(0, 1); }
UIColorRef UIColor::clearColor() { return colorWithWhite(0, 0); }
UIColorRef UIColor::grayColor() { return colorWithWhite(0.5, 1); }
UIColorRef UIColor::lightGrayColor() { return colorWithWhite(2.0 / 3.0, 1); }
UIColorRef UIColor::darkGrayColor() { return colorWithWhite(1.0 / 3.0, 1); }
UIColorRef UIColor::redColor() { return colorWithRed(1, 0, 0, 1); }
UIColorRef UIColor::greenColor() { return colorWithRed(0, 1, 0, 1); }
UIColorRef UIColor::blueColor() { return colorWithRed(0, 0, 1, 1); }

UIColorRef UIColor::colorWithAlphaComponent(CGFloat alpha) const
{
    return colorWithCGColor(CGColorCreateCopyWithAlpha(m_color, alpha));
}
