// Shapes of the mapping tables of the per-character transforms.
//
// The tables are generated (src/transforms/generated/transform_tables.cpp,
// written by tools/transforms/gen_transform_tables.py from the Unicode 4.0
// data) and are constant data. In every table the value 0 means "no
// mapping": the code point stays as it is.
#ifndef ZUUC_TRANSFORMS_TRANSFORM_TABLES_H
#define ZUUC_TRANSFORMS_TRANSFORM_TABLES_H

#include <cstdint>

#include "chardb/unicode_tables.h"

namespace zuuc_internal::transforms {

// A map over the BMP: index[cp >> 8] -> blocks[..][cp & 0xFF]. Code points
// above U+FFFF have no mapping.
struct BmpMap {
    std::uint8_t const * index;
    std::uint16_t const (*blocks)[256];

    unsigned int Lookup(unsigned int cp) const {
        return cp > 0xFFFF ? 0 : blocks[index[cp >> 8]][cp & 0xFF];
    }
    // The mapped code point, or `cp` itself when it has no mapping.
    unsigned int Map(unsigned int cp) const {
        unsigned int const m = Lookup(cp);
        return m != 0 ? m : cp;
    }
};

// A map over every 32-bit value, in the four-level layout of the property
// tables.
struct CodePointMap {
    zuuc_internal::chardb::FourLevelTable<std::uint32_t, std::uint8_t, std::uint8_t, std::uint8_t>
        table;

    unsigned int Lookup(unsigned int cp) const { return table.Lookup(cp); }
};

// A map over one range of code points: values[cp - first] for the `count`
// code points from `first`.
struct KanaRangeMap {
    unsigned int first;
    unsigned int count;
    std::uint32_t const * values;

    unsigned int Map(unsigned int cp) const {
        unsigned int const i = cp - first;  // wraps below `first`
        unsigned int const m = i < count ? values[i] : 0;
        return m != 0 ? m : cp;
    }
};

#pragma GCC visibility push(hidden)
extern BmpMap const kUpperMap;
extern BmpMap const kLowerMap;
extern BmpMap const kHalfwidthMap;
extern BmpMap const kFullwidthMap;
extern CodePointMap const kCombiningMarkMap;
extern CodePointMap const kSpacingMarkMap;
extern KanaRangeMap const kSmallToLargeKanaMap;
extern KanaRangeMap const kLargeToSmallKanaMap;
#pragma GCC visibility pop

}  // namespace zuuc_internal::transforms

#endif
