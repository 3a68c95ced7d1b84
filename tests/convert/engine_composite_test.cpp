// Transcoder bases and composite transcoders, driven with toy stages.
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
        for (TranscodeResult r = kTranscodeOutputFull; r != kTranscodeInputExhausted && ++guard < 100000;) {
            C * out = buffer.data();
            r = t.Transcode(in, in_end, out, buffer.data() + out_room, limit);
            output.insert(output.end(), buffer.data(), out);
            if (results != nullptr) results->push_back(r);
        }
        pos = static_cast<std::size_t>(in - input.data());
    }
    for (TranscodeResult r = kTranscodeOutputFull; r != kTranscodeComplete && ++guard < 100000;) {
        C * out = buffer.data();
        r = t.Finish(out, buffer.data() + out_room, limit);
        output.insert(output.end(), buffer.data(), out);
        if (results != nullptr) results->push_back(-1 - r);  // finish results are recorded negated
    }
    EXPECT_LT(guard, 100000) << "the transcoder made no progress";
    return output;
}


}  // namespace

namespace {
// The smallest concrete to-byte converter: exposes the base flag.
class FlagConverter : public BlockConverter_16_to_8 {
public:
    TranscodeResult Transcode(u16 const *& in, u16 const * in_end, char *&, char *, long) override {
        set_state_flag(true);
        in = in_end;
        return kTranscodeInputExhausted;
    }
    TranscodeResult Finish(char *&, char *, long) override {
        Reset();
        return kTranscodeComplete;
    }
    bool flag() const { return state_flag(); }
};
}  // namespace

TEST(TranscoderBase, DefaultsOfTheBaseSlotsAndTheToByteFlag) {
    IdentityTranscoder<char, u32> t;
    char const text[] = "abc";
    char const * in = text;
    u32 out_buffer[4];
    u32 * out = out_buffer;
    EXPECT_EQ(kTranscodeInputExhausted, t.TranscodeInBlock(in, text + 3, out, out_buffer + 4, -1));
    EXPECT_TRUE(in == text && out == out_buffer && t.Mode() == 0u);
    EXPECT_EQ(UnicodeLibBehavior::GetDefaultBehavior(), t.GetBehavior());
    // The to-byte bases clear their flag on Reset.
    FlagConverter c16;
    EXPECT_FALSE(c16.flag());
    u16 const units[] = {1};
    u16 const * from = units;
    char * to = nullptr;
    c16.Transcode(from, units + 1, to, nullptr, -1);
    EXPECT_TRUE(c16.flag());
    c16.Finish(to, nullptr, -1);
    EXPECT_FALSE(c16.flag());
}

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
    for (int i = 0; i < 1500; ++i) text.push_back(i % 2 ? 'x' : static_cast<char>(0xC9));
    for (char ch : text) expected.append(ch == 'x' ? 1 : 4, ch);
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
    std::vector<char> out = Drive(c, Units<u16>("ab\x0E" "cd"), 10, 2, &results);
    EXPECT_EQ("abcdTRAIL", std::string(out.begin(), out.end()));
    EXPECT_EQ(1, first_log.finishes);  // the trailer was asked for once
    std::vector<int> tail(results.end() - 3, results.end());
    std::vector<int> expected = {-1 - kTranscodeOutputFull, -1 - kTranscodeOutputFull,
                                 -1 - kTranscodeComplete};
    EXPECT_EQ(expected, tail);

    // The second stage owes a three-unit trailer that it writes whole: with
    // two units of room the composite says "output full" and keeps its state.
    CompositeTranscoderFor<u32, u32, u32> second(new IdentityTranscoder<u32, u32>,
                                                 new OwingTranscoder<u32, u32>(nullptr, Units<u32>("XYZ")));
    std::vector<u32> input = Units<u32>("\x0E" "ab");
    u32 wide[8];
    u32 const * in = input.data();
    u32 * o = wide;
    EXPECT_EQ(kTranscodeInputExhausted, second.Transcode(in, input.data() + 3, o, wide + 8, -1));
    u32 * small_end = o + 2;
    EXPECT_EQ(kTranscodeOutputFull, second.Finish(o, small_end, -1));
    EXPECT_EQ(kTranscodeComplete, second.Finish(o, wide + 8, -1));
    EXPECT_EQ("abXYZ", Text(std::vector<u32>(wide, o)));
}

