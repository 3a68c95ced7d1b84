// Conversion behaviours: the objects that decide what happens when a
// converter meets input it cannot convert.
//
// Every actor (zuuc/foundation.h) carries a behaviour; actors that were not
// given one use the process-wide default, which starts as a built-in
// behaviour that lives as long as the process and can be replaced with
// SetDefaultBehavior.
#ifndef ZUUC_BEHAVIOR_H
#define ZUUC_BEHAVIOR_H

#include "zuuc/export.h"
#include "zuuc/foundation.h"

class ZUUC_EXPORT UnicodeLibBehavior {
public:
    // `locked` asks for a behaviour that serialises changes to its settings,
    // so that one behaviour can serve several threads at once.
    explicit UnicodeLibBehavior(bool locked);

    // --- Virtual operations, in slot order ---------------------------------
    virtual ~UnicodeLibBehavior();

    // --- The process-wide default ------------------------------------------
    // Both are serialised by one process-wide mutex.

    // The current default behaviour; never null.
    static UnicodeLibBehavior * GetDefaultBehavior();

    // Makes `behavior` the default unless it is null (then nothing changes)
    // and returns the default that was in force. The library does not take
    // ownership: the behaviour must stay alive while it is the default and
    // while actors created under it are in use.
    static UnicodeLibBehavior * SetDefaultBehavior(UnicodeLibBehavior * behavior);
};

#endif
