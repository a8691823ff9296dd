// The small pictures the picker's controls are built from: the knob, the transparency
// checkerboard and the selection mark.

#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Pictures {

namespace {

void addCircle(cairo_t* cr, double x, double y, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * std::numbers::pi);
}

// The space between two circles about one centre.
void fillRing(cairo_t* cr, double x, double y, double inner, double outer)
{
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    addCircle(cr, x, y, outer);
    addCircle(cr, x, y, inner);
    cairo_fill(cr);
    cairo_restore(cr);
}

// A shadow that fades out between two radii, cast a little below the shape.
void softShadow(cairo_t* cr, double x, double y, double from, double to, double opacity)
{
    cairo_pattern_t* shadow = cairo_pattern_create_radial(x, y, from, x, y, to);
    cairo_pattern_add_color_stop_rgba(shadow, 0, 0, 0, 0, opacity);
    cairo_pattern_add_color_stop_rgba(shadow, 1, 0, 0, 0, 0);
    cairo_set_source(cr, shadow);
    addCircle(cr, x, y, to);
    cairo_fill(cr);
    cairo_pattern_destroy(shadow);
}

}

// A white ring with dark edges, hollow so the chosen colour shows through. The dark
// edges keep it visible on the white middle of the wheel, the white on dark ramps.
void drawKnob(cairo_t* cr, double width, double height)
{
    const double x = width / 2, y = height / 2;
    const double outer = std::min(width, height) / 2 - 2;
    const double inner = outer - 3.5;

    // The shadow only peeks out around the ring, never into the hole.
    cairo_save(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    addCircle(cr, x, y, outer + 2);
    addCircle(cr, x, y, outer - 0.5);
    cairo_clip(cr);
    softShadow(cr, x, y + 0.8, outer - 1.5, outer + 1.9, 0.45);
    cairo_restore(cr);

    cairo_set_source_rgba(cr, 0.15, 0.15, 0.18, 0.75);
    fillRing(cr, x, y, inner, outer);
    cairo_set_source_rgb(cr, 1, 1, 1);
    fillRing(cr, x, y, inner + 0.75, outer - 0.75);
}

// Two light greys in a 2 × 2 grid of squares, so that tiles laid side by side continue it.
void drawCheckerboard(cairo_t* cr, double width, double height)
{
    const double squareWidth = width / 2, squareHeight = height / 2;
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0.8, 0.8, 0.82);
    cairo_rectangle(cr, squareWidth, 0, squareWidth, squareHeight);
    cairo_rectangle(cr, 0, squareHeight, squareWidth, squareHeight);
    cairo_fill(cr);
}

// A white tick on a blue disc with a white rim and a soft shadow, readable on any colour.
void drawCheckmark(cairo_t* cr, double width, double height)
{
    const double x = width / 2, y = height / 2;
    const double unit = std::min(width, height) / 22;
    const double rim = 9.6 * unit;

    softShadow(cr, x, y + 0.7 * unit, rim - 1.5 * unit, rim + 1.3 * unit, 0.4);

    cairo_set_source_rgb(cr, 1, 1, 1);
    addCircle(cr, x, y, rim);
    cairo_fill(cr);

    cairo_pattern_t* disc = cairo_pattern_create_linear(0, y - rim, 0, y + rim);
    cairo_pattern_add_color_stop_rgb(disc, 0, 0.25, 0.62, 1.0);
    cairo_pattern_add_color_stop_rgb(disc, 1, 0.0, 0.40, 0.88);
    cairo_set_source(cr, disc);
    addCircle(cr, x, y, rim - 1.5 * unit);
    cairo_fill(cr);
    cairo_pattern_destroy(disc);

    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 2.1 * unit);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, x - 4.4 * unit, y + 0.2 * unit);
    cairo_line_to(cr, x - 1.3 * unit, y + 3.2 * unit);
    cairo_line_to(cr, x + 4.5 * unit, y - 3.3 * unit);
    cairo_stroke(cr);
}

}
