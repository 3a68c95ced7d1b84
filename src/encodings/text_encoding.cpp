#include "zuuc/text_encoding.h"

#include <cctype>
#include <cstring>
#include <string>

#include "loader_lock.h"
#include "names.h"
#include "registry.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/exceptions.h"
#include "zuuc/loader.h"

namespace {

unsigned SubstituteLength(unsigned char const * substitute) {
    return substitute == nullptr
               ? 0
               : static_cast<unsigned>(std::strlen(reinterpret_cast<char const *>(substitute)));
}

bool IsSeparator(char c) {
    return c == '-' || c == '_' || c == ' ';
}

char Fold(char c) {
    // The C locale's folding: only A-Z change.
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char const * EndOf(char const * begin, char const * end) {
    return end != nullptr ? end : begin + std::strlen(begin);
}

}  // namespace

// --- construction -------------------------------------------------------------

TextEncoding::TextEncoding(TextEncodingID id, unsigned char const * substitute,
                           char const ** nicknames, char const * mime_name, unsigned int code_page)
    : TextEncoding(id, substitute, nicknames, mime_name, code_page, nullptr, nullptr) {}

TextEncoding::TextEncoding(TextEncodingID id, unsigned char const * substitute,
                           char const ** nicknames, char const * mime_name, unsigned int code_page,
                           LoaderFunction loader, char const * library)
    : loaded_(true),
      id_(id),
      parent_(nullptr),
      parent_variation_(nullptr),
      substitute_(substitute),
      substitute_length_(SubstituteLength(substitute)),
      nicknames_(nicknames),
      mime_name_(mime_name),
      code_page_(code_page),
      name_cache_built_(false),
      unicode_name_cache_built_(false),
      unicode_mime_name_cache_built_(false),
      utf32_in_unicode_(false),
      variants_(),
      loader_(loader),
      library_(library) {
    if (static_cast<unsigned long>(id_) != 0) {
        gBaseEncodings[static_cast<unsigned long>(id_.GetBaseEncodingID())] = this;
        zuuc_internal::registry::Encodings().push_back(this);
    }
}

TextEncoding::TextEncoding(TextEncoding const & parent, EncodingVariation const & variation,
                           char const ** nicknames, char const * mime_name, unsigned int code_page)
    : loaded_(true),
      id_(parent.GetTextEncodingID() + variation.GetEncodingVariationID()),
      parent_(const_cast<TextEncoding *>(&parent)),
      parent_variation_(&variation),
      substitute_(nullptr),
      substitute_length_(0),
      nicknames_(nicknames),
      mime_name_(mime_name),
      code_page_(code_page),
      name_cache_built_(false),
      unicode_name_cache_built_(false),
      unicode_mime_name_cache_built_(false),
      utf32_in_unicode_(false),
      variants_(),
      loader_(nullptr),
      library_(nullptr) {
    substitute_length_ = parent.SubstituteChars(substitute_, 0);
    if (static_cast<unsigned long>(parent.GetTextEncodingID()) != 0) {
        unsigned long const number = variation.GetEncodingVariationID();
        parent_->variants_[number] = this;
        zuuc_internal::registry::Encodings().push_back(this);
    }
}

TextEncoding::TextEncoding(TextEncoding const & other)
    : loaded_(false),
      id_(other.id_),
      name_cache_built_(false),
      unicode_name_cache_built_(false),
      unicode_mime_name_cache_built_(false) {
    CopyFrom(other);
}

TextEncoding & TextEncoding::operator=(TextEncoding const & other) {
    if (this != &other) {
        CopyFrom(other);
    }
    return *this;
}

void TextEncoding::CopyFrom(TextEncoding const & other) {
    std::lock_guard<std::recursive_mutex> lock(zuuc_internal::registry::NameCacheMutex());
    loaded_.store(other.loaded_.load());
    id_ = other.id_;
    parent_ = other.parent_;
    parent_variation_ = other.parent_variation_;
    substitute_ = other.substitute_;
    substitute_length_ = other.substitute_length_;
    nicknames_ = other.nicknames_;
    mime_name_ = other.mime_name_;
    code_page_ = other.code_page_;
    name_cache_ = other.name_cache_;
    unicode_name_cache_ = other.unicode_name_cache_;
    unicode_mime_name_cache_ = other.unicode_mime_name_cache_;
    name_cache_built_.store(other.name_cache_built_.load());
    unicode_name_cache_built_.store(other.unicode_name_cache_built_.load());
    unicode_mime_name_cache_built_.store(other.unicode_mime_name_cache_built_.load());
    utf32_in_unicode_.store(other.utf32_in_unicode_.load());
    for (unsigned i = 0; i < zuuc_internal::registry::kVariationCount; ++i) {
        variants_[i] = other.variants_[i];
    }
    loader_ = other.loader_;
    library_ = other.library_;
}

TextEncoding::~TextEncoding() {
    // Forget this encoding wherever it was registered, so that an encoding
    // with a shorter life than the process (one made by a caller) never
    // leaves a dangling entry behind. Copies were never registered.
    zuuc_internal::registry::Remove(zuuc_internal::registry::Encodings(), this);
    unsigned long const base = id_.GetBaseEncodingID();
    if (gBaseEncodings[base] == this) {
        gBaseEncodings[base] = nullptr;
    }
    if (parent_ != nullptr && parent_variation_ != nullptr) {
        unsigned long const number = parent_variation_->GetEncodingVariationID();
        if (parent_->variants_[number] == this) {
            parent_->variants_[number] = nullptr;
        }
    }
    // Variants may be owned by other variations and outlive this encoding at
    // exit; they must not reach back into it.
    for (TextEncoding * variant : variants_) {
        if (variant != nullptr && variant->parent_ == this) {
            variant->parent_ = nullptr;
        }
    }
}

// --- virtual defaults ---------------------------------------------------------

bool TextEncoding::IsValidForInput() const {
    return true;
}
bool TextEncoding::IsValidForOutput() const {
    return true;
}

unsigned int TextEncoding::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    chars = substitute_;
    return substitute_length_;
}

// --- identity and names -------------------------------------------------------

TextEncodingID TextEncoding::GetTextEncodingID() const {
    return id_;
}
unsigned int TextEncoding::CodePage() const {
    return code_page_;
}

char const * TextEncoding::Name() const {
    if (nicknames_ != nullptr && nicknames_[0] != nullptr) {
        return nicknames_[0];
    }
    zuuc_internal::names::BuildOnce(name_cache_built_, [this] {
        zu_string name;
        if (parent_ != nullptr) {
            name += parent_->Name();
        }
        name += ':';
        if (parent_variation_ != nullptr) {
            name += parent_variation_->Name();
        }
        name_cache_ = name;
        name_cache_.c_str();  // terminate now, while the lock is held
    });
    return name_cache_.data();  // terminated when built
}

char const * TextEncoding::MimeName() const {
    if (mime_name_ == nullptr && parent_variation_ != nullptr) {
        return parent_variation_->MimeName();
    }
    return mime_name_;
}

unsigned short const * TextEncoding::NameInUnicode() const {
    zuuc_internal::names::BuildOnce(unicode_name_cache_built_, [this] {
        unicode_name_cache_ = zuuc_internal::names::ToUnicode(Name());
        unicode_name_cache_.c_str();
    });
    // Terminated when it was built; c_str() would write the terminator again.
    return unicode_name_cache_.data();
}

unsigned short const * TextEncoding::MimeNameInUnicode() const {
    if (mime_name_ == nullptr) {
        return nullptr;
    }
    zuuc_internal::names::BuildOnce(unicode_mime_name_cache_built_, [this] {
        unicode_mime_name_cache_ = zuuc_internal::names::ToUnicode(mime_name_);
        unicode_mime_name_cache_.c_str();
    });
    return unicode_mime_name_cache_.data();
}

unsigned int TextEncoding::CountNicknames() const {
    unsigned int count = 0;
    if (nicknames_ != nullptr) {
        while (nicknames_[count] != nullptr) {
            ++count;
        }
    }
    return count;
}

char const * TextEncoding::GetNickname(unsigned int i) const {
    return i < CountNicknames() ? nicknames_[i] : nullptr;
}

bool TextEncoding::SameName(char const * known, char const * begin, char const * end) {
    if (known == nullptr || begin == nullptr) {
        return false;
    }
    end = EndOf(begin, end);
    for (;;) {
        while (IsSeparator(*known)) {
            ++known;
        }
        while (begin < end && IsSeparator(*begin)) {
            ++begin;
        }
        if (*known == '\0') {
            return begin == end;
        }
        if (begin == end || Fold(*known) != Fold(*begin)) {
            return false;
        }
        ++known;
        ++begin;
    }
}

char const * TextEncoding::LastColon(char const * begin, char const * end) {
    for (char const * p = end; p > begin; --p) {
        if (p[-1] == ':') {
            return p - 1;
        }
    }
    return nullptr;
}

bool TextEncoding::HasSimpleName(char const * begin, char const * end) const {
    for (unsigned int i = 0, n = CountNicknames(); i < n; ++i) {
        if (SameName(nicknames_[i], begin, end)) {
            return true;
        }
    }
    return false;
}

bool TextEncoding::HasVariantName(char const * base_begin, char const * base_end,
                                  char const * variation_begin, char const * variation_end) const {
    return parent_ != nullptr && parent_variation_ != nullptr &&
           parent_variation_->HasName(variation_begin, variation_end) &&
           parent_->HasName(base_begin, base_end);
}

bool TextEncoding::HasName(char const * begin, char const * end) const {
    if (begin == nullptr) {
        return false;
    }
    end = EndOf(begin, end);
    char const * colon = LastColon(begin, end);
    if (colon == nullptr) {
        return HasSimpleName(begin, end);
    }
    return HasVariantName(begin, colon, colon + 1, end);
}

bool TextEncoding::HasName(unsigned short const * name) const {
    std::string bytes;
    return name != nullptr && zuuc_internal::names::ToBytes(name, bytes) &&
           HasName(bytes.data(), bytes.data() + bytes.size());
}

bool TextEncoding::operator==(TextEncoding const & other) const {
    return id_ == other.id_;
}
bool TextEncoding::operator!=(TextEncoding const & other) const {
    return id_ != other.id_;
}

// --- kinds ----------------------------------------------------------------------

bool TextEncoding::IsCharEncoding() const {
    return TokenSize() == 1;
}
bool TextEncoding::IsExternalEncoding() const {
    return TokenSize() == 1;
}
bool TextEncoding::IsChar16Encoding() const {
    return TokenSize() == 2;
}
bool TextEncoding::IsInternalEncoding() const {
    return TokenSize() == 2;
}
bool TextEncoding::IsChar32Encoding() const {
    return TokenSize() == 4;
}
bool TextEncoding::HasTokenSize(unsigned int size) const {
    return size == 0 || size == TokenSize();
}

CharEncoding * TextEncoding::AsCharEncoding() {
    return IsCharEncoding() ? static_cast<CharEncoding *>(this) : nullptr;
}
CharEncoding const * TextEncoding::AsCharEncoding() const {
    return IsCharEncoding() ? static_cast<CharEncoding const *>(this) : nullptr;
}
Char16Encoding * TextEncoding::AsChar16Encoding() {
    return IsChar16Encoding() ? static_cast<Char16Encoding *>(this) : nullptr;
}
Char16Encoding const * TextEncoding::AsChar16Encoding() const {
    return IsChar16Encoding() ? static_cast<Char16Encoding const *>(this) : nullptr;
}
Char32Encoding * TextEncoding::AsChar32Encoding() {
    return IsChar32Encoding() ? static_cast<Char32Encoding *>(this) : nullptr;
}
Char32Encoding const * TextEncoding::AsChar32Encoding() const {
    return IsChar32Encoding() ? static_cast<Char32Encoding const *>(this) : nullptr;
}
CharEncoding * TextEncoding::AsExternalEncoding() {
    return AsCharEncoding();
}
CharEncoding const * TextEncoding::AsExternalEncoding() const {
    return AsCharEncoding();
}
Char16Encoding * TextEncoding::AsInternalEncoding() {
    return AsChar16Encoding();
}
Char16Encoding const * TextEncoding::AsInternalEncoding() const {
    return AsChar16Encoding();
}

bool TextEncoding::IsUTF32InUnicode() const {
    return utf32_in_unicode_.load();
}
void TextEncoding::set_isUTF32InUnicode(bool const & value) {
    utf32_in_unicode_.store(value);
}

// --- variants -------------------------------------------------------------------

TextEncoding * TextEncoding::GetParentEncoding() const {
    return parent_;
}
EncodingVariation const * TextEncoding::GetParentVariation() const {
    return parent_variation_;
}
bool TextEncoding::IsVariantEncoding() const {
    return parent_ != nullptr;
}
bool TextEncoding::IsBaseEncoding() const {
    return parent_ == nullptr;
}

TextEncoding * TextEncoding::LookupVariant(EncodingVariationID variations) const {
    TextEncoding * encoding = const_cast<TextEncoding *>(this);
    while (encoding != nullptr && static_cast<unsigned long>(variations) != 0) {
        encoding =
            encoding->variants_[static_cast<unsigned long>(variations.GetFirstVariationID())];
        variations = variations.GetRemainingVariationIDs();
    }
    return encoding;
}

// --- loading --------------------------------------------------------------------

bool TextEncoding::IsLoaded() const {
    return loaded_;
}
void TextEncoding::set_is_loaded(bool const & value) {
    loaded_ = value;
}
char const * TextEncoding::LibraryName() const {
    return library_;
}

void TextEncoding::Load() const {
    if (loaded_) {
        return;
    }
    // Another thread may be installing the tables right now: wait for it and
    // look again, so that a module is not initialised while its tables are
    // in use.
    std::lock_guard<std::recursive_mutex> lock(zuuc_internal::loader::Mutex());
    if (loaded_) {
        return;
    }
    if (loader_ != nullptr) {
        loader_();
        if (loaded_) {
            return;
        }
    }
    if (library_ == nullptr) {
        throw NoEncodingLibraryRegistered(*this);
    }
    if (!UnicodeLibLoader::Load(library_)) {
        throw UnableToLoadEncodingLibrary(*this, library_);
    }
    if (!loaded_) {
        throw LibraryDoesNotImplementEncoding(*this, library_);
    }
}

bool TextEncoding::IsLoadable() const {
    if (loaded_) {
        return true;
    }
    std::lock_guard<std::recursive_mutex> lock(zuuc_internal::loader::Mutex());
    if (loaded_) {
        return true;
    }
    if (loader_ != nullptr) {
        loader_();
        if (loaded_) {
            return true;
        }
    }
    return library_ != nullptr && UnicodeLibLoader::IsLoadable(library_);
}

// --- the registry ---------------------------------------------------------------

unsigned int TextEncoding::Count() {
    return static_cast<unsigned int>(zuuc_internal::registry::Encodings().size());
}

TextEncoding * TextEncoding::Lookup(unsigned int index) {
    return zuuc_internal::registry::At(zuuc_internal::registry::Encodings(), index);
}

TextEncoding * TextEncoding::Lookup(TextEncodingID id) {
    TextEncoding * base = gBaseEncodings[static_cast<unsigned long>(id.GetBaseEncodingID())];
    return base == nullptr ? nullptr : base->LookupVariant(id.GetVariationIDs());
}

TextEncoding * TextEncoding::Lookup(char const * name, unsigned int token_size) {
    if (name == nullptr) {
        return nullptr;
    }
    char const * end = name + std::strlen(name);
    for (TextEncoding * encoding : zuuc_internal::registry::Encodings()) {
        if (encoding->HasTokenSize(token_size) && encoding->HasName(name, end)) {
            return encoding;
        }
    }
    return nullptr;
}

TextEncoding * TextEncoding::Lookup(unsigned short const * name, unsigned int token_size) {
    std::string bytes;
    if (name == nullptr || !zuuc_internal::names::ToBytes(name, bytes)) {
        return nullptr;
    }
    return Lookup(bytes.c_str(), token_size);
}

TextEncoding * TextEncoding::Lookup(unsigned int const * name, unsigned int token_size) {
    std::string bytes;
    if (name == nullptr || *name == 0 || !zuuc_internal::names::ToBytes(name, bytes)) {
        return nullptr;
    }
    return Lookup(bytes.c_str(), token_size);
}

TextEncoding * TextEncoding::LookupCodePage(unsigned int code_page) {
    for (TextEncoding * encoding : zuuc_internal::registry::Encodings()) {
        if (encoding->CodePage() == code_page) {
            return encoding;
        }
    }
    return nullptr;
}
