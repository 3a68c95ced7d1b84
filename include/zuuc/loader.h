// Loading the encoding libraries that hold the legacy code tables.
//
// An encoding library is a shared module `<name>.so` that exports a C
// function `_InitializeLibrary` (no arguments); calling it installs the
// tables of the encodings the module implements. Modules are looked for in
// the load directory, when one is set, and then by the system's default
// search, which includes the folder of libzuuc421.so itself.
#ifndef ZUUC_LOADER_H
#define ZUUC_LOADER_H

#include "zuuc/export.h"

class ZUUC_EXPORT UnicodeLibLoader {
public:
    // Loads the library and runs its initialisation; false when the module
    // cannot be opened or has no initialisation function. The module stays
    // loaded for the rest of the process.
    static bool Load(char const * name);
    // Exactly Load(name).
    static bool IsLoadable(char const * name);
    // Sets the folder searched first; a '/' is appended unless the folder
    // ends in '/' or '\'. An empty string clears it. Cut to fit 260 bytes.
    static void SetLoadDirectory(char const * directory);
    // Copies the load directory into buffer (at most size bytes, always
    // NUL-terminated when size > 0).
    static void GetLoadDirectory(char * buffer, int size);
};

#endif
