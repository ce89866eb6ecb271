// Checks the user guides as the build ships them in the program folder: each
// opens, says what its manifest says, lists only pages it holds, and every page
// reads as RTF into text that begins with the page's own title.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "checksum/settings/preferences_document.h"
#include "platform/test_files.h"
#include "platform/text.h"
#include "toolkit/rtf/rtf_reader.h"
#include "tools/helptool/help_source.h"
#include "tools/helptool/pack_writer.h"
#include "viewer/document/help_document.h"
#include "viewer/document/packing.h"

namespace {

namespace fs = std::filesystem;

struct Manual {
    const char* id;
    const char16_t* language;  // the language's own name
    const char16_t* homeTitle; // the page HomePage points at
    const char16_t* mustContain;
};

// clang-format off
const Manual kManuals[] = {
    {"en_GB", u"English", u"Hashmere", u""},
    {"hu_HU", u"Magyar",  u"Hashmere", u"\u0151\u0171"}, // ő ű
    {"de_DE", u"Deutsch", u"Hashmere", u"\u00e4\u00f6\u00fc\u00df"},
};
// clang-format on

std::string programFile(const std::string& name)
{
    return std::string(HASHMERE_PROGRAM_DIR) + "/" + name;
}

std::string manualPath(const Manual& manual)
{
    return programFile(std::string("Hashmere_") + manual.id + ".help");
}

QString qt(const std::u16string& text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string u16(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

// Letter by letter, as a reader types a title in other case: Qt's whole-string
// upper case turns ß into SS, which is a different title.
QString eachLetter(const QString& text, bool upper)
{
    QString out = text;
    for (QChar& c : out)
        c = upper ? c.toUpper() : c.toLower();
    return out;
}

void PrintTo(const Manual& manual, std::ostream* out)
{
    *out << manual.id;
}

struct CapturedPage : document::PageSink {
    std::vector<std::uint8_t> bytes;
    void showRichText(const std::uint8_t* data, std::size_t size) override { bytes.assign(data, data + size); }
};

class Manuals : public ::testing::TestWithParam<Manual> {
protected:
    static void SetUpTestSuite() { document::registerStandardPackers(); }

    void SetUp() override
    {
        const std::string path = manualPath(GetParam());
        ASSERT_TRUE(fs::is_regular_file(path)) << path << " was not built";
        ASSERT_TRUE(doc.open(path)) << path;
        std::ifstream file(
            std::string(MANUALS_SOURCE_DIR) + "/" + GetParam().id + "/" + helptool::kManifestName, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::string error;
        ASSERT_TRUE(helptool::parseManifest(bytes, manifest, error)) << error;
    }

    // The page's text as the page view would get it; false when the RTF did not
    // read as one complete document.
    bool pageText(std::size_t record, QString& text) const
    {
        CapturedPage page;
        doc.loadPage(static_cast<std::int64_t>(record), page);
        QTextDocument out;
        const bool complete = rtf::readRtf(page.bytes, out);
        text = out.toPlainText();
        return complete;
    }

    document::HelpDocument doc;
    helptool::HelpManifest manifest;
};

TEST_P(Manuals, IsABriefLzPackThatThePackerWritesAgainFromTheSources)
{
    EXPECT_EQ(doc.packing(), document::PackingKind::BriefLzPack);
    std::vector<helptool::AuthoringEntry> entries;
    std::string error;
    ASSERT_TRUE(helptool::buildDocumentEntries(std::string(MANUALS_STAGING_DIR) + "/" + GetParam().id, entries, error))
        << error;
    platform::testing::ScratchFolder scratch;
    const std::string repacked = (scratch.path() / "again.help").string();
    helptool::PackStats stats;
    ASSERT_TRUE(helptool::writeBriefLzPack(repacked, entries, 1 << 16, stats, error)) << error;
    document::HelpDocument again;
    ASSERT_TRUE(again.open(repacked));
    ASSERT_EQ(again.contents().size(), doc.contents().size());
    for (std::size_t i = 0; i < doc.contents().size(); ++i) {
        EXPECT_EQ(again.contents()[i].title, doc.contents()[i].title);
        EXPECT_EQ(again.contents()[i].size, doc.contents()[i].size);
    }
}

TEST_P(Manuals, PropertiesReadBackAsTheManifestWritesThem)
{
    const document::DocumentProperties& p = doc.properties();
    const std::u16string* texts[] = {&p.softwareName, &p.softwareVersion, &p.helpName, &p.helpVersion, &p.language,
        &p.date, &p.tool, &p.publisher, &p.copyright, &p.email, &p.website};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(*texts[i], manifest.properties[i]) << helptool::kPropertyKeys[i];
        EXPECT_FALSE(texts[i]->empty()) << helptool::kPropertyKeys[i];
    }
    EXPECT_EQ(p.softwareName, u"Hashmere");
    EXPECT_EQ(p.softwareVersion, u"1.0.0.0");
    EXPECT_EQ(p.language, GetParam().language);
    ASSERT_EQ(p.date.size(), 10u); // ISO 8601: YYYY-MM-DD
    for (std::size_t i = 0; i < p.date.size(); ++i)
        EXPECT_TRUE(i == 4 || i == 7 ? p.date[i] == u'-' : p.date[i] >= u'0' && p.date[i] <= u'9') << i;
    EXPECT_EQ(p.tool, u"helptool");
    EXPECT_EQ(p.publisher, u"Orvanix");
    EXPECT_EQ(p.website, u"https://www.orvanix.example");
    EXPECT_GT(p.pageBackColor, 0);
    EXPECT_LE(p.pageBackColor, 0xFFFFFF);
    for (const std::int32_t margin : {p.leftMargin, p.rightMargin}) {
        EXPECT_GT(margin, 0);
        EXPECT_LE(margin, 20);
    }
    ASSERT_GE(p.homePage, 0);
    ASSERT_LT(static_cast<std::size_t>(p.homePage), doc.contents().size());
    const document::ContentsRecord& home = doc.contents()[static_cast<std::size_t>(p.homePage)];
    EXPECT_EQ(home.title, GetParam().homeTitle);
    EXPECT_FALSE(home.entryName.empty());
}

TEST_P(Manuals, ContentsAreATreeOfChaptersWhosePagesAllExist)
{
    const document::ContentsList& contents = doc.contents();
    EXPECT_GE(std::count_if(contents.begin(), contents.end(), [](auto& r) { return !r.entryName.empty(); }), 28);
    EXPECT_LE(std::count_if(contents.begin(), contents.end(), [](auto& r) { return !r.entryName.empty(); }), 32);

    ASSERT_TRUE(document::openPack(doc.path(), doc.packing()));
    std::vector<document::PackEntryInfo> entries;
    const bool intact = document::listEntries(entries);
    document::closePack();
    ASSERT_TRUE(intact);
    std::set<std::string> names;
    for (const auto& entry : entries)
        names.insert(entry.name);

    std::int32_t deepest = 0;
    const std::vector<std::int32_t> depths = document::contentsTreeDepths(contents);
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const document::ContentsRecord& record = contents[i];
        deepest = std::max(deepest, depths[i]);
        if (record.entryName.empty()) {
            // A chapter: a heading with pages under it.
            ASSERT_LT(i + 1, contents.size()) << platform::utf16ToUtf8(record.title);
            EXPECT_GT(depths[i + 1], depths[i]) << platform::utf16ToUtf8(record.title) << " has no pages";
            continue;
        }
        const std::string name = platform::utf16ToUtf8(record.entryName);
        EXPECT_EQ(names.count(name), 1u) << name;
        const auto listed = std::find_if(entries.begin(), entries.end(), [&](auto& e) { return e.name == name; });
        if (listed != entries.end()) {
            EXPECT_EQ(listed->unpackedSize, record.size) << name;
        }
    }
    EXPECT_GE(deepest, 2);
}

TEST_P(Manuals, EveryPageReadsAsRtfAndStartsWithItsTitle)
{
    const document::ContentsList& contents = doc.contents();
    std::u16string allText;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (contents[i].entryName.empty())
            continue;
        const std::string name = platform::utf16ToUtf8(contents[i].entryName);
        QString text;
        EXPECT_TRUE(pageText(i, text)) << name << " is not one complete RTF document";
        EXPECT_GT(text.trimmed().size(), 200) << name;
        EXPECT_EQ(text.section(u'\n', 0, 0), qt(contents[i].title)) << name;
        // Markup that leaked through unread: braces, escapes, the generator's marks.
        for (const char* leak : {"{", "}", "\\u", "\\'", "**", "```", "![", "\\par", "\\b "})
            EXPECT_FALSE(text.contains(QString::fromLatin1(leak))) << name << " shows " << leak;
        allText += u16(text);
    }
    for (const char16_t letter : std::u16string(GetParam().mustContain))
        EXPECT_NE(allText.find(letter), std::u16string::npos) << "no U+" << std::hex << int(letter);
    // The look-alikes a Latin-1 encoder leaves for ő and ű.
    EXPECT_EQ(allText.find(u'\u00f5'), std::u16string::npos) << "õ instead of ő";
    EXPECT_EQ(allText.find(u'\u00fb'), std::u16string::npos) << "û instead of ű";
    EXPECT_EQ(allText.find(u'\ufffd'), std::u16string::npos) << "a replacement character";
}

// Links between pages ("#" and a title) as the page view gets them, after
// the RTF reader has decoded the escaped letters of the field instruction.
TEST_P(Manuals, EveryPageLinkNamesAPageOfTheSameGuide)
{
    const document::ContentsList& contents = doc.contents();
    int pageLinks = 0;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (contents[i].entryName.empty())
            continue;
        CapturedPage page;
        doc.loadPage(static_cast<std::int64_t>(i), page);
        QTextDocument out;
        rtf::readRtf(page.bytes, out);
        for (QTextBlock block = out.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QString href = it.fragment().charFormat().anchorHref();
                if (!href.startsWith(u'#'))
                    continue;
                ++pageLinks;
                const auto target = std::find_if(contents.begin(), contents.end(), [&](auto& r) {
                    return !r.entryName.empty() && qt(r.title).compare(href.mid(1), Qt::CaseInsensitive) == 0;
                });
                EXPECT_NE(target, contents.end())
                    << platform::utf16ToUtf8(contents[i].entryName) << " links to " << href.toStdString();
            }
        }
    }
    EXPECT_GE(pageLinks, 30);
}

TEST_P(Manuals, TitlesAreUniqueAndFoundInAnyLetterCase)
{
    const document::ContentsList& contents = doc.contents();
    std::set<QString> seen;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const QString title = qt(contents[i].title);
        ASSERT_FALSE(title.isEmpty());
        EXPECT_TRUE(seen.insert(eachLetter(title, false)).second) << title.toStdString() << " twice";
        for (const QString& asked : {title, eachLetter(title, true), eachLetter(title, false)})
            EXPECT_EQ(document::findPageByTitle(contents, u16(asked)), static_cast<std::int32_t>(i))
                << asked.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, Manuals, ::testing::ValuesIn(kManuals),
    [](const ::testing::TestParamInfo<Manual>& info) { return std::string(info.param.id); });

TEST(ShippedManuals, EveryLanguageFileNamesAManualInTheProgramFolder)
{
    document::registerStandardPackers();
    int languages = 0;
    for (const auto& entry : fs::directory_iterator(programFile("Hashmere.lang"))) {
        if (entry.path().extension() != ".language")
            continue;
        ++languages;
        settings::PreferencesDocument file;
        ASSERT_TRUE(file.openDocument(entry.path())) << entry.path();
        file.selectGroup(u"LANGUAGE FILE");
        const std::u16string id = file.readText(u"tLangFileLANGID", u"");
        file.closeDocument();
        ASSERT_FALSE(id.empty()) << entry.path();
        const std::string manual = programFile("Hashmere_" + platform::utf16ToUtf8(id) + ".help");
        document::HelpDocument doc;
        EXPECT_TRUE(doc.open(manual)) << entry.path().filename() << " names " << manual;
    }
    EXPECT_GE(languages, 4);
}

} // namespace
