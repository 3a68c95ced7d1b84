// Character tests and the predefined tests.
#include "zuuc/character_test.h"

#include "chardb/unicode_tables.h"

CharacterTest::~CharacterTest() {}

// ---------------------------------------------------------------------------
// Set tests.  The six classes differ only in their enumeration, their bit
// type and the property they look up, so their operators share one
// definition.

#define ZUUC_SET_TEST_OPERATORS(T, E)                                          \
  T& T::operator=(const T& other) noexcept {                                   \
    set_ = other.set_;                                                         \
    return *this;                                                              \
  }                                                                            \
  T& T::operator=(E v) noexcept {                                              \
    set_ = BitOf(v);                                                           \
    return *this;                                                              \
  }                                                                            \
  T::~T() {}                                                                   \
  CharacterTest* T::Clone() const { return new T(*this); }                     \
  T T::operator|(E v) const { return T(CharacterSetMask(), set_ | BitOf(v)); } \
  T T::operator|(const T& other) const {                                       \
    return T(CharacterSetMask(), set_ | other.set_);                           \
  }                                                                            \
  T& T::operator|=(E v) {                                                      \
    set_ |= BitOf(v);                                                          \
    return *this;                                                              \
  }                                                                            \
  T& T::operator|=(const T& other) {                                           \
    set_ |= other.set_;                                                        \
    return *this;                                                              \
  }                                                                            \
  T T::operator&(E v) const { return T(CharacterSetMask(), set_ & BitOf(v)); } \
  T T::operator&(const T& other) const {                                       \
    return T(CharacterSetMask(), set_ & other.set_);                           \
  }                                                                            \
  T& T::operator&=(E v) {                                                      \
    set_ &= BitOf(v);                                                          \
    return *this;                                                              \
  }                                                                            \
  T& T::operator&=(const T& other) {                                           \
    set_ &= other.set_;                                                        \
    return *this;                                                              \
  }                                                                            \
  T T::operator~() const { return T(CharacterSetMask(), ~set_ & kAllValues); } \
  bool T::operator==(const T& other) const { return set_ == other.set_; }      \
  bool T::operator!=(const T& other) const { return set_ != other.set_; }

#define ZUUC_SET_TEST_PLUS_OPERATORS(T, E)                              \
  T T::operator+(E v) const { return *this | v; }                       \
  T T::operator+(const T& other) const { return *this | other; }        \
  T& T::operator+=(E v) { return *this |= v; }                          \
  T& T::operator+=(const T& other) { return *this |= other; }

ZUUC_SET_TEST_OPERATORS(CharacterCategoryTest, CharacterCategory)
ZUUC_SET_TEST_PLUS_OPERATORS(CharacterCategoryTest, CharacterCategory)
ZUUC_SET_TEST_OPERATORS(CharacterScript, ScriptSystem)
ZUUC_SET_TEST_PLUS_OPERATORS(CharacterScript, ScriptSystem)
ZUUC_SET_TEST_OPERATORS(CharacterWidthTest, CharacterWidth)
ZUUC_SET_TEST_PLUS_OPERATORS(CharacterWidthTest, CharacterWidth)
ZUUC_SET_TEST_OPERATORS(BidirectionalCategoryTest, BidirectionalCategory)
ZUUC_SET_TEST_OPERATORS(LineBreakTest, LineBreak)
ZUUC_SET_TEST_OPERATORS(ExtendedUnicodePropertyTest, ExtendedUnicodeProperty)

#undef ZUUC_SET_TEST_OPERATORS
#undef ZUUC_SET_TEST_PLUS_OPERATORS

// The looked-up values are always below the width of the set, so the shifts
// are defined for every code point.

bool CharacterCategoryTest::Test(unsigned int c) const {
  return (set_ >> UnicodeCharacter::GetCharacterCategory(c)) & 1u;
}

bool CharacterScript::Test(unsigned int c) const {
  return (set_ >> UnicodeCharacter::GetScriptSystem(c)) & 1u;
}

bool CharacterWidthTest::Test(unsigned int c) const {
  return (set_ >> UnicodeCharacter::GetCharacterWidth(c)) & 1u;
}

bool BidirectionalCategoryTest::Test(unsigned int c) const {
  return (set_ >> UnicodeCharacter::GetBidirectionalCategory(c)) & 1u;
}

bool LineBreakTest::Test(unsigned int c) const {
  return (set_ >> UnicodeCharacter::GetLineBreak(c)) & 1u;
}

bool ExtendedUnicodePropertyTest::Test(unsigned int c) const {
  // Accepts a character with any one of the selected properties.
  return (zuuc_internal::chardb::kPropertiesTable.Lookup(c) & set_) != 0;
}

// ---------------------------------------------------------------------------
// MirroredTest

MirroredTest& MirroredTest::operator=(const MirroredTest& other) noexcept {
  mirrored_ = other.mirrored_;
  return *this;
}

MirroredTest& MirroredTest::operator=(bool mirrored) noexcept {
  mirrored_ = mirrored;
  return *this;
}

MirroredTest::~MirroredTest() {}

CharacterTest* MirroredTest::Clone() const { return new MirroredTest(*this); }

MirroredTest MirroredTest::operator|(const MirroredTest& other) const {
  return MirroredTest(mirrored_ || other.mirrored_);
}

MirroredTest MirroredTest::operator|(bool mirrored) const {
  return MirroredTest(mirrored_ || mirrored);
}

MirroredTest& MirroredTest::operator|=(const MirroredTest& other) {
  mirrored_ = mirrored_ || other.mirrored_;
  return *this;
}

MirroredTest& MirroredTest::operator|=(bool mirrored) {
  mirrored_ = mirrored_ || mirrored;
  return *this;
}

MirroredTest MirroredTest::operator&(const MirroredTest& other) const {
  return MirroredTest(mirrored_ && other.mirrored_);
}

MirroredTest MirroredTest::operator&(bool mirrored) const {
  return MirroredTest(mirrored_ && mirrored);
}

MirroredTest& MirroredTest::operator&=(const MirroredTest& other) {
  mirrored_ = mirrored_ && other.mirrored_;
  return *this;
}

MirroredTest& MirroredTest::operator&=(bool mirrored) {
  mirrored_ = mirrored_ && mirrored;
  return *this;
}

MirroredTest MirroredTest::operator~() const { return MirroredTest(!mirrored_); }

bool MirroredTest::operator==(const MirroredTest& other) const {
  return mirrored_ == other.mirrored_;
}

bool MirroredTest::operator!=(const MirroredTest& other) const {
  return mirrored_ != other.mirrored_;
}

bool MirroredTest::Test(unsigned int c) const {
  return UnicodeCharacter::IsMirrored(c) == mirrored_;
}

// ---------------------------------------------------------------------------
// SpaceCharacterTest, HexadecimalCharacterTest

SpaceCharacterTest::~SpaceCharacterTest() {}

CharacterTest* SpaceCharacterTest::Clone() const { return new SpaceCharacterTest(*this); }

bool SpaceCharacterTest::Test(unsigned int c) const {
  if ((c >= 0x0009 && c <= 0x000D) || c == 0x0020) return true;
  return AnySeparator(c);
}

HexadecimalCharacterTest::~HexadecimalCharacterTest() {}

CharacterTest* HexadecimalCharacterTest::Clone() const {
  return new HexadecimalCharacterTest(*this);
}

bool HexadecimalCharacterTest::Test(unsigned int c) const {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// ---------------------------------------------------------------------------
// CharacterProperty

CharacterProperty& CharacterProperty::operator=(const CharacterProperty& other) noexcept {
  category_ = other.category_;
  width_ = other.width_;
  script_ = other.script_;
  bidi_ = other.bidi_;
  return *this;
}

CharacterProperty::~CharacterProperty() {}

CharacterTest* CharacterProperty::Clone() const { return new CharacterProperty(*this); }

CharacterProperty CharacterProperty::operator|(const CharacterProperty& other) const {
  CharacterProperty result(*this);
  result |= other;
  return result;
}

CharacterProperty& CharacterProperty::operator|=(const CharacterProperty& other) {
  category_ |= other.category_;
  width_ |= other.width_;
  script_ |= other.script_;
  bidi_ |= other.bidi_;
  return *this;
}

CharacterProperty CharacterProperty::operator&(const CharacterProperty& other) const {
  CharacterProperty result(*this);
  result &= other;
  return result;
}

CharacterProperty& CharacterProperty::operator&=(const CharacterProperty& other) {
  category_ &= other.category_;
  width_ &= other.width_;
  script_ &= other.script_;
  bidi_ &= other.bidi_;
  return *this;
}

CharacterProperty CharacterProperty::operator~() const {
  CharacterProperty result(*this);
  result.category_ = ~category_;
  result.width_ = ~width_;
  result.script_ = ~script_;
  result.bidi_ = ~bidi_;
  return result;
}

bool CharacterProperty::operator==(const CharacterProperty& other) const {
  return category_ == other.category_ && width_ == other.width_ &&
         script_ == other.script_ && bidi_ == other.bidi_;
}

bool CharacterProperty::operator!=(const CharacterProperty& other) const {
  return !(*this == other);
}

bool CharacterProperty::Test(unsigned int c) const {
  return category_(c) && width_(c) && script_(c) && bidi_(c);
}

// ---------------------------------------------------------------------------
// Compound tests

namespace {

const CharacterTest* CloneOf(const CharacterTest* t) { return t != nullptr ? t->Clone() : nullptr; }

bool Accepts(const CharacterTest* t, unsigned int c) { return t != nullptr && (*t)(c); }

}  // namespace

CompoundCharacterTest::CompoundCharacterTest(const CharacterTest* lhs,
                                             const CharacterTest* rhs)
    : lhs_(nullptr), rhs_(nullptr), owned_(true) {
  lhs_ = CloneOf(lhs);
  try {
    rhs_ = CloneOf(rhs);
  } catch (...) {
    delete lhs_;
    throw;
  }
}

CompoundCharacterTest::CompoundCharacterTest(const CompoundCharacterTest& other)
    : CompoundCharacterTest(other.lhs_, other.rhs_) {}

CompoundCharacterTest& CompoundCharacterTest::operator=(const CompoundCharacterTest& other) {
  if (this != &other) {
    const CharacterTest* lhs = CloneOf(other.lhs_);
    const CharacterTest* rhs = nullptr;
    try {
      rhs = CloneOf(other.rhs_);
    } catch (...) {
      delete lhs;
      throw;
    }
    Release();
    lhs_ = lhs;
    rhs_ = rhs;
    owned_ = true;
  }
  return *this;
}

CompoundCharacterTest::~CompoundCharacterTest() { Release(); }

void CompoundCharacterTest::Release() noexcept {
  if (owned_) {
    delete lhs_;
    delete rhs_;
  }
  lhs_ = nullptr;
  rhs_ = nullptr;
}

AndCharacterTest::AndCharacterTest(const CharacterTest* lhs, const CharacterTest* rhs)
    : CompoundCharacterTest(lhs, rhs) {}

AndCharacterTest::AndCharacterTest(const AndCharacterTest& other)
    : CompoundCharacterTest(other) {}

AndCharacterTest& AndCharacterTest::operator=(const AndCharacterTest& other) {
  CompoundCharacterTest::operator=(other);
  return *this;
}

AndCharacterTest::~AndCharacterTest() {}

CharacterTest* AndCharacterTest::Clone() const { return new AndCharacterTest(LHS(), RHS()); }

bool AndCharacterTest::Test(unsigned int c) const {
  return Accepts(LHS(), c) && Accepts(RHS(), c);
}

OrCharacterTest::OrCharacterTest(const CharacterTest* lhs, const CharacterTest* rhs)
    : CompoundCharacterTest(lhs, rhs) {}

OrCharacterTest::OrCharacterTest(const OrCharacterTest& other)
    : CompoundCharacterTest(other) {}

OrCharacterTest& OrCharacterTest::operator=(const OrCharacterTest& other) {
  CompoundCharacterTest::operator=(other);
  return *this;
}

OrCharacterTest::~OrCharacterTest() {}

CharacterTest* OrCharacterTest::Clone() const { return new OrCharacterTest(LHS(), RHS()); }

bool OrCharacterTest::Test(unsigned int c) const {
  return Accepts(LHS(), c) || Accepts(RHS(), c);
}

// ---------------------------------------------------------------------------
// Predefined tests.
//
// Every object below is constant-initialised (its constructor is constexpr
// and its operands are constants), so it is complete before any dynamic
// initialiser of any translation unit runs.  Each lives in a Permanent
// wrapper whose destructor does nothing, so the objects also stay usable
// from static destructors that run at unloading.

namespace {

template <class T>
union Permanent {
  template <class... Args>
  constexpr explicit Permanent(const Args&... args) noexcept : value(args...) {}
  ~Permanent() {}
  T value;
};

constexpr CharacterSetMask kSet{};

constexpr std::uint32_t Cat(CharacterCategory v) { return 1u << v; }

constexpr std::uint32_t kLetters =
    Cat(Category_Lu) | Cat(Category_Ll) | Cat(Category_Lt) | Cat(Category_Lm) | Cat(Category_Lo);
constexpr std::uint32_t kMarks = Cat(Category_Mn) | Cat(Category_Mc) | Cat(Category_Me);
constexpr std::uint32_t kNumbers = Cat(Category_Nd) | Cat(Category_Nl) | Cat(Category_No);
constexpr std::uint32_t kPunctuation = Cat(Category_Pc) | Cat(Category_Pd) |
                                       Cat(Category_Ps) | Cat(Category_Pe) |
                                       Cat(Category_Pi) | Cat(Category_Pf) | Cat(Category_Po);
constexpr std::uint32_t kSymbols =
    Cat(Category_Sm) | Cat(Category_Sc) | Cat(Category_Sk) | Cat(Category_So);
constexpr std::uint32_t kSeparators = Cat(Category_Zs) | Cat(Category_Zl) | Cat(Category_Zp);
constexpr std::uint32_t kDefined = CharacterCategoryTest::kAllValues &
                                   ~(Cat(Category_Me) | Cat(Category_Cc) |
                                     Cat(Category_Co) | Cat(Category_Cn));
// Categories 0 (Lu) to 21 (So), and to 22 (Zs).
constexpr std::uint32_t kGraph = (1u << (Category_So + 1)) - 1;
constexpr std::uint32_t kPrint = (1u << (Category_Zs + 1)) - 1;
constexpr std::uint32_t kCtypePunct = kMarks | kPunctuation | Cat(Category_Sm) |
                                      Cat(Category_Sc) | Cat(Category_So);

constexpr std::uint32_t Prop(ExtendedUnicodeProperty p) { return 1u << p; }

// A property whose category dimension is `categories` and whose other
// dimensions are full.
#define ZUUC_CATEGORY_PROPERTY(categories)                                      \
  kSet, CharacterCategoryTest::Bits{categories}, CharacterWidthTest::kAllValues, \
      CharacterScript::kAllValues, BidirectionalCategoryTest::kAllValues

const Permanent<CharacterProperty> s_any_property(
    ZUUC_CATEGORY_PROPERTY(CharacterCategoryTest::kAllValues));

const Permanent<CharacterCategoryTest> s_any_letter(kSet, kLetters);
const Permanent<CharacterCategoryTest> s_any_mark(kSet, kMarks);
const Permanent<CharacterCategoryTest> s_any_number(kSet, kNumbers);
const Permanent<CharacterCategoryTest> s_any_punctuation(kSet, kPunctuation);
const Permanent<CharacterCategoryTest> s_any_symbol(kSet, kSymbols);
const Permanent<CharacterCategoryTest> s_any_separator(kSet, kSeparators);
const Permanent<CharacterCategoryTest> s_any_defined(kSet, kDefined);
const Permanent<CharacterScript> s_kana(
    kSet, (CharacterScript::Bits{1} << Script_Hiragana) | (CharacterScript::Bits{1} << Script_Katakana));

const Permanent<CharacterProperty> s_alnum(ZUUC_CATEGORY_PROPERTY(kLetters | Cat(Category_Nd)));
const Permanent<CharacterProperty> s_alpha(ZUUC_CATEGORY_PROPERTY(kLetters));
const Permanent<CharacterProperty> s_cntrl(ZUUC_CATEGORY_PROPERTY(Cat(Category_Cc)));
const Permanent<CharacterProperty> s_digit(ZUUC_CATEGORY_PROPERTY(Cat(Category_Nd)));
const Permanent<CharacterProperty> s_graph(ZUUC_CATEGORY_PROPERTY(kGraph));
const Permanent<CharacterProperty> s_lower(ZUUC_CATEGORY_PROPERTY(Cat(Category_Ll)));
const Permanent<CharacterProperty> s_print(ZUUC_CATEGORY_PROPERTY(kPrint));
const Permanent<CharacterProperty> s_punct(ZUUC_CATEGORY_PROPERTY(kCtypePunct));
const Permanent<SpaceCharacterTest> s_space{};
const Permanent<CharacterProperty> s_upper(ZUUC_CATEGORY_PROPERTY(Cat(Category_Lu)));
const Permanent<HexadecimalCharacterTest> s_xdigit{};

#undef ZUUC_CATEGORY_PROPERTY

// Operands of the derived core properties: constant set tests that the OR
// tests refer to (a Clone() of such a test copies them).
constexpr CharacterTestOperandsByReference kByRef{};

const Permanent<CharacterCategoryTest> s_math_cat(kSet, Cat(Category_Sm));
const Permanent<ExtendedUnicodePropertyTest> s_math_prop(kSet, Prop(Property_Other_Math));
const Permanent<CharacterCategoryTest> s_alphabetic_cat(kSet, kLetters | Cat(Category_Nl));
const Permanent<ExtendedUnicodePropertyTest> s_alphabetic_prop(kSet, Prop(Property_Other_Alphabetic));
const Permanent<CharacterCategoryTest> s_lower_cat(kSet, Cat(Category_Ll));
const Permanent<ExtendedUnicodePropertyTest> s_lower_prop(kSet, Prop(Property_Other_Lowercase));
const Permanent<CharacterCategoryTest> s_upper_cat(kSet, Cat(Category_Lu));
const Permanent<ExtendedUnicodePropertyTest> s_upper_prop(kSet, Prop(Property_Other_Uppercase));
const Permanent<ExtendedUnicodePropertyTest> s_id_start_prop(kSet, Prop(Property_Other_ID_Start));
const Permanent<CharacterCategoryTest> s_id_continue_cat(
    kSet, Cat(Category_Mn) | Cat(Category_Mc) | Cat(Category_Nd) | Cat(Category_Pc));

const Permanent<OrCharacterTest> s_math(s_math_cat.value, s_math_prop.value, kByRef);
const Permanent<OrCharacterTest> s_alphabetic(s_alphabetic_cat.value, s_alphabetic_prop.value,
                                              kByRef);
const Permanent<OrCharacterTest> s_lowercase(s_lower_cat.value, s_lower_prop.value, kByRef);
const Permanent<OrCharacterTest> s_uppercase(s_upper_cat.value, s_upper_prop.value, kByRef);
const Permanent<OrCharacterTest> s_id_start(s_alphabetic_cat.value, s_id_start_prop.value,
                                            kByRef);
const Permanent<OrCharacterTest> s_id_continue(s_id_continue_cat.value, s_id_start.value,
                                               kByRef);

}  // namespace

const CharacterProperty& AnyCharacterProperty = s_any_property.value;
const CharacterCategoryTest& AnyLetter = s_any_letter.value;
const CharacterCategoryTest& AnyMark = s_any_mark.value;
const CharacterCategoryTest& AnyNumber = s_any_number.value;
const CharacterCategoryTest& AnyPunctuation = s_any_punctuation.value;
const CharacterCategoryTest& AnySymbol = s_any_symbol.value;
const CharacterCategoryTest& AnySeparator = s_any_separator.value;
const CharacterCategoryTest& AnyDefinedCharacter = s_any_defined.value;
const CharacterScript& KanaScript = s_kana.value;

const CharacterProperty& Ctype_alnum = s_alnum.value;
const CharacterProperty& Ctype_alpha = s_alpha.value;
const CharacterProperty& Ctype_cntrl = s_cntrl.value;
const CharacterProperty& Ctype_digit = s_digit.value;
const CharacterProperty& Ctype_graph = s_graph.value;
const CharacterProperty& Ctype_lower = s_lower.value;
const CharacterProperty& Ctype_print = s_print.value;
const CharacterProperty& Ctype_punct = s_punct.value;
const SpaceCharacterTest& Ctype_space = s_space.value;
const CharacterProperty& Ctype_upper = s_upper.value;
const HexadecimalCharacterTest& Ctype_xdigit = s_xdigit.value;

const OrCharacterTest& DerivedCore_Math = s_math.value;
const OrCharacterTest& DerivedCore_Alphabetic = s_alphabetic.value;
const OrCharacterTest& DerivedCore_Lowercase = s_lowercase.value;
const OrCharacterTest& DerivedCore_Uppercase = s_uppercase.value;
const OrCharacterTest& DerivedCore_IDStart = s_id_start.value;
const OrCharacterTest& DerivedCore_IDContinue = s_id_continue.value;
