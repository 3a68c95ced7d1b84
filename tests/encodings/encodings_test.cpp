// The encoding registry (names, identifiers, code pages, kinds and variants),
// loading encoding libraries on demand, and encoding and variation
// identifiers.
// Test encodings use base numbers that no library encoding uses (146-155),
// so they never displace real ones. (Names built on first use from several
// threads at once are checked by the stress test.) The loader tests make
// real dlopen calls on the small test modules that this folder's CMakeLists
// builds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "encodings/modules/test_module.h"
#include "support/test_encodings.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/exceptions.h"
#include "zuuc/identifiers.h"
#include "zuuc/loader.h"

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
    for (char const * name :
         {"zu-Win-1252", "zu_win_1252", "ZU WIN 1252", "--zu-Win-1252__ ", "cszuwin1252"}) {
        EXPECT_EQ(TextEncoding::Lookup(name, 0), win) << name;
        EXPECT_EQ(TextEncoding::Lookup(name, 1), win) << name;
    }
    // The wrong width; only - _ and blank are separators.
    EXPECT_EQ(TextEncoding::Lookup("zu-Win-1252", 2), nullptr);
    for (char const * name :
         {"zu-Win-125", "zu-Win-12522", "zu.Win.1252", static_cast<char const *>(nullptr)}) {
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
    EXPECT_TRUE(TextEncoding::Lookup(name16, 0) == &E().sixteen &&
                Char16Encoding::Lookup(name16) == &E().sixteen);
    EXPECT_TRUE(TextEncoding::Lookup(name32, 4) == &E().wide &&
                Char32Encoding::Lookup(name32) == &E().wide);
    EXPECT_EQ(CharEncoding::Lookup(name16), nullptr);
    EXPECT_EQ(TextEncoding::Lookup(non_ascii, 0), nullptr);
    EXPECT_EQ(TextEncoding::Lookup(empty32, 0), nullptr);
    EXPECT_TRUE(E().sixteen.HasName(name16));

    unsigned short const * unicode = E().win.NameInUnicode();
    ASSERT_NE(unicode, nullptr);
    std::vector<unsigned short> expected(gWinNames[0],
                                         gWinNames[0] + std::strlen(gWinNames[0]) + 1);
    EXPECT_EQ(std::vector<unsigned short>(unicode, unicode + expected.size()), expected);
    EXPECT_EQ(E().win.MimeNameInUnicode()[0], 'z');
    EXPECT_EQ(E().wide.MimeNameInUnicode(), nullptr);
}

TEST_F(RegistryTest, NicknamesAndIdentity) {
    TestByteEncoding const & win = E().win;
    EXPECT_EQ(std::string(win.Name()) + " " + win.MimeName() + " " + win.GetNickname(1),
              "zu-Win-1252 zu-windows-1252 zuWinLatin");
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
    EXPECT_TRUE(TextEncoding::Lookup(TextEncodingID(146)) == &E().win &&
                CharEncoding::Lookup(TextEncodingID(146)) == &E().win);
    EXPECT_EQ(CharEncoding::Lookup(TextEncodingID(147)), nullptr);  // a 16-bit encoding
    EXPECT_EQ(Char16Encoding::Lookup(TextEncodingID(147)), &E().sixteen);
    EXPECT_EQ(TextEncoding::Lookup(TextEncodingID(155)), nullptr);  // nothing there
    EXPECT_EQ(TextEncoding::Lookup(TextEncodingID(146) + EncodingVariationID::Java()), nullptr);

    EXPECT_EQ(TextEncoding::Lookup(TextEncoding::Count()), nullptr);
    bool found = false;
    for (unsigned i = 0; i < TextEncoding::Count(); ++i)
        found = found || TextEncoding::Lookup(i) == &E().win;
    EXPECT_TRUE(found);
    EXPECT_EQ(CharEncoding::Lookup(CharEncoding::Count()), nullptr);
    EXPECT_NE(Char16Encoding::Count(), 0u);

    EXPECT_TRUE(TextEncoding::LookupCodePage(61252) == &E().win &&
                CharEncoding::LookupCodePage(61252) == &E().win);
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
    EXPECT_EQ(variant->MimeNameInUnicode(), nullptr);     // ... but not in Unicode
    EXPECT_TRUE(variant->GetParentEncoding() == &base && variant->GetParentVariation() == &escape);
    EXPECT_TRUE(variant->IsVariantEncoding() && base.IsBaseEncoding());
    EXPECT_EQ(static_cast<unsigned long>(variant->GetTextEncodingID()), 152ul | (7ul << 12));
    EXPECT_EQ(TextEncoding::Lookup(variant->GetTextEncodingID()), variant);

    EXPECT_EQ(TextEncoding::Lookup("ZU_BASE_A:zu esc", 0), variant);
    EXPECT_TRUE(!TextEncoding::Lookup("zu-base-a:no-such-variation", 0) &&
                !TextEncoding::Lookup("no-such-base:zu-escape", 0));

    // Substitutes come from the parent.
    unsigned char const * substitute = nullptr;
    EXPECT_EQ(variant->SubstituteChars(substitute, 0), 1u);
    EXPECT_EQ(substitute[0], 0x1A);
}

TEST_F(RegistryTest, VariantsDoNotDependOnCreationOrder) {
    char const * early_names[] = {"zu-order-early", nullptr};
    char const * middle_names[] = {"zu-order-middle", nullptr};
    char const * late_names[] = {"zu-order-late", nullptr};
    TestByteEncoding early(153, early_names);  // before both variations
    TestVariation escape(7, gEscapeNames, nullptr, "zu-order-");
    TestUnitEncoding middle(154, middle_names);  // between them (16-bit parent)
    TestVariation printer(8, gPrinterNames, nullptr, "zu-order-");
    TestByteEncoding late(155, late_names);  // after both

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
    EXPECT_TRUE(EncodingVariation::Lookup("ZU_ESC") == &escape &&
                EncodingVariation::Lookup(EncodingVariationID::Java()) == &escape);
    EXPECT_EQ(EncodingVariation::Lookup("zu-nothing"), nullptr);
    // An identifier of two variations names no single variation.
    EXPECT_EQ(EncodingVariation::Lookup(EncodingVariationID::Java() + EncodingVariationID::Java()),
              nullptr);
    EXPECT_STREQ(escape.Name(), "zu-escape");
    EXPECT_TRUE(escape.CountNames() == 2u && escape.GetName(2) == nullptr &&
                escape.NameInUnicode()[1] == 'u');
    EXPECT_EQ(static_cast<unsigned long>(escape.GetEncodingVariationID()), 7ul);
}

}  // namespace

// --- the loader ---

namespace {

std::string LoadDirectory() {
    char buffer[300];
    UnicodeLibLoader::GetLoadDirectory(buffer, sizeof buffer);
    return buffer;
}

// Every test starts and ends with no load directory.
class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override { UnicodeLibLoader::SetLoadDirectory(""); }
    void TearDown() override { UnicodeLibLoader::SetLoadDirectory(""); }
};

TEST_F(LoaderTest, LoadDirectoryGetsASeparatorAndIsCutToFit) {
    for (auto [given, kept] :
         {std::pair<char const *, char const *>{"/opt/zuuc/lib", "/opt/zuuc/lib/"},
          {"/opt/zuuc/lib/", "/opt/zuuc/lib/"},
          {"C:\\zuuc\\", "C:\\zuuc\\"},
          {"", ""}}) {
        UnicodeLibLoader::SetLoadDirectory(given);
        EXPECT_EQ(LoadDirectory(), kept);
    }
    UnicodeLibLoader::SetLoadDirectory("C:\\zuuc\\");

    char small[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    UnicodeLibLoader::GetLoadDirectory(small, 5);
    EXPECT_STREQ(small, "C:\\z");
    EXPECT_EQ(small[5], 'x');  // nothing written past the size given

    std::string const long_directory(400, 'd');
    UnicodeLibLoader::SetLoadDirectory(long_directory.c_str());
    std::string const cut = LoadDirectory();
    EXPECT_EQ(cut, std::string(258, 'd') + "/");  // cut to fit 260 bytes with the separator and NUL
    UnicodeLibLoader::GetLoadDirectory(small, 0);  // no room: nothing happens
}

TEST_F(LoaderTest, LoadsFromTheLoadDirectoryOrNextToTheLibraryAndInitialisesOnce) {
    char const * names[] = {ZUUC_TEST_LOADABLE_NAME, nullptr};
    TestByteEncoding encoding(146, names, nullptr, "zutestlib");
    EXPECT_FALSE(encoding.IsLoaded());

    // Not found by the default search.
    EXPECT_THROW(encoding.Load(), UnableToLoadEncodingLibrary);
    EXPECT_FALSE(encoding.IsLoaded());

    UnicodeLibLoader::SetLoadDirectory(ZUUC_TEST_MODULE_DIR);
    encoding.Load();
    ASSERT_TRUE(encoding.IsLoaded());
    EXPECT_EQ(static_cast<unsigned short const *>(encoding.Table())[1], 0x42);
    encoding.Load();                                   // already loaded: no library call
    EXPECT_TRUE(UnicodeLibLoader::Load("zutestlib"));  // a module is initialised once
    EXPECT_TRUE(UnicodeLibLoader::IsLoadable("zutestlib"));
    EXPECT_EQ(encoding.Installs(), 1);

    // The default search finds modules next to the library.
    UnicodeLibLoader::SetLoadDirectory("");
    char const * default_names[] = {ZUUC_TEST_DEFAULT_NAME, nullptr};
    TestByteEncoding found(147, default_names, nullptr, "zutestdefault");
    EXPECT_TRUE(found.IsLoadable() && found.IsLoaded());
}

TEST_F(LoaderTest, MissingLibraryOrEntryPointNamesTheLibrary) {
    static char const kLibrary[] = "zu-no-such-library";
    char const * names[] = {"zu-test-missing", nullptr};
    TestByteEncoding encoding(148, names, nullptr, kLibrary);
    UnicodeLibLoader::SetLoadDirectory(ZUUC_TEST_MODULE_DIR);
    try {
        encoding.Load();
        ADD_FAILURE();
    } catch (UnableToLoadEncodingLibrary const & e) {
        EXPECT_EQ(e.GetLibrary(), kLibrary);
        EXPECT_EQ(&e.GetEncoding(), &encoding);
        EXPECT_STREQ(e.what(),
                     "Unable to load the library \"zu-no-such-library\" for the encoding "
                     "\"zu-test-missing\"");
    }
    EXPECT_FALSE(encoding.IsLoadable() || encoding.IsLoaded());

    // A module without the entry point is not an encoding library.
    char const * no_entry_names[] = {"zu-test-no-entry", nullptr};
    TestByteEncoding no_entry(149, no_entry_names, nullptr, "zutestnoentry");
    EXPECT_THROW(no_entry.Load(), UnableToLoadEncodingLibrary);
    EXPECT_FALSE(UnicodeLibLoader::Load("zutestnoentry") || no_entry.IsLoadable());
}

TEST_F(LoaderTest, LibraryThatDoesNotImplementTheEncodingOrNoLibrary) {
    char const * names[] = {"zu-test-not-implemented", nullptr};
    TestByteEncoding encoding(150, names, nullptr, "zutestempty");
    UnicodeLibLoader::SetLoadDirectory(ZUUC_TEST_MODULE_DIR);
    try {
        encoding.Load();
        ADD_FAILURE();
    } catch (EncodingNotLoaded const & e) {
        EXPECT_NE(dynamic_cast<LibraryDoesNotImplementEncoding const *>(&e), nullptr);
        EXPECT_STREQ(e.what(),
                     "The library \"zutestempty\" was loaded, but did not implement encoding "
                     "\"zu-test-not-implemented\"");
    }
    // The library loads, so the encoding counts as loadable though it is not loaded.
    EXPECT_TRUE(encoding.IsLoadable() && !encoding.IsLoaded());

    char const * orphan_names[] = {"zu-test-orphan", nullptr};
    TestByteEncoding orphan(151, orphan_names, nullptr, nullptr);  // no library at all
    EXPECT_THROW(orphan.Load(), NoEncodingLibraryRegistered);
    EXPECT_FALSE(orphan.IsLoadable());
}

int gHookCalls = 0;
TestByteEncoding * gHooked = nullptr;
unsigned short const kHookTable[1] = {0};
void Hook() {
    ++gHookCalls;
    gHooked->InstallTables(kHookTable);
}

TEST_F(LoaderTest, LoaderHookRunsBeforeAnyLibrary) {
    char const * names[] = {"zu-test-hooked", nullptr};
    TestByteEncoding encoding(152, names, &Hook, "zu-no-such-library");
    gHooked = &encoding;
    encoding.Load();
    EXPECT_TRUE(encoding.IsLoaded());
    EXPECT_EQ(gHookCalls, 1);
    gHooked = nullptr;
}

TEST_F(LoaderTest, LookingUpAndNamingNeverLoads) {
    char const * names[] = {"zu-test-lazy", "zu-lazy-alias", nullptr};
    TestByteEncoding encoding(153, names, nullptr, "zutestlib");
    UnicodeLibLoader::SetLoadDirectory(ZUUC_TEST_MODULE_DIR);
    EXPECT_TRUE(TextEncoding::Lookup("ZU_LAZY_ALIAS", 0) == &encoding &&
                CharEncoding::Lookup(TextEncodingID(153)) == &encoding);
    EXPECT_STREQ(encoding.Name(), "zu-test-lazy");
    EXPECT_TRUE(encoding.NameInUnicode() != nullptr && encoding == encoding);
    EXPECT_FALSE(encoding.Installs() != 0 || encoding.IsLoaded());
}

}  // namespace

// --- identifiers ---

namespace {

unsigned long V(TextEncodingID id) {
    return id;
}
unsigned long V(EncodingVariationID id) {
    return id;
}

// Packs variation numbers, first one lowest.
unsigned long Pack(std::initializer_list<unsigned> groups) {
    unsigned long v = 0;
    unsigned shift = 0;
    for (unsigned g : groups) {
        v |= static_cast<unsigned long>(g) << shift;
        shift += 5;
    }
    return v;
}

template <class Id>
void ExpectMalformed(std::initializer_list<unsigned long> values) {
    for (unsigned long value : values) {
        try {
            Id id(value);
            ADD_FAILURE() << "accepted " << static_cast<unsigned long>(id);
        } catch (typename Id::Malformed const & e) {
            EXPECT_EQ(e.GetID(), value);
        }
    }
}

TEST(EncodingVariationIDTest, AcceptsUpToFourVariationsOfNumbersZeroToNine) {
    // A zero group may stand below a non-zero one.
    for (unsigned long value : {0ul, 9ul, 0x20ul, Pack({9, 9, 9, 9}), Pack({1, 2, 3, 4})}) {
        EXPECT_EQ(V(EncodingVariationID(value)), value);
        EXPECT_TRUE(EncodingVariationID(value).IsWellFormed());
    }
    // Values that do not fit 32 bits are malformed, not truncated.
    ExpectMalformed<EncodingVariationID>(
        {10, 31, Pack({1, 10}), Pack({1, 1, 1, 1, 1}), 1ul << 20, 0x100000001ul, ~0ul});
}

TEST(EncodingVariationIDTest, AddingAppendsInOrderAndWalksBack) {
    EncodingVariationID list = EncodingVariationID::UTF8();
    list += EncodingVariationID::ByteOrderMark();
    list = list + EncodingVariationID::BigEndian();
    EXPECT_EQ(V(list), Pack({3, 1, 4}));
    // A zero group in the middle still counts towards the position.
    EXPECT_EQ(V(EncodingVariationID(0x20) + EncodingVariationID(1)), 0x20ul | (1ul << 10));
    // Adding None to an empty list keeps it empty.
    EXPECT_EQ(V(EncodingVariationID::None() + EncodingVariationID::None()), 0ul);
    std::string walked;
    for (EncodingVariationID rest = list; V(rest) != 0; rest = rest.GetRemainingVariationIDs()) {
        walked += std::to_string(V(rest.GetFirstVariationID()));
    }
    EXPECT_EQ(walked, "314");
    // Two plus two fit exactly.
    EXPECT_EQ(V(EncodingVariationID(Pack({1, 2})) + EncodingVariationID(Pack({3, 4}))),
              Pack({1, 2, 3, 4}));
}

TEST(EncodingVariationIDTest, TooManyVariationsLeavesTheLeftOperandAlone) {
    EncodingVariationID four(Pack({1, 2, 3, 4}));
    try {
        four += EncodingVariationID::Java();
        ADD_FAILURE();
    } catch (EncodingVariationID::TooManyVariations const & e) {
        EXPECT_EQ(e.GetBaseVariationID(), Pack({1, 2, 3, 4}));
        EXPECT_EQ(e.GetAdditionalVariationID(), 7ul);
        EXPECT_STREQ(e.what(),
                     "adding EncodingVariationIDs 0x00020c41 and 0x00000007 would exceed the "
                     "maximum number of variations");
    }
    EXPECT_EQ(V(four), Pack({1, 2, 3, 4}));
    EXPECT_THROW(four + EncodingVariationID::UTF7(), EncodingVariationID::TooManyVariations);
}

TEST(TextEncodingIDTest, BaseNumbersAndVariationGroups) {
    for (unsigned long value : {0ul, 190ul, 2 | (Pack({9, 9, 9}) << 12)})
        EXPECT_EQ(V(TextEncodingID(value)), value);
    ExpectMalformed<TextEncodingID>({191, 0xFFF, 0xA002 /* variation group 10 */,
                                     2 | (Pack({1, 1, 1, 1}) << 12), 0x100000002ul});
    try {
        TextEncodingID id(191);
        (void)id;
        ADD_FAILURE();
    } catch (zu_exception const & e) {
        EXPECT_STREQ(e.what(), "malformed TextEncodingID 0x000000bf");
    }
}

TEST(TextEncodingIDTest, AddingVariationsPacksAboveTheBase) {
    TextEncodingID bom = TextEncodingID::UTF16() + EncodingVariationID::UTF8();
    EXPECT_EQ(V(bom), 0x3002ul);
    bom += EncodingVariationID::ByteOrderMark();
    EXPECT_EQ(V(bom), 0x23002ul);
    EXPECT_EQ(V(bom.GetBaseEncodingID()), 2ul);
    EXPECT_EQ(V(bom.GetVariationIDs()), 0x23ul);
    // A list of several variations added at once keeps its order.
    EXPECT_EQ(V(TextEncodingID::CP1252() + EncodingVariationID(Pack({7, 8}))),
              8ul | (Pack({7, 8}) << 12));

    TextEncodingID three = TextEncodingID::UTF32() + EncodingVariationID(Pack({1, 2, 3}));
    unsigned long const before = three;
    try {
        three += EncodingVariationID::Java();
        ADD_FAILURE();
    } catch (TextEncodingID::TooManyVariations const & e) {
        EXPECT_EQ(e.GetTextEncodingID(), before);
        EXPECT_EQ(e.GetEncodingVariationID(), 7ul);
        EXPECT_STREQ(e.what(),
                     "adding TextEncodingID 0x00c410a9 and EncodingVariationID 0x00000007 would "
                     "exceed the maximum number of variations");
    }
    EXPECT_EQ(V(three), before);
    EXPECT_THROW(TextEncodingID::UTF16() + EncodingVariationID(Pack({1, 1, 1, 1})),
                 TextEncodingID::TooManyVariations);
}

TEST(IdentifierErrorsTest, CopiesKeepTheirOwnMessageAndAllAreLibraryExceptions) {
    auto copy_of = [](unsigned long value) {
        try {
            TextEncodingID id(value);
            (void)id;
        } catch (TextEncodingID::Malformed const & e) {
            TextEncodingID::Malformed copy(e);
            return copy;
        }
        return TextEncodingID::Malformed(0);
    };
    TextEncodingID::Malformed kept = copy_of(0xA002);
    EXPECT_STREQ(kept.what(), "malformed TextEncodingID 0x0000a002");
    TextEncodingID::Malformed assigned(1);
    assigned = kept;
    EXPECT_STREQ(assigned.what(), kept.what());
    EXPECT_NE(assigned.what(), kept.what());  // each object owns its text
    EXPECT_EQ(assigned.GetID(), 0xA002ul);

    int caught = 0;
    try {
        EncodingVariationID(10);
    } catch (UnicodeLibraryException const &) {
        ++caught;
    }
    try {
        TextEncodingID(500);
    } catch (UnicodeLibraryException const &) {
        ++caught;
    }
    EXPECT_EQ(caught, 2);
}

}  // namespace
