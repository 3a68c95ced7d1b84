// Encoding converters: pass-through against conversion, converter sinks,
// the invalid output encoding, behaviour reaching both stages, the arena and
// Char16Sink::Put(Char32Source &).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "support/test_encodings.h"
#include "support/utf16_support.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/exceptions.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_encodings.h"

// Counts the global heap allocations made by this thread while counting is on.
namespace {
thread_local bool gCounting = false;
thread_local long gAllocations = 0;
}  // namespace

// The replacements below pair malloc with free; GCC cannot see that the
// operator delete it pairs with operator new is this file's own.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

void * operator new(std::size_t size, std::nothrow_t const &) noexcept {
    gAllocations += gCounting ? 1 : 0;
    return std::malloc(size != 0 ? size : 1);
}
void * operator new(std::size_t size) {
    if (void * p = operator new(size, std::nothrow))
        return p;
    throw std::bad_alloc();
}
void operator delete(void * p) noexcept {
    std::free(p);
}
void operator delete(void * p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void * p, std::nothrow_t const &) noexcept {
    std::free(p);
}

using namespace zuuc_test::utf16;

namespace {

struct CountAllocations {
    CountAllocations() {
        gAllocations = 0;
        gCounting = true;
    }
    ~CountAllocations() { gCounting = false; }
    long count() const { return gAllocations; }
};

// A byte encoding with no converter from Unicode: it cannot be written.
zuuc_test::TestByteEncoding const & Unwritable() {
    static char const * names[] = {"zu-test-unwritable", nullptr};
    static zuuc_test::TestByteEncoding const encoding(0, names);
    return encoding;
}

TEST(EncodingConverterTest, SameEncodingPassesUnitsThroughUntouched) {
    Bytes const invalid = {0x00, 0x41, 0xD8, 0x00, 0x7F};  // a lone surrogate, an odd byte
    ByteSource source(invalid);
    CharEncoding const & bmp = CharEncoding::Unicode20BigEndian();
    CharEncodingConverter converter(source, bmp, bmp);
    EXPECT_EQ(Drain(converter), invalid);
    EXPECT_EQ(&converter.ActualInputEncoding(), &bmp);
    EXPECT_EQ(converter.ActualRating(), ToUnicodeSource::kNotRated);

    // The same wide encodings proxy the input itself.
    u32 const text32[] = {0x110000, 0x41};
    BufferChar32Source source32(text32, text32 + 2);
    Char32EncodingConverter c32(source32, Char32Encoding::UTF32(), Char32Encoding::UTF32());
    u32 const * begin = nullptr;
    u32 const * end = nullptr;
    ASSERT_TRUE(c32.GetBuffer(begin, end));
    EXPECT_TRUE(begin == text32 && end == text32 + 2);  // no stage in between, no validation

    u16 const text16[] = {0xD800, 0x41};
    BufferChar16Source source16(text16, text16 + 2);
    Char16EncodingConverter c16(source16, Char16Encoding::UTF16(), Char16Encoding::UTF16());
    u16 const * b16 = nullptr;
    u16 const * e16 = nullptr;
    ASSERT_TRUE(c16.GetBuffer(b16, e16));
    EXPECT_EQ(b16, text16);
    EXPECT_EQ(&c16.ActualInputEncoding(), &Char16Encoding::UTF16());
}

TEST(EncodingConverterTest, DifferentEncodingsConvertAndReportTheirInput) {
    ByteSource source(Bytes{0xFE, 0xFF, 0x00, 0x41, 0xD8, 0x3D, 0xDE, 0x00});
    CharEncoding const & stream = CharEncoding::Unicode20ByteStream();
    Char32EncodingConverter converter(source, stream, Char32Encoding::UTF32());
    EXPECT_EQ(Drain(converter), Units32({0x41, 0x1F600}));
    EXPECT_EQ(&converter.ActualInputEncoding(), &stream);
    EXPECT_EQ(converter.ActualRating(), ToUnicodeSource::kNotRated);

    // 32 to 8 reports the input encoding itself.
    Unit32Source wide(Units32{0x41});
    CharEncodingConverter bytes(wide, Char32Encoding::UTF32(), CharEncoding::UTF32BigEndian());
    EXPECT_EQ(Drain(bytes), Bytes({0, 0, 0, 0x41}));
    EXPECT_EQ(&bytes.ActualInputEncoding(), &Char32Encoding::UTF32());

    // 16 to 32 through the byte-order-mark variant of UTF-16.
    Char16Encoding const & marked = *Char16Encoding::Lookup("UTF-16:BOM");
    Unit16Source units(Units16{0xFEFF, 0xFEFF, 0x42});
    Char32EncodingConverter from16(units, marked, Char32Encoding::UTF32());
    EXPECT_EQ(Drain(from16), Units32({0xFEFF, 0x42}));
    EXPECT_EQ(&from16.ActualInputEncoding(), &marked);
}

TEST(EncodingConverterSinkTest, SameEncodingStillDecodesAndReencodes) {
    CharEncoding const & bmp = CharEncoding::Unicode20BigEndian();
    StringCharSink target;
    {
        CharEncodingConverterSink sink(bmp, bmp, target);
        Bytes const invalid = {0xD8, 0x00, 0x00, 0x41, 0x00};
        sink.Put(invalid.data(), invalid.data() + invalid.size());
        sink.Flush();
    }
    // The lone high surrogate and the odd byte become the substitute U+FFFD.
    EXPECT_EQ(BytesOf(target), Bytes({0xFF, 0xFD, 0x00, 0x41, 0xFF, 0xFD}));
}

TEST(EncodingConverterSinkTest, DestroyingTheSinkFinishesIntoTheTarget) {
    StringChar32Sink target;
    {
        CharEncodingConverterSink sink(CharEncoding::Unicode20ByteStream(), Char32Encoding::UTF32(),
                                       target);
        Bytes const odd = {0xFE, 0xFF, 0x00, 0x41, 0x00};
        sink.Put(odd.data(), odd.data() + odd.size());
        EXPECT_EQ(UnitsOf(target), Units32({0x41}));
    }  // no Flush: the odd byte is reported while the stages are destroyed
    EXPECT_EQ(UnitsOf(target), Units32({0x41, 0xFFFD}));
}

TEST(EncodingConverterSinkTest, FixedTargetsReceiveWholeCharactersOnly) {
    unsigned char area[5];
    BufferCharSink bytes(area, 5);
    {
        Char16EncodingConverterSink sink(Char16Encoding::UTF16(),
                                         CharEncoding::Unicode20BigEndian(), bytes);
        Units16 const text = {0x41, 0xD83D, 0xDE00, 0x42};
        sink.Put(text.data(), text.data() + text.size());
        sink.Flush();
    }
    EXPECT_EQ(bytes.size(), 2);  // the pair needs four bytes, three were left
    EXPECT_TRUE(bytes.IsTruncated());

    u16 units[2];
    BufferChar16Sink wide(units, 2);
    {
        Char32EncodingConverterSink sink(Char32Encoding::UTF32(), Char16Encoding::UTF16(), wide);
        Units32 const text = {0x41, 0x10000};
        sink.Put(text.data(), text.data() + text.size());
    }
    EXPECT_EQ(wide.size(), 1);
}

TEST(EncodingConverterTest, OutputEncodingThatCannotBeWrittenThrows) {
    Unit16Source source(Units16{0x41});
    try {
        CharEncodingConverter converter(source, Char16Encoding::UTF16(), Unwritable());
        FAIL() << "no exception";
    } catch (InvalidOutputEncoding const & e) {
        EXPECT_EQ(std::string(e.what()), "Invalid output encoding: zu-test-unwritable");
        EXPECT_EQ(&e.GetEncoding(), &Unwritable());
    }
    StringCharSink target;
    EXPECT_THROW(Char32EncodingConverterSink(Char32Encoding::UTF32(), Unwritable(), target),
                 InvalidOutputEncoding);
    // The same encoding on both sides passes through: nothing needs writing.
    ByteSource bytes(Bytes{0x41});
    CharEncodingConverter same(bytes, Unwritable(), Unwritable());
    EXPECT_EQ(Drain(same), Bytes({0x41}));
}

TEST(EncodingConverterTest, SetBehaviorReachesBothStages) {
    // UTF-32 bytes in: a value above U+10FFFF (a problem for the encoding
    // stage) and three bytes left over (a problem for the decoding stage).
    ByteSource source(Bytes{0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41, 0x00, 0x00, 0x42});
    CharEncodingConverter converter(source, CharEncoding::UTF32BigEndian(),
                                    CharEncoding::Unicode20BigEndian());
    CountingBehavior counting;
    converter.SetBehavior(&counting);
    EXPECT_EQ(converter.GetBehavior(), &counting);
    EXPECT_EQ(Drain(converter), Bytes({0xFF, 0xFD, 0x00, 0x41, 0xFF, 0xFD}));
    EXPECT_TRUE(counting.from_32_to_16 == 1 && counting.bytes_to_32 == 1 && counting.Total() == 2);

    StringChar16Sink target;
    {
        CharEncodingConverterSink sink(CharEncoding::UTF32BigEndian(), Char16Encoding::UTF16(),
                                       target);
        sink.SetBehavior(&counting);
        Bytes const text = {0x00, 0x11, 0x00, 0x00, 0x00, 0x00, 0x00, 0x41, 0x00};
        sink.Put(text.data(), text.data() + text.size());
        sink.Flush();
    }
    EXPECT_EQ(UnitsOf(target), Units16({0xFFFD, 0x41, 0xFFFD}));
    EXPECT_EQ(counting.Total(), 4);
}

TEST(EncodingConverterTest, StagesLiveInTheArena) {
    // The process-wide objects, sources and targets are made beforehand:
    // only the converters' own allocations are counted.
    CharEncoding const & input = CharEncoding::UTF32BigEndian();
    Char16Encoding const & output = Char16Encoding::UTF16();
    CharEncoding const & stream = CharEncoding::Unicode20ByteStream();
    ByteSource source(Bytes{0x00, 0x00, 0x00, 0x41, 0x00, 0x01, 0xF6, 0x00});
    Unit16Source units(Units16{0x41});
    u16 const a = 0x41;
    unsigned char area[16];
    BufferCharSink target(area, sizeof area);
    long allocations = 0;
    {
        CountAllocations heap;
        Char16EncodingConverter converter(source, input, output);
        u16 const * begin = nullptr;
        u16 const * end = nullptr;
        ASSERT_TRUE(converter.GetBuffer(begin, end));
        EXPECT_TRUE(converter.InArena(begin));                // the encoding stage's window
        EXPECT_TRUE(end - begin == 3 && begin[1] == 0xD83D);  // compared without the heap
        converter.DoneWith(end);
        allocations += heap.count();
    }
    {
        CountAllocations heap;
        CharEncodingConverter converter(units, output, CharEncoding::Unicode20BigEndian());
        char const * begin = nullptr;
        char const * end = nullptr;
        ASSERT_TRUE(converter.GetBuffer(begin, end));
        EXPECT_TRUE(converter.InArena(begin));
        allocations += heap.count();
    }
    {
        CountAllocations heap;
        Char16EncodingConverterSink sink(output, stream, target);
        sink.Put(&a, &a + 1);
        allocations += heap.count();
    }
    // The byte stream with a mark needs more stages than fit beside the
    // UTF-16 decoder; the rest comes from the heap (outside operator new).
    {
        Unit16Source more(Units16{0x42});
        CharEncodingConverter converter(more, output, stream);
        EXPECT_EQ(Drain(converter).size(), 4u);
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(target.size(), 4);
}

TEST(Char16SinkPutTest, UTF32SourceBecomesUTF16) {
    Unit32Source source(Units32{0x41, 0x10437, 0xD800}, {1, 1});
    StringChar16Sink sink;
    sink.Put(source);
    EXPECT_EQ(UnitsOf(sink), Units16({0x41, 0xD801, 0xDC37, 0xD800}));
}

}  // namespace
