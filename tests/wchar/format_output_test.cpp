// Formatted output of both widths, checked against the C library's swprintf
// (C locale) over every conversion, flag, width, precision and length
// modifier, plus the behaviour the C library does not share and the limits.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "wchar/wide_test_util.h"
#include "zuuc/sinks.h"
#include "zuuc/wide_format.h"

namespace {

typedef std::basic_string<unsigned short> U16;
typedef std::basic_string<unsigned int> U32;

using zuuc_test::wide::Widen;

// An argument for %s: "abc" in the units of each function's own width.
struct Abc {};
template <class Unit, class T>
T Arg(T value) {
    return value;
}
template <class Unit>
Unit const * Arg(Abc) {
    static Unit const abc[] = {'a', 'b', 'c', 0};
    return abc;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
// Formats with swprintf and with both widths of the library and compares
// results and texts.
template <class... Args>
void ExpectSameAsC(std::string const & format, Args... args) {
    SCOPED_TRACE(format);
    std::wstring const wide_format = Widen<wchar_t>(zuuc_test::wide::CSpelling(format));
    std::vector<wchar_t> expected(2048);
    int const expected_count =
        std::swprintf(expected.data(), expected.size(), wide_format.c_str(), Arg<wchar_t>(args)...);
    ASSERT_GE(expected_count, 0);

    std::vector<unsigned short> out16(2048, 0xBEEF);
    EXPECT_EQ(expected_count, zu_swprintf_16(out16.data(), out16.size(), Widen<unsigned short>(format).c_str(),
                                             Arg<unsigned short>(args)...));
    EXPECT_EQ(U16(expected.begin(), expected.begin() + expected_count), U16(out16.data()));

    std::vector<unsigned int> out32(2048, 0xBEEF);
    EXPECT_EQ(expected_count, zu_swprintf_32(out32.data(), out32.size(), Widen<unsigned int>(format).c_str(),
                                             Arg<unsigned int>(args)...));
    EXPECT_EQ(U32(expected.begin(), expected.begin() + expected_count), U32(out32.data()));
}
#pragma GCC diagnostic pop

char const * const kFlags[] = {"", "-", "+", " ", "#", "0", "-0", "+ ", "#0", "-+ #0"};
char const * const kWidths[] = {"", "1", "12", "*"};
char const * const kPrecisions[] = {"", ".", ".0", ".5", ".*"};

// Every flag set, width and precision (with positive and negative '*'
// values) for the conversions and length modifier given.
template <class T>
void CompareAll(char const * conversions, char const * length, std::vector<T> const & values) {
    for (char const * c = conversions; *c != 0; ++c) {
        for (char const * flags : kFlags) {
            for (char const * width : kWidths) {
                for (char const * precision : kPrecisions) {
                    std::string const format = std::string("<%") + flags + width + precision + length + *c + ">";
                    bool const star_width = width[0] == '*';
                    bool const star_precision = std::string(precision) == ".*";
                    for (T value : values) {
                        for (int w : {9, -9}) {
                            for (int p : {3, -2}) {
                                if (star_width && star_precision) ExpectSameAsC(format, w, p, value);
                                else if (star_width && p == 3) ExpectSameAsC(format, w, value);
                                else if (star_precision && w == 9) ExpectSameAsC(format, p, value);
                                else if (!star_width && !star_precision && w == 9 && p == 3) ExpectSameAsC(format, value);
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST(FormatOutputVersusC, Integers) {
    CompareAll<int>("diouxX", "", {0, 7, -42, INT_MAX, INT_MIN});
    CompareAll<int>("diouxX", "h", {0, -1, 70000});
    CompareAll<int>("diouxX", "hh", {0, 300, -129});
    CompareAll<long>("diouxX", "l", {0L, LONG_MAX, LONG_MIN, -5L});
    CompareAll<long long>("diouxX", "ll", {0LL, LLONG_MIN, 1234567890123LL});
    CompareAll<long long>("di", "L", {-3LL, LLONG_MAX});
    CompareAll<long>("du", "j", {-1L, 99L});
    CompareAll<long>("du", "z", {5L});
    CompareAll<long>("dx", "t", {-6L});
}

TEST(FormatOutputVersusC, Floating) {
    std::vector<double> const doubles = {0.0, -0.0, 1.5, -123.456, 1e300, 1e-300, 0.1, INFINITY, -NAN};
    CompareAll<double>("eEfFgGaA", "", doubles);
    CompareAll<double>("efg", "l", {2.5, -1e-5});
    CompareAll<long double>("eEfFgGaA", "L", {0.0L, -2.75L, 1e400L, 1e-20L, -INFINITY});
}

TEST(FormatOutputVersusC, PointersPercentAndText) {
    int x = 0;
    CompareAll<void *>("p", "", {nullptr, &x});
    ExpectSameAsC("100%% of %d%%", 5);
    ExpectSameAsC("no conversions at all");
}

// c and s take units of the function's own width; the C library's %lc and
// %ls are their counterparts.
TEST(FormatOutputVersusC, CharactersAndStrings) {
    for (char const * flags : {"", "-", "+", " ", "#"}) {
        for (char const * width : {"", "1", "5"}) {
            for (char const * precision : {"", ".0", ".2", ".9"}) {
                std::string const spec = std::string("[%") + flags + width + precision;
                ExpectSameAsC(spec + "c]", 0xE9);
                ExpectSameAsC(spec + "s]", Abc());
            }
        }
    }
}

U16 Format16(std::string const & format, ...) {
    unsigned short out[256];
    va_list args;
    va_start(args, format);
    int const count = zu_vswprintf_16(out, 256, Widen<unsigned short>(format).c_str(), args);
    va_end(args);
    EXPECT_GE(count, 0);
    return U16(out);
}

// Padding and precision the comparison with the C library does not reach.
TEST(FormatOutput, PaddingOfTextAndUnitsBeyondAscii) {
    U16 const abc = Widen<unsigned short>("abc");
    EXPECT_EQ(abc, Format16("%05s", abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("ab   "), Format16("%-05.2s", abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("    ab"), Format16("%*.*s", 6, 2, abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("ab    |"), Format16("%*.*s|", -6, 2, abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("(null)|(n"), Format16("%s|%.2s", nullptr, nullptr));
    EXPECT_EQ(U16({0xD83D, 0xDE00, 'x'}), Format16("%c%cx", 0x1D83D, 0xDE00));  // low 16 bits
    EXPECT_EQ(Widen<unsigned short>("ab"), Format16("a%yb%"));                    // unknown, lone %

    unsigned int out32[8];
    unsigned int const smile[] = {0x1F600, 0};
    unsigned int const format32[] = {'%', 's', '%', 'c', 0};
    EXPECT_EQ(2, zu_swprintf_32(out32, 8, format32, smile, 0x10FFFF));
    EXPECT_EQ((U32{0x1F600, 0x10FFFF}), U32(out32));
}

TEST(FormatOutput, CountStoredByPercentN) {
    int as_int = -1;
    short as_short = -1;
    long as_long = -1;
    signed char as_char = -1;
    EXPECT_EQ(Widen<unsigned short>("abcde"),
              Format16("ab%ncd%hne%ln%hhn", &as_int, &as_short, &as_long, &as_char));
    EXPECT_EQ(2, as_int);
    EXPECT_EQ(4, as_short);
    EXPECT_EQ(5L, as_long);
    EXPECT_EQ(5, as_char);
    EXPECT_EQ(Widen<unsigned short>("ab"), Format16("a%nb", nullptr));
}

// Return value and terminator of the buffer forms.
TEST(FormatOutput, CutOutputKeepsTheFullCountAndHasNoTerminator) {
    U16 const format = Widen<unsigned short>("%d");
    unsigned short buf[10];
    std::fill(buf, buf + 10, 0xBEEF);
    EXPECT_EQ(5, zu_swprintf(buf, 4, format.c_str(), 12345));
    EXPECT_EQ(Widen<unsigned short>("1234"), U16(buf, 4));
    EXPECT_EQ(0xBEEF, buf[4]);
    EXPECT_EQ(5, zu_swprintf(buf, 5, format.c_str(), 12345));
    EXPECT_EQ(0xBEEF, buf[5]);
    EXPECT_EQ(5, zu_swprintf(buf, 10, format.c_str(), 12345));
    EXPECT_EQ(Widen<unsigned short>("12345"), U16(buf));
    EXPECT_EQ(5, zu_swprintf(nullptr, 0, format.c_str(), 12345));
    EXPECT_EQ(-1, zu_swprintf(buf, 10, nullptr));
}

// The limits: each is kept, and what lies beyond is refused (-1) or, for
// the directive, folded.
TEST(FormatOutput, Limits) {
    unsigned short buf[16];
    auto format = [&buf](std::string const & f, auto... args) {
        return zu_swprintf_16(buf, 16, Widen<unsigned short>(f).c_str(), args...);
    };
    // Numeric text: 1,055 characters fit the buffer, 1,056 are refused.
    EXPECT_EQ(1055, format("%1055d", 1));
    EXPECT_EQ(-1, format("ab%1056d", 1));
    EXPECT_EQ(Widen<unsigned short>("ab"), U16(buf));
    EXPECT_EQ(-1, format("%.1100f", 1.0));
    EXPECT_EQ(-1, format("%Lf", LDBL_MAX));
    EXPECT_EQ(-1, format("%100000d", 7));
    // A width of 100,000 on text is written in full.
    EXPECT_EQ(100001, format("%100000sx", Widen<unsigned short>("a").c_str()));
    EXPECT_EQ(Widen<unsigned short>(std::string(16, ' ')), U16(buf, 16));
    // Repeated flags fold to one each, so the narrowed directive stays short.
    std::string many;
    for (int i = 0; i < 40; ++i) many += "-0+ #";
    EXPECT_EQ(format("%-0+ #8.3x|", 255), format(("%" + many + "8.3x|").c_str(), 255));
    // A count past INT_MAX fails the call; widths saturate at INT_MAX.
    EXPECT_EQ(INT_MAX, format("%*c", INT_MAX, 'a'));
    EXPECT_EQ(-1, format("x%*c", INT_MAX, 'a'));
    EXPECT_EQ(-1, format("x%99999999999999999999c", 'a'));
    // A format ending inside a conversion stops at its terminator (the
    // address sanitizer sees any read past it).
    for (char const * ending : {"%", "%-08", "%.*", "%5.3l", "%hh"}) {
        U16 const exact = Widen<unsigned short>(std::string("ab") + ending);
        std::vector<unsigned short> tight(exact.begin(), exact.end() + 1);
        EXPECT_EQ(2, zu_swprintf_16(buf, 16, tight.data(), 4, 4)) << ending;
    }
}

TEST(FormatOutput, SinkMembersAndFiles) {
    StringChar16Sink sink16;
    EXPECT_EQ(6, sink16.printf(Widen<unsigned short>("%d-%s").c_str(), 42, Widen<unsigned short>("abc").c_str()));
    EXPECT_EQ(Widen<unsigned short>("42-abc"), U16(sink16.c_str()));
    unsigned int buf32[4];
    BufferChar32Sink sink32(buf32, 4);
    EXPECT_EQ(6, sink32.printf(Widen<unsigned int>("%x").c_str(), 0xABCDEF));
    EXPECT_TRUE(sink32.IsTruncated());

    std::FILE * file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(3, zu_fwprintf(file, Widen<unsigned short>("%+d").c_str(), 12));
    EXPECT_EQ(2, zu_fwprintf_32(file, Widen<unsigned int>("%c%c").c_str(), 0x1F600, 'z'));
    std::rewind(file);
    unsigned char bytes[32];
    ASSERT_EQ(14u, std::fread(bytes, 1, sizeof bytes, file));
    unsigned short units16[3];
    unsigned int units32[2];
    std::memcpy(units16, bytes, 6);
    std::memcpy(units32, bytes + 6, 8);
    EXPECT_EQ(Widen<unsigned short>("+12"), U16(units16, 3));
    EXPECT_EQ((U32{0x1F600, 'z'}), U32(units32, 2));
    std::fclose(file);
    EXPECT_EQ(-1, zu_fwprintf(nullptr, Widen<unsigned short>("x").c_str()));
}

}  // namespace
