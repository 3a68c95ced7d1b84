// The formatted-output and formatted-input engines behind zu_swprintf,
// zu_swscanf and their kin, shared by the C entry points and the sinks'
// printf members.
#ifndef ZUUC_SRC_WCHAR_FORMAT_ENGINE_H
#define ZUUC_SRC_WCHAR_FORMAT_ENGINE_H

#include <climits>
#include <cstdarg>

class Char16Sink;
class Char32Sink;

namespace zuuc_internal {

// Limits of the engines (docs/formatting.md).
// Bytes of the buffer one numeric output conversion is formatted into; a
// conversion whose text would need more (terminator included) is refused.
constexpr int kNumericFieldBytes = 1056;
// Bytes of the narrowed conversion directive handed to the C library.
// The engine rebuilds it from the parsed fields (each flag once, width and
// precision as at most ten digits), so it always fits.
constexpr int kNarrowSpecBytes = 64;
// Longest numeric input field copied for the C conversion functions.
constexpr int kNumericInputUnits = 127;
// Fill (spaces for padded c and s) is written in pieces of this many units.
constexpr int kFillChunk = 64;

// Length modifiers of both engines: hh h l ll L j z t.
enum class FormatLength {
    kNone,
    kChar,
    kShort,
    kLong,
    kLongLong,
    kLongDouble,
    kIntMax,
    kSize,
    kPtrDiff
};

// Reads decimal digits at p (none gives 0), saturated at INT_MAX.
template <class Unit>
int ReadFormatDecimal(Unit const *& p) {
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value < INT_MAX) {
            value = value * 10 + static_cast<long long>(*p - '0');
        }
        ++p;
    }
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// Reads a length modifier at p, if there is one.
template <class Unit>
FormatLength ReadFormatLength(Unit const *& p) {
    switch (*p) {
        case 'h':
            ++p;
            if (*p == 'h') {
                ++p;
                return FormatLength::kChar;
            }
            return FormatLength::kShort;
        case 'l':
            ++p;
            if (*p == 'l') {
                ++p;
                return FormatLength::kLongLong;
            }
            return FormatLength::kLong;
        case 'L':
            ++p;
            return FormatLength::kLongDouble;
        case 'j':
            ++p;
            return FormatLength::kIntMax;
        case 'z':
            ++p;
            return FormatLength::kSize;
        case 't':
            ++p;
            return FormatLength::kPtrDiff;
        default:
            return FormatLength::kNone;
    }
}

// Stores an integer (its low bits) through target as the length modifier
// says: int, signed char, short, long, long long, intmax_t, size_t or
// ptrdiff_t (L as long long).
void StoreInteger(void * target, FormatLength length, unsigned long long bits);

// Formats into the sink and returns the number of units formatted, or -1
// (see wide_format.h). `args` is read with va_arg, in order.
int FormatToSink(Char16Sink & sink, unsigned short const * format, va_list args);
int FormatToSink(Char32Sink & sink, unsigned int const * format, va_list args);

// Where the input engine reads from. get() returns the next unit, or -1 at
// the end, and counts it; unget(unit) takes one unit back (the one get()
// returned last) and uncounts it; ungetting -1 only uncounts.
class ScanfReader {
public:
    virtual ~ScanfReader();
    virtual long get() = 0;
    virtual void unget(long unit) = 0;
    // Units read so far (what %n stores).
    long count() const { return count_; }

protected:
    long count_ = 0;
};

// Reads a terminated string of 16- or 32-bit units.
template <class Unit>
class ScanfStringReader : public ScanfReader {
public:
    explicit ScanfStringReader(Unit const * text) : next_(text) {}
    long get() override {
        ++count_;
        if (next_ == nullptr || *next_ == 0) {
            return -1;
        }
        return static_cast<long>(*next_++);
    }
    void unget(long unit) override {
        --count_;
        if (unit != -1) {
            --next_;
        }
    }

private:
    Unit const * next_;
};

// The formatted-input engine: format units of type Unit; c, s and [ store
// Unit units. Returns the number of fields assigned, or -1 (wide_format.h).
template <class Unit>
class ScanfEngine {
public:
    typedef ScanfReader Reader;
    typedef ScanfStringReader<unsigned short> StringReader;
    typedef ScanfStringReader<unsigned int> String32Reader;

    int operator()(Reader & reader, Unit const * format, va_list args) const;
};

extern template class ScanfEngine<unsigned short>;
extern template class ScanfEngine<unsigned int>;

}  // namespace zuuc_internal

// The body of a variadic function that starts its argument list after the
// parameter `last`, returns `call` (which uses `args`) and ends the list.
#define ZUUC_WITH_ARGS(last, call) \
    va_list args;                  \
    va_start(args, last);          \
    int const result_ = (call);    \
    va_end(args);                  \
    return result_

#endif
