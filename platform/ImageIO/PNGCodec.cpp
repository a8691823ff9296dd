#include "ImageIO/PNGCodec.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <exception>
#include <memory>
#include <spng.h>

namespace ImageIO {

namespace {

struct ContextDeleter {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using Context = std::unique_ptr<spng_ctx, ContextDeleter>;

struct BufferDeleter {
    void operator()(void* buffer) const { std::free(buffer); }
};

constexpr std::array<std::uint8_t, 8> signature { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };
// IEND carries no data, so the whole chunk, CRC included, is always these bytes.
constexpr std::array<std::uint8_t, 12> endChunk { 0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xae, 0x42, 0x60, 0x82 };

// libspng holds text, ICC profiles, EXIF and unknown chunks in memory, inflating the
// compressed ones; these bound what a hostile file can make it allocate besides the pixels.
constexpr size_t maximumAncillaryChunkSize = 1 << 20;
constexpr size_t maximumAncillaryChunkTotal = 64 << 20;

// Deflate expands at most 1032-fold, so a file too short to hold the pixels its header
// claims is refused before a buffer that size is allocated.
constexpr size_t maximumDeflateRatio = 1032;

size_t bitsPerPixel(const spng_ihdr& header)
{
    switch (header.color_type) {
    case SPNG_COLOR_TYPE_TRUECOLOR:
        return 3 * header.bit_depth;
    case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
        return 2 * header.bit_depth;
    case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA:
        return 4 * header.bit_depth;
    default:
        return header.bit_depth;
    }
}

Context open(std::span<const std::uint8_t> bytes)
{
    // zlib's Adler-32 only repeats what the IDAT chunks' CRCs, still checked, already cover.
    Context context { spng_ctx_new(SPNG_CTX_IGNORE_ADLER32) };
    if (!context)
        return nullptr;
    spng_ctx* png = context.get();
    // A damaged critical chunk refuses the file; a damaged ancillary one is only metadata and is dropped.
    if (spng_set_crc_action(png, SPNG_CRC_ERROR, SPNG_CRC_DISCARD)
        || spng_set_image_limits(png, maximumPNGDimension, maximumPNGDimension)
        || spng_set_chunk_limits(png, maximumAncillaryChunkSize, maximumAncillaryChunkTotal)
        || spng_set_png_buffer(png, bytes.data(), bytes.size()))
        return nullptr;
    return context;
}

std::optional<spng_ihdr> readHeader(spng_ctx* png, std::span<const std::uint8_t> bytes)
{
    spng_ihdr header {};
    if (spng_get_ihdr(png, &header))
        return std::nullopt;
    size_t width = header.width;
    size_t height = header.height;
    // Checked here, before anything the size of the image is allocated.
    if (!width || !height || width > maximumPNGDimension || height > maximumPNGDimension || width > CGImage::maximumPixelCount / height)
        return std::nullopt;
    if (width * height / 8 * bitsPerPixel(header) / maximumDeflateRatio > bytes.size())
        return std::nullopt;
    return header;
}

// Metadata past the limits above is no reason to refuse the pixels: such a file is decoded
// again from a copy holding only the critical chunks and the transparency it needs.
std::vector<std::uint8_t> withoutMetadata(std::span<const std::uint8_t> bytes)
{
    std::vector<std::uint8_t> kept(bytes.begin(), bytes.begin() + signature.size());
    size_t at = signature.size();
    while (bytes.size() - at >= 12) {
        size_t length = (size_t { bytes[at] } << 24) | (size_t { bytes[at + 1] } << 16) | (size_t { bytes[at + 2] } << 8) | bytes[at + 3];
        if (length > bytes.size() - at - 12)
            break;
        bool critical = !(bytes[at + 4] & 0x20);
        bool transparency = std::equal(bytes.begin() + static_cast<std::ptrdiff_t>(at + 4), bytes.begin() + static_cast<std::ptrdiff_t>(at + 8), "tRNS");
        if (critical || transparency)
            kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.begin() + static_cast<std::ptrdiff_t>(at + 12 + length));
        at += 12 + length;
    }
    // A damaged tail stays for the decoder to refuse.
    kept.insert(kept.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    return kept;
}

enum class Metadata { Keep, Drop };

CGImageRef decode(std::span<const std::uint8_t> bytes, Metadata metadata = Metadata::Keep)
{
    Context context = open(bytes);
    auto header = context ? readHeader(context.get(), bytes) : std::nullopt;
    if (!header)
        return nullptr;
    spng_ctx* png = context.get();
    size_t width = header->width;
    size_t height = header->height;

    // libspng writes unpremultiplied RGBA into the pixel buffer itself, premultiplied there in
    // place, so a large image is held once, not twice.
    std::vector<std::uint32_t> pixels(width * height);
    auto* rgba = reinterpret_cast<std::uint8_t*>(pixels.data());
    size_t decodedSize = 0;
    int error = spng_decoded_image_size(png, SPNG_FMT_RGBA8, &decodedSize);
    if (!error && decodedSize != height * width * 4)
        return nullptr;
    if (!error)
        error = spng_decode_image(png, rgba, decodedSize, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
    // Without the trailing chunks a file cut off after its last IDAT, or inside IEND's CRC, would pass as whole.
    if (!error)
        error = spng_decode_chunks(png);
    if (error == SPNG_ECHUNK_LIMITS && metadata == Metadata::Keep) {
        context.reset();
        pixels = {};
        auto stripped = withoutMetadata(bytes);
        return decode(stripped, Metadata::Drop);
    }
    if (error || std::find_end(bytes.begin(), bytes.end(), endChunk.begin(), endChunk.end()) == bytes.end())
        return nullptr;

    CGPremultiplyStraightRGBAInPlace(pixels);
    return CGImage::create(width, height, std::move(pixels));
}

std::optional<std::vector<std::uint8_t>> encode(const CGImage& image, PNGCompression compression)
{
    if (!image.width() || !image.height())
        return std::nullopt;
    auto rgba = CGImageCopyStraightRGBA(image);

    Context context { spng_ctx_new(SPNG_CTX_ENCODER) };
    if (!context)
        return std::nullopt;
    spng_ctx* png = context.get();

    int level = 6;
    if (compression == PNGCompression::Fast || compression == PNGCompression::FastUp)
        level = 1;
    else if (compression == PNGCompression::None)
        level = 0;
    spng_ihdr header {};
    header.width = static_cast<std::uint32_t>(image.width());
    header.height = static_cast<std::uint32_t>(image.height());
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    if (spng_set_option(png, SPNG_ENCODE_TO_BUFFER, 1)
        || spng_set_option(png, SPNG_IMG_COMPRESSION_LEVEL, level)
        // Stored blocks gain nothing from filtering; skip its cost.
        || (compression == PNGCompression::None && spng_set_option(png, SPNG_FILTER_CHOICE, SPNG_DISABLE_FILTERING))
        || (compression == PNGCompression::FastUp && spng_set_option(png, SPNG_FILTER_CHOICE, SPNG_FILTER_CHOICE_UP))
        || spng_set_ihdr(png, &header)
        || spng_encode_image(png, rgba.data(), rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE))
        return std::nullopt;

    size_t length = 0;
    int error = 0;
    std::unique_ptr<void, BufferDeleter> buffer { spng_get_png_buffer(png, &length, &error) };
    if (!buffer || error)
        return std::nullopt;
    auto* begin = static_cast<const std::uint8_t*>(buffer.get());
    return std::vector<std::uint8_t>(begin, begin + length);
}

}

bool isPNG(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= signature.size() && std::equal(signature.begin(), signature.end(), bytes.begin());
}

std::optional<ImageProperties> readPNGProperties(std::span<const std::uint8_t> bytes)
{
    if (!isPNG(bytes))
        return std::nullopt;
    try {
        Context context = open(bytes);
        auto header = context ? readHeader(context.get(), bytes) : std::nullopt;
        if (!header)
            return std::nullopt;
        return ImageProperties { ImageFormat::PNG, header->width, header->height, kCGImagePropertyOrientationUp, std::nullopt };
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

CGImageRef decodePNG(std::span<const std::uint8_t> bytes)
{
    if (!isPNG(bytes))
        return nullptr;
    try {
        return decode(bytes);
    } catch (const std::exception&) {
        return nullptr;
    }
}

std::optional<std::vector<std::uint8_t>> encodePNG(const CGImage& image, PNGCompression compression)
{
    try {
        return encode(image, compression);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}
