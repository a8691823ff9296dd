#pragma once

#include "UIKit/UIBarButtonItem.h"

class UINavigationItem;
using UINavigationItemRef = std::shared_ptr<UINavigationItem>;

// What a navigation bar shows for a controller: its title and the buttons at either side.
class UINavigationItem : public NSObject {
    OBJC_CLASS(UINavigationItem, NSObject)

    [[nodiscard]] const std::string& title() const { return m_title; }
    void setTitle(std::string);
    [[nodiscard]] const UIBarButtonItemRef& leftBarButtonItem() const { return m_leftBarButtonItem; }
    void setLeftBarButtonItem(UIBarButtonItemRef);
    [[nodiscard]] const UIBarButtonItemRef& rightBarButtonItem() const { return m_rightBarButtonItem; }
    void setRightBarButtonItem(UIBarButtonItemRef);

    // For the bar showing it (not owned), which lays itself out again on a change.
    void setShownIn(std::weak_ptr<UIView> bar);

private:
    void itemDidChange();

    std::string m_title;
    UIBarButtonItemRef m_leftBarButtonItem;
    UIBarButtonItemRef m_rightBarButtonItem;
    std::weak_ptr<UIView> m_shownIn;
};
