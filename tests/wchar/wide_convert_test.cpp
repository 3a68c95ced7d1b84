// Conversion between byte encodings and UTF-16 / UTF-32 with the mbstowcs
// and wcstombs family, and text through real files with the stream functions.
#include "zuuc/wide_chars.h"
#include "zuuc/wide_string.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

template <typename U>
struct Family;
template <>
struct Family<unsigned short> {
    static constexpr auto to_wide = &zu_mbstowcs_s_16;
    static constexpr auto to_bytes = &zu_wcstombs_s_16;
    static constexpr auto fputws = &zu_fputws_16;
    static constexpr auto fgetws = &zu_fgetws_16;
};
template <>
struct Family<unsigned int> {
    static constexpr auto to_wide = &zu_mbstowcs_s_32;
    static constexpr auto to_bytes = &zu_wcstombs_s_32;
    static constexpr auto fputws = &zu_fputws_32;
    static constexpr auto fgetws = &zu_fgetws_32;
};

// Code points as a terminated string of unit type U.
template <typename U>
std::vector<U> Text(std::vector<unsigned int> const & cps) {
    std::vector<U> out;
    for (unsigned int c : cps) {
        if (sizeof(U) == 2 && c >= 0x10000) {
            out.push_back(static_cast<U>(zu_utf32c_to_high_utf16c(c)));
            out.push_back(static_cast<U>(zu_utf32c_to_low_utf16c(c)));
        } else {
            out.push_back(static_cast<U>(c));
        }
    }
    out.push_back(0);
    return out;
}

// Bytes measured with a null destination, then converted into exactly that
// room; returns them (and checks that both runs agree).
template <typename U>
std::string ToBytes(std::vector<U> const & text, zu_encoding_id enc, long * result) {
    std::size_t measured = 99;
    long const first = Family<U>::to_bytes(nullptr, &measured, text.data(), 0, enc);
    std::string bytes(measured + 1, '\x7F');
    std::size_t count = 99;
    *result = Family<U>::to_bytes(&bytes[0], &count, text.data(), measured, enc);
    EXPECT_EQ(first, *result);
    EXPECT_EQ(count, measured);
    EXPECT_EQ(bytes[measured], '\x7F');  // exactly full: no terminator
    bytes.resize(count);
    return bytes;
}

template <typename U>
std::vector<U> ToWide(std::string const & bytes, zu_encoding_id enc, long * result) {
    std::size_t measured = 99;
    long const first = Family<U>::to_wide(nullptr, &measured, bytes.c_str(), 12345, enc);
    std::vector<U> text(measured + 1, 0x7F);
    std::size_t count = 99;
    *result = Family<U>::to_wide(text.data(), &count, bytes.c_str(), measured + 1, enc);
    EXPECT_EQ(first, *result);
    EXPECT_EQ(count, measured);
    EXPECT_EQ(text[measured], U(0));  // room left: terminated
    return text;
}

template <typename U>
class WideConversion : public ::testing::Test {};
using UnitTypes = ::testing::Types<unsigned short, unsigned int>;
TYPED_TEST_SUITE(WideConversion, UnitTypes);

struct EncodedText {
    char const * encoding;
    std::vector<unsigned int> text;
    std::string bytes;
};

std::vector<EncodedText> const kTexts = {
    {"UTF-8", {'a', 0xE9, 0x4E2D, 0x1F600}, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"},
    {"Shift_JIS", {'A', 0x65E5, 0x672C, 0xFF71}, "A\x93\xFA\x96\x7B\xB1"},
    {"ISO-2022-JP", {'a', 0x3042, 'b'}, "a\x1B$B\x24\x22\x1B(Bb"},
    {"EUC-KR", {0xD55C, '1'}, "\xC7\xD1" "1"},
    {"KOI8-R", {0x0416, 'z'}, "\xF6z"},
};

TYPED_TEST(WideConversion, RoundTripsMeasuredFirst) {
    using U = TypeParam;
    for (EncodedText const & t : kTexts) {
        zu_encoding_id const enc = zu_get_encoding_id(t.encoding);
        ASSERT_NE(enc, nullptr) << t.encoding;
        long result = 0;
        std::vector<U> const text = Text<U>(t.text);
        EXPECT_EQ(ToBytes(text, enc, &result), t.bytes) << t.encoding;
        EXPECT_EQ(result, long(t.bytes.size())) << t.encoding;
        std::vector<U> const back = ToWide<U>(t.bytes, enc, &result);
        EXPECT_EQ(back, text) << t.encoding;
        EXPECT_EQ(result, long(text.size() - 1)) << t.encoding;
    }
}

TYPED_TEST(WideConversion, ProblemsAreCountedAndSubstituted) {
    using U = TypeParam;
    long result = 0;
    std::vector<U> const wide = ToWide<U>("a\xFF" "b", zu_get_encoding_id("utf-8"), &result);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(wide, Text<U>({'a', 0xFFFD, 'b'}));
    std::string const bytes = ToBytes(Text<U>({'a', 0x4E2D}), zu_get_encoding_id("ISO-8859-1"), &result);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(bytes.size(), 2u);

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
    // 'a' then a supplementary character: UTF-16 has no room for its pair.
    EXPECT_EQ(Family<U>::to_wide(wide, &count, "a\xF0\x9F\x98\x80", 2, zu_get_encoding_id("UTF-8")),
              sizeof(U) == 2 ? 1 : 2);
    EXPECT_EQ(count, sizeof(U) == 2 ? 1u : 2u);
    EXPECT_EQ(wide[count], sizeof(U) == 2 ? U(0) : U(9));

    std::vector<U> const japanese = Text<U>({'a', 0x65E5, 0x672C, 'b'});
    char bytes[8];
    std::fill(bytes, bytes + 8, '#');
    EXPECT_EQ(Family<U>::to_bytes(bytes, &count, japanese.data(), 4, zu_get_encoding_id("Shift_JIS")), 3);
    EXPECT_EQ(std::string(bytes, 4), std::string("a\x93\xFA\0", 4));
    // A modal encoding's cut text still ends back in ASCII.
    std::fill(bytes, bytes + 8, '#');
    EXPECT_EQ(Family<U>::to_bytes(bytes, &count, japanese.data(), 7, zu_get_encoding_id("ISO-2022-JP")), 1);
    EXPECT_EQ(std::string(bytes, 2), std::string("a\0", 2));
    char modal[16];
    EXPECT_EQ(Family<U>::to_bytes(modal, &count, japanese.data(), 10, zu_get_encoding_id("ISO-2022-JP")), 9);
    EXPECT_EQ(std::string(modal, 10), std::string("a\x1B$BF|\x1B(B\0", 10));
}

TEST(WideConversion, EncodingNames) {
    EXPECT_EQ(zu_get_encoding_id(nullptr), nullptr);
    EXPECT_EQ(zu_get_encoding_id("no-such-encoding"), nullptr);
    EXPECT_NE(zu_get_encoding_id("Shift_JIS"), nullptr);
    EXPECT_EQ(zu_get_encoding_id("shift-jis"), zu_get_encoding_id("Shift_JIS"));
    EXPECT_NE(zu_get_encoding_id("UTF-8"), zu_get_encoding_id("Shift_JIS"));
}

// Text in UTF-8 and in a legacy encoding goes to UTF-16 / UTF-32, through a
// file in a temporary directory line by line, and back to the same bytes.
TYPED_TEST(WideConversion, TextThroughRealFiles) {
    using U = TypeParam;
    char dir_pattern[] = "/tmp/zuuc_convert_XXXXXX";
    ASSERT_NE(mkdtemp(dir_pattern), nullptr);
    std::string const path = std::string(dir_pattern) + "/lines";
    struct Case {
        char const * encoding;
        std::vector<std::string> lines;
    };
    Case const cases[] = {
        {"UTF-8", {"caf\xC3\xA9\n", "\xF0\x9F\x98\x80 \xE4\xB8\xAD\n", "end"}},
        {"Shift_JIS", {"\x93\xFA\x96\x7B\n", "\xB1\xB2 abc\n"}},
    };
    for (Case const & c : cases) {
        zu_encoding_id const enc = zu_get_encoding_id(c.encoding);
        FILE * f = zu_fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        long result = 0;
        for (std::string const & line : c.lines) {
            std::vector<U> const wide = ToWide<U>(line, enc, &result);
            EXPECT_EQ(Family<U>::fputws(wide.data(), f), result);
        }
        ASSERT_EQ(zu_fclose(f), 0);
        f = zu_fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        U buffer[64];
        for (std::string const & line : c.lines) {
            ASSERT_EQ(Family<U>::fgetws(buffer, 64, f), buffer);
            std::size_t const units = sizeof(U) == 2 ? zu_wcslen_16(reinterpret_cast<unsigned short *>(buffer))
                                                     : zu_wcslen_32(reinterpret_cast<unsigned int *>(buffer));
            std::vector<U> const wide(buffer, buffer + units + 1);
            EXPECT_EQ(ToBytes(wide, enc, &result), line) << c.encoding;
        }
        EXPECT_EQ(Family<U>::fgetws(buffer, 64, f), nullptr);
        zu_fclose(f);
    }
    std::remove(path.c_str());
    rmdir(dir_pattern);
}

}  // namespace
