#pragma once

#include "CoreGraphics/CGImage.h"
#include "QuartzCore/CADamageTracker.h"
#include "UIKit/UIScreenDisplay.h"
#include "UIKit/UIScreenFramebuffer.h"
#include "objc/NSObject.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class UIWindow;

// The phone's screen: 320 × 480 points at two pixels per point unless a program
// or test says otherwise. With a display attached, every commit that changed
// something on screen ends in a new frame: the visible windows composited back to
// front (presentation values, so running animations show) into the pixels kept
// from the last frame, only where something changed (CADamageTracker,
// UIScreenFramebuffer), then presented with those rectangles. A change of size,
// scale or display redraws everything.
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
    // The windows as they look now, drawn afresh at the screen's pixel size; nullptr for an impossible size.
    [[nodiscard]] CGImageRef compositeFrame() const;
    // Frames presented so far.
    [[nodiscard]] unsigned long long frameCount() const { return m_frameCount; }

private:
    void commitDidHappen(bool changed);
    // The pixel size for the bounds and scale; nullopt when no bitmap can have it.
    [[nodiscard]] std::optional<std::pair<size_t, size_t>> pixelSize() const;
    // The windows back to front in screen points (y down) into a context of the pixel size.
    void drawWindows(const CGContextRef&, size_t pixelHeight, const std::vector<std::shared_ptr<UIWindow>>&) const;

    CGFloat m_scale = 2;
    CGRect m_bounds = CGRectMake(0, 0, 320, 480);
    std::shared_ptr<UIScreenDisplay> m_display;
    int m_commitObserver = 0;
    bool m_framePending = true;
    unsigned long long m_frameCount = 0;
    CADamageTracker m_damage;
    UIScreenFramebuffer m_framebuffer;
};
