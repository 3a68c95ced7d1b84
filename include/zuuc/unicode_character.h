// Unicode 4.0 character properties.
//
// UnicodeCharacter answers property questions about one code point: general
// category, bidirectional category, script, East Asian width, line-break
// class, mirroring, numeric values and 31 Boolean properties.  Every question
// exists as a static function taking the code point and as a member of an
// object holding one code point.  The data is that of the Unicode Character
// Database, version 4.0.0 (STerm and Variation_Selector from the 4.0.1
// property list).
//
// Any 32-bit value may be asked about: values above U+10FFFF answer as an
// unassigned code point does (category Cn, bidirectional L, script none,
// width N, line break XX, no mirror, no Boolean property, no numeric value).
// Lookups are a fixed number of table reads, take no lock and are safe from
// any thread.
#ifndef ZUUC_UNICODE_CHARACTER_H
#define ZUUC_UNICODE_CHARACTER_H

#include "zuuc/export.h"

// General category (the short names of the Unicode Character Database).
enum CharacterCategory {
    Category_Lu = 0,   // letter, uppercase
    Category_Ll = 1,   // letter, lowercase
    Category_Lt = 2,   // letter, titlecase
    Category_Lm = 3,   // letter, modifier
    Category_Lo = 4,   // letter, other
    Category_Mn = 5,   // mark, non-spacing
    Category_Mc = 6,   // mark, spacing combining
    Category_Me = 7,   // mark, enclosing
    Category_Nd = 8,   // number, decimal digit
    Category_Nl = 9,   // number, letter
    Category_No = 10,  // number, other
    Category_Pc = 11,  // punctuation, connector
    Category_Pd = 12,  // punctuation, dash
    Category_Ps = 13,  // punctuation, open
    Category_Pe = 14,  // punctuation, close
    Category_Pi = 15,  // punctuation, initial quote
    Category_Pf = 16,  // punctuation, final quote
    Category_Po = 17,  // punctuation, other
    Category_Sm = 18,  // symbol, math
    Category_Sc = 19,  // symbol, currency
    Category_Sk = 20,  // symbol, modifier
    Category_So = 21,  // symbol, other
    Category_Zs = 22,  // separator, space
    Category_Zl = 23,  // separator, line
    Category_Zp = 24,  // separator, paragraph
    Category_Cc = 25,  // other, control
    Category_Cf = 26,  // other, format
    Category_Co = 27,  // other, private use
    Category_Cs = 28,  // other, surrogate
    Category_Cn = 29   // other, not assigned
};

// Bidirectional category.  Unassigned code points take their block's default
// (R in the Hebrew and Cypriot blocks and the Hebrew presentation forms, AL in
// the Arabic, Syriac, Thaana and Arabic presentation-form blocks, L elsewhere).
enum BidirectionalCategory {
    Bidi_L = 0,
    Bidi_LRE = 1,
    Bidi_LRO = 2,
    Bidi_R = 3,
    Bidi_AL = 4,
    Bidi_RLE = 5,
    Bidi_RLO = 6,
    Bidi_PDF = 7,
    Bidi_EN = 8,
    Bidi_ES = 9,
    Bidi_ET = 10,
    Bidi_AN = 11,
    Bidi_CS = 12,
    Bidi_NSM = 13,
    Bidi_BN = 14,
    Bidi_B = 15,
    Bidi_S = 16,
    Bidi_WS = 17,
    Bidi_ON = 18
};

// Script.  Unassigned code points inside a script's block carry that script.
enum ScriptSystem {
    Script_None = 0,    // controls, format characters, most punctuation and
                        // symbols, unassigned code points outside script blocks
    Script_Common = 1,  // U+0020 and the spacing modifier letters from U+02B9
    Script_Latin = 2,   // with fullwidth Latin and the mathematical alphanumerics
    Script_Greek = 3,
    Script_Cyrillic = 4,
    Script_Armenian = 5,
    Script_Hebrew = 6,
    Script_Arabic = 7,
    Script_Devanagari = 8,
    Script_Bengali = 9,
    Script_Gurmukhi = 10,
    Script_Gujarati = 11,
    Script_Oriya = 12,
    Script_Tamil = 13,
    Script_Telugu = 14,
    Script_Kannada = 15,
    Script_Malayalam = 16,
    Script_Thai = 17,
    Script_Lao = 18,
    Script_Tibetan = 19,
    Script_Georgian = 20,
    Script_HangulJamo = 21,  // the unassigned positions of the Hangul Jamo block
    Script_Hiragana = 22,
    Script_Katakana = 23,  // with halfwidth katakana, U+30FC and U+31F0-U+31FF
    Script_Bopomofo = 24,
    Script_Han = 25,     // with the radicals and U+3005
    Script_Hangul = 26,  // jamo and syllables
    Script_Syriac = 27,
    Script_Thaana = 28,
    Script_Ethiopic = 29,
    Script_Cherokee = 30,
    Script_CanadianAboriginal = 31,
    Script_Ogham = 32,
    Script_Runic = 33,
    Script_Khmer = 34,
    Script_Mongolian = 35,
    Script_Yi = 36,
    Script_Sinhala = 37,
    Script_Myanmar = 38,
    Script_OldItalic = 39,
    Script_Gothic = 40,
    Script_Deseret = 41,
    Script_Inherited = 42,  // combining marks
    Script_Tagalog = 43,
    Script_Hanunoo = 44,
    Script_Buhid = 45,
    Script_Tagbanwa = 46,
    Script_Limbu = 47,
    Script_TaiLe = 48,
    Script_LinearB = 49,
    Script_Ugaritic = 50,
    Script_Shavian = 51,
    Script_Osmanya = 52,
    Script_Cypriot = 53,
    Script_Braille = 54
};

// East Asian width.
enum CharacterWidth {
    Width_N = 0,   // neutral
    Width_F = 1,   // fullwidth
    Width_H = 2,   // halfwidth
    Width_W = 3,   // wide
    Width_Na = 4,  // narrow
    Width_A = 5    // ambiguous
};

// Line-break class.  Hangul syllables and conjoining jamo are ID.
enum LineBreak {
    LineBreak_BK = 0,
    LineBreak_CR = 1,
    LineBreak_LF = 2,
    LineBreak_CM = 3,
    LineBreak_SG = 4,
    LineBreak_ZW = 5,
    LineBreak_IN = 6,
    LineBreak_GL = 7,
    LineBreak_CB = 8,
    LineBreak_SP = 9,
    LineBreak_BA = 10,
    LineBreak_BB = 11,
    LineBreak_B2 = 12,
    LineBreak_HY = 13,
    LineBreak_NS = 14,
    LineBreak_OP = 15,
    LineBreak_CL = 16,
    LineBreak_QU = 17,
    LineBreak_EX = 18,
    LineBreak_ID = 19,
    LineBreak_NU = 20,
    LineBreak_IS = 21,
    LineBreak_SY = 22,
    LineBreak_AL = 23,
    LineBreak_PR = 24,
    LineBreak_PO = 25,
    LineBreak_SA = 26,
    LineBreak_AI = 27,
    LineBreak_NL = 28,
    LineBreak_WJ = 29,
    LineBreak_XX = 30
};

// Boolean properties: bit numbers of the property word (the properties of
// the Unicode property list of the same name; Bidi_Mirrored is the mirrored
// field of the character data).  Bit 31 is never set.
enum ExtendedUnicodeProperty {
    Property_ASCII_Hex_Digit = 0,
    Property_Bidi_Control = 1,
    Property_Dash = 2,
    Property_Deprecated = 3,
    Property_Diacritic = 4,
    Property_Extender = 5,
    Property_Grapheme_Link = 6,
    Property_Hex_Digit = 7,
    Property_Hyphen = 8,
    Property_IDS_Binary_Operator = 9,
    Property_IDS_Trinary_Operator = 10,
    Property_Ideographic = 11,
    Property_Join_Control = 12,
    Property_Logical_Order_Exception = 13,
    Property_Bidi_Mirrored = 14,
    Property_Noncharacter_Code_Point = 15,
    Property_Quotation_Mark = 16,
    Property_Radical = 17,
    Property_Soft_Dotted = 18,
    Property_Terminal_Punctuation = 19,
    Property_Unified_Ideograph = 20,
    Property_STerm = 21,
    Property_Variation_Selector = 22,
    Property_White_Space = 23,
    Property_Other_Math = 24,
    Property_Other_Alphabetic = 25,
    Property_Other_Lowercase = 26,
    Property_Other_Uppercase = 27,
    Property_Other_Grapheme_Extend = 28,
    Property_Other_Default_Ignorable_Code_Point = 29,
    Property_Other_ID_Start = 30
};

class ZUUC_EXPORT UnicodeCharacter {
public:
    // The code point c (any 32-bit value).
    UnicodeCharacter(unsigned int c);
    // The code point of a UTF-16 surrogate pair.  A pair that is not a high
    // surrogate followed by a low surrogate gives U+FFFD (REPLACEMENT
    // CHARACTER) rather than an unrelated code point.
    UnicodeCharacter(unsigned short high, unsigned short low);

    unsigned int Codepoint() const { return codepoint_; }

    static CharacterCategory GetCharacterCategory(unsigned int c);
    static BidirectionalCategory GetBidirectionalCategory(unsigned int c);
    static ScriptSystem GetScriptSystem(unsigned int c);
    static CharacterWidth GetCharacterWidth(unsigned int c);
    static LineBreak GetLineBreak(unsigned int c);
    // The mirror-image character (U+0028 <-> U+0029); c itself when there is
    // none.
    static unsigned int GetMirror(unsigned int c);
    // The Bidi_Mirrored property.
    static bool IsMirrored(unsigned int c);
    // Bit p (taken modulo 32) of the Boolean-property word.
    static bool HasExtendedProperty(unsigned int c, ExtendedUnicodeProperty p);
    // Decimal digit and digit values: -1 for none and for code points above
    // U+FFFF.
    static signed char DecimalDigitValue(unsigned int c);
    static signed char DigitValue(unsigned int c);
    // Numeric value: -1.0 for none and for code points above U+FFFF.
    static float NumericValue(unsigned int c);

    CharacterCategory GetCharacterCategory() const;
    BidirectionalCategory GetBidirectionalCategory() const;
    ScriptSystem GetScriptSystem() const;
    CharacterWidth GetCharacterWidth() const;
    LineBreak GetLineBreak() const;
    unsigned int GetMirror() const;
    bool IsMirrored() const;
    // Fetches the property word once and answers later questions from the
    // cached copy.  (The cache makes a single object unsuitable for concurrent
    // queries from several threads; the static form has no such limit.)
    bool HasExtendedProperty(ExtendedUnicodeProperty p) const;
    signed char DecimalDigitValue() const;
    signed char DigitValue() const;
    float NumericValue() const;

private:
    unsigned int codepoint_;
    mutable bool cached_;              // properties_ holds the word
    mutable unsigned int properties_;  // the cached Boolean-property word
};

#endif
