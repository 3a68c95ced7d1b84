// stdio-style reading from sources: single units with one unit of
// push-back, and whole lines.
#include <climits>
#include <cstddef>

#include "zuuc/sources.h"

namespace {

constexpr long kLineFeed = 10;

// The next unit of `source` as a non-negative value, or -1 at its end.
template <class U, class I, class Source, class T>
I NextUnit(Source & source, I & pushed_back) {
    if (pushed_back != -1) {
        I const unit = pushed_back;
        pushed_back = -1;
        return unit;
    }
    T const * begin = nullptr;
    T const * end = nullptr;
    if (!source.GetBuffer(begin, end)) {
        return -1;
    }
    source.DoneWith(begin + 1);
    return static_cast<I>(static_cast<U>(*begin));
}

// Push-back of one unit, cut to the unit width `U`.
template <class U, class I>
I PushBack(I & pushed_back, I c) {
    if (pushed_back != -1 || c < 0) {
        return -1;
    }
    pushed_back = static_cast<I>(static_cast<U>(c));
    return pushed_back;
}

template <class I, class Source, class T>
int AtEnd(Source & source, I pushed_back) {
    if (pushed_back != -1) {
        return 0;
    }
    T const * begin = nullptr;
    T const * end = nullptr;
    return source.GetBuffer(begin, end) ? 0 : 1;
}

// One line with its line feed, at most n - 1 units and a terminator.
template <class I, class Source, class T>
T * ReadLineKeepingFeed(Source & source, I & pushed_back, T * buf, int n) {
    if (buf == nullptr || n < 2) {
        return nullptr;
    }
    std::size_t const limit = static_cast<std::size_t>(n) - 1;
    std::size_t stored = 0;
    if (pushed_back != -1) {
        T const unit = static_cast<T>(pushed_back);
        pushed_back = -1;
        buf[stored++] = unit;
        if (unit == kLineFeed) {
            buf[stored] = 0;
            return buf;
        }
    }
    bool line_ended = false;
    while (!line_ended && stored < limit) {
        T const * begin = nullptr;
        T const * end = nullptr;
        if (!source.GetBuffer(begin, end)) {
            break;
        }
        T const * p = begin;
        while (p < end && stored < limit) {
            T const unit = *p++;
            buf[stored++] = unit;
            if (unit == kLineFeed) {
                line_ended = true;
                break;
            }
        }
        source.DoneWith(p);
    }
    if (stored == 0) {
        return nullptr;
    }
    buf[stored] = 0;
    return buf;
}

// One line without its line feed (which is consumed), at most n - 1 units
// and a terminator; n == -1 for no limit.
template <class I, class Source, class T>
T * ReadLineDroppingFeed(Source & source, I & pushed_back, T * buf, int n) {
    if (buf == nullptr || n == 0 || n < -1) {
        return nullptr;
    }
    std::size_t const limit =
        n == -1 ? static_cast<std::size_t>(-1) : static_cast<std::size_t>(n) - 1;
    std::size_t stored = 0;
    if (pushed_back != -1) {
        if (pushed_back == kLineFeed) {
            pushed_back = -1;
            buf[0] = 0;
            return buf;
        }
        if (stored < limit) {
            buf[stored++] = static_cast<T>(pushed_back);
            pushed_back = -1;
        }
    }
    while (stored < limit) {
        T const * begin = nullptr;
        T const * end = nullptr;
        if (!source.GetBuffer(begin, end)) {
            break;
        }
        T const * p = begin;
        while (p < end && stored < limit) {
            T const unit = *p++;
            if (unit == kLineFeed) {
                source.DoneWith(p);
                buf[stored] = 0;
                return buf;
            }
            buf[stored++] = unit;
        }
        source.DoneWith(p);
    }
    buf[stored] = 0;
    return stored > 0 ? buf : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------

StdioSource::StdioSource(CharSource & source) : source_(source), pushed_back_(-1) {}

int StdioSource::fgetc() {
    return NextUnit<unsigned char, int, CharSource, char>(source_, pushed_back_);
}
int StdioSource::getc_() {
    return fgetc();
}
int StdioSource::ungetc(int c) {
    return PushBack<unsigned char>(pushed_back_, c);
}
char * StdioSource::fgets(char * buf, int n) {
    return ReadLineKeepingFeed(source_, pushed_back_, buf, n);
}
char * StdioSource::gets(char * buf, int n) {
    return ReadLineDroppingFeed(source_, pushed_back_, buf, n);
}
int StdioSource::feof_() {
    return AtEnd<int, CharSource, char>(source_, pushed_back_);
}

Stdio16Source::Stdio16Source(Char16Source & source) : source_(source), pushed_back_(-1) {}

long Stdio16Source::fgetc() {
    return NextUnit<unsigned short, long, Char16Source, unsigned short>(source_, pushed_back_);
}
long Stdio16Source::getc_() {
    return fgetc();
}
long Stdio16Source::ungetc(long c) {
    return PushBack<unsigned short>(pushed_back_, c);
}
unsigned short * Stdio16Source::fgets(unsigned short * buf, int n) {
    return ReadLineKeepingFeed(source_, pushed_back_, buf, n);
}
unsigned short * Stdio16Source::gets(unsigned short * buf, int n) {
    return ReadLineDroppingFeed(source_, pushed_back_, buf, n);
}
int Stdio16Source::feof_() {
    return AtEnd<long, Char16Source, unsigned short>(source_, pushed_back_);
}

Stdio32Source::Stdio32Source(Char32Source & source) : source_(source), pushed_back_(-1) {}

long Stdio32Source::fgetc() {
    return NextUnit<unsigned int, long, Char32Source, unsigned int>(source_, pushed_back_);
}
long Stdio32Source::getc_() {
    return fgetc();
}
long Stdio32Source::ungetc(long c) {
    return PushBack<unsigned int>(pushed_back_, c);
}
unsigned int * Stdio32Source::fgets(unsigned int * buf, int n) {
    return ReadLineKeepingFeed(source_, pushed_back_, buf, n);
}
unsigned int * Stdio32Source::gets(unsigned int * buf, int n) {
    return ReadLineDroppingFeed(source_, pushed_back_, buf, n);
}
int Stdio32Source::feof_() {
    return AtEnd<long, Char32Source, unsigned int>(source_, pushed_back_);
}
