// The stream factories of an encoding whose own transcoders to and from
// UTF-32 do the work: each wraps the transcoder in the stream adapter of its
// direction, with UTF-32 naming the Unicode side. By the library's one wrap
// rule a factory returns null when the encoding offers no transcoder or
// memory runs out (a transcoder already made is then deleted again); other
// errors, such as an encoding library that cannot be loaded, pass on.
#ifndef ZUUC_SRC_CONVERT_ENCODING_STREAMS_H
#define ZUUC_SRC_CONVERT_ENCODING_STREAMS_H

#include <new>

#include "convert/transcode_contract.h"
#include "streams/unit_width.h"
#include "zuuc/char_encoding.h"
#include "zuuc/stream_adapters.h"

namespace zuuc_internal {

// The stream adapters between two widths.
template <class In, class Out>
struct AdapterOf;
template <>
struct AdapterOf<char, unsigned short> {
    using Source = CharSource_8_to_16;
    using Sink = CharSink_8_to_16;
};
template <>
struct AdapterOf<char, unsigned int> {
    using Source = CharSource_8_to_32;
    using Sink = CharSink_8_to_32;
};
template <>
struct AdapterOf<unsigned short, char> {
    using Source = CharSource_16_to_8;
    using Sink = CharSink_16_to_8;
};
template <>
struct AdapterOf<unsigned short, unsigned short> {
    using Source = CharSource_16_to_16;
    using Sink = CharSink_16_to_16;
};
template <>
struct AdapterOf<unsigned short, unsigned int> {
    using Source = CharSource_16_to_32;
    using Sink = CharSink_16_to_32;
};
template <>
struct AdapterOf<unsigned int, char> {
    using Source = CharSource_32_to_8;
    using Sink = CharSink_32_to_8;
};
template <>
struct AdapterOf<unsigned int, unsigned short> {
    using Source = CharSource_32_to_16;
    using Sink = CharSink_32_to_16;
};
template <>
struct AdapterOf<unsigned int, unsigned int> {
    using Source = CharSource_32_to_32;
    using Sink = CharSink_32_to_32;
};

template <class Adapter, class Create, class Make>
Adapter * WrapTranscoder(Create && create, Make && make) {
    return Wrap(NullOnBadAlloc(create), make);
}

template <class Encoding, class Unit = UnitOfEncoding<Encoding>>
ToUnicodeSource * TranscodingSourceToUnicode(Encoding const & encoding, SourceOf<Unit> & source,
                                             UnicodeLibAllocator & allocator) {
    using Adapter = typename AdapterOf<Unit, unsigned int>::Source;
    return WrapTranscoder<Adapter>([&] { return encoding.CreateConverterToUTF32(allocator); },
                                   [&](Transcoder<Unit, unsigned int> * transcoder) {
                                       return new (allocator) Adapter(source, encoding, transcoder,
                                                                      Char32Encoding::UTF32());
                                   });
}

template <class Encoding, class Unit = UnitOfEncoding<Encoding>>
SourceOf<Unit> * TranscodingSourceFromUnicode(Encoding const & encoding, Char32Source & source,
                                              UnicodeLibAllocator & allocator) {
    using Adapter = typename AdapterOf<unsigned int, Unit>::Source;
    return WrapTranscoder<Adapter>([&] { return encoding.CreateConverterFromUTF32(allocator); },
                                   [&](Transcoder<unsigned int, Unit> * transcoder) {
                                       return new (allocator) Adapter(
                                           source, Char32Encoding::UTF32(), transcoder, encoding);
                                   });
}

template <class Encoding, class Unit = UnitOfEncoding<Encoding>>
Char32Sink * TranscodingSinkFromUnicode(Encoding const & encoding, SinkOf<Unit> & sink,
                                        UnicodeLibAllocator & allocator) {
    using Adapter = typename AdapterOf<unsigned int, Unit>::Sink;
    return WrapTranscoder<Adapter>([&] { return encoding.CreateConverterFromUTF32(allocator); },
                                   [&](Transcoder<unsigned int, Unit> * transcoder) {
                                       return new (allocator) Adapter(Char32Encoding::UTF32(),
                                                                      transcoder, encoding, sink);
                                   });
}

template <class Encoding, class Unit = UnitOfEncoding<Encoding>>
SinkOf<Unit> * TranscodingSinkToUnicode(Encoding const & encoding, Char32Sink & sink,
                                        UnicodeLibAllocator & allocator) {
    using Adapter = typename AdapterOf<Unit, unsigned int>::Sink;
    return WrapTranscoder<Adapter>([&] { return encoding.CreateConverterToUTF32(allocator); },
                                   [&](Transcoder<Unit, unsigned int> * transcoder) {
                                       return new (allocator) Adapter(
                                           encoding, transcoder, Char32Encoding::UTF32(), sink);
                                   });
}

}  // namespace zuuc_internal

// The four stream factories of `Class`, forwarded to the templates above.
#define ZUUC_TRANSCODING_STREAMS(Class)                                                           \
    ToUnicodeSource * Class::CreateCharSourceToUnicode(                                           \
        zuuc_internal::SourceOf<zuuc_internal::UnitOfEncoding<Class>> & source,                   \
        UnicodeLibAllocator & allocator) const {                                                  \
        return zuuc_internal::TranscodingSourceToUnicode(*this, source, allocator);               \
    }                                                                                             \
    zuuc_internal::SourceOf<zuuc_internal::UnitOfEncoding<Class>> *                               \
    Class::CreateCharSourceFromUnicode(Char32Source & source, UnicodeLibAllocator & allocator)    \
        const {                                                                                   \
        return zuuc_internal::TranscodingSourceFromUnicode(*this, source, allocator);             \
    }                                                                                             \
    Char32Sink * Class::CreateCharSinkFromUnicode(                                                \
        zuuc_internal::SinkOf<zuuc_internal::UnitOfEncoding<Class>> & sink,                       \
        UnicodeLibAllocator & allocator) const {                                                  \
        return zuuc_internal::TranscodingSinkFromUnicode(*this, sink, allocator);                 \
    }                                                                                             \
    zuuc_internal::SinkOf<zuuc_internal::UnitOfEncoding<Class>> * Class::CreateCharSinkToUnicode( \
        Char32Sink & sink, UnicodeLibAllocator & allocator) const {                               \
        return zuuc_internal::TranscodingSinkToUnicode(*this, sink, allocator);                   \
    }

#endif
