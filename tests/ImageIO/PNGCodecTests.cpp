#include "ImageIO/ImageDecoder.h"
#include "ImageIO/PNGCodec.h"
#include "PNGTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

using namespace PNGTestSupport;
using ImageIO::PNGCompression;

namespace {

Bytes encodedSample()
{
    auto png = ImageIO::encodePNG(*sampleImage());
    EXPECT_TRUE(png);
    return png.value_or(Bytes {});
}

int largestChannelDifference(std::uint32_t a, std::uint32_t b)
{
    int largest = 0;
    for (int shift = 0; shift < 32; shift += 8)
        largest = std::max(largest, std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)));
    return largest;
}

}

TEST(PNGCodec, RoundTripKeepsPremultipliedPixelsWithinOne)
{
    auto image = sampleImage();
    for (auto compression : { PNGCompression::Default, PNGCompression::Fast, PNGCompression::None }) {
        SCOPED_TRACE(static_cast<int>(compression));
        auto png = ImageIO::encodePNG(*image, compression);
        ASSERT_TRUE(png);
        auto decoded = ImageIO::decodePNG(*png);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->width(), 3u);
        ASSERT_EQ(decoded->height(), 2u);
        for (size_t i = 0; i < 6; ++i)
            EXPECT_LE(largestChannelDifference(decoded->pixels()[i], image->pixels()[i]), 1) << "pixel " << i;
    }
}

TEST(PNGCodec, WritesEightBitRGBAAtTheRequestedLevel)
{
    // A gradient: deflate shrinks it, stored blocks cannot.
    std::vector<std::uint32_t> pixels(64 * 64);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0xff000000 | std::uint32_t(i % 64 * 4) << 16 | std::uint32_t(i / 64 * 4) << 8;
    auto image = CGImage::create(64, 64, pixels);
    // The zlib header's FLEVEL: 0 for levels 0–1, 2 for level 6.
    struct {
        PNGCompression compression;
        int flevel;
        bool smallerThanPixels;
    } cases[] = { { PNGCompression::Default, 2, true }, { PNGCompression::Fast, 0, true }, { PNGCompression::FastUp, 0, true },
        { PNGCompression::None, 0, false } };
    for (const auto& expected : cases) {
        SCOPED_TRACE(static_cast<int>(expected.compression));
        auto png = ImageIO::encodePNG(*image, expected.compression);
        ASSERT_TRUE(png);
        ASSERT_TRUE(ImageIO::isPNG(*png));
        auto all = chunks(*png);
        auto header = chunkOfType(all, "IHDR");
        EXPECT_EQ((*png)[header.offset + 16], 8) << "bit depth";
        EXPECT_EQ((*png)[header.offset + 17], 6) << "colour type";
        EXPECT_EQ((*png)[header.offset + 20], 0) << "interlace";
        EXPECT_EQ((*png)[chunkOfType(all, "IDAT").offset + 9] >> 6, expected.flevel);
        EXPECT_EQ(png->size() < pixels.size() * 4, expected.smallerThanPixels) << png->size() << " bytes";
    }
}

TEST(PNGCodec, EveryTruncationIsRefused)
{
    auto png = encodedSample();
    ASSERT_TRUE(ImageIO::decodePNG(png));
    for (size_t length = 0; length < png.size(); ++length)
        EXPECT_FALSE(ImageIO::decodePNG({ png.data(), length })) << "first " << length << " of " << png.size() << " bytes";
}

TEST(PNGCodec, DamagedCriticalChunkIsRefusedDamagedMetadataIsDropped)
{
    auto png = encodedSample();
    auto text = makeChunk("tEXt", { 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i' });
    png.insert(png.begin() + static_cast<std::ptrdiff_t>(chunkOfType(chunks(png), "IDAT").offset), text.begin(), text.end());
    auto intact = ImageIO::decodePNG(png);
    ASSERT_TRUE(intact);
    struct {
        const char* type;
        bool decodes;
    } cases[] = { { "IHDR", false }, { "IDAT", false }, { "IEND", false }, { "tEXt", true } };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.type);
        auto damaged = png;
        auto chunk = chunkOfType(chunks(damaged), expected.type);
        damaged[chunk.offset + 8 + chunk.length] ^= 0x01;
        auto image = ImageIO::decodePNG(damaged);
        EXPECT_EQ(image != nullptr, expected.decodes);
        if (image) {
            EXPECT_TRUE(std::ranges::equal(image->pixels(), intact->pixels()));
        }
    }
}

TEST(PNGCodec, FlippedBitsInHeaderOrImageDataGiveNothingOrAWholeImage)
{
    auto png = encodedSample();
    auto all = chunks(png);
    for (const char* type : { "IHDR", "IDAT" }) {
        auto chunk = chunkOfType(all, type);
        for (size_t at = chunk.offset; at < chunk.offset + 12 + chunk.length; ++at) {
            for (std::uint8_t mask : { 0x01, 0x10, 0x80, 0xff }) {
                for (bool crcFixed : { false, true }) {
                    SCOPED_TRACE(testing::Message() << type << " byte " << at << " ^ " << int(mask) << (crcFixed ? ", CRC fixed" : ""));
                    auto damaged = png;
                    damaged[at] ^= mask;
                    if (crcFixed)
                        fixCRC(damaged, chunk);
                    auto image = ImageIO::decodePNG(damaged);
                    if (!crcFixed) {
                        EXPECT_FALSE(image);
                    } else if (image) {
                        EXPECT_EQ(image->pixels().size(), image->width() * image->height());
                    }
                }
            }
        }
    }
}

TEST(ImageDecoder, DecodesOnlyWhatItsSignatureNames)
{
    auto png = encodedSample();
    Bytes noise(4096);
    std::mt19937 random(8);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    Bytes noiseAfterSignature(png.begin(), png.begin() + 8);
    noiseAfterSignature.insert(noiseAfterSignature.end(), noise.begin(), noise.end());
    struct {
        const char* name;
        Bytes bytes;
        bool decodes;
    } cases[] = {
        { "PNG", png, true },
        { "empty", {}, false },
        { "signature alone", Bytes(png.begin(), png.begin() + 8), false },
        { "PNG without its signature", Bytes(png.begin() + 8, png.end()), false },
        { "JPEG", { 0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00 }, false },
        { "noise", noise, false },
        { "noise after a PNG signature", noiseAfterSignature, false },
        { "IHDR claiming 100000 x 100000", withHeaderSize(png, 100000, 100000), false },
        { "IHDR claiming 0 x 2", withHeaderSize(png, 0, 2), false },
        { "IHDR claiming 2^32-1 square", withHeaderSize(png, 0xffffffff, 0xffffffff), false },
    };
    for (const auto& expected : cases) {
        SCOPED_TRACE(expected.name);
        auto image = ImageIO::decodeImage(expected.bytes);
        EXPECT_EQ(image != nullptr, expected.decodes);
        EXPECT_EQ(ImageIO::decodePNG(expected.bytes) != nullptr, expected.decodes);
        if (image) {
            EXPECT_EQ(image->width() * image->height(), 6u);
        }
    }
}
