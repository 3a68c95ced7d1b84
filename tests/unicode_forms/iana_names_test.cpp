// The IANA labels of the byte streams in one stated byte order: found by
// name, no byte-order mark written, a leading one read as U+FEFF, and the
// older names keep their answers.
#include <gtest/gtest.h>

#include "support/utf16_support.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/unicode_encodings.h"

using namespace utf16_test;

namespace {

TEST(IanaLabels, NameTheVariantInThatOrderWithoutAMark) {
    struct {
        char const * name;
        TextEncoding const & base;
        EncodingVariationID order;
        char const * old_name;
        Bytes marked_a;  // a byte-order mark in the label's order, then "A"
    } const labels[] = {
        {"UTF-16BE", Char16Encoding::UTF16(), EncodingVariationID::BigEndian(), "BMP",
         {0xFE, 0xFF, 0, 0x41}},
        {"UTF-16LE", Char16Encoding::UTF16(), EncodingVariationID::LittleEndian(),
         "Unicode20:little-endian", {0xFF, 0xFE, 0x41, 0}},
        {"UTF-32BE", Char32Encoding::UTF32(), EncodingVariationID::BigEndian(), "UTF32:big-endian",
         {0, 0, 0xFE, 0xFF, 0, 0, 0, 0x41}},
        {"UTF-32LE", Char32Encoding::UTF32(), EncodingVariationID::LittleEndian(),
         "UTF32:little-endian", {0xFF, 0xFE, 0, 0, 0x41, 0, 0, 0}},
    };
    for (auto const & label : labels) {
        SCOPED_TRACE(label.name);
        CharEncoding const * encoding = CharEncoding::Lookup(label.name);
        ASSERT_NE(encoding, nullptr);
        EXPECT_EQ(encoding, label.base.LookupVariant(label.order));
        EXPECT_STREQ(encoding->Name(), label.old_name);
        EXPECT_EQ(CharEncoding::Lookup(label.old_name), encoding);

        Unit16Source source(Units16{0x41});
        CharEncodingConverter writer(source, Char16Encoding::UTF16(), *encoding);
        Bytes const unmarked(label.marked_a.begin() + (label.marked_a.size() / 2),
                             label.marked_a.end());
        EXPECT_EQ(Drain(writer), unmarked);
        ByteSource marked(label.marked_a);
        Char16EncodingConverter reader(marked, *encoding, Char16Encoding::UTF16());
        EXPECT_EQ(Drain(reader), Units16({0xFEFF, 0x41}));
    }
    EXPECT_EQ(CharEncoding::Lookup("utf_16_be"), CharEncoding::Lookup("UTF-16BE"));
    EXPECT_EQ(CharEncoding::Lookup("UTF-16"), &CharEncoding::Unicode20ByteStream());
}

}  // namespace
