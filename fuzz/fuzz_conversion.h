// Shared pieces of the conversion fuzz targets: the encodings a target picks
// from, a schedule of chunk and window sizes drawn from the input, sources
// that hand out a text in scheduled chunks, recording sinks, and a buffer
// converter loop that feeds scheduled chunks into scheduled output windows.
#ifndef ZUUC_FUZZ_FUZZ_CONVERSION_H
#define ZUUC_FUZZ_FUZZ_CONVERSION_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/text_encoding.h"

namespace fuzz {

// Every byte encoding in the registry (catalogue encodings and the byte
// forms of Unicode), with or without the auto-detecting ones.
inline std::vector<CharEncoding const *> ByteEncodings(bool detecting) {
    std::vector<CharEncoding const *> list;
    for (unsigned int i = 0; i < TextEncoding::Count(); ++i) {
        auto const * encoding = dynamic_cast<CharEncoding const *>(TextEncoding::Lookup(i));
        if (encoding != nullptr && (encoding->CountCandidateEncodings() != 0) == detecting) {
            list.push_back(encoding);
        }
    }
    return list;
}

// Sizes drawn from a seed: mostly small, now and then large, never zero.
class Schedule {
public:
    explicit Schedule(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
    std::size_t Next(std::size_t limit) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        std::size_t const top = (state_ & 7) == 0 ? limit : std::min<std::size_t>(limit, 8);
        return 1 + (state_ >> 8) % top;
    }

private:
    std::uint32_t state_;
};

// Hands out `text` in chunks of scheduled sizes, each copied into a scratch
// buffer that the next chunk reuses (as a file source does).
template <class Base, class Unit>
class ChunkSource : public Base {
public:
    ChunkSource(std::vector<Unit> const & text, Schedule * schedule)
        : text_(text), schedule_(schedule) {}

protected:
    bool FillBuffer() override {
        if (next_ >= text_.size())
            return false;
        std::size_t n = text_.size() - next_;
        if (schedule_ != nullptr)
            n = std::min(n, schedule_->Next(64));
        scratch_.assign(text_.begin() + static_cast<long>(next_),
                        text_.begin() + static_cast<long>(next_ + n));
        next_ += n;
        this->SetWindow(scratch_.data(), scratch_.data() + n);
        return true;
    }

private:
    std::vector<Unit> const & text_;
    Schedule * schedule_;
    std::size_t next_ = 0;
    std::vector<Unit> scratch_;
};

template <class Base, class Unit>
class RecordingSink : public Base {
public:
    std::vector<Unit> text;
    void Flush() override {}

protected:
    void PutBuffer(Unit const * begin, Unit const * end) override {
        text.insert(text.end(), begin, end);
    }
};

// Reads a source to its end, taking a scheduled number of units from each
// window (everything when there is no schedule).
template <class Source, class Unit>
std::vector<Unit> Drain(Source & source, Schedule * schedule) {
    std::vector<Unit> out;
    Unit const * begin = nullptr;
    Unit const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        std::size_t n = static_cast<std::size_t>(end - begin);
        if (n == 0)
            std::abort();  // a true result comes with a non-empty window
        if (schedule != nullptr)
            n = std::min(n, schedule->Next(32));
        out.insert(out.end(), begin, begin + n);
        source.DoneWith(begin + n);
    }
    return out;
}

// Puts `text` into a sink in scheduled chunks, then flushes.
template <class Sink, class Unit>
void PutAll(Sink & sink, std::vector<Unit> const & text, Schedule * schedule) {
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t n = text.size() - at;
        if (schedule != nullptr)
            n = std::min(n, schedule->Next(64));
        sink.Put(text.data() + at, text.data() + at + n);
        at += n;
    }
    sink.Flush();
}

// The output of a buffer converter and its final result.
template <class Out>
struct Buffered {
    std::vector<Out> text;
    int result = -1;
    bool operator==(Buffered const & other) const {
        return text == other.text && result == other.result;
    }
};

// Converts `input` with a buffer converter: whole into ample room without a
// schedule, else in scheduled chunks into scheduled output windows. A call
// that moves nothing gets a larger window next time, as a caller would give.
template <class Converter, class In, class Out, class InEnc, class OutEnc>
Buffered<Out> ConvertBuffered(InEnc const & from, OutEnc const & to, std::vector<In> const & input,
                              Schedule * schedule) {
    Buffered<Out> done;
    Converter converter;
    if (!converter.Initialize(from, to))
        return done;
    In const * p = input.data();
    In const * const all = input.data() + input.size();
    In const * limit = schedule != nullptr ? input.data() : all;
    std::size_t grow = 0;
    std::vector<Out> window;
    for (int calls = 0;; ++calls) {
        if (calls > 1000000)
            std::abort();  // no progress
        if (schedule != nullptr && p == limit && limit != all) {
            limit +=
                std::min<std::size_t>(static_cast<std::size_t>(all - limit), schedule->Next(64));
        }
        bool const final = limit == all;
        std::size_t const room =
            (schedule != nullptr ? schedule->Next(16) : 4 * input.size() + 16) + grow;
        window.assign(room, 0);
        In const * const before = p;
        Out * o = window.data();
        int const result = converter.Convert(p, limit, o, window.data() + room, final);
        if (p < before || p > limit || o < window.data() || o > window.data() + room)
            std::abort();
        done.text.insert(done.text.end(), window.data(), o);
        if (result == kBufferConverterComplete ||
            result == kBufferConverterCompleteWithSubstitutions) {
            if (p != all)
                std::abort();  // finished without reading everything
            done.result = result;
            return done;
        }
        if (result == kBufferConverterInputConsumed) {
            if (p != limit || final)
                std::abort();
        } else if (result != kBufferConverterOutputFull) {
            std::abort();
        }
        grow = (p == before && o == window.data()) ? grow * 2 + 1 : 0;
    }
}

// Code points from bytes: a byte below 0x80 is itself; 0x80 to 0xFE with the
// next byte give an even BMP code point; 0xFF with the next three bytes gives
// any 24-bit value, surrogates and non-characters included.
inline std::vector<unsigned int> CodePoints(std::uint8_t const * data, std::size_t size) {
    std::vector<unsigned int> text;
    for (std::size_t i = 0; i < size;) {
        unsigned int const b = data[i++];
        if (b < 0x80) {
            text.push_back(b);
        } else if (b < 0xFF) {
            unsigned int const next = i < size ? data[i++] : 0;
            text.push_back((b & 0x7F) << 9 | next << 1);
        } else {
            unsigned int value = 0;
            for (int k = 0; k < 3; ++k)
                value = value << 8 | (i < size ? data[i++] : 0);
            text.push_back(value);
        }
    }
    return text;
}

// What the current input is about (an encoding name), for the reports.
inline char const *& Context() {
    static char const * context = "";
    return context;
}

// Aborts, naming the check and the first difference, unless a == b.
template <class Unit>
void Same(std::vector<Unit> const & a, std::vector<Unit> const & b, char const * what) {
    if (a == b)
        return;
    std::size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at])
        ++at;
    auto unit = [](std::vector<Unit> const & v, std::size_t i) {
        return i < v.size() ? static_cast<long>(v[i]) : -1L;
    };
    std::fprintf(stderr, "%s, %s: lengths %zu and %zu, first difference at %zu: %lx against %lx\n",
                 Context(), what, a.size(), b.size(), at, unit(a, at), unit(b, at));
    std::abort();
}
template <class Out>
void Same(Buffered<Out> const & a, Buffered<Out> const & b, char const * what) {
    Same(a.text, b.text, what);
    if (a.result != b.result) {
        std::fprintf(stderr, "%s, %s: results %d and %d\n", Context(), what, a.result, b.result);
        std::abort();
    }
}

inline std::uint32_t Seed(std::uint8_t const * data, std::size_t size, std::size_t at) {
    std::uint32_t seed = 0;
    for (std::size_t i = at; i < at + 2 && i < size; ++i)
        seed = seed << 8 | data[i];
    return seed;
}

}  // namespace fuzz

#endif
