#include "UIKit/UIViewRendering.h"

#include <gtest/gtest.h>

TEST(RenderViewToImage, PixelSizeFollowsBoundsAndScale)
{
    struct Case {
        const char* label;
        CGSize size;
        CGFloat scale;
        size_t width, height;  // 0: no image
    };
    const Case cases[] = {
        { "keyboard at 2", CGSizeMake(320, 216), 2, 640, 432 },
        { "landscape at 1", CGSizeMake(480, 162), 1, 480, 162 },
        { "scale 0 is the screen's", CGSizeMake(10, 5), 0, 20, 10 },
        { "fractions round up", CGSizeMake(0.5f, 1.5f), 1, 1, 2 },
        { "no area", CGSizeMake(0, 216), 2, 0, 0 },
        { "beyond what a bitmap holds", CGSizeMake(20000, 20000), 2, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto view = UIView::initWithFrame(CGRectMake(5, 5, c.size.width, c.size.height));
        auto image = renderViewToImage(*view, c.scale);
        ASSERT_EQ(image != nullptr, c.width > 0);
        EXPECT_EQ(CGImageGetWidth(image ? image->CGImage() : nullptr), c.width);
        EXPECT_EQ(CGImageGetHeight(image ? image->CGImage() : nullptr), c.height);
    }
}
