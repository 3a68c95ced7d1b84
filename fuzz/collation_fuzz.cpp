// Collation. Byte 0 chooses what the input is about.
//
// Odd: a collation file through the loader. Bit 1 of byte 0 set: the rest
// of the input is the file. Otherwise the default table is damaged: each
// group of 7 bytes (a selector, a 2-byte place, a 4-byte value) overwrites
// one word (a header word, a word of the trie, of the expansions or the
// contractions, or any word), bit 2 swaps the byte order of the file and
// bit 3 cuts it short. The loader must reject the file or load a table that
// collates the text that follows without reading outside it, into keys that
// know their length and agree with direct comparison.
//
// Even: two strings with the default table, as it is or with alternate
// handling 0 to 3 or a level read backwards (byte 1). The text is code
// points as in fuzz_conversion.h; its first 0 separates the two strings.
// Direct comparison agrees in sign with comparing keys, a string compares
// equal to itself, the comparison is antisymmetric, keys know their length,
// canonically equivalent strings have one key, UTF-16 gives the UTF-32 key,
// and a key copied into a buffer of the caller's fits or is refused.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_conversion.h"
#include "fuzz_input.h"
#include "zuuc/collation.h"
#include "zuuc/exceptions.h"
#include "zuuc/normalization.h"

namespace {

using Text = std::vector<unsigned int>;
using Key = std::vector<unsigned char>;

// The default table file as committed, in words.
std::vector<std::uint32_t> const & DefaultWords() {
    static std::vector<std::uint32_t> const words = [] {
        std::ifstream f(ZUUC_FUZZ_TABLE, std::ios::binary);
        std::vector<char> const bytes{std::istreambuf_iterator<char>(f),
                                      std::istreambuf_iterator<char>()};
        if (bytes.size() < 64 || bytes.size() % 4 != 0) {
            std::fprintf(stderr, "cannot read %s\n", ZUUC_FUZZ_TABLE);
            std::abort();
        }
        std::vector<std::uint32_t> w(bytes.size() / 4);
        std::memcpy(w.data(), bytes.data(), bytes.size());
        return w;
    }();
    return words;
}

// The default table with alternate handling 0-3 (variants 0-3), shifted
// with secondaries backwards (4) or tertiaries backwards (5); each has a
// signature of its own.
CollationSequence const & Variant(unsigned int variant) {
    static std::vector<std::vector<std::uint32_t>> const tables = [] {
        std::vector<std::vector<std::uint32_t>> t;
        for (unsigned int v = 0; v < 6; ++v) {
            std::vector<std::uint32_t> words = DefaultWords();
            std::size_t const flags = words[6];
            words[1] += v + 1;
            words[3] = v < 4 ? v : 2;
            words[flags + 2] = v == 4;
            words[flags + 3] = v == 5;
            t.push_back(words);
        }
        return t;
    }();
    static std::unique_ptr<CollationSequence> sequences[7];
    if (!sequences[0]) {
        for (std::size_t v = 0; v < 6; ++v)
            sequences[v] = std::make_unique<CollationSequence>(tables[v].data());
        sequences[6] = std::make_unique<CollationSequence>();  // default.zct through the loader
    }
    return *sequences[variant % 7];
}

Key KeyOf(CollationSequence const & seq, Text const & s) {
    CollationKey key;
    CollationAlgorithm::MakeKey(key, seq, s.data(), static_cast<int>(s.size()));
    if (CollationAlgorithm::LengthOf(key.Data()) != key.Length()) {
        std::fprintf(stderr, "key length %d, LengthOf %d\n", key.Length(),
                     CollationAlgorithm::LengthOf(key.Data()));
        std::abort();
    }
    return {key.Data(), key.Data() + key.Length()};
}

int Direct(CollationSequence const & seq, Text a, Text b) {
    a.push_back(0);
    b.push_back(0);
    return CollationAlgorithm::Compare(seq, a.data(), b.data());
}

Text Normalized(Text const & s, NormalizationTransform::Form form) {
    fuzz::ChunkSource<Char32Source, unsigned int> in(s, nullptr);
    NormalizationTransform t(in, form);
    return fuzz::Drain<Char32Source, unsigned int>(t, nullptr);
}

// UTF-16 units, or empty when `s` has a surrogate code point or a value
// above U+10FFFF (which UTF-16 cannot carry).
std::vector<unsigned short> ToUtf16(Text const & s, bool & ok) {
    std::vector<unsigned short> units;
    ok = true;
    for (unsigned int c : s) {
        if (c > 0x10FFFF || c - 0xD800 < 0x800)
            ok = false;
        if (c >= 0x10000) {
            units.push_back(static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<unsigned short>(0xDC00 + (c & 0x3FF)));
        } else {
            units.push_back(static_cast<unsigned short>(c));
        }
    }
    return units;
}

void Fail(char const * what, int x, int y) {
    std::fprintf(stderr, "%s: %d against %d\n", what, x, y);
    std::abort();
}

void CheckPair(CollationSequence const & seq, Text const & a, Text const & b, unsigned int room) {
    int const d = Direct(seq, a, b);
    Key const ka = KeyOf(seq, a);
    Key const kb = KeyOf(seq, b);
    int const k = CollationAlgorithm::Compare(ka.data(), kb.data());
    if (d != k)
        Fail("direct comparison against keys", d, k);
    if (Direct(seq, b, a) != -d)
        Fail("antisymmetry", Direct(seq, b, a), -d);
    if (Direct(seq, a, a) != 0)
        Fail("a against a", Direct(seq, a, a), 0);
    if (CollationAlgorithm::Compare(ka.data(), ka.data()) != 0)
        Fail("key a against key a", 1, 0);
    // Canonically equivalent strings collate alike. (A run of more than 512
    // marks is put in order piece by piece, where NFC and NFD may cut it in
    // different places: then the forms themselves disagree.)
    Text const nfd = Normalized(a, NormalizationTransform::NFD);
    Text const nfc = Normalized(a, NormalizationTransform::NFC);
    if (Normalized(nfc, NormalizationTransform::NFD) == nfd) {
        if (KeyOf(seq, nfd) != ka)
            Fail("key of NFD(a)", 0, 1);
        if (KeyOf(seq, nfc) != ka)
            Fail("key of NFC(a)", 0, 1);
    }
    // UTF-16 input.
    bool ok_a = false;
    bool ok_b = false;
    std::vector<unsigned short> ua = ToUtf16(a, ok_a);
    std::vector<unsigned short> ub = ToUtf16(b, ok_b);
    if (ok_a) {
        CollationKey key16;
        CollationAlgorithm::MakeKey(key16, seq, ua.data(), static_cast<int>(ua.size()));
        if (Key(key16.Data(), key16.Data() + key16.Length()) != ka)
            Fail("UTF-16 key", 0, 1);
        if (ok_b) {
            ua.push_back(0);
            ub.push_back(0);
            int const d16 = CollationAlgorithm::Compare(seq, ua.data(), ub.data());
            if (d16 != d)
                Fail("UTF-16 direct comparison", d16, d);
        }
    }
    // A key in a caller's buffer.
    std::vector<unsigned char> buffer(room);
    try {
        CollationKey held(buffer.data(), static_cast<int>(room), ka.data(),
                          static_cast<int>(ka.size()));
        if (room < ka.size() || Key(held.Data(), held.Data() + held.Length()) != ka)
            Fail("buffer key", 0, 1);
    } catch (zu_collation_key_overflow const &) {
        if (room >= ka.size())
            Fail("buffer key refused", static_cast<int>(room), static_cast<int>(ka.size()));
    }
}

void Strings(FuzzInput & in, std::uint8_t const * data, std::size_t size) {
    unsigned int const variant = in.Byte();
    unsigned int const room = in.Byte();
    std::size_t const at = 3;
    if (size < at)
        return;
    Text const all = fuzz::CodePoints(data + at, std::min<std::size_t>(size - at, 3000));
    Text a;
    Text b;
    bool second = false;
    for (unsigned int c : all) {
        if (c == 0 && !second) {
            second = true;
            continue;
        }
        (second ? b : a).push_back(c == 0 ? 0x41 : c);
    }
    CheckPair(Variant(variant), a, b, room);
}

std::string FilePath() {
    return "/tmp/zuuc-fuzz-collation-" + std::to_string(static_cast<long>(getpid())) + ".zct";
}

void Loader(FuzzInput & in, std::uint8_t const * data, std::size_t size, unsigned int how) {
    std::vector<unsigned char> file;
    Text text;
    if (how & 2) {
        file.assign(data + 1, data + size);
    } else {
        std::vector<std::uint32_t> words = DefaultWords();
        std::size_t const n = words.size();
        for (unsigned int edits = in.Byte() % 16; edits > 0 && !in.Empty(); --edits) {
            unsigned int const selector = in.Byte();
            std::size_t const place = in.Number<std::uint16_t>();
            std::uint32_t const value = in.Number<std::uint32_t>();
            std::size_t index;
            switch (selector & 3) {
                case 0:
                    index = place % 11;
                    break;
                case 1:
                    index = words[7] + place;
                    break;
                case 2:
                    index = words[8 + (selector >> 2) % 3] + place % 256;
                    break;
                default:
                    index = place * 3;
                    break;
            }
            index %= n;
            words[index] = (selector & 0x10) ? words[index] + (value & 0xFF) - 0x80 : value;
        }
        if (how & 4) {
            for (std::uint32_t & w : words)
                w = __builtin_bswap32(w);
        }
        std::size_t bytes = n * 4;
        if (how & 8)
            bytes = in.Number<std::uint32_t>() % bytes;
        file.assign(reinterpret_cast<unsigned char const *>(words.data()),
                    reinterpret_cast<unsigned char const *>(words.data()) + bytes);
        std::vector<unsigned int> rest;
        while (!in.Empty() && rest.size() < 64)
            rest.push_back(in.Number<std::uint16_t>() * 17u + 1);
        text = rest;
    }
    if (text.empty())
        text = {0x41, 0x0301, 0x0E40, 0x0E01, 0x0418, 0x0306, 0x4E00, 0x10FFFF, 0x110000, 0xD800};
    std::string const path = FilePath();
    {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<char const *>(file.data()),
                static_cast<std::streamsize>(file.size()));
    }
    try {
        CollationSequence const seq(path.c_str());
        Text const other(text.rbegin(), text.rend());
        int const d = Direct(seq, text, other);
        int const k =
            CollationAlgorithm::Compare(KeyOf(seq, text).data(), KeyOf(seq, other).data());
        if (d != k)
            Fail("loaded table: direct comparison against keys", d, k);
    } catch (zu_collation_file_corruption_error const &) {
    } catch (zu_collation_file_error const &) {
    }
    std::remove(path.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    if (size < 1)
        return 0;
    FuzzInput in(data, size);
    unsigned int const how = in.Byte();
    if (how & 1) {
        Loader(in, data, size, how);
    } else {
        Strings(in, data, size);
    }
    return 0;
}
