// Modal encodings: byte streams that switch between character sets with
// escape or shift sequences (the ISO-2022 family and the EBCDIC mixed code
// pages), and HZ, the 7-bit form of GB2312 for mail and news.
#ifndef ZUUC_MODAL_ENCODING_H
#define ZUUC_MODAL_ENCODING_H

#include <vector>

#include "zuuc/char_encoding.h"
#include "zuuc/code_tables.h"
#include "zuuc/detector.h"
#include "zuuc/export.h"
#include "zuuc/transcoder.h"

// ---------------------------------------------------------------------------
// Decoders
// ---------------------------------------------------------------------------
//
// The modal state machine holds the modes itself: states 0 .. N-1 start the
// N modes and escape sequences are paths of "no character yet" entries that
// end in the state of their mode. An escape left unfinished at the end of the
// input is not reported; Finish returns 0 and goes back to mode 0.

class ZUUC_EXPORT ModalToUTF16 : public BlockConverter_8_to_16 {
public:
    explicit ModalToUTF16(MBCStoUnicodeTable<unsigned short> const * table);
    ~ModalToUTF16() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(char const *& in, char const * inEnd, unsigned short *& out,
                                     unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

private:
    MBCStoUnicodeTable<unsigned short> const * table_;
    unsigned int state_;
    unsigned int last_value_;
};

// Uses the table with 16-bit values when given, else the 32-bit one (whose
// values beyond U+FFFF are carried in full).
class ZUUC_EXPORT ModalToUTF32 : public BlockConverter_8_to_32 {
public:
    ModalToUTF32(MBCStoUnicodeTable<unsigned short> const * table16,
                 MBCStoUnicodeTable<unsigned int> const * table32);
    ~ModalToUTF32() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(char const *& in, char const * inEnd, unsigned int *& out,
                                     unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    MBCStoUnicodeTable<unsigned short> const * table16_;
    MBCStoUnicodeTable<unsigned int> const * table32_;
    unsigned int state_;
    unsigned int last_value_;
};

// ---------------------------------------------------------------------------
// Encoders
// ---------------------------------------------------------------------------

// What the from-Unicode converters of one modal encoding share: one plane
// table per mode (16-bit keys, or 32-bit keys when `wide` is given), the
// escape matrix (entry from * N + to switches from mode "from" to mode "to";
// null on the diagonal), whether output returns to mode 0 at its end, and
// whether each conversion starts with the ISO-2022-KR header ESC $ ) C.
struct ZUUC_EXPORT ModalOutputSetup {
    PlaneTable<unsigned short, unsigned int> const * const * narrow;
    PlaneTable<unsigned int, unsigned int> const * const * wide;
    unsigned int mode_count;
    unsigned char const * const * escapes;
    unsigned int longest_escape;
    bool return_to_initial;
    bool korean_header;

    // The length of the escape from mode `from` to mode `to` (0 when none).
    unsigned int EscapeLength(unsigned int from, unsigned int to) const;
    // Whether the escape from mode `from` to mode `to` leaves the shift state
    // as it was: it only designates a set into G1, G2 or G3 (for single
    // shifts to call on, as ISO-2022-CN's ESC $ * H for CNS plane 2) and
    // shifts nothing in or out.
    bool KeepsShift(unsigned int from, unsigned int to) const;
};

// The encoders write each character in the current mode when its table maps
// it, else switch to the first mode (0, 1, ...) that does. Every character
// is written whole with the escape before it; with return-to-initial set,
// room for the escape back to mode 0 is always kept, and a call that stops
// because the output (or the limit) is full first goes back to mode 0, so
// every buffer the converter fills ends in mode 0. An unmappable character
// gives result 5 (consumed) and leaves the mode unchanged. Mode() names the
// mode whose shift state the output is in, whose substitute therefore fits:
// the current mode, except after a switch that keeps the shift state (see
// KeepsShift), which leaves it at the mode before. (ISO-2022-CN entered
// plane 2 from ASCII is still shifted in, where plane 2's substitute
// "$" SUB would read as a dollar sign.) Finish returns to mode 0.
class ZUUC_EXPORT ModalFromUTF16 : public BlockConverter_16_to_8 {
public:
    explicit ModalFromUTF16(ModalOutputSetup const & setup);
    ~ModalFromUTF16() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;
    unsigned int Mode() const override;

private:
    ModalOutputSetup setup_;
    unsigned int mode_;
    unsigned int shift_;  // what Mode() reports
    bool header_pending_;
    // Units taken from an earlier call and not yet converted (a high
    // surrogate waiting for its low one, or a unit kept to move on).
    unsigned short held_[2];
    unsigned int held_count_;
};

class ZUUC_EXPORT ModalFromUTF32 : public BlockConverter_32_to_8 {
public:
    explicit ModalFromUTF32(ModalOutputSetup const & setup);
    ~ModalFromUTF32() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;
    unsigned int Mode() const override;

private:
    ModalOutputSetup setup_;
    unsigned int mode_;
    unsigned int shift_;  // what Mode() reports
    bool header_pending_;
};

// ---------------------------------------------------------------------------
// Detectors
// ---------------------------------------------------------------------------

// Walks the modal state machine: an invalid sequence costs a point, an
// escape or shift that settles in a mode earns one, and input ending inside
// an escape costs one. Ties: private-use characters cost a point each, and a
// language detector, when given, scores the decoded text.
class ZUUC_EXPORT ModalDetector : public CharEncodingDetector {
public:
    ModalDetector(CharEncoding const & encoding, MBCStoUnicodeTable<unsigned short> const * table,
                  unsigned int mode_count);
    ~ModalDetector() override;
    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;
    void BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                  unsigned char const * end, unsigned char level,
                  LanguageDetector * language) override;
    void Finish(unsigned char const * buffer_start, unsigned char const * end) override;

protected:
    // Applies the tie-break, with halfwidth katakana penalised too when asked.
    void BreakTieWith(unsigned char const * start, unsigned char const * end, unsigned char level,
                      LanguageDetector * language, bool penalise_halfwidth);

private:
    MBCStoUnicodeTable<unsigned short> const * table_;
    unsigned int mode_count_;
    unsigned int state_;
};

// ISO-2022-JP: as ModalDetector, but halfwidth katakana (U+FF61..U+FF9F),
// which the encoding does not carry, count against it like private use.
class ZUUC_EXPORT ISO2022JPDetector : public ModalDetector {
public:
    using ModalDetector::ModalDetector;
    ~ISO2022JPDetector() override;
    void BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                  unsigned char const * end, unsigned char level,
                  LanguageDetector * language) override;
};

// ---------------------------------------------------------------------------
// ModalEncoding
// ---------------------------------------------------------------------------

class ZUUC_EXPORT ModalEncoding : public BlockCharEncoding {
public:
    // Identifier, per-mode substitute strings, nicknames, MIME name, code
    // page, text-mode-safe flag, mode count N, escape matrix (N x N),
    // return-to-initial flag, table-loading function, encoding library.
    ModalEncoding(TextEncodingID id, unsigned char const ** substitutes, char const ** nicknames,
                  char const * mime_name, unsigned int code_page, bool text_mode_safe,
                  int mode_count, unsigned char const ** escapes, bool return_to_initial,
                  void (*loader)(), char const * library);
    ~ModalEncoding() override;

    // The substitute of `mode` (of mode 0 for a mode out of range).
    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    bool IsBasedOnASCII() const override;
    bool IsTextModeSafe() const override;
    // An ISO2022JPDetector for ISO-2022-JP (identifier 14), else a ModalDetector.
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    // Store the state machine and one plane table per mode; the encoding is
    // loaded when both are non-null. The 32-bit pair also marks the encoding
    // as carrying UTF-32.
    void InstallTables(MBCStoUnicodeTable<unsigned short> const * to_unicode,
                       PlaneTable<unsigned short, unsigned int> const * const * from_unicode);
    void InstallTables(MBCStoUnicodeTable<unsigned int> const * to_unicode,
                       PlaneTable<unsigned int, unsigned int> const * const * from_unicode);

    unsigned int ModeCount() const { return mode_count_; }
    unsigned int LongestEscape() const { return longest_escape_; }
    // The setup its from-Unicode converters get (16-bit keys when the
    // 16-bit-value state machine is installed).
    ModalOutputSetup OutputSetup() const;

private:
    bool text_mode_safe_;
    MBCStoUnicodeTable<unsigned short> const * to_unicode16_;
    PlaneTable<unsigned short, unsigned int> const * const * from_unicode16_;
    MBCStoUnicodeTable<unsigned int> const * to_unicode32_;
    PlaneTable<unsigned int, unsigned int> const * const * from_unicode32_;
    unsigned int mode_count_;
    unsigned char const ** substitutes_;
    unsigned char const ** escapes_;
    unsigned int longest_escape_;
    bool return_to_initial_;
    TextEncodingID id_;
};

// ---------------------------------------------------------------------------
// Finite state machines (the HZ parser)
// ---------------------------------------------------------------------------

// A table of states x input columns; each entry holds an action and the next
// state. A byte-to-column map picks the column of each input.
template <class Input, class Action>
class SimpleFiniteStateMachine {
public:
    struct Entry {
        Action action;
        unsigned short next;
    };

    SimpleFiniteStateMachine() : column_count_(256) {
        for (unsigned int b = 0; b < 256; ++b) {
            columns_[b] = static_cast<unsigned char>(b);
        }
    }

    Entry const & Step(unsigned int state, Input input) const {
        return entries_[state * column_count_ + columns_[static_cast<unsigned char>(input)]];
    }
    unsigned int StateCount() const {
        return static_cast<unsigned int>(entries_.size() / column_count_);
    }

protected:
    unsigned int column_count_;
    unsigned char columns_[256];
    std::vector<Entry> entries_;
};

template <class Input, class Action>
class FiniteStateMachine : public SimpleFiniteStateMachine<Input, Action> {
    using Base = SimpleFiniteStateMachine<Input, Action>;

public:
    // Appends a state whose entries all hold (action, next); returns its number.
    unsigned short CreateState(Action action, unsigned short next) {
        unsigned short const state = static_cast<unsigned short>(this->StateCount());
        this->entries_.resize(this->entries_.size() + this->column_count_,
                              typename Base::Entry{action, next});
        return state;
    }
    void SetRow(unsigned short state, Action action, unsigned short next) {
        for (unsigned int c = 0; c < this->column_count_; ++c) {
            this->entries_[state * this->column_count_ + c] = typename Base::Entry{action, next};
        }
    }
    void SetEntries(unsigned short state, Input const * inputs, unsigned int count, Action action,
                    unsigned short next) {
        for (unsigned int i = 0; i < count; ++i) {
            Set(state, inputs[i], action, next);
        }
    }
    void SetRange(unsigned short state, Input lo, Input hi, Action action, unsigned short next) {
        for (unsigned int b = static_cast<unsigned char>(lo); b <= static_cast<unsigned char>(hi);
             ++b) {
            Set(state, static_cast<Input>(b), action, next);
        }
    }

private:
    void Set(unsigned short state, Input input, Action action, unsigned short next) {
        this->entries_[state * this->column_count_ +
                       this->columns_[static_cast<unsigned char>(input)]] =
            typename Base::Entry{action, next};
    }
};

// ---------------------------------------------------------------------------
// HZ-GB-2312
// ---------------------------------------------------------------------------

// HZ carries GB2312 in 7 bits: "~{" enters GB mode, where pairs of bytes in
// 0x21..0x7E are GB2312 characters less 0x80 per byte, and "~}" leaves it;
// "~~" is a tilde and "~" before a line end continues the line. The GB2312
// characters themselves convert through the GB2312 encoding.
class ZUUC_EXPORT HZEncoding : public BlockCharEncoding {
public:
    enum HZ_Action : unsigned int {
        kInvalidByte = 0,
        kASCIICharacter = 1,
        kControlInGBMode = 2,
        kIgnore = 3,
        kLiteralTilde = 4,
        kEnterGBMode = 5,
        kLeaveGBMode = 6,
        kGBLeadByte = 7,
        kGBTrailByte = 8,
    };

    // The parser of HZ input; one process-wide instance, built on first use.
    class ZUUC_EXPORT Parser : public FiniteStateMachine<unsigned char, HZ_Action> {
    public:
        Parser();
        static Parser const & Instance();
    };

    // HZ to UTF-32. Owns an inner GB2312-to-UTF-32 converter.
    class ZUUC_EXPORT ToUTF32 : public BlockConverter_8_to_32 {
    public:
        // The inner converter comes from `gb2312` and is placed with `allocator`.
        ToUTF32(CharEncoding const & gb2312, UnicodeLibAllocator & allocator);
        ToUTF32(ToUTF32 const &) = delete;
        ToUTF32 & operator=(ToUTF32 const &) = delete;
        ~ToUTF32() override;
        TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                  unsigned int * outEnd, long limit) override;
        TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
        void Reset() override;

    private:
        Transcoder<char, unsigned int> * inner_;
        unsigned int hz_mode_;  // kEnterGBMode (GB) or kLeaveGBMode (ASCII)
        unsigned int last_action_;
        unsigned short parser_state_;
        unsigned char lead_;  // the GB lead byte waiting for its trail
    };

    // UTF-32 to HZ. Owns an inner UTF-32-to-GB2312 converter.
    class ZUUC_EXPORT FromUTF32 : public BlockConverter_32_to_8 {
    public:
        FromUTF32(CharEncoding const & gb2312, UnicodeLibAllocator & allocator);
        FromUTF32(FromUTF32 const &) = delete;
        FromUTF32 & operator=(FromUTF32 const &) = delete;
        ~FromUTF32() override;
        TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                                  char * outEnd, long limit) override;
        // Writes nothing: a text may end in GB mode.
        TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
        void Reset() override;

    private:
        Transcoder<unsigned int, char> * inner_;
        unsigned int hz_mode_;
    };

    // Rates bytes by running the parser: rejected bytes and control
    // characters in GB mode cost a point, mode switches earn one.
    class ZUUC_EXPORT EncodingDetector : public CharEncodingDetector {
    public:
        explicit EncodingDetector(CharEncoding const & encoding);
        ~EncodingDetector() override;
        void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                     unsigned char const * end) override;

    private:
        unsigned short parser_state_;
    };

    HZEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
               char const * mime_name, unsigned int code_page);
    ~HZEncoding() override;

    bool IsBasedOnASCII() const override;  // true
    bool IsTextModeSafe() const override;  // true
    // True when GB2312, which converts the characters, can be loaded.
    bool IsLoadable() const override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    // The encoding that converts the characters: CharEncoding::GB2312().
    CharEncoding const & GB2312Part() const;
};

#endif
