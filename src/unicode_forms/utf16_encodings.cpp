// UTF-16, the library's internal form, and its byte-order-mark variant.
#include "streams/directed_proxies.h"
#include "unicode_forms/utf16_chains.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_unicode_forms;

namespace {

char const * gUTF16Names[] = {"Unicode20",      "Unicode 2.0",    "Unicode",
                              "csUnicode",      "csUnicode20",    "ISO-10646-UCS-2",
                              "ISO-10646-UCS2", "UTF16",          nullptr};

}  // namespace

// --- UTF16Encoding ----------------------------------------------------------------

UTF16Encoding::UTF16Encoding()
    : Char16EncodingImpl(TextEncodingID::UTF16(), gUTF16Names, "ISO-10646-UCS2", 0) {}

UTF16Encoding::~UTF16Encoding() = default;

unsigned int UTF16Encoding::MapToUnicode(unsigned int c) const { return c; }
unsigned int UTF16Encoding::MapFromUnicode(unsigned int c) const { return c; }

ToUnicodeSource * UTF16Encoding::CreateCharSourceToUnicode(Char16Source & source,
                                                           UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> ToUnicodeSource * {
        auto converter = Own(new (allocator) UTF16ToUTF32Converter);
        auto * adapter = new (allocator)
            CharSource_16_to_32(source, *this, converter.get(), Char32Encoding::UTF32());
        converter.release();
        return adapter;
    });
}

Char16Source * UTF16Encoding::CreateCharSourceFromUnicode(Char32Source & source,
                                                          UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char16Source * {
        auto converter = Own(new (allocator) UTF32ToUTF16Converter);
        auto * adapter = new (allocator)
            CharSource_32_to_16(source, Char32Encoding::UTF32(), converter.get(), *this);
        converter.release();
        return adapter;
    });
}

Char16Sink * UTF16Encoding::CreateCharSinkToUnicode(Char32Sink & sink,
                                                    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char16Sink * {
        auto converter = Own(new (allocator) UTF16ToUTF32Converter);
        auto * adapter = new (allocator)
            CharSink_16_to_32(*this, converter.get(), Char32Encoding::UTF32(), sink);
        converter.release();
        return adapter;
    });
}

Char32Sink * UTF16Encoding::CreateCharSinkFromUnicode(Char16Sink & sink,
                                                      UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Sink * {
        auto converter = Own(new (allocator) UTF32ToUTF16Converter);
        auto * adapter = new (allocator)
            CharSink_32_to_16(Char32Encoding::UTF32(), converter.get(), *this, sink);
        converter.release();
        return adapter;
    });
}

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
