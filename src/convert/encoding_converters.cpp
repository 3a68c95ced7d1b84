// Encoding converters: pipelines from any encoding to any other through
// UTF-32, with their stages placed in an arena inside the converter.
#include "zuuc/encoding_converters.h"

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

bool IsUTF32(TextEncoding const & encoding) { return encoding == Char32Encoding::UTF32(); }

}  // namespace

// ===========================================================================
// Converter sources
// ===========================================================================
//
// The director owns the encoding stage as its first actor and the decoding
// stage as its second, so the encoding stage is deleted first.

#define ZUUC_CONVERTER_COMMON(Class, Base)                                                       \
    Class::~Class() = default;                                                                   \
                                                                                                 \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {                     \
        director_.SetBehaviors(Resolved(behavior));                                              \
        return Base::SetBehavior(behavior);                                                      \
    }                                                                                            \
                                                                                                 \
    TextEncoding & Class::ActualInputEncoding() const {                                          \
        TextEncoding const * encoding = fixed_input_encoding_;                                   \
        if (encoding == nullptr) {                                                               \
            encoding = to_unicode_ != nullptr ? &to_unicode_->ActualInputEncoding()              \
                                              : input_encoding_;                                 \
        }                                                                                        \
        /* Encodings are process-wide objects; callers may hold them as they like. */           \
        return const_cast<TextEncoding &>(*encoding);                                            \
    }                                                                                            \
                                                                                                 \
    int Class::ActualRating() const {                                                            \
        if (fixed_input_encoding_ != nullptr || to_unicode_ == nullptr) {                        \
            return ToUnicodeSource::kNotRated;                                                   \
        }                                                                                        \
        return to_unicode_->ActualRating();                                                      \
    }

// --- CharEncodingConverter ------------------------------------------------------------

CharEncodingConverter::CharEncodingConverter(CharSource & source,
                                             CharEncoding const & input_encoding,
                                             CharEncoding const & output_encoding)
    : CharProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(nullptr),
      to_unicode_(nullptr) {
    if (input_encoding == output_encoding) {
        fixed_input_encoding_ = &input_encoding;
        SetProxy(&source);  // the bytes pass through untouched
        return;
    }
    ToUnicodeSource * decoding =
        Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
    director_.DeleteSecond(decoding);
    to_unicode_ = decoding;
    Build(*decoding, output_encoding);
}

CharEncodingConverter::CharEncodingConverter(Char16Source & source,
                                             Char16Encoding const & input_encoding,
                                             CharEncoding const & output_encoding)
    : CharProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(nullptr),
      to_unicode_(nullptr) {
    ToUnicodeSource * decoding =
        Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
    director_.DeleteSecond(decoding);
    to_unicode_ = decoding;
    Build(*decoding, output_encoding);
}

CharEncodingConverter::CharEncodingConverter(Char32Source & source,
                                             Char32Encoding const & input_encoding,
                                             CharEncoding const & output_encoding)
    : CharProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(&input_encoding),
      to_unicode_(nullptr) {
    Char32Source * pivot = &source;
    if (!IsUTF32(input_encoding)) {
        ToUnicodeSource * decoding =
            Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
        director_.DeleteSecond(decoding);
        pivot = decoding;
    }
    Build(*pivot, output_encoding);
}

void CharEncodingConverter::Build(Char32Source & pivot, CharEncoding const & output_encoding) {
    CharSource * encoding = RequiredOutput(
        output_encoding.CreateCharSourceFromUnicode(pivot, arena_.allocator()), output_encoding);
    director_.DeleteFirst(encoding);
    SetProxy(encoding);
}

ZUUC_CONVERTER_COMMON(CharEncodingConverter, CharProxySource)

// --- Char16EncodingConverter ----------------------------------------------------------

Char16EncodingConverter::Char16EncodingConverter(CharSource & source,
                                                 CharEncoding const & input_encoding,
                                                 Char16Encoding const & output_encoding)
    : Char16ProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(nullptr),
      to_unicode_(nullptr) {
    ToUnicodeSource * decoding =
        Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
    director_.DeleteSecond(decoding);
    to_unicode_ = decoding;
    Build(decoding, output_encoding);
}

Char16EncodingConverter::Char16EncodingConverter(Char16Source & source,
                                                 Char16Encoding const & input_encoding,
                                                 Char16Encoding const & output_encoding)
    : Char16ProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(&input_encoding),
      to_unicode_(nullptr) {
    if (input_encoding == output_encoding) {
        SetProxy(&source);  // the units pass through untouched
        return;
    }
    ToUnicodeSource * decoding =
        Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
    director_.DeleteSecond(decoding);
    Build(decoding, output_encoding);
}

Char16EncodingConverter::Char16EncodingConverter(Char32Source & source,
                                                 Char32Encoding const & input_encoding,
                                                 Char16Encoding const & output_encoding)
    : Char16ProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(nullptr),
      to_unicode_(nullptr) {
    ToUnicodeSource * decoding =
        Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
    director_.DeleteSecond(decoding);
    to_unicode_ = decoding;
    Build(decoding, output_encoding);
}

void Char16EncodingConverter::Build(ToUnicodeSource * decoding,
                                    Char16Encoding const & output_encoding) {
    Char16Source * encoding =
        Required(output_encoding.CreateCharSourceFromUnicode(*decoding, arena_.allocator()));
    director_.DeleteFirst(encoding);
    SetProxy(encoding);
}

ZUUC_CONVERTER_COMMON(Char16EncodingConverter, Char16ProxySource)

// --- Char32EncodingConverter ----------------------------------------------------------

Char32EncodingConverter::Char32EncodingConverter(CharSource & source,
                                                 CharEncoding const & input_encoding,
                                                 Char32Encoding const & output_encoding)
    : Char32ProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(nullptr),
      to_unicode_(nullptr) {
    ToUnicodeSource * decoding =
        Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
    director_.DeleteSecond(decoding);
    to_unicode_ = decoding;
    Build(*decoding, decoding, output_encoding);
}

Char32EncodingConverter::Char32EncodingConverter(Char16Source & source,
                                                 Char16Encoding const & input_encoding,
                                                 Char32Encoding const & output_encoding)
    : Char32ProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(nullptr),
      to_unicode_(nullptr) {
    ToUnicodeSource * decoding =
        Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
    director_.DeleteSecond(decoding);
    to_unicode_ = decoding;
    Build(*decoding, decoding, output_encoding);
}

Char32EncodingConverter::Char32EncodingConverter(Char32Source & source,
                                                 Char32Encoding const & input_encoding,
                                                 Char32Encoding const & output_encoding)
    : Char32ProxySource(nullptr),
      input_encoding_(&input_encoding),
      fixed_input_encoding_(&input_encoding),
      to_unicode_(nullptr) {
    ToUnicodeSource * decoding = nullptr;
    if (!IsUTF32(input_encoding)) {
        decoding = Required(input_encoding.CreateCharSourceToUnicode(source, arena_.allocator()));
        director_.DeleteSecond(decoding);
    }
    Build(source, decoding, output_encoding);
}

// Encodes the decoded text unless the output is UTF-32 itself, then proxies
// the last stage made (or the input when no stage was needed).
void Char32EncodingConverter::Build(Char32Source & input, ToUnicodeSource * decoding,
                                    Char32Encoding const & output_encoding) {
    Char32Source * const pivot = decoding != nullptr ? decoding : &input;
    if (IsUTF32(output_encoding)) {
        SetProxy(pivot);
        return;
    }
    Char32Source * encoding =
        Required(output_encoding.CreateCharSourceFromUnicode(*pivot, arena_.allocator()));
    director_.DeleteFirst(encoding);
    SetProxy(encoding);
}

ZUUC_CONVERTER_COMMON(Char32EncodingConverter, Char32ProxySource)

#undef ZUUC_CONVERTER_COMMON

// ===========================================================================
// Converter sinks
// ===========================================================================
//
// The decoding stage writes into the encoding stage, which writes into the
// target. The director owns the decoding stage as its first actor, so it is
// deleted (and finishes its conversion into the encoding stage) while the
// encoding stage still exists; the encoding stage then finishes into the
// target.

#define ZUUC_CONVERTER_SINK_COMMON(Class, Base, InputEncoding)                                   \
    Class::~Class() = default;                                                                   \
                                                                                                 \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {                     \
        director_.SetBehaviors(Resolved(behavior));                                              \
        return Base::SetBehavior(behavior);                                                      \
    }                                                                                            \
                                                                                                 \
    void Class::Build(InputEncoding const & input_encoding, Char32Sink * encoding) {             \
        director_.DeleteSecond(encoding);                                                        \
        auto * decoding =                                                                        \
            Required(input_encoding.CreateCharSinkToUnicode(*encoding, arena_.allocator()));     \
        director_.DeleteFirst(decoding);                                                         \
        SetProxy(decoding);                                                                      \
    }

#define ZUUC_CONVERTER_SINK_CONSTRUCTORS(Class, Base, InputEncoding)                             \
    Class::Class(InputEncoding const & input_encoding, CharEncoding const & output_encoding,     \
                 CharSink & target)                                                              \
        : Base(nullptr) {                                                                        \
        Build(input_encoding,                                                                    \
              RequiredOutput(output_encoding.CreateCharSinkFromUnicode(target, arena_.allocator()), \
                             output_encoding));                                                  \
    }                                                                                            \
                                                                                                 \
    Class::Class(InputEncoding const & input_encoding, Char16Encoding const & output_encoding,   \
                 Char16Sink & target)                                                            \
        : Base(nullptr) {                                                                        \
        Build(input_encoding,                                                                    \
              Required(output_encoding.CreateCharSinkFromUnicode(target, arena_.allocator())));  \
    }                                                                                            \
                                                                                                 \
    Class::Class(InputEncoding const & input_encoding, Char32Encoding const & output_encoding,   \
                 Char32Sink & target)                                                            \
        : Base(nullptr) {                                                                        \
        Build(input_encoding,                                                                    \
              Required(output_encoding.CreateCharSinkFromUnicode(target, arena_.allocator())));  \
    }

ZUUC_CONVERTER_SINK_COMMON(CharEncodingConverterSink, CharProxySink, CharEncoding)
ZUUC_CONVERTER_SINK_CONSTRUCTORS(CharEncodingConverterSink, CharProxySink, CharEncoding)
ZUUC_CONVERTER_SINK_COMMON(Char16EncodingConverterSink, Char16ProxySink, Char16Encoding)
ZUUC_CONVERTER_SINK_CONSTRUCTORS(Char16EncodingConverterSink, Char16ProxySink, Char16Encoding)
ZUUC_CONVERTER_SINK_COMMON(Char32EncodingConverterSink, Char32ProxySink, Char32Encoding)
ZUUC_CONVERTER_SINK_CONSTRUCTORS(Char32EncodingConverterSink, Char32ProxySink, Char32Encoding)

#undef ZUUC_CONVERTER_SINK_COMMON
#undef ZUUC_CONVERTER_SINK_CONSTRUCTORS

// ===========================================================================
// Char16Sink::Put(Char32Source &)
// ===========================================================================

void Char16Sink::Put(Char32Source & source) {
    Char16EncodingConverter converter(source, Char32Encoding::UTF32(), Char16Encoding::UTF16());
    Put(static_cast<Char16Source &>(converter));
}
