// Directed proxies: proxy sources and sinks that own the chain behind them.
//
// Encodings and converters that build a chain of stream stages hand back one
// of these so the caller gets a single object to read from (or write to) and
// to delete. The proxy forwards to its proxied source or target sink exactly
// like the plain proxies, and a director deletes the (up to two) actors it
// was given when the proxy is destroyed: the first, then the second.
//
// Deletion order matters for sinks: a sink stage may write the output it
// still owes into its target when it is destroyed, so the stage that writes
// into the other must be the first actor (the outer stage first, then the
// stage it writes into). Source stages do not touch their input when they are
// destroyed; for them the order is free.
//
// SetBehavior passes a behaviour to both owned actors first (a null one is
// resolved to the library default first, so the whole chain ends up with the
// same behaviour), then follows the plain proxy rule: the proxied source or
// target, then the proxy itself.
//
// Internal to the library; everything is defined here, inline.
#ifndef ZUUC_STREAMS_DIRECTED_PROXIES_H
#define ZUUC_STREAMS_DIRECTED_PROXIES_H

#include "zuuc/behavior.h"
#include "zuuc/foundation.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"

namespace zuuc_internal::streams {

inline void PassToActors(UnicodeLibDirector & director, UnicodeLibBehavior * behavior) {
    director.SetBehaviors(behavior != nullptr ? *behavior
                                              : *UnicodeLibBehavior::GetDefaultBehavior());
}

}  // namespace zuuc_internal::streams

// Constructed over the source (target) to forward to and the two actors to
// own (either may be null; the proxied source or target is usually one of
// them). Not copyable: ownership cannot be shared.
template <class Base, class Stream>
class DirectedProxy : public Base {
public:
    DirectedProxy(Stream * stream, UnicodeLibActor * first, UnicodeLibActor * second)
        : Base(stream), director_(first, second) {}
    DirectedProxy(DirectedProxy const &) = delete;
    DirectedProxy & operator=(DirectedProxy const &) = delete;
    ~DirectedProxy() override = default;

    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override {
        zuuc_internal::streams::PassToActors(director_, behavior);
        return Base::SetBehavior(behavior);
    }

    // The director, for building the chain in steps.
    UnicodeLibDirector & Director() { return director_; }
    using Base::SetProxy;

private:
    UnicodeLibDirector director_;
};

using DirectedCharProxySource = DirectedProxy<CharProxySource, CharSource>;
using DirectedChar16ProxySource = DirectedProxy<Char16ProxySource, Char16Source>;
using DirectedChar32ProxySource = DirectedProxy<Char32ProxySource, Char32Source>;
using DirectedCharProxySink = DirectedProxy<CharProxySink, CharSink>;
using DirectedChar16ProxySink = DirectedProxy<Char16ProxySink, Char16Sink>;
using DirectedChar32ProxySink = DirectedProxy<Char32ProxySink, Char32Sink>;

#endif
