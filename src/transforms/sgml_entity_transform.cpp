// FromSGMLEntityTransform: character references to characters.
#include "zuuc/sgml_transform.h"
#include "zuuc/wide_chars.h"

namespace {

#include "transforms/generated/sgml_entities.inc"

constexpr unsigned int kAmpersand = '&';
constexpr unsigned int kSemicolon = ';';
constexpr unsigned int kLongestReference = 31;  // units from `&` to `;`, `&` included

// True when the units [begin, end) spell the ASCII `name` exactly.
bool SameName(unsigned int const * begin, unsigned int const * end, char const * name) {
    for (; begin < end; ++begin, ++name) {
        if (*name == '\0' || *begin != static_cast<unsigned char>(*name))
            return false;
    }
    return *name == '\0';
}

}  // namespace

FromSGMLEntityTransform::FromSGMLEntityTransform(Char32Source & source)
    : UnicodeNoTestTransform(source), pending_(), pending_length_(0) {}

FromSGMLEntityTransform::FromSGMLEntityTransform(Char16Source & source)
    : UnicodeNoTestTransform(source), pending_(), pending_length_(0) {}

FromSGMLEntityTransform::~FromSGMLEntityTransform() = default;

bool FromSGMLEntityTransform::decodeAmp(unsigned int const * begin, unsigned int const * end,
                                        unsigned int & out) {
    if (begin == nullptr || end <= begin ||
        static_cast<unsigned long>(end - begin) > kLongestReference) {
        return false;
    }
    if (end - begin < 2 || begin[1] != '#') {
        for (unsigned int i = 0; kEntityNames[i] != nullptr; ++i) {
            if (SameName(begin + 1, end, kEntityNames[i])) {
                out = kEntityCodePoints[i];
                return true;
            }
        }
        return false;
    }
    // A number: the units after "#" (base 10) or "#x" (base 16), all of them
    // read by the conversion; an empty number is 0.
    unsigned int number[kLongestReference + 1];
    unsigned int const * digits = begin + 2;
    int base = 10;
    if (digits < end && *digits == 'x') {
        ++digits;
        base = 16;
    }
    unsigned int n = 0;
    for (unsigned int const * p = digits; p < end; ++p)
        number[n++] = *p;
    number[n] = 0;
    unsigned int * stop = nullptr;
    unsigned long const value = zu_wcstoul_32(number, &stop, base);
    if (stop != number + n || value > 0xFFFF)
        return false;
    out = static_cast<unsigned int>(value);
    return true;
}

void FromSGMLEntityTransform::Feed(unsigned int c, unsigned int *& out) {
    if (pending_length_ == 0) {
        if (c == kAmpersand) {
            pending_[0] = c;
            pending_length_ = 1;
        } else {
            *out++ = c;
        }
        return;
    }
    if (c == kSemicolon) {
        unsigned int decoded;
        if (decodeAmp(pending_, pending_ + pending_length_, decoded)) {
            *out++ = decoded;
            pending_length_ = 0;
        } else {
            Release(out, kSemicolon);
        }
        return;
    }
    pending_[pending_length_++] = c;
    // No `;` can now end a reference short enough to decode.
    if (pending_length_ == kPendingSize)
        Release(out, 0);
}

// Writes at most as many units as it is given (the held ones and the `;`),
// so a step of FillBuffer never writes more than kPendingSize units.
void FromSGMLEntityTransform::Release(unsigned int *& out, unsigned int semicolon) {
    unsigned int again[kPendingSize];
    unsigned int n = 0;
    for (unsigned int i = 1; i < pending_length_; ++i)
        again[n++] = pending_[i];
    if (semicolon != 0)
        again[n++] = semicolon;
    pending_length_ = 0;
    *out++ = kAmpersand;
    for (unsigned int i = 0; i < n; ++i)
        Feed(again[i], out);
}

// Each step writes at most kPendingSize units, and the frame runs a step
// only while that much room is left: when less is left the block ends early
// and the rest follows in the next one.
bool FromSGMLEntityTransform::FillBuffer() {
    return Fill(
        kPendingSize, [this](unsigned int c, unsigned int *& out) { Feed(c, out); },
        [this](unsigned int *& out) {
            while (pending_length_ != 0)
                Release(out, 0);
        });
}
