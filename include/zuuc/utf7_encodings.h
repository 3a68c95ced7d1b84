// UTF-7, Unicode 1.1, Java-style escapes and the HP printer form of EUC-KR.
//
//   Unicode11Encoding   16-bit units with the Hangul syllables where Unicode
//                       1.1 had them (U+3400..U+4DFF, moved to U+AC00..U+D7A3
//                       in Unicode 2.0). Char16Encoding::Unicode11().
//   UTF7Variation       number 2, "UTF7" / "UTF-7": UTF-7 bytes of a 16-bit
//                       Unicode encoding (UTF-16, Unicode 1.1 and their
//                       byte-order-mark variants).
//   JavaVariation       number 7, "Java": ASCII bytes with \uXXXX escapes, of
//                       the same 16-bit encodings.
//   HPPrinterVariation  number 8, "HP-Printer": EUC-KR with every character
//                       in two bytes (single bytes padded with a 0x00 first).
//
// The variations are built when the library starts, so "UTF-7",
// "UTF-16:Java", "Unicode11:UTF-7" or "EUC-KR:HP-Printer" are found by name
// from the first lookup.
//
// Converters follow the library's whole-character rule: a character whose
// output does not fit (or would pass the limit) is left unconsumed with
// result 2 (or 7). The decoders below hold a decoded high surrogate until
// its low surrogate is decoded, so a pair is always written whole.
#ifndef ZUUC_UTF7_ENCODINGS_H
#define ZUUC_UTF7_ENCODINGS_H

#include "zuuc/char_encoding.h"
#include "zuuc/code_tables.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/export.h"
#include "zuuc/transcoder.h"

class MBCSEncoding;

// A decoded high surrogate waiting for its partner (internal to the decoders).
struct ZuHeldSurrogate {
    unsigned short unit;
    bool held;
};

// ===========================================================================
// Unicode 1.1
// ===========================================================================

// Identifier 1; nicknames "Unicode11", "csUnicode11", "UNICODE-1-1",
// "UNICODE-1-1-UCS-2", "UNICODE-1-1-UTF16", "Unicode 1.1". Converting to
// Unicode moves the 6,656 old syllables to their 2.0 places and turns the
// 2.0 syllable block (unassigned in 1.1) into U+FFFD; converting from
// Unicode moves them back and turns the 4,516 syllables that 1.1 lacks, and
// the old block itself, into U+FFFD. No problem is reported for either:
// U+FFFD is written. Everything else passes unchanged. There are no
// surrogate pairs in Unicode 1.1: units convert one by one.
class ZUUC_EXPORT Unicode11Encoding : public Char16EncodingImpl {
public:
    ~Unicode11Encoding() override;

    // A code point above 0xFFFF is returned unchanged.
    unsigned int MapToUnicode(unsigned int c) const override;
    // A code point above 0xFFFF gives 0xFFFD.
    unsigned int MapFromUnicode(unsigned int c) const override;
    ToUnicodeSource * CreateCharSourceToUnicode(Char16Source & source,
                                                UnicodeLibAllocator & allocator) const override;
    Char16Source * CreateCharSourceFromUnicode(Char32Source & source,
                                               UnicodeLibAllocator & allocator) const override;
    Char16Sink * CreateCharSinkToUnicode(Char32Sink & sink,
                                         UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkFromUnicode(Char16Sink & sink,
                                           UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, unsigned short> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, unsigned short> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    // The two mapping tables (undefined marker 0, which means "unchanged").
    static PlaneTable<unsigned short, unsigned short> const & ToUnicodeTable();
    static PlaneTable<unsigned short, unsigned short> const & FromUnicodeTable();

    Unicode11Encoding(Unicode11Encoding const &) = delete;
    Unicode11Encoding & operator=(Unicode11Encoding const &) = delete;

private:
    friend class Char16Encoding;  // its accessor builds the one object
    Unicode11Encoding();
};

class ZUUC_EXPORT Unicode11ToUTF16Converter : public BlockConverter_16_to_16 {
public:
    Unicode11ToUTF16Converter();
    ~Unicode11ToUTF16Converter() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                              unsigned short *& out, unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;
};

class ZUUC_EXPORT Unicode11ToUTF32Converter : public BlockConverter_16_to_32 {
public:
    Unicode11ToUTF32Converter();
    ~Unicode11ToUTF32Converter() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                              unsigned int *& out, unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;
};

class ZUUC_EXPORT UTF16ToUnicode11Converter : public BlockConverter_16_to_16 {
public:
    UTF16ToUnicode11Converter();
    ~UTF16ToUnicode11Converter() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                              unsigned short *& out, unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;
};

// A value above 0xFFFF is not in the repertoire (result 5, consumed).
class ZUUC_EXPORT UTF32ToUnicode11Converter : public BlockConverter_32_to_16 {
public:
    UTF32ToUnicode11Converter();
    ~UTF32ToUnicode11Converter() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd,
                              unsigned short *& out, unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
};

// ===========================================================================
// UTF-7
// ===========================================================================

// UTF-7 bytes to 16-bit units. Outside base64 every byte below 0x80 stands
// for itself; "+" opens a base64 run and "+-" is "+". A run ends at the
// first byte outside the base64 alphabet; a "-" there is dropped, any other
// byte stands for itself. Errors (result 3): a byte above 0x7F; a run that
// ends before its first unit ("+ ", "++" at the end); bits left over at the
// end of a run that are not zero. After an error the decoder starts afresh;
// a byte that ended a bad run and is not "-" is consumed with the run and
// written (as it would be outside base64) before the next byte is read.
class ZUUC_EXPORT UTF7toWhatever : public BlockConverter_8_to_16 {
public:
    UTF7toWhatever();
    ~UTF7toWhatever() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

    struct State {
        bool in_base64;
        bool just_after_plus;
        bool unit_written;   // a unit was decoded in the current run
        unsigned long bits;  // held bits, filled from bit 31 down
        unsigned int bit_count;
        bool has_replay;  // `replay` ended a bad run and is still to be written
        unsigned short replay;
    };

private:
    // Writes a byte kept from a bad run; false (with `stop`) when it does not fit.
    bool WriteReplay(unsigned short *& out, unsigned short * outEnd, long & limit,
                     TranscodeResult & stop);

    State state_;
    ZuHeldSurrogate high_;
};

// 16-bit units to UTF-7. Units of the direct set are written as themselves
// outside base64; every other unit goes into a base64 run opened with "+"
// ("+" itself, outside a run, is written "+-"; inside a run it is encoded
// like any other unit). A run is closed before a direct unit: its last bits
// are padded with zeros, then "-" is written when the explicit-terminator
// flag is set or the direct unit could be read as part of the run (a base64
// character or "-"). Finish closes an open run.
class ZUUC_EXPORT UTF7fromWhatever : public BlockConverter_16_to_8 {
public:
    // `wide_direct_set`: write ! " # $ % & * ; < = > @ [ ] ^ _ ` { | } as
    // themselves too (the strict set has A-Z a-z 0-9 ' ( ) , - . / : ? space
    // TAB CR LF).
    UTF7fromWhatever(bool wide_direct_set, bool explicit_terminator);
    ~UTF7fromWhatever() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;
    // 1 while a base64 run is open, else 0.
    unsigned int Mode() const override;

    struct State {
        unsigned long bits;  // held bits, fewer than 6, in the low bits
        unsigned int bit_count;
        bool in_base64;
    };

private:
    bool const * direct_;  // 128 flags
    bool explicit_terminator_;
    State state_;
};

// The UTF-7 form of a 16-bit Unicode encoding. MIME name
// "UNICODE-1-1-UTF-7" over Unicode 1.1 (or its byte-order-mark variant),
// else "UTF-7"; the UTF-7 variant of UTF-16 is also named "UTF7" and
// "UTF-7". Its substitute is U+FFFD in UTF-7 ("+//9-"). From UTF-32, a
// character the base cannot carry (above U+10FFFF; above U+FFFF for Unicode
// 1.1) closes an open base64 run before it is reported, so the substitute
// written for it stands outside the run.
class ZUUC_EXPORT UTF7EncodingVariant : public BlockCharEncoding {
public:
    UTF7EncodingVariant(Char16Encoding const & base, EncodingVariation const & variation,
                        char const ** nicknames, bool wide_direct_set, bool explicit_terminator);
    ~UTF7EncodingVariant() override;

    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    bool IsTextModeSafe() const override;  // true: only ASCII bytes, line ends direct
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    Char16Encoding const & GetBase() const { return base_; }

private:
    Char16Encoding const & base_;
    bool wide_direct_set_;
    bool explicit_terminator_;
};

class ZUUC_EXPORT UTF7Variation : public RealEncodingVariation {
public:
    ~UTF7Variation() override;
    void GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) override;

private:
    friend class EncodingVariation;  // its accessor builds the one object
    UTF7Variation();
};

// ===========================================================================
// Java escapes
// ===========================================================================

// The Java form of a 16-bit Unicode encoding: every unit up to 0x7E is one
// byte, except backspace, tab and form feed ("\b", "\t", "\f") and the
// backslash itself ("\\"); every other unit is "\u" and four upper-case hex
// digits. Reading accepts "\b", "\f", "\n", "\r", "\t", "\u" with one to four
// hex digits (ended early by a non-digit), and "\" before any other byte
// stands for that byte; bytes 0x80..0xFF stand for U+0080..U+00FF.
class ZUUC_EXPORT JavaEncodingVariant : public BlockCharEncoding {
public:
    JavaEncodingVariant(Char16Encoding const & base, EncodingVariation const & variation,
                        char const ** nicknames);
    ~JavaEncodingVariant() override;

    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    bool IsTextModeSafe() const override;  // true
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    Char16Encoding const & GetBase() const { return base_; }

    // An escape cut short by the end of the input is illegal (result 3).
    class ZUUC_EXPORT ToUTF16 : public BlockConverter_8_to_16 {
    public:
        ToUTF16();
        ~ToUTF16() override;
        TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                                  unsigned short * outEnd, long limit) override;
        TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
        void Reset() override;

        struct State {
            unsigned int step;  // 0 plain, 1 after "\", 2..5 after "\u" and 0..3 digits
            unsigned short value;
        };

    private:
        State state_;
        ZuHeldSurrogate high_;
    };

    class ZUUC_EXPORT FromUTF16 : public BlockConverter_16_to_8 {
    public:
        FromUTF16();
        ~FromUTF16() override;
        TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                                  char *& out, char * outEnd, long limit) override;
        TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    };

private:
    Char16Encoding const & base_;
};

class ZUUC_EXPORT JavaVariation : public RealEncodingVariation {
public:
    ~JavaVariation() override;
    void GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) override;

private:
    friend class EncodingVariation;
    JavaVariation();
};

// ===========================================================================
// HP printer form of EUC-KR
// ===========================================================================

// Every character in two bytes, high then low: ASCII as 0x00 and the byte.
// Reading skips a 0x00 in the first byte of each pair and decodes the rest
// with EUC-KR's own state machine. Converting loads EUC-KR's tables.
class ZUUC_EXPORT HPPrinterVariant : public BlockCharEncoding {
public:
    // `base` is EUC-KR, an MBCSEncoding (it may still be under construction).
    HPPrinterVariant(CharEncoding const & base, EncodingVariation const & variation,
                     char const ** nicknames);
    ~HPPrinterVariant() override;

    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    bool IsBasedOnASCII() const override;  // false
    bool IsTextModeSafe() const override;  // false
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    CharEncoding const & GetBase() const { return base_; }

    // Decoders: a sequence the base has no character for is result 4; input
    // that ends inside a sequence is reported by Finish (result 3).
    class ZUUC_EXPORT ToUTF16 : public BlockConverter_8_to_16 {
    public:
        explicit ToUTF16(MBCStoUnicodeTable<unsigned short> const & table);
        ~ToUTF16() override;
        TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                                  unsigned short * outEnd, long limit) override;
        TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
        void Reset() override;

    private:
        MBCStoUnicodeTable<unsigned short> const & table_;
        unsigned int state_;
        bool second_;  // the next byte is the second of a pair
    };

    class ZUUC_EXPORT ToUTF32 : public BlockConverter_8_to_32 {
    public:
        explicit ToUTF32(MBCStoUnicodeTable<unsigned short> const & table);
        ~ToUTF32() override;
        TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                  unsigned int * outEnd, long limit) override;
        TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
        void Reset() override;

    private:
        MBCStoUnicodeTable<unsigned short> const & table_;
        unsigned int state_;
        bool second_;
    };

    // Encoders: a character EUC-KR lacks (or above U+FFFF) is result 5.
    class ZUUC_EXPORT FromUTF16 : public BlockConverter_16_to_8 {
    public:
        explicit FromUTF16(PlaneTable<unsigned short, unsigned short> const & table);
        ~FromUTF16() override;
        TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                                  char *& out, char * outEnd, long limit) override;
        TranscodeResult Finish(char *& out, char * outEnd, long limit) override;

    private:
        PlaneTable<unsigned short, unsigned short> const & table_;
    };

    class ZUUC_EXPORT FromUTF32 : public BlockConverter_32_to_8 {
    public:
        explicit FromUTF32(PlaneTable<unsigned short, unsigned short> const & table);
        ~FromUTF32() override;
        TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                                  char * outEnd, long limit) override;
        TranscodeResult Finish(char *& out, char * outEnd, long limit) override;

    private:
        PlaneTable<unsigned short, unsigned short> const & table_;
    };

private:
    // The base with its tables loaded; null when it has no 16-bit tables.
    MBCSEncoding const * LoadedBase() const;

    CharEncoding const & base_;
};

// Applies to EUC-KR (identifier 9) only.
class ZUUC_EXPORT HPPrinterVariation : public RealEncodingVariation {
public:
    ~HPPrinterVariation() override;
    void GenerateVariantOfCharEncoding(CharEncoding const & encoding) override;

private:
    friend class EncodingVariation;
    HPPrinterVariation();
};

#endif
