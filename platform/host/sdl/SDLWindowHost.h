#pragma once

#include "Foundation/NSRunLoop.h"
#include "UIKit/UIScreenDisplay.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The screen as a window on the desktop, with SDL. The window is the screen's
// pixel size and shows the frames its display is given; its waiter is the main
// run loop's wait, which turns the window's events into what a phone reports:
// the mouse into touch frames (one finger; with Alt two mirrored about the
// centre; with Alt+Shift two side by side), focus and minimising into the
// application's lifecycle, and a few keys into host commands. Beside the screen it
// may show a side panel the host draws.
//
// One window per process, opened only on request: where there is no display,
// open fails with a message and SDL stays unused. The display and the waiter
// may outlive the host; once it is gone they present nothing and wait on SDL's
// queue alone.
class SDLWindowHost {
public:
    enum class Lifecycle { ResignActive, BecomeActive, EnterBackground, EnterForeground, Terminate };
    // Called from the waiter, on the run loop's thread.
    struct Callbacks {
        std::function<void()> screenshot;  // Ctrl+S
        std::function<void(int quarterTurns)> rotate;  // Ctrl+Left = -1, Ctrl+Right = +1
        std::function<void(Lifecycle)> lifecycle;  // focus lost/gained, minimised/restored, quit
        std::function<void(std::vector<std::string>)> filesDropped;
        std::function<void()> quit;  // window closed (after lifecycle Terminate)
        std::function<void()> togglePreview;  // F2
    };

    // nullptr and a message when there is no display or SDL cannot open a window.
    [[nodiscard]] static std::unique_ptr<SDLWindowHost> open(CGSize screenPoints, CGFloat scale, Callbacks, std::string& error);
    ~SDLWindowHost();
    SDLWindowHost(const SDLWindowHost&) = delete;
    SDLWindowHost& operator=(const SDLWindowHost&) = delete;

    // Presents frames in the window.
    [[nodiscard]] std::shared_ptr<UIScreenDisplay> display();
    // Waits for window events until the run loop's deadline, then handles all that are pending.
    [[nodiscard]] std::shared_ptr<NSRunLoop::Waiter> waiter();
    // After a rotation: the window takes the screen's new pixel size.
    void resize(CGSize screenPoints);
    // A picture shown to the right of the screen, at the window's scale (nullptr: none); the
    // window grows to hold it. Clicks on it do not touch the screen.
    void setSidePanel(const CGImageRef& panel);
    // The X11 window, for tests; 0 when the window is not an X11 one.
    [[nodiscard]] uint32_t windowId() const;

private:
    class Window;

    explicit SDLWindowHost(std::shared_ptr<Window>);

    std::shared_ptr<Window> m_window;
};
