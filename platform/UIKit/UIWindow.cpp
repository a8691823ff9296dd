#include "UIKit/UIWindow.h"

#include "UIKit/UIApplication.h"
#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIViewController.h"

#include <algorithm>
#include <cmath>

namespace {

// One phase's touches, grouped by whoever receives them, in the order they first appear.
template<class Receiver>
using Groups = std::vector<std::pair<Receiver*, UITouchSet>>;

template<class Receiver>
void addToGroup(Groups<Receiver>& groups, Receiver* receiver, const UITouchRef& touch)
{
    auto found = std::find_if(groups.begin(), groups.end(), [receiver](auto& group) { return group.first == receiver; });
    if (found == groups.end())
        groups.push_back({ receiver, { touch } });
    else
        found->second.push_back(touch);
}

template<class Receiver>
void deliver(Receiver& receiver, UITouchPhase phase, const UITouchSet& touches, const UIEvent& event)
{
    switch (phase) {
    case UITouchPhaseBegan: receiver.touchesBegan(touches, event); break;
    case UITouchPhaseMoved: receiver.touchesMoved(touches, event); break;
    case UITouchPhaseEnded: receiver.touchesEnded(touches, event); break;
    case UITouchPhaseCancelled: receiver.touchesCancelled(touches, event); break;
    case UITouchPhaseStationary: break;
    }
}

constexpr UITouchPhase deliveryOrder[] = { UITouchPhaseBegan, UITouchPhaseMoved, UITouchPhaseEnded, UITouchPhaseCancelled };

}

UIWindowRef UIWindow::initWithFrame(CGRect frame)
{
    auto window = objc::alloc<UIWindow>();
    window->setFrame(frame);
    return window;
}

void UIWindow::didAllocate()
{
    super::didAllocate();
    setHidden(true);
    m_context = CAContext::contextWithLayer(layer());
    UIApplication::sharedApplication()->windowWasMade(std::static_pointer_cast<UIWindow>(shared_from_this()));
}

void UIWindow::setRootViewController(UIViewControllerRef controller)
{
    if (controller == m_rootViewController)
        return;
    if (m_rootViewController && m_rootViewController->isViewLoaded())
        m_rootViewController->view()->removeFromSuperview();
    m_rootViewController = std::move(controller);
    if (!m_rootViewController)
        return;
    const UIViewRef& view = m_rootViewController->view();
    view->setFrame(bounds());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    insertSubviewAtIndex(view, 0);
}

void UIWindow::setWindowLevel(UIWindowLevel level)
{
    if (std::isfinite(level))
        m_windowLevel = level;
}

bool UIWindow::isKeyWindow() const
{
    return UIApplication::sharedApplication()->keyWindow().get() == this;
}

void UIWindow::makeKeyWindow()
{
    UIApplication::sharedApplication()->setKeyWindow(std::static_pointer_cast<UIWindow>(shared_from_this()));
}

void UIWindow::makeKeyAndVisible()
{
    setHidden(false);
    UIApplication::sharedApplication()->windowBecameVisible(std::static_pointer_cast<UIWindow>(shared_from_this()));
    makeKeyWindow();
}

CGPoint UIWindow::convertPointFromScreen(CGPoint point) const
{
    return CGPointApplyAffineTransform(point, CGAffineTransformInvert(transformToSuperview()));
}

CGPoint UIWindow::convertPointToScreen(CGPoint point) const
{
    return CGPointApplyAffineTransform(point, transformToSuperview());
}

std::shared_ptr<UIResponder> UIWindow::nextResponder() const
{
    if (auto controller = viewController())
        return controller;
    return UIApplication::sharedApplication();
}

void UIWindow::bindNewTouches(const UITouchSet& touches, const UIEvent& event)
{
    auto self = std::static_pointer_cast<UIWindow>(shared_from_this());
    for (auto& touch : touches) {
        if (touch->phase() != UITouchPhaseBegan || touch->m_view)
            continue;
        UIViewRef view = hitTest(touch->locationInView(nullptr), &event);
        if (!view)
            view = self;
        // A view that takes one finger at a time hears nothing of the others.
        if (!view->isMultipleTouchEnabled()) {
            for (auto& other : event.allTouches()) {
                if (other != touch && other->m_view == view && !other->m_cancelledForView)
                    touch->m_cancelledForView = true;
            }
        }
        touch->m_view = view;
        for (UIViewRef holder = view; holder; holder = holder->superview()) {
            for (auto& recognizer : holder->gestureRecognizers()) {
                if (!recognizer->receivesTouches())
                    continue;
                touch->m_gestureRecognizers.push_back(recognizer);
                recognizer->m_touches.push_back(touch);
            }
        }
    }
}

void UIWindow::sendEvent(const UIEvent& event)
{
    // Handlers may remove the window from the screen: keep it for the round.
    auto protectedThis = std::static_pointer_cast<UIWindow>(shared_from_this());
    UITouchSet touches = event.touchesForWindow(this);
    bindNewTouches(touches, event);

    for (UITouchPhase phase : deliveryOrder) {
        Groups<UIGestureRecognizer> groups;
        for (auto& touch : touches) {
            if (touch->phase() != phase)
                continue;
            for (auto& recognizer : touch->gestureRecognizers()) {
                if (recognizer->receivesTouches())
                    addToGroup(groups, recognizer.get(), touch);
            }
        }
        for (auto& [recognizer, group] : groups) {
            auto held = std::static_pointer_cast<UIGestureRecognizer>(recognizer->shared_from_this());
            if (!held->receivesTouches())
                continue;  // failed because another one began in this round
            held->m_event = &event;
            held->m_lastEventTimestamp = event.timestamp();
            deliver(*held, phase, group, event);
            held->m_event = nullptr;
        }
    }

    // A finger that joins a gesture already under way is the gesture's: its view never hears of it.
    for (auto& touch : touches) {
        if (touch->phase() != UITouchPhaseBegan)
            continue;
        for (auto& recognizer : touch->gestureRecognizers()) {
            if (recognizer->isRecognizing() && recognizer->cancelsTouchesInView())
                touch->m_cancelledForView = true;
        }
    }

    for (UITouchPhase phase : deliveryOrder) {
        Groups<UIView> groups;
        for (auto& touch : touches) {
            if (touch->phase() == phase && !touch->m_cancelledForView && touch->m_view)
                addToGroup(groups, touch->m_view.get(), touch);
        }
        for (auto& [view, group] : groups) {
            if (phase == UITouchPhaseBegan) {
                for (auto& touch : group)
                    touch->m_viewBegan = true;
            }
            auto held = std::static_pointer_cast<UIView>(view->shared_from_this());
            deliver(*held, phase, group, event);
        }
    }

    // Recognisers whose touches have all ended start afresh.
    for (auto& touch : touches) {
        if (touch->phase() != UITouchPhaseEnded && touch->phase() != UITouchPhaseCancelled)
            continue;
        for (auto& recognizer : touch->gestureRecognizers()) {
            std::erase(recognizer->m_touches, touch);
            if (!recognizer->m_touches.empty())
                continue;
            if (recognizer->isRecognizing())
                recognizer->setState(UIGestureRecognizerStateCancelled);
            recognizer->reset();
        }
    }
}
