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

// ---------------------------------------------------------------------------
// Generic lookup tables
// ---------------------------------------------------------------------------
//
// Small headers over arrays owned by whoever built them (usually constant
// data of an encoding library). The header never copies or frees the arrays.

// A 64-bit key held as two 32-bit words and compared first word first.
struct ZU_ULongLong {
    unsigned int first;
    unsigned int second;

    friend bool operator==(ZU_ULongLong a, ZU_ULongLong b) {
        return a.first == b.first && a.second == b.second;
    }
    friend bool operator!=(ZU_ULongLong a, ZU_ULongLong b) { return !(a == b); }
    friend bool operator<(ZU_ULongLong a, ZU_ULongLong b) {
        return a.first < b.first || (a.first == b.first && a.second < b.second);
    }
    friend bool operator<=(ZU_ULongLong a, ZU_ULongLong b) { return !(b < a); }
};

// The common interface: maps a key to an unsigned long, if it has a value.
template <class T>
class LookupUnsignedLongTable {
public:
    // --- virtual interface, in slot order ---
    // True (and `value` set) when `key` has a value.
    virtual bool Lookup(T key, unsigned long & value) const = 0;
    virtual ~LookupUnsignedLongTable() = default;

protected:
    LookupUnsignedLongTable() = default;
    LookupUnsignedLongTable(LookupUnsignedLongTable const &) = default;
    LookupUnsignedLongTable & operator=(LookupUnsignedLongTable const &) = default;
};

// A table from keys K to values V.
template <class K, class V>
class Table : public LookupUnsignedLongTable<K> {
public:
    ~Table() override = default;

protected:
    Table() = default;
    Table(Table const &) = default;
    Table & operator=(Table const &) = default;
};

// A dense table over the keys first .. first + count - 1. A key outside that
// range, or whose stored value is the default, has no value.
template <class K, class V>
class RangeTable : public Table<K, V> {
public:
    RangeTable(V default_value, K first, int count, V const * values)
        : default_(default_value), first_(first), count_(count), values_(values) {}

    // --- virtual interface, in slot order ---
    bool Lookup(K key, unsigned long & value) const override {
        V v;
        if (!LookupValue(key, v)) {
            return false;
        }
        value = static_cast<unsigned long>(v);
        return true;
    }
    ~RangeTable() override = default;
    // True (and `value` set) when `key` is in range and its value is not the default.
    virtual bool LookupValue(K key, V & value) const {
        long long const index = IndexOf(key);
        if (index < 0 || values_[index] == default_) {
            return false;
        }
        value = values_[index];
        return true;
    }
    // The stored value, or the default for a key out of range.
    virtual V Get(K key) const {
        long long const index = IndexOf(key);
        return index < 0 ? default_ : values_[index];
    }
    // The lowest and highest keys whose value differs from the default; 0
    // when none does.
    virtual K LowestDefinedKey() const {
        for (int i = 0; i < count_; ++i) {
            if (values_[i] != default_) {
                return static_cast<K>(first_ + static_cast<K>(i));
            }
        }
        return K(0);
    }
    virtual K HighestDefinedKey() const {
        for (int i = count_ - 1; i >= 0; --i) {
            if (values_[i] != default_) {
                return static_cast<K>(first_ + static_cast<K>(i));
            }
        }
        return K(0);
    }
    virtual V DefaultValue() const { return default_; }

private:
    // The index of `key` in the values, or -1 when it is out of range.
    long long IndexOf(K key) const {
        long long const index = static_cast<long long>(key) - static_cast<long long>(first_);
        return index < 0 || index >= static_cast<long long>(count_) ? -1 : index;
    }

    V default_;
    K first_;
    int count_;
    V const * values_;
};

// Sorted (key, value) entries searched by halving. Only 64-bit keys are in use.
template <class K, class V>
class SparseTable;

// One entry: the two key words, then the value.
struct ZU_SparseTableEntry {
    unsigned int first;
    unsigned int second;
    unsigned int value;
};

// Entries are sorted ascending by (first, second) without duplicates.
template <class V>
class SparseTable<ZU_ULongLong, V> : public Table<ZU_ULongLong, V> {
public:
    SparseTable(V default_value, ZU_SparseTableEntry const * entries, unsigned int count)
        : default_(default_value), entries_(entries), count_(count) {}

    // --- virtual interface, in slot order ---
    bool Lookup(ZU_ULongLong key, unsigned long & value) const override {
        V v;
        if (!LookupValue(key, v)) {
            return false;
        }
        value = static_cast<unsigned long>(v);
        return true;
    }
    ~SparseTable() override = default;
    virtual bool LookupValue(ZU_ULongLong key, V & value) const {
        ZU_SparseTableEntry const * const entry = Find(key);
        if (entry == nullptr) {
            return false;
        }
        value = static_cast<V>(entry->value);
        return true;
    }
    // The entry's value, or the default when the key is absent.
    virtual V Get(ZU_ULongLong key) const {
        ZU_SparseTableEntry const * const entry = Find(key);
        return entry == nullptr ? default_ : static_cast<V>(entry->value);
    }

private:
    static ZU_ULongLong KeyOf(ZU_SparseTableEntry const & entry) {
        return ZU_ULongLong{entry.first, entry.second};
    }
    // Halving search: keeps entries_[lo] <= key for as long as possible.
    ZU_SparseTableEntry const * Find(ZU_ULongLong key) const {
        if (count_ == 0) {
            return nullptr;
        }
        unsigned int lo = 0;
        unsigned int hi = count_;
        while (lo < hi - 1) {
            unsigned int const mid = lo + (hi - lo) / 2;
            if (KeyOf(entries_[mid]) <= key) {
                lo = mid;
            } else {
                hi = mid;
            }
        }
        return KeyOf(entries_[lo]) == key ? &entries_[lo] : nullptr;
    }

    V default_;
    ZU_SparseTableEntry const * entries_;
    unsigned int count_;
};

extern template class ZUUC_EXPORT LookupUnsignedLongTable<unsigned int>;
extern template class ZUUC_EXPORT Table<unsigned int, unsigned int>;
extern template class ZUUC_EXPORT RangeTable<unsigned int, unsigned int>;
extern template class ZUUC_EXPORT LookupUnsignedLongTable<ZU_ULongLong>;
extern template class ZUUC_EXPORT Table<ZU_ULongLong, unsigned int>;
extern template class ZUUC_EXPORT SparseTable<ZU_ULongLong, unsigned int>;

#endif
