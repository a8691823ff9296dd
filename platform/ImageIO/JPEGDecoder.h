#pragma once

#include "CoreGraphics/CGImage.h"
#include "ImageIO/ImageProperties.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ImageIO {

[[nodiscard]] bool isJPEG(std::span<const std::uint8_t> bytes);

// The stored size from the frame header, the orientation and date from EXIF; nullopt when the
// header does not read or the size is over the decoders' limits.
[[nodiscard]] std::optional<ImageProperties> readJPEGProperties(std::span<const std::uint8_t> bytes);

// Baseline, progressive and arithmetic-coded 8-bit JPEGs, greyscale or colour; CMYK and YCCK
// are converted to RGB the way Adobe's inverted files need, without a colour profile.
// Pixels come out as stored (the EXIF orientation is not applied). The result is the
// smallest of libjpeg-turbo's reductions (1/8, 2/8 … 8/8) whose width and height are both
// at least minimumSide; fullSize decodes every pixel. nullptr for anything that is not a
// complete, intact JPEG within CGImage::maximumPixelCount and maximumImageDimension,
// including 12-bit files, which this libjpeg-turbo does not decode.
[[nodiscard]] CGImageRef decodeJPEG(std::span<const std::uint8_t> bytes, size_t minimumSide = fullSize);

}
