// Shared machinery of the stream adapters: raising a conversion problem of
// the right kind for a transcoder result, refilling a source adapter's
// window and pushing a range through a sink adapter.
#ifndef ZUUC_SRC_CONVERT_ADAPTER_SUPPORT_H
#define ZUUC_SRC_CONVERT_ADAPTER_SUPPORT_H

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "convert/transcode_contract.h"
#include "streams/stream_util.h"
#include "streams/unit_width.h"
#include "zuuc/behavior.h"
#include "zuuc/problems.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::adapters {

// The problem classes an adapter raises for transcoder results 3, 4 and 5;
// void where it raises none.
template <class IllegalInput, class NoCharacterDefined, class NotInRepertoire>
struct ProblemKinds {
    using Illegal = IllegalInput;
    using Undefined = NoCharacterDefined;
    using Unrepresentable = NotInRepertoire;
};

using NoProblems = ProblemKinds<void, void, void>;

// What the adapter from In to Out raises: a narrower input can hold bytes
// that are illegal or undefined, a wider one characters the output lacks.
template <class In, class Out>
struct ProblemsOf;
template <>
struct ProblemsOf<char, unsigned short> {
    using Kinds = ProblemKinds<CharToChar16IllegalByteRange,
                               CharToChar16NoCharacterDefinedForCodepoint, void>;
};
template <>
struct ProblemsOf<char, unsigned int> {
    using Kinds = ProblemKinds<CharToChar32IllegalByteRange,
                               CharToChar32NoCharacterDefinedForCodepoint, void>;
};
template <>
struct ProblemsOf<unsigned short, unsigned int> {
    using Kinds = ProblemKinds<Char16ToChar32IllegalByteRange,
                               Char16ToChar32NoCharacterDefinedForCodepoint, void>;
};
template <>
struct ProblemsOf<unsigned short, char> {
    using Kinds = ProblemKinds<void, void, Char16ToCharCharacterNotInRepertoire>;
};
template <>
struct ProblemsOf<unsigned int, char> {
    using Kinds = ProblemKinds<void, void, Char32ToCharCharacterNotInRepertoire>;
};
template <>
struct ProblemsOf<unsigned int, unsigned short> {
    using Kinds = ProblemKinds<void, void, Char32ToChar16CharacterNotInRepertoire>;
};
template <>
struct ProblemsOf<unsigned short, unsigned short> {
    using Kinds = NoProblems;
};
template <>
struct ProblemsOf<unsigned int, unsigned int> {
    using Kinds = NoProblems;
};

template <class Kinds>
constexpr bool Raises(TranscodeResult result) {
    return (result == kTranscodeIllegalInput && !std::is_void_v<typename Kinds::Illegal>) ||
           (result == kTranscodeNoCharacterDefined && !std::is_void_v<typename Kinds::Undefined>) ||
           (result == kTranscodeNotInRepertoire &&
            !std::is_void_v<typename Kinds::Unrepresentable>);
}

// Builds the problem for `result` and hands it to the behaviour's handler
// for its kind. Returns false when the adapter raises nothing for `result`.
template <class Kinds, class InEncoding, class OutEncoding, class Solver, class In, class Out>
bool RaiseProblem(UnicodeLibBehavior & behavior, TranscodeResult result,
                  InEncoding const & input_encoding, OutEncoding const & output_encoding,
                  Solver & solver, In const * input_start, In const * problem_ptr,
                  In const * input_end, Out const * output_start, Out const * output_end,
                  unsigned int mode) {
    if constexpr (!std::is_void_v<typename Kinds::Illegal>) {
        if (result == kTranscodeIllegalInput) {
            typename Kinds::Illegal problem(input_encoding, output_encoding, solver, input_start,
                                            problem_ptr, input_end, output_start, output_end);
            behavior.HandleIllegalByteRange(problem);
            return true;
        }
    }
    if constexpr (!std::is_void_v<typename Kinds::Undefined>) {
        if (result == kTranscodeNoCharacterDefined) {
            typename Kinds::Undefined problem(input_encoding, output_encoding, solver, input_start,
                                              problem_ptr, input_end, output_start, output_end);
            behavior.HandleNoCharacterDefinedForCodepoint(problem);
            return true;
        }
    }
    if constexpr (!std::is_void_v<typename Kinds::Unrepresentable>) {
        if (result == kTranscodeNotInRepertoire) {
            typename Kinds::Unrepresentable problem(input_encoding, output_encoding, solver,
                                                    input_start, problem_ptr, input_end,
                                                    output_start, output_end, mode);
            behavior.HandleCharacterNotInRepertoire(problem);
            return true;
        }
    }
    (void)behavior;
    (void)input_encoding;
    (void)output_encoding;
    (void)solver;
    (void)input_start;
    (void)problem_ptr;
    (void)input_end;
    (void)output_start;
    (void)output_end;
    (void)mode;
    return false;
}

// Ill-formed UTF-16 (a high surrogate not followed by a low one) is a
// character the output cannot hold: it is reported as such rather than
// passed over in silence.
inline TranscodeResult ProblemResult(TranscodeResult result) {
    return result == kTranscodeIllFormedUTF16 ? kTranscodeNotInRepertoire : result;
}

using zuuc_internal::streams::TerminatedEnd;

// Problems reported in a row without moving. Each may lie in units the
// transcoder took earlier (a composite reports the problems its second stage
// holds one per call, up to a whole intermediate buffer of them), so only a
// run longer than any such count marks a stuck transcoder.
constexpr unsigned long kMostHeldProblems = 1ul << 16;

// Converts [begin, end) through `transcoder` into `target` via a local
// buffer of N units. With `use_limit`, no more than the target's remaining
// capacity is converted per round, and `on_limit` is called when the next
// character does not fit. Problems go to `raise` when `report` is set.
template <unsigned int N, class In, class Out, class Target, class Raise, class OnLimit>
void ConvertInto(Transcoder<In, Out> & transcoder, Target & target, In const * begin,
                 In const * end, bool use_limit, bool report, Raise && raise, OnLimit && on_limit) {
    Out local[N];
    In const * in = begin;
    unsigned long stalls = 0;  // problems in a row without moving
    for (;;) {
        long limit = -1;
        if (use_limit) {
            limit = target.RemainingCapacity();
            if (limit < 0) {
                limit = -1;
            }
        }
        In const * const before = in;
        Out * out = local;
        TranscodeResult const result =
            ProblemResult(transcoder.Transcode(in, end, out, local + N, limit));
        if (out != local) {
            target.Put(local, out);
        }
        if (result == kTranscodeComplete || result == kTranscodeInputExhausted) {
            return;
        }
        if (result == kTranscodeLimitReached) {
            if (use_limit) {
                on_limit();
            }
            return;
        }
        bool const problem = zuuc_internal::IsInputProblem(result);
        if (report && problem) {
            raise(result, begin, in, end, static_cast<Out const *>(local),
                  static_cast<Out const *>(out));
        }
        if (in == before && out == local) {
            // A stuck transcoder cannot go on with this input.
            if (!problem || ++stalls > kMostHeldProblems) {
                return;
            }
        } else {
            stalls = 0;
        }
    }
}

// Finishes the conversion into `target`: what the transcoder still owes is
// put into the target, and problems met (with null input pointers) go to
// `raise`. `put(begin, end)` writes to the target.
template <unsigned int N, class In, class Out, class Put, class Raise>
void FinishInto(Transcoder<In, Out> & transcoder, Put && put, Raise && raise) {
    Out local[N];
    for (;;) {
        Out * out = local;
        TranscodeResult const result = transcoder.Finish(out, local + N, -1);
        if (out != local) {
            put(static_cast<Out const *>(local), static_cast<Out const *>(out));
        }
        if (zuuc_internal::IsInputProblem(result)) {
            // Raised or not, a problem need not end the conversion: a
            // composite reports what its stages still hold one per call.
            In const * const none = nullptr;
            raise(result, none, none, none, static_cast<Out const *>(local),
                  static_cast<Out const *>(out));
            continue;
        }
        if (result == kTranscodeOutputFull && out != local) {
            continue;
        }
        return;
    }
}

}  // namespace zuuc_internal::adapters

namespace zuuc_internal {

using zuuc_internal::streams::TerminatedEnd;

// Pieces of the source and sink adapters' templates (in source_adapters.cpp
// and sink_adapters.cpp) that both use.

// Hands a problem met by `adapter`'s transcoder to the adapter's behaviour.
template <class Adapter, class In, class Out>
struct AdapterProblemRaiser {
    using Kinds = typename zuuc_internal::adapters::ProblemsOf<In, Out>::Kinds;

    Adapter & adapter;  // the actor whose behaviour decides, and the problem solver
    EncodingOf<In> const & input_encoding;
    EncodingOf<Out> const & output_encoding;
    Transcoder<In, Out> & transcoder;

    bool operator()(TranscodeResult result, In const * input_start, In const * problem,
                    In const * input_end, Out const * output_start, Out const * output_end) const {
        return zuuc_internal::adapters::RaiseProblem<Kinds>(
            *adapter.GetBehavior(), result, input_encoding, output_encoding, adapter, input_start,
            problem, input_end, output_start, output_end, transcoder.Mode());
    }
};

// Holds what a behaviour inserts into a source adapter (a null end: up to
// the terminating 0).
template <class T>
void HoldInserted(zuuc_detail::PendingUnits<T> & pending, T const * begin, T const * end) {
    if (begin != nullptr && end == nullptr) {
        end = TerminatedEnd(begin);
    }
    pending.Assign(begin, end);
}

}  // namespace zuuc_internal

#endif
