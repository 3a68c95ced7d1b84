// Classification against the character database over every code point;
// case and the other single-character mappings.
#include "zuuc/wide_chars.h"

#include "zuuc/character_test.h"
#include "zuuc/unicode_character.h"

#include <gtest/gtest.h>

namespace {

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
     [](unsigned, K k) { return (k >= Category_Mn && k <= Category_Me) || (k >= Category_Pc && k <= Category_So && k != Category_Sk); }},
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
    for (unsigned int c : {0x20u, 0x09u, 0x0Au, 0x3000u}) EXPECT_EQ(zu_iswspace_16(c), 1) << c;
    for (unsigned int c : {'0', 'f', 'F'}) EXPECT_EQ(zu_iswxdigit_16(c), 1) << c;
    EXPECT_EQ(zu_iswxdigit_16('g'), 0);
    for (char const * name : {"", "Alpha", "ALNUM", "xdigits", "blank"}) EXPECT_EQ(zu_wctype_16(name), 0) << name;
    EXPECT_EQ(zu_wctype_16(nullptr), 0);
    for (int t : {-1, 0, 12}) EXPECT_EQ(zu_iswctype_16('a', t), 0);
}

TEST(WideMappings, NamesMappingsAndCaseInsensitiveComparison) {
    struct Case {
        char const * name;
        int t;
        unsigned int from, to;
    } const cases[] = {
        {"tolower", 1, 'Q', 'q'}, {"TOUPPER", 2, 0x00E9, 0x00C9}, {"touppercasetransform", 3, 0x03C9, 0x03A9},
        {"ToLowercaseTransform", 4, 0x0410, 0x0430}, {"ToFullwidthTransform", 5, 'A', 0xFF21},
        {"tohalfwidthtransform", 6, 0x3000, ' '}, {"ToKatakanaTransform", 7, 0x3042, 0x30A2},
        {"ToHiraganaTransform", 8, 0x30AB, 0x304B},
    };
    for (Case const & k : cases) {
        EXPECT_EQ(zu_wctrans_16(k.name), k.t) << k.name;
        EXPECT_EQ(zu_towctrans_16(k.from, k.t), k.to) << k.name;
    }
    for (char const * name : {"", "upper", "tolower ", "ToUpperTransform"}) EXPECT_EQ(zu_wctrans_16(name), 0) << name;
    EXPECT_EQ(zu_wctrans_16(nullptr), 0);
    EXPECT_EQ(zu_towctrans_16('a', 9), unsigned('a'));
    EXPECT_EQ(zu_towupper_16('a'), unsigned('A'));
    EXPECT_EQ(zu_towlower_32(0x0130), 0x0069u);  // simple mapping of I with dot above
    EXPECT_EQ(zu_towupper_32(0x00DF), 0x00DFu);  // sharp s: no one-to-one upper case
    EXPECT_EQ(zu_towupper_16(ZU_WEOF), ZU_WEOF);

    unsigned short const a[] = {'H', 0x00E9, 'l', 'L', 'o', 0}, b[] = {'h', 0x00C9, 'L', 'l', 'O', 0};
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

}  // namespace
