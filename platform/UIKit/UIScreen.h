#pragma once

#include "CoreGraphics/CGImage.h"
#include "UIKit/UIScreenDisplay.h"
#include "objc/NSObject.h"

#include <memory>

// The phone's screen: 320 × 480 points at two pixels per point unless a program
// or test says otherwise. With a display attached, every commit that changed
// something ends in a new frame: the visible windows composited back to front
// (presentation values, so running animations show), then presented.
class UIScreen : public NSObject {
    OBJC_CLASS(UIScreen, NSObject)
    [[nodiscard]] static const std::shared_ptr<UIScreen>& mainScreen();

    [[nodiscard]] CGFloat scale() const { return m_scale; }
    void setScale(CGFloat);
    [[nodiscard]] CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect);
    // The bounds below the status bar.
    [[nodiscard]] CGRect applicationFrame() const;
    static constexpr CGFloat statusBarHeight = 20;

    [[nodiscard]] const std::shared_ptr<UIScreenDisplay>& display() const { return m_display; }
    void setDisplay(std::shared_ptr<UIScreenDisplay>);
    // The windows as they look now, at the screen's pixel size; nullptr for an impossible size.
    [[nodiscard]] CGImageRef compositeFrame() const;
    // Frames presented so far.
    [[nodiscard]] unsigned long long frameCount() const { return m_frameCount; }

private:
    void commitDidHappen(bool changed);

    CGFloat m_scale = 2;
    CGRect m_bounds = CGRectMake(0, 0, 320, 480);
    std::shared_ptr<UIScreenDisplay> m_display;
    int m_commitObserver = 0;
    bool m_framePending = true;
    unsigned long long m_frameCount = 0;
};
