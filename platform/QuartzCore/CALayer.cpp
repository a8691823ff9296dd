#include "QuartzCore/CALayer.h"

#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CARenderer.h"
#include "QuartzCore/CATransaction.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"
#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

bool isFinite(CGFloat value) { return std::isfinite(value); }
bool isFinite(CGPoint p) { return isFinite(p.x) && isFinite(p.y); }
bool isFinite(CGRect r) { return isFinite(r.origin) && isFinite(r.size.width) && isFinite(r.size.height); }

std::pair<std::string_view, std::string_view> splitKeyPath(std::string_view path)
{
    size_t dot = path.find('.');
    if (dot == std::string_view::npos)
        return { path, {} };
    return { path.substr(0, dot), path.substr(dot + 1) };
}





CGColorRef opaqueBlack()
{
    return CGColorCreate(CGColorSpaceCreateDeviceGray(), { 0, 1 });
}

}

CALayerRef CALayer::layer()
{
    return objc::alloc<CALayer>();
}

CALayer::CALayer(objc::AllocationKey key)
    : NSObject(key)
    , m_createdBeforeCommit(CATransaction::commitCount())
{
    m_properties.borderColor = opaqueBlack();
}

// MARK: - Geometry and appearance

void CALayer::setBounds(CGRect bounds)
{
    if (isFinite(bounds))
        changeValue("bounds", bounds);
}

void CALayer::setPosition(CGPoint position)
{
    if (isFinite(position))
        changeValue("position", position);
}

void CALayer::setAnchorPoint(CGPoint anchorPoint)
{
    if (isFinite(anchorPoint))
        changeValue("anchorPoint", anchorPoint);
}

void CALayer::setZPosition(CGFloat zPosition)
{
    if (isFinite(zPosition))
        changeValue("zPosition", zPosition);
}

void CALayer::setTransform(const CATransform3D& transform)
{
    if (CATransform3DIsFinite(transform))
        changeValue("transform", transform);
}

CGRect CALayer::frame() const
{
    CGRect bounds = CGRectStandardize(m_properties.bounds);
    CGPoint anchor = m_properties.anchorPoint;
    CGAffineTransform aboutAnchor = CGAffineTransformConcat(
        CGAffineTransformConcat(CGAffineTransformMakeTranslation(-anchor.x * bounds.size.width, -anchor.y * bounds.size.height), affineTransform()),
        CGAffineTransformMakeTranslation(m_properties.position.x, m_properties.position.y));
    return CGRectApplyAffineTransform(CGRectMake(0, 0, bounds.size.width, bounds.size.height), aboutAnchor);
}

std::pair<CGPoint, CGSize> CALayer::geometryForFrame(CGRect frame) const
{
    frame = CGRectStandardize(frame);
    CGAffineTransform t = affineTransform();
    // Under a scale, a mirror or a quarter turn the box is the bounds' size with the axes
    // scaled (and swapped): the size follows from the frame. Under any other turn the box
    // says little about the size, which stays, as a view's does.
    CGSize size = CGRectStandardize(m_properties.bounds).size;
    double a = std::abs(t.a), b = std::abs(t.b), c = std::abs(t.c), d = std::abs(t.d);
    double tolerance = 1e-6 * (a + b + c + d);
    double width = -1, height = -1;
    if (b <= tolerance && c <= tolerance && a > tolerance && d > tolerance) {
        width = frame.size.width / a;
        height = frame.size.height / d;
    } else if (a <= tolerance && d <= tolerance && b > tolerance && c > tolerance) {
        width = frame.size.height / b;
        height = frame.size.width / c;
    }
    if (width >= 0 && height >= 0 && std::isfinite(width) && std::isfinite(height))
        size = CGSizeMake(static_cast<CGFloat>(width), static_cast<CGFloat>(height));
    // Then the position that puts the box's origin where asked.
    CGPoint anchor = m_properties.anchorPoint;
    CGAffineTransform aboutAnchor
        = CGAffineTransformConcat(CGAffineTransformMakeTranslation(-anchor.x * size.width, -anchor.y * size.height), t);
    CGRect box = CGRectApplyAffineTransform(CGRectMake(0, 0, size.width, size.height), aboutAnchor);
    return { CGPointMake(frame.origin.x - box.origin.x, frame.origin.y - box.origin.y), size };
}

void CALayer::setFrame(CGRect frame)
{
    if (!isFinite(frame))
        return;
    auto [position, size] = geometryForFrame(frame);
    setPosition(position);
    setBounds(CGRectMake(m_properties.bounds.origin.x, m_properties.bounds.origin.y, size.width, size.height));
}

void CALayer::setOpacity(float opacity)
{
    if (!std::isnan(opacity))
        changeValue("opacity", opacity);
}

void CALayer::setHidden(bool hidden)
{
    changeValue("hidden", hidden);
}

void CALayer::setContents(CGImageRef contents)
{
    changeValue("contents", std::move(contents));
}

void CALayer::setContentsGravity(CALayerContentsGravity gravity)
{
    if (gravity >= kCAGravityCenter && gravity <= kCAGravityResizeAspectFill)
        changeValue("contentsGravity", static_cast<double>(gravity));
}

void CALayer::setContentsScale(CGFloat scale)
{
    if (isFinite(scale) && scale > 0)
        changeValue("contentsScale", scale);
}

void CALayer::setBackgroundColor(CGColorRef color)
{
    changeValue("backgroundColor", std::move(color));
}

void CALayer::setCornerRadius(CGFloat radius)
{
    if (isFinite(radius))
        changeValue("cornerRadius", radius);
}

void CALayer::setBorderWidth(CGFloat width)
{
    if (isFinite(width))
        changeValue("borderWidth", width);
}

void CALayer::setBorderColor(CGColorRef color)
{
    changeValue("borderColor", std::move(color));
}

void CALayer::setMasksToBounds(bool masks)
{
    changeValue("masksToBounds", masks);
}

// MARK: - The tree

void CALayer::addSublayer(const CALayerRef& layer)
{
    insertSublayer(layer, m_sublayers.size());
}

void CALayer::insertSublayer(const CALayerRef& layer, size_t index)
{
    if (!layer || layer.get() == this)
        return;
    for (auto ancestor = superlayer(); ancestor; ancestor = ancestor->superlayer()) {
        if (ancestor == layer)
            return;
    }
    insertSublayerUnchecked(layer, index);
}

void CALayer::insertSublayerBelow(const CALayerRef& layer, const CALayerRef& sibling)
{
    auto found = std::find(m_sublayers.begin(), m_sublayers.end(), sibling);
    insertSublayer(layer, found == m_sublayers.end() ? 0 : static_cast<size_t>(found - m_sublayers.begin()));
}

void CALayer::insertSublayerAbove(const CALayerRef& layer, const CALayerRef& sibling)
{
    auto found = std::find(m_sublayers.begin(), m_sublayers.end(), sibling);
    insertSublayer(layer, found == m_sublayers.end() ? m_sublayers.size() : static_cast<size_t>(found - m_sublayers.begin()) + 1);
}

void CALayer::insertSublayerUnchecked(CALayerRef layer, size_t index)
{
    // layer may be an entry of the very list edited below: it is held by a copy.
    if (layer->superlayer().get() == this) {
        auto found = std::find(m_sublayers.begin(), m_sublayers.end(), layer);
        size_t oldIndex = static_cast<size_t>(found - m_sublayers.begin());
        m_sublayers.erase(found);
        if (oldIndex < index)
            --index;
    } else {
        layer->removeFromSuperlayer();
    }
    index = std::min(index, m_sublayers.size());
    m_sublayers.insert(m_sublayers.begin() + static_cast<std::ptrdiff_t>(index), layer);
    layer->m_superlayer = std::static_pointer_cast<CALayer>(shared_from_this());
    setNeedsLayout();
}

void CALayer::removeFromSuperlayer()
{
    auto parent = superlayer();
    m_superlayer.reset();
    if (!parent)
        return;
    // Keeps this layer alive until the erase is done, whoever else holds it.
    auto self = shared_from_this();
    auto& siblings = parent->m_sublayers;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    parent->setNeedsLayout();
}

// MARK: - Display and layout

void CALayer::setNeedsDisplay()
{
    m_needsDisplay = true;
    CATransaction::noteLayerChange();
}

void CALayer::setNeedsLayout()
{
    m_needsLayout = true;
    CATransaction::noteLayerChange();
}

void CALayer::displayIfNeeded()
{
    if (!m_needsDisplay)
        return;
    m_needsDisplay = false;
    display();
}

void CALayer::display()
{
    if (m_drawsNothing) {
        m_backingPixels.reset();
        if (m_properties.contents) {
            storeValueForKey("contents", nullptr);
            CATransaction::noteLayerChange();
        }
        return;
    }
    CGRect bounds = CGRectStandardize(m_properties.bounds);
    CGFloat scale = m_properties.contentsScale;
    double width = std::ceil(static_cast<double>(bounds.size.width) * scale);
    double height = std::ceil(static_cast<double>(bounds.size.height) * scale);
    CGContextRef context;
    if (width >= 1 && height >= 1 && width <= 32767 && height <= 32767)
        context = backingStoreContext(static_cast<size_t>(width), static_cast<size_t>(height));
    if (!context) {
        // Nothing to draw into: the old contents go all the same.
        storeValueForKey("contents", nullptr);
        return;
    }
    // The layer's bounds coordinates with y down, in points; shadow offsets and blur in points too.
    CGContextSetBaseScale(context, scale);
    CGContextTranslateCTM(context, 0, static_cast<CGFloat>(height));
    CGContextScaleCTM(context, scale, -scale);
    CGContextTranslateCTM(context, -bounds.origin.x, -bounds.origin.y);
    m_reachedEmptyDrawing = false;
    drawInContext(context);
    if (std::exchange(m_reachedEmptyDrawing, false)) {
        m_drawsNothing = true;
        context.reset();
        m_backingPixels.reset();
        storeValueForKey("contents", nullptr);
        CATransaction::noteLayerChange();
        return;
    }
    context.reset();
    auto size = static_cast<size_t>(width);
    storeValueForKey("contents", CAPropertyValue(std::make_shared<const CGImage>(size, static_cast<size_t>(height), m_backingPixels, 0, size)));
    CATransaction::noteLayerChange();
}

CGContextRef CALayer::backingStoreContext(size_t width, size_t height)
{
    // The last contents' pixels are drawn into again when they have the size and nothing but the
    // layer's own contents holds them; otherwise they are left to whoever holds them.
    const CGImageRef& contents = m_properties.contents;
    bool heldByContentsAlone = contents && contents.use_count() == 1 && m_backingPixels && contents->data() == m_backingPixels->data()
        && m_backingPixels.use_count() == 2;
    bool reusable = m_backingPixels && m_backingPixels->size() == width * height
        && (m_backingPixels.use_count() == 1 || heldByContentsAlone);
    if (reusable) {
        if (heldByContentsAlone)
            storeValueForKey("contents", nullptr);
        std::fill(m_backingPixels->begin(), m_backingPixels->end(), 0u);
    } else {
        m_backingPixels.reset();
        if (width > CGImage::maximumPixelCount / height)
            return nullptr;
        m_backingPixels = std::make_shared<std::vector<std::uint32_t>>(width * height);
    }
    auto context = CGBitmapContextCreateWithSharedPixels(m_backingPixels, width, height);
    if (!context)
        m_backingPixels.reset();
    return context;
}

void CALayer::drawInContext(const CGContextRef& context)
{
    if (auto delegate = m_delegate.lock())
        delegate->drawLayerInContext(*this, context);
    else
        noteDrawsNothing();
}

void CALayerDelegate::drawLayerInContext(CALayer& layer, const CGContextRef&)
{
    layer.noteDrawsNothing();
}

void CALayer::layoutIfNeeded()
{
    if (m_needsLayout) {
        m_needsLayout = false;
        layoutSublayers();
    }
    // Layout may change the list: walk a copy.
    auto sublayers = m_sublayers;
    for (auto& sublayer : sublayers)
        sublayer->layoutIfNeeded();
}

void CALayer::layoutSublayers()
{
    if (auto delegate = m_delegate.lock())
        delegate->layoutSublayersOfLayer(*this);
}

// MARK: - Key-value coding

namespace {

using namespace CALayerProperties;

bool isFiniteValue(const CGRect* rect) { return rect && isFinite(*rect); }
bool isFiniteValue(const CGPoint* point) { return point && isFinite(*point); }

}

const CALayerProperty* CALayer::propertyForKey(std::string_view key) const
{
    static constexpr CALayerProperty table[] = {
        { "bounds", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.bounds); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto* bounds = v.get<CGRect>();
                if (!isFiniteValue(bounds))
                    return false;
                l.storeBounds(*bounds);
                return true;
            } },
        { "position", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.position); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto* point = v.get<CGPoint>();
                return isFiniteValue(point) && (l.m_properties.position = *point, true);
            } },
        { "anchorPoint", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.anchorPoint); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto* point = v.get<CGPoint>();
                return isFiniteValue(point) && (l.m_properties.anchorPoint = *point, true);
            } },
        { "zPosition", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.zPosition); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto z = finiteNumber(v);
                return z && (l.m_properties.zPosition = *z, true);
            } },
        { "transform", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.transform); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto* transform = v.get<CATransform3D>();
                return transform && CATransform3DIsFinite(*transform) && (l.m_properties.transform = *transform, true);
            } },
        { "opacity", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.opacity); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto opacity = number(v);
                return opacity && (l.m_properties.opacity = static_cast<float>(*opacity), true);
            } },
        { "hidden", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.hidden); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto flag = number(v);
                return flag && (l.m_properties.hidden = *flag != 0, true);
            } },
        { "contents", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.contents); },
            [](CALayer& l, const CAPropertyValue& v) { return storeObject(l.m_properties.contents, v); } },
        { "contentsGravity", false, [](const CALayer& l) { return CAPropertyValue(static_cast<double>(l.m_properties.contentsGravity)); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto gravity = number(v);
                if (!gravity || *gravity < static_cast<CGFloat>(kCAGravityCenter) || *gravity > static_cast<CGFloat>(kCAGravityResizeAspectFill))
                    return false;
                l.m_properties.contentsGravity = static_cast<CALayerContentsGravity>(static_cast<int>(*gravity));
                return true;
            } },
        { "contentsScale", false, [](const CALayer& l) { return CAPropertyValue(l.m_properties.contentsScale); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto scale = finiteNumber(v);
                return scale && *scale > 0 && (l.m_properties.contentsScale = *scale, true);
            } },
        { "backgroundColor", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.backgroundColor); },
            [](CALayer& l, const CAPropertyValue& v) { return storeObject(l.m_properties.backgroundColor, v); } },
        { "cornerRadius", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.cornerRadius); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto radius = finiteNumber(v);
                return radius && (l.m_properties.cornerRadius = *radius, true);
            } },
        { "borderWidth", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.borderWidth); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto width = finiteNumber(v);
                return width && (l.m_properties.borderWidth = *width, true);
            } },
        { "borderColor", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.borderColor); },
            [](CALayer& l, const CAPropertyValue& v) { return storeObject(l.m_properties.borderColor, v); } },
        { "masksToBounds", true, [](const CALayer& l) { return CAPropertyValue(l.m_properties.masksToBounds); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto flag = number(v);
                return flag && (l.m_properties.masksToBounds = *flag != 0, true);
            } },
        // Derived from position and bounds; stored into them, with no action either.
        { "frame", false, [](const CALayer& l) { return CAPropertyValue(l.frame()); },
            [](CALayer& l, const CAPropertyValue& v) {
                auto* frame = v.get<CGRect>();
                if (!isFiniteValue(frame))
                    return false;
                auto [position, size] = l.geometryForFrame(*frame);
                l.m_properties.position = position;
                l.storeBounds(CGRectMake(l.m_properties.bounds.origin.x, l.m_properties.bounds.origin.y, size.width, size.height));
                return true;
            } },
    };
    return find(table, key);
}

void CALayer::storeBounds(CGRect bounds)
{
    bool resized = bounds.size != m_properties.bounds.size;
    m_properties.bounds = bounds;
    if (resized) {
        setNeedsLayout();
        if (m_properties.needsDisplayOnBoundsChange)
            setNeedsDisplay();
    }
}

std::optional<CAPropertyValue> CALayer::modelValueForKey(std::string_view key) const
{
    if (auto* property = propertyForKey(key))
        return property->read(*this);
    return std::nullopt;
}

bool CALayer::storeValueForKey(std::string_view key, const CAPropertyValue& value)
{
    auto* property = propertyForKey(key);
    return property && property->store(*this, value);
}

bool CALayer::isAnimatableKey(std::string_view key) const
{
    auto* property = propertyForKey(key);
    return property && property->animatable;
}

CAPropertyValue CALayer::valueForKey(std::string_view key) const
{
    return modelValueForKey(key).value_or(CAPropertyValue());
}

bool CALayer::setValueForKey(const CAPropertyValue& value, std::string_view key)
{
    // The frame is derived: it goes through setFrame, which changes position and bounds with their actions.
    if (key == "frame") {
        auto* frame = value.get<CGRect>();
        if (!isFiniteValue(frame))
            return false;
        setFrame(*frame);
        return true;
    }
    return changeValue(key, value);
}

CAPropertyValue CALayer::valueForKeyPath(std::string_view keyPath) const
{
    auto [key, field] = splitKeyPath(keyPath);
    auto value = modelValueForKey(key);
    if (!value)
        return {};
    return value->valueForField(field).value_or(CAPropertyValue());
}

bool CALayer::setValueForKeyPath(const CAPropertyValue& value, std::string_view keyPath)
{
    auto [key, field] = splitKeyPath(keyPath);
    if (field.empty())
        return setValueForKey(value, key);
    auto whole = modelValueForKey(key);
    if (!whole)
        return false;
    auto changed = whole->settingField(field, value);
    return changed && setValueForKey(*changed, key);
}

// MARK: - Actions

bool CALayer::changeValue(std::string_view key, const CAPropertyValue& value)
{
    auto* property = propertyForKey(key);
    if (!property)
        return false;
    if (property->read(*this).isEqual(value))
        return true;
    CAActionRef action = willChangeValueForKey(key);
    if (!property->store(*this, value))
        return false;
    CATransaction::noteLayerChange();
    didChangeValueForKey(key, action);
    return true;
}

bool CALayer::hasBeenCommitted() const
{
    return CATransaction::commitCount() > m_createdBeforeCommit;
}

CAActionRef CALayer::willChangeValueForKey(std::string_view key)
{
    if (CATransaction::disableActions())
        return nullptr;
    return actionForKey(key);
}

void CALayer::didChangeValueForKey(std::string_view key, const CAActionRef& action)
{
    if (action)
        action->runActionForKey(key, *this);
}

CAActionRef CALayer::actionForKey(std::string_view key)
{
    if (auto delegate = m_delegate.lock()) {
        auto answer = delegate->actionForLayerForKey(*this, key);
        switch (answer.kind()) {
        case CALayerDelegate::Action::Kind::None: return nullptr;
        case CALayerDelegate::Action::Kind::Run: return answer.action();
        case CALayerDelegate::Action::Kind::UseDefault: break;
        }
    }
    // What the delegate asks for runs on a layer new this turn (a view animated as it is
    // added); the layer's own implicit actions wait until it has been on screen.
    if (!hasBeenCommitted())
        return nullptr;
    if (auto found = m_actions.find(key); found != m_actions.end())
        return found->second;
    return defaultActionForKey(key);
}

CAActionRef CALayer::defaultActionForKey(std::string_view key)
{
    if (!isAnimatableKey(key))
        return nullptr;
    auto animation = CABasicAnimation::animationWithKeyPath(std::string(key));
    CAPropertyValue from = presentationValue(key, nullptr);
    // A nil colour fades from transparent; left nil it would mean "the model value" and not animate.
    if (from.isNil() && key.ends_with("Color"))
        from = CAPropertyValue(CGColorCreate(CGColorSpaceCreateDeviceGray(), { 0, 0 }));
    animation->setFromValue(std::move(from));
    auto timing = CATransaction::animationTimingFunction();
    animation->setTimingFunction(timing ? timing : CAMediaTimingFunction::functionWithName(kCAMediaTimingFunctionDefault));
    return animation;
}

// MARK: - Animations

// The animation lets go of its delegate as it tells it, which ends the cycle of a
// delegate that owns the layer the animation runs on; then the transactions it
// was added in learn that it has ended.
void CALayer::animationDidStop(CAAnimation& animation, bool finished)
{
    if (auto delegate = animation.delegate()) {
        animation.setDelegate(nullptr);
        delegate->animationDidStop(animation, finished);
    }
    if (auto claim = std::move(animation.m_completionClaim))
        claim->settle(finished);
}


void CALayer::addAnimation(const CAAnimationRef& animation, std::string_view key)
{
    if (!animation)
        return;
    CAAnimationRef copy = animation->copy();
    if (copy->duration() == 0)
        copy->setDuration(CATransaction::animationDuration());
    if (copy->duration() == 0) {
        // Over before it starts: the model value shows at once.
        animationDidStop(*copy, true);
        return;
    }
    if (copy->beginTime() == 0)
        copy->setBeginTime(CACurrentMediaTime());
    if (!key.empty())
        removeAnimationForKey(key);
    copy->m_completionClaim = CATransactionCompletionClaim::claimOpenTransactions();
    m_animations.emplace_back(std::string(key), copy);
    CATransaction::noteLayerChange();
    CAAnimationClock::shared().registerLayer(std::static_pointer_cast<CALayer>(shared_from_this()));
    if (auto delegate = copy->delegate())
        delegate->animationDidStart(*copy);
}

CAAnimationRef CALayer::animationForKey(std::string_view key) const
{
    if (key.empty())
        return nullptr;
    for (const auto& [name, animation] : m_animations) {
        if (name == key)
            return animation;
    }
    return nullptr;
}

std::vector<std::string> CALayer::animationKeys() const
{
    std::vector<std::string> keys;
    for (const auto& [name, animation] : m_animations) {
        if (!name.empty())
            keys.push_back(name);
    }
    return keys;
}

void CALayer::removeAnimationForKey(std::string_view key)
{
    if (key.empty())
        return;
    auto found = std::find_if(m_animations.begin(), m_animations.end(), [key](const auto& entry) { return entry.first == key; });
    if (found == m_animations.end())
        return;
    CAAnimationRef removed = found->second;
    m_animations.erase(found);
    CATransaction::noteLayerChange();
    animationDidStop(*removed, false);
}

void CALayer::removeAllAnimations()
{
    auto removed = std::exchange(m_animations, {});
    if (!removed.empty())
        CATransaction::noteLayerChange();
    for (auto& [name, animation] : removed)
        animationDidStop(*animation, false);
}

void CALayer::retireFinishedAnimations(CFTimeInterval time)
{
    std::vector<CAAnimationRef> ended;
    std::erase_if(m_animations, [&](const auto& entry) {
        if (!entry.second->isRemovedOnCompletion() || !entry.second->hasEndedAtTime(time))
            return false;
        ended.push_back(entry.second);
        return true;
    });
    // The layer shows its model values where the animation was: a frame would differ.
    if (!ended.empty())
        CATransaction::noteLayerChange();
    // Told after the list is settled: a delegate may add animations of its own.
    for (auto& animation : ended)
        animationDidStop(*animation, true);
}

// MARK: - Presentation

CAPropertyValue CALayer::presentationValue(std::string_view key, Transition* transition) const
{
    auto model = modelValueForKey(key);
    if (!model)
        return {};
    CAPropertyValue value = *model;
    CFTimeInterval now = CACurrentMediaTime();
    for (const auto& [name, animation] : m_animations) {
        auto* property = dynamic_cast<const CAPropertyAnimation*>(animation.get());
        if (!property)
            continue;
        auto [animatedKey, field] = splitKeyPath(property->keyPath());
        if (animatedKey != key)
            continue;
        auto progress = animation->progressAtTime(now);
        if (!progress)
            continue;
        auto underlying = value.valueForField(field);
        if (!underlying)
            continue;
        auto segment = property->segmentAtProgress(*progress, *underlying);
        CAPropertyValue mixed;
        if (field.empty() && key == "hidden") {
            // Showing or hiding fades, as the platform's implicit action for hidden does: the layer
            // stays drawn, more or less transparent, until it has faded out entirely.
            double fromVisible = segment.from.boolValue() ? 0 : 1;
            double toVisible = segment.to.boolValue() ? 0 : 1;
            double visibility = std::clamp(fromVisible + (toVisible - fromVisible) * segment.fraction, 0.0, 1.0);
            if (transition)
                transition->visibility = visibility;
            mixed = CAPropertyValue(visibility <= 0);
        } else if (field.empty() && key == "contents" && !segment.from.isEqual(segment.to)) {
            // New contents dissolve over the old.
            if (transition) {
                auto* previous = segment.from.get<CGImageRef>();
                transition->previousContents = previous ? *previous : nullptr;
                transition->contentsFraction = std::clamp(segment.fraction, 0.0, 1.0);
            }
            mixed = segment.to;
        } else {
            mixed = CAPropertyValueInterpolate(segment.from, segment.to, segment.fraction);
        }
        if (auto next = value.settingField(field, mixed))
            value = std::move(*next);
    }
    return value;
}

CAPropertyValue CALayer::presentationValueForKeyPath(std::string_view keyPath) const
{
    auto [key, field] = splitKeyPath(keyPath);
    return presentationValue(key, nullptr).valueForField(field).value_or(CAPropertyValue());
}

CALayerRef CALayer::copyForPresentation() const
{
    auto copy = objc::alloc<CALayer>();
    copy->copyLayerValuesFrom(*this);
    return copy;
}

void CALayer::copyLayerValuesFrom(const CALayer& other)
{
    m_properties = other.m_properties;
    m_name = other.m_name;
}

CALayerRef CALayer::presentationLayer() const
{
    auto copy = copyForPresentation();
    copy->m_modelLayer = std::static_pointer_cast<const CALayer>(shared_from_this());
    std::vector<std::string_view> keys;
    for (const auto& [name, animation] : m_animations) {
        if (auto* property = dynamic_cast<const CAPropertyAnimation*>(animation.get())) {
            auto key = splitKeyPath(property->keyPath()).first;
            if (std::find(keys.begin(), keys.end(), key) == keys.end())
                keys.push_back(key);
        }
    }
    for (auto key : keys) {
        CAPropertyValue value = presentationValue(key, &copy->m_transition);
        (void)copy->storeValueForKey(key, value);
    }
    return copy;
}

CALayerRef CALayer::modelLayer() const
{
    if (auto model = m_modelLayer.lock())
        return std::const_pointer_cast<CALayer>(model);
    return std::static_pointer_cast<CALayer>(std::const_pointer_cast<objc_object>(shared_from_this()));
}

// MARK: - Drawing

void CALayer::renderInContext(const CGContextRef& context)
{
    layoutIfNeeded();
    displayIfNeededInTree();
    CARenderer::render(*this, context, CALayerTree::Model);
}

void CALayer::displayIfNeededInTree()
{
    displayIfNeeded();
    // Display may change the list (a delegate adding a sublayer): walk a copy.
    auto sublayers = m_sublayers;
    for (auto& sublayer : sublayers)
        sublayer->displayIfNeededInTree();
}

