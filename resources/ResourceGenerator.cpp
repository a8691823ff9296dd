// Draws the project's own pictures. Run at build time; writes PNG files into
// the folder given on the command line.

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

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

    cairo_arc(cr, width * 0.72, height * 0.42, height * 0.13, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1.0, 0.93, 0.55, 1);
    cairo_fill(cr);

    const double hills[][4] = { { 0.30, 0.55, 0.22, 0.45 }, { 0.50, 0.68, 0.35, 0.55 }, { 0.70, 0.80, 0.18, 0.35 } };
    for (const auto& hill : hills) {
        double top = height * hill[0];
        cairo_move_to(cr, 0, height);
        for (int i = 0; i <= 64; ++i) {
            double x = width * i / 64.0;
            double y = top + height * 0.06 * std::sin(x / width * 2 * M_PI * hill[1] * 3 + hill[0] * 10);
            cairo_line_to(cr, x, y + height * 0.25 * (1 - hill[1]));
        }
        cairo_line_to(cr, width, height);
        cairo_close_path(cr);
        cairo_set_source_rgba(cr, hill[2] * 0.6, hill[1] * 0.75, hill[3] * 0.6, 1);
        cairo_fill(cr);
    }
}

bool writePicture(const std::string& folder, const char* name, int width, int height, void (*draw)(cairo_t*, double, double))
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    draw(cr, width, height);
    cairo_destroy(cr);
    std::string path = folder + "/" + name;
    bool written = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    if (!written)
        std::fprintf(stderr, "tessary8-resources: cannot write %s\n", path.c_str());
    return written;
}

}

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr, "usage: tessary8-resources FOLDER\nDraws the project's pictures as PNG files into FOLDER.\n");
        return argc == 2 ? 0 : 2;
    }
    std::string folder = argv[1];
    // 640 × 540: two pixels per point over a 320-point-wide, 270-point-high crop frame.
    return writePicture(folder, "demo-backdrop.png", 640, 540, drawDemoBackdrop) ? 0 : 1;
}
