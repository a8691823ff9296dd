#include "UIKit/UIApplication.h"

#include "Foundation/NSLog.h"
#include "Foundation/NSRunLoop.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIStatusBar.h"
#include "UIKit/UIViewController.h"
#include "UIKit/UIWindow.h"

#include <algorithm>

namespace {

// Commits run after everything else a turn does before it waits.
constexpr int commitObserverOrder = 2000000;

}

const std::shared_ptr<UIApplication>& UIApplication::sharedApplication()
{
    static const std::shared_ptr<UIApplication> application = objc::alloc<UIApplication>();
    return application;
}

void UIApplication::didAllocate()
{
    super::didAllocate();
    m_touchEvent = objc::alloc<UIEvent>();
    m_urlOpener = std::make_shared<UIURLOpener>();
    auto& loop = NSRunLoop::mainRunLoop();
    std::weak_ptr<UIApplication> weakThis = std::static_pointer_cast<UIApplication>(shared_from_this());
    // One frame a turn, so that every frame's changes are committed before the next.
    m_eventSource = loop.addSource([weakThis] {
        auto application = weakThis.lock();
        if (!application || application->m_pendingFrames.empty())
            return;
        UITouchFrame frame = std::move(application->m_pendingFrames.front());
        application->m_pendingFrames.pop_front();
        application->handleTouchFrame(frame);
        if (!application->m_pendingFrames.empty())
            NSRunLoop::mainRunLoop().signalSource(application->m_eventSource);
    });
    // The end of each turn is one rendering update.
    m_commitObserver = loop.addObserver(NSRunLoop::BeforeWaiting | NSRunLoop::Exit, commitObserverOrder, [](NSRunLoop::Activity) {
        CATransaction::flush();
    });
}

std::vector<std::shared_ptr<UIWindow>> UIApplication::windows() const
{
    std::vector<std::shared_ptr<UIWindow>> visible;
    for (auto& entry : m_windows) {
        auto window = entry.lock();
        if (window && !window->isHidden())
            visible.push_back(window);
    }
    std::stable_sort(visible.begin(), visible.end(), [](auto& a, auto& b) { return a->windowLevel() < b->windowLevel(); });
    return visible;
}

void UIApplication::windowWasMade(const std::shared_ptr<UIWindow>& window)
{
    std::erase_if(m_windows, [](auto& entry) { return entry.expired(); });
    m_windows.push_back(window);
}

void UIApplication::windowBecameVisible(const std::shared_ptr<UIWindow>& window)
{
    // The one made visible last is in front of the others of its level.
    std::erase_if(m_windows, [&window](auto& entry) { return entry.expired() || entry.lock() == window; });
    m_windows.push_back(window);
    if (window != m_statusBarWindow)
        showStatusBar();
}

void UIApplication::showStatusBar()
{
    if (m_statusBarWindow)
        return;
    CGRect screen = UIScreen::mainScreen()->bounds();
    m_statusBarWindow = UIWindow::initWithFrame(CGRectMake(screen.origin.x, screen.origin.y, screen.size.width, UIScreen::statusBarHeight));
    m_statusBarWindow->setWindowLevel(UIWindowLevelStatusBar);
    m_statusBarWindow->setUserInteractionEnabled(false);
    auto bar = objc::alloc<UIStatusBar>();
    bar->setFrame(m_statusBarWindow->bounds());
    bar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    m_statusBarWindow->addSubview(bar);
    m_statusBarWindow->setHidden(false);
    windowBecameVisible(m_statusBarWindow);
}

std::shared_ptr<UIStatusBar> UIApplication::statusBar() const
{
    if (!m_statusBarWindow || m_statusBarWindow->subviews().empty())
        return nullptr;
    return std::dynamic_pointer_cast<UIStatusBar>(m_statusBarWindow->subviews().front());
}

void UIApplication::setDelegate(std::shared_ptr<UIResponder> delegate)
{
    m_delegate = std::move(delegate);
}

void UIApplication::handleTransition(Transition transition)
{
    auto* delegate = dynamic_cast<UIApplicationDelegate*>(m_delegate.get());
    auto holdDelegate = m_delegate;
    auto tell = [&](void (UIApplicationDelegate::*message)(UIApplication&)) {
        if (delegate)
            (delegate->*message)(*this);
    };
    switch (transition) {
    case Transition::ResignActive:
        if (m_state == UIApplicationState::Active) {
            m_state = UIApplicationState::Inactive;
            tell(&UIApplicationDelegate::applicationWillResignActive);
        }
        break;
    case Transition::BecomeActive:
        if (m_state == UIApplicationState::Background)
            handleTransition(Transition::EnterForeground);
        if (m_state != UIApplicationState::Active) {
            m_state = UIApplicationState::Active;
            tell(&UIApplicationDelegate::applicationDidBecomeActive);
        }
        break;
    case Transition::EnterBackground:
        handleTransition(Transition::ResignActive);
        if (m_state != UIApplicationState::Background) {
            m_state = UIApplicationState::Background;
            tell(&UIApplicationDelegate::applicationDidEnterBackground);
        }
        break;
    case Transition::EnterForeground:
        if (m_state == UIApplicationState::Background) {
            m_state = UIApplicationState::Inactive;
            tell(&UIApplicationDelegate::applicationWillEnterForeground);
        }
        break;
    case Transition::Terminate:
        if (!m_terminated) {
            handleTransition(Transition::ResignActive);
            m_terminated = true;
            tell(&UIApplicationDelegate::applicationWillTerminate);
        }
        break;
    }
}

void UIApplication::terminate()
{
    handleTransition(Transition::Terminate);
    NSRunLoop::mainRunLoop().stop();
}

namespace {

std::string schemeOf(const std::string& url)
{
    auto colon = url.find(':');
    std::string scheme = colon == std::string::npos ? url : url.substr(0, colon);
    for (char& c : scheme)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return scheme;
}

}

bool UIURLOpener::canOpenScheme(const std::string& scheme)
{
    return scheme == "http" || scheme == "https";
}

bool UIURLOpener::openURL(const std::string& url)
{
    record(url);
    NSLog("openURL: %@", url);
    return true;
}

bool UIApplication::canOpenURL(const std::string& url) const
{
    std::string scheme = schemeOf(url);
    return !scheme.empty() && m_urlOpener->canOpenScheme(scheme);
}

bool UIApplication::openURL(const std::string& url)
{
    return canOpenURL(url) && m_urlOpener->openURL(url);
}

void UIApplication::setURLOpener(std::shared_ptr<UIURLOpener> opener)
{
    m_urlOpener = opener ? std::move(opener) : std::make_shared<UIURLOpener>();
}

bool UIApplication::rotateInterfaceToOrientation(UIInterfaceOrientation orientation)
{
    if (orientation == m_orientation)
        return true;
    auto window = keyWindow();
    auto root = window ? window->rootViewController() : nullptr;
    if (root && !root->shouldAutorotateToInterfaceOrientation(orientation))
        return false;
    auto screen = UIScreen::mainScreen();
    CGRect old = screen->bounds();
    CGSize size = old.size;
    if (UIInterfaceOrientationIsLandscape(orientation) != UIInterfaceOrientationIsLandscape(m_orientation))
        std::swap(size.width, size.height);
    CGRect turned = CGRectMake(old.origin.x, old.origin.y, size.width, size.height);
    m_orientation = orientation;
    screen->setBounds(turned);
    for (auto& entry : m_windows) {
        auto shown = entry.lock();
        if (!shown)
            continue;
        if (shown == m_statusBarWindow)
            shown->setFrame(CGRectMake(turned.origin.x, turned.origin.y, turned.size.width, UIScreen::statusBarHeight));
        else if (shown->frame() == old)
            shown->setFrame(turned);
    }
    return true;
}

int UIApplicationMain(int, char**, const char* principalClassName, const char* delegateClassName)
{
    auto application = UIApplication::sharedApplication();
    if (principalClassName && std::string_view(principalClassName) != "UIApplication")
        NSLog("UIApplicationMain: no principal class %@ on this platform; using UIApplication", std::string(principalClassName));
    id made = delegateClassName ? class_createInstance(objc_getClass(delegateClassName)) : nullptr;
    auto delegate = std::dynamic_pointer_cast<UIResponder>(made);
    if (!delegate || !dynamic_cast<UIApplicationDelegate*>(delegate.get())) {
        NSLog("UIApplicationMain: %@ is not an application delegate class", std::string(delegateClassName ? delegateClassName : "nil"));
        return 1;
    }
    application->setDelegate(delegate);
    dynamic_cast<UIApplicationDelegate&>(*delegate).applicationDidFinishLaunchingWithOptions(*application, {});
    application->handleTransition(UIApplication::Transition::BecomeActive);
    NSRunLoop::mainRunLoop().run();
    application->handleTransition(UIApplication::Transition::Terminate);
    return 0;
}

void UIApplication::setKeyWindow(const std::shared_ptr<UIWindow>& window)
{
    m_keyWindow = window;
}

void UIApplication::enqueueTouchFrame(UITouchFrame frame)
{
    m_pendingFrames.push_back(std::move(frame));
    NSRunLoop::mainRunLoop().signalSource(m_eventSource);
}

std::shared_ptr<UIWindow> UIApplication::windowAtScreenPoint(CGPoint point) const
{
    auto visible = windows();
    for (auto window = visible.rbegin(); window != visible.rend(); ++window) {
        if ((*window)->hitTest((*window)->convertPointFromScreen(point), m_touchEvent.get()))
            return *window;
    }
    return nullptr;
}

void UIApplication::beginTouch(const UIFingerSample& sample, double timestamp)
{
    auto window = windowAtScreenPoint(sample.location);
    if (!window)
        return;  // nothing on the screen takes it
    auto touch = objc::alloc<UITouch>();
    touch->m_window = window;
    touch->moveTo(window->convertPointFromScreen(sample.location), UITouchPhaseBegan, timestamp);
    m_activeTouches.push_back({ sample.finger, touch });
}

void UIApplication::handleTouchFrame(const UITouchFrame& frame)
{
    std::vector<UITouch*> reported;
    for (const auto& sample : frame.fingers) {
        auto active = std::find_if(m_activeTouches.begin(), m_activeTouches.end(), [&](auto& entry) { return entry.finger == sample.finger; });
        if (sample.phase == UITouchPhaseBegan) {
            // A finger that is already down cannot come down again: the source lost its lift.
            if (active != m_activeTouches.end())
                continue;
            beginTouch(sample, frame.timestamp);
            if (!m_activeTouches.empty() && m_activeTouches.back().finger == sample.finger)
                reported.push_back(m_activeTouches.back().touch.get());
            continue;
        }
        if (active == m_activeTouches.end())
            continue;
        auto& touch = active->touch;
        auto window = touch->window();
        touch->moveTo(window ? window->convertPointFromScreen(sample.location) : sample.location, sample.phase, frame.timestamp);
        reported.push_back(touch.get());
    }
    if (reported.empty())
        return;
    // Fingers the frame did not mention stayed where they were.
    m_touchEvent->m_touches.clear();
    for (auto& active : m_activeTouches) {
        if (std::find(reported.begin(), reported.end(), active.touch.get()) == reported.end())
            active.touch->moveTo(active.touch->locationInView(nullptr), UITouchPhaseStationary, frame.timestamp);
        m_touchEvent->m_touches.push_back(active.touch);
    }
    m_touchEvent->m_timestamp = frame.timestamp;
    sendEvent(*m_touchEvent);

    std::erase_if(m_activeTouches, [](ActiveTouch& active) {
        bool over = active.touch->phase() == UITouchPhaseEnded || active.touch->phase() == UITouchPhaseCancelled;
        if (over)
            active.touch->finish();
        return over;
    });
    m_touchEvent->m_touches.clear();
}

void UIApplication::sendEvent(const UIEvent& event)
{
    std::vector<std::shared_ptr<UIWindow>> windows;
    for (auto& touch : event.allTouches()) {
        auto window = touch->window();
        if (window && std::find(windows.begin(), windows.end(), window) == windows.end())
            windows.push_back(window);
    }
    for (auto& window : windows)
        window->sendEvent(event);
}
