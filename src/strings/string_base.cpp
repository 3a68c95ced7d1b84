// Shared implementation of zu_string, zu_wstring and zu_utf32_string.
#include <cstddef>
#include <cstring>
#include <functional>
#include <new>

#include "zuuc/exceptions.h"
#include "zuuc/strings.h"

namespace {

// A static 0 unit of each width: the data() and c_str() of every empty
// string.
template <class T>
struct EmptyText {
    static constexpr T unit[1] = {0};
};

constexpr unsigned kMaxUnits = 0xFFFFFFFFu;

// Capacity given to a block that must hold `required` units: the required
// count times the growth factor, truncated. The product is clamped to the
// largest 32-bit count (the conversion of a larger double would be
// undefined); the result is never smaller than `required`.
unsigned GrownCapacity(unsigned required) {
    double const grown = static_cast<double>(required) * 1.6180339;
    if (grown >= static_cast<double>(kMaxUnits)) {
        return kMaxUnits;
    }
    unsigned const capacity = static_cast<unsigned>(grown);
    return capacity < required ? required : capacity;
}

template <class T>
T * AllocateUnits(unsigned count) noexcept {
    return new (std::nothrow) T[count];
}

template <class T>
void CopyUnits(T * dst, T const * src, unsigned n) {
    std::memcpy(dst, src, static_cast<std::size_t>(n) * sizeof(T));
}

template <class T>
void MoveUnits(T * dst, T const * src, unsigned n) {
    std::memmove(dst, src, static_cast<std::size_t>(n) * sizeof(T));
}

// A range that starts among a string's own units in use (`own`, `length`
// units; the static empty text for the empty string) ends with them: the
// units past them are stale or not there at all.
template <class T>
unsigned ClampToOwnUnits(T const * text, unsigned n, T const * own, unsigned length) {
    std::less_equal<T const *> const not_after;
    if (not_after(own, text) && not_after(text, own + length)) {
        unsigned const available = length - static_cast<unsigned>(text - own);
        return n < available ? n : available;
    }
    return n;
}

// Number of units before the first 0 unit, or kMaxUnits + 1 (as size_t)
// when the text is too long to be held.
template <class T>
std::size_t CountUnits(T const * text) {
    std::size_t n = 0;
    while (text[n] != 0) {
        ++n;
        if (n > kMaxUnits) {
            break;
        }
    }
    return n;
}

// Compares at most n units as unsigned numbers and stops at the first
// difference or at a 0 unit.
int CompareUnits(char const * a, char const * b, unsigned n) {
    return std::strncmp(a, b, n);
}

template <class T>
int CompareUnits(T const * a, T const * b, unsigned n) {
    for (unsigned i = 0; i < n; ++i) {
        if (a[i] != b[i]) {
            return a[i] < b[i] ? -1 : 1;
        }
        if (a[i] == 0) {
            return 0;
        }
    }
    return 0;
}

}  // namespace

// --- records -----------------------------------------------------------------
//
// A record and its block are separate allocations: the block is replaced when
// the string grows, the record stays.

template <class T, class S>
void zu_string_base<T, S>::AdoptRep(Rep const * source) {
    rep_ = nullptr;
    if (source == nullptr || source->length == 0) {
        return;
    }
    Rep * rep = new (std::nothrow) Rep;
    if (rep == nullptr) {
        return;
    }
    rep->data = AllocateUnits<T>(source->length);
    if (rep->data == nullptr) {
        delete rep;
        return;
    }
    rep->capacity = source->length;
    rep->length = source->length;
    CopyUnits(rep->data, source->data, source->length);
    rep_ = rep;
}

// --- construction --------------------------------------------------------------

template <class T, class S>
zu_string_base<T, S>::zu_string_base(T const * text) : rep_(nullptr) {
    if (text == nullptr) {
        return;
    }
    std::size_t const n = CountUnits(text);
    if (n > kMaxUnits) {
        return;  // cannot be held: treated like a failed allocation
    }
    Rep const source = {static_cast<unsigned>(n), static_cast<unsigned>(n), const_cast<T *>(text)};
    AdoptRep(&source);
}

template <class T, class S>
zu_string_base<T, S>::zu_string_base(T const * text, unsigned n) : rep_(nullptr) {
    if (n == 0 || text == nullptr) {
        return;
    }
    Rep const source = {n, n, const_cast<T *>(text)};
    AdoptRep(&source);
}

template <class T, class S>
zu_string_base<T, S>::zu_string_base(zu_string_base const & other) : rep_(nullptr) {
    AdoptRep(other.rep_);
}

template <class T, class S>
zu_string_base<T, S>::zu_string_base(S const & s, unsigned pos, unsigned n) : rep_(nullptr) {
    unsigned const size = s.size();
    if (pos > size) {
        throw zu_out_of_range();
    }
    if (n > size - pos) {
        n = size - pos;
    }
    if (n == 0) {
        return;
    }
    if (pos == 0 && n == size) {
        AdoptRep(s.rep_);
        return;
    }
    Rep const source = {n, n, s.rep_->data + pos};
    AdoptRep(&source);
}

template <class T, class S>
zu_string_base<T, S>::~zu_string_base() {
    erase();
}

// --- assignment ------------------------------------------------------------------

template <class T, class S>
zu_string_base<T, S> & zu_string_base<T, S>::operator=(zu_string_base const & other) {
    if (this != &other) {
        erase();
        AdoptRep(other.rep_);
    }
    return *this;
}

template <class T, class S>
S & zu_string_base<T, S>::operator=(T const * text) {
    return assign(text);
}

template <class T, class S>
S & zu_string_base<T, S>::assign(S const & other) {
    return assign(other.data(), other.size());
}

template <class T, class S>
S & zu_string_base<T, S>::assign(T const * text) {
    if (text == nullptr) {
        return erase();
    }
    std::size_t const n = CountUnits(text);
    if (n > kMaxUnits) {
        throw std::bad_alloc();
    }
    return assign(text, static_cast<unsigned>(n));
}

template <class T, class S>
S & zu_string_base<T, S>::assign(T const * text, unsigned n) {
    S & self = static_cast<S &>(*this);
    if (text == data()) {
        return self;  // the string's own units, whatever the count: nothing to do
    }
    n = ClampToOwnUnits(text, n, data(), size());
    if (n == 0 || text == nullptr) {
        return erase();
    }
    if (rep_ == nullptr) {
        // A new record, sized by the growth rule.
        Rep * rep = new (std::nothrow) Rep;
        if (rep == nullptr) {
            return self;
        }
        rep->capacity = GrownCapacity(n);
        rep->data = AllocateUnits<T>(rep->capacity);
        if (rep->data == nullptr) {
            delete rep;
            return self;
        }
        rep->length = n;
        CopyUnits(rep->data, text, n);
        rep_ = rep;
        return self;
    }
    if (rep_->capacity < n) {
        // The text is copied before the old block goes, so a text inside
        // that block is still intact when it is read.
        unsigned const capacity = GrownCapacity(n);
        T * block = AllocateUnits<T>(capacity);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        CopyUnits(block, text, n);
        delete[] rep_->data;
        rep_->data = block;
        rep_->capacity = capacity;
    } else {
        // The text may overlap the block (a tail of this string).
        MoveUnits(rep_->data, text, n);
    }
    rep_->length = n;
    return self;
}

// --- appending ---------------------------------------------------------------------

template <class T, class S>
S & zu_string_base<T, S>::append(T const * text, unsigned n) {
    S & self = static_cast<S &>(*this);
    n = ClampToOwnUnits(text, n, data(), size());
    if (n == 0 || text == nullptr) {
        return self;
    }
    if (rep_ == nullptr) {
        Rep const source = {n, n, const_cast<T *>(text)};
        AdoptRep(&source);
        return self;
    }
    unsigned const length = rep_->length;
    if (n > kMaxUnits - length) {
        throw std::bad_alloc();
    }
    unsigned const required = length + n;
    if (rep_->capacity < required) {
        // Both copies are made before the old block is released: the text
        // may lie inside it (s += s).
        unsigned const capacity = GrownCapacity(required);
        T * block = AllocateUnits<T>(capacity);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        CopyUnits(block, rep_->data, length);
        CopyUnits(block + length, text, n);
        delete[] rep_->data;
        rep_->data = block;
        rep_->capacity = capacity;
    } else {
        MoveUnits(rep_->data + length, text, n);
    }
    rep_->length = required;
    return self;
}

template <class T, class S>
S & zu_string_base<T, S>::operator+=(S const & other) {
    return append(other.data(), other.size());
}

template <class T, class S>
S & zu_string_base<T, S>::operator+=(T const * text) {
    if (text == nullptr) {
        return static_cast<S &>(*this);
    }
    std::size_t const n = CountUnits(text);
    if (n > kMaxUnits) {
        throw std::bad_alloc();
    }
    return append(text, static_cast<unsigned>(n));
}

template <class T, class S>
S & zu_string_base<T, S>::operator+=(T unit) {
    return append(&unit, 1);
}

// --- erasing -------------------------------------------------------------------------

template <class T, class S>
S & zu_string_base<T, S>::erase() {
    if (rep_ != nullptr) {
        delete[] rep_->data;
        delete rep_;
        rep_ = nullptr;
    }
    return static_cast<S &>(*this);
}

template <class T, class S>
S & zu_string_base<T, S>::erase(unsigned pos, unsigned n) {
    unsigned const size = this->size();
    if (pos >= size) {
        throw zu_out_of_range();
    }
    if (n > size - pos) {
        n = size - pos;
    }
    if (n == size) {
        return erase();
    }
    MoveUnits(rep_->data + pos, rep_->data + pos + n, size - pos - n);
    rep_->length = size - n;
    return static_cast<S &>(*this);
}

// --- access ----------------------------------------------------------------------------

template <class T, class S>
T const * zu_string_base<T, S>::data() const {
    return rep_ != nullptr ? rep_->data : EmptyText<T>::unit;
}

template <class T, class S>
T const * zu_string_base<T, S>::c_str() const {
    if (rep_ == nullptr) {
        return EmptyText<T>::unit;
    }
    unsigned const length = rep_->length;
    if (rep_->capacity <= length) {
        if (length == kMaxUnits) {
            throw std::bad_alloc();
        }
        T * block = AllocateUnits<T>(length + 1);
        if (block == nullptr) {
            throw std::bad_alloc();
        }
        CopyUnits(block, rep_->data, length);
        delete[] rep_->data;
        rep_->data = block;
        rep_->capacity = length + 1;
    }
    rep_->data[length] = 0;
    return rep_->data;
}

template <class T, class S>
T zu_string_base<T, S>::operator[](unsigned i) const {
    if (i >= size()) {
        throw zu_out_of_range();
    }
    return rep_->data[i];
}

template <class T, class S>
T & zu_string_base<T, S>::operator[](unsigned i) {
    if (i >= size()) {
        throw zu_out_of_range();
    }
    return rep_->data[i];
}

template <class T, class S>
T zu_string_base<T, S>::at(unsigned i) const {
    if (i >= size()) {
        throw zu_out_of_range();
    }
    return rep_->data[i];
}

template <class T, class S>
T & zu_string_base<T, S>::at(unsigned i) {
    if (i >= size()) {
        throw zu_out_of_range();
    }
    return rep_->data[i];
}

template <class T, class S>
unsigned zu_string_base<T, S>::copy(T * dst, unsigned n, unsigned pos) const {
    unsigned const size = this->size();
    if (size == 0) {
        return 0;
    }
    if (pos > size) {
        throw zu_out_of_range();
    }
    if (n > size - pos) {
        n = size - pos;
    }
    if (n != 0) {
        CopyUnits(dst, rep_->data + pos, n);
    }
    return n;
}

// --- searching and comparing ---------------------------------------------------------

template <class T, class S>
unsigned zu_string_base<T, S>::find(S const & pattern, unsigned pos) const {
    unsigned const plen = pattern.size();
    if (plen == 0) {
        return pos;
    }
    unsigned const size = this->size();
    if (size < plen || pos > size - plen) {
        return npos;
    }
    T const * const units = rep_->data;
    T const * const wanted = pattern.rep_->data;
    for (unsigned i = pos; i <= size - plen; ++i) {
        unsigned k = 0;
        while (k < plen && units[i + k] == wanted[k]) {
            ++k;
        }
        if (k == plen) {
            return i;
        }
    }
    return npos;
}

template <class T, class S>
int zu_string_base<T, S>::compare(S const & other) const {
    unsigned const mine = size();
    unsigned const theirs = other.size();
    if (mine == 0) {
        return theirs != 0 ? -1 : 0;
    }
    if (theirs == 0) {
        return 1;
    }
    int const r = CompareUnits(rep_->data, other.rep_->data, mine < theirs ? mine : theirs);
    if (r != 0) {
        return r;
    }
    if (mine == theirs) {
        return 0;
    }
    return mine > theirs ? 1 : -1;
}

template class zu_string_base<char, zu_string>;
template class zu_string_base<unsigned short, zu_wstring>;
template class zu_string_base<unsigned int, zu_utf32_string>;

// --- concatenation ---------------------------------------------------------------------

namespace {

template <class S, class R>
S Concatenate(S const & a, R const & b) {
    S result(a);
    result += b;
    return result;
}

}  // namespace

zu_string operator+(zu_string const & a, zu_string const & b) {
    return Concatenate(a, b);
}
zu_string operator+(zu_string const & a, char const * b) {
    return Concatenate(a, b);
}
zu_string operator+(zu_string const & a, char b) {
    return Concatenate(a, b);
}

zu_wstring operator+(zu_wstring const & a, zu_wstring const & b) {
    return Concatenate(a, b);
}
zu_wstring operator+(zu_wstring const & a, unsigned short const * b) {
    return Concatenate(a, b);
}
zu_wstring operator+(zu_wstring const & a, unsigned short b) {
    return Concatenate(a, b);
}

zu_utf32_string operator+(zu_utf32_string const & a, zu_utf32_string const & b) {
    return Concatenate(a, b);
}
zu_utf32_string operator+(zu_utf32_string const & a, unsigned int const * b) {
    return Concatenate(a, b);
}
zu_utf32_string operator+(zu_utf32_string const & a, unsigned int b) {
    return Concatenate(a, b);
}
