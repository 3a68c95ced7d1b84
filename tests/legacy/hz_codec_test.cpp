// HZ-GB-2312 over a hand-made stand-in for GB2312: ASCII, and the pairs
// A1..F7 x A1..FE decoding to U+4E00 + 94 * (lead - A1) + (trail - A1).
#include <gtest/gtest.h>

#include "mbcs_test_tables.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"

using namespace zuuc_test::mbcs;

namespace {

unsigned int GB(unsigned int lead, unsigned int trail) { return 0x4E00 + 94 * (lead - 0xA1) + (trail - 0xA1); }

char const * kNames[] = {"Test-GB", nullptr};
unsigned char const kSub[] = {0x1A, 0};

struct FakeGB2312 {
    StateTable<unsigned short> decode;
    NarrowPlane<unsigned short> encode{0xFFFF};
    MBCSEncoding encoding{TextEncodingID(0), kSub, kNames, nullptr, 0, true, nullptr, nullptr};
    LinearAllocator heap{nullptr, 0, "test", 0};

    FakeGB2312() {
        // One trail state per lead byte.
        decode.AddState(0xFFFD, 0);
        decode.Identity(0, 0, 0x7F, 0);
        for (unsigned int lead = 0xA1; lead <= 0xF7; ++lead) {
            unsigned int const s = decode.AddState(0xFFFD, 0);
            decode.Set(0, lead, 0xFFFF, s);
            for (unsigned int t = 0xA1; t <= 0xFE; ++t) {
                decode.Set(s, t, GB(lead, t), 0);
                encode.Set(GB(lead, t), static_cast<unsigned short>(lead << 8 | t));
            }
        }
        decode.Set(0xAA - 0xA1 + 1, 0xA1, 0xFFFD, 0);  // one hole: AA A1 has no character
        for (unsigned int c = 0; c < 0x80; ++c) {
            encode.Set(c, static_cast<unsigned short>(c));
        }
        encoding.InstallTables(decode.Get(), encode.Get());
    }
};


}  // namespace

TEST(HzDecode, ModesTildesAndLineContinuations) {
    FakeGB2312 gb;
    HZEncoding::ToUTF32 d(gb.encoding, gb.heap);
    EXPECT_EQ(U32({GB(0xBB, 0xCA)}), ConvertAll(d, Bytes("~{\x3B\x4A~}")));
    EXPECT_EQ(U32({'a', '~', 'b'}), ConvertAll(d, Bytes("a~~b")));
    // "~" LF is dropped in both modes, and so is "~" CR LF.
    EXPECT_EQ(U32({'a', 'b', GB(0xBB, 0xCA), GB(0xBB, 0xCA), '\n', 'c'}),
              ConvertAll(d, Bytes("a~\nb~{\x3B\x4A~\n\x3B\x4A\n~}c")));
    EXPECT_EQ(U32({'a', 'b'}), ConvertAll(d, Bytes("a~\r\nb")));
    // Controls and spaces pass through in GB mode.
    EXPECT_EQ(U32({GB(0xB0, 0xA1), ' ', GB(0xB0, 0xA2)}), ConvertAll(d, Bytes("~{\x30\x21 \x30\x22~}")));
}

TEST(HzDecode, InvalidBytes) {
    FakeGB2312 gb;
    HZEncoding::ToUTF32 d(gb.encoding, gb.heap);
    std::vector<int> results;
    EXPECT_EQ(U32({'y'}), ConvertAll(d, Bytes("~xy"), &results));
    EXPECT_EQ(kTranscodeIllegalInput, results.front());
    // A pair GB2312 does not define: the inner converter's result.
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("~{\x2A\x21\x30\x21")), kTranscodeNoCharacterDefined, 4));
    EXPECT_EQ(U32({GB(0xB0, 0xA1)}), TranscodeOnce(d, Bytes("\x30\x21")).output);
}

TEST(HzDecode, SplitsAndTheEndOfInput) {
    FakeGB2312 gb;
    HZEncoding::ToUTF32 d(gb.encoding, gb.heap);
    EXPECT_TRUE(TranscodeOnce(d, Bytes("~{\x3B")).output.empty());
    EXPECT_EQ(U32({GB(0xBB, 0xCA), 'z'}), TranscodeOnce(d, Bytes("\x4A~}z")).output);
    // A lone lead byte, or a "~", at the very end.
    TranscodeOnce(d, Bytes("~{\x3B"));
    unsigned int buf[2];
    unsigned int * out = buf;
    EXPECT_EQ(kTranscodeIllegalInput, d.Finish(out, buf + 2, -1));
    TranscodeOnce(d, Bytes("a~"));
    EXPECT_EQ(kTranscodeIllegalInput, d.Finish(out, buf + 2, -1));
    TranscodeOnce(d, Bytes("a~{\x3B\x4A~}"));
    EXPECT_EQ(kTranscodeComplete, d.Finish(out, buf + 2, -1));
    // Output full: the character's last byte stays.
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("a~{\x3B\x4A"), 1), kTranscodeOutputFull, 4));
    EXPECT_EQ(U32({GB(0xBB, 0xCA)}), TranscodeOnce(d, Bytes("\x4A")).output);
}

TEST(HzEncode, RunsOfGBBetweenShifts) {
    FakeGB2312 gb;
    HZEncoding::FromUTF32 e(gb.encoding, gb.heap);
    EXPECT_EQ("~{\x3B\x4A~}A", Str(ConvertAll(e, U32({GB(0xBB, 0xCA), 'A'}))));
    EXPECT_EQ("a~~~{\x30\x21\x30\x22~}\n", Str(ConvertAll(e, U32({'a', '~', GB(0xB0, 0xA1), GB(0xB0, 0xA2), '\n'}))));
    // A text may end in GB mode: Finish adds nothing.
    EXPECT_EQ("~{\x30\x21", Str(ConvertAll(e, U32({GB(0xB0, 0xA1)}))));
}

TEST(HzEncode, UnmappableAndWholeCharacters) {
    FakeGB2312 gb;
    HZEncoding::FromUTF32 e(gb.encoding, gb.heap);
    // No "~{" for a character HZ cannot carry.
    EXPECT_TRUE(Ran(TranscodeOnce(e, U32({'a', 0x00E9, 'b'})), kTranscodeNotInRepertoire, 2, "a"));
    e.Reset();
    EXPECT_TRUE(Ran(TranscodeOnce(e, U32({'a', GB(0xB0, 0xA1)}), 4), kTranscodeOutputFull, 1, "a"));
    e.Reset();
    EXPECT_TRUE(Ran(TranscodeOnce(e, U32({GB(0xB0, 0xA1), 'b'}), 64, 5), kTranscodeLimitReached, 1,
                    "~{\x30\x21"));
}

TEST(HzDetector, ModeSwitchesEarnRejectionsCost) {
    FakeGB2312 gb;
    HZEncoding::EncodingDetector good(gb.encoding);
    EXPECT_EQ(-1, good.GetRating());
    std::string const text("ab~{\x3B\x4A~}c");
    auto const * b = reinterpret_cast<unsigned char const *>(text.data());
    good.Examine(b, b, b + text.size());
    EXPECT_EQ(1, good.GetRating());
    HZEncoding::EncodingDetector bad(gb.encoding);
    std::string const binary("\x80\x81~{\n~}");
    b = reinterpret_cast<unsigned char const *>(binary.data());
    bad.Examine(b, b, b + binary.size());
    EXPECT_EQ(-1 - 2 + 2 - 1, bad.GetRating());
}
