// Buffer converters: one transcoder (or a chain of two through Unicode) kept
// in an arena inside the converter, driven over the caller's buffers with
// substitution and counting of every problem.
#include <algorithm>
#include <cstring>
#include <type_traits>

#include "convert/transcode_contract.h"
#include "detect/detecting_decoder.h"
#include "zuuc/buffer_converters.h"
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
        std::size_t const room = static_cast<std::size_t>(outEnd - out);
        std::size_t const allowed = zuuc_internal::ClampToLimit(room, limit);
        bool const limited = allowed < room;
        std::size_t const count = std::min(available, allowed);
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

// The pivot's own encoding: UTF-16 or UTF-32.
template <class P>
TextEncoding const & PivotEncoding() {
    if constexpr (std::is_same<P, unsigned int>::value) {
        return Char32Encoding::UTF32();
    } else {
        return Char16Encoding::UTF16();
    }
}

// The decoder to the pivot. An auto-detecting byte encoding has no
// transcoder of its own: its input goes through a detecting decoder.
// `detecting` is set to the count of substitutes that stage writes itself.
using zuuc_internal::detect::InPlaceSubstitutes;
template <class P, class Enc>
auto DecoderTo(Enc const & encoding, UnicodeLibAllocator & arena, InPlaceSubstitutes *&) {
    return zuuc_internal::ConverterToPivot<P>(encoding, arena);
}
template <class P>
Transcoder<char, P> * DecoderTo(CharEncoding const & encoding, UnicodeLibAllocator & arena,
                                InPlaceSubstitutes *& detecting) {
    Transcoder<char, P> * decoder =
        zuuc_internal::detect::CreateDetectingDecoder<P>(encoding, arena);
    if (decoder == nullptr) {
        return zuuc_internal::ConverterToPivot<P>(encoding, arena);
    }
    detecting = &zuuc_internal::detect::SubstitutesOf(*decoder);
    return decoder;
}

using zuuc_internal::IsInputProblem;
using zuuc_internal::IsOutputStop;
using zuuc_internal::kNoLimit;

}  // namespace

template <class In, class Out>
class BufferConverterImpl {
public:
    BufferConverterImpl()
        : finished_(false),
          substitutions_(0),
          arena_(arena_storage_, static_cast<unsigned int>(sizeof arena_storage_),
                 "BufferConverter", 0),
          transcoder_(nullptr),
          output_encoding_(nullptr) {}
    BufferConverterImpl(BufferConverterImpl const &) = delete;
    BufferConverterImpl & operator=(BufferConverterImpl const &) = delete;
    ~BufferConverterImpl() { delete transcoder_; }

    template <class InEnc, class OutEnc>
    bool Initialize(InEnc const & in, OutEnc const & out) noexcept;
    BufferConverterResult Convert(In const *& in, In const * inEnd, Out *& out, Out const * outEnd,
                                  bool final) noexcept;
    bool Reset() noexcept;
    unsigned int Substitutions() const noexcept { return substitutions_; }

private:
    template <class P, class InEnc, class OutEnc>
    bool Build(InEnc const & in, OutEnc const & out);

    // Writes one substitute if it fits whole; otherwise keeps it pending.
    bool Substitute(Out *& out, Out const * outEnd);
    bool WritePending(Out *& out, Out const * outEnd);

    // The largest chain the factories build: the pivot composite through
    // UTF-32 whose stages are a composite through UTF-32 and one through
    // UTF-16 (a variant over a chained base), and the state of their codecs.
    // A new factory that builds a deeper chain must grow this computation.
    static constexpr std::size_t kCodecRoom = 144;
    static constexpr std::size_t kLargestChain =
        2 * sizeof(CompositeTranscoderFor<char, unsigned int, char>) +
        sizeof(CompositeTranscoderFor<char, unsigned short, unsigned int>) + kCodecRoom;
    static constexpr std::size_t kArenaSize = kLargestChain;
    static_assert(sizeof(CompositeTranscoderFor<char, unsigned int, char>) >=
                      sizeof(CompositeTranscoderFor<unsigned int, unsigned int, unsigned int>),
                  "the byte-to-byte composite is the largest of its pivot");
    static_assert(kArenaSize < (1u << 16), "the arena stays inside the converter's own block");

    bool finished_;
    alignas(std::max_align_t) unsigned char arena_storage_[kArenaSize];
    unsigned int substitutions_;
    LinearAllocator arena_;
    Transcoder<In, Out> * transcoder_;
    TextEncoding const * output_encoding_;
    // The detecting stage of an auto-detecting input encoding, if any.
    InPlaceSubstitutes * detecting_ = nullptr;

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
        } else {
            detecting_ = nullptr;  // gone with the stages
        }
        return built;
    } catch (...) {
        // A factory could not load its tables or obtain memory.
        detecting_ = nullptr;
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
    TextEncoding const & pivot = PivotEncoding<P>();

    Transcoder<In, P> * first = nullptr;
    Transcoder<P, Out> * second = nullptr;
    try {
        if (!(kInIsPivotWidth && in == pivot)) {
            first = DecoderTo<P>(in, arena_, detecting_);
            if (first == nullptr && !kInIsPivotWidth) {
                return false;
            }
        }
        if (!(kOutIsPivotWidth && out == pivot)) {
            second = zuuc_internal::ConverterFromPivot<P>(out, arena_);
            if (second == nullptr && !kOutIsPivotWidth) {
                delete first;
                return false;
            }
        }
        if (first != nullptr && second != nullptr) {
            // The chain owns both stages from here, also when it cannot be placed.
            transcoder_ = zuuc_internal::Chain(first, second, arena_);
            return transcoder_ != nullptr;
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
        unsigned int const length = output_encoding_->SubstituteChars(chars, transcoder_->Mode());
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
            TranscodeResult const result = transcoder_->Transcode(in, inEnd, out, end, kNoLimit);
            if (result == kTranscodeComplete || result == kTranscodeInputExhausted) {
                break;
            }
            if (IsOutputStop(result)) {
                return kBufferConverterOutputFull;
            }
            if (IsInputProblem(result)) {
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

    TranscodeResult const result = transcoder_->Finish(out, end, kNoLimit);
    if (IsOutputStop(result)) {
        return kBufferConverterOutputFull;
    }
    // An incomplete sequence at the end: one substitute. The converter has
    // reset itself, so if the substitute must wait for room the next call
    // finishes again with nothing owed.
    if (IsInputProblem(result) && !Substitute(out, outEnd)) {
        return kBufferConverterOutputFull;
    }
    finishing_ = false;
    finished_ = true;
    if (detecting_ != nullptr) {
        substitutions_ += detecting_->Take();
    }
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
    if (detecting_ != nullptr) {
        detecting_->Take();
    }
    return true;
}

#define ZUUC_DEFINE_BUFFER_CONVERTER(Name, In, Out, InEnc, OutEnc)                    \
    Name::Name() : impl_(new BufferConverterImpl<In, Out>()) {}                       \
    Name::~Name() {                                                                   \
        delete impl_;                                                                 \
    }                                                                                 \
    bool Name::Initialize(InEnc const & in, OutEnc const & out) {                     \
        return impl_->Initialize(in, out);                                            \
    }                                                                                 \
    BufferConverterResult Name::Convert(In const *& in, In const * inEnd, Out *& out, \
                                        Out const * outEnd, bool final) {             \
        return impl_->Convert(in, inEnd, out, outEnd, final);                         \
    }                                                                                 \
    bool Name::Reset() {                                                              \
        return impl_->Reset();                                                        \
    }                                                                                 \
    unsigned int Name::Substitutions() const {                                        \
        return impl_->Substitutions();                                                \
    }                                                                                 \
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
