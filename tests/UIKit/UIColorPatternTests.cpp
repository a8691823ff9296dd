#include "UIKit/UIColor.h"
#include "UIKit/UIGraphics.h"

#include <gtest/gtest.h>

namespace {

// A 2 × 2 checker of white and black pixels.
UIImageRef checker(CGFloat scale)
{
    return UIImage::imageWithCGImage(CGImage::create(2, 2, { 0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF }), scale);
}

TEST(UIColorPattern, TilesAtTheImagesOwnSizeInPoints)
{
    struct Case {
        CGFloat imageScale;
        CGFloat contextScale;
        size_t devicePixelsPerSquare;
    };
    const Case cases[] = { { 1, 2, 2 }, { 2, 2, 1 }, { 1, 1, 1 }, { 2, 1, 1 } };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << "image @" << test.imageScale << "x in a context @" << test.contextScale << "x");
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(4, 4), false, test.contextScale);
        auto context = UIGraphicsGetCurrentContext();
        CGContextSetFillColorWithColor(context, UIColor::colorWithPatternImage(checker(test.imageScale))->CGColor());
        CGContextFillRect(context, CGRectMake(0, 0, 4, 4));
        auto image = UIGraphicsGetImageFromCurrentImageContext()->CGImage();
        UIGraphicsEndImageContext();
        // A square at half a point is finer than a pixel at scale 1: the first pixel still shows white.
        EXPECT_EQ(image->pixelAt(0, 0), 0xFFFFFFFFu);
        if (test.imageScale <= test.contextScale) {
            size_t step = test.devicePixelsPerSquare;
            EXPECT_EQ(image->pixelAt(step - 1, 0), 0xFFFFFFFFu);
            EXPECT_EQ(image->pixelAt(step, 0), 0xFF000000u);
            EXPECT_EQ(image->pixelAt(step, step), 0xFFFFFFFFu);
        }
    }
}

}
