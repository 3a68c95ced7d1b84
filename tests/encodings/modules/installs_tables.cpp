// A well-behaved encoding library: installs the tables of the two test
// encodings that the test program registers.
#include "encodings/modules/test_module.h"
#include "support/test_encodings.h"

namespace {
unsigned short const kTable[256] = {0x41, 0x42, 0x43};

void Install(char const * name) {
    TextEncoding * encoding = TextEncoding::Lookup(name, 1);
    if (encoding != nullptr) {
        static_cast<zuuc_test::TestByteEncoding *>(encoding)->InstallTables(kTable);
    }
}
}  // namespace

extern "C" ZUUC_EXPORT void _InitializeLibrary() {
    Install(ZUUC_TEST_LOADABLE_NAME);
    Install(ZUUC_TEST_DEFAULT_NAME);
}
