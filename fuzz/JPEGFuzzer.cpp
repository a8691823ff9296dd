#include "ImageIO/EXIFMetadata.h"
#include "ImageIO/JPEGDecoder.h"

#include <cstdint>
#include <cstdlib>

// A JPEG that decodes has the size its header states, keeps the signature's format, and
// reduces to no more than every side; its EXIF never reads out of range.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    std::span<const std::uint8_t> bytes { data, size };
    auto orientation = ImageIO::EXIFMetadata::fromJPEG(bytes).orientation;
    if (orientation < kCGImagePropertyOrientationUp || orientation > kCGImagePropertyOrientationLeft)
        std::abort();
    auto properties = ImageIO::readJPEGProperties(bytes);
    auto image = ImageIO::decodeJPEG(bytes);
    if (!image)
        return 0;
    if (!properties || properties->width != image->width() || properties->height != image->height() || !image->isOpaque())
        std::abort();
    auto reduced = ImageIO::decodeJPEG(bytes, 1);
    if (reduced && (reduced->width() > image->width() || reduced->height() > image->height() || reduced->width() * 8 < image->width()))
        std::abort();
    return 0;
}
