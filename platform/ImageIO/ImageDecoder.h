#pragma once

#include "CoreGraphics/CGImage.h"

#include <cstdint>
#include <span>

namespace ImageIO {

// Decodes the bytes in whichever supported format their signature names, whatever the
// file is called; nullptr for an unknown format or a damaged file.
[[nodiscard]] CGImageRef decodeImage(std::span<const std::uint8_t> bytes);

}
