#include "tools/helptool/help_source.h"

#include <gtest/gtest.h>

namespace helpdoc {
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
        "[Properties]\nColour = 1\n",             // unknown property
        "[Contents]\nPage = 0\n",                 // no title
        "[Contents]\nPage = x | T | a.rtf\n",     // level not a number
        "[Contents]\nPage = 128 | T | a.rtf\n",   // level too deep
        "[Contents]\nPage = 0 | T | a | b\n",     // too many parts
        "[Contents]\nEntry = 0 | T\n",            // not a Page line
        "HelpName = outside any group\n",
    };
    for (const char* text : cases) {
        HelpManifest manifest;
        std::string error;
        EXPECT_FALSE(parseManifest(text, manifest, error)) << text;
        EXPECT_NE(error.find("line"), std::string::npos) << text;
    }
}

TEST(Manifest, FieldTextIsUtf16LittleEndianJoinedByBars)
{
    EXPECT_EQ(encodeFieldText({u"a", u"", u"ő"}),
              (std::vector<std::uint8_t>{'a', 0, '|', 0, '|', 0, 0x51, 0x01}));
}

} // namespace
} // namespace helpdoc
