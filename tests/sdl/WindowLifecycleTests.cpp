#include "host/sdl/WindowLifecycle.h"

#include "LifecycleName.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using Step = WindowLifecycle::Step;

// Window events as letters: F focus gained, f focus lost, M minimised, m restored, Q closed.
std::string run(WindowLifecycle& lifecycle, const std::string& events)
{
    std::string steps;
    for (char event : events) {
        auto told = event == 'F' ? lifecycle.setFocused(true)
            : event == 'f'       ? lifecycle.setFocused(false)
            : event == 'M'       ? lifecycle.setMinimised(true)
            : event == 'm'       ? lifecycle.setMinimised(false)
                                 : lifecycle.terminate();
        for (auto step : told)
            steps += (steps.empty() ? "" : " ") + lifecycleName(step);
    }
    return steps;
}

TEST(WindowLifecycle, FocusAndMinimisingStepThroughTheLifecycleInThePlatformsOrder)
{
    struct Case {
        const char* events;
        const char* steps;
    };
    const Case cases[] = {
        { "F", "become" },
        { "Ff", "become resign" },
        { "FfF", "become resign become" },
        { "FF", "become" },
        // Minimising a focused window: the focus goes first, or with it.
        { "FfM", "become resign background" },
        { "FM", "become resign background" },
        // Restoring: the focus may come back before the window is shown or after.
        { "FfMmF", "become resign background foreground become" },
        { "FfMFm", "become resign background foreground become" },
        { "Mm", "background foreground" },
        { "FMfm", "become resign background foreground" },
        { "FQ", "become terminate" },
        { "FQfMQF", "become terminate" },
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.events);
        WindowLifecycle lifecycle;
        const std::string events = test.events;
        EXPECT_EQ(run(lifecycle, events), test.steps);
    }
}

}
