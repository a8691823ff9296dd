#include "ImageIO/EXIFMetadata.h"

#include <algorithm>
#include <array>
#include <exception>
#include <libexif/exif-data.h>
#include <memory>
#include <vector>

namespace ImageIO {

namespace {

struct ExifDataDeleter {
    void operator()(ExifData* data) const { exif_data_unref(data); }
};
using ExifDataPointer = std::unique_ptr<ExifData, ExifDataDeleter>;

constexpr std::array<std::uint8_t, 6> exifHeader { 'E', 'x', 'i', 'f', 0, 0 };

// libexif takes its length as an unsigned int. A JPEG's EXIF segment lies before the image
// data, behind at most a colour profile's 255 segments of 64 KiB, so no search needs more.
constexpr size_t maximumEXIFSearchLength = 16 << 20;

std::optional<CGImagePropertyOrientation> orientationOf(ExifData* data)
{
    ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data || entry->size < 2)
        return std::nullopt;
    ExifShort value = exif_get_short(entry->data, exif_data_get_byte_order(data));
    if (value < kCGImagePropertyOrientationUp || value > kCGImagePropertyOrientationLeft)
        return std::nullopt;
    return static_cast<CGImagePropertyOrientation>(value);
}

std::optional<EXIFDateTime> dateOf(ExifData* data, ExifIfd folder, ExifTag tag)
{
    ExifEntry* entry = exif_content_get_entry(data->ifd[folder], tag);
    if (!entry || entry->format != EXIF_FORMAT_ASCII || !entry->data)
        return std::nullopt;
    return EXIFDateTime::fromEXIFText({ reinterpret_cast<const char*>(entry->data), entry->size });
}

EXIFMetadata read(std::span<const std::uint8_t> bytes)
{
    ExifDataPointer data { exif_data_new() };
    if (!data)
        return {};
    // Following the standard makes libexif add the tags it requires, with made-up values
    // (today's date among them), to what it read.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(data.get(), bytes.data(), static_cast<unsigned>(std::min(bytes.size(), maximumEXIFSearchLength)));
    EXIFMetadata metadata;
    metadata.orientation = orientationOf(data.get()).value_or(kCGImagePropertyOrientationUp);
    metadata.dateTaken = dateOf(data.get(), EXIF_IFD_EXIF, EXIF_TAG_DATE_TIME_ORIGINAL);
    if (!metadata.dateTaken)
        metadata.dateTaken = dateOf(data.get(), EXIF_IFD_0, EXIF_TAG_DATE_TIME);
    return metadata;
}

}

EXIFMetadata EXIFMetadata::fromJPEG(std::span<const std::uint8_t> jpeg)
{
    try {
        return read(jpeg);
    } catch (const std::exception&) {
        return {};
    }
}

EXIFMetadata EXIFMetadata::fromTIFF(std::span<const std::uint8_t> tiff)
{
    try {
        // libexif finds a block by the header of the JPEG segment that carries it.
        std::vector<std::uint8_t> block(exifHeader.begin(), exifHeader.end());
        block.insert(block.end(), tiff.begin(), tiff.begin() + static_cast<std::ptrdiff_t>(std::min(tiff.size(), maximumEXIFSearchLength)));
        return read(block);
    } catch (const std::exception&) {
        return {};
    }
}

}
