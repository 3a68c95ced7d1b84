// UTF-7 and the Java escapes: the codecs' own cases, Python's utf_7 codec as
// an independent reference, and random round trips through sources, sinks
// and buffer converters with random chunking.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/sbcs_encoding.h"
#include "zuuc/utf7_encodings.h"

using namespace zuuc_test::utf16;
using zuuc_test::utf8::Drive;
using zuuc_test::utf8::ExpectSplitInvariant;
using zuuc_test::utf8::kProblem;

namespace {

struct Utf7Case {
    std::vector<unsigned int> text;
    char const * python;
    char const * ours;
};

#include "unicode_forms/utf7_python_cases.inc"

std::vector<char> Chars(std::string const & s) { return std::vector<char>(s.begin(), s.end()); }

std::vector<long> Longs(Units16 const & units) { return std::vector<long>(units.begin(), units.end()); }

Units16 Units(std::u16string const & s) { return Units16(s.begin(), s.end()); }

// Bytes as the decoder's expected output: units, with kProblem marks.
struct DecodeCase {
    std::string bytes;
    std::vector<long> expected;
};

// Units and the bytes an encoder writes for them.
struct EncodeCase {
    std::u16string text;
    std::string bytes;
};

std::string Encode(Transcoder<unsigned short, char> & t, Units16 const & units,
                   std::vector<std::size_t> const & cuts = {}, std::size_t room = 64) {
    std::string s;
    for (long v : Drive(t, units, cuts, room)) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

// --- UTF-7 --------------------------------------------------------------------------

TEST(UTF7Test, DecodesTheDocumentedCasesAtEverySplit) {
    long const P = kProblem;
    std::vector<DecodeCase> const cases = {
        {"+-", {'+'}},
        {"+AGE-", {'a'}},
        {"+AGEAYQ-", {'a', 'a'}},
        {"a+AGE.b", {'a', 'a', '.', 'b'}},      // implicit end of the run
        {"+AGE", {'a'}},                        // a run open at the end
        {"++", {P}},                            // ends without a unit
        {"+ x", {P, ' ', 'x'}},                 // the byte that ended the run still counts
        {"+-+ -", {'+', P, ' ', '-'}},
        {"+AGF-", {'a', P}},                    // leftover bits not zero
        {"a\xC3" "b", {'a', P, 'b'}},           // a byte above 0x7F
        {"+2D3eAA-", {0xD83D, 0xDE00}},
        {"+2D0-", {0xD83D}},                    // a lone high surrogate goes out alone
        {"+2D3YPQ-", {0xD83D, 0xD83D}},
    };
    for (DecodeCase const & c : cases) {
        UTF7toWhatever decoder;
        SCOPED_TRACE(c.bytes);
        ExpectSplitInvariant(decoder, Chars(c.bytes), c.expected);
    }
}

TEST(UTF7Test, EncodesTheDocumentedCases) {
    std::vector<EncodeCase> const cases = {
        // More in the Python table below.
        {u"\u00e9", "+AOk-"},
        {u"a b", "a b"},
        {u"!~", "+ACEAfg-"},
    };
    for (EncodeCase const & c : cases) {
        UTF7fromWhatever encoder(false, true);
        EXPECT_EQ(Encode(encoder, Units(c.text)), c.bytes);
    }
    // The wider direct set, and runs closed implicitly before a byte that
    // cannot be read as base64.
    UTF7fromWhatever wide(true, false);
    EXPECT_EQ(Encode(wide, Units(u"!\u00e9.\u00e9x")), "!+AOk.+AOk-x");
}

TEST(UTF7Test, AgreesWithPythonsCodec) {
    std::mt19937 rng(22);
    for (Utf7Case const & c : kUtf7Cases) {
        Units16 const units = ToUTF16(Units32(c.text.begin(), c.text.end()));
        std::string const python = c.python;
        std::vector<std::size_t> cuts;
        for (std::size_t at = 0; at < python.size();
             at += std::uniform_int_distribution<std::size_t>(1, 5)(rng)) {
            cuts.push_back(at);
        }
        UTF7toWhatever decoder;
        EXPECT_EQ(Drive(decoder, Chars(python), cuts, 3), Longs(units)) << python;
        UTF7fromWhatever encoder(false, true);
        EXPECT_EQ(Encode(encoder, units, {units.size() / 2}, 8), c.ours);
    }
}

TEST(UTF7Test, OutputFitsWholeOrWaits) {
    UTF7fromWhatever encoder(false, true);
    Units16 const units = {0xE9, 'x'};
    unsigned short const * in = units.data();
    char out[8];
    char * o = out;
    unsigned short const * const end = units.data() + 2;
    EXPECT_EQ(encoder.Transcode(in, end, o, out + 8, 3), kTranscodeLimitReached);
    EXPECT_EQ(std::string(out, o), "+AO");  // the rest of U+00E9 is held
    EXPECT_EQ(encoder.Mode(), 1u);
    EXPECT_EQ(encoder.Transcode(in, end, o, out + 8, -1), kTranscodeInputExhausted);
    EXPECT_EQ(std::string(out, o), "+AOk-x");
    EXPECT_EQ(encoder.Mode(), 0u);
}

// --- Java -----------------------------------------------------------------------------

TEST(JavaTest, DecodesTheDocumentedCasesAtEverySplit) {
    long const P = kProblem;
    std::vector<DecodeCase> const cases = {
        {"\\u0041B", {'A', 'B'}},
        {"\\u41x", {'A', 'x'}},
        {"\\q", {'q'}},
        {"\\\\", {'\\'}},
        {"\\b\\f\\n\\r\\t", {8, 12, 10, 13, 9}},
        {"\\ux", {'x'}},
        {"\\u41\\u0042", {'A', 'B'}},  // a short escape does not swallow the next one
        {"\\u\\n", {'\n'}},
        {"\xE9", {0xE9}},
        {"\\ud83d\\uDE00", {0xD83D, 0xDE00}},
        {"a\\u12", {'a', P}},          // an escape cut short by the end
        {"a\\", {'a', P}},
    };
    for (DecodeCase const & c : cases) {
        JavaEncodingVariant::ToUTF16 decoder;
        SCOPED_TRACE(c.bytes);
        ExpectSplitInvariant(decoder, Chars(c.bytes), c.expected);
    }
}

TEST(JavaTest, Encodes) {
    JavaEncodingVariant::FromUTF16 encoder;
    EXPECT_EQ(Encode(encoder, Units(u"\u00e9\b\t\f\n\r\\A~\u007f\U0001F600")),
              "\\u00E9\\b\\t\\f\n\r\\\\A~\\u007F\\uD83D\\uDE00");
    // A surrogate pair is written whole or waits.
    Units16 const pair = {0xD83D, 0xDE00};
    unsigned short const * in = pair.data();
    char out[16];
    char * o = out;
    EXPECT_EQ(encoder.Transcode(in, in + 2, o, out + 11, -1), kTranscodeOutputFull);
    EXPECT_EQ(o, out);
}

// --- through the encodings ------------------------------------------------------------

struct Form {
    char const * name;
    CharEncoding const * encoding;
};

std::vector<Form> Forms() {
    return {{"UTF-7", &CharEncoding::Unicode20UTF7()},
            {"UTF-16:Java", &CharEncoding::Unicode20Java()},
            {"UTF-16:BOM:UTF-7", CharEncoding::Lookup("UTF-16:BOM:UTF-7")},
            {"Unicode 1.1 UTF-7", &CharEncoding::Unicode11UTF7()},
            {"Unicode 1.1 Java", &CharEncoding::Unicode11Java()}};
}

// Unicode 1.1 has no surrogates, and its Hangul block is not that of 2.0:
// keep the text it carries unchanged.
Units32 Representable(Units32 text, bool unicode11) {
    if (unicode11) {
        for (u32 & c : text) {
            if (c > 0xFFFF || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x3400 && c <= 0x4DFF)) {
                c = 'x';
            }
        }
    }
    return text;
}

TEST(EscapeFormsTest, RandomTextRoundTripsThroughSourcesSinksAndBufferConverters) {
    std::mt19937 rng(2207);
    for (Form const & form : Forms()) {
        ASSERT_NE(form.encoding, nullptr) << form.name;
        bool const unicode11 = form.encoding->GetTextEncodingID().GetBaseEncodingID() == 1;
        for (int round = 0; round < 40; ++round) {
            Units32 text = Representable(RandomText(rng, round * 7 % 90), unicode11);
            text.push_back('+');
            text.insert(text.begin() + static_cast<long>(text.size() / 2), '\\');
            SCOPED_TRACE(std::string(form.name) + " round " + std::to_string(round));

            // UTF-32 -> form through a source, form -> UTF-32 through a sink.
            Unit32Source source(text, RandomPieces(rng, text.size(), 5));
            CharEncodingConverter encoder(source, Char32Encoding::UTF32(), *form.encoding);
            Bytes const bytes = Drain(encoder, &rng);
            StringChar32Sink target;
            {
                CharEncodingConverterSink decoder(*form.encoding, Char32Encoding::UTF32(), target);
                std::vector<char> const chars(bytes.begin(), bytes.end());
                std::size_t at = 0;
                for (std::size_t piece : RandomPieces(rng, chars.size(), 4)) {
                    decoder.Put(chars.data() + at, chars.data() + at + piece);
                    at += piece;
                }
            }
            EXPECT_EQ(UnitsOf(target), text);

            // The same bytes back to UTF-16 through a buffer converter, a few
            // bytes and a few units of room at a time.
            CharToChar16BufferConverter buffer;
            ASSERT_TRUE(buffer.Initialize(*form.encoding, Char16Encoding::UTF16()));
            Units16 units;
            std::vector<char> const chars(bytes.begin(), bytes.end());
            char const * in = chars.data();
            char const * const end = in + chars.size();
            for (BufferConverterResult r = kBufferConverterOutputFull;;) {
                char const * stop = in + std::min<long>(end - in, 3);
                unsigned short room[5];
                unsigned short * out = room;
                r = buffer.Convert(in, stop, out, room + 5, stop == end);
                units.insert(units.end(), room, out);
                if (stop == end && r != kBufferConverterOutputFull && in == end) {
                    break;
                }
            }
            EXPECT_EQ(units, ToUTF16(text));
            EXPECT_EQ(buffer.Substitutions(), 0u);
        }
    }
}

TEST(EscapeFormsTest, ASubstituteStandsOutsideABase64Run) {
    // Unicode 1.1 cannot carry U+1F600: its substitute comes between runs.
    Units32 const text = {0xAC00, 0x1F600, 0xAC00, 0x110000, 'a'};
    Char32ToCharBufferConverter encoder;
    ASSERT_TRUE(encoder.Initialize(Char32Encoding::UTF32(), CharEncoding::Unicode11UTF7()));
    unsigned int const * from = text.data();
    char bytes[64];
    char * to = bytes;
    encoder.Convert(from, from + text.size(), to, bytes + sizeof bytes, true);
    EXPECT_EQ(std::string(bytes, to), "+NAA-+//9-+NAA-+//9-a");
    EXPECT_EQ(encoder.Substitutions(), 2u);
    // The same through small output windows (a larger one after a call that
    // wrote nothing): a run that cannot be closed in the room left keeps its
    // problem for the next window (it once got the substitute inside the run).
    for (std::size_t room = 1; room <= 6; ++room) {
        encoder.Reset();
        from = text.data();
        std::string chunked;
        for (std::size_t calls = 0, grow = 0; calls < 100; ++calls) {
            to = bytes;
            BufferConverterResult const r =
                encoder.Convert(from, text.data() + text.size(), to, bytes + room + grow, true);
            chunked.append(bytes, to);
            if (r == kBufferConverterComplete || r == kBufferConverterCompleteWithSubstitutions) break;
            grow = to == bytes ? grow + 1 : 0;
        }
        EXPECT_EQ(chunked, "+NAA-+//9-+NAA-+//9-a") << room;
    }
    CharToChar32BufferConverter buffer;
    ASSERT_TRUE(buffer.Initialize(CharEncoding::Unicode20UTF7(), Char32Encoding::UTF32()));
    std::string const utf7 = "+2D3eAA-";
    char const * in = utf7.data();
    unsigned int out[4];
    unsigned int * o = out;
    buffer.Convert(in, in + utf7.size(), o, out + 4, true);
    EXPECT_EQ(Units32(out, o), Units32{0x1F600});
}

// --- HP printer -----------------------------------------------------------------------

TEST(HPPrinterTest, PadsEveryCharacterToTwoBytes) {
    CharEncoding const * hp = CharEncoding::Lookup("EUC-KR:HP-Printer");
    ASSERT_NE(hp, nullptr);
    EXPECT_EQ(static_cast<unsigned long>(hp->GetTextEncodingID()), 0x8009u);
    zuuc_test::utf8::HeapAllocator allocator;
    std::unique_ptr<Transcoder<char, unsigned short>> decoder(hp->CreateConverterToUTF16(allocator));
    ASSERT_NE(decoder, nullptr);
    long const P = kProblem;
    // Pairs: 00 41, B0 A1, 00 42, then 43 44 (two single bytes unpadded).
    ExpectSplitInvariant(*decoder, Chars(std::string("\0A\xB0\xA1\0BCD", 8)),
                         {'A', 0xAC00, 'B', 'C', 'D'});
    ExpectSplitInvariant(*decoder, Chars("\xB0"), {P});
    std::unique_ptr<Transcoder<unsigned int, char>> encoder(hp->CreateConverterFromUTF32(allocator));
    ASSERT_NE(encoder, nullptr);
    Units32 const text = {'A', 0xAC00, 0x1F600, 'z'};
    std::vector<long> const expected = {0, 'A', 0xB0, 0xA1, P, 0, 'z'};
    EXPECT_EQ(Drive(*encoder, text, {2}, 2), expected);
}

}  // namespace
