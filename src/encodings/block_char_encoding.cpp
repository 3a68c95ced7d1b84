#include "zuuc/char_encoding.h"

#include <new>

#include "convert/transcode_contract.h"
#include "zuuc/stream_adapters.h"

// The stream factories of the table-driven encodings wrap the encoding's own
// UTF-32 transcoders in the stream adapters of the conversion engine. Each
// first makes sure the encoding's tables are loaded. It returns null when
// the encoding offers no transcoder, when there is no UTF-32 encoding to name
// the Unicode side, or when allocation fails; a transcoder already made is
// then deleted again, so nothing leaks.

namespace {

// The Unicode side of every conversion these factories build.
Char32Encoding const * UnicodeSide() { return &Char32Encoding::UTF32(); }

// Places an adapter around the transcoder `create` makes, by the library's
// one wrap rule: null when there is no transcoder or no memory (errors other
// than a failed allocation, such as an encoding library that cannot be
// loaded, pass on).
template <class Adapter, class Create, class Make>
Adapter * Wrap(Create && create, Make && make) {
    return zuuc_internal::Wrap(zuuc_internal::NullOnBadAlloc(create), make);
}

}  // namespace

BlockCharEncoding::~BlockCharEncoding() = default;

ToUnicodeSource * BlockCharEncoding::CreateCharSourceToUnicode(CharSource & source,
                                                               UnicodeLibAllocator & allocator) const {
    Load();  // brings the tables in (throws when they cannot be loaded)
    Char32Encoding const * const unicode = UnicodeSide();
    if (unicode == nullptr) {
        return nullptr;
    }
    return Wrap<CharSource_8_to_32>([&] { return CreateConverterToUTF32(allocator); },
                                    [&](Transcoder<char, unsigned int> * transcoder) {
                                        return new (allocator)
                                            CharSource_8_to_32(source, *this, transcoder, *unicode);
                                    });
}

CharSource * BlockCharEncoding::CreateCharSourceFromUnicode(Char32Source & source,
                                                            UnicodeLibAllocator & allocator) const {
    Load();  // brings the tables in (throws when they cannot be loaded)
    Char32Encoding const * const unicode = UnicodeSide();
    if (unicode == nullptr) {
        return nullptr;
    }
    return Wrap<CharSource_32_to_8>([&] { return CreateConverterFromUTF32(allocator); },
                                    [&](Transcoder<unsigned int, char> * transcoder) {
                                        return new (allocator)
                                            CharSource_32_to_8(source, *unicode, transcoder, *this);
                                    });
}

Char32Sink * BlockCharEncoding::CreateCharSinkFromUnicode(CharSink & sink,
                                                          UnicodeLibAllocator & allocator) const {
    Load();  // brings the tables in (throws when they cannot be loaded)
    Char32Encoding const * const unicode = UnicodeSide();
    if (unicode == nullptr) {
        return nullptr;
    }
    return Wrap<CharSink_32_to_8>([&] { return CreateConverterFromUTF32(allocator); },
                                  [&](Transcoder<unsigned int, char> * transcoder) {
                                      return new (allocator)
                                          CharSink_32_to_8(*unicode, transcoder, *this, sink);
                                  });
}

CharSink * BlockCharEncoding::CreateCharSinkToUnicode(Char32Sink & sink,
                                                      UnicodeLibAllocator & allocator) const {
    Load();  // brings the tables in (throws when they cannot be loaded)
    Char32Encoding const * const unicode = UnicodeSide();
    if (unicode == nullptr) {
        return nullptr;
    }
    return Wrap<CharSink_8_to_32>([&] { return CreateConverterToUTF32(allocator); },
                                  [&](Transcoder<char, unsigned int> * transcoder) {
                                      return new (allocator)
                                          CharSink_8_to_32(*this, transcoder, *unicode, sink);
                                  });
}
