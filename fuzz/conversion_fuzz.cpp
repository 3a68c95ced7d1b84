// Decoding (ZUUC_FUZZ_ENCODE unset) or encoding (set) through every byte
// encoding, whole against chunked. The first input byte picks the encoding,
// the next two seed the chunk and window sizes, the rest is the text: bytes
// to decode, or code points to encode (a byte below 0x80 is itself; 0x80 to
// 0xFE with the next byte give an even BMP code point; 0xFF with the next
// three bytes gives any 24-bit value, surrogates and non-characters
// included).
//
// Each path is run whole and chunked and must give the same text: buffer
// converters (chunked input, small output windows), converter sources (the
// input source in chunks, the output read a few units at a time) and
// converter sinks (the text put in chunks). UTF-16 output is checked as
// well as UTF-32 for decoding, UTF-16 input as well as UTF-32 for encoding;
// the seed picks the path and the width of each input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "fuzz_conversion.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/exceptions.h"
#include "zuuc/modal_encoding.h"

namespace {

using fuzz::Schedule;

std::vector<CharEncoding const *> const & Encodings() {
    static std::vector<CharEncoding const *> const list = fuzz::ByteEncodings(false);
    return list;
}

// What converter sinks made by `make(target)` write when the text is put
// whole and when it is put in scheduled chunks.
// One input takes one path in one unit width (both chosen by the seed), so
// that an execution costs two conversions rather than twelve; the corpus
// covers every combination. With ZUUC_FUZZ_ALL_PATHS set in the environment
// every input takes all six (to replay an input found by another build), or
// the one it names (0-5: buffer, source, sink; even UTF-16, odd UTF-32).
enum class Path { kBuffer, kSource, kSink };

Path PathOf(unsigned int pick) {
    return static_cast<Path>((pick >> 1) % 3);
}

std::vector<unsigned int> Picks(std::uint32_t seed) {
    static char const * const all = std::getenv("ZUUC_FUZZ_ALL_PATHS");
    if (all == nullptr)
        return {seed % 6};
    if (*all >= '0' && *all <= '5')
        return {static_cast<unsigned int>(*all - '0')};
    return {0, 1, 2, 3, 4, 5};
}

template <class Recording, class Unit, class Make>
auto SinkBoth(std::vector<Unit> const & text, Schedule & schedule, Make && make) {
    Recording whole;
    Recording chunked;
    {
        auto sink = make(whole);
        fuzz::PutAll(sink, text, nullptr);
    }
    {
        auto sink = make(chunked);
        fuzz::PutAll(sink, text, &schedule);
    }
    return std::make_pair(whole.text, chunked.text);
}

#ifndef ZUUC_FUZZ_ENCODE

template <class Out, class Converter, class OutEnc, class SourceConverter, class SinkBase>
void Decode(CharEncoding const & encoding, OutEnc const & unicode, std::vector<char> const & bytes,
            std::uint32_t seed, Path path) {
    Schedule schedule(seed);
    switch (path) {
        case Path::kBuffer:
            fuzz::Same(
                fuzz::ConvertBuffered<Converter, char, Out>(encoding, unicode, bytes, nullptr),
                fuzz::ConvertBuffered<Converter, char, Out>(encoding, unicode, bytes, &schedule),
                "buffer converter");
            return;
        case Path::kSource: {
            fuzz::ChunkSource<CharSource, char> whole_in(bytes, nullptr);
            SourceConverter whole(whole_in, encoding, unicode);
            fuzz::ChunkSource<CharSource, char> chunked_in(bytes, &schedule);
            SourceConverter chunked(chunked_in, encoding, unicode);
            std::vector<Out> const read = fuzz::Drain<SourceConverter, Out>(whole, nullptr);
            fuzz::Same(read, fuzz::Drain<SourceConverter, Out>(chunked, &schedule),
                       "converter source");
            return;
        }
        case Path::kSink: {
            auto const sunk =
                SinkBoth<fuzz::RecordingSink<SinkBase, Out>>(bytes, schedule, [&](auto & target) {
                    return CharEncodingConverterSink(encoding, unicode, target);
                });
            fuzz::Same(sunk.first, sunk.second, "converter sink");
            return;
        }
    }
}

void Run(CharEncoding const & encoding, std::uint8_t const * data, std::size_t size,
         std::uint32_t seed) {
    std::vector<char> const bytes(data, data + size);
    for (unsigned int pick : Picks(seed)) {
        if (pick & 1) {
            Decode<unsigned int, CharToChar32BufferConverter, Char32Encoding,
                   Char32EncodingConverter, Char32Sink>(encoding, Char32Encoding::UTF32(), bytes,
                                                        seed, PathOf(pick));
        } else {
            Decode<unsigned short, CharToChar16BufferConverter, Char16Encoding,
                   Char16EncodingConverter, Char16Sink>(encoding, Char16Encoding::UTF16(), bytes,
                                                        seed, PathOf(pick));
        }
    }
}

#else

// Encoded bytes must match, except that a modal encoding that returns to
// its initial mode whenever the output fills writes extra escapes at window
// ends: for those the bytes must decode to the same text.
void SameEncoded(CharEncoding const & encoding, std::vector<char> const & a,
                 std::vector<char> const & b, char const * what) {
    if (a == b)
        return;
    if (dynamic_cast<ModalEncoding const *>(&encoding) == nullptr)
        fuzz::Same(a, b, what);
    // The substitute depends on the mode too (U+001A from the initial mode,
    // a double-byte substitute from another, which may read back as one or
    // more U+FFFD): the texts must agree apart from substitutes.
    auto decode = [&](std::vector<char> const & bytes) {
        std::vector<unsigned int> text;
        for (unsigned int c :
             fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                 encoding, Char32Encoding::UTF32(), bytes, nullptr)
                 .text) {
            if (c != 0x1A && c != 0xFFFD)
                text.push_back(c);
        }
        return text;
    };
    fuzz::Same(decode(a), decode(b), what);
}

template <class In, class Converter, class InEnc, class SinkConverter, class SourceBase>
void Encode(CharEncoding const & encoding, InEnc const & unicode, std::vector<In> const & text,
            std::uint32_t seed, Path path) {
    Schedule schedule(seed);
    switch (path) {
        case Path::kBuffer: {
            auto const whole =
                fuzz::ConvertBuffered<Converter, In, char>(unicode, encoding, text, nullptr);
            auto const chunked =
                fuzz::ConvertBuffered<Converter, In, char>(unicode, encoding, text, &schedule);
            if (whole.result != chunked.result)
                fuzz::Same(whole, chunked, "buffer converter");
            SameEncoded(encoding, whole.text, chunked.text, "buffer converter");
            return;
        }
        case Path::kSource: {
            fuzz::ChunkSource<SourceBase, In> whole_in(text, nullptr);
            CharEncodingConverter whole(whole_in, unicode, encoding);
            fuzz::ChunkSource<SourceBase, In> chunked_in(text, &schedule);
            CharEncodingConverter chunked(chunked_in, unicode, encoding);
            std::vector<char> const read = fuzz::Drain<CharEncodingConverter, char>(whole, nullptr);
            SameEncoded(encoding, read,
                        fuzz::Drain<CharEncodingConverter, char>(chunked, &schedule),
                        "converter source");
            return;
        }
        case Path::kSink: {
            auto const sunk = SinkBoth<fuzz::RecordingSink<CharSink, char>>(
                text, schedule,
                [&](auto & target) { return SinkConverter(unicode, encoding, target); });
            SameEncoded(encoding, sunk.first, sunk.second, "converter sink");
            return;
        }
    }
}

void Run(CharEncoding const & encoding, std::uint8_t const * data, std::size_t size,
         std::uint32_t seed) {
    std::vector<unsigned int> const text = fuzz::CodePoints(data, size);
    for (unsigned int pick : Picks(seed)) {
        if (pick & 1) {
            Encode<unsigned int, Char32ToCharBufferConverter, Char32Encoding,
                   Char32EncodingConverterSink, Char32Source>(encoding, Char32Encoding::UTF32(),
                                                              text, seed, PathOf(pick));
        } else {
            // The same code points as UTF-16 units (above U+FFFF cut to 16
            // bits: lone surrogates and all).
            std::vector<unsigned short> const units(text.begin(), text.end());
            Encode<unsigned short, Char16ToCharBufferConverter, Char16Encoding,
                   Char16EncodingConverterSink, Char16Source>(encoding, Char16Encoding::UTF16(),
                                                              units, seed, PathOf(pick));
        }
    }
}

#endif

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    if (size < 3)
        return 0;
    CharEncoding const & encoding = *Encodings()[data[0] % Encodings().size()];
    try {
        encoding.Load();
    } catch (zu_exception const &) {
        return 0;  // an encoding whose library is not installed
    }
    fuzz::Context() = encoding.Name();
    Run(encoding, data + 3, size - 3, fuzz::Seed(data, size, 1));
    return 0;
}
