// The catalogue's single-byte encodings with the tables that the encoding
// libraries install: load on demand, known mappings of every family, a
// round trip of every entry, substitution and the catalogue's own data.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "zuuc/zuuc.h"

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
        CharSink_16_to_8 sink(Char16Encoding::UTF16(), e.CreateConverterFromUTF16(enc.allocator), e, target);
        sink.Put(text.data(), text.data() + text.size());
        sink.Flush();
    }
    return std::string(target.data(), target.size());
}

}  // namespace

// What the load-on-demand test checks; returns the exit code (0: all well).
int CheckLoadOnDemand() {
    SBCSEncoding & cyrillic = CharEncoding::CP1251();  // zurow421
    if (cyrillic.IsLoaded()) return 10;
    // Naming, looking up and comparing load nothing.
    if (CharEncoding::Lookup("windows-1251") != &cyrillic) return 11;
    if (CharEncoding::Lookup(TextEncodingID(7)) != &cyrillic) return 11;
    if (std::string(cyrillic.Name()) != "CP1251" || cyrillic.CodePage() != 1251) return 11;
    if (cyrillic == CharEncoding::CP1253() || !cyrillic.IsTextModeSafe()) return 11;
    if (cyrillic.IsLoaded() || cyrillic.ToUnicodeTable() != nullptr) return 12;
    Placed<Transcoder<char, u16>> dec;
    dec.t = cyrillic.CreateConverterToUTF16(dec.allocator);
    if (dec.t == nullptr || !cyrillic.IsLoaded()) return 13;
    // The whole library came in, and nothing else.
    if (!CharEncoding::CP1253().IsLoaded()) return 14;
    if (CharEncoding::CP1252().IsLoaded()) return 15;
    if (DecodeByte(*dec.t, 0xC0).unit != 0x0410) return 16;
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
            if (CharEncoding::Lookup(i) == &e) index = static_cast<long>(i);
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
    std::unique_ptr<Transcoder<char, u16>> twin(CharEncoding::CP28591().CreateConverterToUTF16(heap));
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
            unsigned char const back = latin1 ? static_cast<unsigned char>(b) : plane.Lookup(d.unit);
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
    EXPECT_EQ(std::string("a\x80\x1A\x1A" "b"), Write(CharEncoding::CP1252(), text));
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
