// The loops shared by the UTF-7 and Java converters (internal).
//
// Both decoders read one byte at a time and write zero to two units for it;
// both encoders read one character (a unit, or a surrogate pair that arrived
// whole) and write a few bytes for it. Each step works on a copy of the
// converter's state, into a small local buffer; the loops copy the output
// and keep the new state only when the whole output fits the room and the
// limit, so a character is written whole or left unconsumed.
#ifndef ZUUC_SRC_UNICODE_FORMS_ESCAPE_FORMS_H
#define ZUUC_SRC_UNICODE_FORMS_ESCAPE_FORMS_H

#include <cstddef>
#include <initializer_list>

#include "unicode_forms/utf16_units.h"
#include "zuuc/transcoder.h"
#include "zuuc/utf7_encodings.h"

namespace zuuc_internal::unicode_forms {

// What one decoded byte asks for.
struct DecodedByte {
    unsigned short units[2];
    unsigned int count;
    // kTranscodeIllegalInput for an error (the byte is consumed and the step
    // has reset its state); anything else is success.
    TranscodeResult result;
};

// Writes `count` units from `units` whole, or nothing and stops with 2 or 7
// (`stop`) when they do not fit the room or the budget.
template <class Out>
inline bool PutWhole(Out const * units, unsigned int count, Out *& out, Out const * outEnd,
                     OutputBudget & budget, TranscodeResult & stop) {
    if (static_cast<std::size_t>(outEnd - out) < count) {
        stop = kTranscodeOutputFull;
        return false;
    }
    if (!budget.Allows(static_cast<long>(count))) {
        stop = kTranscodeLimitReached;
        return false;
    }
    for (unsigned int i = 0; i < count; ++i) {
        *out++ = units[i];
    }
    budget.Spend(static_cast<long>(count));
    return true;
}

// Writes `units` into `out` through the held high surrogate: a high
// surrogate waits for the next unit, and goes out alone when that is not
// its low surrogate. Returns the number of units written.
inline unsigned int JoinSurrogates(ZuHeldSurrogate & high, unsigned short const * units,
                                   unsigned int count, unsigned short * out) {
    unsigned int written = 0;
    for (unsigned int i = 0; i < count; ++i) {
        unsigned short const u = units[i];
        if (high.held) {
            out[written++] = high.unit;
            high.held = false;
            if (IsLowSurrogate(u)) {
                out[written++] = u;
                continue;
            }
        }
        if (IsHighSurrogate(u)) {
            high.unit = u;
            high.held = true;
        } else {
            out[written++] = u;
        }
    }
    return written;
}

// Decodes bytes with `step(byte, state) -> DecodedByte`.
template <class State, class Step>
TranscodeResult DecodeBytes(char const *& in, char const * inEnd, unsigned short *& out,
                            unsigned short * outEnd, long limit, State & state,
                            ZuHeldSurrogate & high, Step && step) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        State next = state;
        DecodedByte const d = step(static_cast<unsigned char>(*in), next);
        ZuHeldSurrogate held = high;
        unsigned short local[4];
        unsigned int n = 0;
        if (d.result == kTranscodeIllegalInput) {
            // Before an error, a held high surrogate goes out alone.
            if (held.held) {
                local[n++] = held.unit;
                held.held = false;
            }
        } else {
            n = JoinSurrogates(held, d.units, d.count, local);
        }
        TranscodeResult stop = kTranscodeComplete;
        if (!PutWhole(local, n, out, outEnd, budget, stop)) {
            return stop;
        }
        state = next;
        high = held;
        ++in;
        if (d.result == kTranscodeIllegalInput) {
            return kTranscodeIllegalInput;
        }
    }
    return kTranscodeInputExhausted;
}

// Writes a held high surrogate at the end of the text; false (nothing
// written) when it does not fit.
inline bool FlushSurrogate(ZuHeldSurrogate & high, unsigned short *& out, unsigned short * outEnd,
                           long limit, TranscodeResult & stop) {
    OutputBudget budget(limit);
    if (!high.held || !PutWhole(&high.unit, 1, out, outEnd, budget, stop)) {
        return !high.held;
    }
    high.held = false;
    return true;
}

// Encodes 16-bit units with `encode(units, count, state, bytes) -> bytes
// written` (at most 16 bytes; `count` is 2 for a surrogate pair).
template <class State, class Encode>
TranscodeResult EncodeUnits(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                            char * outEnd, long limit, State & state, Encode && encode) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        unsigned int const count =
            (IsHighSurrogate(in[0]) && inEnd - in >= 2 && IsLowSurrogate(in[1])) ? 2 : 1;
        State next = state;
        char local[16];
        unsigned int const n = encode(in, count, next, local);
        TranscodeResult stop = kTranscodeComplete;
        if (!PutWhole(local, n, out, outEnd, budget, stop)) {
            return stop;
        }
        state = next;
        in += count;
    }
    return kTranscodeInputExhausted;
}

using VariationAccessor = EncodingVariation & (*)();

// The byte form of `base` made by the variations given, in order. The
// caller builds the base first, so that it outlives the variations that own
// its variants.
CharEncoding & ByteFormOf(TextEncoding const & base,
                          std::initializer_list<VariationAccessor> variations);

}  // namespace zuuc_internal::unicode_forms

#endif
