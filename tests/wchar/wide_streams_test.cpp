// Stream functions of both widths through real files, and the per-stream
// table under several threads.
#include "zuuc/wide_chars.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

#include "wchar/wide_test_util.h"

namespace {

using zuuc_test::wide::TempFile;

template <typename U>
class WideStreams : public ::testing::Test {};
TYPED_TEST_SUITE(WideStreams, zuuc_test::wide::UnitTypes);

TYPED_TEST(WideStreams, RawUnitsLinesAndPushback) {
    using U = TypeParam;
    using S = zuuc_test::wide::Wide<U>;
    TempFile file;
    U const text[] = {'a', 0xE9, 0x3042, 10, 'b', 'c', 10, 'd', 0};
    FILE * f = zu_fopen(file.path(), "w+b");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(S::fputws(text, f), 8);
    EXPECT_EQ(S::fputwc(0xD83D, f), 0xD83Du);
    EXPECT_EQ(S::putwc('e', f), unsigned('e'));
    EXPECT_EQ(std::ftell(f), long(10 * sizeof(U)));  // raw units: no mark, no terminator
    std::rewind(f);

    U line[8];
    ASSERT_EQ(S::fgetws(line, 8, f), line);  // up to and with the newline
    EXPECT_EQ(std::vector<U>(line, line + 5), std::vector<U>({'a', 0xE9, 0x3042, 10, 0}));
    ASSERT_EQ(S::fgetws(line, 2, f), line);  // n - 1 units
    EXPECT_EQ(std::vector<U>(line, line + 2), std::vector<U>({'b', 0}));
    EXPECT_EQ(S::fgetws(line, 0, f), line);  // n < 1: untouched
    EXPECT_EQ(S::fgetwc(f), unsigned('c'));
    // One unit of pushback, kept whole by the 32-bit functions; it clears
    // end of file and shows up in a line read.
    unsigned int const value = sizeof(U) == 2 ? 0x12345u : 0x1F600u;
    EXPECT_EQ(S::ungetwc(ZU_WEOF, f), ZU_WEOF);
    EXPECT_EQ(S::ungetwc(value, f), value);
    EXPECT_EQ(S::ungetwc('x', f), ZU_WEOF);
    EXPECT_EQ(S::getwc(f), static_cast<U>(value));
    EXPECT_EQ(S::getwc(f), 10u);
    ASSERT_EQ(S::fgetws(line, 8, f), line);  // end of file after some units
    EXPECT_EQ(std::vector<U>(line, line + 4), std::vector<U>({'d', 0xD83D, 'e', 0}));
    EXPECT_EQ(S::fgetws(line, 8, f), nullptr);
    EXPECT_TRUE(std::feof(f));
    EXPECT_EQ(S::ungetwc('z', f), unsigned('z'));
    EXPECT_FALSE(std::feof(f));
    ASSERT_EQ(S::fgetws(line, 8, f), line);
    EXPECT_EQ(std::vector<U>(line, line + 2), std::vector<U>({'z', 0}));
    EXPECT_EQ(S::fgetwc(f), ZU_WEOF);
    EXPECT_EQ(zu_fclose(f), 0);
}

TEST(WideStreamState, OrientationAndWhatAClosedStreamLeavesBehind) {
    TempFile file;
    FILE * f = zu_fopen(file.path(), "w+b");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(zu_fwide_16(f, 0), 0);
    EXPECT_EQ(zu_fwide_16(f, -5), -1);
    EXPECT_EQ(zu_fwide_16(f, 1), -1);  // set once
    EXPECT_EQ(zu_ungetwc_16('q', f), unsigned('q'));
    std::fclose(f);  // plain fclose: the library's state stays behind
    for (int i = 0; i < 4; ++i) {  // the next FILE (often the same one) starts fresh
        f = zu_fopen(file.path(), "rb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(zu_fwide_16(f, 0), 0);
        EXPECT_EQ(zu_fgetwc_16(f), ZU_WEOF);
        EXPECT_EQ(zu_fwide_16(f, 3), 1);
        EXPECT_EQ(zu_fclose(f), 0);
    }
    EXPECT_EQ(zu_fclose(nullptr), -1);
    EXPECT_EQ(zu_fgetwc_16(nullptr), ZU_WEOF);
    EXPECT_EQ(zu_fputws_32(nullptr, stdout), -1);
}

// Threads open, push back on, read and close streams of their own while two
// more race to push back on one shared stream: every unit is read exactly
// once, exactly one racer wins, and the sanitizers see no race or leak.
TEST(WideStreamState, ThreadsShareTheTableSafely) {
    TempFile file;
    std::fclose(std::fopen(file.path(), "wb"));
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (unsigned int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (unsigned int i = 0; i < 300; ++i) {
                FILE * f = zu_fopen(file.path(), "rb");
                unsigned int const unit = 0x10000u * t + i;
                if (f == nullptr || zu_ungetwc_32(unit, f) != unit || zu_fgetwc_32(f) != unit ||
                    zu_fgetwc_32(f) != ZU_WEOF || zu_fwide_16(f, 1) != 1) {
                    ++mismatches;
                }
                if (f != nullptr) zu_fclose(f);
            }
        });
    }
    FILE * shared = zu_fopen(file.path(), "rb");
    ASSERT_NE(shared, nullptr);
    for (int i = 0; i < 300; ++i) {
        std::atomic<unsigned int> winner{0};
        std::atomic<int> wins{0};
        auto push = [&](unsigned int unit) {
            if (zu_ungetwc_16(unit, shared) == unit) winner = unit, ++wins;
        };
        std::thread a(push, 'a'), b(push, 'b');
        a.join();
        b.join();
        EXPECT_EQ(wins.load(), 1);
        EXPECT_EQ(zu_fgetwc_16(shared), winner.load());
        EXPECT_EQ(zu_fgetwc_16(shared), ZU_WEOF);
    }
    zu_fclose(shared);
    for (auto & thread : threads) thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
