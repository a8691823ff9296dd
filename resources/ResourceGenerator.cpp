// Draws the project's own pictures. Run at build time; writes them into the folder
// given on the command line: every bundle image as name.png and name@2x.png, and the
// demo landscapes once each.

#include "Pictures.h"

#include <bit>
#include <cairo.h>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <turbojpeg.h>
#include <vector>

namespace {

using namespace Pictures;

struct Picture {
    const char* name; // without the extension
    double width; // points
    double height;
    DrawFunction draw;
};

const Picture bundlePictures[] = {
    { "pickerColorWheel", 240, 240, drawColorWheel },
    // Of even size, so that a knob origin on whole points puts its centre on whole points too.
    { "colorPickerKnob", 24, 24, drawKnob },
    { "checkerboard", 12, 12, drawCheckerboard },
    { "MNColorViewCheckmark", 22, 22, drawCheckmark },
    { "xz_tsb", 30, 30, drawColorTabIcon },
    { "wxz_tsb", 30, 30, drawColorTabIconSelected },
    { "xz_pic", 30, 30, drawImageTabIcon },
    { "wxz_pic", 30, 30, drawImageTabIconSelected },
    { "twitter_icon", 50, 50, drawFollowBadge },
};

// Two pixels per point over the 320 × 270 crop frame.
const Picture demoBackdrop { "demo-backdrop", 640, 540, drawDemoBackdrop };
const Picture demoPhoto { "DemoPNG", 960, 720, drawDemoPhoto };

void report(const std::string& path, const char* problem)
{
    std::fprintf(stderr, "tessary8-resources: cannot write %s: %s\n", path.c_str(), problem);
}

// nullptr (reported) when Cairo cannot make or draw the surface.
cairo_surface_t* render(const Picture& picture, double scale, const std::string& path)
{
    const int width = static_cast<int>(std::lround(picture.width * scale));
    const int height = static_cast<int>(std::lround(picture.height * scale));
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    picture.draw(cr, picture.width, picture.height);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_surface_status(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        report(path, cairo_status_to_string(status));
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

bool writePNG(const Picture& picture, double scale, const std::string& path)
{
    cairo_surface_t* surface = render(picture, scale, path);
    if (!surface)
        return false;
    cairo_status_t status = cairo_surface_write_to_png(surface, path.c_str());
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS)
        report(path, cairo_status_to_string(status));
    return status == CAIRO_STATUS_SUCCESS;
}

bool writeJPEG(const Picture& picture, const std::string& path)
{
    cairo_surface_t* surface = render(picture, 1, path);
    if (!surface)
        return false;
    // Cairo's pixels are native 32-bit words; the photo is opaque, so the alpha byte is ignored.
    const int pixelFormat = std::endian::native == std::endian::little ? TJPF_BGRX : TJPF_XRGB;
    tjhandle compressor = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    bool written = false;
    if (!compressor)
        report(path, "no JPEG compressor");
    else if (tjCompress2(compressor, cairo_image_surface_get_data(surface), cairo_image_surface_get_width(surface),
                 cairo_image_surface_get_stride(surface), cairo_image_surface_get_height(surface), pixelFormat, &jpeg, &size, TJSAMP_420, 90,
                 TJFLAG_ACCURATEDCT)
        != 0)
        report(path, tjGetErrorStr2(compressor));
    else if (FILE* file = std::fopen(path.c_str(), "wb")) {
        written = std::fwrite(jpeg, 1, size, file) == size;
        written = std::fclose(file) == 0 && written;
        if (!written)
            report(path, std::strerror(errno));
    } else
        report(path, std::strerror(errno));
    tjFree(jpeg);
    if (compressor)
        tjDestroy(compressor);
    cairo_surface_destroy(surface);
    return written;
}

}

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr,
            "usage: tessary8-resources FOLDER\n"
            "Draws the project's pictures into FOLDER, which must exist: the bundle images as\n"
            "NAME.png and NAME@2x.png, the demo backdrop, and the demo photo as a JPEG.\n");
        return argc == 2 ? 0 : 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    for (const Picture& picture : bundlePictures) {
        ok = writePNG(picture, 1, folder + "/" + picture.name + ".png") && ok;
        ok = writePNG(picture, 2, folder + "/" + picture.name + "@2x.png") && ok;
    }
    ok = writePNG(demoBackdrop, 1, folder + "/" + demoBackdrop.name + ".png") && ok;
    ok = writeJPEG(demoPhoto, folder + "/" + demoPhoto.name + ".jpg") && ok;
    return ok ? 0 : 1;
}
