// The UTF-8 and UTF-EBCDIC converters, driven directly.
#include <gtest/gtest.h>

#include "support/transcode_once.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/utf8_encodings.h"

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

}  // namespace

TEST(UTF8Decoding, ByteOrderMarkIsDroppedWherever) {
    ExpectDecodes({0xEF, 0xBB, 0xBF, 0x41}, {0x41});
    ExpectDecodes({0x41, 0xEF, 0xBB, 0xBF, 0x42}, {0x41, 0x42});
    ExpectDecodes({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF}, {});
}

TEST(UTF8Decoding, MalformedFormsAreOneProblemEach) {
    // Overlong forms.
    ExpectDecodes({0xC0, 0x80}, {P});
    ExpectDecodes({0xC1, 0xBF, 0x41}, {P, 0x41});
    ExpectDecodes({0xE0, 0x80, 0x80}, {P});
    ExpectDecodes({0xE0, 0x9F, 0xBF}, {P});
    ExpectDecodes({0xF0, 0x80, 0x80, 0x80}, {P});
    ExpectDecodes({0xF0, 0x8F, 0xBF, 0xBF}, {P});
    // Surrogates encoded in UTF-8.
    ExpectDecodes({0xED, 0xA0, 0x80}, {P});
    ExpectDecodes({0xED, 0xBF, 0xBF, 0x41}, {P, 0x41});
    // Beyond U+10FFFF.
    ExpectDecodes({0xF4, 0x90, 0x80, 0x80}, {P});
    ExpectDecodes({0xF5, 0x80, 0x80, 0x80}, {P});
    ExpectDecodes({0xF7, 0xBF, 0xBF, 0xBF}, {P});
    // 5- and 6-byte leads and F8..FF are malformed by themselves; their
    // continuation bytes are stray.
    ExpectDecodes({0xF8, 0x88, 0x80, 0x80, 0x80}, {P, P, P, P, P});
    ExpectDecodes({0xFC, 0x41}, {P, 0x41});
    ExpectDecodes({0xFE, 0xFF, 0x42}, {P, P, 0x42});
    // Lone continuation bytes.
    ExpectDecodes({0x80}, {P});
    ExpectDecodes({0x41, 0xBF, 0x80, 0x42}, {0x41, P, P, 0x42});
}

TEST(UTF8Decoding, CutShortSequenceDoesNotSwallowTheNextByte) {
    ExpectDecodes({0xC3, 0x41}, {P, 0x41});
    ExpectDecodes({0xE2, 0x82, 0x41}, {P, 0x41});
    ExpectDecodes({0xF0, 0x9F, 0x98, 0x41}, {P, 0x41});
    // The interrupting byte may itself start a sequence, or be malformed.
    ExpectDecodes({0xE2, 0xC3, 0xA9}, {P, 0xE9});
    ExpectDecodes({0xC3, 0xF8, 0x41}, {P, P, 0x41});
    ExpectDecodes({0xE0, 0x80, 0x41}, {P, 0x41});
    ExpectDecodes({0xC3, 0xEF, 0xBB, 0xBF, 0x41}, {P, 0x41});
    ExpectDecodes({0xC3, 0xC3, 0xC3, 0xA9}, {P, P, 0xE9});
}

TEST(UTF8Decoding, TruncatedAtEndOfInputIsOneProblem) {
    ExpectDecodes({0xC3}, {P});
    ExpectDecodes({0x41, 0xE2, 0x82}, {0x41, P});
    ExpectDecodes({0xF0, 0x9F, 0x98}, {P});
    ExpectDecodes({0xF5, 0x80}, {P});
}

// Room and limit for whole pairs are swept in utf32_stretch_test; here the
// held bytes of a split character stay held while the output is full.
TEST(UTF8Decoding, HeldBytesWaitForRoomForBothUnits) {
    UTF8ToUTF16 t;
    EXPECT_EQ(TranscodeOnce(t, Bytes({0xF0, 0x9F})), (TranscodeStep<u16>{kTranscodeInputExhausted, 2, {}}));
    EXPECT_EQ(TranscodeOnce(t, Bytes({0x98, 0x80}), 1), (TranscodeStep<u16>{kTranscodeOutputFull, 0, {}}));
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
    EXPECT_EQ((std::vector<long>{0xB3, 0xFE, 0xFE, 0xFC}), Drive(encoder, std::vector<u16>{0xFFFD}));

    UTF8EBCDICtoWhatever decoder;
    ExpectSplitInvariant(decoder, Bytes({0xC1, 0x46, 0x80, 0x47, 0x80, 0x76, 0xCC, 0xB4, 0x80, 0x80, 0x80}),
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
