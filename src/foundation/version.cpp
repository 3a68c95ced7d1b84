// Version queries.
#include "zuuc/foundation.h"

unsigned long UnicodeLibrary::VersionNumber() {
    return 0x04212001UL;
}

char const * UnicodeLibrary::VersionString() {
    return "MIRU 4.2.1, May  6 2008 13:54:34";
}

bool UnicodeLibrary::VersionIsCompatible(unsigned long first, unsigned int second) {
    return first == 28 && second == 16;
}
