#include "AppScriptFixture.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/NSDictionary.h"
#include "ImageIO/PNGCodec.h"
#include "shared/SharedFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace {

// A prepared device and the application run headless on it from scripts.
class ColorTabScript : public AppScriptFixture {
protected:
    void SetUp() override { ASSERT_EQ(TestSupport::runCommand(device("init")).exitCode, 0); }
    std::shared_ptr<NSDictionary> settings() { return TestSupport::readSettings(m_root.path()); }
};

}

TEST_F(ColorTabScript, PickSaveDismissTurnOnThenTheKeyboardTakesTheColour)
{
    auto shot = m_root.path() / "alert.png";
    int exitCode = -1;
    auto answers = runScript("# the third swatch, green\n"
                             "tap 136,390\n"
                             "button Save\n"
                             "wait 0.4\n"
                             "shot " + shot.string() + "\n"
                             "button OK\n"
                             "wait 0.4\n"
                             "button TurnOn\n"
                             "dump\n",
        exitCode);
    ASSERT_EQ(exitCode, 0);
    ASSERT_EQ(answers.size(), 8u) << "one answer a command, none for the comment";
    for (size_t i = 0; i < 7; ++i)
        EXPECT_EQ(answers[i], "ok") << i;
    auto screen = nlohmann::json::parse(answers[7]);
    EXPECT_EQ(screen["screen"]["size"], (nlohmann::json { 320.0, 480.0 }));
    EXPECT_EQ(screen["windows"].size(), 2u) << "the application's window and the status bar; the alert has gone";
    EXPECT_NE(answers[7].find("\"title\":\"TurnOff\""), std::string::npos);

    auto saved = settings();
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->count(), 5u);
    EXPECT_NEAR(saved->objectForKey("r")->floatValue(), 0, 1e-6);
    EXPECT_NEAR(saved->objectForKey("g")->floatValue(), 1, 1e-6);
    EXPECT_FLOAT_EQ(saved->objectForKey("a")->floatValue(), 1);
    EXPECT_TRUE(saved->objectForKey("open"));
    auto bytes = TestSupport::readFile(shot);
    auto png = ImageIO::decodePNG(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width(), 640u);

    auto keyboard = showKeyboard("k.png");
    ASSERT_EQ(keyboard.exitCode, 0);
    auto report = nlohmann::json::parse(keyboard.output);
    EXPECT_EQ(report["lightKeyboard"], false) << "dark keys over the colour";
    // The wheel's trigonometry comes from libm, whose last bit differs between processors.
    const auto& components = report["backdrop"]["backgroundColor"]["components"];
    ASSERT_EQ(components.size(), 4u);
    const double green[] = { 0, 1, 0, 1 };
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(components[i].get<double>(), green[i], 1e-6) << "component " << i;
}

TEST_F(ColorTabScript, BadCommandsAnswerErrorsChangeNothingAndFailTheRun)
{
    int exitCode = -1;
    auto answers = runScript("dance\ntap 1\ntap nan,3\ndrag 1,1 2,2 0\nbutton Nothing\ntab Nowhere\nwait -1\nwait x\norientation sideways\n"
                             "shot\nshot /nonexistent-folder/x.png\ndump now\nbutton TurnOn\nlog\nquit\ntap 10,10\n",
        exitCode);
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(answers.size(), 15u) << "nothing after quit";
    for (size_t i = 0; i < 12; ++i)
        EXPECT_EQ(answers[i].rfind("error: ", 0), 0u) << answers[i];
    EXPECT_EQ(answers[12], "ok") << "the script goes on after errors";
    EXPECT_EQ(answers[14], "ok");
    EXPECT_FALSE(settings()) << "a switch never creates the Settings file";
}

TEST_F(ColorTabScript, OverlongLinesAreCutAndErrorLinesEscaped)
{
    int exitCode = -1;
    auto answers = runScript(std::string(100 * 1024, 'b') + "\nbutton Tu\x1b[2Jrn\nshot /" + std::string(5000, 's') + ".png\nquit\n", exitCode);
    EXPECT_EQ(exitCode, 1);
    const std::string expected[] = {
        "error: command longer than 65536 bytes, ignored: '" + std::string(40, 'b') + "…'",
        "error: no visible button titled 'Tu\\x1B[2Jrn'",
        "error: file name longer than 4095 bytes",
        "ok",
    };
    ASSERT_EQ(answers.size(), std::size(expected));
    for (size_t i = 0; i < answers.size(); ++i)
        EXPECT_EQ(answers[i], expected[i]);
}

TEST_F(ColorTabScript, PinchAndRotateMoveTheirFirstFingerOverTheWheelWhereTheyShould)
{
    // The wheel is 240 points wide about (160, 199); the colour is where finger 1 lifts.
    struct Case {
        const char* name;
        const char* command;
        float red, green, blue;
    };
    const Case cases[] = {
        { "pinching out from the centre lifts finger 1 on the left rim: cyan", "pinch 160,199 20 240", 0, 1, 1 },
        { "a quarter turn clockwise takes finger 1 from the left to above the centre: hue 90 degrees",
            "rotate 160,199 90 6", 0.79f, 1, 0.58f },
        { "a quarter turn the other way takes it below: hue 270 degrees", "rotate 160,199 -90", 0.79f, 0.58f, 1 },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        int exitCode = -1;
        auto answers = runScript(std::string(test.command) + "\nbutton Save\n", exitCode);
        ASSERT_EQ(exitCode, 0);
        EXPECT_EQ(answers, (std::vector<std::string> { "ok", "ok" }));
        auto saved = settings();
        ASSERT_TRUE(saved);
        EXPECT_NEAR(saved->objectForKey("r")->floatValue(), test.red, 0.01);
        EXPECT_NEAR(saved->objectForKey("g")->floatValue(), test.green, 0.01);
        EXPECT_NEAR(saved->objectForKey("b")->floatValue(), test.blue, 0.01);
    }
}

TEST_F(ColorTabScript, PinchAndRotateCheckTheirArguments)
{
    int exitCode = -1;
    auto answers = runScript("pinch 160,199 20\npinch 160,199 0 100\npinch 160,199 20 x\npinch 160 20 40\npinch 1,1 20 40 0\n"
                             "pinch 1,1 20 40 5 6\nrotate 160,199\nrotate 160,199 nan\nrotate 160,199 5000\nrotate 160,199 270 2\n"
                             "rotate 1,1 30 2.5\npinch 160,199 100 100 1\nrotate 160,199 270 3\n",
        exitCode);
    EXPECT_EQ(exitCode, 1);
    ASSERT_EQ(answers.size(), 13u);
    for (size_t i = 0; i < 11; ++i)
        EXPECT_EQ(answers[i].rfind("error: ", 0), 0u) << answers[i];
    EXPECT_EQ(answers[0], "error: pinch takes CX,CY FROM TO [STEPS]");
    EXPECT_EQ(answers[9], "error: rotate turns at most 90 degrees a step: give more steps");
    EXPECT_EQ(answers[11], "ok");
    EXPECT_EQ(answers[12], "ok");
}
