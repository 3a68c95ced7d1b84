// Stream functions of 16-bit and 32-bit units, and the per-stream table.
#include <cstdio>
#include <unordered_map>

#include "stream_registry.h"
#include "wide_string_impl.h"
#include "zuuc/foundation.h"
#include "zuuc/wide_chars.h"

namespace zuuc_internal::wchar {
namespace {

struct StreamState {
    bool has_pushback = false;
    unsigned int pushback = 0;
    StreamOrientation orientation = kUnoriented;

    bool Empty() const { return !has_pushback && orientation == kUnoriented; }
};

struct StreamTable {
    zu_mutex mutex;
    std::unordered_map<std::FILE *, StreamState> states;
};

// Created on first use, never destroyed (see stream_registry.h). The first
// call may come from several threads at once: a function-local static is
// initialised exactly once.
StreamTable & Table() {
    static StreamTable * const table = new StreamTable;
    return *table;
}

}  // namespace

void ForgetStream(std::FILE * f) {
    StreamTable & table = Table();
    zu_mutex_lock lock(table.mutex);
    table.states.erase(f);
}

bool TakePushback(std::FILE * f, unsigned int * unit) {
    StreamTable & table = Table();
    zu_mutex_lock lock(table.mutex);
    auto const found = table.states.find(f);
    if (found == table.states.end() || !found->second.has_pushback) {
        return false;
    }
    *unit = found->second.pushback;
    found->second.has_pushback = false;
    if (found->second.Empty()) {
        table.states.erase(found);
    }
    return true;
}

bool StorePushback(std::FILE * f, unsigned int unit) {
    StreamTable & table = Table();
    zu_mutex_lock lock(table.mutex);
    StreamState & state = table.states[f];
    if (state.has_pushback) {
        return false;
    }
    state.has_pushback = true;
    state.pushback = unit;
    return true;
}

StreamOrientation Orient(std::FILE * f, StreamOrientation wanted) {
    StreamTable & table = Table();
    zu_mutex_lock lock(table.mutex);
    auto found = table.states.find(f);
    if (found == table.states.end()) {
        if (wanted == kUnoriented) {
            return kUnoriented;
        }
        found = table.states.emplace(f, StreamState()).first;
    }
    if (found->second.orientation == kUnoriented) {
        found->second.orientation = wanted;
    }
    return found->second.orientation;
}

namespace {

// One unit of type U from f: the pushed-back value if any (cut to U), else
// sizeof(U) bytes read; ZU_WEOF at end of file or on error.
template <typename U>
unsigned int GetUnit(std::FILE * f) {
    if (f == nullptr) {
        return ZU_WEOF;
    }
    unsigned int pushed;
    if (TakePushback(f, &pushed)) {
        return static_cast<U>(pushed);
    }
    U unit;
    if (std::fread(&unit, sizeof unit, 1, f) != 1) {
        return ZU_WEOF;
    }
    return unit;
}

unsigned int UngetUnit(unsigned int c, std::FILE * f) {
    if (f == nullptr || c == ZU_WEOF || !StorePushback(f, c)) {
        return ZU_WEOF;
    }
    std::clearerr(f);
    return c;
}

template <typename U>
U * GetLine(U * buf, int n, std::FILE * f) {
    if (n < 1) {
        return buf;
    }
    int stored = 0;
    bool failed = false;
    while (stored < n - 1) {
        unsigned int const c = GetUnit<U>(f);
        if (c == ZU_WEOF) {
            failed = f == nullptr || std::ferror(f) != 0 || stored == 0;
            break;
        }
        buf[stored++] = static_cast<U>(c);
        if (c == 10) {
            break;
        }
    }
    buf[stored] = 0;
    return failed ? nullptr : buf;
}

template <typename U>
unsigned int PutUnit(unsigned int c, std::FILE * f) {
    U const unit = static_cast<U>(c);
    if (f == nullptr || std::fwrite(&unit, sizeof unit, 1, f) != 1) {
        return ZU_WEOF;
    }
    return unit;
}

template <typename U>
int PutString(U const * s, std::FILE * f) {
    if (f == nullptr || s == nullptr) {
        return -1;
    }
    std::size_t const n = length(s);
    if (n > 0x7FFFFFFF || std::fwrite(s, sizeof(U), n, f) != n) {
        return -1;
    }
    return static_cast<int>(n);
}

}  // namespace
}  // namespace zuuc_internal::wchar

using namespace zuuc_internal::wchar;

typedef unsigned short U16;
typedef unsigned int U32;

extern "C" {

FILE * zu_fopen(char const * path, char const * mode) {
    if (path == nullptr || mode == nullptr) {
        return nullptr;
    }
    FILE * const f = std::fopen(path, mode);
    if (f != nullptr) {
        ForgetStream(f);
    }
    return f;
}

int zu_fclose(FILE * f) {
    if (f == nullptr) {
        return -1;
    }
    ForgetStream(f);
    return std::fclose(f);
}

unsigned int zu_fgetwc_16(FILE * f) {
    return GetUnit<U16>(f);
}
unsigned int zu_getwc_16(FILE * f) {
    return GetUnit<U16>(f);
}
unsigned int zu_getwchar_16(void) {
    return GetUnit<U16>(stdin);
}
unsigned int zu_fgetwc_32(FILE * f) {
    return GetUnit<U32>(f);
}
unsigned int zu_getwc_32(FILE * f) {
    return GetUnit<U32>(f);
}
unsigned int zu_getwchar_32(void) {
    return GetUnit<U32>(stdin);
}

unsigned int zu_ungetwc_16(unsigned int c, FILE * f) {
    return UngetUnit(c, f);
}
unsigned int zu_ungetwc_32(unsigned int c, FILE * f) {
    return UngetUnit(c, f);
}

unsigned short * zu_fgetws_16(unsigned short * buf, int n, FILE * f) {
    return GetLine(buf, n, f);
}
unsigned int * zu_fgetws_32(unsigned int * buf, int n, FILE * f) {
    return GetLine(buf, n, f);
}

unsigned int zu_fputwc_16(unsigned int c, FILE * f) {
    return PutUnit<U16>(c, f);
}
unsigned int zu_putwc_16(unsigned int c, FILE * f) {
    return PutUnit<U16>(c, f);
}
unsigned int zu_putwchar_16(unsigned int c) {
    return PutUnit<U16>(c, stdout);
}
unsigned int zu_fputwc_32(unsigned int c, FILE * f) {
    return PutUnit<U32>(c, f);
}
unsigned int zu_putwc_32(unsigned int c, FILE * f) {
    return PutUnit<U32>(c, f);
}
unsigned int zu_putwchar_32(unsigned int c) {
    return PutUnit<U32>(c, stdout);
}

int zu_fputws_16(unsigned short const * s, FILE * f) {
    return PutString(s, f);
}
int zu_fputws_32(unsigned int const * s, FILE * f) {
    return PutString(s, f);
}

int zu_fwide_16(FILE * f, int mode) {
    if (f == nullptr) {
        return 0;
    }
    StreamOrientation const wanted = mode > 0 ? kWide : (mode < 0 ? kByte : kUnoriented);
    switch (Orient(f, wanted)) {
        case kWide:
            return 1;
        case kByte:
            return -1;
        default:
            return 0;
    }
}

}  // extern "C"
