// UTF-EBCDIC: code points are first written in an intermediate form (I8: one
// byte below U+0080, else a lead byte and trailing bytes of 5 bits each)
// whose bytes are then permuted into EBCDIC byte values.
#include "utf8_encoder_detail.h"
#include "zuuc/utf8_encodings.h"

namespace {

using Byte = unsigned char;

// Intermediate byte to EBCDIC byte.
Byte const kToEBCDIC[256] = {
    0x00, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x2F, 0x16, 0x05, 0x25, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F,
    0x10, 0x11, 0x12, 0x13, 0x3C, 0x3D, 0x32, 0x26, 0x18, 0x19, 0x3F, 0x27, 0x1C, 0x1D, 0x1E, 0x1F,
    0x40, 0x5A, 0x7F, 0x7B, 0x5B, 0x6C, 0x50, 0x7D, 0x4D, 0x5D, 0x5C, 0x4E, 0x6B, 0x60, 0x4B, 0x61,
    0xF0, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8, 0xF9, 0x7A, 0x5E, 0x4C, 0x7E, 0x6E, 0x6F,
    0x7C, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xD1, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6,
    0xD7, 0xD8, 0xD9, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xAD, 0xE0, 0xBD, 0x5F, 0x6D,
    0x79, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89, 0x91, 0x92, 0x93, 0x94, 0x95, 0x96,
    0x97, 0x98, 0x99, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7, 0xA8, 0xA9, 0xC0, 0x4F, 0xD0, 0xA1, 0x07,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x15, 0x06, 0x17, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x09, 0x0A, 0x1B,
    0x30, 0x31, 0x1A, 0x33, 0x34, 0x35, 0x36, 0x08, 0x38, 0x39, 0x3A, 0x3B, 0x04, 0x14, 0x3E, 0xFF,
    0x80, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x9C, 0x9D, 0x9E, 0x9F, 0xA0, 0xAC, 0xAE, 0xAF, 0xBC, 0xBE,
    0xBF, 0xCC, 0xCD, 0xCE, 0xCF, 0xDC, 0xDD, 0xDE, 0xDF, 0xEC, 0xED, 0xEE, 0xEF, 0xFC, 0xFD, 0xFE,
    0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59,
    0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78,
    0x8A, 0x9A, 0xAA, 0xBA, 0xCA, 0xDA, 0xEA, 0xFA, 0x8B, 0x9B, 0xAB, 0xBB, 0xCB, 0xDB, 0xEB, 0xFB,
    0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0x6A, 0x70, 0xB0, 0xB1, 0x41, 0x51, 0x4A, 0xE1,
};

// EBCDIC byte to intermediate byte: the inverse permutation, built once.
struct InverseTable {
    Byte values[256];
    InverseTable() {
        for (unsigned i = 0; i < 256; ++i) {
            values[kToEBCDIC[i]] = static_cast<Byte>(i);
        }
    }
};

Byte const * FromEBCDIC() {
    static InverseTable const table;
    return table.values;
}

constexpr unsigned kTrailingClass = 9;

// The class of an intermediate byte: 0 a character by itself, 9 a trailing
// byte, 1..6 a lead byte announcing that many trailing bytes.
inline unsigned ClassOf(Byte intermediate) {
    if (intermediate < 0x80)
        return 0;
    if (intermediate < 0xC0)
        return kTrailingClass;
    if (intermediate < 0xE0)
        return 1;
    if (intermediate < 0xF0)
        return 2;
    if (intermediate < 0xF8)
        return 3;
    if (intermediate < 0xFC)
        return 4;
    if (intermediate < 0xFE)
        return 5;
    return 6;
}

Byte const kLeadDataMask[7] = {0x7F, 0x1F, 0x0F, 0x07, 0x03, 0x01, 0x01};
Byte const kLeadByteMark[8] = {0x00, 0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE};

struct EBCDICForm {
    static constexpr bool kAsciiIsIdentity = false;
    static unsigned Length(unsigned long value) {
        if (value < 0x80)
            return 1;
        if (value < 0x400)
            return 2;
        if (value < 0x4000)
            return 3;
        if (value < 0x40000)
            return 4;
        if (value < 0x400000)
            return 5;
        if (value < 0x4000000)
            return 6;
        return 7;
    }
    static void Put(char *& out, unsigned long value, unsigned length) {
        Byte * const o = reinterpret_cast<Byte *>(out);
        if (length == 1) {
            o[0] = kToEBCDIC[value];
        } else {
            for (unsigned i = length - 1; i > 0; --i) {
                o[i] = kToEBCDIC[0xA0 | (value & 0x1F)];
                value >>= 5;
            }
            o[0] = kToEBCDIC[kLeadByteMark[length] | value];
        }
        out += length;
    }
};

}  // namespace

unsigned char UTF8EBCDICIntermediateToEBCDIC(unsigned char intermediate) {
    return kToEBCDIC[intermediate];
}

unsigned char UTF8EBCDICEBCDICToIntermediate(unsigned char ebcdic) {
    return FromEBCDIC()[ebcdic];
}

// --- UTF8EBCDICtoWhatever ---------------------------------------------------------

UTF8EBCDICtoWhatever::UTF8EBCDICtoWhatever(bool allow_supplementary)
    : allow_supplementary_(allow_supplementary), expected_(0), value_(0), replay_(-1) {
    FromEBCDIC();
}

UTF8EBCDICtoWhatever::~UTF8EBCDICtoWhatever() = default;

TranscodeResult UTF8EBCDICtoWhatever::Transcode(char const *& in_chars, char const * inEnd_chars,
                                                unsigned short *& out, unsigned short * outEnd,
                                                long limit) {
    Byte const * in = reinterpret_cast<Byte const *>(in_chars);
    Byte const * const inEnd = reinterpret_cast<Byte const *>(inEnd_chars);
    Byte const * const start = in;
    unsigned short * const out_start = out;
    Byte const * const inverse = FromEBCDIC();

    // The state at the start of the character being decoded, restored when
    // its output does not fit.
    Byte const * saved_in = in;
    unsigned saved_expected = expected_;
    unsigned long saved_value = value_;
    int saved_replay = replay_;
    auto stop = [&](TranscodeResult result) {
        in_chars = reinterpret_cast<char const *>(in);
        return result;
    };

    for (;;) {
        int byte;
        bool const from_replay = replay_ >= 0;
        if (from_replay) {
            byte = replay_;
        } else if (in < inEnd) {
            byte = *in;
        } else {
            return stop(kTranscodeInputExhausted);
        }
        Byte const intermediate = inverse[byte];
        unsigned const kind = ClassOf(intermediate);
        auto consume = [&] {
            if (from_replay) {
                replay_ = -1;
            } else {
                ++in;
            }
        };

        unsigned long value;
        if (expected_ != 0) {
            if (kind != kTrailingClass) {
                // Cut short: the sequence is the problem, this byte starts afresh.
                expected_ = 0;
                value_ = 0;
                if (!from_replay && in == start && out == out_start) {
                    replay_ = byte;  // keep it for the next call, which then makes progress
                    ++in;
                }
                return stop(kTranscodeIllegalInput);
            }
            value_ = (value_ << 5) | (intermediate & 0x1Fu);
            consume();
            if (--expected_ != 0) {
                continue;
            }
            value = value_;
            value_ = 0;
        } else if (kind == 0) {
            value = intermediate;
            consume();
        } else if (kind == kTrailingClass) {
            consume();
            saved_in = in;
            saved_replay = replay_;
            return stop(kTranscodeIllegalInput);
        } else {
            value_ = intermediate & kLeadDataMask[kind];
            expected_ = kind;
            consume();
            continue;
        }

        unsigned units = 1;
        if (value > 0xFFFF) {
            if (!allow_supplementary_ || value > 0x10FFFF) {
                return stop(kTranscodeNoCharacterDefined);
            }
            units = 2;
        }
        TranscodeResult room = kTranscodeComplete;
        if (limit >= 0 && (out - out_start) + static_cast<long>(units) > limit) {
            room = kTranscodeLimitReached;
        } else if (outEnd - out < static_cast<long>(units)) {
            room = kTranscodeOutputFull;
        }
        if (room != kTranscodeComplete) {
            in = saved_in;
            expected_ = saved_expected;
            value_ = saved_value;
            replay_ = saved_replay;
            return stop(room);
        }
        if (units == 2) {
            *out++ = zuuc_internal::HighSurrogateOf(value);
            *out++ = zuuc_internal::LowSurrogateOf(value);
        } else {
            *out++ = static_cast<unsigned short>(value);
        }
        saved_in = in;
        saved_expected = 0;
        saved_value = 0;
        saved_replay = replay_;
    }
}

TranscodeResult UTF8EBCDICtoWhatever::Finish(unsigned short *& out, unsigned short * outEnd,
                                             long limit) {
    if (replay_ >= 0) {
        char const * none = nullptr;
        TranscodeResult const result = Transcode(none, none, out, outEnd, limit);
        if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
            return result;
        }
    }
    TranscodeResult const result = expected_ != 0 ? kTranscodeIllegalInput : kTranscodeComplete;
    Reset();
    return result;
}

void UTF8EBCDICtoWhatever::Reset() {
    expected_ = 0;
    value_ = 0;
    replay_ = -1;
}

// --- UTF8EBCDICfromWhatever -------------------------------------------------------

UTF8EBCDICfromWhatever::UTF8EBCDICfromWhatever(bool combine_surrogates)
    : combine_(combine_surrogates), pending_(0), replay_(-1) {}

UTF8EBCDICfromWhatever::~UTF8EBCDICfromWhatever() = default;

TranscodeResult UTF8EBCDICfromWhatever::Transcode(unsigned short const *& in,
                                                  unsigned short const * inEnd, char *& out,
                                                  char * outEnd, long limit) {
    return zuuc_internal::unicode_forms::utf8::EncodeFromUTF16<EBCDICForm>(
        combine_, pending_, replay_, in, inEnd, out, outEnd, limit);
}

TranscodeResult UTF8EBCDICfromWhatever::Finish(char *& out, char * outEnd, long limit) {
    TranscodeResult const result = zuuc_internal::unicode_forms::utf8::FinishFromUTF16<EBCDICForm>(
        combine_, pending_, replay_, out, outEnd, limit);
    if (result != kTranscodeOutputFull && result != kTranscodeLimitReached) {
        BlockConverter_16_to_8::Reset();
    }
    return result;
}

void UTF8EBCDICfromWhatever::Reset() {
    BlockConverter_16_to_8::Reset();
    pending_ = 0;
    replay_ = -1;
}
