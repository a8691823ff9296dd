// Landscapes for the picture side: a keyboard-sized backdrop, and the photo the image
// tab shows before the user has chosen one of their own.

#include "Pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <vector>

namespace Pictures {

namespace {

constexpr double pi = std::numbers::pi;

// A fixed sequence, so the photo comes out the same on every build.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : m_state(seed) { }
    // Uniform in -1..1.
    double next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state / 2147483647.5 - 1;
    }

private:
    std::uint32_t m_state;
};

struct Peak {
    double x; // fraction of the width
    double height; // fraction of the picture's height
    double spread; // half-width at the foot, fraction of the width
};

// A mountain range: heights above the base line at 2^levels + 1 evenly spaced points.
// The peaks give its shape; midpoint displacement roughens the slopes.
std::vector<double> range(Noise& noise, int levels, double pictureHeight, std::initializer_list<Peak> peaks, double roughness)
{
    const size_t count = (size_t(1) << levels) + 1;
    std::vector<double> detail(count);
    double spread = pictureHeight * roughness;
    for (size_t step = count - 1; step > 1; step /= 2) {
        for (size_t i = step / 2; i < count; i += step)
            detail[i] = (detail[i - step / 2] + detail[i + step / 2]) / 2 + spread * noise.next();
        spread /= 2;
    }
    std::vector<double> heights(count);
    for (size_t i = 0; i < count; ++i) {
        const double x = double(i) / (count - 1);
        double shape = 0;
        for (const Peak& peak : peaks) {
            const double fall = std::abs(x - peak.x) / peak.spread;
            shape = std::max(shape, peak.height * (1 - fall * fall * (3 - 2 * std::min(fall, 1.0))) * (fall < 1));
        }
        heights[i] = std::max(0.0, pictureHeight * shape + detail[i]);
    }
    return heights;
}

void addRidge(cairo_t* cr, const std::vector<double>& heights, double width, double base, double bottom)
{
    cairo_move_to(cr, 0, bottom);
    for (size_t i = 0; i < heights.size(); ++i)
        cairo_line_to(cr, width * i / (heights.size() - 1), base - heights[i]);
    cairo_line_to(cr, width, bottom);
    cairo_close_path(cr);
}

void fillVertical(cairo_t* cr, double top, double bottom, std::initializer_list<std::array<double, 4>> stops)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, top, 0, bottom);
    for (auto& stop : stops)
        cairo_pattern_add_color_stop_rgb(gradient, stop[0], stop[1], stop[2], stop[3]);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

// Overlapping soft puffs, highest in the middle, cut flat underneath.
void drawCloud(cairo_t* cr, double x, double y, double size, Noise& noise)
{
    cairo_save(cr);
    cairo_rectangle(cr, x - size * 2, y - size * 2, size * 4, size * 2 + size * 0.12);
    cairo_clip(cr);
    constexpr int puffs = 9;
    for (int puff = 0; puff < puffs; ++puff) {
        const double along = (puff - (puffs - 1) / 2.0) / ((puffs - 1) / 2.0);
        const double px = x + size * 0.85 * along + size * 0.05 * noise.next();
        const double py = y - size * 0.22 * (1 - along * along) + size * 0.04 * noise.next();
        const double r = size * (0.34 - 0.14 * std::abs(along));
        cairo_pattern_t* puffGlow = cairo_pattern_create_radial(px, py - r * 0.2, 0, px, py, r);
        cairo_pattern_add_color_stop_rgba(puffGlow, 0, 1, 1, 1, 0.5);
        cairo_pattern_add_color_stop_rgba(puffGlow, 0.55, 1, 0.98, 0.96, 0.3);
        cairo_pattern_add_color_stop_rgba(puffGlow, 1, 1, 0.96, 0.94, 0);
        cairo_set_source(cr, puffGlow);
        cairo_arc(cr, px, py, r, 0, 2 * pi);
        cairo_fill(cr);
        cairo_pattern_destroy(puffGlow);
    }
    cairo_restore(cr);
}

void drawFir(cairo_t* cr, double x, double ground, double height, double shade)
{
    cairo_set_source_rgb(cr, 0.25 * shade, 0.17 * shade, 0.1 * shade);
    cairo_rectangle(cr, x - height * 0.025, ground - height * 0.12, height * 0.05, height * 0.12);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.08 * shade, 0.26 * shade, 0.16 * shade);
    for (int tier = 0; tier < 4; ++tier) {
        double bottom = ground - height * (0.1 + tier * 0.2);
        double half = height * (0.2 - tier * 0.035);
        cairo_move_to(cr, x - half, bottom);
        cairo_line_to(cr, x, bottom - height * 0.36);
        cairo_line_to(cr, x + half, bottom);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
}

}

// A keyboard-sized landscape: hills and a sun under a sky that fades out, so a
// colour background shows through the top while the picture covers the rest.
void drawDemoBackdrop(cairo_t* cr, double width, double height)
{
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, height * 0.6);
    cairo_pattern_add_color_stop_rgba(sky, 0, 1.0, 0.62, 0.35, 0.0);
    cairo_pattern_add_color_stop_rgba(sky, 1, 1.0, 0.78, 0.45, 0.95);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_set_source(cr, sky);
    cairo_fill(cr);
    cairo_pattern_destroy(sky);

    cairo_arc(cr, width * 0.72, height * 0.42, height * 0.13, 0, 2 * pi);
    cairo_set_source_rgba(cr, 1.0, 0.93, 0.55, 1);
    cairo_fill(cr);

    const double hills[][4] = { { 0.30, 0.55, 0.22, 0.45 }, { 0.50, 0.68, 0.35, 0.55 }, { 0.70, 0.80, 0.18, 0.35 } };
    for (const auto& hill : hills) {
        double top = height * hill[0];
        cairo_move_to(cr, 0, height);
        for (int i = 0; i <= 64; ++i) {
            double x = width * i / 64.0;
            double y = top + height * 0.06 * std::sin(x / width * 2 * pi * hill[1] * 3 + hill[0] * 10);
            cairo_line_to(cr, x, y + height * 0.25 * (1 - hill[1]));
        }
        cairo_line_to(cr, width, height);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, hill[2] * 0.6, hill[1] * 0.75, hill[3] * 0.6, 1);
        cairo_fill(cr);
    }
}

// Snowy peaks over a still lake in the late afternoon, firs on the near shore.
void drawDemoPhoto(cairo_t* cr, double width, double height)
{
    Noise noise(0x5eed1e5u);
    const double shore = height * 0.66;

    cairo_rectangle(cr, 0, 0, width, shore);
    fillVertical(cr, 0, shore, { { 0, 0.16, 0.36, 0.70 }, { 0.55, 0.52, 0.70, 0.88 }, { 1, 0.98, 0.84, 0.68 } });

    const double sunX = width * 0.7, sunY = height * 0.3;
    cairo_pattern_t* glow = cairo_pattern_create_radial(sunX, sunY, 0, sunX, sunY, width * 0.3);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 0.98, 0.88, 1);
    cairo_pattern_add_color_stop_rgba(glow, 0.08, 1, 0.95, 0.75, 0.9);
    cairo_pattern_add_color_stop_rgba(glow, 0.3, 1, 0.86, 0.6, 0.3);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.8, 0.6, 0);
    cairo_set_source(cr, glow);
    cairo_rectangle(cr, 0, 0, width, shore);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);

    drawCloud(cr, width * 0.24, height * 0.17, width * 0.17, noise);
    drawCloud(cr, width * 0.86, height * 0.12, width * 0.12, noise);

    // Far range, hazy, snow on its upper slopes; then a darker, lower range nearer by.
    const std::vector<double> far = range(noise, 8, height,
        { { 0.0, 0.14, 0.2 }, { 0.2, 0.24, 0.2 }, { 0.43, 0.33, 0.24 }, { 0.62, 0.25, 0.18 }, { 0.84, 0.29, 0.22 }, { 1.0, 0.16, 0.15 } }, 0.05);
    std::vector<double> snowLine(97);
    for (size_t i = 0; i < snowLine.size(); ++i)
        snowLine[i] = height * (0.2 + 0.012 * std::sin(i * 1.3) + 0.012 * noise.next());
    const std::vector<double> near = range(noise, 7, height, { { 0.12, 0.09, 0.3 }, { 0.5, 0.05, 0.25 }, { 0.9, 0.1, 0.3 } }, 0.02);
    auto drawMountains = [&] {
        addRidge(cr, far, width, shore, shore);
        cairo_save(cr);
        cairo_clip_preserve(cr);
        fillVertical(cr, shore - height * 0.34, shore, { { 0, 0.60, 0.64, 0.78 }, { 1, 0.40, 0.47, 0.62 } });
        cairo_move_to(cr, 0, 0);
        for (size_t i = 0; i < snowLine.size(); ++i)
            cairo_line_to(cr, width * i / (snowLine.size() - 1), shore - snowLine[i]);
        cairo_line_to(cr, width, 0);
        cairo_close_path(cr);
        fillVertical(cr, shore - height * 0.34, shore - height * 0.18, { { 0, 1.0, 0.98, 0.97 }, { 1, 0.84, 0.87, 0.94 } });
        cairo_restore(cr);
        addRidge(cr, near, width, shore, shore);
        fillVertical(cr, shore - height * 0.12, shore, { { 0, 0.25, 0.38, 0.40 }, { 1, 0.16, 0.28, 0.26 } });
    };
    drawMountains();

    // The lake mirrors the sky and, fading with depth, the mountains; ripples break it up.
    const double bank = height * 0.86;
    // Down past the bank's lowest dip, so no gap opens under the meadow's edge.
    cairo_rectangle(cr, 0, shore, width, bank - shore + height * 0.03);
    fillVertical(cr, shore, bank, { { 0, 0.84, 0.80, 0.76 }, { 0.5, 0.50, 0.64, 0.80 }, { 1, 0.18, 0.36, 0.58 } });
    cairo_save(cr);
    cairo_rectangle(cr, 0, shore, width, bank - shore);
    cairo_clip(cr);
    cairo_translate(cr, 0, 2 * shore);
    cairo_scale(cr, 1, -1);
    cairo_push_group(cr);
    drawMountains();
    cairo_pop_group_to_source(cr);
    // Mirrored too: the lake's depth runs upwards here.
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, shore, 0, 2 * shore - bank);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 0.75);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0.1);
    cairo_mask(cr, fade);
    cairo_pattern_destroy(fade);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    for (int i = 0; i < 40; ++i) {
        double y = shore + (bank - shore) * (i + 0.5) / 40;
        double x = width * (0.5 + 0.5 * noise.next());
        double length = width * (0.04 + 0.05 * std::abs(noise.next())) * (y - shore) / (bank - shore);
        cairo_rectangle(cr, x - length / 2, y, length, std::max(1.0, height * 0.002));
    }
    cairo_fill(cr);

    // Meadow along the near bank.
    cairo_move_to(cr, 0, bank + height * 0.02);
    for (int i = 0; i <= 32; ++i)
        cairo_line_to(cr, width * i / 32, bank + height * (0.012 * std::sin(i * 0.9) + 0.008 * noise.next()));
    cairo_line_to(cr, width, height);
    cairo_line_to(cr, 0, height);
    cairo_close_path(cr);
    fillVertical(cr, bank - height * 0.02, height, { { 0, 0.46, 0.62, 0.28 }, { 1, 0.20, 0.36, 0.14 } });

    const double firs[][3] = { { 0.04, 0.34, 0.85 }, { 0.10, 0.26, 1.0 }, { 0.15, 0.2, 0.9 }, { 0.86, 0.3, 0.95 }, { 0.93, 0.38, 0.8 },
        { 0.79, 0.18, 1.05 } };
    for (auto& fir : firs)
        drawFir(cr, width * fir[0], height * (0.9 + 0.08 * fir[1]), height * fir[1], fir[2]);
}

}
