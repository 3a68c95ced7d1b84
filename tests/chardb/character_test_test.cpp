// Character tests: set operators, CharacterProperty dimensions, compound
// tests and their operand ownership, the predefined tests.
#include <gtest/gtest.h>

#include <memory>

#include "zuuc/character_test.h"

namespace {

bool Accepts(const CharacterTest& t, unsigned int c) { return t(c); }

TEST(CharacterSetTests, EmptySingleAndUnion) {
  CharacterCategoryTest empty;
  EXPECT_FALSE(empty('A'));
  EXPECT_FALSE(empty(0x378));
  CharacterCategoryTest lu(Category_Lu);
  EXPECT_TRUE(lu('A'));
  EXPECT_FALSE(lu('a'));
  CharacterCategoryTest letters = lu | Category_Ll;
  EXPECT_TRUE(letters('A'));
  EXPECT_TRUE(letters('a'));
  EXPECT_FALSE(letters('1'));
  EXPECT_EQ(lu + Category_Ll, letters);
  CharacterCategoryTest t;
  t += Category_Lu;
  t |= CharacterCategoryTest(Category_Ll);
  EXPECT_EQ(t, letters);
  t = Category_Nd;
  EXPECT_EQ(t, CharacterCategoryTest(Category_Nd));
  EXPECT_TRUE(t('7'));
  EXPECT_NE(t, letters);
}

TEST(CharacterSetTests, Intersection) {
  // Lu & Ll is empty and accepts nothing.
  CharacterCategoryTest none = CharacterCategoryTest(Category_Lu) & Category_Ll;
  EXPECT_EQ(none, CharacterCategoryTest());
  EXPECT_FALSE(none('A'));
  EXPECT_FALSE(none('a'));
  EXPECT_EQ(AnyLetter & Category_Ll, CharacterCategoryTest(Category_Ll));
  EXPECT_EQ(AnyLetter & AnyNumber, CharacterCategoryTest());
  CharacterCategoryTest t = AnyLetter;
  t &= CharacterCategoryTest(Category_Lu) | Category_Nd;
  EXPECT_EQ(t, CharacterCategoryTest(Category_Lu));
  t &= Category_Ll;
  EXPECT_EQ(t, CharacterCategoryTest());
}

TEST(CharacterSetTests, ComplementStaysWithinTheEnumeration) {
  // The complement of the empty category set accepts every code point,
  // assigned or not (Cn is inside), and equals the set of all 30 values.
  CharacterCategoryTest all = ~CharacterCategoryTest();
  for (unsigned int c : {0x0u, 0x41u, 0x378u, 0xD800u, 0xE000u, 0x10FFFFu, 0x110000u})
    EXPECT_TRUE(all(c)) << std::hex << c;
  EXPECT_EQ(all.GetBits(), 0x3FFFFFFFu);
  EXPECT_EQ(~all, CharacterCategoryTest());
  EXPECT_EQ(~~AnyLetter, AnyLetter);
  EXPECT_EQ((~AnyLetter)('A'), false);
  EXPECT_EQ((~AnyLetter)('1'), true);

  EXPECT_EQ((~CharacterScript()).GetBits(), CharacterScript::kAllValues);
  EXPECT_EQ((~CharacterWidthTest()).GetBits(), 0x3Fu);
  EXPECT_EQ((~BidirectionalCategoryTest()).GetBits(), 0x7FFFFu);
  EXPECT_EQ((~LineBreakTest()).GetBits(), 0x7FFFFFFFu);
  EXPECT_EQ((~ExtendedUnicodePropertyTest()).GetBits(), 0x7FFFFFFFu);
  // Bits beyond the last value never get in, whatever the mask says.
  EXPECT_EQ(CharacterCategoryTest(CharacterSetMask(), 0xFFFFFFFFu), all);
  // A value outside the enumeration contributes nothing.
  EXPECT_EQ(CharacterCategoryTest(static_cast<CharacterCategory>(40)), CharacterCategoryTest());
  EXPECT_EQ(ExtendedUnicodePropertyTest(static_cast<ExtendedUnicodeProperty>(31)),
            ExtendedUnicodePropertyTest());
}

TEST(CharacterSetTests, EachDimensionLooksUpItsProperty) {
  CharacterScript greek(Script_Greek);
  EXPECT_TRUE(greek(0x3B1));
  EXPECT_TRUE(greek(0x378));  // unassigned inside the Greek block
  EXPECT_FALSE(greek('a'));
  EXPECT_TRUE((greek + Script_Latin)('a'));

  CharacterWidthTest wide = CharacterWidthTest(Width_W) | Width_F;
  EXPECT_TRUE(wide(0x4E00));
  EXPECT_TRUE(wide(0xFF21));
  EXPECT_FALSE(wide('A'));

  BidirectionalCategoryTest rtl = BidirectionalCategoryTest(Bidi_R) | Bidi_AL;
  EXPECT_TRUE(rtl(0x5D0));
  EXPECT_TRUE(rtl(0x627));
  EXPECT_TRUE(rtl(0x5FF));  // unassigned, Hebrew block default
  EXPECT_FALSE(rtl('A'));

  LineBreakTest breaks = LineBreakTest(LineBreak_SP) | LineBreak_BK;
  EXPECT_TRUE(breaks(' '));
  EXPECT_TRUE(breaks(0x2028));
  EXPECT_FALSE(breaks('A'));
  EXPECT_TRUE(LineBreakTest(LineBreak_XX)(0xFFFFFFFFu));

  ExtendedUnicodePropertyTest none;
  EXPECT_FALSE(none(' '));
  EXPECT_FALSE(none(0xFFFE));
  ExtendedUnicodePropertyTest ws_or_dash =
      ExtendedUnicodePropertyTest(Property_White_Space) | Property_Dash;
  EXPECT_TRUE(ws_or_dash(' '));
  EXPECT_TRUE(ws_or_dash('-'));
  EXPECT_FALSE(ws_or_dash('A'));
  EXPECT_TRUE((~none)(0xFFFE));  // Noncharacter_Code_Point
  EXPECT_FALSE((~none)(0x0378));  // no property at all
}

TEST(CharacterSetTests, MirroredTest) {
  EXPECT_TRUE(MirroredTest(false)('A'));
  EXPECT_FALSE(MirroredTest(false)('('));
  EXPECT_TRUE(MirroredTest(true)('('));
  EXPECT_EQ(MirroredTest(), MirroredTest(false));
  EXPECT_EQ(~MirroredTest(), MirroredTest(true));
  EXPECT_EQ(MirroredTest(false) | true, MirroredTest(true));
  EXPECT_EQ(MirroredTest(true) & false, MirroredTest(false));
  MirroredTest m;
  m |= MirroredTest(true);
  EXPECT_TRUE(m('['));
  m &= MirroredTest(false);
  EXPECT_NE(m, MirroredTest(true));
  m = true;
  EXPECT_EQ(m, MirroredTest(true));
}

TEST(CharacterProperty, ConstructionAndDimensions) {
  CharacterProperty nothing;
  EXPECT_FALSE(nothing('A'));
  EXPECT_FALSE(nothing(0x378));
  for (unsigned int c : {0x0u, 0x41u, 0x378u, 0x5D0u, 0x10FFFFu, 0xFFFFFFFFu})
    EXPECT_TRUE(AnyCharacterProperty(c)) << std::hex << c;
  EXPECT_EQ(~CharacterProperty(), AnyCharacterProperty);

  // One named dimension, the others full.
  CharacterProperty hebrew(Script_Hebrew);
  EXPECT_TRUE(hebrew(0x5D0));
  EXPECT_FALSE(hebrew('A'));
  EXPECT_EQ(hebrew.Categories(), ~CharacterCategoryTest());
  EXPECT_EQ(hebrew.Widths(), ~CharacterWidthTest());
  EXPECT_EQ(hebrew.BidirectionalCategories(), ~BidirectionalCategoryTest());
  EXPECT_EQ(hebrew.Scripts(), CharacterScript(Script_Hebrew));
  EXPECT_TRUE(CharacterProperty(Width_W)(0x4E00));
  EXPECT_TRUE(CharacterProperty(Bidi_AL)(0x627));
  EXPECT_TRUE(CharacterProperty(Category_Lu)('A'));
  EXPECT_TRUE(CharacterProperty(AnyLetter)('a'));
  EXPECT_TRUE(CharacterProperty(CharacterWidthTest(Width_Na))('a'));
  EXPECT_TRUE(CharacterProperty(KanaScript)(0x30A2));
  EXPECT_TRUE(CharacterProperty(BidirectionalCategoryTest(Bidi_R))(0x5D0));
}

TEST(CharacterProperty, OperatorsWorkDimensionByDimension) {
  // Latin letters that are wide: only the fullwidth Latin letters.
  CharacterProperty wide_latin = CharacterProperty(Script_Latin) & CharacterProperty(Width_F);
  EXPECT_TRUE(wide_latin(0xFF21));
  EXPECT_FALSE(wide_latin('A'));
  EXPECT_FALSE(wide_latin(0x4E00));

  // The union is the product of the unions, not the OR of the two tests:
  // (Lu x Latin) | (Ll x Greek) also accepts Ll x Latin and Lu x Greek.
  CharacterProperty a = CharacterProperty(Category_Lu) & CharacterProperty(Script_Latin);
  CharacterProperty b = CharacterProperty(Category_Ll) & CharacterProperty(Script_Greek);
  CharacterProperty u = a | b;
  EXPECT_TRUE(u('A'));
  EXPECT_TRUE(u(0x3B1));
  EXPECT_TRUE(u('a'));    // Ll, Latin
  EXPECT_TRUE(u(0x391));  // Lu, Greek
  EXPECT_FALSE(u('1'));
  CharacterProperty v = a;
  v |= b;
  EXPECT_EQ(u, v);
  v &= a;
  EXPECT_EQ(v, a);

  // The complement complements each dimension separately.
  CharacterProperty not_a = ~a;
  EXPECT_EQ(not_a.Categories(), ~CharacterCategoryTest(Category_Lu));
  EXPECT_EQ(not_a.Scripts(), ~CharacterScript(Script_Latin));
  EXPECT_EQ(not_a.Widths(), CharacterWidthTest());
  EXPECT_FALSE(not_a('1'));  // the empty width dimension refuses everything
  EXPECT_NE(not_a, a);
  CharacterProperty w;
  w = a;
  EXPECT_EQ(w, a);
}

TEST(CompoundTests, EvaluationAndOperandOwnership) {
  std::unique_ptr<CharacterTest> letter(AnyLetter.Clone());
  std::unique_ptr<CharacterTest> greek(new CharacterScript(Script_Greek));
  AndCharacterTest greek_letter(letter.get(), greek.get());
  OrCharacterTest letter_or_digit(letter.get(), &Ctype_digit);
  // The operands were cloned: the originals may go away.
  letter.reset();
  greek.reset();
  EXPECT_TRUE(greek_letter(0x3B1));
  EXPECT_FALSE(greek_letter('a'));
  EXPECT_FALSE(greek_letter(0x375));
  EXPECT_TRUE(letter_or_digit('a'));
  EXPECT_TRUE(letter_or_digit('5'));
  EXPECT_FALSE(letter_or_digit('!'));

  // Clones and copies are independent deep copies.
  std::unique_ptr<CharacterTest> clone(greek_letter.Clone());
  EXPECT_NE(dynamic_cast<AndCharacterTest*>(clone.get()), nullptr);
  EXPECT_TRUE((*clone)(0x3B1));
  AndCharacterTest copy(greek_letter);
  OrCharacterTest assigned(&Ctype_space, &Ctype_space);
  assigned = letter_or_digit;
  EXPECT_TRUE(copy(0x3C9));
  EXPECT_TRUE(assigned('5'));
  EXPECT_FALSE(assigned(' '));
  OrCharacterTest& alias = assigned;
  assigned = alias;  // self-assignment keeps the operands
  EXPECT_TRUE(assigned('5'));

  // Nested trees.
  AndCharacterTest nested(&greek_letter, &Ctype_lower);
  EXPECT_TRUE(nested(0x3B1));
  EXPECT_FALSE(nested(0x391));
  std::unique_ptr<CharacterTest> nested_clone(nested.Clone());
  EXPECT_FALSE((*nested_clone)(0x391));
  EXPECT_TRUE((*nested_clone)(0x3B1));

  // A null operand accepts nothing.
  AndCharacterTest with_null(&AnyLetter, nullptr);
  OrCharacterTest or_null(nullptr, &AnyLetter);
  EXPECT_FALSE(with_null('a'));
  EXPECT_TRUE(or_null('a'));
  EXPECT_FALSE(or_null('1'));
  std::unique_ptr<CharacterTest> null_clone(or_null.Clone());
  EXPECT_TRUE((*null_clone)('a'));
}

TEST(PredefinedTests, Categories) {
  EXPECT_TRUE(AnyLetter(0x1C5));  // Lt
  EXPECT_TRUE(AnyLetter(0x2B0));  // Lm
  EXPECT_FALSE(AnyLetter(0x2160));  // Nl
  EXPECT_TRUE(AnyMark(0x20DD));
  EXPECT_TRUE(AnyNumber(0x2160));
  EXPECT_TRUE(AnyPunctuation(0xAB));
  EXPECT_TRUE(AnySymbol('^'));
  EXPECT_TRUE(AnySeparator(0x2029));
  EXPECT_FALSE(AnySeparator('\t'));
  // Every category except Me, Cc, Co and Cn.
  EXPECT_FALSE(AnyDefinedCharacter(0x0000));
  EXPECT_FALSE(AnyDefinedCharacter(0xE000));
  EXPECT_FALSE(AnyDefinedCharacter(0x20DD));
  EXPECT_FALSE(AnyDefinedCharacter(0x0378));
  EXPECT_TRUE(AnyDefinedCharacter(0xD800));  // Cs is in
  EXPECT_TRUE(AnyDefinedCharacter(0x200C));  // Cf is in
  EXPECT_TRUE(KanaScript(0x3042));
  EXPECT_TRUE(KanaScript(0xFF71));
  EXPECT_FALSE(KanaScript(0x4E00));
  EXPECT_EQ(KanaScript, CharacterScript(Script_Hiragana) | Script_Katakana);
}

TEST(PredefinedTests, Ctype) {
  EXPECT_TRUE(Ctype_alnum('z'));
  EXPECT_TRUE(Ctype_alnum(0x0661));  // ARABIC-INDIC DIGIT ONE
  EXPECT_FALSE(Ctype_alnum('_'));
  EXPECT_TRUE(Ctype_alpha(0x4E00));
  EXPECT_FALSE(Ctype_alpha('1'));
  EXPECT_TRUE(Ctype_cntrl(0x7F));
  EXPECT_FALSE(Ctype_cntrl(0x200C));  // Cf
  EXPECT_TRUE(Ctype_digit(0xFF10));
  EXPECT_FALSE(Ctype_digit(0xB2));  // No
  EXPECT_TRUE(Ctype_graph('~'));
  EXPECT_FALSE(Ctype_graph(' '));
  EXPECT_TRUE(Ctype_print(' '));
  EXPECT_FALSE(Ctype_print(0x2028));  // Zl
  EXPECT_TRUE(Ctype_lower('a'));
  EXPECT_TRUE(Ctype_upper('A'));
  EXPECT_FALSE(Ctype_upper(0x1C5));  // Lt
  // Marks, punctuation and symbols, but not Sk.
  EXPECT_TRUE(Ctype_punct(0x0300));
  EXPECT_TRUE(Ctype_punct('$'));
  EXPECT_TRUE(Ctype_punct('+'));
  EXPECT_TRUE(Ctype_punct(0xA9));
  EXPECT_FALSE(Ctype_punct('^'));
  EXPECT_FALSE(Ctype_punct('A'));
  // Space: separators, U+0009-U+000D, U+0020; not U+0085.
  for (unsigned int c : {0x9u, 0xAu, 0xBu, 0xCu, 0xDu, 0x20u, 0xA0u, 0x2028u, 0x2029u, 0x3000u})
    EXPECT_TRUE(Ctype_space(c)) << std::hex << c;
  EXPECT_FALSE(Ctype_space(0x85));
  EXPECT_FALSE(Ctype_space(0x8));
  EXPECT_TRUE(Ctype_space(0x200B));  // ZERO WIDTH SPACE is Zs in Unicode 4.0
  EXPECT_FALSE(Ctype_space(0x200C));
  // Hexadecimal: ASCII only.
  int hex = 0;
  for (unsigned int c = 0; c < 0x10000; ++c) hex += Ctype_xdigit(c) ? 1 : 0;
  EXPECT_EQ(hex, 22);
  EXPECT_TRUE(Ctype_xdigit('f'));
  EXPECT_FALSE(Ctype_xdigit('g'));
  EXPECT_FALSE(Ctype_xdigit(0xFF21));
  // Only the category decides.
  EXPECT_EQ(Ctype_alpha.Widths(), ~CharacterWidthTest());
  EXPECT_EQ(Ctype_alpha.Scripts(), ~CharacterScript());
  EXPECT_EQ(Ctype_alpha.BidirectionalCategories(), ~BidirectionalCategoryTest());
  EXPECT_EQ(Ctype_alpha.Categories(), AnyLetter);
  EXPECT_EQ(Ctype_graph.Categories().GetBits(), 0x3FFFFFu);
  EXPECT_EQ(Ctype_print.Categories().GetBits(), 0x7FFFFFu);
}

TEST(PredefinedTests, DerivedCoreAndCloning) {
  EXPECT_TRUE(DerivedCore_Math('+'));
  EXPECT_TRUE(DerivedCore_Math('^'));  // Other_Math
  EXPECT_FALSE(DerivedCore_Math('A'));
  EXPECT_TRUE(DerivedCore_Alphabetic(0x0345));  // Other_Alphabetic
  EXPECT_TRUE(DerivedCore_Alphabetic(0x2160));  // Nl
  EXPECT_TRUE(DerivedCore_Lowercase(0x02B0));   // Other_Lowercase
  EXPECT_TRUE(DerivedCore_Uppercase(0x2160));   // Other_Uppercase
  EXPECT_TRUE(DerivedCore_IDStart(0x2118));     // Other_ID_Start
  EXPECT_FALSE(DerivedCore_IDStart('1'));
  EXPECT_TRUE(DerivedCore_IDContinue('1'));
  EXPECT_TRUE(DerivedCore_IDContinue('_'));
  EXPECT_TRUE(DerivedCore_IDContinue(0x2118));
  EXPECT_FALSE(DerivedCore_IDContinue('-'));

  // Clones of the predefined tests are independent heap objects.
  std::unique_ptr<CharacterTest> id(DerivedCore_IDContinue.Clone());
  EXPECT_TRUE((*id)('_'));
  EXPECT_TRUE((*id)(0x2118));
  std::unique_ptr<CharacterTest> space(Ctype_space.Clone());
  EXPECT_TRUE((*space)(0x2029));
  std::unique_ptr<CharacterTest> xdigit(Ctype_xdigit.Clone());
  EXPECT_TRUE((*xdigit)('A'));
  std::unique_ptr<CharacterTest> alpha(Ctype_alpha.Clone());
  EXPECT_TRUE(Accepts(*alpha, 'q'));
  OrCharacterTest copy(DerivedCore_Math);
  EXPECT_TRUE(copy('^'));
}

}  // namespace
