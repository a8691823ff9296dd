#include "host/sdl/WindowLifecycle.h"

std::vector<WindowLifecycle::Step> WindowLifecycle::setFocused(bool focused)
{
    m_focused = focused;
    return settle();
}

std::vector<WindowLifecycle::Step> WindowLifecycle::setMinimised(bool minimised)
{
    m_minimised = minimised;
    return settle();
}

std::vector<WindowLifecycle::Step> WindowLifecycle::terminate()
{
    if (m_state == State::Terminated)
        return {};
    m_state = State::Terminated;
    return { Step::Terminate };
}

std::vector<WindowLifecycle::Step> WindowLifecycle::settle()
{
    if (m_state == State::Terminated)
        return {};
    // A minimised window is in the background even while it keeps the focus.
    State target = m_minimised ? State::Background : m_focused ? State::Active : State::Inactive;
    std::vector<Step> steps;
    // Every change passes through Inactive.
    if (m_state == State::Active && target != State::Active)
        steps.push_back(Step::ResignActive);
    else if (m_state == State::Background && target != State::Background)
        steps.push_back(Step::EnterForeground);
    if (target == State::Active && m_state != State::Active)
        steps.push_back(Step::BecomeActive);
    else if (target == State::Background && m_state != State::Background)
        steps.push_back(Step::EnterBackground);
    m_state = target;
    return steps;
}
