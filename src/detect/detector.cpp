#include "zuuc/detector.h"

LanguageDetector::~LanguageDetector() = default;

CharEncodingDetector::CharEncodingDetector(CharEncoding const & encoding, int start_rating)
    : encoding_(encoding), rating_(start_rating), tie_breaker_(0) {}

CharEncodingDetector::~CharEncodingDetector() = default;

unsigned char const * CharEncodingDetector::ExamineFrom(unsigned char const *,
                                                        unsigned char const * start,
                                                        unsigned char const *) {
    return start;
}

void CharEncodingDetector::BreakTie(unsigned char const *, unsigned char const *,
                                    unsigned char const *, unsigned char, LanguageDetector *) {}

unsigned char const * CharEncodingDetector::BreakTieFrom(unsigned char const *,
                                                         unsigned char const *,
                                                         unsigned char const *, unsigned char,
                                                         LanguageDetector *, bool & complete) {
    complete = false;
    return nullptr;
}

void CharEncodingDetector::Finish(unsigned char const *, unsigned char const *) {}

CharEncoding const & CharEncodingDetector::GetEncoding() const {
    return encoding_;
}
int CharEncodingDetector::GetRating() const {
    return rating_;
}
int CharEncodingDetector::GetTieBreaker() const {
    return tie_breaker_;
}
