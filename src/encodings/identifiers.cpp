#include "zuuc/identifiers.h"

#include <cstdio>

namespace {

constexpr unsigned kGroupBits = 5;
constexpr unsigned long kGroupMask = 0x1F;
constexpr unsigned kVariationLimit = 10;  // variation numbers are 0-9
constexpr unsigned kBaseBits = 12;
constexpr unsigned long kBaseMask = 0xFFF;
constexpr unsigned long kBaseLimit = 191;   // base numbers are 0-190
constexpr unsigned kMaxVariationBits = 20;  // four groups
constexpr unsigned kMaxEncodingBits = 28;   // base plus three groups

// Walks `value` in 5-bit groups from the low end while anything is left;
// true when every group names a variation and no more than `max_bits` bits
// are walked. Zero groups below a non-zero one are accepted.
bool VariationGroupsWellFormed(unsigned long value, unsigned max_bits) {
    unsigned bits = 0;
    while (value != 0) {
        if ((value & kGroupMask) >= kVariationLimit) {
            return false;
        }
        bits += kGroupBits;
        if (bits > max_bits) {
            return false;
        }
        value >>= kGroupBits;
    }
    return true;
}

bool VariationValueWellFormed(unsigned long value) {
    return VariationGroupsWellFormed(value, kMaxVariationBits);
}

bool EncodingValueWellFormed(unsigned long value) {
    return (value & kBaseMask) < kBaseLimit &&
           VariationGroupsWellFormed(value >> kBaseBits, kMaxEncodingBits - kBaseBits);
}

// Smallest `floor` + k*5 bits that hold `value`, counting from the highest
// set bit (so zero groups between non-zero ones count).
unsigned BitsFrom(unsigned long value, unsigned floor) {
    unsigned bits = floor;
    while (bits < 64 && (value >> bits) != 0) {
        bits += kGroupBits;
    }
    return bits;
}

}  // namespace

// --- EncodingVariationID ----------------------------------------------------

EncodingVariationID::EncodingVariationID(unsigned long value)
    : value_(static_cast<unsigned int>(value)) {
    if (!VariationValueWellFormed(value)) {
        throw Malformed(value);
    }
}

bool EncodingVariationID::IsWellFormed() const {
    return VariationValueWellFormed(value_);
}

unsigned int EncodingVariationID::BitsUsed() const {
    return BitsFrom(value_, 0);
}

EncodingVariationID & EncodingVariationID::operator+=(EncodingVariationID other) {
    *this = *this + other;
    return *this;
}

EncodingVariationID EncodingVariationID::operator+(EncodingVariationID other) const {
    unsigned const used = BitsUsed();
    if (used + other.BitsUsed() > kMaxVariationBits) {
        throw TooManyVariations(value_, other.value_);
    }
    return EncodingVariationID(value_ | (static_cast<unsigned long>(other.value_) << used));
}

EncodingVariationID EncodingVariationID::GetFirstVariationID() const {
    return EncodingVariationID(value_ & kGroupMask);
}

EncodingVariationID EncodingVariationID::GetRemainingVariationIDs() const {
    return EncodingVariationID(value_ >> kGroupBits);
}

#define ZUUC_DEFINE_ACCESSOR(number, name)            \
    EncodingVariationID EncodingVariationID::name() { \
        return EncodingVariationID(number);           \
    }
ZUUC_ENCODING_VARIATION_IDS(ZUUC_DEFINE_ACCESSOR)
#undef ZUUC_DEFINE_ACCESSOR

// --- TextEncodingID ---------------------------------------------------------

TextEncodingID::TextEncodingID(unsigned long value) : value_(static_cast<unsigned int>(value)) {
    if (!EncodingValueWellFormed(value)) {
        throw Malformed(value);
    }
}

bool TextEncodingID::IsWellFormed() const {
    return EncodingValueWellFormed(value_);
}

unsigned int TextEncodingID::BitsUsed() const {
    return BitsFrom(value_, kBaseBits);
}

TextEncodingID & TextEncodingID::operator+=(EncodingVariationID variation) {
    *this = *this + variation;
    return *this;
}

TextEncodingID TextEncodingID::operator+(EncodingVariationID variation) const {
    unsigned const used = BitsUsed();
    if (used + variation.BitsUsed() > kMaxEncodingBits) {
        throw TooManyVariations(value_, variation.value_);
    }
    return TextEncodingID(value_ | (static_cast<unsigned long>(variation.value_) << used));
}

TextEncodingID TextEncodingID::GetBaseEncodingID() const {
    return TextEncodingID(value_ & kBaseMask);
}

EncodingVariationID TextEncodingID::GetVariationIDs() const {
    return EncodingVariationID(value_ >> kBaseBits);
}

#define ZUUC_DEFINE_ACCESSOR(number, name)  \
    TextEncodingID TextEncodingID::name() { \
        return TextEncodingID(number);      \
    }
ZUUC_TEXT_ENCODING_IDS(ZUUC_DEFINE_ACCESSOR)
#undef ZUUC_DEFINE_ACCESSOR

// --- The identifier errors --------------------------------------------------
// Each fills its fixed message array once; copies copy the whole array, so a
// copy's what() is independent of the original's lifetime.

EncodingVariationID::Malformed::Malformed(unsigned long id) : id_(id) {
    std::snprintf(message_, sizeof message_, "malformed EncodingVariationID 0x%08lx", id);
}
EncodingVariationID::Malformed::Malformed(Malformed const &) = default;
EncodingVariationID::Malformed & EncodingVariationID::Malformed::operator=(Malformed const &) =
    default;
EncodingVariationID::Malformed::~Malformed() = default;
char const * EncodingVariationID::Malformed::what() const {
    return message_;
}
unsigned long EncodingVariationID::Malformed::GetID() const {
    return id_;
}

EncodingVariationID::TooManyVariations::TooManyVariations(unsigned long base,
                                                          unsigned long additional)
    : base_(base), additional_(additional) {
    std::snprintf(message_, sizeof message_,
                  "adding EncodingVariationIDs 0x%08lx and 0x%08lx would exceed the maximum "
                  "number of variations",
                  base, additional);
}
EncodingVariationID::TooManyVariations::TooManyVariations(TooManyVariations const &) = default;
EncodingVariationID::TooManyVariations & EncodingVariationID::TooManyVariations::operator=(
    TooManyVariations const &) = default;
EncodingVariationID::TooManyVariations::~TooManyVariations() = default;
char const * EncodingVariationID::TooManyVariations::what() const {
    return message_;
}
unsigned long EncodingVariationID::TooManyVariations::GetBaseVariationID() const {
    return base_;
}
unsigned long EncodingVariationID::TooManyVariations::GetAdditionalVariationID() const {
    return additional_;
}

TextEncodingID::Malformed::Malformed(unsigned long id) : id_(id) {
    std::snprintf(message_, sizeof message_, "malformed TextEncodingID 0x%08lx", id);
}
TextEncodingID::Malformed::Malformed(Malformed const &) = default;
TextEncodingID::Malformed & TextEncodingID::Malformed::operator=(Malformed const &) = default;
TextEncodingID::Malformed::~Malformed() = default;
char const * TextEncodingID::Malformed::what() const {
    return message_;
}
unsigned long TextEncodingID::Malformed::GetID() const {
    return id_;
}

TextEncodingID::TooManyVariations::TooManyVariations(unsigned long encoding,
                                                     unsigned long variation)
    : encoding_(encoding), variation_(variation) {
    std::snprintf(message_, sizeof message_,
                  "adding TextEncodingID 0x%08lx and EncodingVariationID 0x%08lx would exceed the "
                  "maximum number of variations",
                  encoding, variation);
}
TextEncodingID::TooManyVariations::TooManyVariations(TooManyVariations const &) = default;
TextEncodingID::TooManyVariations & TextEncodingID::TooManyVariations::operator=(
    TooManyVariations const &) = default;
TextEncodingID::TooManyVariations::~TooManyVariations() = default;
char const * TextEncodingID::TooManyVariations::what() const {
    return message_;
}
unsigned long TextEncodingID::TooManyVariations::GetTextEncodingID() const {
    return encoding_;
}
unsigned long TextEncodingID::TooManyVariations::GetEncodingVariationID() const {
    return variation_;
}
