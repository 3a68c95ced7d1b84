// The table, modal, HZ, range and single-byte codecs over small hand-made
// code tables (mbcs_test_tables.h), and the generic range and sparse tables.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "mbcs_test_tables.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/zuuc.h"

using namespace zuuc_test::mbcs;

// The substitute of every hand-made encoding here.
unsigned char const kSub[] = {0x1A, 0};

// Multi-byte table codecs on a small hand-made double-byte code:
//   0x00-0x7F  ASCII
//   0x81 xx    lead byte; 81 40 = U+3042, 81 41 = U+4E00, 81 42 = U+E000 (private use)
//   0x80, 0x82-0xFF and other trails: invalid
namespace mbcs_codec {

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

}  // namespace

// The walk sweeps in sweep_test.cpp check the decoders call by call;
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

// The sweeps in sweep_test.cpp check the encoders call by call over
// texts of mapped and unmapped characters; these are the cases they leave out.
TEST(MbcsEncode, AnUndefinedMarkerInsideAsciiIsNeverCopiedAsItself) {
    NarrowPlane<unsigned short> marked(0x3F);
    for (unsigned int c = 0; c < 0x80; ++c) {
        if (c != '?')
            marked.Set(c, static_cast<unsigned short>(c));
    }
    MBCSFromUTF16_16 enc_marked(marked.Get(), true);
    EXPECT_TRUE(
        Ran(TranscodeOnce(enc_marked, U16({'a', '?', 'b'})), kTranscodeNotInRepertoire, 2, "a"));
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
    enc.InstallTables(code.decode.Get(),
                      static_cast<PlaneTable<unsigned short, unsigned short> const *>(nullptr));
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

}  // namespace mbcs_codec

// Modal codecs on a small hand-made ISO-2022-JP-like code with four modes:
//   0 ASCII, 1 "JIS" (24 22 = U+3042), 2 "old JIS" (30 21 = U+4E9C,
//   30 22 = U+FF71), 3 "Roman" (5C = U+00A5);
//   ESC $ B -> 1, ESC $ @ -> 2, ESC ( B -> 0, ESC ( J -> 3.
namespace modal_codec {

namespace {

unsigned char const * U(char const * s) {
    return reinterpret_cast<unsigned char const *>(s);
}

struct JisCode {
    StateTable<unsigned short> decode;
    NarrowPlane<unsigned int> modes[4] = {
        NarrowPlane<unsigned int>(0xFFFFFFFF), NarrowPlane<unsigned int>(0xFFFFFFFF),
        NarrowPlane<unsigned int>(0xFFFFFFFF), NarrowPlane<unsigned int>(0xFFFFFFFF)};
    PlaneTable<unsigned short, unsigned int> const * planes[4];
    unsigned char const * escapes[16] = {nullptr,     U("\x1B$B"), U("\x1B$@"), U("\x1B(J"),  //
                                         U("\x1B(B"), nullptr,     U("\x1B$@"), U("\x1B(J"),  //
                                         U("\x1B(B"), U("\x1B$B"), nullptr,     U("\x1B(J"),  //
                                         U("\x1B(B"), U("\x1B$B"), U("\x1B$@"), nullptr};
    unsigned char const * substitutes[4] = {U("\x1A"), U("\x74\x7E"), U("\x74\x7E"), U("\x1A")};

    JisCode() {
        // States 0-3 are the modes; then ESC, ESC $, ESC ( and the leads of modes 1 and 2.
        decode.AddInvalidStates({0, 1, 2, 3, 0, 0, 0, 1, 2});
        unsigned int const esc = 4, esc_dollar = 5, esc_paren = 6, lead1 = 7, lead2 = 8;
        decode.Identity(0, 0, 0x7F, 0);
        decode.Identity(3, 0, 0x7F, 3);
        decode.Set(3, 0x5C, 0xA5, 3);
        for (unsigned int m = 0; m < 4; ++m) {
            decode.Set(m, 0x1B, 0xFFFF, esc);
        }
        decode.Set(1, 0x24, 0xFFFF, lead1);
        decode.Set(lead1, 0x22, 0x3042, 1);
        decode.Set(2, 0x30, 0xFFFF, lead2);
        decode.Set(lead2, 0x21, 0x4E9C, 2);
        decode.Set(lead2, 0x22, 0xFF71, 2);
        decode.Set(esc, '$', 0xFFFF, esc_dollar);
        decode.Set(esc, '(', 0xFFFF, esc_paren);
        decode.Set(esc_dollar, 'B', 0xFFFF, 1);
        decode.Set(esc_dollar, '@', 0xFFFF, 2);
        decode.Set(esc_paren, 'B', 0xFFFF, 0);
        decode.Set(esc_paren, 'J', 0xFFFF, 3);

        for (unsigned int c = 0; c < 0x80; ++c) {
            modes[0].Set(c, c);
        }
        modes[1].Set(0x3042, 0x2422);
        modes[2].Set(0x4E9C, 0x3021);
        modes[3].Set(0xA5, 0x5C);
        for (int m = 0; m < 4; ++m) {
            planes[m] = modes[m].Get();
        }
    }

    ModalOutputSetup Setup(bool korean_header = false) const {
        ModalOutputSetup s{};
        s.narrow = planes;
        s.mode_count = 4;
        s.escapes = escapes;
        s.longest_escape = 3;
        s.return_to_initial = true;
        s.korean_header = korean_header;
        return s;
    }
};

std::string FinishBytes(Transcoder<unsigned int, char> & t) {
    char buf[16];
    char * out = buf;
    EXPECT_EQ(kTranscodeComplete, t.Finish(out, buf + sizeof buf, -1));
    return std::string(buf, out);
}

char const * kNames[] = {"Test-2022", nullptr};

}  // namespace

// The walk sweeps in sweep_test.cpp check the modal decoder call by
// call; what they leave out is the end of the text.
TEST(ModalDecode, AnEscapeCutByTheEndIsDroppedAndFinishGoesBackToAscii) {
    JisCode code;
    ModalToUTF32 d(code.decode.Get(), nullptr);
    std::vector<int> results;
    EXPECT_EQ(U32({0x3042}), ConvertAll(d, Bytes("\x1B$B\x24\x22\x1B$"), &results));
    EXPECT_EQ(kTranscodeComplete, results.back());
    EXPECT_EQ(U32({'q', 0xA5}), ConvertAll(d, Bytes("q\x1B(J\x5C")));
}

TEST(ModalEncode, FinishNeedsRoomForTheWayBack) {
    JisCode code;
    ModalFromUTF32 e(code.Setup());
    TranscodeOnce(e, U32({0x3042}));
    char buf[4];
    char * out = buf;
    EXPECT_EQ(kTranscodeOutputFull, e.Finish(out, buf + 2, -1));
    EXPECT_EQ(kTranscodeLimitReached, e.Finish(out, buf + 4, 2));
    EXPECT_EQ(kTranscodeComplete, e.Finish(out, buf + 4, -1));
    EXPECT_EQ("\x1B(B", std::string(buf, out));
    EXPECT_EQ(0u, e.Mode());
}

TEST(ModalEncode, KoreanHeaderOncePerConversion) {
    JisCode code;
    ModalFromUTF32 e(code.Setup(true));
    EXPECT_EQ("\x1B$)Ca", Str(TranscodeOnce(e, U32({'a'})).output));
    EXPECT_EQ("b", Str(TranscodeOnce(e, U32({'b'})).output));
    e.Reset();
    EXPECT_EQ("\x1B$)Cc", Str(TranscodeOnce(e, U32({'c'})).output));
    // Finish starts a new conversion too.
    FinishBytes(e);
    EXPECT_TRUE(Ran(TranscodeOnce(e, U32({'d'}), 3), kTranscodeOutputFull, 0, ""));
}

TEST(ModalEncode, Utf16PairsAreOneCharacter) {
    JisCode code;
    ModalFromUTF16 e(code.Setup());
    using U16s = std::vector<unsigned short>;
    std::vector<int> results;
    EXPECT_EQ("a\x1B$B\x24\x22\x1B(B",
              Str(ConvertAll(e, U16s{'a', 0xD840, 0xDC00, 0x3042}, &results)));
    EXPECT_EQ(
        (std::vector<int>{kTranscodeNotInRepertoire, kTranscodeInputExhausted, kTranscodeComplete}),
        results);
    // Split between calls.
    EXPECT_TRUE(Ran(TranscodeOnce(e, U16s{'a', 0xD840}), kTranscodeInputExhausted, 2));
    EXPECT_TRUE(Ran(TranscodeOnce(e, U16s{0xDC00, 'b'}), kTranscodeNotInRepertoire, 1));
    // A lone high surrogate held from the last call, followed by a
    // character: the problem is reported and the call still moves on.
    e.Reset();
    TranscodeOnce(e, U16s{0xD840});
    EXPECT_TRUE(Ran(TranscodeOnce(e, U16s{'x', 'y'}), kTranscodeNotInRepertoire, 1));
    EXPECT_EQ("xy", Str(TranscodeOnce(e, U16s{'y'}).output));
}

TEST(ModalEncoding, SubstitutesPerModeFactoriesAndStreams) {
    JisCode code;
    ModalEncoding enc(TextEncodingID(0), code.substitutes, kNames, nullptr, 0, true, 4,
                      code.escapes, true, nullptr, nullptr);
    EXPECT_FALSE(enc.IsLoaded());
    unsigned char const * chars = nullptr;
    EXPECT_EQ(2u, enc.SubstituteChars(chars, 1));
    EXPECT_EQ(std::string("\x74\x7E"), std::string(reinterpret_cast<char const *>(chars)));
    EXPECT_EQ(1u, enc.SubstituteChars(chars, 3));
    enc.InstallTables(code.decode.Get(), code.planes);
    EXPECT_TRUE(enc.IsLoaded());

    LinearAllocator heap(nullptr, 0, "test", 0);
    std::unique_ptr<Transcoder<unsigned short, char>> from16(enc.CreateConverterFromUTF16(heap));
    std::vector<unsigned short> const text = {0x3042, 'z'};
    EXPECT_EQ("\x1B$B\x24\x22\x1B(Bz", Str(ConvertAll(*from16, text)));
    std::unique_ptr<Transcoder<char, unsigned short>> to16(enc.CreateConverterToUTF16(heap));
    EXPECT_EQ(text, ConvertAll(*to16, Bytes("\x1B$B\x24\x22\x1B(Bz")));
    std::unique_ptr<CharEncodingDetector> detector(enc.CreateEncodingDetector(heap));
    EXPECT_EQ(nullptr, dynamic_cast<ISO2022JPDetector *>(detector.get()));

    // Pulled through a source: the unmappable character in mode 1 becomes
    // mode 1's substitute, in mode 1; in mode 0 it becomes mode 0's.
    std::vector<unsigned int> const unmappable = {'a', 0x3042, 0x4E00, 0x3042, 0x4E00, 'b'};
    BufferChar32Source source(unmappable.data(), unmappable.data() + unmappable.size());
    std::unique_ptr<CharSource> encoded(enc.CreateCharSourceFromUnicode(source, heap));
    ASSERT_NE(nullptr, encoded);
    EXPECT_EQ("a\x1B$B\x24\x22\x74\x7E\x24\x22\x74\x7E\x1B(Bb",
              Str(zuuc_test::utf8::ReadAllBytes(*encoded)));

    // Pushed through a sink with room for less than all of it: what is
    // written ends in mode 0.
    char buffer[9];
    BufferCharSink target(buffer, sizeof buffer);
    {
        std::unique_ptr<Char32Sink> sink(enc.CreateCharSinkFromUnicode(target, heap));
        ASSERT_NE(nullptr, sink);
        std::vector<unsigned int> const jis = {0x3042, 0x3042, 0x3042, 0x3042};
        sink->Put(jis.data(), jis.data() + jis.size());
        sink->Flush();
    }
    std::string const written(target.data(), static_cast<std::size_t>(target.size()));
    EXPECT_EQ("\x1B$B\x24\x22\x1B(B", written);  // a second character and the way back do not fit
    EXPECT_TRUE(target.IsTruncated());
}

TEST(ModalDetectors, EscapesEarnPointsAndTiesPenaliseOddCharacters) {
    JisCode code;
    ModalEncoding enc(TextEncodingID(0), code.substitutes, kNames, nullptr, 0, true, 4,
                      code.escapes, true, nullptr, nullptr);
    std::string const text("a\x1B$B\x24\x22\x1B$@\x30\x22\x1B(B\x80");
    auto const * b = reinterpret_cast<unsigned char const *>(text.data());
    ModalDetector plain(enc, code.decode.Get(), 4);
    plain.Examine(b, b, b + text.size());
    EXPECT_EQ(3 - 1, plain.GetRating());  // three escapes, one invalid byte
    plain.Finish(b, b + text.size());
    EXPECT_EQ(2, plain.GetRating());
    plain.BreakTie(b, b, b + text.size(), 100, nullptr);
    EXPECT_EQ(0, plain.GetTieBreaker());

    ISO2022JPDetector jp(enc, code.decode.Get(), 4);
    jp.Examine(b, b, b + 3);  // ends inside ESC $ B
    jp.Finish(b, b + 3);
    EXPECT_EQ(-1, jp.GetRating());
    RecordingLanguage language(100);
    jp.BreakTie(b, b, b + text.size(), 50, &language);
    EXPECT_EQ(100 - 1, jp.GetTieBreaker());  // U+FF71 counts against it
    EXPECT_EQ(U32({'a', 0x3042, 0xFF71}), language.seen);
}

namespace {

// The modal encoder one character at a time, as its header describes it:
// each character in the current mode when that mode maps it, else in the
// first mode that does, with the escape before it and room kept for the way
// back to mode 0; a call that stops for room or limit first goes back to
// mode 0 when that fits; an unmappable character is consumed and reported.
struct ModalModel {
    TranscodeResult result = kTranscodeInputExhausted;
    std::size_t consumed = 0;
    std::string output;
    unsigned int mode = 0;
};

ModalModel EncodeModel(JisCode const & code, std::vector<unsigned int> const & text,
                       std::size_t room, long limit) {
    auto escape = [&](unsigned int from, unsigned int to) {
        return from == to
                   ? std::string()
                   : std::string(reinterpret_cast<char const *>(code.escapes[from * 4 + to]));
    };
    auto left = [&](std::string const & out) {
        long r = static_cast<long>(room) - static_cast<long>(out.size());
        return limit >= 0 ? std::min(r, limit - static_cast<long>(out.size())) : r;
    };
    ModalModel m;
    for (unsigned int c : text) {
        int target = -1;
        unsigned int value = 0;
        for (unsigned int k = 0; k < 5 && target < 0; ++k) {
            unsigned int const mode = k == 0 ? m.mode : k - 1;
            unsigned int const v = c > 0xFFFF
                                       ? 0xFFFFFFFFu
                                       : code.planes[mode]->Lookup(static_cast<unsigned short>(c));
            if (v != 0xFFFFFFFFu) {
                target = static_cast<int>(mode);
                value = v;
            }
        }
        if (target < 0) {
            ++m.consumed;
            m.result = kTranscodeNotInRepertoire;
            return m;
        }
        std::string piece = escape(m.mode, static_cast<unsigned int>(target));
        if (value > 0xFF) {
            piece += static_cast<char>(value >> 8);
        }
        piece += static_cast<char>(value & 0xFF);
        std::string const back = escape(static_cast<unsigned int>(target), 0);
        if (left(m.output) < static_cast<long>(piece.size() + back.size())) {
            long const need = static_cast<long>(piece.size() + back.size());
            m.result = static_cast<long>(room) - static_cast<long>(m.output.size()) < need
                           ? kTranscodeOutputFull
                           : kTranscodeLimitReached;
            std::string const home = escape(m.mode, 0);
            if (m.mode != 0 && left(m.output) >= static_cast<long>(home.size())) {
                m.output += home;
                m.mode = 0;
            }
            return m;
        }
        m.output += piece;
        m.mode = static_cast<unsigned int>(target);
        ++m.consumed;
    }
    return m;
}

}  // namespace

// Long runs in one mode go out in stretches; every output size and limit
// must still stop where the character-by-character rule stops, for both
// input widths.
TEST(ModalEncode, StretchesStopWhereTheCharacterRuleStops) {
    JisCode code;
    std::vector<unsigned int> const alphabet = {'a', 'b', 0x3042, 0x4E9C, 0xA5, 0x20AC};
    unsigned int seed = 2022;
    for (int round = 0; round < 10; ++round) {
        std::vector<unsigned int> text;
        for (int i = 0; i < 40; ++i) {
            seed = seed * 1103515245u + 12345u;
            // Mostly runs: repeat the last character three times in four.
            text.push_back(!text.empty() && (seed >> 16) % 4 != 0
                               ? text.back()
                               : alphabet[(seed >> 8) % (round % 2 ? 5 : 6)]);
        }
        std::vector<unsigned short> const text16(text.begin(), text.end());
        for (std::size_t room = 0; room <= 100; ++room) {
            for (long limit : {-1L, static_cast<long>(room), static_cast<long>(room / 2)}) {
                ModalModel const expected =
                    EncodeModel(code, text, limit == -1 ? room : 200, limit);
                std::size_t const size = limit == -1 ? room : 200;
                ModalFromUTF32 e32(code.Setup());
                auto const r32 = TranscodeOnce(e32, text, size, limit);
                ModalFromUTF16 e16(code.Setup());
                auto const r16 = TranscodeOnce(e16, text16, size, limit);
                SCOPED_TRACE("round " + std::to_string(round) + ", room " + std::to_string(size) +
                             ", limit " + std::to_string(limit));
                ASSERT_TRUE(Ran(r32, expected.result, expected.consumed, expected.output));
                ASSERT_TRUE(Ran(r16, expected.result, expected.consumed, expected.output));
                ASSERT_EQ(expected.mode, e32.Mode());
                ASSERT_EQ(expected.mode, e16.Mode());
            }
        }
    }
}

}  // namespace modal_codec

// HZ-GB-2312 over a hand-made stand-in for GB2312: ASCII, and the pairs
// A1..F7 x A1..FE decoding to U+4E00 + 94 * (lead - A1) + (trail - A1).
namespace hz_codec {

namespace {

unsigned int GB(unsigned int lead, unsigned int trail) {
    return 0x4E00 + 94 * (lead - 0xA1) + (trail - 0xA1);
}

char const * kNames[] = {"Test-GB", nullptr};

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
    EXPECT_EQ(U32({GB(0xB0, 0xA1), ' ', GB(0xB0, 0xA2)}),
              ConvertAll(d, Bytes("~{\x30\x21 \x30\x22~}")));
}

TEST(HzDecode, InvalidBytes) {
    FakeGB2312 gb;
    HZEncoding::ToUTF32 d(gb.encoding, gb.heap);
    std::vector<int> results;
    EXPECT_EQ(U32({'y'}), ConvertAll(d, Bytes("~xy"), &results));
    EXPECT_EQ(kTranscodeIllegalInput, results.front());
    // A pair GB2312 does not define: the inner converter's result.
    EXPECT_TRUE(
        Ran(TranscodeOnce(d, Bytes("~{\x2A\x21\x30\x21")), kTranscodeNoCharacterDefined, 4));
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
    EXPECT_EQ("a~~~{\x30\x21\x30\x22~}\n",
              Str(ConvertAll(e, U32({'a', '~', GB(0xB0, 0xA1), GB(0xB0, 0xA2), '\n'}))));
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

}  // namespace hz_codec

// Range and mixed block range codecs: GB18030's four-byte ranges, and a
// mixed encoding made of them and a small two-byte table block (ASCII and
// 81 40 = U+4E02, 81 41 = U+E000).
namespace range_codec {

namespace {

char const * kNames[] = {"Test-GB18030", nullptr};

struct TableBlock {
    StateTable<unsigned short> decode;
    NarrowPlane<unsigned int> encode{0xFFFFFFFF};
    TableBlock() {
        decode.AddState(0xFFFD, 0);
        unsigned int const lead = decode.AddState(0xFFFD, 0);
        decode.Identity(0, 0, 0x7F, 0);
        decode.Set(0, 0x1A, 0xFFFD, 0);  // this block lacks 0x1A
        decode.SetRange(0, 0x81, 0xFE, 0xFFFF, lead);
        decode.Set(lead, 0x40, 0x4E02, 0);
        decode.Set(lead, 0x41, 0xE000, 0);
        for (unsigned int c = 0; c < 0x80; ++c) {
            if (c != 0x1A) {
                encode.Set(c, c);
            }
        }
        encode.Set(0x4E02, 0x8140);
    }
};

struct Mixed {
    TableBlock block;
    MixedBlockRangeEncoding encoding{
        TextEncodingID(0), kSub, kNames, nullptr, 0, true, nullptr, nullptr, RangeSpec::GB18030()};
    LinearAllocator heap{nullptr, 0, "test", 0};
    Mixed() { encoding.InstallTables(block.decode.Get(), block.encode.Get()); }
};

}  // namespace

// The ranges' arithmetic over real values is in the GB18030 round trip of
// catalogue_test.cpp; here, what lies outside them.
TEST(RangeSpec, SequencesOutsideTheRanges) {
    RangeSpec const & spec = RangeSpec::GB18030();
    EXPECT_EQ(4u, spec.SequenceLength());
    EXPECT_LE(63u, spec.RangeCount());
    unsigned int cp = 0;
    unsigned char const gap[] = {0x84, 0x31, 0xA5, 0x30};  // between the BMP and U+10000
    EXPECT_FALSE(spec.ToUnicode(gap, cp));
    // A byte outside its position's range is not another sequence in disguise.
    unsigned char const out_of_range[] = {0x81, 0x30, 0x81, 0x3A};
    EXPECT_FALSE(spec.ToUnicode(out_of_range, cp));
}

TEST(RangeConverters, WholeSequencesOnly) {
    RangeToUnicode d(RangeSpec::GB18030());
    // The half sequence is kept for the next call.
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("\x90\x30\x81\x30\xE3\x32")), kTranscodeInputExhausted,
                    6, U32({0x10000})));
    EXPECT_EQ(U32({0x10FFFF}), TranscodeOnce(d, Bytes("\x9A\x35")).output);
    TranscodeOnce(d, Bytes("\x90\x30"));
    unsigned int buf[2];
    unsigned int * out = buf;
    EXPECT_EQ(kTranscodeIllegalInput, d.Finish(out, buf + 2, -1));
    // In a block: a sequence in no range, or one cut short, stays in place.
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("\x90\x30\x81\x30\x84\x31\xA5\x30"), 64, -1, true),
                    kTranscodeNoCharacterDefined, 4));
    EXPECT_TRUE(
        Ran(TranscodeOnce(d, Bytes("\x90\x30\x81"), 64, -1, true), kTranscodeInputExhausted, 0));
    // Wrong already, no need to wait.
    EXPECT_EQ(kTranscodeNoCharacterDefined,
              TranscodeOnce(d, Bytes("\x41\x30"), 64, -1, true).result);
    // Plain Transcode consumes the sequence it reports.
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("\x84\x31\xA5\x30\x90\x30\x81\x30")),
                    kTranscodeNoCharacterDefined, 4));

    RangeFromUnicode e(RangeSpec::GB18030());
    EXPECT_EQ("\x90\x30\x81\x30\x81\x30\x81\x30",
              Str(TranscodeOnce(e, U32({0x10000, 0x80})).output));
    EXPECT_EQ(kTranscodeOutputFull, TranscodeOnce(e, U32({0x10000}), 3).result);
    EXPECT_EQ(kTranscodeLimitReached, TranscodeOnce(e, U32({0x10000}), 8, 3).result);
    // A surrogate code point is reported, not dropped in silence.
    EXPECT_TRUE(Ran(TranscodeOnce(e, U32({0xD800, 0x80})), kTranscodeNotInRepertoire, 1));
    // A table character is not a range one.
    EXPECT_TRUE(Ran(TranscodeOnce(e, U32({0x4E02}), 8, -1, true), kTranscodeNotInRepertoire, 0));
}

// The table block first, then the ranges; split anywhere, the pieces give
// the same characters.
TEST(MixedBlockRange, EverySplitGivesTheSameCharacters) {
    Mixed m;
    std::string const text(
        "a\x90\x30\x81\x30\x81\x40\x81\x30\x81\x30"
        "b\xE3\x32\x9A\x35\x81\x41"
        "c");
    std::vector<unsigned int> const whole = {'a', 0x10000,  0x4E02, 0x80,
                                             'b', 0x10FFFF, 0xE000, 'c'};
    for (std::size_t i = 0; i <= text.size(); ++i) {
        for (std::size_t j = i; j <= text.size(); ++j) {
            std::unique_ptr<Transcoder<char, unsigned int>> d(
                m.encoding.CreateConverterToUTF32(m.heap));
            std::vector<unsigned int> got;
            for (auto const & piece : {text.substr(0, i), text.substr(i, j - i), text.substr(j)}) {
                auto r = TranscodeOnce(*d, Bytes(piece));
                EXPECT_EQ(kTranscodeInputExhausted, r.result);
                got.insert(got.end(), r.output.begin(), r.output.end());
            }
            unsigned int buf[4];
            unsigned int * out = buf;
            EXPECT_EQ(kTranscodeComplete, d->Finish(out, buf + 4, -1));
            EXPECT_EQ(whole, got) << i << "," << j;
        }
    }
}

TEST(MixedBlockRange, ProblemsAndTheEnd) {
    Mixed m;
    std::unique_ptr<Transcoder<char, unsigned int>> d(m.encoding.CreateConverterToUTF32(m.heap));
    // A four-byte sequence in no range is one problem, consumed whole.
    std::vector<int> results;
    EXPECT_EQ(U32({'c'}), ConvertAll(*d,
                                     Bytes("\x84\x31\xA5\x30"
                                           "c"),
                                     &results));
    EXPECT_EQ((std::vector<int>{kTranscodeNoCharacterDefined, kTranscodeInputExhausted,
                                kTranscodeComplete}),
              results);
    // Bytes of neither form: the table block reports the lead (81), and 7F,
    // which can stand on its own, is read again.
    results.clear();
    EXPECT_EQ(U32({0x7F, '0', 0x4E02}), ConvertAll(*d, Bytes("\x81\x7F\x30\x81\x40"), &results));
    EXPECT_EQ(kTranscodeNoCharacterDefined, results.front());
    // Input that ends inside a sequence: Finish reports it.
    TranscodeOnce(*d, Bytes("x\x90\x30\x81"));
    unsigned int buf[2];
    unsigned int * out = buf;
    EXPECT_EQ(kTranscodeIllegalInput, d->Finish(out, buf + 2, -1));
    EXPECT_EQ(kTranscodeComplete, d->Finish(out, buf + 2, -1));
    // A bad sequence found in the kept bytes alone still moves the input on.
    TranscodeOnce(*d, Bytes("\x84\x31\xA5"));
    auto const r = TranscodeOnce(*d, Bytes("\x30zz"));
    EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
    EXPECT_LT(0u, r.consumed);
}

TEST(MixedBlockRange, Encoding) {
    Mixed m;
    std::unique_ptr<Transcoder<unsigned int, char>> e(m.encoding.CreateConverterFromUTF32(m.heap));
    EXPECT_EQ(std::string("a\x81\x40\x90\x30\x81\x30\x81\x30\x81\x30"),
              Str(ConvertAll(*e, U32({'a', 0x4E02, 0x10000, 0x80}))));
    // U+001A, missing from the table block, is not offered to the ranges.
    EXPECT_TRUE(Ran(TranscodeOnce(*e, U32({'a', 0x1A, 'b'})), kTranscodeNotInRepertoire, 2, "a"));
    // Through UTF-16.
    std::unique_ptr<Transcoder<unsigned short, char>> e16(
        m.encoding.CreateConverterFromUTF16(m.heap));
    EXPECT_EQ(std::string("\x90\x30\x81\x30z"),
              Str(ConvertAll(*e16, std::vector<unsigned short>{0xD800, 0xDC00, 'z'})));
    std::unique_ptr<Transcoder<char, unsigned short>> d16(
        m.encoding.CreateConverterToUTF16(m.heap));
    EXPECT_EQ((std::vector<unsigned short>{0xDBFF, 0xDFFF}),
              ConvertAll(*d16, Bytes("\xE3\x32\x9A\x35")));
}

TEST(MixedBlockRange, LoadedWhenBothBlocksAre) {
    TableBlock block;
    MixedBlockRangeEncoding enc(TextEncodingID(0), kSub, kNames, nullptr, 0, true, nullptr, nullptr,
                                RangeSpec::GB18030());
    EXPECT_FALSE(enc.IsLoaded());
    EXPECT_TRUE(enc.getRanges().IsLoaded());
    enc.InstallTables(block.decode.Get(), block.encode.Get());
    EXPECT_TRUE(enc.IsLoaded() && enc.getTable().IsLoaded());
}

namespace {

int Rate(CharEncodingDetector & d, std::string const & text, std::size_t chunk) {
    // The read-ahead buffer grows (and moves) with every chunk.
    std::string buffer;
    for (std::size_t i = 0; i < text.size(); i += chunk) {
        buffer += text.substr(i, chunk);
        std::string copy = buffer;
        auto const * b = reinterpret_cast<unsigned char const *>(copy.data());
        d.Examine(b, b + i, b + copy.size());
    }
    return d.GetRating();
}

}  // namespace

TEST(MixedBlockRange, DetectorCostsOnlyWhatNeitherBlockHolds) {
    Mixed m;
    std::string const good(
        "a\x90\x30\x81\x30\x81\x40\x81\x30\x81\x30"
        "b");
    for (std::size_t chunk : {1u, 3u, 100u}) {
        std::unique_ptr<CharEncodingDetector> d(m.encoding.CreateEncodingDetector(m.heap));
        EXPECT_EQ(0, Rate(*d, good, chunk)) << chunk;
        std::unique_ptr<CharEncodingDetector> bad(m.encoding.CreateEncodingDetector(m.heap));
        // A sequence in no range (one point, as a whole), and 80.
        EXPECT_EQ(-2, Rate(*bad,
                           "\x84\x31\xA5\x30"
                           "ab\x80",
                           chunk))
            << chunk;
        std::unique_ptr<CharEncodingDetector> worse(m.encoding.CreateEncodingDetector(m.heap));
        // 81 7F: a bad trail byte, not a range sequence either.
        EXPECT_EQ(-1, Rate(*worse,
                           "\x81\x7F\x30\x81\x40"
                           "ab",
                           chunk))
            << chunk;
    }
    std::unique_ptr<CharEncodingDetector> d(m.encoding.CreateEncodingDetector(m.heap));
    RecordingLanguage language;
    std::string const with_private("\x81\x41\x90\x30\x81\x30");
    auto const * p = reinterpret_cast<unsigned char const *>(with_private.data());
    d->BreakTie(p, p, p + with_private.size(), 100, &language);
    EXPECT_EQ(-1, d->GetTieBreaker());
    EXPECT_EQ(U32({0xE000, 0x10000}), language.seen);
}

TEST(RangeDetector, EveryExamineCostsAPoint) {
    RangeEncoding enc(TextEncodingID(0), kSub, kNames, nullptr, 0, RangeSpec::GB18030(), true,
                      nullptr, nullptr);
    LinearAllocator heap(nullptr, 0, "test", 0);
    std::unique_ptr<CharEncodingDetector> d(enc.CreateEncodingDetector(heap));
    std::string const text("\x90\x30\x81\x30\x81\x30\x81\x30");
    auto const * b = reinterpret_cast<unsigned char const *>(text.data());
    d->Examine(b, b, b + text.size());
    EXPECT_EQ(-1, d->GetRating());
    bool complete = true;
    EXPECT_EQ(b + 4, d->BreakTieFrom(b, b, b + 6, 0, nullptr, complete));
    EXPECT_FALSE(complete);
}

}  // namespace range_codec

// The single-byte converters over the toy code page of mbcs_test_tables.h, so
// that every rule can be seen without an encoding library. The sweeps over
// every output size and limit are in sweep_test.cpp; these are the
// cases they do not reach: pairs split between calls, Finish, Latin-1.
namespace sbcs_codec {

namespace {

using u16 = unsigned short;
using u32 = unsigned int;
using U16s = std::vector<u16>;
using U32s = std::vector<u32>;

std::vector<char> Bytes(std::initializer_list<unsigned> list) {
    std::vector<char> v;
    for (unsigned b : list)
        v.push_back(static_cast<char>(b));
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
    EXPECT_TRUE(
        Ran(TranscodeOnce(enc, U16s{'a', 0xD83D, 0xDE00, 'b'}), kTranscodeNotInRepertoire, 3, "a"));
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

}  // namespace sbcs_codec

// The generic range and sparse tables, and the single-byte detector.
namespace code_tables {

TEST(RangeTable, DenseRangeWithDefault) {
    unsigned int const values[] = {0, 7, 0, 9, 0};
    RangeTable<unsigned int, unsigned int> table(0, 100, 5, values);
    // Key, whether it is defined (the stored default is absent), value.
    struct {
        unsigned int key;
        bool defined;
        unsigned int value;
    } const cases[] = {{101, true, 7},  {103, true, 9}, {100, false, 0},        {99, false, 0},
                       {105, false, 0}, {5, false, 0},  {0xFFFFFFFFu, false, 0}};
    LookupUnsignedLongTable<unsigned int> const & any = table;
    for (auto const & c : cases) {
        unsigned int v = 1;
        unsigned long lv = 1;
        EXPECT_EQ(c.defined, table.LookupValue(c.key, v)) << c.key;
        EXPECT_EQ(c.defined, any.Lookup(c.key, lv)) << c.key;
        EXPECT_EQ(c.value, table.Get(c.key)) << c.key;
        EXPECT_TRUE(!c.defined || (v == c.value && lv == c.value)) << c.key;
    }
    EXPECT_EQ(101u, table.LowestDefinedKey());
    EXPECT_EQ(103u, table.HighestDefinedKey());
    EXPECT_EQ(0u, table.DefaultValue());
    // All default, or empty: nothing defined, and the extremes report zero.
    unsigned int const fives[] = {5, 5, 5};
    RangeTable<unsigned int, unsigned int> all_default(5, 40, 3, fives);
    EXPECT_EQ(0u, all_default.LowestDefinedKey() + all_default.HighestDefinedKey());
    unsigned int v = 0;
    EXPECT_FALSE(all_default.LookupValue(41, v));
    RangeTable<unsigned int, unsigned int> empty(3, 0, 0, nullptr);
    EXPECT_EQ(3u, empty.Get(0));
    EXPECT_FALSE(empty.LookupValue(0, v));
}

// A halving search, ordered first word first, words compared unsigned.
TEST(SparseTable, HalvingSearch) {
    ZU_SparseTableEntry const many[] = {
        {0, 5, 1},           {0, 0xFFFFFFFFu, 2}, {1, 0, 3},          {1, 7, 4},
        {0x80000000u, 1, 5}, {0xFFFFFFFFu, 0, 6}, {0xFFFFFFFFu, 9, 7}};
    for (unsigned int count : {1u, 2u, 7u}) {
        SparseTable<ZU_ULongLong, unsigned int> table(99, many, count);
        for (unsigned int i = 0; i < count; ++i) {
            EXPECT_EQ(many[i].value, table.Get({many[i].first, many[i].second})) << i;
        }
        for (ZU_ULongLong absent : {ZU_ULongLong{0, 4}, ZU_ULongLong{0, 6}, ZU_ULongLong{1, 1},
                                    ZU_ULongLong{0xFFFFFFFFu, 10}, ZU_ULongLong{0, 0}}) {
            unsigned int v = 0;
            EXPECT_FALSE(table.LookupValue(absent, v)) << count;
            EXPECT_EQ(99u, table.Get(absent)) << count;
        }
    }
    SparseTable<ZU_ULongLong, unsigned int> table(99, many, 7);
    unsigned long lv = 0;
    LookupUnsignedLongTable<ZU_ULongLong> const & any = table;
    EXPECT_TRUE(any.Lookup({0x80000000u, 1}, lv));
    EXPECT_EQ(5ul, lv);
    SparseTable<ZU_ULongLong, unsigned int> empty(7, nullptr, 0);
    EXPECT_EQ(7u, empty.Get({0, 0}));
}

namespace {

struct Detect {
    unsigned short table[256];
    Detect() {
        for (unsigned b = 0; b < 256; ++b)
            table[b] = static_cast<unsigned short>(b);
        table[0x81] = 0xFFFD;
        table[0x82] = 0xE000;  // private use
        table[0x83] = 0xF8FF;  // private use
        table[0x84] = 0xF900;  // not private use
    }
};

}  // namespace

TEST(SbcsDetector, RatingCountsUndefinedBytes) {
    Detect d;
    SBCSDetector detector(CharEncoding::CP1252(), d.table);
    EXPECT_EQ(0, detector.GetRating());
    unsigned char const bytes[] = {'a', 0x81, 0x81, 0x82, 0xFF, 0x81};
    detector.Examine(bytes, bytes, bytes + 3);
    EXPECT_EQ(-2, detector.GetRating());
    detector.Examine(bytes, bytes + 3, bytes + 6);  // only the new bytes count
    EXPECT_EQ(-3, detector.GetRating());
    EXPECT_EQ(&CharEncoding::CP1252(), &detector.GetEncoding());
}

// Private use costs a point; the language sees the text above level 0.
TEST(SbcsDetector, TieBreakPenalisesPrivateUseAndAsksTheLanguage) {
    Detect d;
    unsigned char const bytes[] = {'a', 0x81, 0x82, 0x83, 0x84, 'b'};
    for (int level : {0, 60, 100}) {
        SBCSDetector detector(CharEncoding::CP1252(), d.table);
        RecordingLanguage language(0, 10);
        detector.BreakTie(bytes, bytes, bytes + 6, static_cast<unsigned char>(level),
                          level == 100 ? nullptr : &language);
        EXPECT_EQ(level == 60 ? -2 + 50 : -2, detector.GetTieBreaker()) << level;
        EXPECT_EQ(level == 60 ? 60 : -1, language.last_level) << level;
    }
    SBCSDetector detector(CharEncoding::CP1252(), d.table);
    RecordingLanguage language;
    detector.BreakTie(bytes, bytes, bytes + 6, 60, &language);
    EXPECT_EQ((std::vector<unsigned int>{'a', 0xE000, 0xF8FF, 0xF900, 'b'}), language.seen);
}

}  // namespace code_tables
