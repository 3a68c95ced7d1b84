// FromSGMLEntityTransform: every entity, numeric references, text that only
// looks like a reference, and references cut by window edges.
#include "zuuc/sgml_transform.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "transforms/transform_test_util.h"

namespace {

#include "../src/transforms/generated/sgml_entities.inc"

using zuuc_test::transforms::Apply;
using zuuc_test::transforms::ApplyAnyWindows;

std::u32string U32(std::string const & ascii) { return std::u32string(ascii.begin(), ascii.end()); }

std::u32string Decode(std::string const & ascii) { return ApplyAnyWindows<FromSGMLEntityTransform>(U32(ascii)); }

TEST(SGMLEntities, TheTableIsHtml401) {
    std::set<std::string> names;
    unsigned int count = 0;
    for (; kEntityNames[count] != nullptr; ++count) names.insert(kEntityNames[count]);
    EXPECT_EQ(count, 252u);
    EXPECT_EQ(names.size(), 252u);
    struct Known {
        char const * name;
        unsigned int cp;
    };
    for (Known const & k : {Known{"nbsp", 0xA0}, {"yuml", 0xFF}, {"fnof", 0x192}, {"Omega", 0x3A9},
                            {"sigmaf", 0x3C2}, {"thetasym", 0x3D1}, {"weierp", 0x2118}, {"image", 0x2111},
                            {"hArr", 0x21D4}, {"diams", 0x2666}, {"quot", 0x22}, {"amp", 0x26}, {"lt", 0x3C},
                            {"OElig", 0x152}, {"zwnj", 0x200C}, {"rsaquo", 0x203A}, {"euro", 0x20AC}}) {
        EXPECT_EQ(Decode(std::string("&") + k.name + ";"), std::u32string(1, char32_t(k.cp))) << k.name;
    }
}

// Every entity of the table decodes, alone and among others.
TEST(SGMLEntities, EveryEntityDecodes) {
    std::string input;
    std::u32string want;
    for (unsigned int i = 0; kEntityNames[i] != nullptr; ++i) {
        std::string const reference = std::string("&") + kEntityNames[i] + ";";
        EXPECT_EQ(Apply<FromSGMLEntityTransform>(U32(reference), 64), std::u32string(1, char32_t(kEntityCodePoints[i])))
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
        {"&abcdefghijklmnopqrstuvwxyzabcd;", U"&abcdefghijklmnopqrstuvwxyzabcd;"},  // 30-letter name, none
        {"&abcdefghijklmnopqrstuvwxyzabcde;&lt;", U"&abcdefghijklmnopqrstuvwxyzabcde;<"},
        {"", U""},
        {"&", U"&"},
        {"tail &am", U"tail &am"},
    };
    for (Case const & c : cases) EXPECT_EQ(Decode(c.in), c.out) << c.in;
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
    EXPECT_EQ(Decode(near_miss), U32("&" + std::string(31, 'k') + ";&" + std::string(29, 'q')) + U"<");
}

// Long texts with a reference every few characters, read through windows of
// many sizes (ApplyAnyWindows), from 32-bit and 16-bit sources, and into
// output blocks that fill up at every possible point.
TEST(SGMLEntities, LongTextsAcrossWindows) {
    std::string input;
    std::u32string want;
    for (int i = 0; i < 900; ++i) {
        std::string const filler(static_cast<std::size_t>(i % 5), 'a' + static_cast<char>(i % 26));
        input += filler;
        want += U32(filler);
        switch (i % 6) {
        case 0: input += "&amp;"; want += U"&"; break;
        case 1: input += "&#233;"; want += U"\u00E9"; break;
        case 2: input += "&#x3B1;"; want += U"\u03B1"; break;
        case 3: input += "&euro;"; want += U"\u20AC"; break;
        case 4: input += "&bogus;"; want += U"&bogus;"; break;
        default: input += "&" + std::string(35, 'z'); want += U32("&" + std::string(35, 'z')); break;
        }
    }
    EXPECT_EQ(Decode(input), want);

    std::u16string const input16(input.begin(), input.end());
    for (std::size_t window : {1, 5, 33, 4096}) {
        zuuc_test::transforms::WindowSource16 source(input16, window);
        FromSGMLEntityTransform transform(source);
        EXPECT_EQ(zuuc_test::transforms::ReadAll(transform), want) << window;
    }
}

}  // namespace
