#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGImage.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace TestSupport;

TEST(CGImageCreateWithImageInRect, CutsTheRoundedOutClippedRectangle)
{
    // 4 × 3, each pixel naming its position: red = x, green = y.
    std::vector<std::vector<Pixel>> rows(3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x)
            rows[y].push_back({ x, y, 0, 255 });
    }
    auto image = imageFromRows(rows);
    const CGFloat nan = std::numeric_limits<CGFloat>::quiet_NaN();
    const CGFloat infinity = std::numeric_limits<CGFloat>::infinity();
    struct Case {
        const char* label;
        CGRect rect;
        int x, y, width, height;  // of the expected part; width 0: none
    };
    const Case cases[] = {
        { "inside", CGRectMake(1, 1, 2, 1), 1, 1, 2, 1 },
        { "fractions round outward", CGRectMake(0.5f, 0.5f, 1, 1), 0, 0, 2, 2 },
        { "over the top left", CGRectMake(-1, -1, 2, 2), 0, 0, 1, 1 },
        { "over the bottom right", CGRectMake(3, 2, 5, 5), 3, 2, 1, 1 },
        { "negative size", CGRectMake(3, 3, -2, -2), 1, 1, 2, 2 },
        { "infinite size", CGRectMake(2, 1, infinity, infinity), 2, 1, 2, 2 },
        { "outside", CGRectMake(4, 0, 1, 3), 0, 0, 0, 0 },
        { "empty", CGRectMake(1, 1, 0, 0), 0, 0, 0, 0 },
        { "null", CGRectNull, 0, 0, 0, 0 },
        { "NaN origin", CGRectMake(nan, 0, 2, 2), 0, 0, 0, 0 },
        { "NaN size", CGRectMake(0, 0, nan, nan), 0, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto part = CGImageCreateWithImageInRect(image, c.rect);
        ASSERT_EQ(part != nullptr, c.width > 0);
        if (!part)
            continue;
        ASSERT_EQ(CGImageGetWidth(part), size_t(c.width));
        ASSERT_EQ(CGImageGetHeight(part), size_t(c.height));
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x)
                EXPECT_EQ(pixelAt(*part, x, y), (Pixel { c.x + x, c.y + y, 0, 255 }));
        }
    }
}

TEST(CGImage, ACutSharesThePixelsOfTheWholeAndReadsOnlyItsPart)
{
    std::vector<std::uint32_t> pixels(6 * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xff000000u | static_cast<std::uint32_t>(i);
    auto whole = CGImage::create(6, 4, std::move(pixels));
    struct Case {
        CGRect rect;
        size_t width, height;
        std::uint32_t first, last;
    } cases[] = {
        { CGRectMake(1, 1, 3, 2), 3, 2, 7, 15 },
        { CGRectMake(-2, 2.5f, 4, 9), 2, 2, 12, 19 },  // rounded outward, then clipped
        { CGRectMake(0, 0, 6, 4), 6, 4, 0, 23 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.rect));
        auto cut = CGImageCreateWithImageInRect(whole, c.rect);
        ASSERT_TRUE(cut);
        EXPECT_EQ(cut->width(), c.width);
        EXPECT_EQ(cut->height(), c.height);
        EXPECT_TRUE(cut->sharesPixelsWith(*whole));
        EXPECT_EQ(cut->pixelAt(0, 0) & 0xffffff, c.first);
        EXPECT_EQ(cut->pixelAt(c.width - 1, c.height - 1) & 0xffffff, c.last);
        EXPECT_EQ(cut->isPacked(), c.width == 6);
        // Copies for codecs read the part only.
        EXPECT_EQ(CGImageCopyStraightRGBA(*cut).size(), c.width * c.height * 4);
    }
    EXPECT_FALSE(CGImageCreateWithImageInRect(whole, CGRectMake(10, 0, 3, 3))) << "beside the image";
    auto nested = CGImageCreateWithImageInRect(CGImageCreateWithImageInRect(whole, CGRectMake(1, 1, 4, 3)), CGRectMake(1, 1, 2, 1));
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->pixelAt(0, 0) & 0xffffff, 14u) << "a cut of a cut counts from the whole";
}

TEST(CGBitmapContext, DrawableLayoutsGiveAContextAndOthersNone)
{
    struct Case {
        const char* label;
        size_t bits;
        CGColorSpaceRef space;
        CGBitmapInfo info;
        bool made;
    } cases[] = {
        { "RGB premultiplied first, little", 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little, true },
        { "RGB premultiplied last", 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast, true },
        { "RGB skipping alpha", 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaNoneSkipLast | kCGBitmapByteOrder32Big, true },
        { "grey without alpha", 8, CGColorSpaceCreateDeviceGray(), kCGImageAlphaNone, true },
        { "RGB straight alpha", 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaLast, false },
        { "RGB without alpha at 24 bits", 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaNone, false },
        { "16 bits per component", 16, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast, false },
        { "float components", 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedLast | kCGBitmapFloatComponents, false },
        { "CMYK", 8, CGColorSpaceCreateDeviceCMYK(), kCGImageAlphaNone, false },
        { "no colour space", 8, nullptr, kCGImageAlphaPremultipliedFirst, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto context = CGBitmapContextCreate(nullptr, 4, 3, c.bits, 0, c.space, c.info);
        EXPECT_EQ(context != nullptr, c.made);
    }
    int memory[16] = {};
    EXPECT_FALSE(CGBitmapContextCreate(memory, 2, 2, 8, 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst)) << "only memory of its own";
    EXPECT_FALSE(CGBitmapContextCreate(nullptr, 4, 3, 8, 8, CGColorSpaceCreateDeviceRGB(), kCGImageAlphaPremultipliedFirst)) << "rows too short";
    auto image = CGImage::create(1, 1, { 0xff102030u });
    EXPECT_TRUE(CGBitmapContextCreate(nullptr, 1, 1, CGImageGetBitsPerComponent(image), 0, CGImageGetColorSpace(image), CGImageGetBitmapInfo(image)))
        << "an image's own layout can always be drawn into";
}
