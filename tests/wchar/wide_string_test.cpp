// String and memory functions, run for both unit widths.
#include "zuuc/wide_string.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "wchar/wide_test_util.h"

namespace {

using zuuc_test::wide::Wide;

template <typename U>
class WideString : public ::testing::Test {
protected:
    // A terminated string from ASCII text.
    static std::vector<U> S(const char* text) {
        return std::vector<U>(text, text + std::char_traits<char>::length(text) + 1);
    }
    static std::vector<U> Buffer(size_t n) { return zuuc_test::wide::Buffer<U>(n); }
    static bool GuardsIntact(const std::vector<U>& buf, size_t n) { return zuuc_test::wide::GuardsIntact(buf, n); }
};

struct UnitNames {
    template <typename U>
    static std::string GetName(int) { return sizeof(U) == 2 ? "Units16" : "Units32"; }
};
TYPED_TEST_SUITE(WideString, zuuc_test::wide::UnitTypes, UnitNames);

TYPED_TEST(WideString, CopyFamily) {
    using W = Wide<TypeParam>;
    using V = std::vector<TypeParam>;
    auto buf = this->Buffer(6);
    W::wcscat(W::wcscpy(buf.data(), this->S("abc").data()), this->S("de").data());
    EXPECT_EQ(W::wcscmp(buf.data(), this->S("abcde").data()), 0);
    EXPECT_TRUE(this->GuardsIntact(buf, 6));

    // wcsncpy pads with 0 units, and leaves dst unterminated when src is long.
    W::wcsncpy(buf.data(), this->S("ab").data(), 6);
    EXPECT_EQ(V(buf.begin(), buf.begin() + 6), (V{'a', 'b', 0, 0, 0, 0}));
    W::wcsncpy(buf.data(), this->S("uvwxyz!").data(), 6);
    EXPECT_EQ(V(buf.begin(), buf.begin() + 6), (V{'u', 'v', 'w', 'x', 'y', 'z'}));
    EXPECT_TRUE(this->GuardsIntact(buf, 6));

    // wcsncat appends at most n units (src need not be terminated) and a 0.
    const TypeParam unterminated[2] = {'y', 'z'};
    W::wcsncat(W::wcscpy(buf.data(), this->S("x").data()), unterminated, 2);
    EXPECT_EQ(W::wcscmp(buf.data(), this->S("xyz").data()), 0);
    W::wcsncat(buf.data(), this->S("abc").data(), 1);
    EXPECT_EQ(W::wcscmp(buf.data(), this->S("xyza").data()), 0);
    EXPECT_TRUE(this->GuardsIntact(buf, 6));
}

// Comparisons, searches and lengths against the string class over random
// strings of units below and above the sign bit: units compare unsigned, and
// the comparisons answer -1, 0 or 1.
TYPED_TEST(WideString, AgreeWithTheStringClass) {
    using W = Wide<TypeParam>;
    using Str = std::basic_string<TypeParam>;
    TypeParam const units[] = {'a', 'b', 0x8000, static_cast<TypeParam>(~0u)};
    std::mt19937 rng(3);
    auto random_string = [&](std::size_t max) {
        Str s(rng() % (max + 1), 'a');
        for (TypeParam & u : s) u = units[rng() % 4];
        return s;
    };
    auto sign = [](long v) { return static_cast<int>((v > 0) - (v < 0)); };
    auto at = [](Str const & s, std::size_t pos) { return pos == Str::npos ? nullptr : s.c_str() + pos; };
    for (int round = 0; round < 2000; ++round) {
        Str const a = random_string(6), b = random_string(3);
        SCOPED_TRACE(round);
        std::size_t const n = rng() % 8;
        TypeParam const unit = b.empty() ? 0 : b[0];
        EXPECT_EQ(W::wcscmp(a.c_str(), b.c_str()), sign(a.compare(b)));
        EXPECT_EQ(W::wcscoll(a.c_str(), b.c_str()), sign(a.compare(b)));
        EXPECT_EQ(W::wcsncmp(a.c_str(), b.c_str(), n), sign(a.substr(0, n).compare(b.substr(0, n))));
        std::size_t const m = std::min(n, std::min(a.size(), b.size()));
        EXPECT_EQ(W::wmemcmp(a.c_str(), b.c_str(), m), sign(a.substr(0, m).compare(b.substr(0, m))));
        EXPECT_EQ(W::wcslen(a.c_str()), a.size());
        EXPECT_EQ(W::wcschr(a.c_str(), unit), unit == 0 ? a.c_str() + a.size() : at(a, a.find(unit)));
        EXPECT_EQ(W::wcsrchr(a.c_str(), unit), unit == 0 ? a.c_str() + a.size() : at(a, a.rfind(unit)));
        EXPECT_EQ(W::wmemchr(a.c_str(), unit, a.size()), at(a, a.find(unit)));
        EXPECT_EQ(W::wcsspn(a.c_str(), b.c_str()), std::min(a.find_first_not_of(b), a.size()));
        EXPECT_EQ(W::wcscspn(a.c_str(), b.c_str()), std::min(a.find_first_of(b), a.size()));
        EXPECT_EQ(W::wcspbrk(a.c_str(), b.c_str()), at(a, a.find_first_of(b)));
        // An empty haystack never matches, not even an empty needle.
        EXPECT_EQ(W::wcsstr(a.c_str(), b.c_str()), a.empty() ? nullptr : at(a, a.find(b)));
    }
    // Units beyond n are never read.
    TypeParam const p[2] = {'p', 'q'}, q[2] = {'p', 'q'};
    EXPECT_EQ(W::wcsncmp(p, q, 2), 0);
    TypeParam const s[] = {'a', static_cast<TypeParam>(~0u), 0x8000, 0, 'b', 0};
    TypeParam * copy = W::wcsdup(s);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(W::wmemcmp(copy, s, 4), 0);
    std::free(copy);
}

TYPED_TEST(WideString, XfrmNeverWritesOrReadsDstPastN) {
    using W = Wide<TypeParam>;
    const auto src = this->S("abcdef");
    for (size_t n : {1, 3, 6, 7, 9}) {
        // The guards are non-zero: taking the length of dst would run past it.
        auto buf = this->Buffer(n);
        EXPECT_EQ(W::wcsxfrm(buf.data(), src.data(), n), 6u) << "n=" << n;
        EXPECT_TRUE(this->GuardsIntact(buf, n)) << "n=" << n;
        EXPECT_EQ(W::wcsncmp(buf.data(), src.data(), n), 0) << "n=" << n;
    }
    EXPECT_EQ(W::wcsxfrm(nullptr, src.data(), 0), 6u);
}

TYPED_TEST(WideString, MemoryFunctions) {
    using W = Wide<TypeParam>;
    const TypeParam s[] = {'a', 0, 'b', 0x8000, 'b'};
    EXPECT_EQ(W::wmemchr(s, 'b', 5), s + 2);  // 0 units do not stop the search
    EXPECT_EQ(W::wmemchr(s, 0x8000, 3), nullptr);

    auto buf = this->Buffer(5);
    EXPECT_EQ(W::wmemcmp(W::wmemcpy(buf.data(), s, 5), s, 5), 0);
    W::wmemset(buf.data(), 0x8001, 4);
    EXPECT_EQ(buf[3], 0x8001u);
    EXPECT_EQ(buf[4], 'b');
    EXPECT_TRUE(this->GuardsIntact(buf, 5));

    std::vector<TypeParam> v{1, 2, 3, 4, 5, 6};
    W::wmemmove(v.data() + 2, v.data(), 4);
    EXPECT_EQ(v, (std::vector<TypeParam>{1, 2, 1, 2, 3, 4}));
    W::wmemmove(v.data(), v.data() + 1, 5);
    EXPECT_EQ(v, (std::vector<TypeParam>{2, 1, 2, 3, 4, 4}));

    // Empty ranges accept null pointers.
    EXPECT_EQ(W::wmemcpy(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(W::wmemmove(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(W::wmemcmp(nullptr, nullptr, 0), 0);
}

}  // namespace
