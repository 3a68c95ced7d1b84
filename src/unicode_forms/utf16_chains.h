// The stream chains of the Unicode variants (internal). Ownership while a
// chain is built and the rule that a factory whose allocation fails returns
// null come from the transcode contract.
#ifndef ZUUC_SRC_UNICODE_FORMS_UTF16_CHAINS_H
#define ZUUC_SRC_UNICODE_FORMS_UTF16_CHAINS_H

#include <memory>
#include <new>

#include "convert/transcode_contract.h"
#include "zuuc/foundation.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/transcoder.h"

namespace zuuc_unicode_forms {

using zuuc_internal::Chain;
using zuuc_internal::NullOnBadAlloc;
using zuuc_internal::Own;

// The name this folder used for Chain before it moved into the contract;
// code on branches written against it still builds. New code calls Chain.
template <class A, class B, class C>
Transcoder<A, C> * Compose(Transcoder<A, B> * first, Transcoder<B, C> * second,
                           UnicodeLibAllocator & allocator) {
    return Chain(first, second, allocator);
}

// The four stream chains of a variant that adds one conversion step of its
// own (`converter`, run by the adapter `Adapter`) in front of or behind
// its base encoding's stream. Every stage is placed with `allocator` and
// owned by the returned proxy, which the caller deletes.

// Reading: the caller's source, our step, then the base's decoder.
template <class Adapter, class Converter, class Source, class Self, class Base>
ToUnicodeSource * ChainSourceToUnicode(Source & source, Self const & self, Base const & base,
                                       std::unique_ptr<Converter> converter,
                                       UnicodeLibAllocator & allocator) {
    auto inner = Own(new (allocator) Adapter(source, self, converter.get(), base));
    converter.release();
    auto outer = Own(base.CreateCharSourceToUnicode(*inner, allocator));
    if (!outer) {
        return nullptr;
    }
    auto * proxy = new (allocator) ToUnicodeProxySource(self, outer.get());
    proxy->DeleteFirst(outer.release());
    proxy->DeleteSecond(inner.release());
    return proxy;
}

// Producing: the base's encoder over the UTF-32 source, then our step.
template <class Adapter, class Proxy, class Converter, class Self, class Base>
Proxy * ChainSourceFromUnicode(Char32Source & source, Self const & self, Base const & base,
                               std::unique_ptr<Converter> converter,
                               UnicodeLibAllocator & allocator) {
    auto inner = Own(base.CreateCharSourceFromUnicode(source, allocator));
    if (!inner) {
        return nullptr;
    }
    auto outer = Own(new (allocator) Adapter(*inner, base, converter.get(), self));
    converter.release();
    auto * proxy = new (allocator) Proxy(outer.get(), outer.get(), inner.get());
    outer.release();
    inner.release();
    return proxy;
}

// Writing to Unicode: our step first, then the base's decoding sink.
template <class Adapter, class Proxy, class Converter, class Self, class Base>
Proxy * ChainSinkToUnicode(Char32Sink & sink, Self const & self, Base const & base,
                           std::unique_ptr<Converter> converter, UnicodeLibAllocator & allocator) {
    auto inner = Own(base.CreateCharSinkToUnicode(sink, allocator));
    if (!inner) {
        return nullptr;
    }
    auto outer = Own(new (allocator) Adapter(self, converter.get(), base, *inner));
    converter.release();
    auto * proxy = new (allocator) Proxy(outer.get(), outer.get(), inner.get());
    outer.release();
    inner.release();
    return proxy;
}

}  // namespace zuuc_unicode_forms

#endif
