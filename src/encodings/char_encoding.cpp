#include "zuuc/char_encoding.h"

#include "registry.h"
#include "zuuc/encoding_variation.h"

namespace {

// The two bytes that the 16- and 32-bit encodings give as their substitute:
// U+FFFD, high byte first.
unsigned char const kUnicodeSubstitute[] = {0xFF, 0xFD, 0x00};

template <class Width>
Width * CastTo(TextEncoding * encoding);

template <>
CharEncoding * CastTo<CharEncoding>(TextEncoding * encoding) {
    return encoding == nullptr ? nullptr : encoding->AsCharEncoding();
}
template <>
Char16Encoding * CastTo<Char16Encoding>(TextEncoding * encoding) {
    return encoding == nullptr ? nullptr : encoding->AsChar16Encoding();
}
template <>
Char32Encoding * CastTo<Char32Encoding>(TextEncoding * encoding) {
    return encoding == nullptr ? nullptr : encoding->AsChar32Encoding();
}

}  // namespace

// Registry lookups of one width: the registry's answer, cast to the width
// (an answer of another width becomes null).
#define ZUUC_WIDTH_LOOKUPS(Width, token_size, list, UnicodeName)                                \
    unsigned int Width::Count() { return static_cast<unsigned int>(zuuc::registry::list().size()); } \
    Width * Width::Lookup(unsigned int index) { return zuuc::registry::At(zuuc::registry::list(), index); } \
    Width * Width::Lookup(TextEncodingID id) { return CastTo<Width>(TextEncoding::Lookup(id)); } \
    Width * Width::Lookup(char const * name) {                                                  \
        return CastTo<Width>(TextEncoding::Lookup(name, token_size));                           \
    }                                                                                           \
    Width * Width::Lookup(UnicodeName const * name) {                                           \
        return CastTo<Width>(TextEncoding::Lookup(name, token_size));                           \
    }                                                                                           \
    Width * Width::LookupCodePage(unsigned int code_page) {                                     \
        return CastTo<Width>(TextEncoding::LookupCodePage(code_page));                          \
    }                                                                                           \
    Width const & Width::GetImplementation() const { return *this; }

// --- CharEncoding ---------------------------------------------------------------

CharEncoding::CharEncoding(TextEncodingID id, unsigned char const * substitute,
                           char const ** nicknames, char const * mime_name, unsigned int code_page)
    : TextEncoding(id, substitute, nicknames, mime_name, code_page) {
    if (static_cast<unsigned long>(id) != 0) {
        Enlist();
    }
}

CharEncoding::CharEncoding(TextEncodingID id, unsigned char const * substitute,
                           char const ** nicknames, char const * mime_name, unsigned int code_page,
                           LoaderFunction loader, char const * library)
    : TextEncoding(id, substitute, nicknames, mime_name, code_page, loader, library) {
    if (static_cast<unsigned long>(id) != 0) {
        Enlist();
    }
}

CharEncoding::CharEncoding(TextEncoding const & parent, EncodingVariation const & variation,
                           char const ** nicknames, char const * mime_name, unsigned int code_page)
    : TextEncoding(parent, variation, nicknames, mime_name, code_page) {
    if (static_cast<unsigned long>(parent.GetTextEncodingID()) != 0) {
        Enlist();
    }
}

void CharEncoding::Enlist() {
    zuuc::registry::CharEncodings().push_back(this);
    EncodingVariation::GenerateVariantsOf(*this);
}

CharEncoding::~CharEncoding() { zuuc::registry::Remove(zuuc::registry::CharEncodings(), this); }

unsigned int CharEncoding::TokenSize() const { return 1; }
bool CharEncoding::IsBasedOnASCII() const { return true; }
unsigned int CharEncoding::CountCandidateEncodings() const { return 0; }
CharEncoding const * CharEncoding::GetCandidateEncoding(unsigned int) const { return nullptr; }

ZUUC_WIDTH_LOOKUPS(CharEncoding, 1, CharEncodings, unsigned short)

// --- CharEncodingImpl -----------------------------------------------------------

CharEncodingImpl::~CharEncodingImpl() = default;

CharEncodingDetector * CharEncodingImpl::CreateEncodingDetector(UnicodeLibAllocator &) const {
    return nullptr;
}

Transcoder<char, unsigned short> * CharEncodingImpl::CreateConverterToUTF16(
    UnicodeLibAllocator &) const {
    return nullptr;
}

Transcoder<unsigned short, char> * CharEncodingImpl::CreateConverterFromUTF16(
    UnicodeLibAllocator &) const {
    return nullptr;
}

// --- Char16Encoding -------------------------------------------------------------

Char16Encoding::Char16Encoding(TextEncodingID id, char const ** nicknames, char const * mime_name,
                               unsigned int code_page)
    : TextEncoding(id, kUnicodeSubstitute, nicknames, mime_name, code_page) {
    Enlist();
}

Char16Encoding::Char16Encoding(TextEncoding const & parent, EncodingVariation const & variation,
                               char const ** nicknames, char const * mime_name,
                               unsigned int code_page)
    : TextEncoding(parent, variation, nicknames, mime_name, code_page) {
    Enlist();
}

void Char16Encoding::Enlist() {
    zuuc::registry::Char16Encodings().push_back(this);
    EncodingVariation::GenerateVariantsOf(*this);
}

Char16Encoding::~Char16Encoding() {
    zuuc::registry::Remove(zuuc::registry::Char16Encodings(), this);
}

unsigned int Char16Encoding::TokenSize() const { return 2; }

unsigned int Char16Encoding::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    chars = kUnicodeSubstitute;
    return 2;
}

unsigned short Char16Encoding::SubstituteChar() { return 0xFFFD; }

ScriptSystem Char16Encoding::GetCharacterScript(unsigned int c) const {
    return UnicodeCharacter::GetScriptSystem(MapToUnicode(c));
}

ZUUC_WIDTH_LOOKUPS(Char16Encoding, 2, Char16Encodings, unsigned short)

Char16EncodingImpl::~Char16EncodingImpl() = default;

// --- Char32Encoding -------------------------------------------------------------

Char32Encoding::Char32Encoding(TextEncodingID id, char const ** nicknames, char const * mime_name,
                               unsigned int code_page)
    : TextEncoding(id, kUnicodeSubstitute, nicknames, mime_name, code_page) {
    Enlist();
}

Char32Encoding::Char32Encoding(TextEncoding const & parent, EncodingVariation const & variation,
                               char const ** nicknames, char const * mime_name,
                               unsigned int code_page)
    : TextEncoding(parent, variation, nicknames, mime_name, code_page) {
    Enlist();
}

void Char32Encoding::Enlist() {
    zuuc::registry::Char32Encodings().push_back(this);
    EncodingVariation::GenerateVariantsOf(*this);
}

Char32Encoding::~Char32Encoding() {
    zuuc::registry::Remove(zuuc::registry::Char32Encodings(), this);
}

unsigned int Char32Encoding::TokenSize() const { return 4; }

unsigned int Char32Encoding::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    chars = kUnicodeSubstitute;
    return 2;
}

unsigned int Char32Encoding::SubstituteChar() { return 0xFFFD; }

ScriptSystem Char32Encoding::GetCharacterScript(unsigned int c) const {
    return UnicodeCharacter::GetScriptSystem(MapToUnicode(c));
}

ZUUC_WIDTH_LOOKUPS(Char32Encoding, 4, Char32Encodings, unsigned int)

Char32EncodingImpl::~Char32EncodingImpl() = default;
