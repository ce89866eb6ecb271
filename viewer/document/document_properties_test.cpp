#include "viewer/document/document_properties.h"

#include <gtest/gtest.h>

#include "viewer/document/test_support.h"

namespace document {
namespace {

using testing::Bytes;
using testing::utf16le;

const std::u16string kFull = u"Soft|1.2|Help|3|en_GB|2026-12-08|tool|Pub|(c)|a@b.c|https://x.y|$FFFFFF|10|-3|4";

TEST(Properties, DecodesFieldsInOrder)
{
    DocumentProperties p;
    decodeProperties(kFull + u"|ignored|fields", p);
    EXPECT_EQ(p.softwareName, u"Soft");
    EXPECT_EQ(p.softwareVersion, u"1.2");
    EXPECT_EQ(p.helpName, u"Help");
    EXPECT_EQ(p.helpVersion, u"3");
    EXPECT_EQ(p.language, u"en_GB");
    EXPECT_EQ(p.date, u"2026-12-08");
    EXPECT_EQ(p.tool, u"tool");
    EXPECT_EQ(p.publisher, u"Pub");
    EXPECT_EQ(p.copyright, u"(c)");
    EXPECT_EQ(p.email, u"a@b.c");
    EXPECT_EQ(p.website, u"https://x.y");
    EXPECT_EQ(p.pageBackColor, 16777215);
    EXPECT_EQ(p.leftMargin, 10);
    EXPECT_EQ(p.rightMargin, -3);
    EXPECT_EQ(p.homePage, 4);
}

TEST(Properties, FieldVariants)
{
    const struct {
        const char* what;
        std::u16string text;
        std::u16string softwareName;
        std::u16string website;
        std::int32_t colour;
        std::int32_t homePage;
    } cases[] = {
        {"eleven fields give numbers 0", u"a|b|c|d|e|f|g|h|i|j|k", u"a", u"k", 0, 0},
        {"minus one is the system colour", u"a||||||||||k|-1||| 7", u"a", u"k", -1, 7},
        {"an empty number field is 0", u"a||||||||||||||", u"a", u"", 0, 0},
        {"a line break before digits reads 0", u"a|||||||||||\r\n5||\n1|", u"a", u"", 0, 0},
        {"blanks and tabs before digits are skipped", u"a|||||||||||\t 5|||  9", u"a", u"", 5, 9},
        {"a byte-order mark stays in field 1", u"\uFEFFa|", u"\uFEFFa", u"", 0, 0},
        {"line breaks in a text are kept", u"line\r\nnext||||||||||web\n", u"line\r\nnext", u"web\n", 0, 0},
        {"numbers keep the low 32 bits", u"|||||||||||$1FFFFFFFF|||$100000005", u"", u"", -1, 5},
    };
    for (const auto& c : cases) {
        DocumentProperties p;
        p.homePage = 99;
        decodeProperties(c.text, p);
        EXPECT_EQ(p.softwareName, c.softwareName) << c.what;
        EXPECT_EQ(p.website, c.website) << c.what;
        EXPECT_EQ(p.pageBackColor, c.colour) << c.what;
        EXPECT_EQ(p.homePage, c.homePage) << c.what;
    }
}

class ReadProperties : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerStandardPackers();
        previous_.helpName = u"previous";
        previous_.homePage = 3;
    }
    testing::TempFolder folder_;
    DocumentProperties previous_;
};

TEST_F(ReadProperties, KeepsTheRecordWhenNothingIsRead)
{
    DocumentProperties p = previous_;
    readProperties((folder_.path() / "missing.help").string(), PackingKind::BriefLzPack, p);
    EXPECT_EQ(p.helpName, u"previous") << "pack cannot be opened";
    readProperties(folder_.brieflz("e.help", {{"properties", {}}}), PackingKind::BriefLzPack, p);
    EXPECT_EQ(p.helpName, u"previous") << "count 0 in a BriefLZ pack";
    readProperties(folder_.zip("e.zip", {{"properties", {}}}), PackingKind::Zip, p);
    EXPECT_EQ(p.helpName, u"previous") << "count 0 in a ZIP";
}

// Whatever cannot serve as properties gives the defaults: a white page, no
// margins, empty texts, home page 0.
TEST_F(ReadProperties, UnusableEntriesGiveReadableDefaults)
{
    const std::u16string longText = kFull + u"|" + std::u16string(40000, u'p');
    const std::u16string elevenFields = u"Soft|1.2|Help|3|en_GB|d|t|p|c|e|w";
    Bytes oddBytes = utf16le(kFull);
    oddBytes.push_back('x');
    const struct {
        const char* what;
        std::vector<AuthoringEntry> entries;
        const char16_t* helpName;
        std::int32_t colour, leftMargin, homePage;
    } cases[] = {
        {"no properties entry", {{"contents", utf16le(u"x|0")}}, u"", kDefaultPageBackColor, 0, 0},
        {"8-bit text instead of UTF-16",
            {{"properties", testing::bytesOf("Soft|1.2|Help|3|en_GB|d|t|p|c|e|w|0|0|0|0")}}, u"", kDefaultPageBackColor,
            0, 0},
        {"an odd number of bytes", {{"properties", oddBytes}}, u"", kDefaultPageBackColor, 0, 0},
        {"a longer entry than a fixed buffer held is read whole", {{"properties", utf16le(longText)}}, u"Help",
            16777215, 10, 4},
        {"an entry of eleven fields has its colour field 0", {{"properties", utf16le(elevenFields)}}, u"Help", 0, 0, 0},
    };
    for (const auto& c : cases) {
        for (PackingKind kind : {PackingKind::Zip, PackingKind::BriefLzPack}) {
            DocumentProperties p = previous_;
            p.leftMargin = 7;
            const std::string path =
                kind == PackingKind::Zip ? folder_.zip("d.help", c.entries) : folder_.brieflz("d.help", c.entries);
            readProperties(path, kind, p);
            const std::string what = std::string(c.what) + (kind == PackingKind::Zip ? " (zip)" : " (pack)");
            EXPECT_EQ(p.helpName, c.helpName) << what;
            EXPECT_EQ(p.pageBackColor, c.colour) << what;
            EXPECT_EQ(p.leftMargin, c.leftMargin) << what;
            EXPECT_EQ(p.homePage, c.homePage) << what;
        }
    }
}

TEST_F(ReadProperties, ReadsBothPackings)
{
    const std::vector<AuthoringEntry> entries{{"properties", utf16le(u"Súgó|" + kFull.substr(5))}};
    for (PackingKind kind : {PackingKind::Zip, PackingKind::BriefLzPack}) {
        DocumentProperties p;
        readProperties(
            kind == PackingKind::Zip ? folder_.zip("p.help", entries) : folder_.brieflz("p.help", entries), kind, p);
        EXPECT_EQ(p.softwareName, u"Súgó");
        EXPECT_EQ(p.pageBackColor, 16777215);
    }
}

} // namespace
} // namespace document
