#include "tools/hashmere_cli/cli.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <optional>
#include <ostream>
#include <string_view>
#include <system_error>

#include "checksum/engine/algorithm_rows.h"
#include "checksum/engine/digest.h"
#include "checksum/engine/digest_context.h"
#include "checksum/engine/file_digest.h"
#include "checksum/engine/multi_digest.h"
#include "program_versions.h"
#include "tools/hashmere_cli/check_line.h"
#include "tools/hashmere_cli/folder_walk.h"
#include "tools/hashmere_cli/progress_line.h"

namespace hashmere_cli {
namespace {

constexpr std::string_view kProgram = "hashmere-cli";

// clang-format off
constexpr std::string_view kHelp =
    "Usage: hashmere-cli [OPTION]... [FILE]...\n"
    "   or: hashmere-cli --check [OPTION]... [LIST]...\n"
    "Print checksums of each FILE, one line per algorithm in this order:\n"
    "  CRC32, MD5, SHA1, SHA2-224, SHA2-256, SHA2-384, SHA2-512,\n"
    "  SHA3-224, SHA3-256, SHA3-384, SHA3-512\n"
    "each as the label, a space and the lower-case hexadecimal digest, e.g.\n"
    "  SHA2-256: e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855\n"
    "With more than one FILE, each file's lines follow a heading \"==> FILE <==\"\n"
    "and files are separated by an empty line. With no FILE, or FILE -, read\n"
    "standard input. Each file is read once for all chosen algorithms, which\n"
    "run side by side on the available cores.\n"
    "\n"
    "  -a, --algorithm=ALGO  compute ALGO; may be repeated. ALGO is one of crc32,\n"
    "                        md5, sha1, sha224, sha256, sha384, sha512, sha3-224,\n"
    "                        sha3-256, sha3-384, sha3-512, or all (the default)\n"
    "  -e, --expect=TEXT     succeed only if some computed checksum equals TEXT\n"
    "                        exactly (lower-case hexadecimal, no spaces)\n"
    "      --format=FORMAT   hashmere (the lines above, the default), gnu\n"
    "                        (\"HEX  FILE\" as sha256sum writes; one algorithm)\n"
    "                        or bsd (\"SHA256 (FILE) = HEX\"; any algorithms)\n"
    "  -r, --recursive       digest the files in each FOLDER and its subfolders,\n"
    "                        in name order; symbolic links are skipped\n"
    "  -L, --follow-links    with -r, follow symbolic links (loops are detected)\n"
    "      --progress        show progress even when standard error is not a\n"
    "                        terminal (on a terminal it is shown for long files)\n"
    "  -c, --check           read checksum lists as written by md5sum, sha1sum,\n"
    "                        sha256sum and the like (also their --tag form) and\n"
    "                        check the files they name; the algorithm follows\n"
    "                        from the tag or the digest's length (SHA-2 for 56,\n"
    "                        64, 96 and 128 digits) unless -a names it\n"
    "      --quiet           with --check, do not print OK for each file\n"
    "      --status          with --check, print nothing; the exit status tells\n"
    "      --help            display this help and exit\n"
    "      --version         output version information and exit\n"
    "\n"
    "Exit status: 0 if all went well; 1 if --expect matched nothing or --check\n"
    "found a mismatch, an unreadable file or a malformed line; 2 if a FILE,\n"
    "LIST or folder entry could not be read or the command line is wrong.\n";
// clang-format on

constexpr std::string_view kVersion = "hashmere-cli (Hashmere) " HASHMERE_VERSION "\n"
                                      "Copyright (C) 2026 Orvanix.\n";

enum class OutputFormat { Hashmere, Gnu, Bsd };

struct Options {
    bool rows[engine::kAlgorithmRowCount] = {};
    bool anyRow = false;
    std::optional<std::string> expected;
    bool check = false;
    bool quiet = false;
    bool status = false;
    OutputFormat format = OutputFormat::Hashmere;
    bool recursive = false;
    bool progress = false;
    bool followLinks = false;
    std::vector<std::string> files;
};

enum class ParseResult { Run, Help, Version, Error };

bool selectAlgorithm(Options& options, std::string_view name)
{
    if (name == "all") {
        for (bool& row : options.rows)
            row = true;
        options.anyRow = true;
        return true;
    }
    for (int r = 0; r < engine::kAlgorithmRowCount; ++r) {
        if (engine::kAlgorithmRows[r].shortName == name) {
            options.rows[r] = true;
            options.anyRow = true;
            return true;
        }
    }
    return false;
}

ParseResult parseArguments(const std::vector<std::string>& arguments, Options& options, std::ostream& err)
{
    auto usageError = [&err](const std::string& message) {
        err << kProgram << ": " << message << "\nTry '" << kProgram << " --help' for more information.\n";
        return ParseResult::Error;
    };
    bool onlyFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (onlyFiles || arg == "-" || arg.empty() || arg[0] != '-') {
            options.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            onlyFiles = true;
            continue;
        }
        // Options that take a value: -aX, -a X, --algorithm=X, --algorithm X (and -e, --expect).
        std::string value;
        char which = 0;
        if (arg.rfind("--algorithm", 0) == 0 || arg.rfind("--expect", 0) == 0) {
            which = arg[2] == 'a' ? 'a' : 'e';
            const std::string_view longName = which == 'a' ? "--algorithm" : "--expect";
            if (arg.size() > longName.size() && arg[longName.size()] != '=')
                return usageError("unrecognized option '" + arg + "'");
            if (arg.size() > longName.size()) {
                value = arg.substr(longName.size() + 1);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return usageError("option '" + std::string(longName) + "' requires an argument");
            }
        } else if (arg.size() >= 2 && (arg[1] == 'a' || arg[1] == 'e') && arg[0] == '-' && arg[1] != '-') {
            which = arg[1];
            if (arg.size() > 2) {
                value = arg.substr(2);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
            } else {
                return usageError(std::string("option requires an argument -- '") + which + "'");
            }
        }
        if (which == 'a') {
            if (!selectAlgorithm(options, value))
                return usageError("unknown algorithm '" + value + "'");
            continue;
        }
        if (which == 'e') {
            options.expected = value;
            continue;
        }
        if (arg.rfind("--format", 0) == 0) {
            std::string name;
            if (arg.rfind("--format=", 0) == 0)
                name = arg.substr(9);
            else if (arg == "--format" && i + 1 < arguments.size())
                name = arguments[++i];
            else if (arg == "--format")
                return usageError("option '--format' requires an argument");
            else
                return usageError("unrecognized option '" + arg + "'");
            if (name == "hashmere")
                options.format = OutputFormat::Hashmere;
            else if (name == "gnu")
                options.format = OutputFormat::Gnu;
            else if (name == "bsd")
                options.format = OutputFormat::Bsd;
            else
                return usageError("unknown format '" + name + "' (hashmere, gnu or bsd)");
            continue;
        }
        if (arg == "-c" || arg == "--check")
            options.check = true;
        else if (arg == "--progress")
            options.progress = true;
        else if (arg == "-r" || arg == "--recursive")
            options.recursive = true;
        else if (arg == "-L" || arg == "--follow-links")
            options.followLinks = true;
        else if (arg == "--quiet")
            options.quiet = true;
        else if (arg == "--status")
            options.status = true;
        else if (arg == "--help")
            return ParseResult::Help;
        else if (arg == "--version")
            return ParseResult::Version;
        else if (arg.size() > 1 && arg[1] == '-')
            return usageError("unrecognized option '" + arg + "'");
        else
            return usageError("invalid option -- '" + arg.substr(1, 1) + "'");
    }
    if (options.check && (options.recursive || options.followLinks))
        return usageError("--recursive and --follow-links cannot be used with --check");
    if (options.check && options.expected)
        return usageError("--expect cannot be used with --check");
    if (!options.check && (options.quiet || options.status))
        return usageError("--quiet and --status are meaningful only when checking");
    if (options.files.empty())
        options.files.push_back("-");
    if (!options.anyRow && !options.check)
        selectAlgorithm(options, "all");
    if (!options.check && options.format == OutputFormat::Gnu &&
        std::count(std::begin(options.rows), std::end(options.rows), true) != 1)
        return usageError("--format=gnu needs exactly one algorithm (-a)");
    return ParseResult::Run;
}

std::vector<engine::DigestRequest> requestsFor(const bool rows[])
{
    std::vector<engine::DigestRequest> requests;
    for (int r = 0; r < engine::kAlgorithmRowCount; ++r) {
        if (rows[r])
            requests.push_back({engine::kAlgorithmRows[r].algorithm, engine::kAlgorithmRows[r].bitWidth});
    }
    return requests;
}

// The chosen rows' digests of one input, all read in a single pass, or why not.
struct InputDigests {
    std::string hex[engine::kAlgorithmRowCount]; // chosen rows only
    std::string problem;                         // empty when the digests are there
    bool sizeChanged = false;
};

void takeDigests(const engine::MultiDigest& digests, const bool rows[], InputDigests& result)
{
    std::size_t next = 0;
    for (int r = 0; r < engine::kAlgorithmRowCount; ++r) {
        if (rows[r])
            result.hex[r] = digests.hex[next++];
    }
    result.sizeChanged = digests.sizeChanged;
    if (digests.hex.empty() || digests.hex.front().empty())
        result.problem = "Read error";
}

// Standard input is read once, through `in`.
InputDigests digestStream(std::istream& in, const bool rows[], ProgressMeter& meter)
{
    const engine::BlockReadHook hook = [&meter](std::int64_t done) { updateProgress(meter, done); };
    beginProgress(meter, "-", -1);
    const auto read = [&in](std::uint8_t* buffer, std::size_t size) -> std::ptrdiff_t {
        in.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(size));
        return in.bad() ? -1 : static_cast<std::ptrdiff_t>(in.gcount());
    };
    InputDigests result;
    takeDigests(engine::readerDigestsHex(read, requestsFor(rows), hook), rows, result);
    endProgress(meter);
    return result;
}

// A regular file is opened as such; a FIFO is read once, to its end, like
// standard input; folders, devices and sockets are refused unread.
InputDigests digestPath(const std::string& name, const bool rows[], ProgressMeter& meter)
{
    const engine::BlockReadHook hook = [&meter](std::int64_t done) { updateProgress(meter, done); };
    InputDigests result;
    struct stat info {};
    if (::stat(name.c_str(), &info) != 0) {
        result.problem = std::strerror(errno);
        return result;
    }
    if (S_ISDIR(info.st_mode)) {
        result.problem = "Is a directory";
    } else if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) {
        result.problem = "Is a device; not read";
    } else if (S_ISSOCK(info.st_mode)) {
        result.problem = "Is a socket; not read";
    } else if (S_ISFIFO(info.st_mode)) {
        const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0) {
            result.problem = std::strerror(errno);
            return result;
        }
        beginProgress(meter, name, -1);
        takeDigests(engine::descriptorDigestsHex(fd, requestsFor(rows), hook), rows, result);
        endProgress(meter);
        ::close(fd);
    } else if (S_ISREG(info.st_mode)) {
        beginProgress(meter, name, info.st_size);
        const engine::MultiDigest digests = engine::fileDigestsHex(name, requestsFor(rows), hook);
        endProgress(meter);
        takeDigests(digests, rows, result);
        if (!result.problem.empty() && ::access(name.c_str(), R_OK) != 0)
            result.problem = std::strerror(errno);
    } else {
        result.problem = "Not a regular file";
    }
    return result;
}

std::string whyUnreadable(const std::string& file)
{
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0)
        return std::strerror(errno);
    if (S_ISDIR(info.st_mode))
        return "Is a directory";
    return "Cannot be read";
}

// Names holding a backslash, line feed or carriage return are written
// escaped, and their line starts with a backslash, as sha256sum does.
bool needsEscape(std::string_view name)
{
    return name.find_first_of("\\\n\r") != std::string_view::npos;
}

std::string escapeName(std::string_view name)
{
    std::string escaped;
    for (const char c : name) {
        if (c == '\\')
            escaped += "\\\\";
        else if (c == '\n')
            escaped += "\\n";
        else if (c == '\r')
            escaped += "\\r";
        else
            escaped += c;
    }
    return escaped;
}

// The tag of a row in BSD lines: "SHA256", "SHA3-256", "MD5", as sha256sum
// --tag and cksum write them.
std::string bsdTag(int row)
{
    const std::string_view label = engine::kAlgorithmRows[row].resultLabel;
    std::string tag(label.substr(0, label.size() - 2));
    if (tag.rfind("SHA2-", 0) == 0)
        tag = "SHA" + tag.substr(5);
    return tag;
}

void writeDigestLine(std::ostream& out, OutputFormat format, int row, const std::string& hex, std::string_view name)
{
    const bool escape = format != OutputFormat::Hashmere && needsEscape(name);
    const std::string shown = escape ? escapeName(name) : std::string(name);
    switch (format) {
    case OutputFormat::Hashmere:
        out << engine::kAlgorithmRows[row].resultLabel << hex << '\n';
        break;
    case OutputFormat::Gnu:
        out << (escape ? "\\" : "") << hex << "  " << shown << '\n';
        break;
    case OutputFormat::Bsd:
        out << (escape ? "\\" : "") << bsdTag(row) << " (" << shown << ") = " << hex << '\n';
        break;
    }
}

// A checked file's name in a result line, escaped like written lines.
std::string checkedName(const std::string& name)
{
    return needsEscape(name) ? "\\" + escapeName(name) : name;
}

// The state of one run over the FILE arguments.
struct DigestRun {
    const Options& options;
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    ProgressMeter& meter;
    bool headings = false;
    bool printedAny = false;
    bool unreadable = false;
    bool matched = false;
    bool stdinUsed = false;
};

void reportProblem(DigestRun& run, const std::string& name, const std::string& problem)
{
    run.err << kProgram << ": " << name << ": " << problem << '\n';
    run.unreadable = true;
}

void digestOne(DigestRun& run, const std::string& file)
{
    InputDigests digests;
    if (file == "-") {
        if (run.stdinUsed)
            digests.problem = "standard input can be read only once";
        else
            digests = digestStream(run.in, run.options.rows, run.meter);
        run.stdinUsed = true;
    } else {
        digests = digestPath(file, run.options.rows, run.meter);
    }
    if (!digests.problem.empty()) {
        reportProblem(run, file, digests.problem);
        return;
    }
    if (digests.sizeChanged)
        run.err << kProgram << ": " << file << ": WARNING: the file changed size while it was read\n";
    if (run.options.format == OutputFormat::Hashmere && run.headings)
        run.out << (run.printedAny ? "\n" : "") << "==> " << file << " <==\n";
    run.printedAny = true;
    for (int r = 0; r < engine::kAlgorithmRowCount; ++r) {
        if (!run.options.rows[r])
            continue;
        writeDigestLine(run.out, run.options.format, r, digests.hex[r], file);
        run.matched = run.matched || (run.options.expected && digests.hex[r] == *run.options.expected);
    }
}

int runDigests(const Options& options, std::istream& in, std::ostream& out, std::ostream& err, ProgressMeter& meter)
{
    DigestRun run{options, in, out, err, meter};
    run.headings = options.files.size() > 1 || options.recursive;
    const WalkCalls walkCalls{
        [&run](const std::string& path) { digestOne(run, path); },
        [&run](const std::string& path, const std::string& problem) { reportProblem(run, path, problem); },
        [&run](const std::string& path) {
            run.err << kProgram << ": " << path << ": WARNING: leads back into a folder being walked; not followed\n";
        },
    };
    for (const std::string& file : options.files) {
        struct stat info {};
        if (options.recursive && file != "-" && ::stat(file.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            walkFolder(file, options.followLinks, walkCalls);
        else
            digestOne(run, file);
    }
    out.flush();
    if (options.expected) {
        err << kProgram << ": "
            << (run.matched ? "the expected checksum matches" : "no checksum matches the expected one") << '\n';
    }
    if (run.unreadable)
        return 2;
    return options.expected && !run.matched ? 1 : 0;
}

// The row a check line asks for, or -1.
int rowForCheckLine(const CheckLine& line, const Options& options)
{
    for (int r = 0; r < engine::kAlgorithmRowCount; ++r) {
        const engine::AlgorithmRow& row = engine::kAlgorithmRows[r];
        if (static_cast<std::size_t>(row.hexLength) != line.expectedHex.size())
            continue;
        if (!line.tag.empty()) {
            // Tags as sha256sum --tag and cksum write them, and our own labels.
            std::string label(row.resultLabel.substr(0, row.resultLabel.size() - 2));
            std::string plain = label;
            if (plain.rfind("SHA2-", 0) == 0)
                plain = "SHA" + plain.substr(5);
            if (line.tag == label || line.tag == plain)
                return r;
            continue;
        }
        if (options.anyRow ? options.rows[r] : true)
            return r; // by length: the first row in order, so SHA-2 before SHA-3
    }
    return -1;
}

int runChecks(const Options& options, std::istream& in, std::ostream& out, std::ostream& err, ProgressMeter& meter)
{
    int listUnreadable = 0, malformed = 0, mismatched = 0, fileUnreadable = 0;
    for (const std::string& list : options.files) {
        std::ifstream file;
        std::istream* source = &in;
        if (list != "-") {
            file.open(list, std::ios::binary);
            if (!file || std::filesystem::is_directory(list)) {
                err << kProgram << ": " << list << ": " << whyUnreadable(list) << '\n';
                ++listUnreadable;
                continue;
            }
            source = &file;
        }
        int wellFormed = 0, badHere = 0;
        // Consecutive lines for the same file (a BSD list with several
        // algorithms) are checked from one read of it.
        struct Pending {
            CheckLine line;
            int row;
        };
        std::vector<Pending> group;
        const auto checkGroup = [&] {
            if (group.empty())
                return;
            bool rows[engine::kAlgorithmRowCount] = {};
            for (const Pending& p : group)
                rows[p.row] = true;
            const InputDigests digests = digestPath(group.front().line.fileName, rows, meter);
            if (digests.sizeChanged && !options.status)
                err << kProgram << ": " << group.front().line.fileName
                    << ": WARNING: the file changed size while it was read\n";
            for (const Pending& p : group) {
                const std::string name = checkedName(p.line.fileName);
                if (!digests.problem.empty()) {
                    ++fileUnreadable;
                    if (!options.status)
                        out << name << ": FAILED open or read\n";
                } else if (digests.hex[p.row] != p.line.expectedHex) {
                    ++mismatched;
                    if (!options.status)
                        out << name << ": FAILED\n";
                } else if (!options.quiet && !options.status) {
                    out << name << ": OK\n";
                }
            }
            group.clear();
        };
        std::string text;
        while (std::getline(*source, text)) {
            const std::optional<CheckLine> line = parseCheckLine(text);
            if (!line) {
                const bool ignorable = text.empty() || text == "\r" || text[0] == '#';
                badHere += !ignorable;
                continue;
            }
            const int r = rowForCheckLine(*line, options);
            if (r < 0) {
                ++badHere;
                continue;
            }
            ++wellFormed;
            if (!group.empty() && group.front().line.fileName != line->fileName)
                checkGroup();
            group.push_back({*line, r});
        }
        checkGroup();
        malformed += badHere;
        if (options.status)
            continue;
        if (wellFormed == 0)
            err << kProgram << ": " << (list == "-" ? "standard input" : list)
                << ": no properly formatted checksum lines found\n";
        else if (badHere != 0)
            err << kProgram << ": WARNING: " << badHere << (badHere == 1 ? " line is" : " lines are")
                << " improperly formatted\n";
        if (wellFormed == 0)
            malformed += 1;
    }
    out.flush();
    if (!options.status) {
        if (fileUnreadable != 0)
            err << kProgram << ": WARNING: " << fileUnreadable << " listed " << (fileUnreadable == 1 ? "file" : "files")
                << " could not be read\n";
        if (mismatched != 0)
            err << kProgram << ": WARNING: " << mismatched << " computed "
                << (mismatched == 1 ? "checksum did" : "checksums did") << " NOT match\n";
    }
    if (listUnreadable != 0)
        return 2;
    return mismatched + fileUnreadable + malformed == 0 ? 0 : 1;
}

} // namespace

int runCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err)
{
    return runCli(arguments, in, out, err, Terminal{});
}

int runCli(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err,
    const Terminal& terminal)
{
    engine::registerStandardPlugins();
    Options options;
    switch (parseArguments(arguments, options, err)) {
    case ParseResult::Help:
        out << kHelp;
        return 0;
    case ParseResult::Version:
        out << kVersion;
        return 0;
    case ParseResult::Error:
        return 2;
    case ParseResult::Run:
        break;
    }
    ProgressMeter meter;
    meter.err = &err;
    meter.enabled = (terminal.errIsTerminal || options.progress) && !options.quiet && !options.status;
    meter.width = terminal.width ? terminal.width : [] { return 80; };
    meter.now = terminal.now ? terminal.now : [] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    };
    return options.check ? runChecks(options, in, out, err, meter) : runDigests(options, in, out, err, meter);
}

} // namespace hashmere_cli
