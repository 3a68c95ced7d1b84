// Converters between the 16- and 32-bit Unicode forms, and the byte-order
// mark inserters and removers of both widths.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "unicode_forms/utf16_units.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_unicode_forms;

// --- UTF16ToUTF32Converter -------------------------------------------------------

namespace {

#if defined(__SSE2__)

// Copies eight units to eight code points unless one of them is a surrogate.
inline bool WidenEight(unsigned short const * p, unsigned int * o) {
    __m128i const units = _mm_loadu_si128(reinterpret_cast<__m128i const *>(p));
    __m128i const top = _mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xF800)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(top, _mm_set1_epi16(static_cast<short>(0xD800)))) != 0) {
        return false;
    }
    __m128i const zero = _mm_setzero_si128();
    _mm_storeu_si128(reinterpret_cast<__m128i *>(o), _mm_unpacklo_epi16(units, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 4), _mm_unpackhi_epi16(units, zero));
    return true;
}

// Copies eight code points to eight units unless one of them lies above the
// BMP. Values below 0x10000 shifted down by 0x8000 fit a signed 16-bit lane
// exactly, so the saturating pack keeps them, and the shift is undone after.
inline bool NarrowEight(unsigned int const * p, unsigned short * o) {
    __m128i const a = _mm_loadu_si128(reinterpret_cast<__m128i const *>(p));
    __m128i const b = _mm_loadu_si128(reinterpret_cast<__m128i const *>(p + 4));
    __m128i const high = _mm_srli_epi32(_mm_or_si128(a, b), 16);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(high, _mm_setzero_si128())) != 0xFFFF) {
        return false;
    }
    __m128i const bias = _mm_set1_epi32(0x8000);
    __m128i const packed = _mm_packs_epi32(_mm_sub_epi32(a, bias), _mm_sub_epi32(b, bias));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(o),
                     _mm_xor_si128(packed, _mm_set1_epi16(static_cast<short>(0x8000))));
    return true;
}

#else

// Whether any of the four units at p is a surrogate: each unit masked to its
// top five bits and compared with 0xD800 gives a zero lane exactly for the
// surrogates, and a word has a zero 16-bit lane when the borrow test says so.
inline bool HasSurrogate(unsigned short const * p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    std::uint64_t const lanes = (word & 0xF800F800F800F800ULL) ^ 0xD800D800D800D800ULL;
    return ((lanes - 0x0001000100010001ULL) & ~lanes & 0x8000800080008000ULL) != 0;
}

inline bool WidenEight(unsigned short const * p, unsigned int * o) {
    if (HasSurrogate(p) || HasSurrogate(p + 4)) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        o[i] = p[i];
    }
    return true;
}

inline bool NarrowEight(unsigned int const * p, unsigned short * o) {
    unsigned int any = 0;
    for (int i = 0; i < 8; ++i) {
        any |= p[i];
    }
    if (any >= 0x10000) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        o[i] = static_cast<unsigned short>(p[i]);
    }
    return true;
}

#endif

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
            case kNoRoom: return kTranscodeOutputFull;
            case kNoBudget: return kTranscodeLimitReached;
            default: has_kept_ = false; break;  // nothing is pending before a kept unit
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
            while (stop - p >= 8 && WidenEight(p, o)) {
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
            case kNoRoom: return kTranscodeOutputFull;
            case kNoBudget: return kTranscodeLimitReached;
            default: has_kept_ = false; break;
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

TranscodeResult UTF32ToUTF16Converter::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                                 unsigned short *& out, unsigned short * outEnd,
                                                 long limit) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        {
            // Code points below U+10000 each become one unit: over
            // min(input, room, limit) of them no room or limit test is needed.
            std::size_t const n = Stretch(in, inEnd, out, outEnd, budget.Left());
            unsigned int const * p = in;
            unsigned int const * const stop = in + n;
            unsigned short * o = out;
            while (stop - p >= 8 && NarrowEight(p, o)) {
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

#define ZUUC_MARK_CONVERTER(Class, Unit, Operation)                                               \
    Class::Class() : at_start_(true) {}                                                           \
    Class::~Class() = default;                                                                    \
    TranscodeResult Class::Transcode(Unit const *& in, Unit const * inEnd, Unit *& out,           \
                                     Unit * outEnd, long limit) {                                 \
        return Operation(at_start_, in, inEnd, out, outEnd, limit);                               \
    }                                                                                             \
    TranscodeResult Class::Finish(Unit *&, Unit *, long) {                                        \
        Reset();                                                                                  \
        return kTranscodeComplete;                                                                \
    }                                                                                             \
    void Class::Reset() { at_start_ = true; }

ZUUC_MARK_CONVERTER(UTF16BOMinserter, unsigned short, InsertMark)
ZUUC_MARK_CONVERTER(UTF16BOMremover, unsigned short, RemoveMark)
ZUUC_MARK_CONVERTER(UTF32BOMinserter, unsigned int, InsertMark)
ZUUC_MARK_CONVERTER(UTF32BOMremover, unsigned int, RemoveMark)

#undef ZUUC_MARK_CONVERTER
