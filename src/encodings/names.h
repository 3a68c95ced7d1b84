// Conversions of encoding and variation names between byte and Unicode
// forms (internal). Names are ASCII: a unit outside ASCII never belongs to a
// name.
#ifndef ZUUC_SRC_ENCODINGS_NAMES_H
#define ZUUC_SRC_ENCODINGS_NAMES_H

#include <atomic>
#include <mutex>
#include <string>

#include "registry.h"
#include "zuuc/strings.h"

namespace zuuc_internal::names {

// The name in 16-bit units; bytes outside ASCII become U+FFFD.
zu_wstring ToUnicode(char const * name);

// The bytes of a NUL-terminated Unicode name; false when a unit is outside
// ASCII, and so cannot be part of any name.
template <class Unit>
bool ToBytes(Unit const * name, std::string & out) {
    out.clear();
    for (; *name != 0; ++name) {
        if (*name > 0x7F) {
            return false;
        }
        out.push_back(static_cast<char>(*name));
    }
    return true;
}

// Builds a cache once, safely under concurrent first use. The lock is
// recursive: building a variant's name builds its parent's first.
template <class Build>
void BuildOnce(std::atomic<bool> & built, Build build) {
    if (built.load(std::memory_order_acquire)) {
        return;
    }
    std::lock_guard<std::recursive_mutex> lock(registry::NameCacheMutex());
    if (!built.load(std::memory_order_relaxed)) {
        build();
        built.store(true, std::memory_order_release);
    }
}

}  // namespace zuuc_internal::names

#endif
