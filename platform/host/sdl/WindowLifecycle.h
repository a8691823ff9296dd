#pragma once

#include "host/sdl/SDLWindowHost.h"

#include <vector>

// The application's state as a desktop window's focus and minimising decide it,
// and the lifecycle steps that lead from one state to the next in the order the
// platform takes them: resign active before entering the background, enter the
// foreground before becoming active. A window starts inactive until it has focus;
// after Terminate nothing more happens.
class WindowLifecycle {
public:
    using Step = SDLWindowHost::Lifecycle;
    enum class State { Inactive, Active, Background, Terminated };

    [[nodiscard]] std::vector<Step> setFocused(bool);
    [[nodiscard]] std::vector<Step> setMinimised(bool);
    [[nodiscard]] std::vector<Step> terminate();

    [[nodiscard]] State state() const { return m_state; }

private:
    [[nodiscard]] std::vector<Step> settle();

    bool m_focused = false;
    bool m_minimised = false;
    State m_state = State::Inactive;
};
