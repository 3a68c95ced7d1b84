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

TextEncoding const & ToUnicodeProxySource::ActualInputEncoding() const {
    return *encoding_;
}

int ToUnicodeProxySource::ActualRating() const {
    return kNotRated;
}

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
// The logic is FillSourceAdapter below; each adapter hands it its own fields.
// (It has internal linkage, so that each adapter's refill is one function.)

namespace {

using namespace zuuc_internal;

// A source adapter's refill: its window [start, limit) of `buffer`:
//  1. units the behaviour inserted as output;
//  2. units it inserted as input, converted without reporting problems;
//  3. the next window of the input source (or, once it has ended, what the
//     transcoder still owes), with problems handed to `raise`, after which
//     the loop starts again at 1.
// The adapter's window [shown, shown_end) is set before every problem too, so
// that an exception thrown by the behaviour leaves the units converted so
// far in the window. Returns whether the window holds anything.
template <class Adapter, class In, class Out, unsigned int N>
bool FillSourceAdapter(Adapter & adapter, SourceOf<In> & input,
                       EncodingOf<In> const & input_encoding, Transcoder<In, Out> & transcoder,
                       EncodingOf<Out> const & output_encoding,
                       zuuc_detail::PendingUnits<In> & pending_input,
                       zuuc_detail::PendingUnits<Out> & pending_output, zu_buffer<Out, N> & buffer,
                       Out const *& shown, Out const *& shown_end) {
    using zuuc_internal::adapters::ProblemResult;
    AdapterProblemRaiser<Adapter, In, Out> const raise{adapter, input_encoding, output_encoding,
                                                       transcoder};
    auto commit = [&](Out const * begin, Out const * finish) {
        shown = begin;
        shown_end = finish;
    };
    Out * const start = buffer.start();
    Out * const limit = buffer.end();
    Out * out = start;
    unsigned long stalls = 0;  // problems in a row without moving
    while (out != limit) {
        // 1. Inserted output, as far as it fits.
        if (!pending_output.empty()) {
            std::size_t const n = std::min(
                static_cast<std::size_t>(limit - out),
                static_cast<std::size_t>(pending_output.end() - pending_output.position()));
            std::memcpy(out, pending_output.position(), n * sizeof(Out));
            out += n;
            pending_output.position() += n;
            if (pending_output.empty()) {
                pending_output.Clear();
            }
            if (out == limit) {
                break;
            }
        }

        // 2. Inserted input; its problems are not reported.
        if (!pending_input.empty()) {
            TranscodeResult result = kTranscodeInputExhausted;
            for (;;) {
                In const * const before = pending_input.position();
                Out * const out_before = out;
                result = transcoder.Transcode(pending_input.position(), pending_input.end(), out,
                                              limit, -1);
                if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
                    break;
                }
                if (result == kTranscodeInputExhausted || pending_input.empty() ||
                    (pending_input.position() == before && out == out_before)) {
                    // Consumed; or stuck, in which case the rest is dropped.
                    result = kTranscodeInputExhausted;
                    break;
                }
            }
            if (result == kTranscodeInputExhausted || pending_input.empty()) {
                pending_input.Clear();
            }
            if (result != kTranscodeInputExhausted) {
                break;
            }
        }

        // 3. The input source.
        In const * window = nullptr;
        In const * window_end = nullptr;
        In const * position = nullptr;
        bool const finishing = !input.GetBuffer(window, window_end);
        Out * const out_before = out;
        TranscodeResult result;
        if (finishing) {
            window = window_end = nullptr;
            result = transcoder.Finish(out, limit, -1);
        } else {
            position = window;
            result = ProblemResult(transcoder.Transcode(position, window_end, out, limit, -1));
            input.DoneWith(position);
        }

        if (position != window || out != out_before) {
            stalls = 0;
        }

        // 4. What the transcoder's result asks for.
        if (result == kTranscodeComplete || result == kTranscodeOutputFull) {
            break;
        }
        if (result == kTranscodeInputExhausted) {
            if (finishing) {
                break;
            }
            continue;
        }
        bool const problem = zuuc_internal::IsInputProblem(result);
        if (problem) {
            commit(start, out);
            raise(result, window, position, window_end, start, out);
        }
        if (finishing) {
            // A problem, raised or not, need not end the conversion: a
            // composite reports what its stages still hold one problem per
            // call. Anything else: the transcoder has finished.
            if (!problem) {
                break;
            }
        } else if (position == window && out == out_before) {
            // A stuck transcoder would be asked the same again forever: go
            // on after the unit it stopped at.
            if (!problem || ++stalls > zuuc_internal::adapters::kMostHeldProblems) {
                input.DoneWith(window + 1);
                stalls = 0;
            }
        }
    }
    commit(start, out);
    return out != start;
}

}  // namespace

#define ZUUC_SOURCE_ADAPTER(Class, Base, In, Out)                                             \
    Class::Class(zuuc_internal::SourceOf<In> & source,                                        \
                 zuuc_internal::EncodingOf<In> const & input_encoding,                        \
                 Transcoder<In, Out> * transcoder,                                            \
                 zuuc_internal::EncodingOf<Out> const & output_encoding)                      \
        : Base(static_cast<UnicodeLibActor const &>(source)),                                 \
          input_(&source),                                                                    \
          input_encoding_(&input_encoding),                                                   \
          output_encoding_(&output_encoding),                                                 \
          transcoder_(transcoder) {                                                           \
        transcoder_->SetBehavior(GetBehavior());                                              \
    }                                                                                         \
    Class::~Class() {                                                                         \
        delete transcoder_;                                                                   \
    }                                                                                         \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {                  \
        transcoder_->SetBehavior(behavior);                                                   \
        return Base::SetBehavior(behavior);                                                   \
    }                                                                                         \
    void Class::InsertInput(In const * begin, In const * end) {                               \
        zuuc_internal::HoldInserted(pending_input_, begin, end);                              \
    }                                                                                         \
    void Class::InsertOutput(Out const * begin, Out const * end) {                            \
        zuuc_internal::HoldInserted(pending_output_, begin, end);                             \
    }                                                                                         \
    bool Class::FillBuffer() {                                                                \
        return FillSourceAdapter(*this, *input_, *input_encoding_, *transcoder_,              \
                                 *output_encoding_, pending_input_, pending_output_, buffer_, \
                                 position_, end_);                                            \
    }

// The adapters to a Unicode width report their input encoding, not rated.
#define ZUUC_NOT_RATED(Class)                                 \
    TextEncoding const & Class::ActualInputEncoding() const { \
        return *input_encoding_;                              \
    }                                                         \
    int Class::ActualRating() const {                         \
        return ToUnicodeSource::kNotRated;                    \
    }

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
