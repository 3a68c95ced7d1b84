// Runs the zuconv binary as a user would and checks its output, messages
// and exit status.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>

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

void ReplaceAll(std::string & s, std::string const & what, std::string const & with) {
    for (std::size_t at; (at = s.find(what)) != std::string::npos;)
        s.replace(at, what.size(), with);
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

    // Runs zuconv with `arguments` (shell words) and `input` on standard
    // input; "{in}" in the arguments names a file holding the input too, and
    // reads "FILE" in what zuconv writes.
    Outcome Zuconv(std::string arguments, std::string const & input = "") {
        WriteFile(Path("in"), input);
        ReplaceAll(arguments, "{in}", Path("in"));
        std::string const command = std::string(ZUCONV_PATH) + " " + arguments + " <" + Path("in") +
                                    " >" + Path("stdout") + " 2>" + Path("stderr");
        int const raw = std::system(command.c_str());
        Outcome o{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadFile(Path("stdout")),
                  ReadFile(Path("stderr"))};
        ReplaceAll(o.out, Path("in"), "FILE");
        return o;
    }

    std::string dir_;
};

// One run of zuconv: its arguments and input, the exact output, the exit
// status and a piece of the messages.
struct Invocation {
    char const * name;
    char const * arguments;
    std::string input;
    std::string out;
    int status;
    char const * message;       // in standard error ("": no message at all)
    bool out_contains = false;  // `out` is a piece of the output only
};

std::ostream & operator<<(std::ostream & os, Invocation const & r) {
    return os << r.arguments;
}

std::string const kCafe = "caf\xE9 \x80";
std::string const kHan =
    "a\xE4\xB8\x80"
    "b";  // a U+4E00 b
std::string const kBadUtf8 = "ok\xC3\x41!";
std::string const kDecomposed = "e\xCC\x81 \xEF\xAC\x81";                        // e U+0301, U+FB01
std::string const kForms = "A+B \xC3\xA9+x \\ \xF0\x9F\x98\x80 \xED\x95\x9C\n";  // é, U+1F600, 한
std::string const kJava = "A+B \\u00E9+x \\\\ \\uD83D\\uDE00 \\uD55C\n";
std::string const kUtf7 = "A+-B +AOkAKw-x +AFw- +2D3eAA- +1Vw-\n";
std::string const kKorean = "A\xED\x95\x9C\n";
std::string const kOldHangul(
    "\xFF\xFE"
    "A\0\xA2\x3C\n\0",
    8);  // Hangul in the Unicode 1.1 block
std::string const kHpKorean("\0A\xC7\xD1\0\n", 6);
// "日本語" in Shift_JIS, EUC-JP and UTF-8.
std::string const kSjis = "\x93\xFA\x96\x7B\x8C\xEA";
std::string const kEucJp = "\xC6\xFC\xCB\xDC\xB8\xEC";
std::string const kUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";

Invocation const kRuns[] = {
    // Encodings found by any of their names; several input files in turn.
    {"Names", "-f cp1252 -t utf-8", kCafe, "caf\xC3\xA9 \xE2\x82\xAC", 0, ""},
    {"LongOptionNames", "--from-code=WINDOWS_1252 --to-code UTF8", "\xE9", "\xC3\xA9", 0, ""},
    {"TwoFiles", "-f UTF-8 -t Latin1 {in} {in}", "\xC3\xA9t", "\xE9t\xE9t", 0, ""},
    // Unwritable characters: the encoding's substitute by default, dropped
    // with -c, as references with --sgml, the given bytes, located with --strict.
    {"Substitute", "-f UTF-8 -t Latin1", kHan,
     "a\x1A"
     "b",
     0, ""},
    {"SkipUnwritable", "-f UTF-8 -t Latin1 -c", kHan, "ab", 0, ""},
    {"Sgml", "-f UTF-8 -t Latin1 --sgml", kHan, "a&#19968;b", 0, ""},
    {"SubstBytes", "-f UTF-8 -t Latin1 '--subst=\\x3F\\x3F'", kHan, "a??b", 0, ""},
    {"StrictUnwritable", "-f UTF-8 -t Latin1 --strict", kHan, "", 1, "U+4E00"},
    // Undecodable input: replaced by default, dropped with -c, located with --strict.
    {"Replace", "-f UTF-8 -t UTF-8", kBadUtf8,
     "ok\xEF\xBF\xBD"
     "A!",
     0, ""},
    {"SkipUndecodable", "-f UTF-8 -t UTF-8 -c", kBadUtf8, "okA!", 0, ""},
    {"StrictUndecodable", "-f UTF-8 -t UTF-8 --strict", kBadUtf8, "", 1, "byte offset 2: C3"},
    // References are decoded after the input encoding.
    {"FromSgml", "-f Latin1 -t UTF-8 --from-sgml", "caf&eacute; &#233;&#xE9; &AMP; \xE9&amp;",
     "caf\xC3\xA9 \xC3\xA9\xC3\xA9 &AMP; \xC3\xA9&", 0, ""},
    {"NoFromSgml", "-f Latin1 -t UTF-8", "&amp;", "&amp;", 0, ""},
    {"NFC", "-f UTF-8 -t UTF-8 --normalize NFC", kDecomposed, "\xC3\xA9 \xEF\xAC\x81", 0, ""},
    {"NFKC", "-f UTF-8 -t Latin1 --normalize=NFKC", kDecomposed, "\xE9 fi", 0, ""},
    {"NFD", "-f Latin1 -t UTF-8 --normalize=NFD", "\xE9", "e\xCC\x81", 0, ""},
    // Normalization comes before the transforms: U+FB01 has no uppercase, "fi" has.
    {"NormalizeThenTransform", "-f UTF-8 -t UTF-8 --transform upper --normalize NFKC",
     "\xEF\xAC\x81", "FI", 0, ""},
    {"BadNormalization", "-f UTF-8 -t UTF-8 --normalize=NFE", kDecomposed, "", 2,
     "not a normalization form"},
    // Accents and case decide only where the letters tie; CRLF lines and a
    // last line without its line feed sort like the others.
    {"Sort", "-f UTF-8 -t UTF-8 --sort",
     "c\xC3\xB4te\r\ncotes\nCote\ncote\n\xC3\xA9t\xC3\xA9\nzoo\n\xE4\xB8\x80\nabc",
     "abc\ncote\nCote\nc\xC3\xB4te\r\ncotes\n\xC3\xA9t\xC3\xA9\nzoo\n\xE4\xB8\x80\n", 0, ""},
    {"SortLatin1", "-f Latin1 -t UTF-8 --sort", "\xE9\nf\nE\n", "E\n\xC3\xA9\nf\n", 0, ""},
    // "ﾃﾞｰﾀ 二千十五\r\n" through the katakana, numeral and line-end transforms.
    {"Transforms",
     "-f UTF-8 -t UTF-8 --transform zenkaku-katakana,hepburn --transform=latin-numbers,crlf,upper",
     "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xB0\xEF\xBE\x80 "
     "\xE4\xBA\x8C\xE5\x8D\x83\xE5\x8D\x81\xE4\xBA\x94\r\n",
     "DEETA\xE3\x80\x80"
     "2015\r\n",
     0, ""},
    // Order matters: the romaji written first is widened by the width transform.
    {"TransformOrder", "-f UTF-8 -t UTF-8 --transform=hepburn,zenkaku-katakana", "\xE3\x81\x8B",
     "\xEF\xBD\x8B\xEF\xBD\x81", 0, ""},
    {"UnknownTransform", "-f UTF-8 -t UTF-8 --transform upper,nope", "", "", 2,
     "unknown transform (see --help): 'nope'"},
    {"UnknownEncoding", "-f no-such-encoding -t UTF-8", "", "", 2,
     "unknown input encoding 'no-such-encoding'"},
    {"MissingFile", "-f UTF-8 -t UTF-8 {in}.missing", "", "", 2, "cannot open"},
    {"NoTarget", "-f UTF-8", "", "", 2, "both -f FROM and -t TO are needed"},
    {"UnknownOption", "--bogus", "", "", 2, "unknown option '--bogus'"},
    {"ToBom", "-f UTF-8 -t UTF-8 --to-bom", "A",
     "\xEF\xBB\xBF"
     "A",
     0, ""},
    {"NoBom", "-f UTF-8 -t UTF-16:big-endian", "A", std::string("\0A", 2), 0, ""},
    {"ToBomUtf16", "-f UTF-8 -t UTF-16:big-endian --to-bom", "A", std::string("\xFE\xFF\0A", 4), 0,
     ""},
    {"FromBom", "-f UTF-16:big-endian --from-bom -t UTF-8", std::string("\xFE\xFF\0A", 4), "A", 0,
     ""},
    // iconv's suffixes on the target name.
    {"Ignore", "-f UTF-8 -t ASCII//IGNORE",
     "a\xC3\xA9"
     "b",
     "ab", 0, ""},
    {"IgnoreLowerCase", "-f UTF-8 -t ascii//ignore//",
     "a\xC3\xA9"
     "b",
     "ab", 0, ""},
    {"Translit", "-f UTF-8 -t ASCII//TRANSLIT", "a", "", 2, "transliteration is not offered"},
    {"TranslitIgnore", "-f UTF-8 -t ASCII//TRANSLIT//IGNORE", "a", "", 2, "transliteration"},
    {"UnknownSuffix", "-f UTF-8 -t ASCII//NONSENSE", "a", "", 2, "unknown output encoding"},
    {"List", "-l", "", "CP1252\t0x00008\t1252\twindows-1252\tzulat421\tyes", 0, "", true},
    {"ListUnicode", "-l", "", "UTF-32BE", 0, "", true},
    {"ListVariations", "--list-variations", "", "big-endian", 0, "", true},
    // UTF-7, the Java escapes, Unicode 1.1 and the HP printer form, each way.
    {"ToUtf7", "-f UTF-8 -t UTF-7", kForms, kUtf7, 0, ""},
    {"FromUtf7", "-f UTF-7 -t UTF-8", kUtf7, kForms, 0, ""},
    {"ToJava", "-f UTF-8 -t Java", kForms, kJava, 0, ""},
    {"ToUtf16Java", "-f UTF-8 -t UTF-16:Java", kForms, kJava, 0, ""},
    {"FromJava", "-f Java -t UTF-8", kJava, kForms, 0, ""},
    {"FromUtf16Java", "-f UTF-16:Java -t UTF-8", kJava, kForms, 0, ""},
    {"ToUnicode11", "-f UTF-8 -t UNICODE-1-1", kKorean, kOldHangul, 0, ""},
    {"FromUnicode11", "-f UNICODE-1-1 -t UTF-8", kOldHangul, kKorean, 0, ""},
    {"ToUnicode11Utf7", "-f UTF-8 -t unicode-1-1:utf-7", kKorean, "A+PKI-\n", 0, ""},
    {"FromUnicode11Utf7", "-f Unicode11:UTF7 -t UTF-8", "A+PKI-\n", kKorean, 0, ""},
    {"ToHpPrinter", "-f UTF-8 -t EUC-KR:HP-Printer", kKorean, kHpKorean, 0, ""},
    {"FromHpPrinter", "-f EUC-KR:HP-Printer -t UTF-8", kHpKorean, kKorean, 0, ""},
    // The auto-detecting encodings, and --guess LANG [-v].
    {"DetectSjis", "-f JapaneseAutoDetect -t UTF-8", kSjis, kUtf8, 0, ""},
    {"DetectEucJp", "-f csJapaneseAutoDetect -t UTF-8", kEucJp, kUtf8, 0, ""},
    {"DetectAscii", "-f KoreanAutoDetect -t UTF-8", "plain text\n", "plain text\n", 0, ""},
    {"DetectingIsNotWritable", "-f UTF-8 -t JapaneseAutoDetect", "x", "", 2,
     "zuconv: the encoding 'JapaneseAutoDetect' can be read but not written\n"},
    {"Guess", "--guess ja {in}", kSjis, "FILE: Shift-JIS 0\n", 0, ""},
    {"GuessVerbose", "--guess=ja -v {in}", kEucJp, "FILE: EUC-JP 0\n    Shift-JIS: -", 0, "", true},
    {"GuessVerboseCandidates", "--guess=ja -v {in}", kEucJp,
     "    UCS2: -2147483648, tie-breaker 0\n", 0, "", true},
    {"GuessByteOrderMark", "--guess zh {in}", "\xFF\xFE\x2D\x4E", "FILE: UCS2 1\n", 0, ""},
    {"GuessEmpty", "--guess ko {in}", "", "FILE: ISO-2022-KR 0\n", 0, ""},
    {"GuessUnknownLanguage", "--guess xx {in}", "", "", 2,
     "zuconv: --guess takes ja, zh or ko, not 'xx'\n"},
};

class ZuconvRun : public ZuconvTest, public ::testing::WithParamInterface<Invocation> {};

TEST_P(ZuconvRun, OutputStatusAndMessage) {
    Invocation const & run = GetParam();
    Outcome const r = Zuconv(run.arguments, run.input);
    EXPECT_EQ(r.status, run.status) << r.err;
    if (run.out_contains) {
        EXPECT_NE(r.out.find(run.out), std::string::npos) << r.out;
    } else {
        EXPECT_EQ(r.out, run.out);
    }
    if (*run.message == '\0') {
        EXPECT_EQ(r.err, "");
    } else {
        EXPECT_NE(r.err.find(run.message), std::string::npos) << r.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Zuconv, ZuconvRun, ::testing::ValuesIn(kRuns),
                         [](::testing::TestParamInfo<Invocation> const & i) {
                             return i.param.name;
                         });

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

    // Writing to a full device fails with status 1.
    if (access("/dev/full", W_OK) == 0) {
        std::string const command = std::string(ZUCONV_PATH) + " -f UTF-8 -t UTF-8 " +
                                    "</etc/passwd >/dev/full 2>/dev/null";
        int const raw = std::system(command.c_str());
        EXPECT_EQ(WEXITSTATUS(raw), 1);
    }
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
