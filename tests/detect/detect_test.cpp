// The encoding detectors: the Unicode detectors' ratings, the CJK language
// scorers, and the auto-detecting encodings end to end.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/char_encoding.h"
#include "zuuc/language_detectors.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/zuuc.h"

using zuuc_test::utf16::ToUTF16;

// Ratings of the UTF-8, UCS-2 and UTF-32 detectors.
namespace {

// Feeds `bytes` to the detector in windows of `chunk` bytes, as a chooser
// reading ahead does (the buffer start stays the first byte), then Finish.
int Rate(CharEncodingDetector & detector, std::vector<unsigned char> const & bytes,
         std::size_t chunk) {
    unsigned char const * const start = bytes.data();
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        std::size_t const end = std::min(bytes.size(), at + chunk);
        detector.Examine(start, start + at, start + end);
    }
    detector.Finish(start, start + bytes.size());
    return detector.GetRating();
}

enum Kind { kUtf8, kUcs2, kUtf32 };

std::unique_ptr<CharEncodingDetector> Make(Kind kind) {
    CharEncoding const & any = CharEncoding::UTF8();
    if (kind == kUtf8)
        return std::make_unique<UTF8Detector>(any);
    if (kind == kUcs2)
        return std::make_unique<UCS2Detector>(any);
    return std::make_unique<UTF32Detector>(any);
}

int const kLowest = CharEncodingDetector::kLowestRating;

// The UTF-8 detector counts bytes that break the pattern; the UCS-2 and
// UTF-32 ones rate only a byte-order mark at the start above the lowest.
TEST(UnicodeDetectors, RatingsInEveryWindowSize) {
    struct Case {
        Kind kind;
        std::vector<unsigned char> bytes;
        int rating;
    } const cases[] = {
        {kUtf8, {'a', 'b', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}, 0},
        {kUtf8, {0x80}, -1},                         // stray continuation byte
        {kUtf8, {0xC3, 0x41}, -1},                   // missing continuation byte
        {kUtf8, {0xE2, 0x41, 0x42}, -2},             // two missing: the count still drops
        {kUtf8, {0xE2, 0x82}, -1},                   // ends inside a sequence: Finish costs one
        {kUtf8, {0xC3, 0xA9, 0xA9}, -1},             // one continuation too many
        {kUtf8, {0xF8, 0x80, 0x80, 0x80, 0x80}, 0},  // a 5-byte lead is counted like any other
        {kUtf8, {0xE9, 0x74, 0xE9}, -2},  // Latin-1 "été": the second E9 is a missed continuation
        {kUcs2, {0xFF, 0xFE, 0x41, 0x00}, 1},
        {kUcs2, {0xFE, 0xFF, 0x00, 0x41}, 1},
        {kUcs2, {0x41, 0x00, 0x42, 0x00}, kLowest},
        {kUcs2, {0xFF}, kLowest},              // too short to tell
        {kUcs2, {0x00, 0xFF, 0xFE}, kLowest},  // a mark later does not count
        {kUtf32, {0xFF, 0xFE, 0x00, 0x00, 0x41, 0, 0, 0}, 1},
        {kUtf32, {0x00, 0x00, 0xFE, 0xFF}, 1},
        {kUtf32, {0xFF, 0xFE, 0x41, 0x00}, kLowest},  // UCS-2's mark
        {kUtf32, {0xFF, 0xFE, 0x00}, kLowest},
    };
    for (auto const & c : cases) {
        for (std::size_t chunk = 1; chunk <= c.bytes.size(); ++chunk) {
            EXPECT_EQ(c.rating, Rate(*Make(c.kind), c.bytes, chunk))
                << c.kind << ": " << ::testing::PrintToString(c.bytes) << " in windows of "
                << chunk;
        }
    }
}

TEST(UTF8Detector, PendingCountSurvivesWindows) {
    UTF8Detector detector(CharEncoding::UTF8());
    EXPECT_EQ(0, detector.GetTieBreaker());
    std::vector<unsigned char> const bytes = {0xF0, 0x9F, 0x98, 0x80};
    detector.Examine(bytes.data(), bytes.data(), bytes.data() + 2);
    EXPECT_EQ(2, detector.Pending());
    detector.Examine(bytes.data(), bytes.data() + 2, bytes.data() + 4);
    EXPECT_EQ(0, detector.Pending());
    EXPECT_EQ(0, detector.GetRating());
}

}  // namespace

// The CJK language scorers: table sizes by level, the penalties of the
// n-gram tables, and scoring from several threads at once.
namespace {

template <class Collection>
unsigned int CountAt(unsigned char level) {
    Collection collection;
    collection.SetLevel(level);
    unsigned int handed_out = 0;
    while (collection.Next() != nullptr)
        ++handed_out;
    EXPECT_EQ(handed_out, collection.Count());
    return handed_out;
}

TEST(DetectNGramCollection, LevelSelectsTheFirstEntries) {
    // Level 100 (or above) takes them all, 50 half, 0 none.
    for (unsigned char level : {0, 50, 100, 250}) {
        unsigned int const share = level >= 100 ? 2 : level / 50;
        EXPECT_EQ(CountAt<DetectChineseNGramCollection>(level), 5u * share) << +level;
        EXPECT_EQ(CountAt<DetectJapaneseNGramCollection>(level), 12u * share) << +level;
        EXPECT_EQ(CountAt<DetectKoreanNGramCollection>(level), 9u * share) << +level;
    }
}

struct ScoreCase {
    char const * what;
    LanguageDetector * scorer;
    std::vector<unsigned int> text;
    unsigned char level;
    int penalty;
};

ChineseDetector gChinese;
JapaneseDetector gJapanese;
KoreanDetector gKorean;

std::vector<ScoreCase> const kScoreCases = {
    {"Han then small ya", &gJapanese, {0x4E00, 0x3083}, 100, -2},
    {"three halfwidth katakana", &gJapanese, {0xFF71, 0xFF72, 0xFF73}, 100, -3},
    {"small kana is past level 50", &gJapanese, {0x4E00, 0x3083}, 50, 0},
    {"Han, root sign, kana", &gJapanese, {0x4E00, 0x221A, 0x3042}, 100, -2},
    {"C1 control at any position", &gJapanese, {0x41, 0x85, 0x41, 0x9F}, 100, -2},
    {"plain Japanese", &gJapanese, {0x65E5, 0x672C, 0x8A9E, 0x3067, 0x3059}, 100, 0},
    {"Han then math at the end", &gChinese, {0x4E00, 0x2200}, 100, -1},
    {"Han, math, Han", &gChinese, {0x4E00, 0x2200, 0x4E00}, 100, -1},
    {"Han then Cyrillic then Han", &gChinese, {0x4E00, 0x0410, 0x4E00}, 100, -2},
    {"Han then box drawing then Han", &gChinese, {0x4E00, 0x2500, 0x4E00}, 100, -1},
    {"box drawing is past level 50", &gChinese, {0x4E00, 0x2500, 0x4E00}, 50, 0},
    {"one code point is never scored", &gChinese, {0x85}, 100, 0},
    {"level 0 scores nothing", &gChinese, {0x85, 0x85}, 0, 0},
    {"Hangul then kana", &gKorean, {0xAC00, 0x3042}, 100, -1},
    {"compatibility Han, Cyrillic, Hangul", &gKorean, {0xF900, 0x0410, 0xAC00}, 100, -2},
    {"Han, circled number, Hangul", &gKorean, {0x4E00, 0x2460, 0xAC00}, 100, -1},
    {"plain Korean", &gKorean, {0xD55C, 0xAD6D, 0xC5B4}, 100, 0},
};

TEST(LanguageDetector, MatcherCountsOverlappingMatches) {
    DetectJapaneseNGramCollection collection;
    int tie_breaker = 0;
    std::vector<unsigned int> const text = {0xFF71, 0x4E00, 0x3083, 0xFF71};
    EXPECT_EQ(MatchNGrams(collection, tie_breaker, text.data(), 4, 100), 3);
    EXPECT_EQ(tie_breaker, -4);
    EXPECT_EQ(collection.Level(), 100);
}

// Each call has its own level and cursor: threads scoring at different
// levels at once get the answers of one thread.
TEST(LanguageDetector, PenalisesImplausibleSequencesAlsoFromSeveralThreadsAtOnce) {
    for (ScoreCase const & c : kScoreCases) {
        int tie_breaker = 7;
        int const returned = c.scorer->Score(tie_breaker, c.text.data(),
                                             static_cast<unsigned int>(c.text.size()), c.level);
        EXPECT_EQ(tie_breaker, 7 + c.penalty) << c.what;
        EXPECT_EQ(returned, tie_breaker) << c.what;
    }
    std::vector<int> failures(6, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 300; ++round) {
                for (ScoreCase const & c : kScoreCases) {
                    // Odd threads also score at level 0 in between.
                    int tie_breaker = 0;
                    if (t % 2 == 1) {
                        c.scorer->Score(tie_breaker, c.text.data(),
                                        static_cast<unsigned int>(c.text.size()), 0);
                    }
                    c.scorer->Score(tie_breaker, c.text.data(),
                                    static_cast<unsigned int>(c.text.size()), c.level);
                    if (tie_breaker != c.penalty)
                        ++failures[t];
                }
            }
        });
    }
    for (std::thread & thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(6, 0));
}

}  // namespace

// The auto-detecting encodings end to end: candidate lists, decisions and
// decoding through converter sources, sinks and buffer converters, bad
// input and diagnostics (tests/stress detects from several threads at once).
namespace {

using U32 = std::vector<unsigned int>;
using Bytes = std::string;

U32 FromUTF8(char const * text) {
    BufferCharSource bytes(text, text + std::strlen(text));
    Char32EncodingConverter converter(bytes, CharEncoding::UTF8(), Char32Encoding::UTF32());
    return zuuc_test::utf8::ReadAll32(converter);
}

Bytes Encode(U32 const & text, CharEncoding const & encoding) {
    Char32ToCharBufferConverter converter;
    EXPECT_TRUE(converter.Initialize(Char32Encoding::UTF32(), encoding)) << encoding.Name();
    Bytes out(text.size() * 8 + 16, '\0');
    unsigned int const * in = text.data();
    char * o = &out[0];
    EXPECT_EQ(converter.Convert(in, text.data() + text.size(), o, out.data() + out.size(), true),
              kBufferConverterComplete);
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

struct Decoded {
    U32 text;
    std::string encoding;
    int rating;
};

Decoded DecodeWithSource(CharEncoding const & detecting, Bytes const & bytes, std::size_t window,
                         UnicodeLibBehavior * behavior = nullptr) {
    zuuc_test::utf8::ChunkedCharSource source(std::vector<char>(bytes.begin(), bytes.end()),
                                              window);
    Char32EncodingConverter converter(source, detecting, Char32Encoding::UTF32());
    if (behavior != nullptr)
        converter.SetBehavior(behavior);
    Decoded result;
    result.text = zuuc_test::utf8::ReadAll32(converter);
    result.encoding = converter.ActualInputEncoding().Name();
    result.rating = converter.ActualRating();
    return result;
}

U32 DecodeWithSink(CharEncoding const & detecting, Bytes const & bytes, std::size_t piece) {
    zuuc_test::utf8::VectorChar32Sink collector;
    {
        CharEncodingConverterSink sink(detecting, Char32Encoding::UTF32(), collector);
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            sink.Put(bytes.data() + at, bytes.data() + std::min(bytes.size(), at + piece));
        }
        sink.Flush();
    }
    return collector.units;
}

// Through a buffer converter, with input in pieces and little output room.
std::vector<unsigned short> DecodeWithBufferConverter(CharEncoding const & detecting,
                                                      Bytes const & bytes, std::size_t piece,
                                                      std::size_t room) {
    CharToChar16BufferConverter converter;
    EXPECT_TRUE(converter.Initialize(detecting, Char16Encoding::UTF16()));
    std::vector<unsigned short> out;
    std::vector<unsigned short> buffer(room);
    char const * in = bytes.data();
    char const * const end = bytes.data() + bytes.size();
    for (;;) {
        char const * const stop = std::min(end, in + piece);
        bool const final = stop == end;
        unsigned short * o = buffer.data();
        BufferConverterResult const r =
            converter.Convert(in, stop, o, buffer.data() + buffer.size(), final);
        out.insert(out.end(), buffer.data(), o);
        if (r == kBufferConverterComplete || r == kBufferConverterCompleteWithSubstitutions)
            break;
        EXPECT_TRUE(r == kBufferConverterOutputFull || r == kBufferConverterInputConsumed) << r;
        if (r != kBufferConverterOutputFull && r != kBufferConverterInputConsumed)
            break;
    }
    return out;
}

char const kJapanese[] =
    "日本語の文章です。文字コードを自動的に判定し、正しく変換できるか確かめます。"
    "ファイルの先頭から読み進めて、候補を一つに絞ります。";
char const kSimplified[] = "这是一个简体中文的测试文本，用于检测编码是否能够被正确地识别出来。";
char const kTraditional[] = "這是一個繁體中文的測試文字，用於檢查編碼是否能夠被正確地識別出來。";
char const kKorean[] =
    "이것은 한국어 문장입니다. 인코딩을 자동으로 감지하고 올바르게 변환하는지 확인합니다.";

// A capture-free function that returns the encoding.
#define ZUUC_ENC(name) []() -> CharEncoding & { return CharEncoding::name(); }

struct Case {
    CharEncoding & (*detecting)();
    char const * text;
    CharEncoding & (*encoding)();
    char const * chosen;  // the name of the encoding that must be chosen
};

std::ostream & operator<<(std::ostream & os, Case const & c) {
    return os << c.detecting().Name() << " / " << c.encoding().Name();
}

Case const kCases[] = {
    {ZUUC_ENC(JapaneseAutoDetect), kJapanese, ZUUC_ENC(ShiftJISMS), "Shift-JIS"},
    {ZUUC_ENC(JapaneseAutoDetect), kJapanese, ZUUC_ENC(EUCPkdFmtJapanese), "EUC-JP"},
    {ZUUC_ENC(JapaneseAutoDetect), kJapanese, ZUUC_ENC(ISO2022JP), "ISO-2022-JP"},
    {ZUUC_ENC(JapaneseAutoDetect), kJapanese, ZUUC_ENC(Unicode20UTF8), nullptr},
    {ZUUC_ENC(JapaneseAutoDetect), kJapanese, ZUUC_ENC(Unicode20ByteStream), nullptr},
    {ZUUC_ENC(ChineseAutoDetect), kSimplified, ZUUC_ENC(GB2312), nullptr},
    {ZUUC_ENC(ChineseAutoDetect), kSimplified, ZUUC_ENC(HZGB2312), nullptr},
    {ZUUC_ENC(ChineseAutoDetect), kTraditional, ZUUC_ENC(Big5), nullptr},
    {ZUUC_ENC(ChineseAutoDetect), kSimplified, ZUUC_ENC(Unicode20UTF8), nullptr},
    {ZUUC_ENC(KoreanAutoDetect), kKorean, ZUUC_ENC(EUCKR), nullptr},
    {ZUUC_ENC(KoreanAutoDetect), kKorean, ZUUC_ENC(ISO2022KR), nullptr},
    {ZUUC_ENC(KoreanAutoDetect), kKorean, ZUUC_ENC(Unicode20UTF8), nullptr},
    {ZUUC_ENC(KoreanAutoDetect), kKorean, ZUUC_ENC(Unicode20ByteStream), nullptr},
};

class Detection : public ::testing::TestWithParam<Case> {};

// Every way of decoding gives the text back whole (the bytes read ahead are
// decoded once), whatever the window, piece and output sizes.
TEST_P(Detection, DecodesTheTextThroughSourcesSinksAndBufferConverters) {
    Case const & c = GetParam();
    U32 const text = FromUTF8(c.text);
    Bytes const bytes = Encode(text, c.encoding());
    for (std::size_t window : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        Decoded const decoded = DecodeWithSource(c.detecting(), bytes, window);
        EXPECT_EQ(decoded.text, text) << "window " << window;
        if (c.chosen != nullptr) {
            EXPECT_STREQ(decoded.encoding.c_str(), c.chosen);
        }
        EXPECT_NE(decoded.rating, ToUnicodeSource::kNotRated);
    }
    for (std::size_t piece : {std::size_t{3}, bytes.size()}) {
        EXPECT_EQ(DecodeWithSink(c.detecting(), bytes, piece), text) << "piece " << piece;
        EXPECT_EQ(DecodeWithBufferConverter(c.detecting(), bytes, piece, 5), ToUTF16(text))
            << "piece " << piece;
    }
}

INSTANTIATE_TEST_SUITE_P(AutoDetect, Detection, ::testing::ValuesIn(kCases));

// UTF-32 with a byte-order mark: big-endian stands alone; little-endian
// starts with the UTF-16 mark too, the two rate alike and the earlier
// candidate, UTF-16, is taken.
TEST(AutoDetectEncoding, UTF32MarksAgainstUTF16Marks) {
    Bytes big("\x00\x00\xFE\xFF\x00\x00\x4E\x2D\x00\x00\x65\x87", 12);
    Decoded const decoded = DecodeWithSource(CharEncoding::ChineseAutoDetect(), big, 4096);
    EXPECT_EQ(decoded.text, (U32{0x4E2D, 0x6587}));
    EXPECT_STREQ(decoded.encoding.c_str(), CharEncoding::UTF32ByteStream().Name());
    Bytes little("\xFF\xFE\x00\x00\x2D\x4E\x00\x00", 8);
    EXPECT_STREQ(DecodeWithSource(CharEncoding::ChineseAutoDetect(), little, 4096).encoding.c_str(),
                 CharEncoding::Unicode20ByteStream().Name());
}

// The candidates in the order that settles ties; an auto-detecting encoding
// only reads, through the converters that choose among them.
TEST(AutoDetectEncoding, CandidatesInOrderAndNoConvertersOfItsOwn) {
    CharEncoding * const utf8 = &CharEncoding::Unicode20UTF8();
    CharEncoding * const ucs2 = &CharEncoding::Unicode20ByteStream();
    std::pair<CharEncoding *, std::vector<CharEncoding *>> const expected[] = {
        {CharEncoding::Lookup("csChineseAutoDetect"),
         {&CharEncoding::HZGB2312(), &CharEncoding::GB2312(), &CharEncoding::Big5(),
          &CharEncoding::GB18030(), utf8, ucs2, &CharEncoding::UTF32ByteStream()}},
        {CharEncoding::Lookup(TextEncodingID(28)),
         {&CharEncoding::ShiftJISMS(), &CharEncoding::EUCPkdFmtJapanese(),
          &CharEncoding::EUCJPJISRoman(), &CharEncoding::ISO2022JP(), utf8, ucs2}},
        {&CharEncoding::KoreanAutoDetect(),
         {&CharEncoding::ISO2022KR(), &CharEncoding::EUCKR(), &CharEncoding::CP949(), utf8, ucs2}},
    };
    char arena_bytes[256];
    LinearAllocator arena(arena_bytes, sizeof arena_bytes, "test", 0);
    for (auto const & [encoding, candidates] : expected) {
        ASSERT_NE(encoding, nullptr);
        ASSERT_EQ(encoding->CountCandidateEncodings(), candidates.size());
        for (unsigned int i = 0; i < candidates.size(); ++i) {
            EXPECT_EQ(encoding->GetCandidateEncoding(i), candidates[i]) << encoding->Name() << i;
        }
        EXPECT_EQ(encoding->GetCandidateEncoding(99), nullptr);
        EXPECT_TRUE(encoding->IsValidForInput() && !encoding->IsValidForOutput());
        EXPECT_EQ(encoding->CreateEncodingDetector(arena), nullptr);
        EXPECT_EQ(encoding->CreateConverterToUTF32(arena), nullptr);
        EXPECT_EQ(encoding->CreateConverterFromUTF16(arena), nullptr);
    }
}

// An encoding with more candidates than the chooser takes: the list grows
// and keeps its order; the chooser uses the first eight.
class ManyCandidates : public AutoDetectEncoding {
public:
    ManyCandidates() : AutoDetectEncoding(TextEncodingID(0), names_) {
        for (int i = 0; i < 12; ++i)
            AddCandidate(i % 2 == 0 ? CharEncoding::ShiftJISMS() : CharEncoding::EUCKR());
    }

private:
    static char const * names_[];
};
char const * ManyCandidates::names_[] = {"ManyCandidates", nullptr};

TEST(AutoDetectEncoding, GrowsItsCandidateListAndChoosesAmongEight) {
    ManyCandidates many;
    ASSERT_EQ(many.CountCandidateEncodings(), 12u);
    EXPECT_EQ(many.GetCandidateEncoding(11), &CharEncoding::EUCKR());
    Bytes const bytes = Encode(FromUTF8(kKorean), CharEncoding::EUCKR());
    Decoded const decoded = DecodeWithSource(many, bytes, 4096);
    EXPECT_EQ(decoded.text, FromUTF8(kKorean));
    EXPECT_STREQ(decoded.encoding.c_str(), CharEncoding::EUCKR().Name());
}

// Bad input gets a decision and a decoding from every path; ASCII comes back
// whole however long it is.
TEST(AutoDetectEncoding, BadInputIsDecidedAndDecoded) {
    Bytes noise;
    unsigned int seed = 12345;
    for (int i = 0; i < 5000; ++i) {
        seed = seed * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(seed >> 24));
    }
    Bytes ascii;
    for (int i = 0; ascii.size() < 200000; ++i)
        ascii += "plain ASCII line " + std::to_string(i) + "\n";
    Bytes const sjis = Encode(FromUTF8(kJapanese), CharEncoding::ShiftJISMS());
    Bytes const truncated = sjis.substr(0, sjis.size() - 1);  // ends inside a character
    struct Input {
        char const * what;
        Bytes bytes;
        char const * chosen;
    } const inputs[] = {
        {"empty", "", "Shift-JIS"},
        {"ascii", ascii, "Shift-JIS"},
        {"lone UTF-16 mark", "\xFF\xFE", nullptr},
        {"lone UTF-8 mark", "\xEF\xBB\xBF", nullptr},
        {"truncated", truncated, "Shift-JIS"},
        {"noise", noise, nullptr},
    };
    for (Input const & input : inputs) {
        SCOPED_TRACE(input.what);
        for (CharEncoding * detecting :
             {&CharEncoding::JapaneseAutoDetect(), &CharEncoding::ChineseAutoDetect(),
              &CharEncoding::KoreanAutoDetect()}) {
            Decoded const decoded = DecodeWithSource(*detecting, input.bytes, 4096);
            EXPECT_FALSE(decoded.encoding.empty());
            if (input.chosen != nullptr && detecting == &CharEncoding::JapaneseAutoDetect()) {
                EXPECT_STREQ(decoded.encoding.c_str(), input.chosen);
            }
            U32 const by_sink = DecodeWithSink(*detecting, input.bytes, 1000);
            EXPECT_EQ(by_sink, decoded.text);
            EXPECT_EQ(DecodeWithBufferConverter(*detecting, input.bytes, 1000, 333),
                      ToUTF16(decoded.text));
        }
    }
    U32 const ascii_text = DecodeWithSource(CharEncoding::KoreanAutoDetect(), ascii, 4096).text;
    EXPECT_EQ(ascii_text, U32(ascii.begin(), ascii.end()));
    U32 const cut = DecodeWithSource(CharEncoding::JapaneseAutoDetect(), truncated, 4096).text;
    U32 expected = FromUTF8(kJapanese);
    expected.back() = 0xFFFD;  // the cut character is reported once
    EXPECT_EQ(cut, expected);
}

// A text short enough to be decided only when the input ends is decoded
// from what was read ahead while finishing: a problem found there is
// counted, and the unit after it is not lost whatever the output room.
TEST(AutoDetectEncoding, ProblemsFoundWhileFinishingAreCountedAndNothingFollowingIsLost) {
    Bytes const bytes("\xFF\xFE\xFF\xCF\xD9\xD4\x2E\xD9\xD4\x2E", 10);  // lone high surrogate
    U32 const expected = {0xCFFF, 0xD4D9, 0xFFFD, 0x2ED4};
    for (std::size_t piece : {10, 8, 3})
        for (std::size_t room : {1, 2, 64}) {
            SCOPED_TRACE(testing::Message() << "piece " << piece << ", room " << room);
            CharToChar32BufferConverter converter;
            ASSERT_TRUE(
                converter.Initialize(CharEncoding::ChineseAutoDetect(), Char32Encoding::UTF32()));
            U32 out;
            std::vector<unsigned int> buffer(room);
            char const * in = bytes.data();
            BufferConverterResult r = kBufferConverterOutputFull;
            for (int calls = 0; calls < 50 && r > kBufferConverterCompleteWithSubstitutions;
                 ++calls) {
                char const * const stop = std::min(bytes.data() + bytes.size(), in + piece);
                unsigned int * o = buffer.data();
                r = converter.Convert(in, stop, o, o + room, stop == bytes.data() + bytes.size());
                out.insert(out.end(), buffer.data(), o);
            }
            EXPECT_EQ(out, expected);
            EXPECT_EQ(r, kBufferConverterCompleteWithSubstitutions);
            EXPECT_EQ(converter.Substitutions(), 1u);
        }
}

TEST(AutoDetectEncoding, DiagnosticsFollowTheBehaviour) {
    UnicodeLibBehavior behavior(false);
    behavior.SetDisplayAutoDetectMessages(true);
    Bytes const sjis = Encode(FromUTF8(kJapanese), CharEncoding::ShiftJISMS());
    ::testing::internal::CaptureStderr();
    DecodeWithSource(CharEncoding::JapaneseAutoDetect(), sjis, 4096, &behavior);
    std::string const chose = ::testing::internal::GetCapturedStderr();
    // Shorter than one 1024-byte slice: decided when the input ends.
    EXPECT_EQ(chose.rfind("Chose encoding Shift-JIS\n  " + std::to_string(sjis.size()) +
                              " bytes examined\n      Shift-JIS:           0,",
                          0),
              0u)
        << chose;

    ::testing::internal::CaptureStderr();
    DecodeWithSource(CharEncoding::JapaneseAutoDetect(), "", 4096, &behavior);
    std::string const assumed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(assumed.rfind("Assuming encoding Shift-JIS\n  0 bytes examined\n"
                            "      Shift-JIS:           0,           0 tie-breaker\n",
                            0),
              0u)
        << assumed;

    ::testing::internal::CaptureStderr();
    DecodeWithSource(CharEncoding::JapaneseAutoDetect(), sjis, 4096);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

// The decision falls on the first kilobyte of a large window; the rest of
// the window goes to the chosen decoder after the bytes read ahead.
TEST(AutoDetectEncoding, DecidesInsideALargeWindow) {
    U32 text;
    for (int i = 0; i < 60; ++i) {
        U32 const piece = FromUTF8(i % 2 == 0 ? kJapanese : "ASCII between the sentences. ");
        text.insert(text.end(), piece.begin(), piece.end());
    }
    Bytes const bytes = Encode(text, CharEncoding::EUCPkdFmtJapanese());
    ASSERT_GT(bytes.size(), 4000u);
    EXPECT_EQ(DecodeWithSource(CharEncoding::JapaneseAutoDetect(), bytes, bytes.size()).text, text);
    EXPECT_EQ(DecodeWithSink(CharEncoding::JapaneseAutoDetect(), bytes, bytes.size()), text);
    EXPECT_EQ(
        DecodeWithBufferConverter(CharEncoding::JapaneseAutoDetect(), bytes, bytes.size(), 700),
        ToUTF16(text));
    Bytes const sjis = Encode(text, CharEncoding::ShiftJISMS());
    EXPECT_EQ(DecodeWithSource(CharEncoding::JapaneseAutoDetect(), sjis, 5000).text, text);
    EXPECT_EQ(DecodeWithBufferConverter(CharEncoding::JapaneseAutoDetect(), sjis, 3000, 700),
              ToUTF16(text));
}

// Four halfwidth katakana in Shift_JIS are also two kanji in EUC-JP: the
// ratings tie, and at the default level the Japanese scorer's penalty on
// halfwidth katakana decides; at level 0 nothing is scored and the first
// candidate stays.
TEST(AutoDetectEncoding, TieBreakLevelComesFromTheBehaviour) {
    Bytes const bytes = "\xB1\xB2\xB3\xB4";
    UnicodeLibBehavior behavior(false);
    EXPECT_EQ(DecodeWithSource(CharEncoding::JapaneseAutoDetect(), bytes, 4096, &behavior).encoding,
              "EUC-JP");
    behavior.SetAutoDetectTieBreakLevel(0);
    Decoded const plain =
        DecodeWithSource(CharEncoding::JapaneseAutoDetect(), bytes, 4096, &behavior);
    EXPECT_EQ(plain.encoding, "Shift-JIS");
    EXPECT_EQ(plain.text, (U32{0xFF71, 0xFF72, 0xFF73, 0xFF74}));
}

}  // namespace
