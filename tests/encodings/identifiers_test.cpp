#include "zuuc/identifiers.h"

#include <gtest/gtest.h>

#include <map>
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
void ExpectMalformed(unsigned long value) {
    SCOPED_TRACE(value);
    try {
        Id id(value);
        ADD_FAILURE() << "accepted " << static_cast<unsigned long>(id);
    } catch (typename Id::Malformed const & e) {
        EXPECT_EQ(e.GetID(), value);
    }
}

TEST(EncodingVariationIDTest, AcceptsUpToFourVariationsOfNumbersZeroToNine) {
    EXPECT_EQ(V(EncodingVariationID(0)), 0ul);
    EXPECT_EQ(V(EncodingVariationID(9)), 9ul);
    EXPECT_EQ(V(EncodingVariationID(0x20)), 0x20ul);  // zero group below a non-zero one
    EXPECT_EQ(V(EncodingVariationID(Pack({9, 9, 9, 9}))), Pack({9, 9, 9, 9}));
    EXPECT_TRUE(EncodingVariationID(Pack({1, 2, 3, 4})).IsWellFormed());
}

TEST(EncodingVariationIDTest, RefusesBadGroupsAndValuesBeyondTwentyBits) {
    ExpectMalformed<EncodingVariationID>(10);
    ExpectMalformed<EncodingVariationID>(31);
    ExpectMalformed<EncodingVariationID>(Pack({1, 10}));
    ExpectMalformed<EncodingVariationID>(Pack({1, 1, 1, 1, 1}));
    ExpectMalformed<EncodingVariationID>(1ul << 20);
    // Values that do not fit 32 bits are malformed, not truncated.
    ExpectMalformed<EncodingVariationID>(0x100000001ul);
    ExpectMalformed<EncodingVariationID>(~0ul);
}

TEST(EncodingVariationIDTest, NamedAccessorsAreTheTenVariationNumbers) {
    EXPECT_EQ(V(EncodingVariationID::None()), 0ul);
    EXPECT_EQ(V(EncodingVariationID::ByteOrderMark()), 1ul);
    EXPECT_EQ(V(EncodingVariationID::UTF7()), 2ul);
    EXPECT_EQ(V(EncodingVariationID::UTF8()), 3ul);
    EXPECT_EQ(V(EncodingVariationID::BigEndian()), 4ul);
    EXPECT_EQ(V(EncodingVariationID::LittleEndian()), 5ul);
    EXPECT_EQ(V(EncodingVariationID::PlatformByteOrder()), 6ul);
    EXPECT_EQ(V(EncodingVariationID::Java()), 7ul);
    EXPECT_EQ(V(EncodingVariationID::HPPrinter()), 8ul);
    EXPECT_EQ(V(EncodingVariationID::UTF8EBCDIC()), 9ul);
}

TEST(EncodingVariationIDTest, AddingAppendsInOrderAndWalksBack) {
    EncodingVariationID list = EncodingVariationID::UTF8();
    list += EncodingVariationID::ByteOrderMark();
    list = list + EncodingVariationID::BigEndian();
    EXPECT_EQ(V(list), Pack({3, 1, 4}));

    // A zero group in the middle still counts towards the position.
    EncodingVariationID gap(0x20);
    EXPECT_EQ(V(gap + EncodingVariationID(1)), 0x20ul | (1ul << 10));

    // Adding None to an empty list keeps it empty.
    EXPECT_EQ(V(EncodingVariationID::None() + EncodingVariationID::None()), 0ul);

    std::string walked;
    for (EncodingVariationID rest = list; V(rest) != 0; rest = rest.GetRemainingVariationIDs()) {
        walked += std::to_string(V(rest.GetFirstVariationID()));
    }
    EXPECT_EQ(walked, "314");
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
    // Two plus two fit exactly.
    EXPECT_EQ(V(EncodingVariationID(Pack({1, 2})) + EncodingVariationID(Pack({3, 4}))),
              Pack({1, 2, 3, 4}));
}

TEST(TextEncodingIDTest, BaseNumbersAndVariationGroups) {
    EXPECT_EQ(V(TextEncodingID(0)), 0ul);
    EXPECT_EQ(V(TextEncodingID(190)), 190ul);
    ExpectMalformed<TextEncodingID>(191);
    ExpectMalformed<TextEncodingID>(0xFFF);
    ExpectMalformed<TextEncodingID>(0xA002);  // variation group 10
    ExpectMalformed<TextEncodingID>(2 | (Pack({1, 1, 1, 1}) << 12));
    ExpectMalformed<TextEncodingID>(0x100000002ul);
    EXPECT_EQ(V(TextEncodingID(2 | (Pack({9, 9, 9}) << 12))), 2 | (Pack({9, 9, 9}) << 12));
}

TEST(TextEncodingIDTest, MalformedMessage) {
    try {
        TextEncodingID id(191);
        (void)id;
        ADD_FAILURE();
    } catch (zu_exception const & e) {
        EXPECT_STREQ(e.what(), "malformed TextEncodingID 0x000000bf");
    }
}

TEST(TextEncodingIDTest, AddingVariationsPacksAboveTheBase) {
    TextEncodingID utf8 = TextEncodingID::UTF16() + EncodingVariationID::UTF8();
    EXPECT_EQ(V(utf8), 0x3002ul);
    TextEncodingID bom = utf8;
    bom += EncodingVariationID::ByteOrderMark();
    EXPECT_EQ(V(bom), 0x23002ul);

    EXPECT_EQ(V(bom.GetBaseEncodingID()), 2ul);
    EXPECT_EQ(V(bom.GetVariationIDs()), 0x23ul);
    EXPECT_EQ(V(bom.GetVariationIDs().GetFirstVariationID()), 3ul);
    EXPECT_EQ(V(bom.GetVariationIDs().GetRemainingVariationIDs()), 1ul);

    // A list of several variations added at once keeps its order.
    EXPECT_EQ(V(TextEncodingID::CP1252() + EncodingVariationID(Pack({7, 8}))),
              8ul | (Pack({7, 8}) << 12));
}

TEST(TextEncodingIDTest, TooManyVariations) {
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
    EXPECT_THROW(TextEncodingID::UTF16() + EncodingVariationID(Pack({1, 1, 1, 1})),
                 TextEncodingID::TooManyVariations);
}

TEST(TextEncodingIDTest, NamedAccessorsCoverEveryBaseNumber) {
    std::map<unsigned long, int> names_per_number;
#define ZUUC_COUNT(number, name) ++names_per_number[V(TextEncodingID::name())];
    ZUUC_TEXT_ENCODING_IDS(ZUUC_COUNT)
#undef ZUUC_COUNT
    EXPECT_EQ(names_per_number.size(), 191u);
    int total = 0;
    for (auto const & [number, count] : names_per_number) {
        total += count;
    }
    EXPECT_EQ(total, 195);
    EXPECT_EQ(names_per_number.rbegin()->first, 190ul);

    EXPECT_EQ(TextEncodingID::CP850(), TextEncodingID::PC850Multilingual());
    EXPECT_EQ(TextEncodingID::CP437(), TextEncodingID::PC8CodePage437());
    EXPECT_EQ(TextEncodingID::UTF16(), TextEncodingID::Unicode20());
    EXPECT_EQ(TextEncodingID::UTF16(), TextEncodingID::Unicode());
    EXPECT_NE(TextEncodingID::UTF16(), TextEncodingID::UTF32());
    EXPECT_EQ(V(TextEncodingID::ShiftJIS2004()), 189ul);
    EXPECT_EQ(V(TextEncodingID::CCSID1390()), 190ul);
    EXPECT_EQ(V(TextEncodingID::GB18030()), 164ul);
}

TEST(IdentifierErrorsTest, CopiesKeepTheirOwnMessage) {
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
}

TEST(IdentifierErrorsTest, AllAreCaughtAsLibraryExceptions) {
    int caught = 0;
    try { EncodingVariationID(10); } catch (UnicodeLibraryException const &) { ++caught; }
    try { TextEncodingID(500); } catch (UnicodeLibraryException const &) { ++caught; }
    try { TextEncodingID::UTF16() + EncodingVariationID(Pack({1, 1, 1, 1})); } catch (zu_exception const &) { ++caught; }
    EXPECT_EQ(caught, 3);
}

}  // namespace
