#pragma once

#include "objc/NSObject.h"

#include <memory>

enum UIUserInterfaceIdiom : int {
    UIUserInterfaceIdiomUnspecified = -1,
    UIUserInterfaceIdiomPhone = 0,
    UIUserInterfaceIdiomPad = 1,
};

// The device. userInterfaceIdiom is a runtime method, so code can ask whether
// the device answers it at all, as code written for older systems does.
class UIDevice : public NSObject {
    OBJC_CLASS_WITH_METHODS(UIDevice, NSObject)
    [[nodiscard]] static const std::shared_ptr<UIDevice>& currentDevice();

    [[nodiscard]] UIUserInterfaceIdiom userInterfaceIdiom() const;
    void setUserInterfaceIdiom(UIUserInterfaceIdiom idiom) { m_idiom = idiom; }
    [[nodiscard]] UIUserInterfaceIdiom storedUserInterfaceIdiom() const { return m_idiom; }

private:
    UIUserInterfaceIdiom m_idiom = UIUserInterfaceIdiomPhone;
};
