// Loading encoding libraries on demand, through real dlopen calls on the
// small test modules that this folder's CMakeLists builds.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "encodings/modules/test_module.h"
#include "support/test_encodings.h"
#include "zuuc/exceptions.h"
#include "zuuc/loader.h"

using zuuc_test::TestByteEncoding;

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
    for (auto [given, kept] : {std::pair<char const *, char const *>{"/opt/zuuc/lib", "/opt/zuuc/lib/"},
                               {"/opt/zuuc/lib/", "/opt/zuuc/lib/"}, {"C:\\zuuc\\", "C:\\zuuc\\"}, {"", ""}}) {
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
    encoding.Load();  // already loaded: no library call
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
    EXPECT_TRUE(TextEncoding::Lookup("ZU_LAZY_ALIAS", 0) == &encoding && CharEncoding::Lookup(TextEncodingID(153)) == &encoding);
    EXPECT_STREQ(encoding.Name(), "zu-test-lazy");
    EXPECT_TRUE(encoding.NameInUnicode() != nullptr && encoding == encoding);
    EXPECT_FALSE(encoding.Installs() != 0 || encoding.IsLoaded());
}

}  // namespace
