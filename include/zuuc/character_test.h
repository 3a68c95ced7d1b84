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
  constexpr CharacterTest(const CharacterTest&) noexcept {}
  CharacterTest& operator=(const CharacterTest&) noexcept { return *this; }

  // A new heap copy of the same dynamic type, owned by the caller.
  virtual CharacterTest* Clone() const = 0;
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
  constexpr CharacterCategoryTest(CharacterSetMask, Bits bits) noexcept : set_(bits & kAllValues) {}
  constexpr CharacterCategoryTest(const CharacterCategoryTest& other) noexcept
      : CharacterTest(other), set_(other.set_) {}
  CharacterCategoryTest& operator=(const CharacterCategoryTest& other) noexcept;
  CharacterCategoryTest& operator=(CharacterCategory v) noexcept;
  ~CharacterCategoryTest() override;

  CharacterTest* Clone() const override;

  CharacterCategoryTest operator|(CharacterCategory v) const;
  CharacterCategoryTest operator|(const CharacterCategoryTest& other) const;
  CharacterCategoryTest& operator|=(CharacterCategory v);
  CharacterCategoryTest& operator|=(const CharacterCategoryTest& other);
  CharacterCategoryTest operator&(CharacterCategory v) const;
  CharacterCategoryTest operator&(const CharacterCategoryTest& other) const;
  CharacterCategoryTest& operator&=(CharacterCategory v);
  CharacterCategoryTest& operator&=(const CharacterCategoryTest& other);
  CharacterCategoryTest operator~() const;
  CharacterCategoryTest operator+(CharacterCategory v) const;
  CharacterCategoryTest operator+(const CharacterCategoryTest& other) const;
  CharacterCategoryTest& operator+=(CharacterCategory v);
  CharacterCategoryTest& operator+=(const CharacterCategoryTest& other);
  bool operator==(const CharacterCategoryTest& other) const;
  bool operator!=(const CharacterCategoryTest& other) const;

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
  constexpr CharacterScript(const CharacterScript& other) noexcept
      : CharacterTest(other), set_(other.set_) {}
  CharacterScript& operator=(const CharacterScript& other) noexcept;
  CharacterScript& operator=(ScriptSystem v) noexcept;
  ~CharacterScript() override;

  CharacterTest* Clone() const override;

  CharacterScript operator|(ScriptSystem v) const;
  CharacterScript operator|(const CharacterScript& other) const;
  CharacterScript& operator|=(ScriptSystem v);
  CharacterScript& operator|=(const CharacterScript& other);
  CharacterScript operator&(ScriptSystem v) const;
  CharacterScript operator&(const CharacterScript& other) const;
  CharacterScript& operator&=(ScriptSystem v);
  CharacterScript& operator&=(const CharacterScript& other);
  CharacterScript operator~() const;
  CharacterScript operator+(ScriptSystem v) const;
  CharacterScript operator+(const CharacterScript& other) const;
  CharacterScript& operator+=(ScriptSystem v);
  CharacterScript& operator+=(const CharacterScript& other);
  bool operator==(const CharacterScript& other) const;
  bool operator!=(const CharacterScript& other) const;

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
  constexpr CharacterWidthTest(const CharacterWidthTest& other) noexcept
      : CharacterTest(other), set_(other.set_) {}
  CharacterWidthTest& operator=(const CharacterWidthTest& other) noexcept;
  CharacterWidthTest& operator=(CharacterWidth v) noexcept;
  ~CharacterWidthTest() override;

  CharacterTest* Clone() const override;

  CharacterWidthTest operator|(CharacterWidth v) const;
  CharacterWidthTest operator|(const CharacterWidthTest& other) const;
  CharacterWidthTest& operator|=(CharacterWidth v);
  CharacterWidthTest& operator|=(const CharacterWidthTest& other);
  CharacterWidthTest operator&(CharacterWidth v) const;
  CharacterWidthTest operator&(const CharacterWidthTest& other) const;
  CharacterWidthTest& operator&=(CharacterWidth v);
  CharacterWidthTest& operator&=(const CharacterWidthTest& other);
  CharacterWidthTest operator~() const;
  CharacterWidthTest operator+(CharacterWidth v) const;
  CharacterWidthTest operator+(const CharacterWidthTest& other) const;
  CharacterWidthTest& operator+=(CharacterWidth v);
  CharacterWidthTest& operator+=(const CharacterWidthTest& other);
  bool operator==(const CharacterWidthTest& other) const;
  bool operator!=(const CharacterWidthTest& other) const;

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
  constexpr BidirectionalCategoryTest(CharacterSetMask, Bits bits) noexcept : set_(bits & kAllValues) {}
  constexpr BidirectionalCategoryTest(const BidirectionalCategoryTest& other) noexcept
      : CharacterTest(other), set_(other.set_) {}
  BidirectionalCategoryTest& operator=(const BidirectionalCategoryTest& other) noexcept;
  BidirectionalCategoryTest& operator=(BidirectionalCategory v) noexcept;
  ~BidirectionalCategoryTest() override;

  CharacterTest* Clone() const override;

  BidirectionalCategoryTest operator|(BidirectionalCategory v) const;
  BidirectionalCategoryTest operator|(const BidirectionalCategoryTest& other) const;
  BidirectionalCategoryTest& operator|=(BidirectionalCategory v);
  BidirectionalCategoryTest& operator|=(const BidirectionalCategoryTest& other);
  BidirectionalCategoryTest operator&(BidirectionalCategory v) const;
  BidirectionalCategoryTest operator&(const BidirectionalCategoryTest& other) const;
  BidirectionalCategoryTest& operator&=(BidirectionalCategory v);
  BidirectionalCategoryTest& operator&=(const BidirectionalCategoryTest& other);
  BidirectionalCategoryTest operator~() const;
  bool operator==(const BidirectionalCategoryTest& other) const;
  bool operator!=(const BidirectionalCategoryTest& other) const;

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
  constexpr LineBreakTest(const LineBreakTest& other) noexcept
      : CharacterTest(other), set_(other.set_) {}
  LineBreakTest& operator=(const LineBreakTest& other) noexcept;
  LineBreakTest& operator=(LineBreak v) noexcept;
  ~LineBreakTest() override;

  CharacterTest* Clone() const override;

  LineBreakTest operator|(LineBreak v) const;
  LineBreakTest operator|(const LineBreakTest& other) const;
  LineBreakTest& operator|=(LineBreak v);
  LineBreakTest& operator|=(const LineBreakTest& other);
  LineBreakTest operator&(LineBreak v) const;
  LineBreakTest operator&(const LineBreakTest& other) const;
  LineBreakTest& operator&=(LineBreak v);
  LineBreakTest& operator&=(const LineBreakTest& other);
  LineBreakTest operator~() const;
  bool operator==(const LineBreakTest& other) const;
  bool operator!=(const LineBreakTest& other) const;

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
  constexpr ExtendedUnicodePropertyTest(CharacterSetMask, Bits bits) noexcept : set_(bits & kAllValues) {}
  constexpr ExtendedUnicodePropertyTest(const ExtendedUnicodePropertyTest& other) noexcept
      : CharacterTest(other), set_(other.set_) {}
  ExtendedUnicodePropertyTest& operator=(const ExtendedUnicodePropertyTest& other) noexcept;
  ExtendedUnicodePropertyTest& operator=(ExtendedUnicodeProperty v) noexcept;
  ~ExtendedUnicodePropertyTest() override;

  CharacterTest* Clone() const override;

  ExtendedUnicodePropertyTest operator|(ExtendedUnicodeProperty v) const;
  ExtendedUnicodePropertyTest operator|(const ExtendedUnicodePropertyTest& other) const;
  ExtendedUnicodePropertyTest& operator|=(ExtendedUnicodeProperty v);
  ExtendedUnicodePropertyTest& operator|=(const ExtendedUnicodePropertyTest& other);
  ExtendedUnicodePropertyTest operator&(ExtendedUnicodeProperty v) const;
  ExtendedUnicodePropertyTest operator&(const ExtendedUnicodePropertyTest& other) const;
  ExtendedUnicodePropertyTest& operator&=(ExtendedUnicodeProperty v);
  ExtendedUnicodePropertyTest& operator&=(const ExtendedUnicodePropertyTest& other);
  ExtendedUnicodePropertyTest operator~() const;
  bool operator==(const ExtendedUnicodePropertyTest& other) const;
  bool operator!=(const ExtendedUnicodePropertyTest& other) const;

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
  constexpr MirroredTest(const MirroredTest& other) noexcept
      : CharacterTest(other), mirrored_(other.mirrored_) {}
  MirroredTest& operator=(const MirroredTest& other) noexcept;
  MirroredTest& operator=(bool mirrored) noexcept;
  ~MirroredTest() override;

  CharacterTest* Clone() const override;

  MirroredTest operator|(const MirroredTest& other) const;
  MirroredTest operator|(bool mirrored) const;
  MirroredTest& operator|=(const MirroredTest& other);
  MirroredTest& operator|=(bool mirrored);
  MirroredTest operator&(const MirroredTest& other) const;
  MirroredTest operator&(bool mirrored) const;
  MirroredTest& operator&=(const MirroredTest& other);
  MirroredTest& operator&=(bool mirrored);
  MirroredTest operator~() const;
  bool operator==(const MirroredTest& other) const;
  bool operator!=(const MirroredTest& other) const;

 protected:
  bool Test(unsigned int c) const override;

 private:
  bool mirrored_;
};

// Accepts the separators (Zs, Zl, Zp), U+0009-U+000D and U+0020.
class ZUUC_EXPORT SpaceCharacterTest : public CharacterTest {
 public:
  constexpr SpaceCharacterTest() noexcept {}
  constexpr SpaceCharacterTest(const SpaceCharacterTest& other) noexcept
      : CharacterTest(other) {}
  SpaceCharacterTest& operator=(const SpaceCharacterTest&) noexcept { return *this; }
  ~SpaceCharacterTest() override;
  CharacterTest* Clone() const override;

 protected:
  bool Test(unsigned int c) const override;
};

// Accepts '0'-'9', 'A'-'F' and 'a'-'f' only.
class ZUUC_EXPORT HexadecimalCharacterTest : public CharacterTest {
 public:
  constexpr HexadecimalCharacterTest() noexcept {}
  constexpr HexadecimalCharacterTest(const HexadecimalCharacterTest& other) noexcept
      : CharacterTest(other) {}
  HexadecimalCharacterTest& operator=(const HexadecimalCharacterTest&) noexcept {
    return *this;
  }
  ~HexadecimalCharacterTest() override;
  CharacterTest* Clone() const override;

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
  constexpr CharacterProperty(const CharacterCategoryTest& t) noexcept
      : category_(t),
        width_(kAll, CharacterWidthTest::kAllValues),
        script_(kAll, CharacterScript::kAllValues),
        bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
  constexpr CharacterProperty(const CharacterWidthTest& t) noexcept
      : category_(kAll, CharacterCategoryTest::kAllValues),
        width_(t),
        script_(kAll, CharacterScript::kAllValues),
        bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
  constexpr CharacterProperty(const CharacterScript& t) noexcept
      : category_(kAll, CharacterCategoryTest::kAllValues),
        width_(kAll, CharacterWidthTest::kAllValues),
        script_(t),
        bidi_(kAll, BidirectionalCategoryTest::kAllValues) {}
  constexpr CharacterProperty(const BidirectionalCategoryTest& t) noexcept
      : category_(kAll, CharacterCategoryTest::kAllValues),
        width_(kAll, CharacterWidthTest::kAllValues),
        script_(kAll, CharacterScript::kAllValues),
        bidi_(t) {}
  // The four dimensions from their bit sets.
  constexpr CharacterProperty(CharacterSetMask m, CharacterCategoryTest::Bits categories,
                              CharacterWidthTest::Bits widths, CharacterScript::Bits scripts,
                              BidirectionalCategoryTest::Bits bidi) noexcept
      : category_(m, categories), width_(m, widths), script_(m, scripts), bidi_(m, bidi) {}
  constexpr CharacterProperty(const CharacterProperty& other) noexcept
      : CharacterTest(other),
        category_(other.category_),
        width_(other.width_),
        script_(other.script_),
        bidi_(other.bidi_) {}
  CharacterProperty& operator=(const CharacterProperty& other) noexcept;
  ~CharacterProperty() override;

  CharacterTest* Clone() const override;

  CharacterProperty operator|(const CharacterProperty& other) const;
  CharacterProperty& operator|=(const CharacterProperty& other);
  CharacterProperty operator&(const CharacterProperty& other) const;
  CharacterProperty& operator&=(const CharacterProperty& other);
  CharacterProperty operator~() const;
  bool operator==(const CharacterProperty& other) const;
  bool operator!=(const CharacterProperty& other) const;

  const CharacterCategoryTest& Categories() const { return category_; }
  const CharacterWidthTest& Widths() const { return width_; }
  const CharacterScript& Scripts() const { return script_; }
  const BidirectionalCategoryTest& BidirectionalCategories() const { return bidi_; }

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
  CompoundCharacterTest(const CharacterTest* lhs, const CharacterTest* rhs);
  constexpr CompoundCharacterTest(const CharacterTest& lhs, const CharacterTest& rhs,
                                  CharacterTestOperandsByReference) noexcept
      : lhs_(&lhs), rhs_(&rhs), owned_(false) {}
  CompoundCharacterTest(const CompoundCharacterTest& other);
  CompoundCharacterTest& operator=(const CompoundCharacterTest& other);

  const CharacterTest* LHS() const { return lhs_; }
  const CharacterTest* RHS() const { return rhs_; }

 private:
  void Release() noexcept;
  const CharacterTest* lhs_;
  const CharacterTest* rhs_;
  bool owned_;  // false: the operands belong to someone else
};

// LHS and RHS; stops at the first refusal.
class ZUUC_EXPORT AndCharacterTest : public CompoundCharacterTest {
 public:
  AndCharacterTest(const CharacterTest* lhs, const CharacterTest* rhs);
  constexpr AndCharacterTest(const CharacterTest& lhs, const CharacterTest& rhs,
                             CharacterTestOperandsByReference tag) noexcept
      : CompoundCharacterTest(lhs, rhs, tag) {}
  AndCharacterTest(const AndCharacterTest& other);
  AndCharacterTest& operator=(const AndCharacterTest& other);
  ~AndCharacterTest() override;
  // A new test over fresh copies of the two operands.
  CharacterTest* Clone() const override;

 protected:
  bool Test(unsigned int c) const override;
};

// LHS or RHS; stops at the first acceptance.
class ZUUC_EXPORT OrCharacterTest : public CompoundCharacterTest {
 public:
  OrCharacterTest(const CharacterTest* lhs, const CharacterTest* rhs);
  constexpr OrCharacterTest(const CharacterTest& lhs, const CharacterTest& rhs,
                            CharacterTestOperandsByReference tag) noexcept
      : CompoundCharacterTest(lhs, rhs, tag) {}
  OrCharacterTest(const OrCharacterTest& other);
  OrCharacterTest& operator=(const OrCharacterTest& other);
  ~OrCharacterTest() override;
  // A new test over fresh copies of the two operands.
  CharacterTest* Clone() const override;

 protected:
  bool Test(unsigned int c) const override;
};

// ---------------------------------------------------------------------------
// Predefined tests.

ZUUC_EXPORT extern const CharacterProperty& AnyCharacterProperty;  // everything
ZUUC_EXPORT extern const CharacterCategoryTest& AnyLetter;       // Lu Ll Lt Lm Lo
ZUUC_EXPORT extern const CharacterCategoryTest& AnyMark;         // Mn Mc Me
ZUUC_EXPORT extern const CharacterCategoryTest& AnyNumber;       // Nd Nl No
ZUUC_EXPORT extern const CharacterCategoryTest& AnyPunctuation;  // Pc Pd Ps Pe Pi Pf Po
ZUUC_EXPORT extern const CharacterCategoryTest& AnySymbol;       // Sm Sc Sk So
ZUUC_EXPORT extern const CharacterCategoryTest& AnySeparator;    // Zs Zl Zp
// Every category except Me, Cc, Co and Cn.
ZUUC_EXPORT extern const CharacterCategoryTest& AnyDefinedCharacter;
ZUUC_EXPORT extern const CharacterScript& KanaScript;            // Hiragana, Katakana

// Classification in the manner of <ctype.h>; only the category decides
// (width, script and bidirectional dimensions are full).
ZUUC_EXPORT extern const CharacterProperty& Ctype_alnum;   // Lu Ll Lt Lm Lo Nd
ZUUC_EXPORT extern const CharacterProperty& Ctype_alpha;   // Lu Ll Lt Lm Lo
ZUUC_EXPORT extern const CharacterProperty& Ctype_cntrl;   // Cc
ZUUC_EXPORT extern const CharacterProperty& Ctype_digit;   // Nd
ZUUC_EXPORT extern const CharacterProperty& Ctype_graph;   // categories Lu..So
ZUUC_EXPORT extern const CharacterProperty& Ctype_lower;   // Ll
ZUUC_EXPORT extern const CharacterProperty& Ctype_print;   // categories Lu..Zs
// Marks, punctuation and symbols except Sk.
ZUUC_EXPORT extern const CharacterProperty& Ctype_punct;
ZUUC_EXPORT extern const SpaceCharacterTest& Ctype_space;
ZUUC_EXPORT extern const CharacterProperty& Ctype_upper;   // Lu
ZUUC_EXPORT extern const HexadecimalCharacterTest& Ctype_xdigit;

// Derived core properties.
ZUUC_EXPORT extern const OrCharacterTest& DerivedCore_Math;        // Sm | Other_Math
// Lu Ll Lt Lm Lo Nl | Other_Alphabetic
ZUUC_EXPORT extern const OrCharacterTest& DerivedCore_Alphabetic;
ZUUC_EXPORT extern const OrCharacterTest& DerivedCore_Lowercase;   // Ll | Other_Lowercase
ZUUC_EXPORT extern const OrCharacterTest& DerivedCore_Uppercase;   // Lu | Other_Uppercase
// Lu Ll Lt Lm Lo Nl | Other_ID_Start
ZUUC_EXPORT extern const OrCharacterTest& DerivedCore_IDStart;
// Mn Mc Nd Pc | DerivedCore_IDStart
ZUUC_EXPORT extern const OrCharacterTest& DerivedCore_IDContinue;

#endif
