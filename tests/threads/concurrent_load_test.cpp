// Threads that load every encoding module at once and convert with it, while
// another thread keeps asking the loader for a module already loaded. Run it
// under ThreadSanitizer (the tsan preset) too: it must report nothing.
//
// The program must be the first in its process to load a module, so it holds
// only this test.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/loader.h"
#include "zuuc/unicode_encodings.h"

namespace {

struct Sample {
    char const * encoding;
    std::u16string text;
};

// At least one encoding of every module, of every table kind.
std::vector<Sample> const & Samples() {
    static std::vector<Sample> const samples = {
        {"windows-1252", u"A\u00E9\u20AC"},  // zulat421
        {"windows-1251", u"\u0416\u0436"},   // zurow421
        {"EUC-JP", u"\u65E5\u672C\u8A9E"},   // zujpn421
        {"Shift_JIS", u"\u65E5\u672C\u8A9E"},
        {"ISO-2022-JP", u"a\u65E5b"},
        {"EUC-KR", u"\uD55C\uAD6D\uC5B4"},   // zukor421
        {"GB2312", u"\u4E2D\u6587"},         // zuchi421
        {"Big5", u"\u4E2D\u6587"},
        {"Big5-HKSCS", u"\u4E2D\U00020021"},
        {"GB18030", u"\u4E2D\U0001F600"},
    };
    return samples;
}

// Encodes and decodes the text with buffer converters; true when it comes
// back unchanged.
bool RoundTrips(CharEncoding const & encoding, std::u16string const & text) {
    auto const * units = reinterpret_cast<unsigned short const *>(text.data());
    char bytes[64];
    Char16ToCharBufferConverter encoder;
    if (!encoder.Initialize(Char16Encoding::UTF16(), encoding)) {
        return false;
    }
    unsigned short const * in = units;
    char * out = bytes;
    if (encoder.Convert(in, units + text.size(), out, bytes + sizeof bytes, true) > 1) {
        return false;
    }
    unsigned short back[64];
    CharToChar16BufferConverter decoder;
    if (!decoder.Initialize(encoding, Char16Encoding::UTF16())) {
        return false;
    }
    char const * from = bytes;
    unsigned short * to = back;
    if (decoder.Convert(from, out, to, back + 64, true) > 1) {
        return false;
    }
    return std::u16string(reinterpret_cast<char16_t const *>(back),
                          static_cast<std::size_t>(to - back)) == text;
}

// The names of an encoding in every form, built on first use.
bool NamesAgree(TextEncoding const & encoding) {
    unsigned short const * name = encoding.NameInUnicode();
    char const * narrow = encoding.Name();
    for (; *narrow != '\0'; ++narrow, ++name) {
        if (*name != static_cast<unsigned char>(*narrow)) {
            return false;
        }
    }
    unsigned short const * mime = encoding.MimeNameInUnicode();
    return *name == 0 && (mime == nullptr || *mime != 0);
}

TEST(ConcurrentLoad, ThreadsFirstLoadEveryModuleTogether) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 5;
    std::vector<CharEncoding const *> encodings;
    for (Sample const & sample : Samples()) {
        CharEncoding const * encoding = CharEncoding::Lookup(sample.encoding);
        ASSERT_NE(encoding, nullptr) << sample.encoding;
        ASSERT_FALSE(encoding->IsLoaded()) << sample.encoding << ": already loaded";
        encodings.push_back(encoding);
    }
    // Variants whose names are built from their parents' on first use.
    TextEncoding const * variants[] = {&CharEncoding::UTF32BigEndian(),
                                       &CharEncoding::Unicode20UTF8EBCDIC(),
                                       CharEncoding::Lookup("UTF-16LE")};

    std::atomic<int> ready{0};
    std::atomic<int> running{kThreads};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            ++ready;
            while (ready.load() < kThreads + 1) {
            }
            for (int round = 0; round < kRounds; ++round) {
                // Each thread starts at another encoding, so first loads collide.
                for (std::size_t i = 0; i < encodings.size(); ++i) {
                    std::size_t const k = (i + static_cast<std::size_t>(t)) % encodings.size();
                    EXPECT_TRUE(RoundTrips(*encodings[k], Samples()[k].text)) << encodings[k]->Name();
                    EXPECT_TRUE(NamesAgree(*encodings[k])) << encodings[k]->Name();
                }
                for (TextEncoding const * variant : variants) {
                    EXPECT_TRUE(NamesAgree(*variant)) << variant->Name();
                }
            }
            --running;
        });
    }
    // Asking for a module again while its tables are in use.
    threads.emplace_back([&] {
        ++ready;
        while (running.load() > 0) {
            if (!UnicodeLibLoader::Load("zujpn421")) {
                ++failures;  // counted: one report, not thousands
            }
        }
    });
    for (std::thread & thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures.load(), 0);
    for (CharEncoding const * encoding : encodings) {
        EXPECT_TRUE(encoding->IsLoaded()) << encoding->Name();
    }
}

}  // namespace
