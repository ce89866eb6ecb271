#include "checksum/settings/preferences_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "checksum/settings/test_files.h"

namespace settings {
namespace {

namespace fs = std::filesystem;
using testfiles::readFile;
using testfiles::ScratchFolder;
using testfiles::writeFile;

class PreferencesFile : public ::testing::Test {
protected:
    ScratchFolder scratch_;
    fs::path program_ = scratch_.path() / "program/";
    fs::path perUser_ = perUserSettingsFolder(scratch_.path() / "config");
    void SetUp() override { fs::create_directory(program_); }
};

TEST_F(PreferencesFile, SavedFileHasExactBytes)
{
    AlgorithmChecks checks{};
    checks[0] = true;  // CRC32
    checks[4] = true;  // SHA2256
    checks[10] = true; // SHA3512
    ASSERT_TRUE(savePreferences(program_, u"en_GB", checks));
    EXPECT_EQ(readFile(program_ / "Hashmere.prefs"),
        "\xEF\xBB\xBF\r\n"
        "; Hashmere Preferences\r\n"
        "[Language]\r\n"
        "Language = en_GB\r\n"
        "[General]\r\n"
        "CRC32 = 1\r\n"
        "MD5 = 0\r\n"
        "SHA1 = 0\r\n"
        "SHA2224 = 0\r\n"
        "SHA2256 = 1\r\n"
        "SHA2384 = 0\r\n"
        "SHA2512 = 0\r\n"
        "SHA3224 = 0\r\n"
        "SHA3256 = 0\r\n"
        "SHA3384 = 0\r\n"
        "SHA3512 = 1\r\n");
}

TEST_F(PreferencesFile, SaveThenLoadGivesTheSameSettings)
{
    AlgorithmChecks checks{};
    for (std::size_t row = 0; row < checks.size(); row += 3)
        checks[row] = true;
    ASSERT_TRUE(savePreferences(program_, u"hu_HU", checks));
    const Preferences loaded = loadPreferences(program_, perUser_);
    EXPECT_TRUE(loaded.portable);
    EXPECT_EQ(loaded.languageBaseName, u"hu_HU");
    EXPECT_EQ(loaded.algorithmChecks, checks);
}

// Hand-edited keys and groups are read where understood and dropped on save.
TEST_F(PreferencesFile, HandEditedFileIsReadAndRewrittenFromScratch)
{
    writeFile(program_ / "Hashmere.prefs", "; mine\n[general]\n  crc32=1  \nmd5 = yes\nSHA1 = 2\n[Extra]\nx = y\n");
    const Preferences loaded = loadPreferences(program_, perUser_);
    EXPECT_TRUE(loaded.portable);
    EXPECT_EQ(loaded.languageBaseName, u"");
    AlgorithmChecks expected{};
    expected[0] = true;
    expected[2] = true;
    EXPECT_EQ(loaded.algorithmChecks, expected);
    ASSERT_TRUE(savePreferences(loaded.settingsFolder, u"en_GB", loaded.algorithmChecks));
    EXPECT_EQ(readFile(program_ / "Hashmere.prefs").find("Extra"), std::string::npos);
}

TEST_F(PreferencesFile, EmptyFileInProgramFolderMeansPortable)
{
    writeFile(program_ / "Hashmere.prefs", "");
    const Preferences loaded = loadPreferences(program_, perUser_);
    EXPECT_TRUE(loaded.portable);
    EXPECT_EQ(loaded.settingsFolder, program_);
    EXPECT_EQ(loaded.languageBaseName, u"");
    EXPECT_EQ(loaded.algorithmChecks, AlgorithmChecks{});
    EXPECT_FALSE(fs::exists(scratch_.path() / "config")); // neither created nor read
}

TEST_F(PreferencesFile, PerUserFolderIsCreatedLevelByLevelAndRead)
{
    Preferences loaded = loadPreferences(program_, perUser_);
    EXPECT_FALSE(loaded.portable);
    EXPECT_EQ(loaded.settingsFolder, perUser_);
    EXPECT_TRUE(fs::is_directory(perUser_));
    EXPECT_EQ(perUser_.native(), (scratch_.path() / "config/Orvanix/Hashmere/").native());

    writeFile(perUser_ / "Hashmere.prefs", "[Language]\r\nLanguage = de_DE\r\n[General]\r\nMD5 = 1\r\n");
    loaded = loadPreferences(program_, perUser_);
    EXPECT_FALSE(loaded.portable);
    EXPECT_EQ(loaded.languageBaseName, u"de_DE");
    EXPECT_TRUE(loaded.algorithmChecks[1]);
}

TEST_F(PreferencesFile, UncreatableFolderGivesDefaultsAndFailsToSave)
{
    writeFile(scratch_.path() / "blocker", "a file where a folder should be");
    const fs::path perUser = scratch_.path() / "blocker/Orvanix/Hashmere/";
    const Preferences loaded = loadPreferences(program_, perUser);
    EXPECT_EQ(loaded.settingsFolder, perUser);
    EXPECT_EQ(loaded.languageBaseName, u"");
    EXPECT_FALSE(savePreferences(loaded.settingsFolder, u"en_GB", loaded.algorithmChecks));
}

TEST_F(PreferencesFile, ReadOnlyFileInProgramFolderStillMeansPortable)
{
    const fs::path file = program_ / "Hashmere.prefs";
    writeFile(file, "[General]\r\nMD5 = 1\r\n");
    ::chmod(scratch_.path().c_str(), 0755);
    ::chmod(program_.c_str(), 0555);
    ::chmod(file.c_str(), 0444);
    EXPECT_TRUE(testfiles::runUnprivileged([&] {
        const Preferences loaded = loadPreferences(program_, perUser_);
        return loaded.portable && loaded.algorithmChecks[1] &&
            !savePreferences(loaded.settingsFolder, u"en_GB", loaded.algorithmChecks);
    }));
    EXPECT_EQ(readFile(file), "[General]\r\nMD5 = 1\r\n");
    EXPECT_FALSE(fs::exists(scratch_.path() / "config"));
    fs::permissions(program_, fs::perms::owner_all, fs::perm_options::add);
}

TEST(PerUserSettingsFolder, AppendsTheMakerAndProgram)
{
    EXPECT_EQ(perUserSettingsFolder("/home/ann/.config/").native(), "/home/ann/.config/Orvanix/Hashmere/");
    EXPECT_EQ(perUserSettingsFolder("/x").native(), "/x/Orvanix/Hashmere/");
    EXPECT_TRUE(perUserSettingsFolder("").empty());
}

} // namespace
} // namespace settings
