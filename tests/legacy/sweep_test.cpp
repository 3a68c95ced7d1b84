// Model sweeps: every table decoder and encoder compared, call by call, with
// a plain one-unit-at-a-time model.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "mbcs_test_tables.h"
#include "zuuc/zuuc.h"

using namespace zuuc_test::mbcs;

// The table decoders take two-byte characters in one step, copy runs of
// bytes that decode to themselves, and take text in which every byte below
// 0x80 decodes to itself a block of bytes at a time, reading each
// character's length from the high bits of the block. These tests compare
// them, call by call, with a plain one-byte-at-a-time walk of the same state
// machine: every output size, every limit and every split point, through
// Transcode and TranscodeInBlock, with 16- and 32-bit tables, the modal
// decoder and the single-byte ones. Input and output buffers are exactly as
// large as the call may use, so that the sanitizers see any read or write
// past them.
namespace decoder_walk {

namespace {
constexpr unsigned int kInvalid = 0xFFFD;
constexpr unsigned int kGoOn = 0xFFFF;
constexpr unsigned int kAgain = 0xFFFF;  // as a next state

// The state machine walked one byte at a time, checking room and limit before
// every byte.
template <class T>
struct Reference {
    MBCStoUnicodeTable<T> const * table;
    unsigned int state = 0;

    template <class Out>
    TranscodeResult Run(char const *& in, char const * end, Out *& out, Out * outEnd, long limit,
                        bool in_block) {
        char const * sequence_start = in;
        unsigned int sequence_state = state;
        long written = 0;
        auto back_to_sequence_start = [&] {
            if (in_block) {
                in = sequence_start;
                state = sequence_state;
            }
        };
        while (in != end) {
            if (out == outEnd || (limit >= 0 && written >= limit)) {
                back_to_sequence_start();
                return out == outEnd ? kTranscodeOutputFull : kTranscodeLimitReached;
            }
            unsigned char const byte = static_cast<unsigned char>(*in++);
            unsigned int const before = state;
            MBCStoUnicodeEntry<T> const & e = table->At(state, byte);
            state = e.next == kAgain ? 0 : e.next;
            if (e.value == kInvalid) {
                if (in_block) {
                    back_to_sequence_start();
                } else if (before != state && table->At(state, byte).value != kInvalid) {
                    --in;
                }
                return kTranscodeNoCharacterDefined;
            }
            if (e.value == kGoOn) {
                continue;
            }
            *out++ = static_cast<Out>(e.value);
            ++written;
            sequence_start = in;
            sequence_state = state;
        }
        if (state != 0) {
            back_to_sequence_start();
        }
        return kTranscodeInputExhausted;
    }
};

// One call over a copy of bytes [from, to) into exactly `room` units.
template <class Out, class F>
Run<char, Out> Once(F && f, std::string const & bytes, std::size_t from, std::size_t to,
                    std::size_t room, long limit) {
    std::unique_ptr<char[]> input(new char[to - from + 1]);
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(from),
              bytes.begin() + static_cast<std::ptrdiff_t>(to), input.get());
    std::unique_ptr<Out[]> buffer(new Out[room + 1]);
    char const * in = input.get();
    Out * out = buffer.get();
    TranscodeResult const r = f(in, input.get() + (to - from), out, buffer.get() + room, limit);
    return {r, std::vector<Out>(buffer.get(), out), static_cast<std::size_t>(in - input.get())};
}

// Runs the decoder and the reference side by side on [0, split) with the
// given room and limit, then on the rest with plenty of room, going on after
// problems, comparing every call.
template <class Out, class Decoder, class T>
void Compare(Decoder & decoder, MBCStoUnicodeTable<T> const * table, std::string const & bytes,
             std::size_t split, std::size_t room, long limit, bool in_block) {
    Reference<T> reference{table};
    auto mine = [&](char const *& in, char const * end, Out *& out, Out * outEnd, long lim) {
        return in_block ? decoder.TranscodeInBlock(in, end, out, outEnd, lim)
                        : decoder.Transcode(in, end, out, outEnd, lim);
    };
    auto theirs = [&](char const *& in, char const * end, Out *& out, Out * outEnd, long lim) {
        return reference.Run(in, end, out, outEnd, lim, in_block);
    };
    std::size_t at = 0;
    std::size_t to = split;
    for (int calls = 0; calls < 400 && at <= bytes.size(); ++calls) {
        auto const got = Once<Out>(mine, bytes, at, to, room, limit);
        ASSERT_EQ(Once<Out>(theirs, bytes, at, to, room, limit), got)
            << "call " << calls << " at byte " << at;
        at += got.consumed;
        if (got.result == kTranscodeInputExhausted) {
            if (to == bytes.size()) {
                return;
            }
            to = bytes.size();
        } else if (got.result == kTranscodeNoCharacterDefined && got.consumed == 0 && in_block) {
            return;  // the in-block decoder leaves the problem where it is
        }
        room = bytes.size() + 1;
        limit = -1;
    }
}

// Each input in one call, and every `sample`-th one with a fresh decoder for
// every output room, every limit and every split point; in a block (unless
// the decoder has no block form) and not.
template <class Out, class MakeDecoder, class T>
void SweepAll(MakeDecoder make, MBCStoUnicodeTable<T> const * table,
              std::vector<std::string> const & inputs, std::size_t sample, bool blocks = true) {
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        std::string const & bytes = inputs[i];
        std::size_t const size = bytes.size();
        for (bool in_block : {false, blocks}) {
            SCOPED_TRACE("input " + std::to_string(i) + (in_block ? " in block" : ""));
            Compare<Out>(*make(), table, bytes, size, size + 1, -1, in_block);
            for (std::size_t n = 0; i % sample == 0 && n <= size + 1; ++n) {
                SCOPED_TRACE("n " + std::to_string(n));
                Compare<Out>(*make(), table, bytes, size, n, -1, in_block);
                Compare<Out>(*make(), table, bytes, size, size + 1, static_cast<long>(n), in_block);
                if (n <= size) {
                    Compare<Out>(*make(), table, bytes, n, size + 1, -1, in_block);
                }
                if (::testing::Test::HasFatalFailure()) {
                    return;
                }
            }
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
        }
    }
}

// The three table decoders over the machine `MakeTable` builds (32-bit
// values from `wide_base` on beyond the BMP).
template <class Machine>
void SweepTheDecoders(std::vector<std::string> const & inputs, std::size_t sample) {
    {
        SCOPED_TRACE("16-bit table to UTF-16");
        StateTable<unsigned short> table = Machine::template MakeTable<unsigned short>(0x6000);
        SweepAll<unsigned short>([&] { return std::make_unique<MBCStoUTF16>(table.Get(), true); },
                                 table.Get(), inputs, sample);
        SCOPED_TRACE("modal to UTF-32");
        SweepAll<unsigned int>([&] { return std::make_unique<ModalToUTF32>(table.Get(), nullptr); },
                               table.Get(), inputs, sample);
    }
    SCOPED_TRACE("32-bit table to UTF-32");
    StateTable<unsigned int> table = Machine::template MakeTable<unsigned int>(0x20000);
    SweepAll<unsigned int>(
        [&] { return std::make_unique<MBCStoUTF32>(nullptr, table.Get(), true); }, table.Get(),
        inputs, sample);
}

struct StepMachine {
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
    static StateTable<T> MakeTable(unsigned int wide_base) {
        StateTable<T> t;
        t.AddInvalidStates({0, 0, 0, 0, 4, 4, 0});
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
    static std::vector<std::string> Inputs() {
        static char const * const kPieces[] = {
            "abcdefghijklmnopqrst",
            "abcdefgh",
            "xyz",
            " ",
            "\n",
            "\x81\x41",
            "\x84\xFC",
            "\x82\x7F",
            "\x85\xA1\xFE",
            "\x87\x41",
            "\x87\x42",
            "\x88",
            "\x05",
            "\xFF",
            "\x81",
            "\x85\xA1",
            "\x81\x20",
            "\x0E\x21\x21\x30\x7E\x0F",
            "\x0E\x24\x22\n\x24\x0F",
            "\x0E\x21",
            "\x0E\x21\x05",
            "\x40",
            "\x7F",
            "\xA1",
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
};

struct BlockMachine {
    // An EUC-like machine. State 0: 00-7F decode to themselves; A1-FE lead a
    // two-byte character (state 1); 8E leads one whose trails are 41-5A or A1-DF
    // (state 2); 8F a three-byte one (states 3, then 1); 80 is a one-byte
    // character; 82 is "go on" with next "read again"; 81 leads state 4, whose
    // only character 41 ends with "read again"; FF and 83-8D are invalid.
    // State 1: A1-FE complete a character; 7F completes one but moves to state 5.
    template <class T>
    static StateTable<T> MakeTable(unsigned int wide_base) {
        StateTable<T> t;
        t.AddInvalidStates({0, 0, 0, 0, 0, 5});  // 5: everything invalid, and 0F back to 0
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
    static std::string MixedText(std::mt19937 & random, std::size_t size) {
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
    static std::string DenseText(std::mt19937 & random, std::size_t size) {
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
    static constexpr char const * kMisfits[] = {
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
    static std::vector<std::string> Inputs() {
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
};

}  // namespace

TEST(DecoderStep, TableDecodersMatchTheOneByteWalk) {
    SweepTheDecoders<StepMachine>(StepMachine::Inputs(), 1);
}

// Inputs long enough for the block path, every misfit at every position of
// a block; the whole sweep over every seventh.
TEST(DecoderBlock, TableDecodersMatchTheOneByteWalk) {
    SweepTheDecoders<BlockMachine>(BlockMachine::Inputs(), 7);
}

// The single-byte decoders copy blocks of 8 ASCII bytes without the table:
// texts of 30 to 80 bytes, mostly ASCII, with other bytes and undefined ones
// at random places, over a table with ASCII as itself and with 'A' remapped.
TEST(DecoderStep, SingleByteDecodersMatchTheOneByteWalk) {
    std::mt19937 random(7);
    std::vector<std::string> inputs;
    for (int n = 0; n < 40; ++n) {
        std::string s(30 + random() % 50, 'a');
        for (char & c : s) {
            c = random() % 9 == 0 ? "\x80\x81\xE9"
                                    "A\xFF "[random() % 6]
                                  : static_cast<char>('a' + random() % 26);
        }
        inputs.push_back(s);
    }
    for (bool remap : {false, true}) {
        SCOPED_TRACE(remap ? "ASCII remapped" : "ASCII identity");
        SbcsCode const code(remap, 0x3F);
        StateTable<unsigned short> table;
        table.AddState(kInvalid, 0);
        for (unsigned int b = 0; b < 256; ++b)
            table.Set(0, b, code.to_unicode[b], 0);
        SweepAll<unsigned short>(
            [&] { return std::make_unique<SBCStoUTF16>(code.to_unicode, true); }, table.Get(),
            inputs, 1, false);
        SweepAll<unsigned int>([&] { return std::make_unique<SBCStoUTF32>(code.to_unicode, true); },
                               table.Get(), inputs, 1, false);
    }
}

}  // namespace decoder_walk

// The plane-table encoders write stretches of units with room and limit
// settled once per stretch, and the single-byte encoders copy blocks of
// 8 ASCII units without the table (the decoders' sweeps are in
// above). These tests compare every converter with
// a one-unit-at-a-time model over random texts, at every output size and
// limit, in a block and not, and check that no byte or unit behind the final
// output position is touched.
namespace encoder_stretch {

namespace {

using u16 = unsigned short;
using u32 = unsigned int;

bool IsHigh(u32 u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(u32 u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

void AppendValue(std::vector<char> & out, unsigned long v) {
    unsigned int const count = v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : v <= 0xFFFFFF ? 3 : 4;
    for (unsigned int i = count; i-- > 0;) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

// The multi-byte encoders one unit at a time, from a fresh converter.
// `map` holds the mapped units; a high surrogate ending the input is taken
// and held outside a block.
template <class In>
Run<In, char> EncodeModel(std::map<u32, unsigned long> const & map, std::vector<In> const & input,
                          std::size_t room, long limit, bool in_block) {
    constexpr bool kUtf16 = sizeof(In) == 2;
    Run<In, char> o{kTranscodeInputExhausted, {}, 0};
    std::size_t i = 0;
    while (i < input.size()) {
        u32 const u = input[i];
        auto const found = map.find(u);
        if (found != map.end()) {
            std::vector<char> bytes;
            AppendValue(bytes, found->second);
            if (o.output.size() + bytes.size() > room) {
                o.result = kTranscodeOutputFull;
                break;
            }
            if (limit >= 0 && o.output.size() + bytes.size() > static_cast<std::size_t>(limit)) {
                o.result = kTranscodeLimitReached;
                break;
            }
            o.output.insert(o.output.end(), bytes.begin(), bytes.end());
            ++i;
            continue;
        }
        std::size_t units = 1;
        if (kUtf16 && IsHigh(u)) {
            if (i + 1 == input.size()) {
                if (!in_block) {
                    ++i;  // held for the next call
                    break;
                }
                o.result = kTranscodeNotInRepertoire;
                break;
            }
            if (IsLow(input[i + 1])) {
                units = 2;
            }
        }
        if (!in_block) {
            i += units;
        }
        o.result = kTranscodeNotInRepertoire;
        break;
    }
    o.consumed = i;
    return o;
}

// The units the random texts are made of, with what each encodes to.
std::map<u32, unsigned long> MbcsMap(bool wide_values, bool wide_keys) {
    std::map<u32, unsigned long> map;
    for (u32 c = 0; c < 0x80; ++c) {
        map[c] = c;
    }
    map.erase('~');
    map['\\'] = 0x815F;
    map[0xE9] = 0xE9;
    map[0x3042] = 0x82A0;
    map[0xAC00] = 0xB0A1;
    if (wide_values) {
        map[0x4E00] = 0x8F8080;
        map[0x5000] = 0x81308130;
    }
    if (wide_keys) {
        map[0x20000] = 0x9532;
    }
    return map;
}

std::vector<u32> const kMbcsAlphabet = {'a',    'b',    ' ',     '~',    '\\',   0xE9,
                                        0x3042, 0xAC00, 0xAC00,  0x4E00, 0x5000, 0x4E01,
                                        0xD83D, 0xDE00, 0x20000, 0x1F600};

// Random texts: mostly runs of mapped units, with problems mixed in.
template <class In>
std::vector<std::vector<In>> RandomTexts(std::vector<u32> const & alphabet, std::size_t count,
                                         std::size_t longest, unsigned int seed) {
    std::mt19937 random(seed);
    std::vector<std::vector<In>> texts;
    for (std::size_t t = 0; t < count; ++t) {
        std::size_t const length = random() % (longest + 1);
        bool const plain = t % 3 == 0;  // only the first few symbols: long stretches
        std::vector<In> text;
        for (std::size_t i = 0; i < length; ++i) {
            std::size_t const k = random() % (plain ? 8 : alphabet.size());
            u32 const c = alphabet[k];
            if (sizeof(In) == 2 && c > 0xFFFF) {
                text.push_back(static_cast<In>(0xD840));
                text.push_back(static_cast<In>(0xDC00));
            } else {
                text.push_back(static_cast<In>(c));
            }
        }
        texts.push_back(text);
    }
    return texts;
}

// Compares a converter with the model at every room and limit.
template <class In, class Model>
void CompareWithModel(std::function<std::unique_ptr<Transcoder<In, char>>()> const & make,
                      Model const & model, std::vector<std::vector<In>> const & texts,
                      std::size_t most_bytes) {
    for (auto const & text : texts) {
        std::size_t const full = text.size() * most_bytes + 2;
        for (int in_block = 0; in_block < 2; ++in_block) {
            for (std::size_t n = 0; n <= full; ++n) {
                auto by_room = make();
                auto by_limit = make();
                ASSERT_EQ(model(text, n, -1, in_block != 0),
                          TranscodeOnce(*by_room, text, n, -1, in_block != 0))
                    << "room " << n << ", block " << in_block << ", length " << text.size();
                ASSERT_EQ(model(text, full, static_cast<long>(n), in_block != 0),
                          TranscodeOnce(*by_limit, text, full, static_cast<long>(n), in_block != 0))
                    << "limit " << n << ", block " << in_block << ", length " << text.size();
            }
        }
    }
}

template <class V>
NarrowPlane<V> NarrowFrom(std::map<u32, unsigned long> const & map, V undefined) {
    NarrowPlane<V> plane(undefined);
    for (auto const & [key, value] : map) {
        if (key <= 0xFFFF) {
            plane.Set(key, static_cast<V>(value));
        }
    }
    return plane;
}

template <class V>
WidePlane<V> WideFrom(std::map<u32, unsigned long> const & map, V undefined) {
    WidePlane<V> plane(undefined);
    for (auto const & [key, value] : map) {
        plane.Set(key, static_cast<V>(value));
    }
    return plane;
}

// The encoders over plane tables with 16- or 32-bit keys and values.
struct Planes {
    NarrowPlane<u16> narrow16;
    NarrowPlane<u32> narrow32;
    WidePlane<u16> wide16;
    WidePlane<u32> wide32;
    bool wide_keys, wide_values;

    std::unique_ptr<Transcoder<u16, char>> Make(u16) {
        if (wide_values)
            return std::make_unique<MBCSFromUTF16_32>(narrow32.Get(), true);
        return std::make_unique<MBCSFromUTF16_16>(narrow16.Get(), true);
    }
    std::unique_ptr<Transcoder<u32, char>> Make(u32) {
        if (wide_keys && wide_values)
            return std::make_unique<MBCSFromUTF32_32>(wide32.Get(), true);
        if (wide_keys)
            return std::make_unique<MBCSFromUTF32_16>(wide16.Get(), true);
        if (wide_values)
            return std::make_unique<MBCSFromUTF32_32>(narrow32.Get(), true);
        return std::make_unique<MBCSFromUTF32_16>(narrow16.Get(), true);
    }
};

template <class In>
void SweepTheEncoders(unsigned int seed) {
    auto const texts = RandomTexts<In>(kMbcsAlphabet, 60, 24, seed);
    for (int wide_keys = 0; wide_keys < (sizeof(In) == 2 ? 1 : 2); ++wide_keys) {
        for (int wide_values = 0; wide_values < 2; ++wide_values) {
            SCOPED_TRACE(std::string(wide_keys ? "wide" : "narrow") + " keys, " +
                         (wide_values ? "32" : "16") + "-bit values");
            auto const map = MbcsMap(wide_values != 0, wide_keys != 0);
            auto model = [&](auto const & t, std::size_t r, long l, bool b) {
                return EncodeModel<In>(map, t, r, l, b);
            };
            Planes planes{NarrowFrom<u16>(map, 0xFFFF),
                          NarrowFrom<u32>(map, 0xFFFFFFFF),
                          WideFrom<u16>(map, 0xFFFF),
                          WideFrom<u32>(map, 0xFFFFFFFF),
                          wide_keys != 0,
                          wide_values != 0};
            CompareWithModel<In>([&] { return planes.Make(In()); }, model, texts,
                                 wide_values ? 4 : 2);
        }
    }
}

}  // namespace

TEST(EncoderStretch, FromUTF16MatchesTheUnitByUnitModel) {
    SweepTheEncoders<u16>(421);
}

TEST(EncoderStretch, FromUTF32MatchesTheUnitByUnitModel) {
    SweepTheEncoders<u32>(4210);
}

// --- single-byte converters -------------------------------------------------------

namespace {

// What the table maps, as the multi-byte model takes it: the single-byte
// encoders follow the same one-unit-at-a-time rule.
std::map<u32, unsigned long> SbcsMap(SbcsCode const & code) {
    std::map<u32, unsigned long> map;
    for (u32 c = 0; c <= 0xFFFF; ++c) {
        unsigned char const byte = code.plane.Lookup(static_cast<u16>(c));
        if (byte != code.plane.undefined)
            map[c] = byte;
    }
    return map;
}

// Texts long enough for the shortcut, mostly ASCII so that 8-unit blocks
// occur, with the other characters and problems at random places.
std::vector<std::vector<u32>> SbcsTexts(std::vector<u32> rare, unsigned int seed) {
    std::vector<u32> alphabet;
    for (u32 c = 'a'; c <= 'z'; ++c)
        alphabet.push_back(c);
    alphabet.insert(alphabet.end(), rare.begin(), rare.end());
    return RandomTexts<u32>(alphabet, 40, 80, seed);
}

}  // namespace

TEST(SbcsShortcut, EncodersMatchTheUnitByUnitModel) {
    // Undefined marker 0x3F ('?', inside ASCII: no shortcut) and 0xFF.
    for (unsigned undefined : {0x3Fu, 0xFFu}) {
        for (int remap = 0; remap < 2; ++remap) {
            SCOPED_TRACE("undefined " + std::to_string(undefined) + ", remap " +
                         std::to_string(remap));
            SbcsCode const code(remap != 0, static_cast<unsigned char>(undefined));
            auto const map = SbcsMap(code);
            auto const texts =
                SbcsTexts({0x20AC, 0xE9, 'A', '?', 0x391, 0x4E00, 0xD83D, 0xDE00, 0xFFFF, 0x10000},
                          100 + undefined + remap);
            for (auto const & text32 : texts) {
                std::vector<u16> text16;
                for (u32 c : text32)
                    text16.push_back(static_cast<u16>(c));
                for (std::size_t n = 0; n <= text32.size() + 1; ++n) {
                    SBCSFromUTF16 from16(&code.plane, true);
                    SBCSFromUTF32 from32(&code.plane, true);
                    ASSERT_EQ(EncodeModel<u16>(map, text16, n, -1, false),
                              TranscodeOnce(from16, text16, n, -1, false))
                        << "room " << n;
                    SBCSFromUTF16 from16l(&code.plane, true);
                    long const limit = static_cast<long>(n);
                    ASSERT_EQ(EncodeModel<u16>(map, text16, text16.size(), limit, false),
                              TranscodeOnce(from16l, text16, text16.size(), limit, false))
                        << "limit " << n;
                    ASSERT_EQ(EncodeModel<u32>(map, text32, n, -1, false),
                              TranscodeOnce(from32, text32, n, -1, false))
                        << "room " << n;
                }
            }
        }
    }
}

}  // namespace encoder_stretch
