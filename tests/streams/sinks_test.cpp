// Buffer, string, file and proxy sinks, and draining sources into sinks.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "streams/stream_test_util.h"
#include "zuuc/behavior.h"
#include "zuuc/sinks.h"

using zuuc_test::streams::ChunkCharSource;
using zuuc_test::streams::RecordingCharSink;

TEST(BufferSink, StaysTerminatedWhileThereIsRoomThenKeepsWhatFits) {
    char buf[5] = {'#', '#', '#', '#', '#'};
    BufferCharSink sink(buf, 4);
    EXPECT_EQ(buf[0], 0);  // an empty terminated text from the start
    char const three[] = {'a', 'b', 'c', 'X'};
    sink.Put(three, three + 3);
    sink.Put(three, three);  // an empty range changes nothing
    EXPECT_STREQ(sink.c_str(), "abc");
    EXPECT_EQ(sink.RemainingCapacity(), 1);
    EXPECT_FALSE(sink.IsTruncated());
    BufferCharSink copy(sink);  // a copy writes on into the same buffer
    copy.Put("d", nullptr);
    EXPECT_EQ(std::string(buf, 4), "abcd");
    EXPECT_EQ(sink.size(), 3);  // the original's position is its own
    sink.Put("def", nullptr);
    EXPECT_EQ(std::string(sink.data(), 4), "abcd");
    EXPECT_EQ(buf[4], '#');  // no terminator written past the capacity
    EXPECT_TRUE(sink.IsTruncated());
    EXPECT_EQ(sink.RemainingCapacity(), 0);
    sink.Put("x", nullptr);
    EXPECT_EQ(sink.size(), 4);
    EXPECT_EQ(sink.c_str(), buf);  // exactly full: no room for a terminator
}

TEST(BufferSink, TruncationAndMissingRoomStopEveryWidth) {
    unsigned char buf[8];
    BufferCharSink sink(buf, 8);
    CharSink & base = sink;
    base.MarkAsTruncated();  // virtual on the 8-bit sink; the room is kept
    sink.Put("abc", nullptr);
    EXPECT_EQ(sink.size(), 0);
    EXPECT_EQ(sink.RemainingCapacity(), 8);
    EXPECT_EQ(sink.unsigned_c_str()[0], 0);

    unsigned short buf16[4] = {0x2222, 0x2222};
    BufferChar16Sink empty16(buf16, 0);
    unsigned short const text[] = {'h', 'i', 0, 'x'};
    empty16.Put(text, nullptr);
    EXPECT_EQ(buf16[0], 0x2222);  // not even a terminator
    EXPECT_TRUE(empty16.IsTruncated());
    EXPECT_EQ(empty16.RemainingCapacity(), 0);
    BufferChar16Sink sink16(buf16, 4);
    sink16.Put(text, nullptr);  // up to, not including, the first zero
    EXPECT_EQ(sink16.c_str()[2], 0);
    sink16.MarkAsTruncated();  // non-virtual on the 16-bit sink, but it works
    sink16.Put(text, text + 1);
    EXPECT_EQ(sink16.size(), 2);

    unsigned int buf32[2] = {9, 9};
    BufferChar32Sink negative(buf32, -5);
    unsigned int const units[] = {1, 2};
    negative.Put(units, units + 2);
    EXPECT_EQ(buf32[0], 9u);
    EXPECT_EQ(negative.RemainingCapacity(), 0);
    EXPECT_TRUE(negative.IsTruncated());
    BufferCharSink null_buffer(static_cast<char *>(nullptr), 10);
    null_buffer.Put("a", nullptr);
    EXPECT_EQ(null_buffer.RemainingCapacity(), 0);
    EXPECT_TRUE(null_buffer.IsTruncated());
}

TEST(StringSink, AppendsAndCopies) {
    StringChar32Sink sink;
    unsigned int const a[] = {0x10000, 0x41, 0};
    sink.Put(a, nullptr);
    sink.Put(a + 1, a + 2);
    ASSERT_EQ(sink.size(), 3u);
    EXPECT_EQ(sink.str()[0], 0x10000u);
    EXPECT_EQ(sink.c_str()[3], 0u);
    EXPECT_EQ(sink.RemainingCapacity(), -1);
    StringChar32Sink copy(sink);
    copy.Put(a, a + 1);
    EXPECT_EQ(copy.size(), 4u);
    EXPECT_EQ(sink.size(), 3u);
    StringCharSink bytes;
    bytes.Put(reinterpret_cast<unsigned char const *>("\xC3\xA9"), nullptr);
    EXPECT_EQ(bytes.unsigned_data()[0], 0xC3);
    EXPECT_STREQ(bytes.c_str(), "\xC3\xA9");
}

// --- File sinks ------------------------------------------------------------------

namespace {

std::string g_written;
int g_flushes = 0;

std::size_t RecordWrite(void const * data, std::size_t size, std::size_t count, std::FILE *) {
    g_written.append(static_cast<char const *>(data), size * count);
    return count;
}

int RecordFlush(std::FILE *) { return ++g_flushes, 0; }

std::string ReadAll(std::FILE * file) {
    std::rewind(file);
    std::string all;
    char chunk[256];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) all.append(chunk, n);
    return all;
}

}  // namespace

TEST(FileSink, UsesTheGivenFunctionsOrTheCLibrary) {
    FileCharSink sink(stdout, &RecordWrite, &RecordFlush);
    sink.Put("abc", nullptr);
    sink.Flush();
    FileCharSink nowhere(nullptr, &RecordWrite, &RecordFlush);
    nowhere.Put("lost", nullptr);
    nowhere.Flush();
    EXPECT_EQ(g_written, "abc");
    EXPECT_EQ(g_flushes, 1);
    EXPECT_EQ(sink.RemainingCapacity(), -1);

    std::FILE * file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    FileCharSink library(file, &std::fwrite, &std::fflush);
    library.Put("xyz", nullptr);
    library.Flush();
    FileCharSink defaults(file, nullptr, nullptr);  // the C library's functions
    defaults.Put("!", nullptr);
    defaults.Flush();
    // Wide units in machine order, without a mark.
    FileChar16Sink sink16(file);
    unsigned short const u16[] = {0x1234, 0xFEFF};
    sink16.Put(u16, u16 + 2);
    FileChar32Sink sink32(file);
    unsigned int const u32[] = {0x10FFFF};
    sink32.Put(u32, u32 + 1);
    sink32.Flush();
    std::string expected = "xyz!" + std::string(reinterpret_cast<char const *>(u16), sizeof u16);
    expected.append(reinterpret_cast<char const *>(u32), sizeof u32);
    EXPECT_EQ(ReadAll(file), expected);
    std::fclose(file);
}

// --- Proxies and draining ---------------------------------------------------------

TEST(ProxySink, ForwardsWritesFlushCapacityTruncationAndBehaviour) {
    char buf[4];
    BufferCharSink target(buf, 4);
    CharProxySink proxy(&target);
    proxy.Put("ab", nullptr);
    EXPECT_EQ(proxy.RemainingCapacity(), 2);
    // A producer that cannot fit a whole character truncates the final
    // buffer, so nothing smaller is written after the dropped character.
    proxy.MarkAsTruncated();
    EXPECT_TRUE(target.IsTruncated());
    proxy.Put("c", nullptr);
    EXPECT_STREQ(target.c_str(), "ab");

    RecordingCharSink recorder;
    CharProxySink to_recorder(&recorder);
    to_recorder.Flush();
    EXPECT_EQ(recorder.flushes, 1);
    CharProxySink no_target(nullptr);
    no_target.Put("dropped", nullptr);  // discarded, no crash
    no_target.Flush();
    EXPECT_EQ(no_target.RemainingCapacity(), 0);

    UnicodeLibBehavior first(false);
    UnicodeLibBehavior second(false);
    StringChar16Sink target16;
    target16.SetBehavior(&first);
    Char16ProxySink proxy16(&target16);
    EXPECT_EQ(proxy16.GetBehavior(), &first);
    EXPECT_EQ(proxy16.SetBehavior(&second), &first);
    EXPECT_EQ(target16.GetBehavior(), &second);
}

TEST(SinkDrain, EachWindowIsPassedWholeAndConsumed) {
    ChunkCharSource source({{'a', 'b'}, {'c'}, {'d', 'e', 'f'}});
    RecordingCharSink sink;
    sink.Put(source);
    EXPECT_EQ(sink.puts, (std::vector<std::string>{"ab", "c", "def"}));
    EXPECT_EQ(sink.flushes, 0);  // draining does not flush
    EXPECT_EQ(zuuc_test::streams::Window(source), "<end>");

    // Through a proxy source into a fixed buffer that overflows.
    StringCharSource text("hello world", nullptr);
    CharProxySource proxy(&text);
    char buf[6];
    BufferCharSink small(buf, 6);
    small.Put(proxy);
    EXPECT_EQ(std::string(buf, 6), "hello ");
    EXPECT_TRUE(small.IsTruncated());
}
