#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

using namespace TestSupport;

namespace {

// The image drawn to fill a fresh scale-1 UIKit context of the given size.
std::string drawn(const UIImage& image, CGSize size)
{
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    CGContextSetInterpolationQuality(UIGraphicsGetCurrentContext(), kCGInterpolationNone);
    image.drawInRect(CGRectMake(0, 0, size.width, size.height));
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result ? letters(*result->CGImage()) : "no image";
}

}

TEST(UIImageSize, PointsFromPixelsScaleAndOrientation)
{
    auto pixels = CGImage::create(40, 20, std::vector<std::uint32_t>(800));
    struct Case {
        const char* label;
        CGFloat scale;
        UIImageOrientation orientation;
        CGSize expected;
    };
    const Case cases[] = {
        { "up", 1, UIImageOrientationUp, CGSizeMake(40, 20) },
        { "scale 2", 2, UIImageOrientationUp, CGSizeMake(20, 10) },
        { "down keeps sides", 1, UIImageOrientationDown, CGSizeMake(40, 20) },
        { "left swaps sides", 1, UIImageOrientationLeft, CGSizeMake(20, 40) },
        { "right at scale 2", 2, UIImageOrientationRight, CGSizeMake(10, 20) },
        { "right mirrored swaps sides", 4, UIImageOrientationRightMirrored, CGSizeMake(5, 10) },
        { "zero scale means 1", 0, UIImageOrientationUp, CGSizeMake(40, 20) },
        { "NaN scale means 1", std::numeric_limits<CGFloat>::quiet_NaN(), UIImageOrientationUp, CGSizeMake(40, 20) },
        { "unknown orientation means up", 1, static_cast<UIImageOrientation>(42), CGSizeMake(40, 20) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(UIImage::imageWithCGImage(pixels, c.scale, c.orientation)->size(), c.expected);
    }
    EXPECT_EQ(UIImage::imageWithCGImage(nullptr), nullptr);
}

TEST(UIImageDrawInRect, AppliesTheOrientation)
{
    // Stored: red, green on top; blue, white below.
    auto square = imageFromRows({ { opaqueRed, opaqueGreen }, { opaqueBlue, opaqueWhite } });
    struct Case {
        UIImageOrientation orientation;
        const char* expected;
    };
    const Case cases[] = {
        { UIImageOrientationUp, "RG/BW" },
        { UIImageOrientationDown, "WB/GR" },
        { UIImageOrientationLeft, "GW/RB" },
        { UIImageOrientationRight, "BR/WG" },
        { UIImageOrientationUpMirrored, "GR/WB" },
        { UIImageOrientationDownMirrored, "BW/RG" },
        { UIImageOrientationLeftMirrored, "RB/GW" },
        { UIImageOrientationRightMirrored, "WG/BR" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "orientation " << c.orientation);
        EXPECT_EQ(drawn(*UIImage::imageWithCGImage(square, 1, c.orientation), CGSizeMake(2, 2)), c.expected);
    }

    // 2 × 1 stored, shown a quarter turn clockwise: 1 × 2 with the left pixel on top.
    auto turned = UIImage::imageWithCGImage(imageFromRows({ { opaqueRed, opaqueBlue } }), 1, UIImageOrientationRight);
    EXPECT_EQ(drawn(*turned, turned->size()), "R/B");
}
