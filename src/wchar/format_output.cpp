// Formatted output of 16- and 32-bit units: zu_swprintf and its kin and the
// sinks' printf members. Numeric conversions are formatted by the C library,
// one conversion and one argument at a time; c, s, n and the literal text
// are written by the engine itself.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "wchar/format_engine.h"
#include "zuuc/sinks.h"
#include "zuuc/wide_format.h"

namespace {

using zuuc_internal::kFillChunk;
using zuuc_internal::kNarrowSpecBytes;
using zuuc_internal::kNumericFieldBytes;
using zuuc_internal::ReadFormatDecimal;
using zuuc_internal::ReadFormatLength;
typedef zuuc_internal::FormatLength Length;

struct Spec {
    bool minus = false;
    bool plus = false;
    bool space = false;
    bool hash = false;
    bool zero = false;
    int width = -1;      // -1: none
    int precision = -1;  // -1: none
    Length length = Length::kNone;
};

// The length modifier as the C library spells it for an integer conversion
// (L on an integer means long long).
char const * IntegerLengthText(Length length) {
    switch (length) {
        case Length::kChar:
            return "hh";
        case Length::kShort:
            return "h";
        case Length::kLong:
            return "l";
        case Length::kLongLong:
        case Length::kLongDouble:
            return "ll";
        case Length::kIntMax:
            return "j";
        case Length::kSize:
            return "z";
        case Length::kPtrDiff:
            return "t";
        case Length::kNone:
            break;
    }
    return "";
}

// Rebuilds the conversion directive in bytes: '%', each flag once, the
// width and precision as decimal numbers (the '*' values already read), the
// length modifier and the conversion. At most 1 + 5 + 10 + 11 + 2 + 1 + 1
// bytes, well inside the buffer.
void NarrowSpec(Spec const & spec, char const * length, char conversion,
                char (&out)[kNarrowSpecBytes]) {
    int k = 0;
    out[k++] = '%';
    if (spec.minus)
        out[k++] = '-';
    if (spec.plus)
        out[k++] = '+';
    if (spec.space)
        out[k++] = ' ';
    if (spec.hash)
        out[k++] = '#';
    if (spec.zero)
        out[k++] = '0';
    if (spec.width > 0) {
        k += std::snprintf(out + k, sizeof out - static_cast<std::size_t>(k), "%d", spec.width);
    }
    if (spec.precision >= 0) {
        k +=
            std::snprintf(out + k, sizeof out - static_cast<std::size_t>(k), ".%d", spec.precision);
    }
    while (*length != 0) {
        out[k++] = *length++;
    }
    out[k++] = conversion;
    out[k] = 0;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
template <class T>
int FormatOne(char (&out)[kNumericFieldBytes], char const * spec, T value) {
    return std::snprintf(out, sizeof out, spec, value);
}
#pragma GCC diagnostic pop

template <class Unit, class Sink>
class Formatter {
public:
    Formatter(Sink & sink, va_list args) : sink_(sink) { va_copy(args_, args); }
    ~Formatter() { va_end(args_); }
    Formatter(Formatter const &) = delete;
    Formatter & operator=(Formatter const &) = delete;

    int Run(Unit const * format);

private:
    bool Emit(Unit const * begin, Unit const * end);
    bool Fill(long long count);
    bool EmitPadded(Unit const * text, long long length, Spec const & spec);
    bool Numeric(Spec const & spec, char conversion);
    template <class Signed, class Unsigned>
    int FormatInteger(char (&out)[kNumericFieldBytes], char const * narrow, bool is_signed);
    void StoreCount(Length length);

    Sink & sink_;
    va_list args_;
    long long count_ = 0;
};

// Every write goes through here; a count that would pass INT_MAX fails the
// call before anything more is written.
template <class Unit, class Sink>
bool Formatter<Unit, Sink>::Emit(Unit const * begin, Unit const * end) {
    long long const n = end - begin;
    if (n > INT_MAX - count_) {
        return false;
    }
    if (n > 0) {
        count_ += n;
        sink_.Put(begin, end);
    }
    return true;
}

template <class Unit, class Sink>
bool Formatter<Unit, Sink>::Fill(long long count) {
    if (count > INT_MAX - count_) {
        return false;
    }
    // A sink with no room left takes nothing: one unit marks it truncated,
    // the rest only moves the count.
    if (count > kFillChunk && sink_.RemainingCapacity() == 0) {
        count_ += count - 1;
        count = 1;
    }
    static Unit const kSpaces[kFillChunk] = {
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ',
        ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    while (count > 0) {
        long long const chunk = count < kFillChunk ? count : kFillChunk;
        Emit(kSpaces, kSpaces + chunk);
        count -= chunk;
    }
    return true;
}

// Width fill for c and s: spaces before the text, after it with '-', none
// with '0' (unless '-' overrides it).
template <class Unit, class Sink>
bool Formatter<Unit, Sink>::EmitPadded(Unit const * text, long long length, Spec const & spec) {
    long long fill = spec.width > length ? spec.width - length : 0;
    if (spec.zero && !spec.minus) {
        fill = 0;
    }
    if (fill + length > INT_MAX - count_) {
        return false;
    }
    if (!spec.minus) {
        Fill(fill);
    }
    Emit(text, text + length);
    if (spec.minus) {
        Fill(fill);
    }
    return true;
}

template <class Unit, class Sink>
template <class Signed, class Unsigned>
int Formatter<Unit, Sink>::FormatInteger(char (&out)[kNumericFieldBytes], char const * narrow,
                                         bool is_signed) {
    if (is_signed) {
        return FormatOne(out, narrow, va_arg(args_, Signed));
    }
    return FormatOne(out, narrow, va_arg(args_, Unsigned));
}

template <class Unit, class Sink>
bool Formatter<Unit, Sink>::Numeric(Spec const & spec, char conversion) {
    char narrow[kNarrowSpecBytes];
    char out[kNumericFieldBytes];
    int written = -1;
    switch (conversion) {
        case 'p':
            NarrowSpec(spec, "", conversion, narrow);
            written = FormatOne(out, narrow, va_arg(args_, void *));
            break;
        case 'e':
        case 'E':
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            if (spec.length == Length::kLongDouble) {
                NarrowSpec(spec, "L", conversion, narrow);
                written = FormatOne(out, narrow, va_arg(args_, long double));
            } else {
                NarrowSpec(spec, "", conversion, narrow);
                written = FormatOne(out, narrow, va_arg(args_, double));
            }
            break;
        default: {  // d i o u x X
            bool const is_signed = conversion == 'd' || conversion == 'i';
            NarrowSpec(spec, IntegerLengthText(spec.length), conversion, narrow);
            switch (spec.length) {
                case Length::kNone:
                case Length::kShort:
                case Length::kChar:
                    written = FormatInteger<int, unsigned int>(out, narrow, is_signed);
                    break;
                case Length::kLong:
                    written = FormatInteger<long, unsigned long>(out, narrow, is_signed);
                    break;
                case Length::kLongLong:
                case Length::kLongDouble:
                    written = FormatInteger<long long, unsigned long long>(out, narrow, is_signed);
                    break;
                case Length::kIntMax:
                    written = FormatInteger<std::intmax_t, std::uintmax_t>(out, narrow, is_signed);
                    break;
                case Length::kSize:
                    written = FormatInteger<std::ptrdiff_t, std::size_t>(out, narrow, is_signed);
                    break;
                case Length::kPtrDiff:
                    written = FormatInteger<std::ptrdiff_t, std::size_t>(out, narrow, is_signed);
                    break;
            }
            break;
        }
    }
    // The C library cut the text at the buffer: refuse rather than write a
    // wrong number.
    if (written < 0 || written >= kNumericFieldBytes) {
        return false;
    }
    Unit wide[kNumericFieldBytes];
    for (int i = 0; i < written; ++i) {
        wide[i] = static_cast<Unit>(static_cast<unsigned char>(out[i]));
    }
    return Emit(wide, wide + written);
}

template <class Unit, class Sink>
void Formatter<Unit, Sink>::StoreCount(Length length) {
    void * const target = va_arg(args_, void *);
    if (target != nullptr) {
        zuuc_internal::StoreInteger(target, length, static_cast<unsigned long long>(count_));
    }
}

template <class Unit, class Sink>
int Formatter<Unit, Sink>::Run(Unit const * format) {
    static Unit const kNull[] = {'(', 'n', 'u', 'l', 'l', ')'};
    Unit const * p = format;
    while (*p != 0) {
        Unit const * const run = p;
        while (*p != 0 && *p != '%') {
            ++p;
        }
        if (!Emit(run, p)) {
            return -1;
        }
        if (*p == 0) {
            break;
        }
        ++p;

        Spec spec;
        for (;; ++p) {
            if (*p == '-')
                spec.minus = true;
            else if (*p == '+')
                spec.plus = true;
            else if (*p == ' ')
                spec.space = true;
            else if (*p == '#')
                spec.hash = true;
            else if (*p == '0')
                spec.zero = true;
            else
                break;
        }
        if (*p == '*') {
            ++p;
            int const width = va_arg(args_, int);
            if (width < 0) {
                spec.minus = true;
                spec.width = width == INT_MIN ? INT_MAX : -width;
            } else {
                spec.width = width;
            }
        } else {
            spec.width = ReadFormatDecimal(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                ++p;
                int const precision = va_arg(args_, int);
                spec.precision = precision < 0 ? -1 : precision;
            } else {
                spec.precision = ReadFormatDecimal(p);
            }
        }
        spec.length = ReadFormatLength(p);

        // A format ending inside a conversion ends here, at its terminator.
        Unit const conversion = *p;
        if (conversion == 0) {
            break;
        }
        ++p;
        bool ok = true;
        switch (conversion) {
            case 'd':
            case 'i':
            case 'o':
            case 'u':
            case 'x':
            case 'X':
            case 'p':
            case 'e':
            case 'E':
            case 'f':
            case 'F':
            case 'g':
            case 'G':
            case 'a':
            case 'A':
                ok = Numeric(spec, static_cast<char>(conversion));
                break;
            case '%': {
                Unit const percent = '%';
                ok = Emit(&percent, &percent + 1);
                break;
            }
            case 'c': {
                Unit const unit = static_cast<Unit>(va_arg(args_, int));
                ok = EmitPadded(&unit, 1, spec);
                break;
            }
            case 's': {
                Unit const * text = va_arg(args_, Unit const *);
                long long length = 0;
                if (text == nullptr) {
                    text = kNull;
                    length = sizeof kNull / sizeof kNull[0];
                    if (spec.precision >= 0 && spec.precision < length) {
                        length = spec.precision;
                    }
                } else {
                    while ((spec.precision < 0 || length < spec.precision) && text[length] != 0) {
                        ++length;
                    }
                }
                ok = EmitPadded(text, length, spec);
                break;
            }
            case 'n':
                StoreCount(spec.length);
                break;
            default:
                break;  // unknown: nothing printed, nothing taken
        }
        if (!ok) {
            return -1;
        }
    }
    return static_cast<int>(count_);
}

template <class Unit, class Sink>
int Format(Sink & sink, Unit const * format, va_list args) {
    if (format == nullptr) {
        return -1;
    }
    Formatter<Unit, Sink> formatter(sink, args);
    return formatter.Run(format);
}

// The buffer forms: at most n units; the sink keeps the text terminated
// while there is room after it, so a result below n is terminated and a cut
// result is not.
template <class Unit, class BufferSink>
int FormatToBuffer(Unit * buf, std::size_t n, Unit const * format, va_list args) {
    long const capacity =
        buf == nullptr ? 0
                       : (n > static_cast<std::size_t>(LONG_MAX) ? LONG_MAX : static_cast<long>(n));
    BufferSink sink(buf, capacity);
    return zuuc_internal::FormatToSink(sink, format, args);
}

template <class Unit, class FileSink>
int FormatToFile(std::FILE * file, Unit const * format, va_list args) {
    if (file == nullptr) {
        return -1;
    }
    FileSink sink(file);
    return zuuc_internal::FormatToSink(sink, format, args);
}

}  // namespace

namespace zuuc_internal {

void StoreInteger(void * target, FormatLength length, unsigned long long bits) {
    switch (length) {
        case FormatLength::kChar:
            *static_cast<signed char *>(target) = static_cast<signed char>(bits);
            break;
        case FormatLength::kShort:
            *static_cast<short *>(target) = static_cast<short>(bits);
            break;
        case FormatLength::kLong:
            *static_cast<long *>(target) = static_cast<long>(bits);
            break;
        case FormatLength::kLongLong:
        case FormatLength::kLongDouble:
            *static_cast<long long *>(target) = static_cast<long long>(bits);
            break;
        case FormatLength::kIntMax:
            *static_cast<std::intmax_t *>(target) = static_cast<std::intmax_t>(bits);
            break;
        case FormatLength::kSize:
            *static_cast<std::size_t *>(target) = static_cast<std::size_t>(bits);
            break;
        case FormatLength::kPtrDiff:
            *static_cast<std::ptrdiff_t *>(target) = static_cast<std::ptrdiff_t>(bits);
            break;
        case FormatLength::kNone:
            *static_cast<int *>(target) = static_cast<int>(bits);
            break;
    }
}

int FormatToSink(Char16Sink & sink, unsigned short const * format, va_list args) {
    return Format<unsigned short>(sink, format, args);
}

int FormatToSink(Char32Sink & sink, unsigned int const * format, va_list args) {
    return Format<unsigned int>(sink, format, args);
}

}  // namespace zuuc_internal

// ---- Sink members ------------------------------------------------------------

int Char16Sink::printf(unsigned short const * format, ...) {
    ZUUC_WITH_ARGS(format, zuuc_internal::FormatToSink(*this, format, args));
}

int Char16Sink::vprintf(unsigned short const * format, va_list args) {
    return zuuc_internal::FormatToSink(*this, format, args);
}

int Char32Sink::printf(unsigned int const * format, ...) {
    ZUUC_WITH_ARGS(format, zuuc_internal::FormatToSink(*this, format, args));
}

int Char32Sink::vprintf(unsigned int const * format, va_list args) {
    return zuuc_internal::FormatToSink(*this, format, args);
}

// ---- C entry points ------------------------------------------------------------

ZUUC_EXTERN_C int zu_vswprintf_16(unsigned short * buf, size_t n, unsigned short const * fmt,
                                  va_list args) {
    return FormatToBuffer<unsigned short, BufferChar16Sink>(buf, n, fmt, args);
}
ZUUC_EXTERN_C int zu_swprintf_16(unsigned short * buf, size_t n, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vswprintf_16(buf, n, fmt, args));
}
ZUUC_EXTERN_C int zu_swprintf(unsigned short * buf, size_t n, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vswprintf_16(buf, n, fmt, args));
}
ZUUC_EXTERN_C int zu_vfwprintf_16(FILE * f, unsigned short const * fmt, va_list args) {
    return FormatToFile<unsigned short, FileChar16Sink>(f, fmt, args);
}
ZUUC_EXTERN_C int zu_fwprintf_16(FILE * f, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vfwprintf_16(f, fmt, args));
}
ZUUC_EXTERN_C int zu_fwprintf(FILE * f, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vfwprintf_16(f, fmt, args));
}
ZUUC_EXTERN_C int zu_vwprintf_16(unsigned short const * fmt, va_list args) {
    return zu_vfwprintf_16(stdout, fmt, args);
}
ZUUC_EXTERN_C int zu_wprintf_16(unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vfwprintf_16(stdout, fmt, args));
}
ZUUC_EXTERN_C int zu_wprintf(unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vfwprintf_16(stdout, fmt, args));
}

ZUUC_EXTERN_C int zu_vswprintf_32(unsigned int * buf, size_t n, unsigned int const * fmt,
                                  va_list args) {
    return FormatToBuffer<unsigned int, BufferChar32Sink>(buf, n, fmt, args);
}
ZUUC_EXTERN_C int zu_swprintf_32(unsigned int * buf, size_t n, unsigned int const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vswprintf_32(buf, n, fmt, args));
}
ZUUC_EXTERN_C int zu_vfwprintf_32(FILE * f, unsigned int const * fmt, va_list args) {
    return FormatToFile<unsigned int, FileChar32Sink>(f, fmt, args);
}
ZUUC_EXTERN_C int zu_fwprintf_32(FILE * f, unsigned int const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vfwprintf_32(f, fmt, args));
}
ZUUC_EXTERN_C int zu_vwprintf_32(unsigned int const * fmt, va_list args) {
    return zu_vfwprintf_32(stdout, fmt, args);
}
ZUUC_EXTERN_C int zu_wprintf_32(unsigned int const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, zu_vfwprintf_32(stdout, fmt, args));
}
