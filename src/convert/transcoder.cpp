// The transcoder interface and the abstract bases of the concrete codecs.
#include "zuuc/transcoder.h"

// --- Transcoder --------------------------------------------------------------

template <class From, class To>
Transcoder<From, To>::Transcoder() : UnicodeLibActor() {}

template <class From, class To>
Transcoder<From, To>::Transcoder(UnicodeLibBehavior * behavior) : UnicodeLibActor(behavior) {}

template <class From, class To>
Transcoder<From, To>::~Transcoder() = default;

template <class From, class To>
TranscodeResult Transcoder<From, To>::TranscodeInBlock(From const *&, From const *, To *&, To *,
                                                       long) {
    return kTranscodeInputExhausted;
}

template <class From, class To>
unsigned int Transcoder<From, To>::Mode() const {
    return 0;
}

template class Transcoder<char, char>;
template class Transcoder<char, unsigned short>;
template class Transcoder<char, unsigned int>;
template class Transcoder<unsigned short, char>;
template class Transcoder<unsigned short, unsigned short>;
template class Transcoder<unsigned short, unsigned int>;
template class Transcoder<unsigned int, char>;
template class Transcoder<unsigned int, unsigned short>;
template class Transcoder<unsigned int, unsigned int>;

// --- Block converters --------------------------------------------------------

BlockConverter_8_to_16::BlockConverter_8_to_16() = default;
BlockConverter_8_to_16::~BlockConverter_8_to_16() = default;

BlockConverter_8_to_32::BlockConverter_8_to_32() = default;
BlockConverter_8_to_32::~BlockConverter_8_to_32() = default;

BlockConverter_16_to_8::BlockConverter_16_to_8() : state_flag_(false) {}
BlockConverter_16_to_8::~BlockConverter_16_to_8() = default;
void BlockConverter_16_to_8::Reset() {
    state_flag_ = false;
}

BlockConverter_16_to_16::BlockConverter_16_to_16() = default;
BlockConverter_16_to_16::~BlockConverter_16_to_16() = default;

BlockConverter_16_to_32::BlockConverter_16_to_32() = default;
BlockConverter_16_to_32::~BlockConverter_16_to_32() = default;

BlockConverter_32_to_8::BlockConverter_32_to_8() : state_flag_(false) {}
BlockConverter_32_to_8::~BlockConverter_32_to_8() = default;
void BlockConverter_32_to_8::Reset() {
    state_flag_ = false;
}

BlockConverter_32_to_16::BlockConverter_32_to_16() = default;
BlockConverter_32_to_16::~BlockConverter_32_to_16() = default;
void BlockConverter_32_to_16::Reset() {}

BlockConverter_32_to_32::BlockConverter_32_to_32() = default;
BlockConverter_32_to_32::~BlockConverter_32_to_32() = default;
