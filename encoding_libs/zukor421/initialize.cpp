// zukor421: installs the code tables of its encodings into zuuc421.
#include "../mbcs_install.h"
#include "generated/mbcs_tables.h"
#include "zuuc/export.h"

// Called by UnicodeLibLoader each time it opens this module.
extern "C" ZUUC_EXPORT void _InitializeLibrary() {
    zuuc_module::InstallMbcsTables(kMbcsTables, kMbcsTableCount);
    zuuc_module::InstallModalTables(kModalTables, kModalTableCount);
}
