// The converters of the 16- and 32-bit Unicode forms, driven directly.
#include <gtest/gtest.h>

#include "support/transcode_once.h"
#include "support/utf16_support.h"
#include "zuuc/unicode_encodings.h"

using namespace utf16_test;

namespace {

using Step32 = TranscodeStep<u32>;

std::vector<char> Chars(Bytes const & bytes) { return std::vector<char>(bytes.begin(), bytes.end()); }

TEST(UTF16ToUTF32ConverterTest, PairsCombineEvenAcrossCalls) {
    UTF16ToUTF32Converter c;
    EXPECT_EQ(TranscodeOnce(c, {0x41, 0xD83D}), (Step32{kTranscodeInputExhausted, 2, {0x41}}));
    // The pair combines; the lone low surrogate passes unchanged.
    EXPECT_EQ(TranscodeOnce(c, {0xDE00, 0xDC00}), (Step32{kTranscodeInputExhausted, 2, {0x1F600, 0xDC00}}));
}

TEST(UTF16ToUTF32ConverterTest, UnpairedHighSurrogateAcrossCallsAndAtTheEnd) {
    // The high surrogate ended the previous block: the unit after it is
    // taken (so the call moves on) and comes out first next time.
    UTF16ToUTF32Converter e;
    TranscodeOnce(e, {0xD83D});
    EXPECT_EQ(TranscodeOnce(e, {0x41, 0x42}), (Step32{kTranscodeIllegalInput, 1, {}}));
    EXPECT_EQ(TranscodeOnce(e, {0x42}).output, Units32({0x41, 0x42}));
    TranscodeOnce(e, {0xD83D});
    EXPECT_EQ(TranscodeOnce(e, {0xD83D}).result, kTranscodeIllegalInput);  // kept: a high surrogate
    // Still unpaired at the end; Finish reports it and resets.
    EXPECT_EQ(FinishOnce(e), (Step32{kTranscodeIllegalInput, 0, {}}));
    EXPECT_EQ(FinishOnce(e).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(e, {0xDFFF}).output, Units32({0xDFFF}));
    TranscodeOnce(e, {0xDBFF});
    TranscodeOnce(e, {0x43});
    EXPECT_EQ(FinishOnce(e), (Step32{kTranscodeComplete, 0, {0x43}}));

    // A high surrogate followed by another: the second still pairs.
    UTF16ToUTF32Converter d;
    EXPECT_EQ(TranscodeOnce(d, {0xD800, 0xD800, 0xDC00}), (Step32{kTranscodeIllegalInput, 1, {}}));
    EXPECT_EQ(TranscodeOnce(d, {0xD800, 0xDC00}).output, Units32({0x10000}));
}

TEST(ByteOrderMarkConvertersTest, InserterWritesOneMarkPerText) {
    UTF16BOMinserter ins;
    EXPECT_EQ(TranscodeOnce(ins, {}).result, kTranscodeInputExhausted);  // no mark for nothing
    EXPECT_EQ(TranscodeOnce(ins, {0x41}).output, Units16({0xFEFF, 0x41}));
    EXPECT_EQ(TranscodeOnce(ins, {0x42}).output, Units16({0x42}));
    EXPECT_EQ(FinishOnce(ins).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(ins, {0x43}).output, Units16({0xFEFF, 0x43}));  // again after reset

    // Only room for the mark: the unit comes next time.
    UTF32BOMinserter ins32;
    EXPECT_EQ(TranscodeOnce(ins32, {0x41}, 1), (Step32{kTranscodeOutputFull, 0, {0xFEFF}}));
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
    EXPECT_EQ(FinishOnce(big).result, kTranscodeComplete);
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
    EXPECT_EQ(TranscodeOnce(c, Chars({0x00})), (TranscodeStep<u16>{kTranscodeInputExhausted, 1, {}}));
    EXPECT_EQ(TranscodeOnce(c, Chars({0x41, 0x00})).output, Units16({0x41}));
    EXPECT_EQ(FinishOnce(c).result, kTranscodeIllegalInput);
    EXPECT_EQ(FinishOnce(c).result, kTranscodeComplete);
}

TEST(UCS2fromWhateverTest, ByteOrderAndWholePairs) {
    UCS2fromWhatever big(true);
    UCS2fromWhatever little(false);
    EXPECT_EQ(TranscodeOnce(big, {0x0041, 0xFEFF}).output, Chars({0x00, 0x41, 0xFE, 0xFF}));
    EXPECT_EQ(TranscodeOnce(little, {0x0041}).output, Chars({0x41, 0x00}));
    // Fewer than two bytes of limit: nothing is read.
    using Step = TranscodeStep<char>;
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 8, 1), (Step{kTranscodeLimitReached, 0, {}}));
    // A pair with room for one unit only is not split.
    EXPECT_EQ(TranscodeOnce(big, {0xD800, 0xDC00}, 8, 3), (Step{kTranscodeLimitReached, 0, {}}));
    EXPECT_EQ(TranscodeOnce(big, {0xD800, 0xDC00}, 3), (Step{kTranscodeOutputFull, 0, {}}));
}

TEST(UTF32BytesTest, GroupsHeldAcrossCallsSniffedAndReported) {
    UTF32toWhatever c(true);
    EXPECT_TRUE(TranscodeOnce(c, Chars({0xFF, 0xFE, 0x00})).output.empty());
    EXPECT_EQ(TranscodeOnce(c, Chars({0x00, 0x41, 0x00, 0x00, 0x00})).output,
              Units32({0xFEFF, 0x41}));
    // No range check here.
    EXPECT_EQ(TranscodeOnce(c, Chars({0xFF, 0xFF, 0xFF, 0x7F})).output, Units32({0x7FFFFFFF}));
    TranscodeOnce(c, Chars({0x00, 0x00, 0x41}));
    EXPECT_EQ(FinishOnce(c).result, kTranscodeIllegalInput);  // three bytes left over

    UTF32fromWhatever big(true);
    UTF32fromWhatever little(false);
    EXPECT_EQ(TranscodeOnce(big, {0x10FFFF}).output, Chars({0x00, 0x10, 0xFF, 0xFF}));
    EXPECT_EQ(TranscodeOnce(little, {0x10FFFF}).output, Chars({0xFF, 0xFF, 0x10, 0x00}));
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 8, 3).result, kTranscodeLimitReached);
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 3).result, kTranscodeOutputFull);
}

}  // namespace
