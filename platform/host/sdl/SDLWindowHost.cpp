#include "host/sdl/SDLWindowHost.h"

#include "Foundation/NSLog.h"
#include "UIKit/UIApplication.h"
#include "host/sdl/MouseFingerSimulator.h"
#include "host/sdl/WindowLifecycle.h"

#include <SDL.h>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// Larger windows than this are a mistake in the screen's size, not a phone.
constexpr double maximumWindowSide = 16384;
// A far deadline (or a clock that does not follow real time) is waited for in pieces.
constexpr double longestWait = 3600;

std::atomic<bool> windowIsOpen = false;

bool pixelSize(CGSize points, CGFloat scale, int& width, int& height)
{
    double w = std::ceil(static_cast<double>(points.width) * scale);
    double h = std::ceil(static_cast<double>(points.height) * scale);
    if (!(w >= 1 && h >= 1 && w <= maximumWindowSide && h <= maximumWindowSide))
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool hasDisplay()
{
    for (const char* variable : { "SDL_VIDEODRIVER", "DISPLAY", "WAYLAND_DISPLAY" }) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    return false;
}

// The file names SDL hands over are its to free.
using SDLText = std::unique_ptr<char, void (*)(void*)>;

// A picture the window shows, and the texture it was uploaded to.
struct Surface {
    CGImageRef image;
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;

    void dropTexture()
    {
        if (texture)
            SDL_DestroyTexture(std::exchange(texture, nullptr));
    }
};

}

// The SDL side: the video subsystem for as long as anything (the host, its display
// or its waiter) uses it, and the window, its renderer and texture until the host closes.
class SDLWindowHost::Window final : public UIScreenDisplay, public NSRunLoop::Waiter {
public:
    Window(CGSize screenPoints, CGFloat scale, Callbacks callbacks)
        : m_callbacks(std::move(callbacks))
        , m_scale(scale)
        , m_screenPoints(screenPoints)
        , m_fingers(screenPoints)
    {
    }

    ~Window() override
    {
        close();
        // Not SDL_Quit: the rest of SDL (its session-bus connection) stays for the process,
        // as libdbus cannot free what it holds once SDL has unloaded it.
        if (m_videoStarted)
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool open(int width, int height, std::string& error)
    {
        // A library does not take the process's signals or keep the desktop awake.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        // A drag that leaves the window is followed until the button comes up, and the
        // click that brings the window to the front touches the screen too.
        SDL_SetHint(SDL_HINT_MOUSE_AUTO_CAPTURE, "1");
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // Desktop windows only, unless SDL_VIDEODRIVER asks for another kind.
        SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11,wayland", SDL_HINT_DEFAULT);
        // Frames are composited on the CPU at the window's size: presenting one is a copy into the
        // window's shared image, with no GL driver (and its threads) loaded. SDL_RENDER_DRIVER still chooses.
        SDL_SetHintWithPriority(SDL_HINT_RENDER_DRIVER, "software", SDL_HINT_DEFAULT);
        SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return fail(error, "cannot start SDL video");
        m_videoStarted = true;
        m_wakeEvent = wakeEventType();
        if (m_wakeEvent == static_cast<Uint32>(-1))
            return fail(error, "SDL has no event type left to wake the run loop with");
        m_window = SDL_CreateWindow("Tessary 8", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width, height, SDL_WINDOW_SHOWN);
        if (!m_window)
            return fail(error, "cannot open a window");
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
        if (!m_renderer)
            return fail(error, "cannot draw in the window");
        m_windowID = SDL_GetWindowID(m_window);
        redraw();
        return true;
    }

    void close()
    {
        m_frame.dropTexture();
        m_panel.dropTexture();
        if (m_renderer)
            SDL_DestroyRenderer(std::exchange(m_renderer, nullptr));
        if (m_window) {
            SDL_DestroyWindow(std::exchange(m_window, nullptr));
            windowIsOpen = false;
        }
        m_frame.image.reset();
        m_panel.image.reset();
    }

    void presentFrame(const CGImageRef& frame) override { present(frame, nullptr); }

    void presentDamagedFrame(const CGImageRef& frame, const std::vector<CGRect>& damage) override { present(frame, &damage); }

    void setSidePanel(const CGImageRef& panel)
    {
        if (panel && (panel->width() > maximumWindowSide || panel->height() > maximumWindowSide))
            return;
        bool hadPanel = m_panel.image != nullptr;
        m_panel.image = panel;
        if (panel)
            upload(m_panel);
        else
            m_panel.dropTexture();
        if (hadPanel != (panel != nullptr) || panel)
            fitWindow();
        redraw();
    }

    void waitUntil(NSRunLoop& loop, std::optional<double> deadline) override
    {
        SDL_Event event;
        bool received;
        if (!deadline) {
            received = SDL_WaitEvent(&event);
        } else {
            double seconds = std::min(*deadline - loop.now(), longestWait);
            // Rounded up, so that a deadline under a millisecond away is not polled for until it passes.
            received = seconds > 0 ? SDL_WaitEventTimeout(&event, static_cast<int>(std::ceil(seconds * 1000))) : SDL_PollEvent(&event);
        }
        if (received)
            handle(loop, event);
        while (SDL_PollEvent(&event))
            handle(loop, event);
    }

    void wake() override
    {
        // Wakes pile up as one event: the wait returns at the first.
        if (m_wakePending.exchange(true))
            return;
        SDL_Event event {};
        event.type = m_wakeEvent;
        if (SDL_PushEvent(&event) != 1)
            m_wakePending = false;
    }

    void resize(CGSize screenPoints)
    {
        int width, height;
        if (!m_window || !pixelSize(screenPoints, m_scale, width, height))
            return;
        // Points under the fingers mean something else on the turned screen.
        enqueueTouches(NSRunLoop::mainRunLoop(), m_fingers.cancel());
        m_fingers.setScreenSize(screenPoints);
        m_screenPoints = screenPoints;
        fitWindow();
        redraw();
    }

    uint32_t windowId() const;

private:
    bool fail(std::string& error, const std::string& what)
    {
        error = what + ": " + SDL_GetError();
        return false;
    }

    static Uint32 wakeEventType()
    {
        static const Uint32 type = SDL_RegisterEvents(1);
        return type;
    }

    // The screen's pixels, with the side panel (when there is one) to their right.
    void fitWindow()
    {
        int width, height;
        if (!m_window || !pixelSize(m_screenPoints, m_scale, width, height))
            return;
        if (m_panel.image) {
            width += static_cast<int>(m_panel.image->width());
            height = std::max(height, static_cast<int>(m_panel.image->height()));
        }
        SDL_SetWindowSize(m_window, width, height);
        // A window that grew past the display's edge comes back onto it.
        SDL_Rect usable;
        int x, y;
        if (SDL_GetDisplayUsableBounds(std::max(0, SDL_GetWindowDisplayIndex(m_window)), &usable) == 0) {
            SDL_GetWindowPosition(m_window, &x, &y);
            int keptX = std::max(usable.x, std::min(x, usable.x + usable.w - width));
            int keptY = std::max(usable.y, std::min(y, usable.y + usable.h - height));
            if (keptX != x || keptY != y)
                SDL_SetWindowPosition(m_window, keptX, keptY);
        }
    }

    int screenPixelWidth() const { return static_cast<int>(std::ceil(static_cast<double>(m_screenPoints.width) * m_scale)); }

    // Uploads only the damage when the texture holds the frame presented just before, whose
    // differences from this one the damage names; otherwise the whole frame.
    void present(const CGImageRef& frame, const std::vector<CGRect>* damage)
    {
        bool followsTexture = m_frame.texture && m_uploadedFrame == m_presentedFrames;
        ++m_presentedFrames;
        if (!frame || !m_renderer || frame->width() > maximumWindowSide || frame->height() > maximumWindowSide)
            return;
        bool sameSize = static_cast<int>(frame->width()) == m_frame.width && static_cast<int>(frame->height()) == m_frame.height;
        m_frame.image = frame;
        if (damage && followsTexture && sameSize) {
            for (const CGRect& rect : *damage)
                upload(m_frame, rect);
        } else {
            upload(m_frame);
        }
        if (m_frame.texture)
            m_uploadedFrame = m_presentedFrames;
        redraw();
    }

    // Premultiplied colours over black are the colour channels as they are; the window shows them opaque.
    void upload(Surface& surface)
    {
        int width = static_cast<int>(surface.image->width());
        int height = static_cast<int>(surface.image->height());
        if (!surface.texture || width != surface.width || height != surface.height) {
            surface.dropTexture();
            surface.texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
            if (!surface.texture) {
                NSLog("SDLWindowHost: no texture for a %d × %d picture: %@", width, height, SDL_GetError());
                return;
            }
            SDL_SetTextureBlendMode(surface.texture, SDL_BLENDMODE_NONE);
            surface.width = width;
            surface.height = height;
        }
        copyIntoTexture(surface, SDL_Rect { 0, 0, width, height });
    }

    // One rectangle of the picture (pixels, y down) into its texture, which is already the picture's size.
    void upload(Surface& surface, CGRect rect)
    {
        CGRect inside = CGRectIntersection(CGRectIntegral(rect), CGRectMake(0, 0, static_cast<CGFloat>(surface.width), static_cast<CGFloat>(surface.height)));
        if (CGRectIsEmpty(inside))
            return;
        copyIntoTexture(surface, SDL_Rect { static_cast<int>(inside.origin.x), static_cast<int>(inside.origin.y), static_cast<int>(inside.size.width),
                                     static_cast<int>(inside.size.height) });
    }

    static void copyIntoTexture(Surface& surface, const SDL_Rect& area)
    {
        void* destination;
        int pitch;
        if (!surface.texture || SDL_LockTexture(surface.texture, &area, &destination, &pitch) != 0)
            return;
        for (int y = 0; y < area.h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(destination) + static_cast<ptrdiff_t>(y) * pitch);
            const uint32_t* from = surface.image->row(static_cast<size_t>(area.y + y)).data() + area.x;
            for (int x = 0; x < area.w; ++x)
                row[x] = from[x] | 0xff000000u;
        }
        SDL_UnlockTexture(surface.texture);
    }

    // Shows the last frame again, as it was uploaded: exposing the window does not composite.
    void redraw()
    {
        if (!m_renderer)
            return;
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        if (m_frame.texture) {
            SDL_Rect frame { 0, 0, m_frame.width, m_frame.height };
            SDL_RenderCopy(m_renderer, m_frame.texture, nullptr, &frame);
        }
        if (m_panel.texture) {
            SDL_Rect panel { screenPixelWidth(), 0, m_panel.width, m_panel.height };
            SDL_RenderCopy(m_renderer, m_panel.texture, nullptr, &panel);
        }
        SDL_RenderPresent(m_renderer);
    }

    void handle(NSRunLoop& loop, const SDL_Event& event)
    {
        SDLText dropped(event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT ? event.drop.file : nullptr, SDL_free);
        if (event.type == m_wakeEvent) {
            m_wakePending = false;
            return;
        }
        if (!m_window)
            return;
        switch (event.type) {
        case SDL_QUIT:
            closeRequested(loop);
            break;
        case SDL_WINDOWEVENT:
            if (event.window.windowID == m_windowID)
                handleWindowEvent(loop, event.window);
            break;
        case SDL_MOUSEBUTTONDOWN:
            // The side panel is no part of the phone's screen.
            if (event.button.windowID == m_windowID && event.button.button == SDL_BUTTON_LEFT && event.button.x < screenPixelWidth())
                enqueueTouches(loop, m_fingers.press(toScreen(event.button.x, event.button.y), fingersForModifiers()));
            break;
        case SDL_MOUSEMOTION:
            if (event.motion.windowID != m_windowID)
                break;
            // A release that happened where the window could not see it ends the touch here.
            if (!(event.motion.state & SDL_BUTTON_LMASK))
                enqueueTouches(loop, m_fingers.release(toScreen(event.motion.x, event.motion.y)));
            else
                enqueueTouches(loop, m_fingers.move(toScreen(event.motion.x, event.motion.y)));
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.windowID == m_windowID && event.button.button == SDL_BUTTON_LEFT)
                enqueueTouches(loop, m_fingers.release(toScreen(event.button.x, event.button.y)));
            break;
        case SDL_KEYDOWN:
            m_modifiers = event.key.keysym.mod;
            // Keys count without the window's id too: SDL may not have noted the focus yet.
            if (!event.key.repeat)
                handleKey(event.key.keysym);
            break;
        case SDL_KEYUP:
            m_modifiers = event.key.keysym.mod;
            break;
        case SDL_DROPBEGIN:
            m_dropping = true;
            m_dropped.clear();
            break;
        case SDL_DROPFILE:
            if (dropped)
                m_dropped.emplace_back(dropped.get());
            // Without a begin there will be no complete either.
            if (!m_dropping)
                deliverDrop();
            break;
        case SDL_DROPCOMPLETE:
            m_dropping = false;
            deliverDrop();
            break;
        case SDL_RENDER_DEVICE_RESET:
            // The textures went with the device.
            for (auto* surface : { &m_frame, &m_panel }) {
                surface->dropTexture();
                if (surface->image)
                    upload(*surface);
            }
            redraw();
            break;
        default:
            break;
        }
    }

    void handleWindowEvent(NSRunLoop& loop, const SDL_WindowEvent& event)
    {
        switch (event.event) {
        case SDL_WINDOWEVENT_CLOSE:
            closeRequested(loop);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            tell(m_lifecycle.setFocused(true));
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            // A finger cannot stay down on a screen the person has left.
            enqueueTouches(loop, m_fingers.cancel());
            tell(m_lifecycle.setFocused(false));
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            enqueueTouches(loop, m_fingers.cancel());
            tell(m_lifecycle.setMinimised(true));
            break;
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_MAXIMIZED:
            tell(m_lifecycle.setMinimised(false));
            redraw();
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            redraw();
            break;
        default:
            break;
        }
    }

    void handleKey(const SDL_Keysym& key)
    {
        if (key.sym == SDLK_F2 && !(key.mod & (KMOD_CTRL | KMOD_ALT | KMOD_SHIFT)) && m_callbacks.togglePreview)
            m_callbacks.togglePreview();
        if (!(key.mod & KMOD_CTRL))
            return;
        if (key.sym == SDLK_s && m_callbacks.screenshot)
            m_callbacks.screenshot();
        else if ((key.sym == SDLK_LEFT || key.sym == SDLK_RIGHT) && m_callbacks.rotate)
            m_callbacks.rotate(key.sym == SDLK_LEFT ? -1 : 1);
    }

    void closeRequested(NSRunLoop& loop)
    {
        enqueueTouches(loop, m_fingers.cancel());
        auto steps = m_lifecycle.terminate();
        if (steps.empty())
            return;
        tell(steps);
        if (m_callbacks.quit)
            m_callbacks.quit();
    }

    void deliverDrop()
    {
        auto files = std::exchange(m_dropped, {});
        if (!files.empty() && m_callbacks.filesDropped)
            m_callbacks.filesDropped(std::move(files));
    }

    void tell(const std::vector<Lifecycle>& steps)
    {
        if (!m_callbacks.lifecycle)
            return;
        for (auto step : steps)
            m_callbacks.lifecycle(step);
    }

    // The modifiers as the key events before the press left them: SDL_GetModState is already
    // past the events still queued.
    MouseFingerSimulator::Fingers fingersForModifiers() const
    {
        if (!(m_modifiers & KMOD_ALT))
            return MouseFingerSimulator::Fingers::One;
        return m_modifiers & KMOD_SHIFT ? MouseFingerSimulator::Fingers::Together : MouseFingerSimulator::Fingers::Mirrored;
    }

    CGPoint toScreen(Sint32 x, Sint32 y) const
    {
        return { static_cast<CGFloat>(x) / m_scale, static_cast<CGFloat>(y) / m_scale };
    }

    void enqueueTouches(NSRunLoop& loop, std::vector<UIFingerSample> fingers)
    {
        if (!fingers.empty())
            UIApplication::sharedApplication()->enqueueTouchFrame({ std::move(fingers), loop.now() });
    }

    Callbacks m_callbacks;
    CGFloat m_scale;
    CGSize m_screenPoints;
    MouseFingerSimulator m_fingers;
    WindowLifecycle m_lifecycle;
    Uint16 m_modifiers = KMOD_NONE;
    bool m_videoStarted = false;
    Uint32 m_wakeEvent = static_cast<Uint32>(-1);
    std::atomic<bool> m_wakePending = false;
    SDL_Window* m_window = nullptr;
    Uint32 m_windowID = 0;
    SDL_Renderer* m_renderer = nullptr;
    Surface m_frame;
    // Frames offered so far, and the one of them the frame texture holds.
    unsigned long long m_presentedFrames = 0;
    unsigned long long m_uploadedFrame = 0;
    Surface m_panel;
    bool m_dropping = false;
    std::vector<std::string> m_dropped;
};

std::unique_ptr<SDLWindowHost> SDLWindowHost::open(CGSize screenPoints, CGFloat scale, Callbacks callbacks, std::string& error)
{
    error.clear();
    int width, height;
    if (!(scale > 0) || !pixelSize(screenPoints, scale, width, height)) {
        error = stringWithFormat("a screen of %g × %g points at scale %g does not fit a window", screenPoints.width, screenPoints.height, scale);
        return nullptr;
    }
    if (!hasDisplay()) {
        error = "no display to open a window on (DISPLAY and WAYLAND_DISPLAY are unset)";
        return nullptr;
    }
    // SDL has one event queue: a second window's waiter would take the first one's events.
    if (windowIsOpen.exchange(true)) {
        error = "a window is already open";
        return nullptr;
    }
    auto window = std::make_shared<Window>(screenPoints, scale, std::move(callbacks));
    if (!window->open(width, height, error)) {
        windowIsOpen = false;
        return nullptr;
    }
    return std::unique_ptr<SDLWindowHost>(new SDLWindowHost(std::move(window)));
}

SDLWindowHost::SDLWindowHost(std::shared_ptr<Window> window)
    : m_window(std::move(window))
{
}

SDLWindowHost::~SDLWindowHost()
{
    m_window->close();
}

std::shared_ptr<UIScreenDisplay> SDLWindowHost::display()
{
    return m_window;
}

std::shared_ptr<NSRunLoop::Waiter> SDLWindowHost::waiter()
{
    return m_window;
}

void SDLWindowHost::resize(CGSize screenPoints)
{
    m_window->resize(screenPoints);
}

void SDLWindowHost::setSidePanel(const CGImageRef& panel)
{
    m_window->setSidePanel(panel);
}

uint32_t SDLWindowHost::windowId() const
{
    return m_window->windowId();
}

// Last: the window-system headers define names (None, Status, Window…) that would clash above.
#include <SDL_syswm.h>

uint32_t SDLWindowHost::Window::windowId() const
{
    if (!m_window)
        return 0;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(m_window, &info))
        return 0;
#if defined(SDL_VIDEO_DRIVER_X11)
    if (info.subsystem == SDL_SYSWM_X11)
        return static_cast<uint32_t>(info.info.x11.window);
#endif
    return 0;
}
