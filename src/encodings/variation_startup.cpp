// The variations, built at library start with the Unicode encodings they
// apply to, so that every variation and every variant is found by name on
// the first call, before any accessor has run.
#include "registry.h"
#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"

namespace zuuc_internal::registry {

void CreateVariations() {
    // The bases first, so that they outlive the variations that own their
    // variants.
    Char16Encoding::UTF16();
    Char32Encoding::UTF32();
    Char16Encoding::Unicode11();
    // Every variation, in number order. A new variation joins with one line.
    EncodingVariation::ByteOrderMark();      // 1
    EncodingVariation::UTF7();               // 2
    EncodingVariation::UTF8();               // 3
    EncodingVariation::BigEndian();          // 4
    EncodingVariation::LittleEndian();       // 5
    EncodingVariation::PlatformByteOrder();  // 6
    EncodingVariation::Java();               // 7
    EncodingVariation::HPPrinter();          // 8
    EncodingVariation::UTF8EBCDIC();         // 9
}

}  // namespace zuuc_internal::registry
