// The source bases and the buffer, string and file sources.
#include "zuuc/sources.h"

#include <cstdio>

#include "streams/stream_util.h"

using zuuc_streams_detail::AppendRange;
using zuuc_streams_detail::AssignWhole;
using zuuc_streams_detail::ResolveRange;

// ---------------------------------------------------------------------------
// Bases
// ---------------------------------------------------------------------------
//
// GetBuffer refills until the window holds something or the source ends, so
// a consumer never receives an empty window with a true result.

CharSource::CharSource() : position_(nullptr), end_(nullptr) {}
CharSource::CharSource(CharSource const & other)
    : UnicodeLibActor(other), position_(nullptr), end_(nullptr) {}
CharSource::CharSource(UnicodeLibActor const & actor)
    : UnicodeLibActor(&actor), position_(nullptr), end_(nullptr) {}
CharSource::CharSource(UnicodeLibActor const * actor)
    : UnicodeLibActor(actor), position_(nullptr), end_(nullptr) {}
CharSource & CharSource::operator=(CharSource const & other) {
    UnicodeLibActor::operator=(other);
    position_ = other.position_;
    end_ = other.end_;
    return *this;
}
CharSource::~CharSource() = default;

bool CharSource::GetBuffer(char const *& begin, char const *& end) {
    while (!(position_ < end_)) {
        if (!FillBuffer()) {
            return false;
        }
    }
    begin = position_;
    end = end_;
    return true;
}

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

void CharSource::DoneWith(char const * p) {
    if (p != nullptr) {
        position_ = p;
    }
}

void CharSource::DoneWith(unsigned char const * p) {
    DoneWith(reinterpret_cast<char const *>(p));
}

Char16Source::Char16Source() : position_(nullptr), end_(nullptr) {}
Char16Source::Char16Source(Char16Source const & other)
    : UnicodeLibActor(other), position_(nullptr), end_(nullptr) {}
Char16Source::Char16Source(UnicodeLibActor const & actor)
    : UnicodeLibActor(&actor), position_(nullptr), end_(nullptr) {}
Char16Source::Char16Source(UnicodeLibActor const * actor)
    : UnicodeLibActor(actor), position_(nullptr), end_(nullptr) {}
Char16Source & Char16Source::operator=(Char16Source const & other) {
    UnicodeLibActor::operator=(other);
    position_ = other.position_;
    end_ = other.end_;
    return *this;
}
Char16Source::~Char16Source() = default;

bool Char16Source::GetOffsetMap(unsigned int *& map, unsigned int & count) {
    map = nullptr;
    count = 0;
    return false;
}

unsigned int Char16Source::GetOffsetAt(unsigned int offset) { return offset; }

bool Char16Source::GetBuffer(unsigned short const *& begin, unsigned short const *& end) {
    while (!(position_ < end_)) {
        if (!FillBuffer()) {
            return false;
        }
    }
    begin = position_;
    end = end_;
    return true;
}

void Char16Source::DoneWith(unsigned short const * p) {
    if (p != nullptr) {
        position_ = p;
    }
}

Char32Source::Char32Source() : position_(nullptr), end_(nullptr) {}
Char32Source::Char32Source(Char32Source const & other)
    : UnicodeLibActor(other), position_(nullptr), end_(nullptr) {}
Char32Source::Char32Source(UnicodeLibActor const & actor)
    : UnicodeLibActor(&actor), position_(nullptr), end_(nullptr) {}
Char32Source::Char32Source(UnicodeLibActor const * actor)
    : UnicodeLibActor(actor), position_(nullptr), end_(nullptr) {}
Char32Source & Char32Source::operator=(Char32Source const & other) {
    UnicodeLibActor::operator=(other);
    position_ = other.position_;
    end_ = other.end_;
    return *this;
}
Char32Source::~Char32Source() = default;

bool Char32Source::GetOffsetMap(unsigned int *& map, unsigned int & count) {
    map = nullptr;
    count = 0;
    return false;
}

unsigned int Char32Source::GetOffsetAt(unsigned int offset) { return offset; }

bool Char32Source::GetBuffer(unsigned int const *& begin, unsigned int const *& end) {
    while (!(position_ < end_)) {
        if (!FillBuffer()) {
            return false;
        }
    }
    begin = position_;
    end = end_;
    return true;
}

void Char32Source::DoneWith(unsigned int const * p) {
    if (p != nullptr) {
        position_ = p;
    }
}

// ---------------------------------------------------------------------------
// Buffer sources
// ---------------------------------------------------------------------------

BufferCharSource::BufferCharSource(char const * begin, char const * end) {
    ResolveRange(begin, end);
    SetWindow(begin, end);
}

BufferCharSource::BufferCharSource(unsigned char const * begin, unsigned char const * end)
    : BufferCharSource(reinterpret_cast<char const *>(begin), reinterpret_cast<char const *>(end)) {}

BufferCharSource::BufferCharSource(BufferCharSource const & other) : CharSource(other) {
    SetWindow(other.position_, other.end_);
}

BufferCharSource & BufferCharSource::operator=(BufferCharSource const & other) = default;
BufferCharSource::~BufferCharSource() = default;
bool BufferCharSource::FillBuffer() { return false; }

BufferChar16Source::BufferChar16Source(unsigned short const * begin, unsigned short const * end) {
    ResolveRange(begin, end);
    SetWindow(begin, end);
}

BufferChar16Source::BufferChar16Source(BufferChar16Source const & other) : Char16Source(other) {
    SetWindow(other.position_, other.end_);
}

BufferChar16Source & BufferChar16Source::operator=(BufferChar16Source const & other) = default;
BufferChar16Source::~BufferChar16Source() = default;
bool BufferChar16Source::FillBuffer() { return false; }

BufferChar32Source::BufferChar32Source(unsigned int const * begin, unsigned int const * end) {
    ResolveRange(begin, end);
    SetWindow(begin, end);
}

BufferChar32Source::BufferChar32Source(BufferChar32Source const & other) : Char32Source(other) {
    SetWindow(other.position_, other.end_);
}

BufferChar32Source & BufferChar32Source::operator=(BufferChar32Source const & other) = default;
BufferChar32Source::~BufferChar32Source() = default;
bool BufferChar32Source::FillBuffer() { return false; }

// ---------------------------------------------------------------------------
// String sources
// ---------------------------------------------------------------------------
//
// The window always covers the unconsumed part of the owned copy; copies take
// only that part.

namespace {

template <class S, class T>
S CopyRange(T const * begin, T const * end) {
    S text;
    ResolveRange(begin, end);
    AppendRange(text, begin, end);
    return text;
}

}  // namespace

StringCharSource::StringCharSource(zu_string const & text) : text_() {
    AssignWhole(text_, text);
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringCharSource::StringCharSource(char const * begin, char const * end)
    : text_(CopyRange<zu_string>(begin, end)) {
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringCharSource::StringCharSource(unsigned char const * begin, unsigned char const * end)
    : StringCharSource(reinterpret_cast<char const *>(begin), reinterpret_cast<char const *>(end)) {}

StringCharSource::StringCharSource(StringCharSource const & other)
    : CharSource(other), text_(CopyRange<zu_string>(other.position_, other.end_)) {
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringCharSource & StringCharSource::operator=(StringCharSource const & other) {
    if (this != &other) {
        zu_string rest = CopyRange<zu_string>(other.position_, other.end_);
        CharSource::operator=(other);
        AssignWhole(text_, rest);
        SetWindow(text_.data(), text_.data() + text_.size());
    }
    return *this;
}

StringCharSource::~StringCharSource() = default;
bool StringCharSource::FillBuffer() { return false; }

StringChar16Source::StringChar16Source(zu_wstring const & text) : text_() {
    AssignWhole(text_, text);
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringChar16Source::StringChar16Source(unsigned short const * begin, unsigned short const * end)
    : text_(CopyRange<zu_wstring>(begin, end)) {
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringChar16Source::StringChar16Source(StringChar16Source const & other)
    : Char16Source(other), text_(CopyRange<zu_wstring>(other.position_, other.end_)) {
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringChar16Source & StringChar16Source::operator=(StringChar16Source const & other) {
    if (this != &other) {
        zu_wstring rest = CopyRange<zu_wstring>(other.position_, other.end_);
        Char16Source::operator=(other);
        AssignWhole(text_, rest);
        SetWindow(text_.data(), text_.data() + text_.size());
    }
    return *this;
}

StringChar16Source::~StringChar16Source() = default;
bool StringChar16Source::FillBuffer() { return false; }

StringChar32Source::StringChar32Source(zu_utf32_string const & text) : text_() {
    AssignWhole(text_, text);
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringChar32Source::StringChar32Source(unsigned int const * begin, unsigned int const * end)
    : text_(CopyRange<zu_utf32_string>(begin, end)) {
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringChar32Source::StringChar32Source(StringChar32Source const & other)
    : Char32Source(other), text_(CopyRange<zu_utf32_string>(other.position_, other.end_)) {
    SetWindow(text_.data(), text_.data() + text_.size());
}

StringChar32Source & StringChar32Source::operator=(StringChar32Source const & other) {
    if (this != &other) {
        zu_utf32_string rest = CopyRange<zu_utf32_string>(other.position_, other.end_);
        Char32Source::operator=(other);
        AssignWhole(text_, rest);
        SetWindow(text_.data(), text_.data() + text_.size());
    }
    return *this;
}

StringChar32Source::~StringChar32Source() = default;
bool StringChar32Source::FillBuffer() { return false; }

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
