// How long after a write of the Settings file the application's live preview shows the new
// keyboard (the keyboard process notices the change, builds a keyboard as a newly opened
// application would, writes it; the application reads it and draws its panel), next to the
// floor of building one keyboard in a process of its own from the command line.

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "KeyboardPreview.h"
#include "PreviewPanel.h"
#include "UIKit/UIKit.h"
#include "shared/SharedFiles.h"

#include "CommandTiming.h"
#include "RatioReporter.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

std::filesystem::path deviceRoot;

std::string settingsWithRed(double red)
{
    char text[512];
    std::snprintf(text, sizeof text,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>open</key><true/><key>r</key><real>%.3f</real>"
        "<key>g</key><real>0.4</real><key>b</key><real>0.8</real><key>a</key><real>1</real></dict></plist>\n",
        red);
    return text;
}

double percentile(std::vector<double> values, double fraction)
{
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(fraction * static_cast<double>(values.size())))];
}

void SettingsWriteToPreviewOnScreen(benchmark::State& state)
{
    std::string error;
    auto preview = KeyboardPreview::start({ TESSARY8_KEYBOARD_PROGRAM, deviceRoot, 2 }, nullptr, error);
    if (!preview || !preview->waitUntilCurrent(30)) {
        state.SkipWithError(("no preview: " + error).c_str());
        return;
    }
    auto settings = DeviceRoot::resolve(SharedFiles::settingsPath);
    std::vector<double> latencies;
    int round = 0;
    for (auto _ : state) {
        auto written = std::chrono::steady_clock::now();
        auto text = settingsWithRed((++round % 10) / 10.0);
        if (!Foundation::writeFileAtomically(settings, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))) {
            state.SkipWithError("cannot write the Settings file");
            return;
        }
        if (!preview->waitUntilCurrent(30)) {
            state.SkipWithError("the preview did not follow");
            return;
        }
        auto panel = PreviewPanel::draw(preview->latest(), 480, 2);
        benchmark::DoNotOptimize(panel);
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - written).count();
        latencies.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    state.counters["median_ms"] = percentile(latencies, 0.5) * 1000;
    state.counters["p95_ms"] = percentile(latencies, 0.95) * 1000;
}

void FloorOneKeyboardProcess(benchmark::State& state)
{
    auto command = std::string("'") + TESSARY8_KEYBOARD_PROGRAM + "' --root '" + deviceRoot.string() + "' --out '"
        + (deviceRoot / "floor.png").string() + "' >/dev/null 2>&1";
    timeCommand(state, command);
}

BENCHMARK(SettingsWriteToPreviewOnScreen)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(FloorOneKeyboardProcess)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    deviceRoot = std::filesystem::temp_directory_path() / ("tessary8-bench-preview-" + std::to_string(getpid()));
    auto init = std::string("'") + TESSARY8_DEVICE_PROGRAM + "' --root '" + deviceRoot.string() + "' init >/dev/null";
    if (std::system(init.c_str()) != 0) {
        std::fprintf(stderr, "bench: cannot prepare a device in %s\n", deviceRoot.c_str());
        return 1;
    }
    DeviceRoot::set(deviceRoot);
    UIKit::registerClasses();
    RatioReporter reporter({ { "SettingsWriteToPreviewOnScreen", "FloorOneKeyboardProcess" } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    std::filesystem::remove_all(deviceRoot);
    return 0;
}
