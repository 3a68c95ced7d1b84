// Converters between the 16- and 32-bit Unicode forms, and the byte-order
// mark inserters and removers of both widths.
#include <cstdint>
#include <cstring>

#include "kernels/ascii_kernels.h"
#include "unicode_forms/utf16_units.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_internal::unicode_forms;

// --- UTF16ToUTF32Converter -------------------------------------------------------

namespace {

using zuuc_internal::kernels::NarrowBMP8;
using zuuc_internal::kernels::WidenBMP8;

}  // namespace

UTF16ToUTF32Converter::UTF16ToUTF32Converter() : pending_(0), kept_(0), has_kept_(false) {}
UTF16ToUTF32Converter::~UTF16ToUTF32Converter() = default;

UTF16ToUTF32Converter::Step UTF16ToUTF32Converter::Take(unsigned short unit, unsigned int *& out,
                                                        unsigned int * outEnd, long & budget) {
    if (pending_ != 0 && !IsLowSurrogate(unit)) {
        pending_ = 0;  // the high surrogate alone is ill-formed
        return kUnpaired;
    }
    if (pending_ == 0 && IsHighSurrogate(unit)) {
        pending_ = unit;
        return kTaken;
    }
    if (out >= outEnd) {
        return kNoRoom;
    }
    if (budget == 0) {
        return kNoBudget;
    }
    *out++ = pending_ != 0 ? CombineSurrogates(pending_, unit) : unit;
    pending_ = 0;
    if (budget > 0) {
        --budget;
    }
    return kTaken;
}

TranscodeResult UTF16ToUTF32Converter::Transcode(unsigned short const *& in,
                                                 unsigned short const * inEnd, unsigned int *& out,
                                                 unsigned int * outEnd, long limit) {
    long budget = limit < 0 ? -1 : limit;
    if (has_kept_) {
        switch (Take(kept_, out, outEnd, budget)) {
            case kNoRoom:
                return kTranscodeOutputFull;
            case kNoBudget:
                return kTranscodeLimitReached;
            default:
                has_kept_ = false;
                break;  // nothing is pending before a kept unit
        }
    }
    unsigned short const * const start = in;
    while (in < inEnd) {
        if (pending_ == 0) {
            // Units outside the surrogate range each become one code point:
            // over min(input, room, budget) units they need no room tests.
            std::size_t const n = Stretch(in, inEnd, out, outEnd, budget);
            unsigned short const * p = in;
            unsigned short const * const stop = in + n;
            unsigned int * o = out;
            while (stop - p >= 8 && WidenBMP8(p, o)) {
                p += 8;
                o += 8;
            }
            while (p != stop && static_cast<unsigned short>(*p - 0xD800u) >= 0x800u) {
                *o++ = *p++;
            }
            if (budget > 0) {
                budget -= o - out;
            }
            in = p;
            out = o;
            if (in == inEnd) {
                break;
            }
        }
        if (out >= outEnd) {
            return kTranscodeOutputFull;
        }
        switch (Take(*in, out, outEnd, budget)) {
            case kTaken:
                ++in;
                break;
            case kNoRoom:
                return kTranscodeOutputFull;
            case kNoBudget:
                return kTranscodeLimitReached;
            case kUnpaired:
                if (in == start) {
                    // The high surrogate came with the previous block: keep
                    // this unit for the next call so that this one moves on.
                    kept_ = *in++;
                    has_kept_ = true;
                }
                return kTranscodeIllegalInput;
        }
    }
    return kTranscodeInputExhausted;
}

TranscodeResult UTF16ToUTF32Converter::Finish(unsigned int *& out, unsigned int * outEnd,
                                              long limit) {
    if (has_kept_) {
        long budget = limit < 0 ? -1 : limit;
        switch (Take(kept_, out, outEnd, budget)) {
            case kNoRoom:
                return kTranscodeOutputFull;
            case kNoBudget:
                return kTranscodeLimitReached;
            default:
                has_kept_ = false;
                break;
        }
    }
    bool const incomplete = pending_ != 0;
    Reset();
    return incomplete ? kTranscodeIllegalInput : kTranscodeComplete;
}

void UTF16ToUTF32Converter::Reset() {
    pending_ = 0;
    kept_ = 0;
    has_kept_ = false;
}

// --- UTF32ToUTF16Converter -------------------------------------------------------

UTF32ToUTF16Converter::UTF32ToUTF16Converter() = default;
UTF32ToUTF16Converter::~UTF32ToUTF16Converter() = default;

TranscodeResult UTF32ToUTF16Converter::Transcode(unsigned int const *& in,
                                                 unsigned int const * inEnd, unsigned short *& out,
                                                 unsigned short * outEnd, long limit) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        {
            // Code points below U+10000 each become one unit: over
            // min(input, room, limit) of them no room or limit test is needed.
            std::size_t const n = Stretch(in, inEnd, out, outEnd, budget.Left());
            unsigned int const * p = in;
            unsigned int const * const stop = in + n;
            unsigned short * o = out;
            while (stop - p >= 8 && NarrowBMP8(p, o)) {
                p += 8;
                o += 8;
            }
            while (p != stop && *p < kFirstSupplementary) {
                *o++ = static_cast<unsigned short>(*p++);
            }
            budget.Spend(o - out);
            in = p;
            out = o;
            if (in == inEnd) {
                break;
            }
        }
        unsigned int const c = *in;
        if (c > kLastCodePoint) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
        long const needed = c >= kFirstSupplementary ? 2 : 1;
        if (outEnd - out < needed) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(needed)) {
            return kTranscodeLimitReached;
        }
        ++in;
        if (needed == 2) {
            *out++ = HighSurrogateOf(c);
            *out++ = LowSurrogateOf(c);
        } else {
            *out++ = static_cast<unsigned short>(c);
        }
        budget.Spend(needed);
    }
    return kTranscodeInputExhausted;
}

TranscodeResult UTF32ToUTF16Converter::Finish(unsigned short *&, unsigned short *, long) {
    Reset();
    return kTranscodeComplete;
}

// --- Byte-order mark inserters and removers ----------------------------------------

namespace {

template <class Unit>
TranscodeResult InsertMark(bool & at_start, Unit const *& in, Unit const * inEnd, Unit *& out,
                           Unit * outEnd, long limit) {
    if (in >= inEnd) {
        return kTranscodeInputExhausted;  // an empty text gets no mark
    }
    OutputBudget budget(limit);
    if (at_start) {
        if (out >= outEnd) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(1)) {
            return kTranscodeLimitReached;
        }
        *out++ = kByteOrderMark;
        budget.Spend(1);
        at_start = false;
    }
    return CopyUnits(in, inEnd, out, outEnd, budget);
}

template <class Unit>
TranscodeResult RemoveMark(bool & at_start, Unit const *& in, Unit const * inEnd, Unit *& out,
                           Unit * outEnd, long limit) {
    if (at_start && in < inEnd) {
        at_start = false;
        if (*in == kByteOrderMark) {
            ++in;
        }
    }
    OutputBudget budget(limit);
    return CopyUnits(in, inEnd, out, outEnd, budget);
}

}  // namespace

#define ZUUC_MARK_CONVERTER(Class, Unit, Operation)                                     \
    Class::Class() : at_start_(true) {}                                                 \
    Class::~Class() = default;                                                          \
    TranscodeResult Class::Transcode(Unit const *& in, Unit const * inEnd, Unit *& out, \
                                     Unit * outEnd, long limit) {                       \
        return Operation(at_start_, in, inEnd, out, outEnd, limit);                     \
    }                                                                                   \
    TranscodeResult Class::Finish(Unit *&, Unit *, long) {                              \
        Reset();                                                                        \
        return kTranscodeComplete;                                                      \
    }                                                                                   \
    void Class::Reset() {                                                               \
        at_start_ = true;                                                               \
    }

ZUUC_MARK_CONVERTER(UTF16BOMinserter, unsigned short, InsertMark)
ZUUC_MARK_CONVERTER(UTF16BOMremover, unsigned short, RemoveMark)
ZUUC_MARK_CONVERTER(UTF32BOMinserter, unsigned int, InsertMark)
ZUUC_MARK_CONVERTER(UTF32BOMremover, unsigned int, RemoveMark)

#undef ZUUC_MARK_CONVERTER
