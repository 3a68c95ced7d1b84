// LinearAllocator rules and the placement of UnicodeLibPlaceable objects.
// Leaks and frees of the wrong kind are caught by running under ASan.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "zuuc/foundation.h"

namespace {

std::uintptr_t Addr(void const * p) { return reinterpret_cast<std::uintptr_t>(p); }

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
    EXPECT_EQ(a.Allocate(1), raw + 16);   // 1 byte takes a whole pointer
    EXPECT_EQ(a.Allocate(9), raw + 24);   // rounded up to 16
    EXPECT_EQ(a.Allocate(0), raw + 40);   // 0 bytes: the current position...
    EXPECT_EQ(a.Allocate(8), raw + 40);   // ...which did not move
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
