#include "Foundation/NSBundle.h"
#include "KZColorPicker/ColorPicker/KZColorCompareView.h"
#include "KZColorPicker/ColorPicker/KZColorPicker.h"
#include "KZColorPicker/ColorPicker/KZColorPickerAlphaSlider.h"
#include "KZColorPicker/ColorPicker/KZColorPickerBrightnessSlider.h"
#include "KZColorPicker/ColorPicker/KZColorPickerHSWheel.h"
#include "KZColorPicker/ColorPicker/KZColorPickerSwatchView.h"
#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIDevice.h"
#include "UIKit/UIViewRendering.h"
#include "host/Snapshot.h"
#include "support/ControlTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class ValueChangedCounter {
public:
    int count = 0;
    void changed(const std::shared_ptr<UIControl>&) { ++count; }
};

class ColorPickerTest : public ControlTestSupport::ControlTest {
protected:
    // In the window, counting value-changed events.
    std::shared_ptr<KZColorPicker> makePicker(CGRect frame)
    {
        auto picker = KZColorPicker::initWithFrame(frame);
        picker->addTarget(m_changes, &ValueChangedCounter::changed, UIControlEventValueChanged);
        return placeInWindow(picker);
    }

    std::shared_ptr<ValueChangedCounter> m_changes = std::make_shared<ValueChangedCounter>();
};

void expectRect(CGRect actual, CGRect expected)
{
    EXPECT_NEAR(actual.origin.x, expected.origin.x, 1e-3);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, 1e-3);
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-3);
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-3);
}

bool hasAnimationBelow(const CALayer& layer)
{
    if (!layer.animationKeys().empty())
        return true;
    for (auto& sublayer : layer.sublayers()) {
        if (hasAnimationBelow(*sublayer))
            return true;
    }
    return false;
}

HSVType hsvOf(const UIColorRef& color)
{
    return RGB_to_HSV(rgbWithUIColor(color));
}

TEST_F(ColorPickerTest, SetupBuildsTheBackdropAndPartsInOrder)
{
    auto picker = makePicker(CGRectMake(0, 0, 320, 460));
    auto gradient = std::dynamic_pointer_cast<CAGradientLayer>(picker->layer()->sublayers().front());
    ASSERT_TRUE(gradient);
    expectRect(gradient->frame(), CGRectMake(0, 0, 320, 460));
    ASSERT_EQ(gradient->colors().size(), 2u);
    EXPECT_TRUE(CGColorEqualToColor(gradient->colors()[0], KZColorPicker::backdropTopColor()->CGColor()));

    const auto& subviews = picker->subviews();
    ASSERT_EQ(subviews.size(), 8u);
    EXPECT_EQ(subviews[0], picker->colorWheel());
    EXPECT_EQ(subviews[1], picker->currentColorView());
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(subviews[2 + i], picker->swatches()[i]);
    expectRect(picker->colorWheel()->frame(), CGRectMake(40, 15, 240, 240));
    expectRect(picker->currentColorView()->frame(), CGRectMake(10, 10, 44, 44));
    EXPECT_FALSE(picker->brightnessSlider());
    EXPECT_FALSE(picker->alphaSlider());

    EXPECT_TRUE(CGColorEqualToColor(picker->selectedColor()->CGColor(), UIColor::whiteColor()->CGColor()));
    EXPECT_FALSE(picker->oldColor());
    auto background = picker->backgroundColor()->CGColor()->components();
    EXPECT_FLOAT_EQ(background[0], 0.225f);

    const float hues[] = { 0, 1.0f / 6, 1.0f / 3, 0.5f, 2.0f / 3, 5.0f / 6 };
    for (size_t i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        HSVType hsv = hsvOf(picker->swatches()[i]->color());
        EXPECT_NEAR(std::fmod(hsv.h, 1.0f), hues[i], 1e-5);
        EXPECT_FLOAT_EQ(hsv.s, 1);
    }
}

TEST_F(ColorPickerTest, ATabletGetsAClearBackground)
{
    UIDevice::currentDevice()->setUserInterfaceIdiom(UIUserInterfaceIdiomPad);
    auto picker = makePicker(CGRectMake(0, 0, 320, 460));
    UIDevice::currentDevice()->setUserInterfaceIdiom(UIUserInterfaceIdiomPhone);
    EXPECT_EQ(CGColorGetAlpha(picker->backgroundColor()->CGColor()), 0);
}

TEST_F(ColorPickerTest, SwatchesAndSlidersFollowTheShapeOfTheArea)
{
    struct Case {
        CGRect frame;
        std::vector<CGPoint> swatchOrigins;
        CGRect brightness;
        CGRect alpha;
    };
    const Case cases[] = {
        { CGRectMake(0, 0, 320, 460),
            { { 25.333f, 300 }, { 71.333f, 300 }, { 117.333f, 300 }, { 163.333f, 300 }, { 209.333f, 300 }, { 255.333f, 300 } },
            CGRectMake(24, 277, 272, 38), CGRectMake(24, 321, 272, 38) },
        { CGRectMake(0, 0, 480, 300),
            { { 310.667f, 140 }, { 363.667f, 140 }, { 416.667f, 140 }, { 308.667f, 193 }, { 361.667f, 193 }, { 414.667f, 193 } },
            CGRectMake(300, 62, 165, 38), CGRectMake(300, 105, 165, 38) },
        { CGRectMake(0, 0, 400, 400),
            { { 310.667f, 140 }, { 363.667f, 140 }, { 416.667f, 140 }, { 308.667f, 193 }, { 361.667f, 193 }, { 414.667f, 193 } },
            CGRectMake(300, 112, 165, 38), CGRectMake(300, 155, 165, 38) },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.frame.size.width << "x" << test.frame.size.height);
        auto picker = makePicker(test.frame);
        picker->setBrightnessSlider(KZColorPickerBrightnessSlider::initWithFrame(CGRectZero));
        picker->setAlphaSlider(KZColorPickerAlphaSlider::initWithFrame(CGRectZero));
        picker->fixLocations();
        for (size_t i = 0; i < 6; ++i) {
            SCOPED_TRACE(i);
            expectRect(picker->swatches()[i]->frame(), CGRect { test.swatchOrigins[i], { 36, 36 } });
        }
        expectRect(picker->brightnessSlider()->frame(), test.brightness);
        expectRect(picker->alphaSlider()->frame(), test.alpha);
    }
}

TEST_F(ColorPickerTest, TappingASwatchSelectsItsColourAndAnimatesTheKnob)
{
    auto picker = makePicker(CGRectMake(0, 0, 320, 460));
    m_changes->count = 0;
    TouchInjector& finger = m_finger;
    CGRect third = picker->swatches()[2]->frame();
    finger.tap(CGPointMake(CGRectGetMidX(third), CGRectGetMidY(third)));
    EXPECT_EQ(m_changes->count, 1);
    HSVType selected = hsvOf(picker->selectedColor());
    EXPECT_NEAR(selected.h, 1.0f / 3, 1e-5);
    EXPECT_FLOAT_EQ(selected.s, 1);
    EXPECT_FLOAT_EQ(selected.v, 1);
    EXPECT_NEAR(picker->colorWheel()->currentHSV().h, 1.0f / 3, 1e-5);
    EXPECT_EQ(picker->currentColorView()->currentColor(), picker->selectedColor());
    EXPECT_TRUE(hasAnimationBelow(*picker->colorWheel()->layer()));
}

TEST_F(ColorPickerTest, TappingTheCompareViewReturnsToTheOldColour)
{
    auto picker = makePicker(CGRectMake(0, 0, 320, 460));
    picker->setOldColor(UIColor::redColor());
    EXPECT_EQ(picker->currentColorView()->oldColor(), picker->oldColor());
    picker->setSelectedColor(UIColor::blueColor());
    m_changes->count = 0;
    m_finger.tap(CGPointMake(32, 32));
    EXPECT_EQ(m_changes->count, 1);
    EXPECT_TRUE(CGColorEqualToColor(picker->selectedColor()->CGColor(), UIColor::redColor()->CGColor()));
}

TEST_F(ColorPickerTest, EverySetSendsValueChangedAndDrivesAssignedSliders)
{
    auto picker = makePicker(CGRectMake(0, 0, 320, 460));
    m_changes->count = 0;
    auto color = UIColor::colorWithRed(0.2f, 0.4f, 0.6f, 0.5f);
    picker->setSelectedColor(color);
    picker->setSelectedColor(color);
    EXPECT_EQ(m_changes->count, 2);

    auto alphaSlider = KZColorPickerAlphaSlider::initWithFrame(CGRectZero);
    auto brightnessSlider = KZColorPickerBrightnessSlider::initWithFrame(CGRectZero);
    picker->setAlphaSlider(alphaSlider);
    picker->setBrightnessSlider(brightnessSlider);
    picker->setSelectedColor(color);
    EXPECT_FLOAT_EQ(alphaSlider->value(), 0.5f);
    EXPECT_FLOAT_EQ(brightnessSlider->value(), 0.6f);
    EXPECT_FLOAT_EQ(CGColorGetAlpha(picker->selectedColor()->CGColor()), 0.5f);

    // Without sliders the wheel's colour is at full brightness and opaque.
    picker->setAlphaSlider(nullptr);
    picker->setBrightnessSlider(nullptr);
    picker->colorWheelColorChanged(picker->colorWheel());
    EXPECT_FLOAT_EQ(hsvOf(picker->selectedColor()).v, 1);
    EXPECT_FLOAT_EQ(CGColorGetAlpha(picker->selectedColor()->CGColor()), 1);
    picker->layoutSubviews();
}

TEST_F(ColorPickerTest, RendersAsAPersonSeesIt)
{
    auto picker = makePicker(CGRectMake(0, 0, 320, 460));
    picker->setOldColor(UIColor::colorWithRed(1, 0.5f, 0, 1));
    picker->setSelectedColor(UIColor::colorWithRed(0.2f, 0.45f, 0.9f, 1));
    auto image = renderViewToImage(*picker, 2);
    ASSERT_TRUE(image);
    ASSERT_EQ(CGImageGetWidth(image->CGImage()), 640u);
    auto pixel = [&](int x, int y) { return image->CGImage()->pixelAt(static_cast<size_t>(x * 2), static_cast<size_t>(y * 2)); };
    auto red = [](std::uint32_t p) { return (p >> 16) & 0xff; };
    auto blue = [](std::uint32_t p) { return p & 0xff; };
    // The backdrop runs from the darker blue at the top to the lighter one at the bottom.
    EXPECT_NEAR(red(pixel(310, 3)), 29, 6);
    EXPECT_NEAR(blue(pixel(310, 455)), 255, 6);
    // The wheel's centre is white.
    EXPECT_GT(red(pixel(160, 135)), 200);
    EXPECT_TRUE(writeViewSnapshot(*picker, 2, TestSupport::binaryDirectory() / "colour-picker.png"));
}

}
