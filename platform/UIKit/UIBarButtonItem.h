#pragma once

#include "UIKit/UIBarItem.h"
#include "UIKit/UIColor.h"

#include <functional>

enum UIBarButtonItemStyle : int {
    UIBarButtonItemStylePlain = 0,
    UIBarButtonItemStyleBordered = 1,
    UIBarButtonItemStyleDone = 2,
};

class UIBarButtonItem;
using UIBarButtonItemRef = std::shared_ptr<UIBarButtonItem>;

// A button of a navigation bar. Its action is sent to a target it does not own.
class UIBarButtonItem : public UIBarItem {
    OBJC_CLASS(UIBarButtonItem, UIBarItem)

    template<class Target>
    [[nodiscard]] static UIBarButtonItemRef initWithTitle(std::string title, UIBarButtonItemStyle style, const std::shared_ptr<Target>& target,
        void (Target::*action)())
    {
        auto item = objc::alloc<UIBarButtonItem>();
        item->setTitle(std::move(title));
        item->m_style = style;
        item->setTarget(target, action);
        return item;
    }

    template<class Target>
    void setTarget(const std::shared_ptr<Target>& target, void (Target::*action)())
    {
        std::weak_ptr<Target> weakTarget = target;
        m_action = [weakTarget, action] {
            if (auto strongTarget = weakTarget.lock())
                ((*strongTarget).*action)();
        };
    }

    [[nodiscard]] UIBarButtonItemStyle style() const { return m_style; }
    // nil: the bar's tint.
    [[nodiscard]] const UIColorRef& tintColor() const { return m_tintColor; }
    void setTintColor(UIColorRef);

    // What a tap on the item does: the action, while the target lives and the item is enabled.
    void sendAction();

private:
    UIBarButtonItemStyle m_style = UIBarButtonItemStylePlain;
    UIColorRef m_tintColor;
    std::function<void()> m_action;
};
