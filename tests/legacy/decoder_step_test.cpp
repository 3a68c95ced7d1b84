// The table decoders take two-byte characters in one step and copy runs of
// bytes that decode to themselves. These tests compare them, call by call,
// with a plain one-byte-at-a-time walk of the same state machine over many
// generated inputs: every output size, every limit and every split point,
// through Transcode and TranscodeInBlock, with 16- and 32-bit tables.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "decoder_reference.h"
#include "mbcs_test_tables.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"

using namespace mbcs_test;
using namespace decoder_reference;

namespace {


// State 0: bytes 00-7F decode to themselves except 05 (invalid) and 0E
// (switch to the two-byte mode 4); 81-84 lead a two-byte character, 85 a
// three-byte one, 87 one whose trail says "read again"; 88 is a one-byte
// character above 0x7F; FF is invalid.
// State 1 (trail): 40-7E and 80-FC complete a character; 7F completes one
// and switches to mode 4.
// States 2, 3: second and third bytes of the three-byte characters.
// State 4 (two-byte mode, like JIS X 0208): 21-7E lead, 0F back to state 0,
// 0A is a newline that stays in the mode; state 5 holds its trails.
// State 6: 41 completes a character with next "read again", others invalid.
template <class T>
StateTable<T> MakeTable(unsigned int wide_base) {
    StateTable<T> t;
    t.AddState(kInvalid, 0);  // 0
    t.AddState(kInvalid, 0);  // 1
    t.AddState(kInvalid, 0);  // 2
    t.AddState(kInvalid, 0);  // 3
    t.AddState(kInvalid, 4);  // 4
    t.AddState(kInvalid, 4);  // 5
    t.AddState(kInvalid, 0);  // 6
    t.Identity(0, 0x00, 0x7F, 0);
    t.Set(0, 0x05, kInvalid, 0);
    t.Set(0, 0x0E, kGoOn, 4);
    t.SetRange(0, 0x81, 0x84, kGoOn, 1);
    t.Set(0, 0x85, kGoOn, 2);
    t.Set(0, 0x87, kGoOn, 6);
    t.Set(0, 0x88, 0xFF61, 0);
    for (unsigned int b = 0x40; b <= 0xFC; ++b) {
        t.Set(1, b, 0x4E00 + b, 0);
    }
    t.Set(1, 0x7F, 0x2000, 4);
    t.SetRange(2, 0xA1, 0xFE, kGoOn, 3);
    for (unsigned int b = 0xA1; b <= 0xFE; ++b) {
        t.Set(3, b, wide_base + b, 0);
    }
    t.SetRange(4, 0x21, 0x7E, kGoOn, 5);
    t.Set(4, 0x0F, kGoOn, 0);
    t.Set(4, 0x0A, 0x0A, 4);
    for (unsigned int b = 0x21; b <= 0x7E; ++b) {
        t.Set(5, b, 0x3000 + b, 4);
    }
    t.Set(6, 0x41, 0x0391, kAgain);
    return t;
}

// Inputs built from pieces that meet every path: long and short ASCII runs,
// two- and three-byte characters, mode switches, invalid bytes and cut
// sequences.
std::vector<std::string> Inputs() {
    static char const * const kPieces[] = {
        "abcdefghijklmnopqrst", "abcdefgh", "xyz", " ", "\n", "\x81\x41", "\x84\xFC", "\x82\x7F",
        "\x85\xA1\xFE", "\x87\x41", "\x87\x42", "\x88", "\x05", "\xFF", "\x81", "\x85\xA1",
        "\x81\x20", "\x0E\x21\x21\x30\x7E\x0F", "\x0E\x24\x22\n\x24\x0F", "\x0E\x21", "\x0E\x21\x05",
        "\x40", "\x7F", "\xA1",
    };
    constexpr std::size_t kCount = sizeof(kPieces) / sizeof(kPieces[0]);
    std::mt19937 random(421);
    std::vector<std::string> inputs;
    for (std::size_t i = 0; i < kCount; ++i) {
        inputs.push_back(std::string("abcdefghijklmnop") + kPieces[i] + "abcdefghijklmnop");
    }
    for (int n = 0; n < 60; ++n) {
        std::string s;
        int const pieces = 1 + static_cast<int>(random() % 8);
        for (int p = 0; p < pieces; ++p) {
            s += kPieces[random() % kCount];
        }
        inputs.push_back(s);
    }
    return inputs;
}

template <class Out, class MakeDecoder, class T>
void SweepAll(MakeDecoder make, MBCStoUnicodeTable<T> const * table) {
    for (std::string const & bytes : Inputs()) {
        for (bool in_block : {false, true}) {
            SCOPED_TRACE("input of " + std::to_string(bytes.size()) + " bytes" +
                         (in_block ? " in block" : ""));
            CompareEveryRoomLimitAndSplit<Out>(make, table, bytes, in_block);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

}  // namespace

TEST(DecoderStep, SixteenBitTableToUtf16MatchesTheOneByteWalk) {
    StateTable<unsigned short> table = MakeTable<unsigned short>(0x6000);
    SweepAll<unsigned short>([&] { return std::make_unique<MBCStoUTF16>(table.Get(), true); },
                             table.Get());
}

TEST(DecoderStep, ThirtyTwoBitTableToUtf32MatchesTheOneByteWalk) {
    // Three-byte characters beyond the BMP.
    StateTable<unsigned int> table = MakeTable<unsigned int>(0x20000);
    SweepAll<unsigned int>(
        [&] { return std::make_unique<MBCStoUTF32>(nullptr, table.Get(), true); }, table.Get());
}

TEST(DecoderStep, ModalDecoderMatchesTheOneByteWalk) {
    StateTable<unsigned short> table = MakeTable<unsigned short>(0x6000);
    SweepAll<unsigned int>(
        [&] { return std::make_unique<ModalToUTF32>(table.Get(), nullptr); }, table.Get());
}

TEST(DecoderStep, CopyRunsStopAtBytesThatDoNotDecodeToThemselves) {
    // In state 0, 0E switches mode and 05 is invalid: a run of ASCII that
    // ends at either stops there, whatever the alignment.
    StateTable<unsigned short> table = MakeTable<unsigned short>(0x6000);
    for (std::size_t lead = 0; lead < 20; ++lead) {
        std::string const run(lead, 'k');
        MBCStoUTF16 d(table.Get(), true);
        auto r = TranscodeOnce(d, Bytes(run + "\x0E\x21\x21\x0F" "abcdefghijklmnop"));
        EXPECT_EQ(kTranscodeInputExhausted, r.result);
        ASSERT_EQ(lead + 17, r.output.size());
        EXPECT_EQ(0x3021, r.output[lead]);
        EXPECT_EQ('a', r.output[lead + 1]);
        EXPECT_EQ(lead + 20, r.consumed);

        MBCStoUTF16 bad(table.Get(), true);
        r = TranscodeOnce(bad, Bytes(run + "\x05" "abcdefghijklmnop"));
        EXPECT_EQ(kTranscodeNoCharacterDefined, r.result);
        EXPECT_EQ(lead, r.output.size());
        EXPECT_EQ(lead + 1, r.consumed);
    }
}
