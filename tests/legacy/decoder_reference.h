// A one-byte-at-a-time walk of a decoder state machine, checking room and
// limit before every byte, and a driver that runs a decoder and the walk side
// by side over the same input and compares every call.
#ifndef ZUUC_TESTS_LEGACY_DECODER_REFERENCE_H
#define ZUUC_TESTS_LEGACY_DECODER_REFERENCE_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "zuuc/code_tables.h"
#include "zuuc/transcoder.h"

namespace decoder_reference {

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
        while (in != end) {
            if (out == outEnd || (limit >= 0 && written >= limit)) {
                if (in_block) {
                    in = sequence_start;
                    state = sequence_state;
                }
                return out == outEnd ? kTranscodeOutputFull : kTranscodeLimitReached;
            }
            unsigned char const byte = static_cast<unsigned char>(*in++);
            unsigned int const before = state;
            MBCStoUnicodeEntry<T> const & e = table->At(state, byte);
            state = e.next == kAgain ? 0 : e.next;
            if (e.value == kInvalid) {
                if (in_block) {
                    in = sequence_start;
                    state = sequence_state;
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
        if (in_block && state != 0) {
            in = sequence_start;
            state = sequence_state;
        }
        return kTranscodeInputExhausted;
    }
};

inline std::string Describe(TranscodeResult result, std::size_t consumed,
                     std::vector<unsigned int> const & output) {
    std::string s =
        "result " + std::to_string(result) + " consumed " + std::to_string(consumed) + ":";
    for (unsigned int u : output) {
        s += " " + std::to_string(u);
    }
    return s;
}

// One call over a copy of bytes [from, to) into exactly `room` units.
template <class Out, class F>
std::string Once(F && f, std::string const & bytes, std::size_t from, std::size_t to,
                 std::size_t room, long limit, std::size_t * consumed, TranscodeResult * result) {
    std::unique_ptr<char[]> input(new char[to - from + 1]);
    std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(from),
              bytes.begin() + static_cast<std::ptrdiff_t>(to), input.get());
    std::unique_ptr<Out[]> buffer(new Out[room + 1]);
    char const * in = input.get();
    Out * out = buffer.get();
    *result = f(in, input.get() + (to - from), out, buffer.get() + room, limit);
    *consumed = static_cast<std::size_t>(in - input.get());
    return Describe(*result, *consumed, std::vector<unsigned int>(buffer.get(), out));
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
        std::size_t consumed = 0;
        TranscodeResult result = kTranscodeComplete;
        std::size_t their_consumed = 0;
        TranscodeResult their_result = kTranscodeComplete;
        std::string const a = Once<Out>(mine, bytes, at, to, room, limit, &consumed, &result);
        std::string const b =
            Once<Out>(theirs, bytes, at, to, room, limit, &their_consumed, &their_result);
        ASSERT_EQ(b, a) << "call " << calls << " at byte " << at;
        at += consumed;
        if (result == kTranscodeInputExhausted) {
            if (to == bytes.size()) {
                return;
            }
            to = bytes.size();
        } else if (result == kTranscodeNoCharacterDefined && consumed == 0 && in_block) {
            return;  // the in-block decoder leaves the problem where it is
        }
        room = bytes.size() + 1;
        limit = -1;
    }
}

// Compare over `bytes` with a fresh decoder from `make` for every output
// room, every limit and every split point n.
template <class Out, class MakeDecoder, class T>
void CompareEveryRoomLimitAndSplit(MakeDecoder & make, MBCStoUnicodeTable<T> const * table,
                                   std::string const & bytes, bool in_block) {
    for (std::size_t n = 0; n <= bytes.size() + 1; ++n) {
        SCOPED_TRACE("n " + std::to_string(n));
        {
            auto room = make();
            Compare<Out>(*room, table, bytes, bytes.size(), n, -1, in_block);
        }
        {
            auto limited = make();
            Compare<Out>(*limited, table, bytes, bytes.size(), bytes.size() + 1,
                         static_cast<long>(n), in_block);
        }
        if (n <= bytes.size()) {
            auto split = make();
            Compare<Out>(*split, table, bytes, n, bytes.size() + 1, -1, in_block);
        }
        if (::testing::Test::HasFatalFailure()) {
            return;
        }
    }
}

}  // namespace decoder_reference

#endif
