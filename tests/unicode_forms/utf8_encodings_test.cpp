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

using namespace utf8_test;

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

TEST(UTF8Encodings, AccessorsAndIdentifiers) {
    CharEncoding & utf8 = CharEncoding::UTF8();
    EXPECT_EQ(&utf8, &CharEncoding::Unicode20UTF8());
    EXPECT_EQ(0x30A9ul, static_cast<unsigned long>(utf8.GetTextEncodingID()));
    EXPECT_STREQ("UTF-8", utf8.MimeName());
    EXPECT_FALSE(utf8.IsTextModeSafe());
    EXPECT_EQ(&utf8, Char32Encoding::UTF32().LookupVariant(EncodingVariationID::UTF8()));

    CharEncoding & bom = CharEncoding::UTF8BOM();
    EXPECT_EQ(TextEncodingID::UTF32() + EncodingVariationID::ByteOrderMark() + EncodingVariationID::UTF8(),
              bom.GetTextEncodingID());
    EXPECT_STREQ("UTF8BOM", bom.Name());

    CharEncoding & ebcdic = CharEncoding::Unicode20UTF8EBCDIC();
    EXPECT_EQ(0x9002ul, static_cast<unsigned long>(ebcdic.GetTextEncodingID()));
    EXPECT_STREQ("UTF-EBCDIC", ebcdic.Name());
    EXPECT_FALSE(ebcdic.IsBasedOnASCII());

    EXPECT_STREQ("UTF8", EncodingVariation::UTF8().Name());
    EXPECT_TRUE(EncodingVariation::UTF8EBCDIC().HasName("UTF-8-EBCDIC"));
    EXPECT_EQ(&EncodingVariation::UTF8(), EncodingVariation::Lookup(EncodingVariationID::UTF8()));
}

TEST(UTF8Encodings, NameLookup) {
    CharEncoding::UTF8();
    CharEncoding::UTF8BOM();
    CharEncoding::Unicode20UTF8EBCDIC();
    // "UTF8" and "UTF-8" name the UTF-8 variant of UTF-16; it converts the
    // same bytes as CharEncoding::UTF8().
    CharEncoding * by_name = CharEncoding::Lookup("UTF-8");
    ASSERT_NE(nullptr, by_name);
    EXPECT_EQ(by_name, CharEncoding::Lookup("utf8"));
    EXPECT_EQ(0x3002ul, static_cast<unsigned long>(by_name->GetTextEncodingID()));
    EXPECT_STREQ("UTF8", by_name->Name());
    EXPECT_STREQ("UTF-8", by_name->MimeName());
    std::vector<char> const bytes = Bytes({0x41, 0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80});
    EXPECT_EQ((std::vector<u32>{0x41, 0xE9, 0x1F600}), Decode(*by_name, bytes, 3));

    EXPECT_EQ(&CharEncoding::UTF8(), CharEncoding::Lookup("UTF-32:UTF-8"));
    EXPECT_EQ(&CharEncoding::UTF8(), CharEncoding::Lookup("UTF32:UTF8"));
    EXPECT_EQ(&CharEncoding::UTF8BOM(), CharEncoding::Lookup("UTF8BOM"));
    EXPECT_EQ(&CharEncoding::Unicode20UTF8EBCDIC(), CharEncoding::Lookup("UTF-EBCDIC"));
    EXPECT_EQ(&CharEncoding::Unicode20UTF8EBCDIC(), CharEncoding::Lookup("UTF8-EBCDIC"));
    EXPECT_EQ(nullptr, Char16Encoding::Lookup("UTF-EBCDIC"));
}

TEST(UTF8Encodings, SubstitutesAreUFFFDInTheFormItself) {
    unsigned char const * chars = nullptr;
    EXPECT_EQ(3u, CharEncoding::UTF8().SubstituteChars(chars, 0));
    EXPECT_EQ(0, std::memcmp(chars, "\xEF\xBF\xBD", 3));
    EXPECT_EQ(3u, CharEncoding::UTF8BOM().SubstituteChars(chars, 0));
    EXPECT_EQ(3u, CharEncoding::Lookup("UTF-8")->SubstituteChars(chars, 0));
    EXPECT_EQ(0, std::memcmp(chars, "\xEF\xBF\xBD", 3));
    EXPECT_EQ(4u, CharEncoding::Unicode20UTF8EBCDIC().SubstituteChars(chars, 0));
    EXPECT_EQ(0, std::memcmp(chars, "\xB3\xFE\xFE\xFC", 4));
}

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

TEST(UTF8Encodings, DetectorsComeFromTheUTF8Variants) {
    HeapAllocator allocator;
    auto detector = Own(CharEncoding::UTF8().CreateEncodingDetector(allocator));
    ASSERT_NE(nullptr, detector);
    EXPECT_NE(nullptr, dynamic_cast<UTF8Detector *>(detector.get()));
    EXPECT_EQ(&CharEncoding::UTF8(), &detector->GetEncoding());
    auto by_name = Own(CharEncoding::Lookup("UTF-8")->CreateEncodingDetector(allocator));
    EXPECT_NE(nullptr, dynamic_cast<UTF8Detector *>(by_name.get()));
}

// Round trips of random text through every UTF-8 / UTF-EBCDIC encoding and
// every path: sources and sinks in chunks, and the UTF-16 and UTF-32 converters.
TEST(UTF8Encodings, RoundTripsThroughEveryPath) {
    std::mt19937 random(77);
    std::vector<CharEncoding const *> const encodings = {
        &CharEncoding::UTF8(), CharEncoding::Lookup("UTF-8"), &CharEncoding::UTF8BOM(),
        &CharEncoding::Unicode20UTF8EBCDIC()};
    HeapAllocator allocator;
    for (int round = 0; round < 40; ++round) {
        std::vector<u32> text(1 + random() % 600);
        for (auto & c : text) {
            c = random() % 2 ? 0x20 + random() % 0x5F : 0x80 + random() % 0x10FF80;
            if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF) c = 0x263A;
        }
        std::vector<u16> utf16;
        for (u32 c : text) RefUTF16(c, utf16);
        std::vector<char> utf8;
        for (u32 c : text) RefUTF8(c, utf8);
        std::size_t const chunk = 1 + random() % 100;
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
            std::vector<long> const encoded16 = Drive(*from16, utf16, {utf16.size() / 2}, 64);
            std::vector<long> const encoded32 = Drive(*from32, text, {text.size() / 3}, 64);
            std::vector<long> expected_bytes;
            for (char b : bytes) expected_bytes.push_back(Value(b));
            EXPECT_EQ(expected_bytes, encoded16);
            EXPECT_EQ(expected_bytes, encoded32);
            std::vector<long> decoded16 = Drive(*to16, bytes, {bytes.size() / 2}, 64);
            std::vector<long> decoded32 = Drive(*to32, bytes, {bytes.size() / 2}, 64);
            EXPECT_EQ(std::vector<long>(utf16.begin(), utf16.end()), decoded16);
            EXPECT_EQ(std::vector<long>(text.begin(), text.end()), decoded32);
        }
    }
}

// Variants of Unicode 1.1 (identifier 1) are recognised from the identifier:
// they keep surrogates apart and carry the Unicode 1.1 MIME name.
TEST(UTF8Encodings, Unicode11VariantsKeepSurrogatesApart) {
    Char16Encoding const * const base = Char16Encoding::Lookup(TextEncodingID(1));
    ASSERT_EQ(base, &Char16Encoding::Unicode11());
    auto const * utf8 = dynamic_cast<UTF8EncodingVariantOfUTF16 const *>(
        base->LookupVariant(EncodingVariationID::UTF8()));
    ASSERT_NE(nullptr, utf8);
    EXPECT_FALSE(utf8->CombinesSurrogates());
    EXPECT_STREQ("UNICODE-1-1-UTF-8", utf8->MimeName());
    auto const * ebcdic = dynamic_cast<UTF8EBCDICEncodingVariant const *>(
        base->LookupVariant(EncodingVariationID::UTF8EBCDIC()));
    ASSERT_NE(nullptr, ebcdic);
    EXPECT_FALSE(ebcdic->CombinesSurrogates());
    EXPECT_STREQ("UTF-EBCDIC", ebcdic->MimeName());  // the variation's

    // The chains run through Unicode 1.1: its U+3400 is U+AC00.
    HeapAllocator allocator;
    auto to32 = Own(utf8->CreateConverterToUTF32(allocator));
    ASSERT_NE(nullptr, to32);
    EXPECT_EQ((std::vector<long>{0xAC00, 'a'}), Drive(*to32, Bytes({0xE3, 0x90, 0x80, 'a'})));

    // The UTF-16 forms combine.
    auto const * utf16 = dynamic_cast<UTF8EncodingVariantOfUTF16 const *>(CharEncoding::Lookup("UTF-8"));
    ASSERT_NE(nullptr, utf16);
    EXPECT_TRUE(utf16->CombinesSurrogates());
}
