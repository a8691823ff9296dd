#include "PhotoSamples.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <libexif/exif-data.h>
#include <libheif/heif.h>
#include <memory>
#include <stdexcept>
#include <turbojpeg.h>

namespace PhotoSamples {

namespace {

Bytes compress(const unsigned char* pixels, int width, int height, int pixelFormat, int subsampling, int quality, int flags)
{
    tjhandle compressor = tjInitCompress();
    if (!compressor)
        throw std::runtime_error("no JPEG compressor");
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    int failed = tjCompress2(compressor, pixels, width, 0, height, pixelFormat, &jpeg, &size, subsampling, quality, flags);
    std::string error = failed ? tjGetErrorStr2(compressor) : "";
    Bytes bytes(jpeg, jpeg + (failed ? 0 : size));
    tjFree(jpeg);
    tjDestroy(compressor);
    if (failed)
        throw std::runtime_error("JPEG compression failed: " + error);
    return bytes;
}

ExifEntry* addEntry(ExifData* data, ExifIfd folder, ExifTag tag)
{
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(data->ifd[folder], entry);
    exif_entry_initialize(entry, tag);
    exif_entry_unref(entry);
    return entry;
}

void setDate(ExifData* data, ExifIfd folder, ExifTag tag, const std::string& text)
{
    if (text.empty())
        return;
    ExifEntry* entry = addEntry(data, folder, tag);
    if (text.size() + 1 != entry->size)
        throw std::invalid_argument("EXIF dates have 19 characters");
    std::memcpy(entry->data, text.c_str(), entry->size);
}

heif_error writeTo(heif_context*, const void* data, size_t size, void* bytes)
{
    auto* out = static_cast<Bytes*>(bytes);
    out->insert(out->end(), static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    return { heif_error_Ok, heif_suberror_Unspecified, "" };
}

void check(heif_error error)
{
    if (error.code != heif_error_Ok)
        throw std::runtime_error(std::string("libheif: ") + error.message);
}

}

CGImageRef cornerPicture(size_t width, size_t height)
{
    const size_t side = height / 4;
    std::vector<std::uint32_t> pixels(width * height, 0xff0000ff);
    for (size_t y = 0; y < side; ++y) {
        for (size_t x = 0; x < side; ++x) {
            pixels[y * width + x] = 0xffff0000;
            pixels[y * width + width - 1 - x] = 0xff00ff00;
        }
    }
    return CGImage::create(width, height, std::move(pixels));
}

Bytes encodeJPEG(const CGImage& image, const JPEGOptions& options)
{
    const int format = std::endian::native == std::endian::little ? TJPF_BGRA : TJPF_ARGB;
    int subsampling = options.greyscale ? TJSAMP_GRAY : options.subsampled ? TJSAMP_420 : TJSAMP_444;
    return compress(reinterpret_cast<const unsigned char*>(image.pixels().data()), static_cast<int>(image.width()), static_cast<int>(image.height()),
        format, subsampling, options.quality, TJFLAG_ACCURATEDCT | (options.progressive ? TJFLAG_PROGRESSIVE : 0));
}

Bytes encodeCMYKJPEG(size_t width, size_t height, const Bytes& cmyk)
{
    if (cmyk.size() != width * height * 4)
        throw std::invalid_argument("four bytes a pixel");
    return compress(cmyk.data(), static_cast<int>(width), static_cast<int>(height), TJPF_CMYK, TJSAMP_444, 95, TJFLAG_ACCURATEDCT);
}

Bytes exifBlock(const EXIFFields& fields)
{
    std::unique_ptr<ExifData, void (*)(ExifData*)> data { exif_data_new(), exif_data_unref };
    exif_data_set_byte_order(data.get(), fields.bigEndian ? EXIF_BYTE_ORDER_MOTOROLA : EXIF_BYTE_ORDER_INTEL);
    if (fields.orientation) {
        ExifEntry* entry = addEntry(data.get(), EXIF_IFD_0, EXIF_TAG_ORIENTATION);
        exif_set_short(entry->data, exif_data_get_byte_order(data.get()), *fields.orientation);
    }
    setDate(data.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL, fields.dateTimeOriginal);
    setDate(data.get(), EXIF_IFD_0, EXIF_TAG_DATE_TIME, fields.dateTime);
    unsigned char* saved = nullptr;
    unsigned int size = 0;
    exif_data_save_data(data.get(), &saved, &size);
    if (!saved)
        throw std::runtime_error("libexif wrote nothing");
    Bytes block(saved, saved + size);
    std::free(saved);
    return block;
}

Bytes withEXIF(const Bytes& jpeg, const EXIFFields& fields)
{
    Bytes block = exifBlock(fields);
    const size_t length = block.size() + 2;
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    out.insert(out.end(), { 0xff, 0xe1, static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length & 0xff) });
    out.insert(out.end(), block.begin(), block.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

size_t frameHeaderOffset(const Bytes& jpeg)
{
    // Marker segments from the start: FF, the marker, a big-endian length that counts itself.
    for (size_t at = 2; at + 4 <= jpeg.size();) {
        const std::uint8_t marker = jpeg[at + 1];
        if (jpeg[at] != 0xff)
            return 0;
        if (marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc)
            return at + 2;
        at += 2 + (size_t(jpeg[at + 2]) << 8 | jpeg[at + 3]);
    }
    return 0;
}

Bytes withFrameSize(Bytes jpeg, std::uint16_t width, std::uint16_t height)
{
    const size_t header = frameHeaderOffset(jpeg);
    if (!header)
        throw std::invalid_argument("no frame header");
    // Length (2), precision (1), height (2), width (2).
    jpeg[header + 3] = static_cast<std::uint8_t>(height >> 8);
    jpeg[header + 4] = static_cast<std::uint8_t>(height);
    jpeg[header + 5] = static_cast<std::uint8_t>(width >> 8);
    jpeg[header + 6] = static_cast<std::uint8_t>(width);
    return jpeg;
}

Bytes withFramePrecision(Bytes jpeg, std::uint8_t bits)
{
    const size_t header = frameHeaderOffset(jpeg);
    if (!header)
        throw std::invalid_argument("no frame header");
    jpeg[header + 2] = bits;
    return jpeg;
}

std::optional<Bytes> encodeHEIC(const CGImage& image, const HEICOptions& options)
{
    std::unique_ptr<heif_context, void (*)(heif_context*)> context { heif_context_alloc(), heif_context_free };
    heif_encoder* found = nullptr;
    if (heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &found).code != heif_error_Ok)
        return std::nullopt;
    std::unique_ptr<heif_encoder, void (*)(heif_encoder*)> encoder { found, heif_encoder_release };
    check(heif_encoder_set_lossy_quality(encoder.get(), 90));

    const int width = static_cast<int>(image.width()), height = static_cast<int>(image.height());
    heif_image* created = nullptr;
    check(heif_image_create(width, height, heif_colorspace_RGB, options.alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &created));
    std::unique_ptr<heif_image, void (*)(const heif_image*)> picture { created, heif_image_release };
    check(heif_image_add_plane(picture.get(), heif_channel_interleaved, width, height, 8));
    int stride = 0;
    std::uint8_t* plane = heif_image_get_plane(picture.get(), heif_channel_interleaved, &stride);
    const auto rgba = CGImageCopyStraightRGBA(image);
    const size_t channels = options.alpha ? 4 : 3;
    for (size_t y = 0; y < image.height(); ++y) {
        for (size_t x = 0; x < image.width(); ++x)
            std::memcpy(plane + y * size_t(stride) + x * channels, &rgba[(y * image.width() + x) * 4], channels);
    }

    std::unique_ptr<heif_encoding_options, void (*)(heif_encoding_options*)> encoding { heif_encoding_options_alloc(), heif_encoding_options_free };
    encoding->image_orientation = static_cast<heif_orientation>(options.orientation);
    heif_image_handle* handle = nullptr;
    check(heif_context_encode_image(context.get(), picture.get(), encoder.get(), encoding.get(), &handle));
    std::unique_ptr<heif_image_handle, void (*)(const heif_image_handle*)> primary { handle, heif_image_handle_release };
    if (options.thumbnailSide) {
        heif_image_handle* thumbnail = nullptr;
        check(heif_context_encode_thumbnail(context.get(), picture.get(), primary.get(), encoder.get(), encoding.get(), options.thumbnailSide, &thumbnail));
        if (thumbnail)
            heif_image_handle_release(thumbnail);
    }
    if (options.exif) {
        Bytes block = exifBlock(*options.exif);
        check(heif_context_add_exif_metadata(context.get(), primary.get(), block.data(), static_cast<int>(block.size())));
    }
    if (options.xmpSize) {
        std::string xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"></x:xmpmeta>";
        xmp.resize(std::max(options.xmpSize, xmp.size()), ' ');
        check(heif_context_add_XMP_metadata(context.get(), primary.get(), xmp.data(), static_cast<int>(xmp.size())));
    }
    Bytes bytes;
    heif_writer writer { 1, writeTo };
    check(heif_context_write(context.get(), &writer, &bytes));
    return bytes;
}

}
