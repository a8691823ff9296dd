#pragma once

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <string>

// Each iteration runs a shell command to its end, timed by the wall clock (for benchmarks
// that use manual time: the work happens in another process).
inline void timeCommand(benchmark::State& state, const std::string& command)
{
    for (auto _ : state) {
        auto started = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError(("failed: " + command).c_str());
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
}
