// The library's three string classes.
//
//   zu_string        8-bit char units (text in some external encoding)
//   zu_wstring       16-bit unsigned short units (UTF-16)
//   zu_utf32_string  32-bit unsigned int units (UTF-32)
//
// The three classes share one implementation, zu_string_base<T, S>, where T
// is the unit type and S the derived string class (operations that return
// the string return an S&). Callers use the three derived names only; each
// derived class may add constructors and assign overloads of its own.
//
// Representation: a string is one pointer to a record {capacity, length,
// data} or null. Null is the empty string, and an empty string never keeps a
// record. Records are never shared: copies get a record of their own whose
// capacity equals the copied length. The data block is not kept terminated;
// c_str() writes the terminator when asked.
//
// A null text pointer counts as an empty text everywhere (also when a unit
// count comes with it). Sizes and positions are 32-bit unsigned. Position
// errors throw zu_out_of_range (declared in zuuc/exceptions.h) and leave the
// string unchanged.
//
// Memory: when a constructor or an operation on an empty string cannot
// allocate the new record, the string is left empty. When an existing
// record's block has to grow and the allocation fails (or the total length
// would exceed 0xFFFFFFFF units), std::bad_alloc is thrown and the string is
// left unchanged.
#ifndef ZUUC_STRINGS_H
#define ZUUC_STRINGS_H

#include "zuuc/export.h"

class CharEncoding;
class zu_wstring;

template <class T, class S>
class ZUUC_EXPORT zu_string_base {
public:
    static constexpr unsigned npos = 0xFFFFFFFFu;

    // Empty string (no record).
    zu_string_base() noexcept : rep_(nullptr) {}
    // Units up to the first 0 unit; a null pointer gives the empty string.
    zu_string_base(T const * text);
    // n units from text; n == 0 gives the empty string without reading text.
    zu_string_base(T const * text, unsigned n);
    zu_string_base(zu_string_base const & other);
    // Units [pos, pos + n) of s, n clipped to the end of s. Throws
    // zu_out_of_range when pos > s.size().
    zu_string_base(S const & s, unsigned pos, unsigned n = npos);
    ~zu_string_base();

    // Replacing the contents. Assigning the string's own data() pointer
    // leaves the string unchanged (whatever the count, also for the empty
    // string); any other range, including one inside this string's own
    // block, is copied correctly. A range that starts among the string's
    // own units is cut at their end.
    zu_string_base & operator=(zu_string_base const & other);
    S & operator=(T const * text);
    S & assign(S const & other);
    S & assign(T const * text);
    S & assign(T const * text, unsigned n);

    // Appending. The appended range may lie inside this string's own block
    // (s += s, s.append(s.data() + 1, 3)); one that starts among its own
    // units is cut at their end (s.append(s.data(), 100) doubles s).
    S & append(T const * text, unsigned n);
    S & operator+=(S const & other);
    S & operator+=(T const * text);
    S & operator+=(T unit);

    // Empties the string and releases its record.
    S & erase();
    // Removes up to n units at pos. Throws zu_out_of_range when
    // pos >= size() (so every erase on an empty string throws).
    S & erase(unsigned pos, unsigned n);

    unsigned size() const { return rep_ ? rep_->length : 0u; }
    unsigned length() const { return rep_ ? rep_->length : 0u; }
    unsigned capacity() const { return rep_ ? rep_->capacity : 0u; }
    bool empty() const { return rep_ == nullptr || rep_->length == 0; }

    // The units, not terminated; a static empty text for the empty string.
    T const * data() const;
    // The units followed by a 0 unit. For the empty string a static 0 unit
    // (nothing is allocated); otherwise the block grows to exactly
    // length + 1 units if it has no spare room.
    T const * c_str() const;

    // Unit access. Both forms throw zu_out_of_range when i >= size(); in
    // particular operator[] never reads or hands out anything outside the
    // units in use.
    T operator[](unsigned i) const;
    T & operator[](unsigned i);
    T at(unsigned i) const;
    T & at(unsigned i);

    // Copies min(n, size() - pos) units starting at pos to dst (no
    // terminator) and returns how many. Returns 0 for the empty string;
    // otherwise throws zu_out_of_range when pos > size().
    unsigned copy(T * dst, unsigned n, unsigned pos = 0) const;

    // First index >= pos where pattern occurs, or npos. An empty pattern is
    // found at pos itself.
    unsigned find(S const & pattern, unsigned pos = 0) const;

    // Negative, 0 or positive. Units are compared as unsigned numbers over
    // the shorter length and the comparison stops at the first difference
    // or at a 0 unit; when that finds no difference the longer string is
    // the greater.
    int compare(S const & other) const;

private:
    struct Rep {
        unsigned capacity;
        unsigned length;
        T * data;
    };

    // Replaces the (released) record pointer by a new record holding a
    // copy of source's units with capacity equal to their count.
    void AdoptRep(Rep const * source);

    Rep * rep_;
};

// Encoding-aware members
// ----------------------
// The constructors and assign overloads below that take a CharEncoding
// convert while they store: bytes in that encoding to UTF-16 or UTF-32, or
// UTF-16 to bytes in that encoding; zu_utf32_string also takes UTF-16. A
// terminated text is taken up to its 0 unit, (text, n) as n units, (begin,
// end) as the range. A null text gives the empty string. Each constructor
// starts from the empty string and assigns.
//
// Conversion problems are resolved by the default behaviour (by default an
// unmappable character becomes the output encoding's substitute). Whatever
// the conversion throws (a behaviour that throws, InvalidOutputEncoding when
// the encoding cannot be written, EncodingNotLoaded when its tables cannot
// be loaded) propagates, and assign leaves the string as it was.
//
// Note: (text, 0, encoding) with a literal 0 is ambiguous between the
// (text, n) and (begin, end) forms; write 0u.

class ZUUC_EXPORT zu_string : public zu_string_base<char, zu_string> {
    typedef zu_string_base<char, zu_string> base_type;

public:
    using base_type::base_type;
    using base_type::operator=;
    using base_type::assign;
    zu_string() noexcept = default;

    // UTF-16 to bytes in `encoding`.
    zu_string(unsigned short const * text, CharEncoding const & encoding);
    zu_string(unsigned short const * begin, unsigned short const * end,
              CharEncoding const & encoding);
    zu_string(unsigned short const * text, unsigned n, CharEncoding const & encoding);
    zu_string(zu_wstring const & text, CharEncoding const & encoding);
    zu_string & assign(unsigned short const * text, CharEncoding const & encoding);
    zu_string & assign(unsigned short const * begin, unsigned short const * end,
                       CharEncoding const & encoding);
    zu_string & assign(unsigned short const * text, unsigned n, CharEncoding const & encoding);
    zu_string & assign(zu_wstring const & text, CharEncoding const & encoding);
};

class ZUUC_EXPORT zu_wstring : public zu_string_base<unsigned short, zu_wstring> {
    typedef zu_string_base<unsigned short, zu_wstring> base_type;

public:
    using base_type::base_type;
    using base_type::operator=;
    using base_type::assign;
    zu_wstring() noexcept = default;

    // Bytes in `encoding` to UTF-16.
    zu_wstring(char const * text, CharEncoding const & encoding);
    zu_wstring(char const * begin, char const * end, CharEncoding const & encoding);
    zu_wstring(char const * text, unsigned n, CharEncoding const & encoding);
    zu_wstring(zu_string const & text, CharEncoding const & encoding);
    zu_wstring & assign(char const * text, CharEncoding const & encoding);
    zu_wstring & assign(char const * begin, char const * end, CharEncoding const & encoding);
    zu_wstring & assign(char const * text, unsigned n, CharEncoding const & encoding);
    zu_wstring & assign(zu_string const & text, CharEncoding const & encoding);
};

class ZUUC_EXPORT zu_utf32_string : public zu_string_base<unsigned int, zu_utf32_string> {
    typedef zu_string_base<unsigned int, zu_utf32_string> base_type;

public:
    using base_type::base_type;
    using base_type::operator=;
    using base_type::assign;
    zu_utf32_string() noexcept = default;

    // UTF-16 to UTF-32.
    zu_utf32_string(unsigned short const * text);
    zu_utf32_string(unsigned short const * text, unsigned n);
    zu_utf32_string(zu_wstring const & text);
    zu_utf32_string & assign(unsigned short const * text);
    zu_utf32_string & assign(unsigned short const * text, unsigned n);
    zu_utf32_string & assign(zu_wstring const & text);

    // Bytes in `encoding` to UTF-32.
    zu_utf32_string(char const * text, CharEncoding const & encoding);
    zu_utf32_string(char const * begin, char const * end, CharEncoding const & encoding);
    zu_utf32_string(char const * text, unsigned n, CharEncoding const & encoding);
    zu_utf32_string(zu_string const & text, CharEncoding const & encoding);
    zu_utf32_string & assign(char const * text, CharEncoding const & encoding);
    zu_utf32_string & assign(char const * begin, char const * end, CharEncoding const & encoding);
    zu_utf32_string & assign(char const * text, unsigned n, CharEncoding const & encoding);
    zu_utf32_string & assign(zu_string const & text, CharEncoding const & encoding);
};

// The out-of-line members of zu_string_base are compiled and exported
// once, in the library, for the three classes above.

// Concatenation: a copy of the left operand with the right one appended.
ZUUC_EXPORT zu_string operator+(zu_string const & a, zu_string const & b);
ZUUC_EXPORT zu_string operator+(zu_string const & a, char const * b);
ZUUC_EXPORT zu_string operator+(zu_string const & a, char b);
ZUUC_EXPORT zu_wstring operator+(zu_wstring const & a, zu_wstring const & b);
ZUUC_EXPORT zu_wstring operator+(zu_wstring const & a, unsigned short const * b);
ZUUC_EXPORT zu_wstring operator+(zu_wstring const & a, unsigned short b);
ZUUC_EXPORT zu_utf32_string operator+(zu_utf32_string const & a, zu_utf32_string const & b);
ZUUC_EXPORT zu_utf32_string operator+(zu_utf32_string const & a, unsigned int const * b);
ZUUC_EXPORT zu_utf32_string operator+(zu_utf32_string const & a, unsigned int b);

#endif
