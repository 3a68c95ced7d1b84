// The HP printer form of EUC-KR: its variation, variant and converters.
#include "unicode_forms/utf16_chains.h"
#include "unicode_forms/utf16_units.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/utf7_encodings.h"

using namespace zuuc_internal::unicode_forms;

namespace {

constexpr unsigned long kEUCKR = 9;
constexpr unsigned int kInvalidSequence = 0xFFFD;
constexpr unsigned int kNoCharacterYet = 0xFFFF;

char const * gHPPrinterNames[] = {"HP-Printer", nullptr};

// EUC-KR's substitute byte, in its two-byte form.
unsigned char const kHPPrinterSubstitute[] = {0x00, 0x1A};

// Reads byte pairs: a 0x00 first in a pair is padding; every other byte
// goes through the base's state machine.
template <class Out>
TranscodeResult DecodePairs(MBCStoUnicodeTable<unsigned short> const & table, unsigned int & state,
                            bool & second, char const *& in, char const * inEnd, Out *& out,
                            Out * outEnd, long limit) {
    OutputBudget budget(limit);
    for (; in < inEnd; ++in) {
        auto const byte = static_cast<unsigned char>(*in);
        bool const first = !second;
        second = !second;
        if (first && byte == 0) {
            continue;
        }
        MBCStoUnicodeEntry<unsigned short> const & entry = table.At(state, byte);
        if (entry.value != kInvalidSequence && entry.value != kNoCharacterYet) {
            if (out >= outEnd || !budget.Allows(1)) {
                second = !first;
                return out >= outEnd ? kTranscodeOutputFull : kTranscodeLimitReached;
            }
            *out++ = entry.value;
            budget.Spend(1);
        }
        state = entry.next == kNoCharacterYet ? 0 : entry.next;
        if (entry.value == kInvalidSequence) {
            state = 0;
            ++in;
            return kTranscodeNoCharacterDefined;
        }
    }
    return kTranscodeInputExhausted;
}

// Writes every character in two bytes; above U+FFFF or unmapped is result 5.
// A surrogate pair of UTF-16 is one character, and one problem, also when a
// call ends between its halves: `high_pending` then carries the high one.
template <class In>
TranscodeResult EncodePairs(PlaneTable<unsigned short, unsigned short> const & table,
                            bool & high_pending, In const *& in, In const * inEnd, char *& out,
                            char * outEnd, long limit) {
    constexpr bool kUtf16 = sizeof(In) == 2;
    if (kUtf16 && high_pending && in != inEnd) {
        high_pending = false;
        if (IsLowSurrogate(*in)) {
            ++in;
        }
        return kTranscodeNotInRepertoire;
    }
    OutputBudget budget(limit);
    while (in < inEnd) {
        unsigned int const c = *in;
        unsigned short const bytes =
            c > 0xFFFF ? table.undefined : table.Lookup(static_cast<unsigned short>(c));
        if (bytes == table.undefined) {
            if (kUtf16 && IsHighSurrogate(c) && inEnd - in == 1) {
                ++in;
                high_pending = true;  // wait for the other half
                return kTranscodeInputExhausted;
            }
            bool const pair =
                kUtf16 && IsHighSurrogate(c) && inEnd - in >= 2 && IsLowSurrogate(in[1]);
            in += pair ? 2 : 1;
            return kTranscodeNotInRepertoire;
        }
        if (outEnd - out < 2) {
            return kTranscodeOutputFull;
        }
        if (!budget.Allows(2)) {
            return kTranscodeLimitReached;
        }
        *out++ = static_cast<char>(bytes >> 8);
        *out++ = static_cast<char>(bytes & 0xFF);
        budget.Spend(2);
        ++in;
    }
    return kTranscodeInputExhausted;
}

void ResetPairs(unsigned int & state, bool & second) {
    state = 0;
    second = false;
}

// A sequence still open at the end is illegal; the decoder starts afresh.
TranscodeResult FinishPairs(unsigned int & state, bool & second) {
    bool const inside = state != 0;
    ResetPairs(state, second);
    return inside ? kTranscodeIllegalInput : kTranscodeComplete;
}

}  // namespace

// --- decoders and encoders ------------------------------------------------------------

#define ZUUC_HP_DECODER(Class, Out)                                                            \
    HPPrinterVariant::Class::Class(MBCStoUnicodeTable<unsigned short> const & table)           \
        : table_(table), state_(0), second_(false) {}                                          \
    HPPrinterVariant::Class::~Class() = default;                                               \
    TranscodeResult HPPrinterVariant::Class::Transcode(char const *& in, char const * inEnd,   \
                                                       Out *& out, Out * outEnd, long limit) { \
        return DecodePairs(table_, state_, second_, in, inEnd, out, outEnd, limit);            \
    }                                                                                          \
    TranscodeResult HPPrinterVariant::Class::Finish(Out *&, Out *, long) {                     \
        return FinishPairs(state_, second_);                                                   \
    }                                                                                          \
    void HPPrinterVariant::Class::Reset() {                                                    \
        ResetPairs(state_, second_);                                                           \
    }

ZUUC_HP_DECODER(ToUTF16, unsigned short)
ZUUC_HP_DECODER(ToUTF32, unsigned int)

#undef ZUUC_HP_DECODER

#define ZUUC_HP_ENCODER(Class, In)                                                               \
    HPPrinterVariant::Class::Class(PlaneTable<unsigned short, unsigned short> const & table)     \
        : table_(table) {}                                                                       \
    HPPrinterVariant::Class::~Class() = default;                                                 \
    TranscodeResult HPPrinterVariant::Class::Transcode(In const *& in, In const * inEnd,         \
                                                       char *& out, char * outEnd, long limit) { \
        bool pending = state_flag();                                                             \
        TranscodeResult const result =                                                           \
            EncodePairs(table_, pending, in, inEnd, out, outEnd, limit);                         \
        set_state_flag(pending);                                                                 \
        return result;                                                                           \
    }                                                                                            \
    TranscodeResult HPPrinterVariant::Class::Finish(char *&, char *, long) {                     \
        bool const pending = state_flag();                                                       \
        Reset();                                                                                 \
        return pending ? kTranscodeNotInRepertoire : kTranscodeComplete;                         \
    }

ZUUC_HP_ENCODER(FromUTF16, unsigned short)
ZUUC_HP_ENCODER(FromUTF32, unsigned int)

#undef ZUUC_HP_ENCODER

// --- HPPrinterVariant ---------------------------------------------------------------

HPPrinterVariant::HPPrinterVariant(CharEncoding const & base, EncodingVariation const & variation,
                                   char const ** nicknames)
    : BlockCharEncoding(base, variation, nicknames, nullptr, 0), base_(base) {}

HPPrinterVariant::~HPPrinterVariant() = default;

unsigned int HPPrinterVariant::SubstituteChars(unsigned char const *& chars, unsigned int) const {
    chars = kHPPrinterSubstitute;
    return sizeof kHPPrinterSubstitute;
}

bool HPPrinterVariant::IsBasedOnASCII() const {
    return false;
}
bool HPPrinterVariant::IsTextModeSafe() const {
    return false;
}

MBCSEncoding const * HPPrinterVariant::LoadedBase() const {
    // The variant was made while its base was still being built; only now is
    // the base known to be complete.
    auto const * mbcs = dynamic_cast<MBCSEncoding const *>(&base_);
    if (mbcs == nullptr) {
        return nullptr;
    }
    mbcs->Load();
    if (mbcs->ToUnicodeTable16() == nullptr || mbcs->FromUnicodeTable16() == nullptr) {
        return nullptr;
    }
    return mbcs;
}

Transcoder<char, unsigned short> * HPPrinterVariant::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    MBCSEncoding const * base = LoadedBase();
    return base == nullptr ? nullptr : NullOnBadAlloc([&]() -> Transcoder<char, unsigned short> * {
        return new (allocator) ToUTF16(*base->ToUnicodeTable16());
    });
}

Transcoder<char, unsigned int> * HPPrinterVariant::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    MBCSEncoding const * base = LoadedBase();
    return base == nullptr ? nullptr : NullOnBadAlloc([&]() -> Transcoder<char, unsigned int> * {
        return new (allocator) ToUTF32(*base->ToUnicodeTable16());
    });
}

Transcoder<unsigned short, char> * HPPrinterVariant::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    MBCSEncoding const * base = LoadedBase();
    return base == nullptr ? nullptr : NullOnBadAlloc([&]() -> Transcoder<unsigned short, char> * {
        return new (allocator) FromUTF16(*base->FromUnicodeTable16());
    });
}

Transcoder<unsigned int, char> * HPPrinterVariant::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    MBCSEncoding const * base = LoadedBase();
    return base == nullptr ? nullptr : NullOnBadAlloc([&]() -> Transcoder<unsigned int, char> * {
        return new (allocator) FromUTF32(*base->FromUnicodeTable16());
    });
}

// --- HPPrinterVariation -------------------------------------------------------------

HPPrinterVariation::HPPrinterVariation()
    : RealEncodingVariation(EncodingVariationID::HPPrinter(), gHPPrinterNames, nullptr) {
    GenerateVariantsForExistingEncodings();
}

HPPrinterVariation::~HPPrinterVariation() = default;

void HPPrinterVariation::GenerateVariantOfCharEncoding(CharEncoding const & encoding) {
    if (static_cast<unsigned long>(encoding.GetTextEncodingID()) != kEUCKR ||
        AlreadyAppliedTo(encoding)) {
        return;
    }
    AddVariant(new HPPrinterVariant(encoding, *this, nullptr));
}

EncodingVariation & EncodingVariation::HPPrinter() {
    static HPPrinterVariation variation;
    return variation;
}
