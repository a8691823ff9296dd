#include "ImageIO/HEICDecoder.h"

#include <cstdint>
#include <cstdlib>

// An HEIC that decodes has the size its properties state; a thumbnail asked for is never
// larger than the primary image.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::span<const std::uint8_t> bytes { data, size };
    auto properties = ImageIO::readHEICProperties(bytes);
    auto image = ImageIO::decodeHEIC(bytes);
    if (!image)
        return 0;
    if (!properties || properties->width != image->width() || properties->height != image->height()
        || properties->orientation != kCGImagePropertyOrientationUp)
        std::abort();
    auto thumbnail = ImageIO::decodeHEIC(bytes, 1);
    if (thumbnail && thumbnail->width() * thumbnail->height() > image->width() * image->height())
        std::abort();
    return 0;
}
