// MixedBlockRangeEncoding: a multi-byte table block and a range block in one
// encoding (GB18030), with its converters and detector.
#include <algorithm>
#include <cstring>

#include "convert/transcode_contract.h"
#include "mbcs_chain.h"
#include "mbcs_core.h"
#include "zuuc/range_encoding.h"

namespace {

// The character a table block may lack that is never offered to the range block.
constexpr unsigned int kSubstituteControl = 0x1A;

template <class Unit>
long Remaining(long limit, Unit const * out_start, Unit const * out) {
    return zuuc_internal::RemainingLimit(limit, static_cast<long>(out - out_start));
}

}  // namespace

// --- MixedBlockRangeToUnicode ---------------------------------------------------

MixedBlockRangeToUnicode::MixedBlockRangeToUnicode(Transcoder<char, unsigned int> * table_part,
                                                   Transcoder<char, unsigned int> * range_part,
                                                   RangeSpec const * spec)
    : table_(table_part), range_(range_part), spec_(spec), carry_(), carry_count_(0) {}

MixedBlockRangeToUnicode::~MixedBlockRangeToUnicode() {
    delete table_;
    delete range_;
}

TranscodeResult MixedBlockRangeToUnicode::Run(char const *& in, char const * end,
                                              unsigned int *& out, unsigned int * outEnd,
                                              long limit, bool & incomplete) {
    unsigned int * const out_start = out;
    char const * range_failed_at = nullptr;
    incomplete = false;
    while (in < end) {
        if (out == outEnd) {
            return kTranscodeOutputFull;
        }
        TranscodeResult result =
            table_->TranscodeInBlock(in, end, out, outEnd, Remaining(limit, out_start, out));
        if (result == kTranscodeInputExhausted) {
            incomplete = in != end;
            return kTranscodeInputExhausted;
        }
        if (result != kTranscodeNoCharacterDefined) {
            return result;
        }
        if (range_failed_at == in) {
            // Neither block holds the sequence. One of the range block's form
            // (a sequence no range covers) goes as a whole; else the table
            // block consumes what it read and reports it.
            unsigned int const length = spec_ != nullptr ? spec_->SequenceLength() : 0;
            if (length != 0 && end - in >= static_cast<long>(length) &&
                spec_->BytesInRange(reinterpret_cast<unsigned char const *>(in), length)) {
                in += length;
                return kTranscodeNoCharacterDefined;
            }
            return table_->Transcode(in, end, out, outEnd, Remaining(limit, out_start, out));
        }
        result = range_->TranscodeInBlock(in, end, out, outEnd, Remaining(limit, out_start, out));
        if (result == kTranscodeNoCharacterDefined) {
            range_failed_at = in;
            continue;
        }
        if (result == kTranscodeInputExhausted) {
            incomplete = in != end;  // fewer bytes than a whole sequence
            return kTranscodeInputExhausted;
        }
        return result;
    }
    return kTranscodeInputExhausted;
}

TranscodeResult MixedBlockRangeToUnicode::Transcode(char const *& in, char const * inEnd,
                                                    unsigned int *& out, unsigned int * outEnd,
                                                    long limit) {
    unsigned int * const out_start = out;
    bool incomplete = false;
    if (carry_count_ != 0) {
        // The bytes kept from the last call, followed by enough new ones to
        // complete any sequence they start.
        constexpr unsigned int kLookAhead = 16;
        char temp[kCarryCapacity + kLookAhead];
        std::size_t const taken =
            std::min<std::size_t>(static_cast<std::size_t>(inEnd - in), kLookAhead);
        std::memcpy(temp, carry_, carry_count_);
        if (taken != 0) {
            std::memcpy(temp + carry_count_, in, taken);
        }
        char const * const temp_end = temp + carry_count_ + taken;
        bool const all_input = taken == static_cast<std::size_t>(inEnd - in);
        char const * p = temp;
        TranscodeResult const result =
            Run(p, temp_end, out, outEnd, Remaining(limit, out_start, out), incomplete);
        std::size_t const consumed = static_cast<std::size_t>(p - temp);
        if (result == kTranscodeInputExhausted && incomplete && all_input) {
            // Still not whole: keep what is left, all input included.
            std::size_t const left = static_cast<std::size_t>(temp_end - p);
            if (left <= kCarryCapacity) {
                std::memmove(carry_, p, left);
                carry_count_ = static_cast<unsigned int>(left);
                in = inEnd;
                return kTranscodeInputExhausted;
            }
        }
        if (consumed < carry_count_) {
            // Stopped inside the kept bytes.
            std::memmove(carry_, carry_ + consumed, carry_count_ - consumed);
            carry_count_ -= static_cast<unsigned int>(consumed);
            TranscodeResult stop = result;
            if (result == kTranscodeInputExhausted) {
                // A sequence longer than any block knows: give up its first byte.
                std::memmove(carry_, carry_ + 1, --carry_count_);
                stop = kTranscodeNoCharacterDefined;
            }
            if (stop != kTranscodeOutputFull && stop != kTranscodeLimitReached && in != inEnd) {
                // A problem found in the kept bytes alone: take the next byte
                // along, so that the call still moves the input on.
                carry_[carry_count_++] = *in++;
            }
            return stop;
        }
        in += consumed - carry_count_;
        carry_count_ = 0;
        if (result != kTranscodeInputExhausted) {
            return result;
        }
    }
    TranscodeResult const result =
        Run(in, inEnd, out, outEnd, Remaining(limit, out_start, out), incomplete);
    if (result == kTranscodeInputExhausted && incomplete) {
        std::size_t const left = static_cast<std::size_t>(inEnd - in);
        if (left > kCarryCapacity) {
            ++in;  // a sequence longer than any block knows
            return kTranscodeNoCharacterDefined;
        }
        std::memcpy(carry_, in, left);
        carry_count_ = static_cast<unsigned int>(left);
        in = inEnd;
    }
    return result;
}

TranscodeResult MixedBlockRangeToUnicode::Finish(unsigned int *& out, unsigned int * outEnd,
                                                 long limit) {
    if (carry_count_ != 0) {
        // The kept bytes are not always one incomplete sequence: after a
        // problem they hold the bytes read again after it. Convert them as
        // the end of the input; a problem among them is reported and the
        // caller finishes again with the rest.
        char const * p = carry_;
        bool incomplete = false;
        TranscodeResult const result =
            Run(p, carry_ + carry_count_, out, outEnd, limit, incomplete);
        std::size_t const consumed = static_cast<std::size_t>(p - carry_);
        std::memmove(carry_, p, carry_count_ - consumed);
        carry_count_ -= static_cast<unsigned int>(consumed);
        if (result != kTranscodeInputExhausted) {
            return result;
        }
        if (carry_count_ != 0) {
            Reset();  // an incomplete sequence at the end of the input
            return kTranscodeIllegalInput;
        }
    }
    TranscodeResult const range_result = range_->Finish(out, outEnd, limit);
    TranscodeResult const table_result = table_->Finish(out, outEnd, limit);
    Reset();
    return range_result != kTranscodeComplete ? range_result : table_result;
}

void MixedBlockRangeToUnicode::Reset() {
    table_->Reset();
    range_->Reset();
    carry_count_ = 0;
}

// --- MixedBlockRangeFromUnicode -------------------------------------------------

MixedBlockRangeFromUnicode::MixedBlockRangeFromUnicode(Transcoder<unsigned int, char> * table_part,
                                                       Transcoder<unsigned int, char> * range_part)
    : table_(table_part), range_(range_part) {}

MixedBlockRangeFromUnicode::~MixedBlockRangeFromUnicode() {
    delete table_;
    delete range_;
}

TranscodeResult MixedBlockRangeFromUnicode::Transcode(unsigned int const *& in,
                                                      unsigned int const * inEnd, char *& out,
                                                      char * outEnd, long limit) {
    char * const out_start = out;
    while (in != inEnd) {
        TranscodeResult result =
            table_->TranscodeInBlock(in, inEnd, out, outEnd, Remaining(limit, out_start, out));
        if (result != kTranscodeNotInRepertoire) {
            return result;
        }
        if (*in == kSubstituteControl) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
        unsigned int const * const at = in;
        result =
            range_->TranscodeInBlock(in, in + 1, out, outEnd, Remaining(limit, out_start, out));
        if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
            return result;
        }
        if (in == at) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
    }
    return kTranscodeInputExhausted;
}

TranscodeResult MixedBlockRangeFromUnicode::Finish(char *& out, char * outEnd, long limit) {
    range_->Finish(out, outEnd, limit);
    table_->Finish(out, outEnd, limit);
    Reset();
    return kTranscodeComplete;
}

void MixedBlockRangeFromUnicode::Reset() {
    table_->Reset();
    range_->Reset();
    BlockConverter_32_to_8::Reset();
}

// --- MixedBlockRangeDetector ----------------------------------------------------

MixedBlockRangeDetector::MixedBlockRangeDetector(CharEncoding const & encoding,
                                                 MBCSEncoding const & table_part,
                                                 RangeSpec const & spec)
    : CharEncodingDetector(encoding, 0),
      table_detector_(encoding, table_part.ToUnicodeTable16(), table_part.ToUnicodeTable32()),
      range_detector_(encoding, spec),
      table16_(table_part.ToUnicodeTable16()),
      table32_(table_part.ToUnicodeTable16() != nullptr ? nullptr : table_part.ToUnicodeTable32()),
      spec_(spec),
      resume_(0) {}

MixedBlockRangeDetector::~MixedBlockRangeDetector() = default;

void MixedBlockRangeDetector::Examine(unsigned char const * buffer_start,
                                      unsigned char const * new_start, unsigned char const * end) {
    // The bytes from where the last call stopped (a sequence it could not
    // finish) to the end are read; the buffer may have moved since.
    unsigned char const * pos = buffer_start + resume_;
    if (pos > new_start) {
        pos = new_start;
    }
    while (pos < end) {
        int const table_before = table_detector_.GetRating();
        unsigned char const * const p = table_detector_.ExamineFrom(buffer_start, pos, end);
        if (table_detector_.GetRating() == table_before) {
            pos = p;  // the end, or a sequence cut by it
            break;
        }
        int const range_before = range_detector_.GetRating();
        unsigned char const * const q = range_detector_.ExamineFrom(buffer_start, p, end);
        if (range_detector_.GetRating() != range_before) {
            // Neither block holds it: go on after it, as the decoder does.
            --rating_;
            unsigned int const length = spec_.SequenceLength();
            if (end - p >= static_cast<long>(length) && spec_.BytesInRange(p, length)) {
                pos = p + length;
            } else {
                pos = std::max(table_detector_.FailureEnd(), p + 1);
            }
            continue;
        }
        if (q == p) {
            pos = p;  // a range sequence cut by the end
            break;
        }
        pos = q;
    }
    resume_ = static_cast<unsigned long>(pos - buffer_start);
}

void MixedBlockRangeDetector::BreakTie(unsigned char const *, unsigned char const * start,
                                       unsigned char const * end, unsigned char level,
                                       LanguageDetector * language) {
    zuuc_internal::legacy::TieBreak tie(level, language,
                                        zuuc_internal::legacy::Penalty::kPrivateUse);
    unsigned int const length = spec_.SequenceLength();
    unsigned char const * p = start;
    while (p < end) {
        unsigned char const * q = end;
        if (table16_ != nullptr) {
            q = zuuc_internal::legacy::DecodeForTieBreak(*table16_, p, end, tie, true);
        } else if (table32_ != nullptr) {
            q = zuuc_internal::legacy::DecodeForTieBreak(*table32_, p, end, tie, true);
        }
        if (q >= end) {
            break;
        }
        // The table block stopped: the range block takes what it holds.
        unsigned char const * const at = q;
        unsigned int c = 0;
        while (end - q >= static_cast<long>(length) && spec_.ToUnicode(q, c)) {
            tie.Add(c);
            q += length;
        }
        p = q == at ? q + 1 : q;
    }
    tie.Apply(tie_breaker_);
}

// --- MixedBlockRangeEncoding ----------------------------------------------------

MixedBlockRangeEncoding::MixedBlockRangeEncoding(TextEncodingID id,
                                                 unsigned char const * substitute,
                                                 char const ** nicknames, char const * mime_name,
                                                 unsigned int code_page, bool text_mode_safe,
                                                 void (*loader)(), char const * library,
                                                 RangeSpec const & spec)
    : BlockCharEncoding(id, substitute, nicknames, mime_name, code_page, loader, library),
      table_(TextEncodingID(0), substitute, nicknames, mime_name, code_page, text_mode_safe, loader,
             library),
      ranges_(TextEncodingID(0), substitute, nicknames, mime_name, code_page, spec, text_mode_safe,
              nullptr, nullptr),
      text_mode_safe_(text_mode_safe) {
    UpdateLoaded();
}

MixedBlockRangeEncoding::~MixedBlockRangeEncoding() = default;

void MixedBlockRangeEncoding::UpdateLoaded() {
    set_is_loaded(table_.IsLoaded() && ranges_.IsLoaded());
}

void MixedBlockRangeEncoding::InstallTables(
    MBCStoUnicodeTable<unsigned short> const * to_unicode,
    PlaneTable<unsigned short, unsigned int> const * from_unicode) {
    table_.InstallTables(to_unicode, from_unicode);
    UpdateLoaded();
}

void MixedBlockRangeEncoding::InstallTables(
    MBCStoUnicodeTable<unsigned short> const * to_unicode,
    PlaneTable<unsigned short, unsigned short> const * from_unicode) {
    table_.InstallTables(to_unicode, from_unicode);
    UpdateLoaded();
}

bool MixedBlockRangeEncoding::IsBasedOnASCII() const {
    return text_mode_safe_;
}
bool MixedBlockRangeEncoding::IsTextModeSafe() const {
    return text_mode_safe_;
}

CharEncodingDetector * MixedBlockRangeEncoding::CreateEncodingDetector(
    UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::Place<MixedBlockRangeDetector>(allocator, *this, table_,
                                                         ranges_.GetRangeSpec());
}

Transcoder<char, unsigned int> * MixedBlockRangeEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    auto table = zuuc_internal::Own(table_.CreateConverterToUTF32(allocator));
    auto range = zuuc_internal::Own(ranges_.CreateConverterToUTF32(allocator));
    if (table == nullptr || range == nullptr) {
        return nullptr;
    }
    return zuuc_internal::NullOnBadAlloc([&]() -> Transcoder<char, unsigned int> * {
        auto * mixed = new (allocator)
            MixedBlockRangeToUnicode(table.get(), range.get(), &ranges_.GetRangeSpec());
        table.release();
        range.release();
        return mixed;
    });
}

Transcoder<unsigned int, char> * MixedBlockRangeEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    auto table = zuuc_internal::Own(table_.CreateConverterFromUTF32(allocator));
    auto range = zuuc_internal::Own(ranges_.CreateConverterFromUTF32(allocator));
    if (table == nullptr || range == nullptr) {
        return nullptr;
    }
    return zuuc_internal::NullOnBadAlloc([&]() -> Transcoder<unsigned int, char> * {
        auto * mixed = new (allocator) MixedBlockRangeFromUnicode(table.get(), range.get());
        table.release();
        range.release();
        return mixed;
    });
}

Transcoder<char, unsigned short> * MixedBlockRangeEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterToUTF32(allocator), allocator);
}

Transcoder<unsigned short, char> * MixedBlockRangeEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterFromUTF32(allocator), allocator);
}
