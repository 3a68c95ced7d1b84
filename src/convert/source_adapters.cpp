// Source adapters: a source of one width read as a source of another width
// through a transcoder; and the sources of UTF-32 that know what they decode.
#include "convert/adapter_support.h"
#include "zuuc/stream_adapters.h"

// --- ToUnicodeSource -----------------------------------------------------------

ToUnicodeSource::ToUnicodeSource() : Char32Source() {}
ToUnicodeSource::ToUnicodeSource(ToUnicodeSource const & other) : Char32Source(other) {}
ToUnicodeSource::ToUnicodeSource(UnicodeLibActor const & actor) : Char32Source(actor) {}
ToUnicodeSource::ToUnicodeSource(UnicodeLibActor const * actor) : Char32Source(actor) {}
ToUnicodeSource & ToUnicodeSource::operator=(ToUnicodeSource const & other) {
    Char32Source::operator=(other);
    return *this;
}
ToUnicodeSource::~ToUnicodeSource() = default;

// --- ToUnicodeProxySource ------------------------------------------------------

ToUnicodeProxySource::ToUnicodeProxySource(TextEncoding const & encoding, Char32Source * source)
    : ToUnicodeSource(static_cast<UnicodeLibActor const *>(source)),
      UnicodeLibDirector(),
      encoding_(&encoding),
      source_(source),
      exhausted_(false) {}

ToUnicodeProxySource::~ToUnicodeProxySource() = default;

UnicodeLibBehavior * ToUnicodeProxySource::SetBehavior(UnicodeLibBehavior * behavior) {
    if (behavior != nullptr) {
        SetBehaviors(*behavior);
    }
    if (source_ != nullptr) {
        source_->SetBehavior(behavior);
    }
    return ToUnicodeSource::SetBehavior(behavior);
}

TextEncoding const & ToUnicodeProxySource::ActualInputEncoding() const { return *encoding_; }

int ToUnicodeProxySource::ActualRating() const { return kNotRated; }

bool ToUnicodeProxySource::FillBuffer() {
    if (source_ == nullptr || exhausted_) {
        return false;
    }
    // What our consumer took is consumed below as well.
    source_->DoneWith(position_);
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    if (!source_->GetBuffer(begin, end)) {
        exhausted_ = true;
        SetWindow(nullptr, nullptr);
        return false;
    }
    SetWindow(begin, end);
    return true;
}

// --- The source adapters -------------------------------------------------------
//
// The logic is zuuc_internal::FillSourceAdapter (convert/adapter_support.h);
// each adapter hands it its own fields.

#define ZUUC_SOURCE_ADAPTER(Class, Base, In, Out)                                                 \
    Class::Class(zuuc_internal::SourceOf<In> & source,                                           \
                 zuuc_internal::EncodingOf<In> const & input_encoding,                           \
                 Transcoder<In, Out> * transcoder,                                               \
                 zuuc_internal::EncodingOf<Out> const & output_encoding)                         \
        : Base(static_cast<UnicodeLibActor const &>(source)),                                    \
          input_(&source),                                                                       \
          input_encoding_(&input_encoding),                                                      \
          output_encoding_(&output_encoding),                                                    \
          transcoder_(transcoder) {                                                              \
        transcoder_->SetBehavior(GetBehavior());                                                 \
    }                                                                                            \
    Class::~Class() { delete transcoder_; }                                                      \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {                     \
        transcoder_->SetBehavior(behavior);                                                      \
        return Base::SetBehavior(behavior);                                                      \
    }                                                                                            \
    void Class::InsertInput(In const * begin, In const * end) {                                  \
        zuuc_internal::HoldInserted(pending_input_, begin, end);                                 \
    }                                                                                            \
    void Class::InsertOutput(Out const * begin, Out const * end) {                               \
        zuuc_internal::HoldInserted(pending_output_, begin, end);                                \
    }                                                                                            \
    bool Class::FillBuffer() {                                                                   \
        return zuuc_internal::FillSourceAdapter(*this, *input_, *input_encoding_, *transcoder_,  \
                                                *output_encoding_, pending_input_,               \
                                                pending_output_, buffer_, position_, end_);      \
    }

// The adapters to a Unicode width report their input encoding, not rated.
#define ZUUC_NOT_RATED(Class)                                                                    \
    TextEncoding const & Class::ActualInputEncoding() const { return *input_encoding_; }        \
    int Class::ActualRating() const { return ToUnicodeSource::kNotRated; }

ZUUC_SOURCE_ADAPTER(CharSource_8_to_16, Char16Source, char, unsigned short)
ZUUC_SOURCE_ADAPTER(CharSource_8_to_32, ToUnicodeSource, char, unsigned int)
ZUUC_SOURCE_ADAPTER(CharSource_16_to_8, CharSource, unsigned short, char)
ZUUC_SOURCE_ADAPTER(CharSource_16_to_16, Char16Source, unsigned short, unsigned short)
ZUUC_SOURCE_ADAPTER(CharSource_16_to_32, ToUnicodeSource, unsigned short, unsigned int)
ZUUC_SOURCE_ADAPTER(CharSource_32_to_8, CharSource, unsigned int, char)
ZUUC_SOURCE_ADAPTER(CharSource_32_to_16, Char16Source, unsigned int, unsigned short)
ZUUC_SOURCE_ADAPTER(CharSource_32_to_32, ToUnicodeSource, unsigned int, unsigned int)

ZUUC_NOT_RATED(CharSource_8_to_16)
ZUUC_NOT_RATED(CharSource_8_to_32)
ZUUC_NOT_RATED(CharSource_16_to_16)
ZUUC_NOT_RATED(CharSource_16_to_32)
ZUUC_NOT_RATED(CharSource_32_to_32)

#undef ZUUC_SOURCE_ADAPTER
#undef ZUUC_NOT_RATED
