// Four-level collation: element lists (NFD, reordering, trie, expansions,
// contractions, implicit elements), weights, keys and direct comparison.
//
// Keys: signature (4 bytes big-endian); primaries as 2-byte pairs, ended by
// the pair 01 01; secondaries and tertiaries as single bytes, each level
// ended by 01; level-4 weights as pairs, ended by 01 01. Levels 1 and 4 are
// read in pairs, so only a whole pair 01 01 ends them. Every weight the
// default table and the implicit elements produce is at least 0x0201 (pairs)
// or 0x02 (bytes), so a key's plain byte order is its level-by-level order
// and agrees with direct comparison.
#include <algorithm>
#include <cstring>
#include <memory>

#include "collation/collation_table.h"
#include "transforms/normalization_data.h"
#include "transforms/normalize.h"
#include "zuuc/collation.h"
#include "zuuc/exceptions.h"
#include "zuuc/unicode_character.h"

namespace {

using zuuc_internal::collation::Table;

// The first N entries live inside the object (on the stack); more go to a
// heap block that grows by the golden ratio.
template <typename T, std::size_t N>
class InlineArray {
public:
    InlineArray() = default;
    InlineArray(InlineArray const &) = delete;
    InlineArray & operator=(InlineArray const &) = delete;

    T * data() { return data_; }
    T const * data() const { return data_; }
    std::size_t size() const { return size_; }
    // Room for `extra` more entries; returns where they go.
    T * Reserve(std::size_t extra) {
        if (extra > capacity_ - size_)
            Grow(size_ + extra);
        return data_ + size_;
    }
    void Commit(std::size_t count) { size_ += count; }
    void Resize(std::size_t size) { size_ = size; }
    void PushBack(T value) {
        if (size_ == capacity_)
            Grow(size_ + 1);
        data_[size_++] = value;
    }

private:
    void Grow(std::size_t need) {
        std::size_t capacity = static_cast<std::size_t>(static_cast<double>(capacity_) * 1.6180339);
        capacity = std::max(capacity, need);
        std::unique_ptr<T[]> block(new T[capacity]);
        std::memcpy(block.get(), data_, size_ * sizeof(T));
        heap_ = std::move(block);
        data_ = heap_.get();
        capacity_ = capacity;
    }

    T inline_[N];
    T * data_ = inline_;
    std::size_t size_ = 0;
    std::size_t capacity_ = N;
    std::unique_ptr<T[]> heap_;
};

// Sized so that lines under 1,000 characters stay on the stack (a Hangul
// syllable decomposes into three jamo, an ideograph takes two elements and
// ten key bytes).
using CharBuffer = InlineArray<std::uint32_t, 3072>;
using ElementList = InlineArray<std::uint32_t, 4096>;
using KeyBuffer = InlineArray<unsigned char, 16384>;
using Utf32Buffer = InlineArray<unsigned int, 1024>;

constexpr std::uint32_t kLastCodePoint = 0x10FFFF;
constexpr std::uint32_t kImplicitTail = 0x2002;  // common secondary 0x20, tertiary 0x02

// ---------------------------------------------------------------------------
// Characters: NFD and reordering

bool Decomposed(std::uint32_t c) {  // unchanged by NFD, class 0
    if (c < 0xC0)
        return true;
    std::uint8_t const bit =
        zuuc_internal::normalization::InertBit(zuuc_internal::normalization::kNFD);
    return (c < 0x10000 ? zuuc_internal::normalization::FlagsBmp(c)
                        : zuuc_internal::normalization::Flags(c)) &
           bit;
}

inline bool InReorderSet(Table const & t, std::uint32_t c) {
    return t.reorder_count != 0 &&
           c - t.reorder[0] <= t.reorder[t.reorder_count - 1] - t.reorder[0] &&
           std::binary_search(t.reorder, t.reorder + t.reorder_count, c);
}

// The canonical decomposition of `c` (length first), or null when it has
// none; Hangul syllables have theirs by rule and answer null.
inline std::uint32_t const * CanonicalMapping(std::uint32_t c) {
    return c < 0x10000 ? zuuc_internal::normalization::MappingBmp(c, false)
                       : zuuc_internal::normalization::Mapping(c, false);
}

// Whether `c` and its decomposition begin with a starter (class 0).
bool StartsWithStarter(std::uint32_t c) {
    if (Decomposed(c) ||
        c - zuuc_internal::normalization::kSBase < zuuc_internal::normalization::kSCount)
        return true;
    if (zuuc_internal::normalization::CombiningClass(c) != 0)
        return false;
    std::uint32_t const * m = CanonicalMapping(c);
    return m == nullptr || zuuc_internal::normalization::CombiningClass(m[1]) == 0;
}

// Appends the canonical decomposition of `c` when it can be written on its
// own: `c` decomposes to a starter and what follows begins with a starter,
// so that no mark is reordered into or out of it. Hangul syllables
// decompose by rule, everything else from the normalization data.
bool DecomposeAlone(std::uint32_t c, std::uint32_t const * next, CharBuffer & out) {
    using namespace zuuc_internal::normalization;
    if (next != nullptr && !StartsWithStarter(*next))
        return false;
    if (c - kSBase < kSCount) {
        std::uint32_t const v = c - kSBase;
        std::uint32_t * o = out.Reserve(3);
        o[0] = kLBase + v / kNCount;
        o[1] = kVBase + (v % kNCount) / kTCount;
        o[2] = kTBase + v % kTCount;
        out.Commit(o[2] == kTBase ? 2 : 3);
        return true;
    }
    std::uint32_t const * m = CanonicalMapping(c);
    if (m == nullptr || CombiningClass(m[1]) != 0)
        return false;
    std::memcpy(out.Reserve(m[0]), m + 1, m[0] * sizeof *m);
    out.Commit(m[0]);
    return true;
}

// The text in NFD with its logical-order exceptions moved after the
// character that follows them: `s` itself when nothing changes, else `buffer`.
std::uint32_t const * Characters(Table const & t, std::uint32_t const * s, std::size_t n,
                                 CharBuffer & buffer, std::size_t & count) {
    bool reorder = false;
    std::size_t i = 0;
    for (; i < n; ++i) {
        std::uint32_t const c = s[i];
        if (c < 0xC0)
            continue;
        if (InReorderSet(t, c))
            reorder = true;
        if (!Decomposed(c))
            break;
    }
    count = n;
    if (i == n && !reorder)
        return s;
    std::memcpy(buffer.Reserve(i), s, i * sizeof *s);
    buffer.Commit(i);
    // Characters that decompose on their own are written directly; from the
    // first that does not, the normalizer takes the rest.
    for (; i < n; ++i) {
        std::uint32_t const c = s[i];
        if (Decomposed(c)) {
            buffer.PushBack(c);
        } else if (!DecomposeAlone(c, i + 1 < n ? s + i + 1 : nullptr, buffer)) {
            break;
        }
    }
    if (i < n) {
        static thread_local zuuc_internal::normalization::normalize nfd(
            zuuc_internal::normalization::kNFD);
        while (i < n) {
            // The transforms' room, so that a long run of marks is cut where
            // NFD cuts it and canonically equivalent texts keep one key.
            std::size_t const room = zuuc_internal::normalization::normalize::kTransformOutput;
            zuuc_internal::normalization::NormalizeParams<std::uint32_t> p{
                s + i, n - i, buffer.Reserve(room), room, 0, 0, nullptr, 0, 0};
            nfd.ResetOffsets();
            nfd.Normalize(p);
            buffer.Commit(p.produced);
            i += p.consumed;
        }
    }
    std::uint32_t * c = buffer.data();
    count = buffer.size();
    for (std::size_t k = 1; k < count; ++k) {
        if (InReorderSet(t, c[k - 1])) {
            std::swap(c[k - 1], c[k]);
            ++k;
        }
    }
    return c;
}

// ---------------------------------------------------------------------------
// Elements

// Code points the table does not hold: a pair that sorts after every
// element of the table, ideographs first, then by code point.
void Implicit(std::uint32_t c, ElementList & out) {
    std::uint32_t base;
    if (c - 0x4E00 < 0x5200) {
        base = 0xFB40;
    } else if (UnicodeCharacter::GetScriptSystem(c) == Script_Han) {
        base = c - 0xF900 < 0x200 ? 0xFB40 : 0xFB80;
    } else if (c == 0xFFFE || c == 0xFFFF || c - 0xD800 < 0x800) {
        out.PushBack(0);
        return;
    } else {
        base = 0xFBC0;
    }
    out.PushBack(((base + (c >> 15)) << 16) | kImplicitTail);
    out.PushBack(((c & 0x7FFF) | 0x8000) << 16);
}

void Elements(Table const & t, std::uint32_t const * s, std::size_t n, ElementList & out) {
    for (std::size_t i = 0; i < n; ++i) {
        std::uint32_t c = s[i];
        if (c > kLastCodePoint)
            c = 0xFFFD;
        std::uint32_t v = t.Lookup(c);
        if (v < zuuc_internal::collation::kExpansion) {
            out.PushBack(v);
            continue;
        }
        while (zuuc_internal::collation::IsContraction(v)) {
            std::uint32_t const j = v & 0xFFFFF;
            std::uint32_t const * first = t.candidates + j + 1;
            std::uint32_t const * last = first + t.candidates[j];
            if (i + 1 < n) {
                std::uint32_t const * hit = std::lower_bound(first, last, s[i + 1]);
                if (hit != last && *hit == s[i + 1]) {
                    ++i;
                    v = t.mappings[j + 1 + (hit - first)];
                    continue;
                }
            }
            v = t.mappings[j];
            if (zuuc_internal::collation::IsContraction(v))
                v = zuuc_internal::collation::kNoEntry;
        }
        if (v < zuuc_internal::collation::kExpansion) {
            out.PushBack(v);
        } else if (v != zuuc_internal::collation::kNoEntry) {
            for (std::uint32_t const * e = t.expansions + (v & 0xFFFFF);
                 *e != zuuc_internal::collation::kNoEntry; ++e) {
                out.PushBack(*e);
            }
        } else {
            Implicit(c, out);
        }
    }
}

// The element list of a UTF-32 string.
struct Collated {
    Collated(Table const & t, std::uint32_t const * s, std::size_t n) {
        std::size_t count = 0;
        std::uint32_t const * c = Characters(t, s, n, characters, count);
        Elements(t, c, count, elements);
    }
    CharBuffer characters;
    ElementList elements;
};

// ---------------------------------------------------------------------------
// Weights

struct Weigher {
    explicit Weigher(Table const & t) : top(t.top), alternate(t.alternate) {}

    bool Variable(std::uint32_t p) const { return p - 1 < top && alternate != 1; }  // 0 < p <= top

    std::uint32_t operator()(int level, std::uint32_t e) const {
        std::uint32_t const p = e >> 16;
        switch (level) {
            case 1:
                return Variable(p) ? 0 : p;
            case 2:
                return Variable(p) ? 0 : (e >> 8) & 0xFF;
            case 3:
                return Variable(p) ? 0 : e & 0xFF;
            default:
                if (e == 0)
                    return 0;
                if (Variable(p))
                    return alternate != 0 ? p : 0;
                return alternate == 2 || alternate == 3 ? 0xFFFF : 0;
        }
    }

    std::uint32_t top;
    std::uint32_t alternate;
};

// The non-zero weights of one level in the order the level reads them, up
// to the trailing maximal level-4 weights that trimming drops from keys.
class LevelWalk {
public:
    LevelWalk(Weigher const & weigh, int level, bool backward, ElementList const & list)
        : weigh_(weigh),
          level_(level),
          backward_(backward),
          elements_(list.data()),
          count_(list.size()),
          limit_(list.size()) {
        if (level == 4 && weigh.alternate == 3) {
            while (limit_ > 0) {
                std::uint32_t const x = weigh_(4, At(limit_ - 1));
                if (x != 0 && x != 0xFFFF)
                    break;
                --limit_;
            }
        }
    }
    // The next weight, or 0 at the end.
    std::uint32_t Next() {
        while (k_ < limit_) {
            std::uint32_t const x = weigh_(level_, At(k_++));
            if (x != 0)
                return x;
        }
        return 0;
    }

private:
    std::uint32_t At(std::size_t k) const { return elements_[backward_ ? count_ - 1 - k : k]; }

    Weigher const & weigh_;
    int level_;
    bool backward_;
    std::uint32_t const * elements_;
    std::size_t count_;
    std::size_t limit_;
    std::size_t k_ = 0;
};

inline unsigned char * PutPair(unsigned char * o, std::uint32_t w) {
    o[0] = static_cast<unsigned char>(w >> 8);
    o[1] = static_cast<unsigned char>(w);
    return o + 2;
}

// Writes one level's weights from `e` stepping by `step`. Every weight is
// stored, and the write position moves on only past the non-zero ones.
template <int Level>
unsigned char * PutLevel(Weigher const & weigh, std::uint32_t const * e, std::size_t n,
                         std::ptrdiff_t step, unsigned char * o) {
    for (std::size_t k = 0; k < n; ++k, e += step) {
        std::uint32_t const w = weigh(Level, *e);
        if (Level == 1 || Level == 4) {
            o[0] = static_cast<unsigned char>(w >> 8);
            o[1] = static_cast<unsigned char>(w);
            o += w != 0 ? 2 : 0;
        } else {
            *o = static_cast<unsigned char>(w);
            o += w != 0;
        }
    }
    return o;
}

// Levels 1 to 4 of a table whose levels all run forwards, in one pass: the
// weights of levels 2 to 4 go to their own stretches further on in the
// buffer and move up behind level 1 at the end.
unsigned char * PutForwardLevels(Weigher const & weigh, std::uint32_t const * e, std::size_t n,
                                 unsigned char * o, unsigned char *& fourth) {
    unsigned char * o2 = o + 2 * n + 2;
    unsigned char * const level2 = o2;
    unsigned char * o3 = level2 + n + 1;
    unsigned char * const level3 = o3;
    unsigned char * o4 = level3 + n + 1;
    unsigned char * const level4 = o4;
    for (std::size_t k = 0; k < n; ++k) {
        std::uint32_t const x = e[k];
        std::uint32_t const w1 = weigh(1, x);
        std::uint32_t const w2 = weigh(2, x);
        std::uint32_t const w3 = weigh(3, x);
        std::uint32_t const w4 = weigh(4, x);
        PutPair(o, w1);
        o += w1 != 0 ? 2 : 0;
        *o2 = static_cast<unsigned char>(w2);
        o2 += w2 != 0;
        *o3 = static_cast<unsigned char>(w3);
        o3 += w3 != 0;
        PutPair(o4, w4);
        o4 += w4 != 0 ? 2 : 0;
    }
    o = PutPair(o, 0x0101);
    std::size_t const n2 = static_cast<std::size_t>(o2 - level2);
    std::size_t const n3 = static_cast<std::size_t>(o3 - level3);
    std::size_t const n4 = static_cast<std::size_t>(o4 - level4);
    std::memmove(o, level2, n2);
    o += n2;
    *o++ = 1;
    std::memmove(o, level3, n3);
    o += n3;
    *o++ = 1;
    fourth = o;
    std::memmove(o, level4, n4);
    return o + n4;
}

void BuildKey(Table const & t, std::uint32_t signature, ElementList const & list, KeyBuffer & key) {
    Weigher const weigh(t);
    std::size_t const n = list.size();
    unsigned char * const start = key.Reserve(4 + 6 * n + 6);
    unsigned char * o = PutPair(PutPair(start, signature >> 16), signature);
    std::uint32_t const * e = list.data();
    unsigned char * fourth = nullptr;
    if (!t.Backward(1) && !t.Backward(2) && !t.Backward(3) && !t.Backward(4)) {
        o = PutForwardLevels(weigh, e, n, o, fourth);
    } else {
        auto level = [&](auto put, int l) {
            bool const back = t.Backward(l);
            return put(weigh, back && n ? e + n - 1 : e, n, back ? -1 : 1, o);
        };
        o = level(PutLevel<1>, 1);
        o = PutPair(o, 0x0101);
        o = level(PutLevel<2>, 2);
        *o++ = 1;
        o = level(PutLevel<3>, 3);
        *o++ = 1;
        fourth = o;
        o = level(PutLevel<4>, 4);
    }
    if (t.alternate == 3) {
        while (o - fourth >= 2 && o[-1] == 0xFF && o[-2] == 0xFF)
            o -= 2;
    }
    o = PutPair(o, 0x0101);
    key.Commit(static_cast<std::size_t>(o - start));
}

std::size_t Length32(unsigned int const * s, int length) {
    if (length >= 0)
        return static_cast<std::size_t>(length);
    std::size_t n = 0;
    while (s[n] != 0)
        ++n;
    return n;
}

// UTF-16 to UTF-32; a high surrogate without its low half empties the text.
std::size_t ToUtf32(unsigned short const * s, int length, Utf32Buffer & out) {
    std::size_t n = 0;
    if (length < 0) {
        while (s[n] != 0)
            ++n;
    } else {
        n = static_cast<std::size_t>(length);
    }
    unsigned int * o = out.Reserve(n + 1);  // and a terminator
    std::size_t count = 0;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned int u = s[i];
        if (u - 0xD800 < 0x400) {
            if (i + 1 == n || s[i + 1] - 0xDC00u >= 0x400)
                return 0;
            u = 0x10000 + ((u - 0xD800) << 10) + (s[++i] - 0xDC00u);
        }
        o[count++] = u;
    }
    out.Commit(count);
    return count;
}

int CompareLists(Table const & t, ElementList const & a, ElementList const & b) {
    Weigher const weigh(t);
    for (int level = 1; level <= 4; ++level) {
        bool const back = t.Backward(level);
        LevelWalk x(weigh, level, back, a);
        LevelWalk y(weigh, level, back, b);
        for (;;) {
            std::uint32_t const u = x.Next();
            std::uint32_t const v = y.Next();
            if (u != v)
                return u < v ? -1 : 1;  // running out (0) is the smallest
            if (u == 0)
                break;
        }
    }
    return 0;
}

int Sign(int r) {
    return (r > 0) - (r < 0);
}

}  // namespace

void CollationAlgorithm::MakeKey(CollationKey & key, CollationSequence const & sequence,
                                 unsigned int const * s, int length) {
    if (sequence.Data() == nullptr)
        throw zu_logic_error();
    Table const t(sequence.Data());
    std::size_t const n = s != nullptr ? Length32(s, length) : 0;
    Collated const c(t, s, n);
    KeyBuffer bytes;
    BuildKey(t, sequence.Signature(), c.elements, bytes);
    key.copy_key(bytes.data(), static_cast<int>(bytes.size()));
}

void CollationAlgorithm::MakeKey(CollationKey & key, CollationSequence const & sequence,
                                 unsigned short const * s, int length) {
    Utf32Buffer text;
    std::size_t const n = s != nullptr && length != 0 ? ToUtf32(s, length, text) : 0;
    MakeKey(key, sequence, text.data(), static_cast<int>(n));
}

int CollationAlgorithm::Compare(CollationSequence const & sequence, unsigned int const * a,
                                unsigned int const * b) {
    if (sequence.Data() == nullptr)
        throw zu_logic_error();
    Table const t(sequence.Data());
    Collated const x(t, a, a != nullptr ? Length32(a, -1) : 0);
    Collated const y(t, b, b != nullptr ? Length32(b, -1) : 0);
    return CompareLists(t, x.elements, y.elements);
}

int CollationAlgorithm::Compare(CollationSequence const & sequence, unsigned short const * a,
                                unsigned short const * b) {
    Utf32Buffer x;
    Utf32Buffer y;
    std::size_t const m = a != nullptr ? ToUtf32(a, -1, x) : 0;
    std::size_t const n = b != nullptr ? ToUtf32(b, -1, y) : 0;
    x.data()[m] = 0;  // ToUtf32 leaves room for the terminator
    y.data()[n] = 0;
    return Compare(sequence, x.data(), y.data());
}

int CollationAlgorithm::LengthOf(unsigned char const * key) {
    if (key == nullptr)
        return 0;
    unsigned char const * p = key + 4;
    while (!(p[0] == 1 && p[1] == 1))
        p += 2;
    p += 2;
    while (*p != 1)
        ++p;
    ++p;
    while (*p != 1)
        ++p;
    ++p;
    while (!(p[0] == 1 && p[1] == 1))
        p += 2;
    return static_cast<int>(p + 2 - key);
}

unsigned int CollationAlgorithm::SignatureOf(unsigned char const * key) {
    if (key == nullptr)
        return 0;
    return (static_cast<unsigned int>(key[0]) << 24) | (static_cast<unsigned int>(key[1]) << 16) |
           (static_cast<unsigned int>(key[2]) << 8) | key[3];
}

int CollationAlgorithm::Compare(unsigned char const * a, unsigned char const * b) {
    if (a == nullptr || b == nullptr)
        return (a != nullptr) - (b != nullptr);
    if (SignatureOf(a) != SignatureOf(b))
        throw zu_logic_error();
    int const m = LengthOf(a);
    int const n = LengthOf(b);
    int const r = std::memcmp(a + 4, b + 4, static_cast<std::size_t>(std::min(m, n) - 4));
    return r != 0 ? Sign(r) : Sign(m - n);
}

int CollationAlgorithm::Compare(CollationKey const & a, CollationKey const & b) {
    return Compare(a.Data(), b.Data());
}
