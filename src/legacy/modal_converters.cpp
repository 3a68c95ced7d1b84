// Converters of the table-driven modal encodings.
#include <algorithm>
#include <cstring>

#include "mbcs_core.h"
#include "mbcs_encode.h"
#include "zuuc/modal_encoding.h"

using zuuc_internal::legacy::DecodeMode;
using zuuc_internal::legacy::DecoderState;

namespace {

template <class T, class Out>
TranscodeResult RunDecode(MBCStoUnicodeTable<T> const & table, unsigned int & state,
                          unsigned int & last_value, char const *& in, char const * inEnd,
                          Out *& out, Out * outEnd, long limit, DecodeMode mode) {
    DecoderState s{state, last_value};
    TranscodeResult const result =
        zuuc_internal::legacy::Decode(table, s, in, inEnd, out, outEnd, limit, mode);
    state = s.state;
    last_value = s.last_value;
    return result;
}

unsigned char const kKoreanHeader[] = {0x1B, 0x24, 0x29, 0x43};

// The bytes of `c` in mode `m`, when that mode's table maps it.
bool MapInMode(ModalOutputSetup const & setup, unsigned int m, unsigned int c,
               unsigned long & value) {
    if (setup.wide != nullptr) {
        PlaneTable<unsigned int, unsigned int> const * const table = setup.wide[m];
        if (table == nullptr) {
            return false;
        }
        unsigned int const v = table->Lookup(c);
        value = v;
        return v != table->undefined;
    }
    if (c > 0xFFFF || setup.narrow == nullptr) {
        return false;
    }
    PlaneTable<unsigned short, unsigned int> const * const table = setup.narrow[m];
    if (table == nullptr) {
        return false;
    }
    unsigned int const v = table->Lookup(static_cast<unsigned short>(c));
    value = v;
    return v != table->undefined;
}

// One character of input: its code point and the units it takes.
struct Character {
    unsigned int code_point;
    unsigned int units;
};

// Reads UTF-32 input.
class Utf32Reader {
public:
    Utf32Reader(unsigned int const *& in, unsigned int const * end) : in_(in), end_(end) {}
    // False at the end of the input.
    bool Peek(Character & c) {
        if (in_ == end_) {
            return false;
        }
        c = Character{*in_, 1};
        return true;
    }
    void Consume(Character const & c) { in_ += c.units; }
    void MoveOn() {}
    // Runs `encode(in, end)` over the input.
    template <class Encode>
    void Raw(Encode && encode) {
        encode(in_, end_);
    }

private:
    unsigned int const *& in_;
    unsigned int const * end_;
};

// Reads UTF-16 input (after the units held from earlier calls), pairing
// surrogates; a high surrogate that ends the input is held for the next call.
class Utf16Reader {
public:
    Utf16Reader(zuuc_internal::legacy::HeldUnits & held, unsigned short const *& in,
                unsigned short const * end)
        : input_(held, in, end), held_(held), in_(in), end_(end) {}
    bool Peek(Character & c) {
        if (input_.Available() == 0) {
            return false;
        }
        unsigned int const unit = input_.At(0);
        if (zuuc_internal::legacy::IsHighSurrogate(unit)) {
            if (input_.Available() == 1) {
                input_.HoldRest();
                return false;
            }
            unsigned int const low = input_.At(1);
            if (zuuc_internal::legacy::IsLowSurrogate(low)) {
                c = Character{zuuc_internal::CombineSurrogates(unit, low), 2};
                return true;
            }
        }
        c = Character{unit, 1};
        return true;
    }
    void Consume(Character const & c) { input_.Consume(c.units); }
    void MoveOn() { input_.MoveOn(); }
    // Runs `encode(in, end)` over the input when no units are held.
    template <class Encode>
    void Raw(Encode && encode) {
        if (held_.count == 0) {
            encode(in_, end_);
        }
    }

private:
    zuuc_internal::legacy::Utf16Input input_;
    zuuc_internal::legacy::HeldUnits const & held_;
    unsigned short const *& in_;
    unsigned short const * end_;
};

// The output side of one call: what remains of the buffer and the limit.
class ModalOutput {
public:
    ModalOutput(char *& out, char * end, long limit) : out_(out), end_(end), limit_(limit) {}
    long Room() const {
        long room = end_ - out_;
        if (limit_ >= 0) {
            room = std::min(room, limit_ - written_);
        }
        return room;
    }
    // The result for a piece of `need` bytes that does not fit.
    TranscodeResult Stop(long need) const {
        return end_ - out_ < need ? kTranscodeOutputFull : kTranscodeLimitReached;
    }
    void Put(unsigned char const * bytes, unsigned int count) {
        std::memcpy(out_, bytes, count);
        out_ += count;
        written_ += count;
    }
    void PutValue(unsigned long value, unsigned int count) {
        zuuc_internal::legacy::PutBytes(out_, value, count);
        written_ += count;
    }
    // Runs `encode(out, end, limit)` over the room and limit left, less
    // `keep` bytes kept back.
    template <class Encode>
    void Run(unsigned int keep, Encode && encode) {
        long room = end_ - out_ - static_cast<long>(keep);
        long limit = limit_ < 0 ? -1 : limit_ - written_ - static_cast<long>(keep);
        if (room <= 0 || (limit_ >= 0 && limit <= 0)) {
            return;
        }
        char * const before = out_;
        encode(out_, out_ + room, limit);
        written_ += out_ - before;
    }

private:
    char *& out_;
    char * end_;
    long limit_;
    long written_ = 0;
};

unsigned int Reserve(ModalOutputSetup const & setup, unsigned int mode) {
    return setup.return_to_initial && mode != 0 ? setup.EscapeLength(mode, 0) : 0;
}

// Where the output stands: the current mode, and the mode whose shift state
// is in effect (the one whose substitute fits). They differ after a switch
// to a mode that keeps the shift state (see ModalOutputSetup::KeepsShift).
struct ModalPosition {
    unsigned int & mode;
    unsigned int & shift;

    void SwitchTo(ModalOutputSetup const & setup, unsigned int target) {
        if (target != mode && !setup.KeepsShift(mode, target)) {
            shift = target;
        }
        mode = target;
    }
};

// Writes the way back to mode 0 when the room kept for it is there.
void BackToInitial(ModalOutputSetup const & setup, ModalPosition at, ModalOutput & output) {
    unsigned int const length = Reserve(setup, at.mode);
    if (length == 0 || output.Room() < static_cast<long>(length)) {
        return;
    }
    output.Put(setup.escapes[at.mode * setup.mode_count], length);
    at.SwitchTo(setup, 0);
}

// Characters that the current mode maps are written in stretches without
// room or limit tests per character, with the way back to mode 0 kept in
// reserve as for a single character; whatever else (a mode switch, a
// surrogate, an unmapped character, the last bytes of room) is left to the
// character-by-character loop below.
template <class Unit, class Find>
void EncodeInMode(Find find, unsigned int undefined, Unit const *& in, Unit const * inEnd,
                  char *& out, char * outEnd, long & limit) {
    auto const checked = [&](unsigned int key) {
        return sizeof(Unit) == 2 && zuuc_internal::IsSurrogate(key) ? undefined : find(key);
    };
    zuuc_internal::legacy::EncodeStretches(checked, undefined, in, inEnd, out, outEnd, limit);
}

template <class Reader>
void StretchInMode(ModalOutputSetup const & setup, unsigned int mode, Reader & reader,
                   ModalOutput & output) {
    reader.Raw([&](auto const *& in, auto const * inEnd) {
        if (inEnd - in < 8) {
            return;
        }
        output.Run(Reserve(setup, mode), [&](char *& out, char * outEnd, long & limit) {
            if (setup.wide != nullptr) {
                PlaneTable<unsigned int, unsigned int> const * const table = setup.wide[mode];
                if (table != nullptr) {
                    EncodeInMode(zuuc_internal::legacy::WideFind<unsigned int>{table->root},
                                 table->undefined, in, inEnd, out, outEnd, limit);
                }
            } else if (setup.narrow != nullptr) {
                PlaneTable<unsigned short, unsigned int> const * const table = setup.narrow[mode];
                if (table != nullptr) {
                    EncodeInMode(
                        zuuc_internal::legacy::NarrowFind32<unsigned int>{table->pages,
                                                                          table->undefined},
                        table->undefined, in, inEnd, out, outEnd, limit);
                }
            }
        });
    });
}

template <class Reader>
TranscodeResult EncodeModal(ModalOutputSetup const & setup, ModalPosition at, bool & header_pending,
                            Reader & reader, ModalOutput & output, bool allow_header = true) {
    unsigned int const & mode = at.mode;
    if (setup.korean_header && header_pending && allow_header) {
        long const need = 4 + static_cast<long>(Reserve(setup, mode));
        if (output.Room() < need) {
            return output.Stop(need);
        }
        output.Put(kKoreanHeader, 4);
        header_pending = false;
    }
    Character c{};
    for (;;) {
        StretchInMode(setup, mode, reader, output);
        if (!reader.Peek(c)) {
            break;
        }
        unsigned long value = 0;
        unsigned int target = mode;
        bool mapped = MapInMode(setup, mode, c.code_point, value);
        for (unsigned int m = 0; !mapped && m < setup.mode_count; ++m) {
            if (m != mode && MapInMode(setup, m, c.code_point, value)) {
                mapped = true;
                target = m;
            }
        }
        if (!mapped) {
            reader.Consume(c);
            reader.MoveOn();
            return kTranscodeNotInRepertoire;
        }
        unsigned int const escape = target != mode ? setup.EscapeLength(mode, target) : 0;
        unsigned int const bytes = zuuc_internal::legacy::ByteCount(value);
        long const need = static_cast<long>(escape + bytes + Reserve(setup, target));
        if (output.Room() < need) {
            TranscodeResult const result = output.Stop(need);
            BackToInitial(setup, at, output);
            return result;
        }
        if (escape != 0) {
            output.Put(setup.escapes[mode * setup.mode_count + target], escape);
        }
        output.PutValue(value, bytes);
        at.SwitchTo(setup, target);
        reader.Consume(c);
    }
    return kTranscodeInputExhausted;
}

TranscodeResult FinishModal(ModalOutputSetup const & setup, unsigned int mode, char *& out,
                            char * outEnd, long limit) {
    unsigned int const length = Reserve(setup, mode);
    if (length != 0) {
        ModalOutput output(out, outEnd, limit);
        if (output.Room() < static_cast<long>(length)) {
            return output.Stop(length);
        }
        output.Put(setup.escapes[mode * setup.mode_count], length);
    }
    return kTranscodeComplete;
}

}  // namespace

unsigned int ModalOutputSetup::EscapeLength(unsigned int from, unsigned int to) const {
    unsigned char const * const escape = escapes[from * mode_count + to];
    return escape == nullptr
               ? 0
               : static_cast<unsigned int>(std::strlen(reinterpret_cast<char const *>(escape)));
}

bool ModalOutputSetup::KeepsShift(unsigned int from, unsigned int to) const {
    unsigned char const * const escape = escapes[from * mode_count + to];
    if (escape == nullptr || escape[0] != 0x1B) {
        return false;
    }
    bool upper = false;
    for (unsigned char const * p = escape + 1; *p != 0; ++p) {
        if (*p == 0x0E || *p == 0x0F) {
            return false;  // a locking shift
        }
        // The intermediate bytes ) * + and - . / name G1, G2, G3; ( names G0.
        upper = upper || (*p >= 0x29 && *p <= 0x2F && *p != 0x2C);
    }
    return upper;
}

// --- decoders -------------------------------------------------------------------

ModalToUTF16::ModalToUTF16(MBCStoUnicodeTable<unsigned short> const * table)
    : table_(table), state_(0), last_value_(0) {}

ModalToUTF16::~ModalToUTF16() = default;

TranscodeResult ModalToUTF16::Transcode(char const *& in, char const * inEnd, unsigned short *& out,
                                        unsigned short * outEnd, long limit) {
    return RunDecode(*table_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kPlain);
}

TranscodeResult ModalToUTF16::TranscodeInBlock(char const *& in, char const * inEnd,
                                               unsigned short *& out, unsigned short * outEnd,
                                               long limit) {
    return RunDecode(*table_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kInBlock);
}

TranscodeResult ModalToUTF16::Finish(unsigned short *&, unsigned short *, long) {
    Reset();
    return kTranscodeComplete;
}

void ModalToUTF16::Reset() {
    state_ = 0;
    last_value_ = 0;
}

ModalToUTF32::ModalToUTF32(MBCStoUnicodeTable<unsigned short> const * table16,
                           MBCStoUnicodeTable<unsigned int> const * table32)
    : table16_(table16),
      table32_(table16 != nullptr ? nullptr : table32),
      state_(0),
      last_value_(0) {}

ModalToUTF32::~ModalToUTF32() = default;

TranscodeResult ModalToUTF32::Transcode(char const *& in, char const * inEnd, unsigned int *& out,
                                        unsigned int * outEnd, long limit) {
    if (table16_ != nullptr) {
        return RunDecode(*table16_, state_, last_value_, in, inEnd, out, outEnd, limit,
                         DecodeMode::kPlain);
    }
    return RunDecode(*table32_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kPlain);
}

TranscodeResult ModalToUTF32::TranscodeInBlock(char const *& in, char const * inEnd,
                                               unsigned int *& out, unsigned int * outEnd,
                                               long limit) {
    if (table16_ != nullptr) {
        return RunDecode(*table16_, state_, last_value_, in, inEnd, out, outEnd, limit,
                         DecodeMode::kInBlock);
    }
    return RunDecode(*table32_, state_, last_value_, in, inEnd, out, outEnd, limit,
                     DecodeMode::kInBlock);
}

TranscodeResult ModalToUTF32::Finish(unsigned int *&, unsigned int *, long) {
    Reset();
    return kTranscodeComplete;
}

void ModalToUTF32::Reset() {
    state_ = 0;
    last_value_ = 0;
}

// --- encoders -------------------------------------------------------------------

ModalFromUTF16::ModalFromUTF16(ModalOutputSetup const & setup)
    : setup_(setup), mode_(0), shift_(0), header_pending_(true), held_{0, 0}, held_count_(0) {}

ModalFromUTF16::~ModalFromUTF16() = default;

TranscodeResult ModalFromUTF16::Transcode(unsigned short const *& in, unsigned short const * inEnd,
                                          char *& out, char * outEnd, long limit) {
    zuuc_internal::legacy::HeldUnits held;
    held.units[0] = held_[0];
    held.units[1] = held_[1];
    held.count = held_count_;
    TranscodeResult result;
    {
        Utf16Reader reader(held, in, inEnd);
        ModalOutput output(out, outEnd, limit);
        result = EncodeModal(setup_, ModalPosition{mode_, shift_}, header_pending_, reader, output);
    }
    held_[0] = held.units[0];
    held_[1] = held.units[1];
    held_count_ = held.count;
    return result;
}

TranscodeResult ModalFromUTF16::Finish(char *& out, char * outEnd, long limit) {
    if (held_count_ != 0) {
        // Units kept from the last call are converted first; a high
        // surrogate that ended the text cannot be written.
        unsigned short const * none = nullptr;
        TranscodeResult const result = Transcode(none, none, out, outEnd, limit);
        if (result != kTranscodeInputExhausted) {
            return result;
        }
        if (held_count_ != 0) {
            held_count_ = 0;
            return kTranscodeNotInRepertoire;
        }
    }
    TranscodeResult const result = FinishModal(setup_, mode_, out, outEnd, limit);
    if (result == kTranscodeComplete) {
        Reset();
    }
    return result;
}

void ModalFromUTF16::Reset() {
    mode_ = 0;
    shift_ = 0;
    header_pending_ = true;
    held_count_ = 0;
    BlockConverter_16_to_8::Reset();
}

unsigned int ModalFromUTF16::Mode() const {
    return shift_;
}

ModalFromUTF32::ModalFromUTF32(ModalOutputSetup const & setup)
    : setup_(setup), mode_(0), shift_(0), header_pending_(true) {}

ModalFromUTF32::~ModalFromUTF32() = default;

TranscodeResult ModalFromUTF32::Transcode(unsigned int const *& in, unsigned int const * inEnd,
                                          char *& out, char * outEnd, long limit) {
    Utf32Reader reader(in, inEnd);
    ModalOutput output(out, outEnd, limit);
    return EncodeModal(setup_, ModalPosition{mode_, shift_}, header_pending_, reader, output);
}

TranscodeResult ModalFromUTF32::Finish(char *& out, char * outEnd, long limit) {
    TranscodeResult const result = FinishModal(setup_, mode_, out, outEnd, limit);
    if (result == kTranscodeComplete) {
        Reset();
    }
    return result;
}

void ModalFromUTF32::Reset() {
    mode_ = 0;
    shift_ = 0;
    header_pending_ = true;
    BlockConverter_32_to_8::Reset();
}

unsigned int ModalFromUTF32::Mode() const {
    return shift_;
}
