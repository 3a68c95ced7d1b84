// String and memory functions, run for both unit widths.
#include "zuuc/wide_string.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "wchar/wide_test_util.h"

namespace {

using wide_test::Wide;

template <typename U>
class WideString : public ::testing::Test {
protected:
    // A terminated string from ASCII text.
    static std::vector<U> S(const char* text) {
        return std::vector<U>(text, text + std::char_traits<char>::length(text) + 1);
    }
    static std::vector<U> Buffer(size_t n) { return wide_test::Buffer<U>(n); }
    static bool GuardsIntact(const std::vector<U>& buf, size_t n) { return wide_test::GuardsIntact(buf, n); }
};

struct UnitNames {
    template <typename U>
    static std::string GetName(int) { return sizeof(U) == 2 ? "Units16" : "Units32"; }
};
TYPED_TEST_SUITE(WideString, wide_test::UnitTypes, UnitNames);

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

TYPED_TEST(WideString, ComparisonsAreUnsignedAndReturnMinusOneZeroOne) {
    using W = Wide<TypeParam>;
    const TypeParam top = static_cast<TypeParam>(~0u);  // 0xFFFF or 0xFFFFFFFF
    const TypeParam high[] = {'a', 0x8000, 0}, highest[] = {'a', top, 0}, low[] = {'a', 1, 0};
    for (auto cmp : {W::wcscmp, W::wcscoll}) {
        EXPECT_EQ(cmp(high, low), 1);
        EXPECT_EQ(cmp(low, highest), -1);
        EXPECT_EQ(cmp(highest, high), 1);
        EXPECT_EQ(cmp(high, high), 0);
        EXPECT_EQ(cmp(this->S("z").data(), this->S("a").data()), 1);
        EXPECT_EQ(cmp(this->S("ab").data(), this->S("abc").data()), -1);
    }
    EXPECT_EQ(W::wmemcmp(highest, low, 2), 1);
    EXPECT_EQ(W::wmemcmp(low, high, 2), -1);
    EXPECT_EQ(W::wmemcmp(highest, low, 1), 0);
    EXPECT_EQ(W::wcsncmp(high, low, 2), 1);
    EXPECT_EQ(W::wcsncmp(high, low, 1), 0);
    EXPECT_EQ(W::wcsncmp(this->S("ab").data(), this->S("abc").data(), 10), -1);
    EXPECT_EQ(W::wcsncmp(this->S("ab").data(), this->S("ab").data(), 10), 0);
    // Units beyond n are never read.
    const TypeParam p[2] = {'p', 'q'}, q[2] = {'p', 'q'};
    EXPECT_EQ(W::wcsncmp(p, q, 2), 0);
}

TYPED_TEST(WideString, Searches) {
    using W = Wide<TypeParam>;
    const auto s = this->S("abcabc");
    EXPECT_EQ(W::wcschr(s.data(), 'b'), s.data() + 1);
    EXPECT_EQ(W::wcsrchr(s.data(), 'b'), s.data() + 4);
    EXPECT_EQ(W::wcschr(s.data(), 'z'), nullptr);
    EXPECT_EQ(W::wcsrchr(s.data(), 'z'), nullptr);
    // The terminator can be found.
    EXPECT_EQ(W::wcschr(s.data(), 0), s.data() + 6);
    EXPECT_EQ(W::wcsrchr(s.data(), 0), s.data() + 6);

    EXPECT_EQ(W::wcsspn(s.data(), this->S("ba").data()), 2u);
    EXPECT_EQ(W::wcsspn(s.data(), this->S("abc").data()), 6u);
    EXPECT_EQ(W::wcscspn(s.data(), this->S("c").data()), 2u);
    EXPECT_EQ(W::wcscspn(s.data(), this->S("").data()), 6u);
    EXPECT_EQ(W::wcspbrk(s.data(), this->S("zc").data()), s.data() + 2);
    EXPECT_EQ(W::wcspbrk(s.data(), this->S("z").data()), nullptr);

    EXPECT_EQ(W::wcsstr(s.data(), this->S("bca").data()), s.data() + 1);
    EXPECT_EQ(W::wcsstr(s.data(), this->S("cab").data()), s.data() + 2);
    EXPECT_EQ(W::wcsstr(s.data(), this->S("abcabcx").data()), nullptr);
    // Empty strings: an empty haystack never matches.
    const auto empty = this->S("");
    EXPECT_EQ(W::wcsstr(empty.data(), empty.data()), nullptr);
    EXPECT_EQ(W::wcsstr(empty.data(), s.data()), nullptr);
    EXPECT_EQ(W::wcsstr(s.data(), empty.data()), s.data());
}

TYPED_TEST(WideString, LenAndDup) {
    using W = Wide<TypeParam>;
    const TypeParam s[] = {'a', static_cast<TypeParam>(~0u), 0x8000, 0, 'b', 0};
    EXPECT_EQ(W::wcslen(s), 3u);
    EXPECT_EQ(W::wcslen(this->S("").data()), 0u);
    TypeParam* copy = W::wcsdup(s);
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
