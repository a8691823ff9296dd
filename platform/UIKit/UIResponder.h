#pragma once

#include "UIKit/UIEvent.h"
#include "objc/NSObject.h"

// The base of everything that takes part in event handling. Touches a
// responder does not handle go on to the next responder (a view's superview).
class UIResponder : public NSObject {
    OBJC_CLASS(UIResponder, NSObject)

    [[nodiscard]] virtual std::shared_ptr<UIResponder> nextResponder() const { return nullptr; }

    virtual void touchesBegan(const UITouchSet&, const UIEvent&);
    virtual void touchesMoved(const UITouchSet&, const UIEvent&);
    virtual void touchesEnded(const UITouchSet&, const UIEvent&);
    virtual void touchesCancelled(const UITouchSet&, const UIEvent&);
};
