// The auto-detecting encodings (Japanese, Chinese, Korean): the first byte
// picks one, the next two seed the chunk and window sizes, the rest is the
// text. Detection and decoding must not depend on how the input is divided:
// a converter source read whole and chunked, and a buffer converter fed
// whole and chunked, give the same characters, and the source reports the
// same detected encoding.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "fuzz_conversion.h"
#include "zuuc/encoding_converters.h"

namespace {

std::vector<CharEncoding const *> const & Encodings() {
    static std::vector<CharEncoding const *> const list = fuzz::ByteEncodings(true);
    return list;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    if (size < 3 || Encodings().empty())
        return 0;
    CharEncoding const & encoding = *Encodings()[data[0] % Encodings().size()];
    std::vector<char> const bytes(data + 3, data + size);
    fuzz::Schedule a(fuzz::Seed(data, size, 1)), b(fuzz::Seed(data, size, 1));

    fuzz::ChunkSource<CharSource, char> whole_in(bytes, nullptr);
    Char32EncodingConverter whole(whole_in, encoding, Char32Encoding::UTF32());
    fuzz::ChunkSource<CharSource, char> chunked_in(bytes, &a);
    Char32EncodingConverter chunked(chunked_in, encoding, Char32Encoding::UTF32());
    fuzz::Context() = encoding.Name();
    std::vector<unsigned int> const text =
        fuzz::Drain<Char32EncodingConverter, unsigned int>(whole, nullptr);
    fuzz::Same(text, fuzz::Drain<Char32EncodingConverter, unsigned int>(chunked, &a),
               "converter source");
    if (&whole.ActualInputEncoding() != &chunked.ActualInputEncoding()) {
        std::fprintf(stderr, "detected %s whole, %s chunked\n", whole.ActualInputEncoding().Name(),
                     chunked.ActualInputEncoding().Name());
        std::abort();
    }
    fuzz::Same(fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                   encoding, Char32Encoding::UTF32(), bytes, nullptr),
               fuzz::ConvertBuffered<CharToChar32BufferConverter, char, unsigned int>(
                   encoding, Char32Encoding::UTF32(), bytes, &b),
               "buffer converter");
    return 0;
}
