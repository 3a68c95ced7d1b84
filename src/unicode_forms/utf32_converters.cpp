// UTF-32 byte streams: 32-bit units as groups of four bytes.
#include "unicode_forms/utf16_units.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_internal::unicode_forms;

// --- UTF32toWhatever --------------------------------------------------------------

UTF32toWhatever::UTF32toWhatever(bool big_endian)
    : configured_big_endian_(big_endian),
      big_endian_(big_endian),
      count_(0),
      held_{0, 0, 0},
      at_start_(true) {}

UTF32toWhatever::~UTF32toWhatever() = default;

TranscodeResult UTF32toWhatever::Transcode(char const *& in, char const * inEnd,
                                           unsigned int *& out, unsigned int * outEnd, long limit) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        if (count_ < 3) {
            held_[count_++] = static_cast<unsigned char>(*in++);
            continue;
        }
        if (out >= outEnd) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(1)) {
            return kTranscodeLimitReached;
        }
        unsigned char const b0 = held_[0];
        unsigned char const b1 = held_[1];
        unsigned char const b2 = held_[2];
        unsigned char const b3 = static_cast<unsigned char>(*in++);
        count_ = 0;
        if (at_start_) {
            at_start_ = false;
            if (b0 == 0x00 && b1 == 0x00 && b2 == 0xFE && b3 == 0xFF) {
                big_endian_ = true;
            } else if (b0 == 0xFF && b1 == 0xFE && b2 == 0x00 && b3 == 0x00) {
                big_endian_ = false;
            }
        }
        // No range check: values above U+10FFFF are reported where UTF-32 is
        // turned into UTF-16.
        *out++ = big_endian_ ? (static_cast<unsigned int>(b0) << 24) |
                                   (static_cast<unsigned int>(b1) << 16) |
                                   (static_cast<unsigned int>(b2) << 8) | b3
                             : (static_cast<unsigned int>(b3) << 24) |
                                   (static_cast<unsigned int>(b2) << 16) |
                                   (static_cast<unsigned int>(b1) << 8) | b0;
        budget.Spend(1);
    }
    return kTranscodeInputExhausted;
}

TranscodeResult UTF32toWhatever::Finish(unsigned int *&, unsigned int *, long) {
    bool const incomplete = count_ != 0;
    Reset();
    return incomplete ? kTranscodeIllegalInput : kTranscodeComplete;
}

void UTF32toWhatever::Reset() {
    big_endian_ = configured_big_endian_;
    count_ = 0;
    at_start_ = true;
}

// --- UTF32fromWhatever ------------------------------------------------------------

UTF32fromWhatever::UTF32fromWhatever(bool big_endian) : big_endian_(big_endian) {}
UTF32fromWhatever::~UTF32fromWhatever() = default;

TranscodeResult UTF32fromWhatever::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                             char *& out, char * outEnd, long limit) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        if (outEnd - out < 4) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(4)) {
            return kTranscodeLimitReached;
        }
        unsigned int const value = *in++;
        for (int i = 0; i < 4; ++i) {
            int const shift = big_endian_ ? 24 - 8 * i : 8 * i;
            *out++ = static_cast<char>((value >> shift) & 0xFF);
        }
        budget.Spend(4);
    }
    return kTranscodeInputExhausted;
}

TranscodeResult UTF32fromWhatever::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

void UTF32fromWhatever::Reset() {
    BlockConverter_32_to_8::Reset();
}
