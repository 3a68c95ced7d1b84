// Proxy sinks: sinks that write into another sink.
#include "zuuc/sinks.h"

CharProxySink::CharProxySink(CharSink * target)
    : CharSink(static_cast<UnicodeLibActor const *>(target)), target_(target) {}
CharProxySink::CharProxySink(CharProxySink const & other) = default;
CharProxySink & CharProxySink::operator=(CharProxySink const & other) = default;
CharProxySink::~CharProxySink() = default;

UnicodeLibBehavior * CharProxySink::SetBehavior(UnicodeLibBehavior * behavior) {
    if (target_ != nullptr) {
        target_->SetBehavior(behavior);
    }
    return CharSink::SetBehavior(behavior);
}

void CharProxySink::Flush() {
    if (target_ != nullptr) {
        target_->Flush();
    }
}

long CharProxySink::RemainingCapacity() const {
    return target_ != nullptr ? target_->RemainingCapacity() : 0;
}

// Passed on so that a producer stopping at a character that does not fit
// also stops the final buffer: later, smaller characters must not be written
// after the one that was dropped.
void CharProxySink::MarkAsTruncated() {
    if (target_ != nullptr) {
        target_->MarkAsTruncated();
    }
}

void CharProxySink::PutBuffer(char const * begin, char const * end) {
    if (target_ != nullptr) {
        target_->Put(begin, end);
    }
}

void CharProxySink::SetProxy(CharSink * target) {
    target_ = target;
    if (target != nullptr) {
        SetBehavior(target->GetBehavior());
    }
}

Char16ProxySink::Char16ProxySink(Char16Sink * target)
    : Char16Sink(static_cast<UnicodeLibActor const *>(target)), target_(target) {}
Char16ProxySink::Char16ProxySink(Char16ProxySink const & other) = default;
Char16ProxySink & Char16ProxySink::operator=(Char16ProxySink const & other) = default;
Char16ProxySink::~Char16ProxySink() = default;

UnicodeLibBehavior * Char16ProxySink::SetBehavior(UnicodeLibBehavior * behavior) {
    if (target_ != nullptr) {
        target_->SetBehavior(behavior);
    }
    return Char16Sink::SetBehavior(behavior);
}

void Char16ProxySink::Flush() {
    if (target_ != nullptr) {
        target_->Flush();
    }
}

long Char16ProxySink::RemainingCapacity() const {
    return target_ != nullptr ? target_->RemainingCapacity() : 0;
}

void Char16ProxySink::PutBuffer(unsigned short const * begin, unsigned short const * end) {
    if (target_ != nullptr) {
        target_->Put(begin, end);
    }
}

void Char16ProxySink::SetProxy(Char16Sink * target) {
    target_ = target;
    if (target != nullptr) {
        SetBehavior(target->GetBehavior());
    }
}

Char32ProxySink::Char32ProxySink(Char32Sink * target)
    : Char32Sink(static_cast<UnicodeLibActor const *>(target)), target_(target) {}
Char32ProxySink::Char32ProxySink(Char32ProxySink const & other) = default;
Char32ProxySink & Char32ProxySink::operator=(Char32ProxySink const & other) = default;
Char32ProxySink::~Char32ProxySink() = default;

UnicodeLibBehavior * Char32ProxySink::SetBehavior(UnicodeLibBehavior * behavior) {
    if (target_ != nullptr) {
        target_->SetBehavior(behavior);
    }
    return Char32Sink::SetBehavior(behavior);
}

void Char32ProxySink::Flush() {
    if (target_ != nullptr) {
        target_->Flush();
    }
}

long Char32ProxySink::RemainingCapacity() const {
    return target_ != nullptr ? target_->RemainingCapacity() : 0;
}

void Char32ProxySink::PutBuffer(unsigned int const * begin, unsigned int const * end) {
    if (target_ != nullptr) {
        target_->Put(begin, end);
    }
}

void Char32ProxySink::SetProxy(Char32Sink * target) {
    target_ = target;
    if (target != nullptr) {
        SetBehavior(target->GetBehavior());
    }
}
