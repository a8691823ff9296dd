#include "ImageIO/ImageDecoder.h"
#include "ImageIO/JPEGDecoder.h"
#include "PhotoSamples.h"
#include "PhotoTestSupport.h"

#include <gtest/gtest.h>

using namespace PhotoSamples;
using PhotoTestSupport::cornerLetters;

namespace {

int channel(std::uint32_t pixel, int shift)
{
    return int((pixel >> shift) & 0xff);
}

::testing::AssertionResult nearRGB(std::uint32_t pixel, std::array<int, 3> expected, int tolerance)
{
    std::array<int, 3> actual { channel(pixel, 16), channel(pixel, 8), channel(pixel, 0) };
    for (size_t i = 0; i < 3; ++i) {
        if (std::abs(actual[i] - expected[i]) > tolerance || pixel >> 24 != 0xff)
            return ::testing::AssertionFailure() << std::hex << "pixel " << pixel << std::dec << " is not near " << expected[0] << ", " << expected[1] << ", "
                                                 << expected[2];
    }
    return ::testing::AssertionSuccess();
}

}

TEST(JPEGDecode, EveryLayoutComesOutInItsStoredColours)
{
    auto picture = cornerPicture(64, 32);
    // Luma of red, green and blue: 0.299, 0.587, 0.114 of 255.
    struct {
        const char* name;
        JPEGOptions options;
        std::array<std::array<int, 3>, 3> redGreenBlue;
    } cases[] = {
        { "baseline 4:4:4", {}, { { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } } } },
        { "baseline 4:2:0", { .subsampled = true }, { { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } } } },
        { "progressive", { .progressive = true }, { { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } } } },
        { "progressive 4:2:0", { .progressive = true, .subsampled = true }, { { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 } } } },
        { "greyscale", { .greyscale = true }, { { { 76, 76, 76 }, { 150, 150, 150 }, { 29, 29, 29 } } } },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.name);
        auto jpeg = encodeJPEG(*picture, expected.options);
        auto image = ImageIO::decodeJPEG(jpeg);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), 64u);
        EXPECT_EQ(image->height(), 32u);
        EXPECT_TRUE(image->isOpaque());
        EXPECT_TRUE(nearRGB(image->pixelAt(3, 3), expected.redGreenBlue[0], 6));
        EXPECT_TRUE(nearRGB(image->pixelAt(60, 3), expected.redGreenBlue[1], 6));
        EXPECT_TRUE(nearRGB(image->pixelAt(32, 20), expected.redGreenBlue[2], 6));
    }
}

TEST(JPEGDecode, CMYKIsConvertedAsAdobesInvertedInks)
{
    // Four 8 × 8 squares, in Adobe's sense: no ink, full black, full cyan, magenta and yellow.
    struct {
        std::array<std::uint8_t, 4> cmyk;
        std::array<int, 3> rgb;
    } squares[] = {
        { { 255, 255, 255, 255 }, { 255, 255, 255 } },
        { { 255, 255, 255, 0 }, { 0, 0, 0 } },
        { { 0, 255, 255, 255 }, { 0, 255, 255 } },
        { { 255, 0, 0, 255 }, { 255, 0, 0 } },
    };
    Bytes cmyk;
    for (size_t y = 0; y < 8; ++y) {
        for (const auto& square : squares) {
            for (size_t x = 0; x < 8; ++x)
                cmyk.insert(cmyk.end(), square.cmyk.begin(), square.cmyk.end());
        }
    }
    auto image = ImageIO::decodeJPEG(encodeCMYKJPEG(32, 8, cmyk));
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width(), 32u);
    for (size_t i = 0; i < std::size(squares); ++i) {
        SCOPED_TRACE(testing::Message() << "square " << i);
        EXPECT_TRUE(nearRGB(image->pixelAt(i * 8 + 4, 4), squares[i].rgb, 4));
    }
}

TEST(JPEGDecode, EveryTruncationIsRefused)
{
    for (bool progressive : { false, true }) {
        SCOPED_TRACE(progressive ? "progressive" : "baseline");
        auto jpeg = encodeJPEG(*cornerPicture(64, 32), { .progressive = progressive });
        ASSERT_TRUE(ImageIO::decodeJPEG(jpeg));
        for (size_t length = 0; length < jpeg.size(); ++length)
            EXPECT_FALSE(ImageIO::decodeJPEG({ jpeg.data(), length })) << "first " << length << " of " << jpeg.size() << " bytes";
    }
}

TEST(JPEGDecode, FlippedBitsGiveNothingOrAWholeImage)
{
    for (bool progressive : { false, true }) {
        auto jpeg = encodeJPEG(*cornerPicture(32, 32), { .progressive = progressive, .subsampled = true });
        for (size_t at = 0; at < jpeg.size(); ++at) {
            for (std::uint8_t mask : { 0x01, 0x10, 0x80, 0xff }) {
                SCOPED_TRACE(testing::Message() << (progressive ? "progressive" : "baseline") << " byte " << at << " ^ " << int(mask));
                auto damaged = jpeg;
                damaged[at] ^= mask;
                if (auto image = ImageIO::decodeJPEG(damaged)) {
                    EXPECT_EQ(image->pixels().size(), image->width() * image->height());
                    EXPECT_TRUE(image->isOpaque());
                }
            }
        }
    }
}

TEST(JPEGDecode, HeadersBeyondTheLimitsAreRefusedBeforeThePixels)
{
    auto jpeg = encodeJPEG(*cornerPicture(64, 32));
    struct {
        const char* name;
        Bytes bytes;
        bool headerReads;
    } cases[] = {
        { "widest drawable, over too little data", withFrameSize(jpeg, 32767, 8), true },
        { "one pixel too wide", withFrameSize(jpeg, 32768, 8), false },
        { "65535 square", withFrameSize(jpeg, 65535, 65535), false },
        { "32767 x 3052, over 100 megapixels", withFrameSize(jpeg, 32767, 3052), false },
        { "no width", withFrameSize(jpeg, 0, 32), false },
        { "12-bit samples", withFramePrecision(jpeg, 12), false },
        { "16-bit samples", withFramePrecision(jpeg, 16), false },
        { "signature alone", Bytes(jpeg.begin(), jpeg.begin() + 3), false },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.name);
        auto properties = ImageIO::readJPEGProperties(expected.bytes);
        EXPECT_EQ(properties.has_value(), expected.headerReads);
        EXPECT_FALSE(ImageIO::decodeJPEG(expected.bytes));
        EXPECT_FALSE(ImageIO::decodePhoto(expected.bytes));
    }
}

TEST(JPEGDecode, ReductionIsTheSmallestStillCoveringTheSide)
{
    // 1000 × 750 reduces by n/8 to 125 × 94, 250 × 188, 375 × 282, 500 × 375, 625 × 469,
    // 750 × 563, 875 × 657 (libjpeg-turbo rounds up).
    auto jpeg = encodeJPEG(*cornerPicture(1000, 750), { .subsampled = true });
    struct {
        size_t minimumSide;
        size_t width, height;
    } cases[] = {
        { 0, 125, 94 },
        { 94, 125, 94 },
        { 95, 250, 188 },
        { 282, 375, 282 },
        { 283, 500, 375 },
        { 469, 625, 469 },
        { 657, 875, 657 },
        { 658, 1000, 750 },
        { 750, 1000, 750 },
        { 751, 1000, 750 },
        { ImageIO::fullSize, 1000, 750 },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(testing::Message() << "at least " << expected.minimumSide);
        auto image = ImageIO::decodeImageFittingSide(jpeg, expected.minimumSide);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), expected.width);
        EXPECT_EQ(image->height(), expected.height);
        // Reduced, the picture keeps its corners; the red square is 187 pixels of 750 high.
        EXPECT_EQ(cornerLetters(*image, image->height() / 10, 16), "RGBB");
        auto photo = ImageIO::decodePhoto(jpeg, expected.minimumSide);
        ASSERT_TRUE(photo);
        EXPECT_EQ(photo->image->width(), expected.width);
        EXPECT_EQ(photo->properties.width, 1000u) << "the stored size";
    }
}
