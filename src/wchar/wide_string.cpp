// The exported _16 and _32 string and memory functions: thin C entry points
// over the width-independent templates.
#include "zuuc/wide_string.h"

#include "wide_string_impl.h"

namespace impl = zuuc_internal::wchar;

// Defines every string and memory function for one unit type.
#define ZU_DEFINE_WIDE_FUNCTIONS(U, SUFFIX)                       \
    U * zu_wcscpy##SUFFIX(U * dst, const U * src) {               \
        return impl::copy(dst, src);                              \
    }                                                             \
    U * zu_wcsncpy##SUFFIX(U * dst, const U * src, size_t n) {    \
        return impl::copy_n(dst, src, n);                         \
    }                                                             \
    U * zu_wcscat##SUFFIX(U * dst, const U * src) {               \
        return impl::append(dst, src);                            \
    }                                                             \
    U * zu_wcsncat##SUFFIX(U * dst, const U * src, size_t n) {    \
        return impl::append_n(dst, src, n);                       \
    }                                                             \
    int zu_wcscmp##SUFFIX(const U * a, const U * b) {             \
        return impl::compare(a, b);                               \
    }                                                             \
    int zu_wcsncmp##SUFFIX(const U * a, const U * b, size_t n) {  \
        return impl::compare_n(a, b, n);                          \
    }                                                             \
    U * zu_wcschr##SUFFIX(const U * s, U c) {                     \
        return impl::find_first(s, c);                            \
    }                                                             \
    U * zu_wcsrchr##SUFFIX(const U * s, U c) {                    \
        return impl::find_last(s, c);                             \
    }                                                             \
    size_t zu_wcsspn##SUFFIX(const U * s, const U * accept) {     \
        return impl::span(s, accept);                             \
    }                                                             \
    size_t zu_wcscspn##SUFFIX(const U * s, const U * reject) {    \
        return impl::complement_span(s, reject);                  \
    }                                                             \
    U * zu_wcspbrk##SUFFIX(const U * s, const U * accept) {       \
        return impl::find_any(s, accept);                         \
    }                                                             \
    U * zu_wcsstr##SUFFIX(const U * haystack, const U * needle) { \
        return impl::find_string(haystack, needle);               \
    }                                                             \
    size_t zu_wcslen##SUFFIX(const U * s) {                       \
        return impl::length(s);                                   \
    }                                                             \
    U * zu_wcsdup##SUFFIX(const U * s) {                          \
        return impl::duplicate(s);                                \
    }                                                             \
    int zu_wcscoll##SUFFIX(const U * a, const U * b) {            \
        return impl::compare(a, b);                               \
    }                                                             \
    size_t zu_wcsxfrm##SUFFIX(U * dst, const U * src, size_t n) { \
        return impl::transform(dst, src, n);                      \
    }                                                             \
    U * zu_wmemchr##SUFFIX(const U * s, U c, size_t n) {          \
        return impl::mem_find(s, c, n);                           \
    }                                                             \
    int zu_wmemcmp##SUFFIX(const U * a, const U * b, size_t n) {  \
        return impl::mem_compare(a, b, n);                        \
    }                                                             \
    U * zu_wmemcpy##SUFFIX(U * dst, const U * src, size_t n) {    \
        return impl::mem_copy(dst, src, n);                       \
    }                                                             \
    U * zu_wmemmove##SUFFIX(U * dst, const U * src, size_t n) {   \
        return impl::mem_move(dst, src, n);                       \
    }                                                             \
    U * zu_wmemset##SUFFIX(U * s, U c, size_t n) {                \
        return impl::mem_set(s, c, n);                            \
    }

ZUUC_BEGIN_C

ZU_DEFINE_WIDE_FUNCTIONS(unsigned short, _16)
ZU_DEFINE_WIDE_FUNCTIONS(unsigned int, _32)

ZUUC_END_C

#undef ZU_DEFINE_WIDE_FUNCTIONS
