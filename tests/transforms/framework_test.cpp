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

using namespace zuuc_test::transforms;

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

// The case and width tables are checked over the whole BMP below; here the
// kana tables and what lies beyond the BMP.
using Up = ToUppercaseTransform;
using Low = ToLowercaseTransform;
using Hira = ToHiraganaTransform;
using Kata = ToKatakanaTransform;
using Large = SmallToLargeKanaTransform;
using Small = LargeToSmallKanaTransform;
MapCase const kMapCases[] = {
    {Up::Transform, 0x10428, 0x10428},  // no supplementary mappings
    {Up::Transform, 0x110061, 0x110061}, {Low::Transform, 0x10400, 0x10400},
    {Hira::Transform, 0x30A2, 0x3042},  {Hira::Transform, 0x30F5, 0x304B},
    {Hira::Transform, 0x30F6, 0x3051},  {Hira::Transform, 0x30FE, 0x309E},
    {Hira::Transform, 0x30FC, 0x30FC},  {Hira::Transform, 0xFF76, 0x304B},  // widened first
    {Kata::Transform, 0x3042, 0x30A2},  {Kata::Transform, 0x3094, 0x30F4},
    {Kata::Transform, 0x309D, 0x30FD},  {Kata::Transform, 0x3095, 0x3095},
    {Large::Transform, 0x3041, 0x3042}, {Large::Transform, 0x3083, 0x3084},
    {Large::Transform, 0x308E, 0x308F}, {Large::Transform, 0x3095, 0x304B},
    {Large::Transform, 0x30F5, 0x30AB}, {Large::Transform, 0x30F6, 0x30B1},
    {Large::Transform, 0x30E3, 0x30E4}, {Large::Transform, 0x3063, 0x3063},
    {Large::Transform, 0x30C3, 0x30C3}, {Small::Transform, 0x3042, 0x3041},
    {Small::Transform, 0x304B, 0x3095}, {Small::Transform, 0x3051, 0x3096},
    {Small::Transform, 0x30AB, 0x30F5}, {Small::Transform, 0x30B1, 0x30F6},
    {Small::Transform, 0x308F, 0x308E}, {Small::Transform, 0x3064, 0x3064},
    {Small::Transform, 0x30C4, 0x30C4},
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
