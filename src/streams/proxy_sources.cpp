// Proxy sources: sources that offer the windows of another source. The
// logic is in streams/stream_util.h (RefillProxy, Repoint); the classes
// forward to it.
#include "streams/stream_util.h"
#include "zuuc/sources.h"

// A copy takes the window as well. A new proxied source is read from its own
// position: the window taken from the previous one is dropped unreported.
#define ZUUC_PROXY_SOURCE(Proxy, Source)                                         \
    Proxy::Proxy(Source * source)                                                \
        : Source(static_cast<UnicodeLibActor const *>(source)),                  \
          source_(source),                                                       \
          exhausted_(false) {}                                                   \
    Proxy::Proxy(Proxy const & other)                                            \
        : Source(other), source_(other.source_), exhausted_(other.exhausted_) {  \
        SetWindow(other.position_, other.end_);                                  \
    }                                                                            \
    Proxy & Proxy::operator=(Proxy const & other) = default;                     \
    Proxy::~Proxy() = default;                                                   \
    UnicodeLibBehavior * Proxy::SetBehavior(UnicodeLibBehavior * behavior) {     \
        zuuc_internal::PassBehavior(source_, behavior);                          \
        return Source::SetBehavior(behavior);                                    \
    }                                                                            \
    bool Proxy::FillBuffer() {                                                   \
        return zuuc_internal::RefillProxy(source_, exhausted_, position_, end_); \
    }                                                                            \
    void Proxy::SetProxy(Source * source) {                                      \
        exhausted_ = false;                                                      \
        SetWindow(nullptr, nullptr);                                             \
        zuuc_internal::Repoint(*this, source_, source);                          \
    }

ZUUC_PROXY_SOURCE(CharProxySource, CharSource)
ZUUC_PROXY_SOURCE(Char16ProxySource, Char16Source)
ZUUC_PROXY_SOURCE(Char32ProxySource, Char32Source)

#undef ZUUC_PROXY_SOURCE
