#pragma once

#include "UIKit/UIBarButtonItem.h"
#include "UIKit/UIControl.h"

// The button a navigation bar makes for a bar button item: the item's title in its
// tint (the bar's when it has none), faded while pressed, grey while disabled; a tap
// (touch up inside) sends the item's action.
class UINavigationButton : public UIControl {
    OBJC_CLASS(UINavigationButton, UIControl)
    [[nodiscard]] static std::shared_ptr<UINavigationButton> initWithItem(const UIBarButtonItemRef&);

    [[nodiscard]] const UIBarButtonItemRef& item() const { return m_item; }
    [[nodiscard]] const std::string& title() const;
    void setBarTintColor(UIColorRef);
    // The width the title needs, at least the least touch width.
    [[nodiscard]] CGFloat preferredWidth() const;

    void setHighlighted(bool) override;
    void drawRect(CGRect) override;

private:
    void tapped(const std::shared_ptr<UIControl>&);
    [[nodiscard]] UIColorRef titleColor() const;

    UIBarButtonItemRef m_item;
    UIColorRef m_barTintColor;
};
