// Collation tables: loading a collation file (either byte order), checking
// that it holds together, and tables kept in memory by the caller.
#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "collation/collation_table.h"
#include "zuuc/collation.h"
#include "zuuc/exceptions.h"
#include "zuuc/loader.h"

namespace zuuc_internal::collation {

namespace {

constexpr std::size_t kPathSize = 260;
constexpr int kMaxContractionDepth = 32;

// Whether `index` words from `base` lie inside a table of `count` words.
inline bool Inside(std::size_t count, std::size_t base, std::size_t index, std::size_t length = 1) {
    return base <= count && index <= count - base && length <= count - base - index;
}

// Whether an element keeps clear of the key terminators: a primary of 0 or
// from 0x0102 up (level 1 and the level-4 weights taken from primaries end
// with the pair 01 01), and no secondary or tertiary of 1 (levels 2 and 3
// end with 01). Keys built from other weights would not find their own end.
inline bool Weighable(std::uint32_t e) {
    std::uint32_t const p = e >> 16;
    return (p == 0 || p >= 0x0102) && ((e >> 8) & 0xFF) != 1 && (e & 0xFF) != 1;
}

struct Checker {
    std::uint32_t const * w;
    std::size_t n;

    bool Value(std::uint32_t v, int depth) const {
        if (v < kExpansion)
            return Weighable(v);
        if (v == kNoEntry)
            return true;
        std::size_t const i = v & 0xFFFFF;
        if (v < kContraction) {  // an expansion: its elements, then the end mark
            std::size_t const e = w[kExpansionWord];
            for (std::size_t k = i;; ++k) {
                if (!Inside(n, e, k))
                    return false;
                if (w[e + k] == kNoEntry)
                    return true;
                if (!Weighable(w[e + k]))
                    return false;
            }
        }
        std::size_t const c = w[kCandidateWord];
        std::size_t const m = w[kMappingWord];
        if (depth > kMaxContractionDepth || !Inside(n, c, i) || !Inside(n, m, i))
            return false;
        std::size_t const k = w[c + i];
        if (!Inside(n, c, i, k + 1) || !Inside(n, m, i, k + 1) || IsContraction(w[m + i]))
            return false;
        for (std::size_t j = 1; j <= k; ++j) {
            if (j > 1 && w[c + i + j] <= w[c + i + j - 1])
                return false;
        }
        for (std::size_t j = 0; j <= k; ++j) {
            if (!Value(w[m + i + j], depth + 1))
                return false;
        }
        return true;
    }

    bool Sorted(std::size_t at) const {  // a count and that many ascending words
        if (!Inside(n, at, 0))
            return false;
        std::size_t const k = w[at];
        if (!Inside(n, at, 0, k + 1))
            return false;
        for (std::size_t j = 2; j <= k; ++j) {
            if (w[at + j] <= w[at + j - 1])
                return false;
        }
        return true;
    }

    bool Trie() const {
        std::size_t const t = w[kTrieWord];
        if (!Inside(n, t, 0, 256))
            return false;
        std::vector<bool> seen(n, false);  // leaves already checked
        for (std::size_t plane = 0; plane < 256; ++plane) {
            std::size_t const mid = w[t + plane];
            if (!Inside(n, t, mid, 256))
                return false;
            for (std::size_t row = 0; row < 256; ++row) {
                std::size_t const leaf = w[t + mid + row];
                if (!Inside(n, t, leaf, 256))
                    return false;
                if (seen[t + leaf])
                    continue;
                seen[t + leaf] = true;
                for (std::size_t cell = 0; cell < 256; ++cell) {
                    if (!Value(w[t + leaf + cell], 0))
                        return false;
                }
            }
        }
        return true;
    }
};

}  // namespace

bool IsSound(std::uint32_t const * words, std::size_t count) {
    if (count < kHeaderWords || words[0] != kByteOrderMark)
        return false;
    for (std::size_t k = kReorderWord; k <= kMappingWord; ++k) {
        if (words[k] >= count)
            return false;
    }
    Checker const check{words, count};
    std::size_t const flags = words[kLevelFlagsWord];
    return check.Sorted(words[kReorderWord]) &&
           Inside(count, flags, 0, std::size_t{words[flags]} + 1) && check.Trie();
}

}  // namespace zuuc_internal::collation

namespace {

struct FileCloser {
    void operator()(std::FILE * f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` inside `folder` (which ends in '/'), unless the two do not fit
// a path of 260 bytes.
std::FILE * OpenIn(char const * folder, std::size_t folder_length, char const * path) {
    char full[zuuc_internal::collation::kPathSize];
    std::size_t const length = std::strlen(path);
    if (folder_length == 0 || folder_length + length >= sizeof full)
        return nullptr;
    std::memcpy(full, folder, folder_length);
    std::memcpy(full + folder_length, path, length + 1);
    return std::fopen(full, "rb");
}

// The folder of libzuuc421.so, where the default table is installed.
std::FILE * OpenBesideLibrary(char const * path) {
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&OpenBesideLibrary), &info) == 0 ||
        info.dli_fname == nullptr) {
        return nullptr;
    }
    char const * slash = std::strrchr(info.dli_fname, '/');
    if (slash == nullptr)
        return nullptr;
    return OpenIn(info.dli_fname, static_cast<std::size_t>(slash - info.dli_fname) + 1, path);
}

std::FILE * OpenTable(char const * path) {
    std::FILE * f = std::fopen(path, "rb");
    if (f == nullptr) {
        char folder[zuuc_internal::collation::kPathSize];
        UnicodeLibLoader::GetLoadDirectory(folder, sizeof folder);
        f = OpenIn(folder, std::strlen(folder), path);
    }
    if (f == nullptr && path[0] != '/')
        f = OpenBesideLibrary(path);
    return f;
}

inline std::uint32_t Swap(std::uint32_t v) {
    return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24);
}

}  // namespace

CollationSequence::CollationSequence() : table_(nullptr), owned_(false) {
    Load("default.zct");
}

CollationSequence::CollationSequence(char const * path) : table_(nullptr), owned_(false) {
    Load(path);
}

CollationSequence::CollationSequence(unsigned int const * table) : table_(table), owned_(false) {}

CollationSequence::~CollationSequence() {
    if (owned_)
        delete[] table_;
}

unsigned int CollationSequence::Signature() const {
    return table_ != nullptr ? table_[zuuc_internal::collation::kSignatureWord] : 0;
}

void CollationSequence::Load(char const * path) {
    File file(path != nullptr ? OpenTable(path) : nullptr);
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        throw zu_collation_file_error();
    long const size = std::ftell(file.get());
    if (size < 0)
        throw zu_collation_file_error();
    if (size < 1 || size % 4 != 0 || std::fseek(file.get(), 0, SEEK_SET) != 0) {
        throw zu_collation_file_corruption_error();
    }
    std::size_t const count = static_cast<std::size_t>(size) / 4;
    std::unique_ptr<unsigned int[]> words(new unsigned int[count]);
    if (std::fread(words.get(), 4, count, file.get()) != count)
        throw zu_collation_file_corruption_error();
    if (words[0] != zuuc_internal::collation::kByteOrderMark) {
        for (std::size_t i = 0; i < count; ++i)
            words[i] = Swap(words[i]);
    }
    if (!zuuc_internal::collation::IsSound(words.get(), count))
        throw zu_collation_file_corruption_error();
    table_ = words.release();
    owned_ = true;
}
