// Kanji numerals to Latin digits: the reading rules of docs/transforms.md.
#include <gtest/gtest.h>

#include <string>

#include "transform_test_util.h"
#include "zuuc/character_test.h"
#include "zuuc/transforms.h"

using namespace zuuc_test::transforms;

namespace {

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
        NumberCase{U"千", U"1000"}, NumberCase{U"三千五百", U"3500"}, NumberCase{U"十万", U"100000"},
        NumberCase{U"五千万", U"50000000"}, NumberCase{U"一億五", U"100000005"},
        NumberCase{U"一兆三万", U"1000000030000"}, NumberCase{U"一京一", U"10000000000000001"},
        NumberCase{U"九千九百九十九万九千九百九十九", U"99999999"},
        NumberCase{U"〇万", U"0"},
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

}  // namespace
