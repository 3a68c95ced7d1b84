// Runs the zuconv binary as a user would and checks its output, messages
// and exit status.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string ReadFile(std::string const & path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(std::string const & path, std::string const & data) {
    std::ofstream(path, std::ios::binary) << data;
}

class ZuconvTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zuconv-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::system(("rm -rf " + dir_).c_str()); }

    std::string Path(char const * name) const { return dir_ + "/" + name; }

    // Runs zuconv with `arguments` (shell words) and `input` on standard input.
    Outcome Zuconv(std::string const & arguments, std::string const & input = "") {
        WriteFile(Path("stdin"), input);
        std::string const command = std::string(ZUCONV_PATH) + " " + arguments + " <" +
                                    Path("stdin") + " >" + Path("stdout") + " 2>" + Path("stderr");
        int const raw = std::system(command.c_str());
        return Outcome{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(Path("stdout")),
                   ReadFile(Path("stderr"))};
    }

    std::string dir_;
};

TEST_F(ZuconvTest, ConvertsBetweenEncodingsFoundByAnyOfTheirNames) {
    Outcome r = Zuconv("-f cp1252 -t utf-8", "caf\xE9 \x80");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "caf\xC3\xA9 \xE2\x82\xAC");

    r = Zuconv("--from-code=WINDOWS_1252 --to-code UTF8", "\xE9");
    EXPECT_EQ(r.out, "\xC3\xA9");

    WriteFile(Path("in.txt"), "\xC3\xA9t\xC3\xA9");
    r = Zuconv("-f UTF-8 -t Latin1 " + Path("in.txt") + " " + Path("in.txt"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "\xE9t\xE9\xE9t\xE9");
}

TEST_F(ZuconvTest, ProblemHandlingFollowsTheOptions) {
    std::string const text = "a\xE4\xB8\x80" "b";  // a U+4E00 b
    EXPECT_EQ(Zuconv("-f UTF-8 -t Latin1", text).out, "a\x1A" "b");  // the encoding's substitute
    EXPECT_EQ(Zuconv("-f UTF-8 -t Latin1 -c", text).out, "ab");
    EXPECT_EQ(Zuconv("-f UTF-8 -t Latin1 --sgml", text).out, "a&#19968;b");
    EXPECT_EQ(Zuconv("-f UTF-8 -t Latin1 '--subst=\\x3F\\x3F'", text).out, "a??b");

    Outcome r = Zuconv("-f UTF-8 -t Latin1 --strict", text);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("U+4E00"), std::string::npos) << r.err;

    // Undecodable input: replaced by default, dropped with -c, located with --strict.
    std::string const bad = "ok\xC3\x41!";
    EXPECT_EQ(Zuconv("-f UTF-8 -t UTF-8", bad).out, "ok\xEF\xBF\xBD" "A!");
    EXPECT_EQ(Zuconv("-f UTF-8 -t UTF-8 -c", bad).out, "okA!");
    r = Zuconv("-f UTF-8 -t UTF-8 --strict", bad);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("byte offset 2: C3"), std::string::npos) << r.err;
}

TEST_F(ZuconvTest, FromSgmlDecodesReferencesAfterTheInput) {
    Outcome r = Zuconv("-f Latin1 -t UTF-8 --from-sgml", "caf&eacute; &#233;&#xE9; &AMP; \xE9&amp;");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "caf\xC3\xA9 \xC3\xA9\xC3\xA9 &AMP; \xC3\xA9&");
    EXPECT_EQ(Zuconv("-f Latin1 -t UTF-8", "&amp;").out, "&amp;");
}

TEST_F(ZuconvTest, ErrorsExitNonZeroWithAMessage) {
    Outcome r = Zuconv("-f no-such-encoding -t UTF-8");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown input encoding 'no-such-encoding'"), std::string::npos);

    r = Zuconv("-f UTF-8 -t UTF-8 " + Path("missing.txt"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot open"), std::string::npos);

    r = Zuconv("-f UTF-8");
    EXPECT_EQ(r.status, 2);
    r = Zuconv("--bogus");
    EXPECT_EQ(r.status, 2);

    // Writing to a full device fails with status 1.
    if (access("/dev/full", W_OK) == 0) {
        std::string const command = std::string(ZUCONV_PATH) + " -f UTF-8 -t UTF-8 " +
                                    "</etc/passwd >/dev/full 2>/dev/null";
        int const raw = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(raw), 1);
    }
}

TEST_F(ZuconvTest, TransformsApplyInTheGivenOrder) {
    // "ﾃﾞｰﾀ 二千十五\r\n" through the katakana, numeral and line-end transforms.
    std::string const text = "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xB0\xEF\xBE\x80 "
                             "\xE4\xBA\x8C\xE5\x8D\x83\xE5\x8D\x81\xE4\xBA\x94\r\n";
    Outcome r = Zuconv("-f UTF-8 -t UTF-8 --transform zenkaku-katakana,hepburn "
                       "--transform=latin-numbers,crlf,upper", text);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "DEETA\xE3\x80\x80" "2015\r\n");
    // Order matters: the romaji written first is widened by the width transform.
    EXPECT_EQ(Zuconv("-f UTF-8 -t UTF-8 --transform=hepburn,zenkaku-katakana", "\xE3\x81\x8B").out,
              "\xEF\xBD\x8B\xEF\xBD\x81");
    r = Zuconv("-f UTF-8 -t UTF-8 --transform upper,nope");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown transform (see --help): 'nope'"), std::string::npos) << r.err;
}

TEST_F(ZuconvTest, OutputFileAppearsOnlyOnSuccess) {
    std::string const out = Path("out.txt");
    Outcome r = Zuconv("-f UTF-8 -t Latin1 -o " + out, "\xC3\xA9");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(out), "\xE9");

    WriteFile(out, "previous");
    r = Zuconv("-f UTF-8 -t Latin1 --strict -o " + out, "x\xE4\xB8\x80");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadFile(out), "previous");  // untouched, no partial file
    r = Zuconv("-f UTF-8 -t Latin1 -o " + Path("missing-dir/out.txt"), "x");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(std::system(("ls " + dir_ + " | grep -q zuconv-").c_str()) != 0, true);
}

TEST_F(ZuconvTest, ShowsProgressWhenTheInputSizeIsKnown) {
    WriteFile(Path("big.txt"), std::string(3 << 20, 'x'));
    Outcome r = Zuconv("--progress -f Latin1 -t UTF-8 " + Path("big.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.size(), 3u << 20);
    EXPECT_NE(r.err.find("100% (3145728 of 3145728 bytes)"), std::string::npos) << r.err;
    // From a pipe the size is unknown: nothing is shown.
    EXPECT_EQ(Zuconv("--progress -f Latin1 -t UTF-8", "abc").err, "");
}

TEST_F(ZuconvTest, ByteOrderMarks) {
    EXPECT_EQ(Zuconv("-f UTF-8 -t UTF-8 --to-bom", "A").out, "\xEF\xBB\xBF" "A");
    EXPECT_EQ(Zuconv("-f UTF-8 -t UTF-16:big-endian", "A").out, std::string("\0A", 2));
    EXPECT_EQ(Zuconv("-f UTF-8 -t UTF-16:big-endian --to-bom", "A").out,
              std::string("\xFE\xFF\0A", 4));
    EXPECT_EQ(Zuconv("-f UTF-16:big-endian --from-bom -t UTF-8", std::string("\xFE\xFF\0A", 4)).out,
              "A");
}

TEST_F(ZuconvTest, TakesIconvSuffixesOnTheTargetName) {
    EXPECT_EQ(Zuconv("-f UTF-8 -t ASCII//IGNORE", "a\xC3\xA9" "b").out, "ab");
    EXPECT_EQ(Zuconv("-f UTF-8 -t ascii//ignore//", "a\xC3\xA9" "b").out, "ab");
    Outcome r = Zuconv("-f UTF-8 -t ASCII//TRANSLIT", "a");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("transliteration is not offered"), std::string::npos) << r.err;
    EXPECT_EQ(Zuconv("-f UTF-8 -t ASCII//TRANSLIT//IGNORE", "a").status, 2);
    EXPECT_NE(Zuconv("-f UTF-8 -t ASCII//NONSENSE", "a").err.find("unknown output encoding"),
              std::string::npos);
}

TEST_F(ZuconvTest, ListsEncodingsAndVariations) {
    Outcome r = Zuconv("-l");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("CP1252\t0x00008\t1252\twindows-1252\tzulat421\tyes"), std::string::npos);
    EXPECT_NE(r.out.find("UTF8"), std::string::npos);
    EXPECT_NE(r.out.find("UTF-16LE"), std::string::npos);
    EXPECT_NE(r.out.find("UTF-32BE"), std::string::npos);
    r = Zuconv("--list-variations");
    EXPECT_NE(r.out.find("big-endian"), std::string::npos);
}

TEST_F(ZuconvTest, StreamsLargeInputInConstantMemory) {
    // 24 MB through a pipe, with the address space limited to far less than
    // holding it all would need: only streaming can pass. (The address
    // sanitizer reserves terabytes of address space, so under it the limit
    // cannot be set and only the output is checked.)
    std::string const limit = kAddressSanitizer ? "" : "ulimit -v 200000; ";
    std::string const command = "head -c 25165824 /dev/zero | tr '\\0' 'x' | (" + limit +
                                std::string(ZUCONV_PATH) + " -f Latin1 -t UTF-8) | wc -c";
    std::FILE * pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[64] = {};
    ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(std::strtoull(line, nullptr, 10), 25165824ull);
}

}  // namespace
