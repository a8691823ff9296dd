#pragma once

#include "CoreGraphics/CGImage.h"
#include "ImageIO/ImageProperties.h"

#include <cstdint>
#include <optional>
#include <span>

namespace ImageIO {

// An ISO base media file whose "ftyp" box names an HEVC-coded HEIF brand, as its major brand
// or, behind the structural "mif1"/"msf1", among its compatible ones.
[[nodiscard]] bool isHEIC(std::span<const std::uint8_t> bytes);

// The primary image's size with the file's own turns and mirrors applied, orientation Up,
// the date from its EXIF block.
[[nodiscard]] std::optional<ImageProperties> readHEICProperties(std::span<const std::uint8_t> bytes);

// The primary image, 8 bits per component, with the rotation, mirroring and cropping the file
// records applied by libheif; the EXIF orientation is therefore never applied again. When the
// file holds a thumbnail whose width and height are both at least minimumSide, the smallest
// such thumbnail is decoded instead. nullptr for anything that is not a complete, intact HEIC
// within CGImage::maximumPixelCount and maximumImageDimension.
[[nodiscard]] CGImageRef decodeHEIC(std::span<const std::uint8_t> bytes, size_t minimumSide = fullSize);

}
