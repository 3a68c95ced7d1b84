// Auto-detecting encodings: the encoding object, its decoding source and
// sink, and the source that chains the bytes read ahead to the rest.
#include "zuuc/auto_detect.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "detect/read_ahead.h"
#include "zuuc/behavior.h"

// ===========================================================================
// AutoDetectEncoding
// ===========================================================================

namespace {
unsigned char const kNoSubstitute[] = {'?', 0};
}  // namespace

AutoDetectEncoding::AutoDetectEncoding(TextEncodingID id, char const ** names)
    : CharEncodingImpl(id, kNoSubstitute, names, nullptr, 0),
      candidates_(nullptr),
      count_(0),
      capacity_(0),
      language_(nullptr) {}

AutoDetectEncoding::~AutoDetectEncoding() {
    std::free(candidates_);
}

void AutoDetectEncoding::AddCandidate(CharEncoding const & candidate) {
    if (count_ == capacity_) {
        unsigned int const needed = count_ + 1;
        unsigned int capacity =
            capacity_ == 0 ? 10u : static_cast<unsigned int>(capacity_ * 1.6180339);
        capacity = std::max(capacity, needed);
        auto * grown = static_cast<CharEncoding const **>(
            std::realloc(candidates_, capacity * sizeof(CharEncoding const *)));
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        candidates_ = grown;
        capacity_ = capacity;
    }
    candidates_[count_++] = &candidate;
}

bool AutoDetectEncoding::IsValidForOutput() const {
    return false;
}

bool AutoDetectEncoding::IsTextModeSafe() const {
    for (unsigned int i = 0; i < count_; ++i) {
        if (!candidates_[i]->IsTextModeSafe()) {
            return false;
        }
    }
    return true;
}

unsigned int AutoDetectEncoding::CountCandidateEncodings() const {
    return count_;
}

CharEncoding const * AutoDetectEncoding::GetCandidateEncoding(unsigned int i) const {
    return i < count_ ? candidates_[i] : nullptr;
}

ToUnicodeSource * AutoDetectEncoding::CreateCharSourceToUnicode(
    CharSource & source, UnicodeLibAllocator & allocator) const {
    return new (allocator)
        AutoDetectSource(source, candidates_, static_cast<int>(count_), allocator, language_);
}

CharSink * AutoDetectEncoding::CreateCharSinkToUnicode(Char32Sink & sink,
                                                       UnicodeLibAllocator & allocator) const {
    return new (allocator)
        AutoDetectSink(sink, candidates_, static_cast<int>(count_), allocator, language_);
}

// Nothing encodes, and an auto-detecting encoding is never itself a candidate.
CharSource * AutoDetectEncoding::CreateCharSourceFromUnicode(Char32Source &,
                                                             UnicodeLibAllocator &) const {
    return nullptr;
}
Char32Sink * AutoDetectEncoding::CreateCharSinkFromUnicode(CharSink &,
                                                           UnicodeLibAllocator &) const {
    return nullptr;
}
CharEncodingDetector * AutoDetectEncoding::CreateEncodingDetector(UnicodeLibAllocator &) const {
    return nullptr;
}
Transcoder<char, unsigned int> * AutoDetectEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator &) const {
    return nullptr;
}
Transcoder<unsigned int, char> * AutoDetectEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator &) const {
    return nullptr;
}
Transcoder<char, unsigned short> * AutoDetectEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator &) const {
    return nullptr;
}
Transcoder<unsigned short, char> * AutoDetectEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator &) const {
    return nullptr;
}

// ===========================================================================
// DualCharSource
// ===========================================================================

DualCharSource::DualCharSource(CharSource & first, CharSource & second)
    : CharSource(first), first_(&first), second_(&second), phase_(0) {}

DualCharSource::~DualCharSource() = default;

bool DualCharSource::FillBuffer() {
    while (phase_ < 2) {
        CharSource & current = phase_ == 0 ? *first_ : *second_;
        current.DoneWith(position_);
        char const * begin = nullptr;
        char const * end = nullptr;
        if (current.GetBuffer(begin, end)) {
            SetWindow(begin, end);
            return true;
        }
        ++phase_;
        SetWindow(nullptr, nullptr);
    }
    return false;
}

// ===========================================================================
// AutoDetectSource
// ===========================================================================

AutoDetectSource::AutoDetectSource(CharSource & source, CharEncoding const * const * candidates,
                                   int count, UnicodeLibAllocator & allocator,
                                   LanguageDetector * language)
    : ToUnicodeSource(source),
      converter_(nullptr),
      ended_(false),
      chooser_(source.GetBehavior(), candidates, count, allocator, language),
      input_(&source),
      read_ahead_(nullptr),
      dual_(nullptr),
      chosen_(nullptr),
      rating_(CharEncodingDetector::kLowestRating),
      allocator_(&allocator) {}

AutoDetectSource::~AutoDetectSource() {
    delete converter_;
    delete dual_;
    delete read_ahead_;
}

UnicodeLibBehavior * AutoDetectSource::SetBehavior(UnicodeLibBehavior * behavior) {
    if (converter_ != nullptr) {
        converter_->SetBehavior(behavior);
    }
    chooser_.SetBehavior(behavior);
    return ToUnicodeSource::SetBehavior(behavior);
}

void AutoDetectSource::Detect() {
    if (chosen_ != nullptr) {
        return;
    }
    CharEncoding const * chosen = nullptr;
    unsigned char const * begin = nullptr;
    unsigned char const * end = nullptr;
    while (chosen == nullptr && input_->GetBuffer(begin, end)) {
        // The window is examined in slices, so that the decision can fall
        // before a large window has been read ahead whole; the rest of the
        // window stays in the byte source for the chosen decoder.
        unsigned char const * const stop =
            zuuc_internal::detect::ExamineSlices(chooser_, begin, end, chosen, rating_);
        input_->DoneWith(stop);
    }
    if (chosen == nullptr) {
        chosen = chooser_.Finish(rating_);
    }
    chosen_ = chosen;
    if (chosen == nullptr) {
        return;  // no candidate at all: nothing can be decoded
    }
    unsigned char const * const ahead = chooser_.ReadAhead();
    read_ahead_ = new (*allocator_) BufferCharSource(ahead, ahead + chooser_.ReadAheadSize());
    dual_ = new (*allocator_) DualCharSource(*read_ahead_, *input_);
    converter_ = chosen->CreateCharSourceToUnicode(*dual_, *allocator_);
    if (converter_ != nullptr) {
        converter_->SetBehavior(GetBehavior());
    }
}

TextEncoding const & AutoDetectSource::ActualInputEncoding() const {
    auto * self = const_cast<AutoDetectSource *>(this);
    self->Detect();
    if (chosen_ == nullptr) {
        // Without candidates nothing is decoded; report the pivot.
        return Char32Encoding::UTF32();
    }
    return *chosen_;
}

int AutoDetectSource::ActualRating() const {
    const_cast<AutoDetectSource *>(this)->Detect();
    return rating_;
}

bool AutoDetectSource::FillBuffer() {
    Detect();
    if (ended_ || converter_ == nullptr) {
        ended_ = true;
        return false;
    }
    converter_->DoneWith(position_);
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    if (!converter_->GetBuffer(begin, end)) {
        ended_ = true;
        SetWindow(nullptr, nullptr);
        return false;
    }
    SetWindow(begin, end);
    return true;
}

// ===========================================================================
// AutoDetectSink
// ===========================================================================

AutoDetectSink::AutoDetectSink(Char32Sink & target, CharEncoding const * const * candidates,
                               int count, UnicodeLibAllocator & allocator,
                               LanguageDetector * language)
    : CharSink(target),
      chooser_(target.GetBehavior(), candidates, count, allocator, language),
      target_(&target),
      chosen_(nullptr),
      rating_(CharEncodingDetector::kLowestRating),
      converter_(nullptr),
      allocator_(&allocator) {}

AutoDetectSink::~AutoDetectSink() {
    try {
        Flush();
    } catch (...) {
        // A behaviour that throws while the sink is destroyed: the rest is lost.
    }
    delete converter_;
}

UnicodeLibBehavior * AutoDetectSink::SetBehavior(UnicodeLibBehavior * behavior) {
    if (converter_ != nullptr) {
        converter_->SetBehavior(behavior);
    }
    chooser_.SetBehavior(behavior);
    return CharSink::SetBehavior(behavior);
}

void AutoDetectSink::Decided(CharEncoding const & encoding) {
    chosen_ = &encoding;
    converter_ = encoding.CreateCharSinkToUnicode(*target_, *allocator_);
    if (converter_ == nullptr) {
        return;
    }
    converter_->SetBehavior(GetBehavior());
    if (chooser_.ReadAheadSize() != 0) {
        unsigned char const * const ahead = chooser_.ReadAhead();
        converter_->Put(ahead, ahead + chooser_.ReadAheadSize());
    }
}

void AutoDetectSink::PutBuffer(char const * begin, char const * end) {
    auto const * start = reinterpret_cast<unsigned char const *>(begin);
    auto const * stop = reinterpret_cast<unsigned char const *>(end);
    if (chosen_ == nullptr) {
        CharEncoding const * chosen = nullptr;
        start = zuuc_internal::detect::ExamineSlices(chooser_, start, stop, chosen, rating_);
        if (chosen == nullptr) {
            return;
        }
        Decided(*chosen);
    }
    if (converter_ != nullptr && start < stop) {
        converter_->Put(start, stop);
    }
}

void AutoDetectSink::Flush() {
    if (chosen_ == nullptr) {
        CharEncoding const * chosen = chooser_.Finish(rating_);
        if (chosen == nullptr) {
            return;
        }
        Decided(*chosen);
    }
    if (converter_ != nullptr) {
        converter_->Flush();
    }
}
