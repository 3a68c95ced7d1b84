// Directed proxies: proxies that own the chain of stages behind them.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../src/streams/directed_proxies.h"
#include "streams/stream_test_util.h"
#include "zuuc/behavior.h"

using zuuc_test::streams::RecordingCharSink;

namespace {

std::vector<std::string> g_deleted;

// A pass-through source stage that notes its destruction.
class LoggedStage32 : public Char32ProxySource {
public:
    LoggedStage32(char const * name, Char32Source * input) : Char32ProxySource(input), name_(name) {}
    ~LoggedStage32() override { g_deleted.push_back(name_); }

private:
    char const * name_;
};

// A sink stage that holds everything back until it is destroyed or flushed,
// like a converter that owes output at the end.
class HoldingSink : public CharProxySink {
public:
    explicit HoldingSink(CharSink * target) : CharProxySink(target) {}
    ~HoldingSink() override {
        Release();
        g_deleted.push_back("holding");
    }
    void Flush() override {
        Release();
        CharProxySink::Flush();
    }

protected:
    void PutBuffer(char const * begin, char const * end) override { held_.append(begin, end); }

private:
    void Release() {
        if (!held_.empty()) {
            CharProxySink::PutBuffer(held_.data(), held_.data() + held_.size());
            held_.clear();
        }
    }
    std::string held_;
};

class LoggedProxySink : public CharProxySink {
public:
    explicit LoggedProxySink(CharSink * target) : CharProxySink(target) {}
    ~LoggedProxySink() override { g_deleted.push_back("inner"); }
};

}  // namespace

TEST(DirectedProxySource, ReadsThroughAndDeletesItsStagesInOrder) {
    g_deleted.clear();
    alignas(16) unsigned char arena[1024];
    LinearAllocator allocator(arena, sizeof arena, "test", 0);
    unsigned int const text[] = {'a', 0x1F600, 'b', 0};
    BufferChar32Source caller_source(text, nullptr);

    auto * inner = new (allocator) LoggedStage32("first", &caller_source);
    auto * outer = new LoggedStage32("second", inner);  // one on the heap
    Char32Source * chain = new (allocator) DirectedChar32ProxySource(outer, inner, outer);

    std::vector<unsigned int> read;
    unsigned int const * b = nullptr;
    unsigned int const * e = nullptr;
    while (chain->GetBuffer(b, e)) {
        read.insert(read.end(), b, e);
        chain->DoneWith(e);
    }
    EXPECT_EQ(read, (std::vector<unsigned int>{'a', 0x1F600, 'b'}));
    delete chain;  // the director deletes both stages; ASan checks the memory
    EXPECT_EQ(g_deleted, (std::vector<std::string>{"first", "second"}));
}

TEST(DirectedProxySource, BehaviourReachesStagesOutsideTheProxiedPath) {
    UnicodeLibBehavior mine(false);
    unsigned short const text[] = {'x', 0};
    BufferChar16Source caller_source(text, nullptr);
    // `side` is owned but not on the forwarding path of the proxy.
    auto * side = new BufferChar16Source(text, nullptr);
    auto * stage = new Char16ProxySource(&caller_source);
    DirectedChar16ProxySource chain(stage, stage, side);
    // A null behaviour means the library default, for every stage alike.
    for (UnicodeLibBehavior * b : {&mine, static_cast<UnicodeLibBehavior *>(nullptr)}) {
        chain.SetBehavior(b);
        UnicodeLibBehavior * const expected = b ? b : UnicodeLibBehavior::GetDefaultBehavior();
        for (Char16Source * s : {static_cast<Char16Source *>(side), static_cast<Char16Source *>(stage),
                                 static_cast<Char16Source *>(&caller_source),
                                 static_cast<Char16Source *>(&chain)}) {
            EXPECT_EQ(s->GetBehavior(), expected);
        }
    }
}

TEST(DirectedProxySink, OuterStageFlushesIntoTheInnerOneOnDestruction) {
    g_deleted.clear();
    char buf[16];
    BufferCharSink caller_sink(buf, sizeof buf);
    auto * inner = new LoggedProxySink(&caller_sink);
    auto * outer = new HoldingSink(inner);
    CharSink * chain = new DirectedCharProxySink(outer, outer, inner);
    chain->Put("held", nullptr);
    EXPECT_EQ(caller_sink.size(), 0);
    delete chain;  // no Flush: what is owed still reaches the caller's sink
    EXPECT_STREQ(caller_sink.c_str(), "held");
    EXPECT_EQ(g_deleted, (std::vector<std::string>{"holding", "inner"}));
}

TEST(DirectedProxySink, BuildsInStepsAndForwardsCapacity) {
    UnicodeLibBehavior mine(false);
    RecordingCharSink caller_sink;
    caller_sink.SetBehavior(&mine);
    caller_sink.capacity = 3;
    DirectedCharProxySink chain(nullptr, nullptr, nullptr);
    EXPECT_EQ(chain.RemainingCapacity(), 0);  // nowhere to write yet
    auto * stage = new CharProxySink(&caller_sink);
    chain.Director().DeleteFirst(stage);
    chain.SetProxy(stage);
    EXPECT_EQ(chain.GetBehavior(), &mine);  // taken from the new target
    EXPECT_EQ(chain.RemainingCapacity(), 3);
    chain.Put("abc", nullptr);
    chain.MarkAsTruncated();
    EXPECT_EQ(caller_sink.Joined(), "abc");
    EXPECT_EQ(caller_sink.truncations, 1);
}
