#include "PictureTestSupport.h"
#include "WheelMapping.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <sstream>

using namespace PictureTestSupport;
using TestSupport::pixelAt;

namespace {

constexpr double side = 240, radius = 120;
constexpr int scales[] = { 1, 2 };

CGImageRef wheelAtScale(int scale)
{
    CGImageRef image = loadPicture(fileAtScale("pickerColorWheel", scale));
    if (image && (image->width() != side * scale || image->height() != side * scale))
        return nullptr;
    return image;
}

// The colour a point should show, worked out afresh from the wheel's description:
// hue the angle counter-clockwise from 3 o'clock with y pointing down, saturation
// the distance over the radius, white within 10 points of the centre.
HueSaturation describedColorAt(double x, double y)
{
    const double distance = std::hypot(x - radius, y - radius);
    const double turn = std::atan2(radius - y, x - radius) / (2 * std::numbers::pi);
    return { turn < 0 ? turn + 1 : turn, distance < 10 ? 0 : std::min(distance / radius, 1.0) };
}

}

// Every pixel whose area lies clear of the rim and of the white centre's edge shows the
// colour its centre maps to, by the shared mapping and by the described one. Hue is only
// compared where saturation is high enough for 8-bit pixels to carry it.
TEST(WheelPicture, PixelsShowTheColourTheirPointMapsTo)
{
    constexpr double saturationTolerance = 0.01, hueTolerance = 0.005, hueFromSaturation = 0.25;
    for (int scale : scales) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        CGImageRef image = wheelAtScale(scale);
        ASSERT_TRUE(image);
        const double margin = 2.0 / scale;
        int compared = 0, mismatches = 0;
        std::ostringstream first;
        for (size_t row = 0; row < image->height(); row += 3) {
            for (size_t column = 0; column < image->width(); column += 3) {
                const double x = (column + 0.5) / scale, y = (row + 0.5) / scale;
                const double distance = std::hypot(x - radius, y - radius);
                if (distance > radius - margin || std::abs(distance - Pictures::wheelDeadZoneRadius) < margin)
                    continue;
                ++compared;
                const Pixel pixel = pixelAt(*image, column, row);
                const HueSaturation shown = hueSaturationOf(pixel);
                const auto shared = Pictures::wheelColorAt(static_cast<float>(x), static_cast<float>(y), static_cast<float>(side));
                const HueSaturation described = describedColorAt(x, y);
                bool ok = pixel.alpha == 255 && std::abs(shown.saturation - shared.saturation) <= saturationTolerance
                    && std::abs(shown.saturation - described.saturation) <= saturationTolerance;
                if (described.saturation >= hueFromSaturation)
                    ok = ok && hueDistance(shown.hue, shared.hue) <= hueTolerance && hueDistance(shown.hue, described.hue) <= hueTolerance;
                if (!ok && !mismatches++) {
                    first << "at point (" << x << ", " << y << ") the pixel " << testing::PrintToString(pixel) << " reads hue " << shown.hue
                          << " saturation " << shown.saturation << "; the mapping gives " << shared.hue << ", " << shared.saturation
                          << "; the description " << described.hue << ", " << described.saturation;
                }
            }
        }
        EXPECT_GT(compared, 4000 * scale * scale);
        EXPECT_EQ(mismatches, 0) << "first: " << first.str();
    }
}

// Catches a wheel turned the wrong way or started from the wrong side.
TEST(WheelPicture, RimColoursRunCounterClockwiseFromRedAtThreeOClock)
{
    struct Case {
        const char* label;
        double x, y;
        Pixel expected;
    };
    const Case cases[] = {
        { "3 o'clock: red", 237, 120, { 255, 0, 0, 255 } },
        { "12 o'clock: chartreuse", 120, 3, { 128, 255, 0, 255 } },
        { "9 o'clock: cyan", 3, 120, { 0, 255, 255, 255 } },
        { "6 o'clock: violet", 120, 237, { 128, 0, 255, 255 } },
        { "half past 1: orange-yellow", 120 + 116 * std::cos(std::numbers::pi / 4), 120 - 116 * std::sin(std::numbers::pi / 4), { 255, 191, 0, 255 } },
        { "the centre: white", 120, 120, { 255, 255, 255, 255 } },
    };
    for (int scale : scales) {
        CGImageRef image = wheelAtScale(scale);
        ASSERT_TRUE(image);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.label << " at scale " << scale);
            EXPECT_TRUE(TestSupport::pixelNear(pixelAtPoint(*image, scale, c.x, c.y), c.expected, 14));
        }
    }
}

// Outside the disc nothing is drawn; inside it nothing is see-through; only pixels the
// rim crosses are partly covered.
TEST(WheelPicture, OpaqueDiscOnTransparency)
{
    for (int scale : scales) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        CGImageRef image = wheelAtScale(scale);
        ASSERT_TRUE(image);
        const double pixel = 1.0 / scale;
        int wrong = 0, partial = 0;
        for (size_t row = 0; row < image->height(); ++row) {
            for (size_t column = 0; column < image->width(); ++column) {
                const double distance = std::hypot((column + 0.5) * pixel - radius, (row + 0.5) * pixel - radius);
                const int alpha = pixelAt(*image, column, row).alpha;
                if (distance > radius + pixel)
                    wrong += alpha != 0;
                else if (distance < radius - pixel)
                    wrong += alpha != 255;
                else
                    partial += alpha != 0 && alpha != 255;
            }
        }
        EXPECT_EQ(wrong, 0);
        // The rim is smoothed: a good share of the pixels it crosses are partly covered.
        EXPECT_GT(partial, std::numbers::pi * radius * scale);
        for (auto corner : { std::pair { 0.0, 0.0 }, { side - 1, 0.0 }, { 0.0, side - 1 }, { side - 1, side - 1 } })
            EXPECT_EQ(pixelAtPoint(*image, scale, corner.first, corner.second), TestSupport::transparent);
    }
}
