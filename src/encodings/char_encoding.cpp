#include "zuuc/char_encoding.h"

#include <vector>

#include "registry.h"
#include "zuuc/encoding_variation.h"

namespace {

// The two bytes that the 16- and 32-bit encodings give as their substitute:
// U+FFFD, high byte first.
unsigned char const kUnicodeSubstitute[] = {0xFF, 0xFD, 0x00};

// The registry list, token size and down-cast of each width class.
template <class Width>
struct WidthTraits;

template <>
struct WidthTraits<CharEncoding> {
    static constexpr unsigned int kTokenSize = 1;
    static std::vector<CharEncoding *> & List() { return zuuc_internal::registry::CharEncodings(); }
    static CharEncoding * Cast(TextEncoding * encoding) { return encoding->AsCharEncoding(); }
};
template <>
struct WidthTraits<Char16Encoding> {
    static constexpr unsigned int kTokenSize = 2;
    static std::vector<Char16Encoding *> & List() {
        return zuuc_internal::registry::Char16Encodings();
    }
    static Char16Encoding * Cast(TextEncoding * encoding) { return encoding->AsChar16Encoding(); }
};
template <>
struct WidthTraits<Char32Encoding> {
    static constexpr unsigned int kTokenSize = 4;
    static std::vector<Char32Encoding *> & List() {
        return zuuc_internal::registry::Char32Encodings();
    }
    static Char32Encoding * Cast(TextEncoding * encoding) { return encoding->AsChar32Encoding(); }
};

// Registry lookups of one width: the registry's answer, cast to the width
// (an answer of another width becomes null).
template <class Width>
struct WidthLookups {
    using Traits = WidthTraits<Width>;

    static Width * As(TextEncoding * encoding) {
        return encoding == nullptr ? nullptr : Traits::Cast(encoding);
    }
    static unsigned int Count() { return static_cast<unsigned int>(Traits::List().size()); }
    static Width * At(unsigned int index) {
        return zuuc_internal::registry::At(Traits::List(), index);
    }
    static Width * ById(TextEncodingID id) { return As(TextEncoding::Lookup(id)); }
    template <class Name>
    static Width * ByName(Name const * name) {
        return As(TextEncoding::Lookup(name, Traits::kTokenSize));
    }
    static Width * ByCodePage(unsigned int code_page) {
        return As(TextEncoding::LookupCodePage(code_page));
    }

    // Every encoding joins its width's list, and its variants are made.
    static void Enlist(Width & encoding) {
        Traits::List().push_back(&encoding);
        EncodingVariation::GenerateVariantsOf(encoding);
    }
    static void Delist(Width const & encoding) {
        zuuc_internal::registry::Remove(Traits::List(), &encoding);
    }
};

}  // namespace

#define ZUUC_WIDTH_LOOKUPS(Width, UnicodeName)              \
    unsigned int Width::Count() {                           \
        return WidthLookups<Width>::Count();                \
    }                                                       \
    Width * Width::Lookup(unsigned int index) {             \
        return WidthLookups<Width>::At(index);              \
    }                                                       \
    Width * Width::Lookup(TextEncodingID id) {              \
        return WidthLookups<Width>::ById(id);               \
    }                                                       \
    Width * Width::Lookup(char const * name) {              \
        return WidthLookups<Width>::ByName(name);           \
    }                                                       \
    Width * Width::Lookup(UnicodeName const * name) {       \
        return WidthLookups<Width>::ByName(name);           \
    }                                                       \
    Width * Width::LookupCodePage(unsigned int code_page) { \
        return WidthLookups<Width>::ByCodePage(code_page);  \
    }                                                       \
    Width const & Width::GetImplementation() const {        \
        return *this;                                       \
    }                                                       \
    unsigned int Width::TokenSize() const {                 \
        return WidthTraits<Width>::kTokenSize;              \
    }                                                       \
    void Width::Enlist() {                                  \
        WidthLookups<Width>::Enlist(*this);                 \
    }                                                       \
    Width::~Width() {                                       \
        WidthLookups<Width>::Delist(*this);                 \
    }

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

bool CharEncoding::IsBasedOnASCII() const {
    return true;
}
unsigned int CharEncoding::CountCandidateEncodings() const {
    return 0;
}
CharEncoding const * CharEncoding::GetCandidateEncoding(unsigned int) const {
    return nullptr;
}

ZUUC_WIDTH_LOOKUPS(CharEncoding, unsigned short)

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

unsigned int Char16Encoding::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    chars = kUnicodeSubstitute;
    return 2;
}

unsigned short Char16Encoding::SubstituteChar() {
    return 0xFFFD;
}

ScriptSystem Char16Encoding::GetCharacterScript(unsigned int c) const {
    return UnicodeCharacter::GetScriptSystem(MapToUnicode(c));
}

ZUUC_WIDTH_LOOKUPS(Char16Encoding, unsigned short)

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

unsigned int Char32Encoding::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    chars = kUnicodeSubstitute;
    return 2;
}

unsigned int Char32Encoding::SubstituteChar() {
    return 0xFFFD;
}

ScriptSystem Char32Encoding::GetCharacterScript(unsigned int c) const {
    return UnicodeCharacter::GetScriptSystem(MapToUnicode(c));
}

ZUUC_WIDTH_LOOKUPS(Char32Encoding, unsigned int)

Char32EncodingImpl::~Char32EncodingImpl() = default;

#undef ZUUC_WIDTH_LOOKUPS
