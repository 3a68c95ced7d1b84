// The CJK language scorers: tables of penalised n-grams and the matcher.
#include "zuuc/language_detectors.h"

#include <cstdint>

namespace {

constexpr unsigned int kHan = 0x4E00, kHanEnd = 0x9FFF;
constexpr unsigned int kKana = 0x3040, kKanaEnd = 0x30FF;
constexpr unsigned int kHangul = 0xAC00, kHangulEnd = 0xD7AF;

constexpr DetectNGram One(unsigned int low, unsigned int high) {
    return {1, -1, {{low, high}, {0, 0}, {0, 0}}, 0};
}
constexpr DetectNGram Two(unsigned int low1, unsigned int high1, unsigned int low2,
                          unsigned int high2, short weight = -1, unsigned int position = 0) {
    return {2, weight, {{low1, high1}, {low2, high2}, {0, 0}}, position};
}
constexpr DetectNGram Three(unsigned int low1, unsigned int high1, unsigned int low2,
                            unsigned int high2, unsigned int low3, unsigned int high3) {
    return {3, -1, {{low1, high1}, {low2, high2}, {low3, high3}}, 0};
}
constexpr DetectNGram HanThenSmallKana(unsigned int kana) {
    return Two(kHan, kHanEnd, kana, kana, -2);
}

constexpr unsigned int kAtEnd = 2;

constexpr DetectNGram kChinese[DetectChineseNGramCollection::kSize] = {
    One(0x0080, 0x009F),
    Two(kHan, kHanEnd, kKana, kKanaEnd),
    Two(kKana, kKanaEnd, kHan, kHanEnd),
    Three(kHan, kHanEnd, 0x2200, 0x22FF, kHan, kHanEnd),
    Two(kHan, kHanEnd, 0x2200, 0x22FF, -1, kAtEnd),
    Two(kHan, kHanEnd, 0x0400, 0x04FF),
    Two(kHan, kHanEnd, 0x0370, 0x03FF),
    Two(0x0400, 0x04FF, kHan, kHanEnd),
    Two(0x0370, 0x03FF, kHan, kHanEnd),
    Three(kHan, kHanEnd, 0x2500, 0x257F, kHan, kHanEnd),
};

constexpr DetectNGram kJapanese[DetectJapaneseNGramCollection::kSize] = {
    One(0xFF61, 0xFF9F),
    One(0x0080, 0x009F),
    Three(kHan, kHanEnd, 0x2200, 0x22FF, kHan, kHanEnd),
    Three(kHan, kHanEnd, 0xFF41, 0xFF5A, kHan, kHanEnd),
    Two(kHan, kHanEnd, 0x2200, 0x22FF, -1, kAtEnd),
    Two(kHan, kHanEnd, 0x0400, 0x04FF),
    Two(kHan, kHanEnd, 0x0370, 0x03FF),
    Two(0x0400, 0x04FF, kHan, kHanEnd),
    Two(0x0370, 0x03FF, kHan, kHanEnd),
    Two(kHan, kHanEnd, 0x2605, 0x2606),
    Two(kHan, kHanEnd, 0x25A0, 0x25FF),
    Two(0x221A, 0x221A, kHan, kHanEnd, -2),
    Two(0x221A, 0x221A, kKana, kKanaEnd, -2),
    HanThenSmallKana(0x3087),
    HanThenSmallKana(0x3085),
    HanThenSmallKana(0x3083),
    HanThenSmallKana(0x30E7),
    HanThenSmallKana(0x30E5),
    HanThenSmallKana(0x30E3),
    HanThenSmallKana(0x3041),
    HanThenSmallKana(0x3043),
    HanThenSmallKana(0x3045),
    HanThenSmallKana(0x3047),
    HanThenSmallKana(0x3049),
};

constexpr DetectNGram kKorean[DetectKoreanNGramCollection::kSize] = {
    One(0x0080, 0x009F),
    Two(kHan, kHanEnd, kKana, kKanaEnd),
    Two(kKana, kKanaEnd, kHan, kHanEnd),
    Two(kHangul, kHangulEnd, kKana, kKanaEnd),
    Two(kKana, kKanaEnd, kHangul, kHangulEnd),
    Two(kHan, kHanEnd, 0x0400, 0x04FF),
    Two(kHan, kHanEnd, 0x0370, 0x03FF),
    Two(0x0400, 0x04FF, kHan, kHanEnd),
    Two(0x0370, 0x03FF, kHan, kHanEnd),
    Two(0x0400, 0x04FF, kHangul, kHangulEnd),
    Two(0x0370, 0x03FF, kHangul, kHangulEnd),
    Two(kHangul, kHangulEnd, 0x0400, 0x04FF),
    Two(kHangul, kHangulEnd, 0x0370, 0x03FF),
    Two(kHan, kHanEnd, 0x25A0, 0x25FF),
    Three(0xF900, 0xFAFF, 0x0400, 0x04FF, kHangul, kHangulEnd),
    Three(kHan, kHanEnd, 0x3380, 0x33DD, kHangul, kHangulEnd),
    Three(kHan, kHanEnd, 0x2460, 0x24FF, kHangul, kHangulEnd),
    Three(0xF900, 0xFAFF, 0x2460, 0x24FF, kHangul, kHangulEnd),
};

bool Matches(DetectNGram const & gram, unsigned int const * text, unsigned int i,
             unsigned int count) {
    if (count - i < gram.length) {
        return false;
    }
    switch (gram.position) {
        case 0:
            break;
        case 1:
            if (i != 0)
                return false;
            break;
        case 2:
            if (i + gram.length != count)
                return false;
            break;
        default:
            return false;
    }
    for (unsigned int k = 0; k < gram.length; ++k) {
        unsigned int const c = text[i + k];
        if (c < gram.ranges[k].low || c > gram.ranges[k].high) {
            return false;
        }
    }
    return true;
}

}  // namespace

// --- collections ------------------------------------------------------------------

DetectNGramCollection::DetectNGramCollection(DetectNGram const * table, unsigned int size)
    : cursor_(0), level_(100), table_(table), size_(size) {}

DetectNGramCollection::~DetectNGramCollection() = default;

DetectNGram const * DetectNGramCollection::Next() {
    if (cursor_ >= Count()) {
        return nullptr;
    }
    return &table_[cursor_++];
}

unsigned int DetectNGramCollection::Count() const {
    unsigned int const level = level_ > 100 ? 100u : level_;
    return level * size_ / 100;
}

unsigned int DetectNGramCollection::MinimumTextLength() const {
    return 1;
}

DetectChineseNGramCollection::DetectChineseNGramCollection()
    : DetectNGramCollection(kChinese, kSize) {}
DetectJapaneseNGramCollection::DetectJapaneseNGramCollection()
    : DetectNGramCollection(kJapanese, kSize) {}
DetectKoreanNGramCollection::DetectKoreanNGramCollection()
    : DetectNGramCollection(kKorean, kSize) {}

// --- the matcher ------------------------------------------------------------------

namespace {

// Which entries could match at a position, looked up by the high byte of the
// code points there: bit k of first[b] is set when entry k's first range
// meets the block b × 256 ... b × 256 + 255 (the same for the second code
// point; entries of length 1 pass the second test). Code points above the
// Basic Multilingual Plane use block 256. Every candidate is then matched
// exactly, so the filter changes only the speed.
class EntryFilter {
public:
    EntryFilter(DetectNGram const * const * grams, unsigned int count) {
        for (unsigned int k = 0; k < count; ++k) {
            std::uint32_t const bit = std::uint32_t{1} << k;
            Mark(first_, grams[k]->ranges[0], bit);
            if (grams[k]->length >= 2) {
                Mark(second_, grams[k]->ranges[1], bit);
            } else {
                for (std::uint32_t & mask : second_)
                    mask |= bit;
            }
        }
    }
    std::uint32_t Candidates(unsigned int const * text, unsigned int i, unsigned int count) const {
        std::uint32_t mask = first_[Block(text[i])];
        if (mask != 0 && i + 1 < count) {
            mask &= second_[Block(text[i + 1])];  // at the last position the exact match decides
        }
        return mask;
    }

private:
    static constexpr unsigned int kBlocks = 257;
    static unsigned int Block(unsigned int c) { return c > 0xFFFF ? 256 : c >> 8; }
    static void Mark(std::uint32_t * masks, DetectNGram::Range const & range, std::uint32_t bit) {
        if (range.low > range.high)
            return;
        unsigned int const last = Block(range.high);
        for (unsigned int b = Block(range.low); b <= last; ++b)
            masks[b] |= bit;
    }
    std::uint32_t first_[kBlocks] = {};
    std::uint32_t second_[kBlocks] = {};
};

}  // namespace

int MatchNGrams(DetectNGramCollection & collection, int & tie_breaker,
                unsigned int const * code_points, unsigned int count, unsigned char level) {
    collection.SetLevel(level);
    if (collection.Count() == 0 || count <= collection.MinimumTextLength() ||
        code_points == nullptr) {
        return 0;
    }
    // The entries in use, handed out once for every position.
    constexpr unsigned int kMostEntries = 32;
    DetectNGram const * grams[kMostEntries];
    unsigned int used = 0;
    collection.Restart();
    while (DetectNGram const * gram = collection.Next()) {
        if (used == kMostEntries)
            break;
        grams[used++] = gram;
    }
    EntryFilter const filter(grams, used);
    int matches = 0;
    for (unsigned int i = 0; i < count; ++i) {
        for (std::uint32_t mask = filter.Candidates(code_points, i, count); mask != 0;
             mask &= mask - 1) {
            DetectNGram const & gram = *grams[__builtin_ctz(mask)];
            if (Matches(gram, code_points, i, count)) {
                tie_breaker += gram.weight;
                ++matches;
            }
        }
    }
    return matches;
}

// --- the scorers: a fresh collection (cursor and level) per call -------------------

#define ZUUC_DEFINE_SCORER(Scorer, Collection)                                                 \
    Scorer::~Scorer() = default;                                                               \
    int Scorer::Score(int & tie_breaker, unsigned int const * code_points, unsigned int count, \
                      unsigned char level) {                                                   \
        Collection collection;                                                                 \
        MatchNGrams(collection, tie_breaker, code_points, count, level);                       \
        return tie_breaker;                                                                    \
    }

ZUUC_DEFINE_SCORER(ChineseDetector, DetectChineseNGramCollection)
ZUUC_DEFINE_SCORER(JapaneseDetector, DetectJapaneseNGramCollection)
ZUUC_DEFINE_SCORER(KoreanDetector, DetectKoreanNGramCollection)

#undef ZUUC_DEFINE_SCORER
