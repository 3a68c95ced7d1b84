// A transform that replaces SGML/HTML character references by the characters
// they stand for: the 252 named entities of HTML 4.01 (&nbsp; ... &euro;,
// names case-sensitive), decimal references (&#233;) and hexadecimal ones
// with a lower-case x (&#xE9;), up to U+FFFF.
//
// A reference is the text from an `&` to the first `;` after it, at most 31
// units long counting the `&` (so names of up to 30 characters). Anything
// that does not decode passes through unchanged: the `&` is kept and reading
// goes on with the unit after it, so a reference inside such text (as in
// "&x&amp;") is still found. The result does not depend on how the input is
// divided into windows: a reference cut by a window edge is held (at most 32
// units) until the rest arrives. Giving up held text writes at most 32
// units at once, and an output window ends early when fewer than 32 units of
// room are left, so such a write is never split or cut.
#ifndef ZUUC_SGML_TRANSFORM_H
#define ZUUC_SGML_TRANSFORM_H

#include "zuuc/export.h"
#include "zuuc/transforms.h"

class ZUUC_EXPORT FromSGMLEntityTransform : public UnicodeNoTestTransform {
public:
    static constexpr unsigned int kPendingSize = 32;

    explicit FromSGMLEntityTransform(Char32Source & source);
    explicit FromSGMLEntityTransform(Char16Source & source);
    ~FromSGMLEntityTransform() override;

    // Decodes the reference [begin, end): begin points at the `&`, end at the
    // `;` (not included). True, with the character in `out`, when it decodes.
    static bool decodeAmp(unsigned int const * begin, unsigned int const * end, unsigned int & out);

private:
    bool FillBuffer() override;

    // Handles one input unit, writing what it completes at out.
    void Feed(unsigned int c, unsigned int *& out);
    // Gives up the held reference: writes its `&` and reads the units after
    // it (and `semicolon`, when non-zero) again as ordinary input.
    void Release(unsigned int *& out, unsigned int semicolon);

    unsigned int pending_[kPendingSize];
    unsigned int pending_length_;  // 0: nothing held
};

#endif
