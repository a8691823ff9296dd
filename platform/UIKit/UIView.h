#pragma once

#include "CoreGraphics/CGAffineTransform.h"
#include "CoreGraphics/CGContext.h"
#include "UIKit/UIColor.h"
#include "UIKit/UIResponder.h"

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
using UIViewRef = std::shared_ptr<UIView>;

// A rectangle in a tree of views. Geometry follows the platform: the frame is
// the bounding box of the bounds turned by the transform about the centre.
// A view owns its subviews; the superview link does not own.
class UIView : public UIResponder {
public:
    static Class runtimeClass();
    [[nodiscard]] static UIViewRef initWithFrame(CGRect frame);

    UIView() = default;

    [[nodiscard]] CGRect frame() const;
    void setFrame(CGRect);
    [[nodiscard]] CGRect bounds() const { return m_bounds; }
    void setBounds(CGRect);
    [[nodiscard]] CGPoint center() const { return m_center; }
    void setCenter(CGPoint center) { m_center = center; }
    [[nodiscard]] CGAffineTransform transform() const { return m_transform; }
    void setTransform(CGAffineTransform transform) { m_transform = transform; }

    [[nodiscard]] const std::vector<UIViewRef>& subviews() const { return m_subviews; }
    [[nodiscard]] UIViewRef superview() const { return m_superview.lock(); }
    // Adding a view that has another superview moves it; adding a view to itself or to one of its subviews is refused.
    void addSubview(const UIViewRef&);
    void insertSubviewAtIndex(const UIViewRef&, size_t index);
    void removeFromSuperview();

    [[nodiscard]] const UIColorRef& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(UIColorRef color) { m_backgroundColor = std::move(color); }
    [[nodiscard]] unsigned autoresizingMask() const { return m_autoresizingMask; }
    void setAutoresizingMask(unsigned mask) { m_autoresizingMask = mask; }
    [[nodiscard]] bool autoresizesSubviews() const { return m_autoresizesSubviews; }
    void setAutoresizesSubviews(bool value) { m_autoresizesSubviews = value; }
    [[nodiscard]] CGFloat alpha() const { return m_alpha; }
    void setAlpha(CGFloat alpha) { m_alpha = alpha; }
    [[nodiscard]] bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    [[nodiscard]] bool clipsToBounds() const { return m_clipsToBounds; }
    void setClipsToBounds(bool clips) { m_clipsToBounds = clips; }
    [[nodiscard]] UIViewContentMode contentMode() const { return m_contentMode; }
    void setContentMode(UIViewContentMode mode) { m_contentMode = mode; }

    [[nodiscard]] bool isUserInteractionEnabled() const { return m_userInteractionEnabled; }
    void setUserInteractionEnabled(bool enabled) { m_userInteractionEnabled = enabled; }

    // Maps this view's coordinates to its superview's.
    [[nodiscard]] CGAffineTransform transformToSuperview() const;
    // Coordinates between views of one tree; a null view means the tree's root.
    [[nodiscard]] CGPoint convertPointToView(CGPoint, const UIView* view) const;
    [[nodiscard]] CGPoint convertPointFromView(CGPoint, const UIView* view) const;
    // The deepest visible, interactive view under point (in this view's coordinates), or nullptr.
    [[nodiscard]] virtual UIViewRef hitTest(CGPoint point, const UIEvent* event);
    [[nodiscard]] virtual bool pointInside(CGPoint point, const UIEvent* event) const;
    [[nodiscard]] std::shared_ptr<UIResponder> nextResponder() const override { return superview(); }

    // Draws the view and its subviews into a UIKit context, in this view's own coordinates.
    void renderInContext(const CGContextRef&);

protected:
    // What the view itself shows above its background colour.
    virtual void drawContent(const CGContextRef&) { }
    // Where content of the given size goes inside the bounds under the content mode.
    [[nodiscard]] CGRect contentRectForSize(CGSize) const;

private:
    void resizeSubviews(CGSize oldSize);
    void autoresizeInSuperview(CGSize oldSuperSize, CGSize newSuperSize);

    CGRect m_bounds {};
    CGPoint m_center {};
    CGAffineTransform m_transform = CGAffineTransformIdentity;
    std::vector<UIViewRef> m_subviews;
    std::weak_ptr<UIView> m_superview;
    UIColorRef m_backgroundColor;
    unsigned m_autoresizingMask = UIViewAutoresizingNone;
    bool m_autoresizesSubviews = true;
    CGFloat m_alpha = 1;
    bool m_hidden = false;
    bool m_clipsToBounds = false;
    bool m_userInteractionEnabled = true;
    UIViewContentMode m_contentMode = UIViewContentModeScaleToFill;
};
