// Helpers for the conversion engine tests: a behaviour that records the
// problems it receives and resolves them as told, sources that trickle their
// input in small windows, sinks that record what they receive, and the test
// encodings that problems refer to.
#ifndef ZUUC_TESTS_CONVERT_ENGINE_TEST_UTIL_H
#define ZUUC_TESTS_CONVERT_ENGINE_TEST_UTIL_H

#include <string>
#include <vector>

#include "support/test_encodings.h"
#include "support/toy_transcoders.h"
#include "zuuc/behavior.h"
#include "zuuc/problems.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"

namespace engine_test {

using u16 = unsigned short;
using u32 = unsigned int;
using zuuc_test::UnitValue;

template <class T>
std::vector<T> Units(std::string const & text) {
    std::vector<T> units;
    for (char c : text) {
        units.push_back(static_cast<T>(static_cast<unsigned char>(c)));
    }
    return units;
}

template <class T>
std::string Text(T const * begin, T const * end) {
    std::string text;
    for (; begin != end; ++begin) {
        unsigned long const u = UnitValue(*begin);
        text.push_back(u < 0x100 ? static_cast<char>(u) : '*');  // '*' marks U+FFFD and the like
    }
    return text;
}

template <class T>
std::string Text(std::vector<T> const & units) {
    return Text(units.data(), units.data() + units.size());
}

// Thrown by the recording behaviour when told to stop the conversion.
struct StopConversion {
    int problem_number;
};

// What the recording behaviour saw of one problem.
struct ProblemRecord {
    std::string kind;  // "illegal", "undefined" or "unrepresentable"
    bool null_input = false;
    long problem_offset = -1;  // ProblemPtr - InputStart
    long input_length = -1;    // InputEnd - InputStart
    unsigned long offending = 0;  // the unit just before ProblemPtr
    long output_length = -1;   // OutputEnd - OutputStart
    unsigned int mode = 0;
    void const * input_encoding = nullptr;
    void const * output_encoding = nullptr;
};

class RecordingBehavior : public UnicodeLibBehavior {
public:
    enum Action { kDefault, kInsertOutput, kInsertInput, kThrow, kIgnore };

    RecordingBehavior() : UnicodeLibBehavior(false) {}

    Action action = kDefault;
    std::vector<unsigned long> inserted;  // units to insert
    std::vector<ProblemRecord> records;

    void HandleIllegalByteRange(Char16ToChar32IllegalByteRange & p) override {
        if (Handle(p, "illegal")) UnicodeLibBehavior::HandleIllegalByteRange(p);
    }
    void HandleIllegalByteRange(CharToChar32IllegalByteRange & p) override {
        if (Handle(p, "illegal")) UnicodeLibBehavior::HandleIllegalByteRange(p);
    }
    void HandleIllegalByteRange(CharToChar16IllegalByteRange & p) override {
        if (Handle(p, "illegal")) UnicodeLibBehavior::HandleIllegalByteRange(p);
    }
    void HandleNoCharacterDefinedForCodepoint(Char16ToChar32NoCharacterDefinedForCodepoint & p) override {
        if (Handle(p, "undefined")) UnicodeLibBehavior::HandleNoCharacterDefinedForCodepoint(p);
    }
    void HandleNoCharacterDefinedForCodepoint(CharToChar32NoCharacterDefinedForCodepoint & p) override {
        if (Handle(p, "undefined")) UnicodeLibBehavior::HandleNoCharacterDefinedForCodepoint(p);
    }
    void HandleNoCharacterDefinedForCodepoint(CharToChar16NoCharacterDefinedForCodepoint & p) override {
        if (Handle(p, "undefined")) UnicodeLibBehavior::HandleNoCharacterDefinedForCodepoint(p);
    }
    void HandleCharacterNotInRepertoire(Char32ToChar16CharacterNotInRepertoire & p) override {
        if (Handle(p, "unrepresentable", p.Mode())) UnicodeLibBehavior::HandleCharacterNotInRepertoire(p);
    }
    void HandleCharacterNotInRepertoire(Char32ToCharCharacterNotInRepertoire & p) override {
        if (Handle(p, "unrepresentable", p.Mode())) UnicodeLibBehavior::HandleCharacterNotInRepertoire(p);
    }
    void HandleCharacterNotInRepertoire(Char16ToCharCharacterNotInRepertoire & p) override {
        if (Handle(p, "unrepresentable", p.Mode())) UnicodeLibBehavior::HandleCharacterNotInRepertoire(p);
    }

private:
    // Records the problem and acts on it; true asks for the default handling.
    template <class P>
    bool Handle(P & p, char const * kind, unsigned int mode = 0) {
        using In = typename P::InputUnit;
        using Out = typename P::OutputUnit;
        ProblemRecord r;
        r.kind = kind;
        r.mode = mode;
        r.null_input = p.InputStart() == nullptr && p.ProblemPtr() == nullptr && p.InputEnd() == nullptr;
        if (!r.null_input) {
            r.problem_offset = p.ProblemPtr() - p.InputStart();
            r.input_length = p.InputEnd() - p.InputStart();
            if (p.ProblemPtr() > p.InputStart()) {
                r.offending = UnitValue(p.ProblemPtr()[-1]);
            }
        }
        r.output_length = p.OutputEnd() - p.OutputStart();
        r.input_encoding = &p.InputEncoding();
        r.output_encoding = &p.OutputEncoding();
        records.push_back(r);
        switch (action) {
            case kDefault:
                return true;
            case kInsertOutput: {
                std::vector<Out> units;
                for (unsigned long u : inserted) units.push_back(static_cast<Out>(u));
                p.InsertOutput(units.data(), units.data() + units.size());
                return false;
            }
            case kInsertInput: {
                std::vector<In> units;
                for (unsigned long u : inserted) units.push_back(static_cast<In>(u));
                p.InsertInput(units.data(), units.data() + units.size());
                return false;
            }
            case kThrow:
                throw StopConversion{static_cast<int>(records.size())};
            case kIgnore:
                return false;
        }
        return false;
    }
};

// A source that offers its units `window` at a time (and takes back what
// the consumer did not use).
template <class Base, class T>
class TrickleSource : public Base {
public:
    TrickleSource(std::vector<T> units, std::size_t window) : units_(std::move(units)), window_(window) {}
    int refills = 0;

protected:
    bool FillBuffer() override {
        ++refills;
        if (next_ >= units_.size()) {
            return false;
        }
        std::size_t const n = std::min(window_, units_.size() - next_);
        this->SetWindow(units_.data() + next_, units_.data() + next_ + n);
        next_ += n;
        return true;
    }

private:
    std::vector<T> units_;
    std::size_t window_;
    std::size_t next_ = 0;
};

using TrickleCharSource = TrickleSource<CharSource, char>;
using TrickleChar16Source = TrickleSource<Char16Source, u16>;
using TrickleChar32Source = TrickleSource<Char32Source, u32>;

// Pulls everything from `source`, taking at most `take` units per GetBuffer.
template <class Source, class T>
std::vector<T> ReadAll(Source & source, std::size_t take = static_cast<std::size_t>(-1)) {
    std::vector<T> out;
    T const * begin = nullptr;
    T const * end = nullptr;
    int guard = 0;
    while (source.GetBuffer(begin, end) && ++guard < 1000000) {
        std::size_t const n = std::min(take, static_cast<std::size_t>(end - begin));
        out.insert(out.end(), begin, begin + n);
        source.DoneWith(begin + n);
    }
    return out;
}

// A sink that records the ranges it receives, how often it is flushed and,
// optionally, has a fixed capacity (ranges beyond it are cut).
template <class Base, class T>
class RecordingSink : public Base {
public:
    explicit RecordingSink(long capacity = -1) : capacity_(capacity) {}
    std::vector<T> units;
    std::vector<std::size_t> range_sizes;
    int flushes = 0;

    void Flush() override { ++flushes; }
    long RemainingCapacity() const override {
        return capacity_ < 0 ? -1 : capacity_ - static_cast<long>(units.size());
    }

protected:
    void PutBuffer(T const * begin, T const * end) override {
        range_sizes.push_back(static_cast<std::size_t>(end - begin));
        units.insert(units.end(), begin, end);
    }

private:
    long capacity_;
};

using RecordingCharSink = RecordingSink<CharSink, char>;
using RecordingChar16Sink = RecordingSink<Char16Sink, u16>;
using RecordingChar32Sink = RecordingSink<Char32Sink, u32>;

// Unregistered encodings for the problems to refer to.
inline char const ** ToyNames() {
    static char const * names[] = {"engine-toy", nullptr};
    return names;
}

struct Encodings {
    zuuc_test::TestByteEncoding bytes{0, ToyNames()};
    zuuc_test::TestUnitEncoding units{0, ToyNames()};
    zuuc_test::TestWideEncoding wide{0, ToyNames()};
};

}  // namespace engine_test

#endif
