// The library's three auto-detecting encodings: names, candidate lists in
// tie order, language scorers and accessors. They are built, and enter the
// registry, at library start, after the catalogue (src/encodings/catalogue.cpp).
#include "zuuc/language_detectors.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"
#include "zuuc/range_encoding.h"

namespace {

char const * kChineseNames[] = {"ChineseAutoDetect", "csChineseAutoDetect", nullptr};
char const * kJapaneseNames[] = {"JapaneseAutoDetect", "csJapaneseAutoDetect", nullptr};
char const * kKoreanNames[] = {"KoreanAutoDetect", "csKoreanAutoDetect", nullptr};

}  // namespace

ChineseAutoDetectEncoding::ChineseAutoDetectEncoding()
    : AutoDetectEncoding(TextEncodingID::ChineseAutoDetect(), kChineseNames) {
    AddCandidate(CharEncoding::HZGB2312());
    AddCandidate(CharEncoding::GB2312());
    AddCandidate(CharEncoding::Big5());
    AddCandidate(CharEncoding::GB18030());
    AddCandidate(CharEncoding::Unicode20UTF8());
    AddCandidate(CharEncoding::Unicode20ByteStream());
    AddCandidate(CharEncoding::UTF32ByteStream());
    SetLanguageDetector(&language_);
}
ChineseAutoDetectEncoding::~ChineseAutoDetectEncoding() = default;

JapaneseAutoDetectEncoding::JapaneseAutoDetectEncoding()
    : AutoDetectEncoding(TextEncodingID::JapaneseAutoDetect(), kJapaneseNames) {
    AddCandidate(CharEncoding::ShiftJISMS());
    AddCandidate(CharEncoding::EUCPkdFmtJapanese());
    AddCandidate(CharEncoding::EUCJPJISRoman());
    AddCandidate(CharEncoding::ISO2022JP());
    AddCandidate(CharEncoding::Unicode20UTF8());
    AddCandidate(CharEncoding::Unicode20ByteStream());
    SetLanguageDetector(&language_);
}
JapaneseAutoDetectEncoding::~JapaneseAutoDetectEncoding() = default;

KoreanAutoDetectEncoding::KoreanAutoDetectEncoding()
    : AutoDetectEncoding(TextEncodingID::KoreanAutoDetect(), kKoreanNames) {
    AddCandidate(CharEncoding::ISO2022KR());
    AddCandidate(CharEncoding::EUCKR());
    AddCandidate(CharEncoding::CP949());
    AddCandidate(CharEncoding::Unicode20UTF8());
    AddCandidate(CharEncoding::Unicode20ByteStream());
    SetLanguageDetector(&language_);
}
KoreanAutoDetectEncoding::~KoreanAutoDetectEncoding() = default;

CharEncoding & CharEncoding::ChineseAutoDetect() {
    static ChineseAutoDetectEncoding encoding;
    return encoding;
}

CharEncoding & CharEncoding::JapaneseAutoDetect() {
    static JapaneseAutoDetectEncoding encoding;
    return encoding;
}

CharEncoding & CharEncoding::KoreanAutoDetect() {
    static KoreanAutoDetectEncoding encoding;
    return encoding;
}
