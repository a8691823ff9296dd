// The application's icons: the two tab bar items in their normal and selected looks,
// and the follow button's badge.
//
// Tab icons are single-colour shapes on transparency, grey when normal and blue when
// selected, so they also read right if the tab bar tints them by their alpha alone.

#include "Pictures.h"

#include <numbers>

namespace Pictures {

namespace {

constexpr double pi = std::numbers::pi;

struct Tint {
    double red, green, blue;
};
constexpr Tint normalTint { 0.56, 0.56, 0.58 };
constexpr Tint selectedTint { 0.0, 0.48, 1.0 };

void addCircle(cairo_t* cr, double x, double y, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * pi);
}

void addRoundedRect(cairo_t* cr, double x, double y, double width, double height, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + width - radius, y + radius, radius, -pi / 2, 0);
    cairo_arc(cr, x + width - radius, y + height - radius, radius, 0, pi / 2);
    cairo_arc(cr, x + radius, y + height - radius, radius, pi / 2, pi);
    cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

// Holes are cut with CLEAR inside a group, so what lies under the icon shows through them.
void beginShape(cairo_t* cr, Tint tint)
{
    cairo_push_group(cr);
    cairo_set_source_rgb(cr, tint.red, tint.green, tint.blue);
}

void cut(cairo_t* cr)
{
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_restore(cr);
}

void endShape(cairo_t* cr)
{
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
}

// A painter's palette: a round board with a bite out of its edge, a thumb hole and four
// blobs of paint. The icons are laid out on a 30-point grid and scaled to the picture.
namespace Palette {
constexpr double boardX = 15, boardY = 15, boardRadius = 12.5;
constexpr double biteX = 24.5, biteY = 23.5, biteRadius = 4;
constexpr double thumbX = 16.5, thumbY = 18, thumbRadius = 2.1;
constexpr double blobs[][2] = { { 8.2, 16.5 }, { 9.5, 10 }, { 15, 7.3 }, { 20.3, 9.3 } };
constexpr double blobRadius = 2.3;
constexpr double line = 1.6;
}

void drawPalette(cairo_t* cr, double width, double height, bool selected)
{
    using namespace Palette;
    cairo_save(cr);
    cairo_scale(cr, width / 30, height / 30);
    beginShape(cr, selected ? selectedTint : normalTint);
    addCircle(cr, boardX, boardY, boardRadius);
    cairo_fill(cr);
    addCircle(cr, biteX, biteY, biteRadius);
    cut(cr);
    if (selected) {
        addCircle(cr, thumbX, thumbY, thumbRadius);
        for (auto& blob : blobs)
            addCircle(cr, blob[0], blob[1], blobRadius);
        cut(cr);
    } else {
        // Hollow out the board, leaving an outline that also follows the bite.
        cairo_save(cr);
        addCircle(cr, boardX, boardY, boardRadius - line);
        cairo_clip(cr);
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_rectangle(cr, 0, 0, 30, 30);
        addCircle(cr, biteX, biteY, biteRadius + line);
        cut(cr);
        cairo_restore(cr);
        cairo_set_line_width(cr, line);
        addCircle(cr, thumbX, thumbY, thumbRadius);
        cairo_stroke(cr);
        for (auto& blob : blobs)
            addCircle(cr, blob[0], blob[1], blobRadius - 0.3);
        cairo_fill(cr);
    }
    endShape(cr);
    cairo_restore(cr);
}

// A framed photo of a mountain under the sun, on the same 30-point grid.
void addMountains(cairo_t* cr)
{
    cairo_move_to(cr, 5.5, 21.8);
    cairo_line_to(cr, 11.5, 13.8);
    cairo_line_to(cr, 15.5, 18.2);
    cairo_line_to(cr, 18.8, 15);
    cairo_line_to(cr, 24.5, 21.8);
    cairo_close_path(cr);
}

void drawPhoto(cairo_t* cr, double width, double height, bool selected)
{
    cairo_save(cr);
    cairo_scale(cr, width / 30, height / 30);
    beginShape(cr, selected ? selectedTint : normalTint);
    if (selected) {
        addRoundedRect(cr, 2.5, 5.5, 25, 19, 3);
        cairo_fill(cr);
        addCircle(cr, 20, 11, 2.3);
        addMountains(cr);
        cut(cr);
    } else {
        cairo_set_line_width(cr, 1.6);
        addRoundedRect(cr, 3.3, 6.3, 23.4, 17.4, 2.4);
        cairo_stroke(cr);
        addCircle(cr, 20, 11, 2.1);
        addMountains(cr);
        cairo_fill(cr);
    }
    endShape(cr);
    cairo_restore(cr);
}

}

void drawColorTabIcon(cairo_t* cr, double width, double height) { drawPalette(cr, width, height, false); }
void drawColorTabIconSelected(cairo_t* cr, double width, double height) { drawPalette(cr, width, height, true); }
void drawImageTabIcon(cairo_t* cr, double width, double height) { drawPhoto(cr, width, height, false); }
void drawImageTabIconSelected(cairo_t* cr, double width, double height) { drawPhoto(cr, width, height, true); }

// A sky-blue badge with a person and a plus: "follow", in no network's own colours or marks.
void drawFollowBadge(cairo_t* cr, double width, double height)
{
    cairo_save(cr);
    cairo_scale(cr, width / 50, height / 50);

    addRoundedRect(cr, 1, 1, 48, 48, 11);
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 1, 0, 49);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.36, 0.76, 0.99);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.09, 0.53, 0.92);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(face);
    // A faint light edge lifts the badge off a blue background.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);

    cairo_set_source_rgb(cr, 1, 1, 1);
    addCircle(cr, 20, 18.5, 6.3);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 20, 38);
    cairo_scale(cr, 12, 10);
    cairo_arc(cr, 0, 0, 1, pi, 2 * pi);
    cairo_close_path(cr);
    cairo_restore(cr);
    cairo_fill(cr);

    cairo_set_line_width(cr, 3.4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 36.5, 15.5);
    cairo_line_to(cr, 36.5, 26.5);
    cairo_move_to(cr, 31, 21);
    cairo_line_to(cr, 42, 21);
    cairo_stroke(cr);

    cairo_restore(cr);
}

}
