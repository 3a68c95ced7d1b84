// Substitutions, selection, line ends, marks, the katakana width transforms
// with voicing marks, and the room each step needs when it expands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "transform_test_util.h"
#include "zuuc/character_test.h"
#include "zuuc/transforms.h"

using namespace zuuc_test::transforms;

namespace {

TEST(Substitution, ReplacesOneCodePoint) {
    EXPECT_EQ(ApplyAnyWindows<CharacterSubstitutionTransform>(U"a-b-c", 0x2Du, 0x2010u), U"a‐b‐c");
    EXPECT_EQ(ApplyAnyWindows<BackslashToYenTransform>(U"C:\\dir\\"), U"C:¥dir¥");
    EXPECT_EQ(ApplyAnyWindows<BackslashToWonTransform>(U"\\100"), U"₩100");
    EXPECT_EQ(ApplyAnyWindows<YenToBackslashAndOverbarToTildeTransform>(U"¥n ‾/ ~"), U"\\n ~/ ~");
}

TEST(Substitution, Utf16ConstructorTakesSixteenBitUnits) {
    WindowSource16 source(u"x\\y", 1);
    BackslashToYenTransform yen(source);
    EXPECT_EQ(ReadAll(yen), U"x¥y");
}

TEST(Selection, SelectKeepsAndFilterDropsWhatTheTestAccepts) {
    EXPECT_EQ(ApplyAnyWindows<FilterTransform>(U"e\u0301x", &AnyMark), U"ex");
    EXPECT_EQ(ApplyAnyWindows<SelectTransform>(U"e\u0301x\u0300", &AnyMark), U"\u0301\u0300");
    EXPECT_EQ(ApplyAnyWindows<SelectTransform>(U"abc"), U"abc");
    EXPECT_EQ(ApplyAnyWindows<FilterTransform>(U"abc"), U"");
    // Long runs of dropped units between kept ones.
    std::u32string const text = Repeat(U"a\u0301\u0302\u0303", 5000);
    EXPECT_EQ(ApplyAnyWindows<FilterTransform>(text, &AnyMark), std::u32string(1250, U'a'));
}

// Every kind of line end, alone and next to others (CR LF is one line end,
// LF CR two), becomes the target of each transform.
TEST(LineEnds, EachLineEndBecomesTheTarget) {
    std::vector<std::u32string> const pieces = {U"\r\n", U"\r", U"a",      U"\n", U"\n",     U"\r",
                                                U"\u2028", U"b", U"\u0085", U"c", U"\u2029", U"\n",
                                                U"\r",     U"\r\n"};
    std::u32string input;
    for (auto const & p : pieces) input += p;
    auto expected = [&](std::u32string const & target) {
        std::u32string out;
        for (auto const & p : pieces) out += p[0] >= U'a' && p[0] <= U'z' ? p : target;
        return out;
    };
    EXPECT_EQ(ApplyAnyWindows<ToCRTransform>(input), expected(U"\r"));
    EXPECT_EQ(ApplyAnyWindows<ToLFTransform>(input), expected(U"\n"));
    EXPECT_EQ(ApplyAnyWindows<ToCRLFTransform>(input), expected(U"\r\n"));
    EXPECT_EQ(ApplyAnyWindows<ToLineSeparatorTransform>(input), expected(U"\u2028"));
    EXPECT_EQ(ApplyAnyWindows<ToParagraphSeparatorTransform>(input), expected(U"\u2029"));
    EXPECT_EQ(ApplyAnyWindows<ToEBCDICNewLineTransform>(input), expected(U"\u0085"));
}

TEST(LineEnds, TestKeepsRefusedLineEnds) {
    CharacterCategoryTest const separators(Category_Zl);  // only U+2028
    EXPECT_EQ(ApplyAnyWindows<ToLFTransform>(U"a\r\n\u2028", &separators), U"a\r\n\n");
}

TEST(Marks, SpacingAndCombiningForms) {
    EXPECT_EQ(ToCombiningMarkTransform::Transform(0x309B), 0x3099u);
    EXPECT_EQ(ToCombiningMarkTransform::Transform(0x00B4), 0x0301u);
    EXPECT_EQ(ToCombiningMarkTransform::Transform(0x0041), 0x0041u);
    EXPECT_EQ(ToSpacingMarkTransform::Transform(0x309A), 0x309Cu);
    EXPECT_EQ(ToSpacingMarkTransform::Transform(0x0301), 0x00B4u);  // the lowest of B4 and 384
    EXPECT_EQ(ApplyAnyWindows<ToCombiningMarkTransform>(U"カ゛ ゛x"), U"カ\u3099  \u3099x");
    EXPECT_EQ(ApplyAnyWindows<ToSpacingMarkTransform>(U"カ\u3099  \u3099x  "), U"カ゛ ゛x  ");
    EXPECT_EQ(ApplyAnyWindows<ToSpacingMarkTransform>(U"  \u0308 a"), U" ¨ a");
}

TEST(KatakanaWidth, ZenkakuToHankaku) {
    EXPECT_EQ(ApplyAnyWindows<ZenkakuKatakanaToHankakuTransform>(U"カ\u3099ハ\u309A"), U"ｶﾞﾊﾟ");
    EXPECT_EQ(ApplyAnyWindows<ZenkakuKatakanaToHankakuTransform>(U"ガ"), U"ガ");
    EXPECT_EQ(ApplyAnyWindows<ZenkakuKatakanaToHankakuTransform>(U"ーカーーＡ　ー"), U"ーｶｰｰA ー");
    // The mark belongs to the letter before it even when the test refuses it.
    CharacterScript const katakana(Script_Katakana);
    EXPECT_EQ(ApplyAnyWindows<ZenkakuKatakanaToHankakuTransform>(U"カ\u3099Ａ", &katakana), U"ｶﾞＡ");
}

TEST(KatakanaWidth, HankakuToZenkaku) {
    EXPECT_EQ(ApplyAnyWindows<HankakuKatakanaToZenkakuTransform>(U"ﾊﾟ"), U"パ");
    EXPECT_EQ(ApplyAnyWindows<HankakuKatakanaToZenkakuTransform>(U"ｱﾞ"), U"ア\u3099");
    EXPECT_EQ(ApplyAnyWindows<HankakuKatakanaToZenkakuTransform>(U"ｶﾞﾄﾞﾎﾟｳﾞﾜﾞｦﾞ"), U"ガドポヴヷヺ");
    EXPECT_EQ(ApplyAnyWindows<HankakuKatakanaToZenkakuTransform>(U"ﾞｰｯｶA"), U"\u3099ーッカＡ");
    EXPECT_EQ(ApplyAnyWindows<HankakuKatakanaToZenkakuTransform>(U"ﾀﾟ"), U"タ\u309A");
}

TEST(KatakanaWidth, RoundTripOfDecomposedText) {
    std::u32string const text = Repeat(U"テ\u3099ータ\u3099ヘ\u3099ース、コーヒー。", 15 * 200);
    std::u32string const half = ApplyAnyWindows<ZenkakuKatakanaToHankakuTransform>(text);
    EXPECT_EQ(half.substr(0, 16), U"ﾃﾞｰﾀﾞﾍﾞｰｽ､ｺｰﾋｰ｡ﾃ");
    EXPECT_TRUE(ApplyAnyWindows<HankakuKatakanaToZenkakuTransform>(half) ==
                Repeat(U"デーダベース、コーヒー。", 12 * 200));
}

// Inputs in which every unit (or every pair) expands, several buffers long:
// each step must find room for its whole output.
TEST(Expansion, EveryUnitExpandsOverManyBuffers) {
    std::size_t const n = 3000;
    EXPECT_EQ(ApplyAnyWindows<ToCRLFTransform>(std::u32string(n, U'\n')), Repeat(U"\r\n", 2 * n));
    EXPECT_EQ(ApplyAnyWindows<ToCRLFTransform>(Repeat(U"\u2028\r", 2 * n)), Repeat(U"\r\n", 4 * n));
    EXPECT_EQ(ApplyAnyWindows<ToCombiningMarkTransform>(Repeat(U" ゛", 2 * n)),
              Repeat(U"  \u3099", 3 * n));
    EXPECT_EQ(ApplyAnyWindows<ToSpacingMarkTransform>(Repeat(U" ", n)), Repeat(U" ", n));
    EXPECT_EQ(ApplyAnyWindows<HankakuKatakanaToZenkakuTransform>(Repeat(U"ﾀﾟ", 2 * n)),
              Repeat(U"タ\u309A", 2 * n));
    EXPECT_EQ(ApplyAnyWindows<ToLatinNumberTransform>(Repeat(U"一京一 ", 4 * n)),
              Repeat(U"10000000000000001 ", 18 * n));
    EXPECT_EQ(ApplyAnyWindows<KanaToHebonRomajiTransform>(Repeat(U"っちゃ", 3 * n)),
              Repeat(U"tcha", 4 * n));
    EXPECT_EQ(ApplyAnyWindows<KanaToKunreiRomajiTransform>(Repeat(U"ぁっっ", 3 * n)),
              Repeat(U"xaxtuxtu", 8 * n));
    EXPECT_EQ(ApplyAnyWindows<RomajiToKatakanaTransform>(Repeat(U"q", n)), Repeat(U"q", n));
}

}  // namespace
