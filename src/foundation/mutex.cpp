// zu_mutex and its scoped lock.
#include <mutex>

#include "zuuc/foundation.h"

// The lock itself. Recursive, so that a thread already holding a mutex may
// take it again (as a nested zu_mutex_lock does).
class zu_mutex::Section {
public:
    std::recursive_mutex mutex;
};

zu_mutex::zu_mutex() : section_(new Section) {}

// A copy is a mutex of its own: it shares nothing with the original.
zu_mutex::zu_mutex(zu_mutex const &) : section_(new Section) {}

// Each mutex keeps the lock it was built with; there is nothing to assign.
zu_mutex & zu_mutex::operator=(zu_mutex const &) {
    return *this;
}

zu_mutex::~zu_mutex() {
    delete section_;
    section_ = nullptr;
}

void zu_mutex::lock() {
    if (section_ != nullptr) {
        section_->mutex.lock();
    }
}

void zu_mutex::unlock() {
    if (section_ != nullptr) {
        section_->mutex.unlock();
    }
}

// A mutex without a lock (one used before its static construction or after
// its destruction) is not locked, and the lock object remembers that so that
// it never unlocks what it did not lock.
zu_mutex_lock::zu_mutex_lock(zu_mutex & mutex) : zu_mutex_lock(&mutex) {}

zu_mutex_lock::zu_mutex_lock(zu_mutex * mutex)
    : mutex_(mutex != nullptr && mutex->section_ != nullptr ? mutex : nullptr) {
    if (mutex_ != nullptr) {
        mutex_->lock();
    }
}

zu_mutex_lock::~zu_mutex_lock() {
    if (mutex_ != nullptr) {
        mutex_->unlock();
    }
}
