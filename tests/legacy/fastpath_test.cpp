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

using U16s = std::vector<unsigned short>;

// ASCII, and 81 40 = U+3042, 81 41 = U+4E00; other trails are invalid.
StateTable<unsigned short> MakeTable() {
    StateTable<unsigned short> t;
    t.AddState(0xFFFD, 0);
    t.AddState(0xFFFD, 0);
    t.Identity(0, 0x00, 0x7F, 0);
    t.Set(0, 0x81, 0xFFFF, 1);
    t.Set(1, 0x40, 0x3042, 0);
    t.Set(1, 0x41, 0x4E00, 0);
    return t;
}

}  // namespace

TEST(MbcsFastPath, ProblemsAndSplitsRightAfterARun) {
    StateTable<unsigned short> table = MakeTable();
    std::string const run = "abcdefghijklmnop";
    // An invalid sequence right after a long ASCII run: the lead consumed by
    // Transcode (0x7F is read again), both left in place by TranscodeInBlock.
    MBCStoUTF16 plain(table.Get(), true);
    auto r = TranscodeOnce(plain, Bytes(run + "\x81\x7Fxyz"));
    EXPECT_TRUE(Ran(r, kTranscodeNoCharacterDefined, 17));
    EXPECT_EQ(16u, r.output.size());
    MBCStoUTF16 block(table.Get(), true);
    EXPECT_TRUE(Ran(TranscodeOnce(block, Bytes(run + "\x81\x7Fxyz"), 64, -1, true),
                    kTranscodeNoCharacterDefined, 16));
    // A lead byte ending the input after a run is held for the next call.
    MBCStoUTF16 split(table.Get(), true);
    EXPECT_TRUE(Ran(TranscodeOnce(split, Bytes(run + "\x81")), kTranscodeInputExhausted, 17));
    r = TranscodeOnce(split, Bytes("\x41" "abcdefghij"));
    EXPECT_EQ(11u, r.output.size());
    EXPECT_EQ(0x4E00, r.output[0]);
    // Output full exactly at the end of a run: the lead byte is not taken.
    MBCStoUTF16 full(table.Get(), true);
    EXPECT_TRUE(Ran(TranscodeOnce(full, Bytes(run + "\x81\x40"), 16), kTranscodeOutputFull, 16));
}

TEST(MbcsFastPath, TwoByteStepAtTheEdgesOfTheStretch) {
    StateTable<unsigned short> table = MakeTable();
    // A lead byte that ends the input right after a two-byte character waits
    // for its trail in the next call.
    MBCStoUTF16 split(table.Get(), true);
    EXPECT_TRUE(Ran(TranscodeOnce(split, Bytes("\x81\x40\x81")), kTranscodeInputExhausted, 3,
                    U16s{0x3042}));
    EXPECT_TRUE(Ran(TranscodeOnce(split, Bytes("\x41z")), kTranscodeInputExhausted, 2,
                    U16s{0x4E00, 'z'}));
    // Room or limit for the ASCII only: the lead byte is not taken. One more
    // unit of room: the lead is read at the end of one stretch and its trail
    // in the next.
    for (bool in_block : {false, true}) {
        MBCStoUTF16 room(table.Get(), true), limit(table.Get(), true), enough(table.Get(), true);
        EXPECT_TRUE(Ran(TranscodeOnce(room, Bytes("ab\x81\x40"), 2, -1, in_block),
                        kTranscodeOutputFull, 2));
        EXPECT_TRUE(Ran(TranscodeOnce(limit, Bytes("ab\x81\x40"), 64, 2, in_block),
                        kTranscodeLimitReached, 2));
        EXPECT_TRUE(Ran(TranscodeOnce(enough, Bytes("ab\x81\x40"), 3, -1, in_block),
                        kTranscodeInputExhausted, 4, U16s{'a', 'b', 0x3042}));
    }
    // A trail the lead cannot take: Transcode reports the lead alone (the
    // ASCII byte after it is read again), TranscodeInBlock leaves both.
    MBCStoUTF16 plain(table.Get(), true), block(table.Get(), true);
    EXPECT_TRUE(Ran(TranscodeOnce(plain, Bytes("\x81\x40\x81zq")), kTranscodeNoCharacterDefined, 3,
                    U16s{0x3042}));
    EXPECT_TRUE(Ran(TranscodeOnce(block, Bytes("\x81\x40\x81zq"), 64, -1, true),
                    kTranscodeNoCharacterDefined, 2));
}
