// Helpers for the tests of the wide-character conversion and stream
// functions: the functions of each unit width under one name, and a file in
// a temporary directory.
#ifndef ZUUC_TESTS_WCHAR_WIDE_TEST_UTIL_H
#define ZUUC_TESTS_WCHAR_WIDE_TEST_UTIL_H

#include <unistd.h>

#include <cstdio>
#include <string>

#include "zuuc/wide_chars.h"

namespace wide_test {

template <typename U>
struct Wide;
#define ZU_WIDE_FUNCTIONS(S)                                                                      \
    static constexpr auto fgetwc = &zu_fgetwc##S, getwc = &zu_getwc##S, ungetwc = &zu_ungetwc##S; \
    static constexpr auto fgetws = &zu_fgetws##S, fputws = &zu_fputws##S;                         \
    static constexpr auto fputwc = &zu_fputwc##S, putwc = &zu_putwc##S;                           \
    static constexpr auto to_wide = &zu_mbstowcs_s##S, to_bytes = &zu_wcstombs_s##S;
template <>
struct Wide<unsigned short> { ZU_WIDE_FUNCTIONS(_16) };
template <>
struct Wide<unsigned int> { ZU_WIDE_FUNCTIONS(_32) };
#undef ZU_WIDE_FUNCTIONS

// A file path in a fresh temporary directory, removed with it.
class TempFile {
public:
    TempFile() : dir_(mkdtemp(pattern_)), path_(std::string(pattern_) + "/text") {}
    ~TempFile() {
        std::remove(path_.c_str());
        if (dir_ != nullptr) rmdir(dir_);
    }
    char const * path() const { return path_.c_str(); }

private:
    char pattern_[32] = "/tmp/zuuc_wide_XXXXXX";
    char const * dir_;
    std::string path_;
};

}  // namespace wide_test

#endif
