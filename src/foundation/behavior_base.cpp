// Construction and destruction of the UnicodeLibBehavior base.
#include "zuuc/behavior.h"

UnicodeLibBehavior::UnicodeLibBehavior(bool /*locked*/) {}

UnicodeLibBehavior::~UnicodeLibBehavior() = default;
