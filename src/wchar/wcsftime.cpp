// zu_wcsftime_16 and zu_wcsftime_32: strftime for 16- and 32-bit units.
// Each conversion is expanded by the C library's strftime on its own and
// widened byte by byte.
#include <cstddef>
#include <ctime>

#include "zuuc/wide_format.h"

namespace {

constexpr std::size_t kExpansionBytes = 128;

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
// Expands one conversion. The narrow format starts with a marker byte so
// that an empty expansion (strftime's 0) tells apart from one that does not
// fit; returns the number of bytes at `out`, or -1 when it does not fit.
long Expand(char const (&spec)[5], std::tm const & time, char const *& out,
            char (&buffer)[kExpansionBytes]) {
    std::size_t const size = std::strftime(buffer, sizeof buffer, spec, &time);
    if (size == 0) {
        return -1;
    }
    out = buffer + 1;
    return static_cast<long>(size) - 1;
}
#pragma GCC diagnostic pop

template <class Unit>
std::size_t FormatTime(Unit * buf, std::size_t n, Unit const * format, std::tm const * time) {
    if (buf == nullptr || n == 0) {
        return 0;
    }
    if (format == nullptr) {
        buf[0] = 0;
        return 0;
    }
    std::size_t const room = n - 1;  // the last unit is kept for the terminator
    std::size_t written = 0;
    for (Unit const * p = format; *p != 0;) {
        if (*p != '%' || p[1] >= 128) {
            // A literal unit, or '%' and a unit of 128 or more: the unit is
            // copied and the '%' dropped.
            if (*p == '%') {
                ++p;
            }
            if (written == room) {
                buf[0] = 0;
                return 0;
            }
            buf[written++] = *p++;
            continue;
        }
        ++p;
        if (*p == 0) {
            break;  // a lone '%' at the end
        }
        char spec[5] = {'\x01', '%', static_cast<char>(*p++), 0, 0};
        if ((spec[2] == 'E' || spec[2] == 'O') && *p != 0 && *p < 128) {
            spec[3] = static_cast<char>(*p++);
        }
        char buffer[kExpansionBytes];
        char const * text = nullptr;
        long const length = time == nullptr ? -1 : Expand(spec, *time, text, buffer);
        if (length < 0 || static_cast<std::size_t>(length) > room - written) {
            buf[0] = 0;
            return 0;
        }
        for (long i = 0; i < length; ++i) {
            buf[written++] = static_cast<Unit>(static_cast<unsigned char>(text[i]));
        }
    }
    buf[written] = 0;
    return written;
}

}  // namespace

ZUUC_EXTERN_C size_t zu_wcsftime_16(unsigned short * buf, size_t n, unsigned short const * fmt,
                                    struct tm const * tm) {
    return FormatTime(buf, n, fmt, tm);
}

ZUUC_EXTERN_C size_t zu_wcsftime_32(unsigned int * buf, size_t n, unsigned int const * fmt,
                                    struct tm const * tm) {
    return FormatTime(buf, n, fmt, tm);
}
