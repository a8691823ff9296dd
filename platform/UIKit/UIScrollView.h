#pragma once

#include "UIKit/UIGestureRecognizer.h"
#include "UIKit/UIPanGestureRecognizer.h"
#include "UIKit/UIScrollViewDelegate.h"
#include "UIKit/UIView.h"

class UIScrollView;
using UIScrollViewRef = std::shared_ptr<UIScrollView>;

// A window onto content larger than itself. The content offset is the bounds' origin, so
// the subviews, placed in content coordinates, move under it. One finger or more drags the
// content through the view's own pan recogniser, which begins only where the content is
// larger than the bounds: the content follows the finger from where the drag was
// recognised, within the content's edges. Once it drags it cancels the touches of its
// subviews, so a tap that does not move still reaches a button inside. It clips to its
// bounds; there is no bouncing or deceleration. The view is its recogniser's delegate.
class UIScrollView : public UIView, public UIGestureRecognizerDelegate {
    OBJC_CLASS(UIScrollView, UIView)
    [[nodiscard]] static UIScrollViewRef initWithFrame(CGRect);

    [[nodiscard]] CGSize contentSize() const { return m_contentSize; }
    // Negative or unusable sizes are taken as zero.
    void setContentSize(CGSize);
    [[nodiscard]] CGPoint contentOffset() const { return bounds().origin; }
    // Taken as given, even beyond the content; animated, it slides there in animationDuration.
    void setContentOffset(CGPoint);
    void setContentOffset(CGPoint, bool animated);
    // Scrolls as little as brings the rect (in content coordinates) into view, within the content.
    void scrollRectToVisible(CGRect, bool animated);

    [[nodiscard]] bool isScrollEnabled() const { return m_panGestureRecognizer->isEnabled(); }
    void setScrollEnabled(bool enabled) { m_panGestureRecognizer->setEnabled(enabled); }
    [[nodiscard]] bool isDragging() const { return m_dragging; }
    [[nodiscard]] const UIPanGestureRecognizerRef& panGestureRecognizer() const { return m_panGestureRecognizer; }

    // Not owned.
    [[nodiscard]] std::shared_ptr<UIScrollViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<UIScrollViewDelegate> delegate) { m_delegate = std::move(delegate); }

    // The pan recogniser's delegate: a drag begins only where there is somewhere to scroll.
    [[nodiscard]] std::optional<bool> gestureRecognizerShouldBegin(UIGestureRecognizer&) override;

    static constexpr double animationDuration = 0.3;

protected:
    void didAllocate() override;

private:
    void handlePan(const UIGestureRecognizerRef&);
    // The offsets the content allows: from zero to where its far edges meet the bounds' far edges.
    [[nodiscard]] CGPoint clampedOffset(CGPoint) const;

    UIPanGestureRecognizerRef m_panGestureRecognizer;
    std::weak_ptr<UIScrollViewDelegate> m_delegate;
    CGSize m_contentSize {};
    CGPoint m_offsetAtDragStart {};
    bool m_dragging = false;
};
