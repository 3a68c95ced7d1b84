// Helpers for the stream tests: a source that yields given chunks as its
// windows, and a sink that records each range it receives.
#ifndef ZUUC_TESTS_STREAMS_STREAM_TEST_UTIL_H
#define ZUUC_TESTS_STREAMS_STREAM_TEST_UTIL_H

#include <string>
#include <utility>
#include <vector>

#include "zuuc/sinks.h"
#include "zuuc/sources.h"

namespace streams_test {

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
        if (next_ == chunks_.size()) {
            return false;
        }
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

}  // namespace streams_test

#endif
