// The normalizer: quick copies of inert runs, decomposition, canonical order
// and composition of the segments between them, offset runs.
#include "transforms/normalize.h"

#include <algorithm>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "transforms/normalization_data.h"
#include "zuuc/character_test.h"

namespace zuuc_internal::normalization {

namespace {

// Below these code points every character is inert in the form (numbered as
// the forms): nothing there has a mapping, a class or a part in a
// composition.
constexpr std::uint32_t kQuickLimit[4] = {0xC0, 0x300, 0xA0, 0xA0};

inline bool IsSurrogate(std::uint32_t u) {
    return u - 0xD800 < 0x800;
}

// The code point at `i` and its length in units; a surrogate that is not
// part of a pair is a code point of its own.
inline std::uint32_t Decode(std::uint32_t const * in, std::size_t i, std::size_t,
                            std::size_t & len) {
    len = 1;
    return in[i];
}

inline std::uint32_t Decode(std::uint16_t const * in, std::size_t i, std::size_t n,
                            std::size_t & len) {
    std::uint32_t c = in[i];
    if (c - 0xD800 < 0x400 && i + 1 < n && in[i + 1] - 0xDC00u < 0x400) {
        len = 2;
        return 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00u);
    }
    len = 1;
    return c;
}

inline std::size_t Units(std::uint32_t const *, std::uint32_t) {
    return 1;
}
inline std::size_t Units(std::uint16_t const *, std::uint32_t cp) {
    return cp > 0xFFFF ? 2 : 1;
}

inline void Encode(std::uint32_t * out, std::uint32_t cp) {
    *out = cp;
}
inline void Encode(std::uint16_t * out, std::uint32_t cp) {
    if (cp > 0xFFFF) {
        out[0] = static_cast<std::uint16_t>(0xD800 + ((cp - 0x10000) >> 10));
        out[1] = static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF));
    } else {
        out[0] = static_cast<std::uint16_t>(cp);
    }
}

inline std::uint8_t AnyFlags(std::uint32_t cp) {
    return cp < 0x10000 ? FlagsBmp(cp) : Flags(cp);
}
inline std::uint8_t UnitFlags(std::uint16_t u) {
    return FlagsBmp(u);
}  // 0 for a surrogate
inline std::uint8_t UnitFlags(std::uint32_t u) {
    return AnyFlags(u);
}

#if defined(__SSE2__)
// Of the eight units at `in`, the first that is not inert (8 when all are);
// `above` has two bits set for each unit at or above the quick limit.
// Stores the flags of the unit found in `flags`.
inline std::size_t FirstNotInert(std::uint16_t const * in, unsigned above, std::uint8_t inert,
                                 std::uint8_t & flags) {
    unsigned const units = above & 0x5555;  // one bit per unit
    if (units == 0)
        return 8;
    if ((units & (units - 1)) != 0) {  // two or more: look all up at once
        std::uint8_t each[8];
        std::uint8_t all = inert;
        for (std::size_t k = 0; k < 8; ++k)
            all &= each[k] = FlagsBmp(in[k]);
        if (all != 0)
            return 8;
        for (std::size_t k = 0;; ++k) {
            if ((each[k] & inert) == 0) {
                flags = each[k];
                return k;
            }
        }
    }
    std::size_t const k = static_cast<std::size_t>(__builtin_ctz(units));
    flags = FlagsBmp(in[k / 2]);
    return (flags & inert) != 0 ? 8 : k / 2;
}

// Two bits for each of the eight units of `v` at or above `highest` + 1.
inline unsigned Above(__m128i v, __m128i highest) {
    return ~static_cast<unsigned>(_mm_movemask_epi8(
               _mm_cmpeq_epi16(_mm_subs_epu16(v, highest), _mm_setzero_si128()))) &
           0xFFFF;
}
#endif

}  // namespace

normalize::normalize(int form)
    : form_(form),
      compose_(form == kNFC || form == kNFKC),
      compatibility_(form == kNFKD || form == kNFKC),
      inert_(form >= 0 && form < 4 ? InertBit(form) : 0),
      boundary_(form >= 0 && form < 4 ? BoundaryBit(form) : 0),
      run_count_(0) {}

normalize::~normalize() = default;

inline bool normalize::Boundary(std::uint32_t cp) const {
    return boundary_ == 0 || IsSurrogate(cp) || (AnyFlags(cp) & boundary_) != 0;
}

bool normalize::IsBoundary(std::uint32_t cp) const {
    return Boundary(cp);
}

void normalize::Normalize(NormalizeParams<std::uint32_t> & p) {
    Run_(p);
}
void normalize::Normalize(NormalizeParams<std::uint16_t> & p) {
    Run_(p);
}

std::size_t normalize::LastBoundary(std::uint32_t const * units, std::size_t count) const {
    return LastBoundary_(units, count);
}
std::size_t normalize::LastBoundary(std::uint16_t const * units, std::size_t count) const {
    return LastBoundary_(units, count);
}

template <typename Unit>
std::size_t normalize::LastBoundary_(Unit const * units, std::size_t count) const {
    std::size_t p = count;
    while (p > 1) {
        --p;
        std::uint32_t u = units[p];
        if (sizeof(Unit) == 2 && u - 0xDC00 < 0x400 && units[p - 1] - 0xD800u < 0x400) {
            --p;  // the pair starting one unit earlier
            std::size_t len;
            if (p > 0 && Boundary(Decode(units, p, count, len)))
                return p;
        } else if (sizeof(Unit) == 2 && u - 0xD800 < 0x400 && p + 1 == count) {
            continue;  // its low half is still to come
        } else if (u < kQuickLimit[form_ & 3] || Boundary(u)) {
            return p;
        }
    }
    return 0;
}

// Appends the full decomposition of `cp` (or `cp` itself) to the work area.
void normalize::Decompose(std::uint32_t cp, std::uint32_t offset, std::size_t & w) {
    if (cp < kQuickLimit[form_ & 2]) {  // the decomposing form's limit: NFC composes U+00C0-U+02FF
        work_[w++] = Work{cp, offset, 0};
        return;
    }
    if (cp - kSBase < kSCount) {
        std::uint32_t s = cp - kSBase;
        work_[w++] = Work{kLBase + s / kNCount, offset, 0};
        work_[w++] = Work{kVBase + (s % kNCount) / kTCount, offset, 0};
        if (s % kTCount != 0)
            work_[w++] = Work{kTBase + s % kTCount, offset, 0};
        return;
    }
    std::uint32_t const * m = Mapping(cp, compatibility_);
    if (m == nullptr) {
        work_[w++] = Work{cp, offset, static_cast<std::int32_t>(CombiningClass(cp))};
        return;
    }
    // A canonical mapping may hold code points with compatibility mappings.
    bool again = compatibility_ &&
                 static_cast<std::uint32_t>(m - kDecompositionPool) + 1 < kCanonicalPoolLimit;
    for (std::uint32_t k = 1; k <= m[0]; ++k) {
        if (again) {
            Decompose(m[k], offset, w);
        } else {
            work_[w++] = Work{m[k], offset, static_cast<std::int32_t>(CombiningClass(m[k]))};
        }
    }
}

// Canonical order: a stable sort of each run of marks by class. Units of
// class 0 and exempt units are never moved, nor moved across.
std::size_t normalize::Reorder(std::size_t w) {
    for (std::size_t r = 1; r < w; ++r) {
        Work x = work_[r];
        if (x.ccc <= 0)
            continue;
        std::size_t q = r;
        while (q > 0 && work_[q - 1].ccc > x.ccc) {
            work_[q] = work_[q - 1];
            --q;
        }
        work_[q] = x;
    }
    return w;
}

// Canonical composition: each unit joins the last starter when nothing
// between them that stays has class 0 or a class at least its own.
std::size_t normalize::Compose(std::size_t w) {
    std::ptrdiff_t starter = -1;
    std::int32_t last = -1;  // class of the last unit kept after the starter
    std::size_t out = 0;
    for (std::size_t r = 0; r < w; ++r) {
        Work x = work_[r];
        if (x.ccc < 0) {
            starter = -1;
            work_[out++] = x;
            continue;
        }
        if (starter >= 0 && last < x.ccc) {
            std::uint32_t c = zuuc_internal::normalization::Compose(work_[starter].cp, x.cp);
            if (c != 0) {
                work_[starter].cp = c;
                continue;
            }
        }
        if (x.ccc == 0) {
            starter = static_cast<std::ptrdiff_t>(out);
            last = -1;
        } else {
            last = x.ccc;
        }
        work_[out++] = x;
    }
    return out;
}

// Normalizes the segment starting at `start` into the output at `o`.
// Returns where the next one starts, or `start` when it does not fit.
template <typename Unit>
void normalize::Put(NormalizeParams<Unit> & p, std::size_t & o, std::uint32_t cp,
                    std::uint32_t offset) {
    std::uint32_t const out = p.produced_before + static_cast<std::uint32_t>(o);
    Encode(p.output + o, cp);
    AddOffset(out, offset);
    if (Units(p.input, cp) == 2) {
        AddOffset(out + 1, offset);
        o += 2;
    } else {
        o += 1;
    }
}

// The jamo of the Hangul syllable `cp`, all from input position `offset`.
template <typename Unit>
void normalize::PutSyllable(NormalizeParams<Unit> & p, std::size_t & o, std::uint32_t cp,
                            std::uint32_t offset) {
    std::uint32_t const s = cp - kSBase;
    std::uint32_t const first = p.produced_before + static_cast<std::uint32_t>(o);
    AddOffset(first, offset);
    AddOffset(first + 1, offset);
    p.output[o++] = static_cast<Unit>(kLBase + s / kNCount);
    p.output[o++] = static_cast<Unit>(kVBase + (s % kNCount) / kTCount);
    if (s % kTCount != 0) {
        AddOffset(first + 2, offset);
        p.output[o++] = static_cast<Unit>(kTBase + s % kTCount);
    }
}

// The common segments, written without the work area: one code point alone
// in a decomposing form (its decomposition is stored in canonical order), a
// starter without decomposition and one mark without decomposition, and a
// Hangul L V or L V T in a composing form. Returns `start` for any other.
template <typename Unit>
std::size_t normalize::QuickSegment(NormalizeParams<Unit> & p, std::size_t start, std::size_t & o) {
    std::size_t const n = p.input_count;
    if (p.test != nullptr || p.output_capacity - o < 40)
        return start;
    std::size_t len;
    std::uint32_t const cp = Decode(p.input, start, n, len);
    std::uint32_t const at = p.consumed_before + static_cast<std::uint32_t>(start);
    std::size_t const next = start + len;
    std::size_t len2 = 0;
    std::uint32_t const c2 = next < n ? Decode(p.input, next, n, len2) : 0;
    if (!compose_) {
        if (next < n && !Boundary(c2))
            return start;
        if (cp - kSBase < kSCount) {
            PutSyllable(p, o, cp, at);
            return next;
        }
        std::uint32_t const * m = Mapping(cp, compatibility_);
        if (m == nullptr) {
            Put(p, o, cp, at);
            return next;
        }
        if (compatibility_ &&
            static_cast<std::uint32_t>(m - kDecompositionPool) + 1 < kCanonicalPoolLimit) {
            return start;  // may hold more to decompose
        }
        for (std::uint32_t k = 1; k <= m[0]; ++k)
            Put(p, o, m[k], at);
        return next;
    }
    if (next >= n)
        return start;
    std::size_t after = next + len2;
    std::uint32_t composite = 0;
    if (cp - kLBase < kLCount && c2 - kVBase < kVCount) {
        composite = kSBase + ((cp - kLBase) * kVCount + c2 - kVBase) * kTCount;
        if (after < n && p.input[after] - kTBase - 1 < kTCount - 1)
            composite += p.input[after++] - kTBase;
    } else if ((AnyFlags(cp) & InertBit(compatibility_ ? kNFKD : kNFD)) == 0 ||
               Mapping(c2, compatibility_) != nullptr || c2 - kSBase < kSCount) {
        return start;
    }
    std::size_t len3;
    if (after < n && !Boundary(Decode(p.input, after, n, len3)))
        return start;
    if (composite == 0)
        composite = zuuc_internal::normalization::Compose(cp, c2);
    if (composite != 0) {
        Put(p, o, composite, at);
    } else {
        Put(p, o, cp, at);
        Put(p, o, c2, p.consumed_before + static_cast<std::uint32_t>(next));
    }
    return after;
}

template <typename Unit>
std::size_t normalize::Segment(NormalizeParams<Unit> & p, std::size_t start, std::size_t & o) {
    std::size_t const n = p.input_count;
    std::size_t const quick = QuickSegment(p, start, o);
    if (quick != start)
        return quick;
    std::size_t const limit = std::min(kMaxSegment, p.output_capacity / 2);
    std::size_t w = 0;
    std::size_t k = start;
    while (k < n) {
        std::size_t len;
        std::uint32_t cp = Decode(p.input, k, n, len);
        if (k > start && Boundary(cp))
            break;
        std::size_t before = w;
        std::uint32_t offset = p.consumed_before + static_cast<std::uint32_t>(k);
        if (p.test != nullptr && !(*p.test)(cp)) {
            work_[w++] = Work{cp, offset, -1};
        } else {
            Decompose(cp, offset, w);
        }
        if (w > limit && k > start) {
            w = before;  // an endless run of marks: cut it here
            break;
        }
        k += len;
    }
    w = Reorder(w);
    if (compose_)
        w = Compose(w);
    std::size_t need = 0;
    for (std::size_t r = 0; r < w; ++r)
        need += Units(p.input, work_[r].cp);
    if (o + need > p.output_capacity)
        return start;
    for (std::size_t r = 0; r < w; ++r)
        Put(p, o, work_[r].cp, work_[r].offset);
    return k;
}

#if defined(__SSE2__)
// The decomposing forms over UTF-16: eight units at a time, a unit that
// decomposes on its own (followed by a boundary) expanded in place, until
// anything else or the end of the room.
template <typename Unit>
void normalize::DecomposeBlocks(NormalizeParams<Unit> & p, std::size_t & i, std::size_t & o) {
    Unit const * const in = p.input;
    std::size_t const n = p.input_count;
    std::size_t const cap = p.output_capacity;
    std::uint32_t const quick = kQuickLimit[form_];
    __m128i const highest = _mm_set1_epi16(static_cast<short>(quick - 1));
    bool fresh = true;  // a copied stretch starts at (i, o)
    while (i + 8 <= n && o + 8 + 18 <= cap) {
        if (fresh) {  // its first two units set the run (later units only extend it)
            std::uint32_t const first = p.produced_before + static_cast<std::uint32_t>(o);
            std::uint32_t const at = p.consumed_before + static_cast<std::uint32_t>(i);
            AddOffset(first, at);
            AddOffset(first + 1, at + 1);
            fresh = false;
        }
        __m128i const v = _mm_loadu_si128(reinterpret_cast<__m128i const *>(in + i));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(p.output + o), v);
        std::uint8_t flags = 0;
        std::size_t const k = FirstNotInert(reinterpret_cast<std::uint16_t const *>(in + i),
                                            Above(v, highest), inert_, flags);
        i += k;
        o += k;
        if (k == 8)
            continue;
        // in[i] is not inert: expand it and whatever follows it that is not
        // inert either, while each decomposes on its own.
        do {
            std::uint32_t const c = in[i];
            std::uint32_t const at = p.consumed_before + static_cast<std::uint32_t>(i);
            if (c - kSBase < kSCount) {  // ends in a starter: what follows does not matter
                PutSyllable(p, o, c, at);
            } else {
                if (IsSurrogate(c))
                    return;
                std::uint32_t const c1 = in[i + 1];
                if (c1 >= quick && (IsSurrogate(c1) || (FlagsBmp(c1) & boundary_) == 0))
                    return;
                std::uint32_t const * m = MappingBmp(c, compatibility_);
                if (m == nullptr)
                    return;
                if (compatibility_ &&
                    static_cast<std::uint32_t>(m - kDecompositionPool) + 1 < kCanonicalPoolLimit) {
                    return;
                }
                for (std::uint32_t q = 1; q <= m[0]; ++q)
                    Put(p, o, m[q], at);
            }
            ++i;
        } while (i + 8 <= n && o + 8 + 18 <= cap && in[i] >= quick &&
                 (FlagsBmp(in[i]) & inert_) == 0);
        fresh = true;
    }
}
#endif

template <typename Unit>
void normalize::Run_(NormalizeParams<Unit> & p) {
    Unit const * const in = p.input;
    std::size_t const n = p.input_count;
    std::size_t const cap = p.output_capacity;
    std::size_t i = 0;
    std::size_t o = 0;
    if (inert_ == 0) {  // not a form: the text passes through
        std::size_t m = std::min(n, cap);
        if (sizeof(Unit) == 2 && m > 1 && m < n && in[m - 1] - 0xD800u < 0x400)
            --m;
        std::memcpy(p.output, in, m * sizeof(Unit));
        if (m > 0) {
            AddOffset(p.produced_before, p.consumed_before);
            AddOffset(p.produced_before + 1, p.consumed_before + 1);
        }
        p.consumed = p.produced = m;
        return;
    }
    std::uint32_t const quick = kQuickLimit[form_];
    std::uint8_t const inert = inert_;
    // Eight bytes of units at a time while all lie below the quick limit
    // (rounded down to 0x100 or 0x80).
    std::uint64_t const lane = sizeof(Unit) == 2 ? 0xFFFF : 0xFFFFFFFF;
    std::uint64_t const low = quick >= 0x100 ? 0xFF : 0x7F;
    std::uint64_t const wide = sizeof(Unit) == 2 ? (lane & ~low) * 0x0001000100010001ull
                                                 : (lane & ~low) * 0x0000000100000001ull;
    constexpr std::size_t per_word = 8 / sizeof(Unit);
    bool const decompose_in_place = sizeof(Unit) == 2 && !compose_ && p.test == nullptr;
    while (i < n) {
#if defined(__SSE2__)
        if (decompose_in_place) {
            DecomposeBlocks(p, i, o);
            if (i >= n || o >= cap)
                break;
        }
#endif
        // Inert units pass as they are, copied while they are checked.
        std::size_t const lim = i + std::min(n - i, cap - o);
        Unit * const out = p.output + o;
        std::size_t j = i;
        bool scanned = false;         // in[j] is known not to be inert
        bool stopped = false;         // ... and not a surrogate
        std::uint8_t stop_flags = 0;  // its flags then
#if defined(__SSE2__)
        if (sizeof(Unit) == 2) {
            // Eight units at a time against the quick limit itself; only the
            // units at or above it are looked up.
            __m128i const highest = _mm_set1_epi16(static_cast<short>(quick - 1));
            while (j + 8 <= lim) {
                __m128i const v = _mm_loadu_si128(reinterpret_cast<__m128i const *>(in + j));
                _mm_storeu_si128(reinterpret_cast<__m128i *>(out + (j - i)), v);
                std::size_t const k = FirstNotInert(reinterpret_cast<std::uint16_t const *>(in + j),
                                                    Above(v, highest), inert, stop_flags);
                if (k < 8) {  // in[j + k] is not inert
                    j += k;
                    scanned = true;
                    stopped = !IsSurrogate(in[j]);
                    break;
                }
                j += 8;
            }
        }
#endif
        if (!scanned) {
            while (j + per_word <= lim) {
                std::uint64_t word;
                std::memcpy(&word, in + j, 8);
                if ((word & wide) != 0) {
                    std::uint8_t f = inert;
                    for (std::size_t k = 0; k < per_word; ++k)
                        f &= UnitFlags(in[j + k]);
                    if (f == 0)
                        break;
                }
                std::memcpy(out + (j - i), &word, 8);
                j += per_word;
            }
            while (j < lim) {
                std::uint32_t c = in[j];
                if (c >= quick && (UnitFlags(in[j]) & inert) == 0)
                    break;
                out[j - i] = static_cast<Unit>(c);
                ++j;
            }
        }
        std::size_t end = j;
        if (compose_ && j < n && j > i) {  // (a decomposing form never moves a starter)
            std::size_t len;
            bool const boundary =
                stopped ? (stop_flags & boundary_) != 0 : Boundary(Decode(in, j, n, len));
            if (!boundary)
                --end;  // it starts the next segment
        }
        if (end > i) {
            std::uint32_t const base = p.consumed_before + static_cast<std::uint32_t>(i);
            std::uint32_t const first = p.produced_before + static_cast<std::uint32_t>(o);
            AddOffset(first, base);
            if (end - i > 1)
                AddOffset(first + 1, base + 1);
            o += end - i;
            i = end;
        }
        if (i >= n || o >= cap)
            break;
        // Runs of Hangul, by rule: syllables decomposed, or L V (T) composed
        // (nothing that follows one of those can compose with it).
        std::size_t const hangul = i;
        if (p.test != nullptr) {
            // every unit goes through the segments, which ask the test
        } else if (compose_) {
            while (i + 2 < n && o < cap) {
                std::uint32_t const at = p.consumed_before + static_cast<std::uint32_t>(i);
                std::uint32_t s = in[i];
                if (s - kLBase < kLCount && in[i + 1] - kVBase < kVCount) {
                    s = kSBase + ((s - kLBase) * kVCount + in[i + 1] - kVBase) * kTCount;
                    i += 2;
                    if (in[i] - kTBase - 1 < kTCount - 1)
                        s += in[i++] - kTBase;
                } else if (s < 0x80 && in[i + 1] - kLBase < kLCount) {
                    ++i;  // an ASCII unit (a space between words) before the next L
                } else {
                    break;
                }
                AddOffset(p.produced_before + static_cast<std::uint32_t>(o), at);
                p.output[o++] = static_cast<Unit>(s);
            }
        } else {
            // Lone code points whose decomposition is stored whole, followed
            // by a boundary: the decomposition as it is.
            while (i < n && cap - o >= 18) {
                std::uint32_t const c = in[i];
                if (c < quick || c >= 0xD800)
                    break;
                std::uint32_t const * m = MappingBmp(c, compatibility_);
                if (m == nullptr)
                    break;
                if (compatibility_ &&
                    static_cast<std::uint32_t>(m - kDecompositionPool) + 1 < kCanonicalPoolLimit)
                    break;
                if (i + 1 < n && in[i + 1] >= quick && (UnitFlags(in[i + 1]) & boundary_) == 0)
                    break;
                std::uint32_t const at = p.consumed_before + static_cast<std::uint32_t>(i++);
                for (std::uint32_t k = 1; k <= m[0]; ++k)
                    Put(p, o, m[k], at);
            }
            while (i < n && in[i] - kSBase < kSCount && cap - o >= 3) {
                PutSyllable(p, o, in[i], p.consumed_before + static_cast<std::uint32_t>(i));
                ++i;
            }
        }
        if (i != hangul)
            continue;
        std::size_t next = Segment(p, i, o);
        if (next == i)
            break;  // no room left for it
        i = next;
    }
    p.consumed = i;
    p.produced = o;
}

void normalize::NewRun(std::uint32_t out, std::uint32_t in) {
    if (run_count_ == kMaxRuns) {
        std::memmove(runs_, runs_ + kMaxRuns / 2, (kMaxRuns / 2) * sizeof(Run));
        run_count_ -= kMaxRuns / 2;
    }
    runs_[run_count_++] = Run{out, in, 1};
}

normalize::Run const * normalize::RunAt(std::uint32_t out) const {
    Run const * r = std::upper_bound(runs_, runs_ + run_count_, out,
                                     [](std::uint32_t v, Run const & run) { return v < run.out; });
    return r == runs_ ? r : r - 1;  // before the oldest run kept: that run
}

std::uint32_t normalize::OffsetAt(std::uint32_t out, std::uint32_t produced,
                                  std::uint32_t consumed) const {
    if (out >= produced)
        return consumed + (out - produced);
    Run const * r = RunAt(out);
    return out < r->out ? r->in : r->in + r->step * (out - r->out);
}

void normalize::FillOffsets(std::uint32_t out, std::size_t count, unsigned int * map) const {
    if (count == 0)
        return;
    Run const * r = RunAt(out);
    Run const * const last = runs_ + run_count_ - 1;
    for (std::size_t k = 0; k < count; ++k, ++out) {
        while (r != last && r[1].out <= out)
            ++r;
        map[k] = r->in + r->step * (out - r->out);
    }
}

}  // namespace zuuc_internal::normalization
