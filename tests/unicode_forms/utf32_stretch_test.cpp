// The converters to and from UTF-32 copy long stretches without room or limit
// tests. Every output size and every limit must still stop exactly where a
// careful one-character-at-a-time conversion stops; the models below are that
// careful conversion, written out plainly.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/transcode_once.h"
#include "zuuc/unicode_encodings.h"
#include "zuuc/utf8_encodings.h"

namespace {

template <class To>
using Outcome = TranscodeStep<To>;

// UTF-32 to UTF-16: room is tested before the limit; values above U+10FFFF are
// consumed and reported as not in the repertoire.
Outcome<unsigned short> Model32to16(std::vector<unsigned int> const & input, std::size_t room,
                                    long limit) {
    Outcome<unsigned short> o{kTranscodeInputExhausted, 0, {}};
    for (unsigned int c : input) {
        if (c > 0x10FFFF) {
            ++o.consumed;
            o.result = kTranscodeNotInRepertoire;
            return o;
        }
        std::size_t const need = c >= 0x10000 ? 2 : 1;
        if (room - o.output.size() < need) {
            o.result = kTranscodeOutputFull;
            return o;
        }
        if (limit >= 0 && o.output.size() + need > static_cast<std::size_t>(limit)) {
            o.result = kTranscodeLimitReached;
            return o;
        }
        if (need == 2) {
            o.output.push_back(static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10)));
            o.output.push_back(static_cast<unsigned short>(0xDC00 + (c & 0x3FF)));
        } else {
            o.output.push_back(static_cast<unsigned short>(c));
        }
        ++o.consumed;
    }
    return o;
}

// UTF-32 to UTF-8: the limit (in bytes) is tested before room; values above
// U+10FFFF are consumed and reported as illegal; surrogate code points are
// written in their three-byte form.
Outcome<char> Model32to8(std::vector<unsigned int> const & input, std::size_t room, long limit) {
    Outcome<char> o{kTranscodeInputExhausted, 0, {}};
    for (unsigned int c : input) {
        if (c > 0x10FFFF) {
            ++o.consumed;
            o.result = kTranscodeIllegalInput;
            return o;
        }
        std::vector<char> bytes;
        if (c < 0x80) {
            bytes = {static_cast<char>(c)};
        } else if (c < 0x800) {
            bytes = {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            bytes = {static_cast<char>(0xE0 | (c >> 12)),
                     static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            bytes = {static_cast<char>(0xF0 | (c >> 18)),
                     static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                     static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                     static_cast<char>(0x80 | (c & 0x3F))};
        }
        if (limit >= 0 && o.output.size() + bytes.size() > static_cast<std::size_t>(limit)) {
            o.result = kTranscodeLimitReached;
            return o;
        }
        if (room - o.output.size() < bytes.size()) {
            o.result = kTranscodeOutputFull;
            return o;
        }
        o.output.insert(o.output.end(), bytes.begin(), bytes.end());
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

std::vector<long> Limits(std::size_t n) {
    std::vector<long> limits = {-1};
    for (std::size_t l = 0; l <= n; ++l) {
        limits.push_back(static_cast<long>(l));
    }
    return limits;
}

TEST(Utf32Stretches, ToUtf16StopsWhereTheCarefulLoopStops) {
    std::mt19937 random(421);
    std::vector<unsigned int> const specials = {0x1F600, 0x10000, 0x10FFFF, 0xD800, 0xDFFF,
                                                0x110000, 0xFFFF};
    for (int round = 0; round < 12; ++round) {
        std::vector<unsigned int> const text = MixedText(random, specials, 40);
        for (std::size_t room = 0; room <= 44; ++room) {
            for (long limit : Limits(44)) {
                UTF32ToUTF16Converter c;
                ASSERT_EQ(TranscodeOnce(c, text, room, limit), Model32to16(text, room, limit))
                    << "round " << round << ", room " << room << ", limit " << limit;
            }
        }
    }
}

TEST(Utf32Stretches, ToUtf8StopsWhereTheCarefulLoopStops) {
    std::mt19937 random(4210);
    std::vector<unsigned int> const specials = {0x1F600, 0x10FFFF, 0xD800, 0x110000, 0x7FF,
                                                0x80, 0xFFFFFFFF};
    for (int round = 0; round < 8; ++round) {
        std::vector<unsigned int> const text = MixedText(random, specials, 30);
        for (std::size_t room = 0; room <= 70; ++room) {
            for (long limit : Limits(70)) {
                UTF32ToUTF8 c;
                ASSERT_EQ(TranscodeOnce(c, text, room, limit), Model32to8(text, room, limit))
                    << "round " << round << ", room " << room << ", limit " << limit;
            }
        }
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
        for (std::size_t room = 0; room <= 42; ++room) {
            for (long limit : Limits(42)) {
                UTF16ToUTF32Converter c;
                ASSERT_EQ(TranscodeOnce(c, text, room, limit), Model16to32(text, room, limit))
                    << "round " << round << ", room " << room << ", limit " << limit;
            }
        }
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
        std::vector<char> const input(text.begin(), text.end());
        for (std::size_t room = 0; room <= 70; ++room) {
            for (long limit : Limits(70)) {
                Decoder d;
                ASSERT_EQ(TranscodeOnce(d, input, room, limit), ModelUtf8<Unit>(pieces, room, limit))
                    << "round " << round << ", room " << room << ", limit " << limit;
            }
        }
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
