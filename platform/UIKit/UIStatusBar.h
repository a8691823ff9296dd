#pragma once

#include "UIKit/UIView.h"

#include <string>

// The strip across the top of the screen, transparent, with black content: the
// carrier and signal dots at the left, the time centred, the battery at the right.
class UIStatusBar : public UIView {
    OBJC_CLASS(UIStatusBar, UIView)

    [[nodiscard]] const std::string& timeText() const { return m_timeText; }
    void setTimeText(std::string);

    void drawRect(CGRect) override;

protected:
    void didAllocate() override;

private:
    // What the phone shows in its own pictures, until someone sets the time.
    std::string m_timeText = "9:41 AM";
};
