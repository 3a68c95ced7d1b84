// The escaping encoders of the look-ahead encodings (see lookahead_escape.h).
//
// They run the shared careful loops of the multi-byte encoders with a lookup
// that puts the escape in front of a character's bytes where needed. The
// loops look a unit up just before writing it, so a character counts as
// written once the next one is looked up, or when the call ends for any
// reason but a full output or the limit.
#include "lookahead_escape.h"

#include "convert/transcode_contract.h"
#include "mbcs_chain.h"
#include "mbcs_core.h"

namespace zuuc_internal::legacy {
namespace {

constexpr unsigned char kEscape = 0x5C;

// The decoding machine, seen from the encoder.
class Machine {
public:
    explicit Machine(LookAheadTables const & t) : narrow_(t.to16), wide_(t.to32) {}

    // The state after `byte` in `state`; kReadAgain when the pending letter
    // ends before the byte (and none for a byte outside the table's rows).
    unsigned int Next(unsigned int state, unsigned char byte) const {
        if (narrow_ != nullptr)
            return NextIn(*narrow_, state, byte);
        return NextIn(*wide_, state, byte);
    }
    // Whether `byte` is taken into the letter pending in `state`.
    bool Continues(unsigned int state, unsigned char byte) const {
        return state != 0 && Next(state, byte) != kReadAgain;
    }
    // The state after the `count` bytes of `value`, written from state 0.
    unsigned int After(unsigned long value, unsigned int count) const {
        unsigned int state = 0;
        for (unsigned int i = count; i-- > 0;) {
            unsigned char const byte = static_cast<unsigned char>(value >> (8 * i));
            unsigned int next = Next(state, byte);
            if (next == kReadAgain)
                next = Next(0, byte);  // the letter before ended
            state = next == kReadAgain ? 0 : next;
        }
        return state;
    }
    bool HasEscape() const {
        unsigned int const state = Next(0, kEscape);
        return state != 0 && state != kReadAgain;
    }

private:
    template <class T>
    static unsigned int NextIn(MBCStoUnicodeTable<T> const & table, unsigned int state,
                               unsigned char byte) {
        if (state >= table.state_count || byte >= table.row_width)
            return kReadAgain;
        return table.At(state, byte).next;
    }

    MBCStoUnicodeTable<unsigned short> const * narrow_;
    MBCStoUnicodeTable<unsigned int> const * wide_;
};

// The plane-table lookup of whichever encoding table is set.
bool Find(LookAheadTables const & t, unsigned int key, unsigned long & value) {
    auto narrow = [&](auto const * table) {
        if (key > 0xFFFF)
            return false;
        auto const v = table->Lookup(static_cast<unsigned short>(key));
        value = v;
        return v != table->undefined;
    };
    auto wide = [&](auto const * table) {
        auto const v = table->Lookup(key);
        value = v;
        return v != table->undefined;
    };
    if (t.from_16_16 != nullptr)
        return narrow(t.from_16_16);
    if (t.from_16_32 != nullptr)
        return narrow(t.from_16_32);
    if (t.from_32_16 != nullptr)
        return wide(t.from_32_16);
    return t.from_32_32 != nullptr && wide(t.from_32_32);
}

// What the decoder will make of the bytes written so far: the state it is
// left in, and the state after the character looked up last (not yet known
// to be written).
class Escaper {
public:
    explicit Escaper(LookAheadTables const & tables) : tables_(tables), machine_(tables) {}

    // The lookup for the shared loops.
    bool Lookup(unsigned int key, unsigned long & value) {
        Commit();
        if (!Find(tables_, key, value))
            return false;
        unsigned int count = ByteCount(value);
        unsigned char const first = static_cast<unsigned char>(value >> (8 * (count - 1)));
        if (count < 4 && machine_.Continues(state_, first)) {
            value |= static_cast<unsigned long>(kEscape) << (8 * count);
            ++count;
        }
        after_ = machine_.After(value, count);
        looked_up_ = true;
        return true;
    }
    // The end of a call to the shared loops.
    void Ended(TranscodeResult result) {
        if (result == kTranscodeOutputFull || result == kTranscodeLimitReached) {
            looked_up_ = false;  // the last character was left for the next call
        }
        Commit();
        // A problem: whatever the caller writes in its place (a substitute)
        // is not known here, and starts afresh.
        if (result != kTranscodeInputExhausted && result != kTranscodeOutputFull &&
            result != kTranscodeLimitReached && result != kTranscodeComplete) {
            state_ = 0;
        }
    }
    void Reset() {
        state_ = 0;
        looked_up_ = false;
    }

private:
    void Commit() {
        if (looked_up_)
            state_ = after_;
        looked_up_ = false;
    }

    LookAheadTables tables_;
    Machine machine_;
    unsigned int state_ = 0;
    unsigned int after_ = 0;
    bool looked_up_ = false;
};

class EscapingFromUTF32 : public BlockConverter_32_to_8 {
public:
    explicit EscapingFromUTF32(LookAheadTables const & tables) : escaper_(tables) {}
    ~EscapingFromUTF32() override = default;

    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override {
        return Run(in, inEnd, out, outEnd, limit, false);
    }
    TranscodeResult TranscodeInBlock(unsigned int const *& in, unsigned int const * inEnd,
                                     char *& out, char * outEnd, long limit) override {
        return Run(in, inEnd, out, outEnd, limit, true);
    }
    TranscodeResult Finish(char *&, char *, long) override {
        Reset();
        return kTranscodeComplete;
    }
    void Reset() override {
        escaper_.Reset();
        BlockConverter_32_to_8::Reset();
    }

private:
    TranscodeResult Run(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                        char * outEnd, long limit, bool in_block) {
        auto lookup = [this](unsigned int key, unsigned long & value) {
            return escaper_.Lookup(key, value);
        };
        TranscodeResult const result = EncodeUTF32(lookup, in, inEnd, out, outEnd, limit, in_block);
        escaper_.Ended(result);
        return result;
    }

    Escaper escaper_;
};

class EscapingFromUTF16 : public BlockConverter_16_to_8 {
    auto Lookup() {
        return
            [this](unsigned int key, unsigned long & value) { return escaper_.Lookup(key, value); };
    }

public:
    explicit EscapingFromUTF16(LookAheadTables const & tables) : escaper_(tables) {}
    ~EscapingFromUTF16() override = default;

    TranscodeResult Transcode(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                              char * outEnd, long limit) override {
        return Run(in, inEnd, out, outEnd, limit, false);
    }
    TranscodeResult TranscodeInBlock(unsigned short const *& in, unsigned short const * inEnd,
                                     char *& out, char * outEnd, long limit) override {
        return Run(in, inEnd, out, outEnd, limit, true);
    }
    TranscodeResult Finish(char *& out, char * outEnd, long limit) override {
        TranscodeResult const result = FinishUTF16(Lookup(), held_, out, outEnd, limit);
        escaper_.Ended(result);
        if (result == kTranscodeComplete)
            Reset();
        return result;
    }
    void Reset() override {
        held_.Clear();
        escaper_.Reset();
        BlockConverter_16_to_8::Reset();
    }

private:
    TranscodeResult Run(unsigned short const *& in, unsigned short const * inEnd, char *& out,
                        char * outEnd, long limit, bool in_block) {
        TranscodeResult const result =
            EncodeUTF16(Lookup(), held_, in, inEnd, out, outEnd, limit, in_block);
        escaper_.Ended(result);
        return result;
    }

    Escaper escaper_;
    HeldUnits held_;
};

}  // namespace

bool HasBackslashEscape(LookAheadTables const & tables) {
    return (tables.to16 != nullptr || tables.to32 != nullptr) && Machine(tables).HasEscape();
}

Transcoder<unsigned int, char> * CreateEscapingFromUTF32(LookAheadTables const & tables,
                                                         UnicodeLibAllocator & allocator) {
    return zuuc_internal::Place<EscapingFromUTF32>(allocator, tables);
}

Transcoder<unsigned short, char> * CreateEscapingFromUTF16(LookAheadTables const & tables,
                                                           UnicodeLibAllocator & allocator) {
    if (tables.from_16_16 == nullptr && tables.from_16_32 == nullptr) {
        return ThroughUTF32(CreateEscapingFromUTF32(tables, allocator), allocator);  // 32-bit keys
    }
    return zuuc_internal::Place<EscapingFromUTF16>(allocator, tables);
}

}  // namespace zuuc_internal::legacy
