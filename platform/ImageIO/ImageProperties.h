#pragma once

#include "ImageIO/CGImagePropertyOrientation.h"
#include "ImageIO/EXIFDateTime.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace ImageIO {

// Larger pictures are refused by every decoder: Cairo cannot make an image surface wider or taller.
inline constexpr std::uint32_t maximumImageDimension = 32767;

// Asks a decoder for every stored pixel: no reduction keeps a side this long.
inline constexpr size_t fullSize = SIZE_MAX;

enum class ImageFormat { PNG, JPEG, HEIC };

// What a picture file says about itself, read without decoding its pixels.
struct ImageProperties {
    ImageFormat format;
    // Of the stored pixels, before the orientation is applied.
    size_t width = 0;
    size_t height = 0;
    CGImagePropertyOrientation orientation = kCGImagePropertyOrientationUp;
    // EXIF DateTimeOriginal, else DateTime.
    std::optional<EXIFDateTime> dateTaken;
};

}
