// The encoding chooser: the read-ahead buffer, one detector per candidate and
// the decision among them.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "detect/read_ahead.h"
#include "zuuc/auto_detect.h"
#include "zuuc/behavior.h"

namespace {
constexpr std::size_t kLongestByteOrderMark = 4;  // UTF-32
}  // namespace

EncodingChooser::EncodingChooser(UnicodeLibBehavior * behavior,
                                 CharEncoding const * const * candidates, int count,
                                 UnicodeLibAllocator & allocator, LanguageDetector * language)
    : UnicodeLibActor(behavior),
      count_(0),
      detectors_(),
      size_(0),
      buffer_(nullptr),
      capacity_(0),
      chosen_(count > 0 && candidates[0] != nullptr ? candidates[0] : nullptr),
      language_(language) {
    int const usable = count < kMaxCandidates ? count : kMaxCandidates;
    try {
        for (int i = 0; i < usable; ++i) {
            if (candidates[i] == nullptr) {
                continue;
            }
            CharEncodingDetector * detector =
                candidates[i]->GetImplementation().CreateEncodingDetector(allocator);
            if (detector != nullptr) {
                detectors_[count_++] = detector;
            }
        }
    } catch (...) {
        for (int i = 0; i < count_; ++i) {
            delete detectors_[i];
        }
        throw;
    }
    if (count_ > 0) {
        chosen_ = &detectors_[0]->GetEncoding();
    }
}

EncodingChooser::~EncodingChooser() {
    for (int i = 0; i < count_; ++i) {
        delete detectors_[i];
    }
    std::free(buffer_);
}

CharEncodingDetector const * EncodingChooser::GetDetector(int i) const {
    return i >= 0 && i < count_ ? detectors_[i] : nullptr;
}

int EncodingChooser::FindBest(bool tie_breakers, int & best) {
    // Only the detectors that share the best rating take part in a tie-break.
    int best_rating = CharEncodingDetector::kLowestRating;
    if (tie_breakers) {
        for (int i = 0; i < count_; ++i) {
            if (detectors_[i]->GetRating() > best_rating) {
                best_rating = detectors_[i]->GetRating();
            }
        }
    }
    best = CharEncodingDetector::kLowestRating;
    int sharing = 0;
    for (int i = 0; i < count_; ++i) {
        CharEncodingDetector const & detector = *detectors_[i];
        if (tie_breakers && detector.GetRating() != best_rating) {
            continue;
        }
        int const value = tie_breakers ? detector.GetTieBreaker() : detector.GetRating();
        if (sharing == 0 || value > best) {
            best = value;
            sharing = 1;
            chosen_ = &detector.GetEncoding();
        } else if (value == best) {
            ++sharing;
        }
    }
    return sharing;
}

CharEncoding const * EncodingChooser::Examine(unsigned char const * start,
                                              unsigned char const * end, int & rating) {
    std::size_t const old_size = size_;
    std::size_t const added =
        start != nullptr && end > start ? static_cast<std::size_t>(end - start) : 0;
    if (added > capacity_ - size_) {
        // Grow by the golden ratio so that input read in many small pieces
        // is copied a bounded number of times.
        std::size_t capacity = static_cast<std::size_t>(static_cast<double>(capacity_) * 1.6180339);
        if (capacity < size_ + added) {
            capacity = size_ + added;
        }
        auto * grown = static_cast<unsigned char *>(std::realloc(buffer_, capacity));
        if (grown == nullptr) {
            throw std::bad_alloc();
        }
        buffer_ = grown;
        capacity_ = capacity;
    }
    if (added != 0) {
        std::memcpy(buffer_ + size_, start, added);
        size_ += added;
    }
    for (int i = 0; i < count_; ++i) {
        detectors_[i]->Examine(buffer_, buffer_ + old_size, buffer_ + size_);
    }
    int const sharing = FindBest(false, rating);
    // The decision is taken only where the read-ahead reaches a whole number
    // of slices, so that it rests on the same bytes however the input is
    // divided (a source may hand out its bytes a few at a time; a larger
    // window would otherwise let a later leader win).
    if (sharing != 1 || size_ < kLongestByteOrderMark ||
        size_ % zuuc_internal::detect::kExamineSlice != 0) {
        return nullptr;
    }
    Report(true, false);
    return chosen_;
}

CharEncoding const * EncodingChooser::Finish(int & rating) {
    for (int i = 0; i < count_; ++i) {
        detectors_[i]->Finish(buffer_, buffer_ + size_);
    }
    int sharing = FindBest(false, rating);
    bool const tied = sharing > 1;
    if (tied) {
        unsigned char const level = GetBehavior()->AutoDetectTieBreakLevel();
        for (int i = 0; i < count_; ++i) {
            if (detectors_[i]->GetRating() == rating) {
                detectors_[i]->BreakTie(buffer_, buffer_, buffer_ + size_, level, language_);
            }
        }
        int ignored = 0;
        sharing = FindBest(true, ignored);
    }
    Report(sharing == 1, true);
    return count_ > 0 ? chosen_ : nullptr;
}

void EncodingChooser::Report(bool decided, bool with_tie_breakers) const {
    if (!GetBehavior()->DisplayAutoDetectMessages() || chosen_ == nullptr) {
        return;
    }
    std::fprintf(stderr, decided ? "Chose encoding %s\n" : "Assuming encoding %s\n",
                 chosen_->Name());
    std::fprintf(stderr, "  %lld bytes examined\n", static_cast<long long>(size_));
    for (int i = 0; i < count_; ++i) {
        CharEncodingDetector const & detector = *detectors_[i];
        if (with_tie_breakers) {
            std::fprintf(stderr, "%15s: %11d, %11d tie-breaker\n", detector.GetEncoding().Name(),
                         detector.GetRating(), detector.GetTieBreaker());
        } else {
            std::fprintf(stderr, "%15s: %11d\n", detector.GetEncoding().Name(),
                         detector.GetRating());
        }
    }
}
