// The library's foundation: allocators and object placement, actors and the
// director that owns them, inline buffers, the mutex and the version queries.
//
// Objects that the encoding factories create (transcoders, stream adapters,
// detectors) derive from UnicodeLibPlaceable. They are created with
// `new (allocator) T(...)` or a plain `new T(...)` and are always destroyed
// with a plain `delete`: a hidden word in front of every such object records
// where its memory came from, and the memory goes back there.
#ifndef ZUUC_FOUNDATION_H
#define ZUUC_FOUNDATION_H

#include <cstddef>
#include <new>

#include "zuuc/export.h"

class CharSink;
class UnicodeLibBehavior;

// ---------------------------------------------------------------------------
// Allocators
// ---------------------------------------------------------------------------

// Where placed objects get their memory. Allocate must return memory aligned
// to at least a pointer (or null when it has none); Free takes back exactly
// the pointers that Allocate returned.
class ZUUC_EXPORT UnicodeLibAllocator {
public:
    virtual void * Allocate(unsigned int size) = 0;
    virtual void Free(void * block) = 0;
    virtual ~UnicodeLibAllocator();

protected:
    UnicodeLibAllocator() = default;
    UnicodeLibAllocator(UnicodeLibAllocator const &) = default;
    UnicodeLibAllocator & operator=(UnicodeLibAllocator const &) = default;
};

// Bump allocation from a buffer that the caller owns (typically a stack or
// scratch array). Blocks are pointer-aligned and pointer-granular: the first
// block starts at the first pointer-aligned address of the buffer and every
// request is rounded up to a multiple of the pointer size. A request that
// does not fit is served from the heap instead, so allocation never fails
// for lack of buffer space. Free returns heap blocks to the heap and ignores
// buffer blocks: buffer space comes back only when the caller discards the
// whole buffer, which must outlive every object placed in it.
class ZUUC_EXPORT LinearAllocator : public UnicodeLibAllocator {
public:
    // `name` and `number` label the allocator for reports; neither is kept.
    LinearAllocator(void * buffer, unsigned int size, char const * name, int number);
    LinearAllocator(LinearAllocator const &) = delete;
    LinearAllocator & operator=(LinearAllocator const &) = delete;

    void * Allocate(unsigned int size) override;
    void Free(void * block) override;
    ~LinearAllocator() override;

    // Usage report of the linear allocators; currently writes nothing.
    static void GenerateReport(CharSink & sink);

private:
    char * start_;    // the caller's buffer as given
    char * current_;  // next free byte (pointer-aligned)
    char * end_;      // start_ + size
};

// ---------------------------------------------------------------------------
// Placement
// ---------------------------------------------------------------------------

// Base of every object that a factory can place with an allocator.
//
// Each object is preceded by a hidden header word holding the allocator that
// made it (null for the global heap); every operator delete reads that word,
// so `delete p` is right however p was created, and the placement form runs
// the same rule when a constructor throws. Objects are aligned as their class
// requires and at least for any standard type (alignof(std::max_align_t)),
// even inside a LinearAllocator, whose blocks are only pointer-aligned: a
// placement asks for the object's size plus that alignment and puts the
// object on the first suitable address after the header word. Arrays and
// `::new`/`::delete` bypass the header and must not be mixed with these forms.
class ZUUC_EXPORT UnicodeLibPlaceable {
public:
    UnicodeLibPlaceable() = default;
    UnicodeLibPlaceable(UnicodeLibPlaceable const &) = default;
    UnicodeLibPlaceable & operator=(UnicodeLibPlaceable const &) = default;
    virtual ~UnicodeLibPlaceable();

    static void * operator new(std::size_t size);
    static void * operator new(std::size_t size, UnicodeLibAllocator & allocator);
    static void operator delete(void * object) noexcept;
    static void operator delete(void * object, UnicodeLibAllocator & allocator) noexcept;

    // The sized and over-aligned forms follow the same rule.
    static void * operator new(std::size_t size, std::align_val_t alignment);
    static void * operator new(std::size_t size, std::align_val_t alignment,
                               UnicodeLibAllocator & allocator);
    static void operator delete(void * object, std::size_t size) noexcept;
    static void operator delete(void * object, std::align_val_t alignment) noexcept;
    static void operator delete(void * object, std::size_t size,
                                std::align_val_t alignment) noexcept;
    static void operator delete(void * object, std::align_val_t alignment,
                                UnicodeLibAllocator & allocator) noexcept;
};

// ---------------------------------------------------------------------------
// Actors and the director
// ---------------------------------------------------------------------------

// An object that converts or carries text under a conversion behaviour
// (sources, sinks, transcoders, transforms). The behaviour is never null: a
// null argument selects the process-wide default at that moment. The actor
// does not own its behaviour, which must outlive it.
class ZUUC_EXPORT UnicodeLibActor : public UnicodeLibPlaceable {
public:
    UnicodeLibActor();
    explicit UnicodeLibActor(UnicodeLibBehavior * behavior);
    // Takes the behaviour of `other` (the object being wrapped), or the
    // default when `other` is null.
    explicit UnicodeLibActor(UnicodeLibActor const * other);
    UnicodeLibActor(UnicodeLibActor const & other);
    UnicodeLibActor & operator=(UnicodeLibActor const & other);
    ~UnicodeLibActor() override;

    // Installs `behavior` (the default when null); returns the one replaced.
    // Wrappers override this to pass the behaviour on to what they wrap.
    virtual UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior);

    UnicodeLibBehavior * GetBehavior() const;

private:
    UnicodeLibBehavior * behavior_;
};

// Owns up to two actors and deletes them, first before second, when it is
// destroyed. Ownership moves with the director; it cannot be copied.
class ZUUC_EXPORT UnicodeLibDirector {
public:
    UnicodeLibDirector();
    UnicodeLibDirector(UnicodeLibActor * first, UnicodeLibActor * second);
    UnicodeLibDirector(UnicodeLibDirector const &) = delete;
    UnicodeLibDirector & operator=(UnicodeLibDirector const &) = delete;
    // Takes over other's actors and leaves it empty.
    UnicodeLibDirector(UnicodeLibDirector && other) noexcept;
    // Deletes the actors held so far (unless `other` holds them too), then
    // takes over other's actors and leaves it empty.
    UnicodeLibDirector & operator=(UnicodeLibDirector && other) noexcept;
    ~UnicodeLibDirector();

    // Make `actor` the first (second) owned actor. The actor held before is
    // released, not deleted.
    void DeleteFirst(UnicodeLibActor * actor);
    void DeleteSecond(UnicodeLibActor * actor);

    // SetBehavior(&behavior) on the first actor, then on the second.
    void SetBehaviors(UnicodeLibBehavior & behavior);

private:
    void DeleteActors() noexcept;

    UnicodeLibActor * first_;
    UnicodeLibActor * second_;
};

// ---------------------------------------------------------------------------
// Inline buffers
// ---------------------------------------------------------------------------

// A fixed array of N elements kept inside the object. Construction leaves the
// contents undefined; assignment copies all N elements.
template <typename T, unsigned int N>
class zu_buffer {
public:
    zu_buffer() {}

    T * start() { return data_; }
    T const * start() const { return data_; }
    T * end() { return data_ + N; }
    T const * end() const { return data_ + N; }
    // Number of elements (not bytes).
    unsigned int size() const { return N; }

private:
    T data_[N];
};

extern template class ZUUC_EXPORT zu_buffer<char, 1024>;
extern template class ZUUC_EXPORT zu_buffer<unsigned short, 1024>;
extern template class ZUUC_EXPORT zu_buffer<unsigned int, 1024>;
extern template class ZUUC_EXPORT zu_buffer<unsigned int, 500>;

// ---------------------------------------------------------------------------
// Mutex
// ---------------------------------------------------------------------------

// A recursive mutex (the owning thread may lock it again), locked and
// unlocked only through zu_mutex_lock. Every zu_mutex owns its own lock:
// copying makes a new, unlocked one and assignment changes nothing, so no two
// mutexes ever share or free the same lock.
class ZUUC_EXPORT zu_mutex {
public:
    zu_mutex();
    zu_mutex(zu_mutex const &);
    zu_mutex & operator=(zu_mutex const &);
    ~zu_mutex();

protected:
    void lock();
    void unlock();

private:
    friend class zu_mutex_lock;
    class Section;
    Section * section_;  // the lock, allocated by the constructor
};

// Holds a zu_mutex locked for its lifetime. A null mutex locks nothing.
class ZUUC_EXPORT zu_mutex_lock {
public:
    explicit zu_mutex_lock(zu_mutex & mutex);
    explicit zu_mutex_lock(zu_mutex * mutex);
    zu_mutex_lock(zu_mutex_lock const &) = delete;
    zu_mutex_lock & operator=(zu_mutex_lock const &) = delete;
    ~zu_mutex_lock();

private:
    zu_mutex * mutex_;  // null when nothing was locked
};

// ---------------------------------------------------------------------------
// Version
// ---------------------------------------------------------------------------

class ZUUC_EXPORT UnicodeLibrary {
public:
    // 0x04212001; the high 16 bits hold the digits of the version, 4.2.1.
    static unsigned long VersionNumber();
    // "MIRU 4.2.1, May  6 2008 13:54:34"
    static char const * VersionString();
    // True exactly for the pair (28, 16).
    static bool VersionIsCompatible(unsigned long first, unsigned int second);
};

#endif
