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

#endif
