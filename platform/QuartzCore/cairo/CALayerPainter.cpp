#include "QuartzCore/cairo/CALayerPainter.h"

#include "CoreGraphics/cairo/CairoContext.h"
#include "QuartzCore/CAGradientLayer.h"
#include "QuartzCore/CAShapeLayer.h"
#include "QuartzCore/cairo/CairoLayerDrawing.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace {

bool isWhole(double value)
{
    return std::isfinite(value) && std::floor(value) == value;
}

bool isFinite(CGRect r)
{
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width) && std::isfinite(r.size.height);
}

}

void CALayerPainter::paintContents(const CALayer& layer, cairo_t* cr)
{
    if (!cr)
        return;
    paintContentsImage(layer, cr);
    if (auto* gradient = dynamic_cast<const CAGradientLayer*>(&layer))
        paintGradient(*gradient, cr);
    else if (auto* shape = dynamic_cast<const CAShapeLayer*>(&layer))
        paintShape(*shape, cr);
}

CGRect CALayerPainter::contentsRect(const CALayer& layer, const CGImage& picture)
{
    CGRect bounds = CGRectStandardize(layer.m_properties.bounds);
    CGFloat scale = layer.m_properties.contentsScale;
    CGSize size = CGSizeMake(static_cast<CGFloat>(picture.width()) / scale, static_cast<CGFloat>(picture.height()) / scale);
    CGFloat w = size.width, h = size.height;
    switch (layer.m_properties.contentsGravity) {
    case kCAGravityResize: return bounds;
    case kCAGravityResizeAspect:
    case kCAGravityResizeAspectFill: {
        CGFloat sx = bounds.size.width / w, sy = bounds.size.height / h;
        CGFloat s = layer.m_properties.contentsGravity == kCAGravityResizeAspect ? std::min(sx, sy) : std::max(sx, sy);
        w *= s;
        h *= s;
        break;
    }
    default: break;
    }
    CGFloat x = bounds.origin.x + (bounds.size.width - w) / 2;
    CGFloat y = bounds.origin.y + (bounds.size.height - h) / 2;
    switch (layer.m_properties.contentsGravity) {
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
}

CGRect CALayerPainter::drawnExtent(const CALayer& layer)
{
    CGRect extent = CGRectStandardize(layer.m_properties.bounds);
    for (const CGImageRef* picture : { &layer.m_properties.contents, &layer.m_transition.previousContents }) {
        if (*picture && layer.m_properties.contentsGravity != kCAGravityResize) {
            CGRect rect = contentsRect(layer, **picture);
            if (isFinite(rect))
                extent = CGRectUnion(extent, rect);
        }
    }
    if (auto* shape = dynamic_cast<const CAShapeLayer*>(&layer); shape && shape->path()) {
        CGRect box = CGRectNull;
        for (const auto& element : shape->path()->elements()) {
            for (const auto& point : element.points)
                box = CGRectUnion(box, CGRect { point, {} });
        }
        // A stroke reaches half its width out, and a mitred corner up to Cairo's miter limit (10) times that.
        CGFloat reach = shape->strokeColor() ? shape->lineWidth() * 5 + 1 : 1;
        if (!CGRectIsNull(box) && isFinite(box))
            extent = CGRectUnion(extent, CGRectInset(box, -reach, -reach));
    }
    return extent;
}

bool CALayerPainter::copiesPixels(cairo_t* cr, const CGImage& picture)
{
    // Over an opaque pixel, OVER leaves the source's pixel: a copy gives the same where every
    // image pixel lands on one whole device pixel and only whole-pixel rectangles clip it.
    if (cairo_get_operator(cr) != CAIRO_OPERATOR_OVER)
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    if (m.xx != 1 || m.yy != 1 || m.xy != 0 || m.yx != 0 || !isWhole(m.x0) || !isWhole(m.y0) || !picture.isOpaque())
        return false;
    cairo_rectangle_list_t* clip = cairo_copy_clip_rectangle_list(cr);
    bool aligned = clip->status == CAIRO_STATUS_SUCCESS;
    for (int i = 0; aligned && i < clip->num_rectangles; ++i) {
        const cairo_rectangle_t& r = clip->rectangles[i];
        aligned = isWhole(r.x) && isWhole(r.y) && isWhole(r.width) && isWhole(r.height);
    }
    cairo_rectangle_list_destroy(clip);
    return aligned;
}

void CALayerPainter::paintContentsImage(const CALayer& layer, cairo_t* cr)
{
    const CGImageRef& image = layer.m_properties.contents;
    const CGImageRef& previous = layer.m_transition.previousContents;
    double fraction = layer.m_transition.contentsFraction;
    if (!cr || (!image && !previous))
        return;
    auto paint = [&](const CGImageRef& picture, double alpha) {
        if (!picture || alpha <= 0)
            return;
        CGRect rect = contentsRect(layer, *picture);
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
            bool copy = alpha >= 1 && copiesPixels(cr, *picture);
            cairo_set_source_surface(cr, surface, 0, 0);
            cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
            cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
            if (copy) {
                cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
                cairo_paint(cr);
            } else {
                cairo_paint_with_alpha(cr, alpha);
            }
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

namespace {

// A gradient layer's pixels as drawn at a scale, with what they were drawn from.
struct DrawnGradient {
    std::vector<CGColorRef> colors;
    std::optional<std::vector<CGFloat>> locations;
    CGPoint startPoint {}, endPoint {};
    CGRect bounds {};
    CGFloat cornerRadius = 0;
    double scale = 0;
    cairo_surface_t* pixels = nullptr;

    DrawnGradient() = default;
    DrawnGradient(const DrawnGradient&) = delete;
    DrawnGradient& operator=(const DrawnGradient&) = delete;
    ~DrawnGradient()
    {
        if (pixels)
            cairo_surface_destroy(pixels);
    }

    [[nodiscard]] bool isDrawingOf(const CAGradientLayer& layer, CGRect layerBounds, double layerScale) const
    {
        if (scale != layerScale || bounds != layerBounds || cornerRadius != layer.cornerRadius() || startPoint != layer.startPoint()
            || endPoint != layer.endPoint() || locations != layer.locations() || colors.size() != layer.colors().size())
            return false;
        for (size_t i = 0; i < colors.size(); ++i) {
            if (colors[i] != layer.colors()[i] && !CGColorEqualToColor(colors[i], layer.colors()[i]))
                return false;
        }
        return true;
    }
};

}

void CALayerPainter::paintGradient(const CAGradientLayer& layer, cairo_t* cr)
{
    if (!cr || layer.colors().empty())
        return;
    if (!paintDrawnGradient(layer, cr))
        fillGradient(layer, cr);
}

bool CALayerPainter::paintDrawnGradient(const CAGradientLayer& layer, cairo_t* cr)
{
    // Only a model layer keeps its pixels (a presentation copy lasts one frame), and only where
    // they land pixel for pixel: a scale whose inverse is exact, whole device pixels, square
    // corners. There, filling a bitmap at a whole offset and copying it over gives the very
    // pixels of filling the target.
    if (layer.m_modelLayer.lock())
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    double scale = m.xx;
    CGRect bounds = CGRectStandardize(layer.bounds());
    if (m.xy != 0 || m.yx != 0 || m.yy != scale || !(scale == 1 || scale == 2 || scale == 4)
        || CairoLayerDrawing::effectiveCornerRadius(layer.cornerRadius(), bounds) > 0)
        return false;
    double left = scale * bounds.origin.x + m.x0, top = scale * bounds.origin.y + m.y0;
    double width = scale * bounds.size.width, height = scale * bounds.size.height;
    constexpr double largest = 4096;
    if (!isWhole(left) || !isWhole(top) || !isWhole(width) || !isWhole(height) || !(width >= 1) || !(height >= 1) || width > largest
        || height > largest)
        return false;
    auto drawn = std::static_pointer_cast<const DrawnGradient>(layer.m_drawnGradient);
    if (!drawn || !drawn->isDrawingOf(layer, bounds, scale)) {
        auto fresh = std::make_shared<DrawnGradient>();
        fresh->pixels = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
        if (cairo_surface_status(fresh->pixels) != CAIRO_STATUS_SUCCESS)
            return false;
        cairo_t* drawing = cairo_create(fresh->pixels);
        cairo_matrix_t toPixels;
        cairo_matrix_init(&toPixels, scale, 0, 0, scale, -scale * bounds.origin.x, -scale * bounds.origin.y);
        cairo_set_matrix(drawing, &toPixels);
        fillGradient(layer, drawing);
        cairo_destroy(drawing);
        cairo_surface_flush(fresh->pixels);
        fresh->colors = layer.colors();
        fresh->locations = layer.locations();
        fresh->startPoint = layer.startPoint();
        fresh->endPoint = layer.endPoint();
        fresh->bounds = bounds;
        fresh->cornerRadius = layer.cornerRadius();
        fresh->scale = scale;
        drawn = fresh;
        layer.m_drawnGradient = fresh;
    }
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, drawn->pixels, left, top);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, left, top, width, height);
    cairo_fill(cr);
    cairo_restore(cr);
    return true;
}

void CALayerPainter::fillGradient(const CAGradientLayer& layer, cairo_t* cr)
{
    CGRect bounds = CGRectStandardize(layer.bounds());
    double radius = CairoLayerDrawing::effectiveCornerRadius(layer.cornerRadius(), bounds);
    auto at = [&bounds](CGPoint unit) {
        return std::pair<double, double> { bounds.origin.x + static_cast<double>(unit.x) * bounds.size.width,
            bounds.origin.y + static_cast<double>(unit.y) * bounds.size.height };
    };
    auto [x0, y0] = at(layer.startPoint());
    auto [x1, y1] = at(layer.endPoint());
    if (x0 == x1 && y0 == y1) {
        // No axis to run along: the last colour covers everything, as past the end point.
        CairoLayerDrawing::addRoundedRect(cr, bounds, radius);
        CairoLayerDrawing::fillPath(cr, layer.colors().back(), bounds.origin);
        return;
    }
    bool useLocations = layer.locations() && layer.locations()->size() == layer.colors().size()
        && std::none_of(layer.locations()->begin(), layer.locations()->end(), [](CGFloat location) { return std::isnan(location); });
    cairo_pattern_t* gradient = cairo_pattern_create_linear(x0, y0, x1, y1);
    size_t count = layer.colors().size();
    for (size_t i = 0; i < count; ++i) {
        double offset = useLocations ? std::clamp(static_cast<double>((*layer.locations())[i]), 0.0, 1.0)
            : count == 1                 ? 0.0
                                         : static_cast<double>(i) / static_cast<double>(count - 1);
        auto rgba = layer.colors()[i] ? layer.colors()[i]->deviceRGBA() : std::array<double, 4> {};
        cairo_pattern_add_color_stop_rgba(gradient, offset, rgba[0], rgba[1], rgba[2], rgba[3]);
    }
    cairo_pattern_set_extend(gradient, CAIRO_EXTEND_PAD);
    cairo_save(cr);
    CairoLayerDrawing::addRoundedRect(cr, bounds, radius);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_pattern_destroy(gradient);
}

void CALayerPainter::paintShape(const CAShapeLayer& layer, cairo_t* cr)
{
    if (!cr || !layer.path() || layer.path()->isEmpty())
        return;
    CGPoint origin = CGRectStandardize(layer.bounds()).origin;
    // A path past the range Cairo can hold (see addRoundedRect) is not drawn.
    CGRect box = CGRectNull;
    for (const auto& element : layer.path()->elements()) {
        for (const auto& point : element.points)
            box = CGRectUnion(box, CGRect { point, {} });
    }
    if (!CairoLayerDrawing::isWithinDeviceRange(cr, box))
        return;
    if (layer.fillColor()) {
        cairo_new_path(cr);
        if (CairoLayerDrawing::addPath(cr, *layer.path()))
            CairoLayerDrawing::fillPath(cr, layer.fillColor(), origin, layer.fillRule() == kCAFillRuleEvenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    }
    CGFloat halfWidth = layer.lineWidth() / 2;
    if (layer.strokeColor() && layer.lineWidth() > 0 && CairoLayerDrawing::isWithinDeviceRange(cr, CGRectInset(box, -halfWidth, -halfWidth))) {
        cairo_new_path(cr);
        if (CairoLayerDrawing::addPath(cr, *layer.path())) {
            cairo_save(cr);
            cairo_set_line_width(cr, layer.lineWidth());
            CairoLayerDrawing::setSourceColor(cr, layer.strokeColor(), origin);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
    }
    cairo_new_path(cr);
}
