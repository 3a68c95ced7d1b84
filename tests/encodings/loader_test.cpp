// Loading encoding libraries on demand, through real dlopen calls on the
// small test modules that this folder's CMakeLists builds.
#include <gtest/gtest.h>

#include <string>

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
    UnicodeLibLoader::SetLoadDirectory("/opt/zuuc/lib");
    EXPECT_EQ(LoadDirectory(), "/opt/zuuc/lib/");
    UnicodeLibLoader::SetLoadDirectory("/opt/zuuc/lib/");
    EXPECT_EQ(LoadDirectory(), "/opt/zuuc/lib/");
    UnicodeLibLoader::SetLoadDirectory("C:\\zuuc\\");
    EXPECT_EQ(LoadDirectory(), "C:\\zuuc\\");

    char small[6] = {'x', 'x', 'x', 'x', 'x', 'x'};
    UnicodeLibLoader::GetLoadDirectory(small, 5);
    EXPECT_STREQ(small, "C:\\z");
    EXPECT_EQ(small[5], 'x');  // nothing written past the size given

    std::string const long_directory(400, 'd');
    UnicodeLibLoader::SetLoadDirectory(long_directory.c_str());
    std::string const cut = LoadDirectory();
    EXPECT_EQ(cut.size(), 259u);  // 258 bytes of the directory, a separator, then NUL
    EXPECT_EQ(cut.back(), '/');

    UnicodeLibLoader::SetLoadDirectory("");
    EXPECT_EQ(LoadDirectory(), "");
    UnicodeLibLoader::GetLoadDirectory(small, 0);  // no room: nothing happens
}

TEST_F(LoaderTest, LoadsFromTheLoadDirectoryAndCallsTheEntryPointOnce) {
    char const * names[] = {ZUUC_TEST_LOADABLE_NAME, nullptr};
    TestByteEncoding encoding(146, names, nullptr, "zutestlib");
    EXPECT_FALSE(encoding.IsLoaded());

    // Not found by the default search.
    EXPECT_THROW(encoding.Load(), UnableToLoadEncodingLibrary);
    EXPECT_FALSE(encoding.IsLoaded());

    UnicodeLibLoader::SetLoadDirectory(ZUUC_TEST_MODULE_DIR);
    encoding.Load();
    EXPECT_TRUE(encoding.IsLoaded());
    ASSERT_NE(encoding.Table(), nullptr);
    EXPECT_EQ(static_cast<unsigned short const *>(encoding.Table())[1], 0x42);
    EXPECT_EQ(encoding.Installs(), 1);

    encoding.Load();  // already loaded: no library call
    EXPECT_EQ(encoding.Installs(), 1);
    EXPECT_TRUE(UnicodeLibLoader::Load("zutestlib"));  // a module is initialised once
    EXPECT_TRUE(UnicodeLibLoader::IsLoadable("zutestlib"));
    EXPECT_EQ(encoding.Installs(), 1);
}

TEST_F(LoaderTest, DefaultSearchFindsModulesNextToTheLibrary) {
    char const * names[] = {ZUUC_TEST_DEFAULT_NAME, nullptr};
    TestByteEncoding encoding(147, names, nullptr, "zutestdefault");
    EXPECT_TRUE(encoding.IsLoadable());
    EXPECT_TRUE(encoding.IsLoaded());
}

TEST_F(LoaderTest, MissingLibraryNamesTheLibrary) {
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
    EXPECT_FALSE(encoding.IsLoadable());
    EXPECT_FALSE(encoding.IsLoaded());
}

TEST_F(LoaderTest, ModuleWithoutEntryPointIsNotAnEncodingLibrary) {
    char const * names[] = {"zu-test-no-entry", nullptr};
    TestByteEncoding encoding(149, names, nullptr, "zutestnoentry");
    UnicodeLibLoader::SetLoadDirectory(ZUUC_TEST_MODULE_DIR);
    EXPECT_THROW(encoding.Load(), UnableToLoadEncodingLibrary);
    EXPECT_FALSE(UnicodeLibLoader::Load("zutestnoentry"));
    EXPECT_FALSE(encoding.IsLoadable());
}

TEST_F(LoaderTest, LibraryThatDoesNotImplementTheEncoding) {
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
    EXPECT_TRUE(encoding.IsLoadable());
    EXPECT_FALSE(encoding.IsLoaded());
}

TEST_F(LoaderTest, EncodingWithoutLibrary) {
    char const * names[] = {"zu-test-orphan", nullptr};
    TestByteEncoding encoding(151, names, nullptr, nullptr);
    EXPECT_THROW(encoding.Load(), NoEncodingLibraryRegistered);
    EXPECT_FALSE(encoding.IsLoadable());
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
    EXPECT_EQ(TextEncoding::Lookup("ZU_LAZY_ALIAS", 0), &encoding);
    EXPECT_EQ(CharEncoding::Lookup(TextEncodingID(153)), &encoding);
    EXPECT_STREQ(encoding.Name(), "zu-test-lazy");
    EXPECT_NE(encoding.NameInUnicode(), nullptr);
    EXPECT_TRUE(encoding == encoding);
    EXPECT_EQ(encoding.Installs(), 0);
    EXPECT_FALSE(encoding.IsLoaded());
}

}  // namespace
