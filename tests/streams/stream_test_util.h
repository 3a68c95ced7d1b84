// Helpers for the stream tests: a source that yields given chunks as its
// windows, a sink that records each range it receives, and readers of
// whole sources and single windows.
#ifndef ZUUC_TESTS_STREAMS_STREAM_TEST_UTIL_H
#define ZUUC_TESTS_STREAMS_STREAM_TEST_UTIL_H

#include <string>
#include <utility>
#include <vector>

#include "zuuc/sinks.h"
#include "zuuc/sources.h"

namespace zuuc_test::streams {

// Yields each chunk as one window, copied into a scratch buffer that is
// reused for every window (like a file source does), and counts refills.
template <class Base, class T>
class ChunkSource : public Base {
public:
    explicit ChunkSource(std::vector<std::vector<T>> chunks) : chunks_(std::move(chunks)) {}

    int fills = 0;        // FillBuffer calls
    T const * Position() const { return this->position_; }

protected:
    bool FillBuffer() override {
        ++fills;
        if (next_ == chunks_.size()) return false;
        scratch_ = chunks_[next_++];
        this->SetWindow(scratch_.data(), scratch_.data() + scratch_.size());
        return true;
    }

private:
    std::vector<std::vector<T>> chunks_;
    std::size_t next_ = 0;
    std::vector<T> scratch_;
};

using ChunkCharSource = ChunkSource<CharSource, char>;
using Chunk16Source = ChunkSource<Char16Source, unsigned short>;
using Chunk32Source = ChunkSource<Char32Source, unsigned int>;

// Records every PutBuffer range; capacity and truncation are scriptable.
class RecordingCharSink : public CharSink {
public:
    std::vector<std::string> puts;
    int flushes = 0;
    int truncations = 0;
    long capacity = -1;

    std::string Joined() const {
        std::string all;
        for (auto const & p : puts) all += p;
        return all;
    }
    void Flush() override { ++flushes; }
    long RemainingCapacity() const override { return capacity; }
    void MarkAsTruncated() override { ++truncations; }

protected:
    void PutBuffer(char const * begin, char const * end) override { puts.emplace_back(begin, end); }
};

// Everything the source still holds, each window consumed whole.
template <class T, class Source>
std::vector<T> DrainUnits(Source & source) {
    std::vector<T> all;
    T const * b = nullptr;
    T const * e = nullptr;
    while (source.GetBuffer(b, e)) {
        all.insert(all.end(), b, e);
        source.DoneWith(e);
    }
    return all;
}

inline std::string DrainChars(CharSource & source) {
    std::vector<char> const v = DrainUnits<char>(source);
    return std::string(v.begin(), v.end());
}

// The window the source offers now, not consumed, or "<end>".
inline std::string Window(CharSource & source) {
    char const * b = nullptr;
    char const * e = nullptr;
    return source.GetBuffer(b, e) ? std::string(b, e) : "<end>";
}

}  // namespace zuuc_test::streams

#endif
