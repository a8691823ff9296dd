#include "UIKit/UIView.h"
#include "UIKitTestSupport.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <numbers>

using namespace TestSupport;
using UIKitTestSupport::render;

namespace {

class RedDot : public UIView {
    OBJC_CLASS(RedDot, UIView)
    void drawRect(CGRect) override
    {
        CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::redColor()->CGColor());
        CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, 1, 1));
    }
};

UIViewRef coloured(CGRect frame, UIColorRef color)
{
    auto view = UIView::initWithFrame(frame);
    view->setBackgroundColor(std::move(color));
    return view;
}

}

TEST(UIViewRendering, SubviewsLandAtTheirFramesWithYDown)
{
    struct Case {
        const char* label;
        CGRect frame;
        CGAffineTransform transform;
        CGPoint parentBoundsOrigin;
        const char* expected;
    };
    const auto quarterTurn = CGAffineTransformMakeRotation(static_cast<CGFloat>(std::numbers::pi / 2));
    const Case cases[] = {
        { "top left", CGRectMake(0, 0, 1, 1), CGAffineTransformIdentity, {}, "RWW/WWW/WWW" },
        { "bottom strip", CGRectMake(1, 2, 2, 1), CGAffineTransformIdentity, {}, "WWW/WWW/WRR" },
        { "turned about its centre", CGRectMake(0, 1, 3, 1), quarterTurn, {}, "WRW/WRW/WRW" },
        { "scrolled superview", CGRectMake(2, 1, 1, 1), CGAffineTransformIdentity, CGPointMake(1, 1), "WRW/WWW/WWW" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto parent = coloured(CGRectMake(0, 0, 3, 3), UIColor::whiteColor());
        parent->setBounds(CGRectMake(c.parentBoundsOrigin.x, c.parentBoundsOrigin.y, 3, 3));
        auto child = coloured(c.frame, UIColor::redColor());
        child->setTransform(c.transform);
        parent->addSubview(child);
        auto image = render(*parent);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(letters(*image), c.expected);
    }
}

TEST(UIViewRendering, TranslucentViewCompositesOnceOverWhatIsBelow)
{
    struct Case {
        CGFloat alpha;
        Pixel expected;
    };
    for (const auto& c : { Case { 1, opaqueBlack }, Case { 0.5f, { 128, 128, 128, 255 } }, Case { 0.25f, { 191, 191, 191, 255 } },
             Case { 0, opaqueWhite } }) {
        SCOPED_TRACE(c.alpha);
        auto parent = coloured(CGRectMake(0, 0, 2, 1), UIColor::whiteColor());
        auto child = coloured(CGRectMake(0, 0, 2, 1), UIColor::blackColor());
        // Black over black inside the translucent view: no darker than the rest once composited.
        child->addSubview(coloured(CGRectMake(0, 0, 1, 1), UIColor::blackColor()));
        child->setAlpha(c.alpha);
        parent->addSubview(child);
        auto image = render(*parent);
        ASSERT_NE(image, nullptr);
        EXPECT_TRUE(pixelNear(pixelAt(*image, 0, 0), c.expected));
        EXPECT_TRUE(pixelNear(pixelAt(*image, 1, 0), c.expected));
    }
}

TEST(UIViewRendering, HiddenViewsDrawNothingOfTheirTree)
{
    auto parent = coloured(CGRectMake(0, 0, 2, 1), UIColor::whiteColor());
    auto hidden = coloured(CGRectMake(0, 0, 1, 1), UIColor::redColor());
    hidden->addSubview(coloured(CGRectMake(1, 0, 1, 1), UIColor::blueColor()));
    hidden->setHidden(true);
    parent->addSubview(hidden);
    EXPECT_EQ(letters(*render(*parent)), "WW");
    parent->setHidden(true);
    EXPECT_EQ(letters(*render(*parent)), "..");
}

TEST(UIViewRendering, ClipsToBoundsCutsSubviews)
{
    for (bool clips : { false, true }) {
        SCOPED_TRACE(clips);
        auto root = coloured(CGRectMake(0, 0, 3, 3), UIColor::whiteColor());
        auto box = UIView::initWithFrame(CGRectMake(0, 0, 2, 2));
        box->setClipsToBounds(clips);
        box->addSubview(coloured(CGRectMake(1, 1, 5, 5), UIColor::redColor()));
        root->addSubview(box);
        EXPECT_EQ(letters(*render(*root)), clips ? "WWW/WRW/WWW" : "WWW/WRR/WRR");
    }
}

TEST(UIViewRendering, OnlyViewsThatDrawKeepContentsAndBothShowTheirBackground)
{
    struct Case {
        const char* label;
        UIViewRef view;
        bool hasContents;
        const char* expected;
    };
    const Case cases[] = {
        { "plain view", UIView::initWithFrame(CGRectMake(0, 0, 2, 1)), false, "BB" },
        { "view with drawRect", objc::alloc<RedDot>(), true, "RB" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        c.view->setFrame(CGRectMake(0, 0, 2, 1));
        c.view->setBackgroundColor(UIColor::blueColor());
        for (int turn = 0; turn < 2; ++turn) {
            c.view->setNeedsDisplay();
            c.view->layer()->displayIfNeeded();
            EXPECT_EQ(c.view->layer()->contents() != nullptr, c.hasContents) << "display " << turn;
        }
        auto image = render(*c.view);
        ASSERT_TRUE(image);
        EXPECT_EQ(letters(*image), c.expected);
    }
}
