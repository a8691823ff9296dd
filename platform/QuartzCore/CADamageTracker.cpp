#include "QuartzCore/CADamageTracker.h"

#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CALayer.h"
#include "QuartzCore/CAShapeLayer.h"
#include "QuartzCore/cairo/CALayerPainter.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"

#include <algorithm>
#include <cmath>

namespace {

using Rect = CADamageTracker::Rect;

Rect intersection(const Rect& a, const Rect& b)
{
    int left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    int right = std::min(a.x + a.width, b.x + b.width), bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top)
        return {};
    return { left, top, right - left, bottom - top };
}

bool operator==(const Rect& a, const Rect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

bool operator==(const cairo_matrix_t& a, const cairo_matrix_t& b)
{
    return a.xx == b.xx && a.yx == b.yx && a.xy == b.xy && a.yy == b.yy && a.x0 == b.x0 && a.y0 == b.y0;
}

bool isUsable(const cairo_matrix_t& m)
{
    double determinant = m.xx * m.yy - m.xy * m.yx;
    for (double part : { m.xx, m.yx, m.xy, m.yy, m.x0, m.y0, determinant }) {
        if (!std::isfinite(part))
            return false;
    }
    return std::abs(determinant) >= 1e-12;
}

// The device pixels a rectangle of user space can touch, with a pixel around for antialiasing.
Rect deviceBox(CGRect rect, const cairo_matrix_t& toDevice)
{
    rect = CGRectStandardize(rect);
    if (CGRectIsNull(rect) || !std::isfinite(rect.origin.x) || !std::isfinite(rect.origin.y) || !std::isfinite(rect.size.width)
        || !std::isfinite(rect.size.height))
        return {};
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (double x : { static_cast<double>(rect.origin.x), static_cast<double>(CGRectGetMaxX(rect)) }) {
        for (double y : { static_cast<double>(rect.origin.y), static_cast<double>(CGRectGetMaxY(rect)) }) {
            double dx = x, dy = y;
            cairo_matrix_transform_point(&toDevice, &dx, &dy);
            minX = std::min(minX, dx);
            minY = std::min(minY, dy);
            maxX = std::max(maxX, dx);
            maxY = std::max(maxY, dy);
        }
    }
    if (!(minX <= maxX) || !(minY <= maxY))
        return {};
    auto pixel = [](double v, bool up) {
        constexpr double limit = 1 << 24;
        v = std::clamp(v, -limit, limit);
        return static_cast<int>(up ? std::ceil(v) : std::floor(v));
    };
    int left = pixel(minX, false) - 1, top = pixel(minY, false) - 1;
    int right = pixel(maxX, true) + 1, bottom = pixel(maxY, true) + 1;
    return { left, top, right - left, bottom - top };
}

// Whether the rectangle lands on whole device pixels, its sides along the grid.
bool isOnPixelGrid(CGRect rect, const cairo_matrix_t& toDevice)
{
    if (toDevice.xy != 0 || toDevice.yx != 0)
        return false;
    double x0 = rect.origin.x, y0 = rect.origin.y, x1 = CGRectGetMaxX(rect), y1 = CGRectGetMaxY(rect);
    cairo_matrix_transform_point(&toDevice, &x0, &y0);
    cairo_matrix_transform_point(&toDevice, &x1, &y1);
    for (double v : { x0, y0, x1, y1 }) {
        if (!std::isfinite(v) || std::floor(v) != v)
            return false;
    }
    return true;
}

bool contains(const Rect& outer, const Rect& inner)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width
        && inner.y + inner.height <= outer.y + outer.height;
}

Rect unionOf(const Rect& a, const Rect& b)
{
    int left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    int right = std::max(a.x + a.width, b.x + b.width), bottom = std::max(a.y + a.height, b.y + b.height);
    return { left, top, right - left, bottom - top };
}

template <typename T>
std::pair<typename std::shared_ptr<const T>::weak_type, const void*> identity(const std::shared_ptr<const T>& object)
{
    return { object, object.get() };
}

template <typename T>
bool sameObject(const std::weak_ptr<const T>& link, const void* id, const std::weak_ptr<const T>& otherLink, const void* otherId)
{
    if (id != otherId)
        return false;
    return !id || (!link.expired() && !otherLink.expired());
}

}

void CADamageTracker::beginFrame(int width, int height)
{
    if (width != m_width || height != m_height) {
        m_width = width;
        m_height = height;
        m_everything = true;
    }
    ++m_frame;
    m_damage.clear();
}

void CADamageTracker::addTree(const CALayer& root, const cairo_matrix_t& rootToDevice)
{
    addLayer(root, rootToDevice, false, Rect { 0, 0, m_width, m_height }, nullptr, nullptr, false);
}

void CADamageTracker::damage(const Rect& rect)
{
    if (rect.width > 0 && rect.height > 0)
        m_damage.push_back(rect);
}

void CADamageTracker::addLayer(const CALayer& model, const cairo_matrix_t& superlayerToDevice, bool placeInSuperlayer, const Rect& clip,
    const CALayer* superlayer, const CALayer* drawnBefore, bool throughChanged)
{
    CALayerRef presentation;
    const CALayer& shown = CARenderer::shownLayer(model, CALayerTree::Presentation, presentation);
    double opacity = CARenderer::drawnOpacity(shown);
    // Not drawn: its record and its subtree's are left to lapse, which damages where they were.
    if (!(opacity > 0))
        return;
    cairo_matrix_t toDevice = superlayerToDevice;
    if (placeInSuperlayer) {
        cairo_matrix_t placement = CARenderer::placement(shown);
        cairo_matrix_multiply(&toDevice, &placement, &superlayerToDevice);
        if (!isUsable(toDevice))
            return;
    }
    const CALayer::Properties& p = shown.m_properties;
    CGRect bounds = CGRectStandardize(p.bounds);
    CGRect extent = CALayerPainter::drawnExtent(shown);
    if (p.masksToBounds)
        extent = CGRectIntersection(extent, bounds);
    Rect box = intersection(deviceBox(extent, toDevice), clip);
    Appearance appearance = appearanceOf(shown, opacity);

    auto [entry, added] = m_records.try_emplace(&model);
    Record& record = entry->second;
    bool known = !added && record.frame + 1 == m_frame && !record.layer.expired();
    bool moved = !known || record.superlayer != superlayer || record.drawnBefore != drawnBefore;
    // What the sublayers draw through: this layer's group opacity and its mask.
    bool through = throughChanged || moved || record.appearance.opacity != opacity || record.appearance.masksToBounds != p.masksToBounds
        || (p.masksToBounds && (record.appearance.bounds != bounds || record.appearance.cornerRadius != p.cornerRadius));
    bool changed = through || !(record.toDevice == toDevice) || !(record.clip == clip) || !sameAppearance(record.appearance, appearance);
    if (changed) {
        if (!added)
            damage(record.box);
        damage(box);
    }
    record.layer = std::static_pointer_cast<const CALayer>(model.shared_from_this());
    record.superlayer = superlayer;
    record.drawnBefore = drawnBefore;
    record.toDevice = toDevice;
    record.clip = clip;
    record.box = box;
    bool rounded = CairoLayerDrawing::effectiveCornerRadius(p.cornerRadius, bounds) > 0
        && (p.backgroundColor || p.masksToBounds || (p.borderWidth > 0 && p.borderColor));
    record.redrawnWhole = !isOnPixelGrid(extent, toDevice) || rounded || dynamic_cast<const CAShapeLayer*>(&shown);
    record.appearance = std::move(appearance);
    record.frame = m_frame;

    Rect sublayerClip = p.masksToBounds ? intersection(clip, deviceBox(bounds, toDevice)) : clip;
    const CALayer* before = nullptr;
    for (const CALayer* sublayer : CARenderer::sublayersInDrawingOrder(model)) {
        addLayer(*sublayer, toDevice, true, sublayerClip, &model, before, through);
        before = sublayer;
    }
}

std::vector<CADamageTracker::Rect> CADamageTracker::endFrame()
{
    // Layers not drawn this frame: gone, hidden, or under a layer that is.
    std::erase_if(m_records, [this](auto& entry) {
        if (entry.second.frame == m_frame)
            return false;
        damage(entry.second.box);
        return true;
    });
    Rect frame { 0, 0, m_width, m_height };
    if (std::exchange(m_everything, false)) {
        m_damage.clear();
        if (m_width > 0 && m_height > 0)
            return { frame };
        return {};
    }
    cairo_region_t* region = cairo_region_create_rectangles(m_damage.data(), static_cast<int>(m_damage.size()));
    cairo_region_intersect_rectangle(region, &frame);
    std::vector<Rect> rects(static_cast<size_t>(std::max(0, cairo_region_num_rectangles(region))));
    for (size_t i = 0; i < rects.size(); ++i)
        cairo_region_get_rectangle(region, static_cast<int>(i), &rects[i]);
    cairo_region_destroy(region);
    m_damage.clear();
    return rects;
}

std::vector<CADamageTracker::Rect> CADamageTracker::enclosingEdges(std::vector<Rect> rects) const
{
    Rect frame { 0, 0, m_width, m_height };
    auto grow = [&](Rect& rect) {
        for (bool grew = true; grew;) {
            grew = false;
            for (const auto& [layer, record] : m_records) {
                if (!record.redrawnWhole || contains(rect, record.box) || intersection(rect, record.box).width <= 0)
                    continue;
                rect = intersection(unionOf(rect, record.box), frame);
                grew = true;
            }
        }
    };
    for (Rect& rect : rects)
        grow(rect);
    // Rectangles that overlap become one, so no part is redrawn twice.
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < rects.size() && !merged; ++i) {
            for (size_t j = i + 1; j < rects.size() && !merged; ++j) {
                if (intersection(rects[i], rects[j]).width <= 0)
                    continue;
                rects[i] = unionOf(rects[i], rects[j]);
                rects.erase(rects.begin() + static_cast<std::ptrdiff_t>(j));
                grow(rects[i]);
                merged = true;
            }
        }
    }
    std::erase_if(rects, [](const Rect& rect) { return rect.width <= 0 || rect.height <= 0; });
    return rects;
}

CADamageTracker::Appearance CADamageTracker::appearanceOf(const CALayer& shown, double opacity)
{
    const CALayer::Properties& p = shown.m_properties;
    Appearance a;
    a.bounds = CGRectStandardize(p.bounds);
    a.opacity = opacity;
    std::tie(a.background, a.backgroundId) = identity(p.backgroundColor);
    std::tie(a.contents, a.contentsId) = identity(p.contents);
    std::tie(a.previousContents, a.previousContentsId) = identity(shown.m_transition.previousContents);
    a.contentsFraction = shown.m_transition.contentsFraction;
    a.gravity = p.contentsGravity;
    a.contentsScale = p.contentsScale;
    a.cornerRadius = p.cornerRadius;
    a.borderWidth = p.borderWidth;
    std::tie(a.border, a.borderId) = identity(p.borderColor);
    a.masksToBounds = p.masksToBounds;
    if (auto* gradient = dynamic_cast<const CAGradientLayer*>(&shown)) {
        for (const auto& color : gradient->colors())
            a.colors.push_back(identity(color));
        a.locations = gradient->locations();
        a.startPoint = gradient->startPoint();
        a.endPoint = gradient->endPoint();
    } else if (auto* shape = dynamic_cast<const CAShapeLayer*>(&shown)) {
        std::tie(a.path, a.pathId) = identity(shape->path());
        std::tie(a.fill, a.fillId) = identity(shape->fillColor());
        std::tie(a.stroke, a.strokeId) = identity(shape->strokeColor());
        a.lineWidth = shape->lineWidth();
        a.fillRule = shape->fillRule();
    }
    return a;
}

bool CADamageTracker::sameAppearance(const Appearance& a, const Appearance& b)
{
    if (a.bounds != b.bounds || a.opacity != b.opacity || a.contentsFraction != b.contentsFraction || a.gravity != b.gravity
        || a.contentsScale != b.contentsScale || a.cornerRadius != b.cornerRadius || a.borderWidth != b.borderWidth
        || a.masksToBounds != b.masksToBounds || a.locations != b.locations || a.startPoint != b.startPoint || a.endPoint != b.endPoint
        || a.lineWidth != b.lineWidth || a.fillRule != b.fillRule || a.colors.size() != b.colors.size())
        return false;
    if (!sameObject(a.background, a.backgroundId, b.background, b.backgroundId) || !sameObject(a.contents, a.contentsId, b.contents, b.contentsId)
        || !sameObject(a.previousContents, a.previousContentsId, b.previousContents, b.previousContentsId)
        || !sameObject(a.border, a.borderId, b.border, b.borderId) || !sameObject(a.path, a.pathId, b.path, b.pathId)
        || !sameObject(a.fill, a.fillId, b.fill, b.fillId) || !sameObject(a.stroke, a.strokeId, b.stroke, b.strokeId))
        return false;
    for (size_t i = 0; i < a.colors.size(); ++i) {
        if (!sameObject(a.colors[i].first, a.colors[i].second, b.colors[i].first, b.colors[i].second))
            return false;
    }
    return true;
}
