#include "UIKit/UIGestureRecognizer.h"

#include "UIKit/UIView.h"

#include <algorithm>

void UIGestureRecognizer::setEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    if (enabled)
        return;
    // Switched off mid-gesture: the gesture is cancelled, as on the platform.
    if (isRecognizing())
        setState(UIGestureRecognizerStateCancelled);
    reset();
}

void UIGestureRecognizer::removeTarget(const void* target)
{
    std::erase_if(m_targets, [target](const TargetAction& entry) { return !target || entry.target == target; });
}

CGPoint UIGestureRecognizer::locationInView(const UIView* view) const
{
    if (m_touches.empty())
        return CGPointZero;
    CGFloat x = 0, y = 0;
    for (auto& touch : m_touches) {
        CGPoint point = touch->locationInView(view);
        x += point.x;
        y += point.y;
    }
    auto count = static_cast<CGFloat>(m_touches.size());
    return CGPointMake(x / count, y / count);
}

CGPoint UIGestureRecognizer::locationOfTouch(size_t index, const UIView* view) const
{
    return index < m_touches.size() ? m_touches[index]->locationInView(view) : CGPointZero;
}

void UIGestureRecognizer::ignoreTouch(const UITouchRef& touch)
{
    if (!touch || std::find(m_touches.begin(), m_touches.end(), touch) == m_touches.end())
        return;
    std::erase(m_touches, touch);
    std::erase_if(touch->m_gestureRecognizers, [this](auto& recognizer) { return recognizer.get() == this; });
}

void UIGestureRecognizer::ignoreTouchesBeyond(size_t count)
{
    while (m_touches.size() > count)
        ignoreTouch(UITouchRef(m_touches.back()));
}

void UIGestureRecognizer::stopContinuousGesture(const UITouchSet& leaving, UIGestureRecognizerState stoppedState)
{
    if (isRecognizing()) {
        setState(stoppedState);
        return;
    }
    bool noneLeft = std::all_of(m_touches.begin(), m_touches.end(),
        [&](auto& touch) { return std::find(leaving.begin(), leaving.end(), touch) != leaving.end(); });
    if (m_state == UIGestureRecognizerStatePossible && noneLeft)
        setState(UIGestureRecognizerStateFailed);
}

void UIGestureRecognizer::reset()
{
    m_state = UIGestureRecognizerStatePossible;
    m_touches.clear();
}

bool UIGestureRecognizer::receivesTouches() const
{
    return m_enabled && (m_state == UIGestureRecognizerStatePossible || isRecognizing());
}

bool UIGestureRecognizer::canRecognizeTogetherWith(UIGestureRecognizer& other)
{
    for (auto [asked, about] : { std::pair { this, &other }, std::pair { &other, this } }) {
        if (auto delegate = asked->delegate()) {
            if (delegate->shouldRecognizeSimultaneouslyWithGestureRecognizer(*asked, *about).value_or(false))
                return true;
        }
    }
    return false;
}

bool UIGestureRecognizer::takeOver()
{
    if (auto delegate = this->delegate()) {
        if (!delegate->gestureRecognizerShouldBegin(*this).value_or(true))
            return false;
    }
    std::vector<UIGestureRecognizer*> rivals;
    for (auto& touch : m_touches) {
        for (auto& other : touch->gestureRecognizers()) {
            if (other.get() != this && std::find(rivals.begin(), rivals.end(), other.get()) == rivals.end())
                rivals.push_back(other.get());
        }
    }
    // The first to begin wins.
    for (auto* rival : rivals) {
        if (rival->isRecognizing() && !canRecognizeTogetherWith(*rival))
            return false;
    }
    for (auto* rival : rivals) {
        if (rival->m_state == UIGestureRecognizerStatePossible && !canRecognizeTogetherWith(*rival))
            rival->m_state = UIGestureRecognizerStateFailed;
    }
    if (!m_cancelsTouchesInView)
        return true;
    for (auto& touch : m_touches) {
        if (touch->m_cancelledForView)
            continue;
        touch->m_cancelledForView = true;
        auto touchedView = touch->view();
        if (touch->m_viewBegan && touchedView && m_event)
            touchedView->touchesCancelled({ touch }, *m_event);
    }
    return true;
}

void UIGestureRecognizer::setState(UIGestureRecognizerState state)
{
    bool allowed = false;
    switch (m_state) {
    case UIGestureRecognizerStatePossible:
        allowed = state == UIGestureRecognizerStateBegan || state == UIGestureRecognizerStateRecognized || state == UIGestureRecognizerStateFailed;
        break;
    case UIGestureRecognizerStateBegan:
    case UIGestureRecognizerStateChanged:
        allowed = state == UIGestureRecognizerStateChanged || state == UIGestureRecognizerStateEnded || state == UIGestureRecognizerStateCancelled;
        break;
    default:
        break;
    }
    if (!allowed)
        return;
    // Targets may drop the recogniser: keep it alive for the round.
    auto protectedThis = std::static_pointer_cast<UIGestureRecognizer>(shared_from_this());
    if (m_state == UIGestureRecognizerStatePossible && state != UIGestureRecognizerStateFailed && !takeOver()) {
        m_state = UIGestureRecognizerStateFailed;
        return;
    }
    m_state = state;
    if (state != UIGestureRecognizerStateFailed)
        sendActions();
}

void UIGestureRecognizer::sendActions()
{
    auto sender = std::static_pointer_cast<UIGestureRecognizer>(shared_from_this());
    auto targets = m_targets;
    for (auto& entry : targets)
        entry.action(sender);
}
