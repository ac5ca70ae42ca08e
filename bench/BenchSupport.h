// Shared pieces of the benchmarks: a console reporter that also remembers
// each run's rate so the program can print ratios against a baseline that
// was measured in the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace benchsupport {

class RateReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            auto it = r.counters.find("items_per_second");
            if (it != r.counters.end()) rates[r.benchmark_name()] = it->second.value;
        }
    }
    // Prints "<name>: <rate> per second, <ratio> x <baseline>".
    void printRatio(const std::string& name, const std::string& baseline) const {
        auto a = rates.find(name), b = rates.find(baseline);
        if (a == rates.end() || b == rates.end()) return;
        std::printf("%-48s %12.0f ops/s  = %.2f x %s\n", name.c_str(), a->second,
                    a->second / b->second, baseline.c_str());
    }
    std::map<std::string, double> rates;
};

} // namespace benchsupport
