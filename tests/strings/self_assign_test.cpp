// Assigning and appending a string's own storage, with counts that reach past
// its units, for all three widths (run under AddressSanitizer too).
#include "zuuc/strings.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace {

template <class S>
S Ascii(char const * text) {
    std::vector<std::remove_const_t<std::remove_pointer_t<decltype(S().data())>>> units;
    for (; *text != 0; ++text) {
        units.push_back(static_cast<unsigned char>(*text));
    }
    return S(units.data(), static_cast<unsigned>(units.size()));
}

template <class S>
class OwnStorageTest : public ::testing::Test {};

using Widths = ::testing::Types<zu_string, zu_wstring, zu_utf32_string>;
TYPED_TEST_SUITE(OwnStorageTest, Widths);

TYPED_TEST(OwnStorageTest, EmptyStringsOwnDataIsNothingToRead) {
    TypeParam s;
    s.assign(s.data(), 5);
    EXPECT_TRUE(s.empty());
    s.append(s.data(), 5);
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s.capacity(), 0u);
}

TYPED_TEST(OwnStorageTest, RangesInOwnUnitsStopAtTheirEnd) {
    struct Case {
        char const * name;
        void (*op)(TypeParam &);
        char const * expected;
    };
    Case const cases[] = {
        {"assign own data, 0", [](TypeParam & s) { s.assign(s.data(), 0); }, "hello"},
        {"assign own data, 2", [](TypeParam & s) { s.assign(s.data(), 2); }, "hello"},
        {"assign own data, 99", [](TypeParam & s) { s.assign(s.data(), 99); }, "hello"},
        {"assign tail, 99", [](TypeParam & s) { s.assign(s.data() + 1, 99); }, "ello"},
        {"assign end, 3", [](TypeParam & s) { s.assign(s.data() + 5, 3); }, ""},
        {"append own data, 99", [](TypeParam & s) { s.append(s.data(), 99); }, "hellohello"},
        {"append tail, 99", [](TypeParam & s) { s.append(s.data() + 3, 99); }, "hellolo"},
        {"append end, 3", [](TypeParam & s) { s.append(s.data() + 5, 3); }, "hello"},
    };
    for (Case const & c : cases) {
        SCOPED_TRACE(c.name);
        // Spare room past the units holds stale units that must not be read.
        TypeParam s = Ascii<TypeParam>("helloSTALE");
        s.erase(5, 5);
        ASSERT_GT(s.capacity(), s.size());
        c.op(s);
        EXPECT_EQ(s.compare(Ascii<TypeParam>(c.expected)), 0);
        EXPECT_EQ(s.size(), Ascii<TypeParam>(c.expected).size());
    }
}

}  // namespace
