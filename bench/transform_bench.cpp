// Transform benchmarks: case mapping and the katakana width transform of
// real text, ours side by side with ICU and glibc in one run.
//
//   upper/<lang>/ours      ToUppercaseTransform over a UTF-32 buffer source,
//                          drained window by window
//   upper/<lang>/icu       u_toupper per code point (the same simple mappings)
//   upper/<lang>/towupper  glibc towupper per code point (C.UTF-8 locale)
//   hankaku/ja/ours        ZenkakuKatakanaToHankakuTransform over UTF-32
//   hankaku/ja/icu         ICU's Fullwidth-Halfwidth transliterator on UTF-16
//                          (it also splits precomposed voiced kana, which
//                          ours leaves as they are; see docs/transforms.md)
//
// Rates are code points of input per second. The texts are data/bench/*.txt
// (UTF-8). After the run a Markdown table gives the ratios ours/peer (above
// 1 means ours is faster); compare ratios, which come from one run.
//
//   zuuc_transform_bench [--benchmark_filter=REGEX] [--benchmark_min_time=0.2]
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdio>
#include <cwctype>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench_report.h"
#include "zuuc/sources.h"
#include "zuuc/transforms.h"

#if ZUUC_BENCH_HAVE_ICU
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#endif

namespace {

std::vector<unsigned int> ReadUtf32(char const * language) {
    std::ifstream file(std::string(ZUUC_BENCH_DATA_DIR) + "/" + language + ".txt",
                       std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::string const text = bytes.str();
    std::vector<unsigned int> units;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char const b = static_cast<unsigned char>(text[i]);
        int const n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        unsigned int c = n == 1 ? b : b & (0x7F >> n);
        for (int k = 1; k < n && i + k < text.size(); ++k)
            c = c << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        units.push_back(c);
        i += static_cast<std::size_t>(n);
    }
    return units;
}

void Finish(benchmark::State & state, std::size_t units) {
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * units));
}

template <class T>
void BM_Ours(benchmark::State & state, std::vector<unsigned int> const * text) {
    std::vector<unsigned int> out(text->size() * 2);
    for (auto _ : state) {
        BufferChar32Source source(text->data(), text->data() + text->size());
        T transform(source);
        unsigned int * o = out.data();
        unsigned int const * begin;
        unsigned int const * end;
        while (transform.GetBuffer(begin, end)) {
            for (unsigned int const * p = begin; p != end; ++p)
                *o++ = *p;
            transform.DoneWith(end);
        }
        benchmark::DoNotOptimize(o);
    }
    Finish(state, text->size());
}

void BM_Towupper(benchmark::State & state, std::vector<unsigned int> const * text) {
    std::vector<unsigned int> out(text->size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < text->size(); ++i)
            out[i] = static_cast<unsigned int>(std::towupper(static_cast<wint_t>((*text)[i])));
        benchmark::DoNotOptimize(out.data());
    }
    Finish(state, text->size());
}

#if ZUUC_BENCH_HAVE_ICU
void BM_IcuUpper(benchmark::State & state, std::vector<unsigned int> const * text) {
    std::vector<unsigned int> out(text->size());
    for (auto _ : state) {
        for (std::size_t i = 0; i < text->size(); ++i)
            out[i] = static_cast<unsigned int>(u_toupper(static_cast<UChar32>((*text)[i])));
        benchmark::DoNotOptimize(out.data());
    }
    Finish(state, text->size());
}

void BM_IcuHalfwidth(benchmark::State & state, std::vector<unsigned int> const * text) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> halfwidth(
        icu::Transliterator::createInstance("Fullwidth-Halfwidth", UTRANS_FORWARD, status));
    if (U_FAILURE(status)) {
        state.SkipWithError("no Fullwidth-Halfwidth transliterator");
        return;
    }
    icu::UnicodeString const input = icu::UnicodeString::fromUTF32(
        reinterpret_cast<UChar32 const *>(text->data()), static_cast<int32_t>(text->size()));
    for (auto _ : state) {
        icu::UnicodeString work(input);
        halfwidth->transliterate(work);
        benchmark::DoNotOptimize(work.getBuffer());
    }
    Finish(state, text->size());
}
#endif

struct Text {
    char const * language;
    std::vector<unsigned int> units;
};

}  // namespace

int main(int argc, char ** argv) {
    std::setlocale(LC_CTYPE, "C.UTF-8");
    static std::vector<Text> texts;
    for (char const * language : {"we", "ru", "ja"})
        texts.push_back({language, ReadUtf32(language)});
    for (Text const & t : texts) {
        std::string const row = std::string("upper/") + t.language;
        benchmark::RegisterBenchmark((row + "/ours").c_str(), BM_Ours<ToUppercaseTransform>,
                                     &t.units);
#if ZUUC_BENCH_HAVE_ICU
        benchmark::RegisterBenchmark((row + "/icu").c_str(), BM_IcuUpper, &t.units);
#endif
        benchmark::RegisterBenchmark((row + "/towupper").c_str(), BM_Towupper, &t.units);
    }
    std::vector<unsigned int> const & ja = texts.back().units;
    benchmark::RegisterBenchmark("hankaku/ja/ours", BM_Ours<ZenkakuKatakanaToHankakuTransform>,
                                 &ja);
#if ZUUC_BENCH_HAVE_ICU
    benchmark::RegisterBenchmark("hankaku/ja/icu", BM_IcuHalfwidth, &ja);
#endif
    // The table: rate of ours and the ratio to each peer of the same row.
    return zuuc_bench::RunAndPrintTable(
        argc, argv, [](std::map<std::string, double> const & rates) {
            std::printf(
                "\n| row | ours Mchar/s | peer | peer Mchar/s | ours/peer "
                "|\n|---|---|---|---|---|\n");
            for (auto const & entry : rates) {
                std::string const & name = entry.first;
                if (name.size() < 5 || name.compare(name.size() - 5, 5, "/ours") != 0)
                    continue;
                std::string const row = name.substr(0, name.size() - 5);
                for (char const * peer : {"icu", "towupper"}) {
                    auto const other = rates.find(row + "/" + peer);
                    if (other == rates.end())
                        continue;
                    std::printf("| %s | %.0f | %s | %.0f | %.2f |\n", row.c_str(),
                                entry.second / 1e6, peer, other->second / 1e6,
                                entry.second / other->second);
                }
            }
        });
}
