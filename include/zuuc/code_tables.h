// In-memory code-table formats shared by the table-driven encodings and the
// encoding libraries that install their tables.
#ifndef ZUUC_CODE_TABLES_H
#define ZUUC_CODE_TABLES_H

#include "zuuc/export.h"

// A 16-bit-keyed table of 256 pages of 256 values. Encoding libraries build
// these as constant data; identical pages (most often the all-undefined page)
// are shared. Keys above 0xFFFF have no entry: callers treat them as unmapped
// before looking up.
template <class K, class V>
struct PlaneTable {
    // A lookup that yields this value means the key has no mapping.
    V undefined;
    // 256 page pointers, indexed by bits 8-15 of the key; each page holds 256
    // values indexed by bits 0-7.
    V const * const * pages;

    V Lookup(K key) const {
        return pages[(static_cast<unsigned>(key) >> 8) & 0xFF][static_cast<unsigned>(key) & 0xFF];
    }
};

// The 32-bit-keyed form: four levels, a root of 256 pointers indexed by bits
// 24-31, then bits 16-23, then the 256 page pointers of bits 8-15, then pages
// of 256 values indexed by bits 0-7. Absent branches point at shared
// all-undefined levels, so every key can be looked up.
template <class V>
struct PlaneTable<unsigned int, V> {
    V undefined;
    V const * const * const * const * root;

    V Lookup(unsigned int key) const {
        return root[key >> 24][(key >> 16) & 0xFF][(key >> 8) & 0xFF][key & 0xFF];
    }
};

// One step of a multi-byte decoder's state machine: the value decided by
// this byte and the state that follows it.
//   value 0xFFFD: the sequence so far is invalid;
//   value 0xFFFF: no character yet, the sequence goes on;
//   any other value: the character this byte completes.
//   next 0xFFFF (look-ahead encodings only): the character ended before this
//   byte, which must be read again from state 0.
template <class T>
struct MBCStoUnicodeEntry;

template <>
struct MBCStoUnicodeEntry<unsigned short> {
    unsigned short value;
    unsigned short next;
};

template <>
struct MBCStoUnicodeEntry<unsigned int> {
    unsigned int value;
    unsigned short next;
    unsigned short unused;
};

// A multi-byte decoder's state machine, built as constant data by an
// encoding library: one row of `row_width` entries per state (one per byte
// value), state 0 first. The decoder reads only `row_width` and `entries`.
template <class T>
struct MBCStoUnicodeTable {
    unsigned int format;       // layout version of this table, 1
    unsigned int row_width;    // entries per state
    unsigned int state_count;  // rows in `entries`
    unsigned int mode_count;   // modal tables: states 0..mode_count-1 start the modes; else 1
    unsigned int flags;        // reserved, 0
    MBCStoUnicodeEntry<T> const * entries;

    MBCStoUnicodeEntry<T> const & At(unsigned int state, unsigned char byte) const {
        return entries[state * row_width + byte];
    }
};

#endif
