// The UTF-16 and UTF-32 encodings, the byte-order variations, their names
// and the byte streams each accessor reads and writes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/utf16_support.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"

using namespace utf16_test;

namespace {

// Decodes bytes in `encoding` to UTF-16.
Units16 Decode(CharEncoding const & encoding, Bytes const & bytes,
               UnicodeLibBehavior * behavior = nullptr) {
    ByteSource source(bytes);
    Char16EncodingConverter converter(source, encoding, Char16Encoding::UTF16());
    if (behavior != nullptr) {
        converter.SetBehavior(behavior);
    }
    return Drain(converter);
}

Bytes Platform(Bytes big, Bytes little) { return MachineIsBigEndian() ? big : little; }

TEST(UnicodeBaseEncodingsTest, IdentityNamesAndAccessors) {
    Char16Encoding & utf16 = Char16Encoding::UTF16();
    EXPECT_EQ(&utf16, &Char16Encoding::Unicode20());
    EXPECT_EQ(&utf16, &Char16Encoding::Unicode());
    EXPECT_EQ(static_cast<unsigned long>(utf16.GetTextEncodingID()), 2ul);
    EXPECT_STREQ(utf16.Name(), "Unicode20");
    EXPECT_EQ(utf16.CountNicknames(), 8u);
    EXPECT_STREQ(utf16.GetNickname(7), "UTF16");
    EXPECT_STREQ(utf16.MimeName(), "ISO-10646-UCS2");
    EXPECT_EQ(utf16.CodePage(), 0u);
    EXPECT_EQ(Char16Encoding::Lookup("utf-16"), &utf16);
    EXPECT_EQ(Char16Encoding::Lookup(TextEncodingID::Unicode()), &utf16);

    Char32Encoding & utf32 = Char32Encoding::UTF32();
    EXPECT_EQ(&utf32, &Char32Encoding::Unicode());
    EXPECT_EQ(static_cast<unsigned long>(utf32.GetTextEncodingID()), 169ul);
    EXPECT_STREQ(utf32.Name(), "UTF32");
    EXPECT_STREQ(utf32.MimeName(), "");
    EXPECT_EQ(Char32Encoding::Lookup("csUTF32"), &utf32);

    EXPECT_EQ(utf16.MapToUnicode(0x1F600), 0x1F600u);
    EXPECT_EQ(utf32.MapFromUnicode(0xD800), 0xD800u);
}

TEST(UnicodeByteStreamsTest, AccessorsReachTheRightVariants) {
    CharEncoding & ucs2 = CharEncoding::UCS2();
    EXPECT_EQ(&ucs2, &CharEncoding::UTF16());
    EXPECT_EQ(static_cast<unsigned long>(ucs2.GetTextEncodingID()), 0x6002ul);
    EXPECT_STREQ(ucs2.Name(), "Unicode20:UCS2");  // no list of its own
    EXPECT_STREQ(ucs2.MimeName(), "ISO-10646-UCS-2");
    EXPECT_FALSE(ucs2.IsTextModeSafe());

    CharEncoding & bmp = CharEncoding::Unicode20BigEndian();
    EXPECT_STREQ(bmp.Name(), "BMP");
    EXPECT_STREQ(bmp.GetNickname(1), "BMPstring");

    CharEncoding & stream = CharEncoding::Unicode20ByteStream();
    EXPECT_EQ(static_cast<unsigned long>(stream.GetTextEncodingID()),
              2ul | (1ul << 12) | (6ul << 17));
    EXPECT_STREQ(stream.Name(), "UCS2");
    EXPECT_EQ(stream.GetParentEncoding()->GetParentEncoding(), &Char16Encoding::UTF16());

    EXPECT_STREQ(CharEncoding::UTF32().MimeName(), "UTF-32");
    EXPECT_STREQ(CharEncoding::UTF32ByteStream().Name(), "UTF32");
    EXPECT_STREQ(CharEncoding::UTF32BigEndian().MimeName(), "UTF-32");
    EXPECT_EQ(CharEncoding::Lookup(TextEncodingID(169ul | (4ul << 12))),
              &CharEncoding::UTF32BigEndian());
}

TEST(UnicodeByteStreamsTest, NamesFindVariantsEndToEnd) {
    CharEncoding::Unicode20ByteStream();
    CharEncoding::UTF32ByteStream();
    EncodingVariation::LittleEndian();
    EXPECT_EQ(CharEncoding::Lookup("UCS-2"), &CharEncoding::Unicode20ByteStream());
    EXPECT_EQ(CharEncoding::Lookup("bmp"), &CharEncoding::Unicode20BigEndian());
    EXPECT_EQ(CharEncoding::Lookup("UTF-16:big-endian"), &CharEncoding::Unicode20BigEndian());
    EXPECT_EQ(CharEncoding::Lookup("Unicode:PowerPC"), &CharEncoding::Unicode20BigEndian());
    EXPECT_EQ(CharEncoding::Lookup("UTF16:UCS-2"), &CharEncoding::UCS2());
    EXPECT_EQ(CharEncoding::Lookup("UTF-32:BOM:UCS2"), &CharEncoding::UTF32ByteStream());
    CharEncoding * little = CharEncoding::Lookup("utf16:little endian");
    ASSERT_NE(little, nullptr);
    EXPECT_STREQ(little->Name(), "Unicode20:little-endian");
    CharEncoding * little_bom = CharEncoding::Lookup("x86");
    ASSERT_NE(little_bom, nullptr);
    EXPECT_EQ(little_bom->GetParentEncoding()->GetParentEncoding(), &Char16Encoding::UTF16());
    EXPECT_EQ(Char16Encoding::Lookup("UTF-16:BOM")->GetParentEncoding(), &Char16Encoding::UTF16());
    EXPECT_EQ(CharEncoding::Lookup("UTF-16:nonsense"), nullptr);
    EXPECT_EQ(EncodingVariation::Lookup("ucs2"), &EncodingVariation::PlatformByteOrder());
    EXPECT_EQ(EncodingVariation::Lookup("Macintosh"), &EncodingVariation::BigEndian());
    EXPECT_EQ(EncodingVariation::Lookup("byte order mark"), &EncodingVariation::ByteOrderMark());
}

TEST(UnicodeByteStreamsTest, ReadingSniffsTheMark) {
    Bytes const big_marked = {0xFE, 0xFF, 0x00, 0x41};
    EXPECT_EQ(Decode(CharEncoding::Unicode20ByteStream(), big_marked), Units16({0x41}));
    EXPECT_EQ(Decode(CharEncoding::Unicode20BigEndian(), big_marked), Units16({0xFEFF, 0x41}));
    // The sniffed mark overrides the configured order.
    EXPECT_EQ(Decode(CharEncoding::Unicode20BigEndian(), {0xFF, 0xFE, 0x41, 0x00}),
              Units16({0xFEFF, 0x41}));
    // Only the first mark is removed.
    EXPECT_EQ(Decode(CharEncoding::Unicode20ByteStream(), {0xFE, 0xFF, 0xFE, 0xFF, 0x00, 0x41}),
              Units16({0xFEFF, 0x41}));
    EXPECT_EQ(Decode(CharEncoding::UTF32ByteStream(), {0x00, 0x00, 0xFE, 0xFF, 0x00, 0x01, 0xF6, 0x00}),
              Units16({0xD83D, 0xDE00}));
    EXPECT_EQ(Decode(CharEncoding::UTF32BigEndian(), {0xFF, 0xFE, 0x00, 0x00, 0x41, 0, 0, 0}),
              Units16({0xFEFF, 0x41}));
}

TEST(UnicodeByteStreamsTest, MalformedInputBecomesOneSubstituteEach) {
    CountingBehavior counting;
    // An odd trailing byte of UCS-2.
    EXPECT_EQ(Decode(CharEncoding::Unicode20BigEndian(), {0x00, 0x41, 0x00}, &counting),
              Units16({0x41, 0xFFFD}));
    EXPECT_EQ(counting.bytes_to_16, 1);
    // Three bytes of UTF-32 at the end.
    EXPECT_EQ(Decode(CharEncoding::UTF32BigEndian(), {0, 0, 0, 0x41, 0, 0, 0x42}, &counting),
              Units16({0x41, 0xFFFD}));
    EXPECT_EQ(counting.bytes_to_32, 1);
    // A value above U+10FFFF is a problem; a surrogate code point is not.
    EXPECT_EQ(Decode(CharEncoding::UTF32BigEndian(),
                     {0, 0x11, 0, 0, 0, 0, 0xD8, 0x00, 0, 0, 0, 0x41}, &counting),
              Units16({0xFFFD, 0xD800, 0x41}));
    EXPECT_EQ(counting.from_32_to_16, 1);
    // A high surrogate followed by "A": one problem, and "A" survives.
    EXPECT_EQ(Decode(CharEncoding::Unicode20BigEndian(), {0xD8, 0x3D, 0x00, 0x41}, &counting),
              Units16({0xFFFD, 0x41}));
    EXPECT_EQ(counting.from_16_to_32, 1);
    EXPECT_EQ(Decode(CharEncoding::Unicode20BigEndian(), {0x00, 0x41, 0xDB, 0xFF}, &counting),
              Units16({0x41, 0xFFFD}));
    EXPECT_EQ(counting.from_16_to_32, 2);
    EXPECT_EQ(counting.Total(), 5);
}

TEST(UnicodeByteStreamsTest, SubstituteIsUFFFDInTheStreamsOwnOrder) {
    EncodingVariation::LittleEndian();  // its variants exist once it does
    auto substitute = [](CharEncoding const & e) {
        unsigned char const * chars = nullptr;
        unsigned int const n = e.SubstituteChars(chars, 0);
        return Bytes(chars, chars + n);
    };
    EXPECT_EQ(substitute(CharEncoding::Unicode20BigEndian()), Bytes({0xFF, 0xFD}));
    EXPECT_EQ(substitute(*CharEncoding::Lookup("UTF-16:x86")), Bytes({0xFD, 0xFF}));
    EXPECT_EQ(substitute(CharEncoding::UTF32BigEndian()), Bytes({0, 0, 0xFF, 0xFD}));
    EXPECT_EQ(substitute(*CharEncoding::Lookup("UTF-32:little-endian")),
              Bytes({0xFD, 0xFF, 0, 0}));
    EXPECT_EQ(substitute(CharEncoding::UCS2()), Platform({0xFF, 0xFD}, {0xFD, 0xFF}));
    EXPECT_EQ(zu_platform_is_big_endian(), MachineIsBigEndian());
}

TEST(UnicodeByteStreamsTest, DetectorsMatchTheStreamKind) {
    alignas(std::max_align_t) unsigned char area[1024];
    LinearAllocator allocator(area, sizeof area, "test", 0);
    CharEncodingDetector * ucs2 = CharEncoding::Unicode20ByteStream().CreateEncodingDetector(allocator);
    CharEncodingDetector * utf32 = CharEncoding::UTF32BigEndian().CreateEncodingDetector(allocator);
    EXPECT_NE(dynamic_cast<UCS2Detector *>(ucs2), nullptr);
    EXPECT_NE(dynamic_cast<UTF32Detector *>(utf32), nullptr);
    EXPECT_EQ(&ucs2->GetEncoding(), &CharEncoding::Unicode20ByteStream());
    delete ucs2;
    delete utf32;
}

TEST(UnicodeVariationsTest, EachVariationAppliesOncePerEncoding) {
    EncodingVariation & bom = EncodingVariation::ByteOrderMark();
    EncodingVariation & big = EncodingVariation::BigEndian();
    Char16Encoding::UTF16();
    Char32Encoding::UTF32();
    // The mark variation made UTF-16:BOM and UTF-32:BOM, never a BOM of a BOM.
    for (unsigned i = 0; i < bom.CountVariantEncodings(); ++i) {
        TextEncoding const * v = bom.GetVariantEncoding(i);
        EXPECT_EQ(v->GetParentEncoding()->GetParentVariation(), nullptr) << v->Name();
    }
    EXPECT_EQ(bom.GetVariantEncoding(bom.CountVariantEncodings()), nullptr);
    EXPECT_EQ(Char16Encoding::UTF16().LookupVariant(EncodingVariationID(1ul | (1ul << 5))), nullptr);
    // Big-endian made byte streams of both bases and both mark variants.
    int streams = 0;
    for (unsigned i = 0; i < big.CountVariantEncodings(); ++i) {
        TextEncoding const * v = big.GetVariantEncoding(i);
        EXPECT_TRUE(v->IsCharEncoding());
        unsigned long const parent = v->GetParentEncoding()->GetTextEncodingID();
        if (parent == 2 || parent == 169 || parent == 0x1002 || parent == 0x10A9) {
            ++streams;
        }
    }
    EXPECT_EQ(streams, 4);
}

}  // namespace
