#include "Foundation/NSDictionary.h"
#include "ImageIO/PNGCodec.h"
#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIGraphics.h"
#include "UIKit/UINavigationController.h"
#include "app/AppDelegate.h"
#include "app/image/IMageSelecetViewController.h"
#include "host/ScreenDescription.h"
#include "shared/SharedFiles.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <nlohmann/json.hpp>

using namespace TestSupport;

namespace {

// 4 × 2 stored pixels: red at the top left, green at the top right, blue at the bottom left, white elsewhere.
CGImageRef corners()
{
    return imageFromRows({ { opaqueRed, opaqueWhite, opaqueWhite, opaqueGreen }, { opaqueBlue, opaqueWhite, opaqueWhite, opaqueWhite } });
}

// The picture as UIKit shows it upright, at scale 1.
CGImageRef shownUpright(const UIImageRef& image)
{
    UIGraphicsBeginImageContextWithOptions(image->size(), false, 1);
    image->drawInRect(CGRectMake(0, 0, image->size().width, image->size().height));
    auto drawn = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return drawn->CGImage();
}

}

TEST(FixOrientation, RedrawsEveryFlagUprightAsUIKitShowsIt)
{
    for (int flag = UIImageOrientationDown; flag <= UIImageOrientationRightMirrored; ++flag) {
        SCOPED_TRACE(flag);
        auto image = UIImage::imageWithCGImage(corners(), 1, static_cast<UIImageOrientation>(flag));
        auto fixed = IMageSelecetViewController::fixOrientation(image);
        ASSERT_TRUE(fixed);
        EXPECT_EQ(fixed->imageOrientation(), UIImageOrientationUp);
        EXPECT_EQ(fixed->scale(), 1);
        EXPECT_EQ(letters(*fixed->CGImage()), letters(*shownUpright(image)));
    }
    auto up = UIImage::imageWithCGImage(corners());
    EXPECT_EQ(IMageSelecetViewController::fixOrientation(up), up) << "an upright picture is the very same object";
    // The right flag: a portrait photo stored on its side comes out upright, 2 × 4.
    auto right = IMageSelecetViewController::fixOrientation(UIImage::imageWithCGImage(corners(), 1, UIImageOrientationRight));
    EXPECT_EQ(letters(*right->CGImage()), "BR/WW/WW/WG");
    // Scale 2: as many pixels as the picture has points.
    auto doubled = UIImage::imageWithCGImage(CGImage::create(200, 100, std::vector<std::uint32_t>(20000, 0xff808080u)), 2, UIImageOrientationDown);
    auto halved = IMageSelecetViewController::fixOrientation(doubled);
    EXPECT_EQ(halved->CGImage()->width(), 100u);
    EXPECT_EQ(halved->CGImage()->height(), 50u);
}

namespace {

// The application on a device of its own, the image tab on screen.
class ImageTab : public ControlTestSupport::ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        m_window->setHidden(true);
        (void)device.prepare(std::string(SharedFiles::backgroundImageFolder) + "/x");
        delegate = objc::alloc<AppDelegate>();
        delegate->applicationDidFinishLaunchingWithOptions(*UIApplication::sharedApplication(), {});
        runLoopTurn();
        m_finger.tap(findTitledViews("Use Image", TitledViewKind::TabBarItem).at(0));
        auto navigation = std::dynamic_pointer_cast<UINavigationController>(delegate->tabbarViewController()->selectedViewController());
        tab = std::dynamic_pointer_cast<IMageSelecetViewController>(navigation->topViewController());
    }
    void TearDown() override
    {
        delegate->window()->setHidden(true);
        for (int i = 0; i < 3 && !findTitledViews("OK", TitledViewKind::Button).empty(); ++i) {
            m_finger.tap(findTitledViews("OK", TitledViewKind::Button).front());
            CAAnimationClock::shared().advance(1);
            runLoopTurn();
        }
        ControlTest::TearDown();
    }
    std::filesystem::path pictureFile() const { return device.path() / std::filesystem::path(SharedFiles::backgroundImagePath).relative_path(); }
    void press(const char* title)
    {
        auto centres = findTitledViews(title, TitledViewKind::Button);
        ASSERT_EQ(centres.size(), 1u) << title;
        m_finger.tap(centres.front());
    }

    TestSupport::ScopedDeviceRoot device;
    std::shared_ptr<AppDelegate> delegate;
    std::shared_ptr<IMageSelecetViewController> tab;
};

}

TEST_F(ImageTab, StartsWithTheDemoPictureAndSavesItsFramedPart)
{
    ASSERT_TRUE(tab);
    auto cropper = tab->imageCropperView();
    EXPECT_TRUE(rectNear(cropper->frame(), CGRectMake(0, 130, 320, 270)));
    EXPECT_EQ(cropper->layer()->borderWidth(), 1);
    EXPECT_EQ(cropper->subviews().size(), 2u) << "set up twice";
    ASSERT_TRUE(cropper->image());
    EXPECT_EQ(tab->navigationController()->title(), "Use Image");
    EXPECT_TRUE(tab->navigationController()->navigationBar()->isTranslucent());
    press("Save");
    EXPECT_NE(describeScreen().dump().find("Save Success"), std::string::npos);
    auto bytes = readFile(pictureFile());
    auto saved = ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() });
    ASSERT_TRUE(saved) << "the demo picture's framed part is written";
    cropper->finishCropping();
    EXPECT_EQ(saved->width(), cropper->croppedImage()->CGImage()->width());
    EXPECT_EQ(saved->height(), cropper->croppedImage()->CGImage()->height());
}

TEST_F(ImageTab, TheSwitchStoresOnlyWhereThereIsASettingsFileAndKeepsTheOtherKeys)
{
    press("TurnOn");
    press("TurnOff");
    EXPECT_FALSE(std::filesystem::exists(device.path() / std::filesystem::path(SharedFiles::settingsPath).relative_path()));
    (void)device.prepare(SharedFiles::settingsPath);
    ASSERT_TRUE(NSMutableDictionary({ { "open", PropertyListValue("1") }, { "r", PropertyListValue(0.5f) } }).writeToFile(SharedFiles::settingsPath, true));
    press("TurnOn");
    auto settings = NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->count(), 3u);
    EXPECT_EQ(*settings->objectForKey("image_open")->get<std::string>(), "1");
    press("TurnOff");
    settings = NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
    EXPECT_FALSE(settings->objectForKey("image_open"));
    EXPECT_EQ(settings->count(), 2u);
}

TEST_F(ImageTab, WithoutAPictureFolderNothingIsWrittenAndTheAlertSaysSo)
{
    std::filesystem::remove_all(pictureFile().parent_path());
    press("Save");
    EXPECT_FALSE(std::filesystem::exists(pictureFile()));
    EXPECT_EQ(findTitledViews("OK", TitledViewKind::Button).size(), 1u);
    auto screen = describeScreen().dump();
    EXPECT_NE(screen.find("Save Failed"), std::string::npos) << screen;
    EXPECT_NE(screen.find("The picture could not be written to /Library/Application Support/Tintwell/backImage/backimage.png"), std::string::npos);
}
