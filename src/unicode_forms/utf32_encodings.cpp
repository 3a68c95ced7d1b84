// UTF-32, its byte-order-mark variant and its byte streams.
#include "streams/directed_proxies.h"
#include "unicode_forms/utf16_chains.h"
#include "unicode_forms/utf16_units.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_unicode_forms;

namespace {

char const * gUTF32Names[] = {"UTF32", "csUTF32", nullptr};

}  // namespace

// --- UTF32Encoding ----------------------------------------------------------------

UTF32Encoding::UTF32Encoding() : Char32EncodingImpl(TextEncodingID::UTF32(), gUTF32Names, "", 0) {}
UTF32Encoding::~UTF32Encoding() = default;

unsigned int UTF32Encoding::MapToUnicode(unsigned int c) const { return c; }
unsigned int UTF32Encoding::MapFromUnicode(unsigned int c) const { return c; }

// UTF-32 is the pivot: its streams pass the units through unchanged.
ToUnicodeSource * UTF32Encoding::CreateCharSourceToUnicode(Char32Source & source,
                                                           UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> ToUnicodeSource * { return new (allocator) ToUnicodeProxySource(*this, &source); });
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

ToUnicodeSource * UTF32ByteOrderMarkVariant::CreateCharSourceToUnicode(
    Char32Source & source, UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&] {
        return ChainSourceToUnicode<CharSource_32_to_32>(source, *this, base_,
                                                 Own(new (allocator) UTF32BOMremover), allocator);
    });
}

Char32Source * UTF32ByteOrderMarkVariant::CreateCharSourceFromUnicode(
    Char32Source & source, UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Source * {
        return ChainSourceFromUnicode<CharSource_32_to_32, DirectedChar32ProxySource>(
            source, *this, base_, Own(new (allocator) UTF32BOMinserter), allocator);
    });
}

Char32Sink * UTF32ByteOrderMarkVariant::CreateCharSinkToUnicode(
    Char32Sink & sink, UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Sink * {
        return ChainSinkToUnicode<CharSink_32_to_32, DirectedChar32ProxySink>(
            sink, *this, base_, Own(new (allocator) UTF32BOMremover), allocator);
    });
}

Char32Sink * UTF32ByteOrderMarkVariant::CreateCharSinkFromUnicode(
    Char32Sink & sink, UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Sink * {
        auto inserter = Own(new (allocator) UTF32BOMinserter);
        auto inner = Own(new (allocator) CharSink_32_to_32(base_, inserter.get(), *this, sink));
        inserter.release();
        auto outer = Own(base_.CreateCharSinkFromUnicode(*inner, allocator));
        if (!outer) {
            return nullptr;
        }
        auto * proxy = new (allocator) DirectedChar32ProxySink(outer.get(), outer.get(), inner.get());
        outer.release();
        inner.release();
        return proxy;
    });
}

Transcoder<unsigned int, unsigned int> * UTF32ByteOrderMarkVariant::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, unsigned int> * {
        auto remover = Own(new (allocator) UTF32BOMremover);
        auto base = Own(base_.CreateConverterToUTF32(allocator));
        if (!base) {
            return remover.release();  // the base is UTF-32 itself
        }
        return Chain<unsigned int, unsigned int, unsigned int>(remover.release(), base.release(),
                                                                 allocator);
    });
}

Transcoder<unsigned int, unsigned int> * UTF32ByteOrderMarkVariant::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, unsigned int> * {
        auto base = Own(base_.CreateConverterFromUTF32(allocator));
        auto inserter = Own(new (allocator) UTF32BOMinserter);
        if (!base) {
            return inserter.release();  // the base is UTF-32 itself
        }
        return Chain<unsigned int, unsigned int, unsigned int>(base.release(), inserter.release(),
                                                                 allocator);
    });
}

Transcoder<unsigned int, unsigned short> * UTF32ByteOrderMarkVariant::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, unsigned short> * {
        auto remover = Own(new (allocator) UTF32BOMremover);
        auto base = Own(base_.CreateConverterToUTF16(allocator));
        return Chain<unsigned int, unsigned int, unsigned short>(remover.release(),
                                                                   base.release(), allocator);
    });
}

Transcoder<unsigned short, unsigned int> * UTF32ByteOrderMarkVariant::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, unsigned int> * {
        auto base = Own(base_.CreateConverterFromUTF16(allocator));
        auto inserter = Own(new (allocator) UTF32BOMinserter);
        return Chain<unsigned short, unsigned int, unsigned int>(base.release(),
                                                                   inserter.release(), allocator);
    });
}

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

bool UTF32variant::IsBasedOnASCII() const { return false; }
bool UTF32variant::IsTextModeSafe() const { return false; }

ToUnicodeSource * UTF32variant::CreateCharSourceToUnicode(CharSource & source,
                                                          UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&] {
        return ChainSourceToUnicode<CharSource_8_to_32>(source, *this, base_,
                                                 Own(new (allocator) UTF32toWhatever(big_endian_)), allocator);
    });
}

CharSource * UTF32variant::CreateCharSourceFromUnicode(Char32Source & source,
                                                       UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> CharSource * {
        return ChainSourceFromUnicode<CharSource_32_to_8, DirectedCharProxySource>(
            source, *this, base_, Own(new (allocator) UTF32fromWhatever(big_endian_)), allocator);
    });
}

Char32Sink * UTF32variant::CreateCharSinkFromUnicode(CharSink & sink,
                                                     UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Sink * {
        auto converter = Own(new (allocator) UTF32fromWhatever(big_endian_));
        auto inner = Own(new (allocator) CharSink_32_to_8(base_, converter.get(), *this, sink));
        converter.release();
        auto outer = Own(base_.CreateCharSinkFromUnicode(*inner, allocator));
        if (!outer) {
            return nullptr;
        }
        auto * proxy = new (allocator) DirectedChar32ProxySink(outer.get(), outer.get(), inner.get());
        outer.release();
        inner.release();
        return proxy;
    });
}

CharSink * UTF32variant::CreateCharSinkToUnicode(Char32Sink & sink,
                                                 UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> CharSink * {
        return ChainSinkToUnicode<CharSink_8_to_32, DirectedCharProxySink>(
            sink, *this, base_, Own(new (allocator) UTF32toWhatever(big_endian_)), allocator);
    });
}

CharEncodingDetector * UTF32variant::CreateEncodingDetector(UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> CharEncodingDetector * { return new (allocator) UTF32Detector(*this); });
}

Transcoder<char, unsigned int> * UTF32variant::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<char, unsigned int> * {
        auto bytes = Own(new (allocator) UTF32toWhatever(big_endian_));
        auto base = Own(base_.CreateConverterToUTF32(allocator));
        if (!base) {
            return bytes.release();  // the base is UTF-32 itself
        }
        return Chain<char, unsigned int, unsigned int>(bytes.release(), base.release(),
                                                         allocator);
    });
}

Transcoder<unsigned int, char> * UTF32variant::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, char> * {
        auto base = Own(base_.CreateConverterFromUTF32(allocator));
        auto bytes = Own(new (allocator) UTF32fromWhatever(big_endian_));
        if (!base) {
            return bytes.release();
        }
        return Chain<unsigned int, unsigned int, char>(base.release(), bytes.release(),
                                                         allocator);
    });
}

Transcoder<char, unsigned short> * UTF32variant::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<char, unsigned short> * {
        auto bytes = Own(new (allocator) UTF32toWhatever(big_endian_));
        auto base = Own(base_.CreateConverterToUTF16(allocator));
        return Chain<char, unsigned int, unsigned short>(bytes.release(), base.release(),
                                                           allocator);
    });
}

Transcoder<unsigned short, char> * UTF32variant::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, char> * {
        auto base = Own(base_.CreateConverterFromUTF16(allocator));
        auto bytes = Own(new (allocator) UTF32fromWhatever(big_endian_));
        return Chain<unsigned short, unsigned int, char>(base.release(), bytes.release(),
                                                           allocator);
    });
}
