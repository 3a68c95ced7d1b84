// Character tests: small value objects that say whether a code point
// qualifies, from the Unicode 4.0 property data of UnicodeCharacter.
//
// Tests are sets of property values (categories, scripts, widths,
// bidirectional categories, line-break classes, Boolean properties) combined
// with set operators, four-dimensional CharacterProperty values, and logical
// AND/OR trees.  A test is immutable apart from its assignment operators, so
// one test may be used from several threads at once.
//
// The predefined tests at the end (AnyLetter, Ctype_alpha, DerivedCore_Math,
// ...) are constant references to objects that are complete before any
// dynamic initialisation runs and are never destroyed, so they may be used
// from any static initialiser or destructor.  Callers must not delete them.
#ifndef ZUUC_CHARACTER_TEST_H
#define ZUUC_CHARACTER_TEST_H

#include <cstdint>

#include "zuuc/export.h"
#include "zuuc/unicode_character.h"

class ZUUC_EXPORT CharacterTest {
public:
    constexpr CharacterTest() noexcept {}
    constexpr CharacterTest(CharacterTest const &) noexcept {}
    CharacterTest & operator=(CharacterTest const &) noexcept { return *this; }

    // A new heap copy of the same dynamic type, owned by the caller.
    virtual CharacterTest * Clone() const = 0;
    virtual ~CharacterTest();

    bool operator()(unsigned int c) const { return Test(c); }

protected:
    virtual bool Test(unsigned int c) const = 0;
};

// Selects the constructor of a set test from its bit set (bit n stands for
// value n of the enumeration; bits beyond the last value are dropped).
struct CharacterSetMask {};

// Set tests.  Each holds one bit per value of its enumeration and accepts a
// code point whose property value is in the set.  Operators with a single
// value v treat it as the set {v}; ~ complements within the enumeration's
// values only, so ~T() accepts every code point.

class ZUUC_EXPORT CharacterCategoryTest : public CharacterTest {
public:
    typedef std::uint32_t Bits;
    // Every value of the enumeration (30 values, 0-29).
    static constexpr Bits kAllValues = 0x3FFFFFFFu;

    constexpr CharacterCategoryTest() noexcept : set_(0) {}
    constexpr CharacterCategoryTest(CharacterCategory v) noexcept : set_(BitOf(v)) {}
    constexpr CharacterCategoryTest(CharacterSetMask, Bits bits) noexcept
        : set_(bits & kAllValues) {}
    constexpr CharacterCategoryTest(CharacterCategoryTest const & other) noexcept
        : CharacterTest(other), set_(other.set_) {}
    CharacterCategoryTest & operator=(CharacterCategoryTest const & other) noexcept;
    CharacterCategoryTest & operator=(CharacterCategory v) noexcept;
    ~CharacterCategoryTest() override;

    CharacterTest * Clone() const override;

    CharacterCategoryTest operator|(CharacterCategory v) const;
    CharacterCategoryTest operator|(CharacterCategoryTest const & other) const;
    CharacterCategoryTest & operator|=(CharacterCategory v);
    CharacterCategoryTest & operator|=(CharacterCategoryTest const & other);
    CharacterCategoryTest operator&(CharacterCategory v) const;
    CharacterCategoryTest operator&(CharacterCategoryTest const & other) const;
    CharacterCategoryTest & operator&=(CharacterCategory v);
    CharacterCategoryTest & operator&=(CharacterCategoryTest const & other);
    CharacterCategoryTest operator~() const;
    CharacterCategoryTest operator+(CharacterCategory v) const;
    CharacterCategoryTest operator+(CharacterCategoryTest const & other) const;
    CharacterCategoryTest & operator+=(CharacterCategory v);
    CharacterCategoryTest & operator+=(CharacterCategoryTest const & other);
    bool operator==(CharacterCategoryTest const & other) const;
    bool operator!=(CharacterCategoryTest const & other) const;

    // The bit set: bit n stands for value n.
    constexpr Bits GetBits() const { return set_; }

protected:
    bool Test(unsigned int c) const override;

private:
    static constexpr Bits BitOf(CharacterCategory v) {
        return static_cast<unsigned int>(v) < 30u ? (1u << static_cast<unsigned int>(v)) : 0;
    }
    Bits set_;
};

class ZUUC_EXPORT CharacterScript : public CharacterTest {
public:
    typedef std::uint64_t Bits;
    // Every value of the enumeration (56 bits, 0-55).
    static constexpr Bits kAllValues = 0x00FFFFFFFFFFFFFFull;

    constexpr CharacterScript() noexcept : set_(0) {}
    constexpr CharacterScript(ScriptSystem v) noexcept : set_(BitOf(v)) {}
    constexpr CharacterScript(CharacterSetMask, Bits bits) noexcept : set_(bits & kAllValues) {}
    constexpr CharacterScript(CharacterScript const & other) noexcept
        : CharacterTest(other), set_(other.set_) {}
    CharacterScript & operator=(CharacterScript const & other) noexcept;
    CharacterScript & operator=(ScriptSystem v) noexcept;
    ~CharacterScript() override;

    CharacterTest * Clone() const override;

    CharacterScript operator|(ScriptSystem v) const;
    CharacterScript operator|(CharacterScript const & other) const;
    CharacterScript & operator|=(ScriptSystem v);
    CharacterScript & operator|=(CharacterScript const & other);
    CharacterScript operator&(ScriptSystem v) const;
    CharacterScript operator&(CharacterScript const & other) const;
    CharacterScript & operator&=(ScriptSystem v);
    CharacterScript & operator&=(CharacterScript const & other);
    CharacterScript operator~() const;
    CharacterScript operator+(ScriptSystem v) const;
    CharacterScript operator+(CharacterScript const & other) const;
    CharacterScript & operator+=(ScriptSystem v);
    CharacterScript & operator+=(CharacterScript const & other);
    bool operator==(CharacterScript const & other) const;
    bool operator!=(CharacterScript const & other) const;

    // The bit set: bit n stands for value n.
    constexpr Bits GetBits() const { return set_; }

protected:
    bool Test(unsigned int c) const override;

private:
    static constexpr Bits BitOf(ScriptSystem v) {
        return static_cast<unsigned int>(v) < 56u ? (1ull << static_cast<unsigned int>(v)) : 0;
    }
    Bits set_;
};

class ZUUC_EXPORT CharacterWidthTest : public CharacterTest {
public:
    typedef std::uint32_t Bits;
    // Every value of the enumeration (6 values, 0-5).
    static constexpr Bits kAllValues = 0x3Fu;

    constexpr CharacterWidthTest() noexcept : set_(0) {}
    constexpr CharacterWidthTest(CharacterWidth v) noexcept : set_(BitOf(v)) {}
    constexpr CharacterWidthTest(CharacterSetMask, Bits bits) noexcept : set_(bits & kAllValues) {}
    constexpr CharacterWidthTest(CharacterWidthTest const & other) noexcept
        : CharacterTest(other), set_(other.set_) {}
    CharacterWidthTest & operator=(CharacterWidthTest const & other) noexcept;
    CharacterWidthTest & operator=(CharacterWidth v) noexcept;
    ~CharacterWidthTest() override;

    CharacterTest * Clone() const override;

    CharacterWidthTest operator|(CharacterWidth v) const;
    CharacterWidthTest operator|(CharacterWidthTest const & other) const;
    CharacterWidthTest & operator|=(CharacterWidth v);
    CharacterWidthTest & operator|=(CharacterWidthTest const & other);
    CharacterWidthTest operator&(CharacterWidth v) const;
    CharacterWidthTest operator&(CharacterWidthTest const & other) const;
    CharacterWidthTest & operator&=(CharacterWidth v);
    CharacterWidthTest & operator&=(CharacterWidthTest const & other);
    CharacterWidthTest operator~() const;
    CharacterWidthTest operator+(CharacterWidth v) const;
    CharacterWidthTest operator+(CharacterWidthTest const & other) const;
    CharacterWidthTest & operator+=(CharacterWidth v);
    CharacterWidthTest & operator+=(CharacterWidthTest const & other);
    bool operator==(CharacterWidthTest const & other) const;
    bool operator!=(CharacterWidthTest const & other) const;

    // The bit set: bit n stands for value n.
    constexpr Bits GetBits() const { return set_; }

protected:
    bool Test(unsigned int c) const override;

private:
    static constexpr Bits BitOf(CharacterWidth v) {
        return static_cast<unsigned int>(v) < 6u ? (1u << static_cast<unsigned int>(v)) : 0;
    }
    Bits set_;
};

class ZUUC_EXPORT BidirectionalCategoryTest : public CharacterTest {
public:
    typedef std::uint32_t Bits;
    // Every value of the enumeration (19 values, 0-18).
    static constexpr Bits kAllValues = 0x7FFFFu;

    constexpr BidirectionalCategoryTest() noexcept : set_(0) {}
    constexpr BidirectionalCategoryTest(BidirectionalCategory v) noexcept : set_(BitOf(v)) {}
    constexpr BidirectionalCategoryTest(CharacterSetMask, Bits bits) noexcept
        : set_(bits & kAllValues) {}
    constexpr BidirectionalCategoryTest(BidirectionalCategoryTest const & other) noexcept
        : CharacterTest(other), set_(other.set_) {}
    BidirectionalCategoryTest & operator=(BidirectionalCategoryTest const & other) noexcept;
    BidirectionalCategoryTest & operator=(BidirectionalCategory v) noexcept;
    ~BidirectionalCategoryTest() override;

    CharacterTest * Clone() const override;

    BidirectionalCategoryTest operator|(BidirectionalCategory v) const;
    BidirectionalCategoryTest operator|(BidirectionalCategoryTest const & other) const;
    BidirectionalCategoryTest & operator|=(BidirectionalCategory v);
    BidirectionalCategoryTest & operator|=(BidirectionalCategoryTest const & other);
    BidirectionalCategoryTest operator&(BidirectionalCategory v) const;
    BidirectionalCategoryTest operator&(BidirectionalCategoryTest const & other) const;
    BidirectionalCategoryTest & operator&=(BidirectionalCategory v);
    BidirectionalCategoryTest & operator&=(BidirectionalCategoryTest const & other);
    BidirectionalCategoryTest operator~() const;
    bool operator==(BidirectionalCategoryTest const & other) const;
    bool operator!=(BidirectionalCategoryTest const & other) const;

    // The bit set: bit n stands for value n.
    constexpr Bits GetBits() const { return set_; }

protected:
    bool Test(unsigned int c) const override;

private:
    static constexpr Bits BitOf(BidirectionalCategory v) {
        return static_cast<unsigned int>(v) < 19u ? (1u << static_cast<unsigned int>(v)) : 0;
    }
    Bits set_;
};

class ZUUC_EXPORT LineBreakTest : public CharacterTest {
public:
    typedef std::uint32_t Bits;
    // Every value of the enumeration (31 values, 0-30).
    static constexpr Bits kAllValues = 0x7FFFFFFFu;

    constexpr LineBreakTest() noexcept : set_(0) {}
    constexpr LineBreakTest(LineBreak v) noexcept : set_(BitOf(v)) {}
    constexpr LineBreakTest(CharacterSetMask, Bits bits) noexcept : set_(bits & kAllValues) {}
    constexpr LineBreakTest(LineBreakTest const & other) noexcept
        : CharacterTest(other), set_(other.set_) {}
    LineBreakTest & operator=(LineBreakTest const & other) noexcept;
    LineBreakTest & operator=(LineBreak v) noexcept;
    ~LineBreakTest() override;

    CharacterTest * Clone() const override;

    LineBreakTest operator|(LineBreak v) const;
    LineBreakTest operator|(LineBreakTest const & other) const;
    LineBreakTest & operator|=(LineBreak v);
    LineBreakTest & operator|=(LineBreakTest const & other);
    LineBreakTest operator&(LineBreak v) const;
    LineBreakTest operator&(LineBreakTest const & other) const;
    LineBreakTest & operator&=(LineBreak v);
    LineBreakTest & operator&=(LineBreakTest const & other);
    LineBreakTest operator~() const;
    bool operator==(LineBreakTest const & other) const;
    bool operator!=(LineBreakTest const & other) const;

    // The bit set: bit n stands for value n.
    constexpr Bits GetBits() const { return set_; }

protected:
    bool Test(unsigned int c) const override;

private:
    static constexpr Bits BitOf(LineBreak v) {
        return static_cast<unsigned int>(v) < 31u ? (1u << static_cast<unsigned int>(v)) : 0;
    }
    Bits set_;
};

class ZUUC_EXPORT ExtendedUnicodePropertyTest : public CharacterTest {
public:
    typedef std::uint32_t Bits;
    // Every value of the enumeration (31 bits, 0-30).
    static constexpr Bits kAllValues = 0x7FFFFFFFu;

    constexpr ExtendedUnicodePropertyTest() noexcept : set_(0) {}
    constexpr ExtendedUnicodePropertyTest(ExtendedUnicodeProperty v) noexcept : set_(BitOf(v)) {}
    constexpr ExtendedUnicodePropertyTest(CharacterSetMask, Bits bits) noexcept
        : set_(bits & kAllValues) {}
    constexpr ExtendedUnicodePropertyTest(ExtendedUnicodePropertyTest const & other) noexcept
        : CharacterTest(other), set_(other.set_) {}
    ExtendedUnicodePropertyTest & operator=(ExtendedUnicodePropertyTest const & other) noexcept;
    ExtendedUnicodePropertyTest & operator=(ExtendedUnicodeProperty v) noexcept;
    ~ExtendedUnicodePropertyTest() override;

    CharacterTest * Clone() const override;

    ExtendedUnicodePropertyTest operator|(ExtendedUnicodeProperty v) const;
    ExtendedUnicodePropertyTest operator|(ExtendedUnicodePropertyTest const & other) const;
    ExtendedUnicodePropertyTest & operator|=(ExtendedUnicodeProperty v);
    ExtendedUnicodePropertyTest & operator|=(ExtendedUnicodePropertyTest const & other);
    ExtendedUnicodePropertyTest operator&(ExtendedUnicodeProperty v) const;
    ExtendedUnicodePropertyTest operator&(ExtendedUnicodePropertyTest const & other) const;
    ExtendedUnicodePropertyTest & operator&=(ExtendedUnicodeProperty v);
    ExtendedUnicodePropertyTest & operator&=(ExtendedUnicodePropertyTest const & other);
    ExtendedUnicodePropertyTest operator~() const;
    bool operator==(ExtendedUnicodePropertyTest const & other) const;
    bool operator!=(ExtendedUnicodePropertyTest const & other) const;

    // The bit set: bit n stands for value n.
    constexpr Bits GetBits() const { return set_; }

protected:
    bool Test(unsigned int c) const override;

private:
    static constexpr Bits BitOf(ExtendedUnicodeProperty v) {
        return static_cast<unsigned int>(v) < 31u ? (1u << static_cast<unsigned int>(v)) : 0;
    }
    Bits set_;
};

// Accepts code points whose Bidi_Mirrored property equals the flag.
class ZUUC_EXPORT MirroredTest : public CharacterTest {
public:
    constexpr MirroredTest() noexcept : mirrored_(false) {}
    constexpr MirroredTest(bool mirrored) noexcept : mirrored_(mirrored) {}
    constexpr MirroredTest(MirroredTest const & other) noexcept
        : CharacterTest(other), mirrored_(other.mirrored_) {}
    MirroredTest & operator=(MirroredTest const & other) noexcept;
    MirroredTest & operator=(bool mirrored) noexcept;
    ~MirroredTest() override;

    CharacterTest * Clone() const override;

    MirroredTest operator|(MirroredTest const & other) const;
    MirroredTest operator|(bool mirrored) const;
    MirroredTest & operator|=(MirroredTest const & other);
    MirroredTest & operator|=(bool mirrored);
    MirroredTest operator&(MirroredTest const & other) const;
    MirroredTest operator&(bool mirrored) const;
    MirroredTest & operator&=(MirroredTest const & other);
    MirroredTest & operator&=(bool mirrored);
    MirroredTest operator~() const;
    bool operator==(MirroredTest const & other) const;
    bool operator!=(MirroredTest const & other) const;

protected:
    bool Test(unsigned int c) const override;

private:
    bool mirrored_;
};

// Accepts the separators (Zs, Zl, Zp), U+0009-U+000D and U+0020.
class ZUUC_EXPORT SpaceCharacterTest : public CharacterTest {
public:
    constexpr SpaceCharacterTest() noexcept {}
    constexpr SpaceCharacterTest(SpaceCharacterTest const & other) noexcept
        : CharacterTest(other) {}
    SpaceCharacterTest & operator=(SpaceCharacterTest const &) noexcept { return *this; }
    ~SpaceCharacterTest() override;
    CharacterTest * Clone() const override;

protected:
    bool Test(unsigned int c) const override;
};

// Accepts '0'-'9', 'A'-'F' and 'a'-'f' only.
class ZUUC_EXPORT HexadecimalCharacterTest : public CharacterTest {
public:
    constexpr HexadecimalCharacterTest() noexcept {}
    constexpr HexadecimalCharacterTest(HexadecimalCharacterTest const & other) noexcept
        : CharacterTest(other) {}
    HexadecimalCharacterTest & operator=(HexadecimalCharacterTest const &) noexcept {
        return *this;
    }
    ~HexadecimalCharacterTest() override;
    CharacterTest * Clone() const override;

protected:
    bool Test(unsigned int c) const override;
};

// Four dimensions: category, width, script and bidirectional category.  A
// code point qualifies when all four accept it.  The operators work
// dimension by dimension: the union of two properties is the product of the
// four unions (not the logical OR of the two tests).
class ZUUC_EXPORT CharacterProperty : public CharacterTest {
public:
    // All four dimensions empty: accepts nothing.
    constexpr CharacterProperty() noexcept : category_(), width_(), script_(), bidi_() {}
    // One dimension as given, the other three full.
    constexpr CharacterProperty(CharacterCategory v) noexcept
        : category_(v),
          width_(kAll, CharacterWidthTest::kAllValues),
          script_(kAll, CharacterScript::kAllValues),
          bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
    constexpr CharacterProperty(CharacterWidth v) noexcept
        : category_(kAll, CharacterCategoryTest::kAllValues),
          width_(v),
          script_(kAll, CharacterScript::kAllValues),
          bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
    constexpr CharacterProperty(ScriptSystem v) noexcept
        : category_(kAll, CharacterCategoryTest::kAllValues),
          width_(kAll, CharacterWidthTest::kAllValues),
          script_(v),
          bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
    constexpr CharacterProperty(BidirectionalCategory v) noexcept
        : category_(kAll, CharacterCategoryTest::kAllValues),
          width_(kAll, CharacterWidthTest::kAllValues),
          script_(kAll, CharacterScript::kAllValues),
          bidi_(v) {}
    constexpr CharacterProperty(CharacterCategoryTest const & t) noexcept
        : category_(t),
          width_(kAll, CharacterWidthTest::kAllValues),
          script_(kAll, CharacterScript::kAllValues),
          bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
    constexpr CharacterProperty(CharacterWidthTest const & t) noexcept
        : category_(kAll, CharacterCategoryTest::kAllValues),
          width_(t),
          script_(kAll, CharacterScript::kAllValues),
          bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
    constexpr CharacterProperty(CharacterScript const & t) noexcept
        : category_(kAll, CharacterCategoryTest::kAllValues),
          width_(kAll, CharacterWidthTest::kAllValues),
          script_(t),
          bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
    constexpr CharacterProperty(BidirectionalCategoryTest const & t) noexcept
        : category_(kAll, CharacterCategoryTest::kAllValues),
          width_(kAll, CharacterWidthTest::kAllValues),
          script_(kAll, CharacterScript::kAllValues),
          bidi_(t) {}
    // The four dimensions from their bit sets.
    constexpr CharacterProperty(CharacterSetMask m, CharacterCategoryTest::Bits categories,
                                CharacterWidthTest::Bits widths, CharacterScript::Bits scripts,
                                BidirectionalCategoryTest::Bits bidi) noexcept
        : category_(m, categories), width_(m, widths), script_(m, scripts), bidi_(m, bidi) {}
    constexpr CharacterProperty(CharacterProperty const & other) noexcept
        : CharacterTest(other),
          category_(other.category_),
          width_(other.width_),
          script_(other.script_),
          bidi_(other.bidi_) {}
    CharacterProperty & operator=(CharacterProperty const & other) noexcept;
    ~CharacterProperty() override;

    CharacterTest * Clone() const override;

    CharacterProperty operator|(CharacterProperty const & other) const;
    CharacterProperty & operator|=(CharacterProperty const & other);
    CharacterProperty operator&(CharacterProperty const & other) const;
    CharacterProperty & operator&=(CharacterProperty const & other);
    CharacterProperty operator~() const;
    bool operator==(CharacterProperty const & other) const;
    bool operator!=(CharacterProperty const & other) const;

    CharacterCategoryTest const & Categories() const { return category_; }
    CharacterWidthTest const & Widths() const { return width_; }
    CharacterScript const & Scripts() const { return script_; }
    BidirectionalCategoryTest const & BidirectionalCategories() const { return bidi_; }

protected:
    bool Test(unsigned int c) const override;

private:
    static constexpr CharacterSetMask kAll{};
    CharacterCategoryTest category_;
    CharacterWidthTest width_;
    CharacterScript script_;
    BidirectionalCategoryTest bidi_;
};

// Tag selecting the compound-test constructors that refer to their operands
// instead of copying them; both operands must then outlive the test.
struct CharacterTestOperandsByReference {};

// Two owned operands (heap copies made with Clone()), destroyed with the
// test.  A null operand accepts nothing.
class ZUUC_EXPORT CompoundCharacterTest : public CharacterTest {
public:
    ~CompoundCharacterTest() override;

protected:
    CompoundCharacterTest(CharacterTest const * lhs, CharacterTest const * rhs);
    constexpr CompoundCharacterTest(CharacterTest const & lhs, CharacterTest const & rhs,
                                    CharacterTestOperandsByReference) noexcept
        : lhs_(&lhs), rhs_(&rhs), owned_(false) {}
    CompoundCharacterTest(CompoundCharacterTest const & other);
    CompoundCharacterTest & operator=(CompoundCharacterTest const & other);

    CharacterTest const * LHS() const { return lhs_; }
    CharacterTest const * RHS() const { return rhs_; }

private:
    void Release() noexcept;
    CharacterTest const * lhs_;
    CharacterTest const * rhs_;
    bool owned_;  // false: the operands belong to someone else
};

// LHS and RHS; stops at the first refusal.
class ZUUC_EXPORT AndCharacterTest : public CompoundCharacterTest {
public:
    AndCharacterTest(CharacterTest const * lhs, CharacterTest const * rhs);
    constexpr AndCharacterTest(CharacterTest const & lhs, CharacterTest const & rhs,
                               CharacterTestOperandsByReference tag) noexcept
        : CompoundCharacterTest(lhs, rhs, tag) {}
    AndCharacterTest(AndCharacterTest const & other);
    AndCharacterTest & operator=(AndCharacterTest const & other);
    ~AndCharacterTest() override;
    // A new test over fresh copies of the two operands.
    CharacterTest * Clone() const override;

protected:
    bool Test(unsigned int c) const override;
};

// LHS or RHS; stops at the first acceptance.
class ZUUC_EXPORT OrCharacterTest : public CompoundCharacterTest {
public:
    OrCharacterTest(CharacterTest const * lhs, CharacterTest const * rhs);
    constexpr OrCharacterTest(CharacterTest const & lhs, CharacterTest const & rhs,
                              CharacterTestOperandsByReference tag) noexcept
        : CompoundCharacterTest(lhs, rhs, tag) {}
    OrCharacterTest(OrCharacterTest const & other);
    OrCharacterTest & operator=(OrCharacterTest const & other);
    ~OrCharacterTest() override;
    // A new test over fresh copies of the two operands.
    CharacterTest * Clone() const override;

protected:
    bool Test(unsigned int c) const override;
};

// ---------------------------------------------------------------------------
// Predefined tests.

ZUUC_EXPORT extern CharacterProperty const & AnyCharacterProperty;  // everything
ZUUC_EXPORT extern CharacterCategoryTest const & AnyLetter;         // Lu Ll Lt Lm Lo
ZUUC_EXPORT extern CharacterCategoryTest const & AnyMark;           // Mn Mc Me
ZUUC_EXPORT extern CharacterCategoryTest const & AnyNumber;         // Nd Nl No
ZUUC_EXPORT extern CharacterCategoryTest const & AnyPunctuation;    // Pc Pd Ps Pe Pi Pf Po
ZUUC_EXPORT extern CharacterCategoryTest const & AnySymbol;         // Sm Sc Sk So
ZUUC_EXPORT extern CharacterCategoryTest const & AnySeparator;      // Zs Zl Zp
// Every category except Me, Cc, Co and Cn.
ZUUC_EXPORT extern CharacterCategoryTest const & AnyDefinedCharacter;
ZUUC_EXPORT extern CharacterScript const & KanaScript;  // Hiragana, Katakana

// Classification in the manner of <ctype.h>; only the category decides
// (width, script and bidirectional dimensions are full).
ZUUC_EXPORT extern CharacterProperty const & Ctype_alnum;  // Lu Ll Lt Lm Lo Nd
ZUUC_EXPORT extern CharacterProperty const & Ctype_alpha;  // Lu Ll Lt Lm Lo
ZUUC_EXPORT extern CharacterProperty const & Ctype_cntrl;  // Cc
ZUUC_EXPORT extern CharacterProperty const & Ctype_digit;  // Nd
ZUUC_EXPORT extern CharacterProperty const & Ctype_graph;  // categories Lu..So
ZUUC_EXPORT extern CharacterProperty const & Ctype_lower;  // Ll
ZUUC_EXPORT extern CharacterProperty const & Ctype_print;  // categories Lu..Zs
// Marks, punctuation and symbols except Sk.
ZUUC_EXPORT extern CharacterProperty const & Ctype_punct;
ZUUC_EXPORT extern SpaceCharacterTest const & Ctype_space;
ZUUC_EXPORT extern CharacterProperty const & Ctype_upper;  // Lu
ZUUC_EXPORT extern HexadecimalCharacterTest const & Ctype_xdigit;

// Derived core properties.
ZUUC_EXPORT extern OrCharacterTest const & DerivedCore_Math;  // Sm | Other_Math
// Lu Ll Lt Lm Lo Nl | Other_Alphabetic
ZUUC_EXPORT extern OrCharacterTest const & DerivedCore_Alphabetic;
ZUUC_EXPORT extern OrCharacterTest const & DerivedCore_Lowercase;  // Ll | Other_Lowercase
ZUUC_EXPORT extern OrCharacterTest const & DerivedCore_Uppercase;  // Lu | Other_Uppercase
// Lu Ll Lt Lm Lo Nl | Other_ID_Start
ZUUC_EXPORT extern OrCharacterTest const & DerivedCore_IDStart;
// Mn Mc Nd Pc | DerivedCore_IDStart
ZUUC_EXPORT extern OrCharacterTest const & DerivedCore_IDContinue;

#endif
