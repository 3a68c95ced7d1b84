// Range and mixed block range codecs: GB18030's four-byte ranges, and a
// mixed encoding made of them and a small two-byte table block (ASCII and
// 81 40 = U+4E02, 81 41 = U+E000).
#include <gtest/gtest.h>

#include <memory>

#include "mbcs_test_tables.h"
#include "zuuc/range_encoding.h"

using namespace zuuc_test::mbcs;

namespace {

char const * kNames[] = {"Test-GB18030", nullptr};
unsigned char const kSub[] = {0x1A, 0};

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
    MixedBlockRangeEncoding encoding{TextEncodingID(0), kSub, kNames, nullptr, 0, true,
                                     nullptr, nullptr, RangeSpec::GB18030()};
    LinearAllocator heap{nullptr, 0, "test", 0};
    Mixed() { encoding.InstallTables(block.decode.Get(), block.encode.Get()); }
};

}  // namespace

// The ranges' arithmetic over real values is in the GB18030 round trip of
// mbcs_catalogue_test.cpp; here, what lies outside them.
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
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("\x90\x30\x81\x30\xE3\x32")), kTranscodeInputExhausted, 6,
                    U32({0x10000})));
    EXPECT_EQ(U32({0x10FFFF}), TranscodeOnce(d, Bytes("\x9A\x35")).output);
    TranscodeOnce(d, Bytes("\x90\x30"));
    unsigned int buf[2];
    unsigned int * out = buf;
    EXPECT_EQ(kTranscodeIllegalInput, d.Finish(out, buf + 2, -1));
    // In a block: a sequence in no range, or one cut short, stays in place.
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("\x90\x30\x81\x30\x84\x31\xA5\x30"), 64, -1, true),
                    kTranscodeNoCharacterDefined, 4));
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("\x90\x30\x81"), 64, -1, true), kTranscodeInputExhausted, 0));
    // Wrong already, no need to wait.
    EXPECT_EQ(kTranscodeNoCharacterDefined, TranscodeOnce(d, Bytes("\x41\x30"), 64, -1, true).result);
    // Plain Transcode consumes the sequence it reports.
    EXPECT_TRUE(Ran(TranscodeOnce(d, Bytes("\x84\x31\xA5\x30\x90\x30\x81\x30")),
                    kTranscodeNoCharacterDefined, 4));

    RangeFromUnicode e(RangeSpec::GB18030());
    EXPECT_EQ("\x90\x30\x81\x30\x81\x30\x81\x30", Str(TranscodeOnce(e, U32({0x10000, 0x80})).output));
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
    std::string const text("a\x90\x30\x81\x30\x81\x40\x81\x30\x81\x30" "b\xE3\x32\x9A\x35\x81\x41" "c");
    std::vector<unsigned int> const whole = {'a', 0x10000, 0x4E02, 0x80, 'b', 0x10FFFF, 0xE000, 'c'};
    for (std::size_t i = 0; i <= text.size(); ++i) {
        for (std::size_t j = i; j <= text.size(); ++j) {
            std::unique_ptr<Transcoder<char, unsigned int>> d(m.encoding.CreateConverterToUTF32(m.heap));
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
    EXPECT_EQ(U32({'c'}), ConvertAll(*d, Bytes("\x84\x31\xA5\x30" "c"), &results));
    EXPECT_EQ((std::vector<int>{kTranscodeNoCharacterDefined, kTranscodeInputExhausted, kTranscodeComplete}),
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
    std::unique_ptr<Transcoder<unsigned short, char>> e16(m.encoding.CreateConverterFromUTF16(m.heap));
    EXPECT_EQ(std::string("\x90\x30\x81\x30z"),
              Str(ConvertAll(*e16, std::vector<unsigned short>{0xD800, 0xDC00, 'z'})));
    std::unique_ptr<Transcoder<char, unsigned short>> d16(m.encoding.CreateConverterToUTF16(m.heap));
    EXPECT_EQ((std::vector<unsigned short>{0xDBFF, 0xDFFF}), ConvertAll(*d16, Bytes("\xE3\x32\x9A\x35")));
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
    std::string const good("a\x90\x30\x81\x30\x81\x40\x81\x30\x81\x30" "b");
    for (std::size_t chunk : {1u, 3u, 100u}) {
        std::unique_ptr<CharEncodingDetector> d(m.encoding.CreateEncodingDetector(m.heap));
        EXPECT_EQ(0, Rate(*d, good, chunk)) << chunk;
        std::unique_ptr<CharEncodingDetector> bad(m.encoding.CreateEncodingDetector(m.heap));
        // A sequence in no range (one point, as a whole), and 80.
        EXPECT_EQ(-2, Rate(*bad, "\x84\x31\xA5\x30" "ab\x80", chunk)) << chunk;
        std::unique_ptr<CharEncodingDetector> worse(m.encoding.CreateEncodingDetector(m.heap));
        // 81 7F: a bad trail byte, not a range sequence either.
        EXPECT_EQ(-1, Rate(*worse, "\x81\x7F\x30\x81\x40" "ab", chunk)) << chunk;
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
