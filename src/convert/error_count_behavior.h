// A behaviour that counts the problems it handles (library-internal).
//
// The wide-character conversion functions install one for a conversion and
// fail when it counted anything. Every problem adds one to the count,
// whichever handler (per kind or per direction) receives it, and is then
// handled as UnicodeLibBehavior handles it. Defined inline, so that it needs
// no exported symbols of its own.
#ifndef ZUUC_SRC_CONVERT_ERROR_COUNT_BEHAVIOR_H
#define ZUUC_SRC_CONVERT_ERROR_COUNT_BEHAVIOR_H

#include <atomic>

#include "zuuc/behavior.h"

class error_count_behavior : public UnicodeLibBehavior {
public:
    explicit error_count_behavior(bool locked) : UnicodeLibBehavior(locked), count_(0) {}
    error_count_behavior(error_count_behavior const &) = delete;
    error_count_behavior & operator=(error_count_behavior const &) = delete;
    ~error_count_behavior() override = default;

    // The number of problems handled so far.
    int ErrorCount() const { return count_.load(std::memory_order_relaxed); }

    // Direction handlers: count, then the base's substitution. The kind
    // handlers below call the base's direction handlers without a virtual
    // call, so a problem is counted once whichever handler receives it.
    void HandleExternalToInternalConversionProblem(CharToChar16ConversionProblem & p) override {
        Count();
        UnicodeLibBehavior::HandleExternalToInternalConversionProblem(p);
    }
    void HandleInternalToExternalConversionProblem(Char16ToCharConversionProblem & p) override {
        Count();
        UnicodeLibBehavior::HandleInternalToExternalConversionProblem(p);
    }
    void HandleCharToChar32ConversionProblem(CharToChar32ConversionProblem & p) override {
        Count();
        UnicodeLibBehavior::HandleCharToChar32ConversionProblem(p);
    }
    void HandleChar16ToChar32ConversionProblem(Char16ToChar32ConversionProblem & p) override {
        Count();
        UnicodeLibBehavior::HandleChar16ToChar32ConversionProblem(p);
    }
    void HandleChar32ToCharConversionProblem(Char32ToCharConversionProblem & p) override {
        Count();
        UnicodeLibBehavior::HandleChar32ToCharConversionProblem(p);
    }
    void HandleChar32ToChar16ConversionProblem(Char32ToChar16ConversionProblem & p) override {
        Count();
        UnicodeLibBehavior::HandleChar32ToChar16ConversionProblem(p);
    }

    void HandleIllegalByteRange(Char16ToChar32IllegalByteRange & p) override {
        Count();
        UnicodeLibBehavior::HandleChar16ToChar32ConversionProblem(p);
    }
    void HandleIllegalByteRange(CharToChar32IllegalByteRange & p) override {
        Count();
        UnicodeLibBehavior::HandleCharToChar32ConversionProblem(p);
    }
    void HandleIllegalByteRange(CharToChar16IllegalByteRange & p) override {
        Count();
        UnicodeLibBehavior::HandleExternalToInternalConversionProblem(p);
    }
    void HandleNoCharacterDefinedForCodepoint(
        Char16ToChar32NoCharacterDefinedForCodepoint & p) override {
        Count();
        UnicodeLibBehavior::HandleChar16ToChar32ConversionProblem(p);
    }
    void HandleNoCharacterDefinedForCodepoint(
        CharToChar32NoCharacterDefinedForCodepoint & p) override {
        Count();
        UnicodeLibBehavior::HandleCharToChar32ConversionProblem(p);
    }
    void HandleNoCharacterDefinedForCodepoint(
        CharToChar16NoCharacterDefinedForCodepoint & p) override {
        Count();
        UnicodeLibBehavior::HandleExternalToInternalConversionProblem(p);
    }
    void HandleCharacterNotInRepertoire(Char32ToChar16CharacterNotInRepertoire & p) override {
        Count();
        UnicodeLibBehavior::HandleChar32ToChar16ConversionProblem(p);
    }
    void HandleCharacterNotInRepertoire(Char32ToCharCharacterNotInRepertoire & p) override {
        Count();
        UnicodeLibBehavior::HandleChar32ToCharConversionProblem(p);
    }
    void HandleCharacterNotInRepertoire(Char16ToCharCharacterNotInRepertoire & p) override {
        Count();
        UnicodeLibBehavior::HandleInternalToExternalConversionProblem(p);
    }

private:
    void Count() { count_.fetch_add(1, std::memory_order_relaxed); }

    std::atomic<int> count_;
};

#endif
