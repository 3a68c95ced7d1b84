#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "convert/transcode_contract.h"
#include "kernels/ascii_kernels.h"
#include "zuuc/sbcs_encoding.h"

// The single-byte converters. Each character is one unit in and one unit
// out, so the whole-character rule reduces to checking for room before
// consuming; the limit (units this call may still write, -1 for none) is
// checked the same way and leaves the character unconsumed.

namespace {

constexpr unsigned short kNoCharacter = 0xFFFD;

using zuuc_internal::IsHighSurrogate;
using zuuc_internal::IsLowSurrogate;

// Whether a byte-to-Unicode table maps 0x00-0x7F to themselves, so that
// ASCII bytes can be widened without reading it. Decided per call (the
// converter classes have no room for a cached answer): one comparison of 256
// bytes, made only when the call converts enough bytes to gain from it.
bool AsciiIsIdentity(unsigned short const * table) {
    struct Identity {
        unsigned short units[0x80];
        constexpr Identity() : units() {
            for (unsigned int i = 0; i < 0x80; ++i) {
                units[i] = static_cast<unsigned short>(i);
            }
        }
    };
    static constexpr Identity kIdentity{};
    return std::memcmp(table, kIdentity.units, sizeof kIdentity.units) == 0;
}

// The same for a Unicode-to-byte table: page 0 maps 0x00-0x7F to themselves,
// and the marker for "unmapped" is not one of them.
bool AsciiIsIdentity(SBCSFromUnicodeTable const * table) {
    if (table->undefined < 0x80) {
        return false;
    }
    unsigned char const * const page = table->pages[0];
    unsigned char differs = 0;
    for (unsigned int i = 0; i < 0x80; ++i) {
        differs |= static_cast<unsigned char>(page[i] ^ i);
    }
    return differs == 0;
}

using zuuc_internal::kernels::WidenAscii16;

// Calls converting fewer units than this do not look for the ASCII shortcut.
constexpr std::size_t kShortcutMinimum = 32;

// Byte to Unicode through a 256-entry table (null for ISO-8859-1, where the
// byte value is the code point).
template <class Out>
TranscodeResult DecodeBytes(unsigned short const * table, char const *& in, char const * inEnd,
                            Out *& out, Out * outEnd, long limit) {
    // Room, limit and input are settled once for the whole run.
    auto const * bytes = reinterpret_cast<unsigned char const *>(in);
    std::size_t n =
        std::min(static_cast<std::size_t>(inEnd - in), static_cast<std::size_t>(outEnd - out));
    if (limit >= 0 && static_cast<std::size_t>(limit) < n) {
        n = static_cast<std::size_t>(limit);
    }
    if (table == nullptr) {
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = static_cast<Out>(bytes[i]);
        }
    } else {
        // Maps bytes [from, end) through the table; returns where it stopped
        // (at an undefined byte, or at the end).
        auto map = [&](std::size_t from, std::size_t end) {
            for (; from < end; ++from) {
                unsigned int const value = table[bytes[from]];
                if (value == kNoCharacter) {
                    break;
                }
                out[from] = static_cast<Out>(value);
            }
            return from;
        };
        // Blocks of 16 bytes: widened directly when all are ASCII and the
        // table maps ASCII to itself, else looked up byte by byte.
        std::size_t i = 0;
        bool const ascii = n >= kShortcutMinimum && AsciiIsIdentity(table);
        while (n - i >= 16) {
            if (ascii && WidenAscii16(bytes + i, out + i)) {
                i += 16;
                continue;
            }
            std::size_t const end = i + 16;
            i = map(i, end);
            if (i != end) {
                break;
            }
        }
        if (n - i < 16) {
            i = map(i, n);
        }
        if (i != n) {
            in += i + 1;  // the undefined byte is consumed
            out += i;
            return kTranscodeNoCharacterDefined;
        }
    }
    in += n;
    out += n;
    if (in == inEnd) {
        return kTranscodeInputExhausted;
    }
    return out == outEnd ? kTranscodeOutputFull : kTranscodeLimitReached;
}

// The byte for code point `c` (at most 0xFFFF), or -1 when it has none.
int EncodeUnit(SBCSFromUnicodeTable const * table, unsigned int c) {
    if (table == nullptr) {
        return c < 0x100 ? static_cast<int>(c) : -1;
    }
    unsigned char const byte = table->Lookup(static_cast<unsigned short>(c));
    return byte == table->undefined ? -1 : byte;
}

// Unicode to byte. UTF-16 input: a surrogate pair is one character, always
// unmappable here, consumed whole and reported once; `high_pending` carries
// a high surrogate that ended the previous call. UTF-32 input: values above
// 0xFFFF are unmappable without looking at the table.
template <class In>
TranscodeResult EncodeUnits(SBCSFromUnicodeTable const * table, bool & high_pending, In const *& in,
                            In const * inEnd, char *& out, char * outEnd, long limit) {
    constexpr bool kUtf16 = sizeof(In) == 2;
    if (kUtf16 && high_pending && in != inEnd) {
        // The pair's second half, or a lone high surrogate: one problem either way.
        high_pending = false;
        if (IsLowSurrogate(*in)) {
            ++in;
        }
        return kTranscodeNotInRepertoire;
    }
    // Fast run: every unit writes exactly one byte, so room, limit and input
    // are settled once and the loop stops at the first unit that needs care
    // (a surrogate, a value above 0xFFFF or an unmapped character).
    std::size_t n =
        std::min(static_cast<std::size_t>(inEnd - in), static_cast<std::size_t>(outEnd - out));
    if (limit >= 0 && static_cast<std::size_t>(limit) < n) {
        n = static_cast<std::size_t>(limit);
    }
    // The table fields live in locals: stores through `out` may alias them.
    std::size_t i = 0;
    if (table == nullptr) {
        for (; i < n && in[i] < 0x100; ++i) {
            out[i] = static_cast<char>(in[i]);
        }
    } else {
        unsigned char const * const * const pages = table->pages;
        unsigned char const undefined = table->undefined;
        // Maps units [i, end) through the table; returns where it stopped.
        auto map = [&](std::size_t from, std::size_t end) {
            for (; from < end; ++from) {
                unsigned int const c = in[from];
                if ((kUtf16 && c >= 0xD800 && c <= 0xDFFF) || c > 0xFFFF) {
                    break;
                }
                unsigned char const byte = pages[c >> 8][c & 0xFF];
                if (byte == undefined) {
                    break;
                }
                out[from] = static_cast<char>(byte);
            }
            return from;
        };
        if (n >= kShortcutMinimum && AsciiIsIdentity(table)) {
            // Blocks of 8 units below 0x80 are narrowed without the table;
            // other blocks go through it and stop at the first problem.
            while (n - i >= 8) {
                unsigned int any = 0;
                for (std::size_t k = 0; k < 8; ++k) {
                    any |= in[i + k];
                }
                if (any < 0x80) {
                    for (std::size_t k = 0; k < 8; ++k) {
                        out[i + k] = static_cast<char>(in[i + k]);
                    }
                    i += 8;
                    continue;
                }
                std::size_t const end = i + 8;
                i = map(i, end);
                if (i != end) {
                    n = i;  // the unit-by-unit loop below settles it
                }
            }
        }
        i = map(i, n);
    }
    in += i;
    out += i;
    if (limit > 0) {
        limit -= static_cast<long>(i);
    }
    // What stopped the run (a problem, full output, the limit or the end of
    // the input) is settled unit by unit; at most one more unit is looked at.
    while (in != inEnd) {
        unsigned int const c = *in;
        if (kUtf16 && (IsHighSurrogate(c) || IsLowSurrogate(c))) {
            ++in;
            if (IsHighSurrogate(c)) {
                if (in == inEnd) {
                    high_pending = true;  // wait for the other half
                    return kTranscodeInputExhausted;
                }
                if (IsLowSurrogate(*in)) {
                    ++in;
                }
            }
            return kTranscodeNotInRepertoire;
        }
        if (c > 0xFFFF) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
        int const byte = EncodeUnit(table, c);
        if (byte < 0) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
        if (out == outEnd) {
            return kTranscodeOutputFull;
        }
        if (limit == 0) {
            return kTranscodeLimitReached;
        }
        ++in;
        *out++ = static_cast<char>(byte);
        if (limit > 0) {
            --limit;
        }
    }
    return kTranscodeInputExhausted;
}

}  // namespace

// --- SBCStoUTF16 / SBCStoUTF32 --------------------------------------------------

SBCStoUTF16::SBCStoUTF16(unsigned short const * to_unicode, bool text_mode_safe)
    : to_unicode_(to_unicode), text_mode_safe_(text_mode_safe) {}
SBCStoUTF16::~SBCStoUTF16() = default;

TranscodeResult SBCStoUTF16::Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                                       unsigned short * outEnd, long limit) {
    return DecodeBytes(to_unicode_, in, inEnd, out, outEnd, limit);
}

TranscodeResult SBCStoUTF16::Finish(unsigned short *&, unsigned short *, long) {
    Reset();
    return kTranscodeComplete;
}

void SBCStoUTF16::Reset() {}

SBCStoUTF32::SBCStoUTF32(unsigned short const * to_unicode, bool text_mode_safe)
    : to_unicode_(to_unicode), text_mode_safe_(text_mode_safe) {}
SBCStoUTF32::~SBCStoUTF32() = default;

TranscodeResult SBCStoUTF32::Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                       unsigned int * outEnd, long limit) {
    return DecodeBytes(to_unicode_, in, inEnd, out, outEnd, limit);
}

TranscodeResult SBCStoUTF32::Finish(unsigned int *&, unsigned int *, long) {
    Reset();
    return kTranscodeComplete;
}

void SBCStoUTF32::Reset() {}

// --- SBCSFromUTF16 / SBCSFromUTF32 ------------------------------------------------

SBCSFromUTF16::SBCSFromUTF16(SBCSFromUnicodeTable const * from_unicode, bool text_mode_safe)
    : from_unicode_(from_unicode), text_mode_safe_(text_mode_safe) {}
SBCSFromUTF16::~SBCSFromUTF16() = default;

TranscodeResult SBCSFromUTF16::Transcode(unsigned short const *& in, unsigned short const * inEnd,
                                         char *& out, char * outEnd, long limit) {
    bool pending = state_flag();
    TranscodeResult const result =
        EncodeUnits(from_unicode_, pending, in, inEnd, out, outEnd, limit);
    set_state_flag(pending);
    return result;
}

TranscodeResult SBCSFromUTF16::Finish(char *&, char *, long) {
    bool const pending = state_flag();
    Reset();
    return pending ? kTranscodeNotInRepertoire : kTranscodeComplete;
}

SBCSFromUTF32::SBCSFromUTF32(SBCSFromUnicodeTable const * from_unicode, bool text_mode_safe)
    : from_unicode_(from_unicode), text_mode_safe_(text_mode_safe) {}
SBCSFromUTF32::~SBCSFromUTF32() = default;

TranscodeResult SBCSFromUTF32::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                         char *& out, char * outEnd, long limit) {
    bool unused = false;
    return EncodeUnits(from_unicode_, unused, in, inEnd, out, outEnd, limit);
}

TranscodeResult SBCSFromUTF32::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

// --- ISO-8859-1 ----------------------------------------------------------------

Latin1ToUTF16::Latin1ToUTF16() = default;
Latin1ToUTF16::~Latin1ToUTF16() = default;

TranscodeResult Latin1ToUTF16::Transcode(char const *& in, char const * inEnd,
                                         unsigned short *& out, unsigned short * outEnd,
                                         long limit) {
    return DecodeBytes(nullptr, in, inEnd, out, outEnd, limit);
}

TranscodeResult Latin1ToUTF16::Finish(unsigned short *&, unsigned short *, long) {
    Reset();
    return kTranscodeComplete;
}

void Latin1ToUTF16::Reset() {}

Latin1ToUTF32::Latin1ToUTF32() = default;
Latin1ToUTF32::~Latin1ToUTF32() = default;

TranscodeResult Latin1ToUTF32::Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                         unsigned int * outEnd, long limit) {
    return DecodeBytes(nullptr, in, inEnd, out, outEnd, limit);
}

TranscodeResult Latin1ToUTF32::Finish(unsigned int *&, unsigned int *, long) {
    Reset();
    return kTranscodeComplete;
}

void Latin1ToUTF32::Reset() {}

Latin1FromUTF16::Latin1FromUTF16() = default;
Latin1FromUTF16::~Latin1FromUTF16() = default;

TranscodeResult Latin1FromUTF16::Transcode(unsigned short const *& in, unsigned short const * inEnd,
                                           char *& out, char * outEnd, long limit) {
    bool pending = state_flag();
    TranscodeResult const result = EncodeUnits(nullptr, pending, in, inEnd, out, outEnd, limit);
    set_state_flag(pending);
    return result;
}

TranscodeResult Latin1FromUTF16::Finish(char *&, char *, long) {
    bool const pending = state_flag();
    Reset();
    return pending ? kTranscodeNotInRepertoire : kTranscodeComplete;
}

Latin1FromUTF32::Latin1FromUTF32() = default;
Latin1FromUTF32::~Latin1FromUTF32() = default;

TranscodeResult Latin1FromUTF32::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                           char *& out, char * outEnd, long limit) {
    bool unused = false;
    return EncodeUnits(nullptr, unused, in, inEnd, out, outEnd, limit);
}

TranscodeResult Latin1FromUTF32::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}
