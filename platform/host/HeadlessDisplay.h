#pragma once

#include "UIKit/UIScreenDisplay.h"

#include <filesystem>

// A screen with no monitor: it keeps the last frame presented, for shots.
class HeadlessDisplay : public UIScreenDisplay {
public:
    void presentFrame(const CGImageRef& frame) override { m_frame = frame; }
    [[nodiscard]] const CGImageRef& lastFrame() const { return m_frame; }
    // Writes the last frame as PNG; false when there is none or the write fails.
    [[nodiscard]] bool writeShot(const std::filesystem::path&) const;

private:
    CGImageRef m_frame;
};
