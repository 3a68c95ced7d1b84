// The tokenizer and the numeric conversions of both widths.
#include <locale.h>

#include <cerrno>
#include <cstdlib>

#include "foundation/thread_state.h"
#include "wide_string_impl.h"
#include "zuuc/wide_chars.h"

namespace zuuc_internal::wchar {
namespace {

// How many units of a number's text are looked at, and how far the C
// library's parsers may look past the end of what they convert ("1e+" with
// no digit after it converts as "1").
constexpr std::size_t kNumberUnits = 127;
constexpr std::size_t kLookahead = 3;

enum class NumberKind { kFloating, kInteger };

// True when unit may be part of a number's text: "+-0123456789.eE" for a
// floating number, '+', '-', ASCII letters and digits for an integer.
template <typename U>
bool InNumber(U unit, NumberKind kind) {
    if (unit >= 128)
        return false;
    char const c = static_cast<char>(unit);
    bool const digit = c >= '0' && c <= '9';
    if (c == '+' || c == '-' || digit)
        return true;
    if (kind == NumberKind::kFloating)
        return c == '.' || c == 'e' || c == 'E';
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// The "C" locale, so that the decimal point is '.' whatever locale the
// program has set. Null (plain strtod) if it cannot be made.
locale_t CLocale() {
    static locale_t const c_locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return c_locale;
}

// Skips white space, copies the number's text as bytes and has `convert`
// (a wrapper of strtod, strtol or strtoul) read it. When the run of number
// units is longer than the copy and the conversion reached into its last
// units, the copy may have cut the number: it is refused (0, nothing read,
// errno ERANGE) rather than converted wrongly. *end is set as the C functions
// set it: past the number, or to s when nothing was converted.
template <typename R, typename U, typename Convert>
R ReadNumber(U const * s, U ** end, NumberKind kind, Convert convert) {
    if (s == nullptr) {
        if (end != nullptr)
            *end = nullptr;
        return 0;
    }
    U const * p = s;
    while (*p != 0 && zu_iswspace_16(*p))
        ++p;
    char text[kNumberUnits + 1];
    std::size_t n = 0;
    while (n < kNumberUnits && InNumber(p[n], kind)) {
        text[n] = static_cast<char>(p[n]);
        ++n;
    }
    text[n] = '\0';
    bool const cut = n == kNumberUnits && InNumber(p[n], kind);
    char * stop = text;
    R value = convert(text, &stop);
    std::size_t used = static_cast<std::size_t>(stop - text);
    if (cut && used + kLookahead > n) {
        value = 0;
        used = 0;
        errno = ERANGE;
    }
    if (end != nullptr)
        *end = const_cast<U *>(used != 0 ? p + used : s);
    return value;
}

double ToDouble(char const * text, char ** stop) {
    locale_t const c_locale = CLocale();
    return c_locale != static_cast<locale_t>(nullptr) ? strtod_l(text, stop, c_locale)
                                                      : std::strtod(text, stop);
}

template <typename U>
double Wcstod(U const * s, U ** end) {
    return ReadNumber<double>(s, end, NumberKind::kFloating, &ToDouble);
}

template <typename U>
long Wcstol(U const * s, U ** end, int base) {
    return ReadNumber<long>(s, end, NumberKind::kInteger, [base](char const * text, char ** stop) {
        return std::strtol(text, stop, base);
    });
}

template <typename U>
unsigned long Wcstoul(U const * s, U ** end, int base) {
    return ReadNumber<unsigned long>(
        s, end, NumberKind::kInteger,
        [base](char const * text, char ** stop) { return std::strtoul(text, stop, base); });
}

}  // namespace
}  // namespace zuuc_internal::wchar

using namespace zuuc_internal::wchar;

extern "C" {

unsigned short * zu_wcstok_16(unsigned short * s, unsigned short const * delims) {
    static unsigned short const kNoDelimiters[1] = {0};
    if (delims == nullptr)
        delims = kNoDelimiters;
    zuuc_internal::foundation::ThreadRecord * const record =
        zuuc_internal::foundation::CurrentThreadRecord();
    if (s == nullptr) {
        if (record == nullptr || record->wcstok_16_position == nullptr)
            return nullptr;
        s = record->wcstok_16_position;
    }
    // From here on the position is either set past a delimiter or cleared, so
    // it never points into a text that the caller is done with.
    if (record != nullptr)
        record->wcstok_16_position = nullptr;
    s += span(s, delims);
    if (*s == 0)
        return nullptr;
    unsigned short * const token_end = s + complement_span(s, delims);
    if (*token_end != 0) {
        *token_end = 0;
        if (record != nullptr)
            record->wcstok_16_position = token_end + 1;
    }
    return s;
}

double zu_wcstod_16(unsigned short const * s, unsigned short ** end) {
    return Wcstod(s, end);
}
long zu_wcstol_16(unsigned short const * s, unsigned short ** end, int base) {
    return Wcstol(s, end, base);
}
unsigned long zu_wcstoul_16(unsigned short const * s, unsigned short ** end, int base) {
    return Wcstoul(s, end, base);
}
double zu_wcstod_32(unsigned int const * s, unsigned int ** end) {
    return Wcstod(s, end);
}
long zu_wcstol_32(unsigned int const * s, unsigned int ** end, int base) {
    return Wcstol(s, end, base);
}
unsigned long zu_wcstoul_32(unsigned int const * s, unsigned int ** end, int base) {
    return Wcstoul(s, end, base);
}

}  // extern "C"
