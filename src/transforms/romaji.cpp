// Kana to romaji and romaji to kana.
//
// One syllable table serves both directions: each entry is a kana (or a kana
// and a small kana) with its Hepburn and its Kunrei-shiki spelling. Kana to
// romaji looks the held kana up with the small kana after it; romaji to kana
// is a finite-state machine over the letters read so far, whose states are
// the prefixes of the spellings in the table (both systems and a few input
// forms): a letter either extends a prefix, completes a syllable, or shows
// that no syllable starts here.
#include <map>
#include <set>
#include <string>
#include <utility>

#include "transforms/constructors.h"
#include "zuuc/transforms.h"

namespace {

// Room for one step of either direction: a held syllable with "n'" and a
// doubled consonant or "xtsu" before it, what is still held, and the unit
// that ended it (kana to romaji); up to four letters resolved into two kana
// each (romaji to kana).
unsigned int const kRomajiRoom = 20;

unsigned int const kSmallTsu = 0x3063;
unsigned int const kN = 0x3093;
unsigned int const kProlongedSound = 0x30FC;

struct Spelling {
    std::string hepburn;
    std::string kunrei;
};

// (kana << 16 | small kana or 0) -> spellings.
using SyllableTable = std::map<unsigned int, Spelling>;

unsigned int Key(unsigned int kana, unsigned int small) {
    return kana << 16 | small;
}

// The rows of the gojuon: consonant, then the kana for a, i, u, e, o (0
// where the row has none).
struct Row {
    char const * consonant;
    unsigned int kana[5];
};

Row const kRows[] = {
    {"", {0x3042, 0x3044, 0x3046, 0x3048, 0x304A}},
    {"k", {0x304B, 0x304D, 0x304F, 0x3051, 0x3053}},
    {"g", {0x304C, 0x304E, 0x3050, 0x3052, 0x3054}},
    {"s", {0x3055, 0x3057, 0x3059, 0x305B, 0x305D}},
    {"z", {0x3056, 0x3058, 0x305A, 0x305C, 0x305E}},
    {"t", {0x305F, 0x3061, 0x3064, 0x3066, 0x3068}},
    {"d", {0x3060, 0x3062, 0x3065, 0x3067, 0x3069}},
    {"n", {0x306A, 0x306B, 0x306C, 0x306D, 0x306E}},
    {"h", {0x306F, 0x3072, 0x3075, 0x3078, 0x307B}},
    {"b", {0x3070, 0x3073, 0x3076, 0x3079, 0x307C}},
    {"p", {0x3071, 0x3074, 0x3077, 0x307A, 0x307D}},
    {"m", {0x307E, 0x307F, 0x3080, 0x3081, 0x3082}},
    {"y", {0x3084, 0, 0x3086, 0, 0x3088}},
    {"r", {0x3089, 0x308A, 0x308B, 0x308C, 0x308D}},
    {"w", {0x308F, 0x3090, 0, 0x3091, 0x3092}},
};
char const kVowels[] = "aiueo";

// Kana whose spelling is not consonant + vowel: Hepburn, Kunrei-shiki.
struct Exception {
    unsigned int kana;
    char const * hepburn;
    char const * kunrei;
};
Exception const kExceptions[] = {
    {0x3057, "shi", "si"}, {0x3058, "ji", "zi"}, {0x3061, "chi", "ti"}, {0x3064, "tsu", "tu"},
    {0x3062, "ji", "zi"},  {0x3065, "zu", "zu"}, {0x3075, "fu", "hu"},  {0x3090, "i", "i"},
    {0x3091, "e", "e"},    {0x3092, "o", "o"},
};

// The stem of a yoon (kana of the i column + small ya, yu, yo) where it is
// not the row's consonant + "y".
struct YoonStem {
    unsigned int kana;
    char const * hepburn;
    char const * kunrei;
};
YoonStem const kYoonStems[] = {
    {0x3057, "sh", "sy"}, {0x3058, "j", "zy"}, {0x3061, "ch", "ty"}, {0x3062, "j", "zy"}};

// Kana followed by a small vowel that spell sounds outside the gojuon; the
// same spelling in both systems.
struct Pair {
    unsigned int kana;
    unsigned int small;
    char const * romaji;
};
Pair const kPairs[] = {
    {0x3075, 0x3041, "fa"},  {0x3075, 0x3043, "fi"},  {0x3075, 0x3047, "fe"},
    {0x3075, 0x3049, "fo"},  {0x3094, 0x3041, "va"},  {0x3094, 0x3043, "vi"},
    {0x3094, 0x3047, "ve"},  {0x3094, 0x3049, "vo"},  {0x3046, 0x3043, "wi"},
    {0x3046, 0x3047, "we"},  {0x3044, 0x3047, "ye"},  {0x3064, 0x3041, "tsa"},
    {0x3064, 0x3043, "tsi"}, {0x3064, 0x3047, "tse"}, {0x3064, 0x3049, "tso"},
};

// Small kana on their own, and the rest.
Pair const kSingles[] = {
    {0x3041, 0, "xa"},  {0x3043, 0, "xi"},  {0x3045, 0, "xu"},  {0x3047, 0, "xe"},
    {0x3049, 0, "xo"},  {0x3083, 0, "xya"}, {0x3085, 0, "xyu"}, {0x3087, 0, "xyo"},
    {0x308E, 0, "xwa"}, {0x3095, 0, "xka"}, {0x3096, 0, "xke"}, {0x3094, 0, "vu"},
    {0x3093, 0, "n"},
};

// Katakana with no hiragana of their own (ヷ ヸ ヹ ヺ), kept under their own
// code point.
Pair const kKatakanaOnly[] = {
    {0x30F7, 0, "va"}, {0x30F8, 0, "vi"}, {0x30F9, 0, "ve"}, {0x30FA, 0, "vo"}};

SyllableTable BuildSyllables() {
    SyllableTable table;
    for (Row const & row : kRows) {
        for (int v = 0; v < 5; ++v) {
            if (row.kana[v] == 0)
                continue;
            std::string const romaji = std::string(row.consonant) + kVowels[v];
            table[Key(row.kana[v], 0)] = {romaji, romaji};
        }
    }
    for (Exception const & e : kExceptions)
        table[Key(e.kana, 0)] = {e.hepburn, e.kunrei};
    // Yoon: the i column of every row with a consonant, with ya, yu, yo (and
    // ye for the sh, j and ch stems).
    unsigned int const smalls[] = {0x3083, 0x3085, 0x3087, 0x3047};
    char const * const small_vowels = "auoe";
    for (Row const & row : kRows) {
        std::string const consonant = row.consonant;
        if (consonant.empty() || consonant == "y" || consonant == "w")
            continue;
        unsigned int const kana = row.kana[1];
        Spelling stem = {consonant + "y", consonant + "y"};
        bool with_e = false;
        for (YoonStem const & s : kYoonStems) {
            if (s.kana == kana)
                stem = {s.hepburn, s.kunrei}, with_e = true;
        }
        for (int i = 0; i < (with_e ? 4 : 3); ++i)
            table[Key(kana, smalls[i])] = {stem.hepburn + small_vowels[i],
                                           stem.kunrei + small_vowels[i]};
    }
    for (Pair const & p : kPairs)
        table[Key(p.kana, p.small)] = {p.romaji, p.romaji};
    for (Pair const & p : kSingles)
        table[Key(p.kana, 0)] = {p.romaji, p.romaji};
    for (Pair const & p : kKatakanaOnly)
        table[Key(p.kana, 0)] = {p.romaji, p.romaji};
    return table;
}

SyllableTable const & Syllables() {
    static SyllableTable const table = BuildSyllables();
    return table;
}

Spelling const * Find(unsigned int kana, unsigned int small) {
    SyllableTable const & table = Syllables();
    auto const it = table.find(Key(kana, small));
    return it == table.end() ? nullptr : &it->second;
}

// The kana to read a romaji kana as: hiragana, and ヷ-ヺ as themselves.
unsigned int AsHiragana(unsigned int c) {
    if (c >= 0x30A1 && c <= 0x30F6)
        return c - 0x60;  // ヵ ヶ to the small ゕ ゖ
    return c;
}

bool IsKana(unsigned int h) {
    return (h >= 0x3041 && h <= 0x3096) || (h >= 0x30F7 && h <= 0x30FA) || h == kProlongedSound;
}

bool IsSmallVowelOrY(unsigned int h) {
    return h == 0x3041 || h == 0x3043 || h == 0x3045 || h == 0x3047 || h == 0x3049 || h == 0x3083 ||
           h == 0x3085 || h == 0x3087;
}

bool IsVowel(char c) {
    return c == 'a' || c == 'i' || c == 'u' || c == 'e' || c == 'o';
}

void WriteAscii(char const * text, unsigned int *& out) {
    while (*text != '\0')
        *out++ = static_cast<unsigned char>(*text++);
}

// --- The romaji machine ----------------------------------------------------------

struct RomajiMachine {
    std::map<std::string, std::u32string> syllables;  // spelling -> hiragana
    std::set<std::string> prefixes;                   // proper prefixes of spellings

    void Add(std::string const & romaji, std::u32string const & kana) {
        if (!syllables.emplace(romaji, kana).second)
            return;  // the first reading wins
        for (std::size_t n = 1; n < romaji.size(); ++n)
            prefixes.insert(romaji.substr(0, n));
    }
};

RomajiMachine BuildMachine() {
    RomajiMachine machine;
    // Both spellings of every syllable, in table order (so "ji" reads じ,
    // not ぢ, and "o" お, not を).
    for (auto const & entry : Syllables()) {
        unsigned int const kana = entry.first >> 16;
        unsigned int const small = entry.first & 0xFFFF;
        if (kana == kN || kana >= 0x30F7)
            continue;  // n has rules of its own
        std::u32string text(1, static_cast<char32_t>(kana));
        if (small != 0)
            text += static_cast<char32_t>(small);
        machine.Add(entry.second.hepburn, text);
        machine.Add(entry.second.kunrei, text);
    }
    // Input spellings that kana-to-romaji does not write.
    machine.Add("wo", U"\u3092");
    machine.Add("di", U"\u3062");
    machine.Add("du", U"\u3065");
    machine.Add("dya", U"\u3062\u3083");
    machine.Add("dyu", U"\u3062\u3085");
    machine.Add("dyo", U"\u3062\u3087");
    machine.Add("jya", U"\u3058\u3083");
    machine.Add("jyu", U"\u3058\u3085");
    machine.Add("jyo", U"\u3058\u3087");
    machine.Add("xtsu", U"\u3063");
    machine.Add("xtu", U"\u3063");
    return machine;
}

RomajiMachine const & Machine() {
    static RomajiMachine const machine = BuildMachine();
    return machine;
}

bool IsLetter(unsigned int c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(unsigned int c) {
    return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
}

// Consonants whose doubling writes a small tsu (kk, ss, tt, ...).
bool Doubles(char c) {
    return c != 'n' && c != 'x' && c != 'l' && c != 'q' && !IsVowel(c);
}

}  // namespace

// ===========================================================================
// Kana to romaji
// ===========================================================================

KanaToRomajiTransform::KanaToRomajiTransform(Char32Source & source, bool hepburn,
                                             CharacterTest const * test)
    : UnicodeTransform(source, test), hepburn_(hepburn) {}
KanaToRomajiTransform::KanaToRomajiTransform(Char16Source & source, bool hepburn,
                                             CharacterTest const * test)
    : UnicodeTransform(source, test), hepburn_(hepburn) {}
KanaToRomajiTransform::~KanaToRomajiTransform() = default;

KanaToHebonRomajiTransform::KanaToHebonRomajiTransform(Char32Source & source,
                                                       CharacterTest const * test)
    : KanaToRomajiTransform(source, true, test) {}
KanaToHebonRomajiTransform::KanaToHebonRomajiTransform(Char16Source & source,
                                                       CharacterTest const * test)
    : KanaToRomajiTransform(source, true, test) {}
KanaToHebonRomajiTransform::~KanaToHebonRomajiTransform() = default;

KanaToKunreiRomajiTransform::KanaToKunreiRomajiTransform(Char32Source & source,
                                                         CharacterTest const * test)
    : KanaToRomajiTransform(source, false, test) {}
KanaToKunreiRomajiTransform::KanaToKunreiRomajiTransform(Char16Source & source,
                                                         CharacterTest const * test)
    : KanaToRomajiTransform(source, false, test) {}
KanaToKunreiRomajiTransform::~KanaToKunreiRomajiTransform() = default;

bool KanaToRomajiTransform::FillBuffer() {
    return Fill(
        kRomajiRoom, [this](unsigned int c, unsigned int *& out) { Step(c, out); },
        [this](unsigned int *& out) { Flush(out); });
}

void KanaToRomajiTransform::Step(unsigned int c, unsigned int *& out) {
    unsigned int const h = AsHiragana(c);
    if (!IsKana(h) || !Accepts(c)) {
        Flush(out);
        last_vowel_ = 0;
        *out++ = c;
        return;
    }
    if (held_ != 0) {
        unsigned int const kana = held_;
        held_ = 0;
        Spelling const * joined = IsSmallVowelOrY(h) ? Find(kana, h) : nullptr;
        if (joined != nullptr) {
            WriteSyllable((hepburn_ ? joined->hepburn : joined->kunrei).c_str(), out);
            return;
        }
        Spelling const * alone = Find(kana, 0);
        WriteSyllable((hepburn_ ? alone->hepburn : alone->kunrei).c_str(), out);
    }
    if (h == kSmallTsu) {
        if (sokuon_)
            Flush(out);  // a second small tsu: the first stands alone
        sokuon_ = true;
    } else if (h == kN) {
        Flush(out);
        n_held_ = true;
    } else if (h == kProlongedSound) {
        bool const after_syllable = !n_held_ && !sokuon_ && last_vowel_ != 0;
        Flush(out);
        *out++ = after_syllable ? last_vowel_ : '-';
    } else {
        held_ = h;
    }
}

void KanaToRomajiTransform::WriteSyllable(char const * romaji, unsigned int *& out) {
    if (n_held_) {
        *out++ = 'n';
        if (IsVowel(romaji[0]) || romaji[0] == 'y')
            *out++ = '\'';
        n_held_ = false;
    }
    if (sokuon_) {
        if (IsVowel(romaji[0]) || romaji[0] == 'x') {
            WriteAscii(hepburn_ ? "xtsu" : "xtu", out);
        } else {
            // Hepburn writes the small tsu before ch as t (matcha).
            *out++ = hepburn_ && romaji[0] == 'c' ? 't' : static_cast<unsigned char>(romaji[0]);
        }
        sokuon_ = false;
    }
    WriteAscii(romaji, out);
    char const last = romaji[std::char_traits<char>::length(romaji) - 1];
    last_vowel_ = IsVowel(last) ? static_cast<unsigned char>(last) : 0;
}

void KanaToRomajiTransform::Flush(unsigned int *& out) {
    if (held_ != 0) {
        Spelling const * alone = Find(held_, 0);
        held_ = 0;
        WriteSyllable((hepburn_ ? alone->hepburn : alone->kunrei).c_str(), out);
    }
    if (n_held_)
        *out++ = 'n';
    if (sokuon_)
        WriteAscii(hepburn_ ? "xtsu" : "xtu", out);
    if (n_held_ || sokuon_)
        last_vowel_ = 0;
    n_held_ = false;
    sokuon_ = false;
}

// ===========================================================================
// Romaji to kana
// ===========================================================================

RomajiToKanaTransform::RomajiToKanaTransform(Char32Source & source, CharacterTest const * test,
                                             bool katakana)
    : UnicodeTransform(source, test), katakana_(katakana) {}
RomajiToKanaTransform::RomajiToKanaTransform(Char16Source & source, CharacterTest const * test,
                                             bool katakana)
    : UnicodeTransform(source, test), katakana_(katakana) {}
RomajiToKanaTransform::~RomajiToKanaTransform() = default;

ZUUC_TRANSFORM_CONSTRUCTORS(RomajiToHiraganaTransform, RomajiToKanaTransform, , false)

ZUUC_TRANSFORM_CONSTRUCTORS(RomajiToKatakanaTransform, RomajiToKanaTransform, , true)

bool RomajiToKanaTransform::FillBuffer() {
    return Fill(
        kRomajiRoom, [this](unsigned int c, unsigned int *& out) { Step(c, out); },
        [this](unsigned int *& out) { Resolve(true, out); });
}

void RomajiToKanaTransform::Step(unsigned int c, unsigned int *& out) {
    if (!IsLetter(c) || !Accepts(c)) {
        if (c == '\'' && pending_length_ == 1 && Lower(pending_[0]) == 'n') {
            WriteKana(kN, out);  // n' is n before a vowel or y
            pending_length_ = 0;
            return;
        }
        Resolve(true, out);
        *out++ = c;
        return;
    }
    pending_[pending_length_++] = c;
    Resolve(false, out);
}

// Turns the pending letters into kana as far as they are settled; at the end
// of a run of letters, everything is settled.
void RomajiToKanaTransform::Resolve(bool at_end, unsigned int *& out) {
    RomajiMachine const & machine = Machine();
    while (pending_length_ > 0) {
        std::string key;
        for (unsigned int i = 0; i < pending_length_; ++i)
            key += Lower(pending_[i]);
        auto const syllable = machine.syllables.find(key);
        if (syllable != machine.syllables.end()) {
            for (char32_t kana : syllable->second)
                WriteKana(static_cast<unsigned int>(kana), out);
            pending_length_ = 0;
            return;
        }
        if (!at_end && machine.prefixes.count(key) != 0)
            return;  // wait for more letters
        bool const doubled = key.size() >= 2 && ((key[0] == key[1] && Doubles(key[0])) ||
                                                 (key[0] == 't' && key[1] == 'c'));
        if (key[0] == 'n') {
            WriteKana(kN, out);  // n before a consonant or at the end
        } else if (doubled && !at_end) {
            if (key.size() == 2)
                return;  // kk, tch ...: a small tsu if a syllable follows
            WriteKana(kSmallTsu, out);
        } else {
            *out++ = pending_[0];  // no syllable starts with this letter here
        }
        Drop(1);
    }
}

void RomajiToKanaTransform::Drop(unsigned int count) {
    for (unsigned int i = count; i < pending_length_; ++i)
        pending_[i - count] = pending_[i];
    pending_length_ -= count;
}

void RomajiToKanaTransform::WriteKana(unsigned int kana, unsigned int *& out) const {
    if (katakana_) {
        if (kana == 0x3095 || kana == 0x3096) {
            kana += 0x30F5 - 0x3095;  // the small ka and ke
        } else if (kana >= 0x3041 && kana <= 0x3094) {
            kana += 0x60;
        }
    }
    *out++ = kana;
}
