// Transcoders: the one interface through which every codec converts.
//
// A transcoder turns a run of code units of one width into code units of
// another width, keeps whatever state a partial sequence needs between calls
// and tells by a TranscodeResult why it stopped. Widths: `char` (bytes of an
// external encoding), `unsigned short` (UTF-16) and `unsigned int` (UTF-32).
//
// The templates are compiled into the library for the widths it uses; the
// `extern template` declarations below keep callers from compiling them again.
#ifndef ZUUC_TRANSCODER_H
#define ZUUC_TRANSCODER_H

#include "zuuc/export.h"
#include "zuuc/foundation.h"

// Why a transcoder stopped. The underlying type is fixed so that any int
// value can be carried; composites treat values above 7 as 0 and the stream
// adapters ignore them.
enum TranscodeResult : int {
    // Nothing is pending (the normal result of Finish).
    kTranscodeComplete = 0,
    // All of [in, inEnd) was consumed; a partial sequence may be held.
    kTranscodeInputExhausted = 1,
    // `out` reached `outEnd`; the next character was left unconsumed.
    kTranscodeOutputFull = 2,
    // A malformed sequence (or, from Finish, an incomplete one). For results
    // 3 to 5 `in` has moved past the offending units.
    kTranscodeIllegalInput = 3,
    // Well-formed input with no Unicode mapping (to-Unicode direction).
    kTranscodeNoCharacterDefined = 4,
    // A Unicode character the output encoding cannot represent.
    kTranscodeNotInRepertoire = 5,
    // A high surrogate followed by a unit that is not a low surrogate.
    kTranscodeIllFormedUTF16 = 6,
    // Writing the next character would exceed `limit` units.
    kTranscodeLimitReached = 7
};

// ---------------------------------------------------------------------------
// Transcoder
// ---------------------------------------------------------------------------

template <class From, class To>
class Transcoder : public UnicodeLibActor {
public:
    Transcoder();
    explicit Transcoder(UnicodeLibBehavior * behavior);

    // --- virtual interface, in slot order (SetBehavior comes from the actor) ---
    ~Transcoder() override;

    // Converts from `in` towards `inEnd` into `out` towards `outEnd`, moving
    // both pointers past what was consumed and written; `out` never passes
    // `outEnd`. `limit` is the most units this call may write, -1 for none.
    // A character whose output does not fit whole is left unconsumed.
    virtual TranscodeResult Transcode(From const *& in, From const * inEnd, To *& out, To * outEnd,
                                      long limit) = 0;

    // Converts as far as this converter's own block of characters reaches;
    // results 4 and 5 mean the character lies outside the block, and
    // converters that take part in block-combined encodings then leave `in`
    // at the start of it. The base converts nothing and returns 1.
    virtual TranscodeResult TranscodeInBlock(From const *& in, From const * inEnd, To *& out,
                                             To * outEnd, long limit);

    // Called once the input has ended: writes what the converter still owes
    // (a shift back to the initial mode, say) and reports an incomplete
    // sequence left pending with result 3. Concrete converters end with Reset.
    virtual TranscodeResult Finish(To *& out, To * outEnd, long limit) = 0;

    // Back to the initial state.
    virtual void Reset() = 0;

    // The current shift state, reported with not-in-repertoire problems;
    // 0 for stateless converters (the base).
    virtual unsigned int Mode() const;
};

extern template class ZUUC_EXPORT Transcoder<char, char>;
extern template class ZUUC_EXPORT Transcoder<char, unsigned short>;
extern template class ZUUC_EXPORT Transcoder<char, unsigned int>;
extern template class ZUUC_EXPORT Transcoder<unsigned short, char>;
extern template class ZUUC_EXPORT Transcoder<unsigned short, unsigned short>;
extern template class ZUUC_EXPORT Transcoder<unsigned short, unsigned int>;
extern template class ZUUC_EXPORT Transcoder<unsigned int, char>;
extern template class ZUUC_EXPORT Transcoder<unsigned int, unsigned short>;
extern template class ZUUC_EXPORT Transcoder<unsigned int, unsigned int>;

// ---------------------------------------------------------------------------
// Block converters: the abstract bases of the concrete codecs
// ---------------------------------------------------------------------------

class ZUUC_EXPORT BlockConverter_8_to_16 : public Transcoder<char, unsigned short> {
public:
    BlockConverter_8_to_16();
    ~BlockConverter_8_to_16() override;
};

class ZUUC_EXPORT BlockConverter_8_to_32 : public Transcoder<char, unsigned int> {
public:
    BlockConverter_8_to_32();
    ~BlockConverter_8_to_32() override;
};

// The to-byte bases carry one flag for the concrete converter's use (false
// at construction and after Reset).
class ZUUC_EXPORT BlockConverter_16_to_8 : public Transcoder<unsigned short, char> {
public:
    BlockConverter_16_to_8();
    ~BlockConverter_16_to_8() override;
    // Clears the flag; converters that override Reset call this one too.
    void Reset() override;

protected:
    bool state_flag() const { return state_flag_; }
    void set_state_flag(bool value) { state_flag_ = value; }

private:
    bool state_flag_;
};

class ZUUC_EXPORT BlockConverter_16_to_16 : public Transcoder<unsigned short, unsigned short> {
public:
    BlockConverter_16_to_16();
    ~BlockConverter_16_to_16() override;
};

class ZUUC_EXPORT BlockConverter_16_to_32 : public Transcoder<unsigned short, unsigned int> {
public:
    BlockConverter_16_to_32();
    ~BlockConverter_16_to_32() override;
};

class ZUUC_EXPORT BlockConverter_32_to_8 : public Transcoder<unsigned int, char> {
public:
    BlockConverter_32_to_8();
    ~BlockConverter_32_to_8() override;
    // Clears the flag; converters that override Reset call this one too.
    void Reset() override;

protected:
    bool state_flag() const { return state_flag_; }
    void set_state_flag(bool value) { state_flag_ = value; }

private:
    bool state_flag_;
};

// Converters from UTF-32 to 16-bit units keep no state here; Reset does nothing.
class ZUUC_EXPORT BlockConverter_32_to_16 : public Transcoder<unsigned int, unsigned short> {
public:
    BlockConverter_32_to_16();
    ~BlockConverter_32_to_16() override;
    void Reset() override;
};

class ZUUC_EXPORT BlockConverter_32_to_32 : public Transcoder<unsigned int, unsigned int> {
public:
    BlockConverter_32_to_32();
    ~BlockConverter_32_to_32() override;
};

// ---------------------------------------------------------------------------
// Composite transcoders
// ---------------------------------------------------------------------------

// Two transcoders chained through an intermediate buffer of 2048 units of
// Unicode (B is 16- or 32-bit): First converts A to B, Second B to C, and the
// whole is a T = Transcoder<A, C>. The composite owns both stages.
//
// Every problem of either stage comes out as result 3, and only after all
// the output produced before the problem has been delivered: the second
// stage is run before a first-stage problem is reported even when no
// intermediate units wait, so a second stage that is itself a composite
// writes the units it still holds first. Units the composite could not
// deliver because the output was full stay in the intermediate buffer and
// come out on the next Transcode or Finish call.
template <class T, class First, class Second, class A, class B, class C>
class CompositeTranscoder : public T {
public:
    // Takes ownership of both stages (neither may be null).
    CompositeTranscoder(First * first, Second * second);
    CompositeTranscoder(CompositeTranscoder const &) = delete;
    CompositeTranscoder & operator=(CompositeTranscoder const &) = delete;

    ~CompositeTranscoder() override;
    // Passes the behaviour on to both stages, then takes it itself.
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;
    TranscodeResult Transcode(A const *& in, A const * inEnd, C *& out, C * outEnd,
                              long limit) override;
    TranscodeResult Finish(C *& out, C * outEnd, long limit) override;
    void Reset() override;
    // The shift state of the output side, so that a substitute written for
    // a problem suits the mode the output is in.
    unsigned int Mode() const override;

    First * first_stage() const { return first_; }
    Second * second_stage() const { return second_; }

private:
    static constexpr unsigned int kIntermediateSize = 2048;

    // Runs the second stage over the undelivered intermediate units (also
    // when there are none, so that it can write what it holds).
    TranscodeResult Deliver(C *& out, C * outEnd, long limit);

    First * first_;
    Second * second_;
    B intermediate_[kIntermediateSize];
    B * position_;          // first undelivered intermediate unit
    B * end_;               // end of the intermediate units produced
    bool problem_pending_;  // the first stage stopped with a result 3 to 7
    bool first_finished_;   // Finish: the first stage has given all it owed
    TranscodeResult first_finish_result_;
};

#define ZUUC_DECLARE_COMPOSITE(A, B, C) \
    extern template class ZUUC_EXPORT   \
        CompositeTranscoder<Transcoder<A, C>, Transcoder<A, B>, Transcoder<B, C>, A, B, C>

ZUUC_DECLARE_COMPOSITE(char, unsigned short, char);
ZUUC_DECLARE_COMPOSITE(char, unsigned int, char);
ZUUC_DECLARE_COMPOSITE(char, unsigned short, unsigned short);
ZUUC_DECLARE_COMPOSITE(char, unsigned int, unsigned short);
ZUUC_DECLARE_COMPOSITE(char, unsigned int, unsigned int);
ZUUC_DECLARE_COMPOSITE(char, unsigned short, unsigned int);
ZUUC_DECLARE_COMPOSITE(unsigned short, unsigned short, char);
ZUUC_DECLARE_COMPOSITE(unsigned short, unsigned int, char);
ZUUC_DECLARE_COMPOSITE(unsigned short, unsigned short, unsigned short);
ZUUC_DECLARE_COMPOSITE(unsigned short, unsigned int, unsigned short);
ZUUC_DECLARE_COMPOSITE(unsigned short, unsigned int, unsigned int);
ZUUC_DECLARE_COMPOSITE(unsigned short, unsigned short, unsigned int);
ZUUC_DECLARE_COMPOSITE(unsigned int, unsigned short, char);
ZUUC_DECLARE_COMPOSITE(unsigned int, unsigned int, char);
ZUUC_DECLARE_COMPOSITE(unsigned int, unsigned short, unsigned short);
ZUUC_DECLARE_COMPOSITE(unsigned int, unsigned int, unsigned short);
ZUUC_DECLARE_COMPOSITE(unsigned int, unsigned int, unsigned int);
ZUUC_DECLARE_COMPOSITE(unsigned int, unsigned short, unsigned int);

#undef ZUUC_DECLARE_COMPOSITE

// The composite converting A to C through B.
template <class A, class B, class C>
using CompositeTranscoderFor =
    CompositeTranscoder<Transcoder<A, C>, Transcoder<A, B>, Transcoder<B, C>, A, B, C>;

#endif
