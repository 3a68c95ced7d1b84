#include "zuuc/sbcs_encoding.h"

#include <new>

#include "convert/transcode_contract.h"
#include "table_publish.h"

// ISO-8859-1 converts by value, whatever tables its library installs.
namespace {
constexpr unsigned long kISOLatin1 = 17;
}

SBCSEncoding::SBCSEncoding(TextEncodingID id, unsigned char const * substitute,
                           char const ** nicknames, char const * mime_name, unsigned int code_page,
                           bool text_mode_safe, void (*loader)(), char const * library)
    : BlockCharEncoding(id, substitute, nicknames, mime_name, code_page, loader, library),
      to_unicode_(nullptr),
      from_unicode_(nullptr),
      text_mode_safe_(text_mode_safe) {
    set_is_loaded(false);
}

SBCSEncoding::~SBCSEncoding() = default;

bool SBCSEncoding::IsBasedOnASCII() const {
    return text_mode_safe_;
}

bool SBCSEncoding::IsTextModeSafe() const {
    return text_mode_safe_;
}

bool SBCSEncoding::IsLatin1() const {
    return static_cast<unsigned long>(GetTextEncodingID()) == kISOLatin1;
}

void SBCSEncoding::InstallTables(unsigned short const * to_unicode,
                                 SBCSFromUnicodeTable const * from_unicode) {
    zuuc_internal::legacy::Publish(to_unicode_, to_unicode);
    zuuc_internal::legacy::Publish(from_unicode_, from_unicode);
    set_is_loaded(to_unicode != nullptr && from_unicode != nullptr);
}

CharEncodingDetector * SBCSEncoding::CreateEncodingDetector(UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::Place<SBCSDetector>(allocator, *this, to_unicode_);
}

Transcoder<char, unsigned int> * SBCSEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (IsLatin1()) {
        return zuuc_internal::Place<Latin1ToUTF32>(allocator);
    }
    return zuuc_internal::Place<SBCStoUTF32>(allocator, to_unicode_, text_mode_safe_);
}

Transcoder<unsigned int, char> * SBCSEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (IsLatin1()) {
        return zuuc_internal::Place<Latin1FromUTF32>(allocator);
    }
    return zuuc_internal::Place<SBCSFromUTF32>(allocator, from_unicode_, text_mode_safe_);
}

Transcoder<char, unsigned short> * SBCSEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (IsLatin1()) {
        return zuuc_internal::Place<Latin1ToUTF16>(allocator);
    }
    return zuuc_internal::Place<SBCStoUTF16>(allocator, to_unicode_, text_mode_safe_);
}

Transcoder<unsigned short, char> * SBCSEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (IsLatin1()) {
        return zuuc_internal::Place<Latin1FromUTF16>(allocator);
    }
    return zuuc_internal::Place<SBCSFromUTF16>(allocator, from_unicode_, text_mode_safe_);
}
