// The sink bases and the buffer, string and file sinks.
#include "zuuc/sinks.h"

#include <cstdio>
#include <cstring>

#include "streams/stream_util.h"

using zuuc_internal::PutAll;
using zuuc_internal::PutRange;
using zuuc_internal::streams::AppendRange;
using zuuc_internal::streams::AssignWhole;
using zuuc_internal::streams::ResolveRange;

// ---------------------------------------------------------------------------
// Bases
// ---------------------------------------------------------------------------

#define ZUUC_SINK_BASE(Sink, Source, Unit)                                                 \
    Sink::Sink() = default;                                                                \
    Sink::Sink(Sink const & other) = default;                                              \
    Sink::Sink(UnicodeLibActor const & actor) : UnicodeLibActor(&actor) {}                 \
    Sink::Sink(UnicodeLibActor const * actor) : UnicodeLibActor(actor) {}                  \
    Sink & Sink::operator=(Sink const & other) = default;                                  \
    Sink::~Sink() = default;                                                               \
    long Sink::RemainingCapacity() const {                                                 \
        return -1;                                                                         \
    }                                                                                      \
    void Sink::Put(Unit const * begin, Unit const * end) {                                 \
        PutRange(begin, end, [this](Unit const * b, Unit const * e) { PutBuffer(b, e); }); \
    }                                                                                      \
    void Sink::Put(Source & source) {                                                      \
        PutAll<Unit>(source, [this](Unit const * b, Unit const * e) { PutBuffer(b, e); }); \
    }

ZUUC_SINK_BASE(CharSink, CharSource, char)
ZUUC_SINK_BASE(Char16Sink, Char16Source, unsigned short)
ZUUC_SINK_BASE(Char32Sink, Char32Source, unsigned int)

void CharSink::MarkAsTruncated() {}

void CharSink::Put(unsigned char const * begin, unsigned char const * end) {
    Put(reinterpret_cast<char const *>(begin), reinterpret_cast<char const *>(end));
}

// ---------------------------------------------------------------------------
// Buffer sinks
// ---------------------------------------------------------------------------

namespace {

// The limit of a caller's buffer: no room at all for a null buffer or a
// capacity of zero or below.
template <class T>
T * LimitOf(T * buffer, long capacity) {
    return buffer != nullptr && capacity > 0 ? buffer + capacity : buffer;
}

// Keeps the text terminated while there is room; returns its start.
template <class T>
T const * Terminate(T * start, T * current, T * limit) {
    if (current < limit) {
        *current = 0;
    }
    return start;
}

// Copies what fits of [begin, end) to `current` and keeps the text
// terminated while there is room; a range that does not fit truncates.
template <class T>
void CopyWhatFits(T const * begin, T const * end, T *& current, T * limit, bool & truncated) {
    if (truncated) {
        return;
    }
    std::size_t count = static_cast<std::size_t>(end - begin);
    std::size_t const room = static_cast<std::size_t>(limit - current);
    if (count > room) {
        count = room;
        truncated = true;
    }
    if (count > 0) {
        // The range may lie inside the sink's own buffer.
        std::memmove(current, begin, count * sizeof(T));
        current += count;
    }
    Terminate(current, current, limit);
}

}  // namespace

#define ZUUC_BUFFER_SINK(Class, Unit)                                                              \
    Class::Class(Unit * buffer, long capacity)                                                     \
        : start_(buffer), current_(buffer), limit_(LimitOf(buffer, capacity)), truncated_(false) { \
        Terminate(current_, current_, limit_);                                                     \
    }                                                                                              \
    Class::Class(Class const & other) = default;                                                   \
    Class & Class::operator=(Class const & other) = default;                                       \
    Class::~Class() = default;                                                                     \
    void Class::Flush() {}                                                                         \
    long Class::RemainingCapacity() const {                                                        \
        return static_cast<long>(limit_ - current_);                                               \
    }                                                                                              \
    Unit const * Class::c_str() const {                                                            \
        return Terminate(start_, current_, limit_);                                                \
    }                                                                                              \
    void Class::PutBuffer(Unit const * begin, Unit const * end) {                                  \
        CopyWhatFits(begin, end, current_, limit_, truncated_);                                    \
    }

ZUUC_BUFFER_SINK(BufferCharSink, char)
ZUUC_BUFFER_SINK(BufferChar16Sink, unsigned short)
ZUUC_BUFFER_SINK(BufferChar32Sink, unsigned int)

BufferCharSink::BufferCharSink(unsigned char * buffer, long capacity)
    : BufferCharSink(reinterpret_cast<char *>(buffer), capacity) {}

void BufferCharSink::MarkAsTruncated() {
    truncated_ = true;
}

unsigned char const * BufferCharSink::unsigned_data() const {
    return reinterpret_cast<unsigned char const *>(start_);
}

unsigned char const * BufferCharSink::unsigned_c_str() const {
    return reinterpret_cast<unsigned char const *>(c_str());
}

// ---------------------------------------------------------------------------
// String sinks
// ---------------------------------------------------------------------------

#define ZUUC_STRING_SINK(Class, Base, Unit)                       \
    Class::Class() = default;                                     \
    Class::Class(Class const & other) : Base(other), text_() {    \
        AssignWhole(text_, other.text_);                          \
    }                                                             \
    Class & Class::operator=(Class const & other) {               \
        Base::operator=(other);                                   \
        AssignWhole(text_, other.text_);                          \
        return *this;                                             \
    }                                                             \
    Class::~Class() = default;                                    \
    void Class::Flush() {}                                        \
    void Class::PutBuffer(Unit const * begin, Unit const * end) { \
        AppendRange(text_, begin, end);                           \
    }

ZUUC_STRING_SINK(StringCharSink, CharSink, char)
ZUUC_STRING_SINK(StringChar16Sink, Char16Sink, unsigned short)
ZUUC_STRING_SINK(StringChar32Sink, Char32Sink, unsigned int)

unsigned char const * StringCharSink::unsigned_c_str() const {
    return reinterpret_cast<unsigned char const *>(text_.c_str());
}

unsigned char const * StringCharSink::unsigned_data() const {
    return reinterpret_cast<unsigned char const *>(text_.data());
}

// ---------------------------------------------------------------------------
// File sinks
// ---------------------------------------------------------------------------

namespace {

std::size_t LibraryWrite(void const * data, std::size_t size, std::size_t count, std::FILE * file) {
    return std::fwrite(data, size, count, file);
}

int LibraryFlush(std::FILE * file) {
    return std::fflush(file);
}

// Nothing is written to or flushed in a null file.
template <class T, class Write>
void WriteUnits(std::FILE * file, Write write, T const * begin, T const * end) {
    if (file != nullptr) {
        write(begin, sizeof(T), static_cast<std::size_t>(end - begin), file);
    }
}

template <class Flush>
void FlushFile(std::FILE * file, Flush flush) {
    if (file != nullptr) {
        flush(file);
    }
}

}  // namespace

FileCharSink::FileCharSink(std::FILE * file, WriteFunction write, FlushFunction flush)
    : file_(file),
      write_(write != nullptr ? write : &LibraryWrite),
      flush_(flush != nullptr ? flush : &LibraryFlush) {}

FileCharSink::FileCharSink(FileCharSink const & other) = default;
FileCharSink & FileCharSink::operator=(FileCharSink const & other) = default;
FileCharSink::~FileCharSink() = default;
void FileCharSink::Flush() {
    FlushFile(file_, flush_);
}
void FileCharSink::PutBuffer(char const * begin, char const * end) {
    WriteUnits(file_, write_, begin, end);
}

// The wide file sinks write their units as they are, in the platform's byte
// order, with the library's fwrite and fflush.
#define ZUUC_FILE_SINK(Class, Unit)                               \
    Class::Class(std::FILE * file) : file_(file) {}               \
    Class::Class(Class const & other) = default;                  \
    Class & Class::operator=(Class const & other) = default;      \
    Class::~Class() = default;                                    \
    void Class::Flush() {                                         \
        FlushFile(file_, &LibraryFlush);                          \
    }                                                             \
    void Class::PutBuffer(Unit const * begin, Unit const * end) { \
        WriteUnits(file_, &LibraryWrite, begin, end);             \
    }

ZUUC_FILE_SINK(FileChar16Sink, unsigned short)
ZUUC_FILE_SINK(FileChar32Sink, unsigned int)

#undef ZUUC_SINK_BASE
#undef ZUUC_BUFFER_SINK
#undef ZUUC_STRING_SINK
#undef ZUUC_FILE_SINK
