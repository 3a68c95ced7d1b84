// The byte-order-mark and byte-order variations, and the accessors of the
// Unicode encodings and their byte streams.
#include "unicode_forms/utf16_units.h"
#include "zuuc/exceptions.h"
#include "zuuc/unicode_encodings.h"

namespace {

char const * gByteOrderMarkNames[] = {"BOM", "ByteOrderMark", nullptr};
char const * gBigEndianNames[] = {"big-endian", "BigEndian", "68k",  "PowerPC",
                                  "Mac",        "Macintosh", nullptr};
char const * gLittleEndianNames[] = {"little-endian", "LittleEndian", "x86", nullptr};
char const * gPlatformNames[] = {"UCS2", "UCS-2", "unicode", "ISO-10646-UCS-2", "UTF-16", nullptr};
// The byte streams of UTF-16 and UTF-32 in one stated byte order answer to
// the IANA labels, which mean exactly that: no byte-order mark is written and
// a leading one is read as U+FEFF. Streams that had no nicknames keep the
// name they had (parent:variation) as their first one.
char const * gBMPNames[] = {"BMP", "BMPstring", "UTF-16BE", nullptr};
char const * gUTF16LittleEndianNames[] = {"Unicode20:little-endian", "UTF-16LE", nullptr};
char const * gUTF32BigEndianNames[] = {"UTF32:big-endian", "UTF-32BE", nullptr};
char const * gUTF32LittleEndianNames[] = {"UTF32:little-endian", "UTF-32LE", nullptr};
char const * gUTF32StreamNames[] = {"UTF32", nullptr};

constexpr unsigned long kUTF16 = 2;
constexpr unsigned long kUTF32 = 169;
constexpr unsigned long kWithMark = 1ul << 12;  // the byte-order-mark variation, first applied

// The names of the byte stream that variation `variation` makes of the
// encoding `parent`; null for a stream named after its parent and variation.
char const ** StreamNames(unsigned long variation, unsigned long parent) {
    switch (variation) {
        case 4:
            if (parent == kUTF16) {
                return gBMPNames;
            }
            if (parent == kUTF32) {
                return gUTF32BigEndianNames;
            }
            return parent == (kUTF16 | kWithMark) ? gBigEndianNames : nullptr;
        case 5:
            if (parent == kUTF16) {
                return gUTF16LittleEndianNames;
            }
            if (parent == kUTF32) {
                return gUTF32LittleEndianNames;
            }
            return parent == (kUTF16 | kWithMark) ? gLittleEndianNames : nullptr;
        case 6:
            if (parent == (kUTF16 | kWithMark)) {
                return gPlatformNames;
            }
            return parent == (kUTF32 | kWithMark) ? gUTF32StreamNames : nullptr;
        default:
            return nullptr;
    }
}

// Encodings with identifier 0 are not registered (tests and temporary
// objects); their variants could never be found, so none are made.
bool Registered(TextEncoding const & encoding) {
    return static_cast<unsigned long>(encoding.GetTextEncodingID()) != 0;
}

// An encoding whose identifier has no room for one more variation gets no
// variant.
template <class Make>
void Generate(Make make) {
    try {
        make();
    } catch (TextEncodingID::TooManyVariations const &) {
    }
}

}  // namespace

// --- ByteOrderMarkVariation ------------------------------------------------------------

ByteOrderMarkVariation::ByteOrderMarkVariation()
    : RealEncodingVariation(EncodingVariationID::ByteOrderMark(), gByteOrderMarkNames, nullptr) {
    GenerateVariantsForExistingEncodings();
}

ByteOrderMarkVariation::~ByteOrderMarkVariation() = default;

void ByteOrderMarkVariation::GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) {
    if (!Registered(encoding) || AlreadyAppliedTo(encoding)) {
        return;
    }
    Generate([&] { AddVariant(new UTF16ByteOrderMarkVariant(encoding, *this, nullptr)); });
}

void ByteOrderMarkVariation::GenerateVariantOfChar32Encoding(Char32Encoding const & encoding) {
    if (!Registered(encoding) || AlreadyAppliedTo(encoding)) {
        return;
    }
    Generate([&] { AddVariant(new UTF32ByteOrderMarkVariant(encoding, *this, nullptr)); });
}

// --- the byte-order variations --------------------------------------------------------

ByteOrderVariation::ByteOrderVariation(EncodingVariationID id, char const ** names,
                                       ByteOrderMode mode)
    : RealEncodingVariation(id, names, nullptr), mode_(mode) {}

ByteOrderVariation::~ByteOrderVariation() = default;

void ByteOrderVariation::GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) {
    if (!Registered(encoding) || AlreadyAppliedTo(encoding)) {
        return;
    }
    char const ** const names = StreamNames(GetEncodingVariationID(), encoding.GetTextEncodingID());
    Generate([&] { AddVariant(new UCS2variant(encoding, *this, names, mode_)); });
}

void ByteOrderVariation::GenerateVariantOfChar32Encoding(Char32Encoding const & encoding) {
    if (!Registered(encoding) || AlreadyAppliedTo(encoding)) {
        return;
    }
    char const ** const names = StreamNames(GetEncodingVariationID(), encoding.GetTextEncodingID());
    Generate([&] { AddVariant(new UTF32variant(encoding, *this, names, mode_)); });
}

BigEndianVariation::BigEndianVariation()
    : ByteOrderVariation(EncodingVariationID::BigEndian(), gBigEndianNames, kBigEndianByteOrder) {
    GenerateVariantsForExistingEncodings();
}
BigEndianVariation::~BigEndianVariation() = default;

LittleEndianVariation::LittleEndianVariation()
    : ByteOrderVariation(EncodingVariationID::LittleEndian(), gLittleEndianNames,
                         kLittleEndianByteOrder) {
    GenerateVariantsForExistingEncodings();
}
LittleEndianVariation::~LittleEndianVariation() = default;

PlatformByteOrderVariation::PlatformByteOrderVariation()
    : ByteOrderVariation(EncodingVariationID::PlatformByteOrder(), gPlatformNames,
                         kPlatformByteOrder) {
    GenerateVariantsForExistingEncodings();
}
PlatformByteOrderVariation::~PlatformByteOrderVariation() = default;

bool zu_platform_is_big_endian() {
    return zuuc_internal::unicode_forms::PlatformIsBigEndian();
}

// --- accessors ---------------------------------------------------------------------------
//
// Each object is built on first use. A variant accessor first makes sure the
// base and every variation it needs exist (so the variant has been
// generated, whichever came first), then looks the variant up.

EncodingVariation & EncodingVariation::ByteOrderMark() {
    static ByteOrderMarkVariation variation;
    return variation;
}

EncodingVariation & EncodingVariation::BigEndian() {
    static BigEndianVariation variation;
    return variation;
}

EncodingVariation & EncodingVariation::LittleEndian() {
    static LittleEndianVariation variation;
    return variation;
}

EncodingVariation & EncodingVariation::PlatformByteOrder() {
    static PlatformByteOrderVariation variation;
    return variation;
}

Char16Encoding & Char16Encoding::UTF16() {
    static UTF16Encoding encoding;
    return encoding;
}
Char16Encoding & Char16Encoding::Unicode20() {
    return UTF16();
}
Char16Encoding & Char16Encoding::Unicode() {
    return UTF16();
}

Char32Encoding & Char32Encoding::UTF32() {
    static UTF32Encoding encoding;
    return encoding;
}
Char32Encoding & Char32Encoding::Unicode20() {
    return UTF32();
}
Char32Encoding & Char32Encoding::Unicode() {
    return UTF32();
}

namespace {

CharEncoding & ByteStream(TextEncoding const & base, EncodingVariationID variations) {
    TextEncoding * const variant = base.LookupVariant(variations);
    CharEncoding * const bytes = variant != nullptr ? variant->AsCharEncoding() : nullptr;
    if (bytes == nullptr) {
        // Only possible when another object has taken a variation's number.
        throw UnicodeLibraryException();
    }
    return *bytes;
}

using VariationAccessor = EncodingVariation & (*)();

EncodingVariationID Variations(VariationAccessor order, bool with_mark) {
    EncodingVariationID variations = EncodingVariationID::None();
    if (with_mark) {
        variations += EncodingVariation::ByteOrderMark().GetEncodingVariationID();
    }
    variations += order().GetEncodingVariationID();
    return variations;
}

CharEncoding & ByteStreamOf16(VariationAccessor order, bool with_mark) {
    TextEncoding const & base = Char16Encoding::UTF16();
    return ByteStream(base, Variations(order, with_mark));
}

CharEncoding & ByteStreamOf32(VariationAccessor order, bool with_mark) {
    TextEncoding const & base = Char32Encoding::UTF32();
    return ByteStream(base, Variations(order, with_mark));
}

}  // namespace

// The byte stream of `base` made by `order`, with the byte-order mark first
// when `with_mark` is set. The base is created before the variations.
CharEncoding & CharEncoding::UTF16() {
    static CharEncoding & encoding = ByteStreamOf16(&EncodingVariation::PlatformByteOrder, false);
    return encoding;
}

CharEncoding & CharEncoding::UCS2() {
    return UTF16();
}

CharEncoding & CharEncoding::Unicode20BigEndian() {
    static CharEncoding & encoding = ByteStreamOf16(&EncodingVariation::BigEndian, false);
    return encoding;
}

CharEncoding & CharEncoding::Unicode20ByteStream() {
    static CharEncoding & encoding = ByteStreamOf16(&EncodingVariation::PlatformByteOrder, true);
    return encoding;
}

CharEncoding & CharEncoding::UTF32() {
    static CharEncoding & encoding = ByteStreamOf32(&EncodingVariation::PlatformByteOrder, false);
    return encoding;
}

CharEncoding & CharEncoding::UTF32BigEndian() {
    static CharEncoding & encoding = ByteStreamOf32(&EncodingVariation::BigEndian, false);
    return encoding;
}

CharEncoding & CharEncoding::UTF32ByteStream() {
    static CharEncoding & encoding = ByteStreamOf32(&EncodingVariation::PlatformByteOrder, true);
    return encoding;
}
