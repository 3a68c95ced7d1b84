// Shared machinery of the stream adapters: raising a conversion problem of
// the right kind for a transcoder result, refilling a source adapter's
// window and pushing a range through a sink adapter.
#ifndef ZUUC_SRC_CONVERT_ADAPTER_SUPPORT_H
#define ZUUC_SRC_CONVERT_ADAPTER_SUPPORT_H

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "streams/stream_util.h"
#include "streams/unit_width.h"
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

using zuuc_streams_detail::TerminatedEnd;

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
    // Set after a step that raised a problem without moving: legitimate once
    // (the problem lies in units held from an earlier call), a fault twice.
    bool stalled = false;
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

        // Any progress ends a stall: a problem raised later without moving
        // lies in units held by this step and is legitimate once again.
        if (position != window || out != out_before) {
            stalled = false;
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
        bool raised = false;
        if (result == kTranscodeIllegalInput || result == kTranscodeNoCharacterDefined ||
            result == kTranscodeNotInRepertoire) {
            commit(start, out);
            raised = raise(result, window, position, window_end, start, out);
        }
        if (finishing) {
            if (!raised) {
                break;  // nothing to resolve: the transcoder has finished
            }
        } else if (position == window && out == out_before) {
            // A transcoder that stops without moving twice would be asked the
            // same again forever: go on after the unit it stopped at.
            if (stalled || !raised) {
                input.DoneWith(window + 1);
                stalled = false;
            } else {
                stalled = true;
            }
        } else {
            stalled = false;
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
    bool stalled = false;
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
        if (report && (result == kTranscodeIllegalInput || result == kTranscodeNoCharacterDefined ||
                       result == kTranscodeNotInRepertoire)) {
            raise(result, begin, in, end, static_cast<Out const *>(local),
                  static_cast<Out const *>(out));
        }
        if (in == before && out == local) {
            // A problem raised without moving lies in units held from an
            // earlier call: go on once. Twice, the transcoder cannot go on
            // with this input.
            if (stalled || !report) {
                return;
            }
            stalled = true;
        } else {
            stalled = false;
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
        if (result == kTranscodeIllegalInput || result == kTranscodeNoCharacterDefined ||
            result == kTranscodeNotInRepertoire) {
            In const * const none = nullptr;
            if (!raise(result, none, none, none, static_cast<Out const *>(local),
                       static_cast<Out const *>(out))) {
                return;
            }
            continue;
        }
        if (result == kTranscodeOutputFull && out != local) {
            continue;
        }
        return;
    }
}

}  // namespace zuuc_adapter

namespace zuuc_internal {

using zuuc_streams_detail::TerminatedEnd;

// The stream adapters CharSource_X_to_Y and CharSink_X_to_Y are thin shells
// around the templates below: each of their members hands its own fields to
// one of these.

// Hands a problem met by `adapter`'s transcoder to the adapter's behaviour.
template <class Adapter, class In, class Out>
struct AdapterProblemRaiser {
    using Kinds = typename zuuc_adapter::ProblemsOf<In, Out>::Kinds;

    Adapter & adapter;  // the actor whose behaviour decides, and the problem solver
    EncodingOf<In> const & input_encoding;
    EncodingOf<Out> const & output_encoding;
    Transcoder<In, Out> & transcoder;

    bool operator()(TranscodeResult result, In const * input_start, In const * problem,
                    In const * input_end, Out const * output_start, Out const * output_end) const {
        return zuuc_adapter::RaiseProblem<Kinds>(*adapter.GetBehavior(), result, input_encoding,
                                                 output_encoding, adapter, input_start, problem,
                                                 input_end, output_start, output_end,
                                                 transcoder.Mode());
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

// A source adapter's refill: the next window of converted units in
// `buffer`, set as the adapter's window [position, end).
template <class Adapter, class In, class Out, unsigned int N>
bool FillSourceAdapter(Adapter & adapter, SourceOf<In> & input,
                       EncodingOf<In> const & input_encoding, Transcoder<In, Out> & transcoder,
                       EncodingOf<Out> const & output_encoding,
                       zuuc_detail::PendingUnits<In> & pending_input,
                       zuuc_detail::PendingUnits<Out> & pending_output, zu_buffer<Out, N> & buffer,
                       Out const *& position, Out const *& end) {
    Out * const start = buffer.start();
    Out * const filled = zuuc_adapter::FillWindow(
        input, transcoder, pending_input, pending_output, start, buffer.end(),
        AdapterProblemRaiser<Adapter, In, Out>{adapter, input_encoding, output_encoding,
                                               transcoder},
        [&](Out const * window_begin, Out const * window_end) {
            position = window_begin;
            end = window_end;
        });
    return filled != start;
}

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
        zuuc_adapter::ConvertInto<N>(transcoder, target, begin, end, kLimited, report, Raiser(),
                                     [&]() { OnLimit(); });
    }

    void Finish() const {
        zuuc_adapter::FinishInto<N, In, Out>(
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

}  // namespace zuuc_internal

#endif
