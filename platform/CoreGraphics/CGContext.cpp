#include "CoreGraphics/CGContext.h"

#include "CoreGraphics/cairo/CGContextInternal.h"
#include "CoreGraphics/cairo/CairoContext.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using CGCairo::drawWithShadow;

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

}

CGAffineTransform CGCairo::userToDevice(const CGContext& context)
{
    cairo_matrix_t m;
    cairo_get_matrix(context.cairo, &m);
    return CGAffineTransformMake(static_cast<CGFloat>(m.xx), static_cast<CGFloat>(m.yx), static_cast<CGFloat>(m.xy), static_cast<CGFloat>(m.yy),
        static_cast<CGFloat>(m.x0), static_cast<CGFloat>(m.y0));
}

namespace {

bool isDrawableSize(size_t width, size_t height)
{
    return width && height && width <= CGImage::maximumPixelCount / height && width <= 32767 && height <= 32767;
}

CGContextRef makeBitmapContext(cairo_surface_t* surface, size_t width, size_t height)
{
    auto context = std::make_shared<CGContext>();
    context->surface = surface;
    if (cairo_surface_status(context->surface) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    context->cairo = cairo_create(context->surface);
    cairo_set_user_data(context->cairo, &CGCairo::contextKey, context.get(), nullptr);
    cairo_set_line_width(context->cairo, 1);
    context->width = width;
    context->height = height;
    cairo_matrix_t base = cairoMatrix(baseTransform(*context));
    cairo_set_matrix(context->cairo, &base);
    return context;
}

}

CGContextRef CGBitmapContextCreate(size_t width, size_t height)
{
    if (!isDrawableSize(width, height))
        return nullptr;
    return makeBitmapContext(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height)), width, height);
}

CGContextRef CGBitmapContextCreateWithSharedPixels(CGSharedPixels pixels, size_t width, size_t height)
{
    if (!pixels || !isDrawableSize(width, height) || pixels->size() != width * height)
        return nullptr;
    auto* data = reinterpret_cast<unsigned char*>(pixels->data());
    auto context = makeBitmapContext(cairo_image_surface_create_for_data(data, CAIRO_FORMAT_ARGB32, static_cast<int>(width),
                                         static_cast<int>(height), static_cast<int>(width * 4)),
        width, height);
    if (context)
        context->sharedPixels = std::move(pixels);
    return context;
}

CGContextRef CGBitmapContextCreate(void* data, size_t width, size_t height, size_t bitsPerComponent, size_t bytesPerRow,
    const CGColorSpaceRef& space, CGBitmapInfo info)
{
    if (data || bitsPerComponent != 8 || (info & kCGBitmapFloatComponents) || !space)
        return nullptr;
    CGBitmapInfo order = info & kCGBitmapByteOrderMask;
    if (order != kCGBitmapByteOrderDefault && order != kCGBitmapByteOrder32Little && order != kCGBitmapByteOrder32Big)
        return nullptr;
    auto alpha = static_cast<CGImageAlphaInfo>(info & kCGBitmapAlphaInfoMask);
    size_t bytesPerPixel = 0;
    switch (CGColorSpaceGetModel(space)) {
    case kCGColorSpaceModelRGB:
        if (alpha == kCGImageAlphaPremultipliedFirst || alpha == kCGImageAlphaPremultipliedLast || alpha == kCGImageAlphaNoneSkipFirst
            || alpha == kCGImageAlphaNoneSkipLast)
            bytesPerPixel = 4;
        break;
    case kCGColorSpaceModelMonochrome:
        if (alpha == kCGImageAlphaNone && order == kCGBitmapByteOrderDefault)
            bytesPerPixel = 1;
        break;
    default:
        break;
    }
    if (!bytesPerPixel || (bytesPerRow && width && bytesPerRow / width < bytesPerPixel))
        return nullptr;
    return CGBitmapContextCreate(width, height);
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
    // Copied, not zero-filled first: the context draws on, and the image must not change.
    std::vector<std::uint32_t> pixels;
    pixels.reserve(context->width * context->height);
    for (size_t y = 0; y < context->height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * static_cast<size_t>(stride));
        pixels.insert(pixels.end(), row, row + context->width);
    }
    return CGImage::create(context->width, context->height, std::move(pixels));
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
    return CGAffineTransformConcat(CGCairo::userToDevice(*context), CGAffineTransformInvert(baseTransform(*context)));
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
        cairo_set_operator(context->cairo, mode == kCGBlendModeMultiply ? CAIRO_OPERATOR_MULTIPLY
                : mode == kCGBlendModeSourceIn                         ? CAIRO_OPERATOR_IN
                                                                       : CAIRO_OPERATOR_OVER);
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
