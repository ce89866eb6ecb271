#include "tools/hashmere_cli/cli.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "checksum/engine/algorithm_rows.h"
#include "platform/read_faults.h"
#include "platform/test_files.h"
#include "program_versions.h"

namespace hashmere_cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kAbcSha256 = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
constexpr const char* kAbcMd5 = "900150983cd24fb0d6963f7d28e17f72";

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class Cli : public ::testing::Test {
protected:
    std::string write(const std::string& name, const std::string& bytes) { return scratch_.write(name, bytes); }

    Outcome run(std::vector<std::string> arguments, const std::string& input = "")
    {
        std::istringstream in(input);
        std::ostringstream out, err;
        const int status = runCli(arguments, in, out, err);
        return {status, out.str(), err.str()};
    }

    platform::testing::ScratchFolder scratch_;
    const fs::path& folder_ = scratch_.path();
    std::string abc_ = write("abc.txt", "abc");
    std::string empty_ = write("empty", "");
};

TEST_F(Cli, AllAlgorithmsInRowOrderByDefault)
{
    const Outcome o = run({abc_});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out,
        "CRC32: 352441c2\n"
        "MD5: 900150983cd24fb0d6963f7d28e17f72\n"
        "SHA1: a9993e364706816aba3e25717850c26c9cd0d89d\n"
        "SHA2-224: 23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7\n"
        "SHA2-256: ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad\n"
        "SHA2-384: cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed"
        "8086072ba1e7cc2358baeca134c825a7\n"
        "SHA2-512: ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a"
        "2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f\n"
        "SHA3-224: e642824c3f8cf24ad09234ee7d3c766fc9a3a5168d0c94ad73b46fdf\n"
        "SHA3-256: 3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532\n"
        "SHA3-384: ec01498288516fc926459f58e2c6ad8df9b473cb0fc08c2596da7cf0e49be4b2"
        "98d88cea927ac7f539f1edf228376d25\n"
        "SHA3-512: b751850b1a57168a5693cd924b6b096e08f621827444f70d884f5d0240d2712e"
        "10e116e9192af3c91a7ec57647e3934057340b4cf408d5a56592f8274eec53f0\n");
}

TEST_F(Cli, SelectionHeadingsAndStandardInput)
{
    // Chosen algorithms print in row order, however they were given, and once.
    EXPECT_EQ(run({"-a", "sha256", "--algorithm=md5", "-amd5", abc_}).out,
        std::string("MD5: ") + kAbcMd5 + "\nSHA2-256: " + kAbcSha256 + "\n");
    EXPECT_EQ(run({"-a", "crc32", abc_, empty_}).out,
        "==> " + abc_ + " <==\nCRC32: 352441c2\n\n==> " + empty_ + " <==\nCRC32: 00000000\n");
    EXPECT_EQ(run({"-a", "md5", "-"}, "abc").out, std::string("MD5: ") + kAbcMd5 + "\n");
    EXPECT_EQ(run({"-a", "md5", "-a", "sha3-256"}, "abc").out,
        std::string("MD5: ") + kAbcMd5 +
            "\nSHA3-256: 3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532\n");
    EXPECT_EQ(run({"-a", "md5", "--", "-a"}).status, 2); // "-a" is a file name after --
}

TEST_F(Cli, ExitStatuses)
{
    const std::string missing = (folder_ / "missing").string();
    const std::string dir = folder_.string();
    struct Case {
        std::vector<std::string> arguments;
        int status;
        const char* errContains;
    };
    const Case cases[] = {
        {{"-a", "sha256", "--expect", kAbcSha256, abc_}, 0, "matches"},
        {{"--expect", kAbcSha256, abc_}, 0, "matches"}, // one of eleven is enough
        {{"-a", "md5", "--expect", kAbcSha256, abc_}, 1, "no checksum matches"},
        {{"-a", "sha256", "--expect", "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD", abc_}, 1, ""},
        {{"-a", "sha256", "--expect", std::string(kAbcSha256) + " ", abc_}, 1, ""},
        {{"-a", "md5", missing, abc_}, 2, "No such file or directory"},
        {{"-a", "md5", dir}, 2, "Is a directory"},
        {{"-a", "md5", "--expect", kAbcMd5, missing, abc_}, 2, missing.c_str()},
        {{"-a", "sha999", abc_}, 2, "unknown algorithm 'sha999'"},
        {{"-a"}, 2, "requires an argument"},
        {{"--frobnicate", abc_}, 2, "unrecognized option '--frobnicate'"},
        {{"-x", abc_}, 2, "invalid option -- 'x'"},
        {{"--status", abc_}, 2, "only when checking"},
        {{"--check", "--expect", "x", abc_}, 2, "cannot be used"},
    };
    for (const Case& c : cases) {
        const Outcome o = run(c.arguments);
        EXPECT_EQ(o.status, c.status) << c.arguments.front() << ' ' << c.arguments.back();
        EXPECT_NE(o.err.find(c.errContains), std::string::npos) << o.err;
    }
    // The readable file still gets its lines when another one fails.
    EXPECT_NE(run({"-a", "md5", missing, abc_}).out.find(kAbcMd5), std::string::npos);
}

// A read that fails in the middle of a file gives no digest: the file is
// reported as unreadable (status 2), and in a check it fails as a file that
// cannot be read. /proc/self/mem fails its first read through the system itself.
TEST_F(Cli, ReadFailureIsAnUnreadableFile)
{
    const std::string big = write("big.bin", std::string(5 * 1048576 / 2, 'z'));
    const std::string sha256 = run({"-a", "sha256", "--format=gnu", big}).out;
    ASSERT_EQ(sha256.size(), 64 + 2 + big.size() + 1);
    const std::string list = write("big.sha256", sha256);
    {
        const platform::testing::ScopedReadFaults faults({3 * 1048576 / 2, 0, false});
        const Outcome o = run({"-a", "sha256", big});
        EXPECT_EQ(o.status, 2);
        EXPECT_EQ(o.out, "");
        EXPECT_NE(o.err.find(big + ": Read error"), std::string::npos) << o.err;
    }
    {
        const platform::testing::ScopedReadFaults faults({3 * 1048576 / 2, 0, false});
        const Outcome o = run({"--check", list});
        EXPECT_EQ(o.status, 1);
        EXPECT_EQ(o.out, big + ": FAILED open or read\n");
    }
    if (::access("/proc/self/mem", R_OK) == 0) {
        const Outcome o = run({"-a", "md5", "/proc/self/mem"});
        EXPECT_EQ(o.status, 2);
        EXPECT_NE(o.err.find("/proc/self/mem: Read error"), std::string::npos) << o.err;
    }
}

TEST_F(Cli, HelpAndVersion)
{
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: hashmere-cli", 0), 0u);
    const Outcome version = run({"--version", abc_});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("hashmere-cli (Hashmere) " HASHMERE_VERSION "\n", 0), 0u);
}

TEST_F(Cli, CheckLists)
{
    const std::string sha3Abc = "3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532";
    const std::string good = write("good.sha256",
        std::string(kAbcSha256) + "  " + abc_ + "\n" +
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855 *" + empty_ + "\n");
    const std::string tagged =
        write("tagged", "SHA3-256 (" + abc_ + ") = " + sha3Abc + "\nMD5 (" + abc_ + ") = " + kAbcMd5 + "\n");
    const std::string bad = write("bad.md5",
        std::string("00000000000000000000000000000000  ") + abc_ + "\n" + kAbcMd5 + "  " + (folder_ / "gone").string() +
            "\nnonsense\n");
    const std::string junk = write("junk", "nothing to see\n");

    Outcome o = run({"-c", good});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, abc_ + ": OK\n" + empty_ + ": OK\n");
    EXPECT_EQ(run({"--check", tagged}).status, 0);
    // Length 64 means SHA-256 unless -a says otherwise.
    const std::string sha3List = write("sha3list", sha3Abc + "  " + abc_ + "\n");
    EXPECT_EQ(run({"-c", sha3List}).status, 1);
    EXPECT_EQ(run({"-c", "-a", "sha3-256", sha3List}).status, 0);

    o = run({"-c", bad});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, abc_ + ": FAILED\n" + (folder_ / "gone").string() + ": FAILED open or read\n");
    EXPECT_NE(o.err.find("1 line is improperly formatted"), std::string::npos);
    EXPECT_NE(o.err.find("1 computed checksum did NOT match"), std::string::npos);
    EXPECT_NE(o.err.find("1 listed file could not be read"), std::string::npos);

    o = run({"-c", "--status", bad});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out + o.err, "");

    // A file that cannot be read fails the check on its own, without a mismatch beside it.
    const std::string onlyGone = write("gone.md5", std::string(kAbcMd5) + "  " + (folder_ / "gone").string() + "\n");
    o = run({"-c", onlyGone});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, (folder_ / "gone").string() + ": FAILED open or read\n");
    EXPECT_NE(o.err.find("1 listed file could not be read"), std::string::npos) << o.err;
    EXPECT_EQ(run({"-c", "--status", onlyGone}).status, 1);
    EXPECT_EQ(run({"-c", "--quiet", good}).out, "");
    EXPECT_EQ(run({"-c", junk}).status, 1);
    EXPECT_EQ(run({"-c", (folder_ / "nolist").string()}).status, 2);
    EXPECT_EQ(run({"-c", "-"}, std::string(kAbcMd5) + "  " + abc_ + "\n").out, abc_ + ": OK\n");
}

// What --format=gnu and --format=bsd write, --check reads back, whatever the
// names hold; the lines have sha256sum's exact form.
TEST_F(Cli, FormatsRoundTripThroughCheck)
{
    const std::vector<std::string> names = {
        "with space", "new\nline", "back\\slash", "bad\xff\xfe byte", "paren) = x", "car\rriage", " lead", "plain"};
    std::vector<std::string> paths;
    for (const std::string& name : names)
        paths.push_back(write(name, "abc"));

    struct Case {
        std::vector<std::string> options;
        std::vector<std::string> checkOptions; // a GNU line's digest length names SHA-2 unless told
        std::size_t linesPerFile;
    };
    const Case cases[] = {
        {{"--format=gnu", "-a", "sha256"}, {}, 1},
        {{"--format", "gnu", "-a", "sha3-512"}, {"-a", "sha3-512"}, 1},
        {{"--format=bsd", "-a", "crc32", "-a", "md5", "-a", "sha384", "-a", "sha3-224"}, {}, 4},
        {{"--format=bsd"}, {}, engine::kAlgorithmRowCount},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.end(), paths.begin(), paths.end());
        const Outcome written = run(arguments);
        ASSERT_EQ(written.status, 0) << written.err;
        const std::string list = write("list", written.out);
        std::vector<std::string> check = c.checkOptions;
        check.insert(check.end(), {"-c", list});
        const Outcome checked = run(check);
        EXPECT_EQ(checked.status, 0) << c.options[0] << '\n' << written.out << checked.out << checked.err;
        EXPECT_EQ(std::count(checked.out.begin(), checked.out.end(), '\n'),
            static_cast<std::ptrdiff_t>(c.linesPerFile * names.size()));
        EXPECT_EQ(checked.out.find("FAILED"), std::string::npos) << checked.out;
    }

    const std::string slash = folder_.string() + "/back\\\\slash";
    EXPECT_EQ(
        run({"--format=gnu", "-a", "sha256", paths[2]}).out, "\\" + std::string(kAbcSha256) + "  " + slash + "\n");
    EXPECT_EQ(run({"--format=bsd", "-a", "sha256", "-a", "md5", paths[7]}).out,
        "MD5 (" + paths[7] + ") = " + kAbcMd5 + "\nSHA256 (" + paths[7] + ") = " + kAbcSha256 + "\n");
    EXPECT_EQ(run({"--format=gnu", "-a", "md5"}, "abc").out, std::string(kAbcMd5) + "  -\n");
    // A checked name is shown escaped, so that one result stays one line.
    EXPECT_EQ(run({"-c", write("one", std::string("\\") + kAbcMd5 + "  " + folder_.string() + "/new\\nline\n")}).out,
        "\\" + folder_.string() + "/new\\nline: OK\n");

    const Outcome gnuAll = run({"--format=gnu", abc_});
    EXPECT_EQ(gnuAll.status, 2);
    EXPECT_NE(gnuAll.err.find("exactly one algorithm"), std::string::npos);
    EXPECT_EQ(run({"--format=xml", abc_}).status, 2);
}

// Names holding a backslash, a line feed or a carriage return inside, or a
// carriage return at the end: the exact bytes of sha256sum's escaped lines in
// both forms, and --check reading each line back to the same file.
TEST_F(Cli, EscapedNamesInExactBytesAndCheckedBack)
{
    struct Case {
        std::string name;
        std::string escaped;
    };
    const Case cases[] = {
        {"back\\slash", "back\\\\slash"},
        {"new\nline", "new\\nline"},
        {"car\rriage", "car\\rriage"},
        {"ends in cr\r", "ends in cr\\r"},
    };
    for (const Case& c : cases) {
        const std::string path = write(c.name, "abc");
        const std::string shown = folder_.string() + "/" + c.escaped;
        const std::string gnu = "\\" + std::string(kAbcSha256) + "  " + shown + "\n";
        const std::string bsd = "\\MD5 (" + shown + ") = " + kAbcMd5 + "\n";
        EXPECT_EQ(run({"--format=gnu", "-a", "sha256", path}).out, gnu) << c.escaped;
        EXPECT_EQ(run({"--format=bsd", "-a", "md5", path}).out, bsd) << c.escaped;
        for (const std::string& line : {gnu, bsd}) {
            const Outcome checked = run({"-c", write("list", line)});
            EXPECT_EQ(checked.status, 0) << line << checked.err;
            EXPECT_EQ(checked.out, "\\" + shown + ": OK\n");
        }
    }
}

// -r lists a folder's files in name order with headings (or as GNU lines);
// an unreadable folder inside is reported, gives status 2 and the walk goes on.
TEST_F(Cli, RecursiveFolders)
{
    const fs::path tree = folder_ / "tree";
    fs::create_directories(tree / "b" / "locked");
    platform::testing::writeFile(tree / "b" / "two", "abc");
    platform::testing::writeFile(tree / "a", "");
    platform::testing::writeFile(tree / "c", "abc");
    const std::string t = tree.string();
    EXPECT_EQ(run({"-r", "-a", "md5", "--format=gnu", t}).out,
        "d41d8cd98f00b204e9800998ecf8427e  " + t + "/a\n" + kAbcMd5 + "  " + t + "/b/two\n" + kAbcMd5 + "  " + t +
            "/c\n");
    EXPECT_EQ(run({"--recursive", "-a", "crc32", t, abc_}).out,
        "==> " + t + "/a <==\nCRC32: 00000000\n\n==> " + t + "/b/two <==\nCRC32: 352441c2\n\n==> " + t +
            "/c <==\nCRC32: 352441c2\n\n==> " + abc_ + " <==\nCRC32: 352441c2\n");
    EXPECT_EQ(run({"-a", "md5", t}).status, 2); // a folder without -r

    for (const auto& entry : fs::recursive_directory_iterator(folder_))
        fs::permissions(entry.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(folder_, fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(tree / "b" / "locked", fs::perms::owner_all);
    EXPECT_TRUE(platform::testing::runUnprivileged([&] {
        const Outcome o = run({"-r", "-a", "md5", "--format=gnu", t});
        return o.status == 2 && o.err.find(t + "/b/locked: Permission denied") != std::string::npos &&
            o.out.find(t + "/c\n") != std::string::npos;
    }));
    EXPECT_EQ(run({"-c", "-r", t}).status, 2);
}

// Progress lines appear on a terminal (or with --progress) for files that
// take long, and never with --status or when standard error is a file.
TEST_F(Cli, ProgressOnlyWhereWanted)
{
    const std::string big = write("big", std::string(3 * 1024 * 1024, 'x'));
    const auto runAt = [&](std::vector<std::string> arguments, bool terminal) {
        double clock = 0;
        const Terminal fake{terminal, [] { return 40; }, [&clock] { return clock += 0.3; }};
        std::istringstream in;
        std::ostringstream out, err;
        runCli(arguments, in, out, err, fake);
        return err.str();
    };
    const std::string shown = runAt({"-a", "md5", big}, true);
    EXPECT_NE(shown.find("\r"), std::string::npos);
    EXPECT_NE(shown.find("%  "), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - 4), "\r\x1b[K"); // cleared at the end
    EXPECT_NE(runAt({"--progress", "-a", "md5", big}, false).find("\r"), std::string::npos);
    EXPECT_EQ(runAt({"-a", "md5", big}, false), "");
    const std::string list = write("list", "00000000  " + big + "\n");
    EXPECT_EQ(runAt({"-c", "--status", list}, true), "");
    EXPECT_EQ(runAt({"-c", "--quiet", "--progress", list}, true).find("\r"), std::string::npos);
}

// A FIFO is read once, as standard input is; devices are refused unread; the
// lines of a list that name one file with several algorithms are all checked.
TEST_F(Cli, FifosDevicesAndSeveralAlgorithmsPerFile)
{
    const fs::path fifo = folder_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&fifo] { std::ofstream(fifo, std::ios::binary) << "abc"; });
    const Outcome fromFifo = run({"-a", "md5", "-a", "sha256", fifo.string()});
    writer.join();
    EXPECT_EQ(fromFifo.status, 0) << fromFifo.err;
    EXPECT_EQ(fromFifo.out, std::string("MD5: ") + kAbcMd5 + "\nSHA2-256: " + kAbcSha256 + "\n");

    const Outcome device = run({"-a", "md5", "/dev/null", abc_});
    EXPECT_EQ(device.status, 2);
    EXPECT_NE(device.err.find("/dev/null: Is a device"), std::string::npos) << device.err;
    EXPECT_NE(device.out.find(kAbcMd5), std::string::npos);

    const std::string list = write("several",
        "MD5 (" + abc_ + ") = " + kAbcMd5 + "\nSHA256 (" + abc_ + ") = " + kAbcSha256 + "\nSHA1 (" + abc_ +
            ") = " + std::string(40, '0') + "\nMD5 (" + empty_ + ") = d41d8cd98f00b204e9800998ecf8427e\n");
    const Outcome checked = run({"-c", list});
    EXPECT_EQ(checked.status, 1);
    EXPECT_EQ(checked.out, abc_ + ": OK\n" + abc_ + ": OK\n" + abc_ + ": FAILED\n" + empty_ + ": OK\n");
}

} // namespace
} // namespace hashmere_cli
