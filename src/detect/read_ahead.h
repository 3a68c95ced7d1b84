// Feeding a chooser: the pieces of the library that read ahead (the
// decoding source and sink and the buffer converters' detecting stage) hand
// their input to the chooser in slices, so that the decision can fall early
// in a large window and the rest goes straight to the chosen decoder.
#ifndef ZUUC_DETECT_READ_AHEAD_H
#define ZUUC_DETECT_READ_AHEAD_H

#include <cstddef>

#include "zuuc/auto_detect.h"

namespace zuuc_internal::detect {

// Bytes examined per call of EncodingChooser::Examine.
constexpr std::size_t kExamineSlice = 1024;

// Examines [begin, end) slice by slice until the chooser decides. Returns
// the end of what was examined (all of it when undecided); `chosen` is set
// to the decision, `rating` to the best rating.
inline unsigned char const * ExamineSlices(EncodingChooser & chooser, unsigned char const * begin,
                                           unsigned char const * end, CharEncoding const *& chosen,
                                           int & rating) {
    chosen = nullptr;
    unsigned char const * position = begin;
    do {
        // Slices end where the read-ahead reaches a multiple of the slice
        // size: the only places a decision can fall.
        std::size_t const left = static_cast<std::size_t>(end - position);
        std::size_t const to_boundary = kExamineSlice - chooser.ReadAheadSize() % kExamineSlice;
        unsigned char const * const stop = position + (left < to_boundary ? left : to_boundary);
        chosen = chooser.Examine(position, stop, rating);
        position = stop;
    } while (chosen == nullptr && position < end);
    return position;
}

}  // namespace zuuc_internal::detect

#endif
