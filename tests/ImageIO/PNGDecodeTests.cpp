#include "ImageIO/PNGCodec.h"
#include "PNGTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

using namespace PNGTestSupport;

namespace {

std::string pngDescription(std::uint32_t width, std::uint32_t height, int colorType, int depth, const std::string& rest)
{
    return "{\"width\":" + std::to_string(width) + ",\"height\":" + std::to_string(height) + ",\"colorType\":" + std::to_string(colorType)
        + ",\"depth\":" + std::to_string(depth) + rest + "}";
}

std::string list(const std::vector<int>& values)
{
    std::string text = "[";
    for (int value : values)
        text += (text.size() > 1 ? "," : "") + std::to_string(value);
    return text + "]";
}

#define SKIP_WITHOUT_PYTHON(files) \
    if (!(files))                  \
    GTEST_SKIP() << "python3 is not installed: these PNGs are written with its zlib"

constexpr const char* palette = "[\"PLTE\",\"ff000000ff000000ffffffff\"]";
constexpr const char* paletteAlpha = "[\"tRNS\",\"0080\"]";

}

TEST(PNGDecode, EveryColourTypeAndBitDepthInterlacedOrNot)
{
    // 2 × 2 pixels; interlaced, they fall in Adam7 passes 1, 6 and 7.
    struct {
        const char* name;
        int colorType;
        int depth;
        std::vector<int> samples;
        std::string chunks;
        std::array<std::uint32_t, 4> premultiplied;
    } cases[] = {
        { "grey 1", 0, 1, { 0, 1, 1, 0 }, "", { 0xff000000, 0xffffffff, 0xffffffff, 0xff000000 } },
        { "grey 2", 0, 2, { 0, 1, 2, 3 }, "", { 0xff000000, 0xff555555, 0xffaaaaaa, 0xffffffff } },
        { "grey 4", 0, 4, { 0, 5, 10, 15 }, "", { 0xff000000, 0xff555555, 0xffaaaaaa, 0xffffffff } },
        { "grey 8 + tRNS", 0, 8, { 0x40, 0x80, 0xff, 0 }, "[\"tRNS\",\"0040\"]", { 0, 0xff808080, 0xffffffff, 0xff000000 } },
        { "grey 16", 0, 16, { 0x1234, 0xffff, 0, 0x8000 }, "", { 0xff121212, 0xffffffff, 0xff000000, 0xff808080 } },
        { "grey+alpha 8", 4, 8, { 0x80, 0xff, 0x80, 0x80, 0xff, 0, 0xff, 0xff }, "", { 0xff808080, 0x80404040, 0, 0xffffffff } },
        { "grey+alpha 16", 4, 16, { 0x8000, 0xffff, 0x8000, 0x8000, 0xffff, 0, 0xffff, 0xffff }, "", { 0xff808080, 0x80404040, 0, 0xffffffff } },
        { "RGB 8", 2, 8, { 255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3 }, "", { 0xffff0000, 0xff00ff00, 0xff0000ff, 0xff010203 } },
        { "RGB 8 + tRNS", 2, 8, { 255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 2, 3 }, "[\"tRNS\",\"000000ff0000\"]", { 0xffff0000, 0, 0xff0000ff, 0xff010203 } },
        { "RGB 16", 2, 16, { 0xffff, 0, 0, 0, 0xffff, 0, 0, 0, 0xffff, 0x100, 0x200, 0x300 }, "", { 0xffff0000, 0xff00ff00, 0xff0000ff, 0xff010203 } },
        { "RGBA 8", 6, 8, { 255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 255, 255, 255, 1 }, "", { 0xffff0000, 0x80008000, 0, 0x01010101 } },
        { "RGBA 16", 6, 16, { 0xffff, 0, 0, 0xffff, 0, 0xffff, 0, 0x8080, 0, 0, 0xffff, 0, 0xffff, 0xffff, 0xffff, 0x101 }, "", { 0xffff0000, 0x80008000, 0, 0x01010101 } },
        { "palette 1", 3, 1, { 0, 1, 1, 0 }, "[\"PLTE\",\"ff00000000ff\"]", { 0xffff0000, 0xff0000ff, 0xff0000ff, 0xffff0000 } },
        { "palette 2 + tRNS", 3, 2, { 0, 1, 2, 3 }, std::string(palette) + "," + paletteAlpha, { 0, 0x80008000, 0xff0000ff, 0xffffffff } },
        { "palette 4", 3, 4, { 3, 2, 1, 0 }, palette, { 0xffffffff, 0xff0000ff, 0xff00ff00, 0xffff0000 } },
        { "palette 8 + tRNS", 3, 8, { 3, 2, 1, 0 }, std::string(palette) + "," + paletteAlpha, { 0xffffffff, 0xff0000ff, 0x80008000, 0 } },
    };
    std::vector<std::string> descriptions;
    for (const auto& expected : cases) {
        for (int interlace : { 0, 1 }) {
            descriptions.push_back(pngDescription(2, 2, expected.colorType, expected.depth,
                ",\"interlace\":" + std::to_string(interlace) + ",\"samples\":" + list(expected.samples) + ",\"chunks\":[" + expected.chunks + "]"));
        }
    }
    auto files = pythonPNGs(descriptions);
    SKIP_WITHOUT_PYTHON(files);
    auto file = files->begin();
    for (const auto& expected : cases) {
        for (int interlace : { 0, 1 }) {
            SCOPED_TRACE(testing::Message() << expected.name << (interlace ? " interlaced" : ""));
            auto image = ImageIO::decodePNG(*file++);
            if (!image || image->width() != 2 || image->height() != 2) {
                ADD_FAILURE() << "not decoded as 2 x 2";
                continue;
            }
            for (size_t i = 0; i < 4; ++i)
                EXPECT_EQ(image->pixels()[i], expected.premultiplied[i]) << "pixel " << i << std::hex << " is " << image->pixels()[i];
        }
    }
}

TEST(PNGDecode, SizeAndMemoryLimits)
{
    constexpr int rgba = 6;
    // A 2 × 2 image's rows of zeros, after the chunks under test.
    const std::string tinyImage = ",\"idatZeros\":18";
    struct {
        const char* name;
        std::string pngDescription;
        bool decodes;
    } cases[] = {
        { "widest drawable", pngDescription(32767, 1, rgba, 8, ",\"idatZeros\":131069"), true },
        { "one pixel too wide", pngDescription(32768, 1, rgba, 8, ",\"idatZeros\":131073"), false },
        { "one pixel too tall", pngDescription(1, 32768, rgba, 8, ",\"idatZeros\":163840"), false },
        { "30000 x 30000 from 64 MiB of zeros", pngDescription(30000, 30000, rgba, 8, ",\"idatZeros\":67108864"), false },
        { "a single stored IDAT of 1.2 MB", pngDescription(1024, 300, rgba, 8, ",\"level\":0,\"idatZeros\":1229100"), true },
        { "small zTXt", pngDescription(2, 2, rgba, 8, tinyImage + ",\"chunks\":[[\"zTXt\",\"436f6d6d656e740000\",1000]]"), true },
    };
    std::vector<std::string> descriptions;
    for (const auto& expected : cases)
        descriptions.push_back(expected.pngDescription);
    auto files = pythonPNGs(descriptions);
    SKIP_WITHOUT_PYTHON(files);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(ImageIO::decodePNG((*files)[i]) != nullptr, cases[i].decodes);
    }
}

TEST(PNGDecode, PillowReadsTheEncodedPixels)
{
    if (!havePillow())
        GTEST_SKIP() << "Pillow is not installed for python3";
    auto image = sampleImage();
    auto png = ImageIO::encodePNG(*image);
    ASSERT_TRUE(png);
    std::string expected = "RGBA 3x2 ";
    for (std::uint8_t byte : CGImageCopyStraightRGBA(*image)) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02x", byte);
        expected += hex;
    }
    EXPECT_EQ(pillowRead(*png), expected);
}

TEST(PNGDecode, MetadataPastTheLimitsIsDroppedAndThePixelsKept)
{
    constexpr int indexed = 3;
    // One half-transparent green pixel, its alpha from tRNS, so that dropping metadata must keep tRNS.
    const std::string greenPixel = std::string(",\"samples\":[1],\"chunks\":[") + palette + "," + paletteAlpha;
    std::string textChunks;
    for (int i = 0; i < 2000; ++i)
        textChunks += ",[\"tEXt\",\"6b0076\"]";
    struct {
        const char* name;
        std::string chunks;
    } cases[] = {
        { "zTXt inflating to 8 MiB", ",[\"zTXt\",\"436f6d6d656e740000\",8388608]]" },
        { "iCCP inflating to 8 MiB", ",[\"iCCP\",\"4943430000\",8388608]]" },
        { "iTXt of 1 MiB", ",[\"iTXt\",\"436f6d6d656e74000000000000" + std::string(2 << 20, '6') + "\"]]" },
        { "2000 tEXt chunks before the image", textChunks + "]" },
        { "2000 tEXt chunks after the image", "],\"chunksAfterImage\":[" + textChunks.substr(1) + "]" },
    };
    std::vector<std::string> descriptions;
    for (const auto& expected : cases)
        descriptions.push_back(pngDescription(1, 1, indexed, 8, greenPixel + expected.chunks));
    auto files = pythonPNGs(descriptions);
    SKIP_WITHOUT_PYTHON(files);
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        auto image = ImageIO::decodePNG((*files)[i]);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->row(0)[0], 0x80008000u) << std::hex << image->row(0)[0];
    }
}
