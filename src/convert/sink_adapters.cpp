// Sink adapters: a sink of one width that converts what it receives and puts
// it into a sink of another width.
#include "convert/adapter_support.h"
#include "zuuc/stream_adapters.h"

using zuuc_adapter::ProblemKinds;

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

// Every adapter has the same members. `Limited` says whether conversion is
// held to the target's remaining capacity; `OnLimit` is what happens when a
// character does not fit; `Discarding` is true once the adapter discards
// everything (only the 32-to-16 adapter remembers a truncation itself).
#define ZUUC_SINK_ADAPTER(Class, In, Out, Target, InEncoding, OutEncoding, Kinds, Units, Limited,    \
                          OnLimit, Discarding, InitTruncated)                                          \
    Class::Class(InEncoding const & input_encoding, Transcoder<In, Out> * transcoder,                  \
                 OutEncoding const & output_encoding, Target & target)                                 \
        : Class##Base(static_cast<UnicodeLibActor const &>(target)),                                   \
          input_encoding_(&input_encoding),                                                            \
          transcoder_(transcoder),                                                                     \
          output_encoding_(&output_encoding),                                                          \
          target_(&target) InitTruncated {                                                             \
        transcoder_->SetBehavior(GetBehavior());                                                       \
    }                                                                                                  \
                                                                                                       \
    Class::~Class() {                                                                                  \
        /* What the transcoder still owes reaches the target; the target is */                        \
        /* not flushed. A destructor cannot pass an exception on. */                                  \
        try {                                                                                          \
            FinishConversion();                                                                        \
        } catch (...) {                                                                                \
        }                                                                                              \
        delete transcoder_;                                                                            \
    }                                                                                                  \
                                                                                                       \
    UnicodeLibBehavior * Class::SetBehavior(UnicodeLibBehavior * behavior) {                           \
        transcoder_->SetBehavior(behavior);                                                            \
        return Class##Base::SetBehavior(behavior);                                                     \
    }                                                                                                  \
                                                                                                       \
    void Class::Flush() {                                                                              \
        FinishConversion();                                                                            \
        target_->Flush();                                                                              \
    }                                                                                                  \
                                                                                                       \
    void Class::PutBuffer(In const * begin, In const * end) {                                          \
        if (begin == nullptr) {                                                                        \
            return;                                                                                    \
        }                                                                                              \
        if (end == nullptr) {                                                                          \
            end = zuuc_adapter::TerminatedEnd(begin);                                                  \
        }                                                                                              \
        Convert(begin, end, true);                                                                     \
    }                                                                                                  \
                                                                                                       \
    void Class::InsertInput(In const * begin, In const * end) {                                        \
        if (begin == nullptr) {                                                                        \
            return;                                                                                    \
        }                                                                                              \
        if (end == nullptr) {                                                                          \
            end = zuuc_adapter::TerminatedEnd(begin);                                                  \
        }                                                                                              \
        Convert(begin, end, false);                                                                    \
    }                                                                                                  \
                                                                                                       \
    void Class::InsertOutput(Out const * begin, Out const * end) {                                     \
        if (begin == nullptr || (Discarding)) {                                                        \
            return;                                                                                    \
        }                                                                                              \
        if (end == nullptr) {                                                                          \
            end = zuuc_adapter::TerminatedEnd(begin);                                                  \
        }                                                                                              \
        if (Limited) {                                                                                 \
            /* A substitute that does not fit whole is not written in part. */                        \
            long const room = target_->RemainingCapacity();                                            \
            if (room >= 0 && room < end - begin) {                                                     \
                OnLimit;                                                                               \
                return;                                                                                \
            }                                                                                          \
        }                                                                                              \
        target_->Put(begin, end);                                                                      \
    }                                                                                                  \
                                                                                                       \
    void Class::Convert(In const * begin, In const * end, bool report) {                               \
        if (Discarding) {                                                                              \
            return;                                                                                    \
        }                                                                                              \
        zuuc_adapter::ConvertInto<Units>(                                                              \
            *transcoder_, *target_, begin, end, Limited, report,                                       \
            [&](TranscodeResult result, In const * input_start, In const * problem,                 \
                   In const * input_end, Out const * output_start, Out const * output_end) {           \
                return zuuc_adapter::RaiseProblem<Kinds>(                                              \
                    *GetBehavior(), result, *input_encoding_, *output_encoding_, *this,                \
                    input_start, problem, input_end, output_start, output_end,                         \
                    transcoder_->Mode());                                                              \
            },                                                                                         \
            [&]() { OnLimit; });                                                                    \
    }                                                                                                  \
                                                                                                       \
    void Class::FinishConversion() {                                                                   \
        zuuc_adapter::FinishInto<Units, In, Out>(                                                      \
            *transcoder_,                                                                              \
            [&](Out const * begin, Out const * end) {                                               \
                if (!(Discarding)) {                                                                   \
                    target_->Put(begin, end);                                                          \
                }                                                                                      \
            },                                                                                         \
            [&](TranscodeResult result, In const * input_start, In const * problem,                 \
                   In const * input_end, Out const * output_start, Out const * output_end) {           \
                return zuuc_adapter::RaiseProblem<Kinds>(                                              \
                    *GetBehavior(), result, *input_encoding_, *output_encoding_, *this,                \
                    input_start, problem, input_end, output_start, output_end,                         \
                    transcoder_->Mode());                                                              \
            });                                                                                        \
    }

using CharSink_8_to_16Base = CharSink;
using CharSink_8_to_32Base = CharSink;
using CharSink_16_to_8Base = Char16Sink;
using CharSink_16_to_16Base = Char16Sink;
using CharSink_16_to_32Base = Char16Sink;
using CharSink_32_to_8Base = Char32Sink;
using CharSink_32_to_16Base = Char32Sink;
using CharSink_32_to_32Base = Char32Sink;

#define ZUUC_NO_TRUNCATED_FIELD
#define ZUUC_TRUNCATED_FIELD , truncated_(false)

ZUUC_SINK_ADAPTER(CharSink_8_to_16, char, unsigned short, Char16Sink, CharEncoding, Char16Encoding,
                  Kinds_8_to_16, 512, false, (void)0, false, ZUUC_NO_TRUNCATED_FIELD)
ZUUC_SINK_ADAPTER(CharSink_8_to_32, char, unsigned int, Char32Sink, CharEncoding, Char32Encoding,
                  Kinds_8_to_32, 1024, false, (void)0, false, ZUUC_NO_TRUNCATED_FIELD)
ZUUC_SINK_ADAPTER(CharSink_16_to_8, unsigned short, char, CharSink, Char16Encoding, CharEncoding,
                  Kinds_16_to_8, 1024, true, target_->MarkAsTruncated(), false,
                  ZUUC_NO_TRUNCATED_FIELD)
ZUUC_SINK_ADAPTER(CharSink_16_to_16, unsigned short, unsigned short, Char16Sink, Char16Encoding,
                  Char16Encoding, Kinds_none, 512, false, (void)0, false, ZUUC_NO_TRUNCATED_FIELD)
ZUUC_SINK_ADAPTER(CharSink_16_to_32, unsigned short, unsigned int, Char32Sink, Char16Encoding,
                  Char32Encoding, Kinds_16_to_32, 1024, false, (void)0, false,
                  ZUUC_NO_TRUNCATED_FIELD)
ZUUC_SINK_ADAPTER(CharSink_32_to_8, unsigned int, char, CharSink, Char32Encoding, CharEncoding,
                  Kinds_32_to_8, 1024, true, target_->MarkAsTruncated(), false,
                  ZUUC_NO_TRUNCATED_FIELD)
ZUUC_SINK_ADAPTER(CharSink_32_to_16, unsigned int, unsigned short, Char16Sink, Char32Encoding,
                  Char16Encoding, Kinds_32_to_16, 1024, true, truncated_ = true, truncated_,
                  ZUUC_TRUNCATED_FIELD)
ZUUC_SINK_ADAPTER(CharSink_32_to_32, unsigned int, unsigned int, Char32Sink, Char32Encoding,
                  Char32Encoding, Kinds_none, 1024, false, (void)0, false, ZUUC_NO_TRUNCATED_FIELD)

#undef ZUUC_SINK_ADAPTER
#undef ZUUC_NO_TRUNCATED_FIELD
#undef ZUUC_TRUNCATED_FIELD
