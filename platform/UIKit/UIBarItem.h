#pragma once

#include "UIKit/UIImage.h"
#include "objc/NSObject.h"

#include <memory>
#include <string>

class UIView;

// What a bar shows for one item: a title, an image, whether it can be used. The bar
// showing the item (not owned) is asked to lay itself out again when any of it changes.
class UIBarItem : public NSObject {
    OBJC_CLASS(UIBarItem, NSObject)

    [[nodiscard]] const std::string& title() const { return m_title; }
    void setTitle(std::string);
    [[nodiscard]] const UIImageRef& image() const { return m_image; }
    void setImage(UIImageRef);
    [[nodiscard]] bool isEnabled() const { return m_enabled; }
    void setEnabled(bool);

    // For bars.
    void setShownIn(std::weak_ptr<UIView> bar) { m_shownIn = std::move(bar); }

protected:
    void itemDidChange();

private:
    std::string m_title;
    UIImageRef m_image;
    bool m_enabled = true;
    std::weak_ptr<UIView> m_shownIn;
};
