// HZ-GB-2312: the parser, the converters and the detector.
#include "convert/transcode_contract.h"
#include "mbcs_chain.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"

namespace {

using Action = HZEncoding::HZ_Action;

// Parser states.
enum : unsigned short {
    kAscii = 0,         // ASCII mode
    kAsciiTilde = 1,    // "~" in ASCII mode
    kAsciiTildeCR = 2,  // "~" CR in ASCII mode
    kGBFirst = 3,       // GB mode, before a lead byte
    kGBSecond = 4,      // GB mode, after a lead byte
    kGBTilde = 5,       // "~" in GB mode
    kGBTildeCR = 6,     // "~" CR in GB mode
};

// HZ modes as the decoder records them (the actions that enter them).
constexpr unsigned int kGBMode = HZEncoding::kEnterGBMode;
constexpr unsigned int kASCIIMode = HZEncoding::kLeaveGBMode;

constexpr unsigned char kTilde = '~';
constexpr unsigned char kLF = 0x0A;
constexpr unsigned char kCR = 0x0D;

}  // namespace

// --- Parser ---------------------------------------------------------------------

HZEncoding::Parser::Parser() {
    unsigned char const tilde[] = {kTilde};
    unsigned char const lf[] = {kLF};
    unsigned char const cr[] = {kCR};
    unsigned char const open[] = {'{'};
    unsigned char const close[] = {'}'};

    CreateState(kInvalidByte, kAscii);
    SetRange(kAscii, 0x00, 0x7F, kASCIICharacter, kAscii);
    SetEntries(kAscii, tilde, 1, kIgnore, kAsciiTilde);

    CreateState(kInvalidByte, kAscii);
    SetEntries(kAsciiTilde, tilde, 1, kLiteralTilde, kAscii);
    SetEntries(kAsciiTilde, open, 1, kEnterGBMode, kGBFirst);
    SetEntries(kAsciiTilde, lf, 1, kIgnore, kAscii);
    SetEntries(kAsciiTilde, cr, 1, kIgnore, kAsciiTildeCR);

    CreateState(kInvalidByte, kAscii);
    SetRange(kAsciiTildeCR, 0x00, 0x7F, kASCIICharacter, kAscii);
    SetEntries(kAsciiTildeCR, lf, 1, kIgnore, kAscii);

    CreateState(kInvalidByte, kGBFirst);
    SetRange(kGBFirst, 0x00, 0x20, kControlInGBMode, kGBFirst);
    SetRange(kGBFirst, 0x21, 0x77, kGBLeadByte, kGBSecond);
    SetEntries(kGBFirst, tilde, 1, kIgnore, kGBTilde);

    CreateState(kInvalidByte, kGBFirst);
    SetRange(kGBSecond, 0x21, 0x7E, kGBTrailByte, kGBFirst);

    CreateState(kInvalidByte, kGBFirst);
    SetEntries(kGBTilde, tilde, 1, kLiteralTilde, kGBFirst);
    SetEntries(kGBTilde, close, 1, kLeaveGBMode, kAscii);
    SetEntries(kGBTilde, lf, 1, kIgnore, kGBFirst);
    SetEntries(kGBTilde, cr, 1, kIgnore, kGBTildeCR);

    CreateState(kInvalidByte, kGBFirst);
    SetRange(kGBTildeCR, 0x00, 0x7F, kControlInGBMode, kGBFirst);
    SetRange(kGBTildeCR, 0x21, 0x77, kGBLeadByte, kGBSecond);
    SetEntries(kGBTildeCR, lf, 1, kIgnore, kGBFirst);
}

HZEncoding::Parser const & HZEncoding::Parser::Instance() {
    static Parser const parser;  // built once, on first use, by whichever thread comes first
    return parser;
}

// --- ToUTF32 --------------------------------------------------------------------

HZEncoding::ToUTF32::ToUTF32(CharEncoding const & gb2312, UnicodeLibAllocator & allocator)
    : inner_(gb2312.CreateConverterToUTF32(allocator)),
      hz_mode_(kASCIIMode),
      last_action_(kLeaveGBMode),
      parser_state_(kAscii),
      lead_(0) {}

HZEncoding::ToUTF32::~ToUTF32() {
    delete inner_;
}

TranscodeResult HZEncoding::ToUTF32::Transcode(char const *& in, char const * inEnd,
                                               unsigned int *& out, unsigned int * outEnd,
                                               long limit) {
    Parser const & parser = Parser::Instance();
    long written = 0;
    while (in != inEnd) {
        unsigned char const byte = static_cast<unsigned char>(*in);
        Parser::Entry const & entry = parser.Step(parser_state_, byte);
        Action const action = entry.action;
        if (action == kASCIICharacter || action == kControlInGBMode || action == kLiteralTilde ||
            action == kGBTrailByte) {
            // Each of these writes one character: the byte stays until it fits.
            if (out == outEnd) {
                return kTranscodeOutputFull;
            }
            if (limit >= 0 && written >= limit) {
                return kTranscodeLimitReached;
            }
        }
        ++in;
        parser_state_ = entry.next;
        last_action_ = action;
        switch (action) {
            case kInvalidByte:
                return kTranscodeIllegalInput;
            case kASCIICharacter:
            case kControlInGBMode:
                *out++ = byte;
                ++written;
                break;
            case kLiteralTilde:
                *out++ = kTilde;
                ++written;
                break;
            case kEnterGBMode:
                hz_mode_ = kGBMode;
                if (inner_ != nullptr) {
                    inner_->Reset();
                }
                break;
            case kLeaveGBMode:
                hz_mode_ = kASCIIMode;
                break;
            case kIgnore:
                break;
            case kGBLeadByte:
                lead_ = byte;
                break;
            case kGBTrailByte: {
                if (inner_ == nullptr) {
                    return kTranscodeNoCharacterDefined;
                }
                // The pair is a GB2312 character with 0x80 taken off each byte.
                char const pair[2] = {static_cast<char>(lead_ | 0x80),
                                      static_cast<char>(byte | 0x80)};
                char const * p = pair;
                unsigned int * const before = out;
                TranscodeResult const result = inner_->Transcode(p, pair + 2, out, outEnd, 1);
                written += out - before;
                if (result != kTranscodeInputExhausted) {
                    inner_->Reset();
                    return result;
                }
                if (out == before) {
                    inner_->Reset();  // not a whole character of GB2312
                    return kTranscodeNoCharacterDefined;
                }
                break;
            }
        }
    }
    return kTranscodeInputExhausted;
}

TranscodeResult HZEncoding::ToUTF32::Finish(unsigned int *&, unsigned int *, long) {
    bool const incomplete =
        last_action_ == kGBLeadByte ||
        (last_action_ == kIgnore && (parser_state_ == kAsciiTilde || parser_state_ == kGBTilde));
    Reset();
    return incomplete ? kTranscodeIllegalInput : kTranscodeComplete;
}

void HZEncoding::ToUTF32::Reset() {
    hz_mode_ = kASCIIMode;
    last_action_ = kLeaveGBMode;
    parser_state_ = kAscii;
    lead_ = 0;
    if (inner_ != nullptr) {
        inner_->Reset();
    }
}

// --- FromUTF32 ------------------------------------------------------------------

HZEncoding::FromUTF32::FromUTF32(CharEncoding const & gb2312, UnicodeLibAllocator & allocator)
    : inner_(gb2312.CreateConverterFromUTF32(allocator)), hz_mode_(kASCIIMode) {}

HZEncoding::FromUTF32::~FromUTF32() {
    delete inner_;
}

TranscodeResult HZEncoding::FromUTF32::Transcode(unsigned int const *& in,
                                                 unsigned int const * inEnd, char *& out,
                                                 char * outEnd, long limit) {
    long written = 0;
    auto room_for = [&](long need) -> TranscodeResult {
        if (outEnd - out < need) {
            return kTranscodeOutputFull;
        }
        if (limit >= 0 && written + need > limit) {
            return kTranscodeLimitReached;
        }
        return kTranscodeComplete;
    };
    while (in != inEnd) {
        unsigned int const c = *in;
        if (c <= 0x7F) {
            long const need = (hz_mode_ == kGBMode ? 2 : 0) + (c == kTilde ? 2 : 1);
            TranscodeResult const stop = room_for(need);
            if (stop != kTranscodeComplete) {
                return stop;
            }
            if (hz_mode_ == kGBMode) {
                *out++ = '~';
                *out++ = '}';
                hz_mode_ = kASCIIMode;
            }
            if (c == kTilde) {
                *out++ = '~';
            }
            *out++ = static_cast<char>(c);
            written += need;
            ++in;
            continue;
        }
        if (inner_ == nullptr) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
        // The character in GB2312: two bytes in 0xA1..0xFE, or not in HZ.
        char bytes[8];
        char * q = bytes;
        unsigned int const * p = in;
        TranscodeResult const result = inner_->Transcode(p, in + 1, q, bytes + sizeof bytes, -1);
        if (result != kTranscodeInputExhausted) {
            inner_->Reset();
            in = p;
            return result;
        }
        bool const is_gb = q - bytes == 2 && static_cast<unsigned char>(bytes[0]) >= 0xA1 &&
                           static_cast<unsigned char>(bytes[0]) <= 0xFE &&
                           static_cast<unsigned char>(bytes[1]) >= 0xA1 &&
                           static_cast<unsigned char>(bytes[1]) <= 0xFE;
        if (!is_gb) {
            ++in;
            return kTranscodeNotInRepertoire;
        }
        long const need = (hz_mode_ == kGBMode ? 0 : 2) + 2;
        TranscodeResult const stop = room_for(need);
        if (stop != kTranscodeComplete) {
            return stop;
        }
        if (hz_mode_ != kGBMode) {
            *out++ = '~';
            *out++ = '{';
            hz_mode_ = kGBMode;
        }
        *out++ = static_cast<char>(static_cast<unsigned char>(bytes[0]) - 0x80);
        *out++ = static_cast<char>(static_cast<unsigned char>(bytes[1]) - 0x80);
        written += need;
        ++in;
    }
    return kTranscodeInputExhausted;
}

TranscodeResult HZEncoding::FromUTF32::Finish(char *&, char *, long) {
    Reset();
    return kTranscodeComplete;
}

void HZEncoding::FromUTF32::Reset() {
    hz_mode_ = kASCIIMode;
    if (inner_ != nullptr) {
        inner_->Reset();
    }
    BlockConverter_32_to_8::Reset();
}

// --- EncodingDetector -----------------------------------------------------------

HZEncoding::EncodingDetector::EncodingDetector(CharEncoding const & encoding)
    : CharEncodingDetector(encoding, -1), parser_state_(kAscii) {}

HZEncoding::EncodingDetector::~EncodingDetector() = default;

void HZEncoding::EncodingDetector::Examine(unsigned char const *, unsigned char const * new_start,
                                           unsigned char const * end) {
    Parser const & parser = Parser::Instance();
    for (unsigned char const * p = new_start; p < end; ++p) {
        Parser::Entry const & entry = parser.Step(parser_state_, *p);
        parser_state_ = entry.next;
        switch (entry.action) {
            case kInvalidByte:
            case kControlInGBMode:
                --rating_;
                break;
            case kEnterGBMode:
            case kLeaveGBMode:
                ++rating_;
                break;
            default:
                break;
        }
    }
}

// --- HZEncoding -----------------------------------------------------------------

HZEncoding::HZEncoding(TextEncodingID id, unsigned char const * substitute, char const ** nicknames,
                       char const * mime_name, unsigned int code_page)
    : BlockCharEncoding(id, substitute, nicknames, mime_name, code_page) {
    set_is_loaded(true);  // no tables of its own
}

HZEncoding::~HZEncoding() = default;

bool HZEncoding::IsBasedOnASCII() const {
    return true;
}
bool HZEncoding::IsTextModeSafe() const {
    return true;
}

bool HZEncoding::IsLoadable() const {
    return GB2312Part().IsLoadable();
}

CharEncoding const & HZEncoding::GB2312Part() const {
    return CharEncoding::GB2312();
}

CharEncodingDetector * HZEncoding::CreateEncodingDetector(UnicodeLibAllocator & allocator) const {
    return zuuc_internal::Place<EncodingDetector>(allocator, *this);
}

Transcoder<char, unsigned int> * HZEncoding::CreateConverterToUTF32(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::Place<ToUTF32>(allocator, GB2312Part(), allocator);
}

Transcoder<unsigned int, char> * HZEncoding::CreateConverterFromUTF32(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::Place<FromUTF32>(allocator, GB2312Part(), allocator);
}

Transcoder<char, unsigned short> * HZEncoding::CreateConverterToUTF16(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterToUTF32(allocator), allocator);
}

Transcoder<unsigned short, char> * HZEncoding::CreateConverterFromUTF16(
    UnicodeLibAllocator & allocator) const {
    return zuuc_internal::legacy::ThroughUTF32(CreateConverterFromUTF32(allocator), allocator);
}
