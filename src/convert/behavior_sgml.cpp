// UnicodeLibBehaviorSGML: numeric character references for characters that
// the output encoding cannot represent.
#include "zuuc/behavior.h"
#include "zuuc/wide_format.h"

namespace {

// The character to write a reference for: the unit just before the problem
// pointer, or, for 16-bit input, the supplementary character of a surrogate
// pair whose both halves lie in the input block. Returns false when the
// problem carries no unit before its pointer (as a problem raised at the
// end of input does).
bool OffendingCharacter(unsigned short const * start, unsigned short const * ptr,
                        unsigned int & character) {
    if (start == nullptr || ptr == nullptr || ptr <= start) {
        return false;
    }
    unsigned int const last = ptr[-1];
    if (last >= 0xDC00 && last <= 0xDFFF && ptr - start >= 2) {
        unsigned int const lead = ptr[-2];
        if (lead >= 0xD800 && lead <= 0xDBFF) {
            character = 0x10000 + ((lead - 0xD800) << 10) + (last - 0xDC00);
            return true;
        }
    }
    character = last;
    return true;
}

bool OffendingCharacter(unsigned int const * start, unsigned int const * ptr,
                        unsigned int & character) {
    if (start == nullptr || ptr == nullptr || ptr <= start) {
        return false;
    }
    character = ptr[-1];
    return true;
}

// "&#<decimal>;" for a unit of either width, formatted by the wide
// formatting functions into a 32-unit buffer.
int FormatReference(unsigned int character, unsigned short (&reference)[32]) {
    static unsigned short const kFormat[] = {'&', '#', '%', 'd', ';', 0};
    return zu_swprintf_16(reference, 32, kFormat, static_cast<int>(character));
}

int FormatReference(unsigned int character, unsigned int (&reference)[32]) {
    static unsigned int const kFormat[] = {'&', '#', '%', 'd', ';', 0};
    return zu_swprintf_32(reference, 32, kFormat, static_cast<int>(character));
}

// Inserts "&#<decimal>;" as input. The value is formatted as "%d" formats
// the unit passed as an int.
template <class Problem>
bool InsertReference(Problem & problem) {
    unsigned int character = 0;
    if (!OffendingCharacter(problem.InputStart(), problem.ProblemPtr(), character)) {
        return false;
    }
    typedef typename Problem::InputUnit Unit;
    Unit reference[32];
    int const length = FormatReference(character, reference);
    problem.InsertInput(reference, reference + length);
    return true;
}

}  // namespace

UnicodeLibBehaviorSGML::UnicodeLibBehaviorSGML() : UnicodeLibBehavior(true) {}

UnicodeLibBehaviorSGML::UnicodeLibBehaviorSGML(UnicodeLibBehavior const * other)
    : UnicodeLibBehavior(other) {}

UnicodeLibBehaviorSGML::UnicodeLibBehaviorSGML(UnicodeLibBehaviorSGML const & other)
    : UnicodeLibBehavior(other) {}

UnicodeLibBehaviorSGML & UnicodeLibBehaviorSGML::operator=(UnicodeLibBehaviorSGML const & other) {
    UnicodeLibBehavior::operator=(other);
    return *this;
}

UnicodeLibBehaviorSGML::~UnicodeLibBehaviorSGML() = default;

// Without an offending unit to name, the problem gets the ordinary substitute.

void UnicodeLibBehaviorSGML::HandleCharacterNotInRepertoire(
    Char32ToChar16CharacterNotInRepertoire & problem) {
    if (!InsertReference(problem)) {
        UnicodeLibBehavior::HandleCharacterNotInRepertoire(problem);
    }
}

void UnicodeLibBehaviorSGML::HandleCharacterNotInRepertoire(
    Char32ToCharCharacterNotInRepertoire & problem) {
    if (!InsertReference(problem)) {
        UnicodeLibBehavior::HandleCharacterNotInRepertoire(problem);
    }
}

void UnicodeLibBehaviorSGML::HandleCharacterNotInRepertoire(
    Char16ToCharCharacterNotInRepertoire & problem) {
    if (!InsertReference(problem)) {
        UnicodeLibBehavior::HandleCharacterNotInRepertoire(problem);
    }
}
