// The converters of the Java escape form.
#include <initializer_list>

#include "unicode_forms/escape_forms.h"
#include "zuuc/utf7_encodings.h"

using namespace zuuc_internal::unicode_forms;

namespace {

using State = JavaEncodingVariant::ToUTF16::State;

int HexValue(unsigned int byte) {
    if (byte >= '0' && byte <= '9') {
        return static_cast<int>(byte - '0');
    }
    if (byte >= 'A' && byte <= 'F') {
        return static_cast<int>(byte - 'A' + 10);
    }
    if (byte >= 'a' && byte <= 'f') {
        return static_cast<int>(byte - 'a' + 10);
    }
    return -1;
}

// The unit a one-letter escape stands for; the letter itself otherwise.
unsigned short Escaped(unsigned int letter) {
    switch (letter) {
        case 'b':
            return 0x08;
        case 'f':
            return 0x0C;
        case 'n':
            return 0x0A;
        case 'r':
            return 0x0D;
        case 't':
            return 0x09;
        default:
            return static_cast<unsigned short>(letter);
    }
}

DecodedByte Write(std::initializer_list<unsigned short> units) {
    DecodedByte d{{0, 0}, 0, kTranscodeComplete};
    for (unsigned short u : units) {
        d.units[d.count++] = u;
    }
    return d;
}

DecodedByte DecodeJavaByte(unsigned int byte, State & s) {
    switch (s.step) {
        case 0:
            if (byte == '\\') {
                s.step = 1;
                return Write({});
            }
            return Write({static_cast<unsigned short>(byte)});
        case 1:
            if (byte == 'u') {
                s = State{2, 0};
                return Write({});
            }
            s.step = 0;
            return Write({Escaped(byte)});
        default: {
            int const digit = HexValue(byte);
            if (digit >= 0) {
                s.value =
                    static_cast<unsigned short>((s.value << 4) | static_cast<unsigned>(digit));
                if (++s.step < 6) {
                    return Write({});
                }
                s.step = 0;
                return Write({s.value});
            }
            // An escape cut short: what was read of it, then the byte. A
            // backslash there starts the next escape.
            bool const had_digits = s.step > 2;
            unsigned short const value = s.value;
            s = State{byte == '\\' ? 1u : 0u, 0};
            if (byte == '\\') {
                return had_digits ? Write({value}) : Write({});
            }
            return had_digits ? Write({value, static_cast<unsigned short>(byte)})
                              : Write({static_cast<unsigned short>(byte)});
        }
    }
}

char const kHex[] = "0123456789ABCDEF";

unsigned int EncodeJava(unsigned short const * units, unsigned int count, unsigned int &,
                        char * bytes) {
    unsigned int n = 0;
    for (unsigned int i = 0; i < count; ++i) {
        unsigned short const u = units[i];
        if (u == 0x08 || u == 0x09 || u == 0x0C || u == '\\') {
            bytes[n++] = '\\';
            bytes[n++] = u == 0x08 ? 'b' : u == 0x09 ? 't' : u == 0x0C ? 'f' : '\\';
        } else if (u <= 0x7E) {
            bytes[n++] = static_cast<char>(u);
        } else {
            bytes[n++] = '\\';
            bytes[n++] = 'u';
            for (int shift = 12; shift >= 0; shift -= 4) {
                bytes[n++] = kHex[(u >> shift) & 0xF];
            }
        }
    }
    return n;
}

}  // namespace

// --- JavaEncodingVariant::ToUTF16 ---------------------------------------------------

JavaEncodingVariant::ToUTF16::ToUTF16() : state_(), high_() {}

JavaEncodingVariant::ToUTF16::~ToUTF16() = default;

TranscodeResult JavaEncodingVariant::ToUTF16::Transcode(char const *& in, char const * inEnd,
                                                        unsigned short *& out,
                                                        unsigned short * outEnd, long limit) {
    return DecodeBytes(in, inEnd, out, outEnd, limit, state_, high_, DecodeJavaByte);
}

TranscodeResult JavaEncodingVariant::ToUTF16::Finish(unsigned short *& out, unsigned short * outEnd,
                                                     long limit) {
    TranscodeResult stop = kTranscodeComplete;
    if (!FlushSurrogate(high_, out, outEnd, limit, stop)) {
        return stop;
    }
    bool const unfinished = state_.step != 0;
    Reset();
    return unfinished ? kTranscodeIllegalInput : kTranscodeComplete;
}

void JavaEncodingVariant::ToUTF16::Reset() {
    state_ = State{};
    high_ = ZuHeldSurrogate{};
}

// --- JavaEncodingVariant::FromUTF16 -------------------------------------------------

JavaEncodingVariant::FromUTF16::FromUTF16() = default;

JavaEncodingVariant::FromUTF16::~FromUTF16() = default;

TranscodeResult JavaEncodingVariant::FromUTF16::Transcode(unsigned short const *& in,
                                                          unsigned short const * inEnd, char *& out,
                                                          char * outEnd, long limit) {
    unsigned int stateless = 0;
    return EncodeUnits(in, inEnd, out, outEnd, limit, stateless, EncodeJava);
}

TranscodeResult JavaEncodingVariant::FromUTF16::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}
