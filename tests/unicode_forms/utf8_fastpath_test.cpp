// The UTF-16 to UTF-8 encoder writes runs of units without room tests while
// every unit has room for three bytes; these tests sweep the output size and
// the limit across such runs, so that every run ends exactly at the output
// end or the limit somewhere, and compare with whole characters written one
// at a time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/transcode_once.h"
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

std::vector<char> Chars(std::string const & s) { return std::vector<char>(s.begin(), s.end()); }

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

            SCOPED_TRACE(std::string(by_limit ? "limit " : "size ") + std::to_string(size));
            UTF16ToUTF8 encoder(true);
            auto const step = TranscodeOnce(encoder, input, by_limit ? all_bytes.size() + 8 : size,
                                            by_limit ? static_cast<long>(size) : -1);
            EXPECT_EQ(step, (TranscodeStep<char>{expected, units, Chars(all_bytes.substr(0, bytes))}));

            // The rest follows in a second call with room, as if never split.
            std::vector<unsigned short> const rest(input.begin() + static_cast<long>(units), input.end());
            EXPECT_EQ(TranscodeOnce(encoder, rest, all_bytes.size() + 8).output,
                      Chars(all_bytes.substr(bytes)));
        }
    }
}

TEST(Utf8FastPath, ProblemsRightAfterARun) {
    using Step = TranscodeStep<char>;
    // A high surrogate followed by a non-surrogate, after a run of Cyrillic.
    UTF16ToUTF8 encoder(true);
    EXPECT_EQ(TranscodeOnce(encoder, {0x0430, 0x0431, 0x0432, 0x0433, 0xD800, 'x'}),
              (Step{kTranscodeIllFormedUTF16, 5, Chars("\xD0\xB0\xD0\xB1\xD0\xB2\xD0\xB3")}));
    EXPECT_EQ(TranscodeOnce(encoder, {'x'}), (Step{kTranscodeInputExhausted, 1, Chars("x")}));

    // A high surrogate ending the input is held for the next call, which
    // completes the pair.
    UTF16ToUTF8 split(true);
    EXPECT_EQ(TranscodeOnce(split, {0x4E00, 0x4E01, 0x4E02, 0xD83D}),
              (Step{kTranscodeInputExhausted, 4, Chars("\xE4\xB8\x80\xE4\xB8\x81\xE4\xB8\x82")}));
    EXPECT_EQ(TranscodeOnce(split, {0xDE00, 'y'}),
              (Step{kTranscodeInputExhausted, 2, Chars("\xF0\x9F\x98\x80y")}));

    // Without combining, every surrogate is written as its own three bytes.
    UTF16ToUTF8 separate(false);
    EXPECT_EQ(TranscodeOnce(separate, {'a', 0xD83D, 0xDE00, 0xD800}).output,
              Chars("a\xED\xA0\xBD\xED\xB8\x80\xED\xA0\x80"));
}
