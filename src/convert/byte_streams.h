// The stream factories of a byte encoding whose own transcoders to and from
// UTF-32 do the work: each wraps the transcoder in the stream adapter of its
// direction, with UTF-32 naming the Unicode side. By the library's one wrap
// rule a factory returns null when the encoding offers no transcoder or
// memory runs out (a transcoder already made is then deleted again); other
// errors, such as an encoding library that cannot be loaded, pass on.
#ifndef ZUUC_SRC_CONVERT_BYTE_STREAMS_H
#define ZUUC_SRC_CONVERT_BYTE_STREAMS_H

#include <new>

#include "convert/transcode_contract.h"
#include "zuuc/char_encoding.h"
#include "zuuc/stream_adapters.h"

namespace zuuc_internal {

template <class Adapter, class Create, class Make>
Adapter * WrapTranscoder(Create && create, Make && make) {
    return Wrap(NullOnBadAlloc(create), make);
}

template <class Encoding>
ToUnicodeSource * ByteSourceToUnicode(Encoding const & encoding, CharSource & source,
                                      UnicodeLibAllocator & allocator) {
    return WrapTranscoder<CharSource_8_to_32>(
        [&] { return encoding.CreateConverterToUTF32(allocator); },
        [&](Transcoder<char, unsigned int> * transcoder) {
            return new (allocator)
                CharSource_8_to_32(source, encoding, transcoder, Char32Encoding::UTF32());
        });
}

template <class Encoding>
CharSource * ByteSourceFromUnicode(Encoding const & encoding, Char32Source & source,
                                   UnicodeLibAllocator & allocator) {
    return WrapTranscoder<CharSource_32_to_8>(
        [&] { return encoding.CreateConverterFromUTF32(allocator); },
        [&](Transcoder<unsigned int, char> * transcoder) {
            return new (allocator)
                CharSource_32_to_8(source, Char32Encoding::UTF32(), transcoder, encoding);
        });
}

template <class Encoding>
Char32Sink * ByteSinkFromUnicode(Encoding const & encoding, CharSink & sink,
                                 UnicodeLibAllocator & allocator) {
    return WrapTranscoder<CharSink_32_to_8>(
        [&] { return encoding.CreateConverterFromUTF32(allocator); },
        [&](Transcoder<unsigned int, char> * transcoder) {
            return new (allocator)
                CharSink_32_to_8(Char32Encoding::UTF32(), transcoder, encoding, sink);
        });
}

template <class Encoding>
CharSink * ByteSinkToUnicode(Encoding const & encoding, Char32Sink & sink,
                             UnicodeLibAllocator & allocator) {
    return WrapTranscoder<CharSink_8_to_32>(
        [&] { return encoding.CreateConverterToUTF32(allocator); },
        [&](Transcoder<char, unsigned int> * transcoder) {
            return new (allocator)
                CharSink_8_to_32(encoding, transcoder, Char32Encoding::UTF32(), sink);
        });
}

}  // namespace zuuc_internal

#endif
