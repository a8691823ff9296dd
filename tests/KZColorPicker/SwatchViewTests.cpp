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

class SwatchViewTest : public ControlTest {
protected:
    // A swatch at (10, 10) in the window, laid out and committed.
    std::shared_ptr<KZColorPickerSwatchView> makeSwatch(CGSize size = CGSizeMake(36, 36))
    {
        return placeInWindow(KZColorPickerSwatchView::initWithFrame(CGRectMake(10, 10, size.width, size.height)));
    }
};

}

TEST(RoundRectPath, ElementsFollowTheOutlineClockwiseFromTheLeftMiddle)
{
    struct Case {
        const char* label;
        CGRect rect;
        CGFloat radius;
        const char* elements;
    };
    const Case cases[] = {
        { "radius 0 gives square corners 1 inside", CGRectMake(0, 0, 36, 36), 0, "M1,18 L1,1 L35,1 L35,35 L1,35 Z" },
        { "the swatch's colour", CGRectMake(0, 0, 36, 36), 7, "M1,18 L1,8 C8,1 L28,1 C35,8 L35,28 C28,35 L8,35 C1,28 Z" },
        { "offset and oblong", CGRectMake(10, 20, 40, 30), 4, "M11,35 L11,25 C15,21 L45,21 C49,25 L49,45 C45,49 L15,49 C11,45 Z" },
        // arct keeps the radius: the tangent points lie past the middles of the sides.
        { "radius past half the side", CGRectMake(0, 0, 36, 36), 20, "M1,18 L1,21 C21,1 L15,1 C35,21 L35,15 C15,35 L21,35 C1,15 Z" },
        { "radius reaching the middle exactly", CGRectMake(0, 0, 36, 36), 17, "M1,18 C18,1 C35,18 C18,35 C1,18 Z" },
        { "negative radius: square corners", CGRectMake(0, 0, 36, 36), -1, "M1,18 L1,1 L35,1 L35,35 L1,35 Z" },
        { "null rectangle: nothing", CGRectNull, 5, "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        CGMutablePathRef path = newRoundRectPathForBoundingRect(c.rect, c.radius);
        ASSERT_TRUE(path);
        EXPECT_EQ(describe(path), c.elements);
        EXPECT_EQ(describe(KZColorPickerSwatchView::newRoundRectPathForBoundingRect(c.rect, c.radius)), c.elements);
    }
}

TEST_F(SwatchViewTest, StartsBlueAtHalfAlphaWithAnEtchedBorderAndHiddenMark)
{
    auto swatch = makeSwatch();
    EXPECT_TRUE(UIColor_Expanded::red(swatch->color()) == 0 && UIColor_Expanded::green(swatch->color()) == 0);
    EXPECT_FLOAT_EQ(UIColor_Expanded::blue(swatch->color()), 1);
    EXPECT_FLOAT_EQ(UIColor_Expanded::alpha(swatch->color()), 0.5f);
    EXPECT_EQ(swatch->borderWidth(), 1);
    EXPECT_EQ(swatch->cornerRadius(), 6);
    EXPECT_TRUE(swatch->hasShadow());
    EXPECT_TRUE(swatch->isOpaque());
    EXPECT_EQ(UIColor_Expanded::alpha(swatch->backgroundColor()), 0);

    auto veil = swatch->touchDownLayer();
    auto mark = swatch->checkmarkLayer();
    ASSERT_TRUE(veil && mark);
    ASSERT_EQ(swatch->layer()->sublayers().size(), 2u);
    EXPECT_EQ(swatch->layer()->sublayers()[0], veil);
    EXPECT_EQ(swatch->layer()->sublayers()[1], mark);
    EXPECT_EQ(veil->opacity(), 0);
    EXPECT_TRUE(CGColorEqualToColor(veil->fillColor(), UIColor::blackColor()->CGColor()));
    EXPECT_TRUE(mark->isHidden());
    EXPECT_TRUE(mark->contents());
    EXPECT_TRUE(TestSupport::rectNear(mark->bounds(), CGRectMake(0, 0, kCheckmarkWidth, kCheckmarkWidth)));
    EXPECT_TRUE(swatch->checkerboardColor());
    EXPECT_TRUE(swatch->checkerboardColor()->CGColor()->patternImage());
}

TEST_F(SwatchViewTest, LayoutShapesTheVeilAndPutsTheMarkThreePointsFromTheCorner)
{
    struct Case {
        const char* label;
        CGSize size;
        CGFloat cornerRadius;
        CGPoint markCentre;
    };
    const Case cases[] = {
        { "36 x 36, defaults", CGSizeMake(36, 36), 6, CGPointMake(22, 22) },
        { "oblong", CGSizeMake(60, 40), 6, CGPointMake(46, 26) },
        { "other radius", CGSizeMake(36, 36), 10, CGPointMake(22, 22) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto swatch = makeSwatch(c.size);
        swatch->setCornerRadius(c.cornerRadius);
        swatch->setNeedsLayout();
        swatch->layoutIfNeeded();
        EXPECT_EQ(describe(swatch->touchDownLayer()->path()), describe(newRoundRectPathForBoundingRect(swatch->bounds(), c.cornerRadius)));
        EXPECT_NEAR(swatch->checkmarkLayer()->position().x, c.markCentre.x, 1e-4);
        EXPECT_NEAR(swatch->checkmarkLayer()->position().y, c.markCentre.y, 1e-4);
    }
}

TEST_F(SwatchViewTest, SelectionShowsTheMarkAndFadesOnlyWhenAnimated)
{
    struct Case {
        const char* label;
        bool from, to, animated;
        bool fades;
    };
    const Case cases[] = {
        { "select, animated", false, true, true, true },
        { "select, at once", false, true, false, false },
        { "deselect, animated", true, false, true, true },
        { "deselect, at once", true, false, false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto swatch = makeSwatch();
        swatch->setSelected(c.from, false);
        CATransaction::flush();
        auto mark = swatch->checkmarkLayer();
        mark->removeAllAnimations();
        swatch->setSelected(c.to, c.animated);
        EXPECT_EQ(swatch->isSelected(), c.to);
        EXPECT_EQ(mark->isHidden(), !c.to);
        EXPECT_EQ(mark->animationForKey("hidden") != nullptr, c.fades);
        CATransaction::flush();
    }
}

TEST_F(SwatchViewTest, TouchDownShowsTheVeilAtOnceAndEveryEndingFadesItOut)
{
    struct Case {
        const char* label;
        void (*finish)(TouchInjector&);
        int touchUpsInside;
    };
    const Case cases[] = {
        { "lift inside", [](TouchInjector& finger) { finger.touchUp(CGPointMake(30, 30)); }, 1 },
        { "lift just outside (within the tracking margin)", [](TouchInjector& finger) { finger.touchUp(CGPointMake(60, 28)); }, 1 },
        { "lift far outside", [](TouchInjector& finger) {
             finger.touchMove(CGPointMake(200, 300));
             finger.touchUp(CGPointMake(200, 300));
         },
            0 },
        { "cancel", [](TouchInjector& finger) { finger.touchCancel(); }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto swatch = makeSwatch();
        expectVeilCycle(swatch, CGPointMake(28, 28), c.finish, c.touchUpsInside);
    }
}

TEST_F(SwatchViewTest, TranslucentColoursShowTheCheckerboardOpaqueOnesDoNot)
{
    // Black and white squares of one point: under alpha 0.99 they still differ by two levels or so.
    auto contrasting = UIColor::colorWithPatternImage(UIImage::imageWithCGImage(
        CGImage::create(2, 2, { 0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF }), 1));
    struct Case {
        const char* label;
        UIColorRef color;
        bool bundleCheckerboard;
        bool checkered;
    };
    const Case cases[] = {
        { "alpha 1", UIColor::colorWithRed(0.2f, 0.6f, 0.3f, 1), false, false },
        { "alpha 0.99", UIColor::colorWithRed(0.2f, 0.6f, 0.3f, 0.99f), false, true },
        { "opaque grey", UIColor::grayColor(), false, false },
        { "alpha 0.5 over the bundle's checkerboard", UIColor::colorWithRed(0, 0, 1, 0.5f), true, true },
        { "alpha 0", UIColor::clearColor(), true, true },
        { "no colour", nullptr, true, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto swatch = makeSwatch();
        if (!c.bundleCheckerboard)
            swatch->setCheckerboardColor(contrasting);
        swatch->setColor(c.color);
        auto image = renderViewToImage(*swatch, 2);
        ASSERT_TRUE(image);
        // The inside, clear of the border and the corners.
        size_t distinct = distinctPixels(*image, CGRectMake(4, 4, 28, 28));
        if (c.checkered)
            EXPECT_GE(distinct, 2u);
        else
            EXPECT_EQ(distinct, 1u);
    }
}

TEST_F(SwatchViewTest, ColourFillsFromOneToThirtyFiveUnderTheBorder)
{
    auto swatch = makeSwatch();
    swatch->setColor(UIColor::redColor());
    swatch->setHasShadow(false);
    swatch->setNeedsDisplay();
    auto image = renderViewToImage(*swatch, 2);
    ASSERT_TRUE(image);
    struct Probe {
        const char* label;
        CGFloat x, y;
        Pixel expected;
    };
    const Probe probes[] = {
        { "centre", 18, 18, TestSupport::opaqueRed },
        { "white border, left", 1.25f, 18, TestSupport::opaqueWhite },
        { "white border, bottom", 18, 34.75f, TestSupport::opaqueWhite },
        { "colour just inside the border", 2.25f, 18, TestSupport::opaqueRed },
        { "outside the outline, left", 0.25f, 18, TestSupport::transparent },
        { "outside the outline, bottom", 18, 35.75f, TestSupport::transparent },
        { "cut-off corner", 1.25f, 1.25f, TestSupport::transparent },
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(p.label);
        EXPECT_TRUE(pixelNear(pixelAtPoint(*image, p.x, p.y), p.expected, 2));
    }
}

TEST_F(SwatchViewTest, EtchedBorderMultipliesGreyAndCastsAWhiteLineOnePointBelow)
{
    auto swatch = makeSwatch();
    swatch->setColor(UIColor::redColor());
    auto image = renderViewToImage(*swatch, 2);
    ASSERT_TRUE(image);
    // Grey 0.6 multiplied into red.
    EXPECT_TRUE(pixelNear(pixelAtPoint(*image, 1.25f, 18), Pixel { 153, 0, 0, 255 }, 2));
    // The stroke's shadow lies one point below it, on nothing: white at 0.8.
    EXPECT_TRUE(pixelNear(pixelAtPoint(*image, 18, 35.25f), Pixel { 204, 204, 204, 204 }, 3));
    EXPECT_TRUE(pixelNear(pixelAtPoint(*image, 18, 35.75f), Pixel { 204, 204, 204, 204 }, 3));
    // Nothing of it shows above the top edge.
    EXPECT_TRUE(pixelNear(pixelAtPoint(*image, 18, 0.25f), TestSupport::transparent, 2));
}

TEST_F(SwatchViewTest, SelectedSwatchShowsTheMarkInTheBottomRightCorner)
{
    auto swatch = makeSwatch();
    swatch->setColor(UIColor::redColor());
    swatch->setSelected(true, false);
    auto image = renderViewToImage(*swatch, 2);
    ASSERT_TRUE(image);
    // The mark's blue disc at its centre; the top-left stays red.
    Pixel centre = pixelAtPoint(*image, 22, 19);
    EXPECT_GT(centre.blue, centre.red) << ::testing::PrintToString(centre);
    EXPECT_TRUE(pixelNear(pixelAtPoint(*image, 8, 8), TestSupport::opaqueRed, 2));
    EXPECT_TRUE(writeViewSnapshot(*swatch, 2, TestSupport::binaryDirectory() / "swatch-selected.png"));
}
