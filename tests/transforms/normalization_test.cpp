// NormalizationTransform and NormalizationTransform16: the Unicode 4.0.0
// conformance file in full (both transforms, whole lines, all lines joined,
// sources with small windows), the offsets, and the behaviour around windows.
#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/utf16_support.h"
#include "zuuc/character_test.h"
#include "zuuc/normalization.h"

namespace {

using zuuc_test::utf16::ToUTF16;
using zuuc_test::utf16::u16;
using zuuc_test::utf16::u32;
using zuuc_test::utf16::Units16;
using zuuc_test::utf16::Units32;
using Form = NormalizationTransform::Form;

constexpr Form kForms[] = {NormalizationTransform::NFD, NormalizationTransform::NFC,
                           NormalizationTransform::NFKD, NormalizationTransform::NFKC};
char const * const kFormNames[] = {"NFD", "NFC", "NFKD", "NFKC"};

Units32 ToUTF32(Units16 const & units) {
    Units32 out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        u32 c = units[i];
        if (c - 0xD800 < 0x400 && i + 1 < units.size() && units[i + 1] - 0xDC00u < 0x400) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        }
        out.push_back(c);
    }
    return out;
}

// Output and offset map of one run of a transform. The reader takes a
// random part of each window when given an rng.
template <class Unit>
struct Result {
    std::vector<Unit> units;
    std::vector<unsigned> offsets;
};

template <class Unit, class Source>
Result<Unit> Drain(Source & source, std::mt19937 * rng) {
    Result<Unit> r;
    Unit const * begin;
    Unit const * end;
    while (source.GetBuffer(begin, end)) {
        unsigned * map = nullptr;
        unsigned count = 0;
        EXPECT_TRUE(source.GetOffsetMap(map, count));
        EXPECT_EQ(count, static_cast<unsigned>(end - begin));
        Unit const * stop = rng ? begin + std::uniform_int_distribution<long>(1, end - begin)(*rng) : end;
        if (sizeof(Unit) == 2 && rng == nullptr) {
            EXPECT_FALSE(end[-1] >= 0xD800 && end[-1] < 0xDC00) << "a window ends inside a pair";
        }
        r.units.insert(r.units.end(), begin, stop);
        r.offsets.insert(r.offsets.end(), map, map + (stop - begin));
        source.DoneWith(stop);
    }
    return r;
}

Result<u32> Run32(Units32 const & text, Form form, std::vector<std::size_t> pieces = {},
                  std::mt19937 * rng = nullptr, CharacterTest const * test = nullptr) {
    zuuc_test::utf16::Unit32Source source(text, std::move(pieces));
    NormalizationTransform t(source, form, test);
    return Drain<u32>(t, rng);
}

Result<u16> Run16(Units16 const & text, Form form, std::vector<std::size_t> pieces = {},
                  std::mt19937 * rng = nullptr, CharacterTest const * test = nullptr) {
    zuuc_test::utf16::Unit16Source source(text, std::move(pieces));
    NormalizationTransform16 t(source, static_cast<NormalizationTransform16::Form>(form), test);
    return Drain<u16>(t, rng);
}

Units32 Nf(Units32 const & text, Form form) { return Run32(text, form).units; }

// --- the conformance file -------------------------------------------------------------

struct TestLine {
    int part;
    Units32 c[5];
};

std::vector<TestLine> const & Lines() {
    static std::vector<TestLine> lines = [] {
        std::vector<TestLine> out;
        std::ifstream in(ZUUC_DATA_DIR "/ucd/NormalizationTest.txt");
        std::string line;
        int part = -1;
        while (std::getline(in, line)) {
            if (line.rfind("@Part", 0) == 0) part = line[5] - '0';
            line = line.substr(0, line.find('#'));
            if (line.empty() || line[0] == '@') continue;
            TestLine t{part, {}};
            std::istringstream fields(line);
            for (auto & column : t.c) {
                std::string field;
                std::getline(fields, field, ';');
                std::istringstream cps(field);
                u32 cp;
                while (cps >> std::hex >> cp) column.push_back(cp);
            }
            out.push_back(t);
        }
        return out;
    }();
    return lines;
}

// The header's invariants: for each form, which column every column maps to
// (NFC: c1..c3 -> c2 and c4, c5 -> c4; NFD: c1..c3 -> c3 and c4, c5 -> c5;
// NFKC: all -> c4; NFKD: all -> c5).
int Expected(int form, int column) {
    switch (form) {
        case 0: return column < 3 ? 2 : 4;
        case 1: return column < 3 ? 1 : 3;
        case 2: return 4;
        default: return 3;
    }
}

// Each column of every line, joined by spaces into one long text (a space
// never composes and stops reordering, so the expected text is the join of
// the expected columns); read through small and random windows.
class JoinedLines : public ::testing::TestWithParam<int> {};

TEST_P(JoinedLines, AllLinesAsOneText) {
    ASSERT_EQ(Lines().size(), 17123u);
    int const f = GetParam();
    for (int c = 0; c < 5; ++c) {
        Units32 text;
        Units32 want;
        for (auto const & t : Lines()) {
            text.insert(text.end(), t.c[c].begin(), t.c[c].end());
            want.insert(want.end(), t.c[Expected(f, c)].begin(), t.c[Expected(f, c)].end());
            text.push_back(' ');
            want.push_back(' ');
        }
        std::mt19937 rng(static_cast<unsigned>(f * 5 + c));
        EXPECT_EQ(Run32(text, kForms[f]).units, want) << "column " << c + 1;
        EXPECT_EQ(Run32(text, kForms[f], zuuc_test::utf16::RandomPieces(rng, text.size(), 7), &rng).units, want);
        Units16 text16 = ToUTF16(text);
        EXPECT_EQ(ToUTF32(Run16(text16, kForms[f]).units), want) << "column " << c + 1;
        EXPECT_EQ(ToUTF32(Run16(text16, kForms[f], zuuc_test::utf16::RandomPieces(rng, text16.size(), 5), &rng).units),
                  want);
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, JoinedLines, ::testing::Range(0, 4),
                         [](::testing::TestParamInfo<int> const & i) { return std::string(kFormNames[i.param]); });

// Part 1's second invariant: every code point not listed in c1 of part 1 is
// its own normalization in all four forms.
TEST(NormalizationConformance, EveryOtherCodePointUnchanged) {
    std::set<u32> listed;
    for (auto const & t : Lines()) {
        if (t.part == 1) listed.insert(t.c[0][0]);
    }
    Units32 text;
    for (u32 c = 0; c < 0x110000; ++c) {
        if (listed.count(c) || (c >= 0xD800 && c < 0xE000)) continue;
        text.push_back(c);
        text.push_back(' ');
    }
    Units16 text16 = ToUTF16(text);
    for (int f = 0; f < 4; ++f) {
        Result<u32> r = Run32(text, kForms[f]);
        EXPECT_TRUE(r.units == text) << kFormNames[f];
        EXPECT_TRUE(Run16(text16, kForms[f]).units == text16) << kFormNames[f];
        std::vector<unsigned> identity(text.size());
        for (std::size_t i = 0; i < identity.size(); ++i) identity[i] = static_cast<unsigned>(i);
        EXPECT_TRUE(r.offsets == identity) << kFormNames[f];
    }
}

// --- offsets ------------------------------------------------------------------------

struct OffsetCase {
    Form form;
    Units32 input;
    Units32 output;
    std::vector<unsigned> offsets;
};

class Offsets : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(Offsets, MapAndOffsetAtAgree) {
    OffsetCase const & k = GetParam();
    zuuc_test::utf16::Unit32Source source(k.input, {1});
    NormalizationTransform t(source, k.form);
    Result<u32> r = Drain<u32>(t, nullptr);
    EXPECT_EQ(r.units, k.output);
    EXPECT_EQ(r.offsets, k.offsets);
    for (unsigned i = 0; i < k.offsets.size(); ++i) EXPECT_EQ(t.GetOffsetAt(i), k.offsets[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Offsets,
    ::testing::Values(
        OffsetCase{NormalizationTransform::NFD, {0xC5, 'x'}, {'A', 0x30A, 'x'}, {0, 0, 1}},
        OffsetCase{NormalizationTransform::NFKD, {'a', 0xFB01, 'b'}, {'a', 'f', 'i', 'b'}, {0, 1, 1, 2}},
        OffsetCase{NormalizationTransform::NFD, {0xAC01}, {0x1100, 0x1161, 0x11A8}, {0, 0, 0}},
        OffsetCase{NormalizationTransform::NFC, {0x1100, 0x1161, 0x11A8, 'z'}, {0xAC01, 'z'}, {0, 3}},
        OffsetCase{NormalizationTransform::NFC, {'A', 0x301, 0x301}, {0xC1, 0x301}, {0, 2}},
        // a mark that sorts before the one that composes keeps its own offset
        OffsetCase{NormalizationTransform::NFC, {'e', 0x301, 0x316}, {0xE9, 0x316}, {0, 2}},
        // full stable sort: 216, 220, 230
        OffsetCase{NormalizationTransform::NFD, {'a', 0x301, 0x316, 0x31B}, {'a', 0x31B, 0x316, 0x301}, {0, 3, 2, 1}},
        // an L jamo at the very end is kept
        OffsetCase{NormalizationTransform::NFC, {'k', 0x1100}, {'k', 0x1100}, {0, 1}},
        // not a form: passes through
        OffsetCase{static_cast<Form>(4), {0xC5, 'A', 0x30A}, {0xC5, 'A', 0x30A}, {0, 1, 2}}));

// For a decomposition, the units that map to one input unit are that unit's
// own decomposition; for a composition, the decomposition of each unit
// starts with a code point of the decomposition of the unit it maps to. Checked on the
// joined conformance text read through random windows.
TEST(NormalizationOffsets, EveryUnitMapsToItsSource) {
    std::mt19937 rng(7);
    Units32 text;
    for (auto const & t : Lines()) {
        text.insert(text.end(), t.c[0].begin(), t.c[0].end());
        text.push_back(' ');
    }
    std::map<u32, Units32> nfd, nfkd;
    for (u32 c : text) {
        if (!nfd.count(c)) {
            nfd[c] = Nf({c}, NormalizationTransform::NFD);
            nfkd[c] = Nf({c}, NormalizationTransform::NFKD);
        }
    }
    for (int f = 0; f < 4; ++f) {
        zuuc_test::utf16::Unit32Source pieces(text, zuuc_test::utf16::RandomPieces(rng, text.size(), 300));
        NormalizationTransform t(pieces, kForms[f]);
        Result<u32> r = Drain<u32>(t, &rng);
        ASSERT_EQ(r.units.size(), r.offsets.size());
        // The offsets of the positions produced last stay known, window after window.
        for (std::size_t i = r.offsets.size() - 500; i < r.offsets.size(); ++i) {
            ASSERT_EQ(t.GetOffsetAt(static_cast<unsigned>(i)), r.offsets[i]) << i;
        }
        std::map<unsigned, std::multiset<u32>> groups;
        for (std::size_t i = 0; i < r.units.size(); ++i) {
            ASSERT_LT(r.offsets[i], text.size());
            u32 const source = text[r.offsets[i]];
            if (f == 0 || f == 2) {
                groups[r.offsets[i]].insert(r.units[i]);
            } else {
                Units32 const & from = (f == 1 ? nfd : nfkd)[source];
                Units32 d = Nf({r.units[i]}, f == 1 ? NormalizationTransform::NFD : NormalizationTransform::NFKD);
                ASSERT_TRUE(std::count(from.begin(), from.end(), d[0]) > 0)
                    << "output " << i << " " << std::hex << r.units[i] << " from " << source << " at " << std::dec << r.offsets[i];
            }
        }
        for (auto const & g : groups) {
            Units32 const & d = (f == 0 ? nfd : nfkd)[text[g.first]];
            EXPECT_EQ(g.second, std::multiset<u32>(d.begin(), d.end())) << "input " << g.first;
        }
    }
}

// In UTF-16, a supplementary decomposition maps all its units to the pair's
// first unit; the 32-bit transform over a UTF-16 source counts code points.
TEST(NormalizationOffsets, SupplementaryCharacters) {
    Units16 supplementary = ToUTF16({'a', 0x1D15E, 'b', 0x1D160});
    Result<u16> s = Run16(supplementary, NormalizationTransform::NFD, {1});
    EXPECT_EQ(ToUTF32(s.units), (Units32{'a', 0x1D157, 0x1D165, 'b', 0x1D158, 0x1D165, 0x1D16E}));
    EXPECT_EQ(s.offsets, (std::vector<unsigned>{0, 1, 1, 1, 1, 3, 4, 4, 4, 4, 4, 4}));
    zuuc_test::utf16::Unit16Source source(ToUTF16({0x1D15E, 0xC5}), {1});
    NormalizationTransform t(source, NormalizationTransform::NFD);
    Result<u32> r = Drain<u32>(t, nullptr);
    EXPECT_EQ(r.units, (Units32{0x1D157, 0x1D165, 'A', 0x30A}));
    EXPECT_EQ(r.offsets, (std::vector<unsigned>{0, 0, 1, 1}));
}

// --- windows and the test ---------------------------------------------------------------

class RefusesOne : public CharacterTest {
public:
    explicit RefusesOne(u32 c) : c_(c) {}
    CharacterTest * Clone() const override { return new RefusesOne(c_); }

protected:
    bool Test(unsigned int c) const override { return c != c_; }

private:
    u32 c_;
};

TEST(NormalizationTest, RefusedCharactersPassUnchanged) {
    RefusesOne no_ring(0xC5);
    EXPECT_EQ(Run32({0xC5, 0xC4}, NormalizationTransform::NFD, {}, nullptr, &no_ring).units,
              (Units32{0xC5, 'A', 0x308}));
    RefusesOne no_acute(0x301);
    EXPECT_EQ(Run32({'e', 0x301, 'e', 0x300}, NormalizationTransform::NFC, {}, nullptr, &no_acute).units,
              (Units32{'e', 0x301, 0xE8}));
    EXPECT_EQ(Run16({0xE9, 'e', 0x301}, NormalizationTransform::NFD, {}, nullptr, &no_acute).units,
              (Units16{'e', 0x301, 'e', 0x301}));
}

// Found by fuzz_normalize: NFC left a precomposed letter below U+0300
// undecomposed, so a mark of a lower class after it was not put before its
// own mark (a-circumflex + dot below stayed as it was instead of U+1EAD).
TEST(NormalizationTest, LatinLetterTakesAMarkOfLowerClass) {
    EXPECT_EQ(Run32({0xE2, 0x323}, NormalizationTransform::NFC, {}, nullptr, nullptr).units, (Units32{0x1EAD}));
    EXPECT_EQ(Run32({0xE2, 0x307, 0x323}, NormalizationTransform::NFC, {}, nullptr, nullptr).units,
              (Units32{0x1EAD, 0x307}));
    EXPECT_EQ(Run16({'x', 0xEA, 0x323}, NormalizationTransform::NFC, {}, nullptr, nullptr).units,
              (Units16{'x', 0x1EC7}));
}

// Reading allocates nothing: the heap in use stays as it was once the
// transform is built, window after window.
#if defined(__SANITIZE_ADDRESS__)
#define ZUUC_NORMALIZATION_MALLINFO 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZUUC_NORMALIZATION_MALLINFO 0
#endif
#endif
#ifndef ZUUC_NORMALIZATION_MALLINFO
#define ZUUC_NORMALIZATION_MALLINFO 1
#endif

TEST(NormalizationTest, NoHeapPerWindow) {
#if ZUUC_NORMALIZATION_MALLINFO
    Units16 const piece = {0xE9, 'a', 0x301, 0x316, 0xAC01, 0x1100, 0x1161, 0x4E00};
    Units16 text;
    for (int i = 0; i < 4000; ++i) text.insert(text.end(), piece.begin(), piece.end());
    for (Form form : kForms) {
        zuuc_test::utf16::Unit16Source source(text, std::vector<std::size_t>(text.size() / 100, 100));
        NormalizationTransform16 t(source, static_cast<NormalizationTransform16::Form>(form));
        std::size_t const before = mallinfo2().uordblks;
        u16 const * begin;
        u16 const * end;
        unsigned * map;
        unsigned count;
        while (t.GetBuffer(begin, end)) {
            t.GetOffsetMap(map, count);
            t.DoneWith(end);
            ASSERT_EQ(mallinfo2().uordblks, before);
        }
    }
#else
    GTEST_SKIP() << "heap statistics are not kept under AddressSanitizer";
#endif
}

}  // namespace
