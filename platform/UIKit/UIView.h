#pragma once

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGContext.h"
#include "UIKit/UIColor.h"
#include "QuartzCore/CALayer.h"
#include "UIKit/UIResponder.h"

#include <functional>
#include <memory>
#include <vector>

enum UIViewAutoresizing : unsigned {
    UIViewAutoresizingNone = 0,
    UIViewAutoresizingFlexibleLeftMargin = 1 << 0,
    UIViewAutoresizingFlexibleWidth = 1 << 1,
    UIViewAutoresizingFlexibleRightMargin = 1 << 2,
    UIViewAutoresizingFlexibleTopMargin = 1 << 3,
    UIViewAutoresizingFlexibleHeight = 1 << 4,
    UIViewAutoresizingFlexibleBottomMargin = 1 << 5,
};

enum UIViewContentMode : int {
    UIViewContentModeScaleToFill = 0,
    UIViewContentModeScaleAspectFit = 1,
    UIViewContentModeScaleAspectFill = 2,
    UIViewContentModeRedraw = 3,
    UIViewContentModeCenter = 4,
    UIViewContentModeTop = 5,
    UIViewContentModeBottom = 6,
    UIViewContentModeLeft = 7,
    UIViewContentModeRight = 8,
    UIViewContentModeTopLeft = 9,
    UIViewContentModeTopRight = 10,
    UIViewContentModeBottomLeft = 11,
    UIViewContentModeBottomRight = 12,
};

class UIView;
class UIWindow;
class UIGestureRecognizer;
using UIViewRef = std::shared_ptr<UIView>;

// A rectangle in a tree of views, backed by a layer (the view is its layer's
// delegate): geometry, opacity, visibility, clipping and the background colour
// live in the layer, and the view tree mirrors the layer tree. Geometry follows
// the platform: the frame is the bounding box of the bounds turned by the
// transform about the centre. A view owns its subviews; the superview link
// does not own. A view's layer changes without animation except inside a view
// animation block (beginAnimations / commitAnimations).
class UIView : public UIResponder, public CALayerDelegate {
    OBJC_CLASS(UIView, UIResponder)
    [[nodiscard]] static UIViewRef initWithFrame(CGRect frame);


    // Made with the view, with the view as its delegate.
    [[nodiscard]] const CALayerRef& layer() const { return m_layer; }

    [[nodiscard]] CGRect frame() const;
    virtual void setFrame(CGRect);
    [[nodiscard]] CGRect bounds() const { return layer()->bounds(); }
    void setBounds(CGRect);
    [[nodiscard]] CGPoint center() const { return layer()->position(); }
    void setCenter(CGPoint center) { layer()->setPosition(center); }
    [[nodiscard]] CGAffineTransform transform() const { return layer()->affineTransform(); }
    void setTransform(CGAffineTransform transform) { layer()->setAffineTransform(transform); }

    [[nodiscard]] const std::vector<UIViewRef>& subviews() const { return m_subviews; }
    [[nodiscard]] UIViewRef superview() const { return m_superview.lock(); }
    // Adding a view that has another superview moves it; adding a view to itself or to one of its subviews is refused.
    void addSubview(const UIViewRef&);
    void insertSubviewAtIndex(const UIViewRef&, size_t index);
    void removeFromSuperview();
    // Reorders a subview to draw above (or below) its siblings; anything else is ignored.
    void bringSubviewToFront(const UIViewRef&);
    void sendSubviewToBack(const UIViewRef&);
    // Told after a subview has been added, and before one is removed.
    virtual void didAddSubview(const UIViewRef&) { }
    virtual void willRemoveSubview(const UIViewRef&) { }
    // Told around a move to another superview (nullptr: removed), and, for the view and every
    // view below it, around a move into another window (nullptr: out of every window).
    virtual void willMoveToSuperview(const UIViewRef&) { }
    virtual void didMoveToSuperview() { }
    virtual void willMoveToWindow(const std::shared_ptr<UIWindow>&) { }
    virtual void didMoveToWindow() { }
    // The window the view is in (a window is in itself), or nullptr.
    [[nodiscard]] std::shared_ptr<UIWindow> window() const;

    // Recognisers see the touches of this view and of the views below it before the views do.
    [[nodiscard]] const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const { return m_gestureRecognizers; }
    void addGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>&);
    void removeGestureRecognizer(const std::shared_ptr<UIGestureRecognizer>&);

    [[nodiscard]] const UIColorRef& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(UIColorRef);
    [[nodiscard]] unsigned autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }
    [[nodiscard]] bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool value) { m_autoresizesSubviews = value; }
    [[nodiscard]] CGFloat alpha() const { return static_cast<CGFloat>(layer()->opacity()); }
    void setAlpha(CGFloat alpha) { layer()->setOpacity(static_cast<float>(alpha)); }
    [[nodiscard]] bool isHidden() const { return layer()->isHidden(); }
    void setHidden(bool hidden) { layer()->setHidden(hidden); }
    [[nodiscard]] bool clipsToBounds() const { return layer()->masksToBounds(); }
    void setClipsToBounds(bool clips) { layer()->setMasksToBounds(clips); }
    [[nodiscard]] bool isOpaque() const { return m_opaque; }
    void setOpaque(bool opaque) { m_opaque = opaque; }
    [[nodiscard]] UIViewContentMode contentMode() const { return m_contentMode; }
    void setContentMode(UIViewContentMode);
    // Pixels per point of what drawRect draws; the screen's scale by default.
    [[nodiscard]] CGFloat contentScaleFactor() const { return layer()->contentsScale(); }
    void setContentScaleFactor(CGFloat scale) { layer()->setContentsScale(scale); }

    [[nodiscard]] bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }
    // Off by default, as on the platform: while one finger is on the view, others that come
    // down on it are not delivered to it.
    [[nodiscard]] bool isMultipleTouchEnabled() const { return m_multipleTouchEnabled; }
    void setMultipleTouchEnabled(bool enabled) { m_multipleTouchEnabled = enabled; }

    // The controller whose view this is (set by the controller), which then comes next in the
    // responder chain; not owned.
    [[nodiscard]] std::shared_ptr<UIResponder> viewController() const { return m_viewController.lock(); }
    void setViewController(std::weak_ptr<UIResponder> controller) { m_viewController = std::move(controller); }

    // Maps this view's coordinates to its superview's.
    [[nodiscard]] CGAffineTransform transformToSuperview() const;
    // Coordinates between views of one tree; a null view means the tree's root.
    [[nodiscard]] CGPoint convertPointToView(CGPoint, const UIView* view) const;
    [[nodiscard]] CGPoint convertPointFromView(CGPoint, const UIView* view) const;
    // The deepest visible, interactive view under point (in this view's coordinates), or nullptr.
    [[nodiscard]] virtual UIViewRef hitTest(CGPoint point, const UIEvent* event);
    [[nodiscard]] virtual bool pointInside(CGPoint point, const UIEvent* event) const;
    [[nodiscard]] std::shared_ptr<UIResponder> nextResponder() const override;

    // Drawing: what drawRect draws is kept as the layer's contents and drawn
    // again only after setNeedsDisplay (views that draw ask for it when made).
    virtual void drawRect(CGRect);
    void setNeedsDisplay() { layer()->setNeedsDisplay(); }
    // Layout: layoutSubviews runs before the next drawing after setNeedsLayout, or at layoutIfNeeded.
    virtual void layoutSubviews() { }
    void setNeedsLayout() { layer()->setNeedsLayout(); }
    void layoutIfNeeded() { layer()->layoutIfNeeded(); }

    // View animation blocks: layer changes made between begin and commit animate
    // over the block's duration (0.2 s unless set); blocks nest. A block is a
    // transaction of its own.
    static void beginAnimations(const char* animationID = nullptr, void* context = nullptr);
    static void commitAnimations();
    static void setAnimationDuration(double seconds);
    // A block around the animations; completion runs once they have all ended, at the end
    // of a commit, told whether they ran to their end.
    static void animateWithDuration(double duration, const std::function<void()>& animations,
        std::function<void(bool finished)> completion = {});
    [[nodiscard]] static bool areAnimationsEnabled();
    static void setAnimationsEnabled(bool);
    static constexpr double defaultAnimationDuration = 0.2;

    // Draws the view and its subviews (model values) into a UIKit context, in this view's own coordinates.
    void renderInContext(const CGContextRef&);

    // The view as its layer's delegate.
    void drawLayerInContext(CALayer&, const CGContextRef&) override;
    void layoutSublayersOfLayer(CALayer&) override;
    [[nodiscard]] Action actionForLayerForKey(CALayer&, std::string_view key) override;

protected:
    void didAllocate() override;
    // The class of the backing layer.
    [[nodiscard]] virtual CALayerRef makeBackingLayer() const { return CALayer::layer(); }
    // Where content of the given size goes inside the bounds under the content mode.
    [[nodiscard]] CGRect contentRectForSize(CGSize) const;

private:
    void resizeSubviews(CGSize oldSize);
    void moveSubview(const UIViewRef&, size_t index);
    void insertIntoList(const UIViewRef&, size_t index);
    void tellWillMoveToWindow(const std::shared_ptr<UIWindow>&);
    void tellDidMoveToWindow();
    void autoresizeInSuperview(CGSize oldSuperSize, CGSize newSuperSize);

    CALayerRef m_layer;
    std::vector<UIViewRef> m_subviews;
    std::weak_ptr<UIView> m_superview;
    std::weak_ptr<UIResponder> m_viewController;
    std::vector<std::shared_ptr<UIGestureRecognizer>> m_gestureRecognizers;
    UIColorRef m_backgroundColor;
    unsigned m_autoresizingMask = UIViewAutoresizingNone;
    bool m_autoresizesSubviews = true;
    bool m_opaque = true;
    bool m_userInteractionEnabled = true;
    bool m_multipleTouchEnabled = false;
    UIViewContentMode m_contentMode = UIViewContentModeScaleToFill;
};
