// Source adapters: reading a source of one width as another width.
#include <gtest/gtest.h>

#include "convert/engine_test_util.h"

using namespace zuuc_test::engine;
using namespace zuuc_test;

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
    for (char c : text) doubled.append(2, c);
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
    HeldCharSource text("ab\x0E" "cd", nullptr);
    CharSource_8_to_16 owing(text.source, enc.bytes,
                             new OwingTranscoder<char, u16>(&owing_log, Units<u16>("<END>")), enc.units);
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
    CharSource_32_to_8 a(in32.source, enc.wide, new FaultyTranscoder<u32, char>(nullptr, 7), enc.bytes);
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
    for (int i = 0; i < 1300; ++i) behavior.inserted.push_back('A' + i % 26);
    std::string expected_insert;
    for (unsigned long u : behavior.inserted) expected_insert.push_back(static_cast<char>(u));

    std::vector<char> bytes = Units<char>("xy?z!w");
    for (std::size_t in_window : {1u, 6u}) {
        for (std::size_t take : {1u, 100u, 10000u}) {
            TrickleCharSource input(bytes, in_window);
            input.SetBehavior(&behavior);
            CharSource_8_to_16 adapter(input, enc.bytes, new FaultyTranscoder<char, u16>, enc.units);
            EXPECT_EQ("xy" + expected_insert + "z" + expected_insert + "w",
                      Text(ReadAll<Char16Source, u16>(adapter, take)));
        }
    }
}

TEST_F(SourceAdapter, InsertedInputIsConvertedWithoutReportingItsProblemsOverSeveralWindows) {
    // 16-to-8: '#' is not representable; the behaviour inserts "[#]" as
    // input, which holds the same character again: it must not loop.
    behavior.action = RecordingBehavior::kInsertInput;
    for (char c : std::string("[#]")) behavior.inserted.push_back(static_cast<unsigned char>(c));
    HeldChar16Source input("a#b#c", &behavior);
    CharSource_16_to_8 adapter(input.source, enc.units, new FaultyTranscoder<u16, char>, enc.bytes);
    EXPECT_EQ("a[]b[]c", Text(ReadAll<CharSource, char>(adapter)));
    EXPECT_EQ(2u, behavior.records.size());

    // An inserted input may need several windows.
    behavior.inserted.clear();
    for (int i = 0; i < 1500; ++i) behavior.inserted.push_back('a' + i % 26);
    HeldChar32Source long_input("<#>", &behavior);
    // 1500 units from the inserted input, over a 1024-unit window.
    CharSource_32_to_16 long_adapter(long_input.source, enc.wide, new FaultyTranscoder<u32, u16>, enc.units);
    std::string expected = "<";
    for (unsigned long u : behavior.inserted) expected.push_back(static_cast<char>(u));
    EXPECT_EQ(expected + ">", Text(ReadAll<Char16Source, u16>(long_adapter, 999)));
}

TEST_F(SourceAdapter, AThrowingBehaviourStopsTheReaderButLosesNothing) {
    behavior.action = RecordingBehavior::kThrow;
    HeldCharSource input("abc!def!gh", &behavior);
    auto * adapter = new CharSource_8_to_16(input.source, enc.bytes, new FaultyTranscoder<char, u16>, enc.units);
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
            if (++calls == 2) throw StopConversion{calls};
            std::vector<u32> big(5000, 'x');
            p.InsertOutput(big.data(), big.data() + big.size());
        }
    } thrower;
    HeldCharSource input("a!b!c", &thrower), again("a!b!c", &thrower);
    ToyLog log;
    auto * adapter = new CharSource_8_to_32(input.source, enc.bytes, new FaultyTranscoder<char, u32>(&log), enc.wide);
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
    EXPECT_TRUE(b.ActualRating() == ToUnicodeSource::kNotRated && c.ActualRating() == ToUnicodeSource::kNotRated);
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
