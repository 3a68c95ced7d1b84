// UTF-16 surrogate helpers and conversion between UTF-16 and UTF-32 strings.
#include <climits>

#include "zuuc/wide_string.h"

namespace {

constexpr unsigned int kReplacement = 0xFFFD;
constexpr unsigned int kFirstSupplementary = 0x10000;
constexpr unsigned int kLastCodePoint = 0x10FFFF;

bool high_surrogate(unsigned int u) {
    u &= 0xFFFF;
    return u >= 0xD800 && u <= 0xDBFF;
}

bool low_surrogate(unsigned int u) {
    u &= 0xFFFF;
    return u >= 0xDC00 && u <= 0xDFFF;
}

// Values above the last code point cannot be written in UTF-16; they are
// replaced so that the output stays well formed and the sizing functions
// agree with the converter.
unsigned int representable(unsigned int c) {
    return c > kLastCodePoint ? kReplacement : c;
}

// The converters return int; counts this large need strings of gigabytes,
// but the result must still never turn negative.
int as_result(size_t stored) {
    return stored > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(stored);
}

}  // namespace

ZUUC_BEGIN_C

int zu_is_high_surrogate(unsigned int u) {
    return high_surrogate(u) ? 1 : 0;
}

int zu_is_low_surrogate(unsigned int u) {
    return low_surrogate(u) ? 1 : 0;
}

unsigned int zu_utf16c_to_utf32c(unsigned short hi, unsigned short lo) {
    if (!high_surrogate(hi) || !low_surrogate(lo))
        return hi;
    // (hi - 0xD800) * 0x400 + (lo - 0xDC00) + 0x10000, folded into one constant.
    return (static_cast<unsigned int>(hi) - 0xD7F7u) * 0x400u + lo;
}

unsigned short zu_utf32c_to_high_utf16c(unsigned int c) {
    c = representable(c);
    if (c < kFirstSupplementary)
        return static_cast<unsigned short>(c);
    return static_cast<unsigned short>(0xD800u + ((c - kFirstSupplementary) >> 10));
}

unsigned short zu_utf32c_to_low_utf16c(unsigned int c) {
    c = representable(c);
    if (c < kFirstSupplementary)
        return 0;
    return static_cast<unsigned short>(0xDC00u + (c & 0x3FFu));
}

size_t zu_sizen_as_utf32(unsigned short const * s16, size_t n) {
    size_t count = 0;
    bool after_high = false;
    for (size_t i = 0; i < n && s16[i] != 0; ++i) {
        // The low half of a pair adds nothing; a lone low surrogate is copied
        // by zu_utf16s_to_utf32s and so takes a unit of its own.
        if (after_high && low_surrogate(s16[i])) {
            after_high = false;
            continue;
        }
        ++count;
        after_high = high_surrogate(s16[i]);
    }
    return count;
}

size_t zu_sizen_as_utf16(unsigned int const * s32, size_t n) {
    size_t count = 0;
    for (size_t i = 0; i < n && s32[i] != 0; ++i) {
        count += representable(s32[i]) >= kFirstSupplementary ? 2 : 1;
    }
    return count;
}

size_t zu_size_as_utf32(unsigned short const * s16) {
    return zu_sizen_as_utf32(s16, zu_wcslen_16(s16));
}

size_t zu_size_as_utf16(unsigned int const * s32) {
    return zu_sizen_as_utf16(s32, zu_wcslen_32(s32));
}

int zu_utf16s_to_utf32s(unsigned int * dst, unsigned short const * src, size_t n) {
    size_t stored = 0;
    while (stored < n) {
        unsigned short const u = *src++;
        if (u == 0) {
            dst[stored] = 0;
            break;
        }
        if (high_surrogate(u)) {
            // src is terminated, so the unit after a non-zero unit exists.
            unsigned short const lo = *src;
            if (!low_surrogate(lo))
                return -1;
            ++src;
            dst[stored++] = zu_utf16c_to_utf32c(u, lo);
        } else {
            dst[stored++] = u;
        }
    }
    return as_result(stored);
}

int zu_utf32s_to_utf16s(unsigned short * dst, unsigned int const * src, size_t n) {
    size_t stored = 0;
    while (stored < n) {
        unsigned int const c = representable(*src++);
        if (c >= kFirstSupplementary) {
            // Never split a pair: if both halves do not fit, stop before it.
            if (n - stored < 2)
                break;
            dst[stored++] = zu_utf32c_to_high_utf16c(c);
            dst[stored++] = zu_utf32c_to_low_utf16c(c);
        } else {
            dst[stored++] = static_cast<unsigned short>(c);
            if (c == 0)
                break;
        }
    }
    return as_result(stored);
}

ZUUC_END_C
