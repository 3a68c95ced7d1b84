// The plane-table encoders write stretches of units with room and limit
// settled once per stretch, and the single-byte encoders copy blocks of
// 8 ASCII units without the table (the decoders' sweeps are in
// decoder_walk_test.cpp). These tests compare every converter with
// a one-unit-at-a-time model over random texts, at every output size and
// limit, in a block and not, and check that no byte or unit behind the final
// output position is touched.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "mbcs_test_tables.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/sbcs_encoding.h"

using namespace zuuc_test::mbcs;

namespace {

using u16 = unsigned short;
using u32 = unsigned int;

bool IsHigh(u32 u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(u32 u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendValue(std::vector<char> & out, unsigned long v) {
    unsigned int const count = v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : v <= 0xFFFFFF ? 3 : 4;
    for (unsigned int i = count; i-- > 0;) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

// The multi-byte encoders one unit at a time, from a fresh converter.
// `map` holds the mapped units; a high surrogate ending the input is taken
// and held outside a block.
template <class In>
Run<In, char> EncodeModel(std::map<u32, unsigned long> const & map,
                              std::vector<In> const & input, std::size_t room, long limit,
                              bool in_block) {
    constexpr bool kUtf16 = sizeof(In) == 2;
    Run<In, char> o{kTranscodeInputExhausted, {}, 0};
    std::size_t i = 0;
    while (i < input.size()) {
        u32 const u = input[i];
        auto const found = map.find(u);
        if (found != map.end()) {
            std::vector<char> bytes;
            AppendValue(bytes, found->second);
            if (o.output.size() + bytes.size() > room) {
                o.result = kTranscodeOutputFull;
                break;
            }
            if (limit >= 0 && o.output.size() + bytes.size() > static_cast<std::size_t>(limit)) {
                o.result = kTranscodeLimitReached;
                break;
            }
            o.output.insert(o.output.end(), bytes.begin(), bytes.end());
            ++i;
            continue;
        }
        std::size_t units = 1;
        if (kUtf16 && IsHigh(u)) {
            if (i + 1 == input.size()) {
                if (!in_block) {
                    ++i;  // held for the next call
                    break;
                }
                o.result = kTranscodeNotInRepertoire;
                break;
            }
            if (IsLow(input[i + 1])) {
                units = 2;
            }
        }
        if (!in_block) {
            i += units;
        }
        o.result = kTranscodeNotInRepertoire;
        break;
    }
    o.consumed = i;
    return o;
}

// The units the random texts are made of, with what each encodes to.
std::map<u32, unsigned long> MbcsMap(bool wide_values, bool wide_keys) {
    std::map<u32, unsigned long> map;
    for (u32 c = 0; c < 0x80; ++c) {
        map[c] = c;
    }
    map.erase('~');
    map['\\'] = 0x815F;
    map[0xE9] = 0xE9;
    map[0x3042] = 0x82A0;
    map[0xAC00] = 0xB0A1;
    if (wide_values) {
        map[0x4E00] = 0x8F8080;
        map[0x5000] = 0x81308130;
    }
    if (wide_keys) {
        map[0x20000] = 0x9532;
    }
    return map;
}

std::vector<u32> const kMbcsAlphabet = {'a', 'b', ' ', '~', '\\', 0xE9, 0x3042, 0xAC00, 0xAC00,
                                        0x4E00, 0x5000, 0x4E01, 0xD83D, 0xDE00, 0x20000,
                                        0x1F600};

// Random texts: mostly runs of mapped units, with problems mixed in.
template <class In>
std::vector<std::vector<In>> RandomTexts(std::vector<u32> const & alphabet, std::size_t count,
                                         std::size_t longest, unsigned int seed) {
    std::mt19937 random(seed);
    std::vector<std::vector<In>> texts;
    for (std::size_t t = 0; t < count; ++t) {
        std::size_t const length = random() % (longest + 1);
        bool const plain = t % 3 == 0;  // only the first few symbols: long stretches
        std::vector<In> text;
        for (std::size_t i = 0; i < length; ++i) {
            std::size_t const k = random() % (plain ? 8 : alphabet.size());
            u32 const c = alphabet[k];
            if (sizeof(In) == 2 && c > 0xFFFF) {
                text.push_back(static_cast<In>(0xD840));
                text.push_back(static_cast<In>(0xDC00));
            } else {
                text.push_back(static_cast<In>(c));
            }
        }
        texts.push_back(text);
    }
    return texts;
}

// Compares a converter with the model at every room and limit.
template <class In, class Model>
void CompareWithModel(std::function<std::unique_ptr<Transcoder<In, char>>()> const & make,
                      Model const & model, std::vector<std::vector<In>> const & texts,
                      std::size_t most_bytes) {
    for (auto const & text : texts) {
        std::size_t const full = text.size() * most_bytes + 2;
        for (int in_block = 0; in_block < 2; ++in_block) {
            for (std::size_t n = 0; n <= full; ++n) {
                auto by_room = make();
                auto by_limit = make();
                ASSERT_EQ(model(text, n, -1, in_block != 0),
                          TranscodeOnce(*by_room, text, n, -1, in_block != 0))
                    << "room " << n << ", block " << in_block << ", length " << text.size();
                ASSERT_EQ(model(text, full, static_cast<long>(n), in_block != 0),
                          TranscodeOnce(*by_limit, text, full, static_cast<long>(n), in_block != 0))
                    << "limit " << n << ", block " << in_block << ", length " << text.size();
            }
        }
    }
}

template <class V>
NarrowPlane<V> NarrowFrom(std::map<u32, unsigned long> const & map, V undefined) {
    NarrowPlane<V> plane(undefined);
    for (auto const & [key, value] : map) {
        if (key <= 0xFFFF) {
            plane.Set(key, static_cast<V>(value));
        }
    }
    return plane;
}

template <class V>
WidePlane<V> WideFrom(std::map<u32, unsigned long> const & map, V undefined) {
    WidePlane<V> plane(undefined);
    for (auto const & [key, value] : map) {
        plane.Set(key, static_cast<V>(value));
    }
    return plane;
}

// The encoders over plane tables with 16- or 32-bit keys and values.
struct Planes {
    NarrowPlane<u16> narrow16;
    NarrowPlane<u32> narrow32;
    WidePlane<u16> wide16;
    WidePlane<u32> wide32;
    bool wide_keys, wide_values;

    std::unique_ptr<Transcoder<u16, char>> Make(u16) {
        if (wide_values) return std::make_unique<MBCSFromUTF16_32>(narrow32.Get(), true);
        return std::make_unique<MBCSFromUTF16_16>(narrow16.Get(), true);
    }
    std::unique_ptr<Transcoder<u32, char>> Make(u32) {
        if (wide_keys && wide_values) return std::make_unique<MBCSFromUTF32_32>(wide32.Get(), true);
        if (wide_keys) return std::make_unique<MBCSFromUTF32_16>(wide16.Get(), true);
        if (wide_values) return std::make_unique<MBCSFromUTF32_32>(narrow32.Get(), true);
        return std::make_unique<MBCSFromUTF32_16>(narrow16.Get(), true);
    }
};

template <class In>
void SweepTheEncoders(unsigned int seed) {
    auto const texts = RandomTexts<In>(kMbcsAlphabet, 60, 24, seed);
    for (int wide_keys = 0; wide_keys < (sizeof(In) == 2 ? 1 : 2); ++wide_keys) {
        for (int wide_values = 0; wide_values < 2; ++wide_values) {
            SCOPED_TRACE(std::string(wide_keys ? "wide" : "narrow") + " keys, " +
                         (wide_values ? "32" : "16") + "-bit values");
            auto const map = MbcsMap(wide_values != 0, wide_keys != 0);
            auto model = [&](auto const & t, std::size_t r, long l, bool b) {
                return EncodeModel<In>(map, t, r, l, b);
            };
            Planes planes{NarrowFrom<u16>(map, 0xFFFF), NarrowFrom<u32>(map, 0xFFFFFFFF),
                          WideFrom<u16>(map, 0xFFFF), WideFrom<u32>(map, 0xFFFFFFFF),
                          wide_keys != 0, wide_values != 0};
            CompareWithModel<In>([&] { return planes.Make(In()); }, model, texts,
                                 wide_values ? 4 : 2);
        }
    }
}

}  // namespace

TEST(EncoderStretch, FromUTF16MatchesTheUnitByUnitModel) { SweepTheEncoders<u16>(421); }

TEST(EncoderStretch, FromUTF32MatchesTheUnitByUnitModel) { SweepTheEncoders<u32>(4210); }

// --- single-byte converters -------------------------------------------------------

namespace {

// What the table maps, as the multi-byte model takes it: the single-byte
// encoders follow the same one-unit-at-a-time rule.
std::map<u32, unsigned long> SbcsMap(SbcsCode const & code) {
    std::map<u32, unsigned long> map;
    for (u32 c = 0; c <= 0xFFFF; ++c) {
        unsigned char const byte = code.plane.Lookup(static_cast<u16>(c));
        if (byte != code.plane.undefined) map[c] = byte;
    }
    return map;
}

// Texts long enough for the shortcut, mostly ASCII so that 8-unit blocks
// occur, with the other characters and problems at random places.
std::vector<std::vector<u32>> SbcsTexts(std::vector<u32> rare, unsigned int seed) {
    std::vector<u32> alphabet;
    for (u32 c = 'a'; c <= 'z'; ++c) alphabet.push_back(c);
    alphabet.insert(alphabet.end(), rare.begin(), rare.end());
    return RandomTexts<u32>(alphabet, 40, 80, seed);
}

}  // namespace

TEST(SbcsShortcut, EncodersMatchTheUnitByUnitModel) {
    // Undefined marker 0x3F ('?', inside ASCII: no shortcut) and 0xFF.
    for (unsigned undefined : {0x3Fu, 0xFFu}) {
        for (int remap = 0; remap < 2; ++remap) {
            SCOPED_TRACE("undefined " + std::to_string(undefined) + ", remap " +
                         std::to_string(remap));
            SbcsCode const code(remap != 0, static_cast<unsigned char>(undefined));
            auto const map = SbcsMap(code);
            auto const texts = SbcsTexts({0x20AC, 0xE9, 'A', '?', 0x391, 0x4E00, 0xD83D, 0xDE00,
                                          0xFFFF, 0x10000},
                                         100 + undefined + remap);
            for (auto const & text32 : texts) {
                std::vector<u16> text16;
                for (u32 c : text32) text16.push_back(static_cast<u16>(c));
                for (std::size_t n = 0; n <= text32.size() + 1; ++n) {
                    SBCSFromUTF16 from16(&code.plane, true);
                    SBCSFromUTF32 from32(&code.plane, true);
                    ASSERT_EQ(EncodeModel<u16>(map, text16, n, -1, false),
                              TranscodeOnce(from16, text16, n, -1, false))
                        << "room " << n;
                    SBCSFromUTF16 from16l(&code.plane, true);
                    long const limit = static_cast<long>(n);
                    ASSERT_EQ(EncodeModel<u16>(map, text16, text16.size(), limit, false),
                              TranscodeOnce(from16l, text16, text16.size(), limit, false))
                        << "limit " << n;
                    ASSERT_EQ(EncodeModel<u32>(map, text32, n, -1, false),
                              TranscodeOnce(from32, text32, n, -1, false))
                        << "room " << n;
                }
            }
        }
    }
}
