#pragma once

#include "UIKit/UIView.h"

// The view behind the keys. The keyboard builds every backdrop through the
// runtime's initWithFrame:primaryBackdrop:, so a plug-in can replace it.
class UIKBInputBackdropView : public UIView {
    OBJC_CLASS_WITH_METHODS(UIKBInputBackdropView, UIView)

    // alloc + initWithFrame:primaryBackdrop: by message send. nullptr when the
    // initialiser answers no view.
    [[nodiscard]] static UIViewRef initWithFrame(CGRect frame, bool primaryBackdrop);

    // The light keyboard's own backdrop colour.
    [[nodiscard]] static UIColorRef lightBackdropColor();
};
