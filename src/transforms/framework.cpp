// The transform framework: input, owned converter, buffer and test.
#include "zuuc/char_encoding.h"
#include "zuuc/character_test.h"
#include "zuuc/encoding_converters.h"
#include "zuuc/transforms.h"

UnicodeNoTestTransform::UnicodeNoTestTransform(Char32Source & source)
    : Char32Source(source), input_(&source), converter_(nullptr) {}

UnicodeNoTestTransform::UnicodeNoTestTransform(Char16Source & source)
    : Char32Source(source),
      input_(nullptr),
      converter_(
          new Char32EncodingConverter(source, Char16Encoding::UTF16(), Char32Encoding::UTF32())) {
    input_ = converter_;
}

UnicodeNoTestTransform::~UnicodeNoTestTransform() {
    delete converter_;
}

UnicodeLibBehavior * UnicodeNoTestTransform::SetBehavior(UnicodeLibBehavior * behavior) {
    input_->SetBehavior(behavior);
    return Char32Source::SetBehavior(behavior);
}

UnicodeTransform::UnicodeTransform(Char32Source & source, CharacterTest const * test)
    : UnicodeNoTestTransform(source), test_(test) {}

UnicodeTransform::UnicodeTransform(Char16Source & source, CharacterTest const * test)
    : UnicodeNoTestTransform(source), test_(test) {}

UnicodeTransform::~UnicodeTransform() = default;

bool UnicodeTransform::Accepts(unsigned int c) const {
    return test_ == nullptr || (*test_)(c);
}

SimpleTransform::SimpleTransform(Char32Source & source, CharacterTest const * test)
    : UnicodeTransform(source, test) {}

SimpleTransform::SimpleTransform(Char16Source & source, CharacterTest const * test)
    : UnicodeTransform(source, test) {}

SimpleTransform::~SimpleTransform() = default;

bool SimpleTransform::FillBuffer() {
    return Fill(1, [this](unsigned int c, unsigned int *& out) {
        if (Accepts(c))
            TransformChar(c);
        *out++ = c;
    });
}
