// Modal codecs on a small hand-made ISO-2022-JP-like code with four modes:
//   0 ASCII, 1 "JIS" (24 22 = U+3042), 2 "old JIS" (30 21 = U+4E9C,
//   30 22 = U+FF71), 3 "Roman" (5C = U+00A5);
//   ESC $ B -> 1, ESC $ @ -> 2, ESC ( B -> 0, ESC ( J -> 3.
#include <gtest/gtest.h>

#include <memory>

#include "mbcs_test_tables.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/modal_encoding.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"

using namespace zuuc_test::mbcs;

namespace {

unsigned char const * U(char const * s) { return reinterpret_cast<unsigned char const *>(s); }

struct JisCode {
    StateTable<unsigned short> decode;
    NarrowPlane<unsigned int> modes[4] = {NarrowPlane<unsigned int>(0xFFFFFFFF), NarrowPlane<unsigned int>(0xFFFFFFFF),
                                          NarrowPlane<unsigned int>(0xFFFFFFFF), NarrowPlane<unsigned int>(0xFFFFFFFF)};
    PlaneTable<unsigned short, unsigned int> const * planes[4];
    unsigned char const * escapes[16] = {
        nullptr,      U("\x1B$B"), U("\x1B$@"), U("\x1B(J"),  //
        U("\x1B(B"), nullptr,      U("\x1B$@"), U("\x1B(J"),  //
        U("\x1B(B"), U("\x1B$B"), nullptr,      U("\x1B(J"),  //
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

// The walk sweeps in decoder_walk_test.cpp check the modal decoder call by
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
    EXPECT_EQ("a\x1B$B\x24\x22\x1B(B", Str(ConvertAll(e, U16s{'a', 0xD840, 0xDC00, 0x3042}, &results)));
    EXPECT_EQ((std::vector<int>{kTranscodeNotInRepertoire, kTranscodeInputExhausted, kTranscodeComplete}),
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
    ModalEncoding enc(TextEncodingID(0), code.substitutes, kNames, nullptr, 0, true, 4, code.escapes,
                      true, nullptr, nullptr);
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
    EXPECT_EQ("a\x1B$B\x24\x22\x74\x7E\x24\x22\x74\x7E\x1B(Bb", Str(zuuc_test::utf8::ReadAllBytes(*encoded)));

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
    ModalEncoding enc(TextEncodingID(0), code.substitutes, kNames, nullptr, 0, true, 4, code.escapes,
                      true, nullptr, nullptr);
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
        return from == to ? std::string() : std::string(reinterpret_cast<char const *>(
                                                code.escapes[from * 4 + to]));
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
            unsigned int const v = c > 0xFFFF ? 0xFFFFFFFFu : code.planes[mode]->Lookup(static_cast<unsigned short>(c));
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
                ModalModel const expected = EncodeModel(code, text, limit == -1 ? room : 200,
                                                        limit);
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
