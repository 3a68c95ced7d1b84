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
#include "zuuc/char_encoding.h"
#include "zuuc/problems.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"

namespace zuuc_test::engine {

using u16 = unsigned short;
using u32 = unsigned int;
using zuuc_test::UnitValue;

template <class T>
std::vector<T> Units(std::string const & text) {
    std::vector<T> units;
    for (char c : text)
        units.push_back(static_cast<T>(static_cast<unsigned char>(c)));
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
    long problem_offset = -1;     // ProblemPtr - InputStart
    long input_length = -1;       // InputEnd - InputStart
    unsigned long offending = 0;  // the unit just before ProblemPtr
    long output_length = -1;      // OutputEnd - OutputStart
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

#define ZUUC_RECORD(Handler, Problem, kind, mode) \
    void Handler(Problem & p) override {          \
        if (Handle(p, kind, mode))                \
            UnicodeLibBehavior::Handler(p);       \
    }
    ZUUC_RECORD(HandleIllegalByteRange, Char16ToChar32IllegalByteRange, "illegal", 0)
    ZUUC_RECORD(HandleIllegalByteRange, CharToChar32IllegalByteRange, "illegal", 0)
    ZUUC_RECORD(HandleIllegalByteRange, CharToChar16IllegalByteRange, "illegal", 0)
    ZUUC_RECORD(HandleNoCharacterDefinedForCodepoint, Char16ToChar32NoCharacterDefinedForCodepoint,
                "undefined", 0)
    ZUUC_RECORD(HandleNoCharacterDefinedForCodepoint, CharToChar32NoCharacterDefinedForCodepoint,
                "undefined", 0)
    ZUUC_RECORD(HandleNoCharacterDefinedForCodepoint, CharToChar16NoCharacterDefinedForCodepoint,
                "undefined", 0)
    ZUUC_RECORD(HandleCharacterNotInRepertoire, Char32ToChar16CharacterNotInRepertoire,
                "unrepresentable", p.Mode())
    ZUUC_RECORD(HandleCharacterNotInRepertoire, Char32ToCharCharacterNotInRepertoire,
                "unrepresentable", p.Mode())
    ZUUC_RECORD(HandleCharacterNotInRepertoire, Char16ToCharCharacterNotInRepertoire,
                "unrepresentable", p.Mode())
#undef ZUUC_RECORD

private:
    // Records the problem and acts on it; true asks for the default handling.
    template <class P>
    bool Handle(P & p, char const * kind, unsigned int mode) {
        using In = typename P::InputUnit;
        using Out = typename P::OutputUnit;
        ProblemRecord r;
        r.kind = kind;
        r.mode = mode;
        r.null_input =
            p.InputStart() == nullptr && p.ProblemPtr() == nullptr && p.InputEnd() == nullptr;
        if (!r.null_input) {
            r.problem_offset = p.ProblemPtr() - p.InputStart();
            r.input_length = p.InputEnd() - p.InputStart();
            if (p.ProblemPtr() > p.InputStart())
                r.offending = UnitValue(p.ProblemPtr()[-1]);
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
                for (unsigned long u : inserted)
                    units.push_back(static_cast<Out>(u));
                p.InsertOutput(units.data(), units.data() + units.size());
                return false;
            }
            case kInsertInput: {
                std::vector<In> units;
                for (unsigned long u : inserted)
                    units.push_back(static_cast<In>(u));
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

// The kinds of the recorded problems, in order, separated by spaces.
inline std::string Kinds(std::vector<ProblemRecord> const & records) {
    std::string kinds;
    for (ProblemRecord const & r : records)
        kinds += (kinds.empty() ? "" : " ") + r.kind;
    return kinds;
}

// The records in one line: kind@offset/length:offending unit>output length,
// or kind@end for a problem without input.
inline std::string Describe(std::vector<ProblemRecord> const & records) {
    std::string text;
    for (ProblemRecord const & r : records) {
        text += (text.empty() ? "" : " ") + r.kind + "@";
        text += r.null_input
                    ? "end"
                    : std::to_string(r.problem_offset) + "/" + std::to_string(r.input_length) +
                          ":" + static_cast<char>(r.offending) + ">" +
                          std::to_string(r.output_length);
    }
    return text;
}

// A source that offers its units `window` at a time (and takes back what
// the consumer did not use).
template <class Base, class T>
class TrickleSource : public Base {
public:
    TrickleSource(std::vector<T> units, std::size_t window)
        : units_(std::move(units)), window_(window) {}
    int refills = 0;

protected:
    bool FillBuffer() override {
        ++refills;
        if (next_ >= units_.size())
            return false;
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

// A buffer source over its own copy of `text`, reporting to `behavior`.
template <class Base, class T>
struct HeldSource {
    HeldSource(std::string const & text, UnicodeLibBehavior * behavior)
        : units(Units<T>(text)), source(units.data(), units.data() + units.size()) {
        source.SetBehavior(behavior);
    }
    std::vector<T> units;
    Base source;
};

using HeldCharSource = HeldSource<BufferCharSource, char>;
using HeldChar16Source = HeldSource<BufferChar16Source, u16>;
using HeldChar32Source = HeldSource<BufferChar32Source, u32>;

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
    std::vector<T> units;
    std::vector<std::size_t> range_sizes;
    int flushes = 0;

    void Flush() override { ++flushes; }

protected:
    void PutBuffer(T const * begin, T const * end) override {
        range_sizes.push_back(static_cast<std::size_t>(end - begin));
        units.insert(units.end(), begin, end);
    }
};

using RecordingCharSink = RecordingSink<CharSink, char>;
using RecordingChar16Sink = RecordingSink<Char16Sink, u16>;
using RecordingChar32Sink = RecordingSink<Char32Sink, u32>;

// A toy codec. As a decoder, '!' is illegal (3), '?' undefined (4), and ESC
// escapes the next unit (an ESC at the end is an incomplete sequence). As an
// encoder, '#' is not in repertoire (5), SO/SI shift out and back (Mode() is
// 1 while shifted, and Finish owes the trailer, whole or not at all), and
// with `wide` units from 0x80 up take two output units. Every other unit is
// copied. Making a codec takes no heap.
template <class From, class To>
class ToyCodec : public zuuc_test::OwingTranscoder<From, To> {
public:
    ToyCodec(zuuc_test::ToyLog * log, bool encoder, std::vector<char> const & trailer, bool wide)
        : zuuc_test::OwingTranscoder<From, To>(log,
                                               std::vector<To>(trailer.begin(), trailer.end())),
          encoder_(encoder),
          wide_(wide) {}

protected:
    long Width(unsigned long u) const override { return encoder_ && wide_ && u >= 0x80 ? 2 : 1; }
    bool Special(From const *& in, From const * inEnd, To *& out, To * outEnd,
                 TranscodeResult & result) override {
        unsigned long const u = UnitValue(*in);
        if (!this->escaped_) {
            TranscodeResult const problem =
                encoder_   ? (u == '#' ? kTranscodeNotInRepertoire : kTranscodeComplete)
                : u == '!' ? kTranscodeIllegalInput
                : u == '?' ? kTranscodeNoCharacterDefined
                           : kTranscodeComplete;
            if (problem != kTranscodeComplete) {
                result = problem;
                ++in;
                return true;
            }
            // Shifts are the encoder's, escapes the decoder's.
            if (encoder_ ? u == 0x1B : u == 0x0E || u == 0x0F)
                return false;
        }
        return zuuc_test::OwingTranscoder<From, To>::Special(in, inEnd, out, outEnd, result);
    }

private:
    bool encoder_, wide_;
};

// Which converter factories of a toy encoding were asked for.
struct FactoryLog {
    int to16 = 0, from16 = 0, to32 = 0, from32 = 0;
};

struct ToyOptions {
    bool utf32_in_unicode = false;
    bool no_converter_to_unicode = false;
    bool no_converter_from_unicode = false;
    bool wide_output = false;            // from Unicode: bytes >= 0x80 take two
    std::vector<char> trailer = {0x0F};  // what Finish owes while shifted
    std::string substitute = "s";        // in mode 0; mode 1 gives "SS"
};

// A byte encoding whose converters are toy codecs.
class ToyByteEncoding : public BlockCharEncoding {
public:
    explicit ToyByteEncoding(ToyOptions options = {})
        : BlockCharEncoding(TextEncodingID(0UL), nullptr, nullptr, nullptr, 0),
          options_(std::move(options)) {
        set_isUTF32InUnicode(options_.utf32_in_unicode);
    }

    mutable FactoryLog factories;
    mutable zuuc_test::ToyLog log;  // shared by every codec made

    unsigned int SubstituteChars(unsigned char const *& chars, unsigned int mode) const override {
        static unsigned char const kShifted[] = "SS";
        chars = mode == 1 ? kShifted
                          : reinterpret_cast<unsigned char const *>(options_.substitute.c_str());
        return mode == 1 ? 2 : static_cast<unsigned int>(options_.substitute.size());
    }
    bool IsTextModeSafe() const override { return true; }

    Transcoder<char, u32> * CreateConverterToUTF32(UnicodeLibAllocator & a) const override {
        ++factories.to32;
        return Decoder<u32>(a);
    }
    Transcoder<u32, char> * CreateConverterFromUTF32(UnicodeLibAllocator & a) const override {
        ++factories.from32;
        return Encoder<u32>(a);
    }
    Transcoder<char, u16> * CreateConverterToUTF16(UnicodeLibAllocator & a) const override {
        ++factories.to16;
        return Decoder<u16>(a);
    }
    Transcoder<u16, char> * CreateConverterFromUTF16(UnicodeLibAllocator & a) const override {
        ++factories.from16;
        return Encoder<u16>(a);
    }

private:
    template <class P>
    Transcoder<char, P> * Decoder(UnicodeLibAllocator & a) const {
        if (options_.no_converter_to_unicode)
            return nullptr;
        return new (a) ToyCodec<char, P>(&log, false, {}, false);
    }
    template <class P>
    Transcoder<P, char> * Encoder(UnicodeLibAllocator & a) const {
        if (options_.no_converter_from_unicode)
            return nullptr;
        return new (a) ToyCodec<P, char>(&log, true, options_.trailer, options_.wide_output);
    }

    ToyOptions options_;
};

inline std::string LongText(std::size_t n) {
    std::string text;
    for (std::size_t i = 0; i < n; ++i)
        text.push_back(static_cast<char>('a' + i % 26));
    return text;
}

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

}  // namespace zuuc_test::engine

#endif
