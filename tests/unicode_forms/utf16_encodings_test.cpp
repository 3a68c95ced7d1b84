// Every Unicode form by its accessor: identifier, names, substitute and the
// names that find it; the byte-order variations and the byte streams each
// accessor reads.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/utf16_support.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/sbcs_encoding.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"
#include "zuuc/utf7_encodings.h"
#include "zuuc/utf8_encodings.h"

using namespace zuuc_test::utf16;

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

// The lookup of the encoding's own width.
template <class Key>
TextEncoding const * Find(TextEncoding const & like, Key key) {
    if (like.IsCharEncoding()) {
        return CharEncoding::Lookup(key);
    }
    if (like.IsChar16Encoding()) {
        return Char16Encoding::Lookup(key);
    }
    return Char32Encoding::Lookup(key);
}

// Zero and null fields are not checked.
struct Identity {
    char const * label;
    TextEncoding const * encoding;
    unsigned long id;
    char const * name;
    char const * mime;
    Bytes substitute;
    std::vector<char const *> names;  // more names that find it
};

TEST(UnicodeFormsIdentity, IdentifiersNamesAndSubstitutes) {
    EncodingVariation::LittleEndian();  // its variants exist once it does
    Bytes const platform_fffd = MachineIsBigEndian() ? Bytes{0xFF, 0xFD} : Bytes{0xFD, 0xFF};
    Bytes const utf8_fffd = {0xEF, 0xBF, 0xBD};
    Identity const forms[] = {
        {"UTF-16", &Char16Encoding::UTF16(), 2, "Unicode20", "ISO-10646-UCS2", {}, {"utf-16"}},
        {"UTF-32", &Char32Encoding::UTF32(), 169, "UTF32", "", {}, {"csUTF32"}},
        {"UCS-2", &CharEncoding::UCS2(), 0x6002, "Unicode20:UCS2", "ISO-10646-UCS-2",
         platform_fffd, {"UTF16:UCS-2"}},
        {"UTF-16BE", &CharEncoding::Unicode20BigEndian(), 0, "BMP", nullptr, {0xFF, 0xFD},
         {"bmp", "BMPstring", "UTF-16:big-endian", "Unicode:PowerPC", "UTF-16BE", "utf_16_be"}},
        {"UTF-16LE", CharEncoding::Lookup("UTF-16LE"), 0, "Unicode20:little-endian", nullptr,
         {0xFD, 0xFF}, {"utf16:little endian", "UTF-16:x86"}},
        {"UTF-16 stream", &CharEncoding::Unicode20ByteStream(), 2ul | (1ul << 12) | (6ul << 17),
         "UCS2", nullptr, {}, {"UCS-2", "UTF-16"}},
        {"UTF-32 bytes", &CharEncoding::UTF32(), 0, nullptr, "UTF-32", {}, {}},
        {"UTF-32 stream", &CharEncoding::UTF32ByteStream(), 0, "UTF32", nullptr, {},
         {"UTF-32:BOM:UCS2"}},
        {"UTF-32BE", &CharEncoding::UTF32BigEndian(), 169ul | (4ul << 12), "UTF32:big-endian",
         "UTF-32", {0, 0, 0xFF, 0xFD}, {"UTF-32BE"}},
        {"UTF-32LE", CharEncoding::Lookup("UTF-32LE"), 0, "UTF32:little-endian", nullptr,
         {0xFD, 0xFF, 0, 0}, {"UTF-32:little-endian"}},
        {"UTF-8", &CharEncoding::UTF8(), 0x30A9, nullptr, "UTF-8", utf8_fffd,
         {"UTF-32:UTF-8", "UTF32:UTF8"}},
        {"UTF-8 of UTF-16", CharEncoding::Lookup("UTF-8"), 0x3002, "UTF8", "UTF-8", utf8_fffd,
         {"utf8"}},
        {"UTF-8 BOM", &CharEncoding::UTF8BOM(),
         TextEncodingID::UTF32() + EncodingVariationID::ByteOrderMark() + EncodingVariationID::UTF8(),
         "UTF8BOM", nullptr, utf8_fffd, {}},
        {"UTF-EBCDIC", &CharEncoding::Unicode20UTF8EBCDIC(), 0x9002, "UTF-EBCDIC", nullptr,
         {0xB3, 0xFE, 0xFE, 0xFC}, {"UTF8-EBCDIC"}},
        {"UTF-7", &CharEncoding::Unicode20UTF7(), 0x2002, nullptr, "UTF-7", {}, {"utf7"}},
        {"Java", &CharEncoding::Unicode20Java(), 0x7002, nullptr, nullptr, {}, {"Unicode:Java"}},
        {"Unicode 1.1", &Char16Encoding::Unicode11(), 1, "Unicode11", "UNICODE-1-1-UTF32", {},
         {"UNICODE-1-1", "unicode 1.1"}},
        {"1.1 UCS-2", &CharEncoding::Unicode11BigEndian(), 0x4001, nullptr, "UNICODE-1-1-UCS-2", {}, {}},
        {"1.1 stream", &CharEncoding::Unicode11ByteStream(), 0xC1001, nullptr, nullptr, {}, {}},
        {"1.1 UTF-7", &CharEncoding::Unicode11UTF7(), 0x2001, nullptr, "UNICODE-1-1-UTF-7", {},
         {"UNICODE-1-1:UTF-7"}},
        {"1.1 UTF-8", &CharEncoding::Unicode11UTF8(), 0x3001, nullptr, "UNICODE-1-1-UTF-8", {}, {}},
        {"1.1 Java", &CharEncoding::Unicode11Java(), 0x7001, nullptr, nullptr, {}, {}},
        {"1.1 UTF-EBCDIC", &CharEncoding::Unicode11UTF8EBCDIC(), 0x9001, nullptr, "UTF-EBCDIC", {}, {}},
    };
    for (Identity const & f : forms) {
        SCOPED_TRACE(f.label);
        ASSERT_NE(f.encoding, nullptr);
        if (f.id != 0) {
            EXPECT_EQ(static_cast<unsigned long>(f.encoding->GetTextEncodingID()), f.id);
            EXPECT_EQ(Find(*f.encoding, TextEncodingID(f.id)), f.encoding);
        }
        if (f.name != nullptr) {
            EXPECT_STREQ(f.encoding->Name(), f.name);
        }
        if (f.mime != nullptr) {
            EXPECT_STREQ(f.encoding->MimeName(), f.mime);
        }
        for (char const * name : f.names) {
            EXPECT_EQ(Find(*f.encoding, name), f.encoding) << name;
        }
        if (!f.substitute.empty()) {
            unsigned char const * chars = nullptr;
            unsigned int const n = f.encoding->AsCharEncoding()->SubstituteChars(chars, 0);
            EXPECT_EQ(Bytes(chars, chars + n), f.substitute);
        }
    }
    // The other accessors of the same forms, and what the forms are.
    EXPECT_EQ(&Char16Encoding::Unicode20(), &Char16Encoding::UTF16());
    EXPECT_EQ(&Char16Encoding::Unicode(), &Char16Encoding::UTF16());
    EXPECT_EQ(&Char32Encoding::Unicode(), &Char32Encoding::UTF32());
    EXPECT_EQ(&CharEncoding::UTF16(), &CharEncoding::UCS2());
    EXPECT_EQ(&CharEncoding::Unicode20UTF8(), &CharEncoding::UTF8());
    EXPECT_EQ(Char32Encoding::UTF32().LookupVariant(EncodingVariationID::UTF8()), &CharEncoding::UTF8());
    Char16Encoding const & utf16 = Char16Encoding::UTF16();
    EXPECT_STREQ(utf16.GetNickname(utf16.CountNicknames() - 1), "UTF16");
    EXPECT_EQ(utf16.CodePage(), 0u);
    EXPECT_EQ(utf16.MapToUnicode(0x1F600), 0x1F600u);
    EXPECT_EQ(Char32Encoding::UTF32().MapFromUnicode(0xD800), 0xD800u);
    EXPECT_FALSE(CharEncoding::UCS2().IsTextModeSafe() || CharEncoding::UTF8().IsTextModeSafe() ||
                 CharEncoding::Unicode20UTF8EBCDIC().IsBasedOnASCII());
    EXPECT_EQ(zu_platform_is_big_endian(), MachineIsBigEndian());
    EXPECT_EQ(CharEncoding::Lookup("x86")->GetParentEncoding()->GetParentEncoding(), &utf16);
    EXPECT_EQ(Char16Encoding::Lookup("UTF-16:BOM")->GetParentEncoding(), &utf16);
    EXPECT_EQ(CharEncoding::Unicode20ByteStream().GetParentEncoding()->GetParentEncoding(), &utf16);
    // Names of the wrong width or unknown, and variations that apply to the
    // 16-bit Unicode forms only.
    EXPECT_EQ(Char16Encoding::Lookup("UTF-EBCDIC"), nullptr);
    EXPECT_EQ(CharEncoding::Lookup("UTF-16:nonsense"), nullptr);
    EXPECT_EQ(Char32Encoding::UTF32().LookupVariant(EncodingVariationID::UTF7()), nullptr);
    EXPECT_EQ(CharEncoding::CP1252().LookupVariant(EncodingVariationID::Java()), nullptr);
    EXPECT_EQ(CharEncoding::CP1252().LookupVariant(EncodingVariationID::HPPrinter()), nullptr);
}

TEST(UnicodeFormsIdentity, VariationsByName) {
    struct {
        char const * name;
        EncodingVariation const * variation;
    } const variations[] = {
        {"ucs2", &EncodingVariation::PlatformByteOrder()}, {"Macintosh", &EncodingVariation::BigEndian()},
        {"byte order mark", &EncodingVariation::ByteOrderMark()}, {"utf-7", &EncodingVariation::UTF7()},
        {"JAVA", &EncodingVariation::Java()}, {"HP Printer", &EncodingVariation::HPPrinter()},
        {"UTF8", &EncodingVariation::UTF8()}, {"UTF-8-EBCDIC", &EncodingVariation::UTF8EBCDIC()},
    };
    for (auto const & v : variations) {
        EXPECT_EQ(EncodingVariation::Lookup(v.name), v.variation) << v.name;
        EXPECT_TRUE(v.variation->HasName(v.name)) << v.name;
    }
    EXPECT_STREQ(EncodingVariation::UTF8().Name(), "UTF8");
    EXPECT_EQ(EncodingVariation::Lookup(EncodingVariationID::UTF8()), &EncodingVariation::UTF8());
}

TEST(UnicodeFormsIdentity, DetectorsMatchTheForm) {
    alignas(std::max_align_t) unsigned char area[2048];
    LinearAllocator allocator(area, sizeof area, "test", 0);
    auto make = [&](CharEncoding const & e) {
        return std::unique_ptr<CharEncodingDetector>(e.CreateEncodingDetector(allocator));
    };
    auto const ucs2 = make(CharEncoding::Unicode20ByteStream());
    auto const utf32 = make(CharEncoding::UTF32BigEndian());
    auto const utf8 = make(CharEncoding::UTF8());
    auto const utf8_16 = make(*CharEncoding::Lookup("UTF-8"));
    EXPECT_NE(dynamic_cast<UCS2Detector *>(ucs2.get()), nullptr);
    EXPECT_NE(dynamic_cast<UTF32Detector *>(utf32.get()), nullptr);
    EXPECT_NE(dynamic_cast<UTF8Detector *>(utf8.get()), nullptr);
    EXPECT_NE(dynamic_cast<UTF8Detector *>(utf8_16.get()), nullptr);
    EXPECT_EQ(&ucs2->GetEncoding(), &CharEncoding::Unicode20ByteStream());
    EXPECT_EQ(&utf8->GetEncoding(), &CharEncoding::UTF8());
}

// Only the streams with a mark remove one; the others read it as U+FEFF,
// whatever order it shows.
TEST(UnicodeByteStreamsTest, ReadingSniffsTheMark) {
    struct {
        CharEncoding const * encoding;
        Bytes bytes;
        Units16 units;
    } const cases[] = {
        {&CharEncoding::Unicode20ByteStream(), {0xFE, 0xFF, 0x00, 0x41}, {0x41}},
        {&CharEncoding::Unicode20BigEndian(), {0xFE, 0xFF, 0x00, 0x41}, {0xFEFF, 0x41}},
        {&CharEncoding::Unicode20BigEndian(), {0xFF, 0xFE, 0x41, 0x00}, {0xFEFF, 0x41}},
        {CharEncoding::Lookup("UTF-16LE"), {0xFF, 0xFE, 0x41, 0x00}, {0xFEFF, 0x41}},
        {&CharEncoding::Unicode20ByteStream(), {0xFE, 0xFF, 0xFE, 0xFF, 0x00, 0x41}, {0xFEFF, 0x41}},
        {&CharEncoding::UTF32ByteStream(), {0, 0, 0xFE, 0xFF, 0, 0x01, 0xF6, 0x00}, {0xD83D, 0xDE00}},
        {&CharEncoding::UTF32BigEndian(), {0xFF, 0xFE, 0, 0, 0x41, 0, 0, 0}, {0xFEFF, 0x41}},
        {CharEncoding::Lookup("UTF-32LE"), {0, 0, 0xFE, 0xFF, 0, 0, 0, 0x41}, {0xFEFF, 0x41}},
    };
    for (auto const & c : cases) {
        EXPECT_EQ(Decode(*c.encoding, c.bytes), c.units) << c.encoding->Name();
    }
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
