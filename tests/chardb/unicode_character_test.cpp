// UnicodeCharacter: the library's own rules where they differ from a plain
// reading of the data files (the sweeps in ucd_verify_test.cpp check every
// code point), member forms and construction.
#include <gtest/gtest.h>

#include "zuuc/unicode_character.h"

namespace {

typedef UnicodeCharacter UC;

TEST(UnicodeCharacter, PropertyNumberIsTakenModulo32) {
  EXPECT_TRUE(UC::HasExtendedProperty('f', static_cast<ExtendedUnicodeProperty>(32)));
  EXPECT_FALSE(UC::HasExtendedProperty(0x0009, static_cast<ExtendedUnicodeProperty>(31)));
}

TEST(UnicodeCharacter, SurrogatePairConstruction) {
  // Not a pair gives the replacement character rather than an unrelated code
  // point (0xD800, 0x0041 would otherwise join to U+3441, a Han ideograph).
  const struct {
    unsigned short hi, lo;
    unsigned int c;
  } cases[] = {{0xD800, 0xDC00, 0x10000}, {0xD801, 0xDC00, 0x10400}, {0xDBFF, 0xDFFF, 0x10FFFF},
               {0xD800, 0x0041, 0xFFFD},  {0xDC00, 0xD800, 0xFFFD},  {0x0041, 0xDC00, 0xFFFD},
               {0xD800, 0xD800, 0xFFFD}};
  for (const auto& t : cases)
    EXPECT_EQ(UnicodeCharacter(t.hi, t.lo).Codepoint(), t.c) << std::hex << t.hi << ' ' << t.lo;
  EXPECT_EQ(UnicodeCharacter(0xD801, 0xDC00).GetScriptSystem(), Script_Deseret);
}

}  // namespace
