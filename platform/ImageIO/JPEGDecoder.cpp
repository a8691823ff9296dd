#include "ImageIO/JPEGDecoder.h"

#include "ImageIO/EXIFMetadata.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <exception>
#include <memory>
#include <turbojpeg.h>
#include <vector>

namespace ImageIO {

namespace {

// libjpeg reports errors by longjmp; TurboJPEG catches them inside its own C frames, so
// none ever crosses ours.
struct HandleDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleDeleter>;

constexpr std::array<std::uint8_t, 3> signature { 0xff, 0xd8, 0xff };

// A truncated or damaged file makes libjpeg warn and go on with grey blocks; the warning
// refuses it instead. Progressive files are held to libjpeg-turbo's 500 scans, past which
// a small file can keep the decoder busy for minutes.
constexpr int decodeFlags = TJFLAG_STOPONWARNING | TJFLAG_LIMITSCANS;

// CGImage's pixel words (alpha in the top byte) as bytes in memory; libjpeg-turbo fills alpha with 255.
constexpr int nativePixelFormat = std::endian::native == std::endian::little ? TJPF_BGRA : TJPF_ARGB;

struct Header {
    int width;
    int height;
    int colorspace;
};

// TurboJPEG takes lengths as unsigned long.
static_assert(sizeof(unsigned long) >= sizeof(size_t));

std::optional<Header> readHeader(tjhandle decompressor, std::span<const std::uint8_t> bytes)
{
    Header header {};
    int subsampling = 0;
    if (tjDecompressHeader3(decompressor, bytes.data(), static_cast<unsigned long>(bytes.size()), &header.width, &header.height, &subsampling,
            &header.colorspace))
        return std::nullopt;
    // Checked here, before anything the size of the image is allocated.
    if (header.width <= 0 || header.height <= 0 || static_cast<std::uint32_t>(header.width) > maximumImageDimension
        || static_cast<std::uint32_t>(header.height) > maximumImageDimension
        || static_cast<size_t>(header.width) > CGImage::maximumPixelCount / static_cast<size_t>(header.height))
        return std::nullopt;
    return header;
}

// libjpeg-turbo's factors above 1 enlarge, and are never wanted here.
std::pair<int, int> reducedSize(const Header& header, size_t minimumSide)
{
    std::pair<int, int> best { header.width, header.height };
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    for (int i = 0; factors && i < count; ++i) {
        const tjscalingfactor factor = factors[i];
        if (factor.num > factor.denom)
            continue;
        int width = TJSCALED(header.width, factor);
        int height = TJSCALED(header.height, factor);
        if (static_cast<size_t>(std::min(width, height)) >= minimumSide && static_cast<size_t>(width) * static_cast<size_t>(height)
                < static_cast<size_t>(best.first) * static_cast<size_t>(best.second))
            best = { width, height };
    }
    return best;
}

// Adobe's applications, which write nearly all CMYK JPEGs, store the components inverted
// (255 is no ink), and libjpeg-turbo's own tools read them so.
std::uint32_t pixelFromInvertedCMYK(std::uint32_t stored)
{
    std::array<std::uint8_t, 4> cmyk;
    std::memcpy(cmyk.data(), &stored, cmyk.size());
    auto component = [key = unsigned(cmyk[3])](unsigned ink) { return (ink * key + 127) / 255; };
    return 0xff000000u | component(cmyk[0]) << 16 | component(cmyk[1]) << 8 | component(cmyk[2]);
}

CGImageRef decode(std::span<const std::uint8_t> bytes, size_t minimumSide)
{
    Handle decompressor { tjInitDecompress() };
    if (!decompressor)
        return nullptr;
    auto header = readHeader(decompressor.get(), bytes);
    if (!header)
        return nullptr;
    auto [width, height] = reducedSize(*header, minimumSide);
    bool inks = header->colorspace == TJCS_CMYK || header->colorspace == TJCS_YCCK;

    // Decoded into the image's own buffer: CMYK is converted there in place, pixel for pixel.
    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (tjDecompress2(decompressor.get(), bytes.data(), static_cast<unsigned long>(bytes.size()), reinterpret_cast<unsigned char*>(pixels.data()),
            width, 0, height, inks ? TJPF_CMYK : nativePixelFormat, decodeFlags))
        return nullptr;
    if (inks)
        std::ranges::transform(pixels, pixels.begin(), pixelFromInvertedCMYK);
    return CGImage::create(static_cast<size_t>(width), static_cast<size_t>(height), std::move(pixels));
}

}

bool isJPEG(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= signature.size() && std::equal(signature.begin(), signature.end(), bytes.begin());
}

std::optional<ImageProperties> readJPEGProperties(std::span<const std::uint8_t> bytes)
{
    if (!isJPEG(bytes))
        return std::nullopt;
    try {
        Handle decompressor { tjInitDecompress() };
        auto header = decompressor ? readHeader(decompressor.get(), bytes) : std::nullopt;
        if (!header)
            return std::nullopt;
        auto metadata = EXIFMetadata::fromJPEG(bytes);
        return ImageProperties { ImageFormat::JPEG, static_cast<size_t>(header->width), static_cast<size_t>(header->height), metadata.orientation,
            metadata.dateTaken };
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

CGImageRef decodeJPEG(std::span<const std::uint8_t> bytes, size_t minimumSide)
{
    if (!isJPEG(bytes))
        return nullptr;
    try {
        return decode(bytes, minimumSide);
    } catch (const std::exception&) {
        return nullptr;
    }
}

}
