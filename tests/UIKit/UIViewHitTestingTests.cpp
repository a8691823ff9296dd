#include "UIKit/UIView.h"

#include <gtest/gtest.h>

namespace {

TEST(UIViewHitTesting, FindsTheTopmostVisibleInteractiveView)
{
    auto root = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
    auto lower = UIView::initWithFrame(CGRectMake(10, 10, 100, 100));
    auto upper = UIView::initWithFrame(CGRectMake(50, 50, 100, 100));
    auto child = UIView::initWithFrame(CGRectMake(5, 5, 20, 20));
    root->addSubview(lower);
    root->addSubview(upper);
    upper->addSubview(child);
    struct Case {
        CGPoint point;
        UIView* expected;
    };
    const Case cases[] = {
        { { 20, 20 }, lower.get() }, { { 60, 60 }, child.get() }, { { 80, 80 }, upper.get() }, { { 300, 400 }, root.get() }, { { -1, 5 }, nullptr },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.point.x << "," << test.point.y);
        EXPECT_EQ(root->hitTest(test.point, nullptr).get(), test.expected);
    }
    upper->setHidden(true);
    EXPECT_EQ(root->hitTest({ 60, 60 }, nullptr).get(), lower.get());
    upper->setHidden(false);
    upper->setUserInteractionEnabled(false);
    EXPECT_EQ(root->hitTest({ 120, 120 }, nullptr).get(), root.get());
}

TEST(UIViewHitTesting, ConvertsPointsThroughBoundsOriginsAndTransforms)
{
    auto root = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
    auto scrolled = UIView::initWithFrame(CGRectMake(100, 100, 100, 100));
    scrolled->setBounds(CGRectMake(50, 0, 100, 100));
    auto turned = UIView::initWithFrame(CGRectMake(50, 0, 40, 20));
    turned->setTransform(CGAffineTransformMakeRotation(static_cast<CGFloat>(M_PI / 2)));
    root->addSubview(scrolled);
    scrolled->addSubview(turned);

    CGPoint inRoot = scrolled->convertPointToView({ 50, 0 }, nullptr);
    EXPECT_FLOAT_EQ(inRoot.x, 100);
    EXPECT_FLOAT_EQ(inRoot.y, 100);
    // The turned view's top-left corner lies at the top right of its frame after a quarter turn.
    CGPoint corner = turned->convertPointToView({ 0, 0 }, scrolled.get());
    EXPECT_NEAR(corner.x, 80, 1e-4);
    EXPECT_NEAR(corner.y, -10, 1e-4);
    CGPoint back = turned->convertPointFromView(corner, scrolled.get());
    EXPECT_NEAR(back.x, 0, 1e-4);
    EXPECT_NEAR(back.y, 0, 1e-4);
}

}
