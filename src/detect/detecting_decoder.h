// The decoding stage that the buffer converters use for an auto-detecting
// encoding (whose own transcoder factories make nothing).
#ifndef ZUUC_DETECT_DETECTING_DECODER_H
#define ZUUC_DETECT_DETECTING_DECODER_H

#include "zuuc/char_encoding.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::detect {

// A transcoder from bytes to UTF-32 (Out = unsigned int) or UTF-16 (Out =
// unsigned short) that reads ahead until the encoding's candidates are
// decided between, then decodes the bytes read ahead and the rest with the
// chosen candidate's own transcoder. Null when `encoding` has no candidates.
// Placed in `allocator`.
template <class Out>
Transcoder<char, Out> * CreateDetectingDecoder(CharEncoding const & encoding,
                                               UnicodeLibAllocator & allocator);

// Problems in the bytes read ahead that come to light while finishing are
// replaced by U+FFFD in place (a problem result of Finish ends the
// conversion); the buffer converter adds their count to its own.
class InPlaceSubstitutes {
public:
    // The substitutes written in place since the last call.
    virtual unsigned int Take() = 0;

protected:
    ~InPlaceSubstitutes() = default;
};

// The count of a decoder made by CreateDetectingDecoder.
template <class Out>
InPlaceSubstitutes & SubstitutesOf(Transcoder<char, Out> & detecting);

}  // namespace zuuc_internal::detect

#endif
