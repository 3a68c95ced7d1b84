// Helpers for the tests of the UTF-8 / UTF-EBCDIC forms and the Unicode
// detectors: a transcoder driver with chunked input, collecting sources and
// sinks, and an independent reference encoder (the oracle).
#ifndef ZUUC_TESTS_SUPPORT_UTF8_TEST_HELPERS_H
#define ZUUC_TESTS_SUPPORT_UTF8_TEST_HELPERS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "support/utf16_support.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/transcoder.h"

namespace zuuc_test::utf8 {

// Marks a problem in a driven output.
constexpr long kProblem = -1;

class HeapAllocator : public UnicodeLibAllocator {
public:
    void * Allocate(unsigned int size) override { return std::malloc(size); }
    void Free(void * block) override { std::free(block); }
};

inline std::vector<char> Bytes(std::vector<int> const & values) {
    std::vector<char> bytes;
    for (int v : values)
        bytes.push_back(static_cast<char>(v));
    return bytes;
}

template <class T>
long Value(T unit) {
    if constexpr (sizeof(T) == 1) {
        return static_cast<unsigned char>(unit);
    } else {
        return static_cast<long>(unit);
    }
}

// Runs `input` through `t` in chunks ending at `cuts` (ascending), with an
// output window of `room` units and the given limit, and returns the output
// with kProblem wherever the transcoder reported a problem (results 3 to 6).
// Fails the test if a problem comes back with no progress at all, or if the
// transcoder stalls.
template <class In, class Out>
std::vector<long> Drive(Transcoder<In, Out> & t, std::vector<In> const & input,
                        std::vector<std::size_t> const & cuts = {}, std::size_t room = 64,
                        long limit = -1) {
    std::vector<long> result;
    std::vector<Out> buffer(room);
    In const * const data = input.data();
    std::size_t position = 0;
    std::vector<std::size_t> ends = cuts;
    ends.push_back(input.size());
    int guard = 0;
    for (std::size_t end : ends) {
        In const * in = data + position;
        In const * const stop = data + end;
        for (;;) {
            EXPECT_LT(++guard, 1000000) << "transcoder does not finish";
            if (guard > 1000000)
                return result;
            Out * out = buffer.data();
            In const * const before = in;
            TranscodeResult const r = t.Transcode(in, stop, out, buffer.data() + room, limit);
            for (Out * p = buffer.data(); p < out; ++p)
                result.push_back(Value(*p));
            if (r == kTranscodeInputExhausted) {
                EXPECT_EQ(in, stop);
                break;
            }
            if (r == kTranscodeOutputFull || r == kTranscodeLimitReached) {
                if (in == before && out == buffer.data()) {
                    ADD_FAILURE() << "no room for one character";
                    return result;
                }
                continue;
            }
            EXPECT_TRUE(r >= kTranscodeIllegalInput && r <= kTranscodeIllFormedUTF16) << r;
            // A caller that skips input after a problem with no progress must not
            // lose anything: with input left, something must have moved.
            EXPECT_FALSE(in == before && out == buffer.data() && in != stop)
                << "problem without progress";
            result.push_back(kProblem);
        }
        position = end;
    }
    for (;;) {
        EXPECT_LT(++guard, 1000000);
        if (guard > 1000000)
            return result;
        Out * out = buffer.data();
        TranscodeResult const r = t.Finish(out, buffer.data() + room, limit);
        for (Out * p = buffer.data(); p < out; ++p)
            result.push_back(Value(*p));
        if (r == kTranscodeComplete)
            break;
        if (r == kTranscodeOutputFull || r == kTranscodeLimitReached)
            continue;
        result.push_back(kProblem);
    }
    return result;
}

// The same for every single split point, checked against the unsplit output.
template <class In, class Out>
void ExpectSplitInvariant(Transcoder<In, Out> & t, std::vector<In> const & input,
                          std::vector<long> const & expected) {
    EXPECT_EQ(expected, Drive(t, input));
    for (std::size_t cut = 0; cut <= input.size(); ++cut) {
        EXPECT_EQ(expected, Drive(t, input, {cut})) << "split at " << cut;
    }
    // Every unit its own chunk, and as little output room as one character needs.
    std::vector<std::size_t> all;
    for (std::size_t cut = 1; cut < input.size(); ++cut)
        all.push_back(cut);
    EXPECT_EQ(expected, Drive(t, input, all, sizeof(Out) == 1 ? 5 : 2)) << "unit by unit";
}

// --- an independent reference: code points to UTF-8 and UTF-16 ------------------

inline void RefUTF8(std::uint32_t c, std::vector<char> & out) {
    auto put = [&](unsigned v) { out.push_back(static_cast<char>(v)); };
    if (c < 0x80) {
        put(c);
    } else if (c < 0x800) {
        put(0xC0 | (c >> 6));
        put(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        put(0xE0 | (c >> 12));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    } else {
        put(0xF0 | (c >> 18));
        put(0x80 | ((c >> 12) & 0x3F));
        put(0x80 | ((c >> 6) & 0x3F));
        put(0x80 | (c & 0x3F));
    }
}

inline void RefUTF16(std::uint32_t c, std::vector<unsigned short> & out) {
    for (unsigned short unit : utf16::ToUTF16({c}))
        out.push_back(unit);
}

// --- sources and sinks for the stream tests --------------------------------------

// Hands out its bytes in windows of at most `chunk` bytes.
class ChunkedCharSource : public utf16::ByteSource {
public:
    ChunkedCharSource(std::vector<char> const & bytes, std::size_t chunk)
        : utf16::ByteSource(bytes,
                            std::vector<std::size_t>(bytes.size() + 1, chunk == 0 ? 1 : chunk)) {}
};

class VectorCharSink : public CharSink {
public:
    void Flush() override {}
    std::vector<char> bytes;

protected:
    void PutBuffer(char const * begin, char const * end) override {
        bytes.insert(bytes.end(), begin, end);
    }
};

class VectorChar32Sink : public Char32Sink {
public:
    void Flush() override {}
    std::vector<unsigned int> units;

protected:
    void PutBuffer(unsigned int const * begin, unsigned int const * end) override {
        units.insert(units.end(), begin, end);
    }
};

// Everything a source still holds, each window consumed whole.
inline std::vector<unsigned int> ReadAll32(Char32Source & source) {
    return utf16::Drain(source);
}
inline std::vector<char> ReadAllBytes(CharSource & source) {
    return utf16::DrainAs<char, CharSource, char>(source);
}

}  // namespace zuuc_test::utf8

#endif
