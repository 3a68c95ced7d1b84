// The fast part of the plane-table encoders: stretches of units encoded
// without per-unit room and limit tests.
#ifndef ZUUC_SRC_LEGACY_MBCS_ENCODE_H
#define ZUUC_SRC_LEGACY_MBCS_ENCODE_H

#include <cstddef>

#include "zuuc/code_tables.h"

namespace zuuc_internal::legacy {

// The most bytes one plane-table value of type V can stand for: 16-bit
// values write one or two bytes, 32-bit values up to four.
template <class V>
constexpr std::size_t MaxValueBytes() {
    return sizeof(V) <= 2 ? 2 : 4;
}

// Writes `value` as its bytes, most significant first, with no leading zero
// bytes (a value up to 0xFF is one byte); returns the position after them.
template <class V>
inline char * PutValue(char * out, V value) {
    unsigned long const v = value;
    if (v <= 0xFFu) {
        out[0] = static_cast<char>(v);
        return out + 1;
    }
    if (sizeof(V) <= 2 || v <= 0xFFFFu) {
        out[0] = static_cast<char>((v >> 8) & 0xFFu);
        out[1] = static_cast<char>(v & 0xFFu);
        return out + 2;
    }
    if (v <= 0xFFFFFFu) {
        out[0] = static_cast<char>((v >> 16) & 0xFFu);
        out[1] = static_cast<char>((v >> 8) & 0xFFu);
        out[2] = static_cast<char>(v & 0xFFu);
        return out + 3;
    }
    out[0] = static_cast<char>((v >> 24) & 0xFFu);
    out[1] = static_cast<char>((v >> 16) & 0xFFu);
    out[2] = static_cast<char>((v >> 8) & 0xFFu);
    out[3] = static_cast<char>(v & 0xFFu);
    return out + 4;
}

// Encodes units from `in` as long as each one is mapped and settling room
// and limit for it is needless. A stretch covers min(input, room / most
// bytes, limit / most bytes) units, so none of them can run out of room or
// limit; stretches follow one another until a unit is unmapped (`find`
// answers `undefined` for it) or what is left of the room, the limit or the
// input is too small for another stretch. `limit` (-1 for none) is lowered
// by the bytes written. What stops the stretches is left for the caller's
// unit-by-unit loop, which then sees the same units, room and limit it would
// have seen had it done the whole call itself.
//
// `find(unit)` returns the unit's value; it must answer `undefined` for every
// unit the careful loop would not encode (surrogates the table does not hold,
// keys beyond the table).
template <class V, class Unit, class Find>
inline void EncodeStretches(Find find, V undefined, Unit const *& in, Unit const * inEnd,
                            char *& out, char * outEnd, long & limit) {
    constexpr std::size_t kMost = MaxValueBytes<V>();
    for (;;) {
        std::size_t n = static_cast<std::size_t>(inEnd - in);
        std::size_t const room = static_cast<std::size_t>(outEnd - out) / kMost;
        if (room < n) {
            n = room;
        }
        if (limit >= 0 && static_cast<std::size_t>(limit) / kMost < n) {
            n = static_cast<std::size_t>(limit) / kMost;
        }
        if (n == 0) {
            return;
        }
        Unit const * p = in;
        Unit const * const stop = in + n;
        char * o = out;
        while (p != stop) {
            V const value = find(*p);
            if (value == undefined) {
                break;
            }
            o = PutValue(o, value);
            ++p;
        }
        if (limit >= 0) {
            limit -= static_cast<long>(o - out);
        }
        in = p;
        out = o;
        if (p != stop) {
            return;  // an unmapped unit
        }
    }
}

// Lookups for EncodeStretches, with the table fields copied into the lookup
// (stores through the output may alias the table, the copies they cannot).
template <class V>
struct NarrowFind {
    V const * const * pages;
    V operator()(unsigned int key) const { return pages[(key >> 8) & 0xFF][key & 0xFF]; }
};

// From UTF-32 through a 16-bit-keyed table: larger keys are unmapped.
template <class V>
struct NarrowFind32 {
    V const * const * pages;
    V undefined;
    V operator()(unsigned int key) const {
        return key > 0xFFFF ? undefined : pages[key >> 8][key & 0xFF];
    }
};

template <class V>
struct WideFind {
    V const * const * const * const * root;
    V operator()(unsigned int key) const {
        return root[key >> 24][(key >> 16) & 0xFF][(key >> 8) & 0xFF][key & 0xFF];
    }
};

}  // namespace zuuc_internal::legacy

#endif
