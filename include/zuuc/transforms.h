// Transforms: sources that rewrite the text of another source.
//
// A transform is a Char32Source. It reads another source (a Char32Source, or
// a Char16Source through a UTF-16 to UTF-32 converter that the transform
// owns) and yields the rewritten text in windows of at most 1024 units.
// Transforms stack: any transform can be the input of another.
//
// Most transforms take an optional character test: the characters that the
// test refuses pass through unchanged (SelectTransform and FilterTransform
// use the test to choose what they keep or drop). The test is not owned and
// must outlive the transform; null means "every character".
//
// The input must outlive the transform. State that a transform keeps between
// characters (a held unit, the previous line end, a number being read)
// carries across windows, so the output does not depend on how the input is
// divided into windows. A transform is used by one thread at a time.
//
//   UnicodeNoTestTransform   the input, the owned converter, the buffer
//     UnicodeTransform       + the character test
//       SimpleTransform      one code point in, one code point out
//
// Every per-character transform also offers its mapping as a static
// Transform(code point), usable without a source.
#ifndef ZUUC_TRANSFORMS_H
#define ZUUC_TRANSFORMS_H

#include "zuuc/export.h"
#include "zuuc/sources.h"

class CharacterTest;
class Char32EncodingConverter;

// ===========================================================================
// The framework
// ===========================================================================

// Reads an input source into a 1024-unit output buffer.
class ZUUC_EXPORT UnicodeNoTestTransform : public Char32Source {
public:
    static constexpr unsigned int kBufferSize = 1024;

    UnicodeNoTestTransform(UnicodeNoTestTransform const &) = delete;
    UnicodeNoTestTransform & operator=(UnicodeNoTestTransform const &) = delete;
    ~UnicodeNoTestTransform() override;  // destroys the owned converter

    // Passes the behaviour on to the input (the converter, when there is
    // one), then sets the transform's own.
    UnicodeLibBehavior * SetBehavior(UnicodeLibBehavior * behavior) override;

protected:
    // Reads `source` directly.
    explicit UnicodeNoTestTransform(Char32Source & source);
    // Reads `source` as UTF-16 through an owned converter to UTF-32.
    explicit UnicodeNoTestTransform(Char16Source & source);

    Char32Source & Input() const { return *input_; }
    unsigned int * Buffer() { return buffer_; }

    // Makes buffer_[0, end) the window; true when it is not empty.
    bool SetOutput(unsigned int const * end) {
        SetWindow(buffer_, end);
        return end != buffer_;
    }

    // The frame of a FillBuffer that handles one input unit at a time.
    //   step(c, out)  handles the input unit c, writing at most `room` units
    //                 at out and advancing it;
    //   finish(out)   at end of input, writes at most `room` units of what
    //                 is still held back and forgets it.
    // A step runs only while `room` units are free, so no step can write past
    // the buffer, whatever it expands to. Returns whether the window is not
    // empty.
    template <class Step, class Finish>
    bool Fill(unsigned int room, Step step, Finish finish) {
        unsigned int * out = buffer_;
        unsigned int const * const last = buffer_ + kBufferSize - room;
        while (out <= last) {
            unsigned int const * begin;
            unsigned int const * end;
            if (!input_->GetBuffer(begin, end)) {
                finish(out);
                break;
            }
            while (begin < end && out <= last) step(*begin++, out);
            input_->DoneWith(begin);
        }
        return SetOutput(out);
    }
    template <class Step>
    bool Fill(unsigned int room, Step step) {
        return Fill(room, step, [](unsigned int *&) {});
    }

private:
    Char32Source * input_;                  // the source, or converter_
    Char32EncodingConverter * converter_;   // null over a Char32Source
    unsigned int buffer_[kBufferSize];
};

// Adds the character test that selects what the transform touches.
class ZUUC_EXPORT UnicodeTransform : public UnicodeNoTestTransform {
public:
    ~UnicodeTransform() override;

    CharacterTest const * GetTest() const { return test_; }

protected:
    UnicodeTransform(Char32Source & source, CharacterTest const * test);
    UnicodeTransform(Char16Source & source, CharacterTest const * test);

    // Whether the transform touches `c`: true without a test.
    bool Accepts(unsigned int c) const;

private:
    CharacterTest const * test_;
};

// A transform that rewrites each code point on its own.
class ZUUC_EXPORT SimpleTransform : public UnicodeTransform {
public:
    ~SimpleTransform() override;

protected:
    SimpleTransform(Char32Source & source, CharacterTest const * test);
    SimpleTransform(Char16Source & source, CharacterTest const * test);

    // Copies the input, applying TransformChar to what the test accepts.
    bool FillBuffer() override;
    // Rewrites one code point in place.
    virtual void TransformChar(unsigned int & c) const = 0;

    // FillBuffer with the mapping `map` applied directly: whole input
    // windows at a time, one call of `map` per accepted unit.
    template <class Map>
    bool FillMapped(Map map) {
        unsigned int * out = Buffer();
        unsigned int * const full = out + kBufferSize;
        while (out < full) {
            unsigned int const * begin;
            unsigned int const * end;
            if (!Input().GetBuffer(begin, end)) break;
            std::size_t n = static_cast<std::size_t>(end - begin);
            if (n > static_cast<std::size_t>(full - out)) n = static_cast<std::size_t>(full - out);
            if (GetTest() == nullptr) {
                for (std::size_t i = 0; i < n; ++i) out[i] = map(begin[i]);
            } else {
                for (std::size_t i = 0; i < n; ++i) out[i] = Accepts(begin[i]) ? map(begin[i]) : begin[i];
            }
            out += n;
            Input().DoneWith(begin + n);
        }
        return SetOutput(out);
    }
};

// ===========================================================================
// Per-character transforms
// ===========================================================================
//
// Each maps a code point through one table; a code point without an entry
// is left as it is.
//
//   ToUppercaseTransform        the simple one-to-one uppercase mapping of
//                               the Unicode 4.0 data (BMP only; U+00DF and
//                               every code point above U+FFFF are unchanged)
//   ToLowercaseTransform        the simple lowercase mapping (BMP only)
//   ToHalfwidthTransform        fullwidth forms to their base (U+FF21 -> A,
//                               U+3000 -> space) and the bases of the
//                               halfwidth forms to them (U+30AB -> U+FF76,
//                               U+3099 -> U+FF9E); precomposed voiced kana
//                               such as U+30AC have no halfwidth form
//   ToFullwidthTransform        the inverse (A -> U+FF21, U+FF76 -> U+30AB,
//                               U+20A9 -> U+FFE6)
//   ToHiraganaTransform         katakana to hiragana (U+30F5 -> U+304B,
//                               U+30F6 -> U+3051); the static Transform also
//                               takes halfwidth katakana, the transform does
//                               not
//   ToKatakanaTransform         hiragana to katakana (U+3095 and U+3096 stay)
//   SmallToLargeKanaTransform   small kana to large (the small tsu stays)
//   LargeToSmallKanaTransform   large kana that have a small form to it

#define ZUUC_DECLARE_SIMPLE_TRANSFORM(Name)                                     \
    class ZUUC_EXPORT Name : public SimpleTransform {                           \
    public:                                                                     \
        Name(Char32Source & source, CharacterTest const * test = nullptr);      \
        Name(Char16Source & source, CharacterTest const * test = nullptr);      \
        ~Name() override;                                                       \
        static unsigned int Transform(unsigned int c);                          \
                                                                                \
    protected:                                                                  \
        bool FillBuffer() override;                                             \
        void TransformChar(unsigned int & c) const override;                    \
    }

ZUUC_DECLARE_SIMPLE_TRANSFORM(ToUppercaseTransform);
ZUUC_DECLARE_SIMPLE_TRANSFORM(ToLowercaseTransform);
ZUUC_DECLARE_SIMPLE_TRANSFORM(ToHalfwidthTransform);
ZUUC_DECLARE_SIMPLE_TRANSFORM(ToFullwidthTransform);
ZUUC_DECLARE_SIMPLE_TRANSFORM(ToHiraganaTransform);
ZUUC_DECLARE_SIMPLE_TRANSFORM(ToKatakanaTransform);
ZUUC_DECLARE_SIMPLE_TRANSFORM(SmallToLargeKanaTransform);
ZUUC_DECLARE_SIMPLE_TRANSFORM(LargeToSmallKanaTransform);

#undef ZUUC_DECLARE_SIMPLE_TRANSFORM

#endif
