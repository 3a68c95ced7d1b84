// A user's program: the umbrella header and -lzuuc421, nothing else.
#include <zuuc/zuuc.h>

#include <cstdio>
#include <cstring>

int main() {
    int failures = 0;
    auto check = [&failures](bool ok, char const * what) {
        if (!ok) {
            std::printf("FAILED: %s\n", what);
            ++failures;
        }
    };

    check(UnicodeLibrary::VersionNumber() == 0x04212001, "version number");
    check(UnicodeLibrary::VersionIsCompatible(28, 16), "version compatibility");

    TextEncodingID id = TextEncodingID::UTF16() + EncodingVariationID::UTF8();
    check(static_cast<unsigned long>(id) == 0x3002, "identifier packing");
    try {
        TextEncodingID bad(191);
        (void)bad;
        check(false, "malformed identifier accepted");
    } catch (zu_exception const & e) {
        check(std::strcmp(e.what(), "malformed TextEncodingID 0x000000bf") == 0, "what()");
    }

    zu_wstring s(reinterpret_cast<unsigned short const *>(u"abc"));
    s += s;
    check(s.size() == 6 && s[5] == 'c', "string append");
    try {
        s.at(6);
        check(false, "at() past the end");
    } catch (zu_out_of_range const &) {
    }

    unsigned short buffer[4];
    check(zu_wcslen_16(s.c_str()) == 6, "zu_wcslen_16");
    check(zu_wcsxfrm_16(buffer, s.c_str(), 4) == 6, "zu_wcsxfrm_16 bound");

    char storage[256];
    LinearAllocator allocator(storage, sizeof storage, "consumer", 0);
    check(allocator.Allocate(1) != nullptr, "linear allocator");

    check(UnicodeCharacter::GetCharacterCategory(0x41) == 0, "character category");

    if (failures == 0) {
        std::printf("outside program: all checks passed\n");
    }
    return failures == 0 ? 0 : 1;
}
