// The single-byte converters over small tables built here, so that every
// rule can be seen without an encoding library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zuuc/zuuc.h"

namespace {

using u16 = unsigned short;
using u32 = unsigned int;

// A code page: ASCII, 0x80 = EURO SIGN, 0x81 undefined, 0xA0-0xFF Latin-1;
// from Unicode the undefined marker is 0x41, so 'A' cannot be encoded even
// though 0x41 decodes to it.
struct ToyTables {
    u16 to_unicode[256];
    unsigned char undefined_page[256];
    unsigned char page0[256];
    unsigned char page20[256];
    unsigned char const * pages[256];
    SBCSFromUnicodeTable plane;

    ToyTables() {
        for (unsigned b = 0; b < 256; ++b) {
            to_unicode[b] = b < 0x80 || b >= 0xA0 ? static_cast<u16>(b) : 0xFFFD;
            undefined_page[b] = 0x41;
            page0[b] = b < 0x80 || b >= 0xA0 ? static_cast<unsigned char>(b) : 0x41;
            page20[b] = 0x41;
        }
        to_unicode[0x80] = 0x20AC;
        page20[0xAC] = 0x80;
        for (auto & page : pages) page = undefined_page;
        pages[0x00] = page0;
        pages[0x20] = page20;
        plane.undefined = 0x41;
        plane.pages = pages;
    }
};

ToyTables const & Toy() {
    static ToyTables const tables;
    return tables;
}

template <class From, class To>
struct Run {
    TranscodeResult result;
    std::size_t consumed;
    std::vector<To> out;
};

template <class From, class To>
Run<From, To> Convert(Transcoder<From, To> & t, std::vector<From> const & input,
                      std::size_t room = 64, long limit = -1) {
    std::vector<To> buffer(room + 1);
    From const * in = input.data();
    To * out = buffer.data();
    TranscodeResult const r = t.Transcode(in, input.data() + input.size(), out, buffer.data() + room, limit);
    buffer.resize(static_cast<std::size_t>(out - buffer.data()));
    return {r, static_cast<std::size_t>(in - input.data()), buffer};
}

std::vector<char> Bytes(std::initializer_list<unsigned> list) {
    std::vector<char> v;
    for (unsigned b : list) v.push_back(static_cast<char>(b));
    return v;
}

}  // namespace

TEST(SbcsConverters, DecodeStopsOnUndefinedByteAfterConsumingIt) {
    SBCStoUTF16 t16(Toy().to_unicode, true);
    auto r = Convert(t16, Bytes({'a', 0x80, 0x81, 'b'}));
    EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ((std::vector<u16>{'a', 0x20AC}), r.out);
    // The next byte converts normally.
    std::vector<char> rest = Bytes({'b'});
    r = Convert(t16, rest);
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ((std::vector<u16>{'b'}), r.out);

    SBCStoUTF32 t32(Toy().to_unicode, true);
    auto w = Convert(t32, Bytes({0x81}));
    EXPECT_EQ(kTranscodeNoCharacterDefined, w.result);
    EXPECT_EQ(1u, w.consumed);
    EXPECT_TRUE(w.out.empty());  // never U+FFFD itself
}

TEST(SbcsConverters, OutputFullAndLimitLeaveTheCharacterUnconsumed) {
    SBCStoUTF32 dec(Toy().to_unicode, true);
    auto r = Convert(dec, Bytes({'a', 'b', 'c'}), 2);
    EXPECT_EQ(kTranscodeOutputFull, r.result);
    EXPECT_EQ(2u, r.consumed);
    r = Convert(dec, Bytes({'a', 'b', 'c'}), 64, 1);
    EXPECT_EQ(kTranscodeLimitReached, r.result);
    EXPECT_EQ(1u, r.consumed);

    SBCSFromUTF16 enc(&Toy().plane, true);
    auto e = Convert(enc, std::vector<u16>{'x', 'y', 'z'}, 64, 2);
    EXPECT_EQ(kTranscodeLimitReached, e.result);
    EXPECT_EQ(2u, e.consumed);
    EXPECT_EQ(std::string("xy"), std::string(e.out.begin(), e.out.end()));
    e = Convert(enc, std::vector<u16>{'x', 'y', 'z'}, 1);
    EXPECT_EQ(kTranscodeOutputFull, e.result);
    EXPECT_EQ(1u, e.consumed);

    Latin1FromUTF32 latin;
    auto l = Convert(latin, std::vector<u32>{'x', 'y'}, 64, 0);
    EXPECT_EQ(kTranscodeLimitReached, l.result);
    EXPECT_EQ(0u, l.consumed);
}

TEST(SbcsConverters, EncodeThroughThePlaneTable) {
    SBCSFromUTF32 enc(&Toy().plane, true);
    auto r = Convert(enc, std::vector<u32>{'h', 0x20AC, 0xE9});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(Bytes({'h', 0x80, 0xE9}), r.out);

    // The marker byte means unmappable, even though 0x41 is a real byte.
    r = Convert(enc, std::vector<u32>{'A', 'B'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    EXPECT_TRUE(r.out.empty());

    // Unmapped BMP character, and a supplementary one without a table access.
    r = Convert(enc, std::vector<u32>{0x0100});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    SBCSFromUnicodeTable const no_pages = {0x41, nullptr};  // any access would crash
    SBCSFromUTF32 no_table(&no_pages, true);
    r = Convert(no_table, std::vector<u32>{0x10000});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    char * out = nullptr;
    EXPECT_EQ(kTranscodeComplete, enc.Finish(out, out, -1));
}

// A surrogate pair is one character: one problem, not two.
TEST(SbcsConverters, SurrogatePairIsOneUnmappableCharacter) {
    SBCSFromUTF16 enc(&Toy().plane, true);
    auto r = Convert(enc, std::vector<u16>{'a', 0xD83D, 0xDE00, 'b'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ(Bytes({'a'}), r.out);

    // Lone surrogates, high then low: one problem each, the next unit kept.
    r = Convert(enc, std::vector<u16>{0xD800, 'x'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    r = Convert(enc, std::vector<u16>{0xDC00, 'x'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);

    // A pair split between two calls is still one problem.
    r = Convert(enc, std::vector<u16>{'a', 0xDBFF});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(2u, r.consumed);
    r = Convert(enc, std::vector<u16>{0xDFFF, 'b'});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(1u, r.consumed);
    r = Convert(enc, std::vector<u16>{'b'});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    EXPECT_EQ(Bytes({'b'}), r.out);

    // A high surrogate at the very end is reported by Finish, once.
    r = Convert(enc, std::vector<u16>{0xD800});
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    char * out = nullptr;
    EXPECT_EQ(kTranscodeNotInRepertoire, enc.Finish(out, out, -1));
    EXPECT_EQ(kTranscodeComplete, enc.Finish(out, out, -1));

    Latin1FromUTF16 latin;
    r = Convert(latin, std::vector<u16>{0xE9, 0xD800, 0xDC00, 0xFF});
    EXPECT_EQ(kTranscodeNotInRepertoire, r.result);
    EXPECT_EQ(3u, r.consumed);
    EXPECT_EQ(Bytes({0xE9}), r.out);
}

TEST(SbcsConverters, Latin1ConvertsByValue) {
    std::vector<char> all;
    for (unsigned b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    Latin1ToUTF16 to16;
    auto r = Convert(to16, all, 256);
    EXPECT_EQ(kTranscodeInputExhausted, r.result);
    ASSERT_EQ(256u, r.out.size());
    for (unsigned b = 0; b < 256; ++b) EXPECT_EQ(b, r.out[b]);

    Latin1FromUTF32 from32;
    auto e = Convert(from32, std::vector<u32>{0x80, 0xFF, 0x100});
    EXPECT_EQ(kTranscodeNotInRepertoire, e.result);
    EXPECT_EQ(3u, e.consumed);
    EXPECT_EQ(Bytes({0x80, 0xFF}), e.out);
}
