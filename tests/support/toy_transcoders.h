// Small transcoders for testing the conversion engine (composites, stream
// adapters) without any real codec.
//
// Every toy copies unit values (bytes are taken as unsigned) except where it
// says otherwise, stops with result 2 when the next character's output does
// not fit and with 7 when it would exceed `limit`, and can record what
// happened to it in a ToyLog that outlives it.
#ifndef ZUUC_TESTS_SUPPORT_TOY_TRANSCODERS_H
#define ZUUC_TESTS_SUPPORT_TOY_TRANSCODERS_H

#include <type_traits>
#include <vector>

#include "zuuc/transcoder.h"

namespace zuuc_test {

struct ToyLog {
    int transcodes = 0;
    int finishes = 0;
    int resets = 0;
    int destroyed = 0;
    long last_limit = -2;
    UnicodeLibBehavior * behavior_set = nullptr;
    int behavior_sets = 0;
};

template <class T>
unsigned long UnitValue(T unit) {
    return static_cast<unsigned long>(static_cast<std::make_unsigned_t<T>>(unit));
}

template <class From, class To>
class ToyTranscoder : public Transcoder<From, To> {
public:
    explicit ToyTranscoder(ToyLog * log) : log_(log) {}
    ~ToyTranscoder() override {
        if (log_ != nullptr)
            ++log_->destroyed;
    }
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override {
        UnicodeLibBehavior * const previous = Transcoder<From, To>::SetBehavior(behavior);
        if (log_ != nullptr) {
            log_->behavior_set = this->GetBehavior();
            ++log_->behavior_sets;
        }
        return previous;
    }
    TranscodeResult Transcode(From const *& in, From const * inEnd, To *& out, To * outEnd,
                              long limit) override {
        if (log_ != nullptr) {
            ++log_->transcodes;
            log_->last_limit = limit;
        }
        long written = 0;
        while (in != inEnd) {
            TranscodeResult special = kTranscodeComplete;
            // Units a subclass handles itself (problems, shifts).
            if (Special(in, inEnd, out, outEnd, special)) {
                if (special != kTranscodeComplete)
                    return special;
                continue;
            }
            unsigned long const u = UnitValue(*in);
            long const need = Width(u);
            if (limit >= 0 && written + need > limit)
                return kTranscodeLimitReached;
            if (outEnd - out < need)
                return kTranscodeOutputFull;
            for (long i = 0; i < need; ++i)
                *out++ = static_cast<To>(u);
            written += need;
            ++in;
        }
        return kTranscodeInputExhausted;
    }
    TranscodeResult Finish(To *& out, To * outEnd, long limit) override {
        if (log_ != nullptr) {
            ++log_->finishes;
            log_->last_limit = limit;
        }
        TranscodeResult const result = Owed(out, outEnd, limit);
        if (result == kTranscodeOutputFull || result == kTranscodeLimitReached)
            return result;
        Reset();
        return result;
    }
    void Reset() override {
        if (log_ != nullptr)
            ++log_->resets;
        ResetState();
    }

protected:
    // Output units for the character `u`.
    virtual long Width(unsigned long) const { return 1; }
    // Handles *in if it is special: consumes it, writes what it stands for
    // and sets `result` when the call must stop. Returns false for ordinary units.
    virtual bool Special(From const *&, From const *, To *&, To *, TranscodeResult &) {
        return false;
    }
    // What Finish writes; result 0 or 3 (or 2/7 to be called again).
    virtual TranscodeResult Owed(To *&, To *, long) { return kTranscodeComplete; }
    virtual void ResetState() {}

    ToyLog * log_;
};

// Copies every unit.
template <class From, class To>
class IdentityTranscoder : public ToyTranscoder<From, To> {
public:
    explicit IdentityTranscoder(ToyLog * log = nullptr) : ToyTranscoder<From, To>(log) {}
};

// Writes every unit twice: one byte becomes two units.
template <class From, class To>
class DoublingTranscoder : public ToyTranscoder<From, To> {
public:
    explicit DoublingTranscoder(ToyLog * log = nullptr) : ToyTranscoder<From, To>(log) {}

protected:
    long Width(unsigned long) const override { return 2; }
};

// Units from 0x80 up are characters of two output units (the unit twice),
// the others of one: a character never comes out halved, whether the output
// or the limit stops it.
template <class From, class To>
class MultiUnitTranscoder : public ToyTranscoder<From, To> {
public:
    explicit MultiUnitTranscoder(ToyLog * log = nullptr) : ToyTranscoder<From, To>(log) {}

protected:
    long Width(unsigned long u) const override { return u >= 0x80 ? 2 : 1; }
};

// Copies units, but stops past chosen units with result 3 ('!' by default),
// 4 ('?'), 5 ('#') or 6 ('%'). Mode() reports the value given.
template <class From, class To>
class FaultyTranscoder : public ToyTranscoder<From, To> {
public:
    explicit FaultyTranscoder(ToyLog * log = nullptr, unsigned int mode = 0,
                              unsigned long illegal = '!', unsigned long undefined = '?',
                              unsigned long unrepresentable = '#', unsigned long ill_formed = '%')
        : ToyTranscoder<From, To>(log),
          mode_(mode),
          illegal_(illegal),
          undefined_(undefined),
          unrepresentable_(unrepresentable),
          ill_formed_(ill_formed) {}

    unsigned int Mode() const override { return mode_; }

protected:
    bool Special(From const *& in, From const *, To *&, To *, TranscodeResult & result) override {
        unsigned long const u = UnitValue(*in);
        if (u == illegal_) {
            result = kTranscodeIllegalInput;
        } else if (u == undefined_) {
            result = kTranscodeNoCharacterDefined;
        } else if (u == unrepresentable_) {
            result = kTranscodeNotInRepertoire;
        } else if (u == ill_formed_) {
            result = kTranscodeIllFormedUTF16;
        } else {
            return false;
        }
        ++in;
        return true;
    }

private:
    unsigned int mode_;
    unsigned long illegal_, undefined_, unrepresentable_, ill_formed_;
};

// A converter with state. SO (0x0E) shifts out and SI (0x0F) shifts back;
// neither is written. While shifted, Finish owes the trailer (SI by
// default), written whole or not at all. ESC (0x1B) escapes the next unit;
// input that ends after an ESC leaves an incomplete sequence, which Finish
// reports with result 3. Mode() is 1 while shifted.
template <class From, class To>
class OwingTranscoder : public ToyTranscoder<From, To> {
public:
    // The trailer (up to eight units) lives inside the object: making one
    // takes no heap.
    explicit OwingTranscoder(ToyLog * log = nullptr, std::vector<To> const & trailer = {To(0x0F)})
        : ToyTranscoder<From, To>(log) {
        for (To unit : trailer) {
            if (trailer_length_ < 8)
                trailer_[trailer_length_++] = unit;
        }
    }

    unsigned int Mode() const override { return shifted_ ? 1 : 0; }
    bool shifted() const { return shifted_; }

protected:
    bool Special(From const *& in, From const *, To *& out, To * outEnd,
                 TranscodeResult & result) override {
        unsigned long const u = UnitValue(*in);
        if (escaped_) {
            if (out == outEnd) {
                result = kTranscodeOutputFull;
                return true;
            }
            *out++ = static_cast<To>(u);
            escaped_ = false;
        } else if (u == 0x0E) {
            shifted_ = true;
        } else if (u == 0x0F) {
            shifted_ = false;
        } else if (u == 0x1B) {
            escaped_ = true;
        } else {
            return false;
        }
        ++in;
        return true;
    }
    TranscodeResult Owed(To *& out, To * outEnd, long limit) override {
        if (shifted_) {
            long const need = static_cast<long>(trailer_length_);
            if (limit >= 0 && need > limit)
                return kTranscodeLimitReached;
            if (outEnd - out < need)
                return kTranscodeOutputFull;
            for (unsigned i = 0; i < trailer_length_; ++i)
                *out++ = trailer_[i];
            shifted_ = false;
        }
        return escaped_ ? kTranscodeIllegalInput : kTranscodeComplete;
    }
    void ResetState() override {
        shifted_ = false;
        escaped_ = false;
    }

    To trailer_[8] = {};
    unsigned trailer_length_ = 0;
    bool shifted_ = false;
    bool escaped_ = false;
};

// Holds a '~' (consumed, nothing written) to pair it with the next unit.
// When the next unit arrives in a later call and is not '+', the held '~'
// is illegal: result 3 is returned before that unit is consumed, so the call
// moves neither input nor output.
template <class From, class To>
class HoldingTranscoder : public ToyTranscoder<From, To> {
public:
    HoldingTranscoder() : ToyTranscoder<From, To>(nullptr) {}

protected:
    bool Special(From const *& in, From const *, To *& out, To * outEnd,
                 TranscodeResult & result) override {
        if (held_) {
            held_ = false;
            if (UnitValue(*in) != '+') {
                result = kTranscodeIllegalInput;
                return true;
            }
            if (out == outEnd) {
                held_ = true;
                result = kTranscodeOutputFull;
                return true;
            }
            *out++ = static_cast<To>('+');
            ++in;
            return true;
        }
        if (UnitValue(*in) == '~') {
            held_ = true;
            ++in;
            return true;
        }
        return false;
    }
    void ResetState() override { held_ = false; }

private:
    bool held_ = false;
};

}  // namespace zuuc_test

#endif
