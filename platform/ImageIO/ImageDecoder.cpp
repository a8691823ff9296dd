#include "ImageIO/ImageDecoder.h"

#include "ImageIO/PNGCodec.h"

namespace ImageIO {

namespace {

struct ImageFormat {
    bool (*matches)(std::span<const std::uint8_t>);
    CGImageRef (*decode)(std::span<const std::uint8_t>);
};

// Signatures do not overlap, so the order is free. JPEG joins as { isJPEG, decodeJPEG }.
constexpr ImageFormat formats[] = {
    { isPNG, decodePNG },
};

}

CGImageRef decodeImage(std::span<const std::uint8_t> bytes)
{
    for (const auto& format : formats) {
        if (format.matches(bytes))
            return format.decode(bytes);
    }
    return nullptr;
}

}
