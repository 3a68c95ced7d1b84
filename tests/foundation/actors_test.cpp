// Actors, the default behaviour and the director.
#include <gtest/gtest.h>

#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "zuuc/behavior.h"
#include "zuuc/foundation.h"

namespace {

using Log = std::vector<std::string>;

// Logs its destruction and every SetBehavior call.
struct Recorder : UnicodeLibActor {
    Recorder(Log * log, std::string name, UnicodeLibBehavior * b = nullptr)
        : UnicodeLibActor(b), log_(log), name_(std::move(name)) {}
    Recorder(Log * log, UnicodeLibActor const * wrapped)
        : UnicodeLibActor(wrapped), log_(log), name_("w") {}
    ~Recorder() override { log_->push_back("delete " + name_); }
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * b) override {
        log_->push_back("behave " + name_);
        return UnicodeLibActor::SetBehavior(b);
    }
    Log * log_;
    std::string name_;
};

}  // namespace

TEST(Actor, BehaviorIsNeverNullAndSetBehaviorReturnsThePrevious) {
    UnicodeLibBehavior * def = UnicodeLibBehavior::GetDefaultBehavior();
    ASSERT_NE(def, nullptr);
    UnicodeLibBehavior first(false), second(true);
    Log log;

    EXPECT_EQ(Recorder(&log, "n").GetBehavior(), def);
    EXPECT_EQ(Recorder(&log, static_cast<UnicodeLibActor const *>(nullptr)).GetBehavior(), def);
    Recorder inner(&log, "i", &first);
    EXPECT_EQ(Recorder(&log, &inner).GetBehavior(), &first);  // a wrapper takes the inner one's

    UnicodeLibActor & base = inner;
    EXPECT_EQ(base.SetBehavior(&second), &first);  // virtual: reaches the override
    EXPECT_EQ(inner.GetBehavior(), &second);
    EXPECT_EQ(base.SetBehavior(nullptr), &second);
    EXPECT_EQ(inner.GetBehavior(), def);
    EXPECT_EQ(log.back(), "behave i");
}

TEST(DefaultBehavior, ReplacingTheDefaultAffectsNewActorsAndNullSettings) {
    UnicodeLibBehavior * builtin = UnicodeLibBehavior::GetDefaultBehavior();
    UnicodeLibBehavior custom(true);
    Log log;
    Recorder before(&log, "b");

    EXPECT_EQ(UnicodeLibBehavior::SetDefaultBehavior(&custom), builtin);
    EXPECT_EQ(before.GetBehavior(), builtin);  // existing actors keep theirs
    EXPECT_EQ(Recorder(&log, "n").GetBehavior(), &custom);
    before.SetBehavior(nullptr);
    EXPECT_EQ(before.GetBehavior(), &custom);  // null means the default now in force

    // A null default changes nothing and reports the one in force.
    EXPECT_EQ(UnicodeLibBehavior::SetDefaultBehavior(nullptr), &custom);
    EXPECT_EQ(UnicodeLibBehavior::GetDefaultBehavior(), &custom);
    EXPECT_EQ(UnicodeLibBehavior::SetDefaultBehavior(builtin), &custom);
}

TEST(Director, SetsBehavioursAndDeletesFirstThenSecondSkippingNulls) {
    Log log;
    UnicodeLibBehavior behavior(false);
    {
        Recorder * b = new Recorder(&log, "b");
        UnicodeLibDirector d(new Recorder(&log, "a"), b);
        d.SetBehaviors(behavior);
        EXPECT_EQ(b->GetBehavior(), &behavior);
        UnicodeLibDirector(nullptr, nullptr).SetBehaviors(behavior);
    }
    { UnicodeLibDirector d(nullptr, new Recorder(&log, "c")); }
    { UnicodeLibDirector d; }
    {
        // The role, not the order of the calls, decides; a replaced actor is
        // released, not deleted.
        Recorder * e = new Recorder(&log, "e");
        UnicodeLibDirector d;
        d.DeleteSecond(e);
        d.DeleteFirst(new Recorder(&log, "d"));
        d.DeleteSecond(nullptr);
        d.DeleteSecond(e);
    }
    {
        Recorder * both = new Recorder(&log, "x");
        UnicodeLibDirector d(both, both);  // deleted once
    }
    EXPECT_EQ(log, Log({"behave a", "behave b", "delete a", "delete b", "delete c", "delete d",
                        "delete e", "delete x"}));
}

TEST(Director, OwnershipMovesAndIsNeverShared) {
    static_assert(!std::is_copy_constructible<UnicodeLibDirector>::value &&
                      !std::is_copy_assignable<UnicodeLibDirector>::value,
                  "two directors must not own the same actors");
    Log log;
    {
        UnicodeLibDirector source(new Recorder(&log, "a"), new Recorder(&log, "b"));
        UnicodeLibDirector target(std::move(source));
        source.SetBehaviors(*UnicodeLibBehavior::GetDefaultBehavior());  // empty now
        EXPECT_TRUE(log.empty());
        target = UnicodeLibDirector(new Recorder(&log, "c"), nullptr);
        EXPECT_EQ(log, Log({"delete a", "delete b"}));  // the old actors go
    }
    EXPECT_EQ(log.back(), "delete c");

    // An actor that the incoming director holds too survives the assignment.
    log.clear();
    {
        Recorder * shared = new Recorder(&log, "s");
        UnicodeLibDirector target(shared, new Recorder(&log, "old"));
        target = UnicodeLibDirector(nullptr, shared);
        UnicodeLibDirector & same = target;
        target = std::move(same);
        EXPECT_EQ(log, Log({"delete old"}));
    }
    EXPECT_EQ(log, Log({"delete old", "delete s"}));
}
