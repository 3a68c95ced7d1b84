// Compares every code point 0..0x10FFFF with the Unicode 4.0 data files in
// data/ucd, read at test time (independently of the table generator), and
// checks values beyond U+10FFFF.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "zuuc/character_test.h"
#include "zuuc/unicode_character.h"

namespace {

unsigned int const kCodePoints = 0x110000;

// Value names in the order of the enumerations.
std::vector<std::string> Names(char const * list) {
    std::istringstream in(list);
    return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}
const std::vector<std::string> kCategories = Names(
    "Lu Ll Lt Lm Lo Mn Mc Me Nd Nl No Pc Pd Ps Pe Pi Pf Po Sm Sc Sk So Zs Zl Zp Cc Cf Co Cs Cn");
const std::vector<std::string> kBidi =
    Names("L LRE LRO R AL RLE RLO PDF EN ES ET AN CS NSM BN B S WS ON");
const std::vector<std::string> kWidths = Names("N F H W Na A");
const std::vector<std::string> kLineBreaks = Names(
    "BK CR LF CM SG ZW IN GL CB SP BA BB B2 HY NS OP CL QU EX ID NU IS SY AL PR PO SA AI NL WJ XX");
const std::vector<std::string> kProperties = Names(
    "ASCII_Hex_Digit Bidi_Control Dash Deprecated Diacritic Extender Grapheme_Link Hex_Digit "
    "Hyphen IDS_Binary_Operator IDS_Trinary_Operator Ideographic Join_Control "
    "Logical_Order_Exception Bidi_Mirrored Noncharacter_Code_Point Quotation_Mark Radical "
    "Soft_Dotted Terminal_Punctuation Unified_Ideograph STerm Variation_Selector White_Space "
    "Other_Math Other_Alphabetic Other_Lowercase Other_Uppercase Other_Grapheme_Extend "
    "Other_Default_Ignorable_Code_Point Other_ID_Start");
// Scripts.txt names in the order of ScriptSystem from value 2 (values 0, 1
// and 21, "-" here, have no name in the file).
const std::vector<std::string> kScriptNames = Names(
    "LATIN GREEK CYRILLIC ARMENIAN HEBREW ARABIC DEVANAGARI BENGALI GURMUKHI GUJARATI ORIYA "
    "TAMIL TELUGU KANNADA MALAYALAM THAI LAO TIBETAN GEORGIAN - HIRAGANA KATAKANA BOPOMOFO HAN "
    "HANGUL SYRIAC THAANA ETHIOPIC CHEROKEE CANADIAN_ABORIGINAL OGHAM RUNIC KHMER MONGOLIAN YI "
    "SINHALA MYANMAR OLD_ITALIC GOTHIC DESERET INHERITED TAGALOG HANUNOO BUHID TAGBANWA LIMBU "
    "TAI_LE LINEAR_B UGARITIC SHAVIAN OSMANYA CYPRIOT BRAILLE");

int IndexOf(std::vector<std::string> const & names, std::string const & name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (name == names[i])
            return static_cast<int>(i);
    ADD_FAILURE() << "unknown value name " << name;
    return 0;
}

std::string Trim(std::string const & s) {
    std::size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return std::string();
    std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

// The data lines of a file, comments removed, split at ';' and trimmed.
std::vector<std::vector<std::string>> ReadFields(char const * name) {
    std::string path = std::string(ZUUC_DATA_DIR) + "/ucd/" + name;
    std::ifstream in(path.c_str());
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::vector<std::vector<std::string>> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::size_t hash = line.find('#');
        if (hash != std::string::npos)
            line.erase(hash);
        if (Trim(line).empty())
            continue;
        std::vector<std::string> fields;
        std::stringstream ss(line);
        std::string field;
        while (std::getline(ss, field, ';'))
            fields.push_back(Trim(field));
        rows.push_back(fields);
    }
    return rows;
}

void ParseRange(std::string const & text, unsigned int * lo, unsigned int * hi) {
    std::size_t dots = text.find("..");
    *lo = static_cast<unsigned int>(std::strtoul(text.c_str(), nullptr, 16));
    *hi = dots == std::string::npos
              ? *lo
              : static_cast<unsigned int>(std::strtoul(text.c_str() + dots + 2, nullptr, 16));
}

struct Block {
    unsigned int lo, hi;
    std::string name;
};

// Everything the test expects, derived from the data files once per program.
struct Expected {
    std::vector<bool> assigned;
    std::vector<std::uint8_t> category, bidi, width, linebreak, script;
    std::vector<std::uint32_t> properties, mirror;
    std::vector<int> decimal, digit;
    std::vector<float> numeric;
    std::vector<Block> blocks;

    Expected()
        : assigned(kCodePoints, false),
          category(kCodePoints, Category_Cn),
          bidi(kCodePoints, Bidi_L),
          width(kCodePoints, Width_N),
          linebreak(kCodePoints, LineBreak_XX),
          script(kCodePoints, Script_None),
          properties(kCodePoints, 0),
          mirror(kCodePoints, 0),
          decimal(0x10000, -1),
          digit(0x10000, -1),
          numeric(0x10000, -1.0f) {
        ReadBlocks();
        ReadUnicodeData();
        ReadEnumerated("EastAsianWidth.txt", kWidths, &width);
        ReadEnumerated("LineBreak.txt", kLineBreaks, &linebreak);
        ReadProperties();
        for (auto const & f : ReadFields("BidiMirroring.txt"))
            mirror[std::strtoul(f[0].c_str(), nullptr, 16)] =
                static_cast<std::uint32_t>(std::strtoul(f[1].c_str(), nullptr, 16));
        ApplyBidiDefaults();
        ReadScripts();
    }

    Block const * BlockOf(unsigned int c) const {
        for (Block const & b : blocks)
            if (c >= b.lo && c <= b.hi)
                return &b;
        return nullptr;
    }

    void ReadBlocks() {
        for (auto const & f : ReadFields("Blocks.txt")) {
            Block b;
            ParseRange(f[0], &b.lo, &b.hi);
            b.name = f[1];
            blocks.push_back(b);
        }
    }

    void ReadUnicodeData() {
        unsigned int first = 0;
        bool in_range = false;
        for (auto const & f : ReadFields("UnicodeData.txt")) {
            unsigned int cp = static_cast<unsigned int>(std::strtoul(f[0].c_str(), nullptr, 16));
            std::string const & name = f[1];
            if (name.size() > 8 && name.compare(name.size() - 8, 8, ", First>") == 0) {
                first = cp;
                in_range = true;
                continue;
            }
            unsigned int lo = in_range ? first : cp;
            in_range = false;
            int gc = IndexOf(kCategories, f[2]);
            int bc = IndexOf(kBidi, f[4]);
            float num = -1.0f;
            if (!f[8].empty()) {
                std::size_t slash = f[8].find('/');
                double n = std::strtod(f[8].c_str(), nullptr);
                if (slash != std::string::npos)
                    n /= std::strtod(f[8].c_str() + slash + 1, nullptr);
                num = static_cast<float>(n);
            }
            for (unsigned int c = lo; c <= cp; ++c) {
                assigned[c] = true;
                category[c] = static_cast<std::uint8_t>(gc);
                bidi[c] = static_cast<std::uint8_t>(bc);
                if (f[9] == "Y")
                    properties[c] |= 1u << Property_Bidi_Mirrored;
                if (c < 0x10000) {
                    if (!f[6].empty())
                        decimal[c] = std::atoi(f[6].c_str());
                    if (!f[7].empty())
                        digit[c] = std::atoi(f[7].c_str());
                    numeric[c] = num;
                }
            }
        }
    }

    void ReadEnumerated(char const * file, std::vector<std::string> const & names,
                        std::vector<std::uint8_t> * out) {
        for (auto const & f : ReadFields(file)) {
            unsigned int lo, hi;
            ParseRange(f[0], &lo, &hi);
            std::uint8_t v = static_cast<std::uint8_t>(IndexOf(names, f[1]));
            for (unsigned int c = lo; c <= hi; ++c)
                (*out)[c] = v;
        }
    }

    void ReadProperties() {
        // STerm and Variation_Selector first appear in the 4.0.1 list; the other
        // properties are those of 4.0.0.
        for (int pass = 0; pass < 2; ++pass) {
            for (auto const & f : ReadFields(pass == 0 ? "PropList.txt" : "PropList-4.0.1.txt")) {
                bool late = f[1] == "STerm" || f[1] == "Variation_Selector";
                if (late != (pass == 1))
                    continue;
                unsigned int lo, hi;
                ParseRange(f[0], &lo, &hi);
                std::uint32_t bit = 1u << IndexOf(kProperties, f[1]);
                for (unsigned int c = lo; c <= hi; ++c)
                    properties[c] |= bit;
            }
        }
    }

    // Every code point's class, assigned or not, as the database's own
    // statement of defaults gives it (L where it lists nothing).
    void ApplyBidiDefaults() { ReadEnumerated("DerivedBidiClass.txt", kBidi, &bidi); }

    void ReadScripts() {
        for (auto const & f : ReadFields("Scripts.txt")) {
            if (f[1] == "COMMON")
                continue;
            unsigned int lo, hi;
            ParseRange(f[0], &lo, &hi);
            std::uint8_t v = static_cast<std::uint8_t>(IndexOf(kScriptNames, f[1]) + 2);
            for (unsigned int c = lo; c <= hi; ++c)
                script[c] = v;
        }
        // Stated extents.
        script[0x20] = Script_Common;
        for (unsigned int c = 0x02B9; c <= 0x02FF; ++c)
            if (script[c] == Script_None)
                script[c] = Script_Common;
        script[0x30FC] = Script_Katakana;
        for (unsigned int c = 0xFF66; c <= 0xFF9F; ++c)
            script[c] = Script_Katakana;
        for (unsigned int c = 0x1D400; c <= 0x1D7FF; ++c)
            script[c] = Script_Latin;
        // Unassigned positions: the most frequent script of the block's assigned
        // characters, combining marks not counted (none where script-less
        // characters prevail); the Hangul Jamo block has a value of its own.
        for (Block const & b : blocks) {
            std::map<int, int> counts;
            for (unsigned int c = b.lo; c <= b.hi; ++c)
                if (assigned[c] && script[c] != Script_Inherited)
                    ++counts[script[c]];
            int fill = Script_None, best = 0;
            for (auto const & kv : counts) {
                if (kv.second > best) {
                    best = kv.second;
                    fill = kv.first;
                }
            }
            if (b.name == "Hangul Jamo")
                fill = Script_HangulJamo;
            if (b.name == "Spacing Modifier Letters" ||
                b.name == "Mathematical Alphanumeric Symbols" ||
                b.name == "CJK Radicals Supplement" || b.name == "Kangxi Radicals")
                continue;  // covered by the extents
            for (unsigned int c = b.lo; c <= b.hi; ++c)
                if (!assigned[c])
                    script[c] = static_cast<std::uint8_t>(fill);
        }
        for (unsigned int c = 0x2E80; c <= 0x2FDF; ++c)
            if (!assigned[c])
                script[c] = Script_Han;
    }
};

Expected const & Data() {
    static const Expected data;
    return data;
}

// Counts mismatches and reports the first few, so a wrong table gives a
// readable failure instead of a million lines.
class Mismatches {
public:
    explicit Mismatches(char const * what) : what_(what) {}
    ~Mismatches() { EXPECT_EQ(count_, 0u) << what_ << ": mismatching code points"; }
    template <class A, class B>
    void Check(unsigned int c, const A & actual, const B & expected) {
        if (actual == expected)
            return;
        if (++count_ <= 8) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "U+%04X", c);
            ADD_FAILURE() << what_ << " of " << hex << ": got " << +actual << ", expected "
                          << +expected;
        }
    }

private:
    char const * what_;
    unsigned int count_ = 0;
};

TEST(UcdVerify, PropertiesOverAllCodePoints) {
    Expected const & d = Data();
    Mismatches gc("general category"), bc("bidirectional category"), ea("East Asian width"),
        lb("line break"), sc("script"), mi("mirror image"), mf("mirrored flag"),
        pr("Boolean property word"), mem("member forms against static forms");
    for (unsigned int c = 0; c < kCodePoints; ++c) {
        gc.Check(c, static_cast<int>(UnicodeCharacter::GetCharacterCategory(c)), d.category[c]);
        bc.Check(c, static_cast<int>(UnicodeCharacter::GetBidirectionalCategory(c)), d.bidi[c]);
        ea.Check(c, static_cast<int>(UnicodeCharacter::GetCharacterWidth(c)), d.width[c]);
        lb.Check(c, static_cast<int>(UnicodeCharacter::GetLineBreak(c)), d.linebreak[c]);
        sc.Check(c, static_cast<int>(UnicodeCharacter::GetScriptSystem(c)), d.script[c]);
        mi.Check(c, UnicodeCharacter::GetMirror(c), d.mirror[c] != 0 ? d.mirror[c] : c);
        mf.Check(c, UnicodeCharacter::IsMirrored(c),
                 (d.properties[c] >> Property_Bidi_Mirrored & 1u) != 0);
        std::uint32_t word = 0;
        for (unsigned int p = 0; p < 32; ++p)
            if (UnicodeCharacter::HasExtendedProperty(c, static_cast<ExtendedUnicodeProperty>(p)))
                word |= 1u << p;
        pr.Check(c, word, d.properties[c]);
        // The member forms, asked twice (the second time from the cached word).
        const UnicodeCharacter u(c);
        bool same = u.Codepoint() == c &&
                    u.GetCharacterCategory() == UnicodeCharacter::GetCharacterCategory(c) &&
                    u.GetBidirectionalCategory() == UnicodeCharacter::GetBidirectionalCategory(c) &&
                    u.GetScriptSystem() == UnicodeCharacter::GetScriptSystem(c) &&
                    u.GetCharacterWidth() == UnicodeCharacter::GetCharacterWidth(c) &&
                    u.GetLineBreak() == UnicodeCharacter::GetLineBreak(c) &&
                    u.GetMirror() == UnicodeCharacter::GetMirror(c) &&
                    u.IsMirrored() == UnicodeCharacter::IsMirrored(c) &&
                    u.DecimalDigitValue() == UnicodeCharacter::DecimalDigitValue(c) &&
                    u.DigitValue() == UnicodeCharacter::DigitValue(c) &&
                    u.NumericValue() == UnicodeCharacter::NumericValue(c);
        for (unsigned int p = 0; p < 66; ++p)
            same = same && u.HasExtendedProperty(static_cast<ExtendedUnicodeProperty>(p % 33)) ==
                               (word >> (p % 33 % 32) & 1u);
        mem.Check(c, same, true);
    }
}

TEST(UcdVerify, NumericValuesOverTheBmp) {
    Expected const & d = Data();
    Mismatches de("decimal digit value"), di("digit value"), nu("numeric value");
    for (unsigned int c = 0; c < 0x10000; ++c) {
        de.Check(c, static_cast<int>(UnicodeCharacter::DecimalDigitValue(c)), d.decimal[c]);
        di.Check(c, static_cast<int>(UnicodeCharacter::DigitValue(c)), d.digit[c]);
        nu.Check(c, UnicodeCharacter::NumericValue(c), d.numeric[c]);
    }
    // Beyond the BMP there are no numeric values, even for characters that
    // have them in the data (U+10107 AEGEAN NUMBER ONE, U+1D7CE math digits).
    for (unsigned int c = 0x10000; c < kCodePoints; ++c) {
        de.Check(c, static_cast<int>(UnicodeCharacter::DecimalDigitValue(c)), -1);
        di.Check(c, static_cast<int>(UnicodeCharacter::DigitValue(c)), -1);
        nu.Check(c, UnicodeCharacter::NumericValue(c), -1.0f);
    }
}

// Values above U+10FFFF arrive from UTF-32 input; they answer as an
// unassigned code point and never read outside the tables.
TEST(UcdVerify, ValuesAboveTheCodeSpaceAnswerAsUnassigned) {
    Mismatches m("value above U+10FFFF");
    std::vector<unsigned int> values = {0x110000,   0x110001,   0x11FFFE,   0x11FFFF,  0x120000,
                                        0x1FFFFF,   0x200000,   0xFFFFFF,   0x1000000, 0x7FFFFFFF,
                                        0x80000000, 0xFFFEFFFF, 0xFFFFFFFE, 0xFFFFFFFF};
    for (unsigned long long v = 0x110000; v <= 0xFFFFFFFFull; v += 0x10001ull * 7)
        values.push_back(static_cast<unsigned int>(v));
    for (unsigned int c = 0xFFFFFF00u; c != 0; ++c)
        values.push_back(c);
    for (unsigned int c : values) {
        m.Check(c, static_cast<int>(UnicodeCharacter::GetCharacterCategory(c)), Category_Cn);
        m.Check(c, static_cast<int>(UnicodeCharacter::GetBidirectionalCategory(c)), Bidi_L);
        m.Check(c, static_cast<int>(UnicodeCharacter::GetScriptSystem(c)), Script_None);
        m.Check(c, static_cast<int>(UnicodeCharacter::GetCharacterWidth(c)), Width_N);
        m.Check(c, static_cast<int>(UnicodeCharacter::GetLineBreak(c)), LineBreak_XX);
        m.Check(c, UnicodeCharacter::GetMirror(c), c);
        m.Check(c, UnicodeCharacter::IsMirrored(c), false);
        for (unsigned int p = 0; p < 32; ++p)
            m.Check(
                c,
                UnicodeCharacter::HasExtendedProperty(c, static_cast<ExtendedUnicodeProperty>(p)),
                false);
        m.Check(c, static_cast<int>(UnicodeCharacter::DecimalDigitValue(c)), -1);
        m.Check(c, static_cast<int>(UnicodeCharacter::DigitValue(c)), -1);
        m.Check(c, UnicodeCharacter::NumericValue(c), -1.0f);
        UnicodeCharacter u(c);
        m.Check(c, u.HasExtendedProperty(Property_Noncharacter_Code_Point), false);
        m.Check(c, static_cast<int>(u.GetCharacterCategory()), Category_Cn);
        // The tests see the same defaults: Cn lies in the complement of the
        // empty category set, nothing else accepts.
        m.Check(c, (~CharacterCategoryTest())(c), true);
        m.Check(c, AnyDefinedCharacter(c), false);
        m.Check(c, DerivedCore_IDContinue(c), false);
    }
}

// The derived core properties against their definitions, over all code
// points (the OR trees and the set tests together).
TEST(UcdVerify, DerivedCorePropertiesFollowTheirDefinitions) {
    Expected const & d = Data();
    Mismatches m("derived core property");
    auto has = [&](unsigned int c, ExtendedUnicodeProperty p) {
        return (d.properties[c] >> p & 1u) != 0;
    };
    for (unsigned int c = 0; c < kCodePoints; ++c) {
        int gc = d.category[c];
        bool letter = gc <= Category_Lo;
        bool id_start = letter || gc == Category_Nl || has(c, Property_Other_ID_Start);
        m.Check(c, DerivedCore_Math(c), gc == Category_Sm || has(c, Property_Other_Math));
        m.Check(c, DerivedCore_Alphabetic(c),
                letter || gc == Category_Nl || has(c, Property_Other_Alphabetic));
        m.Check(c, DerivedCore_Lowercase(c), gc == Category_Ll || has(c, Property_Other_Lowercase));
        m.Check(c, DerivedCore_Uppercase(c), gc == Category_Lu || has(c, Property_Other_Uppercase));
        m.Check(c, DerivedCore_IDStart(c), id_start);
        m.Check(c, DerivedCore_IDContinue(c),
                id_start || gc == Category_Mn || gc == Category_Mc || gc == Category_Nd ||
                    gc == Category_Pc);
    }
}

}  // namespace
