#include "platform/folders.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>

namespace platform {
namespace {

TEST(ProgramFolder, IsTheRunningExecutablesFolder)
{
    const std::filesystem::path folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.native().back(), '/');
    char self[PATH_MAX] = {};
    ASSERT_GT(::readlink("/proc/self/exe", self, sizeof self - 1), 0);
    EXPECT_EQ(folder / std::filesystem::path(self).filename(), std::filesystem::path(self));
}

TEST(ApplicationDataFolder, PrefersAbsoluteXdgThenHome)
{
    struct Case {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/x/config", "/home/ann", "/x/config/"},
        {"/x/config///", "/home/ann", "/x/config/"},
        {"relative/config", "/home/ann", "/home/ann/.config/"},
        {"", "/home/ann/", "/home/ann/.config/"},
        {nullptr, "/home/ann", "/home/ann/.config/"},
        {"/", nullptr, "/"},
        {nullptr, "/", "/.config/"},
        {nullptr, nullptr, ""},
        {"", "", ""},
        {"relative", "also/relative", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(applicationDataFolderFrom(c.xdg, c.home).native(), c.expected)
            << (c.xdg ? c.xdg : "(unset)") << " / " << (c.home ? c.home : "(unset)");
    }
    EXPECT_EQ(profileFolderFrom("/home/ann").native(), "/home/ann/");
    EXPECT_TRUE(profileFolderFrom(nullptr).empty());
}

TEST(TemporaryFolder, UsesTmpdirWhenSet)
{
    EXPECT_EQ(temporaryFolderFrom("/var/tmp").native(), "/var/tmp/");
    EXPECT_EQ(temporaryFolderFrom("").native(), "/tmp/");
    EXPECT_EQ(temporaryFolderFrom(nullptr).native(), "/tmp/");
}

TEST(DefaultLocaleName, FirstSetVariableWithoutCodesetOrModifier)
{
    struct Case {
        const char* lcAll;
        const char* lcMessages;
        const char* lang;
        std::u16string expected;
    };
    const Case cases[] = {
        {nullptr, nullptr, "hu_HU.UTF-8", u"hu_HU"},
        {nullptr, "de_DE@euro", "hu_HU", u"de_DE"},
        {"en_US.ISO-8859-1@x", "de_DE", "hu_HU", u"en_US"},
        {"", "", "de-DE", u"de-DE"},
        {"C", nullptr, "hu_HU", u""},
        {"C.UTF-8", nullptr, "hu_HU", u""},
        {nullptr, "POSIX", "hu_HU", u""},
        {nullptr, nullptr, nullptr, u""},
        {nullptr, nullptr, ".UTF-8", u""},
        {nullptr, nullptr, "sr_RS@latin", u"sr_RS"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(defaultLocaleNameFrom(c.lcAll, c.lcMessages, c.lang), c.expected);
    EXPECT_EQ(defaultLocaleNameFrom(nullptr, nullptr, std::string(400, 'x').c_str()).size(), 255u);
}

} // namespace
} // namespace platform
