#include "ColorTestSupport.h"
#include "KZColorPicker/ColorPicker/HSV.h"
#include "KZColorPicker/ColorPicker/KZColorPicker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ColorTestSupport;

TEST(HSV, PrimariesSecondariesGreysAndTies)
{
    struct { RGBType rgb; HSVType hsv; } cases[] = {
        // Green and blue share the minimum: the green branch wins and red comes out as a full turn.
        { { 1, 0, 0 }, { 1.0f, 1, 1 } }, { { 1, 1, 0 }, { 1.0f / 6, 1, 1 } }, { { 0, 1, 0 }, { 1.0f / 3, 1, 1 } },
        { { 0, 1, 1 }, { 0.5f, 1, 1 } }, { { 0, 0, 1 }, { 2.0f / 3, 1, 1 } }, { { 1, 0, 1 }, { 5.0f / 6, 1, 1 } },
        { { 1, 0.5f, 0 }, { 1.0f / 12, 1, 1 } }, { { 0.2f, 0.4f, 0.6f }, { 3.5f / 6, 0.4f / 0.6f, 0.6f } },
        { { 0.5f, 0.5f, 0.5f }, { 0, 0, 0.5f } }, { { 0, 0, 0 }, { 0, 0, 0 } }, { { 1, 1, 1 }, { 0, 0, 1 } },
        // Not clamped.
        { { 2, 0, 0 }, { 1.0f, 1, 2 } }, { { 0.5f, 0.5f, 3 }, { 2.0f / 3, 2.5f / 3, 3 } },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(testing::Message() << entry.rgb.r << ", " << entry.rgb.g << ", " << entry.rgb.b);
        HSVType hsv = RGB_to_HSV(RGBTypeMake(entry.rgb.r, entry.rgb.g, entry.rgb.b));
        EXPECT_FLOAT_EQ(hsv.h, entry.hsv.h);
        EXPECT_FLOAT_EQ(hsv.s, entry.hsv.s);
        EXPECT_FLOAT_EQ(hsv.v, entry.hsv.v);
    }
}

TEST(HSV, PlatformHueFactoryTakesHueModuloOneTurn)
{
    EXPECT_TRUE(isRGB(UIColor::colorWithHue(1, 1, 1, 1), { 1, 0, 0, 1 }));
    EXPECT_TRUE(isRGB(UIColor::colorWithHue(-1.0f / 3, 1, 1, 0.5f), { 0, 0, 1, 0.5f }));
    EXPECT_TRUE(isRGB(UIColor::colorWithHue(0.3f, 0, 0.25f, 1), { 0.25f, 0.25f, 0.25f, 1 }));
}

// The way back from HSV is the platform factory; every hue must survive the trip.
TEST(HSV, HueSaturationAndBrightnessSurviveTheRoundTripThroughTheFactory)
{
    constexpr int steps = 720;
    constexpr float tolerance = 4 * std::numeric_limits<float>::epsilon();
    for (float saturation : { 0.25f, 0.5f, 1.0f }) {
        for (float brightness : { 0.25f, 0.75f, 1.0f }) {
            for (int step = 0; step <= steps; ++step) {
                float hue = static_cast<float>(step) / steps;
                SCOPED_TRACE(testing::Message() << "h " << hue << " s " << saturation << " v " << brightness);
                HSVType hsv = RGB_to_HSV(rgbWithUIColor(UIColor::colorWithHue(hue, saturation, brightness, 1)));
                EXPECT_LE(std::abs(hsv.h - hue - std::round(hsv.h - hue)), tolerance);
                EXPECT_TRUE(hsv.h >= 0 && hsv.h <= 1);
                EXPECT_NEAR(hsv.s, saturation, tolerance);
                EXPECT_NEAR(hsv.v, brightness, tolerance);
            }
        }
    }
}

TEST(KZColorPicker, RGBOfAColourReadsOnlyRGBAndMonochrome)
{
    struct { const char* name; UIColorRef color; RGBType rgb; } cases[] = {
        { "white", UIColor::whiteColor(), { 1, 1, 1 } },
        { "grey", UIColor::colorWithWhite(0.25f, 0.5f), { 0.25f, 0.25f, 0.25f } },
        { "half-transparent RGB", UIColor::colorWithRed(0.2f, 0.4f, 0.6f, 0.5f), { 0.2f, 0.4f, 0.6f } },
        { "out of range", UIColor::colorWithRed(-1, 2, 0.5f, 1), { -1, 2, 0.5f } },
        { "pattern", patternColor(), { 0, 0, 0 } },
        { "CMYK", cmykColor(), { 0, 0, 0 } },
        { "Lab", labColor(), { 0, 0, 0 } },
        { "nil", nullptr, { 0, 0, 0 } },
        // Fewer components than the space names read as black, not past their end.
        { "RGB with one component", colorIn(CGColorSpaceCreateDeviceRGB(), { 0.7f }), { 0, 0, 0 } },
        { "Monochrome without components", colorIn(CGColorSpaceCreateDeviceGray(), {}), { 0, 0, 0 } },
    };
    for (auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        RGBType rgb = rgbWithUIColor(entry.color);
        EXPECT_EQ(rgb.r, entry.rgb.r);
        EXPECT_EQ(rgb.g, entry.rgb.g);
        EXPECT_EQ(rgb.b, entry.rgb.b);
    }
}
