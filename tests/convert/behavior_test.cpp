// Behaviours: default handling, forwarding, SGML references, counting,
// settings, copying, locking and the process-wide default.
#include "zuuc/behavior.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "../../src/convert/error_count_behavior.h"
#include "support/behaviour_fakes.h"
#include "zuuc/exceptions.h"

namespace {

using namespace zuuc_test;

using U16 = std::vector<unsigned short>;
using U32 = std::vector<unsigned int>;
using Bytes8 = std::vector<char>;

U16 const kFFFD16{0xFFFD};
U32 const kFFFD32{0xFFFD};

// Raises one problem of every kind at `behavior`, each through its own
// recording solver, the way the stream adapters do (per-kind handler).
struct AllKinds {
    explicit AllKinds(unsigned int converter_mode = 0) : mode(converter_mode) {}

    void RaiseAt(UnicodeLibBehavior & b) {
        CharToChar16IllegalByteRange k10(Bytes(), Units(), s8to16[0], in8, in8 + 1, in8 + 2, o16,
                                         o16);
        CharToChar16NoCharacterDefinedForCodepoint k13(Bytes(), Units(), s8to16[1], in8, in8 + 1,
                                                       in8 + 2, o16, o16);
        CharToChar32IllegalByteRange k9(Bytes(), Wide(), s8to32[0], in8, in8 + 1, in8 + 2, o32,
                                        o32);
        CharToChar32NoCharacterDefinedForCodepoint k12(Bytes(), Wide(), s8to32[1], in8, in8 + 1,
                                                       in8 + 2, o32, o32);
        Char16ToChar32IllegalByteRange k8(Units(), Wide(), s16to32[0], in16, in16 + 1, in16 + 1,
                                          o32, o32);
        Char16ToChar32NoCharacterDefinedForCodepoint k11(Units(), Wide(), s16to32[1], in16,
                                                         in16 + 1, in16 + 1, o32, o32);
        Char32ToChar16CharacterNotInRepertoire k14(Wide(), Units(), s32to16, in32, in32 + 1,
                                                   in32 + 1, o16, o16, mode);
        Char32ToCharCharacterNotInRepertoire k15(Wide(), Bytes(), s32to8, in32, in32 + 1, in32 + 1,
                                                 o8, o8, mode);
        Char16ToCharCharacterNotInRepertoire k16(Units(), Bytes(), s16to8, in16, in16 + 1, in16 + 1,
                                                 o8, o8, mode);
        b.HandleIllegalByteRange(k8);
        b.HandleIllegalByteRange(k9);
        b.HandleIllegalByteRange(k10);
        b.HandleNoCharacterDefinedForCodepoint(k11);
        b.HandleNoCharacterDefinedForCodepoint(k12);
        b.HandleNoCharacterDefinedForCodepoint(k13);
        b.HandleCharacterNotInRepertoire(k14);
        b.HandleCharacterNotInRepertoire(k15);
        b.HandleCharacterNotInRepertoire(k16);
    }

    unsigned int mode;
    char const in8[2] = {'\x81', 'z'};
    unsigned short const in16[1] = {0x4E00};
    unsigned int const in32[1] = {0x4E00};
    char o8[4] = {};
    unsigned short o16[4] = {};
    unsigned int o32[4] = {};
    Solver8to16 s8to16[2];
    Solver8to32 s8to32[2];
    Solver16to32 s16to32[2];
    Solver32to16 s32to16;
    Solver32to8 s32to8;
    Solver16to8 s16to8;
};

// The byte substitute `behavior` writes for a character not in the repertoire.
std::string SubstituteOf(UnicodeLibBehavior & behavior) {
    AllKinds kinds;
    kinds.RaiseAt(behavior);
    return std::string(kinds.s32to8.output.begin(), kinds.s32to8.output.end());
}

// --- default handling ----------------------------------------------------------

TEST(Behavior, DefaultSubstitutesReplacementCharacterOrTheEncodingsBytes) {
    UnicodeLibBehavior behavior(false);
    AllKinds kinds;
    kinds.RaiseAt(behavior);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(kinds.s8to16[i].output, kFFFD16);
        EXPECT_EQ(kinds.s8to32[i].output, kFFFD32);
        EXPECT_EQ(kinds.s16to32[i].output, kFFFD32);
        EXPECT_EQ(kinds.s8to16[i].input_calls + kinds.s8to32[i].input_calls, 0);
    }
    EXPECT_EQ(kinds.s32to16.output, kFFFD16);
    EXPECT_EQ(kinds.s32to8.output, Bytes8{'\x1A'});
    EXPECT_EQ(kinds.s16to8.output, Bytes8{'\x1A'});
    EXPECT_EQ(kinds.s16to8.input_calls + kinds.s32to8.input_calls + kinds.s32to16.input_calls, 0);

    // The byte substitute follows the converter's mode.
    AllKinds shifted(1);
    shifted.RaiseAt(behavior);
    EXPECT_EQ(shifted.s32to8.output, UnitsOf<char>("?!"));
    EXPECT_EQ(shifted.s16to8.output, UnitsOf<char>("?!"));
    EXPECT_EQ(shifted.s32to16.output, kFFFD16);  // Unicode output ignores the mode
}

TEST(Behavior, ExternalSubstituteReplacesTheEncodingsBytesUntilCleared) {
    UnicodeLibBehavior behavior(true);
    behavior.SetExternalSubstitute("<?>");
    AllKinds with(1);
    with.RaiseAt(behavior);
    EXPECT_EQ(with.s32to8.output, UnitsOf<char>("<?>"));
    EXPECT_EQ(with.s16to8.output, UnitsOf<char>("<?>"));
    EXPECT_EQ(with.s32to16.output, kFFFD16);  // only byte output uses it

    // The behaviour keeps its own copy of the string.
    char changing[] = "#";
    behavior.SetExternalSubstitute(changing);
    changing[0] = 'X';
    EXPECT_EQ(SubstituteOf(behavior), "#");
    behavior.SetExternalSubstitute(nullptr);
    EXPECT_EQ(SubstituteOf(behavior), "\x1A");
    behavior.SetExternalSubstitute("");  // an empty one writes nothing at all
    EXPECT_EQ(SubstituteOf(behavior), "");
}

// --- forwarding ------------------------------------------------------------------

// Overrides only the direction handlers and records which one ran.
class DirectionRecorder : public UnicodeLibBehavior {
public:
    DirectionRecorder() : UnicodeLibBehavior(false) {}
    void HandleExternalToInternalConversionProblem(CharToChar16ConversionProblem &) override {
        log += "8-16 ";
    }
    void HandleInternalToExternalConversionProblem(Char16ToCharConversionProblem &) override {
        log += "16-8 ";
    }
    void HandleCharToChar32ConversionProblem(CharToChar32ConversionProblem &) override {
        log += "8-32 ";
    }
    void HandleChar16ToChar32ConversionProblem(Char16ToChar32ConversionProblem &) override {
        log += "16-32 ";
    }
    void HandleChar32ToCharConversionProblem(Char32ToCharConversionProblem &) override {
        log += "32-8 ";
    }
    void HandleChar32ToChar16ConversionProblem(Char32ToChar16ConversionProblem &) override {
        log += "32-16 ";
    }
    std::string log;
};

// Overrides one kind handler only; the others still reach the direction.
class OneKindRecorder : public DirectionRecorder {
public:
    using UnicodeLibBehavior::HandleIllegalByteRange;
    void HandleIllegalByteRange(CharToChar32IllegalByteRange &) override { log += "kind "; }
};

TEST(Behavior, KindHandlersForwardVirtuallyToTheirDirection) {
    DirectionRecorder recorder;
    AllKinds kinds;
    kinds.RaiseAt(recorder);
    EXPECT_EQ(recorder.log, "16-32 8-32 8-16 16-32 8-32 8-16 32-16 32-8 16-8 ");
    // Nothing reached the default handling.
    EXPECT_TRUE(kinds.s8to16[0].output.empty());
    EXPECT_TRUE(kinds.s32to8.output.empty());

    OneKindRecorder one;
    AllKinds again;
    again.RaiseAt(one);
    EXPECT_EQ(one.log, "16-32 kind 8-16 16-32 8-32 8-16 32-16 32-8 16-8 ");
}

TEST(Behavior, AHandlerCanStopTheConversionByThrowing) {
    class Thrower : public UnicodeLibBehavior {
    public:
        Thrower() : UnicodeLibBehavior(false) {}
        void HandleInternalToExternalConversionProblem(Char16ToCharConversionProblem &) override {
            throw zu_logic_error();
        }
    } thrower;
    AllKinds kinds;
    EXPECT_THROW(kinds.RaiseAt(thrower), zu_logic_error);
}

// --- SGML --------------------------------------------------------------------------

TEST(BehaviorSGML, InsertsADecimalReferenceAsInput) {
    UnicodeLibBehaviorSGML sgml;
    AllKinds kinds;
    kinds.RaiseAt(sgml);
    EXPECT_EQ(kinds.s16to8.input, UnitsOf<unsigned short>("&#19968;"));
    EXPECT_EQ(kinds.s32to8.input, UnitsOf<unsigned int>("&#19968;"));
    EXPECT_EQ(kinds.s32to16.input, UnitsOf<unsigned int>("&#19968;"));
    EXPECT_EQ(kinds.s16to8.output.size() + kinds.s32to8.output.size() + kinds.s32to16.output.size(),
              0u);
    // Problems of other kinds get the ordinary substitutes.
    EXPECT_EQ(kinds.s8to16[0].output, kFFFD16);
    EXPECT_EQ(kinds.s16to32[1].output, kFFFD32);
}

// What the SGML behaviour inserts as input for a problem whose pointer is
// `at` units into `units`, in a block that starts `from` units into them.
std::string SgmlReference(std::vector<unsigned int> const & units, std::size_t at) {
    char out[4];
    Solver32to8 solver;
    Char32ToCharCharacterNotInRepertoire problem(Wide(), Bytes(), solver, units.data(),
                                                 units.data() + at, units.data() + units.size(),
                                                 out, out, 0u);
    UnicodeLibBehaviorSGML().HandleCharacterNotInRepertoire(problem);
    return std::string(solver.input.begin(), solver.input.end());
}

std::string SgmlReference(std::vector<unsigned short> const & units, std::size_t at,
                          std::size_t from = 0) {
    char out[4];
    Solver16to8 solver;
    Char16ToCharCharacterNotInRepertoire problem(Units(), Bytes(), solver, units.data() + from,
                                                 units.data() + at, units.data() + units.size(),
                                                 out, out, 0u);
    UnicodeLibBehaviorSGML().HandleCharacterNotInRepertoire(problem);
    return std::string(solver.input.begin(), solver.input.end());
}

TEST(BehaviorSGML, NamesTheUnitBeforeTheProblemPointer) {
    // A supplementary character from 32-bit input: its code point.
    EXPECT_EQ(SgmlReference(std::vector<unsigned int>{'a', 0x1F600, 'b'}, 2), "&#128512;");
    // The same character as a surrogate pair in 16-bit input: the pair is
    // named as one character, not as its second half.
    std::vector<unsigned short> const pair = {'a', 0xD83D, 0xDE00};
    EXPECT_EQ(SgmlReference(pair, 3), "&#128512;");
    // A low surrogate whose high half is outside the block: the unit itself.
    EXPECT_EQ(SgmlReference(pair, 3, 2), "&#56832;");
    // The value is written as "%d" writes the unit passed as an int.
    std::vector<unsigned int> const odd = {0xFFFFFFFFu, 0x80000000u, 0};
    EXPECT_EQ(SgmlReference(odd, 1) + SgmlReference(odd, 2) + SgmlReference(odd, 3),
              "&#-1;&#-2147483648;&#0;");
}

TEST(BehaviorSGML, CopiesSettingsAndWithoutAnOffendingUnitUsesTheSubstitute) {
    UnicodeLibBehavior plain(false);
    plain.SetAutoDetectTieBreakLevel(42);
    plain.SetExternalSubstitute("!");
    UnicodeLibBehaviorSGML from_pointer(&plain);
    UnicodeLibBehaviorSGML copy(from_pointer);
    UnicodeLibBehaviorSGML assigned;
    assigned = copy;
    EXPECT_EQ(from_pointer.AutoDetectTieBreakLevel() + copy.AutoDetectTieBreakLevel() +
                  assigned.AutoDetectTieBreakLevel(),
              3 * 42);
    // The substitute came along: it is used when there is no unit to name,
    // for want of input or with the problem at the start of the block.
    char out[2];
    unsigned int const unit[] = {0x4E00};
    Solver16to8 s16;
    Solver32to8 s32;
    Char16ToCharCharacterNotInRepertoire no_input(Units(), Bytes(), s16, nullptr, nullptr, nullptr,
                                                  out, out, 0u);
    assigned.HandleCharacterNotInRepertoire(no_input);
    Char32ToCharCharacterNotInRepertoire at_start(Wide(), Bytes(), s32, unit, unit, unit + 1, out,
                                                  out, 0u);
    assigned.HandleCharacterNotInRepertoire(at_start);
    EXPECT_EQ(s16.output, UnitsOf<char>("!"));
    EXPECT_EQ(s32.output, UnitsOf<char>("!"));
    EXPECT_EQ(s16.input_calls + s32.input_calls, 0);
}

// --- counting ------------------------------------------------------------------------

TEST(ErrorCountBehavior, CountsEveryProblemOnceAndStillSubstitutes) {
    error_count_behavior counter(false);
    EXPECT_EQ(counter.ErrorCount(), 0);
    AllKinds kinds;
    kinds.RaiseAt(counter);
    EXPECT_EQ(counter.ErrorCount(), 9);
    EXPECT_EQ(kinds.s8to16[0].output, kFFFD16);
    EXPECT_EQ(kinds.s16to8.output, Bytes8{'\x1A'});

    // Problems handed straight to a direction handler count too.
    char out[2];
    unsigned int const wide[] = {0x4E00};
    Solver32to8 s32;
    Char32ToCharConversionProblem direct(Wide(), Bytes(), s32, wide, wide + 1, wide + 1, out, out,
                                         0u);
    counter.HandleChar32ToCharConversionProblem(direct);
    EXPECT_EQ(counter.ErrorCount(), 10);
    EXPECT_EQ(s32.output, Bytes8{'\x1A'});
}

// --- copying and locks -----------------------------------------------------------------

// Exposes whether a behaviour has a lock.
class LockProbe : public UnicodeLibBehavior {
public:
    explicit LockProbe(bool locked) : UnicodeLibBehavior(locked) {}
    explicit LockProbe(UnicodeLibBehavior const & other) : UnicodeLibBehavior(other) {}
    explicit LockProbe(UnicodeLibBehavior const * other) : UnicodeLibBehavior(other) {}
    bool HasLock() const { return Lock() != nullptr; }
};

TEST(Behavior, CopiesAreDeepAndKeepTheirOwnLock) {
    UnicodeLibBehavior locked(true);
    locked.SetExternalSubstitute("first");
    locked.SetAutoDetectTieBreakLevel(7);
    locked.SetDisplayAutoDetectMessages(true);

    LockProbe copy(locked);
    EXPECT_TRUE(copy.HasLock() && copy.DisplayAutoDetectMessages());
    EXPECT_EQ(copy.AutoDetectTieBreakLevel(), 7);
    // Changing or destroying one leaves the other's string alone.
    locked.SetExternalSubstitute("second");
    {
        UnicodeLibBehavior temporary(locked);
        EXPECT_EQ(SubstituteOf(temporary), "second");
    }
    EXPECT_EQ(SubstituteOf(copy) + SubstituteOf(locked), "firstsecond");

    EXPECT_FALSE(LockProbe(UnicodeLibBehavior(false)).HasLock());
    LockProbe from_pointer(&locked);
    EXPECT_TRUE(from_pointer.HasLock());
    EXPECT_EQ(SubstituteOf(from_pointer), "second");
    LockProbe from_null(static_cast<UnicodeLibBehavior const *>(nullptr));
    EXPECT_FALSE(from_null.HasLock());
    EXPECT_EQ(from_null.AutoDetectTieBreakLevel(), 100);

    // Assignment and Copy copy settings; the target keeps its lock or lack of one.
    LockProbe unlocked(false);
    unlocked = copy;
    EXPECT_FALSE(unlocked.HasLock());
    EXPECT_EQ(SubstituteOf(unlocked), "first");
    unlocked.Copy(UnicodeLibBehavior(false));  // clears the substitute
    EXPECT_EQ(SubstituteOf(unlocked), "\x1A");
    EXPECT_EQ(unlocked.AutoDetectTieBreakLevel(), 100);

    // Copying from itself changes nothing.
    locked.Copy(locked);
    locked = *&locked;
    EXPECT_EQ(SubstituteOf(locked), "second");
    EXPECT_EQ(locked.AutoDetectTieBreakLevel(), 7);
}

TEST(Behavior, LockedBehaviorServesSeveralThreadsWhileItsSubstituteChanges) {
    UnicodeLibBehavior shared(true);
    std::atomic<bool> stop{false};
    std::atomic<int> bad{0};

    auto convert = [&] {
        unsigned int const wide[] = {0x4E00};
        char out[2];
        for (int i = 0; i < 3000; ++i) {
            Solver32to8 solver;
            Char32ToCharCharacterNotInRepertoire problem(Wide(), Bytes(), solver, wide, wide + 1,
                                                         wide + 1, out, out, 0u);
            shared.HandleCharacterNotInRepertoire(problem);
            std::string const got(solver.output.begin(), solver.output.end());
            if (got != "AB" && got != "XYZ" && got != "\x1A")
                ++bad;
        }
    };
    std::thread changer([&] {
        char const * const values[] = {"AB", "XYZ", nullptr};
        UnicodeLibBehavior mirror(true);
        for (unsigned i = 0; !stop; ++i) {
            shared.SetExternalSubstitute(values[i % 3]);
            mirror.Copy(shared);  // copying from a behaviour in use
            shared.SetAutoDetectTieBreakLevel(static_cast<unsigned char>(i % 200));
        }
    });
    std::thread first(convert), second(convert);
    first.join();
    second.join();
    stop = true;
    changer.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_LE(shared.AutoDetectTieBreakLevel(), 100);
}

// --- the process-wide default ----------------------------------------------------------

TEST(DefaultBehavior, StartsAsTheInitialOneAndSettingNullChangesNothing) {
    UnicodeLibBehavior * const current = UnicodeLibBehavior::GetDefaultBehavior();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current, &UnicodeLibBehavior::gInitialDefaultBehavior);

    UnicodeLibBehaviorSGML mine;
    // Each call returns the previous default; null changes nothing.
    for (auto [set, previous, now] :
         {std::tuple<UnicodeLibBehavior *, UnicodeLibBehavior *, UnicodeLibBehavior *>{
              nullptr, current, current},
          {&mine, current, &mine},
          {nullptr, &mine, &mine},
          {current, &mine, current}}) {
        EXPECT_EQ(UnicodeLibBehavior::SetDefaultBehavior(set), previous);
        EXPECT_EQ(UnicodeLibBehavior::GetDefaultBehavior(), now);
    }
}

TEST(DefaultBehavior, TheInitialDefaultSubstitutesAndCanBeConfigured) {
    UnicodeLibBehavior & initial = UnicodeLibBehavior::gInitialDefaultBehavior;
    LockProbe probe(initial);  // copies carry a lock when the original has one
    EXPECT_TRUE(probe.HasLock());
    AllKinds kinds;
    kinds.RaiseAt(initial);
    EXPECT_EQ(kinds.s8to16[1].output, kFFFD16);
    EXPECT_EQ(kinds.s16to8.output, Bytes8{'\x1A'});
    initial.SetExternalSubstitute("?");
    EXPECT_EQ(SubstituteOf(initial), "?");
    initial.SetExternalSubstitute(nullptr);
    EXPECT_EQ(SubstituteOf(initial), "\x1A");
}

}  // namespace
