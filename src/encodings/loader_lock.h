// The loader lock (internal): held while a module is opened and initialised,
// and while an encoding re-tests its loaded flag before loading.
#ifndef ZUUC_SRC_ENCODINGS_LOADER_LOCK_H
#define ZUUC_SRC_ENCODINGS_LOADER_LOCK_H

#include <mutex>

namespace zuuc_internal::loader {

// Recursive: an encoding loads under it and the loader takes it again, and a
// module's initialisation may load another module.
std::recursive_mutex & Mutex();

}  // namespace zuuc_internal::loader

#endif
