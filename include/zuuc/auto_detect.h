// Auto-detecting encodings: byte encodings that read ahead, let one detector
// per candidate encoding rate the bytes, choose the best candidate and then
// decode everything (the bytes read ahead first, exactly once) with the
// chosen candidate's own decoder.
//
//   EncodingChooser     the read-ahead buffer and one detector per candidate
//   AutoDetectEncoding  an encoding that decodes (never encodes) by choosing
//   AutoDetectSource    the decoding source an auto-detecting encoding makes
//   AutoDetectSink      the decoding sink an auto-detecting encoding makes
//   DualCharSource      serves one byte source to its end, then another
//
// The library's three auto-detecting encodings are CharEncoding::
// ChineseAutoDetect(), JapaneseAutoDetect() and KoreanAutoDetect(); they are
// built at library start, after the catalogue, so name lookup finds them from
// the first call.
//
// Decoding through an auto-detecting encoding works with the converter
// sources and sinks (zuuc/encoding_converters.h) and the buffer converters;
// the converters' ActualInputEncoding and ActualRating then report the
// encoding chosen and its rating.
#ifndef ZUUC_AUTO_DETECT_H
#define ZUUC_AUTO_DETECT_H

#include <cstddef>

#include "zuuc/char_encoding.h"
#include "zuuc/detector.h"
#include "zuuc/export.h"
#include "zuuc/foundation.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"

// Holds the bytes read ahead and one detector per candidate, and decides.
//
// Examine appends bytes and returns the chosen encoding as soon as exactly
// one detector has the best rating (ties go on reading), looking only where
// the bytes read ahead reach a multiple of 1024, so that the choice does not
// depend on how the input was divided into pieces; Finish decides on
// what was read when the input ended, breaking ties with the detectors'
// tie-breakers at the behaviour's tie-break level, and falls back to the
// first of the best in candidate order. When the behaviour's
// DisplayAutoDetectMessages is set, each decision is described on standard
// error. The chooser's behaviour is its owner's.
class ZUUC_EXPORT EncodingChooser : public UnicodeLibActor {
public:
    // At most this many candidates take part; further ones are ignored.
    static constexpr int kMaxCandidates = 8;

    // Creates, in `allocator`, each candidate's detector in candidate order.
    // `language` (may be null) scores decoded text when ties are broken; it
    // is not owned.
    EncodingChooser(UnicodeLibBehavior * behavior, CharEncoding const * const * candidates,
                    int count, UnicodeLibAllocator & allocator, LanguageDetector * language);
    EncodingChooser(EncodingChooser const &) = delete;
    EncodingChooser & operator=(EncodingChooser const &) = delete;
    ~EncodingChooser() override;

    // Appends [start, end) to the read-ahead, lets every detector rate the
    // new bytes and returns the chosen encoding, or null while undecided.
    // `rating` receives the best rating.
    CharEncoding const * Examine(unsigned char const * start, unsigned char const * end,
                                 int & rating);
    // Decides on everything read ahead; null only when there is no candidate.
    CharEncoding const * Finish(int & rating);

    // The bytes read ahead so far (they stay as long as the chooser).
    unsigned char const * ReadAhead() const { return buffer_; }
    std::size_t ReadAheadSize() const { return size_; }
    int CountDetectors() const { return count_; }
    CharEncodingDetector const * GetDetector(int i) const;

private:
    // Best rating (or tie-breaker) and how many detectors share it; makes
    // the first detector with it the chosen one.
    int FindBest(bool tie_breakers, int & best);
    void Report(bool decided, bool with_tie_breakers) const;

    int count_;
    CharEncodingDetector * detectors_[kMaxCandidates];
    std::size_t size_;
    unsigned char * buffer_;
    std::size_t capacity_;
    CharEncoding const * chosen_;
    LanguageDetector * language_;
};

// An encoding that decodes by choosing among candidate encodings. It cannot
// encode (IsValidForOutput is false and the encoding factories return
// null), its transcoder and detector factories return null, and only its
// decoding source and sink work.
class ZUUC_EXPORT AutoDetectEncoding : public CharEncodingImpl {
public:
    ~AutoDetectEncoding() override;

    bool IsValidForOutput() const override;  // false
    // True when every candidate is text-mode safe.
    bool IsTextModeSafe() const override;
    unsigned int CountCandidateEncodings() const override;
    CharEncoding const * GetCandidateEncoding(unsigned int i) const override;
    ToUnicodeSource * CreateCharSourceToUnicode(CharSource & source,
                                                UnicodeLibAllocator & allocator) const override;
    CharSource * CreateCharSourceFromUnicode(Char32Source & source,
                                             UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkFromUnicode(CharSink & sink,
                                           UnicodeLibAllocator & allocator) const override;
    CharSink * CreateCharSinkToUnicode(Char32Sink & sink,
                                       UnicodeLibAllocator & allocator) const override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    // The scorer that breaks ties (null when none was set).
    LanguageDetector * GetLanguageDetector() const { return language_; }

    AutoDetectEncoding(AutoDetectEncoding const &) = delete;
    AutoDetectEncoding & operator=(AutoDetectEncoding const &) = delete;

protected:
    // `names` is the null-terminated list of names (the first is the name).
    AutoDetectEncoding(TextEncodingID id, char const ** names);

    // Appends a candidate; candidates are tried, and win ties, in order.
    void AddCandidate(CharEncoding const & candidate);
    void SetLanguageDetector(LanguageDetector * language) { language_ = language; }

private:
    CharEncoding const ** candidates_;
    unsigned int count_;
    unsigned int capacity_;
    LanguageDetector * language_;
};

// Serves a first byte source to its end and then a second one. Neither is
// owned.
class ZUUC_EXPORT DualCharSource : public CharSource {
public:
    DualCharSource(CharSource & first, CharSource & second);
    DualCharSource(DualCharSource const &) = delete;
    DualCharSource & operator=(DualCharSource const &) = delete;
    ~DualCharSource() override;

protected:
    bool FillBuffer() override;

private:
    CharSource * first_;
    CharSource * second_;
    int phase_;  // 0 first, 1 second, 2 ended
};

// The decoding source of an auto-detecting encoding. On its first refill (or
// the first question about the encoding or rating) it reads the byte source
// until the chooser decides or the input ends, then decodes the bytes read
// ahead and the rest of the input with the chosen encoding's source.
class ZUUC_EXPORT AutoDetectSource : public ToUnicodeSource {
public:
    AutoDetectSource(CharSource & source, CharEncoding const * const * candidates, int count,
                     UnicodeLibAllocator & allocator, LanguageDetector * language);
    AutoDetectSource(AutoDetectSource const &) = delete;
    AutoDetectSource & operator=(AutoDetectSource const &) = delete;
    ~AutoDetectSource() override;

    // Passes the behaviour on to the decoding source (once there is one) and
    // the chooser, then takes it.
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    // The encoding chosen and its rating (detection runs first if needed).
    TextEncoding const & ActualInputEncoding() const override;
    int ActualRating() const override;
    // The chooser, with every candidate's detector (their ratings are final
    // once ActualInputEncoding or ActualRating has been asked).
    EncodingChooser const & Chooser() const { return chooser_; }

protected:
    bool FillBuffer() override;

private:
    void Detect();

    ToUnicodeSource * converter_;
    bool ended_;
    EncodingChooser chooser_;
    CharSource * input_;
    BufferCharSource * read_ahead_;
    DualCharSource * dual_;
    CharEncoding const * chosen_;
    int rating_;
    UnicodeLibAllocator * allocator_;
};

// The decoding sink of an auto-detecting encoding: bytes put into it are
// read ahead until the chooser decides (or until Flush), then the bytes read
// ahead and everything after them go to the chosen encoding's decoding sink,
// which writes to the target.
class ZUUC_EXPORT AutoDetectSink : public CharSink {
public:
    AutoDetectSink(Char32Sink & target, CharEncoding const * const * candidates, int count,
                   UnicodeLibAllocator & allocator, LanguageDetector * language);
    AutoDetectSink(AutoDetectSink const &) = delete;
    AutoDetectSink & operator=(AutoDetectSink const &) = delete;
    // Flushes first (deciding if still undecided).
    ~AutoDetectSink() override;

    void Flush() override;
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

    // The encoding chosen (null while undecided) and its rating.
    CharEncoding const * ChosenEncoding() const { return chosen_; }
    int ChosenRating() const { return rating_; }

protected:
    void PutBuffer(char const * begin, char const * end) override;

private:
    void Decided(CharEncoding const & encoding);

    EncodingChooser chooser_;
    Char32Sink * target_;
    CharEncoding const * chosen_;
    int rating_;
    CharSink * converter_;
    UnicodeLibAllocator * allocator_;
};

#endif
