// Collation by the default table: the reference order of the Unicode
// Collation Algorithm, keys against direct comparison, the key format,
// table files and their failures, key storage and heap use.
#include "zuuc/collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/utf16_support.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/exceptions.h"
#include "zuuc/normalization.h"
#include "zuuc/sources.h"

namespace {

std::atomic<long> gAllocations{0};

}  // namespace

// Counts every allocation of the process (the library's included).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void * operator new(std::size_t size) {
    ++gAllocations;
    if (void * p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void * operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void * p) noexcept {
    std::free(p);
}
void operator delete[](void * p) noexcept {
    std::free(p);
}
void operator delete(void * p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void * p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using Text = std::vector<unsigned int>;
using zuuc_test::utf16::ToUTF16;

Text Decode(std::string const & s) {  // UTF-8, well formed
    BufferCharSource bytes(s.data(), s.data() + s.size());
    Char32EncodingConverter text(bytes, CharEncoding::UTF8(), Char32Encoding::UTF32());
    return zuuc_test::utf8::ReadAll32(text);
}

std::vector<unsigned char> ReadFile(std::string const & path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

void WriteFile(std::string const & path, std::vector<unsigned char> const & bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<char const *>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::string const kTablePath =
    std::string(ZUUC_SOURCE_DIR) + "/src/collation/generated/default.zct";

std::vector<unsigned int> TableWords() {
    std::vector<unsigned char> bytes = ReadFile(kTablePath);
    std::vector<unsigned int> words(bytes.size() / 4);
    std::memcpy(words.data(), bytes.data(), words.size() * 4);
    return words;
}

std::vector<unsigned char> KeyOf(CollationSequence const & seq, Text const & s) {
    CollationKey key;
    CollationAlgorithm::MakeKey(key, seq, s.data(), static_cast<int>(s.size()));
    return {key.Data(), key.Data() + key.Length()};
}

Text Normalized(Text const & s, NormalizationTransform::Form form) {
    BufferChar32Source source(s.data(), s.data() + s.size());
    NormalizationTransform t(source, form);
    return zuuc_test::utf8::ReadAll32(t);
}

int Direct(CollationSequence const & seq, Text a, Text b) {
    a.push_back(0);
    b.push_back(0);
    return CollationAlgorithm::Compare(seq, a.data(), b.data());
}

int ByKeys(CollationSequence const & seq, Text const & a, Text const & b) {
    return CollationAlgorithm::Compare(KeyOf(seq, a).data(), KeyOf(seq, b).data());
}

class Collation : public ::testing::Test {
protected:
    static void SetUpTestSuite() { default_ = new CollationSequence(); }
    static void TearDownTestSuite() { delete default_; }
    static CollationSequence * default_;
};
CollationSequence * Collation::default_ = nullptr;

TEST_F(Collation, WordListSortsInTheReferenceOrder) {
    std::ifstream f(std::string(ZUUC_SOURCE_DIR) + "/tests/collation/uca_order.txt");
    std::vector<Text> expected;
    for (std::string line; std::getline(f, line);) {
        if (!line.empty() && line[0] != '#')
            expected.push_back(Decode(line));
    }
    ASSERT_GT(expected.size(), 300u);
    std::vector<Text> direct = expected;
    std::shuffle(direct.begin(), direct.end(), std::mt19937(21));
    std::vector<Text> keyed = direct;
    CollationSequence const & seq = *default_;
    std::sort(direct.begin(), direct.end(),
              [&](Text const & a, Text const & b) { return Direct(seq, a, b) < 0; });
    std::sort(keyed.begin(), keyed.end(),
              [&](Text const & a, Text const & b) { return ByKeys(seq, a, b) < 0; });
    EXPECT_TRUE(direct == expected);
    EXPECT_TRUE(keyed == expected);
    for (std::size_t i = 1; i < expected.size(); ++i) {
        EXPECT_EQ(Direct(seq, expected[i - 1], expected[i]), -1) << i;
    }
}

// Random strings cut from real text in several scripts, then varied (case,
// marks, ideographs, unassigned and non-characters, Thai vowels, swaps), and
// random code points: keys and direct comparison agree, whatever the
// alternate handling and level direction of the table.
TEST_F(Collation, KeysAgreeWithDirectComparison) {
    std::vector<Text> corpus;
    for (char const * name : {"ja", "ko", "ru", "we", "zh_CN", "zh_TW", "accented"}) {
        std::ifstream f(std::string(ZUUC_DATA_DIR) + "/bench/" + name + ".txt");
        std::stringstream all;
        all << f.rdbuf();
        corpus.push_back(Decode(all.str()));
        ASSERT_GT(corpus.back().size(), 1000u) << name;
    }
    unsigned int const extras[] = {0x0301, 0x0308, 0x0323, 0x031B, 0x3099,  0x0E40,    0x0E01,
                                   0x0EC0, 0x0418, 0x0306, 0x0FB2, 0x0F71,  0x0F80,    0xFFFE,
                                   0xFFFF, 0xD800, 0x4E00, 0x3400, 0x20000, 0x10FFFF,  0x110000,
                                   0x0020, 0x002D, 0x00DF, 0xAC00, 0x1D400, 0x0000FFFD};
    std::mt19937 rng(421);
    auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
    };
    auto make = [&]() {
        Text s;
        if (pick(8) == 0) {
            for (std::size_t k = pick(8); k > 0; --k)
                s.push_back(static_cast<unsigned int>(pick(0x110000)));
            return s;
        }
        Text const & src = corpus[pick(corpus.size())];
        std::size_t const at = pick(src.size() - 20);
        s.assign(src.begin() + static_cast<long>(at),
                 src.begin() + static_cast<long>(at + pick(16)));
        return s;
    };
    auto vary = [&](Text s) {
        for (std::size_t k = pick(3); k > 0; --k) {
            std::size_t const at = s.empty() ? 0 : pick(s.size() + 1);
            switch (pick(5)) {
                case 0:
                    s.insert(s.begin() + static_cast<long>(at), extras[pick(std::size(extras))]);
                    break;
                case 1:
                    if (at < s.size())
                        s[at] ^= 0x20;
                    break;
                case 2:
                    if (at < s.size())
                        s.erase(s.begin() + static_cast<long>(at));
                    break;
                case 3:
                    if (at + 1 < s.size())
                        std::swap(s[at], s[at + 1]);
                    break;
                default:
                    s.insert(s.begin() + static_cast<long>(at),
                             static_cast<unsigned int>(pick(0x30000)));
                    break;
            }
        }
        std::replace(s.begin(), s.end(), 0u, 0x41u);
        return s;
    };
    std::vector<unsigned int> words = TableWords();
    std::size_t const flags = words[6];
    for (unsigned int variant = 0; variant < 6; ++variant) {
        std::vector<unsigned int> table = words;
        table[1] += variant;
        table[3] = variant < 4 ? variant : 2;
        table[flags + 2] = variant == 4;  // secondaries backwards
        table[flags + 3] = variant == 5;  // tertiaries backwards
        CollationSequence const seq(table.data());
        int signs[3] = {0, 0, 0};
        for (int round = 0; round < 1500; ++round) {
            Text const a = make();
            Text const b = pick(2) ? vary(a) : make();
            int const d = Direct(seq, a, b);
            std::vector<unsigned char> const ka = KeyOf(seq, a);
            ASSERT_EQ(d, CollationAlgorithm::Compare(ka.data(), KeyOf(seq, b).data()))
                << "variant " << variant << " round " << round;
            ASSERT_EQ(CollationAlgorithm::LengthOf(ka.data()), static_cast<int>(ka.size()));
            ++signs[d + 1];
            if (variant == 0) {  // canonically equivalent strings have one key
                std::vector<unsigned char> const kb = KeyOf(seq, b);
                ASSERT_EQ(kb, KeyOf(seq, Normalized(b, NormalizationTransform::NFD))) << round;
                ASSERT_EQ(kb, KeyOf(seq, Normalized(b, NormalizationTransform::NFC))) << round;
                ASSERT_EQ(ka, KeyOf(seq, Normalized(a, NormalizationTransform::NFC))) << round;
            }
            if (round % 8 == 0) {  // the UTF-16 form builds the same key
                zuuc_test::utf16::Units16 u = ToUTF16(a);
                CollationKey k16;
                CollationAlgorithm::MakeKey(k16, seq, u.data(), static_cast<int>(u.size()));
                ASSERT_TRUE(
                    std::equal(ka.begin(), ka.end(), k16.Data(), k16.Data() + k16.Length()));
            }
        }
        EXPECT_GT(signs[0], 100);
        EXPECT_GT(signs[1], 50);
        EXPECT_GT(signs[2], 100);
    }
}

// A long run of marks keeps the key of its normalized forms.
TEST_F(Collation, LongMarkRunsKeepTheKeyOfTheirNormalizedForms) {
    CollationSequence const seq;
    for (std::size_t run : {40, 300}) {
        Text text = {0x2B};
        text.insert(text.end(), run, 0x0302);
        text.insert(text.end(), {0x031C, 0x0302, 0x8302, 0x0200});
        std::vector<unsigned char> const key = KeyOf(seq, text);
        EXPECT_EQ(key, KeyOf(seq, Normalized(text, NormalizationTransform::NFD))) << run;
        EXPECT_EQ(key, KeyOf(seq, Normalized(text, NormalizationTransform::NFC))) << run;
    }
}

TEST_F(Collation, KeyFormat) {
    CollationSequence const & seq = *default_;
    unsigned int const sig = seq.Signature();
    CollationKey key;
    unsigned short const none[1] = {0};
    CollationAlgorithm::MakeKey(key, seq, none, 0);
    std::vector<unsigned char> const empty = {static_cast<unsigned char>(sig >> 24),
                                              static_cast<unsigned char>(sig >> 16),
                                              static_cast<unsigned char>(sig >> 8),
                                              static_cast<unsigned char>(sig),
                                              1,
                                              1,
                                              1,
                                              1,
                                              1,
                                              1};
    EXPECT_EQ(std::vector<unsigned char>(key.Data(), key.Data() + key.Length()), empty);
    EXPECT_EQ(key.Signature(), sig);
    // Levels 1 and 4 are read in pairs: 01 05 and 02 01 01 03 are weights.
    unsigned char const pairs[] = {0, 0, 0, 1, 1, 5, 2, 1, 1, 3, 1, 1, 7, 1, 1, 1, 5, 1, 1, 9};
    EXPECT_EQ(CollationAlgorithm::LengthOf(pairs), 19);
    EXPECT_EQ(CollationAlgorithm::LengthOf(nullptr), 0);
    EXPECT_EQ(CollationAlgorithm::SignatureOf(pairs), 1u);
    // A high surrogate without its low half: the empty string.
    unsigned short const lone[] = {0x61, 0xD800, 0x62, 0};
    CollationAlgorithm::MakeKey(key, seq, lone, -1);
    EXPECT_EQ(std::vector<unsigned char>(key.Data(), key.Data() + key.Length()), empty);
    // Alternate handling 0 and 1: level 4 stays empty; shifted: punctuation
    // weighs at level 4 only.
    std::vector<unsigned int> words = TableWords();
    Text const hyphen = Decode("co-op");
    Text const plain = Decode("coop");
    EXPECT_EQ(Direct(seq, hyphen, plain), -1);
    for (unsigned int alternate : {0u, 1u}) {
        words[3] = alternate;
        CollationSequence const other(words.data());
        std::vector<unsigned char> const k = KeyOf(other, hyphen);
        EXPECT_EQ(std::vector<unsigned char>(k.end() - 4, k.end()),
                  std::vector<unsigned char>({2, 1, 1, 1}));
        EXPECT_EQ(Direct(other, hyphen, plain), alternate == 0 ? 0 : -1);
    }
}

TEST_F(Collation, KeysOfTablesWithOtherSignaturesDoNotCompare) {
    std::vector<unsigned int> words = TableWords();
    words[1] ^= 0x5A5A5A5A;
    CollationSequence const other(words.data());
    Text const s = Decode("same");
    std::vector<unsigned char> const mine = KeyOf(*default_, s);
    std::vector<unsigned char> const theirs = KeyOf(other, s);
    EXPECT_TRUE(std::equal(mine.begin() + 4, mine.end(), theirs.begin() + 4, theirs.end()));
    EXPECT_THROW(CollationAlgorithm::Compare(mine.data(), theirs.data()), zu_logic_error);
    EXPECT_EQ(CollationAlgorithm::Compare(mine.data(), mine.data()), 0);
}

TEST_F(Collation, TableFiles) {
    std::string const dir = std::string(ZUUC_BINARY_DIR) + "/collation_test_files/";
    std::filesystem::create_directories(dir);
    std::vector<unsigned char> const good = ReadFile(kTablePath);
    struct Case {
        char const * name;
        std::vector<unsigned char> bytes;
    };
    std::vector<unsigned char> const shuffled = [&] {
        std::vector<unsigned char> b = good;
        b[4 * 7] ^= 0x40;  // the trie's offset points elsewhere
        return b;
    }();
    Case const corrupt[] = {
        {"empty.zct", {}},
        {"six.zct", {0xFF, 0xFE, 0, 0, 1, 2}},
        {"cut.zct", std::vector<unsigned char>(good.begin(), good.begin() + 4000)},
        {"cut-odd.zct", std::vector<unsigned char>(good.begin(), good.begin() + 4001)},
        {"cut-end.zct", std::vector<unsigned char>(good.begin(), good.end() - 4)},
        {"no-mark.zct", std::vector<unsigned char>(good.size(), 0x33)},
        {"moved-trie.zct", shuffled},
        // Found by fuzz_collation: the first trie word at 0 makes the trie's
        // offsets read as elements, whose weights 01 cut keys short.
        {"trie-offsets-as-weights.zct",
         [&] {
             std::vector<unsigned int> w = TableWords();
             w[w[7]] = 0;
             std::vector<unsigned char> b(w.size() * 4);
             std::memcpy(b.data(), w.data(), b.size());
             return b;
         }()},
    };
    for (Case const & c : corrupt) {
        WriteFile(dir + c.name, c.bytes);
        EXPECT_THROW(CollationSequence s((dir + c.name).c_str()),
                     zu_collation_file_corruption_error)
            << c.name;
    }
    EXPECT_THROW(CollationSequence s((dir + "missing.zct").c_str()), zu_collation_file_error);
    EXPECT_THROW(CollationSequence s(static_cast<char const *>(nullptr)), zu_collation_file_error);

    std::vector<unsigned char> swapped = good;
    for (std::size_t i = 0; i < swapped.size(); i += 4) {
        std::swap(swapped[i], swapped[i + 3]);
        std::swap(swapped[i + 1], swapped[i + 2]);
    }
    WriteFile(dir + "swapped.zct", swapped);
    CollationSequence const native(kTablePath.c_str());
    CollationSequence const other((dir + "swapped.zct").c_str());
    EXPECT_EQ(std::memcmp(native.Data(), other.Data(), good.size()), 0);
    EXPECT_EQ(other.Signature(), default_->Signature());
    EXPECT_EQ(std::memcmp(native.Data(), default_->Data(), good.size()), 0);
}

TEST_F(Collation, KeyStorage) {
    std::vector<unsigned char> const k = KeyOf(*default_, Decode("Straße"));
    int const n = static_cast<int>(k.size());
    unsigned char buffer[256];
    CollationKey in_buffer(buffer, n, k.data(), 0);  // 0: the key's own length
    EXPECT_EQ(in_buffer.Data(), buffer);
    EXPECT_EQ(in_buffer.Length(), n);
    std::vector<unsigned char> const longer = KeyOf(*default_, Decode("Straßenbahnhaltestelle"));
    EXPECT_THROW(in_buffer.copy_key(longer.data(), 0), zu_collation_key_overflow);
    EXPECT_EQ(in_buffer.Length(), n);
    EXPECT_THROW(CollationKey(buffer, n - 1, k.data(), n), zu_collation_key_overflow);
    CollationKey owned(longer.data(), 0);
    CollationKey copy = owned;
    EXPECT_NE(copy.Data(), owned.Data());
    EXPECT_TRUE(copy == owned);
    EXPECT_TRUE(in_buffer < owned && in_buffer <= owned && owned > in_buffer && owned >= in_buffer);
    EXPECT_TRUE(in_buffer != owned);
    CollationKey in_other(buffer + n, 256 - n, in_buffer);
    EXPECT_THROW(in_buffer = copy, zu_collation_key_overflow);  // too long for its buffer
    copy = in_other;
    EXPECT_EQ(copy.Length(), n);
    EXPECT_TRUE(copy == in_other);
}

TEST_F(Collation, LinesUnderAThousandCharactersTakeNoHeap) {
    std::ifstream f(std::string(ZUUC_DATA_DIR) + "/bench/zh_CN.txt");
    std::stringstream all;
    all << f.rdbuf();
    Text const han = Decode(all.str());
    Text const accented = Decode("Ærøskøbing façade Œuvre ﬁnale Ёжик ΐ ἄλφα e\u0301\u0323 ");
    std::vector<Text> lines = {Text(han.begin(), han.begin() + 999), {}};
    for (std::size_t i = 0; lines[1].size() < 990; ++i)
        lines[1].push_back(accented[i % accented.size()]);
    unsigned char buffer[20000];
    for (Text line : lines) {
        line.reserve(line.size() + 1);
        CollationKey key(buffer, sizeof buffer, nullptr, 0);
        CollationAlgorithm::MakeKey(key, *default_, line.data(),
                                    static_cast<int>(line.size()));  // warm up
        long const before = gAllocations;
        CollationAlgorithm::MakeKey(key, *default_, line.data(), static_cast<int>(line.size()));
        line.push_back(0);
        EXPECT_EQ(CollationAlgorithm::Compare(*default_, line.data(), line.data()), 0);
        EXPECT_EQ(gAllocations - before, 0);
    }
}

}  // namespace
