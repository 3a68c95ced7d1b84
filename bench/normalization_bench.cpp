// Normalization benchmarks: NormalizationTransform16 against ICU's
// Normalizer2 on the same real UTF-16 text, in one run.
//
// Cases, per language (data/bench/<lang>.txt, decoded to UTF-16; accented.txt
// is made by tools/normalization/make_accented_text.py):
//   NFC of NFC text      the text as ICU's NFC gives it, normalized to NFC
//   NFD                  the same NFC text, normalized to NFD
//   NFC of NFD text      the text as ICU's NFD gives it, normalized to NFC
// Ours reads a BufferChar16Source through the transform, window by window,
// and copies every window into one output buffer; ICU normalizes the whole
// text with unorm2_normalize into a buffer of its own. Rates are MB/s of
// input bytes (2 per UTF-16 unit). Before timing, our output is compared
// with ICU's; a difference is marked in the table printed at the end.
//
//   zuuc_normalization_bench [--benchmark_filter=REGEX] [--benchmark_min_time=0.2]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench_report.h"
#include "zuuc/normalization.h"
#include "zuuc/sources.h"

#if ZUUC_BENCH_HAVE_ICU
#include <unicode/unorm2.h>
#endif

namespace {

using u16 = unsigned short;
using Text = std::vector<u16>;

struct Language {
    char const * file;
    char const * label;
};
Language const kLanguages[] = {{"accented", "Accented European (fr, cs, pl, pt, hu, ro, es, de)"},
                               {"we", "Western European (mostly ASCII)"},
                               {"ru", "Russian"},
                               {"zh_CN", "Chinese (simplified)"},
                               {"ja", "Japanese"},
                               {"ko", "Korean"}};

struct Case {
    char const * key;  // in the benchmark names
    char const * name;
    int input_form;  // 0: the text in NFD, 1: in NFC
    int form;        // what it is normalized to
};
Case const kCases[] = {{"nfc-of-nfc", "NFC of NFC text", 1, 1},
                       {"nfd", "NFD", 1, 0},
                       {"nfc-of-nfd", "NFC of NFD text", 0, 1}};

Text ReadUTF16(char const * file) {
    std::ifstream in(std::string(ZUUC_BENCH_DATA_DIR) + "/" + file + ".txt", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    std::string const bytes = s.str();
    Text out;
    for (std::size_t i = 0; i < bytes.size();) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        unsigned n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        unsigned cp = n == 1 ? b : b & (0x7F >> n);
        for (unsigned k = 1; k < n && i + k < bytes.size(); ++k)
            cp = (cp << 6) | (bytes[i + k] & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            out.push_back(static_cast<u16>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<u16>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<u16>(cp));
        }
    }
    return out;
}

// Ours: the whole text through the transform into `out`; returns its length.
std::size_t Ours(Text const & in, int form, Text & out) {
    BufferChar16Source source(in.data(), in.data() + in.size());
    NormalizationTransform16 t(source, static_cast<NormalizationTransform16::Form>(form));
    u16 const * begin;
    u16 const * end;
    std::size_t n = 0;
    while (t.GetBuffer(begin, end)) {
        std::size_t k = static_cast<std::size_t>(end - begin);
        if (n + k > out.size())
            out.resize(2 * (n + k));
        std::copy(begin, end, out.begin() + static_cast<long>(n));
        n += k;
        t.DoneWith(end);
    }
    return n;
}

#if ZUUC_BENCH_HAVE_ICU
UNormalizer2 const * IcuNormalizer(int form) {
    UErrorCode status = U_ZERO_ERROR;
    return form == 0 ? unorm2_getNFDInstance(&status) : unorm2_getNFCInstance(&status);
}

std::size_t Icu(UNormalizer2 const * normalizer, Text const & in, Text & out) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t n = unorm2_normalize(
        normalizer, reinterpret_cast<UChar const *>(in.data()), static_cast<int32_t>(in.size()),
        reinterpret_cast<UChar *>(out.data()), static_cast<int32_t>(out.size()), &status);
    return U_SUCCESS(status) ? static_cast<std::size_t>(n) : 0;
}
#endif

struct Row {
    std::string language;
    std::string label;
    Case c;
    Text input;
    std::string note;
};
std::vector<Row> g_rows;

void BuildRows() {
    for (Language const & lang : kLanguages) {
        Text raw = ReadUTF16(lang.file);
        for (Case const & c : kCases) {
            Row row{lang.file, lang.label, c, raw, ""};
#if ZUUC_BENCH_HAVE_ICU
            Text buffer(raw.size() * 4 + 16);
            buffer.resize(Icu(IcuNormalizer(c.input_form), raw, buffer));
            row.input = buffer;
            Text theirs(row.input.size() * 4 + 16);
            theirs.resize(Icu(IcuNormalizer(c.form), row.input, theirs));
            Text ours(16);
            ours.resize(Ours(row.input, c.form, ours));
            if (ours != theirs)
                row.note = " (output differs from ICU's)";
#endif
            g_rows.push_back(row);
        }
    }
}

void BM_Ours(benchmark::State & state, Row const * row) {
    Text out(row->input.size() * 4 + 16);
    for (auto _ : state)
        benchmark::DoNotOptimize(Ours(row->input, row->c.form, out));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * row->input.size() * 2));
}

#if ZUUC_BENCH_HAVE_ICU
void BM_Icu(benchmark::State & state, Row const * row) {
    Text out(row->input.size() * 4 + 16);
    UNormalizer2 const * normalizer = IcuNormalizer(row->c.form);
    for (auto _ : state)
        benchmark::DoNotOptimize(Icu(normalizer, row->input, out));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * row->input.size() * 2));
}
#endif

std::string Name(char const * who, Row const & row) {
    return std::string(who) + "/" + row.language + "/" + row.c.key;
}

void PrintTable(std::map<std::string, double> const & rates) {
    std::printf("\n| text | case | ours MB/s | ICU MB/s | ours/ICU |\n|---|---|---:|---:|---:|\n");
    for (Row const & row : g_rows) {
        auto ours = rates.find(Name("ours", row));
        auto icu = rates.find(Name("ICU", row));
        if (ours == rates.end())
            continue;
        char icu_cell[32] = "";
        char ratio[32] = "";
        if (icu != rates.end()) {
            std::snprintf(icu_cell, sizeof icu_cell, "%.0f", icu->second / 1e6);
            std::snprintf(ratio, sizeof ratio, "%.2f", ours->second / icu->second);
        }
        std::printf("| %s | %s%s | %.0f | %s | %s |\n", row.label.c_str(), row.c.name,
                    row.note.c_str(), ours->second / 1e6, icu_cell, ratio);
    }
}

}  // namespace

int main(int argc, char ** argv) {
    BuildRows();
    for (Row const & row : g_rows) {
        benchmark::RegisterBenchmark(Name("ours", row).c_str(), BM_Ours, &row);
#if ZUUC_BENCH_HAVE_ICU
        benchmark::RegisterBenchmark(Name("ICU", row).c_str(), BM_Icu, &row);
#endif
    }
    return zuuc_bench::RunAndPrintTable(argc, argv, PrintTable);
}
