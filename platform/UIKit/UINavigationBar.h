#pragma once

#include "UIKit/UINavigationButton.h"
#include "UIKit/UINavigationItem.h"
#include "UIKit/UIView.h"

#include <vector>

// The bar at the top of a navigation controller: the top item's title, centred and
// cut to fit between its buttons, with the left button near the left edge and the right
// one near the right. Its colour is the bar tint (near-white without one), exactly when
// opaque and seen through when translucent, and extends up behind the status bar when
// the bar sits right below it; a hairline runs along its bottom edge.
class UINavigationBar : public UIView {
    OBJC_CLASS(UINavigationBar, UIView)

    [[nodiscard]] const UIColorRef& barTintColor() const { return m_barTintColor; }
    void setBarTintColor(UIColorRef);
    [[nodiscard]] bool isTranslucent() const { return m_translucent; }
    void setTranslucent(bool);
    // The bar buttons' colour where their items have none; the system blue when nil.
    [[nodiscard]] const UIColorRef& tintColor() const { return m_tintColor; }
    void setTintColor(UIColorRef);

    [[nodiscard]] const std::vector<UINavigationItemRef>& items() const { return m_items; }
    void setItems(std::vector<UINavigationItemRef>);
    [[nodiscard]] UINavigationItemRef topItem() const { return m_items.empty() ? nullptr : m_items.back(); }

    // Whether the colour reaches up behind the status bar (the bar is right below it).
    void setExtendsBehindStatusBar(bool);

    // The buttons shown now, for hit tests and descriptions.
    [[nodiscard]] std::shared_ptr<UINavigationButton> leftButton() const { return m_leftButton; }
    [[nodiscard]] std::shared_ptr<UINavigationButton> rightButton() const { return m_rightButton; }
    // Where the title is drawn, in the bar's coordinates.
    [[nodiscard]] CGRect titleRect() const;

    void layoutSubviews() override;
    void drawRect(CGRect) override;

protected:
    void didAllocate() override;

private:
    void updateColors();
    void showButton(std::shared_ptr<UINavigationButton>&, const UIBarButtonItemRef&);

    UIColorRef m_barTintColor;
    UIColorRef m_tintColor;
    bool m_translucent = true;
    bool m_extendsBehindStatusBar = false;
    std::vector<UINavigationItemRef> m_items;
    std::shared_ptr<UINavigationButton> m_leftButton;
    std::shared_ptr<UINavigationButton> m_rightButton;
    UIViewRef m_statusBarBackdrop;
    UIViewRef m_hairline;
};
