// The stream chains of the Unicode variants (internal). Ownership while a
// chain is built and the rule that a factory whose allocation fails returns
// null come from the transcode contract.
#ifndef ZUUC_SRC_UNICODE_FORMS_UTF16_CHAINS_H
#define ZUUC_SRC_UNICODE_FORMS_UTF16_CHAINS_H

#include <memory>
#include <new>
#include <type_traits>

#include "convert/encoding_streams.h"
#include "convert/transcode_contract.h"
#include "streams/directed_proxies.h"
#include "streams/unit_width.h"
#include "zuuc/foundation.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::unicode_forms {

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

// Writing from Unicode: the base's encoding sink writes into our step,
// which writes into `sink`. The outer stage goes first: it finishes into
// the inner one.
template <class Adapter, class Converter, class Self, class Base>
Char32Sink * ChainSinkFromUnicode(zuuc_internal::SinkOf<zuuc_internal::UnitOfEncoding<Self>> & sink,
                                  Self const & self, Base const & base,
                                  std::unique_ptr<Converter> converter,
                                  UnicodeLibAllocator & allocator) {
    auto inner = Own(new (allocator) Adapter(base, converter.get(), self, sink));
    converter.release();
    auto outer = Own(base.CreateCharSinkFromUnicode(*inner, allocator));
    if (!outer) {
        return nullptr;
    }
    auto * proxy = new (allocator) DirectedChar32ProxySink(outer.get(), outer.get(), inner.get());
    outer.release();
    inner.release();
    return proxy;
}

using zuuc_internal::AdapterOf;

// A step is placed with the byte order of its variant when it has one.
template <class Step, class Self>
Step * NewStep(Self const & self, UnicodeLibAllocator & allocator) {
    if constexpr (std::is_constructible<Step, bool>::value) {
        return new (allocator) Step(self.IsBigEndian());
    } else {
        return new (allocator) Step;
    }
}

// The factories of a variant that adds one step of its own to its base
// encoding: `Decoder` from the variant's units to the base's in front of the
// base's decoding, `Encoder` back behind the base's encoding (the byte
// streams of UCS-2 and UTF-32, the byte-order-mark variants). Every factory
// returns null when memory runs out.
template <class Decoder, class Encoder, class Self, class Base>
struct StepVariant {
    using Unit = zuuc_internal::UnitOfEncoding<Self>;
    using BaseUnit = zuuc_internal::UnitOfEncoding<Base>;
    using Source = zuuc_internal::SourceOf<Unit>;
    using Sink = zuuc_internal::SinkOf<Unit>;

    Self const & self;
    Base const & base;

    ToUnicodeSource * SourceToUnicode(Source & source, UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&] {
            return ChainSourceToUnicode<typename AdapterOf<Unit, BaseUnit>::Source>(
                source, self, base, Own(NewStep<Decoder>(self, allocator)), allocator);
        });
    }

    Source * SourceFromUnicode(Char32Source & source, UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&]() -> Source * {
            return ChainSourceFromUnicode<
                typename AdapterOf<BaseUnit, Unit>::Source,
                DirectedProxy<zuuc_internal::ProxySourceOf<Unit>, Source>>(
                source, self, base, Own(NewStep<Encoder>(self, allocator)), allocator);
        });
    }

    Sink * SinkToUnicode(Char32Sink & sink, UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&]() -> Sink * {
            return ChainSinkToUnicode<typename AdapterOf<Unit, BaseUnit>::Sink,
                                      DirectedProxy<zuuc_internal::ProxySinkOf<Unit>, Sink>>(
                sink, self, base, Own(NewStep<Decoder>(self, allocator)), allocator);
        });
    }

    Char32Sink * SinkFromUnicode(Sink & sink, UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&]() -> Char32Sink * {
            return ChainSinkFromUnicode<typename AdapterOf<BaseUnit, Unit>::Sink>(
                sink, self, base, Own(NewStep<Encoder>(self, allocator)), allocator);
        });
    }

    // To the pivot P: our step, then the base's decoder (none when the base
    // is the pivot itself).
    template <class P>
    Transcoder<Unit, P> * ConverterTo(UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&]() -> Transcoder<Unit, P> * {
            auto step = Own(NewStep<Decoder>(self, allocator));
            auto decoder = Own(zuuc_internal::ConverterToPivot<P>(base, allocator));
            if constexpr (std::is_same<BaseUnit, P>::value) {
                if (!decoder) {
                    return step.release();
                }
            }
            return Chain<Unit, BaseUnit, P>(step.release(), decoder.release(), allocator);
        });
    }

    // From the pivot P: the base's encoder, then our step.
    template <class P>
    Transcoder<P, Unit> * ConverterFrom(UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&]() -> Transcoder<P, Unit> * {
            auto encoder = Own(zuuc_internal::ConverterFromPivot<P>(base, allocator));
            auto step = Own(NewStep<Encoder>(self, allocator));
            if constexpr (std::is_same<BaseUnit, P>::value) {
                if (!encoder) {
                    return step.release();
                }
            }
            return Chain<P, BaseUnit, Unit>(encoder.release(), step.release(), allocator);
        });
    }
};

// The eight factories of a step variant, forwarded to StepVariant.
#define ZUUC_STEP_VARIANT_FACTORIES(Class, Decoder, Encoder)                                      \
    ToUnicodeSource * Class::CreateCharSourceToUnicode(                                           \
        zuuc_internal::SourceOf<zuuc_internal::UnitOfEncoding<Class>> & source,                   \
        UnicodeLibAllocator & allocator) const {                                                  \
        return ZUUC_STEPS(Decoder, Encoder).SourceToUnicode(source, allocator);                   \
    }                                                                                             \
    zuuc_internal::SourceOf<zuuc_internal::UnitOfEncoding<Class>> *                               \
    Class::CreateCharSourceFromUnicode(Char32Source & source, UnicodeLibAllocator & allocator)    \
        const {                                                                                   \
        return ZUUC_STEPS(Decoder, Encoder).SourceFromUnicode(source, allocator);                 \
    }                                                                                             \
    zuuc_internal::SinkOf<zuuc_internal::UnitOfEncoding<Class>> * Class::CreateCharSinkToUnicode( \
        Char32Sink & sink, UnicodeLibAllocator & allocator) const {                               \
        return ZUUC_STEPS(Decoder, Encoder).SinkToUnicode(sink, allocator);                       \
    }                                                                                             \
    Char32Sink * Class::CreateCharSinkFromUnicode(                                                \
        zuuc_internal::SinkOf<zuuc_internal::UnitOfEncoding<Class>> & sink,                       \
        UnicodeLibAllocator & allocator) const {                                                  \
        return ZUUC_STEPS(Decoder, Encoder).SinkFromUnicode(sink, allocator);                     \
    }                                                                                             \
    Transcoder<zuuc_internal::UnitOfEncoding<Class>, unsigned short> *                            \
    Class::CreateConverterToUTF16(UnicodeLibAllocator & allocator) const {                        \
        return ZUUC_STEPS(Decoder, Encoder).template ConverterTo<unsigned short>(allocator);      \
    }                                                                                             \
    Transcoder<zuuc_internal::UnitOfEncoding<Class>, unsigned int> *                              \
    Class::CreateConverterToUTF32(UnicodeLibAllocator & allocator) const {                        \
        return ZUUC_STEPS(Decoder, Encoder).template ConverterTo<unsigned int>(allocator);        \
    }                                                                                             \
    Transcoder<unsigned short, zuuc_internal::UnitOfEncoding<Class>> *                            \
    Class::CreateConverterFromUTF16(UnicodeLibAllocator & allocator) const {                      \
        return ZUUC_STEPS(Decoder, Encoder).template ConverterFrom<unsigned short>(allocator);    \
    }                                                                                             \
    Transcoder<unsigned int, zuuc_internal::UnitOfEncoding<Class>> *                              \
    Class::CreateConverterFromUTF32(UnicodeLibAllocator & allocator) const {                      \
        return ZUUC_STEPS(Decoder, Encoder).template ConverterFrom<unsigned int>(allocator);      \
    }

#define ZUUC_STEPS(Decoder, Encoder)                              \
    (StepVariant<Decoder, Encoder, std::decay_t<decltype(*this)>, \
                 std::decay_t<decltype(GetBase())>>{*this, GetBase()})

}  // namespace zuuc_internal::unicode_forms

#endif
