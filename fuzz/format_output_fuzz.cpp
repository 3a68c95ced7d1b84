// Fuzzes the formatted-output engine of both widths. The input gives a mode
// byte (width, buffer size), the format text and then the argument values.
// The format is cut after each conversion and every piece is formatted with
// arguments of the types its conversion takes (read from the input), so %s
// always points at a terminated string and %n at room for any integer.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <type_traits>
#include <vector>

#include "fuzz_input.h"
#include "zuuc/sinks.h"
#include "zuuc/wide_format.h"

namespace {

enum class Kind { kNone, kInt, kLong, kLongLong, kDouble, kLongDouble, kPointer, kString, kCount };

template <class Unit>
struct Piece {
    std::vector<Unit> format;
    int stars = 0;
    Kind kind = Kind::kNone;
};

bool IsDigit(unsigned int u) {
    return u >= '0' && u <= '9';
}

// Splits the format after each conversion, with the engine's grammar.
// Returns false for formats with a width or precision of more than four
// digits (long runs of fill only slow the fuzzer down; the tests cover them).
template <class Unit>
bool Split(std::vector<Unit> const & format, std::vector<Piece<Unit>> & pieces) {
    std::size_t i = 0;
    while (format[i] != 0) {
        Piece<Unit> piece;
        std::size_t const start = i;
        while (format[i] != 0 && format[i] != '%')
            ++i;
        if (format[i] == '%') {
            ++i;
            while (format[i] == '-' || format[i] == '+' || format[i] == ' ' || format[i] == '#' ||
                   format[i] == '0')
                ++i;
            for (int part = 0; part < 2; ++part) {
                if (part == 1) {
                    if (format[i] != '.')
                        break;
                    ++i;
                }
                if (format[i] == '*') {
                    ++piece.stars;
                    ++i;
                } else {
                    int digits = 0;
                    while (IsDigit(format[i]))
                        ++i, ++digits;
                    if (digits > 4)
                        return false;
                }
            }
            bool is_long = false, is_long_long = false, is_long_double = false;
            if (format[i] == 'h') {
                ++i;
                if (format[i] == 'h')
                    ++i;
            } else if (format[i] == 'l') {
                ++i;
                is_long = true;
                if (format[i] == 'l')
                    ++i, is_long_long = true;
            } else if (format[i] == 'L') {
                ++i;
                is_long_double = is_long_long = true;
            } else if (format[i] == 'j' || format[i] == 'z' || format[i] == 't') {
                ++i;
                is_long = true;
            }
            switch (format[i]) {
                case 'd':
                case 'i':
                case 'o':
                case 'u':
                case 'x':
                case 'X':
                    piece.kind = is_long_long ? Kind::kLongLong
                                 : is_long    ? Kind::kLong
                                              : Kind::kInt;
                    break;
                case 'e':
                case 'E':
                case 'f':
                case 'F':
                case 'g':
                case 'G':
                case 'a':
                case 'A':
                    piece.kind = is_long_double ? Kind::kLongDouble : Kind::kDouble;
                    break;
                case 'p':
                    piece.kind = Kind::kPointer;
                    break;
                case 'c':
                    piece.kind = Kind::kInt;
                    break;
                case 's':
                    piece.kind = Kind::kString;
                    break;
                case 'n':
                    piece.kind = Kind::kCount;
                    break;
                default:
                    break;
            }
            if (format[i] != 0)
                ++i;
        }
        piece.format.assign(format.begin() + static_cast<std::ptrdiff_t>(start),
                            format.begin() + static_cast<std::ptrdiff_t>(i));
        piece.format.push_back(0);
        pieces.push_back(piece);
    }
    return true;
}

// Formats into a buffer with the function of the unit width, and into a
// string sink with the sink's printf, which must agree with its size.
template <class Unit, class... A>
int Print(Unit * buf, std::size_t n, Unit const * f, A... a) {
    if constexpr (sizeof(Unit) == 2) {
        return zu_swprintf_16(buf, n, f, a...);
    } else {
        return zu_swprintf_32(buf, n, f, a...);
    }
}

template <class Unit, class... A>
int SinkPrint(Unit const * f, A... a) {
    typename std::conditional<sizeof(Unit) == 2, StringChar16Sink, StringChar32Sink>::type sink;
    int const count = sink.printf(f, a...);
    if (count >= 0 && sink.size() != static_cast<unsigned>(count))
        std::abort();
    return count;
}

template <class Unit, class... A>
void Check(std::vector<Unit> & buf, std::size_t n, Unit const * f, A... a) {
    int const count = Print(buf.data(), n, f, a...);
    // A result below n is terminated there.
    if (count >= 0 && static_cast<std::size_t>(count) < n &&
        buf[static_cast<std::size_t>(count)] != 0)
        std::abort();
    if (count >= 0 && SinkPrint(f, a...) != count)
        std::abort();
}

template <class Unit, class V>
void WithStars(std::vector<Unit> & buf, std::size_t n, Piece<Unit> const & piece, FuzzInput & in,
               V value) {
    int const s1 = in.Number<short>() % 3000;
    int const s2 = in.Number<short>() % 3000;
    Unit const * f = piece.format.data();
    if (piece.stars == 0)
        Check(buf, n, f, value);
    else if (piece.stars == 1)
        Check(buf, n, f, s1, value);
    else
        Check(buf, n, f, s1, s2, value);
}

template <class Unit>
void Run(FuzzInput & in, std::size_t n) {
    std::vector<Unit> const format = in.Text<Unit>();
    std::vector<Piece<Unit>> pieces;
    if (!Split(format, pieces))
        return;
    std::vector<Unit> buf(n + 1);
    std::vector<Unit> text = in.Text<Unit>();
    long long count_storage[2];
    for (Piece<Unit> const & piece : pieces) {
        switch (piece.kind) {
            case Kind::kNone:
                WithStars(buf, n, piece, in, 0);
                break;
            case Kind::kInt:
                WithStars(buf, n, piece, in, in.Number<int>());
                break;
            case Kind::kLong:
                WithStars(buf, n, piece, in, in.Number<long>());
                break;
            case Kind::kLongLong:
                WithStars(buf, n, piece, in, in.Number<long long>());
                break;
            case Kind::kDouble:
                WithStars(buf, n, piece, in, in.Number<double>());
                break;
            case Kind::kLongDouble:
                WithStars(buf, n, piece, in, static_cast<long double>(in.Number<double>()));
                break;
            case Kind::kPointer:
                WithStars(buf, n, piece, in, reinterpret_cast<void *>(in.Number<std::uintptr_t>()));
                break;
            case Kind::kString:
                WithStars(buf, n, piece, in, in.Byte() == 0x5A ? nullptr : text.data());
                break;
            case Kind::kCount:
                WithStars(buf, n, piece, in, static_cast<void *>(count_storage));
                break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    FuzzInput in(data, size);
    std::uint8_t const mode = in.Byte();
    std::size_t const n = mode >> 1;  // buffer of 0 to 127 units
    if (mode & 1) {
        Run<unsigned int>(in, n);
    } else {
        Run<unsigned short>(in, n);
    }
    return 0;
}
