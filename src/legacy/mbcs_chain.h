// Building two-stage converters (through UTF-32) for the legacy encodings.
#ifndef ZUUC_SRC_LEGACY_MBCS_CHAIN_H
#define ZUUC_SRC_LEGACY_MBCS_CHAIN_H

#include <memory>

#include "zuuc/char_encoding.h"
#include "zuuc/foundation.h"
#include "zuuc/transcoder.h"

namespace zuuc_legacy {

template <class T>
struct PlacedDeleter {
    void operator()(T * object) const { delete object; }
};

template <class T>
using Placed = std::unique_ptr<T, PlacedDeleter<T>>;

// Places the composite "first then second" with `allocator`; it owns both
// stages. When either stage is missing, or the placement fails, the stages
// are deleted and the result is null (or the exception passes on).
template <class A, class B, class C>
Transcoder<A, C> * Chain(Placed<Transcoder<A, B>> first, Placed<Transcoder<B, C>> second,
                         UnicodeLibAllocator & allocator) {
    if (first == nullptr || second == nullptr) {
        return nullptr;
    }
    Transcoder<A, C> * const composite =
        new (allocator) CompositeTranscoderFor<A, B, C>(first.get(), second.get());
    first.release();
    second.release();
    return composite;
}

// Bytes to UTF-16 through a byte-to-UTF-32 converter.
inline Transcoder<char, unsigned short> * ThroughUTF32(
    Transcoder<char, unsigned int> * to_utf32, UnicodeLibAllocator & allocator) {
    Placed<Transcoder<char, unsigned int>> first(to_utf32);
    if (first == nullptr) {
        return nullptr;
    }
    Placed<Transcoder<unsigned int, unsigned short>> second(
        Char32Encoding::UTF32().CreateConverterToUTF16(allocator));
    return Chain(std::move(first), std::move(second), allocator);
}

// UTF-16 to bytes through a UTF-32-to-byte converter.
inline Transcoder<unsigned short, char> * ThroughUTF32(
    Transcoder<unsigned int, char> * from_utf32, UnicodeLibAllocator & allocator) {
    Placed<Transcoder<unsigned int, char>> second(from_utf32);
    if (second == nullptr) {
        return nullptr;
    }
    Placed<Transcoder<unsigned short, unsigned int>> first(
        Char32Encoding::UTF32().CreateConverterFromUTF16(allocator));
    return Chain(std::move(first), std::move(second), allocator);
}

}  // namespace zuuc_legacy

#endif
