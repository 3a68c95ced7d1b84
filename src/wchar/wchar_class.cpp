// Character classification over the library's predefined character tests.
#include <cstdlib>
#include <cstring>

#include "zuuc/character_test.h"
#include "zuuc/wide_chars.h"

extern "C" {

int zu_iswalnum_16(unsigned int c) {
    return Ctype_alnum(c) ? 1 : 0;
}
int zu_iswalpha_16(unsigned int c) {
    return Ctype_alpha(c) ? 1 : 0;
}
int zu_iswcntrl_16(unsigned int c) {
    return Ctype_cntrl(c) ? 1 : 0;
}
int zu_iswdigit_16(unsigned int c) {
    return Ctype_digit(c) ? 1 : 0;
}
int zu_iswgraph_16(unsigned int c) {
    return Ctype_graph(c) ? 1 : 0;
}
int zu_iswlower_16(unsigned int c) {
    return Ctype_lower(c) ? 1 : 0;
}
int zu_iswprint_16(unsigned int c) {
    return Ctype_print(c) ? 1 : 0;
}
int zu_iswpunct_16(unsigned int c) {
    return Ctype_punct(c) ? 1 : 0;
}
int zu_iswspace_16(unsigned int c) {
    return Ctype_space(c) ? 1 : 0;
}
int zu_iswupper_16(unsigned int c) {
    return Ctype_upper(c) ? 1 : 0;
}
int zu_iswxdigit_16(unsigned int c) {
    return Ctype_xdigit(c) ? 1 : 0;
}

}  // extern "C"

namespace {

// Sorted byte-wise: zu_wctype_16 searches it with bsearch and returns the
// 1-based position, which zu_iswctype_16 takes back.
char const * const kClassNames[] = {"alnum", "alpha", "cntrl", "digit", "graph", "lower",
                                    "print", "punct", "space", "upper", "xdigit"};
int (*const kClassTests[])(unsigned int) = {&zu_iswalnum_16, &zu_iswalpha_16, &zu_iswcntrl_16,
                                            &zu_iswdigit_16, &zu_iswgraph_16, &zu_iswlower_16,
                                            &zu_iswprint_16, &zu_iswpunct_16, &zu_iswspace_16,
                                            &zu_iswupper_16, &zu_iswxdigit_16};
constexpr int kClassCount = static_cast<int>(sizeof kClassNames / sizeof kClassNames[0]);
static_assert(sizeof kClassTests / sizeof kClassTests[0] == kClassCount, "one test per name");

int CompareName(void const * key, void const * entry) {
    return std::strcmp(static_cast<char const *>(key), *static_cast<char const * const *>(entry));
}

}  // namespace

extern "C" {

int zu_wctype_16(char const * name) {
    if (name == nullptr)
        return 0;
    void const * const found =
        std::bsearch(name, kClassNames, kClassCount, sizeof kClassNames[0], &CompareName);
    if (found == nullptr)
        return 0;
    return static_cast<int>(static_cast<char const * const *>(found) - kClassNames) + 1;
}

int zu_iswctype_16(unsigned int c, int t) {
    if (t < 1 || t > kClassCount)
        return 0;
    return kClassTests[t - 1](c);
}

}  // extern "C"
