// The mbstowcs / wcstombs family.
#include "zuuc/wide_chars.h"
#include "zuuc/wide_string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "wchar/wide_test_util.h"

namespace {

template <typename U>
using Family = zuuc_test::wide::Wide<U>;

// Code points as a terminated string of units U.
template <typename U>
std::vector<U> Text(std::vector<unsigned int> const & cps) {
    std::vector<U> out;
    for (unsigned int c : cps) {
        out.push_back(static_cast<U>(sizeof(U) == 2 ? zu_utf32c_to_high_utf16c(c) : c));
        if (sizeof(U) == 2 && c >= 0x10000) out.push_back(static_cast<U>(zu_utf32c_to_low_utf16c(c)));
    }
    out.push_back(0);
    return out;
}

// Measures with a null destination, converts again into exactly that room
// and checks that both runs agree; *result is the functions' result.
template <typename U>
std::string ToBytes(std::vector<U> const & text, zu_encoding_id enc, long * result) {
    std::size_t measured = 99, count = 99;
    long const first = Family<U>::to_bytes(nullptr, &measured, text.data(), 0, enc);
    std::string bytes(measured + 1, '\x7F');
    *result = Family<U>::to_bytes(&bytes[0], &count, text.data(), measured, enc);
    EXPECT_EQ(first, *result);
    EXPECT_EQ(count, measured);
    EXPECT_EQ(bytes[measured], '\x7F');  // exactly full: no terminator
    return bytes.substr(0, count);
}

template <typename U>
std::vector<U> ToWide(std::string const & bytes, zu_encoding_id enc, long * result) {
    std::size_t measured = 99, count = 99;
    long const first = Family<U>::to_wide(nullptr, &measured, bytes.c_str(), 12345, enc);
    std::vector<U> text(measured + 1, 0x7F);
    *result = Family<U>::to_wide(text.data(), &count, bytes.c_str(), measured + 1, enc);
    EXPECT_EQ(first, *result);
    EXPECT_EQ(count, measured);
    EXPECT_EQ(text[measured], U(0));  // room left: terminated
    return text;
}

template <typename U>
class WideConversion : public ::testing::Test {};
TYPED_TEST_SUITE(WideConversion, zuuc_test::wide::UnitTypes);

TYPED_TEST(WideConversion, RoundTripsAndCountsProblems) {
    using U = TypeParam;
    struct Case {
        char const * encoding;
        std::vector<unsigned int> text;
        std::string bytes;
    };
    Case const cases[] = {
        {"UTF-8", {'a', 0xE9, 0x4E2D, 0x1F600}, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"},
        {"Shift_JIS", {'A', 0x65E5, 0x672C, 0xFF71}, "A\x93\xFA\x96\x7B\xB1"},
        {"ISO-2022-JP", {'a', 0x3042, 'b'}, "a\x1B$B\x24\x22\x1B(Bb"},
        {"EUC-KR", {0xD55C, '1'}, "\xC7\xD1" "1"},
        {"KOI8-R", {0x0416, 'z'}, "\xF6z"},
    };
    long result = 0;
    for (Case const & c : cases) {
        zu_encoding_id const enc = zu_get_encoding_id(c.encoding);
        std::vector<U> const text = Text<U>(c.text);
        EXPECT_EQ(ToBytes(text, enc, &result), c.bytes) << c.encoding;
        EXPECT_EQ(result, long(c.bytes.size())) << c.encoding;
        EXPECT_EQ(ToWide<U>(c.bytes, enc, &result), text) << c.encoding;
        EXPECT_EQ(result, long(text.size() - 1)) << c.encoding;
    }
    // Problems are substituted and make the result -1; the count is set.
    EXPECT_EQ(ToWide<U>("a\xFF" "b", zu_get_encoding_id("utf-8"), &result), Text<U>({'a', 0xFFFD, 'b'}));
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ToBytes(Text<U>({'a', 0x4E2D}), zu_get_encoding_id("ISO-8859-1"), &result).size(), 2u);
    EXPECT_EQ(result, -1);
    std::size_t count = 7;
    U out[4];
    EXPECT_EQ(Family<U>::to_wide(out, &count, "abc", 4, nullptr), -1);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(Family<U>::to_wide(out, &count, nullptr, 4, zu_get_encoding_id("UTF-8")), 0);
    EXPECT_EQ(out[0], U(0));
}

// A destination that is too small keeps whole characters only.
TYPED_TEST(WideConversion, SmallDestinationsKeepWholeCharacters) {
    using U = TypeParam;
    std::size_t count = 0;
    U wide[3] = {9, 9, 9};
    long const units = sizeof(U) == 2 ? 1 : 2;  // UTF-16 has no room for the pair
    EXPECT_EQ(Family<U>::to_wide(wide, &count, "a\xF0\x9F\x98\x80", 2, zu_get_encoding_id("UTF-8")), units);
    EXPECT_EQ(wide[count], sizeof(U) == 2 ? U(0) : U(9));

    std::vector<U> const japanese = Text<U>({'a', 0x65E5, 0x672C, 'b'});
    char bytes[12];
    EXPECT_EQ(Family<U>::to_bytes(bytes, &count, japanese.data(), 4, zu_get_encoding_id("Shift_JIS")), 3);
    EXPECT_EQ(std::string(bytes, 4), std::string("a\x93\xFA\0", 4));
    // A modal encoding's cut text still ends back in ASCII.
    EXPECT_EQ(Family<U>::to_bytes(bytes, &count, japanese.data(), 7, zu_get_encoding_id("ISO-2022-JP")), 1);
    EXPECT_EQ(Family<U>::to_bytes(bytes, &count, japanese.data(), 10, zu_get_encoding_id("ISO-2022-JP")), 9);
    EXPECT_EQ(std::string(bytes, 10), std::string("a\x1B$BF|\x1B(B\0", 10));
}

TEST(WideConversionNames, LookUpByNameOrAlias) {
    EXPECT_EQ(zu_get_encoding_id(nullptr), nullptr);
    EXPECT_EQ(zu_get_encoding_id("no-such-encoding"), nullptr);
    EXPECT_NE(zu_get_encoding_id("Shift_JIS"), nullptr);
    EXPECT_EQ(zu_get_encoding_id("shift-jis"), zu_get_encoding_id("Shift_JIS"));
    EXPECT_NE(zu_get_encoding_id("UTF-8"), zu_get_encoding_id("Shift_JIS"));
}

}  // namespace
