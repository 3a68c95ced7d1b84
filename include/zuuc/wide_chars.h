/* Wide-character conversion, classification and stream functions in the
 * manner of <wchar.h> and <wctype.h>, in a 16-bit (_16, UTF-16) and a 32-bit
 * (_32, UTF-32) flavour that do not depend on the platform's wchar_t.
 * (The string and memory functions are in zuuc/wide_string.h.)
 *
 * Values that stand for a character, or for "no character" (ZU_WEOF), are
 * passed as unsigned int, like wint_t. Failures are reported the C way: a
 * null pointer, -1 or ZU_WEOF. None of these functions throws.
 *
 * This header is usable from C and C++. */
#ifndef ZUUC_WIDE_CHARS_H
#define ZUUC_WIDE_CHARS_H

#include <stddef.h>
#include <stdio.h>

#include "zuuc/export.h"

/* End of file, or no character: -1 as an int. */
#define ZU_WEOF 0xFFFFFFFFu

ZUUC_BEGIN_C

/* ---- Tokenizer and case-insensitive comparison ------------------------- */

/* Splits s into tokens separated by units of delims, as wcstok does. With s
 * null it continues where the calling thread's previous call stopped (null
 * when there is nothing left). Each thread has its own position. */
ZUUC_EXPORT unsigned short * zu_wcstok_16(unsigned short * s, unsigned short const * delims);

/* Units are compared after mapping each with zu_towupper_16 / _32; the result
 * is -1, 0 or 1. */
ZUUC_EXPORT int zu_wcscasecmp_16(unsigned short const * a, unsigned short const * b);
ZUUC_EXPORT int zu_wcsncasecmp_16(unsigned short const * a, unsigned short const * b, size_t n);
ZUUC_EXPORT int zu_wcscasecmp_32(unsigned int const * a, unsigned int const * b);
ZUUC_EXPORT int zu_wcsncasecmp_32(unsigned int const * a, unsigned int const * b, size_t n);

/* ---- Numbers ------------------------------------------------------------ */

/* As the C library's wcstod, wcstol and wcstoul (base as there; decimal
 * floating numbers only, no hexadecimal, infinity or NaN; '.' is the decimal
 * point whatever the locale), after skipping leading white space
 * (zu_iswspace_16). The number is read from the ASCII units that can belong
 * to one: for wcstod "+-0123456789.eE", for the integer forms '+', '-', ASCII
 * letters and digits, of which at most 127 are looked at. A number that ends
 * well inside them converts as in the C library however much such text
 * follows; one that may run past them (more than 124 units followed by more
 * such units) is refused rather than cut: the result is 0, errno is set to
 * ERANGE and *end to s. When nothing is converted *end is s. end may be
 * null. */
ZUUC_EXPORT double zu_wcstod_16(unsigned short const * s, unsigned short ** end);
ZUUC_EXPORT long zu_wcstol_16(unsigned short const * s, unsigned short ** end, int base);
ZUUC_EXPORT unsigned long zu_wcstoul_16(unsigned short const * s, unsigned short ** end, int base);
ZUUC_EXPORT double zu_wcstod_32(unsigned int const * s, unsigned int ** end);
ZUUC_EXPORT long zu_wcstol_32(unsigned int const * s, unsigned int ** end, int base);
ZUUC_EXPORT unsigned long zu_wcstoul_32(unsigned int const * s, unsigned int ** end, int base);

/* ---- Classification ----------------------------------------------------- */

/* 1 when the character c (any code point) passes the library's predefined
 * test Ctype_alnum ... Ctype_xdigit, else 0 (also for ZU_WEOF). */
ZUUC_EXPORT int zu_iswalnum_16(unsigned int c);
ZUUC_EXPORT int zu_iswalpha_16(unsigned int c);
ZUUC_EXPORT int zu_iswcntrl_16(unsigned int c);
ZUUC_EXPORT int zu_iswdigit_16(unsigned int c);
ZUUC_EXPORT int zu_iswgraph_16(unsigned int c);
ZUUC_EXPORT int zu_iswlower_16(unsigned int c);
ZUUC_EXPORT int zu_iswprint_16(unsigned int c);
ZUUC_EXPORT int zu_iswpunct_16(unsigned int c);
ZUUC_EXPORT int zu_iswspace_16(unsigned int c);
ZUUC_EXPORT int zu_iswupper_16(unsigned int c);
ZUUC_EXPORT int zu_iswxdigit_16(unsigned int c);

/* The class named "alnum", "alpha", "cntrl", "digit", "graph", "lower",
 * "print", "punct", "space", "upper" or "xdigit" (exact spelling) as 1 to 11
 * in that order; 0 for any other name or a null name. */
ZUUC_EXPORT int zu_wctype_16(char const * name);
/* The zu_isw..._16 function of class t (1 to 11); 0 for any other t. */
ZUUC_EXPORT int zu_iswctype_16(unsigned int c, int t);

/* ---- Case and other single-character mappings ---------------------------- */

/* Simple (one-to-one) upper and lower case mappings; characters without one,
 * and ZU_WEOF, are returned unchanged. */
ZUUC_EXPORT unsigned int zu_towupper_16(unsigned int c);
ZUUC_EXPORT unsigned int zu_towlower_16(unsigned int c);
ZUUC_EXPORT unsigned int zu_towupper_32(unsigned int c);
ZUUC_EXPORT unsigned int zu_towlower_32(unsigned int c);

/* The mapping named (case ignored) "tolower" 1, "toupper" 2,
 * "ToUppercaseTransform" 3, "ToLowercaseTransform" 4, "ToFullwidthTransform"
 * 5, "ToHalfwidthTransform" 6, "ToKatakanaTransform" 7, "ToHiraganaTransform"
 * 8; 0 for any other name or a null name. */
ZUUC_EXPORT int zu_wctrans_16(char const * name);
/* Applies mapping t: 1 and 4 lower case, 2 and 3 upper case, 5 full width,
 * 6 half width, 7 katakana, 8 hiragana; any other t returns c. */
ZUUC_EXPORT unsigned int zu_towctrans_16(unsigned int c, int t);

/* ---- Conversion between byte encodings and UTF-16 / UTF-32 -------------- */

/* An encoding known to the library, as a handle for the functions below. */
typedef const struct zu_encoding_handle * zu_encoding_id;

/* The byte encoding with this name or alias (separators and case ignored),
 * or null when there is none or name is null. */
ZUUC_EXPORT zu_encoding_id zu_get_encoding_id(char const * name);

/* Converts the terminated byte text src in encoding enc to UTF-16 (UTF-32).
 * With dst null nothing is stored and the full length of the conversion is
 * counted; otherwise at most n units are stored in dst (never half of a
 * surrogate pair) followed by a 0 unit when there is room, and the units
 * stored are counted. *count_out (when count_out is not null) receives the
 * count. The result is the count, or -1 when enc is null, when the encoding
 * cannot be used (its module cannot be loaded, it cannot be converted in this
 * direction) or when any part of src could not be converted exactly (such
 * parts are substituted in the output and the count is still set). */
ZUUC_EXPORT long zu_mbstowcs_s_16(unsigned short * dst, size_t * count_out, char const * src,
                                  size_t n, zu_encoding_id enc);
ZUUC_EXPORT long zu_mbstowcs_s_32(unsigned int * dst, size_t * count_out, char const * src,
                                  size_t n, zu_encoding_id enc);
/* The mirror image: terminated UTF-16 (UTF-32) text to bytes in enc. With a
 * destination that is too small, the bytes stored are the conversion of the
 * longest beginning of src that fits (so no character is cut, and a modal
 * encoding's text ends in its initial state), then a 0 byte when there is
 * room. */
ZUUC_EXPORT long zu_wcstombs_s_16(char * dst, size_t * count_out, unsigned short const * src,
                                  size_t n, zu_encoding_id enc);
ZUUC_EXPORT long zu_wcstombs_s_32(char * dst, size_t * count_out, unsigned int const * src,
                                  size_t n, zu_encoding_id enc);
/* The _s forms without the count. */
ZUUC_EXPORT long zu_mbstowcs_16(unsigned short * dst, char const * src, size_t n,
                                zu_encoding_id enc);
ZUUC_EXPORT long zu_mbstowcs_32(unsigned int * dst, char const * src, size_t n, zu_encoding_id enc);
ZUUC_EXPORT long zu_wcstombs_16(char * dst, unsigned short const * src, size_t n,
                                zu_encoding_id enc);
ZUUC_EXPORT long zu_wcstombs_32(char * dst, unsigned int const * src, size_t n, zu_encoding_id enc);

/* ---- Streams ------------------------------------------------------------- */
/* Units are read and written raw, in the machine's byte order (2 or 4 bytes
 * each). The library keeps a little state per stream (one unit of pushback,
 * the orientation set by zu_fwide_16), shared by all threads; open and close
 * streams with zu_fopen and zu_fclose so that this state starts and ends with
 * the stream. A stream itself is used by one thread at a time, as with
 * stdio. */

/* fopen, with fresh library state for the stream. */
ZUUC_EXPORT FILE * zu_fopen(char const * path, char const * mode);
/* Drops the library's state for f, then fclose. A null f gives -1. */
ZUUC_EXPORT int zu_fclose(FILE * f);

/* The pushed-back unit if there is one, else the next unit read, or ZU_WEOF
 * at end of file or on error. */
ZUUC_EXPORT unsigned int zu_fgetwc_16(FILE * f);
ZUUC_EXPORT unsigned int zu_getwc_16(FILE * f);
ZUUC_EXPORT unsigned int zu_getwchar_16(void);
ZUUC_EXPORT unsigned int zu_fgetwc_32(FILE * f);
ZUUC_EXPORT unsigned int zu_getwc_32(FILE * f);
ZUUC_EXPORT unsigned int zu_getwchar_32(void);
/* Pushes c back (one unit at most) and clears the end-of-file and error
 * indicators; returns c, or ZU_WEOF when c is ZU_WEOF or a unit is already
 * pushed back. zu_ungetwc_16 keeps the whole value c but zu_fgetwc_16 returns
 * its low 16 bits. */
ZUUC_EXPORT unsigned int zu_ungetwc_16(unsigned int c, FILE * f);
ZUUC_EXPORT unsigned int zu_ungetwc_32(unsigned int c, FILE * f);
/* Reads until n - 1 units are stored or a newline (10) has been stored, then
 * stores a 0. Returns buf, or null when nothing was read before end of file
 * or on a read error. n < 1 returns buf untouched. */
ZUUC_EXPORT unsigned short * zu_fgetws_16(unsigned short * buf, int n, FILE * f);
ZUUC_EXPORT unsigned int * zu_fgetws_32(unsigned int * buf, int n, FILE * f);
/* Writes one unit; returns it, or ZU_WEOF on error. */
ZUUC_EXPORT unsigned int zu_fputwc_16(unsigned int c, FILE * f);
ZUUC_EXPORT unsigned int zu_putwc_16(unsigned int c, FILE * f);
ZUUC_EXPORT unsigned int zu_putwchar_16(unsigned int c);
ZUUC_EXPORT unsigned int zu_fputwc_32(unsigned int c, FILE * f);
ZUUC_EXPORT unsigned int zu_putwc_32(unsigned int c, FILE * f);
ZUUC_EXPORT unsigned int zu_putwchar_32(unsigned int c);
/* Writes the units of s before its 0 unit; returns their number or -1. */
ZUUC_EXPORT int zu_fputws_16(unsigned short const * s, FILE * f);
ZUUC_EXPORT int zu_fputws_32(unsigned int const * s, FILE * f);
/* With mode non-zero and no orientation yet, sets wide (mode > 0) or byte
 * (mode < 0). Returns 1 for wide, -1 for byte, 0 when not set. */
ZUUC_EXPORT int zu_fwide_16(FILE * f, int mode);

ZUUC_END_C

#endif
