#include "zuuc/loader.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "loader_lock.h"

namespace {

constexpr std::size_t kPathSize = 260;
constexpr char kModuleSuffix[] = ".so";
constexpr char kInitializeSymbol[] = "_InitializeLibrary";

using Lock = std::lock_guard<std::recursive_mutex>;

// Guarded by the loader mutex.
char gLoadDirectory[kPathSize] = {};

// The modules whose initialisation has run, guarded by the loader mutex.
// Deliberately leaked, like the modules themselves.
std::vector<void *> & InitializedModules() {
    static auto * modules = new std::vector<void *>();
    return *modules;
}

// Copies as much of `text` as fits into buffer[at..] while leaving room for
// `reserve` more bytes and the terminating NUL; returns the new length.
std::size_t AppendCut(char (&buffer)[kPathSize], std::size_t at, char const * text,
                      std::size_t reserve) {
    std::size_t const room = kPathSize - 1 - reserve;
    std::size_t length = at;
    for (; *text != '\0' && length < room; ++text) {
        buffer[length++] = *text;
    }
    buffer[length] = '\0';
    return length;
}

using InitializeFunction = void (*)();

// Opens `file` from the folder that holds this library. The run path of the
// library says the same, but the dynamic loader applies it only when the call
// comes straight from this library, which interposed dlopen wrappers (the
// sanitizers') break.
void * OpenNextToThisLibrary(char const * file) {
    Dl_info info;
    if (dladdr(reinterpret_cast<void *>(&UnicodeLibLoader::Load), &info) == 0 ||
        info.dli_fname == nullptr) {
        return nullptr;
    }
    char const * slash = std::strrchr(info.dli_fname, '/');
    if (slash == nullptr) {
        return nullptr;
    }
    char path[kPathSize];
    std::size_t const folder = static_cast<std::size_t>(slash - info.dli_fname) + 1;
    if (folder + std::strlen(file) >= kPathSize) {
        return nullptr;
    }
    std::memcpy(path, info.dli_fname, folder);
    std::strcpy(path + folder, file);
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

}  // namespace

namespace zuuc_internal::loader {

// Leaked: encodings may load during static teardown.
std::recursive_mutex & Mutex() {
    static auto * mutex = new std::recursive_mutex();
    return *mutex;
}

}  // namespace zuuc_internal::loader

bool UnicodeLibLoader::Load(char const * name) {
    if (name == nullptr) {
        return false;
    }
    Lock lock(zuuc_internal::loader::Mutex());

    char file[kPathSize];
    std::size_t const reserve = sizeof kModuleSuffix - 1;
    AppendCut(file, AppendCut(file, 0, name, reserve), kModuleSuffix, 0);

    void * module = nullptr;
    if (gLoadDirectory[0] != '\0') {
        char path[kPathSize];
        AppendCut(path, AppendCut(path, 0, gLoadDirectory, 0), file, 0);
        module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    }
    if (module == nullptr) {
        module = dlopen(file, RTLD_NOW | RTLD_LOCAL);
    }
    if (module == nullptr) {
        module = OpenNextToThisLibrary(file);
    }
    if (module == nullptr) {
        return false;
    }
    auto initialize = reinterpret_cast<InitializeFunction>(dlsym(module, kInitializeSymbol));
    if (initialize == nullptr) {
        dlclose(module);
        return false;
    }
    // The module stays open for the rest of the process: the tables it
    // installed live in it. Its initialisation runs once: running it again
    // would install the same tables while other threads convert with them.
    std::vector<void *> & initialized = InitializedModules();
    if (std::find(initialized.begin(), initialized.end(), module) == initialized.end()) {
        initialize();
        initialized.push_back(module);
    }
    return true;
}

bool UnicodeLibLoader::IsLoadable(char const * name) {
    return Load(name);
}

void UnicodeLibLoader::SetLoadDirectory(char const * directory) {
    Lock lock(zuuc_internal::loader::Mutex());
    if (directory == nullptr || directory[0] == '\0') {
        gLoadDirectory[0] = '\0';
        return;
    }
    std::size_t const length = AppendCut(gLoadDirectory, 0, directory, 1);
    char const last = gLoadDirectory[length - 1];
    if (last != '/' && last != '\\') {
        gLoadDirectory[length] = '/';
        gLoadDirectory[length + 1] = '\0';
    }
}

void UnicodeLibLoader::GetLoadDirectory(char * buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return;
    }
    Lock lock(zuuc_internal::loader::Mutex());
    std::size_t const capacity = static_cast<std::size_t>(size);
    std::strncpy(buffer, gLoadDirectory, capacity);
    buffer[capacity - 1] = '\0';
}
