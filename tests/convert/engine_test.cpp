// The transcoding engine, driven with toy stages: composite transcoders, then
// sink adapters (writing into a sink of one width through a transcoder), then
// source adapters (reading a source of one width as another width).
#include <gtest/gtest.h>

#include "convert/engine_test_util.h"

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
