// Buffer converters: lifecycle, choice of the pivot, substitution and
// counting, resumption after the output fills (also in the final call), and
// agreement of chunked conversion with one-shot conversion on real UTF forms.
#include <gtest/gtest.h>

#include <malloc.h>

#include <string>
#include <vector>

#include "../../fuzz/fuzz_conversion.h"
#include "convert/engine_test_util.h"
#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"

namespace {

using namespace zuuc_test::engine;

std::vector<char> Bytes(std::string const & s) { return Units<char>(s); }

// Declares a converter `name` of type `Type` and initializes it with the pair.
#define ZUUC_CONVERTER(Type, name, from, to) \
    Type name;                                \
    ASSERT_TRUE(name.Initialize(from, to))

// Result of one Convert over a whole vector with a given output capacity.
template <class Out>
struct Run {
    BufferConverterResult result;
    std::size_t consumed;
    std::vector<Out> output;
};

template <class Out, class Converter, class In>
Run<Out> ConvertOnce(Converter & c, std::vector<In> const & input, std::size_t from,
                                    std::size_t room, bool final) {
    std::vector<Out> buffer(room + 1);  // never empty, so data() is a real pointer
    In const * in = input.data() + from;
    Out * out = buffer.data();
    BufferConverterResult const r = c.Convert(in, input.data() + input.size(), out, out + room, final);
    buffer.resize(static_cast<std::size_t>(out - buffer.data()));
    return {r, static_cast<std::size_t>(in - (input.data() + from)), buffer};
}

// Checks the result of a run, the text it wrote ('*' for U+FFFD) and,
// unless negative, how many input units it consumed.
template <class Out>
void ExpectRun(Run<Out> const & run, BufferConverterResult result, std::string const & text,
               long consumed = -1) {
    EXPECT_EQ(run.result, result);
    EXPECT_EQ(Text(run.output), text);
    if (consumed >= 0) {
        EXPECT_EQ(run.consumed, static_cast<std::size_t>(consumed));
    }
}

// --- lifecycle -------------------------------------------------------------------

TEST(BufferConverterLifecycle, ConvertAndResetBeforeInitializeAndDoubleInitialize) {
    CharToChar16BufferConverter c;
    std::vector<char> input = Bytes("ab");
    for (bool final : {false, true}) {
        EXPECT_EQ(ConvertOnce<u16>(c, input, 0, 8, final).result, kBufferConverterNotInitialized);
    }
    EXPECT_FALSE(c.Reset());

    ToyByteEncoding toy;
    ASSERT_TRUE(c.Initialize(toy, Char16Encoding::UTF16()));
    EXPECT_FALSE(c.Initialize(toy, Char16Encoding::UTF16()));
    ExpectRun(ConvertOnce<u16>(c, input, 0, 8, true), kBufferConverterComplete, "ab", 2);
}

TEST(BufferConverterLifecycle, MissingConverterFailsInitializeAndFreesTheOtherStage) {
    ToyByteEncoding plain;
    ToyOptions no_decoder, no_encoder;
    no_decoder.no_converter_to_unicode = true;
    no_encoder.no_converter_from_unicode = true;
    ToyByteEncoding undecodable(no_decoder), unencodable(no_encoder);

    CharToCharBufferConverter a;
    EXPECT_FALSE(a.Initialize(undecodable, plain));
    EXPECT_EQ(plain.factories.from16, 0);  // gave up before asking the output side
    EXPECT_EQ(ConvertOnce<char>(a, Bytes("x"), 0, 4, true).result, kBufferConverterNotInitialized);

    CharToCharBufferConverter b;
    EXPECT_FALSE(b.Initialize(plain, unencodable));
    EXPECT_EQ(plain.factories.to16, 1);
    EXPECT_EQ(plain.log.destroyed, 1);  // the decoder made first was deleted again
    // A failed Initialize may be retried with a pair that works.
    EXPECT_TRUE(b.Initialize(plain, plain));
}

TEST(BufferConverterLifecycle, FinishedUntilResetThenReusable) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToChar16BufferConverter, c, toy, Char16Encoding::UTF16());
    std::vector<char> input = Bytes("a!b");
    ExpectRun(ConvertOnce<u16>(c, input, 0, 8, true), kBufferConverterCompleteWithSubstitutions, "a*b");
    EXPECT_EQ(c.Substitutions(), 1u);
    for (bool final : {false, true}) {
        EXPECT_EQ(ConvertOnce<u16>(c, input, 0, 8, final).result, kBufferConverterAlreadyFinished);
    }
    EXPECT_TRUE(c.Reset());
    EXPECT_EQ(c.Substitutions(), 0u);
    // The old count does not leak into the result.
    ExpectRun(ConvertOnce<u16>(c, Bytes("xy"), 0, 8, true), kBufferConverterComplete, "xy");
}

TEST(BufferConverterLifecycle, ResetDropsConverterStateAndPendingSubstitute) {
    ToyOptions options;
    options.substitute = "ss";
    ToyByteEncoding toy(options);
    ZUUC_CONVERTER(Char16ToCharBufferConverter, c, Char16Encoding::UTF16(), toy);
    // Shift out, then a problem whose substitute cannot be written.
    EXPECT_EQ(ConvertOnce<char>(c, Units<u16>("\x0E#"), 0, 1, false).result, kBufferConverterOutputFull);
    EXPECT_TRUE(c.Reset());
    // Nothing of the old text remains: no substitute, no trailer owed.
    ExpectRun(ConvertOnce<char>(c, Units<u16>("z"), 0, 8, true), kBufferConverterComplete, "z");
    EXPECT_EQ(c.Substitutions(), 0u);
}

// --- pivot choice ------------------------------------------------------------------

TEST(BufferConverterPivot, ByteToByteChainsThroughUTF16OrThroughUTF32WhenFlagged) {
    ToyByteEncoding a, b;
    ZUUC_CONVERTER(CharToCharBufferConverter, plain, a, b);
    EXPECT_EQ(a.factories.to16 + b.factories.from16, 2);
    EXPECT_EQ(a.factories.to32 + b.factories.from32, 0);

    ToyOptions flagged_options;
    flagged_options.utf32_in_unicode = true;
    for (int flagged_side = 0; flagged_side < 2; ++flagged_side) {
        ToyByteEncoding x, flagged(flagged_options);
        ToyByteEncoding & in = flagged_side == 0 ? flagged : x;
        ToyByteEncoding & out = flagged_side == 0 ? x : flagged;
        ZUUC_CONVERTER(CharToCharBufferConverter, c, in, out);
        EXPECT_EQ(in.factories.to32 + out.factories.from32, 2);
        EXPECT_EQ(in.factories.to16 + out.factories.from16, 0);
        ExpectRun(ConvertOnce<char>(c, Bytes("hello"), 0, 16, true), kBufferConverterComplete, "hello");
    }
}

TEST(BufferConverterPivot, SameUnicodeFormOnBothSidesCopies) {
    ZUUC_CONVERTER(Char16ToChar16BufferConverter, c16, Char16Encoding::UTF16(), Char16Encoding::UTF16());
    std::vector<u16> text = {0x41, 0xD83D, 0xDE00, 0xFFFF};
    ExpectRun(ConvertOnce<u16>(c16, text, 0, 2, false), kBufferConverterOutputFull, "A*", 2);
    EXPECT_EQ(ConvertOnce<u16>(c16, text, 2, 2, true).output, std::vector<u16>({0xDE00, 0xFFFF}));

    ZUUC_CONVERTER(Char32ToChar32BufferConverter, c32, Char32Encoding::UTF32(), Char32Encoding::UTF32());
    std::vector<u32> wide = {0x10FFFF, 0x41};
    EXPECT_EQ(ConvertOnce<u32>(c32, wide, 0, 4, true).output, wide);
}

// --- substitution -----------------------------------------------------------------

TEST(BufferConverterSubstitution, EveryProblemKindIsReplacedAndCountedInEachWidth) {
    ToyByteEncoding toy;
    std::vector<char> input = Bytes("a!b?c");
    ZUUC_CONVERTER(CharToChar16BufferConverter, c16, toy, Char16Encoding::UTF16());
    ExpectRun(ConvertOnce<u16>(c16, input, 0, 16, true), kBufferConverterCompleteWithSubstitutions, "a*b*c");
    EXPECT_EQ(c16.Substitutions(), 2u);

    ZUUC_CONVERTER(CharToChar32BufferConverter, c32, toy, Char32Encoding::UTF32());
    ExpectRun(ConvertOnce<u32>(c32, input, 0, 16, true), kBufferConverterCompleteWithSubstitutions, "a*b*c");
    EXPECT_EQ(c32.Substitutions(), 2u);

    // Byte output: both stages' problems come through the chain.
    ZUUC_CONVERTER(CharToCharBufferConverter, c8, toy, toy);
    ExpectRun(ConvertOnce<char>(c8, Bytes("a!b#c"), 0, 16, true), kBufferConverterCompleteWithSubstitutions,
              "asbsc");
    EXPECT_EQ(c8.Substitutions(), 2u);
}

TEST(BufferConverterSubstitution, ByteSubstituteFollowsTheOutputStageMode) {
    // Through a chain the output stage's mode counts, not the chain's.
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToCharBufferConverter, chained, toy, toy);
    ExpectRun(ConvertOnce<char>(chained, Bytes("a#\x0E#\x0F#"), 0, 32, true),
              kBufferConverterCompleteWithSubstitutions, "asSSs");
    EXPECT_EQ(chained.Substitutions(), 3u);

    ZUUC_CONVERTER(Char16ToCharBufferConverter, direct, Char16Encoding::UTF16(), toy);
    // The substitute, then the owed trailer.
    EXPECT_EQ(Text(ConvertOnce<char>(direct, Units<u16>("\x0E#"), 0, 32, true).output), "SS\x0F");
}

TEST(BufferConverterSubstitution, SubstituteThatDoesNotFitIsWrittenWholeOnTheNextCall) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(Char16ToCharBufferConverter, c, Char16Encoding::UTF16(), toy);
    std::vector<u16> input = Units<u16>("\x0E" "a#b");
    // "a" fits, the two-byte substitute does not: nothing half-written, but
    // the problem unit has been consumed...
    ExpectRun(ConvertOnce<char>(c, input, 0, 2, false), kBufferConverterOutputFull, "a", 3);
    EXPECT_EQ(c.Substitutions(), 0u);
    // ...and its substitute still waits.
    ExpectRun(ConvertOnce<char>(c, input, 3, 1, false), kBufferConverterOutputFull, "", 0);
    ExpectRun(ConvertOnce<char>(c, input, 3, 8, true), kBufferConverterCompleteWithSubstitutions, "SSb\x0F");
    EXPECT_EQ(c.Substitutions(), 1u);
}

TEST(BufferConverterSubstitution, UnitSubstituteAndFinalCallWaitForRoom) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToChar16BufferConverter, c, toy, Char16Encoding::UTF16());
    std::vector<char> input = Bytes("ab!c");
    auto run = ConvertOnce<u16>(c, input, 0, 2, false);
    ExpectRun(run, kBufferConverterOutputFull, "ab");
    ExpectRun(ConvertOnce<u16>(c, input, run.consumed, 2, true), kBufferConverterCompleteWithSubstitutions, "*c");
    EXPECT_EQ(c.Substitutions(), 1u);
    // A final call that fills the output is continued by the next final call.
    ASSERT_TRUE(c.Reset());
    input = Bytes("abcdef");
    EXPECT_EQ(ConvertOnce<u16>(c, input, 0, 4, true).result, kBufferConverterOutputFull);
    ExpectRun(ConvertOnce<u16>(c, input, 4, 4, true), kBufferConverterComplete, "ef");
    EXPECT_EQ(ConvertOnce<u16>(c, input, 6, 4, true).result, kBufferConverterAlreadyFinished);
}

// --- output full and the final call -----------------------------------------------------

TEST(BufferConverterOutputFull, ConsumesOnlyWhatFitsWholeDirectOrChained) {
    ToyByteEncoding toy;
    std::vector<char> input = Bytes("abc");
    ZUUC_CONVERTER(CharToChar16BufferConverter, direct, toy, Char16Encoding::UTF16());
    ZUUC_CONVERTER(CharToCharBufferConverter, chained, toy, toy);
    for (bool final : {false, true}) {
        ExpectRun(ConvertOnce<u16>(direct, input, 0, 0, final), kBufferConverterOutputFull, "", 0);
        ExpectRun(ConvertOnce<char>(chained, input, 0, 0, final), kBufferConverterOutputFull, "", 0);
    }
    ExpectRun(ConvertOnce<char>(chained, input, 0, 8, true), kBufferConverterComplete, "abc");

    // A character that does not fit whole is left unconsumed.
    ToyOptions options;
    options.wide_output = true;
    ToyByteEncoding wide(options);
    ZUUC_CONVERTER(Char16ToCharBufferConverter, c, Char16Encoding::UTF16(), wide);
    ExpectRun(ConvertOnce<char>(c, std::vector<u16>{'a', 0xE9, 'b'}, 0, 2, false), kBufferConverterOutputFull,
              "a", 1);
}

TEST(BufferConverterFinal, WhatFinishOwesIsDeliveredAcrossCalls) {
    ToyOptions options;
    options.trailer = {'<', '-', '>'};
    ToyByteEncoding toy(options);
    ZUUC_CONVERTER(Char32ToCharBufferConverter, direct, Char32Encoding::UTF32(), toy);
    std::vector<u32> input = Units<u32>("\x0Exy");
    // The three-byte trailer does not fit.
    ExpectRun(ConvertOnce<char>(direct, input, 0, 4, true), kBufferConverterOutputFull, "xy", 3);
    ExpectRun(ConvertOnce<char>(direct, input, 3, 2, false), kBufferConverterInputConsumed, "");  // waits for the final call
    ExpectRun(ConvertOnce<char>(direct, input, 3, 2, true), kBufferConverterOutputFull, "");
    ExpectRun(ConvertOnce<char>(direct, input, 3, 3, true), kBufferConverterComplete, "<->");

    // Through a chain, three bytes at a time: the chain keeps what did not fit.
    ZUUC_CONVERTER(CharToCharBufferConverter, chained, toy, toy);
    std::vector<char> bytes = Bytes("\x0E" "abcdef");
    std::string collected;
    std::size_t position = 0;
    BufferConverterResult result = kBufferConverterOutputFull;
    int calls = 0;
    while (result == kBufferConverterOutputFull && ++calls < 100) {
        auto step = ConvertOnce<char>(chained, bytes, position, 3, true);
        result = step.result;
        position += step.consumed;
        collected += Text(step.output);
    }
    EXPECT_EQ(result, kBufferConverterComplete);
    EXPECT_EQ(collected, "abcdef<->");
    EXPECT_EQ(calls, 3);
}

TEST(BufferConverterFinal, IncompleteSequenceBecomesOneSubstituteOnlyAtTheEnd) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToChar16BufferConverter, c, toy, Char16Encoding::UTF16());
    std::vector<char> input = Bytes("a\x1B");
    auto run = ConvertOnce<u16>(c, input, 0, 1, true);  // room for "a" only
    ExpectRun(run, kBufferConverterOutputFull, "a");
    ExpectRun(ConvertOnce<u16>(c, input, run.consumed, 1, true), kBufferConverterCompleteWithSubstitutions, "*");
    EXPECT_EQ(c.Substitutions(), 1u);

    // Before the final call the partial sequence is kept for the next input.
    ASSERT_TRUE(c.Reset());
    EXPECT_EQ(ConvertOnce<u16>(c, Bytes("a\x1B"), 0, 8, false).result, kBufferConverterInputConsumed);
    ExpectRun(ConvertOnce<u16>(c, Bytes("!b"), 0, 8, true), kBufferConverterComplete, "!b");
}


// --- real Unicode forms ---------------------------------------------------------------------

// The independent reference encoder of the UTF-8 tests.
std::vector<char> Utf8(std::u32string const & text) {
    std::vector<char> bytes;
    for (char32_t c : text) zuuc_test::utf8::RefUTF8(static_cast<std::uint32_t>(c), bytes);
    return bytes;
}

std::u32string const kMixedText = U"Gr\u00FC\u00DFe, \u041F\u0440\u0438\u0432\u0435\u0442, "
                                  U"\u65E5\u672C\u8A9E \U0001F600 \u00E9t\u00E9";

// Converting `input` whole and in 40 schedules of random input pieces and
// output windows gives `expected`, with or without substitutions.
template <class Converter, class In, class Out, class From, class To>
void ExpectChunkingAgrees(From const & from, To const & to, std::vector<In> const & input,
                          std::vector<Out> const & expected, bool substituted) {
    auto const whole = fuzz::ConvertBuffered<Converter, In, Out>(from, to, input, nullptr);
    EXPECT_EQ(whole.text, expected);
    EXPECT_EQ(whole.result, substituted ? kBufferConverterCompleteWithSubstitutions : kBufferConverterComplete);
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        fuzz::Schedule schedule(seed);
        ASSERT_EQ((fuzz::ConvertBuffered<Converter, In, Out>(from, to, input, &schedule)), whole) << seed;
    }
}

TEST(BufferConverterUnicode, ChunkedConversionAgreesWithOneCall) {
    std::vector<char> utf8 = Utf8(kMixedText);
    std::vector<u16> utf16 = zuuc_test::utf16::ToUTF16(std::vector<u32>(kMixedText.begin(), kMixedText.end()));
    std::vector<u32> utf32(kMixedText.begin(), kMixedText.end());
    CharEncoding const & b = CharEncoding::UTF8();
    Char16Encoding const & u = Char16Encoding::UTF16();
    Char32Encoding const & w = Char32Encoding::UTF32();
    ExpectChunkingAgrees<CharToChar16BufferConverter>(b, u, utf8, utf16, false);
    ExpectChunkingAgrees<CharToChar32BufferConverter>(b, w, utf8, utf32, false);
    ExpectChunkingAgrees<Char16ToCharBufferConverter>(u, b, utf16, utf8, false);
    ExpectChunkingAgrees<Char32ToChar16BufferConverter>(w, u, utf32, utf16, false);
    ExpectChunkingAgrees<CharToCharBufferConverter>(b, b, utf8, utf8, false);  // a chain through the pivot
}

TEST(BufferConverterUnicode, ChunkedConversionOfMalformedInputCountsTheSame) {
    // A stray continuation byte, a cut sequence, an overlong form and a cut tail.
    std::vector<char> bad = Utf8(U"a\u00E9b");
    bad.insert(bad.begin() + 1, static_cast<char>(0x80));
    for (int byte : {0xE6, 0x97, 0x78, 0xC0, 0xAF, 0x79, 0xF0, 0x9F}) bad.push_back(static_cast<char>(byte));

    ZUUC_CONVERTER(CharToChar16BufferConverter, once, CharEncoding::UTF8(), Char16Encoding::UTF16());
    auto whole = ConvertOnce<u16>(once, bad, 0, 64, true);
    EXPECT_EQ(whole.result, kBufferConverterCompleteWithSubstitutions);
    // Every substitute stands for a problem; the good characters all survive.
    EXPECT_EQ(Text(whole.output), "a*\xE9" "b*x*y*");
    EXPECT_EQ(once.Substitutions(), 4u);
    ExpectChunkingAgrees<CharToChar16BufferConverter>(CharEncoding::UTF8(), Char16Encoding::UTF16(), bad,
                                                      whole.output, true);
    // The same through a chain into UTF-8 bytes, where U+FFFD is three bytes.
    ExpectChunkingAgrees<CharToCharBufferConverter>(CharEncoding::UTF8(), CharEncoding::UTF8(), bad,
                                                    Utf8(std::u32string(whole.output.begin(), whole.output.end())), true);
}

// --- memory ----------------------------------------------------------------------------------

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
#define ZUUC_TEST_MALLINFO 0
#else
#define ZUUC_TEST_MALLINFO 1
#endif

TEST(BufferConverterMemory, InitializeAndConvertTakeNoHeapBeyondTheConverter) {
#if ZUUC_TEST_MALLINFO
    std::vector<char> utf8 = Utf8(kMixedText);
    std::vector<char> output(4096);
    {
        CharToCharBufferConverter recode;  // the biggest case: a chain through UTF-16
        Char16Encoding::UTF16();
        CharEncoding::UTF8();
        std::size_t const before = mallinfo2().uordblks;
        ASSERT_TRUE(recode.Initialize(CharEncoding::UTF8(), CharEncoding::UTF8()));
        char const * in = utf8.data();
        char * out = output.data();
        EXPECT_EQ(recode.Convert(in, utf8.data() + utf8.size(), out, out + output.size(), true),
                  kBufferConverterComplete);
        EXPECT_EQ(mallinfo2().uordblks, before);
    }
    {
        ToyOptions flagged;
        flagged.utf32_in_unicode = true;
        ToyByteEncoding in_encoding(flagged), out_encoding;
        CharToCharBufferConverter wide;  // a chain through UTF-32
        std::size_t const before = mallinfo2().uordblks;
        ASSERT_TRUE(wide.Initialize(in_encoding, out_encoding));
        EXPECT_EQ(mallinfo2().uordblks, before);
    }
#else
    GTEST_SKIP() << "heap statistics are not kept under AddressSanitizer";
#endif
}

}  // namespace
