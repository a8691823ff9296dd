// Writes seed files for the JPEG and HEIC fuzzers, made by the libraries' own encoders:
// tessary8-photo-seeds FOLDER writes FOLDER/fuzz_JPEG/* and FOLDER/fuzz_HEIC/*.

#include "PhotoSamples.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace PhotoSamples;

namespace {

bool write(const std::filesystem::path& file, const Bytes& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tessary8-photo-seeds FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder / "fuzz_JPEG");
    std::filesystem::create_directories(folder / "fuzz_HEIC");
    auto picture = cornerPicture(48, 32);
    const EXIFFields exif { 6, "2020:06:01 12:00:00", "2021:01:02 03:04:05", false };
    Bytes cmyk;
    for (size_t i = 0; i < 16 * 8; ++i)
        cmyk.insert(cmyk.end(), { static_cast<std::uint8_t>(i * 2), 255, static_cast<std::uint8_t>(255 - i), 200 });

    bool ok = write(folder / "fuzz_JPEG/baseline.jpg", encodeJPEG(*picture, { false, false, true, 80 }))
        && write(folder / "fuzz_JPEG/progressive.jpg", encodeJPEG(*picture, { true, false, true, 80 }))
        && write(folder / "fuzz_JPEG/grey.jpg", encodeJPEG(*picture, { false, true, false, 80 }))
        && write(folder / "fuzz_JPEG/ycck.jpg", encodeCMYKJPEG(16, 8, cmyk))
        && write(folder / "fuzz_JPEG/exif.jpg", withEXIF(encodeJPEG(*picture, { false, false, true, 50 }), exif));
    if (auto heic = encodeHEIC(*picture, { kCGImagePropertyOrientationRight, exif, 16, false, 0 }))
        ok = write(folder / "fuzz_HEIC/turned.heic", *heic) && ok;
    else
        std::fprintf(stderr, "tessary8-photo-seeds: this libheif has no HEVC encoder; no HEIC seeds\n");
    return ok ? 0 : 1;
}
