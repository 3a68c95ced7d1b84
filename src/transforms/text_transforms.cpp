// Substitutions, selection, line ends, marks and the katakana width
// transforms with voicing marks.
#include "transforms/constructors.h"
#include "transforms/transform_tables.h"
#include "zuuc/transforms.h"

using namespace zuuc_internal::transforms;

// --- Substitutions ------------------------------------------------------------

CharacterSubstitutionTransform::CharacterSubstitutionTransform(Char32Source & source,
                                                               unsigned int from, unsigned int to)
    : UnicodeTransform(source, nullptr), from_(from), to_(to) {}

CharacterSubstitutionTransform::CharacterSubstitutionTransform(Char16Source & source,
                                                               unsigned short from,
                                                               unsigned short to)
    : UnicodeTransform(source, nullptr), from_(from), to_(to) {}

CharacterSubstitutionTransform::~CharacterSubstitutionTransform() = default;

bool CharacterSubstitutionTransform::FillBuffer() {
    unsigned int const from = from_;
    unsigned int const to = to_;
    return FillMapped([from, to](unsigned int c) { return c == from ? to : c; });
}

BackslashToYenTransform::BackslashToYenTransform(Char32Source & source)
    : CharacterSubstitutionTransform(source, 0x5Cu, 0xA5u) {}
BackslashToYenTransform::BackslashToYenTransform(Char16Source & source)
    : CharacterSubstitutionTransform(source, static_cast<unsigned short>(0x5C),
                                     static_cast<unsigned short>(0xA5)) {}
BackslashToYenTransform::~BackslashToYenTransform() = default;

BackslashToWonTransform::BackslashToWonTransform(Char32Source & source)
    : CharacterSubstitutionTransform(source, 0x5Cu, 0x20A9u) {}
BackslashToWonTransform::BackslashToWonTransform(Char16Source & source)
    : CharacterSubstitutionTransform(source, static_cast<unsigned short>(0x5C),
                                     static_cast<unsigned short>(0x20A9)) {}
BackslashToWonTransform::~BackslashToWonTransform() = default;

YenToBackslashAndOverbarToTildeTransform::YenToBackslashAndOverbarToTildeTransform(
    Char32Source & source)
    : UnicodeTransform(source, nullptr) {}
YenToBackslashAndOverbarToTildeTransform::YenToBackslashAndOverbarToTildeTransform(
    Char16Source & source)
    : UnicodeTransform(source, nullptr) {}
YenToBackslashAndOverbarToTildeTransform::~YenToBackslashAndOverbarToTildeTransform() = default;

bool YenToBackslashAndOverbarToTildeTransform::FillBuffer() {
    return FillMapped([](unsigned int c) { return c == 0xA5 ? 0x5Cu : c == 0x203E ? 0x7Eu : c; });
}

// --- Selection ----------------------------------------------------------------

ZUUC_TRANSFORM_CONSTRUCTORS(SelectTransform, UnicodeTransform, )
ZUUC_TRANSFORM_CONSTRUCTORS(FilterTransform, UnicodeTransform, )

bool SelectTransform::FillBuffer() {
    return Fill(1, [this](unsigned int c, unsigned int *& out) {
        if (Accepts(c))
            *out++ = c;
    });
}

bool FilterTransform::FillBuffer() {
    return Fill(1, [this](unsigned int c, unsigned int *& out) {
        if (!Accepts(c))
            *out++ = c;
    });
}

// --- Line ends ----------------------------------------------------------------

LineEndTransform::LineEndTransform(Char32Source & source, CharacterTest const * test,
                                   unsigned int first, unsigned int second)
    : UnicodeTransform(source, test), first_(first), second_(second), previous_(0) {}

LineEndTransform::LineEndTransform(Char16Source & source, CharacterTest const * test,
                                   unsigned int first, unsigned int second)
    : UnicodeTransform(source, test), first_(first), second_(second), previous_(0) {}

LineEndTransform::~LineEndTransform() = default;

bool LineEndTransform::FillBuffer() {
    return Fill(2, [this](unsigned int c, unsigned int *& out) {
        unsigned int const previous = previous_;
        previous_ = c;
        if (!IsLineEnd(c) || !Accepts(c)) {
            *out++ = c;
        } else if (c != 0x0A || previous != 0x0D) {
            *out++ = first_;
            if (second_ != 0)
                *out++ = second_;
        }
    });
}

ZUUC_TRANSFORM_CONSTRUCTORS(ToCRTransform, LineEndTransform, , 0x0Du, 0u)
ZUUC_TRANSFORM_CONSTRUCTORS(ToLFTransform, LineEndTransform, , 0x0Au, 0u)
ZUUC_TRANSFORM_CONSTRUCTORS(ToLineSeparatorTransform, LineEndTransform, , 0x2028u, 0u)
ZUUC_TRANSFORM_CONSTRUCTORS(ToParagraphSeparatorTransform, LineEndTransform, , 0x2029u, 0u)
ZUUC_TRANSFORM_CONSTRUCTORS(ToEBCDICNewLineTransform, LineEndTransform, , 0x85u, 0u)
ZUUC_TRANSFORM_CONSTRUCTORS(ToCRLFTransform, LineEndTransform, , 0x0Du, 0x0Au)

// --- Marks --------------------------------------------------------------------

ZUUC_TRANSFORM_CONSTRUCTORS(ToCombiningMarkTransform, UnicodeTransform, )
ZUUC_TRANSFORM_CONSTRUCTORS(ToSpacingMarkTransform, UnicodeTransform, )

unsigned int ToCombiningMarkTransform::Transform(unsigned int c) {
    unsigned int const m = kCombiningMarkMap.Lookup(c);
    return m != 0 ? m : c;
}

unsigned int ToSpacingMarkTransform::Transform(unsigned int c) {
    unsigned int const m = kSpacingMarkMap.Lookup(c);
    return m != 0 ? m : c;
}

bool ToCombiningMarkTransform::FillBuffer() {
    return Fill(2, [this](unsigned int c, unsigned int *& out) {
        unsigned int const mark = kCombiningMarkMap.Lookup(c);
        if (c == 0x20) {
            after_space_ = true;
            *out++ = c;
        } else if (mark != 0 && Accepts(c)) {
            if (after_space_)
                *out++ = 0x20;  // the visible space, then the mark's base
            *out++ = mark;
            after_space_ = false;
        } else {
            after_space_ = false;
            *out++ = c;
        }
    });
}

bool ToSpacingMarkTransform::FillBuffer() {
    return Fill(
        2,
        [this](unsigned int c, unsigned int *& out) {
            unsigned int const mark = kSpacingMarkMap.Lookup(c);
            if (mark != 0 && Accepts(c)) {
                space_held_ = false;  // the held space was the mark's base
                *out++ = mark;
                return;
            }
            if (space_held_)
                *out++ = 0x20;
            space_held_ = c == 0x20;
            if (!space_held_)
                *out++ = c;
        },
        [this](unsigned int *& out) {
            if (space_held_)
                *out++ = 0x20;
            space_held_ = false;
        });
}

// --- Katakana width -----------------------------------------------------------

ZUUC_TRANSFORM_CONSTRUCTORS(ZenkakuKatakanaToHankakuTransform, UnicodeTransform, )
ZUUC_TRANSFORM_CONSTRUCTORS(HankakuKatakanaToZenkakuTransform, UnicodeTransform, )

bool ZenkakuKatakanaToHankakuTransform::FillBuffer() {
    return Fill(1, [this](unsigned int c, unsigned int *& out) {
        if (after_katakana_ && (c == 0x3099 || c == 0x309A)) {
            *out++ = c == 0x3099 ? 0xFF9Eu : 0xFF9Fu;  // the mark of the letter before
        } else if (!Accepts(c)) {
            after_katakana_ = false;
            *out++ = c;
        } else if (c == 0x30FC) {
            *out++ = after_katakana_ ? 0xFF70u : c;
        } else {
            after_katakana_ = c >= 0x30A1 && c <= 0x30FE;
            *out++ = kHalfwidthMap.Map(c);
        }
    });
}

namespace {

// The fullwidth letter for a halfwidth katakana and a following halfwidth
// voicing mark, or 0 when they do not compose.
unsigned int ComposeHalfwidth(unsigned int letter, unsigned int mark) {
    bool const h_row = letter >= 0xFF8A && letter <= 0xFF8E;
    if (mark == 0xFF9E) {
        if ((letter >= 0xFF76 && letter <= 0xFF84) || h_row)
            return kFullwidthMap.Map(letter) + 1;
        if (letter == 0xFF9C)
            return 0x30F7;
        if (letter == 0xFF66)
            return 0x30FA;
        if (letter == 0xFF73)
            return 0x30F4;
    } else if (mark == 0xFF9F && h_row) {
        return kFullwidthMap.Map(letter) + 2;
    }
    return 0;
}

}  // namespace

bool HankakuKatakanaToZenkakuTransform::FillBuffer() {
    return Fill(
        2,
        [this](unsigned int c, unsigned int *& out) {
            if (pending_) {
                pending_ = false;
                unsigned int const composed = ComposeHalfwidth(held_, c);
                if (composed != 0) {
                    *out++ = composed;
                    return;
                }
                *out++ = kFullwidthMap.Map(held_);
            }
            if (!Accepts(c)) {
                *out++ = c;
            } else if (c >= 0xFF66 && c <= 0xFF9D && c != 0xFF70) {
                pending_ = true;
                held_ = c;
            } else {
                *out++ = kFullwidthMap.Map(c);
            }
        },
        [this](unsigned int *& out) {
            if (pending_)
                *out++ = kFullwidthMap.Map(held_);
            pending_ = false;
        });
}
