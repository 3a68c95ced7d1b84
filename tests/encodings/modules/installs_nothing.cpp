// An encoding library that initialises but implements no encoding.
#include "zuuc/export.h"

extern "C" ZUUC_EXPORT void _InitializeLibrary() {}
