// Collation: multi-level comparison of Unicode strings and sort keys.
//
// A CollationSequence is a collation table (loaded from a collation file, or
// a table the caller keeps in memory). CollationAlgorithm compares strings by
// it, level by level (four levels), and builds sort keys: byte strings whose
// plain byte order is the collation order. A CollationKey holds one key,
// either in its own heap block or in a buffer of the caller's.
//
// Strings are decomposed (NFD) before collation. UTF-16 input with a high
// surrogate that no low surrogate follows collates as the empty string.
// Keys made from tables with different signatures cannot be compared.
//
// Strings under 1,000 characters are collated without heap allocation (the
// working buffers live on the stack); a caller's-buffer key takes none
// either. The default table ("default.zct", built from the Unicode
// Collation Algorithm 4.0.0 table) is found in the current folder, in the
// encoding-library load directory, or beside libzuuc421.so.
#ifndef ZUUC_COLLATION_H
#define ZUUC_COLLATION_H

#include "zuuc/export.h"

class ZUUC_EXPORT CollationSequence {
public:
    // Loads "default.zct".
    CollationSequence();
    // Loads a collation file: the path as given, then the path appended to
    // the encoding-library load directory, then (for a relative path) the
    // folder of libzuuc421.so. Throws zu_collation_file_error when no file
    // opens (or its end cannot be found) and
    // zu_collation_file_corruption_error when its size is not a positive
    // multiple of 4, it cannot be read whole, or its offsets, trie,
    // expansions or contractions point outside it.
    explicit CollationSequence(char const * path);
    // A table in memory, in native byte order: not copied, not owned, not
    // checked.
    explicit CollationSequence(unsigned int const * table);
    CollationSequence(CollationSequence const &) = delete;
    CollationSequence & operator=(CollationSequence const &) = delete;
    ~CollationSequence();

    unsigned int const * Data() const { return table_; }
    // Word 1 of the table, or 0 when there is none.
    unsigned int Signature() const;

private:
    void Load(char const * path);

    unsigned int const * table_;
    bool owned_;
};

class ZUUC_EXPORT CollationKey {
public:
    // An empty owning key (no data, length 0).
    CollationKey();
    // Owning copy of a key; a length below 1 takes the key's own length.
    CollationKey(unsigned char const * data, int length);
    // Copies into the caller's buffer of `capacity` bytes, which must outlive
    // the key. Throws zu_collation_key_overflow when the key does not fit.
    CollationKey(unsigned char * buffer, int capacity, unsigned char const * data, int length);
    CollationKey(unsigned char * buffer, int capacity, CollationKey const & key);
    // The copy owns its bytes.
    CollationKey(CollationKey const & key);
    // Copies the bytes (into this key's buffer, when it has one).
    CollationKey & operator=(CollationKey const & key);
    ~CollationKey();

    // Stores a key: an owning key replaces its block by one of exactly the
    // length; a buffer key throws zu_collation_key_overflow (and stays as it
    // was) when the key is longer than its capacity. A length below 1 takes
    // the key's own length.
    void copy_key(unsigned char const * data, int length);

    unsigned char const * Data() const { return data_; }
    int Length() const { return length_; }
    unsigned int Signature() const;

    bool operator==(CollationKey const & other) const;
    bool operator!=(CollationKey const & other) const;
    bool operator<(CollationKey const & other) const;
    bool operator<=(CollationKey const & other) const;
    bool operator>(CollationKey const & other) const;
    bool operator>=(CollationKey const & other) const;

private:
    unsigned char * data_;
    int length_;
    int capacity_;  // -1: data_ is an owned block of length_ bytes
};

class ZUUC_EXPORT CollationAlgorithm {
public:
    // Builds the key of a UTF-32 string (a negative length: up to its 0).
    static void MakeKey(CollationKey & key, CollationSequence const & sequence,
                        unsigned int const * s, int length);
    // The same for UTF-16 (a negative length: up to its 0).
    static void MakeKey(CollationKey & key, CollationSequence const & sequence,
                        unsigned short const * s, int length);

    // Compares two 0-terminated strings: -1, 0 or 1. Agrees in sign with
    // comparing their keys.
    static int Compare(CollationSequence const & sequence, unsigned int const * a,
                       unsigned int const * b);
    static int Compare(CollationSequence const & sequence, unsigned short const * a,
                       unsigned short const * b);

    // Compares keys: -1, 0 or 1. Throws zu_logic_error when their signatures
    // differ. A null key sorts before every other.
    static int Compare(unsigned char const * a, unsigned char const * b);
    static int Compare(CollationKey const & a, CollationKey const & b);

    // The length in bytes of a key (0 for null) and its signature (0 for null).
    static int LengthOf(unsigned char const * key);
    static unsigned int SignatureOf(unsigned char const * key);
};

#endif
