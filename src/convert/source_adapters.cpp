// Source adapters: a source of one width read as a source of another width
// through a transcoder; and the sources of UTF-32 that know what they decode.
#include "convert/adapter_support.h"
#include "zuuc/stream_adapters.h"

using zuuc_adapter::ProblemKinds;

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
// Every adapter has the same members; they differ in unit types, encodings,
// buffer size and the problems they raise.

namespace {

using Kinds_8_to_16 = ProblemKinds<CharToChar16IllegalByteRange,
                                   CharToChar16NoCharacterDefinedForCodepoint, void>;
using Kinds_8_to_32 = ProblemKinds<CharToChar32IllegalByteRange,
                                   CharToChar32NoCharacterDefinedForCodepoint, void>;
using Kinds_16_to_32 = ProblemKinds<Char16ToChar32IllegalByteRange,
                                    Char16ToChar32NoCharacterDefinedForCodepoint, void>;
using Kinds_16_to_8 = ProblemKinds<void, void, Char16ToCharCharacterNotInRepertoire>;
using Kinds_32_to_8 = ProblemKinds<void, void, Char32ToCharCharacterNotInRepertoire>;
using Kinds_32_to_16 = ProblemKinds<void, void, Char32ToChar16CharacterNotInRepertoire>;
using Kinds_none = zuuc_adapter::NoProblems;

}  // namespace

#define ZUUC_SOURCE_ADAPTER(Class, In, Out, InSource, InEncoding, OutEncoding, Kinds)                 \
    Class::Class(InSource & source, InEncoding const & input_encoding,                              \
                 Transcoder<In, Out> * transcoder, OutEncoding const & output_encoding)             \
        : Class##Base(static_cast<UnicodeLibActor const &>(source)),                                \
          input_(&source),                                                                          \
          input_encoding_(&input_encoding),                                                         \
          output_encoding_(&output_encoding),                                                       \
          transcoder_(transcoder) {                                                                 \
        transcoder_->SetBehavior(GetBehavior());                                                    \
    }                                                                                               \
                                                                                                    \
    Class::~Class() { delete transcoder_; }                                                         \
                                                                                                    \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {                        \
        transcoder_->SetBehavior(behavior);                                                         \
        return Class##Base::SetBehavior(behavior);                                                  \
    }                                                                                               \
                                                                                                    \
    void Class::InsertInput(In const * begin, In const * end) {                                     \
        if (begin != nullptr && end == nullptr) {                                                   \
            end = zuuc_adapter::TerminatedEnd(begin);                                               \
        }                                                                                           \
        pending_input_.Assign(begin, end);                                                          \
    }                                                                                               \
                                                                                                    \
    void Class::InsertOutput(Out const * begin, Out const * end) {                                  \
        if (begin != nullptr && end == nullptr) {                                                   \
            end = zuuc_adapter::TerminatedEnd(begin);                                               \
        }                                                                                           \
        pending_output_.Assign(begin, end);                                                         \
    }                                                                                               \
                                                                                                    \
    bool Class::FillBuffer() {                                                                      \
        Out * const start = buffer_.start();                                                        \
        Out * const end = zuuc_adapter::FillWindow(                                                 \
            *input_, *transcoder_, pending_input_, pending_output_, start, buffer_.end(),           \
            [&](TranscodeResult result, In const * input_start, In const * problem,              \
                   In const * input_end, Out const * output_start, Out const * output_end) {        \
                return zuuc_adapter::RaiseProblem<Kinds>(                                           \
                    *GetBehavior(), result, *input_encoding_, *output_encoding_, *this,             \
                    input_start, problem, input_end, output_start, output_end,                      \
                    transcoder_->Mode());                                                           \
            },                                                                                      \
            [&](Out const * begin, Out const * window_end) { SetWindow(begin, window_end); });   \
        return end != start;                                                                        \
    }

#define ZUUC_NOT_RATED(Class)                                                                       \
    TextEncoding const & Class::ActualInputEncoding() const { return *input_encoding_; }           \
    int Class::ActualRating() const { return ToUnicodeSource::kNotRated; }

using CharSource_8_to_16Base = Char16Source;
using CharSource_8_to_32Base = ToUnicodeSource;
using CharSource_16_to_8Base = CharSource;
using CharSource_16_to_16Base = Char16Source;
using CharSource_16_to_32Base = ToUnicodeSource;
using CharSource_32_to_8Base = CharSource;
using CharSource_32_to_16Base = Char16Source;
using CharSource_32_to_32Base = ToUnicodeSource;

ZUUC_SOURCE_ADAPTER(CharSource_8_to_16, char, unsigned short, CharSource, CharEncoding,
                    Char16Encoding, Kinds_8_to_16)
ZUUC_SOURCE_ADAPTER(CharSource_8_to_32, char, unsigned int, CharSource, CharEncoding,
                    Char32Encoding, Kinds_8_to_32)
ZUUC_SOURCE_ADAPTER(CharSource_16_to_8, unsigned short, char, Char16Source, Char16Encoding,
                    CharEncoding, Kinds_16_to_8)
ZUUC_SOURCE_ADAPTER(CharSource_16_to_16, unsigned short, unsigned short, Char16Source,
                    Char16Encoding, Char16Encoding, Kinds_none)
ZUUC_SOURCE_ADAPTER(CharSource_16_to_32, unsigned short, unsigned int, Char16Source,
                    Char16Encoding, Char32Encoding, Kinds_16_to_32)
ZUUC_SOURCE_ADAPTER(CharSource_32_to_8, unsigned int, char, Char32Source, Char32Encoding,
                    CharEncoding, Kinds_32_to_8)
ZUUC_SOURCE_ADAPTER(CharSource_32_to_16, unsigned int, unsigned short, Char32Source,
                    Char32Encoding, Char16Encoding, Kinds_32_to_16)
ZUUC_SOURCE_ADAPTER(CharSource_32_to_32, unsigned int, unsigned int, Char32Source,
                    Char32Encoding, Char32Encoding, Kinds_none)

ZUUC_NOT_RATED(CharSource_8_to_16)
ZUUC_NOT_RATED(CharSource_8_to_32)
ZUUC_NOT_RATED(CharSource_16_to_16)
ZUUC_NOT_RATED(CharSource_16_to_32)
ZUUC_NOT_RATED(CharSource_32_to_32)

#undef ZUUC_SOURCE_ADAPTER
#undef ZUUC_NOT_RATED
