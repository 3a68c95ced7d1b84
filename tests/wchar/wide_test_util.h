// Helpers for the wide-character tests: the functions of each unit width
// under one name, text widened from ASCII, buffers with guard units, and a
// file in a temporary directory.
#ifndef ZUUC_TESTS_WCHAR_WIDE_TEST_UTIL_H
#define ZUUC_TESTS_WCHAR_WIDE_TEST_UTIL_H

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "zuuc/wide_chars.h"
#include "zuuc/wide_format.h"
#include "zuuc/wide_string.h"

namespace zuuc_test::wide {

template <typename U>
struct Wide;
#define ZU_WIDE_FUNCTIONS(S)                                                                      \
    static constexpr auto fgetwc = &zu_fgetwc##S, getwc = &zu_getwc##S, ungetwc = &zu_ungetwc##S; \
    static constexpr auto fgetws = &zu_fgetws##S, fputws = &zu_fputws##S;                         \
    static constexpr auto fputwc = &zu_fputwc##S, putwc = &zu_putwc##S;                           \
    static constexpr auto to_wide = &zu_mbstowcs_s##S, to_bytes = &zu_wcstombs_s##S;              \
    static constexpr auto wcscpy = &zu_wcscpy##S, wcsncpy = &zu_wcsncpy##S;                       \
    static constexpr auto wcscat = &zu_wcscat##S, wcsncat = &zu_wcsncat##S;                       \
    static constexpr auto wcscmp = &zu_wcscmp##S, wcscoll = &zu_wcscoll##S;                       \
    static constexpr auto wcsncmp = &zu_wcsncmp##S, wcschr = &zu_wcschr##S;                       \
    static constexpr auto wcsrchr = &zu_wcsrchr##S, wcsspn = &zu_wcsspn##S;                       \
    static constexpr auto wcscspn = &zu_wcscspn##S, wcspbrk = &zu_wcspbrk##S;                     \
    static constexpr auto wcsstr = &zu_wcsstr##S, wcslen = &zu_wcslen##S;                         \
    static constexpr auto wcsdup = &zu_wcsdup##S, wcsxfrm = &zu_wcsxfrm##S;                       \
    static constexpr auto wmemchr = &zu_wmemchr##S, wmemcmp = &zu_wmemcmp##S;                     \
    static constexpr auto wmemcpy = &zu_wmemcpy##S, wmemmove = &zu_wmemmove##S;                   \
    static constexpr auto wmemset = &zu_wmemset##S;                                               \
    static constexpr auto swscanf = &zu_swscanf##S, fwscanf = &zu_fwscanf##S;
// The names without a suffix are the 16-bit flavour.
template <>
struct Wide<unsigned short> {
    ZU_WIDE_FUNCTIONS(_16)
    static constexpr auto plain_fwscanf = &zu_fwscanf;
};
template <>
struct Wide<unsigned int> {
    ZU_WIDE_FUNCTIONS(_32)
    static constexpr auto plain_fwscanf = &zu_fwscanf_32;
};
#undef ZU_WIDE_FUNCTIONS

using UnitTypes = ::testing::Types<unsigned short, unsigned int>;

// ASCII text as a string of units.
template <class Unit>
std::basic_string<Unit> Widen(std::string const & text) {
    return std::basic_string<Unit>(text.begin(), text.end());
}

// A format in the library's spelling as the C library spells it: there
// c, s and [ take units of the function's own width, in C they need an 'l'.
inline std::string CSpelling(std::string const & format) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        out += format[i];
        if (format[i] != '%')
            continue;
        std::size_t j = i + 1;
        while (j < format.size() && std::strchr("-+ #*.0123456789", format[j]) != nullptr)
            ++j;
        if (j < format.size() && std::strchr("cs[", format[j]) != nullptr) {
            out += format.substr(i + 1, j - i - 1) + "l";
            i = j - 1;
        }
    }
    return out;
}

// n writable units followed by guard units that the call must leave alone
// (non-zero, so that taking a length would run past them).
constexpr unsigned kGuard = 0xBEEF;
template <typename T>
std::vector<T> Buffer(std::size_t n) {
    return std::vector<T>(n + 4, T{kGuard});
}
template <typename T>
bool GuardsIntact(std::vector<T> const & buf, std::size_t n) {
    for (std::size_t i = n; i < buf.size(); ++i) {
        if (buf[i] != T{kGuard})
            return false;
    }
    return true;
}

// A file path in a fresh temporary directory, removed with it.
class TempFile {
public:
    TempFile() : dir_(mkdtemp(pattern_)), path_(std::string(pattern_) + "/text") {}
    ~TempFile() {
        std::remove(path_.c_str());
        if (dir_ != nullptr)
            rmdir(dir_);
    }
    char const * path() const { return path_.c_str(); }

private:
    char pattern_[32] = "/tmp/zuuc_wide_XXXXXX";
    char const * dir_;
    std::string path_;
};

}  // namespace zuuc_test::wide

#endif
