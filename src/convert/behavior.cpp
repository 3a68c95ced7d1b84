// UnicodeLibBehavior: settings, copying and the default problem handling.
#include "zuuc/behavior.h"

#include <cstring>

namespace {

// A heap copy of a zero-terminated string (null for null). Allocates before
// anything is changed, so a failing allocation leaves the caller's state
// as it was.
char * Duplicate(char const * s) {
    if (s == nullptr) {
        return nullptr;
    }
    std::size_t const size = std::strlen(s) + 1;
    char * const copy = new char[size];
    std::memcpy(copy, s, size);
    return copy;
}

unsigned char const kMaxTieBreakLevel = 100;

// U+FFFD, the substitute for problems with Unicode output.
unsigned short const kReplacement16[] = {0xFFFD};
unsigned int const kReplacement32[] = {0xFFFD};

// Inserts the byte substitute for a problem with byte output: the external
// substitute when one is set, else the output encoding's substitute for the
// converter's mode. The caller holds the behaviour's lock.
template <class Problem>
void InsertByteSubstitute(Problem & problem, char const * external) {
    if (external != nullptr) {
        problem.InsertOutput(external, external + std::strlen(external));
        return;
    }
    unsigned char const * chars = nullptr;
    unsigned int const count = problem.OutputEncoding().SubstituteChars(chars, problem.Mode());
    if (chars == nullptr || count == 0) {
        return;
    }
    char const * const bytes = reinterpret_cast<char const *>(chars);
    problem.InsertOutput(bytes, bytes + count);
}

}  // namespace

// --- construction and copying ------------------------------------------------

UnicodeLibBehavior::UnicodeLibBehavior(bool locked)
    : display_auto_detect_messages_(false),
      external_substitute_(nullptr),
      auto_detect_tie_break_level_(kMaxTieBreakLevel),
      lock_(locked ? new zu_mutex : nullptr) {}

// Delegating first: once the delegated constructor has finished, a throwing
// copy still runs the destructor, which frees the new lock.
UnicodeLibBehavior::UnicodeLibBehavior(UnicodeLibBehavior const & other)
    : UnicodeLibBehavior(other.lock_ != nullptr) {
    locked_copy(other);
}

UnicodeLibBehavior::UnicodeLibBehavior(UnicodeLibBehavior const * other)
    : UnicodeLibBehavior(other != nullptr && other->lock_ != nullptr) {
    if (other != nullptr) {
        locked_copy(*other);
    }
}

UnicodeLibBehavior & UnicodeLibBehavior::operator=(UnicodeLibBehavior const & other) {
    locked_copy(other);
    return *this;
}

UnicodeLibBehavior::~UnicodeLibBehavior() {
    delete[] external_substitute_;
    external_substitute_ = nullptr;
    delete lock_;
    lock_ = nullptr;
}

void UnicodeLibBehavior::Copy(UnicodeLibBehavior const & other) {
    locked_copy(other);
}

void UnicodeLibBehavior::locked_copy(UnicodeLibBehavior const & other) {
    if (&other == this) {
        return;
    }
    zu_mutex_lock mine(lock_);
    zu_mutex_lock theirs(other.lock_);
    unlocked_copy(other);
}

void UnicodeLibBehavior::unlocked_copy(UnicodeLibBehavior const & other) {
    char * const substitute = Duplicate(other.external_substitute_);
    display_auto_detect_messages_ = other.display_auto_detect_messages_;
    auto_detect_tie_break_level_ = other.auto_detect_tie_break_level_;
    delete[] external_substitute_;
    external_substitute_ = substitute;
}

// --- settings ------------------------------------------------------------------

bool UnicodeLibBehavior::DisplayAutoDetectMessages() const {
    zu_mutex_lock lock(lock_);
    return display_auto_detect_messages_;
}

bool UnicodeLibBehavior::SetDisplayAutoDetectMessages(bool display) {
    zu_mutex_lock lock(lock_);
    bool const previous = display_auto_detect_messages_;
    display_auto_detect_messages_ = display;
    return previous;
}

unsigned char UnicodeLibBehavior::AutoDetectTieBreakLevel() const {
    zu_mutex_lock lock(lock_);
    return auto_detect_tie_break_level_;
}

unsigned char UnicodeLibBehavior::SetAutoDetectTieBreakLevel(unsigned char level) {
    zu_mutex_lock lock(lock_);
    unsigned char const previous = auto_detect_tie_break_level_;
    auto_detect_tie_break_level_ = level > kMaxTieBreakLevel ? kMaxTieBreakLevel : level;
    return previous;
}

void UnicodeLibBehavior::SetExternalSubstitute(char const * substitute) {
    char * const copy = Duplicate(substitute);
    char * old;
    {
        zu_mutex_lock lock(lock_);
        old = external_substitute_;
        external_substitute_ = copy;
    }
    delete[] old;
}

// --- direction handlers --------------------------------------------------------

void UnicodeLibBehavior::HandleExternalToInternalConversionProblem(
    CharToChar16ConversionProblem & problem) {
    problem.InsertOutput(kReplacement16, kReplacement16 + 1);
}

void UnicodeLibBehavior::HandleInternalToExternalConversionProblem(
    Char16ToCharConversionProblem & problem) {
    SubstituteBytes(problem);
}

void UnicodeLibBehavior::HandleCharToChar32ConversionProblem(
    CharToChar32ConversionProblem & problem) {
    problem.InsertOutput(kReplacement32, kReplacement32 + 1);
}

void UnicodeLibBehavior::HandleChar16ToChar32ConversionProblem(
    Char16ToChar32ConversionProblem & problem) {
    problem.InsertOutput(kReplacement32, kReplacement32 + 1);
}

void UnicodeLibBehavior::HandleChar32ToCharConversionProblem(
    Char32ToCharConversionProblem & problem) {
    SubstituteBytes(problem);
}

void UnicodeLibBehavior::HandleChar32ToChar16ConversionProblem(
    Char32ToChar16ConversionProblem & problem) {
    problem.InsertOutput(kReplacement16, kReplacement16 + 1);
}

void UnicodeLibBehavior::SubstituteBytes(Char16ToCharConversionProblem & problem) const {
    zu_mutex_lock lock(lock_);
    InsertByteSubstitute(problem, external_substitute_);
}

void UnicodeLibBehavior::SubstituteBytes(Char32ToCharConversionProblem & problem) const {
    zu_mutex_lock lock(lock_);
    InsertByteSubstitute(problem, external_substitute_);
}

// --- kind handlers: on to the direction handler (virtually) ----------------------

void UnicodeLibBehavior::HandleIllegalByteRange(Char16ToChar32IllegalByteRange & problem) {
    HandleChar16ToChar32ConversionProblem(problem);
}

void UnicodeLibBehavior::HandleIllegalByteRange(CharToChar32IllegalByteRange & problem) {
    HandleCharToChar32ConversionProblem(problem);
}

void UnicodeLibBehavior::HandleIllegalByteRange(CharToChar16IllegalByteRange & problem) {
    HandleExternalToInternalConversionProblem(problem);
}

void UnicodeLibBehavior::HandleNoCharacterDefinedForCodepoint(
    Char16ToChar32NoCharacterDefinedForCodepoint & problem) {
    HandleChar16ToChar32ConversionProblem(problem);
}

void UnicodeLibBehavior::HandleNoCharacterDefinedForCodepoint(
    CharToChar32NoCharacterDefinedForCodepoint & problem) {
    HandleCharToChar32ConversionProblem(problem);
}

void UnicodeLibBehavior::HandleNoCharacterDefinedForCodepoint(
    CharToChar16NoCharacterDefinedForCodepoint & problem) {
    HandleExternalToInternalConversionProblem(problem);
}

void UnicodeLibBehavior::HandleCharacterNotInRepertoire(
    Char32ToChar16CharacterNotInRepertoire & problem) {
    HandleChar32ToChar16ConversionProblem(problem);
}

void UnicodeLibBehavior::HandleCharacterNotInRepertoire(
    Char32ToCharCharacterNotInRepertoire & problem) {
    HandleChar32ToCharConversionProblem(problem);
}

void UnicodeLibBehavior::HandleCharacterNotInRepertoire(
    Char16ToCharCharacterNotInRepertoire & problem) {
    HandleInternalToExternalConversionProblem(problem);
}
