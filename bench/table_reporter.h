// The console reporter of the benchmark programs, which also keeps the rate
// (bytes per second) of every benchmark by name for the Markdown table each
// program prints at the end.
#ifndef ZUUC_BENCH_TABLE_REPORTER_H
#define ZUUC_BENCH_TABLE_REPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;
    void ReportRuns(std::vector<Run> const & runs) override {
        for (Run const & run : runs) {
            if (run.error_occurred) continue;
            auto it = run.counters.find("bytes_per_second");
            if (it != run.counters.end()) rates[run.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

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

#endif
