#include <vector>

#include "zuuc/sbcs_encoding.h"

namespace {
constexpr unsigned short kNoCharacter = 0xFFFD;
}

SBCSDetector::SBCSDetector(CharEncoding const & encoding, unsigned short const * to_unicode)
    : CharEncodingDetector(encoding, 0), to_unicode_(to_unicode) {}

SBCSDetector::~SBCSDetector() = default;

void SBCSDetector::Examine(unsigned char const *, unsigned char const * new_start,
                           unsigned char const * end) {
    for (unsigned char const * p = new_start; p < end; ++p) {
        if (to_unicode_[*p] == kNoCharacter) {
            --rating_;
        }
    }
}

// Decodes the bytes again: every private-use character costs a point, and
// with a language detector and a level above 0 the decoded text is scored.
void SBCSDetector::BreakTie(unsigned char const *, unsigned char const * start,
                            unsigned char const * end, unsigned char level,
                            LanguageDetector * language) {
    bool const score = language != nullptr && level > 0;
    std::vector<unsigned int> decoded;
    if (score && end > start) {
        decoded.reserve(static_cast<std::size_t>(end - start));
    }
    for (unsigned char const * p = start; p < end; ++p) {
        unsigned int const c = to_unicode_[*p];
        if (c == kNoCharacter || c > 0xFFFE) {
            continue;
        }
        if (c >= 0xE000 && c <= 0xF8FF) {
            --tie_breaker_;
        }
        if (score) {
            decoded.push_back(c);
        }
    }
    if (score) {
        language->Score(tie_breaker_, decoded.data(), static_cast<unsigned int>(decoded.size()),
                        level);
    }
}
