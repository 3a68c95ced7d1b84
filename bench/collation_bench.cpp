// Sort-key benchmarks: our keys by the default table against the keys of
// ICU's root collator, for the same lines of real CJK text, in one run.
//
// Each text of data/bench/ (zh_CN, zh_TW, ja, ko) is cut into its non-empty
// lines and decoded to UTF-16. One iteration builds the key of every line:
// ours with CollationAlgorithm::MakeKey into a caller's buffer, ICU's with
// ucol_getSortKey into a buffer. Rates are lines per second. Our keys carry
// four levels (variable elements shifted to level 4); ICU's root collator
// builds three (its defaults: tertiary strength, non-ignorable), so ours
// are the longer keys.
//
//   zuuc_collation_bench [--benchmark_filter=REGEX] [--benchmark_min_time=0.2]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "zuuc/collation.h"

#if ZUUC_BENCH_HAVE_ICU_I18N
#include <unicode/ucol.h>
#endif

namespace {

using Line = std::vector<unsigned short>;

struct Text {
    char const * file;
    char const * label;
    std::vector<Line> lines;
    std::size_t characters = 0;
};
std::vector<Text> g_texts = {{"zh_CN", "Chinese (simplified)", {}},
                             {"zh_TW", "Chinese (traditional)", {}},
                             {"ja", "Japanese", {}},
                             {"ko", "Korean", {}}};

void Load(Text & text) {
    std::ifstream in(std::string(ZUUC_BENCH_DATA_DIR) + "/" + text.file + ".txt", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::string const bytes = s.str();
    Line line;
    for (std::size_t i = 0; i <= bytes.size();) {
        if (i == bytes.size() || bytes[i] == '\n') {
            if (!line.empty())
                text.lines.push_back(line);
            text.characters += line.size();
            line.clear();
            ++i;
            continue;
        }
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        unsigned n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        unsigned cp = n == 1 ? b : b & (0x7F >> n);
        for (unsigned k = 1; k < n && i + k < bytes.size(); ++k)
            cp = (cp << 6) | (bytes[i + k] & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            line.push_back(static_cast<unsigned short>(0xD800 + ((cp - 0x10000) >> 10)));
            line.push_back(static_cast<unsigned short>(0xDC00 + (cp & 0x3FF)));
        } else {
            line.push_back(static_cast<unsigned short>(cp));
        }
    }
}

CollationSequence const * g_table = nullptr;

void BM_Ours(benchmark::State & state, Text const * text) {
    static unsigned char buffer[1 << 16];
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (Line const & line : text->lines) {
            CollationKey key(buffer, sizeof buffer, nullptr, 0);
            CollationAlgorithm::MakeKey(key, *g_table, line.data(), static_cast<int>(line.size()));
            bytes += static_cast<std::size_t>(key.Length());
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * text->lines.size()));
    state.counters["key_bytes_per_line"] =
        static_cast<double>(bytes) / static_cast<double>(state.iterations() * text->lines.size());
}

#if ZUUC_BENCH_HAVE_ICU_I18N
UCollator * g_root = nullptr;

void BM_Icu(benchmark::State & state, Text const * text) {
    static unsigned char buffer[1 << 16];
    std::size_t bytes = 0;
    for (auto _ : state) {
        for (Line const & line : text->lines) {
            bytes += static_cast<std::size_t>(
                ucol_getSortKey(g_root, reinterpret_cast<UChar const *>(line.data()),
                                static_cast<int32_t>(line.size()), buffer, sizeof buffer));
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * text->lines.size()));
    state.counters["key_bytes_per_line"] =
        static_cast<double>(bytes) / static_cast<double>(state.iterations() * text->lines.size());
}
#endif

// Keeps the lines per second of every benchmark for the closing table.
class LineReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> rates;
    void ReportRuns(std::vector<Run> const & runs) override {
        for (Run const & run : runs) {
            auto it = run.counters.find("items_per_second");
            if (!run.error_occurred && it != run.counters.end())
                rates[run.benchmark_name()] = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

std::string Name(char const * who, Text const & text) {
    return std::string(who) + "/" + text.file;
}

void PrintTable(std::map<std::string, double> const & rates) {
    std::printf(
        "\n| text | lines | characters per line | ours lines/s | ICU lines/s | ours/ICU |\n"
        "|---|---:|---:|---:|---:|---:|\n");
    for (Text const & text : g_texts) {
        auto ours = rates.find(Name("ours", text));
        auto icu = rates.find(Name("ICU", text));
        if (ours == rates.end())
            continue;
        char icu_cell[32] = "";
        char ratio[32] = "";
        if (icu != rates.end()) {
            std::snprintf(icu_cell, sizeof icu_cell, "%.2fM", icu->second / 1e6);
            std::snprintf(ratio, sizeof ratio, "%.2f", ours->second / icu->second);
        }
        std::printf("| %s | %zu | %.1f | %.2fM | %s | %s |\n", text.label, text.lines.size(),
                    static_cast<double>(text.characters) / static_cast<double>(text.lines.size()),
                    ours->second / 1e6, icu_cell, ratio);
    }
}

}  // namespace

int main(int argc, char ** argv) {
    CollationSequence const table;
    g_table = &table;
#if ZUUC_BENCH_HAVE_ICU_I18N
    UErrorCode status = U_ZERO_ERROR;
    g_root = ucol_open("", &status);
    if (U_FAILURE(status))
        g_root = nullptr;
#endif
    for (Text & text : g_texts) {
        Load(text);
        benchmark::RegisterBenchmark(Name("ours", text).c_str(), BM_Ours, &text);
#if ZUUC_BENCH_HAVE_ICU_I18N
        if (g_root != nullptr)
            benchmark::RegisterBenchmark(Name("ICU", text).c_str(), BM_Icu, &text);
#endif
    }
    benchmark::Initialize(&argc, argv);
    LineReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter.rates);
    benchmark::Shutdown();
#if ZUUC_BENCH_HAVE_ICU_I18N
    if (g_root != nullptr)
        ucol_close(g_root);
#endif
    return 0;
}
