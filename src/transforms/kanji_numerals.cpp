// Kanji numerals to Latin digits.
//
// A number is read group by group. Inside a group (four places), digits
// form a run read positionally; a multiplier (十 百 千) takes the one digit
// before it (1 when there is none) and adds it times 10, 100 or 1000 to the
// group, and the run left at the end of the group is its units. A group
// marker (万 億 兆 京) closes the group at 10^4, 10^8, 10^12 or 10^16. The
// digits are written as soon as a group closes; the zeros a marker owes are
// written when the next group or the end of the number shows how many are
// still missing. So a number is never held whole, and no step writes more
// than a few units.
#include "transforms/constructors.h"
#include "zuuc/transforms.h"

namespace {

// The room one step needs: a closing group with the zeros owed above it
// (12 + 4), a lone "0", and the unit that ended the number.
unsigned int const kNumberRoom = 20;
unsigned int const kNoMultiplier = 10000;

int KanjiDigit(unsigned int c) {
    switch (c) {
        case 0x3007:
            return 0;  // 〇
        case 0x4E00:
            return 1;  // 一
        case 0x4E8C:
            return 2;  // 二
        case 0x4E09:
            return 3;  // 三
        case 0x56DB:
            return 4;  // 四
        case 0x4E94:
            return 5;  // 五
        case 0x516D:
            return 6;  // 六
        case 0x4E03:
            return 7;  // 七
        case 0x516B:
            return 8;  // 八
        case 0x4E5D:
            return 9;  // 九
        default:
            return -1;
    }
}

int LatinDigit(unsigned int c) {
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 0xFF10 && c <= 0xFF19)
        return static_cast<int>(c - 0xFF10);  // fullwidth
    return -1;
}

int Digit(unsigned int c) {
    int const d = LatinDigit(c);
    return d >= 0 ? d : KanjiDigit(c);
}

unsigned int Multiplier(unsigned int c) {
    switch (c) {
        case 0x5341:
            return 10;  // 十
        case 0x767E:
            return 100;  // 百
        case 0x5343:
            return 1000;  // 千
        default:
            return 0;
    }
}

// The power of ten of a group marker, or 0.
unsigned int Marker(unsigned int c) {
    switch (c) {
        case 0x4E07:
            return 4;  // 万
        case 0x5104:
            return 8;  // 億
        case 0x5146:
            return 12;  // 兆
        case 0x4EAC:
            return 16;  // 京
        default:
            return 0;
    }
}

bool IsDecimalSeparator(unsigned int c) {
    return c == '.' || c == ',' || c == 0xFF0E || c == 0xFF0C;
}

// How many digits may follow the last multiplier of a group as its units.
unsigned int PlacesBelow(unsigned int multiplier) {
    return multiplier == 1000 ? 3 : multiplier == 100 ? 2 : multiplier == 10 ? 1 : 4;
}

}  // namespace

ZUUC_TRANSFORM_CONSTRUCTORS(ToLatinNumberTransform, UnicodeTransform, )

bool ToLatinNumberTransform::FillBuffer() {
    return Fill(
        kNumberRoom, [this](unsigned int c, unsigned int *& out) { Step(c, out); },
        [this](unsigned int *& out) { EndNumber(out); });
}

unsigned int ToLatinNumberTransform::RunValue() const {
    unsigned int value = 0;
    for (unsigned int i = 0; i < run_length_; ++i)
        value = value * 10 + static_cast<unsigned int>(Digit(run_[i]));
    return value;
}

void ToLatinNumberTransform::Step(unsigned int c, unsigned int *& out) {
    bool const accepted = Accepts(c);
    bool const digit = accepted && Digit(c) >= 0;
    unsigned int const multiplier = accepted ? Multiplier(c) : 0;
    unsigned int const marker = accepted ? Marker(c) : 0;
    bool const after_decimal = IsDecimalSeparator(previous_) && LatinDigit(before_previous_) >= 0;
    before_previous_ = previous_;
    previous_ = c;

    // Digits after a decimal point or a digit-group comma (1.5万, 1,000万)
    // are text, and so are the multipliers and markers right after them.
    if (literal_digits_ && (LatinDigit(c) >= 0 || multiplier != 0 || marker != 0)) {
        *out++ = c;
        return;
    }
    literal_digits_ = false;
    if (!in_number_ && after_decimal && LatinDigit(c) >= 0) {
        literal_digits_ = true;
        *out++ = c;
        return;
    }

    if (in_number_) {
        if (digit) {
            if (run_length_ < PlacesBelow(last_multiplier_)) {
                run_[run_length_++] = c;
                return;
            }
        } else if (multiplier != 0) {
            if (multiplier < last_multiplier_ && run_length_ <= 1) {
                group_ += (run_length_ == 1 ? RunValue() : 1) * multiplier;
                run_length_ = 0;
                last_multiplier_ = multiplier;
                structured_ = true;
                return;
            }
        } else if (marker != 0) {
            bool const has_group = run_length_ > 0 || last_multiplier_ != kNoMultiplier;
            if (has_group && (last_marker_ == 0 || marker < last_marker_)) {
                WriteGroup(group_ + RunValue(), marker, out);
                group_ = 0;
                run_length_ = 0;
                last_multiplier_ = kNoMultiplier;
                last_marker_ = marker;
                structured_ = true;
                return;
            }
        }
        // c cannot continue the number: it ends here, and c may start the next.
        EndNumber(out);
    }

    if (digit || multiplier != 0) {
        in_number_ = true;
        structured_ = multiplier != 0;
        written_ = false;
        owed_ = 0;
        last_marker_ = 0;
        group_ = multiplier;
        last_multiplier_ = multiplier != 0 ? multiplier : kNoMultiplier;
        run_length_ = 0;
        if (digit)
            run_[run_length_++] = c;
        return;
    }
    *out++ = c;  // text, and a group marker with no number before it
}

void ToLatinNumberTransform::WriteGroup(unsigned int value, unsigned int exponent,
                                        unsigned int *& out) {
    if (written_) {
        for (unsigned int place = exponent + 4; place < owed_; ++place)
            *out++ = '0';
    }
    for (unsigned int unit = 1000; unit != 0; unit /= 10) {
        unsigned int const d = value / unit % 10;
        if (d != 0 || written_) {
            *out++ = '0' + d;
            written_ = true;
        }
    }
    owed_ = exponent;
}

void ToLatinNumberTransform::EndNumber(unsigned int *& out) {
    if (!in_number_)
        return;
    in_number_ = false;
    if (!structured_) {
        // A bare run of digits: as written, with kanji digits made Latin.
        for (unsigned int i = 0; i < run_length_; ++i) {
            int const kanji = KanjiDigit(run_[i]);
            *out++ = kanji >= 0 ? '0' + static_cast<unsigned int>(kanji) : run_[i];
        }
        return;
    }
    if (run_length_ > 0 || last_multiplier_ != kNoMultiplier) {
        WriteGroup(group_ + RunValue(), 0, out);
    } else if (written_) {
        for (; owed_ > 0; --owed_)
            *out++ = '0';
    }
    if (!written_)
        *out++ = '0';
    owed_ = 0;
}
