#pragma once

#include "UIKit/UINavigationItem.h"
#include "UIKit/UIOrientation.h"
#include "UIKit/UITabBarItem.h"
#include "UIKit/UIView.h"

#include <functional>
#include <string_view>
#include <vector>

class NSBundle;
class UINavigationController;
class UITabBarController;
class UIViewController;
using UIViewControllerRef = std::shared_ptr<UIViewController>;

// Manages a view: makes it on first use (loadView, then viewDidLoad), names it
// (title, navigation item, tab bar item) and presents other controllers over it.
// A controller is the next responder after its view. Containers (navigation and
// tab bar controllers) own their children and lay out their views; a child
// links to its parent without owning it.
class UIViewController : public UIResponder {
    OBJC_CLASS(UIViewController, UIResponder)

    // The platform's designated initialiser (there are no nibs here): answers this
    // controller; subclasses extend it and answer what the superclass answered.
    virtual UIViewControllerRef initWithNibName(std::string_view nibName, NSBundle* bundle);

    // Loaded on first access.
    [[nodiscard]] const UIViewRef& view();
    void setView(UIViewRef);
    [[nodiscard]] bool isViewLoaded() const { return m_view != nullptr; }
    // Makes a plain view of the screen's application frame, flexible in width and height.
    virtual void loadView();
    virtual void viewDidLoad() { }
    virtual void viewWillAppear(bool /* animated */) { }
    virtual void viewDidAppear(bool /* animated */) { }
    virtual void viewWillDisappear(bool /* animated */) { }
    virtual void viewDidDisappear(bool /* animated */) { }

    // Also the navigation item's title.
    [[nodiscard]] const std::string& title() const { return m_title; }
    virtual void setTitle(std::string);
    [[nodiscard]] const UINavigationItemRef& navigationItem();
    // Made with the title on first use.
    [[nodiscard]] virtual UITabBarItemRef tabBarItem();
    void setTabBarItem(UITabBarItemRef item) { m_tabBarItem = std::move(item); }

    // The nearest container of that kind above this controller.
    [[nodiscard]] std::shared_ptr<UINavigationController> navigationController() const;
    [[nodiscard]] std::shared_ptr<UITabBarController> tabBarController() const;
    [[nodiscard]] UIViewControllerRef parentViewController() const { return m_parent.lock(); }
    [[nodiscard]] const std::vector<UIViewControllerRef>& childViewControllers() const { return m_children; }

    // Modal presentation: the presented controller's view covers the window, sliding up
    // from the bottom when animated; completion runs once it is in place (or gone), after
    // the animation, from the run loop.
    void presentViewController(const UIViewControllerRef&, bool animated, std::function<void()> completion = {});
    void dismissViewControllerAnimated(bool animated, std::function<void()> completion = {});
    [[nodiscard]] UIViewControllerRef presentedViewController() const { return m_presented; }
    [[nodiscard]] UIViewControllerRef presentingViewController() const { return m_presenting.lock(); }

    // Portrait only unless a subclass says otherwise, as on the phone.
    [[nodiscard]] virtual bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation orientation)
    {
        return orientation == UIInterfaceOrientationPortrait;
    }
    [[nodiscard]] virtual CGSize contentSizeForViewInPopover() const { return CGSizeMake(320, 1100); }
    virtual void didReceiveMemoryWarning() { }
    virtual void viewDidUnload() { }

    // Containers lay out their children's views when their own view lays out.
    virtual void viewWillLayoutSubviews() { }

    [[nodiscard]] std::shared_ptr<UIResponder> nextResponder() const override;

protected:
    // Containers.
    void addChildViewController(const UIViewControllerRef&);
    // A container's view: the screen's size, flexible, laying out the children.
    void loadContainerView();
    void removeChildViewController(const UIViewControllerRef&);
    // How long a presentation slides, as on the phone.
    static constexpr double presentationDuration = 0.4;

private:
    void placePresentedView(bool animated, std::function<void()> completion);

    UIViewRef m_view;
    std::string m_title;
    UINavigationItemRef m_navigationItem;
    UITabBarItemRef m_tabBarItem;
    std::weak_ptr<UIViewController> m_parent;
    std::vector<UIViewControllerRef> m_children;
    UIViewControllerRef m_presented;
    std::weak_ptr<UIViewController> m_presenting;
};

// The view of a container controller: it lays out the controller's children.
class UILayoutContainerView : public UIView {
    OBJC_CLASS(UILayoutContainerView, UIView)
    void layoutSubviews() override;
};
