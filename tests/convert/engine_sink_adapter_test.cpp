// Sink adapters: writing into a sink of one width through a transcoder.
#include <gtest/gtest.h>

#include "convert/engine_test_util.h"

using namespace zuuc_test::engine;
using namespace zuuc_test;

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
    for (char c : text) doubled.append(2, c);
    for (std::size_t piece : {1u, 2u, 511u, 512u, 513u, 3000u}) {
        RecordingChar16Sink target;
        {
            CharSink_8_to_16 sink(enc.bytes, new DoublingTranscoder<char, u16>, enc.units, target);
            PutInPieces(sink, Units<char>(text), piece);
        }
        EXPECT_EQ(doubled, Text(target.units)) << piece;
        // Converted through a local buffer of 512 units: never a larger range.
        for (std::size_t n : target.range_sizes) EXPECT_LE(n, 512u);
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
    EXPECT_EQ(Text(t8_32.units) + Text(t16_8.units) + Text(t16_16.units) + Text(t16_32.units) + Text(t32_8.units) +
                  Text(t32_32.units),
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
    EXPECT_EQ("illegal@3/7:!>2 undefined@6/7:?>2", Describe(behavior.records));  // input start is the range put
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
    for (char c : std::string("(#)")) behavior.inserted.push_back(static_cast<unsigned char>(c));
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
    auto * sink = new CharSink_16_to_32(enc.units, new FaultyTranscoder<u16, u32>(&log), enc.wide, target);
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
        std::vector<char> bytes = Units<char>("a\x0E" "b");
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
    std::vector<char> bytes = Units<char>("a\x0E" "b\x1B");
    sink.Put(bytes.data(), bytes.data() + bytes.size());
    sink.Flush();
    // The owed SI, then U+FFFD for the incomplete escape.
    EXPECT_EQ(target.units, (std::vector<u32>{'a', 'b', 0x0F, 0xFFFD}));
    EXPECT_EQ(1, target.flushes);
    EXPECT_EQ("illegal@end", Describe(behavior.records));
    EXPECT_EQ(-1, sink.RemainingCapacity());
}

