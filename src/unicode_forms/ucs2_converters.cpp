// UCS-2 byte streams: 16-bit units as pairs of bytes.
#include "unicode_forms/utf16_units.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_internal::unicode_forms;

// --- UCS2toWhatever ---------------------------------------------------------------

UCS2toWhatever::UCS2toWhatever(bool big_endian)
    : configured_big_endian_(big_endian),
      big_endian_(big_endian),
      holding_(false),
      held_(0),
      at_start_(true) {}

UCS2toWhatever::~UCS2toWhatever() = default;

TranscodeResult UCS2toWhatever::Transcode(char const *& in, char const * inEnd,
                                          unsigned short *& out, unsigned short * outEnd,
                                          long limit) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        if (!holding_) {
            held_ = static_cast<unsigned char>(*in++);
            holding_ = true;
            continue;
        }
        if (out >= outEnd) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(1)) {
            return kTranscodeLimitReached;
        }
        unsigned char const second = static_cast<unsigned char>(*in++);
        holding_ = false;
        if (at_start_) {
            // A byte-order mark overrides the configured order; the mark
            // itself still comes out (as U+FEFF).
            at_start_ = false;
            if (held_ == 0xFE && second == 0xFF) {
                big_endian_ = true;
            } else if (held_ == 0xFF && second == 0xFE) {
                big_endian_ = false;
            }
        }
        *out++ = big_endian_ ? static_cast<unsigned short>((held_ << 8) | second)
                             : static_cast<unsigned short>((second << 8) | held_);
        budget.Spend(1);
    }
    return kTranscodeInputExhausted;
}

TranscodeResult UCS2toWhatever::Finish(unsigned short *&, unsigned short *, long) {
    bool const odd_byte = holding_;
    Reset();
    return odd_byte ? kTranscodeIllegalInput : kTranscodeComplete;
}

void UCS2toWhatever::Reset() {
    big_endian_ = configured_big_endian_;
    holding_ = false;
    held_ = 0;
    at_start_ = true;
}

// --- UCS2fromWhatever -------------------------------------------------------------

UCS2fromWhatever::UCS2fromWhatever(bool big_endian) : big_endian_(big_endian) {}
UCS2fromWhatever::~UCS2fromWhatever() = default;

TranscodeResult UCS2fromWhatever::Transcode(unsigned short const *& in,
                                            unsigned short const * inEnd, char *& out,
                                            char * outEnd, long limit) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        // A surrogate pair is one character: both units are written or neither.
        long units = 1;
        if (IsHighSurrogate(in[0]) && in + 1 < inEnd && IsLowSurrogate(in[1])) {
            units = 2;
        }
        if (outEnd - out < 2 * units) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(2 * units)) {
            return kTranscodeLimitReached;
        }
        for (long i = 0; i < units; ++i) {
            unsigned short const unit = *in++;
            char const high = static_cast<char>(unit >> 8);
            char const low = static_cast<char>(unit & 0xFF);
            *out++ = big_endian_ ? high : low;
            *out++ = big_endian_ ? low : high;
        }
        budget.Spend(2 * units);
    }
    return kTranscodeInputExhausted;
}

TranscodeResult UCS2fromWhatever::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

void UCS2fromWhatever::Reset() {
    BlockConverter_16_to_8::Reset();
}
