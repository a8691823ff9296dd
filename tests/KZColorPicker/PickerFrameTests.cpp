// The picker on a screen that redraws only what changed: every frame it presents equals
// the whole screen composited afresh, through drags, taps, fades and full redisplays.

#include "KZColorPicker/ColorPicker/KZColorPicker.h"
#include "KZColorPicker/ColorPicker/KZColorPickerSwatchView.h"
#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIScreen.h"
#include "host/HeadlessDisplay.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class PickerFrames : public ControlTestSupport::ControlTest {
protected:
    void SetUp() override
    {
        m_oldScale = m_screen->scale();
        m_screen->setScale(2);
        m_screen->setDisplay(m_display);
        ControlTest::SetUp();
    }
    void TearDown() override
    {
        ControlTest::TearDown();
        m_screen->setDisplay(nullptr);
        m_screen->setScale(m_oldScale);
    }

    std::shared_ptr<UIScreen> m_screen = UIScreen::mainScreen();
    std::shared_ptr<HeadlessDisplay> m_display = std::make_shared<HeadlessDisplay>();
    CGFloat m_oldScale = 1;
};

TEST_F(PickerFrames, EveryPresentedFrameEqualsAFreshComposite)
{
    auto picker = placeInWindow(KZColorPicker::initWithFrame(CGRectMake(0, 0, 320, 460)));
    auto redisplayAll = [&] {
        picker->setNeedsDisplay();
        for (auto& subview : picker->subviews())
            subview->setNeedsDisplay();
    };
    struct Step {
        const char* label;
        std::function<void()> act;
    };
    const Step steps[] = {
        { "every view displayed again", redisplayAll },
        { "finger down on the wheel", [&] { m_finger.touchDown(CGPointMake(160, 135)); } },
        { "drag on the wheel", [&] { m_finger.touchMove(CGPointMake(200, 150)); } },
        { "drag further", [&] { m_finger.touchMove(CGPointMake(130, 90)); } },
        { "finger up", [&] { m_finger.touchUp(CGPointMake(130, 90)); } },
        { "swatch pressed", [&] { m_finger.touchDown(picker->swatches().front()->center()); } },
        { "swatch released", [&] { m_finger.touchUp(picker->swatches().front()->center()); } },
        { "knob animation halfway", [] { CAAnimationClock::shared().advance(0.15); } },
        { "knob animation ended", [] { CAAnimationClock::shared().advance(1); } },
        { "several swatches and the compare view displayed again", [&] {
             for (auto& swatch : picker->swatches())
                 swatch->setNeedsDisplay();
             redisplayAll();
         } },
        { "brightness and alpha changed", [&] {
             picker->setSelectedColor(UIColor::colorWithRed(0.3f, 0.2f, 0.1f, 0.5f), false);
         } },
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.label);
        step.act();
        runLoopTurn();
        auto fresh = m_screen->compositeFrame();
        ASSERT_TRUE(fresh);
        EXPECT_TRUE(TestSupport::samePixels(m_display->lastFrame(), fresh));
    }
}

}
