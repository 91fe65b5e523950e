// A console reporter that prints, after the table, the time of one benchmark
// over that of another: the median of repetitions, or the single run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Prints "\n<text>: x <ratio>" for the benchmarks registered as measured
    // and reference.
    RatioReporter(std::string measured, std::string reference, std::string text)
        : measured_(std::move(measured)), reference_(std::move(reference)), text_(std::move(text)) {
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (!run.error_occurred && (run.run_type == Run::RT_Iteration || median))
                times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto measured = times_.find(measured_);
        const auto reference = times_.find(reference_);
        if (measured != times_.end() && reference != times_.end())
            std::printf("\n%s: x %.2f\n", text_.c_str(), measured->second / reference->second);
    }

private:
    std::string measured_, reference_, text_;
    std::map<std::string, double> times_;
};
