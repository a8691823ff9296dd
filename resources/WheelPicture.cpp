// The hue–saturation wheel, computed pixel by pixel from the wheel's own mapping
// rather than approximated with gradients, so that picture and control agree.

#include "Pictures.h"
#include "WheelMapping.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace Pictures {

namespace {

struct PremultipliedColor {
    double red = 0, green = 0, blue = 0, alpha = 0;
};

PremultipliedColor colorAt(double x, double y, double side)
{
    const double radius = side / 2;
    if (std::hypot(x - radius, y - radius) > radius)
        return {};
    HueSaturation hs = wheelColorAt(static_cast<float>(x), static_cast<float>(y), static_cast<float>(side));
    RGBColor rgb = colorFromHSB(hs.hue, hs.saturation, 1);
    return { rgb.red, rgb.green, rgb.blue, 1 };
}

// Pixels that a circle of the mapping crosses (the rim, the edge of the white centre)
// are averaged over a grid of samples; every other pixel is its centre's colour exactly.
PremultipliedColor pixelColor(int column, int row, double scale, double side)
{
    const double pixel = 1 / scale;
    const double x = (column + 0.5) * pixel;
    const double y = (row + 0.5) * pixel;
    const double distance = std::hypot(x - side / 2, y - side / 2);
    const bool nearRim = std::abs(distance - side / 2) < pixel;
    const bool nearDeadZone = std::abs(distance - wheelDeadZoneRadius) < pixel;
    if (!nearRim && !nearDeadZone)
        return colorAt(x, y, side);

    constexpr int samples = 4;
    PremultipliedColor sum;
    for (int j = 0; j < samples; ++j) {
        for (int i = 0; i < samples; ++i) {
            PremultipliedColor c = colorAt((column + (i + 0.5) / samples) * pixel, (row + (j + 0.5) / samples) * pixel, side);
            sum.red += c.red;
            sum.green += c.green;
            sum.blue += c.blue;
            sum.alpha += c.alpha;
        }
    }
    constexpr double count = samples * samples;
    return { sum.red / count, sum.green / count, sum.blue / count, sum.alpha / count };
}

std::uint32_t packed(const PremultipliedColor& c)
{
    auto byte = [](double component) { return static_cast<std::uint32_t>(std::lround(std::clamp(component, 0.0, 1.0) * 255)); };
    return byte(c.alpha) << 24 | byte(c.red) << 16 | byte(c.green) << 8 | byte(c.blue);
}

}

void drawColorWheel(cairo_t* cr, double width, double)
{
    cairo_surface_t* surface = cairo_get_target(cr);
    cairo_surface_flush(surface);
    const int columns = cairo_image_surface_get_width(surface);
    const int rows = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || columns <= 0)
        return;
    const double scale = columns / width;
    for (int row = 0; row < rows; ++row) {
        auto* line = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(row) * stride);
        for (int column = 0; column < columns; ++column)
            line[column] = packed(pixelColor(column, row, scale, width));
    }
    cairo_surface_mark_dirty(surface);
}

}
