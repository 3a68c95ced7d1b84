// MBCSEncoding and MBCSLookAheadEncoding: table installation and factories.
#include "zuuc/mbcs_encoding.h"

#include <type_traits>

#include "convert/transcode_contract.h"
#include "lookahead_escape.h"
#include "mbcs_chain.h"
#include "table_publish.h"

MBCSEncoding::MBCSEncoding(TextEncodingID id, unsigned char const * substitute,
                           char const ** nicknames, char const * mime_name, unsigned int code_page,
                           bool text_mode_safe, void (*loader)(), char const * library)
    : BlockCharEncoding(id, substitute, nicknames, mime_name, code_page, loader, library),
      text_mode_safe_(text_mode_safe),
      to_unicode16_(nullptr),
      to_unicode32_(nullptr),
      from_16_16_(nullptr),
      from_16_32_(nullptr),
      from_32_16_(nullptr),
      from_32_32_(nullptr) {
    set_is_loaded(false);  // until the encoding library installs the tables
}

MBCSEncoding::~MBCSEncoding() = default;

bool MBCSEncoding::IsBasedOnASCII() const {
    return text_mode_safe_;
}
bool MBCSEncoding::IsTextModeSafe() const {
    return text_mode_safe_;
}

using zuuc_internal::legacy::Publish;

template <class To, class From>
void MBCSEncoding::PublishTables(To & to_field, To to, From & from_field, From from) {
    Publish(to_field, to);
    Publish(from_field, from);
    auto clear = [&](auto & field) {
        if (static_cast<void const *>(&field) != &to_field &&
            static_cast<void const *>(&field) != &from_field) {
            Publish(field, std::remove_reference_t<decltype(field)>(nullptr));
        }
    };
    clear(to_unicode16_);
    clear(to_unicode32_);
    clear(from_16_16_);
    clear(from_16_32_);
    clear(from_32_16_);
    clear(from_32_32_);
}

void MBCSEncoding::InstallTables(MBCStoUnicodeTable<unsigned short> const * to_unicode,
                                 PlaneTable<unsigned short, unsigned short> const * from_unicode) {
    PublishTables(to_unicode16_, to_unicode, from_16_16_, from_unicode);
    set_isUTF32InUnicode(false);
    set_is_loaded(to_unicode != nullptr && from_unicode != nullptr);
}

void MBCSEncoding::InstallTables(MBCStoUnicodeTable<unsigned short> const * to_unicode,
                                 PlaneTable<unsigned short, unsigned int> const * from_unicode) {
    PublishTables(to_unicode16_, to_unicode, from_16_32_, from_unicode);
    set_isUTF32InUnicode(false);
    set_is_loaded(to_unicode != nullptr && from_unicode != nullptr);
}

void MBCSEncoding::InstallTables(MBCStoUnicodeTable<unsigned int> const * to_unicode,
                                 PlaneTable<unsigned int, unsigned short> const * from_unicode) {
    PublishTables(to_unicode32_, to_unicode, from_32_16_, from_unicode);
    set_isUTF32InUnicode(true);
    set_is_loaded(to_unicode != nullptr && from_unicode != nullptr);
}

void MBCSEncoding::InstallTables(MBCStoUnicodeTable<unsigned int> const * to_unicode,
                                 PlaneTable<unsigned int, unsigned int> const * from_unicode) {
    PublishTables(to_unicode32_, to_unicode, from_32_32_, from_unicode);
    set_isUTF32InUnicode(true);
    set_is_loaded(to_unicode != nullptr && from_unicode != nullptr);
}

CharEncodingDetector * MBCSEncoding::CreateEncodingDetector(UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::Place<MBCSDetector>(allocator, *this, to_unicode16_, to_unicode32_);
}

Transcoder<char, unsigned int> * MBCSEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::Place<MBCStoUTF32>(allocator, to_unicode16_, to_unicode32_,
                                             text_mode_safe_);
}

Transcoder<unsigned int, char> * MBCSEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (from_16_16_ != nullptr) {
        return zuuc_internal::Place<MBCSFromUTF32_16>(allocator, from_16_16_, text_mode_safe_);
    }
    if (from_16_32_ != nullptr) {
        return zuuc_internal::Place<MBCSFromUTF32_32>(allocator, from_16_32_, text_mode_safe_);
    }
    if (from_32_16_ != nullptr) {
        return zuuc_internal::Place<MBCSFromUTF32_16>(allocator, from_32_16_, text_mode_safe_);
    }
    return zuuc_internal::Place<MBCSFromUTF32_32>(allocator, from_32_32_, text_mode_safe_);
}

Transcoder<char, unsigned short> * MBCSEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (to_unicode16_ != nullptr) {
        return zuuc_internal::Place<MBCStoUTF16>(allocator, to_unicode16_, text_mode_safe_);
    }
    // Only a table with 32-bit values: its characters may lie beyond U+FFFF.
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterToUTF32(allocator), allocator);
}

Transcoder<unsigned short, char> * MBCSEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (from_16_16_ != nullptr) {
        return zuuc_internal::Place<MBCSFromUTF16_16>(allocator, from_16_16_, text_mode_safe_);
    }
    if (from_16_32_ != nullptr) {
        return zuuc_internal::Place<MBCSFromUTF16_32>(allocator, from_16_32_, text_mode_safe_);
    }
    // Only 32-bit keys: pair the surrogates first.
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterFromUTF32(allocator), allocator);
}

MBCSLookAheadEncoding::~MBCSLookAheadEncoding() = default;

Transcoder<char, unsigned int> * MBCSLookAheadEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::Place<MBCSLookAheadtoUTF32>(allocator, to_unicode16_, to_unicode32_,
                                                      text_mode_safe_);
}

Transcoder<char, unsigned short> * MBCSLookAheadEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (to_unicode16_ != nullptr) {
        return zuuc_internal::Place<MBCSLookAheadtoUTF16>(allocator, to_unicode16_,
                                                          text_mode_safe_);
    }
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterToUTF32(allocator), allocator);
}

Transcoder<unsigned int, char> * MBCSLookAheadEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    zuuc_internal::legacy::LookAheadTables const tables{to_unicode16_, to_unicode32_, from_16_16_,
                                                        from_16_32_,   from_32_16_,   from_32_32_};
    if (zuuc_internal::legacy::HasBackslashEscape(tables)) {
        return zuuc_internal::legacy::CreateEscapingFromUTF32(tables, allocator);
    }
    return MBCSEncoding::CreateConverterFromUTF32(allocator);
}

Transcoder<unsigned short, char> * MBCSLookAheadEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    zuuc_internal::legacy::LookAheadTables const tables{to_unicode16_, to_unicode32_, from_16_16_,
                                                        from_16_32_,   from_32_16_,   from_32_32_};
    if (zuuc_internal::legacy::HasBackslashEscape(tables)) {
        return zuuc_internal::legacy::CreateEscapingFromUTF16(tables, allocator);
    }
    return MBCSEncoding::CreateConverterFromUTF16(allocator);
}
