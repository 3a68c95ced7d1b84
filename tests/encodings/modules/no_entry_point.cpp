// A module that is a shared library but not an encoding library.
#include "zuuc/export.h"

extern "C" ZUUC_EXPORT int zuuc_test_not_an_entry_point() {
    return 1;
}
