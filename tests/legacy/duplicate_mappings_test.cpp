// Characters that a table decodes from two byte sequences are written at the
// position the table's vendor designates; the other sequence still decodes to
// them (docs/encodings.md lists every such pair).
#include <gtest/gtest.h>

#include <string>

#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/unicode_encodings.h"

namespace {

struct Duplicate {
    char const * encoding;
    unsigned int character;
    char const * written;     // what the encoder writes
    char const * also_read;   // another sequence that decodes to the character
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
