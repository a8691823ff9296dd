#include "KZColorPicker/ColorPicker/KZColorPickerAlphaSlider.h"
#include "KZColorPicker/ColorPicker/KZColorPickerBrightnessSlider.h"

#include "CoreGraphics/CGColorSpace.h"
#include "PickerControlTestSupport.h"
#include "support/ControlTestSupport.h"

#include <vector>

namespace {

using namespace PickerControlTestSupport;

class RampSlider : public ControlTestSupport::ControlTest { };

std::vector<CGFloat> rgba(const CGColorRef& color)
{
    const CGFloat* c = CGColorGetComponents(color);
    if (CGColorGetNumberOfComponents(color) == 2)
        return { c[0], c[0], c[0], c[1] };
    return { c[0], c[1], c[2], c[3] };
}

TEST_F(RampSlider, LaysTheRampInsideTheSliderByOrientation)
{
    struct Case {
        CGRect frame, ramp;
        CGPoint brightnessCentre, alphaCentre, alphaEnd;
    } cases[] = {
        { { { 24, 277 }, { 272, 38 } }, { { 18, 6 }, { 236, 26 } }, { 136, 19 }, { 118, 13 }, { 1, 0.5f } },
        { { { 0, 0 }, { 38, 300 } }, { { 6, 18 }, { 26, 264 } }, { 19, 150 }, { 13, 132 }, { 0.5f, 1 } },
        // Square counts as vertical: the alpha ramp runs down, the brightness ramp still across.
        { { { 0, 0 }, { 60, 60 } }, { { 6, 18 }, { 48, 24 } }, { 30, 30 }, { 24, 12 }, { 0.5f, 1 } },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.frame));
        auto brightness = KZColorPickerBrightnessSlider::initWithFrame(c.frame);
        auto ramp = brightness->gradientLayer();
        EXPECT_EQ(ramp->bounds(), c.ramp);
        EXPECT_EQ(ramp->position(), c.brightnessCentre);
        EXPECT_EQ(ramp->endPoint(), CGPointMake(1, 0.5f));
        EXPECT_EQ(brightness->layer()->sublayers(), (std::vector<CALayerRef> { ramp, brightness->sliderKnobView()->layer() }));

        auto alpha = KZColorPickerAlphaSlider::initWithFrame(c.frame);
        EXPECT_EQ(alpha->checkerboard()->frame(), c.ramp);
        EXPECT_EQ(alpha->gradientLayer()->bounds(), c.ramp);
        EXPECT_EQ(alpha->gradientLayer()->position(), c.alphaCentre);
        EXPECT_EQ(alpha->gradientLayer()->endPoint(), c.alphaEnd);
        EXPECT_EQ(alpha->subviews(), (std::vector<UIViewRef> { alpha->checkerboard(), alpha->sliderKnobView() }));
        EXPECT_EQ(alpha->checkerboard()->layer()->sublayers(), std::vector<CALayerRef> { alpha->gradientLayer() });
    }
}

TEST_F(RampSlider, LooksAsEachKindShould)
{
    auto brightness = KZColorPickerBrightnessSlider::initWithFrame(CGRectMake(0, 0, 272, 38));
    auto alpha = KZColorPickerAlphaSlider::initWithFrame(CGRectMake(0, 0, 272, 38));
    for (auto [ramp, cornerRadius] : { std::pair { brightness->gradientLayer(), 6 }, std::pair { alpha->gradientLayer(), 4 } }) {
        SCOPED_TRACE(cornerRadius);
        EXPECT_EQ(ramp->cornerRadius(), cornerRadius);
        EXPECT_EQ(ramp->borderWidth(), 2);
        EXPECT_EQ(rgba(ramp->borderColor()), (std::vector<CGFloat> { 1, 1, 1, 1 }));
    }
    auto checkerboard = alpha->checkerboard();
    EXPECT_EQ(checkerboard->layer()->cornerRadius(), 6);
    EXPECT_TRUE(checkerboard->clipsToBounds());
    EXPECT_FALSE(checkerboard->isUserInteractionEnabled());
    EXPECT_EQ(CGColorSpaceGetModel(CGColorGetColorSpace(checkerboard->backgroundColor()->CGColor())), kCGColorSpaceModelPattern);
}

TEST_F(RampSlider, RunsFromTheKeyColourAsGivenAtOnce)
{
    struct Case {
        const char* name;
        UIColorRef key;
        std::vector<CGFloat> first, alphaLast;
    } cases[] = {
        { "initial white", nullptr, { 1, 1, 1, 1 }, { 1, 1, 1, 0 } },
        { "translucent", UIColor::colorWithRed(0.2f, 0.4f, 0.6f, 0.5f), { 0.2f, 0.4f, 0.6f, 0.5f }, { 0.2f, 0.4f, 0.6f, 0 } },
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto brightness = KZColorPickerBrightnessSlider::initWithFrame(CGRectMake(0, 0, 272, 38));
        auto alpha = KZColorPickerAlphaSlider::initWithFrame(CGRectMake(0, 0, 272, 38));
        runLoopTurn();
        if (c.key) {
            brightness->setKeyColor(c.key);
            alpha->setKeyColor(c.key);
        }
        auto& brightnessColors = brightness->gradientLayer()->colors();
        ASSERT_EQ(brightnessColors.size(), 2u);
        EXPECT_EQ(rgba(brightnessColors[0]), c.first);
        EXPECT_EQ(rgba(brightnessColors[1]), (std::vector<CGFloat> { 0, 0, 0, 1 }));
        auto& alphaColors = alpha->gradientLayer()->colors();
        ASSERT_EQ(alphaColors.size(), 2u);
        EXPECT_EQ(rgba(alphaColors[0]), c.first);
        EXPECT_EQ(rgba(alphaColors[1]), c.alphaLast);
        EXPECT_TRUE(brightness->gradientLayer()->animationKeys().empty() && alpha->gradientLayer()->animationKeys().empty());
    }
}

TEST_F(RampSlider, ANewFrameMovesTheRampWithItsImplicitAnimationAndReplacesTheKnob)
{
    auto brightness = KZColorPickerBrightnessSlider::initWithFrame(CGRectMake(24, 277, 272, 38));
    auto alpha = KZColorPickerAlphaSlider::initWithFrame(CGRectMake(24, 321, 272, 38));
    brightness->setValue(0.5f);
    alpha->setValue(0.5f);
    runLoopTurn();
    brightness->setFrame(CGRectMake(300, 62, 165, 50));
    alpha->setFrame(CGRectMake(300, 105, 165, 50));

    EXPECT_EQ(brightness->gradientLayer()->bounds(), CGRectMake(18, 6, 129, 38));
    EXPECT_EQ(brightness->gradientLayer()->position(), CGPointMake(82.5f, 25));
    EXPECT_EQ(alpha->checkerboard()->frame(), CGRectMake(18, 6, 129, 38));
    EXPECT_EQ(alpha->gradientLayer()->position(), CGPointMake(64.5f, 19));
    // 0.5 · 125 − 12 = 50.5 rounds to 51; across, (50 − 24) / 2 = 13.
    EXPECT_EQ(brightness->sliderKnobView()->center(), CGPointMake(83, 25));
    EXPECT_EQ(alpha->sliderKnobView()->center(), CGPointMake(83, 25));
    for (const CALayerRef& ramp : { CALayerRef(brightness->gradientLayer()), CALayerRef(alpha->gradientLayer()) }) {
        ASSERT_EQ(ramp->animationKeys().size(), 2u);
        EXPECT_DOUBLE_EQ(ramp->animationForKey("bounds")->duration(), CATransaction::defaultAnimationDuration);
        EXPECT_DOUBLE_EQ(ramp->animationForKey("position")->duration(), CATransaction::defaultAnimationDuration);
    }

    // The orientation of creation stays, with it the insets along the original axis.
    alpha->setFrame(CGRectMake(0, 0, 38, 272));
    EXPECT_TRUE(alpha->isHorizontal());
    EXPECT_EQ(alpha->checkerboard()->frame(), CGRectMake(18, 6, 2, 260));
}

TEST_F(RampSlider, RendersTheRampsUnderTheKnob)
{
    auto brightness = KZColorPickerBrightnessSlider::initWithFrame(CGRectMake(0, 0, 272, 38));
    auto alpha = KZColorPickerAlphaSlider::initWithFrame(CGRectMake(0, 0, 272, 38));
    for (auto [slider, darkEnd] : { std::pair<KZUnitSlider*, bool> { brightness.get(), true }, std::pair<KZUnitSlider*, bool> { alpha.get(), false } }) {
        SCOPED_TRACE(darkEnd ? "brightness" : "alpha");
        slider->setValue(1);
        UIImageRef atOne = renderViewToImage(*slider, 2);
        ASSERT_TRUE(atOne);
        // White (the key colour) next to value 1; black, or the grey checkerboard, next to value 0.
        EXPECT_TRUE(isNearWhite(pixelAtPoint(atOne, 22, 19)));
        TestSupport::Pixel far = pixelAtPoint(atOne, 244, 19);
        EXPECT_EQ(far.alpha, 255);
        EXPECT_EQ(far.red < 60, darkEnd) << ::testing::PrintToString(far);
        EXPECT_FALSE(isNearWhite(far));
        EXPECT_EQ(pixelAtPoint(atOne, 100, 2).alpha, 0) << "nothing outside the ramp";
        // At value 0 the knob (centre 252) lays its white ring over the far end.
        slider->setValue(0);
        EXPECT_TRUE(isNearWhite(pixelAtPoint(renderViewToImage(*slider, 2), 244, 19)));
    }
}

}
