#pragma once

#include <cstdint>

// What a window manager or another program would do to the window, from a connection
// of the test's own.
namespace XClient {

// Asks the window to close, as a title bar's close button does; false without a display.
bool requestClose(uint32_t window);

// Paints the window white, as the server does with a window's background when another
// window leaves it, and tells it to draw itself again; false without a display.
bool paintOverAndExpose(uint32_t window);

// Another program's window, shown while the object lives, to take the focus; id 0 without a display.
class SideWindow {
public:
    SideWindow();
    ~SideWindow();
    SideWindow(const SideWindow&) = delete;
    SideWindow& operator=(const SideWindow&) = delete;
    [[nodiscard]] uint32_t id() const { return m_window; }

private:
    void* m_display = nullptr;
    uint32_t m_window = 0;
};

}
