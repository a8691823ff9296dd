#include "ImageIO/EXIFDateTime.h"
#include "ImageIO/EXIFMetadata.h"
#include "ImageIO/ImageDecoder.h"
#include "PhotoSamples.h"

#include <gtest/gtest.h>

using namespace PhotoSamples;
using ImageIO::EXIFDateTime;

TEST(EXIFDateTime, ReadsOnlyRealDatesInEXIFsLayout)
{
    struct {
        std::string text;
        const char* description; // nullptr: refused
    } cases[] = {
        { "2023:07:14 10:20:30", "2023-07-14 10:20:30" },
        { std::string("2023:07:14 10:20:30\0", 20), "2023-07-14 10:20:30" },
        { "2024:02:29 23:59:59", "2024-02-29 23:59:59" },
        { "1970:01:01 00:00:00", "1970-01-01 00:00:00" },
        { "2023:02:29 12:00:00", nullptr },
        { "2023:13:01 12:00:00", nullptr },
        { "2023:07:14 24:00:00", nullptr },
        { "2023:07:14 10:60:00", nullptr },
        { "2023:07:14 10:20:60", nullptr },
        { "0000:00:00 00:00:00", nullptr },
        { "    :  :     :  :  ", nullptr },
        { "2023-07-14 10:20:30", nullptr },
        { "2023:07:14T10:20:30", nullptr },
        { "2023:07:14 10:20", nullptr },
        { "2023:07:14 10:20:30 ", nullptr },
        { "+023:07:14 10:20:30", nullptr },
        { "", nullptr },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.text);
        auto date = EXIFDateTime::fromEXIFText(expected.text);
        ASSERT_EQ(date.has_value(), expected.description != nullptr);
        if (date) {
            EXPECT_EQ(date->description(), expected.description);
        }
    }
    auto earlier = EXIFDateTime::fromEXIFText("2023:07:14 10:20:30");
    auto later = EXIFDateTime::fromEXIFText("2023:07:14 10:20:31");
    ASSERT_TRUE(earlier && later);
    EXPECT_LT(*earlier, *later);
    EXPECT_EQ(later->inCurrentTimeZone() - earlier->inCurrentTimeZone(), std::chrono::seconds(1));
}

TEST(EXIFMetadata, OrientationIsTheTagsValueFrom1To8ElseUp)
{
    auto jpeg = encodeJPEG(*cornerPicture(64, 32));
    struct {
        const char* name;
        std::optional<std::uint16_t> tag;
        bool bigEndian;
        CGImagePropertyOrientation expected;
    } cases[] = {
        { "missing", std::nullopt, false, kCGImagePropertyOrientationUp },
        { "0", 0, false, kCGImagePropertyOrientationUp },
        { "1", 1, false, kCGImagePropertyOrientationUp },
        { "2", 2, false, kCGImagePropertyOrientationUpMirrored },
        { "3", 3, true, kCGImagePropertyOrientationDown },
        { "4", 4, false, kCGImagePropertyOrientationDownMirrored },
        { "5", 5, true, kCGImagePropertyOrientationLeftMirrored },
        { "6", 6, false, kCGImagePropertyOrientationRight },
        { "6, big-endian", 6, true, kCGImagePropertyOrientationRight },
        { "7", 7, false, kCGImagePropertyOrientationRightMirrored },
        { "8", 8, false, kCGImagePropertyOrientationLeft },
        { "9", 9, false, kCGImagePropertyOrientationUp },
        { "0x0600, 6 read the wrong way round", 0x0600, false, kCGImagePropertyOrientationUp },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto file = withEXIF(jpeg, { .orientation = c.tag, .bigEndian = c.bigEndian });
        EXPECT_EQ(ImageIO::EXIFMetadata::fromJPEG(file).orientation, c.expected);
        auto properties = ImageIO::readImageProperties(file);
        ASSERT_TRUE(properties);
        EXPECT_EQ(properties->orientation, c.expected);
        // The pixels stay as stored.
        auto photo = ImageIO::decodePhoto(file);
        ASSERT_TRUE(photo);
        EXPECT_EQ(photo->image->width(), 64u);
        EXPECT_EQ(photo->properties.orientation, c.expected);
    }
}

TEST(EXIFMetadata, DateTakenIsTheOriginalDateElseTheFilesDate)
{
    const std::string original = "2021:05:06 07:08:09", modified = "2022:01:02 03:04:05";
    struct {
        const char* name;
        EXIFFields fields;
        const char* expected;
    } cases[] = {
        { "both", { .dateTimeOriginal = original, .dateTime = modified }, "2021-05-06 07:08:09" },
        { "original only", { .dateTimeOriginal = original }, "2021-05-06 07:08:09" },
        { "file date only", { .dateTime = modified, .bigEndian = true }, "2022-01-02 03:04:05" },
        { "original unset", { .dateTimeOriginal = "0000:00:00 00:00:00", .dateTime = modified }, "2022-01-02 03:04:05" },
        { "none", { .orientation = 6 }, nullptr },
        { "neither readable", { .dateTimeOriginal = "    :  :     :  :  ", .dateTime = "2022:02:30 00:00:00" }, nullptr },
    };
    auto jpeg = encodeJPEG(*cornerPicture(64, 32));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto date = ImageIO::EXIFMetadata::fromJPEG(withEXIF(jpeg, c.fields)).dateTaken;
        ASSERT_EQ(date.has_value(), c.expected != nullptr);
        if (date) {
            EXPECT_EQ(date->description(), c.expected);
        }
        // The same block as HEIF stores it: a TIFF structure without the JPEG segment's header.
        auto block = exifBlock(c.fields);
        auto fromTIFF = ImageIO::EXIFMetadata::fromTIFF(std::span(block).subspan(6)).dateTaken;
        EXPECT_EQ(fromTIFF, date);
    }
}
