// Helpers for the factories of the Unicode encodings (internal): ownership
// while a chain of stream stages or transcoders is being built, and the
// rule that a factory whose allocation fails returns null.
#ifndef ZUUC_SRC_UNICODE_FORMS_UTF16_CHAINS_H
#define ZUUC_SRC_UNICODE_FORMS_UTF16_CHAINS_H

#include <memory>
#include <new>

#include "zuuc/foundation.h"
#include "zuuc/transcoder.h"

namespace zuuc_unicode_forms {

// Placed objects are destroyed with a plain `delete`, so std::unique_ptr's
// default deleter returns them to the allocator that made them.
template <class T>
std::unique_ptr<T> Own(T * object) {
    return std::unique_ptr<T>(object);
}

// Runs a factory body; a failed allocation gives null (whatever was built
// so far is released by the unique_ptrs holding it).
template <class Make>
auto NullOnBadAlloc(Make make) -> decltype(make()) {
    try {
        return make();
    } catch (std::bad_alloc const &) {
        return nullptr;
    }
}

// The composite of `first` then `second`, owning both; null (and both
// deleted) when either is null or the composite cannot be placed.
template <class A, class B, class C>
Transcoder<A, C> * Compose(Transcoder<A, B> * first, Transcoder<B, C> * second,
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

}  // namespace zuuc_unicode_forms

#endif
