// The CJK language scorers: table sizes by level, the penalties of the
// n-gram tables, and scoring from several threads at once.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "zuuc/language_detectors.h"

namespace {

template <class Collection>
unsigned int CountAt(unsigned char level) {
    Collection collection;
    collection.SetLevel(level);
    unsigned int handed_out = 0;
    while (collection.Next() != nullptr) ++handed_out;
    EXPECT_EQ(handed_out, collection.Count());
    return handed_out;
}

TEST(DetectNGramCollection, LevelSelectsTheFirstEntries) {
    // Level 100 (or above) takes them all, 50 half, 0 none.
    for (unsigned char level : {0, 50, 100, 250}) {
        unsigned int const share = level >= 100 ? 2 : level / 50;
        EXPECT_EQ(CountAt<DetectChineseNGramCollection>(level), 5u * share) << +level;
        EXPECT_EQ(CountAt<DetectJapaneseNGramCollection>(level), 12u * share) << +level;
        EXPECT_EQ(CountAt<DetectKoreanNGramCollection>(level), 9u * share) << +level;
    }
}

struct ScoreCase {
    char const * what;
    LanguageDetector * scorer;
    std::vector<unsigned int> text;
    unsigned char level;
    int penalty;
};

ChineseDetector gChinese;
JapaneseDetector gJapanese;
KoreanDetector gKorean;

std::vector<ScoreCase> const kScoreCases = {
    {"Han then small ya", &gJapanese, {0x4E00, 0x3083}, 100, -2},
    {"three halfwidth katakana", &gJapanese, {0xFF71, 0xFF72, 0xFF73}, 100, -3},
    {"small kana is past level 50", &gJapanese, {0x4E00, 0x3083}, 50, 0},
    {"Han, root sign, kana", &gJapanese, {0x4E00, 0x221A, 0x3042}, 100, -2},
    {"C1 control at any position", &gJapanese, {0x41, 0x85, 0x41, 0x9F}, 100, -2},
    {"plain Japanese", &gJapanese, {0x65E5, 0x672C, 0x8A9E, 0x3067, 0x3059}, 100, 0},
    {"Han then math at the end", &gChinese, {0x4E00, 0x2200}, 100, -1},
    {"Han, math, Han", &gChinese, {0x4E00, 0x2200, 0x4E00}, 100, -1},
    {"Han then Cyrillic then Han", &gChinese, {0x4E00, 0x0410, 0x4E00}, 100, -2},
    {"Han then box drawing then Han", &gChinese, {0x4E00, 0x2500, 0x4E00}, 100, -1},
    {"box drawing is past level 50", &gChinese, {0x4E00, 0x2500, 0x4E00}, 50, 0},
    {"one code point is never scored", &gChinese, {0x85}, 100, 0},
    {"level 0 scores nothing", &gChinese, {0x85, 0x85}, 0, 0},
    {"Hangul then kana", &gKorean, {0xAC00, 0x3042}, 100, -1},
    {"compatibility Han, Cyrillic, Hangul", &gKorean, {0xF900, 0x0410, 0xAC00}, 100, -2},
    {"Han, circled number, Hangul", &gKorean, {0x4E00, 0x2460, 0xAC00}, 100, -1},
    {"plain Korean", &gKorean, {0xD55C, 0xAD6D, 0xC5B4}, 100, 0},
};

TEST(LanguageDetector, MatcherCountsOverlappingMatches) {
    DetectJapaneseNGramCollection collection;
    int tie_breaker = 0;
    std::vector<unsigned int> const text = {0xFF71, 0x4E00, 0x3083, 0xFF71};
    EXPECT_EQ(MatchNGrams(collection, tie_breaker, text.data(), 4, 100), 3);
    EXPECT_EQ(tie_breaker, -4);
    EXPECT_EQ(collection.Level(), 100);
}

// Each call has its own level and cursor: threads scoring at different
// levels at once get the answers of one thread.
TEST(LanguageDetector, PenalisesImplausibleSequencesAlsoFromSeveralThreadsAtOnce) {
    for (ScoreCase const & c : kScoreCases) {
        int tie_breaker = 7;
        int const returned = c.scorer->Score(tie_breaker, c.text.data(),
                                             static_cast<unsigned int>(c.text.size()), c.level);
        EXPECT_EQ(tie_breaker, 7 + c.penalty) << c.what;
        EXPECT_EQ(returned, tie_breaker) << c.what;
    }
    std::vector<int> failures(6, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 300; ++round) {
                for (ScoreCase const & c : kScoreCases) {
                    // Odd threads also score at level 0 in between.
                    int tie_breaker = 0;
                    if (t % 2 == 1) {
                        c.scorer->Score(tie_breaker, c.text.data(),
                                        static_cast<unsigned int>(c.text.size()), 0);
                    }
                    c.scorer->Score(tie_breaker, c.text.data(),
                                    static_cast<unsigned int>(c.text.size()), c.level);
                    if (tie_breaker != c.penalty) ++failures[t];
                }
            }
        });
    }
    for (std::thread & thread : threads) thread.join();
    EXPECT_EQ(failures, std::vector<int>(6, 0));
}

}  // namespace
