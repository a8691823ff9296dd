#include "KZColorPicker/ColorPicker/KZColorCompareView.h"
#include "KZColorPicker/ColorPicker/KZColorPickerSwatchView.h"
#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"
#include "RoundRectTestSupport.h"
#include "UIKit/UIViewRendering.h"
#include "host/Snapshot.h"
#include "support/ControlTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace RoundRectTestSupport;
using ControlTestSupport::ControlTest;
using TestSupport::Pixel;
using TestSupport::pixelNear;

namespace {

class CompareViewTest : public ControlTest {
protected:
    // A 44 x 44 view at (10, 10) in the window, as the picker places it; laid out and committed.
    std::shared_ptr<KZColorCompareView> makeView() { return placeInWindow(KZColorCompareView::initWithFrame(CGRectMake(10, 10, 44, 44))); }
};

}

TEST(HalfRoundRectPath, EachHalfIsRoundedOnItsOuterSideAndLeftOpen)
{
    struct Case {
        const char* label;
        CGMutablePathRef (*build)(CGRect, CGFloat);
        CGRect rect;
        CGFloat radius;
        const char* elements;
    };
    const Case cases[] = {
        { "old half at 44 x 44", newLeftRoundRectPathForBoundingRect, CGRectMake(0, 0, 23, 44), 7, "M22,1 L8,1 C1,8 L1,36 C8,43 L22,43" },
        { "current half at 44 x 44", newRightRoundRectPathForBoundingRect, CGRectMake(21, 0, 23, 44), 7,
            "M22,1 L36,1 C43,8 L43,36 C36,43 L22,43" },
        { "left, radius 0", newLeftRoundRectPathForBoundingRect, CGRectMake(0, 0, 23, 44), 0, "M22,1 L1,1 L1,43 L22,43" },
        { "right, radius 0", newRightRoundRectPathForBoundingRect, CGRectMake(21, 0, 23, 44), 0, "M22,1 L43,1 L43,43 L22,43" },
        // Not clamped: the arcs overshoot the vertical middle.
        { "left, radius past half the height", newLeftRoundRectPathForBoundingRect, CGRectMake(0, 0, 23, 20), 12,
            "M22,1 L13,1 C1,13 L1,7 C13,19 L22,19" },
        { "left, null rectangle", newLeftRoundRectPathForBoundingRect, CGRectNull, 7, "" },
        { "right, null rectangle", newRightRoundRectPathForBoundingRect, CGRectNull, 7, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CGMutablePathRef path = c.build(c.rect, c.radius);
        ASSERT_TRUE(path);
        EXPECT_EQ(describe(path), c.elements);
    }
}

TEST(HalfRoundRectPath, TheClosedRectangleIsTheSwatchs)
{
    const std::pair<CGRect, CGFloat> cases[] = {
        { CGRectMake(0, 0, 44, 44), 6 },
        { CGRectMake(2, 2, 40, 40), 5 },
        { CGRectMake(-3, 7, 15, 90), 30 },
        { CGRectMake(0, 0, 10, 10), 0 },
    };
    for (auto [rect, radius] : cases) {
        SCOPED_TRACE(::testing::PrintToString(rect));
        EXPECT_EQ(KZColorCompareView::newRoundRectPathForBoundingRect(rect, radius)->elements(),
            KZColorPickerSwatchView::newRoundRectPathForBoundingRect(rect, radius)->elements());
    }
}

TEST_F(CompareViewTest, StartsTranslucentBlueBesideTranslucentGreyWithAHiddenVeilOverTheOldHalf)
{
    auto view = makeView();
    EXPECT_FLOAT_EQ(UIColor_Expanded::blue(view->oldColor()), 1);
    EXPECT_FLOAT_EQ(UIColor_Expanded::red(view->oldColor()), 0);
    EXPECT_FLOAT_EQ(UIColor_Expanded::alpha(view->oldColor()), 0.6f);
    EXPECT_FLOAT_EQ(UIColor_Expanded::red(view->currentColor()), 0.5f);
    EXPECT_FLOAT_EQ(UIColor_Expanded::blue(view->currentColor()), 0.5f);
    EXPECT_FLOAT_EQ(UIColor_Expanded::alpha(view->currentColor()), 0.8f);
    EXPECT_TRUE(view->isOpaque());
    EXPECT_EQ(UIColor_Expanded::alpha(view->backgroundColor()), 0);

    auto veil = view->touchDownLayer();
    ASSERT_TRUE(veil);
    ASSERT_EQ(view->layer()->sublayers().size(), 1u);
    EXPECT_EQ(view->layer()->sublayers()[0], veil);
    EXPECT_EQ(veil->opacity(), 0);
    EXPECT_TRUE(CGColorEqualToColor(veil->fillColor(), UIColor::blackColor()->CGColor()));
    EXPECT_EQ(describe(veil->path()), "M22,1 L8,1 C1,8 L1,36 C8,43 L22,43");
    EXPECT_TRUE(view->checkerboardColor() && view->checkerboardColor()->CGColor()->patternImage());
}

TEST_F(CompareViewTest, ATapAnywhereEndsInTouchUpInsideAndTheVeilComesAndGoes)
{
    struct Case {
        const char* label;
        CGPoint down;  // in the root
        void (*finish)(TouchInjector&);
        int touchUpsInside;
    };
    const Case cases[] = {
        { "tap on the old half", CGPointMake(20, 32), [](TouchInjector& finger) { finger.touchUp(CGPointMake(20, 32)); }, 1 },
        { "tap on the current half", CGPointMake(44, 32), [](TouchInjector& finger) { finger.touchUp(CGPointMake(44, 32)); }, 1 },
        { "lift far outside", CGPointMake(20, 32), [](TouchInjector& finger) {
             finger.touchMove(CGPointMake(250, 400));
             finger.touchUp(CGPointMake(250, 400));
         },
            0 },
        { "cancel", CGPointMake(44, 32), [](TouchInjector& finger) { finger.touchCancel(); }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto view = makeView();
        expectVeilCycle(view, c.down, c.finish, c.touchUpsInside);
    }
}

TEST_F(CompareViewTest, OldColourOnTheLeftCurrentOnTheRightInsideAWhiteFrame)
{
    auto view = makeView();
    view->setOldColor(UIColor::redColor());
    view->setCurrentColor(UIColor::greenColor());
    auto image = renderViewToImage(*view, 2);
    ASSERT_TRUE(image);
    EXPECT_TRUE(writeViewSnapshot(*view, 2, TestSupport::binaryDirectory() / "compare-view.png"));
    struct Probe {
        const char* label;
        CGFloat x, y;
        Pixel expected;
    };
    const Probe probes[] = {
        { "old half", 11, 22, TestSupport::opaqueRed },
        { "current half", 33, 22, TestSupport::opaqueGreen },
        { "left of the centre line", 21.75f, 22, TestSupport::opaqueRed },
        { "right of the centre line", 22.25f, 22, TestSupport::opaqueGreen },
        { "frame, left", 1.75f, 22, TestSupport::opaqueWhite },
        { "frame, right", 42.25f, 22, TestSupport::opaqueWhite },
        { "frame, top", 11, 1.25f, TestSupport::opaqueWhite },
        { "frame, bottom", 33, 42.75f, TestSupport::opaqueWhite },
        { "colour just inside the frame", 3.25f, 22, TestSupport::opaqueRed },
        { "outside, left", 0.25f, 22, TestSupport::transparent },
        { "outside, bottom", 33, 43.75f, TestSupport::transparent },
        { "cut-off corner", 1.25f, 1.25f, TestSupport::transparent },
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(p.label);
        EXPECT_TRUE(pixelNear(pixelAtPoint(*image, p.x, p.y), p.expected, 2));
    }
}

TEST_F(CompareViewTest, TheCheckerboardShowsThroughTranslucentHalvesOnly)
{
    struct Case {
        const char* label;
        UIColorRef oldColor, currentColor;
        bool leftCheckered, rightCheckered;
    };
    const Case cases[] = {
        { "both opaque", UIColor::redColor(), UIColor::greenColor(), false, false },
        { "current fully transparent", UIColor::redColor(), UIColor::clearColor(), false, true },
        { "old translucent", UIColor::colorWithRed(0, 0, 1, 0.5f), UIColor::greenColor(), true, false },
        { "the fresh view's colours", UIColor::colorWithRed(0, 0, 1, 0.6f), UIColor::grayColor()->colorWithAlphaComponent(0.8f), true, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto view = makeView();
        view->setOldColor(c.oldColor);
        view->setCurrentColor(c.currentColor);
        auto image = renderViewToImage(*view, 2);
        ASSERT_TRUE(image);
        // Each half's inside, clear of the frame, the corners and the centre line.
        EXPECT_EQ(distinctPixels(*image, CGRectMake(5, 8, 15, 28)) >= 2, c.leftCheckered);
        EXPECT_EQ(distinctPixels(*image, CGRectMake(24, 8, 15, 28)) >= 2, c.rightCheckered);
    }
}

TEST_F(CompareViewTest, PressingDarkensOnlyTheOldHalf)
{
    auto view = makeView();
    view->setOldColor(UIColor::redColor());
    view->setCurrentColor(UIColor::greenColor());
    TouchInjector& finger = m_finger;
    ASSERT_TRUE(finger.touchDown(CGPointMake(44, 32)));
    ASSERT_TRUE(view->isTracking());
    auto image = renderViewToImage(*view, 2);
    ASSERT_TRUE(image);
    EXPECT_TRUE(pixelNear(pixelAtPoint(*image, 11, 22), Pixel { 204, 0, 0, 255 }, 2)) << "20 % black over red";
    EXPECT_TRUE(pixelNear(pixelAtPoint(*image, 33, 22), TestSupport::opaqueGreen, 2));
    finger.touchUp(CGPointMake(44, 32));
}
