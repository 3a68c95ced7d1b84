// The transforms, stacked. Byte 0 and 1 pick up to two transforms (the
// second may be none), bytes 2 and 3 seed the window sizes, byte 4 chooses
// UTF-32 or UTF-16 input; the rest is the text (code points as in
// fuzz_conversion.h). The output must not depend on how the input is divided
// into windows nor on how much of each output window the reader takes.
// Built a second time as the SGML reference target (ZUUC_FUZZ_SGML), which
// runs FromSGMLEntityTransform alone, optionally followed by another.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz_conversion.h"
#include "zuuc/sgml_transform.h"
#include "zuuc/transforms.h"

namespace {

constexpr unsigned kTransforms = 29;

template <class Source>
std::unique_ptr<Char32Source> Make(unsigned which, Source & in) {
    switch (which % kTransforms) {
        case 0:
            return std::make_unique<ToUppercaseTransform>(in);
        case 1:
            return std::make_unique<ToLowercaseTransform>(in);
        case 2:
            return std::make_unique<ToHalfwidthTransform>(in);
        case 3:
            return std::make_unique<ToFullwidthTransform>(in);
        case 4:
            return std::make_unique<ToHiraganaTransform>(in);
        case 5:
            return std::make_unique<ToKatakanaTransform>(in);
        case 6:
            return std::make_unique<SmallToLargeKanaTransform>(in);
        case 7:
            return std::make_unique<LargeToSmallKanaTransform>(in);
        case 8:
            return std::make_unique<BackslashToYenTransform>(in);
        case 9:
            return std::make_unique<BackslashToWonTransform>(in);
        case 10:
            return std::make_unique<YenToBackslashAndOverbarToTildeTransform>(in);
        case 11:
            return std::make_unique<SelectTransform>(in);
        case 12:
            return std::make_unique<FilterTransform>(in);
        case 13:
            return std::make_unique<ToCRTransform>(in);
        case 14:
            return std::make_unique<ToLFTransform>(in);
        case 15:
            return std::make_unique<ToLineSeparatorTransform>(in);
        case 16:
            return std::make_unique<ToParagraphSeparatorTransform>(in);
        case 17:
            return std::make_unique<ToEBCDICNewLineTransform>(in);
        case 18:
            return std::make_unique<ToCRLFTransform>(in);
        case 19:
            return std::make_unique<ToCombiningMarkTransform>(in);
        case 20:
            return std::make_unique<ToSpacingMarkTransform>(in);
        case 21:
            return std::make_unique<ZenkakuKatakanaToHankakuTransform>(in);
        case 22:
            return std::make_unique<HankakuKatakanaToZenkakuTransform>(in);
        case 23:
            return std::make_unique<ToLatinNumberTransform>(in);
        case 24:
            return std::make_unique<KanaToHebonRomajiTransform>(in);
        case 25:
            return std::make_unique<KanaToKunreiRomajiTransform>(in);
        case 26:
            return std::make_unique<RomajiToHiraganaTransform>(in);
        case 27:
            return std::make_unique<RomajiToKatakanaTransform>(in);
        default:
            return std::make_unique<FromSGMLEntityTransform>(in);
    }
}

// Runs the chain over `text` (as UTF-16 units when `wide`), with the input
// windows and the reads scheduled when `schedule` is given.
std::vector<unsigned int> Apply(unsigned first, unsigned second, bool wide,
                                std::vector<unsigned int> const & text, fuzz::Schedule * schedule) {
    std::vector<unsigned short> const units(text.begin(), text.end());
    fuzz::ChunkSource<Char32Source, unsigned int> in32(text, schedule);
    fuzz::ChunkSource<Char16Source, unsigned short> in16(units, schedule);
    std::unique_ptr<Char32Source> head = wide ? Make(first, in16) : Make(first, in32);
    std::unique_ptr<Char32Source> tail;
    if (second < kTransforms)
        tail = Make(second, *head);
    return fuzz::Drain<Char32Source, unsigned int>(tail ? *tail : *head, schedule);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    if (size < 5)
        return 0;
#ifdef ZUUC_FUZZ_SGML
    unsigned const first = kTransforms - 1;
#else
    unsigned const first = data[0] % kTransforms;
#endif
    unsigned const second = data[1] < 0x80 ? data[1] % kTransforms : kTransforms;
    bool const wide = (data[4] & 1) != 0;
    std::vector<unsigned int> const text = fuzz::CodePoints(data + 5, size - 5);
    fuzz::Schedule schedule(fuzz::Seed(data, size, 2));
    if (Apply(first, second, wide, text, nullptr) != Apply(first, second, wide, text, &schedule)) {
        std::abort();
    }
    return 0;
}
