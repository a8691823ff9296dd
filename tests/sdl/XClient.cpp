#include "XClient.h"

#include <X11/Xlib.h>

bool XClient::requestClose(uint32_t window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XSync(display, False);
    XCloseDisplay(display);
    return sent;
}

bool XClient::paintOverAndExpose(uint32_t window)
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    XSetWindowBackground(display, window, WhitePixel(display, DefaultScreen(display)));
    XClearArea(display, window, 0, 0, 0, 0, True);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

XClient::SideWindow::SideWindow()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    m_display = display;
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 200, 200, 40, 40, 0, 0, 0);
    XMapWindow(display, window);
    XSync(display, False);
    m_window = static_cast<uint32_t>(window);
}

XClient::SideWindow::~SideWindow()
{
    if (m_display)
        XCloseDisplay(static_cast<Display*>(m_display));
}
