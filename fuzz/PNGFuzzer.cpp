#include "ImageIO/ImageDecoder.h"
#include "ImageIO/PNGCodec.h"

#include <cstdint>
#include <cstdlib>

// Whatever decodes must survive our own encoder and decoder with its size and alpha intact.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    auto image = ImageIO::decodeImage({ data, size });
    if (!image)
        return 0;
    auto png = ImageIO::encodePNG(*image, ImageIO::PNGCompression::Fast);
    if (!png)
        std::abort();
    auto again = ImageIO::decodePNG(*png);
    if (!again || again->width() != image->width() || again->height() != image->height())
        std::abort();
    for (size_t i = 0; i < image->pixels().size(); ++i) {
        if (again->pixels()[i] >> 24 != image->pixels()[i] >> 24)
            std::abort();
    }
    return 0;
}
