// The UTF-16 to UTF-8 encoder writes runs of units without room tests while
// every unit has room for three bytes; these tests sweep the output size and
// the limit across such runs, so that every run ends exactly at the output
// end or the limit somewhere, and compare with whole characters written one
// at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zuuc/utf8_encodings.h"

namespace {

struct Character {
    std::vector<unsigned short> units;
    std::string bytes;
};

// ASCII, two-byte, three-byte, a surrogate pair and a lone low surrogate
// (written as its own three-byte form), repeated so that runs are long.
std::vector<Character> Characters() {
    std::vector<Character> one = {
        {{'a'}, "a"},
        {{0x0416}, "\xD0\x96"},
        {{0x65E5}, "\xE6\x97\xA5"},
        {{0xD83D, 0xDE00}, "\xF0\x9F\x98\x80"},
        {{0x07FF}, "\xDF\xBF"},
        {{0xDC01}, "\xED\xB0\x81"},
        {{0xFFFF}, "\xEF\xBF\xBF"},
        {{0x0800}, "\xE0\xA0\x80"},
        {{'z'}, "z"},
    };
    std::vector<Character> all;
    for (int i = 0; i < 4; ++i) {
        all.insert(all.end(), one.begin(), one.end());
    }
    return all;
}

}  // namespace

TEST(Utf8FastPath, EveryOutputSizeAndLimitStopsAfterWholeCharacters) {
    std::vector<Character> const chars = Characters();
    std::vector<unsigned short> input;
    std::string all_bytes;
    for (auto const & c : chars) {
        input.insert(input.end(), c.units.begin(), c.units.end());
        all_bytes += c.bytes;
    }
    for (int pass = 0; pass < 2; ++pass) {
        bool const by_limit = pass == 1;
        for (std::size_t size = 0; size <= all_bytes.size() + 1; ++size) {
            // Expected: the longest run of whole characters within `size` bytes.
            std::size_t units = 0, bytes = 0, i = 0;
            while (i < chars.size() && bytes + chars[i].bytes.size() <= size) {
                units += chars[i].units.size();
                bytes += chars[i].bytes.size();
                ++i;
            }
            TranscodeResult const expected =
                i == chars.size() ? kTranscodeInputExhausted
                                  : (by_limit ? kTranscodeLimitReached : kTranscodeOutputFull);

            UTF16ToUTF8 encoder(true);
            std::vector<char> buffer(by_limit ? all_bytes.size() + 8 : size);
            unsigned short const * in = input.data();
            char * out = buffer.data();
            char * const outEnd = buffer.data() + buffer.size();
            TranscodeResult const result = encoder.Transcode(
                in, input.data() + input.size(), out, outEnd, by_limit ? static_cast<long>(size) : -1);
            SCOPED_TRACE(std::string(by_limit ? "limit " : "size ") + std::to_string(size));
            EXPECT_EQ(expected, result);
            EXPECT_EQ(units, static_cast<std::size_t>(in - input.data()));
            EXPECT_EQ(all_bytes.substr(0, bytes), std::string(buffer.data(), out));

            // The rest follows in a second call with room, as if never split.
            out = buffer.data();
            std::vector<char> rest(all_bytes.size() + 8);
            char * out2 = rest.data();
            EXPECT_EQ(kTranscodeInputExhausted,
                      encoder.Transcode(in, input.data() + input.size(), out2,
                                        rest.data() + rest.size(), -1));
            EXPECT_EQ(all_bytes.substr(bytes), std::string(rest.data(), out2));
        }
    }
}

TEST(Utf8FastPath, ProblemsRightAfterARun) {
    // A high surrogate followed by a non-surrogate, after a run of Cyrillic.
    std::vector<unsigned short> input = {0x0430, 0x0431, 0x0432, 0x0433, 0xD800, 'x'};
    UTF16ToUTF8 encoder(true);
    char buffer[64];
    unsigned short const * in = input.data();
    char * out = buffer;
    EXPECT_EQ(kTranscodeIllFormedUTF16,
              encoder.Transcode(in, input.data() + input.size(), out, buffer + sizeof buffer, -1));
    EXPECT_EQ(5, in - input.data());
    EXPECT_EQ(std::string("\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3"), std::string(buffer, out));
    out = buffer;
    EXPECT_EQ(kTranscodeInputExhausted,
              encoder.Transcode(in, input.data() + input.size(), out, buffer + sizeof buffer, -1));
    EXPECT_EQ(std::string("x"), std::string(buffer, out));

    // A high surrogate ending the input is held for the next call, which
    // completes the pair.
    std::vector<unsigned short> first = {0x4E00, 0x4E01, 0x4E02, 0xD83D};
    std::vector<unsigned short> second = {0xDE00, 'y'};
    UTF16ToUTF8 split(true);
    in = first.data();
    out = buffer;
    EXPECT_EQ(kTranscodeInputExhausted,
              split.Transcode(in, first.data() + first.size(), out, buffer + sizeof buffer, -1));
    EXPECT_EQ(4, in - first.data());
    EXPECT_EQ(9, out - buffer);
    in = second.data();
    out = buffer;
    EXPECT_EQ(kTranscodeInputExhausted,
              split.Transcode(in, second.data() + second.size(), out, buffer + sizeof buffer, -1));
    EXPECT_EQ(std::string("\xF0\x9F\x98\x80y"), std::string(buffer, out));

    // Without combining, every surrogate is written as its own three bytes.
    std::vector<unsigned short> lone = {'a', 0xD83D, 0xDE00, 0xD800};
    UTF16ToUTF8 separate(false);
    in = lone.data();
    out = buffer;
    EXPECT_EQ(kTranscodeInputExhausted,
              separate.Transcode(in, lone.data() + lone.size(), out, buffer + sizeof buffer, -1));
    EXPECT_EQ(std::string("a\xED\xA0\xBD\xED\xB8\x80\xED\xA0\x80"), std::string(buffer, out));
}
