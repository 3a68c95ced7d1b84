// stdio-style reading: single units, push-back, lines.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "streams/stream_test_util.h"
#include "zuuc/sources.h"

using zuuc_test::streams::Chunk16Source;
using zuuc_test::streams::Chunk32Source;
using zuuc_test::streams::ChunkCharSource;

TEST(StdioSource, UnitsAreNonNegativeAtEveryWidthWithOneUnitOfPushBack) {
    unsigned short const units16[] = {0xFFFF};
    BufferChar16Source source16(units16, units16 + 1);
    Stdio16Source stdio16(source16);
    unsigned int const units32[] = {0xFFFFFFFFu};
    BufferChar32Source source32(units32, units32 + 1);
    Stdio32Source stdio32(source32);
    EXPECT_EQ(std::vector<long>({stdio16.fgetc(), stdio16.fgetc(), stdio32.fgetc(), stdio32.fgetc()}),
              std::vector<long>({65535L, -1L, 4294967295L, -1L}));

    unsigned char const bytes[] = {0xFF, 0x00};
    BufferCharSource source(bytes, bytes + 2);
    StdioSource stdio(source);
    EXPECT_EQ(stdio.fgetc(), 255);
    EXPECT_EQ(stdio.getc_(), 0);
    EXPECT_EQ(stdio.fgetc(), -1);
    EXPECT_EQ(stdio.feof_(), 1);
    EXPECT_EQ(stdio.ungetc('x'), 'x');
    EXPECT_EQ(stdio.ungetc('y'), -1);  // slot taken: the first stays
    EXPECT_EQ(stdio.feof_(), 0);       // pending unit, although the source is done
    EXPECT_EQ(stdio.fgetc(), 'x');
    EXPECT_EQ(stdio.ungetc(-1), -1);  // end of input is not a unit
    EXPECT_EQ(stdio.fgetc(), -1);
    EXPECT_EQ(stdio.ungetc(0x1FF), 0xFF);  // cut to a byte
    EXPECT_EQ(stdio.fgetc(), 0xFF);
}

TEST(StdioSource, FgetsKeepsTheLineFeedAndHonoursTheLimitAcrossWindows) {
    ChunkCharSource source({{'a'}, {'b', '\n', 'c'}, {'d', 'e', 'f', 'g'}});
    StdioSource stdio(source);
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    EXPECT_EQ(stdio.fgets(buf, 1), nullptr);
    EXPECT_EQ(buf[0], '#');  // nothing stored
    ASSERT_EQ(stdio.fgets(buf, 5), buf);
    EXPECT_STREQ(buf, "ab\n");
    std::memset(buf, '#', sizeof buf);
    ASSERT_EQ(stdio.fgets(buf, 3), buf);  // limit: two units
    EXPECT_STREQ(buf, "cd");
    EXPECT_EQ(buf[3], '#');  // never more than n units written
    EXPECT_EQ(stdio.fgetc(), 'e');  // the rest stayed in the source
    stdio.ungetc('E');
    ASSERT_EQ(stdio.fgets(buf, 8), buf);
    EXPECT_STREQ(buf, "Efg");
    EXPECT_EQ(stdio.fgets(buf, 8), nullptr);
    stdio.ungetc('\n');
    ASSERT_EQ(stdio.fgets(buf, 8), buf);  // a pushed-back line feed ends the line
    EXPECT_STREQ(buf, "\n");
}

TEST(StdioSource, GetsDropsTheLineFeedAndCountsThePushedBackUnit) {
    std::vector<unsigned short> long_line(3000, 'x');
    Chunk16Source source({long_line, long_line, {'\n', '\n', 'q'}});
    Stdio16Source stdio(source);
    std::vector<unsigned short> buf(6001, 0xAAAA);
    ASSERT_EQ(stdio.gets(buf.data(), -1), buf.data());  // no limit: the whole line
    EXPECT_EQ(buf[5999], 'x');
    EXPECT_EQ(buf[6000], 0);
    ASSERT_EQ(stdio.gets(buf.data(), 10), buf.data());  // a lone line feed: empty, not null
    EXPECT_EQ(buf[0], 0);
    ASSERT_EQ(stdio.gets(buf.data(), 10), buf.data());  // last line, no feed
    EXPECT_EQ(std::vector<unsigned short>(buf.begin(), buf.begin() + 2), (std::vector<unsigned short>{'q', 0}));
    EXPECT_EQ(stdio.gets(buf.data(), 10), nullptr);  // end of input
    EXPECT_EQ(stdio.gets(buf.data(), 0), nullptr);
    EXPECT_EQ(stdio.gets(buf.data(), -2), nullptr);

    Chunk32Source source32({{'a', 'b', 'c', '\n', 'd'}});
    Stdio32Source stdio32(source32);
    unsigned int buf32[4] = {7, 7, 7, 7};
    stdio32.ungetc('P');
    ASSERT_EQ(stdio32.gets(buf32, 3), buf32);  // P counts against the limit of two
    EXPECT_EQ(std::vector<unsigned int>(buf32, buf32 + 4), (std::vector<unsigned int>{'P', 'a', 0, 7}));
    ASSERT_EQ(stdio32.gets(buf32, 4), buf32);  // "bc", its feed consumed
    EXPECT_EQ(buf32[1], 'c');
    EXPECT_EQ(stdio32.fgetc(), static_cast<long>('d'));
    stdio32.ungetc('\n');
    ASSERT_EQ(stdio32.gets(buf32, 4), buf32);  // a pushed-back feed is an empty line
    EXPECT_EQ(buf32[0], 0u);
    EXPECT_EQ(stdio32.feof_(), 1);
}
