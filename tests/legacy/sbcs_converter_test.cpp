// The single-byte converters over the toy code page of mbcs_test_tables.h, so
// that every rule can be seen without an encoding library. The sweeps over
// every output size and limit are in encoder_stretch_test.cpp; these are the
// cases they do not reach: pairs split between calls, Finish, Latin-1, a
// marker byte that is also a real byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "legacy/mbcs_test_tables.h"
#include "zuuc/zuuc.h"

using namespace mbcs_test;

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

TEST(SbcsConverters, DecodeStopsOnUndefinedByteAfterConsumingIt) {
    SBCStoUTF16 t16(ToySbcs().to_unicode, true);
    EXPECT_TRUE(Ran(TranscodeOnce(t16, Bytes({'a', 0x80, 0x81, 'b'})),
                    kTranscodeNoCharacterDefined, 3, U16s{'a', 0x20AC}));
    EXPECT_TRUE(Ran(TranscodeOnce(t16, Bytes({'b'})), kTranscodeInputExhausted, 1, U16s{'b'}));
    SBCStoUTF32 t32(ToySbcs().to_unicode, true);  // never U+FFFD itself
    EXPECT_TRUE(Ran(TranscodeOnce(t32, Bytes({0x81})), kTranscodeNoCharacterDefined, 1, U32s{}));
}

TEST(SbcsConverters, OutputFullAndLimitLeaveTheCharacterUnconsumed) {
    SBCStoUTF32 dec(ToySbcs().to_unicode, true);
    EXPECT_TRUE(Ran(TranscodeOnce(dec, Bytes({'a', 'b', 'c'}), 2), kTranscodeOutputFull, 2));
    EXPECT_TRUE(Ran(TranscodeOnce(dec, Bytes({'a', 'b', 'c'}), 64, 1), kTranscodeLimitReached, 1));
    Latin1FromUTF32 latin;
    EXPECT_TRUE(Ran(TranscodeOnce(latin, U32s{'x', 'y'}, 64, 0), kTranscodeLimitReached, 0));
    EXPECT_TRUE(Ran(TranscodeOnce(latin, U32s{'a', 'b', 0x100}, 64, 2), kTranscodeNotInRepertoire,
                    3, "ab"));
}

TEST(SbcsConverters, EncodeThroughThePlaneTable) {
    SBCSFromUTF32 enc(&ToySbcs().plane, true);
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U32s{'h', 0x20AC, 0xE9}), kTranscodeInputExhausted, 3,
                    Bytes({'h', 0x80, 0xE9})));
    // The marker byte means unmappable, even though 0x41 is a real byte.
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U32s{'A', 'B'}), kTranscodeNotInRepertoire, 1, ""));
    EXPECT_TRUE(Ran(TranscodeOnce(enc, U32s{'a', 0x1F600, 'b'}, 1), kTranscodeNotInRepertoire, 2));
    // A supplementary character without a table access.
    SBCSFromUnicodeTable const no_pages = {0x41, nullptr};  // any access would crash
    SBCSFromUTF32 no_table(&no_pages, true);
    EXPECT_TRUE(Ran(TranscodeOnce(no_table, U32s{0x10000}), kTranscodeNotInRepertoire, 1));
    char * out = nullptr;
    EXPECT_EQ(kTranscodeComplete, enc.Finish(out, out, -1));
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

TEST(SbcsConverters, Latin1ConvertsByValue) {
    std::vector<char> all;
    U16s values;
    for (unsigned b = 0; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
        values.push_back(static_cast<u16>(b));
    }
    Latin1ToUTF16 to16;
    EXPECT_TRUE(Ran(TranscodeOnce(to16, all, 256), kTranscodeInputExhausted, 256, values));
    Latin1FromUTF32 from32;
    EXPECT_TRUE(Ran(TranscodeOnce(from32, U32s{0x80, 0xFF, 0x100}), kTranscodeNotInRepertoire, 3,
                    Bytes({0x80, 0xFF})));
}
