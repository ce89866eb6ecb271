#include "checksum/settings/languages.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "checksum/settings/language_container.h"
#include "checksum/settings/test_files.h"

namespace settings {
namespace {

namespace fs = std::filesystem;
using testfiles::languageFile;
using testfiles::ScratchFolder;
using testfiles::writeFile;

std::u16string menu(const LanguageList& list)
{
    std::u16string names;
    for (const LanguageEntry& entry : list.entries())
        names += entry.displayName + u"=" + entry.baseName + u";";
    return names;
}

class LanguagesInFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directory(container_);
        write("en_GB.language", languageFile("English", {"[GENERAL]", "tGenOK = OK", "tReqCLIPBOARD = Copied."}));
        write("hu_HU.language", languageFile("Magyar", {"[GENERAL]", "tGenOK = Rendben"}));
    }
    void write(const std::string& name, std::string_view bytes) { writeFile(container_ / name, bytes); }

    ScratchFolder scratch_;
    fs::path program_ = scratch_.folder();
    fs::path container_ = scratch_.path() / "Hashmere.lang";
};

TEST_F(LanguagesInFolder, ScanListsLanguageFilesOnly)
{
    write("de_DE.LANGUAGE", languageFile("Deutsch")); // extension in any case
    write("fr_FR.language.bak", languageFile("Français"));
    write("noname.language", languageFile(""));
    write("latin1.language", "[LANGUAGE FILE]\r\ntLangFileNAME = \xC9sti \r\n");
    fs::create_directory(container_ / "folder.language");
    LanguageList list;
    scanLanguages(container_, list);
    EXPECT_EQ(menu(list), u"=noname;English=en_GB;Magyar=hu_HU;Deutsch=de_DE;\u00C9sti=latin1;");
}

// Names are read in byte order, so of two files with one display name the
// later name wins.
TEST_F(LanguagesInFolder, SameDisplayNameGivesOneEntry)
{
    write("zz_ZZ.language", languageFile("Magyar"));
    LanguageList list;
    scanLanguages(container_, list);
    EXPECT_EQ(list.size(), 2u);
    EXPECT_EQ(list.find(u"Magyar")->baseName, u"zz_ZZ");
}

TEST_F(LanguagesInFolder, StartLanguageChoice)
{
    LanguageList list;
    scanLanguages(container_, list);
    struct Case {
        std::u16string saved;
        bool portable;
        std::u16string locale;
        std::u16string expected;
    };
    const Case cases[] = {
        {u"", false, u"hu-HU", u"hu_HU"},                                   // the system locale, "-" made "_"
        {u"", false, u"hu_HU", u"hu_HU"}, {u"", false, u"de-DE", u"en_GB"}, // no such language
        {u"", false, u"", u"en_GB"},                                        // no locale
        {u"", true, u"hu-HU", u"en_GB"},                                    // portable: the locale is not consulted
        {u"hu_HU", true, u"", u"hu_HU"},                                    // saved choice
        {u"en_gb", false, u"hu-HU", u"en_GB"},                              // letter case counts
        {u"xx_XX", false, u"hu-HU", u"en_GB"},                              // a saved choice that is gone
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseStartLanguage(c.saved, c.portable, list, c.locale), c.expected)
            << "saved " << c.saved.size() << " portable " << c.portable;
    }
}

TEST_F(LanguagesInFolder, StartAsksTheSystemLocale)
{
    ::setenv("LC_ALL", "hu-HU.UTF-8", 1);
    Languages languages;
    startLanguages(languages, program_, Preferences{});
    ::unsetenv("LC_ALL");
    EXPECT_EQ(languages.languageBaseName, u"hu_HU");
    EXPECT_EQ(languages.textTable.lookupText(u"tGenOK"), u"Rendben");
    EXPECT_EQ(languages.container, container_);
}

TEST_F(LanguagesInFolder, SwitchMergesAndKeepsMissingKeys)
{
    Preferences preferences;
    preferences.languageBaseName = u"en_GB";
    Languages languages;
    startLanguages(languages, program_, preferences, u"");
    EXPECT_EQ(languages.textTable.lookupText(u"tReqCLIPBOARD"), u"Copied.");
    EXPECT_EQ(languages.textTable.lookupText(u"tLangFileNAME"), u"English");

    EXPECT_TRUE(selectLanguage(languages, u"Magyar"));
    EXPECT_EQ(languages.languageBaseName, u"hu_HU");
    EXPECT_EQ(languages.textTable.lookupText(u"tGenOK"), u"Rendben");
    EXPECT_EQ(languages.textTable.lookupText(u"tReqCLIPBOARD"), u"Copied."); // kept from English

    EXPECT_FALSE(selectLanguage(languages, u"Klingon")); // not listed: nothing changes
    EXPECT_EQ(languages.languageBaseName, u"hu_HU");

    fs::remove(container_ / "en_GB.language");
    EXPECT_FALSE(selectLanguage(languages, u"English")); // listed but gone
    EXPECT_EQ(languages.languageBaseName, u"en_GB");     // the choice moves all the same
    EXPECT_EQ(languages.textTable.lookupText(u"tGenOK"), u"Rendben");
}

TEST_F(LanguagesInFolder, LoadTakesGroupedPairsInFileOrder)
{
    write("xx.language", "Top = ignored\r\n[A]\r\ntKey = first\r\ntkey = other key\r\n[B]\r\ntKey =  second \r\n");
    TextTable table;
    ASSERT_TRUE(loadLanguage(container_, u"xx", table));
    EXPECT_EQ(table.lookupText(u"tKey"), u"second");
    EXPECT_EQ(table.lookupText(u"tkey"), u"other key");
    EXPECT_EQ(table.lookupText(u"Top"), u"");
    EXPECT_EQ(table.size(), 2u);
}

TEST_F(LanguagesInFolder, LoadFindsFilesByBaseNameOnly)
{
    write("de_DE.LANGUAGE", languageFile("Deutsch", {"[G]", "tGenOK = Gut"}));
    write("secret", languageFile("Secret", {"[G]", "tGenOK = leaked"}));
    TextTable table;
    EXPECT_TRUE(loadLanguage(container_, u"de_DE", table));
    EXPECT_EQ(table.lookupText(u"tGenOK"), u"Gut");
    EXPECT_FALSE(loadLanguage(container_, u"de_de", table));
    EXPECT_FALSE(loadLanguage(container_, u"secret", table));
    EXPECT_FALSE(loadLanguage(container_, u"../Hashmere.lang/hu_HU", table));
    EXPECT_EQ(table.lookupText(u"tGenOK"), u"Gut");
}

TEST(LanguagesWithoutContainer, MissingEmptyOrUnreadable)
{
    ScratchFolder scratch;
    const fs::path container = scratch.path() / "Hashmere.lang";
    const std::pair<const char*, std::string> cases[] = {
        {"missing", ""},
        {"0-byte file", "create"},
        {"text file", "not a zip archive"},
        {"truncated zip header", std::string("PK\x03\x04\x14\x00", 6)},
    };
    for (const auto& [what, bytes] : cases) {
        fs::remove(container);
        if (!bytes.empty())
            writeFile(container, bytes == "create" ? "" : bytes);
        Languages languages;
        startLanguages(languages, scratch.folder(), Preferences{}, u"hu-HU");
        EXPECT_TRUE(languages.languageList.empty()) << what;
        EXPECT_EQ(languages.languageBaseName, u"en_GB") << what;
        EXPECT_EQ(languages.textTable.size(), 0u) << what;
    }
    EXPECT_EQ(languageContainerKind(container), ContainerKind::Archive);
    writeFile(container, "");
    EXPECT_EQ(languageContainerKind(container), ContainerKind::None);
}

} // namespace
} // namespace settings
