// Chunk invariance for every byte encoding in the registry (catalogue and
// Unicode byte forms): the characters that encode to bytes which decode back
// to them form a random text; that text encoded whole and encoded in random
// chunks into random output windows (buffer converters, converter sources,
// converter sinks) gives the same bytes, and those bytes decoded whole and in
// chunks give the text back.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "../../fuzz/fuzz_conversion.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/modal_encoding.h"

namespace {

using Text = std::vector<unsigned int>;
using Bytes = std::vector<char>;

// A sample that keeps the test short: U+0000..U+02FF whole, every 13th
// code point of the rest of the BMP and every 997th above it (the fuzz
// targets range over all of them).
Text Candidates() {
    Text all;
    for (unsigned int c = 0; c < 0x110000; c += c < 0x300 ? 1 : c < 0x10000 ? 13 : 997) {
        if (c < 0xD800 || c > 0xDFFF)
            all.push_back(c);
    }
    return all;
}

// The candidates that encode without substitution, one at a time, to bytes
// that decode to the same single character.
Text MappedBothWays(CharEncoding const & encoding) {
    static Text const candidates = Candidates();
    Char32ToCharBufferConverter encoder;
    CharToChar32BufferConverter decoder;
    EXPECT_TRUE(encoder.Initialize(Char32Encoding::UTF32(), encoding));
    EXPECT_TRUE(decoder.Initialize(encoding, Char32Encoding::UTF32()));
    Text mapped;
    for (unsigned int c : candidates) {
        char bytes[32];
        unsigned int const * in = &c;
        char * out = bytes;
        encoder.Reset();
        if (encoder.Convert(in, in + 1, out, bytes + sizeof bytes, true) !=
            kBufferConverterComplete)
            continue;
        unsigned int back[4];
        char const * from = bytes;
        unsigned int * to = back;
        decoder.Reset();
        if (decoder.Convert(from, out, to, back + 4, true) == kBufferConverterComplete &&
            to == back + 1 && back[0] == c) {
            mapped.push_back(c);
        }
    }
    return mapped;
}

class ChunkInvariance : public ::testing::TestWithParam<std::string> {};

TEST_P(ChunkInvariance, ChunkedEqualsWholeBothWays) {
    auto const * encoding =
        dynamic_cast<CharEncoding const *>(TextEncoding::Lookup(GetParam().c_str(), 1));
    ASSERT_NE(encoding, nullptr);
    Text const mapped = MappedBothWays(*encoding);
    ASSERT_GE(mapped.size(), 8u) << "too few characters map both ways";
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string>()(GetParam())));
    Text text(600);
    for (unsigned int & c : text)
        c = mapped[random() % mapped.size()];
    Char32Encoding const & utf32 = Char32Encoding::UTF32();

    for (std::uint32_t seed : {1u, 7u, 4242u}) {
        fuzz::Schedule a(seed), b(seed), c(seed), d(seed), e(seed), f(seed);
        // Encoding: whole, then each of the three paths chunked.
        auto const whole = fuzz::ConvertBuffered<Char32ToCharBufferConverter, unsigned int, char>(
            utf32, *encoding, text, nullptr);
        ASSERT_EQ(whole.result, kBufferConverterComplete);
        Bytes const & bytes = whole.text;
        // The same bytes, except that a modal encoding may return to its
        // initial mode at every full output window: then the same text.
        bool const modal = dynamic_cast<ModalEncoding const *>(encoding) != nullptr;
        auto same = [&](Bytes const & chunked, char const * path) {
            if (!modal) {
                EXPECT_EQ(chunked, bytes) << path;
                return;
            }
            EXPECT_EQ((fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                           *encoding, utf32, chunked, nullptr)
                           .text),
                      text)
                << path;
        };
        same(fuzz::ConvertBuffered<Char32ToCharBufferConverter, unsigned int, char>(
                 utf32, *encoding, text, &a)
                 .text,
             "buffer converter");
        fuzz::ChunkSource<Char32Source, unsigned int> in(text, &b);
        CharEncodingConverter source(in, utf32, *encoding);
        same(fuzz::Drain<CharEncodingConverter, char>(source, &b), "converter source");
        fuzz::RecordingSink<CharSink, char> sunk;
        {
            Char32EncodingConverterSink sink(utf32, *encoding, sunk);
            fuzz::PutAll(sink, text, &c);
        }
        same(sunk.text, "converter sink");

        // Decoding the bytes: whole and chunked, the text comes back.
        Text const back = fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                              *encoding, utf32, bytes, nullptr)
                              .text;
        EXPECT_EQ(back, text);
        EXPECT_EQ((fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                       *encoding, utf32, bytes, &d)
                       .text),
                  back);
        fuzz::ChunkSource<CharSource, char> raw(bytes, &e);
        Char32EncodingConverter decoding(raw, *encoding, utf32);
        EXPECT_EQ((fuzz::Drain<Char32EncodingConverter, unsigned int>(decoding, &e)), back);
        fuzz::RecordingSink<Char32Sink, unsigned int> decoded;
        {
            CharEncodingConverterSink sink(*encoding, utf32, decoded);
            fuzz::PutAll(sink, bytes, &f);
        }
        EXPECT_EQ(decoded.text, back);
    }
}

// Inputs the fuzz targets found, each with the chunk sizes (sources) or
// output windows (buffer converters) that once changed the result.
struct Finding {
    char const * encoding;
    char const * bytes;
    std::vector<std::size_t> sizes;
    int mode;  // 0: sizes are source chunks; 1: buffer converter output windows, the last call
               // final; 2: the same with every call final
};

class ChunkFinding : public ::testing::TestWithParam<Finding> {};

// Hands out the bytes in chunks of the given sizes (the rest as one chunk).
class SizedSource : public CharSource {
public:
    SizedSource(std::string const & bytes, std::vector<std::size_t> const & sizes)
        : bytes_(bytes), sizes_(sizes) {}

protected:
    bool FillBuffer() override {
        if (at_ >= bytes_.size())
            return false;
        std::size_t n = bytes_.size() - at_;
        if (next_ < sizes_.size())
            n = std::min(n, sizes_[next_++]);
        scratch_ = bytes_.substr(at_, n);
        at_ += n;
        SetWindow(scratch_.data(), scratch_.data() + n);
        return true;
    }

private:
    std::string bytes_;
    std::vector<std::size_t> sizes_;
    std::size_t at_ = 0, next_ = 0;
    std::string scratch_;
};

TEST_P(ChunkFinding, ChunkedEqualsWhole) {
    Finding const & finding = GetParam();
    CharEncoding const * encoding = CharEncoding::Lookup(finding.encoding);
    ASSERT_NE(encoding, nullptr);
    std::string const bytes = finding.bytes;
    Bytes const input(bytes.begin(), bytes.end());
    Text const whole = fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                           *encoding, Char32Encoding::UTF32(), input, nullptr)
                           .text;
    Text chunked;
    if (finding.mode != 0) {
        CharToChar32BufferConverter converter;
        ASSERT_TRUE(converter.Initialize(*encoding, Char32Encoding::UTF32()));
        char const * in = input.data();
        std::size_t call = 0;
        for (int result = kBufferConverterOutputFull; result > 1;) {
            std::size_t const room = call < finding.sizes.size() ? finding.sizes[call] : 64;
            ++call;
            Text window(room);
            unsigned int * out = window.data();
            result = converter.Convert(in, input.data() + input.size(), out, window.data() + room,
                                       finding.mode == 2 || call > finding.sizes.size());
            ASSERT_LT(result, kBufferConverterNotInitialized);
            chunked.insert(chunked.end(), window.data(), out);
        }
    } else {
        SizedSource source(bytes, finding.sizes);
        Char32EncodingConverter converter(source, *encoding, Char32Encoding::UTF32());
        chunked = fuzz::Drain<Char32EncodingConverter, unsigned int>(converter, nullptr);
    }
    EXPECT_EQ(chunked, whole);
}

INSTANTIATE_TEST_SUITE_P(
    FoundByFuzzing, ChunkFinding,
    ::testing::Values(
        // A problem at a window start after a stalled one skipped the next byte.
        Finding{"CP10001", "\xA2\xE6 \xEC\xED\xDC\xE2\xE5\xDE \xAA", {2, 2}, 0},
        Finding{"CP10001", "\xA2\xE6 \xEC\xED\xDC\xE2\xE5\xDE \xAA", {4, 1}, 0},
        // GB18030 dropped the bytes it kept after a problem at the end.
        Finding{"GB18030", "\x93\x30\x6B", {2}, 0}, Finding{"GB18030", "0\x93\x30\x6B", {3}, 0},
        // A byte-order mark cut into single bytes is dropped whole.
        Finding{"Unicode20:BOM:UTF8",
                "\xEF\xBB\xBF"
                "A\xC3\xA9\x80"
                "B",
                {1, 1, 1, 1, 1, 1},
                0},
        // A nested composite kept units that the next call never wrote.
        Finding{"Unicode20:BOM:UTF8", "plain ASCII\r\nHi, caf\xC3\xA9", {3, 3, 1, 5, 1, 2}, 1},
        // Detection decided on a shorter prefix when the source handed out
        // small pieces (the NUL bytes later rule ISO-2022-JP out).
        Finding{"JapaneseAutoDetect",
                "\x1B$B$3$l$OF|K\\8l$NJ8>O$G$9!#%+%?%+%J$3$l$OF|K\\8l$NJ8>O$"
                "\x00\x00\x00\x00\x00\x00\x00G$9!#\x1B(B",
                {4, 4, 4, 4, 4, 4},
                0},
        // The detecting decoder lost a substitute owed when the output filled
        // while it finished.
        Finding{"KoreanAutoDetect",
                "\xE3\x82\xAB\xE3\x80\x40\x1C\x7D\xAB\xE3\x83\x8A\xE3\x81\x93\xE3\x82\x8C",
                {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1},
                2}));

// VIQR writes a backslash where the letter before would take the next byte
// (the round trip above once failed on 'a' then '('), from UTF-32 and from
// UTF-16, and reads it back.
TEST(ViqrEscape, BackslashWhereTheLetterBeforeWouldTakeTheByte) {
    CharEncoding const * viqr = CharEncoding::Lookup("VIQR");
    ASSERT_NE(viqr, nullptr);
    struct Case {
        std::u32string text;
        std::string bytes;
    };
    for (Case const & c : {Case{U"a(", "a\\("}, Case{U"\u0103", "a("}, Case{U"Hello.", "Hello\\."},
                           Case{U"dd", "d\\d"}, Case{U"d\u0111", "d\\dd"}, Case{U"\\(", "\\\\("},
                           Case{U"\\x\\", "\\x\\"}, Case{U"\u00E2'", "a^\\'"}}) {
        Text const text(c.text.begin(), c.text.end());
        std::vector<unsigned short> const units(c.text.begin(), c.text.end());
        Bytes const expected(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ((fuzz::ConvertBuffered<Char32ToCharBufferConverter, unsigned int, char>(
                       Char32Encoding::UTF32(), *viqr, text, nullptr)
                       .text),
                  expected)
            << c.bytes;
        EXPECT_EQ((fuzz::ConvertBuffered<Char16ToCharBufferConverter, unsigned short, char>(
                       Char16Encoding::UTF16(), *viqr, units, nullptr)
                       .text),
                  expected)
            << c.bytes;
        EXPECT_EQ((fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                       *viqr, Char32Encoding::UTF32(), expected, nullptr)
                       .text),
                  text)
            << c.bytes;
    }
}

// A composite holds the problems of its second stage and reports them one
// per call without moving on in its input, also while finishing. Converter
// sources and sinks once took a finishing call that reported one (and
// raised none: code points above U+10FFFF have no problem class here) for
// the end, and the second such report in a row for a stuck transcoder, and
// lost the text after it.
TEST(SourceFinding, GoesOnAfterProblemsItsTranscoderHolds) {
    unsigned int const X = 0xFFFFFF;
    Text const text = {'H', 'i', X, X, X, X, 0x7E9, 'c', X, 0, 'a', X, X, X, 'f'};
    Bytes const expected = {'\xEF', '\xBB', '\xBF', 'H', 'i', '\xDF', '\xA9', 'c', 0, 'a', 'f'};
    CharEncoding const & bom = CharEncoding::UTF8BOM();
    Char32Encoding const & utf32 = Char32Encoding::UTF32();
    for (std::uint32_t seed = 0; seed < 40; ++seed) {
        fuzz::Schedule a(seed), b(seed);
        fuzz::Schedule * const chunks = seed == 0 ? nullptr : &a;
        fuzz::ChunkSource<Char32Source, unsigned int> in(text, chunks);
        CharEncodingConverter source(in, utf32, bom);
        EXPECT_EQ((fuzz::Drain<CharEncodingConverter, char>(source, chunks)), expected) << seed;
        fuzz::RecordingSink<CharSink, char> sunk;
        {
            Char32EncodingConverterSink sink(utf32, bom, sunk);
            fuzz::PutAll(sink, text, seed == 0 ? nullptr : &b);
        }
        EXPECT_EQ(sunk.text, expected) << seed;
    }
}

std::vector<std::string> EncodingNames() {
    std::vector<std::string> names;
    for (CharEncoding const * encoding : fuzz::ByteEncodings(false))
        names.emplace_back(encoding->Name());
    return names;
}

std::string TestName(::testing::TestParamInfo<std::string> const & info) {
    std::string name;
    for (char c : info.param)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(EveryByteEncoding, ChunkInvariance, ::testing::ValuesIn(EncodingNames()),
                         TestName);

}  // namespace
