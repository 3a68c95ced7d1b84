// Helpers for the tests of the 16- and 32-bit Unicode forms and the
// encoding converters: sources that hand out their input in chosen pieces,
// draining helpers, a counting behaviour, and an oracle that serialises
// code points independently of the library.
#ifndef ZUUC_TESTS_SUPPORT_UTF16_SUPPORT_H
#define ZUUC_TESTS_SUPPORT_UTF16_SUPPORT_H

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "zuuc/behavior.h"
#include "zuuc/problems.h"
#include "zuuc/sinks.h"
#include "zuuc/sources.h"

namespace zuuc_test::utf16 {

using u16 = unsigned short;
using u32 = unsigned int;
using Bytes = std::vector<unsigned char>;
using Units16 = std::vector<u16>;
using Units32 = std::vector<u32>;

// --- oracle ---------------------------------------------------------------------

inline Units16 ToUTF16(Units32 const & code_points) {
    Units16 units;
    for (u32 c : code_points) {
        if (c >= 0x10000) {
            u32 const v = c - 0x10000;
            units.push_back(static_cast<u16>(0xD800 + (v / 0x400)));
            units.push_back(static_cast<u16>(0xDC00 + (v % 0x400)));
        } else {
            units.push_back(static_cast<u16>(c));
        }
    }
    return units;
}

// Each unit as `size` bytes, most significant first when `big`.
template <class Unit>
Bytes Serialise(std::vector<Unit> const & units, unsigned size, bool big) {
    Bytes bytes;
    for (Unit u : units) {
        for (unsigned i = 0; i < size; ++i) {
            unsigned const shift = big ? 8 * (size - 1 - i) : 8 * i;
            bytes.push_back(
                static_cast<unsigned char>((static_cast<unsigned long>(u) >> shift) & 0xFF));
        }
    }
    return bytes;
}

inline bool MachineIsBigEndian() {
    u32 const probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    return first == 0;
}

// Random valid text: no surrogate code points, and neither U+FEFF nor
// U+FFFE, which a byte stream would take for a mark at the start.
inline Units32 RandomText(std::mt19937 & rng, std::size_t length) {
    std::uniform_int_distribution<int> kind(0, 3);
    Units32 text;
    while (text.size() < length) {
        u32 c = 0;
        switch (kind(rng)) {
            case 0:
                c = std::uniform_int_distribution<u32>(0, 0x7F)(rng);
                break;
            case 1:
                c = std::uniform_int_distribution<u32>(0x80, 0xFFFF)(rng);
                break;
            case 2:
                c = std::uniform_int_distribution<u32>(0x10000, 0x10FFFF)(rng);
                break;
            default:
                c = std::uniform_int_distribution<u32>(0xFF00, 0x10400)(rng);
                break;
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c == 0xFEFF || c == 0xFFFE)
            continue;
        text.push_back(c);
    }
    return text;
}

// Cut points splitting `n` units into random pieces of 1 to `max_piece`.
inline std::vector<std::size_t> RandomPieces(std::mt19937 & rng, std::size_t n,
                                             std::size_t max_piece) {
    std::vector<std::size_t> pieces;
    std::uniform_int_distribution<std::size_t> size(1, max_piece);
    for (std::size_t done = 0; done < n;) {
        std::size_t const piece = std::min(size(rng), n - done);
        pieces.push_back(piece);
        done += piece;
    }
    return pieces;
}

// --- sources ----------------------------------------------------------------------

// A source that hands out its units in the given pieces (the rest as one
// window when the pieces run out).
template <class Base, class Unit>
class PieceSource : public Base {
public:
    template <class V>
    PieceSource(V const & units, std::vector<std::size_t> pieces = {})
        : units_(units.begin(), units.end()), pieces_(std::move(pieces)) {}

protected:
    bool FillBuffer() override {
        if (next_ >= units_.size())
            return false;
        std::size_t n = units_.size() - next_;
        if (piece_ < pieces_.size())
            n = std::min(n, pieces_[piece_++]);
        this->SetWindow(units_.data() + next_, units_.data() + next_ + n);
        next_ += n;
        return true;
    }

private:
    std::vector<Unit> units_;
    std::vector<std::size_t> pieces_;
    std::size_t piece_ = 0;
    std::size_t next_ = 0;
};

using ByteSource = PieceSource<CharSource, char>;
using Unit16Source = PieceSource<Char16Source, u16>;
using Unit32Source = PieceSource<Char32Source, u32>;

// Reads a source to its end. With an rng, takes a random part of each
// window before asking again.
template <class Unit, class Source, class Window>
std::vector<Unit> DrainAs(Source & source, std::mt19937 * rng = nullptr) {
    std::vector<Unit> out;
    Window const * begin = nullptr;
    Window const * end = nullptr;
    while (source.GetBuffer(begin, end)) {
        Window const * stop = end;
        if (rng != nullptr) {
            stop = begin + std::uniform_int_distribution<long>(1, end - begin)(*rng);
        }
        for (Window const * p = begin; p != stop; ++p)
            out.push_back(static_cast<Unit>(*p));
        source.DoneWith(stop);
    }
    return out;
}

inline Bytes Drain(CharSource & s, std::mt19937 * rng = nullptr) {
    return DrainAs<unsigned char, CharSource, char>(s, rng);
}
inline Units16 Drain(Char16Source & s, std::mt19937 * rng = nullptr) {
    return DrainAs<u16, Char16Source, u16>(s, rng);
}
inline Units32 Drain(Char32Source & s, std::mt19937 * rng = nullptr) {
    return DrainAs<u32, Char32Source, u32>(s, rng);
}

inline Bytes BytesOf(StringCharSink const & sink) {
    return Bytes(sink.unsigned_data(), sink.unsigned_data() + sink.size());
}
inline Units16 UnitsOf(StringChar16Sink const & sink) {
    return Units16(sink.data(), sink.data() + sink.size());
}
inline Units32 UnitsOf(StringChar32Sink const & sink) {
    return Units32(sink.data(), sink.data() + sink.size());
}

// --- behaviour ----------------------------------------------------------------------

// Counts the problems of each direction it receives, then handles them as
// the library's default does.
class CountingBehavior : public UnicodeLibBehavior {
public:
    CountingBehavior() : UnicodeLibBehavior(false) {}

    int bytes_to_16 = 0;
    int bytes_to_32 = 0;
    int from_16_to_32 = 0;
    int from_32_to_16 = 0;
    int to_bytes = 0;
    int Total() const {
        return bytes_to_16 + bytes_to_32 + from_16_to_32 + from_32_to_16 + to_bytes;
    }

#define ZUUC_COUNT(Handler, Problem, counter) \
    void Handler(Problem & p) override {      \
        ++counter;                            \
        UnicodeLibBehavior::Handler(p);       \
    }
    ZUUC_COUNT(HandleExternalToInternalConversionProblem, CharToChar16ConversionProblem,
               bytes_to_16)
    ZUUC_COUNT(HandleCharToChar32ConversionProblem, CharToChar32ConversionProblem, bytes_to_32)
    ZUUC_COUNT(HandleChar16ToChar32ConversionProblem, Char16ToChar32ConversionProblem,
               from_16_to_32)
    ZUUC_COUNT(HandleChar32ToChar16ConversionProblem, Char32ToChar16ConversionProblem,
               from_32_to_16)
    ZUUC_COUNT(HandleInternalToExternalConversionProblem, Char16ToCharConversionProblem, to_bytes)
    ZUUC_COUNT(HandleChar32ToCharConversionProblem, Char32ToCharConversionProblem, to_bytes)
#undef ZUUC_COUNT
};

}  // namespace zuuc_test::utf16

#endif
