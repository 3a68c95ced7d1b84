// Decoding through an auto-detecting encoding against decoding with the
// right encoding named, on the benchmark texts (data/bench/) written in each
// language's legacy encodings, beside uchardet's detection time on the same
// bytes. Prints a Markdown table of the ratios at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench_report.h"
#include "zuuc/zuuc.h"

#if ZUUC_BENCH_HAVE_UCHARDET
#include <uchardet.h>
#endif

namespace {

struct Row {
    std::string name;
    CharEncoding * named;
    CharEncoding * detecting;
    std::string bytes;
};

std::vector<std::unique_ptr<Row>> gRows;

std::string ReadFile(std::string const & path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Our own encoder makes the legacy bytes.
std::string EncodeUTF8As(std::string const & utf8, CharEncoding const & encoding) {
    BufferCharSource input(utf8.data(), utf8.data() + utf8.size());
    CharEncodingConverter converter(input, CharEncoding::UTF8(), encoding);
    std::string out;
    char const * begin = nullptr;
    char const * end = nullptr;
    while (converter.GetBuffer(begin, end)) {
        out.append(begin, end);
        converter.DoneWith(end);
    }
    return out;
}

std::size_t DrainSource(CharSource & input, CharEncoding const & encoding, unsigned int * out) {
    Char32EncodingConverter converter(input, encoding, Char32Encoding::UTF32());
    std::size_t n = 0;
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    while (converter.GetBuffer(begin, end)) {
        std::memcpy(out + n, begin, static_cast<std::size_t>(end - begin) * sizeof *begin);
        n += static_cast<std::size_t>(end - begin);
        converter.DoneWith(end);
    }
    return n;
}

void BM_Source(benchmark::State & state, Row const * row, bool detect) {
    std::vector<unsigned int> out(row->bytes.size() + 16);
    for (auto _ : state) {
        BufferCharSource input(row->bytes.data(), row->bytes.data() + row->bytes.size());
        benchmark::DoNotOptimize(
            DrainSource(input, detect ? *row->detecting : *row->named, out.data()));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * row->bytes.size()));
}

void BM_Buffer(benchmark::State & state, Row const * row, bool detect) {
    std::vector<unsigned short> out(row->bytes.size() + 16);
    CharToChar16BufferConverter converter;
    if (!converter.Initialize(detect ? *row->detecting : *row->named, Char16Encoding::UTF16())) {
        state.SkipWithError("no converter");
        return;
    }
    for (auto _ : state) {
        converter.Reset();
        char const * in = row->bytes.data();
        unsigned short * o = out.data();
        benchmark::DoNotOptimize(
            converter.Convert(in, in + row->bytes.size(), o, out.data() + out.size(), true));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * row->bytes.size()));
}

#if ZUUC_BENCH_HAVE_UCHARDET
void BM_Uchardet(benchmark::State & state, Row const * row) {
    for (auto _ : state) {
        uchardet_t detector = uchardet_new();
        uchardet_handle_data(detector, row->bytes.data(), row->bytes.size());
        uchardet_data_end(detector);
        benchmark::DoNotOptimize(uchardet_get_charset(detector));
        uchardet_delete(detector);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * row->bytes.size()));
}
#endif

using zuuc_bench::Cell;
using zuuc_bench::Ratio;

void PrintTable(std::map<std::string, double> const & rates) {
    std::printf(
        "\n| text | bytes | source named MB/s | source detecting MB/s | detecting/named | "
        "buffer named MB/s | buffer detecting MB/s | detecting/named | "
        "uchardet detection MB/s |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (auto const & row : gRows) {
        std::string const & n = row->name;
        std::printf(
            "| %s | %zu | %s | %s | %s | %s | %s | %s | %s |\n", n.c_str(), row->bytes.size(),
            Cell(rates, n + "/source/named").c_str(), Cell(rates, n + "/source/detecting").c_str(),
            Ratio(rates, n + "/source/named", n + "/source/detecting").c_str(),
            Cell(rates, n + "/buffer/named").c_str(), Cell(rates, n + "/buffer/detecting").c_str(),
            Ratio(rates, n + "/buffer/named", n + "/buffer/detecting").c_str(),
            Cell(rates, n + "/uchardet").c_str());
    }
}

void BuildRows() {
    struct Text {
        char const * file;
        CharEncoding & (*named)();
        CharEncoding & (*detecting)();
    };
#define ZUUC_ENC(name) []() -> CharEncoding & { return CharEncoding::name(); }
    Text const texts[] = {
        {"ja", ZUUC_ENC(ShiftJISMS), ZUUC_ENC(JapaneseAutoDetect)},
        {"ja", ZUUC_ENC(EUCPkdFmtJapanese), ZUUC_ENC(JapaneseAutoDetect)},
        {"ja", ZUUC_ENC(ISO2022JP), ZUUC_ENC(JapaneseAutoDetect)},
        {"ja", ZUUC_ENC(Unicode20UTF8), ZUUC_ENC(JapaneseAutoDetect)},
        {"zh_CN", ZUUC_ENC(GB2312), ZUUC_ENC(ChineseAutoDetect)},
        {"zh_CN", ZUUC_ENC(GB18030), ZUUC_ENC(ChineseAutoDetect)},
        {"zh_TW", ZUUC_ENC(Big5), ZUUC_ENC(ChineseAutoDetect)},
        {"ko", ZUUC_ENC(EUCKR), ZUUC_ENC(KoreanAutoDetect)},
        {"ko", ZUUC_ENC(ISO2022KR), ZUUC_ENC(KoreanAutoDetect)},
    };
#undef ZUUC_ENC
    for (Text const & text : texts) {
        std::string const utf8 =
            ReadFile(std::string(ZUUC_BENCH_DATA_DIR) + "/" + text.file + ".txt");
        if (utf8.empty()) {
            std::fprintf(stderr, "missing input %s.txt\n", text.file);
            continue;
        }
        auto row = std::make_unique<Row>();
        row->named = &text.named();
        row->detecting = &text.detecting();
        row->name = std::string(text.file) + "/" + row->named->Name();
        row->bytes = EncodeUTF8As(utf8, *row->named);
        gRows.push_back(std::move(row));
    }
    for (auto const & row : gRows) {
        Row const * r = row.get();
        benchmark::RegisterBenchmark((r->name + "/source/named").c_str(), BM_Source, r, false);
        benchmark::RegisterBenchmark((r->name + "/source/detecting").c_str(), BM_Source, r, true);
        benchmark::RegisterBenchmark((r->name + "/buffer/named").c_str(), BM_Buffer, r, false);
        benchmark::RegisterBenchmark((r->name + "/buffer/detecting").c_str(), BM_Buffer, r, true);
#if ZUUC_BENCH_HAVE_UCHARDET
        benchmark::RegisterBenchmark((r->name + "/uchardet").c_str(), BM_Uchardet, r);
#endif
    }
}

}  // namespace

int main(int argc, char ** argv) {
    CharEncoding::UTF8();
    BuildRows();
    benchmark::Initialize(&argc, argv);
    zuuc_bench::TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintTable(reporter.rates);
    benchmark::Shutdown();
    return 0;
}
