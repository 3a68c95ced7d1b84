// One Transcode call over a whole input into a buffer of a given size, with
// what it returned, consumed and wrote.
#ifndef ZUUC_TESTS_SUPPORT_TRANSCODE_ONCE_H
#define ZUUC_TESTS_SUPPORT_TRANSCODE_ONCE_H

#include <cstddef>
#include <ostream>
#include <vector>

#include "zuuc/transcoder.h"

template <class To>
struct TranscodeStep {
    TranscodeResult result;
    std::size_t consumed;
    std::vector<To> output;
    bool operator==(TranscodeStep const & o) const {
        return result == o.result && consumed == o.consumed && output == o.output;
    }
};

template <class To>
std::ostream & operator<<(std::ostream & os, TranscodeStep<To> const & s) {
    return os << "result " << s.result << ", consumed " << s.consumed << ", wrote "
              << s.output.size();
}

template <class From, class To>
TranscodeStep<To> TranscodeOnce(Transcoder<From, To> & converter, std::vector<From> const & input,
                                std::size_t room = 64, long limit = -1) {
    std::vector<To> buffer(room + 1);
    From const * in = input.data();
    To * out = buffer.data();
    TranscodeResult const r =
        converter.Transcode(in, input.data() + input.size(), out, buffer.data() + room, limit);
    buffer.resize(static_cast<std::size_t>(out - buffer.data()));
    return {r, static_cast<std::size_t>(in - input.data()), buffer};
}

// One Finish call into a buffer of a given size.
template <class From, class To>
TranscodeStep<To> FinishOnce(Transcoder<From, To> & converter, std::size_t room = 8) {
    std::vector<To> buffer(room + 1);
    To * out = buffer.data();
    TranscodeResult const r = converter.Finish(out, buffer.data() + room, -1);
    buffer.resize(static_cast<std::size_t>(out - buffer.data()));
    return {r, 0, buffer};
}

#endif
