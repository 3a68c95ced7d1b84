// The transform framework and the per-character transforms: construction
// over 16- and 32-bit sources, the character test, windows, and the case,
// width and kana tables (case and width against UnicodeData.txt for the
// whole BMP).
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "transform_test_util.h"
#include "zuuc/character_test.h"
#include "zuuc/transforms.h"

using namespace transforms_test;

namespace {

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

MapCase const kMapCases[] = {
    {ToUppercaseTransform::Transform, 0x0061, 0x0041},
    {ToUppercaseTransform::Transform, 0x00FF, 0x0178},
    {ToUppercaseTransform::Transform, 0x0131, 0x0049},
    {ToUppercaseTransform::Transform, 0x01C5, 0x01C4},
    {ToUppercaseTransform::Transform, 0x03C2, 0x03A3},
    {ToUppercaseTransform::Transform, 0x24D0, 0x24B6},
    {ToUppercaseTransform::Transform, 0x00DF, 0x00DF},
    {ToUppercaseTransform::Transform, 0x10428, 0x10428},  // no supplementary mappings
    {ToUppercaseTransform::Transform, 0x110061, 0x110061},
    {ToLowercaseTransform::Transform, 0x0130, 0x0069},
    {ToLowercaseTransform::Transform, 0x01C5, 0x01C6},
    {ToLowercaseTransform::Transform, 0x212A, 0x006B},
    {ToLowercaseTransform::Transform, 0xFF21, 0xFF41},
    {ToLowercaseTransform::Transform, 0x10400, 0x10400},
    {ToHalfwidthTransform::Transform, 0xFF01, 0x0021},
    {ToHalfwidthTransform::Transform, 0xFFE5, 0x00A5},
    {ToHalfwidthTransform::Transform, 0x3000, 0x0020},
    {ToHalfwidthTransform::Transform, 0x30AB, 0xFF76},
    {ToHalfwidthTransform::Transform, 0x30C3, 0xFF6F},
    {ToHalfwidthTransform::Transform, 0x3001, 0xFF64},
    {ToHalfwidthTransform::Transform, 0x30FB, 0xFF65},
    {ToHalfwidthTransform::Transform, 0x3099, 0xFF9E},
    {ToHalfwidthTransform::Transform, 0x3131, 0xFFA1},
    {ToHalfwidthTransform::Transform, 0x2190, 0xFFE9},
    {ToHalfwidthTransform::Transform, 0x25CB, 0xFFEE},
    {ToHalfwidthTransform::Transform, 0x30AC, 0x30AC},
    {ToHalfwidthTransform::Transform, 0x309B, 0x309B},
    {ToFullwidthTransform::Transform, 0x0041, 0xFF21},
    {ToFullwidthTransform::Transform, 0x0020, 0x3000},
    {ToFullwidthTransform::Transform, 0xFF76, 0x30AB},
    {ToFullwidthTransform::Transform, 0xFF9E, 0x3099},
    {ToFullwidthTransform::Transform, 0xFF61, 0x3002},
    {ToFullwidthTransform::Transform, 0xFFA1, 0x3131},
    {ToFullwidthTransform::Transform, 0x20A9, 0xFFE6},
    {ToHiraganaTransform::Transform, 0x30A2, 0x3042},
    {ToHiraganaTransform::Transform, 0x30F5, 0x304B},
    {ToHiraganaTransform::Transform, 0x30F6, 0x3051},
    {ToHiraganaTransform::Transform, 0x30FE, 0x309E},
    {ToHiraganaTransform::Transform, 0x30FC, 0x30FC},
    {ToHiraganaTransform::Transform, 0xFF76, 0x304B},  // halfwidth widened first
    {ToKatakanaTransform::Transform, 0x3042, 0x30A2},
    {ToKatakanaTransform::Transform, 0x3094, 0x30F4},
    {ToKatakanaTransform::Transform, 0x309D, 0x30FD},
    {ToKatakanaTransform::Transform, 0x3095, 0x3095},
    {SmallToLargeKanaTransform::Transform, 0x3041, 0x3042},
    {SmallToLargeKanaTransform::Transform, 0x3083, 0x3084},
    {SmallToLargeKanaTransform::Transform, 0x308E, 0x308F},
    {SmallToLargeKanaTransform::Transform, 0x3095, 0x304B},
    {SmallToLargeKanaTransform::Transform, 0x30F5, 0x30AB},
    {SmallToLargeKanaTransform::Transform, 0x30F6, 0x30B1},
    {SmallToLargeKanaTransform::Transform, 0x30E3, 0x30E4},
    {SmallToLargeKanaTransform::Transform, 0x3063, 0x3063},
    {SmallToLargeKanaTransform::Transform, 0x30C3, 0x30C3},
    {LargeToSmallKanaTransform::Transform, 0x3042, 0x3041},
    {LargeToSmallKanaTransform::Transform, 0x304B, 0x3095},
    {LargeToSmallKanaTransform::Transform, 0x3051, 0x3096},
    {LargeToSmallKanaTransform::Transform, 0x30AB, 0x30F5},
    {LargeToSmallKanaTransform::Transform, 0x30B1, 0x30F6},
    {LargeToSmallKanaTransform::Transform, 0x308F, 0x308E},
    {LargeToSmallKanaTransform::Transform, 0x3064, 0x3064},
    {LargeToSmallKanaTransform::Transform, 0x30C4, 0x30C4},
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
        for (std::string field; std::getline(fields, field, ';');) f.push_back(field);
        f.resize(15);
        unsigned int const cp = std::stoul(f[0], nullptr, 16);
        if (cp > 0xFFFF) continue;
        if (!f[12].empty()) upper[cp] = std::stoul(f[12], nullptr, 16);
        if (!f[13].empty()) lower[cp] = std::stoul(f[13], nullptr, 16);
        std::istringstream decomposition(f[5]);
        std::string tag, base;
        if (decomposition >> tag >> base && decomposition.eof()) {
            unsigned int const b = std::stoul(base, nullptr, 16);
            if (tag == "<wide>") half[cp] = b, full[b] = cp;
            if (tag == "<narrow>") half[b] = cp, full[cp] = b;
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
        unsigned int const got[] = {ToUppercaseTransform::Transform(cp),
                                    ToLowercaseTransform::Transform(cp),
                                    ToHalfwidthTransform::Transform(cp),
                                    ToFullwidthTransform::Transform(cp)};
        unsigned int const want[] = {expected(upper, cp), expected(lower, cp),
                                     expected(half, cp), expected(full, cp)};
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

}  // namespace
