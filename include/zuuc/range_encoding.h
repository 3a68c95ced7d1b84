// Range encodings map long runs of Unicode onto runs of fixed-length byte
// sequences by arithmetic. MixedBlockRangeEncoding joins a multi-byte table
// block and such a range block; GB18030 is built that way.
#ifndef ZUUC_RANGE_ENCODING_H
#define ZUUC_RANGE_ENCODING_H

#include <vector>

#include "zuuc/char_encoding.h"
#include "zuuc/code_tables.h"
#include "zuuc/detector.h"
#include "zuuc/export.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/transcoder.h"

// ---------------------------------------------------------------------------
// RangeSpec
// ---------------------------------------------------------------------------

// Sequences of `length` bytes, byte i within byte_ranges[i], numbered in
// order ("linear values"), and ranges pairing runs of code points with runs
// of sequences.
class ZUUC_EXPORT RangeSpec {
public:
    // One range as written in the tables: the four bytes of a sequence
    // packed big-endian (the first byte highest).
    struct Row {
        unsigned int first_code_point;
        unsigned int last_code_point;
        unsigned int first_sequence;
        unsigned int last_sequence;
    };
    // A range with the linear values of its sequences.
    struct Range {
        unsigned int first_code_point;
        unsigned int last_code_point;
        unsigned int first_sequence;
        unsigned int last_sequence;
        unsigned long long first_linear;
        unsigned long long last_linear;
    };

    // `byte_ranges` holds `length` (low, high) pairs; the ranges are searched
    // in the order given. Sequences are at most 4 bytes long.
    RangeSpec(unsigned int length, unsigned char const (*byte_ranges)[2], Row const * rows,
              unsigned int row_count);

    unsigned int SequenceLength() const { return length_; }
    unsigned int RangeCount() const { return static_cast<unsigned int>(ranges_.size()); }
    Range const & GetRange(unsigned int i) const { return ranges_[i]; }
    unsigned char Low(unsigned int i) const { return low_[i]; }
    unsigned char High(unsigned int i) const { return high_[i]; }

    // Whether every byte of `bytes` (count of them, at most the sequence
    // length) lies within its position's byte range.
    bool BytesInRange(unsigned char const * bytes, unsigned int count) const;
    // The linear value of a sequence of SequenceLength() bytes.
    unsigned long long Linear(unsigned char const * bytes) const;
    // The linear value of a packed sequence.
    unsigned long long LinearOfPacked(unsigned int packed) const;
    // Writes the SequenceLength() bytes whose linear value is `linear`.
    void Sequence(unsigned long long linear, unsigned char * bytes) const;

    // The code point of a whole sequence; false when its bytes are out of
    // range or no range holds it.
    bool ToUnicode(unsigned char const * bytes, unsigned int & code_point) const;
    // The sequence of a code point; false when no range holds it.
    bool FromUnicode(unsigned int code_point, unsigned char * bytes) const;

    // GB18030's four-byte ranges (bytes 81-FE, 30-39, 81-FE, 30-39).
    static RangeSpec const & GB18030();

private:
    unsigned int length_;
    unsigned char low_[5];
    unsigned char high_[5];
    unsigned int size_[5];  // size of each position's range; 1 past the last
    unsigned long long base_;
    std::vector<Range> ranges_;
};

// ---------------------------------------------------------------------------
// Range converters and encoding
// ---------------------------------------------------------------------------

// Whole sequences to UTF-32. Transcode consumes a sequence that no range
// holds (result 4) and keeps a sequence left incomplete at the end of the
// input for the next call (Finish reports it, result 3). TranscodeInBlock
// leaves both in place (results 4 and 1).
class ZUUC_EXPORT RangeToUnicode : public BlockConverter_8_to_32 {
public:
    explicit RangeToUnicode(RangeSpec const & spec);
    ~RangeToUnicode() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(char const *& in, char const * inEnd, unsigned int *& out,
                                     unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    RangeSpec const & spec_;
    unsigned char held_[4];
    unsigned int held_count_;
};

// UTF-32 to whole sequences. A code point no range holds, surrogate code
// points included, is not in the repertoire (consumed by Transcode, left in
// place by TranscodeInBlock).
class ZUUC_EXPORT RangeFromUnicode : public BlockConverter_32_to_8 {
public:
    explicit RangeFromUnicode(RangeSpec const & spec);
    ~RangeFromUnicode() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult TranscodeInBlock(unsigned int const *& in, unsigned int const * inEnd,
                                     char *& out, char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;

private:
    TranscodeResult Run(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                        char * outEnd, long limit, bool in_block);
    RangeSpec const & spec_;
};

// Maps whole sequences from each new chunk; every Examine costs one point
// (the rating stays at or below the start). Ties: decoded private-use
// characters cost a point, a language detector scores the text.
class ZUUC_EXPORT RangeDetector : public CharEncodingDetector {
public:
    RangeDetector(CharEncoding const & encoding, RangeSpec const & spec);
    ~RangeDetector() override;
    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;
    // Maps sequences from `start`; stops at the first that does not map (a
    // point off when it is the very first) or does not fit, and returns its start.
    unsigned char const * ExamineFrom(unsigned char const * buffer_start,
                                      unsigned char const * start,
                                      unsigned char const * end) override;
    void BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                  unsigned char const * end, unsigned char level,
                  LanguageDetector * language) override;
    unsigned char const * BreakTieFrom(unsigned char const * buffer_start,
                                       unsigned char const * start, unsigned char const * end,
                                       unsigned char level, LanguageDetector * language,
                                       bool & complete) override;

private:
    RangeSpec const & spec_;
};

class ZUUC_EXPORT RangeEncoding : public BlockCharEncoding {
public:
    // Identifier, substitute bytes, nicknames, MIME name, code page, the
    // RangeSpec (kept by reference), text-mode-safe flag, table-loading function,
    // encoding library.
    RangeEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                  char const * mime_name, unsigned int code_page, RangeSpec const & spec,
                  bool text_mode_safe, void (*loader)(), char const * library);
    ~RangeEncoding() override;

    RangeSpec const & GetRangeSpec() const { return spec_; }
    bool IsBasedOnASCII() const override;
    bool IsTextModeSafe() const override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

private:
    RangeSpec const & spec_;
    bool text_mode_safe_;
};

// ---------------------------------------------------------------------------
// Mixed block range encodings
// ---------------------------------------------------------------------------

// Bytes to UTF-32: the table block converts what it can; a sequence it does
// not hold is offered to the range block, and one that neither holds is
// consumed and reported (result 4): as a whole when it has the form of a
// range sequence (when the RangeSpec is given), else by the table block. A sequence cut
// by the end of the input is kept and completed with the next call's bytes;
// Finish reports it (result 3).
class ZUUC_EXPORT MixedBlockRangeToUnicode : public BlockConverter_8_to_32 {
public:
    // Takes ownership of both parts' converters; `spec` is the range block's RangeSpec.
    MixedBlockRangeToUnicode(Transcoder<char, unsigned int> * table_part,
                             Transcoder<char, unsigned int> * range_part,
                             RangeSpec const * spec = nullptr);
    MixedBlockRangeToUnicode(MixedBlockRangeToUnicode const &) = delete;
    MixedBlockRangeToUnicode & operator=(MixedBlockRangeToUnicode const &) = delete;
    ~MixedBlockRangeToUnicode() override;
    TranscodeResult Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                              unsigned int * outEnd, long limit) override;
    TranscodeResult Finish(unsigned int *& out, unsigned int * outEnd, long limit) override;
    void Reset() override;

private:
    // Converts [in, end) as far as it can; `incomplete` tells that it
    // stopped (result 1) before a sequence cut by the end.
    TranscodeResult Run(char const *& in, char const * end, unsigned int *& out,
                        unsigned int * outEnd, long limit, bool & incomplete);

    static constexpr unsigned int kCarryCapacity = 8;
    Transcoder<char, unsigned int> * table_;
    Transcoder<char, unsigned int> * range_;
    RangeSpec const * spec_;
    char carry_[kCarryCapacity];
    unsigned int carry_count_;
};

// UTF-32 to bytes: the table block first, the range block for what it lacks.
class ZUUC_EXPORT MixedBlockRangeFromUnicode : public BlockConverter_32_to_8 {
public:
    MixedBlockRangeFromUnicode(Transcoder<unsigned int, char> * table_part,
                               Transcoder<unsigned int, char> * range_part);
    MixedBlockRangeFromUnicode(MixedBlockRangeFromUnicode const &) = delete;
    MixedBlockRangeFromUnicode & operator=(MixedBlockRangeFromUnicode const &) = delete;
    ~MixedBlockRangeFromUnicode() override;
    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override;
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override;
    void Reset() override;

private:
    Transcoder<unsigned int, char> * table_;
    Transcoder<unsigned int, char> * range_;
};

// Rates bytes with the detectors of both blocks: a sequence that neither
// block holds costs a point.
class ZUUC_EXPORT MixedBlockRangeDetector : public CharEncodingDetector {
public:
    MixedBlockRangeDetector(CharEncoding const & encoding, MBCSEncoding const & table_part,
                            RangeSpec const & spec);
    MixedBlockRangeDetector(MixedBlockRangeDetector const &) = delete;
    MixedBlockRangeDetector & operator=(MixedBlockRangeDetector const &) = delete;
    ~MixedBlockRangeDetector() override;
    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;
    void BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                  unsigned char const * end, unsigned char level,
                  LanguageDetector * language) override;

private:
    MBCSDetector table_detector_;
    RangeDetector range_detector_;
    MBCStoUnicodeTable<unsigned short> const * table16_;
    MBCStoUnicodeTable<unsigned int> const * table32_;
    RangeSpec const & spec_;
    // Where the next Examine resumes, from the start of the read-ahead bytes.
    unsigned long resume_;
};

class ZUUC_EXPORT MixedBlockRangeEncoding : public BlockCharEncoding {
public:
    // Identifier, substitute bytes, nicknames, MIME name, code page,
    // text-mode-safe flag, table-loading function, encoding library, RangeSpec.
    MixedBlockRangeEncoding(TextEncodingID id, unsigned char const * substitute,
                            char const ** nicknames, char const * mime_name, unsigned int code_page,
                            bool text_mode_safe, void (*loader)(), char const * library,
                            RangeSpec const & spec);
    ~MixedBlockRangeEncoding() override;

    MBCSEncoding const & getTable() const { return table_; }
    RangeEncoding const & getRanges() const { return ranges_; }

    bool IsBasedOnASCII() const override;
    bool IsTextModeSafe() const override;
    CharEncodingDetector * CreateEncodingDetector(UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned int> * CreateConverterToUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned int, char> * CreateConverterFromUTF32(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<char, unsigned short> * CreateConverterToUTF16(
        UnicodeLibAllocator & allocator) const override;
    Transcoder<unsigned short, char> * CreateConverterFromUTF16(
        UnicodeLibAllocator & allocator) const override;

    // Installs the tables of the multi-byte block; the encoding is loaded
    // when both blocks are.
    void InstallTables(MBCStoUnicodeTable<unsigned short> const * to_unicode,
                       PlaneTable<unsigned short, unsigned int> const * from_unicode);
    void InstallTables(MBCStoUnicodeTable<unsigned short> const * to_unicode,
                       PlaneTable<unsigned short, unsigned short> const * from_unicode);

private:
    void UpdateLoaded();
    MBCSEncoding table_;
    RangeEncoding ranges_;
    bool text_mode_safe_;
};

#endif
