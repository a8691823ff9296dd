#pragma once

#include "UIKit/UIBarItem.h"

class UITabBarItem;
using UITabBarItemRef = std::shared_ptr<UITabBarItem>;

// One tab of a tab bar: a title, and an image for when it is not selected and one
// for when it is. Both images are drawn as templates (their alpha, in the bar's colour).
class UITabBarItem : public UIBarItem {
    OBJC_CLASS(UITabBarItem, UIBarItem)
    [[nodiscard]] static UITabBarItemRef initWithTitle(std::string title, UIImageRef image, UIImageRef selectedImage);

    // nil: the image.
    [[nodiscard]] const UIImageRef& selectedImage() const { return m_selectedImage; }
    void setSelectedImage(UIImageRef);

private:
    UIImageRef m_selectedImage;
};
