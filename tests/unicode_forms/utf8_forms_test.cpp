#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "support/test_encodings.h"
#include "support/transcode_once.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/char_encoding.h"
#include "zuuc/detector.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"
#include "zuuc/utf8_encodings.h"

// The UTF-8 and UTF-EBCDIC converters, driven directly.
using namespace zuuc_test::utf8;

namespace {

using u16 = unsigned short;
using u32 = unsigned int;

constexpr long P = kProblem;

// Decodes with both decoders, at every split, and checks the code points
// (UTF-16 output is checked against the same code points written as UTF-16).
void ExpectDecodes(std::vector<int> const & bytes, std::vector<long> const & expected) {
    SCOPED_TRACE(::testing::PrintToString(bytes));
    UTF8ToUTF32 to32;
    ExpectSplitInvariant(to32, Bytes(bytes), expected);
    std::vector<long> expected16;
    for (long v : expected) {
        if (v == P) {
            expected16.push_back(P);
        } else {
            std::vector<u16> units;
            RefUTF16(static_cast<std::uint32_t>(v), units);
            expected16.insert(expected16.end(), units.begin(), units.end());
        }
    }
    UTF8ToUTF16 to16;
    ExpectSplitInvariant(to16, Bytes(bytes), expected16);
}

// Malformed, cut-short and truncated sequences are one problem each, at
// every split. Byte-order marks anywhere and the forms the decoder sweep at
// the end places in text (C0 AF, E0 80 AF, ED A0 80, F8, 80, C3 cut short by
// the next character) are left to that sweep.
struct DecodeCase {
    std::vector<int> bytes;
    std::vector<long> expected;
};
DecodeCase const kDecodeCases[] = {
    // Overlong forms at their bounds, surrogates, beyond U+10FFFF.
    {{0xC1, 0xBF, 0x41}, {P, 0x41}},
    {{0xE0, 0x9F, 0xBF}, {P}},
    {{0xF0, 0x8F, 0xBF, 0xBF}, {P}},
    {{0xED, 0xBF, 0xBF, 0x41}, {P, 0x41}},
    {{0xF4, 0x90, 0x80, 0x80}, {P}},
    {{0xF7, 0xBF, 0xBF, 0xBF}, {P}},
    // 5- and 6-byte leads and F8..FF are malformed by themselves; their
    // continuation bytes are stray.
    {{0xF8, 0x88, 0x80, 0x80, 0x80}, {P, P, P, P, P}},
    {{0xFC, 0x41}, {P, 0x41}},
    {{0xFE, 0xFF, 0x42}, {P, P, 0x42}},
    {{0x41, 0xBF, 0x80, 0x42}, {0x41, P, P, 0x42}},
    // Cut short: the next byte is not swallowed, whether it is ASCII, starts
    // a sequence or is malformed itself.
    {{0xE2, 0x82, 0x41}, {P, 0x41}},
    {{0xF0, 0x9F, 0x98, 0x41}, {P, 0x41}},
    {{0xE2, 0xC3, 0xA9}, {P, 0xE9}},
    {{0xC3, 0xF8, 0x41}, {P, P, 0x41}},
    {{0xE0, 0x80, 0x41}, {P, 0x41}},
    {{0xC3, 0xEF, 0xBB, 0xBF, 0x41}, {P, 0x41}},
    {{0xC3, 0xC3, 0xC3, 0xA9}, {P, P, 0xE9}},
    // Truncated by the end of the input.
    {{0xC3}, {P}},
    {{0x41, 0xE2, 0x82}, {0x41, P}},
    {{0xF0, 0x9F, 0x98}, {P}},
    {{0xF5, 0x80}, {P}},
};

TEST(UTF8Decoding, MalformedCutShortAndTruncatedAreOneProblemEach) {
    for (DecodeCase const & c : kDecodeCases)
        ExpectDecodes(c.bytes, c.expected);
}

// Room and limit for whole pairs are swept in utf32_stretch_test; here the
// held bytes of a split character stay held while the output is full.
TEST(UTF8Decoding, HeldBytesWaitForRoomForBothUnits) {
    UTF8ToUTF16 t;
    EXPECT_EQ(TranscodeOnce(t, Bytes({0xF0, 0x9F})),
              (TranscodeStep<u16>{kTranscodeInputExhausted, 2, {}}));
    EXPECT_EQ(TranscodeOnce(t, Bytes({0x98, 0x80}), 1),
              (TranscodeStep<u16>{kTranscodeOutputFull, 0, {}}));
    EXPECT_EQ(TranscodeOnce(t, Bytes({0x98, 0x80}), 2),
              (TranscodeStep<u16>{kTranscodeInputExhausted, 2, {0xD83D, 0xDE00}}));
}

// --- encoding -------------------------------------------------------------------

TEST(UTF8Encoding, HighSurrogateFollowedByOtherUnitIsOneProblemThenTheUnit) {
    UTF16ToUTF8 t;
    ExpectSplitInvariant(t, std::vector<u16>{0xD83D, 0x41}, {P, 0x41});
    ExpectSplitInvariant(t, std::vector<u16>{0xD83D, 0xD83D, 0xDE00}, {P, 0xF0, 0x9F, 0x98, 0x80});
    ExpectSplitInvariant(t, std::vector<u16>{0xD800}, {P});
}

TEST(UTF8Encoding, LoneLowSurrogateAndSurrogatesWithoutCombining) {
    UTF16ToUTF8 combining;
    ExpectSplitInvariant(combining, std::vector<u16>{0xDC00}, {0xED, 0xB0, 0x80});
    UTF16ToUTF8 separate(false);
    ExpectSplitInvariant(separate, std::vector<u16>{0xD83D, 0xDE00},
                         {0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80});
}

TEST(UTF8Encoding, FromUTF32RejectsOnlyValuesAboveTheRange) {
    UTF32ToUTF8 t;
    ExpectSplitInvariant(t, std::vector<u32>{0x41, 0x110000, 0xD800, 0x10FFFF, 0xFFFFFFFF},
                         {0x41, P, 0xED, 0xA0, 0x80, 0xF4, 0x8F, 0xBF, 0xBF, P});
}

// --- UTF-EBCDIC -----------------------------------------------------------------

TEST(UTFEBCDIC, KnownEncodings) {
    UTF8EBCDICfromWhatever encoder;
    EXPECT_EQ((std::vector<long>{0xC1, 0x46, 0x80, 0x47, 0x80, 0x76, 0xCC, 0xB4, 0x80, 0x80, 0x80}),
              Drive(encoder, std::vector<u16>{0x41, 0x80, 0xA0, 0x3B1, 0xD800, 0xDC00}));
    // U+FFFD, the byte form's substitute.
    EXPECT_EQ((std::vector<long>{0xB3, 0xFE, 0xFE, 0xFC}),
              Drive(encoder, std::vector<u16>{0xFFFD}));

    UTF8EBCDICtoWhatever decoder;
    ExpectSplitInvariant(decoder,
                         Bytes({0xC1, 0x46, 0x80, 0x47, 0x80, 0x76, 0xCC, 0xB4, 0x80, 0x80, 0x80}),
                         {0x41, 0x80, 0xA0, 0x3B1, 0xD800, 0xDC00});
}

TEST(UTFEBCDIC, MalformedInput) {
    UTF8EBCDICtoWhatever decoder;
    // A lead cut short by a byte that is not a trailing byte: one problem, then the byte.
    ExpectSplitInvariant(decoder, Bytes({0x46, 0xC1}), {P, 0x41});
    ExpectSplitInvariant(decoder, Bytes({0xB4, 0x80, 0x46, 0x80}), {P, 0x80});
    // A trailing byte without a lead; a sequence cut short by the end.
    ExpectSplitInvariant(decoder, Bytes({0x80, 0xC1}), {P, 0x41});
    ExpectSplitInvariant(decoder, Bytes({0xC1, 0x46}), {0x41, P});

    UTF8EBCDICtoWhatever bmp_only(false);
    ExpectSplitInvariant(bmp_only, Bytes({0xB4, 0x80, 0x80, 0x80, 0xC1}), {P, 0x41});

    UTF8EBCDICfromWhatever encoder;
    ExpectSplitInvariant(encoder, std::vector<u16>{0xD83D, 0x41}, {P, 0xC1});
}

TEST(UTFEBCDIC, PermutationIsItsOwnInverseTable) {
    for (int i = 0; i < 256; ++i) {
        unsigned char const b = static_cast<unsigned char>(i);
        EXPECT_EQ(b, UTF8EBCDICEBCDICToIntermediate(UTF8EBCDICIntermediateToEBCDIC(b)));
    }
    EXPECT_EQ(0x40, UTF8EBCDICIntermediateToEBCDIC(0x20));  // space
    EXPECT_EQ(0xF0, UTF8EBCDICIntermediateToEBCDIC(0x30));  // '0'
}

// The UTF-8 and UTF-EBCDIC encodings: names, accessors, substitutes, and
// conversion through their sources, sinks and converters.

template <class T>
std::unique_ptr<T> Own(T * p) {
    return std::unique_ptr<T>(p);
}

std::vector<u32> Decode(CharEncoding const & encoding, std::vector<char> const & bytes,
                        std::size_t chunk) {
    HeapAllocator allocator;
    ChunkedCharSource input(bytes, chunk);
    auto source = Own(encoding.CreateCharSourceToUnicode(input, allocator));
    EXPECT_NE(nullptr, source);
    return source ? ReadAll32(*source) : std::vector<u32>{};
}

// Puts `input` into the sink made by `make` in pieces of `chunk` units,
// flushes it and returns what reached the target.
template <class Target, class In, class Make>
auto PutInChunks(Make make, std::vector<In> const & input, std::size_t chunk) {
    HeapAllocator allocator;
    Target target;
    {
        auto sink = Own(make(target, allocator));
        EXPECT_NE(nullptr, sink);
        for (std::size_t i = 0; sink && i < input.size(); i += chunk) {
            sink->Put(input.data() + i, input.data() + std::min(i + chunk, input.size()));
        }
        if (sink)
            sink->Flush();
    }
    return target;
}

std::vector<char> EncodeThroughSink(CharEncoding const & encoding, std::vector<u32> const & text,
                                    std::size_t chunk) {
    auto make = [&](CharSink & t, HeapAllocator & a) {
        return encoding.CreateCharSinkFromUnicode(t, a);
    };
    return PutInChunks<VectorCharSink>(make, text, chunk).bytes;
}

std::vector<u32> DecodeThroughSink(CharEncoding const & encoding, std::vector<char> const & bytes,
                                   std::size_t chunk) {
    auto make = [&](Char32Sink & t, HeapAllocator & a) {
        return encoding.CreateCharSinkToUnicode(t, a);
    };
    return PutInChunks<VectorChar32Sink>(make, bytes, chunk).units;
}

std::vector<char> EncodeThroughSource(CharEncoding const & encoding,
                                      std::vector<u32> const & text) {
    HeapAllocator allocator;
    BufferChar32Source input(text.data(), text.data() + text.size());
    auto source = Own(encoding.CreateCharSourceFromUnicode(input, allocator));
    EXPECT_NE(nullptr, source);
    return source ? ReadAllBytes(*source) : std::vector<char>{};
}

TEST(UTF8Encodings, DecodingThroughSourcesSubstitutesProblems) {
    CharEncoding const & utf8 = CharEncoding::UTF8();
    std::vector<char> const bytes =
        Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0x41, 0xE2, 0x82, 0x41, 0x80, 0xE2});
    std::vector<u32> const expected = {0xFFFD, 0x41, 0xFFFD, 0x41, 0xFFFD, 0xFFFD};
    for (std::size_t chunk = 1; chunk <= bytes.size(); ++chunk) {
        EXPECT_EQ(expected, Decode(utf8, bytes, chunk)) << "windows of " << chunk;
        EXPECT_EQ(expected, DecodeThroughSink(utf8, bytes, chunk)) << "puts of " << chunk;
        EXPECT_EQ(expected, Decode(*CharEncoding::Lookup("UTF-8"), bytes, chunk));
    }
    std::vector<char> const ebcdic = Bytes({0x46, 0xC1, 0x80, 0xC2});
    for (std::size_t chunk = 1; chunk <= ebcdic.size(); ++chunk) {
        EXPECT_EQ((std::vector<u32>{0xFFFD, 0x41, 0xFFFD, 0x42}),
                  Decode(CharEncoding::Unicode20UTF8EBCDIC(), ebcdic, chunk));
    }
}

TEST(UTF8Encodings, ByteOrderMarkVariantWritesOneMarkAndReadsNone) {
    std::vector<u32> const text = {0x41, 0xFEFF, 0x1F600};
    std::vector<char> const with_mark =
        Bytes({0xEF, 0xBB, 0xBF, 0x41, 0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80});
    EXPECT_EQ(with_mark, EncodeThroughSink(CharEncoding::UTF8BOM(), text, 2));
    EXPECT_EQ(with_mark, EncodeThroughSource(CharEncoding::UTF8BOM(), text));
    EXPECT_EQ((std::vector<u32>{0x41, 0x1F600}), Decode(CharEncoding::UTF8BOM(), with_mark, 4));
    // The plain form writes no mark of its own.
    EXPECT_EQ(std::vector<char>(with_mark.begin() + 3, with_mark.end()),
              EncodeThroughSink(CharEncoding::UTF8(), text, 5));
}

// Round trips of random text through every UTF-8 / UTF-EBCDIC encoding and
// every path: sources and sinks in chunks, and the UTF-16 and UTF-32
// converters with random cuts, output room and limits, against the reference.
TEST(UTF8Encodings, RoundTripsThroughEveryPath) {
    std::mt19937 random(77);
    std::vector<CharEncoding const *> const encodings = {
        &CharEncoding::UTF8(), CharEncoding::Lookup("UTF-8"), &CharEncoding::UTF8BOM(),
        &CharEncoding::Unicode20UTF8EBCDIC()};
    // Every length of sequence with its bounds; ASCII runs dominate real text.
    std::vector<u32> const bounds = {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xE000, 0x10000, 0x10FFFF};
    auto code_point = [&]() -> u32 {
        switch (random() % 5) {
            case 0:
            case 1:
                return 0x20 + random() % 0x5F;
            case 2:
                return bounds[random() % bounds.size()];
            default: {
                u32 const c = 0x80 + random() % 0x10FF80;
                return (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF ? 0x263A : c;
            }
        }
    };
    auto cuts = [&](std::size_t size) {
        std::vector<std::size_t> result;
        for (std::size_t i = 1; i < size; ++i) {
            if (random() % 7 == 0)
                result.push_back(i);
        }
        return result;
    };
    auto longs = [](auto const & v) {
        std::vector<long> r;
        for (auto x : v)
            r.push_back(Value(x));
        return r;
    };
    HeapAllocator allocator;
    for (int round = 0; round < 60; ++round) {
        std::vector<u32> text(1 + random() % (round % 2 ? 600 : 60));
        for (auto & c : text)
            c = code_point();
        std::vector<u16> utf16;
        for (u32 c : text)
            RefUTF16(c, utf16);
        std::vector<char> utf8;
        for (u32 c : text)
            RefUTF8(c, utf8);
        std::size_t const chunk = 1 + random() % 100;
        std::size_t const room = 5 + random() % 40;
        long const limit = random() % 3 == 0 ? static_cast<long>(5 + random() % 10) : -1;
        for (CharEncoding const * encoding : encodings) {
            ASSERT_NE(nullptr, encoding);
            SCOPED_TRACE(encoding->Name());
            std::vector<char> const bytes = EncodeThroughSink(*encoding, text, chunk);
            EXPECT_EQ(bytes, EncodeThroughSource(*encoding, text));
            if (encoding->GetTextEncodingID() == CharEncoding::UTF8().GetTextEncodingID()) {
                EXPECT_EQ(utf8, bytes);
            }
            EXPECT_EQ(text, Decode(*encoding, bytes, chunk));
            EXPECT_EQ(text, DecodeThroughSink(*encoding, bytes, chunk));

            auto to16 = Own(encoding->CreateConverterToUTF16(allocator));
            auto from16 = Own(encoding->CreateConverterFromUTF16(allocator));
            auto to32 = Own(encoding->CreateConverterToUTF32(allocator));
            auto from32 = Own(encoding->CreateConverterFromUTF32(allocator));
            ASSERT_TRUE(to16 && from16 && to32 && from32);
            EXPECT_EQ(longs(bytes), Drive(*from16, utf16, cuts(utf16.size()), room, limit));
            EXPECT_EQ(longs(bytes), Drive(*from32, text, cuts(text.size()), room, limit));
            EXPECT_EQ(longs(utf16), Drive(*to16, bytes, cuts(bytes.size()), room, limit));
            EXPECT_EQ(longs(text), Drive(*to32, bytes, cuts(bytes.size()), room, limit));
        }
        // The converters themselves, without the chains around them.
        UTF8ToUTF32 to32;
        ASSERT_EQ(longs(text), Drive(to32, utf8, cuts(utf8.size()), room, limit));
        UTF8ToUTF16 to16;
        ASSERT_EQ(longs(utf16), Drive(to16, utf8, cuts(utf8.size()), room, limit));
        UTF16ToUTF8 from16;
        ASSERT_EQ(longs(utf8), Drive(from16, utf16, cuts(utf16.size()), room, limit));
        UTF32ToUTF8 from32;
        ASSERT_EQ(longs(utf8), Drive(from32, text, cuts(text.size()), room, limit));
        UTF8EBCDICfromWhatever to_ebcdic;
        std::vector<long> const ebcdic = Drive(to_ebcdic, utf16, cuts(utf16.size()), room, limit);
        std::vector<char> const ebcdic_bytes(ebcdic.begin(), ebcdic.end());
        UTF8EBCDICtoWhatever from_ebcdic;
        ASSERT_EQ(longs(utf16), Drive(from_ebcdic, ebcdic_bytes, cuts(ebcdic.size()), room, limit));
    }
}

// Variants of Unicode 1.1 (identifier 1) are recognised from the identifier
// and keep surrogates apart (their conversions are in unicode11_test); the
// UTF-16 forms combine.
TEST(UTF8Encodings, Unicode11VariantsKeepSurrogatesApart) {
    TextEncoding const & base = Char16Encoding::Unicode11();
    auto const * utf8 = dynamic_cast<UTF8EncodingVariantOfUTF16 const *>(
        base.LookupVariant(EncodingVariationID::UTF8()));
    auto const * ebcdic = dynamic_cast<UTF8EBCDICEncodingVariant const *>(
        base.LookupVariant(EncodingVariationID::UTF8EBCDIC()));
    auto const * utf16 =
        dynamic_cast<UTF8EncodingVariantOfUTF16 const *>(CharEncoding::Lookup("UTF-8"));
    ASSERT_TRUE(utf8 != nullptr && ebcdic != nullptr && utf16 != nullptr);
    EXPECT_FALSE(utf8->CombinesSurrogates());
    EXPECT_FALSE(ebcdic->CombinesSurrogates());
    EXPECT_TRUE(utf16->CombinesSurrogates());
}

// The converters to and from UTF-32 and UTF-8 copy long stretches without
// room or limit tests. Every output size and every limit must still stop
// exactly where a careful one-character-at-a-time conversion stops; the
// models below are that careful conversion, written out plainly.
template <class To>
using Outcome = TranscodeStep<To>;

// One character as a converter sees it: its input units and what it
// becomes, or the problem it is (consumed even without room).
template <class In, class Out>
struct Piece {
    std::vector<In> in;
    std::vector<Out> out;
    TranscodeResult problem = kTranscodeInputExhausted;  // none
};

// The careful conversion in one call from a fresh converter; with
// `limit_first` the limit is tested before room.
template <class In, class Out>
Outcome<Out> Model(std::vector<Piece<In, Out>> const & pieces, std::size_t room, long limit,
                   bool limit_first, std::size_t first = 0) {
    Outcome<Out> o{kTranscodeInputExhausted, 0, {}};
    for (std::size_t k = first; k < pieces.size(); ++k) {
        Piece<In, Out> const & p = pieces[k];
        if (p.problem != kTranscodeInputExhausted) {
            o.consumed += p.in.size();
            o.result = p.problem;
            return o;
        }
        bool const full = room - o.output.size() < p.out.size();
        bool const over =
            limit >= 0 && o.output.size() + p.out.size() > static_cast<std::size_t>(limit);
        if (full || over) {
            o.result =
                over && (limit_first || !full) ? kTranscodeLimitReached : kTranscodeOutputFull;
            return o;
        }
        o.output.insert(o.output.end(), p.out.begin(), p.out.end());
        o.consumed += p.in.size();
    }
    return o;
}

// UTF-32 to UTF-16 or UTF-8. To UTF-16 room is tested before the limit and
// values above U+10FFFF are not in the repertoire; to UTF-8 the limit (in
// bytes) is tested before room, such values are illegal, and surrogate code
// points are written in their three-byte form.
template <class Out>
std::vector<Piece<unsigned int, Out>> From32(std::vector<unsigned int> const & text) {
    bool constexpr to8 = sizeof(Out) == 1;
    std::vector<Piece<unsigned int, Out>> pieces;
    for (unsigned int c : text) {
        Piece<unsigned int, Out> p{{c}, {}};
        if (c > 0x10FFFF) {
            p.problem = to8 ? kTranscodeIllegalInput : kTranscodeNotInRepertoire;
        } else if constexpr (to8) {
            zuuc_test::utf8::RefUTF8(c, p.out);
        } else {
            zuuc_test::utf8::RefUTF16(c, p.out);
        }
        pieces.push_back(p);
    }
    return pieces;
}

// UTF-16 to UTF-8, combining pairs: a high surrogate followed by anything
// but a low one is a problem, one ending the input is held, and a lone low
// surrogate is written in its three-byte form.
std::vector<Piece<unsigned short, char>> From16(std::vector<unsigned short> const & text) {
    std::vector<Piece<unsigned short, char>> pieces;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned int c = text[i];
        Piece<unsigned short, char> p{{text[i]}, {}};
        bool const high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            p.in.push_back(text[++i]);
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i] - 0xDC00u);
        } else if (high) {
            p.problem = i + 1 < text.size() ? kTranscodeIllFormedUTF16 : kTranscodeInputExhausted;
            pieces.push_back(p);
            continue;
        }
        zuuc_test::utf8::RefUTF8(c, p.out);
        pieces.push_back(p);
    }
    return pieces;
}

// UTF-16 to UTF-32 from a fresh converter: a pair is one code point, a low
// surrogate alone passes as it is, a high surrogate followed by anything but
// a low surrogate stops the call with result 3 before that unit, and a high
// surrogate that ends the input is taken (its partner may follow).
Outcome<unsigned int> Model16to32(std::vector<unsigned short> const & input, std::size_t room,
                                  long limit) {
    Outcome<unsigned int> o{kTranscodeInputExhausted, 0, {}};
    unsigned int pending = 0;
    for (unsigned short u : input) {
        if (o.output.size() == room) {
            o.result = kTranscodeOutputFull;
            return o;
        }
        bool const low = u >= 0xDC00 && u <= 0xDFFF;
        if (pending != 0 && !low) {
            o.result = kTranscodeIllegalInput;
            return o;
        }
        if (pending == 0 && u >= 0xD800 && u <= 0xDBFF) {
            pending = u;
            ++o.consumed;
            continue;
        }
        if (limit >= 0 && o.output.size() == static_cast<std::size_t>(limit)) {
            o.result = kTranscodeLimitReached;
            return o;
        }
        o.output.push_back(pending != 0 ? ((pending - 0xD800) << 10) + (u - 0xDC00u) + 0x10000 : u);
        pending = 0;
        ++o.consumed;
    }
    return o;
}

// Text of long plain runs with the odd special value in between.
template <class Unit>
std::vector<Unit> MixedText(std::mt19937 & random, std::vector<Unit> const & specials,
                            std::size_t length) {
    std::vector<Unit> text;
    std::uniform_int_distribution<int> pick(0, 99);
    while (text.size() < length) {
        int const p = pick(random);
        if (p < 60) {
            text.push_back(static_cast<Unit>(0x20 + p));
        } else if (p < 90) {
            text.push_back(static_cast<Unit>(0x4E00 + p * 37));
        } else {
            std::uniform_int_distribution<std::size_t> which(0, specials.size() - 1);
            text.push_back(specials[which(random)]);
        }
    }
    return text;
}

// Every room and every limit up to `max` (and no limit) for one text.
template <class Converter, class In, class Model>
void Sweep(std::vector<In> const & text, std::size_t max, Model model, int round) {
    for (std::size_t room = 0; room <= max; ++room) {
        for (long limit = -1; limit <= static_cast<long>(max); ++limit) {
            Converter c;
            ASSERT_EQ(TranscodeOnce(c, text, room, limit), model(text, room, limit))
                << "round " << round << ", room " << room << ", limit " << limit;
        }
    }
}

// The same for a text of pieces; where the call stopped for room or limit,
// the rest follows in a second call as if never split.
template <class Converter, class In, class Out>
void SweepPieces(std::vector<Piece<In, Out>> const & pieces, std::size_t max, bool limit_first,
                 int round) {
    std::vector<In> text;
    for (auto const & p : pieces)
        text.insert(text.end(), p.in.begin(), p.in.end());
    for (std::size_t room = 0; room <= max; ++room) {
        for (long limit = -1; limit <= static_cast<long>(max); ++limit) {
            Converter c;
            Outcome<Out> const want = Model(pieces, room, limit, limit_first);
            ASSERT_EQ(TranscodeOnce(c, text, room, limit), want)
                << "round " << round << ", room " << room << ", limit " << limit;
            if (want.result != kTranscodeOutputFull && want.result != kTranscodeLimitReached) {
                continue;
            }
            std::size_t k = 0;
            for (std::size_t done = 0; done < want.consumed; ++k)
                done += pieces[k].in.size();
            std::vector<In> const rest(text.begin() + static_cast<long>(want.consumed), text.end());
            ASSERT_EQ(TranscodeOnce(c, rest, 4 * text.size() + 8),
                      Model(pieces, 4 * text.size() + 8, -1, limit_first, k))
                << "rest after round " << round << ", room " << room << ", limit " << limit;
        }
    }
}

TEST(Utf32Stretches, ToUtf16AndUtf8StopWhereTheCarefulLoopStops) {
    std::mt19937 random(421);
    std::vector<unsigned int> const specials = {0x1F600,  0x10000, 0x10FFFF, 0xD800, 0xDFFF,
                                                0x110000, 0xFFFF,  0x7FF,    0x80,   0xFFFFFFFF};
    for (int round = 0; round < 12; ++round) {
        std::vector<unsigned int> const text = MixedText(random, specials, round < 8 ? 40 : 30);
        SweepPieces<UTF32ToUTF16Converter>(From32<unsigned short>(text), 44, false, round);
        SweepPieces<UTF32ToUTF8>(From32<char>(text), 70, true, round);
    }
}

TEST(Utf32Stretches, FromUtf16StopsWhereTheCarefulLoopStops) {
    std::mt19937 random(42100);
    // Pairs are written as their two units; lone surrogates of both kinds too.
    std::vector<unsigned short> const specials = {0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0xFFFF,
                                                  0xE000, 0x7FF,  0x800,  0x80};
    for (int round = 0; round < 12; ++round) {
        std::vector<unsigned short> text = MixedText(random, specials, 40);
        // Make some of the high surrogates real pairs.
        for (std::size_t i = 0; i + 1 < text.size(); i += 7) {
            if (text[i] == 0xD83D) {
                text[i + 1] = 0xDE00;
            }
        }
        Sweep<UTF16ToUTF32Converter>(text, 42, Model16to32, round);
        SweepPieces<UTF16ToUTF8>(From16(text), 70, true, round);
    }
}

// UTF-8 decoding: a character, a byte-order mark (dropped, even without
// room) or a malformed sequence (consumed and reported). The limit is
// tested before room.
template <class Unit, class Decoder>
void SweepUtf8Decoder(unsigned seed) {
    long constexpr kMark = -1, kMalformed = -2;
    auto piece = [](std::string const & bytes, long c) {
        Piece<char, Unit> p{std::vector<char>(bytes.begin(), bytes.end()), {}};
        std::vector<unsigned short> units;
        if (c == kMalformed) {
            p.problem = kTranscodeIllegalInput;
        } else if (c != kMark && sizeof(Unit) == 4) {
            p.out.push_back(static_cast<Unit>(c));
        } else if (c != kMark) {
            zuuc_test::utf8::RefUTF16(static_cast<unsigned int>(c), units);
            p.out.assign(units.begin(), units.end());
        }
        return p;
    };
    std::vector<Piece<char, Unit>> const good = {piece("a", 'a'),
                                                 piece("Q", 'Q'),
                                                 piece("\xD0\x96", 0x0416),
                                                 piece("\xE6\x97\xA5", 0x65E5),
                                                 piece("\xF0\x9F\x98\x80", 0x1F600),
                                                 piece("\xEF\xBB\xBF", kMark)};
    std::vector<Piece<char, Unit>> const bad = {
        piece("\x80", kMalformed),
        piece("\xC0\xAF", kMalformed),
        piece("\xED\xA0\x80", kMalformed),
        piece("\xF8", kMalformed),
        piece("\xE0\x80\xAF", kMalformed),
        piece("\xC3", kMalformed)};  // cut short by the next piece, never last
    std::mt19937 random(seed);
    for (int round = 0; round < 12; ++round) {
        std::vector<Piece<char, Unit>> pieces;
        std::uniform_int_distribution<int> pick(0, 9);
        for (int i = 0; i < 48; ++i) {
            int const p = pick(random);
            pieces.push_back(p < 4 ? good[p % 2]
                                   : good[static_cast<std::size_t>(p - 4) % good.size()]);
        }
        if (round % 2 == 1) {
            std::uniform_int_distribution<std::size_t> where(0, pieces.size() - 1);
            pieces.insert(pieces.begin() + static_cast<long>(where(random)),
                          bad[static_cast<std::size_t>(round / 2) % bad.size()]);
        }
        SweepPieces<Decoder>(pieces, 70, true, round);
    }
}

struct Utf8To16 : UTF8ToUTF16 {
    Utf8To16() : UTF8ToUTF16(true) {}
};

TEST(Utf32Stretches, Utf8DecodersStopWhereTheCarefulLoopStops) {
    SweepUtf8Decoder<unsigned short, Utf8To16>(7);
    SweepUtf8Decoder<unsigned int, UTF8ToUTF32>(8);
}

}  // namespace
