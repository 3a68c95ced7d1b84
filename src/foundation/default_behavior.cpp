// The process-wide default behaviour.
//
// The built-in default and the mutex that guards the current default are
// created on first use and are never destroyed: actors may be created, and
// may convert, from other static objects' constructors and destructors, so
// the default must exist before and after every other static object of the
// process. Their storage is static, so nothing of them counts as leaked.
#include "zuuc/behavior.h"

#include <new>

namespace {

class DefaultBehaviorState {
public:
    zu_mutex mutex;                              // guards `current`
    UnicodeLibBehavior initial{true};            // the built-in default
    UnicodeLibBehavior * current = nullptr;      // null until first asked for
};

DefaultBehaviorState & State() {
    alignas(DefaultBehaviorState) static unsigned char storage[sizeof(DefaultBehaviorState)];
    static DefaultBehaviorState * const state = new (storage) DefaultBehaviorState;
    return *state;
}

// Called with the state's mutex held.
UnicodeLibBehavior * CurrentDefault(DefaultBehaviorState & state) {
    if (state.current == nullptr) {
        state.current = &state.initial;
    }
    return state.current;
}

}  // namespace

UnicodeLibBehavior * UnicodeLibBehavior::GetDefaultBehavior() {
    DefaultBehaviorState & state = State();
    zu_mutex_lock lock(state.mutex);
    return CurrentDefault(state);
}

UnicodeLibBehavior * UnicodeLibBehavior::SetDefaultBehavior(UnicodeLibBehavior * behavior) {
    DefaultBehaviorState & state = State();
    zu_mutex_lock lock(state.mutex);
    UnicodeLibBehavior * const previous = CurrentDefault(state);
    if (behavior != nullptr) {
        state.current = behavior;
    }
    return previous;
}
