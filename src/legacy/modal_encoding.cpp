// ModalEncoding: tables, factories and substitutes; the modal detectors.
#include "zuuc/modal_encoding.h"

#include <cstring>

#include "convert/transcode_contract.h"
#include "mbcs_chain.h"
#include "mbcs_core.h"
#include "table_publish.h"

namespace {

unsigned char const kNoSubstitute[] = {0};

// The ISO-2022 encodings whose conversions start with a header.
constexpr unsigned long kISO2022KR = 15;
// The encoding whose detector penalises halfwidth katakana.
constexpr unsigned long kISO2022JP = 14;

unsigned int Length(unsigned char const * s) {
    return s == nullptr ? 0
                        : static_cast<unsigned int>(std::strlen(reinterpret_cast<char const *>(s)));
}

}  // namespace

ModalEncoding::ModalEncoding(TextEncodingID id, unsigned char const ** substitutes,
                             char const ** nicknames, char const * mime_name,
                             unsigned int code_page, bool text_mode_safe, int mode_count,
                             unsigned char const ** escapes, bool return_to_initial,
                             void (*loader)(), char const * library)
    : BlockCharEncoding(
          id, substitutes != nullptr && substitutes[0] != nullptr ? substitutes[0] : kNoSubstitute,
          nicknames, mime_name, code_page, loader, library),
      text_mode_safe_(text_mode_safe),
      to_unicode16_(nullptr),
      from_unicode16_(nullptr),
      to_unicode32_(nullptr),
      from_unicode32_(nullptr),
      mode_count_(mode_count > 0 ? static_cast<unsigned int>(mode_count) : 0),
      substitutes_(substitutes),
      escapes_(escapes),
      longest_escape_(0),
      return_to_initial_(return_to_initial),
      id_(id) {
    if (escapes_ != nullptr) {
        for (unsigned int i = 0; i < mode_count_ * mode_count_; ++i) {
            unsigned int const length = Length(escapes_[i]);
            if (length > longest_escape_) {
                longest_escape_ = length;
            }
        }
    }
    set_is_loaded(false);  // until the encoding library installs the tables
}

ModalEncoding::~ModalEncoding() = default;

unsigned int ModalEncoding::SubstituteChars(unsigned char const *& chars, unsigned int mode) const {
    if (substitutes_ == nullptr || mode_count_ == 0) {
        chars = kNoSubstitute;
        return 0;
    }
    unsigned char const * const s = substitutes_[mode < mode_count_ ? mode : 0];
    chars = s != nullptr ? s : kNoSubstitute;
    return Length(chars);
}

bool ModalEncoding::IsBasedOnASCII() const {
    return text_mode_safe_;
}
bool ModalEncoding::IsTextModeSafe() const {
    return text_mode_safe_;
}

namespace {

// Installs the tables of one width, new tables first, then clears those of
// the other width.
template <class To, class From, class OtherTo, class OtherFrom>
void PublishWidth(To & to_field, To to, From & from_field, From from, OtherTo & other_to,
                  OtherFrom & other_from) {
    using zuuc_internal::legacy::Publish;
    Publish(to_field, to);
    Publish(from_field, from);
    Publish(other_to, OtherTo(nullptr));
    Publish(other_from, OtherFrom(nullptr));
}

}  // namespace

void ModalEncoding::InstallTables(
    MBCStoUnicodeTable<unsigned short> const * to_unicode,
    PlaneTable<unsigned short, unsigned int> const * const * from_unicode) {
    PublishWidth(to_unicode16_, to_unicode, from_unicode16_, from_unicode, to_unicode32_,
                 from_unicode32_);
    set_isUTF32InUnicode(false);
    set_is_loaded(to_unicode != nullptr && from_unicode != nullptr);
}

void ModalEncoding::InstallTables(
    MBCStoUnicodeTable<unsigned int> const * to_unicode,
    PlaneTable<unsigned int, unsigned int> const * const * from_unicode) {
    PublishWidth(to_unicode32_, to_unicode, from_unicode32_, from_unicode, to_unicode16_,
                 from_unicode16_);
    set_isUTF32InUnicode(true);
    set_is_loaded(to_unicode != nullptr && from_unicode != nullptr);
}

ModalOutputSetup ModalEncoding::OutputSetup() const {
    ModalOutputSetup setup{};
    if (to_unicode16_ != nullptr) {
        setup.narrow = from_unicode16_;
    } else {
        setup.wide = from_unicode32_;
    }
    setup.mode_count = mode_count_;
    setup.escapes = escapes_;
    setup.longest_escape = longest_escape_;
    setup.return_to_initial = return_to_initial_;
    setup.korean_header = static_cast<unsigned long>(id_) == kISO2022KR;
    return setup;
}

CharEncodingDetector * ModalEncoding::CreateEncodingDetector(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (static_cast<unsigned long>(id_) == kISO2022JP) {
        return zuuc_internal::Place<ISO2022JPDetector>(allocator, *this, to_unicode16_,
                                                       mode_count_);
    }
    return zuuc_internal::Place<ModalDetector>(allocator, *this, to_unicode16_, mode_count_);
}

Transcoder<char, unsigned int> * ModalEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::Place<ModalToUTF32>(allocator, to_unicode16_, to_unicode32_);
}

Transcoder<unsigned int, char> * ModalEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::Place<ModalFromUTF32>(allocator, OutputSetup());
}

Transcoder<char, unsigned short> * ModalEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (to_unicode16_ != nullptr) {
        return zuuc_internal::Place<ModalToUTF16>(allocator, to_unicode16_);
    }
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterToUTF32(allocator), allocator);
}

Transcoder<unsigned short, char> * ModalEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    Load();
    if (to_unicode16_ != nullptr) {
        return zuuc_internal::Place<ModalFromUTF16>(allocator, OutputSetup());
    }
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterFromUTF32(allocator), allocator);
}

// --- detectors ------------------------------------------------------------------

ModalDetector::ModalDetector(CharEncoding const & encoding,
                             MBCStoUnicodeTable<unsigned short> const * table,
                             unsigned int mode_count)
    : CharEncodingDetector(encoding, 0), table_(table), mode_count_(mode_count), state_(0) {}

ModalDetector::~ModalDetector() = default;

void ModalDetector::Examine(unsigned char const *, unsigned char const * new_start,
                            unsigned char const * end) {
    if (table_ == nullptr) {
        return;
    }
    zuuc_internal::legacy::TableWalker<unsigned short> walker{table_, state_};
    for (unsigned char const * p = new_start; p < end; ++p) {
        bool again = false;
        unsigned int const value = walker.Step(*p, again);
        if (value == zuuc_internal::legacy::kInvalidSequence) {
            --rating_;
        } else if (value == zuuc_internal::legacy::kNoCharacterYet && walker.state < mode_count_) {
            ++rating_;  // an escape or shift that settles in a mode
        }
    }
    state_ = walker.state;
}

void ModalDetector::Finish(unsigned char const *, unsigned char const *) {
    // States 0 .. N-1 are the modes; any other is inside an escape or a character.
    if (state_ >= mode_count_) {
        --rating_;
    }
}

void ModalDetector::BreakTie(unsigned char const *, unsigned char const * start,
                             unsigned char const * end, unsigned char level,
                             LanguageDetector * language) {
    BreakTieWith(start, end, level, language, false);
}

void ModalDetector::BreakTieWith(unsigned char const * start, unsigned char const * end,
                                 unsigned char level, LanguageDetector * language,
                                 bool penalise_halfwidth) {
    if (table_ == nullptr) {
        return;
    }
    zuuc_internal::legacy::TieBreak tie(
        level, language,
        penalise_halfwidth ? zuuc_internal::legacy::Penalty::kPrivateUseAndHalfwidth
                           : zuuc_internal::legacy::Penalty::kPrivateUse);
    zuuc_internal::legacy::DecodeForTieBreak(*table_, start, end, tie, false);
    tie.Apply(tie_breaker_);
}

ISO2022JPDetector::~ISO2022JPDetector() = default;

void ISO2022JPDetector::BreakTie(unsigned char const *, unsigned char const * start,
                                 unsigned char const * end, unsigned char level,
                                 LanguageDetector * language) {
    BreakTieWith(start, end, level, language, true);
}
