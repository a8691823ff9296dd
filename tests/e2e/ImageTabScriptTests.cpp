#include "AppScriptFixture.h"
#include "ImageIO/PNGCodec.h"
#include "PhotoSamples.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace {

// A device with a Settings file and a portrait photo (stored on its side, EXIF orientation 6)
// in its library; the application run headless on it from scripts.
class ImageTabScript : public AppScriptFixture {
protected:
    void SetUp() override
    {
        ASSERT_EQ(TestSupport::runCommand(device("init")).exitCode, 0);
        ASSERT_EQ(TestSupport::runCommand(device("set --color 0.1,0.2,0.3,1")).exitCode, 0);
        // Stored 320 × 256: red in the stored top-left corner, green in the top-right.
        auto photo = PhotoSamples::withEXIF(PhotoSamples::encodeJPEG(*PhotoSamples::cornerPicture(320, 256)), { .orientation = 6 });
        auto file = m_root.path() / "portrait.jpg";
        TestSupport::writeFile(file, std::string(photo.begin(), photo.end()));
        ASSERT_EQ(TestSupport::runCommand(device("photos add " + TestSupport::shellQuote(file.string()))).exitCode, 0);
    }
    CGImageRef savedPicture() const
    {
        auto bytes = TestSupport::readFile(m_root.path() / "Library/Application Support/Tintwell/backImage/backimage.png");
        return ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() });
    }
};

}

TEST_F(ImageTabScript, ChooseCancelChooseAgainSavesThePortraitPhotoUpright)
{
    int exitCode = -1;
    auto answers = runScript("tab Use Image\nbutton ChoosePicture\nwait 0.5\ncancel\nwait 0.5\n"
                             "button ChoosePicture\nwait 0.5\nchoose IMG_0001.JPG\nwait 0.5\nbutton Save\nwait 0.4\nbutton OK\nwait 0.4\n",
        exitCode);
    ASSERT_EQ(exitCode, 0) << ::testing::PrintToString(answers);
    auto saved = savedPicture();
    ASSERT_TRUE(saved);
    // Upright the photo is 256 × 320 with red at its top right and green at its bottom right;
    // at 0.6 of its size, centred, it lies wholly inside the frame.
    auto at = [&](double x, double y) { return TestSupport::pixelAt(*saved, size_t(x * saved->width()), size_t(y * saved->height())); };
    auto redLike = [](TestSupport::Pixel p) { return p.red > 180 && p.green < 90 && p.blue < 90; };
    auto greenLike = [](TestSupport::Pixel p) { return p.green > 180 && p.red < 90 && p.blue < 90; };
    EXPECT_EQ(saved->width(), 256u) << "a photo smaller than the frame is cut to itself, upright";
    EXPECT_EQ(saved->height(), 320u);
    bool redAboveGreen = false;
    for (double x = 0.5; x < 0.9 && !redAboveGreen; x += 0.02) {
        for (double y = 0.02; y < 0.5; y += 0.02) {
            if (redLike(at(x, y))) {
                for (double below = y + 0.1; below < 0.98; below += 0.02)
                    redAboveGreen = redAboveGreen || greenLike(at(x, below));
            }
        }
    }
    EXPECT_TRUE(redAboveGreen) << "red above green on the right: upright";
}

TEST_F(ImageTabScript, PinchTurnSaveAndTurnOnThenTheKeyboardShowsThePicture)
{
    int exitCode = -1;
    auto answers = runScript("tab Use Image\nbutton ChoosePicture\nwait 0.5\nchoose IMG_0001.JPG\nwait 0.5\n"
                             "pinch 160,265 100 150\nrotate 160,265 30\nbutton Save\nwait 0.4\nbutton OK\nwait 0.4\nbutton TurnOn\n",
        exitCode);
    ASSERT_EQ(exitCode, 0) << ::testing::PrintToString(answers);
    auto saved = savedPicture();
    ASSERT_TRUE(saved);
    auto keyboard = showKeyboard("k.png");
    ASSERT_EQ(keyboard.exitCode, 0);
    auto report = nlohmann::json::parse(keyboard.output);
    auto& subviews = report["backdrop"]["subviews"];
    ASSERT_FALSE(subviews.empty());
    auto& picture = subviews.back();
    EXPECT_EQ(picture["class"], "UIImageView");
    EXPECT_EQ(picture["image"]["size"], (nlohmann::json { double(saved->width()), double(saved->height()) })) << "the saved picture, shown";
}
