// The catalogue's encodings end to end, with the tables that the encoding
// libraries install.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "mbcs_test_tables.h"
#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/zuuc.h"

using namespace zuuc_test::mbcs;

// The multi-byte, modal, HZ and GB18030 encodings end to end: found in the
// catalogue, tables loaded from their encoding libraries, converted through
// the encodings' own converters and streams.
namespace mbcs_catalogue {

namespace {

// Encodes through the encoding's converter from UTF-32, Finish included.
std::string Encode(CharEncoding const & encoding, std::vector<unsigned int> const & text,
                   std::vector<int> * results = nullptr) {
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<Transcoder<unsigned int, char>> t(encoding.CreateConverterFromUTF32(heap));
    EXPECT_NE(nullptr, t);
    return t == nullptr ? std::string() : Str(ConvertAll(*t, text, results));
}

std::vector<unsigned int> Decode(CharEncoding const & encoding, std::string const & bytes,
                                 std::vector<int> * results = nullptr) {
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<Transcoder<char, unsigned int>> t(encoding.CreateConverterToUTF32(heap));
    EXPECT_NE(nullptr, t);
    return t == nullptr ? std::vector<unsigned int>() : ConvertAll(*t, Bytes(bytes), results);
}

// Both directions, and the same through the UTF-16 converters.
void ExpectRoundTrip(CharEncoding const & encoding, std::vector<unsigned int> const & text,
                     std::string const & bytes) {
    SCOPED_TRACE(encoding.Name());
    EXPECT_EQ(bytes, Encode(encoding, text));
    EXPECT_EQ(text, Decode(encoding, bytes));
    std::vector<unsigned short> const utf16 = zuuc_test::utf16::ToUTF16(text);
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<Transcoder<unsigned short, char>> from16(
        encoding.CreateConverterFromUTF16(heap));
    std::unique_ptr<Transcoder<char, unsigned short>> to16(encoding.CreateConverterToUTF16(heap));
    ASSERT_NE(nullptr, from16);
    ASSERT_NE(nullptr, to16);
    EXPECT_EQ(bytes, Str(ConvertAll(*from16, utf16)));
    EXPECT_EQ(utf16, ConvertAll(*to16, Bytes(bytes)));
}

}  // namespace

TEST(MbcsCatalogue, AccessorsRegisterAndLoadOnDemand) {
    EXPECT_EQ(&CharEncoding::ShiftJISMS(), CharEncoding::Lookup("Shift_JIS"));
    EXPECT_EQ(&CharEncoding::GB18030(), CharEncoding::Lookup("GB18030"));
    EXPECT_EQ(&CharEncoding::ISO2022JP(), CharEncoding::Lookup("iso-2022-jp"));
    EXPECT_EQ(&CharEncoding::HZGB2312(), CharEncoding::Lookup("HZ-GB-2312"));
    EXPECT_EQ(&CharEncoding::HZGB2312(), CharEncoding::Lookup(TextEncodingID(13)));
    EXPECT_EQ(&CharEncoding::GB2312(), CharEncoding::Lookup(TextEncodingID(11)));
    CharEncoding::EUCKR().Load();
    EXPECT_TRUE(CharEncoding::EUCKR().IsLoaded());
    EXPECT_TRUE(CharEncoding::HZGB2312().IsLoadable());
}

// Known mappings of each family, both ways, through UTF-32 and UTF-16 (splits
// and sequences in no range are in codecs_test.cpp).
struct RoundTrip {
    CharEncoding const * encoding;
    std::vector<unsigned int> text;
    std::string bytes;
};
RoundTrip const kRoundTrips[] = {
    {&CharEncoding::ShiftJISMS(), {'a', 0x3042, 0xFF71}, "a\x82\xA0\xB1"},
    // EUC-JP: JIS X 0208, halfwidth katakana through SS2, JIS X 0212 through SS3.
    {&CharEncoding::EUCPkdFmtJapanese(), {0x3042, 0xFF71, 0x4E02}, "\xA4\xA2\x8E\xB1\x8F\xB0\xA1"},
    {&CharEncoding::GB2312(), {'x', 0x554A}, "x\xB0\xA1"},
    {&CharEncoding::CP936(), {0x4E02}, "\x81\x40"},
    {&CharEncoding::Big5(), {0x4E00, 'y'}, "\xA4\x40y"},
    {&CharEncoding::EUCKR(), {0xAC00}, "\xB0\xA1"},
    {&CharEncoding::CP949(), {0xAC02}, "\x81\x41"},
    {&CharEncoding::GB18030(),
     {'a', 0x10000, 0x10FFFF, 0x80, 0x4E02, 0x9FA6, 0xFFFF, 0xE865, 0x0452},
     "a\x90\x30\x81\x30\xE3\x32\x9A\x35\x81\x30\x81\x30\x81\x40"
     "\x82\x35\x8F\x33\x84\x31\xA4\x39\x83\x36\xD0\x30\x81\x30\xD3\x30"},
    {&CharEncoding::ISO2022JP(), {'a', 0x3042, 'b'}, "a\x1B$B\x24\x22\x1B(Bb"},
    // ISO-2022-KR: the header once at the start.
    {&CharEncoding::ISO2022KR(),
     {'a', 0xAC00, 'b'},
     "\x1B$)Ca\x0E\x30\x21\x0F"
     "b"},
};
class MbcsRoundTrip : public ::testing::TestWithParam<RoundTrip> {};
TEST_P(MbcsRoundTrip, BothWaysThroughTheInstalledTables) {
    ExpectRoundTrip(*GetParam().encoding, GetParam().text, GetParam().bytes);
}
INSTANTIATE_TEST_SUITE_P(Families, MbcsRoundTrip, ::testing::ValuesIn(kRoundTrips));

TEST(ModalCatalogue, ISO2022JPFinishAndDetector) {
    CharEncoding const & jp = CharEncoding::ISO2022JP();
    // U+3042 alone: Finish brings the text back to ASCII.
    EXPECT_EQ("\x1B$B\x24\x22\x1B(B", Encode(jp, U32({0x3042})));
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<CharEncodingDetector> d(jp.CreateEncodingDetector(heap));
    EXPECT_NE(nullptr, dynamic_cast<ISO2022JPDetector *>(d.get()));
}

// CNS 11643 plane 2 is reached by a designation alone (ESC $ * H, then a
// single shift ESC N per character), so the shift state, and with it the
// substitute, stays that of the mode before: plane 2's own "$" SUB would read
// as a dollar sign after ASCII.
TEST(ModalCatalogue, ISO2022CNSubstituteAfterPlaneTwo) {
    CharEncoding const & cn = CharEncoding::ISO2022CN();
    struct {
        std::vector<unsigned int> text;
        char const * bytes;
    } const cases[] = {
        {{'a', 0x992C, 0x0E01, 'b'},
         "a\x1B$*H\x1BN`Y\x1A\x0F"
         "b"},
        {{0x65E5, 0x992C, 0x0E01, 'b'},
         "\x1B$)A\x0EHU\x1B$*H\x1BN`Y\x1A\x0F"
         "b"},
    };
    for (auto const & c : cases) {
        Char32ToCharBufferConverter encoder;
        ASSERT_TRUE(encoder.Initialize(Char32Encoding::UTF32(), cn));
        unsigned int const * in = c.text.data();
        char bytes[32];
        char * out = bytes;
        encoder.Convert(in, in + c.text.size(), out, bytes + sizeof bytes, true);
        EXPECT_EQ(c.bytes, std::string(bytes, out));
        std::vector<unsigned int> expected = c.text;
        expected[2] = 0x1A;  // the substitute reads back as SUB, nothing else
        EXPECT_EQ(expected, Decode(cn, std::string(bytes, out)));
    }
}

TEST(HzCatalogue, ThroughGB2312) {
    CharEncoding const & hz = CharEncoding::HZGB2312();
    ExpectRoundTrip(hz, U32({'a', 0x554A, 'b'}), "a~{\x30\x21~}b");
    EXPECT_EQ(U32({0x7687, '~', 'x'}), Decode(hz, "~{\x3B\x4A~}~~~\nx"));
}

TEST(MbcsCatalogue, ShiftJISThroughASourceWithSubstitution) {
    CharEncoding * const sjis = CharEncoding::Lookup("Shift_JIS");
    ASSERT_NE(nullptr, sjis);
    std::string const bytes(
        "a\x82\xA0\x82\x20z\x82");  // 82 20: bad trail; 82 at the end: cut short
    BufferCharSource source(bytes.data(), bytes.data() + bytes.size());
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<ToUnicodeSource> decoded(sjis->CreateCharSourceToUnicode(source, heap));
    ASSERT_NE(nullptr, decoded);
    EXPECT_EQ(U32({'a', 0x3042, 0xFFFD, ' ', 'z', 0xFFFD}), zuuc_test::utf8::ReadAll32(*decoded));
}

}  // namespace mbcs_catalogue

// The catalogue's single-byte encodings with the tables that the encoding
// libraries install: load on demand, known mappings of every family, a
// round trip of every entry, substitution and the catalogue's own data.
namespace sbcs_catalogue {

namespace {

using u16 = unsigned short;

struct CatalogueEntry {
    char const * accessor;
    unsigned long id;
    SBCSEncoding & (*get)();
};

#define ZUUC_TEST_ENTRY(accessor, id) {#accessor, id, &CharEncoding::accessor},
CatalogueEntry const kEntries[] = {ZUUC_SBCS_CATALOGUE(ZUUC_TEST_ENTRY)};
#undef ZUUC_TEST_ENTRY

// A converter placed in a small arena, deleted at the end of the scope.
template <class T>
struct Placed {
    alignas(void *) unsigned char arena[256];
    LinearAllocator allocator{arena, sizeof arena, "test", 0};
    T * t = nullptr;
    ~Placed() { delete t; }
};

struct Decoded {
    TranscodeResult result;
    u16 unit;
};

Decoded DecodeByte(Transcoder<char, u16> & t, unsigned b) {
    char const byte = static_cast<char>(b);
    char const * in = &byte;
    u16 unit = 0;
    u16 * out = &unit;
    TranscodeResult const r = t.Transcode(in, &byte + 1, out, &unit + 1, -1);
    return {r, out == &unit ? u16(0xFFFF) : unit};
}

struct Encoded {
    TranscodeResult result;
    int byte;  // -1 when nothing was written
};

Encoded EncodeUnit(Transcoder<u16, char> & t, u16 u) {
    u16 const * in = &u;
    char byte = 0;
    char * out = &byte;
    TranscodeResult const r = t.Transcode(in, &u + 1, out, &byte + 1, -1);
    return {r, out == &byte ? -1 : static_cast<unsigned char>(byte)};
}

// Writes UTF-16 text through `e` with the default behaviour.
std::string Write(SBCSEncoding & e, std::vector<u16> const & text) {
    StringCharSink target;
    {
        Placed<Transcoder<u16, char>> enc;
        CharSink_16_to_8 sink(Char16Encoding::UTF16(), e.CreateConverterFromUTF16(enc.allocator), e,
                              target);
        sink.Put(text.data(), text.data() + text.size());
        sink.Flush();
    }
    return std::string(target.data(), target.size());
}

}  // namespace

// What the load-on-demand test checks; returns the exit code (0: all well).
int CheckLoadOnDemand() {
    SBCSEncoding & cyrillic = CharEncoding::CP1251();  // zurow421
    if (cyrillic.IsLoaded())
        return 10;
    // Naming, looking up and comparing load nothing.
    if (CharEncoding::Lookup("windows-1251") != &cyrillic)
        return 11;
    if (CharEncoding::Lookup(TextEncodingID(7)) != &cyrillic)
        return 11;
    if (std::string(cyrillic.Name()) != "CP1251" || cyrillic.CodePage() != 1251)
        return 11;
    if (cyrillic == CharEncoding::CP1253() || !cyrillic.IsTextModeSafe())
        return 11;
    if (cyrillic.IsLoaded() || cyrillic.ToUnicodeTable() != nullptr)
        return 12;
    Placed<Transcoder<char, u16>> dec;
    dec.t = cyrillic.CreateConverterToUTF16(dec.allocator);
    if (dec.t == nullptr || !cyrillic.IsLoaded())
        return 13;
    // The whole library came in, and nothing else.
    if (!CharEncoding::CP1253().IsLoaded())
        return 14;
    if (CharEncoding::CP1252().IsLoaded())
        return 15;
    if (DecodeByte(*dec.t, 0xC0).unit != 0x0410)
        return 16;
    return 0;
}

// Runs in a fresh process (the death-test machinery re-executes this test
// alone), so that no earlier test has loaded an encoding library.
TEST(SbcsLoadOnDemandDeathTest, ConverterCreationLoadsTheLibrary) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(CheckLoadOnDemand()), ::testing::ExitedWithCode(0), "");
}

TEST(SbcsCatalogue, AccessorsRegisterInCreationOrder) {
    EXPECT_EQ(121u, sizeof kEntries / sizeof kEntries[0]);
    EXPECT_EQ(&CharEncoding::PC8CodePage437(), &CharEncoding::CP437());
    EXPECT_EQ(&CharEncoding::PC850Multilingual(), &CharEncoding::CP850());
    EXPECT_EQ(&Char32Encoding::UTF32(), Char32Encoding::Lookup(TextEncodingID::UTF32()));
    EXPECT_EQ(&CharEncoding::CP437(), CharEncoding::Lookup("IBM437"));
    long previous = -1;
    for (CatalogueEntry const & entry : kEntries) {
        SBCSEncoding & e = entry.get();
        EXPECT_EQ(static_cast<CharEncoding *>(&e), CharEncoding::Lookup(TextEncodingID(entry.id)))
            << entry.accessor;
        long index = -1;
        for (unsigned i = 0; i < CharEncoding::Count(); ++i) {
            if (CharEncoding::Lookup(i) == &e)
                index = static_cast<long>(i);
        }
        EXPECT_GT(index, previous) << entry.accessor;
        previous = index;
        EXPECT_EQ(e.IsTextModeSafe(), e.IsBasedOnASCII());
        ASSERT_NE(nullptr, e.LibraryName()) << entry.accessor;
    }
    // EBCDIC (CP21027 too) is not ASCII-based and substitutes EBCDIC's SUB.
    EXPECT_FALSE(CharEncoding::CP21027().IsTextModeSafe());
    unsigned char const * sub = nullptr;
    EXPECT_EQ(1u, CharEncoding::CP21027().SubstituteChars(sub, 0));
    EXPECT_EQ(0x3F, sub[0]);
}

TEST(SbcsCatalogue, Latin1TakesTheFastPathAndItsTwinTheTables) {
    SBCSEncoding & latin1 = CharEncoding::ISOLatin1();
    LinearAllocator heap(nullptr, 0, "test", 0);
    std::unique_ptr<Transcoder<char, u16>> to16(latin1.CreateConverterToUTF16(heap));
    std::unique_ptr<Transcoder<char, unsigned int>> to32(latin1.CreateConverterToUTF32(heap));
    std::unique_ptr<Transcoder<u16, char>> from16(latin1.CreateConverterFromUTF16(heap));
    std::unique_ptr<Transcoder<unsigned int, char>> from32(latin1.CreateConverterFromUTF32(heap));
    EXPECT_NE(nullptr, dynamic_cast<Latin1ToUTF16 *>(to16.get()));
    EXPECT_NE(nullptr, dynamic_cast<Latin1ToUTF32 *>(to32.get()));
    EXPECT_NE(nullptr, dynamic_cast<Latin1FromUTF16 *>(from16.get()));
    EXPECT_NE(nullptr, dynamic_cast<Latin1FromUTF32 *>(from32.get()));
    // Its twin CP28591 has the same mapping but goes through the tables.
    std::unique_ptr<Transcoder<char, u16>> twin(
        CharEncoding::CP28591().CreateConverterToUTF16(heap));
    EXPECT_NE(nullptr, dynamic_cast<SBCStoUTF16 *>(twin.get()));
    EXPECT_EQ(0x0080, DecodeByte(*twin, 0x80).unit);
}

// Every byte of every single-byte entry decodes as the installed table says,
// and every decoded character encodes back as the installed plane table says.
TEST(SbcsCatalogue, EveryEntryRoundTripsThroughItsInstalledTables) {
    for (CatalogueEntry const & entry : kEntries) {
        SCOPED_TRACE(entry.accessor);
        SBCSEncoding & e = entry.get();
        Placed<Transcoder<char, u16>> dec;
        dec.t = e.CreateConverterToUTF16(dec.allocator);
        Placed<Transcoder<u16, char>> enc;
        enc.t = e.CreateConverterFromUTF16(enc.allocator);
        ASSERT_TRUE(e.IsLoaded());
        ASSERT_NE(nullptr, e.ToUnicodeTable());
        ASSERT_NE(nullptr, e.FromUnicodeTable());
        ASSERT_NE(nullptr, dec.t);
        ASSERT_NE(nullptr, enc.t);
        bool const latin1 = entry.id == 17;
        SBCSFromUnicodeTable const & plane = *e.FromUnicodeTable();
        unsigned mapped = 0;
        unsigned round_trips = 0;
        for (unsigned b = 0; b < 256; ++b) {
            u16 const expected = latin1 ? static_cast<u16>(b) : e.ToUnicodeTable()[b];
            Decoded const d = DecodeByte(*dec.t, b);
            if (expected == 0xFFFD) {
                EXPECT_EQ(kTranscodeNoCharacterDefined, d.result) << b;
                continue;
            }
            ++mapped;
            ASSERT_EQ(kTranscodeInputExhausted, d.result) << b;
            ASSERT_EQ(expected, d.unit) << b;
            Encoded const c = EncodeUnit(*enc.t, d.unit);
            unsigned char const back =
                latin1 ? static_cast<unsigned char>(b) : plane.Lookup(d.unit);
            if (!latin1 && back == plane.undefined) {
                EXPECT_EQ(kTranscodeNotInRepertoire, c.result) << b;
                continue;
            }
            ASSERT_EQ(kTranscodeInputExhausted, c.result) << b;
            ASSERT_EQ(back, c.byte) << b;
            // Where several bytes share a character, the one it encodes to
            // decodes to that character.
            EXPECT_EQ(d.unit, DecodeByte(*dec.t, back).unit) << b;
            round_trips += back == b;
        }
        EXPECT_GE(mapped, 100u);
        EXPECT_GE(round_trips, 100u);
    }
}

TEST(SbcsCatalogue, UnmappableCharactersBecomeTheEncodingsSubstitute) {
    std::vector<u16> const text = {'a', 0x20AC, 0x0100, 0xD83D, 0xDE00, 'b'};
    // A surrogate pair is one character: one substitute.
    EXPECT_EQ(std::string("a\x80\x1A\x1A"
                          "b"),
              Write(CharEncoding::CP1252(), text));
    EXPECT_EQ(std::string("\x1A\x1A"), Write(CharEncoding::ASCII(), {0xE9, 0xDBFF}));
    EXPECT_EQ(std::string("\xC1\x3F\x3F"), Write(CharEncoding::IBM037(), {'A', 0x20AC, 0x0100}));
    EXPECT_EQ(std::string("\x3F"), Write(CharEncoding::CP21027(), {0x0100}));
    EXPECT_EQ(std::string("\xE9\x1A"), Write(CharEncoding::ISOLatin1(), {0xE9, 0x0100}));

    // The same through the encoding's own sink.
    StringCharSink target;
    {
        Placed<Char32Sink> sink;
        sink.t = CharEncoding::IBM037().CreateCharSinkFromUnicode(target, sink.allocator);
        ASSERT_NE(nullptr, sink.t);
        unsigned int const wide[] = {'A', 0x1F600, 'B'};
        sink.t->Put(wide, wide + 3);
        sink.t->Flush();
    }
    EXPECT_EQ(std::string("\xC1\x3F\xC2"), std::string(target.data(), target.size()));
}

}  // namespace sbcs_catalogue

// Characters that a table decodes from two byte sequences are written at the
// position the table's vendor designates; the other sequence still decodes to
// them (docs/encodings.md lists every such pair).
namespace duplicate_mappings {

namespace {

struct Duplicate {
    char const * encoding;
    unsigned int character;
    char const * written;    // what the encoder writes
    char const * also_read;  // another sequence that decodes to the character
};

Duplicate const kDuplicates[] = {
    {"CP950", 0x5341, "\xA4\x51", "\xA2\xCC"},
    {"CP950", 0x5345, "\xA4\xCA", "\xA2\xCE"},
    {"Big5-HKSCS", 0x5341, "\xA4\x51", "\xA2\xCC"},
    {"Big5-HKSCS", 0x2550, "\xF9\xF9", "\xA2\xA4"},
    {"Big5-HKSCS", 0xFF0F, "\xA2\x41", "\xA1\xFE"},
    {"GB2312", 0x2225, "\xA1\xCE", "\xA1\xAC"},
    {"ISO-2022-CN", 0x2225, "\x1B$)A\x0E!N\x0F", "\x1B$)A\x0E!,\x0F"},
    {"Johab", 0x3131, "\x88\x41", "\x84\x42"},
    {"Johab", 0x3000, "\xD9\x31", "\x84\x41"},
    {"IBM937", 0x5341, "\x0E\x4C\x52\x0F", "\x0E\x45\x4A\x0F"},
    {"IBM-Thai", 0x0E48, "\xED", "\x51"},
    {"CP932", 0x2252, "\x81\xE0", "\x87\x90"},
};

std::string Write(CharEncoding const & encoding, unsigned int character) {
    Char32ToCharBufferConverter converter;
    if (!converter.Initialize(Char32Encoding::UTF32(), encoding)) {
        return "(no converter)";
    }
    char bytes[32];
    unsigned int const * in = &character;
    char * out = bytes;
    converter.Convert(in, in + 1, out, bytes + sizeof bytes, true);
    return std::string(bytes, out);
}

std::u32string Read(CharEncoding const & encoding, std::string const & bytes) {
    CharToChar32BufferConverter converter;
    if (!converter.Initialize(encoding, Char32Encoding::UTF32())) {
        return U"(no converter)";
    }
    unsigned int units[32];
    char const * in = bytes.data();
    unsigned int * out = units;
    converter.Convert(in, in + bytes.size(), out, units + 32, true);
    return std::u32string(units, out);
}

class DuplicateMappingTest : public ::testing::TestWithParam<Duplicate> {};

TEST_P(DuplicateMappingTest, WritesTheVendorsPositionAndReadsBoth) {
    Duplicate const & d = GetParam();
    CharEncoding const * encoding = CharEncoding::Lookup(d.encoding);
    ASSERT_NE(encoding, nullptr) << d.encoding;
    EXPECT_EQ(Write(*encoding, d.character), d.written);
    EXPECT_EQ(Read(*encoding, d.written), std::u32string(1, d.character));
    EXPECT_EQ(Read(*encoding, d.also_read), std::u32string(1, d.character));
}

INSTANTIATE_TEST_SUITE_P(Tables, DuplicateMappingTest, ::testing::ValuesIn(kDuplicates));

}  // namespace

}  // namespace duplicate_mappings
