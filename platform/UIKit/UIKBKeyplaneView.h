#pragma once

#include "UIKit/UIView.h"

#include <string>
#include <vector>

// The keys of a QWERTY plane, drawn for a light or a dark keyboard.
class UIKBKeyplaneView : public UIView {
    OBJC_CLASS(UIKBKeyplaneView, UIView)
    [[nodiscard]] static std::shared_ptr<UIKBKeyplaneView> initWithFrame(CGRect frame, bool lightKeyboard);

    struct Key {
        std::string legend;
        CGRect frame;
        bool isFunctionKey;  // shift, delete, 123, return: drawn in the secondary key colour
    };
    [[nodiscard]] const std::vector<Key>& keys() const { return m_keys; }
    [[nodiscard]] bool isLightKeyboard() const { return m_lightKeyboard; }

    void drawRect(CGRect) override;

private:
    void layoutKeys();

    bool m_lightKeyboard = true;
    std::vector<Key> m_keys;
};
