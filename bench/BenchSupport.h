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
    // Names match by prefix, so "BM_Read/0" finds "BM_Read/0/min_time:2.000".
    std::map<std::string, double>::const_iterator find(const std::string& name) const {
        auto it = rates.lower_bound(name);
        return it != rates.end() && it->first.compare(0, name.size(), name) == 0 ? it : rates.end();
    }
    void printRatio(const std::string& name, const std::string& baseline) const {
        auto a = find(name), b = find(baseline);
        if (a == rates.end() || b == rates.end()) return;
        std::printf("%-36s %14.0f /s  = %.2f x %s\n", name.c_str(), a->second,
                    a->second / b->second, baseline.c_str());
    }
    std::map<std::string, double> rates;
};

} // namespace benchsupport
