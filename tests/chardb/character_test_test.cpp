// Character tests: set operators, CharacterProperty dimensions, compound
// tests and their operand ownership, the predefined tests; UnicodeCharacter.
#include "zuuc/character_test.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "zuuc/unicode_character.h"

namespace {

TEST(CharacterSetTests, UnionIntersectionComplement) {
    CharacterCategoryTest lu(Category_Lu);
    EXPECT_FALSE(CharacterCategoryTest()('A'));
    CharacterCategoryTest letters = lu | Category_Ll;
    EXPECT_TRUE(letters('A') && letters('a') && !letters('1'));
    CharacterCategoryTest t;
    t += Category_Lu;
    t |= CharacterCategoryTest(Category_Ll);
    EXPECT_EQ(t, letters);
    EXPECT_EQ(AnyLetter & AnyNumber, CharacterCategoryTest());
    t = AnyLetter;
    t &= CharacterCategoryTest(Category_Lu) | Category_Nd;
    EXPECT_EQ(t, lu);
    // The complement of the empty set accepts every code point, assigned or
    // not (Cn is inside); bits beyond the last value never get in.
    CharacterCategoryTest all = ~CharacterCategoryTest();
    for (unsigned int c : {0x0u, 0x378u, 0xD800u, 0xE000u, 0x10FFFFu, 0x110000u})
        EXPECT_TRUE(all(c)) << std::hex << c;
    EXPECT_EQ(all.GetBits(), 0x3FFFFFFFu);
    EXPECT_EQ(CharacterCategoryTest(CharacterSetMask(), 0xFFFFFFFFu), all);
    EXPECT_EQ(~~AnyLetter, AnyLetter);
    EXPECT_TRUE((~AnyLetter)('1') && !(~AnyLetter)('A'));
    EXPECT_EQ((~CharacterScript()).GetBits(), CharacterScript::kAllValues);
    EXPECT_EQ((~CharacterWidthTest()).GetBits(), 0x3Fu);
    EXPECT_EQ((~BidirectionalCategoryTest()).GetBits(), 0x7FFFFu);
    EXPECT_EQ((~LineBreakTest()).GetBits(), 0x7FFFFFFFu);
    EXPECT_EQ((~ExtendedUnicodePropertyTest()).GetBits(), 0x7FFFFFFFu);
    // A value outside the enumeration contributes nothing.
    EXPECT_EQ(CharacterCategoryTest(static_cast<CharacterCategory>(40)), CharacterCategoryTest());
    EXPECT_EQ(ExtendedUnicodePropertyTest(static_cast<ExtendedUnicodeProperty>(31)),
              ExtendedUnicodePropertyTest());
}

TEST(CharacterSetTests, EachDimensionLooksUpItsProperty) {
    CharacterScript greek(Script_Greek);
    EXPECT_TRUE(greek(0x378) && !greek('a'));  // unassigned inside the Greek block
    EXPECT_TRUE((greek + Script_Latin)('a'));
    CharacterWidthTest wide = CharacterWidthTest(Width_W) | Width_F;
    EXPECT_TRUE(wide(0x4E00) && wide(0xFF21) && !wide('A'));
    BidirectionalCategoryTest rtl = BidirectionalCategoryTest(Bidi_R) | Bidi_AL;
    EXPECT_TRUE(rtl(0x627) && rtl(0x5FF) && !rtl('A'));  // 5FF: unassigned, Hebrew block default
    LineBreakTest breaks = LineBreakTest(LineBreak_SP) | LineBreak_BK;
    EXPECT_TRUE(breaks(0x2028) && !breaks('A'));
    EXPECT_TRUE(LineBreakTest(LineBreak_XX)(0xFFFFFFFFu));
    ExtendedUnicodePropertyTest none;
    ExtendedUnicodePropertyTest ws_or_dash =
        ExtendedUnicodePropertyTest(Property_White_Space) | Property_Dash;
    EXPECT_TRUE(ws_or_dash(' ') && ws_or_dash('-') && !ws_or_dash('A'));
    EXPECT_TRUE(!none(0xFFFE) && (~none)(0xFFFE));  // Noncharacter_Code_Point
    EXPECT_FALSE((~none)(0x0378));                  // no property at all
    // Mirrored: a set of two values.
    EXPECT_TRUE(MirroredTest(false)('A') && !MirroredTest(false)('(') && MirroredTest(true)('('));
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

TEST(CharacterProperty, DimensionsAndOperators) {
    EXPECT_FALSE(CharacterProperty()('A'));
    for (unsigned int c : {0x0u, 0x378u, 0x10FFFFu, 0xFFFFFFFFu})
        EXPECT_TRUE(AnyCharacterProperty(c)) << std::hex << c;
    EXPECT_EQ(~CharacterProperty(), AnyCharacterProperty);
    // One named dimension, the others full.
    CharacterProperty hebrew(Script_Hebrew);
    EXPECT_TRUE(hebrew(0x5D0) && !hebrew('A'));
    EXPECT_EQ(hebrew.Categories(), ~CharacterCategoryTest());
    EXPECT_EQ(hebrew.Widths(), ~CharacterWidthTest());
    EXPECT_EQ(hebrew.BidirectionalCategories(), ~BidirectionalCategoryTest());
    EXPECT_EQ(Ctype_alpha.Categories(), AnyLetter);
    EXPECT_TRUE(CharacterProperty(Width_W)(0x4E00) && CharacterProperty(Bidi_AL)(0x627) &&
                CharacterProperty(Category_Lu)('A') && CharacterProperty(KanaScript)(0x30A2) &&
                CharacterProperty(CharacterWidthTest(Width_Na))('a') &&
                CharacterProperty(BidirectionalCategoryTest(Bidi_R))(0x5D0));
    CharacterProperty wide_latin = CharacterProperty(Script_Latin) & CharacterProperty(Width_F);
    EXPECT_TRUE(wide_latin(0xFF21) && !wide_latin('A'));
    // The union is the product of the unions, not the OR of the two tests:
    // (Lu x Latin) | (Ll x Greek) also accepts Ll x Latin and Lu x Greek.
    CharacterProperty a = CharacterProperty(Category_Lu) & CharacterProperty(Script_Latin);
    CharacterProperty b = CharacterProperty(Category_Ll) & CharacterProperty(Script_Greek);
    CharacterProperty u = a | b;
    for (unsigned int c : {0x41u, 0x3B1u, 0x61u, 0x391u})
        EXPECT_TRUE(u(c)) << std::hex << c;
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
    v = not_a;
    EXPECT_NE(v, a);
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
    EXPECT_TRUE(letter_or_digit('5'));
    EXPECT_FALSE(letter_or_digit('!'));
    // Clones and copies are independent deep copies.
    AndCharacterTest copy(greek_letter);
    OrCharacterTest assigned(&Ctype_space, &Ctype_space);
    assigned = letter_or_digit;
    EXPECT_TRUE(copy(0x3C9));
    EXPECT_TRUE(assigned('5'));
    EXPECT_FALSE(assigned(' '));
    OrCharacterTest & alias = assigned;
    assigned = alias;  // self-assignment keeps the operands
    EXPECT_TRUE(assigned('5'));
    // Nested trees.
    AndCharacterTest nested(&greek_letter, &Ctype_lower);
    std::unique_ptr<CharacterTest> nested_clone(nested.Clone());
    EXPECT_FALSE((*nested_clone)(0x391));
    EXPECT_TRUE((*nested_clone)(0x3B1));
    // A null operand accepts nothing.
    AndCharacterTest with_null(&AnyLetter, nullptr);
    OrCharacterTest or_null(nullptr, &AnyLetter);
    EXPECT_FALSE(with_null('a'));
    EXPECT_FALSE(or_null('1'));
    std::unique_ptr<CharacterTest> null_clone(or_null.Clone());
    EXPECT_TRUE((*null_clone)('a'));
}

// Membership of the predefined tests; the derived core properties are
// checked over all code points in ucd_verify_test.cpp.
TEST(PredefinedTests, Membership) {
    const struct {
        char const * name;
        CharacterTest const & test;
        std::vector<unsigned int> in, out;
    } cases[] = {
        {"AnyLetter", AnyLetter, {0x1C5, 0x2B0}, {0x2160}},  // Lt, Lm; not Nl
        {"AnyMark", AnyMark, {0x20DD}, {}},
        {"AnyNumber", AnyNumber, {0x2160}, {}},
        {"AnyPunctuation", AnyPunctuation, {0xAB}, {}},
        {"AnySymbol", AnySymbol, {'^'}, {}},
        {"AnySeparator", AnySeparator, {0x2029}, {'\t'}},
        // Every category except Me, Cc, Co and Cn (Cs and Cf are in).
        {"AnyDefinedCharacter", AnyDefinedCharacter, {0xD800, 0x200C}, {0, 0xE000, 0x20DD, 0x378}},
        {"KanaScript", KanaScript, {0x3042, 0xFF71}, {0x4E00}},
        {"Ctype_alnum", Ctype_alnum, {0x0661}, {'_'}},
        {"Ctype_alpha", Ctype_alpha, {0x4E00}, {'1'}},
        {"Ctype_cntrl", Ctype_cntrl, {0x7F}, {0x200C}},
        {"Ctype_digit", Ctype_digit, {0xFF10}, {0xB2}},
        {"Ctype_graph", Ctype_graph, {'~'}, {' '}},
        {"Ctype_print", Ctype_print, {' '}, {0x2028}},
        {"Ctype_lower", Ctype_lower, {'a'}, {}},
        {"Ctype_upper", Ctype_upper, {'A'}, {0x1C5}},
        // Marks, punctuation and symbols, but not Sk.
        {"Ctype_punct", Ctype_punct, {0x300, '$', '+', 0xA9}, {'^', 'A'}},
        // Separators (ZERO WIDTH SPACE is Zs in 4.0), U+0009-U+000D, U+0020.
        {"Ctype_space", Ctype_space, {0x9, 0xD, 0x20, 0xA0, 0x3000, 0x200B}, {0x85, 0x8, 0x200C}},
        {"Ctype_xdigit", Ctype_xdigit, {'f'}, {'g', 0xFF21}},
    };
    for (auto const & t : cases) {
        // Clones of the predefined tests are independent heap objects.
        std::unique_ptr<CharacterTest> clone(t.test.Clone());
        for (unsigned int c : t.in)
            EXPECT_TRUE(t.test(c) && (*clone)(c)) << t.name << std::hex << c;
        for (unsigned int c : t.out)
            EXPECT_FALSE(t.test(c) || (*clone)(c)) << t.name << std::hex << c;
    }
    EXPECT_EQ(KanaScript, CharacterScript(Script_Hiragana) | Script_Katakana);
    // Hexadecimal: ASCII only.
    int hex = 0;
    for (unsigned int c = 0; c < 0x10000; ++c)
        hex += Ctype_xdigit(c) ? 1 : 0;
    EXPECT_EQ(hex, 22);
    OrCharacterTest copy(DerivedCore_Math);
    EXPECT_TRUE(copy('^'));
}

}  // namespace

// UnicodeCharacter: the library's own rules where they differ from a plain
// reading of the data files (the sweeps in ucd_verify_test.cpp check every
// code point), member forms and construction.
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
    for (auto const & t : cases)
        EXPECT_EQ(UnicodeCharacter(t.hi, t.lo).Codepoint(), t.c) << std::hex << t.hi << ' ' << t.lo;
    EXPECT_EQ(UnicodeCharacter(0xD801, 0xDC00).GetScriptSystem(), Script_Deseret);
}

}  // namespace
