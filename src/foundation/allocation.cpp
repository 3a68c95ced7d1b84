// Allocators and the placement of UnicodeLibPlaceable objects.
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

#include "zuuc/foundation.h"

namespace {

constexpr std::size_t kWord = sizeof(void *);

// Objects are placed at least this aligned, whatever their class asks for.
constexpr std::size_t kMinimumAlignment = alignof(std::max_align_t);

// Layout of a placement, from the start of the block the memory came from:
//
//   [ padding ... ][ offset word ][ header word ][ object ... ]
//
// The header word directly in front of the object holds the allocator's
// address (null for the global heap). When the object is not exactly one word
// into the block, the low bit of the header word is set and the word before
// it holds the distance from the block to the object. Allocators are
// polymorphic objects, so the low bit of their address is always clear.
constexpr std::uintptr_t kOffsetStored = 1;

static_assert(alignof(UnicodeLibAllocator) > 1, "the low bit of an allocator address is free");
static_assert(kMinimumAlignment >= kWord, "the header word is pointer-aligned");

std::uintptr_t Address(void const * p) {
    return reinterpret_cast<std::uintptr_t>(p);
}

std::uintptr_t * WordAt(std::uintptr_t address) {
    return reinterpret_cast<std::uintptr_t *>(address);
}

std::size_t EffectiveAlignment(std::size_t alignment) {
    return alignment > kMinimumAlignment ? alignment : kMinimumAlignment;
}

// How much more than the object a placement asks for. With a pointer-aligned
// block the object lies at most `alignment` bytes into it.
std::size_t Overhead(std::size_t alignment) {
    return EffectiveAlignment(alignment);
}

// Writes the header into `block` (pointer-aligned, Overhead(alignment) bytes
// more than the object needs) and returns where the object goes.
void * Place(void * block, UnicodeLibAllocator * owner, std::size_t alignment) {
    std::size_t const align = EffectiveAlignment(alignment);
    std::uintptr_t const start = Address(block);
    std::uintptr_t const object = (start + kWord + align - 1) & ~(std::uintptr_t{align} - 1);
    std::uintptr_t header = Address(owner);
    if (object - start != kWord) {
        // Then the object is at least two words in, so the offset word fits.
        *WordAt(object - 2 * kWord) = object - start;
        header |= kOffsetStored;
    }
    *WordAt(object - kWord) = header;
    return reinterpret_cast<void *>(object);
}

// Sends the block holding `object` back to where the header says it came from.
void Unplace(void * object) noexcept {
    if (object == nullptr) {
        return;
    }
    std::uintptr_t const address = Address(object);
    std::uintptr_t const header = *WordAt(address - kWord);
    std::uintptr_t const offset =
        (header & kOffsetStored) != 0 ? *WordAt(address - 2 * kWord) : kWord;
    void * const block = reinterpret_cast<void *>(address - offset);
    auto * const owner = reinterpret_cast<UnicodeLibAllocator *>(header & ~kOffsetStored);
    if (owner == nullptr) {
        ::operator delete(block);
    } else {
        owner->Free(block);
    }
}

void * PlaceOnHeap(std::size_t size, std::size_t alignment) {
    std::size_t const overhead = Overhead(alignment);
    if (size > std::numeric_limits<std::size_t>::max() - overhead) {
        throw std::bad_alloc();
    }
    // The global operator new returns blocks aligned for any standard type.
    return Place(::operator new(size + overhead), nullptr, alignment);
}

void * PlaceWith(UnicodeLibAllocator & allocator, std::size_t size, std::size_t alignment) {
    std::size_t const overhead = Overhead(alignment);
    if (size > std::numeric_limits<unsigned int>::max() - overhead) {
        throw std::bad_alloc();
    }
    void * const block = allocator.Allocate(static_cast<unsigned int>(size + overhead));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    if (Address(block) % kWord != 0) {
        // The header word could not be stored; refuse the block.
        allocator.Free(block);
        throw std::bad_alloc();
    }
    return Place(block, &allocator, alignment);
}

}  // namespace

// --- UnicodeLibAllocator ----------------------------------------------------

UnicodeLibAllocator::~UnicodeLibAllocator() = default;

// --- LinearAllocator --------------------------------------------------------

LinearAllocator::LinearAllocator(void * buffer, unsigned int size, char const * /*name*/,
                                 int /*number*/)
    : start_(static_cast<char *>(buffer)), current_(start_), end_(start_) {
    if (buffer == nullptr) {
        return;  // no buffer: everything comes from the heap
    }
    end_ = start_ + size;
    std::size_t const misalignment = Address(start_) % kWord;
    if (misalignment != 0) {
        std::size_t const skip = kWord - misalignment;
        current_ = skip < size ? start_ + skip : end_;
    }
}

LinearAllocator::~LinearAllocator() = default;

void * LinearAllocator::Allocate(unsigned int size) {
    std::size_t const rounded = (static_cast<std::size_t>(size) + kWord - 1) & ~(kWord - 1);
    // The block must start inside the buffer (even an empty one), so that
    // Free can tell it from a heap block.
    if (current_ < end_ && rounded <= static_cast<std::size_t>(end_ - current_)) {
        void * const block = current_;
        current_ += rounded;
        return block;
    }
    return std::malloc(rounded != 0 ? rounded : 1);
}

void LinearAllocator::Free(void * block) {
    std::uintptr_t const address = Address(block);
    if (address >= Address(start_) && address < Address(end_)) {
        return;  // buffer space is reclaimed with the whole buffer
    }
    std::free(block);
}

void LinearAllocator::GenerateReport(CharSink & /*sink*/) {}

// --- UnicodeLibPlaceable ----------------------------------------------------

UnicodeLibPlaceable::~UnicodeLibPlaceable() = default;

void * UnicodeLibPlaceable::operator new(std::size_t size) {
    return PlaceOnHeap(size, kMinimumAlignment);
}

void * UnicodeLibPlaceable::operator new(std::size_t size, UnicodeLibAllocator & allocator) {
    return PlaceWith(allocator, size, kMinimumAlignment);
}

void * UnicodeLibPlaceable::operator new(std::size_t size, std::align_val_t alignment) {
    return PlaceOnHeap(size, static_cast<std::size_t>(alignment));
}

void * UnicodeLibPlaceable::operator new(std::size_t size, std::align_val_t alignment,
                                         UnicodeLibAllocator & allocator) {
    return PlaceWith(allocator, size, static_cast<std::size_t>(alignment));
}

void UnicodeLibPlaceable::operator delete(void * object) noexcept {
    Unplace(object);
}

// Reached when a constructor throws; the header, not the argument, decides.
void UnicodeLibPlaceable::operator delete(void * object, UnicodeLibAllocator &) noexcept {
    Unplace(object);
}

void UnicodeLibPlaceable::operator delete(void * object, std::size_t) noexcept {
    Unplace(object);
}

void UnicodeLibPlaceable::operator delete(void * object, std::align_val_t) noexcept {
    Unplace(object);
}

void UnicodeLibPlaceable::operator delete(void * object, std::size_t, std::align_val_t) noexcept {
    Unplace(object);
}

void UnicodeLibPlaceable::operator delete(void * object, std::align_val_t,
                                          UnicodeLibAllocator &) noexcept {
    Unplace(object);
}
