#include "zuuc/encoding_variation.h"

#include "names.h"
#include "registry.h"
#include "zuuc/char_encoding.h"

namespace {

unsigned long Number(EncodingVariationID id) {
    return id;
}

// Every registered variation, in number order.
template <class Visit>
void ForEachVariation(Visit visit) {
    for (EncodingVariation * variation : gAllVariations) {
        if (variation != nullptr) {
            visit(*variation);
        }
    }
}

// Offers a snapshot of a width list: generating a variant appends to the
// list being walked.
template <class Width, class Offer>
void ForEachEncoding(std::vector<Width *> const & list, Offer offer) {
    std::vector<Width *> const snapshot = list;
    for (Width * encoding : snapshot) {
        offer(*encoding);
    }
}

}  // namespace

EncodingVariation::EncodingVariation(EncodingVariationID id, char const ** names,
                                     char const * mime_name)
    : id_(id), names_(names), mime_name_(mime_name) {
    gAllVariations[Number(id_.GetFirstVariationID())] = this;
}

EncodingVariation::~EncodingVariation() {
    unsigned long const number = Number(id_.GetFirstVariationID());
    if (gAllVariations[number] == this) {
        gAllVariations[number] = nullptr;
    }
}

void EncodingVariation::GenerateVariantOfChar16Encoding(Char16Encoding const &) {}
void EncodingVariation::GenerateVariantOfCharEncoding(CharEncoding const &) {}
void EncodingVariation::GenerateVariantOfChar32Encoding(Char32Encoding const &) {}

EncodingVariationID EncodingVariation::GetEncodingVariationID() const {
    return id_;
}
char const * EncodingVariation::Name() const {
    return names_[0];
}
char const * EncodingVariation::MimeName() const {
    return mime_name_;
}

unsigned short const * EncodingVariation::NameInUnicode() const {
    zuuc_internal::names::BuildOnce(unicode_name_cache_built_, [this] {
        unicode_name_cache_ = zuuc_internal::names::ToUnicode(Name());
        unicode_name_cache_.c_str();
    });
    // Terminated when it was built; c_str() would write the terminator again.
    return unicode_name_cache_.data();
}

unsigned int EncodingVariation::CountNames() const {
    unsigned int count = 0;
    while (names_[count] != nullptr) {
        ++count;
    }
    return count;
}

char const * EncodingVariation::GetName(unsigned int i) const {
    return i < CountNames() ? names_[i] : nullptr;
}

bool EncodingVariation::HasName(char const * begin, char const * end) const {
    for (unsigned int i = 0; names_[i] != nullptr; ++i) {
        if (TextEncoding::SameName(names_[i], begin, end)) {
            return true;
        }
    }
    return false;
}

EncodingVariation * EncodingVariation::Lookup(char const * name) {
    for (EncodingVariation * variation : gAllVariations) {
        if (variation != nullptr && variation->HasName(name)) {
            return variation;
        }
    }
    return nullptr;
}

EncodingVariation * EncodingVariation::Lookup(EncodingVariationID id) {
    if (Number(id.GetRemainingVariationIDs()) != 0) {
        return nullptr;
    }
    return gAllVariations[Number(id)];
}

void EncodingVariation::GenerateVariantsOf(CharEncoding const & encoding) {
    ForEachVariation([&](EncodingVariation & v) { v.GenerateVariantOfCharEncoding(encoding); });
}

void EncodingVariation::GenerateVariantsOf(Char16Encoding const & encoding) {
    ForEachVariation([&](EncodingVariation & v) { v.GenerateVariantOfChar16Encoding(encoding); });
}

void EncodingVariation::GenerateVariantsOf(Char32Encoding const & encoding) {
    ForEachVariation([&](EncodingVariation & v) { v.GenerateVariantOfChar32Encoding(encoding); });
}

void EncodingVariation::GenerateVariantsForExistingEncodings() {
    ForEachEncoding(zuuc_internal::registry::Char16Encodings(),
                    [this](Char16Encoding & e) { GenerateVariantOfChar16Encoding(e); });
    ForEachEncoding(zuuc_internal::registry::CharEncodings(),
                    [this](CharEncoding & e) { GenerateVariantOfCharEncoding(e); });
    ForEachEncoding(zuuc_internal::registry::Char32Encodings(),
                    [this](Char32Encoding & e) { GenerateVariantOfChar32Encoding(e); });
}

bool EncodingVariation::AlreadyAppliedTo(TextEncoding const & encoding) const {
    for (EncodingVariationID rest = encoding.GetTextEncodingID().GetVariationIDs();
         Number(rest) != 0; rest = rest.GetRemainingVariationIDs()) {
        if (rest.GetFirstVariationID() == id_) {
            return true;
        }
    }
    return false;
}

// --- RealEncodingVariation ------------------------------------------------------

RealEncodingVariation::~RealEncodingVariation() {
    // Newest first, so a variant of a variant goes before its parent.
    while (!variants_.empty()) {
        TextEncoding * variant = variants_.back();
        variants_.pop_back();
        delete variant;
    }
}

unsigned int RealEncodingVariation::CountVariantEncodings() const {
    return static_cast<unsigned int>(variants_.size());
}

TextEncoding const * RealEncodingVariation::GetVariantEncoding(unsigned int i) const {
    return i < variants_.size() ? variants_[i] : nullptr;
}

void RealEncodingVariation::AddVariant(TextEncoding * variant) {
    variants_.push_back(variant);
}
