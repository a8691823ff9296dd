#include "UIKit/UIColor.h"

#include <gtest/gtest.h>
#include <limits>

TEST(UIColorHue, PrimariesAndSecondariesAroundTheCircle)
{
    struct Case {
        const char* label;
        CGFloat hue, saturation, brightness;
        std::vector<double> rgba;
    };
    const Case cases[] = {
        { "red", 0, 1, 1, { 1, 0, 0, 1 } },
        { "yellow", 1.0f / 6, 1, 1, { 1, 1, 0, 1 } },
        { "green", 2.0f / 6, 1, 1, { 0, 1, 0, 1 } },
        { "cyan", 3.0f / 6, 1, 1, { 0, 1, 1, 1 } },
        { "blue", 4.0f / 6, 1, 1, { 0, 0, 1, 1 } },
        { "magenta", 5.0f / 6, 1, 1, { 1, 0, 1, 1 } },
        { "a full turn is red again", 1, 1, 1, { 1, 0, 0, 1 } },
        { "negative hue wraps backwards", -1.0f / 6, 1, 1, { 1, 0, 1, 1 } },
        { "orange", 1.0f / 12, 1, 1, { 1, 0.5, 0, 1 } },
        { "infinite hue falls back to red", std::numeric_limits<CGFloat>::infinity(), 1, 1, { 1, 0, 0, 1 } },
        { "no saturation is grey", 0.3f, 0, 0.5f, { 0.5, 0.5, 0.5, 1 } },
        { "half saturation, half brightness", 2.0f / 6, 0.5f, 0.5f, { 0.25, 0.5, 0.25, 1 } },
        { "out of range is clamped", 0, 2, 3, { 1, 0, 0, 1 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto color = UIColor::colorWithHue(c.hue, c.saturation, c.brightness, 1);
        EXPECT_EQ(CGColorSpaceGetModel(CGColorGetColorSpace(color->CGColor())), kCGColorSpaceModelRGB);
        const auto& components = color->CGColor()->components();
        ASSERT_EQ(components.size(), 4u);
        for (size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(components[i], c.rgba[i], 1e-5) << "component " << i;
    }
}
