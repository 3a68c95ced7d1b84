// Conversion benchmarks: the same real text converted by our buffer
// converters, our converter sources, ICU's ucnv and glibc's iconv.
//
// Every row converts one language's text between one encoding and UTF-16
// (the internal form of both this library and ICU), in one direction:
// "decode" reads the encoding and writes UTF-16, "encode" the reverse.
// Throughput is counted in bytes of input per second. After the run a
// Markdown table gives MB/s for each contender and the ratios ours/ICU and
// ours/iconv (above 1 means ours is faster).
//
// The texts are the UTF-8 files in data/bench/ (tools/bench/make_inputs.py
// makes them); the legacy forms are made with iconv when the program starts.
// Before timing, each contender's output is compared with iconv's: a row
// whose output differs is marked in the table (a few characters that the
// implementations map differently are normal for some CJK encodings).
//
//   zuuc_conversion_bench [--benchmark_filter=REGEX] [--benchmark_min_time=0.2]
#include <benchmark/benchmark.h>

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench_report.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/sources.h"

#if ZUUC_BENCH_HAVE_ICU
#include <unicode/ucnv.h>
#endif

namespace {

using u16 = unsigned short;

struct EncodingInfo {
    std::string label;               // the name in the table
    std::vector<char const *> ours;  // names to look up in our catalogue
    char const * iconv_name;
    char const * icu_name;
};

struct Language {
    char const * file;
    char const * label;
    std::vector<EncodingInfo> encodings;
};

EncodingInfo const kUTF8{"UTF-8", {"UTF-8"}, "UTF-8", "UTF-8"};

std::vector<Language> const kLanguages = {
    {"ja",
     "Japanese",
     {kUTF8,
      {"Shift_JIS", {"Shift_JIS", "SJIS"}, "SHIFT_JIS", "Shift_JIS"},
      {"EUC-JP", {"EUC-JP"}, "EUC-JP", "EUC-JP"},
      {"ISO-2022-JP", {"ISO-2022-JP"}, "ISO-2022-JP", "ISO-2022-JP"}}},
    {"zh_CN",
     "Chinese (simplified)",
     {kUTF8,
      {"GB2312", {"GB2312", "EUC-CN"}, "GB2312", "GB2312"},
      {"GB18030", {"GB18030"}, "GB18030", "GB18030"}}},
    {"zh_TW", "Chinese (traditional)", {kUTF8, {"Big5", {"Big5"}, "BIG5", "Big5"}}},
    {"ko", "Korean", {kUTF8, {"EUC-KR", {"EUC-KR"}, "EUC-KR", "EUC-KR"}}},
    {"ru",
     "Russian",
     {kUTF8, {"ISO-8859-5", {"ISO-8859-5", "ISOLatinCyrillic"}, "ISO-8859-5", "ISO-8859-5"}}},
    {"we",
     "Western European",
     {kUTF8, {"CP1252", {"windows-1252", "CP1252"}, "CP1252", "windows-1252"}}},
};

// --- iconv helpers ---------------------------------------------------------------

// Converts the whole of `input` with iconv; false when iconv cannot.
bool IconvAll(char const * to, char const * from, std::string const & input, std::string & output) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    output.assign(input.size() * 4 + 64, '\0');
    char * in = const_cast<char *>(input.data());
    std::size_t in_left = input.size();
    char * out = &output[0];
    std::size_t out_left = output.size();
    bool ok = iconv(cd, &in, &in_left, &out, &out_left) != static_cast<std::size_t>(-1) &&
              iconv(cd, nullptr, nullptr, &out, &out_left) != static_cast<std::size_t>(-1);
    output.resize(output.size() - out_left);
    iconv_close(cd);
    return ok;
}

std::string ReadFile(std::string const & path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

CharEncoding const * OurEncoding(EncodingInfo const & info) {
    for (char const * name : info.ours) {
        if (CharEncoding const * e = CharEncoding::Lookup(name))
            return e;
    }
    return nullptr;
}

// --- one row ------------------------------------------------------------------------

struct Row {
    std::string name;  // e.g. "decode/ja/Shift_JIS"
    bool decode;       // encoding -> UTF-16
    EncodingInfo info;
    std::string bytes;       // the text in the encoding
    std::vector<u16> units;  // the text in UTF-16
    CharEncoding const * ours = nullptr;
    std::map<std::string, std::string> notes;  // contender -> "differs", "n/a"...
};

std::vector<std::unique_ptr<Row>> gRows;

// Output of our buffer converter for a row (for checking), false when unavailable.
bool OurBufferOutput(Row const & row, std::vector<char> & bytes, std::vector<u16> & units) {
    if (row.decode) {
        CharToChar16BufferConverter c;
        if (!c.Initialize(*row.ours, Char16Encoding::UTF16()))
            return false;
        units.assign(row.bytes.size() + 16, 0);
        char const * in = row.bytes.data();
        u16 * out = units.data();
        BufferConverterResult r =
            c.Convert(in, in + row.bytes.size(), out, units.data() + units.size(), true);
        units.resize(static_cast<std::size_t>(out - units.data()));
        return r <= kBufferConverterCompleteWithSubstitutions;
    }
    Char16ToCharBufferConverter c;
    if (!c.Initialize(Char16Encoding::UTF16(), *row.ours))
        return false;
    bytes.assign(row.units.size() * 4 + 16, 0);
    u16 const * in = row.units.data();
    char * out = bytes.data();
    BufferConverterResult r =
        c.Convert(in, in + row.units.size(), out, bytes.data() + bytes.size(), true);
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return r <= kBufferConverterCompleteWithSubstitutions;
}

std::size_t InputBytes(Row const & row) {
    return row.decode ? row.bytes.size() : row.units.size() * sizeof(u16);
}

// --- contenders -------------------------------------------------------------------------

void BM_Buffer(benchmark::State & state, Row const * row) {
    if (row->decode) {
        CharToChar16BufferConverter c;
        if (!c.Initialize(*row->ours, Char16Encoding::UTF16())) {
            state.SkipWithError("no converter");
            return;
        }
        std::vector<u16> out_buffer(row->bytes.size() + 16);
        for (auto _ : state) {
            c.Reset();
            char const * in = row->bytes.data();
            u16 * out = out_buffer.data();
            c.Convert(in, in + row->bytes.size(), out, out_buffer.data() + out_buffer.size(), true);
            benchmark::DoNotOptimize(out);
        }
    } else {
        Char16ToCharBufferConverter c;
        if (!c.Initialize(Char16Encoding::UTF16(), *row->ours)) {
            state.SkipWithError("no converter");
            return;
        }
        std::vector<char> out_buffer(row->units.size() * 4 + 16);
        for (auto _ : state) {
            c.Reset();
            u16 const * in = row->units.data();
            char * out = out_buffer.data();
            c.Convert(in, in + row->units.size(), out, out_buffer.data() + out_buffer.size(), true);
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * InputBytes(*row)));
}

// Pulls everything from a converter source into `out`; returns units read.
template <class Source, class Unit>
std::size_t Drain(Source & source, Unit * out) {
    Unit * const start = out;
    Unit const * begin = nullptr;
    Unit const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        std::memcpy(out, begin, static_cast<std::size_t>(end - begin) * sizeof(Unit));
        out += end - begin;
        source.DoneWith(end);
    }
    return static_cast<std::size_t>(out - start);
}

void BM_Source(benchmark::State & state, Row const * row) {
    try {
        if (row->decode) {
            std::vector<u16> out_buffer(row->bytes.size() + 16);
            for (auto _ : state) {
                BufferCharSource input(row->bytes.data(), row->bytes.data() + row->bytes.size());
                Char16EncodingConverter converter(input, *row->ours, Char16Encoding::UTF16());
                benchmark::DoNotOptimize(Drain(converter, out_buffer.data()));
            }
        } else {
            std::vector<char> out_buffer(row->units.size() * 4 + 16);
            for (auto _ : state) {
                BufferChar16Source input(row->units.data(), row->units.data() + row->units.size());
                CharEncodingConverter converter(input, Char16Encoding::UTF16(), *row->ours);
                benchmark::DoNotOptimize(Drain(converter, out_buffer.data()));
            }
        }
    } catch (...) {
        state.SkipWithError("converter source failed");
        return;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * InputBytes(*row)));
}

void BM_Iconv(benchmark::State & state, Row const * row) {
    char const * from = row->decode ? row->info.iconv_name : "UTF-16LE";
    char const * to = row->decode ? "UTF-16LE" : row->info.iconv_name;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        state.SkipWithError("iconv_open failed");
        return;
    }
    std::string input = row->decode ? row->bytes
                                    : std::string(reinterpret_cast<char const *>(row->units.data()),
                                                  row->units.size() * sizeof(u16));
    std::vector<char> out_buffer(input.size() * 4 + 64);
    for (auto _ : state) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char * in = &input[0];
        std::size_t in_left = input.size();
        char * out = out_buffer.data();
        std::size_t out_left = out_buffer.size();
        iconv(cd, &in, &in_left, &out, &out_left);
        iconv(cd, nullptr, nullptr, &out, &out_left);
        benchmark::DoNotOptimize(out);
    }
    iconv_close(cd);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * InputBytes(*row)));
}

#if ZUUC_BENCH_HAVE_ICU
void BM_ICU(benchmark::State & state, Row const * row) {
    UErrorCode status = U_ZERO_ERROR;
    UConverter * cnv = ucnv_open(row->info.icu_name, &status);
    if (U_FAILURE(status)) {
        state.SkipWithError("ucnv_open failed");
        return;
    }
    if (row->decode) {
        std::vector<UChar> out_buffer(row->bytes.size() + 16);
        for (auto _ : state) {
            status = U_ZERO_ERROR;
            ucnv_resetToUnicode(cnv);
            int32_t n =
                ucnv_toUChars(cnv, out_buffer.data(), static_cast<int32_t>(out_buffer.size()),
                              row->bytes.data(), static_cast<int32_t>(row->bytes.size()), &status);
            benchmark::DoNotOptimize(n);
        }
    } else {
        std::vector<char> out_buffer(row->units.size() * 4 + 16);
        auto const * units = reinterpret_cast<UChar const *>(row->units.data());
        for (auto _ : state) {
            status = U_ZERO_ERROR;
            ucnv_resetFromUnicode(cnv);
            int32_t n =
                ucnv_fromUChars(cnv, out_buffer.data(), static_cast<int32_t>(out_buffer.size()),
                                units, static_cast<int32_t>(row->units.size()), &status);
            benchmark::DoNotOptimize(n);
        }
    }
    ucnv_close(cnv);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * InputBytes(*row)));
}
#endif

// --- the table -----------------------------------------------------------------------------

using zuuc_bench::Cell;
using zuuc_bench::Ratio;
using zuuc_bench::RunAndPrintTable;

void PrintTable(std::map<std::string, double> const & rates) {
    std::printf(
        "\n| direction | language | encoding | buffer MB/s | source MB/s | ICU MB/s | iconv MB/s "
        "| buffer/ICU | buffer/iconv | source/buffer | notes |\n");
    std::printf("|---|---|---|---:|---:|---:|---:|---:|---:|---:|---|\n");
    for (auto const & row : gRows) {
        std::string const & n = row->name;
        std::string notes;
        for (auto const & note : row->notes) {
            notes += (notes.empty() ? "" : "; ") + note.first + " " + note.second;
        }
        std::string language = n.substr(n.find('/') + 1);
        language = language.substr(0, language.find('/'));
        std::printf("| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n",
                    row->decode ? "to UTF-16" : "from UTF-16", language.c_str(),
                    row->info.label.c_str(), Cell(rates, n + "/buffer").c_str(),
                    Cell(rates, n + "/source").c_str(), Cell(rates, n + "/icu").c_str(),
                    Cell(rates, n + "/iconv").c_str(),
                    Ratio(rates, n + "/buffer", n + "/icu").c_str(),
                    Ratio(rates, n + "/buffer", n + "/iconv").c_str(),
                    Ratio(rates, n + "/source", n + "/buffer").c_str(), notes.c_str());
    }
}

void BuildRows() {
    for (Language const & language : kLanguages) {
        std::string const utf8 =
            ReadFile(std::string(ZUUC_BENCH_DATA_DIR) + "/" + language.file + ".txt");
        if (utf8.empty()) {
            std::fprintf(stderr, "missing input %s.txt\n", language.file);
            continue;
        }
        std::string utf16_bytes;
        if (!IconvAll("UTF-16LE", "UTF-8", utf8, utf16_bytes))
            continue;
        std::vector<u16> units(utf16_bytes.size() / 2);
        std::memcpy(units.data(), utf16_bytes.data(), units.size() * 2);
        for (EncodingInfo const & info : language.encodings) {
            std::string bytes;
            if (!IconvAll(info.iconv_name, "UTF-8", utf8, bytes)) {
                std::fprintf(stderr, "iconv cannot make %s text in %s\n", language.file,
                             info.label.c_str());
                continue;
            }
            for (bool decode : {true, false}) {
                auto row = std::make_unique<Row>();
                row->decode = decode;
                row->info = info;
                row->bytes = bytes;
                row->units = units;
                row->name =
                    std::string(decode ? "decode/" : "encode/") + language.file + "/" + info.label;
                row->ours = OurEncoding(info);
                // Check our buffer converter against iconv's result.
                std::vector<char> our_bytes;
                std::vector<u16> our_units;
                if (row->ours == nullptr || !OurBufferOutput(*row, our_bytes, our_units)) {
                    row->ours = nullptr;
                    row->notes["ours"] = "n/a";
                } else if (decode ? our_units != units
                                  : std::string(our_bytes.begin(), our_bytes.end()) != bytes) {
                    row->notes["ours"] = "output differs from iconv";
                }
                gRows.push_back(std::move(row));
            }
        }
    }
    for (auto const & row : gRows) {
        Row const * r = row.get();
        if (r->ours != nullptr) {
            benchmark::RegisterBenchmark((r->name + "/buffer").c_str(), BM_Buffer, r);
            benchmark::RegisterBenchmark((r->name + "/source").c_str(), BM_Source, r);
        }
#if ZUUC_BENCH_HAVE_ICU
        benchmark::RegisterBenchmark((r->name + "/icu").c_str(), BM_ICU, r);
#endif
        benchmark::RegisterBenchmark((r->name + "/iconv").c_str(), BM_Iconv, r);
    }
}

}  // namespace

int main(int argc, char ** argv) {
    BuildRows();
    return RunAndPrintTable(argc, argv, PrintTable);
}
