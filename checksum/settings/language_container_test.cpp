#include "checksum/settings/language_container.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <optional>

#include "checksum/settings/languages.h"
#include "checksum/settings/test_files.h"

namespace settings {
namespace {

namespace fs = std::filesystem;
using testfiles::languageFile;
using testfiles::makeZip;
using testfiles::ScratchFolder;
using testfiles::writeFile;
using testfiles::ZipEntry;

std::u16string baseNames(const LanguageList& list)
{
    std::u16string names;
    for (const LanguageEntry& entry : list.entries())
        names += entry.baseName + u";";
    return names;
}

// Points TMPDIR at an empty folder of its own for the test's lifetime, so
// that any temporary copy left behind would show.
class LanguageArchive : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TMPDIR");
        if (old != nullptr)
            oldTmpdir_ = old;
        fs::create_directory(temporary_);
        ::setenv("TMPDIR", temporary_.c_str(), 1);
    }
    void TearDown() override
    {
        EXPECT_TRUE(fs::is_empty(temporary_)) << "a temporary copy was left behind";
        if (oldTmpdir_)
            ::setenv("TMPDIR", oldTmpdir_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }

    fs::path writeArchive(const std::vector<ZipEntry>& entries)
    {
        writeFile(container_, makeZip(entries));
        return container_;
    }

    ScratchFolder scratch_;
    fs::path temporary_ = scratch_.path() / "tmp";
    fs::path container_ = scratch_.path() / "program" / "Hashmere.lang";
    std::optional<std::string> oldTmpdir_;
    void makeProgramFolder() { fs::create_directories(container_.parent_path()); }
};

TEST_F(LanguageArchive, OnlyRootEntriesWithLowerCaseExtensionCount)
{
    makeProgramFolder();
    writeArchive({
        {"lang/", "", true},
        {"lang/de_DE.language", languageFile("Deutsch")},   // in a sub-folder
        {"lang\\fr_FR.language", languageFile("Français")}, // a Windows sub-folder
        {"es_ES.LANGUAGE", languageFile("Español")},        // capital extension
        {"it_IT.language.txt", languageFile("Italiano")},
        {"en_GB.language", languageFile("English", {"[G]", "tGenOK = OK"})},
        {"hu_HU.language", languageFile("Magyar", {"[G]", "tGenOK = Rendben"})},
        {"dir.language/", "", true},
    });
    LanguageList list;
    scanLanguages(container_, list);
    EXPECT_EQ(baseNames(list), u"en_GB;hu_HU;");

    TextTable table;
    EXPECT_TRUE(loadLanguage(container_, u"hu_HU", table));
    EXPECT_EQ(table.lookupText(u"tGenOK"), u"Rendben");
    EXPECT_FALSE(loadLanguage(container_, u"de_DE", table));
    EXPECT_FALSE(loadLanguage(container_, u"lang/de_DE", table));
    EXPECT_FALSE(loadLanguage(container_, u"es_ES", table));
    EXPECT_EQ(table.lookupText(u"tGenOK"), u"Rendben");
}

TEST_F(LanguageArchive, SubFolderOnlyArchiveYieldsNoLanguage)
{
    makeProgramFolder();
    writeArchive({{"Hashmere.lang/en_GB.language", languageFile("English", {"[G]", "tGenOK = OK"})}});
    Languages languages;
    startLanguages(languages, container_.parent_path() / "", Preferences{}, u"en-GB");
    EXPECT_TRUE(languages.languageList.empty());
    EXPECT_EQ(languages.languageBaseName, u"en_GB");
    EXPECT_EQ(languages.textTable.size(), 0u);
}

// Entry names never become paths: a name that climbs out of a folder is not
// listed, not loaded and nothing is written anywhere.
TEST_F(LanguageArchive, EntryNamesCannotReachOutside)
{
    makeProgramFolder();
    writeArchive({
        {"../x.language", languageFile("Outside", {"[G]", "tGenOK = escaped"})},
        {"/abs.language", languageFile("Absolute")},
        {"en_GB.language", languageFile("English")},
    });
    LanguageList list;
    scanLanguages(container_, list);
    EXPECT_EQ(baseNames(list), u"en_GB;");
    TextTable table;
    EXPECT_FALSE(loadLanguage(container_, u"../x", table));
    EXPECT_EQ(table.size(), 0u);
    EXPECT_FALSE(fs::exists(scratch_.path() / "x.language"));
    EXPECT_FALSE(fs::exists(scratch_.path() / "program" / "x.language"));
}

// Two entries with one display name: the later one in the archive wins; two
// entries with one name: loading takes the first.
TEST_F(LanguageArchive, DuplicateNamesAndDisplayNames)
{
    makeProgramFolder();
    writeArchive({
        {"a.language", languageFile("Same", {"[G]", "k = a"})},
        {"b.language", languageFile("Same", {"[G]", "k = b1"})},
        {"b.language", languageFile("Same", {"[G]", "k = b2"})},
    });
    LanguageList list;
    scanLanguages(container_, list);
    EXPECT_EQ(baseNames(list), u"b;");
    TextTable table;
    ASSERT_TRUE(loadLanguage(container_, u"b", table));
    EXPECT_EQ(table.lookupText(u"k"), u"b1");
}

// Every prefix of a valid archive, and copies with one byte changed, are read
// without a crash; whatever is listed must then be loadable or fail cleanly.
TEST_F(LanguageArchive, DamagedArchivesAreHarmless)
{
    makeProgramFolder();
    const std::string good = makeZip({
        {"en_GB.language", languageFile("English", {"[G]", "tGenOK = OK"})},
        {"hu_HU.language", languageFile("Magyar", {"[G]", "tGenOK = Rendben"})},
    });
    std::vector<std::string> damaged;
    for (std::size_t size = 0; size < good.size(); size += 7)
        damaged.push_back(good.substr(0, size));
    for (std::size_t at = 0; at < good.size(); at += 5) {
        std::string copy = good;
        copy[at] = static_cast<char>(copy[at] ^ 0x5A);
        damaged.push_back(copy);
    }
    for (const std::string& bytes : damaged) {
        writeFile(container_, bytes);
        LanguageList list;
        scanLanguages(container_, list);
        EXPECT_LE(list.size(), 2u);
        TextTable table;
        for (const LanguageEntry& entry : list.entries())
            loadLanguage(container_, entry.baseName, table);
        EXPECT_LE(table.size(), 3u);
    }
}

TEST(LanguageArchiveBytes, WalksEntriesFromMemory)
{
    const std::string archive = makeZip({{"en_GB.language", languageFile("English")}, {"x/y.language", ""}});
    std::u16string seen;
    forEachLanguageFileInArchiveBytes(archive, [&](std::u16string_view baseName, PreferencesDocument& document) {
        document.selectGroup(u"LANGUAGE FILE");
        seen += std::u16string(baseName) + u"=" + document.readText(u"tLangFileNAME", u"") + u";";
    });
    EXPECT_EQ(seen, u"en_GB=English;");
}

} // namespace
} // namespace settings
