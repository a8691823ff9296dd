#include "ImageIO/PNGCodec.h"
#include "support/GraphicsTestSupport.h"
#include "support/InteractiveProcess.h"
#include "support/TestSupport.h"
#include "XTools.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

std::string program(const char* name)
{
    return (TestSupport::binaryDirectory() / "bin" / name).string();
}

CGImageRef decode(const std::string& bytes)
{
    return ImageIO::decodePNG({ reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size() });
}

// How many pixels differ between two pictures of one size, below the status bar.
size_t differingPixelsBelowStatusBar(const CGImage& a, const CGImage& b, size_t statusBarPixels)
{
    size_t differing = 0;
    for (size_t y = statusBarPixels; y < a.height(); ++y) {
        for (size_t x = 0; x < a.width(); ++x)
            differing += TestSupport::pixelAt(a, x, y) != TestSupport::pixelAt(b, x, y);
    }
    return differing;
}

}

// The application in a real window on the virtual X server: a click made by another program
// reaches the colour tab through the window, and the window shows what a headless run shows.
TEST(AppWindow, AClickOnASwatchSelectsItsColourAndTheWindowShowsTheHeadlessPicture)
{
    if (auto missing = missingXTools())
        GTEST_SKIP() << *missing;
    TestSupport::TemporaryDirectory root;
    ASSERT_EQ(TestSupport::runCommand(TestSupport::shellQuote(program("tessary8-device")) + " init --root " + TestSupport::shellQuote(root.path().string())).exitCode, 0);

    TestSupport::InteractiveProcess app({ program("tessary8-app"), "--root", root.path().string(), "--scale", "1", "--no-preview", "--script", "-" });
    ASSERT_EQ(app.ask("wait 0.2"), "ok") << app.standardError();
    auto search = TestSupport::runCommand("xdotool search --sync --name '^Tessary 8$' | head -1");
    std::string window = search.output.substr(0, search.output.find('\n'));
    ASSERT_FALSE(window.empty()) << "the window is on the screen";
    // The third swatch (green), at (136, 390) on the screen.
    ASSERT_EQ(TestSupport::runCommand("xdotool mousemove --window " + window + " 136 390 click 1").exitCode, 0);
    // The window takes the click while the script waits; the swatch's animations end meanwhile.
    ASSERT_EQ(app.ask("wait 0.5"), "ok");
    auto shot = TestSupport::runCommand("import -window " + window + " png:-");
    ASSERT_EQ(shot.exitCode, 0);
    ASSERT_EQ(app.ask("button Save"), "ok");
    ASSERT_EQ(app.ask("wait 0.2"), "ok");
    ASSERT_EQ(app.ask("quit"), "ok");
    EXPECT_EQ(app.finish(), 0) << app.standardError();
    auto settings = TestSupport::readFile(root.path() / "var/mobile/Library/Preferences/com.quarrow.tintwell.plist");
    EXPECT_NE(settings.find("<key>g</key>\n\t<real>1</real>"), std::string::npos) << "green was selected by the click:\n" << settings;

    // The same state headless, drawn by the same code.
    TestSupport::TemporaryDirectory headlessRoot;
    auto headlessShot = headlessRoot.path() / "shot.png";
    auto headless = TestSupport::runCommand(TestSupport::shellQuote(program("tessary8-app")) + " --headless --scale 1 --root "
            + TestSupport::shellQuote(headlessRoot.path().string()) + " --script - 2>/dev/null",
        "tap 136,390\nwait 0.5\nshot " + headlessShot.string() + "\n");
    ASSERT_EQ(headless.exitCode, 0) << headless.output;
    auto windowPicture = decode(shot.output);
    auto headlessPicture = decode(TestSupport::readFile(headlessShot));
    ASSERT_TRUE(windowPicture && headlessPicture);
    ASSERT_EQ(windowPicture->width(), headlessPicture->width());
    ASSERT_EQ(windowPicture->height(), headlessPicture->height());
    // The status bar shows the desktop's time in the window and a fixed one headless.
    EXPECT_EQ(differingPixelsBelowStatusBar(*windowPicture, *headlessPicture, 20), 0u);
}

// The keyboard preview stands right of the phone, follows a change made by another program,
// and F2 hides and shows it, the window narrowing and widening with it.
TEST(AppWindow, ThePreviewBesideThePhoneFollowsTheSharedFilesAndF2TogglesIt)
{
    if (auto missing = missingXTools())
        GTEST_SKIP() << *missing;
    TestSupport::TemporaryDirectory root;
    auto device = [&](const std::string& arguments) {
        return TestSupport::runCommand(TestSupport::shellQuote(program("tessary8-device")) + " --root " + TestSupport::shellQuote(root.path().string()) + " " + arguments);
    };
    ASSERT_EQ(device("init").exitCode, 0);
    TestSupport::InteractiveProcess app({ program("tessary8-app"), "--root", root.path().string(), "--scale", "1", "--script", "-" });
    auto search = TestSupport::runCommand("xdotool search --sync --name '^Tessary 8$' | head -1");
    std::string window = search.output.substr(0, search.output.find('\n'));
    ASSERT_FALSE(window.empty());

    // The keyboard shown in the window's panel, at the bottom, centred in its 360 points.
    auto expectPanelShows = [&](const char* file) {
        auto preview = root.path() / file;
        ASSERT_EQ(app.ask("preview " + preview.string()), "ok") << app.standardError();
        ASSERT_EQ(app.ask("wait 0.3"), "ok");
        auto shot = decode(TestSupport::runCommand("import -window " + window + " png:-").output);
        auto keyboard = decode(TestSupport::readFile(preview));
        ASSERT_TRUE(shot && keyboard);
        ASSERT_EQ(shot->width(), 320u + 360u);
        size_t left = 320 + (360 - keyboard->width()) / 2, top = shot->height() - keyboard->height();
        size_t differing = 0;
        for (size_t y = 0; y < keyboard->height(); ++y) {
            for (size_t x = 0; x < keyboard->width(); ++x)
                differing += TestSupport::pixelAt(*shot, left + x, top + y) != TestSupport::pixelAt(*keyboard, x, y);
        }
        EXPECT_EQ(differing, 0u) << file;
    };
    expectPanelShows("plain.png");

    auto windowWidth = [&] {
        auto shot = decode(TestSupport::runCommand("import -window " + window + " png:-").output);
        return shot ? shot->width() : 0;
    };
    ASSERT_EQ(TestSupport::runCommand("xdotool key --window " + window + " F2").exitCode, 0);
    ASSERT_EQ(app.ask("wait 0.3"), "ok");
    EXPECT_EQ(windowWidth(), 320u) << "F2 hides the preview";

    ASSERT_EQ(device("set --color 0.9,0.3,0.1,1 --color-switch on").exitCode, 0);
    ASSERT_EQ(TestSupport::runCommand("xdotool key --window " + window + " F2").exitCode, 0);
    ASSERT_EQ(app.ask("wait 0.3"), "ok");
    expectPanelShows("coloured.png");
    EXPECT_NE(TestSupport::readFile(root.path() / "plain.png"), TestSupport::readFile(root.path() / "coloured.png"));
    ASSERT_EQ(app.ask("quit"), "ok");
    EXPECT_EQ(app.finish(), 0) << app.standardError();
}
