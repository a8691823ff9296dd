#pragma once

#include "UIKit/UIEvent.h"
#include "UIKit/UITouch.h"
#include "objc/NSObject.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class UIView;
class UIGestureRecognizer;
using UIGestureRecognizerRef = std::shared_ptr<UIGestureRecognizer>;

enum UIGestureRecognizerState : int {
    UIGestureRecognizerStatePossible = 0,
    UIGestureRecognizerStateBegan = 1,
    UIGestureRecognizerStateChanged = 2,
    UIGestureRecognizerStateEnded = 3,
    UIGestureRecognizerStateCancelled = 4,
    UIGestureRecognizerStateFailed = 5,
    UIGestureRecognizerStateRecognized = UIGestureRecognizerStateEnded,
};

// What a recogniser asks its delegate. Every method is optional on the platform:
// nullopt is the answer of a delegate that lacks the method (the platform's
// default then holds).
class UIGestureRecognizerDelegate {
public:
    virtual ~UIGestureRecognizerDelegate() = default;
    [[nodiscard]] virtual std::optional<bool> gestureRecognizerShouldBegin(UIGestureRecognizer&) { return std::nullopt; }
    [[nodiscard]] virtual std::optional<bool> shouldRecognizeSimultaneouslyWithGestureRecognizer(UIGestureRecognizer&, UIGestureRecognizer&)
    {
        return std::nullopt;
    }
};

// Turns the touches of a view (and of its subviews) into a gesture. The window
// hands each touch to the recognisers of the view it began on and of that
// view's ancestors before the view itself. A recogniser starts Possible; a
// continuous one goes Began, Changed…, Ended (or Cancelled), a discrete one
// straight to Recognized; either may fail instead. Targets hear every state
// change but the one to Failed. When one begins (or is recognised) the others
// sharing its touches fail unless a delegate lets both recognise at once, and,
// with cancelsTouchesInView, the view's touches are cancelled; a finger that joins
// a gesture under way is the gesture's too, unless the recogniser ignores it (the
// view alone then has it). Once its touches have ended the recogniser is reset to
// Possible. The view owns its recognisers; a recogniser does not own its view or
// its targets.
class UIGestureRecognizer : public NSObject {
    OBJC_CLASS(UIGestureRecognizer, NSObject)

    [[nodiscard]] UIGestureRecognizerState state() const { return m_state; }
    [[nodiscard]] std::shared_ptr<UIView> view() const { return m_view.lock(); }
    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    void setEnabled(bool);
    [[nodiscard]] bool cancelsTouchesInView() const { return m_cancelsTouchesInView; }
    void setCancelsTouchesInView(bool cancels) { m_cancelsTouchesInView = cancels; }
    [[nodiscard]] std::shared_ptr<UIGestureRecognizerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<UIGestureRecognizerDelegate> delegate) { m_delegate = std::move(delegate); }

    // The action runs with the recogniser as sender while the target lives.
    template<class Target>
    void addTarget(const std::shared_ptr<Target>& target, void (Target::*action)(const UIGestureRecognizerRef& sender))
    {
        std::weak_ptr<Target> weakTarget = target;
        m_targets.push_back({ target.get(), [weakTarget, action](const UIGestureRecognizerRef& sender) {
                                 if (auto strongTarget = weakTarget.lock())
                                     ((*strongTarget).*action)(sender);
                             } });
    }
    void removeTarget(const void* target);

    // The touches it is following now.
    [[nodiscard]] size_t numberOfTouches() const { return m_touches.size(); }
    [[nodiscard]] const UITouchSet& touches() const { return m_touches; }
    // The centroid of its touches in the view's coordinates (nullptr: the window's).
    [[nodiscard]] virtual CGPoint locationInView(const UIView*) const;
    [[nodiscard]] CGPoint locationOfTouch(size_t index, const UIView*) const;

    // What subclasses implement: the touches of one phase in one frame.
    virtual void touchesBegan(const UITouchSet&, const UIEvent&) { }
    virtual void touchesMoved(const UITouchSet&, const UIEvent&) { }
    virtual void touchesEnded(const UITouchSet&, const UIEvent&) { }
    virtual void touchesCancelled(const UITouchSet&, const UIEvent&) { }
    // Back to Possible, forgetting the gesture; overrides call up.
    virtual void reset();

protected:
    // Subclasses move the state machine; a move the platform does not allow is ignored.
    void setState(UIGestureRecognizerState);
    // When the latest touches it was handed happened.
    [[nodiscard]] double lastEventTimestamp() const { return m_lastEventTimestamp; }
    [[nodiscard]] bool isRecognizing() const { return m_state == UIGestureRecognizerStateBegan || m_state == UIGestureRecognizerStateChanged; }
    // Lets go of a touch for good: the recogniser hears no more of it, and the touch no
    // longer makes it a rival of the touch's other recognisers.
    void ignoreTouch(const UITouchRef&);
    // Lets go of the touches that came down after the first count of them.
    void ignoreTouchesBeyond(size_t count);
    // For a continuous gesture whose touches are leaving (ended or cancelled): one under way
    // stops as told (Ended or Cancelled); one that never began fails once no touch is left.
    void stopContinuousGesture(const UITouchSet& leaving, UIGestureRecognizerState stoppedState);

private:
    friend class UIView;
    friend class UIWindow;

    struct TargetAction {
        const void* target;
        std::function<void(const UIGestureRecognizerRef&)> action;
    };

    [[nodiscard]] bool receivesTouches() const;
    [[nodiscard]] bool canRecognizeTogetherWith(UIGestureRecognizer&);
    // The rules that apply as it begins or is recognised; false when it must fail instead.
    bool takeOver();
    void sendActions();

    std::weak_ptr<UIView> m_view;
    std::weak_ptr<UIGestureRecognizerDelegate> m_delegate;
    std::vector<TargetAction> m_targets;
    UITouchSet m_touches;
    const UIEvent* m_event = nullptr;  // the event being delivered, while it is
    double m_lastEventTimestamp = 0;
    UIGestureRecognizerState m_state = UIGestureRecognizerStatePossible;
    bool m_enabled = true;
    bool m_cancelsTouchesInView = true;
};
