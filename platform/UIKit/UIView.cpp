#include "UIKit/UIView.h"

#include <algorithm>

Class UIView::runtimeClass()
{
    static Class cls = objc::defineClass("UIView", UIResponder::runtimeClass());
    return cls;
}

UIViewRef UIView::initWithFrame(CGRect frame)
{
    auto view = objc::alloc<UIView>();
    view->setFrame(frame);
    return view;
}

CGRect UIView::frame() const
{
    CGAffineTransform aroundCenter = CGAffineTransformConcat(
        CGAffineTransformConcat(CGAffineTransformMakeTranslation(-m_bounds.size.width / 2, -m_bounds.size.height / 2), m_transform),
        CGAffineTransformMakeTranslation(m_center.x, m_center.y));
    return CGRectApplyAffineTransform(CGRectMake(0, 0, m_bounds.size.width, m_bounds.size.height), aroundCenter);
}

void UIView::setFrame(CGRect frame)
{
    frame = CGRectStandardize(frame);
    m_center = CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame));
    // With a transform in place the platform leaves the bounds alone; only the position follows.
    if (!CGAffineTransformIsIdentity(m_transform))
        return;
    setBounds(CGRectMake(m_bounds.origin.x, m_bounds.origin.y, frame.size.width, frame.size.height));
}

void UIView::setBounds(CGRect bounds)
{
    bounds = CGRectStandardize(bounds);
    CGSize oldSize = m_bounds.size;
    m_bounds = bounds;
    if (oldSize != bounds.size && m_autoresizesSubviews)
        resizeSubviews(oldSize);
}

void UIView::addSubview(const UIViewRef& view)
{
    insertSubviewAtIndex(view, m_subviews.size());
}

void UIView::insertSubviewAtIndex(const UIViewRef& view, size_t index)
{
    if (!view || view.get() == this)
        return;
    for (auto ancestor = superview(); ancestor; ancestor = ancestor->superview()) {
        if (ancestor == view)
            return;
    }
    // The argument may be an entry of the very list edited below: hold the view by a copy.
    UIViewRef subview = view;
    if (subview->superview().get() == this) {
        auto found = std::find(m_subviews.begin(), m_subviews.end(), subview);
        size_t oldIndex = static_cast<size_t>(found - m_subviews.begin());
        m_subviews.erase(found);
        if (oldIndex < index)
            --index;
    } else {
        subview->removeFromSuperview();
    }
    index = std::min(index, m_subviews.size());
    m_subviews.insert(m_subviews.begin() + static_cast<std::ptrdiff_t>(index), subview);
    subview->m_superview = std::static_pointer_cast<UIView>(shared_from_this());
}

void UIView::removeFromSuperview()
{
    auto parent = superview();
    m_superview.reset();
    if (!parent)
        return;
    auto& siblings = parent->m_subviews;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), shared_from_this()), siblings.end());
}

void UIView::resizeSubviews(CGSize oldSize)
{
    for (auto& subview : m_subviews)
        subview->autoresizeInSuperview(oldSize, m_bounds.size);
}

namespace {

// Shares the change of the superview's length among the flexible parts of one
// axis (leading margin, length, trailing margin) in proportion to their sizes.
void resizeAxis(CGFloat& origin, CGFloat& length, CGFloat oldSuper, CGFloat newSuper, bool flexLeading, bool flexLength, bool flexTrailing)
{
    CGFloat delta = newSuper - oldSuper;
    if (delta == 0 || !(flexLeading || flexLength || flexTrailing))
        return;
    CGFloat leading = origin;
    CGFloat trailing = oldSuper - origin - length;
    CGFloat total = (flexLeading ? leading : 0) + (flexLength ? length : 0) + (flexTrailing ? trailing : 0);
    int count = int(flexLeading) + int(flexLength) + int(flexTrailing);
    auto share = [&](bool flexible, CGFloat part) -> CGFloat {
        if (!flexible)
            return 0;
        return total != 0 ? delta * part / total : delta / static_cast<CGFloat>(count);
    };
    CGFloat leadingShare = share(flexLeading, leading);
    CGFloat lengthShare = share(flexLength, length);
    origin += leadingShare;
    length = std::max<CGFloat>(0, length + lengthShare);
}

}

void UIView::autoresizeInSuperview(CGSize oldSuperSize, CGSize newSuperSize)
{
    if (m_autoresizingMask == UIViewAutoresizingNone)
        return;
    CGRect rect = frame();
    unsigned mask = m_autoresizingMask;
    resizeAxis(rect.origin.x, rect.size.width, oldSuperSize.width, newSuperSize.width, mask & UIViewAutoresizingFlexibleLeftMargin,
        mask & UIViewAutoresizingFlexibleWidth, mask & UIViewAutoresizingFlexibleRightMargin);
    resizeAxis(rect.origin.y, rect.size.height, oldSuperSize.height, newSuperSize.height, mask & UIViewAutoresizingFlexibleTopMargin,
        mask & UIViewAutoresizingFlexibleHeight, mask & UIViewAutoresizingFlexibleBottomMargin);
    setFrame(rect);
}

CGRect UIView::contentRectForSize(CGSize content) const
{
    CGRect bounds = m_bounds;
    CGFloat width = content.width;
    CGFloat height = content.height;
    switch (m_contentMode) {
    case UIViewContentModeScaleToFill:
    case UIViewContentModeRedraw:
        return bounds;
    case UIViewContentModeScaleAspectFit:
    case UIViewContentModeScaleAspectFill: {
        if (width <= 0 || height <= 0)
            return bounds;
        CGFloat sx = bounds.size.width / width;
        CGFloat sy = bounds.size.height / height;
        CGFloat scale = m_contentMode == UIViewContentModeScaleAspectFit ? std::min(sx, sy) : std::max(sx, sy);
        width *= scale;
        height *= scale;
        break;
    }
    default:
        break;
    }
    CGFloat x = bounds.origin.x + (bounds.size.width - width) / 2;
    CGFloat y = bounds.origin.y + (bounds.size.height - height) / 2;
    switch (m_contentMode) {
    case UIViewContentModeTop: y = bounds.origin.y; break;
    case UIViewContentModeBottom: y = CGRectGetMaxY(bounds) - height; break;
    case UIViewContentModeLeft: x = bounds.origin.x; break;
    case UIViewContentModeRight: x = CGRectGetMaxX(bounds) - width; break;
    case UIViewContentModeTopLeft: x = bounds.origin.x; y = bounds.origin.y; break;
    case UIViewContentModeTopRight: x = CGRectGetMaxX(bounds) - width; y = bounds.origin.y; break;
    case UIViewContentModeBottomLeft: x = bounds.origin.x; y = CGRectGetMaxY(bounds) - height; break;
    case UIViewContentModeBottomRight: x = CGRectGetMaxX(bounds) - width; y = CGRectGetMaxY(bounds) - height; break;
    default: break;
    }
    return CGRectMake(x, y, width, height);
}

void UIView::renderInContext(const CGContextRef& context)
{
    if (!context || m_hidden || m_alpha <= 0)
        return;
    CGContextStateSaver saver(context);
    bool translucent = m_alpha < 1;
    if (translucent) {
        CGContextSetAlpha(context, m_alpha);
        CGContextBeginTransparencyLayer(context);
    }
    if (m_clipsToBounds)
        CGContextClipToRect(context, m_bounds);
    if (m_backgroundColor) {
        CGContextSetFillColorWithColor(context, m_backgroundColor->CGColor());
        CGContextFillRect(context, m_bounds);
    }
    drawContent(context);
    for (auto& subview : m_subviews) {
        CGContextStateSaver subviewSaver(context);
        // The context is in this view's bounds space, where the subview's centre is given;
        // then the subview's transform, then its own bounds' origin.
        CGContextTranslateCTM(context, subview->m_center.x, subview->m_center.y);
        CGContextConcatCTM(context, subview->m_transform);
        CGContextTranslateCTM(context, -subview->m_bounds.size.width / 2 - subview->m_bounds.origin.x,
            -subview->m_bounds.size.height / 2 - subview->m_bounds.origin.y);
        subview->renderInContext(context);
    }
    if (translucent)
        CGContextEndTransparencyLayer(context);
}

CGAffineTransform UIView::transformToSuperview() const
{
    // Bounds origin and centre first, then the view's transform about its centre, then the position.
    CGAffineTransform toCentre = CGAffineTransformMakeTranslation(-m_bounds.origin.x - m_bounds.size.width / 2, -m_bounds.origin.y - m_bounds.size.height / 2);
    return CGAffineTransformConcat(CGAffineTransformConcat(toCentre, m_transform), CGAffineTransformMakeTranslation(m_center.x, m_center.y));
}

namespace {

// A view's coordinates to its tree's root.
CGAffineTransform transformToRoot(const UIView& view)
{
    CGAffineTransform transform = CGAffineTransformIdentity;
    UIViewRef ancestor;
    for (const UIView* current = &view; auto parent = current->superview(); current = ancestor.get()) {
        transform = CGAffineTransformConcat(transform, current->transformToSuperview());
        ancestor = parent;
    }
    return transform;
}

}

CGPoint UIView::convertPointToView(CGPoint point, const UIView* view) const
{
    CGPoint inRoot = CGPointApplyAffineTransform(point, transformToRoot(*this));
    if (!view)
        return inRoot;
    return CGPointApplyAffineTransform(inRoot, CGAffineTransformInvert(transformToRoot(*view)));
}

CGPoint UIView::convertPointFromView(CGPoint point, const UIView* view) const
{
    CGPoint inRoot = view ? CGPointApplyAffineTransform(point, transformToRoot(*view)) : point;
    return CGPointApplyAffineTransform(inRoot, CGAffineTransformInvert(transformToRoot(*this)));
}

bool UIView::pointInside(CGPoint point, const UIEvent*) const
{
    return CGRectContainsPoint(m_bounds, point);
}

UIViewRef UIView::hitTest(CGPoint point, const UIEvent* event)
{
    if (m_hidden || !m_userInteractionEnabled || m_alpha < 0.01f || !pointInside(point, event))
        return nullptr;
    // Topmost first: the last subview is drawn above the others.
    for (auto it = m_subviews.rbegin(); it != m_subviews.rend(); ++it) {
        UIViewRef subview = *it;
        CGPoint inSubview = CGPointApplyAffineTransform(point, CGAffineTransformInvert(subview->transformToSuperview()));
        if (auto hit = subview->hitTest(inSubview, event))
            return hit;
    }
    return std::static_pointer_cast<UIView>(shared_from_this());
}
