#include "host/sdl/MouseFingerSimulator.h"
#include "support/GraphicsTestSupport.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

using Fingers = MouseFingerSimulator::Fingers;

// A frame as "finger phase x,y" entries joined by "; ".
std::string describe(const std::vector<UIFingerSample>& samples)
{
    static const char* phases[] = { "began", "moved", "stationary", "ended", "cancelled" };
    std::ostringstream text;
    for (const auto& sample : samples)
        text << (&sample == samples.data() ? "" : "; ") << sample.finger << " " << phases[sample.phase] << " " << sample.location.x << "," << sample.location.y;
    return text.str();
}

constexpr CGSize screen { 320, 480 };

TEST(MouseFingerSimulator, APressDragAndReleaseMoveTheFingersOfTheModifier)
{
    struct Case {
        const char* name;
        Fingers fingers;
        CGPoint down, to;
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        { "the pointer is one finger", Fingers::One, { 100, 200 }, { 110, 220 }, { "1 began 100,200", "1 moved 110,220", "1 ended 110,220" } },
        { "mirrored about the centre", Fingers::Mirrored, { 100, 200 }, { 110, 220 },
            { "1 began 100,200; 2 began 220,280", "1 moved 110,220; 2 moved 210,260", "1 ended 110,220; 2 ended 210,260" } },
        { "together, the second to the right", Fingers::Together, { 100, 200 }, { 110, 220 },
            { "1 began 100,200; 2 began 140,200", "1 moved 110,220; 2 moved 150,220", "1 ended 110,220; 2 ended 150,220" } },
        { "together near the right edge, the second to the left", Fingers::Together, { 300, 200 }, { 290, 220 },
            { "1 began 300,200; 2 began 260,200", "1 moved 290,220; 2 moved 250,220", "1 ended 290,220; 2 ended 250,220" } },
        { "a pointer off the screen holds the fingers at its edge", Fingers::Mirrored, { 10, 10 }, { -50, 600 },
            { "1 began 10,10; 2 began 310,470", "1 moved 0,480; 2 moved 320,0", "1 ended 0,480; 2 ended 320,0" } },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        MouseFingerSimulator simulator(screen);
        std::vector<std::string> frames { describe(simulator.press(test.down, test.fingers)), describe(simulator.move(test.to)), describe(simulator.release(test.to)) };
        EXPECT_EQ(frames, test.frames);
        EXPECT_FALSE(simulator.isPressed());
    }
}

TEST(MouseFingerSimulator, OnlyChangesMakeFramesAndCancelEndsEveryFingerWhereItWas)
{
    MouseFingerSimulator simulator(screen);
    EXPECT_EQ(describe(simulator.move({ 5, 5 })), "") << "moving without a press";
    EXPECT_EQ(describe(simulator.release({ 5, 5 })), "") << "releasing without a press";
    EXPECT_EQ(describe(simulator.cancel()), "") << "cancelling without a press";

    EXPECT_EQ(describe(simulator.press({ 20, 30 }, Fingers::Together)), "1 began 20,30; 2 began 60,30");
    EXPECT_EQ(describe(simulator.press({ 50, 50 }, Fingers::One)), "") << "a second press while pressed";
    EXPECT_EQ(describe(simulator.move({ 20, 30 })), "") << "moving to where the pointer is";
    EXPECT_EQ(describe(simulator.cancel()), "1 cancelled 20,30; 2 cancelled 60,30");
    EXPECT_FALSE(simulator.isPressed());

    // A turned screen mirrors about its own centre.
    simulator.setScreenSize({ 480, 320 });
    EXPECT_EQ(describe(simulator.press({ 100, 100 }, Fingers::Mirrored)), "1 began 100,100; 2 began 380,220");
}

}
