#include "UIKit/UIControl.h"
#include "support/ControlTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Records the control events it receives and the tracking calls the control makes.
class RecordingControl : public UIControl {
public:
    using UIControl::UIControl;
    std::vector<std::string> calls;
    bool continueAnswer = true;

    bool beginTrackingWithTouch(const UITouch& touch, const UIEvent&) override
    {
        calls.push_back("begin " + point(touch));
        return true;
    }
    bool continueTrackingWithTouch(const UITouch& touch, const UIEvent&) override
    {
        calls.push_back("continue " + point(touch));
        return continueAnswer;
    }
    void endTrackingWithTouch(const UITouch* touch, const UIEvent*) override { calls.push_back("end " + point(*touch)); }
    void cancelTrackingWithEvent(const UIEvent*) override { calls.push_back("cancel"); }

private:
    std::string point(const UITouch& touch) const
    {
        CGPoint p = touch.locationInView(this);
        return std::to_string(static_cast<int>(p.x)) + "," + std::to_string(static_cast<int>(p.y));
    }
};

class Listener {
public:
    std::vector<unsigned> events;
    void valueChanged(const std::shared_ptr<UIControl>&) { events.push_back(UIControlEventValueChanged); }
    void touchDown(const std::shared_ptr<UIControl>&) { events.push_back(UIControlEventTouchDown); }
    void upInside(const std::shared_ptr<UIControl>&) { events.push_back(UIControlEventTouchUpInside); }
    void upOutside(const std::shared_ptr<UIControl>&) { events.push_back(UIControlEventTouchUpOutside); }
};

class TouchInjectorTest : public ControlTestSupport::ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        control->setFrame(CGRectMake(100, 100, 50, 50));
        placeInWindow(control);
        control->addTarget(listener, &Listener::touchDown, UIControlEventTouchDown);
        control->addTarget(listener, &Listener::upInside, UIControlEventTouchUpInside);
        control->addTarget(listener, &Listener::upOutside, UIControlEventTouchUpOutside);
    }
    std::shared_ptr<RecordingControl> control = objc::alloc<RecordingControl>();
    std::shared_ptr<Listener> listener = std::make_shared<Listener>();
    TouchInjector& finger = m_finger;
};

TEST_F(TouchInjectorTest, ADragIsTrackedInTheControlsCoordinatesUntilLiftOff)
{
    finger.drag({ 110, 110 }, { 130, 120 }, 2);
    EXPECT_EQ(control->calls, (std::vector<std::string> { "begin 10,10", "continue 20,15", "continue 30,20", "end 30,20" }));
    EXPECT_EQ(listener->events, (std::vector<unsigned> { UIControlEventTouchDown, UIControlEventTouchUpInside }));
    EXPECT_FALSE(control->isHighlighted());
    EXPECT_FALSE(control->isTracking());
}

TEST_F(TouchInjectorTest, LiftingFarOutsideIsTouchUpOutsideAndCancelCallsCancelTracking)
{
    finger.drag({ 110, 110 }, { 300, 400 }, 1);
    EXPECT_EQ(listener->events.back(), UIControlEventTouchUpOutside);

    // Within the platform's margin of 70 points a lift-off still counts as inside.
    listener->events.clear();
    finger.drag({ 110, 110 }, { 200, 100 }, 1);
    EXPECT_EQ(listener->events.back(), UIControlEventTouchUpInside);

    control->calls.clear();
    finger.touchDown({ 120, 120 });
    EXPECT_TRUE(control->isHighlighted());
    finger.touchCancel();
    EXPECT_EQ(control->calls.back(), "cancel");
    EXPECT_FALSE(control->isHighlighted());
}

TEST_F(TouchInjectorTest, ContinueAnsweringFalseStopsTrackingButNotTheTouch)
{
    control->continueAnswer = false;
    finger.drag({ 110, 110 }, { 120, 110 }, 3);
    EXPECT_EQ(control->calls, (std::vector<std::string> { "begin 10,10", "continue 13,10" }));
    EXPECT_EQ(listener->events.back(), UIControlEventTouchUpInside);
}

TEST_F(TouchInjectorTest, TargetsAreNotOwnedAndMayBeRemoved)
{
    control->addTarget(listener, &Listener::valueChanged, UIControlEventValueChanged);
    control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(listener->events.size(), 1u);
    control->removeTarget(listener.get(), UIControlEventValueChanged);
    control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(listener->events.size(), 1u);

    std::weak_ptr<Listener> gone = listener;
    listener.reset();
    EXPECT_TRUE(gone.expired());
    control->sendActionsForControlEvents(UIControlEventAllEvents);  // a vanished target is skipped
    EXPECT_EQ(control->numberOfTargetActions(UIControlEventTouchDown), 1u);
}

TEST_F(TouchInjectorTest, TouchesOutsideEveryViewGoNowhere)
{
    EXPECT_FALSE(finger.touchDown({ -10, -10 })) << "off the screen";
    EXPECT_FALSE(finger.isTouching());
    m_window->setHidden(true);
    EXPECT_FALSE(finger.touchDown({ 120, 120 })) << "a hidden window takes no touch";
    m_window->makeKeyAndVisible();
    EXPECT_TRUE(finger.touchDown({ 5, 5 }));
    finger.touchUp({ 5, 5 });
    EXPECT_TRUE(control->calls.empty());
}

}
