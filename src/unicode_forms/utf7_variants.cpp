// The UTF-7 and Java variations, the variants they make and their accessors.
//
// Both apply to the 16-bit Unicode encodings: UTF-16 (2) and Unicode 1.1 (1),
// each by itself or with its byte-order mark. They are decided from the
// identifier alone (a variation is offered an encoding from inside the
// encoding's base constructor, before the derived part exists).
#include "convert/transcode_contract.h"
#include "unicode_forms/escape_forms.h"
#include "unicode_forms/utf16_chains.h"
#include "zuuc/exceptions.h"
#include "zuuc/utf7_encodings.h"

using namespace zuuc_internal::unicode_forms;

namespace {

constexpr unsigned long kUnicode11 = 1;
constexpr unsigned long kUTF16 = 2;
constexpr unsigned long kByteOrderMark = 1;

char const * gUTF7Names[] = {"UTF7", "UTF-7", nullptr};
char const * gJavaNames[] = {"Java", nullptr};
char const * gUTF16UTF7Nicknames[] = {"UTF7", "UTF-7", nullptr};

// U+FFFD in each form.
unsigned char const kUTF7Substitute[] = "+//9-";
unsigned char const kJavaSubstitute[] = "\\uFFFD";

unsigned long BaseNumber(TextEncoding const & encoding) {
    return encoding.GetTextEncodingID().GetBaseEncodingID();
}

bool IsUTF16(TextEncoding const & encoding) {
    return static_cast<unsigned long>(encoding.GetTextEncodingID()) == kUTF16;
}

bool IsSixteenBitUnicode(TextEncoding const & encoding) {
    unsigned long const base = BaseNumber(encoding);
    unsigned long const variations = encoding.GetTextEncodingID().GetVariationIDs();
    return (base == kUnicode11 || base == kUTF16) &&
           (variations == 0 || variations == kByteOrderMark);
}

// An encoding whose identifier has no room for one more variation gets no
// variant.
template <class Make>
void Generate(Make make) {
    try {
        make();
    } catch (TextEncodingID::TooManyVariations const &) {
    }
}

// A maker of one converter, placed with `allocator`.
template <class Converter, class... Args>
auto Make(UnicodeLibAllocator & allocator, Args... args) {
    return [&allocator, args...]() -> Converter * { return new (allocator) Converter(args...); };
}

// The converters of a byte form over a 16-bit base: our own step alone over
// UTF-16, else composed with the base's converter.
template <class MakeDecoder>
Transcoder<char, unsigned short> * DecoderToUTF16(Char16Encoding const & base, MakeDecoder make,
                                                  UnicodeLibAllocator & a) {
    Transcoder<char, unsigned short> * decoder = NullOnBadAlloc(make);
    if (decoder == nullptr || IsUTF16(base)) {
        return decoder;
    }
    return Compose(decoder, base.CreateConverterToUTF16(a), a);
}

template <class MakeEncoder>
Transcoder<unsigned short, char> * EncoderFromUTF16(Char16Encoding const & base, MakeEncoder make,
                                                    UnicodeLibAllocator & a) {
    Transcoder<unsigned short, char> * encoder = NullOnBadAlloc(make);
    if (encoder == nullptr || IsUTF16(base)) {
        return encoder;
    }
    return Compose(base.CreateConverterFromUTF16(a), encoder, a);
}

template <class MakeDecoder>
Transcoder<char, unsigned int> * DecoderToUTF32(Char16Encoding const & base, MakeDecoder make,
                                                UnicodeLibAllocator & a) {
    Transcoder<char, unsigned short> * decoder = NullOnBadAlloc(make);
    return decoder == nullptr ? nullptr : Compose(decoder, base.CreateConverterToUTF32(a), a);
}

template <class MakeEncoder>
Transcoder<unsigned int, char> * EncoderFromUTF32(Char16Encoding const & base, MakeEncoder make,
                                                  UnicodeLibAllocator & a) {
    Transcoder<unsigned int, unsigned short> * first = base.CreateConverterFromUTF32(a);
    return first == nullptr ? nullptr : Compose(first, NullOnBadAlloc(make), a);
}

// UTF-7 from UTF-32 through the base. The base's stage can meet a character
// it cannot carry (above U+10FFFF, or above U+FFFF for Unicode 1.1); the
// substitute written for that problem must not land inside an open base64
// run, so the run is closed before the problem is reported. When the close
// does not fit, the call stops for room and the problem is owed: the next
// call (or Finish) closes the run first, then reports it. (From UTF-16 the
// bases report no problems, so their chains need no such care.)
class UTF7FromUTF32 : public CompositeTranscoderFor<unsigned int, unsigned short, char> {
public:
    using Base = CompositeTranscoderFor<unsigned int, unsigned short, char>;
    using Base::Base;

    TranscodeResult Transcode(unsigned int const *& in, unsigned int const * inEnd, char *& out,
                              char * outEnd, long limit) override {
        return Guarded(out, outEnd, limit,
                       [&] { return Base::Transcode(in, inEnd, out, outEnd, limit); });
    }

    TranscodeResult Finish(char *& out, char * outEnd, long limit) override {
        return Guarded(out, outEnd, limit, [&] { return Base::Finish(out, outEnd, limit); });
    }

    void Reset() override {
        Base::Reset();
        problem_owed_ = false;
    }

private:
    template <class Run>
    TranscodeResult Guarded(char *& out, char * outEnd, long limit, Run run) {
        char * const start = out;
        if (!problem_owed_) {
            TranscodeResult const result = run();
            if (result != kTranscodeIllegalInput) {
                return result;
            }
        }
        TranscodeResult const closed =
            second_stage()->Finish(out, outEnd, zuuc_internal::RemainingLimit(limit, out - start));
        problem_owed_ = zuuc_internal::IsOutputStop(closed);
        return problem_owed_ ? closed : kTranscodeIllegalInput;
    }

    bool problem_owed_ = false;
};

}  // namespace

// --- UTF7EncodingVariant ------------------------------------------------------------

UTF7EncodingVariant::UTF7EncodingVariant(Char16Encoding const & base,
                                         EncodingVariation const & variation,
                                         char const ** nicknames, bool wide_direct_set,
                                         bool explicit_terminator)
    : BlockCharEncoding(base, variation, nicknames,
                        BaseNumber(base) == kUnicode11 ? "UNICODE-1-1-UTF-7" : "UTF-7", 0),
      base_(base),
      wide_direct_set_(wide_direct_set),
      explicit_terminator_(explicit_terminator) {}

UTF7EncodingVariant::~UTF7EncodingVariant() = default;

unsigned int UTF7EncodingVariant::SubstituteChars(unsigned char const *& chars,
                                                  unsigned int) const {
    chars = kUTF7Substitute;
    return sizeof kUTF7Substitute - 1;
}

bool UTF7EncodingVariant::IsTextModeSafe() const {
    return true;
}

Transcoder<char, unsigned short> * UTF7EncodingVariant::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return DecoderToUTF16(base_, Make<UTF7toWhatever>(allocator), allocator);
}

Transcoder<unsigned short, char> * UTF7EncodingVariant::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return EncoderFromUTF16(
        base_, Make<UTF7fromWhatever>(allocator, wide_direct_set_, explicit_terminator_),
        allocator);
}

Transcoder<char, unsigned int> * UTF7EncodingVariant::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return DecoderToUTF32(base_, Make<UTF7toWhatever>(allocator), allocator);
}

Transcoder<unsigned int, char> * UTF7EncodingVariant::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    auto first = Own(base_.CreateConverterFromUTF32(allocator));
    if (!first) {
        return nullptr;
    }
    return NullOnBadAlloc([&]() -> Transcoder<unsigned int, char> * {
        auto encoder =
            Own(new (allocator) UTF7fromWhatever(wide_direct_set_, explicit_terminator_));
        auto * composite = new (allocator) UTF7FromUTF32(first.get(), encoder.get());
        first.release();
        encoder.release();
        return composite;
    });
}

// --- JavaEncodingVariant ------------------------------------------------------------

JavaEncodingVariant::JavaEncodingVariant(Char16Encoding const & base,
                                         EncodingVariation const & variation,
                                         char const ** nicknames)
    : BlockCharEncoding(base, variation, nicknames, nullptr, 0), base_(base) {}

JavaEncodingVariant::~JavaEncodingVariant() = default;

unsigned int JavaEncodingVariant::SubstituteChars(unsigned char const *& chars,
                                                  unsigned int) const {
    chars = kJavaSubstitute;
    return sizeof kJavaSubstitute - 1;
}

bool JavaEncodingVariant::IsTextModeSafe() const {
    return true;
}

Transcoder<char, unsigned short> * JavaEncodingVariant::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return DecoderToUTF16(base_, Make<ToUTF16>(allocator), allocator);
}

Transcoder<unsigned short, char> * JavaEncodingVariant::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return EncoderFromUTF16(base_, Make<FromUTF16>(allocator), allocator);
}

Transcoder<char, unsigned int> * JavaEncodingVariant::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return DecoderToUTF32(base_, Make<ToUTF16>(allocator), allocator);
}

Transcoder<unsigned int, char> * JavaEncodingVariant::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return EncoderFromUTF32(base_, Make<FromUTF16>(allocator), allocator);
}

// --- the variations -----------------------------------------------------------------

UTF7Variation::UTF7Variation()
    : RealEncodingVariation(EncodingVariationID::UTF7(), gUTF7Names, "UTF-7") {
    GenerateVariantsForExistingEncodings();
}

UTF7Variation::~UTF7Variation() = default;

void UTF7Variation::GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) {
    if (!IsSixteenBitUnicode(encoding) || AlreadyAppliedTo(encoding)) {
        return;
    }
    char const ** const nicknames = IsUTF16(encoding) ? gUTF16UTF7Nicknames : nullptr;
    // The strict direct set and explicit terminators: the safest UTF-7 to
    // hand to other readers.
    Generate([&] { AddVariant(new UTF7EncodingVariant(encoding, *this, nicknames, false, true)); });
}

JavaVariation::JavaVariation()
    : RealEncodingVariation(EncodingVariationID::Java(), gJavaNames, nullptr) {
    GenerateVariantsForExistingEncodings();
}

JavaVariation::~JavaVariation() = default;

void JavaVariation::GenerateVariantOfChar16Encoding(Char16Encoding const & encoding) {
    if (!IsSixteenBitUnicode(encoding) || AlreadyAppliedTo(encoding)) {
        return;
    }
    Generate([&] { AddVariant(new JavaEncodingVariant(encoding, *this, nullptr)); });
}

// --- accessors ----------------------------------------------------------------------

EncodingVariation & EncodingVariation::UTF7() {
    static UTF7Variation variation;
    return variation;
}

EncodingVariation & EncodingVariation::Java() {
    static JavaVariation variation;
    return variation;
}

CharEncoding & CharEncoding::Unicode20UTF7() {
    static CharEncoding & encoding =
        ByteFormOf(Char16Encoding::UTF16(), {&EncodingVariation::UTF7});
    return encoding;
}

CharEncoding & CharEncoding::Unicode20Java() {
    static CharEncoding & encoding =
        ByteFormOf(Char16Encoding::UTF16(), {&EncodingVariation::Java});
    return encoding;
}
