// Encoding converters: pipelines from any encoding to any other through
// UTF-32, with their stages placed in an arena inside the converter.
#include "zuuc/encoding_converters.h"

#include <type_traits>

#include "streams/unit_width.h"
#include "zuuc/behavior.h"
#include "zuuc/exceptions.h"
#include "zuuc/stream_adapters.h"

namespace {

// A null behaviour stands for the default, so that every stage ends up
// with the same one.
UnicodeLibBehavior & Resolved(UnicodeLibBehavior * behavior) {
    return behavior != nullptr ? *behavior : *UnicodeLibBehavior::GetDefaultBehavior();
}

// A stage that a 16- or 32-bit encoding (or a decoding encoding) could not
// make; byte output encodings report InvalidOutputEncoding instead.
template <class Stage>
Stage * Required(Stage * stage) {
    if (stage == nullptr) {
        throw UnicodeLibraryException();
    }
    return stage;
}

template <class Stage>
Stage * RequiredOutput(Stage * stage, CharEncoding const & output_encoding) {
    if (stage == nullptr) {
        throw InvalidOutputEncoding(output_encoding);
    }
    return stage;
}

bool IsUTF32(TextEncoding const & encoding) {
    return encoding == Char32Encoding::UTF32();
}

// The stage that writes Out: a byte encoding that cannot make it reports
// itself as the invalid output encoding.
template <class Stage>
Stage * RequiredStage(Stage * stage, TextEncoding const &) {
    return Required(stage);
}
template <class Stage>
Stage * RequiredStage(Stage * stage, CharEncoding const & output_encoding) {
    return RequiredOutput(stage, output_encoding);
}

// The fields of an encoding converter (source or sink) its stages are built
// with: the arena they are placed in and the director that owns them.
struct ConverterParts {
    UnicodeLibAllocator & arena;
    UnicodeLibDirector & director;
};

// The encoding stage of a converter source over the UTF-32 `pivot`, owned by
// the director as its first actor; none when the output is UTF-32 itself.
template <class Out>
zuuc_internal::SourceOf<Out> * Encode(ConverterParts parts, Char32Source & pivot,
                                      zuuc_internal::EncodingOf<Out> const & output_encoding) {
    if constexpr (std::is_same<Out, unsigned int>::value) {
        if (IsUTF32(output_encoding)) {
            return &pivot;
        }
    }
    auto * encoding = RequiredStage(output_encoding.CreateCharSourceFromUnicode(pivot, parts.arena),
                                    output_encoding);
    parts.director.DeleteFirst(encoding);
    return encoding;
}

// A converter source from In to Out. The director owns the encoding stage as
// its first actor and the decoding stage as its second, so the encoding
// stage is deleted first. Returns the source the converter proxies:
//  - the input itself when both sides are the same byte or UTF-16 encoding;
//  - else the input decoded to UTF-32 (UTF-32 itself is decoded only on the
//    way to UTF-16), encoded unless the output is UTF-32.
// The decoding stage's encoding and rating are reported as the converter's
// own (`to_unicode`), except from UTF-32 to bytes or UTF-32 and from UTF-16
// to UTF-16, where the input's encoding is the one given (`fixed`).
template <class In, class Out>
zuuc_internal::SourceOf<Out> * ConnectSource(ConverterParts parts,
                                             zuuc_internal::SourceOf<In> & source,
                                             zuuc_internal::EncodingOf<In> const & input_encoding,
                                             zuuc_internal::EncodingOf<Out> const & output_encoding,
                                             TextEncoding const *& fixed,
                                             ToUnicodeSource *& to_unicode) {
    constexpr bool kFromUTF32 = std::is_same<In, unsigned int>::value;
    constexpr bool kFixed =
        (kFromUTF32 && !std::is_same<Out, unsigned short>::value) ||
        (std::is_same<In, unsigned short>::value && std::is_same<Out, In>::value);
    if constexpr (std::is_same<In, Out>::value && !kFromUTF32) {
        if (input_encoding == output_encoding) {
            fixed = &input_encoding;
            return &source;  // the units pass through untouched
        }
    }
    if (kFixed) {
        fixed = &input_encoding;
    }
    Char32Source * pivot = nullptr;
    if constexpr (kFromUTF32 && kFixed) {
        if (IsUTF32(input_encoding)) {
            pivot = &source;
        }
    }
    if (pivot == nullptr) {
        ToUnicodeSource * decoding =
            Required(input_encoding.CreateCharSourceToUnicode(source, parts.arena));
        parts.director.DeleteSecond(decoding);
        if (!kFixed) {
            to_unicode = decoding;
        }
        pivot = decoding;
    }
    return Encode<Out>(parts, *pivot, output_encoding);
}

// The encoding the converter reads: the one given, or the one its decoding
// stage reports (for an auto-detecting encoding, the one detected).
TextEncoding & ActualInput(TextEncoding const * input, TextEncoding const * fixed,
                           ToUnicodeSource const * to_unicode) {
    TextEncoding const * encoding = fixed;
    if (encoding == nullptr) {
        encoding = to_unicode != nullptr ? &to_unicode->ActualInputEncoding() : input;
    }
    // Encodings are process-wide objects; callers may hold them as they like.
    return const_cast<TextEncoding &>(*encoding);
}

int ActualRatingOf(TextEncoding const * fixed, ToUnicodeSource const * to_unicode) {
    if (fixed != nullptr || to_unicode == nullptr) {
        return ToUnicodeSource::kNotRated;
    }
    return to_unicode->ActualRating();
}

// A converter sink from In to Out: the decoding stage writes into the
// encoding stage, which writes into the target. The director owns the
// decoding stage as its first actor, so it is deleted (and finishes its
// conversion into the encoding stage) while the encoding stage still exists;
// the encoding stage then finishes into the target. Returns the decoding
// stage, which the converter proxies.
template <class In>
zuuc_internal::SinkOf<In> * ConnectSink(ConverterParts parts,
                                        zuuc_internal::EncodingOf<In> const & input_encoding,
                                        Char32Sink * encoding) {
    parts.director.DeleteSecond(encoding);
    auto * decoding = Required(input_encoding.CreateCharSinkToUnicode(*encoding, parts.arena));
    parts.director.DeleteFirst(decoding);
    return decoding;
}

}  // namespace

// ===========================================================================
// Converter sources
// ===========================================================================

#define ZUUC_CONVERTER_SOURCE(Class, Base, In, Out)                                          \
    Class::Class(zuuc_internal::SourceOf<In> & source,                                       \
                 zuuc_internal::EncodingOf<In> const & input_encoding,                       \
                 zuuc_internal::EncodingOf<Out> const & output_encoding)                     \
        : Base(nullptr),                                                                     \
          input_encoding_(&input_encoding),                                                  \
          fixed_input_encoding_(nullptr),                                                    \
          to_unicode_(nullptr) {                                                             \
        SetProxy(ConnectSource<In, Out>(ZUUC_PARTS, source, input_encoding, output_encoding, \
                                        fixed_input_encoding_, to_unicode_));                \
    }

#define ZUUC_CONVERTER_SOURCE_COMMON(Class, Base)                                \
    Class::~Class() = default;                                                   \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {     \
        director_.SetBehaviors(Resolved(behavior));                              \
        return Base::SetBehavior(behavior);                                      \
    }                                                                            \
    TextEncoding & Class::ActualInputEncoding() const {                          \
        return ActualInput(input_encoding_, fixed_input_encoding_, to_unicode_); \
    }                                                                            \
    int Class::ActualRating() const {                                            \
        return ActualRatingOf(fixed_input_encoding_, to_unicode_);               \
    }

#define ZUUC_PARTS (ConverterParts{arena_.allocator(), director_})

ZUUC_CONVERTER_SOURCE(CharEncodingConverter, CharProxySource, char, char)
ZUUC_CONVERTER_SOURCE(CharEncodingConverter, CharProxySource, unsigned short, char)
ZUUC_CONVERTER_SOURCE(CharEncodingConverter, CharProxySource, unsigned int, char)
ZUUC_CONVERTER_SOURCE(Char16EncodingConverter, Char16ProxySource, char, unsigned short)
ZUUC_CONVERTER_SOURCE(Char16EncodingConverter, Char16ProxySource, unsigned short, unsigned short)
ZUUC_CONVERTER_SOURCE(Char16EncodingConverter, Char16ProxySource, unsigned int, unsigned short)
ZUUC_CONVERTER_SOURCE(Char32EncodingConverter, Char32ProxySource, char, unsigned int)
ZUUC_CONVERTER_SOURCE(Char32EncodingConverter, Char32ProxySource, unsigned short, unsigned int)
ZUUC_CONVERTER_SOURCE(Char32EncodingConverter, Char32ProxySource, unsigned int, unsigned int)
ZUUC_CONVERTER_SOURCE_COMMON(CharEncodingConverter, CharProxySource)
ZUUC_CONVERTER_SOURCE_COMMON(Char16EncodingConverter, Char16ProxySource)
ZUUC_CONVERTER_SOURCE_COMMON(Char32EncodingConverter, Char32ProxySource)

// The encoding stage over a pivot the converter already has.
void CharEncodingConverter::Build(Char32Source & pivot, CharEncoding const & output_encoding) {
    SetProxy(Encode<char>(ZUUC_PARTS, pivot, output_encoding));
}
void Char16EncodingConverter::Build(ToUnicodeSource * decoding,
                                    Char16Encoding const & output_encoding) {
    SetProxy(Encode<unsigned short>(ZUUC_PARTS, *decoding, output_encoding));
}
void Char32EncodingConverter::Build(Char32Source & input, ToUnicodeSource * decoding,
                                    Char32Encoding const & output_encoding) {
    Char32Source & pivot = decoding != nullptr ? *decoding : input;
    SetProxy(Encode<unsigned int>(ZUUC_PARTS, pivot, output_encoding));
}

#undef ZUUC_CONVERTER_SOURCE
#undef ZUUC_CONVERTER_SOURCE_COMMON

// ===========================================================================
// Converter sinks
// ===========================================================================

#define ZUUC_CONVERTER_SINK(Class, Base, In, Out)                                                  \
    Class::Class(zuuc_internal::EncodingOf<In> const & input_encoding,                             \
                 zuuc_internal::EncodingOf<Out> const & output_encoding,                           \
                 zuuc_internal::SinkOf<Out> & target)                                              \
        : Base(nullptr) {                                                                          \
        Build(input_encoding,                                                                      \
              RequiredStage(output_encoding.CreateCharSinkFromUnicode(target, arena_.allocator()), \
                            output_encoding));                                                     \
    }

#define ZUUC_CONVERTER_SINK_COMMON(Class, Base, In)                          \
    Class::~Class() = default;                                               \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) { \
        director_.SetBehaviors(Resolved(behavior));                          \
        return Base::SetBehavior(behavior);                                  \
    }                                                                        \
    void Class::Build(zuuc_internal::EncodingOf<In> const & input_encoding,  \
                      Char32Sink * encoding) {                               \
        SetProxy(ConnectSink<In>(ZUUC_PARTS, input_encoding, encoding));     \
    }

ZUUC_CONVERTER_SINK(CharEncodingConverterSink, CharProxySink, char, char)
ZUUC_CONVERTER_SINK(CharEncodingConverterSink, CharProxySink, char, unsigned short)
ZUUC_CONVERTER_SINK(CharEncodingConverterSink, CharProxySink, char, unsigned int)
ZUUC_CONVERTER_SINK(Char16EncodingConverterSink, Char16ProxySink, unsigned short, char)
ZUUC_CONVERTER_SINK(Char16EncodingConverterSink, Char16ProxySink, unsigned short, unsigned short)
ZUUC_CONVERTER_SINK(Char16EncodingConverterSink, Char16ProxySink, unsigned short, unsigned int)
ZUUC_CONVERTER_SINK(Char32EncodingConverterSink, Char32ProxySink, unsigned int, char)
ZUUC_CONVERTER_SINK(Char32EncodingConverterSink, Char32ProxySink, unsigned int, unsigned short)
ZUUC_CONVERTER_SINK(Char32EncodingConverterSink, Char32ProxySink, unsigned int, unsigned int)
ZUUC_CONVERTER_SINK_COMMON(CharEncodingConverterSink, CharProxySink, char)
ZUUC_CONVERTER_SINK_COMMON(Char16EncodingConverterSink, Char16ProxySink, unsigned short)
ZUUC_CONVERTER_SINK_COMMON(Char32EncodingConverterSink, Char32ProxySink, unsigned int)

#undef ZUUC_CONVERTER_SINK
#undef ZUUC_CONVERTER_SINK_COMMON
#undef ZUUC_PARTS

// ===========================================================================
// Char16Sink::Put(Char32Source &)
// ===========================================================================

void Char16Sink::Put(Char32Source & source) {
    Char16EncodingConverter converter(source, Char32Encoding::UTF32(), Char16Encoding::UTF16());
    Put(static_cast<Char16Source &>(converter));
}
