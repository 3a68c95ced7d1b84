// The loops shared by the table-driven multi-byte, modal and range codecs:
// walking a decoder state machine, writing plane-table values as bytes, and
// the tie-break rule of their detectors.
#ifndef ZUUC_SRC_LEGACY_MBCS_CORE_H
#define ZUUC_SRC_LEGACY_MBCS_CORE_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "convert/transcode_contract.h"
#include "kernels/ascii_kernels.h"
#include "zuuc/code_tables.h"
#include "zuuc/detector.h"
#include "zuuc/transcoder.h"

namespace zuuc_internal::legacy {

// Values of a state-table entry with a meaning of their own.
constexpr unsigned int kInvalidSequence = 0xFFFD;
constexpr unsigned int kNoCharacterYet = 0xFFFF;
// A next state that asks for the byte to be read again from state 0.
constexpr unsigned int kReadAgain = 0xFFFF;

enum class DecodeMode {
    kPlain,      // consume failing sequences (result 4 after them)
    kInBlock,    // leave failing and incomplete sequences in place
    kLookAhead,  // plain, and honour "read again" entries
};

// The state a decoder keeps between calls.
struct DecoderState {
    unsigned int state = 0;
    unsigned int last_value = 0;
};

// A sequence cut short by a byte that cannot continue it ends before that
// byte when the byte can begin something in the state the machine falls back
// to: the problem then covers the bytes before it, and the byte is read again
// (a stray lead byte must not swallow the ASCII character after it). A byte
// that is invalid where the machine rests is consumed with the problem.
template <class T>
bool EndsBefore(MBCStoUnicodeTable<T> const & table, unsigned int before, unsigned int fallback,
                unsigned char byte) {
    return before != fallback && fallback < table.state_count &&
           table.At(fallback, byte).value != kInvalidSequence;
}

// The lowest byte `low` such that, in `state`, every byte from `low` to 0x7F
// decodes to itself and leaves the machine in `state`; 0x80 when 0x7F does
// not. Runs of such bytes can be copied without table lookups.
template <class T>
unsigned int CopyRunLow(MBCStoUnicodeTable<T> const & table, unsigned int state) {
    if (table.row_width < 0x80 || state >= table.state_count) {
        return 0x80;
    }
    unsigned int low = 0x80;
    while (low > 0) {
        MBCStoUnicodeEntry<T> const & entry = table.At(state, static_cast<unsigned char>(low - 1));
        if (entry.value != low - 1 || entry.next != state) {
            break;
        }
        --low;
    }
    return low;
}

// Whether an entry does not give a character that leaves the machine in
// `state` (tested without branches: the block decoder's one exit test).
template <class T>
inline bool Misfits(MBCStoUnicodeEntry<T> const & entry, unsigned int state) {
    unsigned int const value = entry.value;
    return ((entry.next ^ state) | static_cast<unsigned int>(value == kInvalidSequence) |
            static_cast<unsigned int>(value == kNoCharacterYet)) != 0;
}

// Whether an entry's value is a character (not "invalid", not "go on").
inline bool IsCharacterValue(unsigned int value) {
    return value != kInvalidSequence && value != kNoCharacterYet;
}

// Where a decoder is within its input and output while it runs a stretch;
// the fields are copied in and out so that the loop keeps them in registers.
template <class Out>
struct DecodeCursor {
    char const * in;
    Out * out;
    unsigned int state;
    unsigned int last_value;
    char const * sequence_start;  // where the sequence in progress began
    unsigned int sequence_state;  // and the state it began in
};

// Copies, from c.in, eight bytes at a time while all of them lie in
// [low, 0x80), and then byte by byte while they do, up to `stop`. Returns
// whether anything was copied.
template <class Out>
bool CopyRun(DecodeCursor<Out> & c, char const * stop, unsigned int low) {
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    std::uint64_t const add = 0x0101010101010101ull * (0x80u - low);
    char const * p = c.in;
    Out * o = c.out;
    while (stop - p >= 8) {
        // The bytes go through a local copy, which the output cannot alias,
        // so that the widening loop below can use vector instructions.
        unsigned char bytes[8];
        std::memcpy(bytes, p, 8);
        std::uint64_t word;
        std::memcpy(&word, bytes, 8);
        // A byte below 0x80 gets its top bit from the addition exactly when
        // it is at least `low`; bytes from 0x80 up fail the first test.
        if ((word & kHigh) != 0 || ((word + add) & kHigh) != kHigh) {
            break;
        }
        for (int i = 0; i < 8; ++i) {
            o[i] = static_cast<Out>(bytes[i]);
        }
        p += 8;
        o += 8;
    }
    while (p != stop) {
        unsigned int const b = static_cast<unsigned char>(*p);
        if (b >= 0x80 || b < low) {
            break;
        }
        *o++ = static_cast<Out>(b);
        ++p;
    }
    if (p == c.in) {
        return false;
    }
    c.last_value = static_cast<unsigned char>(p[-1]);
    c.out = o;
    c.in = p;
    c.sequence_start = p;
    c.sequence_state = c.state;
    return true;
}

// The block path of DecodeStretch. In text that switches script every few
// characters (Korean: short runs of ASCII between short runs of two-byte
// syllables) the "one byte or two" branch of the stretch loop mispredicts at
// every switch. Where, in the current state, every byte below 0x80 decodes to
// itself and stays in the state, and a byte from 0x80 up leads to a state in which
// the next byte completes a character that returns to the current state, the
// length of each character is known from its first byte alone: 1 below 0x80,
// 2 from 0x80 up. The lengths within a block of 32 bytes come from one mask of
// their high bits, so that the next position never waits for a table load and
// the lookups of successive characters overlap. Each character is then one
// lookup of its last byte in a row chosen by its first byte (BlockRows), and
// the only branch is the well-predicted test that the character fits.
constexpr std::size_t kDecodeBlock = 32;
// The least stretch for which the rows are worth building.
constexpr std::size_t kDecodeBlockMinimum = 128;

// A row of entries that are all "invalid": where BlockRows sends first bytes
// that do not fit the pattern.
template <class T>
struct MisfitRow {
    static constexpr std::size_t kWidth = 256;
    MBCStoUnicodeEntry<T> entries[kWidth];
    constexpr MisfitRow() : entries() {
        for (std::size_t i = 0; i < kWidth; ++i) {
            entries[i] = MBCStoUnicodeEntry<T>{};
            entries[i].value = kInvalidSequence;
            entries[i].next = 0;
        }
    }
};
template <class T>
inline constexpr MisfitRow<T> kMisfitRow{};

// For one state of a table with rows of 256 entries in which every byte below
// 0x80 decodes to itself (CopyRunLow is 0), the row in which the block path
// looks up the last byte of a character, by its first byte: the state's own
// row for a byte below 0x80 (the byte is looked up again), the row of the
// state a lead from 0x80 up leads to, else the misfit row. The rows of the
// last state asked for are kept.
template <class T>
class BlockRows {
public:
    static constexpr unsigned int kNone = ~0u;

    MBCStoUnicodeEntry<T> const * const * For(MBCStoUnicodeTable<T> const & table,
                                              unsigned int state) {
        if (state != state_) {
            MBCStoUnicodeEntry<T> const * const row = table.entries + std::size_t{state} * 256;
            for (unsigned int b = 0; b < 0x80; ++b) {
                rows_[b] = row;
            }
            // Without branches, and in integers, so that a next state outside
            // the table makes no pointer to outside it.
            std::uintptr_t const base = reinterpret_cast<std::uintptr_t>(table.entries);
            std::uintptr_t const misfit = reinterpret_cast<std::uintptr_t>(kMisfitRow<T>.entries);
            for (unsigned int b = 0x80; b < 256; ++b) {
                MBCStoUnicodeEntry<T> const entry = row[b];
                std::uintptr_t const lead =
                    static_cast<std::uintptr_t>(entry.value == kNoCharacterYet) &
                    static_cast<std::uintptr_t>(entry.next < table.state_count);
                std::uintptr_t const mask = 0 - lead;
                std::uintptr_t const target =
                    base + std::uintptr_t{entry.next} * 256 * sizeof(MBCStoUnicodeEntry<T>);
                rows_[b] = reinterpret_cast<MBCStoUnicodeEntry<T> const *>((target & mask) |
                                                                           (misfit & ~mask));
            }
            state_ = state;
        }
        return rows_;
    }

private:
    unsigned int state_ = kNone;
    MBCStoUnicodeEntry<T> const * rows_[256];
};

// The copy-run bounds (see CopyRunLow) of the first few states, found when
// first needed during one call.
template <class T>
class CopyRuns {
public:
    static constexpr unsigned int kStates = 8;
    static constexpr unsigned int kUnknown = 0x100;

    explicit CopyRuns(MBCStoUnicodeTable<T> const & table) : table_(table) {
        for (unsigned int & low : low_) {
            low = kUnknown;
        }
    }
    // 0x80 (no run) for states past the first few.
    unsigned int Low(unsigned int state) {
        if (state >= kStates) {
            return 0x80;
        }
        if (low_[state] == kUnknown) {
            low_[state] = CopyRunLow(table_, state);
        }
        return low_[state];
    }

    // The block path's rows for `state` (see BlockRows); the table's rows
    // must be 256 entries wide.
    MBCStoUnicodeEntry<T> const * const * Rows(unsigned int state) {
        return block_rows_.For(table_, state);
    }

private:
    MBCStoUnicodeTable<T> const & table_;
    unsigned int low_[kStates];
    BlockRows<T> block_rows_;
};

// Bit i set when byte i of the kDecodeBlock bytes at p is 0x80 or above.
inline unsigned int HighBitMask(char const * p) {
    static_assert(kDecodeBlock == 32, "one kernel call scans a block");
    return zuuc_internal::kernels::HighBitMask32(p);
}

// Decodes whole blocks of kDecodeBlock bytes from p while every character
// fits the pattern above (a block's characters end by its last byte, so a
// character starting at its last byte is left to the next block). Stops
// before the first character that does not fit, or when fewer than
// kDecodeBlock bytes are left before `stop`; p, o and last are then as the
// stretch loop leaves them after the same characters. `rows` are the
// BlockRows of `state`; a block of bytes below 0x80 is copied as it is.
// Returns whether it stopped at a character that does not fit.
template <class T, class Out>
bool DecodeBlocks(MBCStoUnicodeEntry<T> const * const * rows, unsigned int state,
                  char const *& p_io, Out *& o_io, unsigned int & last_io, char const * stop) {
    char const * p = p_io;
    Out * o = o_io;
    unsigned int last = last_io;
    constexpr unsigned int kAllHigh = 0xFFFFFFFFu;
    static_assert(kDecodeBlock == 32, "the mask holds one bit per byte of a block");
    bool misfit = false;
    while (static_cast<std::size_t>(stop - p) >= kDecodeBlock) {
        unsigned int const mask = HighBitMask(p);
        if (mask == 0) {
            unsigned char bytes[kDecodeBlock];
            std::memcpy(bytes, p, kDecodeBlock);
            for (std::size_t i = 0; i < kDecodeBlock; ++i) {
                o[i] = static_cast<Out>(bytes[i]);
            }
            o += kDecodeBlock;
            p += kDecodeBlock;
            last = bytes[kDecodeBlock - 1];
            continue;
        }
        unsigned int pos = 0;
        if (mask == kAllHigh) {
            // Only two-byte characters: no lengths to follow.
            for (; pos < kDecodeBlock; pos += 2) {
                unsigned int const first = static_cast<unsigned char>(p[pos]);
                unsigned int const second = static_cast<unsigned char>(p[pos + 1]);
                MBCStoUnicodeEntry<T> const entry = rows[first][second];
                if (Misfits(entry, state)) {
                    misfit = true;
                    break;
                }
                unsigned int const value = entry.value;
                *o++ = static_cast<Out>(value);
                last = value;
            }
            p += pos;
            if (misfit) {
                break;
            }
            continue;
        }
        while (pos < kDecodeBlock - 1) {
            // The last byte is the first again for a byte below 0x80.
            unsigned int const high = (mask >> pos) & 1u;
            unsigned int const first = static_cast<unsigned char>(p[pos]);
            unsigned int const second = static_cast<unsigned char>(p[pos + high]);
            MBCStoUnicodeEntry<T> const entry = rows[first][second];
            if (Misfits(entry, state)) {
                misfit = true;
                break;
            }
            unsigned int const value = entry.value;
            *o++ = static_cast<Out>(value);
            last = value;
            pos += 1 + high;
        }
        p += pos;
        if (misfit) {
            break;
        }
    }
    p_io = p;
    o_io = o;
    last_io = last;
    return misfit;
}

// Runs the state machine from c.in to `stop`, where the caller has made sure
// that every unit the bytes can produce fits the room and the limit (each
// byte produces at most one unit), outside look-ahead mode. A byte that
// starts a sequence and the byte after it are read in one step when the
// second completes the character (most characters of CJK text). Returns 0
// when the stretch is done, else the problem that ends the call (with c set
// as the one-byte loop leaves it).
//
// In a long enough stretch, where the state fits the pattern of the block
// path (DecodeBlocks), that path takes the characters it can, and the loop
// below the one it stops at; after such a stop the block path is tried again
// some bytes later.
//
// kWidth is the table's row width when known at compile time (256 for every
// table built so far), else 0 (no block path); the start of the sequence in
// progress is kept only in block mode, the one mode that goes back to it.
template <unsigned int kWidth, bool kInBlock, class T, class Out>
TranscodeResult DecodeStretch(MBCStoUnicodeTable<T> const & table, CopyRuns<T> & runs,
                              DecodeCursor<Out> & c, char const * stop) {
    MBCStoUnicodeEntry<T> const * const entries = table.entries;
    std::size_t const width = kWidth != 0 ? kWidth : table.row_width;
    char const * p = c.in;
    Out * o = c.out;
    unsigned int state = c.state;
    unsigned int last = c.last_value;
    char const * sequence_start = c.sequence_start;
    unsigned int sequence_state = c.sequence_state;
    TranscodeResult result = kTranscodeComplete;
    // Where the block path is tried next, and how far past a misfit it waits
    // (doubled while it keeps failing at once, so that tables and texts that
    // do not fit the pattern hardly pay for it).
    char const * retry = kWidth == 256 ? p : stop;
    std::size_t hold = kDecodeBlock;
    while (p != stop) {
        if (p >= retry) {
            char const * const from = p;
            bool misfit = false;
            // The pattern needs every byte below 0x80 to decode to itself.
            if (static_cast<std::size_t>(stop - p) >= kDecodeBlockMinimum && runs.Low(state) == 0) {
                misfit = DecodeBlocks(runs.Rows(state), state, p, o, last, stop);
            } else {
                misfit = true;
            }
            if (p != from && kInBlock) {
                sequence_start = p;
                sequence_state = state;
            }
            if (!misfit) {
                retry = stop;  // too little left for a block
            } else {
                hold = static_cast<std::size_t>(p - from) >= 2 * kDecodeBlock ? kDecodeBlock
                       : hold < 1024                                          ? 2 * hold
                                                                              : hold;
                retry = static_cast<std::size_t>(stop - p) > hold ? p + hold : stop;
            }
            if (p == stop) {
                break;
            }
        }
        // The one-step loop runs up to the next try of the block path (a
        // two-byte step or a copy run may go past it).
        char const * const until = retry < stop ? retry : stop;
        while (p < until) {
            unsigned int byte = static_cast<unsigned char>(*p);
            // The common cases test the next state against the current one
            // instead of taking it from the table, so that the next step's
            // lookup does not wait for this one's.
            unsigned int before = state;
            MBCStoUnicodeEntry<T> entry = entries[state * width + byte];
            ++p;
            if (entry.next == state && IsCharacterValue(entry.value)) {
                last = entry.value;
                *o++ = static_cast<Out>(last);
                if (kInBlock) {
                    sequence_start = p;
                    sequence_state = state;
                }
                if (byte < 0x80 && p != stop && static_cast<unsigned char>(*p) < 0x80) {
                    // Two bytes below 0x80 in a row: worth trying a copy run
                    // (a lone one, such as a space between Korean words, is
                    // cheaper through the table).
                    unsigned int const low = runs.Low(state);
                    if (static_cast<unsigned char>(*p) >= low) {
                        c.in = p;
                        c.out = o;
                        c.state = state;
                        c.last_value = last;
                        CopyRun(c, stop, low);
                        p = c.in;
                        o = c.out;
                        last = c.last_value;
                        if (kInBlock) {
                            sequence_start = p;
                            sequence_state = state;
                        }
                    }
                }
                continue;
            }
            if (entry.value == kNoCharacterYet && entry.next != kReadAgain && p != stop) {
                // The two-byte step: the next byte in the state this one leads to.
                before = entry.next;
                byte = static_cast<unsigned char>(*p);
                entry = entries[before * width + byte];
                ++p;
                if (entry.next == state && IsCharacterValue(entry.value)) {
                    last = entry.value;
                    *o++ = static_cast<Out>(last);
                    if (kInBlock) {
                        sequence_start = p;
                        sequence_state = state;
                    }
                    continue;
                }
            }
            unsigned int const value = entry.value;
            last = value;
            state = entry.next == kReadAgain ? 0 : entry.next;
            if (IsCharacterValue(value)) {
                *o++ = static_cast<Out>(value);
                if (kInBlock) {
                    sequence_start = p;
                    sequence_state = state;
                }
                continue;
            }
            if (value == kNoCharacterYet) {
                continue;
            }
            // An invalid sequence.
            if (kInBlock) {
                p = sequence_start;
                state = sequence_state;
            } else if (EndsBefore(table, before, state, static_cast<unsigned char>(byte))) {
                --p;
            }
            result = kTranscodeNoCharacterDefined;
            break;
        }
        if (result != kTranscodeComplete) {
            break;
        }
    }
    c.in = p;
    c.out = o;
    c.state = state;
    c.last_value = last;
    c.sequence_start = sequence_start;
    c.sequence_state = sequence_state;
    return result;
}

template <class T, class Out>
TranscodeResult DecodeStretch(MBCStoUnicodeTable<T> const & table, CopyRuns<T> & runs,
                              DecodeCursor<Out> & c, char const * stop, DecodeMode mode) {
    if (table.row_width == 256) {
        return mode == DecodeMode::kInBlock ? DecodeStretch<256, true>(table, runs, c, stop)
                                            : DecodeStretch<256, false>(table, runs, c, stop);
    }
    return mode == DecodeMode::kInBlock ? DecodeStretch<0, true>(table, runs, c, stop)
                                        : DecodeStretch<0, false>(table, runs, c, stop);
}

// Runs the state machine over [in, inEnd). Characters are written as one
// unit each (Out is 16- or 32-bit; 16-bit tables never hold larger values).
//
// Outside look-ahead mode every step reads one byte and writes at most one
// unit, so over the next min(input, room, limit left) bytes the room and limit
// tests cannot fail: such stretches run without them (DecodeStretch), copy
// runs of bytes that decode to themselves directly and take two-byte
// characters in one step. The results, the bytes consumed and the state are
// those of the one-byte loop below.
template <class T, class Out>
TranscodeResult Decode(MBCStoUnicodeTable<T> const & table, DecoderState & s, char const *& in,
                       char const * inEnd, Out *& out, Out * outEnd, long limit, DecodeMode mode) {
    char const * sequence_start = in;
    unsigned int sequence_state = s.state;
    long written = 0;
    if (mode != DecodeMode::kLookAhead) {
        CopyRuns<T> runs(table);
        while (in != inEnd) {
            std::size_t budget = static_cast<std::size_t>(inEnd - in);
            std::size_t const room = static_cast<std::size_t>(outEnd - out);
            if (room < budget) {
                budget = room;
            }
            if (limit >= 0) {
                long const left = limit - written;
                if (left <= 0) {
                    budget = 0;
                } else if (static_cast<std::size_t>(left) < budget) {
                    budget = static_cast<std::size_t>(left);
                }
            }
            if (budget == 0) {
                break;  // the one-byte loop reports the full output or the limit
            }
            DecodeCursor<Out> c{in, out, s.state, s.last_value, sequence_start, sequence_state};
            TranscodeResult const result = DecodeStretch(table, runs, c, in + budget, mode);
            written += c.out - out;
            in = c.in;
            out = c.out;
            s.state = c.state;
            s.last_value = c.last_value;
            sequence_start = c.sequence_start;
            sequence_state = c.sequence_state;
            if (result != kTranscodeComplete) {
                return result;
            }
        }
    }
    while (in != inEnd) {
        if (out == outEnd || (limit >= 0 && written >= limit)) {
            if (mode == DecodeMode::kInBlock) {
                in = sequence_start;
                s.state = sequence_state;
            }
            return out == outEnd ? kTranscodeOutputFull : kTranscodeLimitReached;
        }
        unsigned int const previous = s.state;
        MBCStoUnicodeEntry<T> const & entry = table.At(s.state, static_cast<unsigned char>(*in));
        ++in;
        s.last_value = entry.value;
        s.state = entry.next == kReadAgain ? 0 : entry.next;
        if (entry.value == kInvalidSequence) {
            if (mode == DecodeMode::kInBlock) {
                in = sequence_start;
                s.state = sequence_state;
            } else if (EndsBefore(table, previous, s.state, static_cast<unsigned char>(in[-1]))) {
                --in;
            }
            return kTranscodeNoCharacterDefined;
        }
        if (entry.value == kNoCharacterYet) {
            continue;
        }
        *out++ = static_cast<Out>(entry.value);
        ++written;
        // The character ended before this byte: read it again from state 0
        // (never from state 0 itself, which would loop).
        if (entry.next == kReadAgain && mode == DecodeMode::kLookAhead && previous != 0) {
            --in;
        }
        sequence_start = in;
        sequence_state = s.state;
    }
    if (mode == DecodeMode::kInBlock && s.state != 0) {
        in = sequence_start;
        s.state = sequence_state;
    }
    return kTranscodeInputExhausted;
}

// Completes, at the end of the input, a character a look-ahead decoder still
// holds: the entry for byte 0x00 stands for "no byte follows".
template <class T, class Out>
TranscodeResult FinishLookAhead(MBCStoUnicodeTable<T> const & table, DecoderState & s, Out *& out,
                                Out * outEnd, long limit) {
    TranscodeResult result = kTranscodeComplete;
    if (s.state != 0) {
        MBCStoUnicodeEntry<T> const & entry = table.At(s.state, 0);
        if (entry.value == kInvalidSequence || entry.value == kNoCharacterYet) {
            result = kTranscodeIllegalInput;
        } else {
            if (out == outEnd) {
                return kTranscodeOutputFull;
            }
            if (limit == 0) {
                return kTranscodeLimitReached;
            }
            *out++ = static_cast<Out>(entry.value);
        }
    } else if (s.last_value == kNoCharacterYet) {
        result = kTranscodeIllegalInput;
    }
    s = DecoderState();
    return result;
}

// --- plane-table values as byte sequences ---

template <class V>
inline unsigned int ByteCount(V value) {
    unsigned long const v = value;
    return v <= 0xFFu ? 1u : v <= 0xFFFFu ? 2u : v <= 0xFFFFFFu ? 3u : 4u;
}

template <class V>
inline void PutBytes(char *& out, V value, unsigned int count) {
    unsigned long const v = value;
    for (unsigned int i = count; i-- > 0;) {
        *out++ = static_cast<char>((v >> (8 * i)) & 0xFFu);
    }
}

using zuuc_internal::IsHighSurrogate;
using zuuc_internal::IsLowSurrogate;

// Whether a character of `count` bytes can be written: 0 when it can, else
// the result that stops the call (output full first, then the limit).
inline TranscodeResult RoomFor(unsigned int count, char const * out, char const * outEnd,
                               long limit, long written) {
    if (outEnd - out < static_cast<long>(count)) {
        return kTranscodeOutputFull;
    }
    if (limit >= 0 && written + static_cast<long>(count) > limit) {
        return kTranscodeLimitReached;
    }
    return kTranscodeComplete;
}

// UTF-16 units taken from the input in an earlier call but not yet
// converted: a high surrogate that ended the input (its low surrogate may
// come next), or a unit kept so that a call reporting a problem about
// earlier units still moves the input on.
struct HeldUnits {
    unsigned short units[2] = {0, 0};
    unsigned int count = 0;
    void Clear() { count = 0; }
};

// The held units followed by the input of the current call.
class Utf16Input {
public:
    Utf16Input(HeldUnits & held, unsigned short const *& in, unsigned short const * end)
        : held_(held), in_(in), end_(end), start_(in) {}

    std::size_t Available() const { return held_.count + static_cast<std::size_t>(end_ - in_); }
    unsigned int At(std::size_t i) const {
        return i < held_.count ? held_.units[i] : in_[i - held_.count];
    }
    void Consume(std::size_t n) {
        while (n > 0 && held_.count > 0) {
            held_.units[0] = held_.units[1];
            --held_.count;
            --n;
        }
        in_ += n;
    }
    // Moves what is left of the input (one unit at most) into the held units.
    void HoldRest() {
        while (in_ != end_ && held_.count < 2) {
            held_.units[held_.count++] = *in_++;
        }
    }
    // Makes sure the call moves the input on: when it has not, the next unit
    // is taken into the held units (and converted on the next call).
    void MoveOn() {
        if (in_ == start_ && in_ != end_ && held_.count < 2) {
            held_.units[held_.count++] = *in_++;
        }
    }

private:
    HeldUnits & held_;
    unsigned short const *& in_;
    unsigned short const * end_;
    unsigned short const * start_;
};

// Encodes UTF-16 units one by one. `lookup(unit, value)` answers whether the
// unit is mapped. An unmapped surrogate pair is one problem, also when the
// pair is split between calls (the high surrogate is then held).
template <class Lookup>
TranscodeResult EncodeUTF16(Lookup && lookup, HeldUnits & held, unsigned short const *& in,
                            unsigned short const * inEnd, char *& out, char * outEnd, long limit,
                            bool in_block) {
    Utf16Input input(held, in, inEnd);
    long written = 0;
    while (input.Available() != 0) {
        unsigned int const unit = input.At(0);
        unsigned long value = 0;
        if (lookup(unit, value)) {
            unsigned int const count = ByteCount(value);
            TranscodeResult const stop = RoomFor(count, out, outEnd, limit, written);
            if (stop != kTranscodeComplete) {
                return stop;
            }
            PutBytes(out, value, count);
            written += count;
            input.Consume(1);
            continue;
        }
        std::size_t units = 1;
        if (IsHighSurrogate(unit)) {
            if (input.Available() == 1) {
                if (in_block) {
                    return kTranscodeNotInRepertoire;
                }
                input.HoldRest();  // the low surrogate may come with the next call
                return kTranscodeInputExhausted;
            }
            if (IsLowSurrogate(input.At(1))) {
                units = 2;
            }
        }
        if (!in_block) {
            input.Consume(units);
            input.MoveOn();
        }
        return kTranscodeNotInRepertoire;
    }
    return kTranscodeInputExhausted;
}

// Finish of the UTF-16 encoders: converts the held units; a high surrogate
// still held is unmappable. Returns 0 when all is done.
template <class Lookup>
TranscodeResult FinishUTF16(Lookup && lookup, HeldUnits & held, char *& out, char * outEnd,
                            long limit) {
    unsigned short const * none = nullptr;
    TranscodeResult const result = EncodeUTF16(lookup, held, none, none, out, outEnd, limit, false);
    if (result != kTranscodeInputExhausted) {
        return result;
    }
    if (held.count != 0) {
        held.Clear();
        return kTranscodeNotInRepertoire;
    }
    return kTranscodeComplete;
}

// Encodes UTF-32 code points one by one.
template <class Lookup>
TranscodeResult EncodeUTF32(Lookup && lookup, unsigned int const *& in, unsigned int const * inEnd,
                            char *& out, char * outEnd, long limit, bool in_block) {
    long written = 0;
    while (in != inEnd) {
        unsigned long value = 0;
        if (!lookup(*in, value)) {
            if (!in_block) {
                ++in;
            }
            return kTranscodeNotInRepertoire;
        }
        unsigned int const count = ByteCount(value);
        TranscodeResult const stop = RoomFor(count, out, outEnd, limit, written);
        if (stop != kTranscodeComplete) {
            return stop;
        }
        PutBytes(out, value, count);
        written += count;
        ++in;
    }
    return kTranscodeInputExhausted;
}

// --- detectors ---

// Steps a state table over bytes the way the decoders do; the detectors use
// it on either width of table.
template <class T>
struct TableWalker {
    MBCStoUnicodeTable<T> const * table;
    unsigned int state;

    // The entry's value for `byte`; sets `again` when the byte must be read
    // once more from state 0.
    unsigned int Step(unsigned char byte, bool & again) {
        unsigned int const previous = state;
        MBCStoUnicodeEntry<T> const & entry = table->At(state, byte);
        again = entry.next == kReadAgain && previous != 0;
        state = entry.next == kReadAgain ? 0 : entry.next;
        return entry.value;
    }
};

// Which decoded characters cost a tie-breaker point.
enum class Penalty {
    kPrivateUse,              // U+E000..U+F8FF
    kPrivateUseAndHalfwidth,  // and the halfwidth katakana U+FF61..U+FF9F
};

// Collects the characters of a tie-break: private-use characters (and, for
// Japanese modal text, halfwidth katakana) cost a point each; with a language
// detector and a level above 0 the characters are kept for its score.
class TieBreak {
public:
    TieBreak(unsigned char level, LanguageDetector * language, Penalty penalty)
        : level_(level), language_(language), penalty_(penalty) {}

    void Add(unsigned int c) {
        if (c == kInvalidSequence || c == kNoCharacterYet) {
            return;  // no character (values beyond U+FFFF are characters)
        }
        if ((c >= 0xE000 && c <= 0xF8FF) ||
            (penalty_ == Penalty::kPrivateUseAndHalfwidth && c >= 0xFF61 && c <= 0xFF9F)) {
            --points_;
        }
        if (language_ != nullptr && level_ > 0) {
            code_points_.push_back(c);
        }
    }

    // Adds the points (and the language score) to `tie_breaker`.
    void Apply(int & tie_breaker) {
        tie_breaker += points_;
        if (language_ != nullptr && level_ > 0 && !code_points_.empty()) {
            language_->Score(tie_breaker, code_points_.data(),
                             static_cast<unsigned int>(code_points_.size()), level_);
        }
    }

private:
    unsigned char level_;
    LanguageDetector * language_;
    Penalty penalty_;
    int points_ = 0;
    std::vector<unsigned int> code_points_;
};

// Decodes [start, end) from state 0 into `tie`; stops at the first invalid
// sequence when `stop_at_invalid` is set and returns where decoding stopped
// (the start of that sequence, or end).
template <class T>
unsigned char const * DecodeForTieBreak(MBCStoUnicodeTable<T> const & table,
                                        unsigned char const * start, unsigned char const * end,
                                        TieBreak & tie, bool stop_at_invalid) {
    TableWalker<T> walker{&table, 0};
    unsigned char const * sequence_start = start;
    for (unsigned char const * p = start; p < end;) {
        bool again = false;
        unsigned int const value = walker.Step(*p, again);
        ++p;
        if (value == kInvalidSequence) {
            if (stop_at_invalid) {
                return sequence_start;
            }
            sequence_start = p;
            continue;
        }
        if (value == kNoCharacterYet) {
            continue;
        }
        tie.Add(value);
        if (again) {
            --p;
        }
        sequence_start = p;
    }
    return end;
}

}  // namespace zuuc_internal::legacy

#endif
