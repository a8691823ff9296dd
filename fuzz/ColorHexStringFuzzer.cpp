#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"

#include <cstdint>
#include <cstdlib>

namespace X = UIColor_Expanded;

// A colour read from hexadecimal text is opaque RGB or RGBA with byte-sized
// components, and its own hexadecimal text reads back as the same colour.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    auto color = X::colorWithHexString({ reinterpret_cast<const char*>(data), size });
    if (!color)
        return 0;
    if (X::colorSpaceModel(color) != kCGColorSpaceModelRGB)
        std::abort();
    std::uint32_t value = X::rgbaHex(color);
    auto again = X::colorWithHexString(X::hexStringFromColor(color));
    if (!again || X::rgbaHex(again) != value)
        std::abort();
    return 0;
}
