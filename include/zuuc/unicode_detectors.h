// Detectors for the byte forms of Unicode: UTF-8 (and UTF-EBCDIC), the
// UTF-16 byte streams and the UTF-32 byte streams. Each is created by its
// encoding's CreateEncodingDetector, placed in the caller's allocator, and
// destroyed with `delete`.
#ifndef ZUUC_UNICODE_DETECTORS_H
#define ZUUC_UNICODE_DETECTORS_H

#include "zuuc/detector.h"
#include "zuuc/export.h"

// Rates bytes as UTF-8. Starts at 0 and loses one point for every byte that
// breaks the lead/continuation pattern (a missing continuation byte, a stray
// continuation byte) and one more if the input ends inside a sequence.
class ZUUC_EXPORT UTF8Detector : public CharEncodingDetector {
public:
    explicit UTF8Detector(CharEncoding const & encoding);
    ~UTF8Detector() override;

    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;
    void Finish(unsigned char const * buffer_start, unsigned char const * end) override;

    // The number of continuation bytes still expected.
    int Pending() const { return pending_; }

private:
    int pending_;
};

// Rates bytes as a UTF-16 (UCS-2) byte stream: only a byte-order mark
// (FF FE or FE FF) as the first two bytes lifts the rating from the lowest
// value to 1.
class ZUUC_EXPORT UCS2Detector : public CharEncodingDetector {
public:
    explicit UCS2Detector(CharEncoding const & encoding);
    ~UCS2Detector() override;

    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;

private:
    bool looked_;
};

// Rates bytes as a UTF-32 byte stream: only a byte-order mark (FF FE 00 00 or
// 00 00 FE FF) as the first four bytes lifts the rating from the lowest value
// to 1.
class ZUUC_EXPORT UTF32Detector : public CharEncodingDetector {
public:
    explicit UTF32Detector(CharEncoding const & encoding);
    ~UTF32Detector() override;

    void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                 unsigned char const * end) override;

private:
    bool looked_;
};

#endif
