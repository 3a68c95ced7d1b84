// Uses an installed zuuc421: converts text through an encoding library that
// the loader finds beside the installed libzuuc421.so, and collates by the
// default table installed there too.
#include <cstdio>
#include <cstring>
#include <zuuc/encoding_converters.h>
#include <zuuc/zuuc.h>

int main() {
    char const latin1[] = "caf\xE9";
    BufferCharSource source(latin1, latin1 + 4);
    CharEncodingConverter converter(source, CharEncoding::CP1252(), CharEncoding::UTF8());
    char out[16] = {};
    std::size_t length = 0;
    char const * begin = nullptr;
    char const * end = nullptr;
    while (converter.GetBuffer(begin, end) && length + (end - begin) < sizeof out) {
        std::memcpy(out + length, begin, static_cast<std::size_t>(end - begin));
        length += static_cast<std::size_t>(end - begin);
        converter.DoneWith(end);
    }
    if (length != 5 || std::memcmp(out, "caf\xC3\xA9", 5) != 0) {
        std::printf("consumer: unexpected output\n");
        return 1;
    }
    CollationSequence const table;  // default.zct, beside the library
    unsigned int const cote[] = {'c', 'o', 't', 'e', 0};
    unsigned int const cote_accented[] = {'c', 0xF4, 't', 'e', 0};
    unsigned int const cotes[] = {'c', 'o', 't', 'e', 's', 0};
    if (CollationAlgorithm::Compare(table, cote, cote_accented) != -1 ||
        CollationAlgorithm::Compare(table, cote_accented, cotes) != -1) {
        std::printf("consumer: unexpected collation\n");
        return 1;
    }
    std::printf("consumer: %s\n", out);
    return 0;
}
