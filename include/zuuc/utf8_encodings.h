// UTF-8 and UTF-EBCDIC: two variations that turn a Unicode encoding of 16-
// or 32-bit units (UTF-16, UTF-32, Unicode 1.1 and their byte-order-mark
// variants) into a byte encoding, the variant encodings they make, and the
// converters between those bytes and UTF-16 / UTF-32.
//
// Decoders never let U+FEFF through (a byte-order mark is dropped wherever it
// occurs), reject every ill-formed UTF-8 sequence (overlong forms, encoded
// surrogates, values above U+10FFFF, sequences cut short, stray continuation
// bytes, lead bytes F5..FF) and, when a sequence is cut short by a byte that
// cannot continue it, report the sequence and convert that byte afresh.
//
// All converters keep one character's output whole: when a character does
// not fit (or would pass the limit) they stop with result 2 (or 7) and leave
// the character unconsumed, even when part of it arrived in an earlier call.
//
// When a problem is found that lies wholly in bytes held from an earlier
// call, the converter takes the first unit of the current call into its own
// state (it is converted on the next call), so that a caller never sees a
// problem result with no input consumed and no output written.
#ifndef ZUUC_UTF8_ENCODINGS_H
#define ZUUC_UTF8_ENCODINGS_H

#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/export.h"
#include "zuuc/transcoder.h"

// ---------------------------------------------------------------------------
// Variations
// ---------------------------------------------------------------------------

// Variation 3, "UTF8" / "UTF-8". Applies to UTF-16, UTF-32 and Unicode 1.1
// and to their byte-order-mark variants.
class ZUUC_EXPORT UTF8Variation : public RealEncodingVariation {
public:
    UTF8Variation();
    ~UTF8Variation() override;
    void GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) override;
    void GenerateVariantOfChar32Encoding(Char32Encoding const & encoding) override;
};

// Variation 9, "UTF-EBCDIC". Applies to UTF-16 and Unicode 1.1 and to their
// byte-order-mark variants.
class ZUUC_EXPORT UTF8EBCDICVariation : public RealEncodingVariation {
public:
    UTF8EBCDICVariation();
    ~UTF8EBCDICVariation() override;
    void GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) override;
};

// ---------------------------------------------------------------------------
// Variant encodings
// ---------------------------------------------------------------------------

// The three byte forms. Each holds its base (not owned) and whether
// surrogate pairs combine into one character (false for Unicode 1.1). Their
// sources and sinks wrap the variant's own UTF-32 converters; their
// substitute is U+FFFD written in the form itself.
#define ZUUC_UNICODE_BYTE_FORM_MEMBERS(Base)                                                      \
public:                                                                                           \
    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override; \
    bool IsTextModeSafe() const override;                                                         \
    ToUnicodeSource * CreateCharSourceToUnicode(CharSource & source,                              \
                                                UnicodeLibAllocator & allocator) const override;  \
    CharSource * CreateCharSourceFromUnicode(Char32Source & source,                               \
                                             UnicodeLibAllocator & allocator) const override;     \
    Char32Sink * CreateCharSinkFromUnicode(CharSink & sink, UnicodeLibAllocator & allocator)      \
        const override;                                                                           \
    CharSink * CreateCharSinkToUnicode(Char32Sink & sink, UnicodeLibAllocator & allocator)        \
        const override;                                                                           \
    Transcoder<char, unsigned int> * CreateConverterToUTF32(UnicodeLibAllocator & allocator)      \
        const override;                                                                           \
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(UnicodeLibAllocator & allocator)    \
        const override;                                                                           \
    Transcoder<char, unsigned short> * CreateConverterToUTF16(UnicodeLibAllocator & allocator)    \
        const override;                                                                           \
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(UnicodeLibAllocator & allocator)  \
        const override;                                                                           \
    Base const & GetBase() const {                                                                \
        return base_;                                                                             \
    }                                                                                             \
    bool CombinesSurrogates() const {                                                             \
        return combine_surrogates_;                                                               \
    }                                                                                             \
                                                                                                  \
private:                                                                                          \
    Base const & base_;                                                                           \
    bool combine_surrogates_;

class ZUUC_EXPORT UTF8EncodingVariantOfUTF16 : public CharEncodingImpl {
public:
    UTF8EncodingVariantOfUTF16(Char16Encoding const & base, EncodingVariation const & variation,
                               char const ** nicknames, bool combine);
    ~UTF8EncodingVariantOfUTF16() override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    ZUUC_UNICODE_BYTE_FORM_MEMBERS(Char16Encoding)
};

class ZUUC_EXPORT UTF8EncodingVariantOfUTF32 : public CharEncodingImpl {
public:
    UTF8EncodingVariantOfUTF32(Char32Encoding const & base, EncodingVariation const & variation,
                               char const ** nicknames, bool combine);
    ~UTF8EncodingVariantOfUTF32() override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    ZUUC_UNICODE_BYTE_FORM_MEMBERS(Char32Encoding)
};

class ZUUC_EXPORT UTF8EBCDICEncodingVariant : public CharEncodingImpl {
public:
    UTF8EBCDICEncodingVariant(Char16Encoding const & base, EncodingVariation const & variation,
                              char const ** nicknames, bool combine);
    ~UTF8EBCDICEncodingVariant() override;
    bool IsBasedOnASCII() const override;  // false: ASCII letters are EBCDIC bytes here
    ZUUC_UNICODE_BYTE_FORM_MEMBERS(Char16Encoding)
};

#undef ZUUC_UNICODE_BYTE_FORM_MEMBERS

// ---------------------------------------------------------------------------
// Converters
// ---------------------------------------------------------------------------

// State shared by the two UTF-8 decoders: the bytes of an unfinished
// sequence (its lead first) and the length the lead byte announces.
struct UTF8DecoderState {
    unsigned char held[4];
    unsigned int held_count;  // 0 when nothing is held
    unsigned int trailing;    // trailing bytes the held lead announces
};

class ZUUC_EXPORT UTF8ToUTF16 : public BlockConverter_8_to_16 {
public:
    // The flag is accepted for symmetry with the encoder and not used.
    explicit UTF8ToUTF16(bool combine_surrogates = true);
    ~UTF8ToUTF16() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

private:
    UTF8DecoderState state_;
};

class ZUUC_EXPORT UTF8ToUTF32 : public BlockConverter_8_to_32 {
public:
    UTF8ToUTF32();
    ~UTF8ToUTF32() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    UTF8DecoderState state_;
};

class ZUUC_EXPORT UTF16ToUTF8 : public BlockConverter_16_to_8 {
public:
    explicit UTF16ToUTF8(bool combine_surrogates = true);
    ~UTF16ToUTF8() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;

private:
    bool combine_;
    unsigned short pending_;  // a high surrogate waiting for its partner, 0 for none
    int replay_;              // a unit taken ahead to be converted next, -1 for none
};

class ZUUC_EXPORT UTF32ToUTF8 : public BlockConverter_32_to_8 {
public:
    UTF32ToUTF8();
    ~UTF32ToUTF8() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;
};

// UTF-EBCDIC bytes to UTF-16. Characters above U+FFFF are written as
// surrogate pairs when `allow_supplementary` is set, else reported (result 4).
class ZUUC_EXPORT UTF8EBCDICtoWhatever : public BlockConverter_8_to_16 {
public:
    explicit UTF8EBCDICtoWhatever(bool allow_supplementary = true);
    ~UTF8EBCDICtoWhatever() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

private:
    bool allow_supplementary_;
    unsigned int expected_;  // trailing bytes still expected
    unsigned long value_;    // bits accumulated so far
    int replay_;             // a byte taken ahead to be converted next, -1 for none
};

class ZUUC_EXPORT UTF8EBCDICfromWhatever : public BlockConverter_16_to_8 {
public:
    explicit UTF8EBCDICfromWhatever(bool combine_surrogates = true);
    ~UTF8EBCDICfromWhatever() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;

private:
    bool combine_;
    unsigned short pending_;
    int replay_;
};

// The fixed permutation between UTF-EBCDIC's intermediate bytes and EBCDIC bytes.
ZUUC_EXPORT unsigned char UTF8EBCDICIntermediateToEBCDIC(unsigned char intermediate);
ZUUC_EXPORT unsigned char UTF8EBCDICEBCDICToIntermediate(unsigned char ebcdic);

#endif
