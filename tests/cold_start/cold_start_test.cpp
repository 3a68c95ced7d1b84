// Name and identifier lookups from a cold start: a child process that has
// called nothing in the library answers every lookup exactly as a process
// that called every accessor first.
//
// The program is its own child: run with "--lookup FILE" it answers the
// requests in FILE (one per line, "E name", "V name" or "I identifier") and
// prints one line per request, touching the library only for the lookups.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "zuuc/char_encoding.h"
#include "zuuc/encoding_variation.h"
#include "zuuc/mbcs_encoding.h"
#include "zuuc/modal_encoding.h"
#include "zuuc/range_encoding.h"
#include "zuuc/sbcs_encoding.h"
#include "zuuc/unicode_encodings.h"
#include "zuuc/utf8_encodings.h"

namespace {

std::string Id(TextEncoding const * encoding) {
    char buffer[16] = "-";
    if (encoding) {
        std::snprintf(buffer, sizeof buffer, "%lx",
                      static_cast<unsigned long>(encoding->GetTextEncodingID()));
    }
    return buffer;
}

// One answer line per request: for a name, the encoding found with each
// token size; for a variation name, its number; for an identifier, the
// encoding's own identifier.
std::string Answer(std::string const & request) {
    std::string const arg = request.substr(2);
    if (request[0] == 'I')
        return Id(TextEncoding::Lookup(TextEncodingID(std::strtoul(arg.c_str(), nullptr, 16))));
    if (request[0] == 'V') {
        EncodingVariation const * variation = EncodingVariation::Lookup(arg.c_str());
        return variation
                   ? std::to_string(static_cast<unsigned long>(variation->GetEncodingVariationID()))
                   : "-";
    }
    std::string line;
    for (unsigned size : {0u, 1u, 2u, 4u})
        line += Id(TextEncoding::Lookup(arg.c_str(), size)) + " ";
    return line;
}

std::string AnswerAll(std::string const & requests) {
    std::istringstream in(requests);
    std::string answers;
    for (std::string line; std::getline(in, line);)
        answers += Answer(line) + "\n";
    return answers;
}

// Names that found nothing from a cold start before the variations were
// built at library start.
char const * const kFirstCallNames[] = {
    "UCS-2",    "BMP",      "UTF-16:big-endian", "x86",   "little-endian", "UTF-16BE",
    "UTF-16LE", "UTF-32BE", "UTF-32LE",          "UTF-8", "UTF-EBCDIC"};

#define ZUUC_CALL(accessor, id) CharEncoding::accessor();

void CallEveryAccessor() {
    ZUUC_SBCS_CATALOGUE(ZUUC_CALL)
    ZUUC_MBCS_CATALOGUE(ZUUC_CALL)
    ZUUC_MBCS_LOOKAHEAD_CATALOGUE(ZUUC_CALL)
    ZUUC_MODAL_ENCODING_CATALOGUE(ZUUC_CALL)
    ZUUC_MIXED_RANGE_CATALOGUE(ZUUC_CALL)
    CharEncoding::HZGB2312();
    using C = CharEncoding;
    for (auto accessor : {&C::UTF16,
                          &C::Unicode20BigEndian,
                          &C::Unicode20ByteStream,
                          &C::UTF32,
                          &C::UTF32BigEndian,
                          &C::UTF32ByteStream,
                          &C::UTF8,
                          &C::UTF8BOM,
                          &C::Unicode20UTF8EBCDIC,
                          &C::Unicode20UTF7,
                          &C::Unicode20Java,
                          &C::Unicode11BigEndian,
                          &C::Unicode11ByteStream,
                          &C::Unicode11UTF7,
                          &C::Unicode11UTF8,
                          &C::Unicode11Java,
                          &C::Unicode11UTF8EBCDIC,
                          &C::ChineseAutoDetect,
                          &C::JapaneseAutoDetect,
                          &C::KoreanAutoDetect}) {
        accessor();
    }
    using V = EncodingVariation;
    for (auto accessor :
         {&V::ByteOrderMark, &V::UTF8, &V::BigEndian, &V::LittleEndian, &V::PlatformByteOrder,
          &V::UTF8EBCDIC, &V::UTF7, &V::Java, &V::HPPrinter}) {
        accessor();
    }
}

// Every name, nickname and identifier of every registered encoding, and every
// name of every variation.
std::string EveryRequest() {
    std::string requests;
    for (char const * name : kFirstCallNames)
        requests += std::string("E ") + name + "\n";
    for (unsigned i = 0; i < TextEncoding::Count(); ++i) {
        TextEncoding const * encoding = TextEncoding::Lookup(i);
        requests += "E " + std::string(encoding->Name()) + "\n";
        for (unsigned n = 0; n < encoding->CountNicknames(); ++n) {
            requests += "E " + std::string(encoding->GetNickname(n)) + "\n";
        }
        requests += "I " + Id(encoding) + "\n";
    }
    for (unsigned long number = 1; number < 10; ++number) {
        EncodingVariation const * variation =
            EncodingVariation::Lookup(EncodingVariationID(number));
        for (unsigned n = 0; variation != nullptr && n < variation->CountNames(); ++n) {
            requests += "V " + std::string(variation->GetName(n)) + "\n";
        }
    }
    return requests;
}

std::string ColdAnswers(std::string const & requests) {
    char path[] = "/tmp/zuuc_cold_start_XXXXXX";
    int const fd = mkstemp(path);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, requests.data(), requests.size()), static_cast<ssize_t>(requests.size()));
    close(fd);
    char self[4096] = {};
    EXPECT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    std::string const command = "'" + std::string(self) + "' --lookup " + path;
    std::string answers;
    if (FILE * child = popen(command.c_str(), "r")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, child)) > 0;) {
            answers.append(buffer, n);
        }
        EXPECT_EQ(pclose(child), 0);
    }
    unlink(path);
    return answers;
}

TEST(ColdStart, EveryLookupAnswersAsAfterEveryAccessor) {
    CallEveryAccessor();
    std::string const requests = EveryRequest();
    std::string const warm = AnswerAll(requests);
    std::string const cold = ColdAnswers(requests);
    // Compared line by line so that a failure names the request.
    std::istringstream r(requests), w(warm), c(cold);
    std::string request, expected, actual;
    unsigned lines = 0;
    while (std::getline(r, request) && std::getline(w, expected)) {
        ASSERT_TRUE(std::getline(c, actual)) << "the child stopped at " << request;
        EXPECT_EQ(actual, expected) << request;
        ++lines;
    }
    EXPECT_GT(lines, 600u);
}

}  // namespace

int main(int argc, char ** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--lookup") == 0) {
        std::ifstream in(argv[2]);
        std::stringstream requests;
        requests << in.rdbuf();
        std::cout << AnswerAll(requests.str());
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
