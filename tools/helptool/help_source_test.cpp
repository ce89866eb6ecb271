#include "tools/helptool/help_source.h"

#include <gtest/gtest.h>

#include "checksum/settings/preferences_document.h"

namespace helptool {
namespace {

TEST(Manifest, ReadsPropertiesAndPages)
{
    HelpManifest manifest;
    std::string error;
    const std::string text = "\xEF\xBB\xBF; comment\r\n\r\n"
                             "[properties]\r\n"
                             "  helpname=Súgó \r\n"
                             "PageBackColor = $FFFFFF\n"
                             "[Contents]\n"
                             "Page = 0 | Első lépések\n"
                             "page=2|Telepítés|pages/telepítés.rtf\n"
                             "Page = 1 |  | x.rtf\n";
    ASSERT_TRUE(parseManifest(text, manifest, error)) << error;
    EXPECT_EQ(manifest.properties[2], u"Súgó");
    EXPECT_EQ(manifest.properties[11], u"$FFFFFF");
    EXPECT_EQ(manifest.properties[0], u"");
    ASSERT_EQ(manifest.pages.size(), 3u);
    EXPECT_EQ(manifest.pages[0].title, u"Első lépések");
    EXPECT_EQ(manifest.pages[0].file, "");
    EXPECT_EQ(manifest.pages[1].level, 2);
    EXPECT_EQ(manifest.pages[1].file, "pages/telepítés.rtf");
    EXPECT_EQ(manifest.pages[2].title, u"");
}

TEST(Manifest, Latin1WithoutByteOrderMark)
{
    HelpManifest manifest;
    std::string error;
    ASSERT_TRUE(parseManifest("[Properties]\nHelpName = Caf\xE9\n", manifest, error));
    EXPECT_EQ(manifest.properties[2], u"Café");
}

TEST(Manifest, RejectsMalformedLines)
{
    const char* const cases[] = {
        "[Properties]\nColour = 1\n",           // unknown property
        "[Contents]\nPage = 0\n",               // no title
        "[Contents]\nPage = x | T | a.rtf\n",   // level not a number
        "[Contents]\nPage = 128 | T | a.rtf\n", // level too deep
        "[Contents]\nPage = 0 | T | a | b\n",   // too many parts
        "[Contents]\nEntry = 0 | T\n",          // not a Page line
        "HelpName = outside any group\n", "; header forgotten\nPage = 0 | T\n[Properties]\n",
        "Colour = 1\n[Properties]\n",
        "[Properties]\n[Index]\nPage = 0 | T\n", // a group of its own
    };
    for (const char* text : cases) {
        HelpManifest manifest;
        std::string error;
        EXPECT_FALSE(parseManifest(text, manifest, error)) << text;
        EXPECT_NE(error.find("line"), std::string::npos) << text;
    }
}

// A group may appear more than once: its pairs add up, a later property wins.
TEST(Manifest, RepeatedGroupsAddUp)
{
    HelpManifest manifest;
    std::string error;
    const std::string text = "[Contents]\nPage = 0 | A\n"
                             "[Properties]\nHelpName = first\n"
                             "[CONTENTS]\nPage = 1 | B | b.rtf\n"
                             "[properties]\nhelpname = second\n";
    ASSERT_TRUE(parseManifest(text, manifest, error)) << error;
    EXPECT_EQ(manifest.properties[2], u"second");
    ASSERT_EQ(manifest.pages.size(), 2u);
    EXPECT_EQ(manifest.pages[1].title, u"B");
    EXPECT_EQ(manifest.pages[1].file, "b.rtf");
}

// A page file is named in the contents by its UTF-16 name, so a name that is
// not UTF-8 is read with U+FFFD, keeping the entry and its contents name equal.
TEST(Manifest, MalformedUtf8FileNameReadsAsReplacement)
{
    HelpManifest manifest;
    std::string error;
    ASSERT_TRUE(parseManifest("\xEF\xBB\xBF[Contents]\nPage = 1 | T | a\xFF.rtf\n", manifest, error)) << error;
    ASSERT_EQ(manifest.pages.size(), 1u);
    EXPECT_EQ(manifest.pages[0].file, "a\xEF\xBF\xBD.rtf");
}

TEST(Manifest, RejectsAnOversizedManifest)
{
    HelpManifest manifest;
    std::string error;
    std::string text = "[Contents]\nPage = 0 | T\n";
    text.resize(settings::kMaxDocumentBytes + 1, ';');
    EXPECT_FALSE(parseManifest(text, manifest, error));
    EXPECT_NE(error.find("larger"), std::string::npos);
}

TEST(Manifest, FieldTextIsUtf16LittleEndianJoinedByBars)
{
    EXPECT_EQ(encodeFieldText({u"a", u"", u"ő"}), (std::vector<std::uint8_t>{'a', 0, '|', 0, '|', 0, 0x51, 0x01}));
}

} // namespace
} // namespace helptool
