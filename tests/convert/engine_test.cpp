// The transcoding engine, driven with toy stages and toy encodings:
// composite transcoders; sink adapters (writing into a sink of one width
// through a transcoder); source adapters (reading a source of one width as
// another width); buffer converters (lifecycle, choice of the pivot,
// substitution and counting, resumption after the output fills, also in the
// final call, and agreement of chunked conversion with one-shot conversion on
// real UTF forms); and the factories, which give null, never a throw or a
// leak, when the caller's allocator runs out.
#include <gtest/gtest.h>

#include <malloc.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../../fuzz/fuzz_conversion.h"
#include "support/test_encodings.h"
#include "support/toy_transcoders.h"
#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/behavior.h"
#include "zuuc/buffer_converters.h"
#include "zuuc/char_encoding.h"
#include "zuuc/detector.h"
#include "zuuc/problems.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/transcoder.h"

// Helpers: a behaviour that records the problems it receives and resolves
// them as told, sources that trickle their input in small windows, sinks
// that record what they receive, toy codecs and encodings, and the test
// encodings that problems refer to.
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

using namespace zuuc_test::engine;
using namespace zuuc_test;

namespace {

// Feeds `input` in pieces of `in_chunk` units, offering `out_room` units of
// output per call, then finishes. Every result is recorded.
template <class A, class C>
std::vector<C> Drive(Transcoder<A, C> & t, std::vector<A> const & input, std::size_t in_chunk,
                     std::size_t out_room, std::vector<int> * results = nullptr, long limit = -1) {
    std::vector<C> output;
    std::vector<C> buffer(out_room);
    std::size_t pos = 0;
    int guard = 0;
    while (pos < input.size()) {
        A const * in = input.data() + pos;
        A const * in_end = input.data() + std::min(pos + in_chunk, input.size());
        for (TranscodeResult r = kTranscodeOutputFull;
             r != kTranscodeInputExhausted && ++guard < 100000;) {
            C * out = buffer.data();
            r = t.Transcode(in, in_end, out, buffer.data() + out_room, limit);
            output.insert(output.end(), buffer.data(), out);
            if (results != nullptr)
                results->push_back(r);
        }
        pos = static_cast<std::size_t>(in - input.data());
    }
    for (TranscodeResult r = kTranscodeOutputFull; r != kTranscodeComplete && ++guard < 100000;) {
        C * out = buffer.data();
        r = t.Finish(out, buffer.data() + out_room, limit);
        output.insert(output.end(), buffer.data(), out);
        if (results != nullptr)
            results->push_back(-1 - r);  // finish results are recorded negated
    }
    EXPECT_LT(guard, 100000) << "the transcoder made no progress";
    return output;
}

}  // namespace

TEST(Composite, CarriesTextThroughEveryWindowSize) {
    std::string const text = LongText(5000);  // more than two intermediate buffers
    for (std::size_t in_chunk : {1u, 2u, 3u, 7u, 64u, 2047u, 2048u, 2049u, 6000u}) {
        for (std::size_t room : {1u, 2u, 3u, 5u, 100u, 2048u, 8000u}) {
            CompositeTranscoderFor<char, u16, char> c(new IdentityTranscoder<char, u16>,
                                                      new IdentityTranscoder<u16, char>);
            EXPECT_EQ(text, Text(Drive(c, Units<char>(text), in_chunk, room)))
                << "chunk " << in_chunk << " room " << room;
        }
    }
}

TEST(Composite, MultiUnitStagesNeverSplitACharacter) {
    // Every other character takes two units in both stages: output grows 4x
    // for those, and the second stage must stop whole with result 2.
    std::string text, expected;
    for (int i = 0; i < 1500; ++i)
        text.push_back(i % 2 ? 'x' : static_cast<char>(0xC9));
    for (char ch : text)
        expected.append(ch == 'x' ? 1 : 4, ch);
    for (std::size_t room : {2u, 3u, 4u, 5u, 7u, 4096u}) {
        CompositeTranscoderFor<char, u32, u16> c(new MultiUnitTranscoder<char, u32>,
                                                 new MultiUnitTranscoder<u32, u16>);
        EXPECT_EQ(expected, Text(Drive(c, Units<char>(text), 100, room))) << "room " << room;
    }
}

TEST(Composite, TheLimitCoversTheWholeCall) {
    // 3000 units pass the intermediate buffer in two rounds; the limit must
    // hold across both.
    std::vector<char> input = Units<char>(LongText(3000));
    CompositeTranscoderFor<char, u16, u16> c(new IdentityTranscoder<char, u16>,
                                             new IdentityTranscoder<u16, u16>);
    std::vector<u16> out(4000);
    char const * in = input.data();
    u16 * o = out.data();
    EXPECT_EQ(kTranscodeLimitReached,
              c.Transcode(in, input.data() + input.size(), o, out.data() + out.size(), 2500));
    EXPECT_EQ(2500, o - out.data());
    // The rest comes out on the next call.
    u16 * o2 = o;
    EXPECT_EQ(kTranscodeInputExhausted,
              c.Transcode(in, input.data() + input.size(), o2, out.data() + out.size(), -1));
    EXPECT_EQ(3000, o2 - out.data());
}

TEST(Composite, EveryProblemIsReportedAsIllegalInputAfterWhatPrecededIt) {
    // First stage: 3, 4, 5, 6; second stage: 3, 4, 5, 6 on other units.
    struct Case {
        bool first;
        char unit;
    };
    for (Case k : {Case{true, '!'}, Case{true, '?'}, Case{true, '#'}, Case{true, '%'},
                   Case{false, '!'}, Case{false, '?'}, Case{false, '#'}, Case{false, '%'}}) {
        ToyLog log;
        Transcoder<char, u16> * first =
            k.first ? static_cast<Transcoder<char, u16> *>(new FaultyTranscoder<char, u16>)
                    : new IdentityTranscoder<char, u16>;
        Transcoder<u16, char> * second =
            k.first ? static_cast<Transcoder<u16, char> *>(new IdentityTranscoder<u16, char>(&log))
                    : new FaultyTranscoder<u16, char>(&log);
        CompositeTranscoderFor<char, u16, char> c(first, second);
        std::string text = "abc";
        text.push_back(k.unit);
        text += "de";
        std::vector<char> input = Units<char>(text);
        char out[16];
        char const * in = input.data();
        char * o = out;
        EXPECT_EQ(kTranscodeIllegalInput,
                  c.Transcode(in, input.data() + input.size(), o, out + 16, -1))
            << k.first << k.unit;
        EXPECT_EQ("abc", std::string(out, o));
        if (k.first) {
            EXPECT_EQ(input.data() + 4, in);  // just past the offending unit
        }
        EXPECT_EQ(kTranscodeInputExhausted,
                  c.Transcode(in, input.data() + input.size(), o, out + 16, -1));
        EXPECT_EQ("abcde", std::string(out, o));
        EXPECT_EQ(log.destroyed, 0);
    }
}

TEST(Composite, FirstStageProblemWaitsUntilItsOutputIsDelivered) {
    // The output fills before the units that preceded the problem are out:
    // 2 first, and the problem only once they have been delivered.
    std::vector<char> input = Units<char>("abcd!ef");
    CompositeTranscoderFor<char, u32, u32> c(new FaultyTranscoder<char, u32>,
                                             new IdentityTranscoder<u32, u32>);
    std::vector<int> results;
    std::vector<u32> out = Drive(c, input, input.size(), 3, &results);
    EXPECT_EQ("abcdef", Text(out));
    std::vector<int> expected = {kTranscodeOutputFull, kTranscodeIllegalInput,
                                 kTranscodeInputExhausted, -1 - kTranscodeComplete};
    EXPECT_EQ(expected, results);
}

TEST(Composite, FinishDeliversUnitsKeptBeforeAPendingProblem) {
    // The input ends while the first stage's problem waits behind units that
    // did not fit: Finish delivers them, then reports the problem.
    std::vector<char> input = Units<char>("abc!");
    CompositeTranscoderFor<char, u16, u16> c(new FaultyTranscoder<char, u16>,
                                             new IdentityTranscoder<u16, u16>);
    u16 out[8];
    char const * in = input.data();
    u16 * o = out;
    EXPECT_EQ(kTranscodeOutputFull, c.Transcode(in, input.data() + 4, o, out + 2, -1));
    EXPECT_EQ(input.data() + 4, in);
    EXPECT_EQ(kTranscodeIllegalInput, c.Finish(o, out + 8, -1));
    EXPECT_EQ(kTranscodeComplete, c.Finish(o, out + 8, -1));
    EXPECT_EQ("abc", Text(std::vector<u16>(out, o)));
}

TEST(Composite, FinishKeepsOwedUnitsOfEitherStageWhenTheOutputFills) {
    // The first stage owes a five-unit trailer; the output has room for two
    // units per call. Nothing may be lost.
    std::vector<u16> trailer = Units<u16>("TRAIL");
    ToyLog first_log;
    CompositeTranscoderFor<u16, u16, char> c(new OwingTranscoder<u16, u16>(&first_log, trailer),
                                             new IdentityTranscoder<u16, char>);
    std::vector<int> results;
    std::vector<char> out = Drive(c,
                                  Units<u16>("ab\x0E"
                                             "cd"),
                                  10, 2, &results);
    EXPECT_EQ("abcdTRAIL", std::string(out.begin(), out.end()));
    EXPECT_EQ(1, first_log.finishes);  // the trailer was asked for once
    std::vector<int> tail(results.end() - 3, results.end());
    std::vector<int> expected = {-1 - kTranscodeOutputFull, -1 - kTranscodeOutputFull,
                                 -1 - kTranscodeComplete};
    EXPECT_EQ(expected, tail);

    // The second stage owes a three-unit trailer that it writes whole: with
    // two units of room the composite says "output full" and keeps its state.
    CompositeTranscoderFor<u32, u32, u32> second(
        new IdentityTranscoder<u32, u32>,
        new OwingTranscoder<u32, u32>(nullptr, Units<u32>("XYZ")));
    std::vector<u32> input = Units<u32>(
        "\x0E"
        "ab");
    u32 wide[8];
    u32 const * in = input.data();
    u32 * o = wide;
    EXPECT_EQ(kTranscodeInputExhausted, second.Transcode(in, input.data() + 3, o, wide + 8, -1));
    u32 * small_end = o + 2;
    EXPECT_EQ(kTranscodeOutputFull, second.Finish(o, small_end, -1));
    EXPECT_EQ(kTranscodeComplete, second.Finish(o, wide + 8, -1));
    EXPECT_EQ("abXYZ", Text(std::vector<u32>(wide, o)));
}

// --- sink adapters ---

namespace {

class SinkAdapter : public ::testing::Test {
protected:
    Encodings enc;
    RecordingBehavior behavior;
};

// Puts `units` in pieces of `piece` units.
template <class Sink, class T>
void PutInPieces(Sink & sink, std::vector<T> const & units, std::size_t piece) {
    for (std::size_t i = 0; i < units.size(); i += piece) {
        std::size_t const n = std::min(piece, units.size() - i);
        sink.Put(units.data() + i, units.data() + i + n);
    }
}

}  // namespace

TEST_F(SinkAdapter, CarriesTextInPiecesOfEverySize) {
    std::string const text = LongText(3000);
    std::string doubled;
    for (char c : text)
        doubled.append(2, c);
    for (std::size_t piece : {1u, 2u, 511u, 512u, 513u, 3000u}) {
        RecordingChar16Sink target;
        {
            CharSink_8_to_16 sink(enc.bytes, new DoublingTranscoder<char, u16>, enc.units, target);
            PutInPieces(sink, Units<char>(text), piece);
        }
        EXPECT_EQ(doubled, Text(target.units)) << piece;
        // Converted through a local buffer of 512 units: never a larger range.
        for (std::size_t n : target.range_sizes)
            EXPECT_LE(n, 512u);
    }
}

TEST_F(SinkAdapter, AProblemInUnitsHeldFromAnEarlierPutLosesNothing) {
    RecordingChar16Sink target;
    target.SetBehavior(&behavior);
    {
        CharSink_8_to_16 sink(enc.bytes, new HoldingTranscoder<char, u16>, enc.units, target);
        PutInPieces(sink, Units<char>("a~b~+c"), 2);
    }
    EXPECT_EQ("a*b+c", Text(target.units));
    EXPECT_EQ(1u, behavior.records.size());
}

TEST_F(SinkAdapter, EveryPairConverts) {
    std::string const text = "Hello, sinks";
    RecordingCharSink t16_8, t32_8;
    RecordingChar16Sink t16_16;
    RecordingChar32Sink t8_32, t16_32, t32_32;
    CharSink_8_to_32 s8_32(enc.bytes, new IdentityTranscoder<char, u32>, enc.wide, t8_32);
    s8_32.Put(text.c_str(), nullptr);  // zero-terminated
    CharSink_16_to_8 s16_8(enc.units, new IdentityTranscoder<u16, char>, enc.bytes, t16_8);
    PutInPieces(s16_8, Units<u16>(text), 5);
    CharSink_16_to_16 s16_16(enc.units, new IdentityTranscoder<u16, u16>, enc.units, t16_16);
    PutInPieces(s16_16, Units<u16>(text), 1);
    CharSink_16_to_32 s16_32(enc.units, new IdentityTranscoder<u16, u32>, enc.wide, t16_32);
    PutInPieces(s16_32, Units<u16>(text), 3);
    CharSink_32_to_8 s32_8(enc.wide, new IdentityTranscoder<u32, char>, enc.bytes, t32_8);
    PutInPieces(s32_8, Units<u32>(text), 4);
    CharSink_32_to_32 s32_32(enc.wide, new IdentityTranscoder<u32, u32>, enc.wide, t32_32);
    std::vector<u32> units = Units<u32>(text);
    StringChar32Source source(units.data(), units.data() + units.size());
    s32_32.Put(source);  // draining a source goes through the same path
    EXPECT_EQ(Text(t8_32.units) + Text(t16_8.units) + Text(t16_16.units) + Text(t16_32.units) +
                  Text(t32_8.units) + Text(t32_32.units),
              text + text + text + text + text + text);
}

TEST_F(SinkAdapter, ToByteAdapterNeverWritesHalfACharacter) {
    // A two-byte character with one byte of room: the buffer sink keeps what
    // came before, is marked truncated and takes nothing more.
    char buffer[8] = {};
    BufferCharSink target(buffer, 3);
    {
        CharSink_32_to_8 sink(enc.wide, new MultiUnitTranscoder<u32, char>, enc.bytes, target);
        std::vector<u32> ab = Units<u32>("ab");
        sink.Put(ab.data(), ab.data() + 2);
        std::vector<u32> rest = {0xE9, 'c'};
        sink.Put(rest.data(), rest.data() + 2);
        sink.Put(rest.data() + 1, rest.data() + 2);
        sink.Flush();
    }
    EXPECT_EQ(2, target.size());
    EXPECT_EQ("ab", std::string(target.c_str()));
    EXPECT_TRUE(target.IsTruncated());
}

TEST_F(SinkAdapter, UTF32ToUTF16StopsForGoodWhenAPairDoesNotFit) {
    // A two-unit character with one unit of room: the adapter stops there and
    // discards what follows, so the later 'c' does not slip into the hole.
    u16 buffer[8] = {};
    BufferChar16Sink target(buffer, 3);
    CharSink_32_to_16 sink(enc.wide, new MultiUnitTranscoder<u32, u16>, enc.units, target);
    std::vector<u32> units = {'a', 'b', 0x10437, 'c'};
    sink.Put(units.data(), units.data() + 3);
    EXPECT_TRUE(sink.IsTruncated());
    sink.Put(units.data() + 3, units.data() + 4);
    sink.Flush();
    EXPECT_EQ(2, target.size());
    EXPECT_EQ(Units<u16>(std::string("ab\0", 3)), std::vector<u16>(buffer, buffer + 3));
}

TEST_F(SinkAdapter, ASubstituteThatDoesNotFitIsNotWrittenInPart) {
    behavior.action = RecordingBehavior::kInsertOutput;
    behavior.inserted = {'<', '?', '>'};
    char buffer[8] = {};
    BufferCharSink target(buffer, 4);
    target.SetBehavior(&behavior);
    CharSink_16_to_8 sink(enc.units, new FaultyTranscoder<u16, char>, enc.bytes, target);
    std::vector<u16> units = Units<u16>("ab#c");
    sink.Put(units.data(), units.data() + units.size());
    EXPECT_EQ("ab", std::string(target.c_str()));
    EXPECT_TRUE(target.IsTruncated());
}

TEST_F(SinkAdapter, ProblemsGoToTheBehaviourAndTheSubstituteLandsInPlace) {
    RecordingChar16Sink target;
    target.SetBehavior(&behavior);
    CharSink_8_to_16 sink(enc.bytes, new FaultyTranscoder<char, u16>, enc.units, target);
    std::vector<char> bytes = Units<char>("ab!cd?e");
    sink.Put(bytes.data(), bytes.data() + bytes.size());
    EXPECT_EQ("ab*cd*e", Text(target.units));
    EXPECT_EQ("illegal@3/7:!>2 undefined@6/7:?>2",
              Describe(behavior.records));  // input start is the range put
    EXPECT_EQ(&enc.bytes, behavior.records[1].input_encoding);
    EXPECT_EQ(&enc.units, behavior.records[1].output_encoding);
}

TEST_F(SinkAdapter, ByteOutputGetsTheEncodingsSubstituteOrTheInsertedInput) {
    RecordingCharSink target;
    target.SetBehavior(&behavior);
    CharSink_32_to_8 sink(enc.wide, new FaultyTranscoder<u32, char>(nullptr, 3), enc.bytes, target);
    std::vector<u32> units = Units<u32>("x#y");
    sink.Put(units.data(), units.data() + 3);
    EXPECT_EQ("x\x1Ay", Text(target.units));
    ASSERT_EQ(1u, behavior.records.size());
    EXPECT_EQ(3u, behavior.records[0].mode);

    // Inserted input is converted at once, without reporting its problems.
    behavior.action = RecordingBehavior::kInsertInput;
    for (char c : std::string("(#)"))
        behavior.inserted.push_back(static_cast<unsigned char>(c));
    CharSink_16_to_8 inserting(enc.units, new FaultyTranscoder<u16, char>, enc.bytes, target);
    std::vector<u16> more = Units<u16>("a#b#c");
    inserting.Put(more.data(), more.data() + more.size());
    EXPECT_EQ("x\x1Aya()b()c", Text(target.units));
    EXPECT_EQ(3u, behavior.records.size());
}

TEST_F(SinkAdapter, AThrowingBehaviourReachesThePutCaller) {
    behavior.action = RecordingBehavior::kThrow;
    RecordingChar32Sink target;
    target.SetBehavior(&behavior);
    ToyLog log;
    auto * sink =
        new CharSink_16_to_32(enc.units, new FaultyTranscoder<u16, u32>(&log), enc.wide, target);
    std::vector<u16> units = Units<u16>("ab!cd");
    EXPECT_THROW(sink->Put(units.data(), units.data() + units.size()), StopConversion);
    EXPECT_EQ("ab", Text(target.units));  // what came before the problem is out
    // The stream goes on after the offending unit.
    sink->Put(units.data() + 3, units.data() + 5);
    EXPECT_EQ("abcd", Text(target.units));
    delete sink;
    EXPECT_EQ(1, log.destroyed);
}

TEST_F(SinkAdapter, DestructorFinishesWithoutFlushingAndSwallowsAThrow) {
    RecordingChar16Sink target;
    {
        CharSink_8_to_16 sink(enc.bytes, new OwingTranscoder<char, u16>(nullptr, Units<u16>("END")),
                              enc.units, target);
        std::vector<char> bytes = Units<char>(
            "a\x0E"
            "b");
        sink.Put(bytes.data(), bytes.data() + bytes.size());
        EXPECT_EQ("ab", Text(target.units));
    }
    EXPECT_EQ("abEND", Text(target.units));
    EXPECT_EQ(0, target.flushes);

    // An incomplete sequence met in the destructor goes to the behaviour;
    // a throw from there must not escape the destructor.
    behavior.action = RecordingBehavior::kThrow;
    RecordingChar32Sink wide_target;
    wide_target.SetBehavior(&behavior);
    {
        CharSink_8_to_32 sink(enc.bytes, new OwingTranscoder<char, u32>, enc.wide, wide_target);
        std::vector<char> bytes = Units<char>("z\x1B");
        sink.Put(bytes.data(), bytes.data() + bytes.size());
    }
    EXPECT_EQ("z", Text(wide_target.units));
    EXPECT_EQ("illegal@end", Describe(behavior.records));
}

TEST_F(SinkAdapter, FlushFinishesThenFlushesTheTarget) {
    RecordingChar32Sink target;
    target.SetBehavior(&behavior);
    ToyLog log;
    CharSink_8_to_32 sink(enc.bytes, new OwingTranscoder<char, u32>(&log), enc.wide, target);
    std::vector<char> bytes = Units<char>(
        "a\x0E"
        "b\x1B");
    sink.Put(bytes.data(), bytes.data() + bytes.size());
    sink.Flush();
    // The owed SI, then U+FFFD for the incomplete escape.
    EXPECT_EQ(target.units, (std::vector<u32>{'a', 'b', 0x0F, 0xFFFD}));
    EXPECT_EQ(1, target.flushes);
    EXPECT_EQ("illegal@end", Describe(behavior.records));
    EXPECT_EQ(-1, sink.RemainingCapacity());
}

// --- source adapters ---

namespace {

class SourceAdapter : public ::testing::Test {
protected:
    Encodings enc;
    RecordingBehavior behavior;
};

}  // namespace

TEST_F(SourceAdapter, CarriesTextThroughEveryWindowSize) {
    std::string const text = LongText(3000);  // several adapter windows
    for (std::size_t in_window : {1u, 2u, 5u, 511u, 512u, 513u, 4000u}) {
        for (std::size_t take : {1u, 3u, 200u, 512u, 100000u}) {
            TrickleCharSource input(Units<char>(text), in_window);
            CharSource_8_to_16 adapter(input, enc.bytes, new IdentityTranscoder<char, u16>,
                                       enc.units);
            EXPECT_EQ(text, Text(ReadAll<Char16Source, u16>(adapter, take)))
                << "window " << in_window << " take " << take;
        }
    }
}

TEST_F(SourceAdapter, EveryPairConverts) {
    std::string const text = LongText(2500);
    std::string doubled;
    for (char c : text)
        doubled.append(2, c);
    {
        BufferCharSource in(text.data(), text.data() + text.size());
        CharSource_8_to_32 a(in, enc.bytes, new DoublingTranscoder<char, u32>, enc.wide);
        EXPECT_EQ(doubled, Text(ReadAll<Char32Source, u32>(a, 7)));
    }
    HeldChar16Source in16(text, nullptr), in16b(text, nullptr);
    HeldChar32Source in32(text, nullptr), in32b(text, nullptr);
    CharSource_16_to_8 a(in16.source, enc.units, new DoublingTranscoder<u16, char>, enc.bytes);
    EXPECT_EQ(doubled, Text(ReadAll<CharSource, char>(a, 1000)));
    CharSource_16_to_32 b(in16b.source, enc.units, new DoublingTranscoder<u16, u32>, enc.wide);
    EXPECT_EQ(doubled, Text(ReadAll<Char32Source, u32>(b, 3)));
    CharSource_32_to_8 c(in32.source, enc.wide, new IdentityTranscoder<u32, char>, enc.bytes);
    EXPECT_EQ(text, Text(ReadAll<CharSource, char>(c)));
    CharSource_32_to_16 d(in32b.source, enc.wide, new MultiUnitTranscoder<u32, u16>, enc.units);
    EXPECT_EQ(text, Text(ReadAll<Char16Source, u16>(d, 5)));
}

TEST_F(SourceAdapter, FinishesOnceAtTheEndAndDeliversWhatIsOwed) {
    ToyLog log;
    BufferCharSource input(static_cast<char const *>(nullptr), nullptr);
    CharSource_8_to_32 adapter(input, enc.bytes, new OwingTranscoder<char, u32>(&log), enc.wide);
    EXPECT_TRUE((ReadAll<Char32Source, u32>(adapter)).empty());
    EXPECT_TRUE(log.finishes == 1 && log.transcodes == 0);

    ToyLog owing_log;
    HeldCharSource text(
        "ab\x0E"
        "cd",
        nullptr);
    CharSource_8_to_16 owing(text.source, enc.bytes,
                             new OwingTranscoder<char, u16>(&owing_log, Units<u16>("<END>")),
                             enc.units);
    EXPECT_EQ("abcd<END>", Text(ReadAll<Char16Source, u16>(owing, 2)));
    EXPECT_EQ(-1, owing_log.last_limit);  // sources convert without a limit

    // An incomplete sequence at the end is reported with null input.
    HeldCharSource cut("ab\x1B", &behavior);
    CharSource_8_to_32 incomplete(cut.source, enc.bytes, new OwingTranscoder<char, u32>, enc.wide);
    EXPECT_EQ("ab*", Text(ReadAll<Char32Source, u32>(incomplete)));
    EXPECT_EQ("illegal@end", Describe(behavior.records));
}

TEST_F(SourceAdapter, ProblemsGoToTheBehaviourWithTheirContext) {
    HeldCharSource input("ab!cd?e", &behavior);
    CharSource_8_to_16 adapter(input.source, enc.bytes, new FaultyTranscoder<char, u16>, enc.units);
    std::vector<u16> out = ReadAll<Char16Source, u16>(adapter);
    EXPECT_EQ("ab*cd*e", Text(out));  // default: U+FFFD where each problem was
    EXPECT_EQ(0xFFFD, out[2]);
    // The problem pointer is just past the offending byte; the second input
    // block is the window left after the first problem.
    EXPECT_EQ("illegal@3/7:!>2 undefined@3/4:?>5", Describe(behavior.records));
    EXPECT_EQ(&enc.bytes, behavior.records[0].input_encoding);
    EXPECT_EQ(&enc.units, behavior.records[0].output_encoding);
}

TEST_F(SourceAdapter, EachAdapterRaisesItsOwnKinds) {
    behavior.action = RecordingBehavior::kIgnore;
    std::string const text = "a!b?c#d%e";
    HeldChar32Source in32(text, &behavior), in32b(text, &behavior);
    HeldChar16Source in16(text, &behavior), in16b(text, &behavior);
    CharSource_32_to_8 a(in32.source, enc.wide, new FaultyTranscoder<u32, char>(nullptr, 7),
                         enc.bytes);
    EXPECT_EQ("abcde", Text(ReadAll<CharSource, char>(a)));
    // Ill-formed UTF-16 ('%', result 6) is reported as a character the
    // output cannot hold, not passed over in silence.
    ASSERT_EQ("unrepresentable unrepresentable", Kinds(behavior.records));
    EXPECT_EQ(7u, behavior.records[0].mode);  // the transcoder's Mode()
    EXPECT_EQ('#', behavior.records[0].offending);
    EXPECT_EQ('%', behavior.records[1].offending);

    behavior.records.clear();
    CharSource_16_to_32 b(in16.source, enc.units, new FaultyTranscoder<u16, u32>, enc.wide);
    EXPECT_EQ("abcde", Text(ReadAll<Char32Source, u32>(b)));
    EXPECT_EQ("illegal undefined", Kinds(behavior.records));

    // The 16-to-16 and 32-to-32 adapters raise nothing and go on.
    behavior.records.clear();
    CharSource_16_to_16 c(in16b.source, enc.units, new FaultyTranscoder<u16, u16>, enc.units);
    EXPECT_EQ("abcde", Text(ReadAll<Char16Source, u16>(c)));
    CharSource_32_to_32 d(in32b.source, enc.wide, new FaultyTranscoder<u32, u32>, enc.wide);
    EXPECT_EQ("abcde", Text(ReadAll<Char32Source, u32>(d)));
    EXPECT_TRUE(behavior.records.empty());
}

TEST_F(SourceAdapter, AProblemInUnitsHeldFromAnEarlierWindowLosesNothing) {
    // "a~" then "b": the problem is the '~' held from the first window, and
    // the 'b' that revealed it must still be converted.
    TrickleCharSource input(Units<char>("a~b~+c"), 2);
    input.SetBehavior(&behavior);
    CharSource_8_to_16 adapter(input, enc.bytes, new HoldingTranscoder<char, u16>, enc.units);
    EXPECT_EQ("a*b+c", Text(ReadAll<Char16Source, u16>(adapter)));
    EXPECT_EQ("illegal", Kinds(behavior.records));
}

TEST_F(SourceAdapter, InsertedOutputComesOutWhereTheProblemWas) {
    // Longer than the adapter's window, so it spans several refills.
    behavior.action = RecordingBehavior::kInsertOutput;
    for (int i = 0; i < 1300; ++i)
        behavior.inserted.push_back('A' + i % 26);
    std::string expected_insert;
    for (unsigned long u : behavior.inserted)
        expected_insert.push_back(static_cast<char>(u));

    std::vector<char> bytes = Units<char>("xy?z!w");
    for (std::size_t in_window : {1u, 6u}) {
        for (std::size_t take : {1u, 100u, 10000u}) {
            TrickleCharSource input(bytes, in_window);
            input.SetBehavior(&behavior);
            CharSource_8_to_16 adapter(input, enc.bytes, new FaultyTranscoder<char, u16>,
                                       enc.units);
            EXPECT_EQ("xy" + expected_insert + "z" + expected_insert + "w",
                      Text(ReadAll<Char16Source, u16>(adapter, take)));
        }
    }
}

TEST_F(SourceAdapter, InsertedInputIsConvertedWithoutReportingItsProblemsOverSeveralWindows) {
    // 16-to-8: '#' is not representable; the behaviour inserts "[#]" as
    // input, which holds the same character again: it must not loop.
    behavior.action = RecordingBehavior::kInsertInput;
    for (char c : std::string("[#]"))
        behavior.inserted.push_back(static_cast<unsigned char>(c));
    HeldChar16Source input("a#b#c", &behavior);
    CharSource_16_to_8 adapter(input.source, enc.units, new FaultyTranscoder<u16, char>, enc.bytes);
    EXPECT_EQ("a[]b[]c", Text(ReadAll<CharSource, char>(adapter)));
    EXPECT_EQ(2u, behavior.records.size());

    // An inserted input may need several windows.
    behavior.inserted.clear();
    for (int i = 0; i < 1500; ++i)
        behavior.inserted.push_back('a' + i % 26);
    HeldChar32Source long_input("<#>", &behavior);
    // 1500 units from the inserted input, over a 1024-unit window.
    CharSource_32_to_16 long_adapter(long_input.source, enc.wide, new FaultyTranscoder<u32, u16>,
                                     enc.units);
    std::string expected = "<";
    for (unsigned long u : behavior.inserted)
        expected.push_back(static_cast<char>(u));
    EXPECT_EQ(expected + ">", Text(ReadAll<Char16Source, u16>(long_adapter, 999)));
}

TEST_F(SourceAdapter, AThrowingBehaviourStopsTheReaderButLosesNothing) {
    behavior.action = RecordingBehavior::kThrow;
    HeldCharSource input("abc!def!gh", &behavior);
    auto * adapter =
        new CharSource_8_to_16(input.source, enc.bytes, new FaultyTranscoder<char, u16>, enc.units);
    std::vector<u16> got;
    int stops = 0;
    for (int round = 0; round < 10; ++round) {
        try {
            u16 const * b = nullptr;
            u16 const * e = nullptr;
            while (adapter->GetBuffer(b, e)) {
                got.insert(got.end(), b, e);
                adapter->DoneWith(e);
            }
            break;
        } catch (StopConversion const & stop) {
            EXPECT_EQ(++stops, stop.problem_number);
        }
    }
    // The units before each problem were kept; conversion resumed after the
    // offending byte.
    EXPECT_EQ(2, stops);
    EXPECT_EQ("abcdefgh", Text(got));
    delete adapter;  // and everything is destructible (checked by the sanitizers)
}

TEST_F(SourceAdapter, AThrowWhileOutputIsPendingLeavesTheAdapterDestructible) {
    // A behaviour inserts a long output, the consumer reads part of it, then
    // the next problem throws: deleting the adapter frees the pending copy.
    struct InsertThenThrow : RecordingBehavior {
        using RecordingBehavior::HandleIllegalByteRange;
        int calls = 0;
        void HandleIllegalByteRange(CharToChar32IllegalByteRange & p) override {
            if (++calls == 2)
                throw StopConversion{calls};
            std::vector<u32> big(5000, 'x');
            p.InsertOutput(big.data(), big.data() + big.size());
        }
    } thrower;
    HeldCharSource input("a!b!c", &thrower), again("a!b!c", &thrower);
    ToyLog log;
    auto * adapter = new CharSource_8_to_32(input.source, enc.bytes,
                                            new FaultyTranscoder<char, u32>(&log), enc.wide);
    EXPECT_THROW((ReadAll<Char32Source, u32>(*adapter)), StopConversion);
    delete adapter;
    EXPECT_EQ(1, log.destroyed);

    // Deleted while most of an inserted output is still pending.
    thrower.calls = 0;
    adapter = new CharSource_8_to_32(again.source, enc.bytes, new FaultyTranscoder<char, u32>(&log),
                                     enc.wide);
    u32 const * b = nullptr;
    u32 const * e = nullptr;
    ASSERT_TRUE(adapter->GetBuffer(b, e));
    EXPECT_EQ(1024, e - b);
    adapter->DoneWith(e);
    delete adapter;
    EXPECT_EQ(2, log.destroyed);
}

TEST_F(SourceAdapter, ReportsTheInputEncodingNotRated) {
    BufferCharSource bytes("", nullptr);
    HeldChar16Source units("", nullptr);
    CharSource_8_to_32 a(bytes, enc.bytes, new IdentityTranscoder<char, u32>, enc.wide);
    CharSource_8_to_16 b(bytes, enc.bytes, new IdentityTranscoder<char, u16>, enc.units);
    CharSource_16_to_16 c(units.source, enc.units, new IdentityTranscoder<u16, u16>, enc.units);
    ToUnicodeSource & as_unicode = a;  // through the base
    EXPECT_EQ(&enc.bytes, &as_unicode.ActualInputEncoding());
    EXPECT_EQ(-2147483647 - 1, as_unicode.ActualRating());
    EXPECT_TRUE(b.ActualRating() == ToUnicodeSource::kNotRated &&
                c.ActualRating() == ToUnicodeSource::kNotRated);
    EXPECT_EQ(&enc.bytes, &b.ActualInputEncoding());
    EXPECT_EQ(&enc.units, &c.ActualInputEncoding());
}

// --- ToUnicodeProxySource ------------------------------------------------------

namespace {
class CountingActor : public UnicodeLibActor {
public:
    explicit CountingActor(int * deleted) : deleted_(deleted) {}
    ~CountingActor() override { ++*deleted_; }

private:
    int * deleted_;
};
}  // namespace

TEST(ToUnicodeProxySourceTest, ForwardsReportsAndOwns) {
    Encodings enc;
    std::vector<u32> units = Units<u32>("hello world");
    TrickleChar32Source inner(units, 4);
    int deleted = 0;
    auto * proxy = new ToUnicodeProxySource(enc.bytes, &inner);
    auto * owned = new CountingActor(&deleted);
    proxy->DeleteFirst(owned);
    EXPECT_EQ(&enc.bytes, &proxy->ActualInputEncoding());
    EXPECT_EQ(ToUnicodeSource::kNotRated, proxy->ActualRating());
    RecordingBehavior behavior;
    proxy->SetBehavior(&behavior);
    EXPECT_TRUE(&behavior == inner.GetBehavior() && &behavior == owned->GetBehavior() &&
                &behavior == proxy->GetBehavior());

    EXPECT_EQ("hello world", Text(ReadAll<Char32Source, u32>(*proxy, 3)));
    int const refills = inner.refills;
    EXPECT_TRUE((ReadAll<Char32Source, u32>(*proxy)).empty());
    EXPECT_EQ(refills, inner.refills);  // exhausted: the inner source is not asked again
    delete proxy;
    EXPECT_EQ(1, deleted);
}

// --- buffer converters ---

namespace {

std::vector<char> Bytes(std::string const & s) {
    return Units<char>(s);
}

// Declares a converter `name` of type `Type` and initializes it with the pair.
#define ZUUC_CONVERTER(Type, name, from, to) \
    Type name;                               \
    ASSERT_TRUE(name.Initialize(from, to))

// Result of one Convert over a whole vector with a given output capacity.
template <class Out>
struct Run {
    BufferConverterResult result;
    std::size_t consumed;
    std::vector<Out> output;
};

template <class Out, class Converter, class In>
Run<Out> ConvertOnce(Converter & c, std::vector<In> const & input, std::size_t from,
                     std::size_t room, bool final) {
    std::vector<Out> buffer(room + 1);  // never empty, so data() is a real pointer
    In const * in = input.data() + from;
    Out * out = buffer.data();
    BufferConverterResult const r =
        c.Convert(in, input.data() + input.size(), out, out + room, final);
    buffer.resize(static_cast<std::size_t>(out - buffer.data()));
    return {r, static_cast<std::size_t>(in - (input.data() + from)), buffer};
}

// Checks the result of a run, the text it wrote ('*' for U+FFFD) and,
// unless negative, how many input units it consumed.
template <class Out>
void ExpectRun(Run<Out> const & run, BufferConverterResult result, std::string const & text,
               long consumed = -1) {
    EXPECT_EQ(run.result, result);
    EXPECT_EQ(Text(run.output), text);
    if (consumed >= 0) {
        EXPECT_EQ(run.consumed, static_cast<std::size_t>(consumed));
    }
}

// --- lifecycle -------------------------------------------------------------------

TEST(BufferConverterLifecycle, ConvertAndResetBeforeInitializeAndDoubleInitialize) {
    CharToChar16BufferConverter c;
    std::vector<char> input = Bytes("ab");
    for (bool final : {false, true}) {
        EXPECT_EQ(ConvertOnce<u16>(c, input, 0, 8, final).result, kBufferConverterNotInitialized);
    }
    EXPECT_FALSE(c.Reset());

    ToyByteEncoding toy;
    ASSERT_TRUE(c.Initialize(toy, Char16Encoding::UTF16()));
    EXPECT_FALSE(c.Initialize(toy, Char16Encoding::UTF16()));
    ExpectRun(ConvertOnce<u16>(c, input, 0, 8, true), kBufferConverterComplete, "ab", 2);
}

TEST(BufferConverterLifecycle, MissingConverterFailsInitializeAndFreesTheOtherStage) {
    ToyByteEncoding plain;
    ToyOptions no_decoder, no_encoder;
    no_decoder.no_converter_to_unicode = true;
    no_encoder.no_converter_from_unicode = true;
    ToyByteEncoding undecodable(no_decoder), unencodable(no_encoder);

    CharToCharBufferConverter a;
    EXPECT_FALSE(a.Initialize(undecodable, plain));
    EXPECT_EQ(plain.factories.from16, 0);  // gave up before asking the output side
    EXPECT_EQ(ConvertOnce<char>(a, Bytes("x"), 0, 4, true).result, kBufferConverterNotInitialized);

    CharToCharBufferConverter b;
    EXPECT_FALSE(b.Initialize(plain, unencodable));
    EXPECT_EQ(plain.factories.to16, 1);
    EXPECT_EQ(plain.log.destroyed, 1);  // the decoder made first was deleted again
    // A failed Initialize may be retried with a pair that works.
    EXPECT_TRUE(b.Initialize(plain, plain));
}

TEST(BufferConverterLifecycle, FinishedUntilResetThenReusable) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToChar16BufferConverter, c, toy, Char16Encoding::UTF16());
    std::vector<char> input = Bytes("a!b");
    ExpectRun(ConvertOnce<u16>(c, input, 0, 8, true), kBufferConverterCompleteWithSubstitutions,
              "a*b");
    EXPECT_EQ(c.Substitutions(), 1u);
    for (bool final : {false, true}) {
        EXPECT_EQ(ConvertOnce<u16>(c, input, 0, 8, final).result, kBufferConverterAlreadyFinished);
    }
    EXPECT_TRUE(c.Reset());
    EXPECT_EQ(c.Substitutions(), 0u);
    // The old count does not leak into the result.
    ExpectRun(ConvertOnce<u16>(c, Bytes("xy"), 0, 8, true), kBufferConverterComplete, "xy");
}

TEST(BufferConverterLifecycle, ResetDropsConverterStateAndPendingSubstitute) {
    ToyOptions options;
    options.substitute = "ss";
    ToyByteEncoding toy(options);
    ZUUC_CONVERTER(Char16ToCharBufferConverter, c, Char16Encoding::UTF16(), toy);
    // Shift out, then a problem whose substitute cannot be written.
    EXPECT_EQ(ConvertOnce<char>(c, Units<u16>("\x0E#"), 0, 1, false).result,
              kBufferConverterOutputFull);
    EXPECT_TRUE(c.Reset());
    // Nothing of the old text remains: no substitute, no trailer owed.
    ExpectRun(ConvertOnce<char>(c, Units<u16>("z"), 0, 8, true), kBufferConverterComplete, "z");
    EXPECT_EQ(c.Substitutions(), 0u);
}

// --- pivot choice ------------------------------------------------------------------

TEST(BufferConverterPivot, ByteToByteChainsThroughUTF16OrThroughUTF32WhenFlagged) {
    ToyByteEncoding a, b;
    ZUUC_CONVERTER(CharToCharBufferConverter, plain, a, b);
    EXPECT_EQ(a.factories.to16 + b.factories.from16, 2);
    EXPECT_EQ(a.factories.to32 + b.factories.from32, 0);

    ToyOptions flagged_options;
    flagged_options.utf32_in_unicode = true;
    for (int flagged_side = 0; flagged_side < 2; ++flagged_side) {
        ToyByteEncoding x, flagged(flagged_options);
        ToyByteEncoding & in = flagged_side == 0 ? flagged : x;
        ToyByteEncoding & out = flagged_side == 0 ? x : flagged;
        ZUUC_CONVERTER(CharToCharBufferConverter, c, in, out);
        EXPECT_EQ(in.factories.to32 + out.factories.from32, 2);
        EXPECT_EQ(in.factories.to16 + out.factories.from16, 0);
        ExpectRun(ConvertOnce<char>(c, Bytes("hello"), 0, 16, true), kBufferConverterComplete,
                  "hello");
    }
}

TEST(BufferConverterPivot, SameUnicodeFormOnBothSidesCopies) {
    ZUUC_CONVERTER(Char16ToChar16BufferConverter, c16, Char16Encoding::UTF16(),
                   Char16Encoding::UTF16());
    std::vector<u16> text = {0x41, 0xD83D, 0xDE00, 0xFFFF};
    ExpectRun(ConvertOnce<u16>(c16, text, 0, 2, false), kBufferConverterOutputFull, "A*", 2);
    EXPECT_EQ(ConvertOnce<u16>(c16, text, 2, 2, true).output, std::vector<u16>({0xDE00, 0xFFFF}));

    ZUUC_CONVERTER(Char32ToChar32BufferConverter, c32, Char32Encoding::UTF32(),
                   Char32Encoding::UTF32());
    std::vector<u32> wide = {0x10FFFF, 0x41};
    EXPECT_EQ(ConvertOnce<u32>(c32, wide, 0, 4, true).output, wide);
}

// --- substitution -----------------------------------------------------------------

TEST(BufferConverterSubstitution, EveryProblemKindIsReplacedAndCountedInEachWidth) {
    ToyByteEncoding toy;
    std::vector<char> input = Bytes("a!b?c");
    ZUUC_CONVERTER(CharToChar16BufferConverter, c16, toy, Char16Encoding::UTF16());
    ExpectRun(ConvertOnce<u16>(c16, input, 0, 16, true), kBufferConverterCompleteWithSubstitutions,
              "a*b*c");
    EXPECT_EQ(c16.Substitutions(), 2u);

    ZUUC_CONVERTER(CharToChar32BufferConverter, c32, toy, Char32Encoding::UTF32());
    ExpectRun(ConvertOnce<u32>(c32, input, 0, 16, true), kBufferConverterCompleteWithSubstitutions,
              "a*b*c");
    EXPECT_EQ(c32.Substitutions(), 2u);

    // Byte output: both stages' problems come through the chain.
    ZUUC_CONVERTER(CharToCharBufferConverter, c8, toy, toy);
    ExpectRun(ConvertOnce<char>(c8, Bytes("a!b#c"), 0, 16, true),
              kBufferConverterCompleteWithSubstitutions, "asbsc");
    EXPECT_EQ(c8.Substitutions(), 2u);
}

TEST(BufferConverterSubstitution, ByteSubstituteFollowsTheOutputStageMode) {
    // Through a chain the output stage's mode counts, not the chain's.
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToCharBufferConverter, chained, toy, toy);
    ExpectRun(ConvertOnce<char>(chained, Bytes("a#\x0E#\x0F#"), 0, 32, true),
              kBufferConverterCompleteWithSubstitutions, "asSSs");
    EXPECT_EQ(chained.Substitutions(), 3u);

    ZUUC_CONVERTER(Char16ToCharBufferConverter, direct, Char16Encoding::UTF16(), toy);
    // The substitute, then the owed trailer.
    EXPECT_EQ(Text(ConvertOnce<char>(direct, Units<u16>("\x0E#"), 0, 32, true).output), "SS\x0F");
}

TEST(BufferConverterSubstitution, SubstituteThatDoesNotFitIsWrittenWholeOnTheNextCall) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(Char16ToCharBufferConverter, c, Char16Encoding::UTF16(), toy);
    std::vector<u16> input = Units<u16>(
        "\x0E"
        "a#b");
    // "a" fits, the two-byte substitute does not: nothing half-written, but
    // the problem unit has been consumed...
    ExpectRun(ConvertOnce<char>(c, input, 0, 2, false), kBufferConverterOutputFull, "a", 3);
    EXPECT_EQ(c.Substitutions(), 0u);
    // ...and its substitute still waits.
    ExpectRun(ConvertOnce<char>(c, input, 3, 1, false), kBufferConverterOutputFull, "", 0);
    ExpectRun(ConvertOnce<char>(c, input, 3, 8, true), kBufferConverterCompleteWithSubstitutions,
              "SSb\x0F");
    EXPECT_EQ(c.Substitutions(), 1u);
}

TEST(BufferConverterSubstitution, UnitSubstituteAndFinalCallWaitForRoom) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToChar16BufferConverter, c, toy, Char16Encoding::UTF16());
    std::vector<char> input = Bytes("ab!c");
    auto run = ConvertOnce<u16>(c, input, 0, 2, false);
    ExpectRun(run, kBufferConverterOutputFull, "ab");
    ExpectRun(ConvertOnce<u16>(c, input, run.consumed, 2, true),
              kBufferConverterCompleteWithSubstitutions, "*c");
    EXPECT_EQ(c.Substitutions(), 1u);
    // A final call that fills the output is continued by the next final call.
    ASSERT_TRUE(c.Reset());
    input = Bytes("abcdef");
    EXPECT_EQ(ConvertOnce<u16>(c, input, 0, 4, true).result, kBufferConverterOutputFull);
    ExpectRun(ConvertOnce<u16>(c, input, 4, 4, true), kBufferConverterComplete, "ef");
    EXPECT_EQ(ConvertOnce<u16>(c, input, 6, 4, true).result, kBufferConverterAlreadyFinished);
}

// --- output full and the final call -----------------------------------------------------

TEST(BufferConverterOutputFull, ConsumesOnlyWhatFitsWholeDirectOrChained) {
    ToyByteEncoding toy;
    std::vector<char> input = Bytes("abc");
    ZUUC_CONVERTER(CharToChar16BufferConverter, direct, toy, Char16Encoding::UTF16());
    ZUUC_CONVERTER(CharToCharBufferConverter, chained, toy, toy);
    for (bool final : {false, true}) {
        ExpectRun(ConvertOnce<u16>(direct, input, 0, 0, final), kBufferConverterOutputFull, "", 0);
        ExpectRun(ConvertOnce<char>(chained, input, 0, 0, final), kBufferConverterOutputFull, "",
                  0);
    }
    ExpectRun(ConvertOnce<char>(chained, input, 0, 8, true), kBufferConverterComplete, "abc");

    // A character that does not fit whole is left unconsumed.
    ToyOptions options;
    options.wide_output = true;
    ToyByteEncoding wide(options);
    ZUUC_CONVERTER(Char16ToCharBufferConverter, c, Char16Encoding::UTF16(), wide);
    ExpectRun(ConvertOnce<char>(c, std::vector<u16>{'a', 0xE9, 'b'}, 0, 2, false),
              kBufferConverterOutputFull, "a", 1);
}

TEST(BufferConverterFinal, WhatFinishOwesIsDeliveredAcrossCalls) {
    ToyOptions options;
    options.trailer = {'<', '-', '>'};
    ToyByteEncoding toy(options);
    ZUUC_CONVERTER(Char32ToCharBufferConverter, direct, Char32Encoding::UTF32(), toy);
    std::vector<u32> input = Units<u32>("\x0Exy");
    // The three-byte trailer does not fit.
    ExpectRun(ConvertOnce<char>(direct, input, 0, 4, true), kBufferConverterOutputFull, "xy", 3);
    ExpectRun(ConvertOnce<char>(direct, input, 3, 2, false), kBufferConverterInputConsumed,
              "");  // waits for the final call
    ExpectRun(ConvertOnce<char>(direct, input, 3, 2, true), kBufferConverterOutputFull, "");
    ExpectRun(ConvertOnce<char>(direct, input, 3, 3, true), kBufferConverterComplete, "<->");

    // Through a chain, three bytes at a time: the chain keeps what did not fit.
    ZUUC_CONVERTER(CharToCharBufferConverter, chained, toy, toy);
    std::vector<char> bytes = Bytes(
        "\x0E"
        "abcdef");
    std::string collected;
    std::size_t position = 0;
    BufferConverterResult result = kBufferConverterOutputFull;
    int calls = 0;
    while (result == kBufferConverterOutputFull && ++calls < 100) {
        auto step = ConvertOnce<char>(chained, bytes, position, 3, true);
        result = step.result;
        position += step.consumed;
        collected += Text(step.output);
    }
    EXPECT_EQ(result, kBufferConverterComplete);
    EXPECT_EQ(collected, "abcdef<->");
    EXPECT_EQ(calls, 3);
}

TEST(BufferConverterFinal, IncompleteSequenceBecomesOneSubstituteOnlyAtTheEnd) {
    ToyByteEncoding toy;
    ZUUC_CONVERTER(CharToChar16BufferConverter, c, toy, Char16Encoding::UTF16());
    std::vector<char> input = Bytes("a\x1B");
    auto run = ConvertOnce<u16>(c, input, 0, 1, true);  // room for "a" only
    ExpectRun(run, kBufferConverterOutputFull, "a");
    ExpectRun(ConvertOnce<u16>(c, input, run.consumed, 1, true),
              kBufferConverterCompleteWithSubstitutions, "*");
    EXPECT_EQ(c.Substitutions(), 1u);

    // Before the final call the partial sequence is kept for the next input.
    ASSERT_TRUE(c.Reset());
    EXPECT_EQ(ConvertOnce<u16>(c, Bytes("a\x1B"), 0, 8, false).result,
              kBufferConverterInputConsumed);
    ExpectRun(ConvertOnce<u16>(c, Bytes("!b"), 0, 8, true), kBufferConverterComplete, "!b");
}

// --- real Unicode forms ---------------------------------------------------------------------

// The independent reference encoder of the UTF-8 tests.
std::vector<char> Utf8(std::u32string const & text) {
    std::vector<char> bytes;
    for (char32_t c : text)
        zuuc_test::utf8::RefUTF8(static_cast<std::uint32_t>(c), bytes);
    return bytes;
}

std::u32string const kMixedText =
    U"Gr\u00FC\u00DFe, \u041F\u0440\u0438\u0432\u0435\u0442, "
    U"\u65E5\u672C\u8A9E \U0001F600 \u00E9t\u00E9";

// Converting `input` whole and in 40 schedules of random input pieces and
// output windows gives `expected`, with or without substitutions.
template <class Converter, class In, class Out, class From, class To>
void ExpectChunkingAgrees(From const & from, To const & to, std::vector<In> const & input,
                          std::vector<Out> const & expected, bool substituted) {
    auto const whole = fuzz::ConvertBuffered<Converter, In, Out>(from, to, input, nullptr);
    EXPECT_EQ(whole.text, expected);
    EXPECT_EQ(whole.result,
              substituted ? kBufferConverterCompleteWithSubstitutions : kBufferConverterComplete);
    for (std::uint32_t seed = 1; seed <= 40; ++seed) {
        fuzz::Schedule schedule(seed);
        ASSERT_EQ((fuzz::ConvertBuffered<Converter, In, Out>(from, to, input, &schedule)), whole)
            << seed;
    }
}

TEST(BufferConverterUnicode, ChunkedConversionAgreesWithOneCall) {
    std::vector<char> utf8 = Utf8(kMixedText);
    std::vector<u16> utf16 =
        zuuc_test::utf16::ToUTF16(std::vector<u32>(kMixedText.begin(), kMixedText.end()));
    std::vector<u32> utf32(kMixedText.begin(), kMixedText.end());
    CharEncoding const & b = CharEncoding::UTF8();
    Char16Encoding const & u = Char16Encoding::UTF16();
    Char32Encoding const & w = Char32Encoding::UTF32();
    ExpectChunkingAgrees<CharToChar16BufferConverter>(b, u, utf8, utf16, false);
    ExpectChunkingAgrees<CharToChar32BufferConverter>(b, w, utf8, utf32, false);
    ExpectChunkingAgrees<Char16ToCharBufferConverter>(u, b, utf16, utf8, false);
    ExpectChunkingAgrees<Char32ToChar16BufferConverter>(w, u, utf32, utf16, false);
    ExpectChunkingAgrees<CharToCharBufferConverter>(b, b, utf8, utf8,
                                                    false);  // a chain through the pivot
}

TEST(BufferConverterUnicode, ChunkedConversionOfMalformedInputCountsTheSame) {
    // A stray continuation byte, a cut sequence, an overlong form and a cut tail.
    std::vector<char> bad = Utf8(U"a\u00E9b");
    bad.insert(bad.begin() + 1, static_cast<char>(0x80));
    for (int byte : {0xE6, 0x97, 0x78, 0xC0, 0xAF, 0x79, 0xF0, 0x9F})
        bad.push_back(static_cast<char>(byte));

    ZUUC_CONVERTER(CharToChar16BufferConverter, once, CharEncoding::UTF8(),
                   Char16Encoding::UTF16());
    auto whole = ConvertOnce<u16>(once, bad, 0, 64, true);
    EXPECT_EQ(whole.result, kBufferConverterCompleteWithSubstitutions);
    // Every substitute stands for a problem; the good characters all survive.
    EXPECT_EQ(Text(whole.output),
              "a*\xE9"
              "b*x*y*");
    EXPECT_EQ(once.Substitutions(), 4u);
    ExpectChunkingAgrees<CharToChar16BufferConverter>(CharEncoding::UTF8(), Char16Encoding::UTF16(),
                                                      bad, whole.output, true);
    // The same through a chain into UTF-8 bytes, where U+FFFD is three bytes.
    ExpectChunkingAgrees<CharToCharBufferConverter>(
        CharEncoding::UTF8(), CharEncoding::UTF8(), bad,
        Utf8(std::u32string(whole.output.begin(), whole.output.end())), true);
}

// --- memory ----------------------------------------------------------------------------------

#ifndef __has_feature
#define __has_feature(x) 0
#endif
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
#define ZUUC_TEST_MALLINFO 0
#else
#define ZUUC_TEST_MALLINFO 1
#endif

TEST(BufferConverterMemory, InitializeAndConvertTakeNoHeapBeyondTheConverter) {
#if ZUUC_TEST_MALLINFO
    std::vector<char> utf8 = Utf8(kMixedText);
    std::vector<char> output(4096);
    {
        CharToCharBufferConverter recode;  // the biggest case: a chain through UTF-16
        Char16Encoding::UTF16();
        CharEncoding::UTF8();
        std::size_t const before = mallinfo2().uordblks;
        ASSERT_TRUE(recode.Initialize(CharEncoding::UTF8(), CharEncoding::UTF8()));
        char const * in = utf8.data();
        char * out = output.data();
        EXPECT_EQ(recode.Convert(in, utf8.data() + utf8.size(), out, out + output.size(), true),
                  kBufferConverterComplete);
        EXPECT_EQ(mallinfo2().uordblks, before);
    }
    {
        ToyOptions flagged;
        flagged.utf32_in_unicode = true;
        ToyByteEncoding in_encoding(flagged), out_encoding;
        CharToCharBufferConverter wide;  // a chain through UTF-32
        std::size_t const before = mallinfo2().uordblks;
        ASSERT_TRUE(wide.Initialize(in_encoding, out_encoding));
        EXPECT_EQ(mallinfo2().uordblks, before);
    }
#else
    GTEST_SKIP() << "heap statistics are not kept under AddressSanitizer";
#endif
}

}  // namespace

// --- factories when memory runs out ---

namespace {

// Serves the first `budget` requests from the heap, then fails.
class RationedAllocator : public UnicodeLibAllocator {
public:
    explicit RationedAllocator(int budget) : budget_(budget) {}
    void * Allocate(unsigned int size) override {
        if (budget_-- <= 0)
            return nullptr;
        return std::malloc(size);
    }
    void Free(void * block) override { std::free(block); }

private:
    int budget_;
};

}  // namespace

TEST(FactoryAllocation, EveryFactoryGivesNullWhenMemoryRunsOutAndThrowsNothing) {
    // One encoding of each family, with every budget of allocations up to
    // what the deepest of their chains needs.
    CharEncoding::UTF8BOM();  // variants are found by name once they exist
    for (char const * name : {"UTF-8", "UTF8BOM", "UTF-32:UTF-8", "windows-1252", "Shift_JIS",
                              "EUC-JP", "ISO-2022-JP", "GB18030", "HZ-GB-2312", "Big5"}) {
        CharEncoding const * encoding = CharEncoding::Lookup(name);
        ASSERT_NE(nullptr, encoding) << name;
        for (int budget = 0; budget < 6; ++budget) {
            SCOPED_TRACE(testing::Message() << name << ", budget " << budget);
            RationedAllocator allocator(budget);
            auto check = [&](auto * made) {
                delete made;  // null, or a whole object
            };
            EXPECT_NO_THROW(check(encoding->CreateConverterToUTF16(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterFromUTF16(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterToUTF32(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateConverterFromUTF32(allocator)));
            EXPECT_NO_THROW(check(encoding->CreateEncodingDetector(allocator)));
            char const text[] = "abc";
            StringCharSource bytes(text, text + 3);
            EXPECT_NO_THROW(check(encoding->CreateCharSourceToUnicode(bytes, allocator)));
        }
    }
}
