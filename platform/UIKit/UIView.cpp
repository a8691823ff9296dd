#include "UIKit/UIView.h"

#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CATransaction.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIScreen.h"
#include "UIKit/UIWindow.h"

#include <algorithm>
#include <cmath>

UIViewRef UIView::initWithFrame(CGRect frame)
{
    auto view = objc::alloc<UIView>();
    view->setFrame(frame);
    return view;
}

namespace {

// An animation block is a transaction that carries its duration under this key, so
// nested transactions inherit it and the view's layer knows it is inside a block.
constexpr std::string_view animationBlockDurationKey = "UIViewAnimationBlockDuration";

struct AnimationBlocks {
    size_t open = 0;
    bool enabled = true;
};

AnimationBlocks& animationBlocks()
{
    thread_local AnimationBlocks blocks;
    return blocks;
}

}

void UIView::didAllocate()
{
    super::didAllocate();
    m_layer = makeBackingLayer();
    m_layer->setContentsScale(UIScreen::mainScreen()->scale());
    m_layer->setDelegate(std::static_pointer_cast<UIView>(shared_from_this()));
}

CGRect UIView::frame() const
{
    CGRect bounds = this->bounds();
    CGPoint center = this->center();
    CGAffineTransform aroundCenter = CGAffineTransformConcat(
        CGAffineTransformConcat(CGAffineTransformMakeTranslation(-bounds.size.width / 2, -bounds.size.height / 2), transform()),
        CGAffineTransformMakeTranslation(center.x, center.y));
    return CGRectApplyAffineTransform(CGRectMake(0, 0, bounds.size.width, bounds.size.height), aroundCenter);
}

void UIView::setFrame(CGRect frame)
{
    frame = CGRectStandardize(frame);
    setCenter(CGPointMake(CGRectGetMidX(frame), CGRectGetMidY(frame)));
    // With a transform in place the platform leaves the bounds alone; only the position follows.
    if (!CGAffineTransformIsIdentity(transform()))
        return;
    CGRect bounds = this->bounds();
    setBounds(CGRectMake(bounds.origin.x, bounds.origin.y, frame.size.width, frame.size.height));
}

void UIView::setBounds(CGRect bounds)
{
    CGSize oldSize = this->bounds().size;
    layer()->setBounds(CGRectStandardize(bounds));
    CGSize newSize = this->bounds().size;
    if (oldSize == newSize)
        return;
    if (m_autoresizesSubviews)
        resizeSubviews(oldSize);
    setNeedsLayout();
    if (m_contentMode == UIViewContentModeRedraw)
        setNeedsDisplay();
}

void UIView::setBackgroundColor(UIColorRef color)
{
    m_backgroundColor = std::move(color);
    layer()->setBackgroundColor(m_backgroundColor ? m_backgroundColor->CGColor() : nullptr);
}

void UIView::setContentMode(UIViewContentMode mode)
{
    m_contentMode = mode;
    // Only a view that draws has content to place anew.
    if (layer()->contents())
        setNeedsDisplay();
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
        moveSubview(subview, index);
        return;
    }
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    auto oldWindow = subview->window();
    auto newWindow = window();
    subview->willMoveToSuperview(self);
    if (oldWindow != newWindow)
        subview->tellWillMoveToWindow(newWindow);
    if (auto oldParent = subview->superview()) {
        oldParent->willRemoveSubview(subview);
        std::erase(oldParent->m_subviews, subview);
        subview->m_superview.reset();
        subview->layer()->removeFromSuperlayer();
    }
    insertIntoList(subview, index);
    subview->m_superview = self;
    subview->didMoveToSuperview();
    if (oldWindow != newWindow)
        subview->tellDidMoveToWindow();
    didAddSubview(subview);
}

void UIView::moveSubview(const UIViewRef& subview, size_t index)
{
    auto found = std::find(m_subviews.begin(), m_subviews.end(), subview);
    size_t oldIndex = static_cast<size_t>(found - m_subviews.begin());
    m_subviews.erase(found);
    if (oldIndex < index)
        --index;
    insertIntoList(subview, index);
}

void UIView::insertIntoList(const UIViewRef& subview, size_t index)
{
    index = std::min(index, m_subviews.size());
    // The layer goes below the layer of the view it is put below, else above every sublayer.
    if (index < m_subviews.size())
        layer()->insertSublayerBelow(subview->layer(), m_subviews[index]->layer());
    else
        layer()->addSublayer(subview->layer());
    m_subviews.insert(m_subviews.begin() + static_cast<std::ptrdiff_t>(index), subview);
}

void UIView::bringSubviewToFront(const UIViewRef& view)
{
    // Already in front: nothing moves, so nothing needs laying out again.
    if (view && view->superview().get() == this && m_subviews.back() != view)
        moveSubview(UIViewRef(view), m_subviews.size());
}

void UIView::sendSubviewToBack(const UIViewRef& view)
{
    if (view && view->superview().get() == this && m_subviews.front() != view)
        moveSubview(UIViewRef(view), 0);
}

void UIView::removeFromSuperview()
{
    auto parent = superview();
    if (!parent)
        return;
    auto self = std::static_pointer_cast<UIView>(shared_from_this());
    bool leavesWindow = window() != nullptr;
    willMoveToSuperview(nullptr);
    if (leavesWindow)
        tellWillMoveToWindow(nullptr);
    parent->willRemoveSubview(self);
    m_superview.reset();
    std::erase(parent->m_subviews, self);
    layer()->removeFromSuperlayer();
    didMoveToSuperview();
    if (leavesWindow)
        tellDidMoveToWindow();
}

void UIView::tellWillMoveToWindow(const std::shared_ptr<UIWindow>& window)
{
    willMoveToWindow(window);
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->tellWillMoveToWindow(window);
}

void UIView::tellDidMoveToWindow()
{
    didMoveToWindow();
    auto subviews = m_subviews;
    for (auto& subview : subviews)
        subview->tellDidMoveToWindow();
}

std::shared_ptr<UIWindow> UIView::window() const
{
    for (auto view = std::static_pointer_cast<const UIView>(shared_from_this()); view; view = view->superview()) {
        if (auto window = std::dynamic_pointer_cast<const UIWindow>(view))
            return std::const_pointer_cast<UIWindow>(window);
    }
    return nullptr;
}

std::shared_ptr<UIResponder> UIView::nextResponder() const
{
    if (auto controller = viewController())
        return controller;
    return superview();
}

void UIView::addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer)
{
    if (!recognizer)
        return;
    if (auto previous = recognizer->view())
        previous->removeGestureRecognizer(recognizer);
    recognizer->m_view = std::static_pointer_cast<UIView>(shared_from_this());
    m_gestureRecognizers.push_back(recognizer);
}

void UIView::removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>& recognizer)
{
    if (!recognizer || recognizer->view().get() != this)
        return;
    recognizer->reset();
    recognizer->m_view.reset();
    std::erase(m_gestureRecognizers, recognizer);
}

void UIView::resizeSubviews(CGSize oldSize)
{
    for (auto& subview : m_subviews)
        subview->autoresizeInSuperview(oldSize, bounds().size);
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
    CGRect bounds = this->bounds();
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
    layer()->renderInContext(context);
}

void UIView::drawRect(CGRect)
{
    layer()->noteDrawsNothing();
}

void UIView::drawLayerInContext(CALayer&, const CGContextRef& context)
{
    UIGraphicsPushContext(context);
    drawRect(bounds());
    UIGraphicsPopContext();
}

void UIView::layoutSublayersOfLayer(CALayer&)
{
    layoutSubviews();
}

CALayerDelegate::Action UIView::actionForLayerForKey(CALayer& layer, std::string_view key)
{
    CAPropertyValue duration = CATransaction::valueForKey(animationBlockDurationKey);
    if (duration.isNil() || !animationBlocks().enabled || !layer.isAnimatableKey(key))
        return Action::none();
    auto animation = CABasicAnimation::animationWithKeyPath(std::string(key));
    animation->setFromValue(layer.presentationValueForKeyPath(key));
    animation->setDuration(duration.doubleValue());
    return Action::run(animation);
}

void UIView::beginAnimations(const char*, void*)
{
    CATransaction::begin();
    CATransaction::setValueForKey(defaultAnimationDuration, animationBlockDurationKey);
    ++animationBlocks().open;
}

void UIView::commitAnimations()
{
    auto& blocks = animationBlocks();
    if (!blocks.open)
        return;
    --blocks.open;
    CATransaction::commit();
}

void UIView::setAnimationDuration(double seconds)
{
    if (animationBlocks().open && std::isfinite(seconds) && seconds >= 0)
        CATransaction::setValueForKey(seconds, animationBlockDurationKey);
}

void UIView::animateWithDuration(double duration, const std::function<void()>& animations, std::function<void(bool finished)> completion)
{
    beginAnimations();
    // The block is closed whatever the animations do.
    struct Commit {
        ~Commit() { commitAnimations(); }
    } commit;
    setAnimationDuration(duration);
    if (completion)
        CATransaction::setCompletionHandler(std::move(completion));
    if (animations)
        animations();
}

bool UIView::areAnimationsEnabled()
{
    return animationBlocks().enabled;
}

void UIView::setAnimationsEnabled(bool enabled)
{
    animationBlocks().enabled = enabled;
}

CGAffineTransform UIView::transformToSuperview() const
{
    // Bounds origin and centre first, then the view's transform about its centre, then the position.
    CGRect bounds = this->bounds();
    CGPoint center = this->center();
    CGAffineTransform toCentre = CGAffineTransformMakeTranslation(-bounds.origin.x - bounds.size.width / 2, -bounds.origin.y - bounds.size.height / 2);
    return CGAffineTransformConcat(CGAffineTransformConcat(toCentre, transform()), CGAffineTransformMakeTranslation(center.x, center.y));
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
    return CGRectContainsPoint(bounds(), point);
}

UIViewRef UIView::hitTest(CGPoint point, const UIEvent* event)
{
    if (isHidden() || !m_userInteractionEnabled || alpha() < 0.01f || !pointInside(point, event))
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
