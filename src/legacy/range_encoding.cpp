// RangeSpec, the range converters, RangeDetector and RangeEncoding.
#include "zuuc/range_encoding.h"

#include <algorithm>

#include "convert/transcode_contract.h"
#include "mbcs_chain.h"
#include "mbcs_core.h"

// --- RangeSpec ------------------------------------------------------------------

RangeSpec::RangeSpec(unsigned int length, unsigned char const (*byte_ranges)[2], Row const * rows,
                     unsigned int row_count)
    : length_(std::max(1u, std::min(length, 4u))), low_(), high_(), size_(), base_(0) {
    for (unsigned int i = 0; i < length_; ++i) {
        low_[i] = byte_ranges[i][0];
        high_[i] = byte_ranges[i][1];
        size_[i] = high_[i] >= low_[i] ? static_cast<unsigned int>(high_[i] - low_[i]) + 1 : 1;
    }
    size_[length_] = 1;  // the position after the last contributes nothing
    base_ = Linear(low_);
    ranges_.reserve(row_count);
    for (unsigned int i = 0; i < row_count; ++i) {
        Row const & row = rows[i];
        ranges_.push_back(Range{row.first_code_point, row.last_code_point, row.first_sequence,
                                row.last_sequence, LinearOfPacked(row.first_sequence),
                                LinearOfPacked(row.last_sequence)});
    }
}

bool RangeSpec::BytesInRange(unsigned char const * bytes, unsigned int count) const {
    for (unsigned int i = 0; i < count && i < length_; ++i) {
        if (bytes[i] < low_[i] || bytes[i] > high_[i]) {
            return false;
        }
    }
    return true;
}

unsigned long long RangeSpec::Linear(unsigned char const * bytes) const {
    unsigned long long value = 0;
    for (unsigned int i = 0; i < length_; ++i) {
        value = (value + bytes[i]) * size_[i + 1];
    }
    return value;
}

unsigned long long RangeSpec::LinearOfPacked(unsigned int packed) const {
    unsigned char bytes[4];
    for (unsigned int i = 0; i < length_; ++i) {
        bytes[i] = static_cast<unsigned char>(packed >> (8 * (length_ - 1 - i)));
    }
    return Linear(bytes);
}

void RangeSpec::Sequence(unsigned long long linear, unsigned char * bytes) const {
    unsigned long long d = linear - base_;
    for (unsigned int i = length_ - 1; i >= 1; --i) {
        bytes[i] = static_cast<unsigned char>(low_[i] + d % size_[i]);
        d /= size_[i];
    }
    bytes[0] = static_cast<unsigned char>(low_[0] + d);
}

bool RangeSpec::ToUnicode(unsigned char const * bytes, unsigned int & code_point) const {
    if (!BytesInRange(bytes, length_)) {
        return false;
    }
    unsigned long long const v = Linear(bytes);
    for (Range const & range : ranges_) {
        if (v >= range.first_linear && v <= range.last_linear) {
            code_point = range.first_code_point + static_cast<unsigned int>(v - range.first_linear);
            return true;
        }
    }
    return false;
}

bool RangeSpec::FromUnicode(unsigned int code_point, unsigned char * bytes) const {
    for (Range const & range : ranges_) {
        if (code_point >= range.first_code_point && code_point <= range.last_code_point) {
            Sequence(range.first_linear + (code_point - range.first_code_point), bytes);
            return true;
        }
    }
    return false;
}

RangeSpec const & RangeSpec::GB18030() {
    static unsigned char const byte_ranges[4][2] = {
        {0x81, 0xFE}, {0x30, 0x39}, {0x81, 0xFE}, {0x30, 0x39}};
    static Row const rows[] = {
#include "generated/gb18030_ranges.inc"
    };
    static RangeSpec const spec(4, byte_ranges, rows,
                                static_cast<unsigned int>(sizeof rows / sizeof rows[0]));
    return spec;
}

// --- RangeToUnicode -------------------------------------------------------------

namespace {

unsigned char const * Bytes(char const * p) {
    return reinterpret_cast<unsigned char const *>(p);
}

}  // namespace

RangeToUnicode::RangeToUnicode(RangeSpec const & spec) : spec_(spec), held_(), held_count_(0) {}

RangeToUnicode::~RangeToUnicode() = default;

TranscodeResult RangeToUnicode::Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                          unsigned int * outEnd, long limit) {
    unsigned int const length = spec_.SequenceLength();
    long written = 0;
    if (held_count_ != 0) {
        // Complete the sequence the last call ended in.
        while (held_count_ < length && held_count_ < sizeof held_ && in != inEnd) {
            held_[held_count_++] = static_cast<unsigned char>(*in++);
        }
        if (held_count_ < length) {
            return kTranscodeInputExhausted;
        }
        if (out == outEnd) {
            return kTranscodeOutputFull;
        }
        if (limit == 0) {
            return kTranscodeLimitReached;
        }
        held_count_ = 0;
        unsigned int c = 0;
        if (!spec_.ToUnicode(held_, c)) {
            return kTranscodeNoCharacterDefined;
        }
        *out++ = c;
        ++written;
    }
    while (in != inEnd) {
        if (out == outEnd) {
            return kTranscodeOutputFull;
        }
        if (limit >= 0 && written >= limit) {
            return kTranscodeLimitReached;
        }
        if (static_cast<unsigned long>(inEnd - in) < length) {
            while (in != inEnd && held_count_ < sizeof held_) {
                held_[held_count_++] = static_cast<unsigned char>(*in++);
            }
            return kTranscodeInputExhausted;
        }
        unsigned int c = 0;
        bool const mapped = spec_.ToUnicode(Bytes(in), c);
        in += length;
        if (!mapped) {
            return kTranscodeNoCharacterDefined;
        }
        *out++ = c;
        ++written;
    }
    return kTranscodeInputExhausted;
}

TranscodeResult RangeToUnicode::TranscodeInBlock(char const *& in, char const * inEnd,
                                                 unsigned int *& out, unsigned int * outEnd,
                                                 long limit) {
    unsigned int const length = spec_.SequenceLength();
    long written = 0;
    while (in != inEnd) {
        unsigned int const available =
            static_cast<unsigned int>(std::min<long>(inEnd - in, static_cast<long>(length)));
        if (!spec_.BytesInRange(Bytes(in), available)) {
            return kTranscodeNoCharacterDefined;
        }
        if (available < length) {
            return kTranscodeInputExhausted;  // the rest may come with more input
        }
        if (out == outEnd) {
            return kTranscodeOutputFull;
        }
        if (limit >= 0 && written >= limit) {
            return kTranscodeLimitReached;
        }
        unsigned int c = 0;
        if (!spec_.ToUnicode(Bytes(in), c)) {
            return kTranscodeNoCharacterDefined;
        }
        in += length;
        *out++ = c;
        ++written;
    }
    return kTranscodeInputExhausted;
}

TranscodeResult RangeToUnicode::Finish(unsigned int *&, unsigned int *, long) {
    bool const incomplete = held_count_ != 0;
    Reset();
    return incomplete ? kTranscodeIllegalInput : kTranscodeComplete;
}

void RangeToUnicode::Reset() {
    held_count_ = 0;
}

// --- RangeFromUnicode -----------------------------------------------------------

RangeFromUnicode::RangeFromUnicode(RangeSpec const & spec) : spec_(spec) {}

RangeFromUnicode::~RangeFromUnicode() = default;

TranscodeResult RangeFromUnicode::Run(unsigned int const *& in, unsigned int const * inEnd,
                                      char *& out, char * outEnd, long limit, bool in_block) {
    unsigned int const length = spec_.SequenceLength();
    long written = 0;
    while (in != inEnd) {
        TranscodeResult const stop =
            zuuc_internal::legacy::RoomFor(length, out, outEnd, limit, written);
        if (stop != kTranscodeComplete) {
            return stop;
        }
        unsigned int const c = *in;
        unsigned char bytes[4];
        if ((c >= 0xD800 && c <= 0xDFFF) || !spec_.FromUnicode(c, bytes)) {
            if (!in_block) {
                ++in;
            }
            return kTranscodeNotInRepertoire;
        }
        for (unsigned int i = 0; i < length; ++i) {
            *out++ = static_cast<char>(bytes[i]);
        }
        written += length;
        ++in;
    }
    return kTranscodeInputExhausted;
}

TranscodeResult RangeFromUnicode::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                            char *& out, char * outEnd, long limit) {
    return Run(in, inEnd, out, outEnd, limit, false);
}

TranscodeResult RangeFromUnicode::TranscodeInBlock(unsigned int const *& in,
                                                   unsigned int const * inEnd, char *& out,
                                                   char * outEnd, long limit) {
    return Run(in, inEnd, out, outEnd, limit, true);
}

TranscodeResult RangeFromUnicode::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

// --- RangeDetector --------------------------------------------------------------

RangeDetector::RangeDetector(CharEncoding const & encoding, RangeSpec const & spec)
    : CharEncodingDetector(encoding, 0), spec_(spec) {}

RangeDetector::~RangeDetector() = default;

void RangeDetector::Examine(unsigned char const *, unsigned char const * new_start,
                            unsigned char const * end) {
    unsigned int const length = spec_.SequenceLength();
    unsigned char const * p = new_start;
    unsigned int c = 0;
    while (end - p >= static_cast<long>(length) && spec_.ToUnicode(p, c)) {
        p += length;
    }
    --rating_;
}

unsigned char const * RangeDetector::ExamineFrom(unsigned char const *, unsigned char const * start,
                                                 unsigned char const * end) {
    unsigned int const length = spec_.SequenceLength();
    unsigned char const * p = start;
    unsigned int c = 0;
    while (p < end) {
        long const available = end - p;
        if (available < static_cast<long>(length)) {
            // A sequence cut by the end: wrong already, or wait for more.
            if (p == start && !spec_.BytesInRange(p, static_cast<unsigned int>(available))) {
                --rating_;
            }
            return p;
        }
        if (!spec_.ToUnicode(p, c)) {
            if (p == start) {
                --rating_;
            }
            return p;
        }
        p += length;
    }
    return p;
}

unsigned char const * RangeDetector::BreakTieFrom(unsigned char const *,
                                                  unsigned char const * start,
                                                  unsigned char const * end, unsigned char level,
                                                  LanguageDetector * language, bool & complete) {
    unsigned int const length = spec_.SequenceLength();
    zuuc_internal::legacy::TieBreak tie(level, language,
                                        zuuc_internal::legacy::Penalty::kPrivateUse);
    unsigned char const * p = start;
    unsigned int c = 0;
    while (end - p >= static_cast<long>(length) && spec_.ToUnicode(p, c)) {
        tie.Add(c);
        p += length;
    }
    complete = p == end;
    tie.Apply(tie_breaker_);
    return p;
}

void RangeDetector::BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                             unsigned char const * end, unsigned char level,
                             LanguageDetector * language) {
    bool complete = false;
    BreakTieFrom(buffer_start, start, end, level, language, complete);
}

// --- RangeEncoding --------------------------------------------------------------

RangeEncoding::RangeEncoding(TextEncodingID id, unsigned char const * substitute,
                             char const ** nicknames, char const * mime_name,
                             unsigned int code_page, RangeSpec const & spec, bool text_mode_safe,
                             void (*loader)(), char const * library)
    : BlockCharEncoding(id, substitute, nicknames, mime_name, code_page, loader, library),
      spec_(spec),
      text_mode_safe_(text_mode_safe) {
    set_is_loaded(true);  // its RangeSpec is all it needs
}

RangeEncoding::~RangeEncoding() = default;

bool RangeEncoding::IsBasedOnASCII() const {
    return text_mode_safe_;
}
bool RangeEncoding::IsTextModeSafe() const {
    return text_mode_safe_;
}

CharEncodingDetector * RangeEncoding::CreateEncodingDetector(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::Place<RangeDetector>(allocator, *this, spec_);
}

Transcoder<char, unsigned int> * RangeEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::Place<RangeToUnicode>(allocator, spec_);
}

Transcoder<unsigned int, char> * RangeEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::Place<RangeFromUnicode>(allocator, spec_);
}

Transcoder<char, unsigned short> * RangeEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterToUTF32(allocator), allocator);
}

Transcoder<unsigned short, char> * RangeEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterFromUTF32(allocator), allocator);
}
