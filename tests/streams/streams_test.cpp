// The streams: buffer, string, file and proxy sources; stdio-style reading
// (single units, push-back, lines); buffer, string, file and proxy sinks and
// draining sources into sinks; directed proxies, which own the chain of
// stages behind them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "../../src/streams/directed_proxies.h"
#include "zuuc/behavior.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"

// Helpers: a source that yields given chunks as its windows, a sink that
// records each range it receives, and readers of whole sources and single
// windows.
namespace zuuc_test::streams {

// Yields each chunk as one window, copied into a scratch buffer that is
// reused for every window (like a file source does), and counts refills.
template <class Base, class T>
class ChunkSource : public Base {
public:
    explicit ChunkSource(std::vector<std::vector<T>> chunks) : chunks_(std::move(chunks)) {}

    int fills = 0;  // FillBuffer calls
    T const * Position() const { return this->position_; }

protected:
    bool FillBuffer() override {
        ++fills;
        if (next_ == chunks_.size())
            return false;
        scratch_ = chunks_[next_++];
        this->SetWindow(scratch_.data(), scratch_.data() + scratch_.size());
        return true;
    }

private:
    std::vector<std::vector<T>> chunks_;
    std::size_t next_ = 0;
    std::vector<T> scratch_;
};

using ChunkCharSource = ChunkSource<CharSource, char>;
using Chunk16Source = ChunkSource<Char16Source, unsigned short>;
using Chunk32Source = ChunkSource<Char32Source, unsigned int>;

// Records every PutBuffer range; capacity and truncation are scriptable.
class RecordingCharSink : public CharSink {
public:
    std::vector<std::string> puts;
    int flushes = 0;
    int truncations = 0;
    long capacity = -1;

    std::string Joined() const {
        std::string all;
        for (auto const & p : puts)
            all += p;
        return all;
    }
    void Flush() override { ++flushes; }
    long RemainingCapacity() const override { return capacity; }
    void MarkAsTruncated() override { ++truncations; }

protected:
    void PutBuffer(char const * begin, char const * end) override { puts.emplace_back(begin, end); }
};

// Everything the source still holds, each window consumed whole.
template <class T, class Source>
std::vector<T> DrainUnits(Source & source) {
    std::vector<T> all;
    T const * b = nullptr;
    T const * e = nullptr;
    while (source.GetBuffer(b, e)) {
        all.insert(all.end(), b, e);
        source.DoneWith(e);
    }
    return all;
}

inline std::string DrainChars(CharSource & source) {
    std::vector<char> const v = DrainUnits<char>(source);
    return std::string(v.begin(), v.end());
}

// The window the source offers now, not consumed, or "<end>".
inline std::string Window(CharSource & source) {
    char const * b = nullptr;
    char const * e = nullptr;
    return source.GetBuffer(b, e) ? std::string(b, e) : "<end>";
}

}  // namespace zuuc_test::streams

using namespace zuuc_test::streams;

TEST(BufferSource, TerminatedEmptyAndPartlyConsumedForms) {
    char const text[] = "hello";
    BufferCharSource terminated(text, nullptr);
    char const * b = nullptr;
    char const * e = nullptr;
    ASSERT_TRUE(terminated.GetBuffer(b, e));
    EXPECT_EQ(b, text);
    EXPECT_EQ(e, text + 5);
    BufferCharSource at_end("", nullptr);
    EXPECT_FALSE(at_end.GetBuffer(b, e));
    EXPECT_EQ(b, text);  // left alone at end of input
    BufferCharSource none(nullptr, nullptr);
    StringCharSource no_text(nullptr, nullptr);
    EXPECT_EQ(Window(none) + Window(no_text), "<end><end>");
    unsigned short const units[] = {0x41, 0xFFFF, 0};
    BufferChar16Source source16(units, nullptr);
    EXPECT_EQ(DrainUnits<unsigned short>(source16), (std::vector<unsigned short>{0x41, 0xFFFF}));

    terminated.DoneWith(nullptr);  // changes nothing
    ASSERT_TRUE(terminated.GetBuffer(b, e));
    terminated.DoneWith(b + 2);
    // A copy continues from where the original stands; both read on alone.
    BufferCharSource copy(terminated);
    EXPECT_EQ(DrainChars(copy), "llo");
    EXPECT_EQ(DrainChars(terminated), "llo");
    EXPECT_EQ(DrainChars(terminated), "");
    unsigned char const bytes[] = {0xFF, 0x80};  // the unsigned overloads read the same window
    BufferCharSource unsigned_source(bytes, bytes + 2);
    EXPECT_EQ(DrainUnits<unsigned char>(unsigned_source), (std::vector<unsigned char>{0xFF, 0x80}));
}

TEST(StringSource, OwnsItsCopyAndCopiesOnlyTheRest) {
    char text[] = "abcdef";
    StringCharSource source(text, nullptr);
    std::strcpy(text, "XXXXXX");  // the source holds its own copy
    char const * b = nullptr;
    char const * e = nullptr;
    ASSERT_TRUE(source.GetBuffer(b, e));
    ASSERT_EQ(std::string(b, e), "abcdef");
    source.DoneWith(b + 4);
    StringCharSource rest(source);
    EXPECT_EQ(DrainChars(rest), "ef");
    StringCharSource assigned(zu_string("zz"));
    assigned = source;
    StringCharSource & same = assigned;
    assigned = same;  // self-assignment keeps the text
    EXPECT_EQ(DrainChars(assigned) + DrainChars(source), "efef");

    zu_utf32_string wide;
    wide += 0x10FFFFu;
    wide += 0x41u;
    StringChar32Source source32(wide);
    unsigned int * map = &wide[0];
    unsigned int count = 7;
    EXPECT_FALSE(source32.GetOffsetMap(map, count));  // the base keeps no offset map
    EXPECT_EQ(map, nullptr);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(source32.GetOffsetAt(12345u), 12345u);
    EXPECT_EQ(DrainUnits<unsigned int>(source32), (std::vector<unsigned int>{0x10FFFF, 0x41}));
}

// --- File source ---------------------------------------------------------------

namespace {

std::vector<std::size_t> g_requests;

std::size_t CountingRead(void * buffer, std::size_t size, std::size_t count, std::FILE * file) {
    g_requests.push_back(size * count);
    return std::fread(buffer, size, count, file);
}

std::size_t ShortRead(void * buffer, std::size_t, std::size_t, std::FILE *) {
    static int calls = 0;
    if (++calls % 2 == 0)
        return 0;
    std::memcpy(buffer, "xy", 2);
    return 2;
}

std::size_t LyingRead(void *, std::size_t, std::size_t count, std::FILE *) {
    return count * 10;
}

}  // namespace

TEST(FileSource, ReadsBlocksOf1024IntoOneReusedBuffer) {
    std::FILE * file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string content(2500, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>('a' + i % 26);
    ASSERT_EQ(std::fwrite(content.data(), 1, content.size(), file), content.size());
    std::rewind(file);

    g_requests.clear();
    FileCharSource source(file, &CountingRead);
    std::vector<long> sizes;
    std::string read;
    char const * first_start = nullptr;
    char const * b = nullptr;
    char const * e = nullptr;
    while (source.GetBuffer(b, e)) {
        if (first_start == nullptr)
            first_start = b;
        EXPECT_EQ(b, first_start);  // every window lives in the same buffer
        sizes.push_back(e - b);
        read.append(b, e);
        source.DoneWith(e);
    }
    EXPECT_EQ(sizes, (std::vector<long>{1024, 1024, 452}));
    EXPECT_EQ(read, content);
    EXPECT_EQ(g_requests, (std::vector<std::size_t>{1024, 1024, 1024, 1024}));

    // No end flag is kept: data appended later is read on.
    std::fseek(file, 0, SEEK_END);
    std::fputs("more", file);
    std::fseek(file, -4, SEEK_END);
    EXPECT_EQ(DrainChars(source), "more");
    // The read function has fread's own signature.
    std::rewind(file);
    FileCharSource direct(file, &std::fread);
    EXPECT_EQ(DrainChars(direct).size(), 2504u);
    std::fclose(file);
}

TEST(FileSource, ShortReadsAreWindowsAndOnlyZeroEnds) {
    FileCharSource source(stdin, &ShortRead);  // never touches stdin itself
    EXPECT_EQ(DrainChars(source), "xy");
    EXPECT_EQ(DrainChars(source), "xy");     // asks again after an end
    FileCharSource liar(stdin, &LyingRead);  // claims more than it was given
    EXPECT_EQ(Window(liar).size(), 1024u);
    FileCharSource no_file(nullptr, nullptr);
    EXPECT_EQ(Window(no_file), "<end>");
}

// --- Proxies ---------------------------------------------------------------------

namespace {

class ExposedProxy : public CharProxySource {
public:
    using CharProxySource::CharProxySource;
    using CharProxySource::SetProxy;
};

// Sets its second window, then throws once (as a converting source does when
// its behaviour throws after part of a window was converted).
class ThrowsOnceSource : public CharSource {
public:
    struct Stop {};

protected:
    bool FillBuffer() override {
        if (++fills_ > 2)
            return false;
        SetWindow(fills_ == 1 ? first_ : second_, (fills_ == 1 ? first_ : second_) + 2);
        if (fills_ == 2)
            throw Stop();
        return true;
    }

private:
    int fills_ = 0;
    char second_[2] = {'c', 'd'};  // before the first window in memory
    char first_[2] = {'a', 'b'};
};

}  // namespace

TEST(ProxySource, PassesConsumptionDownOneWindowLateAndEndsForGood) {
    ChunkCharSource inner({{'a', 'b', 'c'}, {'d', 'e'}});
    CharProxySource proxy(&inner);
    char const * b = nullptr;
    char const * e = nullptr;
    ASSERT_TRUE(proxy.GetBuffer(b, e));
    EXPECT_EQ(std::string(b, e), "abc");
    proxy.DoneWith(b + 1);
    EXPECT_EQ(inner.Position(), b);  // not yet told
    ASSERT_TRUE(proxy.GetBuffer(b, e));
    EXPECT_EQ(std::string(b, e), "bc");
    proxy.DoneWith(e);
    EXPECT_EQ(inner.Position(), b - 1);  // still not told: no refill yet
    EXPECT_EQ(DrainChars(proxy), "de");
    EXPECT_EQ(inner.fills, 3);
    EXPECT_EQ(Window(proxy) + Window(proxy), "<end><end>");
    EXPECT_EQ(inner.fills, 3);  // exhausted: never asked again
    CharProxySource over_nothing(nullptr);
    EXPECT_EQ(Window(over_nothing), "<end>");
}

TEST(ProxySource, BehaviourFlowsDownAndSetProxyStartsAfresh) {
    UnicodeLibBehavior first(false);
    UnicodeLibBehavior second(false);
    Chunk16Source inner({{1, 2}});
    inner.SetBehavior(&first);
    Char16ProxySource proxy16(&inner);
    EXPECT_EQ(proxy16.GetBehavior(), &first);  // taken from the proxied source
    EXPECT_EQ(proxy16.SetBehavior(&second), &first);
    EXPECT_EQ(inner.GetBehavior(), &second);
    proxy16.SetBehavior(nullptr);
    EXPECT_EQ(inner.GetBehavior(), UnicodeLibBehavior::GetDefaultBehavior());
    EXPECT_EQ(proxy16.GetBehavior(), UnicodeLibBehavior::GetDefaultBehavior());

    ChunkCharSource old_source({{'o', 'l', 'd'}});
    ChunkCharSource new_source({{'n', 'e', 'w'}});
    new_source.SetBehavior(&first);
    ExposedProxy proxy(&old_source);
    char const * b = nullptr;
    char const * e = nullptr;
    ASSERT_TRUE(proxy.GetBuffer(b, e));
    proxy.DoneWith(b + 1);
    EXPECT_EQ(Window(new_source), "new");  // the new source has a window of its own
    proxy.SetProxy(&new_source);
    EXPECT_EQ(proxy.GetBehavior(), &first);
    EXPECT_EQ(DrainChars(proxy), "new");  // nothing of the old window leaks through
    EXPECT_EQ(old_source.fills, 1);
}

TEST(ProxySource, ExceptionsPassThroughAndReadingResumesCleanly) {
    ThrowsOnceSource inner;
    CharProxySource proxy(&inner);
    char const * b = nullptr;
    char const * e = nullptr;
    ASSERT_TRUE(proxy.GetBuffer(b, e));
    proxy.DoneWith(e);
    EXPECT_THROW(proxy.GetBuffer(b, e), ThrowsOnceSource::Stop);
    EXPECT_EQ(DrainChars(proxy), "cd");  // nothing lost, nothing repeated
}

TEST(StdioSource, UnitsAreNonNegativeAtEveryWidthWithOneUnitOfPushBack) {
    unsigned short const units16[] = {0xFFFF};
    BufferChar16Source source16(units16, units16 + 1);
    Stdio16Source stdio16(source16);
    unsigned int const units32[] = {0xFFFFFFFFu};
    BufferChar32Source source32(units32, units32 + 1);
    Stdio32Source stdio32(source32);
    EXPECT_EQ(
        std::vector<long>({stdio16.fgetc(), stdio16.fgetc(), stdio32.fgetc(), stdio32.fgetc()}),
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
    EXPECT_EQ(buf[3], '#');         // never more than n units written
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
    EXPECT_EQ(std::vector<unsigned short>(buf.begin(), buf.begin() + 2),
              (std::vector<unsigned short>{'q', 0}));
    EXPECT_EQ(stdio.gets(buf.data(), 10), nullptr);  // end of input
    EXPECT_EQ(stdio.gets(buf.data(), 0), nullptr);
    EXPECT_EQ(stdio.gets(buf.data(), -2), nullptr);

    Chunk32Source source32({{'a', 'b', 'c', '\n', 'd'}});
    Stdio32Source stdio32(source32);
    unsigned int buf32[4] = {7, 7, 7, 7};
    stdio32.ungetc('P');
    ASSERT_EQ(stdio32.gets(buf32, 3), buf32);  // P counts against the limit of two
    EXPECT_EQ(std::vector<unsigned int>(buf32, buf32 + 4),
              (std::vector<unsigned int>{'P', 'a', 0, 7}));
    ASSERT_EQ(stdio32.gets(buf32, 4), buf32);  // "bc", its feed consumed
    EXPECT_EQ(buf32[1], 'c');
    EXPECT_EQ(stdio32.fgetc(), static_cast<long>('d'));
    stdio32.ungetc('\n');
    ASSERT_EQ(stdio32.gets(buf32, 4), buf32);  // a pushed-back feed is an empty line
    EXPECT_EQ(buf32[0], 0u);
    EXPECT_EQ(stdio32.feof_(), 1);
}

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

int RecordFlush(std::FILE *) {
    return ++g_flushes, 0;
}

std::string ReadAll(std::FILE * file) {
    std::rewind(file);
    std::string all;
    char chunk[256];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        all.append(chunk, n);
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

namespace {

std::vector<std::string> g_deleted;

// A pass-through source stage that notes its destruction.
class LoggedStage32 : public Char32ProxySource {
public:
    LoggedStage32(char const * name, Char32Source * input)
        : Char32ProxySource(input), name_(name) {}
    ~LoggedStage32() override { g_deleted.push_back(name_); }

private:
    char const * name_;
};

// A sink stage that holds everything back until it is destroyed or flushed,
// like a converter that owes output at the end.
class HoldingSink : public CharProxySink {
public:
    explicit HoldingSink(CharSink * target) : CharProxySink(target) {}
    ~HoldingSink() override {
        Release();
        g_deleted.push_back("holding");
    }
    void Flush() override {
        Release();
        CharProxySink::Flush();
    }

protected:
    void PutBuffer(char const * begin, char const * end) override { held_.append(begin, end); }

private:
    void Release() {
        if (!held_.empty()) {
            CharProxySink::PutBuffer(held_.data(), held_.data() + held_.size());
            held_.clear();
        }
    }
    std::string held_;
};

class LoggedProxySink : public CharProxySink {
public:
    explicit LoggedProxySink(CharSink * target) : CharProxySink(target) {}
    ~LoggedProxySink() override { g_deleted.push_back("inner"); }
};

}  // namespace

TEST(DirectedProxySource, ReadsThroughAndDeletesItsStagesInOrder) {
    g_deleted.clear();
    alignas(16) unsigned char arena[1024];
    LinearAllocator allocator(arena, sizeof arena, "test", 0);
    unsigned int const text[] = {'a', 0x1F600, 'b', 0};
    BufferChar32Source caller_source(text, nullptr);

    auto * inner = new (allocator) LoggedStage32("first", &caller_source);
    auto * outer = new LoggedStage32("second", inner);  // one on the heap
    Char32Source * chain = new (allocator) DirectedChar32ProxySource(outer, inner, outer);

    std::vector<unsigned int> read;
    unsigned int const * b = nullptr;
    unsigned int const * e = nullptr;
    while (chain->GetBuffer(b, e)) {
        read.insert(read.end(), b, e);
        chain->DoneWith(e);
    }
    EXPECT_EQ(read, (std::vector<unsigned int>{'a', 0x1F600, 'b'}));
    delete chain;  // the director deletes both stages; ASan checks the memory
    EXPECT_EQ(g_deleted, (std::vector<std::string>{"first", "second"}));
}

TEST(DirectedProxySource, BehaviourReachesStagesOutsideTheProxiedPath) {
    UnicodeLibBehavior mine(false);
    unsigned short const text[] = {'x', 0};
    BufferChar16Source caller_source(text, nullptr);
    // `side` is owned but not on the forwarding path of the proxy.
    auto * side = new BufferChar16Source(text, nullptr);
    auto * stage = new Char16ProxySource(&caller_source);
    DirectedChar16ProxySource chain(stage, stage, side);
    // A null behaviour means the library default, for every stage alike.
    for (UnicodeLibBehavior * b : {&mine, static_cast<UnicodeLibBehavior *>(nullptr)}) {
        chain.SetBehavior(b);
        UnicodeLibBehavior * const expected = b ? b : UnicodeLibBehavior::GetDefaultBehavior();
        for (Char16Source * s :
             {static_cast<Char16Source *>(side), static_cast<Char16Source *>(stage),
              static_cast<Char16Source *>(&caller_source), static_cast<Char16Source *>(&chain)}) {
            EXPECT_EQ(s->GetBehavior(), expected);
        }
    }
}

TEST(DirectedProxySink, OuterStageFlushesIntoTheInnerOneOnDestruction) {
    g_deleted.clear();
    char buf[16];
    BufferCharSink caller_sink(buf, sizeof buf);
    auto * inner = new LoggedProxySink(&caller_sink);
    auto * outer = new HoldingSink(inner);
    CharSink * chain = new DirectedCharProxySink(outer, outer, inner);
    chain->Put("held", nullptr);
    EXPECT_EQ(caller_sink.size(), 0);
    delete chain;  // no Flush: what is owed still reaches the caller's sink
    EXPECT_STREQ(caller_sink.c_str(), "held");
    EXPECT_EQ(g_deleted, (std::vector<std::string>{"holding", "inner"}));
}

TEST(DirectedProxySink, BuildsInStepsAndForwardsCapacity) {
    UnicodeLibBehavior mine(false);
    RecordingCharSink caller_sink;
    caller_sink.SetBehavior(&mine);
    caller_sink.capacity = 3;
    DirectedCharProxySink chain(nullptr, nullptr, nullptr);
    EXPECT_EQ(chain.RemainingCapacity(), 0);  // nowhere to write yet
    auto * stage = new CharProxySink(&caller_sink);
    chain.Director().DeleteFirst(stage);
    chain.SetProxy(stage);
    EXPECT_EQ(chain.GetBehavior(), &mine);  // taken from the new target
    EXPECT_EQ(chain.RemainingCapacity(), 3);
    chain.Put("abc", nullptr);
    chain.MarkAsTruncated();
    EXPECT_EQ(caller_sink.Joined(), "abc");
    EXPECT_EQ(caller_sink.truncations, 1);
}
