#include "UIKit/UIControl.h"
#include "host/TouchInjector.h"

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

struct Scene {
    UIViewRef root = UIView::initWithFrame(CGRectMake(0, 0, 320, 480));
    std::shared_ptr<RecordingControl> control = objc::alloc<RecordingControl>();
    std::shared_ptr<Listener> listener = std::make_shared<Listener>();
    Scene()
    {
        control->setFrame(CGRectMake(100, 100, 50, 50));
        root->addSubview(control);
        control->addTarget(listener, &Listener::touchDown, UIControlEventTouchDown);
        control->addTarget(listener, &Listener::upInside, UIControlEventTouchUpInside);
        control->addTarget(listener, &Listener::upOutside, UIControlEventTouchUpOutside);
    }
};

TEST(TouchInjector, ADragIsTrackedInTheControlsCoordinatesUntilLiftOff)
{
    Scene scene;
    TouchInjector finger(scene.root);
    finger.drag({ 110, 110 }, { 130, 120 }, 2);
    EXPECT_EQ(scene.control->calls, (std::vector<std::string> { "begin 10,10", "continue 20,15", "continue 30,20", "end 30,20" }));
    EXPECT_EQ(scene.listener->events, (std::vector<unsigned> { UIControlEventTouchDown, UIControlEventTouchUpInside }));
    EXPECT_FALSE(scene.control->isHighlighted());
    EXPECT_FALSE(scene.control->isTracking());
}

TEST(TouchInjector, LiftingFarOutsideIsTouchUpOutsideAndCancelCallsCancelTracking)
{
    Scene scene;
    TouchInjector finger(scene.root);
    finger.drag({ 110, 110 }, { 300, 400 }, 1);
    EXPECT_EQ(scene.listener->events.back(), UIControlEventTouchUpOutside);

    // Within the platform's margin of 70 points a lift-off still counts as inside.
    scene.listener->events.clear();
    finger.drag({ 110, 110 }, { 200, 100 }, 1);
    EXPECT_EQ(scene.listener->events.back(), UIControlEventTouchUpInside);

    scene.control->calls.clear();
    finger.touchDown({ 120, 120 });
    EXPECT_TRUE(scene.control->isHighlighted());
    finger.touchCancel();
    EXPECT_EQ(scene.control->calls.back(), "cancel");
    EXPECT_FALSE(scene.control->isHighlighted());
}

TEST(TouchInjector, ContinueAnsweringFalseStopsTrackingButNotTheTouch)
{
    Scene scene;
    scene.control->continueAnswer = false;
    TouchInjector finger(scene.root);
    finger.drag({ 110, 110 }, { 120, 110 }, 3);
    EXPECT_EQ(scene.control->calls, (std::vector<std::string> { "begin 10,10", "continue 13,10" }));
    EXPECT_EQ(scene.listener->events.back(), UIControlEventTouchUpInside);
}

TEST(TouchInjector, TargetsAreNotOwnedAndMayBeRemoved)
{
    Scene scene;
    scene.control->addTarget(scene.listener, &Listener::valueChanged, UIControlEventValueChanged);
    scene.control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(scene.listener->events.size(), 1u);
    scene.control->removeTarget(scene.listener.get(), UIControlEventValueChanged);
    scene.control->sendActionsForControlEvents(UIControlEventValueChanged);
    EXPECT_EQ(scene.listener->events.size(), 1u);

    std::weak_ptr<Listener> gone = scene.listener;
    scene.listener.reset();
    EXPECT_TRUE(gone.expired());
    scene.control->sendActionsForControlEvents(UIControlEventAllEvents);  // a vanished target is skipped
    EXPECT_EQ(scene.control->numberOfTargetActions(UIControlEventTouchDown), 1u);
}

TEST(TouchInjector, TouchesOutsideEveryViewGoNowhere)
{
    Scene scene;
    TouchInjector finger(scene.root);
    EXPECT_EQ(finger.touchDown({ -10, -10 }), nullptr);
    EXPECT_FALSE(finger.isTouching());
    EXPECT_EQ(finger.touchDown({ 5, 5 }), scene.root);
    finger.touchUp({ 5, 5 });
    EXPECT_TRUE(scene.control->calls.empty());
}

}
