#pragma once

#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGImage.h"

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// The screen's pixels kept from frame to frame, so that a frame redraws only
// what changed. Each frame is handed out as an image sharing a buffer's pixels;
// a buffer is drawn into again only when no such image is held elsewhere, so a
// presented frame never changes afterwards. While the display keeps the last
// frame, two buffers take turns, each brought up to date by redrawing the damage
// of the frames it missed; when every buffer is held, a new one starts as a copy
// of the newest. Main thread only.
class UIScreenFramebuffer {
public:
    // Rectangles of device pixels, y down.
    using Damage = std::vector<CGRect>;
    // Grows the rectangles a buffer lacks into the ones to redraw, each a clip of its own.
    using DamageGrowth = std::function<Damage(Damage)>;
    // The frame after this one's damage has been redrawn: each rectangle to redraw
    // (what the buffer lacks, grown) cleared to transparent and drawn again by draw
    // through a clip to it, into a context in its initial state (saved and restored
    // around draw); a different size than last time, more than a few rectangles or
    // more than half the frame draws everything at once.
    // nullptr for a size no bitmap can have.
    [[nodiscard]] CGImageRef drawFrame(size_t width, size_t height, const Damage&, const DamageGrowth& grow,
        const std::function<void(const CGContextRef&)>& draw);
    // The next frame draws everything.
    void invalidate();

private:
    struct Buffer {
        CGSharedPixels pixels;
        CGContextRef context;
        // The frame the pixels show; 0 for none.
        unsigned long long frame = 0;
    };

    [[nodiscard]] Buffer* bufferToDrawInto();
    // What a buffer showing the frame lacks to show the current one; nullopt for everything.
    [[nodiscard]] std::optional<Damage> damageSince(unsigned long long frame) const;

    size_t m_width = 0;
    size_t m_height = 0;
    unsigned long long m_frame = 0;
    std::vector<Buffer> m_buffers;
    // The damage of the latest frames, oldest first.
    std::deque<std::pair<unsigned long long, Damage>> m_history;
};
