// The foundation: actors and the director, allocation, exceptions, the
// mutex, buffer and version globals, and the per-thread records.
#include "zuuc/foundation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

#include "foundation/thread_state.h"
#include "support/test_encodings.h"
#include "zuuc/behavior.h"
#include "zuuc/exceptions.h"

using zuuc_internal::foundation::CurrentThreadRecord;
using zuuc_internal::foundation::ThreadRecord;

// Actors, the default behaviour and the director.
namespace {

using Log = std::vector<std::string>;

// Logs its destruction and every SetBehavior call.
struct Recorder : UnicodeLibActor {
    Recorder(Log * log, std::string name, UnicodeLibBehavior * b = nullptr)
        : UnicodeLibActor(b), log_(log), name_(std::move(name)) {}
    Recorder(Log * log, UnicodeLibActor const * wrapped)
        : UnicodeLibActor(wrapped), log_(log), name_("w") {}
    ~Recorder() override { log_->push_back("delete " + name_); }
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * b) override {
        log_->push_back("behave " + name_);
        return UnicodeLibActor::SetBehavior(b);
    }
    Log * log_;
    std::string name_;
};

}  // namespace

TEST(Actor, BehaviorIsNeverNullAndSetBehaviorReturnsThePrevious) {
    UnicodeLibBehavior * def = UnicodeLibBehavior::GetDefaultBehavior();
    ASSERT_NE(def, nullptr);
    UnicodeLibBehavior first(false), second(true);
    Log log;

    EXPECT_EQ(Recorder(&log, "n").GetBehavior(), def);
    EXPECT_EQ(Recorder(&log, static_cast<UnicodeLibActor const *>(nullptr)).GetBehavior(), def);
    Recorder inner(&log, "i", &first);
    EXPECT_EQ(Recorder(&log, &inner).GetBehavior(), &first);  // a wrapper takes the inner one's

    UnicodeLibActor & base = inner;
    EXPECT_EQ(base.SetBehavior(&second), &first);  // virtual: reaches the override
    EXPECT_EQ(inner.GetBehavior(), &second);
    EXPECT_EQ(base.SetBehavior(nullptr), &second);
    EXPECT_EQ(inner.GetBehavior(), def);
    EXPECT_EQ(log.back(), "behave i");
}

TEST(DefaultBehavior, ReplacingTheDefaultAffectsNewActorsAndNullSettings) {
    UnicodeLibBehavior * builtin = UnicodeLibBehavior::GetDefaultBehavior();
    UnicodeLibBehavior custom(true);
    Log log;
    Recorder before(&log, "b");

    EXPECT_EQ(UnicodeLibBehavior::SetDefaultBehavior(&custom), builtin);
    EXPECT_EQ(before.GetBehavior(), builtin);  // existing actors keep theirs
    EXPECT_EQ(Recorder(&log, "n").GetBehavior(), &custom);
    before.SetBehavior(nullptr);
    EXPECT_EQ(before.GetBehavior(), &custom);  // null means the default now in force

    // A null default changes nothing and reports the one in force.
    EXPECT_EQ(UnicodeLibBehavior::SetDefaultBehavior(nullptr), &custom);
    EXPECT_EQ(UnicodeLibBehavior::GetDefaultBehavior(), &custom);
    EXPECT_EQ(UnicodeLibBehavior::SetDefaultBehavior(builtin), &custom);
}

TEST(Director, SetsBehavioursAndDeletesFirstThenSecondSkippingNulls) {
    Log log;
    UnicodeLibBehavior behavior(false);
    {
        Recorder * b = new Recorder(&log, "b");
        UnicodeLibDirector d(new Recorder(&log, "a"), b);
        d.SetBehaviors(behavior);
        EXPECT_EQ(b->GetBehavior(), &behavior);
        UnicodeLibDirector(nullptr, nullptr).SetBehaviors(behavior);
    }
    { UnicodeLibDirector d(nullptr, new Recorder(&log, "c")); }
    { UnicodeLibDirector d; }
    {
        // The role, not the order of the calls, decides; a replaced actor is
        // released, not deleted.
        Recorder * e = new Recorder(&log, "e");
        UnicodeLibDirector d;
        d.DeleteSecond(e);
        d.DeleteFirst(new Recorder(&log, "d"));
        d.DeleteSecond(nullptr);
        d.DeleteSecond(e);
    }
    {
        Recorder * both = new Recorder(&log, "x");
        UnicodeLibDirector d(both, both);  // deleted once
    }
    EXPECT_EQ(log, Log({"behave a", "behave b", "delete a", "delete b", "delete c", "delete d",
                        "delete e", "delete x"}));
}

TEST(Director, OwnershipMovesAndIsNeverShared) {
    static_assert(!std::is_copy_constructible<UnicodeLibDirector>::value &&
                      !std::is_copy_assignable<UnicodeLibDirector>::value,
                  "two directors must not own the same actors");
    Log log;
    {
        UnicodeLibDirector source(new Recorder(&log, "a"), new Recorder(&log, "b"));
        UnicodeLibDirector target(std::move(source));
        source.SetBehaviors(*UnicodeLibBehavior::GetDefaultBehavior());  // empty now
        EXPECT_TRUE(log.empty());
        target = UnicodeLibDirector(new Recorder(&log, "c"), nullptr);
        EXPECT_EQ(log, Log({"delete a", "delete b"}));  // the old actors go
    }
    EXPECT_EQ(log.back(), "delete c");

    // An actor that the incoming director holds too survives the assignment.
    log.clear();
    {
        Recorder * shared = new Recorder(&log, "s");
        UnicodeLibDirector target(shared, new Recorder(&log, "old"));
        target = UnicodeLibDirector(nullptr, shared);
        UnicodeLibDirector & same = target;
        target = std::move(same);
        EXPECT_EQ(log, Log({"delete old"}));
    }
    EXPECT_EQ(log, Log({"delete old", "delete s"}));
}

// LinearAllocator rules and the placement of UnicodeLibPlaceable objects.
// Leaks and frees of the wrong kind are caught by running under ASan.
namespace {

std::uintptr_t Addr(void const * p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

bool Outside(void const * p, unsigned char const * buffer, std::size_t size) {
    return Addr(p) < Addr(buffer) || Addr(p) >= Addr(buffer) + size;
}

// Heap-backed; checks that every block comes back once, with the very
// pointer that Allocate returned.
class CountingAllocator : public UnicodeLibAllocator {
public:
    void * Allocate(unsigned int size) override {
        ++allocations;
        live.push_back(std::malloc(size));
        return live.back();
    }
    void Free(void * block) override {
        ++frees;
        auto it = std::find(live.begin(), live.end(), block);
        ASSERT_NE(it, live.end()) << "not a block of this allocator";
        live.erase(it);
        std::free(block);
    }
    ~CountingAllocator() override { EXPECT_TRUE(live.empty()); }

    int allocations = 0;
    int frees = 0;
    std::vector<void *> live;
};

struct Probe : UnicodeLibPlaceable {
    explicit Probe(int * destroyed) : destroyed_(destroyed) {}
    ~Probe() override { ++*destroyed_; }
    int * destroyed_;
};

struct Throws : UnicodeLibPlaceable {
    Throws() { throw 42; }
};

// Needs the strictest standard alignment, or more.
template <std::size_t A>
struct Aligned : UnicodeLibPlaceable {
    alignas(A) long double value = 1.5L;
};

}  // namespace

TEST(LinearAllocator, MisalignedBufferStartsAtNextPointerBoundaryAndBumpsByWords) {
    alignas(16) unsigned char raw[256];
    LinearAllocator a(raw + 2, 200, "test", 1);
    EXPECT_EQ(a.Allocate(1), raw + 8);
    EXPECT_EQ(a.Allocate(1), raw + 16);  // 1 byte takes a whole pointer
    EXPECT_EQ(a.Allocate(9), raw + 24);  // rounded up to 16
    EXPECT_EQ(a.Allocate(0), raw + 40);  // 0 bytes: the current position...
    EXPECT_EQ(a.Allocate(8), raw + 40);  // ...which did not move
}

TEST(LinearAllocator, OverflowComesFromHeapAndOnlyHeapBlocksAreFreed) {
    alignas(16) unsigned char raw[64];
    LinearAllocator a(raw, sizeof raw, "test", 2);
    void * first = a.Allocate(40);
    void * big = a.Allocate(100);  // does not fit
    EXPECT_TRUE(Outside(big, raw, sizeof raw));
    static_cast<unsigned char *>(big)[99] = 1;
    EXPECT_EQ(a.Allocate(24), raw + 40);  // the position stayed
    void * empty = a.Allocate(0);         // full: not the end address
    EXPECT_TRUE(Outside(empty, raw, sizeof raw + 1));
    a.Free(big);
    a.Free(empty);
    a.Free(first);  // ignored: a free() of it would be a bad free
    a.Free(nullptr);

    LinearAllocator tiny(raw + 1, 6, "tiny", 3);  // no aligned byte inside
    void * p = tiny.Allocate(1);
    EXPECT_TRUE(Outside(p, raw, sizeof raw));
    tiny.Free(p);
}

TEST(Placement, PlacedAndHeapObjectsAreBothDestroyedWithDelete) {
    CountingAllocator counting;
    int destroyed = 0;
    UnicodeLibPlaceable * placed = new (counting) Probe(&destroyed);
    UnicodeLibPlaceable * heap = new Probe(&destroyed);
    delete placed;
    EXPECT_EQ(counting.frees, 1);
    delete heap;  // back to the heap; the allocator is not asked
    EXPECT_EQ(counting.frees, 1);
    { std::unique_ptr<Probe> owned(new (counting) Probe(&destroyed)); }
    EXPECT_EQ(counting.frees, 2);
    EXPECT_EQ(destroyed, 3);

    // The sized form and the placement form follow the header too; the
    // allocator argument of the latter is ignored.
    Probe * p = new (counting) Probe(&destroyed);
    p->~Probe();
    UnicodeLibPlaceable::operator delete(p, sizeof(Probe));
    EXPECT_EQ(counting.frees, 3);
    Probe * h = new Probe(&destroyed);
    h->~Probe();
    UnicodeLibPlaceable::operator delete(h, counting);
    EXPECT_EQ(counting.frees, 3);
}

TEST(Placement, ThrowingConstructorReturnsTheBlock) {
    CountingAllocator counting;
    EXPECT_THROW(new (counting) Throws, int);
    EXPECT_EQ(counting.frees, 1);
    EXPECT_THROW(new Throws, int);
}

TEST(Placement, ObjectsGetTheirAlignmentEvenInALinearBuffer) {
    alignas(64) unsigned char raw[2048];
    LinearAllocator linear(raw + 3, 2000, "aligned", 4);
    CountingAllocator counting;
    std::vector<UnicodeLibPlaceable *> objects;
    auto check = [&](auto * object, std::size_t alignment) {
        EXPECT_EQ(Addr(object) % alignment, 0u);
        object->value *= 2;  // UBSan checks the access
        EXPECT_EQ(object->value, 3.0L);
        objects.push_back(object);
    };
    for (unsigned int i = 0; i < 24; ++i) {  // the later ones overflow to the heap
        check(new (linear) Aligned<16>, 16);
        check(new (linear) Aligned<64>, 64);
        linear.Free(linear.Allocate(8 * (i % 3)));  // move the starting points
    }
    check(new (counting) Aligned<16>, 16);
    check(new (counting) Aligned<64>, 64);
    check(new Aligned<16>, 16);
    check(new Aligned<64>, 64);
    for (UnicodeLibPlaceable * object : objects) {
        delete object;
    }
    EXPECT_EQ(counting.frees, 2);
}

namespace {

struct Message {
    zu_exception const & exception;
    char const * what;
};

char const * gShiftJisNames[] = {"Shift_JIS", "SJIS", nullptr};

// An unregistered encoding (identifier 0) with just a name, enough for the
// error messages.
class NamedEncoding : public zuuc_test::TestByteEncoding {
public:
    NamedEncoding() : TestByteEncoding(0, gShiftJisNames) {}
};

static_assert(std::is_base_of<zu_exception, zu_out_of_range>::value &&
                  std::is_base_of<zu_exception, zu_collation_key_overflow>::value &&
                  !std::is_base_of<zu_logic_error, zu_collation_key_overflow>::value &&
                  std::is_base_of<EncodingNotLoaded, NoEncodingLibraryRegistered>::value &&
                  std::is_base_of<EncodingNotLoaded, UnableToLoadEncodingLibrary>::value &&
                  std::is_base_of<UnicodeLibraryException, LibraryDoesNotImplementEncoding>::value,
              "the exception hierarchy callers catch by");

TEST(ExceptionsTest, FixedMessages) {
    Message const cases[] = {
        {zu_exception(), "zu_exception"},
        {zu_logic_error(), "zu_logic_error"},
        {zu_out_of_range(), "zu_out_of_range"},
        {zu_file_error(), "zu_file_error"},
        {UnicodeLibraryException(), "unknown Unicode Library exception"},
        {zu_collation_file_error(), "Collation sequence data file read failed"},
        {zu_collation_file_corruption_error(), "Collation sequence data file is corrupted"},
        {zu_collation_key_overflow(),
         "Attempt to copy too many bytes of collation key into a CollationKey"},
    };
    for (Message const & c : cases)
        EXPECT_STREQ(c.exception.what(), c.what);
    try {
        throw zu_collation_key_overflow();
    } catch (zu_exception const & e) {
        EXPECT_STREQ(e.what(), cases[7].what);
    }
}

TEST(ExceptionsTest, EncodingErrorsNameTheEncodingAndLibrary) {
    NamedEncoding sjis;
    EncodingNotLoaded const base(sjis);
    NoEncodingLibraryRegistered const none(sjis);
    LibraryDoesNotImplementEncoding const missing(sjis, "zujpn421");
    InvalidOutputEncoding const output(sjis);
    Message const cases[] = {
        {base, "The encoding \"Shift_JIS\" could not be loaded"},
        {none, "No library registered for encoding \"Shift_JIS\""},
        {UnableToLoadEncodingLibrary(sjis, "zujpn421"),
         "Unable to load the library \"zujpn421\" for the encoding \"Shift_JIS\""},
        {missing,
         "The library \"zujpn421\" was loaded, but did not implement encoding \"Shift_JIS\""},
        {output, "Invalid output encoding: Shift_JIS"},
    };
    for (Message const & c : cases)
        EXPECT_STREQ(c.exception.what(), c.what);
    EXPECT_EQ(&base.GetEncoding(), &sjis);
    EXPECT_EQ(&none.GetEncoding(), &sjis);
    EXPECT_EQ(&output.GetEncoding(), &sjis);
}

TEST(ExceptionsTest, CopiesOwnTheirMessages) {
    NamedEncoding sjis;
    std::string const expected = "Unable to load the library \"x\" for the encoding \"Shift_JIS\"";
    UnableToLoadEncodingLibrary * original = new UnableToLoadEncodingLibrary(sjis, "x");
    UnableToLoadEncodingLibrary copy(*original);
    EncodingNotLoaded assigned(sjis);
    assigned = *original;
    delete original;
    EXPECT_EQ(copy.what(), expected);
    EXPECT_EQ(assigned.what(), expected);  // sliced, but the message is the stored one
    EXPECT_STREQ(copy.GetLibrary(), "x");
}

}  // namespace

// zu_mutex, zu_buffer and the version queries.
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

static_assert(sizeof(zu_buffer<char, 1024>) == 1024 &&
                  sizeof(zu_buffer<unsigned short, 1024>) == 2048 &&
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

// The per-thread records. Their functions are internal to the library, so
// this program links its own copy of them from the library's objects. Records that are not freed at
// thread exit or at teardown show up as leaks under ASan.
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
