// NormalizationTransform and NormalizationTransform16: the staging buffer and
// the windows around the normalizer.
#include <algorithm>
#include <cstring>

#include "transforms/normalize.h"
#include "zuuc/normalization.h"

namespace zuuc_internal::normalization {
namespace {

// Stages input, hands the normalizer chunks that end before a boundary (or
// at the end of the input) and keeps the produced window with its offsets.
// All buffers are members: nothing is allocated per window.
template <typename Unit, typename Source>
class Engine {
public:
    static constexpr std::size_t kSize = normalize::kTransformOutput;

    Engine(Source & input, Unit * output, int form, CharacterTest const * test)
        : input_(&input), output_(output), normalizer_(form), test_(test) {}

    // Produces the next window; returns its length (0 at the end of the input).
    std::size_t Fill() {
        for (;;) {
            if (staged_ == 0 && !ended_) {
                // Straight from the input's window while it holds a boundary.
                Unit const * begin;
                Unit const * end;
                if (!input_->GetBuffer(begin, end)) {
                    ended_ = true;
                    return 0;
                }
                std::size_t chunk =
                    normalizer_.LastBoundary(begin, static_cast<std::size_t>(end - begin));
                if (chunk > 0) {
                    std::size_t consumed = 0;
                    std::size_t produced = Normalize(begin, chunk, consumed);
                    input_->DoneWith(begin + consumed);
                    if (produced > 0)
                        return produced;
                    continue;
                }
            }
            TopUp();
            if (staged_ == 0)
                return 0;
            std::size_t chunk = ended_ ? staged_ : normalizer_.LastBoundary(staging_, staged_);
            if (chunk == 0) {
                // No boundary in a full staging buffer: hand it all over, but
                // never half of a surrogate pair.
                chunk = staged_;
                if (sizeof(Unit) == 2 && chunk > 1 && staging_[chunk - 1] - 0xD800u < 0x400)
                    --chunk;
            }
            std::size_t consumed = 0;
            std::size_t produced = Normalize(staging_, chunk, consumed);
            staged_ -= consumed;
            std::memmove(staging_, staging_ + consumed, staged_ * sizeof(Unit));
            if (produced > 0)
                return produced;
        }
    }

    Unit const * Output() const { return output_; }
    // The offsets of the last `count` units of the window.
    unsigned int * Offsets(std::size_t count) {
        normalizer_.FillOffsets(produced_ - static_cast<std::uint32_t>(count), count, offsets_);
        return offsets_;
    }
    std::uint32_t OffsetAt(std::uint32_t out) const {
        return normalizer_.OffsetAt(out, produced_, consumed_);
    }
    Source * Input() const { return input_; }

private:
    std::size_t Normalize(Unit const * units, std::size_t count, std::size_t & consumed) {
        NormalizeParams<Unit> p{units, count, output_, kSize, consumed_, produced_, test_, 0, 0};
        normalizer_.Normalize(p);
        consumed_ += static_cast<std::uint32_t>(p.consumed);
        produced_ += static_cast<std::uint32_t>(p.produced);
        consumed = p.consumed;
        return p.produced;
    }

    // Fills the staging buffer from the input while it has room and the input
    // has more.
    void TopUp() {
        while (!ended_ && staged_ < kSize) {
            Unit const * begin;
            Unit const * end;
            if (!input_->GetBuffer(begin, end)) {
                ended_ = true;
                break;
            }
            std::size_t n =
                std::min<std::size_t>(static_cast<std::size_t>(end - begin), kSize - staged_);
            std::memcpy(staging_ + staged_, begin, n * sizeof(Unit));
            staged_ += n;
            input_->DoneWith(begin + n);
        }
    }

    Source * input_;
    Unit * output_;  // kSize units
    normalize normalizer_;
    CharacterTest const * test_;
    std::uint32_t consumed_ = 0;
    std::uint32_t produced_ = 0;
    std::size_t staged_ = 0;
    bool ended_ = false;
    Unit staging_[kSize];
    unsigned int offsets_[kSize];
};

template <typename EngineT, typename U>
bool OffsetMapOf(EngineT & engine, U const * begin, U const * end, unsigned int *& map,
                 unsigned int & count) {
    if (begin == nullptr || !(begin < end)) {
        map = nullptr;
        count = 0;
        return false;
    }
    count = static_cast<unsigned int>(end - begin);
    map = engine.Offsets(count);
    return true;
}

}  // namespace
}  // namespace zuuc_internal::normalization

using zuuc_internal::normalization::Engine;

// ===========================================================================
// NormalizationTransform
// ===========================================================================

struct NormalizationTransform::State {
    State(Char32Source & input, unsigned int * output, Form form, CharacterTest const * test)
        : engine(input, output, form, test) {}
    Engine<unsigned int, Char32Source> engine;
};

NormalizationTransform::NormalizationTransform(Char32Source & source, Form form,
                                               CharacterTest const * test)
    : UnicodeTransform(source, test),
      form_(form),
      state_(new State(Input(), Buffer(), form, test)) {}

NormalizationTransform::NormalizationTransform(Char16Source & source, Form form,
                                               CharacterTest const * test)
    : UnicodeTransform(source, test),
      form_(form),
      state_(new State(Input(), Buffer(), form, test)) {}

NormalizationTransform::~NormalizationTransform() {
    delete state_;
}

bool NormalizationTransform::FillBuffer() {
    std::size_t n = state_->engine.Fill();
    SetWindow(state_->engine.Output(), state_->engine.Output() + n);
    return n > 0;
}

bool NormalizationTransform::GetOffsetMap(unsigned int *& map, unsigned int & count) {
    return zuuc_internal::normalization::OffsetMapOf(state_->engine, position_, end_, map, count);
}

unsigned int NormalizationTransform::GetOffsetAt(unsigned int offset) {
    return state_->engine.OffsetAt(offset);
}

// ===========================================================================
// NormalizationTransform16
// ===========================================================================

struct NormalizationTransform16::State {
    State(Char16Source & input, Form form, CharacterTest const * test)
        : engine(input, output, form, test) {}
    unsigned short output[Engine<unsigned short, Char16Source>::kSize];
    Engine<unsigned short, Char16Source> engine;
};

NormalizationTransform16::NormalizationTransform16(Char16Source & source, Form form,
                                                   CharacterTest const * test)
    : Char16Source(source), form_(form), state_(new State(source, form, test)) {}

NormalizationTransform16::~NormalizationTransform16() {
    delete state_;
}

UnicodeLibBehavior * NormalizationTransform16::SetBehavior(UnicodeLibBehavior * behavior) {
    state_->engine.Input()->SetBehavior(behavior);
    return Char16Source::SetBehavior(behavior);
}

bool NormalizationTransform16::FillBuffer() {
    std::size_t n = state_->engine.Fill();
    SetWindow(state_->engine.Output(), state_->engine.Output() + n);
    return n > 0;
}

bool NormalizationTransform16::GetOffsetMap(unsigned int *& map, unsigned int & count) {
    return zuuc_internal::normalization::OffsetMapOf(state_->engine, position_, end_, map, count);
}

unsigned int NormalizationTransform16::GetOffsetAt(unsigned int offset) {
    return state_->engine.OffsetAt(offset);
}
