// UnicodeCharacter: property lookups over the generated Unicode 4.0 tables.
#include "zuuc/unicode_character.h"

#include "chardb/unicode_tables.h"

using namespace zuuc_internal::chardb;

namespace {

unsigned int const kReplacementCharacter = 0xFFFD;

}  // namespace

UnicodeCharacter::UnicodeCharacter(unsigned int c)
    : codepoint_(c), cached_(false), properties_(0) {}

UnicodeCharacter::UnicodeCharacter(unsigned short high, unsigned short low)
    : codepoint_(kReplacementCharacter), cached_(false), properties_(0) {
    if (high >= 0xD800 && high <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
        codepoint_ = 0x10000u + ((static_cast<unsigned int>(high) - 0xD800u) << 10) +
                     (static_cast<unsigned int>(low) - 0xDC00u);
    }
}

// ---------------------------------------------------------------------------
// Static lookups.  The four-level tables cover every 32-bit value (values
// above U+10FFFF read a block of unassigned defaults); the two-level tables
// cover the BMP and are guarded here.

CharacterCategory UnicodeCharacter::GetCharacterCategory(unsigned int c) {
    return static_cast<CharacterCategory>(kCategoryTable.Lookup(c));
}

BidirectionalCategory UnicodeCharacter::GetBidirectionalCategory(unsigned int c) {
    return static_cast<BidirectionalCategory>(kBidiTable.Lookup(c));
}

ScriptSystem UnicodeCharacter::GetScriptSystem(unsigned int c) {
    return static_cast<ScriptSystem>(kScriptTable.Lookup(c));
}

CharacterWidth UnicodeCharacter::GetCharacterWidth(unsigned int c) {
    return static_cast<CharacterWidth>(kWidthTable.Lookup(c));
}

LineBreak UnicodeCharacter::GetLineBreak(unsigned int c) {
    return static_cast<LineBreak>(kLineBreakTable.Lookup(c));
}

unsigned int UnicodeCharacter::GetMirror(unsigned int c) {
    unsigned int m = kMirrorTable.Lookup(c);
    return m != 0 ? m : c;
}

bool UnicodeCharacter::IsMirrored(unsigned int c) {
    return (kPropertiesTable.Lookup(c) >> Property_Bidi_Mirrored) & 1u;
}

bool UnicodeCharacter::HasExtendedProperty(unsigned int c, ExtendedUnicodeProperty p) {
    return (kPropertiesTable.Lookup(c) >> (static_cast<unsigned int>(p) & 31u)) & 1u;
}

signed char UnicodeCharacter::DecimalDigitValue(unsigned int c) {
    if (c > 0xFFFF)
        return -1;
    return kDecimalTable.Lookup(c);
}

signed char UnicodeCharacter::DigitValue(unsigned int c) {
    if (c > 0xFFFF)
        return -1;
    return kDigitTable.Lookup(c);
}

float UnicodeCharacter::NumericValue(unsigned int c) {
    if (c > 0xFFFF)
        return -1.0f;
    return kNumericTable.Lookup(c);
}

// ---------------------------------------------------------------------------
// Member forms.

CharacterCategory UnicodeCharacter::GetCharacterCategory() const {
    return GetCharacterCategory(codepoint_);
}

BidirectionalCategory UnicodeCharacter::GetBidirectionalCategory() const {
    return GetBidirectionalCategory(codepoint_);
}

ScriptSystem UnicodeCharacter::GetScriptSystem() const {
    return GetScriptSystem(codepoint_);
}

CharacterWidth UnicodeCharacter::GetCharacterWidth() const {
    return GetCharacterWidth(codepoint_);
}

LineBreak UnicodeCharacter::GetLineBreak() const {
    return GetLineBreak(codepoint_);
}

unsigned int UnicodeCharacter::GetMirror() const {
    return GetMirror(codepoint_);
}

bool UnicodeCharacter::IsMirrored() const {
    return IsMirrored(codepoint_);
}

bool UnicodeCharacter::HasExtendedProperty(ExtendedUnicodeProperty p) const {
    if (!cached_) {
        properties_ = kPropertiesTable.Lookup(codepoint_);
        cached_ = true;
    }
    return (properties_ >> (static_cast<unsigned int>(p) & 31u)) & 1u;
}

signed char UnicodeCharacter::DecimalDigitValue() const {
    return DecimalDigitValue(codepoint_);
}

signed char UnicodeCharacter::DigitValue() const {
    return DigitValue(codepoint_);
}

float UnicodeCharacter::NumericValue() const {
    return NumericValue(codepoint_);
}
