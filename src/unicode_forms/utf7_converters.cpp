// The UTF-7 decoder and encoder.
#include "unicode_forms/escape_forms.h"
#include "zuuc/utf7_encodings.h"

using namespace zuuc_internal::unicode_forms;

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr unsigned long kLow32 = 0xFFFFFFFFul;

struct Base64Inverse {
    signed char value[128];
    constexpr Base64Inverse() : value() {
        for (int i = 0; i < 128; ++i) {
            value[i] = -1;
        }
        for (int i = 0; i < 64; ++i) {
            value[static_cast<unsigned char>(kBase64[i])] = static_cast<signed char>(i);
        }
    }
};

constexpr Base64Inverse kInverse;

int Base64Value(unsigned int byte) {
    return byte < 128 ? kInverse.value[byte] : -1;
}

// The characters written as themselves outside base64.
struct DirectSet {
    bool direct[128];
    constexpr explicit DirectSet(bool wide) : direct() {
        char const strict[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'(),-./:? \t\r\n";
        char const more[] = "!\"#$%&*;<=>@[]^_`{|}";
        for (char const * p = strict; *p != '\0'; ++p) {
            direct[static_cast<unsigned char>(*p)] = true;
        }
        for (char const * p = more; wide && *p != '\0'; ++p) {
            direct[static_cast<unsigned char>(*p)] = true;
        }
    }
};

constexpr DirectSet kStrictSet(false);
constexpr DirectSet kWideSet(true);

DecodedByte Units(unsigned int count, unsigned short unit = 0) {
    return DecodedByte{{unit, 0}, count, kTranscodeComplete};
}

DecodedByte Illegal(UTF7toWhatever::State & s) {
    s = UTF7toWhatever::State{};
    return DecodedByte{{0, 0}, 0, kTranscodeIllegalInput};
}

// A byte outside base64.
DecodedByte Direct(unsigned int byte, UTF7toWhatever::State & s) {
    if (byte > 0x7F) {
        return Illegal(s);
    }
    return Units(1, static_cast<unsigned short>(byte));
}

DecodedByte DecodeUTF7Byte(unsigned int byte, UTF7toWhatever::State & s) {
    if (!s.in_base64) {
        if (byte == '+') {
            s = UTF7toWhatever::State{true, true, false, 0, 0, false, 0};
            return Units(0);
        }
        return Direct(byte, s);
    }
    int const value = Base64Value(byte);
    if (value >= 0) {
        s.bits |= static_cast<unsigned long>(value) << (26 - s.bit_count);
        s.bit_count += 6;
        s.just_after_plus = false;
        if (s.bit_count < 16) {
            return Units(0);
        }
        auto const unit = static_cast<unsigned short>(s.bits >> 16);
        s.bits = (s.bits << 16) & kLow32;
        s.bit_count -= 16;
        s.unit_written = true;
        return Units(1, unit);
    }
    // Any other byte ends the run.
    if (byte == '-' && s.just_after_plus) {
        s = UTF7toWhatever::State{};
        return Units(1, '+');
    }
    if (!s.unit_written || s.bits != 0) {
        // The byte that ended the bad run goes with it; outside base64 it
        // would have stood for itself, so it is still written.
        DecodedByte const bad = Illegal(s);
        if (byte != '-' && byte <= 0x7F) {
            s.has_replay = true;
            s.replay = static_cast<unsigned short>(byte);
        }
        return bad;
    }
    s = UTF7toWhatever::State{};
    if (byte == '-') {
        return Units(0);
    }
    return Direct(byte, s);
}

}  // namespace

// --- UTF7toWhatever -----------------------------------------------------------------

UTF7toWhatever::UTF7toWhatever() : state_(), high_() {}

UTF7toWhatever::~UTF7toWhatever() = default;

bool UTF7toWhatever::WriteReplay(unsigned short *& out, unsigned short * outEnd, long & limit,
                                 TranscodeResult & stop) {
    OutputBudget budget(limit);
    if (!state_.has_replay || !PutWhole(&state_.replay, 1, out, outEnd, budget, stop)) {
        return !state_.has_replay;
    }
    state_.has_replay = false;
    limit = budget.Left();
    return true;
}

TranscodeResult UTF7toWhatever::Transcode(char const *& in, char const * inEnd,
                                          unsigned short *& out, unsigned short * outEnd,
                                          long limit) {
    TranscodeResult stop = kTranscodeComplete;
    if (!WriteReplay(out, outEnd, limit, stop)) {
        return stop;
    }
    return DecodeBytes(in, inEnd, out, outEnd, limit, state_, high_, DecodeUTF7Byte);
}

TranscodeResult UTF7toWhatever::Finish(unsigned short *& out, unsigned short * outEnd, long limit) {
    TranscodeResult stop = kTranscodeComplete;
    if (!WriteReplay(out, outEnd, limit, stop) ||
        !FlushSurrogate(high_, out, outEnd, limit, stop)) {
        return stop;
    }
    bool const bad = state_.in_base64 && (!state_.unit_written || state_.bits != 0);
    Reset();
    return bad ? kTranscodeIllegalInput : kTranscodeComplete;
}

void UTF7toWhatever::Reset() {
    state_ = State{};
    high_ = ZuHeldSurrogate{};
}

// --- UTF7fromWhatever ---------------------------------------------------------------

namespace {

// Pads the held bits to a whole base64 character and writes it; closes the run.
unsigned int CloseRun(UTF7fromWhatever::State & s, char * bytes) {
    unsigned int n = 0;
    if (s.bit_count > 0) {
        bytes[n++] = kBase64[(s.bits << (6 - s.bit_count)) & 0x3F];
    }
    s = UTF7fromWhatever::State{};
    return n;
}

}  // namespace

UTF7fromWhatever::UTF7fromWhatever(bool wide_direct_set, bool explicit_terminator)
    : direct_(wide_direct_set ? kWideSet.direct : kStrictSet.direct),
      explicit_terminator_(explicit_terminator),
      state_() {}

UTF7fromWhatever::~UTF7fromWhatever() = default;

TranscodeResult UTF7fromWhatever::Transcode(unsigned short const *& in,
                                            unsigned short const * inEnd, char *& out,
                                            char * outEnd, long limit) {
    auto encode = [this](unsigned short const * units, unsigned int count, State & s,
                         char * bytes) {
        unsigned int n = 0;
        for (unsigned int i = 0; i < count; ++i) {
            unsigned short const u = units[i];
            if (u < 0x80 && direct_[u]) {
                if (s.in_base64) {
                    n += CloseRun(s, bytes + n);
                    if (explicit_terminator_ || u == '-' || Base64Value(u) >= 0) {
                        bytes[n++] = '-';
                    }
                }
                bytes[n++] = static_cast<char>(u);
                continue;
            }
            if (!s.in_base64) {
                bytes[n++] = '+';
                if (u == '+') {
                    bytes[n++] = '-';
                    continue;
                }
                s = State{0, 0, true};
            }
            s.bits = (s.bits << 16) | u;
            s.bit_count += 16;
            while (s.bit_count >= 6) {
                s.bit_count -= 6;
                bytes[n++] = kBase64[(s.bits >> s.bit_count) & 0x3F];
            }
            s.bits &= (1ul << s.bit_count) - 1;
        }
        return n;
    };
    return EncodeUnits(in, inEnd, out, outEnd, limit, state_, encode);
}

TranscodeResult UTF7fromWhatever::Finish(char *& out, char * outEnd, long limit) {
    char bytes[2];
    unsigned int n = 0;
    State closed = state_;
    if (closed.in_base64) {
        n = CloseRun(closed, bytes);
        if (explicit_terminator_) {
            bytes[n++] = '-';
        }
    }
    TranscodeResult stop = kTranscodeComplete;
    OutputBudget budget(limit);
    if (!PutWhole(bytes, n, out, outEnd, budget, stop)) {
        return stop;
    }
    Reset();
    return kTranscodeComplete;
}

void UTF7fromWhatever::Reset() {
    BlockConverter_16_to_8::Reset();
    state_ = State{};
}

unsigned int UTF7fromWhatever::Mode() const {
    return state_.in_base64 ? 1 : 0;
}
