// Eight threads on shared encodings: each converts text through catalogue
// encodings of every module and table kind (whose libraries load on first
// use, from whichever thread gets there first), through buffer converters of
// both Unicode widths and converter sources read in small pieces, decodes the
// same bytes through the auto-detecting encodings and builds names on first
// use, while one more thread keeps replacing the default behaviour and asks
// the loader again for a module already loaded. Every other thread collates
// instead: it compares the samples and builds their keys with one shared
// default table (loaded by whichever thread asks first). Every thread must
// get the same results as the others of its kind. Run it under
// ThreadSanitizer (the tsan preset): it must report nothing.
//
// The program must be the first in its process to load a module, so it holds
// only this test.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "support/utf8_test_helpers.h"
#include "zuuc/behavior.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/collation.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/loader.h"
#include "zuuc/sources.h"
#include "zuuc/unicode_encodings.h"

namespace {

struct Sample {
    char const * encoding;
    char const * detecting;  // an auto-detecting encoding that should find it, or null
    std::u32string text;
};

std::vector<Sample> const & Samples() {
    static std::vector<Sample> const samples = {
        {"windows-1252", nullptr, U"caf\u00E9 \u20AC5 \U0010FFFD"},    // zulat421
        {"KOI8-R", nullptr, U"\u041F\u0440\u0438\u0432\u0435\u0442"},  // zurow421
        {"windows-1251", nullptr, U"\u0416\u0436"},
        {"Shift_JIS", "JapaneseAutoDetect",
         U"\u65E5\u672C\u8A9E\u306E\u6587\u7AE0\u3067\u3059\u3002"},
        {"EUC-JP", "JapaneseAutoDetect",
         U"\u3053\u308C\u306F\u65E5\u672C\u8A9E\u306E\u6587\u7AE0\u3067\u3059"},
        {"ISO-2022-JP", "JapaneseAutoDetect", U"a\u65E5\u672C\u8A9Eb\uFF76"},
        {"EUC-KR", "KoreanAutoDetect", U"\uD55C\uAD6D\uC5B4 \uBB38\uC7A5\uC785\uB2C8\uB2E4"},
        {"GB2312", "ChineseAutoDetect", U"\u8FD9\u662F\u4E2D\u6587\u7684\u53E5\u5B50"},
        {"Big5", "ChineseAutoDetect", U"\u9019\u662F\u4E2D\u6587\u7684\u53E5\u5B50"},
        {"Big5-HKSCS", nullptr, U"\u4E2D\U00020021"},
        {"GB18030", nullptr, U"\u4E2D\U0001F600\u00E9"},
        {"UTF-16BE", nullptr, U"\U0001F600\uFFFD"},
    };
    return samples;
}

// One buffer-converter call over the whole input.
template <class Converter, class In, class Out, class From, class To>
std::basic_string<Out> Convert(From const & from, To const & to,
                               std::basic_string<In> const & input) {
    Converter converter;
    std::basic_string<Out> out(input.size() * 8 + 16, Out());
    In const * in = input.data();
    Out * o = &out[0];
    if (!converter.Initialize(from, to))
        return {};
    converter.Convert(in, in + input.size(), o, &out[0] + out.size(), true);
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

// Decodes through a converter source that reads three bytes at a time; also reports the
// encoding it read the bytes as.
std::u32string Decode(CharEncoding const & encoding, std::string const & bytes,
                      std::string & read_as) {
    zuuc_test::utf8::ChunkedCharSource source(std::vector<char>(bytes.begin(), bytes.end()), 3);
    Char32EncodingConverter converter(source, encoding, Char32Encoding::UTF32());
    std::u32string text;
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    while (converter.GetBuffer(begin, end)) {
        text.push_back(static_cast<char32_t>(*begin));
        converter.DoneWith(begin + 1);
    }
    read_as = converter.ActualInputEncoding().Name();
    return text;
}

// The names of an encoding in every form, built on first use.
bool NamesAgree(TextEncoding const & encoding) {
    unsigned short const * name = encoding.NameInUnicode();
    char const * narrow = encoding.Name();
    for (; *narrow != '\0'; ++narrow, ++name) {
        if (*name != static_cast<unsigned char>(*narrow))
            return false;
    }
    unsigned short const * mime = encoding.MimeNameInUnicode();
    return *name == 0 && (mime == nullptr || *mime != 0);
}

// One thread's result for every sample, in sample order; the samples are
// converted starting at `start`, so that first loads collide.
std::vector<std::string> Round(std::size_t start) {
    std::vector<Sample> const & samples = Samples();
    std::vector<std::string> results(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        std::size_t const k = (i + start) % samples.size();
        Sample const & sample = samples[k];
        std::string & all = results[k];
        CharEncoding const * encoding = CharEncoding::Lookup(sample.encoding);
        if (encoding == nullptr) {
            all = std::string("no encoding ") + sample.encoding;
            continue;
        }
        auto const * units = reinterpret_cast<unsigned int const *>(sample.text.data());
        std::basic_string<unsigned int> const text(units, units + sample.text.size());
        std::string const bytes = Convert<Char32ToCharBufferConverter, unsigned int, char>(
            Char32Encoding::UTF32(), *encoding, text);
        std::string read_as;
        std::u32string const back = Decode(*encoding, bytes, read_as);
        // The UTF-16 converters give the same bytes and read them back the same.
        auto utf16 = [](std::basic_string<unsigned int> const & utf32) {
            return Convert<Char32ToChar16BufferConverter, unsigned int, unsigned short>(
                Char32Encoding::UTF32(), Char16Encoding::UTF16(), utf32);
        };
        auto const * back_units = reinterpret_cast<unsigned int const *>(back.data());
        bool const same16 =
            Convert<Char16ToCharBufferConverter, unsigned short, char>(
                Char16Encoding::UTF16(), *encoding, utf16(text)) == bytes &&
            Convert<CharToChar16BufferConverter, char, unsigned short>(
                *encoding, Char16Encoding::UTF16(), bytes) ==
                utf16(std::basic_string<unsigned int>(back_units, back_units + back.size()));
        all += bytes + '|' + std::to_string(back.size()) + (same16 ? "|" : "|16!") +
               (NamesAgree(*encoding) ? "" : "names!");
        if (sample.detecting != nullptr) {
            // Found by name without its accessor having been called.
            CharEncoding const * detecting = CharEncoding::Lookup(sample.detecting);
            if (detecting == nullptr) {
                all += std::string("no encoding ") + sample.detecting;
                continue;
            }
            std::u32string const detected = Decode(*detecting, bytes, read_as);
            all += read_as + (detected == back ? "=" : "!");
        }
    }
    // Variants whose names are built from their parents' on first use.
    for (TextEncoding const * variant :
         {static_cast<TextEncoding const *>(&CharEncoding::UTF32BigEndian()),
          static_cast<TextEncoding const *>(&CharEncoding::Unicode20UTF8EBCDIC()),
          static_cast<TextEncoding const *>(CharEncoding::Lookup("UTF-16LE"))}) {
        if (!NamesAgree(*variant))
            results.push_back(std::string("names of ") + variant->Name());
    }
    return results;
}

CollationSequence const & SharedTable() {
    static CollationSequence const table;
    return table;
}

// Every ordered pair of samples compared directly and by keys, from sample
// `start` on: the signs, and '!' where the two disagree.
std::vector<std::string> Collate(std::size_t start) {
    std::vector<Sample> const & samples = Samples();
    std::size_t const n = samples.size();
    std::vector<std::string> results(n);
    for (std::size_t i = 0; i < n; ++i) {
        std::size_t const k = (i + start) % n;
        auto const * a = reinterpret_cast<unsigned int const *>(samples[k].text.c_str());
        CollationKey key_a;
        CollationAlgorithm::MakeKey(key_a, SharedTable(), a, -1);
        for (Sample const & other : samples) {
            auto const * b = reinterpret_cast<unsigned int const *>(other.text.c_str());
            CollationKey key_b;
            CollationAlgorithm::MakeKey(key_b, SharedTable(), b, -1);
            int const direct = CollationAlgorithm::Compare(SharedTable(), a, b);
            results[k] += static_cast<char>('1' + direct);
            if (direct != CollationAlgorithm::Compare(key_a, key_b))
                results[k] += '!';
        }
    }
    return results;
}

TEST(Stress, EightThreadsShareEncodingsWhileTheDefaultBehaviourChanges) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 4;
    for (Sample const & sample : Samples()) {
        CharEncoding const * encoding = CharEncoding::Lookup(sample.encoding);
        ASSERT_NE(encoding, nullptr) << sample.encoding;
        if (sample.encoding[0] != 'U') {
            ASSERT_FALSE(encoding->IsLoaded()) << sample.encoding << ": already loaded";
        }
    }
    UnicodeLibBehavior question(true);
    question.SetExternalSubstitute("?");
    UnicodeLibBehavior other(true);
    other.SetExternalSubstitute("?");
    other.SetAutoDetectTieBreakLevel(100);

    std::atomic<int> ready{0};
    std::atomic<bool> done{false};
    std::atomic<int> load_failures{0};
    std::vector<std::vector<std::string>> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads) {
            }
            for (int round = 0; round < kRounds; ++round) {
                std::size_t const start = static_cast<std::size_t>(t + round);
                std::vector<std::string> const result = t % 2 == 0 ? Round(start) : Collate(start);
                if (round == 0) {
                    results[static_cast<std::size_t>(t)] = result;
                } else if (result != results[static_cast<std::size_t>(t)]) {
                    results[static_cast<std::size_t>(t)] = {"changed between rounds"};
                }
            }
        });
    }
    // The default behaviour changes all the while, and a module already
    // loaded is asked for again while its tables are in use.
    UnicodeLibBehavior * const initial = UnicodeLibBehavior::GetDefaultBehavior();
    std::thread setter([&] {
        while (ready.load() < kThreads) {
        }
        for (int i = 0; !done.load(); ++i) {
            UnicodeLibBehavior::SetDefaultBehavior(i % 2 == 0 ? &question : &other);
            if (!UnicodeLibLoader::Load("zujpn421"))
                ++load_failures;
            std::this_thread::yield();
        }
    });
    for (std::thread & thread : threads)
        thread.join();
    done = true;
    setter.join();
    UnicodeLibBehavior::SetDefaultBehavior(initial);

    for (int t = 2; t < kThreads; ++t) {
        EXPECT_EQ(results[static_cast<std::size_t>(t)], results[static_cast<std::size_t>(t % 2)])
            << "thread " << t;
    }
    ASSERT_EQ(results[1].size(), Samples().size());
    for (std::string const & signs : results[1])
        EXPECT_EQ(signs.find('!'), std::string::npos) << signs;
    EXPECT_EQ(results[1][0][0], '1');                // a sample against itself
    ASSERT_EQ(results[0].size(), Samples().size());  // no variant named wrongly
    for (std::string const & result : results[0]) {
        EXPECT_EQ(result.find("16!"), std::string::npos) << result;
        EXPECT_EQ(result.find("names!"), std::string::npos) << result;
    }
    EXPECT_EQ(results[0][6].substr(results[0][6].size() - 7), "EUC-KR=");
    EXPECT_EQ(load_failures.load(), 0);
}

}  // namespace
