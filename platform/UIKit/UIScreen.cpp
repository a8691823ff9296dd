#include "UIKit/UIScreen.h"

#include "QuartzCore/CARenderer.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <cmath>

const std::shared_ptr<UIScreen>& UIScreen::mainScreen()
{
    static const std::shared_ptr<UIScreen> screen = objc::alloc<UIScreen>();
    return screen;
}

void UIScreen::setScale(CGFloat scale)
{
    m_scale = scale > 0 && std::isfinite(scale) ? scale : 1;
    m_framePending = true;
}

void UIScreen::setBounds(CGRect bounds)
{
    m_bounds = bounds;
    m_framePending = true;
}

CGRect UIScreen::applicationFrame() const
{
    CGRect bounds = CGRectStandardize(m_bounds);
    CGFloat bar = std::min(statusBarHeight, bounds.size.height);
    return CGRectMake(bounds.origin.x, bounds.origin.y + bar, bounds.size.width, bounds.size.height - bar);
}

void UIScreen::setDisplay(std::shared_ptr<UIScreenDisplay> display)
{
    m_display = std::move(display);
    m_framePending = true;
    if (m_display && !m_commitObserver) {
        std::weak_ptr<UIScreen> weakThis = std::static_pointer_cast<UIScreen>(shared_from_this());
        m_commitObserver = CATransaction::addCommitObserver([weakThis](bool changed) {
            if (auto screen = weakThis.lock())
                screen->commitDidHappen(changed);
        });
    }
}

void UIScreen::commitDidHappen(bool changed)
{
    if (!m_display || !(changed || m_framePending))
        return;
    auto size = pixelSize();
    if (!size)
        return;
    auto [width, height] = *size;
    if (m_framePending)
        m_damage.invalidate();
    m_damage.beginFrame(static_cast<int>(width), static_cast<int>(height));
    auto windows = UIApplication::sharedApplication()->windows();
    // The compositor's device matrix for screen points, then each window's placement on the screen.
    cairo_matrix_t screenToDevice;
    cairo_matrix_init(&screenToDevice, m_scale, 0, 0, m_scale, -m_bounds.origin.x * m_scale, -m_bounds.origin.y * m_scale);
    for (auto& window : windows) {
        CGAffineTransform t = window->transformToSuperview();
        cairo_matrix_t windowToScreen;
        cairo_matrix_init(&windowToScreen, t.a, t.b, t.c, t.d, t.tx, t.ty);
        cairo_matrix_t windowToDevice;
        cairo_matrix_multiply(&windowToDevice, &windowToScreen, &screenToDevice);
        m_damage.addTree(*window->layer(), windowToDevice);
    }
    std::vector<CGRect> damage;
    for (const auto& rect : m_damage.endFrame())
        damage.push_back(CGRectMake(rect.x, rect.y, rect.width, rect.height));
    if (damage.empty()) {
        m_framePending = false;
        return;
    }
    // Each rectangle redrawn through a clip of its own, grown to hold whole every layer whose
    // edges Cairo would rasterise otherwise under a clip cutting them.
    auto grow = [this](std::vector<CGRect> rects) {
        std::vector<CADamageTracker::Rect> pixels;
        for (const CGRect& rect : rects)
            pixels.push_back({ static_cast<int>(rect.origin.x), static_cast<int>(rect.origin.y), static_cast<int>(rect.size.width),
                static_cast<int>(rect.size.height) });
        rects.clear();
        for (const auto& rect : m_damage.enclosingEdges(std::move(pixels)))
            rects.push_back(CGRectMake(rect.x, rect.y, rect.width, rect.height));
        return rects;
    };
    // A structured binding is copied into the lambda by name: clang 14 cannot capture one.
    auto draw = [&, screenHeight = height](const CGContextRef& context) { drawWindows(context, screenHeight, windows); };
    auto frame = m_framebuffer.drawFrame(width, height, damage, grow, draw);
    if (!frame) {
        m_damage.invalidate();
        return;
    }
    m_framePending = false;
    ++m_frameCount;
    m_display->presentDamagedFrame(frame, grow(std::move(damage)));
}

std::optional<std::pair<size_t, size_t>> UIScreen::pixelSize() const
{
    double width = std::ceil(static_cast<double>(m_bounds.size.width) * m_scale);
    double height = std::ceil(static_cast<double>(m_bounds.size.height) * m_scale);
    if (!(width >= 1 && height >= 1 && width <= 32767 && height <= 32767))
        return std::nullopt;
    return std::pair { static_cast<size_t>(width), static_cast<size_t>(height) };
}

void UIScreen::drawWindows(const CGContextRef& context, size_t pixelHeight, const std::vector<std::shared_ptr<UIWindow>>& windows) const
{
    // Screen points, y down, as windows are placed.
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(pixelHeight));
    CGContextScaleCTM(context, m_scale, -m_scale);
    CGContextSetBaseScale(context, m_scale);
    CGContextTranslateCTM(context, -m_bounds.origin.x, -m_bounds.origin.y);
    for (auto& window : windows) {
        CGContextSaveGState(context);
        CGContextConcatCTM(context, window->transformToSuperview());
        CARenderer::render(*window->layer(), context);
        CGContextRestoreGState(context);
    }
}

CGImageRef UIScreen::compositeFrame() const
{
    auto size = pixelSize();
    if (!size)
        return nullptr;
    CGContextRef context = CGBitmapContextCreate(size->first, size->second);
    if (!context)
        return nullptr;
    drawWindows(context, size->second, UIApplication::sharedApplication()->windows());
    return CGBitmapContextCreateImage(context);
}
