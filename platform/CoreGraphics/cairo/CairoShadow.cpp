#include "CoreGraphics/cairo/CGContextInternal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace CGCairo {

namespace {

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
    // Rounds half up, as lround would for these non-negative values, without its call per channel.
    auto byte = [](double value) { return static_cast<std::uint32_t>(std::clamp(value, 0.0, 1.0) * 255 + 0.5); };
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

// The box radius of the shadow's blur in device pixels: 0 for a sharp shadow.
size_t blurRadius(const CGContext& context)
{
    // A blur of b spreads like a Gaussian of deviation b / 2 (as canvas shadows define it). Past
    // a few hundred pixels a shadow is all but invisible; the cap bounds the work.
    double sigma = std::min(static_cast<double>(context.states.back().shadow.blur) * context.baseScale / 2, 256.0);
    return boxRadius(sigma);
}

// Paints the shadow of what the group holds, moved by the offset (device pixels), with the
// blend mode in force.
void paintShadow(CGContext& context, cairo_surface_t* group, size_t radius, double offsetX, double offsetY)
{
    const auto& shadow = context.state().shadow;
    cairo_t* cr = context.cairo;
    if (!radius) {
        // A sharp shadow is the shape's coverage in the shadow colour, moved: Cairo masks that directly.
        auto rgba = shadow.color->deviceRGBA();
        cairo_save(cr);
        cairo_identity_matrix(cr);
        cairo_set_source_rgba(cr, rgba[0], rgba[1], rgba[2], rgba[3]);
        cairo_mask_surface(cr, group, offsetX, offsetY);
        cairo_restore(cr);
        return;
    }
    auto mask = shadowMask(group, 3 * radius);
    if (!mask)
        return;
    blur(*mask, radius);
    cairo_surface_t* surface = tinted(*mask, *shadow.color);
    if (!surface)
        return;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_surface(cr, surface, mask->x + offsetX, mask->y + offsetY);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

// Operators under which a transparent source leaves the destination as it is.
bool boundedBySource(cairo_operator_t op)
{
    switch (op) {
    case CAIRO_OPERATOR_CLEAR:
    case CAIRO_OPERATOR_SOURCE:
    case CAIRO_OPERATOR_IN:
    case CAIRO_OPERATOR_OUT:
    case CAIRO_OPERATOR_DEST_IN:
    case CAIRO_OPERATOR_DEST_ATOP:
        return false;
    default:
        return true;
    }
}

// Clips to the parts of the group that hold something, and to where they cast their shadow
// (offset, in device pixels): a stroked outline leaves most of its box empty, and blend
// modes other than normal cost Cairo several times as much per pixel. The group is scanned
// in bands of rows; in each, runs of columns with something drawn become one rectangle,
// with short gaps bridged, since each rectangle is a composite of its own.
void clipToDrawnParts(cairo_t* cr, cairo_surface_t* group, double offsetX, double offsetY)
{
    if (cairo_surface_get_type(group) != CAIRO_SURFACE_TYPE_IMAGE || cairo_image_surface_get_format(group) != CAIRO_FORMAT_ARGB32)
        return;
    cairo_surface_flush(group);
    const unsigned char* data = cairo_image_surface_get_data(group);
    if (!data)
        return;
    constexpr int bandHeight = 8;
    constexpr int bridgedGap = 8;
    int width = cairo_image_surface_get_width(group);
    int height = cairo_image_surface_get_height(group);
    auto stride = static_cast<size_t>(cairo_image_surface_get_stride(group));
    double deviceX = 0, deviceY = 0;
    cairo_surface_get_device_offset(group, &deviceX, &deviceY);

    // Rectangles in device pixels, overlapping ones joined by the winding rule.
    cairo_matrix_t userSpace;
    cairo_get_matrix(cr, &userSpace);
    cairo_identity_matrix(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_new_path(cr);
    // Per column of a band, the alpha bits of any of its pixels: a plain OR the compiler vectorises.
    std::vector<std::uint32_t> drawn(static_cast<size_t>(width));
    for (int top = 0; top < height; top += bandHeight) {
        int bottom = std::min(top + bandHeight, height);
        std::fill(drawn.begin(), drawn.end(), 0);
        for (int y = top; y < bottom; ++y) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<size_t>(y) * stride);
            std::uint32_t* columns = drawn.data();
            for (int x = 0; x < width; ++x)
                columns[x] |= row[x] & 0xff000000u;
        }
        for (int x = 0; x < width;) {
            if (!drawn[static_cast<size_t>(x)]) {
                ++x;
                continue;
            }
            int end = x + 1;
            for (int gap = 0; end < width && gap <= bridgedGap; ++end)
                gap = drawn[static_cast<size_t>(end)] ? 0 : gap + 1;
            while (!drawn[static_cast<size_t>(end - 1)])
                --end;
            double left = x - deviceX, right = end - deviceX, upper = top - deviceY, lower = bottom - deviceY;
            cairo_rectangle(cr, left, upper, right - left, lower - upper);
            // Moved by a fraction of a pixel, the shadow is sampled into the pixels the move reaches.
            double shadowLeft = std::floor(left + offsetX), shadowUpper = std::floor(upper + offsetY);
            cairo_rectangle(cr, shadowLeft, shadowUpper, std::ceil(right + offsetX) - shadowLeft, std::ceil(lower + offsetY) - shadowUpper);
            x = end;
        }
    }
    cairo_clip(cr);
    cairo_set_matrix(cr, &userSpace);
}

bool hasShadow(CGContext& context)
{
    const auto& color = context.state().shadow.color;
    return color && color->deviceRGBA()[3] > 0;
}

}

void drawWithShadow(CGContext& context, const std::function<void()>& draw)
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
    cairo_surface_t* group = nullptr;
    if (cairo_pattern_get_surface(shape, &group) == CAIRO_STATUS_SUCCESS) {
        size_t radius = blurRadius(context);
        // The offset is in base units and device pixels run y down: no CTM enters here.
        double offsetX = context.state().shadow.offset.width * context.baseScale;
        double offsetY = context.state().shadow.offset.height * context.baseScale;
        if (!radius && boundedBySource(cairo_get_operator(cr)))
            clipToDrawnParts(cr, group, offsetX, offsetY);
        paintShadow(context, group, radius, offsetX, offsetY);
    }
    cairo_set_source(cr, shape);
    cairo_paint(cr);
    cairo_pattern_destroy(shape);
    cairo_restore(cr);
}

}
