// Sink adapters: a sink of one width that converts what it receives and puts
// it into a sink of another width. The logic is SinkAdapterOps below; each
// adapter hands it its own fields.
#include "convert/adapter_support.h"
#include "zuuc/stream_adapters.h"

namespace {

using namespace zuuc_internal;

// The members of a sink adapter from In to Out converting through a local
// buffer of N units. Adapters from a wider to a narrower width convert no
// more than the target's remaining capacity; when the next character does
// not fit, a byte target is marked truncated, and an adapter that keeps its
// own `truncated` flag sets it and discards everything from then on.
template <unsigned int N, class Adapter, class In, class Out>
struct SinkAdapterOps {
    static constexpr bool kLimited = sizeof(In) > sizeof(Out);

    Adapter & adapter;
    EncodingOf<In> const & input_encoding;
    Transcoder<In, Out> & transcoder;
    EncodingOf<Out> const & output_encoding;
    SinkOf<Out> & target;
    bool * truncated;

    bool Discarding() const { return truncated != nullptr && *truncated; }

    void OnLimit() const {
        if (truncated != nullptr) {
            *truncated = true;
        } else if constexpr (std::is_same<Out, char>::value) {
            target.MarkAsTruncated();
        }
    }

    AdapterProblemRaiser<Adapter, In, Out> Raiser() const {
        return {adapter, input_encoding, output_encoding, transcoder};
    }

    void Start() const {
        if (truncated != nullptr) {
            *truncated = false;
        }
        transcoder.SetBehavior(adapter.GetBehavior());
    }

    // What the transcoder still owes reaches the target; the target is not
    // flushed. A destructor cannot pass an exception on.
    void Close() const {
        try {
            Finish();
        } catch (...) {
        }
        delete &transcoder;
    }

    void Flush() const {
        Finish();
        target.Flush();
    }

    // Put (reported) or inserted input (not reported); a null end: up to the
    // terminating 0.
    void Put(In const * begin, In const * end, bool report) const {
        if (begin == nullptr) {
            return;
        }
        if (end == nullptr) {
            end = TerminatedEnd(begin);
        }
        Convert(begin, end, report);
    }

    void InsertOutput(Out const * begin, Out const * end) const {
        if (begin == nullptr || Discarding()) {
            return;
        }
        if (end == nullptr) {
            end = TerminatedEnd(begin);
        }
        if constexpr (kLimited) {
            // A substitute that does not fit whole is not written in part.
            long const room = target.RemainingCapacity();
            if (room >= 0 && room < end - begin) {
                OnLimit();
                return;
            }
        }
        target.Put(begin, end);
    }

    void Convert(In const * begin, In const * end, bool report) const {
        if (Discarding()) {
            return;
        }
        zuuc_internal::adapters::ConvertInto<N>(transcoder, target, begin, end, kLimited, report,
                                                Raiser(), [&]() { OnLimit(); });
    }

    void Finish() const {
        zuuc_internal::adapters::FinishInto<N, In, Out>(
            transcoder,
            [&](Out const * begin, Out const * end) {
                if (!Discarding()) {
                    target.Put(begin, end);
                }
            },
            Raiser());
    }
};

template <unsigned int N, class Adapter, class In, class Out>
SinkAdapterOps<N, Adapter, In, Out> SinkOps(Adapter & adapter,
                                            EncodingOf<In> const & input_encoding,
                                            Transcoder<In, Out> & transcoder,
                                            EncodingOf<Out> const & output_encoding,
                                            SinkOf<Out> & target, bool * truncated) {
    return {adapter, input_encoding, transcoder, output_encoding, target, truncated};
}

}  // namespace

// `Units` is the size of the local conversion buffer; `Truncated` the
// adapter's own truncation flag (only the 32-to-16 adapter keeps one).
#define ZUUC_SINK_ADAPTER(Class, Base, In, Out, Units, Truncated)            \
    Class::Class(zuuc_internal::EncodingOf<In> const & input_encoding,       \
                 Transcoder<In, Out> * transcoder,                           \
                 zuuc_internal::EncodingOf<Out> const & output_encoding,     \
                 zuuc_internal::SinkOf<Out> & target)                        \
        : Base(static_cast<UnicodeLibActor const &>(target)),                \
          input_encoding_(&input_encoding),                                  \
          transcoder_(transcoder),                                           \
          output_encoding_(&output_encoding),                                \
          target_(&target) {                                                 \
        ZUUC_OPS(Units, Truncated).Start();                                  \
    }                                                                        \
    Class::~Class() {                                                        \
        ZUUC_OPS(Units, Truncated).Close();                                  \
    }                                                                        \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) { \
        transcoder_->SetBehavior(behavior);                                  \
        return Base::SetBehavior(behavior);                                  \
    }                                                                        \
    void Class::Flush() {                                                    \
        ZUUC_OPS(Units, Truncated).Flush();                                  \
    }                                                                        \
    void Class::PutBuffer(In const * begin, In const * end) {                \
        ZUUC_OPS(Units, Truncated).Put(begin, end, true);                    \
    }                                                                        \
    void Class::InsertInput(In const * begin, In const * end) {              \
        ZUUC_OPS(Units, Truncated).Put(begin, end, false);                   \
    }                                                                        \
    void Class::InsertOutput(Out const * begin, Out const * end) {           \
        ZUUC_OPS(Units, Truncated).InsertOutput(begin, end);                 \
    }                                                                        \
    void Class::Convert(In const * begin, In const * end, bool report) {     \
        ZUUC_OPS(Units, Truncated).Convert(begin, end, report);              \
    }                                                                        \
    void Class::FinishConversion() {                                         \
        ZUUC_OPS(Units, Truncated).Finish();                                 \
    }

#define ZUUC_OPS(Units, Truncated) \
    SinkOps<Units>(*this, *input_encoding_, *transcoder_, *output_encoding_, *target_, Truncated)

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
