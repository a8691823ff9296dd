#pragma once

// Photo files made for tests and fuzzing seeds with the libraries' own encoders: JPEGs by
// libjpeg-turbo's compressor, EXIF blocks by libexif, HEICs by libheif's encoder.

#include "CoreGraphics/CGImage.h"
#include "ImageIO/CGImagePropertyOrientation.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace PhotoSamples {

using Bytes = std::vector<std::uint8_t>;

// Opaque blue, with a red square in the stored top-left corner and a green one in the
// top-right, each a quarter of the height on a side. A width that is a multiple of 8 and a
// height that is a multiple of 32 keep every colour edge on a JPEG block edge.
[[nodiscard]] CGImageRef cornerPicture(size_t width, size_t height);

struct JPEGOptions {
    bool progressive = false;
    bool greyscale = false;
    bool subsampled = false; // 4:2:0 rather than 4:4:4
    int quality = 95;
};
[[nodiscard]] Bytes encodeJPEG(const CGImage&, const JPEGOptions& = {});
// Four bytes per pixel in Adobe's inverted sense (255 is no ink); stored as YCCK.
[[nodiscard]] Bytes encodeCMYKJPEG(size_t width, size_t height, const Bytes& cmyk);

struct EXIFFields {
    std::optional<std::uint16_t> orientation;
    std::string dateTimeOriginal; // 19 characters when present, as EXIF writes them
    std::string dateTime;
    bool bigEndian = false;
};
// "Exif\0\0" and a TIFF structure, as a JPEG's APP1 segment carries it.
[[nodiscard]] Bytes exifBlock(const EXIFFields&);
// The JPEG with the block in an APP1 segment right after its start.
[[nodiscard]] Bytes withEXIF(const Bytes& jpeg, const EXIFFields&);

// The offset of the frame header's length field (after the SOFn marker); 0 when there is none.
[[nodiscard]] size_t frameHeaderOffset(const Bytes& jpeg);
// The JPEG with its frame header claiming another size or sample precision.
[[nodiscard]] Bytes withFrameSize(Bytes jpeg, std::uint16_t width, std::uint16_t height);
[[nodiscard]] Bytes withFramePrecision(Bytes jpeg, std::uint8_t bits);

struct HEICOptions {
    CGImagePropertyOrientation orientation = kCGImagePropertyOrientationUp; // stored as the file's own turns
    std::optional<EXIFFields> exif;
    int thumbnailSide = 0; // a thumbnail fitting a square this size, when nonzero
    bool alpha = false;
    size_t xmpSize = 0; // an XMP block of this many bytes, when nonzero: a large file made cheaply
};
// nullopt when this libheif has no HEVC encoder.
[[nodiscard]] std::optional<Bytes> encodeHEIC(const CGImage&, const HEICOptions& = {});

}
