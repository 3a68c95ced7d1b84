// The generic range and sparse tables, and the single-byte detector.
#include <gtest/gtest.h>

#include <vector>

#include "mbcs_test_tables.h"
#include "zuuc/zuuc.h"

using mbcs_test::RecordingLanguage;

TEST(RangeTable, DenseRangeWithDefault) {
    unsigned int const values[] = {0, 7, 0, 9, 0};
    RangeTable<unsigned int, unsigned int> table(0, 100, 5, values);
    unsigned int v = 1;
    EXPECT_TRUE(table.LookupValue(101, v));
    EXPECT_EQ(7u, v);
    EXPECT_FALSE(table.LookupValue(100, v));  // stored default: absent
    EXPECT_FALSE(table.LookupValue(99, v));   // below the range
    EXPECT_FALSE(table.LookupValue(105, v));  // past the range
    EXPECT_FALSE(table.LookupValue(0xFFFFFFFFu, v));
    EXPECT_EQ(9u, table.Get(103));
    EXPECT_EQ(0u, table.Get(5));
    EXPECT_EQ(101u, table.LowestDefinedKey());
    EXPECT_EQ(103u, table.HighestDefinedKey());
    EXPECT_EQ(0u, table.DefaultValue());

    // Through the common interface.
    LookupUnsignedLongTable<unsigned int> const & any = table;
    unsigned long lv = 0;
    EXPECT_TRUE(any.Lookup(103, lv));
    EXPECT_EQ(9ul, lv);
    EXPECT_FALSE(any.Lookup(104, lv));
}

TEST(RangeTable, AllDefaultOrEmptyReportsZero) {
    unsigned int const values[] = {5, 5, 5};
    RangeTable<unsigned int, unsigned int> table(5, 40, 3, values);
    EXPECT_EQ(0u, table.LowestDefinedKey());
    EXPECT_EQ(0u, table.HighestDefinedKey());
    unsigned int v = 0;
    EXPECT_FALSE(table.LookupValue(41, v));
    RangeTable<unsigned int, unsigned int> empty(3, 0, 0, nullptr);
    EXPECT_EQ(3u, empty.Get(0));
    EXPECT_FALSE(empty.LookupValue(0, v));
}

TEST(SparseTable, HalvingSearch) {
    ZU_SparseTableEntry const one[] = {{1, 2, 42}};
    SparseTable<ZU_ULongLong, unsigned int> single(0, one, 1);
    unsigned int v = 0;
    EXPECT_TRUE(single.LookupValue({1, 2}, v));
    EXPECT_EQ(42u, v);
    for (ZU_ULongLong other : {ZU_ULongLong{1, 1}, ZU_ULongLong{1, 3}, ZU_ULongLong{0, 2},
                               ZU_ULongLong{2, 2}, ZU_ULongLong{0, 0}}) {
        EXPECT_FALSE(single.LookupValue(other, v));
        EXPECT_EQ(0u, single.Get(other));
    }

    // Ordered first word first, words compared unsigned.
    ZU_SparseTableEntry const many[] = {{0, 5, 1},           {0, 0xFFFFFFFFu, 2}, {1, 0, 3},
                                        {1, 7, 4},           {0x80000000u, 1, 5}, {0xFFFFFFFFu, 0, 6},
                                        {0xFFFFFFFFu, 9, 7}};
    SparseTable<ZU_ULongLong, unsigned int> table(99, many, 7);
    for (auto const & e : many) {
        EXPECT_EQ(e.value, table.Get({e.first, e.second})) << e.first << "," << e.second;
    }
    EXPECT_EQ(99u, table.Get({0, 4}));
    EXPECT_EQ(99u, table.Get({0xFFFFFFFFu, 10}));
    EXPECT_EQ(99u, table.Get({1, 1}));
    unsigned long lv = 0;
    LookupUnsignedLongTable<ZU_ULongLong> const & any = table;
    EXPECT_TRUE(any.Lookup({0x80000000u, 1}, lv));
    EXPECT_EQ(5ul, lv);

    SparseTable<ZU_ULongLong, unsigned int> empty(7, nullptr, 0);
    EXPECT_FALSE(empty.LookupValue({0, 0}, v));
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

TEST(SbcsDetector, TieBreakPenalisesPrivateUseAndAsksTheLanguage) {
    Detect d;
    unsigned char const bytes[] = {'a', 0x81, 0x82, 0x83, 0x84, 'b'};
    {
        SBCSDetector detector(CharEncoding::CP1252(), d.table);
        RecordingLanguage language(0, 10);
        detector.BreakTie(bytes, bytes, bytes + 6, 0, &language);  // level 0: no language
        EXPECT_EQ(-2, detector.GetTieBreaker());
        EXPECT_EQ(-1, language.last_level);
    }
    {
        SBCSDetector detector(CharEncoding::CP1252(), d.table);
        RecordingLanguage language(0, 10);
        detector.BreakTie(bytes, bytes, bytes + 6, 60, &language);
        EXPECT_EQ((std::vector<unsigned int>{'a', 0xE000, 0xF8FF, 0xF900, 'b'}), language.seen);
        EXPECT_EQ(60, language.last_level);
        EXPECT_EQ(-2 + 50, detector.GetTieBreaker());
    }
    {
        SBCSDetector detector(CharEncoding::CP1252(), d.table);
        detector.BreakTie(bytes, bytes, bytes + 6, 100, nullptr);
        EXPECT_EQ(-2, detector.GetTieBreaker());
    }
}
