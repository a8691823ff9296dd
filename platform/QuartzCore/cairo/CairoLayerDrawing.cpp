#include "QuartzCore/cairo/CairoLayerDrawing.h"

#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace CairoLayerDrawing {

double effectiveCornerRadius(CGFloat radius, CGRect rect)
{
    if (!(radius > 0) || !std::isfinite(radius))
        return 0;
    double limit = std::min(std::abs(static_cast<double>(rect.size.width)), std::abs(static_cast<double>(rect.size.height))) / 2;
    return std::min(static_cast<double>(radius), limit);
}

namespace {

constexpr double deviceRange = 1 << 22;

}

bool isWithinDeviceRange(cairo_t* cr, CGRect rect)
{
    if (CGRectIsNull(rect))
        return false;
    rect = CGRectStandardize(rect);
    double xs[] = { rect.origin.x, rect.origin.x + rect.size.width };
    double ys[] = { rect.origin.y, rect.origin.y + rect.size.height };
    for (double x : xs) {
        for (double y : ys) {
            double dx = x, dy = y;
            cairo_user_to_device(cr, &dx, &dy);
            if (!(std::abs(dx) <= deviceRange) || !(std::abs(dy) <= deviceRange))
                return false;
        }
    }
    return true;
}

namespace {

struct DrawableRect {
    CGRect rect;
    double radius;
};

DrawableRect drawableRect(cairo_t* cr, CGRect rect, double radius, double margin)
{
    rect = CGRectStandardize(rect);
    if (isWithinDeviceRange(cr, rect))
        return { rect, radius };
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    margin = std::isfinite(margin) ? std::max(margin, 0.0) + 1 : 1;
    CGRect visible = CGRectMake(static_cast<CGFloat>(x1 - margin), static_cast<CGFloat>(y1 - margin), static_cast<CGFloat>(x2 - x1 + 2 * margin),
        static_cast<CGFloat>(y2 - y1 + 2 * margin));
    CGRect cut = CGRectIntersection(rect, visible);
    if (CGRectIsNull(cut) || !isWithinDeviceRange(cr, cut))
        return { CGRectZero, 0 };
    return { cut, 0 };
}

}

void addRoundedRect(cairo_t* cr, CGRect original, double originalRadius, double margin)
{
    auto [rect, radius] = drawableRect(cr, original, originalRadius, margin);
    double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
    if (radius <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    constexpr double quarter = std::numbers::pi / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -quarter, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, quarter);
    cairo_arc(cr, x + radius, y + h - radius, radius, quarter, 2 * quarter);
    cairo_arc(cr, x + radius, y + radius, radius, 2 * quarter, 3 * quarter);
    cairo_close_path(cr);
}

bool addPath(cairo_t* cr, const CGPath& path)
{
    for (const auto& element : path.elements()) {
        for (const auto& point : element.points) {
            if (!std::isfinite(point.x) || !std::isfinite(point.y))
                return false;
        }
    }
    double currentX = 0, currentY = 0;
    for (const auto& element : path.elements()) {
        const auto& p = element.points;
        switch (element.type) {
        case kCGPathElementMoveToPoint:
            if (p.size() == 1)
                cairo_move_to(cr, p[0].x, p[0].y);
            break;
        case kCGPathElementAddLineToPoint:
            if (p.size() == 1)
                cairo_line_to(cr, p[0].x, p[0].y);
            break;
        case kCGPathElementAddQuadCurveToPoint:
            // Cairo has cubics only; the quadratic is the cubic with control points 2/3 of the way to its one.
            if (p.size() == 2) {
                if (cairo_has_current_point(cr))
                    cairo_get_current_point(cr, &currentX, &currentY);
                cairo_curve_to(cr, currentX + 2.0 / 3 * (p[0].x - currentX), currentY + 2.0 / 3 * (p[0].y - currentY),
                    p[1].x + 2.0 / 3 * (p[0].x - p[1].x), p[1].y + 2.0 / 3 * (p[0].y - p[1].y), p[1].x, p[1].y);
            }
            break;
        case kCGPathElementAddCurveToPoint:
            if (p.size() == 3)
                cairo_curve_to(cr, p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y);
            break;
        case kCGPathElementCloseSubpath:
            cairo_close_path(cr);
            break;
        }
    }
    return true;
}

void setSourceColor(cairo_t* cr, const CGColorRef& color, CGPoint patternOrigin)
{
    if (!color) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
        return;
    }
    if (CGCairoSetPatternSource(cr, color, patternOrigin))
        return;
    auto rgba = color->deviceRGBA();
    cairo_set_source_rgba(cr, rgba[0], rgba[1], rgba[2], rgba[3]);
}

void fillPath(cairo_t* cr, const CGColorRef& color, CGPoint patternOrigin, cairo_fill_rule_t rule)
{
    cairo_save(cr);
    cairo_set_fill_rule(cr, rule);
    setSourceColor(cr, color, patternOrigin);
    double patternAlpha = color && color->patternImage() ? std::clamp(static_cast<double>(color->alpha()), 0.0, 1.0) : 1.0;
    if (patternAlpha < 1) {
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, patternAlpha);
    } else {
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

bool transformIfInvertible(cairo_t* cr, const cairo_matrix_t& transform)
{
    cairo_matrix_t current;
    cairo_get_matrix(cr, &current);
    cairo_matrix_t result;
    cairo_matrix_multiply(&result, &transform, &current);
    double determinant = result.xx * result.yy - result.xy * result.yx;
    double parts[] = { result.xx, result.yx, result.xy, result.yy, result.x0, result.y0, determinant };
    for (double part : parts) {
        if (!std::isfinite(part))
            return false;
    }
    if (std::abs(determinant) < 1e-12)
        return false;
    cairo_set_matrix(cr, &result);
    return true;
}

}
