#include "ImageIO/ImageDecoder.h"
#include "ImageIO/PNGCodec.h"
#include "PhotoSamples.h"
#include "PhotoTestSupport.h"

#include <gtest/gtest.h>

using namespace PhotoSamples;

TEST(ImageDecoder, EachFormatIsKnownByItsSignatureWithItsProperties)
{
    auto picture = cornerPicture(64, 32);
    auto png = ImageIO::encodePNG(*picture);
    ASSERT_TRUE(png);
    auto heic = encodeHEIC(*picture, { .exif = EXIFFields { .dateTimeOriginal = "2020:03:04 05:06:07" } });
    struct {
        const char* name;
        Bytes bytes;
        ImageIO::ImageFormat format;
        CGImagePropertyOrientation orientation;
        const char* date;
    } cases[] = {
        { "PNG", *png, ImageIO::ImageFormat::PNG, kCGImagePropertyOrientationUp, nullptr },
        { "JPEG", encodeJPEG(*picture), ImageIO::ImageFormat::JPEG, kCGImagePropertyOrientationUp, nullptr },
        { "JPEG with EXIF", withEXIF(encodeJPEG(*picture), { .orientation = 8, .dateTime = "2001:02:03 04:05:06" }), ImageIO::ImageFormat::JPEG,
            kCGImagePropertyOrientationLeft, "2001-02-03 04:05:06" },
        { "HEIC", heic.value_or(Bytes {}), ImageIO::ImageFormat::HEIC, kCGImagePropertyOrientationUp, "2020-03-04 05:06:07" },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.name);
        if (expected.bytes.empty()) {
            std::cout << "[ SKIPPED  ] " << expected.name << ": this libheif has no HEVC encoder\n";
            continue;
        }
        EXPECT_EQ(ImageIO::imageFormat(expected.bytes), expected.format);
        auto properties = ImageIO::readImageProperties(expected.bytes);
        ASSERT_TRUE(properties);
        EXPECT_EQ(properties->format, expected.format);
        EXPECT_EQ(properties->width, 64u);
        EXPECT_EQ(properties->height, 32u);
        EXPECT_EQ(properties->orientation, expected.orientation);
        EXPECT_EQ(properties->dateTaken ? properties->dateTaken->description() : "none", expected.date ? expected.date : "none");
        auto photo = ImageIO::decodePhoto(expected.bytes);
        ASSERT_TRUE(photo);
        EXPECT_EQ(photo->properties.orientation, expected.orientation);
        EXPECT_EQ(PhotoTestSupport::cornerLetters(*photo->image, 4, 40), "RGBB") << "pixels as stored";
        EXPECT_TRUE(ImageIO::decodeImage(expected.bytes));
    }
    for (const Bytes& unknown : { Bytes {}, Bytes { 0xff, 0xd8 }, Bytes(100, 0x42), Bytes { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0 } }) {
        EXPECT_FALSE(ImageIO::imageFormat(unknown));
        EXPECT_FALSE(ImageIO::readImageProperties(unknown));
        EXPECT_FALSE(ImageIO::decodePhoto(unknown));
    }
}
