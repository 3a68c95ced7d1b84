// zu_mutex, zu_buffer and the version queries.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <thread>

#include "zuuc/foundation.h"

TEST(Mutex, AssignedAndCopiedMutexesKeepTheirOwnLocks) {
    auto a = std::make_unique<zu_mutex>();
    auto b = std::make_unique<zu_mutex>();
    *b = *a;
    auto c = std::make_unique<zu_mutex>(*a);

    // While this thread holds a, another thread can take b and c.
    auto held = std::make_unique<zu_mutex_lock>(*a);
    std::promise<void> took_b, took_c;
    std::future<void> b_done = took_b.get_future(), c_done = took_c.get_future();
    std::thread other([&] {
        { zu_mutex_lock lock(*b); }
        took_b.set_value();
        { zu_mutex_lock lock(*c); }
        took_c.set_value();
    });
    EXPECT_EQ(b_done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(c_done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    held.reset();
    other.join();

    // Each frees only its own lock (a shared one would be freed twice).
    a.reset();
    b.reset();
    c.reset();
}

TEST(Mutex, SerialisesTwoThreadsAndIsReentrant) {
    zu_mutex m;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 20000; ++i) {
            zu_mutex_lock outer(m);
            zu_mutex_lock inner(&m);  // the holder may lock again
            zu_mutex_lock nothing(static_cast<zu_mutex *>(nullptr));
            long const seen = counter;
            std::this_thread::yield();
            counter = seen + 1;
        }
    };
    std::thread t1(work), t2(work);
    t1.join();
    t2.join();
    EXPECT_EQ(counter, 40000);
}

static_assert(sizeof(zu_buffer<char, 1024>) == 1024 && sizeof(zu_buffer<unsigned short, 1024>) == 2048 &&
                  sizeof(zu_buffer<unsigned int, 500>) == 2000,
              "a zu_buffer holds exactly its N elements inline");

TEST(Buffer, AssignsAllItsElements) {
    zu_buffer<unsigned int, 500> a, b;
    EXPECT_EQ(a.end() - a.start(), 500);
    for (unsigned int i = 0; i < a.size(); ++i) {
        a.start()[i] = i * 3;
    }
    b = a;
    EXPECT_EQ(std::memcmp(a.start(), b.start(), sizeof a), 0);
}

TEST(Version, NumberStringAndCompatibility) {
    EXPECT_EQ(UnicodeLibrary::VersionNumber(), 0x04212001UL);
    EXPECT_STREQ(UnicodeLibrary::VersionString(), "MIRU 4.2.1, May  6 2008 13:54:34");
    EXPECT_TRUE(UnicodeLibrary::VersionIsCompatible(28, 16));
    EXPECT_FALSE(UnicodeLibrary::VersionIsCompatible(28, 15));
    EXPECT_FALSE(UnicodeLibrary::VersionIsCompatible(27, 16));
    EXPECT_FALSE(UnicodeLibrary::VersionIsCompatible(28UL + 0x100000000UL, 16));
}
