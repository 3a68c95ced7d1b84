// The library's data-parallel loops (internal): ASCII copy, widen and narrow,
// high-bit scans and the BMP widen/narrow of the Unicode forms.
//
// One switch decides whether SSE2 is used: ZUUC_KERNELS_SSE2 is 1 when the
// compiler targets SSE2 (every x86-64 build) and ZUUC_NO_SSE2 is not defined.
// Every kernel exists in a portable form (namespace `portable`) and, where it
// pays, an SSE2 form (namespace `sse2`); the unqualified name is the one the
// switch picks. The tests run both forms against a plain reference, so a
// build without SSE2 is checked on every machine.
//
// Codecs, normalization's quick check, collation and the scanf engine take
// their loops from here rather than writing their own.
#ifndef ZUUC_SRC_KERNELS_ASCII_KERNELS_H
#define ZUUC_SRC_KERNELS_ASCII_KERNELS_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) && !defined(ZUUC_NO_SSE2)
#define ZUUC_KERNELS_SSE2 1
#include <emmintrin.h>
#else
#define ZUUC_KERNELS_SSE2 0
#endif

namespace zuuc_internal {
namespace kernels {

namespace portable {

// Bit i set when byte i of the 32 bytes at p is 0x80 or above.
inline unsigned int HighBitMask32(char const * p) {
    unsigned int mask = 0;
    for (unsigned int i = 0; i < 32; ++i) {
        mask |= static_cast<unsigned int>(static_cast<unsigned char>(p[i]) >> 7) << i;
    }
    return mask;
}

// Widens 16 bytes to 16 units when all of them are below 0x80.
template <class Out>
inline bool WidenAscii16(unsigned char const * p, Out * o) {
    std::uint64_t words[2];
    std::memcpy(words, p, 16);
    if (((words[0] | words[1]) & 0x8080808080808080u) != 0) {
        return false;
    }
    for (int k = 0; k < 16; ++k) {
        o[k] = static_cast<Out>(p[k]);
    }
    return true;
}

// Writes eight units as eight bytes when all of them are below 0x80.
inline bool NarrowAscii8(unsigned short const * in, unsigned char * o) {
    unsigned any = 0;
    for (int i = 0; i < 8; ++i) {
        any |= in[i];
    }
    if (any >= 0x80) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        o[i] = static_cast<unsigned char>(in[i]);
    }
    return true;
}

// Whether any of the four units at p is a surrogate: each unit masked to its
// top five bits and compared with 0xD800 gives a zero lane exactly for the
// surrogates, and a word has a zero 16-bit lane when the borrow test says so.
inline bool HasSurrogate4(unsigned short const * p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    std::uint64_t const lanes = (word & 0xF800F800F800F800ULL) ^ 0xD800D800D800D800ULL;
    return ((lanes - 0x0001000100010001ULL) & ~lanes & 0x8000800080008000ULL) != 0;
}

// Copies eight UTF-16 units to eight code points unless one is a surrogate.
inline bool WidenBMP8(unsigned short const * p, unsigned int * o) {
    if (HasSurrogate4(p) || HasSurrogate4(p + 4)) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        o[i] = p[i];
    }
    return true;
}

// Copies eight code points to eight units unless one lies above the BMP.
inline bool NarrowBMP8(unsigned int const * p, unsigned short * o) {
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

}  // namespace portable

#if ZUUC_KERNELS_SSE2
namespace sse2 {

inline unsigned int HighBitMask32(char const * p) {
    unsigned int mask = 0;
    for (unsigned int i = 0; i < 32; i += 16) {
        mask |= static_cast<unsigned int>(
                    _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<__m128i const *>(p + i))))
                << i;
    }
    return mask;
}

template <class Out>
inline bool WidenAscii16(unsigned char const * p, Out * o) {
    __m128i const bytes = _mm_loadu_si128(reinterpret_cast<__m128i const *>(p));
    if (_mm_movemask_epi8(bytes) != 0) {
        return false;
    }
    __m128i const zero = _mm_setzero_si128();
    __m128i const low = _mm_unpacklo_epi8(bytes, zero);
    __m128i const high = _mm_unpackhi_epi8(bytes, zero);
    if (sizeof(Out) == 2) {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o), low);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 8), high);
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o), _mm_unpacklo_epi16(low, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 4), _mm_unpackhi_epi16(low, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 8), _mm_unpacklo_epi16(high, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(o + 12), _mm_unpackhi_epi16(high, zero));
    }
    return true;
}

inline bool NarrowAscii8(unsigned short const * in, unsigned char * o) {
    __m128i const units = _mm_loadu_si128(reinterpret_cast<__m128i const *>(in));
    if (_mm_movemask_epi8(
            _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(static_cast<short>(0xFF80))),
                            _mm_setzero_si128())) != 0xFFFF) {
        return false;
    }
    _mm_storel_epi64(reinterpret_cast<__m128i *>(o), _mm_packus_epi16(units, units));
    return true;
}

inline bool WidenBMP8(unsigned short const * p, unsigned int * o) {
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

// Values below 0x10000 shifted down by 0x8000 fit a signed 16-bit lane
// exactly, so the saturating pack keeps them, and the shift is undone after.
inline bool NarrowBMP8(unsigned int const * p, unsigned short * o) {
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

}  // namespace sse2
namespace chosen = sse2;
#else
namespace chosen = portable;
#endif

using chosen::HighBitMask32;
using chosen::NarrowAscii8;
using chosen::NarrowBMP8;
using chosen::WidenAscii16;
using chosen::WidenBMP8;

// --- runs (the same in both forms: word-at-a-time scalar code) -------------------

// Widens bytes below 0x80 from `in` towards `stop` into `out`; returns where
// it stopped (at `stop` or at the first byte of 0x80 or above) and moves `out`.
template <class Out>
inline unsigned char const * WidenAsciiRun(unsigned char const * in, unsigned char const * stop,
                                           Out *& out) {
    Out * o = out;
    while (stop - in >= 8) {
        std::uint64_t word;
        std::memcpy(&word, in, 8);
        if ((word & 0x8080808080808080ULL) != 0) {
            break;
        }
        for (int i = 0; i < 8; ++i) {
            o[i] = static_cast<Out>(in[i]);
        }
        in += 8;
        o += 8;
    }
    while (in < stop && *in < 0x80) {
        *o++ = static_cast<Out>(*in++);
    }
    out = o;
    return in;
}

// Narrows units below 0x80 from `in` towards `stop` to bytes in `out`; returns
// where it stopped and moves `out`.
template <class In>
inline In const * NarrowAsciiRun(In const * in, In const * stop, char *& out) {
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

}  // namespace kernels
}  // namespace zuuc_internal

#endif
