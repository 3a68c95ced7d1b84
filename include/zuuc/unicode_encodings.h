// The Unicode encoding forms of 16 and 32 bits and their byte streams.
//
// UTF16Encoding (16-bit code units, the library's internal form) and
// UTF32Encoding (32-bit code units) are the two Unicode base encodings. Four
// variations derive further encodings from them:
//
//   ByteOrderMarkVariation      a 16- or 32-bit encoding that writes a
//                               byte-order mark first and drops one on reading
//   BigEndianVariation          the byte stream of a 16- or 32-bit encoding,
//   LittleEndianVariation         most or least significant byte first, or in
//   PlatformByteOrderVariation    the running machine's order
//
// A byte stream of 16-bit units is called UCS-2 here (UCS2variant); one of
// 32-bit units is a UTF32variant. On reading, a byte stream sniffs its first
// unit: a byte-order mark there overrides the configured byte order.
//
// The encodings and variations are process-wide objects built on first use
// of their accessors (Char16Encoding::UTF16(), CharEncoding::UCS2(),
// EncodingVariation::BigEndian(), ...). The converters below are what their
// factories create; each is placed with the caller's allocator and destroyed
// with `delete`.
#ifndef ZUUC_UNICODE_ENCODINGS_H
#define ZUUC_UNICODE_ENCODINGS_H

#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/export.h"
#include "zuuc/transcoder.h"

// ===========================================================================
// Converters
// ===========================================================================
//
// None of them ever leaves part of one character's output in the caller's
// buffer: a character whose output does not fit is left unconsumed and the
// call returns 2 (output full) or 7 (limit reached). All of them can be used
// for several texts in turn: Finish ends with Reset.

// UTF-16 to UTF-32. A high surrogate waits (across calls) for its low
// surrogate. A high surrogate followed by anything else is illegal input
// (result 3) covering the high surrogate alone: the unit after it is
// converted on its own after the problem. Normally that unit is left
// unconsumed; when it is the first unit of a call (the high surrogate ended
// the previous input block) it is consumed and kept, so that the call makes
// progress, and converted first by the next call (or by Finish). A high
// surrogate at the end of the input is reported by Finish. Lone low
// surrogates pass through unchanged.
class ZUUC_EXPORT UTF16ToUTF32Converter : public BlockConverter_16_to_32 {
public:
    UTF16ToUTF32Converter();
    ~UTF16ToUTF32Converter() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                              unsigned int *& out, unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    enum Step { kTaken, kNoRoom, kNoBudget, kUnpaired };
    // Converts one unit (or holds a high surrogate).
    Step Take(unsigned short unit, unsigned int *& out, unsigned int * outEnd, long & budget);

    unsigned short pending_;  // a high surrogate waiting for its partner, 0 for none
    unsigned short kept_;     // a unit consumed after a problem, not yet converted
    bool has_kept_;
};

// UTF-32 to UTF-16. Values from 0x10000 to 0x10FFFF become surrogate pairs
// (written whole or not at all); smaller values, surrogate code points
// included, are copied. A value above 0x10FFFF cannot be written in UTF-16:
// it is consumed, nothing is written for it, and the call returns 5 (not in
// repertoire), the result the 32-to-16 stream adapters report as a problem
// (composites report it as 3).
class ZUUC_EXPORT UTF32ToUTF16Converter : public BlockConverter_32_to_16 {
public:
    UTF32ToUTF16Converter();
    ~UTF32ToUTF16Converter() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd,
                              unsigned short *& out, unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
};

// Writes the byte-order mark U+FEFF before the first unit of a text (not
// for an empty text), then copies units unchanged.
class ZUUC_EXPORT UTF16BOMinserter : public BlockConverter_16_to_16 {
public:
    UTF16BOMinserter();
    ~UTF16BOMinserter() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                              unsigned short *& out, unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

private:
    bool at_start_;
};

// Drops the first unit of a text when it is U+FEFF; copies everything else,
// later U+FEFF units included.
class ZUUC_EXPORT UTF16BOMremover : public BlockConverter_16_to_16 {
public:
    UTF16BOMremover();
    ~UTF16BOMremover() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd,
                              unsigned short *& out, unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

private:
    bool at_start_;
};

class ZUUC_EXPORT UTF32BOMinserter : public BlockConverter_32_to_32 {
public:
    UTF32BOMinserter();
    ~UTF32BOMinserter() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd,
                              unsigned int *& out, unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    bool at_start_;
};

class ZUUC_EXPORT UTF32BOMremover : public BlockConverter_32_to_32 {
public:
    UTF32BOMremover();
    ~UTF32BOMremover() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd,
                              unsigned int *& out, unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    bool at_start_;
};

// UCS-2 bytes to 16-bit units, two bytes per unit (a lone first byte is
// held across calls). The first pair of a text is sniffed: FE FF selects
// big-endian and FF FE little-endian for the rest of the text; the mark
// itself comes out as U+FEFF. An odd byte at the end is reported by Finish.
class ZUUC_EXPORT UCS2toWhatever : public BlockConverter_8_to_16 {
public:
    explicit UCS2toWhatever(bool big_endian);
    ~UCS2toWhatever() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

private:
    bool configured_big_endian_;
    bool big_endian_;
    bool holding_;
    unsigned char held_;
    bool at_start_;
};

// 16-bit units to UCS-2 bytes, two per unit, in the configured order; no
// mark is written. A surrogate pair within one input block is written whole
// or not at all.
class ZUUC_EXPORT UCS2fromWhatever : public BlockConverter_16_to_8 {
public:
    explicit UCS2fromWhatever(bool big_endian);
    ~UCS2fromWhatever() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;

private:
    bool big_endian_;
};

// UTF-32 bytes to 32-bit units, four bytes per unit (held across calls).
// The first group of a text is sniffed: 00 00 FE FF selects big-endian and
// FF FE 00 00 little-endian. Values are not range-checked here. An
// incomplete group at the end is reported by Finish.
class ZUUC_EXPORT UTF32toWhatever : public BlockConverter_8_to_32 {
public:
    explicit UTF32toWhatever(bool big_endian);
    ~UTF32toWhatever() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    bool configured_big_endian_;
    bool big_endian_;
    unsigned int count_;  // bytes held, 0 to 3
    unsigned char held_[3];
    bool at_start_;
};

// 32-bit units to UTF-32 bytes, four per unit, in the configured order.
class ZUUC_EXPORT UTF32fromWhatever : public BlockConverter_32_to_8 {
public:
    explicit UTF32fromWhatever(bool big_endian);
    ~UTF32fromWhatever() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;

private:
    bool big_endian_;
};

// ===========================================================================
// Base encodings
// ===========================================================================

// UTF-16 (identifier 2). Reached through Char16Encoding::UTF16() (also
// Unicode20() and Unicode()).
class ZUUC_EXPORT UTF16Encoding : public Char16EncodingImpl {
public:
    ~UTF16Encoding() override;

    unsigned int MapToUnicode(unsigned int c) const override;    // c
    unsigned int MapFromUnicode(unsigned int c) const override;  // c
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
    // Null: UTF-16 needs no conversion to or from itself.
    Transcoder<unsigned short, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, unsigned short> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    UTF16Encoding(UTF16Encoding const &) = delete;
    UTF16Encoding & operator=(UTF16Encoding const &) = delete;

private:
    friend class Char16Encoding;  // its accessor builds the one object
    UTF16Encoding();
};

// UTF-32 (identifier 169). Reached through Char32Encoding::UTF32() (also
// Unicode20() and Unicode()).
class ZUUC_EXPORT UTF32Encoding : public Char32EncodingImpl {
public:
    ~UTF32Encoding() override;

    unsigned int MapToUnicode(unsigned int c) const override;    // c
    unsigned int MapFromUnicode(unsigned int c) const override;  // c
    // A proxy over the caller's source: no conversion.
    ToUnicodeSource * CreateCharSourceToUnicode(Char32Source & source,
                                                UnicodeLibAllocator & allocator) const override;
    Char32Source * CreateCharSourceFromUnicode(Char32Source & source,
                                               UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkToUnicode(Char32Sink & sink,
                                         UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkFromUnicode(Char32Sink & sink,
                                           UnicodeLibAllocator & allocator) const override;
    // Null: UTF-32 needs no conversion to or from itself.
    Transcoder<unsigned int, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, unsigned int> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, unsigned int> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    UTF32Encoding(UTF32Encoding const &) = delete;
    UTF32Encoding & operator=(UTF32Encoding const &) = delete;

private:
    friend class Char32Encoding;  // its accessor builds the one object
    UTF32Encoding();
};

// ===========================================================================
// Variants
// ===========================================================================
//
// Each holds a reference to its base encoding (never owned; the variation
// that made the variant owns it).

// A 16-bit encoding with a byte-order mark: one leading U+FEFF is dropped on
// reading and one is written at the start of every text.
class ZUUC_EXPORT UTF16ByteOrderMarkVariant : public Char16EncodingImpl {
public:
    UTF16ByteOrderMarkVariant(Char16Encoding const & base, EncodingVariation const & variation,
                              char const ** nicknames);
    ~UTF16ByteOrderMarkVariant() override;

    unsigned int MapToUnicode(unsigned int c) const override;    // the base's
    unsigned int MapFromUnicode(unsigned int c) const override;  // the base's
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

    Char16Encoding const & GetBase() const { return base_; }

    UTF16ByteOrderMarkVariant(UTF16ByteOrderMarkVariant const &) = delete;
    UTF16ByteOrderMarkVariant & operator=(UTF16ByteOrderMarkVariant const &) = delete;

private:
    Char16Encoding const & base_;
};

// A 32-bit encoding with a byte-order mark (as UTF16ByteOrderMarkVariant).
class ZUUC_EXPORT UTF32ByteOrderMarkVariant : public Char32EncodingImpl {
public:
    UTF32ByteOrderMarkVariant(Char32Encoding const & base, EncodingVariation const & variation,
                              char const ** nicknames);
    ~UTF32ByteOrderMarkVariant() override;

    unsigned int MapToUnicode(unsigned int c) const override;
    unsigned int MapFromUnicode(unsigned int c) const override;
    ToUnicodeSource * CreateCharSourceToUnicode(Char32Source & source,
                                                UnicodeLibAllocator & allocator) const override;
    Char32Source * CreateCharSourceFromUnicode(Char32Source & source,
                                               UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkToUnicode(Char32Sink & sink,
                                         UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkFromUnicode(Char32Sink & sink,
                                           UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, unsigned int> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, unsigned int> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    Char32Encoding const & GetBase() const { return base_; }

    UTF32ByteOrderMarkVariant(UTF32ByteOrderMarkVariant const &) = delete;
    UTF32ByteOrderMarkVariant & operator=(UTF32ByteOrderMarkVariant const &) = delete;

private:
    Char32Encoding const & base_;
};

// How a byte-order variant orders the bytes of a unit.
enum ByteOrderMode {
    kPlatformByteOrder = 0,  // the running machine's order
    kBigEndianByteOrder = 1,
    kLittleEndianByteOrder = 2
};

// True when the running machine stores the most significant byte first.
ZUUC_EXPORT bool zu_platform_is_big_endian();

// The bytes of a 16-bit encoding (UCS-2). MIME name "UNICODE-1-1-UCS-2" for
// Unicode 1.1 (identifier 1) and its variants, else "ISO-10646-UCS-2". Its
// substitute is U+FFFD in its own byte order.
class ZUUC_EXPORT UCS2variant : public CharEncodingImpl {
public:
    UCS2variant(Char16Encoding const & base, EncodingVariation const & variation,
                char const ** nicknames, ByteOrderMode mode);
    ~UCS2variant() override;

    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    bool IsBasedOnASCII() const override;  // false
    bool IsTextModeSafe() const override;  // false
    ToUnicodeSource * CreateCharSourceToUnicode(CharSource & source,
                                                UnicodeLibAllocator & allocator) const override;
    CharSource * CreateCharSourceFromUnicode(Char32Source & source,
                                             UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkFromUnicode(CharSink & sink,
                                           UnicodeLibAllocator & allocator) const override;
    CharSink * CreateCharSinkToUnicode(Char32Sink & sink,
                                       UnicodeLibAllocator & allocator) const override;
    // A UCS2Detector.
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    Char16Encoding const & GetBase() const { return base_; }
    bool IsBigEndian() const { return big_endian_; }

    UCS2variant(UCS2variant const &) = delete;
    UCS2variant & operator=(UCS2variant const &) = delete;

private:
    Char16Encoding const & base_;
    bool big_endian_;
};

// The bytes of a 32-bit encoding. MIME name "UTF-32"; its substitute is
// U+FFFD in its own byte order.
class ZUUC_EXPORT UTF32variant : public CharEncodingImpl {
public:
    UTF32variant(Char32Encoding const & base, EncodingVariation const & variation,
                 char const ** nicknames, ByteOrderMode mode);
    ~UTF32variant() override;

    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    bool IsBasedOnASCII() const override;  // false
    bool IsTextModeSafe() const override;  // false
    ToUnicodeSource * CreateCharSourceToUnicode(CharSource & source,
                                                UnicodeLibAllocator & allocator) const override;
    CharSource * CreateCharSourceFromUnicode(Char32Source & source,
                                             UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkFromUnicode(CharSink & sink,
                                           UnicodeLibAllocator & allocator) const override;
    CharSink * CreateCharSinkToUnicode(Char32Sink & sink,
                                       UnicodeLibAllocator & allocator) const override;
    // A UTF32Detector.
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    Char32Encoding const & GetBase() const { return base_; }
    bool IsBigEndian() const { return big_endian_; }

    UTF32variant(UTF32variant const &) = delete;
    UTF32variant & operator=(UTF32variant const &) = delete;

private:
    Char32Encoding const & base_;
    bool big_endian_;
};

// ===========================================================================
// Variations
// ===========================================================================
//
// Each applies to every registered 16- and 32-bit encoding (those with a
// non-zero identifier) that it was not already applied to.

// Number 1: names "BOM", "ByteOrderMark". Reached through
// EncodingVariation::ByteOrderMark().
class ZUUC_EXPORT ByteOrderMarkVariation : public RealEncodingVariation {
public:
    ~ByteOrderMarkVariation() override;
    void GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) override;
    void GenerateVariantOfChar32Encoding(Char32Encoding const & encoding) override;

private:
    friend class EncodingVariation;  // its accessor builds the one object
    ByteOrderMarkVariation();
};

// The common part of the three byte-order variations: turns a 16-bit
// encoding into a UCS2variant and a 32-bit one into a UTF32variant.
class ZUUC_EXPORT ByteOrderVariation : public RealEncodingVariation {
public:
    ~ByteOrderVariation() override;
    void GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) override;
    void GenerateVariantOfChar32Encoding(Char32Encoding const & encoding) override;
    ByteOrderMode GetByteOrderMode() const { return mode_; }

protected:
    ByteOrderVariation(EncodingVariationID id, char const ** names, ByteOrderMode mode);

private:
    ByteOrderMode mode_;
};

// Number 4: "big-endian", "BigEndian", "68k", "PowerPC", "Mac", "Macintosh".
class ZUUC_EXPORT BigEndianVariation : public ByteOrderVariation {
public:
    ~BigEndianVariation() override;

private:
    friend class EncodingVariation;
    BigEndianVariation();
};

// Number 5: "little-endian", "LittleEndian", "x86".
class ZUUC_EXPORT LittleEndianVariation : public ByteOrderVariation {
public:
    ~LittleEndianVariation() override;

private:
    friend class EncodingVariation;
    LittleEndianVariation();
};

// Number 6: "UCS2", "UCS-2", "unicode", "ISO-10646-UCS-2", "UTF-16".
class ZUUC_EXPORT PlatformByteOrderVariation : public ByteOrderVariation {
public:
    ~PlatformByteOrderVariation() override;

private:
    friend class EncodingVariation;
    PlatformByteOrderVariation();
};

#endif
