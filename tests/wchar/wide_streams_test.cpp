// Stream functions of both widths through real files, and the per-stream
// table under several threads.
#include "zuuc/wide_chars.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// A file in a fresh temporary directory, removed with the directory.
class TempFile {
public:
    TempFile() {
        char pattern[] = "/tmp/zuuc_streams_XXXXXX";
        char const * dir = mkdtemp(pattern);
        EXPECT_NE(dir, nullptr);
        dir_ = dir != nullptr ? dir : "/tmp";
        path_ = dir_ + "/text";
    }
    ~TempFile() {
        std::remove(path_.c_str());
        rmdir(dir_.c_str());
    }
    char const * path() const { return path_.c_str(); }

private:
    std::string dir_;
    std::string path_;
};

template <typename U>
struct Streams;
#define ZU_STREAM_API(S)                                                                   \
    static constexpr auto fgetwc = &zu_fgetwc##S; static constexpr auto getwc = &zu_getwc##S; \
    static constexpr auto ungetwc = &zu_ungetwc##S; static constexpr auto fgetws = &zu_fgetws##S; \
    static constexpr auto fputwc = &zu_fputwc##S; static constexpr auto putwc = &zu_putwc##S; \
    static constexpr auto fputws = &zu_fputws##S;
template <>
struct Streams<unsigned short> { ZU_STREAM_API(_16) };
template <>
struct Streams<unsigned int> { ZU_STREAM_API(_32) };
#undef ZU_STREAM_API

template <typename U>
class WideStreams : public ::testing::Test {
protected:
    using API = Streams<U>;
    TempFile file_;
};
using UnitTypes = ::testing::Types<unsigned short, unsigned int>;
TYPED_TEST_SUITE(WideStreams, UnitTypes);

TYPED_TEST(WideStreams, WritesRawUnitsAndReadsThemBackLineByLine) {
    using U = TypeParam;
    U const text[] = {'a', 0xE9, 0x3042, 10, 'b', 'c', 10, 'd', 0};
    FILE * f = zu_fopen(this->file_.path(), "wb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(TestFixture::API::fputws(text, f), 8);
    EXPECT_EQ(TestFixture::API::fputwc(0xD83D, f), 0xD83Du);
    EXPECT_EQ(TestFixture::API::putwc('e', f), unsigned('e'));
    EXPECT_EQ(zu_fclose(f), 0);

    f = zu_fopen(this->file_.path(), "rb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 0, SEEK_END);
    EXPECT_EQ(std::ftell(f), long(10 * sizeof(U)));  // raw units, no mark, no terminator
    std::rewind(f);

    U line[8];
    ASSERT_EQ(TestFixture::API::fgetws(line, 8, f), line);  // stops after the newline
    EXPECT_EQ(std::vector<U>(line, line + 5), std::vector<U>({'a', 0xE9, 0x3042, 10, 0}));
    ASSERT_EQ(TestFixture::API::fgetws(line, 2, f), line);  // n - 1 units
    EXPECT_EQ(line[0], U('b'));
    EXPECT_EQ(line[1], U(0));
    EXPECT_EQ(TestFixture::API::fgetws(line, 0, f), line);  // n < 1: untouched
    EXPECT_EQ(line[0], U('b'));
    EXPECT_EQ(TestFixture::API::fgetwc(f), unsigned('c'));
    EXPECT_EQ(TestFixture::API::getwc(f), 10u);
    ASSERT_EQ(TestFixture::API::fgetws(line, 8, f), line);  // end of file after some units
    EXPECT_EQ(std::vector<U>(line, line + 4), std::vector<U>({'d', 0xD83D, 'e', 0}));
    EXPECT_EQ(TestFixture::API::fgetws(line, 8, f), nullptr);  // nothing left
    EXPECT_EQ(line[0], U(0));
    EXPECT_EQ(TestFixture::API::fgetwc(f), ZU_WEOF);
    EXPECT_EQ(zu_fclose(f), 0);
}

TYPED_TEST(WideStreams, OneUnitOfPushbackClearsEndOfFile) {
    using U = TypeParam;
    FILE * f = zu_fopen(this->file_.path(), "w+b");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(TestFixture::API::fgetwc(f), ZU_WEOF);
    EXPECT_TRUE(std::feof(f));
    EXPECT_EQ(TestFixture::API::ungetwc(ZU_WEOF, f), ZU_WEOF);
    unsigned int const value = sizeof(U) == 2 ? 0x12345u : 0x1F600u;
    EXPECT_EQ(TestFixture::API::ungetwc(value, f), value);
    EXPECT_FALSE(std::feof(f));
    EXPECT_EQ(TestFixture::API::ungetwc('x', f), ZU_WEOF);  // one unit only
    EXPECT_EQ(TestFixture::API::fgetwc(f), static_cast<U>(value));
    EXPECT_EQ(TestFixture::API::fgetwc(f), ZU_WEOF);
    // The pushback shows up in a line read too.
    EXPECT_EQ(TestFixture::API::ungetwc('z', f), unsigned('z'));
    U line[4];
    ASSERT_EQ(TestFixture::API::fgetws(line, 4, f), line);
    EXPECT_EQ(line[0], U('z'));
    EXPECT_EQ(line[1], U(0));
    EXPECT_EQ(zu_fclose(f), 0);
}

TEST(WideStreamState, ReopeningDropsWhatAStreamLeftBehind) {
    TempFile file;
    FILE * f = zu_fopen(file.path(), "w+b");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(zu_fwide_16(f, 0), 0);
    EXPECT_EQ(zu_fwide_16(f, -5), -1);
    EXPECT_EQ(zu_fwide_16(f, 1), -1);  // set once
    EXPECT_EQ(zu_ungetwc_16('q', f), unsigned('q'));
    std::fclose(f);  // plain fclose: the library's state stays behind
    // Whatever FILE the next open returns (often the same one), it starts
    // fresh: no pushback, no orientation.
    for (int i = 0; i < 4; ++i) {
        f = zu_fopen(file.path(), "rb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(zu_fwide_16(f, 0), 0);
        EXPECT_EQ(zu_fgetwc_16(f), ZU_WEOF);
        EXPECT_EQ(zu_fwide_16(f, 3), 1);
        EXPECT_EQ(zu_fclose(f), 0);
    }
    EXPECT_EQ(zu_fclose(nullptr), -1);
    EXPECT_EQ(zu_fopen(nullptr, "rb"), nullptr);
    EXPECT_EQ(zu_fgetwc_16(nullptr), ZU_WEOF);
    EXPECT_EQ(zu_fputws_32(nullptr, stdout), -1);
}

// Threads push back and take units on streams of their own, and open and
// close streams, all at once: every unit pushed back is read exactly once
// and nothing is left behind (the sanitizers watch the table).
TEST(WideStreamState, ThreadsShareTheTableSafely) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    TempFile file;
    FILE * seed = zu_fopen(file.path(), "wb");
    ASSERT_NE(seed, nullptr);
    zu_fclose(seed);

    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kRounds; ++i) {
                FILE * f = zu_fopen(file.path(), "rb");
                if (f == nullptr) {
                    ++mismatches;
                    continue;
                }
                unsigned int const unit = 0x10000u * t + i;
                if (zu_ungetwc_32(unit, f) != unit || zu_fgetwc_32(f) != unit ||
                    zu_fgetwc_32(f) != ZU_WEOF || zu_fwide_16(f, 1) != 1) {
                    ++mismatches;
                }
                zu_fclose(f);
            }
        });
    }
    // Two threads push back onto one stream at the same moment: exactly one
    // of them succeeds, and its unit is the one read.
    FILE * shared = zu_fopen(file.path(), "rb");
    ASSERT_NE(shared, nullptr);
    for (int i = 0; i < kRounds; ++i) {
        std::atomic<unsigned int> winner{0};
        std::atomic<int> wins{0};
        auto push = [&](unsigned int unit) {
            if (zu_ungetwc_16(unit, shared) == unit) {
                winner = unit;
                ++wins;
            }
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
