// Surrogate helpers and UTF-16 <-> UTF-32 string conversion.
#include "zuuc/wide_string.h"

#include <gtest/gtest.h>

#include <vector>

#include "wchar/wide_test_util.h"

namespace {

using U16 = std::vector<unsigned short>;
using U32 = std::vector<unsigned int>;

using zuuc_test::wide::Buffer;
using zuuc_test::wide::GuardsIntact;

// Every supplementary code point through its pair; the classification
// takes only the low 16 bits of a unit.
TEST(Surrogates, CharacterConversions) {
    EXPECT_EQ(zu_is_high_surrogate(0xD7FF) + zu_is_high_surrogate(0xDC00), 0);
    EXPECT_EQ(zu_is_low_surrogate(0xDBFF) + zu_is_low_surrogate(0xE000), 0);
    EXPECT_EQ(zu_is_high_surrogate(0x1D800) + zu_is_low_surrogate(0xFFFFDC00u), 2);
    EXPECT_EQ(zu_utf16c_to_utf32c(0xD834, 0xDD1E), 0x1D11Eu);
    EXPECT_EQ(zu_utf16c_to_utf32c(0xD800, 'B'), 0xD800u);   // not a pair: hi
    EXPECT_EQ(zu_utf16c_to_utf32c(0xDC00, 0xDC00), 0xDC00u);
    EXPECT_EQ(zu_utf32c_to_high_utf16c(0xFFFF), 0xFFFF);
    EXPECT_EQ(zu_utf32c_to_low_utf16c(0xFFFF), 0);
    for (unsigned int c = 0x10000; c <= 0x10FFFF; ++c) {
        const unsigned short hi = zu_utf32c_to_high_utf16c(c), lo = zu_utf32c_to_low_utf16c(c);
        ASSERT_TRUE(zu_is_high_surrogate(hi) && zu_is_low_surrogate(lo)) << std::hex << c;
        ASSERT_EQ(zu_utf16c_to_utf32c(hi, lo), c) << std::hex << c;
    }
    // Beyond Unicode: the replacement character, with no second unit.
    EXPECT_EQ(zu_utf32c_to_high_utf16c(0x110000), 0xFFFD);
    EXPECT_EQ(zu_utf32c_to_low_utf16c(0xFFFFFFFF), 0);
}

TEST(Sizing, AgreesWithTheConverters) {
    const U16 s16{'A', 0xD834, 0xDD1E, 0xDC05, 'B', 0, 'C'};
    EXPECT_EQ(zu_size_as_utf32(s16.data()), 4u);  // the lone low surrogate counts
    EXPECT_EQ(zu_sizen_as_utf32(s16.data(), 2), 2u);
    EXPECT_EQ(zu_sizen_as_utf32(s16.data(), 7), 4u);  // stops at the 0 unit
    const U32 s32{'A', 0x10000, 0x10FFFF, 0xD800, 0x110000, 0, 0x10000};
    EXPECT_EQ(zu_size_as_utf16(s32.data()), 7u);
    EXPECT_EQ(zu_sizen_as_utf16(s32.data(), 2), 3u);
    EXPECT_EQ(zu_sizen_as_utf16(s32.data(), 7), 7u);
}

TEST(Utf16ToUtf32, ConvertsAndStoresTheTerminatorUncounted) {
    const U16 src{'A', 0xD834, 0xDD1E, 0xDC05, 'B', 0};
    auto dst = Buffer<unsigned int>(5);
    EXPECT_EQ(zu_utf16s_to_utf32s(dst.data(), src.data(), 5), 4);
    EXPECT_EQ(U32(dst.begin(), dst.begin() + 5), (U32{'A', 0x1D11E, 0xDC05, 'B', 0}));
    EXPECT_TRUE(GuardsIntact(dst, 5));
}

TEST(Utf16ToUtf32, BrokenPairIsAnError) {
    auto dst = Buffer<unsigned int>(8);
    for (const U16& src : {U16{'A', 0xD800, 'B', 0}, U16{'A', 0xDBFF, 0}, U16{0xD800, 0xD800, 0xDC00, 0}}) {
        EXPECT_EQ(zu_utf16s_to_utf32s(dst.data(), src.data(), 8), -1);
    }
    EXPECT_TRUE(GuardsIntact(dst, 8));
}

TEST(Utf16ToUtf32, StopsAtNUnits) {
    const U16 src{'A', 0xD800, 0xDC00, 'B', 0};
    for (size_t n : {0, 1, 2, 3}) {
        auto dst = Buffer<unsigned int>(n);
        EXPECT_EQ(zu_utf16s_to_utf32s(dst.data(), src.data(), n), static_cast<int>(n));
        EXPECT_TRUE(GuardsIntact(dst, n)) << "n=" << n;
    }
}

TEST(Utf32ToUtf16, CountsTheStoredTerminatorAndRoundTrips) {
    const U32 src{'A', 0x1D11E, 0xDC05, 0x110000, 0};
    auto dst = Buffer<unsigned short>(6);
    EXPECT_EQ(zu_utf32s_to_utf16s(dst.data(), src.data(), 6), 6);
    EXPECT_EQ(U16(dst.begin(), dst.begin() + 6), (U16{'A', 0xD834, 0xDD1E, 0xDC05, 0xFFFD, 0}));
    EXPECT_TRUE(GuardsIntact(dst, 6));
    U32 back(5);
    EXPECT_EQ(zu_utf16s_to_utf32s(back.data(), dst.data(), 5), 4);
    EXPECT_EQ(back, (U32{'A', 0x1D11E, 0xDC05, 0xFFFD, 0}));
}

TEST(Utf32ToUtf16, NeverSplitsAPairAtTheEndOfTheBuffer) {
    const U32 src{'A', 0x10000, 'B', 0};
    // n -> units stored: with one free unit left, the pair is not started.
    const std::pair<size_t, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 4}};
    for (auto [n, stored] : cases) {
        auto dst = Buffer<unsigned short>(n);
        EXPECT_EQ(zu_utf32s_to_utf16s(dst.data(), src.data(), n), stored) << "n=" << n;
        EXPECT_TRUE(GuardsIntact(dst, static_cast<size_t>(stored))) << "n=" << n;
    }
}

}  // namespace
