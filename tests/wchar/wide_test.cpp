#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <cwchar>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "zuuc/character_test.h"
#include "zuuc/sinks.h"
#include "zuuc/unicode_character.h"
#include "zuuc/wide_chars.h"
#include "zuuc/wide_format.h"
#include "zuuc/wide_string.h"

// String and memory functions, run for both unit widths.
namespace {

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
    static constexpr auto swscanf = &zu_swscanf##S, fwscanf = &zu_fwscanf##S;                     \
    static constexpr auto swprintf = &zu_swprintf##S, wcsftime = &zu_wcsftime##S;                 \
    static constexpr auto wcstol = &zu_wcstol##S, wcstoul = &zu_wcstoul##S, wcstod = &zu_wcstod##S;
// The names without a suffix are the 16-bit flavour.
template <>
struct Wide<unsigned short> {
    ZU_WIDE_FUNCTIONS(_16)
    static constexpr auto plain_fwscanf = &zu_fwscanf, plain_swscanf = &zu_swscanf;
};
template <>
struct Wide<unsigned int> {
    ZU_WIDE_FUNCTIONS(_32)
    static constexpr auto plain_fwscanf = &zu_fwscanf_32, plain_swscanf = &zu_swscanf_32;
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

// The functions of both widths: one typed fixture for all of them.
template <typename U>
class WideUnits : public ::testing::Test {
protected:
    // A terminated string from ASCII text.
    static std::vector<U> S(char const * text) {
        return std::vector<U>(text, text + std::char_traits<char>::length(text) + 1);
    }
    static std::vector<U> Buffer(size_t n) { return ::Buffer<U>(n); }
    static bool GuardsIntact(std::vector<U> const & buf, size_t n) {
        return ::GuardsIntact(buf, n);
    }
};

struct UnitNames {
    template <typename U>
    static std::string GetName(int) {
        return sizeof(U) == 2 ? "Units16" : "Units32";
    }
};
TYPED_TEST_SUITE(WideUnits, UnitTypes, UnitNames);

TYPED_TEST(WideUnits, StringCopyFamily) {
    using W = Wide<TypeParam>;
    using V = std::vector<TypeParam>;
    auto buf = this->Buffer(6);
    W::wcscat(W::wcscpy(buf.data(), this->S("abc").data()), this->S("de").data());
    EXPECT_EQ(W::wcscmp(buf.data(), this->S("abcde").data()), 0);
    EXPECT_TRUE(this->GuardsIntact(buf, 6));

    // wcsncpy pads with 0 units, and leaves dst unterminated when src is long.
    W::wcsncpy(buf.data(), this->S("ab").data(), 6);
    EXPECT_EQ(V(buf.begin(), buf.begin() + 6), (V{'a', 'b', 0, 0, 0, 0}));
    W::wcsncpy(buf.data(), this->S("uvwxyz!").data(), 6);
    EXPECT_EQ(V(buf.begin(), buf.begin() + 6), (V{'u', 'v', 'w', 'x', 'y', 'z'}));
    EXPECT_TRUE(this->GuardsIntact(buf, 6));

    // wcsncat appends at most n units (src need not be terminated) and a 0.
    const TypeParam unterminated[2] = {'y', 'z'};
    W::wcsncat(W::wcscpy(buf.data(), this->S("x").data()), unterminated, 2);
    EXPECT_EQ(W::wcscmp(buf.data(), this->S("xyz").data()), 0);
    W::wcsncat(buf.data(), this->S("abc").data(), 1);
    EXPECT_EQ(W::wcscmp(buf.data(), this->S("xyza").data()), 0);
    EXPECT_TRUE(this->GuardsIntact(buf, 6));
}

// Comparisons, searches and lengths against the string class over random
// strings of units below and above the sign bit: units compare unsigned, and
// the comparisons answer -1, 0 or 1.
TYPED_TEST(WideUnits, StringSearchesAgreeWithTheStringClass) {
    using W = Wide<TypeParam>;
    using Str = std::basic_string<TypeParam>;
    TypeParam const units[] = {'a', 'b', 0x8000, static_cast<TypeParam>(~0u)};
    std::mt19937 rng(3);
    auto random_string = [&](std::size_t max) {
        Str s(rng() % (max + 1), 'a');
        for (TypeParam & u : s)
            u = units[rng() % 4];
        return s;
    };
    auto sign = [](long v) { return static_cast<int>((v > 0) - (v < 0)); };
    auto at = [](Str const & s, std::size_t pos) {
        return pos == Str::npos ? nullptr : s.c_str() + pos;
    };
    for (int round = 0; round < 2000; ++round) {
        Str const a = random_string(6), b = random_string(3);
        SCOPED_TRACE(round);
        std::size_t const n = rng() % 8;
        TypeParam const unit = b.empty() ? 0 : b[0];
        EXPECT_EQ(W::wcscmp(a.c_str(), b.c_str()), sign(a.compare(b)));
        EXPECT_EQ(W::wcscoll(a.c_str(), b.c_str()), sign(a.compare(b)));
        EXPECT_EQ(W::wcsncmp(a.c_str(), b.c_str(), n),
                  sign(a.substr(0, n).compare(b.substr(0, n))));
        std::size_t const m = std::min(n, std::min(a.size(), b.size()));
        EXPECT_EQ(W::wmemcmp(a.c_str(), b.c_str(), m),
                  sign(a.substr(0, m).compare(b.substr(0, m))));
        EXPECT_EQ(W::wcslen(a.c_str()), a.size());
        EXPECT_EQ(W::wcschr(a.c_str(), unit),
                  unit == 0 ? a.c_str() + a.size() : at(a, a.find(unit)));
        EXPECT_EQ(W::wcsrchr(a.c_str(), unit),
                  unit == 0 ? a.c_str() + a.size() : at(a, a.rfind(unit)));
        EXPECT_EQ(W::wmemchr(a.c_str(), unit, a.size()), at(a, a.find(unit)));
        EXPECT_EQ(W::wcsspn(a.c_str(), b.c_str()), std::min(a.find_first_not_of(b), a.size()));
        EXPECT_EQ(W::wcscspn(a.c_str(), b.c_str()), std::min(a.find_first_of(b), a.size()));
        EXPECT_EQ(W::wcspbrk(a.c_str(), b.c_str()), at(a, a.find_first_of(b)));
        // An empty haystack never matches, not even an empty needle.
        EXPECT_EQ(W::wcsstr(a.c_str(), b.c_str()), a.empty() ? nullptr : at(a, a.find(b)));
    }
    // Units beyond n are never read.
    TypeParam const p[2] = {'p', 'q'}, q[2] = {'p', 'q'};
    EXPECT_EQ(W::wcsncmp(p, q, 2), 0);
    TypeParam const s[] = {'a', static_cast<TypeParam>(~0u), 0x8000, 0, 'b', 0};
    TypeParam * copy = W::wcsdup(s);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(W::wmemcmp(copy, s, 4), 0);
    std::free(copy);
}

TYPED_TEST(WideUnits, XfrmNeverWritesOrReadsDstPastN) {
    using W = Wide<TypeParam>;
    auto const src = this->S("abcdef");
    for (size_t n : {1, 3, 6, 7, 9}) {
        // The guards are non-zero: taking the length of dst would run past it.
        auto buf = this->Buffer(n);
        EXPECT_EQ(W::wcsxfrm(buf.data(), src.data(), n), 6u) << "n=" << n;
        EXPECT_TRUE(this->GuardsIntact(buf, n)) << "n=" << n;
        EXPECT_EQ(W::wcsncmp(buf.data(), src.data(), n), 0) << "n=" << n;
    }
    EXPECT_EQ(W::wcsxfrm(nullptr, src.data(), 0), 6u);
}

TYPED_TEST(WideUnits, MemoryFunctions) {
    using W = Wide<TypeParam>;
    const TypeParam s[] = {'a', 0, 'b', 0x8000, 'b'};
    EXPECT_EQ(W::wmemchr(s, 'b', 5), s + 2);  // 0 units do not stop the search
    EXPECT_EQ(W::wmemchr(s, 0x8000, 3), nullptr);

    auto buf = this->Buffer(5);
    EXPECT_EQ(W::wmemcmp(W::wmemcpy(buf.data(), s, 5), s, 5), 0);
    W::wmemset(buf.data(), 0x8001, 4);
    EXPECT_EQ(buf[3], 0x8001u);
    EXPECT_EQ(buf[4], 'b');
    EXPECT_TRUE(this->GuardsIntact(buf, 5));

    std::vector<TypeParam> v{1, 2, 3, 4, 5, 6};
    W::wmemmove(v.data() + 2, v.data(), 4);
    EXPECT_EQ(v, (std::vector<TypeParam>{1, 2, 1, 2, 3, 4}));
    W::wmemmove(v.data(), v.data() + 1, 5);
    EXPECT_EQ(v, (std::vector<TypeParam>{2, 1, 2, 3, 4, 4}));

    // Empty ranges accept null pointers.
    EXPECT_EQ(W::wmemcpy(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(W::wmemmove(nullptr, nullptr, 0), nullptr);
    EXPECT_EQ(W::wmemcmp(nullptr, nullptr, 0), 0);
}

// Surrogate helpers and UTF-16 <-> UTF-32 string conversion.

using U16 = std::vector<unsigned short>;
using U32 = std::vector<unsigned int>;

// Every supplementary code point through its pair; the classification
// takes only the low 16 bits of a unit.
TEST(Surrogates, CharacterConversions) {
    EXPECT_EQ(zu_is_high_surrogate(0xD7FF) + zu_is_high_surrogate(0xDC00), 0);
    EXPECT_EQ(zu_is_low_surrogate(0xDBFF) + zu_is_low_surrogate(0xE000), 0);
    EXPECT_EQ(zu_is_high_surrogate(0x1D800) + zu_is_low_surrogate(0xFFFFDC00u), 2);
    EXPECT_EQ(zu_utf16c_to_utf32c(0xD834, 0xDD1E), 0x1D11Eu);
    EXPECT_EQ(zu_utf16c_to_utf32c(0xD800, 'B'), 0xD800u);  // not a pair: hi
    EXPECT_EQ(zu_utf16c_to_utf32c(0xDC00, 0xDC00), 0xDC00u);
    EXPECT_EQ(zu_utf32c_to_high_utf16c(0xFFFF), 0xFFFF);
    EXPECT_EQ(zu_utf32c_to_low_utf16c(0xFFFF), 0);
    for (unsigned int c = 0x10000; c <= 0x10FFFF; ++c) {
        unsigned short const hi = zu_utf32c_to_high_utf16c(c), lo = zu_utf32c_to_low_utf16c(c);
        ASSERT_TRUE(zu_is_high_surrogate(hi) && zu_is_low_surrogate(lo)) << std::hex << c;
        ASSERT_EQ(zu_utf16c_to_utf32c(hi, lo), c) << std::hex << c;
    }
    // Beyond Unicode: the replacement character, with no second unit.
    EXPECT_EQ(zu_utf32c_to_high_utf16c(0x110000), 0xFFFD);
    EXPECT_EQ(zu_utf32c_to_low_utf16c(0xFFFFFFFF), 0);
}

TEST(Sizing, AgreesWithTheConverters) {
    const U16 s16{'A', 0xD834, 0xDD1E, 0xDC05, 'B', 0, 'C'};
    EXPECT_EQ(zu_size_as_utf32(s16.data()), 4u);  // the lone low surrogate counts
    EXPECT_EQ(zu_sizen_as_utf32(s16.data(), 2), 2u);
    EXPECT_EQ(zu_sizen_as_utf32(s16.data(), 7), 4u);  // stops at the 0 unit
    const U32 s32{'A', 0x10000, 0x10FFFF, 0xD800, 0x110000, 0, 0x10000};
    EXPECT_EQ(zu_size_as_utf16(s32.data()), 7u);
    EXPECT_EQ(zu_sizen_as_utf16(s32.data(), 2), 3u);
    EXPECT_EQ(zu_sizen_as_utf16(s32.data(), 7), 7u);
}

TEST(Utf16ToUtf32, ConvertsAndStoresTheTerminatorUncounted) {
    const U16 src{'A', 0xD834, 0xDD1E, 0xDC05, 'B', 0};
    auto dst = Buffer<unsigned int>(5);
    EXPECT_EQ(zu_utf16s_to_utf32s(dst.data(), src.data(), 5), 4);
    EXPECT_EQ(U32(dst.begin(), dst.begin() + 5), (U32{'A', 0x1D11E, 0xDC05, 'B', 0}));
    EXPECT_TRUE(GuardsIntact(dst, 5));
}

TEST(Utf16ToUtf32, BrokenPairIsAnError) {
    auto dst = Buffer<unsigned int>(8);
    for (const U16 & src :
         {U16{'A', 0xD800, 'B', 0}, U16{'A', 0xDBFF, 0}, U16{0xD800, 0xD800, 0xDC00, 0}}) {
        EXPECT_EQ(zu_utf16s_to_utf32s(dst.data(), src.data(), 8), -1);
    }
    EXPECT_TRUE(GuardsIntact(dst, 8));
}

TEST(Utf16ToUtf32, StopsAtNUnits) {
    const U16 src{'A', 0xD800, 0xDC00, 'B', 0};
    for (size_t n : {0, 1, 2, 3}) {
        auto dst = Buffer<unsigned int>(n);
        EXPECT_EQ(zu_utf16s_to_utf32s(dst.data(), src.data(), n), static_cast<int>(n));
        EXPECT_TRUE(GuardsIntact(dst, n)) << "n=" << n;
    }
}

TEST(Utf32ToUtf16, CountsTheStoredTerminatorAndRoundTrips) {
    const U32 src{'A', 0x1D11E, 0xDC05, 0x110000, 0};
    auto dst = Buffer<unsigned short>(6);
    EXPECT_EQ(zu_utf32s_to_utf16s(dst.data(), src.data(), 6), 6);
    EXPECT_EQ(U16(dst.begin(), dst.begin() + 6), (U16{'A', 0xD834, 0xDD1E, 0xDC05, 0xFFFD, 0}));
    EXPECT_TRUE(GuardsIntact(dst, 6));
    U32 back(5);
    EXPECT_EQ(zu_utf16s_to_utf32s(back.data(), dst.data(), 5), 4);
    EXPECT_EQ(back, (U32{'A', 0x1D11E, 0xDC05, 0xFFFD, 0}));
}

TEST(Utf32ToUtf16, NeverSplitsAPairAtTheEndOfTheBuffer) {
    const U32 src{'A', 0x10000, 'B', 0};
    // n -> units stored: with one free unit left, the pair is not started.
    const std::pair<size_t, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 3}, {4, 4}};
    for (auto [n, stored] : cases) {
        auto dst = Buffer<unsigned short>(n);
        EXPECT_EQ(zu_utf32s_to_utf16s(dst.data(), src.data(), n), stored) << "n=" << n;
        EXPECT_TRUE(GuardsIntact(dst, static_cast<size_t>(stored))) << "n=" << n;
    }
}

// Classification against the character database over every code point;
// case and the other single-character mappings.

typedef CharacterCategory K;
struct ClassCase {
    char const * name;
    int (*function)(unsigned int);
    bool (*expected)(unsigned int c, K k);
};
ClassCase const kClasses[] = {
    {"alnum", &zu_iswalnum_16, [](unsigned, K k) { return k <= Category_Lo || k == Category_Nd; }},
    {"alpha", &zu_iswalpha_16, [](unsigned, K k) { return k <= Category_Lo; }},
    {"cntrl", &zu_iswcntrl_16, [](unsigned, K k) { return k == Category_Cc; }},
    {"digit", &zu_iswdigit_16, [](unsigned, K k) { return k == Category_Nd; }},
    {"graph", &zu_iswgraph_16, [](unsigned, K k) { return k <= Category_So; }},
    {"lower", &zu_iswlower_16, [](unsigned, K k) { return k == Category_Ll; }},
    {"print", &zu_iswprint_16, [](unsigned, K k) { return k <= Category_Zs; }},
    {"punct", &zu_iswpunct_16,  // marks, punctuation and symbols but Sk
     [](unsigned, K k) {
         return (k >= Category_Mn && k <= Category_Me) ||
                (k >= Category_Pc && k <= Category_So && k != Category_Sk);
     }},
    {"space", &zu_iswspace_16, [](unsigned c, K) { return Ctype_space(c); }},
    {"upper", &zu_iswupper_16, [](unsigned, K k) { return k == Category_Lu; }},
    {"xdigit", &zu_iswxdigit_16, [](unsigned c, K) { return Ctype_xdigit(c); }},
};

TEST(WideClassification, AgreesWithTheDatabaseForEveryCodePoint) {
    int position = 0;
    for (ClassCase const & k : kClasses) {
        int const t = zu_wctype_16(k.name);
        ASSERT_EQ(t, ++position) << k.name;
        long mismatches = 0;
        for (unsigned int c = 0; c <= 0x110000; ++c) {
            int const want = k.expected(c, UnicodeCharacter::GetCharacterCategory(c)) ? 1 : 0;
            if ((k.function(c) != want || zu_iswctype_16(c, t) != want) && ++mismatches <= 3) {
                ADD_FAILURE() << k.name << " U+" << std::hex << c;
            }
        }
        EXPECT_EQ(k.function(ZU_WEOF), 0) << k.name;
    }
    for (unsigned int c : {0x20u, 0x09u, 0x0Au, 0x3000u})
        EXPECT_EQ(zu_iswspace_16(c), 1) << c;
    for (unsigned int c : {'0', 'f', 'F'})
        EXPECT_EQ(zu_iswxdigit_16(c), 1) << c;
    EXPECT_EQ(zu_iswxdigit_16('g'), 0);
    for (char const * name : {"", "Alpha", "ALNUM", "xdigits", "blank"})
        EXPECT_EQ(zu_wctype_16(name), 0) << name;
    EXPECT_EQ(zu_wctype_16(nullptr), 0);
    for (int t : {-1, 0, 12})
        EXPECT_EQ(zu_iswctype_16('a', t), 0);
}

TEST(WideMappings, NamesMappingsAndCaseInsensitiveComparison) {
    struct Case {
        char const * name;
        int t;
        unsigned int from, to;
    } const cases[] = {
        {"tolower", 1, 'Q', 'q'},
        {"TOUPPER", 2, 0x00E9, 0x00C9},
        {"touppercasetransform", 3, 0x03C9, 0x03A9},
        {"ToLowercaseTransform", 4, 0x0410, 0x0430},
        {"ToFullwidthTransform", 5, 'A', 0xFF21},
        {"tohalfwidthtransform", 6, 0x3000, ' '},
        {"ToKatakanaTransform", 7, 0x3042, 0x30A2},
        {"ToHiraganaTransform", 8, 0x30AB, 0x304B},
    };
    for (Case const & k : cases) {
        EXPECT_EQ(zu_wctrans_16(k.name), k.t) << k.name;
        EXPECT_EQ(zu_towctrans_16(k.from, k.t), k.to) << k.name;
    }
    for (char const * name : {"", "upper", "tolower ", "ToUpperTransform"})
        EXPECT_EQ(zu_wctrans_16(name), 0) << name;
    EXPECT_EQ(zu_wctrans_16(nullptr), 0);
    EXPECT_EQ(zu_towctrans_16('a', 9), unsigned('a'));
    EXPECT_EQ(zu_towupper_16('a'), unsigned('A'));
    EXPECT_EQ(zu_towlower_32(0x0130), 0x0069u);  // simple mapping of I with dot above
    EXPECT_EQ(zu_towupper_32(0x00DF), 0x00DFu);  // sharp s: no one-to-one upper case
    EXPECT_EQ(zu_towupper_16(ZU_WEOF), ZU_WEOF);

    unsigned short const a[] = {'H', 0x00E9, 'l', 'L', 'o', 0},
                         b[] = {'h', 0x00C9, 'L', 'l', 'O', 0};
    unsigned short const c[] = {'h', 0x00C9, 'L', 'm', 0};
    EXPECT_EQ(zu_wcscasecmp_16(a, b), 0);
    EXPECT_EQ(zu_wcscasecmp_16(a, c), -1);
    EXPECT_EQ(zu_wcscasecmp_16(c, a), 1);
    EXPECT_EQ(zu_wcsncasecmp_16(a, c, 3), 0);
    EXPECT_EQ(zu_wcsncasecmp_16(a, c, 4), -1);
    unsigned int const a32[] = {0x0391, 'b', 0}, b32[] = {0x03B1, 'B', 0}, c32[] = {0x03B1, 0};
    EXPECT_EQ(zu_wcscasecmp_32(a32, b32), 0);
    EXPECT_EQ(zu_wcscasecmp_32(a32, c32), 1);  // the longer is greater
    EXPECT_EQ(zu_wcsncasecmp_32(a32, c32, 1), 0);
}

// The mbstowcs / wcstombs family.

// Code points as a terminated string of units U.
template <typename U>
std::vector<U> Text(std::vector<unsigned int> const & cps) {
    std::vector<U> out;
    for (unsigned int c : cps) {
        out.push_back(static_cast<U>(sizeof(U) == 2 ? zu_utf32c_to_high_utf16c(c) : c));
        if (sizeof(U) == 2 && c >= 0x10000)
            out.push_back(static_cast<U>(zu_utf32c_to_low_utf16c(c)));
    }
    out.push_back(0);
    return out;
}

// Measures with a null destination, converts again into exactly that room
// and checks that both runs agree; *result is the functions' result.
template <typename U>
std::string ToBytes(std::vector<U> const & text, zu_encoding_id enc, long * result) {
    std::size_t measured = 99, count = 99;
    long const first = Wide<U>::to_bytes(nullptr, &measured, text.data(), 0, enc);
    std::string bytes(measured + 1, '\x7F');
    *result = Wide<U>::to_bytes(&bytes[0], &count, text.data(), measured, enc);
    EXPECT_EQ(first, *result);
    EXPECT_EQ(count, measured);
    EXPECT_EQ(bytes[measured], '\x7F');  // exactly full: no terminator
    return bytes.substr(0, count);
}

template <typename U>
std::vector<U> ToWide(std::string const & bytes, zu_encoding_id enc, long * result) {
    std::size_t measured = 99, count = 99;
    long const first = Wide<U>::to_wide(nullptr, &measured, bytes.c_str(), 12345, enc);
    std::vector<U> text(measured + 1, 0x7F);
    *result = Wide<U>::to_wide(text.data(), &count, bytes.c_str(), measured + 1, enc);
    EXPECT_EQ(first, *result);
    EXPECT_EQ(count, measured);
    EXPECT_EQ(text[measured], U(0));  // room left: terminated
    return text;
}

TYPED_TEST(WideUnits, MultiByteRoundTripsAndCountsProblems) {
    using U = TypeParam;
    struct Case {
        char const * encoding;
        std::vector<unsigned int> text;
        std::string bytes;
    };
    Case const cases[] = {
        {"UTF-8", {'a', 0xE9, 0x4E2D, 0x1F600}, "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80"},
        {"Shift_JIS", {'A', 0x65E5, 0x672C, 0xFF71}, "A\x93\xFA\x96\x7B\xB1"},
        {"ISO-2022-JP", {'a', 0x3042, 'b'}, "a\x1B$B\x24\x22\x1B(Bb"},
        {"EUC-KR",
         {0xD55C, '1'},
         "\xC7\xD1"
         "1"},
        {"KOI8-R", {0x0416, 'z'}, "\xF6z"},
    };
    long result = 0;
    for (Case const & c : cases) {
        zu_encoding_id const enc = zu_get_encoding_id(c.encoding);
        std::vector<U> const text = Text<U>(c.text);
        EXPECT_EQ(ToBytes(text, enc, &result), c.bytes) << c.encoding;
        EXPECT_EQ(result, long(c.bytes.size())) << c.encoding;
        EXPECT_EQ(ToWide<U>(c.bytes, enc, &result), text) << c.encoding;
        EXPECT_EQ(result, long(text.size() - 1)) << c.encoding;
    }
    // Problems are substituted and make the result -1; the count is set.
    EXPECT_EQ(ToWide<U>("a\xFF"
                        "b",
                        zu_get_encoding_id("utf-8"), &result),
              Text<U>({'a', 0xFFFD, 'b'}));
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ToBytes(Text<U>({'a', 0x4E2D}), zu_get_encoding_id("ISO-8859-1"), &result).size(),
              2u);
    EXPECT_EQ(result, -1);
    std::size_t count = 7;
    U out[4];
    EXPECT_EQ(Wide<U>::to_wide(out, &count, "abc", 4, nullptr), -1);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(Wide<U>::to_wide(out, &count, nullptr, 4, zu_get_encoding_id("UTF-8")), 0);
    EXPECT_EQ(out[0], U(0));
}

// A destination that is too small keeps whole characters only.
TYPED_TEST(WideUnits, MultiByteSmallDestinationsKeepWholeCharacters) {
    using U = TypeParam;
    std::size_t count = 0;
    U wide[3] = {9, 9, 9};
    long const units = sizeof(U) == 2 ? 1 : 2;  // UTF-16 has no room for the pair
    EXPECT_EQ(Wide<U>::to_wide(wide, &count, "a\xF0\x9F\x98\x80", 2, zu_get_encoding_id("UTF-8")),
              units);
    EXPECT_EQ(wide[count], sizeof(U) == 2 ? U(0) : U(9));

    std::vector<U> const japanese = Text<U>({'a', 0x65E5, 0x672C, 'b'});
    char bytes[12];
    EXPECT_EQ(Wide<U>::to_bytes(bytes, &count, japanese.data(), 4, zu_get_encoding_id("Shift_JIS")),
              3);
    EXPECT_EQ(std::string(bytes, 4), std::string("a\x93\xFA\0", 4));
    // A modal encoding's cut text still ends back in ASCII.
    EXPECT_EQ(
        Wide<U>::to_bytes(bytes, &count, japanese.data(), 7, zu_get_encoding_id("ISO-2022-JP")), 1);
    EXPECT_EQ(
        Wide<U>::to_bytes(bytes, &count, japanese.data(), 10, zu_get_encoding_id("ISO-2022-JP")),
        9);
    EXPECT_EQ(std::string(bytes, 10), std::string("a\x1B$BF|\x1B(B\0", 10));
}

TEST(WideConversionNames, LookUpByNameOrAlias) {
    EXPECT_EQ(zu_get_encoding_id(nullptr), nullptr);
    EXPECT_EQ(zu_get_encoding_id("no-such-encoding"), nullptr);
    EXPECT_NE(zu_get_encoding_id("Shift_JIS"), nullptr);
    EXPECT_EQ(zu_get_encoding_id("shift-jis"), zu_get_encoding_id("Shift_JIS"));
    EXPECT_NE(zu_get_encoding_id("UTF-8"), zu_get_encoding_id("Shift_JIS"));
}

// Numeric conversions against the C library, and the per-thread tokenizer.

enum Kind { kDouble, kLong, kUnsigned };
struct NumberCase {
    Kind kind;
    int base;
    std::string text;
};
struct Outcome {
    long double value;
    long end;
    int error;
    bool operator==(Outcome const & o) const {
        return value == o.value && end == o.end && error == o.error;
    }
};

template <typename U>
long double Convert(Kind k, int base, U const * s, U ** e) {
    return k == kLong       ? Wide<U>::wcstol(s, e, base)
           : k == kUnsigned ? Wide<U>::wcstoul(s, e, base)
                            : Wide<U>::wcstod(s, e);
}
long double Convert(Kind k, int base, wchar_t const * s, wchar_t ** e) {  // the C library
    return k == kLong       ? std::wcstol(s, e, base)
           : k == kUnsigned ? std::wcstoul(s, e, base)
                            : std::wcstod(s, e);
}

template <typename C>
Outcome Measure(NumberCase const & k) {
    std::vector<C> units(k.text.begin(), k.text.end());
    units.push_back(0);
    C * end = nullptr;
    errno = 0;
    long double const value = Convert(k.kind, k.base, units.data(), &end);
    return {value, static_cast<long>(end - units.data()), errno};
}

TYPED_TEST(WideUnits, NumbersAgreeWithTheCLibrary) {
    std::string const zeros(123, '0');
    NumberCase const cases[] = {
        {kLong, 10, ""},
        {kLong, 10, "  42xyz"},
        {kLong, 10, "\t-17 "},
        {kLong, 10, "+"},
        {kLong, 10, " -"},
        {kLong, 0, "0x1F"},
        {kLong, 0, "0x"},
        {kLong, 0, "0xg"},
        {kLong, 0, "077"},
        {kLong, 0, "-0X7fZ"},
        {kLong, 16, "0x1f"},
        {kLong, 16, "ff+1"},
        {kLong, 8, "789"},
        {kLong, 36, "Zz9"},
        {kLong, 2, "1012"},
        {kLong, 10, "9223372036854775807"},
        {kLong, 10, "9223372036854775808"},
        {kLong, 10, "-9223372036854775809"},
        {kLong, 10, "12.5"},
        {kLong, 10, "abc"},
        {kLong, 10, "--5"},
        {kLong, 10, "+-5"},
        {kUnsigned, 10, "18446744073709551615"},
        {kUnsigned, 10, "18446744073709551616"},
        {kUnsigned, 10, "-1"},
        {kUnsigned, 0, " 0x10 "},
        {kUnsigned, 16, "DEADbeefQ"},
        {kDouble, 0, ""},
        {kDouble, 0, "  3.25abc"},
        {kDouble, 0, "-.5e-3x"},
        {kDouble, 0, "1e"},
        {kDouble, 0, "1e+"},
        {kDouble, 0, "1E-2"},
        {kDouble, 0, "."},
        {kDouble, 0, "+.e1"},
        {kDouble, 0, "1e400"},
        {kDouble, 0, "-1e400"},
        {kDouble, 0, "1e-400"},
        {kDouble, 0, "12.34.56"},
        {kDouble, 0, "007"},
        {kDouble, 0, "1.5e+3+2"},
        // Long runs of number-like text after a number that ends early enough.
        {kDouble, 0, "1" + zeros + "ee" + std::string(20, 'e')},
        {kLong, 10, "12" + std::string(200, 'q')},
        {kLong, 10, std::string(120, '0') + "42"},
    };
    for (NumberCase const & k : cases) {
        EXPECT_TRUE(Measure<TypeParam>(k) == Measure<wchar_t>(k))
            << '"' << k.text << "\" base " << k.base;
    }
}

// A number that may run past the 127 units looked at is refused, not cut.
TYPED_TEST(WideUnits, NumbersTooLongToReadAreRefused) {
    std::string const zeros(123, '0');
    for (NumberCase const & k : {NumberCase{kDouble, 0, "1" + zeros + "000000"},
                                 {kDouble, 0, "  1" + zeros + "000e+5"},
                                 {kLong, 10, std::string(130, '0') + "42"},
                                 {kUnsigned, 16, std::string(300, 'f')}}) {
        EXPECT_TRUE(Measure<TypeParam>(k) == (Outcome{0, 0, ERANGE})) << k.text;
    }
    TypeParam const wide_spaces[] = {0x3000, 0x2003, '7', 0};
    EXPECT_EQ(Wide<TypeParam>::wcstol(wide_spaces, nullptr, 10), 7);
}

std::vector<std::string> Tokens(std::string const & text, char const * delimiters) {
    std::vector<unsigned short> units(text.begin(), text.end()),
        delims(delimiters, delimiters + std::strlen(delimiters));
    units.push_back(0);
    delims.push_back(0);
    std::vector<std::string> out;
    for (unsigned short * t = zu_wcstok_16(units.data(), delims.data()); t != nullptr;
         t = zu_wcstok_16(nullptr, delims.data())) {
        out.emplace_back(t, t + zu_wcslen_16(t));
    }
    EXPECT_EQ(zu_wcstok_16(nullptr, delims.data()), nullptr);  // stays at the end
    return out;
}

// Each thread keeps its own position: threads tokenizing at the same time
// never see each other's tokens (the sanitizers watch the per-thread state).
TEST(WideTokenizer, SplitsPerThread) {
    EXPECT_EQ(Tokens(",,ab,c;;d,,", ",;"), (std::vector<std::string>{"ab", "c", "d"}));
    EXPECT_EQ(Tokens("abc", ""), std::vector<std::string>{"abc"});
    EXPECT_EQ(Tokens(",,,", ","), std::vector<std::string>{});
    std::vector<std::thread> threads;
    std::vector<int> failures(6, 0);
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t, &failures] {
            std::string const w(1, static_cast<char>('a' + t));
            for (int round = 0; round < 200; ++round) {
                if (Tokens(w + " " + w + w + "  " + w, " ") !=
                    std::vector<std::string>{w, w + w, w})
                    ++failures[t];
            }
        });
    }
    for (auto & thread : threads)
        thread.join();
    EXPECT_EQ(failures, std::vector<int>(6, 0));
}

// Stream functions of both widths through real files, and the per-stream
// table under several threads.

TYPED_TEST(WideUnits, StreamRawUnitsLinesAndPushback) {
    using U = TypeParam;
    using S = Wide<U>;
    TempFile file;
    U const text[] = {'a', 0xE9, 0x3042, 10, 'b', 'c', 10, 'd', 0};
    FILE * f = zu_fopen(file.path(), "w+b");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(S::fputws(text, f), 8);
    EXPECT_EQ(S::fputwc(0xD83D, f), 0xD83Du);
    EXPECT_EQ(S::putwc('e', f), unsigned('e'));
    EXPECT_EQ(std::ftell(f), long(10 * sizeof(U)));  // raw units: no mark, no terminator
    std::rewind(f);

    U line[8];
    ASSERT_EQ(S::fgetws(line, 8, f), line);  // up to and with the newline
    EXPECT_EQ(std::vector<U>(line, line + 5), std::vector<U>({'a', 0xE9, 0x3042, 10, 0}));
    ASSERT_EQ(S::fgetws(line, 2, f), line);  // n - 1 units
    EXPECT_EQ(std::vector<U>(line, line + 2), std::vector<U>({'b', 0}));
    EXPECT_EQ(S::fgetws(line, 0, f), line);  // n < 1: untouched
    EXPECT_EQ(S::fgetwc(f), unsigned('c'));
    // One unit of pushback, kept whole by the 32-bit functions; it clears
    // end of file and shows up in a line read.
    unsigned int const value = sizeof(U) == 2 ? 0x12345u : 0x1F600u;
    EXPECT_EQ(S::ungetwc(ZU_WEOF, f), ZU_WEOF);
    EXPECT_EQ(S::ungetwc(value, f), value);
    EXPECT_EQ(S::ungetwc('x', f), ZU_WEOF);
    EXPECT_EQ(S::getwc(f), static_cast<U>(value));
    EXPECT_EQ(S::getwc(f), 10u);
    ASSERT_EQ(S::fgetws(line, 8, f), line);  // end of file after some units
    EXPECT_EQ(std::vector<U>(line, line + 4), std::vector<U>({'d', 0xD83D, 'e', 0}));
    EXPECT_EQ(S::fgetws(line, 8, f), nullptr);
    EXPECT_TRUE(std::feof(f));
    EXPECT_EQ(S::ungetwc('z', f), unsigned('z'));
    EXPECT_FALSE(std::feof(f));
    ASSERT_EQ(S::fgetws(line, 8, f), line);
    EXPECT_EQ(std::vector<U>(line, line + 2), std::vector<U>({'z', 0}));
    EXPECT_EQ(S::fgetwc(f), ZU_WEOF);
    EXPECT_EQ(zu_fclose(f), 0);
}

TEST(WideStreamState, OrientationAndWhatAClosedStreamLeavesBehind) {
    TempFile file;
    FILE * f = zu_fopen(file.path(), "w+b");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(zu_fwide_16(f, 0), 0);
    EXPECT_EQ(zu_fwide_16(f, -5), -1);
    EXPECT_EQ(zu_fwide_16(f, 1), -1);  // set once
    EXPECT_EQ(zu_ungetwc_16('q', f), unsigned('q'));
    std::fclose(f);                // plain fclose: the library's state stays behind
    for (int i = 0; i < 4; ++i) {  // the next FILE (often the same one) starts fresh
        f = zu_fopen(file.path(), "rb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(zu_fwide_16(f, 0), 0);
        EXPECT_EQ(zu_fgetwc_16(f), ZU_WEOF);
        EXPECT_EQ(zu_fwide_16(f, 3), 1);
        EXPECT_EQ(zu_fclose(f), 0);
    }
    EXPECT_EQ(zu_fclose(nullptr), -1);
    EXPECT_EQ(zu_fgetwc_16(nullptr), ZU_WEOF);
    EXPECT_EQ(zu_fputws_32(nullptr, stdout), -1);
}

// Threads open, push back on, read and close streams of their own while two
// more race to push back on one shared stream: every unit is read exactly
// once, exactly one racer wins, and the sanitizers see no race or leak.
TEST(WideStreamState, ThreadsShareTheTableSafely) {
    TempFile file;
    std::fclose(std::fopen(file.path(), "wb"));
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (unsigned int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (unsigned int i = 0; i < 300; ++i) {
                FILE * f = zu_fopen(file.path(), "rb");
                unsigned int const unit = 0x10000u * t + i;
                if (f == nullptr || zu_ungetwc_32(unit, f) != unit || zu_fgetwc_32(f) != unit ||
                    zu_fgetwc_32(f) != ZU_WEOF || zu_fwide_16(f, 1) != 1) {
                    ++mismatches;
                }
                if (f != nullptr)
                    zu_fclose(f);
            }
        });
    }
    FILE * shared = zu_fopen(file.path(), "rb");
    ASSERT_NE(shared, nullptr);
    for (int i = 0; i < 300; ++i) {
        std::atomic<unsigned int> winner{0};
        std::atomic<int> wins{0};
        auto push = [&](unsigned int unit) {
            if (zu_ungetwc_16(unit, shared) == unit)
                winner = unit, ++wins;
        };
        std::thread a(push, 'a'), b(push, 'b');
        a.join();
        b.join();
        EXPECT_EQ(wins.load(), 1);
        EXPECT_EQ(zu_fgetwc_16(shared), winner.load());
        EXPECT_EQ(zu_fgetwc_16(shared), ZU_WEOF);
    }
    zu_fclose(shared);
    for (auto & thread : threads)
        thread.join();
    EXPECT_EQ(mismatches.load(), 0);
}

// Formatted output of both widths, checked against the C library's swprintf
// (C locale) over every conversion, flag, width, precision and length
// modifier, plus the behaviour the C library does not share and the limits.

typedef std::basic_string<unsigned short> Str16;
typedef std::basic_string<unsigned int> Str32;

// An argument for %s: "abc" in the units of each function's own width.
struct Abc {};
template <class Unit, class T>
T Arg(T value) {
    return value;
}
template <class Unit>
Unit const * Arg(Abc) {
    static Unit const abc[] = {'a', 'b', 'c', 0};
    return abc;
}

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
// Formats with swprintf and with the library's units U and compares
// results and texts.
template <class U, class... Args>
void ExpectSameAsC(std::string const & format, Args... args) {
    SCOPED_TRACE(format);
    std::wstring const wide_format = Widen<wchar_t>(CSpelling(format));
    std::vector<wchar_t> expected(2048);
    int const expected_count =
        std::swprintf(expected.data(), expected.size(), wide_format.c_str(), Arg<wchar_t>(args)...);
    ASSERT_GE(expected_count, 0);

    std::vector<U> out(2048, 0xBEEF);
    EXPECT_EQ(expected_count,
              Wide<U>::swprintf(out.data(), out.size(), Widen<U>(format).c_str(), Arg<U>(args)...));
    EXPECT_EQ(std::basic_string<U>(expected.begin(), expected.begin() + expected_count),
              std::basic_string<U>(out.data()));
}
#pragma GCC diagnostic pop

char const * const kFlags[] = {"", "-", "+", " ", "#", "0", "-0", "+ ", "#0", "-+ #0"};
char const * const kWidths[] = {"", "1", "12", "*"};
char const * const kPrecisions[] = {"", ".", ".0", ".5", ".*"};

// Every flag set, width and precision (with positive and negative '*'
// values) for the conversions and length modifier given.
template <class U, class T>
void CompareAll(char const * conversions, char const * length, std::vector<T> const & values) {
    for (char const * c = conversions; *c != 0; ++c) {
        for (char const * flags : kFlags) {
            for (char const * width : kWidths) {
                for (char const * precision : kPrecisions) {
                    std::string const format =
                        std::string("<%") + flags + width + precision + length + *c + ">";
                    bool const star_width = width[0] == '*';
                    bool const star_precision = std::string(precision) == ".*";
                    for (T value : values) {
                        for (int w : {9, -9}) {
                            for (int p : {3, -2}) {
                                if (star_width && star_precision)
                                    ExpectSameAsC<U>(format, w, p, value);
                                else if (star_width && p == 3)
                                    ExpectSameAsC<U>(format, w, value);
                                else if (star_precision && w == 9)
                                    ExpectSameAsC<U>(format, p, value);
                                else if (!star_width && !star_precision && w == 9 && p == 3)
                                    ExpectSameAsC<U>(format, value);
                            }
                        }
                    }
                }
            }
        }
    }
}

TYPED_TEST(WideUnits, PrintIntegersAsC) {
    CompareAll<TypeParam, int>("diouxX", "", {0, 7, -42, INT_MAX, INT_MIN});
    CompareAll<TypeParam, int>("diouxX", "h", {0, -1, 70000});
    CompareAll<TypeParam, int>("diouxX", "hh", {0, 300, -129});
    CompareAll<TypeParam, long>("diouxX", "l", {0L, LONG_MAX, LONG_MIN, -5L});
    CompareAll<TypeParam, long long>("diouxX", "ll", {0LL, LLONG_MIN, 1234567890123LL});
    CompareAll<TypeParam, long long>("di", "L", {-3LL, LLONG_MAX});
    CompareAll<TypeParam, long>("du", "j", {-1L, 99L});
    CompareAll<TypeParam, long>("du", "z", {5L});
    CompareAll<TypeParam, long>("dx", "t", {-6L});
}

TYPED_TEST(WideUnits, PrintFloatingAsC) {
    std::vector<double> const doubles = {0.0,    -0.0, 1.5,      -123.456, 1e300,
                                         1e-300, 0.1,  INFINITY, -NAN};
    CompareAll<TypeParam, double>("eEfFgGaA", "", doubles);
    CompareAll<TypeParam, double>("efg", "l", {2.5, -1e-5});
    CompareAll<TypeParam, long double>("eEfFgGaA", "L", {0.0L, -2.75L, 1e400L, 1e-20L, -INFINITY});
}

TYPED_TEST(WideUnits, PrintPointersPercentAndTextAsC) {
    int x = 0;
    CompareAll<TypeParam, void *>("p", "", {nullptr, &x});
    ExpectSameAsC<TypeParam>("100%% of %d%%", 5);
    ExpectSameAsC<TypeParam>("no conversions at all");
}

// c and s take units of the function's own width; the C library's %lc and
// %ls are their counterparts.
TYPED_TEST(WideUnits, PrintCharactersAndStringsAsC) {
    for (char const * flags : {"", "-", "+", " ", "#"}) {
        for (char const * width : {"", "1", "5"}) {
            for (char const * precision : {"", ".0", ".2", ".9"}) {
                std::string const spec = std::string("[%") + flags + width + precision;
                ExpectSameAsC<TypeParam>(spec + "c]", 0xE9);
                ExpectSameAsC<TypeParam>(spec + "s]", Abc());
            }
        }
    }
}

Str16 Format16(std::string const & format, ...) {
    unsigned short out[256];
    va_list args;
    va_start(args, format);
    int const count = zu_vswprintf_16(out, 256, Widen<unsigned short>(format).c_str(), args);
    va_end(args);
    EXPECT_GE(count, 0);
    return Str16(out);
}

// Padding and precision the comparison with the C library does not reach.
TEST(FormatOutput, PaddingOfTextAndUnitsBeyondAscii) {
    Str16 const abc = Widen<unsigned short>("abc");
    EXPECT_EQ(abc, Format16("%05s", abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("ab   "), Format16("%-05.2s", abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("    ab"), Format16("%*.*s", 6, 2, abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("ab    |"), Format16("%*.*s|", -6, 2, abc.c_str()));
    EXPECT_EQ(Widen<unsigned short>("(null)|(n"), Format16("%s|%.2s", nullptr, nullptr));
    EXPECT_EQ(Str16({0xD83D, 0xDE00, 'x'}), Format16("%c%cx", 0x1D83D, 0xDE00));  // low 16 bits
    EXPECT_EQ(Widen<unsigned short>("ab"), Format16("a%yb%"));                    // unknown, lone %

    unsigned int out32[8];
    unsigned int const smile[] = {0x1F600, 0};
    unsigned int const format32[] = {'%', 's', '%', 'c', 0};
    EXPECT_EQ(2, zu_swprintf_32(out32, 8, format32, smile, 0x10FFFF));
    EXPECT_EQ((Str32{0x1F600, 0x10FFFF}), Str32(out32));
}

TEST(FormatOutput, CountStoredByPercentN) {
    int as_int = -1;
    short as_short = -1;
    long as_long = -1;
    signed char as_char = -1;
    EXPECT_EQ(Widen<unsigned short>("abcde"),
              Format16("ab%ncd%hne%ln%hhn", &as_int, &as_short, &as_long, &as_char));
    EXPECT_EQ(2, as_int);
    EXPECT_EQ(4, as_short);
    EXPECT_EQ(5L, as_long);
    EXPECT_EQ(5, as_char);
    EXPECT_EQ(Widen<unsigned short>("ab"), Format16("a%nb", nullptr));
}

// Return value and terminator of the buffer forms.
TEST(FormatOutput, CutOutputKeepsTheFullCountAndHasNoTerminator) {
    Str16 const format = Widen<unsigned short>("%d");
    unsigned short buf[10];
    std::fill(buf, buf + 10, 0xBEEF);
    EXPECT_EQ(5, zu_swprintf(buf, 4, format.c_str(), 12345));
    EXPECT_EQ(Widen<unsigned short>("1234"), Str16(buf, 4));
    EXPECT_EQ(0xBEEF, buf[4]);
    EXPECT_EQ(5, zu_swprintf(buf, 5, format.c_str(), 12345));
    EXPECT_EQ(0xBEEF, buf[5]);
    EXPECT_EQ(5, zu_swprintf(buf, 10, format.c_str(), 12345));
    EXPECT_EQ(Widen<unsigned short>("12345"), Str16(buf));
    EXPECT_EQ(5, zu_swprintf(nullptr, 0, format.c_str(), 12345));
    EXPECT_EQ(-1, zu_swprintf(buf, 10, nullptr));
}

// The limits: each is kept, and what lies beyond is refused (-1) or, for
// the directive, folded.
TEST(FormatOutput, Limits) {
    unsigned short buf[16];
    auto format = [&buf](std::string const & f, auto... args) {
        return zu_swprintf_16(buf, 16, Widen<unsigned short>(f).c_str(), args...);
    };
    // Numeric text: 1,055 characters fit the buffer, 1,056 are refused.
    EXPECT_EQ(1055, format("%1055d", 1));
    EXPECT_EQ(-1, format("ab%1056d", 1));
    EXPECT_EQ(Widen<unsigned short>("ab"), Str16(buf));
    EXPECT_EQ(-1, format("%.1100f", 1.0));
    EXPECT_EQ(-1, format("%Lf", LDBL_MAX));
    EXPECT_EQ(-1, format("%100000d", 7));
    // A width of 100,000 on text is written in full.
    EXPECT_EQ(100001, format("%100000sx", Widen<unsigned short>("a").c_str()));
    EXPECT_EQ(Widen<unsigned short>(std::string(16, ' ')), Str16(buf, 16));
    // Repeated flags fold to one each, so the narrowed directive stays short.
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "-0+ #";
    EXPECT_EQ(format("%-0+ #8.3x|", 255), format(("%" + many + "8.3x|").c_str(), 255));
    // A count past INT_MAX fails the call; widths saturate at INT_MAX.
    EXPECT_EQ(INT_MAX, format("%*c", INT_MAX, 'a'));
    EXPECT_EQ(-1, format("x%*c", INT_MAX, 'a'));
    EXPECT_EQ(-1, format("x%99999999999999999999c", 'a'));
    // A format ending inside a conversion stops at its terminator (the
    // address sanitizer sees any read past it).
    for (char const * ending : {"%", "%-08", "%.*", "%5.3l", "%hh"}) {
        Str16 const exact = Widen<unsigned short>(std::string("ab") + ending);
        std::vector<unsigned short> tight(exact.begin(), exact.end() + 1);
        EXPECT_EQ(2, zu_swprintf_16(buf, 16, tight.data(), 4, 4)) << ending;
    }
}

TEST(FormatOutput, SinkMembersAndFiles) {
    StringChar16Sink sink16;
    EXPECT_EQ(6, sink16.printf(Widen<unsigned short>("%d-%s").c_str(), 42,
                               Widen<unsigned short>("abc").c_str()));
    EXPECT_EQ(Widen<unsigned short>("42-abc"), Str16(sink16.c_str()));
    unsigned int buf32[4];
    BufferChar32Sink sink32(buf32, 4);
    EXPECT_EQ(6, sink32.printf(Widen<unsigned int>("%x").c_str(), 0xABCDEF));
    EXPECT_TRUE(sink32.IsTruncated());

    std::FILE * file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(3, zu_fwprintf(file, Widen<unsigned short>("%+d").c_str(), 12));
    EXPECT_EQ(2, zu_fwprintf_32(file, Widen<unsigned int>("%c%c").c_str(), 0x1F600, 'z'));
    std::rewind(file);
    unsigned char bytes[32];
    ASSERT_EQ(14u, std::fread(bytes, 1, sizeof bytes, file));
    unsigned short units16[3];
    unsigned int units32[2];
    std::memcpy(units16, bytes, 6);
    std::memcpy(units32, bytes + 6, 8);
    EXPECT_EQ(Widen<unsigned short>("+12"), Str16(units16, 3));
    EXPECT_EQ((Str32{0x1F600, 'z'}), Str32(units32, 2));
    std::fclose(file);
    EXPECT_EQ(-1, zu_fwprintf(nullptr, Widen<unsigned short>("x").c_str()));
}

// Formatted input of both widths, checked against the C library's swscanf
// (C locale), plus the behaviour the C library does not share and the
// limits; and wcsftime against wcsftime.

// Storage for one stored field: numbers are compared byte for byte, text
// unit for unit.
struct Slot {
    unsigned char bytes[64];
    Slot() { std::memset(bytes, 0xA5, sizeof bytes); }
};

struct ScanCase {
    char const * input;
    char const * format;  // our spelling; for the C library c, s and [ take an 'l'
};

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
// Runs one case with up to three fields through the library's units U;
// c, s and [ results are compared as units, everything else as bytes.
template <class U>
void ExpectScanSameAsC(ScanCase const & c) {
    SCOPED_TRACE(std::string("input \"") + c.input + "\" format \"" + c.format + "\"");
    Slot expected[3], got[3];
    std::wstring const input(c.input, c.input + std::strlen(c.input));
    std::wstring const cformat = Widen<wchar_t>(CSpelling(c.format));
    int const count = std::swscanf(input.c_str(), cformat.c_str(), expected[0].bytes,
                                   expected[1].bytes, expected[2].bytes);
    EXPECT_EQ(count, Wide<U>::plain_swscanf(Widen<U>(c.input).c_str(), Widen<U>(c.format).c_str(),
                                            got[0].bytes, got[1].bytes, got[2].bytes));
    bool const text = std::strpbrk(c.format, "cs[") != nullptr;
    for (int i = 0; i < 3; ++i) {
        if (!text) {
            EXPECT_EQ(0, std::memcmp(expected[i].bytes, got[i].bytes, sizeof expected[i].bytes))
                << i;
            continue;
        }
        wchar_t const * const wide = reinterpret_cast<wchar_t const *>(expected[i].bytes);
        U const * const units = reinterpret_cast<U const *>(got[i].bytes);
        for (int k = 0; k < 8 && wide[k] != static_cast<wchar_t>(0xA5A5A5A5); ++k)
            EXPECT_EQ(static_cast<U>(wide[k]), units[k]) << i << ',' << k;
    }
}
#pragma GCC diagnostic pop

TYPED_TEST(WideUnits, ScanNumbersOfEveryConversionAndLengthAsC) {
    char const * const inputs[] = {
        "42",    "-17 x",    "  +0x1F;", "0777",  "0xg",       "99999999999999999999",
        "1.5e3", "-.5",      "0x1.8p1",  "  inf", "-Infinity", "NaN",
        "0x1p4", "1e+",      "abc",      "",      "   ",       "+",
        "1e",    "12345678", "3.25e-2z"};
    char const * const integer_lengths[] = {"", "hh", "h", "l", "ll", "j", "z", "t"};
    char const * const float_lengths[] = {"", "l", "L"};
    for (char const * input : inputs) {
        for (char const * width : {"", "3", "*"}) {
            for (char conversion : std::string("diouxXp")) {
                for (char const * length : integer_lengths) {
                    if (conversion == 'p' && length[0] != 0)
                        continue;
                    std::string const format =
                        std::string("%") + width + length + conversion + "%n";
                    ExpectScanSameAsC<TypeParam>({input, format.c_str()});
                }
            }
            // glibc reads "0x" without digits as 0 or not, by width; the
            // library always reads it as 0.
            if (std::strstr(input, "0x") != nullptr && std::strchr(input, 'p') == nullptr)
                continue;
            for (char conversion : std::string("eEfFgGaA")) {
                for (char const * length : float_lengths) {
                    std::string const format =
                        std::string("%") + width + length + conversion + "%n";
                    ExpectScanSameAsC<TypeParam>({input, format.c_str()});
                }
            }
        }
    }
}

TYPED_TEST(WideUnits, ScanTextSetsAndDirectivesAsC) {
    ScanCase const cases[] = {
        {"hello world", "%s%s"},
        {"hello world", "%3s%s"},
        {"  ab", "%c%c%c"},
        {"abcdef", "%4c%c"},
        {"abc,def", "%[^,],%s"},
        {"]a]b", "%[]a]%c"},
        {"x-y", "%[a-z-]%n"},
        {"12:34", "%d:%d"},
        {"12;34", "%d:%d"},
        {"  7   8", "%d %d"},
        {"5", "%*d%d"},
        {"5 6", "%*d%d"},
        {"%42", "%%%d"},
        {" % 42", "%% %d"},
        {"abc", "a%nb%nc%n"},
        {"", "x%d"},
        {"x", "y%d"},
        {"12abc", "%d%[a-c]%n"},
        {"1 2 3", "%d%*d%d"},
        {"\t\n 9", "%d"},
        {"0x1A 017 23", "%i %i %i"},
    };
    for (ScanCase const & c : cases)
        ExpectScanSameAsC<TypeParam>(c);
}

template <class Unit>
int Scan(std::basic_string<Unit> const & input, std::string const & format, void * a = nullptr,
         void * b = nullptr) {
    return Wide<Unit>::swscanf(input.c_str(), Widen<Unit>(format).c_str(), a, b);
}
template <class Unit>
int Scan(std::string const & input, std::string const & format, void * a = nullptr,
         void * b = nullptr) {
    return Scan<Unit>(Widen<Unit>(input), format, a, b);
}

// Where the library differs from glibc's swscanf on purpose.
TYPED_TEST(WideUnits, ScanEndOfInputAndShortFields) {
    TypeParam text[8] = {9, 9, 9};
    int value = 0;
    EXPECT_EQ(-1, Scan<TypeParam>("", "%d", &value));
    // No unit for %s is the end of input, not an assigned field; the
    // destination still holds an empty text.
    EXPECT_EQ(-1, Scan<TypeParam>("", "%s", text));
    EXPECT_EQ(0, text[0]);
    EXPECT_EQ(1, Scan<TypeParam>("7", "%d%s", &value, text));
    // %5c with three units left fails the field (glibc assigns it).
    EXPECT_EQ(-1, Scan<TypeParam>("abc", "%5c", text));
    // A set without its closing ']' fails the field.
    EXPECT_EQ(0, Scan<TypeParam>("abc", "%[abc", text));
    // A format ending inside a conversion ends the call there.
    EXPECT_EQ(1, Scan<TypeParam>("4 5", "%d %", &value));
    EXPECT_EQ(4, value);
}

TYPED_TEST(WideUnits, ScanUnitsBeyondAsciiAndNumericLimit) {
    TypeParam text[8] = {};
    EXPECT_EQ(1,
              Scan<TypeParam>(std::basic_string<TypeParam>{0x263A, 0x00E9, ' ', 'x'}, "%s", text));
    EXPECT_EQ((std::basic_string<TypeParam>{0x263A, 0x00E9}), std::basic_string<TypeParam>(text));

    // Numeric fields are copied up to 127 units; a longer one fails.
    int value = 0;
    double real = 0;
    EXPECT_EQ(1, Scan<TypeParam>(std::string(126, '0') + "5", "%d", &value));
    EXPECT_EQ(5, value);
    EXPECT_EQ(0, Scan<TypeParam>(std::string(127, '0') + "5", "%d", &value));
    EXPECT_EQ(1, Scan<TypeParam>("0." + std::string(125, '0'), "%lf", &real));
    EXPECT_EQ(0, Scan<TypeParam>("0." + std::string(126, '0'), "%lf", &real));
    EXPECT_EQ(1, Scan<TypeParam>(std::string(200, '1'), "%3d", &value));
    EXPECT_EQ(111, value);
}

// The file forms read raw units through the stream functions; the unit
// read past the last field is there for the next read.
TYPED_TEST(WideUnits, ScanFilesKeepTheUnitAfterTheLastField) {
    std::basic_string<TypeParam> const units = {'4', '2', ' ', 0x263A, 'z', '|'};
    std::FILE * const file = std::tmpfile();
    ASSERT_NE(nullptr, file);
    std::fwrite(units.data(), sizeof(TypeParam), units.size(), file);
    std::rewind(file);
    int value = 0;
    TypeParam text[4] = {};
    std::basic_string<TypeParam> const format = Widen<TypeParam>("%d%[^|]");
    using W = Wide<TypeParam>;
    int const count = W::plain_fwscanf(file, format.c_str(), &value, text);
    unsigned int const next = W::fgetwc(file);
    EXPECT_EQ(ZU_WEOF, W::fgetwc(file));
    EXPECT_EQ(-1, W::fwscanf(file, format.c_str(), &value, text));
    EXPECT_EQ(2, count);
    EXPECT_EQ(42, value);
    EXPECT_EQ((std::basic_string<TypeParam>{' ', 0x263A, 'z'}), std::basic_string<TypeParam>(text));
    EXPECT_EQ(static_cast<unsigned int>('|'), next);
    zu_fclose(file);
}

// wcsftime against the C library for every conversion and modifier.
TYPED_TEST(WideUnits, TimeFormatEveryConversionAsC) {
    std::tm time = {};
    time.tm_year = 124;
    time.tm_mon = 1;
    time.tm_mday = 29;
    time.tm_hour = 13;
    time.tm_min = 5;
    time.tm_sec = 9;
    time.tm_wday = 4;
    time.tm_yday = 59;
    std::string const conversions = "aAbBcCdDeFgGhHIjmMnprRStTuUVwWxXyYzZ%";
    std::vector<std::string> formats = {"plain text", "%Ec|%EC|%Ex|%EX|%Ey|%EY",
                                        "%Od|%Oe|%OH|%OI|%Om|%OM|%OS|%Ou|%OU|%OV|%Ow|%OW|%Oy"};
    for (char c : conversions)
        formats.push_back(std::string("<%") + c + ">");
    for (std::string const & format : formats) {
        SCOPED_TRACE(format);
        wchar_t expected[256];
        std::size_t const count =
            std::wcsftime(expected, 256, Widen<wchar_t>(format).c_str(), &time);
        ASSERT_GT(count, 0u);
        TypeParam out[256];
        ASSERT_EQ(count,
                  Wide<TypeParam>::wcsftime(out, 256, Widen<TypeParam>(format).c_str(), &time));
        for (std::size_t i = 0; i <= count; ++i)
            EXPECT_EQ(static_cast<TypeParam>(expected[i]), out[i]) << i;
    }
}

TEST(WideTimeFormat, RoomAndOddFormats) {
    std::tm time = {};
    time.tm_year = 100;
    time.tm_mday = 1;
    unsigned short buf[8] = {7, 7, 7, 7, 7, 7, 7, 7};
    std::basic_string<unsigned short> const year = Widen<unsigned short>("%Y");
    EXPECT_EQ(0u, zu_wcsftime_16(buf, 0, year.c_str(), &time));
    EXPECT_EQ(7, buf[0]);
    EXPECT_EQ(0u, zu_wcsftime_16(buf, 4, year.c_str(), &time));  // "2000" needs 5 units
    EXPECT_EQ(0, buf[0]);
    EXPECT_EQ(4u, zu_wcsftime_16(buf, 5, year.c_str(), &time));
    EXPECT_EQ(0u, zu_wcsftime_16(buf, 5, Widen<unsigned short>("%Yx").c_str(), &time));
    // A lone '%' at the end is dropped; '%' before a unit of 128 or more
    // leaves the unit.
    std::basic_string<unsigned short> const odd = {'a', '%', 0x20AC, 'b', '%'};
    std::vector<unsigned short> tight(odd.begin(), odd.end() + 1);
    EXPECT_EQ(3u, zu_wcsftime_16(buf, 8, tight.data(), &time));
    EXPECT_EQ((std::basic_string<unsigned short>{'a', 0x20AC, 'b'}),
              std::basic_string<unsigned short>(buf));
    unsigned int buf32[4];
    EXPECT_EQ(0u, zu_wcsftime_32(buf32, 4, Widen<unsigned int>("%y").c_str(), nullptr));
}

}  // namespace
