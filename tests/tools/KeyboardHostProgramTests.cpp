#include "ImageIO/PNGCodec.h"
#include "support/InteractiveProcess.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace {

std::string keyboardProgram()
{
    return (TestSupport::binaryDirectory() / "bin" / "tessary8-keyboard").string();
}

TEST(KeyboardHostProgram, AnswersEveryCommandWithOneLineAndGoesOnAfterErrors)
{
    TestSupport::TemporaryDirectory root;
    TestSupport::InteractiveProcess host({ keyboardProgram(), "--root", root.path().string() });
    auto shot = root.path() / "shot.png";
    struct Exchange {
        std::string command;
        std::string answerStart;
    };
    const Exchange exchanges[] = {
        { "shot " + shot.string(), "error: no keyboard is shown yet" },
        { "dance", "error: unknown command 'dance'" },
        { "", "error: empty command" },
        { "show now", "error: show takes no argument" },
        { "shot", "error: shot needs a file name" },
        { "show", "ok" },
        { "shot " + (root.path() / "missing-folder" / "x.png").string(), "error: could not write" },
        { "shot " + shot.string(), "ok" },
        { "quit", "ok" },
    };
    for (const auto& exchange : exchanges) {
        SCOPED_TRACE(exchange.command);
        auto answer = host.ask(exchange.command);
        EXPECT_EQ(answer.rfind(exchange.answerStart, 0), 0u) << answer;
    }
    EXPECT_EQ(host.finish(), 0);
    auto png = TestSupport::readFile(shot);
    auto image = ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(png.data()), png.size() });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 640u);
    EXPECT_EQ(image->height(), 432u);
}

TEST(KeyboardHostProgram, ReportBeforeAnyKeyboardHasNoBackdropAndNoPlugIn)
{
    TestSupport::TemporaryDirectory root;
    TestSupport::InteractiveProcess host({ keyboardProgram(), "--root", root.path().string() });
    auto report = nlohmann::json::parse(host.ask("report"));
    EXPECT_TRUE(report["backdrop"].is_null());
    EXPECT_TRUE(report["size"].is_null());
    // Nothing is installed in an empty device, so no plug-in is loaded.
    EXPECT_TRUE(report["GlobalisSwitch"].is_null());
    EXPECT_EQ(host.finish(), 0);
}

TEST(KeyboardHostProgram, OutWritesOnePictureAtTheScaleAndPrintsTheReport)
{
    TestSupport::TemporaryDirectory root;
    auto out = root.path() / "keyboard.png";
    auto result = TestSupport::runCommand(TestSupport::shellQuote(keyboardProgram()) + " --root " + TestSupport::shellQuote(root.path().string())
        + " --orientation landscape --scale 1 --out " + TestSupport::shellQuote(out.string()) + " 2>/dev/null");
    ASSERT_EQ(result.exitCode, 0);
    auto report = nlohmann::json::parse(result.output);
    EXPECT_EQ(report["size"], nlohmann::json({ 480, 162 }));
    auto png = TestSupport::readFile(out);
    auto image = ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(png.data()), png.size() });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 480u);
    EXPECT_EQ(image->height(), 162u);
}

TEST(KeyboardHostProgram, OutDashWritesThePictureToStandardOutputAndTheReportToStandardError)
{
    TestSupport::TemporaryDirectory root;
    auto errors = root.path() / "errors";
    auto result = TestSupport::runCommand(TestSupport::shellQuote(keyboardProgram()) + " --root " + TestSupport::shellQuote(root.path().string())
        + " --scale 1 --out - 2>" + TestSupport::shellQuote(errors.string()));
    ASSERT_EQ(result.exitCode, 0);
    auto image = ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(result.output.data()), result.output.size() });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 320u);
    // The report is the last line there, after any log lines.
    auto errorText = TestSupport::readFile(errors);
    auto lastLine = errorText.substr(errorText.rfind('\n', errorText.size() - 2) + 1);
    EXPECT_EQ(nlohmann::json::parse(lastLine)["size"], nlohmann::json({ 320, 216 }));
    EXPECT_FALSE(std::filesystem::exists(root.path() / "-"));
}

TEST(KeyboardHostProgram, RefusesBadOptionsWithAMessage)
{
    const char* badOptions[] = { "--frame 1,2,3", "--frame 1,2,3,4,5", "--frame a,b,c,d", "--frame 0,0,-1,10", "--frame 0,0,inf,10",
        "--orientation sideways", "--scale 0", "--scale -2", "--scale nan", "--bogus" };
    for (const char* options : badOptions) {
        SCOPED_TRACE(options);
        auto result = TestSupport::runCommand(TestSupport::shellQuote(keyboardProgram()) + " " + options + " 2>&1");
        EXPECT_NE(result.exitCode, 0);
        EXPECT_FALSE(result.output.empty());
    }
    auto help = TestSupport::runCommand(TestSupport::shellQuote(keyboardProgram()) + " --help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.output.find("--orientation"), std::string::npos);
}

TEST(KeyboardHostProgram, OverlongInputIsCutAndEchoesAreEscaped)
{
    TestSupport::TemporaryDirectory root;
    const std::string longPath = "/" + std::string(5000, 'p') + ".png";
    const std::string input = std::string(200 * 1024, 'a') + "\n" + "dance\x1b[2J\n" + "show\n" + "shot " + longPath + "\n" + "quit\n";
    auto result = TestSupport::runCommand(
        TestSupport::shellQuote(keyboardProgram()) + " --root " + TestSupport::shellQuote(root.path().string()) + " 2>/dev/null", input);
    EXPECT_EQ(result.exitCode, 0);
    std::istringstream lines(result.output);
    const std::string expected[] = {
        "error: command longer than 65536 bytes, ignored: '" + std::string(40, 'a') + "…'",
        "error: unknown command 'dance\\x1B[2J' (commands: show, report, shot FILE, quit)",
        "ok",
        "error: file name longer than 4095 bytes",
        "ok",
    };
    for (const auto& line : expected) {
        SCOPED_TRACE(line);
        std::string answer;
        ASSERT_TRUE(std::getline(lines, answer));
        EXPECT_EQ(answer, line);
    }
}

TEST(KeyboardHostProgram, OptionErrorsNameTheirCause)
{
    struct Case {
        std::string options;
        const char* says;
    };
    const Case cases[] = {
        { "--scale 2abc", "number" },
        { "--out ''", "--out needs a file name" },
        { "--out /" + std::string(5000, 'o'), "--out: file name longer than" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        auto result = TestSupport::runCommand(TestSupport::shellQuote(keyboardProgram()) + " " + c.options + " 2>&1");
        EXPECT_NE(result.exitCode, 0);
        EXPECT_NE(result.output.find(c.says), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find("range"), std::string::npos) << result.output;
    }
}

}
