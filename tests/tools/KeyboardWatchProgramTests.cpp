#include "SharedFilesState.h"

#include "Foundation/AtomicFile.h"
#include "ImageIO/PNGCodec.h"
#include "shared/SharedFiles.h"
#include "support/InteractiveProcess.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Generous: a build takes a tenth of a second, but the machine may be busy.
constexpr auto lineTimeout = 10s;

std::string keyboardProgram()
{
    return (TestSupport::binaryDirectory() / "bin" / "tessary8-keyboard").string();
}

std::string settingsText(bool colorOn, bool imageOn, float red, float blue, size_t padding)
{
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>";
    if (colorOn)
        text += "<key>open</key><string>1</string>";
    if (imageOn)
        text += "<key>image_open</key><string>1</string>";
    text += "<key>r</key><real>" + std::to_string(red) + "</real><key>g</key><real>0</real><key>b</key><real>" + std::to_string(blue)
        + "</real><key>a</key><real>1</real></dict></plist>\n";
    // Each state a size of its own, so that a write in place within the clock's tick still
    // tells one state of the file from another.
    return text + std::string(padding, ' ');
}

std::string pictureBytes(size_t width, size_t height, std::uint32_t argb)
{
    std::vector<std::uint32_t> pixels(width * height, argb);
    auto png = ImageIO::encodePNG(*CGImage::create(width, height, std::move(pixels)));
    return png ? std::string(png->begin(), png->end()) : std::string();
}

void writeAtomically(const fs::path& file, const std::string& bytes)
{
    ASSERT_TRUE(Foundation::writeFileAtomically(file, { reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size() }));
}

void writeInPlace(const fs::path& file, const std::string& bytes)
{
    // As a text editor saves: the same file truncated and written.
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// A device with the plug-in installed, watched by tessary8-keyboard --watch.
class KeyboardWatchProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto device = TestSupport::binaryDirectory() / "bin" / "tessary8-device";
        auto result = TestSupport::runCommand(TestSupport::shellQuote(device.string()) + " --root " + TestSupport::shellQuote(m_device.path().string()) + " init");
        ASSERT_EQ(result.exitCode, 0) << result.output;
        m_settings = m_device.prepare(SharedFiles::settingsPath);
        m_picture = m_device.prepare(SharedFiles::backgroundImagePath);
        m_out = m_device.path() / "watched.png";
        // Orphans of the watch come to the test, which can then tell that none was left.
        prctl(PR_SET_CHILD_SUBREAPER, 1);
    }

    [[nodiscard]] std::unique_ptr<TestSupport::InteractiveProcess> startWatch(const fs::path& out) const
    {
        return std::make_unique<TestSupport::InteractiveProcess>(std::vector<std::string> {
            keyboardProgram(), "--watch", "--out", out.string(), "--root", m_device.path().string(), "--scale", "1" });
    }

    // The next line, which must come and be a JSON object.
    static nlohmann::json nextLine(TestSupport::InteractiveProcess& watch)
    {
        auto line = watch.readLine(lineTimeout);
        EXPECT_TRUE(line) << "no line within the time; standard error:\n" << watch.standardError();
        auto parsed = line ? nlohmann::json::parse(*line, nullptr, false) : nlohmann::json();
        EXPECT_TRUE(parsed.is_object()) << (line ? *line : "");
        return parsed.is_object() ? parsed : nlohmann::json::object();
    }

    // Lines until the one built from the shared files as they are now; counts them.
    static nlohmann::json buildOfTheFilesNow(TestSupport::InteractiveProcess& watch, int* builds = nullptr)
    {
        auto now = sharedFilesState();
        for (int count = 1; count <= 1000; ++count) {
            auto line = nextLine(watch);
            if (builds)
                *builds = count;
            if (line.empty() || line["files"] == now)
                return line;
        }
        ADD_FAILURE() << "no build of " << now;
        return nlohmann::json::object();
    }

    static bool noChildLeft()
    {
        int status = 0;
        return waitpid(-1, &status, WNOHANG) < 0 && errno == ECHILD;
    }

    TestSupport::ScopedDeviceRoot m_device;
    fs::path m_settings;
    fs::path m_picture;
    fs::path m_out;
};

void expectBackdropColor(const nlohmann::json& build, float red, float blue)
{
    auto& components = build["backdrop"]["backgroundColor"]["components"];
    ASSERT_EQ(components.size(), 4u) << build;
    EXPECT_FLOAT_EQ(components[0].get<float>(), red);
    EXPECT_FLOAT_EQ(components[2].get<float>(), blue);
}

nlohmann::json pictureOf(const nlohmann::json& build)
{
    for (const auto& subview : build["backdrop"]["subviews"]) {
        if (subview["class"] == "UIImageView")
            return subview["image"];
    }
    return "no picture view";
}

TEST_F(KeyboardWatchProgram, EveryKindOfWriteToEitherFileGivesABuildOfTheNewState)
{
    struct Step {
        const char* what;
        std::function<void()> change;
        std::function<void(const nlohmann::json&)> expect;
        bool pictureChanges = true;
    };
    const Step steps[] = {
        { "colour on, Settings replaced by rename", [&] { writeAtomically(m_settings, settingsText(true, false, 1, 0, 1)); },
            [](const nlohmann::json& build) {
                expectBackdropColor(build, 1, 0);
                EXPECT_EQ(build["lightKeyboard"], false);
                EXPECT_EQ(build["GlobalisSwitch"], true);
            } },
        { "colour off, Settings written in place", [&] { writeInPlace(m_settings, settingsText(false, false, 1, 0, 2)); },
            [](const nlohmann::json& build) {
                // A process that had seen the colour on would keep the keys dark.
                EXPECT_EQ(build["lightKeyboard"], true);
                EXPECT_EQ(build["GlobalisSwitch"], false);
                EXPECT_TRUE(build["backdrop"]["subviews"].empty());
            } },
        { "picture on, both written in place",
            [&] {
                writeInPlace(m_picture, pictureBytes(64, 54, 0xff336699u));
                writeInPlace(m_settings, settingsText(false, true, 1, 0, 3));
            },
            [](const nlohmann::json& build) { EXPECT_EQ(pictureOf(build), nlohmann::json({ { "size", { 64, 54 } } })); } },
        { "picture replaced by rename", [&] { writeAtomically(m_picture, pictureBytes(32, 27, 0xff993366u)); },
            [](const nlohmann::json& build) { EXPECT_EQ(pictureOf(build), nlohmann::json({ { "size", { 32, 27 } } })); } },
        { "picture deleted", [&] { fs::remove(m_picture); }, [](const nlohmann::json& build) { EXPECT_TRUE(pictureOf(build).is_null()); } },
        { "picture created again", [&] { writeAtomically(m_picture, pictureBytes(16, 16, 0xff669933u)); },
            [](const nlohmann::json& build) { EXPECT_EQ(pictureOf(build), nlohmann::json({ { "size", { 16, 16 } } })); } },
        { "Settings deleted", [&] { fs::remove(m_settings); },
            [](const nlohmann::json& build) {
                EXPECT_TRUE(build["backdrop"]["subviews"].empty());
                EXPECT_EQ(build["lightKeyboard"], true);
            } },
        { "Settings folder removed", [&] { fs::remove_all(m_settings.parent_path()); },
            [](const nlohmann::json& build) { EXPECT_EQ(build["files"]["settings"], nullptr); }, false },
        { "Settings created again with its folder, in place",
            [&] {
                fs::create_directories(m_settings.parent_path());
                writeInPlace(m_settings, settingsText(true, false, 0, 1, 4));
            },
            [](const nlohmann::json& build) {
                expectBackdropColor(build, 0, 1);
                EXPECT_EQ(build["lightKeyboard"], false);
            } },
    };
    auto watch = startWatch(m_out);
    auto first = buildOfTheFilesNow(*watch);
    EXPECT_EQ(first["build"], 1);
    EXPECT_EQ(first["out"], m_out.string());
    EXPECT_EQ(first["lightKeyboard"], true);
    int lastBuild = 1;
    auto lastPicture = TestSupport::readFile(m_out);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        auto build = buildOfTheFilesNow(*watch);
        EXPECT_GT(build["build"].get<int>(), lastBuild);
        lastBuild = build["build"].get<int>();
        EXPECT_EQ(build["size"], nlohmann::json({ 320, 216 }));
        step.expect(build);
        // The file is the build's picture, whole.
        auto picture = TestSupport::readFile(m_out);
        auto image = ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(picture.data()), picture.size() });
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), 320u);
        EXPECT_EQ(picture != lastPicture, step.pictureChanges);
        lastPicture = picture;
    }
    EXPECT_EQ(watch->finish(), 0) << watch->standardError();
}

TEST_F(KeyboardWatchProgram, ABurstOfWritesGivesAFewBuildsTheLastOfTheLastState)
{
    auto watch = startWatch(m_out);
    (void)buildOfTheFilesNow(*watch);
    // Written in place on one descriptor, as fast as it goes: the burst must be over well
    // within a second even on a busy machine, or the bound on the builds would not hold.
    int descriptor = open(m_settings.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(descriptor, 0);
    for (int write = 0; write < 999; ++write) {
        auto text = settingsText(true, false, static_cast<float>(write) / 1000, 0, static_cast<size_t>(write % 7));
        ASSERT_EQ(ftruncate(descriptor, 0), 0);
        ASSERT_EQ(pwrite(descriptor, text.data(), text.size(), 0), static_cast<ssize_t>(text.size()));
    }
    close(descriptor);
    // The last by rename: a state no earlier write can share.
    writeAtomically(m_settings, settingsText(true, false, 1, 0.5f, 0));
    int builds = 0;
    auto last = buildOfTheFilesNow(*watch, &builds);
    EXPECT_LE(builds, 10);
    expectBackdropColor(last, 1, 0.5f);
    EXPECT_EQ(watch->finish(), 0) << watch->standardError();
}

TEST_F(KeyboardWatchProgram, EndsWithStatusZeroAndNoChildLeftOnSignalsAndTheEndOfInput)
{
    struct Case {
        const char* name;
        bool duringBuild;
        std::function<int(TestSupport::InteractiveProcess&)> end;
    };
    const Case cases[] = {
        { "SIGTERM while waiting", false, [](TestSupport::InteractiveProcess& watch) { return watch.stop(SIGTERM); } },
        { "SIGINT while waiting", false, [](TestSupport::InteractiveProcess& watch) { return watch.stop(SIGINT); } },
        { "SIGHUP while waiting", false, [](TestSupport::InteractiveProcess& watch) { return watch.stop(SIGHUP); } },
        { "end of input while waiting", false, [](TestSupport::InteractiveProcess& watch) { return watch.finish(); } },
        { "SIGTERM as a build starts", true, [](TestSupport::InteractiveProcess& watch) { return watch.stop(SIGTERM); } },
        { "end of input as a build starts", true, [](TestSupport::InteractiveProcess& watch) { return watch.finish(); } },
    };
    int padding = 0;
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.name);
        auto watch = startWatch(m_out);
        EXPECT_EQ(nextLine(*watch)["build"], 1);
        // One thread: the builds are forked from it.
        EXPECT_EQ(std::distance(fs::directory_iterator("/proc/" + std::to_string(watch->pid()) + "/task"), fs::directory_iterator()), 1);
        if (entry.duringBuild) {
            writeAtomically(m_settings, settingsText(true, false, 1, 0, static_cast<size_t>(++padding)));
            // Past the quiet time: the change's build is under way, or about to be.
            (void)watch->readLine(40ms);
        }
        EXPECT_EQ(entry.end(*watch), 0);
        EXPECT_TRUE(noChildLeft());
        auto picture = TestSupport::readFile(m_out);
        EXPECT_TRUE(ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(picture.data()), picture.size() }));
    }
}

TEST_F(KeyboardWatchProgram, AFailedBuildIsAnErrorLineAndTheWatchGoesOn)
{
    auto out = m_device.path() / "later" / "keyboard.png";
    auto watch = startWatch(out);
    auto failed = nextLine(*watch);
    EXPECT_EQ(failed["build"], 1);
    EXPECT_EQ(failed["error"], "could not write " + out.string());
    EXPECT_EQ(failed["files"], sharedFilesState());
    EXPECT_FALSE(failed.contains("size"));
    fs::create_directory(out.parent_path());
    writeAtomically(m_settings, settingsText(true, false, 1, 0, 0));
    auto built = buildOfTheFilesNow(*watch);
    EXPECT_FALSE(built.contains("error"));
    EXPECT_EQ(built["out"], out.string());
    EXPECT_TRUE(fs::is_regular_file(out));
    EXPECT_EQ(watch->finish(), 0);
}

TEST_F(KeyboardWatchProgram, RefusesWatchingWithoutAFileToKeep)
{
    struct Case {
        std::string options;
        const char* says;
    };
    const Case cases[] = {
        { "--watch", "--watch needs --out FILE" },
        { "--watch --out -", "--out - (a stream of pictures) is refused" },
        { "--watch --out " + TestSupport::shellQuote(m_settings.string()), "--out is the shared file" },
        { "--watch --out " + TestSupport::shellQuote(m_picture.string()), "--out is the shared file" },
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.options);
        auto result = TestSupport::runCommand(TestSupport::shellQuote(keyboardProgram()) + " --root " + TestSupport::shellQuote(m_device.path().string())
            + " " + entry.options + " 2>&1 </dev/null");
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.output.find(entry.says), std::string::npos) << result.output;
    }
    auto help = TestSupport::runCommand(TestSupport::shellQuote(keyboardProgram()) + " --help");
    EXPECT_NE(help.output.find("{\"build\": N, \"error\": TEXT, \"files\": STATE}"), std::string::npos);
}

}
