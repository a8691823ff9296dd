#pragma once

#include "CoreGraphics/CGPath.h"
#include "UIKit/UIImage.h"
#include "support/GraphicsTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

namespace RoundRectTestSupport {

// A path as its elements' letters (M L Q C Z) and end points, to a thousandth:
// "M1,18 L1,8 C8,1 … Z".
inline std::string describe(const CGPathRef& path)
{
    std::ostringstream text;
    auto number = [](CGFloat value) {
        double rounded = std::round(static_cast<double>(value) * 1000) / 1000;
        return rounded == 0 ? 0.0 : rounded;
    };
    bool first = true;
    for (auto& element : path->elements()) {
        text << (first ? "" : " ") << "MLQCZ"[element.type];
        first = false;
        if (!element.points.empty())
            text << number(element.points.back().x) << "," << number(element.points.back().y);
    }
    return text.str();
}

// The pixel at a point of a rendering made at the given scale.
inline TestSupport::Pixel pixelAtPoint(const UIImage& image, CGFloat x, CGFloat y)
{
    CGFloat scale = image.scale();
    return TestSupport::pixelAt(*image.CGImage(), static_cast<size_t>(x * scale), static_cast<size_t>(y * scale));
}

// How many different pixels the rectangle (in points) holds.
inline size_t distinctPixels(const UIImage& image, CGRect rect)
{
    std::set<std::tuple<int, int, int, int>> seen;
    CGFloat scale = image.scale();
    for (auto y = static_cast<size_t>(CGRectGetMinY(rect) * scale); y < static_cast<size_t>(CGRectGetMaxY(rect) * scale); ++y) {
        for (auto x = static_cast<size_t>(CGRectGetMinX(rect) * scale); x < static_cast<size_t>(CGRectGetMaxX(rect) * scale); ++x) {
            auto p = TestSupport::pixelAt(*image.CGImage(), x, y);
            seen.insert({ p.red, p.green, p.blue, p.alpha });
        }
    }
    return seen.size();
}

}
