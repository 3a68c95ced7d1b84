// Stateless multi-byte encodings driven by code tables: the Shift_JIS and EUC
// families, GB2312 and GBK, Big5, the Korean code pages and their kin.
//
// Decoding runs a byte-driven state machine (MBCStoUnicodeTable); encoding
// looks characters up in plane tables whose values are the byte sequences
// read as big-endian numbers. The tables belong to the encoding library that
// installs them and stay valid while it is loaded.
#ifndef ZUUC_MBCS_ENCODING_H
#define ZUUC_MBCS_ENCODING_H

#include "zuuc/char_encoding.h"
#include "zuuc/code_tables.h"
#include "zuuc/detector.h"
#include "zuuc/export.h"
#include "zuuc/transcoder.h"

// ---------------------------------------------------------------------------
// Decoders
// ---------------------------------------------------------------------------

// Bytes to UTF-16 through a table with 16-bit values. A sequence split
// between calls continues from the saved state; Finish reports input that
// ended inside a sequence (result 3).
class ZUUC_EXPORT MBCStoUTF16 : public BlockConverter_8_to_16 {
public:
    MBCStoUTF16(MBCStoUnicodeTable<unsigned short> const * table, bool text_mode_safe);
    ~MBCStoUTF16() override;

    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    // As Transcode, but a sequence with no character, or one left incomplete
    // at the end of the input, stays unconsumed (result 4 or 1), so that an
    // encoding combining several blocks can offer those bytes elsewhere.
    TranscodeResult TranscodeInBlock(char const *& in, char const * inEnd, unsigned short *& out,
                                     unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
    void Reset() override;

protected:
    MBCStoUnicodeTable<unsigned short> const * table_;
    unsigned int state_;
    unsigned int last_value_;
    bool text_mode_safe_;
};

// Bytes to UTF-32 through whichever table is given (the one with 16-bit
// values when both are).
class ZUUC_EXPORT MBCStoUTF32 : public BlockConverter_8_to_32 {
public:
    MBCStoUTF32(MBCStoUnicodeTable<unsigned short> const * table16,
                MBCStoUnicodeTable<unsigned int> const * table32, bool text_mode_safe);
    ~MBCStoUTF32() override;

    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(char const *& in, char const * inEnd, unsigned int *& out,
                                     unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

protected:
    MBCStoUnicodeTable<unsigned short> const * table16_;
    MBCStoUnicodeTable<unsigned int> const * table32_;
    unsigned int state_;
    unsigned int last_value_;
    bool text_mode_safe_;
};

// Decoders for encodings whose characters are known only once the next byte
// has been seen (a base letter that a following byte may modify). An entry
// whose next state is 0xFFFF completes the character before the byte, which
// is then read again from state 0. A character still pending when the input
// ends is completed by Finish (through the entry for byte 0x00), so a split
// between calls never changes the result.
class ZUUC_EXPORT MBCSLookAheadtoUTF16 : public MBCStoUTF16 {
public:
    using MBCStoUTF16::MBCStoUTF16;
    ~MBCSLookAheadtoUTF16() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                              unsigned short * outEnd, long limit) override;
    TranscodeResult Finish(unsigned short *& out, unsigned short * outEnd, long limit) override;
};

class ZUUC_EXPORT MBCSLookAheadtoUTF32 : public MBCStoUTF32 {
public:
    using MBCStoUTF32::MBCStoUTF32;
    ~MBCSLookAheadtoUTF32() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
};

// ---------------------------------------------------------------------------
// Encoders
// ---------------------------------------------------------------------------
//
// Each character's bytes are written whole or not at all: a character that
// does not fit the output (result 2) or the limit (result 7) stays
// unconsumed. An unmappable character gives result 5, consumed by Transcode
// and left in place by TranscodeInBlock. From UTF-16, a surrogate pair that
// the table cannot map is one problem (both units consumed); a high surrogate
// at the very end of the input is held until the next call or Finish, and a
// call whose problem lies wholly in units held from before takes the next
// unit along so that it still moves the input on.

class ZUUC_EXPORT MBCSFromUTF16_16 : public BlockConverter_16_to_8 {
public:
    MBCSFromUTF16_16(PlaneTable<unsigned short, unsigned short> const * table, bool text_mode_safe);
    ~MBCSFromUTF16_16() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(unsigned short const *& in, unsigned short const * inEnd,
                                     char *& out, char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;

    // The encoding's text-mode-safe flag (conversion does not consult it).
    bool TextModeSafe() const { return text_mode_safe_; }

private:
    PlaneTable<unsigned short, unsigned short> const * table_;
    // Units taken from an earlier call and not yet converted.
    unsigned short held_[2];
    unsigned int held_count_;
    bool text_mode_safe_;
};

class ZUUC_EXPORT MBCSFromUTF16_32 : public BlockConverter_16_to_8 {
public:
    MBCSFromUTF16_32(PlaneTable<unsigned short, unsigned int> const * table, bool text_mode_safe);
    ~MBCSFromUTF16_32() override;
    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(unsigned short const *& in, unsigned short const * inEnd,
                                     char *& out, char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;

    // The encoding's text-mode-safe flag (conversion does not consult it).
    bool TextModeSafe() const { return text_mode_safe_; }

private:
    PlaneTable<unsigned short, unsigned int> const * table_;
    unsigned short held_[2];
    unsigned int held_count_;
    bool text_mode_safe_;
};

// From UTF-32 with 16-bit values; exactly one of the tables is given (the
// 32-bit-keyed one when `wide_keys` is set). With 16-bit keys a character
// above U+FFFF is not in the repertoire.
class ZUUC_EXPORT MBCSFromUTF32_16 : public BlockConverter_32_to_8 {
public:
    MBCSFromUTF32_16(PlaneTable<unsigned short, unsigned short> const * table, bool text_mode_safe);
    MBCSFromUTF32_16(PlaneTable<unsigned int, unsigned short> const * table, bool text_mode_safe);
    ~MBCSFromUTF32_16() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(unsigned int const *& in, unsigned int const * inEnd,
                                     char *& out, char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;

    // The encoding's text-mode-safe flag (conversion does not consult it).
    bool TextModeSafe() const { return text_mode_safe_; }

private:
    PlaneTable<unsigned short, unsigned short> const * narrow_;
    PlaneTable<unsigned int, unsigned short> const * wide_;
    bool wide_keys_;
    bool text_mode_safe_;
};

// From UTF-32 with 32-bit values (sequences of up to four bytes).
class ZUUC_EXPORT MBCSFromUTF32_32 : public BlockConverter_32_to_8 {
public:
    MBCSFromUTF32_32(PlaneTable<unsigned short, unsigned int> const * table, bool text_mode_safe);
    MBCSFromUTF32_32(PlaneTable<unsigned int, unsigned int> const * table, bool text_mode_safe);
    ~MBCSFromUTF32_32() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(unsigned int const *& in, unsigned int const * inEnd,
                                     char *& out, char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;

    // The encoding's text-mode-safe flag (conversion does not consult it).
    bool TextModeSafe() const { return text_mode_safe_; }

private:
    PlaneTable<unsigned short, unsigned int> const * narrow_;
    PlaneTable<unsigned int, unsigned int> const * wide_;
    bool wide_keys_;
    bool text_mode_safe_;
};

// ---------------------------------------------------------------------------
// Detector
// ---------------------------------------------------------------------------

// Walks the encoding's state table: every entry that marks an invalid
// sequence costs a point, and input ending inside a sequence costs one more.
// Ties are broken by decoding again: private-use characters cost a point
// each and a language detector, when given, scores the decoded text.
class ZUUC_EXPORT MBCSDetector : public CharEncodingDetector {
public:
    MBCSDetector(CharEncoding const & encoding, MBCStoUnicodeTable<unsigned short> const * table16,
                 MBCStoUnicodeTable<unsigned int> const * table32 = nullptr);
    ~MBCSDetector() override;

    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;
    // Walks from `start` in state 0 and stops at the first invalid sequence
    // (one point off) and returns its start; otherwise returns the end of the
    // last whole character before `end`.
    unsigned char const * ExamineFrom(unsigned char const * buffer_start,
                                      unsigned char const * start,
                                      unsigned char const * end) override;
    void BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                  unsigned char const * end, unsigned char level,
                  LanguageDetector * language) override;
    // Applies the tie-break to the characters before the first invalid
    // sequence (then `complete` is false) and returns where it stopped.
    unsigned char const * BreakTieFrom(unsigned char const * buffer_start,
                                       unsigned char const * start, unsigned char const * end,
                                       unsigned char level, LanguageDetector * language,
                                       bool & complete) override;
    void Finish(unsigned char const * buffer_start, unsigned char const * end) override;

    // Where the invalid sequence met by the last ExamineFrom ended.
    unsigned char const * FailureEnd() const { return failure_end_; }

private:
    MBCStoUnicodeTable<unsigned short> const * table16_;
    MBCStoUnicodeTable<unsigned int> const * table32_;
    unsigned int state_;
    unsigned char const * failure_end_;
};

// ---------------------------------------------------------------------------
// Encodings
// ---------------------------------------------------------------------------

class ZUUC_EXPORT MBCSEncoding : public BlockCharEncoding {
public:
    // Identifier, substitute bytes, nickname list, MIME name, code page,
    // text-mode-safe flag, table-loading function, encoding library.
    MBCSEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                 char const * mime_name, unsigned int code_page, bool text_mode_safe,
                 void (*loader)(), char const * library);
    ~MBCSEncoding() override;

    bool IsBasedOnASCII() const override;
    bool IsTextModeSafe() const override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    // With only 32-bit tables installed these convert through UTF-32.
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    // Each stores its pair (replacing what was installed before) and marks
    // the encoding loaded when both are non-null. The two with 32-bit
    // to-Unicode values also mark the encoding as carrying UTF-32.
    void InstallTables(MBCStoUnicodeTable<unsigned short> const * to_unicode,
                       PlaneTable<unsigned short, unsigned short> const * from_unicode);
    void InstallTables(MBCStoUnicodeTable<unsigned short> const * to_unicode,
                       PlaneTable<unsigned short, unsigned int> const * from_unicode);
    void InstallTables(MBCStoUnicodeTable<unsigned int> const * to_unicode,
                       PlaneTable<unsigned int, unsigned short> const * from_unicode);
    void InstallTables(MBCStoUnicodeTable<unsigned int> const * to_unicode,
                       PlaneTable<unsigned int, unsigned int> const * from_unicode);

    MBCStoUnicodeTable<unsigned short> const * ToUnicodeTable16() const { return to_unicode16_; }
    MBCStoUnicodeTable<unsigned int> const * ToUnicodeTable32() const { return to_unicode32_; }
    PlaneTable<unsigned short, unsigned short> const * FromUnicodeTable16() const {
        return from_16_16_;
    }

protected:
    bool text_mode_safe_;
    MBCStoUnicodeTable<unsigned short> const * to_unicode16_;
    MBCStoUnicodeTable<unsigned int> const * to_unicode32_;
    PlaneTable<unsigned short, unsigned short> const * from_16_16_;
    PlaneTable<unsigned short, unsigned int> const * from_16_32_;
    PlaneTable<unsigned int, unsigned short> const * from_32_16_;
    PlaneTable<unsigned int, unsigned int> const * from_32_32_;

private:
    // Installs one to-Unicode and one from-Unicode table and clears the
    // others, new tables first; a field that keeps its value is not written.
    template <class To, class From>
    void PublishTables(To & to_field, To to, From & from_field, From from);
};

// The multi-byte encodings whose characters end only when the next byte
// shows that no modifier follows (ISCII, VNI, VIQR). Where the decoding
// table has a backslash escape (VIQR), the encoders write a backslash before
// a byte that the letter before it would otherwise take.
class ZUUC_EXPORT MBCSLookAheadEncoding : public MBCSEncoding {
public:
    using MBCSEncoding::MBCSEncoding;
    ~MBCSLookAheadEncoding() override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;
};

#endif
