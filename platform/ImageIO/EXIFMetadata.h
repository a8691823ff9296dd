#pragma once

#include "ImageIO/CGImagePropertyOrientation.h"
#include "ImageIO/EXIFDateTime.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ImageIO {

// The EXIF tags the photo library needs, read with libexif. A missing, damaged or
// out-of-range tag reads as its default; nothing here fails.
struct EXIFMetadata {
    CGImagePropertyOrientation orientation = kCGImagePropertyOrientationUp;
    // DateTimeOriginal, else DateTime.
    std::optional<EXIFDateTime> dateTaken;

    // From a JPEG file's APP1 segment.
    [[nodiscard]] static EXIFMetadata fromJPEG(std::span<const std::uint8_t> jpeg);
    // From a TIFF-structured EXIF block, as HEIF files store it.
    [[nodiscard]] static EXIFMetadata fromTIFF(std::span<const std::uint8_t> tiff);
};

}
