/* Wide-character string functions in the manner of <wchar.h>, in two flavours
 * that do not depend on the platform's wchar_t:
 *   _16  work on 16-bit units (unsigned short, UTF-16),
 *   _32  work on 32-bit units (unsigned int, UTF-32).
 * Strings end at a 0 unit. Comparisons treat units as unsigned numbers and
 * return -1, 0 or 1. None of these functions keeps state or throws; failures
 * are reported the C way (a null pointer or -1).
 *
 * Also here: UTF-16 surrogate helpers and conversion between UTF-16 and UTF-32
 * strings.
 *
 * This header is usable from C and C++. */
#ifndef ZUUC_WIDE_STRING_H
#define ZUUC_WIDE_STRING_H

#include <stddef.h>

#include "zuuc/export.h"

ZUUC_BEGIN_C

/* ---- 16-bit string functions ------------------------------------------ */

ZUUC_EXPORT unsigned short * zu_wcscpy_16(unsigned short * dst, unsigned short const * src);
/* Copies at most n units; when src ends early the rest of dst is filled with
 * 0 units. dst is not terminated when src has n or more units. */
ZUUC_EXPORT unsigned short * zu_wcsncpy_16(unsigned short * dst, unsigned short const * src,
                                           size_t n);
ZUUC_EXPORT unsigned short * zu_wcscat_16(unsigned short * dst, unsigned short const * src);
/* Appends at most n units of src, then always a 0 unit. */
ZUUC_EXPORT unsigned short * zu_wcsncat_16(unsigned short * dst, unsigned short const * src,
                                           size_t n);
ZUUC_EXPORT int zu_wcscmp_16(unsigned short const * a, unsigned short const * b);
ZUUC_EXPORT int zu_wcsncmp_16(unsigned short const * a, unsigned short const * b, size_t n);
/* Searching for 0 finds the terminator. */
ZUUC_EXPORT unsigned short * zu_wcschr_16(unsigned short const * s, unsigned short c);
ZUUC_EXPORT unsigned short * zu_wcsrchr_16(unsigned short const * s, unsigned short c);
ZUUC_EXPORT size_t zu_wcsspn_16(unsigned short const * s, unsigned short const * accept);
ZUUC_EXPORT size_t zu_wcscspn_16(unsigned short const * s, unsigned short const * reject);
ZUUC_EXPORT unsigned short * zu_wcspbrk_16(unsigned short const * s, unsigned short const * accept);
/* An empty haystack gives null, even for an empty needle; an empty needle in
 * a non-empty haystack gives the haystack. */
ZUUC_EXPORT unsigned short * zu_wcsstr_16(unsigned short const * haystack,
                                          unsigned short const * needle);
ZUUC_EXPORT size_t zu_wcslen_16(unsigned short const * s);
/* Copy allocated with calloc; release it with free. Null if out of memory. */
ZUUC_EXPORT unsigned short * zu_wcsdup_16(unsigned short const * s);
/* No locale collation: the same result as zu_wcscmp_16. */
ZUUC_EXPORT int zu_wcscoll_16(unsigned short const * a, unsigned short const * b);
/* Writes zu_wcsncpy_16(dst, src, n) (never more than n units; dst may be null
 * when n is 0) and returns the length of src. A result of n or more means
 * dst holds a truncated, unterminated copy. */
ZUUC_EXPORT size_t zu_wcsxfrm_16(unsigned short * dst, unsigned short const * src, size_t n);

ZUUC_EXPORT unsigned short * zu_wmemchr_16(unsigned short const * s, unsigned short c, size_t n);
ZUUC_EXPORT int zu_wmemcmp_16(unsigned short const * a, unsigned short const * b, size_t n);
ZUUC_EXPORT unsigned short * zu_wmemcpy_16(unsigned short * dst, unsigned short const * src,
                                           size_t n);
ZUUC_EXPORT unsigned short * zu_wmemmove_16(unsigned short * dst, unsigned short const * src,
                                            size_t n);
ZUUC_EXPORT unsigned short * zu_wmemset_16(unsigned short * s, unsigned short c, size_t n);

/* ---- 32-bit string functions (same contracts) -------------------------- */

ZUUC_EXPORT unsigned int * zu_wcscpy_32(unsigned int * dst, unsigned int const * src);
ZUUC_EXPORT unsigned int * zu_wcsncpy_32(unsigned int * dst, unsigned int const * src, size_t n);
ZUUC_EXPORT unsigned int * zu_wcscat_32(unsigned int * dst, unsigned int const * src);
ZUUC_EXPORT unsigned int * zu_wcsncat_32(unsigned int * dst, unsigned int const * src, size_t n);
ZUUC_EXPORT int zu_wcscmp_32(unsigned int const * a, unsigned int const * b);
ZUUC_EXPORT int zu_wcsncmp_32(unsigned int const * a, unsigned int const * b, size_t n);
ZUUC_EXPORT unsigned int * zu_wcschr_32(unsigned int const * s, unsigned int c);
ZUUC_EXPORT unsigned int * zu_wcsrchr_32(unsigned int const * s, unsigned int c);
ZUUC_EXPORT size_t zu_wcsspn_32(unsigned int const * s, unsigned int const * accept);
ZUUC_EXPORT size_t zu_wcscspn_32(unsigned int const * s, unsigned int const * reject);
ZUUC_EXPORT unsigned int * zu_wcspbrk_32(unsigned int const * s, unsigned int const * accept);
ZUUC_EXPORT unsigned int * zu_wcsstr_32(unsigned int const * haystack, unsigned int const * needle);
ZUUC_EXPORT size_t zu_wcslen_32(unsigned int const * s);
ZUUC_EXPORT unsigned int * zu_wcsdup_32(unsigned int const * s);
ZUUC_EXPORT int zu_wcscoll_32(unsigned int const * a, unsigned int const * b);
ZUUC_EXPORT size_t zu_wcsxfrm_32(unsigned int * dst, unsigned int const * src, size_t n);

ZUUC_EXPORT unsigned int * zu_wmemchr_32(unsigned int const * s, unsigned int c, size_t n);
ZUUC_EXPORT int zu_wmemcmp_32(unsigned int const * a, unsigned int const * b, size_t n);
ZUUC_EXPORT unsigned int * zu_wmemcpy_32(unsigned int * dst, unsigned int const * src, size_t n);
ZUUC_EXPORT unsigned int * zu_wmemmove_32(unsigned int * dst, unsigned int const * src, size_t n);
ZUUC_EXPORT unsigned int * zu_wmemset_32(unsigned int * s, unsigned int c, size_t n);

/* ---- UTF-16 surrogates and UTF-16 <-> UTF-32 --------------------------- */

/* 1 for 0xD800-0xDBFF / 0xDC00-0xDFFF, else 0; only the low 16 bits of u
 * are looked at. */
ZUUC_EXPORT int zu_is_high_surrogate(unsigned int u);
ZUUC_EXPORT int zu_is_low_surrogate(unsigned int u);
/* The code point of the pair (hi, lo), or hi itself when they are not a
 * high surrogate followed by a low surrogate. */
ZUUC_EXPORT unsigned int zu_utf16c_to_utf32c(unsigned short hi, unsigned short lo);
/* First and second UTF-16 unit of c. Below 0x10000 the first unit is c and
 * the second is 0 (none). Values above 0x10FFFF are not characters: they
 * give U+FFFD and no second unit. */
ZUUC_EXPORT unsigned short zu_utf32c_to_high_utf16c(unsigned int c);
ZUUC_EXPORT unsigned short zu_utf32c_to_low_utf16c(unsigned int c);

/* Number of UTF-32 units that the first n units of s16 (stopping at a 0 unit)
 * convert to: one per unit, except the low half of a surrogate pair. */
ZUUC_EXPORT size_t zu_sizen_as_utf32(unsigned short const * s16, size_t n);
/* Number of UTF-16 units that the first n units of s32 (stopping at a 0 unit)
 * convert to: two for 0x10000-0x10FFFF, one for anything else. */
ZUUC_EXPORT size_t zu_sizen_as_utf16(unsigned int const * s32, size_t n);
/* The same for the whole string (terminator not counted). */
ZUUC_EXPORT size_t zu_size_as_utf32(unsigned short const * s16);
ZUUC_EXPORT size_t zu_size_as_utf16(unsigned int const * s32);

/* Converts src into dst, storing at most n units: stops at the 0 unit of src
 * (stored when there is room, not counted) or when n units are stored.
 * Returns the units stored, or -1 when a high surrogate is not followed by a
 * low surrogate. A lone low surrogate is copied unchanged. */
ZUUC_EXPORT int zu_utf16s_to_utf32s(unsigned int * dst, unsigned short const * src, size_t n);
/* Converts src into dst, storing at most n units: stops after storing the 0
 * unit of src (counted) or when dst is full. A surrogate pair that would not
 * fit whole is not stored at all. Returns the units stored. */
ZUUC_EXPORT int zu_utf32s_to_utf16s(unsigned short * dst, unsigned int const * src, size_t n);

ZUUC_END_C

#endif
