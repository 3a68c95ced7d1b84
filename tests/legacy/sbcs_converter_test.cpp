// The single-byte converters over the toy code page of mbcs_test_tables.h, so
// that every rule can be seen without an encoding library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "legacy/mbcs_test_tables.h"
#include "support/transcode_once.h"
#include "zuuc/zuuc.h"

using mbcs_test::ToySbcs;

namespace {

using u16 = unsigned short;
using u32 = unsigned int;

std::vector<char> Bytes(std::initializer_list<unsigned> list) {
    std::vector<char> v;
    for (unsigned b : list) v.push_back(static_cast<char>(b));
    return v;
}

}  // namespace

TEST(SbcsConverters, DecodeStopsOnUndefinedByteAfterConsumingIt) {
    SBCStoUTF16 t16(ToySbcs().to_unicode, true);
    auto r = TranscodeOnce(t16, Bytes({'a', 0x80, 0x81, 'b'}));
    EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ((std::vector<u16>{'a', 0x20AC}), r.output);
    // The next byte converts normally.
    std::vector<char> rest = Bytes({'b'});
    r = TranscodeOnce(t16, rest);
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ((std::vector<u16>{'b'}), r.output);

    SBCStoUTF32 t32(ToySbcs().to_unicode, true);
    auto w = TranscodeOnce(t32, Bytes({0x81}));
    EXPECT_EQ(kTranscodeNoCharacterDefined, w.result);
    EXPECT_EQ(1u, w.consumed);
    EXPECT_TRUE(w.output.empty());  // never U+FFFD itself
}

TEST(SbcsConverters, OutputFullAndLimitLeaveTheCharacterUnconsumed) {
    SBCStoUTF32 dec(ToySbcs().to_unicode, true);
    auto r = TranscodeOnce(dec, Bytes({'a', 'b', 'c'}), 2);
    EXPECT_EQ(kTranscodeOutputFull, r.result);
    EXPECT_EQ(2u, r.consumed);
    r = TranscodeOnce(dec, Bytes({'a', 'b', 'c'}), 64, 1);
    EXPECT_EQ(kTranscodeLimitReached, r.result);
    EXPECT_EQ(1u, r.consumed);

    SBCSFromUTF16 enc(&ToySbcs().plane, true);
    auto e = TranscodeOnce(enc, std::vector<u16>{'x', 'y', 'z'}, 64, 2);
    EXPECT_EQ(kTranscodeLimitReached, e.result);
    EXPECT_EQ(2u, e.consumed);
    EXPECT_EQ(std::string("xy"), std::string(e.output.begin(), e.output.end()));
    e = TranscodeOnce(enc, std::vector<u16>{'x', 'y', 'z'}, 1);
    EXPECT_EQ(kTranscodeOutputFull, e.result);
    EXPECT_EQ(1u, e.consumed);

    Latin1FromUTF32 latin;
    auto l = TranscodeOnce(latin, std::vector<u32>{'x', 'y'}, 64, 0);
    EXPECT_EQ(kTranscodeLimitReached, l.result);
    EXPECT_EQ(0u, l.consumed);
}

TEST(SbcsConverters, EncodeThroughThePlaneTable) {
    SBCSFromUTF32 enc(&ToySbcs().plane, true);
    auto r = TranscodeOnce(enc, std::vector<u32>{'h', 0x20AC, 0xE9});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(Bytes({'h', 0x80, 0xE9}), r.output);

    // The marker byte means unmappable, even though 0x41 is a real byte.
    r = TranscodeOnce(enc, std::vector<u32>{'A', 'B'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    EXPECT_TRUE(r.output.empty());

    // Unmapped BMP character, and a supplementary one without a table access.
    r = TranscodeOnce(enc, std::vector<u32>{0x0100});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    SBCSFromUnicodeTable const no_pages = {0x41, nullptr};  // any access would crash
    SBCSFromUTF32 no_table(&no_pages, true);
    r = TranscodeOnce(no_table, std::vector<u32>{0x10000});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    char * out = nullptr;
    EXPECT_EQ(kTranscodeComplete, enc.Finish(out, out, -1));
}

// A surrogate pair is one character: one problem, not two.
TEST(SbcsConverters, SurrogatePairIsOneUnmappableCharacter) {
    SBCSFromUTF16 enc(&ToySbcs().plane, true);
    auto r = TranscodeOnce(enc, std::vector<u16>{'a', 0xD83D, 0xDE00, 'b'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ(Bytes({'a'}), r.output);

    // Lone surrogates, high then low: one problem each, the next unit kept.
    r = TranscodeOnce(enc, std::vector<u16>{0xD800, 'x'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    r = TranscodeOnce(enc, std::vector<u16>{0xDC00, 'x'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);

    // A pair split between two calls is still one problem.
    r = TranscodeOnce(enc, std::vector<u16>{'a', 0xDBFF});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(2u, r.consumed);
    r = TranscodeOnce(enc, std::vector<u16>{0xDFFF, 'b'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    r = TranscodeOnce(enc, std::vector<u16>{'b'});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(Bytes({'b'}), r.output);

    // A high surrogate at the very end is reported by Finish, once.
    r = TranscodeOnce(enc, std::vector<u16>{0xD800});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    char * out = nullptr;
    EXPECT_EQ(kTranscodeNotInRepertoire, enc.Finish(out, out, -1));
    EXPECT_EQ(kTranscodeComplete, enc.Finish(out, out, -1));

    Latin1FromUTF16 latin;
    r = TranscodeOnce(latin, std::vector<u16>{0xE9, 0xD800, 0xDC00, 0xFF});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ(Bytes({0xE9}), r.output);
}

TEST(SbcsConverters, Latin1ConvertsByValue) {
    std::vector<char> all;
    for (unsigned b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    Latin1ToUTF16 to16;
    auto r = TranscodeOnce(to16, all, 256);
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    ASSERT_EQ(256u, r.output.size());
    for (unsigned b = 0; b < 256; ++b) EXPECT_EQ(b, r.output[b]);

    Latin1FromUTF32 from32;
    auto e = TranscodeOnce(from32, std::vector<u32>{0x80, 0xFF, 0x100});
    EXPECT_EQ(kTranscodeNotInRepertoire, e.result);
    EXPECT_EQ(3u, e.consumed);
    EXPECT_EQ(Bytes({0x80, 0xFF}), e.output);
}
