// The encoding classes of the three code-unit widths.
//
// CharEncoding covers encodings of bytes (every legacy encoding and the byte
// forms of Unicode), Char16Encoding encodings of 16-bit units (UTF-16) and
// Char32Encoding encodings of 32-bit units (UTF-32). Each declares the
// factories through which the conversion engine obtains transcoders, stream
// adapters and detectors, so the engine never depends on a concrete
// encoding. Every factory places what it creates with the allocator passed
// in; the caller destroys it with a plain `delete`.
#ifndef ZUUC_CHAR_ENCODING_H
#define ZUUC_CHAR_ENCODING_H

#include "zuuc/catalogue.h"
#include "zuuc/export.h"
#include "zuuc/text_encoding.h"
#include "zuuc/unicode_character.h"

class UnicodeLibAllocator;
class CharSource;
class Char16Source;
class Char32Source;
class ToUnicodeSource;
class CharSink;
class Char16Sink;
class Char32Sink;
class CharEncodingDetector;
class SBCSEncoding;
class MBCSEncoding;
class MBCSLookAheadEncoding;
class ModalEncoding;
class MixedBlockRangeEncoding;
class HZEncoding;
template <class From, class To>
class Transcoder;

class ZUUC_EXPORT CharEncoding : public TextEncoding {
public:
    unsigned int TokenSize() const override;  // 1
    ~CharEncoding() override;

    // --- virtual interface continued, in slot order ---
    virtual bool IsBasedOnASCII() const;
    // True when the encoding's bytes survive text-mode line-end translation.
    virtual bool IsTextModeSafe() const = 0;
    // Auto-detecting encodings choose among candidates; others have none.
    virtual unsigned int CountCandidateEncodings() const;
    virtual CharEncoding const * GetCandidateEncoding(unsigned int i) const;
    virtual ToUnicodeSource * CreateCharSourceToUnicode(CharSource & source,
                                                        UnicodeLibAllocator & allocator) const = 0;
    virtual CharSource * CreateCharSourceFromUnicode(Char32Source & source,
                                                     UnicodeLibAllocator & allocator) const = 0;
    virtual Char32Sink * CreateCharSinkFromUnicode(CharSink & sink,
                                                   UnicodeLibAllocator & allocator) const = 0;
    virtual CharSink * CreateCharSinkToUnicode(Char32Sink & sink,
                                               UnicodeLibAllocator & allocator) const = 0;
    virtual CharEncodingDetector * CreateEncodingDetector(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const = 0;

    CharEncoding const & GetImplementation() const;

    // --- the byte forms of Unicode ---
    // UTF-16 in the platform's byte order (also called UCS-2).
    static CharEncoding & UTF16();
    static CharEncoding & UCS2();
    static CharEncoding & Unicode20BigEndian();
    // UTF-16 with a byte-order mark, in the platform's byte order.
    static CharEncoding & Unicode20ByteStream();
    static CharEncoding & UTF32();
    static CharEncoding & UTF32BigEndian();
    static CharEncoding & UTF32ByteStream();
    static CharEncoding & UTF8();
    static CharEncoding & Unicode20UTF8();
    // UTF-8 that writes (and drops on reading) a byte-order mark.
    static CharEncoding & UTF8BOM();
    static CharEncoding & Unicode20UTF8EBCDIC();
    static CharEncoding & Unicode20UTF7();
    static CharEncoding & Unicode20Java();
    // The same forms of Unicode 1.1 (Char16Encoding::Unicode11()).
    static CharEncoding & Unicode11BigEndian();
    static CharEncoding & Unicode11ByteStream();
    static CharEncoding & Unicode11UTF7();
    static CharEncoding & Unicode11UTF8();
    static CharEncoding & Unicode11Java();
    static CharEncoding & Unicode11UTF8EBCDIC();

    // ======================================================================
    // Catalogue accessors of the table-driven encodings (zuuc/catalogue.h
    // lists them in creation order). Each returns one process-wide object,
    // built on the first call; the module builds them all at start-up.
    // ----------------------------------------------------------------------
    // Single-byte encodings (zuuc/sbcs_encoding.h): CP1252(), ISOLatin1(), ...
#define ZUUC_DECLARE_SBCS_ACCESSOR(accessor, id) static SBCSEncoding & accessor();
    ZUUC_SBCS_CATALOGUE(ZUUC_DECLARE_SBCS_ACCESSOR)
#undef ZUUC_DECLARE_SBCS_ACCESSOR
    // The same objects as PC8CodePage437() and PC850Multilingual().
    static SBCSEncoding & CP437();
    static SBCSEncoding & CP850();
    // Multi-byte encodings (zuuc/mbcs_encoding.h): ShiftJISMS(), EUCKR(), ...
#define ZUUC_DECLARE_MBCS_ACCESSOR(accessor, id) static MBCSEncoding & accessor();
    ZUUC_MBCS_CATALOGUE(ZUUC_DECLARE_MBCS_ACCESSOR)
#undef ZUUC_DECLARE_MBCS_ACCESSOR
#define ZUUC_DECLARE_MBCS_LOOKAHEAD_ACCESSOR(accessor, id) \
    static MBCSLookAheadEncoding & accessor();
    ZUUC_MBCS_LOOKAHEAD_CATALOGUE(ZUUC_DECLARE_MBCS_LOOKAHEAD_ACCESSOR)
#undef ZUUC_DECLARE_MBCS_LOOKAHEAD_ACCESSOR
    // Modal encodings (zuuc/modal_encoding.h): ISO2022JP(), ISO2022KR(), ...
#define ZUUC_DECLARE_MODAL_ACCESSOR(accessor, id) static ModalEncoding & accessor();
    ZUUC_MODAL_ENCODING_CATALOGUE(ZUUC_DECLARE_MODAL_ACCESSOR)
#undef ZUUC_DECLARE_MODAL_ACCESSOR
    // GB18030 (zuuc/range_encoding.h).
#define ZUUC_DECLARE_MIXED_RANGE_ACCESSOR(accessor, id) static MixedBlockRangeEncoding & accessor();
    ZUUC_MIXED_RANGE_CATALOGUE(ZUUC_DECLARE_MIXED_RANGE_ACCESSOR)
#undef ZUUC_DECLARE_MIXED_RANGE_ACCESSOR
    // HZ-GB-2312 (zuuc/modal_encoding.h), converting through GB2312().
    static HZEncoding & HZGB2312();
    // ======================================================================

    // --- auto-detecting encodings (zuuc/auto_detect.h), built on first call ---
    static CharEncoding & ChineseAutoDetect();
    static CharEncoding & JapaneseAutoDetect();
    static CharEncoding & KoreanAutoDetect();

    // --- the encodings of this width, in construction order ---
    static unsigned int Count();
    static CharEncoding * Lookup(unsigned int index);
    static CharEncoding * Lookup(TextEncodingID id);
    static CharEncoding * Lookup(char const * name);
    static CharEncoding * Lookup(unsigned short const * name);
    // The first registered encoding with this code page, if it is a byte
    // encoding (null when the first one is of another width).
    static CharEncoding * LookupCodePage(unsigned int code_page);

protected:
    CharEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                 char const * mime_name, unsigned int code_page);
    CharEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                 char const * mime_name, unsigned int code_page, LoaderFunction loader,
                 char const * library);
    CharEncoding(TextEncoding const & parent, EncodingVariation const & variation,
                 char const ** nicknames, char const * mime_name, unsigned int code_page);

private:
    void Enlist();
    // Refers to every catalogue accessor so that none is left out of the
    // library; never called.
    static void IncludeAllEncodings();
};

class ZUUC_EXPORT CharEncodingImpl : public CharEncoding {
public:
    ~CharEncodingImpl() override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

protected:
    using CharEncoding::CharEncoding;
};

// The common base of the table-driven and escape byte encodings: its stream
// factories wrap the encoding's own UTF-32 transcoders in stream adapters.
class ZUUC_EXPORT BlockCharEncoding : public CharEncodingImpl {
public:
    ~BlockCharEncoding() override;
    ToUnicodeSource * CreateCharSourceToUnicode(CharSource & source,
                                                UnicodeLibAllocator & allocator) const override;
    CharSource * CreateCharSourceFromUnicode(Char32Source & source,
                                             UnicodeLibAllocator & allocator) const override;
    Char32Sink * CreateCharSinkFromUnicode(CharSink & sink,
                                           UnicodeLibAllocator & allocator) const override;
    CharSink * CreateCharSinkToUnicode(Char32Sink & sink,
                                       UnicodeLibAllocator & allocator) const override;

protected:
    using CharEncodingImpl::CharEncodingImpl;
};

class ZUUC_EXPORT Char16Encoding : public TextEncoding {
public:
    unsigned int TokenSize() const override;  // 2
    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    ~Char16Encoding() override;

    // --- virtual interface continued, in slot order ---
    virtual unsigned int MapToUnicode(unsigned int c) const = 0;
    virtual unsigned int MapFromUnicode(unsigned int c) const = 0;
    virtual ToUnicodeSource * CreateCharSourceToUnicode(Char16Source & source,
                                                        UnicodeLibAllocator & allocator) const = 0;
    virtual Char16Source * CreateCharSourceFromUnicode(Char32Source & source,
                                                       UnicodeLibAllocator & allocator) const = 0;
    virtual Char16Sink * CreateCharSinkToUnicode(Char32Sink & sink,
                                                 UnicodeLibAllocator & allocator) const = 0;
    virtual Char32Sink * CreateCharSinkFromUnicode(Char16Sink & sink,
                                                   UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned short, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned int, unsigned short> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const = 0;
    // Null when no conversion is needed.
    virtual Transcoder<unsigned short, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned short, unsigned short> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const = 0;

    Char16Encoding const & GetImplementation() const;

    // The UTF-16 encoding (three names for one object).
    static Char16Encoding & UTF16();
    static Char16Encoding & Unicode20();
    static Char16Encoding & Unicode();
    // Unicode 1.1 (identifier 1), with the Hangul syllables at U+3400..U+4DFF.
    static Char16Encoding & Unicode11();
    // The script of the character that code point `c` of this encoding stands for.
    ScriptSystem GetCharacterScript(unsigned int c) const;
    static unsigned short SubstituteChar();  // U+FFFD

    static unsigned int Count();
    static Char16Encoding * Lookup(unsigned int index);
    static Char16Encoding * Lookup(TextEncodingID id);
    static Char16Encoding * Lookup(char const * name);
    static Char16Encoding * Lookup(unsigned short const * name);
    static Char16Encoding * LookupCodePage(unsigned int code_page);

protected:
    Char16Encoding(TextEncodingID id, char const ** nicknames, char const * mime_name,
                   unsigned int code_page);
    Char16Encoding(TextEncoding const & parent, EncodingVariation const & variation,
                   char const ** nicknames, char const * mime_name, unsigned int code_page);

private:
    void Enlist();
};

class ZUUC_EXPORT Char16EncodingImpl : public Char16Encoding {
public:
    ~Char16EncodingImpl() override;

protected:
    using Char16Encoding::Char16Encoding;
};

class ZUUC_EXPORT Char32Encoding : public TextEncoding {
public:
    unsigned int TokenSize() const override;  // 4
    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override;
    ~Char32Encoding() override;

    // --- virtual interface continued, in slot order ---
    virtual unsigned int MapToUnicode(unsigned int c) const = 0;
    virtual unsigned int MapFromUnicode(unsigned int c) const = 0;
    virtual ToUnicodeSource * CreateCharSourceToUnicode(Char32Source & source,
                                                        UnicodeLibAllocator & allocator) const = 0;
    virtual Char32Source * CreateCharSourceFromUnicode(Char32Source & source,
                                                       UnicodeLibAllocator & allocator) const = 0;
    virtual Char32Sink * CreateCharSinkToUnicode(Char32Sink & sink,
                                                 UnicodeLibAllocator & allocator) const = 0;
    virtual Char32Sink * CreateCharSinkFromUnicode(Char32Sink & sink,
                                                   UnicodeLibAllocator & allocator) const = 0;
    // Null when no conversion is needed.
    virtual Transcoder<unsigned int, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned int, unsigned int> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned int, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const = 0;
    virtual Transcoder<unsigned short, unsigned int> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const = 0;

    Char32Encoding const & GetImplementation() const;

    // The UTF-32 encoding (three names for one object).
    static Char32Encoding & UTF32();
    static Char32Encoding & Unicode20();
    static Char32Encoding & Unicode();
    // The script of the character that code point `c` of this encoding stands for.
    ScriptSystem GetCharacterScript(unsigned int c) const;
    static unsigned int SubstituteChar();  // U+FFFD

    static unsigned int Count();
    static Char32Encoding * Lookup(unsigned int index);
    static Char32Encoding * Lookup(TextEncodingID id);
    static Char32Encoding * Lookup(char const * name);
    static Char32Encoding * Lookup(unsigned int const * name);
    static Char32Encoding * LookupCodePage(unsigned int code_page);

protected:
    Char32Encoding(TextEncodingID id, char const ** nicknames, char const * mime_name,
                   unsigned int code_page);
    Char32Encoding(TextEncoding const & parent, EncodingVariation const & variation,
                   char const ** nicknames, char const * mime_name, unsigned int code_page);

private:
    void Enlist();
};

class ZUUC_EXPORT Char32EncodingImpl : public Char32Encoding {
public:
    ~Char32EncodingImpl() override;

protected:
    using Char32Encoding::Char32Encoding;
};

#endif
