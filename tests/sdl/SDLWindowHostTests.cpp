#include "host/sdl/SDLWindowHost.h"

#include "ImageIO/PNGCodec.h"
#include "LifecycleName.h"
#include "UIKit/UIWindow.h"
#include "XClient.h"
#include "support/GraphicsTestSupport.h"
#include "support/TestSupport.h"
#include "XTools.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>

namespace {

using TestSupport::Pixel;
using ::testing::HasSubstr;

// Sets or unsets an environment variable until the object goes.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnvironment()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Records what reaches it: the phase and its touches' points in screen points, left to right.
class TouchRecorder : public UIView {
public:
    using UIView::UIView;
    std::vector<std::string> calls;
    double lastTimestamp = 0;

    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override { record("began", touches, event); }
    void touchesMoved(const UITouchSet& touches, const UIEvent& event) override { record("moved", touches, event); }
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override { record("ended", touches, event); }
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override { record("cancelled", touches, event); }

    [[nodiscard]] bool touchIsOver() const
    {
        return !calls.empty() && (calls.back().starts_with("ended") || calls.back().starts_with("cancelled"));
    }

private:
    void record(const char* phase, const UITouchSet& touches, const UIEvent& event)
    {
        std::vector<std::pair<CGFloat, CGFloat>> points;
        for (auto& touch : touches) {
            CGPoint p = touch->locationInView(nullptr);
            points.emplace_back(p.x, p.y);
        }
        std::sort(points.begin(), points.end());
        std::string entry = phase;
        for (auto [x, y] : points)
            entry += " " + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
        calls.push_back(entry);
        lastTimestamp = event.timestamp();
    }
};

// Four quadrants: red, green, blue and a half-transparent white, which the window shows over black.
CGImageRef quadrants(int width, int height)
{
    std::vector<std::vector<Pixel>> rows(height, std::vector<Pixel>(width));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            bool right = x >= width / 2, bottom = y >= height / 2;
            rows[y][x] = !bottom ? (right ? TestSupport::opaqueGreen : TestSupport::opaqueRed) : right ? Pixel { 128, 128, 128, 128 } : TestSupport::opaqueBlue;
        }
    }
    return TestSupport::imageFromRows(rows);
}

// Where a shot of the window differs from the frame the window should show.
::testing::AssertionResult showsFrame(const CGImageRef& shot, const CGImage& frame)
{
    if (!shot)
        return ::testing::AssertionFailure() << "no shot of the window";
    if (shot->width() != frame.width() || shot->height() != frame.height())
        return ::testing::AssertionFailure() << "the shot is " << shot->width() << " × " << shot->height() << ", the frame " << frame.width() << " × " << frame.height();
    int wrong = 0;
    auto failure = ::testing::AssertionFailure();
    for (size_t y = 0; y < frame.height(); ++y) {
        for (size_t x = 0; x < frame.width(); ++x) {
            Pixel expected = TestSupport::pixelAt(frame, x, y);
            expected.alpha = 255;
            Pixel shown = TestSupport::pixelAt(*shot, x, y);
            if (shown != expected && wrong++ < 3)
                failure << "at " << x << "," << y << " " << ::testing::PrintToString(shown) << " instead of " << ::testing::PrintToString(expected) << "; ";
        }
    }
    if (wrong)
        return failure << wrong << " pixels differ";
    return ::testing::AssertionSuccess();
}

}

TEST(SDLWindowHost, OpeningFailsWithAMessageWithoutADisplayOrAScreenSize)
{
    struct Case {
        const char* name;
        const char* display;
        const char* driver;
        CGSize screen;
        const char* message;
    };
    const Case cases[] = {
        { "no display", nullptr, nullptr, { 16, 12 }, "no display to open a window on" },
        { "a display nobody serves", ":4099", "x11", { 16, 12 }, "cannot start SDL video" },
        { "an empty screen", ":4099", "x11", { 0, 12 }, "does not fit a window" },
    };
    ScopedEnvironment noWayland("WAYLAND_DISPLAY", nullptr);
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        ScopedEnvironment display("DISPLAY", test.display);
        ScopedEnvironment driver("SDL_VIDEODRIVER", test.driver);
        std::string error;
        EXPECT_FALSE(SDLWindowHost::open(test.screen, 2, {}, error));
        EXPECT_THAT(error, HasSubstr(test.message));
    }
}

// A window for a 64 × 48 point screen at scale 2, whose waiter is the main run loop's,
// and a window on that screen with a view that records its touches. Skips where there
// is no X display to open it on.
class SDLWindowHostTest : public ::testing::Test {
protected:
    static constexpr CGSize screen { 64, 48 };
    static constexpr CGFloat scale = 2;

    void SetUp() override
    {
        if (auto missing = missingXTools())
            GTEST_SKIP() << *missing;
        SDLWindowHost::Callbacks callbacks;
        callbacks.screenshot = [this] { calls.push_back("screenshot"); };
        callbacks.rotate = [this](int quarterTurns) { calls.push_back("rotate " + std::to_string(quarterTurns)); };
        callbacks.lifecycle = [this](SDLWindowHost::Lifecycle step) { calls.push_back(lifecycleName(step)); };
        callbacks.quit = [this] { calls.push_back("quit"); };
        std::string error;
        host = SDLWindowHost::open(screen, scale, std::move(callbacks), error);
        ASSERT_TRUE(host) << error;
        windowId = host->windowId();
        ASSERT_NE(windowId, 0u);
        NSRunLoop::mainRunLoop().setWaiter(host->waiter());

        window = UIWindow::initWithFrame(CGRectMake(0, 0, screen.width, screen.height));
        recorder = objc::alloc<TouchRecorder>();
        recorder->setFrame(window->bounds());
        recorder->setMultipleTouchEnabled(true);
        window->addSubview(recorder);
        window->makeKeyAndVisible();
        NSRunLoop::mainRunLoop().runOnce(false);
    }

    void TearDown() override
    {
        if (window) {
            window->setHidden(true);
            NSRunLoop::mainRunLoop().runOnce(false);
        }
        NSRunLoop::mainRunLoop().setWaiter(nullptr);
        NSRunLoop::mainRunLoop().setClock(nullptr);
        host.reset();
    }

    // Runs xdotool with the arguments, WINDOW standing for the window's id.
    void xdotool(std::string arguments)
    {
        for (size_t at; (at = arguments.find("WINDOW")) != std::string::npos;)
            arguments.replace(at, 6, std::to_string(windowId));
        ASSERT_EQ(TestSupport::runCommand("xdotool " + arguments).exitCode, 0) << arguments;
    }

    // Turns the main run loop, each turn waiting for the window's events, until done or a
    // generous time has passed; answers done.
    bool runUntil(const std::function<bool()>& done)
    {
        auto& loop = NSRunLoop::mainRunLoop();
        bool expired = false;
        // The turn that fires the timer must not go on to wait without a deadline.
        int timer = loop.addTimer(loop.now() + 10, 0, [this, &expired] {
            expired = true;
            host->waiter()->wake();
        });
        while (!done() && !expired)
            loop.runOnce(true);
        loop.invalidateTimer(timer);
        return done();
    }

    [[nodiscard]] CGImageRef windowShot() const
    {
        auto result = TestSupport::runCommand("import -window " + std::to_string(windowId) + " png:-");
        if (result.exitCode)
            return nullptr;
        return ImageIO::decodePNG({ reinterpret_cast<const uint8_t*>(result.output.data()), result.output.size() });
    }

    // The window's shot once it shows the frame; the last shot taken if it never does.
    CGImageRef shotShowing(const CGImage& frame)
    {
        CGImageRef shot;
        runUntil([&] {
            shot = windowShot();
            return showsFrame(shot, frame);
        });
        return shot;
    }

    std::unique_ptr<SDLWindowHost> host;
    uint32_t windowId = 0;
    std::vector<std::string> calls;
    UIWindowRef window;
    std::shared_ptr<TouchRecorder> recorder;
};

TEST_F(SDLWindowHostTest, APresentedFrameShowsPixelForPixelAndIsDrawnAgainWhenTheWindowIsExposed)
{
    auto frame = quadrants(128, 96);
    host->display()->presentFrame(frame);
    EXPECT_TRUE(showsFrame(shotShowing(*frame), *frame));

    ASSERT_TRUE(XClient::paintOverAndExpose(windowId));
    auto lost = windowShot();
    ASSERT_TRUE(lost);
    EXPECT_EQ(TestSupport::pixelAt(*lost, 0, 0), TestSupport::opaqueWhite) << "the window kept its pixels";
    // The waiter draws the last frame again; nothing presents a new one.
    EXPECT_TRUE(showsFrame(shotShowing(*frame), *frame));
}

TEST_F(SDLWindowHostTest, AfterAResizeTheWindowShowsTheTurnedScreensFrame)
{
    host->resize({ 48, 64 });
    auto frame = quadrants(96, 128);
    host->display()->presentFrame(frame);
    EXPECT_TRUE(showsFrame(shotShowing(*frame), *frame));
}

TEST_F(SDLWindowHostTest, AClickIsATouchAtTheScreenPointUnderThePointerTimedByTheLoopsClock)
{
    constexpr double clockStart = 1'000'000;
    NSRunLoop::mainRunLoop().setClock([] { return clockStart + std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); });
    xdotool("mousemove --window WINDOW 20 14 click 1");
    ASSERT_TRUE(runUntil([&] { return recorder->touchIsOver(); })) << "no touch came";
    EXPECT_EQ(recorder->calls, (std::vector<std::string> { "began 10,7", "ended 10,7" }));
    EXPECT_GE(recorder->lastTimestamp, clockStart);
}

TEST_F(SDLWindowHostTest, DragsMoveOneFingerOrTwoMirroredOrTogetherAndStayOnTheScreen)
{
    struct Case {
        const char* modifiers;
        const char* to;
        std::vector<std::string> calls;
    };
    // Pixels 20,20 and 30,40 are points 10,10 and 15,20; the centre is 32,24; pixel 300 is past the edge.
    const Case cases[] = {
        { "alt", "30 40", { "began 10,10 54,38", "moved 15,20 49,28", "ended 15,20 49,28" } },
        { "alt shift", "30 40", { "began 10,10 50,10", "moved 15,20 55,20", "ended 15,20 55,20" } },
        { "", "300 20", { "began 10,10", "moved 64,10", "ended 64,10" } },
    };
    // The pointer comes into the window before any key goes down: SDL reads the keyboard
    // as it is when it handles the pointer's entry, which a scripted key-up may already have changed.
    xdotool("windowfocus --sync WINDOW mousemove --window WINDOW 20 20 click 1");
    ASSERT_TRUE(runUntil([&] { return recorder->touchIsOver(); })) << "no touch came";
    for (const auto& test : cases) {
        SCOPED_TRACE(test.modifiers);
        recorder->calls.clear();
        std::string down, up;
        for (std::string key : { "alt", "shift" }) {
            if (std::string(test.modifiers).find(key) != std::string::npos) {
                down += " keydown " + key;
                up += " keyup " + key;
            }
        }
        // Keys and pointer in separate runs: within one run xdotool may deliver the window's
        // pointer events out of order with the keys.
        if (!down.empty())
            xdotool(down);
        xdotool("mousemove --window WINDOW 20 20 mousedown 1 mousemove --window WINDOW " + std::string(test.to) + " mouseup 1");
        if (!up.empty())
            xdotool(up);
        ASSERT_TRUE(runUntil([&] { return recorder->touchIsOver(); })) << "no touch came";
        EXPECT_EQ(recorder->calls, test.calls);
    }
}

TEST_F(SDLWindowHostTest, LosingTheFocusCancelsATouchAndResignsActive)
{
    XClient::SideWindow other;
    ASSERT_TRUE(other.id());
    xdotool("windowfocus --sync WINDOW mousemove --window WINDOW 20 20 mousedown 1");
    ASSERT_TRUE(runUntil([&] { return !recorder->calls.empty(); })) << "no touch came";
    xdotool("windowfocus --sync " + std::to_string(other.id()));
    ASSERT_TRUE(runUntil([&] { return recorder->touchIsOver(); })) << "the touch went on";
    xdotool("mouseup 1");
    EXPECT_EQ(recorder->calls, (std::vector<std::string> { "began 10,10", "cancelled 10,10" }));
    EXPECT_EQ(calls, (std::vector<std::string> { "become", "resign" }));
}

TEST_F(SDLWindowHostTest, ControlKeysAskForAShotAndForTurns)
{
    xdotool("windowfocus --sync WINDOW key ctrl+s ctrl+Right s Right ctrl+Left");
    ASSERT_TRUE(runUntil([&] { return !calls.empty() && calls.back() == "rotate -1"; })) << "the keys did not all come";
    std::erase_if(calls, [](auto& call) { return call == "become"; });
    EXPECT_EQ(calls, (std::vector<std::string> { "screenshot", "rotate 1", "rotate -1" }));
}

TEST_F(SDLWindowHostTest, ClosingTheWindowTerminatesAndThenQuits)
{
    ASSERT_TRUE(XClient::requestClose(windowId));
    ASSERT_TRUE(runUntil([&] { return !calls.empty() && calls.back() == "quit"; })) << "no quit came";
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "terminate");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "terminate"), 1);
}
