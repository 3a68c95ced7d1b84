// One implementation of the wchar-style string and memory functions for any
// unsigned code-unit type; wide_string.cpp instantiates it for 16-bit and
// 32-bit units. Units are compared as unsigned numbers and every comparison
// result is -1, 0 or 1.
#ifndef ZUUC_SRC_WCHAR_WIDE_STRING_IMPL_H
#define ZUUC_SRC_WCHAR_WIDE_STRING_IMPL_H

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace zuuc_internal::wchar {

template <typename U>
inline int order(U a, U b) {
    static_assert(std::is_unsigned<U>::value, "code units are unsigned");
    return a < b ? -1 : (a > b ? 1 : 0);
}

template <typename U>
std::size_t length(const U * s) {
    const U * p = s;
    while (*p != 0)
        ++p;
    return static_cast<std::size_t>(p - s);
}

template <typename U>
U * copy(U * dst, const U * src) {
    U * d = dst;
    while ((*d++ = *src++) != 0) {
    }
    return dst;
}

// Reads at most n units of src; fills the rest of the n units of dst with 0.
template <typename U>
U * copy_n(U * dst, const U * src, std::size_t n) {
    std::size_t i = 0;
    for (; i < n && src[i] != 0; ++i)
        dst[i] = src[i];
    for (; i < n; ++i)
        dst[i] = 0;
    return dst;
}

template <typename U>
U * append(U * dst, const U * src) {
    copy(dst + length(dst), src);
    return dst;
}

// Appends at most n units of src (which need not be terminated within those
// n units) and then a 0 unit.
template <typename U>
U * append_n(U * dst, const U * src, std::size_t n) {
    U * d = dst + length(dst);
    std::size_t i = 0;
    for (; i < n && src[i] != 0; ++i)
        d[i] = src[i];
    d[i] = 0;
    return dst;
}

template <typename U>
int compare(const U * a, const U * b) {
    while (*a == *b && *a != 0) {
        ++a;
        ++b;
    }
    return order(*a, *b);
}

template <typename U>
int compare_n(const U * a, const U * b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return order(a[i], b[i]);
        if (a[i] == 0)
            break;
    }
    return 0;
}

// The terminator takes part in the search, so looking for 0 finds it.
template <typename U>
U * find_first(const U * s, U c) {
    for (;; ++s) {
        if (*s == c)
            return const_cast<U *>(s);
        if (*s == 0)
            return nullptr;
    }
}

template <typename U>
U * find_last(const U * s, U c) {
    const U * found = nullptr;
    for (;; ++s) {
        if (*s == c)
            found = s;
        if (*s == 0)
            break;
    }
    return const_cast<U *>(found);
}

// True when c is one of the units of the terminated set (never for 0).
template <typename U>
bool in_set(const U * set, U c) {
    for (; *set != 0; ++set) {
        if (*set == c)
            return true;
    }
    return false;
}

template <typename U>
std::size_t span(const U * s, const U * accept) {
    std::size_t i = 0;
    while (s[i] != 0 && in_set(accept, s[i]))
        ++i;
    return i;
}

template <typename U>
std::size_t complement_span(const U * s, const U * reject) {
    std::size_t i = 0;
    while (s[i] != 0 && !in_set(reject, s[i]))
        ++i;
    return i;
}

template <typename U>
U * find_any(const U * s, const U * accept) {
    for (; *s != 0; ++s) {
        if (in_set(accept, *s))
            return const_cast<U *>(s);
    }
    return nullptr;
}

// An empty haystack never contains anything, not even the empty needle.
template <typename U>
U * find_string(const U * haystack, const U * needle) {
    if (*haystack == 0)
        return nullptr;
    if (*needle == 0)
        return const_cast<U *>(haystack);
    for (; *haystack != 0; ++haystack) {
        std::size_t i = 0;
        while (needle[i] != 0 && haystack[i] == needle[i])
            ++i;
        if (needle[i] == 0)
            return const_cast<U *>(haystack);
        // The rest of the haystack is shorter than the needle: no match later.
        if (haystack[i] == 0)
            break;
    }
    return nullptr;
}

template <typename U>
U * duplicate(const U * s) {
    const std::size_t n = length(s);
    U * copy_of_s = static_cast<U *>(std::calloc(n + 1, sizeof(U)));
    if (copy_of_s == nullptr)
        return nullptr;
    std::memcpy(copy_of_s, s, n * sizeof(U));
    return copy_of_s;
}

// Without locale collation the transformed string is the string itself.
// Never writes more than n units into dst and never reads dst; returns the
// length of src, so a result of n or more tells the caller dst was too small.
template <typename U>
std::size_t transform(U * dst, const U * src, std::size_t n) {
    if (n != 0)
        copy_n(dst, src, n);
    return length(src);
}

template <typename U>
U * mem_find(const U * s, U c, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (s[i] == c)
            return const_cast<U *>(s + i);
    }
    return nullptr;
}

template <typename U>
int mem_compare(const U * a, const U * b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] != b[i])
            return order(a[i], b[i]);
    }
    return 0;
}

// n == 0 is checked first so that null pointers with an empty range are fine.
template <typename U>
U * mem_copy(U * dst, const U * src, std::size_t n) {
    if (n != 0)
        std::memcpy(dst, src, n * sizeof(U));
    return dst;
}

template <typename U>
U * mem_move(U * dst, const U * src, std::size_t n) {
    if (n != 0)
        std::memmove(dst, src, n * sizeof(U));
    return dst;
}

template <typename U>
U * mem_set(U * s, U c, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        s[i] = c;
    return s;
}

}  // namespace zuuc_internal::wchar

#endif
