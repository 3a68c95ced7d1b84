// zuconv: convert text between encodings with the zuuc421 library.
//
//   zuconv -f FROM -t TO [options] [FILE...]
//
// Input is streamed through a fixed-size buffer, so memory use does not
// depend on the size of the input.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>
#include <zuuc/encoding_converters.h>
#include <zuuc/zuuc.h>

#include "zuconv_transforms.h"

namespace {

constexpr char kProgram[] = "zuconv";
constexpr std::size_t kReadBlock = 64 * 1024;

enum ExitStatus { kSuccess = 0, kConversionFailed = 1, kUsageError = 2 };

// --- options ----------------------------------------------------------------------

enum class OnProblem { kSubstitute, kOmit, kStrict, kSgml };

struct Options {
    std::string from;
    std::string to;
    std::string output;
    std::vector<std::string> inputs;
    OnProblem on_problem = OnProblem::kSubstitute;
    bool have_substitute = false;
    std::string substitute;
    bool from_bom = false;
    bool to_bom = false;
    bool from_sgml = false;
    bool progress = false;
    int normalize = -1;  // a NormalizationTransform::Form, or -1 for none
    bool sort = false;
    bool list = false;
    bool list_variations = false;
    bool help = false;
    bool version = false;
    std::vector<zuconv::TransformName const *> transforms;
    std::string guess;     // --guess LANG: report the detected encoding instead
    bool verbose = false;  // -v: with --guess, every candidate's rating
};

void PrintUsage(std::FILE * out) {
    std::fprintf(out,
                 "usage: %s -f FROM -t TO [options] [FILE...]\n"
                 "       %s --guess=LANG [-v] [FILE...]\n"
                 "       %s -l | --list-variations | --help | --version\n"
                 "\n"
                 "Converts FILEs (standard input when none is given) from the encoding FROM\n"
                 "to the encoding TO and writes the result to standard output.\n"
                 "\n"
                 "  -f, --from-code=NAME  input encoding (names, aliases and NAME:VARIATION\n"
                 "                        forms; '-', '_', blanks and case are ignored; a\n"
                 "                        16-bit form such as UNICODE-1-1 is its byte stream\n"
                 "                        with a byte-order mark, a variation alone such as\n"
                 "                        Java is that form of UTF-16)\n"
                 "  -t, --to-code=NAME    output encoding (NAME//IGNORE is the same as -c)\n"
                 "  -o, --output=FILE     write to FILE (replaced only when all went well)\n"
                 "  -c                    omit characters that cannot be converted\n"
                 "      --strict          stop at the first character that cannot be converted\n"
                 "                        (exit status 1, with its position)\n"
                 "      --sgml            write characters the output encoding lacks as\n"
                 "                        numeric character references (&#NNNN;)\n"
                 "      --subst=BYTES     write BYTES in place of characters the output\n"
                 "                        encoding lacks (\\xHH escapes are understood)\n"
                 "      --from-bom        the input starts with a byte-order mark (removed)\n"
                 "      --to-bom          start the output with a byte-order mark\n"
                 "      --from-sgml       replace character references in the input (&amp;,\n"
                 "                        &#233;, &#xE9;) by the characters they stand for\n"
                 "      --transform=NAME[,NAME...]\n"
                 "                        rewrite the text between decoding and encoding,\n"
                 "                        with the named transforms in the given order\n"
                 "      --progress        show progress on standard error\n"
                 "      --normalize=FORM  normalize the decoded text to NFC, NFD, NFKC or NFKD\n"
                 "      --sort            sort the lines of all inputs by the default collation\n"
                 "                        (Unicode Collation Algorithm order)\n"
                 "  -l, --list            list every encoding\n"
                 "      --list-variations list the variations usable as NAME:VARIATION\n"
                 "      --guess=LANG      print the encoding that auto-detection chooses for\n"
                 "                        text in LANG (ja, zh or ko) and its rating, per file\n"
                 "  -v                    with --guess, also every candidate's rating\n"
                 "\n"
                 "FROM may be JapaneseAutoDetect, ChineseAutoDetect or KoreanAutoDetect:\n"
                 "the input encoding is then detected.\n"
                 "\n"
                 "By default, characters that cannot be converted are replaced: undecodable\n"
                 "input by U+FFFD, unwritable characters by the output encoding's substitute.\n"
                 "Exit status: 0 success, 1 conversion or write failure, 2 usage error.\n"
                 "\n"
                 "Transforms:\n",
                 kProgram, kProgram, kProgram);
    for (zuconv::TransformName const & t : zuconv::kTransforms) {
        std::fprintf(out, "  %-20s  %s\n", t.name, t.what);
    }
}

bool Fail(char const * message, char const * argument = nullptr) {
    if (argument != nullptr) {
        std::fprintf(stderr, "%s: %s '%s'\n", kProgram, message, argument);
    } else {
        std::fprintf(stderr, "%s: %s\n", kProgram, message);
    }
    return false;
}

// Understands \xHH, \\ and plain bytes.
bool DecodeSubstitute(char const * text, std::string & bytes) {
    bytes.clear();
    for (char const * p = text; *p != '\0'; ++p) {
        if (*p != '\\') {
            bytes.push_back(*p);
        } else if (p[1] == '\\') {
            bytes.push_back('\\');
            ++p;
        } else if (p[1] == 'x' && std::isxdigit(static_cast<unsigned char>(p[2])) &&
                   std::isxdigit(static_cast<unsigned char>(p[3]))) {
            char hex[3] = {p[2], p[3], '\0'};
            bytes.push_back(static_cast<char>(std::strtoul(hex, nullptr, 16)));
            p += 3;
        } else {
            return false;
        }
    }
    return !bytes.empty() && bytes.find('\0') == std::string::npos;
}

// Returns the value of an option given as "--name=value" or "--name value".
bool TakeValue(int argc, char ** argv, int & i, char const * arg, std::size_t name_length,
               std::string & value) {
    if (arg[name_length] == '=') {
        value = arg + name_length + 1;
        return true;
    }
    if (arg[name_length] == '\0' && i + 1 < argc) {
        value = argv[++i];
        return true;
    }
    return Fail("option needs a value:", arg);
}

// iconv's habits on the target name: "//IGNORE" omits what cannot be
// converted (as -c does); "//TRANSLIT" asks for transliteration, which is not
// offered; an empty "//" means nothing.
bool TakeIconvSuffixes(Options & options) {
    for (std::size_t slashes; (slashes = options.to.rfind("//")) != std::string::npos;) {
        std::string suffix = options.to.substr(slashes + 2);
        for (char & c : suffix) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (suffix == "IGNORE") {
            options.on_problem = OnProblem::kOmit;
        } else if (suffix == "TRANSLIT") {
            return Fail(
                "transliteration is not offered (//TRANSLIT); use -c to omit, --sgml or "
                "--subst to replace what the output encoding lacks");
        } else if (!suffix.empty()) {
            break;
        }
        options.to.erase(slashes);
    }
    return true;
}

bool ParseArguments(int argc, char ** argv, Options & options) {
    bool only_files = false;
    for (int i = 1; i < argc; ++i) {
        char const * arg = argv[i];
        std::string value;
        auto is = [arg](char const * name) { return std::strcmp(arg, name) == 0; };
        auto starts = [arg](char const * name) {
            std::size_t const n = std::strlen(name);
            return std::strncmp(arg, name, n) == 0 && (arg[n] == '\0' || arg[n] == '=');
        };
        if (only_files || arg[0] != '-' || is("-")) {
            options.inputs.push_back(arg);
        } else if (is("--")) {
            only_files = true;
        } else if (is("-f") || starts("--from-code")) {
            if (!TakeValue(argc, argv, i, arg, is("-f") ? 2 : 11, options.from))
                return false;
        } else if (std::strncmp(arg, "-f", 2) == 0) {
            options.from = arg + 2;
        } else if (is("-t") || starts("--to-code")) {
            if (!TakeValue(argc, argv, i, arg, is("-t") ? 2 : 9, options.to))
                return false;
        } else if (std::strncmp(arg, "-t", 2) == 0) {
            options.to = arg + 2;
        } else if (is("-o") || starts("--output")) {
            if (!TakeValue(argc, argv, i, arg, is("-o") ? 2 : 8, options.output))
                return false;
        } else if (std::strncmp(arg, "-o", 2) == 0) {
            options.output = arg + 2;
        } else if (is("-c")) {
            options.on_problem = OnProblem::kOmit;
        } else if (is("--strict")) {
            options.on_problem = OnProblem::kStrict;
        } else if (is("--sgml")) {
            options.on_problem = OnProblem::kSgml;
        } else if (starts("--subst")) {
            if (!TakeValue(argc, argv, i, arg, 7, value))
                return false;
            if (!DecodeSubstitute(value.c_str(), options.substitute)) {
                return Fail("not a usable substitute:", value.c_str());
            }
            options.have_substitute = true;
        } else if (is("--from-bom")) {
            options.from_bom = true;
        } else if (is("--to-bom")) {
            options.to_bom = true;
        } else if (is("--from-sgml")) {
            options.from_sgml = true;
        } else if (starts("--transform")) {
            std::string bad;
            if (!TakeValue(argc, argv, i, arg, 11, value))
                return false;
            if (!zuconv::ParseTransforms(value, options.transforms, bad)) {
                return Fail("unknown transform (see --help):", bad.c_str());
            }
        } else if (is("--progress")) {
            options.progress = true;
        } else if (starts("--normalize")) {
            if (!TakeValue(argc, argv, i, arg, 11, value))
                return false;
            char const * const forms[] = {"NFD", "NFC", "NFKD", "NFKC"};
            options.normalize = -1;
            for (int f = 0; f < 4; ++f) {
                if (value == forms[f])
                    options.normalize = f;
            }
            if (options.normalize < 0) {
                return Fail("not a normalization form (NFC, NFD, NFKC, NFKD):", value.c_str());
            }
        } else if (is("--sort")) {
            options.sort = true;
        } else if (is("-l") || is("--list")) {
            options.list = true;
        } else if (is("--list-variations")) {
            options.list_variations = true;
        } else if (is("-h") || is("--help")) {
            options.help = true;
        } else if (is("--version")) {
            options.version = true;
        } else if (starts("--guess")) {
            if (!TakeValue(argc, argv, i, arg, 7, options.guess))
                return false;
        } else if (is("-v")) {
            options.verbose = true;
        } else {
            return Fail("unknown option", arg);
        }
    }
    return TakeIconvSuffixes(options);
}

// --- encodings ----------------------------------------------------------------------

// The byte-order-mark form of a byte form of Unicode: the same variation
// applied to the byte-order-mark variant of its base.
CharEncoding const * WithByteOrderMark(CharEncoding const & encoding) {
    TextEncoding const * base = encoding.GetParentEncoding();
    EncodingVariation const * variation = encoding.GetParentVariation();
    if (base == nullptr || variation == nullptr) {
        return nullptr;
    }
    if (base->GetParentVariation() != nullptr &&
        base->GetParentVariation()->GetEncodingVariationID() ==
            EncodingVariationID::ByteOrderMark()) {
        return &encoding;  // already a byte-order-mark form
    }
    TextEncoding const * marked = base->LookupVariant(EncodingVariationID::ByteOrderMark());
    if (marked == nullptr) {
        return nullptr;
    }
    TextEncoding const * result = marked->LookupVariant(variation->GetEncodingVariationID());
    return result != nullptr ? result->AsCharEncoding() : nullptr;
}

// Names that belong to no byte encoding: a 16-bit encoding ("UNICODE-1-1")
// is read and written as its byte stream (byte-order mark, platform order),
// and a variation alone ("Java") is that form of UTF-16.
CharEncoding const * ByteFormByName(char const * name) {
    TextEncoding const * found = Char16Encoding::Lookup(name);
    EncodingVariationID variations =
        EncodingVariationID::ByteOrderMark() + EncodingVariationID::PlatformByteOrder();
    if (found == nullptr) {
        EncodingVariation const * variation = EncodingVariation::Lookup(name);
        if (variation == nullptr) {
            return nullptr;
        }
        found = &Char16Encoding::UTF16();
        variations = variation->GetEncodingVariationID();
    }
    TextEncoding const * form = found->LookupVariant(variations);
    return form != nullptr ? form->AsCharEncoding() : nullptr;
}

CharEncoding const * FindEncoding(std::string const & name, bool bom, char const * role) {
    CharEncoding const * encoding = CharEncoding::Lookup(name.c_str());
    if (encoding == nullptr) {
        encoding = ByteFormByName(name.c_str());
    }
    if (encoding == nullptr) {
        std::fprintf(stderr, "%s: unknown %s encoding '%s' (%s -l lists the encodings)\n", kProgram,
                     role, name.c_str(), kProgram);
        return nullptr;
    }
    if (bom) {
        CharEncoding const * marked = WithByteOrderMark(*encoding);
        if (marked == nullptr) {
            std::fprintf(stderr, "%s: the encoding '%s' has no byte-order-mark form\n", kProgram,
                         encoding->Name());
        }
        return marked;
    }
    return encoding;
}

void ListEncodings() {
    std::printf("# name\tidentifier\tcode page\tMIME name\tlibrary\twritable\taliases\n");
    for (unsigned i = 0; i < TextEncoding::Count(); ++i) {
        TextEncoding const * encoding = TextEncoding::Lookup(i);
        if (encoding == nullptr || !encoding->IsCharEncoding()) {
            continue;
        }
        std::printf("%s\t0x%05lx\t%u\t%s\t%s\t%s\t", encoding->Name(),
                    static_cast<unsigned long>(encoding->GetTextEncodingID()), encoding->CodePage(),
                    encoding->MimeName() != nullptr ? encoding->MimeName() : "-",
                    encoding->LibraryName() != nullptr ? encoding->LibraryName() : "(built in)",
                    encoding->IsValidForOutput() ? "yes" : "no");
        for (unsigned n = 1; n < encoding->CountNicknames(); ++n) {
            std::printf("%s%s", n > 1 ? ", " : "", encoding->GetNickname(n));
        }
        std::printf("\n");
    }
}

void ListVariations() {
    for (unsigned long number = 1; number < 10; ++number) {
        EncodingVariation const * variation =
            EncodingVariation::Lookup(EncodingVariationID(number));
        if (variation == nullptr) {
            continue;
        }
        std::printf("%s", variation->Name());
        for (unsigned n = 1; n < variation->CountNames(); ++n) {
            std::printf("%s%s", n > 1 ? ", " : "\t", variation->GetName(n));
        }
        std::printf("\n");
    }
}

// --- input ----------------------------------------------------------------------------

// Reads a file in large blocks and keeps track of where each block starts,
// so that a problem can be placed in the input.
class InputFile : public CharSource {
public:
    InputFile(std::FILE * file, char const * name) : file_(file), name_(name), block_(kReadBlock) {}

    char const * Name() const { return name_; }
    bool ReadFailed() const { return failed_; }
    std::uint64_t BytesRead() const { return block_offset_ + block_length_; }

    // The offset in the file of a byte of the current block, or -1.
    long long OffsetOf(char const * p) const {
        char const * start = block_.data();
        if (p < start || p > start + block_length_) {
            return -1;
        }
        return static_cast<long long>(block_offset_) + (p - start);
    }
    char const * BlockStart() const { return block_.data(); }

protected:
    bool FillBuffer() override {
        block_offset_ += block_length_;
        block_length_ = std::fread(block_.data(), 1, block_.size(), file_);
        if (block_length_ == 0) {
            failed_ = std::ferror(file_) != 0;
            return false;
        }
        SetWindow(block_.data(), block_.data() + block_length_);
        return true;
    }

private:
    std::FILE * file_;
    char const * name_;
    std::vector<char> block_;
    std::uint64_t block_offset_ = 0;
    std::size_t block_length_ = 0;
    bool failed_ = false;
};

// --- problems ---------------------------------------------------------------------------

// What a strict conversion stops with.
struct ConversionStopped {
    std::string message;
};

std::string Hex(unsigned char const * begin, unsigned char const * end) {
    std::string text;
    char piece[4];
    for (unsigned char const * p = begin; p < end; ++p) {
        std::snprintf(piece, sizeof piece, "%s%02X", text.empty() ? "" : " ", *p);
        text += piece;
    }
    return text;
}

// Handles problems as the options say: substitute (the library's default
// handling), omit, stop, or write numeric character references.
class CliBehavior : public UnicodeLibBehaviorSGML {
public:
    CliBehavior(OnProblem on_problem, CharEncoding const & from, CharEncoding const & to)
        : on_problem_(on_problem), from_(from), to_(to) {}

    void SetInput(InputFile * input) { input_ = input; }

    using UnicodeLibBehaviorSGML::HandleCharacterNotInRepertoire;
    // References only with --sgml; otherwise the problem goes to the handler
    // of its direction, as in the base behaviour.
    void HandleCharacterNotInRepertoire(Char32ToCharCharacterNotInRepertoire & problem) override {
        if (on_problem_ == OnProblem::kSgml) {
            UnicodeLibBehaviorSGML::HandleCharacterNotInRepertoire(problem);
        } else {
            HandleChar32ToCharConversionProblem(problem);
        }
    }

    void HandleCharToChar32ConversionProblem(CharToChar32ConversionProblem & problem) override {
        if (on_problem_ == OnProblem::kStrict) {
            throw ConversionStopped{
                DescribeUndecodable(problem.InputStart(), problem.ProblemPtr())};
        }
        if (on_problem_ != OnProblem::kOmit) {
            UnicodeLibBehavior::HandleCharToChar32ConversionProblem(problem);
        }
    }

    void HandleChar32ToCharConversionProblem(Char32ToCharConversionProblem & problem) override {
        if (on_problem_ == OnProblem::kStrict) {
            unsigned int const c =
                problem.ProblemPtr() != nullptr && problem.ProblemPtr() > problem.InputStart()
                    ? problem.ProblemPtr()[-1]
                    : 0xFFFD;
            char text[160];
            std::snprintf(text, sizeof text,
                          "cannot write U+%04X in %s (input read up to byte offset %" PRIu64 ")", c,
                          to_.Name(), input_ != nullptr ? input_->BytesRead() : 0);
            throw ConversionStopped{text};
        }
        if (on_problem_ != OnProblem::kOmit) {
            UnicodeLibBehavior::HandleChar32ToCharConversionProblem(problem);
        }
    }

private:
    // Places an undecodable sequence that ends just before `end`. Its start
    // is found by decoding the current block again, one byte at a time, and
    // taking the last character boundary before `end`.
    std::string DescribeUndecodable(char const * window_start, char const * end) const {
        char text[256];
        if (end == nullptr || input_ == nullptr || input_->OffsetOf(end) < 0) {
            std::snprintf(text, sizeof text, "the input ends inside a %s sequence", from_.Name());
            return text;
        }
        char const * start = SequenceStart(window_start, end);
        auto const * begin = reinterpret_cast<unsigned char const *>(start);
        auto const * stop = reinterpret_cast<unsigned char const *>(end);
        std::snprintf(text, sizeof text, "invalid %s input at byte offset %lld: %s", from_.Name(),
                      input_->OffsetOf(start), Hex(begin, stop).c_str());
        return text;
    }

    char const * SequenceStart(char const * window_start, char const * end) const {
        char const * floor = end - 1;
        char const * scan = input_->BlockStart();
        if (window_start != nullptr && window_start > scan && window_start < end) {
            scan = window_start;
        }
        if (end - scan > 64) {
            scan = end - 64;
        }
        char storage[2048];
        LinearAllocator arena(storage, sizeof storage, "zuconv", 0);
        Transcoder<char, unsigned int> * decoder = from_.CreateConverterToUTF32(arena);
        if (decoder == nullptr) {
            return floor;
        }
        char const * boundary = scan;
        unsigned int out_storage[8];
        for (char const * p = scan; p < end - 1; ++p) {
            char const * in = p;
            unsigned int * out = out_storage;
            TranscodeResult const result = decoder->Transcode(in, p + 1, out, out_storage + 8, -1);
            if (out != out_storage || result == kTranscodeIllegalInput ||
                result == kTranscodeNoCharacterDefined) {
                boundary = p + 1;
            }
        }
        delete decoder;
        return boundary < floor ? boundary : floor;
    }

    OnProblem on_problem_;
    CharEncoding const & from_;
    CharEncoding const & to_;
    InputFile * input_ = nullptr;
};

// --- output -----------------------------------------------------------------------------

// Standard output, or a temporary file beside the requested one that
// replaces it only when everything succeeded.
class Output {
public:
    bool Open(std::string const & path) {
        if (path.empty() || path == "-") {
            file_ = stdout;
            return true;
        }
        path_ = path;
        temporary_ = path + ".zuconv-XXXXXX";
        int const fd = mkstemp(&temporary_[0]);
        if (fd < 0) {
            std::fprintf(stderr, "%s: cannot create '%s': %s\n", kProgram, path.c_str(),
                         std::strerror(errno));
            temporary_.clear();
            return false;
        }
        file_ = fdopen(fd, "wb");
        return file_ != nullptr;
    }

    bool Write(char const * data, std::size_t size) {
        if (size != 0 && std::fwrite(data, 1, size, file_) != size) {
            failed_ = true;
        }
        return !failed_;
    }

    // Flushes and, for a file, moves it into place; on failure removes it.
    bool Close(bool success) {
        bool ok = success && !failed_ && std::fflush(file_) == 0 && std::ferror(file_) == 0;
        if (file_ != stdout) {
            ok = (std::fclose(file_) == 0) && ok;
            if (ok && std::rename(temporary_.c_str(), path_.c_str()) != 0) {
                ok = false;
            }
            if (!ok) {
                std::remove(temporary_.c_str());
            }
        }
        file_ = nullptr;
        return ok;
    }

    std::string const & Path() const { return path_; }

private:
    std::FILE * file_ = nullptr;
    std::string path_;
    std::string temporary_;
    bool failed_ = false;
};

// --- conversion -------------------------------------------------------------------------

// Bytes read so far out of the total size of the input files (when known).
struct Progress {
    bool enabled = false;
    std::uint64_t total = 0;
    std::uint64_t earlier_files = 0;
    std::uint64_t shown = 0;

    void Show(std::uint64_t done_in_file) {
        std::uint64_t const done = earlier_files + done_in_file;
        if (!enabled || total == 0 || (done - shown < (1u << 20) && done != total)) {
            return;
        }
        shown = done;
        std::fprintf(stderr, "\r%s: %3u%% (%" PRIu64 " of %" PRIu64 " bytes)", kProgram,
                     static_cast<unsigned>(done * 100 / total), done, total);
    }
    void End() {
        if (enabled && total != 0) {
            std::fprintf(stderr, "\n");
        }
    }
};

// --sort: the text of every input (decoded, normalized and transformed as
// asked) is kept, its lines are put in collation order (lines that collate
// equal keep their order), and the result is written at the end. Every line
// ends in a line feed.
void Collect(Char32Source & text, std::vector<unsigned int> & kept) {
    unsigned int const * begin = nullptr;
    unsigned int const * end = nullptr;
    while (text.GetBuffer(begin, end)) {
        kept.insert(kept.end(), begin, end);
        text.DoneWith(end);
    }
}

std::vector<unsigned int> SortLines(std::vector<unsigned int> const & text) {
    CollationSequence const table;
    struct Line {
        std::size_t begin;
        std::size_t end;
        CollationKey key;
    };
    std::vector<Line> lines;
    std::vector<unsigned int> line;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = begin;
        while (end < text.size() && text[end] != '\n')
            ++end;
        lines.push_back({begin, end, CollationKey()});
        line.assign(text.begin() + static_cast<long>(begin), text.begin() + static_cast<long>(end));
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        CollationAlgorithm::MakeKey(lines.back().key, table, line.data(),
                                    static_cast<int>(line.size()));
        begin = end + 1;
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](Line const & a, Line const & b) { return a.key < b.key; });
    std::vector<unsigned int> sorted;
    sorted.reserve(text.size() + 1);
    for (Line const & l : lines) {
        sorted.insert(sorted.end(), text.begin() + static_cast<long>(l.begin),
                      text.begin() + static_cast<long>(l.end));
        sorted.push_back('\n');
    }
    return sorted;
}

// Writes UTF-32 text in the output encoding, showing how far `input` got.
int WriteText(Char32Source & text, CharEncoding const & to, CliBehavior & behavior, Output & out,
              InputFile const * input, Progress & progress) {
    CharEncodingConverter converter(text, Char32Encoding::UTF32(), to);
    converter.SetBehavior(&behavior);
    char const * begin = nullptr;
    char const * end = nullptr;
    while (converter.GetBuffer(begin, end)) {
        if (!out.Write(begin, static_cast<std::size_t>(end - begin))) {
            std::fprintf(stderr, "%s: cannot write the output: %s\n", kProgram,
                         std::strerror(errno));
            return kConversionFailed;
        }
        converter.DoneWith(end);
        if (input != nullptr)
            progress.Show(input->BytesRead());
    }
    return kSuccess;
}

int ConvertStream(std::FILE * in, char const * name, CharEncoding const & from,
                  CharEncoding const & to, Options const & options, CliBehavior & behavior,
                  Output & out, Progress & progress, std::vector<unsigned int> * kept) {
    InputFile input(in, name);
    behavior.SetInput(&input);
    // Always decode and encode again, even between equal encodings, so that
    // the input is checked and problems are handled as asked.
    Char32EncodingConverter decoder(input, from, Char32Encoding::UTF32());
    // --from-sgml decodes references first; --normalize works on the decoded
    // text, before the transforms.
    FromSGMLEntityTransform references(decoder);
    std::unique_ptr<NormalizationTransform> normalized;
    Char32Source * text = options.from_sgml ? static_cast<Char32Source *>(&references) : &decoder;
    if (options.normalize >= 0) {
        normalized.reset(new NormalizationTransform(
            *text, static_cast<NormalizationTransform::Form>(options.normalize)));
        text = normalized.get();
    }
    zuconv::TransformChain transforms(*text, options.transforms);
    decoder.SetBehavior(&behavior);
    if (kept != nullptr) {
        Collect(transforms.Output(), *kept);
    } else {
        int const status = WriteText(transforms.Output(), to, behavior, out, &input, progress);
        if (status != kSuccess)
            return status;
    }
    behavior.SetInput(nullptr);
    progress.earlier_files += input.BytesRead();
    if (input.ReadFailed()) {
        std::fprintf(stderr, "%s: cannot read '%s': %s\n", kProgram, name, std::strerror(errno));
        return kConversionFailed;
    }
    return kSuccess;
}

// --guess: the encoding that auto-detection chooses for each file.
int Guess(Options const & options) {
    char const * const languages[][2] = {
        {"ja", "JapaneseAutoDetect"}, {"zh", "ChineseAutoDetect"}, {"ko", "KoreanAutoDetect"}};
    CharEncoding const * detecting = nullptr;
    for (auto const & language : languages) {
        if (options.guess == language[0]) {
            detecting = CharEncoding::Lookup(language[1]);
        }
    }
    if (detecting == nullptr) {
        Fail("--guess takes ja, zh or ko, not", options.guess.c_str());
        return kUsageError;
    }
    std::vector<std::string> paths = options.inputs;
    if (paths.empty()) {
        paths.emplace_back("-");
    }
    int status = kSuccess;
    for (std::string const & path : paths) {
        bool const standard = path == "-";
        std::FILE * file = standard ? stdin : std::fopen(path.c_str(), "rb");
        char const * name = standard ? "standard input" : path.c_str();
        if (file == nullptr) {
            std::fprintf(stderr, "%s: cannot open '%s': %s\n", kProgram, name,
                         std::strerror(errno));
            status = kConversionFailed;
            continue;
        }
        InputFile input(file, name);
        alignas(std::max_align_t) char storage[16384];
        LinearAllocator arena(storage, sizeof storage, "zuconv", 0);
        try {
            ToUnicodeSource * source = detecting->CreateCharSourceToUnicode(input, arena);
            auto const * detection = static_cast<AutoDetectSource const *>(source);
            TextEncoding const & chosen = detection->ActualInputEncoding();
            std::printf("%s: %s %d\n", name, chosen.Name(), detection->ActualRating());
            if (options.verbose) {
                EncodingChooser const & chooser = detection->Chooser();
                for (int i = 0; i < chooser.CountDetectors(); ++i) {
                    CharEncodingDetector const & detector = *chooser.GetDetector(i);
                    std::printf("    %s: %d, tie-breaker %d\n", detector.GetEncoding().Name(),
                                detector.GetRating(), detector.GetTieBreaker());
                }
            }
            delete source;
        } catch (zu_exception const & error) {
            std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
            status = kConversionFailed;
        }
        if (input.ReadFailed()) {
            std::fprintf(stderr, "%s: cannot read '%s': %s\n", kProgram, name,
                         std::strerror(errno));
            status = kConversionFailed;
        }
        if (!standard) {
            std::fclose(file);
        }
    }
    return status;
}

int Run(Options const & options) {
    if (!options.guess.empty()) {
        return Guess(options);
    }
    if (options.list) {
        ListEncodings();
        return kSuccess;
    }
    if (options.list_variations) {
        ListVariations();
        return kSuccess;
    }
    if (options.from.empty() || options.to.empty()) {
        Fail("both -f FROM and -t TO are needed (see --help)");
        return kUsageError;
    }
    CharEncoding const * from = FindEncoding(options.from, options.from_bom, "input");
    CharEncoding const * to = FindEncoding(options.to, options.to_bom, "output");
    if (from == nullptr || to == nullptr) {
        return kUsageError;
    }
    if (!to->IsValidForOutput()) {
        std::fprintf(stderr, "%s: the encoding '%s' can be read but not written\n", kProgram,
                     to->Name());
        return kUsageError;
    }

    // Open every input before writing anything.
    std::vector<std::pair<std::FILE *, std::string>> inputs;
    Progress progress;
    progress.enabled = options.progress;
    if (options.inputs.empty()) {
        inputs.emplace_back(stdin, "standard input");
    }
    for (std::string const & path : options.inputs) {
        std::FILE * file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            std::fprintf(stderr, "%s: cannot open '%s': %s\n", kProgram, path.c_str(),
                         std::strerror(errno));
            for (auto & opened : inputs) {
                if (opened.first != stdin)
                    std::fclose(opened.first);
            }
            return kUsageError;
        }
        struct stat info;
        if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)) {
            progress.total += static_cast<std::uint64_t>(info.st_size);
        }
        inputs.emplace_back(file, path);
    }

    CliBehavior behavior(options.on_problem, *from, *to);
    if (options.have_substitute) {
        behavior.SetExternalSubstitute(options.substitute.c_str());
    }

    Output out;
    if (!out.Open(options.output)) {
        return kConversionFailed;
    }
    int status = kSuccess;
    std::vector<unsigned int> kept;
    for (auto & input : inputs) {
        try {
            status = ConvertStream(input.first, input.second.c_str(), *from, *to, options, behavior,
                                   out, progress, options.sort ? &kept : nullptr);
        } catch (ConversionStopped const & stop) {
            std::fprintf(stderr, "%s: %s: %s\n", kProgram, input.second.c_str(),
                         stop.message.c_str());
            status = kConversionFailed;
        } catch (zu_exception const & error) {
            std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
            status = kConversionFailed;
        }
        if (input.first != stdin) {
            std::fclose(input.first);
        }
        if (status != kSuccess) {
            break;
        }
    }
    if (options.sort && status == kSuccess) {
        try {
            std::vector<unsigned int> const sorted = SortLines(kept);
            BufferChar32Source text(sorted.data(), sorted.data() + sorted.size());
            status = WriteText(text, *to, behavior, out, nullptr, progress);
        } catch (zu_exception const & error) {
            std::fprintf(stderr, "%s: %s\n", kProgram, error.what());
            status = kConversionFailed;
        }
    }
    progress.End();
    if (!out.Close(status == kSuccess) && status == kSuccess) {
        std::fprintf(stderr, "%s: cannot write '%s': %s\n", kProgram,
                     out.Path().empty() ? "standard output" : out.Path().c_str(),
                     std::strerror(errno));
        status = kConversionFailed;
    }
    return status;
}

}  // namespace

int main(int argc, char ** argv) {
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fprintf(stderr, "Try '%s --help'.\n", kProgram);
        return kUsageError;
    }
    if (options.help) {
        PrintUsage(stdout);
        return kSuccess;
    }
    if (options.version) {
        std::printf("%s (%s)\n", kProgram, UnicodeLibrary::VersionString());
        return kSuccess;
    }
    return Run(options);
}
