#include "convert/encoding_streams.h"
#include "zuuc/char_encoding.h"

// The stream factories of the table-driven encodings wrap the encoding's own
// UTF-32 transcoders in the stream adapters of the conversion engine
// (convert/encoding_streams.h). Each first brings the encoding's tables in
// (throwing when they cannot be loaded).

BlockCharEncoding::~BlockCharEncoding() = default;

ToUnicodeSource * BlockCharEncoding::CreateCharSourceToUnicode(
    CharSource & source, UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::TranscodingSourceToUnicode(*this, source, allocator);
}

CharSource * BlockCharEncoding::CreateCharSourceFromUnicode(Char32Source & source,
                                                            UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::TranscodingSourceFromUnicode(*this, source, allocator);
}

Char32Sink * BlockCharEncoding::CreateCharSinkFromUnicode(CharSink & sink,
                                                          UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::TranscodingSinkFromUnicode(*this, sink, allocator);
}

CharSink * BlockCharEncoding::CreateCharSinkToUnicode(Char32Sink & sink,
                                                      UnicodeLibAllocator & allocator) const {
    Load();
    return zuuc_internal::TranscodingSinkToUnicode(*this, sink, allocator);
}
