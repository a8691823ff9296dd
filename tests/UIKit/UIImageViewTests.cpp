#include "UIKit/UIImageView.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>

using TestSupport::rectNear;

namespace {

// Shows where the view puts content, which otherwise is only seen in pixels.
class ContentRectProbe : public UIImageView {
public:
    using UIImageView::UIImageView;
    using UIView::contentRectForSize;
};

}

TEST(UIImageView, ContentModesPlaceContentInTheBounds)
{
    // 20 × 20 content in a 100 × 50 view.
    struct Case {
        const char* label;
        UIViewContentMode mode;
        CGRect expected;
    };
    const Case cases[] = {
        { "scale to fill", UIViewContentModeScaleToFill, CGRectMake(0, 0, 100, 50) },
        { "aspect fit", UIViewContentModeScaleAspectFit, CGRectMake(25, 0, 50, 50) },
        { "aspect fill", UIViewContentModeScaleAspectFill, CGRectMake(0, -25, 100, 100) },
        { "centre", UIViewContentModeCenter, CGRectMake(40, 15, 20, 20) },
        { "bottom", UIViewContentModeBottom, CGRectMake(40, 30, 20, 20) },
        { "top right", UIViewContentModeTopRight, CGRectMake(80, 0, 20, 20) },
    };
    auto view = objc::alloc<ContentRectProbe>();
    view->setFrame(CGRectMake(7, 9, 100, 50));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        view->setContentMode(c.mode);
        EXPECT_TRUE(rectNear(view->contentRectForSize(CGSizeMake(20, 20)), c.expected));
    }
    // Wide content in a tall, scrolled view.
    view->setFrame(CGRectMake(0, 0, 50, 100));
    view->setBounds(CGRectMake(10, 5, 50, 100));
    view->setContentMode(UIViewContentModeScaleAspectFit);
    EXPECT_TRUE(rectNear(view->contentRectForSize(CGSizeMake(40, 20)), CGRectMake(10, 42.5f, 50, 25)));
    view->setContentMode(UIViewContentModeScaleAspectFill);
    EXPECT_TRUE(rectNear(view->contentRectForSize(CGSizeMake(40, 20)), CGRectMake(-65, 5, 200, 100)));
    EXPECT_TRUE(rectNear(view->contentRectForSize(CGSizeMake(0, 20)), CGRectMake(10, 5, 50, 100)));

    auto sized = UIImageView::initWithImage(UIImage::imageWithCGImage(CGImage::create(40, 20, std::vector<std::uint32_t>(800)), 2));
    EXPECT_EQ(sized->frame(), CGRectMake(0, 0, 20, 10));
}
