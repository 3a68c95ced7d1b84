// Helpers shared by the source and sink implementations.
#ifndef ZUUC_STREAMS_STREAM_UTIL_H
#define ZUUC_STREAMS_STREAM_UTIL_H

#include <cstddef>
#include <new>

#include "zuuc/foundation.h"

namespace zuuc_internal::streams {

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

}  // namespace zuuc_internal::streams

// The logic the sources, sinks and proxies of the three widths share; each
// exported class hands its own fields to these.
namespace zuuc_internal {

// GetBuffer: refills until the window [position, end) holds something or
// `fill` reports the end.
template <class T, class Fill>
bool NextWindow(T const *& position, T const *& end, Fill && fill, T const *& begin_out,
                T const *& end_out) {
    while (!(position < end)) {
        if (!fill()) {
            return false;
        }
    }
    begin_out = position;
    end_out = end;
    return true;
}

// DoneWith: a null position changes nothing.
template <class T>
void Consume(T const *& position, T const * p) {
    if (p != nullptr) {
        position = p;
    }
}

// Sink::Put(begin, end): a caller's range, resolved, goes to `put` unless
// it is empty.
template <class T, class Put>
void PutRange(T const * begin, T const * end, Put && put) {
    zuuc_internal::streams::ResolveRange(begin, end);
    if (begin < end) {
        put(begin, end);
    }
}

// Sink::Put(Source &): every window of `source` goes to `put`.
template <class T, class Source, class Put>
void PutAll(Source & source, Put && put) {
    T const * begin = nullptr;
    T const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        put(begin, end);
        source.DoneWith(end);
    }
}

// A proxy passes a behaviour to what it forwards to first.
template <class Stream>
void PassBehavior(Stream * stream, UnicodeLibBehavior * behavior) {
    if (stream != nullptr) {
        stream->SetBehavior(behavior);
    }
}

// A proxy source's refill: the proxied source learns how far the proxy's
// consumer got (the proxy only refills once its window is used up, so that
// is the end of the proxied source's window), then its next window becomes
// the proxy's own. The old window is dropped before the proxied source
// refills, so if that refill throws, a later retry does not report a stale
// position into the proxied source's new window.
template <class Source, class T>
bool RefillProxy(Source * source, bool & exhausted, T const *& position, T const *& end) {
    if (source == nullptr || exhausted) {
        return false;
    }
    source->DoneWith(position);
    position = end = nullptr;  // never hand the same position down twice
    T const * begin = nullptr;
    T const * window_end = nullptr;
    if (!source->GetBuffer(begin, window_end)) {
        exhausted = true;
        return false;
    }
    position = begin;
    end = window_end;
    return true;
}

// A proxy sink's forwarding; without a target it has no room and drops
// what it is given.
template <class Sink>
void FlushTarget(Sink * target) {
    if (target != nullptr) {
        target->Flush();
    }
}
template <class Sink>
long CapacityOf(Sink const * target) {
    return target != nullptr ? target->RemainingCapacity() : 0;
}
template <class Sink, class T>
void PutInto(Sink * target, T const * begin, T const * end) {
    if (target != nullptr) {
        target->Put(begin, end);
    }
}

// A proxy given a new stream takes the stream's behaviour (when not null).
template <class Proxy, class Stream>
void Repoint(Proxy & proxy, Stream *& member, Stream * stream) {
    member = stream;
    if (stream != nullptr) {
        proxy.SetBehavior(stream->GetBehavior());
    }
}

}  // namespace zuuc_internal

#endif
