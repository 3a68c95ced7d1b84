// Case and other single-character mappings, and the case-insensitive
// comparisons, over the mappings of the simple transforms.
#include <cctype>
#include <cstddef>

#include "zuuc/transforms.h"
#include "zuuc/wide_chars.h"

namespace {

typedef unsigned int (*CharMapping)(unsigned int);

// zu_wctrans_16's names in order (1-based) and the mapping each stands for.
struct NamedMapping {
    char const * name;
    CharMapping map;
};
NamedMapping const kMappings[] = {
    {"tolower", &ToLowercaseTransform::Transform},
    {"toupper", &ToUppercaseTransform::Transform},
    {"ToUppercaseTransform", &ToUppercaseTransform::Transform},
    {"ToLowercaseTransform", &ToLowercaseTransform::Transform},
    {"ToFullwidthTransform", &ToFullwidthTransform::Transform},
    {"ToHalfwidthTransform", &ToHalfwidthTransform::Transform},
    {"ToKatakanaTransform", &ToKatakanaTransform::Transform},
    {"ToHiraganaTransform", &ToHiraganaTransform::Transform},
};
constexpr int kMappingCount = static_cast<int>(sizeof kMappings / sizeof kMappings[0]);

bool SameNameIgnoringCase(char const * a, char const * b) {
    for (;; ++a, ++b) {
        int const ca = std::tolower(static_cast<unsigned char>(*a));
        int const cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb)
            return false;
        if (ca == 0)
            return true;
    }
}

template <typename U>
int CompareIgnoringCase(U const * a, U const * b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        unsigned int const ca = ToUppercaseTransform::Transform(a[i]);
        unsigned int const cb = ToUppercaseTransform::Transform(b[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            break;
    }
    return 0;
}

constexpr std::size_t kWhole = ~std::size_t(0);

}  // namespace

extern "C" {

unsigned int zu_towupper_16(unsigned int c) {
    return ToUppercaseTransform::Transform(c);
}
unsigned int zu_towlower_16(unsigned int c) {
    return ToLowercaseTransform::Transform(c);
}
unsigned int zu_towupper_32(unsigned int c) {
    return ToUppercaseTransform::Transform(c);
}
unsigned int zu_towlower_32(unsigned int c) {
    return ToLowercaseTransform::Transform(c);
}

int zu_wctrans_16(char const * name) {
    if (name == nullptr)
        return 0;
    for (int i = 0; i < kMappingCount; ++i) {
        if (SameNameIgnoringCase(name, kMappings[i].name))
            return i + 1;
    }
    return 0;
}

unsigned int zu_towctrans_16(unsigned int c, int t) {
    if (t < 1 || t > kMappingCount)
        return c;
    return kMappings[t - 1].map(c);
}

int zu_wcscasecmp_16(unsigned short const * a, unsigned short const * b) {
    return CompareIgnoringCase(a, b, kWhole);
}
int zu_wcsncasecmp_16(unsigned short const * a, unsigned short const * b, size_t n) {
    return CompareIgnoringCase(a, b, n);
}
int zu_wcscasecmp_32(unsigned int const * a, unsigned int const * b) {
    return CompareIgnoringCase(a, b, kWhole);
}
int zu_wcsncasecmp_32(unsigned int const * a, unsigned int const * b, size_t n) {
    return CompareIgnoringCase(a, b, n);
}

}  // extern "C"
