// Name lookup: the input is a name, looked up in all three unit widths with
// every token size, as a variation name and (its first four bytes) as a code
// page. Whatever is found must be found again by its own name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "zuuc/encoding_variation.h"
#include "zuuc/text_encoding.h"

namespace {

void Check(TextEncoding const * found, unsigned int token_size) {
    if (found == nullptr)
        return;
    if (token_size != 0 && found->TokenSize() != token_size)
        std::abort();
    if (TextEncoding::Lookup(found->Name(), found->TokenSize()) == nullptr)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const * data, std::size_t size) {
    std::string const name(reinterpret_cast<char const *>(data),
                           size);  // cut at a 0 byte by the callee
    std::vector<unsigned short> wide(data, data + size);
    wide.push_back(0);
    std::vector<unsigned int> wider(data, data + size);
    wider.push_back(0);
    for (unsigned int token_size : {0u, 1u, 2u, 4u, 3u}) {
        TextEncoding const * narrow = TextEncoding::Lookup(name.c_str(), token_size);
        Check(narrow, token_size);
        if (TextEncoding::Lookup(wide.data(), token_size) != narrow)
            std::abort();
        if (TextEncoding::Lookup(wider.data(), token_size) != narrow)
            std::abort();
    }
    if (EncodingVariation * variation = EncodingVariation::Lookup(name.c_str())) {
        if (EncodingVariation::Lookup(variation->Name()) != variation)
            std::abort();
    }
    unsigned int code_page = 0;
    std::memcpy(&code_page, data, size < sizeof code_page ? size : sizeof code_page);
    if (TextEncoding * encoding = TextEncoding::LookupCodePage(code_page)) {
        if (encoding->CodePage() != code_page && code_page != 0)
            std::abort();
    }
    (void)TextEncoding::Lookup(code_page % 1024u);
    return 0;
}
