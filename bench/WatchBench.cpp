// tessary8-keyboard --watch: the time from a write of the Settings file (by rename, as the
// application's writers do) to its rebuilt picture, the line that reports it having arrived,
// with its median and 95th percentile; next to its floor, one `tessary8-keyboard --out`
// build in a process of its own. Both at scale 2, on a device with the plug-in installed.

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceRoot.h"
#include "SharedFilesState.h"
#include "shared/SharedFiles.h"

#include "RatioReporter.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A device with the plug-in, made once for the whole run.
const fs::path& deviceRoot()
{
    static fs::path root = [] {
        char folder[] = "/tmp/tessary8-watch-bench-XXXXXX";
        fs::path made = mkdtemp(folder);
        std::string command = std::string("'") + TESSARY8_DEVICE_PROGRAM + "' --root '" + made.string() + "' init >/dev/null";
        if (std::system(command.c_str()) != 0)
            std::abort();
        DeviceRoot::set(made);
        fs::create_directories(DeviceRoot::resolve(SharedFiles::settingsPath).parent_path());
        return made;
    }();
    return root;
}

struct Child {
    pid_t pid = -1;
    int output = -1;  // the child's standard output, when read
    int input = -1;   // its standard input, when kept open
};

Child spawn(std::vector<std::string> arguments, bool readOutput)
{
    std::vector<char*> argv;
    for (auto& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    int output[2] = { -1, -1 };
    int input[2] = { -1, -1 };
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (readOutput && pipe2(output, O_CLOEXEC) == 0 && pipe2(input, O_CLOEXEC) == 0) {
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    } else {
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    Child child;
    if (posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        std::abort();
    posix_spawn_file_actions_destroy(&actions);
    if (readOutput) {
        close(output[1]);
        close(input[0]);
        child.output = output[0];
        child.input = input[1];
    }
    return child;
}

int reap(Child& child)
{
    if (child.input >= 0)
        close(child.input);
    int status = 0;
    waitpid(child.pid, &status, 0);
    if (child.output >= 0)
        close(child.output);
    return status;
}

// Reads lines until one holds the text; false after ten seconds without.
bool awaitLineWith(int descriptor, const std::string& text, std::string& pending)
{
    auto deadline = Clock::now() + std::chrono::seconds(10);
    for (;;) {
        for (auto newline = pending.find('\n'); newline != std::string::npos; newline = pending.find('\n')) {
            bool found = pending.substr(0, newline).find(text) != std::string::npos;
            pending.erase(0, newline + 1);
            if (found)
                return true;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd ready { descriptor, POLLIN, 0 };
        if (left <= 0 || poll(&ready, 1, static_cast<int>(left)) <= 0)
            return false;
        char buffer[65536];
        ssize_t count = read(descriptor, buffer, sizeof buffer);
        if (count <= 0)
            return false;
        pending.append(buffer, static_cast<size_t>(count));
    }
}

std::string settingsText(int turn)
{
    // The colour on and off in turn: each build shows a change the plug-in remembers.
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>") + (turn % 2 ? "<key>open</key><string>1</string>" : "")
        + "<key>r</key><real>0.2</real><key>g</key><real>0.45</real><key>b</key><real>0.9</real><key>a</key><real>1</real></dict></plist>\n";
}

void reportPercentiles(benchmark::State& state, std::vector<double> milliseconds)
{
    if (milliseconds.empty())
        return;
    std::sort(milliseconds.begin(), milliseconds.end());
    state.counters["median_ms"] = milliseconds[milliseconds.size() / 2];
    state.counters["p95_ms"] = milliseconds[std::min(milliseconds.size() - 1, milliseconds.size() * 95 / 100)];
}

void SettingsWriteToRebuiltFile(benchmark::State& state)
{
    auto out = deviceRoot() / "watched.png";
    Child watch = spawn({ TESSARY8_KEYBOARD_PROGRAM, "--watch", "--out", out.string(), "--root", deviceRoot().string(), "--scale", "2" }, true);
    std::string pending;
    if (!awaitLineWith(watch.output, "\"build\":1,", pending)) {
        state.SkipWithError("the watch gave no first build");
        reap(watch);
        return;
    }
    auto settings = DeviceRoot::resolve(SharedFiles::settingsPath);
    std::vector<double> samples;
    int turn = 0;
    for (auto _ : state) {
        // Each write a burst of its own, after the last build has settled.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        auto text = settingsText(++turn);
        if (!Foundation::writeFileAtomically(settings, { reinterpret_cast<const std::uint8_t*>(text.data()), text.size() })) {
            state.SkipWithError("cannot write the Settings file");
            break;
        }
        auto written = Clock::now();
        // The line of the build made from exactly this state of the files.
        if (!awaitLineWith(watch.output, "\"files\":" + sharedFilesState().dump(), pending)) {
            state.SkipWithError("no build of the written state within 10 s");
            break;
        }
        std::chrono::duration<double> seconds = Clock::now() - written;
        state.SetIterationTime(seconds.count());
        samples.push_back(seconds.count() * 1000);
    }
    reap(watch);
    reportPercentiles(state, samples);
}

void FloorOneShotBuild(benchmark::State& state)
{
    auto out = deviceRoot() / "once.png";
    std::vector<double> samples;
    for (auto _ : state) {
        auto start = Clock::now();
        Child once = spawn({ TESSARY8_KEYBOARD_PROGRAM, "--out", out.string(), "--root", deviceRoot().string(), "--scale", "2" }, false);
        if (reap(once) != 0) {
            state.SkipWithError("tessary8-keyboard --out failed");
            break;
        }
        std::chrono::duration<double> seconds = Clock::now() - start;
        state.SetIterationTime(seconds.count());
        samples.push_back(seconds.count() * 1000);
    }
    reportPercentiles(state, samples);
}

}

BENCHMARK(SettingsWriteToRebuiltFile)->UseManualTime()->Iterations(40)->Unit(benchmark::kMillisecond);
BENCHMARK(FloorOneShotBuild)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter({ { "SettingsWriteToRebuiltFile", "FloorOneShotBuild" } });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    fs::remove_all(deviceRoot());
    benchmark::Shutdown();
    return 0;
}
