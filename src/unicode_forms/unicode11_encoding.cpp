// Unicode 1.1: the encoding, its Hangul tables and converters, and the
// accessors of its byte forms.
#include <initializer_list>

#include "convert/encoding_streams.h"
#include "unicode_forms/escape_forms.h"
#include "unicode_forms/utf16_chains.h"
#include "unicode_forms/utf16_units.h"
#include "zuuc/exceptions.h"
#include "zuuc/stream_adapters.h"
#include "zuuc/utf7_encodings.h"

using namespace zuuc_internal::unicode_forms;

namespace {

#include "unicode_forms/generated/unicode11_hangul.inc"

constexpr unsigned short kOldHangulFirst = 0x3400;
constexpr unsigned short kSyllablesFirst = 0xAC00;
constexpr unsigned short kSyllablesLast = 0xD7A3;
constexpr unsigned short kReplacement = 0xFFFD;

char const * gUnicode11Names[] = {
    "Unicode11",         "csUnicode11", "UNICODE-1-1", "UNICODE-1-1-UCS-2",
    "UNICODE-1-1-UTF16", "Unicode 1.1", nullptr};

// A PlaneTable whose pages are filled in once; pages never written stay the
// shared page of zeros ("unchanged").
class HangulTable {
public:
    explicit HangulTable(bool to_unicode) : pages_(), pointers_(), table_{0, pointers_} {
        static unsigned short const zeros[256] = {};
        for (unsigned int p = 0; p < 256; ++p) {
            pointers_[p] = zeros;
        }
        // The 2.0 syllables are unassigned in 1.1 and the old block is gone
        // from 2.0: both become U+FFFD, except what the list maps below.
        for (unsigned int c = kSyllablesFirst; c <= kSyllablesLast; ++c) {
            Set(static_cast<unsigned short>(c), kReplacement);
        }
        if (!to_unicode) {
            for (unsigned int i = 0; i < kUnicode11HangulCount; ++i) {
                Set(static_cast<unsigned short>(kOldHangulFirst + i), kReplacement);
            }
        }
        for (unsigned int i = 0; i < kUnicode11HangulCount; ++i) {
            auto const old_code = static_cast<unsigned short>(kOldHangulFirst + i);
            if (to_unicode) {
                Set(old_code, kUnicode11Hangul[i]);
            } else {
                Set(kUnicode11Hangul[i], old_code);
            }
        }
    }

    PlaneTable<unsigned short, unsigned short> const & Table() const { return table_; }

private:
    static constexpr unsigned int kPages = 0x1A + 0x2C;  // the two blocks' pages

    void Set(unsigned short key, unsigned short value) {
        unsigned int const page = key >> 8;
        if (owned_[page] == nullptr) {
            owned_[page] = pages_[used_++];
            pointers_[page] = owned_[page];
        }
        owned_[page][key & 0xFF] = value;
    }

    unsigned short pages_[kPages][256];
    unsigned short * owned_[256] = {};
    unsigned int used_ = 0;
    unsigned short const * pointers_[256];
    PlaneTable<unsigned short, unsigned short> table_;
};

unsigned short Map(PlaneTable<unsigned short, unsigned short> const & table, unsigned int unit) {
    unsigned short const mapped = table.Lookup(static_cast<unsigned short>(unit));
    return mapped != 0 ? mapped : static_cast<unsigned short>(unit);
}

constexpr bool AboveBMP(unsigned int value) {
    return value > 0xFFFF;
}

// Maps unit by unit; values above 0xFFFF are not in the repertoire.
template <class In, class Out>
TranscodeResult MapUnits(PlaneTable<unsigned short, unsigned short> const & table, In const *& in,
                         In const * inEnd, Out *& out, Out * outEnd, long limit) {
    OutputBudget budget(limit);
    while (in < inEnd) {
        if (AboveBMP(*in)) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
        if (out >= outEnd) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(1)) {
            return kTranscodeLimitReached;
        }
        *out++ = Map(table, *in++);
        budget.Spend(1);
    }
    return kTranscodeInputExhausted;
}

}  // namespace

PlaneTable<unsigned short, unsigned short> const & Unicode11Encoding::ToUnicodeTable() {
    static HangulTable const table(true);
    return table.Table();
}

PlaneTable<unsigned short, unsigned short> const & Unicode11Encoding::FromUnicodeTable() {
    static HangulTable const table(false);
    return table.Table();
}

// --- converters ---------------------------------------------------------------------

#define ZUUC_UNICODE11_CONVERTER(Class, In, Out, table)                                          \
    Class::Class() = default;                                                                    \
    Class::~Class() = default;                                                                   \
    TranscodeResult Class::Transcode(In const *& in, In const * inEnd, Out *& out, Out * outEnd, \
                                     long limit) {                                               \
        return MapUnits(Unicode11Encoding::table(), in, inEnd, out, outEnd, limit);              \
    }                                                                                            \
    TranscodeResult Class::Finish(Out *&, Out *, long) {                                         \
        return kTranscodeComplete;                                                               \
    }

ZUUC_UNICODE11_CONVERTER(Unicode11ToUTF16Converter, unsigned short, unsigned short, ToUnicodeTable)
ZUUC_UNICODE11_CONVERTER(Unicode11ToUTF32Converter, unsigned short, unsigned int, ToUnicodeTable)
ZUUC_UNICODE11_CONVERTER(UTF16ToUnicode11Converter, unsigned short, unsigned short,
                         FromUnicodeTable)
ZUUC_UNICODE11_CONVERTER(UTF32ToUnicode11Converter, unsigned int, unsigned short, FromUnicodeTable)

#undef ZUUC_UNICODE11_CONVERTER

void Unicode11ToUTF16Converter::Reset() {}
void Unicode11ToUTF32Converter::Reset() {}
void UTF16ToUnicode11Converter::Reset() {}

// --- Unicode11Encoding --------------------------------------------------------------

Unicode11Encoding::Unicode11Encoding()
    : Char16EncodingImpl(TextEncodingID::Unicode11(), gUnicode11Names, "UNICODE-1-1-UTF32", 0) {}

Unicode11Encoding::~Unicode11Encoding() = default;

unsigned int Unicode11Encoding::MapToUnicode(unsigned int c) const {
    return c > 0xFFFF ? c : Map(ToUnicodeTable(), c);
}

unsigned int Unicode11Encoding::MapFromUnicode(unsigned int c) const {
    return c > 0xFFFF ? kReplacement : Map(FromUnicodeTable(), c);
}

ZUUC_TRANSCODING_STREAMS(Unicode11Encoding)

Transcoder<unsigned short, unsigned int> * Unicode11Encoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, unsigned int> * {
        return new (allocator) Unicode11ToUTF32Converter;
    });
}

Transcoder<unsigned int, unsigned short> * Unicode11Encoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, unsigned short> * {
        return new (allocator) UTF32ToUnicode11Converter;
    });
}

Transcoder<unsigned short, unsigned short> * Unicode11Encoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, unsigned short> * {
        return new (allocator) Unicode11ToUTF16Converter;
    });
}

Transcoder<unsigned short, unsigned short> * Unicode11Encoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return NullOnBadAlloc([&]() -> Transcoder<unsigned short, unsigned short> * {
        return new (allocator) UTF16ToUnicode11Converter;
    });
}

// --- accessors ----------------------------------------------------------------------

Char16Encoding & Char16Encoding::Unicode11() {
    static Unicode11Encoding encoding;
    return encoding;
}

CharEncoding & zuuc_internal::unicode_forms::ByteFormOf(
    TextEncoding const & base, std::initializer_list<VariationAccessor> variations) {
    EncodingVariationID id = EncodingVariationID::None();
    for (VariationAccessor variation : variations) {
        id += variation().GetEncodingVariationID();
    }
    TextEncoding * const variant = base.LookupVariant(id);
    CharEncoding * const bytes = variant != nullptr ? variant->AsCharEncoding() : nullptr;
    if (bytes == nullptr) {
        throw UnicodeLibraryException();  // another object took a variation's number
    }
    return *bytes;
}

namespace {

CharEncoding & FormOfUnicode11(std::initializer_list<VariationAccessor> variations) {
    return ByteFormOf(Char16Encoding::Unicode11(), variations);
}

}  // namespace

CharEncoding & CharEncoding::Unicode11BigEndian() {
    static CharEncoding & encoding = FormOfUnicode11({&EncodingVariation::BigEndian});
    return encoding;
}

CharEncoding & CharEncoding::Unicode11ByteStream() {
    static CharEncoding & encoding =
        FormOfUnicode11({&EncodingVariation::ByteOrderMark, &EncodingVariation::PlatformByteOrder});
    return encoding;
}

CharEncoding & CharEncoding::Unicode11UTF7() {
    static CharEncoding & encoding = FormOfUnicode11({&EncodingVariation::UTF7});
    return encoding;
}

CharEncoding & CharEncoding::Unicode11UTF8() {
    static CharEncoding & encoding = FormOfUnicode11({&EncodingVariation::UTF8});
    return encoding;
}

CharEncoding & CharEncoding::Unicode11Java() {
    static CharEncoding & encoding = FormOfUnicode11({&EncodingVariation::Java});
    return encoding;
}

CharEncoding & CharEncoding::Unicode11UTF8EBCDIC() {
    static CharEncoding & encoding = FormOfUnicode11({&EncodingVariation::UTF8EBCDIC});
    return encoding;
}
