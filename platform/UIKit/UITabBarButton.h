#pragma once

#include "UIKit/UIControl.h"
#include "UIKit/UITabBarItem.h"

// One item of a tab bar: its image (the selected image when selected) drawn as a
// template near the top, its title below, grey when not selected and in the tint
// colour when selected.
class UITabBarButton : public UIControl {
    OBJC_CLASS(UITabBarButton, UIControl)
    [[nodiscard]] static std::shared_ptr<UITabBarButton> initWithItem(const UITabBarItemRef&);

    [[nodiscard]] const UITabBarItemRef& item() const { return m_item; }
    void setSelected(bool) override;
    void setTintColor(UIColorRef);
    void drawRect(CGRect) override;

private:
    UITabBarItemRef m_item;
    UIColorRef m_tintColor;
};
