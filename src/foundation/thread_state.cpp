// Per-thread records, kept in one POSIX thread-specific slot.
//
// The slot is created on first use. Thread exit frees a thread's record
// through the slot's destructor; the process-teardown object below frees the
// record of the thread that runs teardown (slot destructors do not run for
// it) and then the slot itself.
#include "thread_state.h"

#include <pthread.h>

#include <atomic>
#include <cstdlib>

namespace zuuc_internal::foundation {
namespace {

enum SlotState : int { kSlotUnused, kSlotReady, kSlotGone };

pthread_once_t gSlotOnce = PTHREAD_ONCE_INIT;
pthread_key_t gSlot;
std::atomic<int> gSlotState{kSlotUnused};

void FreeRecord(void * record) {
    std::free(record);
}

void CreateSlot() {
    if (pthread_key_create(&gSlot, &FreeRecord) == 0) {
        gSlotState.store(kSlotReady, std::memory_order_release);
    } else {
        gSlotState.store(kSlotGone, std::memory_order_release);
    }
}

class ProcessTeardown {
public:
    constexpr ProcessTeardown() = default;
    ProcessTeardown(ProcessTeardown const &) = delete;
    ProcessTeardown & operator=(ProcessTeardown const &) = delete;

    ~ProcessTeardown() {
        int expected = kSlotReady;
        if (!gSlotState.compare_exchange_strong(expected, kSlotGone, std::memory_order_acq_rel)) {
            gSlotState.store(kSlotGone, std::memory_order_release);
            return;
        }
        void * const record = pthread_getspecific(gSlot);
        if (record != nullptr) {
            pthread_setspecific(gSlot, nullptr);
            FreeRecord(record);
        }
        pthread_key_delete(gSlot);
    }
};

ProcessTeardown gProcessTeardown;

}  // namespace

ThreadRecord * CurrentThreadRecord() noexcept {
    if (gSlotState.load(std::memory_order_acquire) == kSlotUnused) {
        pthread_once(&gSlotOnce, &CreateSlot);
    }
    if (gSlotState.load(std::memory_order_acquire) != kSlotReady) {
        return nullptr;
    }
    auto * record = static_cast<ThreadRecord *>(pthread_getspecific(gSlot));
    if (record == nullptr) {
        record = static_cast<ThreadRecord *>(std::calloc(1, sizeof(ThreadRecord)));
        if (record == nullptr) {
            return nullptr;
        }
        record->wcstok_16_position = nullptr;
        if (pthread_setspecific(gSlot, record) != 0) {
            std::free(record);
            return nullptr;
        }
    }
    return record;
}

}  // namespace zuuc_internal::foundation
