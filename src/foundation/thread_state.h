// Per-thread state of the library (internal).
//
// The library keeps one small record per thread, created when a thread first
// needs it and freed when the thread exits; the record of the thread that
// ends the process is freed at process teardown.
#ifndef ZUUC_SRC_FOUNDATION_THREAD_STATE_H
#define ZUUC_SRC_FOUNDATION_THREAD_STATE_H

namespace zuuc_internal::foundation {

struct ThreadRecord {
    // Where zu_wcstok_16 continues when it is called with a null string.
    unsigned short * wcstok_16_position;
};

// The calling thread's record, created (with every field null) on first use.
// Null when the record cannot be allocated, or once the library is being torn
// down.
ThreadRecord * CurrentThreadRecord() noexcept;

}  // namespace zuuc_internal::foundation

#endif
