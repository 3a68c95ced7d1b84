// Internal: the encoder loop shared by the UTF-16 to UTF-8 and UTF-16 to
// UTF-EBCDIC converters.
#ifndef ZUUC_SRC_UNICODE_FORMS_UTF8_ENCODER_DETAIL_H
#define ZUUC_SRC_UNICODE_FORMS_UTF8_ENCODER_DETAIL_H

#include <cstddef>

#include "zuuc/transcoder.h"

namespace zuuc_utf8_detail {

// Copies UTF-16/UTF-32 units below 0x80 as bytes while there is room.
template <class In>
inline In const * CopyAsciiOut(In const * in, In const * inEnd, char *& out, char * outEnd,
                               char const * out_start, long limit) {
    std::size_t room = static_cast<std::size_t>(outEnd - out);
    if (limit >= 0) {
        long const left = limit - static_cast<long>(out - out_start);
        if (left <= 0) {
            return in;
        }
        if (static_cast<std::size_t>(left) < room) {
            room = static_cast<std::size_t>(left);
        }
    }
    std::size_t const available = static_cast<std::size_t>(inEnd - in);
    In const * const stop = in + (available < room ? available : room);
    char * o = out;
    while (stop - in >= 4) {
        if (((in[0] | in[1] | in[2] | in[3]) & ~static_cast<In>(0x7F)) != 0) {
            break;
        }
        o[0] = static_cast<char>(in[0]);
        o[1] = static_cast<char>(in[1]);
        o[2] = static_cast<char>(in[2]);
        o[3] = static_cast<char>(in[3]);
        in += 4;
        o += 4;
    }
    while (in < stop && *in < 0x80) {
        *o++ = static_cast<char>(*in++);
    }
    out = o;
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
    // UTF-8 with nothing pending, no limit and room for the most bytes a unit
    // can give (three): no character can fail to fit, so the room tests are
    // skipped.
    // Anything but well-formed text goes to the general loop below.
    if (Form::kAsciiIsIdentity && combine && pending == 0 && replay < 0 && limit < 0 &&
        outEnd - out >= 3 * (inEnd - in)) {
        while (in < inEnd) {
            unsigned long code_point = *in;
            if (code_point < 0x80) {
                *out++ = static_cast<char>(code_point);
                ++in;
                continue;
            }
            if (code_point >= 0xD800 && code_point <= 0xDFFF) {
                if (code_point > 0xDBFF || inEnd - in < 2 || in[1] < 0xDC00 || in[1] > 0xDFFF) {
                    break;
                }
                code_point = ((code_point - 0xD800) << 10) + (in[1] - 0xDC00) + 0x10000;
                Form::Put(out, code_point, Form::Length(code_point));
                in += 2;
                continue;
            }
            Form::Put(out, code_point, Form::Length(code_point));
            ++in;
        }
    }
    for (;;) {
        if (Form::kAsciiIsIdentity && pending == 0 && replay < 0) {
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
            code_point = (static_cast<unsigned long>(pending - 0xD800) << 10) + (unit - 0xDC00) +
                         0x10000;
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

}  // namespace zuuc_utf8_detail

#endif
