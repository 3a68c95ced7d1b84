// Multi-byte table codecs on a small hand-made double-byte code:
//   0x00-0x7F  ASCII
//   0x81 xx    lead byte; 81 40 = U+3042, 81 41 = U+4E00, 81 42 = U+E000 (private use)
//   0x80, 0x82-0xFF and other trails: invalid
#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

#include "mbcs_test_tables.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"

using namespace zuuc_test::mbcs;

namespace {

struct Code {
    StateTable<unsigned short> decode;
    NarrowPlane<unsigned short> encode{0xFFFF};

    Code() {
        decode.AddInvalidStates({0, 0});
        decode.Identity(0, 0x00, 0x7F, 0);
        decode.Set(0, 0x81, 0xFFFF, 1);
        decode.Set(1, 0x40, 0x3042, 0);
        decode.Set(1, 0x41, 0x4E00, 0);
        decode.Set(1, 0x42, 0xE000, 0);
        for (unsigned int c = 0; c < 0x80; ++c) {
            encode.Set(c, static_cast<unsigned short>(c));
        }
        encode.Set(0x3042, 0x8140);
        encode.Set(0x4E00, 0x8141);
    }
};


char const * kNames[] = {"Test-MBCS", nullptr};
unsigned char const kSub[] = {0x1A, 0};

}  // namespace

// The walk sweeps in decoder_walk_test.cpp check the decoders call by call;
// what they leave out is the end of the text.
TEST(MbcsDecode, FinishReportsALeadByteEndingTheTextOnce) {
    Code code;
    MBCStoUTF16 d(code.decode.Get(), true);
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("a\x81")), kTranscodeInputExhausted, 2, U16({'a'})));
    unsigned short buf[4];
    unsigned short * out = buf;
    EXPECT_EQ(kTranscodeIllegalInput, d.Finish(out, buf + 4, -1));
    EXPECT_EQ(kTranscodeComplete, d.Finish(out, buf + 4, -1));
    EXPECT_EQ(U16({0x4E00}), TranscodeOnce(d, Bytes("\x81\x41")).output);
}

// A look-ahead code: "a" may be followed by "'" (giving U+00E1); any other
// byte ends the "a" and is read again.
struct LookAheadCode {
    StateTable<unsigned short> decode;
    LookAheadCode() {
        decode.AddState(0xFFFD, 0);
        decode.Identity(0, 0, 0x7F, 0);
        unsigned int const pending = decode.AddState('a', 0xFFFF);
        decode.Set(0, 'a', 0xFFFF, pending);
        decode.Set(pending, '\'', 0xE1, 0);
    }
};

TEST(MbcsLookAhead, SplitBetweenBaseAndModifierDoesNotChangeTheResult) {
    LookAheadCode code;
    MBCSLookAheadtoUTF32 d(code.decode.Get(), nullptr, true);
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("xa")), kTranscodeInputExhausted, 2, U32({'x'})));
    EXPECT_EQ(U32({0xE1}), TranscodeOnce(d, Bytes("'")).output);
    // Finish needs room for the pending character and keeps it until then.
    TranscodeOnce(d, Bytes("a"));
    unsigned int buf[2];
    unsigned int * out = buf;
    EXPECT_EQ(kTranscodeOutputFull, d.Finish(out, buf, -1));
    EXPECT_EQ(kTranscodeComplete, d.Finish(out, buf + 2, -1));
    EXPECT_EQ(1, out - buf);
    EXPECT_EQ(static_cast<unsigned int>('a'), buf[0]);
}

// The sweeps in encoder_stretch_test.cpp check the encoders call by call over
// texts of mapped and unmapped characters; these are the cases they leave out.
TEST(MbcsEncode, AnUndefinedMarkerInsideAsciiIsNeverCopiedAsItself) {
    NarrowPlane<unsigned short> marked(0x3F);
    for (unsigned int c = 0; c < 0x80; ++c) {
        if (c != '?') marked.Set(c, static_cast<unsigned short>(c));
    }
    MBCSFromUTF16_16 enc_marked(marked.Get(), true);
    EXPECT_TRUE(Ran(TranscodeOnce(enc_marked, U16({'a', '?', 'b'})), kTranscodeNotInRepertoire, 2,
                    "a"));
}

TEST(MbcsEncode, SurrogatesHeldBetweenCallsAndAtTheEnd) {
    Code code;
    MBCSFromUTF16_16 e(code.encode.Get(), true);
    // A pair split between calls: the high surrogate is held, then both go.
    EXPECT_TRUE(Ran(TranscodeOnce(e, U16({'a', 0xD840})), kTranscodeInputExhausted, 2));
    EXPECT_TRUE(Ran(TranscodeOnce(e, U16({0xDC00, 'b'})), kTranscodeNotInRepertoire, 1));
    // A lone high surrogate at the end of the text: Finish reports it once.
    TranscodeOnce(e, U16({0xD840}));
    char buf[4];
    char * p = buf;
    EXPECT_EQ(kTranscodeNotInRepertoire, e.Finish(p, buf + 4, -1));
    EXPECT_EQ(kTranscodeComplete, e.Finish(p, buf + 4, -1));
    // A lone high surrogate held from the last call before another
    // character: that character stays for the next call.
    TranscodeOnce(e, U16({0xD800}));
    std::vector<unsigned short> const xyz = U16({'x', 'y', 'z'});
    auto const r = TranscodeOnce(e, xyz);
    EXPECT_TRUE(Ran(r, kTranscodeNotInRepertoire, r.consumed, ""));
    std::vector<unsigned short> const rest(xyz.begin() + static_cast<long>(r.consumed), xyz.end());
    EXPECT_EQ("xyz", Str(TranscodeOnce(e, rest).output));
}

TEST(MbcsEncoding, InstallTablesAndFactories) {
    Code code;
    LinearAllocator unused(nullptr, 0, "test", 0);
    MBCSEncoding enc(TextEncodingID(0), kSub, kNames, nullptr, 0, true, nullptr, nullptr);
    EXPECT_FALSE(enc.IsLoaded());
    enc.InstallTables(code.decode.Get(), static_cast<PlaneTable<unsigned short, unsigned short> const *>(nullptr));
    EXPECT_FALSE(enc.IsLoaded());
    enc.InstallTables(code.decode.Get(), code.encode.Get());
    EXPECT_TRUE(enc.IsLoaded());
    EXPECT_FALSE(enc.IsUTF32InUnicode());
    EXPECT_TRUE(enc.IsBasedOnASCII());
    std::unique_ptr<Transcoder<char, unsigned short>> to16(enc.CreateConverterToUTF16(unused));
    std::unique_ptr<Transcoder<unsigned short, char>> from16(enc.CreateConverterFromUTF16(unused));
    std::unique_ptr<Transcoder<unsigned int, char>> from32(enc.CreateConverterFromUTF32(unused));
    EXPECT_EQ("\x81\x40", Str(ConvertAll(*from32, U32({0x3042}))));

    // Only 32-bit tables: UTF-16 conversions go through UTF-32 and carry
    // characters beyond U+FFFF as surrogate pairs.
    StateTable<unsigned int> wide_decode;
    wide_decode.AddInvalidStates({0, 0});
    wide_decode.Identity(0, 0, 0x7F, 0);
    wide_decode.Set(0, 0x81, 0xFFFF, 1);
    wide_decode.Set(1, 0x40, 0x20000, 0);
    WidePlane<unsigned int> wide_encode(0xFFFFFFFFu);
    wide_encode.Set('q', 'q');
    wide_encode.Set(0x20000, 0x8140);
    enc.InstallTables(wide_decode.Get(), wide_encode.Get());
    EXPECT_TRUE(enc.IsLoaded());
    EXPECT_TRUE(enc.IsUTF32InUnicode());
    to16.reset(enc.CreateConverterToUTF16(unused));
    ASSERT_NE(nullptr, to16);
    EXPECT_EQ(U16({'q', 0xD840, 0xDC00}), ConvertAll(*to16, Bytes("q\x81\x40")));
    from16.reset(enc.CreateConverterFromUTF16(unused));
    ASSERT_NE(nullptr, from16);
    EXPECT_EQ("q\x81\x40", Str(ConvertAll(*from16, U16({'q', 0xD840, 0xDC00}))));
}

TEST(MbcsEncoding, LookAheadEncodingMakesLookAheadDecoders) {
    LookAheadCode code;
    NarrowPlane<unsigned short> plane(0xFFFF);
    LinearAllocator heap(nullptr, 0, "test", 0);
    MBCSLookAheadEncoding enc(TextEncodingID(0), kSub, kNames, nullptr, 0, true, nullptr, nullptr);
    enc.InstallTables(code.decode.Get(), plane.Get());
    std::unique_ptr<Transcoder<char, unsigned short>> to16(enc.CreateConverterToUTF16(heap));
    std::unique_ptr<Transcoder<char, unsigned int>> to32(enc.CreateConverterToUTF32(heap));
    EXPECT_NE(nullptr, dynamic_cast<MBCSLookAheadtoUTF16 *>(to16.get()));
    EXPECT_EQ(U32({0xE1, 'a'}), ConvertAll(*to32, Bytes("a'a")));
    // The base character waits for the next byte; one pending at the end of
    // the input comes out at Finish.
    EXPECT_EQ(U16({0xE1, 'b', 'a', 'a', 'c'}), ConvertAll(*to16, Bytes("a'baac")));
    EXPECT_EQ(U16({'x', 'a'}), ConvertAll(*to16, Bytes("xa")));
}

TEST(MbcsDetector, RatesInvalidSequencesAndUnfinishedInput) {
    Code code;
    MBCSEncoding enc(TextEncodingID(0), kSub, kNames, nullptr, 0, true, nullptr, nullptr);
    enc.InstallTables(code.decode.Get(), code.encode.Get());
    LinearAllocator heap(nullptr, 0, "test", 0);
    std::unique_ptr<CharEncodingDetector> d(enc.CreateEncodingDetector(heap));
    std::string const text("a\x81\x40\x80\x81\x42\x81");
    auto const * b = reinterpret_cast<unsigned char const *>(text.data());
    // Examined in two chunks, split inside a character.
    d->Examine(b, b, b + 2);
    d->Examine(b, b + 2, b + text.size());
    EXPECT_EQ(-1, d->GetRating());  // 0x80
    d->Finish(b, b + text.size());
    EXPECT_EQ(-2, d->GetRating());  // ends after a lead byte

    // Ties: the private-use character costs a point; a language detector
    // sees the decoded characters only when the level is above 0.
    RecordingLanguage language(10);
    d->BreakTie(b, b, b + text.size(), 0, &language);
    EXPECT_EQ(-1, d->GetTieBreaker());
    EXPECT_TRUE(language.seen.empty());
    d->BreakTie(b, b, b + text.size(), 40, &language);
    EXPECT_EQ(-1 - 1 + 10, d->GetTieBreaker());
    EXPECT_EQ(U32({'a', 0x3042, 0xE000}), language.seen);
    EXPECT_EQ(40, language.last_level);

    // The walk that a detector driving others uses stops at the first
    // invalid sequence, and at the end of the last whole character.
    MBCSDetector walker(enc, code.decode.Get());
    EXPECT_EQ(b + 3, walker.ExamineFrom(b, b, b + text.size()));
    EXPECT_EQ(b + 4, walker.FailureEnd());
    EXPECT_EQ(-1, walker.GetRating());
    EXPECT_EQ(b + 6, walker.ExamineFrom(b, b + 4, b + text.size()));
    EXPECT_EQ(-1, walker.GetRating());
}
