#include "zuuc/char_encoding.h"

// The stream factories of the table-driven encodings wrap their UTF-32
// transcoders in the stream adapters of the conversion engine. Until the
// engine is part of the library they create nothing.

BlockCharEncoding::~BlockCharEncoding() = default;

ToUnicodeSource * BlockCharEncoding::CreateCharSourceToUnicode(CharSource &,
                                                               UnicodeLibAllocator &) const {
    return nullptr;
}

CharSource * BlockCharEncoding::CreateCharSourceFromUnicode(Char32Source &,
                                                            UnicodeLibAllocator &) const {
    return nullptr;
}

Char32Sink * BlockCharEncoding::CreateCharSinkFromUnicode(CharSink &, UnicodeLibAllocator &) const {
    return nullptr;
}

CharSink * BlockCharEncoding::CreateCharSinkToUnicode(Char32Sink &, UnicodeLibAllocator &) const {
    return nullptr;
}
