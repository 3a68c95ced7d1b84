// Shapes of the Unicode property tables and their lookups.
//
// The tables themselves are generated (src/chardb/generated, written by
// tools/chardb/gen_unicode_tables.py) and are constant data: they are complete
// before any code of the library runs, never change and may be read from any
// thread.
#ifndef ZUUC_CHARDB_UNICODE_TABLES_H
#define ZUUC_CHARDB_UNICODE_TABLES_H

#include <cstdint>

namespace zuuc_internal::chardb {

// A table over all 32-bit values, in four levels of 256 entries:
//   level1[cp >> 24] -> level2[..][(cp >> 16) & 0xFF]
//   -> level3[..][(cp >> 8) & 0xFF] -> leaves[..][cp & 0xFF].
// Each level holds the number of an array of the next level (identical
// arrays and identical 256-value leaves are stored once).  The generator
// fills every entry, including those of the values above U+10FFFF, which
// lead to a leaf of unassigned-code-point defaults; a lookup is therefore
// four dependent loads with no range check and no way out of bounds.
template <typename T, typename I2, typename I3, typename IL>
struct FourLevelTable {
    T default_value;  // the value of an unassigned code point
    const I2 * level1;
    const I3 (*level2)[256];
    const IL (*level3)[256];
    const T (*leaves)[256];

    T Lookup(std::uint32_t cp) const {
        return leaves[level3[level2[level1[cp >> 24]][(cp >> 16) & 0xFF]][(cp >> 8) & 0xFF]]
                     [cp & 0xFF];
    }
};

// A table over the Basic Multilingual Plane only:
//   index[(cp >> 8) & 0xFF] -> blocks[..][cp & 0xFF].
// The caller keeps cp below 0x10000 (Lookup masks it, so it never reads out
// of bounds whatever it is given).
template <typename T, typename I>
struct TwoLevelTable {
    T default_value;
    const I * index;
    const T (*blocks)[256];

    T Lookup(std::uint32_t cp) const { return blocks[index[(cp >> 8) & 0xFF]][cp & 0xFF]; }
};

}  // namespace zuuc_internal::chardb

// The tables are internal to the library; declaring them hidden lets the
// lookups address them directly rather than through the GOT.
#pragma GCC visibility push(hidden)
#include "chardb/generated/unicode_tables_decl.h"
#pragma GCC visibility pop

#endif
