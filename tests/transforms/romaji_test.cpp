// Kana to romaji and back: a word list in both spellings and both
// directions, and the rules for sokuon, n, long vowels and small kana.
#include <gtest/gtest.h>

#include <string>

#include "transform_test_util.h"
#include "zuuc/transforms.h"

using namespace zuuc_test::transforms;

namespace {

struct Word {
    std::u32string kana;  // hiragana
    std::u32string hepburn;
    std::u32string kunrei;
};

// Words that between them meet every spelling rule; single kana are
// checked one by one below.
Word const kWords[] = {
    {U"すし", U"sushi", U"susi"},                 {U"しんぶん", U"shinbun", U"sinbun"},
    {U"きっぷ", U"kippu", U"kippu"},               {U"まっちゃ", U"matcha", U"mattya"},
    {U"きょうと", U"kyouto", U"kyouto"},            {U"おおさか", U"oosaka", U"oosaka"},
    {U"ふじさん", U"fujisan", U"huzisan"},          {U"つなみ", U"tsunami", U"tunami"},
    {U"きんえん", U"kin'en", U"kin'en"},            {U"こんや", U"kon'ya", U"kon'ya"},
    {U"こんにちは", U"konnichiha", U"konnitiha"},    {U"じてんしゃ", U"jitensha", U"zitensya"},
    {U"にっぽん", U"nippon", U"nippon"},            {U"ぎゅうにゅう", U"gyuunyuu", U"gyuunyuu"},
    {U"はっぴゃく", U"happyaku", U"happyaku"},       {U"さんびゃく", U"sanbyaku", U"sanbyaku"},
    {U"りゅう", U"ryuu", U"ryuu"},                 {U"おねえさん", U"oneesan", U"oneesan"},
    {U"ともだち", U"tomodachi", U"tomodati"},       {U"みゃく", U"myaku", U"myaku"},
    {U"ひゃっかてん", U"hyakkaten", U"hyakkaten"},    {U"おいしい", U"oishii", U"oisii"},
    {U"ふぁいる", U"fairu", U"fairu"},              {U"ゔぁいおりん", U"vaiorin", U"vaiorin"},
    {U"ちぇっく", U"chekku", U"tyekku"},            {U"しぇふ", U"shefu", U"syehu"},
    {U"じぇっと", U"jetto", U"zyetto"},             {U"うぃんどう", U"windou", U"windou"},
    {U"こっち", U"kotchi", U"kotti"},              {U"みっつ", U"mittsu", U"mittu"},
    {U"ざっし", U"zasshi", U"zassi"},              {U"ぎょうざ", U"gyouza", U"gyouza"},
    {U"でぐち", U"deguchi", U"deguti"},            {U"がっこう", U"gakkou", U"gakkou"},
    {U"てつだう", U"tetsudau", U"tetudau"},         {U"ちょうちょ", U"choucho", U"tyoutyo"},
    {U"いっしょ", U"issho", U"issyo"},              {U"ぱん", U"pan", U"pan"},
    {U"ぼうし", U"boushi", U"bousi"},              {U"ほんや", U"hon'ya", U"hon'ya"},
};

std::u32string Katakana(std::u32string text) {
    for (char32_t & c : text) c = static_cast<char32_t>(ToKatakanaTransform::Transform(c));
    return text;
}

std::u32string Upper(std::u32string text) {
    for (char32_t & c : text)
        if (c >= U'a' && c <= U'z') c = c - U'a' + U'A';
    return text;
}

// Every word, joined by spaces, read in one pass (so words also meet
// across window borders).
std::u32string Text(std::u32string Word::*field, std::u32string (*change)(std::u32string) = nullptr) {
    std::u32string text;
    for (Word const & w : kWords) text += (change ? change(w.*field) : w.*field) + U" ";
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
    ::testing::Values(
        RomajiCase{U"ラーメン", U"raamen", U"raamen"},          // long vowel as spelled
        RomajiCase{U"コーヒー", U"koohii", U"koohii"},
        RomajiCase{U"ー", U"-", U"-"},
        RomajiCase{U"ぢ づ を ゐ ゑ", U"ji zu o i e", U"zi zu o i e"},
        RomajiCase{U"ぁゃっ", U"xaxyaxtsu", U"xaxyaxtu"},        // small kana alone
        RomajiCase{U"ティ ヴ ヵヶ", U"texi vu xkaxke", U"texi vu xkaxke"},
        RomajiCase{U"ヷヺ", U"vavo", U"vavo"},
        RomajiCase{U"ん", U"n", U"n"},
        RomajiCase{U"っあ", U"xtsua", U"xtua"},
        RomajiCase{U"日本語のかな、漢字。", U"日本語nokana、漢字。", U"日本語nokana、漢字。"}));

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
    ::testing::Values(
        ParseCase{U"wo di du jya dyo", U"を ぢ づ じゃ ぢょ"},
        ParseCase{U"xtsu xtu xa xyo xwa", U"っ っ ぁ ょ ゎ"},
        ParseCase{U"kanna", U"かんな"}, ParseCase{U"kan'na", U"かんな"},
        ParseCase{U"tt", U"tt"}, ParseCase{U"n", U"ん"},
        ParseCase{U"qwerty", U"qうぇrty"},                         // letters that start nothing pass
        ParseCase{U"Tokyo 2020!", U"ときょ 2020!"},
        ParseCase{U"kye", U"kいぇ"}, ParseCase{U"cchi", U"っち"},
        ParseCase{U"", U""}));

TEST(Romaji, EveryKanaHasASpellingThatReadsBack) {
    std::u32string const merged = U"ぢづゐゑを";  // read back as じずいえお
    for (char32_t c = 0x3041; c <= 0x3096; ++c) {
        std::u32string const kana(1, c);
        std::u32string const romaji = Apply<KanaToHebonRomajiTransform>(kana, 1);
        ASSERT_FALSE(romaji.empty());
        for (char32_t r : romaji) EXPECT_LT(r, 0x80u) << std::hex << "U+" << c;
        if (merged.find(c) == std::u32string::npos) {
            EXPECT_EQ(Apply<RomajiToHiraganaTransform>(romaji, 1), kana) << std::hex << "U+" << c;
        }
    }
}

}  // namespace
