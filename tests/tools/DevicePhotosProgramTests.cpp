#include "ImageIO/PNGCodec.h"
#include "PhotoSamples.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace PhotoSamples;

namespace {

class DevicePhotosProgram : public ::testing::Test {
protected:
    TestSupport::CommandResult device(const std::string& arguments)
    {
        auto program = TestSupport::binaryDirectory() / "bin" / "tessary8-device";
        return TestSupport::runCommand(TestSupport::shellQuote(program.string()) + " --root " + TestSupport::shellQuote(m_root.path().string()) + " "
            + arguments + " 2>&1");
    }
    std::string file(const std::string& name, const Bytes& bytes)
    {
        auto path = m_files.path() / name;
        TestSupport::writeFile(path, std::string(bytes.begin(), bytes.end()));
        return TestSupport::shellQuote(path.string());
    }
    std::filesystem::path cameraFolder() const { return m_root.path() / "var/mobile/Media/DCIM/100APPLE"; }

    TestSupport::TemporaryDirectory m_root;
    TestSupport::TemporaryDirectory m_files;
};

TEST_F(DevicePhotosProgram, AddCopiesPicturesAsACameraDoesAndListsThem)
{
    auto picture = cornerPicture(64, 32);
    auto jpeg = withEXIF(encodeJPEG(*picture), { .orientation = 6, .dateTimeOriginal = "2020:06:01 12:00:00" });
    auto png = ImageIO::encodePNG(*picture);
    ASSERT_TRUE(png);

    EXPECT_NE(device("photos").output.find("no photos"), std::string::npos);
    // The folder is made on the way; a picture keeps its bytes and takes its format's extension.
    auto added = device("photos add " + file("holiday.jpeg", jpeg) + " " + file("drawing.bin", *png));
    ASSERT_EQ(added.exitCode, 0) << added.output;
    EXPECT_NE(added.output.find("holiday.jpeg -> /var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG"), std::string::npos) << added.output;
    EXPECT_NE(added.output.find("drawing.bin -> /var/mobile/Media/DCIM/100APPLE/IMG_0002.PNG"), std::string::npos) << added.output;
    EXPECT_EQ(TestSupport::readFile(cameraFolder() / "IMG_0001.JPG"), std::string(jpeg.begin(), jpeg.end()));

    auto listed = device("photos");
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_NE(listed.output.find("2 photos, oldest first\n100APPLE/IMG_0001.JPG  64 x 32  Right  2020-06-01 12:00:00 (taken)\n"
                                 "100APPLE/IMG_0002.PNG  64 x 32  Up  "),
        std::string::npos)
        << listed.output;
    EXPECT_NE(listed.output.find("(file modified)\n"), std::string::npos) << listed.output;
}

TEST_F(DevicePhotosProgram, AddRefusesAnythingButAPhotoAndCopiesNothing)
{
    auto jpeg = encodeJPEG(*cornerPicture(64, 32));
    const std::string good = file("good.jpg", jpeg);
    struct {
        const char* name;
        std::string arguments;
        const char* message;
    } cases[] = {
        { "text", good + " " + file("notes.jpg", Bytes { 'h', 'e', 'l', 'l', 'o' }), "notes.jpg is not a photo (a PNG, JPEG or HEIC that decodes); nothing was added" },
        { "a JPEG cut short", file("cut.jpg", Bytes(jpeg.begin(), jpeg.end() - 40)) + " " + good, "cut.jpg is not a photo" },
        { "a missing file", good + " " + TestSupport::shellQuote((m_files.path() / "missing.jpg").string()), "missing.jpg" },
        { "a folder", good + " " + TestSupport::shellQuote(m_files.path().string()), "" },
        { "no file", "", "FILE is required" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = device("photos add " + c.arguments);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_NE(result.output.find(c.message), std::string::npos) << result.output;
        EXPECT_FALSE(std::filesystem::exists(cameraFolder() / "IMG_0001.JPG"));
    }
}

TEST_F(DevicePhotosProgram, SetImageTakesAJpegAndStoresItUprightAsPng)
{
    ASSERT_EQ(device("init").exitCode, 0);
    auto jpeg = encodeJPEG(*cornerPicture(64, 32));
    struct {
        const char* name;
        Bytes photo;
        size_t width, height;
    } cases[] = {
        { "no orientation", jpeg, 64, 32 },
        { "stored on its side (EXIF 6)", withEXIF(jpeg, { .orientation = 6 }), 32, 64 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto set = device("set --image " + file("photo.jpg", c.photo));
        EXPECT_EQ(set.exitCode, 0) << set.output;
        auto stored = TestSupport::readFile(m_root.path() / "Library/Application Support/Tintwell/backImage/backimage.png");
        auto image = ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(stored.data()), stored.size() });
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), c.width);
        EXPECT_EQ(image->height(), c.height);
    }
}
}
