// UTF-16, the library's internal form, and its byte-order-mark variant.
#include "convert/encoding_streams.h"
#include "streams/directed_proxies.h"
#include "unicode_forms/utf16_chains.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_internal::unicode_forms;

namespace {

char const * gUTF16Names[] = {"Unicode20",      "Unicode 2.0", "Unicode",
                              "csUnicode",      "csUnicode20", "ISO-10646-UCS-2",
                              "ISO-10646-UCS2", "UTF16",       nullptr};

}  // namespace

// --- UTF16Encoding ----------------------------------------------------------------

UTF16Encoding::UTF16Encoding()
    : Char16EncodingImpl(TextEncodingID::UTF16(), gUTF16Names, "ISO-10646-UCS2", 0) {}

UTF16Encoding::~UTF16Encoding() = default;

unsigned int UTF16Encoding::MapToUnicode(unsigned int c) const {
    return c;
}
unsigned int UTF16Encoding::MapFromUnicode(unsigned int c) const {
    return c;
}

ZUUC_TRANSCODING_STREAMS(UTF16Encoding)

Transcoder<unsigned short, unsigned int> * UTF16Encoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, unsigned int> * {
        return new (allocator) UTF16ToUTF32Converter;
    });
}

Transcoder<unsigned int, unsigned short> * UTF16Encoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, unsigned short> * {
        return new (allocator) UTF32ToUTF16Converter;
    });
}

Transcoder<unsigned short, unsigned short> * UTF16Encoding::CreateConverterToUTF16(
    UnicodeLibAllocator &) const {
    return nullptr;
}

Transcoder<unsigned short, unsigned short> * UTF16Encoding::CreateConverterFromUTF16(
    UnicodeLibAllocator &) const {
    return nullptr;
}

// --- UTF16ByteOrderMarkVariant ------------------------------------------------------
//
// On the way in the mark is removed before the base decodes; on the way out
// the base encodes first and the mark is inserted into its output.

UTF16ByteOrderMarkVariant::UTF16ByteOrderMarkVariant(Char16Encoding const & base,
                                                     EncodingVariation const & variation,
                                                     char const ** nicknames)
    : Char16EncodingImpl(base, variation, nicknames, nullptr, 0), base_(base) {}

UTF16ByteOrderMarkVariant::~UTF16ByteOrderMarkVariant() = default;

unsigned int UTF16ByteOrderMarkVariant::MapToUnicode(unsigned int c) const {
    return base_.MapToUnicode(c);
}

unsigned int UTF16ByteOrderMarkVariant::MapFromUnicode(unsigned int c) const {
    return base_.MapFromUnicode(c);
}

ZUUC_STEP_VARIANT_FACTORIES(UTF16ByteOrderMarkVariant, UTF16BOMremover, UTF16BOMinserter)
