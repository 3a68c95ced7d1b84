// UCS2variant: the byte stream of a 16-bit encoding.
#include "streams/directed_proxies.h"
#include "unicode_forms/utf16_chains.h"
#include "unicode_forms/utf16_units.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_detectors.h"
#include "zuuc/unicode_encodings.h"

using namespace zuuc_internal::unicode_forms;

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

bool UCS2variant::IsBasedOnASCII() const {
    return false;
}
bool UCS2variant::IsTextModeSafe() const {
    return false;
}

ZUUC_STEP_VARIANT_FACTORIES(UCS2variant, UCS2toWhatever, UCS2fromWhatever)

CharEncodingDetector * UCS2variant::CreateEncodingDetector(UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> CharEncodingDetector * { return new (allocator) UCS2Detector(*this); });
}
