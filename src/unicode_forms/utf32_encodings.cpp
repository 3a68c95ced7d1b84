// UTF-32, its byte-order-mark variant and its byte streams.
#include "streams/directed_proxies.h"
#include "unicode_forms/utf16_chains.h"
#include "unicode_forms/utf16_units.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_internal::unicode_forms;

namespace {

char const * gUTF32Names[] = {"UTF32", "csUTF32", nullptr};

}  // namespace

// --- UTF32Encoding ----------------------------------------------------------------

UTF32Encoding::UTF32Encoding() : Char32EncodingImpl(TextEncodingID::UTF32(), gUTF32Names, "", 0) {}
UTF32Encoding::~UTF32Encoding() = default;

unsigned int UTF32Encoding::MapToUnicode(unsigned int c) const {
    return c;
}
unsigned int UTF32Encoding::MapFromUnicode(unsigned int c) const {
    return c;
}

// UTF-32 is the pivot: its streams pass the units through unchanged.
ToUnicodeSource * UTF32Encoding::CreateCharSourceToUnicode(Char32Source & source,
                                                           UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> ToUnicodeSource * {
        return new (allocator) ToUnicodeProxySource(*this, &source);
    });
}

Char32Source * UTF32Encoding::CreateCharSourceFromUnicode(Char32Source & source,
                                                          UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> Char32Source * { return new (allocator) Char32ProxySource(&source); });
}

Char32Sink * UTF32Encoding::CreateCharSinkToUnicode(Char32Sink & sink,
                                                    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Sink * { return new (allocator) Char32ProxySink(&sink); });
}

Char32Sink * UTF32Encoding::CreateCharSinkFromUnicode(Char32Sink & sink,
                                                      UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Sink * { return new (allocator) Char32ProxySink(&sink); });
}

Transcoder<unsigned int, unsigned int> * UTF32Encoding::CreateConverterToUTF32(
    UnicodeLibAllocator &) const {
    return nullptr;
}

Transcoder<unsigned int, unsigned int> * UTF32Encoding::CreateConverterFromUTF32(
    UnicodeLibAllocator &) const {
    return nullptr;
}

Transcoder<unsigned int, unsigned short> * UTF32Encoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, unsigned short> * {
        return new (allocator) UTF32ToUTF16Converter;
    });
}

Transcoder<unsigned short, unsigned int> * UTF32Encoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, unsigned int> * {
        return new (allocator) UTF16ToUTF32Converter;
    });
}

// --- UTF32ByteOrderMarkVariant ------------------------------------------------------

UTF32ByteOrderMarkVariant::UTF32ByteOrderMarkVariant(Char32Encoding const & base,
                                                     EncodingVariation const & variation,
                                                     char const ** nicknames)
    : Char32EncodingImpl(base, variation, nicknames, nullptr, 0), base_(base) {}

UTF32ByteOrderMarkVariant::~UTF32ByteOrderMarkVariant() = default;

unsigned int UTF32ByteOrderMarkVariant::MapToUnicode(unsigned int c) const {
    return base_.MapToUnicode(c);
}

unsigned int UTF32ByteOrderMarkVariant::MapFromUnicode(unsigned int c) const {
    return base_.MapFromUnicode(c);
}

ZUUC_STEP_VARIANT_FACTORIES(UTF32ByteOrderMarkVariant, UTF32BOMremover, UTF32BOMinserter)

// --- UTF32variant -------------------------------------------------------------------

UTF32variant::UTF32variant(Char32Encoding const & base, EncodingVariation const & variation,
                           char const ** nicknames, ByteOrderMode mode)
    : CharEncodingImpl(base, variation, nicknames, "UTF-32", 0),
      base_(base),
      big_endian_(mode == kBigEndianByteOrder ||
                  (mode == kPlatformByteOrder && PlatformIsBigEndian())) {}

UTF32variant::~UTF32variant() = default;

unsigned int UTF32variant::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    // U+FFFD in this stream's byte order.
    static unsigned char const kBig[] = {0x00, 0x00, 0xFF, 0xFD, 0x00};
    static unsigned char const kLittle[] = {0xFD, 0xFF, 0x00, 0x00, 0x00};
    chars = big_endian_ ? kBig : kLittle;
    return 4;
}

bool UTF32variant::IsBasedOnASCII() const {
    return false;
}
bool UTF32variant::IsTextModeSafe() const {
    return false;
}

ZUUC_STEP_VARIANT_FACTORIES(UTF32variant, UTF32toWhatever, UTF32fromWhatever)

CharEncodingDetector * UTF32variant::CreateEncodingDetector(UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> CharEncodingDetector * { return new (allocator) UTF32Detector(*this); });
}
