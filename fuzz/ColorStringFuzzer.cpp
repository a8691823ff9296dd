#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace X = UIColor_Expanded;

// A colour read from brace text writes out as text that reads back as the same
// colour, so the second text equals the first.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    auto color = X::colorWithString({ reinterpret_cast<const char*>(data), size });
    if (!color)
        return 0;
    auto model = X::colorSpaceModel(color);
    if (model != kCGColorSpaceModelRGB && model != kCGColorSpaceModelMonochrome)
        std::abort();
    auto array = X::arrayFromRGBAComponents(color);
    if (!array)
        std::abort();
    for (CGFloat component : *array) {
        // The scanner reads no "inf" back, so overflowed numbers end the check here.
        if (!std::isfinite(component))
            return 0;
    }
    auto text = X::stringFromColor(color);
    if (!text)
        std::abort();
    auto again = X::colorWithString(*text);
    if (!again || X::colorSpaceModel(again) != model || X::stringFromColor(again) != text)
        std::abort();
    return 0;
}
