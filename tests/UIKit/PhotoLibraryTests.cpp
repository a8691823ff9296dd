#include "Foundation/DeviceRoot.h"
#include "ImageIO/PNGCodec.h"
#include "PhotoSamples.h"
#include "UIKit/PhotoLibrary.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace PhotoSamples;

namespace {

std::filesystem::path hostFile(const std::string& devicePath)
{
    return DeviceRoot::resolve(devicePath);
}

void writePhoto(const std::string& devicePath, const Bytes& bytes, std::optional<int> modifiedYear = std::nullopt)
{
    auto file = hostFile(devicePath);
    std::filesystem::create_directories(file.parent_path());
    TestSupport::writeFile(file, std::string(bytes.begin(), bytes.end()));
    if (modifiedYear) {
        using namespace std::chrono;
        sys_seconds time = sys_days(year(*modifiedYear) / June / 1) + hours(12);
        std::filesystem::last_write_time(file, file_clock::from_sys(time));
    }
}

// Random pixels compress poorly: a file larger than the start a listing reads first.
CGImageRef noisePicture(size_t width, size_t height)
{
    std::vector<std::uint32_t> pixels(width * height);
    std::uint32_t state = 8;
    for (auto& pixel : pixels) {
        state = state * 1664525 + 1013904223;
        pixel = 0xff000000 | state >> 8;
    }
    return CGImage::create(width, height, std::move(pixels));
}

std::vector<std::string> namesIn(const std::string& deviceFolder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(hostFile(deviceFolder)))
        names.push_back(entry.path().filename().string());
    std::ranges::sort(names);
    return names;
}

}

TEST(PhotoLibrary, AddingNumbersFilesAsACameraDoes)
{
    TestSupport::ScopedDeviceRoot root;
    auto picture = cornerPicture(64, 32);
    auto jpeg = encodeJPEG(*picture);
    auto png = ImageIO::encodePNG(*picture);
    ASSERT_TRUE(png);
    auto heic = encodeHEIC(*picture);

    struct {
        const char* name;
        Bytes bytes;
        const char* devicePath; // nullptr: refused
    } cases[] = {
        { "a JPEG into a library with no folder yet", jpeg, "/var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG" },
        { "a PNG", *png, "/var/mobile/Media/DCIM/100APPLE/IMG_0002.PNG" },
        { "not a picture", Bytes(300, 'x'), nullptr },
        { "a JPEG cut short", Bytes(jpeg.begin(), jpeg.end() - 10), nullptr },
        { "another JPEG", withEXIF(jpeg, { .orientation = 6 }), "/var/mobile/Media/DCIM/100APPLE/IMG_0003.JPG" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto before = std::filesystem::exists(hostFile(PhotoLibrary::cameraFolder)) ? namesIn(PhotoLibrary::cameraFolder) : std::vector<std::string> {};
        auto addition = PhotoLibrary::addPhoto(c.bytes);
        if (!c.devicePath) {
            EXPECT_EQ(addition.devicePath, "");
            EXPECT_NE(addition.error.find("not a photo"), std::string::npos) << addition.error;
            EXPECT_EQ(namesIn(PhotoLibrary::cameraFolder), before) << "nothing is written";
            continue;
        }
        EXPECT_EQ(addition.devicePath, c.devicePath);
        EXPECT_EQ(addition.error, "");
        EXPECT_EQ(TestSupport::readFile(hostFile(c.devicePath)), std::string(c.bytes.begin(), c.bytes.end())) << "the bytes unchanged";
    }
    if (heic) {
        EXPECT_EQ(PhotoLibrary::addPhoto(*heic).devicePath, "/var/mobile/Media/DCIM/100APPLE/IMG_0004.HEIC");
    } else {
        std::cout << "[ SKIPPED  ] HEIC: this libheif has no HEVC encoder\n";
    }

    // One past the highest number in the folder, whatever the case of the name; gaps stay.
    writePhoto("/var/mobile/Media/DCIM/100APPLE/img_0041.jpg", jpeg);
    EXPECT_EQ(PhotoLibrary::addPhoto(jpeg).devicePath, "/var/mobile/Media/DCIM/100APPLE/IMG_0042.JPG");
    writePhoto("/var/mobile/Media/DCIM/100APPLE/IMG_9999.PNG", *png);
    auto full = PhotoLibrary::addPhoto(jpeg);
    EXPECT_EQ(full.devicePath, "");
    EXPECT_NE(full.error.find("full"), std::string::npos) << full.error;
    for (const auto& name : namesIn(PhotoLibrary::cameraFolder))
        EXPECT_FALSE(name.starts_with('.')) << name << " is left behind";
}

TEST(PhotoLibrary, ListsPhotosOfTheDCIMFoldersOldestFirst)
{
    TestSupport::ScopedDeviceRoot root;
    auto picture = cornerPicture(64, 32);
    auto jpeg = encodeJPEG(*picture);
    auto png = ImageIO::encodePNG(*picture);
    ASSERT_TRUE(png);
    // EXIF dates are local times; file times are set a year or more away from them so the
    // order holds in every time zone.
    writePhoto("/var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG", withEXIF(jpeg, { .orientation = 6, .dateTimeOriginal = "2020:06:01 12:00:00" }), 2023);
    writePhoto("/var/mobile/Media/DCIM/100APPLE/IMG_0002.PNG", *png, 2021);
    writePhoto("/var/mobile/Media/DCIM/100APPLE/IMG_0003.JPG", jpeg, 2019);
    writePhoto("/var/mobile/Media/DCIM/101APPLE/IMG_0004.JPG", withEXIF(jpeg, { .dateTime = "2022:06:01 12:00:00" }), 2018);
    // Named as a PNG but a JPEG: the signature decides.
    writePhoto("/var/mobile/Media/DCIM/101APPLE/IMG_0005.PNG", jpeg, 2017);
    auto largeJPEG = withEXIF(encodeJPEG(*noisePicture(640, 480)), { .dateTimeOriginal = "2015:06:01 12:00:00" });
    ASSERT_GT(largeJPEG.size(), 300'000u);
    writePhoto("/var/mobile/Media/DCIM/101APPLE/IMG_0012.JPG", largeJPEG, 2024);
    auto largeHEIC = encodeHEIC(*picture, { .exif = EXIFFields { .dateTimeOriginal = "2014:06:01 12:00:00" }, .xmpSize = 300'000 });
    if (largeHEIC) {
        ASSERT_GT(largeHEIC->size(), 300'000u);
        writePhoto("/var/mobile/Media/DCIM/101APPLE/IMG_0013.HEIC", *largeHEIC, 2024);
    }
    // Left out: not in a folder of DCIM, hidden, not a picture, a header that does not read, a link, a folder.
    writePhoto("/var/mobile/Media/DCIM/IMG_0006.JPG", jpeg, 2016);
    writePhoto("/var/mobile/Media/DCIM/100APPLE/.IMG_0007.JPG", jpeg, 2016);
    writePhoto("/var/mobile/Media/DCIM/100APPLE/IMG_0008.JPG", Bytes(500, 'x'), 2016);
    writePhoto("/var/mobile/Media/DCIM/100APPLE/IMG_0009.JPG", Bytes(jpeg.begin(), jpeg.begin() + 20), 2016);
    std::filesystem::create_symlink(hostFile("/var/mobile/Media/DCIM/100APPLE/IMG_0003.JPG"), hostFile("/var/mobile/Media/DCIM/100APPLE/IMG_0010.JPG"));
    std::filesystem::create_directories(hostFile("/var/mobile/Media/DCIM/100APPLE/IMG_0011.JPG"));

    struct Expected {
        const char* devicePath;
        ImageIO::ImageFormat format;
        size_t width, height;
        UIImageOrientation orientation;
        const char* dateTaken;
    };
    std::vector<Expected> expected {
        { "/var/mobile/Media/DCIM/101APPLE/IMG_0012.JPG", ImageIO::ImageFormat::JPEG, 640, 480, UIImageOrientationUp, "2015-06-01 12:00:00" },
        { "/var/mobile/Media/DCIM/101APPLE/IMG_0005.PNG", ImageIO::ImageFormat::JPEG, 64, 32, UIImageOrientationUp, nullptr },
        { "/var/mobile/Media/DCIM/100APPLE/IMG_0003.JPG", ImageIO::ImageFormat::JPEG, 64, 32, UIImageOrientationUp, nullptr },
        { "/var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG", ImageIO::ImageFormat::JPEG, 64, 32, UIImageOrientationRight, "2020-06-01 12:00:00" },
        { "/var/mobile/Media/DCIM/100APPLE/IMG_0002.PNG", ImageIO::ImageFormat::PNG, 64, 32, UIImageOrientationUp, nullptr },
        { "/var/mobile/Media/DCIM/101APPLE/IMG_0004.JPG", ImageIO::ImageFormat::JPEG, 64, 32, UIImageOrientationUp, "2022-06-01 12:00:00" },
    };
    if (largeHEIC) {
        expected.insert(expected.begin(), { "/var/mobile/Media/DCIM/101APPLE/IMG_0013.HEIC", ImageIO::ImageFormat::HEIC, 64, 32, UIImageOrientationUp, "2014-06-01 12:00:00" });
    } else {
        std::cout << "[ SKIPPED  ] HEIC: this libheif has no HEVC encoder\n";
    }
    auto photos = PhotoLibrary::photos();
    ASSERT_EQ(photos.size(), expected.size());
    for (size_t i = 0; i < photos.size(); ++i) {
        SCOPED_TRACE(expected[i].devicePath);
        EXPECT_EQ(photos[i].devicePath, expected[i].devicePath);
        EXPECT_EQ(photos[i].fileName(), std::filesystem::path(expected[i].devicePath).filename());
        EXPECT_EQ(photos[i].properties.format, expected[i].format);
        EXPECT_EQ(photos[i].properties.width, expected[i].width);
        EXPECT_EQ(photos[i].properties.height, expected[i].height);
        EXPECT_EQ(photos[i].orientation(), expected[i].orientation);
        EXPECT_EQ(photos[i].properties.dateTaken ? photos[i].properties.dateTaken->description() : "none",
            expected[i].dateTaken ? expected[i].dateTaken : "none");
    }
}

TEST(PhotoLibrary, ImagesAndThumbnailsKeepTheOrientation)
{
    TestSupport::ScopedDeviceRoot root;
    writePhoto("/var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG", withEXIF(encodeJPEG(*cornerPicture(1000, 750)), { .orientation = 8 }));
    auto photos = PhotoLibrary::photos();
    ASSERT_EQ(photos.size(), 1u);
    struct {
        size_t minimumSide;
        size_t width, height;
    } cases[] = { { 90, 125, 94 }, { 300, 500, 375 }, { 2000, 1000, 750 }, { ImageIO::fullSize, 1000, 750 } };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "at least " << c.minimumSide);
        auto image = c.minimumSide == ImageIO::fullSize ? PhotoLibrary::imageOfPhoto(photos[0]) : PhotoLibrary::thumbnailOfPhoto(photos[0], c.minimumSide);
        ASSERT_TRUE(image);
        EXPECT_EQ(image->imageOrientation(), UIImageOrientationLeft);
        EXPECT_EQ(CGImageGetWidth(image->CGImage()), c.width);
        EXPECT_EQ(CGImageGetHeight(image->CGImage()), c.height);
    }
    std::filesystem::remove(hostFile(photos[0].devicePath));
    EXPECT_FALSE(PhotoLibrary::imageOfPhoto(photos[0]));
    EXPECT_TRUE(PhotoLibrary::photos().empty());
}
