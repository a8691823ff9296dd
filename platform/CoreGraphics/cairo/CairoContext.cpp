#include "CoreGraphics/cairo/CairoContext.h"

#include "CoreGraphics/cairo/CGContextInternal.h"

#include <cstdint>

cairo_t* CGContextGetCairo(const CGContextRef& context)
{
    return context ? context->cairo : nullptr;
}

void CGContextFillWithCairo(const CGContextRef& context, const std::function<void(cairo_t*)>& paint)
{
    if (!context)
        return;
    CGCairo::drawWithShadow(*context, [&] { CGCairo::paintWithColor(*context, context->state().fill, [&] { paint(context->cairo); }); });
}

double CGCairoPixelsPerPoint(cairo_t* cr)
{
    auto* context = cr ? static_cast<CGContext*>(cairo_get_user_data(cr, &CGCairo::contextKey)) : nullptr;
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

cairo_surface_t* CGImageCreateCairoSurface(const CGImageRef& image)
{
    if (!image || image->width() > 32767 || image->height() > 32767)
        return nullptr;
    // Cairo only reads through this surface; the image keeps the pixels alive while it is drawn.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(image->data()));
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        data, CAIRO_FORMAT_ARGB32, static_cast<int>(image->width()), static_cast<int>(image->height()), static_cast<int>(image->bytesPerRow()));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}
