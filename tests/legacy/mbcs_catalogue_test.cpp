// The multi-byte, modal, HZ and GB18030 encodings end to end: found in the
// catalogue, tables loaded from their encoding libraries, converted through
// the encodings' own converters and streams.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mbcs_test_tables.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/loader.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"
#include "zuuc/range_encoding.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_test::mbcs;

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
    std::vector<unsigned short> utf16;
    for (unsigned int c : text) {
        if (c > 0xFFFF) {
            utf16.push_back(static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10)));
            utf16.push_back(static_cast<unsigned short>(0xDC00 + (c & 0x3FF)));
        } else {
            utf16.push_back(static_cast<unsigned short>(c));
        }
    }
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<Transcoder<unsigned short, char>> from16(encoding.CreateConverterFromUTF16(heap));
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

TEST(MbcsCatalogue, JapaneseFamilies) {
    ExpectRoundTrip(CharEncoding::ShiftJISMS(), U32({'a', 0x3042, 0xFF71}), "a\x82\xA0\xB1");
    // EUC-JP: JIS X 0208, halfwidth katakana through SS2, JIS X 0212 through SS3.
    ExpectRoundTrip(CharEncoding::EUCPkdFmtJapanese(), U32({0x3042, 0xFF71, 0x4E02}),
                    "\xA4\xA2\x8E\xB1\x8F\xB0\xA1");
}

TEST(MbcsCatalogue, ChineseAndKoreanFamilies) {
    ExpectRoundTrip(CharEncoding::GB2312(), U32({'x', 0x554A}), "x\xB0\xA1");
    ExpectRoundTrip(CharEncoding::CP936(), U32({0x4E02}), "\x81\x40");
    ExpectRoundTrip(CharEncoding::Big5(), U32({0x4E00, 'y'}), "\xA4\x40y");
    ExpectRoundTrip(CharEncoding::EUCKR(), U32({0xAC00}), "\xB0\xA1");
    ExpectRoundTrip(CharEncoding::CP949(), U32({0xAC02}), "\x81\x41");
}

// Splits and sequences in no range are in range_codec_test.cpp.
TEST(GB18030Catalogue, FourByteRanges) {
    ExpectRoundTrip(CharEncoding::GB18030(),
                    U32({'a', 0x10000, 0x10FFFF, 0x80, 0x4E02, 0x9FA6, 0xFFFF, 0xE865, 0x0452}),
                    std::string("a\x90\x30\x81\x30\xE3\x32\x9A\x35\x81\x30\x81\x30\x81\x40"
                                "\x82\x35\x8F\x33\x84\x31\xA4\x39\x83\x36\xD0\x30\x81\x30\xD3\x30"));
}

TEST(ModalCatalogue, ISO2022JP) {
    CharEncoding const & jp = CharEncoding::ISO2022JP();
    ExpectRoundTrip(jp, U32({'a', 0x3042, 'b'}), "a\x1B$B\x24\x22\x1B(Bb");
    // U+3042 alone: Finish brings the text back to ASCII.
    EXPECT_EQ("\x1B$B\x24\x22\x1B(B", Encode(jp, U32({0x3042})));
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<CharEncodingDetector> d(jp.CreateEncodingDetector(heap));
    EXPECT_NE(nullptr, dynamic_cast<ISO2022JPDetector *>(d.get()));
}

TEST(ModalCatalogue, ISO2022KRHeader) {
    CharEncoding const & kr = CharEncoding::ISO2022KR();
    EXPECT_EQ("\x1B$)Ca\x0E\x30\x21\x0F" "b", Encode(kr, U32({'a', 0xAC00, 'b'})));
    EXPECT_EQ(U32({'a', 0xAC00, 'b'}), Decode(kr, "\x1B$)Ca\x0E\x30\x21\x0F" "b"));
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
        {{'a', 0x992C, 0x0E01, 'b'}, "a\x1B$*H\x1BN`Y\x1A\x0F" "b"},
        {{0x65E5, 0x992C, 0x0E01, 'b'}, "\x1B$)A\x0EHU\x1B$*H\x1BN`Y\x1A\x0F" "b"},
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
    std::string const bytes("a\x82\xA0\x82\x20z\x82");  // 82 20: bad trail; 82 at the end: cut short
    BufferCharSource source(bytes.data(), bytes.data() + bytes.size());
    LinearAllocator heap(nullptr, 0, "e2e", 0);
    std::unique_ptr<ToUnicodeSource> decoded(sjis->CreateCharSourceToUnicode(source, heap));
    ASSERT_NE(nullptr, decoded);
    EXPECT_EQ(U32({'a', 0x3042, 0xFFFD, ' ', 'z', 0xFFFD}), zuuc_test::utf8::ReadAll32(*decoded));
}
