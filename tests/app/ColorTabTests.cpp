#include "Foundation/NSDictionary.h"
#include "KZColorPicker/ColorPicker/KZColorPicker.h"
#include "KZColorPicker/ColorPicker/KZColorPickerSwatchView.h"
#include "QuartzCore/CAAnimationClock.h"
#include "UIKit/UIAlertView.h"
#include "UIKit/UIApplication.h"
#include "UIKit/UINavigationController.h"
#include "app/AppDelegate.h"
#include "app/KZDefaultColorViewController.h"
#include "host/ScreenDescription.h"
#include "shared/SharedFiles.h"
#include "support/ControlTestSupport.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <nlohmann/json.hpp>

using TestSupport::rectNear;

namespace {

// Opens only what it is told it can, and records instead of opening.
class RecordingOpener : public UIURLOpener {
public:
    std::vector<std::string> schemes;
    bool canOpenScheme(const std::string& scheme) override
    {
        return std::find(schemes.begin(), schemes.end(), scheme) != schemes.end() || UIURLOpener::canOpenScheme(scheme);
    }
};

// The application as it starts, on a device of its own; the colour tab on screen.
class ColorTab : public ControlTestSupport::ControlTest {
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        m_window->setHidden(true);
        UIApplication::sharedApplication()->setURLOpener(opener);
    }
    void TearDown() override
    {
        if (delegate)
            delegate->window()->setHidden(true);
        dismissAlerts();
        UIApplication::sharedApplication()->setURLOpener(nullptr);
        ControlTest::TearDown();
    }

    void start()
    {
        delegate = objc::alloc<AppDelegate>();
        ASSERT_TRUE(delegate->applicationDidFinishLaunchingWithOptions(*UIApplication::sharedApplication(), {}));
        runLoopTurn();
        auto navigation = std::dynamic_pointer_cast<UINavigationController>(delegate->tabbarViewController()->viewControllers().front());
        ASSERT_TRUE(navigation);
        tab = std::dynamic_pointer_cast<KZDefaultColorViewController>(navigation->topViewController());
        ASSERT_TRUE(tab);
    }
    std::shared_ptr<KZColorPicker> picker() const { return std::dynamic_pointer_cast<KZColorPicker>(tab->view()->subviews().front()); }
    std::string switchTitle() const { return tab->navigationItem()->leftBarButtonItem()->title(); }
    void press(const char* title)
    {
        auto centres = findTitledViews(title, TitledViewKind::Button);
        ASSERT_EQ(centres.size(), 1u) << title;
        m_finger.tap(centres.front());
    }
    static void dismissAlerts()
    {
        for (int i = 0; i < 4 && !findTitledViews("OK", TitledViewKind::Button).empty(); ++i) {
            TouchInjector().tap(findTitledViews("OK", TitledViewKind::Button).front());
            CAAnimationClock::shared().advance(1);
            runLoopTurn();
        }
    }
    std::filesystem::path settingsFile() const { return device.path() / std::filesystem::path(SharedFiles::settingsPath).relative_path(); }
    std::shared_ptr<NSDictionary> settings() const { return NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath); }
    void writeSettings(const PropertyListValue::Dictionary& entries)
    {
        (void)device.prepare(SharedFiles::settingsPath);
        ASSERT_TRUE(NSMutableDictionary(entries).writeToFile(SharedFiles::settingsPath, true));
    }

    TestSupport::ScopedDeviceRoot device;
    std::shared_ptr<RecordingOpener> opener = std::make_shared<RecordingOpener>();
    std::shared_ptr<AppDelegate> delegate;
    std::shared_ptr<KZDefaultColorViewController> tab;
};

std::vector<float> rgba(const UIColorRef& color)
{
    std::vector<float> components;
    const CGColorRef& cg = color->CGColor();
    for (size_t i = 0; i < CGColorGetNumberOfComponents(cg); ++i)
        components.push_back(static_cast<float>(CGColorGetComponents(cg)[i]));
    return components;
}

}

TEST_F(ColorTab, StartsAsTheApplicationBuildsIt)
{
    start();
    EXPECT_EQ(tab->title(), "Tessary 8");
    auto navigation = tab->navigationController();
    EXPECT_EQ(navigation->title(), "Use Color");
    EXPECT_FALSE(navigation->navigationBar()->isTranslucent());
    EXPECT_EQ(rgba(navigation->navigationBar()->barTintColor()), (std::vector<float> { 0, 140.0f / 255, 1, 1 }));
    EXPECT_TRUE(rectNear(tab->view()->frame(), CGRectMake(0, 64, 320, 416))) << "below the opaque bar, under the translucent tab bar";
    EXPECT_EQ(tab->view()->autoresizingMask(), 18u);
    EXPECT_TRUE(rectNear(picker()->frame(), tab->view()->bounds()));
    auto item = tab->tabBarItem();
    EXPECT_EQ(item->title(), "Use Color");
    EXPECT_EQ(item->image()->name(), "xz_tsb.png");
    EXPECT_EQ(item->selectedImage()->name(), "wxz_tsb.png");
    EXPECT_EQ(tab->navigationItem()->rightBarButtonItem()->title(), "Save");
    EXPECT_EQ(rgba(tab->navigationItem()->rightBarButtonItem()->tintColor()), (std::vector<float> { 1, 0, 0, 1 }));
    EXPECT_EQ(switchTitle(), "TurnOn");
    EXPECT_TRUE(tab->shouldAutorotateToInterfaceOrientation(UIInterfaceOrientationLandscapeRight));
    EXPECT_EQ(tab->contentSizeForViewInPopover(), CGSizeMake(320, 416));
    auto screen = describeScreen().dump();
    EXPECT_NE(screen.find("<<<Follow me may get free copy\xF0\x9F\x98\x84"), std::string::npos);
    EXPECT_NE(screen.find("twitter_icon.png"), std::string::npos);
}

TEST_F(ColorTab, WithoutASettingsFileTheSwitchOnlyFlipsItsTitleAndWhiteIsNotSaved)
{
    start();
    EXPECT_EQ(rgba(tab->selectedColor()), (std::vector<float> { 1, 1 })) << "white, in the grey space";
    press("TurnOn");
    EXPECT_EQ(switchTitle(), "TurnOff");
    press("TurnOff");
    EXPECT_EQ(switchTitle(), "TurnOn");
    press("Save");
    EXPECT_FALSE(std::filesystem::exists(settingsFile())) << "a two-component colour is not stored";
    EXPECT_EQ(findTitledViews("OK", TitledViewKind::Button).size(), 1u);
    EXPECT_NE(describeScreen().dump().find("Save Failed"), std::string::npos) << "nothing was stored, and the alert says so";
    dismissAlerts();
    EXPECT_TRUE(findTitledViews("OK", TitledViewKind::Button).empty());
}

TEST_F(ColorTab, SavingAndSwitchingKeepEachOthersKeysAndUnknownOnes)
{
    writeSettings({ { "open", PropertyListValue("1") }, { "image_open", PropertyListValue("1") }, { "theirs", PropertyListValue(7.5) },
        { "r", PropertyListValue(0.5f) }, { "g", PropertyListValue(0.25f) }, { "b", PropertyListValue(1.0f) } });
    start();
    EXPECT_EQ(switchTitle(), "TurnOff");
    EXPECT_EQ(rgba(tab->selectedColor()), (std::vector<float> { 0.5f, 0.25f, 1, 0 })) << "a missing alpha reads as 0";

    CGRect swatch = picker()->swatches()[2]->frame();
    m_finger.tap(picker()->convertPointToView(CGPointMake(CGRectGetMidX(swatch), CGRectGetMidY(swatch)), nullptr));
    press("Save");
    EXPECT_NE(describeScreen().dump().find("Save Success"), std::string::npos);
    dismissAlerts();
    auto saved = settings();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->count(), 7u);
    for (const char* key : { "open", "image_open", "theirs" })
        EXPECT_TRUE(saved->objectForKey(key)) << key;
    auto green = saved->objectForKey("g");
    ASSERT_TRUE(green && green->get<double>());
    EXPECT_EQ(*green->get<double>(), static_cast<double>(static_cast<float>(*green->get<double>()))) << "stored as a 32-bit float";
    EXPECT_FLOAT_EQ(green->floatValue(), 1);

    press("TurnOff");
    saved = settings();
    EXPECT_FALSE(saved->objectForKey("open"));
    EXPECT_EQ(saved->count(), 6u);
    EXPECT_FLOAT_EQ(saved->objectForKey("g")->floatValue(), 1);
}

TEST_F(ColorTab, AnUnusableSettingsFileIsNeverReplacedAndLeavesNothingBehind)
{
    struct Case {
        const char* label;
        void (*make)(const std::filesystem::path& file);
        const char* says;
    } cases[] = {
        { "not a property list", [](const std::filesystem::path& file) { TestSupport::writeFile(file, "garbage"); }, "could not be read, so it was left as it is" },
        { "a folder", [](const std::filesystem::path& file) { std::filesystem::create_directories(file); }, "could not be read, so it was left as it is" },
        { "its folder missing", [](const std::filesystem::path& file) { std::filesystem::remove_all(file.parent_path()); },
            "The colour could not be written to /var/mobile/Library/Preferences/com.quarrow.tintwell.plist." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TestSupport::ScopedDeviceRoot scratch;
        auto file = scratch.prepare(SharedFiles::settingsPath);
        c.make(file);
        auto before = std::filesystem::is_regular_file(file) ? TestSupport::readFile(file) : std::string();
        start();
        EXPECT_EQ(rgba(tab->selectedColor()), (std::vector<float> { 1, 1 })) << "white";
        tab->saveColorwithColor(UIColor::colorWithRed(0.1f, 0.2f, 0.3f, 1));
        runLoopTurn();
        auto screen = describeScreen().dump();
        EXPECT_NE(screen.find("Save Failed"), std::string::npos) << "nothing was stored, and the alert says so";
        EXPECT_EQ(screen.find("Save Success"), std::string::npos);
        EXPECT_NE(screen.find(c.says), std::string::npos) << screen;
        dismissAlerts();
        auto title = switchTitle();
        press(title.c_str());
        EXPECT_NE(switchTitle(), title) << "the title flips whatever the file";
        if (!before.empty()) {
            EXPECT_EQ(TestSupport::readFile(file), before) << "the old file stays";
        }
        if (std::filesystem::exists(file.parent_path())) {
            // The writers' lock file stays: removing it would let two writers lock different files.
            auto lock = file.parent_path() / std::filesystem::path(SharedFiles::settingsLockPath).filename();
            for (auto& entry : std::filesystem::directory_iterator(file.parent_path())) {
                if (entry.path() != lock) {
                    EXPECT_EQ(entry.path(), file) << "no temporary file is left";
                }
            }
        }
        EXPECT_EQ(std::filesystem::is_directory(file), c.label == std::string("a folder"));
        delegate->window()->setHidden(true);
    }
}

TEST_F(ColorTab, FollowOpensTheApplicationWhenItsSchemeOpensElseTheWebPage)
{
    start();
    for (bool appInstalled : { false, true }) {
        SCOPED_TRACE(appInstalled ? "with the application" : "without");
        opener->schemes = appInstalled ? std::vector<std::string> { "twitter" } : std::vector<std::string> {};
        auto before = opener->openedURLs().size();
        m_finger.touchDown(CGPointMake(45, 64 + 275));
        m_finger.touchUp(CGPointMake(45, 64 + 275));
        ASSERT_EQ(opener->openedURLs().size(), before + 1) << "on touch down";
        EXPECT_EQ(opener->openedURLs().back(), appInstalled ? KZDefaultColorViewController::profileAppURL : KZDefaultColorViewController::profileWebURL);
    }
}
