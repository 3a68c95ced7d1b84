// Composite transcoders: two transcoders chained through an intermediate
// buffer of Unicode units.
#include <cstring>

#include "convert/transcode_contract.h"
#include "zuuc/transcoder.h"

using zuuc_internal::IsInputProblem;
using zuuc_internal::IsOutputStop;
using zuuc_internal::IsStageProblem;
using zuuc_internal::kNoLimit;
using zuuc_internal::RemainingLimit;

template <class T, class First, class Second, class A, class B, class C>
CompositeTranscoder<T, First, Second, A, B, C>::CompositeTranscoder(First * first, Second * second)
    : T(),
      first_(first),
      second_(second),
      position_(intermediate_),
      end_(intermediate_),
      problem_pending_(false),
      first_finished_(false),
      first_finish_result_(kTranscodeComplete) {}

template <class T, class First, class Second, class A, class B, class C>
CompositeTranscoder<T, First, Second, A, B, C>::~CompositeTranscoder() {
    delete first_;
    delete second_;
}

template <class T, class First, class Second, class A, class B, class C>
UnicodeLibBehavior * CompositeTranscoder<T, First, Second, A, B, C>::SetBehavior(
    UnicodeLibBehavior * behavior) {
    first_->SetBehavior(behavior);
    second_->SetBehavior(behavior);
    return T::SetBehavior(behavior);
}

// Runs the second stage over the undelivered units, even when there are none:
// a second stage that is itself a chain may still hold converted units, and
// they come before anything the first stage has to report.
template <class T, class First, class Second, class A, class B, class C>
TranscodeResult CompositeTranscoder<T, First, Second, A, B, C>::Deliver(C *& out, C * outEnd,
                                                                        long limit) {
    B const * position = position_;
    TranscodeResult const result = second_->Transcode(position, end_, out, outEnd, limit);
    position_ = intermediate_ + (position - intermediate_);
    return result;
}

template <class T, class First, class Second, class A, class B, class C>
TranscodeResult CompositeTranscoder<T, First, Second, A, B, C>::Transcode(A const *& in,
                                                                          A const * inEnd, C *& out,
                                                                          C * outEnd, long limit) {
    C * const out_start = out;
    for (;;) {
        // Refill the intermediate buffer only once everything in it has been
        // delivered and no problem of the first stage waits to be reported.
        TranscodeResult first_result = kTranscodeOutputFull;
        if (position_ == end_ && !problem_pending_) {
            position_ = intermediate_;
            B * produced = intermediate_;
            first_result =
                first_->Transcode(in, inEnd, produced, intermediate_ + kIntermediateSize, kNoLimit);
            end_ = produced;
            problem_pending_ = IsStageProblem(first_result);
        }

        // The limit applies to the whole call, so the second stage gets what
        // is left of it after earlier rounds.
        TranscodeResult const second_result =
            Deliver(out, outEnd, RemainingLimit(limit, static_cast<long>(out - out_start)));
        if (IsOutputStop(second_result)) {
            return second_result;
        }
        if (IsInputProblem(second_result)) {
            return kTranscodeIllegalInput;
        }
        if (second_result != kTranscodeComplete && second_result != kTranscodeInputExhausted) {
            return kTranscodeComplete;  // an unknown result
        }

        // Everything the first stage produced has been passed on: now its
        // problem, if any, can be reported.
        if (problem_pending_) {
            problem_pending_ = false;
            return kTranscodeIllegalInput;
        }
        if (first_result != kTranscodeOutputFull) {
            return kTranscodeInputExhausted;  // 0, 1, or an unknown result taken as 0
        }
        // The first stage filled the intermediate buffer: go on.
    }
}

template <class T, class First, class Second, class A, class B, class C>
TranscodeResult CompositeTranscoder<T, First, Second, A, B, C>::Finish(C *& out, C * outEnd,
                                                                       long limit) {
    C * const out_start = out;
    auto remaining = [&]() { return RemainingLimit(limit, static_cast<long>(out - out_start)); };

    // A problem of the first stage still waits: deliver what came before it,
    // report it, and let the next call finish the conversion.
    if (problem_pending_) {
        TranscodeResult const result = Deliver(out, outEnd, remaining());
        if (IsOutputStop(result)) {
            return result;
        }
        if (IsInputProblem(result)) {
            return kTranscodeIllegalInput;
        }
        problem_pending_ = false;
        return kTranscodeIllegalInput;
    }

    // Take what the first stage still owes, then pass everything on. Units
    // that do not fit into the output stay in the intermediate buffer for the
    // next call, so nothing is lost when the output fills.
    for (;;) {
        if (!first_finished_) {
            std::size_t const kept = static_cast<std::size_t>(end_ - position_);
            if (position_ != intermediate_) {
                std::memmove(intermediate_, position_, kept * sizeof(B));
                position_ = intermediate_;
                end_ = intermediate_ + kept;
            }
            B * produced = end_;
            TranscodeResult const result =
                first_->Finish(produced, intermediate_ + kIntermediateSize, kNoLimit);
            bool const stuck = result == kTranscodeOutputFull && produced == end_ && kept == 0;
            end_ = produced;
            if (result != kTranscodeOutputFull || stuck) {
                first_finished_ = true;
                first_finish_result_ = stuck ? kTranscodeComplete : result;
            }
        }
        TranscodeResult const result = Deliver(out, outEnd, remaining());
        if (IsOutputStop(result)) {
            return result;
        }
        if (IsInputProblem(result)) {
            return kTranscodeIllegalInput;
        }
        if (first_finished_) {
            break;
        }
    }

    TranscodeResult const second_result = second_->Finish(out, outEnd, remaining());
    if (IsOutputStop(second_result)) {
        return second_result;  // the second stage owes more: call again
    }
    TranscodeResult result = kTranscodeComplete;
    if (IsStageProblem(first_finish_result_) || IsInputProblem(second_result)) {
        result = kTranscodeIllegalInput;
    }
    Reset();
    return result;
}

template <class T, class First, class Second, class A, class B, class C>
unsigned int CompositeTranscoder<T, First, Second, A, B, C>::Mode() const {
    return second_ != nullptr ? second_->Mode() : 0;
}

template <class T, class First, class Second, class A, class B, class C>
void CompositeTranscoder<T, First, Second, A, B, C>::Reset() {
    first_->Reset();
    second_->Reset();
    position_ = intermediate_;
    end_ = intermediate_;
    problem_pending_ = false;
    first_finished_ = false;
    first_finish_result_ = kTranscodeComplete;
}

#define ZUUC_DEFINE_COMPOSITE(A, B, C)                                                             \
    template class CompositeTranscoder<Transcoder<A, C>, Transcoder<A, B>, Transcoder<B, C>, A, B, \
                                       C>

ZUUC_DEFINE_COMPOSITE(char, unsigned short, char);
ZUUC_DEFINE_COMPOSITE(char, unsigned int, char);
ZUUC_DEFINE_COMPOSITE(char, unsigned short, unsigned short);
ZUUC_DEFINE_COMPOSITE(char, unsigned int, unsigned short);
ZUUC_DEFINE_COMPOSITE(char, unsigned int, unsigned int);
ZUUC_DEFINE_COMPOSITE(char, unsigned short, unsigned int);
ZUUC_DEFINE_COMPOSITE(unsigned short, unsigned short, char);
ZUUC_DEFINE_COMPOSITE(unsigned short, unsigned int, char);
ZUUC_DEFINE_COMPOSITE(unsigned short, unsigned short, unsigned short);
ZUUC_DEFINE_COMPOSITE(unsigned short, unsigned int, unsigned short);
ZUUC_DEFINE_COMPOSITE(unsigned short, unsigned int, unsigned int);
ZUUC_DEFINE_COMPOSITE(unsigned short, unsigned short, unsigned int);
ZUUC_DEFINE_COMPOSITE(unsigned int, unsigned short, char);
ZUUC_DEFINE_COMPOSITE(unsigned int, unsigned int, char);
ZUUC_DEFINE_COMPOSITE(unsigned int, unsigned short, unsigned short);
ZUUC_DEFINE_COMPOSITE(unsigned int, unsigned int, unsigned short);
ZUUC_DEFINE_COMPOSITE(unsigned int, unsigned int, unsigned int);
ZUUC_DEFINE_COMPOSITE(unsigned int, unsigned short, unsigned int);

#undef ZUUC_DEFINE_COMPOSITE
