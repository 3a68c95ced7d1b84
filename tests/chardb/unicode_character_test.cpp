// UnicodeCharacter: documented values, the library's own rules where they differ
// from a plain reading of the data files, member forms and construction.
#include <gtest/gtest.h>

#include "zuuc/unicode_character.h"

namespace {

typedef UnicodeCharacter UC;

TEST(UnicodeCharacter, Unicode40Repertoire) {
  // U+0220 and U+10000 are assigned in 4.0; U+0237 and U+2C00 are not.
  EXPECT_EQ(UC::GetCharacterCategory(0x0220), Category_Lu);
  EXPECT_EQ(UC::GetCharacterCategory(0x10000), Category_Lo);
  EXPECT_EQ(UC::GetScriptSystem(0x10000), Script_LinearB);
  EXPECT_EQ(UC::GetCharacterCategory(0x0237), Category_Cn);
  EXPECT_EQ(UC::GetCharacterCategory(0x2C00), Category_Cn);
  EXPECT_EQ(UC::GetLineBreak(0x2C00), LineBreak_XX);
}

TEST(UnicodeCharacter, StatedExamples) {
  // Unassigned inside the Greek block.
  EXPECT_EQ(UC::GetCharacterCategory(0x0378), Category_Cn);
  EXPECT_EQ(UC::GetScriptSystem(0x0378), Script_Greek);
  EXPECT_EQ(UC::GetLineBreak(0x0378), LineBreak_XX);
  // Surrogates and private use.
  EXPECT_EQ(UC::GetCharacterCategory(0xD800), Category_Cs);
  EXPECT_EQ(UC::GetLineBreak(0xD800), LineBreak_SG);
  EXPECT_EQ(UC::GetCharacterCategory(0xE000), Category_Co);
  EXPECT_EQ(UC::GetCharacterWidth(0xE000), Width_A);
  EXPECT_EQ(UC::GetCharacterCategory(0x10FFFD), Category_Co);
  EXPECT_EQ(UC::GetCharacterWidth(0x10FFFD), Width_A);
  // NUL.
  EXPECT_EQ(UC::GetCharacterCategory(0), Category_Cc);
  EXPECT_EQ(UC::GetBidirectionalCategory(0), Bidi_BN);
  EXPECT_EQ(UC::GetLineBreak(0), LineBreak_CM);
  // Supplementary planes go through the same tables.
  EXPECT_EQ(UC::GetCharacterCategory(0x20000), Category_Lo);
  EXPECT_EQ(UC::GetScriptSystem(0x20000), Script_Han);
  EXPECT_EQ(UC::GetCharacterWidth(0x20000), Width_W);
  EXPECT_TRUE(UC::HasExtendedProperty(0x20000, Property_Ideographic));
  EXPECT_TRUE(UC::HasExtendedProperty(0x20000, Property_Unified_Ideograph));
  EXPECT_EQ(UC::GetCharacterCategory(0x10400), Category_Lu);
  EXPECT_EQ(UC::GetScriptSystem(0x10400), Script_Deseret);
}

TEST(UnicodeCharacter, MirroringAndNumericValues) {
  EXPECT_EQ(UC::GetMirror(0x28), 0x29u);
  EXPECT_EQ(UC::GetMirror(0x29), 0x28u);
  EXPECT_EQ(UC::GetMirror(0xAB), 0xBBu);
  EXPECT_EQ(UC::GetMirror(0xBB), 0xABu);
  EXPECT_EQ(UC::GetMirror('A'), static_cast<unsigned int>('A'));
  EXPECT_TRUE(UC::IsMirrored(0x28));
  EXPECT_TRUE(UC::HasExtendedProperty(0x28, Property_Bidi_Mirrored));
  EXPECT_FALSE(UC::IsMirrored('A'));
  // Mirrored without a mirror character: U+2201 COMPLEMENT.
  EXPECT_TRUE(UC::IsMirrored(0x2201));
  EXPECT_EQ(UC::GetMirror(0x2201), 0x2201u);

  EXPECT_EQ(UC::DecimalDigitValue('5'), 5);
  EXPECT_EQ(UC::DigitValue('5'), 5);
  EXPECT_EQ(UC::NumericValue('5'), 5.0f);
  EXPECT_EQ(UC::DigitValue(0xB2), 2);
  EXPECT_EQ(UC::DecimalDigitValue(0xB2), -1);
  EXPECT_EQ(UC::DigitValue(0xBD), -1);
  EXPECT_EQ(UC::DecimalDigitValue(0xBD), -1);
  EXPECT_EQ(UC::NumericValue(0xBD), 0.5f);
  EXPECT_EQ(UC::NumericValue(0x216F), 1000.0f);
  EXPECT_EQ(UC::NumericValue(0x3007), 0.0f);
  EXPECT_EQ(UC::NumericValue(0x0F33), -0.5f);  // TIBETAN DIGIT HALF ZERO
  EXPECT_EQ(UC::NumericValue('A'), -1.0f);
  // Limited to the BMP: MATHEMATICAL BOLD DIGIT ZERO has values in the data.
  EXPECT_EQ(UC::DecimalDigitValue(0x1D7CE), -1);
  EXPECT_EQ(UC::DigitValue(0x1D7CE), -1);
  EXPECT_EQ(UC::NumericValue(0x10000), -1.0f);
  EXPECT_EQ(UC::DecimalDigitValue(0x80000000u), -1);
}

TEST(UnicodeCharacter, ScriptRules) {
  // 0 for controls, format characters, most punctuation and symbols.
  EXPECT_EQ(UC::GetScriptSystem(0x0000), Script_None);
  EXPECT_EQ(UC::GetScriptSystem(0x200C), Script_None);
  EXPECT_EQ(UC::GetScriptSystem('!'), Script_None);
  EXPECT_EQ(UC::GetScriptSystem('0'), Script_None);
  EXPECT_EQ(UC::GetScriptSystem(0x00A0), Script_None);
  EXPECT_EQ(UC::GetScriptSystem(0x3000), Script_None);
  // 1 for U+0020 and the spacing modifier letters from U+02B9.
  EXPECT_EQ(UC::GetScriptSystem(0x0020), Script_Common);
  EXPECT_EQ(UC::GetScriptSystem(0x02B8), Script_Latin);
  for (unsigned int c = 0x02B9; c <= 0x02FF; ++c) {
    ScriptSystem s = UC::GetScriptSystem(c);
    ScriptSystem expected = (c >= 0x02E0 && c <= 0x02E4) ? Script_Latin : Script_Common;
    EXPECT_EQ(s, expected) << std::hex << c;
  }
  // Latin includes the fullwidth letters and the whole block of
  // mathematical alphanumerics (letters, Greek and digits, assigned or not).
  EXPECT_EQ(UC::GetScriptSystem(0xFF21), Script_Latin);
  EXPECT_EQ(UC::GetScriptSystem(0xFF5A), Script_Latin);
  for (unsigned int c = 0x1D400; c <= 0x1D7FF; ++c)
    ASSERT_EQ(UC::GetScriptSystem(c), Script_Latin) << std::hex << c;
  // Katakana: halfwidth forms, the prolonged sound marks, U+31F0 onward.
  EXPECT_EQ(UC::GetScriptSystem(0x30FC), Script_Katakana);
  EXPECT_EQ(UC::GetScriptSystem(0xFF70), Script_Katakana);
  for (unsigned int c = 0xFF66; c <= 0xFF9F; ++c)
    ASSERT_EQ(UC::GetScriptSystem(c), Script_Katakana) << std::hex << c;
  for (unsigned int c = 0x31F0; c <= 0x31FF; ++c)
    ASSERT_EQ(UC::GetScriptSystem(c), Script_Katakana) << std::hex << c;
  EXPECT_EQ(UC::GetScriptSystem(0x30FB), Script_None);  // KATAKANA MIDDLE DOT
  EXPECT_EQ(UC::GetScriptSystem(0x3042), Script_Hiragana);
  // Han: radicals (whole blocks), U+3005, the unified and compatibility
  // ideographs with the unassigned ends of their blocks.
  for (unsigned int c = 0x2E80; c <= 0x2FDF; ++c)
    ASSERT_EQ(UC::GetScriptSystem(c), Script_Han) << std::hex << c;
  EXPECT_EQ(UC::GetScriptSystem(0x2FF0), Script_None);  // ideographic description
  EXPECT_EQ(UC::GetScriptSystem(0x3005), Script_Han);
  EXPECT_EQ(UC::GetScriptSystem(0x4DB6), Script_Han);
  EXPECT_EQ(UC::GetScriptSystem(0x4DC0), Script_None);  // Yijing hexagrams
  EXPECT_EQ(UC::GetScriptSystem(0x9FA5), Script_Han);
  EXPECT_EQ(UC::GetScriptSystem(0x9FFF), Script_Han);
  EXPECT_EQ(UC::GetScriptSystem(0xFA6B), Script_Han);
  EXPECT_EQ(UC::GetScriptSystem(0x2A6DF), Script_Han);
  EXPECT_EQ(UC::GetScriptSystem(0x2FA1F), Script_Han);
  EXPECT_EQ(UC::GetScriptSystem(0x2A6E0), Script_None);  // outside any block
  // Hangul: jamo and syllables are 26; the unassigned jamo positions 21.
  EXPECT_EQ(UC::GetScriptSystem(0x1100), Script_Hangul);
  EXPECT_EQ(UC::GetScriptSystem(0xAC00), Script_Hangul);
  EXPECT_EQ(UC::GetScriptSystem(0xD7A3), Script_Hangul);
  EXPECT_EQ(UC::GetScriptSystem(0xD7AF), Script_Hangul);
  EXPECT_EQ(UC::GetScriptSystem(0x3131), Script_Hangul);
  for (unsigned int c : {0x115Au, 0x115Eu, 0x11A3u, 0x11A7u, 0x11FAu, 0x11FFu})
    EXPECT_EQ(UC::GetScriptSystem(c), Script_HangulJamo) << std::hex << c;
  // Combining marks are Inherited; unassigned positions among them are not.
  EXPECT_EQ(UC::GetScriptSystem(0x0300), Script_Inherited);
  EXPECT_EQ(UC::GetScriptSystem(0x0358), Script_None);
  // Unassigned inside script blocks, and outside any block.
  EXPECT_EQ(UC::GetScriptSystem(0x05FF), Script_Hebrew);  // more points than letters
  EXPECT_EQ(UC::GetScriptSystem(0x05A2), Script_Hebrew);
  EXPECT_EQ(UC::GetScriptSystem(0x20EB), Script_None);  // combining marks for symbols
  EXPECT_EQ(UC::GetScriptSystem(0x214C), Script_None);  // letterlike symbols
  EXPECT_EQ(UC::GetScriptSystem(0x06FF), Script_Arabic);
  EXPECT_EQ(UC::GetScriptSystem(0x0E7F), Script_Thai);
  EXPECT_EQ(UC::GetScriptSystem(0x1034F), Script_Gothic);
  EXPECT_EQ(UC::GetScriptSystem(0x0860), Script_None);
  EXPECT_EQ(UC::GetScriptSystem(0x30000), Script_None);
  EXPECT_EQ(UC::GetScriptSystem(0x2800), Script_Braille);
}

TEST(UnicodeCharacter, BidiDefaultsOfUnassignedCodePoints) {
  EXPECT_EQ(UC::GetBidirectionalCategory(0x05FF), Bidi_R);   // Hebrew block
  EXPECT_EQ(UC::GetBidirectionalCategory(0xFB37), Bidi_R);   // Hebrew presentation forms
  EXPECT_EQ(UC::GetBidirectionalCategory(0x10836), Bidi_R);  // Cypriot block
  EXPECT_EQ(UC::GetBidirectionalCategory(0x0604), Bidi_AL);  // Arabic
  EXPECT_EQ(UC::GetBidirectionalCategory(0x074B), Bidi_AL);  // Syriac
  EXPECT_EQ(UC::GetBidirectionalCategory(0x07B2), Bidi_AL);  // Thaana
  EXPECT_EQ(UC::GetBidirectionalCategory(0xFD40), Bidi_AL);  // Arabic Presentation Forms-A
  EXPECT_EQ(UC::GetBidirectionalCategory(0xFEFD), Bidi_AL);  // Arabic Presentation Forms-B
  // Outside any block, as DerivedBidiClass.txt gives them.
  EXPECT_EQ(UC::GetBidirectionalCategory(0x0750), Bidi_AL);
  EXPECT_EQ(UC::GetBidirectionalCategory(0x07C0), Bidi_R);
  EXPECT_EQ(UC::GetBidirectionalCategory(0x10840), Bidi_R);
  // L elsewhere: Latin ligature gap, other planes, noncharacters in an
  // Arabic block.
  EXPECT_EQ(UC::GetBidirectionalCategory(0xFB07), Bidi_L);
  EXPECT_EQ(UC::GetBidirectionalCategory(0x0378), Bidi_L);
  EXPECT_EQ(UC::GetBidirectionalCategory(0xFDD0), Bidi_L);
  EXPECT_EQ(UC::GetBidirectionalCategory(0x30000), Bidi_L);
  // Assigned characters keep their own value.
  EXPECT_EQ(UC::GetBidirectionalCategory(0x05D0), Bidi_R);
  EXPECT_EQ(UC::GetBidirectionalCategory(0x0627), Bidi_AL);
  EXPECT_EQ(UC::GetBidirectionalCategory(0x0660), Bidi_AN);
  EXPECT_EQ(UC::GetBidirectionalCategory(0xFEFF), Bidi_BN);
}

TEST(UnicodeCharacter, HangulLineBreakIsId) {
  for (unsigned int c = 0xAC00; c <= 0xD7A3; c += 0x3F)
    ASSERT_EQ(UC::GetLineBreak(c), LineBreak_ID) << std::hex << c;
  EXPECT_EQ(UC::GetLineBreak(0xD7A3), LineBreak_ID);
  for (unsigned int c = 0x1100; c <= 0x11F9; ++c) {
    if (UC::GetCharacterCategory(c) != Category_Cn) {
      ASSERT_EQ(UC::GetLineBreak(c), LineBreak_ID) << std::hex << c;
    }
  }
}

TEST(UnicodeCharacter, BooleanPropertiesFromBothPropertyLists) {
  // STerm and Variation_Selector (from the 4.0.1 list).
  EXPECT_TRUE(UC::HasExtendedProperty('.', Property_STerm));
  EXPECT_TRUE(UC::HasExtendedProperty(0xFE00, Property_Variation_Selector));
  EXPECT_TRUE(UC::HasExtendedProperty(0x180B, Property_Variation_Selector));
  // Other_Math as listed in 4.0.0 (U+0028 is there, 4.0.1 dropped it).
  EXPECT_TRUE(UC::HasExtendedProperty(0x0028, Property_Other_Math));
  EXPECT_TRUE(UC::HasExtendedProperty(0x2118, Property_Other_ID_Start));
  EXPECT_TRUE(UC::HasExtendedProperty(0xFFFE, Property_Noncharacter_Code_Point));
  EXPECT_TRUE(UC::HasExtendedProperty(0x10FFFF, Property_Noncharacter_Code_Point));
  EXPECT_TRUE(UC::HasExtendedProperty(0x0009, Property_White_Space));
  EXPECT_TRUE(UC::HasExtendedProperty('f', Property_ASCII_Hex_Digit));
  EXPECT_FALSE(UC::HasExtendedProperty('g', Property_ASCII_Hex_Digit));
  // The property number is taken modulo 32: 32 is bit 0, 31 is never set.
  EXPECT_TRUE(UC::HasExtendedProperty('f', static_cast<ExtendedUnicodeProperty>(32)));
  EXPECT_FALSE(UC::HasExtendedProperty(0x0009, static_cast<ExtendedUnicodeProperty>(31)));
}

TEST(UnicodeCharacter, MemberFormsMatchStaticForms) {
  for (unsigned int c : {0x0u, 0x28u, 0x41u, 0xBDu, 0x378u, 0x5D0u, 0x3005u, 0xAC00u, 0xFFFEu,
                         0x10400u, 0x20000u, 0x10FFFFu, 0x110000u, 0xFFFFFFFFu}) {
    const UnicodeCharacter u(c);
    EXPECT_EQ(u.Codepoint(), c);
    EXPECT_EQ(u.GetCharacterCategory(), UC::GetCharacterCategory(c));
    EXPECT_EQ(u.GetBidirectionalCategory(), UC::GetBidirectionalCategory(c));
    EXPECT_EQ(u.GetScriptSystem(), UC::GetScriptSystem(c));
    EXPECT_EQ(u.GetCharacterWidth(), UC::GetCharacterWidth(c));
    EXPECT_EQ(u.GetLineBreak(), UC::GetLineBreak(c));
    EXPECT_EQ(u.GetMirror(), UC::GetMirror(c));
    EXPECT_EQ(u.IsMirrored(), UC::IsMirrored(c));
    EXPECT_EQ(u.DecimalDigitValue(), UC::DecimalDigitValue(c));
    EXPECT_EQ(u.DigitValue(), UC::DigitValue(c));
    EXPECT_EQ(u.NumericValue(), UC::NumericValue(c));
    // Asked repeatedly, from the cached word.
    for (int round = 0; round < 2; ++round)
      for (unsigned int p = 0; p < 33; ++p) {
        ExtendedUnicodeProperty prop = static_cast<ExtendedUnicodeProperty>(p);
        EXPECT_EQ(u.HasExtendedProperty(prop), UC::HasExtendedProperty(c, prop));
      }
  }
}

TEST(UnicodeCharacter, SurrogatePairConstruction) {
  EXPECT_EQ(UnicodeCharacter(0xD800, 0xDC00).Codepoint(), 0x10000u);
  EXPECT_EQ(UnicodeCharacter(0xD801, 0xDC00).Codepoint(), 0x10400u);
  EXPECT_EQ(UnicodeCharacter(0xD840, 0xDC00).Codepoint(), 0x20000u);
  EXPECT_EQ(UnicodeCharacter(0xDBFF, 0xDFFF).Codepoint(), 0x10FFFFu);
  EXPECT_EQ(UnicodeCharacter(0xD801, 0xDC00).GetScriptSystem(), Script_Deseret);
  // Not a pair: the replacement character rather than an unrelated code
  // point (0xD800, 0x0041 would otherwise join to U+3441, a Han ideograph).
  EXPECT_EQ(UnicodeCharacter(0xD800, 0x0041).Codepoint(), 0xFFFDu);
  EXPECT_EQ(UnicodeCharacter(0xDC00, 0xD800).Codepoint(), 0xFFFDu);
  EXPECT_EQ(UnicodeCharacter(0x0041, 0xDC00).Codepoint(), 0xFFFDu);
  EXPECT_EQ(UnicodeCharacter(0xD800, 0xD800).Codepoint(), 0xFFFDu);
}

}  // namespace
