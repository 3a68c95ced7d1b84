// zuuc_dump_sbcs: prints every single-byte encoding of the catalogue as the
// library itself converts it, in the two-column format of the Unicode
// Consortium's mapping files, so that tools/tables/check_library.py can
// compare the library's behaviour with independent references.
//
// For each encoding, in catalogue order:
//   # Encoding: <accessor> <identifier> <name>
//   0xBB<TAB>0xUUUU                      byte BB decodes to U+UUUU and back
//   0xBB<TAB>0xUUUU<TAB># decode only     BB decodes to U, U does not encode to BB
//   0xBB<TAB>0xUUUU<TAB># encode only     U encodes to BB, BB does not decode to U
//   0xBB<TAB><TAB>#UNDEFINED              BB has no character
// Every byte is decoded through the encoding's converter to UTF-32 and every
// code point of the Basic Multilingual Plane is encoded through its
// converter from UTF-32. The encoding libraries are found next to the
// library; a directory given as the only argument is used instead.
#include <cstdio>
#include <vector>

#include "zuuc/zuuc.h"

namespace {

struct Entry {
    char const * accessor;
    SBCSEncoding & (*get)();
};

#define ZUUC_DUMP_ENTRY(accessor, id) {#accessor, &CharEncoding::accessor},
Entry const kEntries[] = {ZUUC_SBCS_CATALOGUE(ZUUC_DUMP_ENTRY)};
#undef ZUUC_DUMP_ENTRY

constexpr unsigned int kNone = 0xFFFFFFFFu;

bool Dump(Entry const & entry) {
    SBCSEncoding & encoding = entry.get();
    alignas(void *) unsigned char arena[1024];
    LinearAllocator allocator(arena, sizeof arena, "zuuc_dump_sbcs", 0);
    Transcoder<char, unsigned int> * decoder = encoding.CreateConverterToUTF32(allocator);
    Transcoder<unsigned int, char> * encoder = encoding.CreateConverterFromUTF32(allocator);
    if (decoder == nullptr || encoder == nullptr) {
        std::fprintf(stderr, "%s: no converter\n", entry.accessor);
        delete decoder;
        delete encoder;
        return false;
    }

    // Decode each byte on its own.
    unsigned int decoded[256];
    for (unsigned int b = 0; b < 256; ++b) {
        char const byte = static_cast<char>(b);
        char const * in = &byte;
        unsigned int out_unit = 0;
        unsigned int * out = &out_unit;
        TranscodeResult const r = decoder->Transcode(in, &byte + 1, out, &out_unit + 1, -1);
        decoded[b] = (r == kTranscodeInputExhausted && out == &out_unit + 1) ? out_unit : kNone;
        decoder->Reset();
    }

    // Encode each BMP code point on its own; remember every code point per byte.
    std::vector<unsigned int> encodes_to[256];
    for (unsigned int c = 0; c <= 0xFFFF; ++c) {
        unsigned int const * in = &c;
        char byte = 0;
        char * out = &byte;
        TranscodeResult const r = encoder->Transcode(in, &c + 1, out, &byte + 1, -1);
        if (r == kTranscodeInputExhausted && out == &byte + 1) {
            encodes_to[static_cast<unsigned char>(byte)].push_back(c);
        }
        encoder->Reset();
    }

    std::printf("# Encoding: %s %lu %s\n", entry.accessor,
                static_cast<unsigned long>(encoding.GetTextEncodingID()), encoding.Name());
    for (unsigned int b = 0; b < 256; ++b) {
        bool round_trip = false;
        for (unsigned int c : encodes_to[b]) {
            if (c == decoded[b]) {
                round_trip = true;
            }
        }
        if (decoded[b] == kNone) {
            std::printf("0x%02X\t\t#UNDEFINED\n", b);
        } else {
            std::printf(round_trip ? "0x%02X\t0x%04X\n" : "0x%02X\t0x%04X\t# decode only\n", b,
                        decoded[b]);
        }
        for (unsigned int c : encodes_to[b]) {
            if (c != decoded[b]) {
                std::printf("0x%02X\t0x%04X\t# encode only\n", b, c);
            }
        }
    }
    delete decoder;
    delete encoder;
    return true;
}

}  // namespace

int main(int argc, char ** argv) {
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [encoding-library-directory]\n", argv[0]);
        return 2;
    }
    if (argc == 2) {
        UnicodeLibLoader::SetLoadDirectory(argv[1]);
    }
    bool ok = true;
    try {
        for (Entry const & entry : kEntries) {
            ok = Dump(entry) && ok;
        }
    } catch (zu_exception const & e) {
        std::fprintf(stderr, "zuuc_dump_sbcs: %s\n", e.what());
        return 1;
    }
    return ok ? 0 : 1;
}
