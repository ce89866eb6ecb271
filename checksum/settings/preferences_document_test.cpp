#include "checksum/settings/preferences_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "checksum/settings/test_files.h"

namespace settings {
namespace {

using testfiles::readFile;
using testfiles::ScratchFolder;
using testfiles::writeFile;

constexpr char kBom[] = "\xEF\xBB\xBF";

// Each row: a whole file, then what readInteger gives for "CRC32" in the group
// "General" with the default -7 (which shows that the key was not found).
TEST(PreferencesDocumentRead, IntegerInGeneral)
{
    struct Case {
        const char* what;
        std::string file;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"plain", "[General]\r\nCRC32 = 1\r\n", 1},
        {"key in small letters", "[General]\r\ncrc32 = 1\r\n", 1},
        {"group in small letters", "[general]\r\nCRC32 = 1\r\n", 1},
        {"no blanks around = and blanks at both ends", "[General]\r\n  \tCRC32=1 \t \r\n", 1},
        {"yes is no number", "[General]\r\nCRC32 = yes\r\n", 0},
        {"no equals sign", "[General]\r\nCRC32\r\n", 0},
        {"missing key", "[General]\r\nMD5 = 1\r\n", -7},
        {"key only in another group", "[General]\r\n[Other]\r\nCRC32 = 1\r\n", -7},
        {"no General header: top-section keys don't count", "CRC32 = 1\r\nMD5 = 1\r\n", -7},
        {"empty file", "", -7},
        {"commented out", "[General]\r\n; CRC32 = 1\r\n", -7},
        {"header with text after the bracket", "[General] old\r\nCRC32 = 1\r\n", 1},
        {"header without closing bracket", "[General\r\nCRC32 = 1\r\n", 1},
        {"LF line ends", "[General]\nCRC32 = 1\n", 1},
        {"CR line ends", "[General]\rCRC32 = 1\r", 1},
        {"runs of line ends and no final one", "\r\n\n\r[General]\r\r\n\nCRC32 = 1", 1},
        {"byte-order mark", std::string(kBom) + "[General]\r\nCRC32 = 1\r\n", 1},
        {"sign and trailing text", "[General]\r\nCRC32 = -12abc\r\n", -12},
        {"plus sign", "[General]\r\nCRC32 = +5\r\n", 5},
        {"blank after the sign", "[General]\r\nCRC32 = - 5\r\n", 0},
        {"lone sign", "[General]\r\nCRC32 = -\r\n", 0},
        {"too large clamps", "[General]\r\nCRC32 = 99999999999999999999\r\n", INT32_MAX},
        {"smallest value", "[General]\r\nCRC32 = -2147483648\r\n", INT32_MIN},
        {"too small clamps", "[General]\r\nCRC32 = -99999999999\r\n", INT32_MIN},
        {"first of two", "[General]\r\nCRC32 = 3\r\nCRC32 = 4\r\n", 3},
    };
    for (const Case& c : cases) {
        PreferencesDocument document;
        ASSERT_TRUE(document.openBytes(c.file));
        document.selectGroup(u"General");
        EXPECT_EQ(document.readInteger(u"CRC32", -7), c.expected) << c.what;
    }
}

// Each row: a whole file, then readText of "Language" in the group "Language".
TEST(PreferencesDocumentRead, TextAndEncoding)
{
    struct Case {
        const char* what;
        std::string file;
        std::u16string expected;
    };
    const Case cases[] = {
        {"latin-1 without byte-order mark", "[Language]\r\nLanguage = \xE9n\r\n", u"\u00E9n"},
        {"utf-8 with byte-order mark", std::string(kBom) + "[Language]\r\nLanguage = \xC5\x91\xC5\xB1\r\n", u"őű"},
        {"utf-8 without byte-order mark is taken as latin-1", "[Language]\r\nLanguage = \xC5\x91\r\n", u"\u00C5\u0091"},
        {"invalid utf-8 after the mark", std::string(kBom) + "[Language]\r\nLanguage = a\xFF\r\n", u"a\uFFFD"},
        {"blanks at both ends trimmed", "[Language]\r\nLanguage =\t en_GB \t\r\n", u"en_GB"},
        {"inner blanks and equals signs kept", "[Language]\r\nLanguage = a = b  c\r\n", u"a = b  c"},
        {"empty value", "[Language]\r\nLanguage =\r\n", u""},
        {"missing key gives the default", "[Language]\r\n", u"(default)"},
        {"only the mark", kBom, u"(default)"},
        {"two bytes of the mark are latin-1 text", "\xEF\xBB", u"(default)"},
    };
    for (const Case& c : cases) {
        PreferencesDocument document;
        ASSERT_TRUE(document.openBytes(c.file));
        document.selectGroup(u"Language");
        EXPECT_EQ(document.readText(u"Language", u"(default)"), c.expected) << c.what;
    }
}

TEST(PreferencesDocumentRead, TopSectionAndPendingGroups)
{
    PreferencesDocument document;
    document.openBytes("Top = 1\r\n[A]\r\nKey = 2\r\n");
    EXPECT_EQ(document.readInteger(u"Top", 0), 1); // the top section is current after opening
    EXPECT_TRUE(document.selectGroup(u"a"));
    EXPECT_EQ(document.readInteger(u"Key", 0), 2);
    EXPECT_EQ(document.readInteger(u"Top", 0), 0);
    EXPECT_FALSE(document.selectGroup(u"Missing"));
    EXPECT_EQ(document.readInteger(u"Key", 5), 5); // a pending group reads defaults
    EXPECT_TRUE(document.selectGroup(u""));
    EXPECT_EQ(document.readInteger(u"Top", 0), 1);
}

TEST(PreferencesDocumentWrite, ReplacesInsertsAndAppendsWhereExpected)
{
    PreferencesDocument document;
    document.openBytes(";intro\r\nTop = 0\r\n[G]\r\nalpha = 1\r\n; note\r\nbeta = 2\r\n[H]\r\nx = 1\r\n");
    document.selectGroup(u"g");
    document.writeText(u"ALPHA", u"9");  // replaced in place, new spelling
    document.writeInteger(u"gamma", -3); // after the group's last entry
    document.writeText(u"Top", u"1");    // only the top section has it
    document.selectGroup(u"");
    document.writeText(u"Second", u"2"); // top section: before the first header
    document.selectGroup(u"New");
    EXPECT_EQ(document.readText(u"x", u"-"), u"-");
    document.writeText(u"k", u"v"); // the pending group is appended first
    EXPECT_EQ(document.toBytes(),
        std::string(kBom) +
            "\r\n"
            "; intro\r\n"
            "Top = 0\r\n"
            "Second = 2\r\n"
            "[G]\r\n"
            "ALPHA = 9\r\n"
            "; note\r\n"
            "beta = 2\r\n"
            "gamma = -3\r\n"
            "Top = 1\r\n"
            "[H]\r\n"
            "x = 1\r\n"
            "[New]\r\n"
            "k = v\r\n");
}

TEST(PreferencesDocumentWrite, CommentsFollowTheCurrentPosition)
{
    PreferencesDocument document;
    document.openBytes("[A]\r\na = 1\r\n[B]\r\nb = 1\r\n");
    document.addComment(u"top"); // top section: the very top
    document.selectGroup(u"B");
    document.addComment(u"first in B"); // after the header
    document.addComment(u"second in B");
    document.selectGroup(u"C");
    document.addComment(u"in C"); // after the appended header
    EXPECT_EQ(document.toBytes(),
        std::string(kBom) +
            "\r\n; top\r\n[A]\r\na = 1\r\n[B]\r\n; first in B\r\n; second in B\r\n"
            "b = 1\r\n[C]\r\n; in C\r\n");
}

TEST(PreferencesDocumentWalk, GroupsThenTheirPairs)
{
    PreferencesDocument document;
    document.openBytes("ignored = 1\r\n[One]\r\n; c\r\nk1 =  v1  \r\nk2\r\n[]\r\n[Two]\r\nk3=v3\r\n");
    std::u16string walk;
    std::u16string name;
    std::u16string key;
    std::u16string value;
    EXPECT_FALSE(document.nextKey(key, value)); // the top section is not walked
    while (document.nextGroup(name)) {
        walk += u"[" + name + u"]";
        while (document.nextKey(key, value))
            walk += key + u"=" + value + u";";
    }
    EXPECT_EQ(walk, u"[One]k1=v1;k2=;[][Two]k3=v3;");
    EXPECT_FALSE(document.nextGroup(name));
}

TEST(PreferencesDocumentWalk, FirstUngroupedPair)
{
    const struct {
        const char* bytes;
        const char16_t* found; // key "=" value, or null for none
    } cases[] = {
        {"", nullptr},
        {"; c\r\n[A]\r\nk = 1\r\n", nullptr},
        {"[A]\r\nk = 1\r\n", nullptr},
        {"; c\r\n  first =  1 \r\nsecond = 2\r\n[A]\r\n", u"first=1"},
        {"bare\r\n", u"bare="},
    };
    for (const auto& c : cases) {
        PreferencesDocument document;
        document.openBytes(c.bytes);
        std::u16string key;
        std::u16string value;
        const bool found = document.firstUngroupedPair(key, value);
        EXPECT_EQ(found, c.found != nullptr) << c.bytes;
        if (found && c.found != nullptr) {
            EXPECT_EQ(key + u"=" + value, c.found) << c.bytes;
        }
    }
}

class PreferencesDocumentFile : public ::testing::Test {
protected:
    ScratchFolder scratch_;
    std::filesystem::path file_ = scratch_.path() / "test.prefs";
};

TEST_F(PreferencesDocumentFile, ClosingUnchangedLeavesTheBytesAlone)
{
    const std::string latin1 = "[Language]\nLanguage = \xE9\n";
    writeFile(file_, latin1);
    PreferencesDocument document;
    ASSERT_TRUE(document.openDocument(file_));
    document.selectGroup(u"Language");
    EXPECT_EQ(document.readText(u"Language", u""), u"\u00E9");
    EXPECT_TRUE(document.closeDocument());
    EXPECT_EQ(readFile(file_), latin1);
}

TEST_F(PreferencesDocumentFile, ChangedDocumentIsRewrittenAndCut)
{
    writeFile(file_, "[G]\r\nkey = a long value that makes the old file longer than the new one\r\n");
    PreferencesDocument document;
    ASSERT_TRUE(document.openDocument(file_));
    document.selectGroup(u"G");
    document.writeText(u"key", u"x");
    // Opening another document first writes this one.
    ASSERT_TRUE(document.openBytes(""));
    EXPECT_EQ(readFile(file_), std::string(kBom) + "\r\n[G]\r\nkey = x\r\n");
}

TEST_F(PreferencesDocumentFile, CreateEmptiesAtOnce)
{
    writeFile(file_, "old");
    PreferencesDocument document;
    ASSERT_TRUE(document.createDocument(file_));
    EXPECT_EQ(readFile(file_), "");
    EXPECT_TRUE(document.closeDocument());
    EXPECT_EQ(readFile(file_), std::string(kBom) + "\r\n");
}

TEST_F(PreferencesDocumentFile, OnlyRegularFilesOpen)
{
    PreferencesDocument document;
    EXPECT_FALSE(document.openDocument(scratch_.path() / "missing"));
    EXPECT_FALSE(document.openDocument(scratch_.path())); // a folder
    EXPECT_FALSE(document.createDocument(scratch_.path()));
    EXPECT_FALSE(document.createDocument(scratch_.path() / "no" / "such" / "folder"));
    ASSERT_EQ(::mkfifo((scratch_.path() / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(document.openDocument(scratch_.path() / "fifo")); // must not block either
    EXPECT_FALSE(document.isOpen());
    writeFile(file_, "[A]\r\n");
    EXPECT_TRUE(document.openDocument(file_));
}

TEST_F(PreferencesDocumentFile, ReadOnlyFileOpensButCannotBeWritten)
{
    writeFile(file_, "[G]\r\nk = 1\r\n");
    ::chmod(scratch_.path().c_str(), 0755);
    ::chmod(file_.c_str(), 0444);
    EXPECT_TRUE(testfiles::runUnprivileged([&] {
        PreferencesDocument document;
        if (!document.openDocument(file_))
            return false;
        document.selectGroup(u"G");
        const bool read = document.readInteger(u"k", 0) == 1;
        document.writeInteger(u"k", 2);
        return read && !document.closeDocument();
    }));
    EXPECT_EQ(readFile(file_), "[G]\r\nk = 1\r\n");
}

TEST_F(PreferencesDocumentFile, OversizedFileOpensEmpty)
{
    writeFile(file_, "[G]\r\nk = 1\r\n" + std::string(kMaxDocumentBytes, 'x'));
    PreferencesDocument document;
    ASSERT_TRUE(document.openDocument(file_));
    document.selectGroup(u"G");
    EXPECT_EQ(document.readInteger(u"k", -1), -1);
}

} // namespace
} // namespace settings
