#include "CoreGraphics/CGContext.h"

#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
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
    };
    std::vector<State> states { State {} };
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
    if (auto& image = color->patternImage()) {
        if (cairo_surface_t* tile = CGImageCreateCairoSurface(image)) {
            // Tiles are laid in device pixels from the top left, upright, whatever the CTM.
            // Cairo locks a source to the user space in force when it is set, so the
            // pattern's own matrix (user to pattern space) must be the CTM itself.
            cairo_pattern_t* pattern = cairo_pattern_create_for_surface(tile);
            cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
            cairo_matrix_t userToDevice;
            cairo_get_matrix(cr, &userToDevice);
            cairo_pattern_set_matrix(pattern, &userToDevice);
            cairo_set_source(cr, pattern);
            cairo_pattern_destroy(pattern);
            cairo_surface_destroy(tile);
            return;
        }
    }
    auto rgba = color->deviceRGBA();
    cairo_set_source_rgba(cr, rgba[0], rgba[1], rgba[2], rgba[3] * alpha);
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

void CGContextTranslateCTM(const CGContextRef& context, CGFloat tx, CGFloat ty)
{
    if (context)
        cairo_translate(context->cairo, tx, ty);
}

void CGContextScaleCTM(const CGContextRef& context, CGFloat sx, CGFloat sy)
{
    if (context && sx != 0 && sy != 0)
        cairo_scale(context->cairo, sx, sy);
}

void CGContextRotateCTM(const CGContextRef& context, CGFloat angle)
{
    if (context)
        cairo_rotate(context->cairo, angle);
}

void CGContextConcatCTM(const CGContextRef& context, CGAffineTransform transform)
{
    if (!context || transform.a * transform.d - transform.b * transform.c == 0)
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
    if (context)
        cairo_set_line_width(context->cairo, width);
}

void CGContextFillRect(const CGContextRef& context, CGRect rect)
{
    if (!context || CGRectIsNull(rect))
        return;
    rect = CGRectStandardize(rect);
    cairo_t* cr = context->cairo;
    cairo_save(cr);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    auto& fill = context->state().fill;
    setSourceColor(*context, fill);
    if (fill && fill->patternImage()) {
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, context->state().alpha * std::clamp(static_cast<double>(fill->alpha()), 0.0, 1.0));
    } else {
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void CGContextStrokeRect(const CGContextRef& context, CGRect rect)
{
    if (!context || CGRectIsNull(rect))
        return;
    rect = CGRectStandardize(rect);
    cairo_t* cr = context->cairo;
    cairo_save(cr);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    setSourceColor(*context, context->state().stroke);
    cairo_stroke(cr);
    cairo_restore(cr);
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
    cairo_save(cr);
    // The image's first row is its top: in y-up space it goes to the rectangle's maximum y.
    cairo_translate(cr, rect.origin.x, rect.origin.y + rect.size.height);
    cairo_scale(cr, rect.size.width / static_cast<double>(image->width()), -rect.size.height / static_cast<double>(image->height()));
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), context->state().filter);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_rectangle(cr, 0, 0, static_cast<double>(image->width()), static_cast<double>(image->height()));
    cairo_clip(cr);
    cairo_paint_with_alpha(cr, context->state().alpha);
    cairo_restore(cr);
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
    cairo_pop_group_to_source(context->cairo);
    cairo_paint_with_alpha(context->cairo, alpha);
    CGContextRestoreGState(context);
}
