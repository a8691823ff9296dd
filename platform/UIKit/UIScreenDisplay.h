#pragma once

#include "CoreGraphics/CGImage.h"

// What a screen shows its frames on: an off-screen bitmap in a headless run, a
// window on the desktop otherwise. The screen composites its windows once per
// commit in which something changed, at its pixel size, and presents the frame.
class UIScreenDisplay {
public:
    virtual ~UIScreenDisplay() = default;
    virtual void presentFrame(const CGImageRef&) = 0;
};
