// Actors (objects that carry a conversion behaviour) and the director that
// owns up to two of them.
#include "zuuc/behavior.h"
#include "zuuc/foundation.h"

namespace {

UnicodeLibBehavior * OrDefault(UnicodeLibBehavior * behavior) {
    return behavior != nullptr ? behavior : UnicodeLibBehavior::GetDefaultBehavior();
}

}  // namespace

// --- UnicodeLibActor --------------------------------------------------------

UnicodeLibActor::UnicodeLibActor() : behavior_(UnicodeLibBehavior::GetDefaultBehavior()) {}

UnicodeLibActor::UnicodeLibActor(UnicodeLibBehavior * behavior) : behavior_(OrDefault(behavior)) {}

UnicodeLibActor::UnicodeLibActor(UnicodeLibActor const * other)
    : behavior_(OrDefault(other != nullptr ? other->behavior_ : nullptr)) {}

UnicodeLibActor::UnicodeLibActor(UnicodeLibActor const & other)
    : UnicodeLibPlaceable(other), behavior_(other.behavior_) {}

UnicodeLibActor & UnicodeLibActor::operator=(UnicodeLibActor const & other) {
    behavior_ = other.behavior_;
    return *this;
}

UnicodeLibActor::~UnicodeLibActor() = default;

UnicodeLibBehavior * UnicodeLibActor::SetBehavior(UnicodeLibBehavior * behavior) {
    UnicodeLibBehavior * const previous = behavior_;
    behavior_ = OrDefault(behavior);
    return previous;
}

UnicodeLibBehavior * UnicodeLibActor::GetBehavior() const {
    return behavior_;
}

// --- UnicodeLibDirector -----------------------------------------------------

UnicodeLibDirector::UnicodeLibDirector() : first_(nullptr), second_(nullptr) {}

UnicodeLibDirector::UnicodeLibDirector(UnicodeLibActor * first, UnicodeLibActor * second)
    : first_(first), second_(second) {}

UnicodeLibDirector::UnicodeLibDirector(UnicodeLibDirector && other) noexcept
    : first_(other.first_), second_(other.second_) {
    other.first_ = nullptr;
    other.second_ = nullptr;
}

UnicodeLibDirector & UnicodeLibDirector::operator=(UnicodeLibDirector && other) noexcept {
    if (this == &other) {
        return *this;
    }
    UnicodeLibActor * const first = other.first_;
    UnicodeLibActor * const second = other.second_;
    other.first_ = nullptr;
    other.second_ = nullptr;
    // Keep whatever the incoming director owns as well; delete the rest.
    if (first_ == first || first_ == second) {
        first_ = nullptr;
    }
    if (second_ == first || second_ == second) {
        second_ = nullptr;
    }
    DeleteActors();
    first_ = first;
    second_ = second;
    return *this;
}

UnicodeLibDirector::~UnicodeLibDirector() {
    DeleteActors();
}

void UnicodeLibDirector::DeleteActors() noexcept {
    UnicodeLibActor * const first = first_;
    UnicodeLibActor * const second = second_;
    first_ = nullptr;
    second_ = nullptr;
    delete first;
    // One actor given as both first and second is deleted once.
    if (second != first) {
        delete second;
    }
}

void UnicodeLibDirector::DeleteFirst(UnicodeLibActor * actor) {
    first_ = actor;
}

void UnicodeLibDirector::DeleteSecond(UnicodeLibActor * actor) {
    second_ = actor;
}

void UnicodeLibDirector::SetBehaviors(UnicodeLibBehavior & behavior) {
    if (first_ != nullptr) {
        first_->SetBehavior(&behavior);
    }
    if (second_ != nullptr) {
        second_->SetBehavior(&behavior);
    }
}
