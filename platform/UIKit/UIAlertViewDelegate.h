#pragma once

class UIAlertView;

// What an alert tells its delegate. Every method is optional on the platform, so each
// does nothing unless overridden; the class itself is abstract.
class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = 0;

    // A button was tapped; the alert is dismissed right after.
    virtual void alertViewClickedButtonAtIndex(UIAlertView&, long /* buttonIndex */) { }
    // The alert has left the screen, whether a tap or a call dismissed it.
    virtual void alertViewDidDismissWithButtonIndex(UIAlertView&, long /* buttonIndex */) { }
};

inline UIAlertViewDelegate::~UIAlertViewDelegate() = default;
