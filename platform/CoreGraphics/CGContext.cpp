#include "CoreGraphics/CGContext.h"

#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

struct CGContext {
    cairo_surface_t* surface = nullptr;
    cairo_t* cairo = nullptr;
    size_t width = 0;
    size_t height = 0;
    struct State {
        CGColorRef fill;
        CGColorRef stroke;
        double alpha = 1;
        cairo_filter_t filter = CAIRO_FILTER_GOOD;
        struct Shadow {
            CGSize offset;
            CGFloat blur = 0;
            CGColorRef color;  // none: no shadow
        } shadow;
    };
    std::vector<State> states { State {} };
    // In device pixels: the CTM of each point is applied when the point is added.
    CGMutablePathRef path = CGPathCreateMutable();
    double baseScale = 1;
    std::vector<double> layerAlphas;
    // The state depth each open transparency layer began at: Cairo keeps the layer's
    // group in its state stack, so a restore must not reach below it.
    std::vector<size_t> layerDepths;

    ~CGContext()
    {
        if (cairo)
            cairo_destroy(cairo);
        if (surface)
            cairo_surface_destroy(surface);
    }
    State& state() { return states.back(); }
};

namespace {

// Ties a Cairo context to the CGContext that made it.
cairo_user_data_key_t contextKey;

cairo_matrix_t cairoMatrix(CGAffineTransform t)
{
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return matrix;
}

// The device flip that puts the origin at the bottom left.
CGAffineTransform baseTransform(const CGContext& context)
{
    return CGAffineTransformMake(1, 0, 0, -1, 0, static_cast<CGFloat>(context.height));
}

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

CGAffineTransform userToDevice(const CGContext& context)
{
    cairo_matrix_t m;
    cairo_get_matrix(context.cairo, &m);
    return CGAffineTransformMake(static_cast<CGFloat>(m.xx), static_cast<CGFloat>(m.yx), static_cast<CGFloat>(m.xy), static_cast<CGFloat>(m.yy),
        static_cast<CGFloat>(m.x0), static_cast<CGFloat>(m.y0));
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
    setSourceColor(context, color);
    auto paint = [&] { coverage == Coverage::Stroke ? cairo_stroke_preserve(cr) : cairo_fill_preserve(cr); };
    double alpha = color ? context.state().alpha * unitInterval(color->alpha()) : 1;
    if (cairo_pattern_get_type(cairo_get_source(cr)) != CAIRO_PATTERN_TYPE_SURFACE || alpha >= 1) {
        paint();
        return;
    }
    // A tiled image has no alpha of its own in Cairo: the shape goes through a group painted with it.
    cairo_push_group(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    paint();
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, alpha);
}

// A shadow's coverage: one value from 0 to 1 per device pixel of a rectangle placed at (x, y).
struct ShadowMask {
    std::vector<float> values;
    size_t width = 0;
    size_t height = 0;
    double x = 0;
    double y = 0;

    float& at(size_t column, size_t row) { return values[row * width + column]; }
};

// The alpha of the group's drawn part, with room on every side for the blur to spread into.
std::optional<ShadowMask> shadowMask(cairo_surface_t* group, size_t margin)
{
    if (cairo_surface_get_type(group) != CAIRO_SURFACE_TYPE_IMAGE || cairo_image_surface_get_format(group) != CAIRO_FORMAT_ARGB32)
        return std::nullopt;
    cairo_surface_flush(group);
    const unsigned char* data = cairo_image_surface_get_data(group);
    if (!data)
        return std::nullopt;
    auto width = static_cast<size_t>(cairo_image_surface_get_width(group));
    auto height = static_cast<size_t>(cairo_image_surface_get_height(group));
    auto stride = static_cast<size_t>(cairo_image_surface_get_stride(group));
    auto alphaAt = [&](size_t x, size_t y) { return reinterpret_cast<const std::uint32_t*>(data + y * stride)[x] >> 24; };

    // Only the part that holds something is worth blurring.
    size_t minX = width, minY = height, maxX = 0, maxY = 0;
    for (size_t y = 0; y < height; ++y) {
        for (size_t x = 0; x < width; ++x) {
            if (alphaAt(x, y)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    if (minX > maxX)
        return std::nullopt;

    ShadowMask mask;
    mask.width = maxX - minX + 1 + 2 * margin;
    mask.height = maxY - minY + 1 + 2 * margin;
    mask.values.resize(mask.width * mask.height);
    for (size_t y = minY; y <= maxY; ++y) {
        for (size_t x = minX; x <= maxX; ++x)
            mask.at(x - minX + margin, y - minY + margin) = static_cast<float>(alphaAt(x, y)) / 255.0f;
    }
    // A group surface's pixel (0, 0) lies at minus its device offset in device space.
    double offsetX = 0, offsetY = 0;
    cairo_surface_get_device_offset(group, &offsetX, &offsetY);
    mask.x = static_cast<double>(minX) - static_cast<double>(margin) - offsetX;
    mask.y = static_cast<double>(minY) - static_cast<double>(margin) - offsetY;
    return mask;
}

// Three box blurs in a row come close to a Gaussian; this is the box radius for a given deviation.
size_t boxRadius(double sigma)
{
    return static_cast<size_t>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
}

// One box blur along a row or a column (values `step` apart), zero beyond the ends.
void boxBlurLine(float* values, size_t length, size_t step, size_t radius, std::vector<float>& line)
{
    line.resize(length);
    for (size_t i = 0; i < length; ++i)
        line[i] = values[i * step];
    double sum = 0;
    for (size_t i = 0; i <= radius && i < length; ++i)
        sum += line[i];
    double width = static_cast<double>(2 * radius + 1);
    for (size_t i = 0; i < length; ++i) {
        values[i * step] = static_cast<float>(sum / width);
        if (i + radius + 1 < length)
            sum += line[i + radius + 1];
        if (i >= radius)
            sum -= line[i - radius];
    }
}

void blur(ShadowMask& mask, size_t radius)
{
    std::vector<float> line;
    for (int pass = 0; pass < 3; ++pass) {
        for (size_t y = 0; y < mask.height; ++y)
            boxBlurLine(&mask.at(0, y), mask.width, 1, radius, line);
        for (size_t x = 0; x < mask.width; ++x)
            boxBlurLine(&mask.at(x, 0), mask.height, mask.width, radius, line);
    }
}

// The mask in the shadow colour, premultiplied; nullptr when Cairo cannot hold it.
cairo_surface_t* tinted(ShadowMask& mask, const CGColor& color)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(mask.width), static_cast<int>(mask.height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    auto rgba = color.deviceRGBA();
    unsigned char* data = cairo_image_surface_get_data(surface);
    auto stride = static_cast<size_t>(cairo_image_surface_get_stride(surface));
    auto byte = [](double value) { return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255)); };
    for (size_t y = 0; y < mask.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + y * stride);
        for (size_t x = 0; x < mask.width; ++x) {
            double alpha = rgba[3] * mask.at(x, y);
            row[x] = byte(alpha) << 24 | byte(rgba[0] * alpha) << 16 | byte(rgba[1] * alpha) << 8 | byte(rgba[2] * alpha);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

// Paints the shadow of what the group holds, with the blend mode in force.
void paintShadow(CGContext& context, cairo_pattern_t* shape)
{
    const auto& shadow = context.state().shadow;
    cairo_surface_t* group = nullptr;
    if (cairo_pattern_get_surface(shape, &group) != CAIRO_STATUS_SUCCESS)
        return;
    // A blur of b spreads like a Gaussian of deviation b / 2 (as canvas shadows define it). Past
    // a few hundred pixels a shadow is all but invisible; the cap bounds the work.
    double sigma = std::min(static_cast<double>(shadow.blur) * context.baseScale / 2, 256.0);
    size_t radius = boxRadius(sigma);
    auto mask = shadowMask(group, 3 * radius);
    if (!mask)
        return;
    if (radius)
        blur(*mask, radius);
    cairo_surface_t* surface = tinted(*mask, *shadow.color);
    if (!surface)
        return;
    // The offset is in base units and device pixels run y down: no CTM enters here.
    cairo_t* cr = context.cairo;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, surface, mask->x + shadow.offset.width * context.baseScale, mask->y + shadow.offset.height * context.baseScale);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

bool hasShadow(CGContext& context)
{
    const auto& color = context.state().shadow.color;
    return color && color->deviceRGBA()[3] > 0;
}

// Runs draw, which paints with Cairo under the current state; with a shadow set, the
// drawing goes to a group first and the shadow is painted under it. Either way the
// blend mode applies to the shadow and to the shape.
template<typename Draw>
void drawWithShadow(CGContext& context, const Draw& draw)
{
    cairo_t* cr = context.cairo;
    cairo_save(cr);
    if (!hasShadow(context)) {
        draw();
        cairo_restore(cr);
        return;
    }
    cairo_push_group_with_content(cr, CAIRO_CONTENT_COLOR_ALPHA);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    draw();
    cairo_pattern_t* shape = cairo_pop_group(cr);
    paintShadow(context, shape);
    cairo_set_source(cr, shape);
    cairo_paint(cr);
    cairo_pattern_destroy(shape);
    cairo_restore(cr);
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

CGContextRef CGBitmapContextCreate(size_t width, size_t height)
{
    if (!width || !height || width > CGImage::maximumPixelCount / height || width > 32767 || height > 32767)
        return nullptr;
    auto context = std::make_shared<CGContext>();
    context->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
    if (cairo_surface_status(context->surface) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    context->cairo = cairo_create(context->surface);
    cairo_set_user_data(context->cairo, &contextKey, context.get(), nullptr);
    cairo_set_line_width(context->cairo, 1);
    context->width = width;
    context->height = height;
    cairo_matrix_t base = cairoMatrix(baseTransform(*context));
    cairo_set_matrix(context->cairo, &base);
    return context;
}

size_t CGBitmapContextGetWidth(const CGContextRef& context)
{
    return context ? context->width : 0;
}

size_t CGBitmapContextGetHeight(const CGContextRef& context)
{
    return context ? context->height : 0;
}

CGImageRef CGBitmapContextCreateImage(const CGContextRef& context)
{
    if (!context)
        return nullptr;
    cairo_surface_flush(context->surface);
    const auto* data = cairo_image_surface_get_data(context->surface);
    int stride = cairo_image_surface_get_stride(context->surface);
    std::vector<std::uint32_t> pixels(context->width * context->height);
    for (size_t y = 0; y < context->height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * static_cast<size_t>(stride));
        std::copy(row, row + context->width, pixels.begin() + static_cast<std::ptrdiff_t>(y * context->width));
    }
    return CGImage::create(context->width, context->height, std::move(pixels));
}

double CGCairoPixelsPerPoint(cairo_t* cr)
{
    auto* context = cr ? static_cast<CGContext*>(cairo_get_user_data(cr, &contextKey)) : nullptr;
    return context ? context->baseScale : 1.0;
}

bool CGCairoSetPatternSource(cairo_t* cr, const CGColorRef& color, const std::optional<CGPoint>& patternOrigin)
{
    const CGImageRef* image = color ? &color->patternImage() : nullptr;
    if (!cr || !image || !*image)
        return false;
    cairo_surface_t* tile = CGImageCreateCairoSurface(*image);
    if (!tile)
        return false;
    // Cairo locks a source to the user space in force when it is set, so the pattern's
    // matrix (user to pattern space) starts from the CTM: device pixels, counted from
    // the device origin or from where the pattern origin lands.
    cairo_matrix_t userToPattern;
    cairo_get_matrix(cr, &userToPattern);
    if (patternOrigin) {
        double x = patternOrigin->x, y = patternOrigin->y;
        cairo_matrix_transform_point(&userToPattern, &x, &y);
        userToPattern.x0 -= x;
        userToPattern.y0 -= y;
    }
    double imagePixelsPerDevicePixel = static_cast<double>(color->patternScale()) / CGCairoPixelsPerPoint(cr);
    cairo_matrix_t toImagePixels;
    cairo_matrix_init_scale(&toImagePixels, imagePixelsPerDevicePixel, imagePixelsPerDevicePixel);
    cairo_matrix_multiply(&userToPattern, &userToPattern, &toImagePixels);
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
    // Tiles magnified to the screen's pixels stay crisp instead of blurring their squares together.
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_NEAREST);
    cairo_pattern_set_matrix(pattern, &userToPattern);
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
    cairo_surface_destroy(tile);
    return true;
}

cairo_t* CGContextGetCairo(const CGContextRef& context)
{
    return context ? context->cairo : nullptr;
}

cairo_surface_t* CGImageCreateCairoSurface(const CGImageRef& image)
{
    if (!image || image->width() > 32767 || image->height() > 32767)
        return nullptr;
    // Cairo only reads through this surface; the image keeps the pixels alive while it is drawn.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image->pixels().data()));
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        data, CAIRO_FORMAT_ARGB32, static_cast<int>(image->width()), static_cast<int>(image->height()), static_cast<int>(image->bytesPerRow()));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

void CGContextSaveGState(const CGContextRef& context)
{
    if (!context)
        return;
    cairo_save(context->cairo);
    context->states.push_back(context->state());
}

void CGContextRestoreGState(const CGContextRef& context)
{
    if (!context || context->states.size() < 2)
        return;
    if (!context->layerDepths.empty() && context->states.size() <= context->layerDepths.back())
        return;
    cairo_restore(context->cairo);
    context->states.pop_back();
}

// A non-finite or singular CTM would put Cairo into a permanent error state, after
// which the context draws nothing: such changes are ignored.
void CGContextTranslateCTM(const CGContextRef& context, CGFloat tx, CGFloat ty)
{
    if (context && std::isfinite(tx) && std::isfinite(ty))
        cairo_translate(context->cairo, tx, ty);
}

void CGContextScaleCTM(const CGContextRef& context, CGFloat sx, CGFloat sy)
{
    if (context && sx != 0 && sy != 0 && std::isfinite(sx) && std::isfinite(sy))
        cairo_scale(context->cairo, sx, sy);
}

void CGContextRotateCTM(const CGContextRef& context, CGFloat angle)
{
    if (context && std::isfinite(angle))
        cairo_rotate(context->cairo, angle);
}

void CGContextConcatCTM(const CGContextRef& context, CGAffineTransform transform)
{
    CGFloat determinant = transform.a * transform.d - transform.b * transform.c;
    if (!context || determinant == 0 || !std::isfinite(determinant) || !std::isfinite(transform.tx) || !std::isfinite(transform.ty))
        return;
    cairo_matrix_t matrix = cairoMatrix(transform);
    cairo_transform(context->cairo, &matrix);
}

CGAffineTransform CGContextGetCTM(const CGContextRef& context)
{
    if (!context)
        return CGAffineTransformIdentity;
    cairo_matrix_t m;
    cairo_get_matrix(context->cairo, &m);
    CGAffineTransform userToDevice = CGAffineTransformMake(
        static_cast<CGFloat>(m.xx), static_cast<CGFloat>(m.yx), static_cast<CGFloat>(m.xy), static_cast<CGFloat>(m.yy),
        static_cast<CGFloat>(m.x0), static_cast<CGFloat>(m.y0));
    return CGAffineTransformConcat(userToDevice, CGAffineTransformInvert(baseTransform(*context)));
}

void CGContextSetFillColorWithColor(const CGContextRef& context, const CGColorRef& color)
{
    if (context)
        context->state().fill = color;
}

void CGContextSetStrokeColorWithColor(const CGContextRef& context, const CGColorRef& color)
{
    if (context)
        context->state().stroke = color;
}

void CGContextSetAlpha(const CGContextRef& context, CGFloat alpha)
{
    if (context)
        context->state().alpha = std::clamp(static_cast<double>(alpha), 0.0, 1.0);
}

void CGContextSetBlendMode(const CGContextRef& context, CGBlendMode mode)
{
    if (context)
        cairo_set_operator(context->cairo, mode == kCGBlendModeMultiply ? CAIRO_OPERATOR_MULTIPLY : CAIRO_OPERATOR_OVER);
}

void CGContextSetInterpolationQuality(const CGContextRef& context, CGInterpolationQuality quality)
{
    if (!context)
        return;
    switch (quality) {
    case kCGInterpolationNone: context->state().filter = CAIRO_FILTER_NEAREST; break;
    case kCGInterpolationLow: context->state().filter = CAIRO_FILTER_FAST; break;
    case kCGInterpolationHigh: context->state().filter = CAIRO_FILTER_BEST; break;
    default: context->state().filter = CAIRO_FILTER_GOOD; break;
    }
}

void CGContextSetLineWidth(const CGContextRef& context, CGFloat width)
{
    if (context && std::isfinite(width) && width >= 0)
        cairo_set_line_width(context->cairo, width);
}

void CGContextSetLineJoin(const CGContextRef& context, CGLineJoin join)
{
    if (!context)
        return;
    switch (join) {
    case kCGLineJoinMiter: cairo_set_line_join(context->cairo, CAIRO_LINE_JOIN_MITER); break;
    case kCGLineJoinRound: cairo_set_line_join(context->cairo, CAIRO_LINE_JOIN_ROUND); break;
    case kCGLineJoinBevel: cairo_set_line_join(context->cairo, CAIRO_LINE_JOIN_BEVEL); break;
    }
}

void CGContextSetLineCap(const CGContextRef& context, CGLineCap cap)
{
    if (!context)
        return;
    switch (cap) {
    case kCGLineCapButt: cairo_set_line_cap(context->cairo, CAIRO_LINE_CAP_BUTT); break;
    case kCGLineCapRound: cairo_set_line_cap(context->cairo, CAIRO_LINE_CAP_ROUND); break;
    case kCGLineCapSquare: cairo_set_line_cap(context->cairo, CAIRO_LINE_CAP_SQUARE); break;
    }
}

void CGContextSetShadowWithColor(const CGContextRef& context, CGSize offset, CGFloat blur, const CGColorRef& color)
{
    if (!context)
        return;
    // Nonsense numbers turn the shadow off rather than reach the blur.
    if (!std::isfinite(offset.width) || !std::isfinite(offset.height) || !std::isfinite(blur)) {
        context->state().shadow = {};
        return;
    }
    context->state().shadow = { offset, std::max<CGFloat>(blur, 0), color };
}

void CGContextSetShadow(const CGContextRef& context, CGSize offset, CGFloat blur)
{
    static const CGColorRef black = CGColorCreate(CGColorSpaceCreateDeviceRGB(), { 0, 0, 0, CGFloat(1) / 3 });
    CGContextSetShadowWithColor(context, offset, blur, black);
}

void CGContextSetBaseScale(const CGContextRef& context, CGFloat scale)
{
    if (context && std::isfinite(scale) && scale > 0)
        context->baseScale = scale;
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

void CGContextDrawImage(const CGContextRef& context, CGRect rect, const CGImageRef& image)
{
    if (!context || !image || CGRectIsEmpty(rect))
        return;
    cairo_surface_t* surface = CGImageCreateCairoSurface(image);
    if (!surface)
        return;
    rect = CGRectStandardize(rect);
    cairo_t* cr = context->cairo;
    drawWithShadow(*context, [&] {
        // The image's first row is its top: in y-up space it goes to the rectangle's maximum y.
        cairo_translate(cr, rect.origin.x, rect.origin.y + rect.size.height);
        cairo_scale(cr, rect.size.width / static_cast<double>(image->width()), -rect.size.height / static_cast<double>(image->height()));
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), context->state().filter);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_rectangle(cr, 0, 0, static_cast<double>(image->width()), static_cast<double>(image->height()));
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, context->state().alpha);
    });
    cairo_surface_destroy(surface);
}

void CGContextBeginTransparencyLayer(const CGContextRef& context)
{
    if (!context)
        return;
    context->layerAlphas.push_back(context->state().alpha);
    CGContextSaveGState(context);
    context->layerDepths.push_back(context->states.size());
    context->state().alpha = 1;
    context->state().shadow = {};
    cairo_push_group(context->cairo);
}

void CGContextEndTransparencyLayer(const CGContextRef& context)
{
    if (!context || context->layerAlphas.empty())
        return;
    // Saves left open inside the layer close with it; Cairo pops a group only from the group's own state.
    while (context->states.size() > context->layerDepths.back())
        CGContextRestoreGState(context);
    context->layerDepths.pop_back();
    double alpha = context->layerAlphas.back();
    context->layerAlphas.pop_back();
    cairo_pattern_t* layer = cairo_pop_group(context->cairo);
    // Back in the state the layer began in, whose shadow falls under the layer as a whole.
    CGContextRestoreGState(context);
    drawWithShadow(*context, [&] {
        cairo_set_source(context->cairo, layer);
        cairo_paint_with_alpha(context->cairo, alpha);
    });
    cairo_pattern_destroy(layer);
}
