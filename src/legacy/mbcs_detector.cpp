// MBCSDetector: rates bytes by walking a multi-byte encoding's state table.
#include "mbcs_core.h"
#include "zuuc/mbcs_encoding.h"

using zuuc_internal::legacy::TableWalker;
using zuuc_internal::legacy::TieBreak;

namespace {

// Walks [p, end) on `state`; returns how many invalid sequences were met.
template <class T>
int CountInvalid(MBCStoUnicodeTable<T> const & table, unsigned int & state, unsigned char const * p,
                 unsigned char const * end) {
    TableWalker<T> walker{&table, state};
    int invalid = 0;
    while (p < end) {
        bool again = false;
        unsigned int const value = walker.Step(*p, again);
        ++p;
        if (value == zuuc_internal::legacy::kInvalidSequence) {
            ++invalid;
        } else if (again && value != zuuc_internal::legacy::kNoCharacterYet) {
            --p;
        }
    }
    state = walker.state;
    return invalid;
}

// Walks from state 0 up to the first invalid sequence: returns its start
// (setting `failure_end` after it) or the end of the last whole character.
template <class T>
unsigned char const * WalkToFailure(MBCStoUnicodeTable<T> const & table,
                                    unsigned char const * start, unsigned char const * end,
                                    unsigned char const *& failure_end, bool & failed) {
    TableWalker<T> walker{&table, 0};
    unsigned char const * sequence_start = start;
    failed = false;
    for (unsigned char const * p = start; p < end;) {
        bool again = false;
        unsigned int const value = walker.Step(*p, again);
        ++p;
        if (value == zuuc_internal::legacy::kInvalidSequence) {
            failed = true;
            failure_end = p;
            return sequence_start;
        }
        if (value == zuuc_internal::legacy::kNoCharacterYet) {
            continue;
        }
        if (again) {
            --p;
        }
        sequence_start = p;
    }
    return sequence_start;
}

}  // namespace

MBCSDetector::MBCSDetector(CharEncoding const & encoding,
                           MBCStoUnicodeTable<unsigned short> const * table16,
                           MBCStoUnicodeTable<unsigned int> const * table32)
    : CharEncodingDetector(encoding, 0),
      table16_(table16),
      table32_(table16 != nullptr ? nullptr : table32),
      state_(0),
      failure_end_(nullptr) {}

MBCSDetector::~MBCSDetector() = default;

void MBCSDetector::Examine(unsigned char const *, unsigned char const * new_start,
                           unsigned char const * end) {
    if (table16_ != nullptr) {
        rating_ -= CountInvalid(*table16_, state_, new_start, end);
    } else if (table32_ != nullptr) {
        rating_ -= CountInvalid(*table32_, state_, new_start, end);
    }
}

unsigned char const * MBCSDetector::ExamineFrom(unsigned char const *, unsigned char const * start,
                                                unsigned char const * end) {
    bool failed = false;
    unsigned char const * stop = end;
    if (table16_ != nullptr) {
        stop = WalkToFailure(*table16_, start, end, failure_end_, failed);
    } else if (table32_ != nullptr) {
        stop = WalkToFailure(*table32_, start, end, failure_end_, failed);
    }
    if (failed) {
        --rating_;
    }
    return stop;
}

void MBCSDetector::BreakTie(unsigned char const *, unsigned char const * start,
                            unsigned char const * end, unsigned char level,
                            LanguageDetector * language) {
    TieBreak tie(level, language, zuuc_internal::legacy::Penalty::kPrivateUse);
    if (table16_ != nullptr) {
        zuuc_internal::legacy::DecodeForTieBreak(*table16_, start, end, tie, false);
    } else if (table32_ != nullptr) {
        zuuc_internal::legacy::DecodeForTieBreak(*table32_, start, end, tie, false);
    }
    tie.Apply(tie_breaker_);
}

unsigned char const * MBCSDetector::BreakTieFrom(unsigned char const *, unsigned char const * start,
                                                 unsigned char const * end, unsigned char level,
                                                 LanguageDetector * language, bool & complete) {
    TieBreak tie(level, language, zuuc_internal::legacy::Penalty::kPrivateUse);
    unsigned char const * stop = end;
    if (table16_ != nullptr) {
        stop = zuuc_internal::legacy::DecodeForTieBreak(*table16_, start, end, tie, true);
    } else if (table32_ != nullptr) {
        stop = zuuc_internal::legacy::DecodeForTieBreak(*table32_, start, end, tie, true);
    }
    complete = stop == end;
    tie.Apply(tie_breaker_);
    return stop;
}

void MBCSDetector::Finish(unsigned char const *, unsigned char const *) {
    if (state_ != 0) {
        --rating_;
    }
}
