#include "zuuc/strings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "zuuc/behavior.h"
#include "zuuc/char_encoding.h"
#include "zuuc/exceptions.h"
#include "zuuc/problems.h"
#include "zuuc/sbcs_encoding.h"

// Behaviour of zu_string, zu_wstring and zu_utf32_string, run for all three
// widths.
namespace {

template <class S>
using Unit = std::remove_const_t<std::remove_pointer_t<decltype(S().data())>>;

// A string of the width of S from an ASCII text of n bytes (may hold 0s).
template <class S>
S Make(char const * ascii, unsigned n) {
    std::vector<Unit<S>> units(ascii, ascii + n);
    return S(units.data(), n);
}

template <class S>
S Make(char const * ascii) {
    return Make<S>(ascii, static_cast<unsigned>(std::strlen(ascii)));
}

template <class S>
bool Holds(S const & s, char const * ascii) {
    return s.compare(Make<S>(ascii)) == 0 && s.size() == std::strlen(ascii);
}

template <class S>
class StringTest : public ::testing::Test {};

using StringTypes = ::testing::Types<zu_string, zu_wstring, zu_utf32_string>;
struct StringName {
    template <class S>
    static std::string GetName(int) {
        return sizeof(Unit<S>) == 1   ? "zu_string"
               : sizeof(Unit<S>) == 2 ? "zu_wstring"
                                      : "zu_utf32_string";
    }
};
TYPED_TEST_SUITE(StringTest, StringTypes, StringName);

TYPED_TEST(StringTest, EmptyStringsOwnNoRecord) {
    using S = TypeParam;
    using T = Unit<S>;
    T const text[] = {'x', 0};
    S const made[] = {S(), S(static_cast<T const *>(nullptr)), S(text, 0), S(text + 1),
                      S(static_cast<T const *>(nullptr), 5)};
    for (S const & s : made) {
        EXPECT_TRUE(s.empty());
        EXPECT_EQ(0u, s.capacity());
        EXPECT_EQ(T(0), s.data()[0]);
        EXPECT_EQ(T(0), s.c_str()[0]);
        EXPECT_EQ(0u, s.capacity()) << "c_str of an empty string must not allocate";
    }

    // Every way of reaching length 0 releases the record.
    S s = Make<S>("abcdef");
    s.erase(0, S::npos);
    EXPECT_EQ(0u, s.capacity());
    s = Make<S>("abc");
    s.assign(text, 0);
    EXPECT_EQ(0u, s.capacity());
    S const sub(Make<S>("abc"), 3, 2);
    EXPECT_EQ(0u, sub.capacity());
}

TYPED_TEST(StringTest, GrowthFollowsRequiredLength) {
    using S = TypeParam;
    using T = Unit<S>;
    S s;
    std::vector<unsigned> capacities;
    for (int i = 0; i < 7; ++i) {
        s += T('a' + i);
        capacities.push_back(s.capacity());
    }
    EXPECT_EQ((std::vector<unsigned>{1, 3, 3, 6, 6, 6, 11}), capacities);
    EXPECT_TRUE(Holds(s, "abcdefg"));

    // Copies and constructors are exact; assignment to an empty string grows.
    EXPECT_EQ(7u, S(s).capacity());
    S copy;
    copy = s;
    EXPECT_EQ(7u, copy.capacity());
    EXPECT_EQ(5u, Make<S>("hello").capacity());
    S assigned;
    assigned.assign(s.data(), 5);
    EXPECT_EQ(8u, assigned.capacity());  // 5 * 1.6180339 = 8.09
    assigned.assign(s.data(), 2);        // fits: no new block
    EXPECT_EQ(8u, assigned.capacity());
    EXPECT_TRUE(Holds(assigned, "ab"));

    // c_str makes room for exactly one terminator, only when needed.
    S exact = Make<S>("abc");
    T const * z = exact.c_str();
    EXPECT_EQ(4u, exact.capacity());
    EXPECT_EQ(T(0), z[3]);
    EXPECT_TRUE(Holds(exact, "abc"));
    s.c_str();
    EXPECT_EQ(11u, s.capacity());
    EXPECT_EQ(T(0), s.c_str()[7]);
}

// A string's own units as the source of an append or assign, with and
// without spare room (without, the append must grow away from the units it
// reads), and with counts that reach past its units: the range stops at the
// string's end, and the stale units in the spare room are never read.
TYPED_TEST(StringTest, OwnUnitsAsSource) {
    using S = TypeParam;
    struct Case {
        char const * name;
        void (*op)(S &);
        char const * expected;
    };
    Case const cases[] = {
        {"s += s", [](S & s) { s += s; }, "hellohello"},
        {"assign(s)", [](S & s) { s.assign(s); }, "hello"},
        {"s = alias", [](S & s) { s = static_cast<S const &>(s); }, "hello"},
        {"assign own data, 0", [](S & s) { s.assign(s.data(), 0); }, "hello"},
        {"assign own data, 2", [](S & s) { s.assign(s.data(), 2); }, "hello"},
        {"assign own data, 99", [](S & s) { s.assign(s.data(), 99); }, "hello"},
        {"assign tail, 3", [](S & s) { s.assign(s.data() + 2, 3); }, "llo"},
        {"assign tail, 99", [](S & s) { s.assign(s.data() + 1, 99); }, "ello"},
        {"assign end, 3", [](S & s) { s.assign(s.data() + 5, 3); }, ""},
        {"append middle, 3", [](S & s) { s.append(s.data() + 1, 3); }, "helloell"},
        {"append own data, 99", [](S & s) { s.append(s.data(), 99); }, "hellohello"},
        {"append tail, 99", [](S & s) { s.append(s.data() + 3, 99); }, "hellolo"},
        {"append end, 3", [](S & s) { s.append(s.data() + 5, 3); }, "hello"},
    };
    for (Case const & c : cases) {
        for (bool spare : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (spare ? ", spare room" : ", no spare room"));
            S s = Make<S>(spare ? "helloSTALE" : "hello");
            if (spare) {
                s.erase(5, 5);
            }
            c.op(s);
            EXPECT_TRUE(Holds(s, c.expected));
        }
    }
    S s = Make<S>("abc");
    s += s;
    EXPECT_EQ(9u, s.capacity());
    S u = Make<S>("abcd");
    u.c_str();  // spare room of one unit, not enough for the range
    u.append(u.data(), 4);
    EXPECT_TRUE(Holds(u, "abcdabcd"));
    // An empty string's own data is nothing to read.
    S e;
    e.assign(e.data(), 5);
    e.append(e.data(), 5);
    EXPECT_TRUE(e.empty());
    EXPECT_EQ(0u, e.capacity());
}

TYPED_TEST(StringTest, Find) {
    using S = TypeParam;
    S const hay = Make<S>("aaab\0ab", 7);
    EXPECT_EQ(0u, hay.find(S(), 0));
    EXPECT_EQ(42u, S().find(S(), 42));
    EXPECT_EQ(S::npos, S().find(Make<S>("a"), 0));
    EXPECT_EQ(S::npos, Make<S>("ab").find(Make<S>("abc"), 0));
    EXPECT_EQ(1u, hay.find(Make<S>("aab"), 0));  // needs a restart after a partial match
    EXPECT_EQ(5u, hay.find(Make<S>("ab"), 3));   // last possible position
    EXPECT_EQ(3u, hay.find(Make<S>("b\0a", 3), 0));
    EXPECT_EQ(S::npos, hay.find(Make<S>("ab"), 6));
    EXPECT_EQ(S::npos, hay.find(Make<S>("ab"), S::npos));
    EXPECT_EQ(S::npos, hay.find(Make<S>("ba"), 0));
}

TYPED_TEST(StringTest, Compare) {
    using S = TypeParam;
    using T = Unit<S>;
    EXPECT_GT(Make<S>("abc").compare(Make<S>("ab")), 0);
    EXPECT_EQ(-1, Make<S>("ab").compare(Make<S>("abc")));
    EXPECT_EQ(0, S().compare(S()));
    EXPECT_EQ(-1, S().compare(Make<S>("a")));
    EXPECT_EQ(1, Make<S>("a").compare(S()));
    EXPECT_LT(Make<S>("abc").compare(Make<S>("abd")), 0);
    EXPECT_EQ(0, Make<S>("abc").compare(Make<S>("abc")));
    // Comparison stops at a 0 unit inside the common length.
    EXPECT_EQ(0, Make<S>("a\0b", 3).compare(Make<S>("a\0c", 3)));
    EXPECT_EQ(1, Make<S>("a\0b", 3).compare(Make<S>("a\0", 2)));
    // Units compare as unsigned numbers, whatever the width.
    T const high[] = {static_cast<T>(~T(0))};
    T const low[] = {1};
    EXPECT_GT(S(high, 1).compare(S(low, 1)), 0);
    EXPECT_LT(S(low, 1).compare(S(high, 1)), 0);
}

TYPED_TEST(StringTest, Erase) {
    using S = TypeParam;
    S s = Make<S>("abcdef");
    EXPECT_THROW(s.erase(6, 1), zu_out_of_range);
    EXPECT_THROW(S().erase(0, 0), zu_out_of_range);
    EXPECT_TRUE(Holds(s, "abcdef"));
    s.erase(1, 2);
    EXPECT_TRUE(Holds(s, "adef"));
    EXPECT_EQ(6u, s.capacity());
    s.erase(2, 0);
    EXPECT_TRUE(Holds(s, "adef"));
    s.erase(2, S::npos);
    EXPECT_TRUE(Holds(s, "ad"));
    s.erase();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(0u, s.capacity());
}

TYPED_TEST(StringTest, SubstringAndCopy) {
    using S = TypeParam;
    using T = Unit<S>;
    S const s = Make<S>("abcdef");
    EXPECT_THROW(S(s, 7, 1), zu_out_of_range);
    EXPECT_TRUE(S(s, 6, 1).empty());
    EXPECT_TRUE(Holds(S(s, 2, 3), "cde"));
    EXPECT_EQ(3u, S(s, 2, 3).capacity());
    EXPECT_TRUE(Holds(S(s, 4, S::npos), "ef"));
    S const whole(s, 0, S::npos);
    EXPECT_TRUE(Holds(whole, "abcdef"));
    EXPECT_EQ(6u, whole.capacity());

    T buffer[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(2u, s.copy(buffer, 5, 4));
    EXPECT_EQ(T('e'), buffer[0]);
    EXPECT_EQ(T('f'), buffer[1]);
    EXPECT_EQ(T(9), buffer[2]);  // no terminator
    EXPECT_EQ(0u, s.copy(buffer, 5, 6));
    EXPECT_THROW(s.copy(buffer, 1, 7), zu_out_of_range);
    EXPECT_EQ(0u, S().copy(buffer, 5, 3));
}

TYPED_TEST(StringTest, UnitAccess) {
    using S = TypeParam;
    using T = Unit<S>;
    S s = Make<S>("abc");
    S const & cs = s;
    EXPECT_EQ(T('b'), cs[1]);
    EXPECT_EQ(T('c'), cs.at(2));
    s[0] = T('x');
    s.at(1) = T('y');
    EXPECT_TRUE(Holds(s, "xyc"));
    EXPECT_THROW(cs.at(3), zu_out_of_range);
    EXPECT_THROW(s[3], zu_out_of_range);
    EXPECT_THROW(cs[S::npos], zu_out_of_range);
    EXPECT_THROW(S()[0], zu_out_of_range);
    try {
        S().at(0);
        FAIL() << "no exception";
    } catch (zu_exception const & e) {
        EXPECT_STREQ("zu_out_of_range", e.what());
    }
}

TYPED_TEST(StringTest, AppendAssignAndConcatenate) {
    using S = TypeParam;
    using T = Unit<S>;
    T const tail[] = {'d', 'e', 0};
    S s = Make<S>("abc");
    EXPECT_TRUE(Holds(s + tail, "abcde"));
    EXPECT_TRUE(Holds(s + T('!'), "abc!"));
    EXPECT_TRUE(Holds(s, "abc"));
    s += static_cast<T const *>(nullptr);
    s += S();
    EXPECT_TRUE(Holds(s, "abc"));
    s = tail;
    EXPECT_TRUE(Holds(s, "de"));
    s.assign(Make<S>("longer than before"));
    EXPECT_TRUE(Holds(s, "longer than before"));
    s.assign(static_cast<T const *>(nullptr));
    EXPECT_TRUE(s.empty());
}

TEST(ZuString, ConvertsFromCharPointer) {
    zu_string const a = "abc";
    zu_string const b = "abc" + a;  // the left operand converts as well
    EXPECT_STREQ("abcabc", b.c_str());
    EXPECT_EQ(zu_string::npos, 0xFFFFFFFFu);
    // Bytes above 0x7F compare as unsigned.
    EXPECT_GT(zu_string("\xE9").compare(zu_string("a")), 0);
}

// The encoding-aware constructors and assign overloads of the string classes.

// A UTF-16 string from code points; the units of any string as numbers.
zu_wstring U16(std::vector<unsigned int> const & cps) {
    std::vector<unsigned short> units;
    for (unsigned int c : cps) {
        if (c >= 0x10000)
            units.push_back(static_cast<unsigned short>(0xD800 + ((c - 0x10000) >> 10)));
        units.push_back(static_cast<unsigned short>(c >= 0x10000 ? 0xDC00 + (c & 0x3FF) : c));
    }
    return zu_wstring(units.data(), static_cast<unsigned>(units.size()));
}
template <class S>
std::vector<unsigned int> Units(S const & s) {
    return {s.data(), s.data() + s.size()};
}
std::string Bytes(zu_string const & s) {
    return {s.data(), s.size()};
}

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
        if (encoding.LibraryName() == nullptr)
            continue;
        ++per_library[encoding.LibraryName()];
        auto round_trips = [&](zu_wstring const & text) {
            zu_string const bytes(text, encoding);
            return !bytes.empty() && Units(zu_wstring(bytes, encoding)) == Units(text) &&
                   Units(zu_utf32_string(bytes, encoding)) == Units(text);
        };
        zu_wstring const symbols("ABab", encoding);
        std::vector<unsigned int> const own = Units(symbols);
        bool const has_symbols =
            own.size() == 4 && std::find(own.begin(), own.end(), 0xFFFDu) == own.end();
        EXPECT_TRUE(round_trips(latin) || round_trips(japanese) ||
                    (has_symbols && round_trips(symbols)))
            << encoding.Name();
    }
    EXPECT_EQ(per_library.size(), 5u);

    struct Native {
        char const * encoding;
        std::vector<unsigned int> text;
    };
    Native const natives[] = {
        {"ISO-8859-7", {0x0395, 0x03BB, 0x03BB, 0x03AC, 0x03B4, 0x03B1}},         // zulat421
        {"windows-1251", {0x041F, 0x0440, 0x0438, 0x0432, 0x0435, 0x0442}},       // zurow421
        {"Shift_JIS", {0x65E5, 0x672C, 0x8A9E, 0x30C6, 0x30AD, 0x30B9, 0x30C8}},  // zujpn421
        {"ISO-2022-JP", {'a', 0x65E5, 0x672C, 'b', 0x3042}},
        {"EUC-KR", {0xD55C, 0xAD6D, 0xC5B4, ' ', 'A'}},  // zukor421
        {"Big5", {0x4E2D, 0x6587, 0x5B57}},              // zuchi421
        {"GB18030", {0x4E2D, 0x6587, 0x20AC, 0x1F600}},
    };
    for (Native const & native : natives) {
        CharEncoding & encoding = *CharEncoding::Lookup(native.encoding);
        zu_wstring const text = U16(native.text);
        zu_string bytes(text.data(), text.data() + text.size(), encoding);
        EXPECT_EQ(Units(zu_wstring(bytes.data(), bytes.size(), encoding)), Units(text))
            << native.encoding;
        EXPECT_EQ(Units(zu_utf32_string(bytes.data(), bytes.data() + bytes.size(), encoding)),
                  native.text)
            << native.encoding;
    }
}

TEST(StringConversion, EdgeCases) {
    zu_wstring w = U16({'x'});
    EXPECT_TRUE(w.assign(static_cast<char const *>(nullptr), CharEncoding::ISOLatin1()).empty());
    EXPECT_EQ(w.capacity(), 0u);
    EXPECT_TRUE(
        zu_string(static_cast<unsigned short const *>(nullptr), 5u, CharEncoding::UTF8()).empty());
    EXPECT_TRUE(zu_utf32_string(static_cast<unsigned short const *>(nullptr)).empty());

    char const latin1[] = "\x41\xE9\xFF\x80";
    EXPECT_EQ(Units(zu_wstring(latin1, CharEncoding::ISOLatin1())),
              (std::vector<unsigned int>{0x41, 0xE9, 0xFF, 0x80}));

    // Unmappable bytes become U+FFFD; unmappable characters the substitute.
    char const bad_utf8[] =
        "a\xFF"
        "b";
    EXPECT_EQ(Units(zu_wstring(bad_utf8, CharEncoding::UTF8())),
              (std::vector<unsigned int>{'a', 0xFFFD, 'b'}));
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
    EXPECT_EQ(Units(zu_utf32_string(zu_string("\xC3\xA9", 2u), CharEncoding::UTF8())),
              (std::vector<unsigned int>{0xE9}));
}

// A behaviour that refuses every problem.
class Refusing : public UnicodeLibBehavior {
public:
    Refusing() : UnicodeLibBehavior(false) {}
    void HandleExternalToInternalConversionProblem(CharToChar16ConversionProblem &) override {
        Refuse();
    }
    void HandleInternalToExternalConversionProblem(Char16ToCharConversionProblem &) override {
        Refuse();
    }
    void HandleCharToChar32ConversionProblem(CharToChar32ConversionProblem &) override { Refuse(); }
    void HandleChar16ToChar32ConversionProblem(Char16ToChar32ConversionProblem &) override {
        Refuse();
    }
    void HandleChar32ToCharConversionProblem(Char32ToCharConversionProblem &) override { Refuse(); }
    void HandleChar32ToChar16ConversionProblem(Char32ToChar16ConversionProblem &) override {
        Refuse();
    }

private:
    [[noreturn]] static void Refuse() { throw UnicodeLibraryException(); }
};

class DefaultBehaviorScope {
public:
    explicit DefaultBehaviorScope(UnicodeLibBehavior * b)
        : old_(UnicodeLibBehavior::SetDefaultBehavior(b)) {}
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
    EXPECT_THROW(u.assign(bad.data(), bad.data() + bad.size(), CharEncoding::UTF8()),
                 UnicodeLibraryException);
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

// Allocation failures. The string classes allocate with nothrow new; this
// program replaces the nothrow forms so that a chosen allocation fails.

// Number of nothrow allocations still allowed before one fails; negative
// means never fail.
int g_allowed = -1;

void * Allocate(std::size_t n, bool array) noexcept {
    if (g_allowed == 0) {
        return nullptr;
    }
    if (g_allowed > 0) {
        --g_allowed;
    }
    try {
        return array ? ::operator new[](n) : ::operator new(n);
    } catch (...) {
        return nullptr;
    }
}

struct FailAfter {
    explicit FailAfter(int allowed) { g_allowed = allowed; }
    ~FailAfter() { g_allowed = -1; }
};

}  // namespace

void * operator new(std::size_t n, std::nothrow_t const &) noexcept {
    return Allocate(n, false);
}
void * operator new[](std::size_t n, std::nothrow_t const &) noexcept {
    return Allocate(n, true);
}

namespace {

TEST(StringAllocation, FailedNewRecordLeavesStringEmpty) {
    unsigned short const text[] = {'a', 'b', 'c', 0};
    zu_wstring const source(text);
    for (int allowed = 0; allowed < 2; ++allowed) {  // the record, then its block
        FailAfter fail(allowed);
        zu_wstring made(text);
        EXPECT_TRUE(made.empty());
        EXPECT_EQ(0u, made.capacity());

        g_allowed = allowed;
        zu_wstring assigned;
        assigned.assign(text, 3);
        EXPECT_TRUE(assigned.empty());

        g_allowed = allowed;
        zu_wstring appended;
        appended.append(text, 3);
        EXPECT_TRUE(appended.empty());

        g_allowed = allowed;
        zu_wstring const copy(source);
        EXPECT_TRUE(copy.empty());
    }
}

TEST(StringAllocation, FailedGrowthThrowsAndKeepsContents) {
    zu_utf32_string s;
    s += 'a';
    s += 'b';
    s += 'c';  // capacity 3
    unsigned int const more[] = {'d', 'e'};
    FailAfter fail(0);
    EXPECT_THROW(s.append(more, 2), std::bad_alloc);
    EXPECT_THROW(s.c_str(), std::bad_alloc);
    ASSERT_EQ(3u, s.size());
    EXPECT_EQ(3u, s.capacity());
    EXPECT_EQ('c', s.at(2));
    unsigned int const longer[] = {'w', 'x', 'y', 'z'};
    EXPECT_THROW(s.assign(longer, 4), std::bad_alloc);
    EXPECT_EQ(3u, s.size());
    EXPECT_EQ('a', s.at(0));
    s.assign(more, 2);  // fits: needs no allocation
    EXPECT_EQ(2u, s.size());
    EXPECT_EQ('d', s.at(0));
}

}  // namespace
