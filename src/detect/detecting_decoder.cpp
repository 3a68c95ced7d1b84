// The detecting decoder of the buffer converters.
#include "detect/detecting_decoder.h"

#include <new>

#include "detect/read_ahead.h"
#include "zuuc/auto_detect.h"

namespace zuuc_internal::detect {
namespace {

// The chosen candidate's own decoder to the output's width.
Transcoder<char, unsigned int> * DecoderOf(CharEncoding const & chosen,
                                           UnicodeLibAllocator & allocator, unsigned int *) {
    return chosen.GetImplementation().CreateConverterToUTF32(allocator);
}
Transcoder<char, unsigned short> * DecoderOf(CharEncoding const & chosen,
                                             UnicodeLibAllocator & allocator, unsigned short *) {
    return chosen.GetImplementation().CreateConverterToUTF16(allocator);
}

template <class Out>
class DetectingDecoder final : public Transcoder<char, Out>, public InPlaceSubstitutes {
public:
    DetectingDecoder(CharEncoding const & encoding, UnicodeLibAllocator & allocator)
        : encoding_(encoding), allocator_(allocator) {
        Start();
    }
    DetectingDecoder(DetectingDecoder const &) = delete;
    DetectingDecoder & operator=(DetectingDecoder const &) = delete;
    ~DetectingDecoder() override { Stop(); }

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override {
        chooser_->SetBehavior(behavior);
        if (decoder_ != nullptr) {
            decoder_->SetBehavior(behavior);
        }
        return Transcoder<char, Out>::SetBehavior(behavior);
    }

    TranscodeResult Transcode(char const *& in, char const * inEnd, Out *& out, Out * outEnd,
                              long limit) override {
        if (decoder_ == nullptr) {
            CharEncoding const * chosen = nullptr;
            auto const * begin = reinterpret_cast<unsigned char const *>(in);
            auto const * end = reinterpret_cast<unsigned char const *>(inEnd);
            int rating = 0;
            in = reinterpret_cast<char const *>(
                ExamineSlices(*chooser_, begin, end, chosen, rating));
            if (chosen == nullptr) {
                return kTranscodeInputExhausted;
            }
            if (!Decided(*chosen)) {
                in = inEnd;
                return kTranscodeIllegalInput;
            }
        }
        Out * const out_start = out;
        TranscodeResult const drained = DrainReadAhead(out, outEnd, limit);
        if (drained != kTranscodeInputExhausted) {
            return drained;
        }
        long const left = limit < 0 ? -1 : limit - static_cast<long>(out - out_start);
        return decoder_->Transcode(in, inEnd, out, outEnd, left);
    }

    TranscodeResult Finish(Out *& out, Out * outEnd, long limit) override {
        if (decoder_ == nullptr) {
            int rating = 0;
            CharEncoding const * chosen = chooser_->Finish(rating);
            if (chosen == nullptr || !Decided(*chosen)) {
                bool const lost = chooser_->ReadAheadSize() != 0;
                Reset();
                return lost ? kTranscodeIllegalInput : kTranscodeComplete;
            }
        }
        // Problems in what was read ahead cannot be reported from here (a
        // problem result of Finish ends the conversion), so they are
        // replaced in place, as the buffer converters would replace them.
        Out * const out_start = out;
        auto left = [&] { return limit < 0 ? -1 : limit - static_cast<long>(out - out_start); };
        for (;;) {
            // A substitute owed from a call that ran out of room comes first:
            // the bytes it stands for are consumed already.
            if (substitute_owed_) {
                if (out == outEnd || left() == 0) {
                    return out == outEnd ? kTranscodeOutputFull : kTranscodeLimitReached;
                }
                *out++ = 0xFFFD;
                substitute_owed_ = false;
                ++substituted_;
            }
            TranscodeResult const result = DrainReadAhead(out, outEnd, left());
            if (result == kTranscodeInputExhausted) {
                break;
            }
            if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
                return result;
            }
            substitute_owed_ = true;
        }
        TranscodeResult const result = decoder_->Finish(out, outEnd, left());
        if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
            return result;
        }
        Reset();
        return result;
    }

    void Reset() override {
        Stop();
        Start();
        substitute_owed_ = false;
    }

    unsigned int Mode() const override { return decoder_ != nullptr ? decoder_->Mode() : 0; }

    unsigned int Take() override {
        unsigned int const count = substituted_;
        substituted_ = 0;
        return count;
    }

private:
    void Start() {
        CharEncoding const * candidates[EncodingChooser::kMaxCandidates] = {};
        unsigned int count = encoding_.CountCandidateEncodings();
        if (count > EncodingChooser::kMaxCandidates) {
            count = EncodingChooser::kMaxCandidates;
        }
        for (unsigned int i = 0; i < count; ++i) {
            candidates[i] = encoding_.GetCandidateEncoding(i);
        }
        LanguageDetector * language = nullptr;
        if (auto const * detecting = dynamic_cast<AutoDetectEncoding const *>(&encoding_)) {
            language = detecting->GetLanguageDetector();
        }
        chooser_ = new EncodingChooser(this->GetBehavior(), candidates, static_cast<int>(count),
                                       allocator_, language);
        read_position_ = 0;
        drained_ = false;
    }

    void Stop() {
        delete decoder_;
        decoder_ = nullptr;
        delete chooser_;
        chooser_ = nullptr;
    }

    // False when the chosen candidate has no decoder of this width (every
    // candidate of the library's encodings has both).
    bool Decided(CharEncoding const & chosen) {
        decoder_ = DecoderOf(chosen, allocator_, static_cast<Out *>(nullptr));
        if (decoder_ != nullptr) {
            decoder_->SetBehavior(this->GetBehavior());
        }
        return decoder_ != nullptr;
    }

    // Decodes what is left of the bytes read ahead; result 1 once they are
    // all done. The decoder may have consumed them all and still hold text
    // it could not write (a composite decoder keeps what follows a problem),
    // so they are done only when the decoder itself says so.
    TranscodeResult DrainReadAhead(Out *& out, Out * outEnd, long limit) {
        if (drained_) {
            return kTranscodeInputExhausted;
        }
        std::size_t const size = chooser_->ReadAheadSize();
        auto const * base = reinterpret_cast<char const *>(chooser_->ReadAhead());
        char const * position = base + read_position_;
        TranscodeResult const result =
            decoder_->Transcode(position, base + size, out, outEnd, limit);
        read_position_ = static_cast<std::size_t>(position - base);
        bool const clean = result == kTranscodeComplete || result == kTranscodeInputExhausted;
        if (clean && read_position_ >= size) {
            drained_ = true;  // a partial sequence goes on in the decoder
            return kTranscodeInputExhausted;
        }
        return result;
    }

    CharEncoding const & encoding_;
    UnicodeLibAllocator & allocator_;
    EncodingChooser * chooser_ = nullptr;
    Transcoder<char, Out> * decoder_ = nullptr;
    std::size_t read_position_ = 0;
    bool drained_ = false;
    bool substitute_owed_ = false;
    unsigned int substituted_ = 0;  // kept across Reset until taken
};

}  // namespace

template <class Out>
Transcoder<char, Out> * CreateDetectingDecoder(CharEncoding const & encoding,
                                               UnicodeLibAllocator & allocator) {
    if (encoding.CountCandidateEncodings() == 0) {
        return nullptr;
    }
    return new (allocator) DetectingDecoder<Out>(encoding, allocator);
}

template <class Out>
InPlaceSubstitutes & SubstitutesOf(Transcoder<char, Out> & detecting) {
    return static_cast<DetectingDecoder<Out> &>(detecting);
}

template Transcoder<char, unsigned int> * CreateDetectingDecoder<unsigned int>(
    CharEncoding const &, UnicodeLibAllocator &);
template Transcoder<char, unsigned short> * CreateDetectingDecoder<unsigned short>(
    CharEncoding const &, UnicodeLibAllocator &);
template InPlaceSubstitutes & SubstitutesOf<unsigned int>(Transcoder<char, unsigned int> &);
template InPlaceSubstitutes & SubstitutesOf<unsigned short>(Transcoder<char, unsigned short> &);

}  // namespace zuuc_internal::detect
