// The rates table shared by the benchmark programs: a console reporter that
// also records bytes/s per benchmark name, and the cells of a Markdown table.
#ifndef ZUUC_BENCH_REPORT_H
#define ZUUC_BENCH_REPORT_H

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace zuuc_bench {

// Records the rate per benchmark name while the console reporter prints as usual.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;
    void ReportRuns(std::vector<Run> const & runs) override {
        for (Run const & run : runs) {
            if (run.error_occurred)
                continue;
            // Bytes per second, or items (characters) per second for the
            // benchmarks that count those instead.
            auto it = run.counters.find("bytes_per_second");
            if (it == run.counters.end())
                it = run.counters.find("items_per_second");
            if (it != run.counters.end())
                rates[run.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

inline std::string Cell(std::map<std::string, double> const & rates, std::string const & name) {
    auto it = rates.find(name);
    if (it == rates.end())
        return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.0f", it->second / 1e6);
    return text;
}

inline std::string Ratio(std::map<std::string, double> const & rates, std::string const & a,
                         std::string const & b) {
    auto x = rates.find(a);
    auto y = rates.find(b);
    if (x == rates.end() || y == rates.end() || y->second <= 0)
        return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", x->second / y->second);
    return text;
}

// Runs the benchmarks chosen on the command line, then hands the rates to
// `print` (which prints the table).
template <class Print>
int RunAndPrintTable(int argc, char ** argv, Print print) {
    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    print(reporter.rates);
    benchmark::Shutdown();
    return 0;
}

}  // namespace zuuc_bench

#endif
