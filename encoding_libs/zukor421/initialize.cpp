// zukor421: installs the code tables of its encodings into zuuc421. Its
// encodings are all multi-byte; their tables are not built yet, so it
// installs nothing for now.
#include "zuuc/export.h"

// Called by UnicodeLibLoader each time it opens this module.
extern "C" ZUUC_EXPORT void _InitializeLibrary() {}
