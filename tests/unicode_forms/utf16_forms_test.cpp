#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "support/transcode_once.h"
#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/sbcs_encoding.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"
#include "zuuc/utf7_encodings.h"
#include "zuuc/utf8_encodings.h"

// Every Unicode form by its accessor: identifier, names, substitute and the
// names that find it; the byte-order variations and the byte streams each
// accessor reads.
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
    TextEncoding const * encoding;
    unsigned long id;
    char const * name;
    char const * mime;
    Bytes substitute;
    std::string names;  // more names that find it, each followed by '|'
};

TEST(UnicodeFormsIdentity, IdentifiersNamesAndSubstitutes) {
    EncodingVariation::LittleEndian();  // its variants exist once it does
    Bytes const platform_fffd = MachineIsBigEndian() ? Bytes{0xFF, 0xFD} : Bytes{0xFD, 0xFF};
    Bytes const utf8_fffd = {0xEF, 0xBF, 0xBD};
    auto const id_bom = TextEncodingID::UTF32() + EncodingVariationID::ByteOrderMark() +
                        EncodingVariationID::UTF8();
    Identity const forms[] = {
        {&Char16Encoding::UTF16(), 2, "Unicode20", "ISO-10646-UCS2", {}, "utf-16|"},
        {&Char32Encoding::UTF32(), 169, "UTF32", "", {}, "csUTF32|"},
        {&CharEncoding::UCS2(), 0x6002, "Unicode20:UCS2", "ISO-10646-UCS-2", platform_fffd,
         "UTF16:UCS-2|"},
        {&CharEncoding::Unicode20BigEndian(),
         0,
         "BMP",
         nullptr,
         {0xFF, 0xFD},
         "bmp|BMPstring|UTF-16:big-endian|Unicode:PowerPC|UTF-16BE|utf_16_be|"},
        {CharEncoding::Lookup("UTF-16LE"),
         0,
         "Unicode20:little-endian",
         nullptr,
         {0xFD, 0xFF},
         "utf16:little endian|UTF-16:x86|"},
        {&CharEncoding::Unicode20ByteStream(),
         2ul | (1ul << 12) | (6ul << 17),
         "UCS2",
         nullptr,
         {},
         "UCS-2|UTF-16|"},
        {&CharEncoding::UTF32(), 0, nullptr, "UTF-32", {}, ""},
        {&CharEncoding::UTF32ByteStream(), 0, "UTF32", nullptr, {}, "UTF-32:BOM:UCS2|"},
        {&CharEncoding::UTF32BigEndian(),
         169ul | (4ul << 12),
         "UTF32:big-endian",
         "UTF-32",
         {0, 0, 0xFF, 0xFD},
         "UTF-32BE|"},
        {CharEncoding::Lookup("UTF-32LE"),
         0,
         "UTF32:little-endian",
         nullptr,
         {0xFD, 0xFF, 0, 0},
         "UTF-32:little-endian|"},
        {&CharEncoding::UTF8(), 0x30A9, nullptr, "UTF-8", utf8_fffd, "UTF-32:UTF-8|UTF32:UTF8|"},
        {CharEncoding::Lookup("UTF-8"), 0x3002, "UTF8", "UTF-8", utf8_fffd, "utf8|"},
        {&CharEncoding::UTF8BOM(), id_bom, "UTF8BOM", nullptr, utf8_fffd, ""},
        {&CharEncoding::Unicode20UTF8EBCDIC(),
         0x9002,
         "UTF-EBCDIC",
         nullptr,
         {0xB3, 0xFE, 0xFE, 0xFC},
         "UTF8-EBCDIC|"},
        {&CharEncoding::Unicode20UTF7(), 0x2002, nullptr, "UTF-7", {}, "utf7|"},
        {&CharEncoding::Unicode20Java(), 0x7002, nullptr, nullptr, {}, "Unicode:Java|"},
        {&Char16Encoding::Unicode11(),
         1,
         "Unicode11",
         "UNICODE-1-1-UTF32",
         {},
         "UNICODE-1-1|unicode 1.1|"},
        {&CharEncoding::Unicode11BigEndian(), 0x4001, nullptr, "UNICODE-1-1-UCS-2", {}, ""},
        {&CharEncoding::Unicode11ByteStream(), 0xC1001, nullptr, nullptr, {}, ""},
        {&CharEncoding::Unicode11UTF7(),
         0x2001,
         nullptr,
         "UNICODE-1-1-UTF-7",
         {},
         "UNICODE-1-1:UTF-7|"},
        {&CharEncoding::Unicode11UTF8(), 0x3001, nullptr, "UNICODE-1-1-UTF-8", {}, ""},
        {&CharEncoding::Unicode11Java(), 0x7001, nullptr, nullptr, {}, ""},
        {&CharEncoding::Unicode11UTF8EBCDIC(), 0x9001, nullptr, "UTF-EBCDIC", {}, ""},
    };
    for (Identity const & f : forms) {
        SCOPED_TRACE(&f - forms);
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
        for (std::size_t at = 0, bar; (bar = f.names.find('|', at)) != std::string::npos;
             at = bar + 1) {
            std::string const name = f.names.substr(at, bar - at);
            EXPECT_EQ(Find(*f.encoding, name.c_str()), f.encoding) << name;
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
    EXPECT_EQ(Char32Encoding::UTF32().LookupVariant(EncodingVariationID::UTF8()),
              &CharEncoding::UTF8());
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
        {"ucs2", &EncodingVariation::PlatformByteOrder()},
        {"Macintosh", &EncodingVariation::BigEndian()},
        {"byte order mark", &EncodingVariation::ByteOrderMark()},
        {"utf-7", &EncodingVariation::UTF7()},
        {"JAVA", &EncodingVariation::Java()},
        {"HP Printer", &EncodingVariation::HPPrinter()},
        {"UTF8", &EncodingVariation::UTF8()},
        {"UTF-8-EBCDIC", &EncodingVariation::UTF8EBCDIC()},
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
        {&CharEncoding::Unicode20ByteStream(),
         {0xFE, 0xFF, 0xFE, 0xFF, 0x00, 0x41},
         {0xFEFF, 0x41}},
        {&CharEncoding::UTF32ByteStream(),
         {0, 0, 0xFE, 0xFF, 0, 0x01, 0xF6, 0x00},
         {0xD83D, 0xDE00}},
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
    EXPECT_EQ(Char16Encoding::UTF16().LookupVariant(EncodingVariationID(1ul | (1ul << 5))),
              nullptr);
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

// The converters of the 16- and 32-bit Unicode forms, driven directly.

using Step32 = TranscodeStep<u32>;

std::vector<char> Chars(Bytes const & bytes) {
    return std::vector<char>(bytes.begin(), bytes.end());
}

// Pairs split across calls, unpaired surrogates, marks and odd bytes at every
// split are checked through the streams by the round-trip tests; here, what
// Finish leaves for the next text.
TEST(UnicodeConvertersTest, FinishResetsForTheNextText) {
    UTF16ToUTF32Converter e;
    TranscodeOnce(e, {0xD83D});
    EXPECT_EQ(FinishOnce(e), (Step32{kTranscodeIllegalInput, 0, {}}));  // still unpaired
    EXPECT_EQ(FinishOnce(e).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(e, {0xDFFF}).output, Units32({0xDFFF}));
    // The unit taken after an unpaired high surrogate comes out at the end.
    TranscodeOnce(e, {0xDBFF});
    EXPECT_EQ(TranscodeOnce(e, {0x43}).result, kTranscodeIllegalInput);
    EXPECT_EQ(FinishOnce(e), (Step32{kTranscodeComplete, 0, {0x43}}));

    UTF16BOMinserter ins;
    EXPECT_EQ(TranscodeOnce(ins, {0x41}).output, Units16({0xFEFF, 0x41}));
    EXPECT_EQ(FinishOnce(ins).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(ins, {0x43}).output, Units16({0xFEFF, 0x43}));
    // Only room for the mark: the unit comes next time.
    UTF32BOMinserter ins32;
    EXPECT_EQ(TranscodeOnce(ins32, {0x41}, 1), (Step32{kTranscodeOutputFull, 0, {0xFEFF}}));
    EXPECT_EQ(TranscodeOnce(ins32, {0x41}).output, Units32({0x41}));

    // A sniffed mark overrides the configured order until the text ends.
    UCS2toWhatever big(true);
    EXPECT_EQ(TranscodeOnce(big, Chars({0xFF, 0xFE, 0x41, 0x00})).output, Units16({0xFEFF, 0x41}));
    EXPECT_EQ(FinishOnce(big).result, kTranscodeComplete);
    EXPECT_EQ(TranscodeOnce(big, Chars({0x00, 0x41})).output, Units16({0x41}));
    UCS2toWhatever little(false);
    EXPECT_EQ(TranscodeOnce(little, Chars({0xFE, 0xFF, 0x00, 0x41})).output,
              Units16({0xFEFF, 0x41}));
    EXPECT_EQ(TranscodeOnce(little, Chars({0xFF, 0xFE, 0x41, 0x00})).output,
              Units16({0xFFFE, 0x4100}));
}

TEST(UCS2fromWhateverTest, ByteOrderAndWholePairs) {
    UCS2fromWhatever big(true);
    UCS2fromWhatever little(false);
    EXPECT_EQ(TranscodeOnce(big, {0x0041, 0xFEFF}).output, Chars({0x00, 0x41, 0xFE, 0xFF}));
    EXPECT_EQ(TranscodeOnce(little, {0x0041}).output, Chars({0x41, 0x00}));
    // Fewer than two bytes of limit: nothing is read.
    using Step = TranscodeStep<char>;
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 8, 1), (Step{kTranscodeLimitReached, 0, {}}));
    // A pair with room for one unit only is not split.
    EXPECT_EQ(TranscodeOnce(big, {0xD800, 0xDC00}, 8, 3), (Step{kTranscodeLimitReached, 0, {}}));
    EXPECT_EQ(TranscodeOnce(big, {0xD800, 0xDC00}, 3), (Step{kTranscodeOutputFull, 0, {}}));
}

TEST(UTF32BytesTest, GroupsHeldAcrossCallsSniffedAndReported) {
    UTF32toWhatever c(true);
    EXPECT_TRUE(TranscodeOnce(c, Chars({0xFF, 0xFE, 0x00})).output.empty());
    EXPECT_EQ(TranscodeOnce(c, Chars({0x00, 0x41, 0x00, 0x00, 0x00})).output,
              Units32({0xFEFF, 0x41}));
    // No range check here.
    EXPECT_EQ(TranscodeOnce(c, Chars({0xFF, 0xFF, 0xFF, 0x7F})).output, Units32({0x7FFFFFFF}));
    TranscodeOnce(c, Chars({0x00, 0x00, 0x41}));
    EXPECT_EQ(FinishOnce(c).result, kTranscodeIllegalInput);  // three bytes left over

    UTF32fromWhatever big(true);
    UTF32fromWhatever little(false);
    EXPECT_EQ(TranscodeOnce(big, {0x10FFFF}).output, Chars({0x00, 0x10, 0xFF, 0xFF}));
    EXPECT_EQ(TranscodeOnce(little, {0x10FFFF}).output, Chars({0xFF, 0xFF, 0x10, 0x00}));
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 8, 3).result, kTranscodeLimitReached);
    EXPECT_EQ(TranscodeOnce(big, {0x41}, 3).result, kTranscodeOutputFull);
}

// Round trips between every pair of the 16- and 32-bit Unicode forms and
// their byte streams, through converter sources and converter sinks, checked
// against an oracle that serialises code points on its own; and the rule
// that splitting the input anywhere changes nothing.

struct Form {
    std::string label;
    TextEncoding const * encoding;
    int width;  // 1, 2 or 4 bytes per code unit of the encoding
    int unit;   // 2 or 4: the Unicode unit the form carries
    bool mark;
    bool big;
};

std::vector<Form> const & AllForms() {
    static std::vector<Form> const forms = [] {
        bool const m = MachineIsBigEndian();
        CharEncoding::Unicode20ByteStream();
        CharEncoding::UTF32ByteStream();
        EncodingVariation::LittleEndian();
        EncodingVariation::BigEndian();
        std::vector<Form> f = {
            {"UTF-16", &Char16Encoding::UTF16(), 2, 2, false, m},
            {"UTF-16:BOM", Char16Encoding::Lookup("UTF-16:BOM"), 2, 2, true, m},
            {"UTF-32", &Char32Encoding::UTF32(), 4, 4, false, m},
            {"UTF-32:BOM", Char32Encoding::Lookup("UTF-32:BOM"), 4, 4, true, m},
            {"UCS2", &CharEncoding::UCS2(), 1, 2, false, m},
            {"BMP", &CharEncoding::Unicode20BigEndian(), 1, 2, false, true},
            {"UTF-16:little-endian", CharEncoding::Lookup("UTF-16:little-endian"), 1, 2, false,
             false},
            {"Unicode20ByteStream", &CharEncoding::Unicode20ByteStream(), 1, 2, true, m},
            {"UTF-16:BOM:big-endian", CharEncoding::Lookup("UTF-16:BOM:big-endian"), 1, 2, true,
             true},
            {"UTF-16:BOM:x86", CharEncoding::Lookup("UTF-16:BOM:x86"), 1, 2, true, false},
            {"UTF32 bytes", &CharEncoding::UTF32(), 1, 4, false, m},
            {"UTF32BigEndian", &CharEncoding::UTF32BigEndian(), 1, 4, false, true},
            {"UTF-32:x86", CharEncoding::Lookup("UTF-32:x86"), 1, 4, false, false},
            {"UTF32ByteStream", &CharEncoding::UTF32ByteStream(), 1, 4, true, m},
            {"UTF-32:BOM:68k", CharEncoding::Lookup("UTF-32:BOM:68k"), 1, 4, true, true},
            {"UTF-32:BOM:little-endian", CharEncoding::Lookup("UTF-32:BOM:little-endian"), 1, 4,
             true, false},
        };
        return f;
    }();
    return forms;
}

// What `form` holds for the code points, by the oracle.
Units32 Expected(Form const & form, Units32 const & text) {
    Units32 units;
    if (form.mark && !text.empty()) {
        units.push_back(0xFEFF);
    }
    if (form.unit == 2) {
        for (u16 u : ToUTF16(text))
            units.push_back(u);
    } else {
        units.insert(units.end(), text.begin(), text.end());
    }
    if (form.width != 1) {
        return units;
    }
    Bytes const bytes = Serialise(units, static_cast<unsigned>(form.unit), form.big);
    return Units32(bytes.begin(), bytes.end());
}

template <class V>
Units32 Widen(V const & v) {
    return Units32(v.begin(), v.end());
}

// The stream classes of each width of encoding.
template <class Encoding>
struct Kind;
template <>
struct Kind<CharEncoding> {
    using Source = ByteSource;
    using Converter = CharEncodingConverter;
    using ConverterSink = CharEncodingConverterSink;
    using Sink = StringCharSink;
    using Unit = char;
};
template <>
struct Kind<Char16Encoding> {
    using Source = Unit16Source;
    using Converter = Char16EncodingConverter;
    using ConverterSink = Char16EncodingConverterSink;
    using Sink = StringChar16Sink;
    using Unit = u16;
};
template <>
struct Kind<Char32Encoding> {
    using Source = Unit32Source;
    using Converter = Char32EncodingConverter;
    using ConverterSink = Char32EncodingConverterSink;
    using Sink = StringChar32Sink;
    using Unit = u32;
};

template <class E>
using KindOf = Kind<std::decay_t<E>>;

// Calls `f` with the form's encoding as the class of its width.
template <class F>
Units32 WithEncoding(Form const & form, F f) {
    switch (form.width) {
        case 1:
            return f(*form.encoding->AsCharEncoding());
        case 2:
            return f(*form.encoding->AsChar16Encoding());
        default:
            return f(*form.encoding->AsChar32Encoding());
    }
}

Units32 ThroughSource(Form const & in, Form const & out, Units32 const & input,
                      std::vector<std::size_t> const & pieces, std::mt19937 & rng) {
    return WithEncoding(in, [&](auto const & from) {
        typename KindOf<decltype(from)>::Source source(input, pieces);
        return WithEncoding(out, [&](auto const & to) {
            typename KindOf<decltype(to)>::Converter c(source, from, to);
            return Widen(Drain(c, &rng));
        });
    });
}

Units32 ThroughSink(Form const & in, Form const & out, Units32 const & input,
                    std::vector<std::size_t> const & pieces, bool flush) {
    return WithEncoding(out, [&](auto const & to) {
        using Out = KindOf<decltype(to)>;
        typename Out::Sink target;
        WithEncoding(in, [&](auto const & from) {
            using In = KindOf<decltype(from)>;
            std::vector<typename In::Unit> const units(input.begin(), input.end());
            typename In::ConverterSink sink(from, to, target);
            std::size_t at = 0;
            for (std::size_t piece : pieces) {
                sink.Put(units.data() + at, units.data() + at + piece);
                at += piece;
            }
            if (flush) {
                sink.Flush();
            }
            return Units32{};  // destroying the sink finishes whatever is still owed
        });
        if constexpr (std::is_same_v<typename Out::Sink, StringCharSink>) {
            return Widen(BytesOf(target));
        } else {
            return Widen(UnitsOf(target));
        }
    });
}

TEST(UnicodeFormsRoundTripTest, EveryPairThroughSourcesAndSinks) {
    std::mt19937 rng(7);
    std::vector<Units32> const texts = {
        {},
        {0x41},
        {0x41, 0xE9, 0x4E00, 0xFFFD, 0x10000, 0x1F600, 0x10FFFF, 0x0},
    };
    for (Form const & in : AllForms()) {
        ASSERT_NE(in.encoding, nullptr) << in.label;
        for (Form const & out : AllForms()) {
            for (Units32 const & text : texts) {
                Units32 const input = Expected(in, text);
                Units32 const expected = Expected(out, text);
                std::vector<std::size_t> const whole = {input.size()};
                EXPECT_EQ(ThroughSource(in, out, input, whole, rng), expected)
                    << in.label << " -> " << out.label << " (source), " << text.size() << " chars";
                EXPECT_EQ(ThroughSink(in, out, input, whole, true), expected)
                    << in.label << " -> " << out.label << " (sink), " << text.size() << " chars";
            }
        }
    }
}

TEST(UnicodeFormsRoundTripTest, RandomTextRandomPiecesMatchTheOracle) {
    std::mt19937 rng(20240611);
    auto const & forms = AllForms();
    std::uniform_int_distribution<std::size_t> pick(0, forms.size() - 1);
    for (int round = 0; round < 400; ++round) {
        Form const & in = forms[pick(rng)];
        Form const & out = forms[pick(rng)];
        // The first text crosses every buffer boundary.
        std::size_t const length = std::uniform_int_distribution<std::size_t>(0, 60)(rng);
        Units32 const text = RandomText(rng, round == 0 ? 5000 : length);
        Units32 const input = Expected(in, text);
        Units32 const expected = Expected(out, text);
        auto const pieces = RandomPieces(rng, input.size(), 7);
        ASSERT_EQ(ThroughSource(in, out, input, pieces, rng), expected)
            << in.label << " -> " << out.label << " round " << round;
        ASSERT_EQ(ThroughSink(in, out, input, pieces, round % 2 == 0), expected)
            << in.label << " -> " << out.label << " round " << round;
    }
}

// Malformed input gives the same output however it is split.
TEST(UnicodeFormsRoundTripTest, MalformedInputIsSplitInvariant) {
    std::mt19937 rng(11);
    struct Case {
        std::size_t in;
        std::size_t out;
        Units32 input;
        Units32 expected;
    };
    std::vector<Case> const cases = {
        // UCS-2 big-endian: a high surrogate before "A", a split pair, a
        // lone low surrogate, an odd byte at the end.
        {5,
         2,
         {0xD8, 0x3D, 0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00, 0xDC, 0x00, 0x00},
         {0xFFFD, 0x41, 0x1F600, 0xDC00, 0xFFFD}},
        // UTF-32 big-endian: a value above U+10FFFF, a surrogate code
        // point, a pair's worth, three bytes left over.
        {11,
         0,
         {0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0xD8, 0x00, 0x00, 0x01, 0xF6, 0x00, 0x00, 0x00, 0x41},
         {0xFFFD, 0xD800, 0xD83D, 0xDE00, 0xFFFD}},
        // UTF-16 units: high surrogates not followed by low ones.
        {0,
         2,
         {0xD83D, 0x41, 0xDBFF, 0xDBFF, 0xDFFF, 0xD800},
         {0xFFFD, 0x41, 0xFFFD, 0x10FFFF, 0xFFFD}},
    };
    for (Case const & c : cases) {
        Form const & in = AllForms()[c.in];
        Form const & out = AllForms()[c.out];
        std::vector<std::size_t> const whole = {c.input.size()};
        EXPECT_EQ(ThroughSource(in, out, c.input, whole, rng), c.expected) << in.label;
        EXPECT_EQ(ThroughSink(in, out, c.input, whole, true), c.expected) << in.label;
        for (std::size_t cut = 1; cut < c.input.size(); ++cut) {
            std::vector<std::size_t> const two = {cut, c.input.size() - cut};
            EXPECT_EQ(ThroughSource(in, out, c.input, two, rng), c.expected)
                << in.label << " cut " << cut;
            EXPECT_EQ(ThroughSink(in, out, c.input, two, true), c.expected)
                << in.label << " cut " << cut;
        }
        std::vector<std::size_t> const ones(c.input.size(), 1);
        EXPECT_EQ(ThroughSource(in, out, c.input, ones, rng), c.expected) << in.label;
        EXPECT_EQ(ThroughSink(in, out, c.input, ones, false), c.expected) << in.label;
    }
}

// Unicode 1.1: the Hangul relocation checked against the data file it was
// generated from, the converters, and the byte forms of every variation.

// The "Unicode 1.1" and "2.0" columns of the committed table.
std::map<unsigned, unsigned> HangulFile() {
    std::map<unsigned, unsigned> pairs;
    std::ifstream file(ZUUC_DATA_DIR "/mappings/eastasia/ksc/hangul.txt");
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream fields(line);
        std::string number, wansung, uhang, johab, v10, v11, v20;
        if (!std::getline(fields, number, '\t') || number.empty() || !isdigit(number[0])) {
            continue;
        }
        std::getline(fields, wansung, '\t');
        std::getline(fields, uhang, '\t');
        std::getline(fields, johab, '\t');
        std::getline(fields, v10, '\t');
        std::getline(fields, v11, '\t');
        std::getline(fields, v20, '\t');
        if (v11 != "-") {
            pairs[std::stoul(v11, nullptr, 16)] = std::stoul(v20, nullptr, 16);
        }
    }
    return pairs;
}

Char16Encoding const & U11() {
    return Char16Encoding::Unicode11();
}

TEST(Unicode11Test, MapsExactlyTheSyllablesOfTheTable) {
    std::map<unsigned, unsigned> const file = HangulFile();
    ASSERT_EQ(file.size(), 6656u);
    for (unsigned c = 0x3400; c <= 0x4DFF; ++c) {
        ASSERT_EQ(file.count(c), 1u) << std::hex << c;
        EXPECT_EQ(U11().MapToUnicode(c), file.at(c)) << std::hex << c;
        EXPECT_EQ(U11().MapFromUnicode(file.at(c)), c) << std::hex << c;
        EXPECT_EQ(U11().MapFromUnicode(c), 0xFFFDu);
    }
    unsigned mapped = 0;
    for (unsigned c = 0xAC00; c <= 0xD7A3; ++c) {
        EXPECT_EQ(U11().MapToUnicode(c), 0xFFFDu);
        mapped += U11().MapFromUnicode(c) != 0xFFFD;
    }
    EXPECT_EQ(mapped, 6656u);
    for (unsigned c : {0u, 0x41u, 0x33FFu, 0x4E00u, 0xABFFu, 0xD7A4u, 0xD800u, 0xFFFFu}) {
        EXPECT_EQ(U11().MapToUnicode(c), c);
        EXPECT_EQ(U11().MapFromUnicode(c), c);
    }
    EXPECT_EQ(U11().MapToUnicode(0x1F600), 0x1F600u);
    EXPECT_EQ(U11().MapFromUnicode(0x1F600), 0xFFFDu);
}

TEST(Unicode11Test, ConvertersAndTheirLimits) {
    using zuuc_test::utf8::Drive;
    long const P = zuuc_test::utf8::kProblem;
    Unicode11ToUTF16Converter to16;
    EXPECT_EQ(Drive(to16, Units16{0x3400, 0x3402, 0xAC00, 'a'}, {}, 1),
              (std::vector<long>{0xAC00, 0xAC04, 0xFFFD, 'a'}));
    Unicode11ToUTF32Converter to32;
    EXPECT_EQ(Drive(to32, Units16{0x3407, 0xD83D, 0xDE00}),
              (std::vector<long>{0xAC10, 0xD83D, 0xDE00}));
    UTF16ToUnicode11Converter from16;
    // U+AC02 is in Unicode 1.1's supplement (U+3D2E); U+BB5E is not in 1.1.
    EXPECT_EQ(Drive(from16, Units16{0xAC00, 0xAC02, 0xBB5E, 0x3400, 'z'}, {}, 64, 2),
              (std::vector<long>{0x3400, 0x3D2E, 0xFFFD, 0xFFFD, 'z'}));
    UTF32ToUnicode11Converter from32;
    EXPECT_EQ(Drive(from32, Units32{0xAC01, 0x1F600, 'z'}), (std::vector<long>{0x3401, P, 'z'}));
}

TEST(Unicode11Test, EveryByteFormCarriesTheOldHangul) {
    Units32 const text = {'A', 0xAC00, 0xAC17, 0x4E00};
    Units16 const old = {'A', 0x3400, 0x340E, 0x4E00};
    struct Case {
        char const * name;
        CharEncoding const & form;
        Bytes expected;
    };
    bool const big = MachineIsBigEndian();
    Bytes stream = Serialise(Units16{0xFEFF}, 2, big);
    Bytes const body = Serialise(old, 2, big);
    stream.insert(stream.end(), body.begin(), body.end());
    std::vector<Case> const cases = {
        {"BigEndian", CharEncoding::Unicode11BigEndian(), Serialise(old, 2, true)},
        {"ByteStream", CharEncoding::Unicode11ByteStream(), stream},
        {"UTF-7",
         CharEncoding::Unicode11UTF7(),
         {'A', '+', 'N', 'A', 'A', '0', 'D', 'k', '4', 'A', '-'}},
        {"UTF-8",
         CharEncoding::Unicode11UTF8(),
         {'A', 0xE3, 0x90, 0x80, 0xE3, 0x90, 0x8E, 0xE4, 0xB8, 0x80}},
        {"Java",
         CharEncoding::Unicode11Java(),
         {'A', '\\', 'u', '3', '4', '0', '0', '\\', 'u', '3', '4', '0', 'E', '\\', 'u', '4', 'E',
          '0', '0'}},
        {"UTF-EBCDIC", CharEncoding::Unicode11UTF8EBCDIC(), {}},
    };
    for (Case const & c : cases) {
        SCOPED_TRACE(c.name);
        Unit32Source source(text);
        CharEncodingConverter encoder(source, Char32Encoding::UTF32(), c.form);
        Bytes const bytes = Drain(encoder);
        if (!c.expected.empty()) {
            EXPECT_EQ(bytes, c.expected);
        }
        ByteSource back(bytes, {1, 2, 3});
        Char32EncodingConverter decoder(back, c.form, Char32Encoding::UTF32());
        EXPECT_EQ(Drain(decoder), text);
    }
}

// The 16-bit sink reads the old Hangul.
TEST(Unicode11Test, SixteenBitSink) {
    Units16 const old = {'A', 0x3400, 0xFFFD, 0x4E00};
    StringChar32Sink target;
    {
        Char16EncodingConverterSink decoder(U11(), Char32Encoding::UTF32(), target);
        decoder.Put(old.data(), old.data() + 2);
        decoder.Put(old.data() + 2, old.data() + old.size());
    }
    EXPECT_EQ(UnitsOf(target), (Units32{'A', 0xAC00, 0xFFFD, 0x4E00}));
}

// UTF-7 and the Java escapes: the codecs' own cases, Python's utf_7 codec as
// an independent reference, and random round trips through sources, sinks
// and buffer converters with random chunking.
using zuuc_test::utf8::Drive;
using zuuc_test::utf8::ExpectSplitInvariant;
using zuuc_test::utf8::kProblem;

struct Utf7Case {
    std::vector<unsigned int> text;
    char const * python;
    char const * ours;
};

#include "unicode_forms/utf7_python_cases.inc"

std::vector<char> Chars(std::string const & s) {
    return std::vector<char>(s.begin(), s.end());
}

std::vector<long> Longs(Units16 const & units) {
    return std::vector<long>(units.begin(), units.end());
}

Units16 Units(std::u16string const & s) {
    return Units16(s.begin(), s.end());
}

// Bytes as the decoder's expected output: units, with kProblem marks.
struct DecodeCase {
    std::string bytes;
    std::vector<long> expected;
};

// Units and the bytes an encoder writes for them.
struct EncodeCase {
    std::u16string text;
    std::string bytes;
};

std::string Encode(Transcoder<unsigned short, char> & t, Units16 const & units,
                   std::vector<std::size_t> const & cuts = {}, std::size_t room = 64) {
    std::string s;
    for (long v : Drive(t, units, cuts, room)) {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

// --- UTF-7 --------------------------------------------------------------------------

TEST(UTF7Test, DecodesTheDocumentedCasesAtEverySplit) {
    long const P = kProblem;
    std::vector<DecodeCase> const cases = {
        {"+-", {'+'}},
        {"+AGE-", {'a'}},
        {"+AGEAYQ-", {'a', 'a'}},
        {"a+AGE.b", {'a', 'a', '.', 'b'}},  // implicit end of the run
        {"+AGE", {'a'}},                    // a run open at the end
        {"++", {P}},                        // ends without a unit
        {"+ x", {P, ' ', 'x'}},             // the byte that ended the run still counts
        {"+-+ -", {'+', P, ' ', '-'}},
        {"+AGF-", {'a', P}},  // leftover bits not zero
        {"a\xC3"
         "b",
         {'a', P, 'b'}},  // a byte above 0x7F
        {"+2D3eAA-", {0xD83D, 0xDE00}},
        {"+2D0-", {0xD83D}},  // a lone high surrogate goes out alone
        {"+2D3YPQ-", {0xD83D, 0xD83D}},
    };
    for (DecodeCase const & c : cases) {
        UTF7toWhatever decoder;
        SCOPED_TRACE(c.bytes);
        ExpectSplitInvariant(decoder, Chars(c.bytes), c.expected);
    }
}

TEST(UTF7Test, EncodesTheDocumentedCases) {
    std::vector<EncodeCase> const cases = {
        // More in the Python table below.
        {u"\u00e9", "+AOk-"},
        {u"a b", "a b"},
        {u"!~", "+ACEAfg-"},
    };
    for (EncodeCase const & c : cases) {
        UTF7fromWhatever encoder(false, true);
        EXPECT_EQ(Encode(encoder, Units(c.text)), c.bytes);
    }
    // The wider direct set, and runs closed implicitly before a byte that
    // cannot be read as base64.
    UTF7fromWhatever wide(true, false);
    EXPECT_EQ(Encode(wide, Units(u"!\u00e9.\u00e9x")), "!+AOk.+AOk-x");
}

TEST(UTF7Test, AgreesWithPythonsCodec) {
    std::mt19937 rng(22);
    for (Utf7Case const & c : kUtf7Cases) {
        Units16 const units = ToUTF16(Units32(c.text.begin(), c.text.end()));
        std::string const python = c.python;
        std::vector<std::size_t> cuts;
        for (std::size_t at = 0; at < python.size();
             at += std::uniform_int_distribution<std::size_t>(1, 5)(rng)) {
            cuts.push_back(at);
        }
        UTF7toWhatever decoder;
        EXPECT_EQ(Drive(decoder, Chars(python), cuts, 3), Longs(units)) << python;
        UTF7fromWhatever encoder(false, true);
        EXPECT_EQ(Encode(encoder, units, {units.size() / 2}, 8), c.ours);
    }
}

TEST(UTF7Test, OutputFitsWholeOrWaits) {
    UTF7fromWhatever encoder(false, true);
    Units16 const units = {0xE9, 'x'};
    unsigned short const * in = units.data();
    char out[8];
    char * o = out;
    unsigned short const * const end = units.data() + 2;
    EXPECT_EQ(encoder.Transcode(in, end, o, out + 8, 3), kTranscodeLimitReached);
    EXPECT_EQ(std::string(out, o), "+AO");  // the rest of U+00E9 is held
    EXPECT_EQ(encoder.Mode(), 1u);
    EXPECT_EQ(encoder.Transcode(in, end, o, out + 8, -1), kTranscodeInputExhausted);
    EXPECT_EQ(std::string(out, o), "+AOk-x");
    EXPECT_EQ(encoder.Mode(), 0u);
}

// --- Java -----------------------------------------------------------------------------

TEST(JavaTest, DecodesTheDocumentedCasesAtEverySplit) {
    long const P = kProblem;
    std::vector<DecodeCase> const cases = {
        {"\\u0041B", {'A', 'B'}},
        {"\\u41x", {'A', 'x'}},
        {"\\q", {'q'}},
        {"\\\\", {'\\'}},
        {"\\b\\f\\n\\r\\t", {8, 12, 10, 13, 9}},
        {"\\ux", {'x'}},
        {"\\u41\\u0042", {'A', 'B'}},  // a short escape does not swallow the next one
        {"\\u\\n", {'\n'}},
        {"\xE9", {0xE9}},
        {"\\ud83d\\uDE00", {0xD83D, 0xDE00}},
        {"a\\u12", {'a', P}},  // an escape cut short by the end
        {"a\\", {'a', P}},
    };
    for (DecodeCase const & c : cases) {
        JavaEncodingVariant::ToUTF16 decoder;
        SCOPED_TRACE(c.bytes);
        ExpectSplitInvariant(decoder, Chars(c.bytes), c.expected);
    }
}

TEST(JavaTest, Encodes) {
    JavaEncodingVariant::FromUTF16 encoder;
    EXPECT_EQ(Encode(encoder, Units(u"\u00e9\b\t\f\n\r\\A~\u007f\U0001F600")),
              "\\u00E9\\b\\t\\f\n\r\\\\A~\\u007F\\uD83D\\uDE00");
    // A surrogate pair is written whole or waits.
    Units16 const pair = {0xD83D, 0xDE00};
    unsigned short const * in = pair.data();
    char out[16];
    char * o = out;
    EXPECT_EQ(encoder.Transcode(in, in + 2, o, out + 11, -1), kTranscodeOutputFull);
    EXPECT_EQ(o, out);
}

// --- through the encodings ------------------------------------------------------------

struct EscapeForm {
    char const * name;
    CharEncoding const * encoding;
};

std::vector<EscapeForm> Forms() {
    return {{"UTF-7", &CharEncoding::Unicode20UTF7()},
            {"UTF-16:Java", &CharEncoding::Unicode20Java()},
            {"UTF-16:BOM:UTF-7", CharEncoding::Lookup("UTF-16:BOM:UTF-7")},
            {"Unicode 1.1 UTF-7", &CharEncoding::Unicode11UTF7()},
            {"Unicode 1.1 Java", &CharEncoding::Unicode11Java()}};
}

// Unicode 1.1 has no surrogates, and its Hangul block is not that of 2.0:
// keep the text it carries unchanged.
Units32 Representable(Units32 text, bool unicode11) {
    if (unicode11) {
        for (u32 & c : text) {
            if (c > 0xFFFF || (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x3400 && c <= 0x4DFF)) {
                c = 'x';
            }
        }
    }
    return text;
}

TEST(EscapeFormsTest, RandomTextRoundTripsThroughSourcesSinksAndBufferConverters) {
    std::mt19937 rng(2207);
    for (EscapeForm const & form : Forms()) {
        ASSERT_NE(form.encoding, nullptr) << form.name;
        bool const unicode11 = form.encoding->GetTextEncodingID().GetBaseEncodingID() == 1;
        for (int round = 0; round < 40; ++round) {
            Units32 text = Representable(RandomText(rng, round * 7 % 90), unicode11);
            text.push_back('+');
            text.insert(text.begin() + static_cast<long>(text.size() / 2), '\\');
            SCOPED_TRACE(std::string(form.name) + " round " + std::to_string(round));

            // UTF-32 -> form through a source, form -> UTF-32 through a sink.
            Unit32Source source(text, RandomPieces(rng, text.size(), 5));
            CharEncodingConverter encoder(source, Char32Encoding::UTF32(), *form.encoding);
            Bytes const bytes = Drain(encoder, &rng);
            StringChar32Sink target;
            {
                CharEncodingConverterSink decoder(*form.encoding, Char32Encoding::UTF32(), target);
                std::vector<char> const chars(bytes.begin(), bytes.end());
                std::size_t at = 0;
                for (std::size_t piece : RandomPieces(rng, chars.size(), 4)) {
                    decoder.Put(chars.data() + at, chars.data() + at + piece);
                    at += piece;
                }
            }
            EXPECT_EQ(UnitsOf(target), text);

            // The same bytes back to UTF-16 through a buffer converter, a few
            // bytes and a few units of room at a time.
            CharToChar16BufferConverter buffer;
            ASSERT_TRUE(buffer.Initialize(*form.encoding, Char16Encoding::UTF16()));
            Units16 units;
            std::vector<char> const chars(bytes.begin(), bytes.end());
            char const * in = chars.data();
            char const * const end = in + chars.size();
            for (BufferConverterResult r = kBufferConverterOutputFull;;) {
                char const * stop = in + std::min<long>(end - in, 3);
                unsigned short room[5];
                unsigned short * out = room;
                r = buffer.Convert(in, stop, out, room + 5, stop == end);
                units.insert(units.end(), room, out);
                if (stop == end && r != kBufferConverterOutputFull && in == end) {
                    break;
                }
            }
            EXPECT_EQ(units, ToUTF16(text));
            EXPECT_EQ(buffer.Substitutions(), 0u);
        }
    }
}

TEST(EscapeFormsTest, ASubstituteStandsOutsideABase64Run) {
    // Unicode 1.1 cannot carry U+1F600: its substitute comes between runs.
    Units32 const text = {0xAC00, 0x1F600, 0xAC00, 0x110000, 'a'};
    Char32ToCharBufferConverter encoder;
    ASSERT_TRUE(encoder.Initialize(Char32Encoding::UTF32(), CharEncoding::Unicode11UTF7()));
    unsigned int const * from = text.data();
    char bytes[64];
    char * to = bytes;
    encoder.Convert(from, from + text.size(), to, bytes + sizeof bytes, true);
    EXPECT_EQ(std::string(bytes, to), "+NAA-+//9-+NAA-+//9-a");
    EXPECT_EQ(encoder.Substitutions(), 2u);
    // The same through small output windows (a larger one after a call that
    // wrote nothing): a run that cannot be closed in the room left keeps its
    // problem for the next window (it once got the substitute inside the run).
    for (std::size_t room = 1; room <= 6; ++room) {
        encoder.Reset();
        from = text.data();
        std::string chunked;
        for (std::size_t calls = 0, grow = 0; calls < 100; ++calls) {
            to = bytes;
            BufferConverterResult const r =
                encoder.Convert(from, text.data() + text.size(), to, bytes + room + grow, true);
            chunked.append(bytes, to);
            if (r == kBufferConverterComplete || r == kBufferConverterCompleteWithSubstitutions)
                break;
            grow = to == bytes ? grow + 1 : 0;
        }
        EXPECT_EQ(chunked, "+NAA-+//9-+NAA-+//9-a") << room;
    }
    CharToChar32BufferConverter buffer;
    ASSERT_TRUE(buffer.Initialize(CharEncoding::Unicode20UTF7(), Char32Encoding::UTF32()));
    std::string const utf7 = "+2D3eAA-";
    char const * in = utf7.data();
    unsigned int out[4];
    unsigned int * o = out;
    buffer.Convert(in, in + utf7.size(), o, out + 4, true);
    EXPECT_EQ(Units32(out, o), Units32{0x1F600});
}

// --- HP printer -----------------------------------------------------------------------

TEST(HPPrinterTest, PadsEveryCharacterToTwoBytes) {
    CharEncoding const * hp = CharEncoding::Lookup("EUC-KR:HP-Printer");
    ASSERT_NE(hp, nullptr);
    EXPECT_EQ(static_cast<unsigned long>(hp->GetTextEncodingID()), 0x8009u);
    zuuc_test::utf8::HeapAllocator allocator;
    std::unique_ptr<Transcoder<char, unsigned short>> decoder(
        hp->CreateConverterToUTF16(allocator));
    ASSERT_NE(decoder, nullptr);
    long const P = kProblem;
    // Pairs: 00 41, B0 A1, 00 42, then 43 44 (two single bytes unpadded).
    ExpectSplitInvariant(*decoder, Chars(std::string("\0A\xB0\xA1\0BCD", 8)),
                         {'A', 0xAC00, 'B', 'C', 'D'});
    ExpectSplitInvariant(*decoder, Chars("\xB0"), {P});
    std::unique_ptr<Transcoder<unsigned int, char>> encoder(
        hp->CreateConverterFromUTF32(allocator));
    ASSERT_NE(encoder, nullptr);
    Units32 const text = {'A', 0xAC00, 0x1F600, 'z'};
    std::vector<long> const expected = {0, 'A', 0xB0, 0xA1, P, 0, 'z'};
    EXPECT_EQ(Drive(*encoder, text, {2}, 2), expected);
    // From UTF-16 a pair is one problem wherever the input is cut (once two,
    // when a call ended between its halves), and so is a lone high surrogate
    // that ends the text.
    std::unique_ptr<Transcoder<unsigned short, char>> encoder16(
        hp->CreateConverterFromUTF16(allocator));
    ASSERT_NE(encoder16, nullptr);
    ExpectSplitInvariant(*encoder16, std::vector<unsigned short>{'A', 0xD83D, 0xDE00, 'z', 0xD83D},
                         {0, 'A', P, 0, 'z', P});
}

}  // namespace
