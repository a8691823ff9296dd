#include "KZColorPicker/ColorPicker/UIColor-Expanded.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace X = UIColor_Expanded;

// The cache answers as the table does, the same object every time, and only
// for whole names of lower-case letters that the table holds.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::string_view name(reinterpret_cast<const char*>(data), size);
    auto cached = X::colorWithName(name);
    auto searched = UIColor_Expanded_Support::searchForColorByName(name);
    if (static_cast<bool>(cached) != static_cast<bool>(searched) || X::colorWithName(name) != cached)
        std::abort();
    if (!cached)
        return 0;
    if (X::rgbaHex(cached) != X::rgbaHex(searched))
        std::abort();
    for (char c : name) {
        if (c < 'a' || c > 'z')
            std::abort();
    }
    auto table = UIColor_Expanded_Support::colorNameTable();
    auto entry = "," + std::string(name) + "#";
    if (table.find(entry) == std::string_view::npos)
        std::abort();
    return 0;
}
