#include "registry.h"

TextEncoding * gBaseEncodings[zuuc_internal::registry::kBaseEncodingCount] = {};
EncodingVariation * gAllVariations[zuuc_internal::registry::kVariationCount] = {};

namespace zuuc_internal::registry {

// Deliberately leaked: they must outlive every static encoding, whatever the
// order of destruction at exit.
std::vector<TextEncoding *> & Encodings() {
    static auto * list = new std::vector<TextEncoding *>();
    return *list;
}

std::vector<CharEncoding *> & CharEncodings() {
    static auto * list = new std::vector<CharEncoding *>();
    return *list;
}

std::vector<Char16Encoding *> & Char16Encodings() {
    static auto * list = new std::vector<Char16Encoding *>();
    return *list;
}

std::vector<Char32Encoding *> & Char32Encodings() {
    static auto * list = new std::vector<Char32Encoding *>();
    return *list;
}

std::recursive_mutex & NameCacheMutex() {
    static auto * mutex = new std::recursive_mutex();
    return *mutex;
}

}  // namespace zuuc_internal::registry
