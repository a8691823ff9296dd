#include "ImageIO/HEICDecoder.h"
#include "ImageIO/ImageDecoder.h"
#include "PhotoSamples.h"
#include "PhotoTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace PhotoSamples;
using PhotoTestSupport::cornerLetters;

namespace {

#define SKIP_WITHOUT_HEVC_ENCODER(file) \
    if (!(file))                        \
    GTEST_SKIP() << "this libheif has no HEVC encoder; only refusals are tested"

// An ftyp box: size, "ftyp", major brand, minor version, compatible brands.
Bytes fileTypeBox(const char* major, std::initializer_list<const char*> compatible)
{
    Bytes box { 0, 0, 0, static_cast<std::uint8_t>(16 + 4 * compatible.size()), 'f', 't', 'y', 'p' };
    box.insert(box.end(), major, major + 4);
    box.insert(box.end(), { 0, 0, 0, 0 });
    for (const char* brand : compatible)
        box.insert(box.end(), brand, brand + 4);
    return box;
}

// The file with every "ispe" box (an item's size: libheif's encoder wraps the coded image
// in a grid, and both have one) claiming another size.
Bytes withCodedSize(Bytes heic, std::uint32_t width, std::uint32_t height)
{
    static constexpr char type[] = "ispe";
    for (auto at = heic.begin(); (at = std::search(at, heic.end(), type, type + 4)) != heic.end(); ++at) {
        // Type (4), version and flags (4), width (4), height (4).
        size_t offset = static_cast<size_t>(at - heic.begin()) + 8;
        for (size_t i = 0; i < 4 && offset + 8 <= heic.size(); ++i) {
            heic[offset + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
            heic[offset + 4 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
        }
    }
    return heic;
}

}

TEST(HEICDecode, RecognisedByItsHEVCBrands)
{
    struct {
        const char* name;
        Bytes bytes;
        bool heic;
    } cases[] = {
        { "heic", fileTypeBox("heic", { "mif1", "heic" }), true },
        { "heix", fileTypeBox("heix", { "mif1" }), true },
        { "hevc sequence", fileTypeBox("hevc", {}), true },
        { "mif1 with heic", fileTypeBox("mif1", { "heic" }), true },
        { "mif1 alone", fileTypeBox("mif1", { "mif1" }), false },
        { "avif", fileTypeBox("avif", { "mif1", "avif" }), false },
        { "mif1 with avif", fileTypeBox("mif1", { "avif" }), false },
        { "an MP4 video", fileTypeBox("isom", { "mp41" }), false },
        { "too short", Bytes { 0, 0, 0, 16, 'f', 't', 'y', 'p', 'h', 'e', 'i' }, false },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(ImageIO::isHEIC(expected.bytes), expected.heic);
        EXPECT_EQ(ImageIO::imageFormat(expected.bytes) == ImageIO::ImageFormat::HEIC, expected.heic);
        // A file type alone holds no image.
        EXPECT_FALSE(ImageIO::decodeHEIC(expected.bytes));
        EXPECT_FALSE(ImageIO::readHEICProperties(expected.bytes));
    }
}

TEST(HEICDecode, TheFilesOwnTurnsAreAppliedOnceAndTheOrientationIsUp)
{
    for (const auto& expected : PhotoTestSupport::orientedCorners) {
        SCOPED_TRACE(testing::Message() << "orientation " << expected.orientation);
        // As a phone writes it: the turn in the file's own boxes and in its EXIF too.
        auto heic = encodeHEIC(*cornerPicture(64, 32),
            { .orientation = expected.orientation, .exif = EXIFFields { .orientation = static_cast<std::uint16_t>(expected.orientation) } });
        SKIP_WITHOUT_HEVC_ENCODER(heic);
        auto photo = ImageIO::decodePhoto(*heic);
        ASSERT_TRUE(photo);
        EXPECT_EQ(photo->properties.format, ImageIO::ImageFormat::HEIC);
        EXPECT_EQ(photo->properties.orientation, kCGImagePropertyOrientationUp);
        EXPECT_EQ(photo->image->width(), expected.sidesSwap ? 32u : 64u);
        EXPECT_EQ(photo->image->height(), expected.sidesSwap ? 64u : 32u);
        EXPECT_EQ(photo->properties.width, photo->image->width());
        EXPECT_EQ(cornerLetters(*photo->image, 4, 40), expected.corners);
    }
}

TEST(HEICDecode, ThumbnailServesSidesItCovers)
{
    auto heic = encodeHEIC(*cornerPicture(256, 192), { .thumbnailSide = 64 });
    SKIP_WITHOUT_HEVC_ENCODER(heic);
    struct {
        size_t minimumSide;
        size_t width, height;
    } cases[] = {
        { 0, 64, 48 },
        { 48, 64, 48 },
        { 49, 256, 192 },
        { ImageIO::fullSize, 256, 192 },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(testing::Message() << "at least " << expected.minimumSide);
        auto image = ImageIO::decodeImageFittingSide(*heic, expected.minimumSide);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), expected.width);
        EXPECT_EQ(image->height(), expected.height);
        EXPECT_EQ(cornerLetters(*image, image->height() / 8, 40), "RGBB");
    }
}

TEST(HEICDecode, DamagedFilesGiveNothingOrAWholeImage)
{
    auto heic = encodeHEIC(*cornerPicture(64, 32));
    SKIP_WITHOUT_HEVC_ENCODER(heic);
    ASSERT_TRUE(ImageIO::decodeHEIC(*heic));
    for (size_t length = 0; length < heic->size(); length += 3) {
        SCOPED_TRACE(testing::Message() << "first " << length << " of " << heic->size() << " bytes");
        EXPECT_FALSE(ImageIO::decodeHEIC({ heic->data(), length }));
    }
    for (size_t at = 0; at < heic->size(); at += 2) {
        SCOPED_TRACE(testing::Message() << "byte " << at << " flipped");
        auto damaged = *heic;
        damaged[at] ^= 0xff;
        if (auto image = ImageIO::decodeHEIC(damaged)) {
            EXPECT_EQ(image->pixels().size(), image->width() * image->height());
        }
    }
}

TEST(HEICDecode, CodedSizesBeyondTheLimitsAreRefusedBeforeThePixels)
{
    auto heic = encodeHEIC(*cornerPicture(64, 32));
    SKIP_WITHOUT_HEVC_ENCODER(heic);
    struct {
        const char* name;
        std::uint32_t width, height;
    } cases[] = {
        { "one pixel too wide", 32768, 32 },
        { "one pixel too tall", 64, 32768 },
        { "32767 x 3052, over 100 megapixels", 32767, 3052 },
        { "2^32 - 1 square", 0xffffffff, 0xffffffff },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto claimed = withCodedSize(*heic, c.width, c.height);
        ASSERT_NE(claimed, *heic);
        EXPECT_FALSE(ImageIO::readHEICProperties(claimed));
        EXPECT_FALSE(ImageIO::decodeHEIC(claimed));
    }
}

TEST(HEICDecode, AGridLargerThanItsDeclaredSizeIsRefusedBeforeItsPixels)
{
    // 1,337 bytes (a fuzzer's find) declaring 32 x 53 whose grid asks for 29817 x 10342:
    // libheif used to make that picture, 1.8 GB, before the size could be checked.
    auto bytes = TestSupport::readFile(TestSupport::sourceDirectory() / "fuzz/seeds/fuzz_HEIC/grid-larger-than-declared.heic");
    ASSERT_EQ(bytes.size(), 1337u);
    Bytes heic(bytes.begin(), bytes.end());
    auto properties = ImageIO::readHEICProperties(heic);
    ASSERT_TRUE(properties);
    EXPECT_EQ(properties->width, 32u);
    // Decoded in a child, whose peak memory the parent reads: the refusal alone proves nothing,
    // since the oversized picture was refused too, after it had been made.
    // The child starts with the pages it shares with this process resident.
    long residentPages = 0, sizePages = 0;
    std::ifstream("/proc/self/statm") >> sizePages >> residentPages;
    const long residentKilobytes = residentPages * (sysconf(_SC_PAGESIZE) / 1024);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        _exit(ImageIO::decodeHEIC(heic) ? 1 : 0);
    int status = 0;
    struct rusage usage {};
    ASSERT_EQ(wait4(child, &status, 0, &usage), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "refused";
    EXPECT_LT(usage.ru_maxrss, residentKilobytes + 256 * 1024) << "kilobytes at the peak, " << residentKilobytes << " at the start";
}

TEST(HEICDecode, AlphaComesOutPremultiplied)
{
    // Half-transparent red on the left half, nothing on the right.
    std::vector<std::uint32_t> pixels(64 * 32);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = i % 64 < 32 ? 0x80800000 : 0;
    auto heic = encodeHEIC(*CGImage::create(64, 32, std::move(pixels)), { .alpha = true });
    SKIP_WITHOUT_HEVC_ENCODER(heic);
    auto image = ImageIO::decodeHEIC(*heic);
    ASSERT_TRUE(image);
    auto left = image->pixelAt(8, 16), right = image->pixelAt(56, 16);
    EXPECT_NEAR(int(left >> 24), 0x80, 4);
    EXPECT_NEAR(int((left >> 16) & 0xff), 0x80, 8) << "red at half strength";
    EXPECT_LE(int((left >> 8) & 0xff), 8);
    EXPECT_LE(int(right >> 24), 4);
    EXPECT_LE(int((right >> 16) & 0xff), int(right >> 24)) << "never brighter than its alpha";
}
