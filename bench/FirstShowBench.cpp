// A keyboard's first show in a process of its own with the colour and the demo picture on
// (the loader injects the plug-in, which reads the Settings file, reads and decodes the
// picture), next to the same host with no plug-in injected (TESSARY8_SAFE_MODE=1).

#include "CommandTiming.h"
#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::filesystem::path deviceRoot;

void showKeyboard(benchmark::State& state, const char* environment)
{
    std::string command = std::string(environment) + " '" + TESSARY8_KEYBOARD_PROGRAM + "' --root '" + deviceRoot.string() + "' --out '"
        + (deviceRoot / "keyboard.png").string() + "' >/dev/null 2>&1";
    timeCommand(state, command);
}

void FirstShowWithColourAndPicture(benchmark::State& state)
{
    showKeyboard(state, "");
}

void FirstShowWithoutPlugIn(benchmark::State& state)
{
    showKeyboard(state, "TESSARY8_SAFE_MODE=1");
}

BENCHMARK(FirstShowWithColourAndPicture)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(FirstShowWithoutPlugIn)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    deviceRoot = std::filesystem::temp_directory_path() / ("tessary8-bench-first-show-" + std::to_string(getpid()));
    std::string device = std::string("'") + TESSARY8_DEVICE_PROGRAM + "' --root '" + deviceRoot.string() + "'";
    std::string prepare = device + " init >/dev/null && " + device + " set --color 0.2,0.45,0.9,1 --color-switch on --image '"
        + TESSARY8_DEMO_PICTURE + "' --image-switch on >/dev/null";
    if (std::system(prepare.c_str()) != 0) {
        std::fprintf(stderr, "bench: cannot prepare a device in %s\n", deviceRoot.c_str());
        return 1;
    }
    RatioReporter reporter({ { "FirstShowWithColourAndPicture", "FirstShowWithoutPlugIn" } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    std::filesystem::remove_all(deviceRoot);
    return 0;
}
