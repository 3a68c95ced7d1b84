// Formatted input of both widths, checked against the C library's swscanf
// (C locale), plus the behaviour the C library does not share and the
// limits; and wcsftime against wcsftime.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <string>
#include <vector>

#include "wchar/wide_test_util.h"
#include "zuuc/wide_chars.h"
#include "zuuc/wide_format.h"

namespace {

using zuuc_test::wide::Widen;

// Storage for one stored field: numbers are compared byte for byte, text
// unit for unit.
struct Slot {
    unsigned char bytes[64];
    Slot() { std::memset(bytes, 0xA5, sizeof bytes); }
};

struct ScanCase {
    char const * input;
    char const * format;  // our spelling; for the C library c, s and [ take an 'l'
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
// Runs one case with up to three fields; c, s and [ results are compared
// as units, everything else as bytes.
void ExpectSameAsC(ScanCase const & c) {
    SCOPED_TRACE(std::string("input \"") + c.input + "\" format \"" + c.format + "\"");
    Slot expected[3], got16[3], got32[3];
    std::wstring const input(c.input, c.input + std::strlen(c.input));
    std::wstring const cformat = Widen<wchar_t>(zuuc_test::wide::CSpelling(c.format));
    int const count = std::swscanf(input.c_str(), cformat.c_str(), expected[0].bytes, expected[1].bytes, expected[2].bytes);
    EXPECT_EQ(count, zu_swscanf(Widen<unsigned short>(c.input).c_str(), Widen<unsigned short>(c.format).c_str(),
                                got16[0].bytes, got16[1].bytes, got16[2].bytes));
    EXPECT_EQ(count, zu_swscanf_32(Widen<unsigned int>(c.input).c_str(), Widen<unsigned int>(c.format).c_str(),
                                   got32[0].bytes, got32[1].bytes, got32[2].bytes));
    bool const text = std::strpbrk(c.format, "cs[") != nullptr;
    for (int i = 0; i < 3; ++i) {
        if (!text) {
            EXPECT_EQ(0, std::memcmp(expected[i].bytes, got16[i].bytes, sizeof expected[i].bytes)) << i;
            EXPECT_EQ(0, std::memcmp(expected[i].bytes, got32[i].bytes, sizeof expected[i].bytes)) << i;
            continue;
        }
        wchar_t const * const wide = reinterpret_cast<wchar_t const *>(expected[i].bytes);
        unsigned short const * const units16 = reinterpret_cast<unsigned short const *>(got16[i].bytes);
        unsigned int const * const units32 = reinterpret_cast<unsigned int const *>(got32[i].bytes);
        for (int k = 0; k < 8 && wide[k] != static_cast<wchar_t>(0xA5A5A5A5); ++k) {
            EXPECT_EQ(static_cast<unsigned short>(wide[k]), units16[k]) << i << ',' << k;
            EXPECT_EQ(static_cast<unsigned int>(wide[k]), units32[k]) << i << ',' << k;
        }
    }
}
#pragma GCC diagnostic pop

TEST(FormatInputVersusC, NumbersOfEveryConversionAndLength) {
    char const * const inputs[] = {"42", "-17 x", "  +0x1F;", "0777", "0xg", "99999999999999999999",
                                   "1.5e3", "-.5", "0x1.8p1", "  inf", "-Infinity", "NaN", "0x1p4", "1e+", "abc",
                                   "", "   ", "+", "1e", "12345678", "3.25e-2z"};
    char const * const integer_lengths[] = {"", "hh", "h", "l", "ll", "j", "z", "t"};
    char const * const float_lengths[] = {"", "l", "L"};
    for (char const * input : inputs) {
        for (char const * width : {"", "3", "*"}) {
            for (char conversion : std::string("diouxXp")) {
                for (char const * length : integer_lengths) {
                    if (conversion == 'p' && length[0] != 0) continue;
                    std::string const format = std::string("%") + width + length + conversion + "%n";
                    ExpectSameAsC({input, format.c_str()});
                }
            }
            // glibc reads "0x" without digits as 0 or not, by width; the
            // library always reads it as 0.
            if (std::strstr(input, "0x") != nullptr && std::strchr(input, 'p') == nullptr) continue;
            for (char conversion : std::string("eEfFgGaA")) {
                for (char const * length : float_lengths) {
                    std::string const format = std::string("%") + width + length + conversion + "%n";
                    ExpectSameAsC({input, format.c_str()});
                }
            }
        }
    }
}

TEST(FormatInputVersusC, TextSetsAndDirectives) {
    ScanCase const cases[] = {
        {"hello world", "%s%s"},    {"hello world", "%3s%s"},   {"  ab", "%c%c%c"},
        {"abcdef", "%4c%c"},        {"abc,def", "%[^,],%s"},    {"]a]b", "%[]a]%c"},
        {"x-y", "%[a-z-]%n"},       {"12:34", "%d:%d"},         {"12;34", "%d:%d"},
        {"  7   8", "%d %d"},       {"5", "%*d%d"},             {"5 6", "%*d%d"},
        {"%42", "%%%d"},            {" % 42", "%% %d"},          {"abc", "a%nb%nc%n"},
        {"", "x%d"},                {"x", "y%d"},                {"12abc", "%d%[a-c]%n"},
        {"1 2 3", "%d%*d%d"},       {"\t\n 9", "%d"},            {"0x1A 017 23", "%i %i %i"},
    };
    for (ScanCase const & c : cases) ExpectSameAsC(c);
}

template <class Unit>
int Scan(std::basic_string<Unit> const & input, std::string const & format, void * a = nullptr, void * b = nullptr) {
    return zuuc_test::wide::Wide<Unit>::swscanf(input.c_str(), Widen<Unit>(format).c_str(), a, b);
}
template <class Unit>
int Scan(std::string const & input, std::string const & format, void * a = nullptr, void * b = nullptr) {
    return Scan<Unit>(Widen<Unit>(input), format, a, b);
}

template <class Unit>
class FormatInput : public ::testing::Test {};
TYPED_TEST_SUITE(FormatInput, zuuc_test::wide::UnitTypes);

// Where the library differs from glibc's swscanf on purpose.
TYPED_TEST(FormatInput, EndOfInputAndShortFields) {
    TypeParam text[8] = {9, 9, 9};
    int value = 0;
    EXPECT_EQ(-1, Scan<TypeParam>("", "%d", &value));
    // No unit for %s is the end of input, not an assigned field; the
    // destination still holds an empty text.
    EXPECT_EQ(-1, Scan<TypeParam>("", "%s", text));
    EXPECT_EQ(0, text[0]);
    EXPECT_EQ(1, Scan<TypeParam>("7", "%d%s", &value, text));
    // %5c with three units left fails the field (glibc assigns it).
    EXPECT_EQ(-1, Scan<TypeParam>("abc", "%5c", text));
    // A set without its closing ']' fails the field.
    EXPECT_EQ(0, Scan<TypeParam>("abc", "%[abc", text));
    // A format ending inside a conversion ends the call there.
    EXPECT_EQ(1, Scan<TypeParam>("4 5", "%d %", &value));
    EXPECT_EQ(4, value);
}

TYPED_TEST(FormatInput, UnitsBeyondAsciiAndNumericLimit) {
    TypeParam text[8] = {};
    EXPECT_EQ(1, Scan<TypeParam>(std::basic_string<TypeParam>{0x263A, 0x00E9, ' ', 'x'}, "%s", text));
    EXPECT_EQ((std::basic_string<TypeParam>{0x263A, 0x00E9}), std::basic_string<TypeParam>(text));

    // Numeric fields are copied up to 127 units; a longer one fails.
    int value = 0;
    double real = 0;
    EXPECT_EQ(1, Scan<TypeParam>(std::string(126, '0') + "5", "%d", &value));
    EXPECT_EQ(5, value);
    EXPECT_EQ(0, Scan<TypeParam>(std::string(127, '0') + "5", "%d", &value));
    EXPECT_EQ(1, Scan<TypeParam>("0." + std::string(125, '0'), "%lf", &real));
    EXPECT_EQ(0, Scan<TypeParam>("0." + std::string(126, '0'), "%lf", &real));
    EXPECT_EQ(1, Scan<TypeParam>(std::string(200, '1'), "%3d", &value));
    EXPECT_EQ(111, value);
}

// The file forms read raw units through the stream functions; the unit
// read past the last field is there for the next read.
TYPED_TEST(FormatInput, FilesKeepTheUnitAfterTheLastField) {
    std::basic_string<TypeParam> const units = {'4', '2', ' ', 0x263A, 'z', '|'};
    std::FILE * const file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    std::fwrite(units.data(), sizeof(TypeParam), units.size(), file);
    std::rewind(file);
    int value = 0;
    TypeParam text[4] = {};
    std::basic_string<TypeParam> const format = Widen<TypeParam>("%d%[^|]");
    using W = zuuc_test::wide::Wide<TypeParam>;
    int const count = W::plain_fwscanf(file, format.c_str(), &value, text);
    unsigned int const next = W::fgetwc(file);
    EXPECT_EQ(ZU_WEOF, W::fgetwc(file));
    EXPECT_EQ(-1, W::fwscanf(file, format.c_str(), &value, text));
    EXPECT_EQ(2, count);
    EXPECT_EQ(42, value);
    EXPECT_EQ((std::basic_string<TypeParam>{' ', 0x263A, 'z'}), std::basic_string<TypeParam>(text));
    EXPECT_EQ(static_cast<unsigned int>('|'), next);
    zu_fclose(file);
}

// wcsftime against the C library for every conversion and modifier.
TEST(WideTimeFormat, EveryConversionAgainstC) {
    std::tm time = {};
    time.tm_year = 124;
    time.tm_mon = 1;
    time.tm_mday = 29;
    time.tm_hour = 13;
    time.tm_min = 5;
    time.tm_sec = 9;
    time.tm_wday = 4;
    time.tm_yday = 59;
    std::string const conversions = "aAbBcCdDeFgGhHIjmMnprRStTuUVwWxXyYzZ%";
    std::vector<std::string> formats = {"plain text", "%Ec|%EC|%Ex|%EX|%Ey|%EY", "%Od|%Oe|%OH|%OI|%Om|%OM|%OS|%Ou|%OU|%OV|%Ow|%OW|%Oy"};
    for (char c : conversions) formats.push_back(std::string("<%") + c + ">");
    for (std::string const & format : formats) {
        SCOPED_TRACE(format);
        wchar_t expected[256];
        std::size_t const count = std::wcsftime(expected, 256, Widen<wchar_t>(format).c_str(), &time);
        ASSERT_GT(count, 0u);
        unsigned short out16[256];
        unsigned int out32[256];
        ASSERT_EQ(count, zu_wcsftime_16(out16, 256, Widen<unsigned short>(format).c_str(), &time));
        ASSERT_EQ(count, zu_wcsftime_32(out32, 256, Widen<unsigned int>(format).c_str(), &time));
        for (std::size_t i = 0; i <= count; ++i) {
            EXPECT_EQ(static_cast<unsigned short>(expected[i]), out16[i]) << i;
            EXPECT_EQ(static_cast<unsigned int>(expected[i]), out32[i]) << i;
        }
    }
}

TEST(WideTimeFormat, RoomAndOddFormats) {
    std::tm time = {};
    time.tm_year = 100;
    time.tm_mday = 1;
    unsigned short buf[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    std::basic_string<unsigned short> const year = Widen<unsigned short>("%Y");
    EXPECT_EQ(0u, zu_wcsftime_16(buf, 0, year.c_str(), &time));
    EXPECT_EQ(7, buf[0]);
    EXPECT_EQ(0u, zu_wcsftime_16(buf, 4, year.c_str(), &time));  // "2000" needs 5 units
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(4u, zu_wcsftime_16(buf, 5, year.c_str(), &time));
    EXPECT_EQ(0u, zu_wcsftime_16(buf, 5, Widen<unsigned short>("%Yx").c_str(), &time));
    // A lone '%' at the end is dropped; '%' before a unit of 128 or more
    // leaves the unit.
    std::basic_string<unsigned short> const odd = {'a', '%', 0x20AC, 'b', '%'};
    std::vector<unsigned short> tight(odd.begin(), odd.end() + 1);
    EXPECT_EQ(3u, zu_wcsftime_16(buf, 8, tight.data(), &time));
    EXPECT_EQ((std::basic_string<unsigned short>{'a', 0x20AC, 'b'}), std::basic_string<unsigned short>(buf));
    unsigned int buf32[4];
    EXPECT_EQ(0u, zu_wcsftime_32(buf32, 4, Widen<unsigned int>("%y").c_str(), nullptr));
}

}  // namespace
