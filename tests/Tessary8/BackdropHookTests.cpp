#include "KeyboardDeviceFixture.h"

#include "UIKit/UIKBInputBackdropView.h"

namespace {

using Dictionary = PropertyListValue::Dictionary;

void expectColor(const nlohmann::json& color, float r, float g, float b, float a)
{
    ASSERT_TRUE(color.is_object()) << color;
    EXPECT_EQ(color["space"], "RGB");
    ASSERT_EQ(color["components"].size(), 4u);
    const float expected[] = { r, g, b, a };
    for (size_t i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(color["components"][i].get<float>(), expected[i]) << "component " << i;
}

void expectFrame(const nlohmann::json& frame, float x, float y, float w, float h)
{
    EXPECT_EQ(frame, nlohmann::json({ x, y, w, h }));
}

void expectPlatformBackdrop(const nlohmann::json& backdrop)
{
    auto light = UIKBInputBackdropView::lightBackdropColor()->CGColor()->components();
    expectColor(backdrop["backgroundColor"], light[0], light[1], light[2], light[3]);
}

class BackdropHook : public KeyboardDeviceFixture { };

TEST_F(BackdropHook, NoSettingsFileLeavesThePlatformBackdrop)
{
    auto report = showOnce();
    EXPECT_EQ(report["backdrop"]["class"], "UIKBInputBackdropView");
    expectPlatformBackdrop(report["backdrop"]);
    EXPECT_TRUE(report["backdrop"]["subviews"].empty());
    EXPECT_EQ(report["lightKeyboard"], true);
    EXPECT_EQ(report["GlobalisSwitch"], false);
}

TEST_F(BackdropHook, ColourSwitchPaintsTheBackdropAndASquareAndDarkensTheKeys)
{
    auto settings = colorSettings(0, 140.0f / 255, 1, 1);
    settings[SharedFiles::colorSwitchKey] = "1";
    writeSettings(settings);
    auto report = showOnce();
    auto& backdrop = report["backdrop"];
    expectColor(backdrop["backgroundColor"], 0, 140.0f / 255, 1, 1);
    ASSERT_EQ(backdrop["subviews"].size(), 1u);
    auto& square = backdrop["subviews"][0];
    EXPECT_EQ(square["class"], "UIView");
    expectFrame(square["frame"], 0, 0, 1024, 1024);
    EXPECT_EQ(square["autoresizingMask"], 0);
    expectColor(square["backgroundColor"], 0, 140.0f / 255, 1, 1);
    EXPECT_EQ(report["lightKeyboard"], false);
    EXPECT_EQ(report["GlobalisSwitch"], true);
}

TEST_F(BackdropHook, PictureSwitchAloneAddsOnlyThePictureAndKeepsTheKeysLight)
{
    writeSettings({ { SharedFiles::imageSwitchKey, "1" } });
    writePicture(64, 54);
    auto report = showOnce();
    auto& backdrop = report["backdrop"];
    expectPlatformBackdrop(backdrop);
    ASSERT_EQ(backdrop["subviews"].size(), 1u);
    auto& picture = backdrop["subviews"][0];
    EXPECT_EQ(picture["class"], "UIImageView");
    expectFrame(picture["frame"], 0, 0, 320, 216);
    EXPECT_EQ(picture["autoresizingMask"], 54);
    EXPECT_EQ(picture["image"]["size"], nlohmann::json({ 64, 54 }));
    EXPECT_EQ(report["lightKeyboard"], true);
    EXPECT_EQ(report["GlobalisSwitch"], false);
}

TEST_F(BackdropHook, BothSwitchesPutThePictureAboveTheColourSquare)
{
    auto settings = colorSettings(1, 0, 0, 1);
    settings[SharedFiles::colorSwitchKey] = "1";
    settings[SharedFiles::imageSwitchKey] = "1";
    writeSettings(settings);
    writePicture(10, 10);
    auto subviews = showOnce()["backdrop"]["subviews"];
    ASSERT_EQ(subviews.size(), 2u);
    EXPECT_EQ(subviews[0]["class"], "UIView");
    EXPECT_EQ(subviews[1]["class"], "UIImageView");
}

TEST_F(BackdropHook, PictureViewTakesTheBuildFrameOriginInsideTheBackdrop)
{
    writeSettings({ { SharedFiles::imageSwitchKey, "1" } });
    writePicture(10, 10);
    for (auto& [options, expected] : std::vector<std::pair<std::vector<std::string>, std::array<float, 4>>> {
             { { "--frame", "10,20,300,200" }, { 10, 20, 300, 200 } },
             { { "--orientation", "landscape" }, { 0, 0, 480, 162 } },
             { { "--orientation", "landscape", "--frame", "-5,7.5,480,162" }, { -5, 7.5, 480, 162 } },
         }) {
        SCOPED_TRACE(options.back());
        auto backdrop = showOnce(options)["backdrop"];
        expectFrame(backdrop["frame"], expected[0], expected[1], expected[2], expected[3]);
        ASSERT_EQ(backdrop["subviews"].size(), 1u);
        expectFrame(backdrop["subviews"][0]["frame"], expected[0], expected[1], expected[2], expected[3]);
    }
}

TEST_F(BackdropHook, LightKeyboardStaysOffAfterTheColourIsSwitchedOffInARunningProcess)
{
    auto settings = colorSettings(0.2f, 0.4f, 0.6f, 1);
    settings[SharedFiles::colorSwitchKey] = "1";
    writeSettings(settings);
    TestSupport::InteractiveProcess host(hostArguments());
    ASSERT_EQ(host.ask("show"), "ok");
    auto coloured = parseReport(host.ask("report"));
    EXPECT_EQ(coloured["lightKeyboard"], false);

    settings.erase(SharedFiles::colorSwitchKey);
    writeSettings(settings);
    ASSERT_EQ(host.ask("show"), "ok");
    auto after = parseReport(host.ask("report"));
    expectPlatformBackdrop(after["backdrop"]);
    EXPECT_TRUE(after["backdrop"]["subviews"].empty());
    EXPECT_EQ(after["lightKeyboard"], false);
    EXPECT_EQ(after["GlobalisSwitch"], true);
    EXPECT_EQ(host.finish(), 0);

    // A process started after the switch went off begins clear.
    auto fresh = showOnce();
    EXPECT_EQ(fresh["lightKeyboard"], true);
    EXPECT_EQ(fresh["GlobalisSwitch"], false);
}

TEST_F(BackdropHook, SwitchKeysCountByPresenceAlone)
{
    struct Case {
        const char* name;
        std::optional<PropertyListValue> open;
        bool hasRed;
        bool coloured;
    };
    const Case cases[] = {
        { "open is \"1\"", PropertyListValue("1"), true, true },
        { "open is \"0\"", PropertyListValue("0"), true, true },
        { "open is false", PropertyListValue(false), true, true },
        { "open is a dictionary", PropertyListValue(Dictionary {}), true, true },
        { "open without r", PropertyListValue("1"), false, false },
        { "r without open", std::nullopt, true, false },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        Dictionary settings { { SharedFiles::greenKey, PropertyListValue(0.5f) }, { SharedFiles::blueKey, PropertyListValue(0.25f) }, { SharedFiles::alphaKey, PropertyListValue(1.0f) } };
        if (test.open)
            settings[SharedFiles::colorSwitchKey] = *test.open;
        if (test.hasRed)
            settings[SharedFiles::redKey] = PropertyListValue(0.75f);
        writeSettings(settings);
        auto report = showOnce();
        EXPECT_EQ(report["backdrop"]["subviews"].size(), test.coloured ? 1u : 0u);
        EXPECT_EQ(report["GlobalisSwitch"], test.coloured);
        EXPECT_EQ(report["lightKeyboard"], !test.coloured);
        if (test.coloured)
            expectColor(report["backdrop"]["backgroundColor"], 0.75f, 0.5f, 0.25f, 1);
    }
}

TEST_F(BackdropHook, ComponentsReadAsFloatsWithAbsentOrNonNumericValuesAsZero)
{
    struct Case {
        const char* name;
        PropertyListValue red;
        float expectedRed;
    };
    const Case cases[] = {
        { "real", PropertyListValue(0.5f), 0.5f },
        { "integer", PropertyListValue::integer(1), 1 },
        { "numeric string", PropertyListValue(" 0.25xyz"), 0.25f },
        { "word", PropertyListValue("red"), 0 },
        { "true", PropertyListValue(true), 1 },
        { "dictionary", PropertyListValue(Dictionary { { "x", PropertyListValue(1.0f) } }), 0 },
        { "array", PropertyListValue(PropertyListValue::Array { PropertyListValue(1.0f) }), 0 },
        { "data", PropertyListValue(PropertyListValue::Storage(PropertyListValue::Data { 1, 2, 3 })), 0 },
        { "date", PropertyListValue(PropertyListValue::Storage(PropertyListValue::Date { 1000 })), 0 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        // No alpha: the colour is fully transparent.
        writeSettings({ { SharedFiles::colorSwitchKey, "1" }, { SharedFiles::redKey, test.red }, { SharedFiles::greenKey, PropertyListValue(0.5f) } });
        auto report = showOnce();
        expectColor(report["backdrop"]["backgroundColor"], test.expectedRed, 0.5f, 0, 0);
    }
}

TEST_F(BackdropHook, PictureSwitchWithoutAReadablePictureStillAddsAnEmptyPictureView)
{
    writeSettings({ { SharedFiles::imageSwitchKey, "1" } });
    struct Case {
        const char* name;
        std::function<void()> prepare;
    };
    auto pictureFile = m_device.prepare(SharedFiles::backgroundImagePath);
    const Case cases[] = {
        { "missing", [&] { std::filesystem::remove_all(pictureFile); } },
        { "garbage", [&] { TestSupport::writeFile(pictureFile, "not a picture at all"); } },
        { "truncated", [&] {
             writePicture(40, 30);
             auto bytes = TestSupport::readFile(pictureFile);
             TestSupport::writeFile(pictureFile, bytes.substr(0, bytes.size() / 2));
         } },
        { "a folder", [&] {
             std::filesystem::remove_all(pictureFile);
             std::filesystem::create_directory(pictureFile);
         } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        test.prepare();
        auto subviews = showOnce()["backdrop"]["subviews"];
        ASSERT_EQ(subviews.size(), 1u);
        EXPECT_EQ(subviews[0]["class"], "UIImageView");
        EXPECT_TRUE(subviews[0]["image"].is_null());
        expectFrame(subviews[0]["frame"], 0, 0, 320, 216);
    }
}

TEST_F(BackdropHook, UnreadableSettingsFilesReadAsNoKeys)
{
    std::string validXML = PropertyListValue(Dictionary { { SharedFiles::colorSwitchKey, "1" }, { SharedFiles::redKey, PropertyListValue(1.0f) }, { SharedFiles::imageSwitchKey, "1" } }).toXML();
    std::string deepXML = "<?xml version=\"1.0\"?><plist version=\"1.0\">";
    for (int i = 0; i < 100000; ++i)
        deepXML += "<array>";
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        { "empty", "" },
        { "garbage", "\x01\x02garbage\xff" },
        { "truncated", validXML.substr(0, validXML.size() / 2) },
        { "deeply nested", deepXML },
        { "root is an array", "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>open</string></array></plist>" },
        { "huge", std::string(24 * 1024 * 1024, ' ') + validXML },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        writeSettingsBytes(test.bytes);
        auto report = showOnce();
        EXPECT_TRUE(report["backdrop"]["subviews"].empty());
        EXPECT_EQ(report["GlobalisSwitch"], false);
    }

    auto settingsFile = m_device.prepare(SharedFiles::settingsPath);
    std::filesystem::remove(settingsFile);
    std::filesystem::create_directory(settingsFile);
    auto report = showOnce();
    EXPECT_TRUE(report["backdrop"]["subviews"].empty());
}

TEST_F(BackdropHook, SizeQueriesLogOneLinePerKeyboard)
{
    TestSupport::InteractiveProcess host(hostArguments({ "--orientation", "landscape" }));
    ASSERT_EQ(host.ask("show"), "ok");
    ASSERT_EQ(host.ask("show"), "ok");
    auto report = parseReport(host.ask("report"));
    EXPECT_EQ(report["log"], nlohmann::json({ "updateFrame=======rect:{480, 162}", "updateFrame=======rect:{480, 162}" }));
    EXPECT_EQ(report["size"], nlohmann::json({ 480, 162 }));
    EXPECT_TRUE(parseReport(host.ask("report"))["log"].empty());
    EXPECT_EQ(host.finish(), 0);
    EXPECT_NE(host.standardError().find("updateFrame=======rect:{480, 162}"), std::string::npos);
}

TEST_F(BackdropHook, SafeModeLoadsNoPlugIn)
{
    writeSettings({ { SharedFiles::colorSwitchKey, "1" }, { SharedFiles::redKey, PropertyListValue(1.0f) } });
    setenv("TESSARY8_SAFE_MODE", "1", 1);
    auto report = showOnce();
    unsetenv("TESSARY8_SAFE_MODE");
    EXPECT_TRUE(report["GlobalisSwitch"].is_null());
    EXPECT_TRUE(report["log"].empty());
    expectPlatformBackdrop(report["backdrop"]);
}

}
