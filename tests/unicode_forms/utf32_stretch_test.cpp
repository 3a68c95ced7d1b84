// The converters to and from UTF-32 and UTF-8 copy long stretches without
// room or limit tests. Every output size and every limit must still stop
// exactly where a careful one-character-at-a-time conversion stops; the
// models below are that careful conversion, written out plainly.
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

// One character as a converter sees it: its input units and what it
// becomes, or the problem it is (consumed even without room).
template <class In, class Out>
struct Piece {
    std::vector<In> in;
    std::vector<Out> out;
    TranscodeResult problem = kTranscodeInputExhausted;  // none
};

// The careful conversion in one call from a fresh converter; with
// `limit_first` the limit is tested before room.
template <class In, class Out>
Outcome<Out> Model(std::vector<Piece<In, Out>> const & pieces, std::size_t room, long limit,
                   bool limit_first, std::size_t first = 0) {
    Outcome<Out> o{kTranscodeInputExhausted, 0, {}};
    for (std::size_t k = first; k < pieces.size(); ++k) {
        Piece<In, Out> const & p = pieces[k];
        if (p.problem != kTranscodeInputExhausted) {
            o.consumed += p.in.size();
            o.result = p.problem;
            return o;
        }
        bool const full = room - o.output.size() < p.out.size();
        bool const over =
            limit >= 0 && o.output.size() + p.out.size() > static_cast<std::size_t>(limit);
        if (full || over) {
            o.result = over && (limit_first || !full) ? kTranscodeLimitReached : kTranscodeOutputFull;
            return o;
        }
        o.output.insert(o.output.end(), p.out.begin(), p.out.end());
        o.consumed += p.in.size();
    }
    return o;
}

// UTF-32 to UTF-16 or UTF-8. To UTF-16 room is tested before the limit and
// values above U+10FFFF are not in the repertoire; to UTF-8 the limit (in
// bytes) is tested before room, such values are illegal, and surrogate code
// points are written in their three-byte form.
template <class Out>
std::vector<Piece<unsigned int, Out>> From32(std::vector<unsigned int> const & text) {
    bool constexpr to8 = sizeof(Out) == 1;
    std::vector<Piece<unsigned int, Out>> pieces;
    for (unsigned int c : text) {
        Piece<unsigned int, Out> p{{c}, {}};
        if (c > 0x10FFFF) {
            p.problem = to8 ? kTranscodeIllegalInput : kTranscodeNotInRepertoire;
        } else if constexpr (to8) {
            zuuc_test::utf8::RefUTF8(c, p.out);
        } else {
            zuuc_test::utf8::RefUTF16(c, p.out);
        }
        pieces.push_back(p);
    }
    return pieces;
}

// UTF-16 to UTF-8, combining pairs: a high surrogate followed by anything
// but a low one is a problem, one ending the input is held, and a lone low
// surrogate is written in its three-byte form.
std::vector<Piece<unsigned short, char>> From16(std::vector<unsigned short> const & text) {
    std::vector<Piece<unsigned short, char>> pieces;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned int c = text[i];
        Piece<unsigned short, char> p{{text[i]}, {}};
        bool const high = c >= 0xD800 && c <= 0xDBFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            p.in.push_back(text[++i]);
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i] - 0xDC00u);
        } else if (high) {
            p.problem = i + 1 < text.size() ? kTranscodeIllFormedUTF16 : kTranscodeInputExhausted;
            pieces.push_back(p);
            continue;
        }
        zuuc_test::utf8::RefUTF8(c, p.out);
        pieces.push_back(p);
    }
    return pieces;
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

// The same for a text of pieces; where the call stopped for room or limit,
// the rest follows in a second call as if never split.
template <class Converter, class In, class Out>
void SweepPieces(std::vector<Piece<In, Out>> const & pieces, std::size_t max, bool limit_first,
                 int round) {
    std::vector<In> text;
    for (auto const & p : pieces) text.insert(text.end(), p.in.begin(), p.in.end());
    for (std::size_t room = 0; room <= max; ++room) {
        for (long limit = -1; limit <= static_cast<long>(max); ++limit) {
            Converter c;
            Outcome<Out> const want = Model(pieces, room, limit, limit_first);
            ASSERT_EQ(TranscodeOnce(c, text, room, limit), want)
                << "round " << round << ", room " << room << ", limit " << limit;
            if (want.result != kTranscodeOutputFull && want.result != kTranscodeLimitReached) {
                continue;
            }
            std::size_t k = 0;
            for (std::size_t done = 0; done < want.consumed; ++k) done += pieces[k].in.size();
            std::vector<In> const rest(text.begin() + static_cast<long>(want.consumed), text.end());
            ASSERT_EQ(TranscodeOnce(c, rest, 4 * text.size() + 8),
                      Model(pieces, 4 * text.size() + 8, -1, limit_first, k))
                << "rest after round " << round << ", room " << room << ", limit " << limit;
        }
    }
}

TEST(Utf32Stretches, ToUtf16AndUtf8StopWhereTheCarefulLoopStops) {
    std::mt19937 random(421);
    std::vector<unsigned int> const specials = {0x1F600, 0x10000, 0x10FFFF, 0xD800, 0xDFFF, 0x110000,
                                                0xFFFF, 0x7FF, 0x80, 0xFFFFFFFF};
    for (int round = 0; round < 12; ++round) {
        std::vector<unsigned int> const text = MixedText(random, specials, round < 8 ? 40 : 30);
        SweepPieces<UTF32ToUTF16Converter>(From32<unsigned short>(text), 44, false, round);
        SweepPieces<UTF32ToUTF8>(From32<char>(text), 70, true, round);
    }
}

TEST(Utf32Stretches, FromUtf16StopsWhereTheCarefulLoopStops) {
    std::mt19937 random(42100);
    // Pairs are written as their two units; lone surrogates of both kinds too.
    std::vector<unsigned short> const specials = {0xD83D, 0xDE00, 0xDBFF, 0xDC00, 0xFFFF, 0xE000,
                                                  0x7FF, 0x800, 0x80};
    for (int round = 0; round < 12; ++round) {
        std::vector<unsigned short> text = MixedText(random, specials, 40);
        // Make some of the high surrogates real pairs.
        for (std::size_t i = 0; i + 1 < text.size(); i += 7) {
            if (text[i] == 0xD83D) {
                text[i + 1] = 0xDE00;
            }
        }
        Sweep<UTF16ToUTF32Converter>(text, 42, Model16to32, round);
        SweepPieces<UTF16ToUTF8>(From16(text), 70, true, round);
    }
}

// UTF-8 decoding: a character, a byte-order mark (dropped, even without
// room) or a malformed sequence (consumed and reported). The limit is
// tested before room.
template <class Unit, class Decoder>
void SweepUtf8Decoder(unsigned seed) {
    long constexpr kMark = -1, kMalformed = -2;
    auto piece = [](std::string const & bytes, long c) {
        Piece<char, Unit> p{std::vector<char>(bytes.begin(), bytes.end()), {}};
        std::vector<unsigned short> units;
        if (c == kMalformed) {
            p.problem = kTranscodeIllegalInput;
        } else if (c != kMark && sizeof(Unit) == 4) {
            p.out.push_back(static_cast<Unit>(c));
        } else if (c != kMark) {
            zuuc_test::utf8::RefUTF16(static_cast<unsigned int>(c), units);
            p.out.assign(units.begin(), units.end());
        }
        return p;
    };
    std::vector<Piece<char, Unit>> const good = {
        piece("a", 'a'), piece("Q", 'Q'), piece("\xD0\x96", 0x0416), piece("\xE6\x97\xA5", 0x65E5),
        piece("\xF0\x9F\x98\x80", 0x1F600), piece("\xEF\xBB\xBF", kMark)};
    std::vector<Piece<char, Unit>> const bad = {
        piece("\x80", kMalformed), piece("\xC0\xAF", kMalformed), piece("\xED\xA0\x80", kMalformed),
        piece("\xF8", kMalformed), piece("\xE0\x80\xAF", kMalformed),
        piece("\xC3", kMalformed)};  // cut short by the next piece, never last
    std::mt19937 random(seed);
    for (int round = 0; round < 12; ++round) {
        std::vector<Piece<char, Unit>> pieces;
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
        SweepPieces<Decoder>(pieces, 70, true, round);
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
