#pragma once

#include "UIKit/UIImage.h"
#include "UIKit/UIView.h"

// Shows an image, scaled to fill its bounds unless another content mode is set.
class UIImageView : public UIView {
    OBJC_CLASS(UIImageView, UIView)
    [[nodiscard]] static std::shared_ptr<UIImageView> initWithImage(UIImageRef);

    [[nodiscard]] const UIImageRef& image() const { return m_image; }
    void setImage(UIImageRef);

    void drawRect(CGRect) override;

private:
    UIImageRef m_image;
};
