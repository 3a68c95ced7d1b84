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
            while (begin < end && out <= last)
                step(*begin++, out);
            input_->DoneWith(begin);
        }
        return SetOutput(out);
    }
    template <class Step>
    bool Fill(unsigned int room, Step step) {
        return Fill(room, step, [](unsigned int *&) {});
    }

private:
    Char32Source * input_;                 // the source, or converter_
    Char32EncodingConverter * converter_;  // null over a Char32Source
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

    // A FillBuffer that maps each unit the test accepts through `map`:
    // whole input windows at a time, one call of `map` per accepted unit.
    template <class Map>
    bool FillMapped(Map map) {
        unsigned int * out = Buffer();
        unsigned int * const full = out + kBufferSize;
        while (out < full) {
            unsigned int const * begin;
            unsigned int const * end;
            if (!Input().GetBuffer(begin, end))
                break;
            std::size_t n = static_cast<std::size_t>(end - begin);
            if (n > static_cast<std::size_t>(full - out))
                n = static_cast<std::size_t>(full - out);
            if (GetTest() == nullptr) {
                for (std::size_t i = 0; i < n; ++i)
                    out[i] = map(begin[i]);
            } else {
                for (std::size_t i = 0; i < n; ++i)
                    out[i] = Accepts(begin[i]) ? map(begin[i]) : begin[i];
            }
            out += n;
            Input().DoneWith(begin + n);
        }
        return SetOutput(out);
    }

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

#define ZUUC_DECLARE_SIMPLE_TRANSFORM(Name)                                \
    class ZUUC_EXPORT Name : public SimpleTransform {                      \
    public:                                                                \
        Name(Char32Source & source, CharacterTest const * test = nullptr); \
        Name(Char16Source & source, CharacterTest const * test = nullptr); \
        ~Name() override;                                                  \
        static unsigned int Transform(unsigned int c);                     \
                                                                           \
    protected:                                                             \
        bool FillBuffer() override;                                        \
        void TransformChar(unsigned int & c) const override;               \
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

// ===========================================================================
// Substitutions, selection and filtering
// ===========================================================================

// Replaces every unit equal to `from` by `to`. Takes no test.
class ZUUC_EXPORT CharacterSubstitutionTransform : public UnicodeTransform {
public:
    CharacterSubstitutionTransform(Char32Source & source, unsigned int from, unsigned int to);
    CharacterSubstitutionTransform(Char16Source & source, unsigned short from, unsigned short to);
    ~CharacterSubstitutionTransform() override;

protected:
    bool FillBuffer() override;

private:
    unsigned int from_;
    unsigned int to_;
};

// U+005C (backslash) -> U+00A5 (yen sign).
class ZUUC_EXPORT BackslashToYenTransform : public CharacterSubstitutionTransform {
public:
    explicit BackslashToYenTransform(Char32Source & source);
    explicit BackslashToYenTransform(Char16Source & source);
    ~BackslashToYenTransform() override;
};

// U+005C (backslash) -> U+20A9 (won sign).
class ZUUC_EXPORT BackslashToWonTransform : public CharacterSubstitutionTransform {
public:
    explicit BackslashToWonTransform(Char32Source & source);
    explicit BackslashToWonTransform(Char16Source & source);
    ~BackslashToWonTransform() override;
};

// U+00A5 (yen sign) -> U+005C and U+203E (overline) -> U+007E: text decoded
// from a JIS-Roman code page back to ASCII meaning.
class ZUUC_EXPORT YenToBackslashAndOverbarToTildeTransform : public UnicodeTransform {
public:
    explicit YenToBackslashAndOverbarToTildeTransform(Char32Source & source);
    explicit YenToBackslashAndOverbarToTildeTransform(Char16Source & source);
    ~YenToBackslashAndOverbarToTildeTransform() override;

protected:
    bool FillBuffer() override;
};

// Keeps only the units that the test accepts (everything without a test).
class ZUUC_EXPORT SelectTransform : public UnicodeTransform {
public:
    SelectTransform(Char32Source & source, CharacterTest const * test = nullptr);
    SelectTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~SelectTransform() override;

protected:
    bool FillBuffer() override;
};

// Drops the units that the test accepts (everything without a test).
class ZUUC_EXPORT FilterTransform : public UnicodeTransform {
public:
    FilterTransform(Char32Source & source, CharacterTest const * test = nullptr);
    FilterTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~FilterTransform() override;

protected:
    bool FillBuffer() override;
};

// ===========================================================================
// Line ends
// ===========================================================================
//
// A line end is U+000A, U+000D, U+0085, U+2028 or U+2029; each one that the
// test accepts becomes the transform's line end. A U+000A directly after a
// U+000D (also across windows) is dropped, so CR LF is one line end.

class ZUUC_EXPORT LineEndTransform : public UnicodeTransform {
public:
    ~LineEndTransform() override;

    static bool IsLineEnd(unsigned int c) {
        return c == 0x0A || c == 0x0D || c == 0x85 || c == 0x2028 || c == 0x2029;
    }

protected:
    // Writes `first`, then `second` unless it is 0.
    LineEndTransform(Char32Source & source, CharacterTest const * test, unsigned int first,
                     unsigned int second);
    LineEndTransform(Char16Source & source, CharacterTest const * test, unsigned int first,
                     unsigned int second);

    bool FillBuffer() override;

private:
    unsigned int first_;
    unsigned int second_;
    unsigned int previous_ = 0;  // the previous input unit
};

#define ZUUC_DECLARE_LINE_END_TRANSFORM(Name)                              \
    class ZUUC_EXPORT Name : public LineEndTransform {                     \
    public:                                                                \
        Name(Char32Source & source, CharacterTest const * test = nullptr); \
        Name(Char16Source & source, CharacterTest const * test = nullptr); \
        ~Name() override;                                                  \
    }

ZUUC_DECLARE_LINE_END_TRANSFORM(ToCRTransform);                  // U+000D
ZUUC_DECLARE_LINE_END_TRANSFORM(ToLFTransform);                  // U+000A
ZUUC_DECLARE_LINE_END_TRANSFORM(ToLineSeparatorTransform);       // U+2028
ZUUC_DECLARE_LINE_END_TRANSFORM(ToParagraphSeparatorTransform);  // U+2029
ZUUC_DECLARE_LINE_END_TRANSFORM(ToEBCDICNewLineTransform);       // U+0085
ZUUC_DECLARE_LINE_END_TRANSFORM(ToCRLFTransform);                // U+000D U+000A

#undef ZUUC_DECLARE_LINE_END_TRANSFORM

// ===========================================================================
// Spacing and combining marks
// ===========================================================================

// Spacing marks (U+309B, U+00A8, U+00B4, ...) become the combining mark of
// their compatibility decomposition (U+3099, U+0308, U+0301, ...). A spacing
// mark directly after a space gets an extra space before it, so that the
// visible space stays and the mark has a base.
class ZUUC_EXPORT ToCombiningMarkTransform : public UnicodeTransform {
public:
    ToCombiningMarkTransform(Char32Source & source, CharacterTest const * test = nullptr);
    ToCombiningMarkTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~ToCombiningMarkTransform() override;

    // The combining form of `c`, or `c` when it has none.
    static unsigned int Transform(unsigned int c);

protected:
    bool FillBuffer() override;

private:
    bool after_space_ = false;
};

// Combining marks become their spacing form; a space directly before the
// mark is taken as its base and absorbed.
class ZUUC_EXPORT ToSpacingMarkTransform : public UnicodeTransform {
public:
    ToSpacingMarkTransform(Char32Source & source, CharacterTest const * test = nullptr);
    ToSpacingMarkTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~ToSpacingMarkTransform() override;

    // The spacing form of `c`, or `c` when it has none.
    static unsigned int Transform(unsigned int c);

protected:
    bool FillBuffer() override;

private:
    bool space_held_ = false;
};

// ===========================================================================
// Katakana width with voicing marks
// ===========================================================================

// Fullwidth to halfwidth (as ToHalfwidthTransform), with katakana followed
// by a combining voicing mark (U+3099, U+309A) written as the halfwidth
// letter and the halfwidth mark (U+FF9E, U+FF9F), and the prolonged sound
// mark U+30FC made halfwidth only directly after katakana. Precomposed
// voiced katakana (U+30AC) have no halfwidth form and stay.
class ZUUC_EXPORT ZenkakuKatakanaToHankakuTransform : public UnicodeTransform {
public:
    ZenkakuKatakanaToHankakuTransform(Char32Source & source, CharacterTest const * test = nullptr);
    ZenkakuKatakanaToHankakuTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~ZenkakuKatakanaToHankakuTransform() override;

protected:
    bool FillBuffer() override;

private:
    bool after_katakana_ = false;
};

// Halfwidth to fullwidth (as ToFullwidthTransform), with a halfwidth
// katakana followed by a halfwidth voicing mark composed into one fullwidth
// letter (U+FF76 U+FF9E -> U+30AC, U+FF8A U+FF9F -> U+30D1, U+FF73 U+FF9E
// -> U+30F4). A voicing mark that cannot compose becomes the combining mark.
class ZUUC_EXPORT HankakuKatakanaToZenkakuTransform : public UnicodeTransform {
public:
    HankakuKatakanaToZenkakuTransform(Char32Source & source, CharacterTest const * test = nullptr);
    HankakuKatakanaToZenkakuTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~HankakuKatakanaToZenkakuTransform() override;

protected:
    bool FillBuffer() override;

private:
    bool pending_ = false;
    unsigned int held_ = 0;  // the halfwidth katakana waiting for a possible mark
};

// ===========================================================================
// Kanji numerals
// ===========================================================================

// Rewrites numbers written with kanji numerals as Latin digits: 二千十五 ->
// 2015, 一億二千万 -> 120000000, 3万 -> 30000, 二〇一五 -> 2015. Text
// around numbers is left alone. docs/transforms.md gives the reading rules.
class ZUUC_EXPORT ToLatinNumberTransform : public UnicodeTransform {
public:
    ToLatinNumberTransform(Char32Source & source, CharacterTest const * test = nullptr);
    ToLatinNumberTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~ToLatinNumberTransform() override;

protected:
    bool FillBuffer() override;

private:
    void Step(unsigned int c, unsigned int *& out);
    void EndNumber(unsigned int *& out);
    void WriteGroup(unsigned int value, unsigned int exponent, unsigned int *& out);
    unsigned int RunValue() const;

    // The digits read since the last multiplier or group marker (at most
    // four, kept as written).
    unsigned int run_[4] = {};
    unsigned int run_length_ = 0;
    unsigned int group_ = 0;            // the group read so far (0-9999)
    unsigned int last_multiplier_ = 0;  // 10, 100, 1000; 10000 at a group's start
    unsigned int owed_ = 0;             // places owed to the last group marker
    unsigned int last_marker_ = 0;      // its power of ten; 0 before the first
    bool in_number_ = false;
    bool structured_ = false;      // a multiplier or group marker was read
    bool written_ = false;         // a digit of the number has been written
    bool literal_digits_ = false;  // inside digits after a decimal point or comma
    unsigned int previous_ = 0;    // the last two input units
    unsigned int before_previous_ = 0;
};

// ===========================================================================
// Kana and romaji
// ===========================================================================

// Hiragana and katakana to romaji, in Hepburn (true) or Kunrei-shiki
// (false) spelling. Yoon (きゃ kya), sokuon (っ doubles the next consonant,
// Hepburn っち tchi), ん before a vowel or y as "n'", the prolonged sound
// mark as the vowel before it, small kana on their own as x + the letter
// (ぁ xa). Everything else passes through. docs/transforms.md has the tables.
class ZUUC_EXPORT KanaToRomajiTransform : public UnicodeTransform {
public:
    KanaToRomajiTransform(Char32Source & source, bool hepburn,
                          CharacterTest const * test = nullptr);
    KanaToRomajiTransform(Char16Source & source, bool hepburn,
                          CharacterTest const * test = nullptr);
    ~KanaToRomajiTransform() override;

protected:
    bool FillBuffer() override;

private:
    void Step(unsigned int c, unsigned int *& out);
    void Flush(unsigned int *& out);
    void WriteSyllable(char const * romaji, unsigned int *& out);

    bool hepburn_;
    unsigned int held_ = 0;        // a kana (as hiragana) that a small kana may join; 0 for none
    bool sokuon_ = false;          // a small tsu waits for the next syllable
    bool n_held_ = false;          // an n waits to see whether "n'" is needed
    unsigned int last_vowel_ = 0;  // the vowel of the last syllable written; 0 for none
};

class ZUUC_EXPORT KanaToHebonRomajiTransform : public KanaToRomajiTransform {
public:
    explicit KanaToHebonRomajiTransform(Char32Source & source,
                                        CharacterTest const * test = nullptr);
    explicit KanaToHebonRomajiTransform(Char16Source & source,
                                        CharacterTest const * test = nullptr);
    ~KanaToHebonRomajiTransform() override;
};

class ZUUC_EXPORT KanaToKunreiRomajiTransform : public KanaToRomajiTransform {
public:
    explicit KanaToKunreiRomajiTransform(Char32Source & source,
                                         CharacterTest const * test = nullptr);
    explicit KanaToKunreiRomajiTransform(Char16Source & source,
                                         CharacterTest const * test = nullptr);
    ~KanaToKunreiRomajiTransform() override;
};

// Romaji (Hepburn, Kunrei-shiki and common input spellings, either case) to
// kana. A letter that starts no syllable passes through as it is.
class ZUUC_EXPORT RomajiToKanaTransform : public UnicodeTransform {
public:
    ~RomajiToKanaTransform() override;

protected:
    RomajiToKanaTransform(Char32Source & source, CharacterTest const * test, bool katakana);
    RomajiToKanaTransform(Char16Source & source, CharacterTest const * test, bool katakana);

    bool FillBuffer() override;

private:
    void Step(unsigned int c, unsigned int *& out);
    void Resolve(bool at_end, unsigned int *& out);
    void WriteKana(unsigned int kana, unsigned int *& out) const;
    void Drop(unsigned int count);

    bool katakana_;
    unsigned int pending_[4] = {};  // letters read but not yet resolved, as written
    unsigned int pending_length_ = 0;
};

class ZUUC_EXPORT RomajiToHiraganaTransform : public RomajiToKanaTransform {
public:
    RomajiToHiraganaTransform(Char32Source & source, CharacterTest const * test = nullptr);
    RomajiToHiraganaTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~RomajiToHiraganaTransform() override;
};

class ZUUC_EXPORT RomajiToKatakanaTransform : public RomajiToKanaTransform {
public:
    RomajiToKatakanaTransform(Char32Source & source, CharacterTest const * test = nullptr);
    RomajiToKatakanaTransform(Char16Source & source, CharacterTest const * test = nullptr);
    ~RomajiToKatakanaTransform() override;
};

#endif
