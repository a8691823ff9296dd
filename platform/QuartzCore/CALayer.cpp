#include "QuartzCore/CALayer.h"

#include "QuartzCore/CAAnimationClock.h"
#include "QuartzCore/CABasicAnimation.h"
#include "QuartzCore/CARenderer.h"
#include "QuartzCore/CATransaction.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"
#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
#include <cmath>

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

std::optional<CGFloat> numberOf(const CAPropertyValue& value)
{
    if (value.get<double>() || value.get<bool>())
        return static_cast<CGFloat>(value.doubleValue());
    return std::nullopt;
}

std::optional<bool> booleanOf(const CAPropertyValue& value)
{
    if (value.get<double>() || value.get<bool>())
        return value.boolValue();
    return std::nullopt;
}

// Colour, image and path properties take nil or their own kind.
template<class Ref>
bool storeObject(Ref& member, const CAPropertyValue& value)
{
    if (value.isNil()) {
        member = nullptr;
        return true;
    }
    if (auto* object = value.get<Ref>()) {
        member = *object;
        return true;
    }
    return false;
}

// The animation lets go of its delegate as it tells it, which ends the cycle of a
// delegate that owns the layer the animation runs on.
void tellAnimationDidStop(CAAnimation& animation, bool finished)
{
    if (auto delegate = animation.delegate()) {
        animation.setDelegate(nullptr);
        delegate->animationDidStop(animation, finished);
    }
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

void CALayer::setFrame(CGRect frame)
{
    if (!isFinite(frame))
        return;
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
    setPosition(CGPointMake(frame.origin.x - box.origin.x, frame.origin.y - box.origin.y));
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

void CALayer::displayIfNeeded()
{
    if (!m_needsDisplay)
        return;
    m_needsDisplay = false;
    display();
}

void CALayer::display()
{
    CGRect bounds = CGRectStandardize(m_properties.bounds);
    CGFloat scale = m_properties.contentsScale;
    double width = std::ceil(static_cast<double>(bounds.size.width) * scale);
    double height = std::ceil(static_cast<double>(bounds.size.height) * scale);
    CGContextRef context;
    if (width >= 1 && height >= 1 && width <= 32767 && height <= 32767)
        context = CGBitmapContextCreate(static_cast<size_t>(width), static_cast<size_t>(height));
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
    drawInContext(context);
    storeValueForKey("contents", CAPropertyValue(CGBitmapContextCreateImage(context)));
}

void CALayer::drawInContext(const CGContextRef& context)
{
    if (auto delegate = m_delegate.lock())
        delegate->drawLayerInContext(*this, context);
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

std::optional<CAPropertyValue> CALayer::modelValueForKey(std::string_view key) const
{
    const Properties& p = m_properties;
    if (key == "bounds")
        return CAPropertyValue(p.bounds);
    if (key == "position")
        return CAPropertyValue(p.position);
    if (key == "anchorPoint")
        return CAPropertyValue(p.anchorPoint);
    if (key == "zPosition")
        return CAPropertyValue(p.zPosition);
    if (key == "transform")
        return CAPropertyValue(p.transform);
    if (key == "opacity")
        return CAPropertyValue(p.opacity);
    if (key == "hidden")
        return CAPropertyValue(p.hidden);
    if (key == "contents")
        return CAPropertyValue(p.contents);
    if (key == "contentsGravity")
        return CAPropertyValue(static_cast<double>(p.contentsGravity));
    if (key == "contentsScale")
        return CAPropertyValue(p.contentsScale);
    if (key == "backgroundColor")
        return CAPropertyValue(p.backgroundColor);
    if (key == "cornerRadius")
        return CAPropertyValue(p.cornerRadius);
    if (key == "borderWidth")
        return CAPropertyValue(p.borderWidth);
    if (key == "borderColor")
        return CAPropertyValue(p.borderColor);
    if (key == "masksToBounds")
        return CAPropertyValue(p.masksToBounds);
    if (key == "frame")
        return CAPropertyValue(frame());
    return std::nullopt;
}

bool CALayer::storeValueForKey(std::string_view key, const CAPropertyValue& value)
{
    Properties& p = m_properties;
    if (key == "bounds") {
        auto* bounds = value.get<CGRect>();
        if (!bounds || !isFinite(*bounds))
            return false;
        bool resized = bounds->size != p.bounds.size;
        p.bounds = *bounds;
        if (resized) {
            setNeedsLayout();
            if (p.needsDisplayOnBoundsChange)
                setNeedsDisplay();
        }
        return true;
    }
    if (key == "position" || key == "anchorPoint") {
        auto* point = value.get<CGPoint>();
        if (!point || !isFinite(*point))
            return false;
        (key == "position" ? p.position : p.anchorPoint) = *point;
        return true;
    }
    if (key == "transform") {
        auto* transform = value.get<CATransform3D>();
        if (!transform || !CATransform3DIsFinite(*transform))
            return false;
        p.transform = *transform;
        return true;
    }
    if (key == "hidden" || key == "masksToBounds") {
        auto flag = booleanOf(value);
        if (!flag)
            return false;
        (key == "hidden" ? p.hidden : p.masksToBounds) = *flag;
        return true;
    }
    if (key == "contents")
        return storeObject(p.contents, value);
    if (key == "backgroundColor")
        return storeObject(p.backgroundColor, value);
    if (key == "borderColor")
        return storeObject(p.borderColor, value);
    if (key == "frame") {
        auto* rect = value.get<CGRect>();
        if (!rect || !isFinite(*rect))
            return false;
        setFrame(*rect);
        return true;
    }
    auto number = numberOf(value);
    if (!number || std::isnan(*number))
        return false;
    if (key == "opacity")
        p.opacity = static_cast<float>(*number);
    else if (key == "zPosition" && isFinite(*number))
        p.zPosition = *number;
    else if (key == "contentsScale" && isFinite(*number) && *number > 0)
        p.contentsScale = *number;
    else if (key == "cornerRadius" && isFinite(*number))
        p.cornerRadius = *number;
    else if (key == "borderWidth" && isFinite(*number))
        p.borderWidth = *number;
    else if (key == "contentsGravity" && *number >= static_cast<CGFloat>(kCAGravityCenter)
        && *number <= static_cast<CGFloat>(kCAGravityResizeAspectFill))
        p.contentsGravity = static_cast<CALayerContentsGravity>(static_cast<int>(*number));
    else
        return false;
    return true;
}

CAPropertyValue CALayer::valueForKey(std::string_view key) const
{
    return modelValueForKey(key).value_or(CAPropertyValue());
}

bool CALayer::setValueForKey(const CAPropertyValue& value, std::string_view key)
{
    // The frame is derived: it goes through setFrame, which changes position and bounds.
    if (key == "frame")
        return storeValueForKey(key, value);
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

bool CALayer::isAnimatableKey(std::string_view key) const
{
    static constexpr std::string_view keys[] = { "bounds", "position", "anchorPoint", "zPosition", "transform", "opacity", "hidden",
        "contents", "backgroundColor", "cornerRadius", "borderWidth", "borderColor", "masksToBounds" };
    return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

// MARK: - Actions

bool CALayer::changeValue(std::string_view key, const CAPropertyValue& value)
{
    auto old = modelValueForKey(key);
    if (!old)
        return false;
    if (old->isEqual(value))
        return true;
    CAActionRef action = willChangeValueForKey(key);
    if (!storeValueForKey(key, value))
        return false;
    didChangeValueForKey(key, action);
    return true;
}

bool CALayer::hasBeenCommitted() const
{
    return CATransaction::commitCount() > m_createdBeforeCommit;
}

CAActionRef CALayer::willChangeValueForKey(std::string_view key)
{
    if (CATransaction::disableActions() || !hasBeenCommitted())
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

void CALayer::addAnimation(const CAAnimationRef& animation, std::string_view key)
{
    if (!animation)
        return;
    CAAnimationRef copy = animation->copy();
    if (copy->duration() == 0)
        copy->setDuration(CATransaction::animationDuration());
    if (copy->duration() == 0) {
        // Over before it starts: the model value shows at once.
        tellAnimationDidStop(*copy, true);
        return;
    }
    if (copy->beginTime() == 0)
        copy->setBeginTime(CACurrentMediaTime());
    if (!key.empty())
        removeAnimationForKey(key);
    m_animations.emplace_back(std::string(key), copy);
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
    tellAnimationDidStop(*removed, false);
}

void CALayer::removeAllAnimations()
{
    auto removed = std::exchange(m_animations, {});
    for (auto& [name, animation] : removed)
        tellAnimationDidStop(*animation, false);
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
    // Told after the list is settled: a delegate may add animations of its own.
    for (auto& animation : ended)
        tellAnimationDidStop(*animation, true);
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
    CARenderer::render(*this, context, CALayerTree::Model);
}

void CALayer::renderContents(const CGContextRef& context) const
{
    cairo_t* cr = CGContextGetCairo(context);
    const CGImageRef& image = m_properties.contents;
    const CGImageRef& previous = m_transition.previousContents;
    double fraction = m_transition.contentsFraction;
    if (!cr || (!image && !previous))
        return;
    auto rectFor = [this](const CGImage& picture) {
        CGRect bounds = CGRectStandardize(m_properties.bounds);
        CGFloat scale = m_properties.contentsScale;
        CGSize size = CGSizeMake(static_cast<CGFloat>(picture.width()) / scale, static_cast<CGFloat>(picture.height()) / scale);
        CGFloat w = size.width, h = size.height;
        switch (m_properties.contentsGravity) {
        case kCAGravityResize: return bounds;
        case kCAGravityResizeAspect:
        case kCAGravityResizeAspectFill: {
            CGFloat sx = bounds.size.width / w, sy = bounds.size.height / h;
            CGFloat s = m_properties.contentsGravity == kCAGravityResizeAspect ? std::min(sx, sy) : std::max(sx, sy);
            w *= s;
            h *= s;
            break;
        }
        default: break;
        }
        CGFloat x = bounds.origin.x + (bounds.size.width - w) / 2;
        CGFloat y = bounds.origin.y + (bounds.size.height - h) / 2;
        switch (m_properties.contentsGravity) {
        case kCAGravityTop: y = bounds.origin.y; break;
        case kCAGravityBottom: y = CGRectGetMaxY(bounds) - h; break;
        case kCAGravityLeft: x = bounds.origin.x; break;
        case kCAGravityRight: x = CGRectGetMaxX(bounds) - w; break;
        case kCAGravityTopLeft: x = bounds.origin.x; y = bounds.origin.y; break;
        case kCAGravityTopRight: x = CGRectGetMaxX(bounds) - w; y = bounds.origin.y; break;
        case kCAGravityBottomLeft: x = bounds.origin.x; y = CGRectGetMaxY(bounds) - h; break;
        case kCAGravityBottomRight: x = CGRectGetMaxX(bounds) - w; y = CGRectGetMaxY(bounds) - h; break;
        default: break;
        }
        return CGRectMake(x, y, w, h);
    };
    auto paint = [&](const CGImageRef& picture, double alpha) {
        if (!picture || alpha <= 0)
            return;
        CGRect rect = rectFor(*picture);
        if (!isFinite(rect) || !(rect.size.width > 0) || !(rect.size.height > 0))
            return;
        cairo_surface_t* surface = CGImageCreateCairoSurface(picture);
        if (!surface)
            return;
        cairo_save(cr);
        CairoLayerDrawing::addRoundedRect(cr, rect, 0);
        cairo_clip(cr);
        cairo_matrix_t placement;
        cairo_matrix_init(&placement, rect.size.width / static_cast<double>(picture->width()), 0, 0,
            rect.size.height / static_cast<double>(picture->height()), rect.origin.x, rect.origin.y);
        if (CairoLayerDrawing::transformIfInvertible(cr, placement)) {
            cairo_set_source_surface(cr, surface, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
            cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
            cairo_paint_with_alpha(cr, alpha);
        }
        cairo_restore(cr);
        cairo_surface_destroy(surface);
    };
    if (!previous || fraction >= 1) {
        paint(image, 1);
        return;
    }
    // A dissolve: the two weighted and added, then composited once.
    cairo_push_group(cr);
    paint(previous, 1 - fraction);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    paint(image, fraction);
    cairo_pop_group_to_source(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    cairo_paint(cr);
}
