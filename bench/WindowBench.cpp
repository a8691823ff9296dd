// What the window costs a frame at scale 2: a drag event on the colour tab's wheel
// with the frame shown in a real SDL window (only the damaged rectangles uploaded),
// against the same drag with every frame uploaded whole, as the window did before.
// Needs a display: run it under xvfb-run where there is none.

#include "Foundation/NSBundle.h"
#include "Foundation/NSRunLoop.h"
#include "UIKit/UIScreen.h"
#include "app/AppDelegate.h"
#include "host/TouchInjector.h"
#include "host/sdl/SDLWindowHost.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>

namespace {

constexpr CGFloat scale = 2;

// Hands each frame on whole, with no damage: the window uploads every pixel.
class WholeFrames : public UIScreenDisplay {
public:
    explicit WholeFrames(std::shared_ptr<UIScreenDisplay> window)
        : m_window(std::move(window))
    {
    }
    void presentFrame(const CGImageRef& frame) override { m_window->presentFrame(frame); }

private:
    std::shared_ptr<UIScreenDisplay> m_window;
};

std::unique_ptr<SDLWindowHost> host;

void dragOnTheWheel(benchmark::State& state, const std::shared_ptr<UIScreenDisplay>& display)
{
    UIScreen::mainScreen()->setDisplay(display);
    NSRunLoop::mainRunLoop().runOnce(false);
    TouchInjector finger;
    CGPoint centre = CGPointMake(160, 64 + 135);
    finger.touchDown(centre);
    double angle = 0;
    for (auto _ : state) {
        angle += 0.05;
        finger.touchMove(CGPointMake(static_cast<CGFloat>(centre.x + 80 * std::cos(angle)), static_cast<CGFloat>(centre.y + 80 * std::sin(angle))));
    }
    finger.touchUp(centre);
    NSRunLoop::mainRunLoop().runOnce(false);
}

void WheelDragInWindow(benchmark::State& state) { dragOnTheWheel(state, host->display()); }

void WheelDragInWindowWholeUploads(benchmark::State& state) { dragOnTheWheel(state, std::make_shared<WholeFrames>(host->display())); }

BENCHMARK(WheelDragInWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(WheelDragInWindowWholeUploads)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    std::string error;
    host = SDLWindowHost::open(CGSizeMake(320, 480), scale, {}, error);
    if (!host) {
        std::fprintf(stderr, "bench_window: %s (run it under xvfb-run where there is no display)\n", error.c_str());
        return 1;
    }
    NSBundle::mainBundle().setResourcePath(TESSARY8_PICTURES_DIR);
    UIScreen::mainScreen()->setScale(scale);
    auto delegate = objc::alloc<AppDelegate>();
    delegate->applicationDidFinishLaunchingWithOptions(*UIApplication::sharedApplication(), {});
    RatioReporter reporter({ { "WheelDragInWindow", "WheelDragInWindowWholeUploads" } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    UIScreen::mainScreen()->setDisplay(nullptr);
    host.reset();
    benchmark::Shutdown();
    return 0;
}
