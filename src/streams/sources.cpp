// The source bases and the buffer, string and file sources.
#include "zuuc/sources.h"

#include <cstdio>

#include "streams/stream_util.h"

using zuuc_internal::Consume;
using zuuc_internal::NextWindow;
using zuuc_internal::streams::AppendRange;
using zuuc_internal::streams::AssignWhole;
using zuuc_internal::streams::ResolveRange;

// ---------------------------------------------------------------------------
// Bases
// ---------------------------------------------------------------------------
//
// GetBuffer refills until the window holds something or the source ends, so
// a consumer never receives an empty window with a true result.

#define ZUUC_SOURCE_BASE(Source, Unit)                                     \
    Source::Source() : position_(nullptr), end_(nullptr) {}                \
    Source::Source(Source const & other)                                   \
        : UnicodeLibActor(other), position_(nullptr), end_(nullptr) {}     \
    Source::Source(UnicodeLibActor const & actor)                          \
        : UnicodeLibActor(&actor), position_(nullptr), end_(nullptr) {}    \
    Source::Source(UnicodeLibActor const * actor)                          \
        : UnicodeLibActor(actor), position_(nullptr), end_(nullptr) {}     \
    Source & Source::operator=(Source const & other) {                     \
        UnicodeLibActor::operator=(other);                                 \
        SetWindow(other.position_, other.end_);                            \
        return *this;                                                      \
    }                                                                      \
    Source::~Source() = default;                                           \
    bool Source::GetBuffer(Unit const *& begin, Unit const *& end) {       \
        return NextWindow(                                                 \
            position_, end_, [this] { return FillBuffer(); }, begin, end); \
    }                                                                      \
    void Source::DoneWith(Unit const * p) {                                \
        Consume(position_, p);                                             \
    }

// The sources of 16 and 32 bits keep no offset map unless they say so.
#define ZUUC_NO_OFFSET_MAP(Source)                                         \
    bool Source::GetOffsetMap(unsigned int *& map, unsigned int & count) { \
        map = nullptr;                                                     \
        count = 0;                                                         \
        return false;                                                      \
    }                                                                      \
    unsigned int Source::GetOffsetAt(unsigned int offset) {                \
        return offset;                                                     \
    }

ZUUC_SOURCE_BASE(CharSource, char)
ZUUC_SOURCE_BASE(Char16Source, unsigned short)
ZUUC_SOURCE_BASE(Char32Source, unsigned int)
ZUUC_NO_OFFSET_MAP(Char16Source)
ZUUC_NO_OFFSET_MAP(Char32Source)

bool CharSource::GetBuffer(unsigned char const *& begin, unsigned char const *& end) {
    char const * b = nullptr;
    char const * e = nullptr;
    if (!GetBuffer(b, e)) {
        return false;
    }
    begin = reinterpret_cast<unsigned char const *>(b);
    end = reinterpret_cast<unsigned char const *>(e);
    return true;
}

void CharSource::DoneWith(unsigned char const * p) {
    DoneWith(reinterpret_cast<char const *>(p));
}

// ---------------------------------------------------------------------------
// Buffer sources
// ---------------------------------------------------------------------------

#define ZUUC_BUFFER_SOURCE(Class, Base, Unit)                \
    Class::Class(Unit const * begin, Unit const * end) {     \
        ResolveRange(begin, end);                            \
        SetWindow(begin, end);                               \
    }                                                        \
    Class::Class(Class const & other) : Base(other) {        \
        SetWindow(other.position_, other.end_);              \
    }                                                        \
    Class & Class::operator=(Class const & other) = default; \
    Class::~Class() = default;                               \
    bool Class::FillBuffer() {                               \
        return false;                                        \
    }

ZUUC_BUFFER_SOURCE(BufferCharSource, CharSource, char)
ZUUC_BUFFER_SOURCE(BufferChar16Source, Char16Source, unsigned short)
ZUUC_BUFFER_SOURCE(BufferChar32Source, Char32Source, unsigned int)

BufferCharSource::BufferCharSource(unsigned char const * begin, unsigned char const * end)
    : BufferCharSource(reinterpret_cast<char const *>(begin), reinterpret_cast<char const *>(end)) {
}

// ---------------------------------------------------------------------------
// String sources
// ---------------------------------------------------------------------------
//
// The window always covers the unconsumed part of the owned copy; copies take
// only that part (an assignment changes nothing when it cannot get memory).

namespace {

template <class S, class T>
S CopyRange(T const * begin, T const * end) {
    S text;
    ResolveRange(begin, end);
    AppendRange(text, begin, end);
    return text;
}

template <class S, class T>
void ShowWhole(S const & text, T const *& position, T const *& end) {
    position = text.data();
    end = text.data() + text.size();
}

template <class S, class T, class AssignBase>
void TakeRest(S & text, T const * other_position, T const * other_end, AssignBase && assign_base,
              T const *& position, T const *& end) {
    S rest = CopyRange<S>(other_position, other_end);
    assign_base();
    AssignWhole(text, rest);
    ShowWhole(text, position, end);
}

}  // namespace

#define ZUUC_STRING_SOURCE(Class, Base, String, Unit)                                           \
    Class::Class(String const & text) : text_() {                                               \
        AssignWhole(text_, text);                                                               \
        ShowWhole(text_, position_, end_);                                                      \
    }                                                                                           \
    Class::Class(Unit const * begin, Unit const * end) : text_(CopyRange<String>(begin, end)) { \
        ShowWhole(text_, position_, end_);                                                      \
    }                                                                                           \
    Class::Class(Class const & other)                                                           \
        : Base(other), text_(CopyRange<String>(other.position_, other.end_)) {                  \
        ShowWhole(text_, position_, end_);                                                      \
    }                                                                                           \
    Class & Class::operator=(Class const & other) {                                             \
        if (this != &other) {                                                                   \
            TakeRest(                                                                           \
                text_, other.position_, other.end_, [&] { Base::operator=(other); }, position_, \
                end_);                                                                          \
        }                                                                                       \
        return *this;                                                                           \
    }                                                                                           \
    Class::~Class() = default;                                                                  \
    bool Class::FillBuffer() {                                                                  \
        return false;                                                                           \
    }

ZUUC_STRING_SOURCE(StringCharSource, CharSource, zu_string, char)
ZUUC_STRING_SOURCE(StringChar16Source, Char16Source, zu_wstring, unsigned short)
ZUUC_STRING_SOURCE(StringChar32Source, Char32Source, zu_utf32_string, unsigned int)

StringCharSource::StringCharSource(unsigned char const * begin, unsigned char const * end)
    : StringCharSource(reinterpret_cast<char const *>(begin), reinterpret_cast<char const *>(end)) {
}

#undef ZUUC_SOURCE_BASE
#undef ZUUC_NO_OFFSET_MAP
#undef ZUUC_BUFFER_SOURCE
#undef ZUUC_STRING_SOURCE

// ---------------------------------------------------------------------------
// File source
// ---------------------------------------------------------------------------

namespace {

std::size_t LibraryRead(void * buffer, std::size_t size, std::size_t count, std::FILE * file) {
    return std::fread(buffer, size, count, file);
}

}  // namespace

FileCharSource::FileCharSource(std::FILE * file, ReadFunction read)
    : file_(file), read_(read != nullptr ? read : &LibraryRead) {}

FileCharSource::~FileCharSource() = default;

bool FileCharSource::FillBuffer() {
    char * const start = buffer_.start();
    SetWindow(start, start);
    if (file_ == nullptr) {
        return false;
    }
    std::size_t count = read_(start, 1, buffer_.size(), file_);
    // A read function never gets to claim more than the block it was given.
    if (count > buffer_.size()) {
        count = buffer_.size();
    }
    SetWindow(start, start + count);
    return count > 0;
}
