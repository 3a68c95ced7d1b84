// Classification against the character database, over every code point.
#include "zuuc/wide_chars.h"

#include "zuuc/character_test.h"
#include "zuuc/unicode_character.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ClassCase {
    char const * name;
    int (*function)(unsigned int);
    bool (*expected)(unsigned int c, CharacterCategory category);
};

bool Letter(CharacterCategory k) { return k <= Category_Lo; }

ClassCase const kClasses[] = {
    {"alnum", &zu_iswalnum_16, [](unsigned, CharacterCategory k) { return Letter(k) || k == Category_Nd; }},
    {"alpha", &zu_iswalpha_16, [](unsigned, CharacterCategory k) { return Letter(k); }},
    {"cntrl", &zu_iswcntrl_16, [](unsigned, CharacterCategory k) { return k == Category_Cc; }},
    {"digit", &zu_iswdigit_16, [](unsigned, CharacterCategory k) { return k == Category_Nd; }},
    {"graph", &zu_iswgraph_16, [](unsigned, CharacterCategory k) { return k <= Category_So; }},
    {"lower", &zu_iswlower_16, [](unsigned, CharacterCategory k) { return k == Category_Ll; }},
    {"print", &zu_iswprint_16, [](unsigned, CharacterCategory k) { return k <= Category_Zs; }},
    {"punct", &zu_iswpunct_16,
     [](unsigned, CharacterCategory k) {
         return (k >= Category_Mn && k <= Category_Me) || (k >= Category_Pc && k <= Category_So && k != Category_Sk);
     }},
    {"space", &zu_iswspace_16, [](unsigned c, CharacterCategory) { return Ctype_space(c); }},
    {"upper", &zu_iswupper_16, [](unsigned, CharacterCategory k) { return k == Category_Lu; }},
    {"xdigit", &zu_iswxdigit_16, [](unsigned c, CharacterCategory) { return Ctype_xdigit(c); }},
};

TEST(WideClassification, AgreesWithTheDatabaseForEveryCodePoint) {
    int position = 0;
    for (ClassCase const & k : kClasses) {
        ++position;
        int const t = zu_wctype_16(k.name);
        ASSERT_EQ(t, position) << k.name;
        long mismatches = 0;
        for (unsigned int c = 0; c <= 0x110000; ++c) {
            CharacterCategory const category = UnicodeCharacter::GetCharacterCategory(c);
            int const want = k.expected(c, category) ? 1 : 0;
            if (k.function(c) != want || zu_iswctype_16(c, t) != want) {
                if (++mismatches <= 3) ADD_FAILURE() << k.name << " U+" << std::hex << c;
            }
        }
        EXPECT_EQ(mismatches, 0) << k.name;
        EXPECT_EQ(k.function(ZU_WEOF), 0) << k.name;
    }
}

TEST(WideClassification, SpacesAndHexDigitsThatCallersExpect) {
    for (unsigned int c : {0x20u, 0x09u, 0x0Au, 0x0Du, 0x3000u}) EXPECT_EQ(zu_iswspace_16(c), 1) << c;
    for (unsigned int c : {0x41u, 0x30u, 0x5Fu}) EXPECT_EQ(zu_iswspace_16(c), 0) << c;
    for (char c : std::string("0123456789abcdefABCDEF")) EXPECT_EQ(zu_iswxdigit_16(c), 1) << c;
    for (char c : std::string("gG-x ")) EXPECT_EQ(zu_iswxdigit_16(c), 0) << c;
}

TEST(WideClassification, ClassNamesAreExactAndOutOfRangeClassesFail) {
    for (char const * name : {"", "Alpha", "ALNUM", "alphanum", "xdigits", "blank"}) {
        EXPECT_EQ(zu_wctype_16(name), 0) << name;
    }
    EXPECT_EQ(zu_wctype_16(nullptr), 0);
    EXPECT_EQ(zu_iswctype_16('a', 0), 0);
    EXPECT_EQ(zu_iswctype_16('a', 12), 0);
    EXPECT_EQ(zu_iswctype_16('a', -1), 0);
}

}  // namespace
