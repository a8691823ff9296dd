#include "UIKit/UIScrollView.h"

#include <algorithm>
#include <cmath>

namespace {

bool isFinite(CGPoint point) { return std::isfinite(point.x) && std::isfinite(point.y); }

// The offset on one axis that shows [start, start + length] in a visible span of the given
// length at offset; a rect longer than the span shows its start.
CGFloat offsetShowing(CGFloat offset, CGFloat span, CGFloat start, CGFloat length)
{
    if (start < offset || length > span)
        return start;
    if (start + length > offset + span)
        return start + length - span;
    return offset;
}

}

UIScrollViewRef UIScrollView::initWithFrame(CGRect frame)
{
    auto view = objc::alloc<UIScrollView>();
    view->setFrame(frame);
    return view;
}

void UIScrollView::didAllocate()
{
    super::didAllocate();
    setClipsToBounds(true);
    auto self = std::static_pointer_cast<UIScrollView>(shared_from_this());
    m_panGestureRecognizer = objc::alloc<UIPanGestureRecognizer>();
    m_panGestureRecognizer->addTarget(self, &UIScrollView::handlePan);
    m_panGestureRecognizer->setDelegate(std::static_pointer_cast<UIGestureRecognizerDelegate>(self));
    addGestureRecognizer(m_panGestureRecognizer);
}

void UIScrollView::setContentSize(CGSize size)
{
    auto usable = [](CGFloat length) { return std::isfinite(length) ? std::max<CGFloat>(length, 0) : 0; };
    m_contentSize = CGSizeMake(usable(size.width), usable(size.height));
}

void UIScrollView::setContentOffset(CGPoint offset)
{
    CGRect bounds = this->bounds();
    if (!isFinite(offset) || offset == bounds.origin)
        return;
    setBounds(CGRectMake(offset.x, offset.y, bounds.size.width, bounds.size.height));
    if (auto delegate = this->delegate())
        delegate->scrollViewDidScroll(*this);
}

void UIScrollView::setContentOffset(CGPoint offset, bool animated)
{
    if (!animated) {
        setContentOffset(offset);
        return;
    }
    UIView::animateWithDuration(animationDuration, [&] { setContentOffset(offset); });
}

void UIScrollView::scrollRectToVisible(CGRect rect, bool animated)
{
    rect = CGRectStandardize(rect);
    if (!isFinite(rect.origin) || !std::isfinite(rect.size.width) || !std::isfinite(rect.size.height))
        return;
    CGRect bounds = this->bounds();
    CGPoint offset = CGPointMake(offsetShowing(bounds.origin.x, bounds.size.width, rect.origin.x, rect.size.width),
        offsetShowing(bounds.origin.y, bounds.size.height, rect.origin.y, rect.size.height));
    setContentOffset(clampedOffset(offset), animated);
}

CGPoint UIScrollView::clampedOffset(CGPoint offset) const
{
    CGSize visible = bounds().size;
    CGFloat farthestX = std::max<CGFloat>(m_contentSize.width - visible.width, 0);
    CGFloat farthestY = std::max<CGFloat>(m_contentSize.height - visible.height, 0);
    return CGPointMake(std::clamp<CGFloat>(offset.x, 0, farthestX), std::clamp<CGFloat>(offset.y, 0, farthestY));
}

std::optional<bool> UIScrollView::gestureRecognizerShouldBegin(UIGestureRecognizer& recognizer)
{
    if (&recognizer != m_panGestureRecognizer.get())
        return std::nullopt;
    CGSize visible = bounds().size;
    return m_contentSize.width > visible.width || m_contentSize.height > visible.height;
}

void UIScrollView::handlePan(const UIGestureRecognizerRef&)
{
    auto& pan = *m_panGestureRecognizer;
    switch (pan.state()) {
    case UIGestureRecognizerStateBegan:
        // From here on: the ten points it took to recognise the drag do not make the content jump.
        pan.setTranslation(CGPointZero, this);
        m_offsetAtDragStart = contentOffset();
        m_dragging = true;
        if (auto delegate = this->delegate())
            delegate->scrollViewWillBeginDragging(*this);
        break;
    case UIGestureRecognizerStateChanged: {
        CGPoint moved = pan.translationInView(this);
        setContentOffset(clampedOffset(CGPointMake(m_offsetAtDragStart.x - moved.x, m_offsetAtDragStart.y - moved.y)));
        break;
    }
    case UIGestureRecognizerStateEnded:
    case UIGestureRecognizerStateCancelled:
        m_dragging = false;
        if (auto delegate = this->delegate())
            delegate->scrollViewDidEndDragging(*this, false);
        break;
    default:
        break;
    }
}
