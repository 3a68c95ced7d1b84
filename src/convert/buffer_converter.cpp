// Buffer converters: one transcoder (or a chain of two through Unicode) kept
// in an arena inside the converter, driven over the caller's buffers with
// substitution and counting of every problem.
#include "zuuc/buffer_converters.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "detect/detecting_decoder.h"
#include "zuuc/char_encoding.h"
#include "zuuc/foundation.h"
#include "zuuc/transcoder.h"

namespace {

// Copies units unchanged: the conversion between an encoding and itself
// when its converter factories report that no conversion is needed.
template <class T>
class IdentityTranscoder final : public Transcoder<T, T> {
public:
    IdentityTranscoder() = default;
    ~IdentityTranscoder() override = default;

    TranscodeResult Transcode(T const *& in, T const * inEnd, T *& out, T * outEnd,
                              long limit) override {
        std::size_t const available = static_cast<std::size_t>(inEnd - in);
        std::size_t room = static_cast<std::size_t>(outEnd - out);
        bool const limited = limit >= 0 && static_cast<std::size_t>(limit) < room;
        if (limited) {
            room = static_cast<std::size_t>(limit);
        }
        std::size_t const count = std::min(available, room);
        if (count != 0) {
            std::memcpy(out, in, count * sizeof(T));
        }
        in += count;
        out += count;
        if (in == inEnd) {
            return kTranscodeInputExhausted;
        }
        return limited ? kTranscodeLimitReached : kTranscodeOutputFull;
    }
    TranscodeResult Finish(T *&, T *, long) override { return kTranscodeComplete; }
    void Reset() override {}
};

// The two pivots and the factories that lead to and from them. The factory
// names are the same in all three encoding classes.
template <class P>
struct Pivot;

// An auto-detecting byte encoding has no transcoder of its own: its input
// goes through a detecting decoder to the pivot.
template <class P, class Enc>
auto PlainDecoderTo(Enc const & encoding, UnicodeLibAllocator & arena) {
    if constexpr (std::is_same<P, unsigned int>::value) {
        return encoding.CreateConverterToUTF32(arena);
    } else {
        return encoding.CreateConverterToUTF16(arena);
    }
}
template <class P, class Enc>
auto DecoderTo(Enc const & encoding, UnicodeLibAllocator & arena) {
    return PlainDecoderTo<P>(encoding, arena);
}
template <class P>
Transcoder<char, P> * DecoderTo(CharEncoding const & encoding, UnicodeLibAllocator & arena) {
    Transcoder<char, P> * detecting = zuuc_detect::CreateDetectingDecoder<P>(encoding, arena);
    return detecting != nullptr ? detecting : PlainDecoderTo<P>(encoding, arena);
}

template <>
struct Pivot<unsigned short> {
    static TextEncoding const & Encoding() { return Char16Encoding::UTF16(); }
    template <class Enc>
    static auto To(Enc const & encoding, UnicodeLibAllocator & arena) {
        return DecoderTo<unsigned short>(encoding, arena);
    }
    template <class Enc>
    static auto From(Enc const & encoding, UnicodeLibAllocator & arena) {
        return encoding.CreateConverterFromUTF16(arena);
    }
};

template <>
struct Pivot<unsigned int> {
    static TextEncoding const & Encoding() { return Char32Encoding::UTF32(); }
    template <class Enc>
    static auto To(Enc const & encoding, UnicodeLibAllocator & arena) {
        return DecoderTo<unsigned int>(encoding, arena);
    }
    template <class Enc>
    static auto From(Enc const & encoding, UnicodeLibAllocator & arena) {
        return encoding.CreateConverterFromUTF32(arena);
    }
};

inline bool IsProblem(TranscodeResult result) {
    return result >= kTranscodeIllegalInput && result <= kTranscodeIllFormedUTF16;
}

// What is left of `limit` after `written` units (-1 stays "no limit").
inline long RemainingLimit(long limit, long written) {
    if (limit < 0) {
        return -1;
    }
    return written >= limit ? 0 : limit - written;
}

// Two transcoders chained through 2048 units of the pivot. Like the library's
// composite, it reports every problem of either stage as result 3, only once
// everything produced before the problem has been written, and keeps units
// that did not fit for the next call (also while finishing). Unlike it, the
// second stage is always given the chance to write what it still holds
// before a first-stage problem is reported: a second stage that is itself a
// chain keeps converted units inside, and they come before the problem.
// Its mode is the second stage's, which decides the byte substitute.
template <class In, class P, class Out>
class PivotChain final : public Transcoder<In, Out> {
public:
    PivotChain(Transcoder<In, P> * first, Transcoder<P, Out> * second)
        : first_(first), second_(second), position_(buffer_), end_(buffer_) {}
    PivotChain(PivotChain const &) = delete;
    PivotChain & operator=(PivotChain const &) = delete;
    ~PivotChain() override {
        delete first_;
        delete second_;
    }

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override {
        first_->SetBehavior(behavior);
        second_->SetBehavior(behavior);
        return Transcoder<In, Out>::SetBehavior(behavior);
    }

    TranscodeResult Transcode(In const *& in, In const * inEnd, Out *& out, Out * outEnd,
                              long limit) override {
        Out * const out_start = out;
        for (;;) {
            TranscodeResult first_result = kTranscodeOutputFull;  // "more may come"
            if (position_ == end_ && !problem_pending_) {
                P * produced = buffer_;
                first_result = first_->Transcode(in, inEnd, produced, buffer_ + kSize, -1);
                position_ = buffer_;
                end_ = produced;
                problem_pending_ = first_result >= kTranscodeIllegalInput &&
                                   first_result <= kTranscodeLimitReached;
            }
            TranscodeResult const second_result =
                Deliver(out, outEnd, RemainingLimit(limit, static_cast<long>(out - out_start)));
            if (second_result == kTranscodeOutputFull || second_result == kTranscodeLimitReached) {
                return second_result;
            }
            if (IsProblem(second_result)) {
                return kTranscodeIllegalInput;
            }
            if (problem_pending_) {
                problem_pending_ = false;
                return kTranscodeIllegalInput;
            }
            if (first_result != kTranscodeOutputFull) {
                return kTranscodeInputExhausted;
            }
        }
    }

    TranscodeResult Finish(Out *& out, Out * outEnd, long limit) override {
        Out * const out_start = out;
        auto remaining = [&] { return RemainingLimit(limit, static_cast<long>(out - out_start)); };
        if (problem_pending_) {
            TranscodeResult const result = Deliver(out, outEnd, remaining());
            if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
                return result;
            }
            problem_pending_ = false;
            return kTranscodeIllegalInput;
        }
        for (;;) {
            if (!first_finished_) {
                std::size_t const kept = static_cast<std::size_t>(end_ - position_);
                if (position_ != buffer_) {
                    std::memmove(buffer_, position_, kept * sizeof(P));
                    position_ = buffer_;
                    end_ = buffer_ + kept;
                }
                P * produced = end_;
                TranscodeResult const result = first_->Finish(produced, buffer_ + kSize, -1);
                bool const stuck = result == kTranscodeOutputFull && produced == end_ && kept == 0;
                end_ = produced;
                if (result != kTranscodeOutputFull || stuck) {
                    first_finished_ = true;
                    first_finish_problem_ = IsProblem(result) || result == kTranscodeLimitReached;
                }
            }
            TranscodeResult const result = Deliver(out, outEnd, remaining());
            if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
                return result;
            }
            if (IsProblem(result)) {
                return kTranscodeIllegalInput;
            }
            if (first_finished_) {
                break;
            }
        }
        TranscodeResult const second_result = second_->Finish(out, outEnd, remaining());
        if (second_result == kTranscodeOutputFull || second_result == kTranscodeLimitReached) {
            return second_result;
        }
        bool const problem = first_finish_problem_ || IsProblem(second_result);
        Reset();
        return problem ? kTranscodeIllegalInput : kTranscodeComplete;
    }

    void Reset() override {
        first_->Reset();
        second_->Reset();
        position_ = buffer_;
        end_ = buffer_;
        problem_pending_ = false;
        first_finished_ = false;
        first_finish_problem_ = false;
    }

    unsigned int Mode() const override { return second_->Mode(); }

private:
    static constexpr unsigned int kSize = 2048;

    // Runs the second stage over the undelivered units, even when there are
    // none, so that it can write what it holds itself.
    TranscodeResult Deliver(Out *& out, Out * outEnd, long limit) {
        P const * position = position_;
        TranscodeResult const result = second_->Transcode(position, end_, out, outEnd, limit);
        position_ = buffer_ + (position - buffer_);
        return result;
    }

    Transcoder<In, P> * first_;
    Transcoder<P, Out> * second_;
    P buffer_[kSize];
    P * position_;
    P * end_;
    bool problem_pending_ = false;
    bool first_finished_ = false;
    bool first_finish_problem_ = false;
};

}  // namespace

template <class In, class Out>
class BufferConverterImpl {
public:
    BufferConverterImpl()
        : finished_(false),
          substitutions_(0),
          arena_(arena_storage_, sizeof arena_storage_, "BufferConverter", 0),
          transcoder_(nullptr),
          output_encoding_(nullptr) {}
    BufferConverterImpl(BufferConverterImpl const &) = delete;
    BufferConverterImpl & operator=(BufferConverterImpl const &) = delete;
    ~BufferConverterImpl() { delete transcoder_; }

    template <class InEnc, class OutEnc>
    bool Initialize(InEnc const & in, OutEnc const & out) noexcept;
    BufferConverterResult Convert(In const *& in, In const * inEnd, Out *& out,
                                  Out const * outEnd, bool final) noexcept;
    bool Reset() noexcept;
    unsigned int Substitutions() const noexcept { return substitutions_; }

private:
    template <class P, class InEnc, class OutEnc>
    bool Build(InEnc const & in, OutEnc const & out);

    // Writes one substitute if it fits whole; otherwise keeps it pending.
    bool Substitute(Out *& out, Out const * outEnd);
    bool WritePending(Out *& out, Out const * outEnd);

    static constexpr unsigned int kArenaSize = 20792;

    bool finished_;
    alignas(std::max_align_t) unsigned char arena_storage_[kArenaSize];
    unsigned int substitutions_;
    LinearAllocator arena_;
    Transcoder<In, Out> * transcoder_;
    TextEncoding const * output_encoding_;

    // A final call has converted all its input and is finishing.
    bool finishing_ = false;
    // A substitute that found no room, written first on the next call.
    bool pending_ = false;
    unsigned char const * pending_chars_ = nullptr;
    unsigned int pending_length_ = 0;
};

template <class In, class Out>
template <class InEnc, class OutEnc>
bool BufferConverterImpl<In, Out>::Initialize(InEnc const & in, OutEnc const & out) noexcept {
    if (transcoder_ != nullptr) {
        return false;
    }
    try {
        // The width of an encoding's tables is known once they are installed.
        in.Load();
        out.Load();
        bool const wide = in.TokenSize() == 4 || out.TokenSize() == 4 || in.IsUTF32InUnicode() ||
                          out.IsUTF32InUnicode();
        bool const built = wide ? Build<unsigned int>(in, out) : Build<unsigned short>(in, out);
        if (built) {
            output_encoding_ = &out;
        }
        return built;
    } catch (...) {
        // A factory could not load its tables or obtain memory.
        return false;
    }
}

template <class In, class Out>
template <class P, class InEnc, class OutEnc>
bool BufferConverterImpl<In, Out>::Build(InEnc const & in, OutEnc const & out) {
    // A side of the pivot's own width that is the pivot needs no stage. For
    // such a width the factories return null to say "no conversion needed";
    // for any other width null means the conversion does not exist.
    constexpr bool kInIsPivotWidth = std::is_same<In, P>::value;
    constexpr bool kOutIsPivotWidth = std::is_same<Out, P>::value;
    TextEncoding const & pivot = Pivot<P>::Encoding();

    Transcoder<In, P> * first = nullptr;
    Transcoder<P, Out> * second = nullptr;
    try {
        if (!(kInIsPivotWidth && in == pivot)) {
            first = Pivot<P>::To(in, arena_);
            if (first == nullptr && !kInIsPivotWidth) {
                return false;
            }
        }
        if (!(kOutIsPivotWidth && out == pivot)) {
            second = Pivot<P>::From(out, arena_);
            if (second == nullptr && !kOutIsPivotWidth) {
                delete first;
                return false;
            }
        }
        if (first != nullptr && second != nullptr) {
            transcoder_ = new (arena_) PivotChain<In, P, Out>(first, second);
        }
    } catch (...) {
        delete first;
        delete second;
        throw;
    }

    if constexpr (std::is_same<In, P>::value) {
        if (first == nullptr && second != nullptr) {
            transcoder_ = second;
        }
    }
    if constexpr (std::is_same<Out, P>::value) {
        if (second == nullptr && first != nullptr) {
            transcoder_ = first;
        }
    }
    if constexpr (std::is_same<In, P>::value && std::is_same<Out, P>::value) {
        if (first == nullptr && second == nullptr) {
            transcoder_ = new (arena_) IdentityTranscoder<P>();
        }
    }
    return transcoder_ != nullptr;
}

template <class In, class Out>
bool BufferConverterImpl<In, Out>::WritePending(Out *& out, Out const * outEnd) {
    if (static_cast<std::size_t>(outEnd - out) < pending_length_) {
        return false;
    }
    if constexpr (std::is_same<Out, char>::value) {
        if (pending_length_ != 0) {
            std::memcpy(out, pending_chars_, pending_length_);
        }
        out += pending_length_;
    } else {
        *out++ = static_cast<Out>(0xFFFD);
    }
    pending_ = false;
    ++substitutions_;
    return true;
}

template <class In, class Out>
bool BufferConverterImpl<In, Out>::Substitute(Out *& out, Out const * outEnd) {
    if constexpr (std::is_same<Out, char>::value) {
        unsigned char const * chars = nullptr;
        unsigned int const length =
            output_encoding_->SubstituteChars(chars, transcoder_->Mode());
        pending_chars_ = chars;
        pending_length_ = chars != nullptr ? length : 0;
    } else {
        pending_length_ = 1;
    }
    pending_ = true;
    return WritePending(out, outEnd);
}

template <class In, class Out>
BufferConverterResult BufferConverterImpl<In, Out>::Convert(In const *& in, In const * inEnd,
                                                            Out *& out, Out const * outEnd,
                                                            bool final) noexcept {
    if (transcoder_ == nullptr) {
        return kBufferConverterNotInitialized;
    }
    if (finished_) {
        return kBufferConverterAlreadyFinished;
    }
    if (pending_ && !WritePending(out, outEnd)) {
        return kBufferConverterOutputFull;
    }
    Out * const end = const_cast<Out *>(outEnd);

    // A final call that ran out of room while finishing goes straight back
    // to finishing when it is continued.
    if (!(finishing_ && in == inEnd)) {
        finishing_ = false;
        for (;;) {
            if (out == end && in != inEnd) {
                return kBufferConverterOutputFull;  // no room: consume nothing
            }
            In const * const in_before = in;
            Out const * const out_before = out;
            TranscodeResult const result = transcoder_->Transcode(in, inEnd, out, end, -1);
            if (result == kTranscodeComplete || result == kTranscodeInputExhausted) {
                break;
            }
            if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
                return kBufferConverterOutputFull;
            }
            if (IsProblem(result)) {
                if (!Substitute(out, outEnd)) {
                    return kBufferConverterOutputFull;
                }
                continue;
            }
            // An unknown result: go on while the converter makes progress.
            if (in == in_before && out == out_before) {
                break;
            }
        }
        if (!final) {
            return kBufferConverterInputConsumed;
        }
        finishing_ = true;
    }
    if (!final) {
        return kBufferConverterInputConsumed;
    }

    TranscodeResult const result = transcoder_->Finish(out, end, -1);
    if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
        return kBufferConverterOutputFull;
    }
    // An incomplete sequence at the end: one substitute. The converter has
    // reset itself, so if the substitute must wait for room the next call
    // finishes again with nothing owed.
    if (IsProblem(result) && !Substitute(out, outEnd)) {
        return kBufferConverterOutputFull;
    }
    finishing_ = false;
    finished_ = true;
    return substitutions_ != 0 ? kBufferConverterCompleteWithSubstitutions
                               : kBufferConverterComplete;
}

template <class In, class Out>
bool BufferConverterImpl<In, Out>::Reset() noexcept {
    finished_ = false;
    finishing_ = false;
    pending_ = false;
    substitutions_ = 0;
    if (transcoder_ == nullptr) {
        return false;
    }
    transcoder_->Reset();
    return true;
}

#define ZUUC_DEFINE_BUFFER_CONVERTER(Name, In, Out, InEnc, OutEnc)                          \
    Name::Name() : impl_(new BufferConverterImpl<In, Out>()) {}                              \
    Name::~Name() { delete impl_; }                                                          \
    bool Name::Initialize(InEnc const & in, OutEnc const & out) {                            \
        return impl_->Initialize(in, out);                                                   \
    }                                                                                        \
    BufferConverterResult Name::Convert(In const *& in, In const * inEnd, Out *& out,        \
                                        Out const * outEnd, bool final) {                    \
        return impl_->Convert(in, inEnd, out, outEnd, final);                                \
    }                                                                                        \
    bool Name::Reset() { return impl_->Reset(); }                                            \
    unsigned int Name::Substitutions() const { return impl_->Substitutions(); }              \
    static_assert(true, "")

ZUUC_DEFINE_BUFFER_CONVERTER(CharToCharBufferConverter, char, char, CharEncoding, CharEncoding);
ZUUC_DEFINE_BUFFER_CONVERTER(CharToChar16BufferConverter, char, unsigned short, CharEncoding,
                             Char16Encoding);
ZUUC_DEFINE_BUFFER_CONVERTER(CharToChar32BufferConverter, char, unsigned int, CharEncoding,
                             Char32Encoding);
ZUUC_DEFINE_BUFFER_CONVERTER(Char16ToCharBufferConverter, unsigned short, char, Char16Encoding,
                             CharEncoding);
ZUUC_DEFINE_BUFFER_CONVERTER(Char16ToChar16BufferConverter, unsigned short, unsigned short,
                             Char16Encoding, Char16Encoding);
ZUUC_DEFINE_BUFFER_CONVERTER(Char16ToChar32BufferConverter, unsigned short, unsigned int,
                             Char16Encoding, Char32Encoding);
ZUUC_DEFINE_BUFFER_CONVERTER(Char32ToCharBufferConverter, unsigned int, char, Char32Encoding,
                             CharEncoding);
ZUUC_DEFINE_BUFFER_CONVERTER(Char32ToChar16BufferConverter, unsigned int, unsigned short,
                             Char32Encoding, Char16Encoding);
ZUUC_DEFINE_BUFFER_CONVERTER(Char32ToChar32BufferConverter, unsigned int, unsigned int,
                             Char32Encoding, Char32Encoding);

#undef ZUUC_DEFINE_BUFFER_CONVERTER
