// The converters of the 16- and 32-bit Unicode forms, driven directly.
#include <gtest/gtest.h>

#include "support/transcode_once.h"
#include "support/utf16_support.h"
#include "zuuc/unicode_encodings.h"

using namespace utf16_test;

namespace {

std::vector<char> Chars(Bytes const & bytes) { return std::vector<char>(bytes.begin(), bytes.end()); }

TEST(UTF16ToUTF32ConverterTest, PairsCombineEvenAcrossCalls) {
    UTF16ToUTF32Converter c;
    auto first = TranscodeOnce(c, {0x41, 0xD83D});
    EXPECT_EQ(first.result, kTranscodeInputExhausted);
    EXPECT_EQ(first.consumed, 2u);
    EXPECT_EQ(first.output, Units32({0x41}));
    auto second = TranscodeOnce(c, {0xDE00, 0xDC00});
    EXPECT_EQ(second.result, kTranscodeInputExhausted);
    // The pair combines; the lone low surrogate passes unchanged.
    EXPECT_EQ(second.output, Units32({0x1F600, 0xDC00}));
}

TEST(UTF16ToUTF32ConverterTest, UnpairedHighSurrogateCoversOnlyItself) {
    UTF16ToUTF32Converter c;
    std::vector<u16> const input = {0xD83D, 0x41};
    auto step = TranscodeOnce(c, input);
    EXPECT_EQ(step.result, kTranscodeIllegalInput);
    EXPECT_EQ(step.consumed, 1u);  // "A" is not swallowed
    EXPECT_TRUE(step.output.empty());
    auto rest = TranscodeOnce(c, {0x41});
    EXPECT_EQ(rest.output, Units32({0x41}));

    // The high surrogate ended the previous block: the unit after it is
    // taken (so the call moves on) and comes out first next time.
    UTF16ToUTF32Converter e;
    TranscodeOnce(e, {0xD83D});
    auto cross = TranscodeOnce(e, {0x41, 0x42});
    EXPECT_EQ(cross.result, kTranscodeIllegalInput);
    EXPECT_EQ(cross.consumed, 1u);
    EXPECT_TRUE(cross.output.empty());
    EXPECT_EQ(TranscodeOnce(e, {0x42}).output, Units32({0x41, 0x42}));
    TranscodeOnce(e, {0xD83D});
    EXPECT_EQ(TranscodeOnce(e, {0xD83D}).result, kTranscodeIllegalInput);  // kept: a high surrogate
    u32 buffer[4];
    u32 * out = buffer;
    EXPECT_EQ(e.Finish(out, buffer + 4, -1), kTranscodeIllegalInput);  // still unpaired at the end
    EXPECT_EQ(out, buffer);
    TranscodeOnce(e, {0xDBFF});
    TranscodeOnce(e, {0x43});
    out = buffer;
    EXPECT_EQ(e.Finish(out, buffer + 4, -1), kTranscodeComplete);
    EXPECT_EQ(out - buffer, 1);
    EXPECT_EQ(buffer[0], 0x43u);

    // A high surrogate followed by another: the second still pairs.
    UTF16ToUTF32Converter d;
    auto twice = TranscodeOnce(d, {0xD800, 0xD800, 0xDC00});
    EXPECT_EQ(twice.result, kTranscodeIllegalInput);
    EXPECT_EQ(twice.consumed, 1u);
    EXPECT_EQ(TranscodeOnce(d, {0xD800, 0xDC00}).output, Units32({0x10000}));
}

TEST(UTF16ToUTF32ConverterTest, HighSurrogateAtEndIsReportedByFinishAndReset) {
    UTF16ToUTF32Converter c;
    TranscodeOnce(c, {0xDBFF});
    u32 buffer[4];
    u32 * out = buffer;
    EXPECT_EQ(c.Finish(out, buffer + 4, -1), kTranscodeIllegalInput);
    EXPECT_EQ(out, buffer);
    out = buffer;
    EXPECT_EQ(c.Finish(out, buffer + 4, -1), kTranscodeComplete);  // reset by the first Finish
    EXPECT_EQ(TranscodeOnce(c, {0xDFFF}).output, Units32({0xDFFF}));
}

TEST(UTF16ToUTF32ConverterTest, StopsWhenOutputIsFullOrLimitReached) {
    UTF16ToUTF32Converter c;
    auto full = TranscodeOnce(c, {0x41, 0x42, 0x43}, 2);
    EXPECT_EQ(full.result, kTranscodeOutputFull);
    EXPECT_EQ(full.consumed, 2u);
    auto limited = TranscodeOnce(c, {0x41, 0x42}, 8, 1);
    EXPECT_EQ(limited.result, kTranscodeLimitReached);
    EXPECT_EQ(limited.output, Units32({0x41}));
}

TEST(UTF32ToUTF16ConverterTest, RangeAndSurrogateCodePoints) {
    UTF32ToUTF16Converter c;
    auto step = TranscodeOnce(c, {0xD800, 0x10FFFF, 0x110000, 0x41});
    EXPECT_EQ(step.result, kTranscodeNotInRepertoire);
    EXPECT_EQ(step.consumed, 3u);  // the bad value is consumed, nothing written for it
    EXPECT_EQ(step.output, Units16({0xD800, 0xDBFF, 0xDFFF}));
    EXPECT_EQ(TranscodeOnce(c, {0xFFFFFFFFu}).result, kTranscodeNotInRepertoire);
}

TEST(UTF32ToUTF16ConverterTest, PairIsNeverSplit) {
    UTF32ToUTF16Converter c;
    // One unit of room left after "A": the pair waits for the next call.
    std::vector<u32> const input = {0x41, 0x10000};
    auto step = TranscodeOnce(c, input, 2);
    EXPECT_EQ(step.result, kTranscodeOutputFull);
    EXPECT_EQ(step.consumed, 1u);
    EXPECT_EQ(step.output, Units16({0x41}));
    auto next = TranscodeOnce(c, {0x10000}, 2);
    EXPECT_EQ(next.output, Units16({0xD800, 0xDC00}));
    // The same through the limit.
    auto limited = TranscodeOnce(c, input, 8, 2);
    EXPECT_EQ(limited.result, kTranscodeLimitReached);
    EXPECT_EQ(limited.output, Units16({0x41}));
}

TEST(ByteOrderMarkConvertersTest, InserterWritesOneMarkPerText) {
    UTF16BOMinserter ins;
    EXPECT_EQ(TranscodeOnce(ins, {}).result, kTranscodeInputExhausted);  // no mark for nothing
    EXPECT_EQ(TranscodeOnce(ins, {0x41}).output, Units16({0xFEFF, 0x41}));
    EXPECT_EQ(TranscodeOnce(ins, {0x42}).output, Units16({0x42}));
    u16 buf[2];
    u16 * out = buf;
    EXPECT_EQ(ins.Finish(out, buf + 2, -1), kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(ins, {0x43}).output, Units16({0xFEFF, 0x43}));  // again after reset

    // Only room for the mark: the unit comes next time.
    UTF32BOMinserter ins32;
    auto step = TranscodeOnce(ins32, {0x41}, 1);
    EXPECT_EQ(step.result, kTranscodeOutputFull);
    EXPECT_EQ(step.output, Units32({0xFEFF}));
    EXPECT_EQ(TranscodeOnce(ins32, {0x41}).output, Units32({0x41}));
}

TEST(ByteOrderMarkConvertersTest, RemoverDropsOnlyTheFirstMark) {
    UTF16BOMremover rem;
    EXPECT_EQ(TranscodeOnce(rem, {0xFEFF, 0xFEFF, 0x41}).output, Units16({0xFEFF, 0x41}));
    UTF32BOMremover rem32;
    EXPECT_EQ(TranscodeOnce(rem32, {0x41, 0xFEFF}).output, Units32({0x41, 0xFEFF}));
    // Split: the first unit is decided when it arrives, not per call.
    UTF16BOMremover split;
    EXPECT_TRUE(TranscodeOnce(split, {}).output.empty());
    EXPECT_TRUE(TranscodeOnce(split, {0xFEFF}).output.empty());
    EXPECT_EQ(TranscodeOnce(split, {0xFEFF}).output, Units16({0xFEFF}));
}

TEST(UCS2toWhateverTest, SniffedMarkOverridesConfiguredOrder) {
    UCS2toWhatever big(true);
    EXPECT_EQ(TranscodeOnce(big, Chars({0xFF, 0xFE, 0x41, 0x00})).output,
              Units16({0xFEFF, 0x41}));
    u16 buf[2];
    u16 * out = buf;
    EXPECT_EQ(big.Finish(out, buf + 2, -1), kTranscodeComplete);
    // After reset the configured order is back.
    EXPECT_EQ(TranscodeOnce(big, Chars({0x00, 0x41})).output, Units16({0x41}));

    UCS2toWhatever little(false);
    EXPECT_EQ(TranscodeOnce(little, Chars({0xFE, 0xFF, 0x00, 0x41})).output,
              Units16({0xFEFF, 0x41}));
    // The text stays big-endian: a mark later in it changes nothing.
    EXPECT_EQ(TranscodeOnce(little, Chars({0xFF, 0xFE, 0x41, 0x00})).output,
              Units16({0xFFFE, 0x4100}));
}

TEST(UCS2toWhateverTest, OddByteIsHeldAcrossCallsAndReportedAtTheEnd) {
    UCS2toWhatever c(true);
    auto a = TranscodeOnce(c, Chars({0x00}));
    EXPECT_EQ(a.result, kTranscodeInputExhausted);
    EXPECT_TRUE(a.output.empty());
    EXPECT_EQ(TranscodeOnce(c, Chars({0x41, 0x00})).output, Units16({0x41}));
    u16 buf[2];
    u16 * out = buf;
    EXPECT_EQ(c.Finish(out, buf + 2, -1), kTranscodeIllegalInput);
    out = buf;
    EXPECT_EQ(c.Finish(out, buf + 2, -1), kTranscodeComplete);
}

TEST(UCS2fromWhateverTest, ByteOrderAndWholePairs) {
    UCS2fromWhatever big(true);
    UCS2fromWhatever little(false);
    EXPECT_EQ(TranscodeOnce(big, {0x0041, 0xFEFF}).output, Chars({0x00, 0x41, 0xFE, 0xFF}));
    EXPECT_EQ(TranscodeOnce(little, {0x0041}).output, Chars({0x41, 0x00}));
    // Fewer than two bytes of limit: nothing is read.
    auto limited = TranscodeOnce(big, {0x41}, 8, 1);
    EXPECT_EQ(limited.result, kTranscodeLimitReached);
    EXPECT_EQ(limited.consumed, 0u);
    // A pair with room for one unit only is not split.
    auto pair = TranscodeOnce(big, {0xD800, 0xDC00}, 8, 3);
    EXPECT_EQ(pair.result, kTranscodeLimitReached);
    EXPECT_TRUE(pair.output.empty());
    auto room = TranscodeOnce(big, {0xD800, 0xDC00}, 3);
    EXPECT_EQ(room.result, kTranscodeOutputFull);
    EXPECT_EQ(room.consumed, 0u);
}

TEST(UTF32BytesTest, GroupsHeldAcrossCallsSniffedAndReported) {
    UTF32toWhatever c(true);
    EXPECT_TRUE(TranscodeOnce(c, Chars({0xFF, 0xFE, 0x00})).output.empty());
    EXPECT_EQ(TranscodeOnce(c, Chars({0x00, 0x41, 0x00, 0x00, 0x00})).output,
              Units32({0xFEFF, 0x41}));
    // No range check here.
    EXPECT_EQ(TranscodeOnce(c, Chars({0xFF, 0xFF, 0xFF, 0x7F})).output, Units32({0x7FFFFFFF}));
    TranscodeOnce(c, Chars({0x00, 0x00, 0x41}));
    u32 buf[2];
    u32 * out = buf;
    EXPECT_EQ(c.Finish(out, buf + 2, -1), kTranscodeIllegalInput);  // three bytes left over

    UTF32fromWhatever big(true);
    UTF32fromWhatever little(false);
    EXPECT_EQ(TranscodeOnce(big, {0x10FFFF}).output, Chars({0x00, 0x10, 0xFF, 0xFF}));
    EXPECT_EQ(TranscodeOnce(little, {0x10FFFF}).output, Chars({0xFF, 0xFF, 0x10, 0x00}));
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 8, 3).result, kTranscodeLimitReached);
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 3).result, kTranscodeOutputFull);
}

}  // namespace
