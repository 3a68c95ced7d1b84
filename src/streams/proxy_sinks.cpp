// Proxy sinks: sinks that write into another sink. The logic is in
// streams/stream_util.h; the classes forward to it.
#include "streams/stream_util.h"
#include "zuuc/sinks.h"

// Without a target a proxy has no room and drops what it is given.
#define ZUUC_PROXY_SINK(Proxy, Sink, Unit)                                       \
    Proxy::Proxy(Sink * target)                                                  \
        : Sink(static_cast<UnicodeLibActor const *>(target)), target_(target) {} \
    Proxy::Proxy(Proxy const & other) = default;                                 \
    Proxy & Proxy::operator=(Proxy const & other) = default;                     \
    Proxy::~Proxy() = default;                                                   \
    UnicodeLibBehavior * Proxy::SetBehavior(UnicodeLibBehavior * behavior) {     \
        zuuc_internal::PassBehavior(target_, behavior);                          \
        return Sink::SetBehavior(behavior);                                      \
    }                                                                            \
    void Proxy::Flush() {                                                        \
        zuuc_internal::FlushTarget(target_);                                     \
    }                                                                            \
    long Proxy::RemainingCapacity() const {                                      \
        return zuuc_internal::CapacityOf(target_);                               \
    }                                                                            \
    void Proxy::PutBuffer(Unit const * begin, Unit const * end) {                \
        zuuc_internal::PutInto(target_, begin, end);                             \
    }                                                                            \
    void Proxy::SetProxy(Sink * target) {                                        \
        zuuc_internal::Repoint(*this, target_, target);                          \
    }

ZUUC_PROXY_SINK(CharProxySink, CharSink, char)
ZUUC_PROXY_SINK(Char16ProxySink, Char16Sink, unsigned short)
ZUUC_PROXY_SINK(Char32ProxySink, Char32Sink, unsigned int)

#undef ZUUC_PROXY_SINK

// Passed on so that a producer stopping at a character that does not fit
// also stops the final buffer: later, smaller characters must not be written
// after the one that was dropped.
void CharProxySink::MarkAsTruncated() {
    if (target_ != nullptr) {
        target_->MarkAsTruncated();
    }
}
