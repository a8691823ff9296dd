#include "UIKit/UIScreenFramebuffer.h"

#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
#include <cstring>

namespace {

// Frames of damage kept for buffers that missed some; a buffer further behind is drawn whole.
constexpr size_t historyLength = 4;
// Buffers kept at most; beyond that a held one is left to its holders.
constexpr size_t bufferLimit = 3;
// Rectangles a frame is clipped to at most: Cairo composites each layer once per rectangle.
constexpr size_t maximumRectangles = 8;

}

void UIScreenFramebuffer::invalidate()
{
    m_buffers.clear();
    m_history.clear();
}

std::optional<UIScreenFramebuffer::Damage> UIScreenFramebuffer::damageSince(unsigned long long frame) const
{
    if (!frame || m_history.empty() || m_history.front().first > frame + 1)
        return std::nullopt;
    Damage damage;
    for (const auto& [number, rects] : m_history) {
        if (number > frame)
            damage.insert(damage.end(), rects.begin(), rects.end());
    }
    return damage;
}

UIScreenFramebuffer::Buffer* UIScreenFramebuffer::bufferToDrawInto()
{
    // Free: no image of it is held but by this framebuffer's context.
    for (auto& buffer : m_buffers) {
        if (buffer.pixels.use_count() == 2)
            return &buffer;
    }
    const Buffer* newest = nullptr;
    for (const auto& buffer : m_buffers) {
        if (!newest || buffer.frame > newest->frame)
            newest = &buffer;
    }
    Buffer fresh;
    if (newest) {
        fresh.pixels = std::make_shared<std::vector<std::uint32_t>>(*newest->pixels);
        fresh.frame = newest->frame;
    } else {
        fresh.pixels = std::make_shared<std::vector<std::uint32_t>>(m_width * m_height);
    }
    fresh.context = CGBitmapContextCreateWithSharedPixels(fresh.pixels, m_width, m_height);
    if (!fresh.context)
        return nullptr;
    if (m_buffers.size() >= bufferLimit) {
        auto oldest = std::min_element(m_buffers.begin(), m_buffers.end(), [](const Buffer& a, const Buffer& b) { return a.frame < b.frame; });
        m_buffers.erase(oldest);
    }
    m_buffers.push_back(std::move(fresh));
    return &m_buffers.back();
}

CGImageRef UIScreenFramebuffer::drawFrame(size_t width, size_t height, const Damage& damage, const DamageGrowth& grow,
    const std::function<void(const CGContextRef&)>& draw)
{
    if (width != m_width || height != m_height) {
        invalidate();
        m_width = width;
        m_height = height;
    }
    if (!width || !height || width > 32767 || height > 32767 || width > CGImage::maximumPixelCount / height)
        return nullptr;
    ++m_frame;
    m_history.emplace_back(m_frame, damage);
    while (m_history.size() > historyLength)
        m_history.pop_front();
    Buffer* buffer = bufferToDrawInto();
    if (!buffer) {
        invalidate();
        return nullptr;
    }
    auto missing = damageSince(buffer->frame);
    CGRect whole = CGRectMake(0, 0, static_cast<CGFloat>(m_width), static_cast<CGFloat>(m_height));
    Damage redrawn = missing ? grow(std::move(*missing)) : Damage { whole };
    // Past a few rectangles, or most of the frame, the whole frame costs less.
    double area = 0;
    for (const CGRect& rect : redrawn)
        area += static_cast<double>(rect.size.width * rect.size.height);
    if (redrawn.size() > maximumRectangles || area > 0.5 * static_cast<double>(m_width * m_height))
        redrawn = { whole };
    // One walk of the layers through a clip made of every rectangle: each holds whole the edges
    // it touches, so no edge is cut, and the cost of walking is paid once.
    cairo_t* cr = CGContextGetCairo(buffer->context);
    CGContextSaveGState(buffer->context);
    cairo_matrix_t userSpace;
    cairo_get_matrix(cr, &userSpace);
    cairo_identity_matrix(cr);
    for (const CGRect& rect : redrawn)
        cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_set_matrix(cr, &userSpace);
    draw(buffer->context);
    CGContextRestoreGState(buffer->context);
    cairo_surface_flush(cairo_get_target(cr));
    buffer->frame = m_frame;
    return std::make_shared<const CGImage>(m_width, m_height, buffer->pixels, 0, m_width);
}
