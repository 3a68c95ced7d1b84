// Small helpers shared by the converters of the Unicode forms (internal).
#ifndef ZUUC_SRC_UNICODE_FORMS_UTF16_UNITS_H
#define ZUUC_SRC_UNICODE_FORMS_UTF16_UNITS_H

#include <cstddef>
#include <cstring>

#include "convert/transcode_contract.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::unicode_forms {

using zuuc_internal::CombineSurrogates;
using zuuc_internal::HighSurrogateOf;
using zuuc_internal::IsHighSurrogate;
using zuuc_internal::IsLowSurrogate;
using zuuc_internal::kByteOrderMark;
using zuuc_internal::kFirstSupplementary;
using zuuc_internal::kLastCodePoint;
using zuuc_internal::LowSurrogateOf;

// The most units one Transcode call may still write (`limit`, -1 for no limit).
class OutputBudget {
public:
    explicit OutputBudget(long limit) : left_(limit) {}
    bool Allows(long units) const { return left_ < 0 || units <= left_; }
    long Left() const { return left_; }
    void Spend(long units) {
        if (left_ >= 0) {
            left_ -= units;
        }
    }

private:
    long left_;
};

// The number of units that can be read and written one for one without room or
// limit tests: min(input, room, budget), where a negative budget is no limit.
template <class In, class Out>
std::size_t Stretch(In const * in, In const * inEnd, Out const * out, Out const * outEnd,
                    long budget) {
    std::size_t n = static_cast<std::size_t>(inEnd - in);
    std::size_t const room = static_cast<std::size_t>(outEnd - out);
    if (room < n) {
        n = room;
    }
    if (budget >= 0 && static_cast<std::size_t>(budget) < n) {
        n = static_cast<std::size_t>(budget);
    }
    return n;
}

// Copies units one for one while there is input, room and budget.
template <class Unit>
TranscodeResult CopyUnits(Unit const *& in, Unit const * inEnd, Unit *& out, Unit * outEnd,
                          OutputBudget & budget) {
    while (in < inEnd) {
        if (out >= outEnd) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(1)) {
            return kTranscodeLimitReached;
        }
        *out++ = *in++;
        budget.Spend(1);
    }
    return kTranscodeInputExhausted;
}

// The running machine's byte order, found by looking at how it stores a unit.
inline bool PlatformIsBigEndian() {
    unsigned short const probe = 0x0102;
    unsigned char first = 0;
    std::memcpy(&first, &probe, 1);
    return first == 0x01;
}

}  // namespace zuuc_internal::unicode_forms

#endif
