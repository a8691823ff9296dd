#pragma once

#include "QuartzCore/CAContext.h"
#include "UIKit/UIEvent.h"
#include "UIKit/UIView.h"

class UIViewController;
using UIViewControllerRef = std::shared_ptr<UIViewController>;

class UIWindow;
using UIWindowRef = std::shared_ptr<UIWindow>;

using UIWindowLevel = CGFloat;
inline constexpr UIWindowLevel UIWindowLevelNormal = 0;
inline constexpr UIWindowLevel UIWindowLevelStatusBar = 1000;
inline constexpr UIWindowLevel UIWindowLevelAlert = 2000;

// The root of a view tree on the screen. Its frame is in screen points; its layer
// tree is a CAContext, so every commit lays it out and displays it. Windows start
// hidden, as on the platform, and show once made visible. A window hands the
// touches of each event to its views: at touch-down a touch is bound to the view
// the hit test finds and to the gesture recognisers of that view and its
// ancestors; the recognisers see each frame's touches first, then the views.
class UIWindow : public UIView {
    OBJC_CLASS(UIWindow, UIView)
    [[nodiscard]] static UIWindowRef initWithFrame(CGRect);

    [[nodiscard]] UIWindowLevel windowLevel() const { return m_windowLevel; }
    void setWindowLevel(UIWindowLevel);
    [[nodiscard]] bool isKeyWindow() const;
    void makeKeyWindow();
    // Shows the window and makes it the key window.
    void makeKeyAndVisible();

    // Its view fills the window; the window owns the controller.
    [[nodiscard]] const UIViewControllerRef& rootViewController() const { return m_rootViewController; }
    void setRootViewController(UIViewControllerRef);

    [[nodiscard]] CGPoint convertPointFromScreen(CGPoint) const;
    [[nodiscard]] CGPoint convertPointToScreen(CGPoint) const;

    virtual void sendEvent(const UIEvent&);

    [[nodiscard]] std::shared_ptr<UIResponder> nextResponder() const override;

protected:
    void didAllocate() override;

private:
    void bindNewTouches(const UITouchSet&, const UIEvent&);

    CAContextRef m_context;
    UIViewControllerRef m_rootViewController;
    UIWindowLevel m_windowLevel = UIWindowLevelNormal;
};
