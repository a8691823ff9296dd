#pragma once

#include "Foundation/NSBundle.h"
#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIWindow.h"
#include "host/TouchInjector.h"

#include <gtest/gtest.h>
#include <memory>

namespace ControlTestSupport {

class TouchUpInsideCounter {
public:
    int count = 0;
    void tapped(const std::shared_ptr<UIControl>&) { ++count; }
};

// Views under test live in a shown window as large as the screen, so window points are
// screen points and touches take the application's one event path. Bundle pictures come
// from the ones the build drew. Each event is a run-loop turn ending in a commit; a test
// that builds views runs a turn itself before it acts, as the turn that built them would.
class ControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(TESSARY8_PICTURES_DIR)
        NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
#endif
        m_window = UIWindow::initWithFrame(CGRectMake(0, 0, 320, 480));
        m_window->makeKeyAndVisible();
        runLoopTurn();
    }
    void TearDown() override
    {
        EXPECT_EQ(CATransaction::depth(), 0u) << "a transaction was left open";
        EXPECT_FALSE(m_finger.isTouching()) << "a finger was left on the screen";
        m_window->setHidden(true);
        runLoopTurn();
        NSBundle::mainBundle().setResourcePath({});
    }

    // One turn of the main run loop that waits for nothing: it commits what changed.
    static void runLoopTurn() { NSRunLoop::mainRunLoop().runOnce(false); }

    // Makes the view the one in the window (replacing any other), counts a control's touch-ups
    // inside, lays it out and commits it.
    template<class View>
    std::shared_ptr<View> placeInWindow(std::shared_ptr<View> view)
    {
        auto previous = m_window->subviews();
        for (auto& subview : previous)
            subview->removeFromSuperview();
        m_window->addSubview(view);
        if constexpr (std::is_base_of_v<UIControl, View>)
            view->addTarget(m_counter, &TouchUpInsideCounter::tapped, UIControlEventTouchUpInside);
        runLoopTurn();
        return view;
    }

    // Presses the control at down (window points) and ends the touch with finish: the veil
    // shows at once (a 0.001 s transaction) and fades back with the default animation.
    template<class Control>
    void expectVeilCycle(const std::shared_ptr<Control>& control, CGPoint down, void (*finish)(TouchInjector&), int touchUpsInside)
    {
        m_counter->count = 0;
        auto veil = control->touchDownLayer();
        ASSERT_TRUE(m_finger.touchDown(down));
        ASSERT_TRUE(control->isTracking());
        EXPECT_FLOAT_EQ(veil->opacity(), 0.2f);
        auto fadeIn = veil->animationForKey("opacity");
        ASSERT_TRUE(fadeIn);
        EXPECT_DOUBLE_EQ(fadeIn->duration(), 0.001);

        finish(m_finger);
        EXPECT_EQ(veil->opacity(), 0);
        auto fadeOut = veil->animationForKey("opacity");
        ASSERT_TRUE(fadeOut);
        EXPECT_DOUBLE_EQ(fadeOut->duration(), CATransaction::defaultAnimationDuration);
        EXPECT_EQ(m_counter->count, touchUpsInside);
    }

    UIWindowRef m_window;
    TouchInjector m_finger;
    std::shared_ptr<TouchUpInsideCounter> m_counter = std::make_shared<TouchUpInsideCounter>();
};

}
