// The stream factories of BlockCharEncoding build working adapters around
// the encoding's own UTF-32 transcoders.
#include <gtest/gtest.h>

#include <cstdlib>

#include "convert/engine_test_util.h"
#include "zuuc/detector.h"

using namespace engine_test;
using namespace zuuc_test;

namespace {

// A byte encoding whose transcoders are toys: bytes map to code points
// unchanged; '!' is illegal on the way in and '#' unrepresentable on the way out.
ToyOptions QuestionMark() {
    ToyOptions options;
    options.substitute = "?";
    return options;
}

// Serves the first `budget` requests from the heap, then fails.
class RationedAllocator : public UnicodeLibAllocator {
public:
    explicit RationedAllocator(int budget) : budget_(budget) {}
    void * Allocate(unsigned int size) override {
        if (budget_-- <= 0) return nullptr;
        return std::malloc(size);
    }
    void Free(void * block) override { std::free(block); }

private:
    int budget_;
};

class Factories : public ::testing::Test {
protected:
    void SetUp() override {
        // The Unicode side of the adapters is the registered UTF-32 encoding.
        unicode_ = Char32Encoding::Lookup(TextEncodingID::UTF32());
        ASSERT_NE(nullptr, unicode_);
    }

    bool InArena(void const * p) const {
        auto const * c = static_cast<unsigned char const *>(p);
        return c >= arena_ && c < arena_ + sizeof(arena_);
    }

    alignas(16) unsigned char arena_[64 * 1024];
    Char32Encoding const * unicode_ = nullptr;
};

}  // namespace

TEST_F(Factories, BuildWorkingAdaptersInTheCallersAllocator) {
    ToyByteEncoding encoding(QuestionMark());
    ToyLog & log = encoding.log;
    RecordingBehavior behavior;
    LinearAllocator allocator(arena_, sizeof(arena_), "engine", 1);

    // Bytes to Unicode through a source.
    BufferCharSource bytes("to!unicode", nullptr);
    bytes.SetBehavior(&behavior);
    ToUnicodeSource * decoded = encoding.CreateCharSourceToUnicode(bytes, allocator);
    ASSERT_NE(nullptr, decoded);
    EXPECT_TRUE(InArena(decoded));
    EXPECT_EQ(&encoding, &decoded->ActualInputEncoding());
    EXPECT_EQ(ToUnicodeSource::kNotRated, decoded->ActualRating());
    std::vector<u32> code_points = ReadAll<Char32Source, u32>(*decoded);
    EXPECT_EQ("to*unicode", Text(code_points));
    ASSERT_EQ(1u, behavior.records.size());
    EXPECT_EQ(&encoding, behavior.records[0].input_encoding);
    EXPECT_EQ(unicode_, behavior.records[0].output_encoding);
    delete decoded;

    // Unicode to bytes through a source.
    std::vector<u32> text = Units<u32>("from#unicode");
    BufferChar32Source units(text.data(), text.data() + text.size());
    CharSource * encoded = encoding.CreateCharSourceFromUnicode(units, allocator);
    ASSERT_NE(nullptr, encoded);
    EXPECT_TRUE(InArena(encoded));
    EXPECT_EQ("from?unicode", Text(ReadAll<CharSource, char>(*encoded)));
    delete encoded;

    // Unicode to bytes through a sink.
    char buffer[32] = {};
    BufferCharSink byte_sink(buffer, sizeof(buffer));
    Char32Sink * encoder = encoding.CreateCharSinkFromUnicode(byte_sink, allocator);
    ASSERT_NE(nullptr, encoder);
    EXPECT_TRUE(InArena(encoder));
    encoder->Put(text.data(), text.data() + text.size());
    encoder->Flush();
    EXPECT_EQ("from?unicode", std::string(byte_sink.c_str()));
    delete encoder;

    // Bytes to Unicode through a sink.
    StringChar32Sink unicode_sink;
    CharSink * decoder = encoding.CreateCharSinkToUnicode(unicode_sink, allocator);
    ASSERT_NE(nullptr, decoder);
    EXPECT_TRUE(InArena(decoder));
    decoder->Put("sink!s", nullptr);
    delete decoder;
    ASSERT_EQ(6u, unicode_sink.size());
    EXPECT_EQ(0xFFFDu, unicode_sink.data()[4]);

    EXPECT_EQ(4, log.destroyed);  // each adapter deleted its transcoder
}

TEST_F(Factories, ReturnNullWhenTheEncodingHasNoTranscoder) {
    TestByteEncoding encoding(0, ToyNames());  // its converter factories return null
    LinearAllocator allocator(arena_, sizeof(arena_), "engine", 2);
    BufferCharSource bytes("x", nullptr);
    std::vector<u32> none;
    BufferChar32Source units(none.data(), none.data());
    StringCharSink byte_sink;
    StringChar32Sink unicode_sink;
    EXPECT_EQ(nullptr, encoding.CreateCharSourceToUnicode(bytes, allocator));
    EXPECT_EQ(nullptr, encoding.CreateCharSourceFromUnicode(units, allocator));
    EXPECT_EQ(nullptr, encoding.CreateCharSinkFromUnicode(byte_sink, allocator));
    EXPECT_EQ(nullptr, encoding.CreateCharSinkToUnicode(unicode_sink, allocator));
}

TEST_F(Factories, ReturnNullWhenAllocationFailsAndLeakNothing) {
    ToyByteEncoding encoding;
    ToyLog & log = encoding.log;
    BufferCharSource bytes("x", nullptr);
    StringChar32Sink unicode_sink;
    {
        RationedAllocator none(0);  // not even the transcoder
        EXPECT_EQ(nullptr, encoding.CreateCharSourceToUnicode(bytes, none));
    }
    {
        RationedAllocator one(1);  // the transcoder, but not the adapter
        EXPECT_EQ(nullptr, encoding.CreateCharSourceToUnicode(bytes, one));
        EXPECT_EQ(1, log.destroyed);
        EXPECT_EQ(nullptr, encoding.CreateCharSinkToUnicode(unicode_sink, one));
    }
    {
        RationedAllocator two(2);
        CharSink * sink = encoding.CreateCharSinkToUnicode(unicode_sink, two);
        ASSERT_NE(nullptr, sink);
        delete sink;  // back to the rationed allocator
        EXPECT_EQ(2, log.destroyed);
    }
}

TEST(FactoryAllocation, EveryFactoryGivesNullWhenMemoryRunsOutAndThrowsNothing) {
    // One encoding of each family, with every budget of allocations up to
    // what the deepest of their chains needs.
    CharEncoding::UTF8BOM();  // variants are found by name once they exist
    for (char const * name : {"UTF-8", "UTF8BOM", "UTF-32:UTF-8", "windows-1252", "Shift_JIS",
                              "EUC-JP", "ISO-2022-JP", "GB18030", "HZ-GB-2312", "Big5"}) {
        CharEncoding const * encoding = CharEncoding::Lookup(name);
        ASSERT_NE(nullptr, encoding) << name;
        for (int budget = 0; budget < 6; ++budget) {
            SCOPED_TRACE(testing::Message() << name << ", budget " << budget);
            RationedAllocator allocator(budget);
            auto check = [&](auto * made) {
                delete made;  // null, or a whole object
            };
            EXPECT_NO_THROW(check(encoding->CreateConverterToUTF16(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterFromUTF16(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterToUTF32(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterFromUTF32(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateEncodingDetector(allocator)));
            char const text[] = "abc";
            StringCharSource bytes(text, text + 3);
            EXPECT_NO_THROW(check(encoding->CreateCharSourceToUnicode(bytes, allocator)));
        }
    }
}
