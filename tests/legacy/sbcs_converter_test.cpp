// The single-byte converters over the toy code page of mbcs_test_tables.h, so
// that every rule can be seen without an encoding library. The sweeps over
// every output size and limit are in encoder_stretch_test.cpp; these are the
// cases they do not reach: pairs split between calls, Finish, Latin-1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "legacy/mbcs_test_tables.h"
#include "zuuc/zuuc.h"

using namespace zuuc_test::mbcs;

namespace {

using u16 = unsigned short;
using u32 = unsigned int;
using U16s = std::vector<u16>;
using U32s = std::vector<u32>;

std::vector<char> Bytes(std::initializer_list<unsigned> list) {
    std::vector<char> v;
    for (unsigned b : list) v.push_back(static_cast<char>(b));
    return v;
}

}  // namespace

TEST(SbcsConverters, Latin1StopsAtLimitsAndBeyondU00FF) {
    Latin1FromUTF32 latin;
    EXPECT_TRUE(Ran(TranscodeOnce(latin, U32s{'x', 'y'}, 64, 0), kTranscodeLimitReached, 0));
    EXPECT_TRUE(Ran(TranscodeOnce(latin, U32s{'a', 0xFF, 0x100}, 64, 2), kTranscodeNotInRepertoire,
                    3, Bytes({'a', 0xFF})));
}

// A supplementary character is unmappable without a table access.
TEST(SbcsConverters, SupplementaryCharactersAreNotLookedUp) {
    SBCSFromUnicodeTable const no_pages = {0x41, nullptr};  // any access would crash
    SBCSFromUTF32 no_table(&no_pages, true);
    EXPECT_TRUE(Ran(TranscodeOnce(no_table, U32s{0x10000}), kTranscodeNotInRepertoire, 1));
    char * out = nullptr;
    EXPECT_EQ(kTranscodeComplete, no_table.Finish(out, out, -1));
}

// A surrogate pair is one character: one problem, not two, even split
// between calls; a high surrogate ending a run is held.
TEST(SbcsConverters, SurrogatePairIsOneUnmappableCharacter) {
    SBCSFromUTF16 enc(&ToySbcs().plane, true);
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U16s{'a', 0xD83D, 0xDE00, 'b'}), kTranscodeNotInRepertoire,
                    3, "a"));
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U16s{0xD800, 'x'}), kTranscodeNotInRepertoire, 1));
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U16s{0xDC00, 'x'}), kTranscodeNotInRepertoire, 1));
    // The run ends exactly at the output end; the high surrogate is held.
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U16s{'a', 'b', 0xDBFF}, 2), kTranscodeInputExhausted, 3));
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U16s{0xDFFF, 'b'}), kTranscodeNotInRepertoire, 1, ""));
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U16s{'b'}), kTranscodeInputExhausted, 1, "b"));
    // A high surrogate at the very end is reported by Finish, once.
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U16s{0xD800}), kTranscodeInputExhausted, 1));
    char * out = nullptr;
    EXPECT_EQ(kTranscodeNotInRepertoire, enc.Finish(out, out, -1));
    EXPECT_EQ(kTranscodeComplete, enc.Finish(out, out, -1));

    Latin1FromUTF16 latin;
    EXPECT_TRUE(Ran(TranscodeOnce(latin, U16s{0xE9, 0xD800, 0xDC00, 0xFF}),
                    kTranscodeNotInRepertoire, 3, Bytes({0xE9})));
}
