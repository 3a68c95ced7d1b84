// Unicode 1.1: the Hangul relocation checked against the data file it was
// generated from, the converters, and the byte forms of every variation.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/utf7_encodings.h"

using namespace zuuc_test::utf16;

namespace {

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

Char16Encoding const & U11() { return Char16Encoding::Unicode11(); }

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
        {"UTF-7", CharEncoding::Unicode11UTF7(), {'A', '+', 'N', 'A', 'A', '0', 'D', 'k',
                                                          '4', 'A', '-'}},
        {"UTF-8", CharEncoding::Unicode11UTF8(),
         {'A', 0xE3, 0x90, 0x80, 0xE3, 0x90, 0x8E, 0xE4, 0xB8, 0x80}},
        {"Java", CharEncoding::Unicode11Java(),
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

}  // namespace
