#include "Foundation/NSBundle.h"
#include "Foundation/NSData.h"
#include "PhotoSamples.h"
#include "PhotoTestSupport.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UIImage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace PhotoSamples;

namespace {

// The image drawn upright into a scale-1 context of its size in points.
CGImageRef drawnUpright(const UIImage& image)
{
    UIGraphicsBeginImageContextWithOptions(image.size(), true, 1);
    image.drawInRect(CGRectMake(0, 0, image.size().width, image.size().height));
    auto drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return drawn ? drawn->CGImage() : nullptr;
}

}

TEST(UIImageFromPhoto, TheEXIFOrientationTurnsThePictureForDisplay)
{
    auto jpeg = encodeJPEG(*cornerPicture(64, 32));
    struct Expected {
        std::optional<std::uint16_t> tag;
        UIImageOrientation orientation;
    };
    const Expected expectations[] = {
        { 1, UIImageOrientationUp },
        { 2, UIImageOrientationUpMirrored },
        { 3, UIImageOrientationDown },
        { 4, UIImageOrientationDownMirrored },
        { 5, UIImageOrientationLeftMirrored },
        { 6, UIImageOrientationRight },
        { 7, UIImageOrientationRightMirrored },
        { 8, UIImageOrientationLeft },
    };
    for (size_t i = 0; i < std::size(expectations); ++i) {
        const auto& expected = expectations[i];
        const auto& corners = PhotoTestSupport::orientedCorners[i];
        SCOPED_TRACE(testing::Message() << "EXIF " << *expected.tag);
        auto image = UIImage::imageWithData(withEXIF(jpeg, { .orientation = expected.tag }));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->imageOrientation(), expected.orientation);
        EXPECT_EQ(image->scale(), 1);
        EXPECT_EQ(CGImageGetWidth(image->CGImage()), 64u) << "pixels as stored";
        EXPECT_EQ(image->size().width, corners.sidesSwap ? 32 : 64);
        auto upright = drawnUpright(*image);
        ASSERT_TRUE(upright);
        EXPECT_EQ(PhotoTestSupport::cornerLetters(*upright, 4, 8), corners.corners);
    }
    for (std::optional<std::uint16_t> other : { std::optional<std::uint16_t>(), std::optional<std::uint16_t>(0), std::optional<std::uint16_t>(9) }) {
        auto image = UIImage::imageWithData(withEXIF(jpeg, { .orientation = other }));
        ASSERT_TRUE(image);
        EXPECT_EQ(image->imageOrientation(), UIImageOrientationUp);
    }
}

TEST(UIImageFromPhoto, AFileReadsAsItsBytesDoAndAPNGOfItRoundTrips)
{
    TestSupport::ScopedDeviceRoot root;
    const char* photoPath = "/var/mobile/Media/DCIM/100APPLE/IMG_0001.JPG";
    const char* savedPath = "/Library/Application Support/Tintwell/backImage/backimage.png";
    auto jpeg = withEXIF(encodeJPEG(*cornerPicture(64, 32)), { .orientation = 6 });
    TestSupport::writeFile(root.prepare(photoPath), std::string(jpeg.begin(), jpeg.end()));
    auto photo = UIImage::imageWithContentsOfFile(photoPath);
    ASSERT_TRUE(photo);
    EXPECT_EQ(photo->imageOrientation(), UIImageOrientationRight);
    EXPECT_FALSE(UIImage::imageWithContentsOfFile("/var/mobile/Media/DCIM/100APPLE/IMG_0002.JPG"));

    // The picture save path: PNG bytes of the stored pixels, written atomically, read back.
    NSData png(UIImagePNGRepresentation(photo));
    ASSERT_GT(png.length(), 0u);
    (void)root.prepare(savedPath);
    ASSERT_TRUE(png.writeToFile(savedPath, true));
    auto saved = UIImage::imageWithContentsOfFile(savedPath);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->imageOrientation(), UIImageOrientationUp);
    ASSERT_EQ(CGImageGetWidth(saved->CGImage()), 64u);
    ASSERT_EQ(CGImageGetHeight(saved->CGImage()), 32u);
    EXPECT_TRUE(std::ranges::equal(saved->CGImage()->pixels(), photo->CGImage()->pixels()));
    for (const auto& entry : std::filesystem::directory_iterator(root.prepare(savedPath).parent_path()))
        EXPECT_EQ(entry.path().filename(), "backimage.png") << "no temporary file is left";
    // Written over, atomically or not, the file holds the new picture only.
    NSData smaller(UIImagePNGRepresentation(UIImage::imageWithCGImage(cornerPicture(8, 32))));
    for (bool atomically : { true, false }) {
        ASSERT_TRUE(png.writeToFile(savedPath, atomically));
        ASSERT_TRUE(smaller.writeToFile(savedPath, atomically));
        auto again = UIImage::imageWithContentsOfFile(savedPath);
        ASSERT_TRUE(again);
        EXPECT_EQ(CGImageGetWidth(again->CGImage()), 8u);
    }
}

TEST(UIImageFromPhoto, TheBundlesDemoPhotoIsAJPEG)
{
    NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
    auto demo = UIImage::imageNamed("DemoPNG.jpg");
    NSBundle::mainBundle().setResourcePath({});
    ASSERT_TRUE(demo);
    EXPECT_EQ(demo->scale(), 1) << "no @2x variant";
    EXPECT_EQ(demo->imageOrientation(), UIImageOrientationUp);
    EXPECT_EQ(CGImageGetWidth(demo->CGImage()), 960u);
    EXPECT_EQ(CGImageGetHeight(demo->CGImage()), 720u);
}

TEST(UIImageFromFile, DecodedOncePerStateOfTheFile)
{
    TestSupport::ScopedDeviceRoot root;
    const char* path = "/Library/Application Support/Tintwell/backImage/backimage.png";
    auto file = root.prepare(path);
    auto write = [&](size_t width, bool atomically, std::optional<std::chrono::hours> age) {
        NSData png(UIImagePNGRepresentation(UIImage::imageWithCGImage(cornerPicture(width, 8))));
        ASSERT_TRUE(png.writeToFile(path, atomically));
        if (age)
            std::filesystem::last_write_time(file, std::filesystem::file_time_type::clock::now() - *age);
    };
    auto width = [&] {
        auto image = UIImage::imageWithContentsOfFile(path);
        return image ? CGImageGetWidth(image->CGImage()) : 0;
    };

    write(16, true, std::chrono::hours(1));
    auto first = UIImage::imageWithContentsOfFile(path);
    EXPECT_EQ(UIImage::imageWithContentsOfFile(path), first) << "an unchanged file is not decoded again";
    struct {
        const char* name;
        size_t width;
        bool atomically;
        std::optional<std::chrono::hours> age;
    } changes[] = {
        { "replaced by rename", 24, true, std::chrono::hours(1) },
        { "rewritten in place, same size, older time", 24, false, std::chrono::hours(2) },
        { "rewritten in place just now", 32, false, std::nullopt },
        { "rewritten in place just now, same size", 32, false, std::nullopt },
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.name);
        auto before = UIImage::imageWithContentsOfFile(path);
        write(change.width, change.atomically, change.age);
        auto after = UIImage::imageWithContentsOfFile(path);
        ASSERT_TRUE(after);
        EXPECT_NE(after, before);
        EXPECT_EQ(CGImageGetWidth(after->CGImage()), change.width);
    }
    std::filesystem::remove(file);
    EXPECT_EQ(width(), 0u) << "a deleted file gives no picture";
}
