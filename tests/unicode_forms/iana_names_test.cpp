// The IANA labels of the byte streams in one stated byte order: found by
// name, no byte-order mark written, a leading one read as U+FEFF.
#include <gtest/gtest.h>

#include "support/utf16_support.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/unicode_encodings.h"

using namespace utf16_test;

namespace {

struct Label {
    char const * name;
    TextEncoding const & base;
    EncodingVariationID order;
    Bytes a;       // "A"
    Bytes marked;  // a byte-order mark in the label's order, then "A"
};

class IanaLabelTest : public ::testing::TestWithParam<int> {
protected:
    static Label const & L() {
        static Label const labels[] = {
            {"UTF-16BE", Char16Encoding::UTF16(), EncodingVariationID::BigEndian(), {0, 0x41},
             {0xFE, 0xFF, 0, 0x41}},
            {"UTF-16LE", Char16Encoding::UTF16(), EncodingVariationID::LittleEndian(), {0x41, 0},
             {0xFF, 0xFE, 0x41, 0}},
            {"UTF-32BE", Char32Encoding::UTF32(), EncodingVariationID::BigEndian(), {0, 0, 0, 0x41},
             {0, 0, 0xFE, 0xFF, 0, 0, 0, 0x41}},
            {"UTF-32LE", Char32Encoding::UTF32(), EncodingVariationID::LittleEndian(),
             {0x41, 0, 0, 0}, {0xFF, 0xFE, 0, 0, 0x41, 0, 0, 0}},
        };
        return labels[GetParam()];
    }
};

TEST_P(IanaLabelTest, NamesTheVariantInThatOrderWithoutAMark) {
    Label const & label = L();
    CharEncoding const * encoding = CharEncoding::Lookup(label.name);
    ASSERT_NE(encoding, nullptr);
    EXPECT_EQ(encoding, label.base.LookupVariant(label.order));
    EXPECT_EQ(CharEncoding::Lookup("utf_16_be"), CharEncoding::Lookup("UTF-16BE"));

    Unit16Source source(Units16{0x41});
    CharEncodingConverter writer(source, Char16Encoding::UTF16(), *encoding);
    EXPECT_EQ(Drain(writer), label.a);

    ByteSource marked(label.marked);
    Char16EncodingConverter reader(marked, *encoding, Char16Encoding::UTF16());
    EXPECT_EQ(Drain(reader), Units16({0xFEFF, 0x41}));
}

INSTANTIATE_TEST_SUITE_P(Labels, IanaLabelTest, ::testing::Range(0, 4));

// The labels joined the end of the nickname lists: every older name keeps
// its answer and its encoding keeps its name.
TEST(IanaLabels, OlderNamesKeepTheirAnswers) {
    EXPECT_STREQ(CharEncoding::Lookup("UTF-16BE")->Name(), "BMP");
    EXPECT_STREQ(CharEncoding::Lookup("UTF-16LE")->Name(), "Unicode20:little-endian");
    EXPECT_STREQ(CharEncoding::Lookup("UTF-32BE")->Name(), "UTF32:big-endian");
    EXPECT_STREQ(CharEncoding::Lookup("UTF-32LE")->Name(), "UTF32:little-endian");
    EXPECT_EQ(CharEncoding::Lookup("UTF-16"), &CharEncoding::Unicode20ByteStream());
    EXPECT_EQ(CharEncoding::Lookup("UTF32:big-endian"), &CharEncoding::UTF32BigEndian());
}

}  // namespace
