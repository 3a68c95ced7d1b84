// The encoding registry: names, identifiers, code pages, kinds and variants.
// Test encodings use base numbers that no library encoding uses (146-155),
// so they never displace real ones. (Names built on first use from several
// threads at once are checked by the stress test.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/test_encodings.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"

using zuuc_test::TestByteEncoding;
using zuuc_test::TestUnitEncoding;
using zuuc_test::TestWideEncoding;

namespace {

char const * gWinNames[] = {"zu-Win-1252", "zuWinLatin", "cs zu win 1252", nullptr};
char const * gSixteenNames[] = {"zu-Sixteen", "zu-sixteen-alias", nullptr};
char const * gWideNames[] = {"zu-ThirtyTwo", nullptr};
char const * gShared16Names[] = {"zu-shared-cp16", nullptr};
char const * gShared8Names[] = {"zu-shared-cp8", nullptr};
char const * gHiddenNames[] = {"zu-unregistered", nullptr};

// Registered once for the whole program, in this order.
struct Encodings {
    TestByteEncoding win{146, gWinNames, "zu-windows-1252", 61252};
    TestUnitEncoding sixteen{147, gSixteenNames, "zu-utf-16-ish", 61253};
    TestWideEncoding wide{148, gWideNames, nullptr, 61255};
    TestUnitEncoding shared16{149, gShared16Names, nullptr, 61254};
    TestByteEncoding shared8{150, gShared8Names, nullptr, 61254};
};

Encodings & E() {
    static Encodings * encodings = new Encodings();
    return *encodings;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { E(); }
};

TEST_F(RegistryTest, NamesMatchIgnoringSeparatorsAndCase) {
    TextEncoding * win = &E().win;
    // Leading and trailing separators, an alias with blanks, any width asked for.
    for (char const * name : {"zu-Win-1252", "zu_win_1252", "ZU WIN 1252", "--zu-Win-1252__ ", "cszuwin1252"}) {
        EXPECT_EQ(TextEncoding::Lookup(name, 0), win) << name;
        EXPECT_EQ(TextEncoding::Lookup(name, 1), win) << name;
    }
    // The wrong width; only - _ and blank are separators.
    EXPECT_EQ(TextEncoding::Lookup("zu-Win-1252", 2), nullptr);
    for (char const * name : {"zu-Win-125", "zu-Win-12522", "zu.Win.1252", static_cast<char const *>(nullptr)}) {
        EXPECT_EQ(TextEncoding::Lookup(name, 0), nullptr);
    }

    // An explicit end compares only up to it.
    char const text[] = "zuwinlatinXYZ";
    EXPECT_TRUE(win->HasName(text, text + 10));
    EXPECT_FALSE(win->HasName(text));
    EXPECT_FALSE(TextEncoding::SameName("abc", "ab", nullptr));
    EXPECT_TRUE(TextEncoding::SameName("a-b", "A B", nullptr));
    // Only ASCII letters fold; other bytes compare as they are.
    EXPECT_FALSE(TextEncoding::SameName("\xE9", "\xC9", nullptr));
}

TEST_F(RegistryTest, UnicodeNamesLookUpTheSameEncodings) {
    unsigned short const name16[] = {'Z', 'U', '_', 'S', 'i', 'x', 't', 'e', 'e', 'n', 0};
    unsigned int const name32[] = {'z', 'u', 't', 'h', 'i', 'r', 't', 'y', 't', 'w', 'o', 0};
    unsigned short const non_ascii[] = {'z', 'u', 0x00E9, 0};
    unsigned int const empty32[] = {0};
    EXPECT_TRUE(TextEncoding::Lookup(name16, 0) == &E().sixteen && Char16Encoding::Lookup(name16) == &E().sixteen);
    EXPECT_TRUE(TextEncoding::Lookup(name32, 4) == &E().wide && Char32Encoding::Lookup(name32) == &E().wide);
    EXPECT_EQ(CharEncoding::Lookup(name16), nullptr);
    EXPECT_EQ(TextEncoding::Lookup(non_ascii, 0), nullptr);
    EXPECT_EQ(TextEncoding::Lookup(empty32, 0), nullptr);
    EXPECT_TRUE(E().sixteen.HasName(name16));

    unsigned short const * unicode = E().win.NameInUnicode();
    ASSERT_NE(unicode, nullptr);
    std::vector<unsigned short> expected(gWinNames[0], gWinNames[0] + std::strlen(gWinNames[0]) + 1);
    EXPECT_EQ(std::vector<unsigned short>(unicode, unicode + expected.size()), expected);
    EXPECT_EQ(E().win.MimeNameInUnicode()[0], 'z');
    EXPECT_EQ(E().wide.MimeNameInUnicode(), nullptr);
}

TEST_F(RegistryTest, NicknamesAndIdentity) {
    TestByteEncoding const & win = E().win;
    EXPECT_EQ(std::string(win.Name()) + " " + win.MimeName() + " " + win.GetNickname(1), "zu-Win-1252 zu-windows-1252 zuWinLatin");
    EXPECT_EQ(win.CountNicknames(), 3u);
    EXPECT_EQ(win.GetNickname(3), nullptr);
    EXPECT_EQ(win.CodePage(), 61252u);
    EXPECT_EQ(static_cast<unsigned long>(win.GetTextEncodingID()), 146ul);
    EXPECT_TRUE(win == E().win && win != E().shared8);
    unsigned char const * substitute = nullptr;
    EXPECT_EQ(win.SubstituteChars(substitute, 0), 1u);
    EXPECT_EQ(substitute[0], 0x1A);
    EXPECT_EQ(E().sixteen.SubstituteChars(substitute, 0), 2u);
    EXPECT_EQ(substitute[0] * 256 + substitute[1], 0xFFFD);
    EXPECT_EQ(E().wide.SubstituteChars(substitute, 0), 2u);
    EXPECT_EQ(Char16Encoding::SubstituteChar() + Char32Encoding::SubstituteChar(), 2 * 0xFFFDu);
}

TEST_F(RegistryTest, KindsAndCasts) {
    TextEncoding & win = E().win;
    TextEncoding & sixteen = E().sixteen;
    TextEncoding & wide = E().wide;
    EXPECT_TRUE(win.IsCharEncoding() && win.IsExternalEncoding() && sixteen.IsInternalEncoding() &&
                wide.IsChar32Encoding() && win.HasTokenSize(0) && !win.HasTokenSize(2));
    EXPECT_TRUE(win.AsCharEncoding() == &E().win && sixteen.AsInternalEncoding() == &E().sixteen &&
                wide.AsChar32Encoding() == &E().wide && &E().win.GetImplementation() == &E().win);
    EXPECT_TRUE(win.AsChar16Encoding() == nullptr && sixteen.AsExternalEncoding() == nullptr);
    // The test encodings map code points unchanged.
    EXPECT_EQ(E().sixteen.GetCharacterScript(0x3042), Script_Hiragana);
    EXPECT_EQ(E().wide.GetCharacterScript(0x10400), Script_Deseret);
}

TEST_F(RegistryTest, LookupsByIdentifierIndexAndCodePage) {
    EXPECT_TRUE(TextEncoding::Lookup(TextEncodingID(146)) == &E().win && CharEncoding::Lookup(TextEncodingID(146)) == &E().win);
    EXPECT_EQ(CharEncoding::Lookup(TextEncodingID(147)), nullptr);  // a 16-bit encoding
    EXPECT_EQ(Char16Encoding::Lookup(TextEncodingID(147)), &E().sixteen);
    EXPECT_EQ(TextEncoding::Lookup(TextEncodingID(155)), nullptr);  // nothing there
    EXPECT_EQ(TextEncoding::Lookup(TextEncodingID(146) + EncodingVariationID::Java()), nullptr);

    EXPECT_EQ(TextEncoding::Lookup(TextEncoding::Count()), nullptr);
    bool found = false;
    for (unsigned i = 0; i < TextEncoding::Count(); ++i) found = found || TextEncoding::Lookup(i) == &E().win;
    EXPECT_TRUE(found);
    EXPECT_EQ(CharEncoding::Lookup(CharEncoding::Count()), nullptr);
    EXPECT_NE(Char16Encoding::Count(), 0u);

    EXPECT_TRUE(TextEncoding::LookupCodePage(61252) == &E().win && CharEncoding::LookupCodePage(61252) == &E().win);
    // The first encoding with code page 61254 is the 16-bit one, so the byte
    // lookup answers null even though a byte encoding has it too.
    EXPECT_EQ(TextEncoding::LookupCodePage(61254), &E().shared16);
    EXPECT_EQ(CharEncoding::LookupCodePage(61254), nullptr);
    EXPECT_EQ(Char16Encoding::LookupCodePage(61254), &E().shared16);
    EXPECT_EQ(TextEncoding::LookupCodePage(61999), nullptr);
}

TEST_F(RegistryTest, IdentifierZeroIsNeverRegisteredAndAnEncodingThatDiesLeaves) {
    unsigned const before = TextEncoding::Count();
    unsigned const bytes_before = CharEncoding::Count();
    {
        TestByteEncoding hidden(0, gHiddenNames);
        EXPECT_TRUE(TextEncoding::Count() == before && CharEncoding::Count() == bytes_before);
        EXPECT_EQ(TextEncoding::Lookup("zu-unregistered", 0), nullptr);
        EXPECT_EQ(TextEncoding::Lookup(TextEncodingID(0)), nullptr);
    }
    {
        char const * names[] = {"zu-short-lived", nullptr};
        TestByteEncoding brief(151, names);
        EXPECT_EQ(TextEncoding::Lookup("zu-short-lived", 0), &brief);
        EXPECT_EQ(TextEncoding::Count(), before + 1);
        // A copy is a plain value: not registered, and its death changes nothing.
        { TestByteEncoding copy(brief); }
        EXPECT_EQ(TextEncoding::Lookup(TextEncodingID(151)), &brief);
    }
    EXPECT_EQ(TextEncoding::Count(), before);
    EXPECT_EQ(TextEncoding::Lookup("zu-short-lived", 0), nullptr);
    EXPECT_EQ(TextEncoding::Lookup(TextEncodingID(151)), nullptr);
}

// --- variations -----------------------------------------------------------------

// Makes byte-encoding variants of the encodings whose names start with a
// prefix, so that each test sees only the variants of its own encodings
// (not those the library's own variations made of them).
class TestVariation : public RealEncodingVariation {
public:
    TestVariation(unsigned long number, char const ** names, char const * mime, char const * prefix)
        : RealEncodingVariation(EncodingVariationID(number), names, mime), prefix_(prefix) {
        GenerateVariantsForExistingEncodings();
    }
    void GenerateVariantOfCharEncoding(CharEncoding const & e) override { Make(e); }
    void GenerateVariantOfChar16Encoding(Char16Encoding const & e) override { Make(e); }

private:
    void Make(TextEncoding const & e) {
        bool const ours = e.GetParentVariation() == nullptr ||
                          dynamic_cast<TestVariation const *>(e.GetParentVariation()) != nullptr;
        if (ours && std::strncmp(e.Name(), prefix_, std::strlen(prefix_)) == 0 &&
            !AlreadyAppliedTo(e)) {
            AddVariant(new TestByteEncoding(e, *this, nullptr));
        }
    }
    char const * prefix_;
};

char const * gEscapeNames[] = {"zu-escape", "zu-esc", nullptr};
char const * gPrinterNames[] = {"zu-printer", nullptr};

TEST_F(RegistryTest, VariantsAreNamedAndFoundThroughTheirParents) {
    char const * base_names[] = {"zu-base-a", nullptr};
    TestByteEncoding base(152, base_names);
    TestVariation escape(7, gEscapeNames, "zu-escape-mime", "zu-base-a");

    TextEncoding * variant = base.LookupVariant(EncodingVariationID::Java());
    ASSERT_NE(variant, nullptr);
    EXPECT_EQ(base.LookupVariant(EncodingVariationID(0)), &base);
    EXPECT_EQ(base.LookupVariant(EncodingVariationID::HPPrinter()), nullptr);
    EXPECT_STREQ(variant->Name(), "zu-base-a:zu-escape");
    EXPECT_STREQ(variant->MimeName(), "zu-escape-mime");  // falls back to the variation's
    EXPECT_EQ(variant->MimeNameInUnicode(), nullptr);    // ... but not in Unicode
    EXPECT_TRUE(variant->GetParentEncoding() == &base && variant->GetParentVariation() == &escape);
    EXPECT_TRUE(variant->IsVariantEncoding() && base.IsBaseEncoding());
    EXPECT_EQ(static_cast<unsigned long>(variant->GetTextEncodingID()), 152ul | (7ul << 12));
    EXPECT_EQ(TextEncoding::Lookup(variant->GetTextEncodingID()), variant);

    EXPECT_EQ(TextEncoding::Lookup("ZU_BASE_A:zu esc", 0), variant);
    EXPECT_TRUE(!TextEncoding::Lookup("zu-base-a:no-such-variation", 0) && !TextEncoding::Lookup("no-such-base:zu-escape", 0));

    // Substitutes come from the parent.
    unsigned char const * substitute = nullptr;
    EXPECT_EQ(variant->SubstituteChars(substitute, 0), 1u);
    EXPECT_EQ(substitute[0], 0x1A);
}

TEST_F(RegistryTest, VariantsDoNotDependOnCreationOrder) {
    char const * early_names[] = {"zu-order-early", nullptr};
    char const * middle_names[] = {"zu-order-middle", nullptr};
    char const * late_names[] = {"zu-order-late", nullptr};
    TestByteEncoding early(153, early_names);        // before both variations
    TestVariation escape(7, gEscapeNames, nullptr, "zu-order-");
    TestUnitEncoding middle(154, middle_names);      // between them (16-bit parent)
    TestVariation printer(8, gPrinterNames, nullptr, "zu-order-");
    TestByteEncoding late(155, late_names);          // after both

    for (TextEncoding * e : std::vector<TextEncoding *>{&early, &middle, &late}) {
        SCOPED_TRACE(e->Name());
        TextEncoding * a = e->LookupVariant(EncodingVariationID::Java());
        TextEncoding * b = e->LookupVariant(EncodingVariationID::HPPrinter());
        ASSERT_NE(a, nullptr);
        ASSERT_NE(b, nullptr);
        // Variants of variants arise in both orders, each variation once.
        EXPECT_NE(a->LookupVariant(EncodingVariationID::HPPrinter()), nullptr);
        EXPECT_NE(b->LookupVariant(EncodingVariationID::Java()), nullptr);
        EXPECT_EQ(a->LookupVariant(EncodingVariationID::Java()), nullptr);
        EXPECT_EQ(e->LookupVariant(EncodingVariationID::Java() + EncodingVariationID::HPPrinter()),
                  a->LookupVariant(EncodingVariationID::HPPrinter()));
    }
    std::string const name = "zu-order-late:zu-printer:zu-escape";
    TextEncoding * deep = TextEncoding::Lookup(name.c_str(), 1);
    ASSERT_NE(deep, nullptr);
    EXPECT_STREQ(deep->Name(), name.c_str());
    EXPECT_EQ(escape.CountVariantEncodings(), 6u);
    EXPECT_EQ(printer.CountVariantEncodings(), 6u);
    EXPECT_EQ(escape.GetVariantEncoding(6), nullptr);
}

TEST_F(RegistryTest, VariationLookupsAndNames) {
    TestVariation escape(7, gEscapeNames, "m", "no encoding has this prefix");
    EXPECT_TRUE(EncodingVariation::Lookup("ZU_ESC") == &escape && EncodingVariation::Lookup(EncodingVariationID::Java()) == &escape);
    EXPECT_EQ(EncodingVariation::Lookup("zu-nothing"), nullptr);
    // An identifier of two variations names no single variation.
    EXPECT_EQ(EncodingVariation::Lookup(EncodingVariationID::Java() + EncodingVariationID::Java()),
              nullptr);
    EXPECT_STREQ(escape.Name(), "zu-escape");
    EXPECT_TRUE(escape.CountNames() == 2u && escape.GetName(2) == nullptr && escape.NameInUnicode()[1] == 'u');
    EXPECT_EQ(static_cast<unsigned long>(escape.GetEncodingVariationID()), 7ul);
}

}  // namespace
