// Encoding detectors: each rates how well a run of bytes fits one candidate
// encoding, so that an auto-detecting encoding can choose among candidates.
#ifndef ZUUC_DETECTOR_H
#define ZUUC_DETECTOR_H

#include "zuuc/export.h"
#include "zuuc/foundation.h"

class CharEncoding;

// Scores decoded text for one language, to break ties between candidates.
class ZUUC_EXPORT LanguageDetector {
public:
    virtual ~LanguageDetector();
    // Adds a language score for `count` code points to `tie_breaker` and
    // returns the new value. `level` (0-100) says how hard to try.
    virtual int Score(int & tie_breaker, unsigned int const * code_points, unsigned int count,
                      unsigned char level) = 0;

protected:
    LanguageDetector() = default;
    LanguageDetector(LanguageDetector const &) = default;
    LanguageDetector & operator=(LanguageDetector const &) = default;
};

// Created by an encoding's CreateEncodingDetector and placed with the
// caller's allocator; destroy with `delete`.
class ZUUC_EXPORT CharEncodingDetector : public UnicodeLibPlaceable {
public:
    // The most negative rating: a detector that has seen nothing it accepts.
    static constexpr int kLowestRating = -2147483647 - 1;

    // --- virtual interface, in slot order ---
    ~CharEncodingDetector() override;
    // Rates the bytes newly added in [new_start, end); buffer_start is the
    // first byte read ahead so far (a detector may look back to it).
    virtual void Examine(unsigned char const * buffer_start, unsigned char const * new_start,
                         unsigned char const * end) = 0;
    // For detectors that drive others: examines from `start` and returns the
    // position reached. The default does nothing and returns `start`.
    virtual unsigned char const * ExamineFrom(unsigned char const * buffer_start,
                                              unsigned char const * start,
                                              unsigned char const * end);
    // Moves the tie-breaker when several candidates share the best rating.
    // The default does nothing.
    virtual void BreakTie(unsigned char const * buffer_start, unsigned char const * start,
                          unsigned char const * end, unsigned char level,
                          LanguageDetector * language);
    // The default sets `complete` false and returns null.
    virtual unsigned char const * BreakTieFrom(unsigned char const * buffer_start,
                                               unsigned char const * start,
                                               unsigned char const * end, unsigned char level,
                                               LanguageDetector * language, bool & complete);
    // Called once when the input ended without a decision. The default does nothing.
    virtual void Finish(unsigned char const * buffer_start, unsigned char const * end);

    CharEncoding const & GetEncoding() const;
    int GetRating() const;
    int GetTieBreaker() const;

    CharEncodingDetector(CharEncodingDetector const &) = delete;
    CharEncodingDetector & operator=(CharEncodingDetector const &) = delete;

protected:
    CharEncodingDetector(CharEncoding const & encoding, int start_rating);

    CharEncoding const & encoding_;
    int rating_;
    int tie_breaker_;
};

#endif
