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
