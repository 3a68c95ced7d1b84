// Shared machinery of the stream adapters: raising a conversion problem of
// the right kind for a transcoder result, refilling a source adapter's
// window and pushing a range through a sink adapter.
#ifndef ZUUC_SRC_CONVERT_ADAPTER_SUPPORT_H
#define ZUUC_SRC_CONVERT_ADAPTER_SUPPORT_H

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "zuuc/behavior.h"
#include "zuuc/problems.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/transcoder.h"

namespace zuuc_adapter {

// The problem classes an adapter raises for transcoder results 3, 4 and 5;
// void where it raises none.
template <class IllegalInput, class NoCharacterDefined, class NotInRepertoire>
struct ProblemKinds {
    using Illegal = IllegalInput;
    using Undefined = NoCharacterDefined;
    using Unrepresentable = NotInRepertoire;
};

using NoProblems = ProblemKinds<void, void, void>;

template <class Kinds>
constexpr bool Raises(TranscodeResult result) {
    return (result == kTranscodeIllegalInput && !std::is_void_v<typename Kinds::Illegal>) ||
           (result == kTranscodeNoCharacterDefined && !std::is_void_v<typename Kinds::Undefined>) ||
           (result == kTranscodeNotInRepertoire && !std::is_void_v<typename Kinds::Unrepresentable>);
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

template <class T>
T const * TerminatedEnd(T const * p) {
    while (*p != 0) {
        ++p;
    }
    return p;
}

// A transcoder result that reports a problem in the input.
inline bool IsProblem(TranscodeResult result) {
    return result == kTranscodeIllegalInput || result == kTranscodeNoCharacterDefined ||
           result == kTranscodeNotInRepertoire;
}

// Problems reported in a row without moving. Each may lie in units the
// transcoder took earlier (a composite reports the problems its second stage
// holds one per call, up to a whole intermediate buffer of them), so only a
// run longer than any such count marks a stuck transcoder.
constexpr unsigned long kMostHeldProblems = 1ul << 16;

// Refills a source adapter's window [start, limit):
//  1. units the behaviour inserted as output;
//  2. units it inserted as input, converted without reporting problems;
//  3. the next window of the input source (or, once it has ended, what the
//     transcoder still owes), with problems handed to `raise`, after which
//     the loop starts again at 1.
// `commit(begin, end)` sets the adapter's window; it is called before every
// problem too, so that an exception thrown by the behaviour leaves the units
// converted so far in the window. Returns the end of the output.
template <class In, class Out, class InSource, class Raise, class Commit>
Out * FillWindow(InSource & input, Transcoder<In, Out> & transcoder,
                 zuuc_detail::PendingUnits<In> & pending_input,
                 zuuc_detail::PendingUnits<Out> & pending_output, Out * start, Out * limit,
                 Raise && raise, Commit && commit) {
    Out * out = start;
    unsigned long stalls = 0;  // problems in a row without moving
    while (out != limit) {
        // 1. Inserted output, as far as it fits.
        if (!pending_output.empty()) {
            std::size_t const n = std::min(static_cast<std::size_t>(limit - out),
                                           static_cast<std::size_t>(pending_output.end() -
                                                                    pending_output.position()));
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
        bool const problem = IsProblem(result);
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
            if (!problem || ++stalls > kMostHeldProblems) {
                input.DoneWith(window + 1);
                stalls = 0;
            }
        }
    }
    commit(start, out);
    return out;
}

// Converts [begin, end) through `transcoder` into `target` via a local
// buffer of N units. With `use_limit`, no more than the target's remaining
// capacity is converted per round, and `on_limit` is called when the next
// character does not fit. Problems go to `raise` when `report` is set.
template <unsigned int N, class In, class Out, class Target, class Raise, class OnLimit>
void ConvertInto(Transcoder<In, Out> & transcoder, Target & target, In const * begin,
                 In const * end, bool use_limit, bool report, Raise && raise,
                 OnLimit && on_limit) {
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
        bool const problem = IsProblem(result);
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
        if (IsProblem(result)) {
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

}  // namespace zuuc_adapter

#endif
