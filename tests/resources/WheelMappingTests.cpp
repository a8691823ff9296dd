#include "WheelMapping.h"

#include "PictureTestSupport.h"
#include "UIKit/UIColor.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

using namespace Pictures;

TEST(WheelMapping, PointsOnThe240PointWheel)
{
    const float diagonal = 60 * std::cos(std::numbers::pi_v<float> / 4);
    struct Case {
        const char* label;
        float x, y;
        float hue, saturation;
    };
    const Case cases[] = {
        { "right rim", 240, 120, 0, 1 },
        { "top rim", 120, 0, 0.25f, 1 },
        { "left rim", 0, 120, 0.5f, 1 },
        { "bottom rim", 120, 240, 0.75f, 1 },
        { "halfway right", 180, 120, 0, 0.5f },
        { "halfway left", 60, 120, 0.5f, 0.5f },
        { "up and right at 45 degrees", 120 + diagonal, 120 - diagonal, 0.125f, 0.5f },
        { "down and left at 45 degrees", 120 - diagonal, 120 + diagonal, 0.625f, 0.5f },
        { "inside the white centre", 125, 120, 0, 0 },
        { "just inside the white centre, below", 120, 129.9f, 0.75f, 0 },
        { "on the edge of the white centre, below", 120, 130, 0.75f, 10.0f / 120 },
        { "the centre", 120, 120, 0, 0 },
        { "beyond the rim during a drag", 300, 120, 0, 1 },
        { "far beyond, up and left", -500, -500, 0.375f, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        HueSaturation hs = wheelColorAt(c.x, c.y, 240);
        EXPECT_NEAR(hs.hue, c.hue, 1e-5);
        EXPECT_NEAR(hs.saturation, c.saturation, 1e-5);
    }
}

// Whatever the wheel's size, the white centre stays 10 points across the radius.
TEST(WheelMapping, WhiteCentreDoesNotScaleWithTheWheel)
{
    EXPECT_EQ(wheelColorAt(249, 240, 480).saturation, 0);
    EXPECT_NEAR(wheelColorAt(250, 240, 480).saturation, 10.0 / 240, 1e-6);
    EXPECT_NEAR(wheelColorAt(480, 240, 480).saturation, 1, 1e-6);
}

// Walking a circle counter-clockwise on screen (y grows downwards) turns the hue
// with the angle, and saturation stays the radius over the wheel's.
TEST(WheelMapping, HueFollowsTheAngleCounterClockwise)
{
    for (int degrees = 0; degrees < 360; ++degrees) {
        SCOPED_TRACE(degrees);
        const double angle = degrees * std::numbers::pi / 180;
        const float x = static_cast<float>(120 + 90 * std::cos(angle));
        const float y = static_cast<float>(120 - 90 * std::sin(angle));
        HueSaturation hs = wheelColorAt(x, y, 240);
        EXPECT_GE(hs.hue, 0);
        EXPECT_LT(hs.hue, 1);
        EXPECT_LT(PictureTestSupport::hueDistance(hs.hue, degrees / 360.0), 1e-5);
        EXPECT_NEAR(hs.saturation, 0.75, 1e-5);
    }
}

// The picture program has its own copy of the platform's conversion; the two must not drift.
TEST(WheelMapping, ColorFromHSBAgreesWithUIColor)
{
    const float hues[] = { -0.3f, 0, 0.01f, 1.0f / 6, 0.25f, 0.4999f, 0.5f, 2.0f / 3, 0.8f, 0.9999f, 1, 1.7f };
    const float levels[] = { -0.5f, 0, 0.3f, 0.5f, 1, 1.5f };
    for (float hue : hues) {
        for (float saturation : levels) {
            for (float brightness : levels) {
                SCOPED_TRACE(testing::Message() << "h " << hue << " s " << saturation << " v " << brightness);
                RGBColor ours = colorFromHSB(hue, saturation, brightness);
                const UIColorRef color = UIColor::colorWithHue(hue, saturation, brightness, 1);
                const auto& platform = color->CGColor()->components();
                ASSERT_EQ(platform.size(), 4u);
                EXPECT_NEAR(ours.red, platform[0], 1e-5);
                EXPECT_NEAR(ours.green, platform[1], 1e-5);
                EXPECT_NEAR(ours.blue, platform[2], 1e-5);
            }
        }
    }
}
