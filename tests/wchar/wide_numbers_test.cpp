// Numeric conversions against the C library, and the per-thread tokenizer.
#include "zuuc/wide_chars.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

namespace {

template <typename U>
std::vector<U> Units(std::string const & text) {
    std::vector<U> v(text.begin(), text.end());
    v.push_back(0);
    return v;
}

// Runs f(text) in both widths and in the C library and compares the value,
// the end position and errno.
struct Outcome {
    long double value;
    long end;
    int error;
    bool operator==(Outcome const & o) const { return value == o.value && end == o.end && error == o.error; }
};
std::ostream & operator<<(std::ostream & os, Outcome const & o) {
    return os << "{" << static_cast<double>(o.value) << ", end " << o.end << ", errno " << o.error << "}";
}

template <typename U, typename F>
Outcome Run(std::string const & text, F f) {
    std::vector<U> units = Units<U>(text);
    U * end = nullptr;
    errno = 0;
    long double const value = f(units.data(), &end);
    return {value, static_cast<long>(end - units.data()), errno};
}

enum Kind { kDouble, kLong, kUnsigned };
struct NumberCase {
    Kind kind;
    int base;
    std::string text;
};

NumberCase const kNumbers[] = {
    {kLong, 10, ""}, {kLong, 10, "  42xyz"}, {kLong, 10, "\t-17 "}, {kLong, 10, "+"}, {kLong, 10, " -"},
    {kLong, 0, "0x1F"}, {kLong, 0, "0x"}, {kLong, 0, "0xg"}, {kLong, 0, "077"}, {kLong, 0, "-0X7fZ"},
    {kLong, 16, "0x1f"}, {kLong, 16, "ff+1"}, {kLong, 8, "789"}, {kLong, 36, "Zz9"}, {kLong, 2, "1012"},
    {kLong, 10, "9223372036854775807"}, {kLong, 10, "9223372036854775808"},
    {kLong, 10, "-9223372036854775809"}, {kLong, 10, "12.5"}, {kLong, 10, "abc"},
    {kLong, 10, "--5"}, {kLong, 10, "+-5"},
    {kUnsigned, 10, "18446744073709551615"}, {kUnsigned, 10, "18446744073709551616"},
    {kUnsigned, 10, "-1"}, {kUnsigned, 0, " 0x10 "}, {kUnsigned, 16, "DEADbeefQ"},
    {kDouble, 0, ""}, {kDouble, 0, "  3.25abc"}, {kDouble, 0, "-.5e-3x"}, {kDouble, 0, "1e"},
    {kDouble, 0, "1e+"}, {kDouble, 0, "1E-2"}, {kDouble, 0, "."}, {kDouble, 0, "+.e1"},
    {kDouble, 0, "1e400"}, {kDouble, 0, "-1e400"}, {kDouble, 0, "1e-400"}, {kDouble, 0, "12.34.56"},
    {kDouble, 0, "007"}, {kDouble, 0, "1.5e+3+2"},
};

template <typename U>
Outcome Ours(NumberCase const & k) {
    switch (k.kind) {
    case kLong:
        return Run<U>(k.text, [&](U const * s, U ** e) -> long double {
            if constexpr (sizeof(U) == 2) return zu_wcstol_16(s, e, k.base);
            else return zu_wcstol_32(s, e, k.base);
        });
    case kUnsigned:
        return Run<U>(k.text, [&](U const * s, U ** e) -> long double {
            if constexpr (sizeof(U) == 2) return zu_wcstoul_16(s, e, k.base);
            else return zu_wcstoul_32(s, e, k.base);
        });
    default:
        return Run<U>(k.text, [&](U const * s, U ** e) -> long double {
            if constexpr (sizeof(U) == 2) return zu_wcstod_16(s, e);
            else return zu_wcstod_32(s, e);
        });
    }
}

Outcome Reference(NumberCase const & k) {
    std::wstring const text(k.text.begin(), k.text.end());
    wchar_t * end = nullptr;
    errno = 0;
    long double value = 0;
    switch (k.kind) {
    case kLong: value = std::wcstol(text.c_str(), &end, k.base); break;
    case kUnsigned: value = std::wcstoul(text.c_str(), &end, k.base); break;
    default: value = std::wcstod(text.c_str(), &end); break;
    }
    int const error = errno;
    return {value, static_cast<long>(end - text.c_str()), error};
}

TEST(WideNumbers, AgreeWithTheCLibrary) {
    for (NumberCase const & k : kNumbers) {
        Outcome const want = Reference(k);
        EXPECT_EQ(Ours<unsigned short>(k), want) << '"' << k.text << "\" base " << k.base;
        EXPECT_EQ(Ours<unsigned int>(k), want) << '"' << k.text << "\" base " << k.base;
    }
}

// Only the first 127 units of a number's text are looked at: a number that
// ends well inside them converts as the C library converts it, however much
// number-like text follows; one that may run past them is refused.
TEST(WideNumbers, LongNumberTextsAreReadWholeOrRefused) {
    std::string const zeros(123, '0');
    std::vector<NumberCase> const exact = {
        {kDouble, 0, "1" + zeros + "ee" + std::string(20, 'e')},
        {kLong, 10, "12" + std::string(200, 'q')},
        {kLong, 10, std::string(120, '0') + "42"},
    };
    for (NumberCase const & k : exact) {
        EXPECT_EQ(Ours<unsigned short>(k), Reference(k)) << k.text;
        EXPECT_EQ(Ours<unsigned int>(k), Reference(k)) << k.text;
    }
    std::vector<NumberCase> const refused = {
        {kDouble, 0, "1" + zeros + "000000"},
        {kDouble, 0, "  1" + zeros + "000e+5"},
        {kLong, 10, std::string(130, '0') + "42"},
        {kUnsigned, 16, std::string(300, 'f')},
    };
    for (NumberCase const & k : refused) {
        Outcome const got = Ours<unsigned short>(k);
        EXPECT_EQ(got, (Outcome{0, 0, ERANGE})) << k.text;
        EXPECT_EQ(Ours<unsigned int>(k), got) << k.text;
    }
}

TEST(WideNumbers, NullEndAndWideSpaces) {
    std::vector<unsigned short> text = {0x3000, 0x2003, '7', 0};
    EXPECT_EQ(zu_wcstol_16(text.data(), nullptr, 10), 7);
    unsigned short * end = nullptr;
    EXPECT_EQ(zu_wcstol_16(nullptr, &end, 10), 0);
    EXPECT_EQ(end, nullptr);
}

std::vector<std::string> Tokens(std::vector<unsigned short> & text, char const * delimiters) {
    std::vector<unsigned short> delims = Units<unsigned short>(delimiters);
    std::vector<std::string> out;
    for (unsigned short * t = zu_wcstok_16(text.data(), delims.data()); t != nullptr;
         t = zu_wcstok_16(nullptr, delims.data())) {
        out.emplace_back();
        for (; *t != 0; ++t) out.back() += static_cast<char>(*t);
    }
    return out;
}

TEST(WideTokenizer, SplitsAndStopsCleanly) {
    std::vector<unsigned short> text = Units<unsigned short>(",,ab,c;;d,,");
    EXPECT_EQ(Tokens(text, ",;"), (std::vector<std::string>{"ab", "c", "d"}));
    unsigned short const comma[] = {',', 0};
    EXPECT_EQ(zu_wcstok_16(nullptr, comma), nullptr);  // nothing left, stays so
    EXPECT_EQ(zu_wcstok_16(nullptr, comma), nullptr);
    std::vector<unsigned short> whole = Units<unsigned short>("abc");
    EXPECT_EQ(Tokens(whole, ""), (std::vector<std::string>{"abc"}));
    std::vector<unsigned short> only = Units<unsigned short>(",,,");
    EXPECT_EQ(Tokens(only, ","), std::vector<std::string>{});
}

// Each thread has its own position: threads tokenizing different texts at
// the same time never see each other's tokens (and their positions go away
// with them: the sanitizers watch for leaks).
TEST(WideTokenizer, EachThreadKeepsItsOwnPosition) {
    std::vector<std::thread> threads;
    std::vector<int> failures(6, 0);
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t, &failures] {
            std::string const word(1, static_cast<char>('a' + t));
            for (int round = 0; round < 200; ++round) {
                std::vector<unsigned short> text = Units<unsigned short>(word + " " + word + word + "  " + word);
                if (Tokens(text, " ") != std::vector<std::string>{word, word + word, word}) ++failures[t];
            }
        });
    }
    for (auto & thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(6, 0));
}

}  // namespace
