// Kana to romaji and back: a word list in both spellings and both
// directions, and the rules for sokuon, n, long vowels and small kana.
#include <gtest/gtest.h>

#include <string>

#include "transform_test_util.h"
#include "zuuc/transforms.h"

using namespace transforms_test;

namespace {

struct Word {
    std::u32string kana;  // hiragana
    std::u32string hepburn;
    std::u32string kunrei;
};

Word const kWords[] = {
    {U"さくら", U"sakura", U"sakura"},          {U"すし", U"sushi", U"susi"},
    {U"しんぶん", U"shinbun", U"sinbun"},       {U"きっぷ", U"kippu", U"kippu"},
    {U"がっこう", U"gakkou", U"gakkou"},        {U"まっちゃ", U"matcha", U"mattya"},
    {U"ちゃ", U"cha", U"tya"},                  {U"きょうと", U"kyouto", U"kyouto"},
    {U"とうきょう", U"toukyou", U"toukyou"},    {U"おおさか", U"oosaka", U"oosaka"},
    {U"ふじさん", U"fujisan", U"huzisan"},      {U"つなみ", U"tsunami", U"tunami"},
    {U"きんえん", U"kin'en", U"kin'en"},        {U"こんや", U"kon'ya", U"kon'ya"},
    {U"こんにちは", U"konnichiha", U"konnitiha"}, {U"ありがとう", U"arigatou", U"arigatou"},
    {U"さようなら", U"sayounara", U"sayounara"}, {U"しゃしん", U"shashin", U"syasin"},
    {U"じてんしゃ", U"jitensha", U"zitensya"},  {U"ちず", U"chizu", U"tizu"},
    {U"ひらがな", U"hiragana", U"hiragana"},    {U"かたかな", U"katakana", U"katakana"},
    {U"にほん", U"nihon", U"nihon"},            {U"にっぽん", U"nippon", U"nippon"},
    {U"せんせい", U"sensei", U"sensei"},        {U"がくせい", U"gakusei", U"gakusei"},
    {U"でんしゃ", U"densha", U"densya"},        {U"しょうゆ", U"shouyu", U"syouyu"},
    {U"みそしる", U"misoshiru", U"misosiru"},   {U"てんぷら", U"tenpura", U"tenpura"},
    {U"すきやき", U"sukiyaki", U"sukiyaki"},    {U"ちょっと", U"chotto", U"tyotto"},
    {U"いっしょ", U"issho", U"issyo"},          {U"ざっし", U"zasshi", U"zassi"},
    {U"きって", U"kitte", U"kitte"},            {U"りょこう", U"ryokou", U"ryokou"},
    {U"びょういん", U"byouin", U"byouin"},      {U"ぎゅうにゅう", U"gyuunyuu", U"gyuunyuu"},
    {U"ひゃく", U"hyaku", U"hyaku"},            {U"みゃく", U"myaku", U"myaku"},
    {U"はっぴゃく", U"happyaku", U"happyaku"},  {U"さんびゃく", U"sanbyaku", U"sanbyaku"},
    {U"ろっぴゃく", U"roppyaku", U"roppyaku"},  {U"じゅう", U"juu", U"zyuu"},
    {U"じょうず", U"jouzu", U"zyouzu"},         {U"しゅくだい", U"shukudai", U"syukudai"},
    {U"ちゅうい", U"chuui", U"tyuui"},          {U"きゃく", U"kyaku", U"kyaku"},
    {U"ぎょうざ", U"gyouza", U"gyouza"},        {U"にゅうがく", U"nyuugaku", U"nyuugaku"},
    {U"りゅう", U"ryuu", U"ryuu"},              {U"ふく", U"fuku", U"huku"},
    {U"ふね", U"fune", U"hune"},                {U"ほん", U"hon", U"hon"},
    {U"でんわ", U"denwa", U"denwa"},            {U"おかあさん", U"okaasan", U"okaasan"},
    {U"おとうさん", U"otousan", U"otousan"},    {U"おにいさん", U"oniisan", U"oniisan"},
    {U"おねえさん", U"oneesan", U"oneesan"},    {U"いもうと", U"imouto", U"imouto"},
    {U"ともだち", U"tomodachi", U"tomodati"},   {U"みず", U"mizu", U"mizu"},
    {U"やま", U"yama", U"yama"},                {U"かわ", U"kawa", U"kawa"},
    {U"うみ", U"umi", U"umi"},                  {U"そら", U"sora", U"sora"},
    {U"はな", U"hana", U"hana"},                {U"つき", U"tsuki", U"tuki"},
    {U"ゆき", U"yuki", U"yuki"},                {U"あめ", U"ame", U"ame"},
    {U"かぜ", U"kaze", U"kaze"},                {U"ひと", U"hito", U"hito"},
    {U"くるま", U"kuruma", U"kuruma"},          {U"えき", U"eki", U"eki"},
    {U"みせ", U"mise", U"mise"},                {U"たべもの", U"tabemono", U"tabemono"},
    {U"のみもの", U"nomimono", U"nomimono"},    {U"しごと", U"shigoto", U"sigoto"},
    {U"かいしゃ", U"kaisha", U"kaisya"},        {U"じしょ", U"jisho", U"zisyo"},
    {U"ほんや", U"hon'ya", U"hon'ya"},          {U"たんい", U"tan'i", U"tan'i"},
    {U"げんいん", U"gen'in", U"gen'in"},        {U"れんあい", U"ren'ai", U"ren'ai"},
    {U"きんようび", U"kin'youbi", U"kin'youbi"}, {U"にちようび", U"nichiyoubi", U"nitiyoubi"},
    {U"げつようび", U"getsuyoubi", U"getuyoubi"}, {U"すいようび", U"suiyoubi", U"suiyoubi"},
    {U"かようび", U"kayoubi", U"kayoubi"},      {U"もくようび", U"mokuyoubi", U"mokuyoubi"},
    {U"どようび", U"doyoubi", U"doyoubi"},      {U"ぱん", U"pan", U"pan"},
    {U"ぺん", U"pen", U"pen"},                  {U"ぽすと", U"posuto", U"posuto"},
    {U"ぴあの", U"piano", U"piano"},            {U"ぶた", U"buta", U"buta"},
    {U"べんきょう", U"benkyou", U"benkyou"},    {U"ぼうし", U"boushi", U"bousi"},
    {U"ばす", U"basu", U"basu"},                {U"ざる", U"zaru", U"zaru"},
    {U"ぜんぶ", U"zenbu", U"zenbu"},            {U"ぞう", U"zou", U"zou"},
    {U"ずっと", U"zutto", U"zutto"},            {U"でぐち", U"deguchi", U"deguti"},
    {U"だいがく", U"daigaku", U"daigaku"},      {U"どこ", U"doko", U"doko"},
    {U"ねこ", U"neko", U"neko"},                {U"いぬ", U"inu", U"inu"},
    {U"とり", U"tori", U"tori"},                {U"さかな", U"sakana", U"sakana"},
    {U"りんご", U"ringo", U"ringo"},            {U"みかん", U"mikan", U"mikan"},
    {U"おちゃ", U"ocha", U"otya"},              {U"こうちゃ", U"koucha", U"koutya"},
    {U"ちゃわん", U"chawan", U"tyawan"},        {U"ちょうちょ", U"choucho", U"tyoutyo"},
    {U"しゅっぱつ", U"shuppatsu", U"syuppatu"}, {U"けっこん", U"kekkon", U"kekkon"},
    {U"せっけん", U"sekken", U"sekken"},        {U"はっきり", U"hakkiri", U"hakkiri"},
    {U"あさって", U"asatte", U"asatte"},        {U"ひゃっかてん", U"hyakkaten", U"hyakkaten"},
    {U"ろうか", U"rouka", U"rouka"},            {U"おいしい", U"oishii", U"oisii"},
    {U"たのしい", U"tanoshii", U"tanosii"},     {U"うれしい", U"ureshii", U"uresii"},
    {U"ふぁいる", U"fairu", U"fairu"},          {U"ゔぁいおりん", U"vaiorin", U"vaiorin"},
    {U"ちぇっく", U"chekku", U"tyekku"},        {U"しぇふ", U"shefu", U"syehu"},
    {U"じぇっと", U"jetto", U"zyetto"},         {U"うぃんどう", U"windou", U"windou"},
    {U"こっち", U"kotchi", U"kotti"},           {U"みっつ", U"mittsu", U"mittu"},
    {U"きゅうきゅうしゃ", U"kyuukyuusha", U"kyuukyuusya"},
    {U"かんじ", U"kanji", U"kanzi"},            {U"にんじゃ", U"ninja", U"ninzya"},
    {U"てつだう", U"tetsudau", U"tetudau"},     {U"がんばって", U"ganbatte", U"ganbatte"},
    {U"ぎんこう", U"ginkou", U"ginkou"},
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
