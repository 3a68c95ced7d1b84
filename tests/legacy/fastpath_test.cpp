// The multi-byte decoder runs stretches without room and limit tests and
// copies ASCII runs directly; these tests put problems and splits right after
// a run and at the edges of a stretch (the sweeps over every output size,
// limit and split point are in decoder_step_test.cpp).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mbcs_test_tables.h"
#include "zuuc/mbcs_encoding.h"

using namespace mbcs_test;

namespace {

// ASCII, and 81 40 = U+3042, 81 41 = U+4E00; other trails are invalid.
StateTable<unsigned short> MakeTable(bool ascii_identity) {
    StateTable<unsigned short> t;
    t.AddState(0xFFFD, 0);
    t.AddState(0xFFFD, 0);
    t.Identity(0, 0x00, 0x7F, 0);
    if (!ascii_identity) {
        t.Set(0, 'q', 0x0051, 0);  // 'q' decodes to 'Q': no ASCII shortcut
    }
    t.Set(0, 0x81, 0xFFFF, 1);
    t.Set(1, 0x40, 0x3042, 0);
    t.Set(1, 0x41, 0x4E00, 0);
    return t;
}

}  // namespace

TEST(MbcsFastPath, ProblemsAndSplitsRightAfterARun) {
    StateTable<unsigned short> table = MakeTable(true);
    // An invalid sequence right after a long ASCII run: consumed by Transcode,
    // left in place by TranscodeInBlock.
    std::vector<char> const bad = Bytes("abcdefghijklmnop\x81\x7Fxyz");
    MBCStoUTF16 plain(table.Get(), true);
    auto r = TranscodeOnce(plain, bad);
    EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
    EXPECT_EQ(17u, r.consumed);  // the lead only: 0x7F is read again
    EXPECT_EQ(16u, r.output.size());
    MBCStoUTF16 block(table.Get(), true);
    r = TranscodeOnce(block, bad, 64, -1, true);
    EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
    EXPECT_EQ(16u, r.consumed);

    // A lead byte ending the input after a run is held for the next call.
    MBCStoUTF16 split(table.Get(), true);
    r = TranscodeOnce(split, Bytes("abcdefghijklmnop\x81"));
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(17u, r.consumed);
    r = TranscodeOnce(split, Bytes("\x41" "abcdefghij"));
    EXPECT_EQ(11u, r.output.size());
    EXPECT_EQ(0x4E00, r.output[0]);

    // Output full exactly at the end of a run, with a lead byte next: the
    // lead byte is not taken.
    MBCStoUTF16 full(table.Get(), true);
    r = TranscodeOnce(full, Bytes("abcdefghijklmnop\x81\x40"), 16);
    EXPECT_EQ(kTranscodeOutputFull, r.result);
    EXPECT_EQ(16u, r.consumed);
}

TEST(MbcsFastPath, TwoByteStepAtTheEdgesOfTheStretch) {
    StateTable<unsigned short> table = MakeTable(true);

    // A lead byte that ends the input right after a two-byte character waits
    // for its trail in the next call.
    MBCStoUTF16 split(table.Get(), true);
    auto r = TranscodeOnce(split, Bytes("\x81\x40\x81"));
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ(std::vector<unsigned short>{0x3042}, r.output);
    r = TranscodeOnce(split, Bytes("\x41z"));
    EXPECT_EQ((std::vector<unsigned short>{0x4E00, 'z'}), r.output);

    // Room or limit for the ASCII only: the lead byte is not taken. One more
    // unit of room: the lead is read at the end of one stretch and its trail
    // in the next.
    for (bool in_block : {false, true}) {
        MBCStoUTF16 room(table.Get(), true);
        r = TranscodeOnce(room, Bytes("ab\x81\x40"), 2, -1, in_block);
        EXPECT_EQ(kTranscodeOutputFull, r.result);
        EXPECT_EQ(2u, r.consumed);
        MBCStoUTF16 limit(table.Get(), true);
        r = TranscodeOnce(limit, Bytes("ab\x81\x40"), 64, 2, in_block);
        EXPECT_EQ(kTranscodeLimitReached, r.result);
        EXPECT_EQ(2u, r.consumed);
        MBCStoUTF16 enough(table.Get(), true);
        r = TranscodeOnce(enough, Bytes("ab\x81\x40"), 3, -1, in_block);
        EXPECT_EQ(kTranscodeInputExhausted, r.result);
        EXPECT_EQ(4u, r.consumed);
        EXPECT_EQ((std::vector<unsigned short>{'a', 'b', 0x3042}), r.output);
    }

    // A trail the lead cannot take: Transcode reports the lead alone (the
    // ASCII byte after it is read again), TranscodeInBlock leaves both.
    MBCStoUTF16 plain(table.Get(), true);
    r = TranscodeOnce(plain, Bytes("\x81\x40\x81zq"));
    EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ(std::vector<unsigned short>{0x3042}, r.output);
    MBCStoUTF16 block(table.Get(), true);
    r = TranscodeOnce(block, Bytes("\x81\x40\x81zq"), 64, -1, true);
    EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
    EXPECT_EQ(2u, r.consumed);
}
