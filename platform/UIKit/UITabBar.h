#pragma once

#include "UIKit/UITabBarButton.h"
#include "UIKit/UIView.h"

#include <vector>

class UITabBar;

class UITabBarDelegate {
public:
    virtual ~UITabBarDelegate() = default;
    virtual void tabBarDidSelectItem(UITabBar&, const UITabBarItemRef&) { }
};

// The bar at the bottom of a tab bar controller: translucent near-white with a hairline
// along its top; its items share the width equally. A tap on an item selects it and
// tells the delegate (not owned).
class UITabBar : public UIView {
    OBJC_CLASS(UITabBar, UIView)

    [[nodiscard]] const std::vector<UITabBarItemRef>& items() const { return m_items; }
    void setItems(std::vector<UITabBarItemRef>);
    [[nodiscard]] UITabBarItemRef selectedItem() const { return m_selectedItem; }
    void setSelectedItem(const UITabBarItemRef&);
    [[nodiscard]] const UIColorRef& tintColor() const { return m_tintColor; }
    void setTintColor(UIColorRef);
    void setDelegate(std::weak_ptr<UITabBarDelegate> delegate) { m_delegate = std::move(delegate); }

    [[nodiscard]] const std::vector<std::shared_ptr<UITabBarButton>>& buttons() const { return m_buttons; }

    void layoutSubviews() override;

protected:
    void didAllocate() override;

private:
    void buttonTapped(const std::shared_ptr<UIControl>&);

    std::vector<UITabBarItemRef> m_items;
    std::vector<std::shared_ptr<UITabBarButton>> m_buttons;
    UITabBarItemRef m_selectedItem;
    UIColorRef m_tintColor;
    std::weak_ptr<UITabBarDelegate> m_delegate;
    UIViewRef m_hairline;
};
