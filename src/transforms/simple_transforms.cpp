// The per-character transforms: case, width, hiragana/katakana, kana size.
#include "transforms/constructors.h"
#include "transforms/transform_tables.h"
#include "zuuc/transforms.h"

using namespace zuuc_internal::transforms;

namespace {

// Katakana U+30A1-U+30F4 and the iteration marks U+30FD-U+30FE are 0x60
// above their hiragana; the small ka and ke have only a large hiragana.
unsigned int KatakanaToHiragana(unsigned int c) {
    if ((c >= 0x30A1 && c <= 0x30F4) || c == 0x30FD || c == 0x30FE)
        return c - 0x60;
    if (c == 0x30F5)
        return 0x304B;
    if (c == 0x30F6)
        return 0x3051;
    return c;
}

unsigned int HiraganaToKatakana(unsigned int c) {
    if ((c >= 0x3041 && c <= 0x3094) || c == 0x309D || c == 0x309E)
        return c + 0x60;
    return c;
}

}  // namespace

// Constructors, destructor and the two table-driven fill operations of one
// per-character transform; `mapping` is an expression of `c`.
#define ZUUC_DEFINE_SIMPLE_TRANSFORM(Name, mapping)                \
    ZUUC_TRANSFORM_CONSTRUCTORS(Name, SimpleTransform, )           \
    bool Name::FillBuffer() {                                      \
        return FillMapped([](unsigned int c) { return mapping; }); \
    }                                                              \
    void Name::TransformChar(unsigned int & c) const {             \
        c = mapping;                                               \
    }

ZUUC_DEFINE_SIMPLE_TRANSFORM(ToUppercaseTransform, kUpperMap.Map(c))
ZUUC_DEFINE_SIMPLE_TRANSFORM(ToLowercaseTransform, kLowerMap.Map(c))
ZUUC_DEFINE_SIMPLE_TRANSFORM(ToHalfwidthTransform, kHalfwidthMap.Map(c))
ZUUC_DEFINE_SIMPLE_TRANSFORM(ToFullwidthTransform, kFullwidthMap.Map(c))
ZUUC_DEFINE_SIMPLE_TRANSFORM(ToHiraganaTransform, KatakanaToHiragana(c))
ZUUC_DEFINE_SIMPLE_TRANSFORM(ToKatakanaTransform, HiraganaToKatakana(c))
ZUUC_DEFINE_SIMPLE_TRANSFORM(SmallToLargeKanaTransform, kSmallToLargeKanaMap.Map(c))
ZUUC_DEFINE_SIMPLE_TRANSFORM(LargeToSmallKanaTransform, kLargeToSmallKanaMap.Map(c))

#undef ZUUC_DEFINE_SIMPLE_TRANSFORM

unsigned int ToUppercaseTransform::Transform(unsigned int c) {
    return kUpperMap.Map(c);
}
unsigned int ToLowercaseTransform::Transform(unsigned int c) {
    return kLowerMap.Map(c);
}
unsigned int ToHalfwidthTransform::Transform(unsigned int c) {
    return kHalfwidthMap.Map(c);
}
unsigned int ToFullwidthTransform::Transform(unsigned int c) {
    return kFullwidthMap.Map(c);
}
unsigned int ToKatakanaTransform::Transform(unsigned int c) {
    return HiraganaToKatakana(c);
}
unsigned int SmallToLargeKanaTransform::Transform(unsigned int c) {
    return kSmallToLargeKanaMap.Map(c);
}
unsigned int LargeToSmallKanaTransform::Transform(unsigned int c) {
    return kLargeToSmallKanaMap.Map(c);
}

// Halfwidth katakana are first widened, so that both widths give hiragana.
unsigned int ToHiraganaTransform::Transform(unsigned int c) {
    if (c >= 0xFF66 && c <= 0xFF9D)
        c = kFullwidthMap.Map(c);
    return KatakanaToHiragana(c);
}
