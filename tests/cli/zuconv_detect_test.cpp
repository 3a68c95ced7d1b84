// zuconv with the auto-detecting encodings: -f JapaneseAutoDetect and
// --guess LANG [-v].
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Runs zuconv on a file holding `bytes`; returns standard output and sets
// the exit status.
std::string RunOn(std::string const & arguments, std::string const & bytes, int & status) {
    // One file per test and process: ctest runs the cases side by side.
    std::string const path = testing::TempDir() + "zuconv-detect-" +
                             testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                             std::to_string(getpid());
    std::ofstream(path, std::ios::binary) << bytes;
    std::string const command = std::string(ZUCONV_PATH) + " " + arguments + " " + path + " 2>&1";
    std::FILE * pipe = popen(command.c_str(), "r");
    std::string out;
    char block[4096];
    for (std::size_t n; (n = std::fread(block, 1, sizeof block, pipe)) != 0;) out.append(block, n);
    int const raw = pclose(pipe);
    std::remove(path.c_str());
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::size_t at;
    while ((at = out.find(path)) != std::string::npos) out.replace(at, path.size(), "FILE");
    return out;
}

// "日本語" in Shift_JIS and in EUC-JP.
char const kSjis[] = "\x93\xFA\x96\x7B\x8C\xEA";
char const kEucJp[] = "\xC6\xFC\xCB\xDC\xB8\xEC";
char const kUtf8[] = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";

TEST(ZuconvDetect, DecodesWithTheDetectedEncoding) {
    int status = -1;
    EXPECT_EQ(RunOn("-f JapaneseAutoDetect -t UTF-8", kSjis, status), kUtf8);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(RunOn("-f csJapaneseAutoDetect -t UTF-8", kEucJp, status), kUtf8);
    EXPECT_EQ(RunOn("-f KoreanAutoDetect -t UTF-8", "plain text\n", status), "plain text\n");
    EXPECT_EQ(RunOn("-f UTF-8 -t JapaneseAutoDetect", "x", status),
              "zuconv: the encoding 'JapaneseAutoDetect' can be read but not written\n");
    EXPECT_EQ(status, 2);
}

TEST(ZuconvDetect, GuessPrintsTheChoiceAndWithVerboseEveryCandidate) {
    int status = -1;
    EXPECT_EQ(RunOn("--guess ja", kSjis, status), "FILE: Shift-JIS 0\n");
    EXPECT_EQ(status, 0);
    std::string const verbose = RunOn("--guess=ja -v", kEucJp, status);
    EXPECT_EQ(verbose.rfind("FILE: EUC-JP 0\n    Shift-JIS: -", 0), 0u) << verbose;
    EXPECT_NE(verbose.find("    UCS2: -2147483648, tie-breaker 0\n"), std::string::npos) << verbose;
    EXPECT_EQ(RunOn("--guess zh", "\xFF\xFE\x2D\x4E", status), "FILE: UCS2 1\n");
    EXPECT_EQ(RunOn("--guess ko", "", status), "FILE: ISO-2022-KR 0\n");
    EXPECT_EQ(RunOn("--guess xx", "", status), "zuconv: --guess takes ja, zh or ko, not 'xx'\n");
    EXPECT_EQ(status, 2);
}

}  // namespace
