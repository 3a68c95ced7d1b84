// Ratings of the UTF-8, UCS-2 and UTF-32 detectors.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "zuuc/char_encoding.h"
#include "zuuc/unicode_detectors.h"

namespace {

// Feeds `bytes` to the detector in windows of `chunk` bytes, as a chooser
// reading ahead does (the buffer start stays the first byte), then Finish.
int Rate(CharEncodingDetector & detector, std::vector<unsigned char> const & bytes,
         std::size_t chunk) {
    unsigned char const * const start = bytes.data();
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        std::size_t const end = std::min(bytes.size(), at + chunk);
        detector.Examine(start, start + at, start + end);
    }
    detector.Finish(start, start + bytes.size());
    return detector.GetRating();
}

enum Kind { kUtf8, kUcs2, kUtf32 };

std::unique_ptr<CharEncodingDetector> Make(Kind kind) {
    CharEncoding const & any = CharEncoding::UTF8();
    if (kind == kUtf8) return std::make_unique<UTF8Detector>(any);
    if (kind == kUcs2) return std::make_unique<UCS2Detector>(any);
    return std::make_unique<UTF32Detector>(any);
}

int const kLowest = CharEncodingDetector::kLowestRating;

// The UTF-8 detector counts bytes that break the pattern; the UCS-2 and
// UTF-32 ones rate only a byte-order mark at the start above the lowest.
TEST(UnicodeDetectors, RatingsInEveryWindowSize) {
    struct Case {
        Kind kind;
        std::vector<unsigned char> bytes;
        int rating;
    } const cases[] = {
        {kUtf8, {'a', 'b', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}, 0},
        {kUtf8, {0x80}, -1},                   // stray continuation byte
        {kUtf8, {0xC3, 0x41}, -1},             // missing continuation byte
        {kUtf8, {0xE2, 0x41, 0x42}, -2},       // two missing: the count still drops
        {kUtf8, {0xE2, 0x82}, -1},             // ends inside a sequence: Finish costs one
        {kUtf8, {0xC3, 0xA9, 0xA9}, -1},       // one continuation too many
        {kUtf8, {0xF8, 0x80, 0x80, 0x80, 0x80}, 0},  // a 5-byte lead is counted like any other
        {kUtf8, {0xE9, 0x74, 0xE9}, -2},       // Latin-1 "été": the second E9 is a missed continuation
        {kUcs2, {0xFF, 0xFE, 0x41, 0x00}, 1},
        {kUcs2, {0xFE, 0xFF, 0x00, 0x41}, 1},
        {kUcs2, {0x41, 0x00, 0x42, 0x00}, kLowest},
        {kUcs2, {0xFF}, kLowest},  // too short to tell
        {kUcs2, {0x00, 0xFF, 0xFE}, kLowest},  // a mark later does not count
        {kUtf32, {0xFF, 0xFE, 0x00, 0x00, 0x41, 0, 0, 0}, 1},
        {kUtf32, {0x00, 0x00, 0xFE, 0xFF}, 1},
        {kUtf32, {0xFF, 0xFE, 0x41, 0x00}, kLowest},  // UCS-2's mark
        {kUtf32, {0xFF, 0xFE, 0x00}, kLowest},
    };
    for (auto const & c : cases) {
        for (std::size_t chunk = 1; chunk <= c.bytes.size(); ++chunk) {
            EXPECT_EQ(c.rating, Rate(*Make(c.kind), c.bytes, chunk))
                << c.kind << ": " << ::testing::PrintToString(c.bytes) << " in windows of " << chunk;
        }
    }
}

TEST(UTF8Detector, PendingCountSurvivesWindows) {
    UTF8Detector detector(CharEncoding::UTF8());
    EXPECT_EQ(0, detector.GetTieBreaker());
    std::vector<unsigned char> const bytes = {0xF0, 0x9F, 0x98, 0x80};
    detector.Examine(bytes.data(), bytes.data(), bytes.data() + 2);
    EXPECT_EQ(2, detector.Pending());
    detector.Examine(bytes.data(), bytes.data() + 2, bytes.data() + 4);
    EXPECT_EQ(0, detector.Pending());
    EXPECT_EQ(0, detector.GetRating());
}

}  // namespace
