#pragma once

#include "CoreGraphics/CGImage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace ImageIO {

// Larger PNGs are refused: Cairo cannot make an image surface wider or taller than this.
inline constexpr std::uint32_t maximumPNGDimension = 32767;

[[nodiscard]] bool isPNG(std::span<const std::uint8_t> bytes);

// Any colour type, bit depth and interlacing; pixels come out as stored (gAMA, cHRM and
// iCCP are not applied). nullptr for anything that is not a complete, intact PNG within
// CGImage::maximumPixelCount and maximumPNGDimension.
[[nodiscard]] CGImageRef decodePNG(std::span<const std::uint8_t> bytes);

// zlib levels 6, 1 and 0 (stored blocks).
enum class PNGCompression { Default, Fast, None };

// 8-bit RGBA with straight alpha (colour type 6), not interlaced.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> encodePNG(const CGImage&, PNGCompression = PNGCompression::Default);

}
