// The generic range and sparse tables, and the single-byte detector.
#include <gtest/gtest.h>

#include <vector>

#include "mbcs_test_tables.h"
#include "zuuc/zuuc.h"

using zuuc_test::mbcs::RecordingLanguage;

TEST(RangeTable, DenseRangeWithDefault) {
    unsigned int const values[] = {0, 7, 0, 9, 0};
    RangeTable<unsigned int, unsigned int> table(0, 100, 5, values);
    // Key, whether it is defined (the stored default is absent), value.
    struct { unsigned int key; bool defined; unsigned int value; } const cases[] = {
        {101, true, 7}, {103, true, 9}, {100, false, 0}, {99, false, 0}, {105, false, 0},
        {5, false, 0}, {0xFFFFFFFFu, false, 0}};
    LookupUnsignedLongTable<unsigned int> const & any = table;
    for (auto const & c : cases) {
        unsigned int v = 1;
        unsigned long lv = 1;
        EXPECT_EQ(c.defined, table.LookupValue(c.key, v)) << c.key;
        EXPECT_EQ(c.defined, any.Lookup(c.key, lv)) << c.key;
        EXPECT_EQ(c.value, table.Get(c.key)) << c.key;
        EXPECT_TRUE(!c.defined || (v == c.value && lv == c.value)) << c.key;
    }
    EXPECT_EQ(101u, table.LowestDefinedKey());
    EXPECT_EQ(103u, table.HighestDefinedKey());
    EXPECT_EQ(0u, table.DefaultValue());
    // All default, or empty: nothing defined, and the extremes report zero.
    unsigned int const fives[] = {5, 5, 5};
    RangeTable<unsigned int, unsigned int> all_default(5, 40, 3, fives);
    EXPECT_EQ(0u, all_default.LowestDefinedKey() + all_default.HighestDefinedKey());
    unsigned int v = 0;
    EXPECT_FALSE(all_default.LookupValue(41, v));
    RangeTable<unsigned int, unsigned int> empty(3, 0, 0, nullptr);
    EXPECT_EQ(3u, empty.Get(0));
    EXPECT_FALSE(empty.LookupValue(0, v));
}

// A halving search, ordered first word first, words compared unsigned.
TEST(SparseTable, HalvingSearch) {
    ZU_SparseTableEntry const many[] = {{0, 5, 1},           {0, 0xFFFFFFFFu, 2}, {1, 0, 3},
                                        {1, 7, 4},           {0x80000000u, 1, 5}, {0xFFFFFFFFu, 0, 6},
                                        {0xFFFFFFFFu, 9, 7}};
    for (unsigned int count : {1u, 2u, 7u}) {
        SparseTable<ZU_ULongLong, unsigned int> table(99, many, count);
        for (unsigned int i = 0; i < count; ++i) {
            EXPECT_EQ(many[i].value, table.Get({many[i].first, many[i].second})) << i;
        }
        for (ZU_ULongLong absent : {ZU_ULongLong{0, 4}, ZU_ULongLong{0, 6}, ZU_ULongLong{1, 1},
                                    ZU_ULongLong{0xFFFFFFFFu, 10}, ZU_ULongLong{0, 0}}) {
            unsigned int v = 0;
            EXPECT_FALSE(table.LookupValue(absent, v)) << count;
            EXPECT_EQ(99u, table.Get(absent)) << count;
        }
    }
    SparseTable<ZU_ULongLong, unsigned int> table(99, many, 7);
    unsigned long lv = 0;
    LookupUnsignedLongTable<ZU_ULongLong> const & any = table;
    EXPECT_TRUE(any.Lookup({0x80000000u, 1}, lv));
    EXPECT_EQ(5ul, lv);
    SparseTable<ZU_ULongLong, unsigned int> empty(7, nullptr, 0);
    EXPECT_EQ(7u, empty.Get({0, 0}));
}

namespace {

struct Detect {
    unsigned short table[256];
    Detect() {
        for (unsigned b = 0; b < 256; ++b) table[b] = static_cast<unsigned short>(b);
        table[0x81] = 0xFFFD;
        table[0x82] = 0xE000;  // private use
        table[0x83] = 0xF8FF;  // private use
        table[0x84] = 0xF900;  // not private use
    }
};

}  // namespace

TEST(SbcsDetector, RatingCountsUndefinedBytes) {
    Detect d;
    SBCSDetector detector(CharEncoding::CP1252(), d.table);
    EXPECT_EQ(0, detector.GetRating());
    unsigned char const bytes[] = {'a', 0x81, 0x81, 0x82, 0xFF, 0x81};
    detector.Examine(bytes, bytes, bytes + 3);
    EXPECT_EQ(-2, detector.GetRating());
    detector.Examine(bytes, bytes + 3, bytes + 6);  // only the new bytes count
    EXPECT_EQ(-3, detector.GetRating());
    EXPECT_EQ(&CharEncoding::CP1252(), &detector.GetEncoding());
}

// Private use costs a point; the language sees the text above level 0.
TEST(SbcsDetector, TieBreakPenalisesPrivateUseAndAsksTheLanguage) {
    Detect d;
    unsigned char const bytes[] = {'a', 0x81, 0x82, 0x83, 0x84, 'b'};
    for (int level : {0, 60, 100}) {
        SBCSDetector detector(CharEncoding::CP1252(), d.table);
        RecordingLanguage language(0, 10);
        detector.BreakTie(bytes, bytes, bytes + 6, static_cast<unsigned char>(level),
                          level == 100 ? nullptr : &language);
        EXPECT_EQ(level == 60 ? -2 + 50 : -2, detector.GetTieBreaker()) << level;
        EXPECT_EQ(level == 60 ? 60 : -1, language.last_level) << level;
    }
    SBCSDetector detector(CharEncoding::CP1252(), d.table);
    RecordingLanguage language;
    detector.BreakTie(bytes, bytes, bytes + 6, 60, &language);
    EXPECT_EQ((std::vector<unsigned int>{'a', 0xE000, 0xF8FF, 0xF900, 'b'}), language.seen);
}
