// The sink bases and the buffer, string and file sinks.
#include "zuuc/sinks.h"

#include <cstdio>
#include <cstring>

#include "streams/stream_util.h"

using zuuc_streams_detail::AppendRange;
using zuuc_streams_detail::AssignWhole;
using zuuc_streams_detail::ResolveRange;

// ---------------------------------------------------------------------------
// Bases
// ---------------------------------------------------------------------------

CharSink::CharSink() = default;
CharSink::CharSink(CharSink const & other) = default;
CharSink::CharSink(UnicodeLibActor const & actor) : UnicodeLibActor(&actor) {}
CharSink::CharSink(UnicodeLibActor const * actor) : UnicodeLibActor(actor) {}
CharSink & CharSink::operator=(CharSink const & other) = default;
CharSink::~CharSink() = default;

long CharSink::RemainingCapacity() const { return -1; }
void CharSink::MarkAsTruncated() {}

void CharSink::Put(char const * begin, char const * end) {
    ResolveRange(begin, end);
    if (begin < end) {
        PutBuffer(begin, end);
    }
}

void CharSink::Put(unsigned char const * begin, unsigned char const * end) {
    Put(reinterpret_cast<char const *>(begin), reinterpret_cast<char const *>(end));
}

void CharSink::Put(CharSource & source) {
    char const * begin = nullptr;
    char const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        PutBuffer(begin, end);
        source.DoneWith(end);
    }
}

Char16Sink::Char16Sink() = default;
Char16Sink::Char16Sink(Char16Sink const & other) = default;
Char16Sink::Char16Sink(UnicodeLibActor const & actor) : UnicodeLibActor(&actor) {}
Char16Sink::Char16Sink(UnicodeLibActor const * actor) : UnicodeLibActor(actor) {}
Char16Sink & Char16Sink::operator=(Char16Sink const & other) = default;
Char16Sink::~Char16Sink() = default;

long Char16Sink::RemainingCapacity() const { return -1; }

void Char16Sink::Put(unsigned short const * begin, unsigned short const * end) {
    ResolveRange(begin, end);
    if (begin < end) {
        PutBuffer(begin, end);
    }
}

void Char16Sink::Put(Char16Source & source) {
    unsigned short const * begin = nullptr;
    unsigned short const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        PutBuffer(begin, end);
        source.DoneWith(end);
    }
}

Char32Sink::Char32Sink() = default;
Char32Sink::Char32Sink(Char32Sink const & other) = default;
Char32Sink::Char32Sink(UnicodeLibActor const & actor) : UnicodeLibActor(&actor) {}
Char32Sink::Char32Sink(UnicodeLibActor const * actor) : UnicodeLibActor(actor) {}
Char32Sink & Char32Sink::operator=(Char32Sink const & other) = default;
Char32Sink::~Char32Sink() = default;

long Char32Sink::RemainingCapacity() const { return -1; }

void Char32Sink::Put(unsigned int const * begin, unsigned int const * end) {
    ResolveRange(begin, end);
    if (begin < end) {
        PutBuffer(begin, end);
    }
}

void Char32Sink::Put(Char32Source & source) {
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        PutBuffer(begin, end);
        source.DoneWith(end);
    }
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
    if (current < limit) {
        *current = 0;
    }
}

template <class T>
T const * Terminate(T * start, T * current, T * limit) {
    if (current < limit) {
        *current = 0;
    }
    return start;
}

}  // namespace

BufferCharSink::BufferCharSink(char * buffer, long capacity)
    : start_(buffer), current_(buffer), limit_(LimitOf(buffer, capacity)), truncated_(false) {
    if (current_ < limit_) {
        *current_ = 0;
    }
}

BufferCharSink::BufferCharSink(unsigned char * buffer, long capacity)
    : BufferCharSink(reinterpret_cast<char *>(buffer), capacity) {}

BufferCharSink::BufferCharSink(BufferCharSink const & other) = default;
BufferCharSink & BufferCharSink::operator=(BufferCharSink const & other) = default;
BufferCharSink::~BufferCharSink() = default;

void BufferCharSink::Flush() {}
long BufferCharSink::RemainingCapacity() const { return static_cast<long>(limit_ - current_); }
void BufferCharSink::MarkAsTruncated() { truncated_ = true; }

unsigned char const * BufferCharSink::unsigned_data() const {
    return reinterpret_cast<unsigned char const *>(start_);
}

char const * BufferCharSink::c_str() const { return Terminate(start_, current_, limit_); }

unsigned char const * BufferCharSink::unsigned_c_str() const {
    return reinterpret_cast<unsigned char const *>(c_str());
}

void BufferCharSink::PutBuffer(char const * begin, char const * end) {
    CopyWhatFits(begin, end, current_, limit_, truncated_);
}

BufferChar16Sink::BufferChar16Sink(unsigned short * buffer, long capacity)
    : start_(buffer), current_(buffer), limit_(LimitOf(buffer, capacity)), truncated_(false) {
    if (current_ < limit_) {
        *current_ = 0;
    }
}

BufferChar16Sink::BufferChar16Sink(BufferChar16Sink const & other) = default;
BufferChar16Sink & BufferChar16Sink::operator=(BufferChar16Sink const & other) = default;
BufferChar16Sink::~BufferChar16Sink() = default;

void BufferChar16Sink::Flush() {}
long BufferChar16Sink::RemainingCapacity() const { return static_cast<long>(limit_ - current_); }
unsigned short const * BufferChar16Sink::c_str() const { return Terminate(start_, current_, limit_); }

void BufferChar16Sink::PutBuffer(unsigned short const * begin, unsigned short const * end) {
    CopyWhatFits(begin, end, current_, limit_, truncated_);
}

BufferChar32Sink::BufferChar32Sink(unsigned int * buffer, long capacity)
    : start_(buffer), current_(buffer), limit_(LimitOf(buffer, capacity)), truncated_(false) {
    if (current_ < limit_) {
        *current_ = 0;
    }
}

BufferChar32Sink::BufferChar32Sink(BufferChar32Sink const & other) = default;
BufferChar32Sink & BufferChar32Sink::operator=(BufferChar32Sink const & other) = default;
BufferChar32Sink::~BufferChar32Sink() = default;

void BufferChar32Sink::Flush() {}
long BufferChar32Sink::RemainingCapacity() const { return static_cast<long>(limit_ - current_); }
unsigned int const * BufferChar32Sink::c_str() const { return Terminate(start_, current_, limit_); }

void BufferChar32Sink::PutBuffer(unsigned int const * begin, unsigned int const * end) {
    CopyWhatFits(begin, end, current_, limit_, truncated_);
}

// ---------------------------------------------------------------------------
// String sinks
// ---------------------------------------------------------------------------

StringCharSink::StringCharSink() = default;

StringCharSink::StringCharSink(StringCharSink const & other) : CharSink(other), text_() {
    AssignWhole(text_, other.text_);
}

StringCharSink & StringCharSink::operator=(StringCharSink const & other) {
    CharSink::operator=(other);
    AssignWhole(text_, other.text_);
    return *this;
}

StringCharSink::~StringCharSink() = default;
void StringCharSink::Flush() {}

unsigned char const * StringCharSink::unsigned_c_str() const {
    return reinterpret_cast<unsigned char const *>(text_.c_str());
}

unsigned char const * StringCharSink::unsigned_data() const {
    return reinterpret_cast<unsigned char const *>(text_.data());
}

void StringCharSink::PutBuffer(char const * begin, char const * end) {
    AppendRange(text_, begin, end);
}

StringChar16Sink::StringChar16Sink() = default;

StringChar16Sink::StringChar16Sink(StringChar16Sink const & other)
    : Char16Sink(other), text_() {
    AssignWhole(text_, other.text_);
}

StringChar16Sink & StringChar16Sink::operator=(StringChar16Sink const & other) {
    Char16Sink::operator=(other);
    AssignWhole(text_, other.text_);
    return *this;
}

StringChar16Sink::~StringChar16Sink() = default;
void StringChar16Sink::Flush() {}

void StringChar16Sink::PutBuffer(unsigned short const * begin, unsigned short const * end) {
    AppendRange(text_, begin, end);
}

StringChar32Sink::StringChar32Sink() = default;

StringChar32Sink::StringChar32Sink(StringChar32Sink const & other)
    : Char32Sink(other), text_() {
    AssignWhole(text_, other.text_);
}

StringChar32Sink & StringChar32Sink::operator=(StringChar32Sink const & other) {
    Char32Sink::operator=(other);
    AssignWhole(text_, other.text_);
    return *this;
}

StringChar32Sink::~StringChar32Sink() = default;
void StringChar32Sink::Flush() {}

void StringChar32Sink::PutBuffer(unsigned int const * begin, unsigned int const * end) {
    AppendRange(text_, begin, end);
}

// ---------------------------------------------------------------------------
// File sinks
// ---------------------------------------------------------------------------

namespace {

std::size_t LibraryWrite(void const * data, std::size_t size, std::size_t count, std::FILE * file) {
    return std::fwrite(data, size, count, file);
}

int LibraryFlush(std::FILE * file) { return std::fflush(file); }

}  // namespace

FileCharSink::FileCharSink(std::FILE * file, WriteFunction write, FlushFunction flush)
    : file_(file),
      write_(write != nullptr ? write : &LibraryWrite),
      flush_(flush != nullptr ? flush : &LibraryFlush) {}

FileCharSink::FileCharSink(FileCharSink const & other) = default;
FileCharSink & FileCharSink::operator=(FileCharSink const & other) = default;
FileCharSink::~FileCharSink() = default;

void FileCharSink::Flush() {
    if (file_ != nullptr) {
        flush_(file_);
    }
}

void FileCharSink::PutBuffer(char const * begin, char const * end) {
    if (file_ != nullptr) {
        write_(begin, 1, static_cast<std::size_t>(end - begin), file_);
    }
}

FileChar16Sink::FileChar16Sink(std::FILE * file) : file_(file) {}
FileChar16Sink::FileChar16Sink(FileChar16Sink const & other) = default;
FileChar16Sink & FileChar16Sink::operator=(FileChar16Sink const & other) = default;
FileChar16Sink::~FileChar16Sink() = default;

void FileChar16Sink::Flush() {
    if (file_ != nullptr) {
        std::fflush(file_);
    }
}

void FileChar16Sink::PutBuffer(unsigned short const * begin, unsigned short const * end) {
    if (file_ != nullptr) {
        std::fwrite(begin, sizeof(unsigned short), static_cast<std::size_t>(end - begin), file_);
    }
}

FileChar32Sink::FileChar32Sink(std::FILE * file) : file_(file) {}
FileChar32Sink::FileChar32Sink(FileChar32Sink const & other) = default;
FileChar32Sink & FileChar32Sink::operator=(FileChar32Sink const & other) = default;
FileChar32Sink::~FileChar32Sink() = default;

void FileChar32Sink::Flush() {
    if (file_ != nullptr) {
        std::fflush(file_);
    }
}

void FileChar32Sink::PutBuffer(unsigned int const * begin, unsigned int const * end) {
    if (file_ != nullptr) {
        std::fwrite(begin, sizeof(unsigned int), static_cast<std::size_t>(end - begin), file_);
    }
}
