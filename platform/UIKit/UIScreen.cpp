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
    if (auto frame = compositeFrame()) {
        m_framePending = false;
        ++m_frameCount;
        m_display->presentFrame(frame);
    }
}

CGImageRef UIScreen::compositeFrame() const
{
    double width = std::ceil(static_cast<double>(m_bounds.size.width) * m_scale);
    double height = std::ceil(static_cast<double>(m_bounds.size.height) * m_scale);
    if (!(width >= 1 && height >= 1 && width <= 32767 && height <= 32767))
        return nullptr;
    CGContextRef context = CGBitmapContextCreate(static_cast<size_t>(width), static_cast<size_t>(height));
    if (!context)
        return nullptr;
    // Screen points, y down, as windows are placed.
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(height));
    CGContextScaleCTM(context, m_scale, -m_scale);
    CGContextSetBaseScale(context, m_scale);
    CGContextTranslateCTM(context, -m_bounds.origin.x, -m_bounds.origin.y);
    for (auto& window : UIApplication::sharedApplication()->windows()) {
        CGContextSaveGState(context);
        CGContextConcatCTM(context, window->transformToSuperview());
        CARenderer::render(*window->layer(), context);
        CGContextRestoreGState(context);
    }
    return CGBitmapContextCreateImage(context);
}
