// The classes of one code-unit width. Code that exists for 8-, 16- and 32-bit
// units is written once as a template over the unit type; these traits name
// the exported classes of that width, which forward to the template.
#ifndef ZUUC_SRC_STREAMS_UNIT_WIDTH_H
#define ZUUC_SRC_STREAMS_UNIT_WIDTH_H

#include <type_traits>

#include "zuuc/char_encoding.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"

namespace zuuc_internal {

template <class Unit>
struct UnitWidth;

template <>
struct UnitWidth<char> {
    using Source = CharSource;
    using Sink = CharSink;
    using ProxySource = CharProxySource;
    using ProxySink = CharProxySink;
    using Encoding = CharEncoding;
};

template <>
struct UnitWidth<unsigned short> {
    using Source = Char16Source;
    using Sink = Char16Sink;
    using ProxySource = Char16ProxySource;
    using ProxySink = Char16ProxySink;
    using Encoding = Char16Encoding;
};

template <>
struct UnitWidth<unsigned int> {
    using Source = Char32Source;
    using Sink = Char32Sink;
    using ProxySource = Char32ProxySource;
    using ProxySink = Char32ProxySink;
    using Encoding = Char32Encoding;
};

template <class Unit>
using SourceOf = typename UnitWidth<Unit>::Source;
template <class Unit>
using ProxySourceOf = typename UnitWidth<Unit>::ProxySource;
template <class Unit>
using ProxySinkOf = typename UnitWidth<Unit>::ProxySink;
template <class Unit>
using SinkOf = typename UnitWidth<Unit>::Sink;
template <class Unit>
using EncodingOf = typename UnitWidth<Unit>::Encoding;

// The unit of an encoding class (or of a class derived from one).
template <class Encoding>
using UnitOfEncoding =
    std::conditional_t<std::is_base_of<CharEncoding, Encoding>::value, char,
                       std::conditional_t<std::is_base_of<Char16Encoding, Encoding>::value,
                                          unsigned short, unsigned int>>;

}  // namespace zuuc_internal

#endif
