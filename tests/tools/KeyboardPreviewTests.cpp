#include "Foundation/AtomicFile.h"
#include "ImageIO/PNGCodec.h"
#include "support/GraphicsTestSupport.h"
#include "KeyboardPreview.h"
#include "shared/SharedFiles.h"
#include "support/TestSupport.h"

#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <signal.h>

namespace {

std::filesystem::path program(const char* name)
{
    return TestSupport::binaryDirectory() / "bin" / name;
}

std::string colourSettings(const char* red, bool on)
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>") + (on ? "<key>open</key><true/>" : "")
        + "<key>r</key><real>" + red + "</real><key>g</key><real>0.2</real><key>b</key><real>0.3</real><key>a</key><real>1</real></dict></plist>\n";
}

// The keyboard a newly opened application shows on the device now, decoded.
CGImageRef keyboardNow(const std::filesystem::path& root)
{
    auto out = root / "reference.png";
    auto result = TestSupport::runCommand(TestSupport::shellQuote(program("tessary8-keyboard").string()) + " --root "
        + TestSupport::shellQuote(root.string()) + " --out " + TestSupport::shellQuote(out.string()) + " >/dev/null 2>&1");
    EXPECT_EQ(result.exitCode, 0);
    auto png = TestSupport::readFile(out);
    return ImageIO::decodePNG({ reinterpret_cast<const std::uint8_t*>(png.data()), png.size() });
}

size_t openDescriptorCount()
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        count += entry.path().filename() != "." ? 1 : 0;
    return count;
}

// Processes whose parent is this one (zombies included: they are leaks too).
size_t childProcessCount()
{
    size_t count = 0;
    std::string self = std::to_string(::getpid());
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::ifstream status(entry.path() / "status");
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("PPid:")) {
                count += line.substr(line.find_first_not_of(" \t", 5)) == self ? 1 : 0;
                break;
            }
        }
    }
    return count;
}

class KeyboardPreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto installed = TestSupport::runCommand(TestSupport::shellQuote(program("tessary8-device").string()) + " --root "
            + TestSupport::shellQuote(m_root.path().string()) + " init >/dev/null 2>&1");
        ASSERT_EQ(installed.exitCode, 0);
    }
    std::unique_ptr<KeyboardPreview> start()
    {
        std::string error;
        auto preview = KeyboardPreview::start({ program("tessary8-keyboard"), m_root.path(), 2 }, nullptr, error);
        EXPECT_TRUE(preview) << error;
        return preview;
    }
    std::filesystem::path settings() const { return m_root.prepare(SharedFiles::settingsPath); }
    std::filesystem::path picture() const { return m_root.prepare(SharedFiles::backgroundImagePath); }

    TestSupport::ScopedDeviceRoot m_root;
};

}

TEST_F(KeyboardPreviewTest, FollowsEveryKindOfWriteToTheSharedFiles)
{
    auto preview = start();
    ASSERT_TRUE(preview);
    auto demoPicture = TestSupport::readFile(TestSupport::sourceDirectory() / "docs" / "keyboard.png");
    struct Change {
        const char* what;
        std::function<void()> make;
    };
    const Change changes[] = {
        { "colour saved and on, replaced by rename",
            [&] {
                auto text = colourSettings("0.9", true);
                ASSERT_TRUE(Foundation::writeFileAtomically(settings(), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
            } },
        { "edited in place, as a text editor may",
            [&] { std::ofstream(settings(), std::ios::trunc) << colourSettings("0.1", true); } },
        { "colour off: keys light again", [&] { std::ofstream(settings(), std::ios::trunc) << colourSettings("0.1", false); } },
        { "Settings file deleted", [&] { std::filesystem::remove(settings()); } },
        { "created again", [&] { TestSupport::writeFile(settings(), colourSettings("0.5", true) ); } },
        { "picture stored with its switch on",
            [&] {
                TestSupport::writeFile(picture(), demoPicture);
                std::ofstream(settings(), std::ios::trunc) << "<plist version=\"1.0\"><dict><key>image_open</key><true/></dict></plist>";
            } },
        { "picture folder removed and made again",
            [&] {
                std::filesystem::remove_all(picture().parent_path());
                ASSERT_TRUE(preview->waitUntilCurrent(30));
                TestSupport::writeFile(picture(), demoPicture);
            } },
    };
    for (const auto& change : changes) {
        SCOPED_TRACE(change.what);
        change.make();
        ASSERT_TRUE(preview->waitUntilCurrent(30)) << preview->failure().value_or("no change seen");
        ASSERT_TRUE(preview->latest()->error.empty()) << preview->latest()->error;
        EXPECT_TRUE(TestSupport::samePixels(preview->latest()->image->CGImage(), keyboardNow(m_root.path())));
    }
}

TEST_F(KeyboardPreviewTest, RestartsLeaveNoProcessOrDescriptorBehind)
{
    // One round first: the platform's own descriptors (fonts, the log) open once for good.
    ASSERT_TRUE(start()->waitUntilCurrent(30));
    size_t descriptors = openDescriptorCount();
    ASSERT_EQ(childProcessCount(), 0u);
    for (int restart = 0; restart < 100; ++restart) {
        auto preview = start();
        ASSERT_TRUE(preview);
        // Most are stopped in the middle of their first build; some once it is done.
        if (restart % 25 == 0) {
            ASSERT_TRUE(preview->waitUntilCurrent(30)) << restart;
        }
    }
    EXPECT_EQ(openDescriptorCount(), descriptors);
    EXPECT_EQ(childProcessCount(), 0u);
}

TEST_F(KeyboardPreviewTest, AKeyboardProcessThatCannotStartOrDiesIsReported)
{
    std::string error;
    EXPECT_FALSE(KeyboardPreview::start({ m_root.path() / "no-such-program", m_root.path(), 2 }, nullptr, error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;

    // A program that ends at once, as a keyboard process that crashes would.
    auto preview = KeyboardPreview::start({ "/bin/true", m_root.path(), 2 }, nullptr, error);
    ASSERT_TRUE(preview) << error;
    EXPECT_FALSE(preview->waitUntilCurrent(30));
    EXPECT_EQ(preview->failure(), "the keyboard process ended (exit status 0)");
}
