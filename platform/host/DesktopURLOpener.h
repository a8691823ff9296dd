#pragma once

#include "UIKit/UIApplication.h"

// Hands links to the desktop, as a phone hands them to another application: a scheme
// can be opened when it is the web's or the desktop has a handler registered for it
// (xdg-mime), and opening runs xdg-open without a shell, not waiting for it.
class DesktopURLOpener : public UIURLOpener {
public:
    [[nodiscard]] bool canOpenScheme(const std::string& scheme) override;
    bool openURL(const std::string& url) override;
};
