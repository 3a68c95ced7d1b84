// The transforms that zuconv can apply between decoding and encoding
// (--transform NAME[,NAME...]), by name.
#ifndef ZUUC_CLI_ZUCONV_TRANSFORMS_H
#define ZUUC_CLI_ZUCONV_TRANSFORMS_H

#include <cstring>
#include <memory>
#include <string>
#include <vector>
#include <zuuc/transforms.h>

namespace zuconv {

struct TransformName {
    char const * name;
    char const * what;
    Char32Source * (*make)(Char32Source & input);
};

template <class T>
Char32Source * Make(Char32Source & input) {
    return new T(input);
}

TransformName const kTransforms[] = {
    {"upper", "uppercase (simple one-to-one mappings)", Make<ToUppercaseTransform>},
    {"lower", "lowercase", Make<ToLowercaseTransform>},
    {"halfwidth", "fullwidth forms and katakana to halfwidth", Make<ToHalfwidthTransform>},
    {"fullwidth", "ASCII, halfwidth katakana and Hangul to fullwidth", Make<ToFullwidthTransform>},
    {"hiragana", "katakana to hiragana", Make<ToHiraganaTransform>},
    {"katakana", "hiragana to katakana", Make<ToKatakanaTransform>},
    {"large-kana", "small kana to large", Make<SmallToLargeKanaTransform>},
    {"small-kana", "large kana to small", Make<LargeToSmallKanaTransform>},
    {"hankaku-katakana", "to halfwidth, katakana with their voicing marks",
     Make<ZenkakuKatakanaToHankakuTransform>},
    {"zenkaku-katakana", "to fullwidth, halfwidth voiced katakana composed",
     Make<HankakuKatakanaToZenkakuTransform>},
    {"combining-marks", "spacing marks to combining marks", Make<ToCombiningMarkTransform>},
    {"spacing-marks", "combining marks to spacing marks", Make<ToSpacingMarkTransform>},
    {"cr", "line ends to CR", Make<ToCRTransform>},
    {"lf", "line ends to LF", Make<ToLFTransform>},
    {"crlf", "line ends to CR LF", Make<ToCRLFTransform>},
    {"ls", "line ends to U+2028", Make<ToLineSeparatorTransform>},
    {"ps", "line ends to U+2029", Make<ToParagraphSeparatorTransform>},
    {"nel", "line ends to U+0085", Make<ToEBCDICNewLineTransform>},
    {"backslash-to-yen", "\\ to U+00A5", Make<BackslashToYenTransform>},
    {"backslash-to-won", "\\ to U+20A9", Make<BackslashToWonTransform>},
    {"yen-to-backslash", "U+00A5 to \\ and U+203E to ~",
     Make<YenToBackslashAndOverbarToTildeTransform>},
    {"latin-numbers", "numbers in kanji numerals to Latin digits", Make<ToLatinNumberTransform>},
    {"hepburn", "kana to Hepburn romaji", Make<KanaToHebonRomajiTransform>},
    {"kunrei", "kana to Kunrei-shiki romaji", Make<KanaToKunreiRomajiTransform>},
    {"romaji-to-hiragana", "romaji to hiragana", Make<RomajiToHiraganaTransform>},
    {"romaji-to-katakana", "romaji to katakana", Make<RomajiToKatakanaTransform>},
};

inline TransformName const * FindTransform(std::string const & name) {
    for (TransformName const & t : kTransforms)
        if (name == t.name)
            return &t;
    return nullptr;
}

// Splits "a,b,c" and appends the transforms to `chain`; false (with the
// offending name in `bad`) when a name is unknown or empty.
inline bool ParseTransforms(std::string const & list, std::vector<TransformName const *> & chain,
                            std::string & bad) {
    std::size_t start = 0;
    for (;;) {
        std::size_t const comma = list.find(',', start);
        std::string const name =
            list.substr(start, comma == std::string::npos ? comma : comma - start);
        TransformName const * t = FindTransform(name);
        if (t == nullptr) {
            bad = name;
            return false;
        }
        chain.push_back(t);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

// Builds the chain over `input` in order; the last one is what to read.
class TransformChain {
public:
    TransformChain(Char32Source & input, std::vector<TransformName const *> const & chain) {
        Char32Source * last = &input;
        for (TransformName const * t : chain) {
            stages_.emplace_back(t->make(*last));
            last = stages_.back().get();
        }
        output_ = last;
    }
    Char32Source & Output() const { return *output_; }

private:
    std::vector<std::unique_ptr<Char32Source>> stages_;
    Char32Source * output_;
};

}  // namespace zuconv

#endif
