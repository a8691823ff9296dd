#pragma once

#include "CoreGraphics/CGColor.h"
#include "CoreGraphics/CGContext.h"
#include "CoreGraphics/CGImage.h"
#include "QuartzCore/CAAnimation.h"
#include "QuartzCore/CALayerDelegate.h"
#include "QuartzCore/CALayerProperty.h"
#include "QuartzCore/CAPropertyValue.h"
#include "QuartzCore/CATransform3D.h"
#include "objc/NSObject.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// How a contents image fills the bounds, named as UIView's content modes are:
// top is the top edge on this y-down platform.
enum CALayerContentsGravity : int {
    kCAGravityCenter = 0,
    kCAGravityTop = 1,
    kCAGravityBottom = 2,
    kCAGravityLeft = 3,
    kCAGravityRight = 4,
    kCAGravityTopLeft = 5,
    kCAGravityTopRight = 6,
    kCAGravityBottomLeft = 7,
    kCAGravityBottomRight = 8,
    kCAGravityResize = 9,
    kCAGravityResizeAspect = 10,
    kCAGravityResizeAspectFill = 11,
};

class CALayer;
using CALayerRef = std::shared_ptr<CALayer>;

// A rectangle in a tree of layers. A layer keeps model values: what code sets
// and reads back at once. Changing an animatable one looks for an action (the
// delegate's answer, then the actions dictionary, then the default: a basic
// animation from the old presentation value over the transaction's duration)
// unless the transaction disables actions, and runs it. The presentation
// values are the model values with the running animations applied at the
// animation clock's time; the compositor draws those.
//
// A layer takes no implicit actions of its own (from its actions or the
// default) until a commit has happened since it was made: as on the platform,
// a layer that was never on screen has nothing to animate from, so a control
// builds its layers without starting animations. What its delegate asks for
// runs all the same, so a view added and animated in one turn animates.
//
// Geometry follows the platform: position is where the anchor point of the
// bounds sits in the superlayer, the transform turns the layer about its
// anchor point, and the frame is the bounding box of the transformed bounds.
// A layer owns its sublayers; the superlayer and delegate links do not own.
// Main thread only.
class CALayer : public NSObject {
    OBJC_CLASS(CALayer, NSObject)
    [[nodiscard]] static CALayerRef layer();

    explicit CALayer(objc::AllocationKey);

    // Geometry. Non-finite values are refused (the platform raises for them) and leave the old value.
    [[nodiscard]] CGRect bounds() const { return m_properties.bounds; }
    void setBounds(CGRect);
    [[nodiscard]] CGPoint position() const { return m_properties.position; }
    void setPosition(CGPoint);
    [[nodiscard]] CGPoint anchorPoint() const { return m_properties.anchorPoint; }
    void setAnchorPoint(CGPoint);
    [[nodiscard]] CGFloat zPosition() const { return m_properties.zPosition; }
    void setZPosition(CGFloat);
    [[nodiscard]] const CATransform3D& transform() const { return m_properties.transform; }
    void setTransform(const CATransform3D&);
    [[nodiscard]] CGAffineTransform affineTransform() const { return CATransform3DGetAffineTransform(m_properties.transform); }
    void setAffineTransform(CGAffineTransform transform) { setTransform(CATransform3DMakeAffineTransform(transform)); }
    [[nodiscard]] CGRect frame() const;
    // Moves the layer so that frame() starts at the rectangle's origin, and sizes the bounds so that
    // it has the rectangle's size where the transform is a scale, a mirror or a quarter turn; other
    // turns keep the bounds' size.
    void setFrame(CGRect);

    // Appearance.
    [[nodiscard]] float opacity() const { return m_properties.opacity; }
    void setOpacity(float);
    // A change of hidden fades the layer out or in (its presentation stays drawn until faded
    // out), as the platform's implicit action for it does.
    [[nodiscard]] bool isHidden() const { return m_properties.hidden; }
    void setHidden(bool);
    [[nodiscard]] const CGImageRef& contents() const { return m_properties.contents; }
    void setContents(CGImageRef);
    [[nodiscard]] CALayerContentsGravity contentsGravity() const { return m_properties.contentsGravity; }
    void setContentsGravity(CALayerContentsGravity);
    // Pixels of contents per point: the size of the backing image that display() makes.
    [[nodiscard]] CGFloat contentsScale() const { return m_properties.contentsScale; }
    void setContentsScale(CGFloat);
    [[nodiscard]] const CGColorRef& backgroundColor() const { return m_properties.backgroundColor; }
    void setBackgroundColor(CGColorRef);
    // Rounds the background and the border; contents and sublayers only with masksToBounds.
    [[nodiscard]] CGFloat cornerRadius() const { return m_properties.cornerRadius; }
    void setCornerRadius(CGFloat);
    // Drawn inside the bounds, above the contents and the sublayers.
    [[nodiscard]] CGFloat borderWidth() const { return m_properties.borderWidth; }
    void setBorderWidth(CGFloat);
    [[nodiscard]] const CGColorRef& borderColor() const { return m_properties.borderColor; }
    void setBorderColor(CGColorRef);
    [[nodiscard]] bool masksToBounds() const { return m_properties.masksToBounds; }
    void setMasksToBounds(bool);
    [[nodiscard]] bool needsDisplayOnBoundsChange() const { return m_properties.needsDisplayOnBoundsChange; }
    void setNeedsDisplayOnBoundsChange(bool needs) { m_properties.needsDisplayOnBoundsChange = needs; }
    [[nodiscard]] const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }

    // The tree. Adding a layer that has another superlayer moves it; adding a layer to itself
    // or to one of its own sublayers is refused. Indexes past the end append.
    [[nodiscard]] const std::vector<CALayerRef>& sublayers() const { return m_sublayers; }
    [[nodiscard]] CALayerRef superlayer() const { return m_superlayer.lock(); }
    void addSublayer(const CALayerRef&);
    void insertSublayer(const CALayerRef&, size_t index);
    // A sibling that is not a sublayer of this layer puts the layer at the front (below) or the back (above).
    void insertSublayerBelow(const CALayerRef&, const CALayerRef& sibling);
    void insertSublayerAbove(const CALayerRef&, const CALayerRef& sibling);
    void removeFromSuperlayer();

    [[nodiscard]] std::shared_ptr<CALayerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(std::weak_ptr<CALayerDelegate> delegate)
    {
        m_delegate = std::move(delegate);
        m_drawsNothing = false;
    }

    // Display: the content drawn by drawInContext (the delegate's drawing by default) is cached as
    // contents, replacing whatever contents held, when the layer displays.
    void setNeedsDisplay();
    [[nodiscard]] bool needsDisplay() const { return m_needsDisplay; }
    void displayIfNeeded();
    // This layer and every layer below it, depth first.
    void displayIfNeededInTree();
    virtual void display();
    virtual void drawInContext(const CGContextRef&);
    // Said by drawing methods that draw nothing (the defaults): from then on the layer
    // displays without a backing store, as a class's drawing cannot start later.
    void noteDrawsNothing() { m_reachedEmptyDrawing = true; }

    // Layout: a change of the bounds' size or of the sublayers asks for it.
    void setNeedsLayout();
    [[nodiscard]] bool needsLayout() const { return m_needsLayout; }
    // Lays out this layer if it asked to, then its sublayers, depth first.
    void layoutIfNeeded();
    // By default the delegate's layoutSublayersOfLayer.
    virtual void layoutSublayers();

    // Key-value coding of the layer's properties ("opacity", "bounds", "frame", …) and of their
    // fields ("position.x", "bounds.size.width", "transform.scale.x", "transform.rotation.z", …).
    // Reading an unknown key gives nil; setting one, or a value of the wrong kind, is refused
    // with false. Setting goes through the property's setter, so the change takes its action
    // under the top-level key ("transform" for "transform.rotation.z").
    [[nodiscard]] CAPropertyValue valueForKey(std::string_view key) const;
    bool setValueForKey(const CAPropertyValue&, std::string_view key);
    [[nodiscard]] CAPropertyValue valueForKeyPath(std::string_view keyPath) const;
    bool setValueForKeyPath(const CAPropertyValue&, std::string_view keyPath);
    [[nodiscard]] bool isAnimatableKey(std::string_view key) const;

    // Actions. actionForKey gives what a change of the key would run now, or nullptr.
    [[nodiscard]] CAActionRef actionForKey(std::string_view key);
    // The implicit animation for an animatable key; nullptr for the others.
    [[nodiscard]] virtual CAActionRef defaultActionForKey(std::string_view key);
    // A null entry stops the search with no action, as NSNull does.
    [[nodiscard]] const std::map<std::string, CAActionRef, std::less<>>& actions() const { return m_actions; }
    void setActions(std::map<std::string, CAActionRef, std::less<>> actions) { m_actions = std::move(actions); }
    // Whether the transaction that made the layer has been committed (see above).
    [[nodiscard]] bool hasBeenCommitted() const;

    // Animations. The layer keeps a copy of what is added, replacing one under the same key;
    // an animation that would last no time (its duration and the transaction's both 0) is not
    // kept. An empty key keeps the animation where no key can name it. Ended animations are
    // removed when the animation clock moves past them.
    void addAnimation(const CAAnimationRef&, std::string_view key);
    [[nodiscard]] CAAnimationRef animationForKey(std::string_view key) const;
    [[nodiscard]] std::vector<std::string> animationKeys() const;
    void removeAnimationForKey(std::string_view key);
    void removeAllAnimations();

    // A detached copy (same class, no tree, no delegate, no animations) holding the
    // presentation values at the clock's time. On a presentation copy, modelLayer is
    // the layer it shows; on a model layer, the layer itself.
    [[nodiscard]] CALayerRef presentationLayer() const;
    [[nodiscard]] CALayerRef modelLayer() const;
    [[nodiscard]] CAPropertyValue presentationValueForKeyPath(std::string_view keyPath) const;

    // Draws the layer and its sublayers, model values, into a UIKit (y-down) context in the
    // layer's own bounds coordinates, after laying out and displaying what needs it.
    void renderInContext(const CGContextRef&);

protected:
    // The description of a property of this class, nullptr for an unknown key; subclasses
    // look in their own table, then call up.
    [[nodiscard]] virtual const CALayerProperty* propertyForKey(std::string_view key) const;
    // The property's model value; nullopt for an unknown key.
    [[nodiscard]] std::optional<CAPropertyValue> modelValueForKey(std::string_view key) const;
    // Stores without an action; false for an unknown key or a value of the wrong kind.
    bool storeValueForKey(std::string_view key, const CAPropertyValue&);
    // A new layer of the same class with the same values; subclasses copy their own values too.
    [[nodiscard]] virtual CALayerRef copyForPresentation() const;
    void copyLayerValuesFrom(const CALayer&);

    // A change of a property, as the platform makes one: the action is looked up with the old
    // value still in place, the value stored, then the action run. An equal value changes
    // nothing; false for an unknown key or a value of the wrong kind.
    bool changeValue(std::string_view key, const CAPropertyValue&);
    [[nodiscard]] CAActionRef willChangeValueForKey(std::string_view key);
    void didChangeValueForKey(std::string_view key, const CAActionRef&);

private:
    friend class CARenderer;
    friend class CALayerPainter;
    friend class CAAnimationClock;
    friend class CADamageTracker;

    struct Properties {
        CGRect bounds {};
        CGPoint position {};
        CGPoint anchorPoint { 0.5, 0.5 };
        CGFloat zPosition = 0;
        CATransform3D transform {};
        float opacity = 1;
        bool hidden = false;
        CGImageRef contents;
        CALayerContentsGravity contentsGravity = kCAGravityResize;
        CGFloat contentsScale = 1;
        CGColorRef backgroundColor;
        CGFloat cornerRadius = 0;
        CGFloat borderWidth = 0;
        CGColorRef borderColor;
        bool masksToBounds = false;
        bool needsDisplayOnBoundsChange = false;
    };

    // What a presentation copy shows besides plain values: how far a hidden change has faded
    // it (1 fully there) and the contents it is dissolving from.
    struct Transition {
        double visibility = 1;
        CGImageRef previousContents;
        double contentsFraction = 1;
    };

    void insertSublayerUnchecked(CALayerRef, size_t index);
    // Where the layer goes and how large its bounds become for a frame, as setFrame places it.
    [[nodiscard]] std::pair<CGPoint, CGSize> geometryForFrame(CGRect) const;
    // Stores the bounds, asking for layout (and display, if so set) when the size changes.
    void storeBounds(CGRect);
    // A context over the layer's backing pixels, cleared, reusing the last ones where it can.
    [[nodiscard]] CGContextRef backingStoreContext(size_t width, size_t height);
    void retireFinishedAnimations(CFTimeInterval time);
    static void animationDidStop(CAAnimation&, bool finished);
    [[nodiscard]] CAPropertyValue presentationValue(std::string_view key, Transition* transition) const;

    Properties m_properties;
    Transition m_transition;
    std::string m_name;
    std::vector<CALayerRef> m_sublayers;
    std::weak_ptr<CALayer> m_superlayer;
    std::weak_ptr<CALayerDelegate> m_delegate;
    std::weak_ptr<const CALayer> m_modelLayer;
    std::map<std::string, CAActionRef, std::less<>> m_actions;
    std::vector<std::pair<std::string, CAAnimationRef>> m_animations;
    unsigned long long m_createdBeforeCommit;
    // The pixels of the contents display() made last: drawn into again by the next display
    // while its size holds and no image of them is held but the layer's own contents.
    CGSharedPixels m_backingPixels;
    bool m_needsDisplay = false;
    bool m_needsLayout = false;
    bool m_drawsNothing = false;
    bool m_reachedEmptyDrawing = false;
};
