#pragma once

#include "UIKit/UIKBKeyplaneView.h"
#include "UIKit/UIOrientation.h"
#include "UIKit/UIView.h"

#include <optional>

// The on-screen keyboard. Each time it is shown it asks its size, builds a new
// backdrop, asks its render configuration whether it is light, and draws its
// keys over the backdrop; all three questions go through the runtime.
class UIKeyboard : public UIView {
    OBJC_CLASS_WITH_METHODS(UIKeyboard, UIView)

    // +sizeForInterfaceOrientation: by message send (the hookable entry).
    [[nodiscard]] static CGSize sizeForInterfaceOrientation(UIInterfaceOrientation);
    // The platform's own answer: 320 × 216 upright, 480 × 162 on its side.
    [[nodiscard]] static CGSize defaultSizeForInterfaceOrientation(UIInterfaceOrientation);

    // backdropFrame replaces (0, 0, size) as the frame the backdrop is built with.
    [[nodiscard]] static std::shared_ptr<UIKeyboard> show(UIInterfaceOrientation, std::optional<CGRect> backdropFrame = std::nullopt);

    [[nodiscard]] CGSize keyboardSize() const { return m_size; }
    [[nodiscard]] bool isLightKeyboard() const { return m_lightKeyboard; }
    [[nodiscard]] const UIViewRef& backdrop() const { return m_backdrop; }
    [[nodiscard]] const std::shared_ptr<UIKBKeyplaneView>& keyplane() const { return m_keyplane; }

private:
    CGSize m_size {};
    bool m_lightKeyboard = true;
    UIViewRef m_backdrop;
    std::shared_ptr<UIKBKeyplaneView> m_keyplane;
};
