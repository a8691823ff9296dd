#include "CoreGraphics/CGContext.h"

#include "CoreGraphics/cairo/CGContextInternal.h"
#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

using CGCairo::drawWithShadow;
using CGCairo::userToDevice;

namespace {

void setSourceColor(CGContext& context, const CGColorRef& color)
{
    cairo_t* cr = context.cairo;
    double alpha = context.state().alpha;
    if (!color) {
        cairo_set_source_rgba(cr, 0, 0, 0, alpha);
        return;
    }
    if (CGCairoSetPatternSource(cr, color))
        return;
    auto rgba = color->deviceRGBA();
    cairo_set_source_rgba(cr, rgba[0], rgba[1], rgba[2], rgba[3] * alpha);
}

double unitInterval(double value)
{
    return std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 1.0);
}

// Makes the device-space path Cairo's current path, leaving the CTM as it was for painting.
void loadPath(CGContext& context, const CGPath& path)
{
    cairo_t* cr = context.cairo;
    cairo_matrix_t ctm;
    cairo_get_matrix(cr, &ctm);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    CGPoint current {};
    for (auto& element : path.elements()) {
        const auto& p = element.points;
        switch (element.type) {
        case kCGPathElementMoveToPoint: cairo_move_to(cr, p[0].x, p[0].y); break;
        case kCGPathElementAddLineToPoint: cairo_line_to(cr, p[0].x, p[0].y); break;
        case kCGPathElementAddQuadCurveToPoint: {
            // The cubic with the same curve: each control point two thirds of the way to the quadratic one.
            auto toward = [](CGPoint from, CGPoint to) { return std::pair { from.x + (to.x - from.x) * 2.0 / 3.0, from.y + (to.y - from.y) * 2.0 / 3.0 }; };
            auto [c1x, c1y] = toward(current, p[0]);
            auto [c2x, c2y] = toward(p[1], p[0]);
            cairo_curve_to(cr, c1x, c1y, c2x, c2y, p[1].x, p[1].y);
            break;
        }
        case kCGPathElementAddCurveToPoint: cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y); break;
        case kCGPathElementCloseSubpath: cairo_close_path(cr); break;
        }
        if (!p.empty())
            current = p.back();
    }
    cairo_set_matrix(cr, &ctm);
}

enum class Coverage : std::uint8_t { Fill, EOFill, Stroke };

// Paints Cairo's current path, which stays for a further paint.
void paintPath(CGContext& context, Coverage coverage, const CGColorRef& color)
{
    cairo_t* cr = context.cairo;
    cairo_set_fill_rule(cr, coverage == Coverage::EOFill ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    CGCairo::paintWithColor(context, color, [&] { coverage == Coverage::Stroke ? cairo_stroke_preserve(cr) : cairo_fill_preserve(cr); });
}

// Paints and consumes the current path.
void drawPath(CGContext& context, bool fill, bool evenOdd, bool stroke)
{
    auto path = std::exchange(context.path, CGPathCreateMutable());
    if (path->isEmpty() || (!fill && !stroke))
        return;
    drawWithShadow(context, [&] {
        loadPath(context, *path);
        if (fill)
            paintPath(context, evenOdd ? Coverage::EOFill : Coverage::Fill, context.state().fill);
        if (stroke)
            paintPath(context, Coverage::Stroke, context.state().stroke);
        cairo_new_path(context.cairo);
    });
}

}

void CGCairo::paintWithColor(CGContext& context, const CGColorRef& color, const std::function<void()>& paint)
{
    cairo_t* cr = context.cairo;
    setSourceColor(context, color);
    double alpha = color ? context.state().alpha * unitInterval(color->alpha()) : 1;
    if (cairo_pattern_get_type(cairo_get_source(cr)) != CAIRO_PATTERN_TYPE_SURFACE || alpha >= 1) {
        paint();
        return;
    }
    // A tiled image has no alpha of its own in Cairo: what is painted goes through a group painted with it.
    cairo_push_group(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    paint();
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha);
}

void CGContextBeginPath(const CGContextRef& context)
{
    if (context)
        context->path = CGPathCreateMutable();
}

void CGContextMoveToPoint(const CGContextRef& context, CGFloat x, CGFloat y)
{
    if (!context)
        return;
    auto m = userToDevice(*context);
    CGPathMoveToPoint(context->path, &m, x, y);
}

void CGContextAddLineToPoint(const CGContextRef& context, CGFloat x, CGFloat y)
{
    if (!context)
        return;
    auto m = userToDevice(*context);
    CGPathAddLineToPoint(context->path, &m, x, y);
}

void CGContextAddArcToPoint(const CGContextRef& context, CGFloat x1, CGFloat y1, CGFloat x2, CGFloat y2, CGFloat radius)
{
    if (!context)
        return;
    // Worked out in user space, so a non-uniform CTM turns the arc into part of an ellipse.
    auto m = userToDevice(*context);
    CGPathAddArcToPoint(context->path, &m, x1, y1, x2, y2, radius);
}

void CGContextAddRect(const CGContextRef& context, CGRect rect)
{
    if (!context)
        return;
    auto m = userToDevice(*context);
    CGPathAddRect(context->path, &m, rect);
}

void CGContextAddEllipseInRect(const CGContextRef& context, CGRect rect)
{
    if (!context)
        return;
    auto m = userToDevice(*context);
    CGPathAddEllipseInRect(context->path, &m, rect);
}

void CGContextAddPath(const CGContextRef& context, const CGPathRef& path)
{
    if (!context || !path)
        return;
    auto m = userToDevice(*context);
    for (const auto& element : path->elements()) {
        CGPathElement moved = element;
        for (auto& point : moved.points)
            point = CGPointApplyAffineTransform(point, m);
        context->path->append(std::move(moved));
    }
}

void CGContextClosePath(const CGContextRef& context)
{
    if (context)
        CGPathCloseSubpath(context->path);
}

bool CGContextIsPathEmpty(const CGContextRef& context)
{
    return !context || context->path->isEmpty();
}

void CGContextFillPath(const CGContextRef& context)
{
    CGContextDrawPath(context, kCGPathFill);
}

void CGContextEOFillPath(const CGContextRef& context)
{
    CGContextDrawPath(context, kCGPathEOFill);
}

void CGContextStrokePath(const CGContextRef& context)
{
    CGContextDrawPath(context, kCGPathStroke);
}

void CGContextDrawPath(const CGContextRef& context, CGPathDrawingMode mode)
{
    if (!context)
        return;
    bool fill = mode == kCGPathFill || mode == kCGPathEOFill || mode == kCGPathFillStroke || mode == kCGPathEOFillStroke;
    bool evenOdd = mode == kCGPathEOFill || mode == kCGPathEOFillStroke;
    bool stroke = mode == kCGPathStroke || mode == kCGPathFillStroke || mode == kCGPathEOFillStroke;
    // An unknown mode paints nothing but still uses the path up.
    drawPath(*context, fill, evenOdd, stroke);
}

void CGContextClip(const CGContextRef& context)
{
    if (!context)
        return;
    auto path = std::exchange(context->path, CGPathCreateMutable());
    loadPath(*context, *path);
    cairo_set_fill_rule(context->cairo, CAIRO_FILL_RULE_WINDING);
    cairo_clip(context->cairo);
}

void CGContextFillEllipseInRect(const CGContextRef& context, CGRect rect)
{
    CGContextBeginPath(context);
    CGContextAddEllipseInRect(context, rect);
    CGContextFillPath(context);
}

void CGContextStrokeEllipseInRect(const CGContextRef& context, CGRect rect)
{
    CGContextBeginPath(context);
    CGContextAddEllipseInRect(context, rect);
    CGContextStrokePath(context);
}

// As on the platform, these replace the current path with the rectangle and use it up.
void CGContextFillRect(const CGContextRef& context, CGRect rect)
{
    CGContextBeginPath(context);
    CGContextAddRect(context, rect);
    CGContextFillPath(context);
}

void CGContextStrokeRect(const CGContextRef& context, CGRect rect)
{
    CGContextBeginPath(context);
    CGContextAddRect(context, rect);
    CGContextStrokePath(context);
}

void CGContextClearRect(const CGContextRef& context, CGRect rect)
{
    if (!context || CGRectIsNull(rect))
        return;
    rect = CGRectStandardize(rect);
    cairo_t* cr = context->cairo;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_fill(cr);
    cairo_restore(cr);
}

void CGContextClipToRect(const CGContextRef& context, CGRect rect)
{
    if (!context)
        return;
    if (CGRectIsNull(rect))
        rect = CGRectZero;
    rect = CGRectStandardize(rect);
    cairo_rectangle(context->cairo, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(context->cairo);
}
