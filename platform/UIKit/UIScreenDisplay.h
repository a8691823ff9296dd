#pragma once

#include "CoreGraphics/CGImage.h"

#include <vector>

// What a screen shows its frames on: an off-screen bitmap in a headless run, a
// window on the desktop otherwise. The screen composites its windows once per
// commit in which something on screen changed, at its pixel size, redrawing only
// what changed, and presents the frame; a commit that changed nothing visible
// presents nothing.
class UIScreenDisplay {
public:
    virtual ~UIScreenDisplay() = default;
    virtual void presentFrame(const CGImageRef&) = 0;
    // The frame with the rectangles (device pixels, y down) where it differs from the
    // previous one, for a display that uploads only those; by default the whole frame.
    virtual void presentDamagedFrame(const CGImageRef& frame, const std::vector<CGRect>& damage)
    {
        (void)damage;
        presentFrame(frame);
    }
};
