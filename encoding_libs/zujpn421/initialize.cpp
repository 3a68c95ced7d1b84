// zujpn421: installs the code tables of its encodings into zuuc421.
#include "../mbcs_install.h"
#include "generated/mbcs_tables.h"
#include "generated/sbcs_tables.h"
#include "zuuc/export.h"
#include "zuuc/sbcs_encoding.h"

// Called by UnicodeLibLoader each time it opens this module. Each encoding is
// found by its identifier; one that is not of the class its tables are for
// is left alone.
extern "C" ZUUC_EXPORT void _InitializeLibrary() {
    for (unsigned i = 0; i < kSbcsTableCount; ++i) {
        SbcsTableEntry const & entry = kSbcsTables[i];
        auto * encoding =
            dynamic_cast<SBCSEncoding *>(CharEncoding::Lookup(TextEncodingID(entry.id)));
        if (encoding != nullptr) {
            encoding->InstallTables(entry.to_unicode, entry.from_unicode);
        }
    }
    zuuc_module::InstallMbcsTables(kMbcsTables, kMbcsTableCount);
    zuuc_module::InstallModalTables(kModalTables, kModalTableCount);
}
