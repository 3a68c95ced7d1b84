// A tour of the public API: identifiers, strings, the wide-string functions
// and the version queries.
#include <cstdio>
#include <zuuc/zuuc.h>

int main() {
    std::printf("%s (0x%08lx)\n", UnicodeLibrary::VersionString(),
                static_cast<unsigned long>(UnicodeLibrary::VersionNumber()));

    TextEncodingID utf8 = TextEncodingID::UTF16() + EncodingVariationID::UTF8();
    utf8 += EncodingVariationID::ByteOrderMark();
    std::printf("UTF-16 + UTF8 + ByteOrderMark = 0x%05lx (base %lu, variations 0x%02lx)\n",
                static_cast<unsigned long>(utf8),
                static_cast<unsigned long>(utf8.GetBaseEncodingID()),
                static_cast<unsigned long>(utf8.GetVariationIDs()));
    try {
        TextEncodingID bad(0xA002);
        (void)bad;
    } catch (zu_exception const & e) {
        std::printf("refused: %s\n", e.what());
    }

    zu_string greeting("Hello");
    greeting += ", ";
    greeting += zu_string("world");
    std::printf("%s (length %u, capacity %u)\n", greeting.c_str(), greeting.size(),
                greeting.capacity());

    // "A", U+1D11E MUSICAL SYMBOL G CLEF, "B" in UTF-32, then in UTF-16.
    unsigned int const utf32[] = {0x41, 0x1D11E, 0x42, 0};
    unsigned short utf16[8];
    int const stored = zu_utf32s_to_utf16s(utf16, utf32, 8);
    std::printf("UTF-32 -> UTF-16 stored %d units:", stored);
    for (int i = 0; i < stored; ++i) {
        std::printf(" %04X", utf16[i]);
    }
    std::printf("\nUTF-16 length %zu, as UTF-32 %zu characters\n", zu_wcslen_16(utf16),
                zu_size_as_utf32(utf16));
    return 0;
}
