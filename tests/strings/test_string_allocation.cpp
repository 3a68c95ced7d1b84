// Allocation failures. The string classes allocate with nothrow new; this
// program replaces the nothrow forms so that a chosen allocation fails.
#include "zuuc/strings.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <new>

namespace {

// Number of nothrow allocations still allowed before one fails; negative
// means never fail.
int g_allowed = -1;

void * Allocate(std::size_t n, bool array) noexcept {
    if (g_allowed == 0) {
        return nullptr;
    }
    if (g_allowed > 0) {
        --g_allowed;
    }
    try {
        return array ? ::operator new[](n) : ::operator new(n);
    } catch (...) {
        return nullptr;
    }
}

struct FailAfter {
    explicit FailAfter(int allowed) { g_allowed = allowed; }
    ~FailAfter() { g_allowed = -1; }
};

}  // namespace

void * operator new(std::size_t n, std::nothrow_t const &) noexcept { return Allocate(n, false); }
void * operator new[](std::size_t n, std::nothrow_t const &) noexcept { return Allocate(n, true); }

namespace {

TEST(StringAllocation, FailedNewRecordLeavesStringEmpty) {
    unsigned short const text[] = {'a', 'b', 'c', 0};
    zu_wstring const source(text);
    for (int allowed = 0; allowed < 2; ++allowed) {  // the record, then its block
        FailAfter fail(allowed);
        zu_wstring made(text);
        EXPECT_TRUE(made.empty());
        EXPECT_EQ(0u, made.capacity());

        g_allowed = allowed;
        zu_wstring assigned;
        assigned.assign(text, 3);
        EXPECT_TRUE(assigned.empty());

        g_allowed = allowed;
        zu_wstring appended;
        appended.append(text, 3);
        EXPECT_TRUE(appended.empty());

        g_allowed = allowed;
        zu_wstring const copy(source);
        EXPECT_TRUE(copy.empty());
    }
}

TEST(StringAllocation, FailedGrowthThrowsAndKeepsContents) {
    zu_utf32_string s;
    s += 'a';
    s += 'b';
    s += 'c';  // capacity 3
    unsigned int const more[] = {'d', 'e'};
    FailAfter fail(0);
    EXPECT_THROW(s.append(more, 2), std::bad_alloc);
    EXPECT_THROW(s.c_str(), std::bad_alloc);
    ASSERT_EQ(3u, s.size());
    EXPECT_EQ(3u, s.capacity());
    EXPECT_EQ('c', s.at(2));
    unsigned int const longer[] = {'w', 'x', 'y', 'z'};
    EXPECT_THROW(s.assign(longer, 4), std::bad_alloc);
    EXPECT_EQ(3u, s.size());
    EXPECT_EQ('a', s.at(0));
    s.assign(more, 2);  // fits: needs no allocation
    EXPECT_EQ(2u, s.size());
    EXPECT_EQ('d', s.at(0));
}

}  // namespace
