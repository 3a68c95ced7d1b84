// Detectors of the byte forms of Unicode.
#include "zuuc/unicode_detectors.h"

#include "convert/transcode_contract.h"

namespace {

using zuuc_internal::IsContinuationByte;
using zuuc_internal::TrailingByteCount;

}  // namespace

// --- UTF8Detector -------------------------------------------------------------------

UTF8Detector::UTF8Detector(CharEncoding const & encoding)
    : CharEncodingDetector(encoding, 0), pending_(0) {}

UTF8Detector::~UTF8Detector() = default;

void UTF8Detector::Examine(unsigned char const *, unsigned char const * new_start,
                           unsigned char const * end) {
    for (unsigned char const * p = new_start; p < end; ++p) {
        unsigned char const b = *p;
        if (pending_ > 0) {
            if (!IsContinuationByte(b)) {
                --rating_;
            }
            --pending_;
        } else {
            if (IsContinuationByte(b)) {
                --rating_;
            }
            pending_ = TrailingByteCount(b);
        }
    }
}

void UTF8Detector::Finish(unsigned char const *, unsigned char const *) {
    if (pending_ > 0) {
        --rating_;
    }
}

// --- UCS2Detector -------------------------------------------------------------------

UCS2Detector::UCS2Detector(CharEncoding const & encoding)
    : CharEncodingDetector(encoding, kLowestRating), looked_(false) {}

UCS2Detector::~UCS2Detector() = default;

void UCS2Detector::Examine(unsigned char const * buffer_start, unsigned char const *,
                           unsigned char const * end) {
    if (looked_ || buffer_start == nullptr || end - buffer_start < 2) {
        return;
    }
    looked_ = true;
    if ((buffer_start[0] == 0xFF && buffer_start[1] == 0xFE) ||
        (buffer_start[0] == 0xFE && buffer_start[1] == 0xFF)) {
        rating_ = 1;
    }
}

// --- UTF32Detector ------------------------------------------------------------------

UTF32Detector::UTF32Detector(CharEncoding const & encoding)
    : CharEncodingDetector(encoding, kLowestRating), looked_(false) {}

UTF32Detector::~UTF32Detector() = default;

void UTF32Detector::Examine(unsigned char const * buffer_start, unsigned char const *,
                            unsigned char const * end) {
    if (looked_ || buffer_start == nullptr || end - buffer_start < 4) {
        return;
    }
    looked_ = true;
    unsigned char const * const b = buffer_start;
    if ((b[0] == 0xFF && b[1] == 0xFE && b[2] == 0x00 && b[3] == 0x00) ||
        (b[0] == 0x00 && b[1] == 0x00 && b[2] == 0xFE && b[3] == 0xFF)) {
        rating_ = 1;
    }
}
