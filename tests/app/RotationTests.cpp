#include "app/image/Rotation.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>

using namespace TestSupport;

namespace {

// W × H pixels at scale 1: red in the top-left quarter, blue in the top-right, white below.
UIImageRef quarters(size_t width, size_t height)
{
    std::vector<std::vector<Pixel>> rows(height, std::vector<Pixel>(width, opaqueWhite));
    for (size_t y = 0; y < height / 2; ++y) {
        for (size_t x = 0; x < width; ++x)
            rows[y][x] = x < width / 2 ? opaqueRed : opaqueBlue;
    }
    return UIImage::imageWithCGImage(imageFromRows(rows));
}

}

TEST(RotationAngles, ConvertInSinglePrecisionAsTheCategoryDoes)
{
    EXPECT_EQ(DegreesToRadians(180), 3.14159274f);
    EXPECT_EQ(RadiansToDegrees(3.14159274f), 180.0f);
    EXPECT_EQ(RadiansToDegrees(1.57079637f), 90.0f);
    EXPECT_EQ(DegreesToRadians(0), 0.0f);
    EXPECT_EQ(DegreesToRadians(-90), -1.57079637f);
}

TEST(Rotation, TurnsTheWholePictureIntoItsBoundingBoxAboutItsCentre)
{
    struct Case {
        float degrees;
        size_t width, height;
        // Where the red top-left quarter ends up, as a pixel probe.
        size_t redX, redY;
    } cases[] = {
        { 0, 300, 200, 10, 10 },
        { 90, 200, 300, 190, 10 },
        { 180, 300, 200, 290, 190 },
        { -90, 200, 300, 10, 290 },
        { 45, 354, 354, 177, 40 },
    };
    auto picture = quarters(300, 200);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        auto turned = Rotation::imageRotatedByDegrees(picture, c.degrees);
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->scale(), 1);
        EXPECT_EQ(turned->imageOrientation(), UIImageOrientationUp);
        EXPECT_EQ(turned->CGImage()->width(), c.width);
        EXPECT_EQ(turned->CGImage()->height(), c.height);
        EXPECT_TRUE(pixelNear(pixelAt(*turned->CGImage(), c.redX, c.redY), opaqueRed, 8));
    }
    auto viaRadians = Rotation::imageRotatedByRadians(picture, 1.57079637f);
    auto viaDegrees = Rotation::imageRotatedByDegrees(picture, 90);
    EXPECT_EQ(letters(*viaRadians->CGImage()), letters(*viaDegrees->CGImage()));
    EXPECT_FALSE(Rotation::imageRotatedByDegrees(nullptr, 30));
}
