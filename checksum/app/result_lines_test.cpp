// The pure pieces of the result commands: the result text, the default
// extension, the folder part, the first line of an expected-checksum file,
// the website address and the manual's path.

#include <gtest/gtest.h>

#include "checksum/app/result_lines.h"
#include "checksum/app/viewer_launch.h"

namespace {

TEST(ResultLines, OneCrLfLinePerCheckedRowInRowOrder)
{
    hashmere::RowResults rows;
    EXPECT_EQ(hashmere::resultLines(rows), u"");
    rows.checked[0] = rows.checked[2] = true;
    rows.results[0] = u"352441c2";
    rows.results[1] = u"not checked, not written";
    rows.results[2] = u"a9993e364706816aba3e25717850c26c9cd0d89d";
    EXPECT_EQ(hashmere::resultLines(rows), u"CRC32: 352441c2\r\nSHA1: a9993e364706816aba3e25717850c26c9cd0d89d\r\n");
    rows.checked[10] = true; // checked after the run: its label with an empty value
    rows.checked[4] = true;
    EXPECT_EQ(hashmere::resultLines(rows),
        u"CRC32: 352441c2\r\nSHA1: a9993e364706816aba3e25717850c26c9cd0d89d\r\n"
        u"SHA2-256: \r\nSHA3-512: \r\n");
}

TEST(ResultLines, DefaultExtensionOnlyWhenTheNameHasNone)
{
    struct Case {
        std::u16string chosen, written;
    };
    const Case cases[] = {
        {u"/home/u/Checksum", u"/home/u/Checksum.txt"},
        {u"/home/u/Checksum.txt", u"/home/u/Checksum.txt"},
        {u"/home/u/Checksum.sha256", u"/home/u/Checksum.sha256"},
        {u"/home/u/Checksum.", u"/home/u/Checksum."},
        {u"/home/u.v/Checksum", u"/home/u.v/Checksum.txt"}, // a dot in a folder is no extension
        {u"/home/u/.sums", u"/home/u/.sums.txt"},           // nor is a hidden file's leading dot
        {u"relative", u"relative.txt"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hashmere::withDefaultExtension(c.chosen), c.written);
    }
}

TEST(ResultLines, FolderPartKeepsTheTrailingSlash)
{
    EXPECT_EQ(hashmere::folderPart(u"/data/iso/disc.iso"), u"/data/iso/");
    EXPECT_EQ(hashmere::folderPart(u"/disc.iso"), u"/");
    EXPECT_EQ(hashmere::folderPart(u"disc.iso"), u"");
    EXPECT_EQ(hashmere::folderPart(u""), u"");
}

TEST(ResultLines, FirstLineStopsAtCrOrLfAndKeepsAByteOrderMark)
{
    struct Case {
        std::string bytes;
        std::u16string text;
    };
    const Case cases[] = {
        {"abc123\r\nnext", u"abc123"},
        {"abc123\nnext", u"abc123"},
        {"abc123\rnext", u"abc123"},
        {"abc123", u"abc123"},
        {"abc123 \n", u"abc123 "},
        {"\r\nabc", u""},
        {"\xEF\xBB\xBF"
         "abc123\r\n",
            u"\uFEFFabc123"},
        {"caf\xC3\xA9", u"caf\u00E9"},
        {"", u""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hashmere::firstLineText(c.bytes), c.text);
    }
}

TEST(ResultLines, BareHostBecomesAnHttpsAddress)
{
    EXPECT_EQ(hashmere::webAddress(u"www.orvanix.example"), u"https://www.orvanix.example");
    EXPECT_EQ(hashmere::webAddress(u"http://www.orvanix.example/"), u"http://www.orvanix.example/");
}

TEST(ResultLines, ManualPathFollowsTheLanguageIdentifier)
{
    EXPECT_EQ(hashmere::helpDocumentPath("/opt/hm/", u"en_GB"), std::filesystem::path("/opt/hm/Hashmere_en_GB.help"));
    EXPECT_EQ(hashmere::helpDocumentPath("/opt/hm/", u""), std::filesystem::path("/opt/hm/Hashmere_.help"));
}

} // namespace
