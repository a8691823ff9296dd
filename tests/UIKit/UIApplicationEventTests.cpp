#include "UIKit/UIApplication.h"
#include "UIKit/UIControl.h"
#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIPanGestureRecognizer.h"
#include "UIKit/UIWindow.h"
#include "support/ControlTestSupport.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// Records what reaches it, one entry per call: the phase, and for each touch its finger's
// point in the view; the event's whole set is noted too.
class RecordingView : public UIView {
public:
    using UIView::UIView;
    std::vector<std::string> calls;
    size_t touchesForView = 0, touchesForWindow = 0;

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override { record("began", touches, event); }
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override { record("moved", touches, event); }
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override { record("ended", touches, event); }
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override { record("cancelled", touches, event); }

private:
    void record(const char* phase, const UITouchSet& touches, const UIEvent& event)
    {
        std::string entry = phase;
        for (auto& touch : touches) {
            CGPoint p = touch->locationInView(this);
            entry += " " + std::to_string(static_cast<int>(p.x)) + "," + std::to_string(static_cast<int>(p.y));
        }
        entry += " of " + std::to_string(event.allTouches().size());
        calls.push_back(entry);
        touchesForView = event.touchesForView(this).size();
        touchesForWindow = event.touchesForWindow(window().get()).size();
    }
};

class EventPath : public ControlTestSupport::ControlTest {
protected:
    std::shared_ptr<RecordingView> recordingViewAt(CGRect frame)
    {
        auto view = objc::alloc<RecordingView>();
        view->setFrame(frame);
        return placeInWindow(view);
    }
};

}

TEST_F(EventPath, TwoFingersInOneFrameReachAViewAsOneEvent)
{
    auto view = recordingViewAt(CGRectMake(100, 100, 100, 100));
    view->setMultipleTouchEnabled(true);
    m_finger.sendFrame({ { 1, UITouchPhaseBegan, { 110, 110 } }, { 2, UITouchPhaseBegan, { 190, 190 } } });
    m_finger.sendFrame({ { 2, UITouchPhaseMoved, { 180, 150 } } });
    EXPECT_EQ(view->touchesForView, 2u) << "the finger that stayed is in the set, stationary";
    EXPECT_EQ(view->touchesForWindow, 2u);
    m_finger.sendFrame({ { 1, UITouchPhaseEnded, { 110, 110 } }, { 2, UITouchPhaseEnded, { 180, 150 } } });
    EXPECT_EQ(view->calls, (std::vector<std::string> { "began 10,10 90,90 of 2", "moved 80,50 of 2", "ended 10,10 80,50 of 2" }));
    EXPECT_EQ(UIApplication::sharedApplication()->activeTouchCount(), 0u);
}

TEST_F(EventPath, AViewTakingOneFingerAtATimeHearsOnlyTheFirst)
{
    auto view = recordingViewAt(CGRectMake(100, 100, 100, 100));
    m_finger.sendFrame({ { 1, UITouchPhaseBegan, { 110, 110 } } });
    m_finger.sendFrame({ { 2, UITouchPhaseBegan, { 150, 150 } } });
    m_finger.sendFrame({ { 2, UITouchPhaseEnded, { 150, 150 } }, { 1, UITouchPhaseEnded, { 120, 110 } } });
    EXPECT_EQ(view->calls, (std::vector<std::string> { "began 10,10 of 1", "ended 20,10 of 2" }));
}

TEST_F(EventPath, ATouchStaysWithItsViewAndKeepsItAliveUntilItEnds)
{
    auto view = recordingViewAt(CGRectMake(100, 100, 100, 100));
    std::weak_ptr<RecordingView> weakView = view;
    m_finger.touchDown({ 150, 150 });
    view->removeFromSuperview();
    view.reset();
    ASSERT_FALSE(weakView.expired()) << "the touch holds its view";
    m_finger.touchMove({ 10, 10 });
    m_finger.touchUp({ 10, 10 });
    EXPECT_TRUE(weakView.expired()) << "let go once the touch ended";
}

TEST_F(EventPath, WindowsAreHitTestedFrontToBackByLevel)
{
    auto back = recordingViewAt(CGRectMake(0, 0, 320, 480));
    auto alertWindow = UIWindow::initWithFrame(CGRectMake(60, 200, 200, 100));
    alertWindow->setWindowLevel(UIWindowLevelAlert);
    auto front = objc::alloc<RecordingView>();
    front->setFrame(alertWindow->bounds());
    alertWindow->addSubview(front);
    alertWindow->makeKeyAndVisible();
    // Made visible after it, but at a lower level: stays behind the alert.
    auto normalWindow = UIWindow::initWithFrame(CGRectMake(0, 0, 320, 480));
    normalWindow->makeKeyAndVisible();
    normalWindow->setUserInteractionEnabled(false);

    EXPECT_EQ(UIApplication::sharedApplication()->windows().back(), alertWindow);
    m_finger.tap({ 100, 250 });
    m_finger.tap({ 10, 10 });
    EXPECT_EQ(front->calls, (std::vector<std::string> { "began 40,50 of 1", "ended 40,50 of 1" })) << "window points";
    EXPECT_EQ(back->calls, (std::vector<std::string> { "began 10,10 of 1", "ended 10,10 of 1" }))
        << "a window that takes no touches lets them through to the one below";
    alertWindow->setHidden(true);
    normalWindow->setHidden(true);
}

namespace {

// A recogniser that begins as soon as its finger moves, as a pan does.
class BeginOnMove : public UIGestureRecognizer {
public:
    using UIGestureRecognizer::UIGestureRecognizer;
    void touchesMoved(const UITouchSet&, const UIEvent&) override
    {
        setState(state() == UIGestureRecognizerStatePossible ? UIGestureRecognizerStateBegan : UIGestureRecognizerStateChanged);
    }
    void touchesEnded(const UITouchSet&, const UIEvent&) override
    {
        if (state() == UIGestureRecognizerStatePossible)
            setState(UIGestureRecognizerStateFailed);
        else
            setState(UIGestureRecognizerStateEnded);
    }
};

struct StateLog {
    std::vector<int> states;
    void changed(const UIGestureRecognizerRef& recognizer) { states.push_back(recognizer->state()); }
};

struct Together : UIGestureRecognizerDelegate {
    std::optional<bool> shouldRecognizeSimultaneouslyWithGestureRecognizer(UIGestureRecognizer&, UIGestureRecognizer&) override { return true; }
};

struct ControlEvents {
    std::vector<unsigned> events;
    void cancel(const std::shared_ptr<UIControl>&) { events.push_back(UIControlEventTouchCancel); }
    void upInside(const std::shared_ptr<UIControl>&) { events.push_back(UIControlEventTouchUpInside); }
};

}

TEST_F(EventPath, ARecogniserThatBeginsCancelsTheControlsTouch)
{
    auto container = placeInWindow(UIView::initWithFrame(CGRectMake(0, 0, 320, 480)));
    auto control = objc::alloc<UIControl>();
    control->setFrame(CGRectMake(100, 100, 60, 60));
    container->addSubview(control);
    auto listener = std::make_shared<ControlEvents>();
    control->addTarget(listener, &ControlEvents::cancel, UIControlEventTouchCancel);
    control->addTarget(listener, &ControlEvents::upInside, UIControlEventTouchUpInside);
    auto recognizer = objc::alloc<BeginOnMove>();
    auto log = std::make_shared<StateLog>();
    recognizer->addTarget(log, &StateLog::changed);
    container->addGestureRecognizer(recognizer);

    // A tap without moving: the recogniser fails, the control gets its touch up inside.
    m_finger.tap({ 120, 120 });
    EXPECT_EQ(listener->events, std::vector<unsigned> { UIControlEventTouchUpInside });
    EXPECT_EQ(recognizer->state(), UIGestureRecognizerStatePossible) << "reset once its touches ended";

    listener->events.clear();
    m_finger.touchDown({ 120, 120 });
    EXPECT_TRUE(control->isHighlighted());
    m_finger.touchMove({ 140, 130 });
    EXPECT_EQ(listener->events, std::vector<unsigned> { UIControlEventTouchCancel });
    EXPECT_FALSE(control->isHighlighted());
    EXPECT_FALSE(control->isTracking());
    m_finger.touchMove({ 300, 300 });
    m_finger.touchUp({ 300, 300 });
    EXPECT_EQ(listener->events, std::vector<unsigned> { UIControlEventTouchCancel }) << "the control hears nothing more";
    EXPECT_EQ(log->states, (std::vector<int> { UIGestureRecognizerStateBegan, UIGestureRecognizerStateChanged, UIGestureRecognizerStateEnded }));
    EXPECT_EQ(recognizer->state(), UIGestureRecognizerStatePossible);
}

TEST_F(EventPath, TheFirstRecogniserToBeginWinsUnlessADelegateLetsBothRecognise)
{
    auto inner = placeInWindow(UIView::initWithFrame(CGRectMake(0, 0, 320, 480)));
    auto near = objc::alloc<BeginOnMove>();
    auto far = objc::alloc<BeginOnMove>();
    inner->addGestureRecognizer(near);
    m_window->addGestureRecognizer(far);
    auto nearLog = std::make_shared<StateLog>(), farLog = std::make_shared<StateLog>();
    near->addTarget(nearLog, &StateLog::changed);
    far->addTarget(farLog, &StateLog::changed);

    m_finger.drag({ 10, 10 }, { 50, 50 }, 2);
    EXPECT_EQ(nearLog->states, (std::vector<int> { UIGestureRecognizerStateBegan, UIGestureRecognizerStateChanged, UIGestureRecognizerStateEnded }))
        << "the view's own recogniser hears the touch first";
    EXPECT_TRUE(farLog->states.empty());

    auto together = std::make_shared<Together>();
    far->setDelegate(together);
    nearLog->states.clear();
    m_finger.drag({ 10, 10 }, { 50, 50 }, 1);
    EXPECT_EQ(nearLog->states, (std::vector<int> { UIGestureRecognizerStateBegan, UIGestureRecognizerStateEnded }));
    EXPECT_EQ(farLog->states, (std::vector<int> { UIGestureRecognizerStateBegan, UIGestureRecognizerStateEnded }));
    m_window->removeGestureRecognizer(far);
}

TEST_F(EventPath, AFingerJoiningAGestureUnderWayIsTheGesturesUnlessTheRecogniserIgnoresIt)
{
    struct Case {
        const char* name;
        std::function<UIGestureRecognizerRef()> make;
        std::vector<unsigned> controlHeard;
    };
    const Case cases[] = {
        { "taken into the gesture", [] { return objc::alloc<BeginOnMove>(); }, {} },
        { "ignored by a one-finger pan", [] {
             auto pan = objc::alloc<UIPanGestureRecognizer>();
             pan->setMaximumNumberOfTouches(1);
             return pan;
         },
            { UIControlEventTouchUpInside } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto container = placeInWindow(UIView::initWithFrame(CGRectMake(0, 0, 320, 480)));
        container->setMultipleTouchEnabled(true);
        auto control = objc::alloc<UIControl>();
        control->setFrame(CGRectMake(100, 100, 60, 60));
        container->addSubview(control);
        auto listener = std::make_shared<ControlEvents>();
        control->addTarget(listener, &ControlEvents::upInside, UIControlEventTouchUpInside);
        control->addTarget(listener, &ControlEvents::cancel, UIControlEventTouchCancel);
        auto recognizer = test.make();
        container->addGestureRecognizer(recognizer);

        m_finger.sendFrame({ { 1, UITouchPhaseBegan, { 10, 300 } } });
        m_finger.sendFrame({ { 1, UITouchPhaseMoved, { 10, 340 } } });
        ASSERT_EQ(recognizer->state(), UIGestureRecognizerStateBegan);
        m_finger.sendFrame({ { 2, UITouchPhaseBegan, { 120, 120 } } });
        m_finger.sendFrame({ { 2, UITouchPhaseEnded, { 120, 120 } } });
        m_finger.sendFrame({ { 1, UITouchPhaseEnded, { 10, 340 } } });
        EXPECT_EQ(listener->events, test.controlHeard);
    }
}
