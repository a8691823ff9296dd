#pragma once

#include "CoreGraphics/CGImage.h"
#include "ImageIO/DecodedPhoto.h"
#include "ImageIO/ImageProperties.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ImageIO {

// Every entry point picks the format by the bytes' signature (PNG, JPEG, HEIC), whatever the
// file is called, and answers nothing for an unknown format or a damaged file.

[[nodiscard]] std::optional<ImageFormat> imageFormat(std::span<const std::uint8_t> bytes);

// Size, orientation and date, without decoding the pixels.
[[nodiscard]] std::optional<ImageProperties> readImageProperties(std::span<const std::uint8_t> bytes);

// The stored pixels, unturned.
[[nodiscard]] CGImageRef decodeImage(std::span<const std::uint8_t> bytes);

// For thumbnails: a JPEG at the smallest of libjpeg-turbo's reductions, an HEIC's smallest
// thumbnail, whose width and height both stay at least minimumSide; a PNG, or a picture with
// no reduction that large, whole.
[[nodiscard]] CGImageRef decodeImageFittingSide(std::span<const std::uint8_t> bytes, size_t minimumSide);

// The pixels with the file's properties, reduced as decodeImageFittingSide does.
[[nodiscard]] std::optional<DecodedPhoto> decodePhoto(std::span<const std::uint8_t> bytes, size_t minimumSide = fullSize);

}
