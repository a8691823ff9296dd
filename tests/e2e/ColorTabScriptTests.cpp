#include "Foundation/DeviceRoot.h"
#include "Foundation/NSDictionary.h"
#include "ImageIO/PNGCodec.h"
#include "shared/SharedFiles.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

std::string program(const char* name)
{
    return TestSupport::shellQuote((TestSupport::binaryDirectory() / "bin" / name).string());
}

// A prepared device, the application run headless on it from a script, and the answers line by line.
class ColorTabScript : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(TestSupport::runCommand(program("tessary8-device") + " init --root " + root()).exitCode, 0); }
    std::string root() const { return TestSupport::shellQuote(m_root.path().string()); }
    std::vector<std::string> runScript(const std::string& script, int& exitCode)
    {
        auto result = TestSupport::runCommand(program("tessary8-app") + " --headless --root " + root() + " --script - 2>/dev/null", script);
        exitCode = result.exitCode;
        std::vector<std::string> lines;
        std::istringstream answers(result.output);
        for (std::string line; std::getline(answers, line);)
            lines.push_back(line);
        return lines;
    }
    std::shared_ptr<NSDictionary> settings() { return TestSupport::readSettings(m_root.path()); }

    TestSupport::TemporaryDirectory m_root;
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
    EXPECT_FLOAT_EQ(saved->objectForKey("r")->floatValue(), 0);
    EXPECT_FLOAT_EQ(saved->objectForKey("g")->floatValue(), 1);
    EXPECT_FLOAT_EQ(saved->objectForKey("a")->floatValue(), 1);
    EXPECT_TRUE(saved->objectForKey("open"));
    auto bytes = TestSupport::readFile(shot);
    auto png = ImageIO::decodePNG(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width(), 640u);

    auto keyboard = TestSupport::runCommand(program("tessary8-keyboard") + " --root " + root() + " --out " + TestSupport::shellQuote((m_root.path() / "k.png").string()) + " 2>/dev/null");
    ASSERT_EQ(keyboard.exitCode, 0);
    auto report = nlohmann::json::parse(keyboard.output);
    EXPECT_EQ(report["lightKeyboard"], false) << "dark keys over the colour";
    EXPECT_EQ(report["backdrop"]["backgroundColor"]["components"], (nlohmann::json { 0.0, 1.0, 0.0, 1.0 }));
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
