// Formatted input of 16- and 32-bit units: the ScanfEngine behind
// zu_swscanf and its kin. Numbers are collected as bytes, following the
// syntax of the C conversion functions, and converted by strtoll, strtoull,
// strtof, strtod or strtold.
#include <cstdint>
#include <cstdlib>

#include "wchar/format_engine.h"
#include "zuuc/wide_chars.h"
#include "zuuc/wide_format.h"

namespace zuuc_internal {

ScanfReader::~ScanfReader() = default;

}  // namespace zuuc_internal

namespace {

using zuuc_internal::FormatLength;
using zuuc_internal::kNumericInputUnits;
using zuuc_internal::ScanfReader;

bool IsSpace(long unit) {
    return unit >= 0 && zu_iswspace_16(static_cast<unsigned int>(unit)) != 0;
}

bool IsDigitOf(long unit, int base) {
    if (unit >= '0' && unit <= '9') {
        return unit - '0' < base;
    }
    if (base == 16) {
        return (unit >= 'a' && unit <= 'f') || (unit >= 'A' && unit <= 'F');
    }
    return false;
}

// How a field ended: matched; did not match (the result is the fields
// assigned so far); or met the end of input (-1 when nothing was assigned).
enum class Outcome { kMatched, kMismatch, kEndOfInput };

// The units of one numeric field, read up to the width and copied as bytes
// (at most 127; a longer field fails). Peek reads the next unit of the
// field, Take appends it to the copy; the unit peeked but not taken goes
// back to the reader when the field is done.
class NumberField {
public:
    NumberField(ScanfReader & reader, long width) : reader_(reader), left_(width) {}
    ~NumberField() {
        if (peeked_ && unit_ != kNotRead) {
            reader_.unget(unit_);
        }
    }
    NumberField(NumberField const &) = delete;
    NumberField & operator=(NumberField const &) = delete;

    long Peek() {
        if (!peeked_) {
            unit_ = left_ > 0 ? reader_.get() : kNotRead;
            peeked_ = true;
        }
        return unit_ < 0 ? -1 : unit_;
    }
    void Take() {
        if (size_ < kNumericInputUnits) {
            text_[size_++] = static_cast<char>(unit_);
        } else {
            too_long_ = true;
        }
        peeked_ = false;
        --left_;
    }
    // Takes the next unit if it is one of the two letters (either case of
    // one letter); returns whether it did.
    bool TakeIf(char lower, char upper) {
        long const c = Peek();
        if (c == lower || c == upper) {
            Take();
            return true;
        }
        return false;
    }
    int TakeDigits(int base) {
        int count = 0;
        while (IsDigitOf(Peek(), base) && !too_long_) {
            Take();
            ++count;
        }
        return count;
    }
    // The outcome of a field whose text is not a number: the end of input
    // when nothing was taken and the input ended, else a mismatch.
    Outcome Failure() {
        Peek();
        return size_ == 0 && unit_ == -1 ? Outcome::kEndOfInput : Outcome::kMismatch;
    }
    bool TooLong() const { return too_long_; }
    char const * Text() {
        text_[size_] = 0;
        return text_;
    }
    int Size() const { return size_; }

private:
    static constexpr long kNotRead = -2;  // width used up: nothing was read
    ScanfReader & reader_;
    long left_;
    long unit_ = kNotRead;
    bool peeked_ = false;
    bool too_long_ = false;
    int size_ = 0;
    char text_[kNumericInputUnits + 1];
};

struct Field {
    bool assign = true;
    long width = 0x7FFFFFFF;
    FormatLength length = FormatLength::kNone;
};

template <class Unit>
class Scanner {
public:
    Scanner(ScanfReader & reader, va_list args) : reader_(reader) { va_copy(args_, args); }
    ~Scanner() { va_end(args_); }
    Scanner(Scanner const &) = delete;
    Scanner & operator=(Scanner const &) = delete;

    int Run(Unit const * format);

private:
    void SkipSpace();
    Outcome Integer(Field const & field, int base, bool is_signed, bool pointer);
    Outcome Float(Field const & field);
    Outcome Units(Field const & field, bool terminate, bool (*accept)(long, void const *),
                  void const * context);
    Outcome Character(Field const & field);
    Outcome Set(Field const & field, Unit const *& format);
    // The pointer argument of an assigning field, or null for a suppressed one.
    void * Target(Field const & field) { return field.assign ? va_arg(args_, void *) : nullptr; }

    ScanfReader & reader_;
    va_list args_;
    int assigned_ = 0;
};

template <class Unit>
void Scanner<Unit>::SkipSpace() {
    long unit = reader_.get();
    while (IsSpace(unit)) {
        unit = reader_.get();
    }
    reader_.unget(unit);
}

// d u (base 10), i (base 0: "0x" hexadecimal, "0" octal, else decimal),
// x X p (base 16, optional "0x"), o (base 8); each after an optional sign.
template <class Unit>
Outcome Scanner<Unit>::Integer(Field const & field, int base, bool is_signed, bool pointer) {
    unsigned long long bits = 0;
    {
        NumberField number(reader_, field.width);
        number.TakeIf('+', '-');
        bool leading_zero = false;
        if ((base == 0 || base == 16) && number.Peek() == '0') {
            number.Take();
            leading_zero = true;
            if (number.TakeIf('x', 'X')) {
                base = 16;
            } else if (base == 0) {
                base = 8;
            }
        }
        if (base == 0) {
            base = 10;
        }
        int const digits = number.TakeDigits(base);
        if (number.TooLong()) {
            return Outcome::kMismatch;
        }
        if (digits == 0 && !leading_zero) {
            return number.Failure();
        }
        // "0x" without digits reads as 0, as the C library's scanf has it.
        bits = is_signed
                   ? static_cast<unsigned long long>(std::strtoll(number.Text(), nullptr, base))
                   : std::strtoull(number.Text(), nullptr, base);
    }
    void * const target = Target(field);
    if (target != nullptr) {
        if (pointer) {
            *static_cast<void **>(target) =
                reinterpret_cast<void *>(static_cast<std::uintptr_t>(bits));
        } else {
            zuuc_internal::StoreInteger(target, field.length, bits);
        }
    }
    return Outcome::kMatched;
}

// e E f F g G a A: decimal or "0x" hexadecimal floating text, inf, infinity
// or nan (with an optional parenthesised tail), after an optional sign.
template <class Unit>
Outcome Scanner<Unit>::Float(Field const & field) {
    NumberField number(reader_, field.width);
    number.TakeIf('+', '-');
    long const first = number.Peek();
    if (first == 'i' || first == 'I' || first == 'n' || first == 'N') {
        char const * const word = (first == 'i' || first == 'I') ? "infinity" : "nan";
        int matched = 0;
        while (word[matched] != 0 &&
               number.TakeIf(word[matched], static_cast<char>(word[matched] - 'a' + 'A'))) {
            ++matched;
        }
        if (word[matched] == 0 && word[0] == 'n' && number.TakeIf('(', '(')) {
            while (IsDigitOf(number.Peek(), 16) || number.Peek() == '_' ||
                   (number.Peek() >= 'g' && number.Peek() <= 'z') ||
                   (number.Peek() >= 'G' && number.Peek() <= 'Z')) {
                number.Take();
            }
            if (!number.TakeIf(')', ')')) {
                return Outcome::kMismatch;
            }
        }
    } else {
        int base = 10;
        int digits = 0;
        if (first == '0') {
            number.Take();
            ++digits;
            if (number.TakeIf('x', 'X')) {
                base = 16;  // "0x" alone reads as 0, as for the integers
            }
        }
        digits += number.TakeDigits(base);
        if (number.TakeIf('.', '.')) {
            digits += number.TakeDigits(base);
        }
        if (digits == 0) {
            return number.TooLong() ? Outcome::kMismatch : number.Failure();
        }
        if (base == 16 ? number.TakeIf('p', 'P') : number.TakeIf('e', 'E')) {
            number.TakeIf('+', '-');
            number.TakeDigits(10);
        }
    }
    if (number.TooLong()) {
        return Outcome::kMismatch;
    }
    // The C library decides what of the collected text is a number, as its
    // scanf does ("1e" reads as 1, "in" as nothing).
    char const * const text = number.Text();
    char * end = nullptr;
    void * const target = Target(field);
    switch (field.length) {
        case FormatLength::kLong: {
            double const value = std::strtod(text, &end);
            if (target != nullptr && end > text)
                *static_cast<double *>(target) = value;
            break;
        }
        case FormatLength::kLongDouble: {
            long double const value = std::strtold(text, &end);
            if (target != nullptr && end > text)
                *static_cast<long double *>(target) = value;
            break;
        }
        default: {
            float const value = std::strtof(text, &end);
            if (target != nullptr && end > text)
                *static_cast<float *>(target) = value;
            break;
        }
    }
    return end > text ? Outcome::kMatched : Outcome::kMismatch;
}

// Reads units while `accept` takes them, up to the width, and stores them
// (with a terminating 0 when asked). No unit read is a mismatch, or the end
// of input.
template <class Unit>
Outcome Scanner<Unit>::Units(Field const & field, bool terminate,
                             bool (*accept)(long, void const *), void const * context) {
    Unit * const out = static_cast<Unit *>(Target(field));
    long count = 0;
    long unit = -1;
    while (count < field.width) {
        unit = reader_.get();
        if (unit == -1 || !accept(unit, context)) {
            reader_.unget(unit);
            break;
        }
        if (out != nullptr) {
            out[count] = static_cast<Unit>(unit);
        }
        ++count;
    }
    if (out != nullptr && terminate) {
        out[count] = 0;
    }
    if (count == 0) {
        return unit == -1 ? Outcome::kEndOfInput : Outcome::kMismatch;
    }
    return Outcome::kMatched;
}

// c: exactly width units (1 without a width), no terminator.
template <class Unit>
Outcome Scanner<Unit>::Character(Field const & field) {
    long const width = field.width == 0x7FFFFFFF ? 1 : field.width;
    Unit * const out = static_cast<Unit *>(Target(field));
    for (long i = 0; i < width; ++i) {
        long const unit = reader_.get();
        if (unit == -1) {
            reader_.unget(unit);
            return Outcome::kEndOfInput;
        }
        if (out != nullptr) {
            out[i] = static_cast<Unit>(unit);
        }
    }
    return Outcome::kMatched;
}

// A scan set: [begin, end) of the format, negated or not. A '-' between two
// units names the range from the one to the other.
template <class Unit>
struct ScanSet {
    Unit const * begin;
    Unit const * end;
    bool negated;

    static bool Accepts(long unit, void const * context) {
        ScanSet const & set = *static_cast<ScanSet const *>(context);
        bool found = false;
        for (Unit const * p = set.begin; p < set.end && !found; ++p) {
            if (p + 2 < set.end && p[1] == '-') {
                found = unit >= static_cast<long>(p[0]) && unit <= static_cast<long>(p[2]);
                p += 2;
            } else {
                found = unit == static_cast<long>(*p);
            }
        }
        return found != set.negated;
    }
};

// [set]: the format points after '['; it is moved past the closing ']'.
template <class Unit>
Outcome Scanner<Unit>::Set(Field const & field, Unit const *& format) {
    ScanSet<Unit> set;
    set.negated = *format == '^';
    set.begin = set.negated ? format + 1 : format;
    Unit const * end = set.begin;
    if (*end == ']') {
        ++end;  // a ']' first belongs to the set
    }
    while (*end != 0 && *end != ']') {
        ++end;
    }
    if (*end == 0) {
        format = end;
        return Outcome::kMismatch;  // no closing ']'
    }
    set.end = end;
    format = end + 1;
    return Units(field, true, &ScanSet<Unit>::Accepts, &set);
}

bool NotSpace(long unit, void const *) {
    return !IsSpace(unit);
}

template <class Unit>
int Scanner<Unit>::Run(Unit const * format) {
    Unit const * f = format;
    while (*f != 0) {
        if (IsSpace(*f)) {
            while (IsSpace(*f)) {
                ++f;
            }
            SkipSpace();
            continue;
        }
        Outcome outcome = Outcome::kMatched;
        if (*f != '%') {
            long const unit = reader_.get();
            if (unit != static_cast<long>(*f)) {
                reader_.unget(unit);
                outcome = unit == -1 ? Outcome::kEndOfInput : Outcome::kMismatch;
            }
            ++f;
        } else {
            ++f;
            Field field;
            if (*f == '*') {
                field.assign = false;
                ++f;
            }
            int const width = zuuc_internal::ReadFormatDecimal(f);
            if (width > 0) {
                field.width = width;
            }
            field.length = zuuc_internal::ReadFormatLength(f);
            Unit const conversion = *f;
            if (conversion == 0) {
                break;  // the format ends inside a conversion
            }
            ++f;
            bool assigns = field.assign;
            switch (conversion) {
                case 'd':
                    SkipSpace();
                    outcome = Integer(field, 10, true, false);
                    break;
                case 'i':
                    SkipSpace();
                    outcome = Integer(field, 0, true, false);
                    break;
                case 'u':
                    SkipSpace();
                    outcome = Integer(field, 10, false, false);
                    break;
                case 'o':
                    SkipSpace();
                    outcome = Integer(field, 8, false, false);
                    break;
                case 'x':
                case 'X':
                    SkipSpace();
                    outcome = Integer(field, 16, false, false);
                    break;
                case 'p':
                    SkipSpace();
                    outcome = Integer(field, 16, false, true);
                    break;
                case 'e':
                case 'E':
                case 'f':
                case 'F':
                case 'g':
                case 'G':
                case 'a':
                case 'A':
                    SkipSpace();
                    outcome = Float(field);
                    break;
                case 's':
                    SkipSpace();
                    outcome = Units(field, true, &NotSpace, nullptr);
                    break;
                case 'c':
                    outcome = Character(field);
                    break;
                case '[':
                    outcome = Set(field, f);
                    break;
                case 'n': {
                    void * const target = Target(field);
                    if (target != nullptr) {
                        zuuc_internal::StoreInteger(
                            target, field.length, static_cast<unsigned long long>(reader_.count()));
                    }
                    assigns = false;
                    break;
                }
                case '%': {
                    SkipSpace();
                    long const unit = reader_.get();
                    if (unit != '%') {
                        reader_.unget(unit);
                        outcome = unit == -1 ? Outcome::kEndOfInput : Outcome::kMismatch;
                    }
                    assigns = false;
                    break;
                }
                default:
                    assigns = false;  // unknown: skipped
                    break;
            }
            if (outcome == Outcome::kMatched && assigns) {
                ++assigned_;
            }
        }
        if (outcome == Outcome::kEndOfInput) {
            return assigned_ > 0 ? assigned_ : -1;
        }
        if (outcome == Outcome::kMismatch) {
            return assigned_;
        }
    }
    return assigned_;
}

}  // namespace

namespace zuuc_internal {

template <class Unit>
int ScanfEngine<Unit>::operator()(Reader & reader, Unit const * format, va_list args) const {
    if (format == nullptr) {
        return -1;
    }
    Scanner<Unit> scanner(reader, args);
    return scanner.Run(format);
}

template class ScanfEngine<unsigned short>;
template class ScanfEngine<unsigned int>;

}  // namespace zuuc_internal

// ---- C entry points ------------------------------------------------------------

namespace {

// Reads a stdio stream through the wide stream functions, which keep the
// unit pushed back at the end of a call for the next read of the stream.
template <unsigned int (*Get)(FILE *), unsigned int (*Unget)(unsigned int, FILE *)>
class ScanfFileReader : public ScanfReader {
public:
    explicit ScanfFileReader(FILE * file) : file_(file) {}
    long get() override {
        ++count_;
        unsigned int const unit = Get(file_);
        return unit == ZU_WEOF ? -1 : static_cast<long>(unit);
    }
    void unget(long unit) override {
        --count_;
        if (unit != -1) {
            Unget(static_cast<unsigned int>(unit), file_);
        }
    }

private:
    FILE * file_;
};

typedef ScanfFileReader<zu_fgetwc_16, zu_ungetwc_16> ScanfFileReader16;
typedef ScanfFileReader<zu_fgetwc_32, zu_ungetwc_32> ScanfFileReader32;

template <class Reader, class Unit>
int ScanFile(FILE * file, Unit const * fmt, va_list args) {
    if (file == nullptr) {
        return -1;
    }
    Reader reader(file);
    return zuuc_internal::ScanfEngine<Unit>()(reader, fmt, args);
}

template <class Unit>
int ScanString(Unit const * s, Unit const * fmt, va_list args) {
    if (s == nullptr) {
        return -1;
    }
    zuuc_internal::ScanfStringReader<Unit> reader(s);
    return zuuc_internal::ScanfEngine<Unit>()(reader, fmt, args);
}

}  // namespace

ZUUC_EXTERN_C int zu_vswscanf_16(unsigned short const * s, unsigned short const * fmt,
                                 va_list args) {
    return ScanString(s, fmt, args);
}
ZUUC_EXTERN_C int zu_swscanf_16(unsigned short const * s, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanString(s, fmt, args));
}
ZUUC_EXTERN_C int zu_swscanf(unsigned short const * s, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanString(s, fmt, args));
}
ZUUC_EXTERN_C int zu_vswscanf_32(unsigned int const * s, unsigned int const * fmt, va_list args) {
    return ScanString(s, fmt, args);
}
ZUUC_EXTERN_C int zu_swscanf_32(unsigned int const * s, unsigned int const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanString(s, fmt, args));
}

ZUUC_EXTERN_C int zu_vfwscanf_16(FILE * f, unsigned short const * fmt, va_list args) {
    return ScanFile<ScanfFileReader16>(f, fmt, args);
}
ZUUC_EXTERN_C int zu_fwscanf_16(FILE * f, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanFile<ScanfFileReader16>(f, fmt, args));
}
ZUUC_EXTERN_C int zu_fwscanf(FILE * f, unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanFile<ScanfFileReader16>(f, fmt, args));
}
ZUUC_EXTERN_C int zu_vwscanf_16(unsigned short const * fmt, va_list args) {
    return ScanFile<ScanfFileReader16>(stdin, fmt, args);
}
ZUUC_EXTERN_C int zu_wscanf_16(unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanFile<ScanfFileReader16>(stdin, fmt, args));
}
ZUUC_EXTERN_C int zu_wscanf(unsigned short const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanFile<ScanfFileReader16>(stdin, fmt, args));
}
ZUUC_EXTERN_C int zu_vfwscanf_32(FILE * f, unsigned int const * fmt, va_list args) {
    return ScanFile<ScanfFileReader32>(f, fmt, args);
}
ZUUC_EXTERN_C int zu_fwscanf_32(FILE * f, unsigned int const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanFile<ScanfFileReader32>(f, fmt, args));
}
ZUUC_EXTERN_C int zu_vwscanf_32(unsigned int const * fmt, va_list args) {
    return ScanFile<ScanfFileReader32>(stdin, fmt, args);
}
ZUUC_EXTERN_C int zu_wscanf_32(unsigned int const * fmt, ...) {
    ZUUC_WITH_ARGS(fmt, ScanFile<ScanfFileReader32>(stdin, fmt, args));
}
