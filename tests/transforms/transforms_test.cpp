#include "zuuc/transforms.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/utf16_support.h"
#include "zuuc/character_test.h"
#include "zuuc/normalization.h"
#include "zuuc/sgml_transform.h"
#include "zuuc/sources.h"

// The transform framework and the per-character transforms: construction
// over 16- and 32-bit sources, the character test, windows, and the case,
// width and kana tables (case and width against UnicodeData.txt for the
// whole BMP).

namespace {

// Hands out `text` in windows of at most `window` units, each copied into
// a scratch buffer that the next window reuses.
template <class Base, class Unit, class String>
class WindowSource : public Base {
public:
    WindowSource(String const & text, std::size_t window)
        : text_(text.begin(), text.end()), window_(window == 0 ? 1 : window) {}

protected:
    bool FillBuffer() override {
        if (next_ >= text_.size())
            return false;
        std::size_t const n = std::min(window_, text_.size() - next_);
        scratch_.assign(text_.begin() + static_cast<long>(next_),
                        text_.begin() + static_cast<long>(next_ + n));
        next_ += n;
        this->SetWindow(scratch_.data(), scratch_.data() + n);
        return true;
    }

private:
    std::vector<Unit> text_;
    std::size_t window_;
    std::size_t next_ = 0;
    std::vector<Unit> scratch_;
};

using WindowSource32 = WindowSource<Char32Source, unsigned int, std::u32string>;
using WindowSource16 = WindowSource<Char16Source, unsigned short, std::u16string>;

inline std::u32string ReadAll(Char32Source & source) {
    std::u32string out;
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        EXPECT_LE(end - begin, static_cast<long>(UnicodeNoTestTransform::kBufferSize));
        for (unsigned int const * p = begin; p != end; ++p)
            out.push_back(static_cast<char32_t>(*p));
        source.DoneWith(end);
    }
    return out;
}

// Runs transform T over `input` handed out in windows of `window` units.
template <class T, class... Args>
std::u32string Apply(std::u32string const & input, std::size_t window, Args... args) {
    WindowSource32 source(input, window);
    T transform(source, args...);
    return ReadAll(transform);
}

// Runs T over `input` with windows of 1, 2, 3, 7, 1000 units and whole;
// every run must give the same text, which is returned.
template <class T, class... Args>
std::u32string ApplyAnyWindows(std::u32string const & input, Args... args) {
    std::u32string const whole = Apply<T>(input, input.size() + 1, args...);
    for (std::size_t window : {1, 2, 3, 7, 1000})
        EXPECT_EQ(Apply<T>(input, window, args...), whole) << "window " << window;
    return whole;
}

// `text` repeated until it is at least `units` long.
inline std::u32string Repeat(std::u32string const & text, std::size_t units) {
    std::u32string out;
    while (out.size() < units)
        out += text;
    return out;
}

// Accepts nothing.
class NoCharacter : public CharacterTest {
public:
    CharacterTest * Clone() const override { return new NoCharacter(*this); }

protected:
    bool Test(unsigned int) const override { return false; }
};

struct MapCase {
    unsigned int (*map)(unsigned int);
    unsigned int from;
    unsigned int to;
};

class StaticTransform : public ::testing::TestWithParam<MapCase> {};

TEST_P(StaticTransform, MapsOneCodePoint) {
    EXPECT_EQ(GetParam().map(GetParam().from), GetParam().to)
        << std::hex << "U+" << GetParam().from;
}

// The case and width tables are checked over the whole BMP below; here the
// kana tables and what lies beyond the BMP (the plain twins あ/ア and ヵ to か
// are read by the framework tests below).
using Up = ToUppercaseTransform;
using Low = ToLowercaseTransform;
using Hira = ToHiraganaTransform;
using Kata = ToKatakanaTransform;
using Large = SmallToLargeKanaTransform;
using Small = LargeToSmallKanaTransform;
MapCase const kMapCases[] = {
    {Up::Transform, 0x10428, 0x10428},  // no supplementary mappings
    {Up::Transform, 0x110061, 0x110061}, {Low::Transform, 0x10400, 0x10400},
    {Hira::Transform, 0x30F6, 0x3051},   {Hira::Transform, 0x30FE, 0x309E},
    {Hira::Transform, 0x30FC, 0x30FC},   {Hira::Transform, 0xFF76, 0x304B},  // widened first
    {Kata::Transform, 0x3094, 0x30F4},   {Kata::Transform, 0x309D, 0x30FD},
    {Kata::Transform, 0x3095, 0x3095},   {Large::Transform, 0x3041, 0x3042},
    {Large::Transform, 0x3083, 0x3084},  {Large::Transform, 0x308E, 0x308F},
    {Large::Transform, 0x3095, 0x304B},  {Large::Transform, 0x30F5, 0x30AB},
    {Large::Transform, 0x30F6, 0x30B1},  {Large::Transform, 0x30E3, 0x30E4},
    {Large::Transform, 0x3063, 0x3063},  {Large::Transform, 0x30C3, 0x30C3},
    {Small::Transform, 0x3042, 0x3041},  {Small::Transform, 0x304B, 0x3095},
    {Small::Transform, 0x3051, 0x3096},  {Small::Transform, 0x30AB, 0x30F5},
    {Small::Transform, 0x30B1, 0x30F6},  {Small::Transform, 0x308F, 0x308E},
    {Small::Transform, 0x3064, 0x3064},  {Small::Transform, 0x30C4, 0x30C4},
};
INSTANTIATE_TEST_SUITE_P(Tables, StaticTransform, ::testing::ValuesIn(kMapCases));

// The whole BMP against the data file: the simple case mappings and the
// <wide>/<narrow> compatibility decompositions, both directions.
TEST(TransformTables, AgreeWithUnicodeDataForEveryBmpCodePoint) {
    std::ifstream file(ZUUC_DATA_DIR "/ucd/UnicodeData.txt");
    ASSERT_TRUE(file) << "cannot read UnicodeData.txt";
    std::map<unsigned int, unsigned int> upper, lower, half, full;
    std::string line;
    while (std::getline(file, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, ';');)
            f.push_back(field);
        f.resize(15);
        unsigned int const cp = std::stoul(f[0], nullptr, 16);
        if (cp > 0xFFFF)
            continue;
        if (!f[12].empty())
            upper[cp] = std::stoul(f[12], nullptr, 16);
        if (!f[13].empty())
            lower[cp] = std::stoul(f[13], nullptr, 16);
        std::istringstream decomposition(f[5]);
        std::string tag, base;
        if (decomposition >> tag >> base && decomposition.eof()) {
            unsigned int const b = std::stoul(base, nullptr, 16);
            if (tag == "<wide>")
                half[cp] = b, full[b] = cp;
            if (tag == "<narrow>")
                half[b] = cp, full[cp] = b;
        }
    }
    EXPECT_EQ(upper.size(), 723u);
    EXPECT_EQ(lower.size(), 714u);
    EXPECT_EQ(half.size(), 226u);
    EXPECT_EQ(full.size(), 226u);
    auto expected = [](std::map<unsigned int, unsigned int> const & m, unsigned int cp) {
        auto it = m.find(cp);
        return it == m.end() ? cp : it->second;
    };
    int failures = 0;
    for (unsigned int cp = 0; cp <= 0xFFFF && failures < 20; ++cp) {
        unsigned int const got[] = {
            ToUppercaseTransform::Transform(cp), ToLowercaseTransform::Transform(cp),
            ToHalfwidthTransform::Transform(cp), ToFullwidthTransform::Transform(cp)};
        unsigned int const want[] = {expected(upper, cp), expected(lower, cp), expected(half, cp),
                                     expected(full, cp)};
        for (int t = 0; t < 4; ++t) {
            if (got[t] != want[t]) {
                ADD_FAILURE() << "table " << t << " at U+" << std::hex << cp << ": " << got[t]
                              << " != " << want[t];
                ++failures;
            }
        }
    }
}

TEST(Framework, TransformsWholeTextWhateverTheWindows) {
    std::u32string const input = Repeat(U"Straße ǅ Σίσυφος İ ﬀ \U00010428 abc", 3000);
    std::u32string const upper = ApplyAnyWindows<ToUppercaseTransform>(input);
    ASSERT_EQ(upper.size(), input.size());
    std::u32string const start = U"STRAßE Ǆ ΣΊΣΥΦΟΣ İ ﬀ \U00010428 ABCSTRAßE";
    EXPECT_EQ(upper.substr(0, start.size()), start);
    EXPECT_EQ(ApplyAnyWindows<ToLowercaseTransform>(U"ABC İ ǅ Ａ"), U"abc i ǆ ａ");
}

TEST(Framework, TestSelectsWhatIsTouched) {
    EXPECT_EQ(ApplyAnyWindows<ToUppercaseTransform>(U"abc αβγ", &KanaScript), U"abc αβγ");
    NoCharacter none;
    EXPECT_EQ(ApplyAnyWindows<ToUppercaseTransform>(U"abc", &none), U"abc");
    EXPECT_EQ(ApplyAnyWindows<ToKatakanaTransform>(U"あア", &KanaScript), U"アア");
    CharacterScript const greek(Script_Greek);
    EXPECT_EQ(ApplyAnyWindows<ToUppercaseTransform>(U"abc αβγ", &greek), U"abc ΑΒΓ");
}

TEST(Framework, ReadsUtf16ThroughItsConverter) {
    std::u16string const input = u"ab\U00010428cd\u00ff";
    for (std::size_t window : {1, 2, 3, 100}) {
        WindowSource16 source(input, window);
        ToUppercaseTransform upper(source);
        EXPECT_EQ(ReadAll(upper), U"AB\U00010428CD\u0178") << "window " << window;
    }
}

TEST(Framework, TransformsStack) {
    WindowSource32 source(U"ｱｲｳ abc", 2);
    ToFullwidthTransform wide(source);
    ToHiraganaTransform hiragana(wide);
    ToUppercaseTransform upper(hiragana);
    EXPECT_EQ(ReadAll(upper), U"あいう　ＡＢＣ");
}

TEST(Framework, HiraganaTransformLeavesHalfwidthKatakana) {
    // Only the static Transform widens halfwidth katakana first.
    EXPECT_EQ(ApplyAnyWindows<ToHiraganaTransform>(U"ｶカヵ"), U"ｶかか");
}

// Substitutions, selection, line ends, marks, the katakana width transforms
// with voicing marks, and the room each step needs when it expands.

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
    std::vector<std::u32string> const pieces = {U"\r\n",   U"\r",     U"a",  U"\n",     U"\n",
                                                U"\r",     U"\u2028", U"b",  U"\u0085", U"c",
                                                U"\u2029", U"\n",     U"\r", U"\r\n"};
    std::u32string input;
    for (auto const & p : pieces)
        input += p;
    auto expected = [&](std::u32string const & target) {
        std::u32string out;
        for (auto const & p : pieces)
            out += p[0] >= U'a' && p[0] <= U'z' ? p : target;
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
    EXPECT_EQ(ApplyAnyWindows<ZenkakuKatakanaToHankakuTransform>(U"カ\u3099Ａ", &katakana),
              U"ｶﾞＡ");
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

// Kanji numerals to Latin digits: the reading rules of docs/transforms.md.

struct NumberCase {
    std::u32string input;
    std::u32string expected;
};

class KanjiNumbers : public ::testing::TestWithParam<NumberCase> {};

TEST_P(KanjiNumbers, ReadAsDocumented) {
    EXPECT_EQ(ApplyAnyWindows<ToLatinNumberTransform>(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, KanjiNumbers,
    ::testing::Values(
        // Multipliers and group markers.
        NumberCase{U"二千十五", U"2015"}, NumberCase{U"三万", U"30000"}, NumberCase{U"十", U"10"},
        NumberCase{U"百二十三", U"123"}, NumberCase{U"一億二千万", U"120000000"},
        NumberCase{U"千", U"1000"}, NumberCase{U"三千五百", U"3500"},
        NumberCase{U"十万", U"100000"}, NumberCase{U"五千万", U"50000000"},
        NumberCase{U"一億五", U"100000005"}, NumberCase{U"一兆三万", U"1000000030000"},
        NumberCase{U"一京一", U"10000000000000001"},
        NumberCase{U"九千九百九十九万九千九百九十九", U"99999999"}, NumberCase{U"〇万", U"0"},
        // Digits without a multiplier are read place by place, zeros kept.
        NumberCase{U"二〇一五年", U"2015年"}, NumberCase{U"〇〇七", U"007"},
        NumberCase{U"一二三四五六", U"123456"},
        // Latin digits among kanji.
        NumberCase{U"3万円", U"30000円"}, NumberCase{U"1億2000万", U"120000000"},
        NumberCase{U"２千", U"2000"}, NumberCase{U"二千15年", U"2015年"},
        // Latin digits alone, and what follows a decimal point or a comma, stay.
        NumberCase{U"2015年", U"2015年"}, NumberCase{U"１２３", U"１２３"},
        NumberCase{U"007", U"007"}, NumberCase{U"1.5万", U"1.5万"},
        NumberCase{U"1,000万円", U"1,000万円"},
        // Where a number ends.
        NumberCase{U"十百", U"10100"}, NumberCase{U"一万万", U"10000万"},
        NumberCase{U"十二三", U"123"},
        // Text around numbers, and markers without a number.
        NumberCase{U"今年は二千十五年です。", U"今年は2015年です。"},
        NumberCase{U"京都の万年筆", U"京都の万年筆"}, NumberCase{U"", U""},
        NumberCase{U"第三十二回、百人", U"第32回、100人"}));

TEST(KanjiNumbers, RefusedUnitsAreText) {
    CharacterScript const han(Script_Han);
    EXPECT_EQ(ApplyAnyWindows<ToLatinNumberTransform>(U"3万 二十", &han), U"3万 20");
}

// Kana to romaji and back: a word list in both spellings and both
// directions, and the rules for sokuon, n, long vowels and small kana.

struct Word {
    std::u32string kana;  // hiragana
    std::u32string hepburn;
    std::u32string kunrei;
};

// Words that between them meet every spelling rule; single kana are
// checked one by one below.
Word const kWords[] = {
    {U"すし", U"sushi", U"susi"},
    {U"しんぶん", U"shinbun", U"sinbun"},
    {U"きっぷ", U"kippu", U"kippu"},
    {U"まっちゃ", U"matcha", U"mattya"},
    {U"きょうと", U"kyouto", U"kyouto"},
    {U"おおさか", U"oosaka", U"oosaka"},
    {U"ふじさん", U"fujisan", U"huzisan"},
    {U"つなみ", U"tsunami", U"tunami"},
    {U"きんえん", U"kin'en", U"kin'en"},
    {U"こんや", U"kon'ya", U"kon'ya"},
    {U"こんにちは", U"konnichiha", U"konnitiha"},
    {U"じてんしゃ", U"jitensha", U"zitensya"},
    {U"にっぽん", U"nippon", U"nippon"},
    {U"ぎゅうにゅう", U"gyuunyuu", U"gyuunyuu"},
    {U"はっぴゃく", U"happyaku", U"happyaku"},
    {U"さんびゃく", U"sanbyaku", U"sanbyaku"},
    {U"りゅう", U"ryuu", U"ryuu"},
    {U"おねえさん", U"oneesan", U"oneesan"},
    {U"ともだち", U"tomodachi", U"tomodati"},
    {U"みゃく", U"myaku", U"myaku"},
    {U"ひゃっかてん", U"hyakkaten", U"hyakkaten"},
    {U"ふぁいる", U"fairu", U"fairu"},
    {U"ゔぁいおりん", U"vaiorin", U"vaiorin"},
    {U"ちぇっく", U"chekku", U"tyekku"},
    {U"しぇふ", U"shefu", U"syehu"},
    {U"じぇっと", U"jetto", U"zyetto"},
    {U"うぃんどう", U"windou", U"windou"},
    {U"こっち", U"kotchi", U"kotti"},
    {U"みっつ", U"mittsu", U"mittu"},
    {U"ざっし", U"zasshi", U"zassi"},
    {U"ぎょうざ", U"gyouza", U"gyouza"},
    {U"ちょうちょ", U"choucho", U"tyoutyo"},
    {U"いっしょ", U"issho", U"issyo"},
};

std::u32string Katakana(std::u32string text) {
    for (char32_t & c : text)
        c = static_cast<char32_t>(ToKatakanaTransform::Transform(c));
    return text;
}

std::u32string Upper(std::u32string text) {
    for (char32_t & c : text)
        if (c >= U'a' && c <= U'z')
            c = c - U'a' + U'A';
    return text;
}

// Every word, joined by spaces, read in one pass (so words also meet
// across window borders).
std::u32string Text(std::u32string Word::*field,
                    std::u32string (*change)(std::u32string) = nullptr) {
    std::u32string text;
    for (Word const & w : kWords)
        text += (change ? change(w.*field) : w.*field) + U" ";
    return text;
}

// The whole list in one text through every window size catches what a word
// at a time would, and words meeting window borders besides.
TEST(Romaji, KanaToHepburnAndKunrei) {
    EXPECT_EQ(ApplyAnyWindows<KanaToHebonRomajiTransform>(Text(&Word::kana)), Text(&Word::hepburn));
    EXPECT_EQ(ApplyAnyWindows<KanaToKunreiRomajiTransform>(Text(&Word::kana, Katakana)),
              Text(&Word::kunrei));
    EXPECT_EQ(ApplyAnyWindows<KanaToRomajiTransform>(Text(&Word::kana, Katakana), true),
              Text(&Word::hepburn));
}

TEST(Romaji, HepburnAndKunreiToKana) {
    EXPECT_EQ(ApplyAnyWindows<RomajiToHiraganaTransform>(Text(&Word::hepburn)), Text(&Word::kana));
    EXPECT_EQ(ApplyAnyWindows<RomajiToHiraganaTransform>(Text(&Word::kunrei)), Text(&Word::kana));
    EXPECT_EQ(ApplyAnyWindows<RomajiToKatakanaTransform>(Text(&Word::kunrei, Upper)),
              Text(&Word::kana, Katakana));
}

struct RomajiCase {
    std::u32string kana;
    std::u32string hepburn;
    std::u32string kunrei;
};

class KanaToRomajiRules : public ::testing::TestWithParam<RomajiCase> {};

TEST_P(KanaToRomajiRules, Spell) {
    EXPECT_EQ(ApplyAnyWindows<KanaToHebonRomajiTransform>(GetParam().kana), GetParam().hepburn);
    EXPECT_EQ(ApplyAnyWindows<KanaToKunreiRomajiTransform>(GetParam().kana), GetParam().kunrei);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, KanaToRomajiRules,
    ::testing::Values(RomajiCase{U"ラーメン", U"raamen", U"raamen"},  // long vowel as spelled
                      RomajiCase{U"コーヒー", U"koohii", U"koohii"}, RomajiCase{U"ー", U"-", U"-"},
                      RomajiCase{U"ぢ づ を ゐ ゑ", U"ji zu o i e", U"zi zu o i e"},
                      RomajiCase{U"ぁゃっ", U"xaxyaxtsu", U"xaxyaxtu"},  // small kana alone
                      RomajiCase{U"ティ ヴ ヵヶ", U"texi vu xkaxke", U"texi vu xkaxke"},
                      RomajiCase{U"ヷヺ", U"vavo", U"vavo"}, RomajiCase{U"ん", U"n", U"n"},
                      RomajiCase{U"っあ", U"xtsua", U"xtua"},
                      RomajiCase{U"日本語のかな、漢字。", U"日本語nokana、漢字。",
                                 U"日本語nokana、漢字。"}));

struct ParseCase {
    std::u32string romaji;
    std::u32string hiragana;
};

class RomajiToKanaRules : public ::testing::TestWithParam<ParseCase> {};

TEST_P(RomajiToKanaRules, Parse) {
    EXPECT_EQ(ApplyAnyWindows<RomajiToHiraganaTransform>(GetParam().romaji), GetParam().hiragana);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, RomajiToKanaRules,
    ::testing::Values(ParseCase{U"wo di du jya dyo", U"を ぢ づ じゃ ぢょ"},
                      ParseCase{U"xtsu xtu xa xyo xwa", U"っ っ ぁ ょ ゎ"},
                      ParseCase{U"kanna", U"かんな"}, ParseCase{U"kan'na", U"かんな"},
                      ParseCase{U"tt", U"tt"}, ParseCase{U"n", U"ん"},
                      ParseCase{U"qwerty", U"qうぇrty"},  // letters that start nothing pass
                      ParseCase{U"Tokyo 2020!", U"ときょ 2020!"}, ParseCase{U"kye", U"kいぇ"},
                      ParseCase{U"cchi", U"っち"}, ParseCase{U"", U""}));

TEST(Romaji, EveryKanaHasASpellingThatReadsBack) {
    std::u32string const merged = U"ぢづゐゑを";  // read back as じずいえお
    for (char32_t c = 0x3041; c <= 0x3096; ++c) {
        std::u32string const kana(1, c);
        std::u32string const romaji = Apply<KanaToHebonRomajiTransform>(kana, 1);
        ASSERT_FALSE(romaji.empty());
        for (char32_t r : romaji)
            EXPECT_LT(r, 0x80u) << std::hex << "U+" << c;
        if (merged.find(c) == std::u32string::npos) {
            EXPECT_EQ(Apply<RomajiToHiraganaTransform>(romaji, 1), kana) << std::hex << "U+" << c;
        }
    }
}

// FromSGMLEntityTransform: every entity, numeric references, text that only
// looks like a reference, and references cut by window edges.

#include "../src/transforms/generated/sgml_entities.inc"

std::u32string U32(std::string const & ascii) {
    return std::u32string(ascii.begin(), ascii.end());
}

std::u32string Decode(std::string const & ascii) {
    return ApplyAnyWindows<FromSGMLEntityTransform>(U32(ascii));
}

TEST(SGMLEntities, TheTableIsHtml401) {
    std::set<std::string> names;
    unsigned int count = 0;
    for (; kEntityNames[count] != nullptr; ++count)
        names.insert(kEntityNames[count]);
    EXPECT_EQ(count, 252u);
    EXPECT_EQ(names.size(), 252u);
    struct Known {
        char const * name;
        unsigned int cp;
    };
    for (Known const & k : {Known{"nbsp", 0xA0},
                            {"yuml", 0xFF},
                            {"fnof", 0x192},
                            {"Omega", 0x3A9},
                            {"sigmaf", 0x3C2},
                            {"thetasym", 0x3D1},
                            {"weierp", 0x2118},
                            {"image", 0x2111},
                            {"hArr", 0x21D4},
                            {"diams", 0x2666},
                            {"quot", 0x22},
                            {"amp", 0x26},
                            {"lt", 0x3C},
                            {"OElig", 0x152},
                            {"zwnj", 0x200C},
                            {"rsaquo", 0x203A},
                            {"euro", 0x20AC}}) {
        EXPECT_EQ(Decode(std::string("&") + k.name + ";"), std::u32string(1, char32_t(k.cp)))
            << k.name;
    }
}

// Every entity of the table decodes, alone and among others.
TEST(SGMLEntities, EveryEntityDecodes) {
    std::string input;
    std::u32string want;
    for (unsigned int i = 0; kEntityNames[i] != nullptr; ++i) {
        std::string const reference = std::string("&") + kEntityNames[i] + ";";
        EXPECT_EQ(Apply<FromSGMLEntityTransform>(U32(reference), 64),
                  std::u32string(1, char32_t(kEntityCodePoints[i])))
            << kEntityNames[i];
        input += "x" + reference;
        want += U"x" + std::u32string(1, char32_t(kEntityCodePoints[i]));
    }
    EXPECT_EQ(Decode(input), want);
}

TEST(SGMLEntities, ReferencesAndLookalikes) {
    struct Case {
        char const * in;
        std::u32string out;
    };
    Case const cases[] = {
        {"&amp;", U"&"},
        {"&AMP;", U"&AMP;"},
        {"&#233;&#xE9;", U"\u00E9\u00E9"},
        {"&#XE9;", U"&#XE9;"},
        {"&#65536;&#x10000;&#xFFFF;", U"&#65536;&#x10000;\uFFFF"},
        {"&#;", std::u32string(1, U'\0')},
        {"&#x;", std::u32string(1, U'\0')},
        {"&#12a;&#x1g;", U"&#12a;&#x1g;"},
        {"&nbsp", U"&nbsp"},
        {"a & b; c", U"a & b; c"},
        {"&x&amp;", U"&x&"},
        {"&&&lt;;", U"&&<;"},
        {"&abcdefghijklmnopqrstuvwxyzabcd;",
         U"&abcdefghijklmnopqrstuvwxyzabcd;"},  // 30-letter name, none
        {"&abcdefghijklmnopqrstuvwxyzabcde;&lt;", U"&abcdefghijklmnopqrstuvwxyzabcde;<"},
        {"", U""},
        {"&", U"&"},
        {"tail &am", U"tail &am"},
    };
    std::string once;
    std::u32string once_out;
    for (Case const & c : cases) {
        EXPECT_EQ(Decode(c.in), c.out) << c.in;
        once += c.in + std::string(" ");
        once_out += c.out + U" ";
    }
    // All of them in a long text, from 32-bit and 16-bit sources in windows
    // of many sizes, into output blocks that fill up at many points.
    std::string joined;
    std::u32string want;
    for (int i = 0; i < 40; ++i) {
        joined += once;
        want += once_out;
    }
    EXPECT_EQ(Decode(joined), want);
    std::u16string const joined16(joined.begin(), joined.end());
    for (std::size_t window : {1, 5, 33, 4096}) {
        WindowSource16 source(joined16, window);
        FromSGMLEntityTransform transform(source);
        EXPECT_EQ(ReadAll(transform), want) << window;
    }
    std::u32string const text = U"&eacute;";
    unsigned int const * units = reinterpret_cast<unsigned int const *>(text.data());
    unsigned int out = 0;
    EXPECT_TRUE(FromSGMLEntityTransform::decodeAmp(units, units + text.size() - 1, out));
    EXPECT_EQ(out, 0xE9u);
    EXPECT_FALSE(FromSGMLEntityTransform::decodeAmp(units, units + 3, out));  // "&ea"

    // The longest reference is 31 units from the `&` up to the `;`.
    std::string const longest = "&#" + std::string(27, '0') + "65";
    EXPECT_EQ(Decode(longest + ";"), U"A");
    EXPECT_EQ(Decode("&#0" + longest.substr(2) + ";"), U32("&#0" + longest.substr(2) + ";"));
    std::string const forty = "&" + std::string(40, 'k') + "&gt;";
    EXPECT_EQ(Decode(forty), U32("&" + std::string(40, 'k')) + U">");
    std::string const near_miss = "&" + std::string(31, 'k') + ";&" + std::string(29, 'q') + "&lt;";
    EXPECT_EQ(Decode(near_miss),
              U32("&" + std::string(31, 'k') + ";&" + std::string(29, 'q')) + U"<");
}

// NormalizationTransform and NormalizationTransform16: the Unicode 4.0.0
// conformance file in full (both transforms, whole lines, all lines joined,
// sources with small windows), the offsets, and the behaviour around windows.

using zuuc_test::utf16::ToUTF16;
using zuuc_test::utf16::u16;
using zuuc_test::utf16::u32;
using zuuc_test::utf16::Units16;
using zuuc_test::utf16::Units32;
using Form = NormalizationTransform::Form;

constexpr Form kForms[] = {NormalizationTransform::NFD, NormalizationTransform::NFC,
                           NormalizationTransform::NFKD, NormalizationTransform::NFKC};
char const * const kFormNames[] = {"NFD", "NFC", "NFKD", "NFKC"};

Units32 ToUTF32(Units16 const & units) {
    Units32 out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        u32 c = units[i];
        if (c - 0xD800 < 0x400 && i + 1 < units.size() && units[i + 1] - 0xDC00u < 0x400) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        }
        out.push_back(c);
    }
    return out;
}

// Output and offset map of one run of a transform. The reader takes a
// random part of each window when given an rng.
template <class Unit>
struct Result {
    std::vector<Unit> units;
    std::vector<unsigned> offsets;
};

template <class Unit, class Source>
Result<Unit> Drain(Source & source, std::mt19937 * rng) {
    Result<Unit> r;
    Unit const * begin;
    Unit const * end;
    while (source.GetBuffer(begin, end)) {
        unsigned * map = nullptr;
        unsigned count = 0;
        EXPECT_TRUE(source.GetOffsetMap(map, count));
        EXPECT_EQ(count, static_cast<unsigned>(end - begin));
        Unit const * stop =
            rng ? begin + std::uniform_int_distribution<long>(1, end - begin)(*rng) : end;
        if (sizeof(Unit) == 2 && rng == nullptr) {
            EXPECT_FALSE(end[-1] >= 0xD800 && end[-1] < 0xDC00) << "a window ends inside a pair";
        }
        r.units.insert(r.units.end(), begin, stop);
        r.offsets.insert(r.offsets.end(), map, map + (stop - begin));
        source.DoneWith(stop);
    }
    return r;
}

Result<u32> Run32(Units32 const & text, Form form, std::vector<std::size_t> pieces = {},
                  std::mt19937 * rng = nullptr, CharacterTest const * test = nullptr) {
    zuuc_test::utf16::Unit32Source source(text, std::move(pieces));
    NormalizationTransform t(source, form, test);
    return Drain<u32>(t, rng);
}

Result<u16> Run16(Units16 const & text, Form form, std::vector<std::size_t> pieces = {},
                  std::mt19937 * rng = nullptr, CharacterTest const * test = nullptr) {
    zuuc_test::utf16::Unit16Source source(text, std::move(pieces));
    NormalizationTransform16 t(source, static_cast<NormalizationTransform16::Form>(form), test);
    return Drain<u16>(t, rng);
}

Units32 Nf(Units32 const & text, Form form) {
    return Run32(text, form).units;
}

// --- the conformance file -------------------------------------------------------------

struct TestLine {
    int part;
    Units32 c[5];
};

std::vector<TestLine> const & Lines() {
    static std::vector<TestLine> lines = [] {
        std::vector<TestLine> out;
        std::ifstream in(ZUUC_DATA_DIR "/ucd/NormalizationTest.txt");
        std::string line;
        int part = -1;
        while (std::getline(in, line)) {
            if (line.rfind("@Part", 0) == 0)
                part = line[5] - '0';
            line = line.substr(0, line.find('#'));
            if (line.empty() || line[0] == '@')
                continue;
            TestLine t{part, {}};
            std::istringstream fields(line);
            for (auto & column : t.c) {
                std::string field;
                std::getline(fields, field, ';');
                std::istringstream cps(field);
                u32 cp;
                while (cps >> std::hex >> cp)
                    column.push_back(cp);
            }
            out.push_back(t);
        }
        return out;
    }();
    return lines;
}

// The header's invariants: for each form, which column every column maps to
// (NFC: c1..c3 -> c2 and c4, c5 -> c4; NFD: c1..c3 -> c3 and c4, c5 -> c5;
// NFKC: all -> c4; NFKD: all -> c5).
int Expected(int form, int column) {
    switch (form) {
        case 0:
            return column < 3 ? 2 : 4;
        case 1:
            return column < 3 ? 1 : 3;
        case 2:
            return 4;
        default:
            return 3;
    }
}

// Each column of every line, joined by spaces into one long text (a space
// never composes and stops reordering, so the expected text is the join of
// the expected columns); read through small and random windows.
class JoinedLines : public ::testing::TestWithParam<int> {};

TEST_P(JoinedLines, AllLinesAsOneText) {
    ASSERT_EQ(Lines().size(), 17123u);
    int const f = GetParam();
    for (int c = 0; c < 5; ++c) {
        Units32 text;
        Units32 want;
        for (auto const & t : Lines()) {
            text.insert(text.end(), t.c[c].begin(), t.c[c].end());
            want.insert(want.end(), t.c[Expected(f, c)].begin(), t.c[Expected(f, c)].end());
            text.push_back(' ');
            want.push_back(' ');
        }
        std::mt19937 rng(static_cast<unsigned>(f * 5 + c));
        EXPECT_EQ(Run32(text, kForms[f]).units, want) << "column " << c + 1;
        EXPECT_EQ(
            Run32(text, kForms[f], zuuc_test::utf16::RandomPieces(rng, text.size(), 7), &rng).units,
            want);
        Units16 text16 = ToUTF16(text);
        EXPECT_EQ(ToUTF32(Run16(text16, kForms[f]).units), want) << "column " << c + 1;
        EXPECT_EQ(ToUTF32(Run16(text16, kForms[f],
                                zuuc_test::utf16::RandomPieces(rng, text16.size(), 5), &rng)
                              .units),
                  want);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, JoinedLines, ::testing::Range(0, 4),
                         [](::testing::TestParamInfo<int> const & i) {
                             return std::string(kFormNames[i.param]);
                         });

// Part 1's second invariant: every code point not listed in c1 of part 1 is
// its own normalization in all four forms.
TEST(NormalizationConformance, EveryOtherCodePointUnchanged) {
    std::set<u32> listed;
    for (auto const & t : Lines()) {
        if (t.part == 1)
            listed.insert(t.c[0][0]);
    }
    Units32 text;
    for (u32 c = 0; c < 0x110000; ++c) {
        if (listed.count(c) || (c >= 0xD800 && c < 0xE000))
            continue;
        text.push_back(c);
        text.push_back(' ');
    }
    Units16 text16 = ToUTF16(text);
    for (int f = 0; f < 4; ++f) {
        Result<u32> r = Run32(text, kForms[f]);
        EXPECT_TRUE(r.units == text) << kFormNames[f];
        EXPECT_TRUE(Run16(text16, kForms[f]).units == text16) << kFormNames[f];
        std::vector<unsigned> identity(text.size());
        for (std::size_t i = 0; i < identity.size(); ++i)
            identity[i] = static_cast<unsigned>(i);
        EXPECT_TRUE(r.offsets == identity) << kFormNames[f];
    }
}

// --- offsets ------------------------------------------------------------------------

struct OffsetCase {
    Form form;
    Units32 input;
    Units32 output;
    std::vector<unsigned> offsets;
};

class Offsets : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(Offsets, MapAndOffsetAtAgree) {
    OffsetCase const & k = GetParam();
    zuuc_test::utf16::Unit32Source source(k.input, {1});
    NormalizationTransform t(source, k.form);
    Result<u32> r = Drain<u32>(t, nullptr);
    EXPECT_EQ(r.units, k.output);
    EXPECT_EQ(r.offsets, k.offsets);
    for (unsigned i = 0; i < k.offsets.size(); ++i)
        EXPECT_EQ(t.GetOffsetAt(i), k.offsets[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Offsets,
    ::testing::Values(
        OffsetCase{NormalizationTransform::NFD, {0xC5, 'x'}, {'A', 0x30A, 'x'}, {0, 0, 1}},
        OffsetCase{
            NormalizationTransform::NFKD, {'a', 0xFB01, 'b'}, {'a', 'f', 'i', 'b'}, {0, 1, 1, 2}},
        OffsetCase{NormalizationTransform::NFD, {0xAC01}, {0x1100, 0x1161, 0x11A8}, {0, 0, 0}},
        OffsetCase{
            NormalizationTransform::NFC, {0x1100, 0x1161, 0x11A8, 'z'}, {0xAC01, 'z'}, {0, 3}},
        OffsetCase{NormalizationTransform::NFC, {'A', 0x301, 0x301}, {0xC1, 0x301}, {0, 2}},
        // a mark that sorts before the one that composes keeps its own offset
        OffsetCase{NormalizationTransform::NFC, {'e', 0x301, 0x316}, {0xE9, 0x316}, {0, 2}},
        // full stable sort: 216, 220, 230
        OffsetCase{NormalizationTransform::NFD,
                   {'a', 0x301, 0x316, 0x31B},
                   {'a', 0x31B, 0x316, 0x301},
                   {0, 3, 2, 1}},
        // an L jamo at the very end is kept
        OffsetCase{NormalizationTransform::NFC, {'k', 0x1100}, {'k', 0x1100}, {0, 1}},
        // not a form: passes through
        OffsetCase{static_cast<Form>(4), {0xC5, 'A', 0x30A}, {0xC5, 'A', 0x30A}, {0, 1, 2}}));

// For a decomposition, the units that map to one input unit are that unit's
// own decomposition; for a composition, the decomposition of each unit
// starts with a code point of the decomposition of the unit it maps to. Checked on the
// joined conformance text read through random windows.
TEST(NormalizationOffsets, EveryUnitMapsToItsSource) {
    std::mt19937 rng(7);
    Units32 text;
    for (auto const & t : Lines()) {
        text.insert(text.end(), t.c[0].begin(), t.c[0].end());
        text.push_back(' ');
    }
    std::map<u32, Units32> nfd, nfkd;
    for (u32 c : text) {
        if (!nfd.count(c)) {
            nfd[c] = Nf({c}, NormalizationTransform::NFD);
            nfkd[c] = Nf({c}, NormalizationTransform::NFKD);
        }
    }
    for (int f = 0; f < 4; ++f) {
        zuuc_test::utf16::Unit32Source pieces(
            text, zuuc_test::utf16::RandomPieces(rng, text.size(), 300));
        NormalizationTransform t(pieces, kForms[f]);
        Result<u32> r = Drain<u32>(t, &rng);
        ASSERT_EQ(r.units.size(), r.offsets.size());
        // The offsets of the positions produced last stay known, window after window.
        for (std::size_t i = r.offsets.size() - 500; i < r.offsets.size(); ++i) {
            ASSERT_EQ(t.GetOffsetAt(static_cast<unsigned>(i)), r.offsets[i]) << i;
        }
        std::map<unsigned, std::multiset<u32>> groups;
        for (std::size_t i = 0; i < r.units.size(); ++i) {
            ASSERT_LT(r.offsets[i], text.size());
            u32 const source = text[r.offsets[i]];
            if (f == 0 || f == 2) {
                groups[r.offsets[i]].insert(r.units[i]);
            } else {
                Units32 const & from = (f == 1 ? nfd : nfkd)[source];
                Units32 d = Nf({r.units[i]},
                               f == 1 ? NormalizationTransform::NFD : NormalizationTransform::NFKD);
                ASSERT_TRUE(std::count(from.begin(), from.end(), d[0]) > 0)
                    << "output " << i << " " << std::hex << r.units[i] << " from " << source
                    << " at " << std::dec << r.offsets[i];
            }
        }
        for (auto const & g : groups) {
            Units32 const & d = (f == 0 ? nfd : nfkd)[text[g.first]];
            EXPECT_EQ(g.second, std::multiset<u32>(d.begin(), d.end())) << "input " << g.first;
        }
    }
}

// In UTF-16, a supplementary decomposition maps all its units to the pair's
// first unit; the 32-bit transform over a UTF-16 source counts code points.
TEST(NormalizationOffsets, SupplementaryCharacters) {
    Units16 supplementary = ToUTF16({'a', 0x1D15E, 'b', 0x1D160});
    Result<u16> s = Run16(supplementary, NormalizationTransform::NFD, {1});
    EXPECT_EQ(ToUTF32(s.units), (Units32{'a', 0x1D157, 0x1D165, 'b', 0x1D158, 0x1D165, 0x1D16E}));
    EXPECT_EQ(s.offsets, (std::vector<unsigned>{0, 1, 1, 1, 1, 3, 4, 4, 4, 4, 4, 4}));
    zuuc_test::utf16::Unit16Source source(ToUTF16({0x1D15E, 0xC5}), {1});
    NormalizationTransform t(source, NormalizationTransform::NFD);
    Result<u32> r = Drain<u32>(t, nullptr);
    EXPECT_EQ(r.units, (Units32{0x1D157, 0x1D165, 'A', 0x30A}));
    EXPECT_EQ(r.offsets, (std::vector<unsigned>{0, 0, 1, 1}));
}

// --- windows and the test ---------------------------------------------------------------

class RefusesOne : public CharacterTest {
public:
    explicit RefusesOne(u32 c) : c_(c) {}
    CharacterTest * Clone() const override { return new RefusesOne(c_); }

protected:
    bool Test(unsigned int c) const override { return c != c_; }

private:
    u32 c_;
};

TEST(NormalizationTest, RefusedCharactersPassUnchanged) {
    RefusesOne no_ring(0xC5);
    EXPECT_EQ(Run32({0xC5, 0xC4}, NormalizationTransform::NFD, {}, nullptr, &no_ring).units,
              (Units32{0xC5, 'A', 0x308}));
    RefusesOne no_acute(0x301);
    EXPECT_EQ(
        Run32({'e', 0x301, 'e', 0x300}, NormalizationTransform::NFC, {}, nullptr, &no_acute).units,
        (Units32{'e', 0x301, 0xE8}));
    EXPECT_EQ(Run16({0xE9, 'e', 0x301}, NormalizationTransform::NFD, {}, nullptr, &no_acute).units,
              (Units16{'e', 0x301, 'e', 0x301}));
}

// Found by fuzz_normalize: NFC left a precomposed letter below U+0300
// undecomposed, so a mark of a lower class after it was not put before its
// own mark (a-circumflex + dot below stayed as it was instead of U+1EAD).
TEST(NormalizationTest, LatinLetterTakesAMarkOfLowerClass) {
    EXPECT_EQ(Run32({0xE2, 0x323}, NormalizationTransform::NFC, {}, nullptr, nullptr).units,
              (Units32{0x1EAD}));
    EXPECT_EQ(Run32({0xE2, 0x307, 0x323}, NormalizationTransform::NFC, {}, nullptr, nullptr).units,
              (Units32{0x1EAD, 0x307}));
    EXPECT_EQ(Run16({'x', 0xEA, 0x323}, NormalizationTransform::NFC, {}, nullptr, nullptr).units,
              (Units16{'x', 0x1EC7}));
}

// Reading allocates nothing: the heap in use stays as it was once the
// transform is built, window after window.
#if defined(__SANITIZE_ADDRESS__)
#define ZUUC_NORMALIZATION_MALLINFO 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZUUC_NORMALIZATION_MALLINFO 0
#endif
#endif
#ifndef ZUUC_NORMALIZATION_MALLINFO
#define ZUUC_NORMALIZATION_MALLINFO 1
#endif

TEST(NormalizationTest, NoHeapPerWindow) {
#if ZUUC_NORMALIZATION_MALLINFO
    Units16 const piece = {0xE9, 'a', 0x301, 0x316, 0xAC01, 0x1100, 0x1161, 0x4E00};
    Units16 text;
    for (int i = 0; i < 4000; ++i)
        text.insert(text.end(), piece.begin(), piece.end());
    for (Form form : kForms) {
        zuuc_test::utf16::Unit16Source source(text,
                                              std::vector<std::size_t>(text.size() / 100, 100));
        NormalizationTransform16 t(source, static_cast<NormalizationTransform16::Form>(form));
        std::size_t const before = mallinfo2().uordblks;
        u16 const * begin;
        u16 const * end;
        unsigned * map;
        unsigned count;
        while (t.GetBuffer(begin, end)) {
            t.GetOffsetMap(map, count);
            t.DoneWith(end);
            ASSERT_EQ(mallinfo2().uordblks, before);
        }
    }
#else
    GTEST_SKIP() << "heap statistics are not kept under AddressSanitizer";
#endif
}

}  // namespace
