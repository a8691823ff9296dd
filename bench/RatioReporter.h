#pragma once

#include <benchmark/benchmark.h>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The console report, followed by each measured benchmark's time as a multiple
// of its floor's, so that a result reads the same on a faster machine.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::initializer_list<std::pair<std::string, std::string>> measuredAndFloor)
        : m_pairs(measuredAndFloor)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printRatios() const
    {
        for (const auto& [measured, floor] : m_pairs) {
            auto measuredTime = m_times.find(measured);
            auto floorTime = m_times.find(floor);
            if (measuredTime != m_times.end() && floorTime != m_times.end() && floorTime->second > 0)
                std::printf("%s / %s: %.2f\n", measured.c_str(), floor.c_str(), measuredTime->second / floorTime->second);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> m_pairs;
    std::map<std::string, double> m_times;
};
