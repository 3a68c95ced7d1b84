// Conversion behaviours: the objects that decide what happens when a
// converter meets input it cannot convert.
//
// Every actor (zuuc/foundation.h) carries a behaviour; actors that were not
// given one use the process-wide default, which starts as a built-in
// behaviour that lives as long as the process and can be replaced with
// SetDefaultBehavior.
//
// The stream adapters hand every problem (zuuc/problems.h) to the handler
// for its kind (HandleIllegalByteRange, HandleNoCharacterDefinedForCodepoint
// or HandleCharacterNotInRepertoire). The kind handlers of this class pass
// the problem on, through a virtual call, to the handler of its direction,
// so a subclass may override either per kind or per direction. The
// direction handlers substitute: U+FFFD for output in Unicode, and for byte
// output the external substitute when one is set, else the output
// encoding's own substitute bytes for the converter's mode. A handler may
// also insert other input or output through the problem, or throw to stop
// the conversion (the exception reaches the caller of GetBuffer or Put).
//
// A subclass that overrides some of the overloads of one kind handler
// should bring the others into scope (`using UnicodeLibBehavior::
// HandleIllegalByteRange;`) so that they are not hidden.
//
// Threads: a behaviour constructed with a lock serialises its settings and
// the byte substitution, so one such behaviour may serve several threads'
// conversions at once. A behaviour without a lock must not be changed while
// it is in use.
#ifndef ZUUC_BEHAVIOR_H
#define ZUUC_BEHAVIOR_H

#include "zuuc/export.h"
#include "zuuc/foundation.h"
#include "zuuc/problems.h"

class ZUUC_EXPORT UnicodeLibBehavior {
public:
    // `locked` asks for a behaviour that serialises changes to its settings,
    // so that one behaviour can serve several threads at once. Initially:
    // no external substitute, auto-detect messages off, tie-break level 100.
    explicit UnicodeLibBehavior(bool locked);
    // Copies the settings of `other`; the copy gets a lock of its own when
    // `other` has one. Nothing is shared: the substitute string is copied.
    UnicodeLibBehavior(UnicodeLibBehavior const & other);
    // The same from a pointer; a null pointer gives the initial settings
    // without a lock.
    explicit UnicodeLibBehavior(UnicodeLibBehavior const * other);
    // Copies the settings of `other` (as Copy, but without the virtual
    // call); this object keeps its own lock, or lack of one.
    UnicodeLibBehavior & operator=(UnicodeLibBehavior const & other);

    // --- Virtual operations, in slot order ---------------------------------
    virtual ~UnicodeLibBehavior();

    // Copies the display flag, the tie-break level and the external
    // substitute of `other` (nothing when `other` is this object). Takes this
    // object's lock, then the other's.
    virtual void Copy(UnicodeLibBehavior const & other);

    // Direction handlers. The default inserts U+FFFD as output for problems
    // with Unicode output and the byte substitute for problems with byte
    // output.
    virtual void HandleExternalToInternalConversionProblem(CharToChar16ConversionProblem & problem);
    virtual void HandleInternalToExternalConversionProblem(Char16ToCharConversionProblem & problem);
    virtual void HandleCharToChar32ConversionProblem(CharToChar32ConversionProblem & problem);
    virtual void HandleChar16ToChar32ConversionProblem(Char16ToChar32ConversionProblem & problem);
    virtual void HandleChar32ToCharConversionProblem(Char32ToCharConversionProblem & problem);
    virtual void HandleChar32ToChar16ConversionProblem(Char32ToChar16ConversionProblem & problem);

    // Kind handlers: the default passes the problem to its direction handler.
    virtual void HandleIllegalByteRange(Char16ToChar32IllegalByteRange & problem);
    virtual void HandleIllegalByteRange(CharToChar32IllegalByteRange & problem);
    virtual void HandleIllegalByteRange(CharToChar16IllegalByteRange & problem);
    virtual void HandleNoCharacterDefinedForCodepoint(
        Char16ToChar32NoCharacterDefinedForCodepoint & problem);
    virtual void HandleNoCharacterDefinedForCodepoint(
        CharToChar32NoCharacterDefinedForCodepoint & problem);
    virtual void HandleNoCharacterDefinedForCodepoint(
        CharToChar16NoCharacterDefinedForCodepoint & problem);
    virtual void HandleCharacterNotInRepertoire(Char32ToChar16CharacterNotInRepertoire & problem);
    virtual void HandleCharacterNotInRepertoire(Char32ToCharCharacterNotInRepertoire & problem);
    virtual void HandleCharacterNotInRepertoire(Char16ToCharCharacterNotInRepertoire & problem);

    // Whether the encoding auto-detection writes its diagnostics to standard
    // error. The setter returns the previous value.
    virtual bool DisplayAutoDetectMessages() const;
    virtual bool SetDisplayAutoDetectMessages(bool display);

    // How hard the auto-detection works to break a tie, 0 to 100 (100 by
    // default). Values above 100 are stored as 100; the setter returns the
    // previous level.
    virtual unsigned char AutoDetectTieBreakLevel() const;
    virtual unsigned char SetAutoDetectTieBreakLevel(unsigned char level);

    // The bytes written in place of a character that the output encoding
    // cannot represent, instead of the encoding's own substitute. The string
    // is copied; null clears it.
    virtual void SetExternalSubstitute(char const * substitute);

    // --- The process-wide default ------------------------------------------

    // The built-in default behaviour (with a lock). It exists before any
    // other static object of the library is built and is never destroyed,
    // so actors may be created and may convert from other static objects'
    // constructors and destructors.
    static UnicodeLibBehavior & gInitialDefaultBehavior;

    // The current default behaviour; never null. Serialised with
    // SetDefaultBehavior by one process-wide mutex.
    static UnicodeLibBehavior * GetDefaultBehavior();

    // Makes `behavior` the default unless it is null (then nothing changes)
    // and returns the default that was in force. The library does not take
    // ownership: the behaviour must stay alive while it is the default and
    // while actors created under it are in use.
    static UnicodeLibBehavior * SetDefaultBehavior(UnicodeLibBehavior * behavior);

protected:
    // The byte substitution of the to-byte direction handlers: under the
    // lock, inserts the external substitute as output when one is set,
    // otherwise the output encoding's substitute for the problem's mode.
    void SubstituteBytes(Char16ToCharConversionProblem & problem) const;
    void SubstituteBytes(Char32ToCharConversionProblem & problem) const;

    // The lock guarding the settings; null for a behaviour without one.
    zu_mutex * Lock() const { return lock_; }

private:
    // Copy of the settings under both locks (this object's first).
    void locked_copy(UnicodeLibBehavior const & other);
    // The same without taking any lock.
    void unlocked_copy(UnicodeLibBehavior const & other);

    // The current default; null until first asked for. Guarded by the
    // default-behaviour mutex.
    static UnicodeLibBehavior * gGlobalDefaultBehavior;
    static zu_mutex & DefaultBehaviorMutex();

    bool display_auto_detect_messages_;
    char * external_substitute_;  // owned, zero-terminated, may be null
    unsigned char auto_detect_tie_break_level_;
    zu_mutex * lock_;  // owned; null when unlocked
};

// A behaviour that writes a numeric character reference ("&#19968;") for a
// character that the output encoding cannot represent. The reference is
// inserted as input, so it is converted into the output encoding like the
// surrounding text. Other problems are handled as by UnicodeLibBehavior.
class ZUUC_EXPORT UnicodeLibBehaviorSGML : public UnicodeLibBehavior {
public:
    // A behaviour with a lock.
    UnicodeLibBehaviorSGML();
    // Copies the settings of `other` (see UnicodeLibBehavior).
    explicit UnicodeLibBehaviorSGML(UnicodeLibBehavior const * other);
    UnicodeLibBehaviorSGML(UnicodeLibBehaviorSGML const & other);
    UnicodeLibBehaviorSGML & operator=(UnicodeLibBehaviorSGML const & other);
    ~UnicodeLibBehaviorSGML() override;

    void HandleCharacterNotInRepertoire(Char32ToChar16CharacterNotInRepertoire & problem) override;
    void HandleCharacterNotInRepertoire(Char32ToCharCharacterNotInRepertoire & problem) override;
    void HandleCharacterNotInRepertoire(Char16ToCharCharacterNotInRepertoire & problem) override;
};

#endif
