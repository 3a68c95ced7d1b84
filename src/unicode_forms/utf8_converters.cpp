// The UTF-8 converters: UTF-8 bytes to UTF-16 and UTF-32, and back.
//
// The decoders work straight on the caller's input while nothing is held
// and copy runs of ASCII eight bytes at a time; only a sequence split
// between two calls goes through the slower held-bytes path. Both paths
// decide every sequence with the same function (ExamineSequence), so where
// the input is split never changes the output or the problems reported.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "convert/transcode_contract.h"
#include "kernels/ascii_kernels.h"
#include "utf8_encoder_detail.h"
#include "zuuc/utf8_encodings.h"

namespace {

using Byte = unsigned char;

using zuuc_internal::IsContinuationByte;
using zuuc_internal::TrailingByteCount;

enum class Sequence { kCharacter, kDropped, kIllegal, kIncomplete };

struct Examined {
    Sequence kind;
    unsigned length;      // bytes of the sequence consumed (for kIncomplete: all available)
    unsigned long value;  // the code point of a kCharacter
};

// Decides the sequence that starts at p, of which `available` bytes (at
// least one) are at hand. A sequence cut short by a byte that cannot
// continue it is illegal and ends before that byte.
inline Examined ExamineSequence(Byte const * p, unsigned available) {
    Byte const lead = p[0];
    if (lead < 0x80) {
        return {Sequence::kCharacter, 1, lead};
    }
    unsigned const trailing = TrailingByteCount(lead);
    if (trailing == 0 || trailing >= 4) {
        // A continuation byte with no lead, or a lead of a 5- or 6-byte form.
        return {Sequence::kIllegal, 1, 0};
    }
    for (unsigned i = 1; i <= trailing; ++i) {
        if (i >= available) {
            return {Sequence::kIncomplete, available, 0};
        }
        if (!IsContinuationByte(p[i])) {
            return {Sequence::kIllegal, i, 0};
        }
    }
    unsigned const length = trailing + 1;
    Byte const second = p[1];
    bool legal = lead >= 0xC2 && lead <= 0xF4;  // C0, C1: overlong; F5..F7: beyond U+10FFFF
    if (lead == 0xE0) {
        legal = second >= 0xA0;  // overlong 3-byte form
    } else if (lead == 0xF0) {
        legal = second >= 0x90;  // overlong 4-byte form
    } else if (lead == 0xF4) {
        legal = second <= 0x8F;  // beyond U+10FFFF
    }
    if (!legal) {
        return {Sequence::kIllegal, length, 0};
    }
    unsigned long value = lead & (0x7Fu >> length);
    for (unsigned i = 1; i < length; ++i) {
        value = (value << 6) | (p[i] & 0x3Fu);
    }
    if (value > 0x10FFFF || zuuc_internal::IsSurrogate(value)) {
        return {Sequence::kIllegal, length, 0};
    }
    if (value == 0xFEFF) {
        return {Sequence::kDropped, length, 0};
    }
    return {Sequence::kCharacter, length, value};
}

// Output units per code point, and writing them.
inline unsigned UnitsFor(unsigned short const *, unsigned long value) {
    return value >= 0x10000 ? 2 : 1;
}
inline unsigned UnitsFor(unsigned int const *, unsigned long) {
    return 1;
}

inline void PutUnits(unsigned short *& out, unsigned long value) {
    if (value >= 0x10000) {
        *out++ = zuuc_internal::HighSurrogateOf(value);
        *out++ = zuuc_internal::LowSurrogateOf(value);
    } else {
        *out++ = static_cast<unsigned short>(value);
    }
}
inline void PutUnits(unsigned int *& out, unsigned long value) {
    *out++ = static_cast<unsigned int>(value);
}

// Whether `units` more units fit: 0 if so, else the result to stop with.
template <class Out>
inline TranscodeResult Room(Out const * out, Out const * out_start, Out const * outEnd, long limit,
                            unsigned units) {
    if (limit >= 0 && (out - out_start) + static_cast<long>(units) > limit) {
        return kTranscodeLimitReached;
    }
    if (outEnd - out < static_cast<long>(units)) {
        return kTranscodeOutputFull;
    }
    return kTranscodeComplete;
}

// Copies ASCII bytes while they last and there is room; returns the new input.
template <class Out>
inline Byte const * CopyAscii(Byte const * in, Byte const * inEnd, Out *& out, Out * outEnd,
                              Out const * out_start, long limit) {
    std::size_t const room = zuuc_internal::ClampToLimit(static_cast<std::size_t>(outEnd - out),
                                                         limit, static_cast<long>(out - out_start));
    std::size_t const available = static_cast<std::size_t>(inEnd - in);
    return zuuc_internal::kernels::WidenAsciiRun(in, in + (available < room ? available : room),
                                                 out);
}

template <class Out>
TranscodeResult DecodeUTF8(UTF8DecoderState & state, char const *& in_chars,
                           char const * inEnd_chars, Out *& out, Out * outEnd, long limit) {
    Byte const * in = reinterpret_cast<Byte const *>(in_chars);
    Byte const * const inEnd = reinterpret_cast<Byte const *>(inEnd_chars);
    Byte const * const start = in;
    Out * const out_start = out;
    auto stop = [&](TranscodeResult result) {
        in_chars = reinterpret_cast<char const *>(in);
        return result;
    };

    // A sequence begun in an earlier call: complete it from the input.
    if (state.held_count != 0) {
        Byte buffer[4];
        std::memcpy(buffer, state.held, state.held_count);
        unsigned const trailing = TrailingByteCount(buffer[0]);
        unsigned const wanted = trailing >= 4 ? 1 : trailing + 1;
        unsigned available = state.held_count;
        Byte const * p = in;
        while (available < wanted && p < inEnd) {
            buffer[available++] = *p++;
        }
        Examined const seq = ExamineSequence(buffer, available);
        unsigned const from_input = seq.length - state.held_count;
        switch (seq.kind) {
            case Sequence::kIncomplete:
                std::memcpy(state.held, buffer, available);
                state.held_count = available;
                in = p;
                return stop(kTranscodeInputExhausted);
            case Sequence::kIllegal:
                in += from_input;
                state.held_count = 0;
                if (in == start && out == out_start && in < inEnd) {
                    // The problem lies wholly in earlier input: take the next
                    // byte into the state (it starts the next sequence), so
                    // that this call makes progress.
                    state.held[0] = *in++;
                    state.held_count = 1;
                    state.trailing = TrailingByteCount(state.held[0]);
                }
                return stop(kTranscodeIllegalInput);
            case Sequence::kDropped:
                in += from_input;
                state.held_count = 0;
                break;
            case Sequence::kCharacter: {
                TranscodeResult const room =
                    Room<Out>(out, out_start, outEnd, limit, UnitsFor(out, seq.value));
                if (room != kTranscodeComplete) {
                    return stop(room);  // the held bytes stay held
                }
                PutUnits(out, seq.value);
                in += from_input;
                state.held_count = 0;
                break;
            }
        }
    }

    // Nothing held: straight on the input. Every input byte gives at most
    // one output unit, so over a stretch of min(input, room, limit left)
    // bytes no character can fail to fit and the room tests are skipped.
    // A sequence that the stretch cuts short starts the next stretch; any
    // problem is left to the careful loop below, which otherwise only runs
    // near the end of the room or the limit.
    for (;;) {
        std::size_t n = static_cast<std::size_t>(inEnd - in);
        std::size_t const room = static_cast<std::size_t>(outEnd - out);
        if (room < n) {
            n = room;
        }
        if (limit >= 0) {
            long const left = limit - static_cast<long>(out - out_start);
            if (left < 16 || static_cast<std::size_t>(left) < n) {
                n = left < 0 ? 0 : static_cast<std::size_t>(left);
            }
        }
        if (n < 16) {
            break;
        }
        Byte const * const stretch_begin = in;
        Byte const * const stretch_end = in + n;
        bool careful = false;
        while (in != stretch_end) {
            // Two- and three-byte characters, the bulk of non-Latin text, are
            // decided here directly; everything else by ExamineSequence.
            while (stretch_end - in >= 3 && in[0] >= 0xC2) {
                unsigned const b0 = in[0];
                unsigned const b1 = in[1];
                if (b0 < 0xE0) {
                    if ((b1 & 0xC0) != 0x80) {
                        break;
                    }
                    *out++ = static_cast<Out>(((b0 & 0x1Fu) << 6) | (b1 & 0x3Fu));
                    in += 2;
                    continue;
                }
                unsigned const b2 = in[2];
                if (b0 >= 0xF0 || ((b1 & 0xC0) != 0x80) || ((b2 & 0xC0) != 0x80)) {
                    break;
                }
                unsigned const value = ((b0 & 0x0Fu) << 12) | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
                if (value < 0x800 || zuuc_internal::IsSurrogate(value) || value == 0xFEFF) {
                    break;
                }
                *out++ = static_cast<Out>(value);
                in += 3;
            }
            in = zuuc_internal::kernels::WidenAsciiRun(in, stretch_end, out);
            if (in == stretch_end) {
                break;
            }
            Examined const seq = ExamineSequence(
                in, static_cast<unsigned>(stretch_end - in < 4 ? stretch_end - in : 4));
            if (seq.kind == Sequence::kCharacter) {
                PutUnits(out, seq.value);
                in += seq.length;
            } else if (seq.kind == Sequence::kDropped) {
                in += seq.length;
            } else {
                // A sequence the stretch cuts short goes on in the next
                // stretch (computed afresh from what is left); a problem, or
                // the end of the input, is for the careful loop.
                careful = seq.kind != Sequence::kIncomplete || stretch_end == inEnd;
                break;
            }
        }
        if (careful || in == stretch_begin) {
            break;
        }
        if (in == inEnd) {
            return stop(kTranscodeInputExhausted);
        }
    }
    for (;;) {
        in = CopyAscii(in, inEnd, out, outEnd, out_start, limit);
        if (in == inEnd) {
            return stop(kTranscodeInputExhausted);
        }
        if (*in < 0x80) {
            return stop(Room<Out>(out, out_start, outEnd, limit, 1));
        }
        Examined const seq =
            ExamineSequence(in, static_cast<unsigned>(inEnd - in < 4 ? inEnd - in : 4));
        switch (seq.kind) {
            case Sequence::kIncomplete:
                std::memcpy(state.held, in, seq.length);
                state.held_count = seq.length;
                state.trailing = TrailingByteCount(*in);
                in = inEnd;
                return stop(kTranscodeInputExhausted);
            case Sequence::kIllegal:
                in += seq.length;
                return stop(kTranscodeIllegalInput);
            case Sequence::kDropped:
                in += seq.length;
                break;
            case Sequence::kCharacter: {
                TranscodeResult const room =
                    Room<Out>(out, out_start, outEnd, limit, UnitsFor(out, seq.value));
                if (room != kTranscodeComplete) {
                    return stop(room);
                }
                PutUnits(out, seq.value);
                in += seq.length;
                break;
            }
        }
    }
}

template <class Out>
TranscodeResult FinishUTF8(UTF8DecoderState & state, Out *& out, Out * outEnd, long limit) {
    TranscodeResult result = kTranscodeComplete;
    if (state.held_count != 0) {
        Examined const seq = ExamineSequence(state.held, state.held_count);
        if (seq.kind == Sequence::kCharacter) {
            // A single byte taken ahead after a problem.
            TranscodeResult const room =
                Room<Out>(out, out, outEnd, limit, UnitsFor(out, seq.value));
            if (room != kTranscodeComplete) {
                return room;
            }
            PutUnits(out, seq.value);
        } else if (seq.kind != Sequence::kDropped) {
            result = kTranscodeIllegalInput;  // cut short by the end of input, or malformed
        }
    }
    state.held_count = 0;
    state.trailing = 0;
    return result;
}

// --- encoding ---------------------------------------------------------------

inline unsigned UTF8Length(unsigned long value) {
    if (value < 0x80)
        return 1;
    if (value < 0x800)
        return 2;
    if (value < 0x10000)
        return 3;
    return 4;
}

inline void PutUTF8(char *& out, unsigned long value, unsigned length) {
    static Byte const kFirstByteMark[7] = {0x00, 0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};
    Byte * const o = reinterpret_cast<Byte *>(out);
    for (unsigned i = length - 1; i > 0; --i) {
        o[i] = static_cast<Byte>(0x80 | (value & 0x3F));
        value >>= 6;
    }
    o[0] = static_cast<Byte>(kFirstByteMark[length] | value);
    out += length;
}

}  // namespace

// --- UTF8ToUTF16 ------------------------------------------------------------------

UTF8ToUTF16::UTF8ToUTF16(bool) : state_{{0, 0, 0, 0}, 0, 0} {}
UTF8ToUTF16::~UTF8ToUTF16() = default;

TranscodeResult UTF8ToUTF16::Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                                       unsigned short * outEnd, long limit) {
    return DecodeUTF8(state_, in, inEnd, out, outEnd, limit);
}

TranscodeResult UTF8ToUTF16::Finish(unsigned short *& out, unsigned short * outEnd, long limit) {
    return FinishUTF8(state_, out, outEnd, limit);
}

void UTF8ToUTF16::Reset() {
    state_.held_count = 0;
    state_.trailing = 0;
}

// --- UTF8ToUTF32 ------------------------------------------------------------------

UTF8ToUTF32::UTF8ToUTF32() : state_{{0, 0, 0, 0}, 0, 0} {}
UTF8ToUTF32::~UTF8ToUTF32() = default;

TranscodeResult UTF8ToUTF32::Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                       unsigned int * outEnd, long limit) {
    return DecodeUTF8(state_, in, inEnd, out, outEnd, limit);
}

TranscodeResult UTF8ToUTF32::Finish(unsigned int *& out, unsigned int * outEnd, long limit) {
    return FinishUTF8(state_, out, outEnd, limit);
}

void UTF8ToUTF32::Reset() {
    state_.held_count = 0;
    state_.trailing = 0;
}

// --- UTF16ToUTF8 ------------------------------------------------------------------

namespace {

struct UTF8Form {
    static constexpr bool kAsciiIsIdentity = true;
    static constexpr bool kWritesUTF8 = true;
    static unsigned Length(unsigned long value) { return UTF8Length(value); }
    static void Put(char *& out, unsigned long value, unsigned length) {
        PutUTF8(out, value, length);
    }
};

}  // namespace

using zuuc_internal::unicode_forms::utf8::CopyAsciiOut;
using zuuc_internal::unicode_forms::utf8::EncodeFromUTF16;
using zuuc_internal::unicode_forms::utf8::FinishFromUTF16;

UTF16ToUTF8::UTF16ToUTF8(bool combine_surrogates)
    : combine_(combine_surrogates), pending_(0), replay_(-1) {}
UTF16ToUTF8::~UTF16ToUTF8() = default;

TranscodeResult UTF16ToUTF8::Transcode(unsigned short const *& in, unsigned short const * inEnd,
                                       char *& out, char * outEnd, long limit) {
    return EncodeFromUTF16<UTF8Form>(combine_, pending_, replay_, in, inEnd, out, outEnd, limit);
}

TranscodeResult UTF16ToUTF8::Finish(char *& out, char * outEnd, long limit) {
    TranscodeResult const result =
        FinishFromUTF16<UTF8Form>(combine_, pending_, replay_, out, outEnd, limit);
    if (result != kTranscodeOutputFull && result != kTranscodeLimitReached) {
        BlockConverter_16_to_8::Reset();
    }
    return result;
}

void UTF16ToUTF8::Reset() {
    BlockConverter_16_to_8::Reset();
    pending_ = 0;
    replay_ = -1;
}

// --- UTF32ToUTF8 ------------------------------------------------------------------

UTF32ToUTF8::UTF32ToUTF8() = default;
UTF32ToUTF8::~UTF32ToUTF8() = default;

TranscodeResult UTF32ToUTF8::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                       char *& out, char * outEnd, long limit) {
    char * const out_start = out;
    for (;;) {
        in = CopyAsciiOut(in, inEnd, out, outEnd, out_start, limit);
        if (in == inEnd) {
            return kTranscodeInputExhausted;
        }
        // Over as many code points as have room (and limit) for four bytes
        // each, no room or limit test is needed.
        std::size_t room = static_cast<std::size_t>(outEnd - out);
        if (limit >= 0) {
            long const left = limit - (out - out_start);
            room = left <= 0 ? 0 : std::min(room, static_cast<std::size_t>(left));
        }
        std::size_t const n = std::min(static_cast<std::size_t>(inEnd - in), room / 4);
        if (n != 0) {
            unsigned int const * p = in;
            unsigned int const * const stop = in + n;
            char * o = out;
            // Runs of ASCII go back to CopyAsciiOut, which takes them faster.
            while (p != stop && *p - 0x80u <= 0x10FFFFu - 0x80u) {
                unsigned long const v = *p++;
                PutUTF8(o, v, UTF8Length(v));
            }
            bool const moved = p != in;
            in = p;
            out = o;
            if (moved) {
                continue;
            }
        }
        unsigned long const value = *in;
        if (value > 0x10FFFF) {
            ++in;
            return kTranscodeIllegalInput;
        }
        unsigned const length = UTF8Length(value);
        if (limit >= 0 && (out - out_start) + static_cast<long>(length) > limit) {
            return kTranscodeLimitReached;
        }
        if (outEnd - out < static_cast<long>(length)) {
            return kTranscodeOutputFull;
        }
        PutUTF8(out, value, length);
        ++in;
    }
}

TranscodeResult UTF32ToUTF8::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

void UTF32ToUTF8::Reset() {
    BlockConverter_32_to_8::Reset();
}
