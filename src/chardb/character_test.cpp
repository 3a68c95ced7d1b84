// Character tests and the predefined tests.
#include "zuuc/character_test.h"

#include "chardb/unicode_tables.h"

CharacterTest::~CharacterTest() {}

// ---------------------------------------------------------------------------
// Set tests.  The six classes differ only in their enumeration, their bit
// type and the property they look up, so their operators share one
// definition.

#define ZUUC_SET_TEST_OPERATORS(T, E)                     \
    T & T::operator=(const T & other) noexcept {          \
        set_ = other.set_;                                \
        return *this;                                     \
    }                                                     \
    T & T::operator=(E v) noexcept {                      \
        set_ = BitOf(v);                                  \
        return *this;                                     \
    }                                                     \
    T::~T() {}                                            \
    CharacterTest * T::Clone() const {                    \
        return new T(*this);                              \
    }                                                     \
    T T::operator|(E v) const {                           \
        return T(CharacterSetMask(), set_ | BitOf(v));    \
    }                                                     \
    T T::operator|(const T & other) const {               \
        return T(CharacterSetMask(), set_ | other.set_);  \
    }                                                     \
    T & T::operator|=(E v) {                              \
        set_ |= BitOf(v);                                 \
        return *this;                                     \
    }                                                     \
    T & T::operator|=(const T & other) {                  \
        set_ |= other.set_;                               \
        return *this;                                     \
    }                                                     \
    T T::operator&(E v) const {                           \
        return T(CharacterSetMask(), set_ & BitOf(v));    \
    }                                                     \
    T T::operator&(const T & other) const {               \
        return T(CharacterSetMask(), set_ & other.set_);  \
    }                                                     \
    T & T::operator&=(E v) {                              \
        set_ &= BitOf(v);                                 \
        return *this;                                     \
    }                                                     \
    T & T::operator&=(const T & other) {                  \
        set_ &= other.set_;                               \
        return *this;                                     \
    }                                                     \
    T T::operator~() const {                              \
        return T(CharacterSetMask(), ~set_ & kAllValues); \
    }                                                     \
    bool T::operator==(const T & other) const {           \
        return set_ == other.set_;                        \
    }                                                     \
    bool T::operator!=(const T & other) const {           \
        return set_ != other.set_;                        \
    }

#define ZUUC_SET_TEST_PLUS_OPERATORS(T, E)  \
    T T::operator+(E v) const {             \
        return *this | v;                   \
    }                                       \
    T T::operator+(const T & other) const { \
        return *this | other;               \
    }                                       \
    T & T::operator+=(E v) {                \
        return *this |= v;                  \
    }                                       \
    T & T::operator+=(const T & other) {    \
        return *this |= other;              \
    }

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

MirroredTest & MirroredTest::operator=(MirroredTest const & other) noexcept {
    mirrored_ = other.mirrored_;
    return *this;
}

MirroredTest & MirroredTest::operator=(bool mirrored) noexcept {
    mirrored_ = mirrored;
    return *this;
}

MirroredTest::~MirroredTest() {}

CharacterTest * MirroredTest::Clone() const {
    return new MirroredTest(*this);
}

MirroredTest MirroredTest::operator|(MirroredTest const & other) const {
    return MirroredTest(mirrored_ || other.mirrored_);
}

MirroredTest MirroredTest::operator|(bool mirrored) const {
    return MirroredTest(mirrored_ || mirrored);
}

MirroredTest & MirroredTest::operator|=(MirroredTest const & other) {
    mirrored_ = mirrored_ || other.mirrored_;
    return *this;
}

MirroredTest & MirroredTest::operator|=(bool mirrored) {
    mirrored_ = mirrored_ || mirrored;
    return *this;
}

MirroredTest MirroredTest::operator&(MirroredTest const & other) const {
    return MirroredTest(mirrored_ && other.mirrored_);
}

MirroredTest MirroredTest::operator&(bool mirrored) const {
    return MirroredTest(mirrored_ && mirrored);
}

MirroredTest & MirroredTest::operator&=(MirroredTest const & other) {
    mirrored_ = mirrored_ && other.mirrored_;
    return *this;
}

MirroredTest & MirroredTest::operator&=(bool mirrored) {
    mirrored_ = mirrored_ && mirrored;
    return *this;
}

MirroredTest MirroredTest::operator~() const {
    return MirroredTest(!mirrored_);
}

bool MirroredTest::operator==(MirroredTest const & other) const {
    return mirrored_ == other.mirrored_;
}

bool MirroredTest::operator!=(MirroredTest const & other) const {
    return mirrored_ != other.mirrored_;
}

bool MirroredTest::Test(unsigned int c) const {
    return UnicodeCharacter::IsMirrored(c) == mirrored_;
}

// ---------------------------------------------------------------------------
// SpaceCharacterTest, HexadecimalCharacterTest

SpaceCharacterTest::~SpaceCharacterTest() {}

CharacterTest * SpaceCharacterTest::Clone() const {
    return new SpaceCharacterTest(*this);
}

bool SpaceCharacterTest::Test(unsigned int c) const {
    if ((c >= 0x0009 && c <= 0x000D) || c == 0x0020)
        return true;
    return AnySeparator(c);
}

HexadecimalCharacterTest::~HexadecimalCharacterTest() {}

CharacterTest * HexadecimalCharacterTest::Clone() const {
    return new HexadecimalCharacterTest(*this);
}

bool HexadecimalCharacterTest::Test(unsigned int c) const {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

// ---------------------------------------------------------------------------
// CharacterProperty

CharacterProperty & CharacterProperty::operator=(CharacterProperty const & other) noexcept {
    category_ = other.category_;
    width_ = other.width_;
    script_ = other.script_;
    bidi_ = other.bidi_;
    return *this;
}

CharacterProperty::~CharacterProperty() {}

CharacterTest * CharacterProperty::Clone() const {
    return new CharacterProperty(*this);
}

CharacterProperty CharacterProperty::operator|(CharacterProperty const & other) const {
    CharacterProperty result(*this);
    result |= other;
    return result;
}

CharacterProperty & CharacterProperty::operator|=(CharacterProperty const & other) {
    category_ |= other.category_;
    width_ |= other.width_;
    script_ |= other.script_;
    bidi_ |= other.bidi_;
    return *this;
}

CharacterProperty CharacterProperty::operator&(CharacterProperty const & other) const {
    CharacterProperty result(*this);
    result &= other;
    return result;
}

CharacterProperty & CharacterProperty::operator&=(CharacterProperty const & other) {
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

bool CharacterProperty::operator==(CharacterProperty const & other) const {
    return category_ == other.category_ && width_ == other.width_ && script_ == other.script_ &&
           bidi_ == other.bidi_;
}

bool CharacterProperty::operator!=(CharacterProperty const & other) const {
    return !(*this == other);
}

bool CharacterProperty::Test(unsigned int c) const {
    return category_(c) && width_(c) && script_(c) && bidi_(c);
}

// ---------------------------------------------------------------------------
// Compound tests

namespace {

CharacterTest const * CloneOf(CharacterTest const * t) {
    return t != nullptr ? t->Clone() : nullptr;
}

bool Accepts(CharacterTest const * t, unsigned int c) {
    return t != nullptr && (*t)(c);
}

}  // namespace

CompoundCharacterTest::CompoundCharacterTest(CharacterTest const * lhs, CharacterTest const * rhs)
    : lhs_(nullptr), rhs_(nullptr), owned_(true) {
    lhs_ = CloneOf(lhs);
    try {
        rhs_ = CloneOf(rhs);
    } catch (...) {
        delete lhs_;
        throw;
    }
}

CompoundCharacterTest::CompoundCharacterTest(CompoundCharacterTest const & other)
    : CompoundCharacterTest(other.lhs_, other.rhs_) {}

CompoundCharacterTest & CompoundCharacterTest::operator=(CompoundCharacterTest const & other) {
    if (this != &other) {
        CharacterTest const * lhs = CloneOf(other.lhs_);
        CharacterTest const * rhs = nullptr;
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

CompoundCharacterTest::~CompoundCharacterTest() {
    Release();
}

void CompoundCharacterTest::Release() noexcept {
    if (owned_) {
        delete lhs_;
        delete rhs_;
    }
    lhs_ = nullptr;
    rhs_ = nullptr;
}

AndCharacterTest::AndCharacterTest(CharacterTest const * lhs, CharacterTest const * rhs)
    : CompoundCharacterTest(lhs, rhs) {}

AndCharacterTest::AndCharacterTest(AndCharacterTest const & other) : CompoundCharacterTest(other) {}

AndCharacterTest & AndCharacterTest::operator=(AndCharacterTest const & other) {
    CompoundCharacterTest::operator=(other);
    return *this;
}

AndCharacterTest::~AndCharacterTest() {}

CharacterTest * AndCharacterTest::Clone() const {
    return new AndCharacterTest(LHS(), RHS());
}

bool AndCharacterTest::Test(unsigned int c) const {
    return Accepts(LHS(), c) && Accepts(RHS(), c);
}

OrCharacterTest::OrCharacterTest(CharacterTest const * lhs, CharacterTest const * rhs)
    : CompoundCharacterTest(lhs, rhs) {}

OrCharacterTest::OrCharacterTest(OrCharacterTest const & other) : CompoundCharacterTest(other) {}

OrCharacterTest & OrCharacterTest::operator=(OrCharacterTest const & other) {
    CompoundCharacterTest::operator=(other);
    return *this;
}

OrCharacterTest::~OrCharacterTest() {}

CharacterTest * OrCharacterTest::Clone() const {
    return new OrCharacterTest(LHS(), RHS());
}

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
    constexpr explicit Permanent(Args const &... args) noexcept : value(args...) {}
    ~Permanent() {}
    T value;
};

constexpr CharacterSetMask kSet{};

constexpr std::uint32_t Cat(CharacterCategory v) {
    return 1u << v;
}

constexpr std::uint32_t kLetters =
    Cat(Category_Lu) | Cat(Category_Ll) | Cat(Category_Lt) | Cat(Category_Lm) | Cat(Category_Lo);
constexpr std::uint32_t kMarks = Cat(Category_Mn) | Cat(Category_Mc) | Cat(Category_Me);
constexpr std::uint32_t kNumbers = Cat(Category_Nd) | Cat(Category_Nl) | Cat(Category_No);
constexpr std::uint32_t kPunctuation = Cat(Category_Pc) | Cat(Category_Pd) | Cat(Category_Ps) |
                                       Cat(Category_Pe) | Cat(Category_Pi) | Cat(Category_Pf) |
                                       Cat(Category_Po);
constexpr std::uint32_t kSymbols =
    Cat(Category_Sm) | Cat(Category_Sc) | Cat(Category_Sk) | Cat(Category_So);
constexpr std::uint32_t kSeparators = Cat(Category_Zs) | Cat(Category_Zl) | Cat(Category_Zp);
constexpr std::uint32_t kDefined =
    CharacterCategoryTest::kAllValues &
    ~(Cat(Category_Me) | Cat(Category_Cc) | Cat(Category_Co) | Cat(Category_Cn));
// Categories 0 (Lu) to 21 (So), and to 22 (Zs).
constexpr std::uint32_t kGraph = (1u << (Category_So + 1)) - 1;
constexpr std::uint32_t kPrint = (1u << (Category_Zs + 1)) - 1;
constexpr std::uint32_t kCtypePunct =
    kMarks | kPunctuation | Cat(Category_Sm) | Cat(Category_Sc) | Cat(Category_So);

constexpr std::uint32_t Prop(ExtendedUnicodeProperty p) {
    return 1u << p;
}

// A property whose category dimension is `categories` and whose other
// dimensions are full.
#define ZUUC_CATEGORY_PROPERTY(categories)                                         \
    kSet, CharacterCategoryTest::Bits{categories}, CharacterWidthTest::kAllValues, \
        CharacterScript::kAllValues, BidirectionalCategoryTest::kAllValues

Permanent<CharacterProperty> const s_any_property(
    ZUUC_CATEGORY_PROPERTY(CharacterCategoryTest::kAllValues));

Permanent<CharacterCategoryTest> const s_any_letter(kSet, kLetters);
Permanent<CharacterCategoryTest> const s_any_mark(kSet, kMarks);
Permanent<CharacterCategoryTest> const s_any_number(kSet, kNumbers);
Permanent<CharacterCategoryTest> const s_any_punctuation(kSet, kPunctuation);
Permanent<CharacterCategoryTest> const s_any_symbol(kSet, kSymbols);
Permanent<CharacterCategoryTest> const s_any_separator(kSet, kSeparators);
Permanent<CharacterCategoryTest> const s_any_defined(kSet, kDefined);
Permanent<CharacterScript> const s_kana(kSet, (CharacterScript::Bits{1} << Script_Hiragana) |
                                                  (CharacterScript::Bits{1} << Script_Katakana));

Permanent<CharacterProperty> const s_alnum(ZUUC_CATEGORY_PROPERTY(kLetters | Cat(Category_Nd)));
Permanent<CharacterProperty> const s_alpha(ZUUC_CATEGORY_PROPERTY(kLetters));
Permanent<CharacterProperty> const s_cntrl(ZUUC_CATEGORY_PROPERTY(Cat(Category_Cc)));
Permanent<CharacterProperty> const s_digit(ZUUC_CATEGORY_PROPERTY(Cat(Category_Nd)));
Permanent<CharacterProperty> const s_graph(ZUUC_CATEGORY_PROPERTY(kGraph));
Permanent<CharacterProperty> const s_lower(ZUUC_CATEGORY_PROPERTY(Cat(Category_Ll)));
Permanent<CharacterProperty> const s_print(ZUUC_CATEGORY_PROPERTY(kPrint));
Permanent<CharacterProperty> const s_punct(ZUUC_CATEGORY_PROPERTY(kCtypePunct));
Permanent<SpaceCharacterTest> const s_space{};
Permanent<CharacterProperty> const s_upper(ZUUC_CATEGORY_PROPERTY(Cat(Category_Lu)));
Permanent<HexadecimalCharacterTest> const s_xdigit{};

#undef ZUUC_CATEGORY_PROPERTY

// Operands of the derived core properties: constant set tests that the OR
// tests refer to (a Clone() of such a test copies them).
constexpr CharacterTestOperandsByReference kByRef{};

Permanent<CharacterCategoryTest> const s_math_cat(kSet, Cat(Category_Sm));
Permanent<ExtendedUnicodePropertyTest> const s_math_prop(kSet, Prop(Property_Other_Math));
Permanent<CharacterCategoryTest> const s_alphabetic_cat(kSet, kLetters | Cat(Category_Nl));
Permanent<ExtendedUnicodePropertyTest> const s_alphabetic_prop(kSet,
                                                               Prop(Property_Other_Alphabetic));
Permanent<CharacterCategoryTest> const s_lower_cat(kSet, Cat(Category_Ll));
Permanent<ExtendedUnicodePropertyTest> const s_lower_prop(kSet, Prop(Property_Other_Lowercase));
Permanent<CharacterCategoryTest> const s_upper_cat(kSet, Cat(Category_Lu));
Permanent<ExtendedUnicodePropertyTest> const s_upper_prop(kSet, Prop(Property_Other_Uppercase));
Permanent<ExtendedUnicodePropertyTest> const s_id_start_prop(kSet, Prop(Property_Other_ID_Start));
Permanent<CharacterCategoryTest> const s_id_continue_cat(kSet, Cat(Category_Mn) | Cat(Category_Mc) |
                                                                   Cat(Category_Nd) |
                                                                   Cat(Category_Pc));

Permanent<OrCharacterTest> const s_math(s_math_cat.value, s_math_prop.value, kByRef);
Permanent<OrCharacterTest> const s_alphabetic(s_alphabetic_cat.value, s_alphabetic_prop.value,
                                              kByRef);
Permanent<OrCharacterTest> const s_lowercase(s_lower_cat.value, s_lower_prop.value, kByRef);
Permanent<OrCharacterTest> const s_uppercase(s_upper_cat.value, s_upper_prop.value, kByRef);
Permanent<OrCharacterTest> const s_id_start(s_alphabetic_cat.value, s_id_start_prop.value, kByRef);
Permanent<OrCharacterTest> const s_id_continue(s_id_continue_cat.value, s_id_start.value, kByRef);

}  // namespace

CharacterProperty const & AnyCharacterProperty = s_any_property.value;
CharacterCategoryTest const & AnyLetter = s_any_letter.value;
CharacterCategoryTest const & AnyMark = s_any_mark.value;
CharacterCategoryTest const & AnyNumber = s_any_number.value;
CharacterCategoryTest const & AnyPunctuation = s_any_punctuation.value;
CharacterCategoryTest const & AnySymbol = s_any_symbol.value;
CharacterCategoryTest const & AnySeparator = s_any_separator.value;
CharacterCategoryTest const & AnyDefinedCharacter = s_any_defined.value;
CharacterScript const & KanaScript = s_kana.value;

CharacterProperty const & Ctype_alnum = s_alnum.value;
CharacterProperty const & Ctype_alpha = s_alpha.value;
CharacterProperty const & Ctype_cntrl = s_cntrl.value;
CharacterProperty const & Ctype_digit = s_digit.value;
CharacterProperty const & Ctype_graph = s_graph.value;
CharacterProperty const & Ctype_lower = s_lower.value;
CharacterProperty const & Ctype_print = s_print.value;
CharacterProperty const & Ctype_punct = s_punct.value;
SpaceCharacterTest const & Ctype_space = s_space.value;
CharacterProperty const & Ctype_upper = s_upper.value;
HexadecimalCharacterTest const & Ctype_xdigit = s_xdigit.value;

OrCharacterTest const & DerivedCore_Math = s_math.value;
OrCharacterTest const & DerivedCore_Alphabetic = s_alphabetic.value;
OrCharacterTest const & DerivedCore_Lowercase = s_lowercase.value;
OrCharacterTest const & DerivedCore_Uppercase = s_uppercase.value;
OrCharacterTest const & DerivedCore_IDStart = s_id_start.value;
OrCharacterTest const & DerivedCore_IDContinue = s_id_continue.value;
