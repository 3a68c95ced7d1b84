// Nested composites: a problem of the outer first stage right after units the
// inner composite still holds comes out after those units, whatever the
// output window, through a bare transcoder, a buffer converter, a source and
// a sink.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/toy_transcoders.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/stream_adapters.h"

using namespace utf8_test;

namespace {

using u16 = unsigned short;
using u32 = unsigned int;
constexpr long kFFFD = 0xFFFD;

template <class T>
std::unique_ptr<T> Own(T * p) {
    return std::unique_ptr<T>(p);
}

// Whole Convert calls with `room` units of output each; substitutes are
// marked like the transcoder driver's problems.
template <class Converter, class In, class Out>
std::vector<long> ConvertInWindows(Converter & c, std::vector<In> const & input, std::size_t room,
                                   Out const *) {
    std::vector<long> got;
    In const * in = input.data();
    std::vector<Out> window(room);
    for (int guard = 0; guard < 1000; ++guard) {
        Out * out = window.data();
        BufferConverterResult const r =
            c.Convert(in, input.data() + input.size(), out, window.data() + room, true);
        for (Out * p = window.data(); p != out; ++p) got.push_back(Value(*p));
        if (r == kBufferConverterComplete || r == kBufferConverterCompleteWithSubstitutions) {
            return got;
        }
        EXPECT_EQ(kBufferConverterOutputFull, r);
    }
    ADD_FAILURE() << "the converter does not finish";
    return got;
}

std::vector<long> Longs(std::vector<u32> const & units) { return {units.begin(), units.end()}; }

struct DecodeCase {
    char const * name;
    CharEncoding & (*encoding)();
    std::vector<int> bytes;
    std::vector<long> text;  // U+FFFD where a problem was substituted
};

CharEncoding & UTF8OfUTF16() { return *CharEncoding::Lookup("UTF-8"); }

std::vector<DecodeCase> DecodeCases() {
    return {
        // The byte-order-mark remover sits on a UTF-8 composite: U+0066 is
        // still inside when the stray 80 is found.
        {"UTF8BOM", &CharEncoding::UTF8BOM, {0xBE, 0x06, 0x66, 0x80}, {kFFFD, 0x06, 0x66, kFFFD}},
        {"UTF8BOM with mark", &CharEncoding::UTF8BOM, {0xEF, 0xBB, 0xBF, 0x41, 0xC3, 0xA9, 0x80, 0x42},
         {0x41, 0xE9, kFFFD, 0x42}},
        {"UTF-8 of UTF-16", &UTF8OfUTF16, {0xBE, 0x06, 0x66, 0x80}, {kFFFD, 0x06, 0x66, kFFFD}},
        {"UTF-8", &CharEncoding::UTF8, {0x66, 0xF0, 0x9F, 0x98, 0x80, 0xFF, 0x67},
         {0x66, 0x1F600, kFFFD, 0x67}},
    };
}

}  // namespace

TEST(NestedComposite, ToyStagesAtEveryWindow) {
    // Outer: a first stage that rejects '!', then a composite of two copies.
    std::vector<char> const input = {'a', 'b', '!', 'c', 'd'};
    for (std::size_t room = 1; room <= 6; ++room) {
        CompositeTranscoderFor<char, u16, u32> outer(
            new zuuc_test::FaultyTranscoder<char, u16>,
            new CompositeTranscoderFor<u16, u32, u32>(new zuuc_test::IdentityTranscoder<u16, u32>,
                                                      new zuuc_test::IdentityTranscoder<u32, u32>));
        EXPECT_EQ((std::vector<long>{'a', 'b', kProblem, 'c', 'd'}), Drive(outer, input, {}, room))
            << "room " << room;
    }
}

TEST(NestedComposite, DecodingAtEveryWindow) {
    for (DecodeCase const & k : DecodeCases()) {
        CharEncoding const & encoding = k.encoding();
        std::vector<char> const bytes = Bytes(k.bytes);
        for (std::size_t window = 1; window <= bytes.size() + 1; ++window) {
            SCOPED_TRACE(testing::Message() << k.name << ", window " << window);
            CharToChar16BufferConverter to16;
            ASSERT_TRUE(to16.Initialize(encoding, Char16Encoding::UTF16()));
            std::vector<long> expected16;
            for (long c : k.text) {
                if (c < 0x10000) {
                    expected16.push_back(c);
                } else {
                    expected16.push_back(0xD800 + ((c - 0x10000) >> 10));
                    expected16.push_back(0xDC00 + (c & 0x3FF));
                }
            }
            if (window >= 2 || expected16.size() == k.text.size()) {  // a pair needs two
                EXPECT_EQ(expected16, ConvertInWindows(to16, bytes, window, (u16 const *)nullptr));
            }
            CharToChar32BufferConverter to32;
            ASSERT_TRUE(to32.Initialize(encoding, Char32Encoding::UTF32()));
            EXPECT_EQ(k.text, ConvertInWindows(to32, bytes, window, (u32 const *)nullptr));

            HeapAllocator allocator;
            ChunkedCharSource input(bytes, window);
            auto source = Own(encoding.CreateCharSourceToUnicode(input, allocator));
            ASSERT_NE(nullptr, source);
            EXPECT_EQ(k.text, Longs(ReadAll32(*source)));

            VectorChar32Sink target;
            {
                auto sink = Own(encoding.CreateCharSinkToUnicode(target, allocator));
                ASSERT_NE(nullptr, sink);
                for (std::size_t i = 0; i < bytes.size(); i += window) {
                    std::size_t const n = std::min(window, bytes.size() - i);
                    sink->Put(bytes.data() + i, bytes.data() + i + n);
                }
                sink->Flush();
            }
            EXPECT_EQ(k.text, Longs(target.units));
        }
    }
}

TEST(NestedComposite, UTF16ChainUnderAFromUTF32Stage) {
    // A value beyond U+10FFFF right after characters of the UTF-8
    // variant of UTF-16: the substitute comes after them at every window.
    std::vector<u32> const text = {0x66, 0xE9, 0x110000, 0x67};
    std::vector<long> const expected = {0x66, 0xC3, 0xA9, 0xEF, 0xBF, 0xBD, 0x67};
    for (std::size_t window = 3; window <= 8; ++window) {
        Char32ToCharBufferConverter c;
        ASSERT_TRUE(c.Initialize(Char32Encoding::UTF32(), UTF8OfUTF16()));
        EXPECT_EQ(expected, ConvertInWindows(c, text, window, (char const *)nullptr))
            << "window " << window;
    }
}
