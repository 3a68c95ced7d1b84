// Helpers shared by the source and sink implementations.
#ifndef ZUUC_STREAMS_STREAM_UTIL_H
#define ZUUC_STREAMS_STREAM_UTIL_H

#include <cstddef>
#include <new>

namespace zuuc_streams_detail {

// Position of the first 0 unit at or after `p`.
template <class T>
T const * TerminatedEnd(T const * p) {
    while (*p != 0) {
        ++p;
    }
    return p;
}

// Turns a caller's (begin, end) pair into a proper range: a null `end` means
// a zero-terminated text, a null `begin` (or an end before the begin) an
// empty one.
template <class T>
void ResolveRange(T const *& begin, T const *& end) {
    if (begin == nullptr) {
        begin = nullptr;
        end = nullptr;
    } else if (end == nullptr) {
        end = TerminatedEnd(begin);
    } else if (end < begin) {
        end = begin;
    }
}

// Appends [begin, end) to a library string. The string classes hold at most
// 0xFFFFFFFF units and leave an empty string empty when they cannot get
// memory for it; both cases are reported as std::bad_alloc, so no text is
// ever lost silently.
template <class S, class T>
void AppendRange(S & text, T const * begin, T const * end) {
    constexpr std::size_t kMaxChunk = 0x10000000u;
    while (begin < end) {
        std::size_t const left = static_cast<std::size_t>(end - begin);
        unsigned const n = static_cast<unsigned>(left < kMaxChunk ? left : kMaxChunk);
        unsigned const before = text.size();
        if (before > 0xFFFFFFFFu - n) {
            throw std::bad_alloc();
        }
        text.append(begin, n);
        if (text.size() != before + n) {
            throw std::bad_alloc();
        }
        begin += n;
    }
}

// Makes `target` a copy of `text`. The string classes leave a string empty
// when they cannot allocate, which a stream must not take for empty text.
template <class S>
void AssignWhole(S & target, S const & text) {
    target = text;
    if (target.size() != text.size()) {
        throw std::bad_alloc();
    }
}

}  // namespace zuuc_streams_detail

#endif
