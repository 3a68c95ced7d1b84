// The normalizer. Byte 0 picks the form (bits 0-1) and the transform (bits
// 2-3: NormalizationTransform over UTF-32, the same over UTF-16,
// NormalizationTransform16), bytes 1 and 2 seed the window sizes; the rest is
// the text (code points as in fuzz_conversion.h, any 24-bit value).
//
// The picked transform must give the same text whatever the input windows
// and however much of each output window is taken. Then, over UTF-32 and
// for every form, the laws of normalization (docs/reliability.md lists them):
// each form is idempotent, the composed forms do not depend on a prior
// decomposition, the decomposed forms not on a prior composition, and the
// compatibility forms are fixed points of the canonical ones. For text
// without lone surrogates the two UTF-16 transforms give what UTF-32 gives.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_conversion.h"
#include "zuuc/normalization.h"

namespace {

using Text = std::vector<unsigned int>;
using Units = std::vector<unsigned short>;
using Form = NormalizationTransform::Form;

constexpr Form kForms[] = {NormalizationTransform::NFD, NormalizationTransform::NFC,
                           NormalizationTransform::NFKD, NormalizationTransform::NFKC};

Text Normalize(Text const & text, Form form, fuzz::Schedule * schedule = nullptr) {
    fuzz::ChunkSource<Char32Source, unsigned int> in(text, schedule);
    NormalizationTransform t(in, form);
    return fuzz::Drain<Char32Source, unsigned int>(t, schedule);
}

Text Normalize16(Units const & units, Form form, fuzz::Schedule * schedule) {
    fuzz::ChunkSource<Char16Source, unsigned short> in(units, schedule);
    NormalizationTransform t(in, form);
    return fuzz::Drain<Char32Source, unsigned int>(t, schedule);
}

Units Normalize16To16(Units const & units, Form form, fuzz::Schedule * schedule) {
    fuzz::ChunkSource<Char16Source, unsigned short> in(units, schedule);
    NormalizationTransform16 t(in, static_cast<NormalizationTransform16::Form>(form));
    return fuzz::Drain<Char16Source, unsigned short>(t, schedule);
}

// UTF-16 of `text`: code points above U+FFFF as pairs, surrogate code points
// as lone units, values above U+10FFFF as U+FFFD. `lone` tells whether a
// surrogate was written alone.
Units ToUtf16(Text const & text, bool & lone) {
    Units units;
    lone = false;
    for (unsigned int c : text) {
        if (c > 0x10FFFF)
            c = 0xFFFD;
        if (c >= 0x10000) {
            units.push_back(static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10)));
            units.push_back(static_cast<unsigned short>(0xDC00 + (c & 0x3FF)));
        } else {
            lone = lone || c - 0xD800 < 0x800;
            units.push_back(static_cast<unsigned short>(c));
        }
    }
    return units;
}

Text FromUtf16(Units const & units) {
    Text text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        unsigned int c = units[i];
        if (c - 0xD800 < 0x400 && i + 1 < units.size() && units[i + 1] - 0xDC00u < 0x400) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00u);
        }
        text.push_back(c);
    }
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    if (size < 3)
        return 0;
    Form const form = kForms[data[0] & 3];
    unsigned const path = (data[0] >> 2) & 3;
    Text text = fuzz::CodePoints(data + 3, size - 3);
    if (text.size() > 4096)
        text.resize(4096);
    bool lone = false;
    Units const units = ToUtf16(text, lone);

    // Windows do not matter.
    fuzz::Schedule schedule(fuzz::Seed(data, size, 1));
    switch (path) {
        case 0:
            fuzz::Context() = "UTF-32";
            break;
        case 1:
            fuzz::Context() = "UTF-16 in";
            break;
        default:
            fuzz::Context() = "UTF-16 in and out";
            break;
    }
    if (path == 0) {
        fuzz::Same(Normalize(text, form), Normalize(text, form, &schedule),
                   "whole against chunked");
    } else if (path == 1) {
        fuzz::Same(Normalize16(units, form, nullptr), Normalize16(units, form, &schedule),
                   "whole against chunked");
    } else {
        fuzz::Same(Normalize16To16(units, form, nullptr), Normalize16To16(units, form, &schedule),
                   "whole against chunked");
    }

    // The laws, over UTF-32: NF[outer](NF[inner](x)) = NF[result](x), forms
    // numbered as NormalizationTransform::Form (NFD, NFC, NFKD, NFKC).
    fuzz::Context() = "laws";
    Text nf[4];
    for (int f = 0; f < 4; ++f)
        nf[f] = Normalize(text, kForms[f]);
    struct Law {
        int outer, inner, result;
        char const * name;
    };
    static Law const laws[] = {
        {0, 0, 0, "NFD(NFD(x)) = NFD(x)"},    {1, 1, 1, "NFC(NFC(x)) = NFC(x)"},
        {2, 2, 2, "NFKD(NFKD(x)) = NFKD(x)"}, {3, 3, 3, "NFKC(NFKC(x)) = NFKC(x)"},
        {1, 0, 1, "NFC(NFD(x)) = NFC(x)"},    {3, 2, 3, "NFKC(NFKD(x)) = NFKC(x)"},
        {0, 1, 0, "NFD(NFC(x)) = NFD(x)"},    {2, 3, 2, "NFKD(NFKC(x)) = NFKD(x)"},
        {3, 1, 3, "NFKC(NFC(x)) = NFKC(x)"},  {2, 0, 2, "NFKD(NFD(x)) = NFKD(x)"},
        {1, 3, 3, "NFC(NFKC(x)) = NFKC(x)"},  {0, 2, 2, "NFD(NFKD(x)) = NFKD(x)"},
    };
    for (Law const & law : laws)
        fuzz::Same(Normalize(nf[law.inner], kForms[law.outer]), nf[law.result], law.name);

    // UTF-16 gives what UTF-32 gives, for well-formed text.
    if (!lone) {
        fuzz::Context() = "UTF-16 against UTF-32";
        Text in32 = text;
        for (unsigned int & c : in32)
            c = c > 0x10FFFF ? 0xFFFD : c;
        Text const expected = Normalize(in32, form);
        fuzz::Same(Normalize16(units, form, nullptr), expected, "UTF-16 in");
        fuzz::Same(FromUtf16(Normalize16To16(units, form, nullptr)), expected, "UTF-16 in and out");
    }
    return 0;
}
