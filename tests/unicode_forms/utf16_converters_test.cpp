// The converters of the 16- and 32-bit Unicode forms, driven directly.
#include <gtest/gtest.h>

#include "support/transcode_once.h"
#include "support/utf16_support.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_test::utf16;

namespace {

using Step32 = TranscodeStep<u32>;

std::vector<char> Chars(Bytes const & bytes) { return std::vector<char>(bytes.begin(), bytes.end()); }

// Pairs split across calls, unpaired surrogates, marks and odd bytes at every
// split are checked through the streams by the round-trip tests; here, what
// Finish leaves for the next text.
TEST(UnicodeConvertersTest, FinishResetsForTheNextText) {
    UTF16ToUTF32Converter e;
    TranscodeOnce(e, {0xD83D});
    EXPECT_EQ(FinishOnce(e), (Step32{kTranscodeIllegalInput, 0, {}}));  // still unpaired
    EXPECT_EQ(FinishOnce(e).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(e, {0xDFFF}).output, Units32({0xDFFF}));
    // The unit taken after an unpaired high surrogate comes out at the end.
    TranscodeOnce(e, {0xDBFF});
    EXPECT_EQ(TranscodeOnce(e, {0x43}).result, kTranscodeIllegalInput);
    EXPECT_EQ(FinishOnce(e), (Step32{kTranscodeComplete, 0, {0x43}}));

    UTF16BOMinserter ins;
    EXPECT_EQ(TranscodeOnce(ins, {0x41}).output, Units16({0xFEFF, 0x41}));
    EXPECT_EQ(FinishOnce(ins).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(ins, {0x43}).output, Units16({0xFEFF, 0x43}));
    // Only room for the mark: the unit comes next time.
    UTF32BOMinserter ins32;
    EXPECT_EQ(TranscodeOnce(ins32, {0x41}, 1), (Step32{kTranscodeOutputFull, 0, {0xFEFF}}));
    EXPECT_EQ(TranscodeOnce(ins32, {0x41}).output, Units32({0x41}));

    // A sniffed mark overrides the configured order until the text ends.
    UCS2toWhatever big(true);
    EXPECT_EQ(TranscodeOnce(big, Chars({0xFF, 0xFE, 0x41, 0x00})).output, Units16({0xFEFF, 0x41}));
    EXPECT_EQ(FinishOnce(big).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(big, Chars({0x00, 0x41})).output, Units16({0x41}));
    UCS2toWhatever little(false);
    EXPECT_EQ(TranscodeOnce(little, Chars({0xFE, 0xFF, 0x00, 0x41})).output, Units16({0xFEFF, 0x41}));
    EXPECT_EQ(TranscodeOnce(little, Chars({0xFF, 0xFE, 0x41, 0x00})).output,
              Units16({0xFFFE, 0x4100}));
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
