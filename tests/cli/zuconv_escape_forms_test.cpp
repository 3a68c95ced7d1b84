// zuconv with UTF-7, Unicode 1.1, the Java escapes and the HP printer form,
// each named as a user would.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Runs zuconv over `input` and returns what it wrote (empty on failure).
std::string Convert(std::string const & from, std::string const & to, std::string const & input) {
    char pattern[] = "/tmp/zuconv-forms-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return "";
    }
    std::string const dir = pattern;
    std::ofstream(dir + "/in", std::ios::binary) << input;
    std::string const command = std::string(ZUCONV_PATH) + " -f '" + from + "' -t '" + to + "' " +
                                dir + "/in >" + dir + "/out";
    bool const ok = std::system(command.c_str()) == 0;
    std::ifstream out(dir + "/out", std::ios::binary);
    std::ostringstream text;
    text << out.rdbuf();
    std::system(("rm -rf " + dir).c_str());
    return ok ? text.str() : "";
}

TEST(ZuconvEscapeFormsTest, ConvertsFromAndToEachFormByName) {
    std::string const text = "A+B \xC3\xA9+x \\ \xF0\x9F\x98\x80 \xED\x95\x9C\n";  // é, U+1F600, 한
    struct Case {
        char const * name;
        std::string expected;  // empty: only the round trip is checked
    };
    Case const cases[] = {
        {"UTF-7", "A+-B +AOkAKw-x +AFw- +2D3eAA- +1Vw-\n"},
        {"Java", "A+B \\u00E9+x \\\\ \\uD83D\\uDE00 \\uD55C\n"},
        {"UTF-16:Java", "A+B \\u00E9+x \\\\ \\uD83D\\uDE00 \\uD55C\n"},
    };
    for (Case const & c : cases) {
        SCOPED_TRACE(c.name);
        std::string const bytes = Convert("UTF-8", c.name, text);
        if (!c.expected.empty()) {
            EXPECT_EQ(bytes, c.expected);
        }
        EXPECT_EQ(Convert(c.name, "UTF-8", bytes), text);
    }
    // Unicode 1.1 has no U+1F600; its Hangul sits in the old block.
    std::string const korean = "A\xED\x95\x9C\n";
    std::string const old = Convert("UTF-8", "UNICODE-1-1", korean);
    EXPECT_EQ(old.size(), 8u);  // byte-order mark and three units
    EXPECT_EQ(Convert("UNICODE-1-1", "UTF-8", old), korean);
    EXPECT_EQ(Convert("UTF-8", "unicode-1-1:utf-7", korean), "A+PKI-\n");
    EXPECT_EQ(Convert("Unicode11:UTF7", "UTF-8", "A+PKI-\n"), korean);
    EXPECT_EQ(Convert("UTF-8", "EUC-KR:HP-Printer", korean),
              std::string("\0A\xC7\xD1\0\n", 6));
    EXPECT_EQ(Convert("EUC-KR:HP-Printer", "UTF-8", std::string("\0A\xC7\xD1\0\n", 6)), korean);
}

}  // namespace
