// The transcode contract in one place (internal): what the results mean to
// the code that drives a transcoder, the "no limit" rule and the arithmetic
// of what is left of a limit, the surrogate tests and the trailing-byte
// count of UTF-8, and the one builder of two-stage chains and wrappers with
// its rule for allocation failure.
//
// Every codec, composite, adapter and buffer converter takes these from here;
// a new subsystem that drives transcoders (transforms, collation, the
// formatting engines) does the same.
#ifndef ZUUC_SRC_CONVERT_TRANSCODE_CONTRACT_H
#define ZUUC_SRC_CONVERT_TRANSCODE_CONTRACT_H

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

#include "zuuc/foundation.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal {

// --- results ----------------------------------------------------------------------

// The input held something that must be reported (results 3 to 6): the caller
// substitutes, skips or stops according to its behaviour.
constexpr bool IsInputProblem(TranscodeResult result) {
    return result >= kTranscodeIllegalInput && result <= kTranscodeIllFormedUTF16;
}

// The output side stopped the call (results 2 and 7): call again with room.
constexpr bool IsOutputStop(TranscodeResult result) {
    return result == kTranscodeOutputFull || result == kTranscodeLimitReached;
}

// A stage run without a limit stopped early for a reason its driver must
// report (results 3 to 7; 7 cannot happen without a limit and counts as a
// problem should a stage report it anyway).
constexpr bool IsStageProblem(TranscodeResult result) {
    return result >= kTranscodeIllegalInput && result <= kTranscodeLimitReached;
}

// The call ended normally: nothing is owed (0) or all input was taken (1).
constexpr bool IsDone(TranscodeResult result) {
    return result == kTranscodeComplete || result == kTranscodeInputExhausted;
}

// --- limits -----------------------------------------------------------------------

// `limit` is the most units one call may write; any negative value is "no
// limit", and drivers pass kNoLimit.
constexpr long kNoLimit = -1;

constexpr bool HasLimit(long limit) {
    return limit >= 0;
}

// What is left of `limit` after `written` units (no limit stays no limit).
constexpr long RemainingLimit(long limit, long written) {
    if (!HasLimit(limit)) {
        return kNoLimit;
    }
    return written >= limit ? 0 : limit - written;
}

// True when `units` more after `written` would pass the limit.
constexpr bool ExceedsLimit(long limit, long written, long units) {
    return HasLimit(limit) && written + units > limit;
}

// `room` cut down to what the limit still allows after `written` units.
constexpr std::size_t ClampToLimit(std::size_t room, long limit, long written = 0) {
    if (!HasLimit(limit)) {
        return room;
    }
    long const left = limit - written;
    if (left <= 0) {
        return 0;
    }
    return static_cast<std::size_t>(left) < room ? static_cast<std::size_t>(left) : room;
}

// --- characters ---------------------------------------------------------------------

constexpr unsigned int kByteOrderMark = 0xFEFF;
constexpr unsigned int kReplacementCharacter = 0xFFFD;
constexpr unsigned int kFirstSupplementary = 0x10000;
constexpr unsigned int kLastCodePoint = 0x10FFFF;

constexpr bool IsHighSurrogate(unsigned int u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool IsLowSurrogate(unsigned int u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
constexpr bool IsSurrogate(unsigned int u) {
    return u >= 0xD800 && u <= 0xDFFF;
}

constexpr unsigned int CombineSurrogates(unsigned int high, unsigned int low) {
    return ((high - 0xD800) << 10) + (low - 0xDC00) + kFirstSupplementary;
}
constexpr unsigned short HighSurrogateOf(unsigned int c) {
    return static_cast<unsigned short>(((c - kFirstSupplementary) >> 10) + 0xD800);
}
constexpr unsigned short LowSurrogateOf(unsigned int c) {
    return static_cast<unsigned short>((c & 0x3FF) + 0xDC00);
}

// Continuation bytes a UTF-8 lead byte announces, in the original six-byte
// scheme (0 for ASCII and for continuation bytes themselves).
constexpr unsigned TrailingByteCount(unsigned char b) {
    return b < 0xC0 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : b < 0xF8 ? 3 : b < 0xFC ? 4 : 5;
}
constexpr bool IsContinuationByte(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// --- building chains ----------------------------------------------------------------

// Placed objects are destroyed with a plain `delete`, so std::unique_ptr's
// default deleter returns them to the allocator that made them.
template <class T>
std::unique_ptr<T> Own(T * object) {
    return std::unique_ptr<T>(object);
}

// The one rule for allocation failure in a factory: a factory that cannot
// obtain memory returns null, and whatever it had built so far is released
// by the unique_ptrs holding it. No std::bad_alloc leaves the library.
template <class Make>
auto NullOnBadAlloc(Make && make) -> decltype(make()) {
    try {
        return make();
    } catch (std::bad_alloc const &) {
        return nullptr;
    }
}

// Places one T with `allocator`; null when the allocator has no memory.
template <class T, class... Args>
T * Place(UnicodeLibAllocator & allocator, Args &&... args) {
    return NullOnBadAlloc([&]() -> T * { return new (allocator) T(std::forward<Args>(args)...); });
}

// The composite of `first` then `second`, owning both; null (and both
// deleted) when either is null or the composite cannot be placed.
template <class A, class B, class C>
Transcoder<A, C> * Chain(Transcoder<A, B> * first, Transcoder<B, C> * second,
                         UnicodeLibAllocator & allocator) {
    auto owned_first = Own(first);
    auto owned_second = Own(second);
    if (!owned_first || !owned_second) {
        return nullptr;
    }
    return NullOnBadAlloc([&]() -> Transcoder<A, C> * {
        auto * composite =
            new (allocator) CompositeTranscoderFor<A, B, C>(owned_first.get(), owned_second.get());
        owned_first.release();
        owned_second.release();
        return composite;
    });
}

// Wraps `inner` in the object `make(inner)` places (an adapter or a proxy
// that takes ownership of it); null (and `inner` deleted) when `inner` is
// null or the wrapper cannot be placed.
template <class Inner, class Make>
auto Wrap(Inner * inner, Make && make) -> decltype(make(inner)) {
    auto owned = Own(inner);
    if (!owned) {
        return nullptr;
    }
    return NullOnBadAlloc([&]() -> decltype(make(inner)) {
        auto * wrapper = make(owned.get());
        owned.release();
        return wrapper;
    });
}

// An encoding's transcoder to or from the pivot P (UTF-16 for unsigned
// short, UTF-32 for unsigned int); the factory names are the same in all
// three encoding classes.
template <class P, class Encoding>
auto ConverterToPivot(Encoding const & encoding, UnicodeLibAllocator & allocator) {
    if constexpr (std::is_same<P, unsigned int>::value) {
        return encoding.CreateConverterToUTF32(allocator);
    } else {
        return encoding.CreateConverterToUTF16(allocator);
    }
}
template <class P, class Encoding>
auto ConverterFromPivot(Encoding const & encoding, UnicodeLibAllocator & allocator) {
    if constexpr (std::is_same<P, unsigned int>::value) {
        return encoding.CreateConverterFromUTF32(allocator);
    } else {
        return encoding.CreateConverterFromUTF16(allocator);
    }
}

}  // namespace zuuc_internal

#endif
