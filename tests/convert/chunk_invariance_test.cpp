// Chunk invariance for every byte encoding in the registry (catalogue and
// Unicode byte forms): the characters that encode to bytes which decode back
// to them form a random text; that text encoded whole and encoded in random
// chunks into random output windows (buffer converters, converter sources,
// converter sinks) gives the same bytes, and those bytes decoded whole and in
// chunks give the text back.
#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "../../fuzz/fuzz_conversion.h"
#include "zuuc/encoding_converters.h"

namespace {

using Text = std::vector<unsigned int>;
using Bytes = std::vector<char>;

// Every BMP code point and every 61st above it (the supplementary planes
// are sampled: few tables map them).
Text Candidates() {
    Text all;
    for (unsigned int c = 0; c < 0x110000; c += c < 0x10000 ? 1 : 61) {
        if (c < 0xD800 || c > 0xDFFF) all.push_back(c);
    }
    return all;
}

// The candidates that encode without substitution, one at a time, to bytes
// that decode to the same single character.
Text MappedBothWays(CharEncoding const & encoding) {
    static Text const candidates = Candidates();
    Char32ToCharBufferConverter encoder;
    CharToChar32BufferConverter decoder;
    EXPECT_TRUE(encoder.Initialize(Char32Encoding::UTF32(), encoding));
    EXPECT_TRUE(decoder.Initialize(encoding, Char32Encoding::UTF32()));
    Text mapped;
    for (unsigned int c : candidates) {
        char bytes[32];
        unsigned int const * in = &c;
        char * out = bytes;
        encoder.Reset();
        if (encoder.Convert(in, in + 1, out, bytes + sizeof bytes, true) != kBufferConverterComplete) continue;
        unsigned int back[4];
        char const * from = bytes;
        unsigned int * to = back;
        decoder.Reset();
        if (decoder.Convert(from, out, to, back + 4, true) == kBufferConverterComplete && to == back + 1 &&
            back[0] == c) {
            mapped.push_back(c);
        }
    }
    return mapped;
}

class ChunkInvariance : public ::testing::TestWithParam<std::string> {};

TEST_P(ChunkInvariance, ChunkedEqualsWholeBothWays) {
    auto const * encoding = dynamic_cast<CharEncoding const *>(TextEncoding::Lookup(GetParam().c_str(), 1));
    ASSERT_NE(encoding, nullptr);
    Text const mapped = MappedBothWays(*encoding);
    ASSERT_GE(mapped.size(), 64u) << "too few characters map both ways";
    std::mt19937 random(static_cast<unsigned>(std::hash<std::string>()(GetParam())));
    Text text(600);
    for (unsigned int & c : text) c = mapped[random() % mapped.size()];
    Char32Encoding const & utf32 = Char32Encoding::UTF32();

    for (std::uint32_t seed : {1u, 7u, 4242u}) {
        fuzz::Schedule a(seed), b(seed), c(seed), d(seed), e(seed), f(seed);
        // Encoding: whole, then each of the three paths chunked.
        auto const whole = fuzz::ConvertBuffered<Char32ToCharBufferConverter, unsigned int, char>(
            utf32, *encoding, text, nullptr);
        ASSERT_EQ(whole.result, kBufferConverterComplete);
        Bytes const & bytes = whole.text;
        EXPECT_EQ((fuzz::ConvertBuffered<Char32ToCharBufferConverter, unsigned int, char>(utf32, *encoding,
                                                                                            text, &a)
                       .text),
                  bytes);
        fuzz::ChunkSource<Char32Source, unsigned int> in(text, &b);
        CharEncodingConverter source(in, utf32, *encoding);
        EXPECT_EQ((fuzz::Drain<CharEncodingConverter, char>(source, &b)), bytes);
        fuzz::RecordingSink<CharSink, char> sunk;
        {
            Char32EncodingConverterSink sink(utf32, *encoding, sunk);
            fuzz::PutAll(sink, text, &c);
        }
        EXPECT_EQ(sunk.text, bytes);

        // Decoding the bytes: whole and chunked, the text comes back.
        EXPECT_EQ((fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(*encoding, utf32,
                                                                                            bytes, nullptr)
                       .text),
                  text);
        EXPECT_EQ((fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(*encoding, utf32,
                                                                                            bytes, &d)
                       .text),
                  text);
        fuzz::ChunkSource<CharSource, char> raw(bytes, &e);
        Char32EncodingConverter decoding(raw, *encoding, utf32);
        EXPECT_EQ((fuzz::Drain<Char32EncodingConverter, unsigned int>(decoding, &e)), text);
        fuzz::RecordingSink<Char32Sink, unsigned int> decoded;
        {
            CharEncodingConverterSink sink(*encoding, utf32, decoded);
            fuzz::PutAll(sink, bytes, &f);
        }
        EXPECT_EQ(decoded.text, text);
    }
}

std::vector<std::string> EncodingNames() {
    std::vector<std::string> names;
    for (CharEncoding const * encoding : fuzz::ByteEncodings(false)) names.emplace_back(encoding->Name());
    return names;
}

std::string TestName(::testing::TestParamInfo<std::string> const & info) {
    std::string name;
    for (char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_" + std::to_string(info.index);
}

INSTANTIATE_TEST_SUITE_P(EveryByteEncoding, ChunkInvariance, ::testing::ValuesIn(EncodingNames()), TestName);

}  // namespace
