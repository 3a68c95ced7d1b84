#include "zuuc/identifiers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

unsigned long V(TextEncodingID id) { return id; }
unsigned long V(EncodingVariationID id) { return id; }

// Packs variation numbers, first one lowest.
unsigned long Pack(std::initializer_list<unsigned> groups) {
    unsigned long v = 0;
    unsigned shift = 0;
    for (unsigned g : groups) {
        v |= static_cast<unsigned long>(g) << shift;
        shift += 5;
    }
    return v;
}

template <class Id>
void ExpectMalformed(std::initializer_list<unsigned long> values) {
    for (unsigned long value : values) {
        try {
            Id id(value);
            ADD_FAILURE() << "accepted " << static_cast<unsigned long>(id);
        } catch (typename Id::Malformed const & e) {
            EXPECT_EQ(e.GetID(), value);
        }
    }
}

TEST(EncodingVariationIDTest, AcceptsUpToFourVariationsOfNumbersZeroToNine) {
    // A zero group may stand below a non-zero one.
    for (unsigned long value : {0ul, 9ul, 0x20ul, Pack({9, 9, 9, 9}), Pack({1, 2, 3, 4})}) {
        EXPECT_EQ(V(EncodingVariationID(value)), value);
        EXPECT_TRUE(EncodingVariationID(value).IsWellFormed());
    }
    // Values that do not fit 32 bits are malformed, not truncated.
    ExpectMalformed<EncodingVariationID>({10, 31, Pack({1, 10}), Pack({1, 1, 1, 1, 1}), 1ul << 20,
                                          0x100000001ul, ~0ul});
}

TEST(EncodingVariationIDTest, AddingAppendsInOrderAndWalksBack) {
    EncodingVariationID list = EncodingVariationID::UTF8();
    list += EncodingVariationID::ByteOrderMark();
    list = list + EncodingVariationID::BigEndian();
    EXPECT_EQ(V(list), Pack({3, 1, 4}));
    // A zero group in the middle still counts towards the position.
    EXPECT_EQ(V(EncodingVariationID(0x20) + EncodingVariationID(1)), 0x20ul | (1ul << 10));
    // Adding None to an empty list keeps it empty.
    EXPECT_EQ(V(EncodingVariationID::None() + EncodingVariationID::None()), 0ul);
    std::string walked;
    for (EncodingVariationID rest = list; V(rest) != 0; rest = rest.GetRemainingVariationIDs()) {
        walked += std::to_string(V(rest.GetFirstVariationID()));
    }
    EXPECT_EQ(walked, "314");
    // Two plus two fit exactly.
    EXPECT_EQ(V(EncodingVariationID(Pack({1, 2})) + EncodingVariationID(Pack({3, 4}))), Pack({1, 2, 3, 4}));
}

TEST(EncodingVariationIDTest, TooManyVariationsLeavesTheLeftOperandAlone) {
    EncodingVariationID four(Pack({1, 2, 3, 4}));
    try {
        four += EncodingVariationID::Java();
        ADD_FAILURE();
    } catch (EncodingVariationID::TooManyVariations const & e) {
        EXPECT_EQ(e.GetBaseVariationID(), Pack({1, 2, 3, 4}));
        EXPECT_EQ(e.GetAdditionalVariationID(), 7ul);
        EXPECT_STREQ(e.what(),
                     "adding EncodingVariationIDs 0x00020c41 and 0x00000007 would exceed the "
                     "maximum number of variations");
    }
    EXPECT_EQ(V(four), Pack({1, 2, 3, 4}));
    EXPECT_THROW(four + EncodingVariationID::UTF7(), EncodingVariationID::TooManyVariations);
}

TEST(TextEncodingIDTest, BaseNumbersAndVariationGroups) {
    for (unsigned long value : {0ul, 190ul, 2 | (Pack({9, 9, 9}) << 12)}) EXPECT_EQ(V(TextEncodingID(value)), value);
    ExpectMalformed<TextEncodingID>({191, 0xFFF, 0xA002 /* variation group 10 */, 2 | (Pack({1, 1, 1, 1}) << 12),
                                     0x100000002ul});
    try {
        TextEncodingID id(191);
        (void)id;
        ADD_FAILURE();
    } catch (zu_exception const & e) {
        EXPECT_STREQ(e.what(), "malformed TextEncodingID 0x000000bf");
    }
}

TEST(TextEncodingIDTest, AddingVariationsPacksAboveTheBase) {
    TextEncodingID bom = TextEncodingID::UTF16() + EncodingVariationID::UTF8();
    EXPECT_EQ(V(bom), 0x3002ul);
    bom += EncodingVariationID::ByteOrderMark();
    EXPECT_EQ(V(bom), 0x23002ul);
    EXPECT_EQ(V(bom.GetBaseEncodingID()), 2ul);
    EXPECT_EQ(V(bom.GetVariationIDs()), 0x23ul);
    // A list of several variations added at once keeps its order.
    EXPECT_EQ(V(TextEncodingID::CP1252() + EncodingVariationID(Pack({7, 8}))), 8ul | (Pack({7, 8}) << 12));

    TextEncodingID three = TextEncodingID::UTF32() + EncodingVariationID(Pack({1, 2, 3}));
    unsigned long const before = three;
    try {
        three += EncodingVariationID::Java();
        ADD_FAILURE();
    } catch (TextEncodingID::TooManyVariations const & e) {
        EXPECT_EQ(e.GetTextEncodingID(), before);
        EXPECT_EQ(e.GetEncodingVariationID(), 7ul);
        EXPECT_STREQ(e.what(),
                     "adding TextEncodingID 0x00c410a9 and EncodingVariationID 0x00000007 would "
                     "exceed the maximum number of variations");
    }
    EXPECT_EQ(V(three), before);
    EXPECT_THROW(TextEncodingID::UTF16() + EncodingVariationID(Pack({1, 1, 1, 1})), TextEncodingID::TooManyVariations);
}

TEST(IdentifierErrorsTest, CopiesKeepTheirOwnMessageAndAllAreLibraryExceptions) {
    auto copy_of = [](unsigned long value) {
        try {
            TextEncodingID id(value);
            (void)id;
        } catch (TextEncodingID::Malformed const & e) {
            TextEncodingID::Malformed copy(e);
            return copy;
        }
        return TextEncodingID::Malformed(0);
    };
    TextEncodingID::Malformed kept = copy_of(0xA002);
    EXPECT_STREQ(kept.what(), "malformed TextEncodingID 0x0000a002");
    TextEncodingID::Malformed assigned(1);
    assigned = kept;
    EXPECT_STREQ(assigned.what(), kept.what());
    EXPECT_NE(assigned.what(), kept.what());  // each object owns its text
    EXPECT_EQ(assigned.GetID(), 0xA002ul);

    int caught = 0;
    try { EncodingVariationID(10); } catch (UnicodeLibraryException const &) { ++caught; }
    try { TextEncodingID(500); } catch (UnicodeLibraryException const &) { ++caught; }
    EXPECT_EQ(caught, 2);
}

}  // namespace
