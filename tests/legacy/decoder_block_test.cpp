// The table decoders take text in which every byte below 0x80 decodes to
// itself a block of bytes at a time, reading each character's length from the high
// bits of the block. These tests feed them long inputs (the block path needs
// a stretch of some length) that mix ASCII with two-byte characters and put
// everything that does not fit the pattern -- a one-byte character from 0x80
// up, a three-byte character, a lead whose trail changes the state, an
// invalid byte, a cut sequence -- at every position of a block, and compare
// every call with a one-byte-at-a-time walk of the same state machine: every
// output size, every limit and every split point, through Transcode and
// TranscodeInBlock, with 16- and 32-bit tables. Input and output buffers are
// exactly as large as the call may use, so that the sanitizers see any read
// or write past them.
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


// An EUC-like machine. State 0: 00-7F decode to themselves; A1-FE lead a
// two-byte character (state 1); 8E leads one whose trails are 41-5A or A1-DF
// (state 2); 8F a three-byte one (states 3, then 1); 80 is a one-byte
// character; 82 is "go on" with next "read again"; 81 leads state 4, whose
// only character 41 ends with "read again"; FF and 83-8D are invalid.
// State 1: A1-FE complete a character; 7F completes one but moves to state 5.
template <class T>
StateTable<T> MakeTable(unsigned int wide_base) {
    StateTable<T> t;
    t.AddState(kInvalid, 0);  // 0
    t.AddState(kInvalid, 0);  // 1
    t.AddState(kInvalid, 0);  // 2
    t.AddState(kInvalid, 0);  // 3
    t.AddState(kInvalid, 0);  // 4
    t.AddState(kInvalid, 5);  // 5: everything invalid, and 0F back to 0
    t.Identity(0, 0x00, 0x7F, 0);
    t.SetRange(0, 0xA1, 0xFE, kGoOn, 1);
    t.Set(0, 0x8E, kGoOn, 2);
    t.Set(0, 0x8F, kGoOn, 3);
    t.Set(0, 0x80, 0x20AC, 0);
    t.Set(0, 0x82, kGoOn, kAgain);
    t.Set(0, 0x81, kGoOn, 4);
    for (unsigned int b = 0xA1; b <= 0xFE; ++b) {
        t.Set(1, b, 0xAC00 + b, 0);
        t.Set(3, b, kGoOn, 1);
    }
    t.Set(1, 0x7F, 0x2000, 5);
    for (unsigned int b = 0x41; b <= 0x5A; ++b) {
        t.Set(2, b, wide_base + b, 0);
    }
    for (unsigned int b = 0xA1; b <= 0xDF; ++b) {
        t.Set(2, b, 0xFF00 + b - 0x40, 0);
    }
    t.Set(4, 0x41, 0x0391, kAgain);
    t.Set(5, 0x0F, kGoOn, 0);
    t.Set(5, 0x21, 0x3021, 5);
    return t;
}

// Text like Korean: runs of 1-4 ASCII bytes between runs of 1-4 two-byte
// characters, with the occasional 8E pair.
std::string MixedText(std::mt19937 & random, std::size_t size) {
    std::string s;
    while (s.size() < size) {
        for (unsigned int n = 1 + random() % 4; n > 0; --n) {
            s += static_cast<char>(0x20 + random() % 0x5F);
        }
        for (unsigned int n = 1 + random() % 4; n > 0; --n) {
            if (random() % 8 == 0) {
                s += '\x8E';
                s += static_cast<char>(random() % 2 ? 0x41 + random() % 26
                                                    : 0xA1 + random() % 0x3F);
            } else {
                s += static_cast<char>(0xA1 + random() % 0x5E);
                s += static_cast<char>(0xA1 + random() % 0x5E);
            }
        }
    }
    return s;
}

// Text like Chinese: two-byte characters with an ASCII byte now and then, so
// that whole blocks hold nothing else.
std::string DenseText(std::mt19937 & random, std::size_t size) {
    std::string s;
    while (s.size() < size) {
        if (random() % 24 == 0) {
            s += static_cast<char>(0x20 + random() % 0x5F);
        }
        s += static_cast<char>(0xA1 + random() % 0x5E);
        s += static_cast<char>(0xA1 + random() % 0x5E);
    }
    return s;
}

// Pieces that do not fit the block pattern.
char const * const kMisfits[] = {
    "\x80",              // a one-byte character from 0x80 up
    "\x8F\xA1\xA2\xA3",  // a three-byte character (and the lead after it)
    "\x8F\xA1\xA2",      // a three-byte character
    "\xB0\x7F\x21\x0F",  // a character that changes the state, and back
    "\xFF",              // an invalid byte
    "\x84",              // an invalid byte from 0x80 up
    "\xB0\x41",          // a lead whose trail is invalid (the trail is read again)
    "\xB0",              // a lead cut by whatever follows
    "\x82",              // a lead that reads again
    "\x81\x41",          // a character ending in "read again"
    "\x8E\x30",          // a lead whose trail is invalid
};

// Inputs of 160-200 bytes, mixed and dense, with one misfit at every offset
// 100..131 (every position of a block, however the blocks fall), plus a few
// without any.
std::vector<std::string> Inputs() {
    std::mt19937 random(4212);
    std::vector<std::string> inputs;
    for (int n = 0; n < 3; ++n) {
        inputs.push_back(MixedText(random, 160 + random() % 40));
    }
    std::string ascii(200, 'a');
    for (std::size_t i = 0; i < ascii.size(); ++i) {
        ascii[i] = static_cast<char>(0x20 + i % 0x5F);
    }
    inputs.push_back(ascii);
    for (int n = 0; n < 3; ++n) {
        inputs.push_back(DenseText(random, 160 + random() % 40));
    }
    for (char const * misfit : kMisfits) {
        for (std::size_t offset = 100; offset < 132; ++offset) {
            std::string s = MixedText(random, offset + 60);
            s.insert(offset, misfit);
            inputs.push_back(s);
            std::string dense = DenseText(random, offset + 60);
            dense.insert(offset, misfit);
            inputs.push_back(dense);
        }
    }
    return inputs;
}

// The first call alone over every input, then, over a few, every room, limit
// and split.
template <class Out, class MakeDecoder, class T>
void SweepAll(MakeDecoder make, MBCStoUnicodeTable<T> const * table) {
    std::vector<std::string> const inputs = Inputs();
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::string const & bytes = inputs[i];
        for (bool in_block : {false, true}) {
            SCOPED_TRACE("input " + std::to_string(i) + (in_block ? " in block" : ""));
            auto d = make();
            Compare<Out>(*d, table, bytes, bytes.size(), bytes.size() + 1, -1, in_block);
            // Every room, limit and split for a sample of the inputs.
            if (i % 7 != 0) {
                continue;
            }
            CompareEveryRoomLimitAndSplit<Out>(make, table, bytes, in_block);
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

}  // namespace

TEST(DecoderBlock, SixteenBitTableToUtf16MatchesTheOneByteWalk) {
    StateTable<unsigned short> table = MakeTable<unsigned short>(0x6000);
    SweepAll<unsigned short>([&] { return std::make_unique<MBCStoUTF16>(table.Get(), true); },
                             table.Get());
}

TEST(DecoderBlock, ThirtyTwoBitTableToUtf32MatchesTheOneByteWalk) {
    // Characters beyond the BMP after 8E.
    StateTable<unsigned int> table = MakeTable<unsigned int>(0x20000);
    SweepAll<unsigned int>(
        [&] { return std::make_unique<MBCStoUTF32>(nullptr, table.Get(), true); }, table.Get());
}

TEST(DecoderBlock, ModalDecoderMatchesTheOneByteWalk) {
    StateTable<unsigned short> table = MakeTable<unsigned short>(0x6000);
    SweepAll<unsigned int>(
        [&] { return std::make_unique<ModalToUTF32>(table.Get(), nullptr); }, table.Get());
}

TEST(DecoderBlock, LongMixedTextDecodesWhole) {
    // A long text with no problem comes out in one call, character for
    // character, whatever its length modulo the block.
    StateTable<unsigned short> table = MakeTable<unsigned short>(0x6000);
    std::mt19937 random(7);
    for (std::size_t size = 128; size < 160; ++size) {
        std::string const text = MixedText(random, size);
        std::vector<unsigned short> expected;
        for (std::size_t i = 0; i < text.size(); ++i) {
            unsigned int const b = static_cast<unsigned char>(text[i]);
            if (b < 0x80) {
                expected.push_back(static_cast<unsigned short>(b));
            } else if (b == 0x8E) {
                unsigned int const t = static_cast<unsigned char>(text[++i]);
                expected.push_back(
                    static_cast<unsigned short>(t < 0x80 ? 0x6000 + t : 0xFF00 + t - 0x40));
            } else {
                unsigned int const t = static_cast<unsigned char>(text[++i]);
                expected.push_back(static_cast<unsigned short>(0xAC00 + t));
            }
        }
        MBCStoUTF16 d(table.Get(), true);
        auto r = TranscodeOnce(d, Bytes(text), text.size());
        EXPECT_EQ(kTranscodeInputExhausted, r.result);
        EXPECT_EQ(text.size(), r.consumed);
        EXPECT_EQ(expected, r.output) << "size " << size;
    }
}
