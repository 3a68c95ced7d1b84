// Internal: the encoder loop shared by the UTF-16 to UTF-8 and UTF-16 to
// UTF-EBCDIC converters.
#ifndef ZUUC_SRC_UNICODE_FORMS_UTF8_ENCODER_DETAIL_H
#define ZUUC_SRC_UNICODE_FORMS_UTF8_ENCODER_DETAIL_H

#include <cstddef>
#include <type_traits>

#include "convert/transcode_contract.h"
#include "kernels/ascii_kernels.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::unicode_forms::utf8 {

// Copies UTF-16/UTF-32 units below 0x80 as bytes while there is room.
template <class In>
inline In const * CopyAsciiOut(In const * in, In const * inEnd, char *& out, char * outEnd,
                               char const * out_start, long limit) {
    std::size_t const room = zuuc_internal::ClampToLimit(static_cast<std::size_t>(outEnd - out),
                                                         limit, static_cast<long>(out - out_start));
    std::size_t const available = static_cast<std::size_t>(inEnd - in);
    return zuuc_internal::kernels::NarrowAsciiRun(in, in + (available < room ? available : room),
                                                  out);
}

using zuuc_internal::kernels::NarrowAscii8;
// Whether a form writes plain UTF-8 (it declares kWritesUTF8), so that the
// run loop below may write its bytes directly.
template <class Form, class = void>
struct WritesUTF8 : std::false_type {};
template <class Form>
struct WritesUTF8<Form, std::void_t<decltype(Form::kWritesUTF8)>>
    : std::integral_constant<bool, Form::kWritesUTF8> {};

// Encodes UTF-16 as UTF-8 with nothing pending, in stretches where every unit
// has room for three bytes (the most a unit can need on its own; a pair needs
// four for two units): within a stretch no room or limit test is needed.
// Stops before a high surrogate that does not start a pair wholly inside the
// stretch (the careful path decides it), at the end of the input, and when
// less than three bytes of room (or of the limit) are left. Writes exactly
// what the careful path would: a low surrogate on its own, and with `combine`
// false every surrogate, is written as its own three-byte form.
inline unsigned short const * EncodeUTF8Run(bool combine, unsigned short const * in,
                                            unsigned short const * inEnd, char *& out,
                                            char * outEnd, char const * out_start, long limit) {
    unsigned char * o = reinterpret_cast<unsigned char *>(out);
    for (;;) {
        std::size_t room = static_cast<std::size_t>(outEnd - reinterpret_cast<char *>(o));
        if (limit >= 0) {
            long const left = limit - static_cast<long>(reinterpret_cast<char *>(o) - out_start);
            if (left <= 0) {
                break;
            }
            if (static_cast<std::size_t>(left) < room) {
                room = static_cast<std::size_t>(left);
            }
        }
        std::size_t const available = static_cast<std::size_t>(inEnd - in);
        std::size_t const units = available < room / 3 ? available : room / 3;
        if (units == 0) {
            break;
        }
        unsigned short const * const stop = in + units;
        while (in < stop) {
            unsigned const u = *in;
            if (u < 0x80) {
                if (stop - in >= 8 && NarrowAscii8(in, o)) {
                    in += 8;
                    o += 8;
                    continue;
                }
                *o++ = static_cast<unsigned char>(u);
                ++in;
            } else if (u < 0x800) {
                // Two-byte forms come in words (Cyrillic, Greek, Hebrew,
                // Arabic): stay in this loop for the rest of the word.
                unsigned v = u;
                do {
                    o[0] = static_cast<unsigned char>(0xC0 | (v >> 6));
                    o[1] = static_cast<unsigned char>(0x80 | (v & 0x3F));
                    o += 2;
                    ++in;
                } while (in < stop && (v = *in, v - 0x80u < 0x780u));
            } else if (combine && u >= 0xD800 && u <= 0xDBFF) {
                if (stop - in < 2 || in[1] < 0xDC00 || in[1] > 0xDFFF) {
                    out = reinterpret_cast<char *>(o);
                    return in;
                }
                unsigned long const cp =
                    (static_cast<unsigned long>(u - 0xD800) << 10) + (in[1] - 0xDC00u) + 0x10000;
                o[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
                o[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
                o[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
                o[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
                o += 4;
                in += 2;
            } else {
                // Three-byte forms come in runs too (CJK, Indic scripts).
                unsigned v = u;
                do {
                    o[0] = static_cast<unsigned char>(0xE0 | (v >> 12));
                    o[1] = static_cast<unsigned char>(0x80 | ((v >> 6) & 0x3F));
                    o[2] = static_cast<unsigned char>(0x80 | (v & 0x3F));
                    o += 3;
                    ++in;
                } while (in < stop && (v = *in, v >= 0x800) && (!combine || v - 0xD800u >= 0x800u));
            }
        }
        if (in == inEnd) {
            break;
        }
    }
    out = reinterpret_cast<char *>(o);
    return in;
}

// The surrogate handling shared by the UTF-16 to UTF-8 and UTF-16 to
// UTF-EBCDIC encoders; `Form` gives the length of a code point's bytes and
// writes them.
template <class Form>
TranscodeResult EncodeFromUTF16(bool combine, unsigned short & pending, int & replay,
                                unsigned short const *& in, unsigned short const * inEnd,
                                char *& out, char * outEnd, long limit) {
    unsigned short const * const start = in;
    char * const out_start = out;
    // Where the pending high surrogate came from in this call, so that a pair
    // that does not fit can be given back whole.
    unsigned short const * pending_at = nullptr;
    bool pending_from_replay = false;
    auto give_back = [&] {
        if (pending_at != nullptr) {
            in = pending_at;
            pending = 0;
        } else if (pending_from_replay) {
            replay = pending;
            pending = 0;
        }
    };
    for (;;) {
        if (Form::kAsciiIsIdentity && pending == 0 && replay < 0) {
            if constexpr (WritesUTF8<Form>::value) {
                in = EncodeUTF8Run(combine, in, inEnd, out, outEnd, out_start, limit);
            }
            in = CopyAsciiOut(in, inEnd, out, outEnd, out_start, limit);
        }
        unsigned int unit;
        bool const from_replay = replay >= 0;
        if (from_replay) {
            unit = static_cast<unsigned int>(replay);
        } else if (in < inEnd) {
            unit = *in;
        } else {
            return kTranscodeInputExhausted;
        }
        unsigned long code_point = unit;
        if (pending != 0) {
            if (!(unit >= 0xDC00 && unit <= 0xDFFF)) {
                // The high surrogate alone is the problem; this unit is
                // converted on its own afterwards.
                pending = 0;
                if (in == start && out == out_start) {
                    replay = static_cast<int>(unit);
                    ++in;
                }
                return kTranscodeIllFormedUTF16;
            }
            code_point =
                (static_cast<unsigned long>(pending - 0xD800) << 10) + (unit - 0xDC00) + 0x10000;
        } else if (combine && (unit >= 0xD800 && unit <= 0xDBFF)) {
            pending = static_cast<unsigned short>(unit);
            if (from_replay) {
                replay = -1;
                pending_from_replay = true;
            } else {
                pending_at = in;
                ++in;
            }
            continue;
        }
        unsigned const length = Form::Length(code_point);
        if (limit >= 0 && (out - out_start) + static_cast<long>(length) > limit) {
            give_back();
            return kTranscodeLimitReached;
        }
        if (outEnd - out < static_cast<long>(length)) {
            give_back();
            return kTranscodeOutputFull;
        }
        Form::Put(out, code_point, length);
        pending = 0;
        pending_at = nullptr;
        pending_from_replay = false;
        if (from_replay) {
            replay = -1;
        } else {
            ++in;
        }
    }
}

template <class Form>
TranscodeResult FinishFromUTF16(bool combine, unsigned short & pending, int & replay, char *& out,
                                char * outEnd, long limit) {
    if (replay >= 0) {
        unsigned short const * none = nullptr;
        TranscodeResult const result =
            EncodeFromUTF16<Form>(combine, pending, replay, none, none, out, outEnd, limit);
        if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
            return result;
        }
    }
    TranscodeResult const result = pending != 0 ? kTranscodeIllegalInput : kTranscodeComplete;
    pending = 0;
    replay = -1;
    return result;
}

}  // namespace zuuc_internal::unicode_forms::utf8

#endif
