// The encoding-aware constructors and assign overloads of the string classes.
#include "zuuc/behavior.h"
#include "zuuc/char_encoding.h"
#include "zuuc/exceptions.h"
#include "zuuc/problems.h"
#include "zuuc/sbcs_encoding.h"
#include "zuuc/strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

// A UTF-16 string from code points; the units of any string as numbers.
zu_wstring U16(std::vector<unsigned int> const & cps) {
    std::vector<unsigned short> units;
    for (unsigned int c : cps) {
        if (c >= 0x10000) units.push_back(static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10)));
        units.push_back(static_cast<unsigned short>(c >= 0x10000 ? 0xDC00 + (c & 0x3FF) : c));
    }
    return zu_wstring(units.data(), static_cast<unsigned>(units.size()));
}
template <class S>
std::vector<unsigned int> Units(S const & s) { return {s.data(), s.data() + s.size()}; }
std::string Bytes(zu_string const & s) { return {s.data(), s.size()}; }

// Every table-driven encoding writes and reads back a text through all three
// classes: a Latin one, or for the few without Latin letters a Japanese one
// or the encoding's own symbols for "ABab". Each encoding module also
// round-trips a text in its own scripts.
TEST(StringConversion, EveryCatalogueEncodingRoundTrips) {
    zu_wstring const latin = U16({'T', 'h', 'e', ' ', 'f', 'o', 'x', ' ', '0', '1', '9', '.'});
    zu_wstring const japanese = U16({0x65E5, 0x672C, 0x3042, 0x30A2});
    std::map<std::string, int> per_library;
    for (unsigned int i = 0; i < CharEncoding::Count(); ++i) {
        CharEncoding & encoding = *CharEncoding::Lookup(i);
        if (encoding.LibraryName() == nullptr) continue;
        ++per_library[encoding.LibraryName()];
        auto round_trips = [&](zu_wstring const & text) {
            zu_string const bytes(text, encoding);
            return !bytes.empty() && Units(zu_wstring(bytes, encoding)) == Units(text) &&
                   Units(zu_utf32_string(bytes, encoding)) == Units(text);
        };
        zu_wstring const symbols("ABab", encoding);
        std::vector<unsigned int> const own = Units(symbols);
        bool const has_symbols = own.size() == 4 && std::find(own.begin(), own.end(), 0xFFFDu) == own.end();
        EXPECT_TRUE(round_trips(latin) || round_trips(japanese) || (has_symbols && round_trips(symbols)))
            << encoding.Name();
    }
    EXPECT_EQ(per_library.size(), 5u);

    struct Native {
        char const * encoding;
        std::vector<unsigned int> text;
    };
    Native const natives[] = {
        {"ISO-8859-7", {0x0395, 0x03BB, 0x03BB, 0x03AC, 0x03B4, 0x03B1}},          // zulat421
        {"windows-1251", {0x041F, 0x0440, 0x0438, 0x0432, 0x0435, 0x0442}},        // zurow421
        {"Shift_JIS", {0x65E5, 0x672C, 0x8A9E, 0x30C6, 0x30AD, 0x30B9, 0x30C8}},    // zujpn421
        {"ISO-2022-JP", {'a', 0x65E5, 0x672C, 'b', 0x3042}},
        {"EUC-KR", {0xD55C, 0xAD6D, 0xC5B4, ' ', 'A'}},                             // zukor421
        {"Big5", {0x4E2D, 0x6587, 0x5B57}},                                         // zuchi421
        {"GB18030", {0x4E2D, 0x6587, 0x20AC, 0x1F600}},
    };
    for (Native const & native : natives) {
        CharEncoding & encoding = *CharEncoding::Lookup(native.encoding);
        zu_wstring const text = U16(native.text);
        zu_string bytes(text.data(), text.data() + text.size(), encoding);
        EXPECT_EQ(Units(zu_wstring(bytes.data(), bytes.size(), encoding)), Units(text)) << native.encoding;
        EXPECT_EQ(Units(zu_utf32_string(bytes.data(), bytes.data() + bytes.size(), encoding)), native.text)
            << native.encoding;
    }
}

TEST(StringConversion, EdgeCases) {
    zu_wstring w = U16({'x'});
    EXPECT_TRUE(w.assign(static_cast<char const *>(nullptr), CharEncoding::ISOLatin1()).empty());
    EXPECT_EQ(w.capacity(), 0u);
    EXPECT_TRUE(zu_string(static_cast<unsigned short const *>(nullptr), 5u, CharEncoding::UTF8()).empty());
    EXPECT_TRUE(zu_utf32_string(static_cast<unsigned short const *>(nullptr)).empty());

    char const latin1[] = "\x41\xE9\xFF\x80";
    EXPECT_EQ(Units(zu_wstring(latin1, CharEncoding::ISOLatin1())), (std::vector<unsigned int>{0x41, 0xE9, 0xFF, 0x80}));

    // Unmappable bytes become U+FFFD; unmappable characters the substitute.
    char const bad_utf8[] = "a\xFF" "b";
    EXPECT_EQ(Units(zu_wstring(bad_utf8, CharEncoding::UTF8())), (std::vector<unsigned int>{'a', 0xFFFD, 'b'}));
    zu_wstring const kanji = U16({'a', 0x65E5});
    unsigned char const * substitute = nullptr;
    unsigned int const n = CharEncoding::ISOLatin1().SubstituteChars(substitute, 0);
    EXPECT_EQ(Bytes(zu_string(kanji, CharEncoding::ISOLatin1())),
              "a" + std::string(reinterpret_cast<char const *>(substitute), n));

    zu_wstring const pair = U16({'a', 0x1F600, 'b'});
    EXPECT_EQ(Units(zu_utf32_string(pair)), (std::vector<unsigned int>{'a', 0x1F600, 'b'}));
    EXPECT_EQ(Units(zu_utf32_string(pair.c_str())), (std::vector<unsigned int>{'a', 0x1F600, 'b'}));
    EXPECT_EQ(Units(zu_utf32_string(pair.data(), 3u)), (std::vector<unsigned int>{'a', 0x1F600}));
    // An embedded 0 is converted when a length is given, ends the text otherwise.
    char const with_nul[] = {'a', 0, 'b'};
    EXPECT_EQ(zu_wstring(with_nul, 3u, CharEncoding::UTF8()).size(), 3u);
    EXPECT_EQ(zu_wstring(with_nul, CharEncoding::UTF8()).size(), 1u);
    EXPECT_EQ(Units(zu_utf32_string(zu_string("\xC3\xA9", 2u), CharEncoding::UTF8())), (std::vector<unsigned int>{0xE9}));
}

// A behaviour that refuses every problem.
class Refusing : public UnicodeLibBehavior {
public:
    Refusing() : UnicodeLibBehavior(false) {}
    void HandleExternalToInternalConversionProblem(CharToChar16ConversionProblem &) override { Refuse(); }
    void HandleInternalToExternalConversionProblem(Char16ToCharConversionProblem &) override { Refuse(); }
    void HandleCharToChar32ConversionProblem(CharToChar32ConversionProblem &) override { Refuse(); }
    void HandleChar16ToChar32ConversionProblem(Char16ToChar32ConversionProblem &) override { Refuse(); }
    void HandleChar32ToCharConversionProblem(Char32ToCharConversionProblem &) override { Refuse(); }
    void HandleChar32ToChar16ConversionProblem(Char32ToChar16ConversionProblem &) override { Refuse(); }

private:
    [[noreturn]] static void Refuse() { throw UnicodeLibraryException(); }
};

class DefaultBehaviorScope {
public:
    explicit DefaultBehaviorScope(UnicodeLibBehavior * b) : old_(UnicodeLibBehavior::SetDefaultBehavior(b)) {}
    ~DefaultBehaviorScope() { UnicodeLibBehavior::SetDefaultBehavior(old_); }

private:
    UnicodeLibBehavior * old_;
};

// A conversion that throws half-way leaves the string as it was.
TEST(StringConversion, ThrowingConversionLeavesTheStringUnchanged) {
    Refusing refusing;
    DefaultBehaviorScope scope(&refusing);
    std::string const long_text(5000, 'x');
    std::string const bad = long_text + "\xFF";  // the problem comes after many units

    zu_wstring w = U16({'k', 'e', 'e', 'p'});
    EXPECT_THROW(w.assign(bad.c_str(), CharEncoding::UTF8()), UnicodeLibraryException);
    EXPECT_EQ(Units(w), Units(U16({'k', 'e', 'e', 'p'})));
    zu_utf32_string u(U16({'k'}));
    EXPECT_THROW(u.assign(bad.data(), bad.data() + bad.size(), CharEncoding::UTF8()), UnicodeLibraryException);
    EXPECT_EQ(Units(u), std::vector<unsigned int>{'k'});
    unsigned short const lone[] = {'a', 0xD800, 'b', 0};
    EXPECT_THROW(u.assign(lone), UnicodeLibraryException);
    EXPECT_EQ(Units(u), std::vector<unsigned int>{'k'});
    zu_string b("keep");
    EXPECT_THROW(b.assign(U16({'a', 0x65E5}), CharEncoding::ISOLatin1()), UnicodeLibraryException);
    EXPECT_EQ(Bytes(b), "keep");
    EXPECT_THROW(zu_wstring(bad.c_str(), CharEncoding::UTF8()), UnicodeLibraryException);
    // Without a problem the same behaviour converts normally.
    EXPECT_EQ(w.assign(long_text.c_str(), CharEncoding::UTF8()).size(), 5000u);
}

}  // namespace
