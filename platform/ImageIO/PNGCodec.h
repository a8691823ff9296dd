#pragma once

#include "CoreGraphics/CGImage.h"
#include "ImageIO/ImageProperties.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ImageIO {

inline constexpr std::uint32_t maximumPNGDimension = maximumImageDimension;

[[nodiscard]] bool isPNG(std::span<const std::uint8_t> bytes);

// The stored size from IHDR, orientation Up, no date; nullopt when the header does not read
// or the size is over the decoder's limits.
[[nodiscard]] std::optional<ImageProperties> readPNGProperties(std::span<const std::uint8_t> bytes);

// Any colour type, bit depth and interlacing; pixels come out as stored (gAMA, cHRM and
// iCCP are not applied). nullptr for anything that is not a complete, intact PNG within
// CGImage::maximumPixelCount and maximumPNGDimension.
[[nodiscard]] CGImageRef decodePNG(std::span<const std::uint8_t> bytes);

// zlib levels 6, 1 and 0 (stored blocks), each with the encoder's adaptive filtering (none
// for stored blocks); FastUp is level 1 with every row filtered "up", which encodes fast and
// decodes fast (a reader undoes one cheap filter), at some cost in size.
enum class PNGCompression { Default, Fast, FastUp, None };

// 8-bit RGBA with straight alpha (colour type 6), not interlaced.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodePNG(const CGImage&, PNGCompression = PNGCompression::Default);

}
