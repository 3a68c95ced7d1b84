// Proxy sources: sources that offer the windows of another source.
#include "zuuc/sources.h"

// Refill: the proxied source learns how far the proxy's consumer got (the
// proxy only refills once its window is used up, so that is the end of the
// proxied source's window), then its next window becomes the proxy's own.
// The old window is dropped before the proxied source refills, so if that
// refill throws, a later retry does not report a stale position into the
// proxied source's new window.

CharProxySource::CharProxySource(CharSource * source)
    : CharSource(static_cast<UnicodeLibActor const *>(source)), source_(source), exhausted_(false) {}

CharProxySource::CharProxySource(CharProxySource const & other)
    : CharSource(other), source_(other.source_), exhausted_(other.exhausted_) {
    SetWindow(other.position_, other.end_);
}

CharProxySource & CharProxySource::operator=(CharProxySource const & other) = default;
CharProxySource::~CharProxySource() = default;

UnicodeLibBehavior * CharProxySource::SetBehavior(UnicodeLibBehavior * behavior) {
    if (source_ != nullptr) {
        source_->SetBehavior(behavior);
    }
    return CharSource::SetBehavior(behavior);
}

bool CharProxySource::FillBuffer() {
    if (source_ == nullptr || exhausted_) {
        return false;
    }
    source_->DoneWith(position_);
    SetWindow(nullptr, nullptr);  // never hand the same position down twice
    char const * begin = nullptr;
    char const * end = nullptr;
    if (!source_->GetBuffer(begin, end)) {
        exhausted_ = true;
        return false;
    }
    SetWindow(begin, end);
    return true;
}

void CharProxySource::SetProxy(CharSource * source) {
    source_ = source;
    exhausted_ = false;
    SetWindow(nullptr, nullptr);
    if (source != nullptr) {
        SetBehavior(source->GetBehavior());
    }
}

Char16ProxySource::Char16ProxySource(Char16Source * source)
    : Char16Source(static_cast<UnicodeLibActor const *>(source)), source_(source), exhausted_(false) {}

Char16ProxySource::Char16ProxySource(Char16ProxySource const & other)
    : Char16Source(other), source_(other.source_), exhausted_(other.exhausted_) {
    SetWindow(other.position_, other.end_);
}

Char16ProxySource & Char16ProxySource::operator=(Char16ProxySource const & other) = default;
Char16ProxySource::~Char16ProxySource() = default;

UnicodeLibBehavior * Char16ProxySource::SetBehavior(UnicodeLibBehavior * behavior) {
    if (source_ != nullptr) {
        source_->SetBehavior(behavior);
    }
    return Char16Source::SetBehavior(behavior);
}

bool Char16ProxySource::FillBuffer() {
    if (source_ == nullptr || exhausted_) {
        return false;
    }
    source_->DoneWith(position_);
    SetWindow(nullptr, nullptr);  // never hand the same position down twice
    unsigned short const * begin = nullptr;
    unsigned short const * end = nullptr;
    if (!source_->GetBuffer(begin, end)) {
        exhausted_ = true;
        return false;
    }
    SetWindow(begin, end);
    return true;
}

void Char16ProxySource::SetProxy(Char16Source * source) {
    source_ = source;
    exhausted_ = false;
    SetWindow(nullptr, nullptr);
    if (source != nullptr) {
        SetBehavior(source->GetBehavior());
    }
}

Char32ProxySource::Char32ProxySource(Char32Source * source)
    : Char32Source(static_cast<UnicodeLibActor const *>(source)), source_(source), exhausted_(false) {}

Char32ProxySource::Char32ProxySource(Char32ProxySource const & other)
    : Char32Source(other), source_(other.source_), exhausted_(other.exhausted_) {
    SetWindow(other.position_, other.end_);
}

Char32ProxySource & Char32ProxySource::operator=(Char32ProxySource const & other) = default;
Char32ProxySource::~Char32ProxySource() = default;

UnicodeLibBehavior * Char32ProxySource::SetBehavior(UnicodeLibBehavior * behavior) {
    if (source_ != nullptr) {
        source_->SetBehavior(behavior);
    }
    return Char32Source::SetBehavior(behavior);
}

bool Char32ProxySource::FillBuffer() {
    if (source_ == nullptr || exhausted_) {
        return false;
    }
    source_->DoneWith(position_);
    SetWindow(nullptr, nullptr);  // never hand the same position down twice
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    if (!source_->GetBuffer(begin, end)) {
        exhausted_ = true;
        return false;
    }
    SetWindow(begin, end);
    return true;
}

void Char32ProxySource::SetProxy(Char32Source * source) {
    source_ = source;
    exhausted_ = false;
    SetWindow(nullptr, nullptr);
    if (source != nullptr) {
        SetBehavior(source->GetBehavior());
    }
}
