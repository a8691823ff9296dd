// Building a keyboard backdrop with the colour and the picture on, in a process that has built
// one before (the picture is decoded once per state of its file), next to what the first one
// in a process cannot avoid: the same four Settings reads, reading the picture and decoding it.

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "Foundation/NSDictionary.h"
#include "Foundation/NSData.h"
#include "Foundation/NSFileManager.h"
#include "ImageIO/PNGCodec.h"
#include "UIKit/UIImage.h"
#include "UIKit/UIKBInputBackdropView.h"
#include "UIKit/UIKit.h"
#include "shared/SharedFiles.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>

namespace {

bool prepareDevice(const std::filesystem::path& root)
{
    DeviceRoot::set(root);
    auto& files = NSFileManager::defaultManager();
    if (!files.createDirectoryAtPath("/var/mobile/Library/Preferences", true)
        || !files.createDirectoryAtPath(SharedFiles::backgroundImageFolder, true))
        return false;
    NSMutableDictionary settings({ { SharedFiles::colorSwitchKey, "1" }, { SharedFiles::imageSwitchKey, "1" }, { SharedFiles::redKey, PropertyListValue(0.2f) },
        { SharedFiles::greenKey, PropertyListValue(0.45f) }, { SharedFiles::blueKey, PropertyListValue(0.9f) }, { SharedFiles::alphaKey, PropertyListValue(1.0f) } });
    auto picture = Foundation::readWholeFile(TESSARY8_DEMO_PICTURE, 64 * 1024 * 1024);
    auto picturePath = DeviceRoot::resolve(SharedFiles::backgroundImagePath);
    if (!settings.writeToFile(SharedFiles::settingsPath, true) || !picture || !Foundation::writeFileAtomically(picturePath, *picture))
        return false;
    // Saved a while ago, as on a phone: a file changed within the last moments is read afresh.
    std::error_code error;
    std::filesystem::last_write_time(picturePath, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1), error);
    return !error;
}

void BuildBackdropWithColourAndPicture(benchmark::State& state)
{
    for (auto _ : state) {
        auto backdrop = UIKBInputBackdropView::initWithFrame(CGRectMake(0, 0, 320, 216), true);
        benchmark::DoNotOptimize(backdrop);
        if (!backdrop || backdrop->subviews().size() != 2)
            state.SkipWithError("the plug-in did not colour and picture the backdrop");
    }
}

void FloorFourReadsAndOneDecode(benchmark::State& state)
{
    for (auto _ : state) {
        for (int read = 0; read < 4; ++read) {
            auto settings = NSDictionary::dictionaryWithContentsOfFile(SharedFiles::settingsPath);
            benchmark::DoNotOptimize(settings);
        }
        auto bytes = Foundation::readWholeFile(DeviceRoot::resolve(SharedFiles::backgroundImagePath), NSData::maximumFileSize);
        auto picture = bytes ? ImageIO::decodePNG(*bytes) : nullptr;
        if (!picture)
            state.SkipWithError("the picture does not decode");
        benchmark::DoNotOptimize(picture);
    }
}

BENCHMARK(BuildBackdropWithColourAndPicture)->Unit(benchmark::kMicrosecond);
BENCHMARK(FloorFourReadsAndOneDecode)->Unit(benchmark::kMicrosecond);

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    auto root = std::filesystem::temp_directory_path() / ("tessary8-bench-" + std::to_string(getpid()));
    if (!prepareDevice(root)) {
        std::fprintf(stderr, "bench: cannot prepare a device in %s\n", root.c_str());
        return 1;
    }
    UIKit::registerClasses();
    if (!dlopen(TESSARY8_PLUGIN, RTLD_NOW | RTLD_LOCAL)) {
        std::fprintf(stderr, "bench: cannot load the plug-in: %s\n", dlerror());
        return 1;
    }
    RatioReporter reporter({ { "BuildBackdropWithColourAndPicture", "FloorFourReadsAndOneDecode" } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    benchmark::Shutdown();
    std::filesystem::remove_all(root);
    return 0;
}
