// Ratings of the UTF-8, UCS-2 and UTF-32 detectors.
#include <gtest/gtest.h>

#include <vector>

#include "support/utf8_test_helpers.h"
#include "zuuc/char_encoding.h"
#include "zuuc/unicode_detectors.h"

namespace {

// Feeds `bytes` to the detector in windows of `chunk` bytes, as a chooser
// reading ahead does (the buffer start stays the first byte), then Finish.
int Rate(CharEncodingDetector & detector, std::vector<unsigned char> const & bytes,
         std::size_t chunk, bool finish = true) {
    unsigned char const * const start = bytes.data();
    for (std::size_t at = 0; at < bytes.size(); at += chunk) {
        std::size_t const end = std::min(bytes.size(), at + chunk);
        detector.Examine(start, start + at, start + end);
    }
    if (finish) detector.Finish(start, start + bytes.size());
    return detector.GetRating();
}

CharEncoding const & AnyEncoding() { return CharEncoding::UTF8(); }

}  // namespace

TEST(UTF8Detector, CountsBytesThatBreakThePattern) {
    struct Case {
        std::vector<unsigned char> bytes;
        int rating;
    } const cases[] = {
        {{'a', 'b', 0xC3, 0xA9, 0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}, 0},
        {{0x80}, -1},                   // stray continuation byte
        {{0xC3, 0x41}, -1},             // missing continuation byte
        {{0xE2, 0x41, 0x42}, -2},       // two missing: the count still drops
        {{0xE2, 0x82}, -1},             // ends inside a sequence: Finish costs one
        {{0xC3, 0xA9, 0xA9}, -1},       // one continuation too many
        {{0xF8, 0x80, 0x80, 0x80, 0x80}, 0},  // a 5-byte lead is counted like any other
        {{0xE9, 0x74, 0xE9}, -2},       // Latin-1 "été": the second E9 is taken as a missed continuation
    };
    for (auto const & c : cases) {
        for (std::size_t chunk = 1; chunk <= c.bytes.size(); ++chunk) {
            UTF8Detector detector(AnyEncoding());
            EXPECT_EQ(c.rating, Rate(detector, c.bytes, chunk))
                << ::testing::PrintToString(c.bytes) << " in windows of " << chunk;
        }
    }
    UTF8Detector fresh(AnyEncoding());
    EXPECT_EQ(0, fresh.GetRating());
    EXPECT_EQ(0, fresh.GetTieBreaker());
}

TEST(UTF8Detector, PendingCountSurvivesWindows) {
    UTF8Detector detector(AnyEncoding());
    std::vector<unsigned char> const bytes = {0xF0, 0x9F, 0x98, 0x80};
    detector.Examine(bytes.data(), bytes.data(), bytes.data() + 2);
    EXPECT_EQ(2, detector.Pending());
    detector.Examine(bytes.data(), bytes.data() + 2, bytes.data() + 4);
    EXPECT_EQ(0, detector.Pending());
    EXPECT_EQ(0, detector.GetRating());
}

TEST(UCS2Detector, OnlyAByteOrderMarkLiftsTheRating) {
    struct Case {
        std::vector<unsigned char> bytes;
        int rating;
    } const cases[] = {
        {{0xFF, 0xFE, 0x41, 0x00}, 1},
        {{0xFE, 0xFF, 0x00, 0x41}, 1},
        {{0x41, 0x00, 0x42, 0x00}, CharEncodingDetector::kLowestRating},
        {{0xFF}, CharEncodingDetector::kLowestRating},  // too short to tell
        {{0x00, 0xFF, 0xFE}, CharEncodingDetector::kLowestRating},  // a mark later does not count
    };
    for (auto const & c : cases) {
        for (std::size_t chunk = 1; chunk <= c.bytes.size(); ++chunk) {
            UCS2Detector detector(AnyEncoding());
            EXPECT_EQ(c.rating, Rate(detector, c.bytes, chunk))
                << ::testing::PrintToString(c.bytes) << " in windows of " << chunk;
        }
    }
}

TEST(UTF32Detector, OnlyAByteOrderMarkLiftsTheRating) {
    struct Case {
        std::vector<unsigned char> bytes;
        int rating;
    } const cases[] = {
        {{0xFF, 0xFE, 0x00, 0x00, 0x41, 0, 0, 0}, 1},
        {{0x00, 0x00, 0xFE, 0xFF}, 1},
        {{0xFF, 0xFE, 0x41, 0x00}, CharEncodingDetector::kLowestRating},  // UCS-2's mark
        {{0xFF, 0xFE, 0x00}, CharEncodingDetector::kLowestRating},
    };
    for (auto const & c : cases) {
        for (std::size_t chunk = 1; chunk <= c.bytes.size(); ++chunk) {
            UTF32Detector detector(AnyEncoding());
            EXPECT_EQ(c.rating, Rate(detector, c.bytes, chunk))
                << ::testing::PrintToString(c.bytes) << " in windows of " << chunk;
        }
    }
}
