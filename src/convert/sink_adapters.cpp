// Sink adapters: a sink of one width that converts what it receives and puts
// it into a sink of another width. The logic is zuuc_internal::SinkAdapterOps
// (convert/adapter_support.h); each adapter hands it its own fields.
#include "convert/adapter_support.h"
#include "zuuc/stream_adapters.h"

// `Units` is the size of the local conversion buffer; `Truncated` the
// adapter's own truncation flag (only the 32-to-16 adapter keeps one).
#define ZUUC_SINK_ADAPTER(Class, Base, In, Out, Units, Truncated)                                  \
    Class::Class(zuuc_internal::EncodingOf<In> const & input_encoding,                             \
                 Transcoder<In, Out> * transcoder,                                                 \
                 zuuc_internal::EncodingOf<Out> const & output_encoding,                           \
                 zuuc_internal::SinkOf<Out> & target)                                              \
        : Base(static_cast<UnicodeLibActor const &>(target)),                                      \
          input_encoding_(&input_encoding),                                                        \
          transcoder_(transcoder),                                                                 \
          output_encoding_(&output_encoding),                                                      \
          target_(&target) {                                                                       \
        ZUUC_OPS(Units, Truncated).Start();                                                        \
    }                                                                                              \
    Class::~Class() { ZUUC_OPS(Units, Truncated).Close(); }                                        \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {                       \
        transcoder_->SetBehavior(behavior);                                                        \
        return Base::SetBehavior(behavior);                                                        \
    }                                                                                              \
    void Class::Flush() { ZUUC_OPS(Units, Truncated).Flush(); }                                    \
    void Class::PutBuffer(In const * begin, In const * end) {                                      \
        ZUUC_OPS(Units, Truncated).Put(begin, end, true);                                          \
    }                                                                                              \
    void Class::InsertInput(In const * begin, In const * end) {                                    \
        ZUUC_OPS(Units, Truncated).Put(begin, end, false);                                         \
    }                                                                                              \
    void Class::InsertOutput(Out const * begin, Out const * end) {                                 \
        ZUUC_OPS(Units, Truncated).InsertOutput(begin, end);                                       \
    }                                                                                              \
    void Class::Convert(In const * begin, In const * end, bool report) {                           \
        ZUUC_OPS(Units, Truncated).Convert(begin, end, report);                                    \
    }                                                                                              \
    void Class::FinishConversion() { ZUUC_OPS(Units, Truncated).Finish(); }

#define ZUUC_OPS(Units, Truncated)                                                                 \
    zuuc_internal::SinkOps<Units>(*this, *input_encoding_, *transcoder_, *output_encoding_,        \
                                  *target_, Truncated)

ZUUC_SINK_ADAPTER(CharSink_8_to_16, CharSink, char, unsigned short, 512, nullptr)
ZUUC_SINK_ADAPTER(CharSink_8_to_32, CharSink, char, unsigned int, 1024, nullptr)
ZUUC_SINK_ADAPTER(CharSink_16_to_8, Char16Sink, unsigned short, char, 1024, nullptr)
ZUUC_SINK_ADAPTER(CharSink_16_to_16, Char16Sink, unsigned short, unsigned short, 512, nullptr)
ZUUC_SINK_ADAPTER(CharSink_16_to_32, Char16Sink, unsigned short, unsigned int, 1024, nullptr)
ZUUC_SINK_ADAPTER(CharSink_32_to_8, Char32Sink, unsigned int, char, 1024, nullptr)
ZUUC_SINK_ADAPTER(CharSink_32_to_16, Char32Sink, unsigned int, unsigned short, 1024, &truncated_)
ZUUC_SINK_ADAPTER(CharSink_32_to_32, Char32Sink, unsigned int, unsigned int, 1024, nullptr)

#undef ZUUC_SINK_ADAPTER
#undef ZUUC_OPS
