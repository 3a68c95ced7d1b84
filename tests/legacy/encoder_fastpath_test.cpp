// The single-byte encoders and the multi-byte encoders from UTF-16 copy runs
// of plain characters with room and limit settled once per run (the sweeps
// over every output size and limit are in encoder_stretch_test.cpp). These
// tests put problems right after a run: an unmapped character, a surrogate,
// a pair split between calls.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mbcs_test_tables.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/sbcs_encoding.h"

using namespace mbcs_test;

namespace {

using u16 = unsigned short;
using u32 = unsigned int;

// Single-byte: ToySbcs() (U+20AC to 0x80; the marker for "unmapped" is 0x41).

// Multi-byte: ASCII to itself except '\' (two bytes 81 5F) and '~'
// (unmapped); U+3042 = 82 A0, U+00E9 = E9.
template <class V>
NarrowPlane<V> MakeMbcs(V undefined) {
    NarrowPlane<V> plane(undefined);
    for (unsigned int c = 0; c < 0x80; ++c) {
        plane.Set(c, static_cast<V>(c));
    }
    plane.Set('\\', 0x815F);
    plane.Set('~', undefined);
    plane.Set(0x3042, 0x82A0);
    plane.Set(0xE9, 0xE9);
    return plane;
}

}  // namespace

TEST(EncoderFastPath, SingleByteProblemRightAfterARun) {
    // The run fills the output (or the limit) exactly; the unmappable unit
    // that follows is still reported and consumed, as one character.
    SBCSFromUTF16 enc(&ToySbcs().plane, true);
    auto r = TranscodeOnce(enc, std::vector<u16>{'a', 'b', 'c', 'A', 'd'}, 3);
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(4u, r.consumed);
    EXPECT_EQ("abc", Str(r.output));
    r = TranscodeOnce(enc, std::vector<u16>{'a', 'b', 'c', 'A', 'd'}, 64, 3);
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(4u, r.consumed);
    r = TranscodeOnce(enc, std::vector<u16>{'a', 'b', 0xD83D, 0xDE00, 'c'}, 2);
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(4u, r.consumed);
    EXPECT_EQ("ab", Str(r.output));
    r = TranscodeOnce(enc, std::vector<u16>{'a', 0xDC00, 'b'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(2u, r.consumed);

    SBCSFromUTF32 enc32(&ToySbcs().plane, true);
    auto r32 = TranscodeOnce(enc32, std::vector<u32>{'a', 0x1F600, 'b'}, 1);
    EXPECT_EQ(kTranscodeNotInRepertoire, r32.result);
    EXPECT_EQ(2u, r32.consumed);
    Latin1FromUTF32 latin;
    r32 = TranscodeOnce(latin, std::vector<u32>{'a', 'b', 0x100}, 64, 2);
    EXPECT_EQ(kTranscodeNotInRepertoire, r32.result);
    EXPECT_EQ(3u, r32.consumed);
    EXPECT_EQ("ab", Str(r32.output));
}

TEST(EncoderFastPath, SingleByteHighSurrogateEndingARunIsHeld) {
    SBCSFromUTF16 enc(&ToySbcs().plane, true);
    // The run ends exactly at the output end; the high surrogate behind it
    // is taken and held, and its low half in the next call is one problem.
    auto r = TranscodeOnce(enc, std::vector<u16>{'a', 'b', 0xD83D}, 2);
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(3u, r.consumed);
    r = TranscodeOnce(enc, std::vector<u16>{0xDE00, 'c', 'd'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    EXPECT_TRUE(r.output.empty());
    r = TranscodeOnce(enc, std::vector<u16>{'c', 'd'});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ("cd", Str(r.output));

    // Held at the end of the text: Finish reports it once.
    r = TranscodeOnce(enc, std::vector<u16>{'e', 0xDBFF});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    char * out = nullptr;
    EXPECT_EQ(kTranscodeNotInRepertoire, enc.Finish(out, out, -1));
    EXPECT_EQ(kTranscodeComplete, enc.Finish(out, out, -1));
}

TEST(EncoderFastPath, MultiByteProblemRightAfterARun) {
    NarrowPlane<u16> const plane = MakeMbcs<u16>(0xFFFF);
    MBCSFromUTF16_16 enc(plane.Get(), true);
    // Unmapped ASCII right after a run that filled the output exactly.
    auto r = TranscodeOnce(enc, std::vector<u16>{'a', 'b', 'c', 'd', '~', 'x'}, 4);
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(5u, r.consumed);
    EXPECT_EQ("abcd", Str(r.output));
    // In a block nothing after the problem is consumed.
    r = TranscodeOnce(enc, std::vector<u16>{'a', 'b', '~'}, 64, -1, true);
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(2u, r.consumed);
    // A surrogate pair after a run is one problem.
    r = TranscodeOnce(enc, std::vector<u16>{'a', 0xD83D, 0xDE00, 'b'}, 64, 1);
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(3u, r.consumed);

    // A lone high surrogate between a double-byte character and the next run:
    // one problem for the surrogate alone, the ASCII unit after it is kept.
    r = TranscodeOnce(enc, std::vector<u16>{'a', 0x3042, 0xD800, 'b', 'c'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ("a\x82\xA0", Str(r.output));

    // An undefined marker inside ASCII ('?' here) is never copied as itself.
    NarrowPlane<u16> marked(0x3F);
    for (unsigned int c = 0; c < 0x80; ++c) {
        if (c != '?') marked.Set(c, static_cast<u16>(c));
    }
    MBCSFromUTF16_16 enc_marked(marked.Get(), true);
    r = TranscodeOnce(enc_marked, std::vector<u16>{'a', '?', 'b'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(2u, r.consumed);
    EXPECT_EQ("a", Str(r.output));
}

TEST(EncoderFastPath, MultiBytePairSplitBetweenCalls) {
    NarrowPlane<u16> const plane = MakeMbcs<u16>(0xFFFF);
    MBCSFromUTF16_16 enc(plane.Get(), true);
    auto r = TranscodeOnce(enc, std::vector<u16>{'a', 'b', 0xD83D}, 2);
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ("ab", Str(r.output));
    r = TranscodeOnce(enc, std::vector<u16>{0xDE00, 'c'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    r = TranscodeOnce(enc, std::vector<u16>{'c'});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ("c", Str(r.output));

    // A lone high surrogate held before plain text: the held unit is settled
    // first (the text after it is taken up in order, nothing lost).
    r = TranscodeOnce(enc, std::vector<u16>{0xD800});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    std::vector<u16> const xyz = {'x', 'y', 'z'};
    r = TranscodeOnce(enc, xyz);
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_TRUE(r.output.empty());
    std::vector<u16> const rest(xyz.begin() + static_cast<long>(r.consumed), xyz.end());
    r = TranscodeOnce(enc, rest);
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ("xyz", Str(r.output));
}
