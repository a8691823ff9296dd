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

TEST(Rotation, APartOfTheTurnedPictureEqualsTheSameCutOfTheWholeTurnedPicture)
{
    // A picture with detail everywhere, so that every sample shows; large enough to span tiles.
    std::vector<std::uint32_t> pixels(1100 * 700);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xff000000u | static_cast<std::uint32_t>((i * 2654435761u) & 0xffffff);
    auto picture = UIImage::imageWithCGImage(CGImage::create(1100, 700, std::move(pixels)));
    struct Case {
        float radians;
        CGRect rect;
    } cases[] = {
        { 0, CGRectMake(10, 5, 40, 30) },
        { 0.2967f, CGRectMake(490, 500, 600, 41) },
        { -1.1f, CGRectMake(-20, 300, 700, 1200) },
        { 1.57079637f, CGRectMake(0, 0, 700, 1100) },
        { 3.0f, CGRectMake(900, 500, 400, 400) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.radians << " " << testing::PrintToString(c.rect));
        auto whole = Rotation::imageRotatedByRadians(picture, c.radians);
        auto cut = CGImageCreateWithImageInRect(whole->CGImage(), c.rect);
        auto part = Rotation::partOfImageRotatedByRadians(picture, c.radians, c.rect);
        ASSERT_EQ(cut != nullptr, part != nullptr);
        if (!cut)
            continue;
        ASSERT_EQ(part->CGImage()->width(), cut->width());
        ASSERT_EQ(part->CGImage()->height(), cut->height());
        size_t differing = 0;
        for (size_t y = 0; y < cut->height(); ++y) {
            for (size_t x = 0; x < cut->width(); ++x)
                differing += part->CGImage()->pixelAt(x, y) != cut->pixelAt(x, y);
        }
        EXPECT_EQ(differing, 0u);
    }
    EXPECT_FALSE(Rotation::partOfImageRotatedByRadians(picture, 0.5f, CGRectMake(5000, 500, 10, 10))) << "beside the turned picture";
}
