// Numeric conversions against the C library, and the per-thread tokenizer.
#include "zuuc/wide_chars.h"
#include "zuuc/wide_string.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

enum Kind { kDouble, kLong, kUnsigned };
struct NumberCase {
    Kind kind;
    int base;
    std::string text;
};
struct Outcome {
    long double value;
    long end;
    int error;
    bool operator==(Outcome const & o) const { return value == o.value && end == o.end && error == o.error; }
};

long double Convert(Kind k, int base, unsigned short const * s, unsigned short ** e) {
    return k == kLong ? zu_wcstol_16(s, e, base) : k == kUnsigned ? zu_wcstoul_16(s, e, base) : zu_wcstod_16(s, e);
}
long double Convert(Kind k, int base, unsigned int const * s, unsigned int ** e) {
    return k == kLong ? zu_wcstol_32(s, e, base) : k == kUnsigned ? zu_wcstoul_32(s, e, base) : zu_wcstod_32(s, e);
}
long double Convert(Kind k, int base, wchar_t const * s, wchar_t ** e) {  // the C library
    return k == kLong ? std::wcstol(s, e, base) : k == kUnsigned ? std::wcstoul(s, e, base) : std::wcstod(s, e);
}

template <typename C>
Outcome Measure(NumberCase const & k) {
    std::vector<C> units(k.text.begin(), k.text.end());
    units.push_back(0);
    C * end = nullptr;
    errno = 0;
    long double const value = Convert(k.kind, k.base, units.data(), &end);
    return {value, static_cast<long>(end - units.data()), errno};
}

TEST(WideNumbers, AgreeWithTheCLibrary) {
    std::string const zeros(123, '0');
    NumberCase const cases[] = {
        {kLong, 10, ""}, {kLong, 10, "  42xyz"}, {kLong, 10, "\t-17 "}, {kLong, 10, "+"}, {kLong, 10, " -"},
        {kLong, 0, "0x1F"}, {kLong, 0, "0x"}, {kLong, 0, "0xg"}, {kLong, 0, "077"}, {kLong, 0, "-0X7fZ"},
        {kLong, 16, "0x1f"}, {kLong, 16, "ff+1"}, {kLong, 8, "789"}, {kLong, 36, "Zz9"}, {kLong, 2, "1012"},
        {kLong, 10, "9223372036854775807"}, {kLong, 10, "9223372036854775808"}, {kLong, 10, "-9223372036854775809"},
        {kLong, 10, "12.5"}, {kLong, 10, "abc"}, {kLong, 10, "--5"}, {kLong, 10, "+-5"},
        {kUnsigned, 10, "18446744073709551615"}, {kUnsigned, 10, "18446744073709551616"}, {kUnsigned, 10, "-1"},
        {kUnsigned, 0, " 0x10 "}, {kUnsigned, 16, "DEADbeefQ"},
        {kDouble, 0, ""}, {kDouble, 0, "  3.25abc"}, {kDouble, 0, "-.5e-3x"}, {kDouble, 0, "1e"}, {kDouble, 0, "1e+"},
        {kDouble, 0, "1E-2"}, {kDouble, 0, "."}, {kDouble, 0, "+.e1"}, {kDouble, 0, "1e400"}, {kDouble, 0, "-1e400"},
        {kDouble, 0, "1e-400"}, {kDouble, 0, "12.34.56"}, {kDouble, 0, "007"}, {kDouble, 0, "1.5e+3+2"},
        // Long runs of number-like text after a number that ends early enough.
        {kDouble, 0, "1" + zeros + "ee" + std::string(20, 'e')}, {kLong, 10, "12" + std::string(200, 'q')},
        {kLong, 10, std::string(120, '0') + "42"},
    };
    for (NumberCase const & k : cases) {
        Outcome const want = Measure<wchar_t>(k);
        EXPECT_TRUE(Measure<unsigned short>(k) == want) << '"' << k.text << "\" base " << k.base;
        EXPECT_TRUE(Measure<unsigned int>(k) == want) << '"' << k.text << "\" base " << k.base;
    }
}

// A number that may run past the 127 units looked at is refused, not cut.
TEST(WideNumbers, NumbersTooLongToReadAreRefused) {
    std::string const zeros(123, '0');
    for (NumberCase const & k : {NumberCase{kDouble, 0, "1" + zeros + "000000"}, {kDouble, 0, "  1" + zeros + "000e+5"},
                                 {kLong, 10, std::string(130, '0') + "42"}, {kUnsigned, 16, std::string(300, 'f')}}) {
        EXPECT_TRUE(Measure<unsigned short>(k) == (Outcome{0, 0, ERANGE})) << k.text;
        EXPECT_TRUE(Measure<unsigned int>(k) == (Outcome{0, 0, ERANGE})) << k.text;
    }
    unsigned short const wide_spaces[] = {0x3000, 0x2003, '7', 0};
    EXPECT_EQ(zu_wcstol_16(wide_spaces, nullptr, 10), 7);
}

std::vector<std::string> Tokens(std::string const & text, char const * delimiters) {
    std::vector<unsigned short> units(text.begin(), text.end()), delims(delimiters, delimiters + std::strlen(delimiters));
    units.push_back(0);
    delims.push_back(0);
    std::vector<std::string> out;
    for (unsigned short * t = zu_wcstok_16(units.data(), delims.data()); t != nullptr;
         t = zu_wcstok_16(nullptr, delims.data())) {
        out.emplace_back(t, t + zu_wcslen_16(t));
    }
    EXPECT_EQ(zu_wcstok_16(nullptr, delims.data()), nullptr);  // stays at the end
    return out;
}

// Each thread keeps its own position: threads tokenizing at the same time
// never see each other's tokens (the sanitizers watch the per-thread state).
TEST(WideTokenizer, SplitsPerThread) {
    EXPECT_EQ(Tokens(",,ab,c;;d,,", ",;"), (std::vector<std::string>{"ab", "c", "d"}));
    EXPECT_EQ(Tokens("abc", ""), std::vector<std::string>{"abc"});
    EXPECT_EQ(Tokens(",,,", ","), std::vector<std::string>{});
    std::vector<std::thread> threads;
    std::vector<int> failures(6, 0);
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t, &failures] {
            std::string const w(1, static_cast<char>('a' + t));
            for (int round = 0; round < 200; ++round) {
                if (Tokens(w + " " + w + w + "  " + w, " ") != std::vector<std::string>{w, w + w, w}) ++failures[t];
            }
        });
    }
    for (auto & thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(6, 0));
}

}  // namespace
