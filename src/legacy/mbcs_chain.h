// Two-stage converters (through UTF-32) for the legacy encodings, built with
// the library's one chain builder.
#ifndef ZUUC_SRC_LEGACY_MBCS_CHAIN_H
#define ZUUC_SRC_LEGACY_MBCS_CHAIN_H

#include "convert/transcode_contract.h"
#include "zuuc/char_encoding.h"
#include "zuuc/foundation.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::legacy {

// Bytes to UTF-16 through a byte-to-UTF-32 converter; null (and `to_utf32`
// deleted) when a stage is missing or the chain cannot be placed.
inline Transcoder<char, unsigned short> * ThroughUTF32(Transcoder<char, unsigned int> * to_utf32,
                                                       UnicodeLibAllocator & allocator) {
    if (to_utf32 == nullptr) {
        return nullptr;
    }
    return zuuc_internal::Chain(to_utf32, Char32Encoding::UTF32().CreateConverterToUTF16(allocator),
                                allocator);
}

// UTF-16 to bytes through a UTF-32-to-byte converter, likewise.
inline Transcoder<unsigned short, char> * ThroughUTF32(Transcoder<unsigned int, char> * from_utf32,
                                                       UnicodeLibAllocator & allocator) {
    if (from_utf32 == nullptr) {
        return nullptr;
    }
    return zuuc_internal::Chain(Char32Encoding::UTF32().CreateConverterFromUTF16(allocator),
                                from_utf32, allocator);
}

}  // namespace zuuc_internal::legacy

#endif
