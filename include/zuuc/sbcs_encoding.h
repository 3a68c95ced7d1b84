// Single-byte table encodings: every code page in which one byte is one
// character (the ISO 8859 parts, the DOS, Windows, Macintosh and EBCDIC
// single-byte sets, KOI8, JIS X 0201 and the rest).
//
// An SBCSEncoding holds two tables that its encoding library installs when it
// is loaded: 256 UTF-16 units indexed by the byte (0xFFFD for a byte with no
// character) and a plane table from UTF-16 units back to bytes. The encoding
// never owns them. Its converters hold only the table pointers, so they cost
// one table access per character and allocate nothing.
#ifndef ZUUC_SBCS_ENCODING_H
#define ZUUC_SBCS_ENCODING_H

#include "zuuc/char_encoding.h"
#include "zuuc/code_tables.h"
#include "zuuc/detector.h"
#include "zuuc/export.h"
#include "zuuc/transcoder.h"

// The from-Unicode table of a single-byte encoding.
using SBCSFromUnicodeTable = PlaneTable<unsigned short, unsigned char>;

class ZUUC_EXPORT SBCSEncoding : public BlockCharEncoding {
public:
    // `substitute` is the NUL-terminated substitute byte string; `text_mode_safe`
    // answers both IsTextModeSafe and IsBasedOnASCII; `loader` (may be null)
    // is called before the library is loaded; `library` names the encoding
    // library that installs the tables. The encoding starts not loaded.
    SBCSEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                 char const * mime_name, unsigned int code_page, bool text_mode_safe,
                 void (*loader)(), char const * library);
    SBCSEncoding(SBCSEncoding const &) = delete;
    SBCSEncoding & operator=(SBCSEncoding const &) = delete;
    ~SBCSEncoding() override;

    // --- the encoding interface, in slot order ---
    bool IsBasedOnASCII() const override;
    bool IsTextModeSafe() const override;
    // The factories below load the encoding library first (and throw when it
    // cannot be loaded). ISO-8859-1 (identifier 17) converts without tables.
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    // Stores the tables (not copied; they must live as long as the process
    // uses the encoding). The encoding is loaded exactly when both are non-null.
    void InstallTables(unsigned short const * to_unicode,
                       SBCSFromUnicodeTable const * from_unicode);

    // The installed tables (null before loading).
    unsigned short const * ToUnicodeTable() const { return to_unicode_; }
    SBCSFromUnicodeTable const * FromUnicodeTable() const { return from_unicode_; }

private:
    bool IsLatin1() const;

    unsigned short const * to_unicode_;
    SBCSFromUnicodeTable const * from_unicode_;
    bool text_mode_safe_;
};

// ---------------------------------------------------------------------------
// Converters through the tables
// ---------------------------------------------------------------------------

// Byte to Unicode: one unit per byte; a byte whose entry is 0xFFFD stops
// with result 4 (consumed).
class ZUUC_EXPORT SBCStoUTF16 : public BlockConverter_8_to_16 {
public:
    SBCStoUTF16(unsigned short const * to_unicode, bool text_mode_safe);
    ~SBCStoUTF16() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;
    bool IsTextModeSafe() const { return text_mode_safe_; }

private:
    unsigned short const * to_unicode_;
    bool text_mode_safe_;
};

class ZUUC_EXPORT SBCStoUTF32 : public BlockConverter_8_to_32 {
public:
    SBCStoUTF32(unsigned short const * to_unicode, bool text_mode_safe);
    ~SBCStoUTF32() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;
    bool IsTextModeSafe() const { return text_mode_safe_; }

private:
    unsigned short const * to_unicode_;
    bool text_mode_safe_;
};

// UTF-16 to byte. A character the table does not map stops with result 5,
// consumed. A surrogate pair is one character: it is consumed whole and
// reported once (a pair split between calls is held in the state flag).
// A lone surrogate is one unmappable character too.
class ZUUC_EXPORT SBCSFromUTF16 : public BlockConverter_16_to_8 {
public:
    SBCSFromUTF16(SBCSFromUnicodeTable const * from_unicode, bool text_mode_safe);
    ~SBCSFromUTF16() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    // Result 5 for a high surrogate left at the end of the input, else 0.
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    bool IsTextModeSafe() const { return text_mode_safe_; }

private:
    SBCSFromUnicodeTable const * from_unicode_;
    bool text_mode_safe_;
};

// UTF-32 to byte; values above 0xFFFF are unmappable without a table access.
class ZUUC_EXPORT SBCSFromUTF32 : public BlockConverter_32_to_8 {
public:
    SBCSFromUTF32(SBCSFromUnicodeTable const * from_unicode, bool text_mode_safe);
    ~SBCSFromUTF32() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    bool IsTextModeSafe() const { return text_mode_safe_; }

private:
    SBCSFromUnicodeTable const * from_unicode_;
    bool text_mode_safe_;
};

// ---------------------------------------------------------------------------
// ISO-8859-1 without tables: the byte value is the code point
// ---------------------------------------------------------------------------

class ZUUC_EXPORT Latin1ToUTF16 : public BlockConverter_8_to_16 {
public:
    Latin1ToUTF16();
    ~Latin1ToUTF16() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;
};

class ZUUC_EXPORT Latin1ToUTF32 : public BlockConverter_8_to_32 {
public:
    Latin1ToUTF32();
    ~Latin1ToUTF32() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;
};

// Code points below 256 become the byte; anything else is result 5
// (consumed; a surrogate pair as one character, as SBCSFromUTF16).
class ZUUC_EXPORT Latin1FromUTF16 : public BlockConverter_16_to_8 {
public:
    Latin1FromUTF16();
    ~Latin1FromUTF16() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
};

class ZUUC_EXPORT Latin1FromUTF32 : public BlockConverter_32_to_8 {
public:
    Latin1FromUTF32();
    ~Latin1FromUTF32() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
};

// ---------------------------------------------------------------------------
// Detection
// ---------------------------------------------------------------------------

// Rates bytes for a single-byte encoding: starts at 0 and loses a point for
// every byte the encoding leaves undefined. Between equally rated candidates
// it prefers text without private-use characters and, when a language
// detector is given and the level is above 0, text that scores as language.
class ZUUC_EXPORT SBCSDetector : public CharEncodingDetector {
public:
    SBCSDetector(CharEncoding const & encoding, unsigned short const * to_unicode);
    ~SBCSDetector() override;
    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;
    void BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                  unsigned char const * end, unsigned char level,
                  LanguageDetector * language) override;

private:
    unsigned short const * to_unicode_;
};

#endif
