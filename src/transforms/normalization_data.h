// Shapes of the normalization tables and the lookups the normalizer makes.
//
// The tables are generated (src/transforms/generated, written by
// tools/normalization/gen_normalization_tables.py) and constant.
#ifndef ZUUC_TRANSFORMS_NORMALIZATION_DATA_H
#define ZUUC_TRANSFORMS_NORMALIZATION_DATA_H

#include <cstdint>

#include "chardb/unicode_tables.h"

namespace zuuc_internal::normalization {

// One slot of the composition hash table; `first` is 0 in an empty slot.
struct CompositionEntry {
    std::uint32_t first;
    std::uint32_t second;
    std::uint32_t composite;
};

}  // namespace zuuc_internal::normalization

#pragma GCC visibility push(hidden)
#include "transforms/generated/normalization_tables_decl.h"
#pragma GCC visibility pop

namespace zuuc_internal::normalization {

// Normalization forms, numbered as the public Form values.
enum : int { kNFD = 0, kNFC = 1, kNFKD = 2, kNFKC = 3 };

// Hangul syllables and jamo (composed and decomposed by rule).
constexpr std::uint32_t kSBase = 0xAC00, kLBase = 0x1100, kVBase = 0x1161, kTBase = 0x11A7;
constexpr std::uint32_t kLCount = 19, kVCount = 21, kTCount = 28;
constexpr std::uint32_t kNCount = kVCount * kTCount, kSCount = kLCount * kNCount;

inline std::uint32_t CombiningClass(std::uint32_t cp) {
    return kCombiningClassTable.Lookup(cp);
}

// Per-form flags (see the generator): inert and boundary bits.
inline std::uint8_t Flags(std::uint32_t cp) {
    return kNormalizationFlagsTable.Lookup(cp);
}
inline std::uint8_t FlagsBmp(std::uint32_t cp) {  // cp below 0x10000
    return kNormalizationBmpBlocks[kNormalizationBmpIndex[cp >> 8]][cp & 0xFF];
}
constexpr std::uint8_t InertBit(int form) {
    return static_cast<std::uint8_t>(1u << form);
}
constexpr std::uint8_t BoundaryBit(int form) {
    return static_cast<std::uint8_t>(16u << form);
}

// The mapping of `cp` in the pool (length word first), or null when it has
// none of the kind asked for.
inline std::uint32_t const * Mapping(std::uint32_t cp, bool compatibility) {
    std::uint32_t i = kDecompositionIndexTable.Lookup(cp);
    if (i == 0xFFFF || (!compatibility && i + 1 >= kCanonicalPoolLimit))
        return nullptr;
    return kDecompositionPool + i;
}

// The same for a BMP code point below the surrogates, with fewer loads.
inline std::uint32_t const * MappingBmp(std::uint32_t cp, bool compatibility) {
    std::uint32_t i = kDecompositionBmpBlocks[kDecompositionBmpIndex[cp >> 8]][cp & 0xFF];
    if (i == 0xFFFF || (!compatibility && i + 1 >= kCanonicalPoolLimit))
        return nullptr;
    return kDecompositionPool + i;
}

// The canonical composite of the pair, or 0 when the pair does not compose.
inline std::uint32_t Compose(std::uint32_t first, std::uint32_t second) {
    if (first - kLBase < kLCount) {
        return second - kVBase < kVCount
                   ? kSBase + ((first - kLBase) * kVCount + second - kVBase) * kTCount
                   : 0;
    }
    if (first - kSBase < kSCount) {
        return (first - kSBase) % kTCount == 0 && second - kTBase - 1 < kTCount - 1
                   ? first + second - kTBase
                   : 0;
    }
    constexpr std::uint32_t mask = (1u << kCompositionHashBits) - 1;
    std::uint32_t h =
        ((first * 0x9E3779B1u) ^ (second * 0x85EBCA77u)) >> (32 - kCompositionHashBits);
    for (;;) {
        CompositionEntry const & e = kCompositions[h];
        if (e.first == first && e.second == second)
            return e.composite;
        if (e.first == 0)
            return 0;
        h = (h + 1) & mask;
    }
}

}  // namespace zuuc_internal::normalization

#endif
