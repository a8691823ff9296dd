#pragma once

#include "UIKit/UIApplicationDelegate.h"
#include "UIKit/UIEvent.h"
#include "UIKit/UIOrientation.h"
#include "UIKit/UIResponder.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class UIWindow;
class UIStatusBar;

enum class UIApplicationState {
    Active,
    Inactive,
    Background,
};

// What opens links for the application. The default one opens nothing: it answers
// for the web's schemes and records what it was asked to open (and logs it), as a
// headless run and the tests want; a desktop session installs one that hands links to
// the desktop.
class UIURLOpener {
public:
    virtual ~UIURLOpener() = default;
    [[nodiscard]] virtual bool canOpenScheme(const std::string& scheme);
    virtual bool openURL(const std::string& url);
    [[nodiscard]] const std::vector<std::string>& openedURLs() const { return m_opened; }

protected:
    void record(const std::string& url) { m_opened.push_back(url); }

private:
    std::vector<std::string> m_opened;
};

// One finger's part of a touch frame: which finger (ids are the event source's own),
// what it did and where, in screen points.
struct UIFingerSample {
    int finger = 0;
    UITouchPhase phase = UITouchPhaseBegan;
    CGPoint location {};
};

// What an event source (a window's mouse, a script, a test) reports at one moment.
struct UITouchFrame {
    std::vector<UIFingerSample> fingers;
    double timestamp = 0;
};

// Runs the application: makes the delegate from its class name through the runtime,
// tells it the application has launched and is active, and runs the main run loop until
// the application terminates. Answers 0, or 1 when the delegate cannot be made.
int UIApplicationMain(int argc, char** argv, const char* principalClassName, const char* delegateClassName);

// The application: its windows, and the one event path. Event sources queue touch
// frames; the main run loop hands them over one per turn, so each frame ends in a
// commit. A finger coming down becomes a UITouch bound to the topmost visible
// window whose hit test finds a view (windows are ordered by level, then by when
// they were made visible); the application keeps one touch event whose set holds
// every finger down, and sends it to the windows of its touches.
class UIApplication : public UIResponder {
    OBJC_CLASS(UIApplication, UIResponder)
    [[nodiscard]] static const std::shared_ptr<UIApplication>& sharedApplication();

    // Visible windows, back to front.
    [[nodiscard]] std::vector<std::shared_ptr<UIWindow>> windows() const;
    [[nodiscard]] std::shared_ptr<UIWindow> keyWindow() const { return m_keyWindow.lock(); }

    // The delegate is owned, as UIApplicationMain keeps it for the life of the process.
    [[nodiscard]] const std::shared_ptr<UIResponder>& delegate() const { return m_delegate; }
    void setDelegate(std::shared_ptr<UIResponder>);
    [[nodiscard]] UIApplicationState applicationState() const { return m_state; }
    // The host's news about the application's place on the desktop, told to the delegate
    // in the platform's order (becoming inactive before entering the background, and so on).
    enum class Transition { ResignActive, BecomeActive, EnterBackground, EnterForeground, Terminate };
    void handleTransition(Transition);
    // Tells the delegate it is ending, then stops the main run loop.
    void terminate();

    // Links: a scheme ("http") or a whole link; the opener decides.
    [[nodiscard]] bool canOpenURL(const std::string& url) const;
    bool openURL(const std::string& url);
    [[nodiscard]] const std::shared_ptr<UIURLOpener>& urlOpener() const { return m_urlOpener; }
    void setURLOpener(std::shared_ptr<UIURLOpener>);

    // The interface's orientation. Turning asks the key window's root controller; where it
    // agrees, the screen takes the turned size and the windows that filled it follow.
    [[nodiscard]] UIInterfaceOrientation statusBarOrientation() const { return m_orientation; }
    bool rotateInterfaceToOrientation(UIInterfaceOrientation);
    // Shown in a window of its own above the others once a window is shown.
    [[nodiscard]] std::shared_ptr<UIStatusBar> statusBar() const;

    virtual void sendEvent(const UIEvent&);

    // Event sources: the frame is handled in a coming turn of the main run loop.
    void enqueueTouchFrame(UITouchFrame);
    [[nodiscard]] bool hasPendingFrames() const { return !m_pendingFrames.empty(); }
    // Fingers on the screen now.
    [[nodiscard]] size_t activeTouchCount() const { return m_activeTouches.size(); }

    // For windows.
    void windowWasMade(const std::shared_ptr<UIWindow>&);
    void windowBecameVisible(const std::shared_ptr<UIWindow>&);
    void setKeyWindow(const std::shared_ptr<UIWindow>&);

protected:
    void didAllocate() override;

private:
    struct ActiveTouch {
        int finger;
        UITouchRef touch;
    };

    void handleTouchFrame(const UITouchFrame&);
    void beginTouch(const UIFingerSample&, double timestamp);
    [[nodiscard]] std::shared_ptr<UIWindow> windowAtScreenPoint(CGPoint) const;

    void showStatusBar();

    std::shared_ptr<UIResponder> m_delegate;
    UIApplicationState m_state = UIApplicationState::Inactive;
    bool m_terminated = false;
    std::shared_ptr<UIURLOpener> m_urlOpener;
    UIInterfaceOrientation m_orientation = UIInterfaceOrientationPortrait;
    std::shared_ptr<UIWindow> m_statusBarWindow;
    std::vector<std::weak_ptr<UIWindow>> m_windows;  // in the order they became visible
    std::weak_ptr<UIWindow> m_keyWindow;
    std::vector<ActiveTouch> m_activeTouches;
    std::deque<UITouchFrame> m_pendingFrames;
    UIEventRef m_touchEvent;
    int m_eventSource = 0;
    int m_commitObserver = 0;
};
