#include "ImageIO/JPEGDecoder.h"
#include "PictureTestSupport.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

using namespace PictureTestSupport;
using TestSupport::pixelAt;
using TestSupport::transparent;

namespace {

constexpr int scales[] = { 1, 2 };

struct PictureSize {
    const char* name;
    size_t width, height; // points
};
const PictureSize bundlePictures[] = {
    { "pickerColorWheel", 240, 240 },
    { "colorPickerKnob", 24, 24 },
    { "checkerboard", 12, 12 },
    { "MNColorViewCheckmark", 22, 22 },
    { "xz_tsb", 30, 30 },
    { "wxz_tsb", 30, 30 },
    { "xz_pic", 30, 30 },
    { "wxz_pic", 30, 30 },
    { "twitter_icon", 50, 50 },
};

bool isWhite(Pixel p) { return p.alpha == 255 && std::min({ p.red, p.green, p.blue }) >= 235; }
bool isBlue(Pixel p) { return p.alpha >= 200 && p.blue > p.red + 100; }
bool isGrey(Pixel p) { return std::max({ p.red, p.green, p.blue }) - std::min({ p.red, p.green, p.blue }) <= 8; }

int count(const CGImage& image, bool (*test)(Pixel))
{
    int n = 0;
    for (size_t y = 0; y < image.height(); ++y) {
        for (size_t x = 0; x < image.width(); ++x)
            n += test(pixelAt(image, x, y));
    }
    return n;
}

::testing::AssertionResult cornersTransparent(const CGImage& image, size_t block)
{
    for (size_t y = 0; y < block; ++y) {
        for (size_t x = 0; x < block; ++x) {
            for (auto [cx, cy] : { std::pair { x, y }, { image.width() - 1 - x, y }, { x, image.height() - 1 - y }, { image.width() - 1 - x, image.height() - 1 - y } }) {
                if (pixelAt(image, cx, cy).alpha)
                    return ::testing::AssertionFailure() << "pixel (" << cx << ", " << cy << ") is not transparent";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

}

TEST(BundlePictures, EveryPictureAtOneAndTwoTimes)
{
    const std::vector<std::string> listed = pictureFiles();
    for (const auto& picture : bundlePictures) {
        for (int scale : scales) {
            const std::string file = fileAtScale(picture.name, scale);
            SCOPED_TRACE(file);
            EXPECT_NE(std::find(listed.begin(), listed.end(), file), listed.end()) << "not among the build's outputs";
            CGImageRef image = loadPicture(file);
            ASSERT_TRUE(image);
            EXPECT_EQ(image->width(), picture.width * scale);
            EXPECT_EQ(image->height(), picture.height * scale);
        }
    }
}

// A hollow white ring with dark edges: the chosen colour shows in the middle.
TEST(BundlePictures, KnobIsAnOpaqueRingOnTransparency)
{
    for (int scale : scales) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        CGImageRef knob = loadPicture(fileAtScale("colorPickerKnob", scale));
        ASSERT_TRUE(knob);
        EXPECT_TRUE(cornersTransparent(*knob, 3 * scale));
        EXPECT_EQ(pixelAtPoint(*knob, scale, 12, 12), transparent);
        for (auto [dx, dy] : { std::pair { 1, 0 }, { -1, 0 }, { 0, 1 }, { 0, -1 } }) {
            SCOPED_TRACE(testing::Message() << "towards (" << dx << ", " << dy << ")");
            EXPECT_TRUE(isWhite(pixelAtPoint(*knob, scale, 12 + 8.25 * dx, 12 + 8.25 * dy)));
            Pixel edge = pixelAtPoint(*knob, scale, 12 + 6.75 * dx, 12 + 6.75 * dy);
            EXPECT_GT(edge.alpha, 100);
            EXPECT_LT(edge.red, 160);
        }
    }
}

// Two 2 × 2 grids of squares: each square one colour, diagonal squares alike, neighbours
// not, so the tile repeats seamlessly; the 2× tile is the 1× one with each pixel doubled.
TEST(BundlePictures, CheckerboardTilesAlternate)
{
    CGImageRef single = loadPicture("checkerboard.png");
    ASSERT_TRUE(single);
    for (int scale : scales) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        CGImageRef tile = loadPicture(fileAtScale("checkerboard", scale));
        ASSERT_TRUE(tile);
        const size_t half = tile->width() / 2;
        const Pixel light = pixelAt(*tile, 0, 0), dark = pixelAt(*tile, half, 0);
        EXPECT_EQ(light.alpha, 255);
        EXPECT_EQ(dark.alpha, 255);
        EXPECT_GT(std::abs(light.red - dark.red), 20);
        int wrong = 0;
        for (size_t y = 0; y < tile->height(); ++y) {
            for (size_t x = 0; x < tile->width(); ++x) {
                const Pixel expected = (x < half) == (y < half) ? light : dark;
                wrong += pixelAt(*tile, x, y) != expected;
                wrong += pixelAt(*single, x / scale, y / scale) != expected;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(BundlePictures, CheckmarkIsAWhiteTickOnABlueDisc)
{
    for (int scale : scales) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        CGImageRef mark = loadPicture(fileAtScale("MNColorViewCheckmark", scale));
        ASSERT_TRUE(mark);
        EXPECT_TRUE(cornersTransparent(*mark, 3 * scale));
        EXPECT_EQ(pixelAtPoint(*mark, scale, 11, 11).alpha, 255);
        // The disc's rim is white too; the tick is the white inside it.
        int tick = 0;
        for (size_t y = 5 * scale; y < 17u * scale; ++y) {
            for (size_t x = 5 * scale; x < 17u * scale; ++x)
                tick += isWhite(pixelAt(*mark, x, y));
        }
        EXPECT_GT(tick, 15 * scale * scale);
        EXPECT_GT(count(*mark, isBlue), 100 * scale * scale);
    }
}

// Normal tab icons are grey outlines, selected ones filled blue shapes, both on transparency.
TEST(BundlePictures, TabIconsGreyWhenNormalBlueWhenSelected)
{
    const std::pair<const char*, const char*> tabs[] = { { "xz_tsb", "wxz_tsb" }, { "xz_pic", "wxz_pic" } };
    for (auto [normalName, selectedName] : tabs) {
        for (int scale : scales) {
            SCOPED_TRACE(testing::Message() << normalName << " and " << selectedName << " at scale " << scale);
            CGImageRef normal = loadPicture(fileAtScale(normalName, scale));
            CGImageRef selected = loadPicture(fileAtScale(selectedName, scale));
            ASSERT_TRUE(normal && selected);
            EXPECT_TRUE(cornersTransparent(*normal, 2 * scale));
            EXPECT_TRUE(cornersTransparent(*selected, 2 * scale));
            const int opaqueNormal = count(*normal, [](Pixel p) { return p.alpha == 255; });
            EXPECT_GT(opaqueNormal, 40 * scale * scale);
            EXPECT_EQ(count(*normal, [](Pixel p) { return p.alpha == 255 && isGrey(p); }), opaqueNormal);
            const int opaqueSelected = count(*selected, [](Pixel p) { return p.alpha == 255; });
            EXPECT_EQ(count(*selected, [](Pixel p) { return p.alpha == 255 && isBlue(p); }), opaqueSelected);
            EXPECT_GT(opaqueSelected, opaqueNormal);
        }
    }
}

TEST(BundlePictures, FollowBadgeIsARoundedBlueSquareWithAWhiteFigure)
{
    for (int scale : scales) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        CGImageRef badge = loadPicture(fileAtScale("twitter_icon", scale));
        ASSERT_TRUE(badge);
        EXPECT_TRUE(cornersTransparent(*badge, 2 * scale));
        EXPECT_TRUE(isBlue(pixelAtPoint(*badge, scale, 6, 25)));
        EXPECT_TRUE(isWhite(pixelAtPoint(*badge, scale, 20, 18.5)));
        EXPECT_TRUE(isWhite(pixelAtPoint(*badge, scale, 36.5, 21)));
        EXPECT_GT(count(*badge, isBlue), 1500 * scale * scale);
    }
}

TEST(BundlePictures, DemoPhotoIsAJPEGLandscape)
{
    const std::string bytes = TestSupport::readFile(picturesFolder() / "DemoPNG.jpg");
    const std::span<const std::uint8_t> jpeg { reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() };
    ASSERT_TRUE(ImageIO::isJPEG(jpeg));
    CGImageRef photo = ImageIO::decodeJPEG(jpeg);
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->width(), 960u);
    EXPECT_EQ(photo->height(), 720u);
    EXPECT_TRUE(photo->isOpaque());
    // Sky above, meadow below.
    const Pixel sky = pixelAt(*photo, 5, 5), meadow = pixelAt(*photo, 480, 715);
    EXPECT_GT(sky.blue, sky.red + 60) << ::testing::PrintToString(sky);
    EXPECT_GT(meadow.green, std::max(meadow.red, meadow.blue)) << ::testing::PrintToString(meadow);
}

// The build lists the files it expects; the program must write exactly those.
TEST(PictureProgram, WritesExactlyTheFilesTheBuildLists)
{
    TestSupport::TemporaryDirectory folder;
    auto result = TestSupport::runCommand(TestSupport::shellQuote(TESSARY8_PICTURES_PROGRAM) + " " + TestSupport::shellQuote(folder.path().string()));
    EXPECT_EQ(result.exitCode, 0);
    std::set<std::string> written;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        written.insert(entry.path().filename().string());
    const auto listed = pictureFiles();
    EXPECT_EQ(written, std::set<std::string>(listed.begin(), listed.end()));
}

TEST(PictureProgram, RefusesBadArgumentsWithAMessage)
{
    TestSupport::TemporaryDirectory folder;
    const std::string program = TestSupport::shellQuote(TESSARY8_PICTURES_PROGRAM);
    struct Case {
        const char* label;
        std::string arguments;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        { "no folder", "", 2, "usage: tessary8-resources FOLDER" },
        { "a folder that does not exist", TestSupport::shellQuote((folder.path() / "missing").string()), 1, "cannot write" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        auto result = TestSupport::runCommand(program + " " + c.arguments + " 2>&1");
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
    }
}
