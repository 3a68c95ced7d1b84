// The UTF-8 and UTF-EBCDIC variations, the variant encodings they make and
// the accessors of the process-wide UTF-8 and UTF-EBCDIC encodings.
//
// Which Unicode encodings the variations apply to is decided from the
// identifier alone (a variation is offered an encoding from inside the
// encoding's base constructor, before the derived part exists): UTF-16 (2),
// UTF-32 (169) and Unicode 1.1 (1), each by itself or with its byte-order
// mark (ByteOrderMark as the only variation).
//
// Name lookup: the UTF-8 variant of UTF-16 carries the nicknames "UTF8" and
// "UTF-8", so CharEncoding::Lookup("UTF-8") finds it (the UTF-8 variant of
// UTF-32, CharEncoding::UTF8(), has no nicknames of its own and answers to
// "UTF-32:UTF-8"). Both decode and encode the same bytes.
#include "zuuc/utf8_encodings.h"

#include <new>

#include "convert/encoding_streams.h"
#include "convert/transcode_contract.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/unicode_detectors.h"

namespace {

// Identifiers are compared as numbers: these may be needed during static
// initialisation, before any object of this file is constructed.
constexpr unsigned long kUTF16Id = 2;
constexpr unsigned long kUTF32Id = 169;
constexpr unsigned long kUnicode11Base = 1;
constexpr unsigned long kByteOrderMarkVariation = 1;
constexpr unsigned long kUTF32WithBOMId = kUTF32Id | (kByteOrderMarkVariation << 12);

unsigned long Number(TextEncodingID id) {
    return static_cast<unsigned long>(id);
}

bool IsVariationList(TextEncodingID id, unsigned long variations) {
    return static_cast<unsigned long>(id.GetVariationIDs()) == variations;
}

// True for the Unicode bases (given by number) and their byte-order-mark variants.
bool IsUnicodeForm(TextEncoding const & encoding, unsigned long base1, unsigned long base2) {
    TextEncodingID const id = encoding.GetTextEncodingID();
    unsigned long const base = id.GetBaseEncodingID();
    if (base != base1 && base != base2) {
        return false;
    }
    return IsVariationList(id, 0) || IsVariationList(id, kByteOrderMarkVariation);
}

bool IsUnicode11Form(TextEncoding const & encoding) {
    return static_cast<unsigned long>(encoding.GetTextEncodingID().GetBaseEncodingID()) ==
           kUnicode11Base;
}

char const * kUTF8Names[] = {"UTF8", "UTF-8", nullptr};
char const * kUTF8EBCDICNames[] = {"UTF-EBCDIC", "UTF8-EBCDIC", "UTF-8-EBCDIC", nullptr};
char const * kUTF16UTF8Nicknames[] = {"UTF8", "UTF-8", nullptr};
char const * kUTF8BOMNicknames[] = {"UTF8BOM", nullptr};
char const * kUTF16EBCDICNicknames[] = {"UTF-EBCDIC", "UTF8-EBCDIC", "UTF-8-EBCDIC", nullptr};

// U+FFFD in each byte form.
unsigned char const kUTF8Substitute[] = {0xEF, 0xBF, 0xBD, 0x00};
unsigned char const kUTF8EBCDICSubstitute[] = {0xB3, 0xFE, 0xFE, 0xFC, 0x00};

using zuuc_internal::Chain;
using zuuc_internal::NullOnBadAlloc;

// The converters of a byte form of a UTF-16 base: `Decoder` and `Encoder`
// between the bytes and UTF-16 (given the surrogate rule), then the base's
// own stage, none when the base is UTF-16 itself.
template <class Decoder, class Encoder>
struct UTF16ByteForm {
    Char16Encoding const & base;
    bool combine_surrogates;

    bool BaseIsUTF16() const { return Number(base.GetTextEncodingID()) == kUTF16Id; }

    Transcoder<char, unsigned short> * NewDecoder(UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&]() -> Transcoder<char, unsigned short> * {
            return new (allocator) Decoder(combine_surrogates);
        });
    }
    Transcoder<unsigned short, char> * NewEncoder(UnicodeLibAllocator & allocator) const {
        return NullOnBadAlloc([&]() -> Transcoder<unsigned short, char> * {
            return new (allocator) Encoder(combine_surrogates);
        });
    }

    Transcoder<char, unsigned short> * ToUTF16(UnicodeLibAllocator & allocator) const {
        auto * decoder = NewDecoder(allocator);
        if (decoder == nullptr || BaseIsUTF16()) {
            return decoder;
        }
        return Chain(decoder, base.CreateConverterToUTF16(allocator), allocator);
    }
    Transcoder<unsigned short, char> * FromUTF16(UnicodeLibAllocator & allocator) const {
        auto * encoder = NewEncoder(allocator);
        if (encoder == nullptr || BaseIsUTF16()) {
            return encoder;
        }
        return Chain(base.CreateConverterFromUTF16(allocator), encoder, allocator);
    }
    Transcoder<char, unsigned int> * ToUTF32(UnicodeLibAllocator & allocator) const {
        auto * decoder = NewDecoder(allocator);
        if (decoder == nullptr) {
            return nullptr;
        }
        return Chain(decoder, base.CreateConverterToUTF32(allocator), allocator);
    }
    Transcoder<unsigned int, char> * FromUTF32(UnicodeLibAllocator & allocator) const {
        Transcoder<unsigned int, unsigned short> * first = base.CreateConverterFromUTF32(allocator);
        if (first == nullptr) {
            return nullptr;
        }
        return Chain(first, NewEncoder(allocator), allocator);
    }
};

using UTF8Form = UTF16ByteForm<UTF8ToUTF16, UTF16ToUTF8>;
using UTF8EBCDICForm = UTF16ByteForm<UTF8EBCDICtoWhatever, UTF8EBCDICfromWhatever>;

}  // namespace

// --- stream factories shared by the three variant classes -----------------------

#define ZUUC_UNICODE_BYTE_FORM_STREAMS(Class) \
    bool Class::IsTextModeSafe() const {      \
        return false;                         \
    }                                         \
    ZUUC_TRANSCODING_STREAMS(Class)

// --- UTF8EncodingVariantOfUTF16 -----------------------------------------------------

UTF8EncodingVariantOfUTF16::UTF8EncodingVariantOfUTF16(Char16Encoding const & base,
                                                       EncodingVariation const & variation,
                                                       char const ** nicknames, bool combine)
    : CharEncodingImpl(base, variation, nicknames,
                       IsUnicode11Form(base) ? "UNICODE-1-1-UTF-8" : "UTF-8", 0),
      base_(base),
      combine_surrogates_(combine) {}

UTF8EncodingVariantOfUTF16::~UTF8EncodingVariantOfUTF16() = default;

unsigned int UTF8EncodingVariantOfUTF16::SubstituteChars(unsigned char const *& chars,
                                                         unsigned int) const {
    chars = kUTF8Substitute;
    return 3;
}

CharEncodingDetector * UTF8EncodingVariantOfUTF16::CreateEncodingDetector(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> CharEncodingDetector * { return new (allocator) UTF8Detector(*this); });
}

Transcoder<char, unsigned short> * UTF8EncodingVariantOfUTF16::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return UTF8Form{base_, combine_surrogates_}.ToUTF16(allocator);
}

Transcoder<unsigned short, char> * UTF8EncodingVariantOfUTF16::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return UTF8Form{base_, combine_surrogates_}.FromUTF16(allocator);
}

Transcoder<char, unsigned int> * UTF8EncodingVariantOfUTF16::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    if (UTF8Form{base_, combine_surrogates_}.BaseIsUTF16()) {
        // UTF-8 decoded to UTF-16 is always well-formed, so the UTF-16 to
        // UTF-32 stage would pass it on unchanged: decode straight to UTF-32.
        return NullOnBadAlloc(
            [&]() -> Transcoder<char, unsigned int> * { return new (allocator) UTF8ToUTF32(); });
    }
    return UTF8Form{base_, combine_surrogates_}.ToUTF32(allocator);
}

Transcoder<unsigned int, char> * UTF8EncodingVariantOfUTF16::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return UTF8Form{base_, combine_surrogates_}.FromUTF32(allocator);
}

ZUUC_UNICODE_BYTE_FORM_STREAMS(UTF8EncodingVariantOfUTF16)

// --- UTF8EncodingVariantOfUTF32 -----------------------------------------------------

UTF8EncodingVariantOfUTF32::UTF8EncodingVariantOfUTF32(Char32Encoding const & base,
                                                       EncodingVariation const & variation,
                                                       char const ** nicknames, bool combine)
    : CharEncodingImpl(base, variation, nicknames, "UTF-8", 0),
      base_(base),
      combine_surrogates_(combine) {}

UTF8EncodingVariantOfUTF32::~UTF8EncodingVariantOfUTF32() = default;

unsigned int UTF8EncodingVariantOfUTF32::SubstituteChars(unsigned char const *& chars,
                                                         unsigned int) const {
    chars = kUTF8Substitute;
    return 3;
}

CharEncodingDetector * UTF8EncodingVariantOfUTF32::CreateEncodingDetector(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc(
        [&]() -> CharEncodingDetector * { return new (allocator) UTF8Detector(*this); });
}

Transcoder<char, unsigned int> * UTF8EncodingVariantOfUTF32::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    auto * decoder = NullOnBadAlloc(
        [&]() -> Transcoder<char, unsigned int> * { return new (allocator) UTF8ToUTF32(); });
    if (decoder == nullptr || Number(base_.GetTextEncodingID()) == kUTF32Id) {
        return decoder;
    }
    return Chain(decoder, base_.CreateConverterToUTF32(allocator), allocator);
}

Transcoder<char, unsigned short> * UTF8EncodingVariantOfUTF32::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    if (Number(base_.GetTextEncodingID()) == kUTF32Id) {
        return NullOnBadAlloc([&]() -> Transcoder<char, unsigned short> * {
            return new (allocator) UTF8ToUTF16(combine_surrogates_);
        });
    }
    auto * decoder = NullOnBadAlloc(
        [&]() -> Transcoder<char, unsigned int> * { return new (allocator) UTF8ToUTF32(); });
    if (decoder == nullptr) {
        return nullptr;
    }
    return Chain(decoder, base_.CreateConverterToUTF16(allocator), allocator);
}

Transcoder<unsigned int, char> * UTF8EncodingVariantOfUTF32::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    auto * encoder = NullOnBadAlloc(
        [&]() -> Transcoder<unsigned int, char> * { return new (allocator) UTF32ToUTF8(); });
    if (encoder == nullptr || Number(base_.GetTextEncodingID()) == kUTF32Id) {
        return encoder;
    }
    return Chain(base_.CreateConverterFromUTF32(allocator), encoder, allocator);
}

Transcoder<unsigned short, char> * UTF8EncodingVariantOfUTF32::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    Transcoder<unsigned short, unsigned int> * first = base_.CreateConverterFromUTF16(allocator);
    if (first == nullptr) {
        return nullptr;
    }
    auto * encoder = NullOnBadAlloc(
        [&]() -> Transcoder<unsigned int, char> * { return new (allocator) UTF32ToUTF8(); });
    return Chain(first, encoder, allocator);
}

ZUUC_UNICODE_BYTE_FORM_STREAMS(UTF8EncodingVariantOfUTF32)

// --- UTF8EBCDICEncodingVariant ------------------------------------------------------

UTF8EBCDICEncodingVariant::UTF8EBCDICEncodingVariant(Char16Encoding const & base,
                                                     EncodingVariation const & variation,
                                                     char const ** nicknames, bool combine)
    : CharEncodingImpl(base, variation, nicknames, nullptr, 0),
      base_(base),
      combine_surrogates_(combine) {}

UTF8EBCDICEncodingVariant::~UTF8EBCDICEncodingVariant() = default;

bool UTF8EBCDICEncodingVariant::IsBasedOnASCII() const {
    return false;
}

unsigned int UTF8EBCDICEncodingVariant::SubstituteChars(unsigned char const *& chars,
                                                        unsigned int) const {
    chars = kUTF8EBCDICSubstitute;
    return 4;
}

Transcoder<char, unsigned short> * UTF8EBCDICEncodingVariant::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return UTF8EBCDICForm{base_, combine_surrogates_}.ToUTF16(allocator);
}

Transcoder<unsigned short, char> * UTF8EBCDICEncodingVariant::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return UTF8EBCDICForm{base_, combine_surrogates_}.FromUTF16(allocator);
}

Transcoder<char, unsigned int> * UTF8EBCDICEncodingVariant::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return UTF8EBCDICForm{base_, combine_surrogates_}.ToUTF32(allocator);
}

Transcoder<unsigned int, char> * UTF8EBCDICEncodingVariant::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return UTF8EBCDICForm{base_, combine_surrogates_}.FromUTF32(allocator);
}

ZUUC_UNICODE_BYTE_FORM_STREAMS(UTF8EBCDICEncodingVariant)

#undef ZUUC_UNICODE_BYTE_FORM_STREAMS

// --- the variations ---------------------------------------------------------------

UTF8Variation::UTF8Variation()
    : RealEncodingVariation(EncodingVariationID::UTF8(), kUTF8Names, "UTF-8") {
    GenerateVariantsForExistingEncodings();
}

UTF8Variation::~UTF8Variation() = default;

void UTF8Variation::GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) {
    if (!IsUnicodeForm(encoding, kUnicode11Base, 2) || AlreadyAppliedTo(encoding)) {
        return;
    }
    char const ** nicknames =
        Number(encoding.GetTextEncodingID()) == kUTF16Id ? kUTF16UTF8Nicknames : nullptr;
    AddVariant(
        new UTF8EncodingVariantOfUTF16(encoding, *this, nicknames, !IsUnicode11Form(encoding)));
}

void UTF8Variation::GenerateVariantOfChar32Encoding(Char32Encoding const & encoding) {
    if (!IsUnicodeForm(encoding, 169, 169) || AlreadyAppliedTo(encoding)) {
        return;
    }
    bool const with_bom = Number(encoding.GetTextEncodingID()) == kUTF32WithBOMId;
    AddVariant(new UTF8EncodingVariantOfUTF32(encoding, *this,
                                              with_bom ? kUTF8BOMNicknames : nullptr,
                                              with_bom || !IsUnicode11Form(encoding)));
}

UTF8EBCDICVariation::UTF8EBCDICVariation()
    : RealEncodingVariation(EncodingVariationID::UTF8EBCDIC(), kUTF8EBCDICNames, "UTF-EBCDIC") {
    GenerateVariantsForExistingEncodings();
}

UTF8EBCDICVariation::~UTF8EBCDICVariation() = default;

void UTF8EBCDICVariation::GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) {
    if (!IsUnicodeForm(encoding, kUnicode11Base, 2) || AlreadyAppliedTo(encoding)) {
        return;
    }
    char const ** nicknames =
        Number(encoding.GetTextEncodingID()) == kUTF16Id ? kUTF16EBCDICNicknames : nullptr;
    AddVariant(
        new UTF8EBCDICEncodingVariant(encoding, *this, nicknames, !IsUnicode11Form(encoding)));
}

// --- accessors ----------------------------------------------------------------------

EncodingVariation & EncodingVariation::UTF8() {
    static UTF8Variation variation;
    return variation;
}

EncodingVariation & EncodingVariation::UTF8EBCDIC() {
    static UTF8EBCDICVariation variation;
    return variation;
}

namespace {

CharEncoding & VariantOf(TextEncoding const & base, EncodingVariationID variations) {
    return *base.LookupVariant(variations)->AsCharEncoding();
}

}  // namespace

CharEncoding & CharEncoding::Unicode20UTF8() {
    static CharEncoding & encoding = []() -> CharEncoding & {
        Char32Encoding const & base = Char32Encoding::UTF32();
        EncodingVariation::UTF8();
        return VariantOf(base, EncodingVariationID::UTF8());
    }();
    return encoding;
}

CharEncoding & CharEncoding::UTF8() {
    return Unicode20UTF8();
}

CharEncoding & CharEncoding::UTF8BOM() {
    static CharEncoding & encoding = []() -> CharEncoding & {
        Char32Encoding const & base = Char32Encoding::UTF32();
        EncodingVariation::ByteOrderMark();
        EncodingVariation::UTF8();
        return VariantOf(base, EncodingVariationID::ByteOrderMark() + EncodingVariationID::UTF8());
    }();
    return encoding;
}

CharEncoding & CharEncoding::Unicode20UTF8EBCDIC() {
    static CharEncoding & encoding = []() -> CharEncoding & {
        Char16Encoding const & base = Char16Encoding::UTF16();
        EncodingVariation::UTF8EBCDIC();
        return VariantOf(base, EncodingVariationID::UTF8EBCDIC());
    }();
    return encoding;
}
