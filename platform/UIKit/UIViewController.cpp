#include "UIKit/UIViewController.h"

#include "UIKit/UIApplication.h"
#include "UIKit/UINavigationController.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UITabBarController.h"
#include "UIKit/UIWindow.h"

UIViewControllerRef UIViewController::initWithNibName(std::string_view, NSBundle*)
{
    return std::static_pointer_cast<UIViewController>(shared_from_this());
}

const UIViewRef& UIViewController::view()
{
    if (!m_view) {
        loadView();
        if (!m_view)
            UIViewController::loadView();
        viewDidLoad();
    }
    return m_view;
}

void UIViewController::setView(UIViewRef view)
{
    if (m_view)
        m_view->setViewController({});
    m_view = std::move(view);
    if (m_view)
        m_view->setViewController(std::static_pointer_cast<UIResponder>(shared_from_this()));
}

void UIViewController::loadView()
{
    auto view = UIView::initWithFrame(UIScreen::mainScreen()->applicationFrame());
    view->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setView(view);
}

void UIViewController::loadContainerView()
{
    auto container = objc::alloc<UILayoutContainerView>();
    container->setFrame(UIScreen::mainScreen()->bounds());
    container->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    setView(container);
}

void UIViewController::setTitle(std::string title)
{
    m_title = std::move(title);
    if (m_navigationItem)
        m_navigationItem->setTitle(m_title);
}

const UINavigationItemRef& UIViewController::navigationItem()
{
    if (!m_navigationItem) {
        m_navigationItem = objc::alloc<UINavigationItem>();
        m_navigationItem->setTitle(m_title);
    }
    return m_navigationItem;
}

UITabBarItemRef UIViewController::tabBarItem()
{
    if (!m_tabBarItem)
        m_tabBarItem = UITabBarItem::initWithTitle(m_title, nullptr, nullptr);
    return m_tabBarItem;
}

std::shared_ptr<UINavigationController> UIViewController::navigationController() const
{
    for (auto controller = parentViewController(); controller; controller = controller->parentViewController()) {
        if (auto navigation = std::dynamic_pointer_cast<UINavigationController>(controller))
            return navigation;
    }
    return nullptr;
}

std::shared_ptr<UITabBarController> UIViewController::tabBarController() const
{
    for (auto controller = parentViewController(); controller; controller = controller->parentViewController()) {
        if (auto tabs = std::dynamic_pointer_cast<UITabBarController>(controller))
            return tabs;
    }
    return nullptr;
}

void UIViewController::addChildViewController(const UIViewControllerRef& child)
{
    if (!child || child.get() == this)
        return;
    if (auto oldParent = child->parentViewController())
        oldParent->removeChildViewController(child);
    m_children.push_back(child);
    child->m_parent = std::static_pointer_cast<UIViewController>(shared_from_this());
}

void UIViewController::removeChildViewController(const UIViewControllerRef& child)
{
    if (!child || child->parentViewController().get() != this)
        return;
    child->m_parent.reset();
    std::erase(m_children, child);
}

std::shared_ptr<UIResponder> UIViewController::nextResponder() const
{
    if (m_view) {
        if (auto superview = m_view->superview())
            return superview;
    }
    return parentViewController();
}

void UIViewController::presentViewController(const UIViewControllerRef& controller, bool animated, std::function<void()> completion)
{
    if (!controller || m_presented || controller->presentingViewController())
        return;
    auto window = view()->window();
    if (!window)
        window = UIApplication::sharedApplication()->keyWindow();
    if (!window)
        return;
    m_presented = controller;
    controller->m_presenting = std::static_pointer_cast<UIViewController>(shared_from_this());
    const UIViewRef& shown = controller->view();
    CGRect bounds = window->bounds();
    shown->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    shown->setFrame(animated ? CGRectOffset(bounds, 0, bounds.size.height) : bounds);
    window->addSubview(shown);
    controller->viewWillAppear(animated);
    // The presented controller is owned by this one (m_presented) meanwhile; the block only needs it weakly.
    std::weak_ptr<UIViewController> weakPresented = controller;
    UIView::animateWithDuration(animated ? presentationDuration : 0, [&] { shown->setFrame(bounds); },
        [weakPresented, animated, completion = std::move(completion)](bool) {
            if (auto presented = weakPresented.lock())
                presented->viewDidAppear(animated);
            if (completion)
                completion();
        });
}

void UIViewController::dismissViewControllerAnimated(bool animated, std::function<void()> completion)
{
    // Sent to the presented controller, the request goes to the one that presented it.
    auto presenter = m_presented ? std::static_pointer_cast<UIViewController>(shared_from_this()) : presentingViewController();
    if (!presenter || !presenter->m_presented)
        return;
    auto presented = presenter->m_presented;
    const UIViewRef& shown = presented->view();
    presented->viewWillDisappear(animated);
    CGRect bounds = shown->frame();
    // Both controllers stay alive until the view has slid away: the block holds them on purpose.
    UIView::animateWithDuration(animated ? presentationDuration : 0, [&] { shown->setFrame(CGRectOffset(bounds, 0, bounds.size.height)); },
        [presenter, presented, animated, completion = std::move(completion)](bool) {
            presented->view()->removeFromSuperview();
            presented->m_presenting.reset();
            if (presenter->m_presented == presented)
                presenter->m_presented.reset();
            presented->viewDidDisappear(animated);
            if (completion)
                completion();
        });
}

void UILayoutContainerView::layoutSubviews()
{
    if (auto controller = std::dynamic_pointer_cast<UIViewController>(viewController()))
        controller->viewWillLayoutSubviews();
}
