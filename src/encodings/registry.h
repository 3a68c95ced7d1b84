// Process-wide encoding registry (internal).
//
// The lists are created on first use and never destroyed, so encodings and
// variations may register and unregister in any order during static
// initialisation and teardown.
#ifndef ZUUC_SRC_ENCODINGS_REGISTRY_H
#define ZUUC_SRC_ENCODINGS_REGISTRY_H

#include <mutex>
#include <vector>

class TextEncoding;
class CharEncoding;
class Char16Encoding;
class Char32Encoding;
class EncodingVariation;

namespace zuuc_internal::registry {

constexpr unsigned kBaseEncodingCount = 191;
constexpr unsigned kVariationCount = 10;

// Every registered encoding, base and variant, in construction order.
std::vector<TextEncoding *> & Encodings();
// The encodings of each width, in construction order.
std::vector<CharEncoding *> & CharEncodings();
std::vector<Char16Encoding *> & Char16Encodings();
std::vector<Char32Encoding *> & Char32Encodings();

// Builds every variation, in number order, with the Unicode encodings it
// applies to; called once at library start, after the catalogue.
void CreateVariations();

// Guards the lazily built name caches of encodings and variations.
std::recursive_mutex & NameCacheMutex();

template <class T>
void Remove(std::vector<T *> & list, T const * item) {
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (*it == item) {
            list.erase(it);
            return;
        }
    }
}

template <class T>
T * At(std::vector<T *> const & list, unsigned int index) {
    return index < list.size() ? list[index] : nullptr;
}

}  // namespace zuuc_internal::registry

// The base encoding with each base number, null where none exists.
extern TextEncoding * gBaseEncodings[zuuc_internal::registry::kBaseEncodingCount];
// The registered variation of each variation number, null where none exists.
extern EncodingVariation * gAllVariations[zuuc_internal::registry::kVariationCount];

#endif
