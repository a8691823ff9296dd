#pragma once

#include <benchmark/benchmark.h>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The console report, followed by each measured benchmark's time as a multiple
// of its floor's, so that a result reads the same on a faster machine, and by a
// table of CPU times beside the ones recorded before a change (setBaseline).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    explicit RatioReporter(std::initializer_list<std::pair<std::string, std::string>> measuredAndFloor)
        : m_pairs(measuredAndFloor)
    {
    }

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
                m_cpuTimes[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
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

    // CPU times in microseconds, per benchmark, from a run before the change named by label.
    void setBaseline(std::string label, std::map<std::string, double> microseconds)
    {
        m_baselineLabel = std::move(label);
        m_baseline = std::move(microseconds);
    }

    // Benchmarks measured in microseconds, as these programs' are.
    void printBaselineTable() const
    {
        if (m_baseline.empty())
            return;
        std::printf("\nCPU time, microseconds (before: %s)\n%-28s %10s %10s %8s\n", m_baselineLabel.c_str(), "benchmark", "before", "now", "ratio");
        for (const auto& [name, now] : m_cpuTimes) {
            auto before = m_baseline.find(name);
            if (before == m_baseline.end())
                std::printf("%-28s %10s %10.1f %8s\n", name.c_str(), "-", now, "-");
            else
                std::printf("%-28s %10.1f %10.1f %8.2f\n", name.c_str(), before->second, now, before->second > 0 ? now / before->second : 0.0);
        }
    }

private:
    std::vector<std::pair<std::string, std::string>> m_pairs;
    std::map<std::string, double> m_times;
    std::map<std::string, double> m_cpuTimes;
    std::string m_baselineLabel;
    std::map<std::string, double> m_baseline;
};
