// The process-wide default behaviour.
//
// The built-in default and the mutex that guards the current default must
// exist whenever any code of the process can create an actor, including the
// constructors and destructors of other static objects, whose order relative
// to this file is unknown. So neither depends on this file's dynamic
// initialisation, and neither is ever destroyed:
//  - the built-in default lives in static storage that is constant
//    initialised (a union whose constructor builds nothing); the behaviour is
//    built into it on first use, and the public reference to it is a
//    constant too;
//  - the mutex is built on first use in static storage as well.
// Both stay reachable from static storage, so nothing of them counts as a
// leak.
#include <new>

#include "zuuc/behavior.h"

namespace {

union InitialDefaultStorage {
    constexpr InitialDefaultStorage() : unused() {}
    ~InitialDefaultStorage() {}  // the behaviour is never destroyed

    char unused;
    UnicodeLibBehavior behavior;
};

InitialDefaultStorage g_initial_default;

// The built-in default, built (with a lock) on first use; thread-safe.
UnicodeLibBehavior & InitialDefault() {
    static bool const built = (new (&g_initial_default.behavior) UnicodeLibBehavior(true), true);
    static_cast<void>(built);
    return g_initial_default.behavior;
}

// Build it while the library starts, so that callers who read
// gInitialDefaultBehavior directly find it ready.
bool const g_initial_default_ready = (InitialDefault(), true);

}  // namespace

UnicodeLibBehavior & UnicodeLibBehavior::gInitialDefaultBehavior = g_initial_default.behavior;

UnicodeLibBehavior * UnicodeLibBehavior::gGlobalDefaultBehavior = nullptr;

zu_mutex & UnicodeLibBehavior::DefaultBehaviorMutex() {
    alignas(zu_mutex) static unsigned char storage[sizeof(zu_mutex)];
    static zu_mutex * const mutex = new (storage) zu_mutex;
    return *mutex;
}

UnicodeLibBehavior * UnicodeLibBehavior::GetDefaultBehavior() {
    zu_mutex_lock lock(DefaultBehaviorMutex());
    if (gGlobalDefaultBehavior == nullptr) {
        gGlobalDefaultBehavior = &InitialDefault();
    }
    return gGlobalDefaultBehavior;
}

UnicodeLibBehavior * UnicodeLibBehavior::SetDefaultBehavior(UnicodeLibBehavior * behavior) {
    zu_mutex_lock lock(DefaultBehaviorMutex());
    if (gGlobalDefaultBehavior == nullptr) {
        gGlobalDefaultBehavior = &InitialDefault();
    }
    UnicodeLibBehavior * const previous = gGlobalDefaultBehavior;
    if (behavior != nullptr) {
        gGlobalDefaultBehavior = behavior;
    }
    return previous;
}
