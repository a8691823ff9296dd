#include "ImageIO/HEICDecoder.h"

#include "ImageIO/EXIFMetadata.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>
#include <exception>
#include <libheif/heif.h>
#include <memory>
#include <vector>

namespace ImageIO {

namespace {

struct ContextDeleter {
    void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleDeleter {
    void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageDeleter {
    void operator()(heif_image* image) const { heif_image_release(image); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* options) const { heif_decoding_options_free(options); }
};
using Context = std::unique_ptr<heif_context, ContextDeleter>;
using Handle = std::unique_ptr<heif_image_handle, HandleDeleter>;
using Image = std::unique_ptr<heif_image, ImageDeleter>;
using Options = std::unique_ptr<heif_decoding_options, OptionsDeleter>;

constexpr std::array<const char*, 6> hevcBrands { "heic", "heix", "heim", "heis", "hevc", "hevx" };
constexpr std::array<const char*, 2> structuralBrands { "mif1", "msf1" };

// A camera's EXIF, maker notes and all, stays far below this; a larger block is not read.
constexpr size_t maximumEXIFBlockSize = 1 << 20;
// Files carry one thumbnail or two; a longer list only makes the choice slow.
constexpr int maximumThumbnailsConsidered = 8;

// libheif takes lengths as int.
bool fitsInt(std::span<const std::uint8_t> bytes)
{
    return bytes.size() <= static_cast<size_t>(INT_MAX);
}

Context open(std::span<const std::uint8_t> bytes)
{
    Context context { heif_context_alloc() };
    if (!context || !fitsInt(bytes))
        return nullptr;
    // libheif refuses an item of this width or height while it reads the file, before any of its pixels.
    heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(maximumImageDimension) + 1);
    if (heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr).code != heif_error_Ok)
        return nullptr;
    return context;
}

bool withinLimits(const heif_image_handle* handle)
{
    int width = heif_image_handle_get_width(handle);
    int height = heif_image_handle_get_height(handle);
    return width > 0 && height > 0 && static_cast<std::uint32_t>(width) <= maximumImageDimension
        && static_cast<std::uint32_t>(height) <= maximumImageDimension
        && static_cast<size_t>(width) <= CGImage::maximumPixelCount / static_cast<size_t>(height);
}

Handle primaryImage(heif_context* context)
{
    heif_image_handle* handle = nullptr;
    if (heif_context_get_primary_image_handle(context, &handle).code != heif_error_Ok)
        return nullptr;
    Handle primary { handle };
    return withinLimits(primary.get()) ? std::move(primary) : nullptr;
}

std::optional<EXIFDateTime> dateTaken(const heif_image_handle* handle)
{
    heif_item_id block = 0;
    if (heif_image_handle_get_list_of_metadata_block_IDs(handle, "Exif", &block, 1) < 1)
        return std::nullopt;
    size_t size = heif_image_handle_get_metadata_size(handle, block);
    if (size < 4 || size > maximumEXIFBlockSize)
        return std::nullopt;
    std::vector<std::uint8_t> exif(size);
    if (heif_image_handle_get_metadata(handle, block, exif.data()).code != heif_error_Ok)
        return std::nullopt;
    // The block opens with the big-endian offset of its TIFF header from the end of these four bytes.
    std::uint32_t offset = std::uint32_t(exif[0]) << 24 | std::uint32_t(exif[1]) << 16 | std::uint32_t(exif[2]) << 8 | exif[3];
    if (offset > size - 4)
        return std::nullopt;
    return EXIFMetadata::fromTIFF(std::span(exif).subspan(4 + offset)).dateTaken;
}

size_t pixelCount(const heif_image_handle* handle)
{
    return static_cast<size_t>(heif_image_handle_get_width(handle)) * static_cast<size_t>(heif_image_handle_get_height(handle));
}

// The smallest thumbnail covering minimumSide that has the primary image's shape: one
// turned otherwise than its image would show the photo on its side.
Handle thumbnailCovering(const heif_image_handle* primary, size_t minimumSide)
{
    std::array<heif_item_id, maximumThumbnailsConsidered> ids {};
    const int count = std::min(heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), maximumThumbnailsConsidered), maximumThumbnailsConsidered);
    const size_t width = static_cast<size_t>(heif_image_handle_get_width(primary));
    const size_t height = static_cast<size_t>(heif_image_handle_get_height(primary));
    Handle best;
    for (int i = 0; i < count; ++i) {
        heif_image_handle* found = nullptr;
        if (heif_image_handle_get_thumbnail(primary, ids[i], &found).code != heif_error_Ok)
            continue;
        Handle thumbnail { found };
        if (!withinLimits(thumbnail.get()))
            continue;
        const size_t thumbnailWidth = static_cast<size_t>(heif_image_handle_get_width(thumbnail.get()));
        const size_t thumbnailHeight = static_cast<size_t>(heif_image_handle_get_height(thumbnail.get()));
        // Width over height equal to the primary's within a pixel of the thumbnail.
        const size_t crossed = thumbnailWidth * height, straight = thumbnailHeight * width;
        const bool sameShape = std::max(crossed, straight) - std::min(crossed, straight) <= std::max(width, height);
        if (sameShape && std::min(thumbnailWidth, thumbnailHeight) >= minimumSide && pixelCount(thumbnail.get()) < width * height
            && (!best || pixelCount(thumbnail.get()) < pixelCount(best.get())))
            best = std::move(thumbnail);
    }
    return best;
}

CGImageRef decodeHandle(heif_context* context, const heif_image_handle* handle)
{
    // libheif makes a grid's picture at the size the grid's own data gives, not the item's
    // declared size (which withinLimits checked): a kilobyte could ask for gigabytes. Nothing
    // it makes may be larger than the declared size in either direction.
    const int side = std::max(heif_image_handle_get_width(handle), heif_image_handle_get_height(handle));
    heif_context_set_maximum_image_size_limit(context, side + 1);
    Options options { heif_decoding_options_alloc() };
    if (!options)
        return nullptr;
    options->ignore_transformations = 0;
    options->convert_hdr_to_8bit = 1;
    // A damaged file is refused rather than shown with what libheif could guess.
    options->strict_decoding = 1;
    const bool alpha = heif_image_handle_has_alpha_channel(handle);
    heif_image* decoded = nullptr;
    if (heif_decode_image(handle, &decoded, heif_colorspace_RGB, alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get()).code
        != heif_error_Ok)
        return nullptr;
    Image image { decoded };

    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    const size_t channels = alpha ? 4 : 3;
    if (!plane || width != heif_image_handle_get_width(handle) || height != heif_image_handle_get_height(handle)
        || heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8 || stride < width * static_cast<int>(channels))
        return nullptr;

    std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    const bool premultiplied = heif_image_is_premultiplied_alpha(image.get());
    for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
        const std::uint8_t* row = plane + y * static_cast<size_t>(stride);
        auto out = pixels.begin() + static_cast<std::ptrdiff_t>(y * static_cast<size_t>(width));
        if (alpha && !premultiplied) {
            auto converted = CGPixelsFromStraightRGBA({ row, static_cast<size_t>(width) * 4 });
            std::copy(converted.begin(), converted.end(), out);
            continue;
        }
        for (size_t x = 0; x < static_cast<size_t>(width); ++x, row += channels) {
            std::uint32_t a = alpha ? row[3] : 0xff;
            *out++ = a << 24 | std::uint32_t(row[0]) << 16 | std::uint32_t(row[1]) << 8 | row[2];
        }
    }
    return CGImage::create(static_cast<size_t>(width), static_cast<size_t>(height), std::move(pixels));
}

CGImageRef decode(std::span<const std::uint8_t> bytes, size_t minimumSide)
{
    Context context = open(bytes);
    Handle primary = context ? primaryImage(context.get()) : nullptr;
    if (!primary)
        return nullptr;
    if (Handle thumbnail = thumbnailCovering(primary.get(), minimumSide)) {
        if (auto image = decodeHandle(context.get(), thumbnail.get()))
            return image;
    }
    return decodeHandle(context.get(), primary.get());
}

}

bool isHEIC(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 12 || !fitsInt(bytes) || std::memcmp(bytes.data() + 4, "ftyp", 4))
        return false;
    const int length = static_cast<int>(bytes.size());
    const heif_brand2 major = heif_read_main_brand(bytes.data(), length);
    auto isMajor = [major](const char* brand) { return heif_fourcc_to_brand(brand) == major; };
    if (std::ranges::any_of(hevcBrands, isMajor))
        return true;
    return std::ranges::any_of(structuralBrands, isMajor)
        && std::ranges::any_of(hevcBrands, [&](const char* brand) { return heif_has_compatible_brand(bytes.data(), length, brand) == 1; });
}

std::optional<ImageProperties> readHEICProperties(std::span<const std::uint8_t> bytes)
{
    if (!isHEIC(bytes))
        return std::nullopt;
    try {
        Context context = open(bytes);
        Handle primary = context ? primaryImage(context.get()) : nullptr;
        if (!primary)
            return std::nullopt;
        return ImageProperties { ImageFormat::HEIC, static_cast<size_t>(heif_image_handle_get_width(primary.get())),
            static_cast<size_t>(heif_image_handle_get_height(primary.get())), kCGImagePropertyOrientationUp, dateTaken(primary.get()) };
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

CGImageRef decodeHEIC(std::span<const std::uint8_t> bytes, size_t minimumSide)
{
    if (!isHEIC(bytes))
        return nullptr;
    try {
        return decode(bytes, minimumSide);
    } catch (const std::exception&) {
        return nullptr;
    }
}

}
