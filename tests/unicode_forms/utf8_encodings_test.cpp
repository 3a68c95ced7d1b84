// The UTF-8 and UTF-EBCDIC encodings: names, accessors, substitutes, and
// conversion through their sources, sinks and converters.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>

#include "support/test_encodings.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/char_encoding.h"
#include "zuuc/detector.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/utf8_encodings.h"

using namespace zuuc_test::utf8;

namespace {

using u16 = unsigned short;
using u32 = unsigned int;

template <class T>
std::unique_ptr<T> Own(T * p) {
    return std::unique_ptr<T>(p);
}

std::vector<u32> Decode(CharEncoding const & encoding, std::vector<char> const & bytes,
                        std::size_t chunk) {
    HeapAllocator allocator;
    ChunkedCharSource input(bytes, chunk);
    auto source = Own(encoding.CreateCharSourceToUnicode(input, allocator));
    EXPECT_NE(nullptr, source);
    return source ? ReadAll32(*source) : std::vector<u32>{};
}

// Puts `input` into the sink made by `make` in pieces of `chunk` units,
// flushes it and returns what reached the target.
template <class Target, class In, class Make>
auto PutInChunks(Make make, std::vector<In> const & input, std::size_t chunk) {
    HeapAllocator allocator;
    Target target;
    {
        auto sink = Own(make(target, allocator));
        EXPECT_NE(nullptr, sink);
        for (std::size_t i = 0; sink && i < input.size(); i += chunk) {
            sink->Put(input.data() + i, input.data() + std::min(i + chunk, input.size()));
        }
        if (sink) sink->Flush();
    }
    return target;
}

std::vector<char> EncodeThroughSink(CharEncoding const & encoding, std::vector<u32> const & text,
                                    std::size_t chunk) {
    auto make = [&](CharSink & t, HeapAllocator & a) { return encoding.CreateCharSinkFromUnicode(t, a); };
    return PutInChunks<VectorCharSink>(make, text, chunk).bytes;
}

std::vector<u32> DecodeThroughSink(CharEncoding const & encoding, std::vector<char> const & bytes,
                                   std::size_t chunk) {
    auto make = [&](Char32Sink & t, HeapAllocator & a) { return encoding.CreateCharSinkToUnicode(t, a); };
    return PutInChunks<VectorChar32Sink>(make, bytes, chunk).units;
}

std::vector<char> EncodeThroughSource(CharEncoding const & encoding, std::vector<u32> const & text) {
    HeapAllocator allocator;
    BufferChar32Source input(text.data(), text.data() + text.size());
    auto source = Own(encoding.CreateCharSourceFromUnicode(input, allocator));
    EXPECT_NE(nullptr, source);
    return source ? ReadAllBytes(*source) : std::vector<char>{};
}

}  // namespace

TEST(UTF8Encodings, DecodingThroughSourcesSubstitutesProblems) {
    CharEncoding const & utf8 = CharEncoding::UTF8();
    std::vector<char> const bytes = Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0x41, 0xE2, 0x82, 0x41, 0x80, 0xE2});
    std::vector<u32> const expected = {0xFFFD, 0x41, 0xFFFD, 0x41, 0xFFFD, 0xFFFD};
    for (std::size_t chunk = 1; chunk <= bytes.size(); ++chunk) {
        EXPECT_EQ(expected, Decode(utf8, bytes, chunk)) << "windows of " << chunk;
        EXPECT_EQ(expected, DecodeThroughSink(utf8, bytes, chunk)) << "puts of " << chunk;
        EXPECT_EQ(expected, Decode(*CharEncoding::Lookup("UTF-8"), bytes, chunk));
    }
    std::vector<char> const ebcdic = Bytes({0x46, 0xC1, 0x80, 0xC2});
    for (std::size_t chunk = 1; chunk <= ebcdic.size(); ++chunk) {
        EXPECT_EQ((std::vector<u32>{0xFFFD, 0x41, 0xFFFD, 0x42}),
                  Decode(CharEncoding::Unicode20UTF8EBCDIC(), ebcdic, chunk));
    }
}

TEST(UTF8Encodings, ByteOrderMarkVariantWritesOneMarkAndReadsNone) {
    std::vector<u32> const text = {0x41, 0xFEFF, 0x1F600};
    std::vector<char> const with_mark = Bytes({0xEF, 0xBB, 0xBF, 0x41, 0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80});
    EXPECT_EQ(with_mark, EncodeThroughSink(CharEncoding::UTF8BOM(), text, 2));
    EXPECT_EQ(with_mark, EncodeThroughSource(CharEncoding::UTF8BOM(), text));
    EXPECT_EQ((std::vector<u32>{0x41, 0x1F600}), Decode(CharEncoding::UTF8BOM(), with_mark, 4));
    // The plain form writes no mark of its own.
    EXPECT_EQ(std::vector<char>(with_mark.begin() + 3, with_mark.end()),
              EncodeThroughSink(CharEncoding::UTF8(), text, 5));
}

// Round trips of random text through every UTF-8 / UTF-EBCDIC encoding and
// every path: sources and sinks in chunks, and the UTF-16 and UTF-32
// converters with random cuts, output room and limits, against the reference.
TEST(UTF8Encodings, RoundTripsThroughEveryPath) {
    std::mt19937 random(77);
    std::vector<CharEncoding const *> const encodings = {
        &CharEncoding::UTF8(), CharEncoding::Lookup("UTF-8"), &CharEncoding::UTF8BOM(),
        &CharEncoding::Unicode20UTF8EBCDIC()};
    // Every length of sequence with its bounds; ASCII runs dominate real text.
    std::vector<u32> const bounds = {0x7F, 0x80, 0x7FF, 0x800, 0xFFFF, 0xE000, 0x10000, 0x10FFFF};
    auto code_point = [&]() -> u32 {
        switch (random() % 5) {
            case 0:
            case 1: return 0x20 + random() % 0x5F;
            case 2: return bounds[random() % bounds.size()];
            default: {
                u32 const c = 0x80 + random() % 0x10FF80;
                return (c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF ? 0x263A : c;
            }
        }
    };
    auto cuts = [&](std::size_t size) {
        std::vector<std::size_t> result;
        for (std::size_t i = 1; i < size; ++i) {
            if (random() % 7 == 0) result.push_back(i);
        }
        return result;
    };
    auto longs = [](auto const & v) {
        std::vector<long> r;
        for (auto x : v) r.push_back(Value(x));
        return r;
    };
    HeapAllocator allocator;
    for (int round = 0; round < 60; ++round) {
        std::vector<u32> text(1 + random() % (round % 2 ? 600 : 60));
        for (auto & c : text) c = code_point();
        std::vector<u16> utf16;
        for (u32 c : text) RefUTF16(c, utf16);
        std::vector<char> utf8;
        for (u32 c : text) RefUTF8(c, utf8);
        std::size_t const chunk = 1 + random() % 100;
        std::size_t const room = 5 + random() % 40;
        long const limit = random() % 3 == 0 ? static_cast<long>(5 + random() % 10) : -1;
        for (CharEncoding const * encoding : encodings) {
            ASSERT_NE(nullptr, encoding);
            SCOPED_TRACE(encoding->Name());
            std::vector<char> const bytes = EncodeThroughSink(*encoding, text, chunk);
            EXPECT_EQ(bytes, EncodeThroughSource(*encoding, text));
            if (encoding->GetTextEncodingID() == CharEncoding::UTF8().GetTextEncodingID()) {
                EXPECT_EQ(utf8, bytes);
            }
            EXPECT_EQ(text, Decode(*encoding, bytes, chunk));
            EXPECT_EQ(text, DecodeThroughSink(*encoding, bytes, chunk));

            auto to16 = Own(encoding->CreateConverterToUTF16(allocator));
            auto from16 = Own(encoding->CreateConverterFromUTF16(allocator));
            auto to32 = Own(encoding->CreateConverterToUTF32(allocator));
            auto from32 = Own(encoding->CreateConverterFromUTF32(allocator));
            ASSERT_TRUE(to16 && from16 && to32 && from32);
            EXPECT_EQ(longs(bytes), Drive(*from16, utf16, cuts(utf16.size()), room, limit));
            EXPECT_EQ(longs(bytes), Drive(*from32, text, cuts(text.size()), room, limit));
            EXPECT_EQ(longs(utf16), Drive(*to16, bytes, cuts(bytes.size()), room, limit));
            EXPECT_EQ(longs(text), Drive(*to32, bytes, cuts(bytes.size()), room, limit));
        }
        // The converters themselves, without the chains around them.
        UTF8ToUTF32 to32;
        ASSERT_EQ(longs(text), Drive(to32, utf8, cuts(utf8.size()), room, limit));
        UTF8ToUTF16 to16;
        ASSERT_EQ(longs(utf16), Drive(to16, utf8, cuts(utf8.size()), room, limit));
        UTF16ToUTF8 from16;
        ASSERT_EQ(longs(utf8), Drive(from16, utf16, cuts(utf16.size()), room, limit));
        UTF32ToUTF8 from32;
        ASSERT_EQ(longs(utf8), Drive(from32, text, cuts(text.size()), room, limit));
        UTF8EBCDICfromWhatever to_ebcdic;
        std::vector<long> const ebcdic = Drive(to_ebcdic, utf16, cuts(utf16.size()), room, limit);
        std::vector<char> const ebcdic_bytes(ebcdic.begin(), ebcdic.end());
        UTF8EBCDICtoWhatever from_ebcdic;
        ASSERT_EQ(longs(utf16), Drive(from_ebcdic, ebcdic_bytes, cuts(ebcdic.size()), room, limit));
    }
}

// Variants of Unicode 1.1 (identifier 1) are recognised from the identifier
// and keep surrogates apart (their conversions are in unicode11_test); the
// UTF-16 forms combine.
TEST(UTF8Encodings, Unicode11VariantsKeepSurrogatesApart) {
    TextEncoding const & base = Char16Encoding::Unicode11();
    auto const * utf8 = dynamic_cast<UTF8EncodingVariantOfUTF16 const *>(
        base.LookupVariant(EncodingVariationID::UTF8()));
    auto const * ebcdic = dynamic_cast<UTF8EBCDICEncodingVariant const *>(
        base.LookupVariant(EncodingVariationID::UTF8EBCDIC()));
    auto const * utf16 = dynamic_cast<UTF8EncodingVariantOfUTF16 const *>(CharEncoding::Lookup("UTF-8"));
    ASSERT_TRUE(utf8 != nullptr && ebcdic != nullptr && utf16 != nullptr);
    EXPECT_FALSE(utf8->CombinesSurrogates());
    EXPECT_FALSE(ebcdic->CombinesSurrogates());
    EXPECT_TRUE(utf16->CombinesSurrogates());
}
