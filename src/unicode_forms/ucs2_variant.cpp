// UCS2variant: the byte stream of a 16-bit encoding.
#include "streams/directed_proxies.h"
#include "unicode_forms/utf16_chains.h"
#include "unicode_forms/utf16_units.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_unicode_forms;

namespace {

// Unicode 1.1 and everything made from it carry base number 1.
char const * MimeNameFor(Char16Encoding const & base) {
    unsigned long const number = base.GetTextEncodingID().GetBaseEncodingID();
    return number == static_cast<unsigned long>(TextEncodingID::Unicode11()) ? "UNICODE-1-1-UCS-2"
                                                                              : "ISO-10646-UCS-2";
}

}  // namespace

UCS2variant::UCS2variant(Char16Encoding const & base, EncodingVariation const & variation,
                         char const ** nicknames, ByteOrderMode mode)
    : CharEncodingImpl(base, variation, nicknames, MimeNameFor(base), 0),
      base_(base),
      big_endian_(mode == kBigEndianByteOrder ||
                  (mode == kPlatformByteOrder && PlatformIsBigEndian())) {}

UCS2variant::~UCS2variant() = default;

unsigned int UCS2variant::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    // U+FFFD in this stream's byte order.
    static unsigned char const kBig[] = {0xFF, 0xFD, 0x00};
    static unsigned char const kLittle[] = {0xFD, 0xFF, 0x00};
    chars = big_endian_ ? kBig : kLittle;
    return 2;
}

bool UCS2variant::IsBasedOnASCII() const { return false; }
bool UCS2variant::IsTextModeSafe() const { return false; }

ToUnicodeSource * UCS2variant::CreateCharSourceToUnicode(CharSource & source,
                                                         UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&] {
        return ChainSourceToUnicode<CharSource_8_to_16>(source, *this, base_,
                                                 Own(new (allocator) UCS2toWhatever(big_endian_)), allocator);
    });
}

CharSource * UCS2variant::CreateCharSourceFromUnicode(Char32Source & source,
                                                      UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> CharSource * {
        return ChainSourceFromUnicode<CharSource_16_to_8, DirectedCharProxySource>(
            source, *this, base_, Own(new (allocator) UCS2fromWhatever(big_endian_)), allocator);
    });
}

Char32Sink * UCS2variant::CreateCharSinkFromUnicode(CharSink & sink,
                                                    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Char32Sink * {
        auto converter = Own(new (allocator) UCS2fromWhatever(big_endian_));
        auto inner = Own(new (allocator) CharSink_16_to_8(base_, converter.get(), *this, sink));
        converter.release();
        auto outer = Own(base_.CreateCharSinkFromUnicode(*inner, allocator));
        if (!outer) {
            return nullptr;
        }
        // The outer stage goes first: it finishes into the inner one.
        auto * proxy = new (allocator) DirectedChar32ProxySink(outer.get(), outer.get(), inner.get());
        outer.release();
        inner.release();
        return proxy;
    });
}

CharSink * UCS2variant::CreateCharSinkToUnicode(Char32Sink & sink,
                                                UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> CharSink * {
        return ChainSinkToUnicode<CharSink_8_to_16, DirectedCharProxySink>(
            sink, *this, base_, Own(new (allocator) UCS2toWhatever(big_endian_)), allocator);
    });
}

CharEncodingDetector * UCS2variant::CreateEncodingDetector(UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> CharEncodingDetector * { return new (allocator) UCS2Detector(*this); });
}

Transcoder<char, unsigned int> * UCS2variant::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<char, unsigned int> * {
        auto bytes = Own(new (allocator) UCS2toWhatever(big_endian_));
        auto base = Own(base_.CreateConverterToUTF32(allocator));
        return Chain<char, unsigned short, unsigned int>(bytes.release(), base.release(),
                                                           allocator);
    });
}

Transcoder<unsigned int, char> * UCS2variant::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, char> * {
        auto base = Own(base_.CreateConverterFromUTF32(allocator));
        auto bytes = Own(new (allocator) UCS2fromWhatever(big_endian_));
        return Chain<unsigned int, unsigned short, char>(base.release(), bytes.release(),
                                                           allocator);
    });
}

Transcoder<char, unsigned short> * UCS2variant::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<char, unsigned short> * {
        auto bytes = Own(new (allocator) UCS2toWhatever(big_endian_));
        auto base = Own(base_.CreateConverterToUTF16(allocator));
        if (!base) {
            return bytes.release();  // the base is UTF-16 itself
        }
        return Chain<char, unsigned short, unsigned short>(bytes.release(), base.release(),
                                                             allocator);
    });
}

Transcoder<unsigned short, char> * UCS2variant::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, char> * {
        auto base = Own(base_.CreateConverterFromUTF16(allocator));
        auto bytes = Own(new (allocator) UCS2fromWhatever(big_endian_));
        if (!base) {
            return bytes.release();
        }
        return Chain<unsigned short, unsigned short, char>(base.release(), bytes.release(),
                                                             allocator);
    });
}
