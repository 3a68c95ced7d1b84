/* Formatted output, formatted input and time formatting in the manner of
 * <wchar.h>, in a 16-bit (_16, unsigned short units) and a 32-bit (_32,
 * unsigned int units) flavour that do not depend on the platform's wchar_t.
 * The names without a suffix (zu_swprintf, zu_wprintf, zu_fwprintf,
 * zu_swscanf, zu_wscanf, zu_fwscanf) are the 16-bit flavour.
 *
 * Output: the conversions d i o u x X p e E f F g G a A %, with the flags
 * "-+ #0", a width and a precision (digits or '*'), and the length modifiers
 * hh h l ll L j z t, format as the C library's printf does in the C locale;
 * c takes an int whose low bits form one unit; s takes a terminated string
 * of the function's own unit width (null prints "(null)"); n stores the
 * count so far (int*, or short*, long*, ... after a length modifier). Any
 * other conversion character prints nothing and takes no argument; a format
 * ending inside a conversion ends there. s and c are padded with spaces on
 * the left, or on the right with '-'; the '0' flag leaves them unpadded.
 * The result is the number of units formatted, or -1 when a numeric
 * conversion would be longer than 1,055 characters or the count would pass
 * INT_MAX (what was formatted before stays written). docs/formatting.md
 * has the details and the limits.
 *
 * The buffer forms write at most n units. A 0 unit ends the text when the
 * result is below n; output cut by the buffer returns the full count and
 * has no terminator. The file forms write the units raw, in the machine's
 * byte order (as FileChar16Sink and FileChar32Sink do); the standard-output
 * forms write to stdout.
 *
 * Input: literal units, white space (skips any white space), and the
 * conversions d i u o x X p e E f F g G a A c s [ n %, with '*', a width and
 * the length modifiers hh h l ll L j z t, as the C library's scanf; c, s and
 * [ store units of the function's own width. The result is the number of
 * fields assigned, or -1 (EOF) when the input ends before the first field
 * is assigned. A numeric field longer than 127 units fails the field.
 *
 * This header is usable from C and C++. */
#ifndef ZUUC_WIDE_FORMAT_H
#define ZUUC_WIDE_FORMAT_H

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>
#include <time.h>

#include "zuuc/export.h"

ZUUC_BEGIN_C

/* ---- Formatted output, 16-bit ------------------------------------------ */

ZUUC_EXPORT int zu_swprintf(unsigned short * buf, size_t n, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_swprintf_16(unsigned short * buf, size_t n, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_vswprintf_16(unsigned short * buf, size_t n, unsigned short const * fmt,
                                va_list args);
ZUUC_EXPORT int zu_wprintf(unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_wprintf_16(unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_vwprintf_16(unsigned short const * fmt, va_list args);
ZUUC_EXPORT int zu_fwprintf(FILE * f, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_fwprintf_16(FILE * f, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_vfwprintf_16(FILE * f, unsigned short const * fmt, va_list args);

/* ---- Formatted output, 32-bit ------------------------------------------ */

ZUUC_EXPORT int zu_swprintf_32(unsigned int * buf, size_t n, unsigned int const * fmt, ...);
ZUUC_EXPORT int zu_vswprintf_32(unsigned int * buf, size_t n, unsigned int const * fmt,
                                va_list args);
ZUUC_EXPORT int zu_wprintf_32(unsigned int const * fmt, ...);
ZUUC_EXPORT int zu_vwprintf_32(unsigned int const * fmt, va_list args);
ZUUC_EXPORT int zu_fwprintf_32(FILE * f, unsigned int const * fmt, ...);
ZUUC_EXPORT int zu_vfwprintf_32(FILE * f, unsigned int const * fmt, va_list args);

/* ---- Formatted input ---------------------------------------------------- */

ZUUC_EXPORT int zu_swscanf(unsigned short const * s, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_swscanf_16(unsigned short const * s, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_vswscanf_16(unsigned short const * s, unsigned short const * fmt, va_list args);
ZUUC_EXPORT int zu_swscanf_32(unsigned int const * s, unsigned int const * fmt, ...);
ZUUC_EXPORT int zu_vswscanf_32(unsigned int const * s, unsigned int const * fmt, va_list args);

/* The file forms read units raw, in the machine's byte order, through
 * zu_fgetwc_16 / zu_fgetwc_32 (zuuc/wide_chars.h): the unit read past the
 * last field stays pushed back for the next read of the stream. The
 * standard-input forms read stdin. */
ZUUC_EXPORT int zu_fwscanf(FILE * f, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_fwscanf_16(FILE * f, unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_vfwscanf_16(FILE * f, unsigned short const * fmt, va_list args);
ZUUC_EXPORT int zu_wscanf(unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_wscanf_16(unsigned short const * fmt, ...);
ZUUC_EXPORT int zu_vwscanf_16(unsigned short const * fmt, va_list args);
ZUUC_EXPORT int zu_fwscanf_32(FILE * f, unsigned int const * fmt, ...);
ZUUC_EXPORT int zu_vfwscanf_32(FILE * f, unsigned int const * fmt, va_list args);
ZUUC_EXPORT int zu_wscanf_32(unsigned int const * fmt, ...);
ZUUC_EXPORT int zu_vwscanf_32(unsigned int const * fmt, va_list args);

/* ---- Time formatting ---------------------------------------------------- */

/* Formats tm as strftime does in the current locale, each conversion ("%x",
 * or "%Ex" / "%Ox") expanded by the C library; a unit of 128 or more after
 * '%' is copied as it is, and a lone '%' at the end is dropped. Writes at
 * most n units including the terminating 0 and returns the number of units
 * before it; returns 0 when the result does not fit (then buf, if n > 0,
 * holds an empty text). n = 0 writes nothing and returns 0. */
ZUUC_EXPORT size_t zu_wcsftime_16(unsigned short * buf, size_t n, unsigned short const * fmt,
                                  const struct tm * tm);
ZUUC_EXPORT size_t zu_wcsftime_32(unsigned int * buf, size_t n, unsigned int const * fmt,
                                  const struct tm * tm);

ZUUC_END_C

#endif
