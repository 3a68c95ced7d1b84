// The layout of a collation table and the checks a loaded file must pass.
//
// A table is a sequence of 32-bit words: byte-order mark, signature, a word
// the collation does not read, alternate handling, variable top, then the
// offsets of the reorder set, the level flags, the trie, the expansions, the
// contraction candidates and the contraction mappings. docs/collation.md
// describes the format and the default table.
#ifndef ZUUC_COLLATION_COLLATION_TABLE_H
#define ZUUC_COLLATION_COLLATION_TABLE_H

#include <cstddef>
#include <cstdint>

namespace zuuc_internal::collation {

constexpr std::uint32_t kByteOrderMark = 0xFEFF;
constexpr std::uint32_t kExpansion = 0xFFE00000;    // up to kContraction: an expansion
constexpr std::uint32_t kContraction = 0xFFF00000;  // up to kNoEntry: a contraction
constexpr std::uint32_t kNoEntry = 0xFFFFFFFF;      // also ends an expansion
constexpr std::size_t kHeaderWords = 11;

enum Word : std::size_t {
    kSignatureWord = 1,
    kAlternateWord = 3,
    kVariableTopWord = 4,
    kReorderWord = 5,
    kLevelFlagsWord = 6,
    kTrieWord = 7,
    kExpansionWord = 8,
    kCandidateWord = 9,
    kMappingWord = 10,
};

inline bool IsContraction(std::uint32_t v) {
    return v >= kContraction && v != kNoEntry;
}

// A view of a table with its sub-tables resolved.
struct Table {
    explicit Table(std::uint32_t const * words)
        : alternate(words[kAlternateWord]),
          top(words[kVariableTopWord]),
          reorder(words + words[kReorderWord] + 1),
          reorder_count(words[words[kReorderWord]]),
          flags(words + words[kLevelFlagsWord]),
          trie(words + words[kTrieWord]),
          expansions(words + words[kExpansionWord]),
          candidates(words + words[kCandidateWord]),
          mappings(words + words[kMappingWord]) {}

    std::uint32_t Lookup(std::uint32_t c) const {
        return trie[trie[trie[(c >> 16) & 0xFF] + ((c >> 8) & 0xFF)] + (c & 0xFF)];
    }
    // Whether `level` (1 to 4) is compared backwards.
    bool Backward(int level) const {
        return static_cast<std::uint32_t>(level) < flags[0] && flags[level] != 0;
    }

    std::uint32_t alternate;
    std::uint32_t top;
    std::uint32_t const * reorder;
    std::uint32_t reorder_count;
    std::uint32_t const * flags;
    std::uint32_t const * trie;
    std::uint32_t const * expansions;
    std::uint32_t const * candidates;
    std::uint32_t const * mappings;
};

// Whether `count` words in native order form a table whose every reference
// stays inside it (so that no string can make the collation read past it)
// and whose every element has weights that keys can hold.
bool IsSound(std::uint32_t const * words, std::size_t count);

}  // namespace zuuc_internal::collation

#endif
