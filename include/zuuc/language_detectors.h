// Language scorers for Chinese, Japanese and Korean text, and the three
// auto-detecting encodings that use them to break ties.
//
// When candidate encodings rate a text equally, each tied candidate decodes
// it again and hands the code points to its encoding's scorer, which lowers
// the tie-breaker once for every implausible sequence (n-gram) it finds: C1
// controls, Han next to Cyrillic or Greek, stray halfwidth katakana and the
// like. Each language has a fixed table of penalised n-grams; the tie-break
// level (0 to 100) says how much of the table is used (level × size / 100
// entries, from the first).
//
// The scorers keep no state between calls: every Score call works on its
// own cursor and level, so several threads may score at once.
#ifndef ZUUC_LANGUAGE_DETECTORS_H
#define ZUUC_LANGUAGE_DETECTORS_H

#include "zuuc/auto_detect.h"
#include "zuuc/detector.h"
#include "zuuc/export.h"

// One penalised n-gram: `length` (1 to 3) code points, each in its range,
// at any position (0), only at the start of the text (1) or only at its end
// (2); any other position never matches. Each match adds `weight`.
struct DetectNGram {
    unsigned short length;
    short weight;
    struct Range {
        unsigned int low;
        unsigned int high;
    } ranges[3];
    unsigned int position;
};

// Hands out the entries of a table in order, as many as the level allows.
class ZUUC_EXPORT DetectNGramCollection {
public:
    virtual ~DetectNGramCollection();
    // The next entry, or null once Count() entries were handed out.
    virtual DetectNGram const * Next();
    // level × table size / 100 (integer division; levels above 100 count as 100).
    virtual unsigned int Count() const;
    // Texts of this many code points or fewer are not scored.
    virtual unsigned int MinimumTextLength() const;

    void Restart() { cursor_ = 0; }
    void SetLevel(unsigned char level) { level_ = level; }
    unsigned char Level() const { return level_; }

protected:
    DetectNGramCollection(DetectNGram const * table, unsigned int size);
    DetectNGramCollection(DetectNGramCollection const &) = default;
    DetectNGramCollection & operator=(DetectNGramCollection const &) = default;

private:
    unsigned int cursor_;
    unsigned char level_;
    DetectNGram const * table_;
    unsigned int size_;
};

class ZUUC_EXPORT DetectChineseNGramCollection : public DetectNGramCollection {
public:
    DetectChineseNGramCollection();
    static constexpr unsigned int kSize = 10;
};

class ZUUC_EXPORT DetectJapaneseNGramCollection : public DetectNGramCollection {
public:
    DetectJapaneseNGramCollection();
    static constexpr unsigned int kSize = 24;
};

class ZUUC_EXPORT DetectKoreanNGramCollection : public DetectNGramCollection {
public:
    DetectKoreanNGramCollection();
    static constexpr unsigned int kSize = 18;
};

// The matcher: stores `level` in the collection and, unless the collection
// is empty at that level or the text is too short, adds the weight of every
// match (overlapping matches all count) to `tie_breaker`. Returns the number
// of matches.
ZUUC_EXPORT int MatchNGrams(DetectNGramCollection & collection, int & tie_breaker,
                            unsigned int const * code_points, unsigned int count,
                            unsigned char level);

class ZUUC_EXPORT ChineseDetector : public LanguageDetector {
public:
    ~ChineseDetector() override;
    int Score(int & tie_breaker, unsigned int const * code_points, unsigned int count,
              unsigned char level) override;
};

class ZUUC_EXPORT JapaneseDetector : public LanguageDetector {
public:
    ~JapaneseDetector() override;
    int Score(int & tie_breaker, unsigned int const * code_points, unsigned int count,
              unsigned char level) override;
};

class ZUUC_EXPORT KoreanDetector : public LanguageDetector {
public:
    ~KoreanDetector() override;
    int Score(int & tie_breaker, unsigned int const * code_points, unsigned int count,
              unsigned char level) override;
};

// The three auto-detecting encodings (reached through CharEncoding::
// ChineseAutoDetect() and its siblings). Each owns its language scorer.
class ZUUC_EXPORT ChineseAutoDetectEncoding : public AutoDetectEncoding {
public:
    ChineseAutoDetectEncoding();
    ~ChineseAutoDetectEncoding() override;

private:
    ChineseDetector language_;
};

class ZUUC_EXPORT JapaneseAutoDetectEncoding : public AutoDetectEncoding {
public:
    JapaneseAutoDetectEncoding();
    ~JapaneseAutoDetectEncoding() override;

private:
    JapaneseDetector language_;
};

class ZUUC_EXPORT KoreanAutoDetectEncoding : public AutoDetectEncoding {
public:
    KoreanAutoDetectEncoding();
    ~KoreanAutoDetectEncoding() override;

private:
    KoreanDetector language_;
};

#endif
