// Buffer, string, file and proxy sources.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "streams/stream_test_util.h"
#include "zuuc/behavior.h"
#include "zuuc/sources.h"

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
    if (++calls % 2 == 0) return 0;
    std::memcpy(buffer, "xy", 2);
    return 2;
}

std::size_t LyingRead(void *, std::size_t, std::size_t count, std::FILE *) { return count * 10; }

}  // namespace

TEST(FileSource, ReadsBlocksOf1024IntoOneReusedBuffer) {
    std::FILE * file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    std::string content(2500, '\0');
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
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
        if (first_start == nullptr) first_start = b;
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
    EXPECT_EQ(DrainChars(source), "xy");  // asks again after an end
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
        if (++fills_ > 2) return false;
        SetWindow(fills_ == 1 ? first_ : second_, (fills_ == 1 ? first_ : second_) + 2);
        if (fills_ == 2) throw Stop();
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
