// The per-thread records. Their functions are internal to the library, so
// this program links its own copy of them from the library's objects. Records that are not freed at
// thread exit or at teardown show up as leaks under ASan.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "foundation/thread_state.h"

using zuuc_internal::foundation::CurrentThreadRecord;
using zuuc_internal::foundation::ThreadRecord;

TEST(ThreadRecord, OnePerThreadStartingEmptyAndFreedAtExit) {
    ThreadRecord * mine = CurrentThreadRecord();
    ASSERT_NE(mine, nullptr);
    EXPECT_EQ(mine->wcstok_16_position, nullptr);
    unsigned short text[] = {'a', 0};
    mine->wcstok_16_position = text;
    EXPECT_EQ(CurrentThreadRecord(), mine);

    // Threads alive at the same time get distinct, empty records.
    constexpr int kThreads = 4;
    std::atomic<int> arrived{0};
    std::vector<ThreadRecord *> records(kThreads);
    std::vector<int> empty(kThreads);
    std::vector<std::thread> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([&, i] {
            ThreadRecord * r = CurrentThreadRecord();
            records[i] = r;
            empty[i] = r != nullptr && r->wcstok_16_position == nullptr;
            if (r != nullptr) {
                r->wcstok_16_position = text + 1;
            }
            ++arrived;
            while (arrived.load() < kThreads) {
                std::this_thread::yield();
            }
        });
    }
    for (std::thread & t : threads) {
        t.join();
    }
    for (int i = 0; i < kThreads; ++i) {
        ASSERT_NE(records[i], nullptr);
        EXPECT_TRUE(empty[i]);
        EXPECT_NE(records[i], mine);
        for (int j = 0; j < i; ++j) {
            EXPECT_NE(records[i], records[j]);
        }
    }
    EXPECT_EQ(mine->wcstok_16_position, text);
    mine->wcstok_16_position = nullptr;
}
