// The converters to and from UTF-32 copy long stretches without room or limit
// tests. Every output size and every limit must still stop exactly where a
// careful one-character-at-a-time conversion stops; the models below are that
// careful conversion, written out plainly.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/transcode_once.h"
#include "support/utf8_test_helpers.h"
#include "zuuc/unicode_encodings.h"
#include "zuuc/utf8_encodings.h"

namespace {

template <class To>
using Outcome = TranscodeStep<To>;

// UTF-32 to UTF-16 or UTF-8. To UTF-16 room is tested before the limit and
// values above U+10FFFF are not in the repertoire; to UTF-8 the limit (in
// bytes) is tested before room, such values are illegal, and surrogate code
// points are written in their three-byte form. Either way the bad value is
// consumed.
template <class Unit>
Outcome<Unit> Model32(std::vector<unsigned int> const & input, std::size_t room, long limit) {
    bool constexpr to8 = sizeof(Unit) == 1;
    Outcome<Unit> o{kTranscodeInputExhausted, 0, {}};
    for (unsigned int c : input) {
        if (c > 0x10FFFF) {
            ++o.consumed;
            o.result = to8 ? kTranscodeIllegalInput : kTranscodeNotInRepertoire;
            return o;
        }
        std::vector<Unit> units;
        if constexpr (to8) {
            utf8_test::RefUTF8(c, units);
        } else {
            utf8_test::RefUTF16(c, units);
        }
        bool const full = room - o.output.size() < units.size();
        bool const over = limit >= 0 && o.output.size() + units.size() > static_cast<std::size_t>(limit);
        if (full || over) {
            o.result = over && (to8 || !full) ? kTranscodeLimitReached : kTranscodeOutputFull;
            return o;
        }
        o.output.insert(o.output.end(), units.begin(), units.end());
        ++o.consumed;
    }
    return o;
}

// UTF-16 to UTF-32 from a fresh converter: a pair is one code point, a low
// surrogate alone passes as it is, a high surrogate followed by anything but
// a low surrogate stops the call with result 3 before that unit, and a high
// surrogate that ends the input is taken (its partner may follow).
Outcome<unsigned int> Model16to32(std::vector<unsigned short> const & input, std::size_t room,
                                  long limit) {
    Outcome<unsigned int> o{kTranscodeInputExhausted, 0, {}};
    unsigned int pending = 0;
    for (unsigned short u : input) {
        if (o.output.size() == room) {
            o.result = kTranscodeOutputFull;
            return o;
        }
        bool const low = u >= 0xDC00 && u <= 0xDFFF;
        if (pending != 0 && !low) {
            o.result = kTranscodeIllegalInput;
            return o;
        }
        if (pending == 0 && u >= 0xD800 && u <= 0xDBFF) {
            pending = u;
            ++o.consumed;
            continue;
        }
        if (limit >= 0 && o.output.size() == static_cast<std::size_t>(limit)) {
            o.result = kTranscodeLimitReached;
            return o;
        }
        o.output.push_back(pending != 0 ? ((pending - 0xD800) << 10) + (u - 0xDC00u) + 0x10000
                                        : u);
        pending = 0;
        ++o.consumed;
    }
    return o;
}

// Text of long plain runs with the odd special value in between.
template <class Unit>
std::vector<Unit> MixedText(std::mt19937 & random, std::vector<Unit> const & specials,
                            std::size_t length) {
    std::vector<Unit> text;
    std::uniform_int_distribution<int> pick(0, 99);
    while (text.size() < length) {
        int const p = pick(random);
        if (p < 60) {
            text.push_back(static_cast<Unit>(0x20 + p));
        } else if (p < 90) {
            text.push_back(static_cast<Unit>(0x4E00 + p * 37));
        } else {
            std::uniform_int_distribution<std::size_t> which(0, specials.size() - 1);
            text.push_back(specials[which(random)]);
        }
    }
    return text;
}

// Every room and every limit up to `max` (and no limit) for one text.
template <class Converter, class In, class Model>
void Sweep(std::vector<In> const & text, std::size_t max, Model model, int round) {
    for (std::size_t room = 0; room <= max; ++room) {
        for (long limit = -1; limit <= static_cast<long>(max); ++limit) {
            Converter c;
            ASSERT_EQ(TranscodeOnce(c, text, room, limit), model(text, room, limit))
                << "round " << round << ", room " << room << ", limit " << limit;
        }
    }
}

TEST(Utf32Stretches, ToUtf16AndUtf8StopWhereTheCarefulLoopStops) {
    std::mt19937 random(421);
    std::vector<unsigned int> const specials = {0x1F600, 0x10000, 0x10FFFF, 0xD800, 0xDFFF, 0x110000,
                                                0xFFFF, 0x7FF, 0x80, 0xFFFFFFFF};
    for (int round = 0; round < 12; ++round) {
        std::vector<unsigned int> const text = MixedText(random, specials, round < 8 ? 40 : 30);
        Sweep<UTF32ToUTF16Converter>(text, 44, Model32<unsigned short>, round);
        Sweep<UTF32ToUTF8>(text, 70, Model32<char>, round);
    }
}

TEST(Utf32Stretches, FromUtf16StopsWhereTheCarefulLoopStops) {
    std::mt19937 random(42100);
    // Pairs are written as their two units; lone surrogates of both kinds too.
    std::vector<unsigned short> const specials = {0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0xFFFF, 0xE000};
    for (int round = 0; round < 12; ++round) {
        std::vector<unsigned short> text = MixedText(random, specials, 40);
        // Make some of the high surrogates real pairs.
        for (std::size_t i = 0; i + 1 < text.size(); i += 7) {
            if (text[i] == 0xD83D) {
                text[i + 1] = 0xDE00;
            }
        }
        Sweep<UTF16ToUTF32Converter>(text, 42, Model16to32, round);
    }
}

// UTF-8 decoding in one call from a fresh decoder, as a list of pieces: a
// character (its bytes and its units), a byte-order mark (dropped, even
// without room) or a malformed sequence (consumed and reported). The limit
// is tested before room.
struct Piece {
    std::string bytes;
    std::vector<unsigned short> units;  // empty: dropped or malformed
    bool malformed;
};

template <class Unit>
Outcome<Unit> ModelUtf8(std::vector<Piece> const & pieces, std::size_t room, long limit) {
    Outcome<Unit> o{kTranscodeInputExhausted, 0, {}};
    for (Piece const & piece : pieces) {
        if (piece.malformed) {
            o.consumed += piece.bytes.size();
            o.result = kTranscodeIllegalInput;
            return o;
        }
        std::vector<Unit> units;
        if (sizeof(Unit) == 4 && piece.units.size() == 2) {
            units.push_back(static_cast<Unit>(((piece.units[0] - 0xD800u) << 10) +
                                              (piece.units[1] - 0xDC00u) + 0x10000));
        } else {
            units.assign(piece.units.begin(), piece.units.end());
        }
        if (limit >= 0 && o.output.size() + units.size() > static_cast<std::size_t>(limit)) {
            o.result = kTranscodeLimitReached;
            return o;
        }
        if (room - o.output.size() < units.size()) {
            o.result = kTranscodeOutputFull;
            return o;
        }
        o.output.insert(o.output.end(), units.begin(), units.end());
        o.consumed += piece.bytes.size();
    }
    return o;
}

template <class Unit, class Decoder>
void SweepUtf8Decoder(unsigned seed) {
    std::vector<Piece> const good = {
        {"a", {'a'}, false},
        {"Q", {'Q'}, false},
        {"\xD0\x96", {0x0416}, false},
        {"\xE6\x97\xA5", {0x65E5}, false},
        {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, false},
        {"\xEF\xBB\xBF", {}, false},
    };
    std::vector<Piece> const bad = {
        {"\x80", {}, true},
        {"\xC0\xAF", {}, true},
        {"\xED\xA0\x80", {}, true},
        {"\xF8", {}, true},
        {"\xE0\x80\xAF", {}, true},
        {"\xC3", {}, true},  // cut short by the next piece, never last
    };
    std::mt19937 random(seed);
    for (int round = 0; round < 12; ++round) {
        std::vector<Piece> pieces;
        std::uniform_int_distribution<int> pick(0, 9);
        for (int i = 0; i < 48; ++i) {
            int const p = pick(random);
            pieces.push_back(p < 4 ? good[p % 2] : good[static_cast<std::size_t>(p - 4) % good.size()]);
        }
        if (round % 2 == 1) {
            std::uniform_int_distribution<std::size_t> where(0, pieces.size() - 1);
            pieces.insert(pieces.begin() + static_cast<long>(where(random)),
                          bad[static_cast<std::size_t>(round / 2) % bad.size()]);
        }
        std::string text;
        for (Piece const & piece : pieces) {
            text += piece.bytes;
        }
        auto const model = [&](std::vector<char> const &, std::size_t room, long limit) {
            return ModelUtf8<Unit>(pieces, room, limit);
        };
        Sweep<Decoder>(std::vector<char>(text.begin(), text.end()), 70, model, round);
    }
}

struct Utf8To16 : UTF8ToUTF16 {
    Utf8To16() : UTF8ToUTF16(true) {}
};

TEST(Utf32Stretches, Utf8DecodersStopWhereTheCarefulLoopStops) {
    SweepUtf8Decoder<unsigned short, Utf8To16>(7);
    SweepUtf8Decoder<unsigned int, UTF8ToUTF32>(8);
}

}  // namespace
